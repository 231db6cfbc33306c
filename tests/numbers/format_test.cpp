// Tests of the answer formatter: every format, its settings, complex assembly and the log form.
#include "numbers/format.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "numbers/calc_error.h"
#include "numbers/format_detail.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

using F = TAnsFormat;
using TSetup = void (*)(TNumberSettings&);

constexpr long double kInf = std::numeric_limits<long double>::infinity();
const long double kNaN = std::numeric_limits<long double>::quiet_NaN();

std::string Show(long double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.21Lg", x);
    return buf;
}

// One part: settings, value, format, length, hide0 and the expected UTF-8 text.
struct TRealRow {
    TSetup Setup;
    long double Value;
    F Format;
    int Length;
    bool Hide0;
    std::string Expected;
};

void CheckReal(const std::vector<TRealRow>& rows) {
    for (const TRealRow& r : rows) {
        test::TNumberGuard guard;
        if (r.Setup) r.Setup(NumberSettings);
        const std::string got = FormatReal(r.Value, r.Format, r.Length, r.Hide0);
        EXPECT_EQ(Cp932ToUtf8(got), r.Expected)
            << "value " << Show(r.Value) << ", format " << static_cast<int>(r.Format) << ", length "
            << r.Length << ", hide0 " << r.Hide0;
    }
}

// A whole answer: settings, value and the expected UTF-8 text of FormatAnswer.
struct TAnswerRow {
    TSetup Setup;
    TCplx Value;
    std::string Expected;
};

void CheckAnswers(const std::vector<TAnswerRow>& rows) {
    for (const TAnswerRow& r : rows) {
        test::TNumberGuard guard;
        if (r.Setup) r.Setup(NumberSettings);
        EXPECT_EQ(Cp932ToUtf8(FormatAnswer(r.Value)), r.Expected)
            << "value " << Show(ReValue(r.Value)) << " + " << Show(ImValue(r.Value)) << "i";
    }
}

void Hide0(TNumberSettings& s) {
    s.AnsHide0 = true;
}

TEST(FormatAnswer, DefaultEngineeringTexts) {
    CheckAnswers({
        {nullptr, 1234.5L, " 1.23450k"},
        {nullptr, 0.5L, " 0.500000"},
        {nullptr, 0.05L, " 50.0000m"},
        {nullptr, 2.0L, " 2.00000 "},
        {nullptr, 1e20L, " 100.000E18"},
        {Hide0, 1234.5L, " 1.2345k"},
        {Hide0, 2.0L, " 2 "},
        {[](TNumberSettings& s) { s.AnsEng0 = true; }, 0.0005L, " 0.500000m"},
        {nullptr, 0.0005L, " 500.000u"},
        {nullptr, TCplx(1.0L, 2.0L), " 1.00000  + 2.00000i"},
        {[](TNumberSettings& s) { s.AnsFormat = F::afNon; }, TCplx(1.0L, -2.0L), "1 - 2i"},
        {[](TNumberSettings& s) {
             s.CplxFormat = TCplxFormat::cPolar;
             s.AngleUnit = TAngleUnit::auDeg;
         },
         TCplx(1.0L, 1.0L), " 1.41421  @ 45.0000"},
    });
}

TEST(FormatReal, EngineeringPrefixesAndShifts) {
    const TSetup eng0 = [](TNumberSettings& s) { s.AnsEng0 = true; };
    const TSetup noEng1 = [](TNumberSettings& s) { s.AnsEng1 = false; };
    CheckReal({
        {nullptr, 1e3L, F::afEng, 6, false, " 1.00000k"},
        {nullptr, 12.5e6L, F::afEng, 6, false, " 12.5000M"},
        {nullptr, 1e9L, F::afEng, 6, false, " 1.00000G"},
        {nullptr, 1e12L, F::afEng, 6, false, " 1.00000T"},
        {nullptr, 999e15L, F::afEng, 6, false, " 999.000P"},
        {nullptr, 1e18L, F::afEng, 6, false, " 1.00000E18"},
        {nullptr, 1.2345e19L, F::afEng, 6, false, " 12.3450E18"},
        {nullptr, 1e-3L, F::afEng, 6, false, " 1.00000m"},
        {nullptr, 1e-6L, F::afEng, 6, false, " 1.00000u"},
        {nullptr, 1e-9L, F::afEng, 6, false, " 1.00000n"},
        {nullptr, 1e-12L, F::afEng, 6, false, " 1.00000p"},
        {nullptr, 1e-15L, F::afEng, 6, false, " 1.00000f"},
        {nullptr, 1e-18L, F::afEng, 6, false, " 1.00000a"},
        {nullptr, 1e-21L, F::afEng, 6, false, " 1.00000z"},
        {nullptr, 1e-22L, F::afEng, 6, false, " 100.000E-24"},
        {nullptr, 1e-24L, F::afEng, 6, false, " 1.00000E-24"},
        {nullptr, -0.05L, F::afEng, 6, false, "-50.0000m"},
        {nullptr, 0.0L, F::afEng, 6, false, " 0.00000 "},
        {nullptr, 0.0L, F::afEng, 6, true, " 0 "},
        {nullptr, -0.0L, F::afEng, 6, false, " 0.00000 "},
        {nullptr, 100.0L, F::afEng, 6, true, " 100 "},
        {nullptr, 1e4000L, F::afEng, 6, false, " 10.0000E3999"},
        {nullptr, LDBL_MAX, F::afEng, 6, false, " 1.18973E4932"},
        {nullptr, 3.6451995318824746025e-4951L, F::afEng, 6, false, " 364.520E-4953"},
        {noEng1, 0.5L, F::afEng, 6, false, " 500.000m"},
        {eng0, 0.5L, F::afEng, 6, false, " 0.500000 "},
        {eng0, 0.005L, F::afEng, 6, false, " 5.00000m"},
        {eng0, 1e-22L, F::afEng, 6, false, " 0.100000z"},
        {eng0, 1e-23L, F::afEng, 6, false, " 10.0000E-24"},
        {eng0, 1234.5L, F::afEng, 6, false, " 1.23450k"},
        {nullptr, 1.0L / 3, F::afEng, 18, false, " 0.333333333333333333"},
        {nullptr, 2.0L / 3, F::afEng, 3, false, " 0.667"},
    });
}

