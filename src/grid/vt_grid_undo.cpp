// The settings grid's undo lists: recording, dropping and saving changed cells.
#include "grid/vt_grid_undo.h"

#include <utility>

namespace rekna {

void TVtGridUndo::SetCapacity(int capacity) {
    if (capacity < 0) capacity = 0;
    if (capacity == FCapacity) return;
    FCapacity = capacity;
    Clear();
}

void TVtGridUndo::Clear() {
    CloseStep();
    FSteps.clear();
    FRedo.clear();
    FCanUndo = false;
}

TVtUndoData* TVtGridUndo::Record(TVtUndoData step) {
    CloseStep();
    if (FCapacity == 0) return nullptr;
    FRedo.clear();
    while (FSteps.size() >= static_cast<std::size_t>(FCapacity))
        FSteps.pop_front();
    FSteps.push_back(std::move(step));
    FCanUndo = true;
    TVtUndoData* added = &FSteps.back();
    if (added->Kind == TVtUndoKind::ukCells) Open(added);
    return added;
}

void TVtGridUndo::DropLast() {
    CloseStep();
    FRedo.clear();
    if (!FSteps.empty()) FSteps.pop_back();
    FCanUndo = !FSteps.empty();
}

void TVtGridUndo::Open(TVtUndoData* step) {
    FOpen = step;
    const TGridRect& a = step->Area;
    const long long cells =
        a.Right < a.Left || a.Bottom < a.Top ? 0 : static_cast<long long>(a.Width()) * a.Height();
    FSaved.assign(static_cast<std::size_t>(cells), false);
}

void TVtGridUndo::OpenDetached(TVtUndoData* step) {
    CloseStep();
    if (step != nullptr && step->Kind == TVtUndoKind::ukCells) Open(step);
}

void TVtGridUndo::Save(int col, int row, const TVtGridData& data) {
    if (FOpen == nullptr || !FOpen->Area.Contains(col, row)) return;
    const std::size_t bit = static_cast<std::size_t>(row - FOpen->Area.Top) *
                                static_cast<std::size_t>(FOpen->Area.Width()) +
                            static_cast<std::size_t>(col - FOpen->Area.Left);
    if (FSaved[bit]) return;
    FSaved[bit] = true;
    FOpen->Cells.push_back({col, row, data});
}

void TVtGridUndo::CloseStep() noexcept {
    FOpen = nullptr;
    FSaved.clear();
    FSaved.shrink_to_fit();
}

TVtUndoData TVtGridUndo::PopUndo() {
    CloseStep();
    TVtUndoData step = std::move(FSteps.back());
    FSteps.pop_back();
    FCanUndo = !FSteps.empty();
    return step;
}

TVtUndoData TVtGridUndo::PopRedo() {
    CloseStep();
    TVtUndoData step = std::move(FRedo.back());
    FRedo.pop_back();
    return step;
}

void TVtGridUndo::PushUndo(TVtUndoData step) {
    CloseStep();
    while (FCapacity > 0 && FSteps.size() >= static_cast<std::size_t>(FCapacity)) {
        FSteps.pop_front();
    }
    FSteps.push_back(std::move(step));
    FCanUndo = true;
}

void TVtGridUndo::PushRedo(TVtUndoData step) {
    CloseStep();
    FRedo.push_back(std::move(step));
}

}  // namespace rekna
