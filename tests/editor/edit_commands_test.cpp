// Tests of typing and the editing keys at the caret, over selections and on every row of the
// multi-row caret, and of Tab and Shift+Tab on selected rows.
#include "editor_helpers.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using test::J;
using test::Lines;
using test::Text;

class TEditCommandsTest : public ::testing::Test {
protected:
    void Load(std::string_view utf8, std::int32_t wrap = 0) {
        E.Strings().SetWrapColumns(wrap);
        test::LoadLines(E.Strings(), Lines(utf8));
    }
    void Caret(std::int32_t x, std::int32_t y) {
        E.Strings().Selection().SetCaret(E.Strings(), {x, y}, TSelMode::smNone);
    }
    void Box(std::int32_t column, std::int32_t top, std::int32_t bottom) {
        E.Strings().Selection().SelectBox(E.Strings(), {column, top}, {column, bottom});
    }
    [[nodiscard]] TUMemoSelection& Sel() { return E.Strings().Selection(); }
    [[nodiscard]] std::string Rows() const { return test::Dump(E.Strings()); }

    TUMemoEditor E;
};

TEST_F(TEditCommandsTest, EnterCopiesTheIndentationExceptOnRowZeroAndWithShift) {
    struct TCase {
        const char* Lines;
        TSelPoint Caret;
        bool Shift;
        const char* Rows;
        TSelPoint After;
    };
    const TCase cases[] = {
        {"x\n  >ab", {6, 1}, false, "x|  >ab|  >", {4, 2}},
        {"x\n  >ab", {6, 1}, true, "x|  >ab|", {1, 2}},
        {"  >ab", {6, 0}, false, "  >ab|", {1, 1}},
        {"x\n  >ab", {4, 1}, false, "x|  >|  >ab", {4, 2}},
        // At the indentation: a row with the indentation before the caret goes in above.
        {"x\n    ab", {3, 1}, false, "x|  |    ab", {3, 2}},
        {"ab", {1, 0}, false, "|ab", {1, 1}},
    };
    for (const auto& c : cases) {
        Load(c.Lines);
        Caret(c.Caret.X, c.Caret.Y);
        E.NewLine(c.Shift);
        EXPECT_EQ(Rows(), c.Rows) << c.Lines << " at " << c.Caret.X;
        EXPECT_EQ(Sel().Caret, c.After) << c.Lines << " at " << c.Caret.X;
    }
}

TEST_F(TEditCommandsTest, EnterAtASoftBreakMakesItHard) {
    Load("    abcdefgh", 10);
    ASSERT_EQ(Rows(), "    abcdef~    gh");
    // At the start of the continuation row: the copy of the indentation becomes text.
    Caret(5, 1);
    E.NewLine(false);
    EXPECT_EQ(Text(E.Strings()), "    abcdef\n    gh");
    EXPECT_EQ(Sel().Caret, (TSelPoint{5, 1}));
    ASSERT_TRUE(E.Undo());
    // At the end of the continued row: the same, the caret behind the indentation below.
    Caret(11, 0);
    E.NewLine(false);
    EXPECT_EQ(Text(E.Strings()), "    abcdef\n    gh");
    EXPECT_EQ(Sel().Caret, (TSelPoint{5, 1}));
}

TEST_F(TEditCommandsTest, BackspaceReturnsToTheIndentationAbove) {
    Load("    four\n        eight");
    Caret(9, 1);
    E.BackSpace(false);
    EXPECT_EQ(Text(E.Strings()), "    four\n    eight");
    EXPECT_EQ(Sel().Caret, (TSelPoint{5, 1}));
    E.BackSpace(true);
    EXPECT_EQ(Text(E.Strings()), "    four\n   eight");
    // At the start of a row: the rows join.
    Caret(1, 1);
    E.BackSpace(false);
    EXPECT_EQ(Text(E.Strings()), "    four   eight");
    EXPECT_EQ(Sel().Caret, (TSelPoint{9, 0}));
    // A double-byte character goes whole.
    Load("aあ");
    Caret(4, 0);
    E.BackSpace(false);
    EXPECT_EQ(Text(E.Strings()), "a");
}

