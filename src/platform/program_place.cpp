// The system folders that installed programs live in.
#include "platform/program_place.h"

#include <array>

namespace rekna {

bool IsSystemProgramFolder(std::string_view folder) noexcept {
    static constexpr std::array<std::string_view, 5> kRoots = {"/usr", "/bin", "/sbin", "/opt",
                                                               "/snap"};
    for (const std::string_view root : kRoots) {
        if (folder.substr(0, root.size()) != root) continue;
        // "/usr" and "/usr/..." are, "/usrlocal" is not.
        if (folder.size() == root.size() || folder[root.size()] == '/') return true;
    }
    return false;
}

}  // namespace rekna
