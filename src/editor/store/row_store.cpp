// The blocked row array: lookup, insertion and deletion, and the per-block statistics.
#include "editor/store/row_store.h"

#include <algorithm>
#include <sstream>

namespace rekna {

std::pair<std::size_t, std::int32_t> TRowStore::Locate(std::int32_t row) const noexcept {
    const std::size_t hint = FHint;
    if (hint < FBlocks.size() && row >= FStarts[hint] &&
        row < FStarts[hint] + static_cast<std::int32_t>(FBlocks[hint]->Rows.size()))
        return {hint, row - FStarts[hint]};
    const auto it = std::upper_bound(FStarts.begin(), FStarts.end(), row);
    const auto b = static_cast<std::size_t>(it - FStarts.begin()) - 1;
    FHint = b;
    return {b, row - FStarts[b]};
}

const TUMemoStringItem& TRowStore::At(std::int32_t row) const noexcept {
    const auto [b, i] = Locate(row);
    return FBlocks[b]->Rows[static_cast<std::size_t>(i)];
}

TUMemoStringItem& TRowStore::Host(std::int32_t row) noexcept {
    const auto [b, i] = Locate(row);
    return FBlocks[b]->Rows[static_cast<std::size_t>(i)];
}

void TRowStore::ShiftStarts(std::size_t fromBlock, std::int32_t delta) noexcept {
    for (std::size_t b = fromBlock; b < FStarts.size(); ++b)
        FStarts[b] += delta;
}

void TRowStore::NoteWidthAdded(TBlock& block, std::int32_t width) noexcept {
    block.MaxWidth = std::max(block.MaxWidth, width);
    if (width >= FMaxWidth) {
        FMaxWidth = width;
        FMaxStale = false;
    }
}

void TRowStore::NoteWidthRemoved(TBlock& block, std::int32_t width) noexcept {
    if (width == block.MaxWidth) block.MaxStale = true;
    if (width == FMaxWidth) FMaxStale = true;
}

void TRowStore::RescanBlock(TBlock& block) noexcept {
    std::int32_t widest = 0;
    for (const TUMemoStringItem& item : block.Rows)
        widest = std::max(widest, item.Width);
    block.MaxWidth = widest;
    block.MaxStale = false;
}

void TRowStore::SplitBlock(std::size_t b) {
    TBlock& full = *FBlocks[b];
    const std::size_t half = full.Rows.size() / 2;
    auto upper = std::make_unique<TBlock>();
    upper->Rows.reserve(kBlockRows);
    std::move(full.Rows.begin() + static_cast<std::ptrdiff_t>(half), full.Rows.end(),
              std::back_inserter(upper->Rows));
    full.Rows.erase(full.Rows.begin() + static_cast<std::ptrdiff_t>(half), full.Rows.end());
    for (TBlock* block : {&full, upper.get()}) {
        block->HardCount = static_cast<std::int32_t>(
            std::count_if(block->Rows.begin(), block->Rows.end(),
                          [](const TUMemoStringItem& item) { return item.Continued == 0; }));
        RescanBlock(*block);
    }
    const std::int32_t upperStart = FStarts[b] + static_cast<std::int32_t>(half);
    FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(upper));
    FStarts.insert(FStarts.begin() + static_cast<std::ptrdiff_t>(b) + 1, upperStart);
}

void TRowStore::RemoveBlock(std::size_t b) {
    FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(b));
    FStarts.erase(FStarts.begin() + static_cast<std::ptrdiff_t>(b));
    FHint = 0;
}

void TRowStore::Insert(std::int32_t row, TUMemoStringItem&& item) {
    if (row == FCount) {
        PushBack(std::move(item));
        return;
    }
    auto [b, i] = Locate(row);
    if (static_cast<std::int32_t>(FBlocks[b]->Rows.size()) >= kBlockRows) {
        SplitBlock(b);
        std::tie(b, i) = Locate(row);
    }
    TBlock& block = *FBlocks[b];
    const std::int32_t width = item.Width;
    const bool hard = item.Continued == 0;
    block.Rows.insert(block.Rows.begin() + i, std::move(item));
    if (hard) ++block.HardCount;
    NoteWidthAdded(block, width);
    ShiftStarts(b + 1, 1);
    ++FCount;
}

void TRowStore::PushBack(TUMemoStringItem&& item) {
    if (FBlocks.empty() || static_cast<std::int32_t>(FBlocks.back()->Rows.size()) >= kBlockRows) {
        auto block = std::make_unique<TBlock>();
        block->Rows.reserve(kBlockRows);
        FBlocks.push_back(std::move(block));
        FStarts.push_back(FCount);
    }
    TBlock& block = *FBlocks.back();
    const std::int32_t width = item.Width;
    if (item.Continued == 0) ++block.HardCount;
    block.Rows.push_back(std::move(item));
    NoteWidthAdded(block, width);
    ++FCount;
}

