// Tests of BreakPos, the indentation rules and the cutting of logical lines at every width.
#include "editor/store/wrap.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using test::J;
using test::U;

struct TBreakCase {
    const char* Text;  // UTF-8
    std::int32_t Wrap;
    std::size_t Hang;
    bool AutoIndent;
    bool BanBreak;
    std::int32_t Tabs;
    std::int32_t Expected;
};

TEST(BreakPos, Table) {
    const TBreakCase cases[] = {
        {"abcdefghijk", 0, 0, true, true, 8, 0},
        {"abc", 10, 0, true, true, 8, 0},
        {"abcdefghijk", 10, 0, true, true, 8, 11},
        {"abcdefghij", 10, 0, true, true, 8, 11},    // fills the width exactly
        {"あいうえおか", 11, 0, true, true, 8, 11},  // "か" would straddle the margin
        {"あいうえおか", 10, 0, true, true, 8, 11},
        {"abcdefgh「xy", 10, 0, true, true, 8, 9},  // "「" never ends a row
        {"abcdefgh「xy", 10, 0, true, false, 8, 11},
        {"abcdefghij。x", 10, 0, true, true, 8, 13},  // "。" stays beyond the margin
        {"abcdefghij。x", 10, 0, true, false, 8, 11},
        {"abcdefghij)x", 10, 0, true, true, 8, 12},
        {"abcdefghi\tx", 10, 0, true, true, 8, 11},  // a Tab at the margin stays
        {"\tabc", 4, 0, true, true, 8, 2},
        {"あい", 1, 0, true, true, 8, 3},  // narrower than one character
        {"あ", 1, 0, true, true, 8, 0},
        {"a", 1, 0, true, true, 8, 2},
        {"ab", 1, 0, true, true, 8, 2},
        {"あいうえ お", 9, 0, true, true, 8, 9},  // the blank goes down with "お"
        {"あいうえ お", 9, 0, false, true, 8, 10},
        {"あいうえ#お", 9, 0, true, true, 8, 9},
        {"あいうえ #お", 9, 0, true, true, 8, 10},  // '#' after a blank ends the run
        {"あいうえaお", 9, 0, true, true, 8, 10},
        {"    「abc", 6, 0, true, true, 8, 5},
        {"    「abc", 6, 4, true, true, 8, 7},  // never cut inside the hanging indent
        {"    ", 2, 4, true, true, 8, 0},
        {"「「「「「「", 4, 0, true, true, 8, 3},
    };
    for (const auto& c : cases) {
        TUMemoStrings s;
        s.SetAutoIndent(c.AutoIndent);
        s.SetBanBreak(c.BanBreak);
        s.SetTabStops(c.Tabs);
        s.SetWrapColumns(c.Wrap);
        EXPECT_EQ(s.BreakPos(J(c.Text), c.Hang), c.Expected)
            << c.Text << " wrap " << c.Wrap << " hang " << c.Hang;
    }
}

TEST(BreakPos, HeadAndTailReadAsOneText) {
    TUMemoStrings s;
    s.SetWrapColumns(10);
    const std::string text = J("abcdefgh「xyあいう");
    for (std::size_t split = 0; split <= text.size(); ++split)
        EXPECT_EQ(BreakPos(std::string_view(text).substr(0, split),
                           std::string_view(text).substr(split), s.WrapRules(), 0),
                  s.BreakPos(text))
            << split;
}

struct TIndentCase {
    const char* Text;
    std::int32_t Wrap;
    std::int32_t Tabs;
    const char* Prefix;
    std::size_t Length;
    const char* Hang;
};

TEST(Indent, PrefixLengthAndHangingIndent) {
    const TIndentCase cases[] = {
        {"    abc", 0, 8, "    ", 4, ""},
        {"    abc", 20, 8, "    ", 4, "    "},
        {"    abc", 10, 8, "    ", 4, "    "},
        {"            ", 10, 8, "", 12, ""},  // all indentation, too wide
        {"        ", 20, 8, "        ", 8, "        "},
        {"         x", 10, 8, "         ", 9, "    "},
        {"#;?abc", 20, 8, "#;?", 3, "#;?"},
        {" #abc", 0, 8, " ", 1, ""},
        {" #abc", 20, 8, " ", 1, " "},
        {" #abc", 3, 8, "", 1, ""},
        {"#abc", 3, 8, "#", 1, ""},
        {"　>x", 20, 8, "　>", 3, "　>"},
        {">>> quote", 20, 8, ">>> ", 4, ">>> "},
        {"\tx", 10, 8, "\t", 1, ""},
        {"\tx", 40, 8, "\t", 1, "\t"},
        {"abc", 20, 8, "", 0, ""},
        {"", 20, 8, "", 0, ""},
        {"   ;x", 20, 8, "   ", 3, "   "},
    };
    for (const auto& c : cases) {
        TWrapRules rules;
        rules.WrapColumns = c.Wrap;
        rules.TabStops = c.Tabs;
        const std::string text = J(c.Text);
        EXPECT_EQ(U(std::string(IndentPrefix(text, rules))), c.Prefix) << c.Text << " " << c.Wrap;
        EXPECT_EQ(IndentLength(text, rules), c.Length) << c.Text;
        EXPECT_EQ(U(std::string(HangIndentOf(text, rules))), c.Hang) << c.Text << " " << c.Wrap;
        rules.AutoIndent = false;
        EXPECT_EQ(IndentPrefix(text, rules), "");
        EXPECT_EQ(IndentLength(text, rules), 0u);
        EXPECT_EQ(HangIndentOf(text, rules), "");
    }
}

