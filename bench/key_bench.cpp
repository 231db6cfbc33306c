// Benchmarks of typing into the editor widget: one key press in a 100,000-row memo, from the key
// event through the edit, its notifications and the repaint of the changed rows.
#include "editor/qt/umemo.h"
#include "platform/cp932.h"
#include "qt_bench_main.h"

#include <QApplication>
#include <QKeyEvent>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kRows = 100000;

// Memo lines of about 60 columns: expressions, comments, Japanese text, control lines.
std::string LongMemo(int lines) {
    const char* patterns[] = {
        "x%d = Sqrt((1.5+%d)*(2.25-Sin(0.3))) ;距離 [m]",
        "ゲイン%d: dB20(1/Sqrt(1+(f/fc)^2))*%d",
        "#Hyp%d(a, b)=Sqrt(a^2+b^2)+%d ;定義",
        ">%d.25\t%d.5 ;測定値",
    };
    std::string text;
    char buf[160];
    for (int i = 0; i < lines; ++i) {
        std::snprintf(buf, sizeof buf, patterns[i % 4], i, i);
        if (i > 0) text += "\r\n";
        text += buf;
    }
    return rekna::SysText(text);
}

// A shown memo of 100,000 rows, 80 columns by 40 rows, with the caret at the end of a row in the
// middle and the view on it; wrap gives the wrap width (0: none).
std::unique_ptr<rekna::TUMemo> BigMemo(std::int32_t wrap) {
    auto memo = std::make_unique<rekna::TUMemo>();
    memo->resize(memo->LeftMargin() + 80 * memo->ColPitch() + 20,
                 rekna::TUMemo::kTopMargin + 1 + 40 * memo->RowPitch() + 20);
    memo->show();
    memo->setFocus();
    QApplication::processEvents();
    if (wrap > 0) {
        memo->Editor().Wrap().SetWordWrapWidth(wrap);
        memo->Editor().Wrap().SetWordWrap(rekna::TWordWrapType::wtCount);
    }
    memo->LoadBytes(LongMemo(kRows), false);
    rekna::TUMemoStrings& s = memo->Lines();
    const std::int32_t row = s.GetCount() / 2;
    s.BeginEdit(false);
    s.Selection().SetCaret(s, {static_cast<std::int32_t>(s.Get(row).size()) + 1, row},
                           rekna::TSelMode::smNone);
    s.EndEdit(false);
    memo->ScrollCaretIntoView();
    memo->viewport()->repaint();
    return memo;
}

void Press(rekna::TUMemo& memo, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&memo, &press);
}

// A character typed and then taken back with Backspace: two key presses per iteration, so a key
// press takes half the time shown. Each press ends with its changed rows painted into the canvas
// (and, with show, the pending window update processed: the changed rows shown on the screen).
void TypeAndErase(benchmark::State& state, bool show) {
    auto memo = BigMemo(static_cast<std::int32_t>(state.range(0)));
    const std::string before = memo->Lines().GetLine(memo->Lines().Selection().Caret.Y);
    for (auto _ : state) {
        Press(*memo, Qt::Key_A, QStringLiteral("a"));
        if (show) QApplication::processEvents();
        Press(*memo, Qt::Key_Backspace, QString());
        if (show) QApplication::processEvents();
    }
    if (memo->Lines().GetLine(memo->Lines().Selection().Caret.Y) != before)
        state.SkipWithError("the row did not come back");
    state.SetItemsProcessed(state.iterations() * 2);
    state.counters["rows"] = memo->Lines().GetCount();
    state.counters["painted_rows"] = static_cast<double>(memo->LastRepaint().Rows.size());
}

void BM_KeyToCanvas(benchmark::State& state) {
    TypeAndErase(state, false);
}
BENCHMARK(BM_KeyToCanvas)->Arg(0)->Arg(60)->Unit(benchmark::kMicrosecond);

void BM_KeyToScreen(benchmark::State& state) {
    TypeAndErase(state, true);
}
BENCHMARK(BM_KeyToScreen)->Arg(0)->Arg(60)->Unit(benchmark::kMicrosecond);

// A caret move: no text changes, the caret row and the one it left are painted again.
void BM_ArrowKey(benchmark::State& state) {
    auto memo = BigMemo(0);
    bool down = true;
    for (auto _ : state) {
        Press(*memo, down ? Qt::Key_Down : Qt::Key_Up, QString());
        QApplication::processEvents();
        down = !down;
    }
}
BENCHMARK(BM_ArrowKey)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
