// Very long and deeply nested lines through the engine: time and heap peak of compiling,
// evaluating and logging them.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "engine/vt_calc.h"
#include "platform/cp932.h"

namespace {

// Live heap bytes and their peak, counted by the replaced global allocation functions below.
std::atomic<long long> gLive{0};
std::atomic<long long> gPeak{0};

void* Allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p) throw std::bad_alloc();
    const long long now = gLive += static_cast<long long>(malloc_usable_size(p));
    long long peak = gPeak.load();
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {}
    return p;
}

void Release(void* p) noexcept {
    if (!p) return;
    gLive -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}

namespace rekna {
namespace {

std::string Sum(std::int64_t terms) {
    std::string line;
    line.reserve(static_cast<std::size_t>(terms) * 2);
    for (std::int64_t i = 0; i < terms; ++i)
        line += i == 0 ? "1" : "+1";
    return line;
}

std::string Nested(std::int64_t depth, const std::string& open) {
    std::string line;
    for (std::int64_t i = 0; i < depth; ++i)
        line += open;
    line += "1";
    line.append(static_cast<std::size_t>(depth), ')');
    return line;
}

// One line as a sheet row calculates it (compiled form kept for Data, the line cache on),
// with the log on as for the caret line or off as for the other rows. Reports the heap peak
// above what the line itself occupies, and the size of the log that is kept.
void RunLine(benchmark::State& state, const std::string& line, bool log) {
    TVtCalc calc;
    calc.UseLineCache = false;
    calc.LogEnable = log;
    const long long base = gLive.load();
    gPeak = base;
    for (auto _ : state)
        benchmark::DoNotOptimize(calc.CalcLine(line, true, true, true));
    state.counters["heap_peak_MB"] = static_cast<double>(gPeak.load() - base) / 1e6;
    state.counters["log_KB"] = static_cast<double>(calc.LogStoredText().size()) / 1e3;
    state.counters["items"] = static_cast<double>(calc.Compiled().size());
    state.SetLabel(Cp932ToUtf8(calc.AnswerText()));
}

void SumLine(benchmark::State& state) {
    RunLine(state, Sum(state.range(0)), state.range(1) != 0);
}
BENCHMARK(SumLine)
    ->ArgsProduct({{20'000, 200'000, 1'000'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void NestedBrackets(benchmark::State& state) {
    RunLine(state, Nested(state.range(0), "("), state.range(1) != 0);
}
BENCHMARK(NestedBrackets)
    ->ArgsProduct({{10'000, 100'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void NestedSine(benchmark::State& state) {
    RunLine(state, Nested(state.range(0), "sin("), state.range(1) != 0);
}
BENCHMARK(NestedSine)
    ->ArgsProduct({{2'000, 100'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// A line past the item limit: refused before its items exist.
void OverlongLine(benchmark::State& state) {
    RunLine(state, Sum(state.range(0)), true);
}
BENCHMARK(OverlongLine)->Arg(5'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace rekna
