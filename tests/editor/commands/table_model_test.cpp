// Tests of the table model: parsing, padding, building in the three styles and transposition.
#include "../store_helpers.h"
#include "editor/commands/table_model.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using test::J;
using test::U;

std::string Dump(const TTableGrid& grid) {
    std::string out;
    for (const auto& row : grid) {
        out += "[";
        for (std::size_t c = 0; c < row.size(); ++c)
            out += (c ? "|" : "") + U(row[c]);
        out += "]";
    }
    return out;
}

TEST(TableModelTest, ParseTableRowsCellsAndRuledEdges) {
    struct TCase {
        const char* Text;
        const char* Grid;
    };
    const TCase cases[] = {
        {"a\tb\r\nc\td\r\n", "[a|b][c|d]"},
        {"a\tb\nc\td\n", "[a|b][c|d]"},
        {"a\tb\rc\td\r", "[a|b][c|d]"},
        {"\r\nab\tcd\r\n", "[|][ab|cd]"},
        {"a\tb\tc\nd", "[a|b|c][d||]"},
        {" a \t b ", "[a|b]"},
        {"┌──┬──┐\r\n│ab│cd│\r\n└──┴──┘", "[|][ab|cd][|]"},
        {"x─y\tz", "[|z]"},
        {"a　b", "[a|b]"},
        // A double-byte character whose trail byte is 0x40 does not hold "　".
        {"ア\t", "[ア|]"},
        {"", "[]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Dump(ParseTable(J(c.Text), true)), c.Grid) << c.Text;
}

TEST(TableModelTest, DetectSeparatorStepsOverDoubleByteCharacters) {
    struct TCase {
        const char* Text;
        bool KeepTab;
        std::string_view Sep;
    };
    const TCase cases[] = {
        {"a\tb", true, kTabSeparator},
        {"a\tb", false, kFullSpaceSeparator},
        {"│a│", true, kBarSeparator},
        {"a　b", true, kFullSpaceSeparator},
        {"ab", true, kTabSeparator},
        // "a@" after a lead byte: the bytes 81 40 appear across two characters.
        {"\x82\x81\x40", true, kTabSeparator},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectSeparator(J(c.Text), c.KeepTab), c.Sep) << c.Text;
    EXPECT_FALSE(ContainsChar("\x82\x84\xA0", kBarSeparator));
}

TEST(TableModelTest, ConversionsBetweenTheThreeStyles) {
    struct TCase {
        const char* Text;
        std::string_view Sep;
        TTableAlign Mode;
        const char* Result;
    };
    const TCase cases[] = {
        {"a\tb\r\nc\td", kFullSpaceSeparator, TTableAlign::taLeft, "a 　b\r\nc 　d"},
        {"┌──┬──┐\r\n│ab│cd│\r\n└──┴──┘", kTabSeparator, TTableAlign::taLeft, "\r\nab\tcd\r\n"},
        {"┌──┬──┐\r\n│ab│cd│\r\n└──┴──┘", kBarSeparator, TTableAlign::taLeft,
         "┌─┬─┐\r\n│ab│cd│\r\n└─┴─┘"},
        {"\ta\tb\t\r\n\r\nx\tyyy\tz", kBarSeparator, TTableAlign::taRight,
         "│  │   a│ b│\r\n├─┼──┼─┤\r\n│ x│ yyy│ z│"},
        {"a\tbbb", kFullSpaceSeparator, TTableAlign::taCenter, " a　 bbb"},
        {"ab\tc\r\nd\tefg", kFullSpaceSeparator, TTableAlign::taCenter, "ab　  c\r\n d　 efg"},
    };
    for (const auto& c : cases) {
        TTableGrid grid = ParseTable(J(c.Text), true);
        if (c.Sep != kTabSeparator) AlignColumns(grid, c.Mode);
        EXPECT_EQ(U(BuildTable(grid, c.Sep, true)), c.Result) << c.Text;
    }
}

TEST(TableModelTest, DecimalAlignment) {
    struct TCase {
        const char* Text;
        const char* Grid;
    };
    const TCase cases[] = {
        {"1.5\n-12.25\n7", "[  1.5 ][-12.25][  7   ]"},
        {"1.5\n-12.25\n7\nabc", "[  1.5 ][-12.25][  7   ][  abc ]"},
        {"abc", "[ abc]"},
        {"10\n2", "[10][ 2]"},
    };
    for (const auto& c : cases) {
        TTableGrid grid = ParseTable(c.Text, true);
        AlignDecimal(grid);
        EXPECT_EQ(Dump(grid), c.Grid) << c.Text;
    }
}

TEST(TableModelTest, TranspositionAndExchangedText) {
    EXPECT_EQ(Dump(Transpose(ParseTable("a\tb\tc\r\nd\te\tf", true))), "[a|d][b|e][c|f]");
    struct TCase {
        const char* Text;
        const char* Result;
    };
    const TCase cases[] = {
        {"a\tb\tc\r\nd\te\tf\r\n", "a\td\r\nb\te\r\nc\tf\r\n"},
        {"a\tb\tc\r\nd\te\tf", "a\td\r\nb\te\r\nc\tf"},
        {"│a│b│\r\n│c│d│", "a│c\r\nb│d"},
        {"a\t\r\nb\t", "a\tb\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(U(TransposeText(J(c.Text), true)), c.Result) << c.Text;
}

TEST(TableModelTest, SpaceCompressions) {
    struct TCase {
        const char* Text;
        const char* One;
        const char* Runs;
        const char* All;
    };
    const TCase cases[] = {
        {"a  b c   ", "a b c ", "a\tb c", "a\tb\tc"},
        {"a  b c   \r\n", "a b c \r\n", "a\tb c\t\r\n", "a\tb\tc\t\r\n"},
        {"あ  い", "あ い", "あ\tい", "あ\tい"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U(SpacesToOneSpace(J(c.Text))), c.One) << c.Text;
        EXPECT_EQ(U(SpaceRunsToTab(J(c.Text), false)), c.Runs) << c.Text;
        EXPECT_EQ(U(SpaceRunsToTab(J(c.Text), true)), c.All) << c.Text;
    }
}

}  // namespace
}  // namespace rekna
