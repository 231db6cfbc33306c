// Built-in formatting under the Japanese locale: FormatNumber, FormatCurrency ("¥1,235"),
// FormatPercent and FormatDateTime.
#include <cmath>
#include <cstdio>

#include "platform/cp932.h"
#include "script/builtins/builtins.h"
#include "script/runtime/raise.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

using TArgs = std::vector<TVariant>;

// A tri-state argument: -1 true, 0 false, -2 (or left out) the default.
bool TriState(const TArgs& a, std::size_t i, bool fallback) {
    if (!HasArg(a, i) || a[i].IsEmpty()) return fallback;
    const std::int32_t v = ToLong(a[i]);
    if (v == -2) return fallback;
    return v != 0;
}

// The digits after the point: left out or -1 is the locale's choice.
int Places(const TArgs& a, std::size_t i, int fallback) {
    std::int32_t places = HasArg(a, i) && !a[i].IsEmpty() ? ToLong(a[i]) : -1;
    if (places == -1) places = fallback;
    if (places < 0 || places > 20) Raise(seInvalidCall);
    return places;
}

struct TNumberStyle {
    int Places = 2;
    bool Leading = true;
    bool Parens = false;
    bool Group = true;
    std::string Prefix;  // the currency sign
    std::string Suffix;  // "%"
};

TNumberStyle StyleOf(const TArgs& a, int places) {
    TNumberStyle s;
    s.Places = Places(a, 1, places);
    s.Leading = TriState(a, 2, true);
    s.Parens = TriState(a, 3, false);
    s.Group = TriState(a, 4, true);
    return s;
}

std::string Formatted(double x, const TNumberStyle& style) {
    // Halves round away from zero here, as the locale's number format does.
    const double scale = std::pow(10.0, style.Places);
    const double scaled = std::fabs(x) * scale;
    const double rounded = scaled < 4503599627370496.0 ? std::round(scaled) / scale : std::fabs(x);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", style.Places, rounded);
    const std::string digits = buf;
    const std::size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    const std::string frac = point == std::string::npos ? std::string() : digits.substr(point);
    if (style.Group) {
        std::string grouped;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
            grouped += whole[i];
        }
        whole = std::move(grouped);
    }
    if (whole == "0" && !style.Leading && !frac.empty()) whole.clear();
    std::string out = style.Prefix + whole + frac + style.Suffix;
    bool zero = true;
    for (const char c : whole + frac) {
        if (c >= '1' && c <= '9') zero = false;
    }
    if (x < 0 && !zero) out = style.Parens ? "(" + out + ")" : "-" + out;
    return out;
}

TVariant FormatNumber(TRuntime&, TArgs& a) {
    const double x = ToDouble(NotNull(a[0]));
    return TVariant::String(Formatted(x, StyleOf(a, 2)));
}

TVariant FormatCurrency(TRuntime&, TArgs& a) {
    const double x = ToDouble(NotNull(a[0]));
    TNumberStyle style = StyleOf(a, 0);
    static const std::string yen = Utf8ToCp932("¥");
    style.Prefix = yen;
    return TVariant::String(Formatted(x, style));
}

TVariant FormatPercent(TRuntime&, TArgs& a) {
    const double x = ToDouble(NotNull(a[0])) * 100;
    TNumberStyle style = StyleOf(a, 2);
    style.Suffix = "%";
    return TVariant::String(Formatted(x, style));
}

std::string Two(int v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

TVariant FormatDateTime(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) Raise(seInvalidNull);
    const double d = ToDate(a[0]);
    const std::int32_t kind = HasArg(a, 1) ? ToLong(a[1]) : 0;
    const TDateParts p = SplitDate(d);
    const std::string shortDate = std::to_string(p.Year) + "/" + Two(p.Month) + "/" + Two(p.Day);
    const std::string longTime = std::to_string(p.Hour) + ":" + Two(p.Minute) + ":" + Two(p.Second);
    switch (kind) {
    case 0: return TVariant::String(DateText(d));
    case 1:
        return TVariant::String(Utf8ToCp932(std::to_string(p.Year) + "年" +
                                            std::to_string(p.Month) + "月" + std::to_string(p.Day) +
                                            "日"));
    case 2: return TVariant::String(shortDate);
    case 3: return TVariant::String(longTime);
    case 4: return TVariant::String(Two(p.Hour) + ":" + Two(p.Minute));
    default: Raise(seInvalidCall);
    }
}

constexpr TBuiltin kFormat[] = {
    {"formatnumber", 1, 5, FormatNumber},
    {"formatcurrency", 1, 5, FormatCurrency},
    {"formatpercent", 1, 5, FormatPercent},
    {"formatdatetime", 1, 2, FormatDateTime},
};

}  // namespace

std::span<const TBuiltin> FormatBuiltins() {
    return kFormat;
}

}  // namespace rekna
