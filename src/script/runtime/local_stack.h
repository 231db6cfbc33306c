// TLocalStack: the locals of every procedure call in progress, in chunks that never move, so
// that a ByRef link to a caller's variable stays valid and a call allocates nothing.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "script/values/variant.h"

namespace rekna {

class TLocalStack {
public:
    // Where the stack stood before a push.
    struct TMark {
        std::size_t Chunk = 0;
        std::size_t Top = 0;
    };

    // n Empty values that stay in place until the matching Pop.
    TVariant* Push(std::size_t n, TMark& mark) {
        mark = {FChunk, FTop};
        if (FTop + n > FSize) NextChunk(n);
        TVariant* p = FBase + FTop;
        FTop += n;
        return p;
    }

    // Empties the n values of the push at mark (in order) and gives their room back.
    void Pop(const TMark& mark, TVariant* p, std::size_t n) noexcept {
        for (std::size_t i = 0; i < n; ++i)
            p[i].Clear();
        if (mark.Chunk != FChunk) {
            FChunk = mark.Chunk;
            FBase = FChunks[FChunk].Data.get();
            FSize = FChunks[FChunk].Size;
        }
        FTop = mark.Top;
    }

private:
    struct TChunk {
        std::unique_ptr<TVariant[]> Data;
        std::size_t Size = 0;
    };

    void NextChunk(std::size_t n) {
        const std::size_t next = FChunks.empty() ? 0 : FChunk + 1;
        if (next < FChunks.size() && FChunks[next].Size < n) FChunks.resize(next);
        if (next >= FChunks.size()) {
            const std::size_t size = n > kChunkValues ? n : kChunkValues;
            FChunks.push_back({std::make_unique<TVariant[]>(size), size});
        }
        FChunk = next;
        FBase = FChunks[FChunk].Data.get();
        FSize = FChunks[FChunk].Size;
        FTop = 0;
    }

    static constexpr std::size_t kChunkValues = 8192;
    std::vector<TChunk> FChunks;
    std::size_t FChunk = 0;
    TVariant* FBase = nullptr;  // the chunk in use
    std::size_t FSize = 0;
    std::size_t FTop = 0;
};

}  // namespace rekna
