// Splits script text into tokens.
#include "script/syntax/lexer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

#include "platform/cp932.h"
#include "script/runtime/script_error.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

struct TKeywordName {
    const char* Name;
    TKeyword Keyword;
};

constexpr TKeywordName kKeywords[] = {
    {"and", TKeyword::kwAnd},
    {"call", TKeyword::kwCall},
    {"case", TKeyword::kwCase},
    {"class", TKeyword::kwClass},
    {"const", TKeyword::kwConst},
    {"dim", TKeyword::kwDim},
    {"do", TKeyword::kwDo},
    {"else", TKeyword::kwElse},
    {"elseif", TKeyword::kwElseIf},
    {"empty", TKeyword::kwEmpty},
    {"end", TKeyword::kwEnd},
    {"eqv", TKeyword::kwEqv},
    {"erase", TKeyword::kwErase},
    {"exit", TKeyword::kwExit},
    {"false", TKeyword::kwFalse},
    {"for", TKeyword::kwFor},
    {"function", TKeyword::kwFunction},
    {"if", TKeyword::kwIf},
    {"imp", TKeyword::kwImp},
    {"is", TKeyword::kwIs},
    {"let", TKeyword::kwLet},
    {"loop", TKeyword::kwLoop},
    {"me", TKeyword::kwMe},
    {"mod", TKeyword::kwMod},
    {"new", TKeyword::kwNew},
    {"next", TKeyword::kwNext},
    {"not", TKeyword::kwNot},
    {"nothing", TKeyword::kwNothing},
    {"null", TKeyword::kwNull},
    {"on", TKeyword::kwOn},
    {"option", TKeyword::kwOption},
    {"or", TKeyword::kwOr},
    {"private", TKeyword::kwPrivate},
    {"property", TKeyword::kwProperty},
    {"public", TKeyword::kwPublic},
    {"redim", TKeyword::kwReDim},
    {"select", TKeyword::kwSelect},
    {"set", TKeyword::kwSet},
    {"stop", TKeyword::kwStop},
    {"sub", TKeyword::kwSub},
    {"then", TKeyword::kwThen},
    {"to", TKeyword::kwTo},
    {"true", TKeyword::kwTrue},
    {"until", TKeyword::kwUntil},
    {"wend", TKeyword::kwWend},
    {"while", TKeyword::kwWhile},
    {"with", TKeyword::kwWith},
    {"xor", TKeyword::kwXor},
};

TKeyword KeywordOf(std::string_view lower) {
    if (lower.size() < 2 || lower.size() > 8) return TKeyword::kwNone;
    static const std::unordered_map<std::string_view, TKeyword> index = [] {
        std::unordered_map<std::string_view, TKeyword> m;
        for (const TKeywordName& k : kKeywords)
            m.emplace(k.Name, k.Keyword);
        return m;
    }();
    const auto it = index.find(lower);
    return it == index.end() ? TKeyword::kwNone : it->second;
}

bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}
bool IsAsciiLetter(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsHighByte(char c) noexcept {
    return static_cast<unsigned char>(c) >= 0x80;
}
bool IsNameStart(char c) noexcept {
    return IsAsciiLetter(c) || IsHighByte(c);
}
bool IsNamePart(char c) noexcept {
    return IsNameStart(c) || IsDigit(c) || c == '_';
}
bool IsBlank(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v';
}

char Lower(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

}  // namespace

std::string ScriptNameKey(std::string_view name) {
    std::string key(name);
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (IsLeadByte(key[i])) {
            ++i;
        } else {
            key[i] = Lower(key[i]);
        }
    }
    return key;
}

namespace {

class TLexer {
public:
    TLexer(std::string_view text, std::vector<TToken>& tokens) : FText(text), FTokens(tokens) {}

    bool Run(TLexError& error) {
        while (FPos < FText.size()) {
            if (!Step()) {
                error = FError;
                return false;
            }
        }
        FStart = FPos;
        Push(TTokenKind::tkEnd);
        return true;
    }

private:
    bool Fail(int number, std::size_t pos) {
        FError = {number, FLine, static_cast<int>(pos - FLineStart)};
        return false;
    }

    TToken& Push(TTokenKind kind) {
        TToken& t = FTokens.emplace_back();
        t.Kind = kind;
        t.Line = FLine;
        t.Column = static_cast<int>(FStart - FLineStart);
        t.SpaceBefore = FSpace;
        FSpace = false;
        return t;
    }

    bool AtStatementStart() const {
        if (FTokens.empty()) return true;
        const TToken& t = FTokens.back();
        return t.Kind == TTokenKind::tkNewLine || t.Kind == TTokenKind::tkColon ||
               t.Keyword == TKeyword::kwThen || t.Keyword == TKeyword::kwElse;
    }

