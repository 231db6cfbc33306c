// The calculation frame on long memos, as a user meets it: a 1,000,000-line memo opened until its
// first screen is painted with answers, and keys typed into it at the top, in the middle and at
// the end; keys typed into a 10,000-line memo whose variables many lines read, and at the end of a
// 10 MB line. A key's figure is the processor time of the whole process until the run it started
// has ended and the screen is painted again.
#include "editor/qt/umemo.h"
#include "engineering_memo.h"
#include "frame/qt/vt_frame_calc.h"
#include "qt_bench_main.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

std::string MemoFile(const std::string& name, const std::string& text) {
    const std::string path = QDir::tempPath().toStdString() + "/rekna_" + name + ".txt";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Events run until the frame has nothing left to do: the run and its repaints.
void Settle(rekna::TVtFrameCalc& frame) {
    do {
        QApplication::processEvents();
    } while (frame.Core().Run().Pending());
    QApplication::processEvents();
}

std::unique_ptr<rekna::TVtFrameCalc> NewFrame() {
    auto frame = std::make_unique<rekna::TVtFrameCalc>();
    frame->resize(1000, 700);
    frame->show();
    QApplication::processEvents();
    return frame;
}

// From the open command to the first paint of the memo with the answers of its first screen;
// "finished_ms" is when the run over all lines has ended.
void BM_FirstScreen(benchmark::State& state) {
    const std::string path =
        MemoFile("independent_" + std::to_string(state.range(0)),
                 rekna::bench::IndependentMemoText(static_cast<int>(state.range(0))));
    double finished = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto frame = NewFrame();
        rekna::TUMemo* memo = frame->UMemo1();
        TPainted painted;
        memo->installEventFilter(&painted);
        QElapsedTimer clock;
        state.ResumeTiming();
        clock.start();
        frame->OpenDocument(path, false, false, true);
        memo->update();
        while (!painted.Painted)
            QApplication::processEvents();
        state.PauseTiming();
        if (frame->UMemo2()->Lines().Get(2).empty()) state.SkipWithError("no answers on screen");
        Settle(*frame);
        finished = static_cast<double>(clock.elapsed());
        memo->removeEventFilter(&painted);
        frame.reset();
        state.ResumeTiming();
    }
    state.counters["finished_ms"] = finished;
}
BENCHMARK(BM_FirstScreen)->Arg(1000000)->Iterations(2)->Unit(benchmark::kMillisecond);

void Press(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

// Every iteration is one key: a digit typed at the end of the row (or before its column), or
// taken back with Backspace the next time. Processor time of the process per key.
void TypeKeys(benchmark::State& state, const std::string& text, std::int32_t row,
              std::int32_t column = 0) {
    auto frame = NewFrame();
    rekna::TUMemo* memo = frame->UMemo1();
    frame->OpenDocument(MemoFile("key_bench", text), false, false, true);
    Settle(*frame);
    rekna::TUMemoStrings& s = memo->Lines();
    s.BeginEdit(true);
    const auto end = static_cast<std::int32_t>(s.Get(row).size()) + 1;
    s.Selection().SetCaret(s, {column > 0 ? column : end, row}, rekna::TSelMode::smNone);
    s.EndEdit(true);
    memo->setFocus();
    memo->ScrollCaretIntoView();
    Settle(*frame);
    const std::string before = s.GetLine(row);
    const std::uint64_t calculated = frame->Core().Run().RowsCalculated();
    bool typed = false;
    for (auto _ : state) {
        if (typed) {
            Press(memo, Qt::Key_Backspace, QString());
        } else {
            Press(memo, Qt::Key_9, QStringLiteral("9"));
        }
        typed = !typed;
        Settle(*frame);
    }
    if (typed) Press(memo, Qt::Key_Backspace, QString());
    Settle(*frame);
    if (s.GetLine(row) != before) state.SkipWithError("the row did not come back");
    state.counters["lines"] = s.GetCount();
    // Rows worked out or replayed per key.
    state.counters["rows_per_key"] =
        static_cast<double>(frame->Core().Run().RowsCalculated() - calculated) /
        static_cast<double>(state.iterations());
}

// 1,000,000 independent lines; the caret on a formula near the top, in the middle, at the end.
void BM_BigMemoKey(benchmark::State& state) {
    const int lines = 1000000;
    const std::int32_t rows[] = {13, lines / 2 + 1, lines - 11};
    TypeKeys(state, rekna::bench::IndependentMemoText(lines), rows[state.range(0)]);
}
BENCHMARK(BM_BigMemoKey)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(40)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// 10,000 lines with variables: a formula at the top, in the middle and at the end (range 0-2),
// an assignment of v1..v50 in the middle (3) and the value of r1 itself (4: "r1=4.7k" becomes
// "r1=4.79k"), which a fifth of the lines read.
void BM_VariableMemoKey(benchmark::State& state) {
    const int lines = 10000;
    const std::int32_t rows[] = {14, lines / 2 + 4, lines - 6, lines / 2 + 1, 2};
    TypeKeys(state, rekna::bench::VariableMemoText(lines), rows[state.range(0)],
             state.range(0) == 4 ? 7 : 0);
}
BENCHMARK(BM_VariableMemoKey)
    ->DenseRange(0, 4)
    ->Iterations(100)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// A memo whose middle line is 10 MB long (kind 0: a formula far past the item limit; kind 1: text
// with double-byte characters, brackets and a label), the caret at that line's end.
void BM_LongLineKey(benchmark::State& state) {
    const std::string piece = state.range(0) == 0 ? "(12.5+3)*4-" : "長さ(12.5+3)*4 mm ";
    std::string text = "a=1\r\nb=2\r\n";
    const std::size_t bytes = 10'000'000;
    std::string line;
    line.reserve(bytes + piece.size());
    while (line.size() < bytes)
        line += piece;
    if (state.range(0) == 0) line += "1";
    text += line + "\r\n";
    for (int i = 0; i < 20; ++i)
        text += "a+b*" + std::to_string(i) + "\r\n";
    TypeKeys(state, text, 2);
}
BENCHMARK(BM_LongLineKey)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(20)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
