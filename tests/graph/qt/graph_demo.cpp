// A window with four graph widgets that show every series kind; it also writes them as one SVG.
// Usage: graph_demo [--svg file.svg] [--quit-after ms]
#include <QApplication>
#include <QGridLayout>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "demo_graphs.h"
#include "graph/qt/xy_graph_view.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::string svgPath;
    int quitAfter = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--svg") svgPath = argv[++i];
        if (arg == "--quit-after") quitAfter = std::atoi(argv[++i]);
    }
    QWidget window;
    window.setWindowTitle("Rekna graph demo");
    window.setStyleSheet("background: white;");
    auto* grid = new QGridLayout(&window);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    for (int k = 0; k < 4; ++k) {
        auto* view = new rekna::TXYGraphView(&window);
        rekna::FillDemoGraph(view->Graph(), k);
        grid->addWidget(view, k / 2, k % 2);
    }
    window.resize(1280, 800);
    window.show();
    if (!svgPath.empty()) {
        std::ofstream out(svgPath, std::ios::binary);
        out << rekna::DemoSvg(640, 400);
        if (!out) std::fprintf(stderr, "cannot write %s\n", svgPath.c_str());
    }
    if (quitAfter > 0) QTimer::singleShot(quitAfter, &app, &QApplication::quit);
    return app.exec();
}
