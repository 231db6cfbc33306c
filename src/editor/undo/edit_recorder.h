// The interface through which the line store reports every elementary change for undo.
#pragma once

#include "editor/selection/umemo_selection.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rekna {

// Kinds of undo items.
enum class TUndoKind : std::uint8_t { ukInserted, ukDeleted, ukChanged, ukFlag, ukView };

// The view as an undo item records it. The anchor and the selection mode go with the caret, so
// that taking an edit back selects again what the edit replaced.
struct TViewState {
    std::int32_t WrapColumns = 0;
    std::int32_t CaretX = 1;
    std::int32_t CaretY = 0;
    std::int32_t TopRow = 0;
    std::int32_t LeftCol = 1;
    std::int32_t AnchorX = 1;
    std::int32_t AnchorY = 0;
    TSelMode Mode = TSelMode::smNone;

    friend bool operator==(const TViewState&, const TViewState&) = default;
};

// Which notification sequence the owner runs when the outermost edit group or batch ends.
enum class TEditEnd : std::uint8_t { eeEdit, eeBatch };

// Receives the store's recording. The store calls RecordRow after each recorded row change with
// the row's state before it, so taking the items back newest first (with the store's Replay
// operations) restores every row exactly, hanging-indent lengths included:
// - ukInserted: the row now at `row` is new (the text arguments are empty);
// - ukDeleted: the row at `row` was removed; it held oldText, oldContinued, oldHangLength;
// - ukChanged: the row's text, flag or hanging-indent length changed from the old values;
// - ukFlag: only the row's Continued flag changed from oldContinued.
// A row record also empties the redo list; a view record does not.
class TEditRecorder {
public:
    TEditRecorder() = default;
    TEditRecorder(const TEditRecorder&) = delete;
    TEditRecorder& operator=(const TEditRecorder&) = delete;
    virtual ~TEditRecorder() = default;

    virtual void RecordRow(TUndoKind kind, std::int32_t row, std::string_view oldText,
                           bool oldContinued, std::uint16_t oldHangLength) = 0;
    // A ukChanged record that also knows the new text, so that a recorder may keep only the part
    // that differs.
    virtual void RecordChange(std::int32_t row, std::string_view oldText,
                              std::string_view /*newText*/, bool oldContinued,
                              std::uint16_t oldHangLength) {
        RecordRow(TUndoKind::ukChanged, row, oldText, oldContinued, oldHangLength);
    }
    // A ukChanged record of a row edited where it is: count bytes of oldText from the 0-based
    // offset at were replaced by added bytes.
    virtual void RecordSplice(std::int32_t row, std::string_view oldText, std::size_t /*at*/,
                              std::size_t /*count*/, std::size_t /*added*/, bool oldContinued,
                              std::uint16_t oldHangLength) {
        RecordRow(TUndoKind::ukChanged, row, oldText, oldContinued, oldHangLength);
    }
    virtual void RecordView(const TViewState& view) = 0;
    // Starts a new undo group: an outermost edit group with recordState, or a batch update.
    virtual void NewGroup() = 0;
    // True while an undo or redo is being replayed; a batch update then records nothing.
    [[nodiscard]] virtual bool Replaying() const = 0;
    // Empties the undo list (saving, loading, appending, Clear).
    virtual void ClearUndo() = 0;
    // Loading disables recording (which empties the list) and enables it again afterwards.
    virtual void SetUndoEnabled(bool enabled) = 0;
};

}  // namespace rekna
