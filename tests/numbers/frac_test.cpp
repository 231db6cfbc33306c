// Tests of fraction normalisation, the fraction gcd and fraction arithmetic.
#include "numbers/frac.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>

#include "numbers/ext_bits.h"
#include "support/number_guard.h"
#include "support/print_cplx.h"

namespace rekna {
namespace {

std::uint64_t OddPart(long double x) {
    std::uint64_t m = ExtMantissa(x);
    return m == 0 ? 0 : m >> std::countr_zero(m);
}

struct TNormCase {
    long double Num, Den;
    long double WantNum, WantDen;
};

TEST(FracTest, NormalisationMovesPowersOfTwoIntoTheNumerator) {
    test::TNumberGuard guard;
    const TNormCase cases[] = {
        {1, 10, 0.125L, 1.25L},  // 1/10
        {1, 3, 0.5L, 1.5L},      // 1/3
        {12, 18, 1, 1.5L},       // 2/3
        {0, 5, 0, 1},            // zero is 0/1
        {5, 0, 5, 1},            // a zero denominator is read as 1
        {3, -6, -0.5L, 1},       // the sign moves to the numerator
        {-6, 4, -1.5L, 1},
        {7, 1, 7, 1},
        {1000, 8, 125, 1},
        {1, 1024, 1.0L / 1024, 1},
        {-0.0L, 3, 0, 1},
        {std::ldexp(1.0L, -16445), 3 * 1024.0L * 1024, 0, 1},  // too small: a zero
    };
    for (const auto& c : cases) {
        TFrac f(c.Num, c.Den);
        EXPECT_EQ(f.Num, c.WantNum) << c.Num << "/" << c.Den;
        EXPECT_EQ(f.Den, c.WantDen) << c.Num << "/" << c.Den;
        EXPECT_FALSE(std::signbit(f.Den));
    }
}

TEST(FracTest, NormalisedFractionsKeepTheirInvariants) {
    test::TNumberGuard guard;
    std::mt19937_64 rng(42);
    for (int i = 0; i < 20000; ++i) {
        const auto p = static_cast<std::int64_t>(rng() >> 34) - (1LL << 29);
        const auto q = static_cast<std::int64_t>(rng() >> 34) + 1;
        const TFrac f(static_cast<long double>(p), static_cast<long double>(q));
        if (p == 0) {
            EXPECT_EQ(f.Den, 1.0L);
            continue;
        }
        ASSERT_GE(f.Den, 1.0L);
        ASSERT_LT(f.Den, 2.0L);
        ASSERT_EQ(std::gcd(OddPart(f.Num), OddPart(f.Den)), 1U) << p << "/" << q;
        ASSERT_EQ(f.Value(), static_cast<long double>(p) / static_cast<long double>(q));
    }
}

TEST(FracTest, FracGcdWorksOnOddParts) {
    EXPECT_EQ(FracGcd(12, 18), 3.0L);  // odd parts 3 and 9
    EXPECT_EQ(FracGcd(1, 99), 1.0L);
    EXPECT_EQ(FracGcd(1024, 8), 1.0L);
    EXPECT_EQ(FracGcd(15.0L / 4, 21), 3.0L);  // exponents never matter
    // Values that use all 64 mantissa bits.
    const long double big = 18446744073709551615.0L;  // 2^64 - 1 = 3*5*17*257*641*65537*6700417
    EXPECT_EQ(FracGcd(big, 641.0L * 3), 1923.0L);
    EXPECT_EQ(FracGcd(big, big), big);
}

TEST(FracTest, SumsAndProductsOfDecimalsStayExact) {
    test::TNumberGuard guard;
    const TFrac tenth(1, 10), fifth(2, 10), third(1, 3);
    EXPECT_EQ(tenth + fifth, TFrac(3, 10));
    EXPECT_EQ(third * TFrac(3), TFrac(1));
    EXPECT_EQ((third * TFrac(3)).Den, 1.0L);
    EXPECT_EQ(TFrac(1) / TFrac(3) * TFrac(3), TFrac(1));
    EXPECT_EQ(TFrac(7, 12) - TFrac(1, 4), TFrac(1, 3));
    EXPECT_EQ(TFrac(2, 3) / TFrac(4, 9), TFrac(3, 2));
    EXPECT_EQ(Square(TFrac(3, 7)), TFrac(9, 49));
    EXPECT_EQ(IntPower(TFrac(2, 3), 5), TFrac(32, 243));
    EXPECT_EQ(IntPower(TFrac(2, 3), -3), TFrac(27, 8));
    EXPECT_EQ(IntPower(TFrac(-2), 3), TFrac(-8));
    EXPECT_EQ(IntPower(TFrac(5), 0), TFrac(1));
    EXPECT_EQ(-TFrac(1, 3), TFrac(-1, 3));
    EXPECT_EQ(AbsValue(TFrac(-3, 4)), 0.75L);
}

TEST(FracTest, FractionOffKeepsPlainExtendedValues) {
    test::TNumberGuard guard;
    NumberSettings.Fractional = false;
    const TFrac third = TFrac(1) / TFrac(3);
    EXPECT_EQ(third.Den, 1.0L);
    EXPECT_EQ(third.Num, 1.0L / 3.0L);
    const TFrac one = third * TFrac(3);
    EXPECT_EQ(one.Den, 1.0L);
    EXPECT_EQ(one.Num, (1.0L / 3.0L) * 3.0L);
    EXPECT_EQ(TFrac(1, 10).Den, 1.0L);
    EXPECT_EQ((TFrac(1, 10) + TFrac(2, 10)).Den, 1.0L);
}

TEST(FracTest, RoundHalfAwayFromZero) {
    struct {
        long double In;
        std::int64_t Want;
    } const cases[] = {
        {2.5L, 3},           {-2.5L, -3}, {2.4L, 2},
        {-2.4L, -2},         {0, 0},      {1e30L, INT64_MAX},
        {-1e30L, INT64_MIN}, {NAN, 0},    {9007199254740993.0L, 9007199254740993LL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfAway(c.In), c.Want) << c.In;
}

TEST(FracTest, NonFiniteValuesPassThroughNormalisation) {
    test::TNumberGuard guard;
    const long double inf = INFINITY;
    EXPECT_EQ(TFrac(inf, 3).Num, inf);
    EXPECT_EQ(TFrac(5, -inf).Num, -5.0L);
    EXPECT_TRUE(std::isnan(TFrac(NAN, 7).Num));
}

}  // namespace
}  // namespace rekna
