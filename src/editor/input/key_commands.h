// What a key or a typed character does in the editor control, decided without the platform's
// key codes so that the bindings can be checked without a window.
#pragma once

#include "editor/input/caret_moves.h"
#include "editor/paint/ruled_lines.h"

#include <cstdint>

namespace rekna {

// The keys the control handles at key-down level.
enum class TKey : std::uint8_t {
    kyNone,
    kyLeft,
    kyRight,
    kyUp,
    kyDown,
    kyHome,
    kyEnd,
    kyPageUp,
    kyPageDown,
    kyInsert,
    kyDelete,
    kyBackspace,
    kyClear,
};

// The modifier keys held with a key, a character or a mouse event.
struct TShiftState {
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;

    friend constexpr bool operator==(TShiftState, TShiftState) noexcept = default;
};

enum class TKeyCommand : std::uint8_t {
    kcNone,  // not handled: the key goes on (to the character level, or to the host)
    kcMove,  // caret movement: Move, Mode, IgnoreIndent
    kcScrollUp,
    kcScrollDown,
    kcRuled,  // Direction, Draw
    kcToggleInsert,
    kcPaste,
    kcCopy,
    kcFormattedCopy,
    kcCut,
    kcDeleteChar,
    kcDeleteToRowEnd,
    kcUndo,
    kcRedo,
    kcSelectAll,
    kcEscape,
    kcBackSpace,  // Shift gives the plain one-byte Backspace
    kcTab,        // Shift: unindent
    kcNewLine,    // Shift: no copied indentation
    kcType,       // the character is typed
    kcOpenPopup,
    kcClosePopup,     // without accepting
    kcAcceptPopup,    // the popup's entry replaces the word
    kcPopupPrevious,  // the popup's selection moves
    kcPopupNext,
    kcSwallow,  // handled by doing nothing
};

struct TKeyAction {
    TKeyCommand Command = TKeyCommand::kcNone;
    TCaretMove Move = TCaretMove::mvLeft;
    TSelMode Mode = TSelMode::smNone;
    bool IgnoreIndent = false;
    TRuleDirection Direction = TRuleDirection::rdLeft;
    bool Draw = true;
    bool Shift = false;
    // An open completion popup is refilled after the command.
    bool RefillPopup = false;

    friend constexpr bool operator==(const TKeyAction&, const TKeyAction&) noexcept = default;
};

// Character codes the platform delivers for control keys and Ctrl+letter.
inline constexpr std::uint32_t kCharBackspace = 8;
inline constexpr std::uint32_t kCharTab = 9;
inline constexpr std::uint32_t kCharLineFeed = 10;
inline constexpr std::uint32_t kCharReturn = 13;
inline constexpr std::uint32_t kCharEscape = 27;
inline constexpr std::uint32_t kCharSpace = 32;
// Ctrl with a letter gives the letter's control code: Ctrl+A is 1, Ctrl+Z is 26.
[[nodiscard]] constexpr std::uint32_t CtrlCode(char letter) noexcept {
    return static_cast<std::uint32_t>(letter - 'A' + 1);
}

// The key-down bindings. While the completion popup is open Home, End, PageUp, PageDown and the
// Clear key only close it and Up and Down move its selection; Left and Right refill it.
[[nodiscard]] TKeyAction KeyDownAction(TKey key, TShiftState shift, bool popupOpen) noexcept;

// The bindings of typed characters (code is a character code, 32 and above a character to type).
// A read-only control handles only Ctrl+A, Ctrl+C and Esc; other Ctrl+characters are swallowed
// unless an input-method composition is open.
[[nodiscard]] TKeyAction CharAction(std::uint32_t code, TShiftState shift, bool popupOpen,
                                    bool composing, bool readOnly) noexcept;

}  // namespace rekna
