// The numeric literal reader: scanning, exact value construction and the canonical text.
#include "numbers/literal.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>

#include "numbers/calc_error.h"
#include "numbers/number_settings.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

// Mantissas are gathered in 128 bits so that long digit strings keep full extended precision
// up to the one rounding to the 64-bit mantissa.
using TWide = __int128;

// Any scale beyond this is an overflow or an underflow whatever the mantissa; clamping keeps
// the exponent sums far from integer overflow.
constexpr std::int64_t kScaleClamp = 1'000'000;

constexpr std::size_t kNoPoint = static_cast<std::size_t>(-1);

// x^0 .. x^(N-1).
template <typename T, std::size_t N> constexpr std::array<T, N> Powers(T x) {
    std::array<T, N> t{};
    t[0] = 1;
    for (std::size_t i = 1; i < N; ++i)
        t[i] = t[i - 1] * x;
    return t;
}

// 10^0 .. 10^27 are exact in the extended type (5^27 < 2^64); so are 5^0 .. 5^27 as integers
// and 2^0 .. 2^-127.
constexpr int kExactPow10 = 27;
constexpr auto kPow10 = Powers<long double, kExactPow10 + 1>(10.0L);
constexpr auto kPow5 = Powers<std::uint64_t, kExactPow10 + 1>(5);
constexpr auto kPow2Neg = Powers<long double, 128>(0.5L);

// Beyond this power a negative decimal scale is applied as an extended quotient instead of
// a denominator, so that the denominator stays far from the end of the extended range.
constexpr std::int64_t kDenominatorPow10 = 2000;

constexpr int kWidePow10Max = 38;
constexpr auto kWidePow10 = Powers<TWide, kWidePow10Max + 1>(10);

// SI prefixes: the character written in the canonical text, the case variant accepted unless
// prefixes are case-strict, and the power of ten.
struct TPrefix {
    char Canon;
    char Variant;
    std::int8_t Shift;
};
constexpr TPrefix kPrefixes[] = {
    {'z', 'Z', -21}, {'a', 'A', -18}, {'f', 'F', -15}, {'p', 0, -12}, {'n', 'N', -9},
    {'u', 'U', -6},  {'m', 0, -3},    {'c', 'C', -2},  {'h', 'H', 2}, {'k', 'K', 3},
    {'M', 0, 6},     {'G', 'g', 9},   {'T', 't', 12},  {'P', 0, 15},
};
// By ASCII character: index + 1 into kPrefixes, negated for a case variant, 0 for none.
constexpr auto kPrefixIndex = [] {
    std::array<std::int8_t, 128> t{};
    for (std::size_t i = 0; i < std::size(kPrefixes); ++i) {
        t[static_cast<unsigned char>(kPrefixes[i].Canon)] = static_cast<std::int8_t>(i + 1);
        if (kPrefixes[i].Variant != 0)
            t[static_cast<unsigned char>(kPrefixes[i].Variant)] =
                static_cast<std::int8_t>(-(i + 1));
    }
    return t;
}();

// The parts of a decimal literal: the rest (the digits after the last mark), the digit groups
// and the 60-base groups, with the power of ten and the factor each carries into the value.
enum TPartIndex : int { pxRest, pxMan, pxOku, pxCho, pxKei, pxMinute, pxHour, pxDay, pxCount };
constexpr int kPartPow10[pxCount] = {0, 4, 8, 12, 16, 0, 0, 0};
constexpr std::int64_t kPartFactor[pxCount] = {1, 1, 1, 1, 1, 60, 3600, 86400};

enum class TMarkKind : std::uint8_t { mkGroup, mkSixty, mkSeconds, mkKen };
struct TMarkSource {
    const char* Utf8;
    TMarkKind Kind;
    TPartIndex Part;
};
constexpr TMarkSource kMarkSources[] = {
    {"万", TMarkKind::mkGroup, pxMan},   {"億", TMarkKind::mkGroup, pxOku},
    {"兆", TMarkKind::mkGroup, pxCho},   {"京", TMarkKind::mkGroup, pxKei},
    {"日", TMarkKind::mkSixty, pxDay},   {"時", TMarkKind::mkSixty, pxHour},
    {"：", TMarkKind::mkSixty, pxHour},  {"度", TMarkKind::mkSixty, pxHour},
    {"°", TMarkKind::mkSixty, pxHour},   {"分", TMarkKind::mkSixty, pxMinute},
    {"′", TMarkKind::mkSixty, pxMinute}, {"秒", TMarkKind::mkSeconds, pxRest},
    {"″", TMarkKind::mkSeconds, pxRest}, {"間", TMarkKind::mkKen, pxRest},
};

struct TMark {
    std::uint16_t Code = 0;  // lead byte << 8 | trail byte
    TMarkKind Kind = TMarkKind::mkKen;
    TPartIndex Part = pxRest;
};
using TMarkTable = std::array<TMark, std::size(kMarkSources)>;

