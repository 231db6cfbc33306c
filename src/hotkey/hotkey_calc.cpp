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

bool IsLineBreak(std::string_view text) {
    return text == "\n" || text == "\r\n" || text == "\r";
}

bool EndsWithLineBreak(std::string_view text) {
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// Blanks an editor's Home may stop after: the space, the Tab, the ideographic space (UTF-8).
bool IsBlank(std::string_view text) {
    return text == " " || text == "\t" || text == "\xE3\x80\x80";
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
    if (!FContinuousCtrl) WaitForRelease();
    const bool copySelection =
        choice.Target == THotKeyTarget::htSelection || choice.Target == THotKeyTarget::htAuto;
    const bool selectRow =
        choice.Target == THotKeyTarget::htCaretRow || choice.Target == THotKeyTarget::htAuto;

    std::optional<std::string> taken;
    bool fromRow = false;
    if (copySelection) {
        using A = TAnswerKeys;
        // In a spreadsheet Shift+Left and Shift+Right select cells.
        const bool answer = !FProfile.Spreadsheet && !FDesktop.MayHoldSelection();
        taken = CopyFromEditor(answer ? A::akLeftRight : A::akNone);
        // The answer keys shrink a selection that starts at the document's start with the caret
        // there: a selection that was there after all is copied again to see it kept.
        if (taken && FAnswerKeysSent && CopyFromEditor(A::akNone) != taken) {
            result.Outcome = THotKeyOutcome::hoMoved;
            return result;
        }
    }
    if (!taken && !FProfile.Spreadsheet && selectRow) {
        if (FDesktop.ActiveWindow().Id != result.Window.Id) {
            result.Outcome = THotKeyOutcome::hoMoved;
            return result;
        }
        TRowTake row = SelectCaretRow();
        if (row.Wrapped) {
            result.Outcome = THotKeyOutcome::hoRowWrapped;
            return result;
        }
        taken = std::move(row.Text);
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
    // The text goes back only into the window it came from.
    if (FDesktop.ActiveWindow().Id != result.Window.Id) {
        result.Written.clear();
        result.Outcome = THotKeyOutcome::hoMoved;
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

void THotKeyCalc::Keys(bool shift, std::initializer_list<THotKeyKey> keys) {
    RecordModifiers();
    ReleaseCtrl();
    if (shift) {
        PressShift();
    } else {
        ReleaseShift();
    }
    for (const THotKeyKey key : keys)
        Tap(key);
    AfterKeys(TAfter::aaShift);
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

void THotKeyCalc::WaitForRelease() {
    // A Ctrl the user lets go between the keys sent would turn a synthetic Ctrl+C into a typed
    // "c", a Shift a selecting Shift+Left into a caret move.
    constexpr int kStep = 5;
    for (int waited = 0; waited < kReleaseWait; waited += kStep) {
        const TModifierKeys now = FDesktop.Modifiers();
        if (!now.LeftCtrl && !now.RightCtrl && !now.LeftShift && !now.RightShift) return;
        FDesktop.Sleep(kStep);
    }
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

std::optional<std::string> THotKeyCalc::CopyFromEditor(TAnswerKeys answer) {
    // The editor that copies takes the clipboard over; without a selection it copies nothing
    // and the clipboard stays the program's.
    FDesktop.SetClipboard(std::string());
    FAnswerKeysSent = answer != TAnswerKeys::akNone && FDesktop.WatchKeyAnswer();
    RecordModifiers();
    PressCtrl();
    ReleaseShift();
    Tap(THotKeyKey::hkC);
    AfterKeys(TAfter::aaCtrl);
    if (FAnswerKeysSent) {
        if (answer == TAnswerKeys::akLeftRight) {
            Keys(true, {THotKeyKey::hkLeft, THotKeyKey::hkRight});
        } else {
            Keys(true, {THotKeyKey::hkRight, THotKeyKey::hkLeft});
        }
    }
    std::optional<std::string> text = FDesktop.WaitForClipboard(kClipboardWait);
    if (text && text->empty()) text.reset();
    return text;
}

bool THotKeyCalc::RowStartsLine() {
    using K = THotKeyKey;
    for (int pass = 0; pass < 2; ++pass) {
        Keys(false, {K::hkHome});
        Keys(true, {K::hkLeft});
        const std::optional<std::string> before = CopyFromEditor(TAnswerKeys::akRightLeft);
        if (before) Keys(true, {K::hkRight});
        // Nothing before it: the document's start.
        if (!before || IsLineBreak(*before)) return true;
        // An editor whose Home stops at the first non-blank goes to the line's start with a
        // second Home; in a wrapped line it stays.
        if (!IsBlank(*before)) return false;
    }
    return false;
}

THotKeyCalc::TRowTake THotKeyCalc::SelectCaretRow() {
    using K = THotKeyKey;
    TRowTake take;
    // Home, End and Down move by screen row in an editor that wraps long lines: the row must
    // start and end where the line does, or a part of the line would be calculated and the
    // answer written into its middle.
    if (!RowStartsLine()) {
        take.Wrapped = true;
        return take;
    }
    if (FProfile.HomeEndSelect) {
        Keys(true, {K::hkEnd});
    } else if (FProfile.DownSelect) {
        Keys(true, {K::hkDown, K::hkHome});
    } else {
        Keys(true, {K::hkEnd, K::hkRight});
    }
    take.Text = CopyFromEditor(TAnswerKeys::akLeftRight);
    // The last row has no row below it to select down to.
    if (!take.Text && FProfile.DownSelect) {
        Keys(false, {K::hkHome});
        Keys(true, {K::hkEnd});
        take.Text = CopyFromEditor(TAnswerKeys::akLeftRight);
    }
    if (!take.Text) return take;
    if (!EndsWithLineBreak(*take.Text)) {
        // Without its line break the row is the document's last, where Shift+Right selects no
        // more, or a screen row of a longer line.
        Keys(true, {K::hkRight});
        const std::optional<std::string> further = CopyFromEditor(TAnswerKeys::akNone);
        if (!further || *further != *take.Text) {
            const bool lineEnd = further && further->starts_with(*take.Text) &&
                                 IsLineBreak(std::string_view(*further).substr(take.Text->size()));
            if (lineEnd && (FProfile.HomeEndSelect || FProfile.DownSelect)) {
                // The row ends its line; it is written back without the line break.
                Keys(true, {K::hkLeft});
            } else {
                Keys(false, {K::hkLeft});
                take.Text.reset();
                take.Wrapped = true;
                return take;
            }
        }
    }
    if (!FProfile.SingleLine && !HasLineBreak(*take.Text)) *take.Text += '\n';
    FDesktop.ProcessEvents();
    if (FProfile.SettleDelay >= 0) FDesktop.Sleep(FProfile.SettleDelay);
    FDesktop.ProcessEvents();
    return take;
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
