// Speed of the literal reader on typical literals; the compiler reads every literal per keystroke.
#include <benchmark/benchmark.h>

#include <string>

#include "numbers/literal.h"
#include "platform/cp932.h"

namespace {

const char* const kLiterals[] = {
    "123", "0.1", "1.5k", "1,234,567.89", "1.2E-3", "$1F00", "1億23万45.6", "1時30分",
};

void BM_ReadLiteral(benchmark::State& state) {
    const std::string source = rekna::SysText(kLiterals[state.range(0)]);
    state.SetLabel(kLiterals[state.range(0)]);
    std::string text;
    text.reserve(32);
    for (auto _ : state) {
        // assign keeps the capacity, so the loop measures the reader, not an allocation.
        text.assign(source);
        benchmark::DoNotOptimize(rekna::ReadLiteral(text));
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ReadLiteral)->DenseRange(0, std::size(kLiterals) - 1);

}  // namespace
