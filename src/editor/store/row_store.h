// TRowStore: the row array of the line store, kept in blocks so that inserting or deleting a row
// in the middle of a million rows moves at most one block's rows. The first rows of the blocks
// carry one pending shift: the blocks from FShiftFrom on start FShift rows later than their
// entries say. An edit moves that point to its own block, so a run of edits near one place
// costs no pass over the blocks per row, and a lookup anywhere stays a binary search.
#pragma once

#include "editor/store/umemo_string_item.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rekna {

// A store's state as of one of its edits: the store by its serial (0 for none) and the edit
// generation it had then.
struct TEditStamp {
    std::uint64_t Serial = 0;
    std::uint64_t Generation = 0;
    friend bool operator==(const TEditStamp&, const TEditStamp&) = default;
};

class TRowStore {
public:
    // Rows per block at most; loading fills blocks to this size.
    static constexpr std::int32_t kBlockRows = 64;

    TRowStore() = default;
    TRowStore(const TRowStore&) = delete;
    TRowStore& operator=(const TRowStore&) = delete;
    TRowStore(TRowStore&&) noexcept = default;
    TRowStore& operator=(TRowStore&&) noexcept = default;
    ~TRowStore() = default;

    [[nodiscard]] std::int32_t Count() const noexcept { return FCount; }

    // Every row argument below must lie in 0 .. Count() - 1 (Insert: 0 .. Count()).
    [[nodiscard]] const TUMemoStringItem& At(std::int32_t row) const noexcept;
    // Write access to the fields no block statistic depends on: Note, Result, Value, HangLength,
    // RowMark and ResultMark. Text, Width, Tabs and Continued change only through SetText,
    // Splice, SetWidth and SetContinued, which keep the statistics and the edit generations.
    [[nodiscard]] TUMemoStringItem& Host(std::int32_t row) noexcept;

    // item.Width must equal the width of item.Text, item.Tabs tell whether it holds a Tab.
    void Insert(std::int32_t row, TUMemoStringItem&& item);
    void PushBack(TUMemoStringItem&& item);
    void Erase(std::int32_t row);
    // count rows from row on, and a run of new rows before row (0 .. Count()): one pass over the
    // blocks instead of one per row.
    void EraseRange(std::int32_t row, std::int32_t count);
    void InsertRange(std::int32_t row, std::vector<TUMemoStringItem>&& items);
    void SetText(std::int32_t row, std::string&& text, std::int32_t width, bool tabs);
    // Replaces count bytes of the row's text from the 0-based offset at by bytes where they
    // are (at and count must lie in the text, bytes must not view it); width is the new text's.
    void Splice(std::int32_t row, std::size_t at, std::size_t count, std::string_view bytes,
                std::int32_t width, bool tabs);
    void SetContinued(std::int32_t row, bool continued) noexcept;
    // A new width for an unchanged text (the tab stops changed).
    void SetWidth(std::int32_t row, std::int32_t width) noexcept;
    void Clear() noexcept;

    // The widest Width; after the widest row shrank or went, only the blocks it touched are
    // scanned again.
    [[nodiscard]] std::int32_t MaxWidth() const noexcept;

    // Logical lines: blocks whose rows are all continued are skipped whole.
    [[nodiscard]] std::int32_t FirstRowOfLine(std::int32_t row) const noexcept;
    [[nodiscard]] std::int32_t LastRowOfLine(std::int32_t row) const noexcept;
    // The rows before row that end a logical line: the line (from 0) that row belongs to.
    [[nodiscard]] std::int32_t LinesBefore(std::int32_t row) const noexcept;

    // --- Edit generations. Every change of a row's text, and every insertion or deletion of rows,
    // advances the generation; the last kEditsKept of them are kept, so that a reader that noted
    // the stamp when it read a row can learn what of it is still the same. The serial tells this
    // store's rows from those of every other store (a store moved from takes a new one).
    static constexpr std::size_t kEditsKept = 16;
    [[nodiscard]] TEditStamp Stamp() const noexcept { return {FSerial.Value, FGeneration}; }
    // The leading bytes of the row's text (row in range) that have stayed the same since stamp;
    // nullopt when that is not known: the stamp is not one of this store's last kEditsKept
    // generations, or rows were inserted or deleted at or above the row since.
    [[nodiscard]] std::optional<std::size_t> SameSince(TEditStamp stamp,
                                                       std::int32_t row) const noexcept;

    // Empty when the block bookkeeping agrees with the rows; otherwise what is wrong.
    [[nodiscard]] std::string CheckBlocks() const;
    [[nodiscard]] std::size_t BlockCount() const noexcept { return FBlocks.size(); }

private:
    struct TBlock {
        std::vector<TUMemoStringItem> Rows;
        std::int32_t MaxWidth = 0;   // not below any row's Width
        std::int32_t HardCount = 0;  // rows without Continued
        bool MaxStale = false;       // MaxWidth may be above every row's Width
    };

    // Block index and offset of a row.
    [[nodiscard]] std::pair<std::size_t, std::int32_t> Locate(std::int32_t row) const noexcept;
    // The first row of block b.
    [[nodiscard]] std::int32_t StartOf(std::size_t b) const noexcept {
        return FStarts[b] + (b >= FShiftFrom ? FShift : 0);
    }
    // Blocks from fromBlock on start delta rows later.
    void ShiftStarts(std::size_t fromBlock, std::int32_t delta) noexcept;
    // The pending shift applies from block b on; no start changes.
    void MoveShift(std::size_t b) noexcept;
    void SplitBlock(std::size_t b);
    void RemoveBlock(std::size_t b);
    // Every start from the rows, no shift pending.
    void RenumberBlocks() noexcept;
    static void RecountBlock(TBlock& block) noexcept;
    void NoteWidthAdded(TBlock& block, std::int32_t width) noexcept;
    void NoteWidthRemoved(TBlock& block, std::int32_t width) noexcept;
    static void RescanBlock(TBlock& block) noexcept;

    // One change of the edit generations: the text of Row changed behind its first Same bytes,
    // or (Moved) rows from Row on were inserted or deleted.
    struct TEdit {
        std::uint64_t Generation = 0;
        std::size_t Same = 0;
        std::int32_t Row = 0;
        bool Moved = false;
    };
    struct TSerial {
        std::uint64_t Value = Next();
        TSerial() noexcept = default;
        TSerial(TSerial&& other) noexcept : Value(std::exchange(other.Value, Next())) {}
        TSerial& operator=(TSerial&& other) noexcept {
            Value = std::exchange(other.Value, Next());
            return *this;
        }
        ~TSerial() = default;
        TSerial(const TSerial&) = delete;
        TSerial& operator=(const TSerial&) = delete;
        [[nodiscard]] static std::uint64_t Next() noexcept;
    };
    void NoteEdit(std::int32_t row, std::size_t same, bool moved) noexcept;

    std::vector<std::unique_ptr<TBlock>> FBlocks;
    std::vector<std::int32_t> FStarts;  // first row of each block, before the pending shift
    std::size_t FShiftFrom = 0;
    std::int32_t FShift = 0;
    std::int32_t FCount = 0;
    mutable std::size_t FHint = 0;  // the block of the last lookup
    mutable std::int32_t FMaxWidth = 0;
    mutable bool FMaxStale = false;
    std::uint64_t FGeneration = 0;
    std::array<TEdit, kEditsKept> FEdits{};
    TSerial FSerial;
};

}  // namespace rekna
