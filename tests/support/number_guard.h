// Restores the process-wide number settings and the error state after a test changes them.
#pragma once

#include "numbers/calc_error.h"
#include "numbers/number_settings.h"

namespace rekna::test {

class TNumberGuard {
public:
    TNumberGuard() : FSaved(NumberSettings) { CalcErr = TCalcErr::ceNone; }
    ~TNumberGuard() {
        NumberSettings = FSaved;
        CalcErr = TCalcErr::ceNone;
    }
    TNumberGuard(const TNumberGuard&) = delete;
    TNumberGuard& operator=(const TNumberGuard&) = delete;

private:
    TNumberSettings FSaved;
};

}  // namespace rekna::test
