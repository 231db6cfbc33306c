// Mapping between byte positions and display columns of one row of CP932 text.
#pragma once

#include "platform/cp932.h"

#include <cstdint>
#include <string_view>

namespace rekna {

// Positions are 1-based byte positions (1 .. length+1), columns are 1-based display columns.
// A double-byte character (a lead byte followed by any byte) takes two columns, a Tab runs to
// the next tab stop, every other byte takes one column. A lead byte at the very end of a row is a
// single byte of one column. Walks given tabs = false take s to hold no Tab and do not look for
// one (a row whose Tab summary says so).

// Bytes of the character at the 1-based position pos (pos <= length).
[[nodiscard]] constexpr std::int32_t CharBytesAt(std::string_view s, std::int32_t pos) noexcept {
    const auto i = static_cast<std::size_t>(pos - 1);
    return (IsLeadByte(s[i]) && i + 1 < s.size()) ? 2 : 1;
}

// The column after a Tab that starts at column col. Columns are counted in 64 bits, so that the
// widest rows cannot overflow; results are reported clamped to 32 bits.
[[nodiscard]] constexpr std::int64_t NextTabColumn(std::int64_t col,
                                                   std::int32_t tabStops) noexcept {
    const std::int64_t t = tabStops < 1 ? 1 : tabStops;
    return t * ((col - 1) / t + 1) + 1;
}

// The column reached after the last byte, minus 1.
[[nodiscard]] std::int32_t RowWidth(std::string_view s, std::int32_t tabStops) noexcept;

// RowWidth and the Tab summary (whether s holds a Tab byte at all) in one walk.
struct TRowMeasure {
    std::int32_t Width = 0;
    bool Tabs = false;
};
[[nodiscard]] TRowMeasure MeasureRow(std::string_view s, std::int32_t tabStops) noexcept;

// The column at byte pos (clamped to 1 .. length+1). A Tab never reaches past the column after
// the wrap margin when wrapColumns is positive (it is drawn up to the margin), but it always
// advances by at least one column.
[[nodiscard]] std::int32_t ColumnOfPos(std::string_view s, std::int32_t pos, std::int32_t tabStops,
                                       std::int32_t wrapColumns, bool tabs = true) noexcept;

// The first position whose column is at least col; length+1 beyond the row.
[[nodiscard]] std::int32_t PosOfColumn(std::string_view s, std::int32_t col,
                                       std::int32_t tabStops) noexcept;

// The position of the character that covers column col; length+1 beyond the row.
[[nodiscard]] std::int32_t CharAtColumn(std::string_view s, std::int32_t col, std::int32_t tabStops,
                                        bool tabs = true) noexcept;

// The first position whose character's midpoint is not left of x (a click on the right half of a
// character lands behind it); tabs are limited as in ColumnOfPos; length+1 past the end.
[[nodiscard]] std::int32_t PosNearestX(std::string_view s, double x, std::int32_t tabStops,
                                       std::int32_t wrapColumns) noexcept;

// Like PosOfColumn, but the second byte of a double-byte character counts as lying in the
// character's second column, so a character that straddles col yields its second byte. Box
// selections use it and treat such a character as inside the box.
[[nodiscard]] std::int32_t BoxPosOfColumn(std::string_view s, std::int32_t col,
                                          std::int32_t tabStops) noexcept;

// pos clamped to 1 .. length+1 and moved back one byte when it lies on the second byte of a
// double-byte character.
[[nodiscard]] std::int32_t AdjustToCharStart(std::string_view s, std::int32_t pos) noexcept;

}  // namespace rekna
