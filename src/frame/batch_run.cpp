// A memo run over plain lines for the batch calculator.
#include "frame/batch_run.h"

#include "editor/past_string_list.h"
#include "engine/vt_calc.h"
#include "frame/answer_filter.h"

namespace rekna {

namespace {

std::string_view TrimRight(std::string_view s) noexcept {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) noexcept {
    s = TrimRight(s);
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    return s;
}

bool IsScriptLine(std::string_view s) noexcept {
    return s.size() >= 2 && s[0] == '#' && (s[1] == '>' || s[1] == '?');
}

}  // namespace

std::vector<std::string> SplitMemoLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    std::string_view line;
    while (NextTextLine(text, pos, line)) lines.emplace_back(line);
    return lines;
}

std::vector<TBatchLine> TBatchRun::Run(const std::vector<std::string>& lines) {
    std::vector<TBatchLine> out(lines.size());
    FCalc.ResetDisplay();
    if (FOptions.AnsRule == TAnsRule::arRow) FCalc.SetAns(TCplx(), true);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = TrimRight(lines[i]);
        // Without a script language, script lines are no calculation lines.
        if (IsScriptLine(text) || !FOptions.IsCalcLine(text)) continue;
        FCalc.CalcLine(Trim(text), true, true, true);
        TBatchLine& result = out[i];
        result.Answer = FCalc.AnswerText();
        result.Formula = FCalc.Data();
        result.Shown = FilterAnswer(result.Answer, FOptions.ShowErrors, FOptions.ShowControl);
    }
    return out;
}

}  // namespace rekna
