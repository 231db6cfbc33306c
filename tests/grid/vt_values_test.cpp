// Tests of number formatting and reading in grid cells, and of the per-type character filter.
#include "grid/vt_values.h"

#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace rekna {
namespace {

using enum TVtEditDataType;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct TFormatRow {
    double Value;
    TVtEditDataType Type;
    int Precision;
    bool HideZero;
    const char* Expected;
};

TEST(VtValuesTest, FormatsEveryType) {
    const TFormatRow rows[] = {
        {1500, dtEng, 6, true, "1.5k"},
        {1, dtEng, 6, true, "1 "},
        {15, dtEng, 6, true, "15 "},
        {0.015, dtEng, 6, true, "15m"},
        {1e-22, dtEng, 6, true, "100E-24"},
        {-2.2e-6, dtEng, 6, true, "-2.2u"},
        {4.7e19, dtEng, 6, true, "47E18"},
        {3.3e-20, dtEng, 6, true, "33z"},
        {123456789, dtEng, 3, true, "123M"},
        {0, dtEng, 6, true, "0 "},
        {-1500, dtPosEng, 6, true, "1.5k"},
        {1.5e7, dtReal, 6, true, "1.5E7"},
        {0.0005, dtReal, 6, true, "5E-4"},
        {0.005, dtReal, 6, true, "0.005"},
        {123456, dtReal, 6, true, "123456"},
        {1234567, dtReal, 6, true, "1234570"},
        {12345678, dtReal, 6, true, "1.23457E7"},
        {-0.25, dtReal, 6, true, "-0.25"},
        {-0.25, dtPosReal, 6, true, "0.25"},
        {2.5, dtInteger, 6, true, "3"},
        {-2.5, dtInteger, 6, true, "-3"},
        {-0.2, dtInteger, 6, true, "0"},
        {-2.5, dtPosInteger, 6, true, "3"},
        {3.14159, dtFrac, 3, true, "3.14"},
        {3.14159, dtFrac, -2, true, "3.14"},
        {1, dtFrac, -2, true, "1.00"},
        {1200, dtFrac, 2, true, "1200"},
        {0.5, dtFrac, 0, true, "0.5"},
        {0.000123, dtFrac, 6, true, "0.000123"},
        {1.5, dtFrac, 6, false, "1.50000"},
        {-1.5, dtPosFrac, 6, true, "1.5"},
        {255, dtHex, 6, true, "FF"},
        {-255.5, dtHex, 6, true, "100"},
        {0, dtHex, 6, true, "0"},
        {0.5, dtTime, 6, true, "12:00:00"},
        {1.75, dtTime, 6, true, "18:00:00"},
        {3661.0 / 86400, dtTime, 6, true, "1:01:01"},
        {0, dtTime, 6, true, "0:00:00"},
        {1e20, dtString, 6, true, "1E20"},
        {0.1, dtString, 6, true, "0.1"},
        {1.0 / 3, dtCalc, 6, true, "0.333333333333333"},
        {-42, dtColor, 6, true, "-42"},
        {kNaN, dtReal, 6, true, ""},
        {kInf, dtEng, 6, true, ""},
        {1e30, dtHex, 6, true, ""},
    };
    for (const TFormatRow& row : rows) {
        const TVtFormatOptions options{row.HideZero, 6, -3};
        EXPECT_EQ(FormatValue(row.Value, row.Type, row.Precision, options), row.Expected)
            << row.Value << " type " << static_cast<int>(row.Type);
    }
}

struct TReadRow {
    std::string Text;
    bool NanEnable;
    double Expected;
};

TEST(VtValuesTest, ReadsPlainAndEngineeringTexts) {
    const TReadRow rows[] = {
        {"1.5k", false, 1500},
        {"20%", false, 0.2},
        {"3.3u", false, 3.3e-6},
        {"1e3", false, 1000},
        {"abc", false, 0},
        {"abc", true, kNaN},
        {"", false, 0},
        {"  ", true, kNaN},
        {" 42 ", false, 42},
        {"+5", false, 5},
        {"-1.5m", false, -0.0015},
        {"1,000", false, 1000},
        {"2.5E-3", false, 0.0025},
        {"x=12k", false, 12000},
        {"1.2.3", false, 1.23},
        {"5 k", false, 5000},
        {"10kk", false, 10000},
        {"1ke3", false, 1000},
        {"12M", false, 12e6},
        {"3p", false, 3e-12},
        {"7G", false, 7e9},
        {"1e", false, 0},
        {"-", false, 0},
        {"inf", true, kNaN},
        {"nan", false, 0},
        {"1e999", true, kNaN},
        {SysText("電圧12V"), false, 12},
        {SysText("１２"), true, kNaN},
    };
    for (const TReadRow& row : rows) {
        const double value = ReadCellValue(row.Text, row.NanEnable);
        if (std::isnan(row.Expected)) {
            EXPECT_TRUE(std::isnan(value)) << row.Text;
        } else {
            EXPECT_DOUBLE_EQ(value, row.Expected) << row.Text;
        }
    }
}

TEST(VtValuesTest, EngineeringFormRoundTrips) {
    const TVtFormatOptions options;
    for (const double v : {1500.0, 0.015, 4.7e-9, 2.2e12, 330.0, -6.8e-13}) {
        const std::string text = FormatValue(v, dtEng, 6, options);
        EXPECT_DOUBLE_EQ(ReadCellValue(text, false), v) << text;
    }
}

struct TFilterRow {
    TVtEditDataType Type;
    std::string Text;
    std::string Expected;
};

TEST(VtValuesTest, FiltersTextByType) {
    const TFilterRow rows[] = {
        {dtPosInteger, "-12.5a", "125"},
        {dtInteger, "-12.5", "-125"},
        {dtPosFrac, "-1.5", "1.5"},
        {dtFrac, "-1.5e", "-1.5"},
        {dtReal, "1.5e-3x", "1.5E-3"},
        {dtPosReal, "2e", "2E"},
        {dtEng, "2.2k" + SysText("Ω"), "2.2k"},
        {dtEng, "-1e3", "-1e3"},
        {dtPosEng, "-4.7u", "4.7u"},
        {dtTime, "12:30:00 PM", "12:30:00M"},
        {dtHex, "0xff", "0FF"},
        {dtColor, "clred", "clRed"},
        {dtColor, "$000000FF", "clRed"},
        {dtColor, "nonsense", "clNone"},
        {dtString, "a\tb" + SysText("あ"), "a\tb" + SysText("あ")},
        {dtCalc, "sin(x)", "sin(x)"},
    };
    for (const TFilterRow& row : rows) {
        EXPECT_EQ(FilterText(row.Type, row.Text), row.Expected) << row.Text;
    }
}

TEST(VtValuesTest, AllowedCharactersPerType) {
    // Each row: the type and every printable ASCII character it lets through.
    const std::pair<TVtEditDataType, std::string> rows[] = {
        {dtPosInteger, "0123456789"},
        {dtInteger, "-0123456789"},
        {dtPosFrac, ".0123456789"},
        {dtFrac, "-.0123456789"},
        {dtPosReal, "-.0123456789Ee"},
        {dtReal, "-.0123456789Ee"},
        {dtPosEng, ".0123456789AFGKMNPTUZafgkmnptuz"},
        {dtEng, "-.0123456789AEFGKMNPTUZaefgkmnptuz"},
        {dtTime, "-.0123456789:HMShms"},
        {dtHex, "0123456789ABCDEFabcdef"},
    };
    for (const auto& [type, expected] : rows) {
        std::string allowed;
        for (char c = ' '; c < 127; ++c) {
            if (IsAllowedChar(type, c)) allowed.push_back(c);
        }
        std::sort(allowed.begin(), allowed.end());
        std::string sorted = expected;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(allowed, sorted) << static_cast<int>(type);
    }
    EXPECT_TRUE(IsAllowedChar(dtString, '\b'));
    EXPECT_TRUE(IsAllowedChar(dtCalc, '~'));
    EXPECT_FALSE(IsAllowedChar(dtString, '\t'));
    EXPECT_EQ(TypedChar(dtHex, 'f'), 'F');
    EXPECT_EQ(TypedChar(dtReal, 'e'), 'E');
    EXPECT_EQ(TypedChar(dtEng, 'm'), 'm');
}

}  // namespace
}  // namespace rekna
