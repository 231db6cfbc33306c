// The default extension of a file dialog's filter.
#include "shell/file_filters.h"

namespace rekna {

std::string DefaultExtensionOf(std::string_view filter) {
    // The pattern in brackets: "(*.txt)" gives "txt"; "(*)", "(*.*)" and lists give none.
    const std::size_t open = filter.rfind("(*.");
    if (open == std::string_view::npos) return {};
    const std::size_t close = filter.find(')', open);
    if (close == std::string_view::npos) return {};
    const std::string_view ext = filter.substr(open + 3, close - open - 3);
    if (ext.empty() || ext.find_first_of("*? ;.") != std::string_view::npos) return {};
    return std::string(ext);
}

}  // namespace rekna
