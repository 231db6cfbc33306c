// TRowStore: the row array of the line store, kept in blocks so that inserting or deleting a row
// in the middle of a million rows moves at most one block's rows.
#pragma once

#include "editor/store/umemo_string_item.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace rekna {

class TRowStore {
public:
    // Rows per block at most; loading fills blocks to this size.
    static constexpr std::int32_t kBlockRows = 256;

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
    // RowMark and ResultMark. Text, Width and Continued change only through SetText and
    // SetContinued.
    [[nodiscard]] TUMemoStringItem& Host(std::int32_t row) noexcept;

    // item.Width must equal the width of item.Text.
    void Insert(std::int32_t row, TUMemoStringItem&& item);
    void PushBack(TUMemoStringItem&& item);
    void Erase(std::int32_t row);
    void SetText(std::int32_t row, std::string&& text, std::int32_t width);
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
    void ShiftStarts(std::size_t fromBlock, std::int32_t delta) noexcept;
    void SplitBlock(std::size_t b);
    void RemoveBlock(std::size_t b);
    void NoteWidthAdded(TBlock& block, std::int32_t width) noexcept;
    void NoteWidthRemoved(TBlock& block, std::int32_t width) noexcept;
    static void RescanBlock(TBlock& block) noexcept;

    std::vector<std::unique_ptr<TBlock>> FBlocks;
    std::vector<std::int32_t> FStarts;  // first row of each block
    std::int32_t FCount = 0;
    mutable std::size_t FHint = 0;  // the block of the last lookup
    mutable std::int32_t FMaxWidth = 0;
    mutable bool FMaxStale = false;
};

}  // namespace rekna
