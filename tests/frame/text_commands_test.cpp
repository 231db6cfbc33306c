// Tests of the frame's table and text actions run by name: the padding prompts, the table
// calculated cell by cell with the engine, and the follow-up of the line-break commands.
#include "frame/text_actions.h"

#include "editor/umemo_editor.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/table_calc.h"
#include "platform/clipboard.h"
#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <deque>

namespace rekna {
namespace {

std::string J(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}
std::string U(std::string_view cp932) {
    return Cp932ToUtf8(cp932);
}

// The memo's text with LF between lines, in UTF-8.
std::string Text(const TUMemoEditor& e) {
    std::string out;
    for (const char c : U(e.Strings().GetTextStr()))
        if (c != '\r') out += c;
    return out;
}

class TFakeHost : public TTextCommandHost {
public:
    TUMemoEditor Editor;
    TMemoryClipboard Clip;
    TCalcOptions Opts;
    TVtCalc Calc;
    std::deque<std::optional<std::string>> Answers;
    std::vector<std::string> Prompts;
    bool Focused = true;
    int Cleared = 0;

    TUMemoEditor& Memo() override { return Editor; }
    [[nodiscard]] bool MemoFocused() const override { return Focused; }
    TUMemoEditor* FocusedEditor() override { return Focused ? &Editor : nullptr; }
    TClipboard& Clipboard() override { return Clip; }
    TCalcOptions& Options() override { return Opts; }
    std::optional<std::string> AskText(std::string_view caption, std::string_view prompt,
                                       std::string_view text) override {
        Prompts.push_back(std::string(caption) + "/" + std::string(prompt) + "/" +
                          std::string(text));
        if (Answers.empty()) return std::nullopt;
        auto a = Answers.front();
        Answers.pop_front();
        return a;
    }
    std::string CalcCell(std::string_view cell) override {
        Calc.CalcLine(cell, true, true, false);
        return Calc.AnswerText();
    }
    void ClearAnswers() override { ++Cleared; }
    [[nodiscard]] std::int32_t FillColumnLimit() const override { return 20; }

