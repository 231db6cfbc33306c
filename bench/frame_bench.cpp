// One typed character in a long engineering memo: the edit, the run over all lines and the
// answer-pane refresh, without painting.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "editor/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/run_procedure.h"

namespace rekna {
namespace {

std::string EngineeringMemoText(int count) {
    std::mt19937 rng(11);
    const auto n = [&rng](int lo, int hi) {
        return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    std::string text = "#Par(a, b)=a*b/(a+b)\r\nf=1M\r\nvcc=3.3\r\n";
    for (int i = 3; i < count; ++i) {
        switch (i % 10) {
            case 0: text += "; stage " + n(1, 99); break;
            case 1: text += "r" + n(1, 40) + "=" + n(1, 99) + "." + n(0, 9) + "k"; break;
            case 2: text += "vcc*r" + n(1, 40) + "/(r" + n(1, 40) + "+" + n(1, 9) + "k)"; break;
            case 3: text += "Par(" + n(1, 99) + "k, " + n(1, 99) + "k)"; break;
            case 4: text += "zL(" + n(1, 99) + "u)"; break;
            case 5: text += n(1, 999) + "*" + n(1, 99) + "m+" + n(1, 9); break;
            case 6: text += "dB20(" + n(1, 999) + "/" + n(1, 99) + ")"; break;
            case 7: text += ""; break;
            case 8: text += "E24(" + n(1, 99) + "." + n(0, 9) + "k)"; break;
            default: text += n(1, 255) + " #N16"; break;
        }
        text += "\r\n";
    }
    return text;
}

void TypeAndRunAll(benchmark::State& state) {
    TUMemoStrings memo, answers;
    memo.SetCplxEnable(true);
    memo.LoadBytes(EngineeringMemoText(static_cast<int>(state.range(0))), false);
    TVtCalc calc;
    TCalcOptions options;
    ApplyFrameDesign(calc);
    options.ApplyToEngine(calc);
    TRunProcedure run(memo, answers, calc, options);
    run.CalcRows(true, false, TCalcRangeKind::rkAll);
    const int row = memo.GetCount() / 2;
    memo.Selection().Caret = {1, row};
    bool toggle = false;
    for (auto _ : state) {
        // Type a digit at the start of the middle line, then delete it again next time.
        std::string text = memo.Get(row);
        if (toggle) {
            text.erase(0, 1);
        } else {
            text.insert(0, "9");
        }
        toggle = !toggle;
        memo.Put(row, text);
        run.RefreshAnswerRows(memo.TopRow(), memo.TopRow() + 50);
        run.CalcRows(true, false, TCalcRangeKind::rkAll);
    }
    state.counters["lines"] = static_cast<double>(memo.GetCount());
}
BENCHMARK(TypeAndRunAll)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rekna
