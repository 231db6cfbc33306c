// Whole-file reading, replacing writes and parent folders, with the result the caller reports.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace rekna {

enum class TFileStatus : std::uint8_t { fsOk, fsNotFound, fsReadError, fsWriteError, fsNoMemory };

// How a file operation ended; Errno is the system's error number of a failure.
struct TFileResult {
    TFileStatus Status = TFileStatus::fsOk;
    int Errno = 0;

    [[nodiscard]] bool Ok() const noexcept { return Status == TFileStatus::fsOk; }
    // The system's description of Errno (empty when it is 0).
    [[nodiscard]] std::string Message() const;
};

// Reads the whole file into bytes; bytes is left alone on failure. Only regular files of at
// most 1 GiB are read (a FIFO or device is a read error and never blocks).
[[nodiscard]] TFileResult ReadWholeFile(const std::string& name, std::string& bytes);

// Writes a file through a temporary file beside it that is renamed over the target, so that a
// failure never leaves a partial target. A file with more than one hard link, or in a folder
// that takes no new files, is written in place instead, with its old content kept in memory and
// put back when the new one cannot be written whole. produce is called once with a sink for the
// bytes; the file keeps an existing target's permissions. A symbolic link is followed, so the file
// it points to is replaced and the link stays. A target that exists but is not a regular file (a
// directory, device or FIFO) is refused.
[[nodiscard]] TFileResult WriteFileReplacing(
    const std::string& name,
    const std::function<void(const std::function<void(std::string_view)>& sink)>& produce);

// An existing regular file that this user may not write, or whose mode lets nobody write it
// (the super-user may write anything, yet such a file is meant to stay as it is).
[[nodiscard]] bool IsReadOnlyFile(const std::string& name);

// What tells that a file changed since it was read: its modification time and size.
struct TFileStamp {
    std::int64_t ModifiedNs = 0;
    std::int64_t Size = 0;
    auto operator<=>(const TFileStamp&) const = default;
};
// The stamp of an existing regular file, else nothing.
[[nodiscard]] std::optional<TFileStamp> FileStamp(const std::string& name);

// Creates the folder that the file path goes into, with its missing parents (mode 0755 before
// the umask), as the settings folder under the user's configuration folder may not exist yet.
// True when it is a folder afterwards; otherwise errno tells why.
[[nodiscard]] bool MakeParentFolders(const std::string& path);

}  // namespace rekna
