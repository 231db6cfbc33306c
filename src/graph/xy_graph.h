// TXYGraph: the plotting control's model: axes, series, layout, drawing, zoom, scroll, markers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graph/graph_axis.h"
#include "graph/xy_series.h"

namespace rekna {

// Modifier keys and buttons held during a mouse event.
struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;
    bool Left = false;
    bool Right = false;
    bool Middle = false;
};

struct TPointMarker {
    bool Shown = false;
    long double X = 0;
    long double Y = 0;
};

enum class TGraphDrag : std::uint8_t { gdIdle, gdZooming, gdScrolling };

class TXYGraph {
public:
    TXYGraph();
    ~TXYGraph();
    TXYGraph(const TXYGraph&) = delete;
    TXYGraph& operator=(const TXYGraph&) = delete;

    TGraphPen Frame;
    TGraphBrush Brush{clWhite, TBrushStyle::bsSolid};
    TColor Color = clWhite;  // the plot background
    TGraphOptions Options;
    TMarkerStyle MarkerStyle;
    TGraphTitle Title;
    TGraphAxis XAxis{TAxisKind::akX};
    TGraphAxis YAxis{TAxisKind::akY};
    TGraphAxis ZAxis{TAxisKind::akZ};
    TGraphLegend Legend;
    // The room left free around everything the graph draws, in pixels from each edge.
    TGraphRect Margins{3, 3, 3, 3};
    bool Enabled = true;
    bool Busy = false;  // the hourglass is showing: mouse input is ignored
    TPointMarker PointMarker;

    std::function<void(TGraphCanvas&)> OnAfterDraw;
    std::function<void()> OnScroll;
    std::function<void()> OnZoom;
    std::function<void()> OnUndoZoom;
    std::function<void(long double x, long double y)> OnSetMarker;
    // Asks the view to repaint; the view then calls Draw and DrawMarkers.
    std::function<void()> OnInvalidate;

    // The client size; new graphs are 300 x 200.
    void SetSize(int width, int height) noexcept;
    [[nodiscard]] int Width() const noexcept { return FWidth; }
    [[nodiscard]] int Height() const noexcept { return FHeight; }

    // Series: the graph owns them, in order of addition.
    template <typename T> T* AddSeries() {
        auto series = std::make_unique<T>();
        T* raw = series.get();
        Adopt(std::move(series));
        return raw;
    }
    void Adopt(std::unique_ptr<TXYGraphSeries> series);
    // Hands the series to another graph (its ParentGraph changes); nullptr when not ours.
    bool MoveSeries(TXYGraphSeries* series, TXYGraph& to);
    void DeleteSeries(TXYGraphSeries* series);
    [[nodiscard]] int SeriesCount() const noexcept { return static_cast<int>(FSeries.size()); }
    [[nodiscard]] TXYGraphSeries* Series(int index) const noexcept;
    [[nodiscard]] TColor NextSeriesColor() const;

    // Lays out and draws the whole graph.
    void Draw(TGraphCanvas& canvas);
    void Layout(TGraphCanvas& canvas);
    // The markers drawn over a finished drawing.
    void DrawMarkers(TGraphCanvas& canvas);
    void DrawMarkerBox(TGraphCanvas& canvas, const TPixel& at, TColor seriesColor);
    // The layout rectangles as text, for checks.
    [[nodiscard]] std::string LayoutDump() const;
    // The whole graph as an SVG picture of the client size.
    [[nodiscard]] std::string CreateSvg();

    [[nodiscard]] const TGraphRect& OuterRect() const noexcept { return FOuterRect; }
    [[nodiscard]] const TGraphRect& FrameRect() const noexcept { return FFrameRect; }
    [[nodiscard]] const TGraphRect& PlotRect() const noexcept { return FPlotRect; }
    // Changes whenever the plot or a range changes; series key their pixel caches on it.
    [[nodiscard]] unsigned LayoutStamp() const noexcept { return FLayoutStamp; }
    // For callers that moved axis boxes or ranges themselves, outside a layout.
    void ResetPixelCaches() noexcept { Changed(); }
    void Invalidate();

    // Mouse input in client pixels.
    void MouseDown(TMouseButton button, int x, int y, const TShiftState& shift);
    void MouseMove(int x, int y, const TShiftState& shift);
    void MouseUp(TMouseButton button, int x, int y, const TShiftState& shift);
    [[nodiscard]] TGraphDrag Drag() const noexcept { return FDrag; }
    // The rectangle of a zoom drag, press point to the current point (normalised).
    [[nodiscard]] TGraphRect DragRect() const noexcept;

    void UndoZoom();
    void SetMarkerAt(int x, int y, bool keepSeries);
    void ClearMarkers();
    [[nodiscard]] std::string MarkerText() const;
    [[nodiscard]] int MarkerSeries() const noexcept { return FMarkerSeries; }

private:
    struct TScrollAxes {
        bool X = false;
        bool Y = false;
        bool Z = false;
    };

    void AutoScaleAxis(TGraphAxis& axis);
    // The layout with a legend of rows no wider than legendRoom (top, bottom, horizontal).
    void LayoutWith(TGraphCanvas& canvas, int legendRoom);
    void DrawGrid(TGraphCanvas& canvas, const TGraphAxis& axis);
    void DrawAxis(TGraphCanvas& canvas, TGraphAxis& axis);
    void DrawAxisTitle(TGraphCanvas& canvas, const TGraphAxis& axis);
    void DrawSeries(TGraphCanvas& canvas);
    void DrawLegend(TGraphCanvas& canvas);
    void DrawTitle(TGraphCanvas& canvas);
    void DrawBox(TGraphCanvas& canvas, const TGraphRect& box, const TGraphTitle& look);
    [[nodiscard]] const TGraphRect& BaseRect(TPositionBase base) const noexcept;
    [[nodiscard]] TTextSize TitleSize(TGraphCanvas& canvas, const TAxisTitle& title) const;
    [[nodiscard]] std::vector<TXYGraphSeries*> LegendEntries() const;
    void ZoomAxis(TGraphAxis& axis, int p0, int p1, bool zoomIn);
    void ScrollAxis(TGraphAxis& axis, int from, int to);
    void Changed() noexcept;

    std::vector<std::unique_ptr<TXYGraphSeries>> FSeries;
    int FWidth = 300;
    int FHeight = 200;
    TGraphRect FOuterRect;
    TGraphRect FFrameRect;
    TGraphRect FPlotRect;
    TTextSize FTitleSize;
    TTextSize FLegendSize;
    // The legend items (its text first, then the entries) that begin a new row.
    std::vector<std::size_t> FLegendBreaks;
    unsigned FLayoutStamp = 1;
    std::vector<long double> FGeometry;
    TGraphDrag FDrag = TGraphDrag::gdIdle;
    int FDownX = 0;
    int FDownY = 0;
    int FLastX = 0;
    int FLastY = 0;
    TScrollAxes FScroll;
    int FMarkerSeries = -1;
};

}  // namespace rekna