TEST(FormatReal, RoundingCarriesIntoTheNextDigitAndPrefix) {
    CheckReal({
        {nullptr, 9.999995L, F::afEng, 6, false, " 10.0000 "},
        {nullptr, 0.9999995L, F::afEng, 6, false, " 0.999999"},  // stored just below the tie
        {nullptr, 999.99951L, F::afEng, 6, false, " 1.00000k"},
        {nullptr, 999999.5L, F::afEng, 6, false, " 1.00000M"},  // an exact tie rounds up
        {nullptr, 999.5L, F::afEng, 3, true, " 1k"},
        {nullptr, 0.125L, F::afEng, 2, false, " 0.13"},
        {nullptr, -2.5L, F::afExp, 1, false, "-3"},
        {nullptr, 99999.95L, F::afExp, 6, false, " 100000"},
        {nullptr, 999999.5L, F::afExp, 6, false, " 1.00000E6"},
    });
}

TEST(FormatReal, ExponentAndFixedRanges) {
    const TSetup group3 = [](TNumberSettings& s) {
        s.AnsColExp = 3;
        s.AnsColFix = 3;
    };
    CheckReal({
        {nullptr, 123456.0L, F::afExp, 6, false, " 123456"},
        {nullptr, 1234567.0L, F::afExp, 6, false, " 1.23457E6"},
        {nullptr, 0.00012L, F::afExp, 6, false, " 0.000120000"},
        {nullptr, 0.0000012L, F::afExp, 6, false, " 1.20000E-6"},
        {nullptr, 0.00001L, F::afExp, 6, false, " 0.0000100000"},
        {nullptr, 12.5L, F::afExp, 6, false, " 12.5000"},
        {nullptr, 0.0L, F::afExp, 6, false, " 0.00000"},
        {nullptr, 1e6L, F::afExp, 6, true, " 1E6"},
        {nullptr, 120000.0L, F::afExp, 6, true, " 120000"},
        {nullptr, -1234567.0L, F::afExp, 6, false, "-1.23457E6"},
        {[](TNumberSettings& s) { s.AnsExpMax = 3; }, 1234.0L, F::afExp, 6, false, " 1.23400E3"},
        {[](TNumberSettings& s) { s.AnsExpMin = -2; }, 0.001L, F::afExp, 6, true, " 1E-3"},
        {nullptr, 1e19L, F::afFix, 6, false, " 10000000000000000000"},
        {nullptr, 1e20L, F::afFix, 6, false, " 1.00000E20"},
        {nullptr, 1e-10L, F::afFix, 6, false, " 0.000000000100000"},
        {nullptr, 1e-11L, F::afFix, 6, false, " 1.00000E-11"},
        {group3, 123456.0L, F::afExp, 6, false, " 123,456"},
        {group3, 1234567.0L, F::afExp, 6, false, " 1.23457E6"},
        {group3, 1234567.5L, F::afFix, 10, false, " 1,234,567.500"},
        {group3, -1234567.0L, F::afFix, 7, false, "-1,234,567"},
        {group3, 123.0L, F::afFix, 3, false, " 123"},
        {[](TNumberSettings& s) {
             s.AnsColFix = 3;
             s.AnsColChar = ' ';
         },
         1234567.5L, F::afFix, 8, false, " 1 234 567.5"},
        {[](TNumberSettings& s) {
             s.AnsColFix = 3;
             s.AnsColChar = '\b';
         },
         1234567.5L, F::afFix, 8, false, " 1234567.5"},
        {[](TNumberSettings& s) { s.AnsColFix = 4; }, 1234567.5L, F::afFix, 8, false,
         " 123,4567.5"},
        {nullptr, 1.5L, F::afFix, 25, false, " 1.50000000000000000"},  // length clamped to 18
    });
}

TEST(FormatReal, DecimalPlacesModes) {
    const TSetup eng0 = [](TNumberSettings& s) { s.AnsEng0 = true; };
    CheckReal({
        {nullptr, 1234.5678L, F::afFix, -2, false, " 1234.57"},
        {nullptr, 1234.5678L, F::afFix, 0, false, " 1235"},
        {nullptr, 1.5L, F::afFix, -3, true, " 1.5"},
        {nullptr, 2.0L, F::afFix, -3, true, " 2"},
        {nullptr, -0.001L, F::afFix, -2, false, " 0.00"},
        {nullptr, -1.25L, F::afFix, -1, false, "-1.3"},
        {nullptr, 1e25L, F::afFix, -2, false, " 1E25"},
        {[](TNumberSettings& s) { s.AnsColFix = 3; }, 1234567.891L, F::afFix, -2, false,
         " 1,234,567.89"},
        {nullptr, 0.1L, F::afFix, -20, false, " 0.10000000000000000"},  // clamped to 17
        {nullptr, 1234.5678L, F::afExp, -2, false, " 1.23E+3"},
        {nullptr, 0.00012345L, F::afExp, -2, false, " 1.23E-4"},
        {nullptr, -1234.5678L, F::afExp, 0, false, "-1E+3"},
        {nullptr, 1200.0L, F::afExp, -3, true, " 1.2E+3"},
        {nullptr, 0.0L, F::afExp, -2, false, " 0.00E+0"},
        {nullptr, 999.9996L, F::afEng, -3, false, " 1.000k"},
        {nullptr, 0.9999996L, F::afEng, -3, false, " 1.000 "},
        {nullptr, 0.0123L, F::afEng, -3, false, " 12.300m"},
        {nullptr, 0.0123L, F::afEng, 0, false, " 12m"},
        {nullptr, 2.0L, F::afEng, -3, false, " 2.000 "},
        {nullptr, -1500.0L, F::afEng, -3, true, "-1.5k"},
        {nullptr, 2.5e15L, F::afEng, -1, false, " 2.5P"},
        {nullptr, 1e18L, F::afEng, -1, false, " 1000000000000000000.0"},
        {nullptr, 1e-25L, F::afEng, -3, false, " 0.000"},
        {nullptr, 0.0L, F::afEng, -2, false, " 0.00"},
        {eng0, 0.5L, F::afEng, -3, false, " 0.500 "},
        {eng0, 0.05L, F::afEng, -3, false, " 50.000m"},
        {eng0, 0.0005L, F::afEng, -3, false, " 0.500m"},
        {nullptr, 0.12345L, F::afPar, -1, false, " 12.3%"},
        {nullptr, 10.0L, F::afdB, -2, false, " 20.00dB"},
    });
}

