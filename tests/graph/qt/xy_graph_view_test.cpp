// The graph widget: what it paints, the mouse zoom with its focus rectangle, the clipboard copies.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

#include "demo_graphs.h"
#include "graph/qt/xy_graph_view.h"
#include "graph/series_kinds.h"

namespace rekna {
namespace {

// The number of pixels of a colour inside a rectangle.
int CountColour(const QImage& image, const TGraphRect& r, QRgb colour) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
    return n;
}

TEST(XYGraphViewTest, PaintsSeriesInsideThePlotOnly) {
    TXYGraphView view;
    view.resize(400, 300);
    TXYGraph& g = view.Graph();
    g.XAxis.SetRange(10, 0, true);
    g.YAxis.SetRange(1, -1, true);
    auto* line = g.AddSeries<TXYLineSeries>();
    line->LinePen.Color = clRed;
    line->ShowInLegend = false;
    for (int i = 0; i <= 200; ++i)
        line->AddXY(i / 10.0L, i < 100 ? 0.5L : 3.0L);  // the second half is above the plot
    QImage image(view.size(), QImage::Format_RGB32);
    view.render(&image);
    const TGraphRect plot = g.PlotRect();
    const int inside = CountColour(image, plot, qRgb(255, 0, 0));
    EXPECT_GT(inside, plot.Width() / 3);
    const TGraphRect above{0, 0, view.width(), plot.Top};
    EXPECT_EQ(CountColour(image, above, qRgb(255, 0, 0)), 0);
    EXPECT_EQ(image.pixel(plot.Left + 5, plot.Bottom - 5) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(XYGraphViewTest, MouseDragZoomsAndTheReverseDragUndoes) {
    TXYGraphView view;
    view.resize(400, 300);
    TXYGraph& g = view.Graph();
    g.XAxis.SetRange(100, 0, true);
    g.YAxis.SetRange(100, 0, true);
    g.AddSeries<TXYLineSeries>()->AddXY(50, 50);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    int undos = 0;
    g.OnUndoZoom = [&] { ++undos; };
    const TGraphRect plot = g.PlotRect();
    const QPoint from(plot.Left + 40, plot.Top + 30);
    const QPoint to(plot.Left + 140, plot.Top + 130);
    QTest::mousePress(&view, Qt::LeftButton, {}, from);
    QTest::mouseMove(&view, to);
    EXPECT_EQ(g.Drag(), TGraphDrag::gdZooming);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
    EXPECT_GT(g.XAxis.Min(), 0);
    EXPECT_LT(g.XAxis.Max(), 100);
    const QPoint left(plot.Left + 20, plot.Top + 150);
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(plot.Left + 100, plot.Top + 40));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, left);
    EXPECT_EQ(g.XAxis.Min(), 0);
    EXPECT_EQ(g.XAxis.Max(), 100);
    EXPECT_EQ(undos, 1);
}

TEST(XYGraphViewTest, CopiesBitmapAndPicture) {
    TXYGraphView view;
    view.resize(640, 400);
    FillDemoGraph(view.Graph(), 3);
    view.CopyBitmapToClipboard();
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(640, 400));
    view.CopyMetafileToClipboard();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const QByteArray svg = data->data("image/svg+xml");
    EXPECT_TRUE(svg.startsWith("<?xml"));
    EXPECT_TRUE(svg.contains("clip-path"));
    EXPECT_TRUE(svg.contains(QString::fromUtf8("多角形").toUtf8()));
}

}  // namespace
}  // namespace rekna
