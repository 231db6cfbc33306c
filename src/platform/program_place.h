// Whether the program's own folder is a place to keep its files: an installed program keeps them
// in the user's folders instead.
#pragma once

#include <string_view>

namespace rekna {

// True for a folder the system's packages install programs into (/usr and everything below it,
// /bin, /sbin, /opt, /snap): a program there is shared by every user and never writes beside
// itself, even when it could (as root). The folder may end in "/"; relative paths are never
// system folders.
[[nodiscard]] bool IsSystemProgramFolder(std::string_view folder) noexcept;

// Files beside the program (settings, definitions, backup, templates) only for a copy of its own
// that the user unpacked or built somewhere writable.
[[nodiscard]] inline bool KeepsFilesBesideProgram(std::string_view folder, bool writable) noexcept {
    return writable && !IsSystemProgramFolder(folder);
}

}  // namespace rekna