TEST(FormatReal, GeneralForm) {
    const TSetup group3 = [](TNumberSettings& s) { s.AnsColNon = 3; };
    CheckReal({
        {nullptr, 1.0L / 3, F::afNon, 6, false, "0.333333333333333333"},
        {nullptr, 2.0L / 3, F::afNon, 6, false, "0.666666666666666667"},
        {nullptr, 123456789012345678.0L, F::afNon, 6, false, "123456789012345678"},
        {nullptr, 1234567890123456789.0L, F::afNon, 6, false, "1.23456789012345679E18"},
        {nullptr, 0.00001L, F::afNon, 6, false, "0.00001"},
        {nullptr, 0.0000099L, F::afNon, 6, false, "9.9E-6"},
        {nullptr, -2.5L, F::afNon, 6, false, "-2.5"},
        {nullptr, 0.0L, F::afNon, 6, false, "0"},
        {nullptr, 1e100L, F::afNon, 6, false, "1E100"},
        {nullptr, 0.1L, F::afNon, 6, false, "0.1"},
        {group3, 1234567.25L, F::afNon, 6, false, "1,234,567.25"},
        {group3, -1234.0L, F::afNon, 6, false, "-1,234"},
        {group3, 1e100L, F::afNon, 6, false, "1E100"},  // the exponent is no digit group
        {group3, 1e-100L, F::afNon, 6, false, "1E-100"},
        {nullptr, kInf, F::afNon, 6, false, "INF"},
        {nullptr, -kInf, F::afEng, 6, false, "-INF"},
        {nullptr, kNaN, F::afNon, 6, false, "Err"},
        {nullptr, kNaN, F::afFix, 6, false, "Err"},
    });
}

TEST(FormatReal, GroupingOnlyInTheFormatsThatNameAGroupSize) {
    const TSetup all3 = [](TNumberSettings& s) {
        s.AnsColNon = s.AnsColExp = s.AnsColFix = s.AnsColN2 = s.AnsColN16 = 3;
        s.UsrFormat = "0.0";
    };
    CheckReal({
        {all3, 1234567.0L, F::afEng, -1, false, " 1.2M"},
        {all3, 1e18L, F::afEng, -1, false, " 1000000000000000000.0"},
        {all3, 1234567.0L, F::afNon, 6, false, "1,234,567"},
        {all3, 1234567.0L, F::afExp, 7, false, " 1.234567E6"},
        {all3, 123456.0L, F::afExp, 6, false, " 123,456"},
        {all3, 12345.6L, F::afPar, -1, false, " 1,234,560.0%"},
        {all3, 255.0L, F::afN2, 6, true, "&11,111,111"},
        {all3, 74565.0L, F::afN16, 6, true, "$12,345"},
        {all3, 12345678.0L, F::afJpn, 8, false, " 1234万5678"},
        {all3, 3661.0L, F::afN60, 6, false, " 1°01′01″"},
        {all3, 1000000.0L, F::afFac, 6, false, "2*2*2*2*2*2*5*5*5*5*5*5"},
        {all3, 1234567.0L, F::afUsr, 6, false, "1234567.0"},
    });
}

TEST(FormatReal, PercentAndDecibel) {
    CheckReal({
        {nullptr, 0.125L, F::afPar, 6, false, " 12.5000%"},
        {nullptr, -0.5L, F::afPar, 6, false, "-50.0000%"},
        {nullptr, 0.125L, F::afPar, 6, true, " 12.5%"},
        {nullptr, 10.0L, F::afdB, 6, false, " 20.0000dB"},
        {nullptr, -10.0L, F::afdB, 6, false, " 20.0000dB"},
        {nullptr, 0.1L, F::afdB, 6, false, "-20.0000dB"},
        {nullptr, 0.0L, F::afdB, 6, false, " 0.00000"},
        {[](TNumberSettings& s) { s.DbUnit = TdBUnit::dudB10; }, 100.0L, F::afdB, 6, false,
         " 20.0000dB"},
        {[](TNumberSettings& s) { s.DbUnit = TdBUnit::dudBm; }, 2.2360679774997896964L, F::afdB, 6,
         false, " 20.0000dB"},
        {[](TNumberSettings& s) { s.DbUnit = TdBUnit::dudBu; }, 1e-3L, F::afdB, 6, false,
         " 60.0000dB"},
    });
}

