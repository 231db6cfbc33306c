// The graph window's tables mapped onto the graph control's properties.
#include "graph_window/graph_mapping.h"

#include <algorithm>
#include <cmath>

#include "graph/series_kinds.h"
#include "graph/xy_graph.h"
#include "graph_window/graph_tables.h"
#include "platform/cp932.h"
#include "platform/failure.h"

namespace rekna {

namespace {

using enum TGraphTableId;

constexpr TPenStyle kFormulaPens[] = {TPenStyle::psSolid, TPenStyle::psDot, TPenStyle::psDash,
                                      TPenStyle::psDashDot, TPenStyle::psDashDotDot};
constexpr TPenStyle kAxisPens[] = {TPenStyle::psSolid,      TPenStyle::psDash,
                                   TPenStyle::psDot,        TPenStyle::psDashDot,
                                   TPenStyle::psDashDotDot, TPenStyle::psClear};
constexpr TPenStyle kFramePens[] = {TPenStyle::psClear, TPenStyle::psSolid, TPenStyle::psDot,
                                    TPenStyle::psDash, TPenStyle::psInsideFrame};
constexpr TLegendLocation kLocations[] = {
    TLegendLocation::llTop,   TLegendLocation::llBottom,   TLegendLocation::llLeft,
    TLegendLocation::llRight, TLegendLocation::llVertical, TLegendLocation::llHorizontal};
constexpr TAxisScale kScales[] = {TAxisScale::asNormal, TAxisScale::asLog, TAxisScale::asAbsLog};

int Permille(const TGraphTables& t, TGraphTableId id, int col, int row, double fallback) {
    return static_cast<int>(std::lround(t.Number(id, col, row, fallback) * 10));
}

TGraphAxis& AxisOf(TXYGraph& graph, int index) {
    return index == 0 ? graph.XAxis : index == 1 ? graph.YAxis : graph.ZAxis;
}

// A table that fails to map leaves its part of the graph as it was; what failed is said.
template <typename Apply> void Guarded(const char* part, Apply apply, std::string& failures) {
    try {
        apply();
    } catch (...) {
        if (!failures.empty()) failures += ", ";
        failures += part;
        failures += ": ";
        failures += FailureText();
    }
}

void ApplyRange(const TGraphTables& t, TXYGraph& graph, const TGraphEvaluate& evaluate) {
    using namespace gcol;
    const int title = grow::kTitleRow;
    graph.Title.Visible = t.On(gtRange, kShow, title);
    graph.Title.Text = t.Text(gtRange, kTitle, title);
    graph.Title.Alignment = Permille(t, gtRange, kAlign, title, 50);
    graph.Title.Margin = t.Int(gtRange, kSpace, title, 3);
    // The room around the graph: above by the title's row, below by the X axis', left by the
    // Y axis' and right by the R axis'.
    const auto margin = [&t](int row) {
        return std::clamp(t.Int(gtRange, kMargin, row, 4), 0, 50);
    };
    graph.Margins = {margin(grow::kYAxis), margin(title), margin(grow::kRAxis),
                     margin(grow::kXAxis)};
    const int legend = grow::kLegendRow;
    graph.Legend.Visible = t.On(gtRange, kShow, legend);
    graph.Legend.Text = t.Text(gtRange, kTitle, legend);
    graph.Legend.Location = kLocations[t.Item(gtRange, kScale, legend, 0)];
    graph.Legend.XPosition = Permille(t, gtRange, kMin, legend, 90);
    graph.Legend.YPosition = Permille(t, gtRange, kMax, legend, 90);
    graph.Legend.Alignment = Permille(t, gtRange, kAlign, legend, 50);
    graph.Legend.Margin = t.Int(gtRange, kSpace, legend, 3);
    static constexpr int kSpaces[] = {1, 3, 3};
    for (int a = 0; a < 3; ++a) {
        const int row = grow::kXAxis + a;
        TGraphAxis& axis = AxisOf(graph, a);
        axis.Visible = t.On(gtRange, kShow, row);
        axis.Title.Text = t.Text(gtRange, kTitle, row);
        axis.Title.Visible = !axis.Title.Text.empty();
        axis.Title.Alignment = Permille(t, gtRange, kAlign, row, 50);
        axis.Title.Margin = t.Int(gtRange, kSpace, row, kSpaces[a]);
        const TAxisScale scale = kScales[t.Item(gtRange, kScale, row, 0)];
        axis.SetScale(scale);
        long double lo = evaluate ? evaluate(t.Text(gtRange, kMin, row)) : NAN;
        long double hi = evaluate ? evaluate(t.Text(gtRange, kMax, row)) : NAN;
        if (!std::isfinite(lo)) lo = 0;
        if (!std::isfinite(hi)) hi = 0;
        const TAxisRange range = AxisHomeRange(lo, hi, scale);
        axis.SetRange(range.Max, range.Min, true);
    }
}

void ApplyTicks(const TGraphTables& t, TXYGraph& graph) {
    using namespace gcol;
    for (int a = 0; a < 3; ++a) {
        const int row = a + 1;
        TGraphAxis& axis = AxisOf(graph, a);
        axis.Ticks.Visible = t.On(gtTicks, kTicks, row);
        const double step = t.Number(gtTicks, kStep, row, 0);
        axis.Ticks.Step = std::fabs(step);
        axis.Ticks.Auto = step == 0;
        const std::string& sub = t.Text(gtTicks, kSub, row);
        axis.SubTicks.Count = t.Int(gtTicks, kSub, row, 0);
        axis.SubTicks.Auto = sub == "0";
        axis.SubTicks.Visible = sub != "1";
        axis.Labels.Visible = t.On(gtTicks, kLabels, row);
        axis.Labels.Size = t.Int(gtTicks, kSize, row, 250);
        axis.Labels.Alignment = Permille(t, gtTicks, kLabelAlign, row, a == 0 ? 50 : 55);
        axis.Labels.Margin = t.Int(gtTicks, kLabelSpace, row, 2);
        axis.Labels.Format = static_cast<TAxisFloatFormat>(t.Item(gtTicks, kFormat, row, 4));
        axis.Labels.FormatString = t.Text(gtTicks, kUsr, row);
        axis.Labels.AutoDigits = t.On(gtTicks, kAuto, row);
        axis.Labels.Precision = t.Int(gtTicks, kPrecision, row, 3);
        axis.Labels.Digits = t.Int(gtTicks, kDigits, row, 2);
        axis.Ticks.Inner = t.Int(gtTicks, kInner, row, 6);
        axis.Ticks.Outer = t.Int(gtTicks, kOuter, row, 0);
        axis.SubTicks.Inner = t.Int(gtTicks, kSubInner, row, 3);
        axis.SubTicks.Outer = t.Int(gtTicks, kSubOuter, row, 0);
        const long double lo = axis.Min();
        const long double hi = axis.Max();
        axis.Ticks.AutoDeg = axis.Ticks.Auto && !axis.IsLog() && std::fabs(hi) < 400 &&
                             std::fabs(lo) < 400 && std::fabs(hi + lo) < 400;
    }
}

TGraphFont FontOf(const TGraphTables& t, int row, int size) {
    using namespace gcol;
    TGraphFont font;
    font.Name = GraphFontFamily(t.Text(gtFont, kFontName, row));
    font.Size = t.Int(gtFont, kFontSize, row, size);
    font.Color = t.Color(gtFont, kFontColor, row, clBlack);
    return font;
}

TGraphPen FramePen(const TGraphTables& t, int row, TColor color) {
    using namespace gcol;
    const int style = t.Item(gtFont, kFrame, row, row == 1 ? 1 : 0);
    return {t.Color(gtFont, kFrameColor, row, color), t.Int(gtFont, kFrameWidth, row, 1),
            kFramePens[style]};
}

void ApplyFonts(const TGraphTables& t, TXYGraph& graph) {
    using namespace gcol;
    graph.Color = t.Color(gtFont, kFontColor, 1, clWhite);
    graph.Brush.Color = t.Color(gtFont, kBack, 1, clWhite);
    graph.Frame = FramePen(t, 1, clBlack);
    graph.Title.Font = FontOf(t, 2, 12);
    graph.Title.Brush.Color = t.Color(gtFont, kBack, 2, clWhite);
    graph.Title.Frame = FramePen(t, 2, clGray);
    graph.Title.FrameSpace = t.Int(gtFont, kFrameSpace, 2, 3);
    graph.Legend.Font = FontOf(t, 3, 10);
    graph.Legend.Brush = {t.Color(gtFont, kBack, 3, clWhite), TBrushStyle::bsSolid};
    graph.Legend.Frame = FramePen(t, 3, clGray);
    graph.Legend.FrameSpace = t.Int(gtFont, kFrameSpace, 3, 3);
    graph.Legend.Spacing = t.Int(gtFont, kSpacing, 3, 4);
    graph.Legend.Length = t.Int(gtFont, kLength, 3, 100);
    for (int a = 0; a < 3; ++a) {
        AxisOf(graph, a).Title.Font = FontOf(t, 4 + a, 11);
        AxisOf(graph, a).Labels.Font = FontOf(t, 7 + a, 9);
    }
}

void ApplyLines(const TGraphTables& t, TXYGraph& graph) {
    for (int a = 0; a < 3; ++a) {
        const int row = a + 1;
        TGraphAxis& axis = AxisOf(graph, a);
        TGraphPen* pens[] = {&axis.Axis, &axis.Grid, &axis.Ticks.Pen, &axis.SubTicks.Pen};
        for (int g = 0; g < 4; ++g) {
            const int col = 1 + 3 * g;
            const int style = t.Item(gtLine, col, row, 0);
            *pens[g] = {t.Color(gtLine, col + 2, row, clBlack), t.Int(gtLine, col + 1, row, 1),
                        kAxisPens[style]};
        }
    }
}

}  // namespace

TAxisRange AxisHomeRange(long double a, long double b, TAxisScale scale) noexcept {
    if (a > b) std::swap(a, b);
    if (scale == TAxisScale::asNormal || a > 0) return {a, b};
    if (b > 0) return {b / 100, b};
    if (b == 0) return {-a / 100, -a};
    return {-b, -a};
}

std::string GraphFontFamily(std::string_view name) {
    if (name == SysText("ＭＳ ゴシック")) return "IPAGothic";
    if (name == SysText("ＭＳ Ｐゴシック")) return "IPAPGothic";
    if (name == SysText("ＭＳ 明朝")) return "IPAMincho";
    if (name == SysText("ＭＳ Ｐ明朝")) return "IPAPMincho";
    return name.empty() ? std::string("IPAGothic") : std::string(name);
}

void ApplySeriesTables(const TGraphTables& t, TXYGraph& graph) {
    using namespace gcol;
    for (int k = 0; k < kGraphFormulas && k < graph.SeriesCount(); ++k) {
        auto* series = dynamic_cast<TXYLineSeries*>(graph.Series(k));
        if (!series) continue;
        const int row = grow::kX + 1 + k;
        const std::string& formula = t.Text(gtCalc, kFormula, row);
        const std::string& legend = t.Text(gtCalc, kLegend, row);
        series->Visible = t.On(gtCalc, kVisible, row);
        series->Title = legend.empty() ? formula : legend;
        series->ShowInLegend = !formula.empty() && legend != " ";
        series->ZAxis = t.Item(gtCalc, kAxis, row, 0) == 1;
        const TColor color = t.Color(gtCalc, kColor, row, clBlack);
        series->SetSeriesColor(color);
        series->LinePen = {color, std::clamp(t.Int(gtCalc, kWidth, row, 1), 1, 10),
                           kFormulaPens[t.Item(gtCalc, kStyle, row, 0)]};
    }
    for (int j = 0; j < kGraphDataColumns && kGraphFormulas + j < graph.SeriesCount(); ++j) {
        auto* series = dynamic_cast<TXYMarkerSeries*>(graph.Series(kGraphFormulas + j));
        if (!series) continue;
        const int col = 2 + j;
        series->SetSeriesColor(t.Color(gtData, col, 1, clBlack));
        series->Marker.Size = t.Int(gtData, col, 2, 3);
        series->ZAxis = t.Item(gtData, col, 3, 0) == 1;
    }
}

std::string ApplyGraphTables(const TGraphTables& tables, TXYGraph& graph,
                             const TGraphEvaluate& evaluate) {
    std::string failures;
    Guarded(
        "系列", [&] { ApplySeriesTables(tables, graph); }, failures);
    Guarded(
        "範囲", [&] { ApplyRange(tables, graph, evaluate); }, failures);
    Guarded(
        "目盛", [&] { ApplyTicks(tables, graph); }, failures);
    Guarded(
        "フォント", [&] { ApplyFonts(tables, graph); }, failures);
    Guarded(
        "軸線", [&] { ApplyLines(tables, graph); }, failures);
    graph.ResetPixelCaches();
    return failures;
}

}  // namespace rekna
