// Where the caret goes on the movement keys, and how the view follows it: the scroll margins and
// the scrollable extent of the editor's view.
#pragma once

#include "editor/selection/umemo_selection.h"

#include <cstdint>

namespace rekna {

class TUMemoStrings;

enum class TCaretMove : std::uint8_t {
    mvLeft,
    mvRight,
    mvUp,
    mvDown,
    mvHome,      // to the indentation end, or column 1
    mvEnd,       // to the row end
    mvDocStart,  // row 0, column 1
    mvDocEnd,    // the end of the last row
    mvPageUp,
    mvPageDown,
};

struct TCaretTarget {
    TSelPoint Point;
    // Vertical moves keep the remembered column.
    bool KeepColumn = false;
    // False when the key has nothing to do (the caret stays, nothing is selected anew).
    bool Moved = false;
};

// The caret's target for a move from where it stands. indentRules (AutoIndent with atArrow and no
// Ctrl) keeps the caret out of a row's indentation; pageStep is the rows a page move covers.
// A caret never stands inside a hanging-indent copy: the start of a continuation row is its
// first position behind the copy.
[[nodiscard]] TCaretTarget CaretTarget(const TUMemoStrings& strings, TCaretMove move,
                                       bool indentRules, std::int32_t pageStep);

// The first position of a row the caret may take: behind the hanging-indent copy, and under the
// indent rules behind the row's indentation.
[[nodiscard]] std::int32_t RowStartPos(const TUMemoStrings& strings, std::int32_t row,
                                       bool indentRules) noexcept;

// Rows and columns kept between the caret and the window edges when the view scrolls.
struct TScrollMargins {
    std::int32_t Left = 4;
    std::int32_t Top = 1;
    std::int32_t Right = 4;
    std::int32_t Bottom = 1;

    friend constexpr bool operator==(const TScrollMargins&,
                                     const TScrollMargins&) noexcept = default;
};

// The view's first row and column.
struct TViewOrigin {
    std::int32_t TopRow = 0;
    std::int32_t LeftCol = 1;

    friend constexpr bool operator==(const TViewOrigin&, const TViewOrigin&) noexcept = default;
};

// What the view shows and may scroll over: whole rows and columns that fit, and the scrollable
// extent (the last top row and the last left column).
struct TViewPage {
    std::int32_t Rows = 1;
    std::int32_t Cols = 1;
    std::int32_t MaxTopRow = 0;
    std::int32_t MaxLeftCol = 1;
};

// The origin that brings the caret (row, display column) inside the margins: leaving the window
// upward it stands `Top` rows below the top, downward `Bottom` rows above the bottom, likewise
// sideways. Margins shrink on a page too small for them, so the caret always stays visible.
[[nodiscard]] TViewOrigin CaretScrollOrigin(TViewOrigin now, std::int32_t caretRow,
                                            std::int32_t caretColumn, const TViewPage& page,
                                            const TScrollMargins& margins) noexcept;

}  // namespace rekna
