// What a sheet line read and what it left behind, in the packed form its answer block keeps
// (numbers/line_answer.h), so that a run can tell which lines an edit reaches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "numbers/cplx.h"

namespace rekna {

class TVariList;

// A variable by its id (below 2^31); any other name (one not yet a variable, a user function) by
// a hash of its lower-case name with the top bit set. Two names may share a hash: that only makes
// a run calculate a line more than it needs to.
using TDepKey = std::uint32_t;
inline constexpr TDepKey kNameKeyBit = 0x80000000U;
[[nodiscard]] TDepKey NameKey(std::string_view lowerName) noexcept;
[[nodiscard]] inline bool IsNameKey(TDepKey key) noexcept {
    return (key & kNameKeyBit) != 0;
}

enum TDepFlag : std::uint8_t {
    // Calculated in every run: its result does not follow from what it read alone (random
    // numbers, the clock, statistics, scripts, definitions, a stopped line).
    dfVolatile = 1,
    // It changed the number settings or the display context that every later line reads.
    dfContext = 2,
    // Statistics mode was on after it.
    dfStatistics = 4,
    // A script line that asked the user (a message or input box): calculated again only when
    // its text or what it read changed, never only because a run went past it.
    dfAsks = 8,
    // It read what no key names (a calculation or another line's answer): any name changed
    // before it reaches it.
    dfReadsAll = 16,
};

// The state the script lines share (their variables and procedures): read by the lines that ask
// the user, changed for the lines after a script line whose text changed.
[[nodiscard]] TDepKey ScriptStateKey() noexcept;

// What a line read and left, to be packed (Pack) into its answer block.
struct TLineDeps {
    std::uint8_t Flags = 0;
    std::vector<TDepKey> Reads;  // any order, repeats allowed
    // A variable the line changed: what it did to its flags (kept the bits of And, set those of
    // Or: an assignment sets "assigned" whatever the flags were) and the value it left.
    struct TWrite {
        int Id = -1;
        std::uint8_t And = 0xFF;
        std::uint8_t Or = 0;
        TCplx Value;
    };
    std::vector<TWrite> Writes;  // any order
    // The user functions it defined: the lower-case name and a hash of the definition.
    std::vector<std::pair<std::string, std::uint32_t>> Functions;

    void Clear() noexcept;
    // The packed form: reads sorted without repeats, writes by id.
    [[nodiscard]] std::string Pack() const;
    // Writes: what the current line (TVariList::BeginLine) did to the variables.
    void TakeWrites(const TVariList& vars);
};

// Reads the packed form without copying it. An empty text reads as a line that read and wrote
// nothing.
class TDepsView {
public:
    TDepsView() = default;
    explicit TDepsView(std::string_view packed) noexcept;

    [[nodiscard]] std::uint8_t Flags() const noexcept { return FFlags; }
    [[nodiscard]] bool Volatile() const noexcept { return (FFlags & dfVolatile) != 0; }
    [[nodiscard]] bool Asks() const noexcept { return (FFlags & dfAsks) != 0; }
    [[nodiscard]] bool ReadsAll() const noexcept { return (FFlags & dfReadsAll) != 0; }
    // Whether a line that read this sees a change of any of keys (ascending).
    [[nodiscard]] bool Meets(const std::vector<TDepKey>& keys) const noexcept {
        return ReadsAll() ? !keys.empty() : ReadsAny(keys);
    }
    // The keys read, ascending.
    template <typename TVisit> void ForEachRead(TVisit&& visit) const {
        const unsigned char* p = FReads;
        TDepKey key = 0;
        for (std::uint32_t n = FReadCount; n > 0; --n) {
            key += ReadWord(p);
            visit(key);
        }
    }
    // Whether any key read is in keys (ascending).
    [[nodiscard]] bool ReadsAny(const std::vector<TDepKey>& keys) const noexcept;
    [[nodiscard]] std::uint32_t ReadCount() const noexcept { return FReadCount; }
    // The writes, ascending by key: visit(key, bytes) where bytes is the write's packed form
    // (for a variable its flags and value, for a function its hash), equal between two writes
    // exactly when they leave the same.
    template <typename TVisit> void ForEachWrite(TVisit&& visit) const {
        const unsigned char* p = FWrites;
        for (std::uint32_t n = FWriteCount; n > 0; --n) {
            const unsigned char* start = p;
            const TDepKey key = ReadWord(p);
            const std::size_t size = WriteSize(key, p);
            visit(key, std::string_view(reinterpret_cast<const char*>(start),
                                        static_cast<std::size_t>(p - start) + size));
            p += size;
        }
    }
    [[nodiscard]] std::uint32_t WriteCount() const noexcept { return FWriteCount; }

    // A write's bytes (from ForEachWrite) applied to the variables: a variable's flags change as
    // the line changed them, and it takes the value the line left it; a function is left alone.
    static void Apply(std::string_view write, TVariList& vars) noexcept;
    // The key of a write's bytes.
    [[nodiscard]] static TDepKey KeyOf(std::string_view write) noexcept;
    // The bytes of the first of writes laid one after another (a chunk's net writes).
    [[nodiscard]] static std::size_t FirstWriteSize(std::string_view writes) noexcept;
    // The name of a function's write, empty for a variable's.
    [[nodiscard]] static std::string_view FunctionName(std::string_view write) noexcept;

    static TDepKey ReadWord(const unsigned char*& p) noexcept;

private:
    // The bytes of a write after its key.
    static std::size_t WriteSize(TDepKey key, const unsigned char* p) noexcept;

    std::uint8_t FFlags = 0;
    std::uint32_t FReadCount = 0;
    std::uint32_t FWriteCount = 0;
    const unsigned char* FReads = nullptr;
    const unsigned char* FWrites = nullptr;
};

// A sorted set of keys: the names whose value differs from what the lines after the run's
// position last read.
class TDepKeySet {
public:
    [[nodiscard]] bool Empty() const noexcept { return FKeys.empty(); }
    [[nodiscard]] std::size_t Size() const noexcept { return FKeys.size(); }
    [[nodiscard]] bool Contains(TDepKey key) const noexcept;
    void Insert(TDepKey key);
    void Erase(TDepKey key) noexcept;
    void Clear() noexcept { FKeys.clear(); }
    void InsertAll(const TDepKeySet& other);
    [[nodiscard]] const std::vector<TDepKey>& Keys() const noexcept { return FKeys; }
    // Whether any key of the ascending list is in the set.
    [[nodiscard]] bool MeetsSorted(const std::vector<TDepKey>& sorted) const noexcept;

private:
    std::vector<TDepKey> FKeys;
};

// The keys a line's new dependencies change against its old ones: every key the two write
// differently, or that only one of them writes, goes into changed; every key both write alike
// leaves it. A changed user function also changes the variable of its name, when vars has one
// (a line may read either under the name).
void CompareWrites(const TDepsView& before, const TDepsView& after, TDepKeySet& changed,
                   const TVariList& vars);

}  // namespace rekna
