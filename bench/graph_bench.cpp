// The graph's drawing speed: 10 series x 10,001 points into a QPainter image and into SVG, and
// the repaints of a zoom drag in the widget (each frame of the drag, and the redraw after it).
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>

#include "graph/qt/qt_graph_canvas.h"
#include "graph/qt/xy_graph_view.h"
#include "graph/xy_graph.h"
#include "qt_bench_main.h"

namespace {

using namespace rekna;

constexpr int kWidth = 1024;
constexpr int kHeight = 640;

void FillGraph(TXYGraph& g) {
    g.SetSize(kWidth, kHeight);
    g.Title.Text = "10 x 10001";
    g.XAxis.Title.Text = "Time (s)";
    g.YAxis.Title.Text = "Amplitude (V)";
    g.XAxis.SetRange(100, 0, true);
    g.YAxis.SetRange(1.5L, -1.5L, true);
    g.ZAxis.Visible = false;
    for (int s = 0; s < 10; ++s) {
        auto* series = g.AddSeries<TXYLineSeries>();
        series->Title = std::to_string(s);
        series->Title.insert(series->Title.begin(), 's');
        for (int i = 0; i <= 10000; ++i) {
            const long double x = i / 100.0L;
            series->AddXY(x, std::sin(x * (1 + s * 0.37L)) * (1 - s * 0.05L));
        }
    }
}

void BM_DrawQPainter(benchmark::State& state) {
    TXYGraph graph;
    FillGraph(graph);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    const QPalette palette;
    for (auto _ : state) {
        QPainter painter(&image);
        TQtGraphCanvas canvas(painter, palette);
        graph.Draw(canvas);
    }
}
BENCHMARK(BM_DrawQPainter)->Unit(benchmark::kMillisecond);

void BM_DrawSvg(benchmark::State& state) {
    TXYGraph graph;
    FillGraph(graph);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string svg = graph.CreateSvg();
        bytes = svg.size();
        benchmark::DoNotOptimize(svg.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_DrawSvg)->Unit(benchmark::kMillisecond);

void SendMouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, at, w.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

// One frame of a zoom drag: the mouse moves and the widget repaints with the focus rectangle
// (the drawing is kept in the double buffer while the rectangle moves).
void BM_ZoomDragFrame(benchmark::State& state) {
    TXYGraphView view;
    view.resize(kWidth, kHeight);
    FillGraph(view.Graph());
    QImage screen(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    view.render(&screen);
    const QPoint from(200, 150);
    SendMouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const QPoint to(300 + step % 200, 250 + step % 150);
        ++step;
        SendMouse(view, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        view.render(&screen);
    }
    SendMouse(view, QEvent::MouseButtonRelease, from, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK(BM_ZoomDragFrame)->Unit(benchmark::kMillisecond);

// The end of a zoom drag: release, zoom and the full redraw of the zoomed graph.
void BM_ZoomReleaseRedraw(benchmark::State& state) {
    TXYGraphView view;
    view.resize(kWidth, kHeight);
    FillGraph(view.Graph());
    QImage screen(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    view.render(&screen);
    for (auto _ : state) {
        SendMouse(view, QEvent::MouseButtonPress, QPoint(200, 150), Qt::LeftButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseMove, QPoint(600, 450), Qt::NoButton, Qt::LeftButton);
        SendMouse(view, QEvent::MouseButtonRelease, QPoint(600, 450), Qt::LeftButton, Qt::NoButton);
        view.render(&screen);
        state.PauseTiming();
        if (view.Graph().XAxis.Max() - view.Graph().XAxis.Min() >= 100)
            state.SkipWithError("no zoom");
        view.Graph().UndoZoom();
        view.render(&screen);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ZoomReleaseRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
