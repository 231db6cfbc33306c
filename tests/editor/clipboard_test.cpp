// Tests of the selection object, of the text taken out of each selection mode, and of the
// clipboard commands: copy, formatted copy, cut, paste, box paste, quoted and calc paste.
#include "editor_helpers.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using test::J;
using test::Lines;
using test::Text;
using test::U;

TEST(UMemoSelection, QueriesAndNormalisation) {
    TUMemoStrings s;
    test::LoadLines(s, Lines("abcdef\nあいう\nabcdef"));
    TUMemoSelection& sel = s.Selection();
    struct TCase {
        const char* Name;
        TSelMode Mode;
        TSelPoint Anchor;
        TSelPoint Caret;
        TSelMode NormalMode;
        TSelPoint NormalCaret;
        bool Has;
        std::int32_t Rows;
        std::int32_t Left;
        std::int32_t Right;
    };
    const TCase cases[] = {
        {"stream", TSelMode::smStream, {2, 0}, {3, 1}, TSelMode::smStream, {3, 1}, true, 2, 2, 3},
        {"second byte",
         TSelMode::smStream,
         {2, 0},
         {4, 1},
         TSelMode::smStream,
         {3, 1},
         true,
         2,
         2,
         3},
        {"stream of nothing",
         TSelMode::smStream,
         {3, 1},
         {3, 1},
         TSelMode::smNone,
         {3, 1},
         false,
         0,
         3,
         3},
        {"clamped", TSelMode::smNone, {1, 0}, {99, 9}, TSelMode::smNone, {7, 2}, false, 0, 7, 7},
        {"multi-row caret",
         TSelMode::smBox,
         {3, 0},
         {3, 2},
         TSelMode::smBox,
         {3, 2},
         false,
         0,
         3,
         3},
        {"box", TSelMode::smBox, {5, 0}, {3, 1}, TSelMode::smBox, {3, 1}, true, 2, 3, 5},
        {"rows", TSelMode::smLine, {1, 2}, {1, 0}, TSelMode::smLine, {1, 0}, true, 3, 1, 1},
    };
    for (const auto& c : cases) {
        sel.Mode = c.Mode;
        sel.Anchor = c.Anchor;
        sel.Caret = c.Caret;
        sel.Normalize(s);
        EXPECT_EQ(sel.Mode, c.NormalMode) << c.Name;
        EXPECT_EQ(sel.Caret, c.NormalCaret) << c.Name;
        EXPECT_EQ(sel.HasSelection(s), c.Has) << c.Name;
        EXPECT_EQ(sel.SelectedRowCount(s), c.Rows) << c.Name;
        EXPECT_EQ(sel.BoxLeft(s), c.Left) << c.Name;
        EXPECT_EQ(sel.BoxRight(s), c.Right) << c.Name;
        EXPECT_EQ(sel.RememberedColumn, sel.CaretColumn(s)) << c.Name;
    }

    // Which cells are selected in each mode.
    sel.SelectBox(s, {2, 0}, {4, 2});
    EXPECT_TRUE(sel.IsSelected(s, {2, 0}));
    EXPECT_FALSE(sel.IsSelected(s, {4, 0}));
    EXPECT_TRUE(sel.IsSelected(s, {3, 1})) << J("い covers columns 3 and 4");
    EXPECT_FALSE(sel.IsSelected(s, {1, 1}));
    sel.SelectStream(s, {5, 0}, {3, 1});
    EXPECT_TRUE(sel.IsSelected(s, {7, 0}));
    EXPECT_TRUE(sel.IsSelected(s, {1, 1}));
    EXPECT_FALSE(sel.IsSelected(s, {3, 1}));
    EXPECT_EQ(TUMemoSelection::ModeForShift(true, true), TSelMode::smBox);
    EXPECT_EQ(TUMemoSelection::ModeForShift(true, false), TSelMode::smStream);
    EXPECT_EQ(TUMemoSelection::ModeForShift(false, true), TSelMode::smNone);

    // Vertical moves keep the remembered column.
    sel.SetCaret(s, {6, 0}, TSelMode::smNone);
    EXPECT_EQ(sel.RememberedColumn, 6);
    sel.SetCaretOnly(s, {3, 2}, true);
    EXPECT_EQ(sel.RememberedColumn, 6);
}

