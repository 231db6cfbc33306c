// The X11 side of the hot keys: passive key grabs on the root window through a connection of
// our own, XQueryKeymap, _NET_ACTIVE_WINDOW and WM_CLASS, XTest keystrokes, and the clipboard.
#include "hotkey/qt/hotkey_x11.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QString>
#include <QThread>
#include <QTimer>

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

// X11 after Qt: it defines None, Bool, KeyPress, ...
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace rekna {

namespace {

// Xlib's own error handler ends the process; every request of ours runs under this one.
int gErrorCode = 0;
int TrapError(Display*, XErrorEvent* event) {
    gErrorCode = event->error_code;
    return 0;
}

// Catches the X errors of a scope: the requests are synchronised before the handler goes back.
class TErrorTrap {
public:
    explicit TErrorTrap(Display* dpy) : FDpy(dpy) {
        gErrorCode = 0;
        FOld = XSetErrorHandler(TrapError);
    }
    TErrorTrap(const TErrorTrap&) = delete;
    TErrorTrap& operator=(const TErrorTrap&) = delete;
    ~TErrorTrap() {
        XSync(FDpy, False);
        XSetErrorHandler(FOld);
    }
    // Synchronises and tells whether a request failed since the last call.
    bool Failed() {
        XSync(FDpy, False);
        const bool failed = gErrorCode != 0;
        gErrorCode = 0;
        return failed;
    }

private:
    Display* FDpy;
    int (*FOld)(Display*, XErrorEvent*) = nullptr;
};

std::string Latin1OrUtf8(const char* text) {
    const QByteArray bytes(text);
    const QString s = QString::fromUtf8(bytes);
    // Text that is not UTF-8 (a legacy WM_NAME) is read as Latin-1.
    if (s.toUtf8() != bytes) return QString::fromLatin1(bytes).toStdString();
    return s.toStdString();
}

}  // namespace

struct TX11HotKeys::TImpl {
    Display* Dpy = nullptr;
    Window Root = 0;
    unsigned NumLock = 0;
    KeyCode Return = 0, KpEnter = 0;
    std::array<KeyCode, 11> Keys{};  // by THotKeyKey
    KeyCode CtrlL = 0, CtrlR = 0, ShiftL = 0, ShiftR = 0;
    QSocketNotifier* Notifier = nullptr;
    bool Grabbed = false;
    bool DispatchPending = false;
    std::vector<std::pair<bool, TModifierKeys>> Presses;

    ~TImpl() {
        delete Notifier;
        if (Dpy) XCloseDisplay(Dpy);
    }

    [[nodiscard]] std::array<unsigned, 4> LockStates() const {
        return {0u, static_cast<unsigned>(LockMask), NumLock, LockMask | NumLock};
    }

    [[nodiscard]] Atom AtomOf(const char* name) const { return XInternAtom(Dpy, name, False); }

    // A property of a window as bytes; empty when it is missing.
    [[nodiscard]] std::string Property(Window w, Atom property, Atom type) const {
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::string out;
        if (XGetWindowProperty(Dpy, w, property, 0, 1024, False, type, &actual, &format, &count,
                               &after, &data) == Success &&
            data != nullptr) {
            if (actual == type && format == 8) out.assign(reinterpret_cast<char*>(data), count);
            if (actual == type && format == 32 && count > 0)
                out.assign(reinterpret_cast<char*>(data), sizeof(long));
        }
        if (data) XFree(data);
        return out;
    }
};

std::unique_ptr<TX11HotKeys> TX11HotKeys::Open() {
    // The clipboard goes through Qt: it has to be the X11 clipboard.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto impl = std::make_unique<TImpl>();
    impl->Dpy = XOpenDisplay(nullptr);
    if (!impl->Dpy) return nullptr;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(impl->Dpy, &event, &error, &major, &minor)) return nullptr;
    Display* dpy = impl->Dpy;
    impl->Root = DefaultRootWindow(dpy);
    impl->Return = XKeysymToKeycode(dpy, XK_Return);
    impl->KpEnter = XKeysymToKeycode(dpy, XK_KP_Enter);
    impl->CtrlL = XKeysymToKeycode(dpy, XK_Control_L);
    impl->CtrlR = XKeysymToKeycode(dpy, XK_Control_R);
    impl->ShiftL = XKeysymToKeycode(dpy, XK_Shift_L);
    impl->ShiftR = XKeysymToKeycode(dpy, XK_Shift_R);
    const KeySym syms[] = {XK_Control_L, XK_Control_R, XK_Shift_L, XK_Shift_R, XK_Home, XK_End,
                           XK_Up,        XK_Down,      XK_Right,   XK_c,       XK_v};
    for (std::size_t i = 0; i < impl->Keys.size(); ++i)
        impl->Keys[i] = XKeysymToKeycode(dpy, syms[i]);
    // The modifier bit that NumLock sets (Mod2 on most keyboards).
    if (XModifierKeymap* map = XGetModifierMapping(dpy)) {
        const KeyCode numLock = XKeysymToKeycode(dpy, XK_Num_Lock);
        for (int mod = 0; mod < 8; ++mod)
            for (int k = 0; k < map->max_keypermod; ++k)
                if (numLock != 0 && map->modifiermap[mod * map->max_keypermod + k] == numLock)
                    impl->NumLock = 1u << mod;
        XFreeModifiermap(map);
    }
    // Without autorepeat detection a held Enter would send releases and presses in turn.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(dpy, True, &supported);
    XSelectInput(dpy, impl->Root, NoEventMask);
    auto keys = std::unique_ptr<TX11HotKeys>(new TX11HotKeys(std::move(impl)));
    TX11HotKeys* self = keys.get();
    keys->F->Notifier = new QSocketNotifier(ConnectionNumber(dpy), QSocketNotifier::Read);
    QObject::connect(keys->F->Notifier, &QSocketNotifier::activated, [self] { self->Drain(); });
    // Xlib may read an event into its queue while it waits for a reply; nothing then wakes the
    // notifier, and a press left unread would keep the keyboard grabbed.
    auto* poll = new QTimer(keys->F->Notifier);
    QObject::connect(poll, &QTimer::timeout, [self, dpy] {
        if (XQLength(dpy) > 0) self->Drain();
    });
    poll->start(250);
    return keys;
}

