// A 10,000-line engineering memo calculated line by line, as every keystroke recalculates it.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "engine/vt_calc.h"

namespace rekna {
namespace {

// Literal arithmetic, SI prefixes, functions, variables, user functions and a few display
// directives, in the proportions of a working memo.
std::vector<std::string> EngineeringMemo(std::size_t count) {
    std::mt19937 rng(7);
    const auto n = [&rng](int lo, int hi) {
        return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    std::vector<std::string> memo = {"#Par(a, b)=a*b/(a+b)", "#Lc(l, c)=1/(2*pi*sqrt(l*c))", "f=1M",
                                     "vcc=3.3"};
    while (memo.size() < count) {
        switch (memo.size() % 16) {
        case 0: memo.push_back("; stage " + n(1, 99) + " bias network"); break;
        case 1: memo.push_back("r" + n(1, 40) + "=" + n(1, 99) + "." + n(0, 9) + "k"); break;
        case 2: memo.push_back("r" + n(1, 40) + "//" + n(1, 99) + "k"); break;
        case 3: memo.push_back("vcc*r" + n(1, 40) + "/(r" + n(1, 40) + "+" + n(1, 9) + "k)"); break;
        case 4: memo.push_back(n(1, 999) + "*" + n(1, 99) + "m+" + n(1, 9) + "." + n(0, 99)); break;
        case 5: memo.push_back("Par(" + n(1, 99) + "k, " + n(1, 99) + "k)"); break;
        case 6: memo.push_back("zL(" + n(1, 99) + "u)"); break;
        case 7: memo.push_back("zC(" + n(1, 999) + "p) ;reactance"); break;
        case 8: memo.push_back("dB20(" + n(1, 999) + "/" + n(1, 99) + ")"); break;
        case 9: memo.push_back("Lc(" + n(1, 99) + "u, " + n(1, 999) + "p)"); break;
        case 10: memo.push_back("sqrt(" + n(1, 99) + "^2+" + n(1, 99) + "^2)"); break;
        case 11: memo.push_back(""); break;
        case 12: memo.push_back("x" + n(0, 9) + "=Ans*1.1"); break;
        case 13: memo.push_back("E24(" + n(1, 99) + "." + n(0, 9) + "k)"); break;
        case 14: memo.push_back(n(1, 255) + " #N16"); break;
        default: memo.push_back("2(" + n(1, 9) + "+" + n(1, 9) + ")/" + n(1, 9) + " #Fix"); break;
        }
    }
    return memo;
}

void MemoRun(benchmark::State& state) {
    const auto memo = EngineeringMemo(static_cast<std::size_t>(state.range(0)));
    TVtCalc calc;
    for (auto _ : state) {
        calc.ResetDisplay();
        for (const auto& line : memo)
            benchmark::DoNotOptimize(calc.CalcLine(line, true, true, true));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(memo.size()));
    state.counters["lines_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()) *
                                                           static_cast<double>(memo.size()),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(MemoRun)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rekna