TEST(FormatReal, Binary) {
    const TSetup noGroup = [](TNumberSettings& s) { s.AnsColN2 = 0; };
    const TSetup n2Exp = [](TNumberSettings& s) { s.AnsN2Exp = true; };
    CheckReal({
        {nullptr, 5.0L, F::afN2, 6, true, "&101"},
        {nullptr, 0.75L, F::afN2, 6, true, "&0.11"},
        {nullptr, 0.0L, F::afN2, 6, true, "&0"},
        {nullptr, -5.0L, F::afN2, 6, true, "-&101"},
        {nullptr, -0.75L, F::afN2, 6, true, "-&0.11"},
        {nullptr, std::ldexp(1.0L, -9), F::afN2, 6, true, "&0.000000001"},
        {nullptr, std::ldexp(1.0L, -10), F::afN2, 6, true, "&1E-10"},
        {nullptr, std::ldexp(1.0L, 64), F::afN2, 6, true, "&1E64"},
        {nullptr, std::ldexp(3.0L, 70), F::afN2, 6, true, "&1.1E71"},
        {n2Exp, std::ldexp(1.0L, 64), F::afN2, 6, true, "&1E&1000000"},
        {n2Exp, std::ldexp(1.0L, -10), F::afN2, 6, false,
         "&1." + std::string(63, '0') + "E-&000000000001010"},
        {noGroup, std::ldexp(1.0L, 63), F::afN2, 6, true, "&1" + std::string(63, '0')},
        {noGroup, 5.0L, F::afN2, 6, false, "&101." + std::string(61, '0')},
        {nullptr, 1023.0L, F::afN2, 6, true, "&11,11111111"},
        {nullptr, 255.5L, F::afN2, 6, true, "&11111111.1"},
        {[](TNumberSettings& s) { s.AnsColN2 = 4; }, 1023.0L, F::afN2, 6, true, "&11,1111,1111"},
        {[](TNumberSettings& s) { s.AnsColN2 = 2; }, std::ldexp(1.5L, 100), F::afN2, 6, true,
         "&1.1E100"},
    });
}

TEST(FormatReal, TwosComplementBinary) {
    CheckReal({
        {nullptr, -2.0L, F::afN2C, 6, true, "&c10"},
        {nullptr, 2.0L, F::afN2C, 6, true, "&c010"},
        {nullptr, 0.0L, F::afN2C, 6, true, "&c0"},
        {nullptr, 1.0L, F::afN2C, 6, true, "&c01"},
        {nullptr, -1.0L, F::afN2C, 6, true, "&c1"},
        {nullptr, -3.0L, F::afN2C, 6, true, "&c101"},
        {nullptr, 5.0L, F::afN2C, 6, true, "&c0101"},
        {nullptr, -4.0L, F::afN2C, 6, true, "&c100"},
        {nullptr, -1.5L, F::afN2C, 6, true, "&c10.1"},
        {nullptr, 0.75L, F::afN2C, 6, true, "&c0.11"},
        // Negative fractions are sign-extended so the digits read back as the value.
        {nullptr, -0.75L, F::afN2C, 6, true, "&c1.01"},
        {nullptr, -0.375L, F::afN2C, 6, true, "&c1.101"},
        {nullptr, -std::ldexp(1.0L, -10), F::afN2C, 6, true, "&c1E-10"},
        {nullptr, -std::ldexp(3.0L, -11), F::afN2C, 6, true, "&c10.1E-10"},
        {nullptr, -1023.0L, F::afN2C, 6, true, "&c100,00000001"},
        {nullptr, 255.0L, F::afN2C, 6, true, "&c0,11111111"},
    });
}

TEST(FormatReal, Hexadecimal) {
    const TSetup n16Exp = [](TNumberSettings& s) { s.AnsN16Exp = true; };
    CheckReal({
        {nullptr, 255.0L, F::afN16, 6, true, "$FF"},
        {nullptr, 255.0L, F::afN16, 6, false, "$FF.00000000000000"},
        {nullptr, 1.0L, F::afN16, 6, false, "$1.0000000000000000"},
        {nullptr, 0.0L, F::afN16, 6, true, "$0"},
        {nullptr, 0.5L, F::afN16, 6, true, "$0.8"},
        {nullptr, -0.5L, F::afN16, 6, true, "-$0.8"},
        {nullptr, 1.0L / 256, F::afN16, 6, true, "$0.01"},
        {nullptr, std::ldexp(1.0L, -36), F::afN16, 6, true, "$0.000000001"},
        {nullptr, std::ldexp(1.0L, -40), F::afN16, 6, true, "$1P-10"},
        {nullptr, std::ldexp(1.0L, 64), F::afN16, 6, true, "$1P16"},
        {nullptr, std::ldexp(1.0L, 60), F::afN16, 6, true, "$1000,0000,0000,0000"},
        {nullptr, 74565.0L, F::afN16, 6, true, "$1,2345"},
        {nullptr, 1e30L, F::afN16, 6, true, "$C.9F2C9CD04674EDFP24"},
        {nullptr, -43981.0L, F::afN16, 6, true, "-$ABCD"},
        {[](TNumberSettings& s) { s.AnsColN16 = 2; }, 43981.0L, F::afN16, 6, true, "$AB,CD"},
        {n16Exp, std::ldexp(1.0L, 64), F::afN16, 6, true, "$1P$10"},
        {n16Exp, std::ldexp(1.0L, -40), F::afN16, 6, true, "$1P-$A"},
        {n16Exp, std::ldexp(1.0L, 64), F::afN16, 6, false, "$1.0000000000000000P$0010"},
    });
}

TEST(FormatReal, NonFiniteRadixTextsSetTheErrorState) {
    struct TRow {
        long double Value;
        F Format;
        const char* Expected;
        TCalcErr Error;
    };
    const TRow rows[] = {
        {kInf, F::afN2, "[Inf]", TCalcErr::ceOverflow},
        {-kInf, F::afN2, "[-Inf]", TCalcErr::ceOverflow},
        {kNaN, F::afN2, "[NaN]", TCalcErr::ceNothing},
        {kInf, F::afN2C, "[Inf]", TCalcErr::ceOverflow},
        {-kInf, F::afN2C, "[-Inf]", TCalcErr::ceOverflow},
        {kNaN, F::afN2C, "[NaN]", TCalcErr::ceNothing},
        {kInf, F::afN16, "[Inf]", TCalcErr::ceOverflow},
        {-kInf, F::afN16, "[-Inf]", TCalcErr::ceOverflow},
        {kNaN, F::afN16, "[NaN]", TCalcErr::ceNothing},
        {kInf, F::afEng, "INF", TCalcErr::ceNone},
        {kNaN, F::afFac, "Err", TCalcErr::ceNone},
    };
    for (const TRow& r : rows) {
        test::TNumberGuard guard;
        EXPECT_EQ(FormatReal(r.Value, r.Format, 6, false), r.Expected);
        EXPECT_EQ(CalcErr, r.Error) << r.Expected;
    }
}

