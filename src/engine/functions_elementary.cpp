// The elementary functions: magnitude and parts, trigonometry and its inverses, hyperbolic
// functions, exponential and logarithms, roots, angle conversion, rounding and tests, rand, time.
#include <chrono>
#include <cmath>
#include <ctime>
#include <random>

#include "engine/function_impl.h"
#include "numbers/number_settings.h"

namespace rekna {

namespace {

// Which angle unit a function reads or writes: the setting, or always degrees or radians.
enum class TAngle : std::uint8_t { Unit, Deg, Rad };

[[nodiscard]] inline bool InDegrees(TAngle a) noexcept {
    return a == TAngle::Deg || (a == TAngle::Unit && NumberSettings.AngleUnit == TAngleUnit::auDeg);
}

// An argument in the function's unit, in radians. Dividing by 180 first keeps multiples of
// 90 degrees on the extended value of pi/2.
[[nodiscard]] inline TStdCplx ArgRadians(const TCplx& z, TAngle a) noexcept {
    TStdCplx w = ToStd(z);
    if (InDegrees(a)) w = {w.real() / 180.0L * kPi, w.imag() / 180.0L * kPi};
    return w;
}

// A result in radians, in the function's unit; angles that are dyadic multiples of the
// extended pi come out as exact degrees.
[[nodiscard]] inline TCplx ResultAngle(const TStdCplx& w, TAngle a) noexcept {
    if (!InDegrees(a)) return FromStd(w);
    return TCplx(w.real() / kPi * 180.0L, w.imag() / kPi * 180.0L);
}

[[nodiscard]] inline TStdCplx TimesMinusI(const TStdCplx& w) noexcept {
    return {w.imag(), -w.real()};
}

// ---- trigonometric ----

TCplx Sin(const TCplx& z, TAngle a) noexcept {
    const TStdCplx w = ArgRadians(z, a);
    if (z.IsReal()) return TCplx(std::sin(w.real()));
    return TCplx(std::sin(w.real()) * std::cosh(w.imag()),
                 std::cos(w.real()) * std::sinh(w.imag()));
}

TCplx Cos(const TCplx& z, TAngle a) noexcept {
    const TStdCplx w = ArgRadians(z, a);
    if (z.IsReal()) return TCplx(std::cos(w.real()));
    return TCplx(std::cos(w.real()) * std::cosh(w.imag()),
                 -(std::sin(w.real()) * std::sinh(w.imag())));
}

// The complex tangent uses the library's form of (sin 2x + i sinh 2y) / (cosh 2y + cos 2x),
// which stays accurate near the poles and for a large imaginary part.
TCplx Tan(const TCplx& z, TAngle a) noexcept {
    const TStdCplx w = ArgRadians(z, a);
    if (z.IsReal()) return TCplx(std::tan(w.real()));
    const TStdCplx t = std::tan(w);
    if (!std::isfinite(t.real()) || !std::isfinite(t.imag())) return FuncFail(TCalcErr::ceDivZero);
    return FromStd(t);
}

// ---- inverse trigonometric ----
// A real argument outside the real domain lies on a branch cut. The continuation used here
// is -i ln(iz + sqrt(1 - z^2)) with sqrt(x) = i sqrt(|x|) for negative x; it takes the value
// from below the cut for x > 1 and from above it for x < -1, which is the library's value for
// an imaginary zero of the opposite sign to x.
[[nodiscard]] TStdCplx AsinValue(const TCplx& z) noexcept {
    const long double x = ReValue(z);
    if (z.IsReal()) {
        if (std::fabs(x) <= 1.0L) return std::asin(x);
        return std::asin(TStdCplx(x, x > 0.0L ? -0.0L : 0.0L));
    }
    return std::asin(ToStd(z));
}

// pi/2 - asin z, with the same cut values.
[[nodiscard]] TStdCplx AcosValue(const TCplx& z) noexcept {
    const long double x = ReValue(z);
    if (z.IsReal()) {
        if (std::fabs(x) <= 1.0L) return std::acos(x);
        return std::acos(TStdCplx(x, x > 0.0L ? -0.0L : 0.0L));
    }
    return std::acos(ToStd(z));
}

// (i/2)(ln(1 - iz) - ln(1 + iz)); on the imaginary axis beyond +-i the real part is +pi/2
// above and -pi/2 below, the library's value for a real zero with the sign of the imaginary part.
// The poles +-i are reported through pole.
[[nodiscard]] TStdCplx AtanValue(const TCplx& z, bool& pole) noexcept {
    pole = false;
    if (z.IsReal()) return std::atan(ReValue(z));
    const long double y = ImValue(z);
    if (z.Re.IsZero()) {
        if (std::fabs(y) == 1.0L) {
            pole = true;
            return {};
        }
        return std::atan(TStdCplx(std::copysign(0.0L, y), y));
    }
    return std::atan(ToStd(z));
}

[[nodiscard]] inline TCplx IMul(const TCplx& z) noexcept {
    return TCplx(-z.Im, z.Re);
}

TCplx Asin(const TCplx& z, TAngle a) noexcept {
    return ResultAngle(AsinValue(z), a);
}
TCplx Acos(const TCplx& z, TAngle a) noexcept {
    return ResultAngle(AcosValue(z), a);
}

TCplx Atan(const TCplx& z, TAngle a) noexcept {
    bool pole = false;
    const TStdCplx w = AtanValue(z, pole);
    if (pole) return FuncFail(TCalcErr::ceFuncCalc);
    return ResultAngle(w, a);
}

// ---- inverse hyperbolic ----

TCplx Asinh(const TCplx& z) noexcept {
    if (z.IsReal()) return TCplx(std::asinh(ReValue(z)));
    return FromStd(TimesMinusI(AsinValue(IMul(z))));  // -i asin(iz)
}

// ln(z + sqrt(z + 1) sqrt(z - 1)): a real x < 1 is read from above the cut.
TCplx Acosh(const TCplx& z) noexcept {
    const long double x = ReValue(z);
    if (z.IsReal() && x >= 1.0L) return TCplx(std::acosh(x));
    return FromStd(std::acosh(ToStd(z)));
}

TCplx Atanh(const TCplx& z) noexcept {
    if (z.IsReal()) {
        const long double x = ReValue(z);
        if (std::fabs(x) < 1.0L) return TCplx(std::atanh(x));
        if (std::fabs(x) == 1.0L) return FuncFail(TCalcErr::ceFuncCalc);
    }
    bool pole = false;
    const TStdCplx w = AtanValue(IMul(z), pole);  // -i atan(iz)
    if (pole) return FuncFail(TCalcErr::ceFuncCalc);
    return FromStd(TimesMinusI(w));
}

// ---- hyperbolic, exponential, logarithms ----

TCplx Sinh(const TCplx& z) noexcept {
    const long double x = ReValue(z);
    if (z.IsReal()) return TCplx(std::sinh(x));
    const long double y = ImValue(z);
    return TCplx(std::sinh(x) * std::cos(y), std::cosh(x) * std::sin(y));
}

TCplx Cosh(const TCplx& z) noexcept {
    const long double x = ReValue(z);
    if (z.IsReal()) return TCplx(std::cosh(x));
    const long double y = ImValue(z);
    return TCplx(std::cosh(x) * std::cos(y), std::sinh(x) * std::sin(y));
}

// sinh z / cosh z in the library's form, which does not overflow for a large real part.
TCplx Tanh(const TCplx& z) noexcept {
    if (z.IsReal()) return TCplx(std::tanh(ReValue(z)));
    const TStdCplx t = std::tanh(ToStd(z));
    if (!std::isfinite(t.real()) || !std::isfinite(t.imag())) return FuncFail(TCalcErr::ceDivZero);
    return FromStd(t);
}

TCplx Exp(const TCplx& z) noexcept {
    const long double e = std::exp(ReValue(z));
    if (z.IsReal()) return TCplx(e);
    const long double y = ImValue(z);
    return TCplx(e * std::cos(y), e * std::sin(y));
}

// ln z, or 0 with error 12 for z = 0; a real positive z stays real.
[[nodiscard]] bool LogValue(const TCplx& z, TStdCplx& w) noexcept {
    if (z.IsZero()) {
        SetCalcErr(TCalcErr::ceFuncCalc);
        return false;
    }
    w = std::log(ToStd(z));
    return true;
}

TCplx Ln(const TCplx& z) noexcept {
    if (z.IsReal() && ReValue(z) > 0.0L) return TCplx(std::log(ReValue(z)));
    TStdCplx w;
    if (!LogValue(z, w)) return TCplx();
    return FromStd(w);
}

TCplx Log10(const TCplx& z) noexcept {
    if (z.IsReal() && ReValue(z) > 0.0L) return TCplx(std::log10(ReValue(z)));
    TStdCplx w;
    if (!LogValue(z, w)) return TCplx();
    constexpr long double kLn10 = std::numbers::ln10_v<long double>;
    return TCplx(w.real() / kLn10, w.imag() / kLn10);
}

TCplx Log2(const TCplx& z) noexcept {
    if (z.IsReal() && ReValue(z) > 0.0L) return TCplx(std::log2(ReValue(z)));
    TStdCplx w;
    if (!LogValue(z, w)) return TCplx();
    constexpr long double kLn2 = std::numbers::ln2_v<long double>;
    return TCplx(w.real() / kLn2, w.imag() / kLn2);
}

// ---- roots ----

// The principal root of a complex value with both parts nonzero, in extended.
[[nodiscard]] TCplx GeneralSqrt(long double x, long double y) noexcept {
    const long double r = std::hypot(x, y);
    if (x > 0.0L) {
        const long double t = std::sqrt((r + x) / 2.0L);
        return TCplx(t, y / (2.0L * t));
    }
    const long double t = std::sqrt((r - x) / 2.0L);
    return TCplx(std::fabs(y) / (2.0L * t), std::copysign(t, y));
}

// sqrt(Num) / sqrt(Den): exact whenever both are squares, as for squares of dyadic fractions.
[[nodiscard]] inline TFrac FracSqrt(const TFrac& f) noexcept {
    return TFrac(std::sqrt(std::fabs(f.Num)), std::sqrt(f.Den));
}

TCplx Sqrt(const TCplx& z) noexcept {
    if (z.IsReal()) {
        if (z.Re.Num >= 0.0L) return TCplx(FracSqrt(z.Re));
        return TCplx(TFrac(), FracSqrt(z.Re));
    }
    if (z.Re.IsZero()) {
        // sqrt(bi) = a + a i with a = sqrt(|b| / 2), the imaginary part taking the sign of b.
        const TFrac a = FracSqrt(TFrac::Raw(z.Im.Num / 2.0L, z.Im.Den));
        return TCplx(a, z.Im.Num < 0.0L ? -a : a);
    }
    return GeneralSqrt(ReValue(z), ImValue(z));
}

TCplx SqrtFloat(const TCplx& z) noexcept {
    const long double x = ReValue(z);
    if (z.IsReal()) return x >= 0.0L ? TCplx(std::sqrt(x)) : TCplx(0.0L, std::sqrt(-x));
    const long double y = ImValue(z);
    if (z.Re.IsZero()) {
        const long double a = std::sqrt(std::fabs(y) / 2.0L);
        return TCplx(a, std::copysign(a, y));
    }
    return GeneralSqrt(x, y);
}

TCplx Cbrt(const TCplx& z) noexcept {
    if (z.IsReal()) return TCplx(std::cbrt(ReValue(z)));
    TStdCplx w;
    if (!LogValue(z, w)) return TCplx();
    return FromStd(std::exp(w / 3.0L));
}

// ---- parts, rounding, tests ----

TCplx Abs(const TCplx& z) noexcept {
    if (z.IsReal()) return TCplx(TFrac::Raw(std::fabs(z.Re.Num), z.Re.Den));
    return TCplx(CplxAbs(z));
}

TCplx Conj(const TCplx& z) noexcept {
    if (z.IsReal()) return TCplx(z.Re);
    return TCplx(z.Re, -z.Im);
}

// The integral part toward zero of one part. The extended quotient of a fraction can round
// onto an integer the fraction does not reach; the sign of the remainder corrects that.
[[nodiscard]] TFrac TruncPart(const TFrac& f) noexcept {
    if (f.IsZero()) return TFrac();
    const long double v = f.Value();
    if (!std::isfinite(v)) return TFrac(v);
    long double t = std::trunc(v);
    if (f.Den != 1.0L) {
        const long double rest = std::fma(-t, f.Den, f.Num);  // Num - t Den, its sign exact
        if (v > 0.0L && rest < 0.0L) t -= 1.0L;
        if (v < 0.0L && rest > 0.0L) t += 1.0L;
    }
    return TFrac(t);
}

TCplx Int(const TCplx& z) noexcept {
    return TCplx(TruncPart(z.Re), z.Im.IsZero() ? TFrac() : TruncPart(z.Im));
}

TCplx Frac(const TCplx& z) noexcept {
    TCplx r;
    if (!z.Re.IsZero()) r.Re = z.Re - TruncPart(z.Re);
    if (!z.Im.IsZero()) r.Im = z.Im - TruncPart(z.Im);
    return r;
}

// Half away from zero; the library's rounding does not add 0.5 first, so the largest value
// below one half stays 0, and values beyond 2^63 are already integral.
TCplx Round(const TCplx& z) noexcept {
    return TCplx(std::round(ReValue(z)), z.Im.IsZero() ? 0.0L : std::round(ImValue(z)));
}

[[nodiscard]] inline int SignOf(const TFrac& f) noexcept {
    const long double v = f.Value();
    return v > 0.0L ? 1 : (v < 0.0L ? -1 : 0);
}

// ---- rand, time ----

std::mt19937_64& RandomEngine() {
    static std::mt19937_64 engine{std::random_device{}()};
    return engine;
}

// A uniform draw in [0, 1): 64 random bits fill the extended mantissa exactly.
[[nodiscard]] long double UniformDraw() noexcept {
    return std::ldexp(static_cast<long double>(RandomEngine()()), -64);
}

TCplx Rand(const TCplx& z) noexcept {
    const long double r1 = UniformDraw();
    const long double r2 = UniformDraw();
    if (z.IsZero()) return TCplx(r1);
    return TCplx(r1 * ReValue(z), z.Im.IsZero() ? 0.0L : r2 * ImValue(z));
}

// Seconds since local midnight, with the fraction of the current second.
TCplx Time() noexcept {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const long double whole = local.tm_hour * 3600.0L + local.tm_min * 60.0L + local.tm_sec;
    const auto sub = duration_cast<microseconds>(now - system_clock::from_time_t(t)).count();
    return TCplx(whole + static_cast<long double>(sub) / 1e6L);
}

[[nodiscard]] inline TCplx Truth(bool b) noexcept {
    return TCplx(b ? 1.0L : 0.0L);
}

}  // namespace

TCplx ApplyElementary(TFuncId id, const TCplx& z) noexcept {
    switch (id) {
    case TFuncId::Abs: return Abs(z);
    case TFuncId::ACos: return Acos(z, TAngle::Unit);
    case TFuncId::ACosD: return Acos(z, TAngle::Deg);
    case TFuncId::ACosR: return Acos(z, TAngle::Rad);
    case TFuncId::ACosh: return Acosh(z);
    case TFuncId::ASin: return Asin(z, TAngle::Unit);
    case TFuncId::ASinD: return Asin(z, TAngle::Deg);
    case TFuncId::ASinR: return Asin(z, TAngle::Rad);
    case TFuncId::ASinh: return Asinh(z);
    case TFuncId::ATan: return Atan(z, TAngle::Unit);
    case TFuncId::ATanD: return Atan(z, TAngle::Deg);
    case TFuncId::ATanR: return Atan(z, TAngle::Rad);
    case TFuncId::ATanh: return Atanh(z);
    case TFuncId::Arg: return ResultAngle(std::arg(ToStd(z)), TAngle::Unit);
    case TFuncId::ArgD: return ResultAngle(std::arg(ToStd(z)), TAngle::Deg);
    case TFuncId::ArgR: return ResultAngle(std::arg(ToStd(z)), TAngle::Rad);
    case TFuncId::Conj: return Conj(z);
    case TFuncId::Re: return TCplx(z.Re);
    case TFuncId::Im: return TCplx(z.Im);
    case TFuncId::Cos: return Cos(z, TAngle::Unit);
    case TFuncId::CosD: return Cos(z, TAngle::Deg);
    case TFuncId::CosR: return Cos(z, TAngle::Rad);
    case TFuncId::Sin: return Sin(z, TAngle::Unit);
    case TFuncId::SinD: return Sin(z, TAngle::Deg);
    case TFuncId::SinR: return Sin(z, TAngle::Rad);
    case TFuncId::Tan: return Tan(z, TAngle::Unit);
    case TFuncId::TanD: return Tan(z, TAngle::Deg);
    case TFuncId::TanR: return Tan(z, TAngle::Rad);
    case TFuncId::Cosh: return Cosh(z);
    case TFuncId::Sinh: return Sinh(z);
    case TFuncId::Tanh: return Tanh(z);
    case TFuncId::Exp: return Exp(z);
    case TFuncId::Ln: return Ln(z);
    case TFuncId::Log10: return Log10(z);
    case TFuncId::Log2: return Log2(z);
    case TFuncId::Sqrt: return Sqrt(z);
    case TFuncId::SqrtFloat: return SqrtFloat(z);
    case TFuncId::Cbrt: return Cbrt(z);
    case TFuncId::Deg: return z * TCplx(TFrac(180.0L, kPi));
    case TFuncId::Rad: return z * TCplx(TFrac(kPi, 180.0L));
    case TFuncId::Int: return Int(z);
    case TFuncId::Frac: return Frac(z);
    case TFuncId::Round: return Round(z);
    case TFuncId::Sign: return TCplx(static_cast<long double>(SignOf(z.Re)));
    case TFuncId::Pos: return Truth(SignOf(z.Re) > 0);
    case TFuncId::Neg: return Truth(SignOf(z.Re) < 0);
    case TFuncId::Not: return Truth(z.Re.IsZero());
    case TFuncId::Rand: return Rand(z);
    case TFuncId::Time: return Time();
    default: return FuncFail(TCalcErr::ceSyntax);
    }
}

}  // namespace rekna
