// The decimal answer forms: engineering, exponent, fixed, percent, decibel and general.
#include <cmath>

#include "numbers/format_detail.h"

namespace rekna::format_detail {

namespace {

// SI prefixes for the engineering exponents -21, -18, ..., 15; 0 is a space.
constexpr const char* kEngPrefixes[] = {"z", "a", "f", "p", "n", "u", "m",
                                        " ", "k", "M", "G", "T", "P"};
constexpr int kEngLowest = -21;
constexpr int kEngHighest = 15;

// log10 of the dBm reference voltage sqrt(0.05).
constexpr long double kLog10DbmRef = -0.650514997831990597606869447362245L;

void AddDigitRange(TTextBuf& out, const TDigits& d, int from, int to) {
    for (int i = from; i < to; ++i)
        out.Add(d.At(i));
}

// The digits with intDigits of them before the point; with none, "0." and -intDigits zeros
// come first. Integer positions past the digits are filled with zeros.
void AddPlaced(TTextBuf& out, const TDigits& d, int intDigits) {
    if (intDigits <= 0) {
        out.Add("0.");
        out.AddRepeat('0', -intDigits);
        AddDigitRange(out, d, 0, d.Count);
        return;
    }
    AddDigitRange(out, d, 0, intDigits);
    if (d.Count > intDigits) {
        out.Add('.');
        AddDigitRange(out, d, intDigits, d.Count);
    }
}

// d.ddd "E" exponent; plusSign writes "+" for exponents of zero and above.
void AddMantissaExp(TTextBuf& out, const TDigits& d, bool plusSign) {
    out.Add(d.At(0));
    if (d.Count > 1) {
        out.Add('.');
        AddDigitRange(out, d, 1, d.Count);
    }
    out.Add('E');
    if (d.Exp < 0)
        out.Add('-');
    else if (plusSign)
        out.Add('+');
    AddInt(out, d.Exp < 0 ? -static_cast<long long>(d.Exp) : d.Exp);
}

void AddEngSuffix(TTextBuf& out, int k) {
    if (k >= kEngLowest && k <= kEngHighest) {
        out.Add(kEngPrefixes[(k - kEngLowest) / 3]);
        return;
    }
    out.Add('E');
    AddInt(out, k);
}

// The integer part of fixed digits, then n decimals; with hide0 trailing zeros and a bare
// point are dropped.
void AddFixedPoint(TTextBuf& out, const TDigits& d, int n, bool hide0) {
    if (d.IsZero() || d.Exp < 0)
        out.Add('0');
    else
        AddDigitRange(out, d, 0, d.Exp + 1);
    AddDecimals(out, d, n, hide0);
}

}  // namespace

void AddDecimals(TTextBuf& out, const TDigits& d, int n, bool hide0) {
    if (n <= 0) return;
    const std::size_t point = out.Size();
    out.Add('.');
    for (int k = 1; k <= n; ++k)
        out.Add(d.IsZero() ? '0' : d.At(d.Exp + k));
    if (!hide0) return;
    std::size_t len = out.Size();
    while (len > point + 1 && out[len - 1] == '0')
        --len;
    if (len == point + 1) len = point;
    out.Truncate(len);
}

namespace {

// Significant-digit engineering form: mantissa in [1, 1000), or [0.1, 100) below one with
// AnsEng0, and the SI prefix of the exponent.
void AddEng(TTextBuf& out, const TDigits& d) {
    const TNumberSettings& st = NumberSettings;
    const int e = d.Exp;
    int k;
    if (e >= 0) {
        k = e / 3 * 3;
    } else if (st.AnsEng0) {
        if (e >= -1)
            k = 0;
        else if (e >= -22)
            k = -3 * ((-e - 2) / 3 + 1);
        else
            k = (e - 1) / 3 * 3;
    } else if (st.AnsEng1 && e == -1) {
        AddPlaced(out, d, 0);  // 0.1 <= |x| < 1 without a prefix
        return;
    } else if (e >= -21) {
        k = -3 * ((-e - 1) / 3 + 1);
    } else {
        k = (e - 2) / 3 * 3;
    }
    AddPlaced(out, d, e - k + 1);
    AddEngSuffix(out, k);
}

// Fixed digits while the exponent lies in [lo, hi), otherwise d.ddd "E" exponent.
void AddRanged(TTextBuf& out, const TDigits& d, int lo, int hi) {
    const int e = d.Exp;
    if ((e >= 0 && e < hi) || (e < 0 && e >= lo))
        AddPlaced(out, d, e + 1);
    else
        AddMantissaExp(out, d, false);
}

int GroupSize(TAnsFormat format) {
    switch (format) {
    case TAnsFormat::afExp: return NumberSettings.AnsColExp;
    case TAnsFormat::afFix:
    case TAnsFormat::afPar:
    case TAnsFormat::afdB: return NumberSettings.AnsColFix;
    default: return 0;
    }
}

void WriteSignificant(TTextBuf& out, bool neg, long double ax, TAnsFormat format, int length,
                      bool hide0) {
    const TNumberSettings& st = NumberSettings;
    TDigits d = SigDigits(ax, length);
    if (hide0)
        d.StripZeros();
    else
        d.PadTo(length);
    const std::size_t start = out.Size();
    out.Add(neg ? '-' : ' ');
    if (format == TAnsFormat::afEng)
        AddEng(out, d);
    else if (format == TAnsFormat::afExp)
        AddRanged(out, d, st.AnsExpMin, st.AnsExpMax);
    else
        AddRanged(out, d, st.AnsFixMin, st.AnsFixMax);
    GroupDigits(out, start, GroupSize(format), TGroupKind::gkDecimal);
}

// Fixed notation with n decimals, or the general form when more integer digits than
// AnsFixMax would be needed.
void WriteFixedDecimals(TTextBuf& out, bool neg, long double ax, int n, bool hide0, int group) {
    const std::size_t start = out.Size();
    const TDigits d = FixedDigits(ax, n);
    if (!d.IsZero() && d.Exp + 1 > NumberSettings.AnsFixMax) {
        out.Add(neg ? '-' : ' ');
        WriteGeneral(out, ax, 18);
    } else {
        out.Add(neg && !d.IsZero() ? '-' : ' ');
        AddFixedPoint(out, d, n, hide0);
    }
    GroupDigits(out, start, group, TGroupKind::gkDecimal);
}

// Engineering with n decimals: the largest prefix whose unit the value reaches once rounded
// to n decimals of that unit.
void WriteEngDecimals(TTextBuf& out, bool neg, long double ax, int n, bool hide0) {
    const bool eng0 = NumberSettings.AnsEng0;
    const auto threshold = [eng0](int k) { return eng0 && k <= 0 ? k - 1 : k; };
    const int ef = ax > 0 ? DecimalExponent(ax) : 0;
    if (ax > 0 && ef < 18) {
        int k = kEngHighest;
        while (k > kEngLowest && threshold(k) > ef)
            k -= 3;
        for (;;) {
            TDigits r = FixedDigits(ax, n - k);
            if (r.IsZero() || r.Exp < threshold(k)) break;
            if (k < kEngHighest && r.Exp >= threshold(k + 3)) {
                k += 3;
                continue;
            }
            if (k == kEngHighest && r.Exp >= 18) break;
            out.Add(neg ? '-' : ' ');
            r.Exp -= k;
            AddFixedPoint(out, r, n, hide0);
            AddEngSuffix(out, k);
            return;
        }
    }
    WriteFixedDecimals(out, neg, ax, n, hide0, 0);
}

void WriteDecimals(TTextBuf& out, bool neg, long double ax, TAnsFormat format, int n, bool hide0) {
    if (format == TAnsFormat::afEng) {
        WriteEngDecimals(out, neg, ax, n, hide0);
        return;
    }
    if (format == TAnsFormat::afExp) {
        TDigits d = SigDigits(ax, n + 1);
        if (hide0)
            d.StripZeros();
        else
            d.PadTo(n + 1);
        const std::size_t start = out.Size();
        out.Add(neg ? '-' : ' ');
        AddMantissaExp(out, d, true);
        GroupDigits(out, start, GroupSize(format), TGroupKind::gkDecimal);
        return;
    }
    WriteFixedDecimals(out, neg, ax, n, hide0, GroupSize(format));
}

long double DecibelOf(long double ax) {
    const long double lg = std::log10(ax);
    switch (NumberSettings.DbUnit) {
    case TdBUnit::dudB10: return 10 * lg;
    case TdBUnit::dudBm: return 20 * (lg - kLog10DbmRef);
    case TdBUnit::dudBu: return 20 * (lg + 6);
    case TdBUnit::dudB20:
    default: return 20 * lg;
    }
}

}  // namespace

void WriteDecimal(TTextBuf& out, long double x, TAnsFormat format, int length, bool hide0) {
    if (WriteNonFinite(out, x)) return;
    const char* suffix = "";
    if (format == TAnsFormat::afPar) {
        x *= 100;
        suffix = "%";
    } else if (format == TAnsFormat::afdB && x != 0) {
        x = DecibelOf(std::fabs(x));
        suffix = "dB";
    }
    if (WriteNonFinite(out, x)) return;
    const bool neg = x < 0;
    const long double ax = std::fabs(x);
    if (length > 0)
        WriteSignificant(out, neg, ax, format, length, hide0);
    else
        WriteDecimals(out, neg, ax, format, -length, hide0);
    out.Add(suffix);
}

void WriteGeneral(TTextBuf& out, long double x, int digits) {
    if (WriteNonFinite(out, x)) return;
    if (x == 0) {
        out.Add('0');
        return;
    }
    if (x < 0) out.Add('-');
    TDigits d = SigDigits(std::fabs(x), digits);
    d.StripZeros();
    if (d.Exp >= -5 && d.Exp < digits)
        AddPlaced(out, d, d.Exp + 1);
    else
        AddMantissaExp(out, d, false);
}

}  // namespace rekna::format_detail