    void Load(std::string_view utf8) {
        Editor.Strings().SetTextStr(J(utf8));
        Editor.ClearUndo();
    }
    void SelectLines(std::int32_t a, std::int32_t b) {
        Editor.Strings().Selection().SelectRows(Editor.Strings(), a, b);
    }
    void Caret(std::int32_t row) {
        Editor.Strings().Selection().SetCaret(Editor.Strings(), {1, row}, TSelMode::smNone);
    }
};

TEST(TextCommandsTest, PadAnswersAreReadWithTheirLimits) {
    struct TCase {
        const char* Text;
        bool Selection;
        int Rows;
        int Count;  // 0: refused
    };
    const TCase cases[] = {
        {"3", false, 3, 1},
        {"3 , 5", false, 3, 5},
        {" 20000,2000 ", false, 10000, 1000},
        {"0,5", false, 0, 0},
        {"x", false, 0, 0},
        {"3,", false, 0, 0},
        {"7", true, 0, 7},
        {"5000", true, 0, 1000},
        {"-1", true, 0, 0},
        {"1.5", true, 0, 0},
        {"99999999999999999999", true, 0, 1000},
    };
    for (const auto& c : cases) {
        const auto a = ParsePadAnswer(c.Text, c.Selection, 1000);
        EXPECT_EQ(a.has_value(), c.Count != 0) << c.Text;
        if (a && c.Count != 0) {
            EXPECT_EQ(a->Rows, c.Rows) << c.Text;
            EXPECT_EQ(a->Count, c.Count) << c.Text;
        }
    }
}

TEST(TextCommandsTest, AddSpacesWithoutASelectionAddsRowsAndRemembersTheCounts) {
    TFakeHost h;
    h.Load("a\r\nb");
    h.Caret(0);
    h.Answers.push_back("3");
    EXPECT_TRUE(RunTextAction("ActionFormatAddSp", h, *std::make_unique<TTextCommandState>()));
    EXPECT_EQ(Text(h.Editor), "a \nb \n ");
    EXPECT_EQ(h.Prompts.back(),
              "キャレット行以降の行末に空白を追加/追加する行数 , 空白の個数/100 , 100");
    EXPECT_EQ(h.Opts.FillSpace[0], 3);
    EXPECT_EQ(h.Opts.FillSpace[1], 1);
    // Cancelled: nothing happens.
    TTextCommandState state;
    EXPECT_FALSE(RunTextAction("ActionFormatAddSp", h, state));
    EXPECT_EQ(Text(h.Editor), "a \nb \n ");
}

TEST(TextCommandsTest, FillKeepsWideRowsAndIsCutToTheWrapWidth) {
    TFakeHost h;
    TTextCommandState state;
    h.Load("abc\r\n0123456789012345678901234\r\nz");
    h.SelectLines(0, 1);
    h.Answers.push_back("50");
    EXPECT_TRUE(RunTextAction("ActionFormatFillSp", h, state));
    EXPECT_EQ(Text(h.Editor), "abc                 \n0123456789012345678901234\nz");
    EXPECT_EQ(h.Opts.FillSpace[1], 20);
}

TEST(TextCommandsTest, CalculatedTableKeepsCellsWithoutAnAnswer) {
    TFakeHost h;
    TTextCommandState state;
    h.Load("品名\t1+2\r\nx\t2*3\r\n");
    h.SelectLines(0, 1);
    EXPECT_TRUE(RunTextAction("ActionTableCalc", h, state));
    // Answers stand without their surrounding blanks; an error answer is written as it is.
    const auto answer = [&h](std::string_view cell) {
        std::string a = U(h.CalcCell(cell));
        a.erase(0, a.find_first_not_of(' '));
        a.erase(a.find_last_not_of(' ') + 1);
        return a;
    };
    const std::string three = answer("3");
    const std::string missing = answer("x");
    ASSERT_FALSE(three.empty());
    ASSERT_EQ(missing.front(), '[');
    EXPECT_EQ(Text(h.Editor), "品名\t" + three + "\n" + missing + "\t" + answer("6") + "\n");
    EXPECT_TRUE(h.Editor.Undo());
    EXPECT_EQ(Text(h.Editor), "品名\t1+2\nx\t2*3\n");
    EXPECT_FALSE(h.Editor.CanUndo());
    // The memo must have the focus.
    h.Focused = false;
    h.SelectLines(0, 1);
    EXPECT_FALSE(RunTextAction("ActionTableCalc", h, state));
}

TEST(TextCommandsTest, AlignmentChoiceIsTheModeOfLaterConversions) {
    TFakeHost h;
    TTextCommandState state;
    h.Load("a\tbbb\r\nz");
    h.SelectLines(0, 0);
    EXPECT_TRUE(RunTextAction("ActionTableAlignRight", h, state));
    EXPECT_EQ(state.Mode, TTableAlign::taRight);
    EXPECT_EQ(Text(h.Editor), " a　 bbb\nz");
    h.SelectLines(0, 0);
    EXPECT_TRUE(RunTextAction("ActionTableKei", h, state));
    EXPECT_EQ(Text(h.Editor), "│ a│ bbb│\nz");
}

TEST(TextCommandsTest, LineBreakCommandsEmptyTheAnswersWithoutAutoCalculation) {
    TFakeHost h;
    TTextCommandState state;
    h.Opts.CalcAuto = false;
    h.Load("a\tb\r\nz");
    h.SelectLines(0, 0);
    EXPECT_TRUE(RunTextAction("ActionChangeTabCR", h, state));
    EXPECT_EQ(Text(h.Editor), "a\nb\nz");
    EXPECT_EQ(h.Cleared, 1);
    EXPECT_FALSE(RunTextAction("ActionNoSuchThing", h, state));
}

TEST(TextCommandsTest, EveryActionHasACategoryAndIsKnown) {
    for (const TTextAction& a : TextActions()) {
        EXPECT_NE(
            std::find(TextActionCategories().begin(), TextActionCategories().end(), a.Category),
            TextActionCategories().end())
            << a.Name;
        EXPECT_EQ(FindTextAction(a.Name), &a);
    }
    // The 64 text and table commands and the four line-break commands of 行(&R).
    EXPECT_EQ(TextActions().size(), 68u);
}

}  // namespace
}  // namespace rekna