const TMarkTable& Marks() {
    static const TMarkTable table = [] {
        TMarkTable t{};
        for (std::size_t i = 0; i < t.size(); ++i) {
            const std::string s = SysText(kMarkSources[i].Utf8);
            // A mark that does not convert to one double-byte character can never match.
            const std::uint16_t code =
                s.size() == 2 && IsLeadByte(s[0])
                    ? static_cast<std::uint16_t>(static_cast<unsigned char>(s[0]) << 8 |
                                                 static_cast<unsigned char>(s[1]))
                    : 0;
            t[i] = {code, kMarkSources[i].Kind, kMarkSources[i].Part};
        }
        return t;
    }();
    return table;
}

[[nodiscard]] const TMark* FindMark(std::uint16_t code) {
    for (const TMark& m : Marks())
        if (m.Code == code) return &m;
    return nullptr;
}

[[nodiscard]] constexpr bool IsSeparator(char c) noexcept {
    return c == ' ' || c == '\t' || c == ',';
}

[[nodiscard]] constexpr bool IsImagChar(char c) noexcept {
    return c == 'i' || c == 'j' || c == 'I' || c == 'J';
}

[[nodiscard]] constexpr int DigitValue(char c, unsigned base) noexcept {
    unsigned d;
    if (c >= '0' && c <= '9')
        d = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'A' && c <= 'F')
        d = static_cast<unsigned>(c - 'A' + 10);
    else if (base == 16 && c >= 'a' && c <= 'f')
        d = static_cast<unsigned>(c - 'a' + 10);
    else
        return -1;
    return d < base ? static_cast<int>(d) : -1;
}

// One digit into a signed 64-bit integer; a two's-complement sign digit starts it at -d.
// False on overflow.
[[nodiscard]] bool PushIntDigit(std::int64_t& v, unsigned base, bool signDigit,
                                unsigned d) noexcept {
    if (signDigit) {
        v = -static_cast<std::int64_t>(d);
        return true;
    }
    std::int64_t t;
    return !__builtin_mul_overflow(v, static_cast<std::int64_t>(base), &t) &&
           !__builtin_add_overflow(t, static_cast<std::int64_t>(d), &v);
}

// |x| >= 2^100, tested on the bits above 2^100. Past it further integer digits only scale the
// value and further fraction digits lie far below the extended precision; the limit leaves
// room for the 60-base factors (< 2^17) and one more digit of any base within 128 bits.
[[nodiscard]] constexpr bool PastLimit(TWide x) noexcept {
    const auto high = static_cast<std::int64_t>(x >> 100);
    return high != 0 && high != -1;
}

[[nodiscard]] std::int64_t ClampScale(TWide x) noexcept {
    if (x > kScaleClamp) return kScaleClamp;
    if (x < -kScaleClamp) return -kScaleClamp;
    return static_cast<std::int64_t>(x);
}

[[nodiscard]] long double WideToExt(TWide t) noexcept {
    if (t >= INT64_MIN && t <= INT64_MAX)
        return static_cast<long double>(static_cast<std::int64_t>(t));
    return static_cast<long double>(t);
}

// The extended computations near the ends of the range raise overflow and underflow flags
// that the engine would take for failures of the calculation; the reader reports its own.
class TFpFlagsGuard {
public:
    TFpFlagsGuard() noexcept { std::fegetexceptflag(&FSaved, FE_ALL_EXCEPT); }
    ~TFpFlagsGuard() { std::fesetexceptflag(&FSaved, FE_ALL_EXCEPT); }
    TFpFlagsGuard(const TFpFlagsGuard&) = delete;
    TFpFlagsGuard& operator=(const TFpFlagsGuard&) = delete;

private:
    std::fexcept_t FSaved{};
};

// m * 10^q in extended for any q, m at least 1 in magnitude; false on overflow. An underflow
// gives a subnormal or 0, as extended arithmetic does.
[[nodiscard]] bool ScaleDecimal(long double m, std::int64_t q, long double& out) noexcept {
    if (q >= 0) {
        if (q <= kExactPow10)
            out = m * kPow10[q];
        else if (q > 5000)
            return false;
        else
            out = m * std::pow(10.0L, static_cast<long double>(q));
        return std::isfinite(out);
    }
    std::int64_t n = -q;
    // 10^4000 is finite; dividing in steps keeps the divisor finite as well.
    while (n > 4000 && m != 0.0L) {
        m /= std::pow(10.0L, 4000.0L);
        n -= 4000;
    }
    out = n <= kExactPow10 ? m / kPow10[n] : m / std::pow(10.0L, static_cast<long double>(n));
    return true;
}

// Sets f to num / den, normalised in place: the 80-bit copies of a temporary fraction are a
// noticeable part of reading a short literal.
void SetFrac(TFrac& f, long double num, long double den) noexcept {
    f.Num = num;
    f.Den = den;
    if (den != 1.0L) f.Normalize();
}

