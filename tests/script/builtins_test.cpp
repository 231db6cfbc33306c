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

namespace rekna {
namespace {

TEST(ScriptBuiltins, DateArithmetic) {
    ExpectRows({
        {"DateAdd(\"m\", 1, #1/31/2024#) = #2/29/2024#", "Boolean True"},
        {"DateAdd(\"yyyy\", 1, #2/29/2024#) = #2/28/2025#", "Boolean True"},
        {"DateAdd(\"d\", -1, #3/1/2024#) = #2/29/2024#", "Boolean True"},
        {"DateAdd(\"h\", 25, #1/1/2024#) = #1/2/2024 1:00:00 AM#", "Boolean True"},
        {"DateAdd(\"q\", 1, #11/30/2024#) = #2/28/2025#", "Boolean True"},
        {"DateAdd(\"x\", 1, Now)", "Err 5"},
        {"DateDiff(\"d\", #1/1/2024#, #3/1/2024#)", "Long 60"},
        {"DateDiff(\"m\", #1/31/2024#, #2/1/2024#)", "Long 1"},
        {"DateDiff(\"yyyy\", #12/31/2023#, #1/1/2024#)", "Long 1"},
        {"DateDiff(\"h\", #1/1/2024 10:59:00 AM#, #1/1/2024 11:00:00 AM#)", "Long 1"},
        {"DateDiff(\"s\", #10:00:00#, #10:01:30#)", "Long 90"},
        {"DateDiff(\"ww\", #1/6/2024#, #1/7/2024#)", "Long 1"},
        {"DateDiff(\"w\", #1/1/2024#, #1/15/2024#)", "Long 2"},
        {"DatePart(\"q\", #8/15/2024#)", "Integer 3"},
        {"DatePart(\"y\", #2/1/2024#)", "Integer 32"},
        {"DatePart(\"ww\", #1/1/2024#)", "Integer 1"},
        {"DatePart(\"ww\", #12/31/2024#, vbMonday, vbFirstFourDays)", "Integer 1"},
        {"DatePart(\"w\", #1/1/2024#, vbMonday)", "Integer 1"},
        {"DateSerial(2024, 14, 1) = #2/1/2025#", "Boolean True"},
        {"DateSerial(24, 1, 1) = #1/1/2024#", "Boolean True"},
        {"DateSerial(2024, 3, 0) = #2/29/2024#", "Boolean True"},
        {"TimeSerial(1, 90, 0) = #2:30:00 AM#", "Boolean True"},
        {"DateValue(\"2024/5/6 7:08\") = #5/6/2024#", "Boolean True"},
        {"TimeValue(\"2024/5/6 7:08\") = #7:08:00 AM#", "Boolean True"},
        {"CDate(\"2024/5/6\") = #5/6/2024#", "Boolean True"},
        {"CDate(\"" + SysText("2024年5月6日") + "\") = #5/6/2024#", "Boolean True"},
        {"CDate(\"" + SysText("午後3時5分") + "\") = #3:05:00 PM#", "Boolean True"},
        {"CDate(\"May 6, 2024\") = #5/6/2024#", "Boolean True"},
        {"CDate(\"x\")", "Err 13"},
        {"IsDate(\"2024/2/30\") & IsDate(\"2024/2/29\") & IsDate(5) & IsDate(#1/1/2000#)",
         "String FalseTrueFalseTrue"},
        {"MonthName(12) = \"" + SysText("12月") + "\" And MonthName(1, True) = \"1\"",
         "Boolean True"},
        {"WeekdayName(1) = \"" + SysText("日曜日") + "\" And WeekdayName(1, True, vbMonday) = \"" +
             SysText("月") + "\"",
         "Boolean True"},
        {"MonthName(13)", "Err 5"},
    });
}

TEST(ScriptBuiltins, Formats) {
    ExpectRows({
        {"FormatDateTime(#12/10/2026 10:30:05 PM#)", "String 2026/12/10 22:30:05"},
        {"FormatDateTime(#12/10/2026#, vbLongDate) = \"" + SysText("2026年12月10日") + "\"",
         "Boolean True"},
        {"FormatDateTime(#12/10/2026#, vbShortDate)", "String 2026/12/10"},
        {"FormatDateTime(#9:05:00 AM#, vbLongTime)", "String 9:05:00"},
        {"FormatDateTime(#9:05:00 PM#, vbShortTime)", "String 21:05"},
        {"FormatCurrency(1234.5) = \"" + SysText("¥1,235") + "\"", "Boolean True"},
        {"FormatCurrency(-1234.5, 2) = \"-" + SysText("¥1,234.50") + "\"", "Boolean True"},
        {"FormatCurrency(-5, , , True) = \"(" + SysText("¥5") + ")\"", "Boolean True"},
        {"FormatPercent(0.1234)", "String 12.34%"},
        {"FormatPercent(0.5, 0)", "String 50%"},
        {"FormatNumber(0.5, 0)", "String 1"},
        {"CCur(1.23456)", "Currency 1.2346"},
        {"CCur(2.5) * 2", "Currency 5"},
        {"TypeName(CCur(1)) & VarType(CCur(1))", "String Currency6"},
        {"CCur(1E20)", "Err 6"},
        {"RGB(255, 128, 1)", "Long 98559"},
        {"RGB(300, 0, 0)", "Long 255"},
    });
}

TEST(ScriptBuiltins, MoreText) {
    ExpectRows({
        {"Join(Filter(Array(\"abc\", \"xbz\", \"q\"), \"b\"), \",\")", "String abc,xbz"},
        {"Join(Filter(Array(\"abc\", \"xbz\", \"q\"), \"B\", False, vbTextCompare), \",\")",
         "String q"},
        {"Escape(\"a b+c/" + SysText("あ") + "\")", "String a%20b+c/%u3042"},
        {"Unescape(\"a%20b%u3042\") = \"a b" + SysText("あ") + "\"", "Boolean True"},
        {"Unescape(Escape(\"" + SysText("😀x") + "\")) = \"" + SysText("😀x") + "\"", "Boolean True"},
        {"LenB(\"abc\") & LenB(\"" + SysText("😀") + "\")", "String 64"},
        {"LeftB(\"abcd\", 4) & MidB(\"abcd\", 3, 2) & RightB(\"abcd\", 2)", "String abbd"},
        {"InStrB(\"abcd\", \"c\")", "Long 5"},
        {"AscB(\"A\") & ChrB(66)", "String 65B"},
        {"ScriptEngine & ScriptEngineMajorVersion & \".\" & ScriptEngineMinorVersion",
         "String VBScript5.8"},
        {"GetLocale()", "Long 1041"},
        {"SetLocale(1033) & GetLocale()", "String 10411033"},
    });
}

TEST(ScriptBuiltins, TextIsUtf16) {
    const std::string emoji = SysText("😀");
    ExpectRows({
        {"LCase(\"" + SysText("ÄBC") + "\") = \"" + SysText("äbc") + "\"", "Boolean True"},
        {"UCase(\"" + SysText("café") + "\") = \"" + SysText("CAFÉ") + "\"", "Boolean True"},
        {"UCase(\"" + SysText("ａβж") + "\") = \"" + SysText("ＡΒЖ") + "\"", "Boolean True"},
        {"Len(\"" + emoji + "\")", "Long 2"},
        {"AscW(\"" + emoji + "\")", "Integer -10179"},
        {"Len(\"a" + emoji + "b\") & InStr(\"a" + emoji + "b\", \"b\")", "String 44"},
        {"Mid(\"a" + emoji + "b\", 2, 2) = \"" + emoji + "\"", "Boolean True"},
        {"Right(\"a" + emoji + "\", 2) = \"" + emoji + "\"", "Boolean True"},
        // A cut inside the pair falls before the character.
        {"Left(\"" + emoji + "x\", 1)", "String "},
        {"Asc(\"" + emoji + "\")", "Integer 63"},
        {"StrComp(\"" + SysText("ア") + "\", \"" + SysText("あ") + "\")", "Integer 1"},
        {"InStr(1, \"" + SysText("xÄ") + "\", \"" + SysText("ä") + "\", vbTextCompare)", "Long 2"},
        {"ChrW(&HD83D)", "Err 5"},
    });
}

}  // namespace
}  // namespace rekna
