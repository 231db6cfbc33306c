// Writing a line's answer into the memo text as " ＝ answer", and taking a written answer out.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

// The text without the blanks (spaces, Tabs) around it.
[[nodiscard]] std::string_view TrimBlanks(std::string_view s) noexcept;

// Where the answer marker stands in a CP932 line: the first "＝" outside square-bracket comments
// that IsAnswerMarkerAt (engine/compiler.h) takes for a written answer's, found character by
// character; npos when the line has none.
[[nodiscard]] std::size_t AnswerMarker(std::string_view line) noexcept;

// The line with the answer written in: the expression part (everything before the marker, one
// trailing blank dropped when an answer followed), then " ＝ " and the answer, then the comment
// in square brackets that the old answer carried, unless it was an error text. The answer is cut
// at its first Tab (a statistics note); a control echo ("#...") is written as the formula with
// showControl and not at all without; an error ("[...]") is written as "Err" without
// showErrors. An empty answer takes a written answer out, its comment included.
[[nodiscard]] std::string WriteAnswer(std::string_view line, std::string_view formula,
                                      std::string_view answer, bool showErrors, bool showControl);

// The sort key of a stored answer: the real part of the number its text starts with, read as
// the calculation reads numbers (SI prefixes, digit groups); nothing for an error, a control
// echo, an empty answer or a text that is no number.
[[nodiscard]] std::optional<long double> ResultKey(std::string_view answer);

// The order of lines sorted by their keys: stable, so equal keys keep their order; lines without
// a key (or with NaN) after all others, in their old order.
[[nodiscard]] std::vector<std::size_t>
OrderByKey(const std::vector<std::optional<long double>>& keys, bool ascending);

// What "計算結果をコピー" puts on the clipboard from the calc-bar label: with the formula shown,
// the text after its first "=" without surrounding blanks; every Tab a line break (CR LF).
[[nodiscard]] std::string CopiedAnswer(std::string_view label, bool formulaShown);

}  // namespace rekna
