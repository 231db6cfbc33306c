// Tests of the numeric literal reader: values, canonical texts, switches, units and errors.
#include "numbers/literal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "numbers/calc_error.h"
#include "numbers/number_settings.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

struct TRead {
    TCplx Value;
    std::string Canon;  // UTF-8
    std::size_t Used = 0;
    TCalcErr Err = TCalcErr::ceNone;
};

TRead ReadRaw(std::string text) {
    TRead r;
    r.Value = ReadLiteral(text, &r.Used);
    r.Err = CalcErr;
    r.Canon = Cp932ToUtf8(text);
    return r;
}

TRead Read(const std::string& utf8) {
    return ReadRaw(SysText(utf8));
}

// Reading the canonical text again gives the same value and the same text.
void ExpectStableCanon(const std::string& in, const TRead& first) {
    const TRead again = Read(first.Canon);
    EXPECT_EQ(again.Err, TCalcErr::ceNone) << in;
    EXPECT_EQ(again.Value, first.Value) << in << " -> " << first.Canon;
    EXPECT_EQ(again.Canon, first.Canon) << in;
    EXPECT_EQ(again.Used, SysText(first.Canon).size()) << in;
}

struct TExactCase {
    const char* In;
    TFrac Re;
    TFrac Im;
    const char* Canon;
};

