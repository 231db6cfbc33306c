// Tests of the line-break commands: join, split at wraps, rejoin, and join selected.
#include "editor/store/umemo_strings.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using test::Dump;
using test::J;

// Rows given as UTF-8 lines; hard breaks only.
void SetRows(TUMemoStrings& s, std::initializer_list<const char*> rows) {
    s.Clear();
    for (const char* row : rows)
        s.Add(J(row));
}

void SelectRows(TUMemoStrings& s, std::int32_t from, std::int32_t to) {
    s.Selection().Mode = TSelMode::smLine;
    s.Selection().Anchor = {1, from};
    s.Selection().Caret = {1, to};
}

struct TCommandCase {
    std::int32_t Wrap;
    std::initializer_list<const char*> Rows;
    std::int32_t From;
    std::int32_t To;
    const char* Expected;  // Dump
};

// Runs a command over cases, checks the rows, and that taking the group back restores them.
void RunCases(void (TUMemoStrings::*command)(), std::initializer_list<TCommandCase> cases,
              bool rewraps) {
    for (const auto& c : cases) {
        TUMemoStrings s;
        test::TTestRecorder& rec = test::InstallRecorder(s);
        s.SetWrapColumns(c.Wrap);
        SetRows(s, c.Rows);
        const test::TRowSnapshot before = test::Snapshot(s);
        const std::string text = s.GetTextStr();
        SelectRows(s, c.From, c.To);
        (s.*command)();
        EXPECT_EQ(Dump(s), c.Expected) << *c.Rows.begin();
        EXPECT_EQ(s.CheckRows(rewraps), "") << *c.Rows.begin();
        ASSERT_TRUE(rec.TakeBack(s));
        EXPECT_EQ(test::Snapshot(s), before) << *c.Rows.begin();
        EXPECT_EQ(s.GetTextStr(), text);
    }
}

TEST(LineBreakCommands, JoinLines) {
    RunCases(&TUMemoStrings::JoinLines,
             {
                 {10, {"abc", "def", "ghi"}, 0, 1, "abcdef|ghi"},
                 {10, {"abc", "def", "ghi"}, 0, 2, "abcdefghi"},
                 {5, {"abc", "def", "ghi"}, 0, 2, "abcde~fghi"},
                 {10, {"abc", "    def"}, 0, 1, "abcdef"},  // indentation goes as a hanging indent
                 {10, {"abc", "         def"}, 0, 1, "abc     de~f"},
                 {0, {"abc", "        def"}, 0, 1, "abcdef"},
                 {10, {"abc", "def"}, 1, 1, "abc|def"},  // one row: nothing to join
             },
             true);
}

TEST(LineBreakCommands, JoinLinesNeedsASelectionAndKeepsTheCaretOnScreen) {
    TUMemoStrings s;
    SetRows(s, {"a", "b", "c", "d", "e"});
    s.JoinLines();
    EXPECT_EQ(Dump(s), "a|b|c|d|e");
    s.Selection().Mode = TSelMode::smStream;
    s.Selection().Anchor = {1, 1};
    s.Selection().Caret = {2, 4};
    s.SetTopRow(3);
    s.JoinLines();
    EXPECT_EQ(Dump(s), "a|bcde");
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{5, 1}));
    EXPECT_EQ(s.TopRow(), 0) << "the caret keeps its distance from the top where it can";
}

TEST(LineBreakCommands, SplitAtWrapsKeepsTheHangingIndentAsText) {
    TUMemoStrings s;
    test::TTestRecorder& rec = test::InstallRecorder(s);
    s.SetWrapColumns(10);
    test::LoadLines(s, "    aaaaaaaaaabb\r\nnext");
    EXPECT_EQ(Dump(s), "    aaaaaa~    aaaabb|next");
    const test::TRowSnapshot before = test::Snapshot(s);
    SelectRows(s, 0, 2);
    s.SplitAtWraps();
    EXPECT_EQ(Dump(s), "    aaaaaa|    aaaabb|next");
    EXPECT_EQ(s.GetTextStr(), "    aaaaaa\r\n    aaaabb\r\nnext");
    EXPECT_EQ(s.HangLength(1), 0);
    EXPECT_EQ(s.CheckRows(true), "");
    ASSERT_TRUE(rec.TakeBack(s));
    EXPECT_EQ(test::Snapshot(s), before);
    EXPECT_EQ(s.GetTextStr(), "    aaaaaaaaaabb\r\nnext");
}

TEST(LineBreakCommands, RejoinWrapsJoinsRowsCutAtTheirWrapPosition) {
    RunCases(
        &TUMemoStrings::RejoinWraps,
        {
            {10, {"abcdefghij", "klm", "x"}, 0, 2, "abcdefghij~klm|x"},
            {10, {"abcdefghi", "klm"}, 0, 1, "abcdefghi|klm"},  // would not have been cut there
            {10, {"abcdefghij", "klm"}, 0, 0, "abcdefghij|klm"},
            {10, {"", "klm"}, 0, 1, "|klm"},
            {10, {"abcdefgh「", "klm"}, 0, 1, "abcdefgh「|klm"},
            {11, {"あいうえお", "か"}, 0, 1, "あいうえお~か"},
        },
        false);
}

TEST(LineBreakCommands, JoinSelectedLooksAtTheCharactersAtTheBreak) {
    RunCases(&TUMemoStrings::JoinSelected,
             {
                 {0,
                  {"first line", "second", "end.", "(next)", "  ", "last"},
                  0,
                  5,
                  "first linesecondend.|(next)|  |last"},
                 {0, {"これは", "「引用」"}, 0, 1, "これは|「引用」"},
                 {0, {"文です。", "次"}, 0, 1, "文です。|次"},
                 {0, {"文字が", "続く"}, 0, 1, "文字が続く"},
                 {0, {"項目", "・点"}, 0, 1, "項目・点"},
                 {0, {"項目", "※注"}, 0, 1, "項目|※注"},
                 {0, {"a", "   ", "b"}, 0, 2, "a|b"},  // a row of indentation only joins
                 {0, {"abc", "  -item"}, 0, 1, "abc|  -item"},
                 {0, {"abc", ""}, 0, 1, "abc|"},
                 {0, {"", "abc"}, 0, 1, "|abc"},
                 {10, {"ab", "cdefghijklm"}, 0, 1, "abcdefghij~klm"},
             },
             true);
}

TEST(LineBreakCommands, JoinSelectedPassesALoneLeadByte) {
    TUMemoStrings s;
    const std::string lone = J("あ").substr(0, 1);
    s.Add("ab" + lone);
    s.Add("cd");
    SelectRows(s, 0, 1);
    s.JoinSelected();
    EXPECT_EQ(s.GetCount(), 1);
    EXPECT_EQ(s.GetTextStr(), "ab" + lone + "cd");
}

}  // namespace
}  // namespace rekna
