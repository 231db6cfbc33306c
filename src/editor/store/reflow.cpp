// Re-wrapping of the store's rows: one logical line after an edit, or all of them for a new width.
#include "editor/store/umemo_strings.h"

#include "platform/cp932.h"

#include <algorithm>

namespace rekna {
namespace {

// True when every byte of s could belong to an indentation run, so a run that covers s may go
// on in the line's next row.
[[nodiscard]] bool AllIndentBytes(std::string_view s) {
    static const std::string bytes = "\t >#;?" + SysText("　");
    return s.find_first_not_of(bytes) == std::string_view::npos;
}

}  // namespace

std::string TUMemoStrings::LineHangIndent(std::int32_t first) const {
    if (!FRules.AutoIndent || FRules.WrapColumns <= 0 || first >= GetCount()) return {};
    // The indentation run decides the hanging indent; it rarely reaches past the first row, but
    // a row made only of indentation lets it go on in the next one.
    std::string start(RowContent(first));
    for (std::int32_t row = first;
         AllIndentBytes(RowContent(row)) && FRows.At(row).Continued != 0 && row + 1 < GetCount();) {
        ++row;
        start += RowContent(row);
    }
    return std::string(HangIndentOf(start, FRules));
}

std::int32_t TUMemoStrings::Reflow(std::int32_t row) {
    if (GetCount() == 0) return 0;
    return ReflowFrom(FirstRowOfLine(row));
}

std::int32_t TUMemoStrings::ReflowFrom(std::int32_t row) {
    const std::int32_t count = GetCount();
    if (count == 0) return 0;
    const std::int32_t start = std::clamp(row, 0, count - 1);
    const std::int32_t first = FRows.FirstRowOfLine(start);
    const std::int32_t last = FRows.LastRowOfLine(start);
    if (FRules.WrapColumns <= 0 && first == last && FRows.At(first).HangLength == 0) {
        // Without wrapping a line is one row holding all of its text: it stays as it is.
        FSelection.Normalize(*this);
        return last;
    }
    const std::string hang = LineHangIndent(first);
    const std::string_view firstPrefix = start == first ? std::string_view() : hang;

    FContent.clear();
    FOldStarts.clear();
    for (std::int32_t r = start; r <= last; ++r) {
        FOldStarts.push_back(FContent.size());
        FContent += RowContent(r);
    }
    WrapText(FContent, firstPrefix, hang, FRules, FPieces);
    const std::string_view content = FContent;
    const std::int32_t oldRows = last - start + 1;
    const auto newRows = static_cast<std::int32_t>(FPieces.size());
    // A Continued flag on the store's last row is a hard end; it stays where it is.
    const bool lastFlag = FRows.At(last).Continued != 0;

    auto prefixOf = [&](std::int32_t j) { return j == 0 ? firstPrefix : std::string_view(hang); };
    auto pieceOf = [&](std::int32_t j) {
        const TRowPiece& p = FPieces[static_cast<std::size_t>(j)];
        return content.substr(p.Begin, p.End - p.Begin);
    };
    auto flagOf = [&](std::int32_t j) { return j < newRows - 1 || lastFlag; };
    // Row start + j keeps its text and its part of the line.
    auto unchanged = [&](std::int32_t j) {
        if (j >= newRows || j >= oldRows) return false;
        const TUMemoStringItem& item = FRows.At(start + j);
        const std::string_view prefix = prefixOf(j);
        const std::string_view piece = pieceOf(j);
        const std::string_view text = item.Text;
        return FOldStarts[static_cast<std::size_t>(j)] ==
                   FPieces[static_cast<std::size_t>(j)].Begin &&
               item.HangLength == prefix.size() && text.size() == prefix.size() + piece.size() &&
               text.substr(0, prefix.size()) == prefix && text.substr(prefix.size()) == piece;
    };

    bool changed = oldRows != newRows;
    for (std::int32_t j = 0; !changed && j < newRows; ++j)
        changed = !unchanged(j) || (FRows.At(start + j).Continued != 0) != flagOf(j);
    if (!changed) {
        FSelection.Normalize(*this);
        return last;
    }

    BeginEdit(false);
    // Caret and anchor go with the text they stand in.
    TUMemoSelection& selection = FSelection;
    if (selection.Mode == TSelMode::smNone) selection.Anchor = selection.Caret;
    if (selection.Mode == TSelMode::smLine) {
        TSelPoint& lo = selection.Caret < selection.Anchor ? selection.Caret : selection.Anchor;
        TSelPoint& hi = selection.Caret < selection.Anchor ? selection.Anchor : selection.Caret;
        lo.X = 1;
        if (hi.Y >= 0 && hi.Y < count)
            hi.X = static_cast<std::int32_t>(FRows.At(hi.Y).Text.size()) + 1;
    }
    const std::int32_t delta = newRows - oldRows;
    auto carry = [&](TSelPoint point) {
        if (point.Y < start) return point;
        if (point.Y > last) return TSelPoint{point.X, point.Y + delta};
        const std::int32_t j = point.Y - start;
        if (unchanged(j)) return point;
        const TUMemoStringItem& item = FRows.At(point.Y);
        const auto length = static_cast<std::int32_t>(item.Text.size() - item.HangLength);
        const std::int32_t x = std::clamp(point.X - 1 - item.HangLength, 0, length);
        const std::size_t offset =
            FOldStarts[static_cast<std::size_t>(j)] + static_cast<std::size_t>(x);
        const auto it = std::upper_bound(
            FPieces.begin(), FPieces.end(), offset,
            [](std::size_t value, const TRowPiece& piece) { return value < piece.Begin; });
        const auto k = static_cast<std::int32_t>(it - FPieces.begin()) - 1;
        const std::size_t within = offset - FPieces[static_cast<std::size_t>(k)].Begin;
        return TSelPoint{static_cast<std::int32_t>(within + prefixOf(k).size()) + 1, start + k};
    };
    const TSelPoint caret = carry(selection.Caret);
    const TSelPoint anchor = carry(selection.Anchor);

    for (std::int32_t r = last; r >= start + newRows; --r)
        RawDelete(r);
    for (std::int32_t j = 0; j < newRows; ++j) {
        const std::string_view prefix = prefixOf(j);
        std::string text;
        text.reserve(prefix.size() + pieceOf(j).size());
        text.append(prefix).append(pieceOf(j));
        const auto hangLength = static_cast<std::uint16_t>(prefix.size());
        if (j < oldRows)
            RawPut(start + j, text, flagOf(j), hangLength);
        else
            RawInsert(start + j, text, flagOf(j), hangLength);
    }

    if (FTopRow > last)
        FTopRow = std::max(0, FTopRow + delta);
    else if (FTopRow > start + newRows - 1)
        FTopRow = start + newRows - 1;
    selection.Caret = caret;
    selection.Anchor = anchor;
    selection.Normalize(*this);
    EndEdit(false);
    return start + newRows - 1;
}

void TUMemoStrings::SetWrapColumns(std::int32_t columns) {
    columns = std::clamp(columns, 0, kMaxWrapColumns);
    if (columns == FRules.WrapColumns) return;
    const std::int32_t caretRow = FSelection.Caret.Y;
    const bool caretVisible = caretRow >= FTopRow && caretRow < FTopRow + FVisibleRows;
    const std::int32_t distance = caretRow - FTopRow;
    BeginEdit(true);
    FRules.WrapColumns = columns;
    for (std::int32_t row = 0; row < GetCount();)
        row = ReflowFrom(row) + 1;
    if (caretVisible) SetTopRow(FSelection.Caret.Y - distance);
    EndEdit(true);
}

namespace {

// The rows of one line of text wrapped, each handed to push as a new item.
template <class Push>
void WrapLine(std::string_view line, const TWrapRules& rules, const Push& push) {
    thread_local std::vector<TRowPiece> pieces;
    const std::string_view hang = HangIndentOf(line, rules);
    WrapText(line, {}, hang, rules, pieces);
    const std::size_t n = pieces.size();
    if (n == 1) {
        push(line, false, 0);
        return;
    }
    std::string text;
    for (std::size_t j = 0; j < n; ++j) {
        const std::string_view prefix = j == 0 ? std::string_view() : hang;
        text.assign(prefix).append(line.substr(pieces[j].Begin, pieces[j].End - pieces[j].Begin));
        push(text, j + 1 < n, static_cast<std::uint16_t>(prefix.size()));
    }
}

}  // namespace

void TUMemoStrings::AppendWrapped(TRowStore& rows, std::string_view line) const {
    WrapLine(line, FRules, [&](std::string_view text, bool continued, std::uint16_t hang) {
        rows.PushBack(NewItem(text, continued, hang));
    });
}

void TUMemoStrings::AppendWrapped(std::vector<TUMemoStringItem>& rows,
                                  std::string_view line) const {
    WrapLine(line, FRules, [&](std::string_view text, bool continued, std::uint16_t hang) {
        rows.push_back(NewItem(text, continued, hang));
    });
}

}  // namespace rekna
