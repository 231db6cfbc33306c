// The main window from creation to the first paint of its memo: settings and definitions read,
// the document opened and calculated, the window shown. The process start itself (loading the
// libraries, connecting to the display) comes on top; `REKNA_QUIT_AFTER_PAINT=1 rekna MEMO`
// prints the whole figure.
#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "qt_bench_main.h"
#include "shell/qt/form_memo.h"

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

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
