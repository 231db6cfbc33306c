// The memo's short notations in script lines, turned into calls of the automation object.
#include "script/host/script_rewrite.h"

#include <cctype>
#include <vector>

#include "platform/cp932.h"

namespace rekna {
namespace {

[[nodiscard]] bool IsNameByte(char c) noexcept {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) != 0 || c == '_' || c == '.';
}

// The bytes of the character at pos: 2 for a double-byte character, otherwise 1.
[[nodiscard]] std::size_t CharBytes(std::string_view s, std::size_t pos) noexcept {
    return IsLeadByte(s[pos]) && pos + 1 < s.size() ? 2 : 1;
}

// The position after the string literal that starts at pos ("" inside is a quote); the end of
// the text when it is not closed.
[[nodiscard]] std::size_t LiteralEnd(std::string_view s, std::size_t pos) noexcept {
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        if (s[i] != '"') continue;
        if (i + 1 < s.size() && s[i + 1] == '"') {
            ++i;
            continue;
        }
        return i + 1;
    }
    return s.size();
}

// The position after the ")" that closes the "(" at pos; the end of the text when it is not
// closed.
[[nodiscard]] std::size_t GroupEnd(std::string_view s, std::size_t pos) noexcept {
    int depth = 0;
    for (std::size_t i = pos; i < s.size();) {
        const char c = s[i];
        if (c == '"') {
            i = LiteralEnd(s, i);
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')' && --depth == 0) return i + 1;
        i += CharBytes(s, i);
    }
    return s.size();
}

[[nodiscard]] std::string_view Trimmed(std::string_view s) noexcept {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

[[nodiscard]] std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// True when the text starts with the word (in any case) followed by no further name character.
[[nodiscard]] bool StartsWithWord(std::string_view text, std::string_view word) {
    if (text.size() < word.size() || Lower(text.substr(0, word.size())) != word) return false;
    return text.size() == word.size() || !IsNameByte(text[word.size()]);
}

// A script string literal holding the text.
[[nodiscard]] std::string Quoted(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        out += c;
        if (c == '"') out += '"';
    }
    return out += '"';
}

// The statements of a line: split at ":" outside string literals; a "'" outside them, or a
// statement starting with Rem, makes the rest of the line a comment, which is dropped.
[[nodiscard]] std::vector<std::string_view> SplitStatements(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size();) {
        if (i == start && StartsWithWord(Trimmed(line.substr(i)), "rem")) {
            out.push_back(line.substr(start, 0));
            return out;
        }
        if (i == line.size() || line[i] == ':' || line[i] == '\'') {
            out.push_back(line.substr(start, i - start));
            if (i == line.size() || line[i] == '\'') return out;
            start = ++i;
            continue;
        }
        i = line[i] == '"' ? LiteralEnd(line, i) : i + CharBytes(line, i);
    }
    return out;
}

