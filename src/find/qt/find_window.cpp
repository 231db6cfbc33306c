// The find window: its bars, the keys of its boxes, and the commands on the memo panes.
#include "find/qt/find_window.h"
#include "frame/qt/run_input.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QToolButton>

#include "editor/qt/umemo.h"
#include "frame/qt/tool_host.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/qt/window_place.h"
#include "platform/cp932.h"

#include <algorithm>

namespace rekna {

namespace {

constexpr const char* kSettingsKey = "FindLS";
// How often a running Replace All lets the window see Esc, and when it starts to show progress.
constexpr qint64 kPollMs = 40;
constexpr qint64 kProgressMs = 300;

QString FromCp932(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}
std::string ToCp932(const QString& text) {
    return Utf8ToCp932(text.toStdString());
}
QString FromUtf8(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QToolButton* Button(QWidget* parent, QBoxLayout* row, const char* name, const char* text,
                    const char* hint) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setText(QString::fromUtf8(text));
    b->setToolTip(QString::fromUtf8(hint));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    row->addWidget(b);
    return b;
}

QComboBox* Box(QWidget* parent, QBoxLayout* row, const char* name, const char* hint) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    box->setToolTip(QString::fromUtf8(hint));
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    box->setMinimumContentsLength(16);
    row->addWidget(box, 1);
    return box;
}

// The short hint before "|" as the tool tip, the long one after it as the status tip.
void SetActionHint(QAction* action, const std::string& hint) {
    if (action == nullptr) return;
    const QString text = FromUtf8(hint);
    action->setToolTip(text.section(QLatin1Char('|'), 0, 0));
    action->setStatusTip(text.section(QLatin1Char('|'), 1));
}

}  // namespace

TFormFind::TFormFind(TToolHost& form)
    : QWidget(&form.Window(), Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                                  Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      FForm(form) {
    setObjectName(QStringLiteral("FormFind"));
    const auto& kept = form.KeptSettings();
    if (const auto it = kept.find(kSettingsKey); it != kept.end())
        FModel.TakeSettingsText(it->second);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(1);
    auto bar = [&](const char* label) {
        auto* row = new QHBoxLayout;
        row->setSpacing(1);
        auto* l = new QLabel(QString::fromUtf8(label), this);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("置換")) + 6);
        row->addWidget(l);
        layout->addLayout(row);
        return row;
    };
    QBoxLayout* jump = bar("移動");
    FJmpTop = Button(this, jump, "ToolButtonJmpTop", "⇑", "先頭へジャンプ");
    FJumpBtm = Button(this, jump, "ToolButtonJumpBtm", "⇓", "末尾へジャンプ");
    FJmpNo = Button(this, jump, "ToolButtonJmpNo", "→", "指定行へジャンプ");
    FJump = Box(this, jump, "ComboBoxJump", "行番号|ジャンプ先の行を入力（+,-は相対ジャンプ）");
    FJump->setToolTip(QStringLiteral("ジャンプ先の行を入力（+,-は相対ジャンプ）"));
    FJump->addItems({QStringLiteral("10"), QStringLiteral("+10"), QStringLiteral("-10")});
    FJump->setEditText({});
    QBoxLayout* find = bar("検索");
    FFindDn = Button(this, find, "ToolButtonFindDn", "▼", "カーソル位置から下方検索");
    FFindUp = Button(this, find, "ToolButtonFindUp", "▲", "カーソル位置から上方検索");
    FStr = Button(this, find, "ToolButtonStr", "Aa", "大文字と小文字を区別する");
    FText = Box(this, find, "ComboBoxText", "検索文字列");
    QBoxLayout* replace = bar("置換");
    FRepDn = Button(this, replace, "ToolButtonRepDn", "▼", "置換して下方検索");
    FRepUp = Button(this, replace, "ToolButtonRepUp", "▲", "置換して上方検索");
    FRepAll = Button(this, replace, "ToolButtonRepALL", "全", "すべて置換");
    FReplace = Box(this, replace, "ComboBoxREP", "置換文字列");
    setTabOrder(FJump, FText);
    setTabOrder(FText, FReplace);

    connect(FJmpTop, &QToolButton::clicked, this, [this] { JumpTop(); });
    connect(FJumpBtm, &QToolButton::clicked, this, [this] { JumpBottom(); });
    connect(FJmpNo, &QToolButton::clicked, this, [this] { JumpToRow(); });
    connect(FFindDn, &QToolButton::clicked, this, [this] { Find(TFindDirection::fdDown); });
    connect(FFindUp, &QToolButton::clicked, this, [this] { Find(TFindDirection::fdUp); });
    connect(FStr, &QToolButton::clicked, this, [this] { ToggleCase(true); });
    connect(FRepDn, &QToolButton::clicked, this,
            [this] { ReplaceAndFind(TFindDirection::fdDown); });
    connect(FRepUp, &QToolButton::clicked, this, [this] { ReplaceAndFind(TFindDirection::fdUp); });
    connect(FRepAll, &QToolButton::clicked, this, [this] { ReplaceAll(); });
    for (QComboBox* box : {FJump, FText, FReplace}) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
        connect(box, &QComboBox::editTextChanged, this, [this] { UpdateStates(); });
    }
    FText->setEditText(FromCp932(FModel.SearchText));
    ToggleCase(false);
    setWindowTitle(FromUtf8(FModel.Caption()));
    resize(380, sizeHint().height());
    UpdateStates();
}

