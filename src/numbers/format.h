// The answer formatter: every text shown for a number (answers, lists, the calculation log).
#pragma once

#include <string>

#include "numbers/cplx.h"
#include "numbers/number_settings.h"

namespace rekna {

// All functions read the process-wide NumberSettings, return CP932 text, never throw (a failure
// inside gives an empty text) and never change the value. The binary and hexadecimal formats
// set error 2 for an infinity and error 17 for a NaN, which is how a line learns that its
// answer cannot be shown in the chosen integer format.

// The answer of a line and the variable listing: the value under the current format, complex
// form and angle unit. The blank mark gives "" and the error mark "Err".
[[nodiscard]] std::string FormatAnswer(const TCplx& value) noexcept;
// FormatAnswer into out, whose buffer is kept for the next answer.
void FormatAnswerTo(const TCplx& value, std::string& out) noexcept;

// Lists and tables: as FormatAnswer under the given format; with hideZeroReal a purely
// imaginary value is written without its zero real part ("2i", "-2i").
[[nodiscard]] std::string FormatListValue(const TCplx& value, TAnsFormat format,
                                          bool hideZeroReal) noexcept;

// One real part. length is clamped to -17..18: a positive length is the number of
// significant digits, zero or negative the number of decimals.
[[nodiscard]] std::string FormatReal(long double part, TAnsFormat format, int length,
                                     bool hide0) noexcept;

// The compact form inside calculation-log steps: "5", "{-5}", "{1+2i}", and with LogFrac a
// part whose denominator is not 1 as "{Num/Den}". Leaves the error state alone.
[[nodiscard]] std::string FormatLogValue(const TCplx& value) noexcept;

}  // namespace rekna
