// Number formatting and reading of grid cells, and the per-type character rules.
#include "grid/vt_values.h"

#include "platform/cp932.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace rekna {
namespace {

using enum TVtEditDataType;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The significant digits of a value and the decimal exponent of the first one; zero has none.
struct TDigits {
    std::string D;
    int E = 0;
};

// |value| rounded to `digits` significant digits (1..17), trailing zeros dropped when asked.
TDigits Digits(double value, int digits, bool hideZero) {
    TDigits out;
    value = std::fabs(value);
    if (value == 0.0) return out;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
    const char* p = buffer;
    for (; *p != '\0' && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') out.D.push_back(*p);
    }
    if (*p == 'e') std::from_chars(p + (p[1] == '+' ? 2 : 1), buffer + std::strlen(buffer), out.E);
    if (hideZero) {
        while (!out.D.empty() && out.D.back() == '0')
            out.D.pop_back();
    }
    return out;
}

int ClampDigits(int precision) {
    if (precision < 0) precision = -precision;
    if (precision == 0) precision = 1;
    return precision > 17 ? 17 : precision;
}

// Digits placed around a decimal point with no exponent.
std::string Plain(const TDigits& d) {
    if (d.D.empty()) return "0";
    std::string out;
    if (d.E < 0) {
        out.assign("0.");
        out.append(static_cast<std::size_t>(-d.E - 1), '0');
        out.append(d.D);
        return out;
    }
    const std::size_t whole = static_cast<std::size_t>(d.E) + 1;
    out.assign(d.D, 0, std::min(whole, d.D.size()));
    if (d.D.size() > whole) {
        out.push_back('.');
        out.append(d.D, whole, std::string::npos);
    } else {
        out.append(whole - d.D.size(), '0');
    }
    return out;
}

// The first digit, the others after a point, then "E" and the exponent.
std::string Scientific(const TDigits& d) {
    std::string out(1, d.D.empty() ? '0' : d.D[0]);
    if (d.D.size() > 1) {
        out.push_back('.');
        out.append(d.D, 1, std::string::npos);
    }
    out.push_back('E');
    out.append(std::to_string(d.E));
    return out;
}

struct TEngSuffix {
    int MinExponent;
    const char* Text;
};
constexpr TEngSuffix kEngSuffixes[] = {{15, "P"},  {12, "T"},  {9, "G"},  {6, "M"},  {3, "k"},
                                       {0, " "},   {-3, "m"},  {-6, "u"}, {-9, "n"}, {-12, "p"},
                                       {-15, "f"}, {-18, "a"}, {-21, "z"}};

std::string Engineering(const TDigits& d) {
    const int g = (d.E + 5001) % 3;
    const std::size_t whole = static_cast<std::size_t>(g) + 1;
    const std::string digits = d.D.empty() ? std::string("0") : d.D;
    std::string out(digits, 0, std::min(whole, digits.size()));
    if (digits.size() > whole) {
        out.push_back('.');
        out.append(digits, whole, std::string::npos);
    } else {
        out.append(whole - digits.size(), '0');
    }
    if (d.E >= 18) return out.append("E").append(std::to_string((d.E / 3) * 3));
    for (const TEngSuffix& s : kEngSuffixes) {
        if (d.E >= s.MinExponent) return out.append(s.Text);
    }
    return out.append("E").append(std::to_string(((d.E - 2) / 3) * 3));
}

std::string Printf(const char* format, int digits, double value) {
    const int size = std::snprintf(nullptr, 0, format, digits, value);
    if (size <= 0) return {};
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, digits, value);
    out.resize(static_cast<std::size_t>(size));
    return out;
}

std::string TimeOfDay(double days) {
    if (std::fabs(days) > 1e12) return {};
    const double fraction = std::fabs(days - std::trunc(days));
    long long ms = std::llround(fraction * 86400000.0);
    if (ms >= 86400000) ms = 0;
    const long long seconds = ms / 1000;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return buffer;
}

std::string General(double value) {
    const TDigits d = Digits(value, 15, true);
    std::string out = value < 0 ? "-" : "";
    return out.append((d.E >= -5 && d.E < 15) ? Plain(d) : Scientific(d));
}

bool IsPositiveOnly(TVtEditDataType type) {
    return type == dtPosInteger || type == dtPosFrac || type == dtPosReal || type == dtPosEng;
}

// The whole text as a decimal number; NaN when any of it is left over or out of range.
double ReadNumber(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return kNaN;
    return value;
}

// A multiplier written after a number: the factor, or the divisor for the small ones so that
// "20%" reads exactly as 0.2.
struct TSuffix {
    char Letter;
    double Factor;
    bool Divide;
};
constexpr TSuffix kSuffixes[] = {
    {'%', 100, true},   {'c', 100, true},  {'C', 100, true},   {'a', 1e18, true},
    {'A', 1e18, true},  {'f', 1e15, true}, {'F', 1e15, true},  {'p', 1e12, true},
    {'n', 1e9, true},   {'N', 1e9, true},  {'u', 1e6, true},   {'U', 1e6, true},
    {'m', 1e3, true},   {'k', 1e3, false}, {'K', 1e3, false},  {'M', 1e6, false},
    {'g', 1e9, false},  {'G', 1e9, false}, {'t', 1e12, false}, {'T', 1e12, false},
    {'P', 1e15, false}, {'z', 1e21, true}, {'Z', 1e21, true}};

