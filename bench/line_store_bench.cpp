// Benchmarks of the line store: loading a million-line memo wrapped at 68 columns, one typed
// character in its middle, re-wrapping all of it, and the memory it takes per row.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "editor/store/umemo_strings.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

constexpr std::int32_t kWrap = 68;

// A memo of `lines` calculation lines of about 60 bytes, mixed single- and double-byte text;
// every tenth line is long enough to wrap.
std::string MakeMemo(std::int32_t lines) {
    static const std::string comment = SysText("；電圧と電流（抵抗）の計算メモ");
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 62);
    for (std::int32_t i = 0; i < lines; ++i) {
        std::string line = "v" + std::to_string(i % 1000) + "=" + std::to_string(i) + "*1.5+sqrt(" +
                           std::to_string(i % 97) + ")/3 " + comment;
        if (i % 10 == 9) line += " " + line;
        text += line;
        text += "\r\n";
    }
    return text;
}

// The memo file of a size, written once per run.
const std::string& MemoFile(std::int32_t lines) {
    static std::map<std::int32_t, std::string> files;
    auto it = files.find(lines);
    if (it != files.end()) return it->second;
    const std::string name =
        (std::filesystem::temp_directory_path() /
         ("rekna-bench-" + std::to_string(::getpid()) + "-" + std::to_string(lines) + ".txt"))
            .string();
    std::ofstream(name, std::ios::binary) << MakeMemo(lines);
    if (files.empty()) {
        std::atexit([] {
            for (const auto& [n, file] : files)
                std::remove(file.c_str());
        });
    }
    return files.emplace(lines, name).first->second;
}

std::unique_ptr<TUMemoStrings> LoadedStore(std::int32_t lines) {
    auto s = std::make_unique<TUMemoStrings>();
    s->SetWrapColumns(kWrap);
    if (!s->LoadFile(MemoFile(lines), false).Ok()) return nullptr;
    return s;
}

// A store per document size, kept for the edit benchmarks.
TUMemoStrings& SharedStore(std::int32_t lines) {
    static std::map<std::int32_t, std::unique_ptr<TUMemoStrings>> stores;
    auto& store = stores[lines];
    if (!store) store = LoadedStore(lines);
    return *store;
}

void BM_LoadFile(benchmark::State& state) {
    const auto lines = static_cast<std::int32_t>(state.range(0));
    const std::string& file = MemoFile(lines);
    std::int32_t rows = 0;
    for (auto _ : state) {
        auto s = std::make_unique<TUMemoStrings>();
        s->SetWrapColumns(kWrap);
        if (!s->LoadFile(file, false).Ok()) state.SkipWithError("load failed");
        rows = s->GetCount();
        state.PauseTiming();
        s.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(file)));
}

// The heap a loaded store takes per row, in all and beyond the row texts themselves.
void BM_MemoryPerRow(benchmark::State& state) {
    const auto lines = static_cast<std::int32_t>(state.range(0));
    MemoFile(lines);
    double total = 0;
    double beyondText = 0;
    for (auto _ : state) {
        ::malloc_trim(0);
        const std::size_t before = ::mallinfo2().uordblks;
        std::unique_ptr<TUMemoStrings> s = LoadedStore(lines);
        const std::size_t after = ::mallinfo2().uordblks;
        std::size_t text = 0;
        for (std::int32_t r = 0; r < s->GetCount(); ++r)
            text += s->Get(r).size();
        const double rows = s->GetCount();
        total = static_cast<double>(after - before) / rows;
        beyondText = static_cast<double>(after - before - text) / rows;
        state.counters["rows"] = rows;
    }
    state.counters["heap_bytes_per_row"] = total;
    state.counters["beyond_text_per_row"] = beyondText;
}

// One typed character in the middle row and its removal, alternately; each is one edit group
// with a re-wrap of the logical line.
void TypeInto(benchmark::State& state, TUMemoStrings& s, std::int32_t row, std::int32_t x) {
    bool inserted = false;
    for (auto _ : state) {
        s.BeginEdit(true);
        std::string text = s.Get(row);
        if (inserted)
            text.erase(static_cast<std::size_t>(x - 1), 1);
        else
            text.insert(static_cast<std::size_t>(x - 1), 1, 'x');
        s.Put(row, text);
        s.Selection().Caret = {x + (inserted ? 0 : 1), row};
        s.Reflow(row);
        s.EndEdit(true);
        inserted = !inserted;
    }
    if (inserted) {
        std::string text = s.Get(row);
        text.erase(static_cast<std::size_t>(x - 1), 1);
        s.Put(row, text);
        s.Reflow(row);
    }
}

void BM_TypeCharInTheMiddle(benchmark::State& state) {
    TUMemoStrings& s = SharedStore(static_cast<std::int32_t>(state.range(0)));
    const std::int32_t row = s.FirstRowOfLine(s.GetCount() / 2);
    TypeInto(state, s, row, 5);
    state.counters["rows"] = s.GetCount();
}

// The typed character makes a 68-column row two rows, and its removal one row again.
void BM_TypeCharRowCountChanges(benchmark::State& state) {
    TUMemoStrings& s = SharedStore(static_cast<std::int32_t>(state.range(0)));
    const std::int32_t row = s.FirstRowOfLine(s.GetCount() / 2);
    const std::string saved = s.GetLine(row);
    s.SetLine(row, std::string(kWrap, 'a'));
    const std::int32_t rows = s.GetCount();
    TypeInto(state, s, row, 10);
    if (s.GetCount() != rows) state.SkipWithError("row count not restored");
    s.SetLine(row, saved);
    state.counters["rows"] = s.GetCount();
}

void BM_SetWrapColumns(benchmark::State& state) {
    TUMemoStrings& s = SharedStore(static_cast<std::int32_t>(state.range(0)));
    bool narrow = false;
    for (auto _ : state) {
        narrow = !narrow;
        s.SetWrapColumns(narrow ? 60 : kWrap);
    }
    s.SetWrapColumns(kWrap);
    state.counters["rows"] = s.GetCount();
}

BENCHMARK(BM_LoadFile)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MemoryPerRow)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TypeCharInTheMiddle)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeCharRowCountChanges)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetWrapColumns)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace
}  // namespace rekna
