// Window events during a long calculation or command, with input held back.
#include "frame/qt/run_input.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace rekna {
namespace {

// Notes Esc and holds back every input event.
class TRunInputFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) Esc = true;
            return true;
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::InputMethod:
        case QEvent::Drop:
        case QEvent::Close:
        case QEvent::ContextMenu: return true;
        default: return QObject::eventFilter(watched, event);
        }
    }
    bool Esc = false;
};

}  // namespace

bool ProcessEventsHoldingInput(int maxMs) {
    TRunInputFilter filter;
    QCoreApplication::instance()->installEventFilter(&filter);
    QCoreApplication::processEvents(QEventLoop::AllEvents, maxMs);
    QCoreApplication::instance()->removeEventFilter(&filter);
    return filter.Esc;
}

}  // namespace rekna
