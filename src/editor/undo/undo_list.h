// TUndoList: the undo (or redo) items of the line store, grouped so that one user edit is taken
// back at once.
#pragma once

#include "editor/undo/edit_recorder.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

// One elementary change. Row records (ukInserted, ukDeleted, ukChanged, ukFlag) keep the row's
// former state; view records (ukView) keep the view and the selection, with Row 0.
struct TUndoListItem {
    std::int32_t Group = 0;
    std::int32_t Row = 0;
    std::int32_t WrapColumns = 0;
    std::int32_t TopRow = 0;
    std::int32_t LeftCol = 1;
    std::uint8_t Continued = 0;
    TUndoKind Kind = TUndoKind::ukView;
    std::int32_t CaretX = 0;
    std::int32_t CaretY = 0;
    std::string Text;
    // The bytes at the start of the former text that were a copy of the line's hanging indent.
    std::uint16_t HangLength = 0;
    // ukChanged of a long row: Text holds only the part that changed; the former text is the
    // first KeptHead bytes of the row as the replay finds it, Text, and its last KeptTail bytes.
    std::uint32_t KeptHead = 0;
    std::uint32_t KeptTail = 0;
    std::int32_t AnchorX = 0;
    std::int32_t AnchorY = 0;
    TSelMode Mode = TSelMode::smNone;

    [[nodiscard]] static TUndoListItem RowRecord(TUndoKind kind, std::int32_t row,
                                                 std::string_view text, bool continued,
                                                 std::uint16_t hangLength);
    // A ukChanged record of a row whose text goes from oldText to newText; a long row keeps
    // only the part that differs.
    [[nodiscard]] static TUndoListItem ChangeRecord(std::int32_t row, std::string_view oldText,
                                                    std::string_view newText, bool continued,
                                                    std::uint16_t hangLength);
    // The same when the new text is known to keep the first head and the last tail bytes of
    // oldText (head + tail <= its size).
    [[nodiscard]] static TUndoListItem PartRecord(std::int32_t row, std::string_view oldText,
                                                  std::size_t head, std::size_t tail,
                                                  bool continued, std::uint16_t hangLength);
    // The text a ukChanged record gives back, current being the row's text now.
    [[nodiscard]] std::string FormerText(std::string_view current) const;
    [[nodiscard]] static TUndoListItem ViewRecord(const TViewState& view);
    [[nodiscard]] TViewState View() const noexcept;
};

// Items accumulate without a limit until the list is cleared. Storage grows geometrically, so a
// command that records a million rows moves each item a bounded number of times.
class TUndoList {
public:
    [[nodiscard]] bool Enabled() const noexcept { return FEnabled; }
    // Disabling also clears.
    void SetEnabled(bool enabled) noexcept;
    [[nodiscard]] bool Replaying() const noexcept { return FReplaying; }
    void SetReplaying(bool replaying) noexcept { FReplaying = replaying; }
    [[nodiscard]] std::int32_t Group() const noexcept { return FGroup; }

    // Appends the item with the current group number; nothing while disabled or replaying. When
    // memory runs out the list is cleared and the rest of the group is not recorded, so that an
    // undo never takes back half an edit.
    void Add(TUndoListItem item);
    // The next group number; nothing while disabled or replaying.
    void NewGroup() noexcept;

    [[nodiscard]] bool Empty() const noexcept { return FItems.empty(); }
    [[nodiscard]] std::size_t Count() const noexcept { return FItems.size(); }
    [[nodiscard]] std::size_t Capacity() const noexcept { return FItems.capacity(); }
    [[nodiscard]] const TUndoListItem& At(std::size_t index) const noexcept {
        return FItems[index];
    }
    // The newest item, if any.
    [[nodiscard]] std::optional<TUndoListItem> Peek() const;
    // The newest item, removed from the list.
    [[nodiscard]] std::optional<TUndoListItem> Pop();
    // Removes every item; the group counter goes back to 0.
    void Clear() noexcept;

private:
    std::vector<TUndoListItem> FItems;
    std::int32_t FGroup = 0;
    bool FEnabled = true;
    bool FReplaying = false;
    // Set when an item could not be stored; cleared by the next group.
    bool FLost = false;
};

}  // namespace rekna
