// One typed character in a long engineering memo through the whole calculation frame: the key
// event, the edit, the run over every line, the answer-pane refresh and the repaint of what
// changed, shown on the (offscreen) screen.
#include "editor/qt/umemo.h"
#include "engineering_memo.h"
#include "frame/qt/vt_frame_calc.h"
#include "qt_bench_main.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The frame at a typical window size with the memo loaded and calculated, the caret at the end
// of a row in the middle: a comment (kind 0), an assignment whose variable later lines read
// (kind 1) or a formula (kind 2).
std::unique_ptr<rekna::TVtFrameCalc> Frame(int lines, int kind, bool logPane) {
    auto frame = std::make_unique<rekna::TVtFrameCalc>();
    frame->resize(1000, 700);
    frame->show();
    QApplication::processEvents();
    if (logPane) frame->Action("ActionWindowLog")->trigger();
    rekna::TUMemo* memo = frame->UMemo1();
    memo->LoadBytes(rekna::bench::EngineeringMemoText(lines), false);
    frame->Core().RunCommand(rekna::TRunCommand::rcRun);
    rekna::TUMemoStrings& s = memo->Lines();
    const std::int32_t row = (s.GetCount() / 2 / 10) * 10 + kind;
    s.BeginEdit(true);
    s.Selection().SetCaret(s, {static_cast<std::int32_t>(s.Get(row).size()) + 1, row},
                           rekna::TSelMode::smNone);
    s.EndEdit(true);
    memo->setFocus();
    memo->ScrollCaretIntoView();
    QApplication::processEvents();
    return frame;
}

void Press(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
}

// Every iteration is one key press: a digit typed, or taken back with Backspace the next time.
void BM_FrameKey(benchmark::State& state) {
    auto frame = Frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                       state.range(2) != 0);
    rekna::TUMemo* memo = frame->UMemo1();
    const std::string before = memo->Lines().GetLine(memo->Lines().Selection().Caret.Y);
    bool typed = false;
    for (auto _ : state) {
        if (typed) {
            Press(memo, Qt::Key_Backspace, QString());
        } else {
            Press(memo, Qt::Key_9, QStringLiteral("9"));
        }
        typed = !typed;
        QApplication::processEvents();
    }
    if (typed) Press(memo, Qt::Key_Backspace, QString());
    if (memo->Lines().GetLine(memo->Lines().Selection().Caret.Y) != before)
        state.SkipWithError("the row did not come back");
    state.counters["lines"] = memo->Lines().GetCount();
    state.counters["cached"] = static_cast<double>(frame->VtCalc1().LineCacheSize());
}
// lines, row kind, log pane shown
BENCHMARK(BM_FrameKey)
    ->Args({10000, 0, 0})
    ->Args({10000, 1, 0})
    ->Args({10000, 2, 0})
    ->Args({10000, 1, 1})
    ->Args({100000, 0, 0})
    ->Args({100000, 1, 0})
    ->Args({100000, 1, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
