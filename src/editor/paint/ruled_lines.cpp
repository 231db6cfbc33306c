// Ruled lines: the character a cell gets, writing it into a display cell, and the editor's
// Alt+arrow command.
#include "editor/paint/ruled_lines.h"

#include "editor/store/columns.h"
#include "editor/umemo_editor.h"

#include <algorithm>

namespace rekna {
namespace {

[[nodiscard]] constexpr bool IsLine(char c, char line) noexcept {
    return c == '+' || c == line;
}

// Restores AutoIndent when the command ends, before its edit group closes.
class TAutoIndentOff {
public:
    explicit TAutoIndentOff(TUMemoStrings& s) : FStrings(s), FWas(s.AutoIndent()) {
        s.SetAutoIndent(false);
    }
    TAutoIndentOff(const TAutoIndentOff&) = delete;
    TAutoIndentOff& operator=(const TAutoIndentOff&) = delete;
    ~TAutoIndentOff() { FStrings.SetAutoIndent(FWas); }

private:
    TUMemoStrings& FStrings;
    bool FWas;
};

}  // namespace

char RuleChar(const TRuleNeighbours& n, bool horizontal, bool draw) noexcept {
    if (draw) {
        if (horizontal) return IsLine(n.Above, '|') || IsLine(n.Below, '|') ? '+' : '-';
        return IsLine(n.Left, '-') || IsLine(n.Right, '-') ? '+' : '|';
    }
    // Erasing a move leaves the line that crosses it.
    const char kept = horizontal ? '|' : '-';
    if (n.Current == kept) return kept;
    if (n.Current == '+') {
        const bool crossed = horizontal ? IsLine(n.Above, '|') && IsLine(n.Below, '|')
                                        : IsLine(n.Left, '-') && IsLine(n.Right, '-');
        return crossed ? kept : ' ';
    }
    return ' ';
}

char CellChar(std::string_view text, std::int32_t col, std::int32_t tabStops) noexcept {
    if (col < 1) return ' ';
    const std::int32_t pos = CharAtColumn(text, col, tabStops);
    if (pos > static_cast<std::int32_t>(text.size())) return ' ';
    const char c = text[static_cast<std::size_t>(pos - 1)];
    if (CharBytesAt(text, pos) != 1 || c == '\t') return ' ';
    return c;
}

std::string WriteCell(std::string_view text, std::int32_t col, char ch, std::int32_t tabStops) {
    std::string out(text);
    if (col < 1) return out;
    const std::int32_t width = RowWidth(text, tabStops);
    if (width < col) {
        out.append(static_cast<std::size_t>(col - 1 - width), ' ');
        out.push_back(ch);
        return out;
    }
    const std::int32_t pos = CharAtColumn(text, col, tabStops);
    const std::int32_t start = ColumnOfPos(text, pos, tabStops, 0);
    const auto at = static_cast<std::size_t>(pos - 1);
    if (text[at] == '\t') {
        // The Tab gives way to spaces up to the cell; behind the cell it still reaches its stop.
        const auto stop = static_cast<std::int32_t>(NextTabColumn(start, tabStops));
        std::string piece(static_cast<std::size_t>(col - start), ' ');
        piece.push_back(ch);
        if (col + 1 < stop) piece.push_back('\t');
        out.replace(at, 1, piece);
        return out;
    }
    if (CharBytesAt(text, pos) == 2) {
        // The half of the double-byte character that is not written becomes a space.
        std::string cell(2, ' ');
        cell[start == col ? 0 : 1] = ch;
        out.replace(at, 2, cell);
        return out;
    }
    out[at] = ch;
    return out;
}

void TUMemoEditor::Ruled(TRuleDirection direction, bool draw) {
    if (FReadOnly) return;
    const TEditGroup group(FStrings, true);
    const TAutoIndentOff indentOff(FStrings);
    TUMemoStrings& s = FStrings;
    TUMemoSelection& sel = s.Selection();
    if (s.GetCount() == 0) {
        s.InsertRow(0, {}, false);
        sel.Reset();
    }
    sel.Clear();
    sel.Normalize(s);
    const std::int32_t tabs = s.TabStops();
    const std::int32_t row = sel.Caret.Y;
    const std::int32_t col = s.ColumnOfPos(s.Get(row), sel.Caret.X);
    const bool horizontal = IsHorizontal(direction);
    const auto cell = [&](std::int32_t r, std::int32_t c) {
        return r < 0 || r >= s.GetCount() ? ' ' : CellChar(s.Get(r), c, tabs);
    };
    const auto write = [&](std::int32_t r, std::int32_t c) {
        const TRuleNeighbours n{cell(r, c), cell(r - 1, c), cell(r + 1, c), cell(r, c - 1),
                                cell(r, c + 1)};
        const std::string text = WriteCell(s.Get(r), c, RuleChar(n, horizontal, draw), tabs);
        if (text != s.Get(r)) s.Put(r, text);
    };

    if (direction != TRuleDirection::rdLeft || s.Width(row) >= col) write(row, col);
    std::int32_t r2 = row;
    std::int32_t c2 = col;
    switch (direction) {
    case TRuleDirection::rdLeft: --c2; break;
    case TRuleDirection::rdRight: ++c2; break;
    case TRuleDirection::rdUp: --r2; break;
    case TRuleDirection::rdDown: ++r2; break;
    }
    if (r2 >= 0 && c2 >= 1) {
        if (r2 == s.GetCount()) s.InsertRow(r2, {}, false);
        write(r2, c2);
        sel.Caret = {s.PosOfColumn(s.Get(r2), c2), r2};
        sel.Anchor = sel.Caret;
    }
    s.ReflowRowsUp(std::min(row, r2), std::max(row, r2));
    sel.Normalize(s);
    ScrollCaretIntoView();
}

}  // namespace rekna
