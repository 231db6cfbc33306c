// Zooming, scrolling and markers of the graph, driven by the view's mouse events.
#include <algorithm>
#include <cmath>
#include <limits>

#include "graph/xy_graph.h"

namespace rekna {

namespace {

// The pixel distance a drag must pass, on both axes, to zoom.
constexpr int kZoomThreshold = 10;

// Only the given button is down and no modifier is held.
bool Alone(TMouseButton button, const TShiftState& s) {
    if (s.Shift || s.Ctrl || s.Alt) return false;
    const int others = (s.Left && button != TMouseButton::mbLeft ? 1 : 0) +
                       (s.Right && button != TMouseButton::mbRight ? 1 : 0) +
                       (s.Middle && button != TMouseButton::mbMiddle ? 1 : 0);
    return others == 0;
}

std::string Trim(std::string s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

// The name before the first "(" of an axis title, and the unit inside the parentheses.
void SplitTitle(const std::string& title, std::string& name, std::string& unit) {
    const auto open = title.find('(');
    name = Trim(title.substr(0, open));
    unit.clear();
    if (open != std::string::npos) {
        const auto close = title.find(')', open + 1);
        unit = title.substr(open + 1,
                            close == std::string::npos ? std::string::npos : close - open - 1);
    }
}

}  // namespace

TGraphRect TXYGraph::DragRect() const noexcept {
    return {std::min(FDownX, FLastX), std::min(FDownY, FLastY), std::max(FDownX, FLastX),
            std::max(FDownY, FLastY)};
}

void TXYGraph::MouseDown(TMouseButton button, int x, int y, const TShiftState& shift) {
    if (!Enabled || Busy) return;
    FDownX = FLastX = x;
    FDownY = FLastY = y;
    if (Options.AutoZoom && button == Options.AutoZoomButton && Alone(button, shift)) {
        FDrag = TGraphDrag::gdZooming;
        return;
    }
    if (Options.AutoScroll && button == Options.AutoScrollButton && Alone(button, shift)) {
        FDrag = TGraphDrag::gdScrolling;
        const TGraphRect& r = FPlotRect;
        const bool inX = x >= r.Left && x <= r.Right;
        const bool inY = y >= r.Top && y <= r.Bottom;
        FScroll = {};
        if (inX && inY) {
            FScroll = {true, true, true};
        } else if (inX) {
            FScroll.X = true;
        } else if (x < r.Left) {
            FScroll.Y = true;
            FScroll.X = !inY;
        } else {
            FScroll.Z = true;
            FScroll.X = !inY;
        }
    }
}

void TXYGraph::ScrollAxis(TGraphAxis& axis, int from, int to) {
    const long double a = axis.PixelToValue(from);
    const long double b = axis.PixelToValue(to);
    if (axis.IsLog()) {
        const long double ratio = b / a;
        if (!(ratio > 0) || !std::isfinite(ratio)) return;
        axis.SetViewRange(axis.Min() / ratio, axis.Max() / ratio);
    } else {
        const long double d = b - a;
        axis.SetViewRange(axis.Min() - d, axis.Max() - d);
    }
}

void TXYGraph::MouseMove(int x, int y, const TShiftState& shift) {
    if (!Enabled || Busy) return;
    switch (FDrag) {
    case TGraphDrag::gdZooming:
        FLastX = x;
        FLastY = y;
        return;
    case TGraphDrag::gdScrolling:
        if (FScroll.X) ScrollAxis(XAxis, FLastX, x);
        if (FScroll.Y) ScrollAxis(YAxis, FLastY, y);
        if (FScroll.Z) ScrollAxis(ZAxis, FLastY, y);
        FLastX = x;
        FLastY = y;
        Changed();
        if (OnScroll) OnScroll();
        Invalidate();
        return;
    case TGraphDrag::gdIdle: break;
    }
    if (SeriesCount() > 0) {
        const bool shiftOnly = shift.Shift && !shift.Ctrl && !shift.Alt;
        SetMarkerAt(x, y, shiftOnly);
    }
}

void TXYGraph::ZoomAxis(TGraphAxis& axis, int p0, int p1, bool zoomIn) {
    long double a = axis.PixelToValue(p0);
    long double b = axis.PixelToValue(p1);
    if (a > b) std::swap(a, b);
    if (zoomIn) {
        axis.SetViewRange(a, b);
        return;
    }
    if (axis.IsLog()) {
        if (!(a > 0) || !(b > a)) return;
        const long double la = std::log10(a);
        const long double lb = std::log10(b);
        const long double lmin = std::log10(axis.Min());
        const long double lmax = std::log10(axis.Max());
        const long double g = (lmax - lmin) / (lb - la);
        axis.SetViewRange(std::pow(10.0L, lmin + g * (lmin - la)),
                          std::pow(10.0L, lmax + g * (lmax - lb)));
        return;
    }
    if (!(b > a)) return;
    const long double g = (axis.Max() - axis.Min()) / (b - a);
    axis.SetViewRange(axis.Min() + g * (axis.Min() - a), axis.Max() + g * (axis.Max() - b));
}

void TXYGraph::MouseUp(TMouseButton button, int x, int y, const TShiftState& shift) {
    const TGraphDrag drag = FDrag;
    FDrag = TGraphDrag::gdIdle;
    if (!Enabled || Busy) return;
    (void)button;
    (void)shift;
    if (drag == TGraphDrag::gdZooming) {
        const int dx = x - FDownX;
        const int dy = y - FDownY;
        const bool right = dx > kZoomThreshold;
        const bool left = dx < -kZoomThreshold;
        const bool down = dy > kZoomThreshold;
        const bool up = dy < -kZoomThreshold;
        if ((right && down) || (left && up)) {
            const bool zoomIn = right && down;
            ZoomAxis(XAxis, FDownX, x, zoomIn);
            ZoomAxis(YAxis, FDownY, y, zoomIn);
            ZoomAxis(ZAxis, FDownY, y, zoomIn);
            Changed();
            if (OnZoom) {
                OnZoom();
            } else {
                Invalidate();
            }
            return;
        }
        if ((left && down) || (right && up)) {
            UndoZoom();
            return;
        }
    }
    if (drag != TGraphDrag::gdScrolling && SeriesCount() > 0) SetMarkerAt(x, y, true);
}

void TXYGraph::UndoZoom() {
    bool changed = XAxis.RestoreHome();
    changed = YAxis.RestoreHome() || changed;
    changed = ZAxis.RestoreHome() || changed;
    if (!changed) return;
    Changed();
    if (OnUndoZoom) {
        OnUndoZoom();
    } else {
        Invalidate();
    }
}

void TXYGraph::ClearMarkers() {
    for (auto& s : FSeries)
        s->SeriesMarker = {};
    PointMarker = {};
    FMarkerSeries = -1;
}

void TXYGraph::SetMarkerAt(int x, int y, bool keepSeries) {
    const long double vx = XAxis.PixelToValue(x);
    const long double vy = YAxis.PixelToValue(y);
    if (x < FPlotRect.Left || x > FPlotRect.Right) {
        if (MarkerStyle.Auto) ClearMarkers();
        if (OnSetMarker) OnSetMarker(vx, vy);
        Invalidate();
        return;
    }
    if (MarkerStyle.Auto) {
        PointMarker.Shown = false;
        auto usable = [](const TXYGraphSeries& s) {
            return s.Active && s.Visible && s.Count() > 0;
        };
        auto dist2 = [&](const TPixel& p) {
            const double dx = p.X - x;
            const double dy = p.Y - y;
            return dx * dx + dy * dy;
        };
        int chosen = -1;
        if (!keepSeries) {
            double best = std::numeric_limits<double>::infinity();
            for (int i = 0; i < SeriesCount(); ++i) {
                TXYGraphSeries& s = *FSeries[static_cast<std::size_t>(i)];
                if (!usable(s)) continue;
                for (const TPixel& p : s.Pixels()) {
                    if (!p.Valid()) continue;
                    const double d = dist2(p);
                    if (d < best) {
                        best = d;
                        chosen = i;
                    }
                }
            }
        } else {
            const TXYGraphSeries* kept = Series(FMarkerSeries);
            if (kept != nullptr && usable(*kept)) {
                chosen = FMarkerSeries;
            } else {
                for (int i = 0; i < SeriesCount() && chosen < 0; ++i) {
                    const TXYGraphSeries& s = *FSeries[static_cast<std::size_t>(i)];
                    if (usable(s) && s.SeriesMarker.Shown) chosen = i;
                }
                for (int i = 0; i < SeriesCount() && chosen < 0; ++i)
                    if (usable(*FSeries[static_cast<std::size_t>(i)])) chosen = i;
            }
        }
        if (chosen >= 0) {
            TXYGraphSeries& s = *FSeries[static_cast<std::size_t>(chosen)];
            const std::vector<TPixel>& pixels = s.Pixels();
            int index = -1;
            double best = std::numeric_limits<double>::infinity();
            for (std::size_t i = 0; i < pixels.size(); ++i) {
                if (!pixels[i].Valid()) continue;
                const double d = dist2(pixels[i]);
                if (d < best) {
                    best = d;
                    index = static_cast<int>(i);
                }
            }
            const double grab = MarkerStyle.GrabityLength;
            if (index >= 0 && best > grab * grab) {
                best = std::numeric_limits<double>::infinity();
                for (std::size_t i = 0; i < pixels.size(); ++i) {
                    if (!pixels[i].Valid()) continue;
                    const double d = std::fabs(pixels[i].X - x);
                    if (d < best) {
                        best = d;
                        index = static_cast<int>(i);
                    }
                }
            }
            ClearMarkers();
            if (index >= 0) {
                s.SeriesMarker = {true, s.XValues()[index], s.YValues()[index], index};
                FMarkerSeries = chosen;
            }
        }
    }
    if (OnSetMarker) OnSetMarker(vx, vy);
    Invalidate();
}

std::string TXYGraph::MarkerText() const {
    TNumberPicture picture;
    picture.Format = MarkerStyle.Format;
    picture.FormatString = MarkerStyle.FormatString;
    picture.Precision = MarkerStyle.Precision;
    picture.Digits = MarkerStyle.Digits;
    std::string text;
    for (const auto& s : FSeries) {
        if (!s->SeriesMarker.Shown) continue;
        if (text.empty()) {
            std::string name;
            std::string unit;
            SplitTitle(XAxis.Title.Text, name, unit);
            if (name.empty()) name.push_back('X');
            text.append(name).append(" =").append(FormatAxisValue(s->SeriesMarker.X, picture));
            text.append(unit);
        }
        const TGraphAxis& axis = s->ZAxis ? ZAxis : YAxis;
        std::string name;
        std::string unit;
        SplitTitle(axis.Title.Text, name, unit);
        if (!s->Title.empty()) name = s->Title;
        text.append(" , ").append(name).append(" =");
        text.append(FormatAxisValue(s->SeriesMarker.Y, picture)).append(unit);
    }
    return text;
}

}  // namespace rekna
