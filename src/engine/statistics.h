// The process-wide statistics accumulator behind Data, End and the statistics constants.
#pragma once

#include "numbers/cplx.h"

namespace rekna {

struct TStatistics {
    bool Active = false;
    long double Count = 0;
    TFrac SumRe, SumIm, SumRe2, SumIm2;
    TCplx Ave;
    TCplx Max;   // largest real part + i * largest imaginary part
    TCplx Min;   // smallest real part + i * smallest imaginary part
    TCplx MaxA;  // the datum with the largest magnitude
    TCplx MinA;  // the datum with the smallest magnitude
    long double Var = 0, VarP = 0, Std = 0, StdP = 0;

    void Reset() noexcept;  // empty, keeps Active
    void Start() noexcept;  // Data: reset and activate
    void Stop() noexcept;   // End: deactivate
    void Add(const TCplx& value) noexcept;

    [[nodiscard]] TCplx Sum() const noexcept { return TCplx(SumRe, SumIm); }
};

inline TStatistics Statistics;

}  // namespace rekna
