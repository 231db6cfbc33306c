// Inserting and appending a template's lines into the memo.
#include "templates/template_memo.h"

#include "editor/umemo_editor.h"

#include <string>
#include <vector>

namespace rekna {

namespace {

// The text's lines; a break at the end ends the last line rather than starting an empty one.
[[nodiscard]] std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(begin, i - begin));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        begin = i + 1;
    }
    if (begin < text.size()) lines.push_back(text.substr(begin));
    return lines;
}

// Inserts the lines as logical lines from row at on; returns the number of rows added.
std::int32_t PutLines(TUMemoStrings& s, std::int32_t at,
                      const std::vector<std::string_view>& lines) {
    const std::int32_t before = s.GetCount();
    for (const std::string_view line : lines) {
        s.InsertRow(at, line, false);
        at = s.Reflow(at) + 1;
    }
    return s.GetCount() - before;
}

}  // namespace

void InsertTemplateLines(TUMemoEditor& memo, std::string_view text) {
    const std::vector<std::string_view> lines = TextLines(text);
    if (lines.empty() || memo.ReadOnly()) return;
    TUMemoStrings& s = memo.Strings();
    const TEditGroup group(s, true);
    TUMemoSelection& sel = s.Selection();
    sel.Normalize(s);
    std::int32_t at = 0;
    if (s.GetCount() > 0) {
        const std::int32_t row = sel.Caret.Y;
        const std::int32_t last = s.LastRowOfLine(row);
        const bool behindEnd =
            row == last && sel.Caret.X > static_cast<std::int32_t>(s.Get(row).size());
        at = behindEnd ? last + 1 : s.FirstRowOfLine(row);
    }
    const std::int32_t top = s.TopRow();
    const std::int32_t added = PutLines(s, at, lines);
    // The rows below the insertion moved down; the caret and the anchor go with their text.
    if (sel.Caret.Y >= at) sel.Caret.Y += added;
    if (sel.Anchor.Y >= at) sel.Anchor.Y += added;
    sel.Normalize(s);
    s.SetTopRow(top);
}

void AppendTemplateLines(TUMemoEditor& memo, std::string_view text) {
    const std::vector<std::string_view> lines = TextLines(text);
    if (lines.empty() || memo.ReadOnly()) return;
    TUMemoStrings& s = memo.Strings();
    const TEditGroup group(s, true);
    if (s.GetCount() == 1 && s.Get(0).empty()) s.Delete(0);
    PutLines(s, s.GetCount(), lines);
    TUMemoSelection& sel = s.Selection();
    sel.SetCaret(s, {1, s.GetCount() - 1}, TSelMode::smNone);
    memo.ScrollCaretIntoView();
}

}  // namespace rekna
