// The preview's arithmetic: the page on screen at a zoom, zooming by a dragged rectangle, the
// zoom bounds, and the states of a page being recorded.
#pragma once

#include <cstdint>
#include <string>

#include "print/print_layout.h"

namespace rekna {

// A zoom bound is 10..500 per cent; a zoom lies between its bounds.
[[nodiscard]] int ClampScaleBound(int bound) noexcept;
[[nodiscard]] int ClampScale(int scale, int lo, int hi) noexcept;

// The sheet on screen: the panel's size, the printable area and the margins in screen pixels.
struct TScreenPage {
    int Width = 0, Height = 0;
    TPrintRect Printable;
    TPrintRect Margins;
    double Sx = 0, Sy = 0;  // screen pixels per printer dot
};

[[nodiscard]] TScreenPage ScreenPage(const TPrintMetrics& m, const TPrintRect& marginRect,
                                     double screenDpiX, double screenDpiY, int scale) noexcept;

struct TPoint {
    int X = 0, Y = 0;
};

// A zoom drag from press to release over a scroll area whose client is clientW x clientH: the
// new scale and where to scroll so that the rectangle's centre sits in the middle.
struct TZoom {
    bool Changed = false;
    int Scale = 0;
    int ScrollX = 0, ScrollY = 0;
};

[[nodiscard]] TZoom ZoomByDrag(int scale, int lo, int hi, TPoint press, TPoint release, int clientW,
                               int clientH) noexcept;

// A page is recorded between BeginDoc and EndDoc and can be printed once recorded; a call in the
// wrong state is refused with its error text.
enum class TPrevState : std::uint8_t { psEmpty, psRecording, psRecorded };

class TPrevRecorder {
public:
    bool BeginDoc(const TPrintMetrics& m);
    // The page being recorded; null (with the error set) unless recording.
    [[nodiscard]] TPageLayout* Canvas();
    bool EndDoc();
    // True when a recorded page can go to the printer.
    bool CheckPrint();
    [[nodiscard]] TPrevState State() const noexcept { return FState; }
    [[nodiscard]] const TPageLayout& Page() const noexcept { return FPage; }
    [[nodiscard]] const std::string& Error() const noexcept { return FError; }

private:
    bool Fail(const char* text);

    TPrevState FState = TPrevState::psEmpty;
    TPageLayout FPage;
    std::string FError;
};

}  // namespace rekna
