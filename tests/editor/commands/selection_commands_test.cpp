// Tests of the table and text commands on an editor: the selected logical lines rewritten, at
// no wrap and at a small wrap width, and taken back by one undo.
#include "../editor_helpers.h"
#include "editor/commands/table_commands.h"
#include "editor/commands/text_commands.h"
#include "editor/commands/text_transforms.h"

#include "text/str_utils.h"

#include <gtest/gtest.h>

#include <functional>

namespace rekna {
namespace {

using test::LineRow;
using test::Lines;
using test::Text;

struct TCase {
    const char* Name;
    const char* Memo;
    int FromLine;  // -1: no selection, caret on line ToLine
    int ToLine;
    std::function<bool(TUMemoEditor&)> Run;
    const char* After;
};

bool Bar(TUMemoEditor& e) {
    return ConvertTable(e, kBarSeparator, TTableAlign::taLeft);
}
bool Tab(TUMemoEditor& e) {
    return ConvertTable(e, kTabSeparator, TTableAlign::taLeft);
}

const TCase kCases[] = {
    {"to full space", "a\tb\nc\td\nz", 0, 1,
     [](TUMemoEditor& e) { return ConvertTable(e, kFullSpaceSeparator, TTableAlign::taLeft); },
     "a 　b\nc 　d\nz"},
    {"to ruled", "x\na\tbb\nccc\td\ny", 1, 2, Bar, "x\n│a   │bb│\n│ccc │d │\ny"},
    {"ruled to tab", "┌──┬──┐\n│ab│cd│\n└──┴──┘", 0, 2, Tab, "\nab\tcd\n"},
    {"align tab table", "a\tbbb", 0, 0,
     [](TUMemoEditor& e) { return AlignTable(e, TTableAlign::taRight); }, " a　 bbb"},
    {"decimal", "1.5\n-12.25\n7", 0, 2,
     [](TUMemoEditor& e) { return AlignTable(e, TTableAlign::taDecimal); }, "  1.5\n-12.25\n  7"},
    {"xy exchange", "a\tb\tc\nd\te\tf\nz", 0, 1,
     [](TUMemoEditor& e) { return ExchangeTable(e, TTableAlign::taLeft); }, "a\td\nb\te\nc\tf\nz"},
    {"space runs", "a  b c", 0, 0, [](TUMemoEditor& e) { return SpaceRunsToTab(e); }, "a\tb c"},
    {"proper case", "hELLO wORLD 3rd", 0, 0,
     [](TUMemoEditor& e) { return RewriteWith(e, &CapitalizeWords); }, "Hello World 3rd"},
    {"kana", "かなカナ", 0, 0, [](TUMemoEditor& e) { return RewriteWith(e, &HiraganaToKatakana); },
     "カナカナ"},
    {"width", "ab12", 0, 0, [](TUMemoEditor& e) { return RewriteWith(e, &ToFullWidth); },
     "ａｂ１２"},
    {"tab to spaces", "ab\tc\nx", 0, 0, [](TUMemoEditor& e) { return TabsToSpaces(e); },
     "ab      c\nx"},
    {"spaces to tab", "ab      c", 0, 0, [](TUMemoEditor& e) { return SpacesToTabs(e); }, "ab\tc"},
    {"equals", "x=1\nlong=22 ＝ 22", 0, 1, [](TUMemoEditor& e) { return AlignEquals(e); },
     "x    = 1\nlong = 22 ＝ 22"},
    {"comments", "a: 1 ;one\nbb: 22 ;two", 0, 1, [](TUMemoEditor& e) { return AlignComments(e); },
     "a  : 1  ;one\nbb : 22 ;two"},
    {"reverse digits", "12, 345.", 0, 0, [](TUMemoEditor& e) { return ReverseDigits(e); },
     "543 ,21."},
    {"repeated", "a\na\nb\na", 0, 3, [](TUMemoEditor& e) { return DeleteRepeatedRows(e); },
     "a\nb\na"},
    {"duplicate", "x\ny", 0, 1, [](TUMemoEditor& e) { return DuplicateRows(e); }, "x\nx\ny\ny"},
    {"duplicate caret", "x\ny", -1, 0, [](TUMemoEditor& e) { return DuplicateRows(e); }, "x\nx\ny"},
    {"blank rows", "a\n \n\nb", 0, 3, [](TUMemoEditor& e) { return DeleteBlankRows(e); }, "a\nb"},
    {"sort", "b\nA\na", 0, 2, [](TUMemoEditor& e) { return SortRows(e, false); }, "A\na\nb"},
    {"add spaces", "a\nb", -1, 0, [](TUMemoEditor& e) { return AddSpaces(e, 3, 1); }, "a \nb \n "},
    {"fill", "abc\n0123456789012", 0, 1, [](TUMemoEditor& e) { return FillSpaces(e, 1, 6); },
     "abc   \n0123456789012"},
    {"brackets caret", "{a}\n{b}", -1, 1, [](TUMemoEditor& e) { return ConvertBrackets(e, 0); },
     "{a}\n(b)"},
    {"tab to lines", "a\tb\tc", 0, 0,
     [](TUMemoEditor& e) { return SwapInSelection(e, "\r\n", "\t"); }, "a\nb\nc"},
    {"trailing rows", "a\n \n\n", -1, 0, [](TUMemoEditor& e) { return DeleteTrailingBlankRows(e); },
     "a\n"},
    {"trailing spaces", "a  \nb \n  ", -1, 0,
     [](TUMemoEditor& e) { return DeleteTrailingSpaces(e); }, "a\nb\n"},
};

TEST(SelectionCommandsTest, CommandsOnLogicalLinesAtEveryWrapWidthAreOneUndoStep) {
    for (const std::int32_t wrap : {0, 4}) {
        for (const TCase& c : kCases) {
            TUMemoEditor e;
            test::Setup(e, {wrap, 8, true, true}, Lines(c.Memo));
            TUMemoStrings& s = e.Strings();
            if (c.FromLine < 0) {
                s.Selection().SetCaret(s, {1, LineRow(s, c.ToLine)}, TSelMode::smNone);
            } else {
                s.Selection().SelectRows(s, LineRow(s, c.FromLine),
                                         s.LastRowOfLine(LineRow(s, c.ToLine)));
            }
            const std::string before = Text(s);
            EXPECT_TRUE(c.Run(e)) << c.Name << " wrap " << wrap;
            EXPECT_EQ(Text(s), c.After) << c.Name << " wrap " << wrap;
            EXPECT_TRUE(e.Undo()) << c.Name;
            EXPECT_EQ(Text(s), before) << c.Name << " wrap " << wrap;
            EXPECT_FALSE(e.CanUndo()) << c.Name << " wrap " << wrap;
        }
    }
}

TEST(SelectionCommandsTest, APieceInsideOneLineStaysInIt) {
    TUMemoEditor e;
    test::Setup(e, {}, Lines("xx  ab  yy\nnext"));
    TUMemoStrings& s = e.Strings();
    s.Selection().SelectStream(s, {3, 0}, {9, 0});
    EXPECT_TRUE(TrimLines(e, true, true));
    EXPECT_EQ(Text(s), "xxabyy\nnext");
    s.Selection().SelectStream(s, {1, 0}, {5, 0});
    EXPECT_TRUE(ReverseCharacters(e));
    EXPECT_EQ(Text(s), "baxxyy\nnext");
}

TEST(SelectionCommandsTest, ExchangedCopyAndPasteGoThroughTheClipboard) {
    TUMemoEditor e;
    TMemoryClipboard clip;
    test::Setup(e, {}, Lines("│a│b│\n│c│d│\nz"));
    TUMemoStrings& s = e.Strings();
    EXPECT_FALSE(CopyExchanged(e, clip));
    s.Selection().SelectRows(s, 0, 1);
    EXPECT_TRUE(CopyExchanged(e, clip));
    EXPECT_EQ(test::U(*clip.GetText()), "a│c\r\nb│d\r\n");
    s.Selection().SetCaret(s, {1, 2}, TSelMode::smNone);
    clip.SetText("1\t2\r\n");
    EXPECT_TRUE(PasteExchanged(e, clip));
    EXPECT_EQ(Text(s), "│a│b│\n│c│d│\n1\n2\nz");
    clip.Clear();
    EXPECT_FALSE(PasteExchanged(e, clip));
}

TEST(SelectionCommandsTest, NothingWithoutASelection) {
    TUMemoEditor e;
    test::Setup(e, {}, Lines("a\tb"));
    EXPECT_FALSE(Bar(e));
    EXPECT_FALSE(SortRows(e, false));
    EXPECT_FALSE(ConvertBrackets(e, 0));
    EXPECT_FALSE(e.CanUndo());
}

TEST(SelectionCommandsTest, TheLargestPaddingIsOneUndoStep) {
    TUMemoEditor e;
    test::Setup(e, {}, Lines("a"));
    TUMemoStrings& s = e.Strings();
    EXPECT_TRUE(AddSpaces(e, 20000, 5000));
    ASSERT_EQ(s.GetCount(), kMaxPadRows);
    EXPECT_EQ(s.Get(0), "a" + std::string(kMaxPadSpaces, ' '));
    EXPECT_EQ(s.Get(kMaxPadRows - 1), std::string(kMaxPadSpaces, ' '));
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(Text(s), "a");
    EXPECT_FALSE(e.CanUndo());
}

TEST(SelectionCommandsTest, ResultsAreNotConvertedLikeTypedText) {
    TUMemoEditor e;
    test::Setup(e, {}, Lines("b*2\na/3\nカナ"));
    TUMemoStrings& s = e.Strings();
    s.SetDoubleKana(true);
    s.SetDoubleDiv(true);
    s.SetDoubleMul(true);
    s.Selection().SelectRows(s, 0, 2);
    EXPECT_TRUE(SortRows(e, false));
    s.Selection().SelectRows(s, 2, 2);
    EXPECT_TRUE(RewriteWith(e, &ToHalfWidthKana));
    EXPECT_EQ(Text(s), "a/3\nb*2\nｶﾅ");
    EXPECT_TRUE(s.DoubleKana() && s.DoubleDiv() && s.DoubleMul());
}

// Thousands of wrapped rows replaced, deleted and put back in runs that span many blocks of the
// row store: the rows stay cut as a fresh wrap cuts them and undo and redo are exact. Padding and
// duplicating work with auto indent off, so their rows get no hanging indent while it is on.
TEST(SelectionCommandsTest, ALongWrappedSelectionIsRewrittenAndTakenBackExactly) {
    std::string memo;
    for (int i = 0; i < 3000; ++i)
        memo += (i % 5 == 0 ? "  " : "") + std::to_string(i) + "\t部品" + std::to_string(i % 17) +
                "\tx=" + std::to_string(i % 9) + "\n";
    memo += "end";
    struct TLong {
        const char* Name;
        bool IndentOff;
        std::function<bool(TUMemoEditor&)> Run;
    };
    const TLong commands[] = {
        {"ruled", false, [](TUMemoEditor& e) { return Bar(e); }},
        {"duplicate", true, [](TUMemoEditor& e) { return DuplicateRows(e); }},
        {"pad", true, [](TUMemoEditor& e) { return FillSpaces(e, 0, 40); }},
    };
    for (const bool indent : {false, true}) {
        for (const TLong& c : commands) {
            TUMemoEditor e;
            test::Setup(e, {7, 8, indent, true}, Lines(memo));
            TUMemoStrings& s = e.Strings();
            s.Selection().SelectRows(s, LineRow(s, 100), s.LastRowOfLine(LineRow(s, 2800)));
            const test::TEditorState before = test::State(s);
            ASSERT_TRUE(c.Run(e)) << c.Name;
            if (!(indent && c.IndentOff)) {
                EXPECT_EQ(s.CheckRows(true), "") << c.Name;
            }
            const test::TEditorState after = test::State(s);
            ASSERT_TRUE(e.Undo()) << c.Name;
            EXPECT_EQ(test::State(s), before) << c.Name << " indent " << indent;
            ASSERT_TRUE(e.Redo()) << c.Name;
            EXPECT_EQ(test::State(s), after) << c.Name << " indent " << indent;
        }
    }
}

}  // namespace
}  // namespace rekna
