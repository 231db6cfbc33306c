// The QPainter canvas of the graph.
#include "graph/qt/qt_graph_canvas.h"

#include <QFontDatabase>
#include <QPainterPath>

#include "platform/cp932.h"
#include "platform/qt/qt_color.h"

namespace rekna {

namespace {

QString ToQString(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

Qt::PenStyle ToQtStyle(TPenStyle style) {
    switch (style) {
    case TPenStyle::psDash: return Qt::DashLine;
    case TPenStyle::psDot: return Qt::DotLine;
    case TPenStyle::psDashDot: return Qt::DashDotLine;
    case TPenStyle::psDashDotDot: return Qt::DashDotDotLine;
    case TPenStyle::psClear: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

QRect ToQRect(const TGraphRect& r) {
    return QRect(r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace

TQtGraphCanvas::TQtGraphCanvas(QPainter& painter, const QPalette& palette)
    : FPainter(painter), FPalette(palette) {
    FPainter.setRenderHint(QPainter::Antialiasing, false);
    FPainter.setRenderHint(QPainter::TextAntialiasing, true);
}

QColor TQtGraphCanvas::ToQColor(TColor color) const {
    return QColor(ToQRgb(color, FPalette));
}

QFont TQtGraphCanvas::ToQFont(const TGraphFont& font) {
    QString family = ToQString(font.Name);
    if (!QFontDatabase::hasFamily(family)) {
        // Arial's metric twin where Arial itself is not installed.
        family = family == "Arial" && QFontDatabase::hasFamily("Liberation Sans")
                     ? "Liberation Sans"
                     : "DejaVu Sans";
    }
    QFont q(family);
    q.setPixelSize(font.Height());
    q.setBold(font.Bold);
    q.setItalic(font.Italic);
    return q;
}

void TQtGraphCanvas::SetPen(const TGraphPen& pen) {
    QPen q(ToQColor(pen.Color));
    q.setWidth(std::max(1, pen.Width));
    q.setStyle(ToQtStyle(pen.Style));
    q.setCapStyle(Qt::FlatCap);
    q.setJoinStyle(Qt::MiterJoin);
    q.setCosmetic(pen.Width <= 1);
    FPainter.setPen(q);
}

void TQtGraphCanvas::SetBrush(const TGraphBrush& brush) {
    FPainter.setBrush(brush.Clear() ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush.Color)));
}

void TQtGraphCanvas::SetFont(const TGraphFont& font) {
    if (FFont && *FFont == font) return;
    FFont = font;
    FQFont = ToQFont(font);
    FMetrics.emplace(FQFont, FPainter.device());
}

TTextSize TQtGraphCanvas::TextExtent(std::string_view text) {
    if (!FMetrics) SetFont(TGraphFont{});
    return {FMetrics->horizontalAdvance(ToQString(text)), FMetrics->height()};
}

void TQtGraphCanvas::TextOut(int x, int y, std::string_view text, int angle) {
    if (!FMetrics) SetFont(TGraphFont{});
    FPainter.save();
    FPainter.setFont(FQFont);
    FPainter.setPen(ToQColor(FFont->Color));
    FPainter.translate(x, y);
    if (angle != 0) FPainter.rotate(-angle);
    FPainter.drawText(0, FMetrics->ascent(), ToQString(text));
    FPainter.restore();
}

void TQtGraphCanvas::FillRect(const TGraphRect& r, TColor color) {
    FPainter.fillRect(ToQRect(r), ToQColor(color));
}

void TQtGraphCanvas::Rectangle(const TGraphRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    if (FPainter.brush().style() != Qt::NoBrush) FPainter.fillRect(ToQRect(r), FPainter.brush());
    if (FPainter.pen().style() == Qt::NoPen) return;
    FPainter.save();
    FPainter.setBrush(Qt::NoBrush);
    FPainter.drawRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    FPainter.restore();
}

void TQtGraphCanvas::Ellipse(const TGraphRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    FPainter.save();
    FPainter.setRenderHint(QPainter::Antialiasing, true);
    FPainter.drawEllipse(QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1.0, r.Height() - 1.0));
    FPainter.restore();
}

void TQtGraphCanvas::Polyline(const TGraphPoint* points, int count) {
    PolyPolyline(points, &count, 1);
}

void TQtGraphCanvas::PolyPolyline(const TGraphPoint* points, const int* counts, int lines) {
    if (FPainter.pen().style() == Qt::NoPen) return;
    for (int k = 0; k < lines; ++k) {
        const int n = counts[k];
        FPoints.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            FPoints[static_cast<std::size_t>(i)] = QPoint(points[i].X, points[i].Y);
        FPainter.drawPolyline(FPoints.data(), n);
        points += n;
    }
}

void TQtGraphCanvas::PolyPolygon(const TGraphPoint* points, const int* counts, int polygons,
                                 TFillRule rule) {
    QPainterPath path;
    path.setFillRule(rule == TFillRule::frAlternate ? Qt::OddEvenFill : Qt::WindingFill);
    for (int k = 0; k < polygons; ++k) {
        QPolygon polygon;
        for (int i = 0; i < counts[k]; ++i)
            polygon << QPoint(points[i].X, points[i].Y);
        path.addPolygon(polygon);
        path.closeSubpath();
        points += counts[k];
    }
    FPainter.drawPath(path);
}

void TQtGraphCanvas::FillIntersection(const std::vector<TPolyGroup>& groups) {
    std::optional<QPainterPath> area;
    for (const TPolyGroup& g : groups) {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        std::size_t at = 0;
        for (int c : g.Counts) {
            QPolygon polygon;
            for (int i = 0; i < c; ++i)
                polygon << QPoint(g.Points[at + i].X, g.Points[at + i].Y);
            path.addPolygon(polygon);
            path.closeSubpath();
            at += static_cast<std::size_t>(c);
        }
        area = area ? area->intersected(path) : path;
    }
    if (area) FPainter.fillPath(*area, FPainter.brush());
}

void TQtGraphCanvas::SetPixel(int x, int y, TColor color) {
    FPainter.fillRect(x, y, 1, 1, ToQColor(color));
}

void TQtGraphCanvas::SetClip(const TGraphRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) {
        FPainter.setClipping(false);
        return;
    }
    FPainter.setClipRect(ToQRect(r));
}

}  // namespace rekna
