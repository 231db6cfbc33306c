// The options dialog's nine settings tables: their rows, columns and cell kinds, filled from the
// dialog's state and read back into it.
#pragma once

#include <cstdint>
#include <string>

#include "options/options_model.h"

namespace rekna {

class TVtGrid;

enum class TOptionTable : std::uint8_t {
    otRange,        // 小数表示桁範囲: Exp/Fix rows, Min/Max columns
    otGrouping,     // 整数部の桁区切り位置: Non, Fix/Exp, N2, N16
    otStdColors,    // the eight pane colours, Memo and Ans columns, ON/OFF on the last three
    otMarks,        // [EOF], 改行, Tab, 全角スペース: 表示, Memo, Ans
    otSyntax,       // the 14 colouring colours
    otCharSets,     // up to four half-width character sets and their colours
    otHotTargets,   // 計算対象: Shift rows, Ctrl columns
    otHotActions,   // 計算動作
    otDefinitions,  // 初期化計算: 名称, 説明, 計算式
};
inline constexpr int kOptionTableCount = 9;

// Sizes the grid and gives its headers and cell kinds.
void SetUpOptionTable(TOptionTable table, TVtGrid& grid);
// Fills the cells from the state; the definitions table also gets its rows and loses its undo
// history.
void LoadOptionTable(TOptionTable table, const TOptionsState& state, TVtGrid& grid);
// Reads the cells back into the state. A cell that does not read as a number or a colour leaves
// its setting as it was.
void StoreOptionTable(TOptionTable table, const TVtGrid& grid, TOptionsState& state);
// The ranges of the number tables: exponent limits of 小数表示桁範囲, group sizes of
// 整数部の桁区切り位置 (0: no grouping).
inline constexpr int kRangeLimit = 99;
inline constexpr int kGroupLimit = 64;
// Brings the numbers of the range and grouping tables into their ranges, and each Max up to its
// Min (the cell the user is on gives way: a Min edited above its Max comes down to it). Returns
// what was changed, as a hint for the user (UTF-8), or nothing when every number was in range.
// Other tables are left as they are.
[[nodiscard]] std::string ClampOptionTable(TOptionTable table, TVtGrid& grid);
// Column 0 of the definitions table numbered 1, 2, ... again.
void NumberDefinitionRows(TVtGrid& grid);

}  // namespace rekna
