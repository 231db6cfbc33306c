// The hot-key calculation's sequence of keystrokes and clipboard exchanges with another editor.
#include "hotkey/hotkey_calc.h"

#include "platform/cp932.h"
#include "platform/failure.h"

namespace rekna {

namespace {

constexpr std::size_t kTitleBytes = 256;

// Resets a flag when the scope ends, also on an exception.
struct TFlagScope {
    bool& Flag;
    explicit TFlagScope(bool& flag) : Flag(flag) { Flag = true; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;
    ~TFlagScope() { Flag = false; }
};

struct TEndScope {
    const std::function<void()>& End;
    explicit TEndScope(const std::function<void()>& end) : End(end) {}
    TEndScope(const TEndScope&) = delete;
    TEndScope& operator=(const TEndScope&) = delete;
    ~TEndScope() {
        if (End) End();
    }
};

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string ExtraText(const TWindowIdentity& window) {
    const std::string title = Utf8ToCp932(window.Title);
    std::size_t end = 0;
    while (end < title.size()) {
        const std::size_t next = end + CharLength(title, end);
        if (next > kTitleBytes) break;
        end = next;
    }
    return "\t[" + Utf8ToCp932(window.Class) + "][" + Utf8ToCp932(window.Instance) + "];" +
           title.substr(0, end);
}

std::optional<THotKeyPress> HotKeyCommandPress(std::string_view name) {
    THotKeyPress press;
    if (name == "calc") {
        press.Held.LeftCtrl = true;
    } else if (name == "replace") {
        press.Held.RightCtrl = true;
    } else if (name == "delete") {
        press.Deletion = true;
        press.Held.LeftCtrl = true;
        press.Held.LeftShift = true;
    } else {
        return std::nullopt;
    }
    return press;
}

THotKeyResult THotKeyCalc::ExternalCalc(const THotKeyRequest& request,
                                        const THotKeyCellCalculator& calculate) {
    THotKeyResult result;
    if (FBusy) {
        result.Outcome = THotKeyOutcome::hoBusy;
        return result;
    }
    // The clipboard waits let events run, and with them another press of the key.
    const TFlagScope busy(FBusy);
    result.Window = FDesktop.ActiveWindow();
    if (result.Window.Id == 0) {
        result.Outcome = THotKeyOutcome::hoNoWindow;
        return result;
    }
    const THotKeyChoice choice = HotKeyChoice(request.Targets, request.Actions, request.Held);
    if (choice.Target == THotKeyTarget::htNothing || choice.Action == THotKeyAction::haNothing) {
        result.Outcome = THotKeyOutcome::hoNothingToDo;
        return result;
    }
    FProfile = ProfileFor(result.Window);
    result.Profile = FProfile;
    if (FProfile.NoTarget) {
        result.Outcome = THotKeyOutcome::hoNoTarget;
        return result;
    }
    FContinuousCtrl = request.ContinuousCtrl;
    const bool copySelection =
        choice.Target == THotKeyTarget::htSelection || choice.Target == THotKeyTarget::htAuto;
    const bool selectRow =
        choice.Target == THotKeyTarget::htCaretRow || choice.Target == THotKeyTarget::htAuto;

    std::optional<std::string> taken;
    bool fromRow = false;
    if (copySelection) taken = CopyFromEditor();
    if (!taken && !FProfile.Spreadsheet && selectRow) {
        taken = SelectCaretRow();
        fromRow = taken.has_value();
    }
    if (!taken) {
        result.Outcome = THotKeyOutcome::hoNothingTaken;
        return result;
    }
    result.Taken = *taken;
    bool lossless = true;
    const std::string text = Utf8ToCp932(*taken, &lossless);
    if (!lossless || Cp932ToUtf8(text) != *taken) {
        result.Outcome = THotKeyOutcome::hoNotConvertible;
        return result;
    }

    if (OnBegin) OnBegin();
    const TEndScope end(OnEnd);
    try {
        TReplacementOptions options;
        options.Spreadsheet = FProfile.Spreadsheet;
        options.HalfEquals = choice.Action == THotKeyAction::haWriteHalf;
        options.Replace =
            choice.Action == THotKeyAction::haReplace ||
            (choice.Action == THotKeyAction::haAuto && !HasLineBreak(text) && !fromRow);
        options.Calculate = choice.Action != THotKeyAction::haDelete;
        options.ShowErrors = request.ShowErrors;
        options.ShowControl = request.ShowControl;
        const std::string extra = request.EditorInfo ? ExtraText(result.Window) : std::string();
        std::string out = ComputeReplacement(text, options, [&](const std::string& cell) {
            return calculate ? calculate(cell, extra) : std::pair<std::string, std::string>{};
        });
        if (FProfile.AppendLineBreak) out += '\n';
        result.Written = Cp932ToUtf8(out);
    } catch (...) {
        // Nothing has been pasted yet: the editor keeps its text.
        result.Outcome = THotKeyOutcome::hoFailed;
        result.Failure = FailureText();
        return result;
    }
    PasteToEditor(result.Written);
    result.Outcome = THotKeyOutcome::hoWritten;
    return result;
}

void THotKeyCalc::Send(THotKeyKey key, bool down) {
    FDesktop.SendKey(key, down);
    if (FProfile.KeyDelay >= 0) FDesktop.Sleep(FProfile.KeyDelay);
}

void THotKeyCalc::Tap(THotKeyKey key) {
    Send(key, true);
    Send(key, false);
}

void THotKeyCalc::PressCtrl() {
    const TModifierKeys now = FDesktop.Modifiers();
    if (!now.LeftCtrl && !now.RightCtrl) Send(THotKeyKey::hkCtrlLeft, true);
}

void THotKeyCalc::ReleaseCtrl() {
    const TModifierKeys now = FDesktop.Modifiers();
    if (now.LeftCtrl) Send(THotKeyKey::hkCtrlLeft, false);
    if (now.RightCtrl) Send(THotKeyKey::hkCtrlRight, false);
}

void THotKeyCalc::PressShift() {
    const TModifierKeys now = FDesktop.Modifiers();
    if (!now.LeftShift && !now.RightShift) Send(THotKeyKey::hkShiftLeft, true);
}

void THotKeyCalc::ReleaseShift() {
    const TModifierKeys now = FDesktop.Modifiers();
    if (now.LeftShift) Send(THotKeyKey::hkShiftLeft, false);
    if (now.RightShift) Send(THotKeyKey::hkShiftRight, false);
}

void THotKeyCalc::RestoreModifiers() {
    const TModifierKeys now = FDesktop.Modifiers();
    const std::pair<bool TModifierKeys::*, THotKeyKey> keys[] = {
        {&TModifierKeys::LeftShift, THotKeyKey::hkShiftLeft},
        {&TModifierKeys::RightShift, THotKeyKey::hkShiftRight},
        {&TModifierKeys::LeftCtrl, THotKeyKey::hkCtrlLeft},
        {&TModifierKeys::RightCtrl, THotKeyKey::hkCtrlRight},
    };
    for (const auto& [field, key] : keys)
        if (now.*field != FRecorded.*field) Send(key, FRecorded.*field);
}

void THotKeyCalc::AfterKeys(TAfter after) {
    if (FContinuousCtrl) {
        RestoreModifiers();
    } else if (after == TAfter::aaCtrl) {
        ReleaseCtrl();
    } else {
        ReleaseShift();
    }
}

std::optional<std::string> THotKeyCalc::CopyFromEditor() {
    // The editor that copies takes the clipboard over; without a selection it copies nothing
    // and the clipboard stays the program's.
    FDesktop.SetClipboard(std::string());
    RecordModifiers();
    PressCtrl();
    ReleaseShift();
    Tap(THotKeyKey::hkC);
    AfterKeys(TAfter::aaCtrl);
    std::optional<std::string> text = FDesktop.WaitForClipboard(kClipboardWait);
    if (text && text->empty()) text.reset();
    return text;
}

std::optional<std::string> THotKeyCalc::SelectCaretRow() {
    const auto select = [this](bool downSelect) {
        RecordModifiers();
        ReleaseCtrl();
        ReleaseShift();
        Tap(THotKeyKey::hkHome);
        PressShift();
        if (FProfile.HomeEndSelect) {
            Tap(THotKeyKey::hkEnd);
        } else if (downSelect) {
            Tap(THotKeyKey::hkDown);
            Tap(THotKeyKey::hkHome);
        } else {
            Tap(THotKeyKey::hkEnd);
            Tap(THotKeyKey::hkRight);
        }
        AfterKeys(TAfter::aaShift);
        return CopyFromEditor();
    };
    std::optional<std::string> text = select(FProfile.DownSelect);
    // The last row has no row below it to select down to.
    if (!text && FProfile.DownSelect && !FProfile.HomeEndSelect) {
        FProfile.HomeEndSelect = true;
        text = select(false);
    }
    if (!text) return text;
    if (!FProfile.SingleLine && !HasLineBreak(*text)) *text += '\n';
    FDesktop.ProcessEvents();
    if (FProfile.SettleDelay >= 0) FDesktop.Sleep(FProfile.SettleDelay);
    FDesktop.ProcessEvents();
    return text;
}

void THotKeyCalc::PasteToEditor(const std::string& text) {
    FDesktop.SetClipboard(text);
    RecordModifiers();
    PressCtrl();
    ReleaseShift();
    Tap(THotKeyKey::hkV);
    AfterKeys(TAfter::aaCtrl);
}

}  // namespace rekna
