// TWaylandHotKeys: the desktop the hot-key calculation works on in a Wayland session of a wlroots
// compositor: keystrokes through wtype (virtual keyboard), the clipboard through wl-copy and
// wl-paste (data control), the window in front through sway's IPC. The key itself is a binding of
// the desktop that runs `rekna --hotkey`.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "hotkey/hotkey_calc.h"

namespace rekna {

// The helper programs, as absolute paths.
struct TWaylandPrograms {
    QString Wtype;
    QString WlCopy;
    QString WlPaste;
    QString SwayMsg;
};

// The focused window in the JSON of `swaymsg -t get_tree`: the compositor's container id, the
// app id (Class; X11 windows under Xwayland: WM_CLASS) and the title. Id 0 when nothing is
// focused or the text is no tree.
[[nodiscard]] TWindowIdentity SwayFocusedWindow(const QByteArray& json);

class THotKeyPortal;

class TWaylandHotKeys : public THotKeyDesktop {
public:
    // Null with the reason (UTF-8) when a helper program is missing or the compositor is not
    // sway, whose tree tells the window in front. Where the session offers the GlobalShortcuts
    // portal, Grab registers the keys there, and their presses go to onPress.
    [[nodiscard]] static std::unique_ptr<TWaylandHotKeys>
    Open(std::string& reason, const std::function<void(bool, const TModifierKeys&)>& onPress = {});
    explicit TWaylandHotKeys(TWaylandPrograms programs);
    ~TWaylandHotKeys() override;
    TWaylandHotKeys(const TWaylandHotKeys&) = delete;
    TWaylandHotKeys& operator=(const TWaylandHotKeys&) = delete;

    std::string Grab() override;
    void Ungrab() override;

    // THotKeyDesktop
    TWindowIdentity ActiveWindow() override;
    TModifierKeys Modifiers() override;
    void SendKey(THotKeyKey key, bool down) override;
    void SetClipboard(const std::string& text) override;
    std::optional<std::string> WaitForClipboard(int timeoutMs) override;
    void ProcessEvents() override;
    void Sleep(int ms) override;
    void Finish() override {
        Flush();
        FInCalculation = false;
    }
    std::string Problem() override { return FProblem; }

    // Milliseconds the clipboard is waited for when no program holds a selection.
    static constexpr int kNoSelectionWait = 150;

private:
    struct TRun {
        bool Ok = false;
        QByteArray Out;
        QString Error;  // why it failed, for the status bar
    };
    TRun Run(const QString& program, const QStringList& args, const QByteArray* input,
             bool readOutput);
    // Types the keys gathered since the last call in one wtype run, when the window in front is
    // still the one read from.
    void Flush();
    void Stop(const QString& why);
    std::optional<std::string> ReadClipboard(bool primary, bool* empty);

    TWaylandPrograms FPrograms;
    QStringList FKeys;    // wtype's arguments for the keys not typed yet
    TModifierKeys FDown;  // the modifiers those arguments hold down
    std::uint64_t FWindow = 0;
    std::string FOwnText;  // what SetClipboard put there
    bool FStopped = false;
    bool FInCalculation = false;  // between the first ActiveWindow and Finish
    std::string FProblem;
    std::unique_ptr<THotKeyPortal> FPortal;
};

}  // namespace rekna
