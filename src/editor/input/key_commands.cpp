// The key and character bindings of the editor control, and the editor performing them.
#include "editor/input/key_commands.h"

#include "editor/store/columns.h"
#include "editor/umemo_editor.h"

namespace rekna {
namespace {

[[nodiscard]] constexpr TKeyAction Command(TKeyCommand c) noexcept {
    TKeyAction a;
    a.Command = c;
    return a;
}

// A caret move whose selection mode follows Shift and Shift+Ctrl; Ctrl alone ignores the indent
// rules.
[[nodiscard]] constexpr TKeyAction Move(TCaretMove move, TShiftState shift) noexcept {
    TKeyAction a = Command(TKeyCommand::kcMove);
    a.Move = move;
    a.Mode = TUMemoSelection::ModeForShift(shift.Shift, shift.Ctrl);
    a.IgnoreIndent = shift.Ctrl;
    return a;
}

[[nodiscard]] constexpr TKeyAction Rule(TRuleDirection d, bool draw) noexcept {
    TKeyAction a = Command(TKeyCommand::kcRuled);
    a.Direction = d;
    a.Draw = draw;
    return a;
}

[[nodiscard]] constexpr TKeyAction WithShift(TKeyCommand c, bool shift) noexcept {
    TKeyAction a = Command(c);
    a.Shift = shift;
    return a;
}

[[nodiscard]] constexpr TKeyAction Refilling(TKeyAction a) noexcept {
    a.RefillPopup = true;
    return a;
}

// The arrows: moves, with Alt ruled lines (Shift+Alt erasing).
[[nodiscard]] TKeyAction ArrowAction(TKey key, TShiftState shift, bool popupOpen) noexcept {
    const bool vertical = key == TKey::kyUp || key == TKey::kyDown;
    const TRuleDirection dir = key == TKey::kyLeft    ? TRuleDirection::rdLeft
                               : key == TKey::kyRight ? TRuleDirection::rdRight
                               : key == TKey::kyUp    ? TRuleDirection::rdUp
                                                      : TRuleDirection::rdDown;
    if (shift.Alt) {
        if (shift.Ctrl) return {};
        return Rule(dir, !shift.Shift);
    }
    if (vertical && popupOpen)
        return Command(key == TKey::kyUp ? TKeyCommand::kcPopupPrevious : TKeyCommand::kcPopupNext);
    if (vertical && shift.Ctrl && !shift.Shift)
        return Command(key == TKey::kyUp ? TKeyCommand::kcScrollUp : TKeyCommand::kcScrollDown);
    const TCaretMove move = key == TKey::kyLeft    ? TCaretMove::mvLeft
                            : key == TKey::kyRight ? TCaretMove::mvRight
                            : key == TKey::kyUp    ? TCaretMove::mvUp
                                                   : TCaretMove::mvDown;
    TKeyAction a = Move(move, shift);
    a.RefillPopup = !vertical;
    return a;
}

}  // namespace

TKeyAction KeyDownAction(TKey key, TShiftState shift, bool popupOpen) noexcept {
    const bool plain = !shift.Shift && !shift.Ctrl && !shift.Alt;
    switch (key) {
    case TKey::kyLeft:
    case TKey::kyRight:
    case TKey::kyUp:
    case TKey::kyDown: return ArrowAction(key, shift, popupOpen);
    case TKey::kyHome:
    case TKey::kyEnd:
    case TKey::kyPageUp:
    case TKey::kyPageDown: {
        if (popupOpen) return Command(TKeyCommand::kcClosePopup);
        if (shift.Alt) return {};
        TCaretMove move = TCaretMove::mvPageDown;
        if (key == TKey::kyHome) move = shift.Ctrl ? TCaretMove::mvDocStart : TCaretMove::mvHome;
        if (key == TKey::kyEnd) move = shift.Ctrl ? TCaretMove::mvDocEnd : TCaretMove::mvEnd;
        if (key == TKey::kyPageUp) move = TCaretMove::mvPageUp;
        return Move(move, shift);
    }
    case TKey::kyInsert:
        if (shift.Alt || (shift.Shift && shift.Ctrl)) return {};
        if (shift.Shift) return Command(TKeyCommand::kcPaste);
        if (shift.Ctrl) return Command(TKeyCommand::kcCopy);
        return Command(TKeyCommand::kcToggleInsert);
    case TKey::kyDelete:
        if (shift.Alt)
            return shift.Shift || shift.Ctrl ? TKeyAction{} : Command(TKeyCommand::kcUndo);
        if (shift.Shift && shift.Ctrl) return Command(TKeyCommand::kcDeleteToRowEnd);
        if (shift.Shift || shift.Ctrl) return Command(TKeyCommand::kcCut);
        return Command(TKeyCommand::kcDeleteChar);
    case TKey::kyBackspace:
        if (shift.Alt && !shift.Shift && !shift.Ctrl) return Command(TKeyCommand::kcUndo);
        return {};
    case TKey::kyClear:
        if (popupOpen) return Command(TKeyCommand::kcClosePopup);
        return plain ? Command(TKeyCommand::kcToggleInsert) : TKeyAction{};
    case TKey::kyNone: break;
    }
    return {};
}

TKeyAction CharAction(std::uint32_t code, TShiftState shift, bool popupOpen, bool composing,
                      bool readOnly) noexcept {
    if (code == CtrlCode('A')) return Command(TKeyCommand::kcSelectAll);
    if (code == CtrlCode('C'))
        return Command(shift.Shift ? TKeyCommand::kcFormattedCopy : TKeyCommand::kcCopy);
    if (code == kCharEscape) return Command(TKeyCommand::kcEscape);
    if (readOnly) return Command(TKeyCommand::kcSwallow);
    switch (code) {
    case kCharBackspace:
        if (shift.Alt) return Command(TKeyCommand::kcUndo);
        return Refilling(WithShift(TKeyCommand::kcBackSpace, shift.Shift));
    case kCharTab:
        if (popupOpen) return Command(TKeyCommand::kcAcceptPopup);
        return WithShift(TKeyCommand::kcTab, shift.Shift);
    case kCharReturn:
    case kCharLineFeed:
        if (popupOpen) return Command(TKeyCommand::kcAcceptPopup);
        return WithShift(TKeyCommand::kcNewLine, shift.Shift);
    case CtrlCode('V'): return Command(TKeyCommand::kcPaste);
    case CtrlCode('X'): return Command(TKeyCommand::kcCut);
    case CtrlCode('Y'): return Command(TKeyCommand::kcRedo);
    case CtrlCode('Z'): return Command(shift.Shift ? TKeyCommand::kcRedo : TKeyCommand::kcUndo);
    default: break;
    }
    if (code == kCharSpace && (shift.Ctrl || popupOpen))
        return Command(popupOpen ? TKeyCommand::kcClosePopup : TKeyCommand::kcOpenPopup);
    if (code < kCharSpace || shift.Ctrl)
        return composing ? TKeyAction{} : Command(TKeyCommand::kcSwallow);
    return Refilling(Command(TKeyCommand::kcType));
}

// --- The editor ---------------------------------------------------------------------------------

bool TUMemoEditor::KeyDown(TKey key, TShiftState shift) {
    return Perform(KeyDownAction(key, shift, PopupOpen()));
}

bool TUMemoEditor::TypeChar(std::uint32_t code, std::string_view text, TShiftState shift,
                            bool composing) {
    return Perform(CharAction(code, shift, PopupOpen(), composing, FReadOnly), text);
}

bool TUMemoEditor::Perform(const TKeyAction& a, std::string_view text) {
    const bool popupWasOpen = PopupOpen();
    switch (a.Command) {
    case TKeyCommand::kcNone: return false;
    case TKeyCommand::kcMove: MoveCaret(a.Move, a.Mode, a.IgnoreIndent); break;
    case TKeyCommand::kcScrollUp: ScrollRows(-1); break;
    case TKeyCommand::kcScrollDown: ScrollRows(1); break;
    case TKeyCommand::kcRuled: Ruled(a.Direction, a.Draw); break;
    case TKeyCommand::kcToggleInsert: ToggleInsertMode(); break;
    case TKeyCommand::kcPaste: Paste(); break;
    case TKeyCommand::kcCopy: Copy(false); break;
    case TKeyCommand::kcFormattedCopy: Copy(true); break;
    case TKeyCommand::kcCut: Cut(); break;
    case TKeyCommand::kcDeleteChar: DeleteChar(false); break;
    case TKeyCommand::kcDeleteToRowEnd: DeleteChar(true); break;
    case TKeyCommand::kcUndo: Undo(); break;
    case TKeyCommand::kcRedo: Redo(); break;
    case TKeyCommand::kcSelectAll: SelectAll(); break;
    case TKeyCommand::kcEscape: Escape(); break;
    case TKeyCommand::kcBackSpace: BackSpace(a.Shift); break;
    case TKeyCommand::kcTab: TabKey(a.Shift); break;
    case TKeyCommand::kcNewLine:
        if (!FReadOnly && OnAddCrLf) OnAddCrLf();
        NewLine(a.Shift);
        break;
    case TKeyCommand::kcType:
        InsertAtCaret(text);
        if (!popupWasOpen) MaybeOpenMembers(text);
        break;
    case TKeyCommand::kcOpenPopup: OpenPopup(); break;
    case TKeyCommand::kcClosePopup: ClosePopup(); break;
    case TKeyCommand::kcAcceptPopup:
        if (FCompletion != nullptr) FCompletion->Close(true);
        break;
    case TKeyCommand::kcPopupPrevious:
    case TKeyCommand::kcPopupNext:
        if (FCompletion != nullptr)
            FCompletion->MoveSelection(a.Command == TKeyCommand::kcPopupPrevious ? -1 : 1);
        break;
    case TKeyCommand::kcSwallow: break;
    }
    if (a.RefillPopup && popupWasOpen) RefillPopup();
    return true;
}

void TUMemoEditor::Escape() {
    if (PopupOpen()) {
        ClosePopup();
        return;
    }
    TUMemoSelection& sel = FStrings.Selection();
    if (sel.Mode != TSelMode::smNone) {
        // Dropping a selection changes no text: it is not an undo step, which would mark the
        // document modified.
        const TEditGroup group(FStrings, false);
        sel.Clear();
        sel.Normalize(FStrings);
        return;
    }
    SetFindState({}, FFindOptions);
    if (OnSetFindText) OnSetFindText(FFindText, FFindOptions);
}

// --- Completion popup
// -----------------------------------------------------------------------------

void TUMemoEditor::OpenPopup() {
    if (FCompletion == nullptr || !FInputAssist || FReadOnly || FCompletion->IsOpen()) return;
    if (FFileType != TFileType::ftRekna && FFileType != TFileType::ftVBScript &&
        FFileType != TFileType::ftJScript)
        return;
    FCompletion->Open(false);
}

void TUMemoEditor::ClosePopup() {
    if (FCompletion != nullptr && FCompletion->IsOpen()) FCompletion->Close(false);
}

void TUMemoEditor::RefillPopup() {
    if (PopupOpen()) FCompletion->Refill();
}

void TUMemoEditor::MaybeOpenMembers(std::string_view typed) {
    if (typed != "." || FCompletion == nullptr || !FInputAssist || FReadOnly ||
        FCompletion->IsOpen())
        return;
    if (FFileType != TFileType::ftVBScript && FFileType != TFileType::ftJScript) return;
    const TSelPoint caret = FStrings.Selection().Caret;
    const std::string& text = FStrings.Get(caret.Y);
    // The caret stands behind the '.'; the character before it must be an ASCII letter (not the
    // second byte of a double-byte character).
    const std::int32_t before = caret.X - 2;
    if (before < 1 || static_cast<std::size_t>(before) >= text.size()) return;
    if (AdjustToCharStart(text, before) != before) return;
    const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(before - 1)]);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) FCompletion->Open(true);
}

}  // namespace rekna
