// Fuzz target: every string utility on arbitrary bytes, checking that untouched characters stay.
#include "platform/cp932.h"
#include "platform/lcmap.h"
#include "text/str_utils.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace rekna;

void Check(bool ok, const char* name, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_str_utils: %s: %s\n", name, what);
        std::abort();
    }
}

// One character of the input: its bytes, and its code (a single byte, or lead × 256 + trail).
struct TChar {
    std::string_view Bytes;
    std::uint16_t Code;
    bool Wide;
    bool LoneLead;
};

TChar CharAt(std::string_view s, std::size_t i) {
    const std::size_t len = CharLength(s, i);
    const auto b = static_cast<unsigned char>(s[i]);
    if (len == 2)
        return {s.substr(i, 2), WideCode(b, static_cast<unsigned char>(s[i + 1])), true, false};
    return {s.substr(i, 1), b, false, IsLeadByte(b)};
}

using TConvert = std::string (*)(std::string_view);
using TKeeps = bool (*)(const TChar&);

bool InRange(std::uint16_t c, std::uint16_t lo, std::uint16_t hi) {
    return c >= lo && c <= hi;
}
bool IsAlnum(std::uint16_t c) {
    return InRange(c, '0', '9') || InRange(c, 'A', 'Z') || InRange(c, 'a', 'z');
}
// Single bytes that the full-width mapping has no form for.
bool NoFullForm(const TChar& c) {
    return !c.Wide && !InRange(c.Code, 0x20, 0x7E) && !InRange(c.Code, 0xA1, 0xDF);
}
// A double-byte character whose half-width form is an ASCII symbol.
bool IsAsciiSymbolForm(const TChar& c) {
    const std::string half = MapHalfWidth(c.Bytes);
    return half.size() == 1 && half[0] >= 0x20 && half[0] < 0x7F && !IsAlnum(half[0]);
}
bool IsNumeral(std::uint16_t code) {
    static const std::string numerals = SysText("一二三四五六七八九零壱弐参");
    for (std::size_t i = 0; i + 1 < numerals.size(); i += 2) {
        if (CharAt(numerals, i).Code == code) return true;
    }
    return false;
}
bool IsFormulaKept(std::uint16_t code) {
    static const std::string kept = SysText("　、。゛゜ー「」？");
    for (std::size_t i = 0; i + 1 < kept.size(); i += 2) {
        if (CharAt(kept, i).Code == code) return true;
    }
    return InRange(code, 0x8340, 0x8396);  // ァ..ヶ
}

// For each utility, the characters its rules copy unchanged. A kept character also ends any
// run, so the text on each side of it converts on its own.
struct TUtility {
    const char* Name;
    TConvert Convert;
    TKeeps Keeps;
    std::size_t Growth;  // the output is at most Growth × the input long
};

