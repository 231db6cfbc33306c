// Character kinds of the calculation memo, its log and its answer pane.
#include "editor/paint/classify_scan.h"
#include "editor/paint/keyword_list.h"

namespace rekna {
namespace {

// The kinds a label colon turns into comment: the text before "label:" is not calculated.
[[nodiscard]] constexpr bool IsLabelText(TCharKind k) noexcept {
    return k == TCharKind::ckNorm || k == TCharKind::ckControl || k == TCharKind::ckStat ||
           k == TCharKind::ckKakko || k == TCharKind::ckJEq || k == TCharKind::ckChar;
}

}  // namespace

// Comments run from ';' to the end of the line or from '[' to ']'; a ':' not followed by '=' ends
// a label; brackets nest; a calculation function name is coloured when a '(' follows it. The
// answer pane knows only the bracket comments.
void ClassifyMemo(TClassifyScan& s, const TKeyWordList* functions, bool answerPane,
                  const TScanState* from) {
    bool semi = from != nullptr && from->Semi;            // ';' comment, to the end of the line
    bool bracketed = from != nullptr && from->Bracketed;  // '[' comment, to the next ']'
    std::size_t labelFrom = 0;  // cells before this one were already seen by a label colon
    std::vector<TCharCell>& cells = s.Cells();
    const std::size_t n = s.Size();
    if (from != nullptr) s.Resume(*from);
    for (std::size_t i = s.Start(); i < n;) {
        s.Save(i, semi, bracketed);
        const bool comment = semi || bracketed;
        const unsigned char c = s.At(i);
        const std::uint8_t bytes = s.CharBytes(i);
        if (bytes == 2) {
            s.NoteCaret(i, 2, comment);
            s.Emit(i, 2, s.DoubleKind(i, comment));
            i += 2;
            continue;
        }
        if (s.IsCrLf(i)) {
            s.NoteCaret(i, 2, comment);
            s.Emit(i, 2, TCharKind::ckCrLf);
            i += 2;
            continue;
        }
        s.NoteCaret(i, 1, comment);
        if (c == '\t') {
            s.Emit(i, 1, TCharKind::ckTab);
        } else if (c == '\r') {
            s.Emit(i, 1, TCharKind::ckChar);
        } else if (c >= 0x80) {
            // Half-width katakana and bytes without a character (a lead byte at a row end).
            s.Emit(i, 1, TCharKind::ckDependence);
        } else if (c == ';' && !answerPane && !bracketed) {
            semi = true;
            s.Emit(i, 1, TCharKind::ckComment);
        } else if (c == '[' && !semi) {
            bracketed = true;
            s.Emit(i, 1, TCharKind::ckComment);
        } else if (c == ']') {
            s.Emit(i, 1, comment ? TCharKind::ckComment : TCharKind::ckNorm);
            bracketed = false;
        } else if (comment) {
            s.Emit(i, 1, TCharKind::ckComment);
        } else if (c == ':' && !answerPane && s.Next(i) != '=') {
            for (std::size_t k = labelFrom; k < cells.size(); ++k) {
                if (IsLabelText(cells[k].Kind)) cells[k].Kind = TCharKind::ckComment;
            }
            s.Emit(i, 1, TCharKind::ckComment);
            s.NoteLabel(i);
            labelFrom = cells.size();
        } else if (c == '(' || c == '{') {
            s.Open(i);
        } else if (c == ')' || c == '}') {
            s.Close(i);
        } else if (s.PlainKind() == TCharKind::ckNorm) {
            s.Emit(i, 1, TCharKind::ckNorm);
        } else if (IsWordByte(c)) {
            const std::size_t end = s.WordEnd(i);
            s.NoteCaret(i, end - i, false);
            const bool call = end < n && s.At(end) == '(' && functions != nullptr &&
                              functions->Contains(s.Text().substr(i, end - i));
            s.EmitRun(i, end, call ? TCharKind::ckKeyWord : TCharKind::ckChar);
            i = end;
            continue;
        } else {
            s.Emit(i, 1, TCharKind::ckChar);
        }
        ++i;
    }
    s.NoteCaretAtEnd(semi || bracketed);
}

}  // namespace rekna
