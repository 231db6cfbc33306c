// Tests of variables and user-defined functions across lines, memory clear and the listings.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/vt_calc.h"
#include "numbers/calc_error.h"
#include "platform/cp932.h"
#include "support/number_guard.h"
#include "support/print_cplx.h"

namespace rekna {
namespace {

TCplx Q(long double num, long double den = 1) {
    return TCplx(TFrac(num, den));
}

// Runs the lines in order as a memo run does (commit, storeAns, keepData on) and returns the
// result of the last one.
TCplx Lines(TVtCalc& calc, const std::vector<std::string>& lines) {
    for (const auto& line : lines)
        calc.CalcLine(SysText(line), true, true, true);
    return calc.LastResult();
}

class VariablesTest : public ::testing::Test {
protected:
    test::TNumberGuard Guard;
    TVtCalc Calc;
};

TEST_F(VariablesTest, MemoryClearRegistersTheBuiltInNames) {
    EXPECT_EQ(Lines(Calc, {"pi"}).Re.Value(), std::numbers::pi_v<long double>);
    EXPECT_EQ(Lines(Calc, {"e"}), TCplx(TFrac(271828182845904512.0L, 1e17L)));
    EXPECT_EQ(Lines(Calc, {"F"}), Q(1));
    EXPECT_EQ(Lines(Calc, {"i^2"}), Q(-1));
    EXPECT_EQ(Lines(Calc, {"j*j"}), Q(-1));
    const char* first[] = {"ans", "ave", "c", "count", "e", "eo", "f", "g", "h", "i", "j", "k"};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(Calc.VarItem(i).Name, first[i]) << i;
    EXPECT_EQ(Calc.VarCount(), 31);
    EXPECT_EQ(Calc.VarItem(1000).Name, "ans");  // outside the table: item 0
}

TEST_F(VariablesTest, AssignmentsCarryAcrossLines) {
    EXPECT_EQ(Lines(Calc, {"a=2", "b=a*3", "a+b"}), Q(8));
    EXPECT_EQ(Lines(Calc, {"e=5", "e"}), Q(5));
    EXPECT_EQ(Lines(Calc, {"E(1)"}).Re.Value(), std::exp(1.0L));
    EXPECT_EQ(Lines(Calc, {"Pi=3", "pi"}), Q(3));
    EXPECT_EQ(Lines(Calc, {"Pi()"}).Re.Value(), std::numbers::pi_v<long double>);
    // A trial calculation changes nothing.
    Calc.CalcLine("a=100", false, true, true);
    EXPECT_EQ(Calc.LastResult(), Q(100));
    EXPECT_EQ(Lines(Calc, {"a"}), Q(2));
    // Names are case-insensitive.
    EXPECT_EQ(Lines(Calc, {"Width=3", "WIDTH*width"}), Q(9));
    // A name assigned in the line is a variable for the rest of the line.
    EXPECT_EQ(Lines(Calc, {"(q1=4)+q1"}), Q(8));
}

TEST_F(VariablesTest, WriteProtectedVariablesKeepTheirValue) {
    Lines(Calc, {"x=1"});
    Calc.Vars().Mark("x", vfProtected);
    EXPECT_EQ(Lines(Calc, {"x=5"}), Q(5));  // the assignment still yields its value
    EXPECT_EQ(Lines(Calc, {"x"}), Q(1));
    EXPECT_EQ(Calc.SetVar("x", TFrac(9), TFrac(), 0, true), -1);
    Calc.ReduceMemoFormulas("y", false);
    EXPECT_EQ(Lines(Calc, {"y=5", "y"}), Q(0));
}

TEST_F(VariablesTest, ErrorMarkOnAnsAndVariables) {
    Calc.CalcLine("1/0", true, true, true);
    EXPECT_EQ(Cp932ToUtf8(Calc.AnswerText()), "[0による割算]");
    EXPECT_TRUE(Calc.LastResult().IsErrorMark());
    Calc.CalcLine("Ans+1", true, true, true);
    EXPECT_EQ(Cp932ToUtf8(Calc.AnswerText()), "[エラー変数]");
    EXPECT_EQ(CalcErr, TCalcErr::ceErrorVar);
    TFrac re, im;
    EXPECT_EQ(Calc.GetVar("ans", re, im), 3);
    EXPECT_EQ(Cp932ToUtf8(Calc.VarLine(0)), "ans\t＝  [Err]");
    // Assigning clears the mark.
    Calc.CalcLine("ans=2", true, true, true);
    EXPECT_EQ(Lines(Calc, {"Ans+1"}), Q(3));
    // An undefined name alone is error 8 and leaves Ans alone.
    Calc.CalcLine("nosuchname", true, true, true);
    EXPECT_EQ(CalcErr, TCalcErr::ceUndefinedVar);
    EXPECT_EQ(Lines(Calc, {"Ans"}), Q(3));
    // No assignment happens after a failing step, also when the failure is a floating-point
    // overflow found only by its flag.
    Lines(Calc, {"y=5"});
    Calc.CalcLine("y=exp(20000)*2", true, true, true);
    EXPECT_EQ(CalcErr, TCalcErr::ceOverflow);
    EXPECT_EQ(Lines(Calc, {"y"}), Q(5));
    // Unknown names inside an expression count as 0.
    EXPECT_EQ(Lines(Calc, {"nosuchname+4"}), Q(4));
    EXPECT_EQ(Calc.GetVar("nosuchname", re, im), -1);
}

TEST_F(VariablesTest, UserFunctions) {
    EXPECT_EQ(Lines(Calc, {"#F2(a, b)=a-b", "F2(5, 3)"}), Q(2));
    EXPECT_EQ(Lines(Calc, {"F2(5)"}), Q(5));
    // Variables in a body take their values at call time.
    EXPECT_EQ(Lines(Calc, {"k0=2", "#G(x)=x*k0", "G(5)"}), Q(10));
    EXPECT_EQ(Lines(Calc, {"k0=3", "G(5)"}), Q(15));
    // A function calling an earlier one.
    EXPECT_EQ(Lines(Calc, {"#H(x)=G(x)+1", "H(2)"}), Q(7));
    // Redefinition replaces the body and keeps the number.
    const int before = Calc.FuncCount();
    EXPECT_EQ(Lines(Calc, {"#G(x)=x+100", "G(1)", "H(1)"}), Q(102));
    EXPECT_EQ(Calc.FuncCount(), before);
    // Overriding a built-in function, until memory clear.
    EXPECT_EQ(Lines(Calc, {"#Sqr(X)=X^2", "Sqr(4)"}), Q(16));
    Calc.Clear();
    EXPECT_EQ(Lines(Calc, {"Sqr(4)"}), Q(2));
    EXPECT_EQ(Calc.FuncCount(), 0);
}

TEST_F(VariablesTest, DefinitionsSeeOnlyEarlierFunctions) {
    // H2 names G2, which does not exist yet: inside H2 it is an unknown name (0).
    Lines(Calc, {"#H2(x)=G2(x)+1", "#G2(x)=x*10"});
    EXPECT_EQ(Lines(Calc, {"H2(3)"}), Q(1));
    EXPECT_EQ(Lines(Calc, {"G2(3)"}), Q(30));
    // A definition cannot call itself.
    EXPECT_EQ(Lines(Calc, {"#R(x)=R(x)+1", "R(2)"}), Q(1));
    // Redefining H2 after G2 exists still sees only what came before H2's first definition.
    EXPECT_EQ(Lines(Calc, {"#H2(x)=G2(x)+2", "H2(3)"}), Q(2));
}

TEST_F(VariablesTest, DeepAndExplosiveChainsEnd) {
    std::vector<std::string> lines = {"#F0(x)=x+1"};
    for (int k = 1; k <= 300; ++k) {
        lines.push_back("#F" + std::to_string(k) + "(x)=F" + std::to_string(k - 1) + "(x)+1");
    }
    lines.push_back("F300(0)");
    EXPECT_EQ(Lines(Calc, lines), Q(301));
    // Every level doubles the work: the evaluation stops with an error instead of hanging.
    lines = {"#D0(x)=x"};
    for (int k = 1; k <= 60; ++k) {
        lines.push_back("#D" + std::to_string(k) + "(x)=D" + std::to_string(k - 1) + "(x)+D" +
                        std::to_string(k - 1) + "(x)");
    }
    lines.push_back("D60(1)");
    Lines(Calc, lines);
    EXPECT_EQ(CalcErr, TCalcErr::ceMath);
    EXPECT_EQ(Lines(Calc, {"D10(1)"}), Q(1024));
}

TEST_F(VariablesTest, DefinitionLinesAndEvents) {
    std::vector<std::string> added;
    Calc.OnAddUserFunc = [&](TVtCalc&, const std::string& name) { added.push_back(name); };
    int cleared = 0;
    Calc.OnClear = [&](TVtCalc&) { ++cleared; };
    EXPECT_FALSE(Calc.CalcLine("#Sqr(X)=X^2", true, true, true));
    EXPECT_EQ(Cp932ToUtf8(Calc.Data()), "[ユーザー定義関数]");
    EXPECT_EQ(Calc.AnswerText(), "#Sqr(X)=X^2");
    EXPECT_EQ(Calc.FuncLine(0), "Sqr(X)=(X^2)");
    EXPECT_EQ(Calc.FuncLineByName("sqr"), "Sqr(X)=(X^2)");
    Calc.CalcLine("#Sqr(X)=X^3", true, true, true);  // a redefinition fires nothing
    EXPECT_EQ(Cp932ToUtf8(Calc.Data()), "[ユーザー定義関数]");
    Calc.CalcLine("#Cube(y)=Sqr(y)", true, true, true);
    ASSERT_EQ(added.size(), 2U);
    EXPECT_EQ(added[0], "sqr");
    EXPECT_EQ(added[1], "cube");
    EXPECT_EQ(Calc.FuncLineByName("sqr", "cube"), "Sqr(X)=(X^3)");
    EXPECT_EQ(Calc.FuncLineByName("cube", "sqr"), "");
    // Memory clear from inside a calculation does nothing.
    Calc.OnAddUserFunc = [&](TVtCalc& sender, const std::string&) { sender.Clear(); };
    Calc.CalcLine("#Late(z)=z", true, true, true);
    EXPECT_EQ(Calc.FuncCount(), 3);
    EXPECT_EQ(cleared, 0);
    Calc.Clear();
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(Calc.FuncCount(), 0);
    // "#F()=1" is no definition: a control line.
    EXPECT_FALSE(Calc.CalcLine("#F()=1", true, true, true));
    EXPECT_EQ(Cp932ToUtf8(Calc.Data()), "[制御コード]");
}

TEST_F(VariablesTest, CallByNameAndReadName) {
    Lines(Calc, {"#Twice(x)=2*x"});
    EXPECT_EQ(Calc.CallByName("TWICE", 4, 0), Q(8));
    EXPECT_EQ(Calc.CallByName("pi", 2, 0).Re.Value(), 2 * std::numbers::pi_v<long double>);
    EXPECT_EQ(Calc.CallByName("sqrt", 9, 0), Q(3));
    EXPECT_EQ(Calc.CallByName("nothing", 9, 0), Q(0));
    EXPECT_EQ(Calc.ReadName("1+Abc_1.x*2", 3), "abc_1.x");
    EXPECT_EQ(Calc.ReadName(SysText("2πr"), 2), SysText("πr"));
    EXPECT_EQ(Calc.ReadName("2+3", 2), "");
    EXPECT_EQ(Calc.ReadName("abc", 9), "");
}

TEST_F(VariablesTest, VariableIdsStayValidWhenNamesAreAdded) {
    Lines(Calc, {"zz=1"});
    ASSERT_TRUE(Calc.Compile("zz+1", false));
    const TCalcList compiled = Calc.Compiled();
    Lines(Calc, {"aa=100", "ab=200", "zy=300"});  // sort before and around zz
    ASSERT_TRUE(Calc.RunCompiled(true, false, &compiled));
    EXPECT_EQ(Calc.LastResult(), Q(2));
}

}  // namespace
}  // namespace rekna