TEST(FormatReal, SixtyBase) {
    const TSetup tj = [](TNumberSettings& s) { s.AnsFormat60 = TAnsFormat60::afN60TJ; };
    const TSetup t = [](TNumberSettings& s) { s.AnsFormat60 = TAnsFormat60::afN60T; };
    const TSetup dj = [](TNumberSettings& s) { s.AnsFormat60 = TAnsFormat60::afN60DJ; };
    CheckReal({
        {tj, 3661.0L, F::afN60, 6, false, " 1時01分01秒"},
        {tj, 3661.0L, F::afN60, 6, true, " 1時1分1秒"},
        {tj, 3601.0L, F::afN60, 6, false, " 1時00分01秒"},
        {tj, 3601.0L, F::afN60, 6, true, " 1時1秒"},
        {tj, 90061.5L, F::afN60, 6, false, " 1日01時01分01秒5"},
        {tj, 0.0L, F::afN60, 6, false, " 0"},
        {tj, 59.0L, F::afN60, 6, false, " 59秒"},
        {tj, 60.0L, F::afN60, 6, false, " 1分00秒"},
        {tj, 86400.0L, F::afN60, 6, false, " 1日00時00分00秒"},
        {tj, 86400.0L, F::afN60, 6, true, " 1日"},
        {tj, -3661.0L, F::afN60, 6, false, "-1時01分01秒"},
        {tj, 0.5L, F::afN60, 6, false, " 秒5"},
        {tj, 60.25L, F::afN60, 6, true, " 1分0秒25"},
        {tj, 1.23456L, F::afN60, 2, false, " 1秒23"},
        {tj, 1.23456L, F::afN60, -2, false, " 1秒23"},
        {tj, 1.5L, F::afN60, 0, false, " 2秒"},
        {tj, 1e15L + 0.125L, F::afN60, 6, false, " 11574074074日01時46分40秒125"},
        {t, 3661.0L, F::afN60, 6, false, " 1：01′01″"},
        {t, 3600.0L, F::afN60, 6, true, " 1："},
        {t, 90000.0L, F::afN60, 6, false, " 25：00′00″"},
        {nullptr, 3661.0L, F::afN60, 6, false, " 1°01′01″"},
        {nullptr, 10.5L, F::afN60, 6, false, " 10″5"},
        {nullptr, -0.0000001L, F::afN60, 6, false, " 0"},
        {nullptr, 3601.0L, F::afN60, 6, true, " 1°1″"},
        {dj, 3661.0L, F::afN60, 6, false, " 1度01分01秒"},
        {dj, 3660.0L, F::afN60, 6, true, " 1度1分"},
        {[](TNumberSettings& s) {
             s.AnsFormat60 = TAnsFormat60::afN60TJ;
             s.TimUnit = TTimUnit::tuHou;
         },
         1.5L, F::afN60, 6, false, " 1時30分00秒"},
        {[](TNumberSettings& s) {
             s.AnsFormat60 = TAnsFormat60::afN60TJ;
             s.TimUnit = TTimUnit::tuDay;
         },
         1.0L, F::afN60, 6, false, " 1日00時00分00秒"},
        {[](TNumberSettings& s) { s.TimUnit = TTimUnit::tuMin; }, 1.5L, F::afN60, 6, false,
         " 1′30″"},
        {nullptr, 1e19L, F::afN60, 6, false, "1E19"},
        {[](TNumberSettings& s) { s.TimUnit = TTimUnit::tuDay; }, 1e15L, F::afN60, 6, false,
         "1000000000000000"},
        {nullptr, kNaN, F::afN60, 6, false, "Err"},
    });
}

TEST(FormatReal, JapaneseGroups) {
    CheckReal({
        {nullptr, 123456789.0L, F::afJpn, 6, false, " 1億2345万7000"},
        {nullptr, 100000000.0L, F::afJpn, 6, false, " 1億0000万0000"},
        {nullptr, 100000000.0L, F::afJpn, 6, true, " 1億"},
        {nullptr, 100010000.0L, F::afJpn, 6, true, " 1億1万"},
        {nullptr, 10005.0L, F::afJpn, 6, true, " 1万5"},
        {nullptr, 10005.0L, F::afJpn, 6, false, " 1万0005.0"},
        {nullptr, 12345.678L, F::afJpn, 6, false, " 1万2345.7"},
        {nullptr, 1.5L, F::afJpn, 6, false, " 1.50000"},
        {nullptr, 0.5L, F::afJpn, 6, false, "0.5"},
        {nullptr, -123456789.0L, F::afJpn, 6, false, "-1億2345万7000"},
        {nullptr, 1e16L, F::afJpn, 6, false, " 1京0000兆0000億0000万0000"},
        {nullptr, 9.2e18L, F::afJpn, 6, true, " 920京"},
        {nullptr, 12345.678L, F::afJpn, -2, false, " 1万2345.68"},
        {nullptr, 12345.5L, F::afJpn, -3, true, " 1万2345.5"},
        {nullptr, 12345.5L, F::afJpn, 0, false, " 1万2346"},
        {nullptr, 0.25L, F::afJpn, -2, false, " 0.25"},
        {nullptr, 1e19L, F::afJpn, 6, false, "1E19"},
        {nullptr, 123456789012.25L, F::afN10A, 6, false, " 1234億5678万9012.25"},
        {nullptr, 0.25L, F::afN10A, 6, false, "0.25"},
    });
}

