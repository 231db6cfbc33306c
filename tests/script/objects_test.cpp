// Tests of the objects scripts can make: RegExp with its matches, Scripting.Dictionary, and
// the Err object's Raise; and the memory account of what a script holds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cp932.h"
#include "script_run.h"

namespace rekna {
namespace {

TEST(ScriptObjects, RegExp) {
    const std::string re = "Set re = New RegExp : re.Global = True\n";
    ExpectScriptRows({
        {re + "re.Pattern = \"(\\d+)-(\\d+)\" : Set m = re.Execute(\"10-20 and 30-40\")",
         "m.Count & \"|\" & m(0).Value & \"|\" & m(1).FirstIndex & \"|\" & m(0).SubMatches(1) & "
         "\"|\" & m.Item(1).Length",
         "String 2|10-20|10|20|5"},
        {re + "re.Pattern = \"(\\d+)-(\\d+)\"",
         "re.Replace(\"10-20 and 30-40\", \"$2-$1 [$&] $$\")",
         "String 20-10 [10-20] $ and 40-30 [30-40] $"},
        {re + "re.Pattern = \"a\" : re.Global = False", "re.Replace(\"banana\", \"o\")",
         "String bonana"},
        {re + "re.Pattern = \"^b\" : re.IgnoreCase = True", "re.Test(\"Bc\") & re.Test(\"cb\")",
         "String TrueFalse"},
        {re + "re.Pattern = \"^x$\" : re.Multiline = True",
         "re.Execute(\"a\" & vbCrLf & \"x\").Count", "Long 1"},
        {re + "re.Pattern = \"^x$\"", "re.Execute(\"a\" & vbCrLf & \"x\").Count", "Long 0"},
        {re + "re.Pattern = \"a*\"", "re.Execute(\"baaa\").Count", "Long 3"},
        {re + "re.Pattern = \"(a)|(b)\" : Set m = re.Execute(\"b\")",
         "IsEmpty(m(0).SubMatches(0)) & m(0).SubMatches(1)", "String Trueb"},
        {re + "re.Pattern = \"\\w+\" : For Each w In re.Execute(\"ab cd\") : s = s & w & \";\" : "
              "Next",
         "s", "String ab;cd;"},
        {re + "re.Pattern = \"(\"", "re.Test(\"x\")", "Err 5020"},
        {re + "re.Pattern = \"[a\"", "re.Test(\"x\")", "Err 5019"},
        // A pattern that backtracks without end stops at the match limit.
        {re + "re.Pattern = \"^(a|aa)+$\"", "re.Test(String(60, \"a\") & \"!\")", "Err 28"},
        {re + "re.Pattern = \"\\u0041\"", "re.Test(\"A\")", "Boolean True"},
        {"Set re = New RegExp", "TypeName(re) & re.Global & re.Pattern", "String IRegExp2False"},
    });
    // Positions and lengths count UTF-16 units; text is matched as characters.
    ExpectScriptRows({
        {re + "re.Pattern = \"" + SysText("い.") + "\" : Set m = re.Execute(\"" +
             SysText("😀あいう") + "\")",
         "m(0).FirstIndex & m(0).Length & (m(0).Value = \"" + SysText("いう") + "\")",
         "String 32True"},
        {re + "re.Pattern = \"" + SysText("ä") + "\" : re.IgnoreCase = True",
         "re.Test(\"" + SysText("XÄ") + "\")", "Boolean True"},
    });
}

TEST(ScriptObjects, RegExpReplaceCallsAFunction) {
    ExpectScriptRows({
        {"Function Up(m, p, src) : Up = UCase(m) & p : End Function\n"
         "Set re = New RegExp : re.Pattern = \"[a-z]+\" : re.Global = True",
         "re.Replace(\"ab cd\", GetRef(\"Up\"))", "String AB0 CD3"},
    });
}

TEST(ScriptObjects, Dictionary) {
    const std::string d = "Set d = CreateObject(\"Scripting.Dictionary\")\n"
                          "d.Add \"a\", 1 : d.Add \"b\", 2 : d(\"c\") = 3\n";
    ExpectScriptRows({
        {d, "d.Count & d.Exists(\"a\") & d(\"a\") & d.Item(\"b\")", "String 3True12"},
        {d, "Join(d.Keys, \",\") & \"|\" & Join(d.Items, \",\")", "String a,b,c|1,2,3"},
        {d + "For Each k In d : s = s & k : Next", "s", "String abc"},
        {d + "d.Add \"a\", 5", "0", "Err 457"},
        {d + "d.Remove \"a\"", "d.Exists(\"a\") & d.Count & Join(d.Keys)", "String False2b c"},
        {d + "d.Remove \"zz\"", "0", "Err 32811"},
        {d + "d.RemoveAll", "d.Count & UBound(d.Keys)", "String 0-1"},
        {d + "d.Key(\"b\") = \"bb\"", "Join(d.Keys, \",\") & d(\"bb\")", "String a,bb,c2"},
        {d + "x = d(\"missing\")", "IsEmpty(x) & d.Count", "String True4"},
        {d + "d.Add 1, \"one\"", "d(1) & d(1.0) & d.Exists(\"1\")", "String oneoneFalse"},
        {d, "TypeName(d) & d.CompareMode", "String Dictionary0"},
        {d + "d.CompareMode = 1", "0", "Err 5"},
        {"Set d = CreateObject(\"Scripting.Dictionary\") : d.CompareMode = vbTextCompare\n"
         "d.Add \"Key\", 1",
         "d.Exists(\"KEY\") & d(\"kEy\")", "String True1"},
        {d + "Set e = d : e.Add \"z\", 0", "d.Exists(\"z\")", "Boolean True"},
        {"Set d = CreateObject(\"Scripting.Dictionary\") : Set d(\"o\") = d", "d(\"o\") Is d",
         "Boolean True"},
        {"Set f = CreateObject(\"Scripting.FileSystemObject\")", "0", "Err 429"},
        {"Set f = CreateObject(\"WScript.Shell\")", "0", "Err 429"},
    });
}

TEST(ScriptObjects, ErrRaiseKeepsNumberSourceAndDescription) {
    ExpectScriptRows({
        {"On Error Resume Next\nErr.Raise vbObjectError + 513, \"MyApp\", \"Custom failure\"",
         "Err.Number & \"|\" & Err.Source & \"|\" & Err.Description",
         "String -2147220991|MyApp|Custom failure"},
        {"On Error Resume Next\nErr.Raise 70000",
         "Err.Number & (Err.Description = \"" + SysText("不明な実行時エラーです。") + "\")",
         "String 70000True"},
        {"On Error Resume Next\nErr.Raise 13",
         "Err.Description = \"" + SysText("型が一致しません。") + "\"", "Boolean True"},
    });
    TScriptInterpreter s;
    EXPECT_FALSE(s.Execute("x = 1\nErr.Raise vbObjectError + 513, \"MyApp\", \"Custom failure\""));
    EXPECT_EQ(s.LastError().Number, -2147220991);
    EXPECT_EQ(s.LastError().Source, "MyApp");
    EXPECT_EQ(s.LastError().Description, "Custom failure");
    EXPECT_EQ(s.LastError().Line, 1);
}

TEST(ScriptObjects, ErrorTextsAreJapanese) {
    struct TText {
        const char* Program;
        int Number;
        const char* Description;  // UTF-8
    };
    const TText rows[] = {
        {"x = 1 / 0", 11, "0 で除算しました。"},
        {"x = \"a\" * 2", 13, "型が一致しません。"},
        {"Set d = CreateObject(\"Scripting.Dictionary\") : d.Foo", 438,
         "オブジェクトでサポートされていないプロパティまたはメソッドです。: 'Foo'"},
        {"x = Eval(\"1\", 2)", 450,
         "引数の数が一致していません。または不正なプロパティを指定しています。: 'Eval'"},
        {"x = (", 1023, "式がありません。"},
        {"Nowhere 1", 35, "Sub または Function が定義されていません。: 'Nowhere'"},
    };
    for (const TText& row : rows) {
        TScriptInterpreter s;
        EXPECT_FALSE(s.Execute(row.Program)) << row.Program;
        EXPECT_EQ(s.LastError().Number, row.Number) << row.Program;
        EXPECT_EQ(Cp932ToUtf8(s.LastError().Description), row.Description) << row.Program;
    }
}

TEST(ScriptObjects, TheMemoryAccountSeesWhatTheScriptsHold) {
    TScriptInterpreter s;
    const std::size_t before = s.MemoryInUse();
    ASSERT_TRUE(s.Execute("ReDim a(99999) : a(0) = Space(100000)\n"
                          "Set d = CreateObject(\"Scripting.Dictionary\") : d.Add 1, Space(1000)"));
    EXPECT_GE(s.MemoryInUse(), before + 100000 * sizeof(TVariant) + 100000);
    ASSERT_TRUE(s.Execute("Erase a : Set d = Nothing"));
    EXPECT_LT(s.MemoryInUse(), before + 4096);
    EXPECT_GE(s.MemoryPeak(), 100000 * sizeof(TVariant));
    // A text built a piece at a time is charged as it grows.
    ASSERT_TRUE(s.Execute("t = \"\" : For i = 1 To 10000 : t = t & \"abcdefghij\" : Next"));
    EXPECT_GE(s.MemoryInUse(), before + 100000);
    // Objects that hold each other go at a reset too.
    ASSERT_TRUE(
        s.Execute("Class Node : Public Other, Big : End Class\n"
                  "Set a = New Node : Set b = New Node : Set a.Other = b : Set b.Other = a\n"
                  "a.Big = Space(50000) : Set a = Nothing : Set b = Nothing\n"
                  "Set d = CreateObject(\"Scripting.Dictionary\") : Set d(\"me\") = d : "
                  "d(\"big\") = Space(50000) : Set d = Nothing"));
    EXPECT_GE(s.MemoryInUse(), before + 200000);
    ASSERT_TRUE(s.Reset());
    EXPECT_LT(s.MemoryInUse(), before + 4096);
}

}  // namespace
}  // namespace rekna
