// Column walks over one row: widths, positions of columns and columns of positions.
#include "editor/store/columns.h"

#include <algorithm>
#include <climits>
#include <cstring>

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

// Whether the byte at index i (0-based) starts a character. A byte that is no lead byte always
// ends a character, so only the run of lead bytes right before i is read: i starts a character
// when that run has an even length. The end of the row is a character start.
[[nodiscard]] bool IsCharStart(std::string_view s, std::size_t i) noexcept {
    if (i >= s.size()) return true;
    std::size_t run = 0;
    while (run < i && IsLeadByte(s[i - run - 1]))
        ++run;
    return run % 2 == 0;
}

// The next Tab that is a character of its own (not the second byte of a double-byte character)
// in [from, to), or to. from is a character start. A row known to hold no Tab is not searched.
[[nodiscard]] std::size_t NextTab(std::string_view s, std::size_t from, std::size_t to,
                                  bool tabs) noexcept {
    while (tabs && from < to) {
        const void* hit = std::memchr(s.data() + from, kTab, to - from);
        if (hit == nullptr) return to;
        const auto t = static_cast<std::size_t>(static_cast<const char*>(hit) - s.data());
        if (IsCharStart(s, t)) return t;
        from = t + 1;
    }
    return to;
}

// Between Tabs every byte takes one column (a double-byte character two bytes and two
// columns), so the walks below go from Tab to Tab and count the bytes between them.
// The column at character start i (0-based); tabs limited as in NextLimitedColumn.
[[nodiscard]] TColumn ColumnAt(std::string_view s, std::size_t i, std::int32_t tabStops,
                               std::int32_t wrapColumns, bool tabs) noexcept {
    TColumn col = 1;
    std::size_t from = 0;
    for (std::size_t t = NextTab(s, from, i, tabs); t < i; t = NextTab(s, from, i, tabs)) {
        col += static_cast<TColumn>(t - from);
        col = NextLimitedColumn(s, static_cast<std::int32_t>(t) + 1, col, 1, tabStops, wrapColumns);
        from = t + 1;
    }
    return col + static_cast<TColumn>(i - from);
}

// The first character start at or after index i, 1-based.
[[nodiscard]] std::int32_t StartFrom(std::string_view s, std::size_t i) noexcept {
    if (i >= s.size()) return Length(s) + 1;
    return static_cast<std::int32_t>(IsCharStart(s, i) ? i + 1 : i + 2);
}

}  // namespace

std::int32_t RowWidth(std::string_view s, std::int32_t tabStops) noexcept {
    return MeasureRow(s, tabStops).Width;
}

TRowMeasure MeasureRow(std::string_view s, std::int32_t tabStops) noexcept {
    const bool tabs = !s.empty() && std::memchr(s.data(), kTab, s.size()) != nullptr;
    return {Clamp32(ColumnAt(s, s.size(), tabStops, 0, tabs) - 1), tabs};
}

std::int32_t ColumnOfPos(std::string_view s, std::int32_t pos, std::int32_t tabStops,
                         std::int32_t wrapColumns, bool tabs) noexcept {
    const std::int32_t len = Length(s);
    pos = std::clamp(pos, 1, len + 1);
    const auto i = static_cast<std::size_t>(pos - 1);
    // A position on a second byte lies behind its character.
    if (!IsCharStart(s, i)) return Clamp32(ColumnAt(s, i - 1, tabStops, wrapColumns, tabs) + 2);
    return Clamp32(ColumnAt(s, i, tabStops, wrapColumns, tabs));
}

std::int32_t PosOfColumn(std::string_view s, std::int32_t col, std::int32_t tabStops) noexcept {
    TColumn c = 1;
    std::size_t from = 0;
    for (;;) {
        const std::size_t t = NextTab(s, from, s.size(), true);
        // The characters before the Tab (or the row's end) start at columns c .. c + (t - from).
        if (col <= c + static_cast<TColumn>(t - from))
            return StartFrom(s, from + static_cast<std::size_t>(std::max<TColumn>(col - c, 0)));
        if (t == s.size()) return Length(s) + 1;
        c = NextTabColumn(c + static_cast<TColumn>(t - from), tabStops);
        from = t + 1;
    }
}

std::int32_t CharAtColumn(std::string_view s, std::int32_t col, std::int32_t tabStops,
                          bool tabs) noexcept {
    TColumn c = 1;
    std::size_t from = 0;
    for (;;) {
        const std::size_t t = NextTab(s, from, s.size(), tabs);
        const TColumn tabColumn = c + static_cast<TColumn>(t - from);
        if (col < tabColumn) {
            const auto i = from + static_cast<std::size_t>(std::max<TColumn>(col - c, 0));
            return static_cast<std::int32_t>(IsCharStart(s, i) ? i + 1 : i);
        }
        if (t == s.size()) return Length(s) + 1;
        c = NextTabColumn(tabColumn, tabStops);
        if (col < c) return static_cast<std::int32_t>(t) + 1;
        from = t + 1;
    }
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
    return IsCharStart(s, static_cast<std::size_t>(pos - 1)) ? pos : pos - 1;
}

}  // namespace rekna
