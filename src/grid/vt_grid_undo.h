// TVtGridUndo: the settings grid's undo and redo lists, whose steps keep only the cells that
// changed.
#pragma once

#include "grid/vt_types.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace rekna {

enum class TVtUndoKind : std::uint8_t {
    ukCells,
    ukRowDeleted,
    ukColDeleted,
    ukRowInserted,
    ukColInserted
};

// One cell as it was before a step changed it.
struct TVtSavedCell {
    int Col = 0;
    int Row = 0;
    TVtGridData Data;
};

// A step: the area it covers and the grid's state when it was recorded. A step of kind cells
// saves each cell of its area the first time it changes while the step is open; the row and
// column deleted kinds save their whole row or column when they are recorded.
struct TVtUndoData {
    TVtUndoKind Kind = TVtUndoKind::ukCells;
    TGridRect Area;
    TGridCoord Current;
    TGridCoord Far;
    int ColCount = 0;
    int RowCount = 0;
    std::vector<TVtSavedCell> Cells;
};

class TVtGridUndo {
public:
    static constexpr int kDefaultCapacity = 100;

    [[nodiscard]] int Capacity() const noexcept { return FCapacity; }
    // Negative counts as 0; a different value empties both lists.
    void SetCapacity(int capacity);
    void Clear();

    // Starts a step and opens it for saving cells; nothing when the capacity is 0. Empties the
    // redo list and drops the oldest step when the history is full.
    TVtUndoData* Record(TVtUndoData step);
    // Removes the newest step (an edit that changed nothing) and empties the redo list.
    void DropLast();

    // Saves the cell into the open step the first time it changes inside its area.
    void Save(int col, int row, const TVtGridData& data);
    // Ends saving into the open step.
    void CloseStep() noexcept;
    [[nodiscard]] bool HasOpenStep() const noexcept { return FOpen != nullptr; }
    // Opens a step that is not in either list, for the counterpart captured while restoring.
    void OpenDetached(TVtUndoData* step);

    [[nodiscard]] bool CanUndo() const noexcept { return FCanUndo; }
    [[nodiscard]] bool CanRedo() const noexcept { return !FRedo.empty(); }
    [[nodiscard]] std::size_t Count() const noexcept { return FSteps.size(); }
    [[nodiscard]] std::size_t RedoCount() const noexcept { return FRedo.size(); }
    [[nodiscard]] const std::deque<TVtUndoData>& Steps() const noexcept { return FSteps; }

    // Takes the newest step out of the history or the redo list.
    [[nodiscard]] TVtUndoData PopUndo();
    [[nodiscard]] TVtUndoData PopRedo();
    void PushUndo(TVtUndoData step);
    void PushRedo(TVtUndoData step);

private:
    void Open(TVtUndoData* step);

    std::deque<TVtUndoData> FSteps;
    std::deque<TVtUndoData> FRedo;
    int FCapacity = kDefaultCapacity;
    bool FCanUndo = false;
    TVtUndoData* FOpen = nullptr;
    // One bit per cell of the open step's area: already saved.
    std::vector<bool> FSaved;
};

}  // namespace rekna
