// The graph's series list, colours and layout.
#include "graph/xy_graph.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace rekna {

namespace {

constexpr TColor kSeriesColors[] = {clRed,    clGreen,  clBlue,  clFuchsia, clTeal,   clNavy,
                                    clMaroon, clLime,   clOlive, clPurple,  clSilver, clAqua,
                                    clBlack,  clYellow, clWhite, clGray};

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

bool Horizontal(TLegendLocation l) {
    return l == TLegendLocation::llTop || l == TLegendLocation::llBottom ||
           l == TLegendLocation::llHorizontal;
}

}  // namespace

TXYGraph::TXYGraph() {
    Legend.Font.Size = 9;
    Title.Font.Size = 11;
    Title.Font.Bold = true;
}

TXYGraph::~TXYGraph() {
    for (auto& s : FSeries)
        s->FGraph = nullptr;
}

void TXYGraph::SetSize(int width, int height) noexcept {
    FWidth = std::max(0, width);
    FHeight = std::max(0, height);
}

void TXYGraph::Adopt(std::unique_ptr<TXYGraphSeries> series) {
    if (!series) return;
    series->FGraph = this;
    if (series->FSeriesColor == kAutoSeriesColor) series->SetSeriesColor(NextSeriesColor());
    FSeries.push_back(std::move(series));
    Changed();
}

bool TXYGraph::MoveSeries(TXYGraphSeries* series, TXYGraph& to) {
    auto it = std::find_if(FSeries.begin(), FSeries.end(),
                           [&](const auto& s) { return s.get() == series; });
    if (it == FSeries.end()) return false;
    std::unique_ptr<TXYGraphSeries> owned = std::move(*it);
    FSeries.erase(it);
    owned->SeriesMarker = {};
    to.Adopt(std::move(owned));
    FMarkerSeries = -1;
    Changed();
    return true;
}

void TXYGraph::DeleteSeries(TXYGraphSeries* series) {
    auto it = std::find_if(FSeries.begin(), FSeries.end(),
                           [&](const auto& s) { return s.get() == series; });
    if (it == FSeries.end()) return;
    FSeries.erase(it);
    FMarkerSeries = -1;
    Changed();
}

TXYGraphSeries* TXYGraph::Series(int index) const noexcept {
    if (index < 0 || index >= SeriesCount()) return nullptr;
    return FSeries[static_cast<std::size_t>(index)].get();
}

TColor TXYGraph::NextSeriesColor() const {
    for (int uses = 0;; ++uses) {
        for (TColor c : kSeriesColors) {
            const auto n = std::count_if(FSeries.begin(), FSeries.end(),
                                         [&](const auto& s) { return s->SeriesColor() == c; });
            if (n == uses) return c;
        }
    }
}

void TXYGraph::Changed() noexcept {
    ++FLayoutStamp;
    if (FLayoutStamp == 0) FLayoutStamp = 1;
}

void TXYGraph::Invalidate() {
    if (OnInvalidate) OnInvalidate();
}

const TGraphRect& TXYGraph::BaseRect(TPositionBase base) const noexcept {
    switch (base) {
    case TPositionBase::pbCanvas: return FOuterRect;
    case TPositionBase::pbFrame: return FFrameRect;
    case TPositionBase::pbAxis: break;
    }
    return FPlotRect;
}

TTextSize TXYGraph::TitleSize(TGraphCanvas& canvas, const TAxisTitle& title) const {
    if (!title.Visible || title.Text.empty()) return {};
    canvas.SetFont(title.Font);
    TTextSize size = canvas.TextExtent(title.Text);
    size.Height = std::max(size.Height, title.Font.Height());
    if (title.Angle() == 90 || title.Angle() == 270) std::swap(size.Width, size.Height);
    return size;
}

std::vector<TXYGraphSeries*> TXYGraph::LegendEntries() const {
    std::vector<TXYGraphSeries*> list;
    for (const auto& s : FSeries)
        if (s->Visible && s->ShowInLegend) list.push_back(s.get());
    return list;
}

