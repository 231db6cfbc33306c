// A canvas that writes SVG: the graph as a picture for files and the clipboard.
#pragma once

#include <string>
#include <string_view>

#include "graph/graph_canvas.h"

namespace rekna {

// Text goes out as SVG text elements in UTF-8; its extent is estimated from the font height
// (half-width characters at 0.55 of the height, double-byte characters at the full height).
class TSvgCanvas : public TGraphCanvas {
public:
    // The comment every document carries after its XML declaration: what rekna-calc --plot
    // may write over.
    static constexpr std::string_view kSignature = "<!-- Rekna graph -->";

    TSvgCanvas(int width, int height);

    void SetPen(const TGraphPen& pen) override { FPen = pen; }
    void SetBrush(const TGraphBrush& brush) override { FBrush = brush; }
    void SetFont(const TGraphFont& font) override { FFont = font; }
    [[nodiscard]] TTextSize TextExtent(std::string_view text) override;
    void TextOut(int x, int y, std::string_view text, int angle) override;
    void FillRect(const TGraphRect& r, TColor color) override;
    void Rectangle(const TGraphRect& r) override;
    void Ellipse(const TGraphRect& r) override;
    void Polyline(const TGraphPoint* points, int count) override;
    void PolyPolyline(const TGraphPoint* points, const int* counts, int lines) override;
    [[nodiscard]] bool Fractional() const override { return true; }
    void PolyPolylineF(const TGraphPointF* points, const int* counts, int lines) override;
    void PolyPolygon(const TGraphPoint* points, const int* counts, int polygons,
                     TFillRule rule) override;
    void FillIntersection(const std::vector<TPolyGroup>& groups) override;
    void SetPixel(int x, int y, TColor color) override;
    void SetClip(const TGraphRect& r) override;

    // The finished document.
    [[nodiscard]] std::string Finish();

private:
    void Stroke();
    void Fill();
    void Num(double v);
    // A coordinate with up to two decimals, trailing zeros left out.
    void Real(double v);
    void Int(int v);
    void Points(const TGraphPoint* points, int count, bool close);

    int FWidth;
    int FHeight;
    TGraphPen FPen;
    TGraphBrush FBrush;
    TGraphFont FFont;
    std::string FOut;
    int FClipId = 0;
    bool FClipped = false;
};

}  // namespace rekna
