// CalculateTable: the selected table's cells through the calculator.
#include "frame/table_calc.h"

#include "editor/commands/rewrite_selection.h"
#include "editor/commands/table_model.h"
#include "editor/umemo_editor.h"

#include <algorithm>

namespace rekna {

bool CalculateTable(TUMemoEditor& editor, const TCellCalculator& calculate,
                    const TCellProgress& progress) {
    TUMemoStrings& s = editor.Strings();
    if (editor.ReadOnly() || !s.Selection().HasSelection(s)) return false;
    const std::string text = editor.GetSelText(false);
    const std::string_view separator = DetectSeparator(text, true);
    TTableGrid grid = ParseTable(text, true);
    std::size_t total = 0;
    for (const auto& row : grid)
        total += static_cast<std::size_t>(
            std::count_if(row.begin(), row.end(), [](const std::string& c) { return !c.empty(); }));
    std::size_t done = 0;
    bool stopped = false;
    for (auto& row : grid) {
        for (std::string& cell : row) {
            if (cell.empty() || stopped) continue;
            if (progress && !progress(done, total)) {
                stopped = true;
                continue;
            }
            ++done;
            std::string answer = TrimBlanks(calculate(cell));
            // A header or a note has no answer: it keeps its text.
            if (!answer.empty()) cell = std::move(answer);
        }
    }
    std::string result = BuildTable(grid, separator, true);
    if (!text.empty() && text.back() == '\n') result += "\r\n";
    const TInputConversionsOff conversions(s);
    editor.InsertClipText(result, true, false, {});
    return true;
}

}  // namespace rekna
