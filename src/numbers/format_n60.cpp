// The 60-base answer form: days, hours or degrees, minutes and seconds with their marks.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "numbers/format_detail.h"
#include "numbers/frac.h"

namespace rekna::format_detail {

namespace {

constexpr long double kTwoPow63 = 9223372036854775808.0L;

long double SecondsPerUnit(TTimUnit unit) {
    switch (unit) {
    case TTimUnit::tuDay: return 86400;
    case TTimUnit::tuHou: return 3600;
    case TTimUnit::tuMin: return 60;
    case TTimUnit::tuSec:
    default: return 1;
    }
}

struct TUnitCount {
    std::uint64_t Count;
    const std::string* Mark;
};

// The integral seconds split by the style; returns the number of units (the last one is the
// seconds).
int SplitUnits(std::uint64_t whole, TAnsFormat60 style, TUnitCount* units) {
    const TMarks& m = Marks();
    const std::uint64_t sec = whole % 60;
    const std::uint64_t min = whole / 60 % 60;
    switch (style) {
    case TAnsFormat60::afN60TJ:
        units[0] = {whole / 86400, &m.Day};
        units[1] = {whole / 3600 % 24, &m.Hour};
        units[2] = {min, &m.Minute};
        units[3] = {sec, &m.Second};
        return 4;
    case TAnsFormat60::afN60T:
        units[0] = {whole / 3600, &m.Colon};
        units[1] = {min, &m.Prime};
        units[2] = {sec, &m.DoublePrime};
        return 3;
    case TAnsFormat60::afN60DJ:
        units[0] = {whole / 3600, &m.DegreeJ};
        units[1] = {min, &m.Minute};
        units[2] = {sec, &m.Second};
        return 3;
    case TAnsFormat60::afN60D:
    default:
        units[0] = {whole / 3600, &m.Degree};
        units[1] = {min, &m.Prime};
        units[2] = {sec, &m.DoublePrime};
        return 3;
    }
}

}  // namespace

void WriteN60(TTextBuf& out, long double x, int length, bool hide0) {
    const TNumberSettings& st = NumberSettings;
    if (std::isnan(x)) {
        out.Add("Err");
        return;
    }
    const long double seconds = x * SecondsPerUnit(st.TimUnit);
    if (!(std::fabs(x) < kTwoPow63) || !(std::fabs(seconds) < kTwoPow63)) {
        WriteNon(out, x);
        return;
    }
    const long double as = std::fabs(seconds);
    const int wanted = length < 0 ? -length : length;
    int decimals = wanted;
    if (as > 0) decimals = std::min(18 - static_cast<int>(RoundHalfAway(std::log10(as))), wanted);
    decimals = std::max(decimals, 0);

    const TDigits d = FixedDigits(as, decimals);
    std::uint64_t whole = 0;
    if (!d.IsZero())
        for (int i = 0; i <= d.Exp; ++i)
            whole = whole * 10 + static_cast<unsigned>(d.At(i) - '0');
    char frac[24];
    int nf = 0;
    for (int k = 1; k <= decimals && !d.IsZero(); ++k)
        frac[nf++] = d.At(d.Exp + k);
    while (nf > 0 && frac[nf - 1] == '0')
        --nf;

    TUnitCount units[4];
    const int count = SplitUnits(whole, st.AnsFormat60, units);
    out.Add(seconds < 0 && !d.IsZero() ? '-' : ' ');
    bool any = false;
    bool secondsWritten = false;
    for (int i = 0; i < count; ++i) {
        const std::uint64_t c = units[i].Count;
        if (c == 0 && (hide0 || !any)) continue;
        if (any && !hide0 && c < 10) out.Add('0');
        AddInt(out, static_cast<long long>(c));
        out.Add(*units[i].Mark);
        any = true;
        secondsWritten = i == count - 1;
    }
    const std::string& secondMark = *units[count - 1].Mark;
    if (nf == 0) {
        if (!any) out.Add('0');
        return;
    }
    // The fraction of a second follows the seconds mark without a point (10″5 is 10.5 s).
    if (!secondsWritten) {
        if (any) out.Add('0');
        out.Add(secondMark);
    }
    out.Add(std::string_view(frac, static_cast<std::size_t>(nf)));
}

}  // namespace rekna::format_detail
