// Tests of the built-in functions and constants.
#include <gtest/gtest.h>

#include <vector>

#include "platform/cp932.h"
#include "script_run.h"

namespace rekna {
namespace {

struct TRow {
    std::string Expr;
    std::string Expected;
};

void ExpectRows(const std::vector<TRow>& rows) {
    for (const TRow& row : rows) {
        EXPECT_EQ(RunThenEval("", row.Expr), row.Expected) << row.Expr;
    }
}

TEST(ScriptBuiltins, Numbers) {
    ExpectRows({
        {"Abs(-3)", "Integer 3"},
        {"Abs(-32768)", "Long 32768"},
        {"Abs(-2.5)", "Double 2.5"},
        {"Abs(Null)", "Null"},
        {"Atn(1) * 4", "Double 3.14159265358979"},
        {"Cos(0)", "Double 1"},
        {"Sin(0)", "Double 0"},
        {"Tan(0)", "Double 0"},
        {"Exp(1)", "Double 2.71828182845905"},
        {"Exp(1000)", "Err 6"},
        {"Log(Exp(2))", "Double 2"},
        {"Log(0)", "Err 5"},
        {"Sqr(16)", "Double 4"},
        {"Sqr(-1)", "Err 5"},
        {"Fix(-2.5)", "Double -2"},
        {"Int(-2.5)", "Double -3"},
        {"Int(7)", "Integer 7"},
        {"Round(2.5)", "Double 2"},
        {"Round(3.5)", "Double 4"},
        {"Round(-2.5)", "Double -2"},
        {"Round(2.567, 2)", "Double 2.57"},
        {"Round(7)", "Integer 7"},
        {"Round(1, -1)", "Err 5"},
        {"Sgn(-4)", "Integer -1"},
        {"Sgn(0)", "Integer 0"},
        {"Sgn(2.5)", "Integer 1"},
        {"Rnd(-1) = Rnd(-1)", "Boolean True"},
        {"Rnd() >= 0 And Rnd() < 1", "Boolean True"},
        {"TypeName(Rnd)", "String Single"},
    });
}

TEST(ScriptBuiltins, Text) {
    ExpectRows({
        {"Len(\"abc\")", "Long 3"},
        {"Len(123)", "Long 3"},
        {"Len(Null)", "Null"},
        {"Left(\"abcdef\", 2)", "String ab"},
        {"Left(\"ab\", 5)", "String ab"},
        {"Left(\"ab\", -1)", "Err 5"},
        {"Right(\"abcdef\", 2)", "String ef"},
        {"Mid(\"abcdef\", 2, 3)", "String bcd"},
        {"Mid(\"abcdef\", 4)", "String def"},
        {"Mid(\"abc\", 9)", "String "},
        {"Mid(\"abc\", 0)", "Err 5"},
        {"InStr(\"abcabc\", \"c\")", "Long 3"},
        {"InStr(4, \"abcabc\", \"c\")", "Long 6"},
        {"InStr(\"abc\", \"x\")", "Long 0"},
        {"InStr(1, \"ABC\", \"b\", 1)", "Long 2"},
        {"InStr(\"abc\", \"\")", "Long 1"},
        {"InStrRev(\"abcabc\", \"b\")", "Long 5"},
        {"InStrRev(\"abcabc\", \"b\", 4)", "Long 2"},
        {"InStrRev(\"abcabc\", \"bc\", 5)", "Long 2"},
        {"InStrRev(\"abcabc\", \"bc\")", "Long 5"},
        {"InStr(2, \"aaa\", \"aa\")", "Long 2"},
        {"Replace(\"aaaa\", \"aa\", \"b\")", "String bb"},
        {"Join(Split(\"a--b----c\", \"--\"), \"|\")", "String a|b||c"},
        {"LCase(\"AbC\")", "String abc"},
        {"UCase(\"AbC\")", "String ABC"},
        {"LTrim(\"  a  \") & \"|\"", "String a  |"},
        {"RTrim(\"  a  \") & \"|\"", "String   a|"},
        {"Trim(\"  a  \") & \"|\"", "String a|"},
        {"Space(3) & \"|\"", "String    |"},
        {"String(3, \"xy\")", "String xxx"},
        {"String(3, 65)", "String AAA"},
        {"StrReverse(\"abc\")", "String cba"},
        {"StrComp(\"a\", \"b\")", "Integer -1"},
        {"StrComp(\"B\", \"b\", 1)", "Integer 0"},
        {"StrComp(\"b\", \"a\")", "Integer 1"},
        {"Replace(\"a-b-c\", \"-\", \"+\")", "String a+b+c"},
        {"Replace(\"a-b-c\", \"-\", \"\", 1, 1)", "String ab-c"},
        {"Replace(\"a-b-c\", \"-\", \"+\", 3)", "String b+c"},
        {"Replace(\"aXbx\", \"x\", \"_\", 1, -1, 1)", "String a_b_"},
        {"Join(Split(\"a,b,c\", \",\"), \"+\")", "String a+b+c"},
        {"UBound(Split(\"a b c\"))", "Long 2"},
        {"UBound(Split(\"\"))", "Long -1"},
        {"Split(\"a,b,c\", \",\", 2)(1)", "String b,c"},
        {"Join(Array(1, 2, 3))", "String 1 2 3"},
        {"Asc(\"A\")", "Integer 65"},
        {"Asc(\"\")", "Err 5"},
        {"Chr(65) & Chr(66)", "String AB"},
        {"AscW(\"A\")", "Integer 65"},
        {"ChrW(97)", "String a"},
        {"Chr(300)", "Err 5"},
    });
}

TEST(ScriptBuiltins, DoubleByteTextCountsCharacters) {
    const std::string kana = SysText("あいう");
    ExpectRows({
        {"Len(\"" + kana + "\")", "Long 3"},
        {"Mid(\"" + kana + "\", 2, 1) = \"" + SysText("い") + "\"", "Boolean True"},
        {"InStr(\"" + kana + "\", \"" + SysText("う") + "\")", "Long 3"},
        {"Asc(\"" + kana + "\")", "Integer -32096"},
        {"AscW(\"" + kana + "\")", "Integer 12354"},
        {"ChrW(12354) = \"" + SysText("あ") + "\"", "Boolean True"},
        {"Chr(-32096) = \"" + SysText("あ") + "\"", "Boolean True"},
        {"StrReverse(\"" + kana + "\") = \"" + SysText("ういあ") + "\"", "Boolean True"},
        // "ア" ends in the byte of "A": a key never matches inside a character
        {"InStr(\"" + SysText("アA") + "\", \"A\")", "Long 2"},
        {"InStrRev(\"" + SysText("アAア") + "\", \"A\")", "Long 2"},
        {"Replace(\"" + SysText("アA") + "\", \"A\", \"x\") = \"" + SysText("アx") + "\"",
         "Boolean True"},
        {"UBound(Split(\"" + SysText("アAア") + "\", \"A\"))", "Long 1"},
    });
}

TEST(ScriptBuiltins, ConversionsAndTypes) {
    ExpectRows({
        {"Hex(255)", "String FF"},
        {"Hex(-1)", "String FFFF"},
        {"Hex(65536)", "String 10000"},
        {"Hex(-65536)", "String FFFF0000"},
        {"Oct(8)", "String 10"},
        {"Hex(Null)", "Null"},
        {"FormatNumber(1234.567)", "String 1,234.57"},
        {"FormatNumber(1234.5, 0)", "String 1,235"},
        {"FormatNumber(-0.5, 1, 0)", "String -.5"},
        {"FormatNumber(-1234, 1, -1, -1, 0)", "String (1234.0)"},
        {"IsArray(Array())", "Boolean True"},
        {"IsArray(1)", "Boolean False"},
        {"IsEmpty(x)", "Boolean True"},
        {"IsEmpty(\"\")", "Boolean False"},
        {"IsNull(Null)", "Boolean True"},
        {"IsNumeric(\"1.5e3\")", "Boolean True"},
        {"IsNumeric(\"12a\")", "Boolean False"},
        {"IsNumeric(Empty)", "Boolean True"},
        {"IsNumeric(Null)", "Boolean False"},
        {"IsObject(Nothing)", "Boolean True"},
        {"IsObject(1)", "Boolean False"},
        {"LBound(Array(1, 2))", "Long 0"},
        {"UBound(Array(1, 2))", "Long 1"},
        {"UBound(Array())", "Long -1"},
        {"UBound(Array(1), 2)", "Err 9"},
        {"UBound(1)", "Err 13"},
        {"Array(1, \"a\")(1)", "String a"},
        {"Array(1)(1)", "Err 9"},
        {"TypeName(1)", "String Integer"},
        {"TypeName(70000)", "String Long"},
        {"TypeName(1.5)", "String Double"},
        {"TypeName(\"\")", "String String"},
        {"TypeName(True)", "String Boolean"},
        {"TypeName(Empty)", "String Empty"},
        {"TypeName(Null)", "String Null"},
        {"TypeName(Nothing)", "String Nothing"},
        {"TypeName(Array())", "String Variant()"},
        {"TypeName(CByte(1))", "String Byte"},
        {"TypeName(Now)", "String Date"},
        {"VarType(1)", "Integer 2"},
        {"VarType(\"a\")", "Integer 8"},
        {"VarType(Array())", "Integer 8204"},
        {"VarType(Empty)", "Integer 0"},
    });
}

TEST(ScriptBuiltins, DatesAndTimes) {
    ExpectRows({
        {"Year(\"2024/02/29\")", "Integer 2024"},
        {"Month(\"2024/02/29\")", "Integer 2"},
        {"Day(\"2024/02/29\")", "Integer 29"},
        {"Weekday(\"2024/02/29\")", "Integer 5"},
        {"Weekday(\"2024/02/29\", 2)", "Integer 4"},
        {"Hour(\"13:45:30\")", "Integer 13"},
        {"Minute(\"13:45:30\")", "Integer 45"},
        {"Second(\"13:45:30\")", "Integer 30"},
        {"Year(1)", "Integer 1899"},
        {"Day(45000)", "Integer 15"},
        {"Year(\"x\")", "Err 13"},
        {"Year(1E10)", "Err 5"},
        {"Year(\"9999/12/31\")", "Integer 9999"},
        {"CStr(CDbl(\"1\") + Date - Date)", "String 1"},
        {"Now - Date >= 0", "Boolean True"},
        {"Now - Date < 1", "Boolean True"},
        {"Year(Now) >= 2024", "Boolean True"},
        {"Time < 1", "Boolean True"},
        {"Timer >= 0 And Timer < 86400", "Boolean True"},
        {"Len(CStr(Date))", "Long 10"},
    });
}

TEST(ScriptBuiltins, Constants) {
    ExpectRows({
        {"vbCrLf = Chr(13) & Chr(10)", "Boolean True"},
        {"vbLf", "String \n"},
        {"vbCr", "String \r"},
        {"vbTab", "String \t"},
        {"vbNullString", "String "},
        {"vbOK", "Long 1"},
        {"vbCancel", "Long 2"},
        {"vbYes", "Long 6"},
        {"vbNo", "Long 7"},
        {"vbYesNo", "Long 4"},
        {"vbTrue", "Integer -1"},
        {"vbFalse", "Integer 0"},
        {"VBCRLF = vbcrlf", "Boolean True"},
    });
}

TEST(ScriptBuiltins, ArgumentCounts) {
    ExpectRows({
        {"Len()", "Err 450"},
        {"Left(\"a\")", "Err 450"},
        {"Mid(\"a\", 1, 1, 1)", "Err 450"},
        {"vbOK(1)", "Err 13"},
    });
}

TEST(ScriptBuiltins, NoObjectsCanBeCreated) {
    ExpectRows({
        {"CreateObject(\"Scripting.FileSystemObject\")", "Err 429"},
        {"GetObject(\"winmgmts:\")", "Err 429"},
    });
}

}  // namespace
}  // namespace rekna
