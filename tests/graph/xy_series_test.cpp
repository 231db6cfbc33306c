// Series: clipping, polylines with gaps and poles, the kinds' drawing and their data streams.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

#include "graph/record_canvas.h"
#include "graph/series_kinds.h"
#include "graph/xy_graph.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

// A graph whose plot is 0..100 pixels both ways, value = pixel on X and 100 - pixel on Y.
void SetUnitPlot(TXYGraph& g, long double ymin = 0, long double ymax = 100) {
    g.XAxis.SetRange(100, 0, true);
    g.XAxis.SetBox({0, 100, 100, 130});
    g.YAxis.SetRange(ymax, ymin, true);
    g.YAxis.SetBox({-30, 0, 0, 100});
    g.ZAxis.SetRange(ymax, ymin, true);
    g.ZAxis.SetBox({100, 0, 130, 100});
    g.ResetPixelCaches();
}

constexpr TPlotBounds kUnit{0, 100, 0, 100};

std::string LinesOf(TXYLineSeries& s) {
    std::vector<TGraphPoint> points;
    std::vector<int> counts;
    s.SetPlot(kUnit);
    s.BuildLines(0, s.Count(), points, counts);
    std::ostringstream out;
    std::size_t at = 0;
    for (std::size_t k = 0; k < counts.size(); ++k) {
        if (k > 0) out << " |";
        for (int i = 0; i < counts[k]; ++i, ++at)
            out << ' ' << points[at].X << ',' << points[at].Y;
    }
    return out.str();
}

TEST(XYSeriesTest, ClipSegment) {
    const struct {
        TPixel A, B;
        bool DisContinue;
        int Result;
        TPixel A2, B2;
    } rows[] = {
        {{10, 10}, {20, 20}, false, 1, {10, 10}, {20, 20}},
        {{50, 50}, {150, 50}, false, 0, {50, 50}, {100, 50}},
        {{-10, 10}, {-5, 20}, false, -1, {-10, 10}, {-5, 20}},
        {{50, -50}, {50, 50}, false, 1, {50, 0}, {50, 50}},
        {{50, -50}, {50, 50}, true, -1, {50, 0}, {50, 50}},
        {{-50, 50}, {150, 50}, false, 0, {0, 50}, {100, 50}},
        {{100, 100}, {50, 50}, false, 1, {100, 100}, {50, 50}},
    };
    for (const auto& row : rows) {
        TPixel a = row.A;
        TPixel b = row.B;
        EXPECT_EQ(ClipSegment(kUnit, a, b, row.DisContinue), row.Result)
            << row.A.X << ',' << row.A.Y;
        if (row.Result >= 0 || row.DisContinue) {
            EXPECT_DOUBLE_EQ(a.X, row.A2.X);
            EXPECT_DOUBLE_EQ(a.Y, row.A2.Y);
            EXPECT_DOUBLE_EQ(b.X, row.B2.X);
            EXPECT_DOUBLE_EQ(b.Y, row.B2.Y);
        }
    }
    TPixel a{-20, 10};
    TPixel b{10, -20};
    EXPECT_EQ(ClipSegment(kUnit, a, b, false), -1);
}

TEST(XYSeriesTest, PolylinesWithGapsAndEdges) {
    const long double nan = NAN;
    const struct {
        const char* Name;
        std::vector<long double> X;
        std::vector<long double> Y;
        bool DisContinue;
        const char* Lines;
    } rows[] = {
        {"gap splits",
         {0, 10, 20, 30, 40},
         {1, 2, nan, 3, 4},
         false,
         " 0,99 10,98 10,99 | 30,97 40,96 40,97"},
        {"dot between gaps", {0, 10, 20}, {nan, 5, nan}, false, " 10,95 10,95 10,96"},
        {"single point", {10}, {5}, false, ""},
        {"first point before a gap", {0, 10}, {5, nan}, false, ""},
        {"NaN X hides its point", {0, nan, 20, 30}, {1, 2, 3, 4}, false, " 20,97 30,96 30,97"},
        {"leaves and returns",
         {0, 10, 20},
         {50, 150, 50},
         false,
         " 0,50 5,0 5,1 | 15,0 20,50 20,51"},
        {"leaves, return omitted", {0, 10, 20}, {50, 150, 50}, true, " 0,50 5,0 5,1"},
        {"repeated pixels", {0, 0.2L, 0.4L}, {50, 50, 50}, false, " 0,50 0,50 0,51"},
        {"outside all along", {0, 10}, {200, 300}, false, ""},
        {"infinite value is a gap",
         {0, 10, 20, 30},
         {1, INFINITY, 3, 4},
         false,
         " 20,97 30,96 30,97"},
    };
    for (const auto& row : rows) {
        TXYGraph graph;
        SetUnitPlot(graph);
        auto* s = graph.AddSeries<TXYLineSeries>();
        s->DisContinue = row.DisContinue;
        for (std::size_t i = 0; i < row.X.size(); ++i)
            s->AddXY(row.X[i], row.Y[i]);
        EXPECT_EQ(LinesOf(*s), row.Lines) << row.Name;
    }
}

