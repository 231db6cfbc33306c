// Writing a line's answer into the memo text as " ＝ answer", and taking a written answer out.
#pragma once

#include <string>
#include <string_view>

namespace rekna {

// Where the answer marker "＝" stands in a CP932 line: the first one outside square-bracket
// comments, found character by character; npos when the line has none.
[[nodiscard]] std::size_t AnswerMarker(std::string_view line) noexcept;

// The line with the answer written in: the expression part (everything before the marker, one
// trailing blank dropped when an answer followed), then " ＝ " and the answer, then the comment
// in square brackets that the old answer carried, unless it was an error text. The answer is cut
// at its first Tab (a statistics note); a control echo ("#...") is written as the formula with
// showControl and not at all without; an error ("[...]") is written as "Err" without
// showErrors. An empty answer takes a written answer out, its comment included.
[[nodiscard]] std::string WriteAnswer(std::string_view line, std::string_view formula,
                                      std::string_view answer, bool showErrors,
                                      bool showControl);

}  // namespace rekna
