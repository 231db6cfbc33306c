// The graph: layout, drawing order, colours, zoom, scroll, markers and the marker text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

#include "graph/record_canvas.h"
#include "graph/series_kinds.h"
#include "graph/xy_graph.h"

namespace rekna {
namespace {

TEST(XYGraphTest, Layouts) {
    const struct {
        const char* Name;
        bool Decorated;
        const char* Dump;
    } rows[] = {
        {"bare", false,
         "outer 3,3,297,197\nframe 3,3,297,197\nplot 36,9,264,176\nxbox 36,176,264,197\n"
         "ybox 3,9,36,176\nzbox 264,9,297,176\ntitle 0x0\nlegend 0x0\n"},
        {"title, legend and X title", true,
         "outer 3,3,297,197\nframe 3,36,297,197\nplot 36,36,264,167\nxbox 36,167,264,197\n"
         "ybox 3,36,36,167\nzbox 264,36,297,167\ntitle 30x15\nlegend 28x12\n"},
    };
    for (const auto& row : rows) {
        TXYGraph graph;
        if (row.Decorated) {
            graph.Title.Text = "Graph";
            graph.XAxis.Title.Text = "Time (s)";
            graph.AddSeries<TXYLineSeries>()->Title = "s1";
        }
        TRecordCanvas canvas;
        graph.Layout(canvas);
        EXPECT_EQ(graph.LayoutDump(), row.Dump) << row.Name;
    }
}

TEST(XYGraphTest, TheMarginsAreLeftFreeAroundEverything) {
    TXYGraph graph;
    graph.Margins = {10, 20, 0, 5};
    TRecordCanvas canvas;
    graph.Layout(canvas);
    EXPECT_EQ(graph.OuterRect(), (TGraphRect{10, 20, 300, 195}));
    EXPECT_EQ(graph.FrameRect(), graph.OuterRect());
    const TGraphRect& plot = graph.PlotRect();
    EXPECT_TRUE(plot.Left > 10 && plot.Top >= 20 && plot.Right <= 300 && plot.Bottom < 195);
}

TEST(XYGraphTest, PerMillePlacementOfTheLegend) {
    const struct {
        TLegendLocation Location;
        int XPosition;
        int YPosition;
        const char* Text;
    } rows[] = {
        {TLegendLocation::llTop, 500, 800, "text 152,3 0 s1\n"},
        {TLegendLocation::llHorizontal, 0, 1000, "text 19,3 0 s1\n"},
        {TLegendLocation::llHorizontal, 1000, 0, "text 285,185 0 s1\n"},
        {TLegendLocation::llRight, 500, 800, "text 285,94 0 s1\n"},
    };
    for (const auto& row : rows) {
        TXYGraph graph;
        graph.XAxis.Labels.Visible = graph.YAxis.Labels.Visible = graph.ZAxis.Labels.Visible =
            false;
        graph.Legend.Location = row.Location;
        graph.Legend.XPosition = row.XPosition;
        graph.Legend.YPosition = row.YPosition;
        graph.AddSeries<TXYLineSeries>()->Title = "s1";
        TRecordCanvas canvas;
        graph.Draw(canvas);
        EXPECT_EQ(canvas.Lines("text"), row.Text) << static_cast<int>(row.Location);
    }
}

// A legend wider than the canvas wraps into rows, each entry whole inside the canvas; a marker
// series shows its marker.
TEST(XYGraphTest, AWideLegendWrapsIntoRows) {
    for (const TLegendLocation location : {TLegendLocation::llTop, TLegendLocation::llBottom}) {
        TXYGraph graph;
        graph.Legend.Visible = true;
        graph.Legend.Location = location;
        for (int k = 0; k < 10; ++k)
            graph.AddSeries<TXYLineSeries>()->Title = "Sin(" + std::to_string(k) + "*X)";
        auto* data = graph.AddSeries<TXYMarkerSeries>();
        data->Title = "Y1";
        data->Marker.Shape = TMarkerShape::msCircle;
        TRecordCanvas canvas;
        graph.Draw(canvas);
        std::istringstream in(canvas.Lines("text"));
        std::set<int> rows;
        int entries = 0;
        for (std::string line; std::getline(in, line);) {
            int x = 0;
            int y = 0;
            char comma = 0;
            std::istringstream(line.substr(5)) >> x >> comma >> y;
            const std::string text = line.substr(line.rfind(' ') + 1);
            if (text.rfind("Sin(", 0) != 0 && text != "Y1") continue;
            ++entries;
            rows.insert(y);
            EXPECT_GE(x, 3) << text;
            EXPECT_LE(x + 6 * static_cast<int>(text.size()), 297) << text;
        }
        EXPECT_EQ(entries, 11);
        EXPECT_GE(rows.size(), 3u);
        EXPECT_NE(canvas.Out.str().find("ellipse"), std::string::npos);
    }
}

// A picture keeps the curves' fractions of a pixel; the pixel canvas draws them on whole pixels.
TEST(XYGraphTest, PicturesKeepFractionsOfAPixel) {
    TXYGraph graph;
    graph.SetSize(300, 200);
    graph.XAxis.SetRange(2, -2, true);
    graph.YAxis.SetRange(2, -1, true);
    auto* s = graph.AddSeries<TXYLineSeries>();
    for (int i = 0; i <= 3; ++i)
        s->AddXY(i - 1.5L, (i * i) / 7.0L);
    const std::string svg = graph.CreateSvg();
    std::string path;
    for (std::size_t at = svg.find("<path d=\"M"); at != std::string::npos && path.empty();
         at = svg.find("<path d=\"M", at + 1)) {
        const std::string d = svg.substr(at, svg.find('"', at + 10) - at);
        if (std::count(d.begin(), d.end(), 'L') == 3) path = d;
    }
    ASSERT_FALSE(path.empty()) << svg;
    // Each point has two coordinates; no point is rounded to a pixel's centre.
    EXPECT_GE(std::count(path.begin(), path.end(), '.'), 4) << path;
    EXPECT_EQ(path.find(".5 "), std::string::npos) << path;
    TRecordCanvas canvas;
    graph.Draw(canvas);
    EXPECT_EQ(canvas.Lines("polypolyline").find('.'), std::string::npos);
}

// The kinds of calls in order, repeats folded.
std::string CallOrder(const TRecordCanvas& canvas) {
    std::istringstream in(canvas.Out.str());
    std::string line;
    std::string last;
    std::string out;
    while (std::getline(in, line)) {
        const std::string word = line.substr(0, line.find(' '));
        if (word == "pen" || word == "brush" || word == last) continue;
        out += word + ' ';
        last = word;
    }
    return out;
}

TEST(XYGraphTest, DrawingOrder) {
    for (const bool axesFront : {true, false}) {
        TXYGraph graph;
        graph.ZAxis.Visible = false;
        graph.XAxis.SetRange(10, -10, true);
        graph.YAxis.SetRange(10, 0, true);
        graph.Title.Text = "T";
        graph.Options.AxesFront = axesFront;
        auto* s = graph.AddSeries<TXYLineSeries>();
        s->Title = "a";
        s->AddXY(-5, 1);
        s->AddXY(5, 9);
        TRecordCanvas canvas;
        graph.Draw(canvas);
        const char* expected =
            axesFront
                ? "clip fill polypolyline clip polypolyline clip polypolyline text polypolyline "
                  "text rect polyline text "
                : "clip fill polypolyline text polypolyline text rect clip "
                  "polypolyline clip polyline text ";
        EXPECT_EQ(CallOrder(canvas), expected) << axesFront;
    }
}

TEST(XYGraphTest, LogGridOnlyAtPowersOfTen) {
    TXYGraph graph;
    graph.XAxis.Visible = graph.ZAxis.Visible = false;
    graph.YAxis.SetScale(TAxisScale::asLog);
    graph.YAxis.SetRange(1000, 1, true);
    graph.YAxis.Axis.Style = TPenStyle::psClear;
    graph.Frame.Style = TPenStyle::psClear;
    graph.YAxis.Ticks.Visible = graph.YAxis.SubTicks.Visible = graph.YAxis.Labels.Visible = false;
    TRecordCanvas canvas;
    graph.Draw(canvas);
    EXPECT_EQ(graph.YAxis.MainTickValues().Count(), 10);
    EXPECT_EQ(canvas.Lines("polypolyline"),
              "polypolyline 3,197 297,197 | 3,132 297,132 | 3,68 297,68 | 3,3 297,3\n");
}

TEST(XYGraphTest, SeriesColours) {
    TXYGraph graph;
    const TColor order[] = {clRed,    clGreen,  clBlue,  clFuchsia, clTeal,   clNavy,
                            clMaroon, clLime,   clOlive, clPurple,  clSilver, clAqua,
                            clBlack,  clYellow, clWhite, clGray,    clRed,    clGreen};
    for (TColor c : order)
        EXPECT_EQ(graph.AddSeries<TXYLineSeries>()->SeriesColor(), c);
    graph.Series(2)->SetSeriesColor(clGreen);
    EXPECT_EQ(graph.NextSeriesColor(), clBlue);
    auto* marker = graph.AddSeries<TXYMarkerSeries>();
    EXPECT_EQ(marker->Marker.Brush.Color, clBlue);
    EXPECT_EQ(marker->LinePen.Color, clBlue);
}

// A laid-out graph of 300 x 200 with X and Y from 0 to 100 and one series.
struct TZoomGraph {
    TXYGraph Graph;
    TRecordCanvas Canvas;
    int Zooms = 0;
    int Undos = 0;
    TZoomGraph() {
        Graph.XAxis.SetRange(100, 0, true);
        Graph.YAxis.SetRange(100, 0, true);
        auto* s = Graph.AddSeries<TXYLineSeries>();
        s->AddXY(10, 10);
        s->AddXY(90, 90);
        Graph.OnZoom = [this] { ++Zooms; };
        Graph.OnUndoZoom = [this] { ++Undos; };
        Graph.Layout(Canvas);
    }
    void Drag(TMouseButton button, int x0, int y0, int x1, int y1) {
        TShiftState down;
        down.Left = button == TMouseButton::mbLeft;
        down.Right = button == TMouseButton::mbRight;
        Graph.MouseDown(button, x0, y0, down);
        Graph.MouseMove(x1, y1, down);
        Graph.MouseUp(button, x1, y1, {});
        Graph.Layout(Canvas);
    }
};

TEST(XYGraphTest, ZoomThresholds) {
    const struct {
        int Dx;
        int Dy;
        const char* Effect;
    } rows[] = {{8, 8, "none"},    {10, 10, "none"},  {11, 11, "in"},  {-11, -11, "out"},
                {11, -11, "undo"}, {-11, 11, "undo"}, {50, 3, "none"}, {-3, 40, "none"}};
    for (const auto& row : rows) {
        TZoomGraph z;
        if (std::string(row.Effect) == "undo") z.Drag(TMouseButton::mbLeft, 60, 60, 120, 120);
        const long double span = z.Graph.XAxis.Max() - z.Graph.XAxis.Min();
        z.Drag(TMouseButton::mbLeft, 100, 80, 100 + row.Dx, 80 + row.Dy);
        const long double now = z.Graph.XAxis.Max() - z.Graph.XAxis.Min();
        const std::string effect = row.Effect;
        if (effect == "none") {
            EXPECT_EQ(now, span) << row.Dx << ',' << row.Dy;
            EXPECT_EQ(z.Zooms, 0);
        } else if (effect == "in") {
            EXPECT_LT(now, span);
            EXPECT_EQ(z.Zooms, 1);
            EXPECT_EQ(z.Graph.XAxis.HomeMax(), 100) << "zoomed ranges are not home ranges";
        } else if (effect == "out") {
            EXPECT_GT(now, span);
        } else {
            EXPECT_EQ(z.Graph.XAxis.Min(), 0);
            EXPECT_EQ(z.Graph.XAxis.Max(), 100);
            EXPECT_EQ(z.Undos, 1);
        }
    }
}

TEST(XYGraphTest, ZoomInMapsTheDraggedSpanAndOutUndoesIt) {
    TZoomGraph z;
    const TGraphRect plot = z.Graph.PlotRect();
    const long double a = z.Graph.XAxis.PixelToValue(plot.Left + 50);
    const long double b = z.Graph.XAxis.PixelToValue(plot.Left + 150);
    z.Drag(TMouseButton::mbLeft, plot.Left + 50, plot.Top + 20, plot.Left + 150, plot.Top + 80);
    EXPECT_NEAR(static_cast<double>(z.Graph.XAxis.Min()), static_cast<double>(a), 1e-9);
    EXPECT_NEAR(static_cast<double>(z.Graph.XAxis.Max()), static_cast<double>(b), 1e-9);
    z.Drag(TMouseButton::mbLeft, plot.Left + 150, plot.Top + 80, plot.Left + 50, plot.Top + 20);
    EXPECT_NEAR(static_cast<double>(z.Graph.XAxis.Min()), 0, 1e-9);
    EXPECT_NEAR(static_cast<double>(z.Graph.XAxis.Max()), 100, 1e-9);
}

TEST(XYGraphTest, ScrollingFollowsTheMouse) {
    const struct {
        int X;
        int Y;
        bool MovesX;
        bool MovesY;
    } rows[] = {{150, 80, true, true},
                {150, 190, true, false},
                {10, 80, false, true},
                {10, 190, true, true}};
    for (const auto& row : rows) {
        TZoomGraph z;
        int scrolls = 0;
        z.Graph.OnScroll = [&] { ++scrolls; };
        z.Drag(TMouseButton::mbRight, row.X, row.Y, row.X + 20, row.Y + 20);
        EXPECT_EQ(scrolls, 1);
        EXPECT_EQ(z.Graph.XAxis.Min() < 0, row.MovesX) << row.X << ',' << row.Y;
        EXPECT_EQ(z.Graph.YAxis.Min() > 0, row.MovesY) << row.X << ',' << row.Y;
        EXPECT_NEAR(static_cast<double>(z.Graph.XAxis.Max() - z.Graph.XAxis.Min()), 100, 1e-9);
    }
}

TEST(XYGraphTest, MarkersAndTheirText) {
    TZoomGraph z;
    TXYGraph& g = z.Graph;
    g.XAxis.Title.Text = " Time  (s)";
    g.YAxis.Title.Text = "Voltage (V)";
    g.MarkerStyle.Format = TAxisFloatFormat::ffGen;
    auto* second = g.AddSeries<TXYLineSeries>();
    second->Title = "I";
    second->AddXY(1.5L, 50);
    second->AddXY(80, 2);
    g.Layout(z.Canvas);
    int calls = 0;
    g.OnSetMarker = [&](long double, long double) { ++calls; };

    const int x = static_cast<int>(std::lround(g.XAxis.ValueToPixel(1.5L)));
    const int y = static_cast<int>(std::lround(g.YAxis.ValueToPixel(50)));
    g.SetMarkerAt(x, y, false);
    EXPECT_EQ(g.MarkerSeries(), 1);
    EXPECT_EQ(g.MarkerText(), "Time =1.5s , I =50V");

    // Far from every point: the nearest in x alone.
    g.SetMarkerAt(static_cast<int>(std::lround(g.XAxis.ValueToPixel(85))), g.PlotRect().Top, true);
    EXPECT_EQ(g.MarkerText(), "Time =80s , I =2V");

    g.Series(0)->Title.clear();
    g.SetMarkerAt(static_cast<int>(std::lround(g.XAxis.ValueToPixel(10))),
                  static_cast<int>(std::lround(g.YAxis.ValueToPixel(10))), false);
    EXPECT_EQ(g.MarkerText(), "Time =10s , Voltage =10V");

    g.Series(0)->SeriesMarker.Y = NAN;
    EXPECT_EQ(g.MarkerText(), "Time =10s , Voltage =Err V");

    g.SetMarkerAt(g.PlotRect().Left - 5, y, false);
    EXPECT_EQ(g.MarkerText(), "");
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(g.MarkerSeries(), -1);
}

TEST(XYGraphTest, MouseMovesPlaceMarkersAndShiftKeepsTheSeries) {
    TZoomGraph z;
    TXYGraph& g = z.Graph;
    auto* other = g.AddSeries<TXYLineSeries>();
    other->AddXY(10, 90);
    other->AddXY(90, 10);
    g.Layout(z.Canvas);
    const auto px = [&](long double v) {
        return static_cast<int>(std::lround(g.XAxis.ValueToPixel(v)));
    };
    const auto py = [&](long double v) {
        return static_cast<int>(std::lround(g.YAxis.ValueToPixel(v)));
    };
    const unsigned stamp = g.LayoutStamp();
    g.MouseMove(px(90), py(10), {});
    EXPECT_EQ(g.MarkerSeries(), 1);
    g.Layout(z.Canvas);
    EXPECT_EQ(g.LayoutStamp(), stamp) << "a marker move keeps the pixel caches";
    TShiftState shift;
    shift.Shift = true;
    g.MouseMove(px(90), py(90), shift);
    EXPECT_EQ(g.MarkerSeries(), 1);
    EXPECT_EQ(g.Series(1)->SeriesMarker.Index, 1);
    g.MouseMove(px(90), py(90), {});
    EXPECT_EQ(g.MarkerSeries(), 0);
    g.Enabled = false;
    g.MouseMove(px(10), py(90), {});
    EXPECT_EQ(g.MarkerSeries(), 0);
}

TEST(XYGraphTest, DottedTitleFrameAndMarkerBoxes) {
    TZoomGraph z;
    TXYGraph& g = z.Graph;
    g.Title.Text = "Graph";
    g.Title.Frame = {clBlack, 1, TPenStyle::psInsideFrame};
    TRecordCanvas canvas;
    g.Draw(canvas);
    // The 38 x 19 box has 110 outline pixels; every second one is set.
    const std::string pixels = canvas.Lines("pixel");
    std::istringstream in(pixels);
    std::string word;
    int x = 0;
    int y = 0;
    char comma = 0;
    int count = 0;
    while (in >> word >> x >> comma >> y) {
        EXPECT_EQ((x + y) % 2, 0);
        ++count;
    }
    EXPECT_EQ(count, 55);

    const int px = static_cast<int>(std::lround(g.XAxis.ValueToPixel(10)));
    const int py = static_cast<int>(std::lround(g.YAxis.ValueToPixel(10)));
    g.SetMarkerAt(px, py, false);
    TRecordCanvas markers;
    g.DrawMarkers(markers);
    EXPECT_EQ(markers.Out.str(), "pen 0 1 0\nbrush ffffff 0\nrect " + std::to_string(px - 2) + ',' +
                                     std::to_string(py - 2) + ',' + std::to_string(px + 3) + ',' +
                                     std::to_string(py + 3) + "\n");
}

}  // namespace
}  // namespace rekna