// Segments of the lines that run from the top edge to the bottom edge.
int FullHeightSegments(TXYLineSeries& s) {
    std::vector<TGraphPoint> points;
    std::vector<int> counts;
    s.SetPlot(kUnit);
    s.BuildLines(0, s.Count(), points, counts);
    int found = 0;
    std::size_t at = 0;
    for (int c : counts) {
        for (int i = 1; i < c; ++i)
            if (std::abs(points[at + i].Y - points[at + i - 1].Y) >= 100) ++found;
        at += static_cast<std::size_t>(c);
    }
    return found;
}

TEST(XYSeriesTest, PolesOfTanAreSplit) {
    for (const bool log : {false, true}) {
        TXYGraph graph;
        SetUnitPlot(graph, log ? 0.1L : -10, log ? 100 : 10);
        graph.XAxis.SetRange(3 * std::numbers::pi_v<long double>, 0, true);
        if (log) graph.YAxis.SetScale(TAxisScale::asLog);
        auto* s = graph.AddSeries<TXYLineSeries>();
        for (int k = 0; k < 300; ++k) {
            const long double x = 0.005L + k * 0.0314L;
            s->AddXY(x, std::tan(x));
        }
        graph.ResetPixelCaches();
        const std::string plain = LinesOf(*s);
        const int plainCrossings = FullHeightSegments(*s);
        s->AutoDivide = true;
        graph.ResetPixelCaches();
        if (log) {
            EXPECT_EQ(LinesOf(*s), plain) << "a log axis is not tested for poles";
            continue;
        }
        EXPECT_EQ(plainCrossings, 3);
        EXPECT_EQ(FullHeightSegments(*s), 0);
        std::vector<TGraphPoint> points;
        std::vector<int> counts;
        s->BuildLines(0, s->Count(), points, counts);
        EXPECT_EQ(counts.size(), 4u);
    }
}

TEST(XYSeriesTest, MarkersArrowsAndErrorBars) {
    TXYGraph graph;
    SetUnitPlot(graph);
    auto* markers = graph.AddSeries<TXYMarkerSeries>();
    markers->Marker.Shape = TMarkerShape::msSquare;
    markers->AddXY(100, 50);  // on the right edge
    markers->AddXY(101, 50);  // outside
    auto* arrows = graph.AddSeries<TXYArrowSeries>();
    arrows->AddArrow(50, 80, 50, 20);  // straight down on the screen
    arrows->AddArrow(20, 50, 60, 50);  // to the right
    auto* bars = graph.AddSeries<TXYErrorBarSeries>();
    bars->AddError(50, 50, 0, 10);
    const struct {
        TXYGraphSeries* Series;
        const char* Word;
        const char* Calls;
    } rows[] = {
        {markers, "rect", "rect 95,45,105,55\n"},
        {arrows, "polyline",
         "polyline 50,20 50,80\npolyline 52,77 50,80 48,77\npolyline 20,50 60,50\n"
         "polyline 57,48 60,50 57,52\n"},
        {bars, "polypolyline", "polypolyline 50,50 50,40 | 46,40 54,40\n"},
    };
    for (const auto& row : rows) {
        TRecordCanvas canvas;
        row.Series->SetPlot(kUnit);
        row.Series->Draw(canvas);
        EXPECT_EQ(canvas.Lines(row.Word), row.Calls) << row.Word;
    }
    bars->UpdateMinMax(TAxisScale::asNormal, TAxisScale::asNormal);
    EXPECT_EQ(bars->YMax(), 60);
    EXPECT_EQ(bars->YMin(), 50);
}

TEST(XYSeriesTest, MarkerShapes) {
    const struct {
        TMarkerShape Shape;
        const char* Calls;
    } rows[] = {
        {TMarkerShape::msPlus, "polypolyline 50,46 50,54 | 46,50 54,50\n"},
        {TMarkerShape::msTimes, "polypolyline 46,46 54,54 | 46,54 54,46\n"},
        {TMarkerShape::msCircle, "ellipse 46,46,54,54\n"},
        {TMarkerShape::msPoint, "pixel 50,50\n"},
        {TMarkerShape::msTriangleUp, "polypolygon 0 50,46 46,54 54,54\n"},
        {TMarkerShape::msTriangleDown, "polypolygon 0 50,54 46,46 54,46\n"},
        {TMarkerShape::msDiamond, "polypolygon 0 50,46 46,50 50,54 54,50\n"},
    };
    for (const auto& row : rows) {
        TRecordCanvas canvas;
        TGraphMarker marker;
        marker.Shape = row.Shape;
        marker.Size = 8;
        DrawMarkerSymbol(canvas, marker, 50, 50);
        EXPECT_EQ(canvas.Out.str(), row.Calls);
    }
}

