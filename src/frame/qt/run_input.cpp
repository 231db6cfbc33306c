// Window events during a long calculation or command, with input held until it is over.
#include "frame/qt/run_input.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <utility>
#include <vector>

namespace rekna {
namespace {

// One event kept for later, with the object it was meant for.
struct THeldEvent {
    QPointer<QObject> Receiver;
    std::unique_ptr<QEvent> Event;  // null for a close request
};

std::vector<THeldEvent>& Held() {
    static std::vector<THeldEvent> held;
    return held;
}

// The top-level widget of a window, for a close request sent to the window or to the widget.
QWidget* WindowWidget(QObject* watched) {
    if (auto* w = qobject_cast<QWidget*>(watched)) return w->isWindow() ? w : nullptr;
    if (auto* window = qobject_cast<QWindow*>(watched)) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->windowHandle() == window) return w;
    }
    return nullptr;
}

bool IsEsc(QEvent* event) {
    return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
}

// Notes Esc and close requests and keeps every input event.
class TRunInputFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (IsEsc(event)) {
                Result.Esc = true;
                return true;
            }
            Keep(watched, event);
            return true;
        case QEvent::KeyRelease:
            if (!IsEsc(event)) Keep(watched, event);
            return true;
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::InputMethod:
        case QEvent::ContextMenu: Keep(watched, event); return true;
        case QEvent::Close:
            // A window's close button: the request is kept for the window's widget.
            if (QWidget* w = WindowWidget(watched)) {
                Result.CloseAsked = true;
                Held().push_back({w, nullptr});
            }
            event->ignore();
            return true;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: event->ignore(); return true;
        default: return QObject::eventFilter(watched, event);
        }
    }
    TPollResult Result;

private:
    static void Keep(QObject* watched, QEvent* event) {
        // Keys and typed text reach a window first; the widget with the focus is their receiver.
        QObject* receiver = watched;
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::InputMethod:
            if (qobject_cast<QWindow*>(watched) != nullptr && QApplication::focusWidget())
                receiver = QApplication::focusWidget();
            break;
        default: break;
        }
        Held().push_back({receiver, std::unique_ptr<QEvent>(event->clone())});
    }
};

bool InBatch(const QObject* receiver, const QObject* batch, QEvent::Type type) {
    if (batch == nullptr) return false;
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod: break;
    default: return false;
    }
    for (const QObject* o = receiver; o != nullptr; o = o->parent())
        if (o == batch) return true;
    return false;
}

}  // namespace

TPollResult ProcessEventsHoldingInput(int maxMs) {
    TRunInputFilter filter;
    QApplication::instance()->installEventFilter(&filter);
    QApplication::processEvents(QEventLoop::AllEvents, maxMs);
    QApplication::instance()->removeEventFilter(&filter);
    return filter.Result;
}

bool HasHeldInput() noexcept {
    return !Held().empty();
}

void DeliverHeldInput(const QObject* batch, const std::function<void()>& beginBatch,
                      const std::function<void()>& endBatch) {
    std::vector<THeldEvent> held = std::exchange(Held(), {});
    std::vector<QPointer<QObject>> closes;
    bool inBatch = false;
    const auto endIfInBatch = [&] {
        if (!inBatch) return;
        inBatch = false;
        if (endBatch) endBatch();
    };
    for (THeldEvent& h : held) {
        if (!h.Event) {
            closes.push_back(h.Receiver);
            continue;
        }
        if (!h.Receiver) continue;
        const bool batched = InBatch(h.Receiver, batch, h.Event->type());
        if (!batched) endIfInBatch();
        if (batched && !inBatch) {
            inBatch = true;
            if (beginBatch) beginBatch();
        }
        QApplication::sendEvent(h.Receiver, h.Event.get());
    }
    endIfInBatch();
    for (const QPointer<QObject>& c : closes)
        if (auto* w = qobject_cast<QWidget*>(c.data())) w->close();
}

void DropHeldInput() noexcept {
    Held().clear();
}

}  // namespace rekna
