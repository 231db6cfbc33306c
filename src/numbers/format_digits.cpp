// Correctly rounded decimal digits of an 80-bit extended, without going through double.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "numbers/ext_bits.h"
#include "numbers/format_detail.h"

namespace rekna::format_detail {

namespace {

using u128 = unsigned __int128;

template <int N> struct TPowers { std::uint64_t V[N]; };

template <int N> constexpr TPowers<N> Powers(std::uint64_t base) {
    TPowers<N> t{};
    t.V[0] = 1;
    for (int i = 1; i < N; ++i)
        t.V[i] = t.V[i - 1] * base;
    return t;
}

constexpr auto kPow10 = Powers<20>(10);  // up to 10^19, the largest below 2^64
constexpr int kMaxPow5 = 27;             // 5^27, the largest power of five below 2^63
constexpr auto kPow5 = Powers<kMaxPow5 + 1>(5);

// A positive finite extended as M * 2^Q with the top bit of M set (denormals normalised).
struct TBits {
    std::uint64_t M;
    int Q;
};

TBits Split(long double ax) noexcept {
    std::uint64_t m = ExtMantissa(ax);
    int q = ExtExponent(ax) - 63;
    if (m == 0) return {0, q};
    const int lz = std::countl_zero(m);
    m <<= lz;
    q -= lz;
    return {m, q};
}

// floor(b * log10(2)), possibly one off near an integer; callers correct it.
int EstimateExp(int b) noexcept {
    return static_cast<int>((static_cast<long long>(b) * 1292913987LL) >> 32);
}

// floor(m * 2^q * 10^p) and whether the rest is at least one half, when 128-bit arithmetic
// covers the scale; false otherwise.
bool ScaleFloor(std::uint64_t m, int q, int p, u128& floorOut, bool& halfUp) noexcept {
    const int s = q + p;
    if (p >= 0) {
        if (p > kMaxPow5) return false;
        const u128 a = static_cast<u128>(m) * kPow5.V[p];
        if (s >= 0) {
            if (s >= 128 || (s > 0 && (a >> (128 - s)) != 0)) return false;
            floorOut = a << s;
            halfUp = false;
            return true;
        }
        const int sh = -s;
        if (sh >= 128) {
            floorOut = 0;
            halfUp = false;
            return true;
        }
        const u128 one = 1;
        floorOut = a >> sh;
        halfUp = (a & ((one << sh) - 1)) >= (one << (sh - 1));
        return true;
    }
    if (p < -kMaxPow5) return false;
    const std::uint64_t d = kPow5.V[-p];
    if (s >= 0) {
        if (s > 63) return false;
        const u128 num = static_cast<u128>(m) << s;
        floorOut = num / d;
        const u128 rest = num % d;
        halfUp = rest >= d - rest;
        return true;
    }
    const int sh = -s;
    if (std::bit_width(d) + sh > 127) {
        floorOut = 0;  // m < 2^64 is far below half of the divisor
        halfUp = false;
        return true;
    }
    const u128 den = static_cast<u128>(d) << sh;
    floorOut = m / den;
    const u128 rest = m % den;
    halfUp = rest >= den - rest;
    return true;
}

// "00" to "99".
constexpr auto kDigitPairs = [] {
    std::array<char, 200> t{};
    for (int i = 0; i < 100; ++i) {
        t[2 * i] = static_cast<char>('0' + i / 10);
        t[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return t;
}();

// Writes the decimal digits of v (nonzero) and returns their number.
int WriteU128(u128 v, char* out) noexcept {
    char tmp[40];
    char* p = tmp + sizeof tmp;
    const auto putPair = [&p](std::uint64_t pair) {
        p -= 2;
        std::memcpy(p, kDigitPairs.data() + 2 * pair, 2);
    };
    while (v >> 64 != 0) {
        const u128 q = v / kPow10.V[19];
        std::uint64_t low = static_cast<std::uint64_t>(v - q * kPow10.V[19]);
        // All 19 digits of the lower part, leading zeros included.
        for (int i = 0; i < 9; ++i) {
            putPair(low % 100);
            low /= 100;
        }
        *--p = static_cast<char>('0' + low);
        v = q;
    }
    std::uint64_t low = static_cast<std::uint64_t>(v);
    for (; low >= 100; low /= 100)
        putPair(low % 100);
    if (low >= 10) {
        putPair(low);
    } else if (low != 0) {
        *--p = static_cast<char>('0' + low);
    }
    const auto n = static_cast<int>(tmp + sizeof tmp - p);
    std::memcpy(out, p, static_cast<std::size_t>(n));
    return n;
}

// An unsigned integer of up to 17408 bits in 64-bit limbs: enough for 2^16384, for 5^4951
// times a mantissa and for the reciprocal scale of the smallest denormal, with room for the
// factors of ten of the digit loop.
class TBig {
public:
    TBig() noexcept = default;
    TBig(const TBig&) = delete;
    // Copies the used limbs only.
    TBig& operator=(const TBig& b) noexcept {
        std::copy(b.FL, b.FL + b.FN, FL);
        FN = b.FN;
        return *this;
    }

    void Set(std::uint64_t v) noexcept {
        FL[0] = v;
        FN = v != 0 ? 1 : 0;
    }
    void ShiftLeft(int bits) noexcept {
        if (FN == 0 || bits <= 0) return;
        const int limbs = bits / 64;
        const int rest = bits % 64;
        int n = std::min(FN + limbs + 1, kLimbs);
        for (int i = n - 1; i >= 0; --i) {
            const int src = i - limbs;
            std::uint64_t v = 0;
            if (src >= 0 && src < FN) v = FL[src] << rest;
            if (rest != 0 && src - 1 >= 0 && src - 1 < FN) v |= FL[src - 1] >> (64 - rest);
            FL[i] = v;
        }
        while (n > 0 && FL[n - 1] == 0)
            --n;
        FN = n;
    }
    void MulSmall(std::uint64_t f) noexcept {
        std::uint64_t carry = 0;
        for (int i = 0; i < FN; ++i) {
            const u128 v = static_cast<u128>(FL[i]) * f + carry;
            FL[i] = static_cast<std::uint64_t>(v);
            carry = static_cast<std::uint64_t>(v >> 64);
        }
        if (carry != 0 && FN < kLimbs) FL[FN++] = carry;
    }
    void MulPow5(int k) noexcept {
        for (; k >= kMaxPow5; k -= kMaxPow5)
            MulSmall(kPow5.V[kMaxPow5]);
        if (k > 0) MulSmall(kPow5.V[k]);
    }
    // *this -= b * f, for *this >= b * f.
    void SubMul(const TBig& b, std::uint64_t f) noexcept {
        std::uint64_t carry = 0;
        std::uint64_t borrow = 0;
        for (int i = 0; i < FN; ++i) {
            const u128 p = static_cast<u128>(i < b.FN ? b.FL[i] : 0) * f + carry;
            carry = static_cast<std::uint64_t>(p >> 64);
            const std::uint64_t lo = static_cast<std::uint64_t>(p);
            const std::uint64_t a = FL[i];
            FL[i] = a - lo - borrow;
            borrow = (a < lo || a - lo < borrow) ? 1 : 0;
        }
        while (FN > 0 && FL[FN - 1] == 0)
            --FN;
    }
    void Sub(const TBig& b) noexcept { SubMul(b, 1); }
    friend int Compare(const TBig& a, const TBig& b) noexcept {
        if (a.FN != b.FN) return a.FN < b.FN ? -1 : 1;
        for (int i = a.FN - 1; i >= 0; --i)
            if (a.FL[i] != b.FL[i]) return a.FL[i] < b.FL[i] ? -1 : 1;
        return 0;
    }
    // a / b estimated from the top limbs, to within a few units in 2^62 of the quotient.
    friend long double Ratio(const TBig& a, const TBig& b) noexcept {
        if (a.FN == 0 || b.FN == 0) return 0;
        return std::ldexp(a.Top() / b.Top(), 64 * ((a.FN - a.TopLimbs()) - (b.FN - b.TopLimbs())));
    }

private:
    static constexpr int kLimbs = 272;

    [[nodiscard]] int TopLimbs() const noexcept { return FN >= 2 ? 2 : 1; }
    [[nodiscard]] long double Top() const noexcept {
        const long double hi = static_cast<long double>(FL[FN - 1]);
        return FN >= 2 ? hi * 18446744073709551616.0L + static_cast<long double>(FL[FN - 2]) : hi;
    }

    std::uint64_t FL[kLimbs];
    int FN = 0;
};

// Exact digit generation for every scale: r / s = x / 10^E in [1, 10), then up to eighteen
// digits per step (a quotient estimated from the top limbs and corrected exactly).
// sigMode: count significant digits; otherwise digits down to 10^-count.
TDigits BigDigits(const TBits& bits, bool sigMode, int count, bool round) noexcept {
    TDigits out;
    TBig r, s, t;
    r.Set(bits.M);
    s.Set(1);
    // x / 10^e = M * 5^-e * 2^(Q - e)
    int e = EstimateExp(bits.Q + 63);
    if (e >= 0)
        s.MulPow5(e);
    else
        r.MulPow5(-e);
    const int twos = bits.Q - e;
    if (twos >= 0)
        r.ShiftLeft(twos);
    else
        s.ShiftLeft(-twos);
    while (Compare(r, s) < 0) {
        r.MulSmall(10);
        --e;
    }
    for (;;) {
        t = s;
        t.MulSmall(10);
        if (Compare(r, t) < 0) break;
        s = t;
        ++e;
    }

    int total = sigMode ? count : e + 1 + count;
    if (total > kMaxDigits) total = kMaxDigits;
    if (total < 0) return out;
    if (total == 0) {
        // Only the rounding can make something of it: x / 10^(e+1) >= 1/2.
        t = s;
        t.MulSmall(5);
        if (round && Compare(r, t) >= 0) {
            out.D[0] = '1';
            out.Count = 1;
            out.Exp = e + 1;
        }
        return out;
    }
    for (int done = 0; done < total;) {
        // The first step already holds one digit before the point.
        const int step = std::min(total - done, 18);
        r.MulSmall(kPow10.V[done == 0 ? step - 1 : step]);
        const long double estimate = Ratio(r, s);
        std::uint64_t q = estimate >= 1 ? static_cast<std::uint64_t>(estimate) - 1 : 0;
        if (q != 0) r.SubMul(s, q);
        for (int fix = 0; fix < 4 && Compare(r, s) >= 0; ++fix) {
            r.Sub(s);
            ++q;
        }
        for (int i = step - 1; i >= 0; --i) {
            out.D[done + i] = static_cast<char>('0' + q % 10);
            q /= 10;
        }
        done += step;
    }
    out.Count = total;
    out.Exp = e;
    if (round) {
        r.ShiftLeft(1);
        if (Compare(r, s) >= 0) {
            int i = total - 1;
            while (i >= 0 && out.D[i] == '9')
                out.D[i--] = '0';
            if (i >= 0) {
                ++out.D[i];
            } else {
                out.D[0] = '1';
                ++out.Exp;
                if (!sigMode && out.Count < kMaxDigits) out.D[out.Count++] = '0';
            }
        }
    }
    return out;
}

}  // namespace

TDigits SigDigits(long double ax, int n, bool round) noexcept {
    TDigits out;
    if (!(ax > 0.0L)) return out;
    n = std::clamp(n, 1, kMaxDigits);
    const TBits bits = Split(ax);
    if (bits.M == 0) return out;  // an invalid encoding with no mantissa bits
    if (n <= 19) {
        int e = EstimateExp(bits.Q + 63);
        for (int iter = 0; iter < 4; ++iter) {
            u128 f;
            bool up;
            if (!ScaleFloor(bits.M, bits.Q, n - 1 - e, f, up)) break;
            if (f < kPow10.V[n - 1]) {
                --e;
                continue;
            }
            if (f >= static_cast<u128>(kPow10.V[n - 1]) * 10) {
                ++e;
                continue;
            }
            if (round && up) {
                ++f;
                if (f == static_cast<u128>(kPow10.V[n - 1]) * 10) {
                    f = kPow10.V[n - 1];
                    ++e;
                }
            }
            out.Count = WriteU128(f, out.D);
            out.Exp = e;
            return out;
        }
    }
    return BigDigits(bits, true, n, round);
}

TDigits FixedDigits(long double ax, int decimals) noexcept {
    TDigits out;
    if (!(ax > 0.0L)) return out;
    const TBits bits = Split(ax);
    if (bits.M == 0) return out;
    u128 f;
    bool up;
    if (ScaleFloor(bits.M, bits.Q, decimals, f, up)) {
        if (up) ++f;
        if (f == 0) return out;
        out.Count = WriteU128(f, out.D);
        out.Exp = out.Count - 1 - decimals;
        return out;
    }
    return BigDigits(bits, false, decimals, true);
}

int DecimalExponent(long double ax) noexcept {
    return SigDigits(ax, 1, false).Exp;
}

}  // namespace rekna::format_detail
