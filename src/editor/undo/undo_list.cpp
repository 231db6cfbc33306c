// The undo list: recording items into groups and taking them out again.
#include "editor/undo/undo_list.h"

#include "editor/store/same_prefix.h"

#include <algorithm>
#include <climits>
#include <cstdint>
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

namespace {

// Rows up to this length are kept whole: the work of comparing would be all that is saved.
constexpr std::size_t kWholeRowBytes = 4096;

}  // namespace

TUndoListItem TUndoListItem::ChangeRecord(std::int32_t row, std::string_view oldText,
                                          std::string_view newText, bool continued,
                                          std::uint16_t hangLength) {
    if (oldText.size() <= kWholeRowBytes || newText.size() > UINT32_MAX ||
        oldText.size() > UINT32_MAX) {
        return RowRecord(TUndoKind::ukChanged, row, oldText, continued, hangLength);
    }
    const std::size_t both = std::min(oldText.size(), newText.size());
    const std::size_t head = SamePrefixLength(oldText, newText);
    std::size_t tail = 0;
    while (tail < both - head &&
           oldText[oldText.size() - 1 - tail] == newText[newText.size() - 1 - tail])
        ++tail;
    return PartRecord(row, oldText, head, tail, continued, hangLength);
}

TUndoListItem TUndoListItem::PartRecord(std::int32_t row, std::string_view oldText,
                                        std::size_t head, std::size_t tail, bool continued,
                                        std::uint16_t hangLength) {
    if (oldText.size() <= kWholeRowBytes || oldText.size() > UINT32_MAX ||
        head + tail > oldText.size()) {
        return RowRecord(TUndoKind::ukChanged, row, oldText, continued, hangLength);
    }
    TUndoListItem item =
        RowRecord(TUndoKind::ukChanged, row, oldText.substr(head, oldText.size() - head - tail),
                  continued, hangLength);
    item.KeptHead = static_cast<std::uint32_t>(head);
    item.KeptTail = static_cast<std::uint32_t>(tail);
    return item;
}

std::string TUndoListItem::FormerText(std::string_view current) const {
    const std::size_t head = std::min<std::size_t>(KeptHead, current.size());
    const std::size_t tail = std::min<std::size_t>(KeptTail, current.size() - head);
    std::string text;
    text.reserve(head + Text.size() + tail);
    text.append(current.substr(0, head)).append(Text).append(current.substr(current.size() - tail));
    return text;
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
