// Backup slots: each running instance writes a backup of its own, and a start finds the backups
// that no running instance owns any more.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rekna {

// The backup file of a slot in a folder ending in "/": slot 1 is "BackUp" + ext, slot n
// "BackUp<n>" + ext (ext ".txt", ".name" or ".kgd").
[[nodiscard]] std::string BackupSlotFile(const std::string& folder, int slot,
                                         std::string_view ext = ".txt");

// A claim on one slot of a folder: a lock on the hidden file ".BackUp<n>.lock" beside the
// backup, on the open file itself rather than the process, so that two windows of one process
// hold two slots, and the system drops it when the process ends however it ends. A slot whose
// lock nobody holds is no running instance's.
class TBackupSlot {
public:
    TBackupSlot() = default;
    TBackupSlot(const TBackupSlot&) = delete;
    TBackupSlot& operator=(const TBackupSlot&) = delete;
    TBackupSlot(TBackupSlot&& other) noexcept;
    TBackupSlot& operator=(TBackupSlot&& other) noexcept;
    ~TBackupSlot();

    // Takes slot n of folder; an empty claim when another holds it or no lock can be made.
    [[nodiscard]] static TBackupSlot TryTake(const std::string& folder, int slot);
    // The lowest slot nobody holds; slot 1 without a lock when locks cannot be made there (a
    // folder that is not writable: its backups then stay shared, as they were).
    [[nodiscard]] static TBackupSlot Claim(const std::string& folder);

    [[nodiscard]] bool Held() const noexcept { return FFd >= 0; }
    [[nodiscard]] int Number() const noexcept { return FNumber; }
    void Release() noexcept;

    // Slots beyond this are not looked for.
    static constexpr int kMaxSlots = 64;

private:
    int FFd = -1;
    int FNumber = 1;
};

// A backup that no running instance owns: another slot of the settings folder, or a backup
// that the end of a session left in one of the user's own folders. Its slot stays taken while
// the value lives, so that no instance starting meanwhile adopts it.
struct TOrphanBackup {
    std::string File;  // the ".txt"
    std::string Folder;
    int Slot = 1;
    TBackupSlot Lock;
};

// The orphans of the folders (each ending in "/"; the first is the settings folder, whose slot
// ownSlot is this instance's own), lowest slot first; empty files are left out.
[[nodiscard]] std::vector<TOrphanBackup> FindOrphanBackups(const std::vector<std::string>& folders,
                                                           int ownSlot);

// Swaps two backups with their ".name" and ".kgd" files (given by their ".txt" paths); a file
// missing on one side is missing on the other afterwards. Files on another file system are
// copied. False when a move failed; what moved then is named on stderr.
bool SwapBackups(const std::string& a, const std::string& b);

}  // namespace rekna