struct TCopyCase {
    const char* Name;
    const char* Lines;
    std::int32_t Wrap;
    TSelMode Mode;
    TSelPoint Anchor;  // a box takes (column, row)
    TSelPoint Caret;
    bool Raw;
    const char* Expected;  // LF stands for CR LF
};

TEST(SelectionText, EachModeTakesItsText) {
    const TCopyCase cases[] = {
        {"soft-broken rows join again",
         "abcd\nef",
         2,
         TSelMode::smLine,
         {1, 0},
         {1, 1},
         false,
         "abcd\n"},
        {"formatted copy keeps the rows",
         "abcd\nef",
         2,
         TSelMode::smLine,
         {1, 0},
         {1, 1},
         true,
         "ab\ncd\n"},
        {"the last row has no line end",
         "ab\ncd",
         0,
         TSelMode::smLine,
         {1, 0},
         {1, 1},
         false,
         "ab\ncd"},
        {"a short row gives only its line break",
         "abcdef\nab\nabcdef",
         0,
         TSelMode::smBox,
         {3, 0},
         {5, 2},
         false,
         "cd\n\ncd\n"},
        {"box edges over double-byte characters",
         "abcdef\nあいう\nabcdef",
         0,
         TSelMode::smBox,
         {2, 0},
         {4, 2},
         false,
         "bc\nい\nbc\n"},
        {"leading indentation is not selected",
         "    abc",
         0,
         TSelMode::smStream,
         {1, 0},
         {8, 0},
         false,
         "abc"},
        {"nor on the rows after the first",
         "  ab\n  cd",
         0,
         TSelMode::smStream,
         {1, 0},
         {5, 1},
         false,
         "ab\ncd"},
        // Rows "    aaaa b", "      cc d", "    d": the second row's text begins with two
        // spaces behind its four-space copy of the hanging indent.
        {"a hanging indent copy is never text",
         "    aaaa b  cc dd",
         10,
         TSelMode::smStream,
         {5, 0},
         {6, 2},
         false,
         "aaaa b  cc dd"},
        {"formatted copy of wrapped rows",
         "    aaaa b  cc dd",
         10,
         TSelMode::smStream,
         {5, 0},
         {5, 1},
         true,
         "aaaa b\n    "},
        {"stream within a row",
         "hello world",
         0,
         TSelMode::smStream,
         {9, 0},
         {3, 0},
         false,
         "llo wo"},
    };
    for (const auto& c : cases) {
        TUMemoStrings s;
        s.SetWrapColumns(c.Wrap);
        test::LoadLines(s, Lines(c.Lines));
        TUMemoSelection& sel = s.Selection();
        if (c.Mode == TSelMode::smBox) {
            sel.SelectBox(s, c.Anchor, c.Caret);
        } else {
            sel.Mode = c.Mode;
            sel.Anchor = c.Anchor;
            sel.Caret = c.Caret;
            sel.Normalize(s);
        }
        EXPECT_EQ(s.GetSelText(c.Raw), Lines(c.Expected)) << c.Name << ": " << test::Dump(s);
    }
}

TEST(SelectionText, IndentationIsTakenWhenTheRuleIsOff) {
    TUMemoStrings s;
    TAutoIndentTypes types;
    types.Exclude(TAutoIndentType::atSelect);
    s.SetAutoIndentTypes(types);
    test::LoadLines(s, "    abc");
    s.Selection().SelectStream(s, {1, 0}, {8, 0});
    EXPECT_EQ(s.GetSelText(false), "    abc");
}

class TClipboardTest : public ::testing::Test {
protected:
    void Load(std::string_view utf8, std::int32_t wrap = 0) {
        E.Strings().SetWrapColumns(wrap);
        test::LoadLines(E.Strings(), Lines(utf8));
        E.SetClipboard(&Clipboard);
    }
    // The clipboard's text in UTF-8 with LF line ends.
    [[nodiscard]] std::string Clip() const {
        std::string out;
        for (char c : U(Clipboard.GetText().value_or("<none>")))
            if (c != '\r') out += c;
        return out;
    }
    void Box(std::int32_t c1, std::int32_t r1, std::int32_t c2, std::int32_t r2) {
        E.Strings().Selection().SelectBox(E.Strings(), {c1, r1}, {c2, r2});
    }
    [[nodiscard]] TUMemoSelection& Sel() { return E.Strings().Selection(); }

