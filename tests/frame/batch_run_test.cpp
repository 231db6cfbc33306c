// Tests of the batch memo run: line splitting, calculation lines, Ans at the start, filters.
#include "frame/batch_run.h"

#include <gtest/gtest.h>

#include "engine/vt_calc.h"
#include "frame/answer_filter.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

TEST(BatchRunTest, SplitsAtEveryKindOfLineEnd) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitMemoLines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitMemoLines("a\r\n"), (V{"a"}));
    EXPECT_EQ(SplitMemoLines("a\n\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitMemoLines(""), (V{}));
    EXPECT_EQ(SplitMemoLines("\r\n\r\n"), (V{"", ""}));
}

TEST(BatchRunTest, TheRunStartsWithAnsNotValid) {
    test::TNumberGuard guard;
    TVtCalc calc;
    TCalcOptions options;
    options.ShowErrors = true;
    ApplyFrameDesign(calc);
    options.ApplyToEngine(calc);
    calc.CalcLine("5", true, true, true);
    TBatchRun run(calc, options);
    const auto r = run.Run({"Ans+1", "2", "Ans+1"});
    EXPECT_EQ(Cp932ToUtf8(r[0].Shown), "[エラー変数]");
    EXPECT_EQ(r[2].Shown, "3");
    // With the last-answer rule the previous answer stays.
    options.AnsRule = TAnsRule::arLast;
    EXPECT_EQ(run.Run({"Ans+1"})[0].Shown, "4");
}

TEST(BatchRunTest, LeadingCharacterRuleAndScriptLines) {
    test::TNumberGuard guard;
    TVtCalc calc;
    TCalcOptions options;
    ApplyFrameDesign(calc);
    options.ApplyToEngine(calc);
    TBatchRun run(calc, options);
    EXPECT_EQ(run.Run({"#> x = 1", "#? 1+1", "   ", "1+1"})[3].Shown, "2");
    EXPECT_EQ(run.Run({"#> x = 1"})[0].Answer, "");
    options.CalcStr = true;
    const auto r = run.Run({"12", " 12", "\t12", SysText("　12")});
    EXPECT_EQ(r[0].Shown, "");
    EXPECT_EQ(r[1].Shown, "12");
    EXPECT_EQ(r[2].Shown, "12");
    EXPECT_EQ(r[3].Shown, "");
    options.CalcLSp = true;
    EXPECT_EQ(run.Run({SysText("　12")})[0].Shown, "12");
}

TEST(BatchRunTest, FilterAnswer) {
    EXPECT_EQ(FilterAnswer("#foo", false, false), "");
    EXPECT_EQ(FilterAnswer("#foo", false, true), "#foo");
    EXPECT_EQ(FilterAnswer("[x]", false, true), "");
    EXPECT_EQ(FilterAnswer("[x]", true, false), "[x]");
    EXPECT_EQ(FilterAnswer(" 5", false, false), " 5");
    EXPECT_EQ(FilterAnswer("", true, true), "");
}

}  // namespace
}  // namespace rekna
