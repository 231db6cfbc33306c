// The table model: separator detection, parsing, column padding, building and transposition.
#include "editor/commands/table_model.h"

#include "platform/cp932.h"

#include <algorithm>

namespace rekna {

namespace {

constexpr std::string_view kCrLf = "\r\n";

bool IsBlankByte(char c) noexcept {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::size_t Len(std::string_view s) noexcept {
    return s.size();
}

// The separator that starts at pos, or empty.
std::string_view SeparatorAt(std::string_view text, std::size_t pos) noexcept {
    if (text[pos] == '\t') return kTabSeparator;
    for (const std::string_view sep : {kFullSpaceSeparator, kBarSeparator})
        if (text.substr(pos, sep.size()) == sep) return sep;
    return {};
}

// Line ends made one form: every CR LF and lone CR becomes LF.
std::string UnifyLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

void Spaces(std::string& out, std::size_t n) {
    out.append(n, ' ');
}

void TrimInPlace(std::string& s) {
    std::size_t e = s.size();
    while (e > 0 && IsBlankByte(s[e - 1]))
        --e;
    s.resize(e);
    std::size_t b = 0;
    while (b < s.size() && IsBlankByte(s[b]))
        ++b;
    s.erase(0, b);
}

// Removes the blanks at the end of out, not before position from.
void TrimTail(std::string& out, std::size_t from) {
    std::size_t e = out.size();
    while (e > from && IsBlankByte(out[e - 1]))
        --e;
    out.resize(e);
}

bool ColumnBlank(const TTableGrid& grid, std::size_t c) {
    return std::all_of(grid.begin(), grid.end(),
                       [c](const auto& row) { return c >= row.size() || IsBlankText(row[c]); });
}

}  // namespace

bool ContainsChar(std::string_view text, std::string_view what) noexcept {
    if (what.empty()) return false;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
        if (text.substr(i, what.size()) == what) return true;
    return false;
}

bool IsBlankText(std::string_view text) noexcept {
    return std::all_of(text.begin(), text.end(), IsBlankByte);
}

std::string TrimBlanks(std::string_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsBlankByte(text[b]))
        ++b;
    while (e > b && IsBlankByte(text[e - 1]))
        --e;
    return std::string(text.substr(b, e - b));
}

std::string TrimRightBlanks(std::string_view text) {
    std::size_t e = text.size();
    while (e > 0 && IsBlankByte(text[e - 1]))
        --e;
    return std::string(text.substr(0, e));
}

std::string_view DetectSeparator(std::string_view text, bool keepTab) noexcept {
    if (text.find('\t') != std::string_view::npos)
        return keepTab ? kTabSeparator : kFullSpaceSeparator;
    if (ContainsChar(text, kBarSeparator)) return kBarSeparator;
    if (ContainsChar(text, kFullSpaceSeparator)) return kFullSpaceSeparator;
    return kTabSeparator;
}

TTableGrid ParseTable(std::string_view source, bool trim) {
    const std::string text = UnifyLineEnds(source);
    TTableGrid grid(1, std::vector<std::string>(1));
    // Characters between separators go into the current cell as one run.
    std::size_t runStart = 0;
    const auto flush = [&](std::size_t end) {
        grid.back().back().append(text, runStart, end - runStart);
    };
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '\n') {
            flush(i);
            if (i + 1 < text.size()) grid.emplace_back(1);
            runStart = ++i;
            continue;
        }
        if (const std::string_view sep = SeparatorAt(text, i); !sep.empty()) {
            flush(i);
            grid.back().emplace_back();
            i += sep.size();
            runStart = i;
            continue;
        }
        i += CharLength(text, i);
    }
    if (runStart < text.size()) flush(text.size());
    std::size_t columns = 0;
    for (const auto& row : grid)
        columns = std::max(columns, row.size());
    for (auto& row : grid) {
        row.resize(columns);
        for (std::string& cell : row) {
            if (ContainsChar(cell, kRuleChar)) cell.clear();
            if (trim) TrimInPlace(cell);
        }
    }
    if (DetectSeparator(source, true) == kBarSeparator) {
        if (columns > 0 && ColumnBlank(grid, columns - 1)) {
            for (auto& row : grid)
                row.pop_back();
            --columns;
        }
        if (columns > 0 && ColumnBlank(grid, 0))
            for (auto& row : grid)
                row.erase(row.begin());
    }
    return grid;
}

void AlignColumns(TTableGrid& grid, TTableAlign mode) {
    if (mode == TTableAlign::taDecimal || grid.empty()) return;
    const std::size_t columns = grid.front().size();
    for (std::size_t c = 0; c < columns; ++c) {
        std::size_t width = 0;
        for (const auto& row : grid)
            width = std::max(width, Len(row[c]));
        width += width % 2;
        for (auto& row : grid) {
            std::string& cell = row[c];
            const std::size_t surplus = width - Len(cell);
            std::size_t front = 0;
            if (mode == TTableAlign::taRight) front = surplus;
            if (mode == TTableAlign::taCenter) front = surplus - surplus / 2;
            cell.reserve(width);
            cell.insert(0, front, ' ');
            cell.append(surplus - front, ' ');
        }
    }
}