// t / 10^k (0 < k <= 27) normalised directly, equal to TFrac(t, 10^k) with fraction
// calculation on. The odd part of 10^k is 5^k, so the only common factor of the odd parts is
// a power of 5, found by division; the general gcd costs several times more, and every
// decimal fraction of every line comes through here.
void DecimalQuotient(TFrac& f, bool neg, std::uint64_t t, int k) noexcept {
    int j = 0;
    while (j < k && t % 5 == 0) {
        t /= 5;
        ++j;
    }
    const std::uint64_t odd = kPow5[static_cast<std::size_t>(k - j)];
    const int e = 63 - std::countl_zero(odd);  // odd * 2^-e lies in [1, 2)
    const long double num = static_cast<long double>(t) * kPow2Neg[static_cast<std::size_t>(k + e)];
    f.Num = neg ? -num : num;
    f.Den = static_cast<long double>(odd) * kPow2Neg[static_cast<std::size_t>(e)];
}

// +-t * 10^q as a fraction: exact while t and 10^|q| fit the 64-bit mantissa. out is 0/1 on
// entry.
[[nodiscard]] bool DecimalFrac(bool neg, TWide t, std::int64_t q, TFrac& out) noexcept {
    if (t == 0) return true;
    if (q < 0 && -q <= kExactPow10 && t <= TWide(UINT64_MAX) && NumberSettings.Fractional) {
        DecimalQuotient(out, neg, static_cast<std::uint64_t>(t), static_cast<int>(-q));
        return true;
    }
    long double m = WideToExt(t);
    if (neg) m = -m;
    if (q >= 0 && q <= kExactPow10) {
        out.Num = m * kPow10[q];
        return true;
    }
    if (q < 0 && -q <= kExactPow10) {
        SetFrac(out, m, kPow10[-q]);
        return true;
    }
    TFpFlagsGuard guard;
    if (q < 0 && -q <= kDenominatorPow10) {
        SetFrac(out, m, std::pow(10.0L, static_cast<long double>(-q)));
        return true;
    }
    long double v;
    if (!ScaleDecimal(m, q, v)) return false;
    out.Num = v;
    return true;
}

// +-t * 2^s: binary and hexadecimal literals are exact whenever t fits the mantissa, since
// their denominators are powers of two that normalisation moves into the exponent. out is
// 0/1 on entry.
[[nodiscard]] bool BinaryFrac(bool neg, TWide t, std::int64_t s, TFrac& out) noexcept {
    if (t == 0) return true;
    long double m = WideToExt(t);
    if (neg) m = -m;
    if (s == 0) {
        out.Num = m;
        return true;
    }
    const std::int64_t top = std::ilogb(m) + s;
    if (top > std::numeric_limits<long double>::max_exponent - 1) return false;
    if (top >= std::numeric_limits<long double>::min_exponent - 1) {
        out.Num = std::ldexp(m, static_cast<int>(s));
        return true;
    }
    TFpFlagsGuard guard;
    out.Num = std::ldexp(m, static_cast<int>(s));
    return true;
}

[[nodiscard]] long double DbRatio(long double x, TdBUnit unit) noexcept {
    switch (unit) {
    case TdBUnit::dudB10: return std::pow(10.0L, x / 10.0L);
    case TdBUnit::dudB20: return std::pow(10.0L, x / 20.0L);
    // 0 dBm is 1 mW into 50 ohm: sqrt(0.05) V.
    case TdBUnit::dudBm: return std::pow(10.0L, x / 20.0L) / std::sqrt(20.0L);
    case TdBUnit::dudBu: return std::pow(10.0L, x / 20.0L) / 1e6L;
    }
    return std::pow(10.0L, x / 20.0L);
}

[[nodiscard]] long double TimeUnitSeconds(TTimUnit unit) noexcept {
    switch (unit) {
    case TTimUnit::tuDay: return 86400.0L;
    case TTimUnit::tuHou: return 3600.0L;
    case TTimUnit::tuMin: return 60.0L;
    case TTimUnit::tuSec: return 1.0L;
    }
    return 1.0L;
}

// The canonical text written straight into the caller's string, whose capacity is usually
// already enough.
struct TCanonBuf {
    std::string& S;
    void Put(char c) { S.push_back(c); }
    void Put(const char* s, std::size_t n) { S.append(s, n); }
    void Put(std::uint16_t mark) {
        const char bytes[2] = {static_cast<char>(mark >> 8), static_cast<char>(mark & 0xFF)};
        S.append(bytes, 2);
    }
};

