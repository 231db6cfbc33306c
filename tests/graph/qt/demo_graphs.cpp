// The demo's sample graphs.
#include "demo_graphs.h"

#include <cmath>
#include <complex>
#include <numbers>
#include <string>

#include "graph/series_kinds.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

void Common(TXYGraph& g, const char* title, const char* x, const char* y) {
    g.Title.Text = SysText(title);
    g.Title.Font.Size = 12;
    g.XAxis.Title.Text = SysText(x);
    g.YAxis.Title.Text = SysText(y);
    g.YAxis.Title.SetAngle(90);
    g.ZAxis.Visible = false;
    g.Legend.Location = TLegendLocation::llBottom;
    for (TGraphAxis* a : {&g.XAxis, &g.YAxis, &g.ZAxis}) {
        a->Labels.Font.Size = 9;
        a->Title.Font.Size = 10;
    }
}

void Lines(TXYGraph& g) {
    Common(g, "減衰振動と tan(x)", "Time (s)", "Amplitude (V)");
    g.XAxis.SetRange(10, 0, true);
    g.YAxis.SetRange(3, -3, true);
    auto* damped = g.AddSeries<TXYLineSeries>();
    damped->Title = SysText("減衰正弦波");
    damped->LinePen = {clRed, 2, TPenStyle::psSolid};
    auto* cosine = g.AddSeries<TXYLineSeries>();
    cosine->Title = "cos(x)/2";
    cosine->LinePen = {clBlue, 1, TPenStyle::psDash};
    auto* tangent = g.AddSeries<TXYLineSeries>();
    tangent->Title = "tan(x)";
    tangent->AutoDivide = true;
    tangent->LinePen = {clGreen, 1, TPenStyle::psSolid};
    for (int i = 0; i <= 2000; ++i) {
        const long double x = i * 10.0L / 2000;
        damped->AddXY(x, 2.5L * std::exp(-x / 4) * std::sin(2 * x));
        cosine->AddXY(x, std::cos(x) / 2);
        tangent->AddXY(x, std::tan(x));
    }
}

void Bode(TXYGraph& g) {
    Common(g, "RC ローパスフィルタ", "Frequency (Hz)", "Gain (dB)");
    g.ZAxis.Visible = true;
    g.ZAxis.Title.Text = "Phase (deg)";
    g.ZAxis.Title.SetAngle(270);
    g.XAxis.SetScale(TAxisScale::asLog);
    g.XAxis.SetRange(100000, 10, true);
    g.YAxis.SetRange(5, -40, true);
    g.ZAxis.SetRange(0, -90, true);
    g.ZAxis.Ticks.Auto = false;
    g.ZAxis.Ticks.Step = 15;
    g.XAxis.Labels.Format = TAxisFloatFormat::ffEng;
    auto* gain = g.AddSeries<TXYLineSeries>();
    gain->Title = "Gain";
    gain->LinePen = {clNavy, 2, TPenStyle::psSolid};
    auto* phase = g.AddSeries<TXYLineSeries>();
    phase->Title = "Phase";
    phase->ZAxis = true;
    phase->LinePen = {clMaroon, 1, TPenStyle::psDashDot};
    const long double fc = 1000;
    for (int i = 0; i <= 400; ++i) {
        const long double f = std::pow(10.0L, 1 + i * 4.0L / 400);
        const std::complex<long double> h = 1.0L / std::complex<long double>(1, f / fc);
        gain->AddXY(f, 20 * std::log10(std::abs(h)));
        phase->AddXY(f, std::arg(h) * 180 / kPi);
    }
    auto* measured = g.AddSeries<TXYErrorBarSeries>();
    measured->Title = SysText("測定値");
    measured->Joined = false;
    measured->Pen = {clBlack, 1, TPenStyle::psSolid};
    auto* points = g.AddSeries<TXYMarkerSeries>();
    points->Title = "";
    points->ShowInLegend = false;
    points->Marker.Shape = TMarkerShape::msCircle;
    points->Marker.Size = 7;
    points->SetSeriesColor(clBlack);
    points->Marker.Brush.Color = clWhite;
    const long double freqs[] = {30, 100, 300, 1000, 3000, 10000, 30000};
    const long double errors[] = {0.6L, 0.8L, 1.2L, 1.5L, 1.8L, 2.5L, 3.0L};
    for (int i = 0; i < 7; ++i) {
        const long double f = freqs[i];
        const long double db = 20 * std::log10(1 / std::sqrt(1 + (f / fc) * (f / fc)));
        const long double y = db + ((i % 2) != 0 ? 0.7L : -0.5L);
        measured->AddError(f, y, errors[i], errors[i]);
        points->AddXY(f, y);
    }
}

