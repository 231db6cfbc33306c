// Conversions between the script's value types: numbers to text and back, truth values, dates.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/values/variant.h"

namespace rekna {

// Reads text as a number the way the language does (spaces around, sign, "1,000", "1.5E3",
// "&HFF", "&O17"); false when the text is not a number.
[[nodiscard]] bool ParseNumberText(std::string_view text, double& out);

// A double as text: 15 significant digits, exponent form beyond them and below 1E-4 ("1E+20").
[[nodiscard]] std::string DoubleText(double d);
// A single as text: 7 significant digits.
[[nodiscard]] std::string SingleText(float f);
// The shortest decimal text that reads back to the same double ("0.1", "1E+20" as "1e+20"),
// the form in which numbers leave the scripts for the calculation.
[[nodiscard]] std::string ShortestText(double d);
[[nodiscard]] std::string ShortestText(float f);
// A Currency amount (times 10,000) as text: "1234.5".
[[nodiscard]] std::string CurrencyText(std::int64_t scaled);
// A number as Currency (times 10,000), rounded half to even; error 6 beyond its range.
[[nodiscard]] std::int64_t ToCurrencyScaled(double d);

// Round half to even.
[[nodiscard]] double BankersRound(double d) noexcept;

// The value as text (CStr): error 94 for Null, 13 for arrays and objects.
[[nodiscard]] std::string ToText(const TVariant& v);
// Text for concatenation: Null is the empty text.
[[nodiscard]] std::string ConcatText(const TVariant& v);
// The value as a number; text is read as a number; error 13 when it cannot be, 94 for Null.
[[nodiscard]] double ToDouble(const TVariant& v);
// The number as a variant of a numeric type: numbers keep their type, text becomes Double,
// Empty becomes Integer 0, Boolean stays Boolean.
[[nodiscard]] TVariant ToNumeric(const TVariant& v);
// Rounded to a whole number (half to even); error 6 outside the Long range.
[[nodiscard]] std::int32_t ToLong(const TVariant& v);
// Rounded and limited to the Integer range.
[[nodiscard]] std::int16_t ToInteger(const TVariant& v);
// The truth of a value: numbers other than 0, "True", "False" or numeric text.
[[nodiscard]] bool ToBool(const TVariant& v);
// A double as the narrowest of Integer, Long and Double that holds it exactly.
[[nodiscard]] TVariant WholeOrDouble(double d);

// Dates are days since 1899-12-30, with the time of day as the fraction.
[[nodiscard]] double DateSerial(int year, int month, int day) noexcept;
[[nodiscard]] double TimeSerial(int hour, int minute, int second) noexcept;
struct TDateParts {
    int Year, Month, Day, Hour, Minute, Second, Weekday;  // Weekday 1 = Sunday
};
[[nodiscard]] TDateParts SplitDate(double date) noexcept;
// "2026/12/09 16:58:11"; the date part alone when the time is 0, the time alone before day 1.
[[nodiscard]] std::string DateText(double date);
// Reads a date, a time or both: "yyyy/m/d", "yyyy-m-d", "m/d/yyyy", "m/d", "yyyy年m月d日",
// "h:m[:s]" with "AM"/"PM" or "午前"/"午後", "h時m分s秒"; false when the text is not a date.
[[nodiscard]] bool ParseDateText(std::string_view text, double& out);
// The value as a date (Year, Month, ...): dates, numbers and date text; error 13 otherwise.
[[nodiscard]] double ToDate(const TVariant& v);
// Between 0100-01-01 and 9999-12-31 23:59:59.
[[nodiscard]] bool IsDateInRange(double d) noexcept;
[[nodiscard]] int MonthDays(int year, int month) noexcept;

}  // namespace rekna
