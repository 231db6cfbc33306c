// The find window's model: histories, the kept settings text, the jump box, and the commands
// with their captions on a memo.
#include "editor/umemo_editor.h"
#include "find/find_model.h"
#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

std::string J(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

// A memo of lines (UTF-8, joined with LF) with the caret on row, column 1.
void Load(TUMemoEditor& e, std::string_view lines, std::int32_t row = 0) {
    std::string text;
    for (const char c : J(lines)) {
        if (c == '\n') text += '\r';
        text += c;
    }
    ASSERT_TRUE(e.Strings().LoadBytes(text, false));
    e.Strings().Selection().SetCaret(e.Strings(), {1, row}, TSelMode::smNone);
}

std::string Memo(const TUMemoEditor& e) {
    std::string out;
    for (std::int32_t r = 0; r < e.Strings().GetCount(); ++r)
        out += (r > 0 ? "|" : "") + Cp932ToUtf8(e.Strings().Get(r));
    return out;
}

TEST(FindModelTest, HistoryKeepsOneOfEachIgnoringCase) {
    std::vector<std::string> items;
    for (const char* text : {"abc", "x", "ABC", "", "ｘ", "y", "X"})
        AddToHistory(items, J(text));
    std::string joined;
    for (const std::string& item : items)
        joined += Cp932ToUtf8(item) + ";";
    EXPECT_EQ(joined, "y;ｘ;x;abc;");
}

TEST(FindModelTest, SettingsTextEscapesWhatWouldBreakTheLine) {
    struct TCase {
        bool MatchCase;
        const char* Text;
        const char* Stored;
    };
    const TCase cases[] = {
        {true, "abc", "1abc"},
        {false, "a\tb\r\nc", "0a\\tb\\r\\nc"},
        {true, "C:\\ソ表", "1C:\\\\ソ表"},
        {false, "", "0"},
    };
    for (const TCase& c : cases) {
        const std::string stored = EncodeFindSettings(c.MatchCase, J(c.Text));
        EXPECT_EQ(Cp932ToUtf8(stored), c.Stored);
        bool matchCase = !c.MatchCase;
        std::string text = "old";
        DecodeFindSettings(stored, matchCase, text);
        EXPECT_EQ(matchCase, c.MatchCase) << c.Stored;
        EXPECT_EQ(Cp932ToUtf8(text), c.Text) << c.Stored;
    }
    // Hand-edited values: unknown escapes stay, a missing digit keeps the toggle.
    bool matchCase = false;
    std::string text;
    DecodeFindSettings("a\\qb\\", matchCase, text);
    EXPECT_FALSE(matchCase);
    EXPECT_EQ(text, "a\\qb\\");
    DecodeFindSettings("", matchCase, text);
    EXPECT_EQ(text, "a\\qb\\");
}

TEST(FindModelTest, JumpNumbers) {
    struct TCase {
        std::string Text;
        bool Valid;
        bool Relative;
        std::int64_t Value;
    };
    const TCase cases[] = {
        {"10", true, false, 10},
        {"+10", true, true, 10},
        {"-10", true, true, -10},
        {"0", false, false, 0},
        {"", false, false, 0},
        {"+", false, true, 0},
        {"1a", false, false, 0},
        {"--1", false, true, 0},
        {std::string(300, '9'), true, false, 1LL << 40},
    };
    for (const TCase& c : cases) {
        const TJumpNumber n = ReadJumpNumber(c.Text);
        EXPECT_EQ(n.Valid, c.Valid) << c.Text;
        EXPECT_EQ(n.Relative, c.Relative) << c.Text;
        if (c.Valid) {
            EXPECT_EQ(n.Value, c.Value) << c.Text;
        }
    }
}

TEST(FindModelTest, FindDownTwiceAndUpWithCaptions) {
    TUMemoEditor memo;
    Load(memo, "x\nab ab\n\nab", 0);
    TFindModel m;
    m.SearchText = "ab";
    const TFindPanes panes{.Memo = &memo};
    struct TStep {
        TFindDirection Direction;
        const char* Caption;
        std::int32_t X;
        std::int32_t Y;
    };
    const TStep steps[] = {
        {TFindDirection::fdDown, "検索結果 = 2 行", 3, 1},
        {TFindDirection::fdDown, "検索結果 = 2 行", 6, 1},
        {TFindDirection::fdUp, "検索結果 = 2 行", 1, 1},
        {TFindDirection::fdUp, "検索結果 = 見つかりませんでした", 1, 1},
    };
    for (const TStep& s : steps) {
        m.Find(panes, s.Direction);
        EXPECT_EQ(m.Caption(), s.Caption);
        EXPECT_EQ(memo.Strings().Selection().Caret, (TSelPoint{s.X, s.Y})) << s.Caption;
    }
    EXPECT_EQ(m.TextHistory, std::vector<std::string>{"ab"});
}

TEST(FindModelTest, CaseToggleOffFindsEitherCaseAndHighlightsIt) {
    TUMemoEditor memo;
    Load(memo, "ABC");
    TFindModel m;
    m.SearchText = "abc";
    EXPECT_FALSE(m.Find({.Memo = &memo}, TFindDirection::fdDown));
    m.ToggleCase();
    EXPECT_TRUE(m.Find({.Memo = &memo}, TFindDirection::fdDown));
    EXPECT_EQ(memo.FindText(), "abc");
    EXPECT_FALSE(memo.FindOptions().Contains(TSearchType::stMatchCase));
}

TEST(FindModelTest, ReplaceAllCountsFromAnyCaret) {
    struct TCase {
        const char* Memo;
        std::int32_t CaretRow;
        std::int64_t Count;
        const char* Expected;
        const char* Caption;
    };
    const TCase cases[] = {
        {"ab\nx ab\nab", 2, 3, "cd|x cd|cd", "置換結果 = 3 個を置換しました"},
        {"x\nab", 0, 1, "x|cd", "置換結果 = 1 個を置換しました"},
        {"x", 0, 0, "x", "検索結果 = 見つかりませんでした"},
    };
    for (const TCase& c : cases) {
        TUMemoEditor memo;
        Load(memo, c.Memo, c.CaretRow);
        TFindModel m;
        m.SearchText = "ab";
        m.ReplaceText = "cd";
        EXPECT_EQ(m.ReplaceAll({.Memo = &memo}), c.Count) << c.Memo;
        EXPECT_EQ(Memo(memo), c.Expected);
        EXPECT_EQ(m.Caption(), c.Caption);
        EXPECT_FALSE(m.Replacing());
    }
}

TEST(FindModelTest, ReplaceAllInsideASelectionOverRows) {
    TUMemoEditor memo;
    Load(memo, "ab\nab ab\nab\nab");
    memo.Strings().Selection().SelectStream(memo.Strings(), {3, 0}, {3, 2});
    TFindModel m;
    m.SearchText = "ab";
    m.ReplaceText = "X";
    EXPECT_EQ(m.ReplaceAll({.Memo = &memo}), 3);
    EXPECT_EQ(Memo(memo), "ab|X X|X|ab");
}

TEST(FindModelTest, ReplaceAllCannotBeReenteredAndStopsOnRequest) {
    TUMemoEditor memo;
    std::string lines;
    for (int i = 0; i < 2000; ++i)
        lines += "ab\n";
    Load(memo, lines);
    TFindModel m;
    m.SearchText = "ab";
    m.ReplaceText = "c";
    std::int64_t inner = -1;
    const std::int64_t count = m.ReplaceAll({.Memo = &memo}, [&](std::int64_t) {
        inner = m.ReplaceAll({.Memo = &memo});
        m.RequestStop();
        return false;
    });
    EXPECT_EQ(inner, 0);
    EXPECT_EQ(count, 256);
    EXPECT_EQ(m.Caption(), "置換結果 = 256 個を置換しました");
    EXPECT_TRUE(memo.Undo());
    EXPECT_FALSE(memo.CanUndo());
}

TEST(FindModelTest, ReplaceCommandsNeedTheMemoActive) {
    TUMemoEditor memo;
    Load(memo, "ab");
    TFindModel m;
    m.SearchText = "ab";
    m.ReplaceText = "c";
    EXPECT_EQ(m.ReplaceAll({.Memo = &memo, .MemoActive = false}), 0);
    // Nothing replaced is never silent: the caption says where replacing works.
    EXPECT_EQ(m.Caption(), MemoOnlyCaption());
    m.Find({.Memo = &memo}, TFindDirection::fdDown);
    m.ReplaceAndFind({.Memo = &memo, .MemoActive = false}, TFindDirection::fdDown);
    EXPECT_EQ(Memo(memo), "ab");
    EXPECT_EQ(m.Caption(), MemoOnlyCaption());
    m.ReplaceAndFind({.Memo = &memo}, TFindDirection::fdDown);
    EXPECT_EQ(Memo(memo), "c");
}

TEST(FindModelTest, ReplaceAndFindUpwardDoesNotFindTheReplacementAgain) {
    TUMemoEditor memo;
    Load(memo, "a a a");
    memo.Strings().Selection().SetCaret(memo.Strings(), {6, 0}, TSelMode::smNone);
    TFindModel m;
    m.SearchText = "a";
    m.ReplaceText = "aa";
    m.Find({.Memo = &memo}, TFindDirection::fdUp);
    for (int i = 0; i < 3; ++i)
        m.ReplaceAndFind({.Memo = &memo}, TFindDirection::fdUp);
    EXPECT_EQ(Memo(memo), "aa aa aa");
    EXPECT_EQ(m.Caption(), "検索結果 = 見つかりませんでした");
}

TEST(FindModelTest, JumpsToRows) {
    struct TCase {
        const char* Text;
        std::int32_t CaretRow;
        const char* Box;
        const char* Caption;
        std::int32_t Row;
    };
    const TCase cases[] = {
        {"+10", 4, "+10", "検索結果 = 15 行", 14},
        {"-3", 4, "-3", "検索結果 = 2 行", 1},
        {"0", 7, "1", "検索結果 = 1 行", 0},
        {"x", 7, "1", "検索結果 = 1 行", 0},
        {"21", 7, "21", "検索結果 = 見つかりませんでした", 7},
        {"-8", 7, "-8", "検索結果 = 見つかりませんでした", 7},
    };
    for (const TCase& c : cases) {
        TUMemoEditor memo;
        Load(memo, std::string(19, '\n'), c.CaretRow);
        TFindModel m;
        m.JumpText = c.Text;
        m.JumpToRow({.Memo = &memo});
        EXPECT_EQ(m.JumpText, c.Box);
        EXPECT_EQ(m.Caption(), c.Caption);
        const TUMemoSelection& sel = memo.Strings().Selection();
        EXPECT_EQ(sel.Caret.Y, c.Row) << c.Text;
        EXPECT_EQ(sel.Mode, c.Row == c.CaretRow ? TSelMode::smNone : TSelMode::smLine) << c.Text;
    }
}

TEST(FindModelTest, JumpTopAndBottomFollowTheActivePane) {
    TUMemoEditor memo;
    TUMemoEditor answers;
    Load(memo, "1\n2\n3", 1);
    Load(answers, "1\n2\n3\n4", 1);
    TFindModel m;
    m.JumpBottom({.Memo = &memo, .Answer = &answers, .AnswerActive = true});
    EXPECT_EQ(answers.Strings().Selection().Caret, (TSelPoint{1, 3}));
    EXPECT_EQ(memo.Strings().Selection().Caret, (TSelPoint{1, 1}));
    m.JumpBottom({.Memo = &memo, .Answer = &answers});
    EXPECT_EQ(memo.Strings().Selection().Caret, (TSelPoint{1, 2}));
    m.JumpTop({.Memo = &memo, .Answer = &answers});
    EXPECT_EQ(memo.Strings().Selection().Caret, (TSelPoint{1, 0}));
    EXPECT_FALSE(memo.Modified());
}

TEST(FindModelTest, HintsAndFocusCaptions) {
    EXPECT_EQ(FindActionHint(TFindDirection::fdDown, J("ソ")),
              "下方検索|ソ カーソル位置から下方検索");
    EXPECT_EQ(FindActionHint(TFindDirection::fdUp, ""), "上方検索|カーソル位置から上方検索");
    TFindModel m;
    m.ShowFocus(TFindBox::fbReplace);
    EXPECT_EQ(m.Caption(), "置換 :大文字と小文字を区別する");
    m.ToggleCase();
    m.ShowFocus(TFindBox::fbText);
    EXPECT_EQ(m.Caption(), "検索 :大文字と小文字を区別しない");
}

}  // namespace
}  // namespace rekna