// Cuts mixed text at every width 1..40 and checks what every cut must keep.
TEST(WrapText, EveryWidthKeepsCharactersWholeAndRowsWithinTheMargin) {
    const std::string lines[] = {
        J("漢字かなabc 「かっこ」。def\tghi、あいうえおかきくけこ(x)end."),
        J("    インデント付きの行です。とても長い行がここから始まり、折り返されます。"),
        J("#;? メモ 「「「」」」。。。ab\t\tcd"),
        J("ｱｲｳｴｵ半角カナと全角カナ　全角空白　まじり"),
    };
    for (const std::string& text : lines) {
        for (std::int32_t wrap = 1; wrap <= 40; ++wrap) {
            for (std::int32_t tabs : {1, 3, 8}) {
                for (int flags = 0; flags < 4; ++flags) {
                    TUMemoStrings s;
                    s.SetTabStops(tabs);
                    s.SetAutoIndent((flags & 1) != 0);
                    s.SetBanBreak((flags & 2) != 0);
                    s.SetWrapColumns(wrap);
                    const TWrapRules& rules = s.WrapRules();
                    const std::string hang(HangIndentOf(text, rules));
                    std::vector<TRowPiece> pieces;
                    WrapText(text, {}, hang, rules, pieces);
                    const std::string where = U(text) + " wrap " + std::to_string(wrap) + " tabs " +
                                              std::to_string(tabs) + " flags " +
                                              std::to_string(flags);
                    ASSERT_FALSE(pieces.empty()) << where;
                    EXPECT_LE(RowWidth(hang, tabs) * 2, wrap) << where;
                    std::size_t expectedBegin = 0;
                    for (std::size_t j = 0; j < pieces.size(); ++j) {
                        const TRowPiece& p = pieces[j];
                        ASSERT_EQ(p.Begin, expectedBegin) << where;
                        ASSERT_LT(p.Begin, std::max<std::size_t>(p.End, 1)) << where;
                        expectedBegin = p.End;
                        // A cut is a character start of the text.
                        EXPECT_EQ(AdjustToCharStart(text, static_cast<std::int32_t>(p.End) + 1),
                                  static_cast<std::int32_t>(p.End) + 1)
                            << where;
                        const std::string row =
                            (j == 0 ? "" : hang) + text.substr(p.Begin, p.End - p.Begin);
                        const std::size_t prefix = j == 0 ? 0 : hang.size();
                        const bool lastRow = j + 1 == pieces.size();
                        if (lastRow) {
                            const std::int32_t b = BreakPos(row, rules, prefix);
                            EXPECT_TRUE(b == 0 || b == static_cast<std::int32_t>(row.size()) + 1)
                                << where;
                            continue;
                        }
                        // Within the margin, except a single character, a Tab at the margin or
                        // closing punctuation kept on the row.
                        const std::int32_t lastStart =
                            AdjustToCharStart(row, static_cast<std::int32_t>(row.size()));
                        const std::string lastChar =
                            row.substr(static_cast<std::size_t>(lastStart - 1));
                        const bool single = row.size() - prefix == lastChar.size();
                        const TCharSet banHead(s.BanHead());
                        const TCharSet banEnd(s.BanEnd());
                        const auto lastBytes = static_cast<std::int32_t>(lastChar.size());
                        const bool hanging =
                            lastChar == "\t" ||
                            (rules.BanBreak && banHead.Contains(lastChar.data(), lastBytes));
                        if (!single && !hanging) {
                            EXPECT_LE(RowWidth(row, tabs), wrap) << where;
                        }
                        // An opening bracket ends a row only when the one moved down after it
                        // was an opening bracket too (one adjustment per cut).
                        const std::string_view next = std::string_view(text).substr(p.End);
                        const std::int32_t nextBytes = CharBytesAt(next, 1);
                        if (rules.BanBreak && !single &&
                            banEnd.Contains(lastChar.data(), lastBytes)) {
                            EXPECT_TRUE(banEnd.Contains(next.data(), nextBytes))
                                << where << " row ends with an opening bracket";
                        }
                    }
                    EXPECT_EQ(expectedBegin, text.size()) << where;
                }
            }
        }
    }
}

TEST(WrapText, EmptyTextIsOneEmptyRow) {
    TWrapRules rules;
    rules.WrapColumns = 5;
    std::vector<TRowPiece> pieces;
    WrapText("", {}, "", rules, pieces);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].Begin, 0u);
    EXPECT_EQ(pieces[0].End, 0u);
}

}  // namespace
}  // namespace rekna
