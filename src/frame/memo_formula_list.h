// The memo formula list of the graph: the memo's calculation lines compiled into the engine.
#pragma once

#include <string>
#include <vector>

namespace rekna {

class TUMemoStrings;
class TVtCalc;
struct TCalcOptions;

// Clears the engine's memo formula list and appends the compiled form of every calculation
// line of lines (CP932, one logical line each) that compiles; script lines are left out.
void BuildMemoFormulas(const std::vector<std::string>& lines, TVtCalc& calc,
                       const TCalcOptions& options);

// The logical lines of the memo, all of them or those up to the line of lastRow.
[[nodiscard]] std::vector<std::string> MemoLines(const TUMemoStrings& memo, int lastRow = -1);

}  // namespace rekna
