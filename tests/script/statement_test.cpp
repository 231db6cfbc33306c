// Tests of the statements: declarations, assignments, branches, loops, procedures and errors.
#include <gtest/gtest.h>

#include <vector>

#include "platform/cp932.h"
#include "script_run.h"

namespace rekna {
namespace {

TEST(ScriptStatement, HelpTextLoop) {
    ExpectScriptRows({
        {"S=\"\"\nFor i=0 to 5\n  S=S & i & \"A \"\nNext", "S", "String 0A 1A 2A 3A 4A 5A "},
    });
}

TEST(ScriptStatement, VariablesAndArrays) {
    ExpectScriptRows({
        {"x = 5", "x", "Integer 5"},
        {"Dim x, y : x = 1 : y = x + 1", "y", "Integer 2"},
        {"Dim a(3) : a(3) = 7", "a(3)", "Integer 7"},
        {"Dim a(3)", "UBound(a)", "Long 3"},
        {"Dim a(3) : a(4) = 1", "0", "Err 9"},
        {"Dim a(2, 3) : a(1, 2) = \"x\"", "a(1, 2) & UBound(a, 2)", "String x3"},
        {"Dim a(2, 3) : a(1) = 1", "0", "Err 9"},
        {"Dim a() : ReDim a(2) : a(2) = 9", "a(2)", "Integer 9"},
        {"Dim a() : ReDim a(1) : a(0) = 4 : ReDim Preserve a(5)", "a(0) & UBound(a)", "String 45"},
        {"Dim a() : ReDim a(1) : a(0) = 4 : ReDim a(5)", "IsEmpty(a(0))", "Boolean True"},
        {"ReDim a(1, 1) : a(0, 1) = 3 : ReDim Preserve a(1, 4)", "a(0, 1)", "Integer 3"},
        {"ReDim a(1, 1) : ReDim Preserve a(2, 1)", "0", "Err 9"},
        {"Dim a(3) : ReDim a(5)", "0", "Err 10"},
        {"Dim a(2) : a(1) = 5 : Erase a", "IsEmpty(a(1)) And UBound(a) = 2", "Boolean True"},
        {"Dim a() : ReDim a(2) : Erase a", "UBound(a)", "Err 9"},
        {"a = Array(1, 2) : b = a : b(0) = 9", "a(0) & b(0)", "String 19"},
        {"a = Array(Array(1, 2), 3)", "a(0)(1)", "Integer 2"},
        {"a = Array(Array(1, 2), 3) : a(0)(1) = 7", "a(0)(1)", "Integer 7"},
        {"Const k = 3", "k * 2", "Integer 6"},
        {"Const k = 3 : k = 4", "0", "Err 501"},
        {"Option Explicit\nDim a : a = 1", "a", "Integer 1"},
        {"Option Explicit\nb = 1", "0", "Err 500"},
        {"Set o = Nothing", "o Is Nothing", "Boolean True"},
        {"Set o = 1", "0", "Err 424"},
        {"x = 1 + _\n  2", "x", "Integer 3"},
        {"x = 1 ' comment\nRem another\ny = 2 : Rem more", "x + y", "Integer 3"},
        {"[my var] = 4", "[MY VAR]", "Integer 4"},
        {"X = 1 : x = x + 1", "X", "Integer 2"},
    });
}

TEST(ScriptStatement, Branches) {
    ExpectScriptRows({
        {"x = 2\nIf x = 1 Then\n y = \"a\"\nElseIf x = 2 Then\n y = \"b\"\nElse\n y = \"c\"\nEnd "
         "If",
         "y", "String b"},
        {"x = 3\nIf x = 1 Then\n y = \"a\"\nElse\n y = \"c\"\nEnd If", "y", "String c"},
        {"If 1 > 2 Then y = 1 Else y = 2 : z = 3", "y & z", "String 23"},
        {"If 1 < 2 Then y = 1 : z = 3 Else y = 2", "y & z", "String 13"},
        {"If Null Then y = 1 Else y = 2", "y", "Integer 2"},
        {"If \"True\" Then y = 1", "y", "Integer 1"},
        {"If 1 Then If 0 Then y = 1 Else y = 2", "y", "Integer 2"},
        {"x = 5\nSelect Case x\nCase 1, 2\n y = \"a\"\nCase 3 To 6\n y = \"b\"\nCase Else\n y = "
         "\"c\"\nEnd Select",
         "y", "String b"},
        {"x = 9\nSelect Case x\nCase 1\n y = \"a\"\nCase Is > 8\n y = \"b\"\nEnd Select", "y",
         "String b"},
        {"x = 0\nSelect Case x\nCase 1\n y = \"a\"\nCase Else\n y = \"c\"\nEnd Select", "y",
         "String c"},
        {"x = \"b\"\nSelect Case x\nCase \"a\", \"b\": y = 1\nEnd Select", "y", "Integer 1"},
        {"x = 4\nSelect Case x\nCase 1: y = 1\nEnd Select", "IsEmpty(y)", "Boolean True"},
    });
}

TEST(ScriptStatement, Loops) {
    ExpectScriptRows({
        {"For i = 1 To 10 : s = s + i : Next", "s & \",\" & i", "String 55,11"},
        {"For i = 10 To 1 Step -3 : s = s & i : Next", "s", "String 10741"},
        {"For i = 0 To 1 Step 0.25 : n = n + 1 : Next", "n", "Integer 5"},
        {"For i = 1 To 0 : n = n + 1 : Next", "IsEmpty(n) And i = 1", "Boolean True"},
        {"For i = 1 To 10\nIf i = 4 Then Exit For\nNext", "i", "Integer 4"},
        {"For Each v In Array(1, 2, 3) : s = s + v : Next", "s", "Integer 6"},
        {"For Each v In 5 : Next", "0", "Err 451"},
        {"Do While i < 5 : i = i + 1 : Loop", "i", "Integer 5"},
        {"Do Until i >= 5 : i = i + 1 : Loop", "i", "Integer 5"},
        {"Do : i = i + 1 : Loop While i < 5", "i", "Integer 5"},
        {"Do : i = i + 1 : Loop Until i = 7", "i", "Integer 7"},
        {"i = 9 : Do : i = i + 1 : Loop While i < 5", "i", "Integer 10"},
        {"Do\n i = i + 1\n If i = 3 Then Exit Do\nLoop", "i", "Integer 3"},
        {"While i < 4 : i = i + 1 : Wend", "i", "Integer 4"},
        {"For i = 1 To 3\nFor j = 1 To 3\nIf j = 2 Then Exit For\nn = n + 1\nNext\nNext", "n",
         "Integer 3"},
        {"Do\nFor i = 1 To 3\nIf i = 2 Then Exit Do\nNext\nLoop", "i", "Integer 2"},
    });
}

TEST(ScriptStatement, Procedures) {
    ExpectScriptRows({
        {"Function Twice(x)\n Twice = x * 2\nEnd Function", "Twice(21)", "Integer 42"},
        {"Function F(n)\n If n <= 1 Then\n  F = 1\n Else\n  F = n * F(n - 1)\n End If\nEnd "
         "Function",
         "F(10)", "Long 3628800"},
        {"Sub Bump(x)\n x = x + 1\nEnd Sub\na = 1 : Bump a", "a", "Integer 2"},
        {"Sub Bump(ByVal x)\n x = x + 1\nEnd Sub\na = 1 : Bump a", "a", "Integer 1"},
        {"Sub Bump(x)\n x = x + 1\nEnd Sub\na = 1 : Bump (a)", "a", "Integer 1"},
        {"Sub Bump(x)\n x = x + 1\nEnd Sub\na = 1 : Call Bump(a)", "a", "Integer 2"},
        {"Sub Bump(x)\n x = x + 1\nEnd Sub\na = 1 : Call Bump((a))", "a", "Integer 1"},
        {"Sub Init(x)\n x = 5\nEnd Sub\nInit fresh", "fresh", "Integer 5"},
        {"Sub Init(x)\n x = 5\nEnd Sub\nInit vbOK", "vbOK", "Long 1"},
        {"a = Array(1, 2)", "UBound(a())", "Long 1"},
        {"s = 0\nSub Add(x, y)\n s = x + y\nEnd Sub\nAdd 1, 2", "s", "Integer 3"},
        {"Sub Add(x, y)\n t = x + y\nEnd Sub\nAdd 1, 2", "IsEmpty(t)", "Boolean True"},
        {"r = 0\nSub Show(x)\n r = x\nEnd Sub\nShow (1) + 2", "r", "Integer 3"},
        {"Function G()\n G = 1\n Exit Function\n G = 2\nEnd Function", "G()", "Integer 1"},
        {"Function G()\n G = 1\nEnd Function", "G + 1", "Integer 2"},
        {"Sub S\n Exit Sub\n x = 1\nEnd Sub\nS", "IsEmpty(x)", "Boolean True"},
        {"Function G(a, b)\n G = a - b\nEnd Function", "G(1)", "Err 450"},
        {"Function G(a)\n Dim t : t = a\n G = t\nEnd Function\nt = 5 : x = G(1)", "t", "Integer 5"},
        {"g = 1\nSub S\n g = g + 1\nEnd Sub\nS : S", "g", "Integer 3"},
        {"Function G(a)\n G = a\nEnd Function", "G(Array(1, 2))(1)", "Integer 2"},
        {"Undefined 1", "0", "Err 35"},
        {"x = Undefined(1)", "0", "Err 13"},
    });
}

TEST(ScriptStatement, ErrorHandling) {
    ExpectScriptRows({
        {"On Error Resume Next\nx = 1 / 0\ny = 2", "Err.Number & \",\" & y", "String 11,2"},
        {"On Error Resume Next\nx = 1 / 0", "Err.Description",
         "String " + SysText("0 で除算しました。")},
        {"On Error Resume Next\nx = 1 / 0\nErr.Clear", "Err.Number", "Long 0"},
        {"On Error Resume Next\nErr.Raise 1234, \"me\", \"mine\"",
         "Err.Number & Err.Source & Err.Description", "String 1234memine"},
        {"On Error Resume Next\nErr.Raise 6", "Err.Description",
         "String " + SysText("オーバーフローしました。")},
        {"Err.Raise 1234", "0", "Err 1234"},
        {"On Error Resume Next\nx = 1 / 0\nOn Error GoTo 0\ny = 1 / 0", "0", "Err 11"},
        {"On Error Resume Next\nx = 1 / 0\nOn Error GoTo 0", "Err.Number", "Long 0"},
        {"Sub S\n x = 1 / 0\n y = 1\nEnd Sub\nOn Error Resume Next\nS\nz = 3",
         "IsEmpty(y) And z = 3 And Err = 11", "Boolean True"},
        {"Function S\n On Error Resume Next\n x = 1 / 0\n S = Err.Number\nEnd Function", "S()",
         "Long 11"},
    });
}

struct TErrorRow {
    const char* Program;
    int Number;
    int Line;
    int Column;
    const char* SourceLine;
};

TEST(ScriptStatement, ErrorPositions) {
    const std::vector<TErrorRow> rows = {
        {"x = 1\ny = (2 + 3", 1006, 1, 10, "y = (2 + 3"},
        {"x = \"abc", 1033, 0, 4, "x = \"abc"},
        {"If x Then\nx = 1", 1014, 1, 5, "x = 1"},
        {"For i = 1\nNext", 1013, 0, 9, "For i = 1"},
        {"x = 1 $ 2", 1032, 0, 6, "x = 1 $ 2"},
        {"Exit For", 1039, 0, 0, "Exit For"},
        {"Sub A\nEnd Sub\nSub A\nEnd Sub", 1041, 2, 4, "Sub A"},
        {"x = 1\n  y = 1 / 0", 11, 1, 2, "  y = 1 / 0"},
        {"Sub S\n  z = Len()\nEnd Sub\nS", 450, 1, 2, "  z = Len()"},
        {"For i = 1 To 2\n  x = Mid(\"a\", 0)\nNext", 5, 1, 2, "  x = Mid(\"a\", 0)"},
    };
    for (const TErrorRow& row : rows) {
        TScriptInterpreter s;
        EXPECT_FALSE(s.Execute(row.Program)) << row.Program;
        const TScriptError& e = s.LastError();
        EXPECT_EQ(e.Number, row.Number) << row.Program;
        EXPECT_EQ(e.Line, row.Line) << row.Program;
        EXPECT_EQ(e.Column, row.Column) << row.Program;
        EXPECT_EQ(e.SourceLine, row.SourceLine) << row.Program;
        EXPECT_FALSE(e.Description.empty());
        EXPECT_FALSE(e.Source.empty());
    }
}

TEST(ScriptStatement, SyntaxErrors) {
    const std::vector<std::pair<const char*, int>> rows = {
        {"x = ", 1023},
        {"x y z", 1025},
        {"Dim 5", 1010},
        {"If x Then\nElse\nElse\nEnd If", 1014},
        {"Do\nLoop While", 1023},
        {"Select Case x\nCase 1\nEnd If", 1022},
        {"While x\nLoop", 1018},
        {"Function F\nEnd Sub", 1015},
        {"Sub S\n Sub T\n End Sub\nEnd Sub", 1002},
        {"On Error GoTo Handler", 1002},
        {"Exit Function", 1039},
        {"x = 1 +", 1023},
        {"x = &HFFFFFFFFF", 1031},
        {"End", 1024},
    };
    for (const auto& [program, number] : rows) {
        TScriptInterpreter s;
        EXPECT_FALSE(s.Execute(program)) << program;
        EXPECT_EQ(s.LastError().Number, number) << program;
    }
}

}  // namespace
}  // namespace rekna

