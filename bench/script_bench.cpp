// Benchmarks of the script language: the five kinds of work bench/script_vs_python.py times
// against CPython (a loop, building a text, recursion, calls, an array), run as memo blocks with
// the memo's rewriting and Esc checks; a loop of the bare interpreter; reading a long script.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/vt_calc.h"
#include "script/host/script_site.h"
#include "script/runtime/script_interpreter.h"
#include "script/syntax/ast.h"
#include "script/syntax/lexer.h"
#include "script/syntax/parser.h"

namespace rekna {
namespace {

// Runs a "#>" block as a memo does, then reads a "#?" expression; fails the benchmark when the
// answer is not the one expected.
void RunBlock(benchmark::State& state, const std::string& block, const std::string& expr,
              const std::string& expected) {
    TVtCalc calc;
    InstallScriptHost(calc, TScriptDesk());
    calc.SetScriptEnabled(true);
    for (auto _ : state) {
        calc.ResetHost();
        if (!calc.ExecuteBlock(block, 0) || !calc.EvaluateExpression(expr, 1)) {
            state.SkipWithError("the script failed");
            return;
        }
        if (calc.AnswerText() != expected) {
            state.SkipWithError(("unexpected answer " + calc.AnswerText()).c_str());
            return;
        }
    }
}

void Loop(benchmark::State& state) {
    RunBlock(state, "s = 0\nFor i = 1 To 3000000\n  s = s + i\nNext", "s", "4500001500000");
}
BENCHMARK(Loop)->Unit(benchmark::kMillisecond);

void StringBuilding(benchmark::State& state) {
    RunBlock(state, "s = \"\"\nFor i = 1 To 1000000\n  s = s & i & \",\"\nNext", "Len(s)",
             "6888896");
}
BENCHMARK(StringBuilding)->Unit(benchmark::kMillisecond);

void Recursion(benchmark::State& state) {
    RunBlock(state,
             "Function Fib(n)\n  If n < 2 Then\n    Fib = n\n  Else\n"
             "    Fib = Fib(n - 1) + Fib(n - 2)\n  End If\nEnd Function",
             "Fib(25)", "75025");
}
BENCHMARK(Recursion)->Unit(benchmark::kMillisecond);

void Calls(benchmark::State& state) {
    RunBlock(state,
             "Function AddOne(x)\n  AddOne = x + 1\nEnd Function\ns = 0\n"
             "For i = 1 To 1000000\n  s = AddOne(s)\nNext",
             "s", "1000000");
}
BENCHMARK(Calls)->Unit(benchmark::kMillisecond);

void Arrays(benchmark::State& state) {
    RunBlock(state,
             "Dim a(999999)\nFor i = 0 To 999999\n  a(i) = i * 2\nNext\nt = 0\n"
             "For i = 0 To 999999\n  t = t + a(i)\nNext",
             "t", "999999000000");
}
BENCHMARK(Arrays)->Unit(benchmark::kMillisecond);

// For i = 1 To 1000000 : s = s + i : Next in the bare interpreter, with the stop request polled.
void CountingLoop(benchmark::State& state) {
    TScriptInterpreter script;
    unsigned long polls = 0;
    script.OnPoll = [&] { ++polls; };
    for (auto _ : state) {
        if (!script.Execute("s = 0\nFor i = 1 To 1000000 : s = s + i : Next")) {
            state.SkipWithError("the loop failed");
        }
    }
    benchmark::DoNotOptimize(polls);
}
BENCHMARK(CountingLoop)->Unit(benchmark::kMillisecond);

// A script of 10,000 lines mixing procedures, branches, loops and calls.
std::string LongScript() {
    std::string text;
    for (int block = 0; block < 1000; ++block) {
        const std::string n = std::to_string(block);
        text += "Function F" + n + "(a, ByVal b)\n";
        text += "  If a > b Then F" + n + " = a - b Else F" + n + " = Mid(\"abc\", 1, 2) & b\n";
        text += "End Function\n";
        text += "Dim arr" + n + "(10)\n";
        text += "For i = 0 To 10 Step 2 : arr" + n + "(i) = i * 2.5 + Len(\"x\") : Next\n";
        text += "Select Case x" + n + "\n";
        text += "Case 1, 2 : y = \"one or two\" ' a comment\n";
        text += "Case Is > 3 : y = (x" + n + " + 1) ^ 2 \\ 3 Mod 7\n";
        text += "End Select\n";
        text += "s = s & F" + n + "(1, 2) & vbCrLf\n";
    }
    return text;
}

void ParseLongScript(benchmark::State& state) {
    const std::string text = LongScript();
    for (auto _ : state) {
        TProgram program;
        TParseError error;
        if (!ParseProgram(text, program, error)) state.SkipWithError("the script did not parse");
        benchmark::DoNotOptimize(program.Body.data());
    }
    state.counters["lines"] = 10000;
}
BENCHMARK(ParseLongScript)->Unit(benchmark::kMillisecond);

// The share of reading that splitting into tokens takes.
void TokenizeLongScript(benchmark::State& state) {
    const std::string text = LongScript();
    std::vector<TToken> tokens;
    for (auto _ : state) {
        TLexError error;
        if (!Tokenize(text, tokens, error)) state.SkipWithError("the script did not split");
        benchmark::DoNotOptimize(tokens.data());
    }
}
BENCHMARK(TokenizeLongScript)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rekna
