// The 31 built-in constants: names, display names, values, and their values as variables.
#include <iterator>

#include "engine/function_impl.h"
#include "engine/functions.h"
#include "engine/statistics.h"
#include "numbers/number_settings.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

// Where a constant's value comes from: a fixed fraction, or the state of the engine.
enum class TConstKind : std::uint8_t {
    Fraction,
    Euler,
    Pi,
    ImagUnit,
    LastAnswer,
    Freq,
    Ave,
    Count,
    Max,
    MaxA,
    Min,
    MinA,
    Std,
    StdP,
    Sum,
    Var,
    VarP,
};

struct TConstEntry {
    const char* Name;  // lower-case, UTF-8 in the source
    const char* Display;
    TConstKind Kind;
    long double Num;  // the fraction Num / Den of a fixed constant
    long double Den;
};

using enum TConstKind;

// Sorted by the CP932 bytes of the name; the Greek names come after all ASCII ones.
constexpr TConstEntry kConstants[] = {
    {"ans", "Ans", LastAnswer, 0, 1},
    {"ave", "Ave", Ave, 0, 1},
    {"c", "c", Fraction, 299792458.0L, 1.0L},
    {"count", "Count", Count, 0, 1},
    {"e", "e", Euler, 0, 1},
    {"eo", "eo", Fraction, 8854187818.0L, 1e21L},
    {"f", "F", Freq, 0, 1},
    {"g", "g", Fraction, 980665.0L, 1e5L},
    {"h", "h", Fraction, 66260755.0L, 1e41L},
    {"i", "i", ImagUnit, 0, 1},
    {"j", "j", ImagUnit, 0, 1},
    {"k", "k", Fraction, 1380658.0L, 1e29L},
    {"max", "Max", Max, 0, 1},
    {"maxa", "MaxA", MaxA, 0, 1},
    {"me", "me", Fraction, 91093897.0L, 1e38L},
    {"min", "Min", Min, 0, 1},
    {"mina", "MinA", MinA, 0, 1},
    {"mo", "mo", Fraction, 1256637061.0L, 1e15L},
    {"pai", "Pi", Pi, 0, 1},
    {"pi", "Pi", Pi, 0, 1},
    {"q", "q", Fraction, 160217733.0L, 1e27L},
    {"std", "Std", Std, 0, 1},
    {"stdp", "StdP", StdP, 0, 1},
    {"sum", "Sum", Sum, 0, 1},
    {"var", "Var", Var, 0, 1},
    {"varp", "VarP", VarP, 0, 1},
    {"εo", "eo", Fraction, 8854187818.0L, 1e21L},
    {"μo", "mo", Fraction, 1256637061.0L, 1e15L},
    {"ν", "ν", Fraction, 14638.0L, 1e9L},
    {"π", "Pi", Pi, 0, 1},
    {"ρ", "ρ", Fraction, 1225.0L, 1e3L},
};

static_assert(std::size(kConstants) == kConstantCount);

// The variable e holds this fraction rather than the extended exp(1).
constexpr long double kEulerNum = 271828182845904512.0L;
constexpr long double kEulerDen = 1e17L;

const TNameTable& Table() {
    static const TNameTable table = [] {
        TNameTable t;
        t.Lower.reserve(kConstantCount);
        t.Display.reserve(kConstantCount);
        for (const TConstEntry& e : kConstants) {
            t.Lower.push_back(SysText(e.Name));
            t.Display.push_back(SysText(e.Display));
        }
        t.BuildIndex();
        return t;
    }();
    return table;
}

[[nodiscard]] inline bool ValidIndex(int index) noexcept {
    return index >= 0 && index < kConstantCount;
}

// With fraction calculation off every value is a plain extended with denominator 1.
[[nodiscard]] TCplx Plain(const TCplx& v) noexcept {
    if (NumberSettings.Fractional) return v;
    return TCplx(v.Re.Value(), v.Im.Value());
}

// The value of a fixed constant (a fraction, e, pi or the imaginary unit).
[[nodiscard]] TCplx FixedValue(const TConstEntry& e) noexcept {
    switch (e.Kind) {
    case Fraction: return TCplx(TFrac(e.Num, e.Den));
    case Euler: return TCplx(std::exp(1.0L));
    case Pi: return TCplx(kPi);
    case ImagUnit: return TCplx(0.0L, 1.0L);
    default: return TCplx();
    }
}

[[nodiscard]] TCplx ConstantValue(const TConstEntry& e, const TFuncEnv& env) noexcept {
    switch (e.Kind) {
    case LastAnswer: return Plain(env.LastAnswer);
    case Freq: return TCplx(env.FreqAbs);
    case Ave: return Plain(Statistics.Ave);
    case Count: return TCplx(Statistics.Count);
    case Max: return Plain(Statistics.Max);
    case MaxA: return Plain(Statistics.MaxA);
    case Min: return Plain(Statistics.Min);
    case MinA: return Plain(Statistics.MinA);
    case Std: return TCplx(Statistics.Std);
    case StdP: return TCplx(Statistics.StdP);
    case Sum: return Plain(Statistics.Sum());
    case Var: return TCplx(Statistics.Var);
    case VarP: return TCplx(Statistics.VarP);
    default: return FixedValue(e);
    }
}

}  // namespace

int FindConstant(std::string_view lowerName) noexcept {
    return Table().Find(lowerName);
}

const std::string& ConstantName(int index) noexcept {
    return Table().LowerAt(index);
}

const std::string& ConstantDisplay(int index) noexcept {
    return Table().DisplayAt(index);
}

TCplx ApplyConstant(int index, const TCplx& arg, const TFuncEnv& env) noexcept {
    if (!ValidIndex(index)) return FuncFail(TCalcErr::ceSyntax);
    return arg * ConstantValue(kConstants[index], env);
}

TCplx ConstantVariableValue(int index) noexcept {
    if (!ValidIndex(index)) return TCplx();
    const TConstEntry& e = kConstants[index];
    switch (e.Kind) {
    case Freq: return TCplx(1.0L);
    case Euler: return TCplx(TFrac(kEulerNum, kEulerDen));
    case Fraction:
    case Pi:
    case ImagUnit: return FixedValue(e);
    default: return TCplx();  // the answer and the statistics start at 0
    }
}

}  // namespace rekna