TEST_F(TEditCommandsTest, BackspaceAndDeleteAtASoftBreak) {
    Load("    abcdefgh", 10);
    Caret(5, 1);
    E.BackSpace(false);
    EXPECT_EQ(Text(E.Strings()), "    abcdegh");
    EXPECT_EQ(E.Strings().CheckRows(true), "");
    Load("    abcdefgh", 10);
    Caret(11, 0);
    E.DeleteChar(false);
    EXPECT_EQ(Text(E.Strings()), "    abcdefh") << "the copy of the indentation is not text";
}

TEST_F(TEditCommandsTest, DeleteJoinsAndCuts) {
    Load("abc\n    def");
    Caret(4, 0);
    E.DeleteChar(false);
    EXPECT_EQ(Text(E.Strings()), "abcdef") << "the joined row loses its indentation";
    Load("abc\n    def");
    E.Strings().SetAutoIndent(false);
    Caret(4, 0);
    E.DeleteChar(false);
    EXPECT_EQ(Text(E.Strings()), "abc    def");
    Caret(3, 0);
    E.DeleteChar(true);
    EXPECT_EQ(Text(E.Strings()), "ab");
    Caret(3, 0);
    E.DeleteChar(false);
    EXPECT_EQ(Text(E.Strings()), "ab") << "nothing after the last row";
}

TEST_F(TEditCommandsTest, AutomaticBracketsAndOverwrite) {
    E.Strings().SetAutoKakko(true);
    Load("word x");
    Caret(7, 0);
    E.InsertAtCaret("(");
    EXPECT_EQ(Text(E.Strings()), "word x()");
    EXPECT_EQ(Sel().Caret.X, 8);
    Sel().SelectStream(E.Strings(), {1, 0}, {5, 0});
    E.InsertAtCaret("(");
    EXPECT_EQ(Text(E.Strings()), "(word) x()");
    EXPECT_EQ(Sel().Caret.X, 7);
    Caret(2, 0);
    E.EndTypingRun();
    E.InsertAtCaret("[");
    EXPECT_EQ(Text(E.Strings()), "([word) x()") << "inside a row only while typing";

    Load("あい");
    E.SetInsertMode(false);
    Caret(1, 0);
    E.InsertAtCaret("a");
    EXPECT_EQ(Text(E.Strings()), "a い");
    EXPECT_EQ(Sel().Caret.X, 2);
    E.InsertAtCaret("bcd");
    EXPECT_EQ(Text(E.Strings()), "abcd");
}

TEST_F(TEditCommandsTest, TypingReplacesSelections) {
    Load("one\ntwo\nthree\nfour");
    Sel().SelectRows(E.Strings(), 1, 2);
    E.InsertAtCaret("x");
    EXPECT_EQ(Rows(), "one|x|four");
    Sel().SelectStream(E.Strings(), {2, 0}, {2, 2});
    E.InsertAtCaret("y");
    EXPECT_EQ(Rows(), "oyour");
    EXPECT_EQ(Sel().Caret, (TSelPoint{3, 0}));
    E.InsertAtCaret("a\r\nb");
    EXPECT_EQ(Rows(), "oya|bour") << "a line break makes it a paste";
}

// Rows of mixed widths with double-byte characters that straddle the box column.
TEST_F(TEditCommandsTest, TypingIntoTheMultiRowCaret) {
    Load("abcdef\nあいう\nab\na\nabcdef");
    Box(3, 0, 4);
    E.InsertAtCaret("X");
    EXPECT_EQ(Text(E.Strings()), "abXcdef\nあXいう\nabX\na X\nabXcdef");
    EXPECT_EQ(Sel().Mode, TSelMode::smBox);
    EXPECT_EQ(Sel().BoxLeft(E.Strings()), 4);
    EXPECT_EQ(Sel().BoxRight(E.Strings()), 4);

    Load("abcdef\nあいう\nab\na\nabcdef");
    Box(3, 0, 4);
    E.SetInsertMode(false);
    E.InsertAtCaret("Y");
    EXPECT_EQ(Text(E.Strings()), "abYdef\nあYう\nabY\na\nabYdef")
        << "overwriting skips rows that do not reach the box";
}

