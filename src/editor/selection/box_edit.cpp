// Edits of a box selection and of the multi-row caret: deleting the box, pasting into every row,
// typing, Backspace and Delete on every row.
#include "editor/store/columns.h"
#include "editor/store/umemo_strings.h"

#include <algorithm>

namespace rekna {
namespace {

[[nodiscard]] std::int32_t Length(std::string_view s) noexcept {
    return static_cast<std::int32_t>(s.size());
}

// A zero-width box at display column `column` on the caret's and the anchor's rows. When the
// column falls inside a double-byte character on one of them, the box goes to the next column
// both rows can hold: a box of one column would take that column's text with the next keystroke.
void PlaceBox(TUMemoStrings& s, std::int32_t column) {
    TUMemoSelection& sel = s.Selection();
    const std::string& caretRow = s.Item(sel.Caret.Y).Text;
    const std::string& anchorRow = s.Item(sel.Anchor.Y).Text;
    std::int32_t target = column;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const std::int32_t a = s.ColumnOfPos(caretRow, s.PosOfColumn(caretRow, target));
        const std::int32_t b = s.ColumnOfPos(anchorRow, s.PosOfColumn(anchorRow, target));
        if (a == b || std::max(a, b) < target) break;
        target = std::max(a, b);
    }
    sel.Caret.X = s.PosOfColumn(caretRow, target);
    sel.Anchor.X = s.PosOfColumn(anchorRow, target);
    sel.Mode = TSelMode::smBox;
}

// Pads text with spaces up to display column `column` (exclusive).
void PadTo(std::string& text, std::int32_t width, std::int32_t column) {
    if (width < column - 1) text.append(static_cast<std::size_t>(column - 1 - width), ' ');
}

}  // namespace

void TUMemoStrings::DeleteBoxSelection() {
    TUMemoSelection& sel = FSelection;
    const std::int32_t left = sel.BoxLeft(*this);
    const std::int32_t right = sel.BoxRight(*this);
    if (left == right) return;  // the multi-row caret stays as it is
    const std::int32_t top = sel.BoxTop();
    const std::int32_t bottom = sel.BoxBottom();
    for (std::int32_t row = top; row <= bottom; ++row) {
        const TUMemoStringItem& item = FRows.At(row);
        if (item.Width < left) continue;
        const std::int32_t from = PosOfColumn(item.Text, left);
        const std::int32_t to = PosOfColumn(item.Text, right);
        if (from >= to) continue;
        std::string text = item.Text;
        text.erase(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from));
        Put(row, text);
    }
    PlaceBox(*this, left);
    ReflowRowsUp(top, bottom);
}

void TUMemoStrings::PasteBox(const std::vector<std::string>& lines, bool selectAfter) {
    TUMemoSelection& sel = FSelection;
    std::size_t n = lines.size();
    if (n > 1 && lines.back().empty()) --n;  // a final line break pastes no row
    const bool inBox = sel.Mode == TSelMode::smBox;
    const std::int32_t column = inBox ? sel.BoxLeft(*this) : sel.CaretColumn(*this);
    const std::int32_t top = inBox ? sel.BoxTop() : sel.Caret.Y;
    const std::int32_t bottom = inBox ? sel.BoxBottom() : top + static_cast<std::int32_t>(n) - 1;
    // A forced paste below the last row adds rows rather than dropping the rest of the text.
    while (GetCount() <= bottom) {
        const std::int32_t last = GetCount() - 1;
        if (FRows.At(last).Continued != 0) SetContinued(last, false);
        InsertRow(GetCount(), {}, false);
    }
    std::int32_t longest = 0;
    TSelPoint behind = sel.Caret;
    for (std::int32_t row = top; row <= bottom; ++row) {
        const std::string& piece = lines[static_cast<std::size_t>(row - top) % n];
        if (piece.empty()) continue;
        longest = std::max(longest, Length(piece));
        std::string text = FRows.At(row).Text;
        PadTo(text, FRows.At(row).Width, column);
        const std::int32_t pos = PosOfColumn(text, column);
        text.insert(static_cast<std::size_t>(pos - 1), piece);
        Put(row, text);
        behind = {pos + Length(piece), row};
    }
    if (!inBox) {
        sel.Mode = TSelMode::smNone;
        sel.Caret = behind;
        sel.Anchor = behind;
    } else if (selectAfter) {
        sel.Mode = TSelMode::smBox;
        sel.Anchor = {PosOfColumn(FRows.At(top).Text, column), top};
        sel.Caret = {PosOfColumn(FRows.At(bottom).Text, column + longest), bottom};
    } else {
        PlaceBox(*this, column + longest);
    }
    if (FRules.WrapColumns > 0) ReflowRowsUp(top, bottom);
}

