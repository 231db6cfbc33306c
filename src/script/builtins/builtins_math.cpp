// Built-in numeric functions: Abs, Atn, Cos, Exp, Fix, Int, Log, Rnd, Randomize, Round, Sgn,
// Sin, Sqr, Tan.
#include <chrono>
#include <cmath>
#include <cstring>

#include "script/builtins/builtins.h"
#include "script/runtime/raise.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

using TArgs = std::vector<TVariant>;

TVariant Real(double d) {
    if (!std::isfinite(d)) Raise(seOverflow);
    return TVariant::Double(d);
}

// A function of one number that gives a double; Null gives Null.
template <double (*F)(double)> TVariant Unary(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    return Real(F(ToDouble(a[0])));
}

double Atn(double x) {
    return std::atan(x);
}
double Cos(double x) {
    return std::cos(x);
}
double Sin(double x) {
    return std::sin(x);
}
double Tan(double x) {
    return std::tan(x);
}
double Exp(double x) {
    return std::exp(x);
}

TVariant Log(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const double x = ToDouble(a[0]);
    if (x <= 0) Raise(seInvalidCall);
    return Real(std::log(x));
}

TVariant Sqr(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const double x = ToDouble(a[0]);
    if (x < 0) Raise(seInvalidCall);
    return Real(std::sqrt(x));
}

// Abs, Fix and Int keep whole types whole (widening where the result needs it).
template <double (*F)(double)> TVariant KeepType(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const TVariant v = ToNumeric(a[0]);
    const double r = F(v.AsDouble());
    switch (v.Type()) {
    case TVarType::vtByte:
    case TVarType::vtInteger:
    case TVarType::vtBoolean:
        return r >= -32768 && r <= 32767 ? TVariant::Integer(static_cast<std::int16_t>(r))
                                         : TVariant::Long(static_cast<std::int32_t>(r));
    case TVarType::vtLong:
        return r <= 2147483647.0 ? TVariant::Long(static_cast<std::int32_t>(r))
                                 : TVariant::Double(r);
    case TVarType::vtSingle: return TVariant::Single(static_cast<float>(r));
    case TVarType::vtDate: return TVariant::Date(r);
    default: return TVariant::Double(r);
    }
}

double AbsOf(double x) {
    return std::fabs(x);
}
double FixOf(double x) {
    return std::trunc(x);
}
double IntOf(double x) {
    return std::floor(x);
}

TVariant Sgn(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const double x = ToDouble(a[0]);
    return TVariant::Integer(static_cast<std::int16_t>(x > 0 ? 1 : x < 0 ? -1 : 0));
}

TVariant Round(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const std::int32_t places = HasArg(a, 1) ? ToLong(a[1]) : 0;
    if (places < 0 || places > 22) Raise(seInvalidCall);
    const TVariant v = ToNumeric(a[0]);
    if (v.IsWhole() || v.Type() == TVarType::vtBoolean)
        return v.Type() == TVarType::vtBoolean
                   ? TVariant::Integer(static_cast<std::int16_t>(v.WholeValue()))
                   : v;
    const double x = v.AsDouble();
    const double scale = std::pow(10.0, places);
    const double scaled = x * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) return v;
    const double r = BankersRound(scaled) / scale;
    if (v.Type() == TVarType::vtSingle) return TVariant::Single(static_cast<float>(r));
    return TVariant::Double(r);
}

// The generator of the language's Rnd: a 24-bit linear congruence.
TVariant Rnd(TRuntime& rt, TArgs& a) {
    if (HasArg(a, 0)) {
        const double n = ToDouble(a[0]);
        if (n == 0) return TVariant::Single(static_cast<float>(rt.RndLast));
        if (n < 0) {
            const float f = static_cast<float>(n);
            std::uint32_t bits = 0;
            std::memcpy(&bits, &f, sizeof bits);
            rt.RndSeed = (bits + (bits >> 24)) & 0xFFFFFF;
        }
    }
    rt.RndSeed = (rt.RndSeed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    rt.RndLast = rt.RndSeed / 16777216.0;
    return TVariant::Single(static_cast<float>(rt.RndLast));
}

TVariant Randomize(TRuntime& rt, TArgs& a) {
    double n = 0;
    if (HasArg(a, 0)) {
        n = ToDouble(a[0]);
    } else {
        using namespace std::chrono;
        n = static_cast<double>(
                duration_cast<microseconds>(system_clock::now().time_since_epoch()).count() %
                86400000000LL) /
            1e6;
    }
    std::uint64_t bits = 0;
    std::memcpy(&bits, &n, sizeof bits);
    std::uint32_t hi = static_cast<std::uint32_t>(bits >> 32);
    hi ^= hi >> 16;
    rt.RndSeed = (rt.RndSeed & 0xFF0000FFu) | ((hi & 0xFFFFu) << 8);
    rt.RndSeed &= 0xFFFFFFu;
    return {};
}

constexpr TBuiltin kMath[] = {
    {"abs", 1, 1, KeepType<AbsOf>},
    {"atn", 1, 1, Unary<Atn>},
    {"cos", 1, 1, Unary<Cos>},
    {"exp", 1, 1, Unary<Exp>},
    {"fix", 1, 1, KeepType<FixOf>},
    {"int", 1, 1, KeepType<IntOf>},
    {"log", 1, 1, Log},
    {"rnd", 0, 1, Rnd},
    {"randomize", 0, 1, Randomize},
    {"round", 1, 2, Round},
    {"sgn", 1, 1, Sgn},
    {"sin", 1, 1, Unary<Sin>},
    {"sqr", 1, 1, Sqr},
    {"tan", 1, 1, Unary<Tan>},
};

}  // namespace

std::span<const TBuiltin> MathBuiltins() {
    return kMath;
}

}  // namespace rekna
