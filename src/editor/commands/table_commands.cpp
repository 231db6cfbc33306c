// The table commands: the selected text read as a table and written back.
#include "editor/commands/table_commands.h"

#include "editor/commands/rewrite_selection.h"
#include "editor/umemo_editor.h"
#include "platform/clipboard.h"

namespace rekna {

namespace {

constexpr TRewriteOptions kTable{TRewriteRows::rrAsSelected, false, false, false, true, true};

// The columns padded by the mode; the decimal mode pads by the decimal point.
void Pad(TTableGrid& grid, TTableAlign mode) {
    if (mode == TTableAlign::taDecimal) {
        AlignDecimal(grid);
    } else {
        AlignColumns(grid, mode);
    }
}

}  // namespace

bool ConvertTable(TUMemoEditor& editor, std::string_view separator, TTableAlign mode) {
    return RewriteSelection(
        editor,
        [separator, mode](std::string_view s, const TRewriteContext&) {
            TTableGrid grid = ParseTable(s, true);
            if (separator != kTabSeparator) Pad(grid, mode);
            return BuildTable(grid, separator, true);
        },
        kTable);
}

bool AlignTable(TUMemoEditor& editor, TTableAlign mode) {
    return RewriteSelection(
        editor,
        [mode](std::string_view s, const TRewriteContext&) {
            const std::string_view separator = DetectSeparator(s, false);
            TTableGrid grid = ParseTable(s, true);
            Pad(grid, mode);
            return BuildTable(grid, separator, true);
        },
        kTable);
}

bool ExchangeTable(TUMemoEditor& editor, TTableAlign mode) {
    return RewriteSelection(
        editor,
        [mode](std::string_view s, const TRewriteContext&) {
            TTableGrid grid = Transpose(ParseTable(s, true));
            const std::string_view separator = DetectSeparator(s, true);
            if (separator != kTabSeparator) Pad(grid, mode);
            return BuildTable(grid, separator, true);
        },
        kTable);
}

bool CopyExchanged(const TUMemoEditor& editor, TClipboard& clipboard) {
    const TUMemoStrings& s = editor.Strings();
    if (!s.Selection().HasSelection(s)) return false;
    const std::string text = editor.GetSelText(false);
    if (text.empty()) return false;
    clipboard.SetText(TransposeText(text, true));
    return true;
}

bool PasteExchanged(TUMemoEditor& editor, const TClipboard& clipboard) {
    if (editor.ReadOnly()) return false;
    const std::optional<std::string> text = clipboard.GetText();
    if (!text) return false;
    const TInputConversionsOff conversions(editor.Strings());
    editor.InsertClipText(TransposeText(*text, true), false, false, {});
    return true;
}

bool SpacesToTab(TUMemoEditor& editor) {
    return RewriteSelection(
        editor, [](std::string_view s, const TRewriteContext&) { return SpaceRunsToTab(s, true); });
}

bool SpacesToOneSpace(TUMemoEditor& editor) {
    return RewriteSelection(editor,
                            static_cast<std::string (*)(std::string_view)>(&SpacesToOneSpace));
}

bool SpaceRunsToTab(TUMemoEditor& editor) {
    return RewriteSelection(editor, [](std::string_view s, const TRewriteContext&) {
        return SpaceRunsToTab(s, false);
    });
}

}  // namespace rekna
