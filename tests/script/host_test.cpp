// Tests of what the host sees: named objects, persistence between runs, the stop request,
// the limits, and the message and input boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cp932.h"
#include "script_run.h"

namespace rekna {
namespace {

// A host object with a property that takes an index, a method, a failing and a fatal member;
// it records every call as "name:flags:argument count".
class TProbe : public TScriptObject {
public:
    int MemberId(std::string_view name) const override {
        static const char* const kNames[] = {"value", "add", "fail", "halt"};
        for (int i = 0; i < 4; ++i) {
            std::string lower(name);
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower == kNames[i]) return i;
        }
        return -1;
    }

    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override {
        Calls.push_back(std::to_string(id) + ":" + std::to_string(flags) + ":" +
                        std::to_string(args.size()));
        switch (id) {
        case 0:
            if (flags == ifPropertyPut) {
                if (args.size() != 2) return {seArgCount, {}, false};
                Values[static_cast<std::size_t>(args[0].AsDouble()) % 4] = args[1];
                return {};
            }
            if ((flags & ifPropertyGet) == 0 || args.size() != 1) return {seNoMember, {}, false};
            result = Values[static_cast<std::size_t>(args[0].AsDouble()) % 4];
            return {};
        case 1:
            if (args.size() != 2) return {seArgCount, {}, false};
            result = TVariant::Double(args[0].AsDouble() + args[1].AsDouble());
            return {};
        case 2: return {5, "probe failed", false};
        default: return {seStopped, "halted by the host", true};
        }
    }

    std::string TypeName() const override { return "Probe"; }

