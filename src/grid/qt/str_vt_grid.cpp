// The settings grid widget's input: keys, mouse, input method and clipboard into model calls, and
// the in-place editor, drop-down list and colour dialog that the model asks for.
#include "grid/qt/str_vt_grid.h"

#include "grid/qt/inplace_vt_edit.h"
#include "grid/vt_values.h"
#include "platform/clipboard.h"
#include "platform/qt/qt_color.h"
#include "platform/qt/qt_cp932.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QCursor>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>

namespace rekna {
namespace {

// The desktop's clipboard; lines go out with LF ends.
class TGridClipboard final : public TClipboard {
public:
    [[nodiscard]] std::optional<std::string> GetText() const override {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
        if (data == nullptr || !data->hasText()) return std::nullopt;
        return GridFromQ(data->text());
    }
    void SetText(std::string_view cp932) override {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard == nullptr) return;
        QString text = GridToQ(cp932);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        clipboard->setText(text);
    }
};

struct TKeyMap {
    int Key;
    TVtKey Grid;
};
constexpr TKeyMap kKeys[] = {
    {Qt::Key_Return, TVtKey::vkEnter},  {Qt::Key_Enter, TVtKey::vkEnter},
    {Qt::Key_F2, TVtKey::vkF2},         {Qt::Key_Delete, TVtKey::vkDelete},
    {Qt::Key_Left, TVtKey::vkLeft},     {Qt::Key_Right, TVtKey::vkRight},
    {Qt::Key_Up, TVtKey::vkUp},         {Qt::Key_Down, TVtKey::vkDown},
    {Qt::Key_Home, TVtKey::vkHome},     {Qt::Key_End, TVtKey::vkEnd},
    {Qt::Key_PageUp, TVtKey::vkPageUp}, {Qt::Key_PageDown, TVtKey::vkPageDown},
};

}  // namespace

TStrVtGrid::TStrVtGrid(QWidget* parent)
    : QAbstractScrollArea(parent), FClipboard(std::make_unique<TGridClipboard>()) {
    FGrid.SetClipboard(FClipboard.get());
    QFont font = this->font();
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP")});
    font.setPointSize(10);
    setFont(font);
    setFocusPolicy(Qt::StrongFocus);
    FDragTimer = new QTimer(this);
    FDragTimer->setInterval(60);
    connect(FDragTimer, &QTimer::timeout, this, &TStrVtGrid::DragTick);
    ColorDialog = [this](TColor initial) -> std::optional<TColor> {
        const QColor chosen =
            QColorDialog::getColor(QColor(ToQRgb(initial, palette())), this, tr("色の設定"));
        if (!chosen.isValid()) return std::nullopt;
        return RgbColor(static_cast<std::uint8_t>(chosen.red()),
                        static_cast<std::uint8_t>(chosen.green()),
                        static_cast<std::uint8_t>(chosen.blue()));
    };
    Refresh();
}

TStrVtGrid::~TStrVtGrid() {
    if (FEditor) FEditor->Detach();
    if (FList) {
        FList->Detach();
        delete FList;
    }
}

TInplaceVtEdit* TStrVtGrid::Editor() const noexcept {
    return FEditor;
}

TPopupVtList* TStrVtGrid::PopupList() const noexcept {
    return FList;
}

void TStrVtGrid::Refresh() {
    FRowHeight = std::max(FGrid.DefaultRowHeight, fontMetrics().height() + 6);
    UpdateScrollBars();
    SyncInputMethod();
    viewport()->update();
    updateGeometry();
}

QString TStrVtGrid::EditorText(const QString& typed) const {
    QString out;
    for (const char32_t cp : typed.toUcs4()) {
        const QString one = QString::fromUcs4(&cp, 1);
        out += GridToQ(FGrid.EditorChar(GridFromQ(one)));
    }
    return out;
}

void TStrVtGrid::AfterInput() {
    if (FInAfterInput) return;
    FInAfterInput = true;
    SyncEditor();
    SyncList();
    if (FGrid.TakeColorRequest()) RunColorDialog();
    SyncInputMethod();
    UpdateScrollBars();
    EnsureVisible(FGrid.Col(), FGrid.Row());
    if (FGrid.VtOptions().AutoHint) setToolTip(GridToQ(FGrid.Cells(FGrid.Col(), FGrid.Row())));
    viewport()->update();
    FInAfterInput = false;
}

