// The X11 side of the hot keys: passive key grabs on the root window through a connection of
// our own, XQueryKeymap, _NET_ACTIVE_WINDOW and WM_CLASS, XTest keystrokes, the clipboard, and
// XFixes to see an editor answer keystrokes.
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
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// X11 after Qt: it defines None, Bool, KeyPress, ...
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
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

// X timestamps count milliseconds and wrap around after 49 days.
bool Later(Time a, Time b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a - b)) > 0;
}

constexpr struct {
    unsigned Mods;
    const char* Name;
} kCombinations[] = {{ControlMask, "Ctrl+Enter"}, {ControlMask | ShiftMask, "Ctrl+Shift+Enter"}};

}  // namespace

struct TX11HotKeys::TImpl {
    Display* Dpy = nullptr;
    Window Root = 0;
    unsigned NumLock = 0;
    KeyCode Return = 0, KpEnter = 0;
    std::array<KeyCode, 12> Keys{};  // by THotKeyKey
    KeyCode CtrlL = 0, CtrlR = 0, ShiftL = 0, ShiftR = 0;
    QSocketNotifier* Notifier = nullptr;
    std::array<bool, std::size(kCombinations)> Held{};  // by kCombinations
    bool DispatchPending = false;
    std::vector<std::pair<bool, TModifierKeys>> Presses;
    // A window of our own whose property changes give the server's time.
    Window Clock = 0;
    int FixesEvent = -1;  // XFixes' first event code; -1 without XFixes
    // The bits of a resource id that name the program (client) that made it.
    XID ClientBits = 0;
    Atom Primary = 0, Clipboard = 0;
    // The clipboard's owner just after Qt took it.
    Window OurClipboard = 0;
    // Watching for the editor's answer: since when, the editor's client, and whether it came.
    Time AnswerSince = 0;
    XID AnswerClient = 0;
    bool Answered = false;

    ~TImpl() {
        delete Notifier;
        if (Dpy) {
            if (Clock) XDestroyWindow(Dpy, Clock);
            XCloseDisplay(Dpy);
        }
    }

