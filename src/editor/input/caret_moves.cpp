// Caret movement by character, row, page and document, and the view following the caret.
#include "editor/input/caret_moves.h"

#include "editor/store/columns.h"
#include "editor/umemo_editor.h"

#include <algorithm>

namespace rekna {
namespace {

[[nodiscard]] std::int32_t Length(std::string_view s) noexcept {
    return static_cast<std::int32_t>(s.size());
}

// The position of a remembered display column on row, kept out of the row's start.
[[nodiscard]] std::int32_t ColumnPos(const TUMemoStrings& s, std::int32_t row, std::int32_t column,
                                     bool indentRules) noexcept {
    const std::int32_t pos = s.PosOfColumn(s.Get(row), column);
    return std::max(pos, RowStartPos(s, row, indentRules));
}

// Keeps `margin` away from both ends of a page of `size`, but never more than fits.
[[nodiscard]] std::int32_t FitMargin(std::int32_t margin, std::int32_t size) noexcept {
    return std::clamp(margin, 0, std::max(0, (size - 1) / 2));
}

[[nodiscard]] std::int32_t Follow(std::int32_t first, std::int32_t at, std::int32_t size,
                                  std::int32_t before, std::int32_t after) noexcept {
    if (at < first + before) return at - before;
    if (at > first + size - 1 - after) return at - (size - 1 - after);
    return first;
}

}  // namespace

std::int32_t RowStartPos(const TUMemoStrings& s, std::int32_t row, bool indentRules) noexcept {
    if (row < 0 || row >= s.GetCount()) return 1;
    std::int32_t start = s.HangLength(row) + 1;
    if (indentRules) start = std::max(start, s.IndentLength(row) + 1);
    return start;
}

TCaretTarget CaretTarget(const TUMemoStrings& s, TCaretMove move, bool indentRules,
                         std::int32_t pageStep) {
    const std::int32_t count = s.GetCount();
    if (count == 0) return {};
    const TUMemoSelection& sel = s.Selection();
    const std::int32_t row = std::clamp(sel.Caret.Y, 0, count - 1);
    const std::string& text = s.Get(row);
    const std::int32_t x = s.TextPos(row, sel.Caret.X);
    const std::int32_t length = Length(text);
    const std::int32_t column = sel.RememberedColumn;
    const auto at = [](std::int32_t px, std::int32_t py, bool keep = false) {
        return TCaretTarget{{px, py}, keep, true};
    };
    switch (move) {
    case TCaretMove::mvRight:
        if (x <= length) return at(x + CharBytesAt(text, x), row);
        if (row + 1 >= count) return {};
        return at(RowStartPos(s, row + 1, indentRules), row + 1);
    case TCaretMove::mvLeft: {
        const bool atStart = x <= s.HangLength(row) + 1 || x == RowStartPos(s, row, indentRules);
        if (!atStart) return at(AdjustToCharStart(text, x - 1), row);
        if (row == 0) return {};
        const std::string& above = s.Get(row - 1);
        std::int32_t pos = Length(above) + 1;
        // The end of a soft-wrapped row and the start of the next are one position: the caret goes
        // in front of the upper row's last character.
        if (s.Continued(row - 1) && Length(above) > s.HangLength(row - 1))
            pos = AdjustToCharStart(above, Length(above));
        return at(pos, row - 1);
    }
    case TCaretMove::mvUp:
        if (row == 0) return {};
        return at(ColumnPos(s, row - 1, column, indentRules), row - 1, true);
    case TCaretMove::mvDown:
        if (row + 1 >= count) return {};
        return at(ColumnPos(s, row + 1, column, indentRules), row + 1, true);
    case TCaretMove::mvHome: {
        const std::int32_t start = RowStartPos(s, row, indentRules);
        if (x <= start) return {};
        return at(start, row);
    }
    case TCaretMove::mvEnd: return at(length + 1, row);
    case TCaretMove::mvDocStart: return at(1, 0);
    case TCaretMove::mvDocEnd: return at(Length(s.Get(count - 1)) + 1, count - 1);
    case TCaretMove::mvPageUp:
    case TCaretMove::mvPageDown: {
        const std::int32_t step = std::max(pageStep, 1);
        const std::int32_t target =
            std::clamp(move == TCaretMove::mvPageUp ? row - step : row + step, 0, count - 1);
        return at(ColumnPos(s, target, column, indentRules), target, true);
    }
    }
    return {};
}

TViewOrigin CaretScrollOrigin(TViewOrigin now, std::int32_t caretRow, std::int32_t caretColumn,
                              const TViewPage& page, const TScrollMargins& margins) noexcept {
    const std::int32_t rows = std::max(page.Rows, 1);
    const std::int32_t cols = std::max(page.Cols, 1);
    TViewOrigin o;
    o.TopRow = Follow(now.TopRow, caretRow, rows, FitMargin(margins.Top, rows),
                      FitMargin(margins.Bottom, rows));
    o.TopRow = std::clamp(o.TopRow, 0, std::max(page.MaxTopRow, 0));
    o.LeftCol = Follow(now.LeftCol, caretColumn, cols, FitMargin(margins.Left, cols),
                       FitMargin(margins.Right, cols));
    o.LeftCol = std::clamp(o.LeftCol, 1, std::max(page.MaxLeftCol, 1));
    // The scrollable extent never hides the caret.
    if (caretRow >= o.TopRow + rows) o.TopRow = caretRow - rows + 1;
    if (caretColumn >= o.LeftCol + cols) o.LeftCol = caretColumn - cols + 1;
    return o;
}

// --- The editor's caret moves and view ----------------------------------------------------------

std::int32_t TUMemoEditor::PageStep() const noexcept {
    return std::max(1, FViewRows - FMargins.Top - FMargins.Bottom);
}

void TUMemoEditor::SetViewSize(std::int32_t rows, std::int32_t cols) noexcept {
    FViewRows = std::max(rows, 1);
    FViewCols = std::max(cols, 1);
}

void TUMemoEditor::SetScrollMargins(const TScrollMargins& margins) noexcept {
    FMargins.Left = std::max(margins.Left, 0);
    FMargins.Top = std::max(margins.Top, 0);
    FMargins.Right = std::max(margins.Right, 0);
    FMargins.Bottom = std::max(margins.Bottom, 0);
}

std::int32_t TUMemoEditor::ScrollWidth() const noexcept {
    const std::int32_t wrap = FStrings.WrapColumns();
    std::int32_t width = wrap > 0 ? wrap + (FStrings.BanBreak() ? 2 : 0) : FStrings.MaxWidth();
    if (!FReadOnly && FWrap.WordWrap() != TWordWrapType::wtRight) width += 2;
    return width;
}

std::int32_t TUMemoEditor::MaxTopRow() const noexcept {
    return std::max(0, FStrings.GetCount() + FMargins.Bottom + 1 - FViewRows);
}

TViewPage TUMemoEditor::ViewPage() const noexcept {
    TViewPage page;
    page.Rows = FViewRows;
    page.Cols = FViewCols;
    page.MaxTopRow = MaxTopRow();
    page.MaxLeftCol = std::max(1, ScrollWidth() - FViewCols + 1);
    return page;
}

void TUMemoEditor::ScrollCaretIntoView() {
    TUMemoStrings& s = FStrings;
    const TUMemoSelection& sel = s.Selection();
    const TViewOrigin origin = CaretScrollOrigin({s.TopRow(), s.LeftCol()}, sel.Caret.Y,
                                                 sel.CaretColumn(s), ViewPage(), FMargins);
    s.SetTopRow(origin.TopRow);
    s.SetLeftCol(origin.LeftCol);
}

void TUMemoEditor::ScrollView(TViewOrigin origin) {
    const TEditGroup group(FStrings, false);
    FTypingRun = false;
    ClosePopup();
    const TViewPage page = ViewPage();
    FStrings.SetTopRow(std::clamp(origin.TopRow, 0, page.MaxTopRow));
    FStrings.SetLeftCol(std::clamp(origin.LeftCol, 1, page.MaxLeftCol));
}

void TUMemoEditor::ScrollRows(std::int32_t delta) {
    ScrollView({FStrings.TopRow() + delta, FStrings.LeftCol()});
}

void TUMemoEditor::MoveCaret(TCaretMove move, TSelMode mode, bool ignoreIndent) {
    const TEditGroup group(FStrings, false);
    FTypingRun = false;
    TUMemoSelection& sel = FStrings.Selection();
    sel.Normalize(FStrings, true);
    const TCaretTarget target = CaretTarget(
        FStrings, move, !ignoreIndent && IndentRule(TAutoIndentType::atArrow), PageStep());
    if (!target.Moved) return;
    if (move == TCaretMove::mvPageUp || move == TCaretMove::mvPageDown) {
        // The view moves with the caret, so that the caret keeps its place on the screen.
        const std::int32_t top = FStrings.TopRow() + target.Point.Y - sel.Caret.Y;
        FStrings.SetTopRow(std::clamp(top, 0, MaxTopRow()));
    }
    sel.SetCaret(FStrings, target.Point, mode, target.KeepColumn);
    ScrollCaretIntoView();
}

}  // namespace rekna
