// One typed character in a long engineering memo: the edit, the run over all lines and the
// answer-pane refresh, without painting.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/store/umemo_strings.h"
#include "engine/vt_calc.h"
#include "engineering_memo.h"
#include "frame/calc_options.h"
#include "frame/run_procedure.h"

namespace rekna {
namespace {

void TypeAndRunAll(benchmark::State& state) {
    TUMemoStrings memo, answers;
    memo.SetCplxEnable(true);
    memo.LoadBytes(bench::EngineeringMemoText(static_cast<int>(state.range(0))), false);
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
