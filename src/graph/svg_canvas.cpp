// The SVG writer behind the graph's picture copies.
#include "graph/svg_canvas.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/cp932.h"

namespace rekna {

namespace {

std::string Hex(TColor c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", ColorRed(c), ColorGreen(c), ColorBlue(c));
    return buf;
}

void Escape(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out.push_back(c);
            break;
        }
    }
}

const char* Dashes(TPenStyle style) {
    switch (style) {
    case TPenStyle::psDash: return "6,3";
    case TPenStyle::psDot: return "1,2";
    case TPenStyle::psDashDot: return "6,2,1,2";
    case TPenStyle::psDashDotDot: return "6,2,1,2,1,2";
    default: return nullptr;
    }
}

}  // namespace

TSvgCanvas::TSvgCanvas(int width, int height) : FWidth(width), FHeight(height) {
    FOut.reserve(1 << 16);
    FOut += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    FOut.append(kSignature);
    FOut += '\n';
    FOut += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(width) +
            "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " + std::to_string(width) +
            ' ' + std::to_string(height) + "\">\n";
}

void TSvgCanvas::Num(double v) {
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, "%.1f", v);
    FOut.append(buf, static_cast<std::size_t>(n));
}

void TSvgCanvas::Real(double v) {
    char buf[32];
    int n = std::snprintf(buf, sizeof buf, "%.2f", v);
    while (n > 0 && buf[n - 1] == '0')
        --n;
    if (n > 0 && buf[n - 1] == '.') --n;
    if (n == 2 && buf[0] == '-' && buf[1] == '0') n = 1, buf[0] = '0';
    FOut.append(buf, static_cast<std::size_t>(n));
}

void TSvgCanvas::Int(int v) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    FOut.append(buf, r.ptr);
}

void TSvgCanvas::Stroke() {
    if (FPen.Clear()) {
        FOut += " stroke=\"none\"";
        return;
    }
    FOut += " stroke=\"" + Hex(FPen.Color) + "\" stroke-width=\"" +
            std::to_string(std::max(1, FPen.Width)) + '"';
    if (const char* d = Dashes(FPen.Style)) FOut += std::string(" stroke-dasharray=\"") + d + '"';
}

void TSvgCanvas::Fill() {
    FOut += FBrush.Clear() ? " fill=\"none\"" : " fill=\"" + Hex(FBrush.Color) + '"';
}

TTextSize TSvgCanvas::TextExtent(std::string_view text) {
    const double em = FFont.Height();
    double width = 0;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
        width += CharLength(text, i) == 2 ? em : em * 0.55;
    return {static_cast<int>(std::lround(width)), static_cast<int>(std::lround(em * 1.15))};
}

void TSvgCanvas::TextOut(int x, int y, std::string_view text, int angle) {
    const int em = FFont.Height();
    FOut += "<text x=\"";
    Int(x);
    FOut += "\" y=\"";
    Num(y + em * 0.93);
    FOut += "\" font-family=\"" + FFont.Name +
            ", Liberation Sans, DejaVu Sans, IPAGothic, sans-serif\"";
    FOut += " font-size=\"" + std::to_string(em) + "px\" fill=\"" + Hex(FFont.Color) + '"';
    if (FFont.Bold) FOut += " font-weight=\"bold\"";
    if (FFont.Italic) FOut += " font-style=\"italic\"";
    if (angle != 0) {
        FOut += " transform=\"rotate(" + std::to_string(-angle) + ' ' + std::to_string(x) + ' ' +
                std::to_string(y) + ")\"";
    }
    FOut += '>';
    Escape(FOut, Cp932ToUtf8(text));
    FOut += "</text>\n";
}

void TSvgCanvas::FillRect(const TGraphRect& r, TColor color) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    FOut += "<rect x=\"";
    Int(r.Left);
    FOut += "\" y=\"";
    Int(r.Top);
    FOut += "\" width=\"";
    Int(r.Width());
    FOut += "\" height=\"";
    Int(r.Height());
    FOut += "\" fill=\"" + Hex(color) + "\"/>\n";
}

void TSvgCanvas::Rectangle(const TGraphRect& r) {
    FOut += "<rect x=\"";
    Num(r.Left + 0.5);
    FOut += "\" y=\"";
    Num(r.Top + 0.5);
    FOut += "\" width=\"";
    Int(std::max(0, r.Width() - 1));
    FOut += "\" height=\"";
    Int(std::max(0, r.Height() - 1));
    FOut += '"';
    Fill();
    Stroke();
    FOut += "/>\n";
}

