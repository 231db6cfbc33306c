// How many leading bytes two texts share, compared a page at a time so that a long row's unchanged
// head costs memcmp speed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace rekna {

[[nodiscard]] inline std::size_t SamePrefixLength(std::string_view a, std::string_view b) noexcept {
    const std::size_t both = std::min(a.size(), b.size());
    constexpr std::size_t kChunk = 4096;
    std::size_t same = 0;
    while (same < both) {
        const std::size_t n = std::min(kChunk, both - same);
        if (std::memcmp(a.data() + same, b.data() + same, n) != 0) {
            while (a[same] == b[same])
                ++same;
            break;
        }
        same += n;
    }
    return same;
}

}  // namespace rekna
