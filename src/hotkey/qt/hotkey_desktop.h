// The desktop the hot keys work on, chosen once at start: X11, Wayland with the virtual keyboard
// and data control, or none with the reason.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "hotkey/hotkey_calc.h"

namespace rekna {

// A press of a global hot key (deletion: Ctrl+Shift+Enter) with the modifier keys held.
using THotKeyPressHandler = std::function<void(bool deletion, const TModifierKeys& held)>;

enum class THotKeySession : std::uint8_t { hsX11, hsWayland, hsOther };

struct THotKeyDesktopChoice {
    std::unique_ptr<THotKeyDesktop> Desktop;  // null: none
    std::string Reason;                       // UTF-8: why there is none
    THotKeySession Session = THotKeySession::hsOther;
};

// The Wayland protocols the compositor offers that the hot key needs.
struct TWaylandProtocols {
    bool VirtualKeyboard = false;
    bool DataControl = false;
};

// What is missing on a Wayland desktop with these protocols (UTF-8), empty when nothing is.
[[nodiscard]] std::string WaylandShortfall(const TWaylandProtocols& protocols);

// onPress is called for the presses of the keys the back-end grabs itself.
[[nodiscard]] THotKeyDesktopChoice OpenHotKeyDesktop(const THotKeyPressHandler& onPress);

}  // namespace rekna
