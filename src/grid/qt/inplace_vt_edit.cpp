// The settings grid's in-place editor and drop-down list: keys that close them, typed characters
// filtered by the cell's data type, pastes of one line.
#include "grid/qt/inplace_vt_edit.h"

#include "grid/qt/str_vt_grid.h"
#include "grid/vt_values.h"
#include "platform/qt/qt_cp932.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QCompleter>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRegularExpression>

namespace rekna {

TInplaceVtEdit::TInplaceVtEdit(TStrVtGrid* grid, TVtEditDataType type, const QStringList& items)
    : QLineEdit(grid->viewport()), FGrid(grid), FType(type) {
    setFrame(false);
    if (!items.isEmpty()) {
        auto* completer = new QCompleter(items, this);
        completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        setCompleter(completer);
    }
    // The input method writes only into cells of free text.
    const bool text = IsTextType(type);
    setAttribute(Qt::WA_InputMethodEnabled, text);
    setInputMethodHints(text ? Qt::ImhNone : Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& now) {
        if (FGrid != nullptr) {
            FGrid->Grid().SetEditText(GridFromQ(now));
            FGrid->viewport()->update();
        }
    });
}

void TInplaceVtEdit::Finish(bool enterKey) {
    TStrVtGrid* grid = FGrid;
    FGrid = nullptr;
    if (grid != nullptr) grid->EditorClosed(enterKey);
}

void TInplaceVtEdit::TypeText(const QString& typed) {
    if (FGrid == nullptr) return;
    const QString text = FGrid->EditorText(typed);
    if (text.isEmpty()) return;
    // A bracket typed at the end of a formula comes with its partner.
    if (FType == TVtEditDataType::dtCalc && text == "(" &&
        (FTyping || cursorPosition() == static_cast<int>(this->text().size())) &&
        !hasSelectedText()) {
        insert("()");
        cursorBackward(false);
    } else {
        insert(text);
    }
    FTyping = true;
}

void TInplaceVtEdit::PasteFirstLine() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || FGrid == nullptr) return;
    QString text = clipboard->text();
    const qsizetype end = text.indexOf(QRegularExpression("[\r\n]"));
    if (end >= 0) text.truncate(end);
    const QString filtered = FGrid->EditorText(text);
    if (!filtered.isEmpty()) insert(filtered);
}

bool TInplaceVtEdit::event(QEvent* event) {
    // Tab keeps the text, as a click elsewhere does, and goes on to the next cell.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool popup = completer() != nullptr && completer()->popup()->isVisible();
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && !popup &&
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0) {
            if (TStrVtGrid* grid = FGrid) {
                const bool back =
                    key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier) != 0;
                Finish(false);
                grid->EditorTab(back);
            }
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TInplaceVtEdit::keyPressEvent(QKeyEvent* event) {
    const bool popup = completer() != nullptr && completer()->popup()->isVisible();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (popup) break;
        Finish(true);
        return;
    case Qt::Key_Escape:
        if (popup) break;
        if (TStrVtGrid* grid = FGrid) {
            FGrid = nullptr;
            grid->EditorCancelled();
        }
        return;
    case Qt::Key_F2: Finish(false); return;
    case Qt::Key_F4:
        if (completer() != nullptr) completer()->complete();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (popup) break;
        if (mods == Qt::AltModifier && completer() != nullptr) {
            completer()->complete();
            return;
        }
        if (TStrVtGrid* grid = FGrid) {
            Finish(false);
            grid->EditorKeyToGrid(event->key() == Qt::Key_Up ? TVtKey::vkUp : TVtKey::vkDown);
        }
        return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        FTyping = false;
        const bool left = event->key() == Qt::Key_Left;
        const bool atEdge =
            left ? cursorPosition() == 0 : cursorPosition() == static_cast<int>(text().size());
        if (atEdge && !hasSelectedText() && mods == Qt::NoModifier) {
            if (TStrVtGrid* grid = FGrid) {
                Finish(false);
                grid->EditorKeyToGrid(left ? TVtKey::vkLeft : TVtKey::vkRight);
            }
            return;
        }
        break;
    }
    default: break;
    }
    if (event->matches(QKeySequence::Paste)) {
        PasteFirstLine();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    const QString typed = event->text();
    const bool control = (mods & (Qt::ControlModifier | Qt::AltModifier)) != 0;
    if (!popup && !control && !typed.isEmpty() && typed.at(0) >= QChar(' ')) {
        TypeText(typed);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TInplaceVtEdit::mousePressEvent(QMouseEvent* event) {
    FTyping = false;
    QLineEdit::mousePressEvent(event);
}

void TInplaceVtEdit::inputMethodEvent(QInputMethodEvent* event) {
    QLineEdit::inputMethodEvent(event);
    FTyping = true;
}

void TInplaceVtEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) Finish(false);
}

TPopupVtList::TPopupVtList(TStrVtGrid* grid, const QStringList& items, int selected, int itemHeight,
                           Qt::Alignment alignment)
    : QListWidget(nullptr), FGrid(grid) {
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setFrameShape(QFrame::Box);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    for (const QString& text : items) {
        auto* item = new QListWidgetItem(text, this);
        item->setSizeHint(QSize(0, itemHeight));
        item->setTextAlignment(alignment | Qt::AlignVCenter);
    }
    if (selected >= 0) setCurrentRow(selected);
}

void TPopupVtList::Finish(TVtListClose how) {
    TStrVtGrid* grid = FGrid;
    FGrid = nullptr;
    const int index = currentRow();
    hide();
    if (grid != nullptr) grid->ListClosed(how, index);
}

void TPopupVtList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: Finish(TVtListClose::lcEnter); return;
    case Qt::Key_Escape: Finish(TVtListClose::lcEscape); return;
    case Qt::Key_Space:
    case Qt::Key_F2: Finish(TVtListClose::lcSpace); return;
    default: QListWidget::keyPressEvent(event);
    }
}

void TPopupVtList::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (QListWidgetItem* item = itemAt(event->position().toPoint())) {
        setCurrentItem(item);
        Finish(TVtListClose::lcSpace);
    }
}

void TPopupVtList::hideEvent(QHideEvent* event) {
    QListWidget::hideEvent(event);
    // Closed by a click elsewhere: as Space.
    Finish(TVtListClose::lcSpace);
}

}  // namespace rekna