TFormFind::~TFormFind() = default;

TFindPanes TFormFind::Panes() const {
    TVtFrameCalc* frame = FForm.VtFrameCalc1();
    const QWidget* active = FForm.Window().focusWidget();
    const bool answer = active == frame->UMemo2();
    return {.Memo = &frame->UMemo1()->Editor(),
            .Answer = &frame->UMemo2()->Editor(),
            .AnswerActive = answer,
            .MemoActive = !answer && active != frame->UMemo3()};
}

void TFormFind::TakeBoxes() {
    FModel.JumpText = ToCp932(FJump->currentText());
    FModel.SearchText = ToCp932(FText->currentText());
    FModel.ReplaceText = ToCp932(FReplace->currentText());
}

void TFormFind::ShowModel() {
    const auto refill = [](QComboBox* box, const std::vector<std::string>& items,
                           const std::string& text) {
        const QSignalBlocker blocker(box);
        const int cursor = box->lineEdit()->cursorPosition();
        box->clear();
        for (const std::string& item : items)
            box->addItem(FromCp932(item));
        box->setEditText(FromCp932(text));
        box->lineEdit()->setCursorPosition(cursor);
    };
    // The jump box keeps its presets below the history.
    std::vector<std::string> jumps = FModel.JumpHistory;
    for (const char* preset : {"10", "+10", "-10"})
        if (std::find(jumps.begin(), jumps.end(), preset) == jumps.end())
            jumps.emplace_back(preset);
    refill(FJump, jumps, FModel.JumpText);
    refill(FText, FModel.TextHistory, FModel.SearchText);
    refill(FReplace, FModel.ReplaceHistory, FModel.ReplaceText);
    setWindowTitle(FromUtf8(FModel.Caption()));
}

void TFormFind::Find(TFindDirection direction) {
    TakeBoxes();
    if (FModel.SearchText.empty()) return;
    setWindowTitle(QStringLiteral("検索中"));
    FModel.Find(Panes(), direction);
    ShowModel();
    StoreSettings();
    UpdateStates();
}

void TFormFind::ReplaceAndFind(TFindDirection direction) {
    TakeBoxes();
    if (FModel.SearchText.empty()) return;
    FModel.ReplaceAndFind(Panes(), direction);
    ShowModel();
    StoreSettings();
    UpdateStates();
}

