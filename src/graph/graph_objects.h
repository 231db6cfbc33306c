// The graph's sub-objects: labels, titles, the legend, ticks, options and the marker style.
#pragma once

#include <cstdint>
#include <string>

#include "graph/graph_canvas.h"

namespace rekna {

enum class TAxisFloatFormat : std::uint8_t { ffGen, ffExp, ffFix, ffNum, ffEng, ffUsr };
enum class TLegendLocation : std::uint8_t {
    llTop,
    llBottom,
    llLeft,
    llRight,
    llHorizontal,
    llVertical
};
enum class TPositionBase : std::uint8_t { pbCanvas, pbAxis, pbFrame };
enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

struct TGraphObject {
    bool Visible = true;
};

struct TGraphLabel : TGraphObject {
    TGraphFont Font;
    int Margin = 3;
    int Alignment = 500;  // per mille of the free space
    // Stored snapped to 0, 90, 180 or 270.
    void SetAngle(int degrees) noexcept { FAngle = ((degrees % 360) + 360) % 360 / 90 * 90; }
    [[nodiscard]] int Angle() const noexcept { return FAngle; }

private:
    int FAngle = 0;
};

struct TAxisLabel : TGraphLabel {
    bool OnAxis = true;
    bool AutoDigits = true;
    TAxisFloatFormat Format = TAxisFloatFormat::ffEng;
    int Precision = 8;
    int Digits = 2;
    int Size = 250;  // percent of the font height: label room beside vertical axes
    std::string FormatString;
};

struct TAxisTitle : TGraphLabel {
    std::string Text;
    TPositionBase Base = TPositionBase::pbAxis;
};

struct TGraphTitle : TAxisTitle {
    int FrameSpace = 2;
    TGraphBrush Brush{clWhite, TBrushStyle::bsClear};
    TGraphPen Frame{clSilver, 1, TPenStyle::psClear};
    // The box is drawn, so it takes room.
    [[nodiscard]] bool Boxed() const noexcept { return !Brush.Clear() || !Frame.Clear(); }
};

struct TGraphLegend : TGraphTitle {
    TLegendLocation Location = TLegendLocation::llTop;
    int Length = 100;  // sample line, percent of the font height
    int MinWidth = 0;
    int Spacing = 4;
    int XPosition = 500;
    int YPosition = 800;
};

struct TAxisSubTicks : TGraphObject {
    bool Auto = true;
    int Inner = 3;
    int Outer = 0;
    int Count = 5;
    TGraphPen Pen;
};

struct TAxisMainTicks : TAxisSubTicks {
    TAxisMainTicks() {
        Inner = 6;
        Count = 12;
    }
    bool AutoDeg = false;
    long double Step = 1.0L;
    int MinSpacing = 10;
};

struct TGraphOptions {
    bool DoubleBuffered = true;
    bool AutoAspectRatio = false;
    bool AxesFront = true;
    bool AutoZoom = true;
    bool AutoScroll = true;
    TMouseButton AutoZoomButton = TMouseButton::mbLeft;
    TMouseButton AutoScrollButton = TMouseButton::mbRight;
};

struct TMarkerStyle {
    bool Auto = true;
    int Size = 2;
    TColor Color = clBlack;
    bool SeriesColor = false;
    int GrabityLength = 10;
    TAxisFloatFormat Format = TAxisFloatFormat::ffEng;
    std::string FormatString;
    int Precision = 6;
    int Digits = 2;
};

}  // namespace rekna
