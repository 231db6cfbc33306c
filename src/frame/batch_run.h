// TBatchRun: a memo run over plain lines, as the batch calculator uses it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frame/calc_options.h"

namespace rekna {

class TVtCalc;

struct TBatchLine {
    std::string Answer;  // the answer as the engine gave it
    std::string Shown;   // the answer as the answer pane shows it
    std::string Formula; // the engine's Data
};

// Runs every line of a memo once, in order, as a run over all lines does: the display
// settings back at the run start, Ans from the row above (zero and not valid at the top), the
// leading-character rule, script lines left alone, and each calculation line through the
// engine with commit, storeAns and keepData on.
class TBatchRun {
public:
    TBatchRun(TVtCalc& calc, const TCalcOptions& options) : FCalc(calc), FOptions(options) {}

    [[nodiscard]] std::vector<TBatchLine> Run(const std::vector<std::string>& lines);

private:
    TVtCalc& FCalc;
    const TCalcOptions& FOptions;
};

// Splits text at CR LF, lone CR and lone LF; a line end after the last line starts no new line.
[[nodiscard]] std::vector<std::string> SplitMemoLines(std::string_view text);

}  // namespace rekna
