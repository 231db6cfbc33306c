// Character kinds of mail text: quoted lines, tags in angle brackets, three kinds of brackets.
#include "editor/paint/classify_scan.h"

#include <cstring>

namespace rekna {

// A '<' with a '>' somewhere after it on its row starts a tag, painted as comment through the next
// '>'; a '<' or '>' outside a tag stands out on its own.
void ClassifyMail(TClassifyScan& s) {
    const std::string_view t = s.Text();
    std::size_t tagEnd = 0;     // offset after the open tag's closing '>'
    std::size_t lastGtRow = 0;  // the row end for which lastGt was found
    std::size_t lastGt = 0;     // 1 + offset of the last '>' on that row, 0 when there is none
    for (std::size_t i = 0; i < s.Size();) {
        const bool inTag = i < tagEnd;
        const unsigned char c = s.At(i);
        if (s.CharBytes(i) == 2) {
            s.NoteCaret(i, 2, inTag);
            s.Emit(i, 2, s.DoubleKind(i, inTag));
            i += 2;
            continue;
        }
        if (s.IsCrLf(i)) {
            s.NoteCaret(i, 2, inTag);
            s.Emit(i, 2, TCharKind::ckCrLf);
            i += 2;
            continue;
        }
        s.NoteCaret(i, 1, inTag);
        if (c == '\t') {
            s.Emit(i, 1, TCharKind::ckTab);
        } else if (c >= 0x80) {
            s.Emit(i, 1, TCharKind::ckDependence);
        } else if (inTag) {
            s.Emit(i, 1, TCharKind::ckComment);
        } else if (c == '<') {
            // '<' and '>' are never the second byte of a double-byte character.
            const std::size_t rowEnd = s.RowEnd(i);
            if (rowEnd != lastGtRow) {
                lastGtRow = rowEnd;
                lastGt = 0;
                for (std::size_t k = rowEnd; k > i; --k) {
                    if (t[k - 1] == '>') {
                        lastGt = k;
                        break;
                    }
                }
            }
            if (lastGt > i + 1) {
                const void* gt = std::memchr(t.data() + i + 1, '>', rowEnd - i - 1);
                tagEnd = static_cast<std::size_t>(static_cast<const char*>(gt) - t.data()) + 1;
                s.Emit(i, 1, TCharKind::ckComment);
            } else {
                s.Emit(i, 1, TCharKind::ckStat);
            }
        } else if (c == '>') {
            s.Emit(i, 1, TCharKind::ckStat);
        } else if (c == '(' || c == '[' || c == '{') {
            s.Open(i);
        } else if (c == ')' || c == ']' || c == '}') {
            s.Close(i);
        } else {
            s.Emit(i, 1, s.PlainKind());
        }
        ++i;
    }
    s.NoteCaretAtEnd(false);  // a tag never reaches past its row
}

}  // namespace rekna
