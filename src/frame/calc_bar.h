// The texts of the calc bar, the pane hints and the log pane's listings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frame/calc_options.h"
#include "numbers/cplx.h"
#include "numbers/number_settings.h"

namespace rekna {

class TVtCalc;

// The calc bar's answer formats: 0 as in the answer pane, 1 general, 2 binary, 3 two's
// complement, 4 Japanese digit groups with all digits, 5 hexadecimal.
[[nodiscard]] TAnsFormat CalcBarAnsFormat(int calcBarFormat) noexcept;

// The answer in the calc bar's format: the stored answer as it is for format 0, otherwise
// the value formatted anew.
[[nodiscard]] std::string CalcBarAnswer(int calcBarFormat, std::string_view answer,
                                        const TCplx& value);

// The formula as the calc bar, its label and the pane hints show it: a long one is cut at a
// character after kShownFormulaBytes bytes and ends in "…" (a hint of megabytes would cost every
// key its conversion for the status line, and no screen shows it).
inline constexpr std::size_t kShownFormulaBytes = 2048;
[[nodiscard]] std::string ShownFormula(std::string_view formula);

// The calc-bar text of a line from its stored formula and answer: empty without a formula,
// "formula = Err" without an answer, "formula answer" for a definition, else "formula = answer".
[[nodiscard]] std::string CaretBarText(const std::string& formula, const std::string& answer);

// "[selected rows/rows行:selected chars/chars文字] " with a selection, else
// "[caret row/rows行:caret column/row length桁] "; an empty memo gives "[1/0行:1/0桁] ".
[[nodiscard]] std::string MemoHintPrefix(bool selection, int rowsOrSelected, int rows,
                                         int columnOrSelected, int lengthOrChars);
[[nodiscard]] std::string AnswerHintPrefix(int caretRow);

// Every Tab of the calc-bar text as two spaces.
[[nodiscard]] std::string HintText(std::string_view barText);

struct TSelectionSummary {
    std::string BarText;      // the calc bar's text
    std::string Formula;      // the label's formula (one line)
    std::string LabelAnswer;  // the label's answer
    std::string Log;          // what the log pane shows
};

// The summary of a selection: one line is a trial calculation with its log; several lines
// are calculated with commit on and summed into count, total, average and deviation.
[[nodiscard]] TSelectionSummary SummarizeSelection(TVtCalc& calc, const TCalcOptions& options,
                                                   int calcBarFormat, std::string_view text);

// The lines the log pane shows for a content mode.
[[nodiscard]] std::vector<std::string> LogPaneLines(TLogContent content, const std::string& log,
                                                    const TVtCalc& calc,
                                                    const std::string& defText);

}  // namespace rekna