TEST(LiteralTest, ReadsExactValuesAndCanonicalTexts) {
    test::TNumberGuard guard;
    const TExactCase cases[] = {
        {"123", TFrac(123), {}, "123"},
        {"0.1", TFrac(1, 10), {}, "0.1"},
        {"1.2E-3", TFrac(12, 10000), {}, "1.2E-3"},
        {"1.2e3", TFrac(1200), {}, "1.2E3"},
        {"1.3M", TFrac(1300000), {}, "1.3M"},
        {"1.3m", TFrac(13, 10000), {}, "1.3m"},
        {"1,234,567", TFrac(1234567), {}, "1234567"},
        {"1 234 567", TFrac(1234567), {}, "1234567"},
        // A separator groups digits only: the word after a number is no prefix.
        {"3 apples", TFrac(3), {}, "3"},
        {"3 m", TFrac(3), {}, "3"},
        {"10 dB", TFrac(10), {}, "10"},
        {"2\ti", TFrac(2), {}, "2"},
        {"$1F 00", TFrac(0x1F00), {}, "$1F00"},
        {"1\t234", TFrac(1234), {}, "1234"},
        {"007.50", TFrac(15, 2), {}, "7.5"},
        {".5", TFrac(1, 2), {}, "0.5"},
        {"-.5k", TFrac(-500), {}, "-0.5k"},
        {"+5", TFrac(5), {}, "5"},
        {"0.000", TFrac(), {}, "0"},
        {"1.0E3", TFrac(1000), {}, "1E3"},
        {"1.E+5", TFrac(100000), {}, "1E5"},
        {"1E-$A", TFrac(1, 1e10L), {}, "1E-$A"},
        {"1E&101", TFrac(100000), {}, "1E&101"},
        {"1E 5", TFrac(100000), {}, "1E5"},
        {"1E3k", TFrac(1000000), {}, "1E3k"},
        {"1.2.3", TFrac(123, 100), {}, "1.23"},
        {"3.5%", TFrac(35, 1000), {}, "3.5%"},
        {"1d", TFrac(1), {}, "1"},
        {"1K", TFrac(1000), {}, "1k"},
        {"12.3kHz", TFrac(12300), {}, "12.3k"},
        {"2x", TFrac(2), {}, "2"},
        {"&10010", TFrac(18), {}, "&10010"},
        {"&10.01", TFrac(9, 4), {}, "&10.01"},
        {"&1.0011E&101", TFrac(38), {}, "&1.0011E&101"},
        {"&1E3", TFrac(8), {}, "&1E3"},
        {"&1E-&c1", TFrac(2), {}, "&1E-&c1"},
        {"&C010010", TFrac(18), {}, "&c010010"},
        {"&c100.01", TFrac(-15, 4), {}, "&c100.01"},
        {"&C110", TFrac(-2), {}, "&c10"},
        {"&c0010", TFrac(2), {}, "&c010"},
        {"-&C110", TFrac(2), {}, "-&c10"},
        {"&C.1", TFrac(1, 2), {}, "&c0.1"},
        {"&C1.1E&C1", TFrac(-1, 4), {}, "&c1.1E&c1"},
        {"$1F00", TFrac(7936), {}, "$1F00"},
        {"$ABC", TFrac(2748), {}, "$ABC"},
        {"$123.EF", TFrac(74735, 256), {}, "$123.EF"},
        {"$1E", TFrac(30), {}, "$1E"},
        {"$1.8P1", TFrac(24), {}, "$1.8P1"},
        {"$1.23P-$EF", TFrac(std::ldexp(291.0L, -8 - 4 * 239)), {}, "$1.23P-$EF"},
        {"$1F00i", {}, TFrac(7936), "$1F00i"},
        {"1億23万45.6", TFrac(1002300456, 10), {}, "1億23万45.6"},
        {"-1億23万45.6", TFrac(-1002300456, 10), {}, "-1億23万45.6"},
        {"1.5万", TFrac(15000), {}, "1.5万"},
        {"2京", TFrac(2e16L), {}, "2京"},
        {"3兆", TFrac(3e12L), {}, "3兆"},
        {"23万1億", TFrac(100230000), {}, "1億23万"},
        {"1万2E3", TFrac(12000), {}, "1万2E3"},
        {"1万k", TFrac(10000000), {}, "1万k"},
        {"1億.万", TFrac(100000000), {}, "1億0万"},
        {"12万j", {}, TFrac(120000), "12万i"},
        {"2.3E-2i", {}, TFrac(23, 1000), "2.3E-2i"},
        {"-23.4ui", {}, TFrac(-234, 10000000), "-23.4ui"},
        {"2pi", {}, TFrac(2, 1e12L), "2pi"},
        {"5%J", {}, TFrac(1, 20), "5%i"},
        {"1時30分", TFrac(5400), {}, "1時30分"},
        {"30分1時", TFrac(5400), {}, "1時30分"},
        {"-1時30分", TFrac(-5400), {}, "-1時30分"},
        {"1：30′", TFrac(5400), {}, "1：30′"},
        {"1：30", TFrac(3630), {}, "1：30"},
        {"1°30′15″", TFrac(5415), {}, "1°30′15″"},
        {"1度30分", TFrac(5400), {}, "1度30分"},
        {"1日1時", TFrac(90000), {}, "1日1時"},
        {"2時間30分", TFrac(9000), {}, "2時30分"},
        {"1.5時30.5分", TFrac(7230), {}, "1.5時30.5分"},
        {"10″5", TFrac(21, 2), {}, "10″5"},
        {"10秒50", TFrac(21, 2), {}, "10秒5"},
        {"10.5″3", TFrac(1053, 100), {}, "10″53"},
        {"1時″5", TFrac(7201, 2), {}, "1時0″5"},
        {"10″0E3", TFrac(10000), {}, "10″0E3"},
        {"10″E3", TFrac(10), {}, "10″"},
        {"1万2時", TFrac(17200), {}, "2時1万"},
    };
    for (const auto& c : cases) {
        const TRead r = Read(c.In);
        EXPECT_EQ(r.Err, TCalcErr::ceNone) << c.In;
        EXPECT_EQ(r.Value.Re, c.Re) << c.In << ": " << r.Value.Re.Num << "/" << r.Value.Re.Den;
        EXPECT_EQ(r.Value.Im, c.Im) << c.In << ": " << r.Value.Im.Num << "/" << r.Value.Im.Den;
        EXPECT_EQ(r.Canon, c.Canon) << c.In;
        ExpectStableCanon(c.In, r);
    }
}

TEST(LiteralTest, DecimalFractionsEqualTheNormalisedQuotient) {
    test::TNumberGuard guard;
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        // Mostly numbers with factors of 5 and 10, where the cancelling happens.
        std::uint64_t t = rng() >> (rng() % 64);
        for (int f = static_cast<int>(rng() % 8); f > 0 && t < UINT64_MAX / 5; --f)
            t *= 5;
        const int k = 1 + static_cast<int>(rng() % 27);
        std::string digits = std::to_string(t);
        if (digits.size() <= static_cast<std::size_t>(k))
            digits.insert(0, static_cast<std::size_t>(k) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(k), ".");
        long double den = 1.0L;
        for (int j = 0; j < k; ++j)
            den *= 10.0L;
        const bool neg = (rng() & 1) != 0;
        const long double num = neg ? -static_cast<long double>(t) : static_cast<long double>(t);
        const TRead r = Read((neg ? "-" : "") + digits);
        ASSERT_EQ(r.Value.Re, TFrac(num, den)) << (neg ? "-" : "") << digits;
    }
}

