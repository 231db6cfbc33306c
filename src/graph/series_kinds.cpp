// Drawing and data of the marker, arrow, bubble, error-bar, polygon and inequality series.
#include "graph/series_kinds.h"

#include <algorithm>
#include <cmath>

#include "graph/xy_graph.h"

namespace rekna {

namespace {

const TGraphBrush kNoBrush{clWhite, TBrushStyle::bsClear};
constexpr long double kPi = 3.141592653589793238462643383279502884L;

TGraphPoint Round(const TPixel& p) {
    return {static_cast<std::int32_t>(std::lround(p.X)),
            static_cast<std::int32_t>(std::lround(p.Y))};
}

// Sutherland-Hodgman clipping of one polygon against the plot; gaps are dropped first.
std::vector<TPixel> ClipPolygon(const TPlotBounds& r, std::vector<TPixel> poly) {
    poly.erase(std::remove_if(poly.begin(), poly.end(), [](const TPixel& p) { return !p.Valid(); }),
               poly.end());
    for (int edge = 0; edge < 4 && !poly.empty(); ++edge) {
        auto inside = [&](const TPixel& p) {
            switch (edge) {
            case 0: return p.X >= r.Left;
            case 1: return p.X <= r.Right;
            case 2: return p.Y >= r.Top;
            default: return p.Y <= r.Bottom;
            }
        };
        auto cut = [&](const TPixel& a, const TPixel& b) {
            const long double limit = edge == 0   ? r.Left
                                      : edge == 1 ? r.Right
                                      : edge == 2 ? r.Top
                                                  : r.Bottom;
            if (edge < 2) {
                const long double t = (limit - a.X) / (static_cast<long double>(b.X) - a.X);
                return TPixel{static_cast<double>(limit),
                              static_cast<double>(a.Y + t * (b.Y - a.Y))};
            }
            const long double t = (limit - a.Y) / (static_cast<long double>(b.Y) - a.Y);
            return TPixel{static_cast<double>(a.X + t * (b.X - a.X)), static_cast<double>(limit)};
        };
        std::vector<TPixel> out;
        for (std::size_t i = 0; i < poly.size(); ++i) {
            const TPixel& cur = poly[i];
            const TPixel& prev = poly[(i + poly.size() - 1) % poly.size()];
            if (inside(cur)) {
                if (!inside(prev)) out.push_back(cut(prev, cur));
                out.push_back(cur);
            } else if (inside(prev)) {
                out.push_back(cut(prev, cur));
            }
        }
        poly = std::move(out);
    }
    return poly;
}

// Rounds half away from zero with a little slack, so that mirrored barbs round alike.
int RoundSym(long double v) {
    return static_cast<int>(std::copysign(std::floor(std::fabs(v) + 0.5L + 1e-9L), v));
}

void ExtendMin(long double& m, long double v) {
    if (!std::isnan(v) && (std::isnan(m) || v < m)) m = v;
}
void ExtendMax(long double& m, long double v) {
    if (!std::isnan(v) && (std::isnan(m) || v > m)) m = v;
}

}  // namespace

void DrawMarkerSymbol(TGraphCanvas& canvas, const TGraphMarker& m, int x, int y) {
    const int s = m.Size;
    const int h = s / 2;
    const TGraphPoint plus[4] = {{x, y - h}, {x, y - h + s}, {x - h, y}, {x - h + s, y}};
    const TGraphPoint times[4] = {
        {x - h, y - h}, {x - h + s, y - h + s}, {x - h, y - h + s}, {x - h + s, y - h}};
    const int two[2] = {2, 2};
    switch (m.Shape) {
    case TMarkerShape::msPlus: canvas.PolyPolyline(plus, two, 2); break;
    case TMarkerShape::msTimes: canvas.PolyPolyline(times, two, 2); break;
    case TMarkerShape::msStar: {
        const TGraphPoint star[8] = {plus[0],  plus[1],  plus[2],  plus[3],
                                     times[0], times[1], times[2], times[3]};
        const int four[4] = {2, 2, 2, 2};
        canvas.PolyPolyline(star, four, 4);
        break;
    }
    case TMarkerShape::msSquare: canvas.Rectangle({x - h, y - h, x - h + s, y - h + s}); break;
    case TMarkerShape::msCircle: canvas.Ellipse({x - h, y - h, x - h + s, y - h + s}); break;
    case TMarkerShape::msPoint: canvas.SetPixel(x, y, m.Brush.Color); break;
    case TMarkerShape::msTriangleUp: {
        const TGraphPoint p[3] = {{x, y - h}, {x - h, y + h}, {x - h + s, y + h}};
        const int n = 3;
        canvas.PolyPolygon(p, &n, 1, TFillRule::frAlternate);
        break;
    }
    case TMarkerShape::msTriangleDown: {
        const TGraphPoint p[3] = {{x, y + h}, {x - h, y - h}, {x - h + s, y - h}};
        const int n = 3;
        canvas.PolyPolygon(p, &n, 1, TFillRule::frAlternate);
        break;
    }
    case TMarkerShape::msDiamond: {
        const TGraphPoint p[4] = {
            {x, y - h}, {x - h, y}, {x - h + s - h, y - h + s}, {x - h + s, y - h + s - h}};
        const int n = 4;
        canvas.PolyPolygon(p, &n, 1, TFillRule::frAlternate);
        break;
    }
    }
}

void TXYMarkerSeries::SetSeriesColor(TColor color) {
    TXYLineSeries::SetSeriesColor(color);
    LinePen.Color = color;
    Marker.Brush.Color = color;
}

void TXYMarkerSeries::DrawLegendSymbol(TGraphCanvas& canvas, int x, int y, int length,
                                       const TGraphPen& pen) {
    if (Joined || !Marker.Visible) TXYLineSeries::DrawLegendSymbol(canvas, x, y, length, pen);
    if (!Marker.Visible) return;
    canvas.SetPen(Marker.Pen);
    canvas.SetBrush(Marker.Brush);
    DrawMarkerSymbol(canvas, Marker, x + length / 2, y);
}

void TXYMarkerSeries::Draw(TGraphCanvas& canvas) {
    if (Joined) DrawLines(canvas);
    if (!Marker.Visible) return;
    canvas.SetPen(Marker.Pen);
    canvas.SetBrush(Marker.Brush);
    for (const TPixel& p : Pixels()) {
        if (!p.Valid() || !FPlot.Contains(p.X, p.Y)) continue;
        const TGraphPoint q = Round(p);
        DrawMarkerSymbol(canvas, Marker, q.X, q.Y);
    }
}

int TXYArrowSeries::AddArrow(long double x, long double y, long double x2, long double y2) {
    const int index = Count();
    FX2.SetCount(index);
    FY2.SetCount(index);
    FX2.Add(x2);
    FY2.Add(y2);
    return AddXY(x, y) < 0 ? -1 : index;
}

void TXYArrowSeries::Draw(TGraphCanvas& canvas) {
    canvas.SetPen(LinePen);
    canvas.SetBrush(kNoBrush);
    const int n = std::min({Count(), FX2.Count(), FY2.Count()});
    const std::vector<TPixel>& from = Pixels();
    for (int i = 0; i < n; ++i) {
        TPixel a = from[static_cast<std::size_t>(i)];
        TPixel b = MapPoint(FX2[i], FY2[i]);
        if (!a.Valid() || !b.Valid()) continue;
        const TPixel tip = b;
        const TPixel tail = a;
        if (ClipSegment(FPlot, a, b, false) < 0) continue;
        canvas.Line(Round(a).X, Round(a).Y, Round(b).X, Round(b).Y);
        if (!FPlot.Contains(tip.X, tip.Y)) continue;
        const long double phi = std::atan2(-(static_cast<long double>(tip.Y) - tail.Y),
                                           static_cast<long double>(tip.X) - tail.X);
        const TGraphPoint t = Round(tip);
        auto barb = [&](long double theta) {
            return TGraphPoint{t.X + RoundSym(FArrowSize * std::cos(theta)),
                               t.Y - RoundSym(FArrowSize * std::sin(theta))};
        };
        const TGraphPoint head[3] = {barb(phi + kPi * 150 / 180), t, barb(phi - kPi * 150 / 180)};
        canvas.Polyline(head, 3);
    }
}

void TXYArrowSeries::Clear() {
    FX2.Clear();
    FY2.Clear();
    TXYLineSeries::Clear();
}

bool TXYArrowSeries::Delete(int index) {
    if (index < 0 || index >= Count()) return TXYLineSeries::Delete(index);
    if (index < FX2.Count()) FX2.Delete(index);
    if (index < FY2.Count()) FY2.Delete(index);
    return TXYLineSeries::Delete(index);
}

void TXYArrowSeries::SaveToStream(std::string& out) const {
    TXYLineSeries::SaveToStream(out);
    WriteList(out, FX2);
    WriteList(out, FY2);
}

bool TXYArrowSeries::LoadFromStream(std::string_view data, std::size_t& pos) {
    std::size_t at = pos;
    TGraphValueList x2;
    TGraphValueList y2;
    TXYArrowSeries probe;
    if (!probe.TXYLineSeries::LoadFromStream(data, at) || !ReadList(data, at, x2) ||
        !ReadList(data, at, y2))
        return false;
    TXYLineSeries::LoadFromStream(data, pos);
    FX2 = std::move(x2);
    FY2 = std::move(y2);
    pos = at;
    return true;
}

void TXYArrowSeries::UpdateMinMax(TAxisScale xScale, TAxisScale yScale) {
    TXYLineSeries::UpdateMinMax(xScale, yScale);
    FX2.UpdateMinMax(xScale);
    FY2.UpdateMinMax(yScale);
}

long double TXYArrowSeries::XMin() {
    long double m = FXValues.Min();
    ExtendMin(m, FX2.Min());
    return m;
}
long double TXYArrowSeries::XMax() {
    long double m = FXValues.Max();
    ExtendMax(m, FX2.Max());
    return m;
}
long double TXYArrowSeries::YMin() {
    long double m = FYValues.Min();
    ExtendMin(m, FY2.Min());
    return m;
}
long double TXYArrowSeries::YMax() {
    long double m = FYValues.Max();
    ExtendMax(m, FY2.Max());
    return m;
}

void TXYBubbleSeries::SetBrush(const TGraphBrush& brush) {
    Brush = brush;
    TXYGraphSeries::SetSeriesColor(brush.Color);
}

void TXYBubbleSeries::SetSeriesColor(TColor color) {
    TXYGraphSeries::SetSeriesColor(color);
    Brush.Color = color;
}

int TXYBubbleSeries::AddBubble(long double x, long double y, long double size) {
    FSizes.SetCount(Count());
    FSizes.Add(size);
    return AddXY(x, y);
}

void TXYBubbleSeries::Draw(TGraphCanvas& canvas) {
    const int n = std::min(Count(), FSizes.Count());
    FSizes.UpdateMinMax(TAxisScale::asNormal);
    const long double largest = FSizes.Max();
    if (!(largest > 0) || ParentGraph() == nullptr) return;
    const TXYGraph& g = *ParentGraph();
    const long double a =
        FMaxSizeRate / 100 * std::min(g.XAxis.Box().Width(), g.YAxis.Box().Width());
    canvas.SetPen(Pen);
    canvas.SetBrush(Brush);
    const std::vector<TPixel>& px = Pixels();
    for (int i = 0; i < n; ++i) {
        const TPixel& p = px[static_cast<std::size_t>(i)];
        if (!p.Valid() || !(FSizes[i] > 0)) continue;
        const long double radius = std::round(a * FSizes[i] / largest);
        if (!std::isfinite(radius) || std::fabs(p.X) > 1e7 || std::fabs(p.Y) > 1e7) continue;
        const int r = static_cast<int>(std::min<long double>(radius, 1e6L));
        const TGraphPoint c = Round(p);
        canvas.Ellipse({c.X - r, c.Y - r, c.X + r, c.Y + r});
    }
}

void TXYBubbleSeries::Clear() {
    FSizes.Clear();
    TXYGraphSeries::Clear();
}

bool TXYBubbleSeries::Delete(int index) {
    if (index >= 0 && index < FSizes.Count() && index < Count()) FSizes.Delete(index);
    return TXYGraphSeries::Delete(index);
}

void TXYBubbleSeries::SaveToStream(std::string& out) const {
    TXYGraphSeries::SaveToStream(out);
    WriteList(out, FSizes);
}

bool TXYBubbleSeries::LoadFromStream(std::string_view data, std::size_t& pos) {
    std::size_t at = pos;
    TXYBubbleSeries probe;
    TGraphValueList sizes;
    if (!probe.TXYGraphSeries::LoadFromStream(data, at) || !ReadList(data, at, sizes)) return false;
    TXYGraphSeries::LoadFromStream(data, pos);
    FSizes = std::move(sizes);
    pos = at;
    return true;
}

int TXYErrorBarSeries::AddError(long double x, long double y, long double lower,
                                long double upper) {
    FLower.SetCount(Count());
    FUpper.SetCount(Count());
    FLower.Add(lower);
    FUpper.Add(upper);
    return AddXY(x, y);
}

void TXYErrorBarSeries::Draw(TGraphCanvas& canvas) {
    if (Joined) DrawLines(canvas);
    canvas.SetPen(Pen);
    canvas.SetBrush(kNoBrush);
    const int n = std::min({Count(), FLower.Count(), FUpper.Count()});
    const int half = FBarSize / 2;
    for (int i = 0; i < n; ++i) {
        const long double x = FXValues[i];
        const long double y = FYValues[i];
        const long double lower = FLower[i];
        const long double upper = FUpper[i];
        TPixel lo = MapPoint(x, lower > 0 ? y - lower : y);
        TPixel hi = MapPoint(x, upper > 0 ? y + upper : y);
        if (!lo.Valid() || !hi.Valid()) continue;
        const bool loInside = FPlot.Contains(lo.X, lo.Y);
        const bool hiInside = FPlot.Contains(hi.X, hi.Y);
        if (ClipSegment(FPlot, lo, hi, false) < 0) continue;
        std::vector<TGraphPoint> pts{Round(lo), Round(hi)};
        if (lower > 0 && loInside) {
            const TGraphPoint p = Round(lo);
            pts.push_back({p.X - half, p.Y});
            pts.push_back({p.X - half + FBarSize, p.Y});
        }
        if (upper > 0 && hiInside) {
            const TGraphPoint p = Round(hi);
            pts.push_back({p.X - half, p.Y});
            pts.push_back({p.X - half + FBarSize, p.Y});
        }
        const int counts[3] = {2, 2, 2};
        canvas.PolyPolyline(pts.data(), counts, static_cast<int>(pts.size() / 2));
    }
}

void TXYErrorBarSeries::Clear() {
    FLower.Clear();
    FUpper.Clear();
    TXYLineSeries::Clear();
}

bool TXYErrorBarSeries::Delete(int index) {
    if (index >= 0 && index < Count()) {
        if (index < FLower.Count()) FLower.Delete(index);
        if (index < FUpper.Count()) FUpper.Delete(index);
    }
    return TXYLineSeries::Delete(index);
}

void TXYErrorBarSeries::SaveToStream(std::string& out) const {
    TXYLineSeries::SaveToStream(out);
    WriteList(out, FLower);
    WriteList(out, FUpper);
}

bool TXYErrorBarSeries::LoadFromStream(std::string_view data, std::size_t& pos) {
    std::size_t at = pos;
    TXYErrorBarSeries probe;
    TGraphValueList lower;
    TGraphValueList upper;
    if (!probe.TXYLineSeries::LoadFromStream(data, at) || !ReadList(data, at, lower) ||
        !ReadList(data, at, upper))
        return false;
    TXYLineSeries::LoadFromStream(data, pos);
    FLower = std::move(lower);
    FUpper = std::move(upper);
    pos = at;
    return true;
}

long double TXYErrorBarSeries::YMin() {
    const int i = FYValues.MinIndex();
    long double m = FYValues.Min();
    if (i >= 0 && i < FLower.Count() && FLower[i] > 0) m -= FLower[i];
    return m;
}

long double TXYErrorBarSeries::YMax() {
    const int i = FYValues.MaxIndex();
    long double m = FYValues.Max();
    if (i >= 0 && i < FUpper.Count() && FUpper[i] > 0) m += FUpper[i];
    return m;
}

void TXYPolyPolygonSeries::SetBrush(const TGraphBrush& brush) {
    Brush = brush;
    TXYLineSeries::SetSeriesColor(brush.Color);
}

void TXYPolyPolygonSeries::SetSeriesColor(TColor color) {
    TXYLineSeries::SetSeriesColor(color);
    Brush.Color = color;
}

void TXYPolyPolygonSeries::AddPolygon(
    const std::vector<std::pair<long double, long double>>& points) {
    for (const auto& [x, y] : points)
        AddXY(x, y);
    CountList.Add(static_cast<std::int32_t>(points.size()));
}

std::vector<std::pair<int, int>> TXYPolyPolygonSeries::PolygonSpans() const {
    std::vector<std::pair<int, int>> spans;
    int at = 0;
    const int total = std::min(FXValues.Count(), FYValues.Count());
    for (int i = 0; i < CountList.Count() && at < total; ++i) {
        const int n = std::clamp<int>(CountList[i], 0, total - at);
        spans.emplace_back(at, n);
        at += n;
    }
    return spans;
}

void TXYPolyPolygonSeries::ClippedPolygons(int firstPolygon, int polygons,
                                           std::vector<TGraphPoint>& points,
                                           std::vector<int>& counts) {
    const auto spans = PolygonSpans();
    const std::vector<TPixel>& px = Pixels();
    const int end = std::min<int>(static_cast<int>(spans.size()), firstPolygon + polygons);
    for (int k = std::max(0, firstPolygon); k < end; ++k) {
        const auto [start, n] = spans[static_cast<std::size_t>(k)];
        std::vector<TPixel> poly(px.begin() + start, px.begin() + start + n);
        poly = ClipPolygon(FPlot, std::move(poly));
        if (poly.size() < 2) continue;
        for (const TPixel& p : poly)
            points.push_back(Round(p));
        counts.push_back(static_cast<int>(poly.size()));
    }
}

void TXYPolyPolygonSeries::Draw(TGraphCanvas& canvas) {
    std::vector<TGraphPoint> points;
    std::vector<int> counts;
    ClippedPolygons(0, CountList.Count(), points, counts);
    if (counts.empty()) return;
    canvas.SetPen(LinePen);
    canvas.SetBrush(Brush);
    canvas.PolyPolygon(points.data(), counts.data(), static_cast<int>(counts.size()),
                       TFillRule::frAlternate);
}

void TXYPolyPolygonSeries::Clear() {
    CountList.Clear();
    TXYLineSeries::Clear();
}

void TXYPolyPolygonSeries::SaveToStream(std::string& out) const {
    TXYLineSeries::SaveToStream(out);
    WriteList(out, CountList);
}

bool TXYPolyPolygonSeries::LoadFromStream(std::string_view data, std::size_t& pos) {
    std::size_t at = pos;
    TXYPolyPolygonSeries probe;
    TGraphIntegerList counts;
    if (!probe.TXYLineSeries::LoadFromStream(data, at) || !ReadList(data, at, counts)) return false;
    TXYLineSeries::LoadFromStream(data, pos);
    CountList = std::move(counts);
    pos = at;
    return true;
}

void TXYPolyPolyLineSeries::SetSeriesColor(TColor color) {
    TXYLineSeries::SetSeriesColor(color);
    LinePen.Color = color;
}

void TXYPolyPolyLineSeries::Draw(TGraphCanvas& canvas) {
    std::vector<int> counts;
    canvas.SetPen(LinePen);
    canvas.SetBrush(kNoBrush);
    if (canvas.Fractional()) {
        std::vector<TGraphPointF> points;
        for (const auto& [start, n] : PolygonSpans())
            BuildLines(start, n, points, counts);
        if (!counts.empty())
            canvas.PolyPolylineF(points.data(), counts.data(), static_cast<int>(counts.size()));
        return;
    }
    std::vector<TGraphPoint> points;
    for (const auto& [start, n] : PolygonSpans())
        BuildLines(start, n, points, counts);
    if (!counts.empty())
        canvas.PolyPolyline(points.data(), counts.data(), static_cast<int>(counts.size()));
}

void TXYInequalSeries::Draw(TGraphCanvas& canvas) {
    std::vector<TPolyGroup> groups;
    int polygon = 0;
    const int polygons = CountList.Count();
    for (int g = 0; g < GroupList.Count() && polygon < polygons; ++g) {
        const int n = std::clamp<int>(GroupList[g], 0, polygons - polygon);
        TPolyGroup group;
        ClippedPolygons(polygon, n, group.Points, group.Counts);
        polygon += n;
        groups.push_back(std::move(group));
    }
    canvas.SetPen(LinePen);
    canvas.SetBrush(kNoBrush);
    for (const TPolyGroup& group : groups) {
        std::vector<TGraphPoint> rings;
        std::vector<int> counts;
        std::size_t at = 0;
        for (int c : group.Counts) {
            rings.insert(rings.end(), group.Points.begin() + static_cast<long>(at),
                         group.Points.begin() + static_cast<long>(at) + c);
            rings.push_back(group.Points[at]);
            counts.push_back(c + 1);
            at += static_cast<std::size_t>(c);
        }
        if (!counts.empty())
            canvas.PolyPolyline(rings.data(), counts.data(), static_cast<int>(counts.size()));
    }
    if (groups.empty()) return;
    canvas.SetPen({LinePen.Color, 1, TPenStyle::psClear});
    canvas.SetBrush(Brush);
    canvas.FillIntersection(groups);
}

void TXYInequalSeries::Clear() {
    GroupList.Clear();
    TXYPolyPolygonSeries::Clear();
}

void TXYInequalSeries::SaveToStream(std::string& out) const {
    TXYPolyPolygonSeries::SaveToStream(out);
    WriteList(out, GroupList);
}

bool TXYInequalSeries::LoadFromStream(std::string_view data, std::size_t& pos) {
    std::size_t at = pos;
    TXYInequalSeries probe;
    TGraphIntegerList groups;
    if (!probe.TXYPolyPolygonSeries::LoadFromStream(data, at) || !ReadList(data, at, groups))
        return false;
    TXYPolyPolygonSeries::LoadFromStream(data, pos);
    GroupList = std::move(groups);
    pos = at;
    return true;
}

const std::vector<TSeriesKind>& SeriesKinds() {
    static const std::vector<TSeriesKind> kinds = {
        {"折れ線", [] { return std::unique_ptr<TXYGraphSeries>(new TXYLineSeries); }},
        {"散布図", [] { return std::unique_ptr<TXYGraphSeries>(new TXYMarkerSeries); }},
        {"矢印", [] { return std::unique_ptr<TXYGraphSeries>(new TXYArrowSeries); }},
        {"泡", [] { return std::unique_ptr<TXYGraphSeries>(new TXYBubbleSeries); }},
        {"エラーバー", [] { return std::unique_ptr<TXYGraphSeries>(new TXYErrorBarSeries); }},
    };
    return kinds;
}

}  // namespace rekna
