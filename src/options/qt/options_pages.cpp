// The options dialog's pages: check boxes and radio groups from the page data, and the spins,
// edits and settings tables of each page.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "grid/qt/str_vt_grid.h"
#include "grid/vt_grid.h"
#include "options/qt/options_form.h"

namespace rekna {

namespace {

QString U(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QGroupBox* Box(const char* caption, QLayout* layout) {
    auto* box = new QGroupBox(QString::fromUtf8(caption));
    box->setLayout(layout);
    return box;
}

// Two radio buttons of one group on the layout, each named for the tests.
void RadioPair(QWidget* owner, QBoxLayout* layout, QRadioButton*& first, const char* firstName,
               const char* firstCaption, QRadioButton*& second, const char* secondName,
               const char* secondCaption) {
    first = new QRadioButton(QString::fromUtf8(firstCaption));
    second = new QRadioButton(QString::fromUtf8(secondCaption));
    first->setObjectName(QString::fromUtf8(firstName));
    second->setObjectName(QString::fromUtf8(secondName));
    auto* group = new QButtonGroup(owner);
    group->addButton(first);
    group->addButton(second);
    layout->addWidget(first);
    layout->addWidget(second);
}

}  // namespace

QCheckBox* TFormSet::FlagBox(const char* caption, bool TCalcOptions::*field) {
    auto* box = new QCheckBox(QString::fromUtf8(caption));
    FFlags.emplace_back(box, field);
    return box;
}

QSpinBox* TFormSet::Spin(const char* name, int lo, int hi) {
    auto* spin = new QSpinBox;
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(lo, hi);
    return spin;
}

TStrVtGrid* TFormSet::MakeTable(TOptionTable table, int visibleRows) {
    auto* grid = new TStrVtGrid;
    grid->setObjectName(QStringLiteral("Table%1").arg(static_cast<int>(table)));
    SetUpOptionTable(table, grid->Grid());
    grid->Grid().DefaultColWidth = 72;
    grid->Grid().SetColWidth(0, table == TOptionTable::otDefinitions ? 36 : 96);
    if (table == TOptionTable::otHotTargets || table == TOptionTable::otHotActions) {
        const int width = table == TOptionTable::otHotActions ? 150 : 110;
        grid->Grid().SetColWidth(1, width);
        grid->Grid().SetColWidth(2, width);
    }
    if (table == TOptionTable::otCharSets) {
        // Room for the longest design set (14 characters) and a few more.
        grid->Grid().SetColWidth(1, grid->fontMetrics().horizontalAdvance(QString(18, '0')) + 8);
    }
    if (table == TOptionTable::otRange || table == TOptionTable::otGrouping) {
        // A number out of its range is brought back at once, and the notice says so.
        grid->Grid().OnChanged = [this, table, grid] {
            const std::string hint = ClampOptionTable(table, grid->Grid());
            if (!hint.empty()) FNotice->setText(QString::fromStdString(hint));
            grid->Refresh();
        };
    }
    grid->Refresh();
    grid->setMinimumHeight((grid->RowHeight() + 1) * (visibleRows + 1) + 4);
    int width = 4;
    for (int c = 0; c < grid->Grid().ColCount(); ++c)
        width += grid->Grid().ColWidth(c) + 1;
    if (table != TOptionTable::otDefinitions) grid->setMinimumWidth(width + 18);
    FTables[static_cast<std::size_t>(table)] = grid;
    return grid;
}

QWidget* TFormSet::BuildChecksPage(TOptionPage page, QWidget* extra) {
    auto* widget = new QWidget;
    auto* row = new QHBoxLayout(widget);
    // Pages without widgets of their own spread their groups over three columns.
    const int count = extra ? 2 : 3;
    std::vector<QVBoxLayout*> columns;
    for (int i = 0; i < count; ++i)
        columns.push_back(new QVBoxLayout);
    int total = 0;
    for (const TOptionGroup& g : OptionGroups())
        if (g.Page == page) total += static_cast<int>(g.Items.size()) + 1;
    int placed = 0;
    for (const TOptionGroup& g : OptionGroups()) {
        if (g.Page != page) continue;
        QVBoxLayout* column = columns[static_cast<std::size_t>(
            std::min(count - 1, placed * count / std::max(1, total)))];
        placed += static_cast<int>(g.Items.size()) + 1;
        auto* items = new QVBoxLayout;
        QButtonGroup* radios = nullptr;
        if (g.Radio) {
            radios = new QButtonGroup(widget);
            radios->setExclusive(true);
        }
        for (const TOptionItem& item : g.Items) {
            QAbstractButton* b =
                g.Radio ? static_cast<QAbstractButton*>(new QRadioButton(U(item.Caption)))
                        : new QCheckBox(U(item.Caption));
            b->setObjectName(U(item.Action));
            if (radios) radios->addButton(b);
            items->addWidget(b);
            FChecks.emplace(std::string(item.Action), b);
        }
        if (g.Caption.empty()) {
            column->addLayout(items);
        } else {
            auto* box = new QGroupBox(U(g.Caption));
            box->setLayout(items);
            column->addWidget(box);
        }
    }
    for (QVBoxLayout* column : columns) {
        column->addStretch(1);
        row->addLayout(column);
    }
    if (extra) row->addWidget(extra);
    return widget;
}

QWidget* TFormSet::BuildResultExtras() {
    auto* widget = new QWidget;
    auto* v = new QVBoxLayout(widget);
    v->setContentsMargins(0, 0, 0, 0);

    auto* usr = new QVBoxLayout;
    FUsrFormat = new QLineEdit;
    FUsrFormat->setObjectName(QStringLiteral("UsrFormat"));
    usr->addWidget(FUsrFormat);
    usr->addWidget(
        new QLabel(QStringLiteral("ユーザー指定書式の例  ,0.00、0.####、0.##E-0、0.000e+00")));
    v->addWidget(Box("ユーザー指定書式", usr));

    auto* digits = new QHBoxLayout;
    FDigits = Spin("Digits", 0, 16);
    digits->addWidget(FDigits);
    RadioPair(widget, digits, FSignificant, "Significant", "有効桁数を指定", FAfterPoint,
              "AfterPoint", "小数点以下の桁数を指定");
    v->addWidget(Box("表示桁数(Jpn/Eng/Exp/Fix/%/dB)", digits));

    auto* range = new QVBoxLayout;
    range->addWidget(MakeTable(TOptionTable::otRange, 2));
    v->addWidget(Box("小数表示桁範囲", range));

    auto* grouping = new QHBoxLayout;
    grouping->addWidget(MakeTable(TOptionTable::otGrouping, 4));
    auto* separator = new QVBoxLayout;
    auto* group = new QButtonGroup(widget);
    const char* captions[] = {"なし", ",", "スペース"};
    for (std::size_t i = 0; i < FSeparator.size(); ++i) {
        FSeparator[i] = new QRadioButton(QString::fromUtf8(captions[i]));
        FSeparator[i]->setObjectName(QStringLiteral("Separator%1").arg(i));
        group->addButton(FSeparator[i]);
        separator->addWidget(FSeparator[i]);
    }
    grouping->addWidget(Box("区切り文字", separator));
    v->addWidget(Box("整数部の桁区切り位置", grouping));
    v->addWidget(new QLabel(QStringLiteral("(デシベル形式では、必ず極座標形式で表示されます)")));
    v->addStretch(1);
    return widget;
}

QWidget* TFormSet::BuildDefinitionsPage() {
    auto* widget = new QWidget;
    auto* v = new QVBoxLayout(widget);
    auto* bar = new QHBoxLayout;
    const struct {
        const char* Caption;
        const char* Hint;
    } buttons[] = {{"行追加", "行を最後に追加"},
                   {"行挿入", "選択位置に行を挿入"},
                   {"行削除", "選択位置の行を削除"},
                   {"上に移動", "選択セルを上に移動"},
                   {"下に移動", "選択セルを下に移動"}};
    int command = 0;
    for (const auto& b : buttons) {
        auto* button = new QToolButton;
        button->setText(QString::fromUtf8(b.Caption));
        button->setToolTip(QString::fromUtf8(b.Hint));
        button->setObjectName(QStringLiteral("DefCommand%1").arg(command));
        connect(button, &QToolButton::clicked, this,
                [this, command] { DefinitionRowCommand(command); });
        bar->addWidget(button);
        ++command;
    }
    bar->addStretch(1);
    v->addLayout(bar);
    TStrVtGrid* grid = MakeTable(TOptionTable::otDefinitions, 12);
    TVtGrid& g = grid->Grid();
    g.SetColWidth(1, 140);
    g.SetColWidth(2, 200);
    g.SetColWidth(3, 300);
    g.OnChanged = [this, grid] {
        FDefEdited = true;
        NumberDefinitionRows(grid->Grid());
    };
    v->addWidget(grid, 1);
    return widget;
}

QWidget* TFormSet::BuildEditViewExtras() {
    auto* widget = new QWidget;
    auto* grid = new QGridLayout(widget);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* sizes = new QGridLayout;
    FWrapWidth = Spin("WrapWidth", 10, 255);
    sizes->addWidget(new QLabel(QStringLiteral("折返し文字数")), 0, 0);
    sizes->addWidget(FWrapWidth, 0, 1);
    auto* font = new QPushButton(QStringLiteral("フォント..."));
    font->setObjectName(QStringLiteral("FontButton"));
    connect(font, &QPushButton::clicked, this, [this] { ChooseFont(); });
    FFontName = new QLabel;
    FFontName->setObjectName(QStringLiteral("FontName"));
    FFontSize = Spin("FontSize", 8, 72);
    sizes->addWidget(font, 1, 0);
    sizes->addWidget(FFontSize, 1, 1);
    sizes->addWidget(FFontName, 1, 2);
    FTabStops = Spin("TabStops", 2, 50);
    sizes->addWidget(new QLabel(QStringLiteral("Tab位置")), 2, 0);
    sizes->addWidget(FTabStops, 2, 1);
    FRowPitch = Spin("RowPitch", 1, 10);
    sizes->addWidget(new QLabel(QStringLiteral("行間隔(ピクセル指定)")), 3, 0);
    sizes->addWidget(FRowPitch, 3, 1);
    grid->addLayout(sizes, 0, 0);

    auto* standard = new QVBoxLayout;
    standard->addWidget(MakeTable(TOptionTable::otStdColors, 8));
    grid->addWidget(Box("標準色", standard), 1, 0);
    auto* marks = new QVBoxLayout;
    marks->addWidget(MakeTable(TOptionTable::otMarks, 4));
    grid->addWidget(Box("特殊記号", marks), 2, 0);

    auto* syntax = new QVBoxLayout;
    syntax->addWidget(MakeTable(TOptionTable::otSyntax, 14));
    syntax->addWidget(FlagBox("予約語を太字で表示", &TCalcOptions::BoldReserved));
    grid->addWidget(Box("色分け", syntax), 0, 1, 2, 1);
    auto* chars = new QVBoxLayout;
    chars->addWidget(FlagBox("半角文字を色分け表示", &TCalcOptions::CharColorOn));
    chars->addWidget(MakeTable(TOptionTable::otCharSets, 4));
    grid->addWidget(Box("半角文字", chars), 2, 1);
    return widget;
}

QWidget* TFormSet::BuildEditActionExtras() {
    auto* widget = new QWidget;
    auto* v = new QVBoxLayout(widget);
    v->setContentsMargins(0, 0, 0, 0);
    auto* indent = new QVBoxLayout;
    indent->addWidget(FlagBox("インデント範囲を文字選択しない", &TCalcOptions::IndentSelect));
    indent->addWidget(FlagBox("矢印キーではインデント範囲をスキップ", &TCalcOptions::IndentArrow));
    indent->addWidget(FlagBox("BkSpキーでアンインデント", &TCalcOptions::IndentBS));
    indent->addWidget(FlagBox("Deleteキーでアンインデント", &TCalcOptions::IndentDel));
    v->addWidget(Box("インデント", indent));
    auto* tab = new QVBoxLayout;
    RadioPair(widget, tab, FIndentSpace, "IndentSpace", "スペースを挿入", FIndentTab, "IndentTab",
              "Tabを挿入");
    v->addWidget(Box("複数行選択時のTabキーによるインデント", tab));
    auto* margin = new QHBoxLayout;
    FMargin = Spin("Margin", 0, 10);
    margin->addWidget(new QLabel(QStringLiteral("上下マージン")));
    margin->addWidget(FMargin);
    margin->addStretch(1);
    v->addLayout(margin);
    v->addWidget(FlagBox("編集メニューを最初に表示", &TCalcOptions::EditMenu));
    v->addStretch(1);
    return widget;
}

QWidget* TFormSet::BuildHotKeyExtras() {
    auto* widget = new QWidget;
    auto* v = new QVBoxLayout(widget);
    v->setContentsMargins(0, 0, 0, 0);
    auto* targets = new QVBoxLayout;
    targets->addWidget(MakeTable(TOptionTable::otHotTargets, 3));
    targets->addWidget(
        new QLabel(QStringLiteral("自動 : 選択時は選択範囲、非選択時はキャレット行")));
    v->addWidget(Box("計算対象", targets));
    auto* actions = new QVBoxLayout;
    actions->addWidget(MakeTable(TOptionTable::otHotActions, 3));
    auto* note = new QLabel(
        QStringLiteral("自動 : 選択時に改行が含まれない場合は置換、それ以外は＝計算結果を記入"));
    note->setWordWrap(true);
    actions->addWidget(note);
    v->addWidget(Box("計算動作", actions));
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // No program may take a key for the whole desktop there.
        auto* wayland = new QLabel(QStringLiteral(
            "Wayland では、キーをデスクトップのキーボード設定で割り当てます: "
            "Ctrl+Enter に rekna --hotkey calc、右Ctrl+Enter に rekna --hotkey replace、"
            "Ctrl+Shift+Enter に rekna --hotkey delete。"));
        wayland->setObjectName(QStringLiteral("HotKeyWayland"));
        wayland->setWordWrap(true);
        wayland->setTextInteractionFlags(Qt::TextSelectableByMouse);
        v->addWidget(wayland);
    } else if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        auto* x11 = new QLabel(QStringLiteral(
            "この画面ではホットキーを登録できません（X11 のディスプレイがありません）。"
            "設定は保存され、X11 のデスクトップで起動したときに使われます。"));
        x11->setObjectName(QStringLiteral("HotKeyUnavailable"));
        x11->setWordWrap(true);
        x11->setStyleSheet(QStringLiteral("color: #a00000"));
        v->addWidget(x11);
    }
    v->addStretch(1);
    return widget;
}

}  // namespace rekna
