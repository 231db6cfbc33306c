// The graph's canvas on a QPainter: the widget, its off-screen buffer and clipboard bitmaps.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <optional>
#include <vector>

#include "graph/graph_canvas.h"

namespace rekna {

// Draws the graph's calls with GDI's conventions: rectangles exclude their right and bottom
// edge, lines are one pixel wide and not smoothed, text is smoothed.
class TQtGraphCanvas : public TGraphCanvas {
public:
    TQtGraphCanvas(QPainter& painter, const QPalette& palette);

    void SetPen(const TGraphPen& pen) override;
    void SetBrush(const TGraphBrush& brush) override;
    void SetFont(const TGraphFont& font) override;
    [[nodiscard]] TTextSize TextExtent(std::string_view text) override;
    void TextOut(int x, int y, std::string_view text, int angle) override;
    void FillRect(const TGraphRect& r, TColor color) override;
    void Rectangle(const TGraphRect& r) override;
    void Ellipse(const TGraphRect& r) override;
    void Polyline(const TGraphPoint* points, int count) override;
    void PolyPolyline(const TGraphPoint* points, const int* counts, int lines) override;
    void PolyPolygon(const TGraphPoint* points, const int* counts, int polygons,
                     TFillRule rule) override;
    void FillIntersection(const std::vector<TPolyGroup>& groups) override;
    void SetPixel(int x, int y, TColor color) override;
    void SetClip(const TGraphRect& r) override;

    [[nodiscard]] QColor ToQColor(TColor color) const;
    // The font of the graph font: the family when installed, else a close sans-serif.
    [[nodiscard]] static QFont ToQFont(const TGraphFont& font);

private:
    QPainter& FPainter;
    const QPalette& FPalette;
    std::optional<TGraphFont> FFont;
    QFont FQFont;
    std::optional<QFontMetrics> FMetrics;
    std::vector<QPoint> FPoints;
};

}  // namespace rekna
