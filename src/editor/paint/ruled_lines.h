// Ruled lines drawn into the text with "-", "|" and "+": which character a cell gets from its
// neighbours, and how a character is written into a display cell of a row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rekna {

enum class TRuleDirection : std::uint8_t { rdLeft, rdUp, rdRight, rdDown };

[[nodiscard]] constexpr bool IsHorizontal(TRuleDirection d) noexcept {
    return d == TRuleDirection::rdLeft || d == TRuleDirection::rdRight;
}

// The single-byte characters around a cell; a double-byte character, a Tab or a missing cell is a
// space.
struct TRuleNeighbours {
    char Current = ' ';
    char Above = ' ';
    char Below = ' ';
    char Left = ' ';
    char Right = ' ';
};

// The character a cell gets when a line is drawn (draw) or erased through it by a horizontal or a
// vertical move. Drawing crosses an existing line with "+"; erasing leaves a crossing line behind.
[[nodiscard]] char RuleChar(const TRuleNeighbours& n, bool horizontal, bool draw) noexcept;

// The single-byte character that covers display column col of text, or a space.
[[nodiscard]] char CellChar(std::string_view text, std::int32_t col,
                            std::int32_t tabStops) noexcept;

// text with ch written into display column col: a short row is padded with spaces, a double-byte
// character covering the column gives way to ch and a space (on its other half), a Tab covering
// it is split into spaces so that ch lands in its column and the rest of the Tab's width stays.
[[nodiscard]] std::string WriteCell(std::string_view text, std::int32_t col, char ch,
                                    std::int32_t tabStops);

}  // namespace rekna
