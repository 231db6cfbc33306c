// Width, kana, case and formula conversions of CP932 text, each one linear pass.
#include "text/str_utils.h"

#include "platform/cp932.h"

#include <array>
#include <cstddef>

namespace rekna {
namespace {

// What happens to one character. Consecutive characters with the same mapping action form a
// run that is handed to the mapping at once, which lets a voiced mark join its letter.
enum class TAction : std::uint8_t { acCopy, acFull, acHalf, acReplace };

struct TStep {
    TAction Action;
    char Replacement = 0;  // the one byte written for acReplace
};

constexpr TStep kCopy{TAction::acCopy};
constexpr TStep kFull{TAction::acFull};
constexpr TStep kHalf{TAction::acHalf};

// The characters the rules name, as codes taken from their Unicode texts.
struct TNamedCodes {
    std::uint16_t FullSpace, Times, MiddleDot, Divide, Equals, FullStop;
    std::uint16_t FirstAlnum, LastAlnum, FirstKatakana, LastKatakana;
    std::array<std::uint16_t, 8> FormulaKept;  // stay full-width in a formula
    std::array<std::uint16_t, 13> Numerals;    // their digits are kNumeralDigits
};
constexpr std::string_view kFormulaKept = "、。゛゜ー「」？";
constexpr std::string_view kNumerals = "一二三四五六七八九零壱弐参";
constexpr std::string_view kNumeralDigits = "1234567890123";

std::uint16_t CodeAt(std::string_view cp932, std::size_t pos) {
    return pos + 1 < cp932.size() ? WideCode(static_cast<unsigned char>(cp932[pos]),
                                             static_cast<unsigned char>(cp932[pos + 1]))
                                  : 0;
}

std::uint16_t CodeOf(std::string_view utf8) {
    return CodeAt(SysText(utf8), 0);
}

template <std::size_t N> std::array<std::uint16_t, N> CodesOf(std::string_view utf8) {
    const std::string s = SysText(utf8);
    std::array<std::uint16_t, N> codes{};
    for (std::size_t i = 0; i < N; ++i)
        codes[i] = CodeAt(s, 2 * i);
    return codes;
}

const TNamedCodes& Named() {
    static const TNamedCodes codes{
        CodeOf("　"),
        CodeOf("×"),
        CodeOf("・"),
        CodeOf("÷"),
        CodeOf("＝"),
        CodeOf("．"),
        CodeOf("０"),
        CodeOf("ｚ"),
        CodeOf("ァ"),
        CodeOf("ヶ"),
        CodesOf<8>(kFormulaKept),
        CodesOf<13>(kNumerals),
    };
    return codes;
}

template <std::size_t N> bool Contains(const std::array<std::uint16_t, N>& codes, std::uint16_t c) {
    for (const std::uint16_t code : codes) {
        if (code == c) return true;
    }
    return false;
}

// The digit for a kanji numeral, 0 for any other code.
char DigitOf(std::uint16_t code) {
    const TNamedCodes& n = Named();
    for (std::size_t i = 0; i < n.Numerals.size(); ++i) {
        if (n.Numerals[i] == code) return kNumeralDigits[i];
    }
    return 0;
}

bool IsAsciiAlnum(std::uint16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The symbols that the half-width conversions of symbols take: the double-byte characters
// below "０", and the full-width forms of ASCII symbols that CP932 keeps in its extension rows
// ("＂" and "＇"), so that the symbols widened by ToFullWidthSymbols all come back.
bool IsWideSymbol(std::uint16_t code, const TNamedCodes& n) {
    if (code < n.FirstAlnum) return true;
    const std::uint16_t half = HalfWidthOf(code);
    return half != 0 && half < 0x80 && !IsAsciiAlnum(half);
}

// Walks s character by character; classify(code, wide) decides each character's step, where
// code is the byte of a single-byte character or the WideCode of a double-byte one. A lone lead
// byte at the end is always copied. The result is reserved once with the given capacity, which
// must bound the output for no second allocation to happen.
template <class Classify>
std::string Convert(std::string_view s, std::size_t capacity, Classify classify) {
    std::string out;
    out.reserve(capacity);
    TAction run = TAction::acCopy;
    std::size_t runStart = 0;
    auto flush = [&](std::size_t end) {
        const std::string_view piece = s.substr(runStart, end - runStart);
        switch (run) {
        case TAction::acFull: AppendFullWidth(out, piece); break;
        case TAction::acHalf: AppendHalfWidth(out, piece); break;
        default: out.append(piece); break;
        }
    };
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t len = CharLength(s, i);
        const auto byte = static_cast<unsigned char>(s[i]);
        const TStep step = len == 2           ? classify(CodeAt(s, i), true)
                           : IsLeadByte(byte) ? kCopy
                                              : classify(std::uint16_t{byte}, false);
        if (step.Action == TAction::acReplace) {
            flush(i);
            out += step.Replacement;
            run = TAction::acCopy;
            runStart = i + len;
        } else if (step.Action != run) {
            flush(i);
            run = step.Action;
            runStart = i;
        }
        i += len;
    }
    flush(s.size());
    return out;
}

TStep Replace(char c) {
    return TStep{TAction::acReplace, c};
}

// Applies per-code to every double-byte character.
template <class MapCode> std::string MapWideChars(std::string_view s, MapCode mapCode) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i += CharLength(out, i)) {
        if (CharLength(out, i) != 2) continue;
        const std::uint16_t code = mapCode(CodeAt(out, i));
        out[i] = static_cast<char>(code >> 8);
        out[i + 1] = static_cast<char>(code & 0xFF);
    }
    return out;
}

