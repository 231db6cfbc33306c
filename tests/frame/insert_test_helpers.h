// Helpers of the insert and completion tests: a memo written with its caret "|" and selection
// "{...}" marks, and its text shown back the same way.
#pragma once

#include "editor/commands/find_text.h"
#include "editor/editor_helpers.h"

#include <string>
#include <string_view>

namespace rekna::test {

// Loads UTF-8 lines (LF between them) into the editor under the wrap width; "|" marks the caret,
// "{" and "}" a stream selection from "{" (the anchor) to "}" (the caret).
inline void LoadMarked(TUMemoEditor& e, std::string_view marked, std::int32_t wrap = 0) {
    std::string plain;
    std::size_t caretLine = 0, caretOffset = 0, anchorLine = 0, anchorOffset = 0, line = 0,
                offset = 0;
    bool selection = false;
    for (const char c : marked) {
        if (c == '|' || c == '}') {
            caretLine = line;
            caretOffset = offset;
        } else if (c == '{') {
            anchorLine = line;
            anchorOffset = offset;
            selection = true;
        } else {
            plain += c;
            if (c == '\n') {
                ++line;
                offset = 0;
            } else {
                ++offset;
            }
        }
    }
    // Offsets above count UTF-8 bytes; the store counts CP932 bytes.
    const auto cp932Offset = [&](std::size_t l, std::size_t utf8Offset) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < l; ++i)
            start = plain.find('\n', start) + 1;
        return J(plain.substr(start, utf8Offset)).size();
    };
    Setup(e, TStoreSetup{wrap}, Lines(plain));
    TUMemoStrings& s = e.Strings();
    const TSelPoint caret = At(s, caretLine, cp932Offset(caretLine, caretOffset));
    if (selection) {
        s.Selection().SelectStream(s, At(s, anchorLine, cp932Offset(anchorLine, anchorOffset)),
                                   caret);
    } else {
        s.Selection().SetCaret(s, caret, TSelMode::smNone);
    }
}

// The text in UTF-8 with LF between lines and "|" at the caret.
inline std::string Marked(const TUMemoStrings& s) {
    std::string out;
    const TSelPoint caret = s.Selection().Caret;
    for (std::int32_t row = 0; row < s.GetCount(); row = s.LastRowOfLine(row) + 1) {
        if (row > 0) out += '\n';
        std::string line = s.GetLine(row);
        if (caret.Y >= row && caret.Y <= s.LastRowOfLine(row))
            line.insert(LineOffsetOfPoint(s, caret), "|");
        out += U(line);
    }
    return out;
}

}  // namespace rekna::test