TEST(FormatReal, PrimeFactors) {
    CheckReal({
        {nullptr, 360.0L, F::afFac, 6, false, "2*2*2*3*3*5"},
        {nullptr, -7.0L, F::afFac, 6, false, "-7"},
        {nullptr, 1.0L, F::afFac, 6, false, "1"},
        {nullptr, -1.0L, F::afFac, 6, false, "-1"},
        {nullptr, 0.0L, F::afFac, 6, false, "0"},
        {nullptr, -0.4L, F::afFac, 6, false, "0"},
        {nullptr, 2.5L, F::afFac, 6, false, "3"},
        {nullptr, -2.5L, F::afFac, 6, false, "-3"},
        {nullptr, 12.0L, F::afFac, 6, false, "2*2*3"},
        {nullptr, 1024.0L, F::afFac, 6, false, "2*2*2*2*2*2*2*2*2*2"},
        {nullptr, 999966000289.0L, F::afFac, 6, false, "999983*999983"},
        {nullptr, 9223372036854775783.0L, F::afFac, 6, false, "9223372036854775783"},
        {nullptr, 9223372036854775807.0L, F::afFac, 6, false, "7*7*73*127*337*92737*649657"},
        {nullptr, 4611685975477714963.0L, F::afFac, 6, false, "2147483629*2147483647"},
        {nullptr, 4611686014132420609.0L, F::afFac, 6, false, "2147483647*2147483647"},
        {nullptr, 1e19L, F::afFac, 6, false, "1E19"},
        {[](TNumberSettings& s) { s.AnsColNon = 3; }, -9.5e18L, F::afFac, 6, false, "-9.5E18"},
    });
}

TEST(FormatReal, UserFormat) {
    struct TRow {
        const char* Format;
        long double Value;
        const char* Expected;
    };
    const TRow rows[] = {
        {",0.######", 1234567.891L, "1,234,567.891"},
        {",0.######", 0.5L, "0.5"},
        {",0.######", -1234.5L, "-1,234.5"},
        {",0.######", 0.0L, "0"},
        {",0.######", -0.0000001L, "0"},
        {",0.######", 1e20L, "1E20"},
        {"0.00", 3.14159L, "3.14"},
        {"0.00", 2.0L, "2.00"},
        {"#.##", 0.5L, ".5"},
        {"000", 5.0L, "005"},
        {"0.00;(0.00);\"zero\"", -12.3456L, "(12.35)"},
        {"0.00;(0.00);\"zero\"", 5.0L, "5.00"},
        {"0.00;(0.00);\"zero\"", 0.0L, "zero"},
        {"0.00;(0.00);\"zero\"", 0.001L, "zero"},
        {"0.00;;\"Z\"", -1.5L, "-1.50"},
        {"\"Total: \"#,##0.00\" yen\"", 1234.5L, "Total: 1,234.50 yen"},
        {"'a;b'0", 7.0L, "a;b7"},
        {"0'.'00", 7.0L, "0.07"},
        {",,0.0", 12345678.9L, "1234,5678.9"},
        {",,0.0", 123.0L, "123.0"},
        {",,0.0", -12345678.9L, "-1234,5678.9"},
        {"0\",,\"0", 12345.0L, "1234,,5"},
        {"0.##E-0", 1234.0L, "1.23E3"},
        {"0.##E-0", 0.00123L, "1.23E-3"},
        {"0.000e+00", 1234.0L, "1.234e+03"},
        {"0.000e+00", 0.0L, "0.000e+00"},
        {"0\"円\"", 5.0L, "5円"},
        {"", 1.5L, "1.5"},
        {"0.0", kNaN, "Err"},
        {"0.0", -kInf, "-INF"},
    };
    for (const TRow& r : rows) {
        test::TNumberGuard guard;
        NumberSettings.UsrFormat = SysText(r.Format);
        EXPECT_EQ(Cp932ToUtf8(FormatReal(r.Value, F::afUsr, 6, false)), r.Expected)
            << "format " << r.Format << ", value " << Show(r.Value);
    }
}

TEST(FormatAnswer, ComplexAssembly) {
    const TSetup polarDeg = [](TNumberSettings& s) {
        s.CplxFormat = TCplxFormat::cPolar;
        s.AngleUnit = TAngleUnit::auDeg;
    };
    const TSetup db = [](TNumberSettings& s) { s.AnsFormat = F::afdB; };
    CheckAnswers({
        {nullptr, TCplx(1.0L, -2.0L), " 1.00000  - 2.00000i"},
        {nullptr, TCplx(-1.5L, -0.5L), "-1.50000  - 0.500000i"},
        {nullptr, TCplx(0.0L, 2.0L), " 0.00000  + 2.00000i"},
        {[](TNumberSettings& s) {
             s.AnsFormat = F::afNon;
             s.ImagChar = 'j';
         },
         TCplx(1.0L, 2.0L), "1 + 2j"},
        {[](TNumberSettings& s) { s.AnsFormat = F::afN2; }, TCplx(1.0L, 1.0L),
         "&1." + std::string(63, '0') + " + &1." + std::string(63, '0') + "i"},
        {[](TNumberSettings& s) { s.CplxFormat = TCplxFormat::cPolar; }, TCplx(1.0L, 1.0L),
         " 1.41421  @ 0.785398"},
        {polarDeg, TCplx(1.0L, -1.0L), " 1.41421  @ -45.0000"},
        {polarDeg, TCplx(-2.0L), " 2.00000  @ 180.000"},
        {polarDeg, TCplx(TFrac(-2.0L), TFrac::Raw(-0.0L, 1.0L)), " 2.00000  @ 180.000"},
        {polarDeg, TCplx(2.0L), " 2.00000 "},
        {polarDeg, TCplx(), " 0.00000 "},
        {db, TCplx(-10.0L), " 20.0000dB @ 3.14159"},
        {[](TNumberSettings& s) {
             s.AnsFormat = F::afdB;
             s.AngleUnit = TAngleUnit::auDeg;
         },
         TCplx(0.0L, 10.0L), " 20.0000dB @ 90.0000"},
        {db, TCplx(10.0L), " 20.0000dB"},
        {nullptr, TCplx::Blank(), ""},
        {nullptr, TCplx::ErrorMark(), "Err"},
    });
}

