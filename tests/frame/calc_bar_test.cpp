// Tests of the calc bar's texts, the selection summary and the log pane's listings.
#include "frame/calc_bar.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

class CalcBarTest : public ::testing::Test {
protected:
    CalcBarTest() {
        ApplyFrameDesign(Calc);
        Options.ApplyToEngine(Calc);
    }
    TSelectionSummary Summary(const std::string& utf8, int format = 0) {
        return SummarizeSelection(Calc, Options, format, SysText(utf8));
    }
    test::TNumberGuard Guard;
    TVtCalc Calc;
    TCalcOptions Options;
};

TEST_F(CalcBarTest, SeveralLinesAreSummed) {
    const TSelectionSummary s = Summary("1\r\n2\r\n; note\r\n3\r\n");
    EXPECT_EQ(Cp932ToUtf8(s.BarText), "3行合計= 6 平均= 2 標準偏差= 0.816496580927726033");
    const std::string log = Cp932ToUtf8(s.Log);
    EXPECT_NE(log.find("1\t＝ 1\r\n2\t＝ 2\r\n3\t＝ 3\r\n"), std::string::npos);
    EXPECT_NE(
        log.find("  計算行数 ＝ 3\r\n  合計　　 ＝ 6\r\n  最小　　 ＝ 1\r\n  最大　　 ＝ 3\r\n"
                 "  平均　　 ＝ 2\r\n  標準偏差 ＝ 0.816496580927726033  [母集団]\r\n"),
        std::string::npos);
    EXPECT_EQ(s.LabelAnswer, "6\t2\t0.816496580927726033");
    // Assignments in a multi-line selection take effect.
    Summary("q=4\r\nq*2\r\n");
    Calc.CalcLine("q", true, true, true);
    EXPECT_EQ(Calc.AnswerText(), "4");
}

TEST_F(CalcBarTest, OneLineIsATrial) {
    Calc.CalcLine("a=1", true, true, true);
    const TSelectionSummary s = Summary("a=5");
    EXPECT_EQ(s.BarText, "a=5 = 5");
    EXPECT_FALSE(s.Log.empty());
    Calc.CalcLine("a", true, true, true);
    EXPECT_EQ(Calc.AnswerText(), "1");
    EXPECT_EQ(Summary("255", 5).LabelAnswer, "$FF.00000000000000");
    EXPECT_EQ(Summary("; nothing").BarText, "");
    EXPECT_EQ(Cp932ToUtf8(Summary("1/0").BarText), "1/0 = [0による割算]");
}

TEST_F(CalcBarTest, OverflowEndsTheSummary) {
    EXPECT_EQ(Cp932ToUtf8(Summary("1E2500\r\n2\r\n").BarText), "1行計算= [オーバーフロー]");
}

TEST_F(CalcBarTest, CaretTextsAndHints) {
    EXPECT_EQ(CaretBarText("", "5"), "");
    EXPECT_EQ(CaretBarText("2+3", ""), "2+3 = Err");
    EXPECT_EQ(CaretBarText("2+3", "5"), "2+3 = 5");
    EXPECT_EQ(Cp932ToUtf8(CaretBarText(SysText("[ユーザー定義関数]"), "#F(x)=x")),
              "[ユーザー定義関数] #F(x)=x");
    EXPECT_EQ(Cp932ToUtf8(MemoHintPrefix(false, 1, 0, 1, 0)), "[1/0行:1/0桁] ");
    EXPECT_EQ(Cp932ToUtf8(MemoHintPrefix(true, 3, 10, 12, 80)), "[3/10行:12/80文字] ");
    EXPECT_EQ(Cp932ToUtf8(AnswerHintPrefix(4)), "[5行] ");
    EXPECT_EQ(HintText("a\tb"), "a  b");
    // A long formula is shown cut at a character, never half a double-byte one.
    const std::string wide = SysText("漢");
    const std::string odd = "x" + std::string(kShownFormulaBytes, 'a');
    const std::string halfway = std::string(kShownFormulaBytes - 1, 'a') + wide + "b";
    EXPECT_EQ(ShownFormula("1+2"), "1+2");
    EXPECT_EQ(ShownFormula(odd), odd.substr(0, kShownFormulaBytes) + SysText("…"));
    EXPECT_EQ(ShownFormula(halfway), halfway.substr(0, kShownFormulaBytes - 1) + SysText("…"));
    EXPECT_EQ(CalcBarAnswer(0, "10", TCplx(10.0L)), "10");
    EXPECT_EQ(CalcBarAnswer(2, "5", TCplx(5.0L)).substr(0, 5), "&101.");
    EXPECT_EQ(Cp932ToUtf8(CalcBarAnswer(2, SysText("[0による割算]"), TCplx())), "[0による割算]");
}

TEST_F(CalcBarTest, LogPaneListings) {
    Calc.CalcLine("#Sq(x)=x*x", true, true, true);
    Calc.CalcLine("w=2", true, true, true);
    const auto vars = LogPaneLines(TLogContent::lcVariables, "", Calc, "");
    EXPECT_EQ(static_cast<int>(vars.size()), Calc.VarCount());
    EXPECT_NE(std::find(vars.begin(), vars.end(), SysText("w\t＝ 2")), vars.end());
    const auto funcs = LogPaneLines(TLogContent::lcUserFuncs, "", Calc, "");
    ASSERT_EQ(funcs.size(), 1U);
    EXPECT_EQ(Cp932ToUtf8(funcs[0]), "Sq(x)\t＝ (x*x)");
    Calc.Clear();
    EXPECT_EQ(LogPaneLines(TLogContent::lcUserFuncs, "", Calc, ""), std::vector<std::string>{""});
    const auto def = LogPaneLines(TLogContent::lcDefFile, "", Calc, "a=1\r\nb=2\r\n");
    ASSERT_EQ(def.size(), 3U);
    EXPECT_EQ(Cp932ToUtf8(def[0]), "--初期設定ファイル--");
    EXPECT_TRUE(LogPaneLines(TLogContent::lcDefFile, "", Calc, "").empty());
    EXPECT_EQ(LogPaneLines(TLogContent::lcDefFile, "x\r\ny\r\n", Calc, ""),
              (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(LogPaneLines(TLogContent::lcCalcLog, "x\r\ny\r\n", Calc, ""),
              (std::vector<std::string>{"x", "y"}));
}

}  // namespace
}  // namespace rekna
