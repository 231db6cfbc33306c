// A window with the calculation frame, its menus and a status line, for trying the frame by
// hand and for screenshots: frame_demo [memo file] [caret row] (a CP932 memo; the log pane on).
#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "platform/cp932.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    auto* frame = new rekna::TVtFrameCalc(&window);
    window.setCentralWidget(frame);
    for (const char* category : {"ファイル", "計算", "結果", "設定", "入力", "表示", "画面"})
        window.menuBar()->addMenu(frame->CategoryMenu(category));
    window.menuBar()->addMenu(frame->UserFuncMenu());
    const auto title = [&window, frame] {
        window.setWindowTitle(QString::fromStdString(frame->Title()) + QStringLiteral(" - Rekna"));
    };
    frame->OnChangeTitle = title;
    frame->OnSetMemoHint = [&window, frame] {
        window.statusBar()->showMessage(
            QString::fromStdString(rekna::Cp932ToUtf8(frame->MemoHint())));
    };
    frame->SetDefinitions(rekna::SysText("#Db2V(x)=10^(x/20) [dBを電圧比に]\r\n"));

    // The log pane shows the steps of the caret line.
    frame->Action("ActionWindowLog")->trigger();
    const std::string path = argc > 1 ? argv[1] : "examples/demo.txt";
    if (!frame->OpenDocument(path, false, false, true))
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
    title();

    // Ctrl+Q ends the demo and prints the memo with its answers, so that a scripted session can be
    // checked.
    auto* quit = new QAction(&window);
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    window.addAction(quit);
    QObject::connect(quit, &QAction::triggered, [frame] {
        const rekna::TUMemoStrings& memo = frame->UMemo1()->Lines();
        for (int r = 0; r < memo.GetCount(); ++r) {
            std::printf("%s\t%s\n", rekna::Cp932ToUtf8(memo.Get(r)).c_str(),
                        rekna::Cp932ToUtf8(frame->UMemo2()->Lines().Get(r)).c_str());
        }
        QApplication::quit();
    });

    window.resize(900, 620);
    window.move(0, 0);
    window.show();
    window.activateWindow();
    // The answer pane as wide as a first start of the program makes it.
    frame->Splitter1()->setSizes({513, 387});
    frame->UMemo1()->setFocus();
    QApplication::processEvents();
    // The caret goes to the given row once the panes have their size.
    if (argc > 2) {
        rekna::TUMemo* memo = frame->UMemo1();
        rekna::TUMemoStrings& lines = memo->Lines();
        const int row = std::clamp(std::atoi(argv[2]), 0, std::max(0, lines.GetCount() - 1));
        lines.BeginEdit(true);
        lines.Selection().SetCaret(lines,
                                   {static_cast<std::int32_t>(lines.Get(row).size()) + 1, row},
                                   rekna::TSelMode::smNone);
        lines.EndEdit(true);
        memo->ScrollCaretIntoView();
    }
    return app.exec();
}
