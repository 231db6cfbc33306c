// Tests of whole lines through the engine: compiling, repairs, evaluation and error codes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/compiler.h"
#include "engine/vt_calc.h"
#include "numbers/calc_error.h"
#include "platform/cp932.h"
#include "support/number_guard.h"
#include "support/print_cplx.h"

namespace rekna {
namespace {

TCplx Q(long double num, long double den = 1) {
    return TCplx(TFrac(num, den));
}
TCplx C(long double re, long double im) {
    return TCplx(re, im);
}

struct TExactCase {
    std::vector<const char*> Before;  // lines calculated first, in order
    const char* Line;
    TCplx Want;
    TCalcErr Err = TCalcErr::ceNone;
};

void RunExact(const TExactCase& c) {
    test::TNumberGuard guard;
    TVtCalc calc;
    for (const char* before : c.Before)
        calc.CalcLine(SysText(before), true, true, true);
    calc.CalcLine(SysText(c.Line), true, true, true);
    EXPECT_EQ(CalcErr, c.Err) << c.Line;
    if (c.Err == TCalcErr::ceNone) {
        EXPECT_EQ(calc.LastResult(), c.Want) << c.Line;
    }
}

TEST(CalcLineTest, CompilerRepairsAndPrecedence) {
    const TExactCase cases[] = {
        {{}, "2 + 3 apples ;fruit", Q(5)},
        {{}, "[note] 3*4", Q(12)},
        {{}, "Total: 3*4", Q(12)},
        {{}, "1,234+1", Q(1235)},
        {{}, "2(3+4)", Q(14)},
        {{}, "2*(3+4)", Q(14)},
        {{}, "(1+2", Q(3)},
        {{}, "1+2)", Q(3)},
        {{"5"}, "*2", Q(10)},
        {{"5"}, "-2", Q(-2)},
        {{}, "3--2", Q(5)},
        {{}, "3+-2", Q(1)},
        {{}, "3*+2", Q(6)},
        {{}, "3||4", Q(7)},
        {{}, "2^3^2", Q(64)},
        {{}, "-2^2", Q(4)},
        {{}, "2^-1", Q(1, 2)},
        {{}, "1/2(4)", Q(1, 8)},
        {{}, "1/2*4", Q(2)},
        {{"x=7"}, "2x", Q(2)},
        {{"x=7"}, "2*x", Q(14)},
        {{"x=7"}, "2 x", Q(2)},
        {{"x=1"}, "x+y=3", Q(4)},
        {{"x=1", "x+y=3"}, "y", Q(3)},
        {{}, "5=^z", Q(5)},
        {{"5=^z"}, "z", Q(5)},
        {{}, "x:=5", Q(5)},
        {{"x:=5"}, "x", Q(5)},
        {{}, "3 >= 2", Q(1)},
        {{}, "3 => 2", Q(1)},
        {{}, "2 <> 2", Q(0)},
        {{}, "2 >< 3", Q(1)},
        {{}, "2 == 2", Q(1)},
        {{}, "2**10", Q(1024)},
        {{}, "3//6", Q(2)},
        {{}, "6|3", Q(2)},
        {{}, "8/^2", Q(1, 4)},
        {{}, "8-^2", Q(-6)},
        {{}, "2^^3", Q(9)},
        {{}, "1/3*3", Q(1)},
        {{}, "0.1+0.2", Q(3, 10)},
        {{}, "0.1+0.2==0.3", Q(1)},
        {{}, "(2)(3)", Q(6)},
        {{}, "((((2", Q(2)},
        {{}, "2+", Q(2)},
        {{}, "- -3", Q(3)},
        {{}, "-(2+3)", Q(-5)},
        {{}, "(*2)", Q(2)},
        {{}, "(2+)", Q(2)},
        {{}, "1.2E-3", Q(12, 10000)},
        {{}, "1.2E+3", Q(1200)},
        {{}, "$1.8P-$1", Q(3, 32)},
        {{}, "2^3 #N2", Q(8)},
        {{}, "1/3 #N2 foo", Q(1, 3)},
        {{}, "1+2 #foo 3", Q(3)},
        {{}, "7!3", Q(1)},
        {{}, "-7\\2", Q(-3)},
        {{}, "12`18", Q(6)},
        {{}, "2'3", Q(2)},
        {{}, "2\"3", Q(3)},
        {{}, "1 234 567", Q(1234567)},
        {{}, "3.5%", Q(35, 1000)},
        {{}, "3 m", Q(3)},
    };
    for (const auto& c : cases)
        RunExact(c);
}

TEST(CalcLineTest, ErrorsAndNothingToCalculate) {
    const TExactCase cases[] = {
        {{}, "1/0", Q(0), TCalcErr::ceDivZero},
        {{}, "0/0", Q(0), TCalcErr::ceDivZero},
        {{}, "0^-1", Q(0), TCalcErr::ceDivZero},
        {{}, "#", Q(0), TCalcErr::ceNothing},
        {{}, "＃", Q(0), TCalcErr::ceNothing},
        {{}, "#!", Q(0), TCalcErr::ceNothing},
        {{}, ";only a comment", Q(0), TCalcErr::ceNothing},
        {{}, "", Q(0), TCalcErr::ceNothing},
        {{}, "+-*/", Q(0), TCalcErr::ceNothing},
        {{}, "２＋３", Q(0), TCalcErr::ceNothing},
        {{}, "#foo", Q(0), TCalcErr::ceControl},
        {{}, "undefinedname", Q(0), TCalcErr::ceUndefinedVar},
        {{}, "1E", Q(0), TCalcErr::ceInputRange},
        {{}, "1E99999", Q(0), TCalcErr::ceInputRange},
        {{}, "2+1E99999999999999999999", Q(0), TCalcErr::ceInputRange},
        {{"1/0"}, "Ans+1", Q(0), TCalcErr::ceErrorVar},
        {{}, "#Sqr(X)=X^2", Q(0), TCalcErr::ceUserFunc},
        {{}, "#F()=1", Q(0), TCalcErr::ceControl},
        {{}, "Ln(0)", Q(0), TCalcErr::ceFuncCalc},
    };
    for (const auto& c : cases)
        RunExact(c);
}

TEST(CalcLineTest, FullWidthSwitchCalculatesWideFormulas) {
    test::TNumberGuard guard;
    TVtCalc calc;
    EXPECT_FALSE(calc.CalcLine(SysText("２＋３"), true, true, true));
    calc.Switches.FullWidth = true;
    EXPECT_TRUE(calc.CalcLine(SysText("２＋３"), true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(5));
    EXPECT_TRUE(calc.CalcLine(SysText("２×３÷４"), true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(3, 2));
    calc.Switches.FullWidth = false;
    EXPECT_TRUE(calc.CalcLine(SysText("2×3"), true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(6));
    calc.Switches.WideMul = false;
    EXPECT_TRUE(calc.CalcLine(SysText("2×3"), true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(2));
    // A previous answer written after "＝" is not part of the expression.
    EXPECT_TRUE(calc.CalcLine(SysText("1+1 ＝ 2"), true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(2));
}

TEST(CalcLineTest, OnlyAWrittenAnswerEndsTheExpression) {
    test::TNumberGuard guard;
    const std::pair<const char*, const char*> cases[] = {
        {"1+1 ＝ 2", "1+1"},
        {"1+1＝", "1+1"},
        {"1+1\t＝ 2 [c]", "1+1"},
        {"合計＝1+2", "合計＝1+2"},
        {"合計＝1+2 ＝ 3", "合計＝1+2"},
        {"a ＝b", "a ＝b"},
        {"[x ＝ 1] 2 ＝ 9", "2"},
    };
    for (const auto& [line, formula] : cases)
        EXPECT_EQ(Cp932ToUtf8(FormulaText(SysText(line), {})), formula) << line;
    // Marks are found wherever they stand in a long line, in its blocks or after them.
    for (const std::size_t at :
         {std::size_t{0}, std::size_t{63}, std::size_t{64}, std::size_t{150}}) {
        std::string line(160, '1');
        line[at] = ';';
        EXPECT_EQ(FormulaText(line, {}), line.substr(0, at)) << at;
    }
    TVtCalc calc;
    EXPECT_TRUE(calc.CalcLine(SysText("合計＝1+2"), true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(3));
}

TEST(CalcLineTest, ArgumentsOfUserFunctions) {
    const TExactCase cases[] = {
        {{"#F2(a, b)=a-b"}, "F2(5, 3)", Q(2)},
        {{"#F2(a, b)=a-b"}, "F2(5)", Q(5)},
        {{"#F3(a, b, c)=a*100+b*10+c"}, "F3(1, 2, 3)", Q(123)},
        {{"#F3(a, b, c)=a*100+b*10+c"}, "F3(1, 2)", Q(120)},
        {{"#G(x)=x*2", "#F2(a, b)=a-b"}, "F2(G(1), G(G(2)))", Q(-6)},
        {{"#F(x)=x"}, "F(1,2)", Q(12)},
        {{"#Sqr(X)=X^2"}, "Sqr(4)", Q(16)},
        {{}, "Sqr(4)", Q(2)},
    };
    for (const auto& c : cases)
        RunExact(c);
}

TEST(CalcLineTest, FunctionsAndConstantsOnLines) {
    test::TNumberGuard guard;
    TVtCalc calc;
    ASSERT_TRUE(calc.CalcLine("Pi()", true, true, true));
    EXPECT_EQ(calc.LastResult().Re.Value(), std::numbers::pi_v<long double>);
    ASSERT_TRUE(calc.CalcLine("Pi(2)", true, true, true));
    EXPECT_EQ(calc.LastResult().Re.Value(), 2 * std::numbers::pi_v<long double>);
    ASSERT_TRUE(calc.CalcLine("pi=3", true, true, true));
    ASSERT_TRUE(calc.CalcLine("pi", true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(3));
    ASSERT_TRUE(calc.CalcLine("Pi()", true, true, true));
    EXPECT_EQ(calc.LastResult().Re.Value(), std::numbers::pi_v<long double>);
    ASSERT_TRUE(calc.CalcLine("exp(i*pai)", true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(-1));
    ASSERT_TRUE(calc.CalcLine("i^2", true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(-1));
    ASSERT_TRUE(calc.CalcLine("sqrt(-4)", true, true, true));
    EXPECT_EQ(calc.LastResult(), C(0, 2));
    ASSERT_TRUE(calc.CalcLine("Rand()<1", true, true, true));
    EXPECT_EQ(calc.LastResult(), Q(1));
}

}  // namespace
}  // namespace rekna
