// The Wayland side of the hot keys: wtype, wl-copy, wl-paste and swaymsg run as child processes
// (never through a shell), each with a time limit.
#include "hotkey/qt/hotkey_wayland.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <array>

#include "hotkey/qt/hotkey_portal.h"

namespace rekna {

namespace {

constexpr int kProgramTimeoutMs = 2000;

// The key names for wtype, by THotKeyKey.
constexpr std::array<const char*, 12> kKeyNames = {"Control_L", "Control_R", "Shift_L", "Shift_R",
                                                   "Home",      "End",       "Up",      "Down",
                                                   "Right",     "c",         "v",       "Left"};

// Milliseconds the editor gets to take wtype's keymap before the first key, and to act on the
// last key while the virtual keyboard still has its focus: when wtype ends, an editor may take
// the focus as lost before it read the clipboard for a paste.
constexpr int kKeymapSettleMs = 30;
constexpr int kLastKeySettleMs = 100;

// wtype builds a keymap of the keys it is given, in the order they first appear, and an editor
// may go on reading key codes against the keymap of an earlier run: every run names all keys
// first, in the same order, so that each run has the same keymap. A release of a key that is not
// down does nothing.
QStringList KeymapPrefix() {
    QStringList args;
    for (const char* name : kKeyNames)
        args << QStringLiteral("-p") << QString::fromLatin1(name);
    args << QStringLiteral("-s") << QString::number(kKeymapSettleMs);
    return args;
}

const QString kProblemPrefix = QStringLiteral("ホットキー計算: ");

TWindowIdentity FocusedIn(const QJsonObject& node, int depth) {
    if (depth > 64) return {};
    if (node.value(QLatin1String("focused")).toBool()) {
        TWindowIdentity id;
        const QString type = node.value(QLatin1String("type")).toString();
        // A focused workspace or output has no window in front.
        if (type != QLatin1String("con") && type != QLatin1String("floating_con")) return id;
        id.Id = static_cast<std::uint64_t>(node.value(QLatin1String("id")).toDouble());
        id.Title = node.value(QLatin1String("name")).toString().toStdString();
        const QString appId = node.value(QLatin1String("app_id")).toString();
        if (!appId.isEmpty()) {
            id.Class = appId.toStdString();
        } else {
            const QJsonObject x11 = node.value(QLatin1String("window_properties")).toObject();
            id.Class = x11.value(QLatin1String("class")).toString().toStdString();
            id.Instance = x11.value(QLatin1String("instance")).toString().toStdString();
        }
        return id;
    }
    for (const char* list : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(list)).toArray()) {
            const TWindowIdentity id = FocusedIn(child.toObject(), depth + 1);
            if (id.Id != 0) return id;
        }
    }
    return {};
}

}  // namespace

TWindowIdentity SwayFocusedWindow(const QByteArray& json) {
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject()) return {};
    return FocusedIn(doc.object(), 0);
}

TWaylandHotKeys::TWaylandHotKeys(TWaylandPrograms programs) : FPrograms(std::move(programs)) {}

TWaylandHotKeys::~TWaylandHotKeys() = default;

std::string TWaylandHotKeys::Grab() {
    if (FPortal) FPortal->Bind();
    return {};
}

void TWaylandHotKeys::Ungrab() {
    if (FPortal) FPortal->Close();
}

