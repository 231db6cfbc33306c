// TUMemoEditor: typing, Enter, Backspace, Delete and Tab, at the caret and on every row of the
// multi-row caret.
#include "editor/store/columns.h"
#include "editor/umemo_editor.h"

#include <algorithm>

namespace rekna {
namespace {

[[nodiscard]] std::int32_t Length(std::string_view s) noexcept {
    return static_cast<std::int32_t>(s.size());
}

// The closing bracket that automatic brackets add after t, or 0.
[[nodiscard]] char ClosingBracket(std::string_view t) noexcept {
    if (t == "(") return ')';
    if (t == "{") return '}';
    if (t == "[") return ']';
    return 0;
}

}  // namespace

// --- Typing -----------------------------------------------------------------------------------

void TUMemoEditor::InsertAtCaret(std::string_view t) {
    if (FReadOnly || t.empty()) return;
    if (t.find_first_of("\r\n") != std::string_view::npos) {
        InsertClipText(t, false, false, {});
        return;
    }
    const TEditGroup group(FStrings, true);
    std::string text = FStrings.ConvertInput(t);
    TUMemoSelection& sel = FStrings.Selection();
    sel.Normalize(FStrings, true);
    std::string selected;
    if (sel.Mode == TSelMode::smBox) {
        FStrings.DeleteSelection();
        if (sel.Mode == TSelMode::smBox) {
            FStrings.BoxInsert(text, !FInsertMode);
            ScrollCaret();
            FTypingRun = true;
            return;
        }
    } else if (sel.Mode == TSelMode::smLine) {
        ReplaceSelectedRows();
    } else if (sel.IsStreamSelection()) {
        if (sel.Start().Y == sel.End().Y) selected = FStrings.GetSelText(true);
        FStrings.DeleteSelection();
    }
    InsertText(std::move(text), selected);
    ScrollCaret();
    FTypingRun = true;
}

void TUMemoEditor::ReplaceSelectedRows() {
    TUMemoSelection& sel = FStrings.Selection();
    const std::int32_t from = sel.Start().Y;
    const std::int32_t to = sel.End().Y;
    // The row keeps the line end of the last selected row; while rows move up behind it, it is
    // continued so that they keep their hanging-indent copies.
    const bool lastFlag = FStrings.Continued(to);
    FStrings.PutRow(from, {}, to > from || lastFlag);
    for (std::int32_t n = to - from; n > 0; --n)
        FStrings.Delete(from + 1);
    FStrings.SetContinued(from, lastFlag);
    sel.Mode = TSelMode::smNone;
    sel.Caret = {1, from};
    sel.Normalize(FStrings);
}

void TUMemoEditor::InsertText(std::string text, std::string_view selected) {
    TUMemoStrings& s = FStrings;
    TUMemoSelection& sel = s.Selection();
    if (s.GetCount() == 0) {
        s.InsertRow(0, {}, false);
        sel.Reset();
    }
    const std::int32_t row = sel.Caret.Y;
    const std::int32_t x = s.TextPos(row, sel.Caret.X);
    const std::string& rowText = s.Get(row);
    auto advance = static_cast<std::int32_t>(text.size());
    if (const char closing = ClosingBracket(text);
        closing != 0 && s.AutoKakko() &&
        (FTypingRun || !selected.empty() || x == Length(rowText) + 1)) {
        text.append(selected).push_back(closing);
        advance = selected.empty() ? 1 : Length(text);
    }
    std::int32_t end = x;
    if (!FInsertMode) {
        end = std::min(x + Length(text), Length(rowText) + 1);
        if (end <= Length(rowText) && AdjustToCharStart(rowText, end) != end) {
            // Half a double-byte character is never left behind: it goes too, a space keeps
            // the column.
            ++end;
            text.push_back(' ');
        }
    }
    s.Splice(row, x, end - x, text);
    sel.Mode = TSelMode::smNone;
    sel.Caret = {x + advance, row};
    sel.Anchor = sel.Caret;
    s.Reflow(row);
    sel.Normalize(s);
}

// --- Enter ------------------------------------------------------------------------------------

TSelPoint TUMemoEditor::SplitRow(std::int32_t row, std::int32_t x, bool shift) {
    TUMemoStrings& s = FStrings;
    TUMemoSelection& sel = s.Selection();
    x = s.TextPos(row, x);
    const std::string text = s.Get(row);
    const std::int32_t hang = s.HangLength(row);
    const bool afterSoftBreak = row > 0 && s.Continued(row - 1);
    const bool indentRule = IndentRule(TAutoIndentType::atEnter) && !shift;
    std::int32_t indentStart = indentRule ? s.IndentLength(row) + 1 : 1;
    if (afterSoftBreak) indentStart = std::max(indentStart, hang + 1);

    // At a soft break (the start of a continuation row or the end of a continued one) the break
    // becomes a hard one and no row is added; the copy of the indentation becomes the new line's
    // own, and the caret keeps its place behind it.
    TSelPoint caret{x, row};
    if (afterSoftBreak && x <= indentStart) {
        s.SetContinued(row - 1, false);
    } else if (x == Length(text) + 1 && s.Continued(row) && row + 1 < s.GetCount()) {
        caret = {s.HangLength(row + 1) + 1, row + 1};
        s.SetContinued(row, false);
    } else {
        // The indentation the new row copies: the row's own, the next row's when it is
        // continued; never on row 0.
        std::string p;
        if (indentRule && x > 1 && row > 0)
            p = s.IndentPrefix(s.Get(s.Continued(row) ? std::min(row + 1, s.GetCount() - 1) : row));
        if (x <= indentStart) {
            s.InsertRow(row, std::string_view(p).substr(0, static_cast<std::size_t>(x - 1)), false);
        } else {
            s.InsertRow(row + 1, p + text.substr(static_cast<std::size_t>(x - 1)),
                        s.Continued(row));
            s.PutRow(row, std::string_view(text).substr(0, static_cast<std::size_t>(x - 1)), false);
        }
        caret = {std::min(Length(p) + 1, x), row + 1};
    }
    sel.Mode = TSelMode::smNone;
    sel.Caret = caret;
    sel.Anchor = caret;
    // The line that now ends above the caret and the new one.
    s.ReflowRowsUp(std::max(row - 1, 0), caret.Y);
    sel.Normalize(s);
    return sel.Caret;
}

void TUMemoEditor::NewLine(bool shift) {
    if (FReadOnly) return;
    const TEditGroup group(FStrings, true);
    TUMemoSelection& sel = FStrings.Selection();
    sel.Normalize(FStrings, true);
    if (sel.Mode == TSelMode::smBox) {
        FStrings.DeleteSelection();
        if (sel.Mode == TSelMode::smBox) {
            BoxNewLine(shift);
            ScrollCaret();
            FTypingRun = true;
            return;
        }
    } else if (sel.HasSelection(FStrings)) {
        FStrings.DeleteSelection();
    }
    if (FStrings.GetCount() == 0) {
        FStrings.InsertRow(0, {}, false);
        FStrings.InsertRow(1, {}, false);
        sel.Reset();
        sel.Caret = {1, 1};
        sel.Normalize(FStrings);
    } else {
        SplitRow(sel.Caret.Y, sel.Caret.X, shift);
    }
    ScrollCaret();
    FTypingRun = true;
}

void TUMemoEditor::BoxNewLine(bool shift) {
    TUMemoStrings& s = FStrings;
    TUMemoSelection& sel = s.Selection();
    const std::int32_t left = sel.BoxLeft(s);
    const std::int32_t top = sel.BoxTop();
    const std::int32_t bottom = sel.BoxBottom();
    // From the bottom up, so that the rows still to be split keep their indexes; the caret of
    // the lowest split moves down by what each split above it adds.
    TSelPoint caret = SplitRow(bottom, s.PosOfColumn(s.Get(bottom), left), shift);
    for (std::int32_t row = bottom - 1; row >= top; --row) {
        const std::int32_t before = s.GetCount();
        SplitRow(row, s.PosOfColumn(s.Get(row), left), shift);
        caret.Y += s.GetCount() - before;
    }
    sel.Mode = TSelMode::smNone;
    sel.Caret = caret;
    sel.Normalize(s);
}

// --- Backspace and Delete ---------------------------------------------------------------------

void TUMemoEditor::BackSpace(bool shift) {
    if (FReadOnly) return;
    const TEditGroup group(FStrings, true);
    TUMemoStrings& s = FStrings;
    TUMemoSelection& sel = s.Selection();
    sel.Normalize(s, true);
    if (sel.Mode == TSelMode::smBox && !sel.IsBoxSelection(s)) {
        s.BoxBackSpace();
        ScrollCaret();
        return;
    }
    if (sel.HasSelection(s)) {
        s.DeleteSelection();
        ScrollCaret();
        return;
    }
    if (s.GetCount() == 0) return;
    const std::int32_t row = sel.Caret.Y;
    const std::int32_t x = s.TextPos(row, sel.Caret.X);
    const std::string& text = s.Get(row);
    TSelPoint caret{x, row};
    if (x <= s.HangLength(row) + 1) {
        if (row == 0) return;
        const std::string& above = s.Get(row - 1);
        if (s.Continued(row - 1)) {
            // The character before the caret is the last one of the row above.
            if (above.empty()) return;
            const std::int32_t start = AdjustToCharStart(above, Length(above));
            s.Splice(row - 1, start, Length(above) + 1 - start, {});
            caret = {start, row - 1};
        } else {
            caret = {Length(above) + 1, row - 1};
            const std::string joined = above + text;
            s.PutRow(row - 1, joined, s.Continued(row));
            s.Delete(row);
        }
    } else {
        const std::int32_t before = AdjustToCharStart(text, x - 1);
        std::int32_t from = before;
        if (CharBytesAt(text, before) == 1 && IndentRule(TAutoIndentType::atBS) && !shift) {
            // At the end of the indentation, back to the indentation of the nearest row above
            // that is indented less, by a leading part of this row's indentation.
            const std::string prefix = s.IndentPrefix(text);
            if (!prefix.empty() && x == Length(prefix) + 1) {
                for (std::int32_t r = row - 1; r >= 0; --r) {
                    const std::string upper = s.IndentPrefix(s.Get(r));
                    if (upper.size() < prefix.size() && prefix.starts_with(upper)) {
                        from = std::max(Length(upper) + 1, s.HangLength(row) + 1);
                        break;
                    }
                }
            }
        }
        s.Splice(row, from, x - from, {});
        caret = {from, row};
    }
    sel.Mode = TSelMode::smNone;
    sel.Caret = caret;
    sel.Anchor = caret;
    s.Reflow(caret.Y);
    sel.Normalize(s);
    ScrollCaret();
}

void TUMemoEditor::DeleteChar(bool toRowEnd) {
    if (FReadOnly) return;
    const TEditGroup group(FStrings, true);
    TUMemoStrings& s = FStrings;
    TUMemoSelection& sel = s.Selection();
    sel.Normalize(s, true);
    if (sel.Mode == TSelMode::smBox && !sel.IsBoxSelection(s)) {
        s.BoxDeleteChar();
        ScrollCaret();
        FTypingRun = true;
        return;
    }
    if (sel.HasSelection(s)) {
        s.DeleteSelection();
        ScrollCaret();
        FTypingRun = true;
        return;
    }
    if (s.GetCount() == 0) return;
    const std::int32_t row = sel.Caret.Y;
    const std::int32_t x = s.TextPos(row, sel.Caret.X);
    const std::string& text = s.Get(row);
    if (toRowEnd) {
        if (x <= Length(text)) s.Splice(row, x, Length(text) + 1 - x, {});
    } else if (x == Length(text) + 1) {
        if (row + 1 >= s.GetCount()) return;
        if (s.Continued(row)) {
            // The character after the caret is the first one of the next row's text.
            const std::string& next = s.Get(row + 1);
            std::int32_t pos = s.HangLength(row + 1) + 1;
            if (IndentRule(TAutoIndentType::atDel)) {
                const auto indent = static_cast<std::int32_t>(s.IndentPrefix(next).size());
                if (indent < Length(next)) pos = std::max(pos, indent + 1);
            }
            if (pos <= Length(next)) s.Splice(row + 1, pos, CharBytesAt(next, pos), {});
        } else {
            s.JoinNextRow(row);
        }
    } else {
        s.Splice(row, x, CharBytesAt(text, x), {});
    }
    sel.Mode = TSelMode::smNone;
    sel.Caret = {x, row};
    sel.Anchor = sel.Caret;
    s.Reflow(row);
    sel.Normalize(s);
    ScrollCaret();
    FTypingRun = true;
}

// --- Tab --------------------------------------------------------------------------------------

void TUMemoEditor::TabKey(bool shift) {
    if (FReadOnly) return;
    TUMemoSelection& sel = FStrings.Selection();
    sel.Normalize(FStrings, true);
    if (sel.Mode == TSelMode::smBox || !sel.HasSelection(FStrings)) {
        InsertAtCaret("\t");
        return;
    }
    const TEditGroup group(FStrings, true);
    if (shift)
        FStrings.UnindentSelection();
    else
        FStrings.IndentSelection(FTabIndentChar == TTabIndentChar::tcTab ? '\t' : ' ');
    ScrollCaret();
}

}  // namespace rekna
