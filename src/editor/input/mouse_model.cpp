// The mouse: hover modes, click positions, drags and double clicks.
#include "editor/input/mouse_model.h"

#include "editor/selection/word_select.h"
#include "editor/store/columns.h"
#include "editor/umemo_editor.h"

#include <algorithm>
#include <cmath>

namespace rekna {

bool OverWrapMargin(const TUMemoStrings& strings, TWordWrapType wrap, std::int32_t wrapWidth,
                    const TPointerCell& at) noexcept {
    if (wrap != TWordWrapType::wtCount || at.InLineMargin) return false;
    if (std::floor(std::clamp(at.Column, -1.0, 1e9)) != wrapWidth + 1) return false;
    return at.Row >= strings.GetCount() || strings.Width(at.Row) <= wrapWidth;
}

TMouseMode HoverMode(bool inLineMargin, bool overWrapMargin, bool shift, bool ctrl) noexcept {
    if (inLineMargin) return TMouseMode::mmLineMargin;
    if (overWrapMargin) return TMouseMode::mmWrapMargin;
    if (shift && ctrl) return TMouseMode::mmBox;
    if (shift) return TMouseMode::mmStream;
    return TMouseMode::mmNormal;
}

TSelPoint PointerPos(const TUMemoStrings& strings, const TPointerCell& at,
                     bool insertMode) noexcept {
    const std::int32_t count = strings.GetCount();
    if (count == 0) return {1, 0};
    const std::int32_t row = std::clamp(at.Row, 0, count - 1);
    const std::string& text = strings.Get(row);
    std::int32_t pos = 1;
    if (insertMode) {
        pos = strings.PosNearestX(text, at.Column);
    } else {
        const double column = std::clamp(at.Column, 1.0, 1e9);
        pos = strings.CharAtColumn(text, static_cast<std::int32_t>(column));
    }
    pos = AdjustToCharStart(text, pos);
    return {strings.TextPos(row, pos), row};
}

// --- The editor's mouse -------------------------------------------------------------------------

TMouseMode TUMemoEditor::MouseDown(const TPointerCell& at, TShiftState shift) {
    const TEditGroup group(FStrings, false);
    FTypingRun = false;
    ClosePopup();
    TUMemoStrings& s = FStrings;
    TUMemoSelection& sel = s.Selection();
    sel.Normalize(s, true);
    if (at.InLineMargin) {
        if (s.GetCount() == 0) return TMouseMode::mmLineMargin;
        const std::int32_t row = std::clamp(at.Row, 0, s.GetCount() - 1);
        const std::int32_t anchor = !shift.Shift                   ? row
                                    : sel.Mode == TSelMode::smLine ? sel.Anchor.Y
                                                                   : sel.Caret.Y;
        sel.SelectRows(s, anchor, row);
        return TMouseMode::mmLineMargin;
    }
    const TSelPoint pos = PointerPos(s, at, FInsertMode);
    if (HoverMode(false, false, shift.Shift, shift.Ctrl) == TMouseMode::mmBox) {
        sel.SetCaret(s, pos, TSelMode::smBox);
        return TMouseMode::mmBox;
    }
    sel.SetCaret(s, pos, shift.Shift ? TSelMode::smStream : TSelMode::smNone);
    return TMouseMode::mmStream;
}

void TUMemoEditor::MouseDrag(TMouseMode mode, const TPointerCell& at) {
    TUMemoStrings& s = FStrings;
    if (s.GetCount() == 0) return;
    const TEditGroup group(s, false);
    TUMemoSelection& sel = s.Selection();
    switch (mode) {
    case TMouseMode::mmLineMargin: {
        const std::int32_t anchor = sel.Mode == TSelMode::smLine ? sel.Anchor.Y : sel.Caret.Y;
        sel.SelectRows(s, anchor, std::clamp(at.Row, 0, s.GetCount() - 1));
        break;
    }
    case TMouseMode::mmStream:
        sel.SetCaret(s, PointerPos(s, at, FInsertMode), TSelMode::smStream);
        break;
    case TMouseMode::mmBox: sel.SetCaret(s, PointerPos(s, at, FInsertMode), TSelMode::smBox); break;
    case TMouseMode::mmNormal:
    case TMouseMode::mmWrapMargin: break;
    }
}

void TUMemoEditor::SelectWord(const TWordSelection& word) {
    if (word.Kind == TWordKind::wkNone) return;
    FStrings.Selection().SelectStream(FStrings, word.From, word.To);
}

void TUMemoEditor::DoubleClick(const TPointerCell& at, TShiftState shift,
                               const TCharSet* dependence) {
    FFindText.clear();
    {
        const TEditGroup group(FStrings, false);
        FTypingRun = false;
        if (shift.Ctrl) {
            SelectBracket(shift.Shift);
        } else if (!at.InLineMargin) {
            const TWordSelection word = WordAt(FStrings, at.Row, at.Column, dependence);
            SelectWord(word);
            if (word.Kind == TWordKind::wkWord || word.Kind == TWordKind::wkNumber) {
                FFindText = word.Text;
                FFindOptions = TSearchTypes{TSearchType::stWord};
                if (FFileType == TFileType::ftJScript)
                    FFindOptions.Include(TSearchType::stMatchCase);
            }
        }
    }
    if (OnSetFindText) OnSetFindText(FFindText, FFindOptions);
    if (OnHighlightChange) OnHighlightChange();
}

std::string TUMemoEditor::SelectForReconversion(const TCharSet* dependence) {
    const TEditGroup group(FStrings, false);
    TUMemoSelection& sel = FStrings.Selection();
    sel.Normalize(FStrings, true);
    if (!sel.HasSelection(FStrings)) SelectWord(WordAtCaret(FStrings, dependence));
    if (sel.Mode == TSelMode::smStream && sel.Caret < sel.Anchor) {
        std::swap(sel.Caret, sel.Anchor);
        sel.Normalize(FStrings);
    }
    return FStrings.GetSelText(false);
}

}  // namespace rekna