TEST(FormatListValue, MarksAndHiddenZeroReal) {
    test::TNumberGuard guard;
    EXPECT_EQ(FormatListValue(TCplx::Blank(), F::afEng, false), "");
    EXPECT_EQ(FormatListValue(TCplx::ErrorMark(), F::afEng, false), "Err");
    EXPECT_EQ(FormatListValue(TCplx::ErrorMark(), F::afN2, true), "Err");
    EXPECT_EQ(FormatListValue(TCplx(0.0L, 2.0L), F::afEng, true), "2.00000i");
    EXPECT_EQ(FormatListValue(TCplx(0.0L, -2.0L), F::afNon, true), "-2i");
    EXPECT_EQ(FormatListValue(TCplx(0.0L, 0.0L), F::afNon, true), "0");
    EXPECT_EQ(FormatListValue(TCplx(1.0L, 2.0L), F::afNon, true), "1 + 2i");
    EXPECT_EQ(FormatListValue(TCplx(0.0L, 255.0L), F::afN16, true), "$FF.00000000000000i");
    EXPECT_EQ(CalcErr, TCalcErr::ceNone);
}

TEST(FormatLogValue, CompactForms) {
    const TSetup frac = [](TNumberSettings& s) { s.LogFrac = true; };
    const TSetup hex = [](TNumberSettings& s) { s.LogN16 = true; };
    struct TRow {
        TSetup Setup;
        TCplx Value;
        const char* Expected;
    };
    const TRow rows[] = {
        {nullptr, TCplx(5.0L), "5"},
        {nullptr, TCplx(-5.0L), "{-5}"},
        {nullptr, TCplx(), "0"},
        {nullptr, TCplx(1.0L, 2.0L), "{1+2i}"},
        {nullptr, TCplx(1.0L, -2.0L), "{1-2i}"},
        {nullptr, TCplx(-1.0L, 2.0L), "{-1+2i}"},
        {nullptr, TCplx(-1.0L, -2.0L), "{-1-2i}"},
        {nullptr, TCplx(0.0L, 2.0L), "{0+2i}"},
        {[](TNumberSettings& s) { s.ImagChar = 'j'; }, TCplx(1.0L, 2.0L), "{1+2j}"},
        {nullptr, TCplx(TFrac(1, 3)), "0.333333333333333333"},
        {nullptr, TCplx(1e-30L), "1E-30"},
        {frac, TCplx(TFrac(1, 3)), "{0.5/1.5}"},
        {frac, TCplx(TFrac(-1, 3)), "{-0.5/1.5}"},
        {frac, TCplx(TFrac(1, 10)), "{0.125/1.25}"},
        {frac, TCplx(3.0L), "3"},
        {frac, TCplx(TFrac(1, 3), TFrac(-1, 3)), "{{0.5/1.5}-{0.5/1.5}i}"},
        {hex, TCplx(255.0L), "$FF"},
        {hex, TCplx(-255.0L), "{-$FF}"},
        {hex, TCplx(0.5L, 1.0L), "{$0.8+$1i}"},
        {[](TNumberSettings& s) {
             s.LogN16 = true;
             s.LogFrac = true;
         },
         TCplx(TFrac(1, 3)), "{$0.8/$1.8}"},
        {nullptr, TCplx::Blank(), ""},
        {nullptr, TCplx::ErrorMark(), "Err"},
    };
    for (const TRow& r : rows) {
        test::TNumberGuard guard;
        if (r.Setup) r.Setup(NumberSettings);
        EXPECT_EQ(FormatLogValue(r.Value), r.Expected) << r.Expected;
    }
}

TEST(FormatLogValue, LeavesTheErrorStateAlone) {
    test::TNumberGuard guard;
    NumberSettings.LogN16 = true;
    EXPECT_EQ(FormatLogValue(TCplx(kInf)), "[Inf]");
    EXPECT_EQ(CalcErr, TCalcErr::ceNone);
    CalcErr = TCalcErr::ceDivZero;
    EXPECT_EQ(FormatLogValue(TCplx(1.0L, kNaN)), "{$1+[NaN]i}");
    EXPECT_EQ(CalcErr, TCalcErr::ceDivZero);
}

TEST(Format, LeavesValueAndFloatingPointFlagsAlone) {
    const TCplx values[] = {TCplx(LDBL_MAX, -LDBL_MAX), TCplx(LDBL_TRUE_MIN, 1e-300L),
                            TCplx(TFrac(1, 3), TFrac(-2, 7)), TCplx(kNaN, kInf),
                            TCplx(-1e30L, 0.0L)};
    for (int f = 0; f <= static_cast<int>(F::afUsr); ++f) {
        for (const TCplx& v : values) {
            test::TNumberGuard guard;
            NumberSettings.CplxFormat = f % 2 == 0 ? TCplxFormat::cReIm : TCplxFormat::cPolar;
            NumberSettings.AngleUnit = TAngleUnit::auDeg;
            const TCplx copy = v;
            std::feclearexcept(FE_ALL_EXCEPT);
            std::feraiseexcept(FE_DIVBYZERO);  // a flag raised before stays raised
            (void)FormatAnswer(v);
            (void)FormatListValue(v, static_cast<F>(f), true);
            (void)FormatReal(ReValue(v), static_cast<F>(f), -17, true);
            (void)FormatLogValue(v);
            EXPECT_EQ(std::memcmp(&copy.Re.Num, &v.Re.Num, 10), 0);
            EXPECT_EQ(std::memcmp(&copy.Im.Num, &v.Im.Num, 10), 0);
            EXPECT_EQ(std::fetestexcept(FE_OVERFLOW | FE_INVALID), 0) << "format " << f;
            EXPECT_NE(std::fetestexcept(FE_DIVBYZERO), 0);
            std::feclearexcept(FE_ALL_EXCEPT);
        }
    }
}

