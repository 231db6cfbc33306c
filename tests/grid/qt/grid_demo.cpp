// A window with two settings grids that show every cell kind: labels, typed numbers of each data
// type, formulas, lists, drop-down lists, combo boxes and colours.
#include "grid/qt/str_vt_grid.h"

#include "platform/cp932.h"
#include "platform/qt/qt_cp932.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace rekna;
using enum TVtCellMode;
using enum TVtEditDataType;

struct TColumn {
    const char* Title;
    TVtCellMode Mode;
    TVtEditDataType Type;
    int Width;
    std::vector<const char*> Items;
    TVtAlignment Alignment = TVtAlignment::taCenter;
};

// Gives each column its header text, its cell action and its width; the header cells take the
// bold style that Style adds first.
void SetColumns(TVtGrid& grid, const std::vector<TColumn>& columns) {
    grid.SetColCount(static_cast<int>(columns.size()) + 1);
    grid.SetColWidth(0, 40);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const TColumn& column = columns[i];
        const int col = static_cast<int>(i) + 1;
        TVtCellAction action{column.Mode, column.Type, 4, false, {}};
        for (const char* item : column.Items)
            action.Items.push_back(SysText(item));
        TVtParam param;
        param.CellActions = grid.AddCellAction(std::move(action));
        param.CellStyles = grid.AddCellStyle({column.Alignment, TVtLayout::tlCenter, 4, 0});
        param.FixedCellStyles = 1;
        grid.SetCellParam(col, 0, grid.AddParam(param));
        grid.SetCells(col, 0, SysText(column.Title));
        grid.SetColWidth(col, column.Width);
    }
}

void Style(TVtGrid& grid) {
    grid.AddCellStyle({TVtAlignment::taCenter, TVtLayout::tlCenter, 1, fsBold});
    TVtOptions& options = grid.VtOptions();
    options.FixedStyles.Bevel = TVtBevel::bvRaised;
    options.FixedStyles.BevelFocused = TVtBevel::bvLowered;
    options.FixedStyles.FontStyleFocused = fsUnderline;
    options.FocusedHLineColor = RgbColor(0x30, 0x70, 0xC0);
    TVtParam corner;
    corner.FixedColor = RgbColor(0xDD, 0xE4, 0xEE);
    grid.SetCellParam(0, 0, grid.AddParam(corner));
}

void FillSeries(TVtGrid& grid) {
    const std::vector<TColumn> columns = {
        {"表示", cmList, dtString, 48, {"○", "×"}},
        {"名前", cmEdit, dtString, 110, {}, TVtAlignment::taLeftJustify},
        {"式", cmEdit, dtCalc, 160, {}, TVtAlignment::taLeftJustify},
        {"線の色", cmColor, dtColor, 60, {}},
        {"線種", cmListBox, dtString, 84, {"実線", "破線", "点線", "一点鎖線"}},
        {"太さ", cmEdit, dtPosInteger, 48, {}, TVtAlignment::taRightJustify},
        {"最小", cmEdit, dtEng, 72, {}, TVtAlignment::taRightJustify},
        {"最大", cmEdit, dtEng, 72, {}, TVtAlignment::taRightJustify},
        {"点数", cmComboBox, dtPosInteger, 64, {"100", "200", "500", "1000"}},
        {"位相", cmEdit, dtReal, 80, {}, TVtAlignment::taRightJustify},
        {"増分", cmEdit, dtFrac, 72, {}, TVtAlignment::taRightJustify},
        {"周期", cmEdit, dtTime, 72, {}},
        {"マスク", cmEdit, dtHex, 64, {}},
        {"備考", cmLabel, dtString, 150, {}, TVtAlignment::taLeftJustify},
    };
    grid.SetRowCount(6);
    Style(grid);
    SetColumns(grid, columns);
    struct TSeries {
        const char* Show;
        const char* Name;
        const char* Formula;
        TColor Color;
        const char* Line;
        double Width, Min, Max;
        const char* Points;
        double Phase, Step, Period, Mask;
        const char* Note;
    };
    const TSeries series[] = {
        {"○", "出力電圧", "Vin*R2/(R1+R2)", clRed, "実線", 2, 0, 5, "500", 0, 0.25, 0.5, 255,
         "分圧回路"},
        {"○", "電流", "V/(R+j*w*L)", clBlue, "破線", 1, 1e-6, 1.5e-3, "200", -1.5708, 0.1, 0.25,
         4095, "RL直列"},
        {"×", "利得", "20*log(abs(H))", clGreen, "点線", 1, -60, 20, "1000", 0.0005, 0.05, 0.75, 16,
         "dB表示"},
        {"○", "位相", "arg(H)", clFuchsia, "一点鎖線", 3, -3.1416, 3.1416, "100", 1.5e7, 2, 0.125,
         10, "ラジアン"},
        {"○", "インピーダンス", "sqrt(R^2+X^2)", RgbColor(0xFF, 0x80, 0x00), "実線", 2, 10, 4.7e3,
         "200", 12.5, 1.5, 1.0 / 24, 48879, "Ω"},
    };
    int row = 1;
    for (const TSeries& s : series) {
        grid.SetCells(0, row, std::to_string(row));
        grid.SetCells(1, row, SysText(s.Show));
        grid.SetCells(2, row, SysText(s.Name));
        grid.SetCells(3, row, s.Formula);
        grid.SetColorValue(4, row, s.Color);
        grid.SetCells(5, row, SysText(s.Line));
        grid.SetValues(6, row, s.Width);
        grid.SetValues(7, row, s.Min);
        grid.SetValues(8, row, s.Max);
        grid.SetCells(9, row, s.Points);
        grid.SetValues(10, row, s.Phase);
        grid.SetValues(11, row, s.Step);
        grid.SetValues(12, row, s.Period);
        grid.SetValues(13, row, s.Mask);
        grid.SetCells(14, row, SysText(s.Note));
        ++row;
    }
    for (; row < grid.RowCount(); ++row)
        grid.SetCells(0, row, std::to_string(row));
    grid.ClearUndo();
    grid.FocusCell(3, 2, false);
}

