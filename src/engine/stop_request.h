// TStopRequest: a request to stop a long calculation, raised by the host and polled by the engine.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace rekna {

// A line holds at most this many items: the compiler refuses a longer line before its items
// exist, and an evaluation stops after reading this many (user functions expanding
// exponentially). Either way the line fails with ceMath.
inline constexpr std::size_t kMaxLineItems = 4'000'000;

// The compiler and the evaluator poll the request every kPollInterval items of a line, so a
// line of ordinary length never polls; a stopped line fails with ceMath. The host raises the
// request (the window when Esc is typed, or another thread) and clears it when its run ends.
class TStopRequest {
public:
    static constexpr std::size_t kPollInterval = std::size_t{1} << 16;

    void Raise() noexcept { FRaised.store(true, std::memory_order_relaxed); }
    void Clear() noexcept { FRaised.store(false, std::memory_order_relaxed); }
    [[nodiscard]] bool Raised() const noexcept { return FRaised.load(std::memory_order_relaxed); }
    // Lets the host look at its pending input first (where Esc may raise the request).
    [[nodiscard]] bool Poll() {
        if (OnPoll) OnPoll();
        return Raised();
    }

    // Called at every poll; the window processes pending key events here.
    std::function<void()> OnPoll;

private:
    std::atomic<bool> FRaised{false};
};

}  // namespace rekna
