// TUMemoUndo: the line store's undo and redo lists, and the replay that takes a group back.
#pragma once

#include "editor/undo/edit_recorder.h"
#include "editor/undo/undo_list.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace rekna {

class TUMemoStrings;

// Installed as the store's recorder. Every recorded row change goes into the undo list and
// empties the redo list; Undo replays the newest group of the undo list into the redo list and
// Redo the other way round. Because wrapping lives in the rows, replaying restores the rows
// exactly as they were, a change of the wrap width included, without re-wrapping anything.
class TUMemoUndo final : public TEditRecorder {
public:
    explicit TUMemoUndo(TUMemoStrings& strings) noexcept : FStrings(strings) {}

    void RecordRow(TUndoKind kind, std::int32_t row, std::string_view oldText, bool oldContinued,
                   std::uint16_t oldHangLength) override;
    void RecordChange(std::int32_t row, std::string_view oldText, std::string_view newText,
                      bool oldContinued, std::uint16_t oldHangLength) override;
    void RecordSplice(std::int32_t row, std::string_view oldText, std::size_t at, std::size_t count,
                      std::size_t added, bool oldContinued, std::uint16_t oldHangLength) override;
    void RecordView(const TViewState& view) override;
    void NewGroup() override { FUndoList.NewGroup(); }
    [[nodiscard]] bool Replaying() const override {
        return FUndoList.Replaying() || FRedoList.Replaying();
    }
    void ClearUndo() override { FUndoList.Clear(); }
    // Disabling empties both lists: rows may change unrecorded meanwhile, and a redo item
    // applied to rows it was not taken from would corrupt them.
    void SetUndoEnabled(bool enabled) override;

    // Each takes back one whole group inside an unrecorded edit group of the store, whose close
    // runs the owner's notifications with the store's changed range spanning the rows touched.
    // The view and the selection end as they were at the other side of the edit. False (and
    // nothing done) when the list is empty.
    bool Undo() { return Replay(FUndoList, FRedoList); }
    bool Redo() { return Replay(FRedoList, FUndoList); }
    [[nodiscard]] bool CanUndo() const noexcept { return !FUndoList.Empty(); }
    [[nodiscard]] bool CanRedo() const noexcept { return !FRedoList.Empty(); }

    [[nodiscard]] const TUndoList& UndoList() const noexcept { return FUndoList; }
    [[nodiscard]] const TUndoList& RedoList() const noexcept { return FRedoList; }

    // Called when a view record gave the store a different wrap width, after the store took it;
    // the control switches its wrap mode to match without re-wrapping.
    std::function<void(std::int32_t columns)> OnWrapRestored;

private:
    bool Replay(TUndoList& source, TUndoList& target);

    TUMemoStrings& FStrings;
    TUndoList FUndoList;
    TUndoList FRedoList;
};

}  // namespace rekna
