// The Japanese locale's character mapping on CP932 bytes: full-width and half-width forms, case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rekna {

// Code of a double-byte character: lead byte × 256 + trail byte.
[[nodiscard]] constexpr std::uint16_t WideCode(unsigned char lead, unsigned char trail) noexcept {
    return static_cast<std::uint16_t>((lead << 8) | trail);
}

// Full-width mapping (what LCMapStringA with LCMAP_FULLWIDTH gives under the Japanese locale).
// It changes single bytes only:
// - ASCII 0x20..0x7E become their full-width forms U+3000 and U+FF01..U+FF5E under the Microsoft
//   CP932 table: space → "　" 0x8140, "\" → "＼" 0x815F, "~" → "～" 0x8160, "-" → "－" 0x817C,
//   "|" → "｜" 0x8162, and the two quotes '"' → "＂" U+FF02 and "'" → "＇" U+FF07 under the
//   code the CP932 encoder writes for them (each has two codes; the typographic quotes “”‘’
//   are other characters and are never produced).
// - Half-width katakana 0xA6..0xDD become full-width katakana, and the half-width punctuation
//   0xA1..0xA5, the prolonged sound mark 0xB0 and the voiced marks 0xDE, 0xDF become
//   "。「」、・", "ー", "゛", "゜".
// - A half-width letter followed by the voiced mark 0xDE (ﾞ) becomes the one voiced letter
//   (ｶﾞ → ガ, ｳﾞ → ヴ), one followed by the semi-voiced mark 0xDF (ﾟ) the semi-voiced letter
//   (ﾊﾟ → パ); a mark after any other letter becomes "゛" or "゜" on its own (ﾜﾞ → ワ゛,
//   CP932 having no ヷ).
// Control characters, 0x7F, 0x80, 0xA0, 0xFD..0xFF and every double-byte character are copied.
// The output is at most twice as long as the input.
[[nodiscard]] std::string MapFullWidth(std::string_view cp932);
void AppendFullWidth(std::string& out, std::string_view cp932);

// Half-width mapping (LCMAP_HALFWIDTH under the Japanese locale), the inverse of the above on
// double-byte characters:
// - the full-width forms of ASCII become ASCII ("　" → space, "＼" → "\", "～" → "~"), also under
//   their duplicate codes in the IBM extension rows (0xEEFB "＇", 0xEEFC "＂");
// - full-width katakana with a half-width form become half-width katakana, a voiced or
//   semi-voiced letter the letter and its mark (ガ → ｶﾞ, ヴ → ｳﾞ, パ → ﾊﾟ); "ヮ", "ヰ", "ヱ",
//   "ヵ" and "ヶ" have no half-width form and stay;
// - "。「」、・ー゛゜" become 0xA1..0xA5, 0xB0, 0xDE, 0xDF.
// Everything else stays: kanji, hiragana, Greek, Cyrillic, the typographic quotes, "￥" (the
// half-width yen sign U+00A5 has no own CP932 code, and writing 0x5C for it would turn it into a
// backslash) and every single byte. The output is never longer than the input.
[[nodiscard]] std::string MapHalfWidth(std::string_view cp932);
void AppendHalfWidth(std::string& out, std::string_view cp932);
// The half-width form of one double-byte code: its first byte in the low half and its voiced
// mark, if any, in the high half; 0 when the code has none.
[[nodiscard]] std::uint16_t HalfWidthOf(std::uint16_t code);

// Both mappings step over a double-byte character (a lead byte and whatever byte follows it) as
// one unit; a lone lead byte at the end is copied. They never fail.

// Case pairs of the double-byte letters: Upper + i and Lower + i are the two cases of one letter
// for i < Count.
struct TWideCaseRange {
    std::uint16_t Upper;
    std::uint16_t Lower;
    std::uint16_t Count;
};

inline constexpr TWideCaseRange kWideCaseRanges[] = {
    {0x8260, 0x8281, 26},  // "Ａ"-"Ｚ" and "ａ"-"ｚ"
    {0x839F, 0x83BF, 24},  // "Α"-"Ω" and "α"-"ω"
    {0x8440, 0x8470, 15},  // "А"-"Н" and "а"-"н"
    {0x844F, 0x8480, 18},  // "О"-"Я" and "о"-"я": the lower-case row skips 0x847F
};

// The other case of a double-byte letter; any other code comes back as it is.
[[nodiscard]] constexpr std::uint16_t WideUpperCase(std::uint16_t code) noexcept {
    for (const TWideCaseRange& r : kWideCaseRanges) {
        if (code >= r.Lower && code < r.Lower + r.Count) {
            return static_cast<std::uint16_t>(code - r.Lower + r.Upper);
        }
    }
    return code;
}
[[nodiscard]] constexpr std::uint16_t WideLowerCase(std::uint16_t code) noexcept {
    for (const TWideCaseRange& r : kWideCaseRanges) {
        if (code >= r.Upper && code < r.Upper + r.Count) {
            return static_cast<std::uint16_t>(code - r.Upper + r.Lower);
        }
    }
    return code;
}

// Locale casing of a whole text (CharUpperBuffA, CharLowerBuffA): ASCII letters and the
// double-byte Latin, Greek and Cyrillic letters above change case; nothing else changes (the
// Roman numerals, which the platform would also case, are left alone because their codes are
// duplicated and the platform's round trip would move them between rows). The length never
// changes.
[[nodiscard]] std::string LocaleUpperCase(std::string_view cp932);
[[nodiscard]] std::string LocaleLowerCase(std::string_view cp932);

}  // namespace rekna
