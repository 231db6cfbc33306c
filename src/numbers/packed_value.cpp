#include "numbers/packed_value.h"

#include <cstring>
#include <limits>

namespace rekna {

namespace {

static_assert(std::numeric_limits<long double>::digits == 64, "80-bit extended numbers");
constexpr std::size_t kNumberBytes = 10;

// Tag bits: the number is left out because it has the usual bits.
constexpr unsigned char kReDenOne = 1, kImNumZero = 2, kImDenOne = 4;

bool SameNumber(long double a, long double b) noexcept {
    return std::memcmp(&a, &b, kNumberBytes) == 0;
}

long double ReadNumber(const unsigned char*& in) noexcept {
    long double x = 0;
    std::memcpy(&x, in, kNumberBytes);
    in += kNumberBytes;
    return x;
}

void WriteNumber(long double x, unsigned char*& out) noexcept {
    std::memcpy(out, &x, kNumberBytes);
    out += kNumberBytes;
}

}  // namespace

std::size_t PackValue(const TCplx& v, unsigned char* out) noexcept {
    const unsigned char tag =
        static_cast<unsigned char>((SameNumber(v.Re.Den, 1.0L) ? kReDenOne : 0) |
                                   (SameNumber(v.Im.Num, 0.0L) ? kImNumZero : 0) |
                                   (SameNumber(v.Im.Den, 1.0L) ? kImDenOne : 0));
    unsigned char* at = out;
    *at++ = tag;
    WriteNumber(v.Re.Num, at);
    if (!(tag & kReDenOne)) WriteNumber(v.Re.Den, at);
    if (!(tag & kImNumZero)) WriteNumber(v.Im.Num, at);
    if (!(tag & kImDenOne)) WriteNumber(v.Im.Den, at);
    return static_cast<std::size_t>(at - out);
}

std::size_t PackedValueSize(unsigned char tag) noexcept {
    const std::size_t left = 4 - ((tag & kReDenOne) ? 1 : 0) - ((tag & kImNumZero) ? 1 : 0) -
                             ((tag & kImDenOne) ? 1 : 0);
    return 1 + left * kNumberBytes;
}

std::size_t UnpackValue(const unsigned char* in, TCplx& v) noexcept {
    const unsigned char* at = in;
    const unsigned char tag = *at++;
    v.Re.Num = ReadNumber(at);
    v.Re.Den = (tag & kReDenOne) ? 1.0L : ReadNumber(at);
    v.Im.Num = (tag & kImNumZero) ? 0.0L : ReadNumber(at);
    v.Im.Den = (tag & kImDenOne) ? 1.0L : ReadNumber(at);
    return static_cast<std::size_t>(at - in);
}

}  // namespace rekna
