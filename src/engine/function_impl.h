// The arithmetic behind the built-in function table, split by family, and its shared helpers.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "engine/functions.h"
#include "numbers/calc_error.h"
#include "numbers/cplx.h"

namespace rekna {

// One entry per distinct operation; the name table maps every spelling (acos, arccos, ...)
// to one of these. The elementary family runs up to AdB, the electric family from AdB up to E6,
// the special family from E6 on.
// clang-format off
enum class TFuncId : std::uint8_t {
    Abs, ACos, ACosD, ACosR, ACosh, ASin, ASinD, ASinR, ASinh, ATan, ATanD, ATanR, ATanh,
    Arg, ArgD, ArgR, Conj, Re, Im, Cos, CosD, CosR, Sin, SinD, SinR, Tan, TanD, TanR,
    Cosh, Sinh, Tanh, Exp, Ln, Log10, Log2, Sqrt, SqrtFloat, Cbrt, Deg, Rad, Int, Frac,
    Round, Sign, Pos, Neg, Not, Rand, Time,
    AdB, AdB10, AdB20, AdBm, AdBu, DB, DB10, DB20, DBm, DBu,
    AzL, AzC, YR, ZR, ZL, ZC, Qz, Qy, Vswr, S,
    E6, E12, E24, J0, J1, J2, J3, J4, J5, J6, J7, J8, J9, Dist, DistP, SDist, SDistP, Data, End
};
// clang-format on

inline constexpr long double kPi = std::numbers::pi_v<long double>;
inline constexpr long double kTwoPi = 2.0L * kPi;

using TStdCplx = std::complex<long double>;

// Sets the error state and gives 0, the result of every domain failure.
inline TCplx FuncFail(TCalcErr code) noexcept {
    SetCalcErr(code);
    return TCplx();
}

// The argument as a standard complex; a zero part is +0 so that a real negative argument
// lies on the upper side of every branch cut.
[[nodiscard]] inline TStdCplx ToStd(const TCplx& z) noexcept {
    return {z.Re.IsZero() ? 0.0L : ReValue(z), z.Im.IsZero() ? 0.0L : ImValue(z)};
}
[[nodiscard]] inline TCplx FromStd(const TStdCplx& w) noexcept {
    return TCplx(w.real(), w.imag());
}

// A name table in CP932: lower-case names sorted by byte value, and the display names.
struct TNameTable {
    std::vector<std::string> Lower;
    std::vector<std::string> Display;

    // Binary search; std::string_view compares bytes as unsigned values.
    [[nodiscard]] int Find(std::string_view name) const noexcept {
        const auto it = std::lower_bound(
            Lower.begin(), Lower.end(), name,
            [](const std::string& a, std::string_view b) { return std::string_view(a) < b; });
        if (it == Lower.end() || *it != name) return -1;
        return static_cast<int>(it - Lower.begin());
    }

    [[nodiscard]] const std::string& LowerAt(int index) const noexcept {
        return index >= 0 && index < static_cast<int>(Lower.size()) ? Lower[index] : Empty();
    }
    [[nodiscard]] const std::string& DisplayAt(int index) const noexcept {
        return index >= 0 && index < static_cast<int>(Display.size()) ? Display[index] : Empty();
    }

private:
    [[nodiscard]] static const std::string& Empty() noexcept {
        static const std::string empty;
        return empty;
    }
};

// The families: each handles the identifiers of its own section of TFuncId.
[[nodiscard]] TCplx ApplyElementary(TFuncId id, const TCplx& z) noexcept;
[[nodiscard]] TCplx ApplyElectric(TFuncId id, const TCplx& z, const TFuncEnv& env) noexcept;
[[nodiscard]] TCplx ApplySpecial(TFuncId id, const TCplx& z) noexcept;

// Exposed for the accuracy tests.
// J_n(x) for a real x, and for a complex z (an overflowing result sets error 2).
[[nodiscard]] long double BesselJ(int n, long double x) noexcept;
[[nodiscard]] TCplx BesselJ(int n, const TCplx& z) noexcept;
// The Bessel integral alone, for comparison with the series and the asymptotic expansion.
[[nodiscard]] TCplx BesselJIntegral(int n, long double x, long double y) noexcept;
// The standard normal distribution function and density.
[[nodiscard]] long double NormalCdf(long double t) noexcept;
[[nodiscard]] long double NormalDensity(long double u) noexcept;

}  // namespace rekna
