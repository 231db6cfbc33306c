// Tests of caret movement by character, row, page and document, and of the view following it.
#include "editor_helpers.h"

#include <gtest/gtest.h>

#include <optional>

namespace rekna {
namespace {

using test::J;
using test::Lines;

class TCaretMovesTest : public ::testing::Test {
protected:
    void Load(std::string_view utf8, std::int32_t wrap = 0) {
        E.Strings().SetWrapColumns(wrap);
        test::LoadLines(E.Strings(), Lines(utf8));
        E.SetViewSize(10, 40);
    }
    void Caret(TSelPoint p) { Sel().SetCaret(E.Strings(), p, TSelMode::smNone); }
    [[nodiscard]] TUMemoSelection& Sel() { return E.Strings().Selection(); }

    TUMemoEditor E;
};

TEST_F(TCaretMovesTest, TargetsOfTheMovementKeys) {
    struct TCase {
        const char* Lines;
        std::int32_t Wrap;
        TSelPoint Caret;
        TCaretMove Move;
        bool IndentRules;
        std::optional<TSelPoint> Target;  // none: the key does nothing
    };
    using M = TCaretMove;
    const TCase cases[] = {
        {"ab\ncd", 0, {3, 0}, M::mvRight, false, TSelPoint{1, 1}},
        {"ab\ncd", 0, {3, 1}, M::mvRight, false, std::nullopt},
        {"ab\n  >cd", 0, {3, 0}, M::mvRight, true, TSelPoint{4, 1}},
        {"ab\n  >cd", 0, {3, 0}, M::mvRight, false, TSelPoint{1, 1}},
        {"あい", 0, {1, 0}, M::mvRight, false, TSelPoint{3, 0}},
        {"あい", 0, {5, 0}, M::mvLeft, false, TSelPoint{3, 0}},
        {"ab\ncd", 0, {1, 1}, M::mvLeft, false, TSelPoint{3, 0}},
        {"ab\n  >cd", 0, {4, 1}, M::mvLeft, true, TSelPoint{3, 0}},
        {"ab\n  >cd", 0, {4, 1}, M::mvLeft, false, TSelPoint{3, 1}},
        // Inside the indentation (where a click may put it) Left goes on by one character.
        {"ab\n  >cd", 0, {3, 1}, M::mvLeft, true, TSelPoint{2, 1}},
        {"ab", 0, {1, 0}, M::mvLeft, false, std::nullopt},
        // The end of a soft-wrapped row and the start of the next are one position.
        {"abcdefghijkl", 10, {1, 1}, M::mvLeft, false, TSelPoint{10, 0}},
        {"abcdefghijkl", 10, {11, 0}, M::mvRight, false, TSelPoint{1, 1}},
        // A continuation row starts behind its hanging-indent copy.
        {"    abcdefghij", 10, {5, 1}, M::mvLeft, false, TSelPoint{10, 0}},
        {"    abcdefghij", 10, {10, 0}, M::mvRight, false, TSelPoint{11, 0}},
        {"    abcdefghij", 10, {11, 0}, M::mvRight, false, TSelPoint{5, 1}},
        {"    abcdefghij", 10, {7, 1}, M::mvHome, false, TSelPoint{5, 1}},
        {"  >ab", 0, {6, 0}, M::mvHome, true, TSelPoint{4, 0}},
        {"  >ab", 0, {4, 0}, M::mvHome, true, std::nullopt},
        {"  >ab", 0, {2, 0}, M::mvHome, true, std::nullopt},
        {"  >ab", 0, {6, 0}, M::mvHome, false, TSelPoint{1, 0}},
        {"ab\nxyz", 0, {1, 1}, M::mvEnd, false, TSelPoint{4, 1}},
        {"ab\nxyz", 0, {2, 1}, M::mvDocStart, false, TSelPoint{1, 0}},
        {"ab\nxyz", 0, {2, 0}, M::mvDocEnd, false, TSelPoint{4, 1}},
        {"ab\nxyz", 0, {2, 0}, M::mvUp, false, std::nullopt},
        {"ab\nxyz", 0, {2, 1}, M::mvDown, false, std::nullopt},
        // Up and Down under the indent rules stay behind the indentation.
        {"  >x\nabcdef", 0, {2, 1}, M::mvUp, true, TSelPoint{4, 0}},
        {"  >x\nabcdef", 0, {2, 1}, M::mvUp, false, TSelPoint{2, 0}},
        // A column inside a double-byte character lands behind it.
        {"abcd\nあい", 0, {4, 0}, M::mvDown, false, TSelPoint{5, 1}},
    };
    for (const TCase& c : cases) {
        Load(c.Lines, c.Wrap);
        Caret(c.Caret);
        const TCaretTarget t = CaretTarget(E.Strings(), c.Move, c.IndentRules, 8);
        const std::string what = std::string(c.Lines) + " move " +
                                 std::to_string(static_cast<int>(c.Move)) + " from " +
                                 std::to_string(c.Caret.X) + "," + std::to_string(c.Caret.Y);
        ASSERT_EQ(t.Moved, c.Target.has_value()) << what;
        if (c.Target) {
            EXPECT_EQ(t.Point, *c.Target) << what;
        }
    }
}

TEST_F(TCaretMovesTest, VerticalMovesKeepTheRememberedColumn) {
    for (const std::int32_t wrap : {0, 10}) {
        Load("abcdef\nab\nabcdef", wrap);
        Caret({6, 0});
        E.MoveCaret(TCaretMove::mvDown, TSelMode::smNone, false);
        EXPECT_EQ(Sel().Caret, (TSelPoint{3, 1}));
        E.MoveCaret(TCaretMove::mvDown, TSelMode::smNone, false);
        EXPECT_EQ(Sel().Caret, (TSelPoint{6, 2})) << wrap;
        // A sideways move takes the column it lands on.
        E.MoveCaret(TCaretMove::mvLeft, TSelMode::smNone, false);
        E.MoveCaret(TCaretMove::mvUp, TSelMode::smNone, false);
        EXPECT_EQ(Sel().Caret, (TSelPoint{3, 1}));
        E.MoveCaret(TCaretMove::mvUp, TSelMode::smNone, false);
        EXPECT_EQ(Sel().Caret, (TSelPoint{5, 0}));
    }
}

TEST_F(TCaretMovesTest, ShiftExtendsAStreamAndShiftCtrlABox) {
    Load("abcd\nefgh\nijkl");
    Caret({2, 0});
    E.MoveCaret(TCaretMove::mvRight, TSelMode::smStream, false);
    E.MoveCaret(TCaretMove::mvDown, TSelMode::smStream, false);
    EXPECT_EQ(Sel().Mode, TSelMode::smStream);
    EXPECT_EQ(Sel().Anchor, (TSelPoint{2, 0}));
    EXPECT_EQ(E.GetSelText(false), "bcd\r\nef");
    // A plain move drops the selection.
    E.MoveCaret(TCaretMove::mvRight, TSelMode::smNone, false);
    EXPECT_EQ(Sel().Mode, TSelMode::smNone);
    // Shift+Ctrl+Down twice without a sideways move: the multi-row caret.
    Caret({2, 0});
    E.MoveCaret(TCaretMove::mvDown, TSelMode::smBox, true);
    E.MoveCaret(TCaretMove::mvDown, TSelMode::smBox, true);
    EXPECT_EQ(Sel().Mode, TSelMode::smBox);
    EXPECT_FALSE(Sel().HasSelection(E.Strings()));
    E.InsertAtCaret("x");
    EXPECT_EQ(test::Dump(E.Strings()), "axbcd|exfgh|ixjkl");
}

TEST_F(TCaretMovesTest, PageMovesTakeTheViewAlong) {
    std::string text = "row 0";
    for (int i = 1; i < 40; ++i)
        text += "\nrow " + std::to_string(i);
    Load(text);
    // Ten rows, margins 1 and 1: a page is eight rows.
    EXPECT_EQ(E.PageStep(), 8);
    Caret({3, 2});
    E.MoveCaret(TCaretMove::mvPageDown, TSelMode::smNone, false);
    EXPECT_EQ(Sel().Caret, (TSelPoint{3, 10}));
    EXPECT_EQ(E.Strings().TopRow(), 8);
    E.MoveCaret(TCaretMove::mvPageDown, TSelMode::smStream, false);
    EXPECT_EQ(Sel().Caret.Y, 18);
    EXPECT_EQ(E.GetSelText(false).substr(0, 3), "w 1");
    E.MoveCaret(TCaretMove::mvPageUp, TSelMode::smNone, false);
    E.MoveCaret(TCaretMove::mvPageUp, TSelMode::smNone, false);
    E.MoveCaret(TCaretMove::mvPageUp, TSelMode::smNone, false);
    EXPECT_EQ(Sel().Caret, (TSelPoint{3, 0}));
    EXPECT_EQ(E.Strings().TopRow(), 0);
    E.MoveCaret(TCaretMove::mvDocEnd, TSelMode::smNone, false);
    EXPECT_EQ(Sel().Caret, (TSelPoint{7, 39}));
    // The caret keeps one row to the bottom edge.
    EXPECT_EQ(E.Strings().TopRow(), 39 - 8);
}

TEST_F(TCaretMovesTest, MovesEndTheTypingRun) {
    Load("ab");
    Caret({3, 0});
    E.InsertAtCaret("x");
    EXPECT_TRUE(E.TypingRun());
    E.MoveCaret(TCaretMove::mvLeft, TSelMode::smNone, false);
    EXPECT_FALSE(E.TypingRun());
    E.InsertAtCaret("y");
    E.ScrollRows(1);
    EXPECT_FALSE(E.TypingRun());
}

TEST(CaretScrollOriginTest, TheCaretStaysInsideTheMargins) {
    struct TCase {
        TViewOrigin Now;
        std::int32_t Row;
        std::int32_t Column;
        TViewPage Page;
        TViewOrigin Expected;
    };
    const TScrollMargins margins;  // 4, 1, 4, 1
    const TViewPage page{10, 20, 100, 200};
    const TCase cases[] = {
        {{0, 1}, 5, 5, page, {0, 1}},
        // Leaving upward: the margin's row above the caret.
        {{10, 1}, 5, 5, page, {4, 1}},
        // Leaving downward: the margin's row below it.
        {{0, 1}, 30, 5, page, {22, 1}},
        // One row at the edge scrolls by one row.
        {{0, 1}, 9, 5, page, {1, 1}},
        {{5, 1}, 5, 5, page, {4, 1}},
        // Sideways with four columns to spare.
        {{0, 1}, 0, 30, page, {0, 15}},
        {{0, 20}, 0, 22, page, {0, 18}},
        {{0, 20}, 0, 1, page, {0, 1}},
        // The scrollable extent limits the view, but never hides the caret.
        {{0, 1}, 0, 30, TViewPage{10, 20, 100, 5}, {0, 11}},
        {{0, 1}, 50, 1, TViewPage{10, 20, 40, 1}, {41, 1}},
        // A page of one row keeps no margins.
        {{0, 1}, 7, 1, TViewPage{1, 1, 100, 100}, {7, 1}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(CaretScrollOrigin(c.Now, c.Row, c.Column, c.Page, margins), c.Expected)
            << c.Row << "," << c.Column << " from " << c.Now.TopRow << "," << c.Now.LeftCol;
    }
}

}  // namespace
}  // namespace rekna
