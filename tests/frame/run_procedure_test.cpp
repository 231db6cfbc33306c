// Tests of the run procedure over a memo and an answer pane: ranges, stored results, wrapped
// lines, Ans rules, answer filters, script blocks and the definitions file.
#include "frame/run_procedure.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <stdexcept>

#include <memory>
#include <string>
#include <vector>

#include "editor/store/umemo_strings.h"
#include "engine/log_pack.h"
#include "engine/vt_calc.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

// A script language that records what it is given and answers with a fixed value.
class TFakeScript : public TScriptHost {
public:
    explicit TFakeScript(std::vector<std::string>& blocks) : FBlocks(blocks) {}
    TScriptOutcome ExecuteBlock(std::string_view text, int firstLine, bool log) override {
        FBlocks.push_back(std::to_string(firstLine) + ":" + std::string(text));
        TScriptOutcome o = Outcome("42");
        if (log) o.Log = {"[VBScript]", "block log"};
        return o;
    }
    TScriptOutcome EvaluateExpression(std::string_view text, int line, bool) override {
        FBlocks.push_back("?" + std::to_string(line) + ":" + std::string(text));
        return Outcome("7");
    }
    void ResetHost() override {}
    bool Running() const override { return false; }
    TScriptFailure Error;

private:
    TScriptOutcome Outcome(const std::string& answer) const {
        TScriptOutcome o;
        o.Ok = !Error.Raised;
        o.Data = "[VBScript]";
        o.Answer = answer;
        o.Value = TCplx(std::stold(answer));
        o.Failure = Error;
        return o;
    }
    std::vector<std::string>& FBlocks;
};

class RunProcedureTest : public ::testing::Test {
protected:
    RunProcedureTest() {
        Memo.SetCplxEnable(true);
        ApplyFrameDesign(Calc);
        Options.ApplyToEngine(Calc);
    }

    void Load(const std::vector<std::string>& lines, int caretRow = 0) {
        std::string text;
        for (const auto& l : lines)
            text += SysText(l) + "\r\n";
        Memo.LoadBytes(text, false);
        Memo.Selection().Caret = {1, caretRow};
        Memo.SetChangedRange(caretRow, caretRow);
    }
    std::vector<std::string> AnswerColumn() const {
        std::vector<std::string> out;
        for (int r = 0; r < Answers.GetCount(); ++r)
            out.push_back(Cp932ToUtf8(Answers.Get(r)));
        return out;
    }
    std::string Stored(int row) const { return Cp932ToUtf8(Memo.Result(row)); }

    test::TNumberGuard Guard;
    TUMemoStrings Memo;
    TUMemoStrings Answers;
    TVtCalc Calc;
    TCalcOptions Options;
    TRunProcedure Run{Memo, Answers, Calc, Options};
};

using TStrings = std::vector<std::string>;

TEST_F(RunProcedureTest, RunAllStoresResultsBesideTheirLines) {
    Load({"1+2", "; note", "x=4", "x*x", "", "1/0", "#foo"});
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn(), (TStrings{"3", "", "4", "16", "", "", ""}));
    EXPECT_EQ(Stored(5), "[0による割算]");  // stored unfiltered
    EXPECT_EQ(Cp932ToUtf8(Memo.Note(3)), "x*x");
    EXPECT_EQ(Memo.Value(3), TCplx(16.0L));
    EXPECT_TRUE(Memo.Value(1).IsBlank());
    // Inserting a line without recalculating keeps every answer beside its own line.
    Memo.Insert(0, "9*9");
    Run.RefreshAnswerRows(0, Memo.GetCount() - 1);
    EXPECT_EQ(AnswerColumn(), (TStrings{"", "3", "", "4", "16", "", "", ""}));
}

TEST_F(RunProcedureTest, FiltersShowErrorsAndControlEchoes) {
    Options.ShowErrors = true;
    Options.ShowControl = true;
    Load({"1/0", "#foo", "#Sq(x)=x*x", "Sq(3)"});
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn(), (TStrings{"[0による割算]", "#foo", "#Sq(x)=x*x", "9"}));
}

