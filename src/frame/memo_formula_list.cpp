// The memo formula list of the graph: the memo's calculation lines compiled into the engine.
#include "frame/memo_formula_list.h"

#include "editor/store/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"

namespace rekna {

namespace {

std::string_view Trimmed(std::string_view s) noexcept {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    return s;
}

bool IsScript(std::string_view s) noexcept {
    return s.substr(0, 2) == "#>" || s.substr(0, 2) == "#?";
}

}  // namespace

void BuildMemoFormulas(const std::vector<std::string>& lines, TVtCalc& calc,
                       const TCalcOptions& options) {
    std::vector<TCalcList>& list = calc.MemoFormulas();
    list.clear();
    const bool log = calc.LogEnable;
    calc.LogEnable = false;
    for (const std::string& line : lines) {
        std::string_view text = line;
        while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
            text.remove_suffix(1);
        if (IsScript(text) || !options.IsCalcLine(text)) continue;
        if (calc.Compile(Trimmed(text), true)) list.push_back(calc.Compiled());
    }
    calc.LogEnable = log;
}

std::vector<std::string> MemoLines(const TUMemoStrings& memo, int lastRow) {
    std::vector<std::string> lines;
    const int count = memo.GetCount();
    const int last = lastRow < 0 || lastRow >= count ? count - 1 : lastRow;
    for (int row = 0; row <= last; row = memo.LastRowOfLine(row) + 1)
        lines.push_back(memo.GetLine(row));
    return lines;
}

}  // namespace rekna