void TStrVtGrid::SyncEditor() {
    if (FGrid.Editing() && !FEditor) {
        const TVtCellAction& action = FGrid.CellAction(FGrid.Col(), FGrid.Row());
        QStringList items;
        if (action.Mode == TVtCellMode::cmComboBox) {
            for (const std::string& item : action.Items)
                items << GridToQ(item);
        }
        FEditor = new TInplaceVtEdit(this, FGrid.EditDataType(), items);
        QPalette colors = FEditor->palette();
        colors.setColor(QPalette::Base,
                        QColor(ToQRgb(FGrid.CellColor(FGrid.Col(), FGrid.Row()), palette())));
        colors.setColor(QPalette::Text,
                        QColor(ToQRgb(FGrid.CellFontColor(FGrid.Col(), FGrid.Row()), palette())));
        FEditor->setPalette(colors);
        FEditor->setFont(font());
        {
            const QSignalBlocker block(FEditor);
            FEditor->setText(GridToQ(FGrid.EditText()));
        }
        FEditor->setCursorPosition(static_cast<int>(FEditor->text().size()));
        FEditor->setGeometry(CellRect(FGrid.Col(), FGrid.Row()));
        FEditor->show();
        FEditor->setFocus(Qt::OtherFocusReason);
    } else if (!FGrid.Editing() && FEditor) {
        TInplaceVtEdit* editor = FEditor;
        FEditor = nullptr;
        editor->Detach();
        editor->hide();
        editor->deleteLater();
        setFocus(Qt::OtherFocusReason);
    }
}

void TStrVtGrid::EditorClosed(bool enterKey) {
    FGrid.CloseEditor(enterKey);
    AfterInput();
}

void TStrVtGrid::EditorCancelled() {
    FGrid.CancelEdit();
    AfterInput();
}

void TStrVtGrid::EditorKeyToGrid(TVtKey key) {
    FGrid.KeyDown(key, false, false, VisibleRows(), AllRowsVisible());
    AfterInput();
}

void TStrVtGrid::EditorTab(bool back) {
    if (!TabKey(back)) focusNextPrevChild(!back);
}

bool TStrVtGrid::TabKey(bool back) {
    if (FGrid.Editing() || FGrid.ListOpen()) return false;
    if (!FGrid.KeyDown(TVtKey::vkTab, back, false, VisibleRows(), AllRowsVisible())) return false;
    AfterInput();
    return true;
}

bool TStrVtGrid::event(QEvent* event) {
    // Tab moves between the cells, as in every table; past the last cell it leaves the grid.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0 &&
            TabKey(key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier) != 0)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TStrVtGrid::SyncList() {
    if (!FGrid.ListOpen() || FList) return;
    const TGridCoord cell = FGrid.ListCell();
    QStringList items;
    for (const std::string& item : FGrid.ListItems())
        items << GridToQ(item);
    const TVtCellStyle& style = FGrid.CellStyle(cell.X, cell.Y);
    const Qt::Alignment alignment = style.Alignment == TVtAlignment::taLeftJustify ? Qt::AlignLeft
                                    : style.Alignment == TVtAlignment::taRightJustify
                                        ? Qt::AlignRight
                                        : Qt::AlignHCenter;
    const int itemHeight = FRowHeight - 1;
    FList = new TPopupVtList(this, items, FGrid.ListSelected(), itemHeight, alignment);
    FList->setFont(font());
    QPalette colors = FList->palette();
    colors.setColor(QPalette::Base, QColor(ToQRgb(FGrid.CellColor(cell.X, cell.Y), palette())));
    colors.setColor(QPalette::Text, QColor(ToQRgb(FGrid.CellFontColor(cell.X, cell.Y), palette())));
    FList->setPalette(colors);
    const QRect rect = CellRect(cell.X, cell.Y);
    FList->resize(FGrid.ColWidth(cell.X) + 2, static_cast<int>(items.size()) * itemHeight + 2);
    FList->move(viewport()->mapToGlobal(rect.bottomLeft() + QPoint(-1, 1)));
    FList->show();
    FList->setFocus(Qt::PopupFocusReason);
}

void TStrVtGrid::ListClosed(TVtListClose how, int shownIndex) {
    if (FList) {
        FList->deleteLater();
        FList = nullptr;
    }
    FGrid.CloseList(how, shownIndex);
    FListClosedCell = {FGrid.Col(), FGrid.Row()};
    setFocus(Qt::OtherFocusReason);
    AfterInput();
}

void TStrVtGrid::RunColorDialog() {
    if (!ColorDialog) return;
    const TColor initial = FGrid.CellFontColor(FGrid.Col(), FGrid.Row());
    if (const std::optional<TColor> chosen = ColorDialog(initial)) FGrid.ApplyColor(*chosen);
}

