// The graph window's full update: the formulas compiled with a memo's lines, ten formulas sampled
// at 10,001 points each through the engine, and the graph drawn (as SVG, the canvas without a
// display), as "更新" does it; the sampling alone; and a memo's 20,000 #Graph.Data lines applied as
// #グラフ設定実行 applies them.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/memo_formula_list.h"
#include "graph/svg_canvas.h"
#include "graph/xy_graph.h"
#include "graph_window/graph_model.h"
#include "graph_window/graph_tables.h"

namespace {

using namespace rekna;

struct TSetup {
    TSetup() {
        for (const std::string& line : Memo)
            Calc.CalcLine(line, true, true, true);
        Model.Sampler().BuildMemo = [this](TVtCalc& c, bool) {
            BuildMemoFormulas(Memo, c, Options);
        };
        const char* formulas[] = {"a*X^2",       "Sin(X)",       "Tan(X)", "Cos(X)*b",
                                  "Exp(-X^2/4)", "Sqrt(Abs(X))", "X^3/25", "c",
                                  "Sin(3*X)/X",  "Log(Abs(X)+1)"};
        TVtGrid& t = Model.Tables().Table(TGraphTableId::gtCalc);
        for (int k = 0; k < kGraphFormulas; ++k)
            t.SetCells(gcol::kFormula, 2 + k, formulas[k]);
        Model.Tables().Table(TGraphTableId::gtRange).SetCells(gcol::kDivide, grow::kXAxis, "10000");
        Graph.SetSize(720, 480);
    }
    std::vector<std::string> Memo = {"a=0.5", "b=2", "c=a*X+b", "unused=17*3"};
    TCalcOptions Options;
    TVtCalc Calc;
    TXYGraph Graph;
    TGraphModel Model{Calc, Graph};
};

void BM_GraphFullUpdate(benchmark::State& state) {
    TSetup s;
    for (auto _ : state) {
        s.Model.FullUpdate();
        TSvgCanvas canvas(720, 480);
        s.Graph.Draw(canvas);
        benchmark::DoNotOptimize(canvas.Finish().size());
    }
    state.counters["points"] = s.Graph.Series(0)->Count();
}
BENCHMARK(BM_GraphFullUpdate)->Unit(benchmark::kMillisecond);

void BM_GraphSampling(benchmark::State& state) {
    TSetup s;
    s.Model.FullUpdate();
    for (auto _ : state)
        benchmark::DoNotOptimize(s.Model.ComputeAndDraw());
}
BENCHMARK(BM_GraphSampling)->Unit(benchmark::kMillisecond);

void BM_GraphDataLines(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    std::vector<std::string> memo = {"#Graph.Calc.Y[1]=OFF"};
    for (int i = 1; i <= rows; ++i)
        memo.push_back("#Graph.Data." + std::to_string(i) + "=" + std::to_string(i) + "\t" +
                       std::to_string(i % 97) + "\t" + std::to_string(i % 13));
    TCalcOptions options;
    TVtCalc calc;
    TXYGraph graph;
    graph.SetSize(720, 480);
    TGraphModel model(calc, graph);
    // The memo formulas as the window builds them, from the same memo.
    model.Sampler().BuildMemo = [&](TVtCalc& c, bool) {
        BuildMemoFormulas(FormulaLinesOf(memo), c, options);
    };
    for (auto _ : state) {
        model.ExecuteGraphLines(memo);
        benchmark::DoNotOptimize(graph.Series(10)->Count());
    }
    state.counters["rows"] = model.Tables().DataRows();
}
BENCHMARK(BM_GraphDataLines)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