TX11HotKeys::TX11HotKeys(std::unique_ptr<TImpl> impl) : F(std::move(impl)) {}

TX11HotKeys::~TX11HotKeys() {
    if (F && F->Dpy) Ungrab();
}

bool TX11HotKeys::Grabbed() const noexcept {
    return F->Grabbed;
}

std::string TX11HotKeys::Grab() {
    Ungrab();
    std::string failed;
    TErrorTrap trap(F->Dpy);
    for (const auto& [mods, name] :
         {std::pair{static_cast<unsigned>(ControlMask), "Ctrl+Enter"},
          std::pair{static_cast<unsigned>(ControlMask | ShiftMask), "Ctrl+Shift+Enter"}}) {
        for (const KeyCode key : {F->Return, F->KpEnter}) {
            if (key == 0) continue;
            for (const unsigned lock : F->LockStates())
                XGrabKey(F->Dpy, key, mods | lock, F->Root, False, GrabModeAsync, GrabModeAsync);
        }
        if (trap.Failed()) {
            if (!failed.empty()) failed += ", ";
            failed += name;
        }
    }
    F->Grabbed = true;
    return failed;
}

void TX11HotKeys::Ungrab() {
    if (!F->Grabbed) return;
    TErrorTrap trap(F->Dpy);
    for (const unsigned mods :
         {static_cast<unsigned>(ControlMask), static_cast<unsigned>(ControlMask | ShiftMask)})
        for (const KeyCode key : {F->Return, F->KpEnter})
            for (const unsigned lock : F->LockStates())
                if (key != 0) XUngrabKey(F->Dpy, key, mods | lock, F->Root);
    F->Grabbed = false;
}