    TUMemoEditor E;
    TMemoryClipboard Clipboard;
};

TEST_F(TClipboardTest, ZeroWidthBoxTakesOneLineIntoEveryRow) {
    Load("abcdef\na\nabcdefgh");
    Box(4, 0, 4, 2);
    Clipboard.SetText("xy");
    E.Paste();
    EXPECT_EQ(Text(E.Strings()), "abcxydef\na  xy\nabcxydefgh");
    EXPECT_EQ(Sel().Mode, TSelMode::smBox);
    EXPECT_EQ(Sel().BoxLeft(E.Strings()), 6);
    EXPECT_EQ(Sel().BoxRight(E.Strings()), 6);
    EXPECT_EQ(Sel().BoxTop(), 0);
    EXPECT_EQ(Sel().BoxBottom(), 2);
}

TEST_F(TClipboardTest, LinesAreUsedInTurnOverTheRowsOfTheBox) {
    Load("aa\naa\naa\naa\naa");
    Box(2, 0, 2, 4);
    Clipboard.SetText(Lines("1\n2\n3\n"));
    E.Paste();
    EXPECT_EQ(Text(E.Strings()), "a1a\na2a\na3a\na1a\na2a");
}

TEST_F(TClipboardTest, CuttingABoxLeavesTheMultiRowCaret) {
    Load("abcdef\nabcdef\nab");
    Box(2, 0, 4, 1);
    E.Cut();
    EXPECT_EQ(Clip(), "bc\nbc\n");
    EXPECT_EQ(Text(E.Strings()), "adef\nadef\nab");
    EXPECT_EQ(Sel().Mode, TSelMode::smBox);
    EXPECT_EQ(Sel().BoxLeft(E.Strings()), 2);
    EXPECT_EQ(Sel().BoxRight(E.Strings()), 2);
    E.InsertAtCaret("a");
    EXPECT_EQ(Text(E.Strings()), "aadef\naadef\nab");
    EXPECT_EQ(Sel().BoxLeft(E.Strings()), 3);
    // Copying the caret would only put line breaks on the clipboard.
    E.Copy(false);
    EXPECT_EQ(Clip(), "bc\nbc\n");
}

// On the caret's row the left column falls inside "あ" after the cut: the multi-row caret goes to
// the next column both end rows hold, so the next keystroke deletes nothing.
TEST_F(TClipboardTest, TheMultiRowCaretNeverStraddlesACharacter) {
    Load("abcdef\naあbcd");
    Box(3, 0, 5, 1);
    E.Cut();
    EXPECT_EQ(Clip(), "cd\nb\n");
    EXPECT_EQ(Text(E.Strings()), "abef\naあcd");
    EXPECT_EQ(Sel().Mode, TSelMode::smBox);
    EXPECT_EQ(Sel().BoxLeft(E.Strings()), 4);
    EXPECT_EQ(Sel().BoxRight(E.Strings()), 4);
    E.InsertAtCaret("x");
    EXPECT_EQ(Text(E.Strings()), "abexf\naあxcd");
}

TEST_F(TClipboardTest, DeletingRowsNeverEmptiesTheStore) {
    struct TCase {
        const char* Lines;
        std::int32_t From;
        std::int32_t To;
        const char* Expected;
        TSelPoint Caret;
    };
    const TCase cases[] = {
        {"a\nb\nc", 1, 2, "a\n", {1, 1}},        {"a\nb\nc", 0, 2, "", {1, 0}},
        {"a\nb\nc", 0, 1, "c", {2, 0}},          {"a\nb\nc", 1, 1, "a\nc", {2, 1}},
        {"a\nb\nc\nd", 1, 1, "a\nc\nd", {1, 1}},
    };
    for (const auto& c : cases) {
        Load(c.Lines);
        Sel().SelectRows(E.Strings(), c.From, c.To);
        E.DeleteSel();
        EXPECT_EQ(Text(E.Strings()), c.Expected) << c.Lines << " " << c.From << ".." << c.To;
        EXPECT_GE(E.Strings().GetCount(), 1);
        EXPECT_EQ(Sel().Caret, c.Caret) << c.From << ".." << c.To;
    }
}

