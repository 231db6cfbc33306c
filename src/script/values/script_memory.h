// TScriptMemory: the one account of the memory that a script's values hold (strings, arrays,
// objects), and the scope that makes it the account of the run in progress on this thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>

namespace rekna {

class TBox;

// Every string, array and object a script makes charges its bytes here when it is made or grows
// and gives them back when it goes. Charge is the single place where a total budget would be
// checked (raising the language's out-of-memory error on the statement that asked).
// The account is shared by the interpreter and by every value charged to it, so a value that
// outlives its interpreter still gives its bytes back safely.
class TScriptMemory {
public:
    TScriptMemory() = default;
    TScriptMemory(const TScriptMemory&) = delete;
    TScriptMemory& operator=(const TScriptMemory&) = delete;

    void Charge(std::size_t bytes) noexcept {
        FInUse += bytes;
        if (FInUse > FPeak) FPeak = FInUse;
    }
    void Release(std::size_t bytes) noexcept { FInUse -= bytes < FInUse ? bytes : FInUse; }
    [[nodiscard]] std::size_t InUse() const noexcept { return FInUse; }
    [[nodiscard]] std::size_t Peak() const noexcept { return FPeak; }
    void ResetPeak() noexcept { FPeak = FInUse; }

    void AddRef() noexcept { ++FRefs; }
    void DropRef() noexcept {
        if (--FRefs == 0) delete this;
    }

    // Objects that hold other values (instances, dictionaries) can hold each other in a ring
    // that counting never frees; the account knows them so that a reset can empty them all.
    void Track(TBox* box) { FTracked.insert(box); }
    void Untrack(TBox* box) noexcept { FTracked.erase(box); }
    void BreakCycles();

private:
    ~TScriptMemory() = default;

    std::unordered_set<TBox*> FTracked;
    std::size_t FInUse = 0;
    std::size_t FPeak = 0;
    std::uint32_t FRefs = 1;
};

// The account values made on this thread are charged to; none outside a run.
[[nodiscard]] TScriptMemory* CurrentScriptMemory() noexcept;

// Makes an account current for its lifetime (runs nest: the outer one comes back).
class TScriptMemoryScope {
public:
    explicit TScriptMemoryScope(TScriptMemory* memory) noexcept;
    ~TScriptMemoryScope();
    TScriptMemoryScope(const TScriptMemoryScope&) = delete;
    TScriptMemoryScope& operator=(const TScriptMemoryScope&) = delete;

private:
    TScriptMemory* FSaved;
};

}  // namespace rekna
