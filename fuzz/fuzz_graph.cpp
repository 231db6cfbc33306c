// Fuzz target: an arbitrary data stream read into each series kind, then the series scaled,
// drawn as SVG and searched for markers; a stream that reads must write back the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "graph/series_kinds.h"
#include "graph/xy_graph.h"

namespace {

using namespace rekna;

std::unique_ptr<TXYGraphSeries> MakeSeries(int kind) {
    switch (kind) {
    case 0: return std::make_unique<TXYLineSeries>();
    case 1: return std::make_unique<TXYMarkerSeries>();
    case 2: return std::make_unique<TXYArrowSeries>();
    case 3: return std::make_unique<TXYBubbleSeries>();
    case 4: return std::make_unique<TXYErrorBarSeries>();
    case 5: return std::make_unique<TXYPolyPolygonSeries>();
    case 6: return std::make_unique<TXYPolyPolyLineSeries>();
    default: return std::make_unique<TXYInequalSeries>();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int kind = data[0] % 8;
    const int options = data[1];
    const std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);
    auto series = MakeSeries(kind);
    std::size_t pos = 0;
    if (!series->LoadFromStream(stream, pos)) return 0;
    if (pos > stream.size()) std::abort();
    std::string back;
    series->SaveToStream(back);
    if (back != stream.substr(0, pos)) {
        std::fprintf(stderr, "fuzz_graph: the stream does not write back as read\n");
        std::abort();
    }
    TXYGraph graph;
    graph.SetSize(320, 240);
    if (auto* line = dynamic_cast<TXYLineSeries*>(series.get())) {
        line->AutoDivide = (options & 1) != 0;
        line->DisContinue = (options & 2) != 0;
    }
    graph.Adopt(std::move(series));
    graph.XAxis.SetScale(static_cast<TAxisScale>((options >> 2) % 3));
    graph.YAxis.SetScale(static_cast<TAxisScale>((options >> 4) % 3));
    for (TGraphAxis* axis : {&graph.XAxis, &graph.YAxis})
        axis->AutoMin = axis->AutoMax = true;
    const std::string svg = graph.CreateSvg();
    if (svg.find("</svg>") == std::string::npos) std::abort();
    graph.SetMarkerAt(160, 120, (options & 64) != 0);
    (void)graph.MarkerText();
    return 0;
}
