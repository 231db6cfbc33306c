// The axis: range rules, mapping, tick steps and lists, auto scaling and label texts.
#include <gtest/gtest.h>

#include <cmath>

#include "graph/graph_axis.h"
#include "numbers/number_settings.h"

namespace rekna {
namespace {

// A vertical axis of the given length, or a horizontal one.
TGraphAxis MakeAxis(TAxisKind kind, int length, long double min, long double max,
                    TAxisScale scale = TAxisScale::asNormal) {
    TGraphAxis axis(kind);
    axis.SetScale(scale);
    axis.SetRange(max, min, true);
    if (kind == TAxisKind::akX) {
        axis.SetBox({0, 0, length, 30});
    } else {
        axis.SetBox({0, 0, 50, length});
    }
    return axis;
}

TEST(GraphAxisTest, StepsAndSubTickCounts) {
    const struct {
        long double Step;
        int Subs;
    } subs[] = {{2.5L, 5}, {25, 5}, {0.15L, 3}, {75, 3}, {7, 7},      {10, 5},   {20, 4},
                {0.3L, 3}, {6, 6},  {35, 7},    {45, 3}, {0.001L, 5}, {8e-7L, 4}};
    for (const auto& row : subs)
        EXPECT_EQ(TGraphAxis::SubTickCount(row.Step), row.Subs) << static_cast<double>(row.Step);

    TGraphAxis axis(TAxisKind::akY);
    const struct {
        long double Range;
        int TickCount;
        long double Step;
    } steps[] = {{100, 12, 10},       {3.6L, 12, 0.5L}, {1, 4, 0.25L}, {99.6L, 1, 100},
                 {0.02L, 10, 0.002L}, {7e6L, 12, 1e6L}, {23, 10, 2.5L}};
    for (const auto& row : steps) {
        axis.SetTickCount(row.TickCount);
        EXPECT_NEAR(static_cast<double>(axis.NiceStep(row.Range)), static_cast<double>(row.Step),
                    static_cast<double>(row.Step) * 1e-12)
            << static_cast<double>(row.Range);
    }
    axis.Ticks.AutoDeg = true;
    const long double degrees[][2] = {{90, 15}, {180, 30}, {270, 30}, {360, 45}};
    for (const auto& row : degrees)
        EXPECT_EQ(axis.NiceStep(row[0]), row[1]);
}

TEST(GraphAxisTest, TickLists) {
    const struct {
        const char* Name;
        TAxisKind Kind;
        int Length;
        long double Min;
        long double Max;
        TAxisScale Scale;
        bool AutoDeg;
        const char* Dump;
    } rows[] = {
        {"0..100 on 400 pixels", TAxisKind::akY, 400, 0, 100, TAxisScale::asNormal, false,
         "main: 0 10 20 30 40 50 60 70 80 90 100 | sub: 2 4 6 8 12 14 16 18 22 24 26 28 32 34 36 "
         "38 42 44 46 48 52 54 56 58 62 64 66 68 72 74 76 78 82 84 86 88 92 94 96 98"},
        {"short X axis", TAxisKind::akX, 100, 0, 100, TAxisScale::asNormal, false,
         "main: 0 50 100 | sub: 10 20 30 40 60 70 80 90"},
        {"degrees", TAxisKind::akX, 2000, 0, 360, TAxisScale::asNormal, true,
         "main: 0 45 90 135 180 225 270 315 360 | sub: 15 30 60 75 105 120 150 165 195 210 240 "
         "255 285 300 330 345"},
        {"negative", TAxisKind::akY, 100, -1, 1, TAxisScale::asNormal, false,
         "main: -1 -0.5 0 0.5 1 | sub: -0.9 -0.8 -0.7 -0.6 -0.4 -0.3 -0.2 -0.1 0.1 0.2 0.3 0.4 0.6 "
         "0.7 0.8 0.9"},
        {"degenerate", TAxisKind::akY, 200, 4.3L, 4.3L, TAxisScale::asNormal, false,
         "main: 4.3 | sub:"},
        {"below resolution", TAxisKind::akY, 200, 1, 1 + 1e-17L, TAxisScale::asNormal, false,
         "main: 1 | sub:"},
        {"log every second decade", TAxisKind::akY, 40, 1, 1000, TAxisScale::asLog, false,
         "main: 1 100 | sub: 10 20 30 40 50 1000"},
        {"log with room", TAxisKind::akY, 1000, 1, 100, TAxisScale::asLog, false,
         "main: 1 2 5 10 20 50 100 | sub: 1.5 2 3 4 5 6 7 8 9 15 20 30 40 50 60 70 80 90"},
        {"log narrow range", TAxisKind::akY, 400, 2, 3, TAxisScale::asLog, false,
         "main: 2 2.1 2.2 2.3 2.4 2.5 2.6 2.7 2.8 2.9 3 | sub: 2.02 2.04 2.06 2.08 2.12 2.14 2.16 "
         "2.18 2.22 2.24 2.26 2.28 2.32 2.34 2.36 2.38 2.42 2.44 2.46 2.48 2.52 2.54 2.56 2.58 "
         "2.62 2.64 2.66 2.68 2.72 2.74 2.76 2.78 2.82 2.84 2.86 2.88 2.92 2.94 2.96 2.98"},
    };
    for (const auto& row : rows) {
        TGraphAxis axis = MakeAxis(row.Kind, row.Length, row.Min, row.Max, row.Scale);
        axis.Ticks.AutoDeg = row.AutoDeg;
        axis.ReduceTicks([](std::string_view text) {
            return TTextSize{static_cast<int>(text.size()) * 6, 12};
        });
        EXPECT_EQ(axis.TickDump(), row.Dump) << row.Name;
    }
}

TEST(GraphAxisTest, RangeRulesOnLogScales) {
    const struct {
        long double Min;
        long double Max;
        long double NewMin;
        long double NewMax;
    } scale[] = {
        {-5, 5, 0.05L, 5}, {-5, -1, 1, 5}, {0, 0, 0.01L, 1}, {2, 8, 2, 8}, {0, 10, 0.1L, 10}};
    for (const auto& row : scale) {
        TGraphAxis axis(TAxisKind::akY);
        axis.SetRange(row.Max, row.Min, true);
        axis.SetScale(TAxisScale::asLog);
        EXPECT_DOUBLE_EQ(static_cast<double>(axis.Min()), static_cast<double>(row.NewMin));
        EXPECT_DOUBLE_EQ(static_cast<double>(axis.Max()), static_cast<double>(row.NewMax));
        EXPECT_EQ(axis.HomeMin(), axis.Min());
    }
    const struct {
        long double Max;
        long double Min;
        long double NewMin;
        long double NewMax;
    } stored[] = {{5, -3, 0.005L, 5}, {-1, -4, 0.004L, 4}, {0, 0, 0.001L, 1}};
    for (const auto& row : stored) {
        TGraphAxis axis(TAxisKind::akY);
        axis.SetScale(TAxisScale::asAbsLog);
        axis.SetRange(row.Max, row.Min, false);
        EXPECT_DOUBLE_EQ(static_cast<double>(axis.Min()), static_cast<double>(row.NewMin));
        EXPECT_DOUBLE_EQ(static_cast<double>(axis.Max()), static_cast<double>(row.NewMax));
    }
    TGraphAxis axis(TAxisKind::akX);
    EXPECT_FALSE(axis.SetRange(NAN, 1, true));
    axis.SetMax(3);
    axis.SetMin(5);
    EXPECT_EQ(axis.Max(), 5);
    EXPECT_EQ(axis.HomeMax(), 5);
}

TEST(GraphAxisTest, PixelMapping) {
    const TGraphAxis y = MakeAxis(TAxisKind::akY, 100, 0, 10);
    const TGraphAxis flat = MakeAxis(TAxisKind::akY, 100, 3, 3);
    const TGraphAxis log = MakeAxis(TAxisKind::akX, 300, 1, 1000, TAxisScale::asLog);
    const struct {
        const TGraphAxis* Axis;
        long double Value;
        double Pixel;  // NaN: not shown
        int IntPixel;
    } rows[] = {{&y, 0, 100, 100},        {&y, 10, 0, 0},          {&y, 2.5L, 75, 75},
                {&y, 1e30L, -1e31, -100}, {&y, -1e30L, 1e31, 200}, {&y, NAN, NAN, 100},
                {&flat, 3, 50, 50},       {&flat, 4, NAN, 0},      {&log, 10, 100, 100},
                {&log, 0, NAN, 0},        {&log, -10, NAN, 0}};
    for (const auto& row : rows) {
        const long double p = row.Axis->ValueToPixel(row.Value);
        if (std::isnan(row.Pixel)) {
            EXPECT_TRUE(std::isnan(p)) << static_cast<double>(row.Value);
        } else {
            EXPECT_NEAR(static_cast<double>(p), row.Pixel, std::fabs(row.Pixel) * 1e-9 + 1e-9);
        }
        EXPECT_EQ(row.Axis->ValueToPixelInt(row.Value), row.IntPixel)
            << static_cast<double>(row.Value);
    }
    EXPECT_NEAR(static_cast<double>(y.PixelToValue(75)), 2.5, 1e-12);
    EXPECT_NEAR(static_cast<double>(log.PixelToValue(200)), 100, 1e-9);
}

TEST(GraphAxisTest, AutoScaleRoundsOutwards) {
    const struct {
        TAxisScale Scale;
        long double DataMin;
        long double DataMax;
        long double Min;
        long double Max;
    } rows[] = {{TAxisScale::asNormal, 3, 97, 0, 100},
                {TAxisScale::asNormal, 4, 4, 2, 6},
                {TAxisScale::asNormal, NAN, NAN, 0, 0},
                {TAxisScale::asLog, 3, 700, 1, 1000},
                {TAxisScale::asLog, 20, 20, 10, 100},
                {TAxisScale::asLog, NAN, NAN, 1, 1},
                {TAxisScale::asNormal, -0.37L, 0.52L, -0.4L, 0.6L}};
    for (const auto& row : rows) {
        TGraphAxis axis = MakeAxis(TAxisKind::akY, 400, 0, 1, row.Scale);
        axis.AutoMin = axis.AutoMax = true;
        axis.AutoScale(true, true, true, row.DataMin, row.DataMax);
        EXPECT_NEAR(static_cast<double>(axis.Min()), static_cast<double>(row.Min), 1e-12);
        EXPECT_NEAR(static_cast<double>(axis.Max()), static_cast<double>(row.Max), 1e-12);
        EXPECT_EQ(axis.HomeMax(), axis.Max());
        EXPECT_TRUE(axis.AutoMin && axis.AutoMax);
    }
    // All-zero data on a log axis: a usable range, never the logarithm of zero.
    TGraphAxis axis = MakeAxis(TAxisKind::akY, 400, 1, 10, TAxisScale::asLog);
    axis.AutoScale(true, true, true, 0, 0);
    EXPECT_GT(axis.Min(), 0);
    EXPECT_TRUE(std::isfinite(axis.Max()));
    EXPECT_GT(axis.MainTickValues().Count(), 0);
    // Data at the bottom of the value range: halving it would give zero.
    axis.AutoScale(true, true, true, 3.6e-4951L, 3.6e-4951L);
    EXPECT_GT(axis.Min(), 0);
    EXPECT_LT(axis.MainTickValues().Count(), 100);
}

TEST(GraphAxisTest, ZoomingNearOneStopsAtTheValuesResolution) {
    TGraphAxis axis = MakeAxis(TAxisKind::akY, 400, 0, 2);
    int accepted = 0;
    long double half = 1;
    for (int zoom = 0; zoom < 40; ++zoom) {
        half /= 10;
        if (axis.SetViewRange(1 - half, 1 + half)) ++accepted;
        axis.UpdateTicks();
        EXPECT_LE(axis.MainTickValues().Count(), 20);
    }
    EXPECT_GE(accepted, 10);
    EXPECT_LE(accepted, 13);
    EXPECT_GT(axis.Max() - axis.Min(), 0);
    EXPECT_FALSE(axis.SetViewRange(1, INFINITY));
}

TEST(GraphAxisTest, LabelTexts) {
    const struct {
        TAxisFloatFormat Format;
        bool Auto;
        int Precision;
        int Digits;
        const char* Picture;
        long double Value;
        const char* Text;
    } rows[] = {
        {TAxisFloatFormat::ffGen, false, 2, 0, "", 0.25L, "0.25"},
        {TAxisFloatFormat::ffGen, false, 2, 0, "", 1500, "1.5E+3"},
        {TAxisFloatFormat::ffGen, false, 4, 0, "", 1e-6L, "1E-6"},
        {TAxisFloatFormat::ffExp, false, 3, 0, "", 1234, "1.23E+3"},
        {TAxisFloatFormat::ffExp, false, 3, 2, "", -0.01234L, "-1.23E-02"},
        {TAxisFloatFormat::ffFix, false, 4, 2, "", 3.14159L, "3.14"},
        {TAxisFloatFormat::ffFix, false, 4, 1, "", 123456, "1.235E+5"},
        {TAxisFloatFormat::ffNum, false, 8, 1, "", 1234567, "1,234,567.0"},
        {TAxisFloatFormat::ffNum, false, 8, 0, "", -1234, "-1,234"},
        {TAxisFloatFormat::ffEng, true, 8, 2, "", 0.0025L, "2.5m"},
        {TAxisFloatFormat::ffEng, true, 8, 2, "", 1000, "1k"},
        {TAxisFloatFormat::ffEng, false, 6, 2, "", 1.5L, "1.50000"},
        {TAxisFloatFormat::ffUsr, false, 8, 2, "0.00", 3.14159L, "3.14"},
        {TAxisFloatFormat::ffFix, false, 4, 2, "", NAN, "Err "},
    };
    const TNumberSettings before = NumberSettings;
    for (const auto& row : rows) {
        TNumberPicture picture{row.Format, row.Precision, row.Digits, row.Picture, row.Auto};
        EXPECT_EQ(FormatAxisValue(row.Value, picture), row.Text) << row.Text;
    }
    EXPECT_EQ(NumberSettings.AnsLength, before.AnsLength);
    EXPECT_EQ(NumberSettings.AnsFormat, before.AnsFormat);
    EXPECT_EQ(NumberSettings.UsrFormat, before.UsrFormat);
    EXPECT_EQ(NumberSettings.AnsColChar, before.AnsColChar);
}

TEST(GraphAxisTest, AutomaticDigitsFollowTheLabels) {
    const struct {
        TAxisFloatFormat Format;
        long double Value;
        const char* Text;
    } rows[] = {
        {TAxisFloatFormat::ffFix, 0.5L, "0.50"},   {TAxisFloatFormat::ffNum, 1, "1.00"},
        {TAxisFloatFormat::ffExp, 0.5L, "5.0E-1"}, {TAxisFloatFormat::ffExp, 0.25L, "2.5E-1"},
        {TAxisFloatFormat::ffGen, 0.75L, "0.75"},  {TAxisFloatFormat::ffFix, 1e-18L, "0.00"}};
    for (const auto& row : rows) {
        TGraphAxis axis = MakeAxis(TAxisKind::akY, 400, 0, 1);
        axis.Labels.Format = row.Format;
        axis.SetTickCount(4);
        axis.UpdateTicks();
        EXPECT_EQ(axis.LabelText(row.Value), row.Text);
    }
}

}  // namespace
}  // namespace rekna
