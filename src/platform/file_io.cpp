// Whole-file reads, replacing writes and the folders a file needs.
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace rekna {
namespace {

// Larger files are refused: row positions and columns are 32-bit.
constexpr off_t kMaxFileBytes = off_t{1} << 30;

// Closes a descriptor on every path out.
class TFileHandle {
public:
    explicit TFileHandle(int fd) noexcept : FFd(fd) {}
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    ~TFileHandle() {
        if (FFd >= 0) ::close(FFd);
    }
    [[nodiscard]] int Get() const noexcept { return FFd; }
    // Closes now and reports the error of close.
    [[nodiscard]] int Close() noexcept {
        const int fd = FFd;
        FFd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int FFd;
};

// Writes all of data; 0 or the error number.
[[nodiscard]] int WriteAll(int fd, std::string_view data) noexcept {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// The file a name stands for: a symbolic link's target, so that saving keeps the link.
[[nodiscard]] std::string ResolveTarget(const std::string& name) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
    char* real = ::realpath(name.c_str(), nullptr);
    if (real == nullptr) return name;
    std::string target(real);
    std::free(real);
    return target;
}

// Opens a new file beside target; the name is returned in tempName.
[[nodiscard]] int CreateTempBeside(const std::string& target, std::string& tempName, int& error) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempName = dir + "." + base + ".tmp" + std::to_string(::getpid()) + "-" +
                   std::to_string(counter.fetch_add(1));
        const int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    error = errno;
    return -1;
}

}  // namespace

std::string TFileResult::Message() const {
    if (Errno == 0) return {};
    return std::strerror(Errno);
}

TFileResult ReadWholeFile(const std::string& name, std::string& bytes) {
    // Not blocking on open keeps a FIFO from hanging the caller; only regular files are read.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        return {error == ENOENT ? TFileStatus::fsNotFound : TFileStatus::fsReadError, error};
    }
    TFileHandle file(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {TFileStatus::fsReadError, errno};
    if (S_ISDIR(st.st_mode)) return {TFileStatus::fsReadError, EISDIR};
    if (!S_ISREG(st.st_mode)) return {TFileStatus::fsReadError, EINVAL};
    if (st.st_size > kMaxFileBytes) return {TFileStatus::fsReadError, EFBIG};
    try {
        std::string data;
        std::size_t size = 0;
        data.resize(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 65536);
        for (;;) {
            if (size == data.size()) data.resize(data.size() * 2);
            const ssize_t n = ::read(fd, data.data() + size, data.size() - size);
            if (n < 0) {
                if (errno == EINTR) continue;
                return {TFileStatus::fsReadError, errno};
            }
            if (n == 0) break;
            size += static_cast<std::size_t>(n);
            if (size > static_cast<std::size_t>(kMaxFileBytes))
                return {TFileStatus::fsReadError, EFBIG};
        }
        data.resize(size);
        bytes.swap(data);
    } catch (const std::bad_alloc&) {
        return {TFileStatus::fsNoMemory, ENOMEM};
    } catch (const std::length_error&) {
        return {TFileStatus::fsNoMemory, ENOMEM};
    }
    return {};
}

namespace {

using TProduce = std::function<void(const std::function<void(std::string_view)>& sink)>;

// The produced bytes in one string; ENOMEM when they do not fit.
[[nodiscard]] int Collect(const TProduce& produce, std::string& bytes) noexcept {
    try {
        produce([&bytes](std::string_view piece) { bytes.append(piece); });
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    } catch (const std::length_error&) {
        return ENOMEM;
    }
    return 0;
}

// Puts bytes at the start of the open file and cuts it after them; 0 or the error number.
[[nodiscard]] int Overwrite(int fd, std::string_view bytes) noexcept {
    if (::lseek(fd, 0, SEEK_SET) != 0) return errno;
    if (const int error = WriteAll(fd, bytes); error != 0) return error;
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Writes into the existing file itself: its other hard links, its owner and a folder that does
// not take new files all stay. The old content is kept in memory and put back when the new one
// cannot be written whole.
TFileResult WriteInPlace(const std::string& target, const TProduce& produce) {
    std::string old;
    if (const TFileResult read = ReadWholeFile(target, old); !read.Ok())
        return {TFileStatus::fsWriteError, read.Errno};
    std::string bytes;
    if (const int error = Collect(produce, bytes); error != 0)
        return {TFileStatus::fsWriteError, error};
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {TFileStatus::fsWriteError, errno};
    TFileHandle file(fd);
    const int error = Overwrite(fd, bytes);
    if (error != 0) {
        (void)Overwrite(fd, old);
        return {TFileStatus::fsWriteError, error};
    }
    if (const int closeError = file.Close(); closeError != 0)
        return {TFileStatus::fsWriteError, closeError};
    return {};
}

}  // namespace

bool IsReadOnlyFile(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return (st.st_mode & 0222) == 0 || ::access(name.c_str(), W_OK) != 0;
}

std::optional<TFileStamp> FileStamp(const std::string& name) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return TFileStamp{static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 +
                          st.st_mtim.tv_nsec,
                      static_cast<std::int64_t>(st.st_size)};
}

TFileResult WriteFileReplacing(const std::string& name, const TProduce& produce) {
    const std::string target = ResolveTarget(name);
    // Only a regular file is replaced: renaming over a device or a FIFO would destroy it.
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return {TFileStatus::fsWriteError, S_ISDIR(st.st_mode) ? EISDIR : EINVAL};
    // A rename would split a hard link off from the file's other names.
    if (exists && st.st_nlink > 1) return WriteInPlace(target, produce);
    std::string tempName;
    int error = 0;
    const int fd = CreateTempBeside(target, tempName, error);
    if (fd < 0) {
        // A folder that takes no new files: the existing file is written where it is.
        if (exists && (error == EACCES || error == EPERM || error == EROFS))
            return WriteInPlace(target, produce);
        return {TFileStatus::fsWriteError, error};
    }
    TFileHandle file(fd);
    if (exists) (void)::fchmod(fd, st.st_mode & 07777);

    constexpr std::size_t kChunk = 1 << 20;
    std::string buffer;
    try {
        buffer.reserve(kChunk);
        produce([&](std::string_view bytes) {
            if (error != 0) return;
            if (buffer.size() + bytes.size() > kChunk) {
                error = WriteAll(fd, buffer);
                buffer.clear();
                if (error != 0) return;
                if (bytes.size() > kChunk) {
                    error = WriteAll(fd, bytes);
                    return;
                }
            }
            buffer.append(bytes);
        });
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    if (error == 0) error = WriteAll(fd, buffer);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    const int closeError = file.Close();
    if (error == 0) error = closeError;
    if (error == 0 && ::rename(tempName.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(tempName.c_str());
        return {TFileStatus::fsWriteError, error};
    }
    return {};
}

bool MakeParentFolders(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return true;
    const std::string folder = path.substr(0, slash);
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    // Each prefix ending before a "/" is made in turn; an existing one is fine.
    for (std::size_t pos = folder.find('/', 1);; pos = folder.find('/', pos + 1)) {
        const std::string part = folder.substr(0, pos);
        if (!part.empty() && part.back() != '/' && ::mkdir(part.c_str(), 0755) != 0 &&
            errno != EEXIST)
            return false;
        if (pos == std::string::npos) break;
    }
    if (::stat(folder.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
    return false;
}

}  // namespace rekna