const TUtility kUtilities[] = {
    {"ToFullWidth", ToFullWidth,
     [](const TChar& c) { return c.Wide || c.LoneLead || NoFullForm(c); }, 2},
    {"ToFullWidthAlnum", ToFullWidthAlnum,
     [](const TChar& c) { return c.Wide || c.LoneLead || !(c.Code == '.' || IsAlnum(c.Code)); }, 2},
    {"ToFullWidthSymbols", ToFullWidthSymbols,
     [](const TChar& c) {
         return c.Wide || c.LoneLead || NoFullForm(c) || IsAlnum(c.Code) ||
                InRange(c.Code, 0xA6, 0xDF);
     },
     2},
    {"ToFullWidthKana", ToFullWidthKana,
     [](const TChar& c) { return c.Wide || c.LoneLead || c.Code < 0xA6 || NoFullForm(c); }, 2},
    {"ToHalfWidth", ToHalfWidth, [](const TChar& c) { return !c.Wide; }, 1},
    {"ToHalfWidthAlnum", ToHalfWidthAlnum,
     [](const TChar& c) {
         return !c.Wide || !(InRange(c.Code, 0x824F, 0x829A) || c.Code == 0x8144);
     },
     1},
    {"ToHalfWidthSymbols", ToHalfWidthSymbols,
     [](const TChar& c) { return !c.Wide || (c.Code >= 0x824F && !IsAsciiSymbolForm(c)); }, 1},
    {"ToHalfWidthKana", ToHalfWidthKana,
     [](const TChar& c) { return !c.Wide || !InRange(c.Code, 0x8340, 0x8396); }, 1},
    {"FormulaToHalfWidth", FormulaToHalfWidth,
     [](const TChar& c) {
         return c.LoneLead || (!c.Wide && c.Code < 0xA1) || NoFullForm(c) ||
                (c.Wide && IsFormulaKept(c.Code));
     },
     2},
    {"KanjiToDigits", KanjiToDigits, [](const TChar& c) { return !c.Wide || !IsNumeral(c.Code); },
     1},
    {"FormulaToCalcText", FormulaToCalcText,
     [](const TChar& c) {
         return c.LoneLead || (!c.Wide && c.Code < 0xA1) || NoFullForm(c) ||
                (c.Wide && IsFormulaKept(c.Code));
     },
     2},
    {"PreconvertFormula", PreconvertFormula,
     [](const TChar& c) {
         return !c.Wide || c.Code == 0x8181 ||
                (c.Code > 0x829A && !IsNumeral(c.Code) && !IsAsciiSymbolForm(c));
     },
     1},
    {"UpperCaseWide", static_cast<TConvert>(UpperCaseWide),
     [](const TChar& c) { return !c.Wide || !IsWideLetter(c.Code); }, 1},
    {"LowerCaseWide", static_cast<TConvert>(LowerCaseWide),
     [](const TChar& c) { return !c.Wide || !IsWideLetter(c.Code); }, 1},
    {"HiraganaToKatakana", static_cast<TConvert>(HiraganaToKatakana),
     [](const TChar& c) { return !c.Wide || !InRange(c.Code, 0x829F, 0x82F1); }, 1},
    {"KatakanaToHiragana", static_cast<TConvert>(KatakanaToHiragana),
     [](const TChar& c) { return !c.Wide || !InRange(c.Code, 0x8340, 0x8393) || c.Code == 0x837F; },
     1},
    {"UpperCaseAscii", UpperCaseAscii,
     [](const TChar& c) { return c.Wide || !InRange(c.Code, 'a', 'z'); }, 1},
    {"LowerCaseAscii", LowerCaseAscii,
     [](const TChar& c) { return c.Wide || !InRange(c.Code, 'A', 'Z'); }, 1},
    {"LocaleUpperCase", LocaleUpperCase,
     [](const TChar& c) { return c.Wide ? !IsWideLetter(c.Code) : !InRange(c.Code, 'a', 'z'); }, 1},
    {"LocaleLowerCase", LocaleLowerCase,
     [](const TChar& c) { return c.Wide ? !IsWideLetter(c.Code) : !InRange(c.Code, 'A', 'Z'); }, 1},
};

void CheckUtility(const TUtility& u, std::string_view in) {
    const std::string out = u.Convert(in);
    Check(out.size() <= u.Growth * in.size(), u.Name, "output longer than its bound");

    // The output is the pieces between kept characters, each converted alone, with every kept
    // character copied between them at a character boundary of the output.
    std::size_t done = 0;  // bytes of out accounted for
    std::size_t walk = 0;  // a character boundary of out, walking from the start
    auto expectPiece = [&](std::string_view piece) {
        Check(out.compare(done, piece.size(), piece) == 0, u.Name, "a piece converted differently");
        done += piece.size();
    };
    std::size_t pieceStart = 0;
    for (std::size_t i = 0; i < in.size();) {
        const TChar c = CharAt(in, i);
        if (u.Keeps(c)) {
            expectPiece(u.Convert(in.substr(pieceStart, i - pieceStart)));
            while (walk < done)
                walk += CharLength(out, walk);
            Check(walk == done, u.Name, "a kept character was split");
            Check(out.compare(done, c.Bytes.size(), c.Bytes) == 0, u.Name,
                  "a kept character changed");
            done += c.Bytes.size();
            pieceStart = i + c.Bytes.size();
        }
        i += c.Bytes.size();
    }
    expectPiece(u.Convert(in.substr(pieceStart)));
    Check(done == out.size(), u.Name, "the output is longer than its pieces");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    for (const TUtility& u : kUtilities)
        CheckUtility(u, in);

    Check(FormulaToCalcText(in) == KanjiToDigits(FormulaToHalfWidth(in)), "FormulaToCalcText",
          "differs from its two steps");
    Check(ToHalfWidth(ToHalfWidth(in)) == ToHalfWidth(in), "ToHalfWidth", "not idempotent");
    Check(ToFullWidth(ToFullWidth(in)) == ToFullWidth(in), "ToFullWidth", "not idempotent");

    // Printable ASCII and half-width katakana come back from the full-width forms.
    std::string printable;
    for (const unsigned char b : in) {
        printable += static_cast<char>(b >= 0x80 ? 0xA1 + b % 63 : 0x20 + b % 95);
    }
    Check(ToHalfWidth(ToFullWidth(printable)) == printable, "ToFullWidth", "no round trip");
    std::string ascii;
    for (const unsigned char b : in)
        ascii += static_cast<char>(0x20 + b % 95);
    Check(ToHalfWidthAlnum(ToFullWidthAlnum(ascii)) == ascii, "ToFullWidthAlnum", "no round trip");
    Check(ToHalfWidthSymbols(ToFullWidthSymbols(ascii)) == ascii, "ToFullWidthSymbols",
          "no round trip");
    return 0;
}
