// The main window from creation to the first paint of its memo: settings and definitions read,
// the document opened and calculated, the window shown. The process start itself (loading the
// libraries, connecting to the display) comes on top; `REKNA_QUIT_AFTER_PAINT=1 rekna MEMO`
// prints the whole figure.
#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "qt_bench_main.h"
#include "shell/qt/form_memo.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>

namespace {

void BM_StartUp(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    {
        std::ofstream memo(folder + "memo.txt", std::ios::binary);
        for (int i = 0; i < 50; ++i)
            memo << "r" << i << "=" << i + 1 << ".5k\r\nzL(10u)*r" << i << "+1/3\r\n";
        std::ofstream defs(folder + "ReknaDef.txt", std::ios::binary);
        defs << "#Par(a, b)=a*b/(a+b)\r\n#Db2V(x)=10^(x/20)\r\n";
    }
    rekna::TStartPaths paths;
    paths.SettingsFile = folder + "rekna.ini";
    paths.SettingsFolder = folder;
    paths.Document = folder + "memo.txt";
    for (auto _ : state) {
        rekna::TFormMemo form(paths);
        TPainted painted;
        form.Start();
        form.show();
        form.FirstShow();
        form.VtFrameCalc1()->UMemo1()->installEventFilter(&painted);
        form.VtFrameCalc1()->UMemo1()->update();
        while (!painted.Painted)
            QApplication::processEvents();
        form.VtFrameCalc1()->UMemo1()->removeEventFilter(&painted);
        state.PauseTiming();
        form.AskToSave = [] { return rekna::TSaveAnswer::saNo; };
        form.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

// A definitions file of n user functions, each calling the one before ("#F5(x)=F4(x)+1"), and
// a memo that calls the last.
void WriteChainedDefinitions(const std::string& folder, int n) {
    std::ofstream defs(folder + "ReknaDef.txt", std::ios::binary);
    defs << "#F0(x)=x+1\r\n";
    for (int i = 1; i < n; ++i)
        defs << "#F" << i << "(x)=F" << i - 1 << "(x)+1\r\n";
    std::ofstream memo(folder + "memo.txt", std::ios::binary);
    memo << "F" << n - 1 << "(1)\r\n";
}

rekna::TStartPaths ChainedPaths(const QTemporaryDir& dir, int n) {
    const std::string folder = dir.path().toStdString() + "/";
    WriteChainedDefinitions(folder, n);
    rekna::TStartPaths paths;
    paths.SettingsFile = folder + "rekna.ini";
    paths.SettingsFolder = folder;
    paths.Document = folder + "memo.txt";
    return paths;
}

// The window's start with the definitions read, the memo calculated and painted.
void BM_StartUpWithChainedDefinitions(benchmark::State& state) {
    QTemporaryDir dir;
    const rekna::TStartPaths paths = ChainedPaths(dir, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        rekna::TFormMemo form(paths);
        TPainted painted;
        form.Start();
        form.show();
        form.FirstShow();
        form.VtFrameCalc1()->UMemo1()->installEventFilter(&painted);
        form.VtFrameCalc1()->UMemo1()->update();
        while (!painted.Painted)
            QApplication::processEvents();
        form.VtFrameCalc1()->UMemo1()->removeEventFilter(&painted);
        state.PauseTiming();
        form.AskToSave = [] { return rekna::TSaveAnswer::saNo; };
        form.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpWithChainedDefinitions)->Arg(2500)->Arg(10000)->Unit(benchmark::kMillisecond);

// MC: the variables cleared and the definitions run again, up to the repaint.
void BM_MemoryClearWithChainedDefinitions(benchmark::State& state) {
    QTemporaryDir dir;
    const rekna::TStartPaths paths = ChainedPaths(dir, static_cast<int>(state.range(0)));
    rekna::TFormMemo form(paths);
    form.Start();
    form.show();
    form.FirstShow();
    QApplication::processEvents();
    for (auto _ : state) {
        form.Action("ActionEditMC")->trigger();
        QApplication::processEvents();
    }
    form.AskToSave = [] { return rekna::TSaveAnswer::saNo; };
    form.hide();
}
BENCHMARK(BM_MemoryClearWithChainedDefinitions)
    ->Arg(2500)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
