// The text commands over the editor's selection, each one RewriteSelection or one edit group.
#include "editor/commands/text_commands.h"

#include "editor/commands/rewrite_selection.h"
#include "editor/commands/table_model.h"
#include "editor/commands/text_transforms.h"
#include "editor/umemo_editor.h"

#include <algorithm>

namespace rekna {

namespace {

using TLineMap = std::function<std::string(const std::string&)>;

TRewriteOptions Opt(TRewriteRows rows, bool indentOff) {
    TRewriteOptions o;
    o.Rows = rows;
    o.AutoIndentOff = indentOff;
    return o;
}

std::string MapEachLine(std::string_view s, const TLineMap& f) {
    TTextLines lines = SplitTextLines(s);
    for (std::string& line : lines.Lines)
        line = f(line);
    return JoinTextLines(lines);
}

bool Rewrite(TUMemoEditor& e, const TRewrite& f, const TRewriteOptions& o) {
    return RewriteSelection(e, f, o);
}

// The selected lines, or `rows` lines from the caret's (adding lines past the end), each
// through f; one edit group.
bool PadLines(TUMemoEditor& e, std::int32_t rows, const TLineMap& f) {
    if (e.ReadOnly()) return false;
    TUMemoStrings& s = e.Strings();
    TUMemoSelection& sel = s.Selection();
    if (sel.HasSelection(s)) {
        return RewriteSelection(
            e, [&f](std::string_view t, const TRewriteContext&) { return MapEachLine(t, f); },
            Opt(TRewriteRows::rrLines, true));
    }
    rows = std::clamp(rows, 1, kMaxPadRows);
    const TEditGroup group(s, true);
    const TAutoIndentOff indent(s, true);
    if (s.GetCount() == 0) s.InsertRow(0, {}, false);
    sel.Normalize(s);
    const std::int32_t from = s.FirstRowOfLine(sel.Caret.Y);
    std::int32_t last = from;
    std::int32_t taken = 1;
    while (taken < rows && s.LastRowOfLine(last) + 1 < s.GetCount()) {
        last = s.LastRowOfLine(last) + 1;
        ++taken;
    }
    sel.SelectRows(s, from, s.LastRowOfLine(last));
    TTextLines lines = SplitTextLines(s.GetSelText(false));
    if (lines.Lines.empty()) lines.Lines.emplace_back();
    for (std::string& line : lines.Lines)
        line = f(line);
    for (; taken < rows; ++taken)
        lines.Lines.push_back(f(std::string()));
    s.DeleteSelection();
    sel.SetMode(s, TSelMode::smLine);
    s.PasteText(JoinTextLines(lines), false, false);
    sel.SetCaret(s, {1, from}, TSelMode::smNone);
    e.ScrollCaretIntoView();
    return true;
}

// Deletes the blank logical lines at the end of the document, not above row `stop`.
void DropTrailingBlankLines(TUMemoStrings& s, std::int32_t stop) {
    while (s.GetCount() > 0) {
        const std::int32_t last = s.GetCount() - 1;
        const std::int32_t first = s.FirstRowOfLine(last);
        if (first < stop || !IsBlankText(s.GetLine(first))) break;
        for (std::int32_t r = last; r >= first; --r)
            s.Delete(r);
    }
}

void EndWithEmptyLine(TUMemoEditor& e) {
    TUMemoStrings& s = e.Strings();
    s.InsertRow(s.GetCount(), {}, false);
    s.Selection().SetCaret(s, {1, s.GetCount() - 1}, TSelMode::smNone);
    e.ScrollCaretIntoView();
}

}  // namespace

bool RewriteWith(TUMemoEditor& e, std::string (*transform)(std::string_view)) {
    return RewriteSelection(e, transform);
}

bool TrimLines(TUMemoEditor& e, bool left, bool right) {
    if (!left && !right) return false;
    return Rewrite(
        e,
        [left, right](std::string_view t, const TRewriteContext&) {
            return TrimLinesText(t, left, right);
        },
        Opt(TRewriteRows::rrAsSelected, true));
}

bool AppendToLines(TUMemoEditor& e, std::string_view text) {
    const std::string tail(text);
    return Rewrite(
        e,
        [tail](std::string_view t, const TRewriteContext&) { return AppendToLinesText(t, tail); },
        Opt(TRewriteRows::rrAsSelected, true));
}

bool AlignLines(TUMemoEditor& e, int mode) {
    return Rewrite(
        e,
        [mode](std::string_view t, const TRewriteContext& c) {
            const std::int32_t width = c.Box               ? LongestLine(t)
                                       : c.WrapColumns > 0 ? c.WrapColumns
                                                           : c.MaxWidth;
            return AlignLinesText(t, mode, width, c.Box, c.TabStops);
        },
        Opt(TRewriteRows::rrLinesUnlessBox, true));
}

bool AlignEquals(TUMemoEditor& e) {
    return Rewrite(
        e, [](std::string_view t, const TRewriteContext& c) { return AlignEqualsText(t, c.Box); },
        Opt(TRewriteRows::rrLinesUnlessBox, true));
}

bool AlignComments(TUMemoEditor& e) {
    return Rewrite(
        e,
        [](std::string_view t, const TRewriteContext& c) {
            return AlignCommentsText(t, c.Box, c.TabStops);
        },
        Opt(TRewriteRows::rrLinesUnlessBox, true));
}

bool ReplaceInSelection(TUMemoEditor& e, std::string_view a, std::string_view b) {
    const std::string from(a);
    const std::string to(b);
    return Rewrite(
        e,
        [from, to](std::string_view t, const TRewriteContext&) { return ReplaceText(t, from, to); },
        Opt(TRewriteRows::rrAsSelected, true));
}

bool SwapInSelection(TUMemoEditor& e, std::string_view a, std::string_view b) {
    const std::string x(a);
    const std::string y(b);
    return Rewrite(
        e, [x, y](std::string_view t, const TRewriteContext&) { return SwapText(t, x, y); },
        Opt(TRewriteRows::rrAsSelected, true));
}

bool ConvertBrackets(TUMemoEditor& e, int kind) {
    TRewriteOptions o;
    o.CaretLineIfNone = true;
    o.OnlyWhenChanged = true;
    o.SelectResult = e.Strings().Selection().HasSelection(e.Strings());
    return Rewrite(
        e,
        [kind](std::string_view t, const TRewriteContext&) { return ConvertBracketsText(t, kind); },
        o);
}

bool ReverseCharacters(TUMemoEditor& e) {
    return RewriteSelection(e, &ReverseCharactersText);
}

bool ReverseDigits(TUMemoEditor& e) {
    return RewriteSelection(e, &ReverseDigitsText);
}

bool ReverseRows(TUMemoEditor& e) {
    return RewriteSelection(e, &ReverseRowsText, Opt(TRewriteRows::rrLines, false));
}

bool SortRows(TUMemoEditor& e, bool descending) {
    return Rewrite(
        e,
        [descending](std::string_view t, const TRewriteContext&) {
            return SortRowsText(t, descending);
        },
        Opt(TRewriteRows::rrLines, false));
}

bool DuplicateRows(TUMemoEditor& e) {
    TRewriteOptions o = Opt(TRewriteRows::rrLines, true);
    o.CaretLineIfNone = true;
    return RewriteSelection(e, &DuplicateRowsText, o);
}

bool DeleteBlankRows(TUMemoEditor& e) {
    TRewriteOptions o = Opt(TRewriteRows::rrLines, true);
    o.CaretLineIfNone = true;
    o.SelectResult = false;
    return RewriteSelection(e, &DeleteBlankRowsText, o);
}

bool DeleteRepeatedRows(TUMemoEditor& e) {
    TRewriteOptions o = Opt(TRewriteRows::rrLines, true);
    o.SelectResult = false;
    return RewriteSelection(e, &DeleteRepeatedRowsText, o);
}

bool TabsToSpaces(TUMemoEditor& e) {
    return Rewrite(
        e,
        [](std::string_view t, const TRewriteContext& c) {
            return MapEachLine(t, [&c](const std::string& l) { return ExpandTabs(l, c.TabStops); });
        },
        Opt(TRewriteRows::rrLines, true));
}

bool SpacesToTabs(TUMemoEditor& e) {
    return Rewrite(
        e,
        [](std::string_view t, const TRewriteContext& c) {
            return MapEachLine(t,
                               [&c](const std::string& l) { return TabifySpaces(l, c.TabStops); });
        },
        Opt(TRewriteRows::rrLines, true));
}

bool FullSpaceToSpaces(TUMemoEditor& e) {
    return RewriteSelection(e, &rekna::FullSpaceToSpaces, Opt(TRewriteRows::rrAsSelected, true));
}

bool SpacesToFullSpace(TUMemoEditor& e) {
    return RewriteSelection(e, &rekna::SpacesToFullSpace, Opt(TRewriteRows::rrAsSelected, true));
}

bool AddSpaces(TUMemoEditor& e, std::int32_t rows, std::int32_t spaces) {
    if (spaces <= 0) return false;
    const std::string tail(static_cast<std::size_t>(std::min(spaces, kMaxPadSpaces)), ' ');
    return PadLines(e, rows, [&tail](const std::string& l) { return l + tail; });
}

bool FillSpaces(TUMemoEditor& e, std::int32_t rows, std::int32_t column) {
    if (column <= 0) return false;
    const std::int32_t tabs = e.Strings().TabStops();
    return PadLines(e, rows, [column, tabs](const std::string& l) {
        const std::int32_t width = ExpandedWidth(l, tabs);
        return width < column ? l + std::string(static_cast<std::size_t>(column - width), ' ') : l;
    });
}

bool DeleteTrailingBlankRows(TUMemoEditor& e) {
    if (e.ReadOnly()) return false;
    TUMemoStrings& s = e.Strings();
    const std::int32_t n = s.GetCount();
    // Already ending in one empty line behind a line that is not blank.
    if (n >= 2 && s.GetLine(n - 1).empty() && !s.Continued(n - 2) &&
        !IsBlankText(s.GetLine(s.FirstRowOfLine(n - 2))))
        return false;
    const TEditGroup group(s, true);
    DropTrailingBlankLines(s, 0);
    EndWithEmptyLine(e);
    return true;
}

bool DeleteTrailingSpaces(TUMemoEditor& e) {
    if (e.ReadOnly()) return false;
    TUMemoStrings& s = e.Strings();
    const TEditGroup group(s, true);
    const std::int32_t from = s.GetCount() == 0 ? 0 : s.FirstRowOfLine(s.Selection().Caret.Y);
    DropTrailingBlankLines(s, from);
    for (std::int32_t row = from; row < s.GetCount(); row = s.LastRowOfLine(row) + 1) {
        const std::string line = s.GetLine(row);
        const std::string trimmed = TrimRightBlanks(line);
        if (trimmed != line) s.SetLine(row, trimmed);
    }
    EndWithEmptyLine(e);
    return true;
}

}  // namespace rekna
