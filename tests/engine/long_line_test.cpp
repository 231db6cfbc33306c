// Tests of very long and deeply nested lines: their answers, their bounded logs, the item
// limit and the stop request.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "engine/calc_item.h"
#include "engine/calc_log.h"
#include "engine/compiler.h"
#include "engine/vt_calc.h"
#include "numbers/calc_error.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

std::string Repeat(std::string_view piece, std::size_t n) {
    std::string out;
    out.reserve(piece.size() * n);
    for (std::size_t i = 0; i < n; ++i)
        out += piece;
    return out;
}

// depth times open, the core, then depth closing brackets.
std::string Nested(std::string_view open, std::size_t depth, std::string_view core) {
    return Repeat(open, depth) + std::string(core) + std::string(depth, ')');
}

std::string Answer(TVtCalc& calc, const std::string& line) {
    calc.CalcLine(line, true, true, true);
    return Cp932ToUtf8(calc.AnswerText());
}

// Each row would take minutes or run out of memory where a pass of the compiler or the
// evaluator shifts the rest of the line for every item.
// Items keep their values in 40 bytes: every value comes back bit for bit, and a new item
// holds the value a new TCplx has.
TEST(LongLineTest, PackedValuesComeBackBitForBit) {
    EXPECT_TRUE(SameBits(TPackedCplx().Get(), TCplx()));
    EXPECT_TRUE(SameBits(TCalcItem().Value.Get(), TCplx()));
    const TCplx values[] = {TCplx(),
                            TCplx(1.0L),
                            TCplx(-0.0L, 2.5L),
                            TCplx(TFrac(1, 3), 1e-4000L),
                            TCplx(std::numeric_limits<long double>::infinity()),
                            TCplx(std::numeric_limits<long double>::denorm_min(), -7.0L)};
    for (const TCplx& v : values)
        EXPECT_TRUE(SameBits(TPackedCplx(v).Get(), v));
}

