// rekna-calc as a whole process on a generated engineering memo: lines per second of wall and of
// processor time, and the peak memory, for memos of growing length.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "engineering_memo.h"

namespace {

// The engineering memo, or with calculating set the memo whose every line calculates.
std::string MemoFile(int lines, bool calculating = false) {
    std::string name = calculating ? "rekna_batch_bench_calc_" : "rekna_batch_bench_";
    name += std::to_string(lines);
    name += ".txt";
    const auto path = std::filesystem::temp_directory_path() / name;
    if (!std::filesystem::exists(path)) {
        std::ofstream f(path, std::ios::binary);
        f << (calculating ? rekna::bench::CalculatingMemoText(lines)
                          : rekna::bench::EngineeringMemoText(lines));
    }
    // The text is gone again: the forked child starts with what this process holds resident.
    ::malloc_trim(0);
    return path.string();
}

// Runs rekna-calc on the file with the option; false when it did not exit with 0.
bool RunCalc(const std::string& file, const char* option, rusage& usage) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execl(REKNA_CALC_PATH, REKNA_CALC_PATH, "--no-settings", option, file.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    return pid > 0 && ::wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6;
}

void Batch(benchmark::State& state, const char* option, bool calculating = false) {
    const auto lines = static_cast<int>(state.range(0));
    const std::string file = MemoFile(lines, calculating);
    double cpu = 0;
    long peakKb = 0;
    for (auto _ : state) {
        rusage usage{};
        const auto start = std::chrono::steady_clock::now();
        if (!RunCalc(file, option, usage)) {
            state.SkipWithError("rekna-calc failed");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpu += Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
        peakKb = std::max(peakKb, usage.ru_maxrss);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["lines_per_s"] = benchmark::Counter(runs * lines, benchmark::Counter::kIsRate);
    state.counters["lines_per_cpu_s"] = cpu > 0 ? runs * lines / cpu : 0;
    state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024.0;
}

void BatchAnswers(benchmark::State& state) {
    Batch(state, "--answers");
}
// Every line calculates: no comment or empty line to pass over.
void BatchAllCalculating(benchmark::State& state) {
    Batch(state, "--answers", true);
}
void BatchLinesAndAnswers(benchmark::State& state) {
    Batch(state, "--errors");
}
void BatchWithLogs(benchmark::State& state) {
    Batch(state, "--log");
}

BENCHMARK(BatchAnswers)->Arg(200000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BatchAllCalculating)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BatchLinesAndAnswers)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BatchWithLogs)->Arg(200000)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
