// Helpers of the settings grid's tests: a grid filled from text rows, and its cells as text.
#pragma once

#include "grid/vt_grid.h"

#include <string>
#include <string_view>
#include <vector>

namespace rekna::test {

// Rows of cells separated by "|"; the grid takes their size, with one header row and column.
inline void Fill(TVtGrid& grid, const std::vector<std::string>& rows) {
    grid.SetRowCount(static_cast<int>(rows.size()));
    int cols = 1;
    for (const std::string& row : rows) {
        int n = 1;
        for (const char c : row)
            n += c == '|';
        cols = std::max(cols, n);
    }
    grid.SetColCount(cols);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        std::string_view row = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < cols; ++c) {
            const std::size_t bar = row.find('|');
            grid.SetCells(c, r, row.substr(0, bar));
            row = bar == std::string_view::npos ? std::string_view() : row.substr(bar + 1);
        }
    }
}

// Every row as its cells joined by "|", rows ended by "\n".
inline std::string Dump(const TVtGrid& grid) {
    std::string out;
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColCount(); ++c) {
            if (c > 0) out += '|';
            out += grid.Cells(c, r);
        }
        out += '\n';
    }
    return out;
}

// The selection and current cell as "L,T-R,B @C,R".
inline std::string DumpSelection(const TVtGrid& grid) {
    const TGridRect s = grid.Selection();
    return std::to_string(s.Left) + "," + std::to_string(s.Top) + "-" + std::to_string(s.Right) +
           "," + std::to_string(s.Bottom) + " @" + std::to_string(grid.Col()) + "," +
           std::to_string(grid.Row());
}

}  // namespace rekna::test