// Digits of v in base (v >= 0), or for two's complement the shortest digit string whose
// sign digit gives v.
void WriteInteger(TCanonBuf& out, std::int64_t v, unsigned base, bool twos) {
    char buf[72];
    int n = 0;
    if (twos && v < 0) {
        const int bits = 65 - std::countl_zero(static_cast<std::uint64_t>(~v));
        const auto u = static_cast<std::uint64_t>(v);
        for (int b = bits - 1; b >= 0; --b)
            out.Put(static_cast<char>('0' + ((u >> b) & 1U)));
        return;
    }
    if (twos) {
        out.Put('0');
        if (v == 0) return;
    }
    auto u = static_cast<std::uint64_t>(v);
    do {
        buf[n++] = "0123456789ABCDEF"[u % base];
        u /= base;
    } while (u != 0);
    while (n > 0)
        out.Put(buf[--n]);
}

// One digit text of a literal: its digits as an integer Acc with the count of digits after
// the point (Frac) and of integer digits past Acc's capacity (Dropped), so that its value is
// Acc * base^(Dropped - Frac); and where its digits lie in the reader's scratch text.
// Deliberately without member initialisers: the reader leaves the group slots it never
// fills untouched, which matters at the rate the compiler reads literals.
struct TPart {
    TWide Acc;
    std::int64_t Frac;
    std::int64_t Dropped;
    // Zeros after the point wait until a nonzero digit follows, so that trailing zeros never
    // change Acc: the canonical text, which drops them, then reads back to the same value.
    std::int64_t PendingZeros;
    std::size_t Begin;
    std::size_t End;
    std::size_t PointAt;
    std::uint16_t Mark;
    bool Any;
    bool Full;
};

[[nodiscard]] constexpr TPart EmptyPart(std::size_t begin) noexcept {
    return TPart{0, 0, 0, 0, begin, begin, kNoPoint, 0, false, false};
}

inline void PushDigit(TPart& p, unsigned base, unsigned d) noexcept {
    if (p.PointAt == kNoPoint) {
        if (p.Full) {
            ++p.Dropped;
            return;
        }
        p.Acc = p.Acc * base + d;
        if (PastLimit(p.Acc)) p.Full = true;
        return;
    }
    if (p.Full) return;
    if (d == 0) {
        ++p.PendingZeros;
        return;
    }
    if (p.Acc == 0) {
        p.Frac += p.PendingZeros;
        p.PendingZeros = 0;
    }
    for (; p.PendingZeros > 0; --p.PendingZeros) {
        p.Acc *= base;
        ++p.Frac;
        if (PastLimit(p.Acc)) {
            p.Full = true;
            return;
        }
    }
    p.Acc = p.Acc * base + d;
    ++p.Frac;
    if (PastLimit(p.Acc)) p.Full = true;
}

struct TExponent {
    std::int64_t V = 0;  // the digits' value; the sign is applied afterwards
    unsigned Base = 10;
    bool Twos = false;
    bool Neg = false;
    bool Signed = false;
    bool Prefixed = false;
    bool Any = false;
    bool Overflow = false;
};

enum class TPhase : std::uint8_t { phMantissa, phExponent, phSuffix, phDone };
enum class TMultiplier : std::uint8_t { muNone, muPrefix, muPercent, muDb };
enum class TLast : std::uint8_t { laOther, laHour, laSeconds };

class TLiteralReader {
public:
    TLiteralReader(std::string_view in, const TNumberSettings& settings) noexcept
        : FIn(in), FSet(settings) {
        FParts[pxRest] = EmptyPart(0);
    }

    void Scan();
    [[nodiscard]] bool Value(TCplx& out) const noexcept;
    void WriteCanonical(std::string& text) const;
    [[nodiscard]] std::size_t End() const noexcept { return FEnd; }

private:
    std::size_t MantissaChar(std::size_t i);
    std::size_t ExponentChar(std::size_t i);
    std::size_t SuffixStart(std::size_t i) noexcept;
    std::size_t MarkChar(std::size_t i);
    void AddDigit(unsigned d, char c);
    std::size_t DigitRun(std::size_t i);
    void MovePart(TPartIndex to, std::uint16_t mark) noexcept;
    void Push(char c) {
        if (FScratchSize == FScratchCap) Grow();
        FScratch[FScratchSize++] = c;
    }
    void Grow();
    [[nodiscard]] bool ContinuesAfterSeparator(char c) const noexcept {
        return (c >= '0' && c <= '9') || DigitValue(c, FBase) >= 0;
    }
    [[nodiscard]] bool Have(int part) const noexcept { return (FGroups >> part & 1U) != 0; }
    [[nodiscard]] bool DecimalValue(std::int64_t e, TFrac& out) const noexcept;
    void WriteDigits(TCanonBuf& out, const TPart& p, bool seconds) const;

    std::string_view FIn;
    const TNumberSettings& FSet;
    std::size_t FEnd = 0;

    // The digit texts as read, without separators, for the canonical text. Every byte of the
    // input adds at most one byte, and each part at most one leading "0" more.
    char FInline[96];
    std::unique_ptr<char[]> FHeap;
    char* FScratch = FInline;
    std::size_t FScratchSize = 0;
    std::size_t FScratchCap = sizeof FInline;

