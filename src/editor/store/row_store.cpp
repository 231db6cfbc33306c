// The blocked row array: lookup, insertion and deletion, and the per-block statistics.
#include "editor/store/row_store.h"

#include <algorithm>
#include <atomic>
#include <sstream>

namespace rekna {

std::pair<std::size_t, std::int32_t> TRowStore::Locate(std::int32_t row) const noexcept {
    const std::size_t hint = FHint;
    if (hint < FBlocks.size()) {
        const std::int32_t start = StartOf(hint);
        if (row >= start && row < start + static_cast<std::int32_t>(FBlocks[hint]->Rows.size()))
            return {hint, row - start};
    }
    // The last block that starts at or before the row.
    std::size_t lo = 0;
    std::size_t hi = FBlocks.size();
    while (hi - lo > 1) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (StartOf(mid) <= row)
            lo = mid;
        else
            hi = mid;
    }
    FHint = lo;
    return {lo, row - StartOf(lo)};
}

const TUMemoStringItem& TRowStore::At(std::int32_t row) const noexcept {
    const auto [b, i] = Locate(row);
    return FBlocks[b]->Rows[static_cast<std::size_t>(i)];
}

TUMemoStringItem& TRowStore::Host(std::int32_t row) noexcept {
    const auto [b, i] = Locate(row);
    return FBlocks[b]->Rows[static_cast<std::size_t>(i)];
}

void TRowStore::MoveShift(std::size_t b) noexcept {
    if (FShift != 0) {
        if (b > FShiftFrom) {
            for (std::size_t k = FShiftFrom; k < b; ++k)
                FStarts[k] += FShift;
        } else {
            for (std::size_t k = b; k < FShiftFrom; ++k)
                FStarts[k] -= FShift;
        }
    }
    FShiftFrom = b;
}

void TRowStore::ShiftStarts(std::size_t fromBlock, std::int32_t delta) noexcept {
    MoveShift(fromBlock);
    FShift += delta;
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
    RecountBlock(full);
    RecountBlock(*upper);
    const std::int32_t upperStart = StartOf(b) + static_cast<std::int32_t>(half);
    // The new block joins the shifted ones, and so do the blocks after it.
    MoveShift(b + 1);
    FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(upper));
    FStarts.insert(FStarts.begin() + static_cast<std::ptrdiff_t>(b) + 1, upperStart - FShift);
}

void TRowStore::RemoveBlock(std::size_t b) {
    // The blocks after it stay shifted as they move down one place.
    MoveShift(b + 1);
    FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(b));
    FStarts.erase(FStarts.begin() + static_cast<std::ptrdiff_t>(b));
    FShiftFrom = b;
    FHint = 0;
}