void TX11HotKeys::Drain() {
    while (XPending(F->Dpy) > 0) {
        XEvent event;
        XNextEvent(F->Dpy, &event);
        if (event.type != KeyPress) continue;
        // The press made the grab active: let it go at once, or the keys sent to the editor
        // would come back to us.
        XUngrabKeyboard(F->Dpy, event.xkey.time);
        XFlush(F->Dpy);
        TModifierKeys held = Modifiers();
        // Keys let go before the event was read still count as held, as the left ones.
        if ((event.xkey.state & ControlMask) && !held.LeftCtrl && !held.RightCtrl)
            held.LeftCtrl = true;
        if ((event.xkey.state & ShiftMask) && !held.LeftShift && !held.RightShift)
            held.LeftShift = true;
        F->Presses.emplace_back((event.xkey.state & ShiftMask) != 0, held);
    }
    // The presses run from the event loop, never inside a wait that read them.
    if (!F->Presses.empty() && !F->DispatchPending) {
        F->DispatchPending = true;
        QTimer::singleShot(0, F->Notifier, [this] {
            F->DispatchPending = false;
            auto presses = std::move(F->Presses);
            F->Presses.clear();
            for (const auto& [deletion, held] : presses)
                if (OnPress) OnPress(deletion, held);
            Drain();
        });
    }
}

TWindowIdentity TX11HotKeys::ActiveWindow() {
    TWindowIdentity id;
    TErrorTrap trap(F->Dpy);
    Window w = 0;
    const std::string active = F->Property(F->Root, F->AtomOf("_NET_ACTIVE_WINDOW"), XA_WINDOW);
    if (active.size() == sizeof(long)) {
        long value = 0;
        std::memcpy(&value, active.data(), sizeof(long));
        w = static_cast<Window>(value);
    }
    if (w == 0) {
        int revert = 0;
        XGetInputFocus(F->Dpy, &w, &revert);
        if (w == PointerRoot) w = 0;
    }
    // The focus may sit on a child: the window that carries WM_CLASS is the application's.
    for (int depth = 0; w != 0 && w != F->Root && depth < 32; ++depth) {
        XClassHint hint{};
        if (XGetClassHint(F->Dpy, w, &hint) != 0) {
            id.Id = w;
            if (hint.res_name) id.Instance = Latin1OrUtf8(hint.res_name);
            if (hint.res_class) id.Class = Latin1OrUtf8(hint.res_class);
            if (hint.res_name) XFree(hint.res_name);
            if (hint.res_class) XFree(hint.res_class);
            break;
        }
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(F->Dpy, w, &root, &parent, &children, &count) == 0) break;
        if (children) XFree(children);
        w = parent;
    }
    if (trap.Failed()) return {};
    if (id.Id == 0) return id;
    id.Title = F->Property(w, F->AtomOf("_NET_WM_NAME"), F->AtomOf("UTF8_STRING"));
    if (id.Title.empty()) {
        char* name = nullptr;
        if (XFetchName(F->Dpy, w, &name) != 0 && name) {
            id.Title = Latin1OrUtf8(name);
            XFree(name);
        }
    }
    return id;
}

TModifierKeys TX11HotKeys::Modifiers() {
    char keys[32] = {};
    XQueryKeymap(F->Dpy, keys);
    const auto down = [&keys](KeyCode k) {
        return k != 0 && (static_cast<unsigned char>(keys[k / 8]) & (1u << (k % 8))) != 0;
    };
    return {down(F->ShiftL), down(F->ShiftR), down(F->CtrlL), down(F->CtrlR)};
}

void TX11HotKeys::SendKey(THotKeyKey key, bool down) {
    const KeyCode code = F->Keys[static_cast<std::size_t>(key)];
    if (code == 0) return;
    XTestFakeKeyEvent(F->Dpy, code, down ? True : False, CurrentTime);
    XFlush(F->Dpy);
}

void TX11HotKeys::SetClipboard(const std::string& text) {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::optional<std::string> TX11HotKeys::WaitForClipboard(int timeoutMs) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QElapsedTimer timer;
    timer.start();
    // The editor that copied takes the selection over; Qt sees that once it reads the events.
    while (clipboard->ownsClipboard()) {
        if (timer.elapsed() >= timeoutMs) return std::nullopt;
        ProcessEvents();
        QThread::msleep(5);
    }
    return clipboard->text().toStdString();
}

void TX11HotKeys::ProcessEvents() {
    // Paint and the clipboard's own events run; typing into the program waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Drain();
}

void TX11HotKeys::Sleep(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        ProcessEvents();
        if (timer.elapsed() < ms) QThread::msleep(std::min<qint64>(5, ms - timer.elapsed()));
    } while (timer.elapsed() < ms);
}

}  // namespace rekna
