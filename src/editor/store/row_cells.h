// The cells of one painted row: classified characters placed on columns, with the end mark, the
// find highlight, the selection and the bracket levels applied.
#pragma once

#include "editor/commands/find_match.h"
#include "editor/paint/char_kind.h"
#include "editor/selection/umemo_selection.h"

#include <cstdint>
#include <vector>

namespace rekna {

class TUMemoStrings;

// What of one row is selected, as the painter shows it.
struct TRowSelection {
    TSelMode Mode = TSelMode::smNone;  // smNone: nothing on the row is shown selected
    // Stream: the byte positions From <= p < To; box: the columns From <= c < To.
    std::int32_t From = 0;
    std::int32_t To = 0;
    bool EndSelected = false;  // the line-end mark (and the EOF mark) of the row
    bool Focused = false;      // with a mode: the focused colours

    friend bool operator==(const TRowSelection&, const TRowSelection&) = default;
};

// The row's part of the store's selection. Nothing shows while hideSelection is on and the control
// has no focus. In stream mode the row's leading indentation is never shown selected while
// AutoIndent and atSelect are on; the line end counts as selected when the position after the
// row's last character is; a box never selects the line end.
[[nodiscard]] TRowSelection RowSelectionOf(const TUMemoStrings& strings, std::int32_t row,
                                           bool focused, bool hideSelection);

struct TPaintCell {
    std::int32_t Pos = 1;     // first byte, 1-based; an end mark stands at length + 1
    std::int32_t Column = 1;  // first display column
    std::int32_t Width = 1;   // display columns
    std::uint8_t Bytes = 1;   // bytes of the row it shows; 0 for an end mark
    std::uint8_t Byte = 0;    // its first byte
    TCharKind Kind = TCharKind::ckChar;
    bool Selected = false;
    bool CaretPair = false;  // a bracket of the pair that encloses the caret
    // Brackets: depth relative to the row's innermost brackets (0), negative outward.
    std::int32_t Level = 0;

    friend bool operator==(const TPaintCell&, const TPaintCell&) = default;
};

// What else decides a row's cells besides its classified line.
struct TRowCellOptions {
    std::int32_t FromColumn = 1;  // the columns painted, inclusive
    std::int32_t ToColumn = INT32_MAX;
    bool ShowCr = true;   // the line-end mark after a row without a soft break
    bool ShowEof = true;  // the end-of-document mark after the last row
    const TFindMatcher* Find = nullptr;
    TRowSelection Selection{};
};

struct TRowCells {
    std::int32_t Row = 0;
    TLineState State = TLineState::lsNormal;
    std::vector<TPaintCell> Cells;  // those that reach into the painted columns, left to right
    std::int32_t EndColumn = 1;     // the column after the row's text, where an end mark stands
    bool SeveralLevels = false;     // the row's brackets lie on at least two depths
};

// Builds the cells of row (a row of line) that overlap the painted columns. A Tab covers the
// columns up to its tab stop but never passes the column after the wrap margin.
void BuildRowCells(const TUMemoStrings& strings, const TClassifiedLine& line, std::int32_t row,
                   const TRowCellOptions& options, TRowCells& out);

}  // namespace rekna
