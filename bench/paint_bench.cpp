// Benchmarks of the editor's painter: classifying and painting a full 80 x 50 screen of memo text.
#include "editor/paint/char_classifier.h"
#include "editor/paint/keyword_list.h"
#include "editor/paint/paint_style.h"
#include "editor/qt/umemo.h"
#include "editor/store/row_cells.h"
#include "platform/cp932.h"
#include "qt_bench_main.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr int kColumns = 80;
constexpr int kRows = 50;

// Dense memo rows of about 80 columns: expressions with functions and nested brackets, comments,
// units, labels, control and statistics lines, Japanese text, a script line.
std::string DenseMemo(int lines) {
    const char* patterns[] = {
        "x%d = Sqrt((1.5+%d)*(2.25-Sin(0.3*%d)))/(Log10(%d+1)+Abs(-3.5)) ;距離 [m] 計算",
        "ゲイン%d: dB20(1/Sqrt(1+(f/fc)^2))*%d + ArcTan(%d/7)\t[dB] 増幅率の確認用",
        "#Hyp%d(a, b)=Sqrt(a^2+b^2)+%d ;ユーザー関数の定義 %d",
        ">%d.25\t%d.5\t%d.75 ;統計データ（測定値）の行です",
        "#>Dim v%d : v%d = \"文字列%d\" ' VBScript のコメント",
        "角度%d＝(((1+2)*(3+4))-((5-6)/(7+8)))*Rad(%d)+Cos(%d°)　;全角空白",
    };
    std::string text;
    char buf[256];
    for (int i = 0; i < lines; ++i) {
        std::snprintf(buf, sizeof buf, patterns[i % 6], i, i, i);
        if (i > 0) text += "\r\n";
        text += buf;
    }
    return rekna::SysText(text);
}

// A memo widget whose view is exactly 80 columns by 50 rows.
std::unique_ptr<rekna::TUMemo> ScreenMemo() {
    auto memo = std::make_unique<rekna::TUMemo>();
    memo->setFrameShape(QFrame::NoFrame);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->resize(memo->LeftMargin() + kColumns * memo->ColPitch(),
                 rekna::TUMemo::kTopMargin + 1 + kRows * memo->RowPitch());
    memo->show();
    QApplication::processEvents();
    memo->LoadBytes(DenseMemo(200), false);
    return memo;
}

void BM_PaintScreen(benchmark::State& state) {
    auto memo = ScreenMemo();
    if (memo->PageCols() != kColumns || memo->PageRows() != kRows) {
        state.SkipWithError("the view is not 80 x 50");
        return;
    }
    for (auto _ : state) {
        memo->RepaintAll();
        benchmark::DoNotOptimize(memo->Canvas().constBits());
    }
    state.counters["rows"] = memo->PageRows();
    state.counters["cols"] = memo->PageCols();
}
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);

// The Qt-free part alone: classifying the screen's lines and building its cells.
void BM_ClassifyScreen(benchmark::State& state) {
    rekna::TUMemoStrings strings;
    strings.LoadBytes(DenseMemo(kRows), false);
    const rekna::TPaintStyle style;
    const rekna::TKeyWordList functions(rekna::CalcFunctionNames(), false);
    rekna::TCharClassifier classifier;
    classifier.Dependence = &style.DependenceChar;
    classifier.Functions = &functions;
    rekna::TClassifiedLine line;
    rekna::TRowCells cells;
    rekna::TRowCellOptions options;
    options.ToColumn = kColumns;
    std::size_t n = 0;
    for (auto _ : state) {
        for (std::int32_t row = 0; row < kRows; ++row) {
            classifier.Classify(strings, row, {1, 0}, line);
            rekna::BuildRowCells(strings, line, row, options, cells);
            n += cells.Cells.size();
        }
    }
    benchmark::DoNotOptimize(n);
}
BENCHMARK(BM_ClassifyScreen)->Unit(benchmark::kMicrosecond);

// Typing into one row: the row is painted again, nothing else.
void BM_RepaintAfterEdit(benchmark::State& state) {
    auto memo = ScreenMemo();
    rekna::TUMemoStrings& s = memo->Lines();
    const std::string a = s.Get(10);
    const std::string b = a + "1";
    bool flip = false;
    for (auto _ : state) {
        s.Put(10, flip ? a : b);  // its own edit group, which repaints at its end
        flip = !flip;
    }
}
BENCHMARK(BM_RepaintAfterEdit)->Unit(benchmark::kMicrosecond);

// Scrolling one row: the pixels move, one row is painted.
void BM_ScrollOneRow(benchmark::State& state) {
    auto memo = ScreenMemo();
    bool down = true;
    for (auto _ : state) {
        memo->SetTopRow(down ? 1 : 0);
        down = !down;
    }
}
BENCHMARK(BM_ScrollOneRow)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
