// TUMemoEditor: state, undo and redo, and the clipboard commands.
#include "editor/umemo_editor.h"

#include "text/str_utils.h"

#include <charconv>
#include <memory>
#include <system_error>

namespace rekna {
namespace {

// CR LF, a lone CR and a lone LF all become CR LF: text from other programs on this platform
// often breaks its lines with LF alone.
[[nodiscard]] std::string CrLfLines(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

// prefix in front of every line of a CR LF text; a final line break starts no line of its own.
[[nodiscard]] std::string PrefixLines(std::string_view text, std::string_view prefix) {
    std::string out(prefix);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\n' && i + 1 < text.size()) out += prefix;
    }
    return out;
}

}  // namespace

TUMemoEditor::TUMemoEditor() : FWrap(FStrings) {
    auto undo = std::make_unique<TUMemoUndo>(FStrings);
    FUndo = undo.get();
    FUndo->OnWrapRestored = [this](std::int32_t columns) { FWrap.AdoptRestoredWidth(columns); };
    FStrings.SetRecorder(std::move(undo));
}

void TUMemoEditor::SetReadOnly(bool readOnly) {
    FReadOnly = readOnly;
    FUndo->SetUndoEnabled(!readOnly);
}

bool TUMemoEditor::IndentRule(TAutoIndentType type) const noexcept {
    return FStrings.AutoIndent() && FStrings.AutoIndentTypes().Contains(type);
}

void TUMemoEditor::SetInsertMode(bool on) {
    if (on == FInsertMode) return;
    FInsertMode = on;
    if (OnStatusChange) OnStatusChange();
}

void TUMemoEditor::SetFindText(std::string_view text, TSearchTypes options) {
    FFindText.assign(text);
    if (options.Contains(TSearchType::stWord)) FFindOptions.Include(TSearchType::stWord);
    if (OnHighlightChange) OnHighlightChange();
}

void TUMemoEditor::SetFindState(std::string_view text, TSearchTypes options) {
    FFindText.assign(text);
    FFindOptions = options;
    if (OnHighlightChange) OnHighlightChange();
}

long double TUMemoEditor::StrToExtended(std::string_view text) const {
    long double value = 0;
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    std::string_view digits = text.substr(b, e - b);
    bool negative = false;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    // Plain decimal notation only, whatever the locale says.
    const bool plain = !digits.empty() && digits[0] != '+' && digits[0] != '-' &&
                       digits.find_first_not_of("0123456789.eE+-") == std::string_view::npos;
    if (plain) {
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                               std::chars_format::general);
        if (ec != std::errc() || end != digits.data() + digits.size()) value = 0;
        if (negative) value = -value;
    }
    if (OnStrToExtended) OnStrToExtended(text, value);
    return value;
}

// --- Notifications ----------------------------------------------------------------------------

void TUMemoEditor::Notify(TEditEnd end, const std::function<void()>& repaint) {
    const bool edit = end == TEditEnd::eeEdit;
    const TUMemoSelection& sel = FStrings.Selection();
    const TNotified now{sel.Caret, sel.Mode, FStrings.TopRow(), FStrings.LeftCol()};
    const bool selected = sel.HasSelection(FStrings);
    const bool changed = FStrings.IsChanged();
    FStrings.ClearChanged();
    const auto fire = [](const std::function<void()>& event) {
        if (event) event();
    };

    if (edit && changed) fire(OnChange);
    ReportUndoState(TUndoReport::urBeforePaint);
    if (now.Caret.Y != FBefore.Caret.Y)
        fire(OnMoveCaretRow);
    else if (now.Caret != FBefore.Caret)
        fire(OnMoveCaretCol);
    if (now.Mode != FBefore.Mode) fire(selected ? OnSelect : OnDisSelect);
    if (now.TopRow != FBefore.TopRow)
        fire(OnVScroll);
    else if (now.LeftCol != FBefore.LeftCol)
        fire(OnHScroll);
    FBefore = now;

    if (repaint) repaint();

    if (changed) fire(OnChanged);
    ReportUndoState(TUndoReport::urAfterPaint);
    if (edit) {
        if (now.Caret.Y != FAfter.Caret.Y)
            fire(OnMovedCaretRow);
        else if (now.Caret != FAfter.Caret)
            fire(OnMovedCaretCol);
        FAfter.Caret = now.Caret;
    }
    if (now.Mode != FAfter.Mode) fire(selected ? OnSelected : OnDisSelected);
    FAfter.Mode = now.Mode;
    if (edit) {
        if (now.TopRow != FAfter.TopRow)
            fire(OnVScrolled);
        else if (now.LeftCol != FAfter.LeftCol)
            fire(OnHScrolled);
        FAfter.TopRow = now.TopRow;
        FAfter.LeftCol = now.LeftCol;
    }
}

