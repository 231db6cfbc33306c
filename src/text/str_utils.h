// Conversions of CP932 text between widths, kana and cases, and of full-width formulas.
#pragma once

#include "platform/lcmap.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rekna {

// Every function takes CP932 bytes and returns a new string. A double-byte character (a lead
// byte and whatever byte follows it) is one unit: it is converted whole or copied whole, and a
// lone lead byte at the end is copied. A character that no rule names is copied unchanged.
// The whole-text mappings and the locale casing are in platform/lcmap.h (MapFullWidth,
// MapHalfWidth, LocaleUpperCase, LocaleLowerCase).

// Width conversions. "Through the full-width mapping in runs" means that consecutive
// qualifying characters are mapped together, so a half-width letter and a voiced mark that
// follows it become one letter when both qualify.

// The whole text through the full-width mapping ("→全角").
[[nodiscard]] std::string ToFullWidth(std::string_view s);
// Runs of ".", "0"-"9", "A"-"Z", "a"-"z" only ("→全角(英数)").
[[nodiscard]] std::string ToFullWidthAlnum(std::string_view s);
// Runs of single bytes that are not ASCII letters or digits and not 0xA6..0xDF: space,
// punctuation (the "." included), symbols, 0xA1..0xA5, control characters ("→全角(記号)").
[[nodiscard]] std::string ToFullWidthSymbols(std::string_view s);
// Runs of single bytes 0xA6 and above: half-width katakana from "ｦ" on with the voiced marks
// ("→全角(カナ)", and the editor's conversion of typed and pasted text).
[[nodiscard]] std::string ToFullWidthKana(std::string_view s);

// The whole text through the half-width mapping ("→半角").
[[nodiscard]] std::string ToHalfWidth(std::string_view s);
// Double-byte characters from "０" to "ｚ" and "．" only ("→半角(英数)").
[[nodiscard]] std::string ToHalfWidthAlnum(std::string_view s);
// Double-byte characters below "０": the symbol rows with "　" ("→半角(記号)"); also "＂" and
// "＇", the two full-width forms of ASCII symbols that CP932 keeps in its extension rows, so that
// this undoes ToFullWidthSymbols.
[[nodiscard]] std::string ToHalfWidthSymbols(std::string_view s);
// Full-width katakana "ァ" to "ヶ" only ("→半角(カナ)").
[[nodiscard]] std::string ToHalfWidthKana(std::string_view s);

// A formula typed in full width made calculable, Japanese words kept readable:
// single bytes below 0xA1 are copied; single bytes 0xA1 and above go through the full-width
// mapping in runs; "×" and "・" become "*", "÷" becomes "/"; "　", the katakana "ァ"-"ヶ" and
// "、。゛゜ー「」？" stay; every other double-byte character goes through the half-width mapping
// (letters, digits and symbols become ASCII; kanji, hiragana and Greek stay).
[[nodiscard]] std::string FormulaToHalfWidth(std::string_view s);
// "一"-"九" and "零" become "1"-"9" and "0", "壱" "弐" "参" become "1" "2" "3"; other numerals
// ("〇", "十", "百", "千", "拾") stay.
[[nodiscard]] std::string KanjiToDigits(std::string_view s);
// FormulaToHalfWidth, then KanjiToDigits, in one pass: what "→半角計算式+全角カナ" and the
// editor's calc paste apply.
[[nodiscard]] std::string FormulaToCalcText(std::string_view s);

// The engine's pre-conversion of a line when full-width formulas are calculated: the
// half-width mapping of the characters that ToHalfWidthAlnum and ToHalfWidthSymbols select,
// then KanjiToDigits, in one pass. "＝" is the one
// exception: it marks the answer written into the line, so it stays full-width, and a line with
// a written answer still ends its expression there. "×" and "÷" have no half-width form and
// are left to the compiler's own switches.
[[nodiscard]] std::string PreconvertFormula(std::string_view s);

// Case of double-byte letters: "Ａ"-"Ｚ"/"ａ"-"ｚ", "Α"-"Ω"/"α"-"ω", "А"-"Я"/"а"-"я" (the
// pairs of kWideCaseRanges). On one code, or on every double-byte character of a text
// ("→大文字(全角)", "→小文字(全角)").
[[nodiscard]] constexpr std::uint16_t UpperCaseWide(std::uint16_t code) noexcept {
    return WideUpperCase(code);
}
[[nodiscard]] constexpr std::uint16_t LowerCaseWide(std::uint16_t code) noexcept {
    return WideLowerCase(code);
}
[[nodiscard]] std::string UpperCaseWide(std::string_view s);
[[nodiscard]] std::string LowerCaseWide(std::string_view s);

// Case of single-byte ASCII letters only ("→大文字(半角)", "→小文字(半角)").
[[nodiscard]] std::string UpperCaseAscii(std::string_view s);
[[nodiscard]] std::string LowerCaseAscii(std::string_view s);

// True for a double-byte Latin, Greek or Cyrillic letter of either case.
[[nodiscard]] constexpr bool IsWideLetter(std::uint16_t code) noexcept {
    return WideUpperCase(code) != code || WideLowerCase(code) != code;
}
// True for "０"-"９".
[[nodiscard]] constexpr bool IsWideDigit(std::uint16_t code) noexcept {
    return code >= 0x824F && code <= 0x8258;
}

// Hiragana "ぁ"-"ん" (0x829F..0x82F1) and katakana "ァ"-"ン" (0x8340..0x8393), whose row skips
// 0x837F; "ヴ", "ヵ", "ヶ", "ー" and everything else stay. On one code, or on every double-byte
// character of a text ("かな→カナ", "カナ→かな").
[[nodiscard]] constexpr std::uint16_t HiraganaToKatakana(std::uint16_t code) noexcept {
    if (code >= 0x829F && code <= 0x82DD) return static_cast<std::uint16_t>(code + 0x100 - 95);
    if (code >= 0x82DE && code <= 0x82F1) return static_cast<std::uint16_t>(code + 0x100 - 94);
    return code;
}
[[nodiscard]] constexpr std::uint16_t KatakanaToHiragana(std::uint16_t code) noexcept {
    if (code >= 0x8340 && code <= 0x837E) return static_cast<std::uint16_t>(code - 0x100 + 95);
    if (code >= 0x8380 && code <= 0x8393) return static_cast<std::uint16_t>(code - 0x100 + 94);
    return code;
}
[[nodiscard]] std::string HiraganaToKatakana(std::string_view s);
[[nodiscard]] std::string KatakanaToHiragana(std::string_view s);

}  // namespace rekna
