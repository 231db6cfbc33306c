// Conversions between the script's value types.
#include "script/values/convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "script/runtime/raise.h"
#include "script/runtime/script_object.h"

namespace rekna {

namespace {

bool IsSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view t) noexcept {
    while (!t.empty() && IsSpace(t.front()))
        t.remove_prefix(1);
    while (!t.empty() && IsSpace(t.back()))
        t.remove_suffix(1);
    return t;
}

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
        if (IsDigit(t[i]))
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

std::string Two(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, long long m, long long d) noexcept {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr long long kEpochOffset = 25569;    // 1970-01-01 is day 25569 of the script's dates
constexpr double kFirstDate = -657434;       // 0100-01-01
constexpr double kLastDate = 2958465.99999;  // 9999-12-31 23:59:59

}  // namespace

bool ParseNumberText(std::string_view text, double& out) {
    std::string_view t = Trimmed(text);
    if (t.empty()) return false;
    if (t[0] == '&') return ParseRadix(t, out);
    std::string clean;
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-') clean += t[i++];
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (IsDigit(c)) {
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
        if (i >= t.size() || !IsDigit(t[i])) return false;
        while (i < t.size() && IsDigit(t[i]))
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
    case TVarType::vtDate: return DateText(v.RealValue());
    case TVarType::vtString: return v.Str();
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
        const std::string_view t = Trimmed(v.Str());
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

double DateSerial(int year, int month, int day) noexcept {
    long long y = year, m = month - 1;
    y += m >= 0 ? m / 12 : (m - 11) / 12;
    m = ((m % 12) + 12) % 12;
    return static_cast<double>(DaysFromCivil(y, m + 1, 1) + kEpochOffset + day - 1);
}

double TimeSerial(int hour, int minute, int second) noexcept {
    return (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

TDateParts SplitDate(double date) noexcept {
    TDateParts p{};
    if (!std::isfinite(date) || std::fabs(date) > 3e6) date = 0;
    long long days = static_cast<long long>(std::floor(date));
    double frac = date - static_cast<double>(days);
    if (date < 0 && frac != 0) {  // negative dates count the time forward from the day's start
        days = static_cast<long long>(std::ceil(date));
        frac = static_cast<double>(days) - date;
    }
    long long secs = static_cast<long long>(std::llround(frac * 86400.0));
    if (secs >= 86400) {
        secs -= 86400;
        ++days;
    }
    p.Hour = static_cast<int>(secs / 3600);
    p.Minute = static_cast<int>(secs / 60 % 60);
    p.Second = static_cast<int>(secs % 60);
    const long long z = days - kEpochOffset + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    p.Year = static_cast<int>(yoe + era * 400 + (m <= 2));
    p.Month = static_cast<int>(m);
    p.Day = static_cast<int>(d);
    p.Weekday = static_cast<int>(((days - 1) % 7 + 7) % 7) + 1;  // day 1 (1899-12-31) is a Sunday
    return p;
}

std::string DateText(double date) {
    if (!(date >= kFirstDate && date <= kLastDate)) return DoubleText(date);
    const TDateParts p = SplitDate(date);
    const std::string day = std::to_string(p.Year) + "/" + Two(p.Month) + "/" + Two(p.Day);
    const std::string time = std::to_string(p.Hour) + ":" + Two(p.Minute) + ":" + Two(p.Second);
    const bool noTime = p.Hour == 0 && p.Minute == 0 && p.Second == 0;
    if (date >= 0 && date < 1) return time;
    return noTime ? day : day + " " + time;
}

bool ParseDateText(std::string_view text, double& out) {
    std::string_view t = Trimmed(text);
    int nums[3] = {0, 0, 0};
    auto readGroup = [&](char sep1, char sep2, int& count) {
        count = 0;
        while (count < 3) {
            if (t.empty() || !IsDigit(t.front())) return false;
            long long v = 0;
            while (!t.empty() && IsDigit(t.front())) {
                v = v * 10 + (t.front() - '0');
                if (v > 100000) return false;
                t.remove_prefix(1);
            }
            nums[count++] = static_cast<int>(v);
            if (t.empty() || (t.front() != sep1 && t.front() != sep2)) break;
            t.remove_prefix(1);
        }
        return true;
    };
    double result = 0;
    bool any = false;
    const std::size_t colon = t.find(':');
    const std::size_t slash = t.find_first_of("/-");
    if (slash != std::string_view::npos && (colon == std::string_view::npos || slash < colon)) {
        int count = 0;
        if (!readGroup('/', '-', count) || count != 3) return false;
        if (nums[1] < 1 || nums[1] > 12 || nums[2] < 1 || nums[2] > 31) return false;
        result = DateSerial(nums[0], nums[1], nums[2]);
        any = true;
        while (!t.empty() && IsSpace(t.front()))
            t.remove_prefix(1);
    }
    if (!t.empty()) {
        int count = 0;
        nums[2] = 0;
        if (!readGroup(':', ':', count) || count < 2 || !t.empty()) return false;
        if (nums[0] > 23 || nums[1] > 59 || nums[2] > 59) return false;
        result += TimeSerial(nums[0], nums[1], nums[2]);
        any = true;
    }
    out = result;
    return any;
}

double ToDate(const TVariant& v) {
    double d = 0;
    if (!v.IsString() || !ParseDateText(v.Str(), d)) d = ToDouble(v);
    if (!(d >= kFirstDate && d <= kLastDate)) Raise(seInvalidCall);
    return d;
}

}  // namespace rekna
