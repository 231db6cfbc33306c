// Backup slots held by locks on open files, the orphaned backups a start finds, and the swap
// that lets a window adopt one.
#include "shell/backup_slots.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/file_io.h"

namespace rekna {

namespace {

namespace fs = std::filesystem;

[[nodiscard]] std::string LockFile(const std::string& folder, int slot) {
    return folder + "." + (slot <= 1 ? std::string("BackUp") : "BackUp" + std::to_string(slot)) +
           ".lock";
}

enum class TLockResult : std::uint8_t { lrTaken, lrHeldByOther, lrNoLock };

// A lock on the open file description: held per open file, not per process, and given up by
// the system when the descriptor closes (also when the process dies).
TLockResult TakeLock(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return TLockResult::lrNoLock;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0) return TLockResult::lrTaken;
    const int error = errno;
    ::close(fd);
    fd = -1;
    return error == EAGAIN || error == EACCES ? TLockResult::lrHeldByOther : TLockResult::lrNoLock;
}

[[nodiscard]] bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// rename, or a copy and a removal across file systems.
bool MoveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) return false;
    std::string bytes;
    if (!ReadWholeFile(from, bytes).Ok()) return false;
    if (!WriteFileReplacing(to, [&bytes](const auto& sink) { sink(bytes); }).Ok()) return false;
    return ::unlink(from.c_str()) == 0;
}

bool Report(bool ok, const std::string& from, const std::string& to) {
    if (!ok) std::fprintf(stderr, "rekna: cannot move %s to %s\n", from.c_str(), to.c_str());
    return ok;
}

}  // namespace

std::string BackupSlotFile(const std::string& folder, int slot, std::string_view ext) {
    std::string file = folder + "BackUp";
    if (slot > 1) file += std::to_string(slot);
    file += ext;
    return file;
}

TBackupSlot::TBackupSlot(TBackupSlot&& other) noexcept
    : FFd(std::exchange(other.FFd, -1)), FNumber(other.FNumber) {}

TBackupSlot& TBackupSlot::operator=(TBackupSlot&& other) noexcept {
    if (this != &other) {
        Release();
        FFd = std::exchange(other.FFd, -1);
        FNumber = other.FNumber;
    }
    return *this;
}

TBackupSlot::~TBackupSlot() {
    Release();
}

void TBackupSlot::Release() noexcept {
    if (FFd >= 0) ::close(FFd);
    FFd = -1;
}

TBackupSlot TBackupSlot::TryTake(const std::string& folder, int slot) {
    TBackupSlot taken;
    taken.FNumber = slot;
    if (TakeLock(LockFile(folder, slot), taken.FFd) != TLockResult::lrTaken) taken.FFd = -1;
    return taken;
}

TBackupSlot TBackupSlot::Claim(const std::string& folder) {
    (void)MakeParentFolders(folder + "x");
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        TBackupSlot taken;
        taken.FNumber = slot;
        const TLockResult result = TakeLock(LockFile(folder, slot), taken.FFd);
        if (result == TLockResult::lrTaken) return taken;
        if (result == TLockResult::lrNoLock) break;
    }
    return {};
}

std::vector<TOrphanBackup> FindOrphanBackups(const std::vector<std::string>& folders, int ownSlot) {
    std::vector<TOrphanBackup> found;
    std::vector<fs::path> seen;
    for (std::size_t f = 0; f < folders.size(); ++f) {
        const std::string& folder = folders[f];
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(folder, ec);
        if (folder.empty() || ec || !fs::is_directory(canonical, ec)) continue;
        bool again = false;
        for (const fs::path& p : seen)
            again = again || p == canonical;
        if (again) continue;
        seen.push_back(canonical);
        for (int slot = 1; slot <= TBackupSlot::kMaxSlots; ++slot) {
            if (f == 0 && slot == ownSlot) continue;
            const std::string file = BackupSlotFile(folder, slot);
            struct stat st {};
            if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) continue;
            TBackupSlot lock = TBackupSlot::TryTake(folder, slot);
            // Held by a running instance, or no way to tell: not offered.
            if (!lock.Held()) continue;
            found.push_back({file, folder, slot, std::move(lock)});
        }
    }
    return found;
}

bool SwapBackups(const std::string& a, const std::string& b) {
    const auto base = [](const std::string& txt) {
        return txt.size() > 4 && txt.ends_with(".txt") ? txt.substr(0, txt.size() - 4) : txt;
    };
    const std::string baseA = base(a), baseB = base(b);
    const std::size_t slash = baseA.rfind('/');
    const std::string parking = baseA.substr(0, slash + 1) + ".BackUp.swap";
    bool ok = true;
    for (const char* ext : {".txt", ".name", ".kgd"}) {
        const std::string fileA = baseA + ext, fileB = baseB + ext, park = parking + ext;
        const bool hadA = Exists(fileA);
        if (hadA && !Report(MoveFile(fileA, park), fileA, park)) {
            ok = false;
            continue;
        }
        if (Exists(fileB) && !Report(MoveFile(fileB, fileA), fileB, fileA)) {
            ok = false;
            if (hadA) (void)MoveFile(park, fileA);
            continue;
        }
        if (hadA) ok = Report(MoveFile(park, fileB), park, fileB) && ok;
    }
    return ok;
}

}  // namespace rekna
