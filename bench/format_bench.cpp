// Speed of the answer formatter; the default format runs for every memo line on every keystroke.
#include <benchmark/benchmark.h>

#include <array>

#include "numbers/cplx.h"
#include "numbers/format.h"
#include "numbers/number_settings.h"

namespace {

using namespace rekna;

// Answers of the kind a memo produces: decimals, thirds, integers, small and large values.
std::array<TCplx, 8> Values() {
    return {TCplx(1234.5L), TCplx(TFrac(1, 3)), TCplx(0.001L),  TCplx(3.14159265358979L),
            TCplx(42.0L),   TCplx(-0.5L),       TCplx(2.5e-7L), TCplx(6.02214076e23L)};
}

void RunAnswers(benchmark::State& state, TAnsFormat format) {
    const TNumberSettings saved = NumberSettings;
    NumberSettings.AnsFormat = format;
    NumberSettings.AnsFormat60 = TAnsFormat60::afN60TJ;
    const auto values = Values();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatAnswer(values[i & 7]));
        ++i;
    }
    NumberSettings = saved;
}

void BM_FormatDefault(benchmark::State& state) {
    RunAnswers(state, NumberSettings.AnsFormat);
}
void BM_FormatEng(benchmark::State& state) {
    RunAnswers(state, TAnsFormat::afEng);
}
void BM_FormatFix(benchmark::State& state) {
    RunAnswers(state, TAnsFormat::afFix);
}
void BM_FormatNon(benchmark::State& state) {
    RunAnswers(state, TAnsFormat::afNon);
}
void BM_FormatN16(benchmark::State& state) {
    RunAnswers(state, TAnsFormat::afN16);
}
void BM_FormatN60(benchmark::State& state) {
    RunAnswers(state, TAnsFormat::afN60);
}
void BM_FormatUsr(benchmark::State& state) {
    RunAnswers(state, TAnsFormat::afUsr);
}

// Prime factors of memo-sized integers, and the worst case: two primes near 2^31.
void BM_FormatFac(benchmark::State& state) {
    const long double values[] = {360.0L, 1001.0L, 65536.0L, 123456789.0L};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatReal(values[i & 3], TAnsFormat::afFac, 6, false));
        ++i;
    }
}
void BM_FormatFacSemiprime(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatReal(4611685975477714963.0L, TAnsFormat::afFac, 6, false));
}
void BM_FormatFacPrimeNear2Pow63(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatReal(9223372036854775783.0L, TAnsFormat::afFac, 6, false));
}

// A complex answer, and a value far outside the fast digit path.
void BM_FormatComplex(benchmark::State& state) {
    const TCplx z(1.0L, -2.0L);
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatAnswer(z));
}
void BM_FormatExtremeExponent(benchmark::State& state) {
    const TCplx tiny(1e-4000L);
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatAnswer(tiny));
}

void BM_FormatLogValue(benchmark::State& state) {
    const auto values = Values();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatLogValue(values[i & 7]));
        ++i;
    }
}

#define REKNA_FORMAT_BENCH(fn) BENCHMARK(fn)->Repetitions(5)->ReportAggregatesOnly(true)
REKNA_FORMAT_BENCH(BM_FormatDefault);
REKNA_FORMAT_BENCH(BM_FormatEng);
REKNA_FORMAT_BENCH(BM_FormatFix);
REKNA_FORMAT_BENCH(BM_FormatNon);
REKNA_FORMAT_BENCH(BM_FormatN16);
REKNA_FORMAT_BENCH(BM_FormatN60);
REKNA_FORMAT_BENCH(BM_FormatUsr);
REKNA_FORMAT_BENCH(BM_FormatFac);
REKNA_FORMAT_BENCH(BM_FormatFacSemiprime);
REKNA_FORMAT_BENCH(BM_FormatFacPrimeNear2Pow63);
REKNA_FORMAT_BENCH(BM_FormatComplex);
REKNA_FORMAT_BENCH(BM_FormatExtremeExponent);
REKNA_FORMAT_BENCH(BM_FormatLogValue);

}  // namespace
