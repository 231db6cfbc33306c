// What a double-click selects: a number, a bracket range or a run of characters of one class; and
// the innermost bracket pair around a position, which the bracket commands use.
#pragma once

#include "editor/selection/umemo_selection.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekna {

class TCharSet;
class TUMemoStrings;

// Rows joined into one text without their hanging-indent copies, with the way back from a byte
// offset of the text to a row and position.
class TJoinedRows {
public:
    // Rows first..last (clamped to the store); an empty store gives an empty text.
    TJoinedRows(const TUMemoStrings& strings, std::int32_t first, std::int32_t last);

    [[nodiscard]] const std::string& Text() const noexcept { return FText; }
    // The offset of (x, row); a position inside a hanging-indent copy counts as the row's start.
    // -1 for a row outside the joined rows.
    [[nodiscard]] std::int64_t OffsetOf(TSelPoint p) const noexcept;
    // The row position of an offset. At a junction of two rows the offset belongs to the later
    // row, unless atEnd asks for the end of the earlier one.
    [[nodiscard]] TSelPoint PointOf(std::int64_t offset, bool atEnd = false) const noexcept;

private:
    std::string FText;
    std::int32_t FFirst = 0;
    std::vector<std::int64_t> FStarts;  // offset of every row's text, and the text's size last
    std::vector<std::int32_t> FHangs;   // every row's hanging-indent length
};

// The bracket pairs a double-click and the bracket commands know (CP932), opening and closing.
struct TBracketPair {
    std::string Open;
    std::string Close;
};
[[nodiscard]] const std::vector<TBracketPair>& BracketPairs();

// Byte offsets of a bracket pair in a text: Open at the opening bracket, Close at the closing one.
struct TBracketSpan {
    std::int64_t Open = 0;
    std::int64_t Close = 0;
    std::int32_t OpenBytes = 1;
    std::int32_t CloseBytes = 1;

    friend bool operator==(const TBracketSpan&, const TBracketSpan&) = default;
};

// The innermost bracket pair that encloses offset (from just behind the opening bracket up to the
// closing one, so a position directly before the closing bracket is inside). Nesting is counted
// per pair; a pair whose partner is missing encloses nothing.
[[nodiscard]] std::optional<TBracketSpan> EnclosingPair(std::string_view text, std::int64_t offset);

enum class TWordKind : std::uint8_t { wkNone, wkNumber, wkBracket, wkWord };

// A double-click's selection: bytes [From, To) of the joined text.
struct TWordSpan {
    TWordKind Kind = TWordKind::wkNone;
    std::int64_t From = 0;
    std::int64_t To = 0;

    friend bool operator==(const TWordSpan&, const TWordSpan&) = default;
};

// The span of the character at offset: a number over digits, '.', ',', letters, units and signs;
// a bracket up to its partner (outerHalf: the brackets themselves included); otherwise the run of
// characters of the clicked character's class. dependence is DependenceChar (may be null).
[[nodiscard]] TWordSpan WordSpanAt(std::string_view text, std::int64_t offset, bool outerHalf,
                                   const TCharSet* dependence);

// A double-click's selection in the store, from and to as row positions.
struct TWordSelection {
    TWordKind Kind = TWordKind::wkNone;
    TSelPoint From;
    TSelPoint To;
    std::string Text;  // the selected bytes
};

// The selection for a double-click at display column `column` (fractional: which half of the
// character was hit) of row. The clicked row is joined with the row before it when that one is
// continued into it and with the row after it when it is continued itself.
[[nodiscard]] TWordSelection WordAt(const TUMemoStrings& strings, std::int32_t row, double column,
                                    const TCharSet* dependence);

// The selection of the word at the caret, as a double-click on the character behind the caret
// (or before it at the end of a row) makes it.
[[nodiscard]] TWordSelection WordAtCaret(const TUMemoStrings& strings, const TCharSet* dependence);

}  // namespace rekna
