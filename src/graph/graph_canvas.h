// The drawing surface of the graph: pens, brushes, fonts and the few calls the graph makes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "graph/graph_lists.h"
#include "platform/color.h"

namespace rekna {

enum class TPenStyle : std::uint8_t {
    psSolid,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame
};
enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };
enum class TFillRule : std::uint8_t { frAlternate, frWinding };

struct TGraphPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = TPenStyle::psSolid;
    [[nodiscard]] bool Clear() const noexcept { return Style == TPenStyle::psClear; }
    friend bool operator==(const TGraphPen&, const TGraphPen&) = default;
};

struct TGraphBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
    [[nodiscard]] bool Clear() const noexcept { return Style == TBrushStyle::bsClear; }
    friend bool operator==(const TGraphBrush&, const TGraphBrush&) = default;
};

// A font by name and point size; Height is its pixel height at the screen's 96 dots per inch.
struct TGraphFont {
    std::string Name = "Arial";
    int Size = 9;
    TColor Color = clBlack;
    bool Bold = false;
    bool Italic = false;
    [[nodiscard]] int Height() const noexcept { return (Size * 96 + 36) / 72; }
    friend bool operator==(const TGraphFont&, const TGraphFont&) = default;
};

struct TTextSize {
    int Width = 0;
    int Height = 0;
};

struct TGraphRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    [[nodiscard]] int Width() const noexcept { return Right - Left; }
    [[nodiscard]] int Height() const noexcept { return Bottom - Top; }
    friend bool operator==(const TGraphRect&, const TGraphRect&) = default;
};

// A point in fractions of a pixel, for canvases that keep them (vector pictures).
struct TGraphPointF {
    double X = 0;
    double Y = 0;
    friend bool operator==(const TGraphPointF&, const TGraphPointF&) = default;
};

// One group of polygons of an intersection fill: points and the point count of each polygon.
struct TPolyGroup {
    std::vector<TGraphPoint> Points;
    std::vector<int> Counts;
};

// Text is CP932 bytes. Angles are 0, 90, 180 or 270 degrees counter-clockwise; the text's
// reference point is the top-left corner of the unrotated text box, turned with the text.
// Lines are drawn with the pen, closed shapes outlined with the pen and filled with the brush.
class TGraphCanvas {
public:
    virtual ~TGraphCanvas() = default;

    virtual void SetPen(const TGraphPen& pen) = 0;
    virtual void SetBrush(const TGraphBrush& brush) = 0;
    virtual void SetFont(const TGraphFont& font) = 0;
    [[nodiscard]] virtual TTextSize TextExtent(std::string_view text) = 0;
    virtual void TextOut(int x, int y, std::string_view text, int angle) = 0;
    // The rectangle from (left, top) up to but excluding (right, bottom).
    virtual void FillRect(const TGraphRect& r, TColor color) = 0;
    virtual void Rectangle(const TGraphRect& r) = 0;
    virtual void Ellipse(const TGraphRect& r) = 0;
    virtual void Polyline(const TGraphPoint* points, int count) = 0;
    // Consecutive polylines of counts[i] points each, in one call.
    virtual void PolyPolyline(const TGraphPoint* points, const int* counts, int lines) = 0;
    // A vector picture keeps the curves' fractions of a pixel, so that they stay smooth when the
    // picture is scaled; a pixel canvas draws the same lines on whole pixels.
    [[nodiscard]] virtual bool Fractional() const { return false; }
    virtual void PolyPolylineF(const TGraphPointF* points, const int* counts, int lines);
    virtual void PolyPolygon(const TGraphPoint* points, const int* counts, int polygons,
                             TFillRule rule) = 0;
    // Fills the intersection of the groups' areas (each by the winding rule) with the brush.
    virtual void FillIntersection(const std::vector<TPolyGroup>& groups) = 0;
    virtual void SetPixel(int x, int y, TColor color) = 0;
    // Limits later drawing to the rectangle; an empty rectangle removes the limit.
    virtual void SetClip(const TGraphRect& r) = 0;

    void Line(int x1, int y1, int x2, int y2) {
        const TGraphPoint p[2] = {{x1, y1}, {x2, y2}};
        Polyline(p, 2);
    }
};

}  // namespace rekna