TEST_F(TClipboardTest, StreamPasteAndCut) {
    Load("hello world\nsecond");
    Sel().SelectStream(E.Strings(), {3, 0}, {4, 1});
    E.Cut();
    EXPECT_EQ(Clip(), "llo world\nsec");
    EXPECT_EQ(Text(E.Strings()), "heond");
    EXPECT_EQ(Sel().Caret, (TSelPoint{3, 0}));
    E.Paste();
    EXPECT_EQ(Text(E.Strings()), "hello world\nsecond");
    EXPECT_EQ(Sel().Caret, (TSelPoint{4, 1}));
    // Selected after: the pasted text.
    E.InsertClipText("AB\r\nC", true, false, {});
    EXPECT_EQ(Text(E.Strings()), "hello world\nsecAB\nCond");
    EXPECT_EQ(U(E.GetSelText(false)), "AB\r\nC");
    // Pasted over selected rows, selected after, the rows are selected again.
    Sel().SelectRows(E.Strings(), 1, 1);
    E.InsertClipText("r1\r\nr2\r\n", true, false, {});
    EXPECT_EQ(Text(E.Strings()), "hello world\nr1\nr2\nCond");
    EXPECT_EQ(Sel().Mode, TSelMode::smLine);
    EXPECT_EQ(U(E.GetSelText(false)), "r1\r\nr2\r\n");
}

// Text from other programs may break lines with LF alone; every line gets the quote mark, and a
// final line break adds no line of its own.
TEST_F(TClipboardTest, QuotedAndCalcPaste) {
    struct TCase {
        const char* Clip;
        bool Calc;
        const char* Expected;
    };
    const TCase cases[] = {
        {"1 2\n3 4\n", false, ">1 2\n>3 4\nrest"},
        {"1 2\r3 4", false, ">1 2\n>3 4rest"},
        {"１２×３＋ｱｲｳ　二", true, ">12*3+アイウ　2rest"},
        {"（一）÷四\r\n", true, ">(1)/4\nrest"},
    };
    for (const auto& c : cases) {
        Load("rest");
        Clipboard.SetText(J(c.Clip));
        if (c.Calc)
            E.CalcPaste();
        else
            E.QuotedPaste();
        EXPECT_EQ(Text(E.Strings()), c.Expected) << c.Clip;
    }
}

TEST_F(TClipboardTest, ForcedBoxPasteGoesDownFromTheCaretAndAddsRows) {
    Load("abc\nabc");
    Sel().SetCaret(E.Strings(), {2, 0}, TSelMode::smNone);
    Clipboard.SetText(Lines("1\n2\n3\n"));
    E.BoxPaste();
    EXPECT_EQ(Text(E.Strings()), "a1bc\na2bc\n 3");
    EXPECT_EQ(Sel().Mode, TSelMode::smNone);
    EXPECT_EQ(Sel().Caret, (TSelPoint{3, 2}));
    ASSERT_TRUE(E.Undo());
    EXPECT_EQ(Text(E.Strings()), "abc\nabc");
}

TEST_F(TClipboardTest, NothingHappensWithoutText) {
    Load("abc");
    E.Paste();
    E.BoxPaste();
    E.QuotedPaste();
    E.Cut();
    EXPECT_FALSE(E.CanUndo());
    EXPECT_EQ(Clip(), "<none>");
    Clipboard.SetText("");
    E.Paste();
    EXPECT_EQ(Text(E.Strings()), "abc");
}

TEST_F(TClipboardTest, PastingIntoAnEmptyStore) {
    E.SetClipboard(&Clipboard);
    E.Strings().SetWrapColumns(4);
    Clipboard.SetText("abcdefg\r\nh");
    E.Paste();
    EXPECT_EQ(test::Dump(E.Strings()), "abcd~efg|h");
    EXPECT_EQ(Sel().Caret, (TSelPoint{2, 2}));
    ASSERT_TRUE(E.Undo());
    EXPECT_EQ(E.Strings().GetCount(), 0);
}

}  // namespace
}  // namespace rekna
