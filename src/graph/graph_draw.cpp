// Drawing the graph: background, grids, series, ticks, labels, titles, legend and markers.
#include <algorithm>
#include <cmath>

#include "graph/xy_graph.h"

namespace rekna {

namespace {

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

// An element of size w x h placed by per-mille values inside the base rectangle.
int PlaceX(const TGraphRect& base, int permille, int w) {
    return base.Left + Round(permille * static_cast<double>(base.Width() - w) / 1000.0);
}
int PlaceY(const TGraphRect& base, int permille, int h) {
    return base.Top + Round((1000 - permille) * static_cast<double>(base.Height() - h) / 1000.0);
}

// Text whose rotated box has its top-left corner at (x, y): the reference point of the text
// turns with it.
void RotatedText(TGraphCanvas& canvas, int x, int y, std::string_view text, int angle) {
    const TTextSize t = canvas.TextExtent(text);
    switch (angle) {
    case 90: canvas.TextOut(x, y + t.Width, text, 90); break;
    case 180: canvas.TextOut(x + t.Width, y + t.Height, text, 180); break;
    case 270: canvas.TextOut(x + t.Height, y, text, 270); break;
    default: canvas.TextOut(x, y, text, 0); break;
    }
}

bool PowerOfTen(long double v) {
    if (!(v > 0)) return false;
    const long double p = std::pow(10.0L, std::round(std::log10(v)));
    return std::fabs(p / v - 1) < 1e-15L;
}

void Segments(TGraphCanvas& canvas, const std::vector<TGraphPoint>& points) {
    if (points.empty()) return;
    std::vector<int> counts(points.size() / 2, 2);
    canvas.PolyPolyline(points.data(), counts.data(), static_cast<int>(counts.size()));
}

const TGraphBrush kNoBrush{clWhite, TBrushStyle::bsClear};

}  // namespace

void TXYGraph::Draw(TGraphCanvas& canvas) {
    Layout(canvas);
    canvas.SetClip({});
    if (!Brush.Clear()) canvas.FillRect({0, 0, FWidth, FHeight}, Brush.Color);
    canvas.FillRect(FPlotRect, Color);
    DrawGrid(canvas, XAxis);
    DrawGrid(canvas, YAxis);
    DrawGrid(canvas, ZAxis);
    if (Options.AxesFront) DrawSeries(canvas);
    for (TGraphAxis* axis : {&XAxis, &YAxis, &ZAxis})
        if (axis->Visible) DrawAxis(canvas, *axis);
    if (!Frame.Clear()) {
        canvas.SetPen(Frame);
        canvas.SetBrush(kNoBrush);
        canvas.Rectangle({XAxis.Origin(), YAxis.End(), XAxis.End() + 1, YAxis.Origin() + 1});
    }
    if (!Options.AxesFront) DrawSeries(canvas);
    DrawLegend(canvas);
    DrawTitle(canvas);
    if (OnAfterDraw) OnAfterDraw(canvas);
}

void TXYGraph::DrawGrid(TGraphCanvas& canvas, const TGraphAxis& axis) {
    if (!axis.Visible) return;
    const bool x = axis.Kind() == TAxisKind::akX;
    std::vector<TGraphPoint> points;
    auto across = [&](int p) {
        if (x) {
            points.push_back({p, FPlotRect.Top});
            points.push_back({p, FPlotRect.Bottom});
        } else {
            points.push_back({FPlotRect.Left, p});
            points.push_back({FPlotRect.Right, p});
        }
    };
    if (!axis.Grid.Clear()) {
        const TGraphValueList& ticks = axis.MainTickValues();
        for (int i = 0; i < ticks.Count(); ++i) {
            if (!axis.InSpan(ticks[i])) continue;
            if (axis.IsLog() && !PowerOfTen(ticks[i])) continue;
            across(axis.ValueToPixelInt(ticks[i]));
        }
        canvas.SetPen(axis.Grid);
        Segments(canvas, points);
    }
    if (!axis.IsLog() && !axis.Axis.Clear() && axis.Min() < 0 && axis.Max() > 0) {
        points.clear();
        across(axis.ValueToPixelInt(0));
        canvas.SetPen(axis.Axis);
        Segments(canvas, points);
    }
}

void TXYGraph::DrawAxis(TGraphCanvas& canvas, TGraphAxis& axis) {
    const int cross = axis.Cross();
    auto tickList = [&](const TGraphValueList& values, const TAxisSubTicks& ticks) {
        if (!ticks.Visible || ticks.Pen.Clear()) return;
        std::vector<TGraphPoint> points;
        for (int i = 0; i < values.Count(); ++i) {
            if (!axis.InSpan(values[i])) continue;
            const int p = axis.ValueToPixelInt(values[i]);
            switch (axis.Kind()) {
            case TAxisKind::akX:
                points.push_back({p, cross + ticks.Outer});
                points.push_back({p, cross - ticks.Inner - 1});
                break;
            case TAxisKind::akY:
                points.push_back({cross - ticks.Outer, p});
                points.push_back({cross + ticks.Inner + 1, p});
                break;
            case TAxisKind::akZ:
                points.push_back({cross + ticks.Outer, p});
                points.push_back({cross - ticks.Inner - 1, p});
                break;
            }
        }
        canvas.SetPen(ticks.Pen);
        Segments(canvas, points);
    };
    tickList(axis.MainTickValues(), axis.Ticks);
    tickList(axis.SubTickValues(), axis.SubTicks);

    const TAxisLabel& labels = axis.Labels;
    if (labels.Visible) {
        canvas.SetFont(labels.Font);
        const TGraphValueList& values = axis.LabelValues();
        for (int i = 0; i < values.Count(); ++i) {
            const long double v = values[i];
            if (!labels.OnAxis && std::fabs(v - axis.Min()) < 1e-15L) continue;
            if (!axis.InSpan(v)) continue;
            const std::string text = axis.LabelText(v);
            TTextSize t = canvas.TextExtent(text);
            const int angle = labels.Angle();
            if (angle == 90 || angle == 270) std::swap(t.Width, t.Height);
            const int p = axis.ValueToPixelInt(v);
            int x = 0;
            int y = 0;
            switch (axis.Kind()) {
            case TAxisKind::akX:
                x = p - Round(t.Width * (1000 - labels.Alignment) / 1000.0) + 1;
                y = cross + labels.Margin;
                break;
            case TAxisKind::akY:
                x = cross - labels.Margin - t.Width;
                y = p - Round(t.Height * labels.Alignment / 1000.0);
                break;
            case TAxisKind::akZ:
                x = cross + labels.Margin;
                y = p - Round(t.Height * labels.Alignment / 1000.0);
                break;
            }
            RotatedText(canvas, x, y, text, angle);
        }
    }
    DrawAxisTitle(canvas, axis);
}

void TXYGraph::DrawAxisTitle(TGraphCanvas& canvas, const TGraphAxis& axis) {
    const TAxisTitle& title = axis.Title;
    const TTextSize size = TitleSize(canvas, title);
    if (size.Width == 0 || size.Height == 0) return;
    const TGraphRect& base = BaseRect(title.Base);
    canvas.SetFont(title.Font);
    int x = 0;
    int y = 0;
    switch (axis.Kind()) {
    case TAxisKind::akX:
        x = PlaceX(base, title.Alignment, size.Width);
        y = FFrameRect.Bottom - size.Height;
        break;
    case TAxisKind::akY:
        x = FFrameRect.Left;
        y = PlaceY(base, title.Alignment, size.Height);
        break;
    case TAxisKind::akZ:
        x = FFrameRect.Right - size.Width;
        y = PlaceY(base, title.Alignment, size.Height);
        break;
    }
    RotatedText(canvas, x, y, title.Text, title.Angle());
}

void TXYGraph::DrawSeries(TGraphCanvas& canvas) {
    canvas.SetClip({FPlotRect.Left, FPlotRect.Top, FPlotRect.Right + 1, FPlotRect.Bottom + 1});
    const TPlotBounds plot{
        static_cast<long double>(FPlotRect.Left), static_cast<long double>(FPlotRect.Right),
        static_cast<long double>(FPlotRect.Top), static_cast<long double>(FPlotRect.Bottom)};
    for (int z = SeriesCount() - 1; z >= 0; --z) {
        for (const auto& s : FSeries) {
            if (!s->Visible || s->Count() == 0 || std::min(s->ZOrder(), SeriesCount() - 1) != z)
                continue;
            s->SetPlot(plot);
            s->Draw(canvas);
        }
    }
    canvas.SetClip({});
}

void TXYGraph::DrawBox(TGraphCanvas& canvas, const TGraphRect& box, const TGraphTitle& look) {
    if (!look.Brush.Clear()) canvas.FillRect(box, look.Brush.Color);
    if (look.Frame.Clear()) return;
    if (look.Frame.Style == TPenStyle::psInsideFrame && look.Frame.Width == 1) {
        // A dotted outline: only the pixels whose coordinates add up to an even number.
        for (int x = box.Left; x < box.Right; ++x) {
            for (int y : {box.Top, box.Bottom - 1})
                if ((x + y) % 2 == 0) canvas.SetPixel(x, y, look.Frame.Color);
        }
        for (int y = box.Top + 1; y < box.Bottom - 1; ++y) {
            for (int x : {box.Left, box.Right - 1})
                if ((x + y) % 2 == 0) canvas.SetPixel(x, y, look.Frame.Color);
        }
        return;
    }
    canvas.SetPen(look.Frame);
    canvas.SetBrush(kNoBrush);
    canvas.Rectangle(box);
}

void TXYGraph::DrawLegend(TGraphCanvas& canvas) {
    if (!Legend.Visible || FLegendSize.Width == 0) return;
    const TGraphRect& base = BaseRect(Legend.Base);
    const int w = FLegendSize.Width;
    const int h = FLegendSize.Height;
    int x = 0;
    int y = 0;
    switch (Legend.Location) {
    case TLegendLocation::llLeft: x = FOuterRect.Left; break;
    case TLegendLocation::llRight: x = FOuterRect.Right - w; break;
    case TLegendLocation::llTop:
    case TLegendLocation::llBottom: x = PlaceX(base, Legend.Alignment, w); break;
    default: x = PlaceX(base, Legend.XPosition, w); break;
    }
    switch (Legend.Location) {
    case TLegendLocation::llTop:
        y = FOuterRect.Top + (FTitleSize.Height > 0 ? FTitleSize.Height + Title.Margin : 0);
        break;
    case TLegendLocation::llBottom: y = FOuterRect.Bottom - h; break;
    case TLegendLocation::llLeft:
    case TLegendLocation::llRight: y = PlaceY(base, Legend.Alignment, h); break;
    default: y = PlaceY(base, Legend.YPosition, h); break;
    }
    // Never cut at the canvas' edges, whatever the alignment.
    x = std::clamp(x, FOuterRect.Left, std::max(FOuterRect.Left, FOuterRect.Right - w));
    DrawBox(canvas, {x, y, x + w, y + h}, Legend);
    const bool boxed = Legend.Boxed();
    const bool horizontal = Legend.Location == TLegendLocation::llTop ||
                            Legend.Location == TLegendLocation::llBottom ||
                            Legend.Location == TLegendLocation::llHorizontal;
    const int fh = Legend.Font.Height();
    const int ll = Round(Legend.Length * fh / 100.0);
    int cx = x + (boxed ? 2 * Legend.FrameSpace : 0);
    int cy = y + (boxed ? Legend.FrameSpace : 0);
    const int left = cx;
    std::size_t item = 0;
    std::size_t nextBreak = 0;
    canvas.SetFont(Legend.Font);
    // Items side by side in rows (breaking where the layout said), or one under another.
    auto place = [&] {
        const bool breaks = nextBreak < FLegendBreaks.size() && FLegendBreaks[nextBreak] == item;
        if (item > 0 && (!horizontal || breaks)) {
            cx = left;
            cy += fh + Legend.Spacing;
        } else if (item > 0) {
            cx += 2 * Legend.Spacing;
        }
        if (breaks) ++nextBreak;
        ++item;
    };
    if (!Legend.Text.empty()) {
        place();
        canvas.TextOut(cx, cy, Legend.Text, 0);
        cx += canvas.TextExtent(Legend.Text).Width;
    }
    for (TXYGraphSeries* s : LegendEntries()) {
        place();
        TGraphPen pen = s->LegendPen();
        pen.Width = std::max(pen.Width, Legend.MinWidth);
        if (pen.Clear()) pen = {s->SeriesColor(), std::max(1, Legend.MinWidth), TPenStyle::psSolid};
        s->DrawLegendSymbol(canvas, cx, cy + fh / 2, ll, pen);
        const int tx = cx + ll + Legend.Spacing;
        canvas.SetFont(Legend.Font);
        canvas.TextOut(tx, cy, s->Title, 0);
        cx = tx + canvas.TextExtent(s->Title).Width;
    }
}

void TXYGraph::DrawTitle(TGraphCanvas& canvas) {
    if (FTitleSize.Height == 0) return;
    const TGraphRect& base = BaseRect(Title.Base);
    const int x = PlaceX(base, Title.Alignment, FTitleSize.Width);
    const int y = FOuterRect.Top;
    DrawBox(canvas, {x, y, x + FTitleSize.Width, y + FTitleSize.Height}, Title);
    const bool boxed = Title.Boxed();
    canvas.SetFont(Title.Font);
    canvas.TextOut(x + (boxed ? 2 * Title.FrameSpace : 0), y + (boxed ? Title.FrameSpace : 0),
                   Title.Text, 0);
}

void TXYGraph::DrawMarkerBox(TGraphCanvas& canvas, const TPixel& at, TColor seriesColor) {
    if (!at.Valid()) return;
    const int x = Round(at.X);
    const int y = Round(at.Y);
    if (x < FPlotRect.Left || x > FPlotRect.Right || y < FPlotRect.Top || y > FPlotRect.Bottom)
        return;
    const int s = MarkerStyle.Size;
    canvas.SetPen(
        {MarkerStyle.SeriesColor ? seriesColor : MarkerStyle.Color, 1, TPenStyle::psSolid});
    canvas.SetBrush({Color, TBrushStyle::bsSolid});
    canvas.Rectangle({x - s, y - s, x + s + 1, y + s + 1});
}

void TXYGraph::DrawMarkers(TGraphCanvas& canvas) {
    if (PointMarker.Shown) {
        const TPixel p{static_cast<double>(XAxis.ValueToPixel(PointMarker.X)),
                       static_cast<double>(YAxis.ValueToPixel(PointMarker.Y))};
        DrawMarkerBox(canvas, p, MarkerStyle.Color);
        return;
    }
    for (int z = SeriesCount() - 1; z >= 0; --z)
        for (const auto& s : FSeries)
            if (s->Visible && std::min(s->ZOrder(), SeriesCount() - 1) == z) s->DrawMarker(canvas);
}

}  // namespace rekna
