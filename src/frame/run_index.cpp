// The run index: chunks of rows that follow the memo's edits, and their summaries.
#include "frame/run_index.h"

#include <algorithm>
#include <sstream>

#include "editor/store/umemo_strings.h"
#include "engine/vari_list.h"

namespace rekna {

TRunIndex::TRunIndex(const TUMemoStrings& memo) : FMemo(memo) {
    Reset();
}

void TRunIndex::Reset() {
    FChunks.clear();
    FEndExtra.clear();
    const std::int32_t rows = FMemo.GetCount();
    for (std::int32_t at = 0; at < rows; at += kTargetRows) {
        TChunk c;
        c.Rows = std::min(kTargetRows, rows - at);
        c.AllEdited = true;
        FChunks.push_back(std::move(c));
    }
    Renumber();
}

void TRunIndex::Renumber() noexcept {
    FStarts.resize(FChunks.size());
    std::int32_t at = 0;
    for (std::size_t c = 0; c < FChunks.size(); ++c) {
        FStarts[c] = at;
        at += FChunks[c].Rows;
    }
    FShiftFrom = 0;
    FShift = 0;
}

void TRunIndex::MoveShift(std::size_t chunk) noexcept {
    if (FShift != 0) {
        if (chunk > FShiftFrom) {
            for (std::size_t k = FShiftFrom; k < chunk; ++k)
                FStarts[k] += FShift;
        } else {
            for (std::size_t k = chunk; k < FShiftFrom; ++k)
                FStarts[k] -= FShift;
        }
    }
    FShiftFrom = chunk;
}

void TRunIndex::ShiftAfter(std::size_t chunk, std::int32_t delta) noexcept {
    MoveShift(chunk + 1);
    FShift += delta;
}

std::int32_t TRunIndex::StartOf(int chunk) const noexcept {
    const auto c = static_cast<std::size_t>(chunk);
    if (c >= FStarts.size()) return FMemo.GetCount();
    return FStarts[c] + (c >= FShiftFrom ? FShift : 0);
}

std::pair<int, std::int32_t> TRunIndex::Locate(std::int32_t row) const noexcept {
    if (FChunks.empty()) return {0, 0};
    std::size_t lo = 0;
    std::size_t hi = FChunks.size();
    while (hi - lo > 1) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (StartOf(static_cast<int>(mid)) <= row)
            lo = mid;
        else
            hi = mid;
    }
    return {static_cast<int>(lo), row - StartOf(static_cast<int>(lo))};
}

int TRunIndex::ChunkOf(std::int32_t row) const noexcept {
    return Locate(row).first;
}

void TRunIndex::MarkEdited(TChunk& c, std::int32_t offset) {
    if (c.AllEdited) return;
    const auto it = std::lower_bound(c.Edited.begin(), c.Edited.end(), offset);
    if (it == c.Edited.end() || *it != offset) c.Edited.insert(it, offset);
}

void TRunIndex::RowChanged(std::int32_t row) {
    if (FChunks.empty()) return;
    const auto [c, off] = Locate(row);
    MarkEdited(FChunks[static_cast<std::size_t>(c)], off);
}

void TRunIndex::SplitIfLarge(std::size_t chunk) {
    TChunk& big = FChunks[chunk];
    if (big.Rows <= kMaxRows) return;
    std::vector<TChunk> parts;
    for (std::int32_t at = 0; at < big.Rows; at += kTargetRows) {
        TChunk part;
        part.Rows = std::min(kTargetRows, big.Rows - at);
        part.AllEdited = big.AllEdited;
        for (const std::int32_t e : big.Edited) {
            if (e >= at && e < at + part.Rows) part.Edited.push_back(e - at);
        }
        for (const auto& [off, key] : big.Extra) {
            if (off >= at && off < at + part.Rows) part.Extra.emplace_back(off - at, key);
        }
        parts.push_back(std::move(part));
    }
    FChunks.erase(FChunks.begin() + static_cast<std::ptrdiff_t>(chunk));
    FChunks.insert(FChunks.begin() + static_cast<std::ptrdiff_t>(chunk),
                   std::make_move_iterator(parts.begin()), std::make_move_iterator(parts.end()));
    Renumber();
}

void TRunIndex::RowsInserted(std::int32_t row, std::int32_t count) {
    if (count <= 0) return;
    if (FChunks.empty()) {
        Reset();
        return;
    }
    auto [ci, off] = Locate(row);
    const auto c = static_cast<std::size_t>(ci);
    TChunk& chunk = FChunks[c];
    chunk.Stale = true;
    if (!chunk.AllEdited) {
        for (std::int32_t& e : chunk.Edited) {
            if (e >= off) e += count;
        }
        std::vector<std::int32_t> added;
        for (std::int32_t k = 0; k < count; ++k)
            added.push_back(off + k);
        std::vector<std::int32_t> merged;
        std::merge(chunk.Edited.begin(), chunk.Edited.end(), added.begin(), added.end(),
                   std::back_inserter(merged));
        chunk.Edited.swap(merged);
    }
    for (auto& [e, key] : chunk.Extra) {
        if (e >= off) e += count;
    }
    chunk.Rows += count;
    ShiftAfter(c, count);
    SplitIfLarge(c);
}

