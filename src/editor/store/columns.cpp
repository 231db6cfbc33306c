// Column walks over one row: widths, positions of columns and columns of positions.
#include "editor/store/columns.h"

#include <algorithm>
#include <climits>

namespace rekna {
namespace {

constexpr char kTab = '\t';

using TColumn = std::int64_t;

[[nodiscard]] std::int32_t Length(std::string_view s) noexcept {
    return static_cast<std::int32_t>(s.size());
}

[[nodiscard]] std::int32_t Clamp32(TColumn col) noexcept {
    return static_cast<std::int32_t>(std::min<TColumn>(col, INT32_MAX));
}

// The column after the character at pos, which starts at column col.
[[nodiscard]] TColumn NextColumn(std::string_view s, std::int32_t pos, TColumn col,
                                 std::int32_t bytes, std::int32_t tabStops) noexcept {
    if (s[static_cast<std::size_t>(pos - 1)] == kTab) return NextTabColumn(col, tabStops);
    return col + bytes;
}

// As NextColumn, with a Tab stopping at the column after the wrap margin.
[[nodiscard]] TColumn NextLimitedColumn(std::string_view s, std::int32_t pos, TColumn col,
                                        std::int32_t bytes, std::int32_t tabStops,
                                        std::int32_t wrapColumns) noexcept {
    TColumn next = NextColumn(s, pos, col, bytes, tabStops);
    if (wrapColumns > 0 && s[static_cast<std::size_t>(pos - 1)] == kTab)
        next = std::max<TColumn>(col + 1, std::min<TColumn>(next, TColumn{wrapColumns} + 1));
    return next;
}

}  // namespace

std::int32_t RowWidth(std::string_view s, std::int32_t tabStops) noexcept {
    TColumn col = 1;
    const std::int32_t len = Length(s);
    for (std::int32_t pos = 1; pos <= len;) {
        const std::int32_t bytes = CharBytesAt(s, pos);
        col = NextColumn(s, pos, col, bytes, tabStops);
        pos += bytes;
    }
    return Clamp32(col - 1);
}

std::int32_t ColumnOfPos(std::string_view s, std::int32_t pos, std::int32_t tabStops,
                         std::int32_t wrapColumns) noexcept {
    const std::int32_t len = Length(s);
    pos = std::clamp(pos, 1, len + 1);
    TColumn col = 1;
    for (std::int32_t i = 1; i < pos;) {
        const std::int32_t bytes = CharBytesAt(s, i);
        col = NextLimitedColumn(s, i, col, bytes, tabStops, wrapColumns);
        i += bytes;
    }
    return Clamp32(col);
}

std::int32_t PosOfColumn(std::string_view s, std::int32_t col, std::int32_t tabStops) noexcept {
    const std::int32_t len = Length(s);
    std::int32_t pos = 1;
    TColumn c = 1;
    while (pos <= len && c < col) {
        const std::int32_t bytes = CharBytesAt(s, pos);
        c = NextColumn(s, pos, c, bytes, tabStops);
        pos += bytes;
    }
    return pos;
}

std::int32_t CharAtColumn(std::string_view s, std::int32_t col, std::int32_t tabStops) noexcept {
    const std::int32_t len = Length(s);
    TColumn c = 1;
    for (std::int32_t pos = 1; pos <= len;) {
        const std::int32_t bytes = CharBytesAt(s, pos);
        const TColumn next = NextColumn(s, pos, c, bytes, tabStops);
        if (col < next) return pos;
        c = next;
        pos += bytes;
    }
    return len + 1;
}

std::int32_t PosNearestX(std::string_view s, double x, std::int32_t tabStops,
                         std::int32_t wrapColumns) noexcept {
    const std::int32_t len = Length(s);
    TColumn c = 1;
    for (std::int32_t pos = 1; pos <= len;) {
        const std::int32_t bytes = CharBytesAt(s, pos);
        const TColumn next = NextLimitedColumn(s, pos, c, bytes, tabStops, wrapColumns);
        if ((c + next) / 2.0 >= x) return pos;
        c = next;
        pos += bytes;
    }
    return len + 1;
}

std::int32_t BoxPosOfColumn(std::string_view s, std::int32_t col, std::int32_t tabStops) noexcept {
    const std::int32_t len = Length(s);
    std::int32_t pos = 1;
    TColumn c = 1;
    while (pos <= len && c < col) {
        const std::int32_t bytes = CharBytesAt(s, pos);
        if (bytes == 2 && c + 1 >= col) return pos + 1;
        c = NextColumn(s, pos, c, bytes, tabStops);
        pos += bytes;
    }
    return pos;
}

std::int32_t AdjustToCharStart(std::string_view s, std::int32_t pos) noexcept {
    const std::int32_t len = Length(s);
    pos = std::clamp(pos, 1, len + 1);
    std::int32_t i = 1;
    while (i < pos) {
        const std::int32_t bytes = CharBytesAt(s, i);
        if (i + bytes > pos) return i;
        i += bytes;
    }
    return pos;
}

}  // namespace rekna
