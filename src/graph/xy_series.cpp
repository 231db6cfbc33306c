// The series base, segment clipping and the line series' polylines with gaps and poles.
#include "graph/xy_series.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "graph/xy_graph.h"
#include "platform/cp932.h"

namespace rekna {

bool TPixel::Valid() const noexcept {
    return std::isfinite(X) && std::isfinite(Y);
}

namespace {

enum : int { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

int OutCode(const TPlotBounds& r, const TPixel& p) {
    int code = 0;
    if (p.X < r.Left) code |= kLeft;
    if (p.X > r.Right) code |= kRight;
    if (p.Y < r.Top) code |= kAbove;
    if (p.Y > r.Bottom) code |= kBelow;
    return code;
}

// Moves p along the segment from the other end onto the edge its code crosses first.
void MoveOntoEdge(const TPlotBounds& r, TPixel& p, const TPixel& other, int code) {
    const long double dx = static_cast<long double>(p.X) - other.X;
    const long double dy = static_cast<long double>(p.Y) - other.Y;
    long double x = p.X;
    long double y = p.Y;
    if (code & kBelow) {
        x = other.X + dx * (r.Bottom - other.Y) / dy;
        y = r.Bottom;
    } else if (code & kAbove) {
        x = other.X + dx * (r.Top - other.Y) / dy;
        y = r.Top;
    } else if (code & kRight) {
        y = other.Y + dy * (r.Right - other.X) / dx;
        x = r.Right;
    } else if (code & kLeft) {
        y = other.Y + dy * (r.Left - other.X) / dx;
        x = r.Left;
    }
    p.X = static_cast<double>(x);
    p.Y = static_cast<double>(y);
}

TGraphPoint Round(const TPixel& p) {
    return {static_cast<std::int32_t>(std::lround(p.X)),
            static_cast<std::int32_t>(std::lround(p.Y))};
}

// Collects polylines. On whole pixels it drops repeated pixels and closes each polyline with a
// one-pixel stub, as a pixel line leaves out its last pixel; in fractions of a pixel (two
// decimals) it drops only repeated points.
template <typename TPoint> class TLineBuilder {
public:
    TLineBuilder(std::vector<TPoint>& points, std::vector<int>& counts)
        : FPoints(points), FCounts(counts) {}

    [[nodiscard]] bool Open() const noexcept { return FOpen; }
    void Begin() noexcept { FOpen = true; }
    void Abandon() {
        if (Pending() > 0) Close();
        FOpen = false;
    }
    void Add(const TPixel& p) {
        const TPoint q = Convert(p);
        FOpen = true;
        if (Pending() > 0 && FPoints.back() == q) return;
        FPoints.push_back(q);
    }
    void Close() {
        const int n = Pending();
        FOpen = false;
        if (n == 0) return;
        if (n == 1) FPoints.push_back(FPoints.back());
        if constexpr (std::is_same_v<TPoint, TGraphPoint>) {
            const TGraphPoint last = FPoints.back();
            FPoints.push_back({last.X, last.Y + 1});
        }
        FCounts.push_back(static_cast<int>(FPoints.size()) - FStart);
        FStart = static_cast<int>(FPoints.size());
    }

private:
    [[nodiscard]] static TPoint Convert(const TPixel& p) {
        if constexpr (std::is_same_v<TPoint, TGraphPoint>) {
            return Round(p);
        } else {
            return {std::round(p.X * 100) / 100, std::round(p.Y * 100) / 100};
        }
    }
    [[nodiscard]] int Pending() const noexcept { return static_cast<int>(FPoints.size()) - FStart; }

    std::vector<TPoint>& FPoints;
    std::vector<int>& FCounts;
    int FStart = static_cast<int>(FPoints.size());
    bool FOpen = false;
};

// Ratio a / b, NaN when b is zero.
double Ratio(double a, double b) {
    return b == 0 ? NAN : a / b;
}

}  // namespace

int ClipSegment(const TPlotBounds& r, TPixel& a, TPixel& b, bool discontinue, bool* startMoved) {
    int c0 = OutCode(r, a);
    int c1 = OutCode(r, b);
    int result = c1 == 0 ? 1 : 0;
    bool moved = false;
    // Each pass moves one end onto an edge; four passes settle any segment.
    for (int pass = 0; (c0 | c1) != 0 && pass < 8; ++pass) {
        if ((c0 & c1) != 0) {
            result = -1;
            break;
        }
        if (c0 != 0) {
            MoveOntoEdge(r, a, b, c0);
            c0 = OutCode(r, a);
            moved = true;
        } else {
            MoveOntoEdge(r, b, a, c1);
            c1 = OutCode(r, b);
        }
    }
    if ((c0 | c1) != 0) result = -1;
    if (moved && discontinue) result = -1;
    if (startMoved != nullptr) *startMoved = moved;
    return result;
}

TXYGraphSeries::TXYGraphSeries() = default;

TXYGraphSeries::~TXYGraphSeries() = default;

void TXYGraphSeries::SetZOrder(int order) {
    const int top = FGraph != nullptr ? FGraph->SeriesCount() - 1 : order;
    FZOrder = std::clamp(order, 0, std::max(0, top));
}

void TXYGraphSeries::SetSeriesColor(TColor color) {
    FSeriesColor = color;
}

int TXYGraphSeries::AddXY(long double x, long double y) {
    const int index = FYValues.Add(y);
    if (index < 0) return -1;
    if (FXValues.Count() > index) {
        FXValues[index] = x;
        FXValues.SetCount(index + 1);
    } else {
        FXValues.SetCount(index);
        FXValues.Add(x);
    }
    FPixelStamp = 0;
    if (OnAddPoint) OnAddPoint(*this, index);
    Changed();
    return index;
}

void TXYGraphSeries::Clear() {
    FXValues.Clear();
    FYValues.Clear();
    SeriesMarker = {};
    FPixelStamp = 0;
    Changed();
}

bool TXYGraphSeries::Delete(int index) {
    if (index < 0 || index >= Count()) {
        FYValues.Delete(index);
        return false;
    }
    if (index < FXValues.Count()) FXValues.Delete(index);
    FYValues.Delete(index);
    FPixelStamp = 0;
    Changed();
    return true;
}

void TXYGraphSeries::SaveToStream(std::string& out) const {
    WriteList(out, FXValues);
    WriteList(out, FYValues);
}

bool TXYGraphSeries::LoadFromStream(std::string_view data, std::size_t& pos) {
    TGraphValueList x;
    TGraphValueList y;
    std::size_t at = pos;
    if (!ReadList(data, at, x) || !ReadList(data, at, y)) return false;
    if (x.Count() != y.Count()) return false;
    FXValues = std::move(x);
    FYValues = std::move(y);
    FPixelStamp = 0;
    pos = at;
    return true;
}

bool TXYGraphSeries::FillSampleData(int n, std::string* error) {
    if (FGraph == nullptr) {
        if (error != nullptr) *error = Title + SysText(" は親グラフを持っていません");
        return false;
    }
    Clear();
    std::uint32_t seed = 12345;
    long double y = 0;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        y += static_cast<long double>(seed >> 8) / (1u << 24) - 0.5L;
        AddXY(i, y);
    }
    return true;
}

long double TXYGraphSeries::XMin() {
    return FXValues.Min();
}
long double TXYGraphSeries::XMax() {
    return FXValues.Max();
}
long double TXYGraphSeries::YMin() {
    return FYValues.Min();
}
long double TXYGraphSeries::YMax() {
    return FYValues.Max();
}

void TXYGraphSeries::UpdateMinMax(TAxisScale xScale, TAxisScale yScale) {
    FXValues.UpdateMinMax(xScale);
    FYValues.UpdateMinMax(yScale);
}

void TXYGraphSeries::Draw(TGraphCanvas&) {}

void TXYGraphSeries::DrawMarker(TGraphCanvas&) {}

TGraphPen TXYGraphSeries::LegendPen() const {
    return {FSeriesColor, 1, TPenStyle::psSolid};
}

void TXYGraphSeries::DrawLegendSymbol(TGraphCanvas& canvas, int x, int y, int length,
                                      const TGraphPen& pen) {
    canvas.SetPen(pen);
    canvas.Line(x, y, x + length, y);
}

TGraphAxis* TXYGraphSeries::XAxis() const noexcept {
    return FGraph != nullptr ? &FGraph->XAxis : nullptr;
}

TGraphAxis* TXYGraphSeries::YAxis() const noexcept {
    if (FGraph == nullptr) return nullptr;
    return ZAxis ? &FGraph->ZAxis : &FGraph->YAxis;
}

TPixel TXYGraphSeries::MapPoint(long double x, long double y) const {
    const TGraphAxis* xa = XAxis();
    const TGraphAxis* ya = YAxis();
    if (xa == nullptr || ya == nullptr) return {NAN, NAN};
    const long double px = xa->ValueToPixel(x);
    if (std::isnan(px)) return {NAN, NAN};
    return {static_cast<double>(px), static_cast<double>(ya->ValueToPixel(y))};
}

const std::vector<TPixel>& TXYGraphSeries::Pixels() {
    const unsigned stamp = FGraph != nullptr ? FGraph->LayoutStamp() : 0;
    const int n = std::min(FXValues.Count(), FYValues.Count());
    if (FPixelStamp != stamp || stamp == 0 || static_cast<int>(FPixels.size()) != n) {
        FPixels.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            FPixels[static_cast<std::size_t>(i)] = MapPoint(FXValues[i], FYValues[i]);
        FPixelStamp = stamp;
    }
    return FPixels;
}

void TXYLineSeries::BuildLines(int first, int n, std::vector<TGraphPoint>& points,
                               std::vector<int>& counts) {
    BuildLinesOf(first, n, points, counts);
}

void TXYLineSeries::BuildLines(int first, int n, std::vector<TGraphPointF>& points,
                               std::vector<int>& counts) {
    BuildLinesOf(first, n, points, counts);
}

template <typename TPoint>
void TXYLineSeries::BuildLinesOf(int first, int n, std::vector<TPoint>& points,
                                 std::vector<int>& counts) {
    const std::vector<TPixel>& px = Pixels();
    const int total = static_cast<int>(px.size());
    first = std::clamp(first, 0, total);
    const int last = std::min(total, first + std::max(0, n)) - 1;
    const TGraphAxis* ya = YAxis();
    const bool poles = AutoDivide && ya != nullptr && !ya->IsLog();
    const double y0 = poles ? static_cast<double>(ya->ValueToPixel(0)) : 0;
    const double farBelow = static_cast<double>(2 * FPlot.Bottom - FPlot.Top);
    const double farAbove = static_cast<double>(2 * FPlot.Top - FPlot.Bottom);
    auto row = [&](int k) {
        return k < first || k > last ? NAN : px[static_cast<std::size_t>(k)].Y;
    };
    auto farRow = [&](double y) { return y > y0 ? farBelow : farAbove; };

    TLineBuilder<TPoint> line(points, counts);
    bool carryPole = false;
    for (int i = first; i < last; ++i) {
        TPixel a = px[static_cast<std::size_t>(i)];
        TPixel b = px[static_cast<std::size_t>(i) + 1];
        const bool pole = carryPole;
        carryPole = false;
        if (!b.Valid()) {
            if (a.Valid() && line.Open()) {
                line.Add(a);
                line.Close();
            }
            line.Abandon();
            continue;
        }
        if (!a.Valid()) {
            line.Abandon();
            line.Begin();
            continue;
        }
        if (pole) a.Y = farRow(b.Y);
        if (poles && std::isfinite(y0) && (row(i) - y0) * (row(i + 1) - y0) < 0) {
            const double j = row(i + 1) - row(i);
            const double p1 = row(i - 1) - row(i);
            const double p2 = row(i - 2) - row(i - 1);
            const double n1 = row(i + 2) - row(i + 1);
            const double n2 = row(i + 3) - row(i + 2);
            bool ok = true;
            bool complete = false;
            if (!std::isnan(row(i - 1))) {
                ok = ok && Ratio(j, p1) > 1;
                if (!std::isnan(row(i - 2))) {
                    ok = ok && Ratio(p1, p2) > 2;
                    complete = true;
                }
            }
            if (!std::isnan(row(i + 2))) {
                ok = ok && Ratio(-j, n1) > 1;
                if (!std::isnan(row(i + 3))) {
                    ok = ok && Ratio(n1, n2) > 2;
                    complete = true;
                }
            }
            if (ok && complete) {
                b.Y = farRow(row(i));
                carryPole = true;
            }
        }
        const int result = ClipSegment(FPlot, a, b, DisContinue);
        if (result < 0) {
            line.Abandon();
            continue;
        }
        line.Add(a);
        if (result == 0 || i + 1 == last) {
            line.Add(b);
            line.Close();
        }
    }
    line.Abandon();
}

void TXYLineSeries::DrawLines(TGraphCanvas& canvas) {
    std::vector<int> counts;
    if (canvas.Fractional()) {
        std::vector<TGraphPointF> points;
        BuildLines(0, Count(), points, counts);
        if (counts.empty()) return;
        canvas.SetPen(LinePen);
        canvas.SetBrush({clWhite, TBrushStyle::bsClear});
        canvas.PolyPolylineF(points.data(), counts.data(), static_cast<int>(counts.size()));
        return;
    }
    std::vector<TGraphPoint> points;
    BuildLines(0, Count(), points, counts);
    if (counts.empty()) return;
    canvas.SetPen(LinePen);
    canvas.SetBrush({clWhite, TBrushStyle::bsClear});
    canvas.PolyPolyline(points.data(), counts.data(), static_cast<int>(counts.size()));
}

void TXYLineSeries::Draw(TGraphCanvas& canvas) {
    DrawLines(canvas);
}

void TXYLineSeries::DrawMarker(TGraphCanvas& canvas) {
    TXYGraph* graph = ParentGraph();
    if (!SeriesMarker.Shown || graph == nullptr) return;
    const TPixel p = MapPoint(SeriesMarker.X, SeriesMarker.Y);
    if (!p.Valid()) return;
    graph->DrawMarkerBox(canvas, p, graph->MarkerStyle.Auto ? SeriesColor() : LinePen.Color);
}

}  // namespace rekna