    void SkipToLineEnd() {
        while (FPos < FText.size() && FText[FPos] != '\n' && FText[FPos] != '\r')
            ++FPos;
    }

    void NewLine() {
        if (FText[FPos] == '\r' && FPos + 1 < FText.size() && FText[FPos + 1] == '\n') ++FPos;
        ++FPos;
        ++FLine;
        FLineStart = FPos;
    }

    // A "_" ending a line (it cannot belong to a name here) joins the next line to this one.
    bool Continuation() {
        std::size_t p = FPos + 1;
        while (p < FText.size() && IsBlank(FText[p]))
            ++p;
        if (p < FText.size() && FText[p] != '\n' && FText[p] != '\r') return false;
        FPos = p;
        if (FPos < FText.size()) NewLine();
        FSpace = true;
        return true;
    }

    bool Step() {
        const char c = FText[FPos];
        FStart = FPos;
        if (IsBlank(c)) {
            ++FPos;
            FSpace = true;
            return true;
        }
        if (c == '\n' || c == '\r') {
            Push(TTokenKind::tkNewLine);
            NewLine();
            return true;
        }
        if (c == '\'') {
            SkipToLineEnd();
            return true;
        }
        if (c == '_' && Continuation()) return true;
        if (c == '"') return String();
        if (IsDigit(c) || (c == '.' && FPos + 1 < FText.size() && IsDigit(FText[FPos + 1]) &&
                           !PreviousIsOperand())) {
            return Number();
        }
        if (c == '&' && FPos + 1 < FText.size() &&
            (Lower(FText[FPos + 1]) == 'h' || Lower(FText[FPos + 1]) == 'o' ||
             IsDigit(FText[FPos + 1]))) {
            return Radix();
        }
        if (IsNameStart(c)) return Name();
        if (c == '[') return BracketName();
        if (c == '#') return DateLiteral();
        return Operator(c);
    }

    // "#12/10/2026#", "#2026/12/10#", "#10:30:00#": a date, month first when the year is last.
    bool DateLiteral() {
        std::size_t p = FPos + 1;
        while (p < FText.size() && FText[p] != '#' && FText[p] != '\n' && FText[p] != '\r')
            ++p;
        if (p >= FText.size() || FText[p] != '#') return Fail(seInvalidChar, FPos);
        double date = 0;
        if (!ParseDateText(FText.substr(FPos + 1, p - FPos - 1), date) || !IsDateInRange(date)) {
            return Fail(seSyntax, FPos);
        }
        FPos = p + 1;
        Push(TTokenKind::tkNumber).Value = TVariant::Date(date);
        return true;
    }

    // A "." right after a name or ")" is member access, not the start of a number.
    bool PreviousIsOperand() const {
        if (FTokens.empty() || FSpace) return false;
        const TTokenKind k = FTokens.back().Kind;
        return k == TTokenKind::tkName || k == TTokenKind::tkRParen;
    }

    bool String() {
        std::string s;
        ++FPos;
        for (;;) {
            if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r') {
                return Fail(seUnterminatedString, FStart);
            }
            const char c = FText[FPos];
            if (c == '"') {
                if (FPos + 1 < FText.size() && FText[FPos + 1] == '"') {
                    s += '"';
                    FPos += 2;
                    continue;
                }
                ++FPos;
                break;
            }
            if (IsLeadByte(c) && FPos + 1 < FText.size() && FText[FPos + 1] != '\n' &&
                FText[FPos + 1] != '\r') {
                s.append(FText.substr(FPos, 2));
                FPos += 2;
                continue;
            }
            s += c;
            ++FPos;
        }
        Push(TTokenKind::tkString).Text = std::move(s);
        return true;
    }

    bool Number() {
        std::size_t p = FPos;
        bool real = false;
        while (p < FText.size() && IsDigit(FText[p]))
            ++p;
        if (p < FText.size() && FText[p] == '.') {
            real = true;
            ++p;
            while (p < FText.size() && IsDigit(FText[p]))
                ++p;
        }
        if (p < FText.size() && Lower(FText[p]) == 'e') {
            std::size_t q = p + 1;
            if (q < FText.size() && (FText[q] == '+' || FText[q] == '-')) ++q;
            if (q < FText.size() && IsDigit(FText[q])) {
                real = true;
                p = q;
                while (p < FText.size() && IsDigit(FText[p]))
                    ++p;
            }
        }
        if (p < FText.size() && IsNameStart(FText[p])) return Fail(seExpectedEndOfStatement, p);
        const std::string digits(FText.substr(FPos, p - FPos));
        const double d = std::strtod(digits.c_str(), nullptr);
        if (!std::isfinite(d)) return Fail(seInvalidNumber, FPos);
        FPos = p;
        TToken& t = Push(TTokenKind::tkNumber);
        if (!real && d <= 32767) {
            t.Value = TVariant::Integer(static_cast<std::int16_t>(d));
        } else if (!real && d <= 2147483647.0) {
            t.Value = TVariant::Long(static_cast<std::int32_t>(d));
        } else {
            t.Value = TVariant::Double(d);
        }
        return true;
    }

