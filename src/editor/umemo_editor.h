// TUMemoEditor: the editor control's decisions without its window: what typing, the editing keys,
// the clipboard commands and undo do to the line store.
#pragma once

#include "editor/clipboard.h"
#include "editor/umemo_strings.h"
#include "editor/umemo_undo.h"
#include "editor/umemo_wrap.h"

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
    void SetInsertMode(bool on) noexcept { FInsertMode = on; }
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

    // Called inside an edit where the caret has to come into view; the widget scrolls.
    std::function<void()> OnScrollCaret;

private:
    // Enter at (x, row): splits the row with the auto-indent rules and puts the caret on the new
    // row; returns the caret.
    TSelPoint SplitRow(std::int32_t row, std::int32_t x, bool shift);
    void BoxNewLine(bool shift);
    // The selected rows of a line selection give way to one empty row, where the caret goes.
    void ReplaceSelectedRows();
    void InsertText(std::string text, std::string_view selected);
    void ScrollCaret();
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
    struct TUndoPair {
        bool CanUndo = false;
        bool CanRedo = false;
    };
    TUndoPair FReported[2];
};

}  // namespace rekna
