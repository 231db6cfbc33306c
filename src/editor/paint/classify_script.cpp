// Character kinds of the two script languages: VBScript (also the memo's "#>" and "#?" lines) and
// JScript.
#include "editor/paint/classify_scan.h"
#include "editor/paint/keyword_list.h"

namespace rekna {
namespace {

// An identifier: reserved word, keyword, or an ordinary word of the line.
void EmitWord(TClassifyScan& s, std::size_t i, std::size_t end, const TKeyWordList& reserved,
              const TKeyWordList& keyWords) {
    const std::string_view word = s.Text().substr(i, end - i);
    TCharKind kind = s.PlainKind();
    if (reserved.Contains(word)) {
        kind = TCharKind::ckReserved;
    } else if (keyWords.Contains(word)) {
        kind = TCharKind::ckKeyWord;
    }
    s.EmitRun(i, end, kind);
}

// Tab, CR LF and a double-byte character, which every state of the script walks treats alike
// except for their kind inside strings; returns the bytes consumed, 0 for anything else.
std::size_t EmitCommon(TClassifyScan& s, std::size_t i, bool inComment, bool inString) {
    if (s.CharBytes(i) == 2) {
        s.NoteCaret(i, 2, inComment);
        s.Emit(i, 2, inString ? TCharKind::ckString : s.DoubleKind(i, inComment));
        return 2;
    }
    if (s.IsCrLf(i)) {
        s.NoteCaret(i, 2, inComment);
        s.Emit(i, 2, TCharKind::ckCrLf);
        return 2;
    }
    if (s.At(i) == '\t') {
        s.NoteCaret(i, 1, inComment);
        s.Emit(i, 1, TCharKind::ckTab);
        return 1;
    }
    return 0;
}

}  // namespace

// Double quotes open and close strings; an apostrophe outside a string comments out the rest of
// the line; only round brackets nest; words are looked up without needing a bracket.
void ClassifyVBScript(TClassifyScan& s) {
    const TKeyWordList& reserved = VBScriptReserved();
    const TKeyWordList& keyWords = VBScriptKeyWords();
    bool inString = false;
    bool comment = false;
    for (std::size_t i = 0; i < s.Size();) {
        if (const std::size_t used = EmitCommon(s, i, comment, inString)) {
            i += used;
            continue;
        }
        const unsigned char c = s.At(i);
        s.NoteCaret(i, 1, comment);
        if (comment) {
            s.Emit(i, 1, c >= 0x80 ? TCharKind::ckDependence : TCharKind::ckComment);
        } else if (c == '"') {
            inString = !inString;
            s.Emit(i, 1, TCharKind::ckString);
        } else if (inString) {
            s.Emit(i, 1, TCharKind::ckString);
        } else if (c == '\'') {
            comment = true;
            s.Emit(i, 1, TCharKind::ckComment);
        } else if (c == '(') {
            s.Open(i);
        } else if (c == ')') {
            s.Close(i);
        } else if (c >= 0x80) {
            s.Emit(i, 1, TCharKind::ckDependence);
        } else if (IsWordByte(c)) {
            const std::size_t end = s.WordEnd(i);
            s.NoteCaret(i, end - i, false);
            EmitWord(s, i, end, reserved, keyWords);
            i = end;
            continue;
        } else {
            s.Emit(i, 1, s.PlainKind());
        }
        ++i;
    }
    s.NoteCaretAtEnd(comment);
}

// Strings in double quotes or apostrophes, each closed only by its own quote; "//" comments to the
// end of the line and "/*" to the next "*/" of the line; only round brackets nest. A word may start
// with '@' (conditional compilation) and hold '$'.
void ClassifyJScript(TClassifyScan& s) {
    const TKeyWordList& reserved = JScriptReserved();
    const TKeyWordList& keyWords = JScriptKeyWords();
    unsigned char quote = 0;
    bool lineComment = false;
    bool blockComment = false;
    const auto wordByte = [](unsigned char c) { return IsWordByte(c) || c == '$'; };
    for (std::size_t i = 0; i < s.Size();) {
        const bool comment = lineComment || blockComment;
        if (const std::size_t used = EmitCommon(s, i, comment, quote != 0)) {
            i += used;
            continue;
        }
        const unsigned char c = s.At(i);
        s.NoteCaret(i, 1, comment);
        if (blockComment && c == '*' && s.Next(i) == '/') {
            s.EmitRun(i, i + 2, TCharKind::ckComment);
            blockComment = false;
            i += 2;
            continue;
        }
        if (comment) {
            s.Emit(i, 1, c >= 0x80 ? TCharKind::ckDependence : TCharKind::ckComment);
        } else if (quote != 0) {
            if (c == quote) quote = 0;
            s.Emit(i, 1, TCharKind::ckString);
        } else if (c == '"' || c == '\'') {
            quote = c;
            s.Emit(i, 1, TCharKind::ckString);
        } else if (c == '/' && s.Next(i) == '/') {
            lineComment = true;
            s.Emit(i, 1, TCharKind::ckComment);
        } else if (c == '/' && s.Next(i) == '*') {
            // The opening asterisk cannot also close the comment.
            blockComment = true;
            s.EmitRun(i, i + 2, TCharKind::ckComment);
            i += 2;
            continue;
        } else if (c == '(') {
            s.Open(i);
        } else if (c == ')') {
            s.Close(i);
        } else if (c >= 0x80) {
            s.Emit(i, 1, TCharKind::ckDependence);
        } else if (wordByte(c) || (c == '@' && IsWordByte(s.Next(i)))) {
            std::size_t end = i + 1;
            while (end < s.Size() && wordByte(s.At(end)))
                ++end;
            s.NoteCaret(i, end - i, false);
            EmitWord(s, i, end, reserved, keyWords);
            i = end;
            continue;
        } else {
            s.Emit(i, 1, s.PlainKind());
        }
        ++i;
    }
    s.NoteCaretAtEnd(lineComment || blockComment);
}

}  // namespace rekna