TEST(XYSeriesTest, PolygonsAreClippedAndInequalitiesIntersect) {
    TXYGraph graph;
    SetUnitPlot(graph);
    auto* poly = graph.AddSeries<TXYPolyPolygonSeries>();
    poly->AddPolygon({{50, 50}, {150, 50}, {50, 90}});
    TRecordCanvas canvas;
    poly->SetPlot(kUnit);
    poly->Draw(canvas);
    EXPECT_EQ(canvas.Lines("polypolygon"), "polypolygon 0 50,50 100,50 100,30 50,10\n");

    auto* inequal = graph.AddSeries<TXYInequalSeries>();
    inequal->AddPolygon({{0, 0}, {60, 0}, {60, 60}, {0, 60}});
    inequal->AddPolygon({{40, 40}, {100, 40}, {100, 100}, {40, 100}});
    inequal->GroupList.Add(1);
    inequal->GroupList.Add(1);
    TRecordCanvas second;
    inequal->SetPlot(kUnit);
    inequal->Draw(second);
    EXPECT_EQ(
        second.Lines("polypolyline"),
        "polypolyline 0,100 60,100 60,40 0,40 0,100\npolypolyline 40,60 100,60 100,0 40,0 40,60\n");
    EXPECT_EQ(second.Lines("intersection"), "intersection 2\n");
}

TEST(XYSeriesTest, SampleDataNeedsAGraphAndKindsAreRegistered) {
    TXYLineSeries alone;
    alone.Title = "Series1";
    std::string error;
    EXPECT_FALSE(alone.FillSampleData(10, &error));
    EXPECT_EQ(error, "Series1" + SysText(" は親グラフを持っていません"));
    TXYGraph graph;
    EXPECT_TRUE(graph.AddSeries<TXYLineSeries>()->FillSampleData(10, &error));
    EXPECT_EQ(graph.Series(0)->Count(), 10);

    std::string names;
    for (const TSeriesKind& kind : SeriesKinds()) {
        names += std::string(kind.Name) + ' ';
        EXPECT_NE(kind.Create(), nullptr);
    }
    EXPECT_EQ(names, "折れ線 散布図 矢印 泡 エラーバー ");
    EXPECT_NE(dynamic_cast<TXYErrorBarSeries*>(SeriesKinds()[4].Create().get()), nullptr);
}

TEST(XYSeriesTest, ZOrderIsClampedToTheGraph) {
    TXYGraph graph;
    TXYGraphSeries* last = nullptr;
    for (int i = 0; i < 5; ++i)
        last = graph.AddSeries<TXYLineSeries>();
    last->SetZOrder(99);
    EXPECT_EQ(last->ZOrder(), 4);
    last->SetZOrder(-3);
    EXPECT_EQ(last->ZOrder(), 0);
}

TEST(XYSeriesTest, DataStreamsRoundTripAndRefuseDamage) {
    TXYGraph graph;
    std::vector<TXYGraphSeries*> all;
    auto* line = graph.AddSeries<TXYLineSeries>();
    auto* arrow = graph.AddSeries<TXYArrowSeries>();
    auto* bubble = graph.AddSeries<TXYBubbleSeries>();
    auto* bar = graph.AddSeries<TXYErrorBarSeries>();
    auto* inequal = graph.AddSeries<TXYInequalSeries>();
    line->AddXY(1, 2);
    arrow->AddArrow(1, 2, 3, 4);
    bubble->AddBubble(1, 2, 3);
    bar->AddError(1, 2, 0.5L, 0.25L);
    inequal->AddPolygon({{0, 0}, {1, 0}, {0, 1}});
    inequal->GroupList.Add(1);
    const struct {
        TXYGraphSeries* Series;
        std::unique_ptr<TXYGraphSeries> Fresh;
    } rows[] = {{line, std::make_unique<TXYLineSeries>()},
                {arrow, std::make_unique<TXYArrowSeries>()},
                {bubble, std::make_unique<TXYBubbleSeries>()},
                {bar, std::make_unique<TXYErrorBarSeries>()},
                {inequal, std::make_unique<TXYInequalSeries>()}};
    for (const auto& row : rows) {
        std::string data;
        row.Series->SaveToStream(data);
        std::size_t pos = 0;
        ASSERT_TRUE(row.Fresh->LoadFromStream(data, pos));
        EXPECT_EQ(pos, data.size());
        std::string again;
        row.Fresh->SaveToStream(again);
        EXPECT_EQ(again, data);
        for (std::size_t cut = 0; cut < data.size(); cut += 3) {
            std::size_t at = 0;
            EXPECT_FALSE(row.Fresh->LoadFromStream(std::string_view(data).substr(0, cut), at));
            EXPECT_EQ(at, 0u);
        }
        std::string kept;
        row.Fresh->SaveToStream(kept);
        EXPECT_EQ(kept, data);
    }
}

}  // namespace
}  // namespace rekna