// The operand a trailing "?" shows: the part of the statement before its first "=", from its
// end back to a blank or a "," outside brackets and string literals.
[[nodiscard]] std::string_view ShownOperand(std::string_view statement) {
    std::size_t end = statement.size();
    std::size_t start = 0;
    int depth = 0;
    for (std::size_t i = 0; i < statement.size();) {
        const char c = statement[i];
        if (c == '"') {
            i = LiteralEnd(statement, i);
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (depth == 0 && c == '=') {
            end = i;
            break;
        }
        i += CharBytes(statement, i);
    }
    const std::string_view lhs = Trimmed(statement.substr(0, end));
    depth = 0;
    for (std::size_t i = 0; i < lhs.size();) {
        const char c = lhs[i];
        if (c == '"') {
            i = LiteralEnd(lhs, i);
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (depth == 0 && (c == ' ' || c == '\t' || c == ',')) start = i + 1;
        i += CharBytes(lhs, i);
    }
    return lhs.substr(std::min(start, lhs.size()));
}

std::string RewriteStatement(std::string_view s, int line) {
    std::string out;
    out.reserve(s.size() + 16);
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == '"') {
            const std::size_t end = LiteralEnd(s, i);
            out.append(s.substr(i, end - i));
            i = end;
            continue;
        }
        if (c == '@') {
            const bool complex = i + 1 < s.size() && s[i + 1] == '@';
            std::size_t j = i + (complex ? 2 : 1);
            const std::size_t nameStart = j;
            while (j < s.size() && (IsNameByte(s[j]) || IsLeadByte(s[j])))
                j += CharBytes(s, j);
            const std::string_view name = s.substr(nameStart, j - nameStart);
            if (j < s.size() && s[j] == '(') {
                const std::size_t end = GroupEnd(s, j);
                std::string_view inner = s.substr(j + 1, end - j - 1);
                if (!inner.empty() && inner.back() == ')') inner.remove_suffix(1);
                if (name.empty()) {
                    out += complex ? "Rekna.CalcC(" : "Rekna.Calc(";
                    out += Quoted(inner);
                } else {
                    out += complex ? "Rekna.FuncC(" : "Rekna.Func(";
                    out += Quoted(name);
                    out += ',';
                    out +=
                        Trimmed(inner).empty() ? std::string("1") : RewriteStatement(inner, line);
                }
                out += ')';
                i = end;
            } else if (!name.empty()) {
                out += complex ? "Rekna.VarC(" : "Rekna.Var(";
                out += Quoted(name);
                out += ')';
                i = j;
            } else {
                out.append(s.substr(i, j - i));
                i = j;
            }
            continue;
        }
        if (c == '?') {
            const std::string_view rest = s.substr(i + 1);
            const std::string answer = "Rekna.Ans(" + std::to_string(line) + ")=";
            if (!Trimmed(rest).empty()) return out + answer + RewriteStatement(rest, line);
            const std::string_view before = Trimmed(s.substr(0, i));
            if (before.empty()) return out;
            const std::string_view operand = ShownOperand(before);
            return out + ": " + answer + Quoted(std::string(operand) + " = ") + " & " +
                   RewriteStatement(operand, line);
        }
        const std::size_t n = CharBytes(s, i);
        out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

// The first statement of a line that opens a loop or a procedure.
[[nodiscard]] bool OpensLoop(std::string_view statement) {
    const std::string_view t = Trimmed(statement);
    for (const std::string_view word : {"for", "do", "while", "function", "sub"}) {
        if (StartsWithWord(t, word)) return true;
    }
    return false;
}

// A statement that ends in a line continuation ("x = 1 + _").
[[nodiscard]] bool EndsContinued(std::string_view statement) {
    const std::string_view t = Trimmed(statement);
    if (t.empty() || t.back() != '_') return false;
    return t.size() == 1 || !IsNameByte(t[t.size() - 2]);
}

// Where a line stands in its logical line: continued from the line before, and whether the Esc
// check of a loop opened there still waits for the end of the loop's first statement.
struct TLineState {
    bool Continued = false;
    bool PendingEsc = false;
};

std::string RewriteLine(std::string_view text, int line, bool escStops, TLineState& state) {
    const std::vector<std::string_view> statements = SplitStatements(text);
    const bool opens = escStops && (state.Continued ? state.PendingEsc : OpensLoop(statements[0]));
    const bool lineContinues = EndsContinued(statements.back());
    std::string out;
    for (std::size_t k = 0; k < statements.size(); ++k) {
        if (k > 0) out += ':';
        out += RewriteStatement(statements[k], line);
        // The check goes after the loop's first statement, which may go on over more lines.
        if (k == 0 && opens && !(statements.size() == 1 && lineContinues)) {
            out += " : Rekna.EscStop";
        }
    }
    state.PendingEsc = opens && statements.size() == 1 && lineContinues;
    state.Continued = lineContinues;
    return out;
}

}  // namespace

std::string RewriteScriptLine(std::string_view text, int line, bool escStops) {
    TLineState state;
    return RewriteLine(text, line, escStops, state);
}

std::string RewriteScriptBlock(std::string_view text, int firstLine) {
    std::string out;
    out.reserve(text.size() + 64);
    int line = firstLine;
    TLineState state;
    for (std::size_t pos = 0;;) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        if (line > firstLine) out += "\r\n";
        out += RewriteLine(text.substr(pos, end - pos), line, true, state);
        if (end == text.size()) break;
        pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        ++line;
    }
    return out;
}

}  // namespace rekna