    TPart FParts[pxCount];
    std::uint8_t FGroups = 0;  // bit g set when part g holds a group
    TExponent FExp;
    TPhase FPhase = TPhase::phMantissa;
    TMultiplier FMult = TMultiplier::muNone;
    TLast FLast = TLast::laOther;
    unsigned FBase = 10;
    int FShift = 0;
    char FPrefixChar = 0;
    std::uint16_t FSecondsMark = 0;
    bool FTwos = false;
    bool FNeg = false;
    bool FSigned = false;
    bool FStarted = false;  // a base prefix, digit or point was read
    bool FAnyDigit = false;
    bool FHasExp = false;
    bool FSeconds = false;
    bool FSixty = false;
    bool FImag = false;
};

void TLiteralReader::Grow() {
    const std::size_t cap = FIn.size() + pxCount + 1;
    FHeap = std::make_unique<char[]>(cap);
    std::memcpy(FHeap.get(), FScratch, FScratchSize);
    FScratch = FHeap.get();
    FScratchCap = cap;
}

void TLiteralReader::Scan() {
    const std::size_t n = FIn.size();
    std::size_t i = 0;
    while (i < n && FPhase != TPhase::phDone) {
        if (IsSeparator(FIn[i])) {
            // A separator groups digits: the literal goes on only when a digit follows, so
            // in "3 apples" or "3 m" the word after the number is not read as a prefix.
            std::size_t j = i;
            while (j < n && IsSeparator(FIn[j]))
                ++j;
            if (j >= n || !ContinuesAfterSeparator(FIn[j])) break;
            i = j;
            continue;
        }
        std::size_t len = 0;
        switch (FPhase) {
        case TPhase::phMantissa: len = MantissaChar(i); break;
        case TPhase::phExponent: len = ExponentChar(i); break;
        case TPhase::phSuffix:
            if (IsImagChar(FIn[i])) {
                FImag = true;
                FPhase = TPhase::phDone;
                len = 1;
            }
            break;
        case TPhase::phDone: break;
        }
        if (len == 0) break;
        i += len;
        FEnd = i;
    }
    FParts[pxRest].End = FScratchSize;
}

std::size_t TLiteralReader::MantissaChar(std::size_t i) {
    const char c = FIn[i];
    switch (c) {
    case '-':
    case '+':
        if (FSigned || FStarted) return 0;
        FSigned = true;
        FNeg = c == '-';
        return 1;
    case '$':
        if (FStarted) return 0;
        FStarted = true;
        FBase = 16;
        return 1;
    case '&':
        if (FStarted) return 0;
        FStarted = true;
        FBase = 2;
        if (i + 1 < FIn.size() && (FIn[i + 1] == 'C' || FIn[i + 1] == 'c')) {
            FTwos = true;
            return 2;
        }
        return 1;
    case '.': {
        TPart& p = FParts[pxRest];
        FStarted = true;
        FLast = TLast::laOther;
        // A point without digits before it reads as "0."; a further point is skipped.
        if (p.PointAt == kNoPoint) {
            if (!p.Any) AddDigit(0, '0');
            p.PointAt = FScratchSize;
            Push('.');
        }
        return 1;
    }
    default: break;
    }
    if (DigitValue(c, FBase) >= 0) return DigitRun(i);
    const bool expMark = FBase == 16 ? (c == 'P' || c == 'p') : (c == 'E' || c == 'e');
    if (expMark) {
        if (!FParts[pxRest].Any || FLast == TLast::laSeconds) return 0;
        FPhase = TPhase::phExponent;
        FHasExp = true;
        return 1;
    }
    if (const std::size_t len = SuffixStart(i)) return len;
    if (IsLeadByte(c)) return MarkChar(i);
    return 0;
}

std::size_t TLiteralReader::ExponentChar(std::size_t i) {
    const char c = FIn[i];
    TExponent& x = FExp;
    switch (c) {
    case '-':
    case '+':
        if (x.Signed || x.Prefixed || x.Any) return 0;
        x.Signed = true;
        x.Neg = c == '-';
        return 1;
    case '$':
        if (x.Prefixed || x.Any) return 0;
        x.Prefixed = true;
        x.Base = 16;
        return 1;
    case '&':
        if (x.Prefixed || x.Any) return 0;
        x.Prefixed = true;
        x.Base = 2;
        if (i + 1 < FIn.size() && (FIn[i + 1] == 'C' || FIn[i + 1] == 'c')) {
            x.Twos = true;
            return 2;
        }
        return 1;
    default: break;
    }
    const int d = DigitValue(c, x.Base);
    if (d >= 0) {
        if (!PushIntDigit(x.V, x.Base, x.Twos && !x.Any, static_cast<unsigned>(d)))
            x.Overflow = true;
        x.Any = true;
        return 1;
    }
    return x.Any ? SuffixStart(i) : 0;
}

