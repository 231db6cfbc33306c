// Benchmarks of compiling and evaluating typical memo lines.
#include <benchmark/benchmark.h>

#include "engine/vt_calc.h"

namespace rekna {
namespace {

void CompileAndRun(benchmark::State& state, const char* line) {
    TVtCalc calc;
    for (auto _ : state) {
        calc.Compile(line, false);
        benchmark::DoNotOptimize(calc.RunCompiled(true, true));
    }
}

void CalcWholeLine(benchmark::State& state, const char* line) {
    TVtCalc calc;
    calc.CalcLine("r1=4.7k", true, true, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(calc.CalcLine(line, true, true, true));
}

BENCHMARK_CAPTURE(CompileAndRun, literals, "1.5k*2+3/4");
BENCHMARK_CAPTURE(CompileAndRun, function, "sin(0.5)+1");
BENCHMARK_CAPTURE(CompileAndRun, brackets_implicit, "2(3+4)((5-1)/2)");
BENCHMARK_CAPTURE(CompileAndRun, variables, "r1//10k");
BENCHMARK_CAPTURE(CalcWholeLine, literals, "1.5k*2+3/4");
BENCHMARK_CAPTURE(CalcWholeLine, function, "sin(0.5)+1");
BENCHMARK_CAPTURE(CalcWholeLine, brackets_implicit, "2(3+4)((5-1)/2)");
BENCHMARK_CAPTURE(CalcWholeLine, assignment, "x=r1//10k ;parallel");

}  // namespace
}  // namespace rekna

namespace rekna {
namespace {

// A variable read in a line, with the table holding state.range(0) variables.
void VariableLookup(benchmark::State& state) {
    TVtCalc calc;
    for (int i = 0; i < state.range(0); ++i) {
        calc.SetVar("v" + std::to_string(i), TFrac(i), TFrac(), 0, false);
    }
    const std::string name = "v" + std::to_string(state.range(0) / 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(calc.Vars().Find(name));
}
BENCHMARK(VariableLookup)->Arg(10)->Arg(1000)->Arg(100000);

void CompileWithVariable(benchmark::State& state) {
    TVtCalc calc;
    for (int i = 0; i < state.range(0); ++i) {
        calc.SetVar("v" + std::to_string(i), TFrac(i), TFrac(), 0, false);
    }
    const std::string line = "v" + std::to_string(state.range(0) / 2) + "*2";
    for (auto _ : state)
        benchmark::DoNotOptimize(calc.CalcLine(line, true, true, false));
}
BENCHMARK(CompileWithVariable)->Arg(10)->Arg(1000)->Arg(100000);

void UserFunctionCall(benchmark::State& state) {
    TVtCalc calc;
    calc.CalcLine("#Par(a, b)=a*b/(a+b)", true, true, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(calc.CalcLine("Par(4.7k, 10k)", true, true, false));
}
BENCHMARK(UserFunctionCall);

}  // namespace
}  // namespace rekna
