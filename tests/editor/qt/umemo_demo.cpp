// A window showing a coloured calculation memo, for looking at the painter (and its screenshot).
#include "editor/qt/umemo.h"
#include "platform/cp932.h"

#include <QApplication>

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
    rekna::TUMemo memo;
    memo.setWindowTitle(QStringLiteral("Rekna — TUMemo"));
    memo.resize(760, 440);
    rekna::TUMemoStrings& lines = memo.Lines();
    lines.SetWrapColumns(72);
    memo.LoadBytes(rekna::SysText(kMemo), false);
    lines.BeginEdit(false);
    // "PI" selected: the caret at its end stands inside the brackets, whose pair stands out.
    lines.Selection().SelectStream(lines, {11, 4}, {13, 4});
    lines.EndEdit(false);
    memo.SetColor(&rekna::TPaintStyle::ColorKakko, 0xC0FFFF);
    memo.SetFindText("fc", {rekna::TSearchType::stWord});
    memo.move(0, 0);
    memo.show();
    memo.activateWindow();
    memo.setFocus();
    return app.exec();
}
