// Label and marker texts of the axes: general, exponent, fixed, thousands, SI-prefix and picture.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "graph/graph_axis.h"
#include "numbers/format.h"
#include "numbers/format_detail.h"

namespace rekna {

namespace {

// "1.5E+3"-style exponent with at least minDigits digits.
std::string Exponent(int e, int minDigits) {
    std::string digits = std::to_string(std::abs(e));
    while (static_cast<int>(digits.size()) < minDigits)
        digits.insert(digits.begin(), '0');
    return std::string(e < 0 ? "E-" : "E+") + digits;
}

void TrimZeros(std::string& s) {
    if (s.find('.') == std::string::npos) return;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
}

// Scientific notation with precision significant digits; trailing zeros of the mantissa are
// dropped when trim is set.
std::string Scientific(long double v, int precision, int expDigits, bool trim) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.*Le", precision - 1, v);
    std::string s(buf);
    const auto ePos = s.find('e');
    if (ePos == std::string::npos) return s;
    std::string mantissa = s.substr(0, ePos);
    const int e = std::atoi(s.c_str() + ePos + 1);
    if (trim) TrimZeros(mantissa);
    return mantissa + Exponent(e, expDigits);
}

// The decimal exponent of v once rounded to precision significant digits.
int RoundedExponent(long double v, int precision) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.*Le", precision - 1, v);
    const char* e = std::strchr(buf, 'e');
    return e == nullptr ? 0 : std::atoi(e + 1);
}

std::string General(long double v, int precision, int expDigits) {
    if (v == 0) return "0";
    const int e = RoundedExponent(v, precision);
    if (e >= precision || e < -5) return Scientific(v, precision, expDigits, true);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.*Lf", std::max(0, precision - 1 - e), v);
    std::string s(buf);
    TrimZeros(s);
    return s;
}

void Group(std::string& s) {
    const std::size_t start = (s[0] == '-') ? 1 : 0;
    std::size_t end = s.find('.');
    if (end == std::string::npos) end = s.size();
    for (std::size_t i = end; i > start + 3; i -= 3)
        s.insert(i - 3, 1, ',');
}

std::string Fixed(long double v, int precision, int digits, bool thousands) {
    if (v != 0 && RoundedExponent(v, precision) >= precision)
        return Scientific(v, precision, 0, false);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.*Lf", digits, v);
    std::string s(buf);
    if (s == "-0" || s.rfind("-0.", 0) == 0) {
        if (s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    }
    if (thousands) Group(s);
    return s;
}

// Significant digits needed to write v (1..18).
int SignificantDigits(long double v) {
    if (v == 0 || !std::isfinite(v)) return 1;
    for (int p = 1; p < 18; ++p) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "%.*Le", p - 1, v);
        if (std::fabs(std::strtold(buf, nullptr) - v) <= std::fabs(v) * 1e-13L) return p;
    }
    return 18;
}

// Decimals needed to write v in fixed notation (0..18); values below 1e-10 need none.
int DecimalsNeeded(long double v) {
    const long double a = std::fabs(v);
    if (a < 1e-10L || !std::isfinite(a)) return 0;
    for (int n = 0; n < 18; ++n) {
        const long double scale = std::pow(10.0L, n);
        if (std::fabs(std::round(a * scale) / scale - a) <= std::max(a * 1e-13L, 1e-16L)) return n;
    }
    return 18;
}

}  // namespace

std::string FormatAxisValue(long double v, const TNumberPicture& picture) {
    if (std::isnan(v)) return "Err ";
    const int precision = std::clamp(picture.Precision, 2, 18);
    const int digits = std::clamp(picture.Digits, 0, 18);
    if (!std::isfinite(v)) return v < 0 ? "-INF" : "INF";
    switch (picture.Format) {
    case TAxisFloatFormat::ffEng: {
        // The answer format pads for the answer pane's columns; a label needs no padding.
        std::string s = picture.Auto ? FormatReal(v, TAnsFormat::afEng, 15, true)
                                     : FormatReal(v, TAnsFormat::afEng,
                                                  std::clamp(picture.Precision, 1, 18), false);
        const auto b = s.find_first_not_of(' ');
        if (b == std::string::npos) return {};
        return s.substr(b, s.find_last_not_of(' ') - b + 1);
    }
    case TAxisFloatFormat::ffUsr: {
        format_detail::TTextBuf out;
        format_detail::WriteUsr(out, v, picture.FormatString);
        return out.Str();
    }
    case TAxisFloatFormat::ffGen: return General(v, precision, std::min(digits, 4));
    case TAxisFloatFormat::ffExp:
        return v == 0 ? Scientific(0, precision, std::min(digits, 4), false)
                      : Scientific(v, precision, std::min(digits, 4), false);
    case TAxisFloatFormat::ffFix: return Fixed(v, precision, digits, false);
    case TAxisFloatFormat::ffNum: return Fixed(v, precision, digits, true);
    }
    return {};
}

TNumberPicture TGraphAxis::LabelPicture() const {
    TNumberPicture picture;
    picture.Format = Labels.Format;
    picture.FormatString = Labels.FormatString;
    picture.Auto = Labels.AutoDigits;
    picture.Precision = Labels.AutoDigits ? FLabelPrecision : Labels.Precision;
    picture.Digits = Labels.AutoDigits ? FLabelDigits : Labels.Digits;
    return picture;
}

std::string TGraphAxis::LabelText(long double v) const {
    if (!IsLog() && std::fabs(v) < (FMax - FMin) * 1e-15L) v = 0;
    return FormatAxisValue(v, LabelPicture());
}

void TGraphAxis::UpdateLabelDigits() {
    FLabelPrecision = std::clamp(Labels.Precision, 2, 18);
    FLabelDigits = Labels.Digits;
    if (!Labels.AutoDigits) return;
    switch (Labels.Format) {
    case TAxisFloatFormat::ffGen: FLabelPrecision = 2; break;
    case TAxisFloatFormat::ffExp: {
        int most = 2;
        for (int i = 0; i < FLabelValues.Count(); ++i)
            most = std::max(most, SignificantDigits(FLabelValues[i]));
        FLabelPrecision = most;
        FLabelDigits = 0;
        break;
    }
    case TAxisFloatFormat::ffFix:
    case TAxisFloatFormat::ffNum: {
        int most = 0;
        for (int i = 0; i < FLabelValues.Count(); ++i) {
            long double v = FLabelValues[i];
            if (!IsLog() && std::fabs(v) < (FMax - FMin) * 1e-15L) v = 0;
            most = std::max(most, DecimalsNeeded(v));
        }
        FLabelPrecision = 4;
        FLabelDigits = most;
        break;
    }
    default: break;
    }
}

}  // namespace rekna