void TFormFind::ReplaceAll() {
    if (FModel.Replacing()) return;
    TakeBoxes();
    if (FModel.SearchText.empty()) return;
    QElapsedTimer clock;
    clock.start();
    qint64 lastPoll = 0;
    const auto poll = [&](std::int64_t count) {
        if (clock.elapsed() - lastPoll < kPollMs) return false;
        lastPoll = clock.elapsed();
        if (lastPoll >= kProgressMs)
            setWindowTitle(QStringLiteral("検索中 … %1 個").arg(static_cast<qlonglong>(count)));
        // Only Esc gets through while Replace All runs; every other input waits for its end.
        return ProcessEventsHoldingInput(20).StopAsked();
    };
    FModel.OnReplaced = [this] {
        setWindowTitle(FromUtf8(FModel.Caption()));
        repaint();
    };
    FModel.ReplaceAll(Panes(), poll);
    FModel.OnReplaced = nullptr;
    if (HasHeldInput()) FForm.VtFrameCalc1()->DeliverHeldInputLater();
    ShowModel();
    StoreSettings();
    UpdateStates();
}

void TFormFind::JumpToRow() {
    TakeBoxes();
    setWindowTitle(QStringLiteral("検索中"));
    FModel.JumpToRow(Panes());
    ShowModel();
    UpdateStates();
}

void TFormFind::JumpTop() {
    FModel.JumpTop(Panes());
}

void TFormFind::JumpBottom() {
    FModel.JumpBottom(Panes());
}

void TFormFind::ToggleCase(bool invert) {
    if (invert) FModel.ToggleCase();
    FStr->setText(FModel.MatchCase() ? QStringLiteral("Aa") : QStringLiteral("aa"));
    FStr->setToolTip(FromUtf8(CaseHint(FModel.MatchCase())));
    if (invert) {
        StoreSettings();
        if (FText->lineEdit()->hasFocus()) FModel.ShowFocus(TFindBox::fbText);
        if (FReplace->lineEdit()->hasFocus()) FModel.ShowFocus(TFindBox::fbReplace);
        setWindowTitle(FromUtf8(FModel.Caption()));
    }
}

void TFormFind::Open() {
    ToggleCase(false);
    FModel.TakeSelection(FForm.VtFrameCalc1()->UMemo1()->Editor());
    AddToHistory(FModel.TextHistory, FModel.SearchText);
    FModel.JumpText = ToCp932(FJump->currentText());
    FModel.ReplaceText = ToCp932(FReplace->currentText());
    ShowModel();
    UpdateStates();
    show();
    raise();
    activateWindow();
    FText->setFocus();
    FText->lineEdit()->selectAll();
}

void TFormFind::UpdateStates() {
    const std::string text = ToCp932(FText->currentText());
    const bool hasText = !text.empty();
    for (QToolButton* b : {FFindDn, FFindUp, FRepDn, FRepUp, FRepAll})
        b->setEnabled(hasText);
    FJmpNo->setEnabled(ReadJumpNumber(ToCp932(FJump->currentText())).Valid);
    FRepAll->setToolTip(
        FromUtf8(ReplaceAllHint(ReplacesInSelection(FForm.VtFrameCalc1()->UMemo1()->Editor()))));
    for (const auto& [name, direction] : {std::pair{"ActionFindDn", TFindDirection::fdDown},
                                          std::pair{"ActionFindUp", TFindDirection::fdUp}}) {
        QAction* action = FForm.Action(name);
        if (action == nullptr) continue;
        action->setEnabled(hasText);
        SetActionHint(action, FindActionHint(direction, text));
    }
}

void TFormFind::StoreSettings() {
    FModel.SearchText = ToCp932(FText->currentText());
    FForm.KeptSettings()[kSettingsKey] = FModel.SettingsText();
}

void TFormFind::InsertIntoBox(QComboBox* box, const QString& text) {
    box->lineEdit()->insert(text);
}