// The digits and decimal exponent that glibc prints for %.*Le (exact, ties to even).
void LibcDigits(long double x, int n, std::string& digits, int& exp) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "%.*Le", n - 1, x);
    digits.clear();
    const char* p = buf;
    for (; *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits.push_back(*p);
    exp = std::atoi(p + 1);
}

// True when the digits after the first n of x are exactly 5000...: the only case where
// rounding half away from zero and glibc's ties-to-even differ.
bool IsTie(long double x, int n) {
    std::string longer;
    int exp = 0;
    LibcDigits(x, n + 80, longer, exp);
    if (longer[static_cast<std::size_t>(n)] != '5') return false;
    return longer.find_first_not_of('0', static_cast<std::size_t>(n) + 1) == std::string::npos;
}

TEST(FormatDigits, MatchCorrectRoundingOverTheWholeRange) {
    std::mt19937_64 rng(20240611);
    int ties = 0;
    for (int i = 0; i < 40000; ++i) {
        const std::uint64_t m = rng() | (1ULL << 63);
        // Mostly the memo range, also the extremes and denormals.
        const int field = i % 4 == 0 ? static_cast<int>(rng() % 32767)
                                     : 16383 + static_cast<int>(rng() % 301) - 150;
        long double x = 0;
        std::memcpy(&x, &m, 8);
        const std::uint16_t se = static_cast<std::uint16_t>(field);
        std::memcpy(reinterpret_cast<char*>(&x) + 8, &se, 2);
        if (field == 0) x = std::ldexp(static_cast<long double>(m >> (rng() % 64)), -16445);
        if (!(x > 0)) continue;
        const int n = 1 + static_cast<int>(rng() % 40);
        const format_detail::TDigits d = format_detail::SigDigits(x, n);
        std::string expect;
        int exp = 0;
        LibcDigits(x, n, expect, exp);
        const std::string got(d.D, static_cast<std::size_t>(d.Count));
        if (got != expect && IsTie(x, n)) {
            // glibc went down to the even digit; half away from zero is one unit above.
            ++ties;
            ASSERT_EQ(got.substr(0, got.size() - 1), expect.substr(0, expect.size() - 1));
            ASSERT_EQ(got.back(), expect.back() + 1) << Show(x);
            continue;
        }
        ASSERT_EQ(got, expect) << Show(x) << " to " << n << " digits";
        ASSERT_EQ(d.Exp, exp) << Show(x) << " to " << n << " digits";
    }
    EXPECT_GT(ties, 0);  // short binary fractions do end in exact ties
}

// True when x is exactly halfway between two multiples of 10^-decimals.
bool IsFixedTie(long double x, int decimals) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*Lf", decimals + 130, x);
    const std::string text(buf);
    const std::size_t cut = text.find('.') + 1 + static_cast<std::size_t>(decimals);
    return text[cut] == '5' && text.find_first_not_of('0', cut + 1) == std::string::npos;
}

TEST(FormatDigits, FixedDecimalsMatchCorrectRounding) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        const long double x =
            std::ldexp(static_cast<long double>(rng() | 1), -static_cast<int>(rng() % 120));
        const int decimals = static_cast<int>(rng() % 28);
        char buf[200];
        std::snprintf(buf, sizeof buf, "%.*Lf", decimals, x);
        std::string expect;
        for (const char* p = buf; *p != 0; ++p)
            if (*p >= '0' && *p <= '9') expect.push_back(*p);
        expect.erase(0, std::min(expect.find_first_not_of('0'), expect.size()));
        const format_detail::TDigits d = format_detail::FixedDigits(x, decimals);
        const std::string got(d.D, static_cast<std::size_t>(d.Count));
        if (got != expect && IsFixedTie(x, decimals)) continue;
        ASSERT_EQ(got, expect) << Show(x) << " at " << decimals << " decimals";
        if (d.Count > 0) {
            ASSERT_EQ(d.Exp, d.Count - 1 - decimals);
        }
    }
}

TEST(FormatDigits, TiesRoundHalfAwayFromZero) {
    struct TRow {
        long double Value;
        int Digits;  // significant digits, or decimals with Fixed
        bool Fixed;
        const char* Expected;
        int Exp;
    };
    const TRow rows[] = {
        {0.125L, 2, false, "13", -1},
        {2.5L, 1, false, "3", 0},
        {9.5L, 1, false, "1", 1},
        {999999.5L, 6, false, "100000", 6},
        {0.5L, 0, true, "1", 0},
        {0.25L, 1, true, "3", -1},
        {1234.5L, -2, true, "12", 3},
        {1250.0L, -2, true, "13", 3},
        {0.4L, 0, true, "", 0},
        {std::ldexp(1.0L, -16445), 4950, true, "", 0},
        {std::ldexp(1.0L, -16445), 4951, true, "4", -4951},
        {std::ldexp(1.0L, -100), 30, true, "1", -30},  // 7.9e-31 rounds up to 1e-30
        {std::ldexp(1.0L, -102), 30, true, "", 0},
    };
    for (const TRow& r : rows) {
        const format_detail::TDigits d = r.Fixed ? format_detail::FixedDigits(r.Value, r.Digits)
                                                 : format_detail::SigDigits(r.Value, r.Digits);
        EXPECT_EQ(std::string(d.D, static_cast<std::size_t>(d.Count)), r.Expected) << Show(r.Value);
        EXPECT_EQ(d.Exp, r.Exp) << Show(r.Value);
    }
}

}  // namespace
}  // namespace rekna