void TUMemoStrings::BoxInsert(std::string_view t, bool overwrite) {
    if (GetCount() == 0 || FSelection.Mode != TSelMode::smBox) return;
    BeginEdit(false);
    TUMemoSelection& sel = FSelection;
    sel.Normalize(*this, true);
    if (sel.BoxLeft(*this) != sel.BoxRight(*this)) DeleteBoxSelection();
    const std::int32_t left = sel.BoxLeft(*this);
    const std::int32_t top = sel.BoxTop();
    const std::int32_t bottom = sel.BoxBottom();
    TSelPoint caret = sel.Caret;
    TSelPoint anchor = sel.Anchor;
    for (std::int32_t row = top; row <= bottom; ++row) {
        const TUMemoStringItem& item = FRows.At(row);
        std::string text = item.Text;
        if (overwrite && item.Width < left - 1) continue;
        PadTo(text, item.Width, left);
        const std::int32_t pos = PosOfColumn(text, left);
        if (overwrite) {
            std::int32_t end = std::min(pos + Length(t), Length(text) + 1);
            // The replaced range never ends inside a double-byte character.
            if (end <= Length(text) && AdjustToCharStart(text, end) != end) ++end;
            text.replace(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(end - pos), t);
        } else {
            text.insert(static_cast<std::size_t>(pos - 1), t);
        }
        Put(row, text);
        if (row == caret.Y) caret.X = pos + Length(t);
        if (row == anchor.Y) anchor.X = pos + Length(t);
    }
    sel.Caret = caret;
    sel.Anchor = anchor;
    sel.Mode = TSelMode::smBox;
    ReflowRowsUp(top, bottom);
    sel.Normalize(*this);
    EndEdit(false);
}

void TUMemoStrings::BoxBackSpace() {
    if (GetCount() == 0 || FSelection.Mode != TSelMode::smBox) return;
    TUMemoSelection& sel = FSelection;
    sel.Normalize(*this, true);
    const std::int32_t column = sel.BoxLeft(*this);
    if (column <= 1 || column != sel.BoxRight(*this)) return;
    BeginEdit(false);
    const std::int32_t top = sel.BoxTop();
    const std::int32_t bottom = sel.BoxBottom();
    std::int32_t removed = 0;
    for (std::int32_t row = top; row <= bottom; ++row) {
        const TUMemoStringItem& item = FRows.At(row);
        if (item.Width < column - 1) continue;
        const std::int32_t pos = PosOfColumn(item.Text, column);
        if (pos <= 1) continue;
        const std::int32_t start = AdjustToCharStart(item.Text, pos - 1);
        if (row == sel.Caret.Y)
            removed = ColumnOfPos(item.Text, pos) - ColumnOfPos(item.Text, start);
        std::string text = item.Text;
        text.erase(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(pos - start));
        Put(row, text);
    }
    PlaceBox(*this, column - removed);
    ReflowRowsUp(top, bottom);
    sel.Normalize(*this);
    EndEdit(false);
}

void TUMemoStrings::BoxDeleteChar() {
    if (GetCount() == 0 || FSelection.Mode != TSelMode::smBox) return;
    TUMemoSelection& sel = FSelection;
    sel.Normalize(*this, true);
    const std::int32_t column = sel.BoxRight(*this);
    if (column != sel.BoxLeft(*this)) return;
    BeginEdit(false);
    const std::int32_t top = sel.BoxTop();
    const std::int32_t bottom = sel.BoxBottom();
    for (std::int32_t row = top; row <= bottom; ++row) {
        const TUMemoStringItem& item = FRows.At(row);
        if (item.Width < column) continue;
        const std::int32_t pos = PosOfColumn(item.Text, column);
        if (pos > Length(item.Text)) continue;
        std::string text = item.Text;
        text.erase(static_cast<std::size_t>(pos - 1),
                   static_cast<std::size_t>(CharBytesAt(text, pos)));
        Put(row, text);
    }
    ReflowRowsUp(top, bottom);
    sel.Normalize(*this);
    EndEdit(false);
}

}  // namespace rekna
