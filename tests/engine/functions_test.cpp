// Tests of the built-in functions and constants by name, and of the statistics accumulator.
#include "engine/functions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/statistics.h"
#include "numbers/calc_error.h"
#include "numbers/number_settings.h"
#include "platform/cp932.h"
#include "support/number_guard.h"
#include "support/print_cplx.h"

namespace rekna {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

TCplx Q(long double num, long double den = 1) {
    return TCplx(TFrac(num, den));
}
TCplx C(long double re, long double im) {
    return TCplx(re, im);
}
TCplx I(long double num, long double den = 1) {
    return TCplx(TFrac(), TFrac(num, den));
}

TCplx Call(const char* name, const TCplx& arg, const TFuncEnv& env = {}) {
    const int index = FindFunction(SysText(name));
    EXPECT_GE(index, 0) << name;
    return ApplyFunction(index, arg, env);
}

TCplx Constant(const char* name, const TCplx& arg, const TFuncEnv& env = {}) {
    const int index = FindConstant(SysText(name));
    EXPECT_GE(index, 0) << name;
    return ApplyConstant(index, arg, env);
}

// Leaves the process-wide accumulator empty for the tests that follow.
struct TStatisticsGuard {
    ~TStatisticsGuard() { Statistics = TStatistics(); }
};

// Tol 0: both parts must be equal as values (exact results). Otherwise the distance from the
// wanted value, relative to its size (absolute when it is 0).
struct TFuncCase {
    const char* Name;
    TCplx Arg;
    TCplx Want;
    long double Tol = 0;
    TCalcErr Err = TCalcErr::ceNone;
};

void ExpectValue(const TCplx& got, const TCplx& want, long double tol, const std::string& what) {
    if (tol == 0) {
        EXPECT_EQ(ReValue(got), ReValue(want)) << what;
        EXPECT_EQ(ImValue(got), ImValue(want)) << what;
        return;
    }
    const long double size = std::max(CplxAbs(want), 1e-300L);
    const long double diff = std::hypot(ReValue(got) - ReValue(want), ImValue(got) - ImValue(want));
    EXPECT_LE(static_cast<double>(diff / (CplxAbs(want) == 0 ? 1 : size)), static_cast<double>(tol))
        << what << " gave " << static_cast<double>(ReValue(got)) << " + "
        << static_cast<double>(ImValue(got)) << "i";
}

void RunCases(const std::vector<TFuncCase>& cases, const TFuncEnv& env = {}) {
    for (const TFuncCase& c : cases) {
        CalcErr = TCalcErr::ceNone;
        ClearFpErrors();
        const TCplx got = Call(c.Name, c.Arg, env);
        const std::string what = std::string(c.Name) + " row " + std::to_string(&c - cases.data());
        EXPECT_EQ(CalcErr, c.Err) << what;
        EXPECT_EQ(FpErrors(), TCalcErr::ceNone) << what;  // no stray flag for the engine to map
        if (c.Err == TCalcErr::ceNone) {
            ExpectValue(got, c.Want, c.Tol, what);
        } else {
            EXPECT_TRUE(got.IsZero()) << what;
        }
    }
}

constexpr long double kAcosh2 = 1.316957896924816708625046347618L;  // arcosh 2 = ln(2 + sqrt 3)
constexpr long double kTight = 1e-18L;

TEST(FunctionsTest, ElementaryInRadians) {
    test::TNumberGuard guard;
    RunCases({
        {"abs", Q(-3, 7), Q(3, 7)},
        {"mag", C(3, 4), Q(5)},
        {"conj", C(1, 2), C(1, -2)},
        {"re", TCplx(TFrac(1, 3), TFrac(2)), Q(1, 3)},
        {"im", TCplx(TFrac(2), TFrac(1, 3)), Q(1, 3)},
        {"sinr", Q(kPi), Q(0), 1e-19L},
        {"asin", Q(2), C(kPi / 2, -kAcosh2), kTight},
        {"asin", Q(-2), C(-kPi / 2, kAcosh2), kTight},
        {"acos", Q(2), C(0, kAcosh2), kTight},
        {"acos", Q(-2), C(kPi, -kAcosh2), kTight},
        {"acosh", Q(1, 2), I(kPi / 3), kTight},
        {"acosh", Q(-2), C(kAcosh2, kPi), kTight},
        {"atan", Q(1), Q(kPi / 4)},
        {"atan", I(1), Q(0), 0, TCalcErr::ceFuncCalc},
        {"atan", I(-1), Q(0), 0, TCalcErr::ceFuncCalc},
        {"atan", I(2), C(kPi / 2, std::log(3.0L) / 2), kTight},
        {"atan", I(-2), C(-kPi / 2, -std::log(3.0L) / 2), kTight},
        {"atanh", Q(1), Q(0), 0, TCalcErr::ceFuncCalc},
        {"atanh", Q(-1), Q(0), 0, TCalcErr::ceFuncCalc},
        {"atanh", Q(2), C(std::log(3.0L) / 2, -kPi / 2), kTight},
        {"asinh", I(2), C(kAcosh2, kPi / 2), kTight},
        {"arg", Q(-1), Q(kPi)},
        {"phase", I(-1), Q(-kPi / 2)},
        {"ln", Q(0), Q(0), 0, TCalcErr::ceFuncCalc},
        {"ln", Q(-1), I(kPi)},
        {"log", Q(100), Q(2)},
        {"log10", Q(-10), C(1, kPi / std::numbers::ln10_v<long double>), kTight},
        {"log2", Q(8), Q(3)},
        {"log2", Q(0), Q(0), 0, TCalcErr::ceFuncCalc},
        {"exp", I(kPi), Q(-1), 1e-19L},
        {"tan", C(1, 1), C(0.271752585319511716528843722499L, 1.08392332733869454347575206121L),
         kTight},
        {"tanh", C(1000, 1), Q(1), kTight},
        {"sinh", C(0, kPi / 2), I(1), kTight},
        {"cosh", C(0, kPi), Q(-1), kTight},
        {"sqrt", Q(-4), I(2)},
        {"sqrt", Q(1, 4), Q(1, 2)},
        {"sqr", Q(9, 16), Q(3, 4)},
        {"sqrt", I(2), C(1, 1)},
        {"sqrt", I(-2), C(1, -1)},
        {"sqrt", C(3, 4), C(2, 1), kTight},
        {"sqrt", C(-3, 4), C(1, 2), kTight},
        {"sqrt", C(-3, -4), C(1, -2), kTight},
        {"√", Q(-9), I(3)},
        {"√", Q(2), Q(std::sqrt(2.0L))},
        {"sqrt3", Q(-27), Q(-3)},
        {"sqr3", I(8), C(std::sqrt(3.0L), 1), kTight},
        {"deg", Q(kPi), Q(180)},
        {"rad", Q(180), Q(kPi)},
        {"int", Q(-5, 2), Q(-2)},
        {"int", C(7.5L, -7.5L), C(7, -7)},
        {"round", Q(-5, 2), Q(-3)},
        {"round", Q(5, 2), Q(3)},
        {"round", Q(std::nextafter(0.5L, 0.0L)), Q(0)},
        {"round", Q(1e30L), Q(1e30L)},
        {"frac", Q(-5, 2), Q(-1, 2)},
        {"frac", Q(10, 3), Q(1, 3)},
        {"sign", Q(-5), Q(-1)},
        {"pol", I(3), Q(0)},
        {"pos", Q(1, 1000), Q(1)},
        {"neg", Q(3), Q(0)},
        {"not", Q(0), Q(1)},
        {"zero", Q(2), Q(0)},
    });
}

TEST(FunctionsTest, ZeroPartsHaveNoSign) {
    test::TNumberGuard guard;
    const struct {
        const char* Name;
        TCplx Arg;
    } cases[] = {{"round", Q(-3, 10)}, {"int", C(-1, -0.5L)}, {"cos", C(0, 1)},
                 {"sinh", C(0, 2)},    {"cosh", C(0, -1)},    {"s", Q(-1)}};
    for (const auto& c : cases) {
        const TCplx v = Call(c.Name, c.Arg);
        EXPECT_TRUE((!v.Re.IsZero() || !std::signbit(v.Re.Num)) &&
                    (!v.Im.IsZero() || !std::signbit(v.Im.Num)))
            << c.Name;
    }
}

TEST(FunctionsTest, ExactResultsStayFractions) {
    test::TNumberGuard guard;
    // Fractions keep their exact pair, so 1/3 stays 1/3 and not its rounded quotient.
    EXPECT_EQ(Call("abs", Q(-1, 3)), Q(1, 3));
    EXPECT_EQ(Call("frac", Q(7, 3)), Q(1, 3));
    EXPECT_EQ(Call("sqrt", Q(1, 4)), Q(1, 2));
    EXPECT_EQ(Call("e12", Q(115, 100)), Q(12, 10));
    EXPECT_EQ(Call("e12", Q(35, 10000000000)), Q(33, 10000000000));
    // (3b - 1)/b with b = 2^64 - 1 lies below 3 but its extended quotient rounds to 3.
    const long double b = 18446744073709551615.0L;
    const TCplx below3 = Q(55340232221128654844.0L, b);
    ASSERT_EQ(ReValue(below3), 3.0L);
    EXPECT_EQ(Call("int", below3), Q(2));
    EXPECT_EQ(Call("frac", below3), Q(b - 1, b));
}

TEST(FunctionsTest, AngleUnits) {
    test::TNumberGuard guard;
    NumberSettings.AngleUnit = TAngleUnit::auDeg;
    RunCases({
        {"sin", Q(90), Q(1)},
        {"cos", Q(60), Q(1, 2), kTight},
        {"tan", Q(45), Q(1), kTight},
        {"asind", Q(1), Q(90)},
        {"asin", Q(1, 2), Q(30), kTight},
        {"acos", Q(-1), Q(180)},
        {"atan", Q(1), Q(45)},
        {"arg", I(1), Q(90)},
        {"sinr", Q(kPi / 2), Q(1)},
        {"asinr", Q(1), Q(kPi / 2)},
        {"argr", Q(-1), Q(kPi)},
    });
    NumberSettings.AngleUnit = TAngleUnit::auRad;
    RunCases({
        {"sin", Q(kPi / 2), Q(1)},
        {"sind", Q(90), Q(1)},
        {"cosd", Q(180), Q(-1)},
        {"acosd", Q(0), Q(90)},
        {"atand", Q(-1), Q(-45)},
        {"argd", C(1, 1), Q(45)},
        {"angled", Q(-1), Q(180)},
    });
    // SinR(pi) is the rounding residue of pi, about -5e-20, and stays real and nonzero.
    const TCplx residue = Call("sinr", Q(kPi));
    EXPECT_NE(ReValue(residue), 0.0L);
    EXPECT_LT(std::fabs(ReValue(residue)), 1e-19L);
    EXPECT_TRUE(residue.Im.IsZero());
}

TEST(FunctionsTest, DecibelsAndElectricalQuantities) {
    test::TNumberGuard guard;
    const long double sqrt005 = std::sqrt(0.05L);
    RunCases({
        {"db20", Q(10), Q(20)},
        {"db10", Q(10), Q(10)},
        {"db2", C(3, 4), Q(20 * std::log10(5.0L)), kTight},
        {"dbm", Call("sqrt", Q(5, 100)), Q(0)},
        {"dbu", Q(1, 1000000), Q(0)},
        {"db1", Q(0), Q(0), 0, TCalcErr::ceFuncCalc},
        {"dbm", Q(0), Q(0), 0, TCalcErr::ceFuncCalc},
        {"adb20", Q(20), Q(10)},
        {"adb2", Q(-40), Q(1, 100), kTight},
        {"adb10", Q(30), Q(1000)},
        {"adb1", Q(-10), Q(1, 10), kTight},
        {"adbm", Q(0), Q(sqrt005)},
        {"adbu", C(0, 5), Q(1e-6L)},
        {"vswr", Q(50), Q(1)},
        {"vswr", Q(100), Q(2), kTight},
        {"vswr", Q(25), Q(2), kTight},
        {"vswr", Q(0), Q(0), 0, TCalcErr::ceDivZero},
        {"vswr", Q(-50), Q(0), 0, TCalcErr::ceDivZero},
        {"qz", C(1, 2), Q(2)},
        {"qy", C(1, -2), Q(1, 2)},
        {"qz", I(2), Q(0), 0, TCalcErr::ceDivZero},
        {"qy", Q(3), Q(0), 0, TCalcErr::ceDivZero},
        {"yr", Q(4), Q(1, 4)},
        {"ayr", Q(0), Q(0), 0, TCalcErr::ceDivZero},
        {"zr", C(3, 4), Q(3)},
        {"s", Q(1), I(2 * kPi)},
        {"s", I(1), Q(-2 * kPi)},
    });
    NumberSettings.DbUnit = TdBUnit::dudB10;
    RunCases({{"db", Q(100), Q(20)}, {"adb", Q(20), Q(100)}});
    NumberSettings.DbUnit = TdBUnit::dudBm;
    RunCases({{"db", Q(sqrt005), Q(0)}, {"adb", Q(0), Q(sqrt005)}});
    NumberSettings.DbUnit = TdBUnit::dudBu;
    RunCases({{"db", Q(1e-5L), Q(20), kTight}, {"adb", Q(20), Q(1e-5L), kTight}});
}

TEST(FunctionsTest, ImpedancesUseTheFrequency) {
    test::TNumberGuard guard;
    TFuncEnv env;
    env.FreqAbs = 1e6L;
    const long double omega = 2 * kPi * 1e6L;
    RunCases(
        {
            {"zl", Q(1, 1000000), I(6.283185307179586476925L), kTight},
            {"yc", Q(1, 1000000), I(6.283185307179586476925L), kTight},
            {"zc", Q(1, 1000000000), I(-159.1549430918953357689L), kTight},
            {"yl", Q(1, 1000000000), I(-159.1549430918953357689L), kTight},
            {"zc", Q(0), Q(0), 0, TCalcErr::ceDivZero},
            {"azl", I(omega), Q(1), kTight},
            {"ayc", I(omega), Q(1), kTight},
            {"azc", I(-1 / omega), Q(1), kTight},
            {"ayl", I(-1 / omega), Q(1), kTight},
            {"azc", Q(5), Q(0), 0, TCalcErr::ceDivZero},
            {"azr", C(7, 3), Q(7)},
            {"ayr", C(4, 3), Q(1, 4)},
        },
        env);
    EXPECT_NEAR(static_cast<double>(ReValue(Call("azl", Call("zl", Q(1, 1000000), env), env))),
                1e-6, 1e-24);
    env.FreqAbs = 0;
    RunCases(
        {{"azl", I(1), Q(0), 0, TCalcErr::ceDivZero}, {"zc", Q(1), Q(0), 0, TCalcErr::ceDivZero}},
        env);
}

TEST(FunctionsTest, ESeriesRounding) {
    test::TNumberGuard guard;
    RunCases({
        {"e24", Q(4600), Q(4700)},
        {"e6", Q(4600), Q(4700)},
        {"e12", Q(115, 100), Q(12, 10)},
        {"e12", Q(109, 100), Q(1)},  // below the boundary sqrt(1.0 * 1.2) = 1.095
        {"e24", Q(0), Q(0)},
        {"e24", Q(1000), Q(1000)},
        {"e24", Q(96, 10), Q(10)},  // beyond sqrt(91 * 100), the next decade
        {"e24", Q(94, 10), Q(91, 10)},
        {"e6", Q(8, 1000000), Q(68, 10000000)},
        {"e24", Q(-4600), Q(-4700)},
        {"e24", C(4600, 115), C(4700, 120)},
        {"e24", Q(1.5e300L), Q(1.5e300L), 1e-18L},
    });
}

TEST(FunctionsTest, BesselAtSpecialPoints) {
    test::TNumberGuard guard;
    RunCases({
        {"j0", Q(0), Q(1)},
        {"j1", Q(0), Q(0)},
        {"j9", Q(0), Q(0)},
        {"j1", Q(-2), Q(-0.5767248077568733872024482422691L), kTight},
        {"j2", Q(-2), Q(0.352834028615637719150620787619L), kTight},
        // J_n(iy) = i^n I_n(y)
        {"j0", I(1), Q(1.266065877752008335598244625215L), kTight},
        {"j1", I(1), I(0.5651591039924850272076960276099L), kTight},
        {"j2", I(30), Q(-7.30436828561380356417770169319e11L), 1e-17L},
    });
    CalcErr = TCalcErr::ceNone;
    EXPECT_TRUE(Call("j0", I(12000)).IsZero());
    EXPECT_EQ(CalcErr, TCalcErr::ceOverflow);
}

TEST(FunctionsTest, NormalDistributionWithoutData) {
    test::TNumberGuard guard;
    TStatisticsGuard statistics;
    Statistics.Start();
    const long double density0 = 0.3989422804014326779399460599343819L;
    RunCases({
        {"dist", Q(0), Q(density0), kTight},
        {"distp", Q(-1), Q(0.2419707245191433497978301929355L), kTight},
        {"dist", C(3, 4), Q(1.486719514734297707908902073e-6L), 1e-17L},
        {"sdist", Q(0), Q(1, 2)},
        {"sdist", Q(1), Q(0.8413447460685429485852325456320L), kTight},
        {"sdist", Q(-1), Q(0.8413447460685429485852325456320L), kTight},
        {"sdistp", C(0, 2), Q(0.9772498680518207927997173628334L), kTight},
        {"sdist", Q(1e10L), Q(1)},
        {"dist", Q(1e4000L), Q(0)},
    });
    Statistics.Stop();
}

TEST(FunctionsTest, RandAndTime) {
    test::TNumberGuard guard;
    for (int i = 0; i < 200; ++i) {
        const long double u = ReValue(Call("rand", Q(0)));
        EXPECT_GE(u, 0.0L);
        EXPECT_LT(u, 1.0L);
        const TCplx r = Call("rand", C(2, -3));
        EXPECT_TRUE(ReValue(r) >= 0.0L && ReValue(r) < 2.0L);
        EXPECT_TRUE(ImValue(r) <= 0.0L && ImValue(r) > -3.0L);
    }
    EXPECT_NE(ReValue(Call("rand", Q(0))), ReValue(Call("rand", Q(0))));
    const long double t = ReValue(Call("time", Q(0)));
    EXPECT_GE(t, 0.0L);
    EXPECT_LT(t, 86400.0L);
}

// Every function at the edges of the extended range either gives a finite value, or reports the
// failure through the error state or the floating-point flags that the engine maps to codes.
TEST(FunctionsTest, ExtremeArgumentsNeverGiveSilentInfinities) {
    test::TNumberGuard guard;
    const long double big = 1e4930L, tiny = 1e-4940L;
    const TCplx args[] = {Q(0),     Q(big),    Q(-big),       Q(tiny),       Q(-tiny),
                          I(big),   I(-tiny),  C(big, big),   C(-big, tiny), C(tiny, -big),
                          Q(1e20L), C(30, -1), C(-1, 1e-30L), Q(11400),      C(1e-300L, 11400)};
    Statistics.Start();
    Statistics.Stop();
    TFuncEnv env;
    env.FreqAbs = 1e6L;
    for (int f = 0; f < kFunctionCount; ++f) {
        for (const TCplx& z : args) {
            CalcErr = TCalcErr::ceNone;
            ClearFpErrors();
            const TCplx v = ApplyFunction(f, z, env);
            const bool finite = std::isfinite(ReValue(v)) && std::isfinite(ImValue(v));
            EXPECT_TRUE(finite || CalcFailed() || FpErrors() != TCalcErr::ceNone)
                << FunctionName(f) << "(" << static_cast<double>(ReValue(z)) << ", "
                << static_cast<double>(ImValue(z)) << ")";
        }
    }
    Statistics.Reset();
}

TEST(StatisticsTest, TwoData) {
    test::TNumberGuard guard;
    TStatisticsGuard statistics;
    EXPECT_TRUE(Call("data", Q(0)).IsZero());
    EXPECT_TRUE(Statistics.Active);
    Statistics.Add(Q(10));
    Statistics.Add(Q(20));
    EXPECT_EQ(Statistics.Count, 2.0L);
    EXPECT_EQ(Statistics.Ave, Q(15));
    EXPECT_EQ(Statistics.Var, 50.0L);
    EXPECT_EQ(Statistics.VarP, 25.0L);
    EXPECT_EQ(Statistics.Std, std::sqrt(50.0L));
    EXPECT_EQ(Statistics.StdP, 5.0L);
    EXPECT_EQ(Statistics.Max, Q(20));
    EXPECT_EQ(Statistics.Min, Q(10));
    EXPECT_EQ(Statistics.MaxA, Q(20));
    EXPECT_EQ(Statistics.MinA, Q(10));
    EXPECT_EQ(Constant("sum", Q(1)), Q(30));
    EXPECT_EQ(Constant("count", Q(1)), Q(2));
    EXPECT_EQ(Constant("ave", Q(2)), Q(30));
    EXPECT_EQ(Call("sdist", Q(15)), Q(1, 2));
    ExpectValue(Call("sdistp", Q(20)), Q(0.8413447460685429485852325456320L), kTight, "SDistP(20)");
    ExpectValue(Call("dist", Q(15)), Q(0.3989422804014326779399460599343819L / std::sqrt(50.0L)),
                kTight, "Dist(15)");
    EXPECT_EQ(Call("end", Q(0)), Q(2));
    EXPECT_FALSE(Statistics.Active);
    // The data stay readable after End.
    EXPECT_EQ(Constant("max", Q(1)), Q(20));
}

TEST(StatisticsTest, ComplexDataAndExtremes) {
    test::TNumberGuard guard;
    TStatisticsGuard statistics;
    Statistics.Start();
    Statistics.Add(C(1, 2));
    Statistics.Add(C(3, -1));
    EXPECT_EQ(Statistics.Max, C(3, 2));
    EXPECT_EQ(Statistics.Min, C(1, -1));
    EXPECT_EQ(Statistics.MaxA, C(3, -1));
    EXPECT_EQ(Statistics.MinA, C(1, 2));
    EXPECT_EQ(Statistics.Ave, TCplx(TFrac(2), TFrac(1, 2)));
    EXPECT_EQ(Statistics.Var, 6.5L);
    EXPECT_EQ(Statistics.VarP, 3.25L);

    // Only a strictly larger or smaller magnitude replaces MaxA or MinA.
    Statistics.Start();
    Statistics.Add(Q(3));
    Statistics.Add(Q(-3));
    EXPECT_EQ(Statistics.MaxA, Q(3));
    EXPECT_EQ(Statistics.MinA, Q(3));
    EXPECT_EQ(Statistics.Ave, Q(0));

    // Exact sums of decimal fractions.
    Statistics.Start();
    Statistics.Add(Q(1, 10));
    Statistics.Add(Q(2, 10));
    EXPECT_EQ(Statistics.Sum(), Q(3, 10));
    EXPECT_EQ(Statistics.Ave, Q(15, 100));
    Statistics.Stop();
}

TEST(StatisticsTest, OneDatumHasNoDeviation) {
    test::TNumberGuard guard;
    TStatisticsGuard statistics;
    Statistics.Start();
    Statistics.Add(Q(7));
    EXPECT_EQ(Statistics.Std, 0.0L);
    EXPECT_EQ(Statistics.Var, 0.0L);
    EXPECT_EQ(Call("dist", Q(7)), Q(1));
    EXPECT_EQ(Call("dist", Q(8)), Q(0));
    EXPECT_EQ(Call("sdist", Q(7)), Q(1, 2));
    EXPECT_EQ(Call("sdistp", Q(8)), Q(1));
    // Reset empties the data but keeps the accumulator active.
    Statistics.Reset();
    EXPECT_TRUE(Statistics.Active);
    EXPECT_EQ(Statistics.Count, 0.0L);
    Statistics.Stop();
}

TEST(ConstantsTest, ValuesTimesArgument) {
    test::TNumberGuard guard;
    TFuncEnv env;
    env.FreqAbs = 1e6L;
    env.LastAnswer = C(1, 1);
    EXPECT_EQ(Constant("pi", Q(2)), Q(2 * kPi));
    EXPECT_EQ(Constant("pai", Q(1)), Q(kPi));
    EXPECT_EQ(Constant("π", Q(1)), Q(kPi));
    EXPECT_EQ(Constant("c", Q(1)), Q(299792458));
    EXPECT_EQ(Constant("g", Q(1)), Q(980665, 1e5L));
    EXPECT_EQ(Constant("e", Q(1)), Q(std::exp(1.0L)));
    EXPECT_EQ(Constant("i", Q(3)), I(3));
    EXPECT_EQ(Constant("j", I(1)), Q(-1));
    EXPECT_EQ(Constant("f", Q(2), env), Q(2e6L));
    EXPECT_EQ(Constant("ans", Q(2), env), C(2, 2));
    EXPECT_EQ(Constant("εo", Q(1)), Constant("eo", Q(1)));
    EXPECT_EQ(Constant("μo", Q(1)), Constant("mo", Q(1)));
    EXPECT_EQ(Constant("ρ", Q(1)), Q(1225, 1000));
    EXPECT_EQ(Constant("ν", Q(1)), Q(14638, 1e9L));
    const struct {
        const char* Name;
        long double Value;
    } physical[] = {{"eo", 8.854187818e-12L}, {"h", 6.6260755e-34L},   {"k", 1.380658e-23L},
                    {"me", 9.1093897e-31L},   {"mo", 1.256637061e-6L}, {"q", 1.60217733e-19L}};
    for (const auto& p : physical) {
        ExpectValue(Constant(p.Name, Q(1)), Q(p.Value), 1e-18L, p.Name);
    }
    // Without fraction calculation every value is a plain extended.
    NumberSettings.Fractional = false;
    const TCplx g = Constant("g", Q(1));
    EXPECT_EQ(g.Re.Den, 1.0L);
    EXPECT_EQ(g.Re.Num, 9.80665L);
}

TEST(ConstantsTest, VariableValuesAfterMemoryClear) {
    test::TNumberGuard guard;
    const auto value = [](const char* name) {
        return ConstantVariableValue(FindConstant(SysText(name)));
    };
    EXPECT_EQ(value("e"), Q(271828182845904512.0L, 1e17L));
    EXPECT_NE(ReValue(value("e")), std::exp(1.0L));
    EXPECT_EQ(value("f"), Q(1));
    EXPECT_EQ(value("i"), I(1));
    EXPECT_EQ(value("j"), I(1));
    EXPECT_EQ(value("pi"), Q(kPi));
    EXPECT_EQ(value("π"), Q(kPi));
    EXPECT_EQ(value("ρ"), Q(1225, 1000));
    for (const char* zero : {"ans", "ave", "count", "max", "maxa", "min", "mina", "std", "stdp",
                             "sum", "var", "varp"}) {
        EXPECT_TRUE(value(zero).IsZero()) << zero;
    }
}

// The two name tables as the calculation language defines them: lower-case name, display.
struct TNameCase {
    const char* Name;
    const char* Display;
};

const TNameCase kFunctionNames[] = {
    {"abs", "Abs"},       {"mag", "Abs"},         {"acos", "ACos"},     {"arccos", "ArcCos"},
    {"acosd", "ACosD"},   {"arccosd", "ArcCosD"}, {"acosr", "ACosR"},   {"arccosr", "ArcCosR"},
    {"acosh", "ACosh"},   {"arccosh", "ArcCosh"}, {"asin", "ASin"},     {"arcsin", "ArcSin"},
    {"asind", "ASinD"},   {"arcsind", "ArcSinD"}, {"asinr", "ASinR"},   {"arcsinr", "ArcSinR"},
    {"asinh", "ASinh"},   {"arcsinh", "ArcSinh"}, {"atan", "ATan"},     {"arctan", "ArcTan"},
    {"atand", "ATanD"},   {"arctand", "ArcTanD"}, {"atanr", "ATanR"},   {"arctanr", "ArcTanR"},
    {"atanh", "ATanh"},   {"arctanh", "ArcTanh"}, {"angle", "Angle"},   {"arg", "Arg"},
    {"phase", "Phase"},   {"angled", "AngleD"},   {"argd", "ArgD"},     {"phased", "PhaseD"},
    {"angler", "AngleR"}, {"argr", "ArgR"},       {"phaser", "PhaseR"}, {"adb", "AdB"},
    {"adb1", "adB1"},     {"adb10", "AdB10"},     {"adb2", "AdB2"},     {"adb20", "AdB20"},
    {"adbm", "AdBm"},     {"adbu", "AdBu"},       {"db", "dB"},         {"db1", "dB1"},
    {"db10", "dB10"},     {"db2", "dB2"},         {"db20", "dB20"},     {"dbm", "dBm"},
    {"dbu", "dBu"},       {"ayc", "AyC"},         {"azl", "AzL"},       {"ayl", "AyL"},
    {"azc", "AzC"},       {"ayr", "AyR"},         {"yr", "yR"},         {"azr", "AzR"},
    {"zr", "zR"},         {"zl", "zL"},           {"yc", "yC"},         {"zc", "zC"},
    {"yl", "yL"},         {"qz", "Qz"},           {"qy", "Qy"},         {"vswr", "VSWR"},
    {"s", "S"},           {"conj", "Conj"},       {"re", "Re"},         {"im", "Im"},
    {"cos", "Cos"},       {"cosd", "CosD"},       {"cosr", "CosR"},     {"sin", "Sin"},
    {"sind", "SinD"},     {"sinr", "SinR"},       {"tan", "Tan"},       {"tand", "TanD"},
    {"tanr", "TanR"},     {"cosh", "Cosh"},       {"sinh", "Sinh"},     {"tanh", "Tanh"},
    {"exp", "Exp"},       {"ln", "Ln"},           {"log", "Log"},       {"log10", "Log10"},
    {"log2", "Log2"},     {"sqr", "Sqr"},         {"sqrt", "Sqrt"},     {"√", "√"},
    {"sqr3", "Sqr3"},     {"sqrt3", "Sqrt3"},     {"deg", "Deg"},       {"rad", "Rad"},
    {"int", "Int"},       {"frac", "Frac"},       {"round", "Round"},   {"sign", "Sign"},
    {"pol", "Pol"},       {"pos", "Pos"},         {"neg", "Neg"},       {"not", "Not"},
    {"zero", "Zero"},     {"rand", "Rand"},       {"time", "Time"},     {"e6", "E6"},
    {"e12", "E12"},       {"e24", "E24"},         {"j0", "J0"},         {"j1", "J1"},
    {"j2", "J2"},         {"j3", "J3"},           {"j4", "J4"},         {"j5", "J5"},
    {"j6", "J6"},         {"j7", "J7"},           {"j8", "J8"},         {"j9", "J9"},
    {"dist", "Dist"},     {"distp", "DistP"},     {"sdist", "SDist"},   {"sdistp", "SDistP"},
    {"data", "Data"},     {"end", "End"},
};

const TNameCase kConstantNames[] = {
    {"ans", "Ans"},   {"ave", "Ave"},   {"c", "c"},       {"count", "Count"}, {"e", "e"},
    {"eo", "eo"},     {"f", "F"},       {"g", "g"},       {"h", "h"},         {"i", "i"},
    {"j", "j"},       {"k", "k"},       {"max", "Max"},   {"maxa", "MaxA"},   {"me", "me"},
    {"min", "Min"},   {"mina", "MinA"}, {"mo", "mo"},     {"pai", "Pi"},      {"pi", "Pi"},
    {"q", "q"},       {"std", "Std"},   {"stdp", "StdP"}, {"sum", "Sum"},     {"var", "Var"},
    {"varp", "VarP"}, {"εo", "eo"},     {"μo", "mo"},     {"ν", "ν"},         {"π", "Pi"},
    {"ρ", "ρ"},
};

TEST(NameTablesTest, EveryFunctionIsFoundWithItsDisplayName) {
    ASSERT_EQ(std::size(kFunctionNames), static_cast<std::size_t>(kFunctionCount));
    std::vector<int> seen;
    for (const TNameCase& c : kFunctionNames) {
        const int index = FindFunction(SysText(c.Name));
        ASSERT_GE(index, 0) << c.Name;
        EXPECT_EQ(FunctionName(index), SysText(c.Name));
        EXPECT_EQ(FunctionDisplay(index), SysText(c.Display)) << c.Name;
        seen.push_back(index);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), kFunctionCount - 1);
}