// The imaginary mark, an SI prefix, percent or decibel after the number.
std::size_t TLiteralReader::SuffixStart(std::size_t i) noexcept {
    const char c = FIn[i];
    if (!FAnyDigit) return 0;
    if (IsImagChar(c)) {
        FImag = true;
        FPhase = TPhase::phDone;
        return 1;
    }
    if (FBase != 10) return 0;
    const auto u = static_cast<unsigned char>(c);
    if (u < 128 && FSet.InpEng) {
        const int k = kPrefixIndex[u];
        if (k > 0 || (k < 0 && !FSet.InpEngStrict)) {
            const TPrefix& p = kPrefixes[(k > 0 ? k : -k) - 1];
            FMult = TMultiplier::muPrefix;
            FPrefixChar = p.Canon;
            FShift = p.Shift;
            FPhase = TPhase::phSuffix;
            return 1;
        }
    }
    if (c == '%' && FSet.InpPercent) {
        FMult = TMultiplier::muPercent;
        FShift = -2;
        FPhase = TPhase::phSuffix;
        return 1;
    }
    if ((c == 'd' || c == 'D') && FSet.InpDb && i + 1 < FIn.size() &&
        (FIn[i + 1] == 'B' || FIn[i + 1] == 'b')) {
        FMult = TMultiplier::muDb;
        FPhase = TPhase::phSuffix;
        return 2;
    }
    return 0;
}

// A double-byte character: a digit-group or 60-base mark, or the end of the literal.
std::size_t TLiteralReader::MarkChar(std::size_t i) {
    if (i + 1 >= FIn.size() || FBase != 10) return 0;
    const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(FIn[i]) << 8 |
                                                 static_cast<unsigned char>(FIn[i + 1]));
    const TMark* m = FindMark(code);
    if (m == nullptr) return 0;
    const TPart& cur = FParts[pxRest];
    switch (m->Kind) {
    case TMarkKind::mkGroup:
        if (!FSet.InpN10 || !cur.Any || Have(m->Part) || FSeconds) return 0;
        MovePart(m->Part, code);
        FLast = TLast::laOther;
        return 2;
    case TMarkKind::mkSixty:
        if (!FSet.InpN60 || !cur.Any || Have(m->Part) || FSeconds) return 0;
        MovePart(m->Part, code);
        FSixty = true;
        FLast = m->Part == pxHour ? TLast::laHour : TLast::laOther;
        return 2;
    case TMarkKind::mkSeconds:
        if (!FSet.InpN60 || FSeconds || !FAnyDigit) return 0;
        FSeconds = true;
        FSixty = true;
        FSecondsMark = code;
        // The digits after the seconds mark are its fraction.
        if (cur.PointAt == kNoPoint) {
            FParts[pxRest].PointAt = FScratchSize;
            Push('.');
        }
        FLast = TLast::laSeconds;
        return 2;
    case TMarkKind::mkKen:
        // 2時間30分: the 間 of a duration is skipped.
        return FSet.InpN60 && FLast == TLast::laHour ? 2 : 0;
    }
    return 0;
}

inline void TLiteralReader::AddDigit(unsigned d, char c) {
    TPart& p = FParts[pxRest];
    if (FTwos && !p.Any && p.PointAt == kNoPoint)
        p.Acc = -static_cast<TWide>(d);  // the sign digit weighs -2^(n-1)
    else
        PushDigit(p, FBase, d);
    p.Any = true;
    FAnyDigit = true;
    FStarted = true;
    FLast = TLast::laOther;
    Push(c);
}

// A run of digits at i, read in one loop: most of a literal is digits.
std::size_t TLiteralReader::DigitRun(std::size_t i) {
    TPart& p = FParts[pxRest];
    std::size_t j = i;
    if (FTwos && !p.Any && p.PointAt == kNoPoint) {
        AddDigit(static_cast<unsigned>(DigitValue(FIn[j], FBase)), FIn[j]);
        ++j;
    }
    const std::size_t n = FIn.size();
    const unsigned base = FBase;
    for (; j < n; ++j) {
        const int d = DigitValue(FIn[j], base);
        if (d < 0) break;
        PushDigit(p, base, static_cast<unsigned>(d));
        Push(FIn[j]);
    }
    p.Any = true;
    FAnyDigit = true;
    FStarted = true;
    FLast = TLast::laOther;
    return j - i;
}

void TLiteralReader::MovePart(TPartIndex to, std::uint16_t mark) noexcept {
    TPart& cur = FParts[pxRest];
    // Member by member: a whole-struct copy becomes a slow string move instruction.
    TPart& g = FParts[to];
    g.Acc = cur.Acc;
    g.Frac = cur.Frac;
    g.Dropped = cur.Dropped;
    g.PendingZeros = 0;
    g.Begin = cur.Begin;
    g.End = FScratchSize;
    g.PointAt = cur.PointAt;
    g.Mark = mark;
    g.Any = cur.Any;
    g.Full = cur.Full;
    FGroups = static_cast<std::uint8_t>(FGroups | 1U << to);
    cur = EmptyPart(FScratchSize);
}

