// Tests of the frame's decisions over three line stores: memo changes with and without
// auto-calculation, options through SetCalcMode, the calc bar and hints, the log pane, clearing,
// definitions and the document title.
#include "frame/frame_calc_core.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/store/umemo_strings.h"
#include "engine/vt_calc.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

class TTestView : public TFrameView {
public:
    bool MemoFocused() const override { return Memo; }
    bool AnswerFocused() const override { return Answer; }
    bool MemoModified() const override { return Modified; }
    void ShowLogEnd() override { ++LogEnds; }
    bool Memo = true;
    bool Answer = false;
    bool Modified = false;
    int LogEnds = 0;
};

class FrameCoreTest : public ::testing::Test {
protected:
    FrameCoreTest() {
        Core.SetMemoMode();
        Core.SetCalcMode();
    }
    void Load(const std::vector<std::string>& lines, int caret = 0) {
        std::string text;
        for (const auto& l : lines)
            text += SysText(l) + "\r\n";
        Memo.LoadBytes(text, false);
        Memo.Selection().Caret = {1, caret};
        Memo.SetChangedRange(caret, caret);
    }
    // A typed edit: the row's text changes and the memo tells the frame.
    void Type(int row, const std::string& text) {
        Memo.SetLine(row, SysText(text));
        Memo.Selection().Caret = {1, row};
        Memo.SetChangedRange(row, row);
        Core.MemoChanged();
    }
    std::vector<std::string> Answers() const {
        std::vector<std::string> out;
        for (int r = 0; r < AnswerRows.GetCount(); ++r)
            out.push_back(Cp932ToUtf8(AnswerRows.Get(r)));
        return out;
    }
    std::vector<std::string> LogLines() const {
        std::vector<std::string> out;
        for (int r = 0; r < LogRows.GetCount(); ++r)
            out.push_back(Cp932ToUtf8(LogRows.Get(r)));
        return out;
    }

    test::TNumberGuard Guard;
    TUMemoStrings Memo, AnswerRows, LogRows;
    TVtCalc Calc;
    TTestView View;
    TFrameCalcCore Core{Memo, AnswerRows, LogRows, Calc, View};
};

using TStrings = std::vector<std::string>;

TEST_F(FrameCoreTest, EditsRecalculateEveryLineWithAutoCalculation) {
    Load({"a=2", "a*3", "; note"});
    Type(0, "a=5");
    EXPECT_EQ(Answers(), (TStrings{"5", "15", ""}));
    // Without auto-calculation the pane keeps the stored answers beside their lines.
    Core.Options().CalcAuto = false;
    Core.SetCalcMode();
    EXPECT_EQ(Answers(), (TStrings{"", "", ""}));
    Core.RunCommand(TRunCommand::rcRun);
    Memo.Insert(0, "7*7");
    Memo.SetChangedRange(0, 0);
    Core.MemoChanged();
    EXPECT_EQ(Answers(), (TStrings{"", "5", "15", ""}));
    EXPECT_TRUE(Core.NeedBarUpdate() == false);
}

TEST_F(FrameCoreTest, TogglingAnOptionChangesTheAnswers) {
    Load({"1/0", "#foo", "255"});
    Core.SetCalcMode();
    EXPECT_EQ(Answers(), (TStrings{"", "", "255"}));
    Core.Options().ShowErrors = true;
    Core.SetCalcMode();
    EXPECT_EQ(Answers(), (TStrings{"[0による割算]", "", "255"}));
    Core.Options().ShowControl = true;
    Core.Options().Format = TAnsFormat::afN16;
    Core.SetCalcMode();
    EXPECT_EQ(Answers()[1], "#foo");
    EXPECT_EQ(Answers()[2].substr(0, 3), "$FF");
}

TEST_F(FrameCoreTest, DigitKeysOfTheAnswerPaneSetTheDigits) {
    Core.Options().Format = TAnsFormat::afFix;
    Load({"1/3"});
    Core.SetCalcMode();
    EXPECT_EQ(Answers(), (TStrings{" 0.33333"}));
    EXPECT_TRUE(Core.AnswerDigitKey('2', false));
    EXPECT_EQ(Calc.AnsLength(), 2);
    EXPECT_EQ(Answers(), (TStrings{" 0.33"}));
    EXPECT_FALSE(Core.AnswerDigitKey('q', false));
}

