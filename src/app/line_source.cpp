// The line source: buffered reading of lines, and the copy that lets a pipe be read twice.
#include "app/line_source.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace rekna {

namespace {

bool WriteAllTo(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// An unnamed temporary file, gone when closed; in memory where no folder for one is writable.
int TemporaryFile() {
    const char* dir = std::getenv("TMPDIR");
    std::string name = std::string(dir && *dir ? dir : "/tmp") + "/rekna-calc-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd >= 0) {
        ::unlink(name.c_str());
        return fd;
    }
    return ::memfd_create("rekna-calc", MFD_CLOEXEC);
}

// The first CR or LF in data[from, to), or to. Searched a window at a time, so that a text of
// lone CRs is not searched to the buffer's end for an LF at every line.
std::size_t LineEnd(const char* data, std::size_t from, std::size_t to) noexcept {
    constexpr std::size_t kWindow = 256;
    while (from < to) {
        const std::size_t stop = std::min(to, from + kWindow);
        const auto* lf = static_cast<const char*>(std::memchr(data + from, '\n', stop - from));
        const std::size_t end = lf ? static_cast<std::size_t>(lf - data) : stop;
        const auto* cr = static_cast<const char*>(std::memchr(data + from, '\r', end - from));
        if (cr) return static_cast<std::size_t>(cr - data);
        if (lf) return end;
        from = stop;
    }
    return to;
}

}  // namespace

TLineSource::~TLineSource() {
    if (FOwnFd && FFd >= 0) ::close(FFd);
    if (FSpool >= 0) ::close(FSpool);
}

bool TLineSource::Open(const std::string& file, std::string& error) {
    if (file.empty() || file == "-") {
        FFd = STDIN_FILENO;
        FOwnFd = false;
    } else {
        FFd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (FFd < 0) {
            error = "cannot open " + file + ": " + std::strerror(errno);
            return false;
        }
        FOwnFd = true;
        struct stat st {};
        if (::fstat(FFd, &st) == 0 && S_ISDIR(st.st_mode)) {
            error = file + " is a folder, not a memo file";
            return false;
        }
    }
    struct stat st {};
    const bool seekable =
        ::fstat(FFd, &st) == 0 && S_ISREG(st.st_mode) && ::lseek(FFd, 0, SEEK_CUR) == 0;
    if (!seekable) {
        FSpool = TemporaryFile();
        if (FSpool < 0) {
            error = std::string("cannot create a temporary file: ") + std::strerror(errno);
            return false;
        }
        FSpooling = true;
    }
    return true;
}

bool TLineSource::Fill() {
    if (FEof || FFailed) return false;
    if (FBegin > 0) {
        std::memmove(FBuffer.data(), FBuffer.data() + FBegin, FEnd - FBegin);
        FEnd -= FBegin;
        FScanned -= FBegin;
        FBegin = 0;
    }
    if (FEnd == FBuffer.size()) FBuffer.resize(FBuffer.size() * 2);
    for (;;) {
        const ssize_t n = ::read(FFd, FBuffer.data() + FEnd, FBuffer.size() - FEnd);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            FFailed = true;
            return false;
        }
        if (n == 0) {
            FEof = true;
            return false;
        }
        if (FSpooling && !WriteAllTo(FSpool, FBuffer.data() + FEnd, static_cast<std::size_t>(n))) {
            FFailed = true;
            return false;
        }
        FEnd += static_cast<std::size_t>(n);
        return true;
    }
}

bool TLineSource::Next(std::string_view& line) {
    for (;;) {
        const char* const data = FBuffer.data();
        const std::size_t p = LineEnd(data, FScanned, FEnd);
        FScanned = p;
        if (p < FEnd && !(data[p] == '\r' && p + 1 == FEnd && !FEof)) {
            line = std::string_view(data + FBegin, p - FBegin);
            std::size_t next = p + 1;
            if (data[p] == '\r' && next < FEnd && data[next] == '\n') ++next;
            FBegin = FScanned = next;
            return true;
        }
        if (!Fill()) {
            if (FFailed) return false;
            // A CR that waited for a possible LF ends its line after all.
            if (FScanned < FEnd) continue;
            if (FBegin >= FEnd) return false;
            // The last line has no line end.
            line = std::string_view(FBuffer.data() + FBegin, FEnd - FBegin);
            FBegin = FScanned = FEnd;
            return true;
        }
    }
}

bool TLineSource::Rewind() {
    if (FFailed) return false;
    if (FSpooling) {
        // The rest of the pipe goes into the copy too.
        FBegin = FScanned = FEnd;
        while (Fill())
            FBegin = FScanned = FEnd;
        if (FFailed) return false;
        FSpooling = false;
        if (FOwnFd) ::close(FFd);
        FFd = FSpool;
        FOwnFd = true;
        FSpool = -1;
    }
    if (::lseek(FFd, 0, SEEK_SET) != 0) {
        FFailed = true;
        return false;
    }
    FBegin = FEnd = FScanned = 0;
    FEof = false;
    return true;
}

bool TLineSource::ReadAll(std::string& bytes) {
    if (!Rewind()) return false;
    bytes.clear();
    while (Fill()) {
        bytes.append(FBuffer.data() + FBegin, FEnd - FBegin);
        FBegin = FScanned = FEnd;
    }
    return !FFailed;
}

}  // namespace rekna
