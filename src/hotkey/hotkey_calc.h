// THotKeyCalc: a hot-key calculation inside another program's editor, run against an abstract
// desktop: the text is taken through the clipboard with synthetic keystrokes, calculated, and
// pasted back the same way.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "hotkey/hotkey_replace.h"
#include "hotkey/hotkey_tables.h"

namespace rekna {

// The keys the calculation types into other programs.
enum class THotKeyKey : std::uint8_t {
    hkCtrlLeft,
    hkCtrlRight,
    hkShiftLeft,
    hkShiftRight,
    hkHome,
    hkEnd,
    hkUp,
    hkDown,
    hkRight,
    hkC,
    hkV,
    hkLeft,
};

// What the calculation needs of the desktop. Texts are UTF-8.
class THotKeyDesktop {
public:
    virtual ~THotKeyDesktop() = default;
    // The window in front (Id 0: none).
    [[nodiscard]] virtual TWindowIdentity ActiveWindow() = 0;
    // The modifier keys down now.
    [[nodiscard]] virtual TModifierKeys Modifiers() = 0;
    // A synthetic key event for the window in front.
    virtual void SendKey(THotKeyKey key, bool down) = 0;
    // Puts text on the clipboard; the program then owns it.
    virtual void SetClipboard(const std::string& text) = 0;
    // Waits, letting events run, until another program has taken the clipboard over, at most
    // timeoutMs, and reads its text: nothing when no other program took it.
    [[nodiscard]] virtual std::optional<std::string> WaitForClipboard(int timeoutMs) = 0;
    // Lets pending events run.
    virtual void ProcessEvents() = 0;
    virtual void Sleep(int ms) = 0;
    // False only when the desktop can tell that the window in front holds no selection (an X11
    // editor that selects text owns the primary selection).
    [[nodiscard]] virtual bool MayHoldSelection() { return true; }
    // Starts watching for the window in front to answer the keys sent from now on: an editor
    // that Shift+Right or Shift+Left makes select a character takes the primary selection. The
    // next WaitForClipboard then ends with nothing as soon as the editor answered without taking
    // the clipboard. False: the desktop cannot see that, and the wait runs its full time.
    virtual bool WatchKeyAnswer() { return false; }

