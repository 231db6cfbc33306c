// The graph window's tables mapped onto the graph control's properties.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "graph/graph_lists.h"

namespace rekna {

class TGraphTables;
class TXYGraph;

// Evaluates a range cell's expression; NaN when it gives no number.
using TGraphEvaluate = std::function<long double(std::string_view text)>;

// The home range of an axis from the 最小 and 最大 values and the scale: the pair ordered, and
// for the log scales moved onto the positive side.
struct TAxisRange {
    long double Min = 0;
    long double Max = 0;
};
[[nodiscard]] TAxisRange AxisHomeRange(long double a, long double b, TAxisScale scale) noexcept;

// The font family drawn for a font name of the tables (CP932): the Windows names are kept in the
// tables and drawn with the IPA fonts.
[[nodiscard]] std::string GraphFontFamily(std::string_view name);

// Applies the tables in their order (formula and data series, ranges, ticks, fonts, axis lines),
// each under its own guard. The graph must hold the window's fifteen series. Returns what failed
// (UTF-8, "目盛: メモリが足りません"), empty when every part was applied.
std::string ApplyGraphTables(const TGraphTables& tables, TXYGraph& graph,
                             const TGraphEvaluate& evaluate);
void ApplySeriesTables(const TGraphTables& tables, TXYGraph& graph);

}  // namespace rekna
