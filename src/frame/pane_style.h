// The panes' paint styles under the frame's view options and character colour classes.
#pragma once

#include "editor/paint/paint_style.h"
#include "frame/calc_options.h"

namespace rekna {

// A pane's style with the view options applied: caret-row underline, bracket highlight and
// sizes, colouring, the marks, black and white (colour, marks and bracket highlight off), and
// the per-character colours of the four classes (double-byte characters skipped).
[[nodiscard]] TPaintStyle PaneStyle(const TPaintStyle& base, const TCalcOptions& options);

}  // namespace rekna
