// CalculateTable: every cell of the selected table replaced by its calculated answer.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace rekna {

class TUMemoEditor;

// The answer text of one cell (the engine's, for the frame); an empty answer keeps the cell.
using TCellCalculator = std::function<std::string(std::string_view cell)>;

// Asked before each cell with the cells done and the cells to calculate; false stops the
// command (Esc): the cells not yet calculated keep their text.
using TCellProgress = std::function<bool(std::size_t done, std::size_t total)>;

// The selected table with every non-empty cell calculated, rebuilt in its own separator without
// padding and pasted over the selection, selected; one undo step, also when progress stopped it
// part way. False without a selection.
bool CalculateTable(TUMemoEditor& editor, const TCellCalculator& calculate,
                    const TCellProgress& progress = {});

}  // namespace rekna