namespace rekna {
namespace {

TEST(ScriptStatement, DoubleByteNamesKeepTheirBytes) {
    // The trail byte of "ア" is "A" and that of "ャ" is "a": the names must stay apart.
    const std::string a = SysText("ア"), small = SysText("ャ");
    EXPECT_EQ(RunThenEval(a + " = 1 : " + small + " = 2", a + " & " + small), "String 12");
    EXPECT_EQ(RunThenEval(SysText("変数") + " = 5", SysText("変数") + " * 2"), "Integer 10");
}

}  // namespace
}  // namespace rekna

namespace rekna {
namespace {

TEST(ScriptStatement, RuntimeErrorNumbers) {
    const std::vector<std::pair<const char*, const char*>> rows = {
        {"Dim a(2) : x = a(\"x\")", "Err 13"},
        {"x = Array(1)(0)(0)", "Err 13"},
        {"Set x = Nothing : y = x.Foo", "Err 91"},
        {"x = 5 : x.Foo", "Err 424"},
        {"x = 5 : y = x(1)", "Err 13"},
        {"Dim a(2) : a = 1", "Err 501"},
        {"For Each v In Nothing : Next", "Err 451"},
        {"x = Len(Array(1))", "Err 13"},
        {"ReDim a(-2)", "Err 9"},
        {"Erase nothingHere", "Err 13"},
        {"x = 1 : x(0) = 2", "Err 13"},
        {"Sub S : End Sub : S = 1", "Err 501"},
        {"Err.Raise 0", "Err 5"},
        {"x = 2147483647 : x = x + 1", "Err 0"},
    };
    for (const auto& [program, expected] : rows) {
        TScriptInterpreter s;
        s.Execute(program);
        EXPECT_EQ("Err " + std::to_string(s.LastError().Number), expected) << program;
    }
}

TEST(ScriptStatement, TextForms) {
    ExpectScriptRows({
        {"x=1:y=2", "x+y", "Integer 3"},
        {"a = Array(1, 2)", "a(0)+.5", "Double 1.5"},
        {"x = &HF&", "x", "Integer 15"},
        {"x = \"it's\" ' not a comment inside the text", "x", "String it's"},
        {"x = 1 _\n + 2 _\n + 3", "x", "Integer 6"},
        {"x = 1\r\ny = 2\rz = 3", "x + y + z", "Integer 6"},
        {"Private p : Public q : p = 1 : q = 2", "p + q", "Integer 3"},
        {"Public Function F()\n F = 7\nEnd Function", "F", "Integer 7"},
        {"Const k = -5, m = \"t\"", "k & m", "String -5t"},
        {"Public Const k = 2 : Private Const m = 3", "k * m", "Integer 6"},
        {"x = 2 : x = x ^ 2 ^ 0.5", "x", "Double 2"},
        {"   \n\n  : : x = 1 ::", "x", "Integer 1"},
        {"x = (((1)))", "x", "Integer 1"},
        {"If x Then y = 1 End If", "0", "Err 1025"},
    });
}

TEST(ScriptStatement, GlobalsLastAcrossRuns) {
    TScriptInterpreter s;
    ASSERT_TRUE(s.Execute("Dim a(2) : a(1) = 5"));
    ASSERT_TRUE(s.Execute("a(1) = a(1) + 1"));
    EXPECT_EQ(RunThenEval(s, "", "a(1)"), "Integer 6");
    // A procedure read in an earlier run reports its own line, marked as such.
    ASSERT_TRUE(s.Execute("Sub S\n  x = 1 / 0\nEnd Sub"));
    EXPECT_FALSE(s.Execute("y = 1\nS"));
    EXPECT_EQ(s.LastError().Number, 11);
    EXPECT_EQ(s.LastError().Line, 1);
    EXPECT_EQ(s.LastError().SourceLine, "  x = 1 / 0");
    EXPECT_TRUE(s.LastError().EarlierText);
    EXPECT_FALSE(s.Execute("y = 1\nz = 1 / 0"));
    EXPECT_FALSE(s.LastError().EarlierText);
}

}  // namespace
}  // namespace rekna
