// A value in few bytes: a tag byte, then the numerator of its real part and those of its other
// three numbers that are not the usual ones (a real denominator of 1, an imaginary part of +0 over
// 1), each as the ten significant bytes of an 80-bit number. Most values take 11 bytes instead of
// 40, and every value, the blank and the error mark included, comes back with the same bits.
#pragma once

#include "numbers/cplx.h"

#include <cstddef>

namespace rekna {

inline constexpr std::size_t kPackedValueMax = 41;

// Writes the packed value to out (room for kPackedValueMax bytes); returns the bytes written.
std::size_t PackValue(const TCplx& v, unsigned char* out) noexcept;
// The bytes of the packed value that starts with the tag byte tag.
[[nodiscard]] std::size_t PackedValueSize(unsigned char tag) noexcept;
// Reads a packed value; returns the bytes read.
std::size_t UnpackValue(const unsigned char* in, TCplx& v) noexcept;

}  // namespace rekna