// --- Undo -------------------------------------------------------------------------------------

bool TUMemoEditor::Undo() {
    if (FReadOnly) return false;
    return FUndo->Undo();
}

bool TUMemoEditor::Redo() {
    if (FReadOnly) return false;
    return FUndo->Redo();
}

void TUMemoEditor::ClearUndo() {
    FUndo->ClearUndo();
    ReportUndoState(TUndoReport::urBeforePaint);
}

void TUMemoEditor::ReportUndoState(TUndoReport moment) {
    const TUndoPair now{CanUndo(), CanRedo()};
    TUndoPair& last = FReported[static_cast<std::size_t>(moment)];
    if (now.CanUndo == last.CanUndo && now.CanRedo == last.CanRedo) return;
    last = now;
    const auto& event = moment == TUndoReport::urBeforePaint ? OnUndoChange : OnUndoChanged;
    if (event) event(now.CanUndo, now.CanRedo);
}

// --- Clipboard --------------------------------------------------------------------------------

std::optional<std::string> TUMemoEditor::ClipboardText() const {
    if (FClipboard == nullptr) return std::nullopt;
    return FClipboard->GetText();
}

void TUMemoEditor::Copy(bool raw) {
    // A zero-width box is a caret, not a selection: it would copy nothing but line breaks.
    if (FClipboard == nullptr || !FStrings.Selection().HasSelection(FStrings)) return;
    const std::string text = FStrings.GetSelText(raw);
    if (!text.empty()) FClipboard->SetText(text);
}

void TUMemoEditor::Cut() {
    if (FReadOnly) {
        Copy(false);
        return;
    }
    if (!FStrings.Selection().HasSelection(FStrings)) return;
    const TEditGroup group(FStrings, true);
    Copy(false);
    FStrings.DeleteSelection();
    ScrollCaret();
}

void TUMemoEditor::DeleteSel() {
    if (FReadOnly || !FStrings.Selection().HasSelection(FStrings)) return;
    const TEditGroup group(FStrings, true);
    FStrings.DeleteSelection();
    ScrollCaret();
}

void TUMemoEditor::Paste() {
    if (FReadOnly) return;
    if (const auto text = ClipboardText()) InsertClipText(*text, false, false, {});
}

void TUMemoEditor::QuotedPaste() {
    if (FReadOnly) return;
    if (const auto text = ClipboardText()) InsertClipText(*text, false, false, ">");
}

void TUMemoEditor::CalcPaste() {
    if (FReadOnly) return;
    if (const auto text = ClipboardText()) InsertClipText(*text, false, true, ">");
}

void TUMemoEditor::BoxPaste() {
    if (FReadOnly) return;
    const auto text = ClipboardText();
    if (!text) return;
    const TEditGroup group(FStrings, true);
    FStrings.DeleteSelection();
    FStrings.PasteText(CrLfLines(*text), false, true);
    ScrollCaret();
}

void TUMemoEditor::InsertClipText(std::string_view text, bool select, bool convert,
                                  std::string_view prefix) {
    if (FReadOnly) return;
    const TEditGroup group(FStrings, true);
    std::string t = CrLfLines(text);
    if (convert) t = FormulaToCalcText(t);
    if (!prefix.empty()) t = PrefixLines(t, prefix);
    TUMemoSelection& sel = FStrings.Selection();
    const bool rows = select && sel.Mode == TSelMode::smLine;
    FStrings.DeleteSelection();
    if (rows) sel.SetMode(FStrings, TSelMode::smLine);
    FStrings.PasteText(t, select, false);
    ScrollCaret();
}

void TUMemoEditor::ReplaceSel(std::string_view text) {
    if (FReadOnly) return;
    FStrings.DeleteSelection();
    FStrings.PasteText(text, false, false);
}

void TUMemoEditor::SelectAll() {
    const TEditGroup group(FStrings, false);
    FStrings.SelectAll();
    ScrollCaret();
}

}  // namespace rekna
