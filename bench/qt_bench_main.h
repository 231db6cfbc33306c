// The main() of the benchmarks that need widgets: the offscreen platform unless another is set.
#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

inline int RunQtBenchmarks(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
