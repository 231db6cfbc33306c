// Benchmarks of fraction and complex arithmetic with normalisation.
#include <benchmark/benchmark.h>

#include <array>

#include "numbers/cplx.h"
#include "numbers/frac.h"

namespace rekna {
namespace {

// Operands of the kind a memo produces: decimals, thirds, integers and sevenths.
std::array<TFrac, 8> Operands() {
    return {TFrac(1, 10), TFrac(1, 3),  TFrac(12345, 100),     TFrac(7),
            TFrac(22, 7), TFrac(-5, 8), TFrac(314159, 100000), TFrac(1, 1000)};
}

template <typename TOp> void FracLoop(benchmark::State& state, TOp op) {
    const auto values = Operands();
    std::size_t i = 0;
    for (auto _ : state) {
        const TFrac r = op(values[i & 7], values[(i + 3) & 7]);
        benchmark::DoNotOptimize(r);
        ++i;
    }
}

void BM_FracAdd(benchmark::State& s) {
    FracLoop(s, [](auto& x, auto& y) { return x + y; });
}
void BM_FracMul(benchmark::State& s) {
    FracLoop(s, [](auto& x, auto& y) { return x * y; });
}
void BM_FracDiv(benchmark::State& s) {
    FracLoop(s, [](auto& x, auto& y) { return x / y; });
}
void BM_FracNormalize(benchmark::State& s) {
    FracLoop(s, [](auto& x, auto& y) { return TFrac(x.Num * y.Den * 3, y.Num * 9); });
}
void BM_FracAddIntegers(benchmark::State& state) {
    TFrac a(12345), b(678);
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(a + b);
    }
}
void BM_CplxDivide(benchmark::State& state) {
    const TCplx x(TFrac(1, 10), TFrac(2, 3)), y(TFrac(3, 7), TFrac(-4, 5));
    for (auto _ : state)
        benchmark::DoNotOptimize(x / y);
}
void BM_CplxMulReal(benchmark::State& state) {
    const TCplx x(TFrac(1, 10)), y(TFrac(3, 7));
    for (auto _ : state)
        benchmark::DoNotOptimize(x * y);
}

BENCHMARK(BM_FracAdd);
BENCHMARK(BM_FracMul);
BENCHMARK(BM_FracDiv);
BENCHMARK(BM_FracNormalize);
BENCHMARK(BM_FracAddIntegers);
BENCHMARK(BM_CplxDivide);
BENCHMARK(BM_CplxMulReal);

}  // namespace
}  // namespace rekna