void FillAxes(TVtGrid& grid) {
    const std::vector<TColumn> columns = {
        {"最小", cmEdit, dtEng, 80, {}, TVtAlignment::taRightJustify},
        {"最大", cmEdit, dtEng, 80, {}, TVtAlignment::taRightJustify},
        {"目盛", cmComboBox, dtReal, 72, {"1", "2", "5", "10"}},
        {"目盛り方", cmListBox, dtString, 84, {"線形", "対数", "dB"}},
        {"格子", cmList, dtString, 48, {"○", "×"}},
        {"軸の色", cmColor, dtColor, 60, {}},
        {"ラベル", cmEdit, dtString, 160, {}, TVtAlignment::taLeftJustify},
    };
    grid.SetRowCount(4);
    Style(grid);
    SetColumns(grid, columns);
    const char* names[] = {"X軸", "Y軸", "Y2軸"};
    const double limits[][2] = {{0, 10e-3}, {-1.5, 1.5}, {1, 100e3}};
    const char* scales[] = {"線形", "線形", "対数"};
    const TColor colors[] = {clBlack, clNavy, clMaroon};
    const char* labels[] = {"時間 [s]", "電圧 [V]", "周波数 [Hz]"};
    for (int r = 1; r < 4; ++r) {
        grid.SetCells(0, r, SysText(names[r - 1]));
        grid.SetValues(1, r, limits[r - 1][0]);
        grid.SetValues(2, r, limits[r - 1][1]);
        grid.SetCells(3, r, r == 3 ? "10" : "1");
        grid.SetCells(4, r, SysText(scales[r - 1]));
        grid.SetCells(5, r, SysText(r == 2 ? "×" : "○"));
        grid.SetColorValue(6, r, colors[r - 1]);
        grid.SetCells(7, r, SysText(labels[r - 1]));
    }
    grid.SetColWidth(0, 56);
    grid.ClearUndo();
}