TEST(NameTablesTest, EveryConstantIsFoundAtItsIndex) {
    ASSERT_EQ(std::size(kConstantNames), static_cast<std::size_t>(kConstantCount));
    for (int i = 0; i < kConstantCount; ++i) {
        EXPECT_EQ(FindConstant(SysText(kConstantNames[i].Name)), i) << kConstantNames[i].Name;
        EXPECT_EQ(ConstantName(i), SysText(kConstantNames[i].Name));
        EXPECT_EQ(ConstantDisplay(i), SysText(kConstantNames[i].Display)) << i;
    }
}

TEST(NameTablesTest, TablesAreSortedAndClosed) {
    for (int i = 1; i < kFunctionCount; ++i)
        EXPECT_LT(FunctionName(i - 1), FunctionName(i)) << i;
    for (int i = 1; i < kConstantCount; ++i)
        EXPECT_LT(ConstantName(i - 1), ConstantName(i)) << i;
    EXPECT_EQ(FunctionName(kFunctionCount - 1), SysText("√"));
    for (const char* missing : {"", "Sin", "sinx", "dtob", "btod", "a", "zz", "\xff"}) {
        EXPECT_EQ(FindFunction(missing), -1) << missing;
    }
    EXPECT_EQ(FindConstant("PI"), -1);
    EXPECT_EQ(FindConstant("sin"), -1);
    EXPECT_TRUE(FunctionName(-1).empty());
    EXPECT_TRUE(FunctionDisplay(kFunctionCount).empty());
    EXPECT_TRUE(ConstantName(kConstantCount).empty());
    test::TNumberGuard guard;
    EXPECT_TRUE(ApplyFunction(kFunctionCount, Q(1), {}).IsZero());
    EXPECT_EQ(CalcErr, TCalcErr::ceSyntax);
}

TEST(NameTablesTest, FunctionsThatNeedTheEvaluator) {
    std::vector<std::string> electrical;
    int data = 0;
    for (int i = 0; i < kFunctionCount; ++i) {
        if (IsElectricalFunction(i)) electrical.push_back(FunctionName(i));
        if (IsDataFunction(i)) ++data;
    }
    const std::vector<std::string> want = {"ayc", "ayl", "ayr", "azc", "azl", "azr",
                                           "yc",  "yl",  "yr",  "zc",  "zl",  "zr"};
    EXPECT_EQ(electrical, want);
    EXPECT_EQ(data, 1);
    EXPECT_TRUE(IsDataFunction(FindFunction("data")));
    EXPECT_FALSE(IsDataFunction(-1));
}

}  // namespace
}  // namespace rekna
