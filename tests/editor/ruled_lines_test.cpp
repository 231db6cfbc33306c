// Tests of ruled-line drawing with Alt+arrow keys: the characters chosen, cells written over
// double-byte characters and Tabs, and the caret's walk.
#include "editor_helpers.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using test::J;
using test::Lines;
using test::U;

TEST(RuleCharTest, DrawingCrossesAndErasingLeavesTheCrossingLine) {
    struct TCase {
        TRuleNeighbours N;  // current, above, below, left, right
        bool Horizontal;
        bool Draw;
        char Expected;
    };
    const TCase cases[] = {
        {{' ', ' ', ' ', ' ', ' '}, true, true, '-'},
        {{' ', '|', ' ', ' ', ' '}, true, true, '+'},
        {{' ', ' ', '+', ' ', ' '}, true, true, '+'},
        {{' ', '-', '-', ' ', ' '}, true, true, '-'},
        {{' ', ' ', ' ', ' ', ' '}, false, true, '|'},
        {{' ', ' ', ' ', '-', ' '}, false, true, '+'},
        {{' ', ' ', ' ', ' ', '+'}, false, true, '+'},
        {{' ', ' ', ' ', '|', '|'}, false, true, '|'},
        // Erasing a horizontal move.
        {{'+', '|', '+', ' ', ' '}, true, false, '|'},
        {{'+', '|', ' ', ' ', ' '}, true, false, ' '},
        {{'|', ' ', ' ', ' ', ' '}, true, false, '|'},
        {{'-', ' ', ' ', ' ', ' '}, true, false, ' '},
        {{'x', ' ', ' ', ' ', ' '}, true, false, ' '},
        // Erasing a vertical move.
        {{'+', ' ', ' ', '-', '+'}, false, false, '-'},
        {{'+', ' ', ' ', '-', ' '}, false, false, ' '},
        {{'-', ' ', ' ', ' ', ' '}, false, false, '-'},
        {{'|', ' ', ' ', ' ', ' '}, false, false, ' '},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(RuleChar(c.N, c.Horizontal, c.Draw), c.Expected)
            << "current '" << c.N.Current << "' h " << c.Horizontal << " draw " << c.Draw;
    }
}

TEST(WriteCellTest, ShortRowsDoubleByteCharactersAndTabs) {
    struct TCase {
        const char* Row;
        std::int32_t Column;
        char Ch;
        const char* Expected;
    };
    const TCase cases[] = {
        {"", 3, '-', "  -"},
        {"abc", 2, '|', "a|c"},
        {"abc", 4, '+', "abc+"},
        {"あい", 1, '-', "- い"},
        {"あい", 2, '-', " -い"},
        {"あい", 4, '|', "あ |"},
        // The Tab (columns 1 to 8) becomes spaces up to the cell; behind it a Tab still reaches 9.
        {"\tx", 3, '+', "  +\tx"},
        {"\tx", 8, '+', "       +x"},
        {"\tx", 1, '|', "|\tx"},
        {"ab\tx", 9, '-', "ab\t-"},
    };
    for (const TCase& c : cases) {
        const std::string out = WriteCell(J(c.Row), c.Column, c.Ch, 8);
        EXPECT_EQ(U(out), c.Expected) << c.Row << " at " << c.Column;
        if (std::string_view(c.Row).find('\t') != std::string_view::npos) {
            // What followed the cell stays in its column.
            EXPECT_EQ(ColumnOfPos(out, static_cast<std::int32_t>(out.size()), 8, 0),
                      ColumnOfPos(J(c.Row), static_cast<std::int32_t>(J(c.Row).size()), 8, 0))
                << c.Row << " at " << c.Column;
        }
    }
    EXPECT_EQ(CellChar(J("aあ|\t"), 2, 8), ' ');
    EXPECT_EQ(CellChar(J("aあ|\t"), 4, 8), '|');
    EXPECT_EQ(CellChar(J("aあ|\t"), 6, 8), ' ');
    EXPECT_EQ(CellChar("a", 0, 8), ' ');
}

class TRuledTest : public ::testing::Test {
protected:
    void Load(std::string_view utf8) { test::LoadLines(E.Strings(), Lines(utf8)); }
    void Caret(TSelPoint p) { E.Strings().Selection().SetCaret(E.Strings(), p, TSelMode::smNone); }
    void Rule(TRuleDirection d, int times, bool draw = true) {
        for (int i = 0; i < times; ++i)
            E.KeyDown(d == TRuleDirection::rdLeft    ? TKey::kyLeft
                      : d == TRuleDirection::rdRight ? TKey::kyRight
                      : d == TRuleDirection::rdUp    ? TKey::kyUp
                                                     : TKey::kyDown,
                      {!draw, false, true});
    }
    [[nodiscard]] std::string Rows() const { return test::Dump(E.Strings()); }
    [[nodiscard]] TSelPoint CaretAt() { return E.Strings().Selection().Caret; }

    TUMemoEditor E;
};

TEST_F(TRuledTest, AltRightThreeTimesDrawsALineAndTheCellTheCaretEndsOn) {
    Load("");
    Rule(TRuleDirection::rdRight, 3);
    EXPECT_EQ(Rows(), "----");
    EXPECT_EQ(CaretAt(), (TSelPoint{4, 0}));
    // Each key is one undo step.
    ASSERT_TRUE(E.Undo());
    EXPECT_EQ(Rows(), "---");
    EXPECT_TRUE(E.Strings().AutoIndent());
}

TEST_F(TRuledTest, AltDownAcrossALineWritesACrossing) {
    Load("  \n----");
    Caret({3, 0});
    Rule(TRuleDirection::rdDown, 2);
    EXPECT_EQ(Rows(), "  ||--+-|  |");
    EXPECT_EQ(CaretAt(), (TSelPoint{3, 2}));
    // Moving down from the last row adds a row.
    Rule(TRuleDirection::rdDown, 1);
    EXPECT_EQ(Rows(), "  ||--+-|  ||  |");
}

TEST_F(TRuledTest, ErasingAlongALineKeepsTheLineThatCrossesIt) {
    Load("  |\n--+--\n  |");
    Caret({1, 1});
    Rule(TRuleDirection::rdRight, 4, false);
    EXPECT_EQ(Rows(), "  ||  |  |  |");
    EXPECT_EQ(CaretAt(), (TSelPoint{5, 1}));
}

TEST_F(TRuledTest, LeftAndUpStopAtTheEdges) {
    Load("ab");
    Caret({3, 0});
    // At the row end a move to the left does not write the caret's cell.
    Rule(TRuleDirection::rdLeft, 1);
    EXPECT_EQ(Rows(), "a-");
    EXPECT_EQ(CaretAt(), (TSelPoint{2, 0}));
    Rule(TRuleDirection::rdLeft, 2);
    EXPECT_EQ(Rows(), "--");
    EXPECT_EQ(CaretAt(), (TSelPoint{1, 0}));
    // Nothing lies above row 0: only the caret's own cell is drawn.
    Rule(TRuleDirection::rdUp, 1);
    EXPECT_EQ(Rows(), "+-");
    EXPECT_EQ(CaretAt(), (TSelPoint{1, 0}));
}

TEST_F(TRuledTest, ACrossingThroughJapaneseText) {
    Load("あいう\nかきく");
    Caret({3, 0});
    Rule(TRuleDirection::rdDown, 1);
    EXPECT_EQ(Rows(), "あ| う|か| く");
}

}  // namespace
}  // namespace rekna
