// Tests of the control-level wrap modes: clamps, the column of each mode, and the re-wraps.
#include "editor/store/umemo_wrap.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

TEST(UMemoWrap, WidthsAreClampedAndNonPositiveValuesIgnored) {
    struct TCase {
        std::int32_t Set;
        std::int32_t Expected;
    };
    const TCase cases[] = {{5, 10}, {5000, 1024}, {0, 60}, {-3, 60}, {10, 10}, {77, 77}};
    for (const auto& c : cases) {
        TUMemoStrings s;
        TUMemoWrap wrap(s);
        wrap.SetWordWrapWidth(c.Set);
        EXPECT_EQ(wrap.WordWrapWidth(), c.Expected) << c.Set;
        wrap.SetWordWrapPaper(c.Set);
        EXPECT_EQ(wrap.WordWrapPaper(), c.Expected == 60 ? 100 : c.Expected) << c.Set;
    }
}

TEST(UMemoWrap, EachModeWrapsAtItsColumnAndSaysSo) {
    TUMemoStrings s;
    s.Add(std::string(150, 'x'));
    TUMemoWrap wrap(s);
    int changes = 0;
    wrap.OnChangeWordWrap = [&] { ++changes; };
    wrap.SetTextAreaColumns(50);
    EXPECT_EQ(changes, 0) << "a resize re-wraps only in wtRight mode";

    struct TStep {
        TWordWrapType Mode;
        std::int32_t Columns;
        std::int32_t Rows;
    };
    const TStep steps[] = {
        {TWordWrapType::wtCount, 60, 3},
        {TWordWrapType::wtRight, 47, 4},
        {TWordWrapType::wtPaper, 100, 2},
        {TWordWrapType::wtNone, 0, 1},
    };
    for (const auto& step : steps) {
        const int before = changes;
        wrap.SetWordWrap(step.Mode);
        EXPECT_EQ(s.WrapColumns(), step.Columns);
        EXPECT_EQ(s.GetCount(), step.Rows);
        EXPECT_EQ(changes, before + 1);
    }
    wrap.SetWordWrap(TWordWrapType::wtNone);
    EXPECT_EQ(changes, 4) << "the same mode again changes nothing";

    wrap.SetWordWrap(TWordWrapType::wtPaper);
    wrap.SetWordWrapPaper(30);
    EXPECT_EQ(s.WrapColumns(), 30);
    wrap.SetWordWrapWidth(20);
    EXPECT_EQ(s.WrapColumns(), 30) << "the count width waits for its mode";
    wrap.SetWordWrap(TWordWrapType::wtCount);
    EXPECT_EQ(s.WrapColumns(), 20);
    EXPECT_EQ(s.GetCount(), 8);
    EXPECT_EQ(s.GetTextStr(), std::string(150, 'x'));
}

TEST(UMemoWrap, RightEdgeWidth) {
    struct TCase {
        std::int32_t Area;
        bool BanBreak;
        std::int32_t Tabs;
        std::int32_t Expected;
    };
    const TCase cases[] = {
        {80, true, 8, 77},  {80, false, 8, 79}, {5, true, 8, 10},
        {12, true, 12, 14}, {0, false, 4, 10},
    };
    for (const auto& c : cases) {
        TUMemoStrings s;
        s.SetTabStops(c.Tabs);
        TUMemoWrap wrap(s);
        wrap.SetBanBreak(c.BanBreak);
        wrap.SetTextAreaColumns(c.Area);
        EXPECT_EQ(wrap.RightEdgeWidth(), c.Expected) << c.Area;
    }
}

TEST(UMemoWrap, ResizeAndBanBreakReWrap) {
    TUMemoStrings s;
    s.Add("abcdefghij" + test::J("。。") + "klmnopqrstuvwxyz");
    TUMemoWrap wrap(s);
    int changes = 0;
    wrap.OnChangeWordWrap = [&] { ++changes; };
    wrap.SetTextAreaColumns(13);
    wrap.SetWordWrap(TWordWrapType::wtRight);
    EXPECT_EQ(s.WrapColumns(), 10);
    EXPECT_EQ(test::Dump(s), test::U(s.Get(0)) + "~" + test::U(s.Get(1)) + "~" + test::U(s.Get(2)));
    EXPECT_EQ(test::U(s.Get(0)), "abcdefghij。");
    wrap.SetTextAreaColumns(23);
    EXPECT_EQ(s.WrapColumns(), 20);
    EXPECT_EQ(changes, 2);
    // Switching BanBreak re-wraps at the mode's own column.
    wrap.SetWordWrap(TWordWrapType::wtCount);
    wrap.SetWordWrapWidth(10);
    const int before = changes;
    wrap.SetBanBreak(false);
    EXPECT_EQ(s.WrapColumns(), 10);
    EXPECT_EQ(test::U(s.Get(0)), "abcdefghij");
    EXPECT_EQ(test::U(s.Get(1)), "。。klmnop");
    EXPECT_GT(changes, before);
}

TEST(UMemoWrap, AdoptRestoredWidth) {
    TUMemoStrings s;
    TUMemoWrap wrap(s);
    int changes = 0;
    wrap.OnChangeWordWrap = [&] { ++changes; };
    wrap.AdoptRestoredWidth(30);
    EXPECT_EQ(wrap.WordWrap(), TWordWrapType::wtCount);
    EXPECT_EQ(wrap.WordWrapWidth(), 30);
    wrap.AdoptRestoredWidth(0);
    EXPECT_EQ(wrap.WordWrap(), TWordWrapType::wtNone);
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace rekna
