// Tests of the pure rewrites of selected text.
#include "../store_helpers.h"
#include "editor/commands/text_transforms.h"

#include <gtest/gtest.h>

#include <functional>

namespace rekna {
namespace {

using test::J;
using test::U;

struct TCase {
    const char* Name;
    std::function<std::string(std::string_view)> Run;
    const char* In;
    const char* Out;
};

TEST(TextTransformsTest, Rewrites) {
    const TCase cases[] = {
        {"capitalise", CapitalizeWords, "hELLO wORLD 3rd", "Hello World 3rd"},
        {"capitalise wide", CapitalizeWords, "ａＢＣ　ｄｅｆ", "Ａｂｃ　Ｄｅｆ"},
        {"to full space", SpacesToFullSpace, "     ", "　　 "},
        {"to full space split", SpacesToFullSpace, " a  b", " a　b"},
        {"from full space", FullSpaceToSpaces, "a　b", "a  b"},
        {"tabify", [](std::string_view s) { return TabifySpaces(s, 8); }, "ab      c", "ab\tc"},
        {"tabify short", [](std::string_view s) { return TabifySpaces(s, 8); }, "ab     c",
         "ab     c"},
        {"expand", [](std::string_view s) { return ExpandTabs(s, 8); }, "ab\tc", "ab      c"},
        {"expand wide", [](std::string_view s) { return ExpandTabs(s, 4); }, "あ\tc", "あ  c"},
        {"trim both", [](std::string_view s) { return TrimLinesText(s, true, true); },
         "  a  \r\n\tb\r\n", "a\r\nb\r\n"},
        {"trim inside one line", [](std::string_view s) { return TrimLinesText(s, false, true); },
         "ab  ", "ab"},
        {"append", [](std::string_view s) { return AppendToLinesText(s, "  "); }, "a\r\nb",
         "a  \r\nb  "},
        {"reverse chars", ReverseCharactersText, "abあ\r\nxy\r\n", "あba\r\nyx\r\n"},
        {"reverse rows", ReverseRowsText, "a\r\nb\r\nc\r\n", "c\r\nb\r\na\r\n"},
        {"sort", [](std::string_view s) { return SortRowsText(s, false); }, "b\r\nA\r\na\r\nB\r\n",
         "A\r\na\r\nB\r\nb\r\n"},
        {"sort down", [](std::string_view s) { return SortRowsText(s, true); }, "b\r\na\r\nc",
         "c\r\nb\r\na"},
        {"duplicate", DuplicateRowsText, "x\r\ny", "x\r\nx\r\ny\r\ny"},
        {"blank rows", DeleteBlankRowsText, "a\r\n  \r\n\r\nb\r\n", "a\r\nb\r\n"},
        {"all blank", DeleteBlankRowsText, " \r\n\r\n", ""},
        {"repeated", DeleteRepeatedRowsText, "a\r\na\r\nb\r\na\r\n", "a\r\nb\r\na\r\n"},
        {"right", [](std::string_view s) { return AlignLinesText(s, 1, 10, false, 8); },
         "abc\r\n  \r\n", "       abc\r\n\r\n"},
        {"centre", [](std::string_view s) { return AlignLinesText(s, 2, 10, false, 8); }, " abc ",
         "   abc"},
        {"left box", [](std::string_view s) { return AlignLinesText(s, 0, 4, true, 8); },
         " a\r\nbb  ", "a   \r\nbb  "},
        {"equals", [](std::string_view s) { return AlignEqualsText(s, false); },
         "a=1\r\ntotal = 2 ＝ 2", "a     = 1\r\ntotal = 2 ＝ 2"},
        {"equals answer", [](std::string_view s) { return AlignEqualsText(s, false); },
         "x=1\r\nlong=22 ＝ 22", "x    = 1\r\nlong = 22 ＝ 22"},
        {"equals kept", [](std::string_view s) { return AlignEqualsText(s, false); }, "ab=\r\nc=1",
         "ab =\r\nc  = 1"},
        {"comments", [](std::string_view s) { return AlignCommentsText(s, false, 8); },
         "a: 1 ;one\r\nbb: 22 ;two", "a  : 1  ;one\r\nbb : 22 ;two"},
        {"comments parts", [](std::string_view s) { return AlignCommentsText(s, false, 8); },
         "x;c\r\nlab:\r\n;only\r\nplain", "x ;c\r\nlab :\r\n;only\r\nplain"},
        {"digits", ReverseDigitsText, "1234x12.50 $1F00", "4321x05.21 $00F1"},
        {"digits run end", ReverseDigitsText, "12, 345.", "543 ,21."},
        {"digits dollar", ReverseDigitsText, "12$34", "21$43"},
        {"digits wide", ReverseDigitsText, "12あ34", "21あ43"},
        {"swap", [](std::string_view s) { return SwapText(s, "\r\n", "\t"); }, "a\tb\r\nc\x08",
         "a\r\nb\tc\x08"},
        {"replace", [](std::string_view s) { return ReplaceText(s, "\t", "\r\n"); }, "a\tb",
         "a\r\nb"},
        // The trail byte of "ア" is "@", of "ポ" is "|": no match inside them.
        {"replace wide", [](std::string_view s) { return ReplaceText(s, "|", "!"); }, "ポ|", "ポ!"},
        {"brackets", [](std::string_view s) { return ConvertBracketsText(s, 0); }, "{a}[b]",
         "(a)[b]"},
        {"brackets 2", [](std::string_view s) { return ConvertBracketsText(s, 2); }, "(a)ソ",
         "[a]ソ"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(U(c.Run(J(c.In))), c.Out) << c.Name;
}

TEST(TextTransformsTest, SplitKeepsTheFinalBreakAndLocaleOrderIsStable) {
    const char* texts[] = {"", "a", "a\r\n", "a\rb\nc", "\r\n\r\n"};
    for (const char* t : texts) {
        const std::string back = JoinTextLines(SplitTextLines(t));
        EXPECT_EQ(SplitTextLines(back).Lines, SplitTextLines(t).Lines) << t;
        EXPECT_EQ(SplitTextLines(back).FinalBreak, SplitTextLines(t).FinalBreak) << t;
    }
    EXPECT_LT(CompareLocaleText("A", "b"), 0);
    EXPECT_LT(CompareLocaleText("A", "a"), 0);
    EXPECT_EQ(CompareLocaleText("x", "x"), 0);
}

}  // namespace
}  // namespace rekna
