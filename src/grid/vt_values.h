// Numbers in grid cells: writing a value by a cell's data type, reading a cell's text, and the
// characters each data type lets the user type.
#pragma once

#include "grid/vt_types.h"

#include <string>
#include <string_view>

namespace rekna {

// The options of TVtOptions that number formatting reads.
struct TVtFormatOptions {
    bool HideZero = true;
    int ExpMax = 6;
    int ExpMin = -3;
};

// The value written as the data type says, with `precision` digits (0 counts as 1). A value that
// cannot be written (NaN, infinite, too large for the type) gives an empty text.
[[nodiscard]] std::string FormatValue(double value, TVtEditDataType type, int precision,
                                      const TVtFormatOptions& options);

// Reads a number with SI-prefix suffixes ("1.5k", "20%", "3.3u", "1e3"), skipping text before it
// and blanks and commas inside it; NaN when no number can be read.
[[nodiscard]] double ParseEngineering(std::string_view text);

// A cell's text as a number: a plain decimal number as it is, otherwise through
// ParseEngineering. An empty or unreadable text gives NaN when nanEnable is set, else 0.
[[nodiscard]] double ReadCellValue(std::string_view text, bool nanEnable);

// Whether a typed single-byte character may go into a cell of the type (Backspace included);
// a double-byte character's lead byte is allowed exactly where any character is.
[[nodiscard]] bool IsAllowedChar(TVtEditDataType type, char c) noexcept;

// The character as it goes into the cell: upper case for the types that want it.
[[nodiscard]] char TypedChar(TVtEditDataType type, char c) noexcept;

// The text as a cell of the type takes it: dtString and dtCalc unchanged, dtColor the name of the
// colour it names ("clNone" for none), the others only their allowed single-byte characters.
[[nodiscard]] std::string FilterText(TVtEditDataType type, std::string_view text);

// Whether the type holds free text that the input method may write.
[[nodiscard]] constexpr bool IsTextType(TVtEditDataType type) noexcept {
    return type == TVtEditDataType::dtString || type == TVtEditDataType::dtCalc;
}

}  // namespace rekna
