// Recording into the undo list and replaying a group into the other list.
#include "editor/undo/umemo_undo.h"

#include "editor/store/umemo_strings.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace rekna {

void TUMemoUndo::RecordRow(TUndoKind kind, std::int32_t row, std::string_view oldText,
                           bool oldContinued, std::uint16_t oldHangLength) {
    // A host reacting to the notifications of a replay must not spoil the list being built.
    if (Replaying()) return;
    FUndoList.Add(TUndoListItem::RowRecord(kind, row, oldText, oldContinued, oldHangLength));
    if (!FRedoList.Empty()) FRedoList.Clear();
}

void TUMemoUndo::RecordChange(std::int32_t row, std::string_view oldText, std::string_view newText,
                              bool oldContinued, std::uint16_t oldHangLength) {
    if (Replaying()) return;
    FUndoList.Add(TUndoListItem::ChangeRecord(row, oldText, newText, oldContinued, oldHangLength));
    if (!FRedoList.Empty()) FRedoList.Clear();
}

void TUMemoUndo::RecordSplice(std::int32_t row, std::string_view oldText, std::size_t at,
                              std::size_t count, std::size_t /*added*/, bool oldContinued,
                              std::uint16_t oldHangLength) {
    if (Replaying()) return;
    FUndoList.Add(TUndoListItem::PartRecord(row, oldText, at, oldText.size() - at - count,
                                            oldContinued, oldHangLength));
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

namespace {

// True when the list's newest item is a row record of the kind at the row in the group.
[[nodiscard]] bool NextInRun(const TUndoList& source, std::int32_t group, TUndoKind kind,
                             std::int32_t row) {
    if (source.Empty()) return false;
    const TUndoListItem& next = source.At(source.Count() - 1);
    return next.Group == group && next.Kind == kind && next.Row == row;
}

}  // namespace

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
        case TUndoKind::ukInserted: {
            if (!existing) break;
            // A run of inserts undone together (rows pasted or wrapped in) leaves in one sweep:
            // the records either all name this row or each names the row above the one before.
            const bool upward = !NextInRun(source, group, TUndoKind::ukInserted, item.Row) &&
                                NextInRun(source, group, TUndoKind::ukInserted, item.Row - 1);
            std::int32_t n = 1;
            for (;;) {
                const std::int32_t next = upward ? item.Row - n : item.Row;
                const bool inStore = upward ? next >= 0 : item.Row + n < count;
                if (!inStore || !NextInRun(source, group, TUndoKind::ukInserted, next)) break;
                (void)source.Pop();
                ++n;
            }
            for (std::int32_t k = 0; k < n; ++k) {
                const std::int32_t at = upward ? item.Row - k : item.Row;
                const TUMemoStringItem& gone = FStrings.Item(upward ? at : item.Row + k);
                target.Add(TUndoListItem::RowRecord(TUndoKind::ukDeleted, at, gone.Text,
                                                    gone.Continued != 0, gone.HangLength));
                deleted(at);
            }
            FStrings.ReplayDeleteRows(upward ? item.Row - n + 1 : item.Row, n);
            break;
        }
        case TUndoKind::ukDeleted: {
            if (item.Row < 0 || item.Row > count) break;
            // Rows deleted one after another at one place come back as one run.
            std::vector<TUMemoStringItem> rows;
            rows.push_back(FStrings.NewRow(item.Text, item.Continued != 0, item.HangLength));
            while (NextInRun(source, group, TUndoKind::ukDeleted, item.Row)) {
                const std::optional<TUndoListItem> more = source.Pop();
                rows.push_back(FStrings.NewRow(more->Text, more->Continued != 0, more->HangLength));
            }
            std::reverse(rows.begin(), rows.end());
            for (std::size_t k = 0; k < rows.size(); ++k) {
                target.Add(TUndoListItem::RowRecord(TUndoKind::ukInserted, item.Row, {}, false, 0));
                inserted(item.Row);
            }
            FStrings.ReplayInsertRows(item.Row, std::move(rows));
            break;
        }
        case TUndoKind::ukChanged: {
            if (!existing) break;
            const TUMemoStringItem& now = FStrings.Item(item.Row);
            if (item.KeptHead > 0 || item.KeptTail > 0) {
                // A record of the changed part: the row is edited where it is.
                const std::size_t size = now.Text.size();
                const std::size_t head = std::min<std::size_t>(item.KeptHead, size);
                const std::size_t tail = std::min<std::size_t>(item.KeptTail, size - head);
                target.Add(TUndoListItem::PartRecord(item.Row, now.Text, head, tail,
                                                     now.Continued != 0, now.HangLength));
                FStrings.ReplaySplice(item.Row, head, size - head - tail, item.Text,
                                      item.Continued != 0, item.HangLength);
                touch(item.Row);
                break;
            }
            const std::string former = item.FormerText(now.Text);
            target.Add(TUndoListItem::ChangeRecord(item.Row, now.Text, former, now.Continued != 0,
                                                   now.HangLength));
            FStrings.ReplayPut(item.Row, former, item.Continued != 0, item.HangLength);
            touch(item.Row);
            break;
        }
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