TEST_F(TEditCommandsTest, BackspaceDeleteAndTabOnTheMultiRowCaret) {
    Load("aあb\nabcd\nab\nabcd");
    E.Strings().Selection().SelectBox(E.Strings(), {4, 3}, {4, 0});
    E.BackSpace(false);
    EXPECT_EQ(Text(E.Strings()), "ab\nabd\nab\nabd");
    EXPECT_EQ(Sel().Mode, TSelMode::smBox);
    EXPECT_EQ(Sel().BoxLeft(E.Strings()), 2) << "the caret row lost two columns";

    Load("abcd\nab\naあb\na");
    Box(2, 0, 2);
    E.DeleteChar(false);
    EXPECT_EQ(Text(E.Strings()), "acd\na\nab\na");
    EXPECT_EQ(Sel().BoxLeft(E.Strings()), 2);
    EXPECT_EQ(Sel().BoxRight(E.Strings()), 2);

    Load("ab\ncd");
    Box(2, 0, 1);
    E.TabKey(false);
    EXPECT_EQ(Text(E.Strings()), "a\tb\nc\td");
}

TEST_F(TEditCommandsTest, EnterSplitsEveryRowOfTheMultiRowCaret) {
    Load("abcd\nefgh");
    Box(3, 0, 1);
    E.NewLine(false);
    EXPECT_EQ(Rows(), "ab|cd|ef|gh");
    EXPECT_EQ(Sel().Mode, TSelMode::smNone);
    EXPECT_EQ(Sel().Caret, (TSelPoint{1, 3}));

    Load("  abcd\n  efgh");
    Box(5, 0, 1);
    E.NewLine(false);
    EXPECT_EQ(Rows(), "  ab|cd|  ef|  gh") << "row 0 never copies its indentation";
    EXPECT_EQ(Sel().Caret, (TSelPoint{3, 3}));
    ASSERT_TRUE(E.Undo());
    EXPECT_EQ(Rows(), "  abcd|  efgh");
    EXPECT_EQ(Sel().Mode, TSelMode::smBox);
}

TEST_F(TEditCommandsTest, TabIndentsAtTheAnchorColumn) {
    Load("abcdefgh\nabcdefgh\nab\n   \nabcdefgh");
    Sel().SelectStream(E.Strings(), {5, 0}, {3, 4});
    E.TabKey(false);
    EXPECT_EQ(Text(E.Strings()), "abcd efgh\nabcd efgh\nab\n   \nabcd efgh");
    EXPECT_EQ(Sel().Anchor, (TSelPoint{6, 0}));
    EXPECT_EQ(Sel().Caret, (TSelPoint{3, 4}));

    // Inside a double-byte character: a space and the indent go in front of it.
    Load("abcd\nあいう");
    Sel().SelectStream(E.Strings(), {2, 0}, {7, 1});
    E.TabKey(false);
    EXPECT_EQ(Text(E.Strings()), "a bcd\n  あいう");

    Load("x\ny");
    Sel().SelectRows(E.Strings(), 0, 1);
    E.SetTabIndentChar(TTabIndentChar::tcTab);
    E.TabKey(false);
    EXPECT_EQ(Text(E.Strings()), "\tx\n\ty");
}

TEST_F(TEditCommandsTest, ShiftTabRemovesOneIndentCharacter) {
    Load(">data\n#func\n　wide\nplain\n\tTab");
    Sel().SelectRows(E.Strings(), 0, 4);
    E.TabKey(true);
    EXPECT_EQ(Text(E.Strings()), "data\nfunc\nwide\nplain\nTab");
    Load("ab  cd\nab>cd");
    Sel().SelectStream(E.Strings(), {4, 0}, {5, 1});
    E.TabKey(true);
    EXPECT_EQ(Text(E.Strings()), "ab cd\nabcd");
    EXPECT_EQ(Sel().Anchor, (TSelPoint{3, 0}));
    EXPECT_EQ(Sel().Caret, (TSelPoint{4, 1}));
}

// The rows after a soft break begin with a copy of the line's indentation that the re-wrap renews:
// indenting them would put text into the middle of the line.
TEST_F(TEditCommandsTest, IndentingAWrappedLineIndentsTheLine) {
    Load("  aaaa bbbb cccc dddd\nnext", 10);
    ASSERT_EQ(Rows(), "  aaaa bbb~  b cccc d~  ddd|next");
    Sel().SelectRows(E.Strings(), 0, 3);
    E.TabKey(false);
    EXPECT_EQ(Text(E.Strings()), "   aaaa bbbb cccc dddd\n next");
    EXPECT_EQ(E.Strings().CheckRows(true), "");
    E.TabKey(true);
    E.TabKey(true);
    EXPECT_EQ(Text(E.Strings()), " aaaa bbbb cccc dddd\nnext");
    EXPECT_EQ(E.Strings().CheckRows(true), "");
}

}  // namespace
}  // namespace rekna
