// The Japanese digit-group answer form: groups of four digits marked 京 兆 億 万.
#include <algorithm>
#include <cmath>

#include "numbers/format_detail.h"
#include "numbers/frac.h"

namespace rekna::format_detail {

namespace {

constexpr long double kTwoPow63 = 9223372036854775808.0L;
constexpr int kTopGroup = 4;  // 京; higher digits stay in front of it

// The integer digits at positions top..0 of d (digit index top - position), in groups of four
// from the point; with hide0 the leading zeros of a group and empty groups are left out.
void AddGroups(TTextBuf& out, const TDigits& d, int top, bool hide0) {
    const TMarks& m = Marks();
    const std::string* marks[kTopGroup + 1] = {nullptr, &m.Man, &m.Oku, &m.Cho, &m.Kei};
    const int topGroup = std::min(top / 4, kTopGroup);
    bool any = false;
    for (int g = topGroup; g >= 0; --g) {
        const int hi = g == topGroup ? top : g * 4 + 3;
        int p = hi;
        if (hide0)
            while (p >= g * 4 && d.At(top - p) == '0')
                --p;
        if (p < g * 4) continue;
        for (; p >= g * 4; --p)
            out.Add(d.At(top - p));
        if (g > 0) out.Add(*marks[g]);
        any = true;
    }
    if (!any) out.Add('0');
}

}  // namespace

void WriteJpn(TTextBuf& out, long double x, int length, bool hide0) {
    if (std::isnan(x)) {
        out.Add("Err");
        return;
    }
    if (!(std::fabs(x) < kTwoPow63)) {
        WriteNon(out, x);
        return;
    }
    const bool neg = x < 0;
    const long double ax = std::fabs(x);
    if (length > 0) {
        if (ax < 1) {
            WriteGeneral(out, x, length);
            return;
        }
        TDigits d = SigDigits(ax, length);
        if (hide0)
            d.StripZeros();
        else
            d.PadTo(length);
        out.Add(neg ? '-' : ' ');
        AddGroups(out, d, d.Exp, hide0);
        if (d.Count > d.Exp + 1) {
            out.Add('.');
            for (int i = d.Exp + 1; i < d.Count; ++i)
                out.Add(d.D[i]);
        }
        return;
    }
    const int wanted = -length;
    int decimals = wanted;
    if (ax > 0) decimals = std::min(18 - static_cast<int>(RoundHalfAway(std::log10(ax))), wanted);
    decimals = std::max(decimals, 0);
    const TDigits d = FixedDigits(ax, decimals);
    out.Add(neg && !d.IsZero() ? '-' : ' ');
    if (d.IsZero() || d.Exp < 0)
        out.Add('0');
    else
        AddGroups(out, d, d.Exp, hide0);
    AddDecimals(out, d, decimals, hide0);
}

}  // namespace rekna::format_detail
