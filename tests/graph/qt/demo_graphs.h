// Sample graphs with every series kind, shared by the graph demo, its widget test and benchmark.
#pragma once

#include "graph/xy_graph.h"

namespace rekna {

// Fills graph `which` (0..3) of the demo: lines with a pole, a Bode plot on log and right axes,
// markers, arrows and bubbles, and polygons with an inequality region.
void FillDemoGraph(TXYGraph& graph, int which);

// The four demo graphs side by side in one SVG of 2 x 2 cells of the given size.
std::string DemoSvg(int cellWidth, int cellHeight);

}  // namespace rekna
