// Window events during a long calculation or command: painting goes on and Esc is seen, while
// every other input is held until the work is over (it would edit the memo in the middle of it)
// and then handed on in the order it came.
#pragma once

#include <functional>

class QObject;

namespace rekna {

// What the pending events asked for while input was held.
struct TPollResult {
    bool Esc = false;         // Esc was typed
    bool CloseAsked = false;  // a window's close button was pressed
    [[nodiscard]] bool StopAsked() const noexcept { return Esc || CloseAsked; }
};

// Runs the pending events for at most maxMs milliseconds. Keys, input-method text, shortcuts,
// mouse buttons, the wheel, context menus and close requests are kept for DeliverHeldInput;
// Esc is seen and not kept; dropped files are refused.
TPollResult ProcessEventsHoldingInput(int maxMs);

// Whether input is waiting for DeliverHeldInput.
[[nodiscard]] bool HasHeldInput() noexcept;

// Hands the held input to its receivers in the order it came (receivers that are gone are
// skipped); the held close requests go last. Each unbroken run of events for batch (or its
// children) is handed on between beginBatch and endBatch, so that keys typed during the work
// make one edit and one calculation.
void DeliverHeldInput(const QObject* batch, const std::function<void()>& beginBatch,
                      const std::function<void()>& endBatch);

// Forgets the held input (the window is going away).
void DropHeldInput() noexcept;

}  // namespace rekna