void TRowStore::Insert(std::int32_t row, TUMemoStringItem&& item) {
    if (row == FCount) {
        PushBack(std::move(item));
        return;
    }
    auto [b, i] = Locate(row);
    // A row that goes between two blocks joins the one above while it has room: rows inserted
    // one after another then move no rows at all.
    if (i == 0 && b > 0 && static_cast<std::int32_t>(FBlocks[b - 1]->Rows.size()) < kBlockRows) {
        --b;
        i = static_cast<std::int32_t>(FBlocks[b]->Rows.size());
    } else if (static_cast<std::int32_t>(FBlocks[b]->Rows.size()) >= kBlockRows) {
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
    NoteEdit(row, 0, true);
}

void TRowStore::PushBack(TUMemoStringItem&& item) {
    if (FBlocks.empty() || static_cast<std::int32_t>(FBlocks.back()->Rows.size()) >= kBlockRows) {
        auto block = std::make_unique<TBlock>();
        block->Rows.reserve(kBlockRows);
        FBlocks.push_back(std::move(block));
        FStarts.push_back(FCount - (FBlocks.size() - 1 >= FShiftFrom ? FShift : 0));
    }
    TBlock& block = *FBlocks.back();
    const std::int32_t width = item.Width;
    if (item.Continued == 0) ++block.HardCount;
    block.Rows.push_back(std::move(item));
    NoteWidthAdded(block, width);
    NoteEdit(FCount, 0, true);
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
    NoteEdit(row, 0, true);
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

void TRowStore::RenumberBlocks() noexcept {
    std::int32_t start = 0;
    for (std::size_t b = 0; b < FBlocks.size(); ++b) {
        FStarts[b] = start;
        start += static_cast<std::int32_t>(FBlocks[b]->Rows.size());
    }
    FShiftFrom = FBlocks.size();
    FShift = 0;
    FHint = 0;
}

void TRowStore::RecountBlock(TBlock& block) noexcept {
    block.HardCount = static_cast<std::int32_t>(
        std::count_if(block.Rows.begin(), block.Rows.end(),
                      [](const TUMemoStringItem& item) { return item.Continued == 0; }));
    RescanBlock(block);
}

void TRowStore::EraseRange(std::int32_t row, std::int32_t count) {
    count = std::min(count, FCount - row);
    if (count <= 0) return;
    if (count == 1) {
        Erase(row);
        return;
    }
    auto [b, i] = Locate(row);
    const std::size_t first = b;
    std::int32_t left = count;
    while (left > 0) {
        TBlock& block = *FBlocks[b];
        const std::int32_t size = static_cast<std::int32_t>(block.Rows.size());
        const std::int32_t take = std::min(left, size - i);
        const auto from = block.Rows.begin() + i;
        for (auto it = from; it != from + take; ++it) {
            if (it->Continued == 0) --block.HardCount;
            NoteWidthRemoved(block, it->Width);
        }
        block.Rows.erase(from, from + take);
        left -= take;
        ++b;
        i = 0;
    }
    FCount -= count;
    NoteEdit(row, 0, true);
    // The emptied blocks go in one sweep; a short block at the seam joins its neighbour.
    const auto end = static_cast<std::ptrdiff_t>(b);
    const auto kept =
        std::remove_if(FBlocks.begin() + static_cast<std::ptrdiff_t>(first), FBlocks.begin() + end,
                       [](const std::unique_ptr<TBlock>& block) { return block->Rows.empty(); });
    FBlocks.erase(kept, FBlocks.begin() + end);
    FStarts.resize(FBlocks.size());
    if (first + 1 < FBlocks.size() &&
        FBlocks[first]->Rows.size() + FBlocks[first + 1]->Rows.size() <=
            static_cast<std::size_t>(kBlockRows / 2)) {
        TBlock& block = *FBlocks[first];
        TBlock& next = *FBlocks[first + 1];
        std::move(next.Rows.begin(), next.Rows.end(), std::back_inserter(block.Rows));
        block.HardCount += next.HardCount;
        block.MaxWidth = std::max(block.MaxWidth, next.MaxWidth);
        block.MaxStale = block.MaxStale || next.MaxStale;
        FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(first) + 1);
        FStarts.pop_back();
    }
    RenumberBlocks();
}

void TRowStore::InsertRange(std::int32_t row, std::vector<TUMemoStringItem>&& items) {
    if (items.empty()) return;
    if (items.size() == 1 || row == FCount) {
        for (std::size_t k = 0; k < items.size(); ++k)
            Insert(row + static_cast<std::int32_t>(k), std::move(items[k]));
        return;
    }
    const auto [b, i] = Locate(row);
    // The block is cut at the row; the new rows fill it up, then new full blocks, then the cut
    // tail follows them.
    TBlock& cut = *FBlocks[b];
    std::vector<TUMemoStringItem> tail;
    tail.reserve(cut.Rows.size() - static_cast<std::size_t>(i));
    std::move(cut.Rows.begin() + i, cut.Rows.end(), std::back_inserter(tail));
    cut.Rows.erase(cut.Rows.begin() + i, cut.Rows.end());
    std::vector<std::unique_ptr<TBlock>> added;
    TBlock* target = &cut;
    auto put = [&](TUMemoStringItem&& item) {
        if (static_cast<std::int32_t>(target->Rows.size()) >= kBlockRows) {
            added.push_back(std::make_unique<TBlock>());
            target = added.back().get();
            target->Rows.reserve(kBlockRows);
        }
        if (item.Width >= FMaxWidth) {
            FMaxWidth = item.Width;
            FMaxStale = false;
        }
        target->Rows.push_back(std::move(item));
    };
    for (TUMemoStringItem& item : items)
        put(std::move(item));
    for (TUMemoStringItem& item : tail)
        put(std::move(item));
    RecountBlock(cut);
    for (const auto& block : added)
        RecountBlock(*block);
    FCount += static_cast<std::int32_t>(items.size());
    NoteEdit(row, 0, true);
    FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(b) + 1,
                   std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    FStarts.resize(FBlocks.size());
    RenumberBlocks();
}

void TRowStore::SetText(std::int32_t row, std::string&& text, std::int32_t width, bool tabs) {
    const auto [b, i] = Locate(row);
    TBlock& block = *FBlocks[b];
    TUMemoStringItem& item = block.Rows[static_cast<std::size_t>(i)];
    if (width < item.Width) NoteWidthRemoved(block, item.Width);
    item.Text = std::move(text);
    item.Width = width;
    item.Tabs = tabs ? 1 : 0;
    NoteWidthAdded(block, width);
    NoteEdit(row, 0, false);
}

void TRowStore::Splice(std::int32_t row, std::size_t at, std::size_t count, std::string_view bytes,
                       std::int32_t width, bool tabs) {
    const auto [b, i] = Locate(row);
    TBlock& block = *FBlocks[b];
    TUMemoStringItem& item = block.Rows[static_cast<std::size_t>(i)];
    if (width < item.Width) NoteWidthRemoved(block, item.Width);
    item.Text.replace(at, count, bytes);
    item.Width = width;
    item.Tabs = tabs ? 1 : 0;
    NoteWidthAdded(block, width);
    NoteEdit(row, at, false);
}

std::uint64_t TRowStore::TSerial::Next() noexcept {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

void TRowStore::NoteEdit(std::int32_t row, std::size_t same, bool moved) noexcept {
    ++FGeneration;
    FEdits[FGeneration % kEditsKept] = {FGeneration, same, row, moved};
}

std::optional<std::size_t> TRowStore::SameSince(TEditStamp stamp, std::int32_t row) const noexcept {
    const std::uint64_t generation = stamp.Generation;
    if (stamp.Serial != FSerial.Value || generation > FGeneration ||
        FGeneration - generation > kEditsKept)
        return std::nullopt;
    std::size_t same = At(row).Text.size();
    for (std::uint64_t g = generation + 1; g <= FGeneration; ++g) {
        const TEdit& edit = FEdits[g % kEditsKept];
        if (edit.Moved && edit.Row <= row) return std::nullopt;
        if (!edit.Moved && edit.Row == row) same = std::min(same, edit.Same);
    }
    return same;
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
    NoteEdit(0, 0, true);
    FBlocks.clear();
    FStarts.clear();
    FCount = 0;
    FHint = 0;
    FShiftFrom = 0;
    FShift = 0;
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
                    return StartOf(b) + k + 1;
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
                if (block.Rows[static_cast<std::size_t>(k)].Continued == 0) return StartOf(b) + k;
        }
        if (b + 1 == FBlocks.size()) return FCount - 1;
        ++b;
        i = 0;
    }
}

std::int32_t TRowStore::LinesBefore(std::int32_t row) const noexcept {
    if (FCount == 0 || row <= 0) return 0;
    if (row >= FCount) return LinesBefore(FCount - 1) + (At(FCount - 1).Continued == 0 ? 1 : 0);
    const auto [b, i] = Locate(row);
    std::int32_t lines = 0;
    for (std::size_t k = 0; k < b; ++k)
        lines += FBlocks[k]->HardCount;
    const TBlock& block = *FBlocks[b];
    for (std::int32_t k = 0; k < i; ++k)
        if (block.Rows[static_cast<std::size_t>(k)].Continued == 0) ++lines;
    return lines;
}

std::string TRowStore::CheckBlocks() const {
    std::ostringstream out;
    std::int32_t start = 0;
    std::int32_t widest = 0;
    for (std::size_t b = 0; b < FBlocks.size(); ++b) {
        const TBlock& block = *FBlocks[b];
        if (StartOf(b) != start) out << "block " << b << " starts at " << StartOf(b) << "; ";
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
