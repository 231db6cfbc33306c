// Small helpers for reading numbers and dates out of script text (internal to the library).
#pragma once

#include <string_view>

namespace rekna {

[[nodiscard]] constexpr bool IsScanSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
[[nodiscard]] constexpr bool IsScanDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

// The text without the blanks and line breaks around it.
[[nodiscard]] constexpr std::string_view ScanTrimmed(std::string_view t) noexcept {
    while (!t.empty() && IsScanSpace(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && IsScanSpace(t.back()))
        t.remove_suffix(1);
    return t;
}

}  // namespace rekna
