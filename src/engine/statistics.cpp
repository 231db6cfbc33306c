// The statistics accumulator: sums, extremes, mean and the deviations of the data lines.
#include "engine/statistics.h"

#include <cmath>

namespace rekna {

void TStatistics::Reset() noexcept {
    const bool active = Active;
    *this = TStatistics();
    Active = active;
}

void TStatistics::Start() noexcept {
    Reset();
    Active = true;
}

void TStatistics::Stop() noexcept {
    Active = false;
}

void TStatistics::Add(const TCplx& value) noexcept {
    Count += 1.0L;
    const bool first = Count == 1.0L;
    SumRe = SumRe + value.Re;
    SumIm = SumIm + value.Im;
    SumRe2 = SumRe2 + Square(value.Re);
    SumIm2 = SumIm2 + Square(value.Im);

    const long double re = value.Re.Value();
    const long double im = value.Im.Value();
    if (first || re > Max.Re.Value()) Max.Re = value.Re;
    if (first || im > Max.Im.Value()) Max.Im = value.Im;
    if (first || re < Min.Re.Value()) Min.Re = value.Re;
    if (first || im < Min.Im.Value()) Min.Im = value.Im;
    const long double size = CplxAbs(value);
    if (first || size > CplxAbs(MaxA)) MaxA = value;
    if (first || size < CplxAbs(MinA)) MinA = value;

    Ave = TCplx(SumRe, SumIm) / TCplx(Count);
    if (Count >= 2.0L) {
        const long double sre = SumRe.Value();
        const long double sim = SumIm.Value();
        long double s = (SumRe2.Value() - sre * sre / Count) + (SumIm2.Value() - sim * sim / Count);
        if (!(s > 0.0L)) s = 0.0L;
        Var = s / (Count - 1.0L);
        VarP = s / Count;
        Std = std::sqrt(Var);
        StdP = std::sqrt(VarP);
    }
}

}  // namespace rekna
