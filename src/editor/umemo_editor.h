// TUMemoEditor: the editor control's decisions without its window: what typing, the keys, the
// mouse, the clipboard commands and undo do to the line store, and the notifications that follow.
#pragma once

#include "editor/commands/find_match.h"
#include "editor/input/caret_moves.h"
#include "editor/input/completion_popup.h"
#include "editor/input/key_commands.h"
#include "editor/input/mouse_model.h"
#include "editor/paint/char_kind.h"
#include "editor/paint/ruled_lines.h"
#include "editor/selection/word_select.h"
#include "editor/store/umemo_strings.h"
#include "editor/store/umemo_wrap.h"
#include "editor/undo/umemo_undo.h"
#include "platform/clipboard.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace rekna {

// The character Tab inserts in front of every selected row.
enum class TTabIndentChar : std::uint8_t { tcSpace, tcTab };

// The two moments of the control's notification sequence at which it reports undo state.
enum class TUndoReport : std::uint8_t { urBeforePaint, urAfterPaint };

// Owns the line store, its undo lists and the wrap modes; the widget translates events into these
// calls and paints what the store holds. Every editing command runs as one edit group with view
// records (one undo step) and does nothing on a read-only editor.
class TUMemoEditor {
public:
    TUMemoEditor();
    TUMemoEditor(const TUMemoEditor&) = delete;
    TUMemoEditor& operator=(const TUMemoEditor&) = delete;
    ~TUMemoEditor() = default;

    // The store's recorder is the editor's undo history: it must not be replaced.
    [[nodiscard]] TUMemoStrings& Strings() noexcept { return FStrings; }
    [[nodiscard]] const TUMemoStrings& Strings() const noexcept { return FStrings; }
    [[nodiscard]] TUMemoWrap& Wrap() noexcept { return FWrap; }
    [[nodiscard]] const TUMemoUndo& History() const noexcept { return *FUndo; }

    // The clipboard is not owned; without one, copying and pasting do nothing.
    void SetClipboard(TClipboard* clipboard) noexcept { FClipboard = clipboard; }

    // --- State.
    [[nodiscard]] bool ReadOnly() const noexcept { return FReadOnly; }
    // While read-only nothing is recorded (the undo and redo lists are emptied).
    void SetReadOnly(bool readOnly);
    [[nodiscard]] bool InsertMode() const noexcept { return FInsertMode; }
    // Fires OnStatusChange when the mode changes.
    void SetInsertMode(bool on);
    void ToggleInsertMode() { SetInsertMode(!FInsertMode); }
    // The pane's syntax: it decides when the completion popup opens and how a double-clicked word
    // is matched.
    [[nodiscard]] TFileType FileType() const noexcept { return FFileType; }
    void SetFileType(TFileType type) noexcept { FFileType = type; }
    // Completion popup allowed.
    [[nodiscard]] bool InputAssist() const noexcept { return FInputAssist; }
    void SetInputAssist(bool on) noexcept { FInputAssist = on; }
    [[nodiscard]] TTabIndentChar TabIndentChar() const noexcept { return FTabIndentChar; }
    void SetTabIndentChar(TTabIndentChar c) noexcept { FTabIndentChar = c; }
    // On right after a character was typed, Enter or Delete; caret moves and scrolling end it.
    [[nodiscard]] bool TypingRun() const noexcept { return FTypingRun; }
    void EndTypingRun() noexcept { FTypingRun = false; }

    // --- Undo.
    bool Undo();
    bool Redo();
    [[nodiscard]] bool CanUndo() const noexcept { return !FReadOnly && FUndo->CanUndo(); }
    [[nodiscard]] bool CanRedo() const noexcept { return !FReadOnly && FUndo->CanRedo(); }
    // Empties the undo list; the host calls it when it saved or replaced the document.
    void ClearUndo();
    // Unsaved changes: exactly while the undo list holds items.
    [[nodiscard]] bool Modified() const noexcept { return FUndo->CanUndo(); }
    // Called by the widget at both moments of its notification sequence: fires OnUndoChange
    // (before the repaint) or OnUndoChanged (after it) when CanUndo or CanRedo differ from what
    // that event last reported.
    void ReportUndoState(TUndoReport moment);
    std::function<void(bool canUndo, bool canRedo)> OnUndoChange;
    std::function<void(bool canUndo, bool canRedo)> OnUndoChanged;

    // --- Selection and clipboard.
    [[nodiscard]] std::string GetSelText(bool raw) const { return FStrings.GetSelText(raw); }
    // Puts the selected text on the clipboard unless it is empty; raw is the formatted copy.
    void Copy(bool raw);
    // Copy and delete; a read-only editor only copies.
    void Cut();
    void DeleteSel();
    void Paste();
    // Every pasted line gets ">" in front.
    void QuotedPaste();
    // The text is made calculable first (full-width formulas, kanji numerals), then quoted.
    void CalcPaste();
    // Pastes the lines into a column: the rows of the box, or the rows from the caret down.
    void BoxPaste();
    // Line ends are normalised to CR LF; with convert the calc conversions apply; a prefix goes in
    // front of every line (not after a final line break). With select the pasted text ends up
    // selected (as rows when rows were selected).
    void InsertClipText(std::string_view text, bool select, bool convert, std::string_view prefix);
    // DeleteSelection and PasteText without an edit group of its own (the host opens one).
    void ReplaceSel(std::string_view text);
    void SelectAll();

