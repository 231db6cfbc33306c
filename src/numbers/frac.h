// TFrac: one real quantity held as a fraction of two 80-bit extended floats.
#pragma once

#include <cstdint>
#include <limits>

namespace rekna {

static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "Rekna needs the 80-bit extended type with a 64-bit explicit mantissa");

// Value Num / Den. After normalisation with fraction calculation on, Den lies in [1, 2), the
// sign is in Num, the odd parts of the two mantissas share no factor, and zero is 0/1; powers
// of two live in Num's exponent, so 1/10 is held as 0.125 / 1.25. With fraction calculation
// off, Den is 1.
struct TFrac {
    long double Num = 0.0L;
    long double Den = 1.0L;

    constexpr TFrac() noexcept = default;
    constexpr TFrac(long double x) noexcept : Num(x) {}  // x / 1, already normal
    TFrac(long double num, long double den) noexcept : Num(num), Den(den) { Normalize(); }

    // A fraction taken as it stands, without normalisation.
    [[nodiscard]] static constexpr TFrac Raw(long double num, long double den) noexcept {
        TFrac f;
        f.Num = num;
        f.Den = den;
        return f;
    }

    // The value as one extended float.
    [[nodiscard]] long double Value() const noexcept { return Den == 1.0L ? Num : Num / Den; }

    [[nodiscard]] constexpr bool IsZero() const noexcept { return Num == 0.0L; }

    void Normalize() noexcept;

    friend constexpr bool operator==(const TFrac&, const TFrac&) noexcept = default;
};

// The greatest common divisor of the odd parts of the two mantissas, as an odd integer.
[[nodiscard]] long double FracGcd(long double a, long double b) noexcept;

[[nodiscard]] TFrac operator+(const TFrac& x, const TFrac& y) noexcept;
[[nodiscard]] TFrac operator-(const TFrac& x, const TFrac& y) noexcept;
[[nodiscard]] TFrac operator*(const TFrac& x, const TFrac& y) noexcept;
// Division by a zero fraction is the caller's concern (the complex division checks it).
[[nodiscard]] TFrac operator/(const TFrac& x, const TFrac& y) noexcept;
[[nodiscard]] constexpr TFrac operator-(const TFrac& x) noexcept {
    return TFrac::Raw(-x.Num, x.Den);
}
[[nodiscard]] TFrac Square(const TFrac& x) noexcept;
// x^n for an integer n: exact powering of Num and Den with fraction calculation on.
[[nodiscard]] TFrac IntPower(const TFrac& x, std::int64_t n) noexcept;
[[nodiscard]] long double AbsValue(const TFrac& x) noexcept;

// Round half away from zero to a 64-bit integer (saturating; NaN gives 0).
[[nodiscard]] std::int64_t RoundHalfAway(long double x) noexcept;

}  // namespace rekna