// The steps of FormulaToHalfWidth; with digits, kanji numerals become digits as well.
TStep FormulaStep(std::uint16_t code, bool wide, bool digits) {
    if (!wide) return code < 0xA1 ? kCopy : kFull;
    const TNamedCodes& n = Named();
    if (code == n.Times || code == n.MiddleDot) return Replace('*');
    if (code == n.Divide) return Replace('/');
    if (code == n.FullSpace || (code >= n.FirstKatakana && code <= n.LastKatakana) ||
        Contains(n.FormulaKept, code)) {
        return kCopy;
    }
    if (digits) {
        if (const char d = DigitOf(code)) return Replace(d);
    }
    return kHalf;
}

}  // namespace

std::string ToFullWidth(std::string_view s) {
    return MapFullWidth(s);
}

std::string ToFullWidthAlnum(std::string_view s) {
    return Convert(s, 2 * s.size(), [](std::uint16_t c, bool wide) {
        return !wide && (c == '.' || IsAsciiAlnum(c)) ? kFull : kCopy;
    });
}

std::string ToFullWidthSymbols(std::string_view s) {
    return Convert(s, 2 * s.size(), [](std::uint16_t c, bool wide) {
        return !wide && !IsAsciiAlnum(c) && !(c >= 0xA6 && c <= 0xDF) ? kFull : kCopy;
    });
}

std::string ToFullWidthKana(std::string_view s) {
    return Convert(s, 2 * s.size(),
                   [](std::uint16_t c, bool wide) { return !wide && c >= 0xA6 ? kFull : kCopy; });
}

std::string ToHalfWidth(std::string_view s) {
    return MapHalfWidth(s);
}

std::string ToHalfWidthAlnum(std::string_view s) {
    const TNamedCodes& n = Named();
    return Convert(s, s.size(), [&n](std::uint16_t c, bool wide) {
        return wide && ((c >= n.FirstAlnum && c <= n.LastAlnum) || c == n.FullStop) ? kHalf : kCopy;
    });
}

std::string ToHalfWidthSymbols(std::string_view s) {
    const TNamedCodes& n = Named();
    return Convert(s, s.size(), [&n](std::uint16_t c, bool wide) {
        return wide && IsWideSymbol(c, n) ? kHalf : kCopy;
    });
}

std::string ToHalfWidthKana(std::string_view s) {
    const TNamedCodes& n = Named();
    return Convert(s, s.size(), [&n](std::uint16_t c, bool wide) {
        return wide && c >= n.FirstKatakana && c <= n.LastKatakana ? kHalf : kCopy;
    });
}

std::string FormulaToHalfWidth(std::string_view s) {
    return Convert(s, 2 * s.size(),
                   [](std::uint16_t c, bool wide) { return FormulaStep(c, wide, false); });
}

std::string KanjiToDigits(std::string_view s) {
    return Convert(s, s.size(), [](std::uint16_t c, bool wide) {
        const char d = wide ? DigitOf(c) : 0;
        return d != 0 ? Replace(d) : kCopy;
    });
}

std::string FormulaToCalcText(std::string_view s) {
    return Convert(s, 2 * s.size(),
                   [](std::uint16_t c, bool wide) { return FormulaStep(c, wide, true); });
}

std::string PreconvertFormula(std::string_view s) {
    const TNamedCodes& n = Named();
    return Convert(s, s.size(), [&n](std::uint16_t c, bool wide) {
        if (!wide || c == n.Equals) return kCopy;
        if ((c >= n.FirstAlnum && c <= n.LastAlnum) || IsWideSymbol(c, n)) return kHalf;
        const char d = DigitOf(c);
        return d != 0 ? Replace(d) : kCopy;
    });
}

std::string UpperCaseWide(std::string_view s) {
    return MapWideChars(s, WideUpperCase);
}

std::string LowerCaseWide(std::string_view s) {
    return MapWideChars(s, WideLowerCase);
}

std::string HiraganaToKatakana(std::string_view s) {
    return MapWideChars(s, [](std::uint16_t c) { return HiraganaToKatakana(c); });
}

std::string KatakanaToHiragana(std::string_view s) {
    return MapWideChars(s, [](std::uint16_t c) { return KatakanaToHiragana(c); });
}

std::string UpperCaseAscii(std::string_view s) {
    return Convert(s, s.size(), [](std::uint16_t c, bool wide) {
        return !wide && c >= 'a' && c <= 'z' ? Replace(static_cast<char>(c - 'a' + 'A')) : kCopy;
    });
}

std::string LowerCaseAscii(std::string_view s) {
    return Convert(s, s.size(), [](std::uint16_t c, bool wide) {
        return !wide && c >= 'A' && c <= 'Z' ? Replace(static_cast<char>(c - 'A' + 'a')) : kCopy;
    });
}

}  // namespace rekna
