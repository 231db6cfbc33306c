// Benchmarks of undo and redo: a paste of 100,000 rows and a box paste over 10,000 rows, with the
// edit itself for comparison. Each operation is timed alone (manual time); the operation that
// restores the starting state runs untimed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "editor/umemo_editor.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

// `lines` calculation lines of about 60 bytes, mixed single- and double-byte text; every fourth
// line is long enough to wrap at 68 columns.
std::string MakeLines(std::int32_t lines) {
    static const std::string comment = SysText("；電圧と電流（抵抗）の計算メモ");
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 64);
    for (std::int32_t i = 0; i < lines; ++i) {
        text.append("v").append(std::to_string(i % 1000)).append("=").append(std::to_string(i));
        text.append("*1.5+sqrt(").append(std::to_string(i % 97)).append(")/3 ").append(comment);
        if (i % 4 == 3) text.append(" ").append(comment).append(comment);
        text.append("\r\n");
    }
    return text;
}

struct TBench {
    TUMemoEditor Editor;
    TMemoryClipboard Clipboard;
};

// An editor holding `rows` lines wrapped at `wrap`, the caret in the middle.
std::unique_ptr<TBench> MakeEditor(std::int32_t rows, std::int32_t wrap) {
    auto bench = std::make_unique<TBench>();
    TUMemoStrings& s = bench->Editor.Strings();
    s.SetWrapColumns(wrap);
    s.LoadBytes(MakeLines(rows), false);
    s.Selection().SetCaret(s, {3, s.GetCount() / 2}, TSelMode::smNone);
    bench->Editor.SetClipboard(&bench->Clipboard);
    return bench;
}

template <typename F> double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The paste of 100,000 lines into a 1,000-line memo, unwrapped and wrapped at 68 columns.
void BM_PasteRows(benchmark::State& state) {
    auto bench = MakeEditor(1000, static_cast<std::int32_t>(state.range(0)));
    bench->Clipboard.SetText(MakeLines(100000));
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { bench->Editor.Paste(); }));
        bench->Editor.Undo();
        // Empties the redo list, which the next paste would otherwise free while timed.
        bench->Editor.SetReadOnly(true);
        bench->Editor.SetReadOnly(false);
    }
    state.counters["rows"] = bench->Editor.Strings().GetCount();
}
BENCHMARK(BM_PasteRows)->Arg(0)->Arg(68)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_UndoPasteRows(benchmark::State& state) {
    auto bench = MakeEditor(1000, static_cast<std::int32_t>(state.range(0)));
    bench->Clipboard.SetText(MakeLines(100000));
    bench->Editor.Paste();
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { bench->Editor.Undo(); }));
        bench->Editor.Redo();
    }
    state.counters["items"] = static_cast<double>(bench->Editor.History().UndoList().Count());
}
BENCHMARK(BM_UndoPasteRows)->Arg(0)->Arg(68)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RedoPasteRows(benchmark::State& state) {
    auto bench = MakeEditor(1000, static_cast<std::int32_t>(state.range(0)));
    bench->Clipboard.SetText(MakeLines(100000));
    bench->Editor.Paste();
    bench->Editor.Undo();
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { bench->Editor.Redo(); }));
        bench->Editor.Undo();
    }
}
BENCHMARK(BM_RedoPasteRows)->Arg(0)->Arg(68)->UseManualTime()->Unit(benchmark::kMillisecond);

// A box paste of one line into a multi-row caret over 10,000 rows, and its undo.
std::unique_ptr<TBench> MakeBoxEditor(std::int32_t wrap) {
    auto bench = MakeEditor(10000, wrap);
    TUMemoStrings& s = bench->Editor.Strings();
    s.Selection().SelectBox(s, {5, 0}, {5, s.GetCount() - 1});
    bench->Clipboard.SetText("xy");
    return bench;
}

void BM_BoxPaste(benchmark::State& state) {
    auto bench = MakeBoxEditor(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { bench->Editor.Paste(); }));
        bench->Editor.Undo();
        bench->Editor.SetReadOnly(true);
        bench->Editor.SetReadOnly(false);
    }
    state.counters["rows"] = bench->Editor.Strings().GetCount();
}
BENCHMARK(BM_BoxPaste)->Arg(0)->Arg(68)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_UndoBoxPaste(benchmark::State& state) {
    auto bench = MakeBoxEditor(static_cast<std::int32_t>(state.range(0)));
    bench->Editor.Paste();
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { bench->Editor.Undo(); }));
        bench->Editor.Redo();
    }
    state.counters["items"] = static_cast<double>(bench->Editor.History().UndoList().Count());
}
BENCHMARK(BM_UndoBoxPaste)->Arg(0)->Arg(68)->UseManualTime()->Unit(benchmark::kMillisecond);

// A change of the wrap width over 100,000 lines (from 68 to 40 columns) taken back row by row.
void BM_UndoWrapWidth(benchmark::State& state) {
    auto bench = MakeEditor(100000, 68);
    bench->Editor.Strings().SetWrapColumns(40);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { bench->Editor.Undo(); }));
        bench->Editor.Redo();
    }
    state.counters["items"] = static_cast<double>(bench->Editor.History().UndoList().Count());
}
BENCHMARK(BM_UndoWrapWidth)->UseManualTime()->Unit(benchmark::kMillisecond);

// One typed character in a 100,000-row memo, and its undo: the interactive case.
void BM_TypeAndUndo(benchmark::State& state) {
    auto bench = MakeEditor(100000, 68);
    for (auto _ : state) {
        bench->Editor.InsertAtCaret("x");
        bench->Editor.Undo();
    }
}
BENCHMARK(BM_TypeAndUndo)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rekna