const TSuffix* FindSuffix(char c) {
    for (const TSuffix& s : kSuffixes) {
        if (s.Letter == c) return &s;
    }
    return nullptr;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsOneOf(char c, std::string_view set) {
    return set.find(c) != std::string_view::npos;
}

}  // namespace

std::string FormatValue(double value, TVtEditDataType type, int precision,
                        const TVtFormatOptions& options) {
    if (!std::isfinite(value)) return {};
    if (IsPositiveOnly(type)) value = std::fabs(value);
    const std::string sign = value < 0 ? "-" : "";
    switch (type) {
    case dtPosInteger:
    case dtInteger: {
        const std::string out = Printf("%.*f", 0, std::round(value));
        return out == "-0" ? "0" : out;
    }
    case dtPosFrac:
    case dtFrac:
        if (precision < 0) return Printf("%.*f", precision < -100 ? 100 : -precision, value);
        return std::string(sign).append(
            Plain(Digits(value, ClampDigits(precision), options.HideZero)));
    case dtPosReal:
    case dtReal: {
        const TDigits d = Digits(value, ClampDigits(precision), options.HideZero);
        const bool plain = d.E >= options.ExpMin && d.E <= options.ExpMax;
        return std::string(sign).append(plain ? Plain(d) : Scientific(d));
    }
    case dtPosEng:
    case dtEng:
        return std::string(sign).append(
            Engineering(Digits(value, ClampDigits(precision), options.HideZero)));
    case dtTime: return TimeOfDay(value);
    case dtHex: {
        const double rounded = std::round(std::fabs(value));
        if (rounded >= 18446744073709551616.0) return {};
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(rounded));
        return buffer;
    }
    case dtString:
    case dtCalc:
    case dtColor: return General(value);
    }
    return {};
}

double ParseEngineering(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsLeadByte(c) && i + 1 < text.size()) {
            i += 2;
            continue;
        }
        if (c == '-' || c == '.' || IsDigit(c)) break;
        ++i;
    }
    if (i >= text.size()) return kNaN;

    const TSuffix* suffix = nullptr;
    bool suffixAllowed = true;
    bool mantissaPart = true;
    bool pointAllowed = true;
    std::string collected;
    std::string mantissa;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsLeadByte(c)) break;
        if (const TSuffix* s = FindSuffix(c)) {
            if (!suffixAllowed || !mantissaPart) break;
            suffix = s;
            suffixAllowed = false;
        } else if (c == '+') {
            if (!collected.empty()) break;
        } else if (c == '-') {
            if (!collected.empty()) break;
            collected.push_back(c);
        } else if (c == '.') {
            if (!mantissaPart) break;
            if (pointAllowed) collected.push_back(c);
            pointAllowed = false;
        } else if (c == ' ' || c == ',') {
            continue;
        } else if (IsDigit(c)) {
            if (suffix != nullptr) break;
            collected.push_back(c);
        } else if (c == 'e' || c == 'E') {
            if (!suffixAllowed || !mantissaPart) break;
            mantissa = std::move(collected);
            collected.clear();
            mantissaPart = false;
        } else {
            break;
        }
    }
    if (!mantissaPart) return ReadNumber(mantissa + "E" + collected);
    const double number = ReadNumber(collected);
    if (suffix == nullptr) return number;
    return suffix->Divide ? number / suffix->Factor : number * suffix->Factor;
}

double ReadCellValue(std::string_view text, bool nanEnable) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    const double empty = nanEnable ? kNaN : 0.0;
    if (text.empty()) return empty;
    std::string_view plain = text;
    if (plain.size() > 1 && plain[0] == '+' && (IsDigit(plain[1]) || plain[1] == '.')) {
        plain.remove_prefix(1);
    }
    bool letters = false;
    for (const char c : plain) {
        if (c != 'e' && c != 'E' && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            letters = true;
        }
    }
    double value = letters ? kNaN : ReadNumber(plain);
    if (std::isnan(value)) value = ParseEngineering(text);
    return std::isnan(value) ? empty : value;
}

bool IsAllowedChar(TVtEditDataType type, char c) noexcept {
    if (IsDigit(c) && !IsTextType(type) && type != dtColor) return true;
    switch (type) {
    case dtPosInteger: return false;
    case dtInteger: return c == '-';
    case dtPosFrac: return c == '.';
    case dtFrac: return c == '-' || c == '.';
    case dtPosReal:
    case dtReal: return IsOneOf(c, "-.Ee");
    case dtPosEng: return IsOneOf(c, ".AFGKMNPTUZafgkmnptuz");
    case dtEng: return IsOneOf(c, ".AFGKMNPTUZafgkmnptuz-Ee");
    case dtTime: return IsOneOf(c, "-.:HMShms");
    case dtHex: return IsOneOf(c, "ABCDEFabcdef");
    case dtString:
    case dtCalc:
    case dtColor: return static_cast<unsigned char>(c) >= 0x20 || c == '\b';
    }
    return false;
}

char TypedChar(TVtEditDataType type, char c) noexcept {
    const bool upper = type == dtPosReal || type == dtReal || type == dtHex;
    return (upper && c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string FilterText(TVtEditDataType type, std::string_view text) {
    if (IsTextType(type)) return std::string(text);
    if (type == dtColor) return ColorToString(StringToColor(text).value_or(clNone));
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        if (CharLength(text, i) != 1) continue;
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x20 && IsAllowedChar(type, c)) {
            out.push_back(TypedChar(type, c));
        }
    }
    return out;
}

}  // namespace rekna
