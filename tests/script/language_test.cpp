// Tests of classes, With, Eval and Execute, GetRef, date literals, ByRef array elements and the
// reading of long texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cp932.h"
#include "script_run.h"

namespace rekna {
namespace {

const char kCounter[] = "Class Counter\n"
                        "  Private FCount\n"
                        "  Public Name\n"
                        "  Private Sub Class_Initialize\n"
                        "    FCount = 10\n"
                        "  End Sub\n"
                        "  Public Property Get Count\n"
                        "    Count = FCount\n"
                        "  End Property\n"
                        "  Public Property Let Count(v)\n"
                        "    FCount = v\n"
                        "  End Property\n"
                        "  Public Sub Add(n) : FCount = FCount + n : End Sub\n"
                        "  Public Function Twice() : Twice = Count * 2 : End Function\n"
                        "  Public Function Self() : Set Self = Me : End Function\n"
                        "End Class\n";

TEST(ScriptLanguage, Classes) {
    const std::string c = kCounter;
    ExpectScriptRows({
        {c + "Set k = New Counter : k.Add 5", "k.Count", "Integer 15"},
        {c + "Set k = New Counter : k.Count = 3", "k.Twice()", "Integer 6"},
        {c + "Set k = New Counter : k.Name = \"n\"", "k.Name & TypeName(k)", "String nCounter"},
        {c + "Set k = New Counter", "k.FCount", "Err 438"},
        {c + "Set k = New Counter", "k.Self() Is k", "Boolean True"},
        {c + "Set k = New Counter : Set j = k : j.Add 1", "k.Count", "Integer 11"},
        {c + "Set k = New Counter : Set k = Nothing", "k Is Nothing", "Boolean True"},
        {c + "Set k = New Counter", "IsObject(k) And VarType(k) = vbObject", "Boolean True"},
        {c + "Set k = New Counter : x = k", "0", "Err 438"},
        {c + "Set k = New Counter : Sub Bump(v) : v = v + 1 : End Sub : n = 1 : Bump n", "n",
         "Integer 2"},
        {"Set x = New Nowhere", "0", "Err 506"},
        {"Class A\nPublic Property Get P(i) : P = i * 2 : End Property\nEnd Class\n"
         "Set a = New A",
         "a.P(21)", "Integer 42"},
        {"Class A\nPublic Items(2)\nEnd Class\nSet a = New A : a.Items(1) = \"x\"",
         "a.Items(1) & UBound(a.Items)", "String x2"},
        {"Class A\nPublic Property Get P : P = 1 : End Property\nEnd Class\nSet a = New A : "
         "a.P = 2",
         "0", "Err 450"},
    });
}

TEST(ScriptLanguage, DefaultMembersAndLetOnObjects) {
    const std::string box = "Class Box\n"
                            "  Private FV\n"
                            "  Public Default Property Get Value : Value = FV : End Property\n"
                            "  Public Property Let Value(v) : FV = v : End Property\n"
                            "End Class\n"
                            "Set b = New Box : b.Value = 4\n";
    ExpectScriptRows({
        {box, "b + 1", "Integer 5"},
        {box + "x = b", "x", "Integer 4"},
        // Let on a variable that holds the object assigns its default property.
        {box + "b = 7", "b.Value & IsObject(b)", "String 7True"},
        {box + "Set c = b : c = 9", "b.Value", "Integer 9"},
        {box + "Set c = b", "c Is b", "Boolean True"},
        {box, "CStr(b) & Len(b)", "String 41"},
        {box + "If b = 4 Then y = 1", "y", "Integer 1"},
        // An expression's answer is the object's value; without a default it stays the object.
        {box, "b", "Integer 4"},
        {"Set d = CreateObject(\"Scripting.Dictionary\")", "d", "Object"},
    });
}

TEST(ScriptLanguage, ClassTerminateRunsWhenTheLastReferenceGoes) {
    const std::string t = "Class T\n"
                          "  Public Name\n"
                          "  Private Sub Class_Terminate : log = log & Name & \";\" : End Sub\n"
                          "End Class\n"
                          "log = \"\"\n";
    ExpectScriptRows({
        {t + "Set a = New T : a.Name = \"a\" : Set b = New T : b.Name = \"b\"\n"
             "Set a = Nothing\nl1 = log\nSet b = Nothing",
         "l1 & \"|\" & log", "String a;|a;b;"},
        {t + "Set a = New T : a.Name = \"a\" : Set c = a\nSet a = Nothing\nl1 = log\n"
             "Set c = Nothing",
         "l1 & \"|\" & log", "String |a;"},
        {t + "Sub S\n Dim x : Set x = New T : x.Name = \"s\"\nEnd Sub\nS\nl1 = log", "l1",
         "String s;"},
        {t + "Set a = New T : a.Name = \"a\" : a = 1", "log", "Err 438"},
        {t + "Dim arr(1) : Set arr(0) = New T : arr(0).Name = \"e\" : Erase arr", "log",
         "String e;"},
    });
}

TEST(ScriptLanguage, With) {
    const std::string c = kCounter;
    ExpectScriptRows({
        {c + "Set k = New Counter\nWith k\n .Add 2\n .Name = \"w\"\n x = .Count\nEnd With",
         "x & k.Name", "String 12w"},
        {c + "With New Counter : .Add 1 : y = .Twice() : End With", "y", "Integer 22"},
        {c + "Set k = New Counter : Set j = New Counter : j.Add 5\n"
             "With k\n With j\n  a = .Count\n End With\n b = .Count\nEnd With",
         "a & \",\" & b", "String 15,10"},
        {"With 5 : End With", "0", "Err 424"},
        {"x = .Count", "0", "Err 505"},
    });
}

TEST(ScriptLanguage, EvalExecuteAndGetRef) {
    ExpectScriptRows({
        {"", "Eval(\"1+2*3\")", "Integer 7"},
        // Eval compares, Execute assigns.
        {"x = 2 : r = Eval(\"x = 1\")", "r & x", "String False2"},
        {"Execute \"z = 6*7\"", "z", "Integer 42"},
        // Execute shares the caller's scope; ExecuteGlobal runs at the top level.
        {"Sub S\n Dim q\n Execute \"q = 5 : made = 1\"\n r = q\nEnd Sub\nr = 0 : S",
         "r & IsEmpty(made)", "String 5True"},
        {"Sub S\n ExecuteGlobal \"g = 7\"\nEnd Sub\nS", "g", "Integer 7"},
        {"ExecuteGlobal \"Function Sq(x) : Sq = x * x : End Function\"", "Sq(3)", "Integer 9"},
        {"Function Sq(x) : Sq = x * x : End Function\nSet f = GetRef(\"Sq\")", "f(4)",
         "Integer 16"},
        {"h = \"\"\nSub Hello(a) : h = a : End Sub\nSet f = GetRef(\"hello\") : f \"hi\"", "h",
         "String hi"},
        {"", "GetRef(\"Nowhere\")", "Err 5"},
        {"", "Eval(\"1 +\")", "Err 1023"},
        {"Execute \"y = 1 / 0\"", "0", "Err 11"},
    });
}

TEST(ScriptLanguage, DateLiterals) {
    ExpectScriptRows({
        {"", "Year(#12/10/2026#) & \"-\" & Month(#12/10/2026#) & \"-\" & Day(#12/10/2026#)",
         "String 2026-12-10"},
        {"", "#2026/12/10# = #12/10/2026#", "Boolean True"},
        {"", "Hour(#10:30:00#) & \":\" & Minute(#10:30:00#)", "String 10:30"},
        {"", "#12/10/2026 10:30:00 PM# = DateSerial(2026, 12, 10) + TimeSerial(22, 30, 0)",
         "Boolean True"},
        {"", "TypeName(#1/1/2000#)", "String Date"},
        {"", "CStr(#2026/1/2#)", "String 2026/01/02"},
        {"x = #2/30/2026#", "0", "Err 1002"},
        {"x = #12/10/2026", "0", "Err 1032"},
    });
}

TEST(ScriptLanguage, ArrayElementsByReference) {
    const std::string bump = "Sub Bump(x) : x = x + 1 : End Sub\n";
    ExpectScriptRows({
        {bump + "Dim a(2) : a(1) = 5 : Bump a(1)", "a(1)", "Integer 6"},
        {bump + "Dim a(2) : a(1) = 5 : Bump (a(1))", "a(1)", "Integer 5"},
        {bump + "Dim a(1, 1) : a(1, 0) = 2 : Call Bump(a(1, 0))", "a(1, 0)", "Integer 3"},
        {"Sub Take(ByVal x) : x = 0 : End Sub\nDim a(0) : a(0) = 4 : Take a(0)", "a(0)",
         "Integer 4"},
        {bump + "b = Array(1, 2) : c = b : Bump b(0)", "b(0) & c(0)", "String 21"},
    });
}

TEST(ScriptLanguage, NoFixedLimitsOnLength) {
    std::string many = "a = Array(";
    for (int i = 0; i < 1000; ++i)
        many += (i ? "," : "") + std::to_string(i);
    many += ")";
    std::string sum = "x = 0";
    for (int i = 0; i < 5000; ++i)
        sum += " + 1";
    std::string text = "s = \"\"";
    for (int i = 0; i < 3000; ++i)
        text += " & \"ab\"";
    std::string continued = "y = 1";
    for (int i = 0; i < 300; ++i)
        continued += " + _\n 1";
    ExpectScriptRows({
        {many, "UBound(a) & \",\" & a(999)", "String 999,999"},
        {sum, "x", "Integer 5000"},
        {text, "Len(s)", "Long 6000"},
        {continued, "y", "Integer 301"},
        {"For i = 1 To _\n 3 : n = n + i : Next", "n", "Integer 6"},
    });
}

TEST(ScriptLanguage, OmittedArguments) {
    ExpectScriptRows({
        {"", "FormatNumber(-1234.5, 1, , True)", "String (1,234.5)"},
        {"", "FormatNumber(1234.5, , , , False)", "String 1234.50"},
        {"", "Mid(\"abc\", , 1)", "Err 449"},
        {"", "UBound(Array(1, , 3))", "Long 2"},
    });
}

}  // namespace
}  // namespace rekna
