// The graph as an SVG picture, for files and the clipboard's picture copy; fractional lines on
// whole pixels.
#include <cmath>
#include <vector>

#include "graph/svg_canvas.h"
#include "graph/xy_graph.h"

namespace rekna {

void TGraphCanvas::PolyPolylineF(const TGraphPointF* points, const int* counts, int lines) {
    int total = 0;
    for (int k = 0; k < lines; ++k)
        total += counts[k];
    std::vector<TGraphPoint> whole(static_cast<std::size_t>(std::max(total, 0)));
    for (std::size_t i = 0; i < whole.size(); ++i)
        whole[i] = {static_cast<std::int32_t>(std::lround(points[i].X)),
                    static_cast<std::int32_t>(std::lround(points[i].Y))};
    PolyPolyline(whole.data(), counts, lines);
}

std::string TXYGraph::CreateSvg() {
    TSvgCanvas canvas(FWidth, FHeight);
    Draw(canvas);
    return canvas.Finish();
}

}  // namespace rekna
