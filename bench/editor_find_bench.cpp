// Replace All of 10,000 matches in a 100,000-line memo wrapped at 68 columns (one undo step),
// and a search down through the whole memo that finds nothing. Each run is timed alone (manual
// time); the undo that restores the memo runs untimed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "editor/commands/find_text.h"
#include "editor/umemo_editor.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

constexpr std::int32_t kLines = 100000;

// Calculation lines of about 60 bytes with Japanese comments; every tenth holds "rate", every
// fourth is long enough to wrap.
std::unique_ptr<TUMemoEditor> MakeMemo() {
    static const std::string comment = SysText("；電圧と電流（抵抗）の計算メモ");
    std::string text;
    text.reserve(static_cast<std::size_t>(kLines) * 70);
    for (std::int32_t i = 0; i < kLines; ++i) {
        text.append(i % 10 == 0 ? "rate" : "v").append(std::to_string(i % 1000)).append("=");
        text.append(std::to_string(i)).append("*1.5+sqrt(").append(std::to_string(i % 97));
        text.append(")/3 ").append(comment);
        if (i % 4 == 3) text.append(" ").append(comment).append(comment);
        text.append("\r\n");
    }
    auto memo = std::make_unique<TUMemoEditor>();
    memo->Strings().SetWrapColumns(68);
    if (!memo->Strings().LoadBytes(text, false)) return nullptr;
    return memo;
}

void BM_ReplaceAll10000In100000Lines(benchmark::State& state) {
    const std::unique_ptr<TUMemoEditor> memo = MakeMemo();
    const std::string replacement = SysText("利率");
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const TReplaceAllResult r = ReplaceAllText(*memo, "rate", replacement, false);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (r.Count != kLines / 10) state.SkipWithError("wrong count");
        memo->Undo();
    }
}
BENCHMARK(BM_ReplaceAll10000In100000Lines)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FindThroughTheWholeMemo(benchmark::State& state) {
    const std::unique_ptr<TUMemoEditor> memo = MakeMemo();
    for (auto _ : state) {
        const TSelPoint found = FindText(*memo, "nowhere", {}, 1, 0);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FindThroughTheWholeMemo)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rekna
