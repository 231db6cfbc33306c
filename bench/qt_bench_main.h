// The main() of the benchmarks that need widgets: the offscreen platform unless another is set.
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>

#include <benchmark/benchmark.h>

#include <cstdlib>

// Installed as an event filter, it notes that the watched widget got a paint event.
class TPainted : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) Painted = true;
        return QObject::eventFilter(watched, event);
    }
    bool Painted = false;
};

inline int RunQtBenchmarks(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