    bool Radix() {
        std::size_t p = FPos + 1;
        int radix = 8;
        if (Lower(FText[p]) == 'h') {
            radix = 16;
            ++p;
        } else if (Lower(FText[p]) == 'o') {
            ++p;
        }
        std::uint64_t value = 0;
        int count = 0;
        for (; p < FText.size(); ++p) {
            const char c = Lower(FText[p]);
            int d = -1;
            if (IsDigit(c))
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            if (d < 0 || d >= radix) break;
            value = value * radix + d;
            if (value > 0xFFFFFFFFull) return Fail(seInvalidNumber, FPos);
            ++count;
        }
        if (count == 0) return Fail(seSyntax, FPos);
        if (p < FText.size() && FText[p] == '&') ++p;
        FPos = p;
        TToken& t = Push(TTokenKind::tkNumber);
        if (value <= 0xFFFF) {
            t.Value =
                TVariant::Integer(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
        } else {
            t.Value = TVariant::Long(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
        }
        return true;
    }

    bool Name() {
        std::size_t p = FPos;
        while (p < FText.size() && IsNamePart(FText[p])) {
            p += IsLeadByte(FText[p]) && p + 1 < FText.size() ? 2 : 1;
        }
        if (p > FText.size()) p = FText.size();
        const std::string_view spelling = FText.substr(FPos, p - FPos);
        std::string lower = ScriptNameKey(spelling);
        if (lower == "rem" && AtStatementStart()) {
            SkipToLineEnd();
            return true;
        }
        FPos = p;
        TToken& t = Push(TTokenKind::tkName);
        t.Keyword = KeywordOf(lower);
        t.Spelling = spelling;
        t.Text = std::move(lower);
        return true;
    }

    bool BracketName() {
        std::size_t p = FPos + 1;
        while (p < FText.size() && FText[p] != ']' && FText[p] != '\n' && FText[p] != '\r')
            ++p;
        if (p >= FText.size() || FText[p] != ']') return Fail(seExpectedIdent, FPos);
        const std::string_view spelling = FText.substr(FPos + 1, p - FPos - 1);
        std::string lower = ScriptNameKey(spelling);
        FPos = p + 1;
        TToken& t = Push(TTokenKind::tkName);
        t.Spelling = spelling;
        t.Text = std::move(lower);
        return true;
    }

    bool Operator(char c) {
        const char n = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
        TTokenKind k = TTokenKind::tkEnd;
        std::size_t len = 1;
        switch (c) {
        case ':': k = TTokenKind::tkColon; break;
        case '(': k = TTokenKind::tkLParen; break;
        case ')': k = TTokenKind::tkRParen; break;
        case ',': k = TTokenKind::tkComma; break;
        case '.': k = TTokenKind::tkDot; break;
        case '=': k = TTokenKind::tkEq; break;
        case '+': k = TTokenKind::tkPlus; break;
        case '-': k = TTokenKind::tkMinus; break;
        case '*': k = TTokenKind::tkStar; break;
        case '/': k = TTokenKind::tkSlash; break;
        case '\\': k = TTokenKind::tkBackslash; break;
        case '^': k = TTokenKind::tkCaret; break;
        case '&': k = TTokenKind::tkAmp; break;
        case '<':
            if (n == '>')
                k = TTokenKind::tkNe, len = 2;
            else if (n == '=')
                k = TTokenKind::tkLe, len = 2;
            else
                k = TTokenKind::tkLt;
            break;
        case '>':
            if (n == '=')
                k = TTokenKind::tkGe, len = 2;
            else if (n == '<')
                k = TTokenKind::tkNe, len = 2;
            else
                k = TTokenKind::tkGt;
            break;
        default: return Fail(seInvalidChar, FPos);
        }
        Push(k);
        FPos += len;
        return true;
    }

    std::string_view FText;
    std::vector<TToken>& FTokens;
    std::size_t FPos = 0;
    std::size_t FStart = 0;
    std::size_t FLineStart = 0;
    int FLine = 0;
    bool FSpace = false;
    TLexError FError;
};

}  // namespace

bool Tokenize(std::string_view text, std::vector<TToken>& tokens, TLexError& error) {
    tokens.clear();
    tokens.reserve(std::min<std::size_t>(text.size() / 4 + 4, 1 << 16));
    TLexer lexer(text, tokens);
    return lexer.Run(error);
}

}  // namespace rekna
