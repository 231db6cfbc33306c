// A canvas for tests: records every call as a line of text, with fixed text metrics.
#pragma once

#include <sstream>
#include <string>

#include "graph/graph_canvas.h"

namespace rekna {

// Text is 6 pixels per byte wide and one font height high.
class TRecordCanvas : public TGraphCanvas {
public:
    std::ostringstream Out;
    bool RecordText = true;

    void SetPen(const TGraphPen& pen) override {
        Out << "pen " << std::hex << pen.Color << std::dec << ' ' << pen.Width << ' '
            << static_cast<int>(pen.Style) << '\n';
    }
    void SetBrush(const TGraphBrush& brush) override {
        Out << "brush " << std::hex << brush.Color << std::dec << ' '
            << static_cast<int>(brush.Style) << '\n';
    }
    void SetFont(const TGraphFont& font) override { FHeight = font.Height(); }
    TTextSize TextExtent(std::string_view text) override {
        return {static_cast<int>(text.size()) * 6, FHeight};
    }
    void TextOut(int x, int y, std::string_view text, int angle) override {
        if (RecordText) Out << "text " << x << ',' << y << ' ' << angle << ' ' << text << '\n';
    }
    void FillRect(const TGraphRect& r, TColor color) override {
        Out << "fill " << Rect(r) << ' ' << std::hex << color << std::dec << '\n';
    }
    void Rectangle(const TGraphRect& r) override { Out << "rect " << Rect(r) << '\n'; }
    void Ellipse(const TGraphRect& r) override { Out << "ellipse " << Rect(r) << '\n'; }
    void Polyline(const TGraphPoint* p, int n) override {
        Out << "polyline";
        Points(p, n);
        Out << '\n';
    }
    void PolyPolyline(const TGraphPoint* p, const int* counts, int lines) override {
        Out << "polypolyline";
        for (int k = 0; k < lines; ++k) {
            if (k > 0) Out << " |";
            Points(p, counts[k]);
            p += counts[k];
        }
        Out << '\n';
    }
    void PolyPolygon(const TGraphPoint* p, const int* counts, int polygons,
                     TFillRule rule) override {
        Out << "polypolygon " << static_cast<int>(rule);
        for (int k = 0; k < polygons; ++k) {
            if (k > 0) Out << " |";
            Points(p, counts[k]);
            p += counts[k];
        }
        Out << '\n';
    }
    void FillIntersection(const std::vector<TPolyGroup>& groups) override {
        Out << "intersection " << groups.size() << '\n';
    }
    void SetPixel(int x, int y, TColor) override { Out << "pixel " << x << ',' << y << '\n'; }
    void SetClip(const TGraphRect& r) override { Out << "clip " << Rect(r) << '\n'; }

    // The recorded lines that start with the given word.
    std::string Lines(const std::string& word) const {
        std::istringstream in(Out.str());
        std::string line;
        std::string result;
        while (std::getline(in, line))
            if (line.rfind(word + ' ', 0) == 0 || line == word) result += line + '\n';
        return result;
    }

private:
    static std::string Rect(const TGraphRect& r) {
        return std::to_string(r.Left) + ',' + std::to_string(r.Top) + ',' +
               std::to_string(r.Right) + ',' + std::to_string(r.Bottom);
    }
    void Points(const TGraphPoint* p, int n) {
        for (int i = 0; i < n; ++i)
            Out << ' ' << p[i].X << ',' << p[i].Y;
    }
    int FHeight = 12;
};

}  // namespace rekna
