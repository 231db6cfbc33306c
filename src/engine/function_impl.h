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

// A name table in CP932: lower-case names sorted by byte value, and the display names, with a
// hash index over the lower-case names.
struct TNameTable {
    std::vector<std::string> Lower;
    std::vector<std::string> Display;

    // Builds the index Find uses; called once every name is in.
    void BuildIndex() {
        std::size_t size = 16;
        while (size < Lower.size() * 2)
            size *= 2;
        FSlots.assign(size, -1);
        for (std::size_t i = 0; i < Lower.size(); ++i) {
            std::size_t s = Hash(Lower[i]) & (size - 1);
            while (FSlots[s] >= 0)
                s = (s + 1) & (size - 1);
            FSlots[s] = static_cast<int>(i);
        }
    }

    // The first entry of the name, or -1.
    [[nodiscard]] int Find(std::string_view name) const noexcept {
        const std::size_t mask = FSlots.size() - 1;
        for (std::size_t s = Hash(name) & mask; FSlots[s] >= 0; s = (s + 1) & mask) {
            if (Lower[static_cast<std::size_t>(FSlots[s])] == name) return FSlots[s];
        }
        return -1;
    }

    [[nodiscard]] const std::string& LowerAt(int index) const noexcept {
        return index >= 0 && index < static_cast<int>(Lower.size()) ? Lower[index] : Empty();
    }
    [[nodiscard]] const std::string& DisplayAt(int index) const noexcept {
        return index >= 0 && index < static_cast<int>(Display.size()) ? Display[index] : Empty();
    }

private:
    [[nodiscard]] static std::size_t Hash(std::string_view s) noexcept {
        std::uint64_t h = 14695981039346656037ULL;
        for (const char c : s) {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ULL;
        }
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
    [[nodiscard]] static const std::string& Empty() noexcept {
        static const std::string empty;
        return empty;
    }
    std::vector<int> FSlots;  // entry numbers by hash, -1 for a free slot
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