    std::vector<std::string> Calls;
    TVariant Values[4];
};

TEST(ScriptHost, NamedObjects) {
    TScriptInterpreter s;
    auto probe = MakeRef<TProbe>();
    s.AddObject("Probe", TRef<TScriptObject>(probe));
    EXPECT_EQ(RunThenEval(s, "PROBE.value(1) = 42", "probe.Value(1)"), "Integer 42");
    EXPECT_EQ(RunThenEval(s, "probe.Add 1, 2", "Probe.add(1, 2)"), "Double 3");
    EXPECT_EQ(RunThenEval(s, "", "TypeName(Probe)"), "String Probe");
    EXPECT_EQ(RunThenEval(s, "Set p = Probe", "p Is Probe"), "Boolean True");
    const std::vector<std::string> calls = {"0:4:2", "0:3:1", "1:1:2", "1:3:2"};
    EXPECT_EQ(probe->Calls, calls);
    EXPECT_EQ(RunThenEval(s, "", "Probe.Foo"), "Err 438");
    EXPECT_EQ(RunThenEval(s, "", "Probe.Add(1)"), "Err 450");
    EXPECT_FALSE(s.Execute("x = 1\nProbe.Fail"));
    EXPECT_EQ(s.LastError().Number, 5);
    EXPECT_EQ(s.LastError().Description, "probe failed");
    EXPECT_EQ(s.LastError().Line, 1);
    EXPECT_EQ(RunThenEval(s, "On Error Resume Next\nProbe.Fail\ny = 1", "y"), "Integer 1");
    // A fatal member error ends the script even under On Error Resume Next.
    EXPECT_EQ(RunThenEval(s, "On Error Resume Next\nProbe.Halt\nz = 1", "z"), "Err 1000");
    EXPECT_EQ(RunThenEval(s, "Set n = Nothing", "n.Value"), "Err 91");
    EXPECT_EQ(RunThenEval(s, "", "x.Value"), "Err 424");
    s.AddObject("probe", nullptr);
    EXPECT_EQ(RunThenEval(s, "", "IsEmpty(Probe)"), "Boolean True");
}

TEST(ScriptHost, StateLastsUntilReset) {
    TScriptInterpreter s;
    ASSERT_TRUE(s.Execute("x = 21\nFunction Twice(v)\n Twice = v * 2\nEnd Function"));
    EXPECT_EQ(RunThenEval(s, "", "Twice(x)"), "Integer 42");
    EXPECT_EQ(ShowValue(s.Global("X")), "Integer 21");
    // The same text again redefines the procedure without error.
    ASSERT_TRUE(s.Execute("Function Twice(v)\n Twice = v * 3\nEnd Function"));
    EXPECT_EQ(RunThenEval(s, "", "Twice(x)"), "Integer 63");
    EXPECT_TRUE(s.Reset());
    EXPECT_EQ(RunThenEval(s, "", "IsEmpty(x)"), "Boolean True");
    EXPECT_EQ(RunThenEval(s, "", "Twice(1)"), "Err 13");
    EXPECT_EQ(RunThenEval(s, "", "1 = 1"), "Boolean True");
    EXPECT_EQ(RunThenEval(s, "", "1 +"), "Err 1023");
    EXPECT_EQ(RunThenEval(s, "", "x = 1 : y = 2"), "Err 1025");
}

TEST(ScriptHost, StopRequestEndsLoopsThatCatchErrors) {
    const std::vector<std::string> programs = {
        "x = 0 : Do : Loop",
        "On Error Resume Next\nDo : x = 1 / 0 : Loop",
        "While True : Wend",
        "For i = 1 To 2 : i = 1 : Next",
        "Sub R\n R\nEnd Sub\nOn Error Resume Next\nDo : R : Loop",
    };
    for (const std::string& program : programs) {
        TScriptInterpreter s;
        int polls = 0;
        s.PollInterval = 100;
        s.OnPoll = [&] {
            if (++polls == 10) s.RequestStop();
        };
        s.Limits.MaxCallDepth = 5000;
        s.Limits.StackBudget = std::size_t{2} << 20;
        EXPECT_FALSE(s.Execute(program)) << program;
        EXPECT_TRUE(s.LastError().Stopped || s.LastError().Number == seOutOfStack) << program;
        EXPECT_GE(polls, 1) << program;
        // The next run starts with the request cleared.
        EXPECT_TRUE(s.Execute("y = 1")) << program;
    }
}

TEST(ScriptHost, LimitsEndTheScript) {
    const std::vector<std::pair<std::string, int>> rows = {
        {"Function F(n)\n F = F(n + 1)\nEnd Function\nx = F(1)", seOutOfStack},
        {"On Error Resume Next\nFunction F(n)\n F = F(n + 1)\nEnd Function\nx = F(1)",
         seOutOfStack},
        {"s = \"x\"\nDo : s = s & s : Loop", seOutOfString},
        {"On Error Resume Next\ns = \"x\"\nDo : s = s + s : Loop", seOutOfString},
        {"x = Space(100000000)", seOutOfString},
        {"x = String(70000000, \"a\")", seOutOfString},
        {"Dim a(20000000)", seOutOfMemory},
        {"Dim a(5000, 5000)", seOutOfMemory},
        {"ReDim a(2147483647)", seOutOfMemory},
        {"x = " + std::string(300, '(') + "1" + std::string(300, ')'), seTooComplex},
        {[] {
             std::string s;
             for (int i = 0; i < 300; ++i)
                 s += "If x Then\n";
             return s;
         }(),
         seTooComplex},
        {"x = " + std::string(500, '-') + "1", seTooComplex},
    };
    for (const auto& [program, number] : rows) {
        TScriptInterpreter s;
        EXPECT_FALSE(s.Execute(program)) << program.substr(0, 60);
        EXPECT_EQ(s.LastError().Number, number) << program.substr(0, 60);
    }
}

TEST(ScriptHost, TheMemoryBudgetEndsTheRunOnTheStatementThatAsked) {
    struct {
        std::string Program;
        int Line;
    } const rows[] = {
        {"Dim a(99)\nFor k = 0 To 99\n  ReDim b(100000)\n  a(k) = b\nNext", 2},
        {"Dim a(99)\nFor k = 0 To 99\n  a(k) = Space(500000) & k\nNext", 2},
        {"Class C : Public V : End Class\nSet d = CreateObject(\"Scripting.Dictionary\")\n"
         "For k = 1 To 1000000\n  Set o = New C : o.V = k : d.Add k, o\nNext",
         3},
        {"Dim a(99)\nFor k = 0 To 99\n  a(k) = Array(Space(30000), Space(30000))\nNext", 2},
        {"On Error Resume Next\nx = Space(1500000)\ny = x & x\nz = 1", 2},
        {"ReDim a(150000)\nb = a\nb(0) = 1", 2},
    };
    for (const auto& row : rows) {
        TScriptInterpreter s;
        s.Limits.MaxMemoryBytes = std::size_t{4} << 20;
        EXPECT_FALSE(s.Execute(row.Program)) << row.Program;
        EXPECT_EQ(s.LastError().Number, seOutOfMemory) << row.Program;
        EXPECT_EQ(s.LastError().Line, row.Line) << row.Program;
        EXPECT_LE(s.MemoryPeak(), s.Limits.MaxMemoryBytes) << row.Program;
        EXPECT_TRUE(s.Global("z").IsEmpty()) << "the run ended there: " << row.Program;
        // What the run holds stays until a reset gives it back.
        EXPECT_FALSE(s.Execute("w = Space(4000000)")) << row.Program;
        EXPECT_TRUE(s.Reset());
        EXPECT_EQ(s.MemoryInUse(), 0u) << row.Program;
        EXPECT_TRUE(s.Execute("w = Space(2000000)")) << row.Program;
    }
}

TEST(ScriptHost, BoxesWithoutAndWithHandlers) {
    TScriptInterpreter s;
    EXPECT_EQ(RunThenEval(s, "", "MsgBox(\"hi\")"), "Integer 1");
    EXPECT_EQ(RunThenEval(s, "", "MsgBox(\"q\", vbYesNo)"), "Integer 6");
    EXPECT_EQ(RunThenEval(s, "", "MsgBox(\"q\", vbYesNo + vbDefaultButton2)"), "Integer 7");
    EXPECT_EQ(RunThenEval(s, "", "MsgBox(\"q\", vbOKCancel + vbDefaultButton2)"), "Integer 2");
    EXPECT_EQ(RunThenEval(s, "", "InputBox(\"n?\", \"t\", \"12\")"), "String 12");
    std::string seen;
    s.OnMsgBox = [&](const TMsgBoxRequest& r) {
        seen = r.Prompt + "|" + std::to_string(r.Buttons) + "|" + r.Title;
        return 7;
    };
    s.OnInputBox = [&](const TInputBoxRequest& r, std::string& answer) {
        answer = r.Prompt + r.Default;
        return r.Title != "cancel";
    };
    EXPECT_EQ(RunThenEval(s, "MsgBox \"a\" & 1, 4, \"T\"", "MsgBox(\"b\")"), "Integer 7");
    EXPECT_EQ(seen, "b|0|");
    EXPECT_EQ(RunThenEval(s, "", "InputBox(\"p\", \"t\", \"d\")"), "String pd");
    EXPECT_EQ(RunThenEval(s, "", "InputBox(\"p\", \"cancel\", \"d\")"), "String ");
}

TEST(ScriptHost, ValueTextForTheHost) {
    TVariant v;
    TScriptInterpreter s;
    ASSERT_TRUE(s.Evaluate("Array(1, 2)", v));
    EXPECT_EQ(ScriptValueText(v), "Variant()");
    ASSERT_TRUE(s.Evaluate("Null", v));
    EXPECT_EQ(ScriptValueText(v), "Null");
    ASSERT_TRUE(s.Evaluate("2.5 * 2", v));
    EXPECT_EQ(ScriptValueText(v), "5");
}

}  // namespace
}  // namespace rekna