TEST_F(FrameCoreTest, TheCalcBarShowsTheCaretLine) {
    Load({"2+3", "x=4"}, 0);
    Core.SetCalcMode();
    Core.MemoMovedCaretRow();
    // The label's format at design: Japanese digit groups, formatted anew from the value.
    EXPECT_EQ(Core.CalcBarText(), "2+3 =  5");
    EXPECT_EQ(Core.LabelText(), " 5");
    EXPECT_EQ(Cp932ToUtf8(Core.MemoHint()), "[1/2行:1/3桁] 2+3 =  5");
    EXPECT_EQ(Cp932ToUtf8(Core.AnswerHint()), "[1行] 2+3 =  5");
    EXPECT_EQ(Core.LogPaneHint(), "|2+3 =  5");
    Core.Options().CalcBarChoice = TCalcBarChoice::cbSet;
    Core.Options().WindowCalcEQ = true;
    Core.SetCalcMode();
    Memo.Selection().Caret = {3, 1};
    Core.MemoMovedCaretRow();
    EXPECT_EQ(Core.LabelText(), "x=4 = 4");
    EXPECT_EQ(Cp932ToUtf8(Core.MemoHint()), "[2/2行:3/3桁] x=4 = 4");
    // An empty memo.
    Memo.Clear();
    Core.MemoChanged();
    EXPECT_EQ(Cp932ToUtf8(Core.MemoHint()), "[1/0行:1/0桁] ");
    EXPECT_EQ(Core.LabelText(), "");
}

TEST_F(FrameCoreTest, ASelectionIsSummed) {
    Core.Options().WindowLog = true;
    Load({"1", "2", "3", "x"});
    Core.SetCalcMode();
    Memo.BeginEdit(false);
    Memo.Selection().SelectRows(Memo, 0, 2);
    Memo.EndEdit(false);
    Core.MemoSelected();
    EXPECT_EQ(Cp932ToUtf8(Core.CalcBarText()), "3行合計= 6 平均= 2 標準偏差= 0.816496580927726033");
    EXPECT_EQ(Cp932ToUtf8(Core.MemoHint()).substr(0, 19), "[3/4行:9/12文字]");
    ASSERT_GE(LogRows.GetCount(), 6);
    EXPECT_EQ(Cp932ToUtf8(LogRows.Get(LogRows.GetCount() - 1)),
              "  標準偏差 ＝ 0.816496580927726033  [母集団]");
    EXPECT_EQ(View.LogEnds, 1);
}

TEST_F(FrameCoreTest, TheLogPaneFollowsTheCaretAndItsContentMode) {
    Core.Options().WindowLog = true;
    Load({"2+3", "q=7"});
    Core.SetWindow();
    Core.SetCalcMode();
    EXPECT_EQ(LogLines(), (TStrings{"2+3", "＝ 5"}));
    Memo.Selection().Caret = {1, 1};
    Core.MemoMovedCaretRow();
    EXPECT_EQ(LogLines()[0], "q=7");
    // Rows that did not change are not written again.
    for (int r = 0; r < LogRows.GetCount(); ++r)
        LogRows.SetRowMark(r, TRowMark::rmNone);
    Core.ShowLogPane(LogRows.Get(0) + "\r\n" + SysText("＝ 8") + "\r\n");
    EXPECT_EQ(LogRows.RowMark(0), TRowMark::rmNone);
    EXPECT_NE(LogRows.RowMark(1), TRowMark::rmNone);
    // The variable list, and the file type of a script log.
    Core.Options().LogContent = TLogContent::lcVariables;
    Core.SetWindow();
    EXPECT_EQ(LogRows.GetCount(), Calc.VarCount());
    Core.Options().LogContent = TLogContent::lcCalcLog;
    Core.ShowLogPane("[VBScript]\r\nx = 1\r\n");
    EXPECT_EQ(Core.LogFileType(), TFileType::ftVBScript);
    Core.ShowLogPane("1+1\r\n");
    EXPECT_EQ(Core.LogFileType(), TFileType::ftRekna);
    // A hidden log pane is emptied.
    Core.Options().WindowLog = false;
    Core.SetWindow();
    EXPECT_EQ(LogRows.GetCount(), 0);
}

TEST_F(FrameCoreTest, LogPoliciesOnCaretMoves) {
    Core.Options().WindowLog = true;
    Core.Options().LogPolicy = TLogPolicy::lpNone;
    Load({"1+1", "2+2"});
    Core.SetCalcMode();  // the caret line's log comes with the run
    EXPECT_EQ(LogLines()[0], "1+1");
    Memo.Selection().Caret = {1, 1};
    Core.MemoMovedCaretRow();
    EXPECT_EQ(LogLines()[0], "1+1");  // nothing kept, nothing recalculated
    Core.Options().LogPolicy = TLogPolicy::lpCalcCaret;
    Core.MemoMovedCaretRow();
    EXPECT_EQ(LogLines()[0], "2+2");
}