TEST(LiteralTest, EverySiPrefixAndCaseVariant) {
    test::TNumberGuard guard;
    struct TCase {
        const char* In;
        int Shift;
        bool Variant;
        const char* Canon;
    };
    const TCase cases[] = {
        {"1z", -21, false, "1z"}, {"1Z", -21, true, "1z"},  {"1a", -18, false, "1a"},
        {"1A", -18, true, "1a"},  {"1f", -15, false, "1f"}, {"1F", -15, true, "1f"},
        {"1p", -12, false, "1p"}, {"1n", -9, false, "1n"},  {"1N", -9, true, "1n"},
        {"1u", -6, false, "1u"},  {"1U", -6, true, "1u"},   {"1m", -3, false, "1m"},
        {"1c", -2, false, "1c"},  {"1C", -2, true, "1c"},   {"1h", 2, false, "1h"},
        {"1H", 2, true, "1h"},    {"1k", 3, false, "1k"},   {"1K", 3, true, "1k"},
        {"1M", 6, false, "1M"},   {"1G", 9, false, "1G"},   {"1g", 9, true, "1G"},
        {"1T", 12, false, "1T"},  {"1t", 12, true, "1T"},   {"1P", 15, false, "1P"},
    };
    for (const bool strict : {false, true}) {
        NumberSettings.InpEngStrict = strict;
        for (const auto& c : cases) {
            const TRead r = Read(c.In);
            const long double p = std::pow(10.0L, static_cast<long double>(std::abs(c.Shift)));
            const TFrac want = strict && c.Variant ? TFrac(1)
                               : c.Shift < 0       ? TFrac(1, p)
                                                   : TFrac(p);
            EXPECT_EQ(r.Value.Re, want) << c.In << " strict " << strict;
            EXPECT_EQ(r.Canon, strict && c.Variant ? "1" : c.Canon) << c.In << " strict " << strict;
        }
    }
}

TEST(LiteralTest, InputSwitchesOff) {
    struct TCase {
        bool TNumberSettings::*Switch;
        const char* In;
        TFrac Want;
        std::size_t Used;
    };
    const TCase cases[] = {
        {&TNumberSettings::InpEng, "1.5k", TFrac(3, 2), 3},
        {&TNumberSettings::InpEng, "2pi", TFrac(2), 1},
        {&TNumberSettings::InpPercent, "3.5%", TFrac(7, 2), 3},
        {&TNumberSettings::InpN10, "1億23万", TFrac(1), 1},
        {&TNumberSettings::InpN60, "1時30分", TFrac(1), 1},
        {&TNumberSettings::InpN60, "10″5", TFrac(10), 2},
        {&TNumberSettings::InpN60, "1：30", TFrac(1), 1},
        {&TNumberSettings::InpDb, "10dB", TFrac(10), 2},
    };
    for (const auto& c : cases) {
        test::TNumberGuard guard;
        NumberSettings.*c.Switch = false;
        const TRead r = Read(c.In);
        EXPECT_EQ(r.Value.Re, c.Want) << c.In;
        EXPECT_TRUE(r.Value.Im.IsZero()) << c.In;
        EXPECT_EQ(r.Used, c.Used) << c.In;
    }
}

TEST(LiteralTest, TimeUnitDividesSixtyBaseValues) {
    struct TCase {
        TTimUnit Unit;
        TFrac Want;
    };
    const TCase cases[] = {
        {TTimUnit::tuSec, TFrac(5400)},
        {TTimUnit::tuMin, TFrac(90)},
        {TTimUnit::tuHou, TFrac(3, 2)},
        {TTimUnit::tuDay, TFrac(1, 16)},
    };
    for (const auto& c : cases) {
        test::TNumberGuard guard;
        NumberSettings.TimUnit = c.Unit;
        EXPECT_EQ(Read("1時30分").Value.Re, c.Want) << static_cast<int>(c.Unit);
        // A literal without any 60-base mark is not divided.
        EXPECT_EQ(Read("90").Value.Re, TFrac(90)) << static_cast<int>(c.Unit);
    }
}

