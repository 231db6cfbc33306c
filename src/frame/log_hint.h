// The log hint: a description of the token under the mouse in the log pane.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frame/run_procedure.h"

namespace rekna {

class TVtCalc;

// The token of a log line that holds the byte at index (CP932): a name with a following "(",
// a number with its signs, a "#" directive, an operator of one or two characters, a bracketed
// error text, a statistics mark. Empty on a blank.
[[nodiscard]] std::string LogTokenAt(std::string_view line, std::size_t index);

// The description of a token, by the first rule that matches; nothing when an operator matches
// no operator caption. args are the parameter names of the user function the log shows.
[[nodiscard]] std::optional<std::string> DescribeLogToken(const TVtCalc& calc,
                                                          std::string_view token,
                                                          std::span<const TUserFuncMenuItem> menu,
                                                          std::span<const std::string> args);

// The parameter names of a definition line "#Name(a, b)=..." (lower-case), else none.
[[nodiscard]] std::vector<std::string> DefinitionParams(std::string_view line);

// The hint of the log pane for the byte at index of line: the description, "|" and the line;
// "|" and the line where no character is; empty when an operator has no description.
[[nodiscard]] std::string LogHintText(const TVtCalc& calc, std::string_view line, long index,
                                      std::span<const TUserFuncMenuItem> menu,
                                      std::string_view firstLine);

// A hint's two parts: before the first "|" the text that pops up, after it the status-line text;
// a hint without "|" is all status text.
struct THintParts {
    std::string Popup;
    std::string Status;
};
[[nodiscard]] THintParts SplitHint(std::string_view hint);

}  // namespace rekna
