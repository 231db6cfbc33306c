// The prime-factor answer form: 12 is 2*2*3.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

#include "numbers/format_detail.h"

namespace rekna::format_detail {

namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

constexpr long double kTwoPow63 = 9223372036854775808.0L;
constexpr u64 kTrialLimit = 1000;

u64 MulMod(u64 a, u64 b, u64 m) {
    return static_cast<u64>(static_cast<u128>(a) * b % m);
}

u64 PowMod(u64 a, u64 e, u64 m) {
    u64 r = 1;
    a %= m;
    for (; e != 0; e >>= 1) {
        if ((e & 1) != 0) r = MulMod(r, a, m);
        a = MulMod(a, a, m);
    }
    return r;
}

// Deterministic Miller-Rabin for every 64-bit n (odd, above the trial-division limit).
bool IsPrime(u64 n) {
    u64 d = n - 1;
    int s = 0;
    while ((d & 1) == 0) {
        d >>= 1;
        ++s;
    }
    for (const u64 a : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}) {
        u64 x = PowMod(a, d, n);
        if (x == 1 || x == n - 1) continue;
        bool composite = true;
        for (int r = 1; r < s && composite; ++r) {
            x = MulMod(x, x, n);
            if (x == n - 1) composite = false;
        }
        if (composite) return false;
    }
    return true;
}

// A nontrivial factor of the odd composite n (Brent's variant of Pollard's rho), or 0.
u64 FindFactor(u64 n) {
    for (u64 c = 1; c < 200; ++c) {
        const auto f = [n, c](u64 v) { return (MulMod(v, v, n) + c) % n; };
        const auto diff = [](u64 a, u64 b) { return a > b ? a - b : b - a; };
        u64 y = 2, x = 2, ys = 2, q = 1, g = 1;
        constexpr u64 kBatch = 128;
        for (u64 r = 1; g == 1; r *= 2) {
            x = y;
            for (u64 i = 0; i < r; ++i)
                y = f(y);
            for (u64 k = 0; k < r && g == 1; k += kBatch) {
                ys = y;
                for (u64 i = 0; i < std::min(kBatch, r - k); ++i) {
                    y = f(y);
                    q = MulMod(q, diff(x, y), n);
                }
                g = std::gcd(q, n);
            }
        }
        if (g == n) {
            do {
                ys = f(ys);
                g = std::gcd(diff(x, ys), n);
            } while (g == 1);
        }
        if (g != n) return g;
    }
    return 0;
}

void FactorLarge(u64 n, u64* factors, int& count) {
    if (IsPrime(n)) {
        factors[count++] = n;
        return;
    }
    const u64 d = FindFactor(n);
    if (d == 0) {
        factors[count++] = n;
        return;
    }
    FactorLarge(d, factors, count);
    FactorLarge(n / d, factors, count);
}

// The prime factors of n >= 2 in ascending order. Trial division takes the small ones; what
// is left is tested for primality and split by rho, so a prime near 2^63 costs microseconds
// rather than the three billion divisions of plain trial division.
int Factorize(u64 n, u64* factors) {
    int count = 0;
    while ((n & 1) == 0) {
        factors[count++] = 2;
        n >>= 1;
    }
    for (u64 p = 3; p < kTrialLimit && p * p <= n; p += 2)
        while (n % p == 0) {
            factors[count++] = p;
            n /= p;
        }
    if (n > 1) {
        if (n < kTrialLimit * kTrialLimit)
            factors[count++] = n;
        else
            FactorLarge(n, factors, count);
    }
    std::sort(factors, factors + count);
    return count;
}

}  // namespace

void WriteFactors(TTextBuf& out, long double x) {
    if (std::isnan(x)) {
        out.Add("Err");
        return;
    }
    if (!(std::fabs(x) < kTwoPow63)) {
        WriteNon(out, x);
        return;
    }
    // |x| + 0.5 is exact below 2^63, so the truncation rounds half away from zero.
    const u64 n = static_cast<u64>(std::fabs(x) + 0.5L);
    if (n == 0) {
        out.Add('0');
        return;
    }
    if (x < 0) out.Add('-');
    if (n == 1) {
        out.Add('1');
        return;
    }
    u64 factors[64];
    const int count = Factorize(n, factors);
    for (int i = 0; i < count; ++i) {
        if (i > 0) out.Add('*');
        AddInt(out, static_cast<long long>(factors[i]));
    }
}

}  // namespace rekna::format_detail
