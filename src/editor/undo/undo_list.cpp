// The undo list: recording items into groups and taking them out again.
#include "editor/undo/undo_list.h"

#include <new>
#include <utility>

namespace rekna {

TUndoListItem TUndoListItem::RowRecord(TUndoKind kind, std::int32_t row, std::string_view text,
                                       bool continued, std::uint16_t hangLength) {
    TUndoListItem item;
    item.Kind = kind;
    item.Row = row;
    item.Text.assign(text);
    item.Continued = continued ? 1 : 0;
    item.HangLength = hangLength;
    return item;
}

TUndoListItem TUndoListItem::ViewRecord(const TViewState& view) {
    TUndoListItem item;
    item.Kind = TUndoKind::ukView;
    item.WrapColumns = view.WrapColumns;
    item.CaretX = view.CaretX;
    item.CaretY = view.CaretY;
    item.TopRow = view.TopRow;
    item.LeftCol = view.LeftCol;
    item.AnchorX = view.AnchorX;
    item.AnchorY = view.AnchorY;
    item.Mode = view.Mode;
    return item;
}

TViewState TUndoListItem::View() const noexcept {
    return {WrapColumns, CaretX, CaretY, TopRow, LeftCol, AnchorX, AnchorY, Mode};
}

void TUndoList::SetEnabled(bool enabled) noexcept {
    FEnabled = enabled;
    if (!enabled) Clear();
}

void TUndoList::Add(TUndoListItem item) {
    if (!FEnabled || FReplaying || FLost) return;
    item.Group = FGroup;
    try {
        FItems.push_back(std::move(item));
    } catch (const std::bad_alloc&) {
        Clear();
        FLost = true;
    }
}

void TUndoList::NewGroup() noexcept {
    if (!FEnabled || FReplaying) return;
    ++FGroup;
    FLost = false;
}

std::optional<TUndoListItem> TUndoList::Peek() const {
    if (FItems.empty()) return std::nullopt;
    return FItems.back();
}

std::optional<TUndoListItem> TUndoList::Pop() {
    if (FItems.empty()) return std::nullopt;
    TUndoListItem item = std::move(FItems.back());
    FItems.pop_back();
    return item;
}

void TUndoList::Clear() noexcept {
    std::vector<TUndoListItem>().swap(FItems);  // a long history gives its memory back
    FGroup = 0;
}

}  // namespace rekna