void TRowStore::Erase(std::int32_t row) {
    const auto [b, i] = Locate(row);
    TBlock& block = *FBlocks[b];
    const TUMemoStringItem& item = block.Rows[static_cast<std::size_t>(i)];
    if (item.Continued == 0) --block.HardCount;
    NoteWidthRemoved(block, item.Width);
    block.Rows.erase(block.Rows.begin() + i);
    ShiftStarts(b + 1, -1);
    --FCount;
    if (block.Rows.empty()) {
        RemoveBlock(b);
        return;
    }
    // Neighbours that together fill less than half a block become one, so that deleting keeps
    // the block count in proportion to the rows.
    if (b + 1 < FBlocks.size() && block.Rows.size() + FBlocks[b + 1]->Rows.size() <=
                                      static_cast<std::size_t>(kBlockRows / 2)) {
        TBlock& next = *FBlocks[b + 1];
        std::move(next.Rows.begin(), next.Rows.end(), std::back_inserter(block.Rows));
        block.HardCount += next.HardCount;
        block.MaxWidth = std::max(block.MaxWidth, next.MaxWidth);
        block.MaxStale = block.MaxStale || next.MaxStale;
        RemoveBlock(b + 1);
    }
}

void TRowStore::SetText(std::int32_t row, std::string&& text, std::int32_t width) {
    const auto [b, i] = Locate(row);
    TBlock& block = *FBlocks[b];
    TUMemoStringItem& item = block.Rows[static_cast<std::size_t>(i)];
    if (width < item.Width) NoteWidthRemoved(block, item.Width);
    item.Text = std::move(text);
    item.Width = width;
    NoteWidthAdded(block, width);
}

void TRowStore::SetWidth(std::int32_t row, std::int32_t width) noexcept {
    const auto [b, i] = Locate(row);
    TBlock& block = *FBlocks[b];
    TUMemoStringItem& item = block.Rows[static_cast<std::size_t>(i)];
    if (width < item.Width) NoteWidthRemoved(block, item.Width);
    item.Width = width;
    NoteWidthAdded(block, width);
}

void TRowStore::SetContinued(std::int32_t row, bool continued) noexcept {
    const auto [b, i] = Locate(row);
    TBlock& block = *FBlocks[b];
    TUMemoStringItem& item = block.Rows[static_cast<std::size_t>(i)];
    const std::uint8_t flag = continued ? 1 : 0;
    if (item.Continued == flag) return;
    block.HardCount += continued ? -1 : 1;
    item.Continued = flag;
}

void TRowStore::Clear() noexcept {
    FBlocks.clear();
    FStarts.clear();
    FCount = 0;
    FHint = 0;
    FMaxWidth = 0;
    FMaxStale = false;
}

std::int32_t TRowStore::MaxWidth() const noexcept {
    if (FMaxStale) {
        std::int32_t widest = 0;
        for (const auto& block : FBlocks) {
            if (block->MaxStale) RescanBlock(*block);
            widest = std::max(widest, block->MaxWidth);
        }
        FMaxWidth = widest;
        FMaxStale = false;
    }
    return FMaxWidth;
}

std::int32_t TRowStore::FirstRowOfLine(std::int32_t row) const noexcept {
    auto [b, i] = Locate(row);
    // Looks for the nearest row above with a hard break.
    for (;;) {
        const TBlock& block = *FBlocks[b];
        if (i > 0 && block.HardCount > 0) {
            for (std::int32_t k = i - 1; k >= 0; --k)
                if (block.Rows[static_cast<std::size_t>(k)].Continued == 0)
                    return FStarts[b] + k + 1;
        }
        if (b == 0) return 0;
        --b;
        i = static_cast<std::int32_t>(FBlocks[b]->Rows.size());
    }
}

std::int32_t TRowStore::LastRowOfLine(std::int32_t row) const noexcept {
    auto [b, i] = Locate(row);
    for (;;) {
        const TBlock& block = *FBlocks[b];
        if (block.HardCount > 0) {
            const auto size = static_cast<std::int32_t>(block.Rows.size());
            for (std::int32_t k = i; k < size; ++k)
                if (block.Rows[static_cast<std::size_t>(k)].Continued == 0) return FStarts[b] + k;
        }
        if (b + 1 == FBlocks.size()) return FCount - 1;
        ++b;
        i = 0;
    }
}

std::string TRowStore::CheckBlocks() const {
    std::ostringstream out;
    std::int32_t start = 0;
    std::int32_t widest = 0;
    for (std::size_t b = 0; b < FBlocks.size(); ++b) {
        const TBlock& block = *FBlocks[b];
        if (FStarts[b] != start) out << "block " << b << " starts at " << FStarts[b] << "; ";
        if (block.Rows.empty()) out << "block " << b << " is empty; ";
        std::int32_t hard = 0;
        std::int32_t blockWidest = 0;
        for (const TUMemoStringItem& item : block.Rows) {
            hard += item.Continued == 0 ? 1 : 0;
            blockWidest = std::max(blockWidest, item.Width);
        }
        if (hard != block.HardCount) out << "block " << b << " hard count; ";
        if (block.MaxWidth < blockWidest || (!block.MaxStale && block.MaxWidth != blockWidest))
            out << "block " << b << " widest row; ";
        widest = std::max(widest, blockWidest);
        start += static_cast<std::int32_t>(block.Rows.size());
    }
    if (start != FCount) out << "count " << FCount << " for " << start << " rows; ";
    if (MaxWidth() != widest) out << "MaxWidth " << MaxWidth() << " for " << widest << "; ";
    return out.str();
}

}  // namespace rekna