bool TFormFind::eventFilter(QObject* watched, QEvent* event) {
    QComboBox* box = nullptr;
    for (QComboBox* b : {FJump, FText, FReplace})
        if (watched == b || watched == b->lineEdit()) box = b;
    if (box == nullptr) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        FModel.ShowFocus(box == FJump   ? TFindBox::fbJump
                         : box == FText ? TFindBox::fbText
                                        : TFindBox::fbReplace);
        setWindowTitle(FromUtf8(FModel.Caption()));
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers().testFlag(Qt::ControlModifier);
    const bool shift = key->modifiers().testFlag(Qt::ShiftModifier);
    const bool listOpen = box->view()->isVisible();
    const bool textListOpen = FText->view()->isVisible();
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const auto down = [&] {
        return key->key() == Qt::Key_Down ? TFindDirection::fdDown : TFindDirection::fdUp;
    };
    if (listOpen) return false;
    if (key->key() == Qt::Key_Escape) {
        keyPressEvent(key);
        return true;
    }
    if (key->key() == Qt::Key_F3) {
        Find(shift ? TFindDirection::fdUp : TFindDirection::fdDown);
        return true;
    }
    if (ctrl && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
        if (key->key() == Qt::Key_Up)
            JumpTop();
        else
            JumpBottom();
        return true;
    }
    if (box == FJump) {
        if (enter) {
            JumpToRow();
            return true;
        }
        const QString typed = key->text();
        if (!ctrl && !typed.isEmpty() && typed.at(0).unicode() >= 0x20 &&
            !JumpBoxAccepts(typed.at(0).unicode()))
            return true;
        return false;
    }
    if (ctrl && key->key() == Qt::Key_Tab) {
        InsertIntoBox(box, QStringLiteral("\t"));
        return true;
    }
    if (ctrl && enter) {
        InsertIntoBox(box, QStringLiteral("\r\n"));
        return true;
    }
    if (ctrl) return false;
    const bool arrow = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
    if (box == FText && (enter || arrow)) {
        Find(enter ? TFindDirection::fdDown : down());
        return true;
    }
    if (box == FReplace && !textListOpen && (enter || arrow)) {
        ReplaceAndFind(enter ? TFindDirection::fdDown : down());
        return true;
    }
    return false;
}

void TFormFind::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (FModel.Replacing())
        FModel.RequestStop();
    else
        close();
}

void TFormFind::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Place();
    FText->lineEdit()->selectAll();
}

void TFormFind::closeEvent(QCloseEvent* event) {
    if (FModel.Replacing()) {
        FModel.RequestStop();
        event->ignore();
        return;
    }
    StoreSettings();
    QWidget::closeEvent(event);
}

void TFormFind::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !FModel.Replacing()) {
        TakeBoxes();
        FModel.TakeSelection(FForm.VtFrameCalc1()->UMemo1()->Editor());
        AddToHistory(FModel.TextHistory, FModel.SearchText);
        ShowModel();
        UpdateStates();
        FText->setFocus();
        // Typing replaces the search text, as after the window was shown.
        FText->lineEdit()->selectAll();
    }
}

void TFormFind::Place() {
    const QWidget& main = FForm.Window();
    const QRect mainFrame = main.frameGeometry();
    if (mainFrame.top() == FPlacedTop) return;
    FPlacedTop = mainFrame.top();
    // Above the main window at the calculation frame's left edge, so that it hides neither the
    // menus and tool bar nor the memo rows it finds; where the screen has no room there, inside
    // the frame 5 pixels below its top edge. Its title bar, which shows the result, stays on the
    // screen.
    const QMargins margins = FrameMarginsOf(*this, &main);
    const QSize size = this->size().grownBy(margins);
    const QPoint corner = FForm.VtFrameCalc1()->mapToGlobal(QPoint(0, 0));
    const QRect above(QPoint(corner.x(), mainFrame.top() - 5 - size.height()), size);
    const QRect inside(corner + QPoint(0, 5), size);
    move(FirstOnScreen({above}, inside, ScreenAreas()).topLeft());
}

}  // namespace rekna
