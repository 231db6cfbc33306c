// ReadLiteral: one numeric literal of the calculation language read into an exact TCplx.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "numbers/cplx.h"

namespace rekna {

// Reads the literal at the start of text (CP932) as far as it goes and stops silently at the
// first byte that cannot continue it. On return text holds the canonical form of what was
// read and *consumed, when given, the number of bytes read. An unreadable exponent or a value
// out of the extended range sets the error state to ceInputRange and gives 0 (text then holds
// the bytes read, as they stand); success clears the error state. Reads the input switches,
// Fractional, ImagChar, TimUnit and DbUnit of NumberSettings.
[[nodiscard]] TCplx ReadLiteral(std::string& text, std::size_t* consumed = nullptr);
// ReadLiteral's value and error state without the canonical text, for callers that show none.
[[nodiscard]] TCplx ReadLiteralValue(std::string_view text);

// The bases of the integer readers: decimal, binary ("&"), two's-complement binary ("&C",
// whose first digit is the sign digit) and hexadecimal ("$").
enum class TIntBase : std::uint8_t { ibDec, ibBin, ibTwos, ibHex };

// Reads all of text as one signed 64-bit integer: an optional single sign, the optional prefix
// of the base, then digits; spaces, tabs and commas are ignored. False, with value untouched,
// when any other character appears, when there is no digit or when the value overflows.
[[nodiscard]] bool ReadInteger(std::string_view text, TIntBase base, std::int64_t& value) noexcept;

}  // namespace rekna
