// Fraction normalisation, the fraction gcd and the arithmetic of TFrac.
#include "numbers/frac.h"

#include <bit>
#include <cmath>

#include "numbers/ext_bits.h"
#include "numbers/number_settings.h"

namespace rekna {

namespace {

// Moves the binary exponent of a positive finite den into num, leaving den in [1, 2).
inline void MoveExponent(long double& num, long double& den) noexcept {
    const std::uint16_t denSE = ExtSignExp(den);
    const int denField = denSE & kExtExpMask;
    if (denField == kExtBias) return;  // already in [1, 2)
    const std::uint16_t numSE = ExtSignExp(num);
    const int numField = numSE & kExtExpMask;
    const int shift = denField - kExtBias;
    if (denField != 0 && numField != 0 && numField - shift > 0 && numField - shift < kExtExpMask) {
        den = ExtFromBits(ExtMantissa(den), static_cast<std::uint16_t>(kExtBias));
        num = ExtFromBits(ExtMantissa(num),
                          static_cast<std::uint16_t>((numSE & 0x8000) | (numField - shift)));
        return;
    }
    int e = 0;
    std::frexp(den, &e);
    num = std::ldexp(num, 1 - e);
    den = std::ldexp(den, 1 - e);
    // A numerator below the smallest denormal after the shift is a zero, and a zero is 0/1.
    if (num == 0.0L) den = 1.0L;
}

inline TFrac Normalized(long double num, long double den) noexcept {
    TFrac f = TFrac::Raw(num, den);
    f.Normalize();
    return f;
}

}  // namespace

long double FracGcd(long double a, long double b) noexcept {
    if (a == 1.0L || b == 1.0L) return 1.0L;
    std::uint64_t x = ExtMantissa(a);
    std::uint64_t y = ExtMantissa(b);
    if (x == 0 || y == 0) return 1.0L;
    x >>= std::countr_zero(x);
    y >>= std::countr_zero(y);
    if (x == 1 || y == 1) return 1.0L;
    // Binary gcd of two odd numbers; it stays odd.
    while (x != y) {
        if (x > y) {
            x -= y;
            x >>= std::countr_zero(x);
        } else {
            y -= x;
            y >>= std::countr_zero(y);
        }
    }
    return static_cast<long double>(x);
}

void TFrac::Normalize() noexcept {
    if (Num == 0.0L) {
        Num = 0.0L;
        Den = 1.0L;
        return;
    }
    // A zero denominator never comes from valid arithmetic; it is read as 1 rather than
    // turned into an infinity.
    if (Den == 0.0L) Den = 1.0L;
    if (!NumberSettings.Fractional) {
        if (Den != 1.0L) Num /= Den;
        Den = 1.0L;
        return;
    }
    if (!std::isfinite(Num) || !std::isfinite(Den)) {
        if (std::signbit(Den)) {
            Den = -Den;
            Num = -Num;
        }
        return;
    }
    if (Den != 1.0L) {
        // A power of two shares no odd factor with anything.
        const long double g = ExtMantissa(Den) == 0x8000000000000000ULL ? 1.0L : FracGcd(Num, Den);
        if (g != 1.0L) {
            Num /= g;
            Den /= g;
        }
        if (Den < 0.0L) {
            Den = -Den;
            Num = -Num;
        }
        MoveExponent(Num, Den);
    }
}

TFrac operator+(const TFrac& x, const TFrac& y) noexcept {
    if (!NumberSettings.Fractional) return TFrac(x.Value() + y.Value());
    if (x.Den == 1.0L && y.Den == 1.0L) return TFrac(x.Num + y.Num);
    const long double g = FracGcd(y.Den, x.Den);
    if (g == 1.0L) return Normalized(y.Den * x.Num + x.Den * y.Num, x.Den * y.Den);
    const long double dg = y.Den / g;
    const long double bg = x.Den / g;
    return Normalized(dg * x.Num + bg * y.Num, x.Den * dg);
}

TFrac operator-(const TFrac& x, const TFrac& y) noexcept {
    return x + (-y);
}

TFrac operator*(const TFrac& x, const TFrac& y) noexcept {
    if (!NumberSettings.Fractional) return TFrac(x.Value() * y.Value());
    long double a = x.Num, b = x.Den, c = y.Num, d = y.Den;
    if (b == 1.0L && d == 1.0L) return TFrac(a * c);
    if (d != 1.0L) {
        const long double g = FracGcd(a, d);
        if (g != 1.0L) {
            a /= g;
            d /= g;
        }
    }
    if (b != 1.0L) {
        const long double g = FracGcd(c, b);
        if (g != 1.0L) {
            c /= g;
            b /= g;
        }
    }
    return Normalized(a * c, b * d);
}

TFrac operator/(const TFrac& x, const TFrac& y) noexcept {
    if (!NumberSettings.Fractional) return TFrac(x.Value() / y.Value());
    long double a = x.Num, b = x.Den, c = y.Num, d = y.Den;
    long double g = FracGcd(a, c);
    if (g != 1.0L) {
        a /= g;
        c /= g;
    }
    g = FracGcd(b, d);
    if (g != 1.0L) {
        b /= g;
        d /= g;
    }
    return Normalized(a * d, c * b);
}

TFrac Square(const TFrac& x) noexcept {
    if (!NumberSettings.Fractional) {
        const long double v = x.Value();
        return TFrac(v * v);
    }
    return Normalized(x.Num * x.Num, x.Den * x.Den);
}

namespace {

long double PowerOf(long double base, std::uint64_t n) noexcept {
    long double result = 1.0L;
    while (n != 0) {
        if (n & 1U) result *= base;
        n >>= 1;
        if (n != 0) base *= base;
    }
    return result;
}

}  // namespace

TFrac IntPower(const TFrac& x, std::int64_t n) noexcept {
    const std::uint64_t m =
        n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    if (!NumberSettings.Fractional) {
        const long double p = PowerOf(x.Value(), m);
        return TFrac(n < 0 ? 1.0L / p : p);
    }
    const long double num = PowerOf(x.Num, m);
    const long double den = PowerOf(x.Den, m);
    return n < 0 ? Normalized(den, num) : Normalized(num, den);
}

long double AbsValue(const TFrac& x) noexcept {
    return std::fabs(x.Value());
}

std::int64_t RoundHalfAway(long double x) noexcept {
    if (std::isnan(x)) return 0;
    constexpr long double kTwo63 = 9223372036854775808.0L;
    if (x >= kTwo63 - 1.0L) return INT64_MAX;
    if (x <= -kTwo63) return INT64_MIN;
    return static_cast<std::int64_t>(x >= 0.0L ? x + 0.5L : x - 0.5L);
}

}  // namespace rekna
