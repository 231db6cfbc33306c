// Tests of the calculation log: its lines, dropped repeats, the stored form and the steps of
// a line with user functions.
#include "engine/calc_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/vt_calc.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

std::vector<std::string> LogLines(const TVtCalc& calc) {
    std::vector<std::string> out;
    for (const auto& line : calc.Log().Lines().Lines) out.push_back(Cp932ToUtf8(line));
    return out;
}

TEST(CalcLogTest, SimpleSumLeavesThreeLines) {
    test::TNumberGuard guard;
    TVtCalc calc;
    calc.LogEnable = true;
    calc.CalcLine("2+3", true, true, true);
    EXPECT_EQ(LogLines(calc), (std::vector<std::string>{"2+3", "＝ 5", "＝  5.00000 "}));
    EXPECT_EQ(Cp932ToUtf8(calc.LogText()), "2+3\r\n＝ 5\r\n＝  5.00000 \r\n");
    EXPECT_EQ(Cp932ToUtf8(calc.LogStoredText()), "2+3\b＝ 5\b＝  5.00000 \b");
    calc.LogEnable = false;
    calc.CalcLine("2+3", true, true, true);
    EXPECT_EQ(calc.LogStoredText(), "");
}

TEST(CalcLogTest, StepsThatDifferOnlyInSpacesAreDropped) {
    TCalcLog log;
    const std::string first = "2+3";
    log.Reset(&first);
    log.AddStep(" 2+3 ");
    log.AddStep("5");
    log.AddStep("5  ");
    log.AddStep("6");
    ASSERT_EQ(log.Lines().Lines.size(), 3U);
    EXPECT_EQ(Cp932ToUtf8(log.Lines().Lines[2]), "＝ 6");
    log.Reset(nullptr);
    EXPECT_EQ(log.StoredText(), "");
}

TEST(CalcLogTest, StepsOfALineWithVariablesAndUserFunctions) {
    test::TNumberGuard guard;
    TVtCalc calc;
    calc.CalcLine("#F2(a, b)=a-b", true, true, true);
    calc.CalcLine("x=4", true, true, true);
    calc.LogEnable = true;
    calc.CalcLine("F2(x*2, 3)+1", true, true, true);
    EXPECT_EQ(LogLines(calc), (std::vector<std::string>{
                                  "F2(x*2, 3)+1",
                                  "＝ F2(4*2, 3)+1",
                                  "＝ F2(8, 3)+1",
                                  "＝ (8-3)+1",
                                  "＝ (5)+1",
                                  "＝ 5+1",
                                  "＝ 6",
                                  "＝  6.00000 ",
                              }));
}

TEST(CalcLogTest, ControlAndDefinitionLinesEchoThemselves) {
    test::TNumberGuard guard;
    TVtCalc calc;
    calc.LogEnable = true;
    calc.CalcLine("#Sqr(X)=X^2", true, true, true);
    const auto lines = LogLines(calc);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "#Sqr(X)=X^2");
    EXPECT_EQ(lines.back(), "＝ [ユーザー定義関数]");
    calc.CalcLine("1/0", true, true, true);
    EXPECT_EQ(LogLines(calc).back(), "＝ [0による割算]");
}

}  // namespace
}  // namespace rekna
