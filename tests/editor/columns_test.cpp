// Tests of the column walks: widths, columns of positions, positions of columns.
#include "editor/store/columns.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace rekna {
namespace {

using test::J;

struct TColumnCase {
    std::string Text;  // CP932
    double Arg;
    std::int32_t Tabs;
    std::int32_t Wrap;
    std::int32_t Expected;
};

// A lead byte with nothing after it: one byte, one column.
const std::string kLoneLead = std::string("a") + J("あ").substr(0, 1);

TEST(Columns, RowWidth) {
    const TColumnCase cases[] = {
        {"", 0, 8, 0, 0},          {"abc", 0, 8, 0, 3},     {J("あいう"), 0, 8, 0, 6},
        {"a\tb", 0, 8, 0, 9},      {"\t", 0, 4, 0, 4},      {J("あ\t"), 0, 4, 0, 4},
        {J("aあ\tb"), 0, 2, 0, 5}, {kLoneLead, 0, 8, 0, 2}, {"\t\t", 0, 1, 0, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RowWidth(c.Text, c.Tabs), c.Expected) << test::U(c.Text) << " tabs " << c.Tabs;
}

TEST(Columns, ColumnOfPos) {
    const TColumnCase cases[] = {
        {"abc", 1, 8, 0, 1},      {"abc", 4, 8, 0, 4},        {"abc", 10, 8, 0, 4},
        {"abc", 0, 8, 0, 1},      {J("aあb"), 2, 8, 0, 2},    {J("aあb"), 4, 8, 0, 4},
        {J("aあb"), 5, 8, 0, 5},  {"\tx", 2, 8, 0, 9},        {"\tx", 2, 8, 5, 6},
        {"abcde\tx", 7, 8, 5, 7}, {"abcdefg\tx", 9, 8, 5, 9},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColumnOfPos(c.Text, static_cast<std::int32_t>(c.Arg), c.Tabs, c.Wrap), c.Expected)
            << test::U(c.Text) << " pos " << c.Arg << " wrap " << c.Wrap;
}

TEST(Columns, PosOfColumn) {
    const TColumnCase cases[] = {
        {"abc", 2, 8, 0, 2},     {"abc", 0, 8, 0, 1},     {"abc", 9, 8, 0, 4},
        {J("あい"), 2, 8, 0, 3}, {J("あい"), 3, 8, 0, 3}, {J("あい"), 4, 8, 0, 5},
        {"\tx", 5, 8, 0, 2},     {"\tx", 9, 8, 0, 2},     {"\tx", 10, 8, 0, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PosOfColumn(c.Text, static_cast<std::int32_t>(c.Arg), c.Tabs), c.Expected)
            << test::U(c.Text) << " col " << c.Arg;
}

TEST(Columns, CharAtColumn) {
    const TColumnCase cases[] = {
        {J("あい"), 1, 8, 0, 1}, {J("あい"), 2, 8, 0, 1}, {J("あい"), 3, 8, 0, 3},
        {J("あい"), 5, 8, 0, 5}, {"\tx", 5, 8, 0, 1},     {"\tx", 9, 8, 0, 2},
        {"", 1, 8, 0, 1},        {"ab", 0, 8, 0, 1},      {J("aあ"), 3, 8, 0, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CharAtColumn(c.Text, static_cast<std::int32_t>(c.Arg), c.Tabs), c.Expected)
            << test::U(c.Text) << " col " << c.Arg;
}

TEST(Columns, PosNearestX) {
    const TColumnCase cases[] = {
        {J("あい"), 1.0, 8, 0, 1}, {J("あい"), 2.0, 8, 0, 1}, {J("あい"), 2.5, 8, 0, 3},
        {J("あい"), 4.5, 8, 0, 5}, {"ab", 1.4, 8, 0, 1},      {"ab", 1.6, 8, 0, 2},
        {"\tx", 4.0, 8, 0, 1},     {"\tx", 5.5, 8, 0, 2},     {"\tx", 5.5, 8, 6, 2},
        {"\tx", 4.5, 8, 6, 2},     {"", 3.0, 8, 0, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PosNearestX(c.Text, c.Arg, c.Tabs, c.Wrap), c.Expected)
            << test::U(c.Text) << " x " << c.Arg << " wrap " << c.Wrap;
}

TEST(Columns, BoxPosOfColumnMayStopOnASecondByte) {
    const TColumnCase cases[] = {
        {J("あい"), 2, 8, 0, 2}, {J("あい"), 3, 8, 0, 3}, {J("あい"), 4, 8, 0, 4},
        {"ab", 2, 8, 0, 2},      {J("aあ"), 3, 8, 0, 3},  {J("aあ"), 9, 8, 0, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BoxPosOfColumn(c.Text, static_cast<std::int32_t>(c.Arg), c.Tabs), c.Expected)
            << test::U(c.Text) << " col " << c.Arg;
}

TEST(Columns, AdjustToCharStart) {
    const TColumnCase cases[] = {
        {J("あい"), 2, 8, 0, 1}, {J("あい"), 3, 8, 0, 3}, {J("あい"), 4, 8, 0, 3},
        {J("あい"), 5, 8, 0, 5}, {J("あい"), 9, 8, 0, 5}, {J("あい"), 0, 8, 0, 1},
        {kLoneLead, 3, 8, 0, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AdjustToCharStart(c.Text, static_cast<std::int32_t>(c.Arg)), c.Expected)
            << test::U(c.Text) << " pos " << c.Arg;
}

// Every position of a mixed row maps to a column and back to itself.
TEST(Columns, PositionsAndColumnsAgreeOnMixedRows) {
    const std::string row = J("aあ\tい b\tう") + kLoneLead;
    for (std::int32_t tabs : {1, 2, 3, 8}) {
        for (std::int32_t pos = 1; pos <= static_cast<std::int32_t>(row.size()) + 1;) {
            const std::int32_t col = ColumnOfPos(row, pos, tabs, 0);
            EXPECT_EQ(PosOfColumn(row, col, tabs), pos) << "tabs " << tabs << " pos " << pos;
            if (pos <= static_cast<std::int32_t>(row.size())) {
                EXPECT_EQ(CharAtColumn(row, col, tabs), pos) << "tabs " << tabs << " pos " << pos;
            }
            pos += pos <= static_cast<std::int32_t>(row.size()) ? CharBytesAt(row, pos) : 1;
        }
        EXPECT_EQ(ColumnOfPos(row, static_cast<std::int32_t>(row.size()) + 1, tabs, 0),
                  RowWidth(row, tabs) + 1);
    }
}

// The walks jump from Tab to Tab and tell character starts from the lead bytes before them;
// a character-by-character walk over rows of lead bytes, second bytes that are lead bytes too,
// Tabs after lead bytes and lone lead bytes at the end must give the same answers.
TEST(Columns, ShortcutsAgreeWithAWalkOverEveryCharacter) {
    const std::string bytes = "a\t\x82\xa0\x88\x9f\x41";
    std::uint32_t seed = 7;
    for (int n = 0; n < 300; ++n) {
        std::string row;
        for (std::size_t k = 0, len = n % 23; k < len; ++k) {
            seed = seed * 1103515245u + 12345u;
            row += bytes[(seed >> 16) % bytes.size()];
        }
        const auto len = static_cast<std::int32_t>(row.size());
        for (std::int32_t tabs : {1, 3, 8}) {
            // columns[i]: the column at byte i + 1 by the walk; starts: which bytes begin a char.
            std::vector<std::int64_t> columns(row.size() + 1, 0);
            std::vector<bool> starts(row.size() + 1, false);
            std::int64_t col = 1;
            for (std::int32_t pos = 1; pos <= len;) {
                const std::int32_t b = CharBytesAt(row, pos);
                starts[pos - 1] = true;
                columns[pos - 1] = col;
                col = row[pos - 1] == '\t' ? NextTabColumn(col, tabs) : col + b;
                if (b == 2) columns[pos] = col;
                pos += b;
            }
            starts[row.size()] = true;
            columns[row.size()] = col;
            ASSERT_EQ(RowWidth(row, tabs), col - 1) << test::U(row);
            for (std::int32_t pos = 1; pos <= len + 1; ++pos) {
                const bool start = starts[pos - 1];
                EXPECT_EQ(AdjustToCharStart(row, pos), start ? pos : pos - 1) << pos;
                EXPECT_EQ(ColumnOfPos(row, pos, tabs, 0), columns[pos - 1]) << pos;
            }
            for (std::int32_t c = 0; c <= col + 1; ++c) {
                std::int32_t first = 0;
                std::int32_t covering = 0;
                for (std::int32_t pos = 1; pos <= len + 1; ++pos) {
                    if (!starts[pos - 1]) continue;
                    if (first == 0 && columns[pos - 1] >= c) first = pos;
                    const std::int32_t next = pos > len ? pos : pos + CharBytesAt(row, pos);
                    if (covering == 0 && (pos > len || c < columns[next - 1])) covering = pos;
                }
                if (first == 0) first = len + 1;
                EXPECT_EQ(PosOfColumn(row, c, tabs), first) << c;
                EXPECT_EQ(CharAtColumn(row, c, tabs), covering) << c;
            }
        }
    }
}

}  // namespace
}  // namespace rekna
