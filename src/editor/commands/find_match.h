// Search options and the occurrences of the find text in a row, as the find highlight shows them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

enum class TSearchType : std::uint8_t { stBack, stMatchCase, stSelect, stAriaSelect, stWord };

// A set of TSearchType.
class TSearchTypes {
public:
    constexpr TSearchTypes() noexcept = default;
    constexpr TSearchTypes(std::initializer_list<TSearchType> types) noexcept {
        for (const TSearchType t : types)
            Include(t);
    }

    [[nodiscard]] constexpr bool Contains(TSearchType t) const noexcept {
        return (FBits & Bit(t)) != 0;
    }
    constexpr void Include(TSearchType t) noexcept { FBits |= Bit(t); }
    constexpr void Exclude(TSearchType t) noexcept {
        FBits = static_cast<std::uint8_t>(FBits & ~Bit(t));
    }
    [[nodiscard]] constexpr std::uint8_t Bits() const noexcept { return FBits; }

    friend constexpr bool operator==(TSearchTypes, TSearchTypes) noexcept = default;

private:
    [[nodiscard]] static constexpr std::uint8_t Bit(TSearchType t) noexcept {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(t));
    }
    std::uint8_t FBits = 0;
};

// Bytes [Begin, End) of a row, 0-based.
struct TByteRange {
    std::int32_t Begin = 0;
    std::int32_t End = 0;

    friend bool operator==(const TByteRange&, const TByteRange&) = default;
};

// Space, Tab and the 32 printable ASCII characters that are neither letters nor digits.
[[nodiscard]] constexpr bool IsWordSeparator(unsigned char c) noexcept {
    if (c == ' ' || c == '\t') return true;
    if (c < 0x21 || c > 0x7E) return false;
    return !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
}

// The find text prepared once for matching many rows.
class TFindMatcher {
public:
    TFindMatcher() = default;
    TFindMatcher(std::string_view findText, TSearchTypes options);

    [[nodiscard]] bool Empty() const noexcept { return FText.empty(); }

    // Every occurrence in row, left to right and not overlapping. An occurrence begins and ends on
    // character boundaries; without stMatchCase letters match in either case; with stWord the
    // characters directly before and after it, where there are any, are word separators.
    void Find(std::string_view row, std::vector<TByteRange>& out) const;
    // The first occurrence that begins at or after byte from, overlapping ones included; Begin
    // is -1 when there is none.
    [[nodiscard]] TByteRange FindFirst(std::string_view row, std::size_t from) const;
    // The last occurrence that begins at or after byte from and ends at or before byte to.
    [[nodiscard]] TByteRange FindLast(std::string_view row, std::size_t from, std::size_t to) const;
    [[nodiscard]] const std::string& Text() const noexcept { return FText; }

private:
    // Prepares the row for matching: the row itself, or lowered without stMatchCase.
    [[nodiscard]] std::string_view Haystack(std::string_view row) const;
    // The end of an occurrence that begins at the character boundary i, or npos; prev is the
    // start of the character before i, or npos at the row start.
    [[nodiscard]] std::size_t MatchAt(std::string_view row, std::string_view hay, std::size_t i,
                                      std::size_t prev) const;

    std::string FText;  // lowered without stMatchCase
    bool FMatchCase = false;
    bool FWord = false;
    mutable std::string FLowered;  // scratch: the row lowered
};

}  // namespace rekna
