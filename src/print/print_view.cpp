// The preview's arithmetic: the page on screen at a zoom, zooming by a dragged rectangle, the
// zoom bounds, and the states of a page being recorded.
#include "print/print_view.h"

#include <algorithm>
#include <cmath>

namespace rekna {
namespace {

int Round(double v) noexcept {
    return static_cast<int>(std::lround(std::clamp(v, -1.0e9, 1.0e9)));
}

}  // namespace

int ClampScaleBound(int bound) noexcept {
    return std::clamp(bound, 10, 500);
}

int ClampScale(int scale, int lo, int hi) noexcept {
    return std::clamp(scale, std::min(lo, hi), std::max(lo, hi));
}

TScreenPage ScreenPage(const TPrintMetrics& m, const TPrintRect& marginRect, double screenDpiX,
                       double screenDpiY, int scale) noexcept {
    TScreenPage s;
    if (!m.Valid()) return s;
    s.Sx = screenDpiX / m.DpiX * scale / 100.0;
    s.Sy = screenDpiY / m.DpiY * scale / 100.0;
    s.Width = Round(m.PaperW * s.Sx);
    s.Height = Round(m.PaperH * s.Sy);
    s.Printable.Left = Round(m.OffX * s.Sx);
    s.Printable.Top = Round(m.OffY * s.Sy);
    s.Printable.Right = s.Printable.Left + Round(m.PageW * s.Sx);
    s.Printable.Bottom = s.Printable.Top + Round(m.PageH * s.Sy);
    s.Margins = {Round(marginRect.Left * s.Sx), Round(marginRect.Top * s.Sy),
                 Round(marginRect.Right * s.Sx), Round(marginRect.Bottom * s.Sy)};
    return s;
}

TZoom ZoomByDrag(int scale, int lo, int hi, TPoint press, TPoint release, int clientW,
                 int clientH) noexcept {
    TZoom z;
    z.Scale = scale;
    const int left = std::min(press.X, release.X);
    const int right = std::max(press.X, release.X);
    const int top = std::min(press.Y, release.Y);
    const int bottom = std::max(press.Y, release.Y);
    int w = right - left;
    int h = bottom - top;
    if (w == 0 && h == 0) return z;
    w = std::max(w, 1);
    h = std::max(h, 1);
    const double f = std::min(static_cast<double>(clientH) / h, static_cast<double>(clientW) / w);
    if (f <= 0) return z;
    // Dragged leftwards the same rectangle zooms out by the factor it would zoom in by.
    const double wanted = release.X < press.X ? scale / f : scale * f;
    z.Changed = true;
    z.Scale = ClampScale(Round(wanted), lo, hi);
    const double ratio = scale > 0 ? static_cast<double>(z.Scale) / scale : 1.0;
    z.ScrollX = Round((left + right) / 2.0 * ratio) - clientW / 2;
    z.ScrollY = Round((top + bottom) / 2.0 * ratio) - clientH / 2;
    return z;
}

bool TPrevRecorder::Fail(const char* text) {
    FError = text;
    return false;
}

bool TPrevRecorder::BeginDoc(const TPrintMetrics& m) {
    if (FState == TPrevState::psRecording) return Fail("Begin Doc: Bad Status");
    FPage = TPageLayout{};
    FPage.Metrics = m;
    FState = TPrevState::psRecording;
    FError.clear();
    return true;
}

TPageLayout* TPrevRecorder::Canvas() {
    if (FState != TPrevState::psRecording) {
        Fail("GetCanvas: Bad Status");
        return nullptr;
    }
    return &FPage;
}

bool TPrevRecorder::EndDoc() {
    if (FState != TPrevState::psRecording) return Fail("EndDoc: Bad Status");
    FState = TPrevState::psRecorded;
    return true;
}

bool TPrevRecorder::CheckPrint() {
    if (FState != TPrevState::psRecorded) return Fail("Print: Bad Status");
    return true;
}

}  // namespace rekna
