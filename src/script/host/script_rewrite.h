// The memo's short notations in script lines, turned into calls of the automation object
// "Rekna": @name, @@name, @f(...), @(expression), the "?" answers and the Esc checks of loops.
#pragma once

#include <string>
#include <string_view>

namespace rekna {

// One line of a script (CP932 text) whose answers go to the memo's line `line` (1-based).
// escStops: a line opening a loop or a procedure (For, Do, While, Function, Sub) gets a call of
// Rekna.EscStop after its first statement, so that every pass looks for Esc.
[[nodiscard]] std::string RewriteScriptLine(std::string_view text, int line, bool escStops = true);

// Every line of a block (lines separated by CR LF, LF or CR); its line i answers to the memo's
// line firstLine + i (1-based). The lines come back separated by CR LF.
[[nodiscard]] std::string RewriteScriptBlock(std::string_view text, int firstLine);

}  // namespace rekna