    // --- Typing and the editing keys.
    // Typed text at the caret, or into every row of a box; text with a line break is pasted.
    void InsertAtCaret(std::string_view t);
    // Enter; shift suppresses the copied indentation.
    void NewLine(bool shift);
    // Backspace; shift suppresses the return to the previous indentation level.
    void BackSpace(bool shift);
    // Delete; toRowEnd (Shift+Ctrl) cuts the row off at the caret.
    void DeleteChar(bool toRowEnd);
    // Tab: typed without a selection or with a box, else indents (unindents with shift) the
    // selected rows.
    void TabKey(bool shift);

    // --- Caret movement and the view.
    // Moves the caret and leaves the selection in mode (smNone drops it); the indent rules apply
    // unless ignoreIndent (Ctrl). Page moves scroll the view by the same rows.
    void MoveCaret(TCaretMove move, TSelMode mode, bool ignoreIndent);
    // The rows a page move covers: page rows less the top and bottom margins.
    [[nodiscard]] std::int32_t PageStep() const noexcept;
    // Whole rows and columns the view shows; the widget sets them whenever its size changes.
    void SetViewSize(std::int32_t rows, std::int32_t cols) noexcept;
    [[nodiscard]] TViewPage ViewPage() const noexcept;
    [[nodiscard]] const TScrollMargins& ScrollMargins() const noexcept { return FMargins; }
    void SetScrollMargins(const TScrollMargins& margins) noexcept;
    // The scrollable width in columns: the wrap column (+2 with BanBreak) or the widest row, plus
    // 2 while editable and not wrapping at the window edge.
    [[nodiscard]] std::int32_t ScrollWidth() const noexcept;
    // Brings the caret inside the scroll margins (inside the current edit group, if any).
    void ScrollCaretIntoView();
    // The user scrolls: the view moves (clamped to the scrollable extent) in an edit group of its
    // own, the caret stays, the typing run ends and an open popup closes.
    void ScrollView(TViewOrigin origin);
    void ScrollRows(std::int32_t delta);

    // --- Keys. KeyDown and TypeChar decide with KeyDownAction and CharAction and perform the
    // result; false when the key is not the control's (the host may take it).
    bool KeyDown(TKey key, TShiftState shift);
    // code is the character code; text the CP932 bytes typed for it (code 32 and above).
    bool TypeChar(std::uint32_t code, std::string_view text, TShiftState shift, bool composing);
    // Performs an action; false for kcNone. kcEscape is Escape().
    bool Perform(const TKeyAction& action, std::string_view text = {});
    // Esc: closes an open popup, else drops the selection, else clears the find text (firing
    // OnSetFindText with the empty text).
    void Escape();
    // Alt and Shift+Alt with an arrow: draws or erases a ruled line through the caret's cell and
    // the next one that way, and moves the caret there. One undo step; AutoIndent is off meanwhile.
    void Ruled(TRuleDirection direction, bool draw);

    // --- Brackets: the innermost pair around the caret within its logical line.
    // Selects its contents, or with withBrackets the pair itself; false without a pair.
    bool SelectBracket(bool withBrackets);
    // The caret goes in front of the opening bracket, or behind the closing one.
    bool JumpToBracket(bool toClose);
    // Removes the two bracket characters (one undo step).
    bool DeleteBrackets();

    // --- Mouse. Each runs in an edit group of its own.
    // A left button press; returns the mode the drag goes on in (mmLineMargin, mmStream, mmBox).
    // The caller has checked the wrap margin.
    TMouseMode MouseDown(const TPointerCell& at, TShiftState shift);
    // The button is held and the pointer at `at`: the selection of the drag mode follows.
    void MouseDrag(TMouseMode mode, const TPointerCell& at);
    // A double click: clears the find text; with Ctrl selects the innermost bracket contents
    // around the caret (with Shift the brackets too), else the word, number or bracket range under
    // the pointer, whose text becomes the find text for a word or a number. OnSetFindText fires.
    void DoubleClick(const TPointerCell& at, TShiftState shift, const TCharSet* dependence);
    // The input method asks to reconvert: without a selection the word at the caret is selected
    // (the find text stays), and the anchor is put before the caret. Returns the selected text.
    std::string SelectForReconversion(const TCharSet* dependence);