TEST(LiteralTest, DecibelUnits) {
    struct TCase {
        TdBUnit Unit;
        const char* In;
        long double Want;
    };
    const TCase cases[] = {
        {TdBUnit::dudB10, "10dB", 10.0L},
        {TdBUnit::dudB10, "-30dB", 1e-3L},
        {TdBUnit::dudB20, "10dB", std::sqrt(10.0L)},
        {TdBUnit::dudB20, "20dB", 10.0L},
        {TdBUnit::dudB20, "-2.3Db", std::pow(10.0L, -0.115L)},
        {TdBUnit::dudBm, "0dB", std::sqrt(0.05L)},
        {TdBUnit::dudBm, "20db", 10.0L * std::sqrt(0.05L)},
        {TdBUnit::dudBu, "0dB", 1e-6L},
        {TdBUnit::dudBu, "120DB", 1.0L},
    };
    for (const auto& c : cases) {
        test::TNumberGuard guard;
        NumberSettings.DbUnit = c.Unit;
        const TRead r = Read(c.In);
        EXPECT_EQ(r.Err, TCalcErr::ceNone) << c.In;
        EXPECT_LT(std::fabs(r.Value.Re.Value() / c.Want - 1.0L), 1e-18L) << c.In;
        EXPECT_EQ(r.Canon.substr(r.Canon.size() - 2), "dB") << c.In;
    }
}

TEST(LiteralTest, UnreadableExponentsAndOutOfRangeValuesAreError14) {
    const std::string cases[] = {
        "1E",
        "1E+",
        "1E-",
        "1Ei",
        "1E$",
        "&1E&",
        "&1E&C",
        "$1P",
        "1E99999999999999999999",
        "1E-99999999999999999999",
        "1E5000",
        "2E4932",
        "100000dB",
        "1E-&C" + std::string(64, '0').replace(0, 1, "1"),  // -(-2^63) does not fit
        std::string(5000, '9'),
        "$" + std::string(4200, 'F'),
    };
    for (const auto& in : cases) {
        test::TNumberGuard guard;
        const TRead r = Read(in);
        EXPECT_EQ(r.Err, TCalcErr::ceInputRange) << in.substr(0, 40);
        EXPECT_TRUE(r.Value.IsZero()) << in.substr(0, 40);
    }
}

TEST(LiteralTest, ExtremeButReadableValues) {
    test::TNumberGuard guard;
    const char* cases[] = {
        "1E4932",
        "0.001E4935",
        "1E-4000",
        "12345678901234567890123456789012345678901234567890",
        "1E-30",
        "9.87654321E-300",
        "0.0000000000000000000000000000000000000000123456789",
    };
    for (const char* in : cases) {
        const TRead r = Read(in);
        const long double want = std::strtold(in, nullptr);
        EXPECT_EQ(r.Err, TCalcErr::ceNone) << in;
        // Within a few units in the last place of the correctly rounded value.
        EXPECT_LT(std::fabs(r.Value.Re.Value() / want - 1.0L), 4e-19L) << in;
        ExpectStableCanon(in, r);
    }
    // Below the extended range a literal is 0 like any underflow, not an error.
    EXPECT_EQ(Read("1E-5000").Value, TCplx());
    EXPECT_EQ(Read("1E-5000").Err, TCalcErr::ceNone);
    EXPECT_EQ(Read("0E99999").Value, TCplx());
    // Exact while the digits fit the 64-bit mantissa.
    EXPECT_EQ(Read("18446744073709551615").Value.Re, TFrac(18446744073709551615.0L));
    // Zeros past any precision do not disturb an exact value.
    EXPECT_EQ(Read("0.1" + std::string(300, '0')).Value.Re, TFrac(1, 10));
    EXPECT_EQ(Read("0.1" + std::string(300, '0')).Canon, "0.1");
    const std::string big = "1" + std::string(299, '0');
    EXPECT_EQ(Read(big).Canon, big);
}