std::unique_ptr<TWaylandHotKeys>
TWaylandHotKeys::Open(std::string& reason,
                      const std::function<void(bool, const TModifierKeys&)>& onPress) {
    TWaylandPrograms p;
    p.Wtype = QStandardPaths::findExecutable(QStringLiteral("wtype"));
    p.WlCopy = QStandardPaths::findExecutable(QStringLiteral("wl-copy"));
    p.WlPaste = QStandardPaths::findExecutable(QStringLiteral("wl-paste"));
    p.SwayMsg = QStandardPaths::findExecutable(QStringLiteral("swaymsg"));
    if (p.Wtype.isEmpty() || p.WlCopy.isEmpty() || p.WlPaste.isEmpty()) {
        reason =
            "ホットキーには wtype と wl-clipboard が必要です（apt install wtype wl-clipboard）";
        return nullptr;
    }
    // The hot key must know which window it reads from and types into: only sway tells.
    if (qEnvironmentVariableIsEmpty("SWAYSOCK") || p.SwayMsg.isEmpty()) {
        reason = "このデスクトップでは手前のウィンドウを確かめられないため、ホットキーは使えません"
                 "（sway か X11 のエディタが必要です）";
        return nullptr;
    }
    auto keys = std::make_unique<TWaylandHotKeys>(std::move(p));
    if (onPress && THotKeyPortal::Offered(QDBusConnection::sessionBus()))
        keys->FPortal = std::make_unique<THotKeyPortal>(QDBusConnection::sessionBus(), onPress);
    return keys;
}

TWaylandHotKeys::TRun TWaylandHotKeys::Run(const QString& program, const QStringList& args,
                                           const QByteArray* input, bool readOutput) {
    TRun run;
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    // wl-copy stays behind to serve the clipboard: it must not hold our pipes open.
    if (!readOutput) process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!input) process.setStandardInputFile(QProcess::nullDevice());
    const QString name = program.section(u'/', -1);
    process.start();
    if (!process.waitForStarted(kProgramTimeoutMs)) {
        run.Error = name + QStringLiteral(" を起動できません");
        return run;
    }
    if (input) {
        process.write(*input);
        process.closeWriteChannel();
    }
    if (!process.waitForFinished(kProgramTimeoutMs)) {
        process.kill();
        process.waitForFinished(kProgramTimeoutMs);
        run.Error = name + QStringLiteral(" が応答しません");
        return run;
    }
    if (readOutput) run.Out = process.readAllStandardOutput();
    run.Ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!run.Ok)
        run.Error =
            name + QStringLiteral(" が失敗しました（終了コード %1）").arg(process.exitCode());
    return run;
}

void TWaylandHotKeys::Stop(const QString& why) {
    FStopped = true;
    FProblem = (kProblemPrefix + why).toStdString();
}

TWindowIdentity TWaylandHotKeys::ActiveWindow() {
    if (FInCalculation) {
        // The calculation asks again before it selects or pastes: the keys due go out first, and
        // a calculation stopped on this side has no window any more.
        Flush();
        if (FStopped) return {};
    } else {
        // A calculation begins here: what stopped the last one is past.
        FKeys.clear();
        FDown = {};
        FStopped = false;
        FProblem.clear();
        FInCalculation = true;
    }
    const TRun tree =
        Run(FPrograms.SwayMsg, {QStringLiteral("-t"), QStringLiteral("get_tree")}, nullptr, true);
    if (!tree.Ok) {
        Stop(tree.Error);
        FWindow = 0;
        return {};
    }
    TWindowIdentity id = SwayFocusedWindow(tree.Out);
    FWindow = id.Id;
    return id;
}

TModifierKeys TWaylandHotKeys::Modifiers() {
    // The editor sees the virtual keyboard's modifiers, not the ones the user holds, which Rekna
    // cannot read while another window has the focus: only the keys sent count.
    return FDown;
}

void TWaylandHotKeys::SendKey(THotKeyKey key, bool down) {
    // A modifier goes as its key, which GTK windows need for their shortcuts, and as the
    // modifier state, which wtype does not derive from the key.
    const char* name = kKeyNames[static_cast<std::size_t>(key)];
    const auto modifier = [&](bool& left, bool& right, bool isLeft, const char* state) {
        const bool before = left || right;
        bool& field = isLeft ? left : right;
        if (field == down) return;
        field = down;
        const bool after = left || right;
        if (down) FKeys << QStringLiteral("-P") << QString::fromLatin1(name);
        if (before != after)
            FKeys << QString::fromLatin1(after ? "-M" : "-m") << QString::fromLatin1(state);
        if (!down) FKeys << QStringLiteral("-p") << QString::fromLatin1(name);
    };
    switch (key) {
    case THotKeyKey::hkCtrlLeft:
    case THotKeyKey::hkCtrlRight:
        modifier(FDown.LeftCtrl, FDown.RightCtrl, key == THotKeyKey::hkCtrlLeft, "ctrl");
        return;
    case THotKeyKey::hkShiftLeft:
    case THotKeyKey::hkShiftRight:
        modifier(FDown.LeftShift, FDown.RightShift, key == THotKeyKey::hkShiftLeft, "shift");
        return;
    default: FKeys << QString::fromLatin1(down ? "-P" : "-p") << QString::fromLatin1(name);
    }
}

