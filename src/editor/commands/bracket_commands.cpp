// The bracket commands: selecting, jumping to and deleting the innermost pair around the caret.
#include "editor/selection/word_select.h"
#include "editor/umemo_editor.h"

namespace rekna {

bool TUMemoEditor::CaretBracket(TSelPoint& open, TSelPoint& close, std::int32_t& openBytes,
                                std::int32_t& closeBytes) const {
    const TUMemoStrings& s = FStrings;
    if (s.GetCount() == 0) return false;
    const TSelPoint caret = s.Selection().Caret;
    const TJoinedRows line(s, s.FirstRowOfLine(caret.Y), s.LastRowOfLine(caret.Y));
    const auto span = EnclosingPair(line.Text(), line.OffsetOf(caret));
    if (!span) return false;
    open = line.PointOf(span->Open);
    close = line.PointOf(span->Close);
    openBytes = span->OpenBytes;
    closeBytes = span->CloseBytes;
    return true;
}

bool TUMemoEditor::SelectBracket(bool withBrackets) {
    TSelPoint open;
    TSelPoint close;
    std::int32_t openBytes = 0;
    std::int32_t closeBytes = 0;
    if (!CaretBracket(open, close, openBytes, closeBytes)) return false;
    const TEditGroup group(FStrings, false);
    FTypingRun = false;
    const TSelPoint from = withBrackets ? open : TSelPoint{open.X + openBytes, open.Y};
    const TSelPoint to = withBrackets ? TSelPoint{close.X + closeBytes, close.Y} : close;
    FStrings.Selection().SelectStream(FStrings, from, to);
    ScrollCaretIntoView();
    return true;
}

bool TUMemoEditor::JumpToBracket(bool toClose) {
    TSelPoint open;
    TSelPoint close;
    std::int32_t openBytes = 0;
    std::int32_t closeBytes = 0;
    if (!CaretBracket(open, close, openBytes, closeBytes)) return false;
    const TEditGroup group(FStrings, false);
    FTypingRun = false;
    const TSelPoint to = toClose ? TSelPoint{close.X + closeBytes, close.Y} : open;
    FStrings.Selection().SetCaret(FStrings, to, TSelMode::smNone);
    ScrollCaretIntoView();
    return true;
}

bool TUMemoEditor::DeleteBrackets() {
    if (FReadOnly) return false;
    TSelPoint open;
    TSelPoint close;
    std::int32_t openBytes = 0;
    std::int32_t closeBytes = 0;
    if (!CaretBracket(open, close, openBytes, closeBytes)) return false;
    const TEditGroup group(FStrings, true);
    TUMemoStrings& s = FStrings;
    TUMemoSelection& sel = s.Selection();
    const std::int32_t first = s.FirstRowOfLine(open.Y);
    const std::int32_t last = s.LastRowOfLine(close.Y);
    // The caret's place in the line's text, less what goes in front of it.
    std::int64_t caret = TJoinedRows(s, first, last).OffsetOf(sel.Caret);
    const std::int64_t openAt = TJoinedRows(s, first, last).OffsetOf(open);
    const std::int64_t closeAt = TJoinedRows(s, first, last).OffsetOf(close);
    if (caret > closeAt) caret -= std::min<std::int64_t>(caret - closeAt, closeBytes);
    if (caret > openAt) caret -= std::min<std::int64_t>(caret - openAt, openBytes);
    // The closing bracket first: the opening one keeps its position.
    std::string text = s.Get(close.Y);
    text.erase(static_cast<std::size_t>(close.X - 1), static_cast<std::size_t>(closeBytes));
    s.Put(close.Y, text);
    text = s.Get(open.Y);
    text.erase(static_cast<std::size_t>(open.X - 1), static_cast<std::size_t>(openBytes));
    s.Put(open.Y, text);
    sel.Mode = TSelMode::smNone;
    sel.Caret = TJoinedRows(s, first, last).PointOf(caret);
    sel.Anchor = sel.Caret;
    s.Reflow(first);
    sel.Normalize(s);
    ScrollCaretIntoView();
    return true;
}

}  // namespace rekna
