// TCplx: the calculator's one value type, a complex number of two fractions, with its operators.
#pragma once

#include "numbers/frac.h"

namespace rekna {

struct TCplx {
    TFrac Re;
    TFrac Im;

    constexpr TCplx() noexcept = default;
    constexpr TCplx(long double re) noexcept : Re(re) {}
    constexpr TCplx(long double re, long double im) noexcept : Re(re), Im(im) {}
    constexpr TCplx(const TFrac& re, const TFrac& im = TFrac()) noexcept : Re(re), Im(im) {}

    // The blank mark: a line that could not be compiled.
    [[nodiscard]] static TCplx Blank() noexcept;
    // The error mark: a line whose evaluation failed; shown "Err".
    [[nodiscard]] static TCplx ErrorMark() noexcept;
    [[nodiscard]] bool IsBlank() const noexcept;
    [[nodiscard]] bool IsErrorMark() const noexcept;

    [[nodiscard]] constexpr bool IsZero() const noexcept { return Re.IsZero() && Im.IsZero(); }
    [[nodiscard]] constexpr bool IsReal() const noexcept { return Im.IsZero(); }

    friend constexpr bool operator==(const TCplx&, const TCplx&) noexcept = default;
};

// The indefinite NaN of the extended type (sign set, top two mantissa bits set).
[[nodiscard]] long double IndefiniteNaN() noexcept;

// Arithmetic of the expression language. A domain failure sets the error state and gives 0.
[[nodiscard]] TCplx operator+(const TCplx& x, const TCplx& y) noexcept;
[[nodiscard]] TCplx operator-(const TCplx& x, const TCplx& y) noexcept;
[[nodiscard]] TCplx operator*(const TCplx& x, const TCplx& y) noexcept;
[[nodiscard]] TCplx operator/(const TCplx& x, const TCplx& y) noexcept;
[[nodiscard]] constexpr TCplx operator-(const TCplx& x) noexcept {
    return TCplx(-x.Re, -x.Im);
}

[[nodiscard]] TCplx Power(const TCplx& x, const TCplx& y) noexcept;        // ^
[[nodiscard]] TCplx Parallel(const TCplx& x, const TCplx& y) noexcept;     // // and |
[[nodiscard]] TCplx RmsSum(const TCplx& x, const TCplx& y) noexcept;       // ~
[[nodiscard]] TCplx Remainder(const TCplx& x, const TCplx& y) noexcept;    // !
[[nodiscard]] TCplx IntQuotient(const TCplx& x, const TCplx& y) noexcept;  // backslash
[[nodiscard]] TCplx Minimum(const TCplx& x, const TCplx& y) noexcept;      // '
[[nodiscard]] TCplx Maximum(const TCplx& x, const TCplx& y) noexcept;      // "
[[nodiscard]] TCplx Gcd(const TCplx& x, const TCplx& y) noexcept;          // `
[[nodiscard]] TCplx Polar(const TCplx& x, const TCplx& y) noexcept;        // @

// Comparisons look at the real parts only and give 1 or 0.
[[nodiscard]] TCplx Greater(const TCplx& x, const TCplx& y) noexcept;
[[nodiscard]] TCplx Less(const TCplx& x, const TCplx& y) noexcept;
[[nodiscard]] TCplx GreaterEqual(const TCplx& x, const TCplx& y) noexcept;
[[nodiscard]] TCplx LessEqual(const TCplx& x, const TCplx& y) noexcept;
[[nodiscard]] TCplx Equal(const TCplx& x, const TCplx& y) noexcept;
[[nodiscard]] TCplx NotEqual(const TCplx& x, const TCplx& y) noexcept;

// Near equality of two real parts: |a - b| <= 2.168e-19 * |a + b| / 2.
[[nodiscard]] bool NearlyEqual(const TFrac& a, const TFrac& b) noexcept;

// The tiny-error cut: with RoundFuzz on, a part below 3.4688e-18 of the larger part is zero.
[[nodiscard]] TCplx CutTinyError(const TCplx& x) noexcept;

// The value as two extended floats, the input form of every floating-point function.
[[nodiscard]] inline long double ReValue(const TCplx& x) noexcept {
    return x.Re.Value();
}
[[nodiscard]] inline long double ImValue(const TCplx& x) noexcept {
    return x.Im.Value();
}

// Complex exponential and logarithm in extended; the logarithm of 0 sets error 12.
[[nodiscard]] TCplx CplxExp(const TCplx& x) noexcept;
[[nodiscard]] TCplx CplxLn(const TCplx& x) noexcept;
[[nodiscard]] long double CplxAbs(const TCplx& x) noexcept;
[[nodiscard]] long double CplxArg(const TCplx& x) noexcept;

}  // namespace rekna
