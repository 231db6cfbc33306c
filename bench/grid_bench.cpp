// Benchmarks of the settings grid: a paste of 10,000 x 5 cells into a typed data table, and the
// undo of that paste. Each operation is timed alone; the one that restores the start runs untimed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "grid/vt_grid.h"

namespace rekna {
namespace {

constexpr int kRows = 10000;
constexpr int kCols = 5;

// A data table: a header row and column, numbers in engineering, real and plain text columns.
void MakeTable(TVtGrid& grid) {
    grid.SetColCount(kCols + 1);
    grid.SetRowCount(kRows + 1);
    const TVtEditDataType types[kCols] = {TVtEditDataType::dtEng, TVtEditDataType::dtReal,
                                          TVtEditDataType::dtReal, TVtEditDataType::dtInteger,
                                          TVtEditDataType::dtString};
    for (int c = 0; c < kCols; ++c) {
        TVtParam param;
        param.CellActions = grid.AddCellAction({TVtCellMode::cmEdit, types[c], 6, false, {}});
        grid.SetCellParam(c + 1, 0, grid.AddParam(param));
    }
    grid.SelectAllCells();
}

std::string MakeText() {
    std::string text;
    for (int r = 0; r < kRows; ++r) {
        text += std::to_string(r) + ".5k\t" + std::to_string(r * 3) + "e-3\t-" +
                std::to_string(r % 97) + ".25\t" + std::to_string(r) + "\tname" +
                std::to_string(r) + "\r\n";
    }
    return text;
}

void BM_Paste10000x5(benchmark::State& state) {
    TVtGrid grid;
    MakeTable(grid);
    const std::string text = MakeText();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        grid.PasteText(text, false);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        grid.Undo();
    }
}
BENCHMARK(BM_Paste10000x5)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_UndoPaste10000x5(benchmark::State& state) {
    TVtGrid grid;
    MakeTable(grid);
    const std::string text = MakeText();
    for (auto _ : state) {
        grid.PasteText(text, false);
        const auto start = std::chrono::steady_clock::now();
        grid.Undo();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_UndoPaste10000x5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rekna