TEST(LongLineTest, LongAndDeepLinesGiveTheirAnswers) {
    test::TNumberGuard guard;
    const std::size_t n = 100'000;
    struct TCase {
        std::string Line;
        const char* Want;
    };
    const TCase cases[] = {
        {"1" + Repeat("+1", n - 1), " 100.000k"},
        {"1" + Repeat("+-1", n - 1), "-99.9980k"},     // minus folded into each literal
        {"1" + Repeat("++1", n - 1), " 100.000k"},     // doubled operators merged
        {"1" + Repeat("+ +1", n - 1), " 100.000k"},    // empty tokens dropped
        {"2" + Repeat("*()", n) + "+1", " 1.00000 "},  // implicit products, empty brackets
        {Repeat("1+1)", n), " 100.001k"},              // an opening bracket for every ")"
        {"5" + Repeat(" #Eng", n), " 5.00000 "},       // trailing directives
        {Nested("(", n, "1"), " 1.00000 "},
        {Nested("sin(", 20'000, "1"), " 12.2449m"},  // about the square root of 3/20000
        {Nested("-(", n, "1"), " 1.00000 "},
    };
    for (const TCase& c : cases) {
        TVtCalc calc;
        calc.LogEnable = true;
        EXPECT_EQ(Answer(calc, c.Line), c.Want) << c.Line.substr(0, 40);
    }
}

TEST(LongLineTest, UserFunctionsWithManyArgumentsAndDeepCalls) {
    test::TNumberGuard guard;
    TVtCalc calc;
    calc.LogEnable = true;
    calc.CalcLine("#F(a, b)=a+b", true, true, true);
    calc.CalcLine("#G(x)=x+1", true, true, true);
    // Arguments beyond the parameters are collected and dropped.
    EXPECT_EQ(Answer(calc, "F(" + Repeat("1, ", 100'000) + "2)"), " 2.00000 ");
    EXPECT_EQ(Answer(calc, Nested("G(", 10'000, "0")), " 10.0000k");
    // A definition of many parameters, each used in the body, and its call.
    const std::size_t m = 50'000;
    std::string params, body;
    for (std::size_t i = 0; i < m; ++i) {
        params += (i ? ", p" : "p") + std::to_string(i);
        body += (i ? "+p" : "p") + std::to_string(i);
    }
    calc.CalcLine("#H(" + params + ")=" + body, true, true, true);
    EXPECT_EQ(Answer(calc, "H(" + Repeat("1, ", m - 1) + "1)"), " 50.0000k");
    // New names assigned from right to left, each waiting on the stack for the next.
    std::string chain;
    for (int i = 0; i < 100'000; ++i)
        chain += "v" + std::to_string(i) + "=";
    EXPECT_EQ(Answer(calc, chain + "3"), " 3.00000 ");
    EXPECT_EQ(Answer(calc, "v0+v99999"), " 6.00000 ");
    // The listing is still in name order.
    ASSERT_GT(calc.VarCount(), 100'000);
    for (int i = 1; i < calc.VarCount(); ++i) {
        ASSERT_LT(calc.VarItem(i - 1).Name, calc.VarItem(i).Name) << i;
    }
}

TEST(LongLineTest, TheLogOfALongLineIsCutAndBounded) {
    test::TNumberGuard guard;
    TVtCalc calc;
    calc.LogEnable = true;
    const std::string line = "1" + Repeat("+1", 199'999);
    EXPECT_EQ(Answer(calc, line), " 200.000k");
    const auto& lines = calc.Log().Lines().Lines;
    ASSERT_GE(lines.size(), 4U);
    EXPECT_LT(calc.LogStoredText().size(), TCalcLog::kStepBudget + 8 * TCalcLog::kLineLimit);
    for (const auto& l : lines)
        EXPECT_LE(l.size(), TCalcLog::kLineLimit + 8);
    EXPECT_EQ(Cp932ToUtf8(lines[0]), Repeat("1+", TCalcLog::kLineLimit / 2) + "…");
    EXPECT_EQ(Cp932ToUtf8(lines[1]).substr(0, 12), "＝ 2+1+1+1+");
    EXPECT_EQ(Cp932ToUtf8(lines[lines.size() - 2]), "＝ …(途中省略)");
    EXPECT_EQ(Cp932ToUtf8(lines.back()), "＝  200.000k");
}

TEST(LongLineTest, CutLinesNeverSplitADoubleByteCharacter) {
    struct TCase {
        const char* Text;
        std::size_t Limit;
        const char* Want;
    };
    const TCase cases[] = {
        {"abcdef", 6, "abcdef"}, {"abcdef", 4, "abcd…"}, {"ab漢字", 4, "ab漢…"},
        {"ab漢字", 3, "ab…"},    {"漢字", 0, "…"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Cp932ToUtf8(CutLogLine(SysText(c.Text), c.Limit)), c.Want) << c.Text;
    }
}

TEST(LongLineTest, ALinePastTheItemLimitFailsBeforeItsItemsExist) {
    test::TNumberGuard guard;
    TVtCalc calc;
    calc.LogEnable = true;
    calc.CalcLine("7", true, true, true);
    const std::string line = "1" + Repeat("+1", kMaxLineItems / 2 + 1);
    EXPECT_FALSE(calc.CalcLine(line, true, true, true));
    EXPECT_EQ(CalcErr, TCalcErr::ceMath);
    EXPECT_EQ(Cp932ToUtf8(calc.AnswerText()), "[演算エラー]");
    EXPECT_EQ(calc.Data(), calc.AnswerText());
    EXPECT_EQ(calc.Compiled().size(), 1U);
    EXPECT_TRUE(calc.LastResult().IsErrorMark());
    EXPECT_EQ(Cp932ToUtf8(calc.Log().Lines().Lines.back()), "＝ [演算エラー]");
    // Ans holds the failure, as after any failing line.
    EXPECT_EQ(Answer(calc, "Ans+1"), "[エラー変数]");
}

// The count decides the refusal: it follows the tokeniser's rules and stops past its limit
// (a 10 MB line is not read to its end).
TEST(LongLineTest, TheItemCountFollowsTheTokeniserAndStopsPastItsLimit) {
    struct TCase {
        const char* Formula;
        std::size_t Limit;
        std::size_t Want;
    };
    const std::size_t all = std::numeric_limits<std::size_t>::max();
    const TCase cases[] = {
        {"", all, 1},      {"1+2", all, 4},     {"f(1, 2)", all, 7}, {"a,b", all, 2},
        {">1", all, 2},    {"1>2", all, 4},     {"漢字+1", all, 4},  {"#{x}", all, 5},
        {"1+1+1+1", 3, 4}, {"1+1+1+1", 100, 8},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(TokenCount(SysText(c.Formula), c.Limit), c.Want) << c.Formula;
    }
}

TEST(LongLineTest, AStopRequestStopsOnlyLongLines) {
    test::TNumberGuard guard;
    TVtCalc calc;
    int polls = 0;
    calc.SetOnPoll([&] {
        ++polls;
        calc.RequestStop();
    });
    const std::string line = "1" + Repeat("+1", 199'999);
    EXPECT_EQ(Answer(calc, line), "[演算エラー]");
    EXPECT_EQ(polls, 1);
    EXPECT_TRUE(calc.StopRequested());
    EXPECT_EQ(Answer(calc, "1+2"), " 3.00000 ");  // too short to poll
    calc.SetOnPoll(nullptr);
    calc.ClearStopRequest();
    EXPECT_EQ(Answer(calc, line), " 200.000k");
    // Raised between lines, the request stops the next long line as it starts to be read.
    calc.RequestStop();
    EXPECT_EQ(Answer(calc, line), "[演算エラー]");
    // A sheet row stopped half-way is not kept by the line cache: the next run calculates it.
    const std::string other = "2" + Repeat("+2", 199'999);
    calc.ResetDisplay();
    EXPECT_FALSE(calc.CalcLineCached(other));
    calc.ClearStopRequest();
    calc.ResetDisplay();
    EXPECT_TRUE(calc.CalcLineCached(other));
    EXPECT_EQ(Cp932ToUtf8(calc.AnswerText()), " 400.000k");
}

}  // namespace
}  // namespace rekna
