// Pure rewrites of selected CP932 text: spaces and Tabs, case of words, lines trimmed, aligned,
// sorted, reversed, duplicated or thinned out, digits reversed, pieces replaced or swapped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

// Lines of a selected text: split at CR LF, CR and LF; FinalBreak tells whether the text ended
// with a line end (which then makes no empty last line).
struct TTextLines {
    std::vector<std::string> Lines;
    bool FinalBreak = false;
};
[[nodiscard]] TTextLines SplitTextLines(std::string_view text);
// Joined with CR LF; a CR LF after the last line only when FinalBreak is set.
[[nodiscard]] std::string JoinTextLines(const TTextLines& lines);

// Case-folded by the locale mapping, then bytes: the order of sorted text where no collator is
// installed (text_collation.h), and between texts the collator takes for equal.
[[nodiscard]] int CompareLocaleText(std::string_view a, std::string_view b);

// Words lower-cased with a capital first letter; a letter after a digit stays small.
[[nodiscard]] std::string CapitalizeWords(std::string_view s);
// "　" to two spaces; every two consecutive spaces to "　".
[[nodiscard]] std::string FullSpaceToSpaces(std::string_view s);
[[nodiscard]] std::string SpacesToFullSpace(std::string_view s);
// Tabs to spaces up to the next stop; runs of spaces that reach a stop to Tabs (columns kept).
[[nodiscard]] std::string ExpandTabs(std::string_view line, std::int32_t tabStops);
[[nodiscard]] std::string TabifySpaces(std::string_view line, std::int32_t tabStops);
// Display width of a line with its Tabs expanded.
[[nodiscard]] std::int32_t ExpandedWidth(std::string_view line, std::int32_t tabStops);

// Line by line; the text's final line end is kept as it was.
[[nodiscard]] std::string TrimLinesText(std::string_view s, bool left, bool right);
[[nodiscard]] std::string AppendToLinesText(std::string_view s, std::string_view tail);
[[nodiscard]] std::string ReverseCharactersText(std::string_view s);
[[nodiscard]] std::string ReverseRowsText(std::string_view s);
// Stable: equal lines keep their order in both directions.
[[nodiscard]] std::string SortRowsText(std::string_view s, bool descending);
[[nodiscard]] std::string DuplicateRowsText(std::string_view s);
[[nodiscard]] std::string DeleteBlankRowsText(std::string_view s);
// Of consecutive equal lines one remains.
[[nodiscard]] std::string DeleteRepeatedRowsText(std::string_view s);

// mode 0 left, 1 right, 2 centre within width; box pads every piece to width on the right.
[[nodiscard]] std::string AlignLinesText(std::string_view s, int mode, std::int32_t width, bool box,
                                         std::int32_t tabStops);
// The longest line of a text, in bytes.
[[nodiscard]] std::int32_t LongestLine(std::string_view s);
// "=" and the written answer "＝" in columns.
[[nodiscard]] std::string AlignEqualsText(std::string_view s, bool box);
// Label ":" and comment ";" in columns.
[[nodiscard]] std::string AlignCommentsText(std::string_view s, bool box, std::int32_t tabStops);

// Runs of digits (and, after "$", hexadecimal digits) written backwards in place.
[[nodiscard]] std::string ReverseDigitsText(std::string_view s);
// Every a becomes b, matched character by character.
[[nodiscard]] std::string ReplaceText(std::string_view s, std::string_view a, std::string_view b);
// a and b exchanged in one pass.
[[nodiscard]] std::string SwapText(std::string_view s, std::string_view a, std::string_view b);
// kind 0: "{}" to "()", 1: "[]" to "()", 2: "()" to "[]".
[[nodiscard]] std::string ConvertBracketsText(std::string_view s, int kind);

}  // namespace rekna
