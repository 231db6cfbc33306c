// The hot keys' tables: target and action per Ctrl/Shift combination, and the transfer profiles
// chosen by the window class of the editor in front.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rekna {

// The modifier keys held down, left and right told apart.
struct TModifierKeys {
    bool LeftShift = false;
    bool RightShift = false;
    bool LeftCtrl = false;
    bool RightCtrl = false;
    friend bool operator==(const TModifierKeys&, const TModifierKeys&) = default;
};

// What a hot key takes from the editor.
enum class THotKeyTarget : std::uint8_t { htNothing, htSelection, htCaretRow, htAuto };

// What it writes back.
enum class THotKeyAction : std::uint8_t {
    haNothing,
    haWrite,      // line + " ＝ " + result
    haWriteHalf,  // line + " = " + result
    haReplace,    // the result alone
    haAuto,       // replace a selection within one line, otherwise as haWrite
    haDelete,     // the written result removed
};

struct THotKeyChoice {
    THotKeyTarget Target = THotKeyTarget::htNothing;
    THotKeyAction Action = THotKeyAction::haNothing;
    friend bool operator==(const THotKeyChoice&, const THotKeyChoice&) = default;
};

// The digit of a combination within each six-digit string: 3 with the right Ctrl down (0
// otherwise), plus 2 with the right Shift down, else 1 with the left Shift down.
[[nodiscard]] int HotKeyIndex(const TModifierKeys& keys) noexcept;

// The target digit (HotKeyAction) and the action digit (HotKeyCalc) for the keys held. A string
// that is too short or a digit out of range stands for nothing.
[[nodiscard]] THotKeyChoice HotKeyChoice(std::string_view targets, std::string_view actions,
                                         const TModifierKeys& keys) noexcept;

// The identity of the window in front: its X window (on Wayland the compositor's window id), its
// WM_CLASS (instance and class; on Wayland the app id as the class) and its title, all UTF-8.
// Id 0: no window.
struct TWindowIdentity {
    std::uint64_t Id = 0;
    std::string Instance;
    std::string Class;
    std::string Title;
};

// How text moves between the hot key and one kind of editor.
struct THotKeyProfile {
    // Terminals and editors whose Ctrl+C / Ctrl+V do not copy and paste: nothing is sent.
    bool NoTarget = false;
    // The caret row is selected by Home, Shift+End (without taking its line break).
    bool HomeEndSelect = false;
    // The caret row is selected by Home, Shift+Down, Shift+Home.
    bool DownSelect = false;
    // A line break is added to the text before it is pasted back.
    bool AppendLineBreak = false;
    // A single-line box: a caret row gets no line break added.
    bool SingleLine = false;
    // Rows of Tab-separated cells, calculated cell by cell; a last empty line is dropped.
    bool Spreadsheet = false;
    // Milliseconds after every synthetic key event (-1: no wait).
    int KeyDelay = -1;
    // Milliseconds to let the editor settle after the caret row was copied (-1: no wait).
    int SettleDelay = -1;
    friend bool operator==(const THotKeyProfile&, const THotKeyProfile&) = default;
};

// The profile of the first row of the editor table that matches the window's WM_CLASS (instance
// or class) or app id, compared without case; the defaults for any other window.
[[nodiscard]] THotKeyProfile ProfileFor(const TWindowIdentity& window);

// The profile as one line of text, for logs and tests.
[[nodiscard]] std::string DescribeProfile(const THotKeyProfile& profile);

// The text of "ホットキー計算説明(&T)" (UTF-8, lines joined with LF).
[[nodiscard]] std::string HotKeyHelpText();

}  // namespace rekna
