// Benchmarks of compiling and evaluating typical memo lines.
#include <benchmark/benchmark.h>

#include "engine/vari_list.h"
#include "engine/vt_calc.h"

#include <string>
#include <vector>

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

// The graph window's reduction of the memo formulas: a chain of assignments from x into the
// graph variable y, with as many lines between them that nothing reads. Time per formula
// stays flat when the reduction is linear.
void ReduceMemoFormulas(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    TVtCalc calc;
    calc.CalcLine("x=0", true, true, true);
    calc.CalcLine("y=0", true, true, true);
    std::vector<TCalcList> formulas;
    const auto add = [&](const std::string& line) {
        calc.CalcLine(line, true, true, true);
        calc.Compile(line, true);
        formulas.push_back(calc.Compiled());
    };
    add("v0=x");
    for (int i = 1; i < count / 2; ++i) {
        add("v" + std::to_string(i) + "=v" + std::to_string(i - 1) + "+1");
        add("u" + std::to_string(i) + "=" + std::to_string(i));
    }
    add("y=v" + std::to_string(count / 2 - 1));
    calc.Vars().Mark("y", vfGraph);
    std::size_t kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        calc.MemoFormulas() = formulas;
        state.ResumeTiming();
        calc.ReduceMemoFormulas("x", true);
        kept = calc.MemoFormulas().size();
    }
    state.counters["formulas"] = static_cast<double>(formulas.size());
    state.counters["kept"] = static_cast<double>(kept);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(ReduceMemoFormulas)
    ->RangeMultiplier(4)
    ->Range(500, 8000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
}  // namespace rekna
