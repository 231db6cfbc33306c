// Benchmarks of the script interpreter: a million-pass loop, and reading a 10,000-line script.
#include <benchmark/benchmark.h>

#include <string>

#include "script/runtime/script_interpreter.h"
#include "script/syntax/ast.h"
#include "script/syntax/lexer.h"
#include "script/syntax/parser.h"

namespace rekna {
namespace {

// For i = 1 To 1000000 : s = s + i : Next, with the stop request polled on every pass.
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
