// TX11HotKeys: Ctrl+Enter and Ctrl+Shift+Enter grabbed on the X11 root window (passed on to the
// programs the hot key leaves alone), and the desktop the hot-key calculation works on: the active
// window, the modifier keys, XTest keystrokes and the clipboard.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "hotkey/hotkey_calc.h"

namespace rekna {

class TX11HotKeys : public THotKeyDesktop {
public:
    // Null when the program does not run on an X11 display (Wayland, offscreen) or XTest is
    // missing.
    [[nodiscard]] static std::unique_ptr<TX11HotKeys> Open();
    ~TX11HotKeys() override;
    TX11HotKeys(const TX11HotKeys&) = delete;
    TX11HotKeys& operator=(const TX11HotKeys&) = delete;

    // Grabs the keys not held yet with every Lock/NumLock state; the names of the keys another
    // program holds ("Ctrl+Enter", "Ctrl+Shift+Enter"), joined with ", ", empty when all are ours.
    // Called again, it tries the missing ones once more.
    std::string Grab() override;
    void Ungrab() override;

    // A grabbed key was pressed (deletion: Ctrl+Shift+Enter); held are the modifier keys then.
    std::function<void(bool deletion, const TModifierKeys& held)> OnPress;

    // THotKeyDesktop
    TWindowIdentity ActiveWindow() override;
    TModifierKeys Modifiers() override;
    void SendKey(THotKeyKey key, bool down) override;
    void SetClipboard(const std::string& text) override;
    std::optional<std::string> WaitForClipboard(int timeoutMs) override;
    void ProcessEvents() override;
    void Sleep(int ms) override;
    bool MayHoldSelection() override;
    bool WatchKeyAnswer() override;

private:
    struct TImpl;
    explicit TX11HotKeys(std::unique_ptr<TImpl> impl);
    // Reads the events of the grab (every press ends the keyboard grab at once) and the primary
    // selection's changes.
    void Drain();
    // Whether the window's program owns the primary selection.
    bool OwnsPrimary(unsigned long window);
    std::unique_ptr<TImpl> F;
};

}  // namespace rekna
