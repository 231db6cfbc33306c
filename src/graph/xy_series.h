// The series of the graph: the base with its data and the line series with clipping and poles.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "graph/graph_canvas.h"
#include "graph/graph_lists.h"

namespace rekna {

class TXYGraph;
class TGraphAxis;

// "No colour yet": the graph hands out the next free series colour when the series joins it.
inline constexpr TColor kAutoSeriesColor = 0xFFFFFFFF;

struct TSeriesMarker {
    bool Shown = false;
    long double X = 0;
    long double Y = 0;
    int Index = -1;
};

// A point in extended pixels; NaN or an infinity in either coordinate is a gap.
struct TPixel {
    double X = 0;
    double Y = 0;
    [[nodiscard]] bool Valid() const noexcept;
};

// The plot rectangle a series draws into, in extended pixels.
struct TPlotBounds {
    long double Left = 0;
    long double Right = 0;
    long double Top = 0;
    long double Bottom = 0;
    [[nodiscard]] bool Contains(long double x, long double y) const noexcept {
        return x >= Left && x <= Right && y >= Top && y <= Bottom;
    }
};

// Cohen-Sutherland clipping of the segment a-b against the bounds. Results: -1 nothing to draw,
// 0 draw and end the polyline (the end left the plot), 1 draw and go on. With discontinue a
// segment that enters the plot from outside is not drawn. Reports whether the start moved.
int ClipSegment(const TPlotBounds& r, TPixel& a, TPixel& b, bool discontinue,
                bool* startMoved = nullptr);

class TXYGraphSeries {
public:
    TXYGraphSeries();
    virtual ~TXYGraphSeries();
    TXYGraphSeries(const TXYGraphSeries&) = delete;
    TXYGraphSeries& operator=(const TXYGraphSeries&) = delete;

    std::string Title;
    bool ShowInLegend = true;
    bool ZAxis = false;
    bool Visible = true;
    bool Active = true;
    TSeriesMarker SeriesMarker;
    std::function<void(TXYGraphSeries&, int)> OnAddPoint;

    [[nodiscard]] TXYGraph* ParentGraph() const noexcept { return FGraph; }
    [[nodiscard]] int ZOrder() const noexcept { return FZOrder; }
    // Clamped to 0 .. SeriesCount - 1 of the graph.
    void SetZOrder(int order);
    [[nodiscard]] TColor SeriesColor() const noexcept { return FSeriesColor; }
    virtual void SetSeriesColor(TColor color);

    [[nodiscard]] int Count() const noexcept { return FYValues.Count(); }
    TGraphValueList& XValues() noexcept { return FXValues; }
    TGraphValueList& YValues() noexcept { return FYValues; }
    [[nodiscard]] const TGraphValueList& XValues() const noexcept { return FXValues; }
    [[nodiscard]] const TGraphValueList& YValues() const noexcept { return FYValues; }
    int AddXY(long double x, long double y);
    virtual void Clear();
    virtual bool Delete(int index);

    // The streamed data: the X and Y lists, then the lists of the kind. Loading replaces the
    // lists only when the whole data reads; otherwise the series keeps its data (false).
    virtual void SaveToStream(std::string& out) const;
    virtual bool LoadFromStream(std::string_view data, std::size_t& pos);

    // A designer's sample: n points of a random walk. A series without a graph gets none and
    // false, with the message in *error (its title and " は親グラフを持っていません").
    virtual bool FillSampleData(int n, std::string* error);

    [[nodiscard]] virtual long double XMin();
    [[nodiscard]] virtual long double XMax();
    [[nodiscard]] virtual long double YMin();
    [[nodiscard]] virtual long double YMax();
    // The extremes on the axes' scales: called before XMin..YMax by auto scaling.
    virtual void UpdateMinMax(TAxisScale xScale, TAxisScale yScale);

    virtual void Draw(TGraphCanvas& canvas);
    virtual void DrawMarker(TGraphCanvas& canvas);
    // The colour that stands for the series in the legend and on markers.
    [[nodiscard]] virtual TGraphPen LegendPen() const;
    // What stands for the series in the legend, length pixels from x on the row's middle y: a
    // line drawn with pen.
    virtual void DrawLegendSymbol(TGraphCanvas& canvas, int x, int y, int length,
                                  const TGraphPen& pen);

    // Called by the graph before drawing.
    void SetPlot(const TPlotBounds& plot) noexcept { FPlot = plot; }
    [[nodiscard]] const TPlotBounds& Plot() const noexcept { return FPlot; }
    [[nodiscard]] TGraphAxis* XAxis() const noexcept;
    [[nodiscard]] TGraphAxis* YAxis() const noexcept;
    // The pixel of every point under the current axes, kept until the graph's next layout;
    // marker searches read it instead of mapping every point on every mouse move.
    const std::vector<TPixel>& Pixels();
    [[nodiscard]] TPixel MapPoint(long double x, long double y) const;

protected:
    virtual void Changed() {}

    TGraphValueList FXValues;
    TGraphValueList FYValues;
    TPlotBounds FPlot;

private:
    friend class TXYGraph;
    TXYGraph* FGraph = nullptr;
    int FZOrder = 0;
    TColor FSeriesColor = kAutoSeriesColor;
    std::vector<TPixel> FPixels;
    unsigned FPixelStamp = 0;
};

class TXYLineSeries : public TXYGraphSeries {
public:
    TGraphPen LinePen;
    bool AutoDivide = false;
    bool DisContinue = false;

    void Draw(TGraphCanvas& canvas) override;
    void DrawMarker(TGraphCanvas& canvas) override;
    [[nodiscard]] TGraphPen LegendPen() const override { return LinePen; }

    // Builds the polylines of n points from first: the integer points and the point count of
    // each polyline, ready for one poly-polyline call; or the points in fractions of a pixel.
    void BuildLines(int first, int n, std::vector<TGraphPoint>& points, std::vector<int>& counts);
    void BuildLines(int first, int n, std::vector<TGraphPointF>& points, std::vector<int>& counts);

protected:
    template <typename TPoint>
    void BuildLinesOf(int first, int n, std::vector<TPoint>& points, std::vector<int>& counts);
    // Draws the whole series as lines.
    void DrawLines(TGraphCanvas& canvas);
};

}  // namespace rekna
