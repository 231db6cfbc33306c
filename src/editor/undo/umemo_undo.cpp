// Recording into the undo list and replaying a group into the other list.
#include "editor/undo/umemo_undo.h"

#include "editor/store/umemo_strings.h"

#include <algorithm>
#include <climits>

namespace rekna {

void TUMemoUndo::RecordRow(TUndoKind kind, std::int32_t row, std::string_view oldText,
                           bool oldContinued, std::uint16_t oldHangLength) {
    // A host reacting to the notifications of a replay must not spoil the list being built.
    if (Replaying()) return;
    FUndoList.Add(TUndoListItem::RowRecord(kind, row, oldText, oldContinued, oldHangLength));
    if (!FRedoList.Empty()) FRedoList.Clear();
}

void TUMemoUndo::RecordView(const TViewState& view) {
    if (Replaying()) return;
    FUndoList.Add(TUndoListItem::ViewRecord(view));
}

void TUMemoUndo::SetUndoEnabled(bool enabled) {
    FUndoList.SetEnabled(enabled);
    if (!enabled) FRedoList.Clear();
}

bool TUMemoUndo::Replay(TUndoList& source, TUndoList& target) {
    if (source.Empty()) return false;
    const std::int32_t group = source.At(source.Count() - 1).Group;
    // The edit group closes and the mark goes also when a row operation throws.
    struct TScope {
        TUMemoStrings& Strings;
        TUndoList& Source;
        ~TScope() {
            Strings.EndEdit(false);
            Source.SetReplaying(false);
        }
    };
    source.SetReplaying(true);
    FStrings.BeginEdit(false);
    const TScope scope{FStrings, source};
    target.NewGroup();

    std::int32_t lo = INT_MAX;
    std::int32_t hi = -1;
    auto touch = [&](std::int32_t row) {
        lo = std::min(lo, row);
        hi = std::max(hi, row);
    };
    // The range is kept in the rows' final places: rows inserted or deleted later move the rows
    // touched before, so that every restored row lies in the range when the host reads it.
    auto inserted = [&](std::int32_t row) {
        if (hi >= row) ++hi;
        if (lo >= row && lo != INT_MAX) ++lo;
        touch(row);
    };
    auto deleted = [&](std::int32_t row) {
        if (hi > row) --hi;
        if (lo > row && lo != INT_MAX) --lo;
        touch(row);
    };
    auto current = [&](TUndoKind kind, std::int32_t row) {
        const TUMemoStringItem& item = FStrings.Item(row);
        return TUndoListItem::RowRecord(kind, row, item.Text, item.Continued != 0, item.HangLength);
    };
    bool viewRestored = false;
    while (!source.Empty() && source.At(source.Count() - 1).Group == group) {
        const std::optional<TUndoListItem> popped = source.Pop();
        const TUndoListItem& item = *popped;
        const std::int32_t count = FStrings.GetCount();
        const bool existing = item.Row >= 0 && item.Row < count;
        switch (item.Kind) {
        case TUndoKind::ukInserted:
            if (!existing) break;
            target.Add(current(TUndoKind::ukDeleted, item.Row));
            FStrings.ReplayDelete(item.Row);
            deleted(item.Row);
            break;
        case TUndoKind::ukDeleted:
            if (item.Row < 0 || item.Row > count) break;
            target.Add(TUndoListItem::RowRecord(TUndoKind::ukInserted, item.Row, {}, false, 0));
            FStrings.ReplayInsert(item.Row, item.Text, item.Continued != 0, item.HangLength);
            inserted(item.Row);
            break;
        case TUndoKind::ukChanged:
            if (!existing) break;
            target.Add(current(TUndoKind::ukChanged, item.Row));
            FStrings.ReplayPut(item.Row, item.Text, item.Continued != 0, item.HangLength);
            touch(item.Row);
            break;
        case TUndoKind::ukFlag:
            if (!existing) break;
            target.Add(current(TUndoKind::ukFlag, item.Row));
            FStrings.ReplayFlag(item.Row, item.Continued != 0);
            // Joining or splitting at this row changes the logical line of the row below too.
            touch(item.Row);
            if (item.Row + 1 < count) touch(item.Row + 1);
            break;
        case TUndoKind::ukView: {
            // The record goes across as it is, not as the current view: a caret moved between
            // the undo and the redo must not become the view after the redone edit.
            target.Add(item);
            const bool newWidth = item.WrapColumns != FStrings.WrapColumns();
            FStrings.ReplayView(item.View());
            viewRestored = true;
            if (newWidth && OnWrapRestored) OnWrapRestored(FStrings.WrapColumns());
            break;
        }
        }
    }

    TUMemoSelection& selection = FStrings.Selection();
    if (!viewRestored) selection.Clear();
    selection.Normalize(FStrings);
    if (hi >= 0) {
        const std::int32_t last = std::max(FStrings.GetCount() - 1, 0);
        hi = std::min(hi, last);
        FStrings.SetChangedRange(std::min(lo, hi), hi);
    }
    return true;
}

}  // namespace rekna