void TXYGraph::AutoScaleAxis(TGraphAxis& axis) {
    long double lo = NAN;
    long double hi = NAN;
    for (const auto& s : FSeries) {
        if (!s->Active || !s->Visible || s->Count() == 0) continue;
        const bool onZ = s->ZAxis;
        if (axis.Kind() == TAxisKind::akY && onZ) continue;
        if (axis.Kind() == TAxisKind::akZ && !onZ) continue;
        s->UpdateMinMax(XAxis.Scale(), (onZ ? ZAxis : YAxis).Scale());
        const bool x = axis.Kind() == TAxisKind::akX;
        const long double a = x ? s->XMin() : s->YMin();
        const long double b = x ? s->XMax() : s->YMax();
        if (!std::isnan(a) && (std::isnan(lo) || a < lo)) lo = a;
        if (!std::isnan(b) && (std::isnan(hi) || b > hi)) hi = b;
    }
    axis.AutoScale(false, axis.AutoMax, axis.AutoMin, lo, hi);
}

void TXYGraph::Layout(TGraphCanvas& canvas) {
    LayoutWith(canvas, FWidth - Margins.Left - Margins.Right);
    // A legend placed against a narrower rectangle than the canvas wraps at that width; the
    // legend's rows change the plot's height, never its width, so one more pass settles it.
    if (Legend.Visible && Horizontal(Legend.Location)) {
        const int room = BaseRect(Legend.Base).Width();
        if (FLegendSize.Width > room && room > 0) LayoutWith(canvas, room);
    }
}

