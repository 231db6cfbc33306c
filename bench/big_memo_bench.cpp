// A long engineering memo opened in the calculation frame: loading, the run over every line and
// the first paint, with the memory the memo takes beyond its text.
#include "editor/qt/umemo.h"
#include "engineering_memo.h"
#include "frame/qt/vt_frame_calc.h"
#include "qt_bench_main.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

// The resident size of the process, in bytes.
double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

void BM_OpenBigMemo(benchmark::State& state) {
    const std::string text = rekna::bench::EngineeringMemoText(static_cast<int>(state.range(0)));
    double perLine = 0, resident = 0;
    std::int32_t lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto frame = std::make_unique<rekna::TVtFrameCalc>();
        frame->resize(1000, 700);
        frame->show();
        QApplication::processEvents();
        rekna::TUMemo* memo = frame->UMemo1();
        TPainted painted;
        memo->installEventFilter(&painted);
        const double before = ResidentBytes();
        state.ResumeTiming();

        memo->LoadBytes(text, false);
        frame->Core().RunCommand(rekna::TRunCommand::rcRun);
        // The whole run, as before runs went on in slices.
        frame->FinishRun();
        memo->update();
        while (!painted.Painted)
            QApplication::processEvents();

        state.PauseTiming();
        resident = ResidentBytes();
        lines = memo->Lines().GetCount();
        // Every row keeps its text; what comes on top is the price of a line.
        perLine = (resident - before - static_cast<double>(text.size())) / lines;
        memo->removeEventFilter(&painted);
        frame.reset();
        // The next frame starts from what the process holds without this one.
        ::malloc_trim(0);
        state.ResumeTiming();
    }
    state.counters["lines"] = lines;
    state.counters["bytes_per_line"] = perLine;
    state.counters["resident_MB"] = resident / (1 << 20);
}
// Where the memory of a calculated memo goes, per line: the rows of the memo and the answer
// pane as loaded (the pane follows the memo's rows from the start), then what the run adds, and
// of that what the line cache holds.
void BM_BigMemoMemoryParts(benchmark::State& state) {
    const std::string text = rekna::bench::EngineeringMemoText(static_cast<int>(state.range(0)));
    const auto heap = [] { return static_cast<double>(::mallinfo2().uordblks); };
    double rows = 0, run = 0, cache = 0;
    for (auto _ : state) {
        auto frame = std::make_unique<rekna::TVtFrameCalc>();
        frame->resize(1000, 700);
        frame->show();
        QApplication::processEvents();
        rekna::TUMemo* memo = frame->UMemo1();
        const double start = heap();
        memo->LoadBytes(text, false);
        const double loaded = heap();
        frame->Core().RunCommand(rekna::TRunCommand::rcRun);
        frame->FinishRun();
        const double finished = heap();
        QApplication::processEvents();
        const double ran = heap();
        state.counters["painting_per_line"] = (ran - finished) / memo->Lines().GetCount();
        const double lines = memo->Lines().GetCount();
        rows = (loaded - start - static_cast<double>(text.size())) / lines;
        run = (ran - loaded) / lines;
        cache = static_cast<double>(frame->VtCalc1().LineCacheBytes()) / lines;
        frame.reset();
        ::malloc_trim(0);
    }
    state.counters["memo_rows_per_line"] = rows;
    state.counters["run_per_line"] = run;
    state.counters["of_it_cache_per_line"] = cache;
}
BENCHMARK(BM_BigMemoMemoryParts)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_OpenBigMemo)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenBigMemo)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