void TStrVtGrid::SyncInputMethod() {
    const TVtCellAction& action = FGrid.CellAction(FGrid.Col(), FGrid.Row());
    const bool text =
        (action.Mode == TVtCellMode::cmEdit || action.Mode == TVtCellMode::cmComboBox) &&
        IsTextType(action.EditDataType);
    if (testAttribute(Qt::WA_InputMethodEnabled) == text) return;
    setAttribute(Qt::WA_InputMethodEnabled, text);
    setInputMethodHints(text ? Qt::ImhNone : Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

void TStrVtGrid::keyPressEvent(QKeyEvent* event) {
    if (FGrid.Editing() || FGrid.ListOpen()) {
        event->ignore();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool shift = (mods & Qt::ShiftModifier) != 0;
    const bool ctrl = (mods & Qt::ControlModifier) != 0;
    bool handled = false;
    for (const TKeyMap& k : kKeys) {
        if (k.Key == event->key()) {
            handled = FGrid.KeyDown(k.Grid, shift, ctrl, VisibleRows(), AllRowsVisible());
            break;
        }
    }
    if (!handled && event->key() == Qt::Key_Backspace) handled = FGrid.KeyChar("\b");
    if (!handled && ctrl && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        handled = FGrid.ShortcutKey(static_cast<char>('A' + (event->key() - Qt::Key_A)), shift);
        QApplication::restoreOverrideCursor();
    }
    const QString typed = event->text();
    if (!handled && !ctrl && !typed.isEmpty() && typed.at(0) >= QChar(' ')) {
        for (const char32_t cp : typed.toUcs4()) {
            const std::string ch = GridFromQ(QString::fromUcs4(&cp, 1));
            if (!FGrid.Editing()) {
                FGrid.KeyChar(ch);
            } else {
                FGrid.SetEditText(FGrid.EditText() + FGrid.EditorChar(ch));
            }
        }
        handled = true;
    }
    if (!handled) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    AfterInput();
}

void TStrVtGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const TGridCoord cell = CellAt(event->position().toPoint());
    setFocus(Qt::MouseFocusReason);
    if (cell.X < 0) return;
    // A press on the cell whose list that same press just closed does not open it again.
    if (cell == FListClosedCell && cell.X == FGrid.Col() && cell.Y == FGrid.Row()) {
        FListClosedCell = {-1, -1};
        return;
    }
    FListClosedCell = {-1, -1};
    FGrid.MouseDown(cell.X, cell.Y, (event->modifiers() & Qt::ShiftModifier) != 0);
    if (FGrid.IsFixed(cell.X, cell.Y)) {
        FDragTicks = 0;
        FDragTimer->start();
    }
    AfterInput();
}

void TStrVtGrid::DragTick() {
    // The first ticks let a plain click on a header end before the view starts to scroll.
    if (++FDragTicks <= 5) return;
    const TGridCoord cell = NearestCell(viewport()->mapFromGlobal(QCursor::pos()));
    FGrid.MouseDrag(cell.X, cell.Y);
    EnsureVisible(cell.X, cell.Y);
    viewport()->update();
}

void TStrVtGrid::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) == 0) return;
    const TGridCoord cell = NearestCell(event->position().toPoint());
    FGrid.MouseDrag(cell.X, cell.Y);
    EnsureVisible(cell.X, cell.Y);
    viewport()->update();
}

void TStrVtGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    FDragTimer->stop();
    FGrid.MouseUp();
}

void TStrVtGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const TGridCoord cell = CellAt(event->position().toPoint());
    if (cell.X < 0) return;
    FGrid.DoubleClick(cell.X, cell.Y);
    AfterInput();
}

void TStrVtGrid::wheelEvent(QWheelEvent* event) {
    // One row per notch; touchpads turn in parts of a notch, which add up.
    QScrollBar* bar = verticalScrollBar();
    const int delta = event->angleDelta().y();
    const bool can = delta > 0 ? bar->value() > bar->minimum() : bar->value() < bar->maximum();
    if (delta == 0 || !can) {
        // At its end the grid lets the page around it scroll.
        FWheelDelta = 0;
        event->ignore();
        return;
    }
    FWheelDelta += delta;
    const int steps = FWheelDelta / 120;
    FWheelDelta -= steps * 120;
    if (steps != 0) bar->setValue(bar->value() - steps);
    event->accept();
}

void TStrVtGrid::inputMethodEvent(QInputMethodEvent* event) {
    const bool text = !event->preeditString().isEmpty() || !event->commitString().isEmpty();
    if (text && !FGrid.Editing() && FGrid.StartComposition()) {
        AfterInput();
        if (FEditor) QCoreApplication::sendEvent(FEditor, event);
        return;
    }
    event->ignore();
}

QVariant TStrVtGrid::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImCursorRectangle) return CellRect(FGrid.Col(), FGrid.Row());
    if (query == Qt::ImEnabled) return testAttribute(Qt::WA_InputMethodEnabled);
    return QAbstractScrollArea::inputMethodQuery(query);
}

void TStrVtGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    FGrid.CheckSelectionChanged();
    viewport()->update();
}

void TStrVtGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (FGrid.VtOptions().AutoHint) setToolTip({});
    viewport()->update();
}

void TStrVtGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TStrVtGrid::scrollContentsBy(int, int) {
    if (FEditor) FEditor->setGeometry(CellRect(FGrid.Col(), FGrid.Row()));
    viewport()->update();
}

}  // namespace rekna
