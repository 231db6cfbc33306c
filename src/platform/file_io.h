// Whole-file reading, replacing writes and parent folders, with the result the caller reports.
#pragma once

#include <cstdint>
#include <functional>
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
// failure never leaves a partial target. produce is called once with a sink for the bytes; the
// file keeps an existing target's permissions. A symbolic link is followed, so the file it points
// to is replaced and the link stays. A target that exists but is not a regular file (a directory,
// device or FIFO) is refused.
[[nodiscard]] TFileResult WriteFileReplacing(
    const std::string& name,
    const std::function<void(const std::function<void(std::string_view)>& sink)>& produce);

// Creates the folder that the file path goes into, with its missing parents (mode 0755 before
// the umask), as the settings folder under the user's configuration folder may not exist yet.
// True when it is a folder afterwards; otherwise errno tells why.
[[nodiscard]] bool MakeParentFolders(const std::string& path);

}  // namespace rekna