TEST_F(RunProcedureTest, WrappedLinesAnswerOnTheirLastRow) {
    Memo.SetWrapColumns(10);
    Load({"1+2+3+4+5+6+7+8+9", "2*3"});
    ASSERT_GT(Memo.GetCount(), 2);
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    const int last = Memo.LastRowOfLine(0);
    for (int r = 0; r < last; ++r)
        EXPECT_EQ(Cp932ToUtf8(Answers.Get(r)), "") << r;
    EXPECT_EQ(Cp932ToUtf8(Answers.Get(last)), "45");
    EXPECT_EQ(Cp932ToUtf8(Answers.Get(last + 1)), "6");
    EXPECT_EQ(Answers.GetCount(), Memo.GetCount());
}

TEST_F(RunProcedureTest, RangesOfTheRunCommands) {
    Load({"a=1", "a+10", "a+20", "a+30"}, 2);
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    Memo.Put(0, "a=5");
    Run.CalcRows(true, false, TCalcRangeKind::rkToCaret);
    EXPECT_EQ(AnswerColumn(), (TStrings{"5", "15", "25", "31"}));
    Memo.Put(0, "a=7");
    Memo.SetChangedRange(2, 2);
    Run.CalcRows(true, false, TCalcRangeKind::rkCaretRows);  // row 2 only: a is still 5
    EXPECT_EQ(AnswerColumn(), (TStrings{"5", "15", "25", "31"}));
    Run.CalcRows(true, false, TCalcRangeKind::rkFromCaret);
    EXPECT_EQ(AnswerColumn(), (TStrings{"5", "15", "25", "35"}));
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn(), (TStrings{"7", "17", "27", "37"}));
}

TEST_F(RunProcedureTest, AllEquivalentRunsAssignmentsAboveTheCaret) {
    Load({"a=2", "3+4", "a*10"}, 2);
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    Memo.Put(0, "a=5");
    Memo.Put(1, "3+5");
    Memo.SetChangedRange(2, 2);
    Run.CalcRows(true, false, TCalcRangeKind::rkAllEquivalent);
    // The assignment ran again but keeps its stored answer; the plain line above did not run.
    EXPECT_EQ(AnswerColumn(), (TStrings{"2", "7", "50"}));
}

TEST_F(RunProcedureTest, AnsComesFromTheRowAbove) {
    Load({"6*7", "; a comment", "Ans+1", "Ans*2"});
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn(), (TStrings{"42", "", "43", "86"}));
    // A run of the caret rows starts from the answer of the row above the range.
    Memo.SetChangedRange(3, 3);
    Memo.Selection().Caret = {1, 3};
    Run.CalcRows(true, false, TCalcRangeKind::rkCaretRows);
    EXPECT_EQ(AnswerColumn().back(), "86");
    // The first line of a memo has no answer above it.
    Options.ShowErrors = true;
    Load({"Ans+1"});
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn(), (TStrings{"[エラー変数]"}));
}

TEST_F(RunProcedureTest, TheCaretLineIsCapturedWithItsLog) {
    Load({"1+1", "2+3", "4"}, 1);
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    ASSERT_TRUE(Run.Captured().Captured);
    // The answer "5" repeats the last step and is dropped.
    EXPECT_EQ(Cp932ToUtf8(Run.Captured().Log), "2+3\r\n＝ 5\r\n");
    EXPECT_EQ(Run.Captured().Data, "2+3");
    EXPECT_EQ(Cp932ToUtf8(Run.GetCaretLog()), "2+3\r\n＝ 5\r\n");
    // The answer-writing hook gets the caret line's answer.
    std::vector<std::string> written;
    Run.OnWriteAnswer = [&](int row, const std::string& a) {
        written.push_back(std::to_string(row) + a);
    };
    Run.CalcRows(true, true, TCalcRangeKind::rkAll);
    EXPECT_EQ(written, (TStrings{"15"}));
    written.clear();
    Run.CalcRows(true, true, TCalcRangeKind::rkWriteAll);
    EXPECT_EQ(written, (TStrings{"02", "15", "24"}));
}