bool TLiteralReader::DecimalValue(std::int64_t e, TFrac& out) const noexcept {
    const std::int64_t shift =
        FMult == TMultiplier::muPrefix || FMult == TMultiplier::muPercent ? FShift : 0;
    if (FGroups == 0) {
        const TPart& p = FParts[pxRest];
        if (p.Acc == 0) return true;
        return DecimalFrac(FNeg, p.Acc, ClampScale(TWide(p.Dropped) - p.Frac + e) + shift, out);
    }
    // Each nonzero part adds M * 10^X.
    struct TTerm {
        TWide M;
        std::int64_t X;
    };
    TTerm terms[pxCount];
    int count = 0;
    for (int g = 0; g < pxCount; ++g) {
        const TPart& p = FParts[g];
        if ((g != pxRest && !Have(g)) || p.Acc == 0) continue;
        TWide x = TWide(kPartPow10[g]) + p.Dropped - p.Frac;
        if (g == pxRest) x += e;
        terms[count++] = {p.Acc * kPartFactor[g], ClampScale(x)};
    }
    if (count == 0) return true;
    if (count == 1) return DecimalFrac(FNeg, terms[0].M, terms[0].X + shift, out);

    // Several parts: one integer over the smallest power keeps the sum exact.
    std::int64_t minX = terms[0].X;
    for (int k = 1; k < count; ++k)
        minX = std::min(minX, terms[k].X);
    TWide t = 0;
    bool fits = true;
    for (int k = 0; k < count && fits; ++k) {
        const std::int64_t d = terms[k].X - minX;
        TWide m;
        // Both factors below 2^63 cannot overflow; the checked product is a library call.
        if (d <= 18 && terms[k].M < (TWide(1) << 63))
            m = terms[k].M * kWidePow10[d];
        else if (d > kWidePow10Max || __builtin_mul_overflow(terms[k].M, kWidePow10[d], &m))
            fits = false;
        fits = fits && !__builtin_add_overflow(t, m, &t);
    }
    if (fits) return DecimalFrac(FNeg, t, minX + shift, out);

    TFpFlagsGuard guard;
    long double sum = 0.0L;
    for (int k = 0; k < count; ++k) {
        long double v;
        if (!ScaleDecimal(WideToExt(terms[k].M), terms[k].X + shift, v)) return false;
        sum += v;
    }
    if (!std::isfinite(sum)) return false;
    out.Num = FNeg ? -sum : sum;
    return true;
}

// out is 0 on entry; every path that could leave the extended range checks for it.
bool TLiteralReader::Value(TCplx& out) const noexcept {
    std::int64_t e = 0;
    if (FHasExp) {
        if (!FExp.Any || FExp.Overflow) return false;
        if (FExp.Neg && FExp.V == INT64_MIN) return false;
        e = FExp.Neg ? -FExp.V : FExp.V;
    }
    TFrac& v = FImag ? out.Im : out.Re;
    if (FBase == 10) {
        if (!DecimalValue(e, v)) return false;
    } else {
        const TPart& p = FParts[pxRest];
        const int bits = FBase == 16 ? 4 : 1;
        const std::int64_t s = ClampScale((TWide(p.Dropped) - p.Frac + e) * bits);
        if (!BinaryFrac(FNeg, p.Acc, s, v)) return false;
    }
    if (FMult == TMultiplier::muDb) {
        TFpFlagsGuard guard;
        const long double r = DbRatio(v.Value(), FSet.DbUnit);
        if (!std::isfinite(r)) return false;
        v.Num = r;
        v.Den = 1.0L;
    }
    if (FSixty) {
        const long double unit = TimeUnitSeconds(FSet.TimUnit);
        if (unit != 1.0L) v = v / TFrac(unit);
    }
    return true;
}

void TLiteralReader::WriteDigits(TCanonBuf& out, const TPart& p, bool seconds) const {
    const char* s = FScratch + p.Begin;
    const std::size_t len = p.End - p.Begin;
    const std::size_t intLen = p.PointAt == kNoPoint ? len : p.PointAt - p.Begin;
    std::size_t a = 0;
    // Leading zeros go; in two's complement a repeated sign digit is what carries no weight.
    if (FTwos) {
        while (intLen - a >= 2 && s[a] == s[a + 1])
            ++a;
    } else {
        while (intLen - a >= 2 && s[a] == '0')
            ++a;
    }
    if (a == intLen)
        out.Put('0');
    else
        out.Put(s + a, intLen - a);
    const char* f = s + intLen + 1;
    std::size_t fracLen = p.PointAt == kNoPoint ? 0 : len - intLen - 1;
    while (fracLen > 0 && f[fracLen - 1] == '0')
        --fracLen;
    if (seconds) {
        out.Put(FSecondsMark);
        // An exponent may not follow the mark directly.
        if (fracLen == 0 && FHasExp)
            out.Put('0');
        else
            out.Put(f, fracLen);
    } else if (fracLen > 0) {
        out.Put('.');
        out.Put(f, fracLen);
    }
}

