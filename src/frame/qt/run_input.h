// Window events during a long calculation or command: painting goes on, Esc is seen, and every
// other input is held back, since it would edit the memo in the middle of the work.
#pragma once

namespace rekna {

// Runs the pending events for at most maxMs milliseconds with input held back; true when Esc
// was pressed meanwhile.
bool ProcessEventsHoldingInput(int maxMs);

}  // namespace rekna
