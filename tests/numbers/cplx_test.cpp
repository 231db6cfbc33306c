// Tests of the complex operators, the error state, the marks and the tiny-error cut.
#include "numbers/cplx.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "numbers/calc_error.h"
#include "platform/cp932.h"
#include "support/number_guard.h"
#include "support/print_cplx.h"

namespace rekna {
namespace {

using TBinary = std::function<TCplx(const TCplx&, const TCplx&)>;

TCplx Q(long double num, long double den = 1) {
    return TCplx(TFrac(num, den));
}
TCplx C(long double re, long double im) {
    return TCplx(re, im);
}
TCplx I(long double num, long double den = 1) {
    return TCplx(TFrac(), TFrac(num, den));
}

struct TOpCase {
    const char* Name;
    TBinary Op;
    TCplx X, Y, Want;
    TCalcErr Err = TCalcErr::ceNone;
};

TEST(CplxTest, OperatorsGiveExactResults) {
    const TBinary add = [](auto& x, auto& y) { return x + y; };
    const TBinary sub = [](auto& x, auto& y) { return x - y; };
    const TBinary mul = [](auto& x, auto& y) { return x * y; };
    const TBinary div = [](auto& x, auto& y) { return x / y; };
    const TOpCase cases[] = {
        {"1/3*3", [](auto& x, auto& y) { return x / y * TCplx(3); }, Q(1), Q(3), Q(1)},
        {"0.1+0.2", add, Q(1, 10), Q(2, 10), Q(3, 10)},
        {"0.3-0.1", sub, Q(3, 10), Q(1, 10), Q(1, 5)},
        {"1/0", div, Q(1), Q(0), Q(0), TCalcErr::ceDivZero},
        {"0/0", div, Q(0), Q(0), Q(0), TCalcErr::ceDivZero},
        {"0/(2+i)", div, Q(0), C(2, 1), Q(0)},
        {"(1+2i)/0", div, C(1, 2), Q(0), Q(0), TCalcErr::ceDivZero},
        {"(1+2i)/(3+4i)", div, C(1, 2), C(3, 4), TCplx(TFrac(11, 25), TFrac(2, 25))},
        {"(3+4i)/(1+2i)", div, C(3, 4), C(1, 2), TCplx(TFrac(11, 5), TFrac(-2, 5))},
        {"(1+i)/(1-i)", div, C(1, 1), C(1, -1), I(1)},
        {"(4+6i)/2i", div, C(4, 6), I(2), C(3, -2)},
        {"(1+2i)*(3+4i)", mul, C(1, 2), C(3, 4), C(-5, 10)},
        {"(1/3)*(3i)", mul, Q(1, 3), I(3), I(1)},
        {"0^-1", Power, Q(0), Q(-1), Q(0), TCalcErr::ceDivZero},
        {"0^0", Power, Q(0), Q(0), Q(1)},
        {"(2/3)^3", Power, Q(2, 3), Q(3), Q(8, 27)},
        {"2^-2", Power, Q(2), Q(-2), Q(1, 4)},
        {"i^2", Power, I(1), Q(2), Q(-1)},
        {"i^-1", Power, I(1), Q(-1), I(-1)},
        {"(2i)^3", Power, I(2), Q(3), I(-8)},
        {"(2i)^-2", Power, I(2), Q(-2), Q(-1, 4)},
        {"(-8)^(1/3)", Power, Q(-8), Q(1, 3), Q(-2)},
        {"(-4)^(1/2)", Power, Q(-4), Q(1, 2), I(2)},
        {"8^(1/3)", Power, Q(8), Q(1, 3), Q(2)},
        {"0^i", Power, Q(0), I(1), Q(0), TCalcErr::cePowerCalc},
        {"0^(1+i)", Power, Q(0), C(1, 1), Q(0)},
        {"0^(-1+i)", Power, Q(0), C(-1, 1), Q(0), TCalcErr::ceDivZero},
        {"3//6", Parallel, Q(3), Q(6), Q(2)},
        {"0//5", Parallel, Q(0), Q(5), Q(0)},
        {"3//-3", Parallel, Q(3), Q(-3), Q(0), TCalcErr::ceDivZero},
        {"3~4", RmsSum, Q(3), Q(4), Q(5)},
        {"(1+2i)~(2+4i)", RmsSum, C(1, 2), C(2, 4), Q(5)},
        {"7!3", Remainder, Q(7), Q(3), Q(1)},
        {"-7!2", Remainder, Q(-7), Q(2), Q(-1)},
        {"7!0", Remainder, Q(7), Q(0), Q(0), TCalcErr::ceDivZero},
        {"-7\\2", IntQuotient, Q(-7), Q(2), Q(-3)},
        {"(7+9i)\\2", IntQuotient, C(7, 9), Q(2), C(3, 4)},
        {"2'3", Minimum, Q(2), Q(3), Q(2)},
        {"(1+2i)'(1+3i)", Minimum, C(1, 2), C(1, 3), C(1, 2)},
        {"(1+2i)\"(1+3i)", Maximum, C(1, 2), C(1, 3), C(1, 3)},
        {"5\"-5", Maximum, Q(5), Q(-5), Q(5)},
        {"12`18", Gcd, Q(12), Q(18), Q(6)},
        {"(1/2)`(1/3)", Gcd, Q(1, 2), Q(1, 3), Q(1, 6)},
        {"0`7", Gcd, Q(0), Q(7), Q(7)},
        {"(12+4i)`(18+6i)", Gcd, C(12, 4), C(18, 6), C(6, 2)},
        {"(1+5i)>(1+2i)", Greater, C(1, 5), C(1, 2), Q(0)},
        {"(1+5i)==(1+2i)", Equal, C(1, 5), C(1, 2), Q(1)},
        {"(1+5i)<>(1+2i)", NotEqual, C(1, 5), C(1, 2), Q(0)},
        {"0.1+0.2==0.3", [](auto& x, auto& y) { return Equal(x + y, Q(3, 10)); }, Q(1, 10),
         Q(2, 10), Q(1)},
        {"2>1", Greater, Q(2), Q(1), Q(1)},
        {"1<2", Less, Q(1), Q(2), Q(1)},
        {"2<2", Less, Q(2), Q(2), Q(0)},
        {"2<=2", LessEqual, Q(2), Q(2), Q(1)},
        {"3>=2", GreaterEqual, Q(3), Q(2), Q(1)},
        {"-1>=2", GreaterEqual, Q(-1), Q(2), Q(0)},
        {"-3==-3", Equal, Q(-3), Q(-3), Q(1)},
    };
    for (const auto& c : cases) {
        test::TNumberGuard guard;
        const TCplx got = c.Op(c.X, c.Y);
        EXPECT_EQ(CalcErr, c.Err) << c.Name;
        EXPECT_EQ(got, c.Want) << c.Name;
    }
}

TEST(CplxTest, RootsOfNegativeBasesThroughTheLogarithm) {
    test::TNumberGuard guard;
    const TCplx r = CutTinyError(Power(Q(-16), Q(1, 4)));  // 2 * exp(i*pi/4)
    EXPECT_NEAR(static_cast<double>(r.Re.Value()), std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(static_cast<double>(r.Im.Value()), std::sqrt(2.0), 1e-15);
    NumberSettings.Fractional = false;
    const TCplx s = CutTinyError(Power(Q(-8), Q(1.0L / 3)));  // principal root 1+1.732i
    EXPECT_NEAR(static_cast<double>(s.Re.Value()), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(s.Im.Value()), std::sqrt(3.0), 1e-15);
}

TEST(CplxTest, FractionOffComputesInExtended) {
    test::TNumberGuard guard;
    NumberSettings.Fractional = false;
    const TCplx third = Q(1) / Q(3);
    const TCplx one = third * Q(3);
    EXPECT_EQ(third.Re.Den, 1.0L);
    EXPECT_EQ(one.Re.Den, 1.0L);
    EXPECT_EQ(one.Re.Num, (1.0L / 3) * 3);
    EXPECT_EQ(Gcd(Q(12.2L), Q(17.9L)), Q(6));  // operands rounded to 12 and 18
    EXPECT_EQ((C(1, 2) / C(3, 4)).Im.Den, 1.0L);
}

TEST(CplxTest, TinyErrorCut) {
    test::TNumberGuard guard;
    const TCplx e = CplxExp(I(std::numbers::pi_v<long double>));
    EXPECT_NE(e.Im.Num, 0.0L);
    EXPECT_LT(std::fabs(e.Im.Value()), 1e-18L);
    const TCplx cut = CutTinyError(e);
    EXPECT_EQ(cut, Q(-1));
    NumberSettings.RoundFuzz = false;
    EXPECT_EQ(CutTinyError(e), e);
    NumberSettings.RoundFuzz = true;
    // Parts of comparable size are kept.
    EXPECT_EQ(CutTinyError(C(1, 1e-17L)), C(1, 1e-17L));
    EXPECT_EQ(CutTinyError(C(1e-30L, 1)), I(1));
    EXPECT_EQ(CutTinyError(C(0, 0)), C(0, 0));
}

TEST(CplxTest, PolarUsesTheAngleUnit) {
    test::TNumberGuard guard;
    EXPECT_EQ(CutTinyError(Polar(Q(2), Q(std::numbers::pi_v<long double> / 2))), I(2));
    NumberSettings.AngleUnit = TAngleUnit::auDeg;
    EXPECT_EQ(CutTinyError(Polar(Q(2), Q(90))), I(2));
    EXPECT_EQ(CutTinyError(Polar(Q(3), Q(180))), Q(-3));
    const TCplx p = Polar(Q(1), Q(45));
    EXPECT_NEAR(static_cast<double>(p.Re.Value()), std::sqrt(0.5), 1e-16);
    EXPECT_NEAR(static_cast<double>(p.Im.Value()), std::sqrt(0.5), 1e-16);
}

TEST(CplxTest, MarksAreRecognisedAndDistinct) {
    const TCplx blank = TCplx::Blank();
    const TCplx err = TCplx::ErrorMark();
    EXPECT_TRUE(blank.IsBlank());
    EXPECT_FALSE(blank.IsErrorMark());
    EXPECT_TRUE(err.IsErrorMark());
    EXPECT_FALSE(err.IsBlank());
    EXPECT_FALSE(Q(0).IsBlank());
    EXPECT_FALSE(Q(0).IsErrorMark());
    EXPECT_TRUE(std::signbit(IndefiniteNaN()));
    EXPECT_TRUE(std::isnan(IndefiniteNaN()));
}

TEST(CplxTest, LogarithmOfZeroIsAFunctionError) {
    test::TNumberGuard guard;
    EXPECT_EQ(CplxLn(Q(0)), Q(0));
    EXPECT_EQ(CalcErr, TCalcErr::ceFuncCalc);
    CalcErr = TCalcErr::ceNone;
    const TCplx l = CplxLn(Q(-1));
    EXPECT_EQ(l.Re.Value(), 0.0L);
    EXPECT_EQ(l.Im.Value(), std::numbers::pi_v<long double>);
}

TEST(CalcErrTest, MessagesAreTheFixedTexts) {
    const struct {
        TCalcErr Code;
        const char* Utf8;
    } cases[] = {
        {TCalcErr::ceNone, ""},
        {TCalcErr::ceDivZero, "0による割算"},
        {TCalcErr::ceOverflow, "オーバーフロー"},
        {TCalcErr::ceUnderflow, "アンダーフロー"},
        {TCalcErr::ceInvalidOp, "不正な演算"},
        {TCalcErr::ceMath, "演算エラー"},
        {TCalcErr::ceConversion, "変換エラー"},
        {TCalcErr::ceSyntax, "構文エラー"},
        {TCalcErr::ceUndefinedVar, "未定義変数"},
        {TCalcErr::ceControl, "制御コード"},
        {TCalcErr::ceUserFunc, "ユーザー定義関数"},
        {TCalcErr::ceErrorVar, "エラー変数"},
        {TCalcErr::ceFuncCalc, "関数計算エラー"},
        {TCalcErr::cePowerCalc, "べき乗計算エラー"},
        {TCalcErr::ceInputRange, "数値入力範囲外"},
        {TCalcErr::ceIntInput, "整数入力範囲外"},
        {TCalcErr::ceIntDisplay, "整数表示範囲外"},
        {TCalcErr::ceNothing, "?"},
        {static_cast<TCalcErr>(200), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Cp932ToUtf8(CalcErrMessage(c.Code)), c.Utf8);
    EXPECT_EQ(Cp932ToUtf8(CalcErrAnswer(TCalcErr::ceDivZero)), "[0による割算]");
}

TEST(CalcErrTest, FloatingPointFlagsMapToCodes) {
    volatile long double zero = 0.0L, big = 1e4000L, one = 1.0L;
    ClearFpErrors();
    EXPECT_EQ(FpErrors(), TCalcErr::ceNone);
    volatile long double r = one / zero;
    EXPECT_EQ(FpErrors(), TCalcErr::ceDivZero);
    ClearFpErrors();
    r = big * big;
    EXPECT_EQ(FpErrors(), TCalcErr::ceOverflow);
    ClearFpErrors();
    r = zero / zero;
    EXPECT_EQ(FpErrors(), TCalcErr::ceInvalidOp);
    ClearFpErrors();
    r = std::exp(static_cast<long double>(-20000.0L) * one);  // underflow is not an error
    EXPECT_EQ(FpErrors(), TCalcErr::ceNone);
    (void)r;
}

}  // namespace
}  // namespace rekna
