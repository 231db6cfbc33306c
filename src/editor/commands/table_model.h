// The table model: reading selected text into a grid of cells, padding its columns and writing it
// back separated by Tabs, full-width spaces or ruled-line bars.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

// Rows of cells; every row holds the same number of cells.
using TTableGrid = std::vector<std::vector<std::string>>;

// The three column separators, as CP932 bytes.
inline constexpr std::string_view kTabSeparator = "\t";
inline constexpr std::string_view kFullSpaceSeparator = "\x81\x40";  // "　"
inline constexpr std::string_view kBarSeparator = "\x84\xA0";        // "│"
inline constexpr std::string_view kRuleChar = "\x84\x9F";            // "─"

// Column padding: left, right, centre, or by the decimal point (left as read by AlignColumns).
enum class TTableAlign : std::uint8_t { taLeft = 0, taRight = 1, taCenter = 2, taDecimal = 3 };

// True when the CP932 text holds the character `what`, compared character by character (a
// double-byte character never matches across its bytes).
[[nodiscard]] bool ContainsChar(std::string_view text, std::string_view what) noexcept;
// Empty after removing leading and trailing bytes at or below the space.
[[nodiscard]] bool IsBlankText(std::string_view text) noexcept;
[[nodiscard]] std::string TrimBlanks(std::string_view text);
[[nodiscard]] std::string TrimRightBlanks(std::string_view text);

// Tab when the text holds a Tab and keepTab is set, "　" for a Tab otherwise; then "│", "　", Tab
// in this order of presence.
[[nodiscard]] std::string_view DetectSeparator(std::string_view text, bool keepTab) noexcept;
// Rows at line ends (CR LF, CR and LF alike; a final line end starts no row), cells at every
// separator; a cell holding "─" is emptied; trim removes surrounding blanks; the empty outer
// columns of a ruled table are dropped.
[[nodiscard]] TTableGrid ParseTable(std::string_view text, bool trim);
// Pads every column to its widest cell rounded up to an even width.
void AlignColumns(TTableGrid& grid, TTableAlign mode);
// Pads every column so that the number parts of its cells line up; other cells are centred.
void AlignDecimal(TTableGrid& grid);
// One line per row joined by CR LF (none after the last); an all-blank row of a ruled table
// becomes a rule line with the junctions of its place.
[[nodiscard]] std::string BuildTable(const TTableGrid& grid, std::string_view separator,
                                     bool trimRight);
[[nodiscard]] TTableGrid Transpose(const TTableGrid& grid);
// Rows and columns exchanged, cells joined by the text's own separator, unpadded.
[[nodiscard]] std::string TransposeText(std::string_view text, bool trimRight);

// Runs of half-width spaces reduced to one space.
[[nodiscard]] std::string SpacesToOneSpace(std::string_view text);
// Runs of two or more spaces become a Tab (allRuns: every run); a run at the end is dropped.
[[nodiscard]] std::string SpaceRunsToTab(std::string_view text, bool allRuns);

}  // namespace rekna