void TXYGraph::LayoutWith(TGraphCanvas& canvas, int legendRoom) {
    FOuterRect = {Margins.Left, Margins.Top, FWidth - Margins.Right, FHeight - Margins.Bottom};
    FFrameRect = FOuterRect;

    FTitleSize = {};
    if (Title.Visible && !Title.Text.empty()) {
        canvas.SetFont(Title.Font);
        const TTextSize text = canvas.TextExtent(Title.Text);
        FTitleSize.Height = Title.Font.Height();
        FTitleSize.Width = text.Width;
        if (Title.Boxed()) {
            FTitleSize.Height += 2 * Title.FrameSpace;
            FTitleSize.Width += 4 * Title.FrameSpace;
        }
    }
    if (FTitleSize.Height > 0) FFrameRect.Top += FTitleSize.Height + Title.Margin;

    FLegendSize = {};
    FLegendBreaks.clear();
    const auto entries = LegendEntries();
    if (Legend.Visible && (!entries.empty() || !Legend.Text.empty())) {
        canvas.SetFont(Legend.Font);
        const int h = Legend.Font.Height();
        const int ll = Round(Legend.Length * h / 100.0);
        std::vector<int> widths;
        if (!Legend.Text.empty()) widths.push_back(canvas.TextExtent(Legend.Text).Width);
        for (auto* s : entries)
            widths.push_back(ll + Legend.Spacing + canvas.TextExtent(s->Title).Width);
        if (Horizontal(Legend.Location)) {
            // Items go into rows as wide as the room allows (at least one item a row).
            const int room = legendRoom - (Legend.Boxed() ? 4 * Legend.FrameSpace : 0);
            int w = 0;
            int row = 0;
            for (std::size_t i = 0; i < widths.size(); ++i) {
                const int gap = i > 0 ? 2 * Legend.Spacing : 0;
                if (i > 0 && row + gap + widths[i] > room) {
                    FLegendBreaks.push_back(i);
                    row = widths[i];
                } else {
                    row += gap + widths[i];
                }
                w = std::max(w, row);
            }
            const int rows = static_cast<int>(FLegendBreaks.size()) + 1;
            FLegendSize = {w, rows * h + (rows - 1) * Legend.Spacing};
        } else {
            int w = 0;
            for (const int width : widths)
                w = std::max(w, width);
            const int rows = static_cast<int>(widths.size());
            FLegendSize = {w, rows * h + std::max(0, rows - 1) * Legend.Spacing};
        }
        if (Legend.Boxed()) {
            FLegendSize.Width += 4 * Legend.FrameSpace;
            FLegendSize.Height += 2 * Legend.FrameSpace;
        }
        switch (Legend.Location) {
        case TLegendLocation::llTop: FFrameRect.Top += FLegendSize.Height + Legend.Margin; break;
        case TLegendLocation::llBottom:
            FFrameRect.Bottom -= FLegendSize.Height + Legend.Margin;
            break;
        case TLegendLocation::llLeft: FFrameRect.Left += FLegendSize.Width + Legend.Margin; break;
        case TLegendLocation::llRight: FFrameRect.Right -= FLegendSize.Width + Legend.Margin; break;
        default: break;
        }
    }

    FPlotRect = FFrameRect;
    if (XAxis.Visible) {
        const TTextSize t = TitleSize(canvas, XAxis.Title);
        if (t.Height > 0) FPlotRect.Bottom -= t.Height + XAxis.Title.Margin;
    }
    if (YAxis.Visible) {
        const TTextSize t = TitleSize(canvas, YAxis.Title);
        if (t.Width > 0) FPlotRect.Left += t.Width + YAxis.Title.Margin;
    }
    if (ZAxis.Visible) {
        const TTextSize t = TitleSize(canvas, ZAxis.Title);
        if (t.Width > 0) FPlotRect.Right -= t.Width + ZAxis.Title.Margin;
    }
    auto vertical = [&](const TGraphAxis& axis, bool left) {
        if (!axis.Visible || !axis.Labels.Visible) return;
        const int h = axis.Labels.Font.Height();
        const int room = Round(h * axis.Labels.Size / 100.0) + axis.Labels.Margin;
        if (left) {
            FPlotRect.Left += room;
        } else {
            FPlotRect.Right -= room;
        }
        FPlotRect.Top =
            std::max(FPlotRect.Top, FOuterRect.Top + Round(h * axis.Labels.Alignment / 1000.0));
        FPlotRect.Bottom =
            std::min(FPlotRect.Bottom,
                     FOuterRect.Bottom - Round(h * (1000 - axis.Labels.Alignment) / 1000.0));
    };
    vertical(YAxis, true);
    vertical(ZAxis, false);
    if (XAxis.Visible && XAxis.Labels.Visible) {
        const int h = XAxis.Labels.Font.Height();
        const double size = XAxis.Labels.Size;
        FPlotRect.Bottom -= h + XAxis.Labels.Margin;
        FPlotRect.Left = std::max(FPlotRect.Left,
                                  FOuterRect.Left +
                                      Round(h * size * (1000 - XAxis.Labels.Alignment) / 100000.0));
        FPlotRect.Right =
            std::min(FPlotRect.Right,
                     FOuterRect.Right - Round(h * size * XAxis.Labels.Alignment / 100000.0));
    }
    // A client too small for the margins still gives a plot of at least one pixel.
    FPlotRect.Right = std::max(FPlotRect.Right, FPlotRect.Left + 1);
    FPlotRect.Bottom = std::max(FPlotRect.Bottom, FPlotRect.Top + 1);

    XAxis.SetBox({FPlotRect.Left, FPlotRect.Bottom, FPlotRect.Right, FFrameRect.Bottom});
    YAxis.SetBox({FFrameRect.Left, FPlotRect.Top, FPlotRect.Left, FPlotRect.Bottom});
    ZAxis.SetBox({FPlotRect.Right, FPlotRect.Top, FFrameRect.Right, FPlotRect.Bottom});
    for (TGraphAxis* axis : {&XAxis, &YAxis, &ZAxis}) {
        if (axis->AutoMin || axis->AutoMax) AutoScaleAxis(*axis);
        TGraphFont font = axis->Labels.Font;
        axis->ReduceTicks([&canvas, font](std::string_view text) {
            canvas.SetFont(font);
            return canvas.TextExtent(text);
        });
    }
    // The series' pixel caches stay valid while the geometry is the same as last time.
    std::vector<long double> geometry{
        static_cast<long double>(FPlotRect.Left), static_cast<long double>(FPlotRect.Top),
        static_cast<long double>(FPlotRect.Right), static_cast<long double>(FPlotRect.Bottom)};
    for (const TGraphAxis* axis : {&XAxis, &YAxis, &ZAxis}) {
        geometry.push_back(axis->Min());
        geometry.push_back(axis->Max());
        geometry.push_back(static_cast<long double>(axis->Scale()));
    }
    if (geometry != FGeometry) {
        FGeometry = std::move(geometry);
        Changed();
    }
}

std::string TXYGraph::LayoutDump() const {
    std::ostringstream out;
    auto rect = [&](const char* name, const TGraphRect& r) {
        out << name << ' ' << r.Left << ',' << r.Top << ',' << r.Right << ',' << r.Bottom << '\n';
    };
    rect("outer", FOuterRect);
    rect("frame", FFrameRect);
    rect("plot", FPlotRect);
    rect("xbox", XAxis.Box());
    rect("ybox", YAxis.Box());
    rect("zbox", ZAxis.Box());
    out << "title " << FTitleSize.Width << 'x' << FTitleSize.Height << '\n';
    out << "legend " << FLegendSize.Width << 'x' << FLegendSize.Height << '\n';
    return out.str();
}

}  // namespace rekna
