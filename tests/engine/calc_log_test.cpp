// Tests of the calculation log: its lines, dropped repeats, the stored form and the steps of
// a line with user functions.
#include "engine/calc_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/log_pack.h"
#include "engine/vt_calc.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

std::vector<std::string> LogLines(const TVtCalc& calc) {
    std::vector<std::string> out;
    for (const auto& line : calc.Log().Lines().Lines)
        out.push_back(Cp932ToUtf8(line));
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
    const std::string_view first = "2+3";
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

// Packed logs come back byte for byte, also for texts that are not logs at all, and are smaller
// for logs whose steps repeat the line before; a damaged packed text never reads out of range.
TEST(CalcLogTest, PackedLogsRoundTrip) {
    const std::string big(300, 'x');
    const std::string cases[] = {
        "",
        "no mark at the end",
        "1+2\b",
        "vcc*r4/(r4+2k)\b" + Utf8ToCp932("＝ ") + "vcc*r4/(r4+2000)\b" + Utf8ToCp932("＝ ") +
            "3.3*r4/(r4+2000)\b" + Utf8ToCp932("＝ ") + "3.3*47200/(r4+2000)\b",
        "same\bsame\bsame\b\b\b",
        "abcabc\babc\babcabcabc\bc\b",
        std::string("\x80\xff\x00\x7f\b\x80\x00\b", 8),
        big + "\b" + big + "y\b" + "y" + big + "\bend",
    };
    for (const std::string& stored : cases) {
        const std::string packed = PackLog(stored);
        EXPECT_EQ(UnpackLog(packed), stored);
        for (std::size_t cut = 0; cut < packed.size(); ++cut)
            EXPECT_LE(UnpackLog(std::string_view(packed).substr(0, cut)).size(), stored.size());
    }
    EXPECT_LT(PackLog(cases[3]).size(), cases[3].size() * 3 / 4);
    EXPECT_EQ(UnpackLog(std::string_view("\x05\x00\x01z", 4)), "");  // a start past the line before

    // The engine's log read back from the packed form is the log it made.
    test::TNumberGuard guard;
    TVtCalc calc;
    calc.LogEnable = true;
    calc.CalcLine("x=2", true, true, true);
    // A backspace byte of the line is no line break of the log read back.
    for (const char* line : {"(x+1)*(x+2)/3", "x+\b2", "k=0k3=)22\b230"}) {
        calc.CalcLine(line, true, true, true);
        TCalcLog copy;
        copy.AssignPacked(calc.LogPackedText());
        EXPECT_EQ(copy.Text(), calc.LogText()) << line;
        EXPECT_EQ(copy.StoredText(), calc.LogStoredText()) << line;
    }
}

}  // namespace
}  // namespace rekna
