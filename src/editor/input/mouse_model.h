// The editor's mouse: what the pointer is over, where a click puts the caret, and how a drag
// extends the selection.
#pragma once

#include "editor/selection/umemo_selection.h"
#include "editor/store/umemo_wrap.h"

#include <cstdint>

namespace rekna {

class TUMemoStrings;

// Normal clicks, the line-selection margin, dragging a stream or a box, dragging the wrap margin.
enum class TMouseMode : std::uint8_t { mmNormal, mmLineMargin, mmStream, mmBox, mmWrapMargin };

// Where the pointer is, in text terms: the row under it (may lie below the last row) and the
// display column, fractional so that the half of a character it is on can be told.
struct TPointerCell {
    std::int32_t Row = 0;
    double Column = 1.0;
    bool InLineMargin = false;  // left of the text area
};

// In wtCount mode, the column right of the wrap width on a row that does not reach it (or below
// the last row) is the handle of the wrap margin.
[[nodiscard]] bool OverWrapMargin(const TUMemoStrings& strings, TWordWrapType wrap,
                                  std::int32_t wrapWidth, const TPointerCell& at) noexcept;

// The mode the pointer's place and the held keys give while no button is down: the margins, then
// Shift+Ctrl for a box, Shift for a stream, else normal.
[[nodiscard]] TMouseMode HoverMode(bool inLineMargin, bool overWrapMargin, bool shift,
                                   bool ctrl) noexcept;

// The text position a click at the pointer gives: in insert mode the nearest character boundary,
// in overwrite mode the character under the pointer. The row is clamped to the store; a position
// inside a hanging-indent copy moves behind it.
[[nodiscard]] TSelPoint PointerPos(const TUMemoStrings& strings, const TPointerCell& at,
                                   bool insertMode) noexcept;

}  // namespace rekna
