// Conversions between the script's value types.
#include "script/values/convert.h"
#include "script/values/text_scan.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "script/runtime/raise.h"
#include "script/runtime/script_object.h"

namespace rekna {

namespace {

// "&H..." and "&O...": the bits as a Long (a four-digit hexadecimal number as an Integer).
bool ParseRadix(std::string_view t, double& out) {
    if (t.size() < 3 || t[0] != '&') return false;
    const char kind = static_cast<char>(t[1] | 0x20);
    const int radix = kind == 'h' ? 16 : kind == 'o' ? 8 : 0;
    if (radix == 0) return false;
    std::uint64_t value = 0;
    for (std::size_t i = 2; i < t.size(); ++i) {
        const char c = static_cast<char>(t[i] | 0x20);
        int d = -1;
        if (IsScanDigit(t[i]))
            d = t[i] - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        if (d < 0 || d >= radix) return false;
        value = value * radix + d;
        if (value > 0xFFFFFFFFull) return false;
    }
    out = static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    return true;
}

std::string Trimmed0(std::string s) {
    if (s == "-0") return "0";
    return s;
}

std::string FormatG(double d, int digits) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, d);
    return Trimmed0(buf);
}

}  // namespace

bool ParseNumberText(std::string_view text, double& out) {
    std::string_view t = ScanTrimmed(text);
    if (t.empty()) return false;
    if (t[0] == '&') return ParseRadix(t, out);
    std::string clean;
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-') clean += t[i++];
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (IsScanDigit(c)) {
            clean += c;
            digits = true;
        } else if (c == ',' && !point && digits) {
            continue;
        } else if (c == '.' && !point) {
            clean += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
        clean += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) clean += t[i++];
        if (i >= t.size() || !IsScanDigit(t[i])) return false;
        while (i < t.size() && IsScanDigit(t[i]))
            clean += t[i++];
    }
    if (i != t.size()) return false;
    out = std::strtod(clean.c_str(), nullptr);
    return std::isfinite(out);
}

std::string DoubleText(double d) {
    return FormatG(d, 15);
}
std::string SingleText(float f) {
    return FormatG(f, 7);
}

namespace {

template <class T> std::string Shortest(T x) {
    if (!std::isfinite(x)) return FormatG(static_cast<double>(x), 17);
    if (x == 0) return "0";
    char buf[400];
    // Plain digits where the language writes them so (from 1E-04 up to 1E+15), the exponent
    // form beyond.
    const T a = x < 0 ? -x : x;
    const bool plain = a >= static_cast<T>(1e-4) && a < static_cast<T>(1e15);
    const auto r = plain ? std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed)
                         : std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
    std::string out(buf, r.ptr);
    for (char& c : out) {
        if (c == 'e') c = 'E';  // "1E+20", as the language writes exponents
    }
    return out;
}

}  // namespace

std::string ShortestText(double d) {
    return Shortest(d);
}
std::string ShortestText(float f) {
    return Shortest(f);
}

std::string CurrencyText(std::int64_t scaled) {
    const bool negative = scaled < 0;
    const std::uint64_t m =
        negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    std::string out = std::to_string(m / 10000);
    std::uint64_t frac = m % 10000;
    if (frac != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04llu", static_cast<unsigned long long>(frac));
        std::string f = digits;
        while (f.back() == '0')
            f.pop_back();
        out += '.' + f;
    }
    return negative ? "-" + out : out;
}

std::int64_t ToCurrencyScaled(double d) {
    const double scaled = BankersRound(d * 10000.0);
    if (!(scaled >= -9.223372036854775e18 && scaled <= 9.223372036854775e18)) Raise(seOverflow);
    return static_cast<std::int64_t>(scaled);
}

double BankersRound(double d) noexcept {
    const double fl = std::floor(d);
    const double diff = d - fl;
    if (diff > 0.5) return fl + 1;
    if (diff < 0.5) return fl;
    return std::fmod(fl, 2.0) == 0 ? fl : fl + 1;
}

std::string ToText(const TVariant& v) {
    switch (v.Type()) {
    case TVarType::vtEmpty: return {};
    case TVarType::vtNull: Raise(seInvalidNull);
    case TVarType::vtBoolean: return v.BoolValue() ? "True" : "False";
    case TVarType::vtInteger:
    case TVarType::vtLong:
    case TVarType::vtByte: return std::to_string(v.WholeValue());
    case TVarType::vtSingle: return SingleText(static_cast<float>(v.RealValue()));
    case TVarType::vtDouble: return DoubleText(v.RealValue());
    case TVarType::vtCurrency: return CurrencyText(v.CurrencyValue());
    case TVarType::vtDate: return DateText(v.RealValue());
    case TVarType::vtString: return v.Str();
    case TVarType::vtRef: return ToText(*v.RefTarget());
    default: Raise(seTypeMismatch);
    }
}

std::string ConcatText(const TVariant& v) {
    if (v.IsNull()) return {};
    return ToText(v);
}

double ToDouble(const TVariant& v) {
    if (v.IsNumberLike()) return v.AsDouble();
    if (v.IsString()) {
        double d = 0;
        if (ParseNumberText(v.Str(), d)) return d;
        Raise(seTypeMismatch);
    }
    if (v.IsNull()) Raise(seInvalidNull);
    Raise(seTypeMismatch);
}

TVariant ToNumeric(const TVariant& v) {
    if (v.IsEmpty()) return TVariant::Integer(0);
    if (v.IsNumberLike()) return v;
    return TVariant::Double(ToDouble(v));
}

std::int32_t ToLong(const TVariant& v) {
    if (v.IsWhole() || v.Type() == TVarType::vtBoolean) return v.WholeValue();
    const double r = BankersRound(ToDouble(v));
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) Raise(seOverflow);
    return static_cast<std::int32_t>(r);
}

std::int16_t ToInteger(const TVariant& v) {
    const std::int32_t l = ToLong(v);
    if (l < -32768 || l > 32767) Raise(seOverflow);
    return static_cast<std::int16_t>(l);
}

bool ToBool(const TVariant& v) {
    if (v.IsString()) {
        const std::string_view t = ScanTrimmed(v.Str());
        auto same = [](std::string_view a, std::string_view b) {
            if (a.size() != b.size()) return false;
            for (std::size_t i = 0; i < a.size(); ++i) {
                if ((a[i] | 0x20) != (b[i] | 0x20)) return false;
            }
            return true;
        };
        if (same(t, "true")) return true;
        if (same(t, "false")) return false;
    }
    return ToDouble(v) != 0;
}

TVariant WholeOrDouble(double d) {
    if (d == std::floor(d)) {
        if (d >= -32768 && d <= 32767) return TVariant::Integer(static_cast<std::int16_t>(d));
        if (d >= -2147483648.0 && d <= 2147483647.0) {
            return TVariant::Long(static_cast<std::int32_t>(d));
        }
    }
    return TVariant::Double(d);
}

}  // namespace rekna