    // The server's time now: a round trip through a property change.
    [[nodiscard]] Time ServerTime() const {
        const Atom atom = AtomOf("_REKNA_TIME");
        XChangeProperty(Dpy, Clock, atom, XA_STRING, 8, PropModeAppend, nullptr, 0);
        XEvent event;
        XWindowEvent(Dpy, Clock, PropertyChangeMask, &event);
        return event.xproperty.time;
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
                           XK_Up,        XK_Down,      XK_Right,   XK_c,       XK_v,    XK_Left};
    static_assert(std::size(syms) == std::tuple_size_v<decltype(impl->Keys)>);
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
    impl->Primary = XA_PRIMARY;
    impl->Clipboard = impl->AtomOf("CLIPBOARD");
    impl->Clock = XCreateWindow(dpy, impl->Root, -1, -1, 1, 1, 0, CopyFromParent, InputOnly,
                                CopyFromParent, 0, nullptr);
    XSelectInput(dpy, impl->Clock, PropertyChangeMask);
    // Xlib's public display struct keeps the resource id mask as private4; every program's ids
    // share it, and the bits above it tell the program.
    const XID mask = reinterpret_cast<_XPrivDisplay>(dpy)->private4;
    if (mask != 0 && (mask & (mask + 1)) == 0) impl->ClientBits = ~mask;
    int fixesEvent = 0, fixesError = 0;
    if (XFixesQueryExtension(dpy, &fixesEvent, &fixesError)) {
        impl->FixesEvent = fixesEvent;
        XFixesSelectSelectionInput(dpy, impl->Root, impl->Primary,
                                   XFixesSetSelectionOwnerNotifyMask);
    }
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

std::string TX11HotKeys::Grab() {
    std::string failed;
    TErrorTrap trap(F->Dpy);
    for (std::size_t i = 0; i < std::size(kCombinations); ++i) {
        if (F->Held[i]) continue;
        const unsigned mods = kCombinations[i].Mods;
        // The keyboard freezes at a press until Drain lets it go: to us, or on to the window in
        // front as if nobody had grabbed it.
        for (const KeyCode key : {F->Return, F->KpEnter}) {
            if (key == 0) continue;
            for (const unsigned lock : F->LockStates())
                XGrabKey(F->Dpy, key, mods | lock, F->Root, False, GrabModeAsync, GrabModeSync);
        }
        F->Held[i] = !trap.Failed();
        if (F->Held[i]) continue;
        // Lock states another program lacks may have been granted: none are kept.
        for (const KeyCode key : {F->Return, F->KpEnter})
            for (const unsigned lock : F->LockStates())
                if (key != 0) XUngrabKey(F->Dpy, key, mods | lock, F->Root);
        trap.Failed();
        if (!failed.empty()) failed += ", ";
        failed += kCombinations[i].Name;
    }
    return failed;
}

void TX11HotKeys::Ungrab() {
    TErrorTrap trap(F->Dpy);
    for (std::size_t i = 0; i < std::size(kCombinations); ++i) {
        if (!F->Held[i]) continue;
        for (const KeyCode key : {F->Return, F->KpEnter})
            for (const unsigned lock : F->LockStates())
                if (key != 0) XUngrabKey(F->Dpy, key, kCombinations[i].Mods | lock, F->Root);
        F->Held[i] = false;
    }
}

void TX11HotKeys::Drain() {
    while (XPending(F->Dpy) > 0) {
        XEvent event;
        XNextEvent(F->Dpy, &event);
        if (F->FixesEvent >= 0 && event.type == F->FixesEvent + XFixesSelectionNotify) {
            const auto& change = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
            // The editor took the primary selection while it handled a key sent after the
            // watch began: an editor stamps it with the key's time.
            if (F->AnswerSince != 0 && change.selection == F->Primary && change.owner != 0 &&
                (change.owner & F->ClientBits) == F->AnswerClient &&
                Later(change.selection_timestamp, F->AnswerSince))
                F->Answered = true;
            continue;
        }
        if (event.type != KeyPress) continue;
        // Terminals, Emacs and Vim get the key as if it had not been grabbed.
        if (const TWindowIdentity front = ActiveWindow();
            front.Id != 0 && ProfileFor(front).NoTarget) {
            XAllowEvents(F->Dpy, ReplayKeyboard, event.xkey.time);
            XFlush(F->Dpy);
            continue;
        }
        // The press made the grab active: let it go at once, or the keys sent to the editor
        // would come back to us.
        XAllowEvents(F->Dpy, AsyncKeyboard, event.xkey.time);
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
    F->OurClipboard = XGetSelectionOwner(F->Dpy, F->Clipboard);
}

std::optional<std::string> TX11HotKeys::WaitForClipboard(int timeoutMs) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QElapsedTimer timer;
    timer.start();
    std::optional<std::string> text;
    // The editor that copied takes the selection over; Qt sees that once it reads the events.
    while (clipboard->ownsClipboard()) {
        if (timer.elapsed() >= timeoutMs) break;
        ProcessEvents();
        // The editor handled the keys after Ctrl+C, and the server still has the clipboard as
        // Qt took it (Qt reads its own connection later): the copy brought nothing.
        if (F->Answered && XGetSelectionOwner(F->Dpy, F->Clipboard) == F->OurClipboard) break;
        QThread::msleep(1);
    }
    if (!clipboard->ownsClipboard()) text = clipboard->text().toStdString();
    F->AnswerSince = 0;
    F->Answered = false;
    return text;
}

bool TX11HotKeys::OwnsPrimary(unsigned long window) {
    const Window owner = XGetSelectionOwner(F->Dpy, F->Primary);
    return owner != 0 && window != 0 && (owner & F->ClientBits) == (window & F->ClientBits);
}

bool TX11HotKeys::MayHoldSelection() {
    // Without the client bits any owner could be the editor.
    if (F->ClientBits == 0) return true;
    if (!OwnsPrimary(ActiveWindow().Id)) return false;
    // An editor may keep the primary selection after its selection is gone (GTK does after a
    // paste over it); asked for it, it then hands out no text.
    return !QGuiApplication::clipboard()->text(QClipboard::Selection).isEmpty();
}

bool TX11HotKeys::WatchKeyAnswer() {
    if (F->FixesEvent < 0 || F->ClientBits == 0) return false;
    const TWindowIdentity front = ActiveWindow();
    if (front.Id == 0) return false;
    F->AnswerClient = front.Id & F->ClientBits;
    F->Answered = false;
    F->AnswerSince = F->ServerTime();
    // The keys sent before carry this millisecond at the latest; the ones sent from now on must
    // carry a later one, or their answers could not be told from the earlier keys' selections.
    for (int i = 0; i < 100 && !Later(F->ServerTime(), F->AnswerSince); ++i)
        QThread::usleep(100);
    return true;
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