void AlignDecimal(TTableGrid& grid) {
    if (grid.empty()) return;
    const std::size_t columns = grid.front().size();
    const auto numberPart = [](std::string_view cell) {
        std::size_t p = 0;
        while (p < cell.size() &&
               (cell[p] == ' ' || cell[p] == '-' || (cell[p] >= '0' && cell[p] <= '9')))
            ++p;
        return p;
    };
    for (std::size_t c = 0; c < columns; ++c) {
        std::size_t L = 0;
        std::size_t P = 0;
        std::size_t F = 0;
        for (const auto& row : grid) {
            const std::size_t p = numberPart(row[c]);
            const std::size_t f = p == 0 ? 0 : Len(row[c]) - p;
            L = std::max(L, Len(row[c]));
            P = std::max(P, p);
            F = std::max(F, f);
        }
        L = std::max(L, P + F);
        L += L % 2;
        for (auto& row : grid) {
            std::string& cell = row[c];
            const std::size_t p = numberPart(cell);
            const std::size_t f = p == 0 ? 0 : Len(cell) - p;
            std::string out;
            if (p != 0 || f != 0) {
                std::size_t left = P - p;
                if (P + F < L) left += (L - P - F) / 2;
                Spaces(out, left);
                out += cell;
                Spaces(out, L - p - f - left);
            } else {
                const std::size_t d = L - Len(cell);
                Spaces(out, d - d / 2);
                out += cell;
                Spaces(out, d / 2);
            }
            cell = std::move(out);
        }
    }
}

namespace {

// The junction characters of a rule line: left, inner, right.
struct TJunctions {
    std::string_view Left, Inner, Right;
};
constexpr TJunctions kTopRule{"\x84\xA1", "\x84\xA6", "\x84\xA2"};     // ┌ ┬ ┐
constexpr TJunctions kMiddleRule{"\x84\xA5", "\x84\xA9", "\x84\xA7"};  // ├ ┼ ┤
constexpr TJunctions kBottomRule{"\x84\xA4", "\x84\xA8", "\x84\xA3"};  // └ ┴ ┘

void AppendRules(std::string& out, std::size_t cellLength) {
    for (std::size_t k = 0; k < cellLength / 2; ++k)
        out += kRuleChar;
}

std::string RuleLine(const std::vector<std::string>& row, const TJunctions& j) {
    std::string out;
    const std::size_t n = row.size();
    if (n == 0) return out;
    const bool firstEmpty = row.front().empty();
    const bool lastEmpty = row.back().empty();
    if (!firstEmpty) {
        out += j.Left;
        AppendRules(out, Len(row[0]));
    }
    for (std::size_t c = 1; c < n; ++c) {
        if (c == 1 && firstEmpty) {
            out += j.Left;
        } else if (c == n - 1 && lastEmpty) {
            out += j.Right;
        } else {
            out += j.Inner;
        }
        AppendRules(out, Len(row[c]));
    }
    if (!lastEmpty) out += j.Right;
    return out;
}

void AppendCells(std::string& out, const std::vector<std::string>& cells, std::string_view sep) {
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c > 0) out += sep;
        out += cells[c];
    }
}

}  // namespace

std::string BuildTable(const TTableGrid& grid, std::string_view separator, bool trimRight) {
    std::string out;
    std::size_t size = 0;
    for (const auto& row : grid)
        for (const std::string& cell : row)
            size += cell.size() + 3;
    out.reserve(size + grid.size() * 2);
    for (std::size_t r = 0; r < grid.size(); ++r) {
        if (r > 0) out += kCrLf;
        const auto& row = grid[r];
        if (separator != kBarSeparator) {
            const std::size_t start = out.size();
            AppendCells(out, row, separator);
            if (trimRight) TrimTail(out, start);
            continue;
        }
        if (std::all_of(row.begin(), row.end(),
                        [](const std::string& c) { return IsBlankText(c); })) {
            const TJunctions& j = r == 0                 ? kTopRule
                                  : r + 1 == grid.size() ? kBottomRule
                                                         : kMiddleRule;
            out += RuleLine(row, j);
            continue;
        }
        if (!row.front().empty()) out += kBarSeparator;
        AppendCells(out, row, kBarSeparator);
        if (!row.back().empty()) out += kBarSeparator;
    }
    return out;
}

TTableGrid Transpose(const TTableGrid& grid) {
    if (grid.empty()) return {};
    const std::size_t columns = grid.front().size();
    TTableGrid out(columns, std::vector<std::string>(grid.size()));
    for (std::size_t r = 0; r < grid.size(); ++r)
        for (std::size_t c = 0; c < columns && c < grid[r].size(); ++c)
            out[c][r] = grid[r][c];
    return out;
}

std::string TransposeText(std::string_view text, bool trimRight) {
    const std::string_view sep = DetectSeparator(text, true);
    const TTableGrid grid = Transpose(ParseTable(text, true));
    std::string out;
    for (std::size_t k = 0; k < grid.size(); ++k) {
        if (k > 0) out += kCrLf;
        const std::size_t start = out.size();
        AppendCells(out, grid[k], sep);
        if (trimRight) TrimTail(out, start);
    }
    if (!text.empty() && (text.back() == '\n' || text.back() == '\r')) out += kCrLf;
    return out;
}

std::string SpacesToOneSpace(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool run = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = CharLength(text, i);
        const bool space = text[i] == ' ';
        if (!space || !run) out.append(text, i, n);
        run = space;
        i += n;
    }
    return out;
}

std::string SpaceRunsToTab(std::string_view text, bool allRuns) {
    std::string out;
    out.reserve(text.size());
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = CharLength(text, i);
        if (text[i] == ' ') {
            ++run;
        } else {
            if (run == 1 && !allRuns)
                out.push_back(' ');
            else if (run > 0)
                out.push_back('\t');
            run = 0;
            out.append(text, i, n);
        }
        i += n;
    }
    return out;
}

}  // namespace rekna
