// RewriteSelection: take the selected text, transform it, put it back as one undo step.
#include "editor/commands/rewrite_selection.h"

#include "editor/umemo_editor.h"

namespace rekna {

TAutoIndentOff::TAutoIndentOff(TUMemoStrings& strings, bool active)
    : FStrings(strings), FActive(active), FWas(strings.AutoIndent()) {
    if (FActive) FStrings.SetAutoIndent(false);
}

TAutoIndentOff::~TAutoIndentOff() {
    if (FActive) FStrings.SetAutoIndent(FWas);
}

TInputConversionsOff::TInputConversionsOff(TUMemoStrings& strings)
    : FStrings(strings), FKana(strings.DoubleKana()), FDiv(strings.DoubleDiv()),
      FMul(strings.DoubleMul()) {
    FStrings.SetDoubleKana(false);
    FStrings.SetDoubleDiv(false);
    FStrings.SetDoubleMul(false);
}

TInputConversionsOff::~TInputConversionsOff() {
    FStrings.SetDoubleKana(FKana);
    FStrings.SetDoubleDiv(FDiv);
    FStrings.SetDoubleMul(FMul);
}

void SelectLogicalLines(TUMemoStrings& s) {
    TUMemoSelection& sel = s.Selection();
    const bool has = sel.HasSelection(s);
    const TSelPoint a = has ? sel.Start() : sel.Caret;
    const TSelPoint b = has ? sel.End() : sel.Caret;
    std::int32_t endRow = b.Y;
    if (has && sel.Mode == TSelMode::smStream && b.X <= 1 && b.Y > a.Y && !s.Continued(b.Y - 1))
        --endRow;
    sel.SelectRows(s, s.FirstRowOfLine(a.Y), s.LastRowOfLine(endRow));
}

bool RewriteSelection(TUMemoEditor& editor, const TRewrite& transform, const TRewriteOptions& o) {
    if (editor.ReadOnly()) return false;
    TUMemoStrings& s = editor.Strings();
    if (s.GetCount() == 0) return false;
    TUMemoSelection& sel = s.Selection();
    const bool has = sel.HasSelection(s);
    if (!has && !o.CaretLineIfNone) return false;
    const bool box = has && sel.IsBoxSelection(s);
    const bool toLines = !has || o.Rows == TRewriteRows::rrLines ||
                         (o.Rows == TRewriteRows::rrLinesUnlessBox && !box);
    TRewriteContext ctx;
    ctx.Box = box && !toLines;
    ctx.TabStops = s.TabStops();
    ctx.WrapColumns = s.WrapColumns();
    ctx.MaxWidth = s.MaxWidth();
    if (o.OnlyWhenChanged) {
        // Looked at before anything is recorded.
        const std::string before = (has && !toLines) ? s.GetSelText(false) : s.GetLine(sel.Caret.Y);
        if (transform(before, ctx) == before) return false;
    }
    const TEditGroup group(s, true);
    const TAutoIndentOff indent(s, o.AutoIndentOff);
    const TInputConversionsOff conversions(s);
    if (toLines) SelectLogicalLines(s);
    const std::string text = s.GetSelText(false);
    std::string result = transform(text, ctx);
    if (o.EndFix && !text.empty() && text.back() == '\n') result += "\r\n";
    const bool rows = sel.Mode == TSelMode::smLine;
    const std::int32_t first = sel.Start().Y;
    s.DeleteSelection();
    if (rows) sel.SetMode(s, TSelMode::smLine);
    s.PasteText(result, o.SelectResult, false);
    if (!o.SelectResult) sel.SetCaret(s, {1, first}, TSelMode::smNone);
    editor.ScrollCaretIntoView();
    return true;
}

bool RewriteSelection(TUMemoEditor& editor, std::string (*transform)(std::string_view),
                      const TRewriteOptions& options) {
    return RewriteSelection(
        editor, [transform](std::string_view t, const TRewriteContext&) { return transform(t); },
        options);
}

}  // namespace rekna
