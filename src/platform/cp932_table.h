// The CP932 tables behind the conversions; private to src/platform/ and its tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rekna {

// Double-byte codes are indexed by (lead byte, trail byte): 60 lead bytes, and the trail bytes
// 0x40..0xFC as one run (the column of 0x7F, never a trail byte, is all zero).
inline constexpr int kCp932LeadCount = 60;
inline constexpr int kCp932TrailFirst = 0x40;
inline constexpr int kCp932TrailCount = 0xFC - 0x40 + 1;

// Entry of kCp932SingleByte for a byte that has no single-byte mapping (lead bytes, 0x80, 0xA0,
// 0xFD..0xFF). U+FFFF is a noncharacter, so it never is a real mapping, unlike 0 for byte 0x00.
inline constexpr std::uint16_t kCp932NoSingleMapping = 0xFFFF;

// Code point of each single byte, or kCp932NoSingleMapping.
extern const std::uint16_t kCp932SingleByte[256];

// Code point of each double-byte code; 0 for a pair with no mapping.
extern const std::uint16_t kCp932DoubleByte[kCp932LeadCount][kCp932TrailCount];

// Sorted codes (lead << 8 | trail) that the encoder writes for the characters that several codes
// decode to, as Python's cp932 encoder does (JIS row 2 before NEC row 13, NEC row 13 before the
// IBM extensions, the NEC-selected IBM extensions 0xED/0xEE before the IBM extensions 0xFA..0xFC).
extern const std::uint16_t kCp932PreferredCodes[];
extern const std::size_t kCp932PreferredCodeCount;

// A character outside the decoding table that is written as the code of a look-alike
// (U+301C WAVE DASH as 0x8160, which decodes to U+FF5E); the conversion is not lossless.
struct TCp932OneWay {
    std::uint16_t CodePoint;
    std::uint16_t Code;
};
extern const TCp932OneWay kCp932OneWay[];
extern const std::size_t kCp932OneWayCount;

[[nodiscard]] constexpr int Cp932LeadIndex(unsigned char lead) noexcept {
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
}

// Code point of a lead byte followed by a trail byte (both checked by the caller), 0 if unmapped.
[[nodiscard]] inline std::uint16_t Cp932DecodePair(unsigned char lead,
                                                   unsigned char trail) noexcept {
    return kCp932DoubleByte[Cp932LeadIndex(lead)][trail - kCp932TrailFirst];
}

}  // namespace rekna
