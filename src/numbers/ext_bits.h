// Bit-level access to the 80-bit extended type: the 64-bit mantissa and the sign-exponent word.
#pragma once

#include <cstdint>
#include <cstring>

namespace rekna {

inline constexpr int kExtBias = 16383;
inline constexpr std::uint16_t kExtExpMask = 0x7FFF;

[[nodiscard]] inline std::uint64_t ExtMantissa(long double x) noexcept {
    std::uint64_t m;
    std::memcpy(&m, &x, sizeof m);
    return m;
}

[[nodiscard]] inline std::uint16_t ExtSignExp(long double x) noexcept {
    std::uint16_t se;
    std::memcpy(&se, reinterpret_cast<const unsigned char*>(&x) + 8, sizeof se);
    return se;
}

[[nodiscard]] inline long double ExtFromBits(std::uint64_t mantissa,
                                             std::uint16_t signExp) noexcept {
    long double x = 0.0L;  // clears the padding bytes as well
    std::memcpy(&x, &mantissa, sizeof mantissa);
    std::memcpy(reinterpret_cast<unsigned char*>(&x) + 8, &signExp, sizeof signExp);
    return x;
}

// The unbiased binary exponent e of a finite nonzero x, with x = mantissa * 2^(e - 63).
[[nodiscard]] inline int ExtExponent(long double x) noexcept {
    const int field = ExtSignExp(x) & kExtExpMask;
    return (field == 0 ? 1 : field) - kExtBias;
}

}  // namespace rekna
