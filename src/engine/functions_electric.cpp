// The electrical functions: decibels and their inverses, impedances and admittances at the
// frequency |F|, quality factors, VSWR and the angular frequency S.
#include <cmath>

#include "engine/function_impl.h"
#include "numbers/number_settings.h"

namespace rekna {

namespace {

// sqrt(0.05), the voltage of 1 mW in 50 ohms. Written as sqrt(1/16) / sqrt(1.25), the way the
// fraction-aware square root computes Sqrt(0.05), so that dBm(Sqrt(0.05)) is exactly 0; the
// value is also the correctly rounded root.
const long double kSqrtMilliwatt = 0.25L / std::sqrt(1.25L);
// The extended value nearest 1e-6, which is also the value of the literal 1u.
constexpr long double kMicro = 1e-6L;

[[nodiscard]] inline long double Magnitude(const TCplx& z) noexcept {
    return z.IsReal() ? std::fabs(ReValue(z)) : CplxAbs(z);
}

// factor * log10(|z| / reference); 0 gives error 12.
TCplx Decibel(const TCplx& z, long double factor, long double reference) noexcept {
    const long double m = Magnitude(z);
    if (m == 0.0L) return FuncFail(TCalcErr::ceFuncCalc);
    return TCplx(factor * std::log10(reference == 1.0L ? m : m / reference));
}

// 10^(x / d). The quotient x / d is rounded; its exact remainder is put back through the
// first-order factor 1 + ln(10) r / d, so that large exponents keep full precision.
[[nodiscard]] long double PowerOfTen(long double x, long double d) noexcept {
    const long double q = x / d;
    const long double r = std::fma(-q, d, x);
    const long double p = std::pow(10.0L, q);
    if (r == 0.0L || !std::isfinite(p)) return p;
    return p + p * (r / d * std::numbers::ln10_v<long double>);
}

TCplx InverseDecibel(const TCplx& z, TdBUnit unit) noexcept {
    const long double x = ReValue(z);
    switch (unit) {
    case TdBUnit::dudB10: return TCplx(PowerOfTen(x, 10.0L));
    case TdBUnit::dudB20: return TCplx(PowerOfTen(x, 20.0L));
    case TdBUnit::dudBm: return TCplx(kSqrtMilliwatt * PowerOfTen(x, 20.0L));
    case TdBUnit::dudBu: return TCplx(PowerOfTen(x, 20.0L) * kMicro);
    }
    return TCplx();
}

TCplx DecibelByUnit(const TCplx& z, TdBUnit unit) noexcept {
    switch (unit) {
    case TdBUnit::dudB10: return Decibel(z, 10.0L, 1.0L);
    case TdBUnit::dudB20: return Decibel(z, 20.0L, 1.0L);
    case TdBUnit::dudBm: return Decibel(z, 20.0L, kSqrtMilliwatt);
    case TdBUnit::dudBu: return Decibel(z, 20.0L, kMicro);
    }
    return TCplx();
}

// (1 + rho) / (1 - rho) against 50 ohms; a reflection of 1 and the short circuit at -50 ohms
// give error 1.
TCplx Vswr(const TCplx& z) noexcept {
    const long double r = ReValue(z);
    const long double x = z.IsReal() ? 0.0L : ImValue(z);
    const long double den = (r + 50.0L) * (r + 50.0L) + x * x;
    if (den == 0.0L) return FuncFail(TCalcErr::ceDivZero);
    const long double rho = std::sqrt(((r - 50.0L) * (r - 50.0L) + x * x) / den);
    if (rho == 1.0L) return FuncFail(TCalcErr::ceDivZero);
    return TCplx((1.0L + rho) / (1.0L - rho));
}

}  // namespace

TCplx ApplyElectric(TFuncId id, const TCplx& z, const TFuncEnv& env) noexcept {
    const long double omega = kTwoPi * env.FreqAbs;  // 2 pi |F|
    const long double x = ReValue(z);
    const long double y = z.IsReal() ? 0.0L : ImValue(z);
    switch (id) {
    case TFuncId::AdB: return InverseDecibel(z, NumberSettings.DbUnit);
    case TFuncId::AdB10: return InverseDecibel(z, TdBUnit::dudB10);
    case TFuncId::AdB20: return InverseDecibel(z, TdBUnit::dudB20);
    case TFuncId::AdBm: return InverseDecibel(z, TdBUnit::dudBm);
    case TFuncId::AdBu: return InverseDecibel(z, TdBUnit::dudBu);
    case TFuncId::DB: return DecibelByUnit(z, NumberSettings.DbUnit);
    case TFuncId::DB10: return DecibelByUnit(z, TdBUnit::dudB10);
    case TFuncId::DB20: return DecibelByUnit(z, TdBUnit::dudB20);
    case TFuncId::DBm: return DecibelByUnit(z, TdBUnit::dudBm);
    case TFuncId::DBu: return DecibelByUnit(z, TdBUnit::dudBu);
    case TFuncId::AzL:  // inductance of a reactance, capacitance of a susceptance
        if (omega == 0.0L) return FuncFail(TCalcErr::ceDivZero);
        return TCplx(y / omega);
    case TFuncId::AzC:  // capacitance of a reactance, inductance of a susceptance
        if (omega * y == 0.0L) return FuncFail(TCalcErr::ceDivZero);
        return TCplx(-1.0L / (omega * y));
    case TFuncId::YR:
        if (x == 0.0L) return FuncFail(TCalcErr::ceDivZero);
        return TCplx(1.0L / x);
    case TFuncId::ZR: return TCplx(x);
    case TFuncId::ZL: return TCplx(0.0L, omega * x);
    case TFuncId::ZC:
        if (omega * x == 0.0L) return FuncFail(TCalcErr::ceDivZero);
        return TCplx(0.0L, -1.0L / (omega * x));
    case TFuncId::Qz:
        if (x == 0.0L) return FuncFail(TCalcErr::ceDivZero);
        return TCplx(std::fabs(y / x));
    case TFuncId::Qy:
        if (y == 0.0L) return FuncFail(TCalcErr::ceDivZero);
        return TCplx(std::fabs(x / y));
    case TFuncId::Vswr: return Vswr(z);
    case TFuncId::S: return TCplx(-kTwoPi * y, kTwoPi * x);
    default: return FuncFail(TCalcErr::ceSyntax);
    }
}

}  // namespace rekna
