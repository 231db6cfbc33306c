// TUMemoEditor: state, undo and redo, and the clipboard commands.
#include "editor/umemo_editor.h"

#include "text/str_utils.h"

#include <memory>

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

void TUMemoEditor::ScrollCaret() {
    if (OnScrollCaret) OnScrollCaret();
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
