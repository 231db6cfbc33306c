// The control keywords written after "#": display directives and line markers.
#pragma once

#include <string>
#include <string_view>

#include "engine/calc_item.h"

namespace rekna {

inline constexpr int kControlBitCount = 22;

// The keyword of a bit as written, "#" included ("#Eng"); "#" for the definition bits and
// empty for the statistics marker.
[[nodiscard]] const std::string& ControlKeywordText(int bit) noexcept;

// The bit of the keyword "#" + text (text trimmed, compared case-insensitively), also for the
// short forms "$", "&" and "&c"; -1 when the text is not a keyword.
[[nodiscard]] int FindControlKeyword(std::string_view text) noexcept;

// The keyword texts of the set bits in bit order, the form a control item takes in the log.
[[nodiscard]] std::string ControlMaskText(TControlMask mask);

}  // namespace rekna