TEST(LiteralTest, OddInputsEndTheLiteralSafely) {
    test::TNumberGuard guard;
    const std::string lead = SysText("万").substr(0, 1);
    struct TCase {
        std::string In;  // CP932
        TFrac Want;
        std::size_t Used;
        const char* Canon;
    };
    const TCase cases[] = {
        {"", TFrac(), 0, "0"},
        {".", TFrac(), 1, "0"},
        {"-", TFrac(), 1, "-0"},
        {"--5", TFrac(), 1, "-0"},
        {"$", TFrac(), 1, "$0"},
        {"$G", TFrac(), 1, "$0"},
        {"&", TFrac(), 1, "&0"},
        {"&2", TFrac(), 1, "&0"},
        {"&C", TFrac(), 2, "&c0"},
        {lead, TFrac(), 0, "0"},
        {"1" + lead, TFrac(1), 1, "1"},
        {"1" + SysText("（"), TFrac(1), 1, "1"},  // its trail byte is an "i"
        {"1" + SysText("ｲ"), TFrac(1), 1, "1"},
        {"$1" + SysText("："), TFrac(1), 2, "$1"},
        {SysText("1万万"), TFrac(10000), 3, "1万"},
        {SysText("1時日"), TFrac(3600), 3, "1時"},
        {"1 ", TFrac(1), 1, "1"},
    };
    for (const auto& c : cases) {
        const TRead r = ReadRaw(c.In);
        EXPECT_EQ(r.Err, TCalcErr::ceNone) << c.In;
        EXPECT_EQ(r.Value.Re, c.Want) << c.In;
        EXPECT_TRUE(r.Value.Im.IsZero()) << c.In;
        EXPECT_EQ(r.Used, c.Used) << c.In;
        EXPECT_EQ(r.Canon, c.Canon) << c.In;
    }
}

TEST(LiteralTest, FractionCalculationOffGivesPlainExtended) {
    test::TNumberGuard guard;
    NumberSettings.Fractional = false;
    EXPECT_EQ(Read("0.1").Value.Re, TFrac::Raw(0.1L, 1.0L));
    EXPECT_EQ(Read("1.2E-3").Value.Re, TFrac::Raw(12.0L / 10000.0L, 1.0L));
    EXPECT_EQ(Read("1時30分").Value.Re, TFrac::Raw(5400.0L, 1.0L));
    NumberSettings.TimUnit = TTimUnit::tuHou;
    EXPECT_EQ(Read("1時20分").Value.Re, TFrac::Raw(4800.0L / 3600.0L, 1.0L));
}

TEST(LiteralTest, ImagCharAndErrorState) {
    test::TNumberGuard guard;
    NumberSettings.ImagChar = 'j';
    EXPECT_EQ(Read("2I").Canon, "2j");
    SetCalcErr(TCalcErr::ceDivZero);
    EXPECT_EQ(Read("2").Err, TCalcErr::ceNone);
}

TEST(LiteralTest, IntegerReaders) {
    struct TCase {
        const char* In;
        TIntBase Base;
        bool Ok;
        std::int64_t Want;
    };
    const TCase cases[] = {
        {"123", TIntBase::ibDec, true, 123},
        {" -1,000 ", TIntBase::ibDec, true, -1000},
        {"+7", TIntBase::ibDec, true, 7},
        {"-9223372036854775808", TIntBase::ibDec, true, INT64_MIN},
        {"9223372036854775808", TIntBase::ibDec, false, 0},
        {"-$ff", TIntBase::ibHex, true, -255},
        {"1F", TIntBase::ibHex, true, 31},
        {"&101", TIntBase::ibBin, true, 5},
        {"101", TIntBase::ibBin, true, 5},
        {"&C110", TIntBase::ibTwos, true, -2},
        {"-&c110", TIntBase::ibTwos, true, 2},
        {"010", TIntBase::ibTwos, true, 2},
        {"", TIntBase::ibDec, false, 0},
        {"-", TIntBase::ibDec, false, 0},
        {"1.5", TIntBase::ibDec, false, 0},
        {"12a", TIntBase::ibDec, false, 0},
        {"--1", TIntBase::ibDec, false, 0},
        {"$", TIntBase::ibHex, false, 0},
        {"&2", TIntBase::ibBin, false, 0},
        {"&1", TIntBase::ibTwos, false, 0},
    };
    for (const auto& c : cases) {
        std::int64_t v = 42;
        EXPECT_EQ(ReadInteger(c.In, c.Base, v), c.Ok) << c.In;
        EXPECT_EQ(v, c.Ok ? c.Want : 42) << c.In;
    }
}

}  // namespace
}  // namespace rekna