TEST_F(RunProcedureTest, ASecondRunDuringARunReturnsAtOnce) {
    Load({"1+1"});
    int begins = 0, ends = 0;
    Run.OnBeginCalc = [&] {
        ++begins;
        Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    };
    Run.OnEndCalc = [&] { ++ends; };
    Run.EscPressed = true;
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(Run.Running());
    EXPECT_FALSE(Run.EscPressed);
    TUMemoStrings empty;
    TRunProcedure none(empty, Answers, Calc, Options);
    none.CalcRows(true, false, TCalcRangeKind::rkAll);  // an empty memo: nothing happens
}

TEST_F(RunProcedureTest, AFailingEndEventIsSaidAndTheRunStillEnds) {
    std::vector<std::string> said;
    Run.OnFailure = [&](const std::string& text) { said.push_back(text); };
    Run.OnEndCalc = [] { throw std::runtime_error("end event"); };
    for (const bool incremental : {true, false}) {
        Run.Incremental = incremental;
        Load({"1+1"});
        Run.EscPressed = true;
        Run.CalcRows(true, false, TCalcRangeKind::rkAll);
        EXPECT_FALSE(Run.Running());
        EXPECT_FALSE(Run.EscPressed);
        EXPECT_EQ(AnswerColumn(), (TStrings{"2"}));
    }
    EXPECT_EQ(said, (TStrings(2, "計算を中断しました: end event")));
    EXPECT_EQ(Run.LastFailure(), said.back());
}

TEST_F(RunProcedureTest, AStreamKeepsNoVariableForTheNamesItOnlyReads) {
    // rekna-calc streams a memo: names read once (or assigned without a commit) leave nothing
    // behind, so memory does not grow with them; assigned names are variables, kept.
    Run.BeginStream();
    const int before = Calc.VarCount();
    const char* reads[] = {"n%d*2+1", "x=n%d+1", "n%d(2)", "[c]n%d:3", "sin(n%d)"};
    char line[64];
    for (int i = 0; i < 2000; ++i) {
        std::snprintf(line, sizeof line, reads[i % std::size(reads)], i);
        (void)Run.StreamLine(line, nullptr);
        std::snprintf(line, sizeof line, "m%d=1", i);
        Calc.CalcLine(line, false, true, false);
    }
    EXPECT_EQ(Calc.VarCount(), before + 1);  // x only
}

TEST_F(RunProcedureTest, ScriptLinesWithoutScriptingAreNoCalculationLines) {
    Load({"#> x = 1", "#? 1+1", "2+2"});
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn(), (TStrings{"", "", "4"}));
    EXPECT_EQ(Answers.Result(0), "VB");
    EXPECT_EQ(Answers.Result(2), "");
}

TEST_F(RunProcedureTest, AScriptBlockRunsWholeFromItsLastRow) {
    std::vector<std::string> blocks;
    Calc.SetScriptHost(std::make_unique<TFakeScript>(blocks));
    Calc.SetScriptEnabled(true);
    ASSERT_TRUE(Calc.ScriptEnabled());
    Load({"1", "#> a = 1", "#> b = 2", "#> c = 3", "5"}, 2);
    Memo.SetChangedRange(2, 2);
    Run.CalcRows(true, false, TCalcRangeKind::rkCaretRows);
    EXPECT_EQ(blocks, (TStrings{"1: a = 1\r\n b = 2\r\n c = 3"}));
    EXPECT_EQ(AnswerColumn()[1], "");
    EXPECT_EQ(AnswerColumn()[2], "");
    EXPECT_EQ(AnswerColumn()[3], "42");
    Load({"#? 1+1"});
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn(), (TStrings{"7"}));
}