void TWaylandHotKeys::Flush() {
    if (FKeys.isEmpty()) return;
    const QStringList args = KeymapPrefix() + FKeys +
                             QStringList{QStringLiteral("-s"), QString::number(kLastKeySettleMs)};
    FKeys.clear();
    // wtype lets its modifiers go when it ends.
    FDown = {};
    if (FStopped) return;
    // Never type into a window the text was not read from.
    const TRun tree =
        Run(FPrograms.SwayMsg, {QStringLiteral("-t"), QStringLiteral("get_tree")}, nullptr, true);
    if (!tree.Ok) {
        Stop(tree.Error);
        return;
    }
    if (SwayFocusedWindow(tree.Out).Id != FWindow || FWindow == 0) {
        Stop(QStringLiteral("手前のウィンドウが変わったため、キー入力をやめました"));
        return;
    }
    if (const TRun typed = Run(FPrograms.Wtype, args, nullptr, false); !typed.Ok) Stop(typed.Error);
}

void TWaylandHotKeys::SetClipboard(const std::string& text) {
    Flush();
    if (FStopped) return;
    const QByteArray bytes(text.data(), static_cast<qsizetype>(text.size()));
    const TRun copied =
        Run(FPrograms.WlCopy,
            {QStringLiteral("--type"), QStringLiteral("text/plain;charset=utf-8")}, &bytes, false);
    if (!copied.Ok) {
        Stop(copied.Error);
        return;
    }
    FOwnText = text;
}

std::optional<std::string> TWaylandHotKeys::ReadClipboard(bool primary, bool* empty) {
    QStringList args{QStringLiteral("--no-newline")};
    if (primary) {
        // Only whether something is offered matters.
        args << QStringLiteral("--primary") << QStringLiteral("--list-types");
    } else {
        args << QStringLiteral("--type") << QStringLiteral("text");
    }
    const TRun read = Run(FPrograms.WlPaste, args, nullptr, true);
    // wl-paste fails when nothing is offered; the error message is not kept apart from other
    // failures, so a failure counts as "empty" only for the wait's length.
    if (empty) *empty = !read.Ok || read.Out.isEmpty();
    if (!read.Ok) return std::nullopt;
    return read.Out.toStdString();
}

std::optional<std::string> TWaylandHotKeys::WaitForClipboard(int timeoutMs) {
    Flush();
    if (FStopped) return std::nullopt;
    QElapsedTimer timer;
    timer.start();
    // An editor with a selection offers it as the primary selection too. Without any, the copy
    // brings nothing, and the editor, which has read the keys by now, needs only a moment for a
    // copy it does make.
    bool noSelection = false;
    ReadClipboard(true, &noSelection);
    const int wait = noSelection ? std::min(timeoutMs, kNoSelectionWait) : timeoutMs;
    for (;;) {
        const std::optional<std::string> text = ReadClipboard(false, nullptr);
        if (text && *text != FOwnText) return text;
        if (timer.elapsed() >= wait) return std::nullopt;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(10);
    }
}

void TWaylandHotKeys::ProcessEvents() {
    Flush();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TWaylandHotKeys::Sleep(int ms) {
    // Between keys the wait goes into the same wtype run: a run of its own would let the
    // modifiers go.
    if (!FKeys.isEmpty()) {
        FKeys << QStringLiteral("-s") << QString::number(ms);
        return;
    }
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (timer.elapsed() < ms) QThread::msleep(std::min<qint64>(5, ms - timer.elapsed()));
    } while (timer.elapsed() < ms);
}

}  // namespace rekna