void TLiteralReader::WriteCanonical(std::string& text) const {
    text.clear();
    TCanonBuf out{text};
    if (FNeg) out.Put('-');
    if (FBase == 16)
        out.Put('$');
    else if (FTwos)
        out.Put("&c", 2);
    else if (FBase == 2)
        out.Put('&');
    static constexpr TPartIndex kOrder[] = {pxDay, pxHour, pxMinute, pxKei, pxCho, pxOku, pxMan};
    const bool anyGroup = FGroups != 0;
    for (const TPartIndex g : kOrder) {
        if (!anyGroup) break;
        if (!Have(g)) continue;
        const TPart& p = FParts[g];
        WriteDigits(out, p, false);
        out.Put(p.Mark);
    }
    const TPart& rest = FParts[pxRest];
    if (FSeconds || rest.Any)
        WriteDigits(out, rest, FSeconds);
    else if (!anyGroup)
        out.Put('0');
    if (FHasExp) {
        out.Put(FBase == 16 ? 'P' : 'E');
        if (FExp.Neg && FExp.V != 0) out.Put('-');
        if (FExp.Base == 16)
            out.Put('$');
        else if (FExp.Twos)
            out.Put("&c", 2);
        else if (FExp.Base == 2)
            out.Put('&');
        WriteInteger(out, FExp.V, FExp.Base, FExp.Twos);
    }
    switch (FMult) {
    case TMultiplier::muNone: break;
    case TMultiplier::muPrefix: out.Put(FPrefixChar); break;
    case TMultiplier::muPercent: out.Put('%'); break;
    case TMultiplier::muDb: out.Put("dB", 2); break;
    }
    if (FImag) out.Put(FSet.ImagChar);
}

}  // namespace

TCplx ReadLiteral(std::string& text, std::size_t* consumed) {
    TLiteralReader reader(text, NumberSettings);
    reader.Scan();
    if (consumed != nullptr) *consumed = reader.End();
    TCplx value;
    if (!reader.Value(value)) {
        text.resize(reader.End());
        SetCalcErr(TCalcErr::ceInputRange);
        value = TCplx();
        return value;
    }
    reader.WriteCanonical(text);
    SetCalcErr(TCalcErr::ceNone);
    return value;
}

TCplx ReadLiteralValue(std::string_view text) {
    TLiteralReader reader(text, NumberSettings);
    reader.Scan();
    TCplx value;
    if (!reader.Value(value)) {
        SetCalcErr(TCalcErr::ceInputRange);
        return TCplx();
    }
    SetCalcErr(TCalcErr::ceNone);
    return value;
}

bool ReadInteger(std::string_view text, TIntBase base, std::int64_t& value) noexcept {
    const unsigned b = base == TIntBase::ibDec ? 10 : base == TIntBase::ibHex ? 16 : 2;
    const bool twos = base == TIntBase::ibTwos;
    bool neg = false, signSeen = false, prefixSeen = false, any = false;
    // Two's complement gathers its signed value; the other bases gather the magnitude, so
    // that the most negative 64-bit integer can be written with a sign.
    std::int64_t v = 0;
    std::uint64_t magnitude = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (IsSeparator(c)) {
            ++i;
            continue;
        }
        if (!any && !prefixSeen) {
            if ((c == '-' || c == '+') && !signSeen) {
                signSeen = true;
                neg = c == '-';
                ++i;
                continue;
            }
            if (c == '$' && base == TIntBase::ibHex) {
                prefixSeen = true;
                ++i;
                continue;
            }
            if (c == '&' && base == TIntBase::ibBin) {
                prefixSeen = true;
                ++i;
                continue;
            }
            if (c == '&' && twos) {
                if (i + 1 >= text.size() || (text[i + 1] != 'C' && text[i + 1] != 'c'))
                    return false;
                prefixSeen = true;
                i += 2;
                continue;
            }
        }
        const int d = DigitValue(c, b);
        if (d < 0) return false;
        if (twos) {
            if (!PushIntDigit(v, b, !any, static_cast<unsigned>(d))) return false;
        } else if (__builtin_mul_overflow(magnitude, std::uint64_t{b}, &magnitude) ||
                   __builtin_add_overflow(magnitude, static_cast<std::uint64_t>(d), &magnitude)) {
            return false;
        }
        any = true;
        ++i;
    }
    if (!any) return false;
    if (twos) {
        if (neg && v == INT64_MIN) return false;
        value = neg ? -v : v;
        return true;
    }
    constexpr std::uint64_t kMax = static_cast<std::uint64_t>(INT64_MAX);
    if (magnitude > kMax + (neg ? 1U : 0U)) return false;
    value = neg ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

}  // namespace rekna
