// Tests of the host of script lines: the rewriting of the memo's notations, the object "Rekna"
// with its dispatch rules, and the answers, errors and logs of blocks and expressions.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/vt_calc.h"
#include "platform/cp932.h"
#include "script/host/rekna_object.h"
#include "script/host/script_number.h"
#include "script/host/script_rewrite.h"
#include "script/host/script_site.h"
#include "script/runtime/script_interpreter.h"

namespace rekna {
namespace {

std::string U(std::string_view cp932) {
    return Cp932ToUtf8(cp932);
}
std::string S(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

TEST(ScriptRewriteTest, NotationsBecomeCallsOfRekna) {
    struct TRow {
        const char* In;
        const char* Out;
    };
    const TRow rows[] = {
        {"x = @a", "x = Rekna.Var(\"a\")"},
        {"x = @@b", "x = Rekna.VarC(\"b\")"},
        {"x = @f()", "x = Rekna.Func(\"f\",1)"},
        {"x = @f(2, @a)+1", "x = Rekna.Func(\"f\",2, Rekna.Var(\"a\"))+1"},
        {"x = @@f(z)", "x = Rekna.FuncC(\"f\",z)"},
        {"x = @@(1+2)", "x = Rekna.CalcC(\"1+2\")"},
        {"x = @(s=\"a\")", "x = Rekna.Calc(\"s=\"\"a\"\"\")"},
        {"x = @長さ*2", "x = Rekna.Var(\"長さ\")*2"},
        {"s = \"@a?\" & @a", "s = \"@a?\" & Rekna.Var(\"a\")"},
        {"x = 5?", "x = 5: Rekna.Ans(3)=\"x = \" & x"},
        {"?x*2", "Rekna.Ans(3)=x*2"},
        {"a = 1 : b = 2?", "a = 1 : b = 2: Rekna.Ans(3)=\"b = \" & b"},
        {"Call f(a, b)?", "Call f(a, b): Rekna.Ans(3)=\"f(a, b) = \" & f(a, b)"},
        {"?", ""},
        {"x=1 ' ratio 1:2", "x=1 "},
        {"Rem a:b", ""},
        {"x=1 : Rem a:b", "x=1 :"},
        {"For i=0 To 5", "For i=0 To 5 : Rekna.EscStop"},
        {"Do : Loop", "Do  : Rekna.EscStop: Loop"},
        {"  while x < 3", "  while x < 3 : Rekna.EscStop"},
        {"Function f(x)", "Function f(x) : Rekna.EscStop"},
        {"Sub s : x = 1", "Sub s  : Rekna.EscStop: x = 1"},
        {"format = 1", "format = 1"},
        {"done = @a", "done = Rekna.Var(\"a\")"},
        {"x = \"ソ\" & \"表\"", "x = \"ソ\" & \"表\""},
    };
    for (const TRow& r : rows)
        EXPECT_EQ(U(RewriteScriptLine(S(r.In), 3)), r.Out) << r.In;
    EXPECT_EQ(RewriteScriptLine("?x", 3, false), "Rekna.Ans(3)=x");
    EXPECT_EQ(RewriteScriptLine("Do", 3, false), "Do");
    EXPECT_EQ(RewriteScriptBlock("a=1\r\nb=2?\nc=3?", 5),
              "a=1\r\nb=2: Rekna.Ans(6)=\"b = \" & b\r\nc=3: Rekna.Ans(7)=\"c = \" & c");
    // A loop's first statement continued over lines gets its Esc check where it ends.
    EXPECT_EQ(RewriteScriptBlock("For i = 1 To _\n  3\nx = _\n  For_1\nNext", 1),
              "For i = 1 To _\r\n  3 : Rekna.EscStop\r\nx = _\r\n  For_1\r\nNext");
    EXPECT_EQ(RewriteScriptBlock("Do While a And _\n b : n = 1\nLoop", 1),
              "Do While a And _\r\n b  : Rekna.EscStop: n = 1\r\nLoop");
}

// A memo of answers by line and a desk that records the status bar.
struct TDeskProbe {
    std::map<int, std::string> Answers;
    std::vector<std::string> Status;
    int EscAfter = -1;  // EscDown answers true from this many calls on
    int EscCalls = 0;
    int Events = 0;

    TScriptDesk Desk() {
        TScriptDesk d;
        d.ExePath = "/opt/rekna/";
        d.FileName = [] { return std::string("/home/u/memo.txt"); };
        d.GetAnswer = [this](int line) { return Answers.count(line) ? Answers[line] : ""; };
        d.SetAnswer = [this](int line, const std::string& t) { Answers[line] = t; };
        d.ShowStatus = [this](const std::string& t) { Status.push_back(U(t)); };
        d.ProcessEvents = [this] { ++Events; };
        d.EscDown = [this] { return EscAfter >= 0 && ++EscCalls > EscAfter; };
        return d;
    }
};

class ScriptSiteTest : public ::testing::Test {
protected:
    ScriptSiteTest() : Site(InstallScriptHost(Calc, Probe.Desk())) { Calc.SetScriptEnabled(true); }

    std::string Eval(std::string_view text, int line = 0) {
        Calc.EvaluateExpression(S(text), line);
        return U(Calc.AnswerText());
    }
    std::string Exec(std::string_view text, int firstLine = 0) {
        Calc.ExecuteBlock(S(text), firstLine);
        return U(Calc.AnswerText());
    }
    long double Var(std::string_view name) {
        TFrac re, im;
        return Calc.GetVar(name, re, im) >= 0 ? re.Value() : -999;
    }

    TDeskProbe Probe;
    TVtCalc Calc;
    TpsvActiveScriptSite& Site;
};

TEST_F(ScriptSiteTest, ExpressionsAnswerAndReadAsNumbers) {
    EXPECT_EQ(Eval("1+2"), "3");
    EXPECT_EQ(Calc.LastResult(), TCplx(3.0L));
    EXPECT_EQ(U(Calc.Data()), "[VBScript] 1+2");
    Calc.CalcLine("Ans*2", true, true, true);
    EXPECT_EQ(Calc.LastResult(), TCplx(6.0L));
    Calc.CalcLine("a=1.5", true, true, true);
    Calc.CalcLine("b=1+2i", true, true, true);
    EXPECT_EQ(Eval("@a*2"), "3");
    EXPECT_EQ(Eval("@@b"), "[配列(0..1)]");
    EXPECT_TRUE(Calc.LastResult().IsBlank());
    EXPECT_EQ(Eval("\"a\" & vbLf & \"b\""), "a\r\nb");
    EXPECT_TRUE(Calc.LastResult().IsBlank());
    EXPECT_EQ(Eval("@(2*k=4)"), "8");
    EXPECT_EQ(Var("k"), 4.0L);  // an assignment inside Calc takes effect
    EXPECT_EQ(Eval("\"abc\""), "abc");
    const std::string failed = Eval("1/0");
    EXPECT_EQ(failed.front(), '[');
    EXPECT_TRUE(Calc.LastScriptError().Raised);
    EXPECT_EQ(Eval("CreateObject(\"WScript.Shell\")").front(), '[');
    // Scripting off: nothing runs.
    Calc.SetScriptEnabled(false);
    EXPECT_FALSE(Calc.EvaluateExpression("1+2", 0));
    EXPECT_EQ(Calc.AnswerText(), "");
}

TEST_F(ScriptSiteTest, BlocksAnswerOkOrErrorAndWriteAnswersByLine) {
    EXPECT_EQ(Exec("x = @(2*3)\r\ny = x?", 4), "#OK");
    EXPECT_EQ(U(Calc.Data()), "[VBScript]");
    EXPECT_EQ(Probe.Answers[6], "y = 6");
    EXPECT_EQ(Exec("Rekna.Ans(2) = Array(1, 2)\r\nRekna.Ans(3) = Rekna.Ans(2) & \"!\""), "#OK");
    EXPECT_EQ(U(Probe.Answers[2]), "[配列(0..1)]");
    EXPECT_EQ(U(Probe.Answers[3]), "[配列(0..1)]!");
    // The error names the block's failing line.
    EXPECT_EQ(Exec("a = 1\r\nb = (\r\nc = 3"), "#Error");
    EXPECT_TRUE(Calc.LastScriptError().Raised);
    EXPECT_EQ(Calc.LastScriptError().Line, 1);
    EXPECT_EQ(Exec("x = Rekna.Foo"), "#Error");
    EXPECT_EQ(Exec("   "), "");
    // Variables and procedures stay until the host is reset.
    Exec("Function Twice(v)\r\nTwice = 2 * v\r\nEnd Function");
    EXPECT_EQ(Eval("Twice(4)"), "8");
    Calc.ResetHost();
    EXPECT_EQ(Eval("Twice(4)").front(), '[');
}

TEST_F(ScriptSiteTest, TheLogFollowsTheCalculationsOfTheScript) {
    Calc.LogEnable = true;
    Exec("x = Rekna.Calc(\"1+1\")\r\ny = (");
    const std::string log = U(Calc.LogText());
    EXPECT_NE(
        log.find("[VBScript]\r\nx = Rekna.Calc(\"1+1\")\r\ny = (\r\n#Error\r\n#ErrLineNo = 1\r\n"
                 "#ErrCharNo = "),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("#ErrSource = y = (\r\n#ErrDescription= "), std::string::npos) << log;
    Eval("1+");
    EXPECT_NE(U(Calc.LogText()).find("#ErrSourceLine = 1+"), std::string::npos);
    Calc.LogEnable = false;
    Exec("x = 1");
    EXPECT_EQ(Calc.LogText(), "");
}

TEST_F(ScriptSiteTest, NumbersReachTheMemoAsTheirShortestDecimals) {
    const auto exact = [](const char* text) { return ReadScriptNumber(text).value(); };
    EXPECT_EQ(Exec("Rekna.Var(\"p\") = 0.1\r\n@q = 0.1 + 0.2\r\n@r = 1 / 3"), "#OK");
    Calc.CalcLine("p*10", true, true, true);
    EXPECT_EQ(Calc.LastResult(), TCplx(1.0L));
    Calc.CalcLine("q", true, true, true);
    EXPECT_EQ(Calc.LastResult(), exact("0.30000000000000004"));
    Calc.CalcLine("r*3", true, true, true);
    EXPECT_EQ(Calc.LastResult(), exact("0.9999999999999999"));
    EXPECT_EQ(Exec("Rekna.Ans(4) = 0.1 + 0.2\r\nRekna.Ans(5) = 1E+20\r\nRekna.Ans(6) = CSng(0.1)"),
              "#OK");
    EXPECT_EQ(Probe.Answers[4], "0.30000000000000004");
    EXPECT_EQ(Probe.Answers[5], "1E+20");
    EXPECT_EQ(Probe.Answers[6], "0.1");
    EXPECT_EQ(Eval("0.1 * 3"), "0.30000000000000004");
    EXPECT_EQ(Calc.LastResult(), exact("0.30000000000000004"));
    EXPECT_EQ(Eval("123456789012345"), "123456789012345");
    EXPECT_EQ(Exec("@y = Rekna.Calc(\"0.1+0.2\")"), "#OK");
    Calc.CalcLine("y", true, true, true);
    EXPECT_EQ(Calc.LastResult(), exact("0.3"));
}

TEST_F(ScriptSiteTest, ErrorsShowInJapanese) {
    EXPECT_EQ(Eval("1 / 0"), "[0 で除算しました。]");
    EXPECT_EQ(Exec("x = 1\r\nErr.Raise vbObjectError + 513, \"MyApp\", \"Custom failure\""),
              "#Error");
    EXPECT_EQ(Calc.LastScriptError().Message, "Custom failure");
    EXPECT_EQ(Calc.LastScriptError().Line, 1);
    EXPECT_EQ(Eval("CreateObject(\"WScript.Shell\")"),
              "[ActiveX コンポーネントはオブジェクトを作成できません。: 'WScript.Shell']");
}

TEST_F(ScriptSiteTest, MembersReachTheCalculationAndTheDesk) {
    Calc.CalcLine("#sq(x)=x*x", true, true, true);
    Calc.CalcLine("1/4", true, true, true);
    const std::string quarter = U(Calc.AnswerText());
    EXPECT_EQ(Exec("Rekna.Var(\"k\") = \"2.5\"\r\nRekna.VarC(\"z\") = Array(1, \"-2\")"), "#OK");
    EXPECT_EQ(Var("k"), 2.5L);
    TFrac re, im;
    ASSERT_GE(Calc.GetVar("z", re, im), 0);
    EXPECT_EQ(TCplx(re, im), TCplx(1.0L, -2.0L));
    EXPECT_EQ(Eval("Rekna.Func(\"sq\", 3) + Rekna.Func(\"sqrt\", 16)"), "13");
    EXPECT_EQ(Eval("Rekna.FuncC(\"sq\", Array(0, 1))(0)"), "-1");
    EXPECT_EQ(Eval("Rekna.CalcS(\"1/4\")"), quarter);
    EXPECT_EQ(Eval("Rekna.CalcC(\"3+4i\")(1)"), "4");
    EXPECT_EQ(Eval("Rekna.Var(\"nothing\")"), "0");
    Exec("Rekna.ClipBoard = \"copied\"");
    EXPECT_EQ(Eval("Rekna.ClipBoard"), "copied");
    EXPECT_EQ(Eval("Rekna.ExePath & \"|\" & Rekna.FileName"), "/opt/rekna/|/home/u/memo.txt");
    Probe.Answers[9] = "kept";
    EXPECT_EQ(Eval("Rekna.Ans(9) & Rekna.Ans(10)"), "kept");
    EXPECT_EQ(Exec("Rekna.Sleep -5\r\nRekna.Sleep 1"), "#OK");
}

TEST_F(ScriptSiteTest, EscAndQuitStopTheScript) {
    Probe.EscAfter = 3;
    EXPECT_EQ(Exec("Do : Loop"), "#Error");
    EXPECT_EQ(Calc.LastScriptError().Message, "EscStop");
    EXPECT_EQ(Calc.LastScriptError().Line, 0);
    ASSERT_FALSE(Probe.Status.empty());
    // The key is looked at once per clock tick and poll, so the count of passes varies.
    const std::string stopped = "EscキーでVBScriptを中断しました : ";
    EXPECT_EQ(Probe.Status.back().substr(0, stopped.size()), stopped);
    EXPECT_GE(std::stoi(Probe.Status.back().substr(stopped.size())), 1);
    EXPECT_EQ(Probe.Status.front(), "VBScript実行中(Escキーで中断します) : 1");
    // On Error Resume Next does not hide the stop; a long sleep ends on Esc.
    Probe.EscCalls = 0;
    EXPECT_EQ(Exec("On Error Resume Next\r\nRekna.Sleep 1e12\r\nDo\r\nLoop"), "#Error");
    EXPECT_EQ(Calc.LastScriptError().Message, "EscStop");
    Probe.EscAfter = -1;
    EXPECT_EQ(Exec("x = 1\r\nRekna.Quit\r\nx = 2"), "#Error");
    EXPECT_EQ(Calc.LastScriptError().Message, "Quit");
    EXPECT_EQ(Probe.Status.back(), "QuitでVBScriptを中断しました");
    // A loop the rewriting does not see still stops.
    Probe.EscAfter = 0;
    Probe.EscCalls = 0;
    EXPECT_EQ(Exec("x = 0 : Do While True : x = x + 1 : Loop"), "#Error");
    EXPECT_EQ(Calc.LastScriptError().Message, "EscStop");
}

TEST(ReknaObjectTest, DispatchRulesAndResultCodes) {
    TVtCalc calc;
    TScriptDesk desk;
    TScriptRunState state;
    TEObj obj(calc, desk, state);
    constexpr std::uint8_t M = ifMethod, G = ifPropertyGet, P = ifPropertyPut;
    struct TRow {
        int Id;
        std::uint8_t Flags;
        int Args;
        std::uint32_t Result;
    };
    const TRow rows[] = {
        {emCalc, M, 1, drOk},
        {emCalc, M | G, 1, drOk},
        {emCalc, G, 1, drMemberNotFound},
        {emCalc, M, 2, drBadParamCount},
        {emVar, G, 1, drOk},
        {emVar, M | G, 1, drOk},
        {emVar, P, 2, drOk},
        {emVar, P | M, 2, drMemberNotFound},
        {emVar, P, 1, drBadParamCount},
        {emVarC, M, 1, drMemberNotFound},
        {emFunc, M, 1, drBadParamCount},
        {emFunc, M, 3, drOk},
        {emEscStop, M, 0, drOk},
        {emEscStop, M, 1, drBadParamCount},
        {emClipBoard, P, 1, drOk},
        {emClipBoard, G, 0, drOk},
        {emExePath, P, 1, drMemberNotFound},
        {emFileName, G, 0, drOk},
        {emAns, G, 1, drOk},
        {emAns, G, 0, drBadParamCount},
        {emAns, P, 2, drOk},
        {emSleep, M, 1, drOk},
        {emSleep, M | G, 1, drMemberNotFound},
        {emQuit, M, 0, drOverflow},
        {0, M, 0, drMemberNotFound},
        {15, M, 0, drMemberNotFound},
    };
    for (const TRow& r : rows) {
        std::vector<TVariant> args(static_cast<std::size_t>(r.Args), TVariant::String("1"));
        TVariant result;
        EXPECT_EQ(obj.Dispatch(r.Id, r.Flags, args, result), r.Result)
            << r.Id << " " << int(r.Flags) << " " << r.Args;
    }
    std::vector<int> ids;
    EXPECT_EQ(obj.GetIDsOfNames({"CALC"}, ids), drOk);
    EXPECT_EQ(ids, std::vector<int>{emCalc});
    EXPECT_EQ(obj.GetIDsOfNames({"ExePath"}, ids), drOk);
    EXPECT_EQ(ids, std::vector<int>{emExePath});
    EXPECT_EQ(obj.GetIDsOfNames({"Foo"}, ids), drUnknownName);
    EXPECT_EQ(ids, std::vector<int>{-1});
    EXPECT_EQ(obj.GetIDsOfNames({"Calc", "Var"}, ids), drUnknownName);
    EXPECT_EQ(obj.GetIDsOfNames({}, ids), drInvalidArg);
    unsigned count = 9;
    EXPECT_EQ(TEObj::GetTypeInfoCount(count), drOk);
    EXPECT_EQ(count, 0U);
    EXPECT_EQ(TEObj::GetTypeInfo(), drNotImpl);
}

}  // namespace
}  // namespace rekna