    // --- Find highlight: the text every occurrence of which is shown.
    [[nodiscard]] const std::string& FindText() const noexcept { return FFindText; }
    [[nodiscard]] TSearchTypes FindOptions() const noexcept { return FFindOptions; }
    // The host shows another pane's highlight: the text is taken, stWord is added to the options
    // when given, the other options stay. Fires nothing but OnHighlightChange.
    void SetFindText(std::string_view text, TSearchTypes options);
    // Finding and double-clicking set text and options together.
    void SetFindState(std::string_view text, TSearchTypes options);
    // The view repaints its highlight.
    std::function<void()> OnHighlightChange;

    // --- Completion popup: not owned; without one it counts as closed.
    void SetCompletion(TCompletionPopup* popup) noexcept { FCompletion = popup; }
    [[nodiscard]] bool PopupOpen() const { return FCompletion != nullptr && FCompletion->IsOpen(); }
    // Closes an open popup without accepting.
    void ClosePopup();

    // The number a text stands for in value sorting: a plain decimal number (0 when it is not
    // one), which OnStrToExtended may replace.
    [[nodiscard]] long double StrToExtended(std::string_view text) const;

    // --- Notifications, run by the widget at the end of every outermost edit group and batch
    // update, repaint being its repaint of what changed. For an edit, in this order: OnChange,
    // OnUndoChange, OnMoveCaretRow or OnMoveCaretCol, OnSelect or OnDisSelect, OnVScroll or
    // OnHScroll; the repaint; OnChanged, OnUndoChanged, OnMovedCaretRow or OnMovedCaretCol,
    // OnSelected or OnDisSelected, OnVScrolled or OnHScrolled. After a batch the same without
    // OnChange, the moved-caret and the scrolled events. Each event compares with what it last
    // reported.
    void Notify(TEditEnd end, const std::function<void()>& repaint);
    std::function<void()> OnChange;
    std::function<void()> OnChanged;
    std::function<void()> OnMoveCaretRow;
    std::function<void()> OnMoveCaretCol;
    std::function<void()> OnMovedCaretRow;
    std::function<void()> OnMovedCaretCol;
    std::function<void()> OnSelect;
    std::function<void()> OnDisSelect;
    std::function<void()> OnSelected;
    std::function<void()> OnDisSelected;
    std::function<void()> OnVScroll;
    std::function<void()> OnHScroll;
    std::function<void()> OnVScrolled;
    std::function<void()> OnHScrolled;
    // The insert mode toggled.
    std::function<void()> OnStatusChange;
    // Enter is about to make a new line.
    std::function<void()> OnAddCrLf;
    // A double click or Esc changed the find text.
    std::function<void(std::string_view text, TSearchTypes options)> OnSetFindText;
    std::function<void(std::string_view text, long double& value)> OnStrToExtended;

private:
    // Enter at (x, row): splits the row with the auto-indent rules and puts the caret on the new
    // row; returns the caret.
    TSelPoint SplitRow(std::int32_t row, std::int32_t x, bool shift);
    void BoxNewLine(bool shift);
    // The selected rows of a line selection give way to one empty row, where the caret goes.
    void ReplaceSelectedRows();
    void InsertText(std::string text, std::string_view selected);
    void ScrollCaret() { ScrollCaretIntoView(); }
    // Typing "." after a letter in a script opens the popup for members.
    void MaybeOpenMembers(std::string_view typed);
    void OpenPopup();
    void RefillPopup();
    [[nodiscard]] std::int32_t MaxTopRow() const noexcept;
    // The bracket pair around the caret, as row positions; false without one.
    bool CaretBracket(TSelPoint& open, TSelPoint& close, std::int32_t& openBytes,
                      std::int32_t& closeBytes) const;
    void SelectWord(const TWordSelection& word);
    [[nodiscard]] bool IndentRule(TAutoIndentType type) const noexcept;
    [[nodiscard]] std::optional<std::string> ClipboardText() const;

    TUMemoStrings FStrings;
    TUMemoWrap FWrap;
    TUMemoUndo* FUndo = nullptr;  // owned by FStrings
    TClipboard* FClipboard = nullptr;
    bool FReadOnly = false;
    bool FInsertMode = true;
    bool FTypingRun = false;
    TTabIndentChar FTabIndentChar = TTabIndentChar::tcSpace;
    TFileType FFileType = TFileType::ftRekna;
    bool FInputAssist = true;
    TCompletionPopup* FCompletion = nullptr;
    std::string FFindText;
    TSearchTypes FFindOptions;
    TScrollMargins FMargins;
    std::int32_t FViewRows = 1;
    std::int32_t FViewCols = 1;
    // What each notification last reported.
    struct TNotified {
        TSelPoint Caret;
        TSelMode Mode = TSelMode::smNone;
        std::int32_t TopRow = 0;
        std::int32_t LeftCol = 1;
    };
    TNotified FBefore;
    TNotified FAfter;
    struct TUndoPair {
        bool CanUndo = false;
        bool CanRedo = false;
    };
    TUndoPair FReported[2];
};

}  // namespace rekna
