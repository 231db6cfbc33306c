// The graph as an SVG picture, for files and the clipboard's picture copy.
#include "graph/svg_canvas.h"
#include "graph/xy_graph.h"

namespace rekna {

std::string TXYGraph::CreateSvg() {
    TSvgCanvas canvas(FWidth, FHeight);
    Draw(canvas);
    return canvas.Finish();
}

}  // namespace rekna