    // The back-end's own key trigger and state. Desktops without a global key grab (Wayland,
    // where a desktop key binding runs `rekna --hotkey`) keep the defaults.
    // Takes the hot keys: the names of those another program holds, joined with ", ".
    virtual std::string Grab() { return {}; }
    virtual void Ungrab() {}
    // Ends a calculation: what the back-end still holds back (keys gathered for one run of a
    // helper program) goes out.
    virtual void Finish() {}
    // What stopped the last calculation on the desktop's side (a helper program that failed, the
    // window in front that changed), UTF-8; empty when nothing did.
    [[nodiscard]] virtual std::string Problem() { return {}; }
};

// One press of a hot key.
struct THotKeyRequest {
    // The modifier keys held when the key was pressed, which choose the table entries.
    TModifierKeys Held;
    std::string Targets = "333333";  // HotKeyAction
    std::string Actions = "155355";  // HotKeyCalc
    // The modifiers are put back as the user holds them, so Ctrl may stay down.
    bool ContinuousCtrl = false;
    // The calculated lines carry the editor's window class and title (see ExtraText).
    bool EditorInfo = false;
    bool ShowErrors = false;
    bool ShowControl = false;
};

enum class THotKeyOutcome : std::uint8_t {
    hoBusy,            // a calculation was still running: this press is ignored
    hoNoWindow,        // no window in front
    hoNothingToDo,     // the combination's target or action is "nothing"
    hoNoTarget,        // a terminal or an editor without clipboard keys
    hoNothingTaken,    // no selection and no caret row could be copied
    hoNotConvertible,  // the text cannot be carried without loss: the editor is left untouched
    hoRowWrapped,      // the caret row is part of a line the editor wraps: nothing is written
    hoMoved,           // another window came to the front, or the selection changed: nothing
                       // is written
    hoFailed,          // the calculation failed: nothing was pasted
    hoWritten,         // the result was pasted back
};

struct THotKeyResult {
    THotKeyOutcome Outcome = THotKeyOutcome::hoNothingToDo;
    TWindowIdentity Window;
    THotKeyProfile Profile;
    std::string Taken;    // UTF-8, as the editor gave it
    std::string Written;  // UTF-8, as pasted back
    std::string Failure;  // UTF-8: what made the calculation fail (hoFailed)
};

// A press asked for by name, as a desktop's own key binding runs `rekna --hotkey NAME`: "calc"
// is Ctrl+Enter, "replace" right Ctrl+Enter, "delete" Ctrl+Shift+Enter.
struct THotKeyPress {
    bool Deletion = false;
    TModifierKeys Held;
};
[[nodiscard]] std::optional<THotKeyPress> HotKeyCommandPress(std::string_view name);

// Calculates a cell; extra is the editor information to carry with it (CP932, empty without
// EditorInfo).
using THotKeyCellCalculator = std::function<std::pair<std::string, std::string>(
    const std::string& cell, const std::string& extra)>;

// The editor information a calculated line carries: Tab + "[" class "][" instance "];" + title,
// as CP932, the title cut at 256 bytes on a character boundary. The language reads it as a
// comment.
[[nodiscard]] std::string ExtraText(const TWindowIdentity& window);

class THotKeyCalc {
public:
    // Milliseconds the clipboard is waited for after a synthetic Ctrl+C.
    static constexpr int kClipboardWait = 500;
    // Milliseconds the user's Ctrl and Shift are waited for to be let go before keys are sent.
    static constexpr int kReleaseWait = 400;

    explicit THotKeyCalc(THotKeyDesktop& desktop) : FDesktop(desktop) {}

    // Takes the text from the editor in front, calculates it and writes the result back.
    THotKeyResult ExternalCalc(const THotKeyRequest& request,
                               const THotKeyCellCalculator& calculate);
    [[nodiscard]] bool Busy() const noexcept { return FBusy; }

    // Around the calculation and the paste (the memo's batch update, the Run button pressed);
    // OnEnd also when the calculation fails.
    std::function<void()> OnBegin;
    std::function<void()> OnEnd;

private:
    enum class TAfter : std::uint8_t { aaCtrl, aaShift };
    // What selecting the caret row gave: its text, or why there is none.
    struct TRowTake {
        std::optional<std::string> Text;
        bool Wrapped = false;
    };
    void Send(THotKeyKey key, bool down);
    void Tap(THotKeyKey key);
    // Keys tapped with Shift held (or let go), Ctrl let go.
    void Keys(bool shift, std::initializer_list<THotKeyKey> keys);
    void RecordModifiers() { FRecorded = FDesktop.Modifiers(); }
    void PressCtrl();
    void ReleaseCtrl();
    void PressShift();
    void ReleaseShift();
    void RestoreModifiers();
    void WaitForRelease();
    void AfterKeys(TAfter after);
    // Keys that follow Ctrl+C so that a desktop that watches the editor answer them sees an
    // empty copy at once; each only where it leaves the selection as it was.
    enum class TAnswerKeys : std::uint8_t { akNone, akLeftRight, akRightLeft };
    std::optional<std::string> CopyFromEditor(TAnswerKeys answer);
    TRowTake SelectCaretRow();
    // Whether the character before the caret row (Home) is a line break or there is none; else
    // the row starts inside a wrapped line. Leaves an empty selection at the row's start.
    bool RowStartsLine();
    void PasteToEditor(const std::string& text);

    THotKeyDesktop& FDesktop;
    THotKeyProfile FProfile;
    TModifierKeys FRecorded;
    bool FContinuousCtrl = false;
    bool FBusy = false;
    // The last copy sent its answer keys.
    bool FAnswerKeysSent = false;
};

}  // namespace rekna