TEST_F(RunProcedureTest, AScriptErrorMarksItsLine) {
    std::vector<std::string> blocks;
    auto script = std::make_unique<TFakeScript>(blocks);
    TFakeScript& host = *script;
    Calc.SetScriptHost(std::move(script));
    Calc.SetScriptEnabled(true);
    Options.ShowErrors = true;
    std::vector<std::string> lines(10, "1");
    for (const char* l : {"#> a = 1", "#> b = ", "#> c = 3", "7"})
        lines.push_back(l);
    Load(lines, 12);
    host.Error = {true, 1, "syntax"};
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn()[11], "[syntax]");
    EXPECT_EQ(Memo.Note(11), "[VBScript] #Error");
    EXPECT_TRUE(Memo.Value(11).IsBlank());
    EXPECT_EQ(AnswerColumn()[12], "42");
    EXPECT_EQ(AnswerColumn()[13], "7");
    // An error line past the block marks the block's last row.
    host.Error = {true, 9, "late"};
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn()[12], "[late]");
    // The block's own row keeps the script's log.
    Options.LogPolicy = TLogPolicy::lpHold;
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn()[12], "[late]");
    EXPECT_NE(UnpackLog(Memo.Log(12)).find("block log"), std::string::npos);
}

TEST_F(RunProcedureTest, ScriptLinesCountLogicalLinesOfAWrappedMemo) {
    std::vector<std::string> blocks;
    auto script = std::make_unique<TFakeScript>(blocks);
    TFakeScript& host = *script;
    Calc.SetScriptHost(std::move(script));
    Calc.SetScriptEnabled(true);
    Options.ShowErrors = true;
    Memo.SetWrapColumns(10);
    // Line 0 wraps onto three rows; the block's second line onto two.
    Load({"1+2+3+4+5+6+7+8+9+10+11", "#> a = 1", "#> b = 2 + 3 + 4 + 5", "#> c = 3",
          "#? 1 + 2 + 3 + 4 + 5"});
    std::vector<int> last;  // the last display row of each logical line
    for (int r = 0; r < Memo.GetCount(); ++r)
        if (!Memo.Continued(r)) last.push_back(r);
    ASSERT_EQ(last.size(), 5U);
    ASSERT_GT(last[2], last[1] + 1);  // the wrapped lines wrap
    host.Error = {true, 1, "syntax"};
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    ASSERT_EQ(blocks.size(), 2U);
    EXPECT_EQ(blocks[0].substr(0, 2), "1:");
    EXPECT_EQ(blocks[1].substr(0, 3), "?4:");
    // The failing second line of the block answers on its own last row.
    EXPECT_EQ(AnswerColumn()[last[2]], "[syntax]");
    EXPECT_EQ(AnswerColumn()[last[3]], "42");
    // Scripts address answers by logical line: line 3 is the block's second line.
    Run.SetScriptAnswer(3, "1\r\n2");
    EXPECT_EQ(Stored(last[2]), "1\r\n2");
    EXPECT_EQ(AnswerColumn()[last[2]], "1↓2");
    EXPECT_EQ(Run.ScriptAnswer(3), "1\r\n2");
    EXPECT_EQ(Run.ScriptAnswer(1), "66");
    EXPECT_EQ(Run.ScriptAnswer(9), "");
}

TEST_F(RunProcedureTest, AnExpressionLineTakesItsNewAnswer) {
    std::vector<std::string> blocks;
    Calc.SetScriptHost(std::make_unique<TFakeScript>(blocks));
    Calc.SetScriptEnabled(true);
    Load({"#? 1+1"});
    Answers.Add("stale");
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn(), (TStrings{"7"}));
    EXPECT_EQ(Answers.Result(0), "VB");
}

TEST_F(RunProcedureTest, DefinitionsFileDefinesFunctionsAndTheMenu) {
    // ソ (0x83 0x5D) and ー (0x81 0x5B) carry "]" and "[" as trail bytes.
    std::string def = SysText("#Sq(x)=x*x [ソース二乗]\r\nlimit=10\r\n");
    std::vector<TUserFuncMenuItem> menu;
    Run.RerunDefinitions(def, menu);
    ASSERT_EQ(menu.size(), 1U);
    EXPECT_EQ(Cp932ToUtf8(menu[0].Caption), "Sq(x) : ソース二乗");
    Load({"Sq(3)+limit"});
    Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(AnswerColumn(), (TStrings{"19"}));
    std::string nothing = "; only a comment\r\n\r\n";
    Run.RerunDefinitions(nothing, menu);
    EXPECT_EQ(nothing, "");
    EXPECT_TRUE(menu.empty());
}

}  // namespace
}  // namespace rekna