void TSvgCanvas::Ellipse(const TGraphRect& r) {
    FOut += "<ellipse cx=\"";
    Num((r.Left + r.Right) / 2.0);
    FOut += "\" cy=\"";
    Num((r.Top + r.Bottom) / 2.0);
    FOut += "\" rx=\"";
    Num(std::max(0.0, r.Width() / 2.0 - 0.5));
    FOut += "\" ry=\"";
    Num(std::max(0.0, r.Height() / 2.0 - 0.5));
    FOut += '"';
    Fill();
    Stroke();
    FOut += "/>\n";
}

void TSvgCanvas::Points(const TGraphPoint* points, int count, bool close) {
    for (int i = 0; i < count; ++i) {
        FOut += i == 0 ? 'M' : 'L';
        Int(points[i].X);
        FOut += ".5 ";
        Int(points[i].Y);
        FOut += ".5";
    }
    if (close) FOut += 'Z';
}

void TSvgCanvas::Polyline(const TGraphPoint* points, int count) {
    PolyPolyline(points, &count, 1);
}

void TSvgCanvas::PolyPolyline(const TGraphPoint* points, const int* counts, int lines) {
    if (FPen.Clear() || lines <= 0) return;
    FOut += "<path d=\"";
    for (int k = 0; k < lines; ++k) {
        Points(points, counts[k], false);
        points += counts[k];
    }
    FOut += "\" fill=\"none\"";
    Stroke();
    FOut += " stroke-linejoin=\"round\"/>\n";
}

void TSvgCanvas::PolyPolylineF(const TGraphPointF* points, const int* counts, int lines) {
    if (FPen.Clear() || lines <= 0) return;
    // The pixel at x covers x .. x + 1: its centre is where a whole-pixel line runs.
    FOut += "<path d=\"";
    for (int k = 0; k < lines; ++k) {
        for (int i = 0; i < counts[k]; ++i) {
            FOut += i == 0 ? 'M' : 'L';
            Real(points[i].X + 0.5);
            FOut += ' ';
            Real(points[i].Y + 0.5);
        }
        points += counts[k];
    }
    FOut += "\" fill=\"none\"";
    Stroke();
    FOut += " stroke-linejoin=\"round\"/>\n";
}

void TSvgCanvas::PolyPolygon(const TGraphPoint* points, const int* counts, int polygons,
                             TFillRule rule) {
    if (polygons <= 0) return;
    FOut += "<path d=\"";
    for (int k = 0; k < polygons; ++k) {
        Points(points, counts[k], true);
        points += counts[k];
    }
    FOut += '"';
    Fill();
    FOut += rule == TFillRule::frAlternate ? " fill-rule=\"evenodd\"" : " fill-rule=\"nonzero\"";
    Stroke();
    FOut += "/>\n";
}

void TSvgCanvas::FillIntersection(const std::vector<TPolyGroup>& groups) {
    if (groups.empty() || FBrush.Clear()) return;
    const int first = FClipId;
    for (const TPolyGroup& g : groups) {
        FOut += "<defs><clipPath id=\"g" + std::to_string(FClipId++) +
                "\"><path clip-rule=\"nonzero\" d=\"";
        std::size_t at = 0;
        for (int c : g.Counts) {
            Points(g.Points.data() + at, c, true);
            at += static_cast<std::size_t>(c);
        }
        FOut += "\"/></clipPath></defs>\n";
    }
    for (int i = first; i < FClipId; ++i)
        FOut += "<g clip-path=\"url(#g" + std::to_string(i) + ")\">";
    FOut += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(FWidth) + "\" height=\"" +
            std::to_string(FHeight) + '"';
    Fill();
    FOut += "/>";
    for (int i = first; i < FClipId; ++i)
        FOut += "</g>";
    FOut += '\n';
}

void TSvgCanvas::SetPixel(int x, int y, TColor color) {
    FillRect({x, y, x + 1, y + 1}, color);
}

void TSvgCanvas::SetClip(const TGraphRect& r) {
    if (FClipped) FOut += "</g>\n";
    FClipped = false;
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const int id = FClipId++;
    // Inside defs: renderers without clipping (SVG Tiny) then draw the curves unclipped rather
    // than the clip rectangle filled black.
    FOut.append("<defs><clipPath id=\"c");
    Int(id);
    FOut.append("\"><rect x=\"");
    Int(r.Left);
    FOut.append("\" y=\"");
    Int(r.Top);
    FOut.append("\" width=\"");
    Int(r.Width());
    FOut.append("\" height=\"");
    Int(r.Height());
    FOut.append("\"/></clipPath></defs>\n<g clip-path=\"url(#c");
    Int(id);
    FOut.append(")\">\n");
    FClipped = true;
}

std::string TSvgCanvas::Finish() {
    if (FClipped) FOut += "</g>\n";
    FClipped = false;
    FOut += "</svg>\n";
    return std::move(FOut);
}

}  // namespace rekna
