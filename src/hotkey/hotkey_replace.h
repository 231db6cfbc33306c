// The text a hot key writes back into another program's editor: every line (every Tab cell of a
// spreadsheet row) calculated and its result written, replaced or removed.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace rekna {

// Calculates one cell (CP932, without its old result): the formula and the answer text as the
// engine gives them (the answer empty when the cell has none).
using TCellCalculator = std::function<std::pair<std::string, std::string>(const std::string& cell)>;

struct TReplacementOptions {
    bool Spreadsheet = false;  // Tab cells one by one, a last empty line dropped
    bool HalfEquals = false;   // " = " instead of " ＝ "
    bool Replace = false;      // the result alone
    bool Calculate = true;     // off: the written results are only removed
    // How answers are written (as in the memo): error texts, control echoes.
    bool ShowErrors = false;
    bool ShowControl = false;
};

// The cell without a written result: cut before its answer marker "＝" (found character by
// character, outside square-bracket comments), one space that then ends it removed.
[[nodiscard]] std::string CutWrittenResult(std::string_view cell);

// One cell rewritten: a blank cell unchanged; otherwise its result written after it, or the
// result alone, or the old result removed. A cell whose calculation gives no answer keeps its
// text, without its old result.
[[nodiscard]] std::string CalcCell(std::string_view cell, const TReplacementOptions& options,
                                   const TCellCalculator& calculate);

// The whole text (CP932, any line ends) rewritten line by line; the lines joined with LF, without
// a line end after the last one (a text that ended with a line break ends with an empty line, so
// the break stays).
[[nodiscard]] std::string ComputeReplacement(std::string_view text,
                                             const TReplacementOptions& options,
                                             const TCellCalculator& calculate);

}  // namespace rekna
