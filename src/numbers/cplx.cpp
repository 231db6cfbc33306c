// The operators of the calculation language on complex fractions, and the tiny-error cut.
#include "numbers/cplx.h"

#include <bit>
#include <cmath>
#include <numbers>

#include "numbers/calc_error.h"
#include "numbers/ext_bits.h"
#include "numbers/number_settings.h"

namespace rekna {

namespace {

constexpr long double kNearlyEqual = 2.168e-19L;
constexpr long double kTinyError = 3.4688e-18L;
constexpr long double kPi = std::numbers::pi_v<long double>;

inline TCplx Fail(TCalcErr code) noexcept {
    SetCalcErr(code);
    return TCplx();
}

inline bool IsIntegral(long double v) noexcept {
    return std::isfinite(v) && v == std::trunc(v);
}

// -1, 0 or 1 as x is below, equal to or above y.
inline int CompareFrac(const TFrac& x, const TFrac& y) noexcept {
    const long double a = x.Value();
    const long double b = y.Value();
    return a < b ? -1 : (a > b ? 1 : 0);
}

// A power of a non-negative real base, with exact square and cube roots where the exponent is
// the reciprocal of 2 or 3.
long double RealPower(long double base, const TFrac& y) noexcept {
    const long double e = y.Den == 1.0L ? 0.0L : TFrac(y.Den, y.Num).Value();
    if (e == 2.0L) return std::sqrt(base);
    if (e == 3.0L) return std::cbrt(base);
    if (e == -2.0L) return 1.0L / std::sqrt(base);
    if (e == -3.0L) return 1.0L / std::cbrt(base);
    return std::pow(base, y.Value());
}

// Binary digits after the binary point of a finite value.
int FractionBits(long double v) noexcept {
    const std::uint64_t m = ExtMantissa(v);
    if (v == 0.0L || m == 0) return 0;
    const int bits = 63 - std::countr_zero(m) - ExtExponent(v);
    return bits > 0 ? bits : 0;
}

// Greatest common divisor of two real parts under fraction calculation.
TFrac FracPartGcd(const TFrac& a, const TFrac& b) noexcept {
    if (a.IsZero()) return b;
    if (b.IsZero()) return a;
    const TFrac q = a / b;
    const int k = std::max(FractionBits(q.Num), FractionBits(q.Den));
    const long double scaled = std::ldexp(q.Num, k);
    return TFrac(std::fabs(a.Num), a.Den) / TFrac(std::fabs(scaled));
}

inline long double RoundToInteger(long double v) noexcept {
    return std::copysign(std::trunc(std::fabs(v) + 0.5L), v);
}

TFrac PartGcd(const TFrac& a, const TFrac& b) noexcept {
    if (NumberSettings.Fractional) return FracPartGcd(a, b);
    NumberSettings.Fractional = true;
    const TFrac g = FracPartGcd(TFrac(RoundToInteger(a.Value())), TFrac(RoundToInteger(b.Value())));
    NumberSettings.Fractional = false;
    return TFrac(g.Value());
}

// The two compared quantities of a comparison: cross products under fraction calculation.
inline void ComparedPair(const TCplx& x, const TCplx& y, long double& p, long double& q) noexcept {
    if (NumberSettings.Fractional) {
        p = x.Re.Num * y.Re.Den;
        q = y.Re.Num * x.Re.Den;
    } else {
        p = x.Re.Value();
        q = y.Re.Value();
    }
}

inline bool NearlyEqualValues(long double a, long double b) noexcept {
    return a == b || std::fabs(a - b) <= kNearlyEqual * std::fabs(a + b) / 2.0L;
}

inline TCplx Truth(bool b) noexcept {
    return TCplx(b ? 1.0L : 0.0L);
}

}  // namespace

long double IndefiniteNaN() noexcept {
    return ExtFromBits(0xC000000000000000ULL, 0xFFFF);
}

TCplx TCplx::Blank() noexcept {
    return TCplx(TFrac(IndefiniteNaN()), TFrac());
}
TCplx TCplx::ErrorMark() noexcept {
    return TCplx(TFrac(), TFrac(IndefiniteNaN()));
}
bool TCplx::IsBlank() const noexcept {
    return std::isnan(Re.Num) && Im.Num == 0.0L;
}
bool TCplx::IsErrorMark() const noexcept {
    return Re.Num == 0.0L && std::isnan(Im.Num);
}

TCplx operator+(const TCplx& x, const TCplx& y) noexcept {
    TCplx r;
    if (!x.Re.IsZero() || !y.Re.IsZero()) r.Re = x.Re + y.Re;
    if (!x.Im.IsZero() || !y.Im.IsZero()) r.Im = x.Im + y.Im;
    return r;
}

TCplx operator-(const TCplx& x, const TCplx& y) noexcept {
    TCplx r;
    if (!x.Re.IsZero() || !y.Re.IsZero()) r.Re = x.Re - y.Re;
    if (!x.Im.IsZero() || !y.Im.IsZero()) r.Im = x.Im - y.Im;
    return r;
}

TCplx operator*(const TCplx& x, const TCplx& y) noexcept {
    const bool xReal = x.Im.IsZero();
    const bool yReal = y.Im.IsZero();
    if (xReal && yReal) return TCplx(x.Re * y.Re);
    if (xReal) return TCplx(x.Re * y.Re, x.Re * y.Im);
    if (yReal) return TCplx(x.Re * y.Re, x.Im * y.Re);
    return TCplx(x.Re * y.Re - x.Im * y.Im, x.Re * y.Im + x.Im * y.Re);
}

TCplx operator/(const TCplx& x, const TCplx& y) noexcept {
    if (x.IsZero()) return y.IsZero() ? Fail(TCalcErr::ceDivZero) : x;
    if (y.Im.IsZero()) {
        if (y.Re.IsZero()) return Fail(TCalcErr::ceDivZero);
        return TCplx(x.Re / y.Re, x.Im.IsZero() ? TFrac() : x.Im / y.Re);
    }
    if (y.Re.IsZero()) return TCplx(x.Im / y.Im, -(x.Re / y.Im));
    // Smith's scheme keeps the intermediate products in range.
    if (AbsValue(y.Im) <= AbsValue(y.Re)) {
        const TFrac r = y.Im / y.Re;
        const TFrac d = y.Re * (TFrac(1.0L) + Square(r));
        return TCplx((x.Re + x.Im * r) / d, (x.Im - x.Re * r) / d);
    }
    const TFrac r = y.Re / y.Im;
    const TFrac d = y.Im * (TFrac(1.0L) + Square(r));
    return TCplx((x.Re * r + x.Im) / d, (x.Im * r - x.Re) / d);
}

long double CplxAbs(const TCplx& x) noexcept {
    if (x.Im.IsZero()) return std::fabs(x.Re.Value());
    if (x.Re.IsZero()) return std::fabs(x.Im.Value());
    return std::hypot(x.Re.Value(), x.Im.Value());
}

long double CplxArg(const TCplx& x) noexcept {
    return std::atan2(x.Im.Value(), x.Re.Value());
}

TCplx CplxExp(const TCplx& x) noexcept {
    const long double e = std::exp(x.Re.Value());
    if (x.Im.IsZero()) return TCplx(e);
    const long double b = x.Im.Value();
    return TCplx(e * std::cos(b), e * std::sin(b));
}

TCplx CplxLn(const TCplx& x) noexcept {
    if (x.IsZero()) return Fail(TCalcErr::ceFuncCalc);
    if (x.Im.IsZero() && x.Re.Value() > 0.0L) return TCplx(std::log(x.Re.Value()));
    return TCplx(std::log(CplxAbs(x)), CplxArg(x));
}

TCplx Power(const TCplx& x, const TCplx& y) noexcept {
    const long double yv = y.Re.Value();
    // Integral real exponent: exact powering.
    if (y.Im.IsZero() && IsIntegral(yv) && std::fabs(yv) <= 2147483647.0L) {
        const std::int64_t n = RoundHalfAway(yv);
        if (x.Im.IsZero()) {
            if (x.Re.IsZero() && n < 0) return Fail(TCalcErr::ceDivZero);
            return TCplx(IntPower(x.Re, n));
        }
        if (x.Re.IsZero()) {
            const TFrac p = IntPower(x.Im, n);
            TCplx r;
            switch ((n < 0 ? -n : n) % 4) {
            case 0: r = TCplx(p); break;
            case 1: r = TCplx(TFrac(), p); break;
            case 2: r = TCplx(-p); break;
            default: r = TCplx(TFrac(), -p); break;
            }
            if (n < 0) r.Im = -r.Im;
            return r;
        }
        const long double m = std::pow(CplxAbs(x), static_cast<long double>(n));
        const long double t = CplxArg(x) * static_cast<long double>(n);
        return TCplx(m * std::cos(t), m * std::sin(t));
    }
    if (!x.Im.IsZero() || !y.Im.IsZero()) {
        if (x.IsZero()) {
            if (yv > 0.0L) return TCplx();
            if (yv != 0.0L) return Fail(TCalcErr::ceDivZero);
            if (y.IsZero()) return Fail(TCalcErr::cePowerCalc);
        }
    } else {
        const long double xv = x.Re.Value();
        if (xv >= 0.0L) {
            if (xv == 0.0L && yv < 0.0L) return Fail(TCalcErr::ceDivZero);
            return TCplx(RealPower(xv, y.Re));
        }
        if (NumberSettings.Fractional) {
            // Odd and 4k+2 roots of a negative base stay real or purely imaginary.
            const TFrac inv = TFrac(1.0L) / y.Re;
            if (inv.Den == 1.0L && IsIntegral(inv.Num) && std::fabs(inv.Num) <= 2147483647.0L) {
                const std::int64_t e = static_cast<std::int64_t>(inv.Num);
                if (e % 2 != 0) return TCplx(-RealPower(-xv, y.Re));
                if ((e % 4 + 4) % 4 == 2) return TCplx(TFrac(), TFrac(RealPower(-xv, y.Re)));
            }
        }
    }
    const TCalcErr before = CalcErr;
    const TCplx l = CplxLn(x);
    if (CalcErr == TCalcErr::ceFuncCalc && before != TCalcErr::ceFuncCalc)
        return Fail(TCalcErr::cePowerCalc);
    return CplxExp(y * l);
}

TCplx Parallel(const TCplx& x, const TCplx& y) noexcept {
    if (x.IsZero() || y.IsZero()) return TCplx();
    return x * y / (x + y);
}

TCplx RmsSum(const TCplx& x, const TCplx& y) noexcept {
    const TFrac sum = Square(x.Re) + Square(y.Re) + Square(x.Im) + Square(y.Im);
    return TCplx(std::sqrt(sum.Value()));
}

TCplx IntQuotient(const TCplx& x, const TCplx& y) noexcept {
    const TCalcErr before = CalcErr;
    const TCplx q = x / y;
    if (CalcErr != before && CalcErr != TCalcErr::ceNone) return TCplx();
    return TCplx(std::trunc(q.Re.Value()), std::trunc(q.Im.Value()));
}

TCplx Remainder(const TCplx& x, const TCplx& y) noexcept {
    const TCalcErr before = CalcErr;
    const TCplx q = IntQuotient(x, y);
    if (CalcErr != before && CalcErr != TCalcErr::ceNone) return TCplx();
    return x - y * q;
}

TCplx Minimum(const TCplx& x, const TCplx& y) noexcept {
    int c = CompareFrac(x.Re, y.Re);
    if (c == 0) c = CompareFrac(x.Im, y.Im);
    return c < 0 ? x : y;
}

TCplx Maximum(const TCplx& x, const TCplx& y) noexcept {
    int c = CompareFrac(x.Re, y.Re);
    if (c == 0) c = CompareFrac(x.Im, y.Im);
    return c > 0 ? x : y;
}

TCplx Gcd(const TCplx& x, const TCplx& y) noexcept {
    TCplx r(PartGcd(x.Re, y.Re));
    if (!x.Im.IsZero() || !y.Im.IsZero()) r.Im = PartGcd(x.Im, y.Im);
    return r;
}

TCplx Polar(const TCplx& x, const TCplx& y) noexcept {
    TCplx phase = y;
    if (NumberSettings.AngleUnit == TAngleUnit::auDeg) phase = phase * TCplx(kPi / 180.0L);
    return x * CplxExp(TCplx(-phase.Im, phase.Re));
}

bool NearlyEqual(const TFrac& a, const TFrac& b) noexcept {
    if (NumberSettings.Fractional) return NearlyEqualValues(a.Num * b.Den, b.Num * a.Den);
    return NearlyEqualValues(a.Value(), b.Value());
}

TCplx Greater(const TCplx& x, const TCplx& y) noexcept {
    long double p, q;
    ComparedPair(x, y, p, q);
    return Truth(!NearlyEqualValues(p, q) && p > q);
}

TCplx Less(const TCplx& x, const TCplx& y) noexcept {
    long double p, q;
    ComparedPair(x, y, p, q);
    return Truth(!NearlyEqualValues(p, q) && p < q);
}

TCplx GreaterEqual(const TCplx& x, const TCplx& y) noexcept {
    long double p, q;
    ComparedPair(x, y, p, q);
    return Truth(NearlyEqualValues(p, q) || p > q);
}

TCplx LessEqual(const TCplx& x, const TCplx& y) noexcept {
    long double p, q;
    ComparedPair(x, y, p, q);
    return Truth(NearlyEqualValues(p, q) || p < q);
}

TCplx Equal(const TCplx& x, const TCplx& y) noexcept {
    return Truth(NearlyEqual(x.Re, y.Re));
}

TCplx NotEqual(const TCplx& x, const TCplx& y) noexcept {
    return Truth(!NearlyEqual(x.Re, y.Re));
}

TCplx CutTinyError(const TCplx& x) noexcept {
    if (!NumberSettings.RoundFuzz || x.Im.IsZero() || x.Re.IsZero()) return x;
    const long double a = AbsValue(x.Re);
    const long double b = AbsValue(x.Im);
    const long double c = std::max(a, b) * kTinyError;
    TCplx r = x;
    if (a < c) r.Re = TFrac();
    if (b < c) r.Im = TFrac();
    return r;
}

}  // namespace rekna