namespace rekna {
namespace {

TEST(ScriptHost, EveryLoopPassAndCallPolls) {
    const std::vector<std::pair<std::string, int>> rows = {
        {"For i = 1 To 1000 : Next", 1000},
        {"For Each v In Split(Space(999)) : Next", 1000},
        {"Do While i < 1000 : i = i + 1 : Loop", 1001},
        {"Do : i = i + 1 : Loop Until i = 1000", 1000},
        {"While i < 1000 : i = i + 1 : Wend", 1001},
        {"Sub S : End Sub\nFor i = 1 To 500 : S : Next", 1000},
    };
    for (const auto& [program, passes] : rows) {
        TScriptInterpreter s;
        int polls = 0;
        s.PollInterval = 1;
        s.OnPoll = [&] { ++polls; };
        EXPECT_TRUE(s.Execute(program)) << program;
        EXPECT_EQ(polls, passes) << program;
    }
}

TEST(ScriptHost, CallDepthLimit) {
    TScriptInterpreter s;
    s.Limits.MaxCallDepth = 10;
    const std::string f = "Function F(n)\n If n > 1 Then F = F(n - 1) + 1 Else F = 1\nEnd Function";
    EXPECT_EQ(RunThenEval(s, f, "F(10)"), "Integer 10");
    EXPECT_EQ(RunThenEval(s, "", "F(11)"), "Err 28");
}

TEST(ScriptHost, MemberAccessKinds) {
    TScriptInterpreter s;
    auto probe = MakeRef<TProbe>();
    s.AddObject("Probe", TRef<TScriptObject>(probe));
    EXPECT_EQ(RunThenEval(s, "Set Probe.Value(1) = Probe", "0"), "Err 438");
    EXPECT_EQ(RunThenEval(s, "Call Probe.Add(1, 2)", "0"), "Integer 0");
    EXPECT_EQ(RunThenEval(s, "x = Probe.Value(2)", "IsEmpty(x)"), "Boolean True");
    const std::vector<std::string> calls = {"0:8:2", "1:1:2", "0:3:1"};
    EXPECT_EQ(probe->Calls, calls);
    EXPECT_EQ(
        RunThenEval(s, "Err.Number = 7 : Err.Description = \"d\"", "Err.Number & Err.Description"),
        "String 7d");
    EXPECT_EQ(RunThenEval(s, "On Error Resume Next : x = 1 / 0", "Err.Source"),
              "String " + SysText("Microsoft VBScript 実行時エラー"));
    EXPECT_EQ(RunThenEval(s, "", "Err.Foo"), "Err 438");
    EXPECT_EQ(RunThenEval(s, "Err.Clear 1", "0"), "Err 450");
}

}  // namespace
}  // namespace rekna

namespace rekna {
namespace {

TEST(ScriptHost, RunsDoNotNest) {
    TScriptInterpreter s;
    bool nestedRan = true, resetDone = true;
    TScriptError nestedError;
    s.OnMsgBox = [&](const TMsgBoxRequest&) {
        nestedRan = s.Execute("y = 1");
        nestedError = s.LastError();
        resetDone = s.Reset();
        return 1;
    };
    EXPECT_TRUE(s.Execute("x = 1 : MsgBox \"a\" : x = 2"));
    EXPECT_FALSE(nestedRan);
    EXPECT_TRUE(nestedError.Failed());
    EXPECT_FALSE(resetDone);
    EXPECT_FALSE(s.LastError().Failed());
    EXPECT_EQ(RunThenEval(s, "", "x & IsEmpty(y)"), "String 2True");
}

}  // namespace
}  // namespace rekna
