// TScriptMemory: the one account of the memory that a script's values hold (strings, arrays,
// objects), and the scope that makes it the account of the run in progress on this thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>

namespace rekna {

class TBox;

// Every string, array and object a script makes charges its bytes here when it is made or grows
// and gives them back when it goes. While a run enforces the budget, a charge that would take the
// total past it is refused, and the value that asked raises the language's out-of-memory error
// on the statement that made it (see TBox::Account).
// The account is shared by the interpreter and by every value charged to it, so a value that
// outlives its interpreter still gives its bytes back safely.
class TScriptMemory {
public:
    TScriptMemory() = default;
    TScriptMemory(const TScriptMemory&) = delete;
    TScriptMemory& operator=(const TScriptMemory&) = delete;

    // False, with nothing charged, when the bytes do not fit the budget being enforced.
    [[nodiscard]] bool Charge(std::size_t bytes) noexcept {
        if (!Fits(bytes)) return false;
        FInUse += bytes;
        if (FInUse > FPeak) FPeak = FInUse;
        return true;
    }
    // Whether that many more bytes would fit; a value about to be made asks first, so that
    // memory past the budget is never taken at all.
    [[nodiscard]] bool Fits(std::size_t bytes) const noexcept {
        return !FEnforced || (FInUse <= FBudget && bytes <= FBudget - FInUse);
    }
    void Release(std::size_t bytes) noexcept { FInUse -= bytes < FInUse ? bytes : FInUse; }
    [[nodiscard]] std::size_t InUse() const noexcept { return FInUse; }
    [[nodiscard]] std::size_t Peak() const noexcept { return FPeak; }
    void ResetPeak() noexcept { FPeak = FInUse; }

    // The most every value together may hold while a run enforces it.
    void SetBudget(std::size_t bytes) noexcept { FBudget = bytes; }
    [[nodiscard]] std::size_t Budget() const noexcept { return FBudget; }
    // Only a run's own work is held to the budget: reading a text before it, or letting go of
    // values after it, never fails for want of memory. Returns the state it replaced.
    bool Enforce(bool on) noexcept {
        const bool was = FEnforced;
        FEnforced = on;
        return was;
    }

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
    std::size_t FBudget = static_cast<std::size_t>(-1);
    bool FEnforced = false;
    std::uint32_t FRefs = 1;
};

// The account values made on this thread are charged to; none outside a run.
[[nodiscard]] TScriptMemory* CurrentScriptMemory() noexcept;

// Raises the language's out-of-memory error when that many more bytes would not fit the current
// account's budget: asked before a large value is made, so that its memory is never taken.
void CheckScriptMemory(std::size_t bytes);

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