TEST_F(FrameCoreTest, ClearingAndDefinitions) {
    int menus = 0;
    Core.OnChangeMenus = [&menus] { ++menus; };
    std::vector<std::string> keywords;
    Core.OnAddKeyword = [&keywords](const std::string& name) { keywords.push_back(name); };
    Core.SetDefText(SysText("#Half(x)=x/2 [半分]\r\nlimit=8\r\n"));
    Core.RerunDefinitions();
    EXPECT_EQ(menus, 1);
    ASSERT_EQ(Core.UserFuncMenu().size(), 1U);
    EXPECT_EQ(keywords, (TStrings{"half"}));
    Load({"z=Half(limit)", "z+1"});
    Core.SetCalcMode();
    EXPECT_EQ(Answers(), (TStrings{"4", "5"}));
    Core.MemoryClear();
    EXPECT_EQ(Answers(), (TStrings{"", ""}));
    EXPECT_EQ(Memo.Result(1), "");
    EXPECT_EQ(Memo.GetCount(), 2);
    Core.RunCommand(TRunCommand::rcRun);
    EXPECT_EQ(Answers(), (TStrings{"4", "5"}));  // the definitions came back
    Core.AllClear();
    EXPECT_EQ(Memo.GetCount(), 0);
    EXPECT_EQ(AnswerRows.GetCount(), 0);
    EXPECT_EQ(Core.FileName(), "New");
    EXPECT_EQ(Core.Title(), "New");
}

TEST_F(FrameCoreTest, TheTitleFollowsTheDocument) {
    int titles = 0;
    Core.OnChangeTitle = [&titles] { ++titles; };
    Load({"1"});
    Core.DocumentOpened("/tmp/dir/memo.txt", false, true);
    EXPECT_EQ(Core.Title(), "memo.txt");
    View.Modified = true;
    Type(0, "2");
    EXPECT_EQ(Core.Title(), "memo.txt *");
    EXPECT_TRUE(Core.SaveEnabled());
    Core.DocumentSaved("/tmp/dir/other.txt");
    EXPECT_EQ(Core.Title(), "other.txt");
    EXPECT_FALSE(Core.SaveEnabled());
    EXPECT_EQ(titles, 3);
}

TEST_F(FrameCoreTest, TheAnswerPaneLeadsWhileItHasTheFocus) {
    Load({"1", "2", "3"});
    Core.SetCalcMode();
    View.Memo = false;
    View.Answer = true;
    AnswerRows.Selection().Caret = {1, 2};
    Core.AnswerMovedCaretRow();
    EXPECT_EQ(Memo.Selection().Caret.Y, 2);
    EXPECT_EQ(Core.LabelText(), " 3");
}

TEST_F(FrameCoreTest, DownArrowLeavesAFinishedLastLine) {
    EXPECT_TRUE(Core.PrepareDownArrow());  // an empty memo gets two rows
    EXPECT_EQ(Memo.GetCount(), 2);
    EXPECT_FALSE(Core.PrepareDownArrow());  // caret on row 0
    Memo.SetLine(1, "5");
    Memo.Selection().Caret = {2, 1};
    EXPECT_TRUE(Core.PrepareDownArrow());
    EXPECT_EQ(Memo.GetCount(), 3);
    Memo.Selection().Caret = {1, 2};
    EXPECT_FALSE(Core.PrepareDownArrow());  // the last row is empty
}

TEST_F(FrameCoreTest, TheLogHintDescribesTheTokenUnderTheMouse) {
    Core.Options().WindowLog = true;
    Load({"r=4.7k", "r*2"}, 1);
    Core.SetCalcMode();
    ASSERT_EQ(LogLines()[0], "r*2");
    const auto hint = Core.LogHint(0, 1);
    ASSERT_TRUE(hint.has_value());
    EXPECT_EQ(Cp932ToUtf8(*hint), "[変数] r = 4700|r*2");
    EXPECT_FALSE(Core.LogHint(0, 1).has_value());  // the same cell: nothing new
    EXPECT_EQ(Cp932ToUtf8(*Core.LogHint(0, 2)), "[演算子] * : 掛け算(M)|r*2");
    EXPECT_EQ(*Core.LogHint(0, 9), "|r*2");
    Core.Options().LogHint = false;
    EXPECT_EQ(*Core.LogHint(0, 1), "");
}

}  // namespace
}  // namespace rekna
