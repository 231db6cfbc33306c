// Which desktop back-end the hot keys get: the Qt platform tells the session, the Wayland
// registry what the compositor offers.
#include "hotkey/qt/hotkey_desktop.h"

#include <QGuiApplication>

#include <string_view>
#include <type_traits>

#include "hotkey/qt/hotkey_wayland.h"
#include "hotkey/qt/hotkey_x11.h"

#include <wayland-client.h>

namespace rekna {

// The X11 grab is driven through THotKeyDesktop's Grab and Ungrab: its own must stay their
// overrides.
static_assert(std::is_same_v<decltype(&TX11HotKeys::Grab), std::string (TX11HotKeys::*)()>);
static_assert(std::is_same_v<decltype(&TX11HotKeys::Ungrab), void (TX11HotKeys::*)()>);

namespace {

// Asks the compositor on a connection of our own: Qt does not hand its own out.
TWaylandProtocols OfferedProtocols() {
    TWaylandProtocols offered;
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return offered;
    wl_registry* registry = wl_display_get_registry(display);
    static constexpr wl_registry_listener kListener = {
        .global =
            [](void* data, wl_registry*, std::uint32_t, const char* name, std::uint32_t) {
                auto* p = static_cast<TWaylandProtocols*>(data);
                const std::string_view n(name);
                if (n == "zwp_virtual_keyboard_manager_v1") p->VirtualKeyboard = true;
                if (n == "zwlr_data_control_manager_v1") p->DataControl = true;
            },
        .global_remove = [](void*, wl_registry*, std::uint32_t) {},
    };
    wl_registry_add_listener(registry, &kListener, &offered);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}

}  // namespace

std::string WaylandShortfall(const TWaylandProtocols& p) {
    if (p.VirtualKeyboard && p.DataControl) return {};
    std::string missing;
    if (!p.VirtualKeyboard) missing = "キー入力（仮想キーボード）";
    if (!p.DataControl)
        missing +=
            std::string(missing.empty() ? "" : "と") + "クリップボード（データコントロール）";
    return "ホットキーには、" + missing +
           "のプロトコルに対応したコンポジタ（sway などの wlroots 系）か X11 のエディタが必要です";
}

THotKeyDesktopChoice OpenHotKeyDesktop(const THotKeyPressHandler& onPress) {
    THotKeyDesktopChoice choice;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        choice.Session = THotKeySession::hsX11;
        std::unique_ptr<TX11HotKeys> x11 = TX11HotKeys::Open();
        if (!x11) {
            choice.Reason = "ホットキーを使えません（X11 のディスプレイか XTest 拡張がありません）";
            return choice;
        }
        x11->OnPress = onPress;
        choice.Desktop = std::move(x11);
        return choice;
    }
    if (platform.startsWith(QLatin1String("wayland"))) {
        choice.Session = THotKeySession::hsWayland;
        choice.Reason = WaylandShortfall(OfferedProtocols());
        if (choice.Reason.empty()) choice.Desktop = TWaylandHotKeys::Open(choice.Reason, onPress);
        return choice;
    }
    choice.Reason = "ホットキーはX11かWaylandのデスクトップでだけ使えます";
    return choice;
}

}  // namespace rekna
