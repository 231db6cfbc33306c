// TRunIndex: the memo's rows in chunks of a few dozen, each with what the lines on its rows read
// and wrote (from their answers), the rows edited since their line was last calculated and the
// names that rows which went away wrote; a sheet run passes a chunk whose rows read nothing it has
// changed without looking at them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/line_deps.h"

namespace rekna {

class TUMemoStrings;
class TVariList;

class TRunIndex {
public:
    explicit TRunIndex(const TUMemoStrings& memo);

    // The memo's rows changed: removals before the rows go, the rest after.
    void RowsRemoving(std::int32_t row, std::int32_t count);
    void RowsInserted(std::int32_t row, std::int32_t count);
    void RowChanged(std::int32_t row);
    // Every row is new, and edited.
    void Reset();

    [[nodiscard]] int ChunkCount() const noexcept { return static_cast<int>(FChunks.size()); }
    // The chunk that holds the row (0 .. memo rows - 1).
    [[nodiscard]] int ChunkOf(std::int32_t row) const noexcept;
    [[nodiscard]] std::int32_t StartOf(int chunk) const noexcept;
    [[nodiscard]] std::int32_t EndOf(int chunk) const noexcept {
        return StartOf(chunk) + FChunks[static_cast<std::size_t>(chunk)].Rows;
    }

    // What the lines on the chunk's rows read (ascending, without repeats) and wrote: the keys
    // and, for each key, the write of the last line that wrote it, in TDepsView's form.
    struct TSummary {
        std::vector<TDepKey> Reads;
        std::vector<TDepKey> Writes;
        std::string Net;
        bool Volatile = false;  // a line calculated in every run
        bool ReadsAll = false;  // a line that any change before it reaches
    };
    [[nodiscard]] const TSummary& Summary(int chunk);
    // The keys the chunk's lines read (ascending; perhaps more than they read now, never fewer)
    // and whether one of them is calculated in every run, without reading the rows when only
    // their writes may have changed.
    [[nodiscard]] const std::vector<TDepKey>& Reads(int chunk);
    [[nodiscard]] bool Volatile(int chunk);
    [[nodiscard]] bool ReadsAll(int chunk);
    // Puts the chunk's net writes into the variables.
    void ApplyNet(int chunk, TVariList& vars);

    // Rows edited, or keys that removed rows wrote, in the chunk.
    [[nodiscard]] bool HasEdits(int chunk) const noexcept;
    // Whether the row at the offset of the chunk was edited.
    [[nodiscard]] bool Edited(int chunk, std::int32_t offset) const noexcept;
    // The keys written by rows removed just before the row; taken once.
    void TakeExtra(int chunk, std::int32_t offset, TDepKeySet& into);
    // The keys written by rows removed at the end of the memo; taken once.
    void TakeEndExtra(TDepKeySet& into);
    [[nodiscard]] bool HasEndExtra() const noexcept { return !FEndExtra.empty(); }
    // The row was calculated again: no longer edited; when its answer changed, after are the
    // new dependencies.
    void RowDone(int chunk, std::int32_t offset, bool changed, const TDepsView& after);
    // The first chunk from chunk on with edits or a line calculated in every run, or ChunkCount().
    [[nodiscard]] int NextBusyChunk(int chunk);
    [[nodiscard]] bool AnyEdits() const noexcept;

    // Empty when the chunks agree with the memo's rows; otherwise what is wrong.
    [[nodiscard]] std::string Check() const;

private:
    static constexpr std::int32_t kTargetRows = 64;
    static constexpr std::int32_t kMaxRows = 128;

    struct TChunk {
        std::int32_t Rows = 0;
        bool AllEdited = false;
        bool Stale = true;                 // the summary is to be made from the rows
        bool NetStale = true;              // only the writes are (the reads and the flag hold)
        std::vector<std::int32_t> Edited;  // offsets, ascending
        std::vector<std::pair<std::int32_t, TDepKey>> Extra;  // by offset, ascending
        TSummary Sum;
    };

    // Chunk and offset of a row; a row at the end goes to the last chunk.
    [[nodiscard]] std::pair<int, std::int32_t> Locate(std::int32_t row) const noexcept;
    void Renumber() noexcept;
    void MoveShift(std::size_t chunk) noexcept;
    void ShiftAfter(std::size_t chunk, std::int32_t delta) noexcept;
    void MarkEdited(TChunk& c, std::int32_t offset);
    // The summary made from the rows.
    void Rebuild(TChunk& c, int chunk);
    // Splits a chunk past kMaxRows into chunks of kTargetRows.
    void SplitIfLarge(std::size_t chunk);
    void RemoveEmpty(std::size_t chunk);

    const TUMemoStrings& FMemo;
    std::vector<TChunk> FChunks;
    std::vector<std::int32_t> FStarts;  // before the pending shift
    std::size_t FShiftFrom = 0;
    std::int32_t FShift = 0;
    std::vector<TDepKey> FEndExtra;
};

}  // namespace rekna
