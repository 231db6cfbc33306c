// Edits at the selection: deleting it, pasting text as a stream or as whole rows, indenting and
// unindenting the selected rows, selecting everything.
#include "editor/commands/past_string_list.h"
#include "editor/store/columns.h"
#include "editor/store/umemo_strings.h"
#include "platform/cp932.h"
#include "text/str_utils.h"

#include <algorithm>

namespace rekna {
namespace {

// A row that holds nothing above a space.
[[nodiscard]] bool IsBlank(std::string_view s) noexcept {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

[[nodiscard]] std::int32_t Length(std::string_view s) noexcept {
    return static_cast<std::int32_t>(s.size());
}

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

}  // namespace

// --- Helpers ----------------------------------------------------------------------------------

std::int32_t TUMemoStrings::TextPos(std::int32_t row, std::int32_t x) const noexcept {
    if (row < 0 || row >= GetCount()) return std::max(x, 1);
    const TUMemoStringItem& item = FRows.At(row);
    return std::clamp(x, item.HangLength + 1, Length(item.Text) + 1);
}

void TUMemoStrings::ReflowRowsUp(std::int32_t from, std::int32_t to) {
    if (GetCount() == 0) return;
    from = std::max(from, 0);
    for (std::int32_t row = std::min(to, GetCount() - 1); row >= from;) {
        const std::int32_t first = FRows.FirstRowOfLine(row);
        ReflowFrom(first);
        row = first - 1;
    }
}

std::string TUMemoStrings::ConvertInput(std::string_view t) const {
    std::string out = FDoubleKana ? ToFullWidthKana(t) : std::string(t);
    // '/' and '*' are below every trail byte, so they are always characters of their own.
    if (FDoubleDiv) {
        static const std::string div = SysText("÷");
        ReplaceAll(out, "/", div);
    }
    if (FDoubleMul) {
        static const std::string mul = SysText("×");
        ReplaceAll(out, "*", mul);
    }
    return out;
}

// --- Deleting ---------------------------------------------------------------------------------

void TUMemoStrings::DeleteSelection() {
    if (GetCount() == 0) return;
    TUMemoSelection& sel = FSelection;
    sel.Normalize(*this, true);
    if (sel.Mode == TSelMode::smNone) return;
    if (sel.Mode == TSelMode::smStream && sel.Caret == sel.Anchor) return;
    BeginEdit(false);
    switch (sel.Mode) {
    case TSelMode::smLine: DeleteLineSelection(); break;
    case TSelMode::smStream: DeleteStreamSelection(); break;
    case TSelMode::smBox: DeleteBoxSelection(); break;
    case TSelMode::smNone: break;
    }
    sel.Normalize(*this);
    EndEdit(false);
}

void TUMemoStrings::DeleteLineSelection() {
    TUMemoSelection& sel = FSelection;
    const std::int32_t from = sel.Start().Y;
    std::int32_t to = sel.End().Y;
    // The document's last row is emptied, never deleted, so the store keeps a row.
    if (to == GetCount() - 1) {
        PutRow(to, {}, false);
        --to;
    }
    // From the top, so that the rows that move up follow the row above the selection at once
    // and keep their hanging-indent copies when that row is continued.
    RawDeleteRows(from, to - from + 1);
    FixHang(from);
    const std::int32_t last = GetCount() - 1;
    sel.Mode = TSelMode::smNone;
    if (from < last)
        sel.Caret = {1, from};
    else
        sel.Caret = {Length(FRows.At(last).Text) + 1, last};
    sel.Anchor = sel.Caret;
    Reflow(std::min(from, last));
}

void TUMemoStrings::DeleteStreamSelection() {
    TUMemoSelection& sel = FSelection;
    const TSelPoint start{TextPos(sel.Start().Y, sel.Start().X), sel.Start().Y};
    const TSelPoint end{TextPos(sel.End().Y, sel.End().X), sel.End().Y};
    const std::string& first = FRows.At(start.Y).Text;
    if (start.Y == end.Y) {
        if (start.X < end.X) {
            std::string text = first;
            text.erase(static_cast<std::size_t>(start.X - 1),
                       static_cast<std::size_t>(end.X - start.X));
            Put(start.Y, text);
        }
    } else {
        const bool endFlag = FRows.At(end.Y).Continued != 0;
        std::string text = first.substr(0, static_cast<std::size_t>(start.X - 1));
        text += std::string_view(FRows.At(end.Y).Text).substr(static_cast<std::size_t>(end.X - 1));
        // While the start row is continued, each row that moves up behind it keeps its
        // hanging-indent copy; the end row's flag decides at the end what the row after it is.
        PutRow(start.Y, text, true);
        RawDeleteRows(start.Y + 1, end.Y - start.Y);
        SetContinued(start.Y, endFlag);
    }
    sel.Mode = TSelMode::smNone;
    sel.Caret = start;
    sel.Anchor = start;
    Reflow(start.Y);
}

// --- Pasting ----------------------------------------------------------------------------------

void TUMemoStrings::PasteText(std::string_view text, bool selectAfter, bool forceBox) {
    const std::string converted = ConvertInput(text);
    TPastStringList list;
    list.SetTextStr(converted);
    // A lone CR at the end is a line break as well.
    if (!converted.empty() && converted.back() == '\r') list.Add({});
    const std::vector<std::string>& lines = list.Lines();
    if (lines.empty()) return;
    BeginEdit(false);
    FSelection.Normalize(*this, true);
    if (GetCount() == 0)
        PasteIntoEmpty(lines, selectAfter);
    else if (forceBox || FSelection.Mode == TSelMode::smBox)
        PasteBox(lines, selectAfter);
    else if (FSelection.Mode == TSelMode::smLine)
        PasteRows(lines, selectAfter);
    else
        PasteStream(lines, selectAfter);
    FSelection.Normalize(*this);
    EndEdit(false);
}

void TUMemoStrings::PasteIntoEmpty(const std::vector<std::string>& lines, bool selectAfter) {
    for (const std::string& line : lines)
        InsertRow(GetCount(), line, false);
    FSelection.Mode = TSelMode::smNone;
    FSelection.Caret = {Length(lines.back()) + 1, GetCount() - 1};
    FSelection.Anchor = FSelection.Caret;
    if (FRules.WrapColumns > 0) ReflowRowsUp(0, GetCount() - 1);
    if (selectAfter) SelectAll();
}

void TUMemoStrings::PasteRows(const std::vector<std::string>& lines, bool selectAfter) {
    TUMemoSelection& sel = FSelection;
    const std::int32_t at = sel.Caret.Y;
    // The lines go in as one run, already cut into rows when the memo wraps; the re-wrap below
    // then finds them as they should be.
    std::vector<TUMemoStringItem> rows;
    rows.reserve(lines.size());
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (FRules.WrapColumns > 0)
            AppendWrapped(rows, lines[i]);
        else
            rows.push_back(NewItem(lines[i], false, 0));
    }
    const std::int32_t following = at + static_cast<std::int32_t>(rows.size());
    RawInsertRows(at, std::move(rows));
    FixHang(following);
    const std::string& last = lines.back();
    if (!last.empty()) Put(following, last + FRows.At(following).Text);
    const std::int32_t lastPasted = last.empty() ? following - 1 : following;
    if (selectAfter && lastPasted >= at) {
        sel.Mode = TSelMode::smLine;
        sel.Anchor = {1, at};
        sel.Caret = {1, lastPasted};
    } else {
        sel.Mode = TSelMode::smNone;
        sel.Caret = {1, following};
        sel.Anchor = sel.Caret;
    }
    ReflowRowsUp(at, following);
}

void TUMemoStrings::PasteStream(const std::vector<std::string>& lines, bool selectAfter) {
    TUMemoSelection& sel = FSelection;
    const std::int32_t row = sel.Caret.Y;
    const std::int32_t x = TextPos(row, sel.Caret.X);
    const std::string& text = FRows.At(row).Text;
    const std::string head = text.substr(0, static_cast<std::size_t>(x - 1));
    const std::string tail = text.substr(static_cast<std::size_t>(x - 1));
    const auto n = static_cast<std::int32_t>(lines.size());
    if (n == 1) {
        Put(row, head + lines[0] + tail);
        sel.Caret = {x + Length(lines[0]), row};
    } else {
        // The last row first: the rows below it keep following a row with the caret row's flag.
        InsertRow(row + 1, lines.back() + tail, FRows.At(row).Continued != 0);
        PutRow(row, head + lines[0], false);
        for (std::int32_t i = 1; i + 1 < n; ++i)
            InsertRow(row + i, lines[static_cast<std::size_t>(i)], false);
        sel.Caret = {Length(lines.back()) + 1, row + n - 1};
    }
    sel.Anchor = selectAfter ? TSelPoint{x, row} : sel.Caret;
    sel.Mode = selectAfter ? TSelMode::smStream : TSelMode::smNone;
    ReflowRowsUp(row, row + n - 1);
}

// --- Indentation of the selected rows ---------------------------------------------------------

void TUMemoStrings::IndentSelection(char ch) {
    if (GetCount() == 0 || !FSelection.HasSelection(*this)) return;
    BeginEdit(false);
    TUMemoSelection& sel = FSelection;
    sel.Normalize(*this, true);
    const bool stream = sel.Mode == TSelMode::smStream;
    const std::int32_t column = sel.Mode == TSelMode::smLine ? 1 : sel.AnchorColumn(*this);
    const std::int32_t distance = sel.Caret.Y - FTopRow;
    const std::int32_t caretRow = sel.Caret.Y;
    const std::int32_t from = sel.Start().Y;
    const std::int32_t to = sel.End().Y;
    for (std::int32_t row = from; row <= to; ++row) {
        // A continuation row begins with a copy of its line's indentation, which the re-wrap
        // renews; text put there would land in the middle of the line.
        if (row > 0 && FRows.At(row - 1).Continued != 0) continue;
        std::string text = FRows.At(row).Text;
        if (IsBlank(text) || FRows.At(row).Width < column) continue;
        std::int32_t pos = BoxPosOfColumn(text, column);
        std::string piece(1, ch);
        if (AdjustToCharStart(text, pos) != pos) {
            // The column falls inside a double-byte character: indent in front of it.
            --pos;
            piece.insert(piece.begin(), ' ');
        }
        text.insert(static_cast<std::size_t>(pos - 1), piece);
        Put(row, text);
        if (stream) {
            for (TSelPoint* point : {&sel.Caret, &sel.Anchor})
                if (point->Y == row && point->X >= pos) point->X += Length(piece);
        }
    }
    ReflowRowsUp(from, to);
    if (sel.Caret.Y != caretRow) SetTopRow(sel.Caret.Y - distance);
    sel.Normalize(*this);
    EndEdit(false);
}

void TUMemoStrings::UnindentSelection() {
    if (GetCount() == 0 || !FSelection.HasSelection(*this)) return;
    BeginEdit(false);
    static const std::string fullWidthSpace = SysText("　");
    TUMemoSelection& sel = FSelection;
    sel.Normalize(*this, true);
    const bool stream = sel.Mode == TSelMode::smStream;
    const std::int32_t column = std::max(1, sel.AnchorColumn(*this) - 1);
    const std::int32_t distance = sel.Caret.Y - FTopRow;
    const std::int32_t caretRow = sel.Caret.Y;
    const std::int32_t from = sel.Start().Y;
    const std::int32_t to = sel.End().Y;
    for (std::int32_t row = from; row <= to; ++row) {
        if (row > 0 && FRows.At(row - 1).Continued != 0) continue;
        std::string text = FRows.At(row).Text;
        if (IsBlank(text) || FRows.At(row).Width < column) continue;
        const std::int32_t pos = PosOfColumn(text, column);
        if (pos > Length(text)) continue;
        const char c = text[static_cast<std::size_t>(pos - 1)];
        std::int32_t bytes = 0;
        if (c == ' ' || c == '>' || c == '#' || c == ';' || c == '?' || c == '\t')
            bytes = 1;
        else if (pos < Length(text) && std::string_view(text).substr(
                                           static_cast<std::size_t>(pos - 1), 2) == fullWidthSpace)
            bytes = 2;
        if (bytes == 0) continue;
        text.erase(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(bytes));
        Put(row, text);
        if (stream) {
            for (TSelPoint* point : {&sel.Caret, &sel.Anchor})
                if (point->Y == row && point->X > pos) point->X = std::max(pos, point->X - bytes);
        }
    }
    ReflowRowsUp(from, to);
    if (sel.Caret.Y != caretRow) SetTopRow(sel.Caret.Y - distance);
    sel.Normalize(*this);
    EndEdit(false);
}

void TUMemoStrings::SelectAll() {
    const std::int32_t count = GetCount();
    if (count == 0 || (count == 1 && FRows.At(0).Text.empty())) return;
    BeginEdit(false);
    FSelection.SelectRows(*this, 0, count - 1);
    EndEdit(false);
}

}  // namespace rekna
