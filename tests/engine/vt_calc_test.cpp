// Tests of the engine component: line kinds, Data, answer texts, directives, statistics lines,
// the answer variable and the property setters.
#include "engine/vt_calc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/statistics.h"
#include "numbers/calc_error.h"
#include "platform/cp932.h"
#include "support/number_guard.h"
#include "support/print_cplx.h"

namespace rekna {
namespace {

class VtCalcTest : public ::testing::Test {
protected:
    // Calculates a line as a memo run does and returns its answer text in UTF-8.
    std::string Answer(const std::string& line, bool commit = true, bool keepData = true) {
        Ok = Calc.CalcLine(SysText(line), commit, true, keepData);
        return Cp932ToUtf8(Calc.AnswerText());
    }
    std::string Data() const { return Cp932ToUtf8(Calc.Data()); }

    test::TNumberGuard Guard;
    TVtCalc Calc;
    bool Ok = false;
};

TEST_F(VtCalcTest, LineKindsGiveTheirDataAndAnswers) {
    struct TCase {
        const char* Line;
        bool Ok;
        std::string Answer;
        const char* Data;
    };
    const TCase cases[] = {
        {"1+2 ;sum", true, " 3.00000 ", "1+2"},
        {"-5+1", true, "-4.00000 ", "{-5}+1"},
        {"x=5", true, " 5.00000 ", "x?=5"},
        {"x=5", true, " 5.00000 ", "x=5"},
        {"2*(3+4) [a comment]", true, " 14.0000 ", "2*(3+4)"},
        {";only a comment", false, "", ""},
        {"", false, "", ""},
        {"#", false, "", ""},
        {"#foo", false, "#foo", "[制御コード]"},
        {"#Sqr(X)=X^2", false, "#Sqr(X)=X^2", "[ユーザー定義関数]"},
        {"1/0", false, "[0による割算]", "1/0"},
        {"undefined_name", false, "[未定義変数]", "undefined_name?"},
        {"1E", false, "[数値入力範囲外]", "[数値入力範囲外]"},
        {"2x", true, " 2.00000 ", "2"},
        {"3 apples ;fruit", true, " 3.00000 ", "3"},
        {"#N2", true, "&11." + std::string(62, '0'), "ans #N2"},
        {"1/4 #N2", true, "&0.01" + std::string(63, '0'), "1/4 #N2"},
        {"7 #Fix #Eng", true, " 7.00000", "7 #Eng#Fix"},
        {"7 #Eng #Fix", true, " 7.00000", "7 #Eng#Fix"},
        {"(1+2i)(1-2i)", true, " 5.00000 ", "(1+2i)･(1-2i)"},
        {"2+3i #j", true, " 2.00000  + 3.00000j", "2+3i #j"},
        {"1.5k*2", true, " 3.00000k", "1.5k*2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Answer(c.Line), c.Answer) << c.Line;
        EXPECT_EQ(Ok, c.Ok) << c.Line;
        EXPECT_EQ(Data(), c.Data) << c.Line;
    }
    // With keepData off, Data keeps the raw text.
    Answer("1+2 ;sum", true, false);
    EXPECT_EQ(Data(), "1+2 ;sum");
}

TEST_F(VtCalcTest, DirectivesActOnTheirLineOnly) {
    EXPECT_EQ(Answer("1/3 #N2").substr(0, 6), "&0.010");
    EXPECT_EQ(Answer("1/3"), " 0.333333");
    EXPECT_EQ(Answer("1/30"), " 33.3333m");
    Calc.SetAnsFormat(TAnsFormat::afFix);
    EXPECT_EQ(Answer("1/30 #Eng"), " 33.3333m");
    EXPECT_EQ(Answer("1/30"), " 0.0333333");
    EXPECT_EQ(Answer("1/3"), " 0.333333");
    // #End gives the line the property settings.
    EXPECT_EQ(Answer("1/3 #N2 #End"), " 0.333333");
    EXPECT_EQ(NumberSettings.AnsFormat, TAnsFormat::afFix);
}

TEST_F(VtCalcTest, CommitOffIsATrial) {
    Answer("x=5");
    EXPECT_EQ(Answer("x=7", false), " 7.00000 ");
    EXPECT_EQ(Answer("x"), " 5.00000 ");
    Answer("x=7");
    EXPECT_EQ(Answer("x"), " 7.00000 ");
}

TEST_F(VtCalcTest, StatisticsDataLines) {
    Answer("Data()");
    EXPECT_EQ(Answer(">10"), " 10.0000 \t;Data1");
    EXPECT_EQ(Answer(">20"), " 20.0000 \t;Data2");
    EXPECT_EQ(Answer(">5", false), " 5.00000 \t;Data2");  // a trial adds nothing
    EXPECT_EQ(Answer("Ave()"), " 15.0000 ");
    EXPECT_EQ(Answer("count"), " 2.00000 ");
    EXPECT_EQ(Answer("var"), " 50.0000 ");
    EXPECT_EQ(Answer("End()"), " 2.00000 ");
    EXPECT_EQ(Answer(">30"), " 30.0000 ");
    EXPECT_EQ(Statistics.Count, 2);
    // Memory clear empties the data but keeps the mode; a run of the memo formulas stops it.
    Answer("Data()");
    Answer(">1");
    Calc.Clear();
    EXPECT_EQ(Statistics.Count, 0);
    EXPECT_TRUE(Statistics.Active);
    Calc.RunMemoFormulas();
    EXPECT_FALSE(Statistics.Active);
}

TEST_F(VtCalcTest, AnswerVariableRules) {
    Answer("6*7");
    EXPECT_EQ(Answer("Ans+1"), " 43.0000 ");
    EXPECT_EQ(Answer("*2"), " 86.0000 ");
    EXPECT_EQ(Answer("#Fix"), " 86.0000");
    Answer("1/0");
    EXPECT_TRUE(Calc.LastResult().IsErrorMark());
    EXPECT_EQ(Calc.AnsRe(), 0.0L);
    EXPECT_EQ(Answer("Ans+1"), "[エラー変数]");
    // storeAns off leaves Ans alone.
    Calc.SetAns(TCplx(3.0L), false);
    Calc.CalcLine("100", true, false, true);
    EXPECT_EQ(Answer("Ans"), " 3.00000 ");
    // AnsRe and AnsIm keep the parts; a line that fails to compile leaves them.
    Answer("1.5+2i");
    EXPECT_EQ(Calc.AnsRe(), 1.5L);
    EXPECT_EQ(Calc.AnsIm(), 2.0L);
    Answer(";nothing");
    EXPECT_EQ(Calc.AnsRe(), 1.5L);
    EXPECT_TRUE(Calc.LastResult().IsBlank());
}

TEST_F(VtCalcTest, PropertySetters) {
    Calc.SetAnsLength(40);
    EXPECT_EQ(Calc.AnsLength(), 18);
    Calc.SetAnsLength(-40);
    EXPECT_EQ(Calc.AnsLength(), -17);
    Calc.SetAnsColN2(-3);
    EXPECT_EQ(Calc.AnsColN2(), 0);
    Calc.SetUsrFormat("abc#,##0.00xyz");
    EXPECT_EQ(Calc.UsrFormat(), "#,##0.00");
    Calc.SetUsrFormat(SysText("0.0\"円/kg\"z;-0.0'x\"y'"));
    EXPECT_EQ(Cp932ToUtf8(Calc.UsrFormat()), "0.0\"円/kg\";-0.0'x\"y'");
    Calc.SetUsrFormat("xyz");
    EXPECT_EQ(Cp932ToUtf8(Calc.UsrFormat()), "0.0\"円/kg\";-0.0'x\"y'");
    // Without a script language, scripting cannot be switched on.
    Calc.SetScriptEnabled(true);
    EXPECT_FALSE(Calc.ScriptEnabled());
    EXPECT_FALSE(Calc.ExecuteBlock("x = 1", 0));
}

TEST_F(VtCalcTest, ListingsAndValueTexts) {
    Answer("k2=1/3");
    const int id = Calc.Vars().Find("k2");
    ASSERT_GE(id, 0);
    EXPECT_EQ(Calc.VarValueText("k2"), "0.333333333333333333");
    NumberSettings.LogFrac = true;
    EXPECT_EQ(Calc.VarValueText("k2"), "{0.5/1.5}");
    NumberSettings.LogFrac = false;
    EXPECT_EQ(Calc.VarValueText("nothere"), "");
    EXPECT_EQ(Calc.ConstValueText("c"), "299792458");
    EXPECT_EQ(Calc.ConstValueText("nothere"), "");
    bool listed = false;
    for (int i = 0; i < Calc.VarCount(); ++i) {
        if (Calc.VarItem(i).Name != "k2") continue;
        EXPECT_EQ(Cp932ToUtf8(Calc.VarLine(i)), "k2\t＝  0.333333");
        listed = true;
    }
    EXPECT_TRUE(listed);
}

TEST_F(VtCalcTest, MemoFormulasAreReducedToWhatTheGraphUses) {
    Answer("a=0");
    Answer("b=0");
    Answer("y=0");
    Answer("x=0");
    for (const char* line : {"a=2", "b=3", "y=a*x"}) {
        ASSERT_TRUE(Calc.Compile(line, true));
        Calc.MemoFormulas().push_back(Calc.Compiled());
    }
    Calc.Vars().Mark("y", vfGraph);
    Calc.ReduceMemoFormulas("x", true);
    EXPECT_EQ(Calc.RenderMemoFormulas(), "a=2\r\ny=a*x\r\n");
    // x is write-protected now: a memo line cannot overwrite the graph's value.
    Calc.Vars().SetById(Calc.Vars().Find("x"), TCplx(4.0L), false);
    Answer("x=5");
    Calc.RunMemoFormulas();
    EXPECT_EQ(Answer("y"), " 8.00000 ");
}

// A formula stays when a chain of assignments, Ans or the frequency F carries its result into a
// graph variable; a line that assigns a variable already carried is carried itself.
TEST_F(VtCalcTest, MemoFormulasKeepEveryChainIntoAGraphVariable) {
    struct TCase {
        std::vector<const char*> Lines;
        std::vector<const char*> Graph;
        const char* Kept;
    };
    const TCase cases[] = {
        {{"a=1", "b=a+1", "c=5", "y=b*x", "z=c"}, {"y"}, "a=1|b=a+1|y=b*x|"},
        {{"a=2", "3*a", "y=ans*x", "7", "w=ans"}, {"y"}, "a=2|3*a|y=ans*x|"},
        {{"a=2", "a*3", "5", "y=ans"}, {"y"}, "5|y=ans|"},
        {{"f=1k", "r=zL(1m)", "y=r*x", "g=2"}, {"y"}, "f=1000|r=zL(0.001)|y=r*x|"},
        {{"a=1", "a=2", "y=a*x"}, {"y"}, "a=1|a=2|y=a*x|"},
        {{"p=1", "y=p*x", "q=2", "y2=q", "t=y"}, {"y", "y2"}, "p=1|y=p*x|q=2|y2=q|"},
        {{"y=x*2", "t=y", "u=t"}, {"y"}, "y=x*2|"},
        {{"t=1", "u=t", "v=u", "y=v"}, {"y"}, "t=1|u=t|v=u|y=v|"},
    };
    for (const TCase& c : cases) {
        TVtCalc calc;
        for (const char* name :
             {"a", "b", "c", "f", "g", "p", "q", "r", "t", "u", "v", "w", "x", "y", "y2", "z"})
            calc.CalcLine(SysText(std::string(name) + "=0"), true, true, true);
        for (const char* line : c.Lines) {
            ASSERT_TRUE(calc.Compile(SysText(line), true)) << line;
            calc.MemoFormulas().push_back(calc.Compiled());
        }
        for (const char* name : c.Graph)
            calc.Vars().Mark(name, vfGraph);
        calc.ReduceMemoFormulas("x", true);
        std::string kept = Cp932ToUtf8(calc.RenderMemoFormulas());
        for (std::size_t at = kept.find("\r\n"); at != std::string::npos; at = kept.find("\r\n"))
            kept.replace(at, 2, "|");
        EXPECT_EQ(kept, c.Kept) << c.Lines.front();
    }
}

}  // namespace
}  // namespace rekna
