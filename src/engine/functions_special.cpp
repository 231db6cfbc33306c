// The special functions: E-series rounding, Bessel functions J0..J9, the normal density and
// distribution over the statistics data, and the statistics switches Data and End.
#include <cmath>
#include <limits>

#include "engine/function_impl.h"
#include "engine/statistics.h"
#include "numbers/number_settings.h"

namespace rekna {

namespace {

constexpr long double kEps = std::numeric_limits<long double>::epsilon();
constexpr long double kSqrtTwoPi = 2.506628274631000502415765284811045253007L;
constexpr long double kSqrtPi = 1.772453850905516027298167483341145182798L;

// ---- E-series ----

// The E24 values of one decade, with the start of the next decade behind them.
constexpr int kESeries[25] = {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30, 33,
                              36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91, 100};

// Powers of ten that the extended type holds exactly.
constexpr int kExactTenPowers = 27;

[[nodiscard]] long double TenPower(int k) noexcept {
    if (k >= 0 && k <= kExactTenPowers) {
        long double p = 1.0L;
        for (int i = 0; i < k; ++i)
            p *= 10.0L;
        return p;
    }
    return std::pow(10.0L, static_cast<long double>(k));
}

// a * 10^k for any decade of the extended range, in two steps so that neither power
// overflows on its own.
[[nodiscard]] long double ScaleByTen(long double a, int k) noexcept {
    if (k >= -kExactTenPowers && k <= kExactTenPowers) {
        return k >= 0 ? a * TenPower(k) : a / TenPower(-k);
    }
    const int k1 = k / 2;
    return a * TenPower(k1) * TenPower(k - k1);
}

// One part rounded to the series with the given step through the E24 table (4: E6, 2: E12,
// 1: E24). A negative value is rounded by its magnitude and keeps its sign.
TFrac ESeriesPart(const TFrac& part, int step) noexcept {
    const long double v = part.Value();
    if (v == 0.0L || !std::isfinite(v)) return part;
    const long double a = std::fabs(v);
    int k = static_cast<int>(std::floor(std::log10(a))) - 1;
    long double m = ScaleByTen(a, -k);  // 10 <= m < 100
    if (m >= 100.0L) {
        ++k;
        m = ScaleByTen(a, -k);
    } else if (m < 10.0L) {
        --k;
        m = ScaleByTen(a, -k);
    }
    int i = 0;
    while (i < 24 && std::sqrt(static_cast<long double>(kESeries[i]) * kESeries[i + step]) <= m) {
        i += step;
    }
    const long double t = kESeries[i];
    // A value below 1 becomes the exact decimal fraction, like the literal it stands for.
    const TFrac r =
        (k < 0 && -k <= kExactTenPowers) ? TFrac(t, TenPower(-k)) : TFrac(ScaleByTen(t, k));
    return v < 0.0L ? -r : r;
}

TCplx ESeries(const TCplx& z, int step) noexcept {
    return TCplx(ESeriesPart(z.Re, step), z.Im.IsZero() ? TFrac() : ESeriesPart(z.Im, step));
}

// ---- Bessel functions ----

// From this magnitude on the Hankel expansion reaches the precision of the extended type for
// the orders 0 to 9 (its smallest term is about exp(-2|z|)).
constexpr long double kHankelFrom = 25.0L;

// The power series sum (-1)^k (z/2)^(2k+n) / (k! (n+k)!). Fails when its terms cancel by more
// than three bits, where the integral is the more accurate way.
template <class T> bool BesselSeries(int n, const T& z, T& out) noexcept {
    const T half = z / 2.0L;
    const T q = -(half * half);
    T term = 1.0L;
    for (int i = 1; i <= n; ++i)
        term *= half / static_cast<long double>(i);
    T sum = term;
    long double largest = std::abs(term);
    for (int k = 1; k < 200; ++k) {
        term *= q / static_cast<long double>(k * (n + k));
        sum += term;
        const long double size = std::abs(term);
        if (size > largest) largest = size;
        if (size <= kEps / 8.0L * std::abs(sum)) break;
    }
    if (!(largest <= 8.0L * std::abs(sum))) return false;
    out = sum;
    return true;
}

// sqrt(2 / (pi z)) (P cos chi - Q sin chi), chi = z - (2n + 1) pi / 4, for Re z >= 0. The phase
// is taken apart into cos z and sin z, which the library reduces exactly for any argument.
template <class T> T BesselHankel(int n, const T& z) noexcept {
    const long double mu = 4.0L * n * n;
    const T step = 1.0L / (8.0L * z);
    T term = 1.0L;
    T p = 1.0L;
    T q = 0.0L;
    long double previous = std::numeric_limits<long double>::infinity();
    for (int k = 1; k < 400; ++k) {
        const long double odd = 2.0L * k - 1.0L;
        term *= (mu - odd * odd) / static_cast<long double>(k) * step;
        const long double size = std::abs(term);
        if (size >= previous) break;  // the asymptotic series starts to diverge
        previous = size;
        switch (k % 4) {
        case 0: p += term; break;
        case 1: q += term; break;
        case 2: p -= term; break;
        default: q -= term; break;
        }
        if (size < kEps * kEps) break;
    }
    // cos and sin of (2n + 1) pi / 4 are +-1/sqrt(2); the 1/sqrt(2) joins sqrt(2 / (pi z)).
    static constexpr int kCosSign[4] = {1, -1, -1, 1};
    static constexpr int kSinSign[4] = {1, 1, -1, -1};
    const int octant = n % 4;
    const long double sc = kCosSign[octant];
    const long double ss = kSinSign[octant];
    const T a = p * sc + q * ss;
    const T b = p * ss - q * sc;
    using std::cos, std::sin, std::sqrt;
    return (cos(z) * a + sin(z) * b) / (kSqrtPi * sqrt(z));
}

}  // namespace

// The Bessel integral (1 / 2 pi) over [-pi, pi] of exp(i (n t - z sin t)), whose odd part
// vanishes, taken as (1 / pi) over [0, pi] of cos(n t - z sin t) by the trapezoid sums of
// Romberg's scheme: the step is halved up to 16 times, and from the 5th halving on the sums stop
// when both parts change by no more than 1e-18 of the larger part or by the rounding level of
// the integrand. The trapezoid sums of a smooth periodic integrand converge geometrically;
// Richardson's extrapolation would only carry the early, unconverged sums along, and near a zero
// the relative test alone never settles. The factors cosh and sinh of y sin t are scaled by
// exp(-|y|) so that no sample overflows; the scale is put back at the end.
TCplx BesselJIntegral(int n, long double x, long double y) noexcept {
    constexpr int kHalvings = 16;
    constexpr long double kFloor = 0x1p-63L * kPi;  // rounding level of the integral
    const long double ay = std::fabs(y);
    const auto sample = [&](long double t, long double& re, long double& im) noexcept {
        const long double s = std::sin(t);
        const long double a = n * t - x * s;
        if (y == 0.0L) {
            re = std::cos(a);
            im = 0.0L;
            return;
        }
        const long double up = std::exp(y * s - ay);
        const long double down = std::exp(-y * s - ay);
        re = std::cos(a) * ((up + down) / 2.0L);  // cos(a - ib) = cos a cosh b + i sin a sinh b
        im = std::sin(a) * ((up - down) / 2.0L);
    };
    long double r0, i0, r1, i1;
    sample(0.0L, r0, i0);
    sample(kPi, r1, i1);
    long double re = kPi / 2.0L * (r0 + r1);
    long double im = kPi / 2.0L * (i0 + i1);
    long double h = kPi;
    for (int k = 1; k <= kHalvings; ++k) {
        h /= 2.0L;
        long double sumRe = 0.0L, sumIm = 0.0L;
        const long count = 1L << (k - 1);
        for (long j = 1; j <= count; ++j) {
            long double r, i;
            sample(static_cast<long double>(2 * j - 1) * h, r, i);
            sumRe += r;
            sumIm += i;
        }
        const long double nextRe = re / 2.0L + h * sumRe;
        const long double nextIm = im / 2.0L + h * sumIm;
        const long double tol =
            std::max(1e-18L * std::max(std::fabs(nextRe), std::fabs(nextIm)), kFloor);
        const bool settled = std::fabs(nextRe - re) <= tol && std::fabs(nextIm - im) <= tol;
        re = nextRe;
        im = nextIm;
        if (k >= 5 && settled) break;
    }
    const long double tol = 1e-18L * std::max(std::fabs(re), std::fabs(im));
    if (std::fabs(re) < tol) re = 0.0L;
    if (std::fabs(im) < tol) im = 0.0L;
    re /= kPi;
    im /= kPi;
    if (ay != 0.0L) {
        const long double half = std::exp(ay / 2.0L);
        re = re * half * half;
        im = im * half * half;
    }
    return TCplx(re, im);
}

long double BesselJ(int n, long double x) noexcept {
    if (std::isnan(x)) return x;
    if (x == 0.0L) return n == 0 ? 1.0L : 0.0L;
    if (std::isinf(x)) return 0.0L;
    const long double sign = (x < 0.0L && n % 2 != 0) ? -1.0L : 1.0L;
    x = std::fabs(x);
    long double v;
    if (x >= kHankelFrom) {
        v = BesselHankel(n, x);
    } else if (!BesselSeries(n, x, v)) {
        v = BesselJIntegral(n, x, 0.0L).Re.Value();
    }
    return sign * v;
}

TCplx BesselJ(int n, const TCplx& z) noexcept {
    if (z.IsReal()) return TCplx(BesselJ(n, ReValue(z)));
    TStdCplx w = ToStd(z);
    TStdCplx v;
    if (std::abs(w) >= kHankelFrom) {
        // J_n(-z) = (-1)^n J_n(z) keeps the expansion in the right half-plane.
        const bool mirror = w.real() < 0.0L;
        if (mirror) w = -w;
        v = BesselHankel(n, w);
        if (mirror && n % 2 != 0) v = -v;
    } else if (!BesselSeries(n, w, v)) {
        v = ToStd(BesselJIntegral(n, w.real(), w.imag()));
    }
    if (!std::isfinite(v.real()) || !std::isfinite(v.imag())) return FuncFail(TCalcErr::ceOverflow);
    return FromStd(v);
}

// ---- normal distribution ----

namespace {

// The 9-point Gauss-Legendre rule on [-1, 1]: the nodes 0, +-x[1..4] and their weights.
constexpr long double kGaussNode[5] = {
    0.0L, 0.3242534234038089290385380146433L, 0.6133714327005903973087020393414L,
    0.8360311073266357942994297880697L, 0.9681602395076260898355762029036L};
constexpr long double kGaussWeight[5] = {
    0.3302393550012597631645250692869L, 0.3123470770400028400686304065844L,
    0.2606106964029354623187428694186L, 0.1806481606948574040584720312429L,
    0.0812743883615744119718921581105L};

template <class F> long double GaussPanel(const F& f, long double a, long double b) noexcept {
    const long double mid = (a + b) / 2.0L;
    const long double half = (b - a) / 2.0L;
    long double sum = kGaussWeight[0] * f(mid);
    for (int i = 1; i < 5; ++i) {
        const long double d = half * kGaussNode[i];
        sum += kGaussWeight[i] * (f(mid - d) + f(mid + d));
    }
    return sum * half;
}

// Accepts a panel when the two halves agree with it to 1e-17 of their sum; the depth limit
// only guards against arguments that never settle.
template <class F>
long double AdaptiveGauss(const F& f, long double a, long double b, long double whole,
                          int depth) noexcept {
    const long double mid = (a + b) / 2.0L;
    const long double left = GaussPanel(f, a, mid);
    const long double right = GaussPanel(f, mid, b);
    const long double sum = left + right;
    if (std::fabs(whole - sum) <= 1e-17L * std::fabs(sum) || depth >= 48 || !std::isfinite(sum)) {
        return sum;
    }
    return AdaptiveGauss(f, a, mid, left, depth + 1) + AdaptiveGauss(f, mid, b, right, depth + 1);
}

template <class F> long double Integrate(const F& f, long double a, long double b) noexcept {
    return AdaptiveGauss(f, a, b, GaussPanel(f, a, b), 0);
}

// exp(-u^2 / 2) with the rounding error of u^2 put back, so that the tails keep full precision.
[[nodiscard]] long double ExpMinusHalfSquare(long double u) noexcept {
    if (!(std::fabs(u) < 160.0L)) return 0.0L;  // exp(-12800) is below the smallest extended
    const long double hi = u * u;
    const long double lo = std::fma(u, u, -hi);
    const long double e = std::exp(-hi / 2.0L);
    return e - e * (lo / 2.0L);
}

// Beyond this the integrand exp(-x^2 / 2) is below 1e-347: nothing of it is left in 0.5 + I.
constexpr long double kUpperTail = 40.0L;

}  // namespace

// 0.5 + I(0, t) / sqrt(2 pi) for t > 0. For t < 0 the tail integral from |t| outwards is taken
// directly, with x = |t| + u, instead of 0.5 - I(t, 0) / sqrt(2 pi), which cancels to nothing
// far out: Phi(t) = exp(-t^2 / 2) / sqrt(2 pi) times the integral over u >= 0 of
// exp(-(|t| u + u^2 / 2)).
long double NormalCdf(long double t) noexcept {
    if (std::isnan(t)) return t;
    if (t == 0.0L) return 0.5L;
    if (t > 0.0L) {
        const auto f = [](long double x) noexcept { return std::exp(-(x * x) / 2.0L); };
        return 0.5L + Integrate(f, 0.0L, std::min(t, kUpperTail)) / kSqrtTwoPi;
    }
    const long double a = -t;
    const long double front = ExpMinusHalfSquare(a);
    if (front == 0.0L) return 0.0L;
    const auto g = [a](long double u) noexcept { return std::exp(-(a * u + u * u / 2.0L)); };
    const long double reach = std::min(12.0L, 64.0L / a);  // the integrand falls below e^-64
    return front * Integrate(g, 0.0L, reach) / kSqrtTwoPi;
}

long double NormalDensity(long double u) noexcept {
    return ExpMinusHalfSquare(u) / kSqrtTwoPi;
}

namespace {

[[nodiscard]] inline long double Magnitude(const TCplx& z) noexcept {
    return z.IsReal() ? std::fabs(ReValue(z)) : CplxAbs(z);
}

// The density at z for the statistics data with the sample (or population) deviation.
TCplx Dist(const TCplx& z, bool population) noexcept {
    if (Statistics.Count == 0.0L) return TCplx(NormalDensity(Magnitude(z)));
    const long double sd = population ? Statistics.StdP : Statistics.Std;
    const TCplx d = z - Statistics.Ave;
    if (sd == 0.0L) return TCplx(d.IsZero() ? 1.0L : 0.0L);
    return TCplx(NormalDensity(Magnitude(d) / sd) / sd);
}

TCplx SDist(const TCplx& z, bool population) noexcept {
    if (Statistics.Count == 0.0L) return TCplx(NormalCdf(Magnitude(z)));
    const long double sd = population ? Statistics.StdP : Statistics.Std;
    const TCplx d = z - Statistics.Ave;
    if (sd == 0.0L) return TCplx(d.IsZero() ? 0.5L : 1.0L);
    return TCplx(NormalCdf(Magnitude(d) / sd));
}

}  // namespace

TCplx ApplySpecial(TFuncId id, const TCplx& z) noexcept {
    switch (id) {
    case TFuncId::E6: return ESeries(z, 4);
    case TFuncId::E12: return ESeries(z, 2);
    case TFuncId::E24: return ESeries(z, 1);
    case TFuncId::J0:
    case TFuncId::J1:
    case TFuncId::J2:
    case TFuncId::J3:
    case TFuncId::J4:
    case TFuncId::J5:
    case TFuncId::J6:
    case TFuncId::J7:
    case TFuncId::J8:
    case TFuncId::J9: return BesselJ(static_cast<int>(id) - static_cast<int>(TFuncId::J0), z);
    case TFuncId::Dist: return Dist(z, false);
    case TFuncId::DistP: return Dist(z, true);
    case TFuncId::SDist: return SDist(z, false);
    case TFuncId::SDistP: return SDist(z, true);
    case TFuncId::Data: Statistics.Start(); return TCplx();
    case TFuncId::End: Statistics.Stop(); return TCplx(Statistics.Count);
    default: return FuncFail(TCalcErr::ceSyntax);
    }
}

}  // namespace rekna