void TRunIndex::RemoveEmpty(std::size_t chunk) {
    FChunks.erase(FChunks.begin() + static_cast<std::ptrdiff_t>(chunk));
    Renumber();
}

void TRunIndex::RowsRemoving(std::int32_t row, std::int32_t count) {
    if (count <= 0 || FChunks.empty()) return;
    // What the removed lines wrote reaches the lines after them.
    std::vector<TDepKey> keys;
    for (std::int32_t r = row; r < row + count; ++r) {
        const TDepsView deps(FMemo.Answer(r).Deps());
        deps.ForEachWrite([&keys](TDepKey key, std::string_view) { keys.push_back(key); });
    }
    auto [ci, off] = Locate(row);
    auto c = static_cast<std::size_t>(ci);
    std::int32_t left = count;
    std::vector<std::pair<std::int32_t, TDepKey>> carried;
    while (left > 0 && c < FChunks.size()) {
        TChunk& chunk = FChunks[c];
        const std::int32_t n = std::min(left, chunk.Rows - off);
        chunk.Stale = true;
        std::vector<std::int32_t> edited;
        for (const std::int32_t e : chunk.Edited) {
            if (e < off) {
                edited.push_back(e);
            } else if (e >= off + n) {
                edited.push_back(e - n);
            }
        }
        chunk.Edited.swap(edited);
        std::vector<std::pair<std::int32_t, TDepKey>> extra;
        for (const auto& [e, key] : chunk.Extra) {
            if (e < off) {
                extra.emplace_back(e, key);
            } else if (e >= off + n) {
                extra.emplace_back(e - n, key);
            } else {
                carried.emplace_back(0, key);
            }
        }
        chunk.Extra.swap(extra);
        chunk.Rows -= n;
        ShiftAfter(c, -n);
        left -= n;
        if (chunk.Rows == 0) {
            RemoveEmpty(c);
        } else {
            ++c;
        }
        off = 0;
    }
    for (const auto& [e, key] : carried)
        keys.push_back(key);
    // The memo still holds the rows.
    const std::int32_t total = FMemo.GetCount() - count;
    if (row >= total || FChunks.empty()) {
        FEndExtra.insert(FEndExtra.end(), keys.begin(), keys.end());
        return;
    }
    // The row after the removed ones is looked at again, with what they wrote.
    const auto [ni, noff] = Locate(row);
    TChunk& next = FChunks[static_cast<std::size_t>(ni)];
    MarkEdited(next, noff);
    for (const TDepKey key : keys)
        next.Extra.emplace_back(noff, key);
    std::stable_sort(next.Extra.begin(), next.Extra.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

void TRunIndex::Rebuild(TChunk& c, int chunk) {
    TSummary& s = c.Sum;
    s.Reads.clear();
    s.Writes.clear();
    s.Net.clear();
    s.Volatile = false;
    s.ReadsAll = false;
    const std::int32_t start = StartOf(chunk);
    std::vector<std::pair<TDepKey, std::string_view>> writes;
    for (std::int32_t r = start; r < start + c.Rows; ++r) {
        const TDepsView deps(FMemo.Answer(r).Deps());
        if (deps.Volatile()) s.Volatile = true;
        if (deps.ReadsAll()) s.ReadsAll = true;
        deps.ForEachRead([&s](TDepKey key) { s.Reads.push_back(key); });
        deps.ForEachWrite(
            [&writes](TDepKey key, std::string_view bytes) { writes.emplace_back(key, bytes); });
    }
    std::sort(s.Reads.begin(), s.Reads.end());
    s.Reads.erase(std::unique(s.Reads.begin(), s.Reads.end()), s.Reads.end());
    // The last write of a key stands.
    std::stable_sort(writes.begin(), writes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < writes.size(); ++i) {
        if (i + 1 < writes.size() && writes[i + 1].first == writes[i].first) continue;
        s.Writes.push_back(writes[i].first);
        s.Net.append(writes[i].second);
    }
    s.Reads.shrink_to_fit();
    s.Writes.shrink_to_fit();
    s.Net.shrink_to_fit();
    c.Stale = false;
    c.NetStale = false;
}

const TRunIndex::TSummary& TRunIndex::Summary(int chunk) {
    TChunk& c = FChunks[static_cast<std::size_t>(chunk)];
    if (c.Stale || c.NetStale) Rebuild(c, chunk);
    return c.Sum;
}

const std::vector<TDepKey>& TRunIndex::Reads(int chunk) {
    TChunk& c = FChunks[static_cast<std::size_t>(chunk)];
    if (c.Stale) Rebuild(c, chunk);
    return c.Sum.Reads;
}

bool TRunIndex::Volatile(int chunk) {
    TChunk& c = FChunks[static_cast<std::size_t>(chunk)];
    if (c.Stale) Rebuild(c, chunk);
    return c.Sum.Volatile;
}

bool TRunIndex::ReadsAll(int chunk) {
    TChunk& c = FChunks[static_cast<std::size_t>(chunk)];
    if (c.Stale) Rebuild(c, chunk);
    return c.Sum.ReadsAll;
}

void TRunIndex::ApplyNet(int chunk, TVariList& vars) {
    std::string_view net = Summary(chunk).Net;
    while (!net.empty()) {
        const std::size_t n = TDepsView::FirstWriteSize(net);
        TDepsView::Apply(net.substr(0, n), vars);
        net.remove_prefix(n);
    }
}

bool TRunIndex::HasEdits(int chunk) const noexcept {
    const TChunk& c = FChunks[static_cast<std::size_t>(chunk)];
    return c.AllEdited || !c.Edited.empty() || !c.Extra.empty();
}

bool TRunIndex::Edited(int chunk, std::int32_t offset) const noexcept {
    const TChunk& c = FChunks[static_cast<std::size_t>(chunk)];
    return c.AllEdited || std::binary_search(c.Edited.begin(), c.Edited.end(), offset);
}

void TRunIndex::TakeExtra(int chunk, std::int32_t offset, TDepKeySet& into) {
    TChunk& c = FChunks[static_cast<std::size_t>(chunk)];
    if (c.Extra.empty()) return;
    auto it = c.Extra.begin();
    while (it != c.Extra.end() && it->first < offset)
        ++it;
    auto end = it;
    while (end != c.Extra.end() && end->first == offset)
        into.Insert((end++)->second);
    c.Extra.erase(it, end);
}

void TRunIndex::TakeEndExtra(TDepKeySet& into) {
    for (const TDepKey key : FEndExtra)
        into.Insert(key);
    FEndExtra.clear();
}

void TRunIndex::RowDone(int chunk, std::int32_t offset, bool changed, const TDepsView& after) {
    TChunk& c = FChunks[static_cast<std::size_t>(chunk)];
    if (changed && !c.Stale) {
        // The reads only grow until the chunk is read again; its writes are made anew when
        // they are needed.
        std::vector<TDepKey>& reads = c.Sum.Reads;
        after.ForEachRead([&reads](TDepKey key) {
            const auto it = std::lower_bound(reads.begin(), reads.end(), key);
            if (it == reads.end() || *it != key) reads.insert(it, key);
        });
        if (after.Volatile()) c.Sum.Volatile = true;
        if (after.ReadsAll()) c.Sum.ReadsAll = true;
        c.NetStale = true;
    }
    if (c.AllEdited) {
        // Every other row of the chunk stays edited.
        c.AllEdited = false;
        c.Edited.clear();
        for (std::int32_t k = 0; k < c.Rows; ++k) {
            if (k != offset) c.Edited.push_back(k);
        }
        return;
    }
    const auto it = std::lower_bound(c.Edited.begin(), c.Edited.end(), offset);
    if (it != c.Edited.end() && *it == offset) c.Edited.erase(it);
    // A memo's first run leaves every chunk's list empty: it gives its memory back.
    if (c.Edited.empty()) std::vector<std::int32_t>().swap(c.Edited);
}

int TRunIndex::NextBusyChunk(int chunk) {
    for (int c = chunk; c < ChunkCount(); ++c) {
        if (HasEdits(c) || Volatile(c)) return c;
    }
    return ChunkCount();
}

bool TRunIndex::AnyEdits() const noexcept {
    if (!FEndExtra.empty()) return true;
    for (int c = 0; c < ChunkCount(); ++c) {
        if (HasEdits(c)) return true;
    }
    return false;
}

std::string TRunIndex::Check() const {
    std::ostringstream out;
    std::int32_t at = 0;
    for (int c = 0; c < ChunkCount(); ++c) {
        const TChunk& chunk = FChunks[static_cast<std::size_t>(c)];
        if (StartOf(c) != at) out << "chunk " << c << " starts at " << StartOf(c) << "; ";
        if (chunk.Rows <= 0) out << "chunk " << c << " is empty; ";
        for (const std::int32_t e : chunk.Edited) {
            if (e < 0 || e >= chunk.Rows) out << "chunk " << c << " edits row " << e << "; ";
        }
        at += chunk.Rows;
    }
    if (at != FMemo.GetCount()) out << "the chunks hold " << at << " rows; ";
    return out.str();
}

}  // namespace rekna
