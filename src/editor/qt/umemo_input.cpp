// TUMemo's keyboard: Qt key events turned into the editor core's keys and typed characters.
#include "editor/qt/umemo.h"

#include "platform/cp932.h"

#include <QKeyEvent>

namespace rekna {
namespace {

[[nodiscard]] TKey KeyOf(int key) noexcept {
    switch (key) {
    case Qt::Key_Left: return TKey::kyLeft;
    case Qt::Key_Right: return TKey::kyRight;
    case Qt::Key_Up: return TKey::kyUp;
    case Qt::Key_Down: return TKey::kyDown;
    case Qt::Key_Home: return TKey::kyHome;
    case Qt::Key_End: return TKey::kyEnd;
    case Qt::Key_PageUp: return TKey::kyPageUp;
    case Qt::Key_PageDown: return TKey::kyPageDown;
    case Qt::Key_Insert: return TKey::kyInsert;
    case Qt::Key_Delete: return TKey::kyDelete;
    case Qt::Key_Backspace: return TKey::kyBackspace;
    case Qt::Key_Clear: return TKey::kyClear;
    default: return TKey::kyNone;
    }
}

[[nodiscard]] TShiftState ShiftOf(Qt::KeyboardModifiers m) noexcept {
    return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier),
            m.testFlag(Qt::AltModifier)};
}

// The character code the key gives, as the desktop's character messages number them: control
// keys and Ctrl+letter their control codes, Ctrl+Space a space; 0 for a key that types nothing.
[[nodiscard]] std::uint32_t CharCodeOf(const QKeyEvent& e, TShiftState& shift) {
    const int key = e.key();
    switch (key) {
    case Qt::Key_Backspace: return shift.Ctrl ? 0x7F : kCharBackspace;
    case Qt::Key_Tab: return kCharTab;
    case Qt::Key_Backtab: shift.Shift = true; return kCharTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return shift.Ctrl ? kCharLineFeed : kCharReturn;
    case Qt::Key_Escape: return kCharEscape;
    case Qt::Key_Space:
        if (shift.Ctrl) return kCharSpace;
        break;
    default: break;
    }
    if (shift.Ctrl && !shift.Alt && key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<std::uint32_t>(key - Qt::Key_A + 1);
    const QString text = e.text();
    if (text.isEmpty()) return 0;
    return text.at(0).unicode();
}

}  // namespace

bool TUMemo::event(QEvent* event) {
    // Tab is the control's own unless it lets the focus move on.
    if (event->type() == QEvent::KeyPress && FWantTabs) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TUMemo::keyPressEvent(QKeyEvent* event) {
    const QRect before = CaretRect();
    if (HandleKey(event)) {
        event->accept();
        FCaretOn = true;
        viewport()->update(before | CaretRect());
    } else {
        event->ignore();
    }
}

bool TUMemo::HandleKey(QKeyEvent* event) {
    TShiftState shift = ShiftOf(event->modifiers());
    if (event->key() == Qt::Key_Shift || event->key() == Qt::Key_Control) {
        if (!FDragging) UpdateHover(FPointer, event->modifiers());
        return false;
    }
    if (const TKey key = KeyOf(event->key()); key != TKey::kyNone && FEditor->KeyDown(key, shift))
        return true;
    const std::uint32_t code = CharCodeOf(*event, shift);
    if (code == 0) return false;
    // Alt with a character belongs to the host's menus.
    if (shift.Alt && !shift.Ctrl && code >= kCharSpace) return false;
    if (code == kCharEscape && FMouseMode == TMouseMode::mmWrapMargin && FDragging) {
        EndWrapDrag(false);
        return true;
    }
    std::string text;
    if (code >= kCharSpace && code != 0x7F) {
        QString typed = event->text();
        typed.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
        text = Utf8ToCp932(typed.toStdString());
    }
    return FEditor->TypeChar(code, text, shift, Composing());
}

}  // namespace rekna
