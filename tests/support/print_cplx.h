// Readable GoogleTest output for the value types.
#pragma once

#include <ostream>
#include <sstream>

#include "numbers/cplx.h"

namespace rekna {

inline void PrintTo(const TFrac& f, std::ostream* os) {
    std::ostringstream s;
    s.precision(21);
    s << f.Num << "/" << f.Den;
    *os << s.str();
}

inline void PrintTo(const TCplx& v, std::ostream* os) {
    *os << "(";
    PrintTo(v.Re, os);
    *os << ", ";
    PrintTo(v.Im, os);
    *os << "i)";
}

}  // namespace rekna
