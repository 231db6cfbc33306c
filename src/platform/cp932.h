// Code page 932 (Microsoft Shift_JIS) bytes: the lead-byte test and conversion to and from UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace rekna {

// A lead byte starts a double-byte character; it and the byte after it are never split.
[[nodiscard]] constexpr bool IsLeadByte(unsigned char c) noexcept {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
[[nodiscard]] constexpr bool IsLeadByte(char c) noexcept {
    return IsLeadByte(static_cast<unsigned char>(c));
}

// A byte that may follow a lead byte.
[[nodiscard]] constexpr bool IsTrailByte(unsigned char c) noexcept {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}
[[nodiscard]] constexpr bool IsTrailByte(char c) noexcept {
    return IsTrailByte(static_cast<unsigned char>(c));
}

// Half-width katakana and their punctuation (0xA1..0xDF) are single bytes.
[[nodiscard]] constexpr bool IsHalfKana(unsigned char c) noexcept {
    return c >= 0xA1 && c <= 0xDF;
}
[[nodiscard]] constexpr bool IsHalfKana(char c) noexcept {
    return IsHalfKana(static_cast<unsigned char>(c));
}

// Number of bytes of the character that starts at text[pos]: 2 for a lead byte followed by any
// byte, otherwise 1 (also for a lone lead byte at the end).
[[nodiscard]] constexpr std::size_t CharLength(std::string_view text, std::size_t pos) noexcept {
    return (IsLeadByte(text[pos]) && pos + 1 < text.size()) ? 2 : 1;
}

// Where the ASCII character c first stands in CP932 text at or after pos (a character boundary),
// stepping over double-byte characters: their trail byte may be the same byte as "|", "[", "]",
// "\\", "@" or a letter, and is never a match. npos when c does not stand there.
[[nodiscard]] constexpr std::size_t FindAscii(std::string_view text, char c,
                                              std::size_t pos = 0) noexcept {
    for (std::size_t i = pos; i < text.size(); i += CharLength(text, i)) {
        if (text[i] == c) return i;
    }
    return std::string_view::npos;
}

// Where the ASCII character c last stands in CP932 text, as FindAscii sees the characters.
[[nodiscard]] constexpr std::size_t RFindAscii(std::string_view text, char c) noexcept {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        if (text[i] == c) found = i;
    }
    return found;
}

// True when the last character of CP932 text is the ASCII character c.
[[nodiscard]] constexpr bool EndsWithAscii(std::string_view text, char c) noexcept {
    return !text.empty() && text.back() == c && RFindAscii(text, c) == text.size() - 1;
}

// First code point of the range that carries bytes with no CP932 meaning through Unicode:
// byte b that cannot be decoded becomes U+F700 + b and converts back to b. Such a byte is any
// byte 0x80..0xFF (0x80, 0xA0, 0xFD..0xFF, a lead byte at the end or before a byte that cannot
// follow it, either byte of a pair with no mapping), and also the trail byte 0x40..0x7E of a pair
// with no mapping, which stays with its lead byte.
inline constexpr char32_t kRawByteBase = 0xF700;

// CP932 to UTF-8 with the Microsoft mapping (0x5C is "\", 0x8160 is U+FF5E, user-defined
// codes 0xF040.. map to U+E000..). A byte or pair with no mapping is kept recoverable as
// U+F700 + byte, so Utf8ToCp932(Cp932ToUtf8(x)) gives back x for any bytes x, except that a
// character with two or three codes (NEC row 13 and the IBM extensions repeat some) comes back
// under the one code the encoder writes for it. A lead byte followed by a byte that cannot be a
// trail byte is carried alone, and the next byte is read on its own.
[[nodiscard]] std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 to CP932. U+F740..U+F77E and U+F780..U+F7FF become the raw bytes they stand for, and
// never clear *lossless. A character CP932 has no code for (€, µ, ², an emoji, the WAVE DASH of
// JIS-based tables) is carried as a double-byte code of the user-defined area (lead bytes
// 0xF0..0xF9), handed out from 0xF9FC downwards by one process-wide table on first sight and
// turned back into the character by Cp932ToUtf8; only when all 1,880 codes are taken does such a
// character become "?" (or the look-alike that common cp932 encoders write for the six JIS
// characters, U+301C as 0x8160 and so on), clearing *lossless. A code, once handed out, keeps its
// meaning for the life of the process: a character of the area's standard range (U+E000..)
// takes its own code only while no carried character holds it, and is carried itself otherwise.
// Each ill-formed part of the UTF-8
// (the longest prefix of a sequence that could have been valid, or one stray byte) becomes one
// "?" and clears *lossless. *lossless is never set to true: initialise it first.
[[nodiscard]] std::string Utf8ToCp932(std::string_view utf8, bool* lossless = nullptr);

// CP932 text from a file brings codes of the user-defined area of its own: they keep their
// standard meaning (U+E000..) and are never handed out to other characters.
void ReserveUserAreaCodes(std::string_view cp932);

// True when the text holds a character carried in the user-defined area, which a CP932 file
// cannot hold as that character.
[[nodiscard]] bool HoldsCarriedCharacters(std::string_view cp932);

// True when the text is well-formed UTF-8 (no overlong forms, no surrogates).
[[nodiscard]] bool IsValidUtf8(std::string_view text) noexcept;

// True when the bytes are well-formed CP932: every lead byte has a trail byte and every
// character has a mapping.
[[nodiscard]] bool IsValidCp932(std::string_view text) noexcept;

// The program's own texts are written in the sources as UTF-8; this converts one to the
// CP932 bytes the core works with.
[[nodiscard]] inline std::string SysText(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

}  // namespace rekna