void Shapes(TXYGraph& g) {
    Common(g, "マーカー・矢印・泡", "X", "Y");
    g.XAxis.SetRange(10, 0, true);
    g.YAxis.SetRange(12, 0, true);
    g.Legend.Location = TLegendLocation::llRight;
    const char* names[] = {"Plus", "Times",  "Square",   "Circle", "Point",
                           "Star", "Tri up", "Tri down", "Diamond"};
    for (int k = 0; k < 9; ++k) {
        auto* s = g.AddSeries<TXYMarkerSeries>();
        s->Title = names[k];
        s->Marker.Shape = static_cast<TMarkerShape>(k);
        s->Marker.Size = 9;
        s->Marker.Pen.Color = s->SeriesColor() == clWhite ? clBlack : s->SeriesColor();
        s->Joined = k == 8;
        for (int i = 0; i < 5; ++i)
            s->AddXY(1 + k, 7 + i * 1.1L + 0.3L * std::sin(k + i));
    }
    auto* arrows = g.AddSeries<TXYArrowSeries>();
    arrows->Title = SysText("流れ");
    arrows->LinePen = {clNavy, 1, TPenStyle::psSolid};
    arrows->SetArrowSize(6);
    for (int i = 0; i < 9; ++i) {
        const long double x = 0.7L + i;
        const long double a = i * kPi / 8;
        arrows->AddArrow(x, 4.5L, x + 0.7L * std::cos(a), 4.5L + 0.7L * std::sin(a));
    }
    auto* bubbles = g.AddSeries<TXYBubbleSeries>();
    bubbles->Title = SysText("泡");
    bubbles->SetBrush({clSkyBlue, TBrushStyle::bsSolid});
    bubbles->Pen = {clNavy, 1, TPenStyle::psSolid};
    bubbles->SetMaxSizeRate(40);
    const long double sizes[] = {1, 3, 2, 5, 4, 2.5L, 1.5L, 3.5L};
    for (int i = 0; i < 8; ++i)
        bubbles->AddBubble(1 + i * 1.1L, 1.8L + 0.4L * std::sin(i), sizes[i]);
}

void Polygons(TXYGraph& g) {
    Common(g, "多角形と不等式の領域", "x", "y");
    g.XAxis.SetRange(3, -3, true);
    g.YAxis.SetRange(5, -2, true);
    auto* region = g.AddSeries<TXYInequalSeries>();
    region->Title = "y > x^2 - 1, y < 3 - x";
    region->SetBrush({clMoneyGreen, TBrushStyle::bsSolid});
    region->LinePen = {clGreen, 1, TPenStyle::psSolid};
    std::vector<std::pair<long double, long double>> parabola;
    for (int i = 0; i <= 60; ++i) {
        const long double x = -3 + i * 0.1L;
        parabola.emplace_back(x, x * x - 1);
    }
    parabola.emplace_back(3, 9);
    parabola.emplace_back(-3, 9);
    region->AddPolygon(parabola);
    region->AddPolygon({{-3, 6}, {3, 0}, {3, -3}, {-3, -3}});
    region->GroupList.Add(1);
    region->GroupList.Add(1);
    auto* shapes = g.AddSeries<TXYPolyPolygonSeries>();
    shapes->Title = SysText("多角形");
    shapes->SetBrush({clCream, TBrushStyle::bsSolid});
    shapes->LinePen = {clMaroon, 1, TPenStyle::psSolid};
    std::vector<std::pair<long double, long double>> star;
    for (int i = 0; i < 10; ++i) {
        const long double r = (i % 2) == 0 ? 0.9L : 0.4L;
        const long double a = kPi / 2 + i * kPi / 5;
        star.emplace_back(-1.8L + r * std::cos(a), 3.4L + r * std::sin(a));
    }
    shapes->AddPolygon(star);
    shapes->AddPolygon({{1.4L, 3.0L}, {2.6L, 3.0L}, {2.6L, 4.2L}, {1.4L, 4.2L}});
    auto* rings = g.AddSeries<TXYPolyPolyLineSeries>();
    rings->Title = SysText("等高線");
    rings->LinePen = {clPurple, 1, TPenStyle::psSolid};
    for (int r = 1; r <= 3; ++r) {
        std::vector<std::pair<long double, long double>> ring;
        for (int i = 0; i <= 48; ++i) {
            const long double a = i * 2 * kPi / 48;
            ring.emplace_back(1.8L + 0.3L * r * std::cos(a), -0.9L + 0.2L * r * std::sin(a));
        }
        rings->AddPolygon(ring);
    }
}

}  // namespace

void FillDemoGraph(TXYGraph& graph, int which) {
    switch (which) {
    case 0: Lines(graph); break;
    case 1: Bode(graph); break;
    case 2: Shapes(graph); break;
    default: Polygons(graph); break;
    }
}

std::string DemoSvg(int cellWidth, int cellHeight) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "
                      "xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      std::to_string(2 * cellWidth) + "\" height=\"" +
                      std::to_string(2 * cellHeight) + "\">\n";
    for (int k = 0; k < 4; ++k) {
        TXYGraph graph;
        graph.SetSize(cellWidth, cellHeight);
        FillDemoGraph(graph, k);
        std::string svg = graph.CreateSvg();
        svg.erase(0, svg.find("<svg"));
        // Each graph keeps its own ids apart from the others'.
        const std::string prefix = "d" + std::to_string(k);
        for (const char* key : {"id=\"", "url(#"}) {
            for (std::size_t at = svg.find(key); at != std::string::npos;
                 at = svg.find(key, at + 1))
                svg.insert(at + std::char_traits<char>::length(key), prefix);
        }
        svg.insert(4, " x=\"" + std::to_string((k % 2) * cellWidth) + "\" y=\"" +
                          std::to_string((k / 2) * cellHeight) + "\"");
        out += svg;
    }
    out += "</svg>\n";
    return out;
}

}  // namespace rekna
