// CalculateTable: every cell of the selected table replaced by its calculated answer.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rekna {

class TUMemoEditor;

// The answer text of one cell (the engine's, for the frame); an empty answer keeps the cell.
using TCellCalculator = std::function<std::string(std::string_view cell)>;

// The selected table with every non-empty cell calculated, rebuilt in its own separator without
// padding and pasted over the selection, selected; one undo step. False without a selection.
bool CalculateTable(TUMemoEditor& editor, const TCellCalculator& calculate);

}  // namespace rekna
