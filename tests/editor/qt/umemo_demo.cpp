// A window with an editable, coloured calculation memo and a status line fed by the memo's events,
// for trying the editor by hand (and for screenshots).
#include "editor/qt/umemo.h"
#include "platform/cp932.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QStatusBar>

#include <cstdio>

namespace {

constexpr const char* kMemo =
    "; 回路計算メモ - RC ローパスフィルタ\r\n"
    "#Fix3\r\n"
    "R1 = 4.7k\t;抵抗 [Ω]\r\n"
    "C1 = 0.1u\t;コンデンサ [F]\r\n"
    "fc = 1/(2*PI*R1*C1)\t;カットオフ周波数 [Hz]\r\n"
    "f = 1k\r\n"
    "ゲイン: dB20(1/Sqrt(1+(f/fc)^2))\r\n"
    "位相: ArgD(1/(1+j*(f/fc)))\t[deg]\r\n"
    "#Hyp(a, b)=Sqrt(a^2+b^2)\r\n"
    "Hyp(3, 4)＝5\r\n"
    "((1+2)*(3+(4-5)))/6\r\n"
    ">12.5\r\n"
    ">13.1　;全角空白の後のコメント\r\n"
    "#>Dim s : s = \"VBの文字列\" ' スクリプトのコメント\r\n"
    "①②③ は機種依存文字、ｶﾀｶﾅ は半角カナ\r\n"
    "長い行は折り返し位置で次の行へ続きます。日本語の文章も二桁のセルにきちんと並び、"
    "禁則処理で句読点が行頭に来ないようにします。\r\n"
    "sin(30°) + cos (60°)";

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Rekna — TUMemo"));
    auto* memo = new rekna::TUMemo(&window);
    window.setCentralWidget(memo);
    window.resize(760, 460);
    rekna::TUMemoStrings& lines = memo->Lines();
    lines.SetWrapColumns(72);
    lines.SetAutoKakko(true);
    memo->LoadBytes(rekna::SysText(kMemo), false);
    lines.BeginEdit(false);
    // "PI" selected: the caret at its end stands inside the brackets, whose pair stands out.
    lines.Selection().SelectStream(lines, {11, 4}, {13, 4});
    lines.EndEdit(false);
    memo->SetColor(&rekna::TPaintStyle::ColorKakko, 0xC0FFFF);
    memo->SetFindText("fc", {rekna::TSearchType::stWord});

    // The status line follows the caret, the insert mode and the undo state.
    rekna::TUMemoEditor& editor = memo->Editor();
    const auto status = [&window, memo] {
        const rekna::TUMemoStrings& s = memo->Lines();
        const rekna::TUMemoSelection& sel = s.Selection();
        window.statusBar()->showMessage(
            QStringLiteral("%1 行 %2 列  %3%4")
                .arg(sel.Caret.Y + 1)
                .arg(sel.CaretColumn(s))
                .arg(memo->Editor().InsertMode() ? QStringLiteral("挿入") : QStringLiteral("上書"))
                .arg(memo->Editor().Modified() ? QStringLiteral("  (変更あり)") : QString()));
    };
    editor.OnMovedCaretRow = status;
    editor.OnMovedCaretCol = status;
    editor.OnStatusChange = status;
    editor.OnUndoChanged = [status](bool, bool) { status(); };
    status();

    // Ctrl+Q ends the demo and prints the memo's text, so that a scripted session can be checked.
    auto* quit = new QAction(&window);
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    window.addAction(quit);
    QObject::connect(quit, &QAction::triggered, [memo] {
        std::printf("%s\n", rekna::Cp932ToUtf8(memo->Lines().GetTextStr()).c_str());
        QApplication::quit();
    });

    window.move(0, 0);
    window.show();
    window.activateWindow();
    memo->setFocus();
    return app.exec();
}