void FillData(TVtGrid& grid) {
    const std::vector<TColumn> columns = {
        {"時間", cmEdit, dtEng, 90, {}, TVtAlignment::taRightJustify},
        {"電圧", cmEdit, dtReal, 100, {}, TVtAlignment::taRightJustify},
        {"電流", cmEdit, dtFrac, 100, {}, TVtAlignment::taRightJustify},
        {"メモ", cmEdit, dtString, 150, {}, TVtAlignment::taLeftJustify},
    };
    grid.SetRowCount(41);
    Style(grid);
    SetColumns(grid, columns);
    for (int r = 1; r < grid.RowCount(); ++r) {
        const double t = (r - 1) * 0.25e-3;
        grid.SetCells(0, r, std::to_string(r));
        grid.SetValues(1, r, t);
        // Rounded, so that the zero crossings show as zero.
        const double phase = 2 * 3.14159265358979 * 500 * t;
        grid.SetValues(2, r, std::round(1.5e6 * std::sin(phase)) / 1e6);
        grid.SetValues(3, r, std::round(0.02e6 * std::cos(phase)) / 1e6);
    }
    grid.SetCells(4, 1, SysText("開始"));
    grid.SetCells(4, 5, SysText("最大"));
    grid.SetCells(4, 9, SysText("ゼロ交差"));
    grid.ClearUndo();
}

// A grid as tall as its rows.
void FitHeight(TStrVtGrid* grid) {
    const int rows = grid->Grid().RowCount();
    grid->setFixedHeight(rows * (grid->RowHeight() + 1) + 2 * grid->frameWidth() + 1);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8("グラフの設定 - Rekna"));
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(10, 10, 10, 0);

    auto* seriesTitle = new QLabel(QString::fromUtf8("系列"), &window);
    QFont bold = seriesTitle->font();
    bold.setBold(true);
    seriesTitle->setFont(bold);
    layout->addWidget(seriesTitle);
    auto* series = new TStrVtGrid(&window);
    FillSeries(series->Grid());
    series->Refresh();
    FitHeight(series);
    layout->addWidget(series);

    auto* lower = new QHBoxLayout();
    layout->addLayout(lower, 1);
    auto* left = new QVBoxLayout();
    lower->addLayout(left, 0);
    auto* axesTitle = new QLabel(QString::fromUtf8("軸"), &window);
    axesTitle->setFont(bold);
    left->addWidget(axesTitle);
    auto* axes = new TStrVtGrid(&window);
    FillAxes(axes->Grid());
    axes->Refresh();
    FitHeight(axes);
    axes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    axes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    axes->setFixedWidth(axes->sizeHint().width() - axes->verticalScrollBar()->sizeHint().width() +
                        2);
    left->addWidget(axes);
    auto* keys = new QLabel(
        QString::fromUtf8(
            "<b>操作</b><br>"
            "Enter / F2 / ダブルクリック: 編集、リストを開く、色の選択<br>"
            "文字の入力: そのまま編集を始める<br>"
            "Space / 数字 / u, d: リストの項目を切り替える<br>"
            "Ctrl+C / Ctrl+X / Ctrl+V: コピー、切り取り、貼り付け（Shift で行列を入れ替え）<br>"
            "Ctrl+Z / Ctrl+Y: 元に戻す、やり直し<br>"
            "Delete: 選択したセルを消去<br>"
            "見出しのクリック: 行や列を選択"),
        &window);
    keys->setTextFormat(Qt::RichText);
    keys->setContentsMargins(2, 12, 2, 2);
    left->addWidget(keys);
    left->addStretch(1);

    auto* right = new QVBoxLayout();
    lower->addLayout(right, 1);
    auto* dataTitle = new QLabel(QString::fromUtf8("データ"), &window);
    dataTitle->setFont(bold);
    right->addWidget(dataTitle);
    auto* data = new TStrVtGrid(&window);
    FillData(data->Grid());
    data->Refresh();
    right->addWidget(data, 1);

    auto* status = new QStatusBar(&window);
    layout->addWidget(status);
    auto show = [series, status] {
        const TVtGrid& g = series->Grid();
        const std::string title = g.Cells(g.Col(), 0);
        const QString text = QString::fromUtf8("%1 行 %2 列: %3    値 = %4")
                                 .arg(g.Row())
                                 .arg(g.Col())
                                 .arg(GridToQ(title))
                                 .arg(g.Values(g.Col(), g.Row()), 0, 'g', 10);
        status->showMessage(text);
    };
    series->Grid().OnSelectionChanged = [show](int, int, TGridRect) { show(); };
    series->Grid().OnChanged = show;
    show();

    window.resize(1280, 800);
    window.show();
    window.activateWindow();
    series->setFocus();
    return app.exec();
}
