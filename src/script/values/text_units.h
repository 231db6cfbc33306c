// Script text seen as the language sees it: a sequence of UTF-16 units, with Unicode case
// mapping, over the CP932 bytes the program keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

// The Unicode code point of the character that starts at pos (the byte itself for ASCII).
[[nodiscard]] char32_t CodePointAt(std::string_view cp932, std::size_t pos);
// The character of a code point as CP932 bytes (a character CP932 lacks is carried).
[[nodiscard]] std::string CharOfCodePoint(char32_t cp);

// The UTF-16 units of a text: a character outside the Basic Multilingual Plane is two.
[[nodiscard]] std::size_t UnitCount(std::string_view cp932);

// Where the UTF-16 units of a text start, for positions, lengths and slices. A unit inside a
// pair of surrogates (the second half of an emoji, say) is no place to cut: an end there falls
// before the character and a start after it.
class TUnitIndex {
public:
    // ascii: the caller knows that every byte is below 0x80 (every unit one byte).
    TUnitIndex(std::string_view cp932, bool ascii);

    [[nodiscard]] std::size_t Units() const noexcept { return FUnits; }
    // The byte offset of the cut before unit u (u <= Units()), as an end or as a start.
    [[nodiscard]] std::size_t EndOffset(std::size_t u) const noexcept;
    [[nodiscard]] std::size_t StartOffset(std::size_t u) const noexcept;
    // The unit at which the character at a byte offset starts.
    [[nodiscard]] std::size_t UnitOf(std::size_t offset) const noexcept;
    // Units [from, from + count) as bytes, both clamped.
    [[nodiscard]] std::string_view Slice(std::string_view text, std::size_t from,
                                         std::size_t count) const noexcept;

private:
    std::size_t FUnits = 0;
    std::size_t FBytes = 0;
    bool FIdentity = true;              // one byte per unit
    std::vector<std::uint32_t> FStart;  // per unit: the byte offset of its character; then size
};

// The language's case mapping of a text (LCase, UCase, text comparison): every letter that
// Unicode gives a simple lower or upper case.
[[nodiscard]] std::string ScriptLowerCase(std::string_view cp932);
[[nodiscard]] std::string ScriptUpperCase(std::string_view cp932);
// The lower case for text comparison: every character keeps its byte length, so that offsets
// found in the folded text hold in the original.
[[nodiscard]] std::string ScriptFoldCase(std::string_view cp932);

// Compares two texts by their UTF-16 units, as binary comparison does: -1, 0 or 1.
[[nodiscard]] int CompareUnits(std::string_view a, std::string_view b);

// The first UTF-16 unit of a text as AscW gives it (-32768..32767); the text is not empty.
[[nodiscard]] std::int32_t FirstUnit(std::string_view cp932);

}  // namespace rekna
