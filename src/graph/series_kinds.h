// The series kinds beyond the plain line: markers, arrows, bubbles, error bars and polygons.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "graph/xy_series.h"

namespace rekna {

enum class TMarkerShape : std::uint8_t {
    msPlus,
    msTimes,
    msSquare,
    msCircle,
    msPoint,
    msStar,
    msTriangleUp,
    msTriangleDown,
    msDiamond
};

struct TGraphMarker {
    TMarkerShape Shape = TMarkerShape::msDiamond;
    int Size = 10;
    TGraphPen Pen;
    TGraphBrush Brush;
    bool Visible = true;
};

// Draws one marker symbol centred on (x, y).
void DrawMarkerSymbol(TGraphCanvas& canvas, const TGraphMarker& marker, int x, int y);

class TXYMarkerSeries : public TXYLineSeries {
public:
    TGraphMarker Marker;
    bool Joined = false;
    void SetSeriesColor(TColor color) override;
    void Draw(TGraphCanvas& canvas) override;
    // Its marker in the middle of the legend's line (the line only when joined).
    void DrawLegendSymbol(TGraphCanvas& canvas, int x, int y, int length,
                          const TGraphPen& pen) override;
};

class TXYArrowSeries : public TXYLineSeries {
public:
    // Negative sizes are refused.
    void SetArrowSize(int size) noexcept {
        if (size >= 0) FArrowSize = size;
    }
    [[nodiscard]] int ArrowSize() const noexcept { return FArrowSize; }
    int AddArrow(long double x, long double y, long double x2, long double y2);
    TGraphValueList& X2Values() noexcept { return FX2; }
    TGraphValueList& Y2Values() noexcept { return FY2; }

    void Draw(TGraphCanvas& canvas) override;
    void Clear() override;
    bool Delete(int index) override;
    void SaveToStream(std::string& out) const override;
    bool LoadFromStream(std::string_view data, std::size_t& pos) override;
    void UpdateMinMax(TAxisScale xScale, TAxisScale yScale) override;
    long double XMin() override;
    long double XMax() override;
    long double YMin() override;
    long double YMax() override;

private:
    int FArrowSize = 3;
    TGraphValueList FX2;
    TGraphValueList FY2;
};

class TXYBubbleSeries : public TXYGraphSeries {
public:
    TGraphPen Pen;
    TGraphBrush Brush;
    // Only values above zero are taken.
    void SetMaxSizeRate(long double rate) noexcept {
        if (rate > 0) FMaxSizeRate = rate;
    }
    [[nodiscard]] long double MaxSizeRate() const noexcept { return FMaxSizeRate; }
    // Copies the brush and takes its colour as the series colour.
    void SetBrush(const TGraphBrush& brush);
    void SetSeriesColor(TColor color) override;
    int AddBubble(long double x, long double y, long double size);
    TGraphValueList& Sizes() noexcept { return FSizes; }

    void Draw(TGraphCanvas& canvas) override;
    void Clear() override;
    bool Delete(int index) override;
    void SaveToStream(std::string& out) const override;
    bool LoadFromStream(std::string_view data, std::size_t& pos) override;
    [[nodiscard]] TGraphPen LegendPen() const override {
        return {Brush.Color, 1, TPenStyle::psSolid};
    }

private:
    long double FMaxSizeRate = 10;
    TGraphValueList FSizes;
};

class TXYErrorBarSeries : public TXYLineSeries {
public:
    bool Joined = true;
    TGraphPen Pen;
    void SetBarSize(int size) noexcept {
        if (size > 0) FBarSize = size;
    }
    [[nodiscard]] int BarSize() const noexcept { return FBarSize; }
    int AddError(long double x, long double y, long double lower, long double upper);
    TGraphValueList& LowerErrors() noexcept { return FLower; }
    TGraphValueList& UpperErrors() noexcept { return FUpper; }

    void Draw(TGraphCanvas& canvas) override;
    void Clear() override;
    bool Delete(int index) override;
    void SaveToStream(std::string& out) const override;
    bool LoadFromStream(std::string_view data, std::size_t& pos) override;
    long double YMin() override;
    long double YMax() override;

private:
    int FBarSize = 8;
    TGraphValueList FLower;
    TGraphValueList FUpper;
};

// Consecutive polygons of the points, CountList giving the size of each.
class TXYPolyPolygonSeries : public TXYLineSeries {
public:
    TGraphBrush Brush;
    TGraphIntegerList CountList;
    void SetBrush(const TGraphBrush& brush);
    void SetSeriesColor(TColor color) override;
    // Appends one polygon.
    void AddPolygon(const std::vector<std::pair<long double, long double>>& points);

    void Draw(TGraphCanvas& canvas) override;
    void Clear() override;
    void SaveToStream(std::string& out) const override;
    bool LoadFromStream(std::string_view data, std::size_t& pos) override;

protected:
    // The polygons clipped to the plot, as integer points and counts.
    void ClippedPolygons(int firstPolygon, int polygons, std::vector<TGraphPoint>& points,
                         std::vector<int>& counts);
    // The first point index of each polygon, bounded by the points there are.
    [[nodiscard]] std::vector<std::pair<int, int>> PolygonSpans() const;
};

class TXYPolyPolyLineSeries : public TXYPolyPolygonSeries {
public:
    void SetSeriesColor(TColor color) override;
    void Draw(TGraphCanvas& canvas) override;
};

// Groups of polygons (GroupList: polygons per group); the area common to all groups is filled.
class TXYInequalSeries : public TXYPolyPolygonSeries {
public:
    TXYInequalSeries() { LinePen.Color = clBlack; }
    TGraphIntegerList GroupList;
    void Draw(TGraphCanvas& canvas) override;
    void Clear() override;
    void SaveToStream(std::string& out) const override;
    bool LoadFromStream(std::string_view data, std::size_t& pos) override;
};

// The registry of series kinds for a designer: display name and a factory.
struct TSeriesKind {
    const char* Name;  // UTF-8
    std::unique_ptr<TXYGraphSeries> (*Create)();
};
[[nodiscard]] const std::vector<TSeriesKind>& SeriesKinds();

}  // namespace rekna
