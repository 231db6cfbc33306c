// One axis of the graph: its range rules, pixel mapping, tick engine and label texts.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "graph/graph_lists.h"
#include "graph/graph_objects.h"

namespace rekna {

enum class TAxisKind : std::uint8_t { akX, akY, akZ };

// Measures a label text in pixels; the layout hands in the canvas' text extent.
using TTextMeasure = std::function<TTextSize(std::string_view)>;

// The number picture of a label or marker: format, precision, digits and picture string.
struct TNumberPicture {
    TAxisFloatFormat Format = TAxisFloatFormat::ffEng;
    int Precision = 8;
    int Digits = 2;
    std::string FormatString;
    bool Auto = false;  // the label's automatic digits
};

// A value written in one of the label formats; reads the number settings, never changes them.
[[nodiscard]] std::string FormatAxisValue(long double v, const TNumberPicture& picture);

// The scale engine of an axis. It keeps the range and the tick lists; drawing them is the
// graph's business (axis_draw.cpp).
class TGraphAxis {
public:
    explicit TGraphAxis(TAxisKind kind) noexcept : FKind(kind) {}

    bool Visible = true;
    bool AutoMin = false;
    bool AutoMax = false;
    TAxisTitle Title;
    TAxisLabel Labels;
    TGraphPen Axis;
    TGraphPen Grid{clSilver, 1, TPenStyle::psDot};
    TGraphPen SubGrid{clSilver, 1, TPenStyle::psClear};
    TAxisMainTicks Ticks;
    TAxisSubTicks SubTicks;

    [[nodiscard]] TAxisKind Kind() const noexcept { return FKind; }
    [[nodiscard]] TAxisScale Scale() const noexcept { return FScale; }
    void SetScale(TAxisScale scale);
    [[nodiscard]] bool IsLog() const noexcept { return FScale != TAxisScale::asNormal; }

    [[nodiscard]] long double Min() const noexcept { return FMin; }
    [[nodiscard]] long double Max() const noexcept { return FMax; }
    [[nodiscard]] long double HomeMin() const noexcept { return FHomeMin; }
    [[nodiscard]] long double HomeMax() const noexcept { return FHomeMax; }
    // Setting one end also sets its home value and clears its Auto flag; an end past the
    // other drags the other along. Non-finite values are refused.
    void SetMin(long double v);
    void SetMax(long double v);
    // Orders and stores the pair, clears both Auto flags; asHome also makes it the home range.
    // A pair with a non-finite end is refused (false).
    bool SetRange(long double max, long double min, bool asHome);
    // Returns to the home range; true when that changed the range.
    bool RestoreHome();
    // Stores a range that a zoom or scroll computed: refused (false) when an end is not finite
    // or the span is below what the values can resolve, so ticks never run out of steps.
    bool SetViewRange(long double min, long double max);

    // Pixel mapping; NaN for values the axis cannot show.
    [[nodiscard]] long double ValueToPixel(long double v) const noexcept;
    [[nodiscard]] int ValueToPixelInt(long double v) const noexcept;
    [[nodiscard]] long double PixelToValue(long double p) const noexcept;

    // The axis box from the layout: origin, end, cross position and length.
    void SetBox(const TGraphRect& box);
    // Ticks for the box: fewer ticks while the measured labels would crowd the axis.
    void ReduceTicks(const TTextMeasure& measure);
    void UpdateTicks();
    // dataMin/dataMax: the extremes of the series on this axis (NaN when there is none).
    void AutoScale(bool asHome, bool doMax, bool doMin, long double dataMin, long double dataMax);
    [[nodiscard]] long double NiceStep(long double range) const;
    [[nodiscard]] static int SubTickCount(long double step);

    [[nodiscard]] std::string LabelText(long double v) const;
    // The number picture of the labels with the digits worked out for the current labels.
    [[nodiscard]] TNumberPicture LabelPicture() const;
    // The tick lists as text, "main: 0 10 20 | sub: 2 4 ..."; for checks and logs.
    [[nodiscard]] std::string TickDump() const;

    [[nodiscard]] const TGraphValueList& MainTickValues() const noexcept { return FMainTicks; }
    [[nodiscard]] const TGraphValueList& SubTickValues() const noexcept { return FSubTicks; }
    [[nodiscard]] const TGraphValueList& LabelValues() const noexcept { return FLabelValues; }
    [[nodiscard]] int TickCount() const noexcept { return FTickCount; }
    void SetTickCount(int count) noexcept { FTickCount = count < 1 ? 1 : count; }
    [[nodiscard]] const TGraphRect& Box() const noexcept { return FBox; }
    [[nodiscard]] int Origin() const noexcept { return FOrigin; }
    [[nodiscard]] int End() const noexcept { return FEnd; }
    [[nodiscard]] int Cross() const noexcept { return FCross; }
    [[nodiscard]] int AxisLength() const noexcept { return FLength; }
    // True when the value lies on the axis span between origin and end.
    [[nodiscard]] bool InSpan(long double v) const noexcept;

private:
    void Normalise();
    void LinearTicks();
    void LogTicks();
    void AddTick(TGraphValueList& list, long double v) const;
    void UpdateLabelDigits();
    [[nodiscard]] bool NeedsAutoStep() const;

    TAxisKind FKind;
    TAxisScale FScale = TAxisScale::asNormal;
    long double FMin = 0;
    long double FMax = 0;
    long double FHomeMin = 0;
    long double FHomeMax = 0;
    TGraphRect FBox;
    int FOrigin = 0;
    int FEnd = 0;
    int FCross = 0;
    int FLength = 0;
    int FTickCount = 12;
    int FLabelPrecision = 8;
    int FLabelDigits = 2;
    TGraphValueList FMainTicks;
    TGraphValueList FSubTicks;
    TGraphValueList FLabelValues;
};

}  // namespace rekna
