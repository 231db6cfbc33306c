// The axis' range rules, pixel mapping, tick engine and auto scaling.
#include "graph/graph_axis.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

namespace rekna {

namespace {

// Main and sub multiples of a decade, the main ones first in the order they are added.
constexpr long double kLogTable[10] = {1, 3, 2, 5, 4, 6, 7, 8, 9, 1.5L};

// At most this many ticks of one list; a step that would give more is replaced.
constexpr long double kMaxTicks = 2000;
constexpr long double kSmallest = std::numeric_limits<long double>::min();

long double Pow10(long double e) {
    return std::pow(10.0L, e);
}

bool Finite(long double v) {
    return std::isfinite(v);
}

// The smallest span that still has distinct tick values around the given ends.
long double Resolution(long double a, long double b) {
    return std::max(std::fabs(a), std::fabs(b)) * 1e-15L;
}

void SortUnique(TGraphValueList& list) {
    list.Sort();
    int out = 0;
    for (int i = 0; i < list.Count(); ++i) {
        if (out > 0 && list[out - 1] == list[i]) continue;
        list[out++] = list[i];
    }
    list.SetCount(out);
}

}  // namespace

void TGraphAxis::Normalise() {
    if (FMin > FMax) std::swap(FMin, FMax);
    if (IsLog() && FMin <= 0) {
        FMax = FMax > 0 ? FMax : -FMin;
        if (!(FMax > 0)) FMax = 1;  // both ends zero: a log axis still needs a decade
        FMin = FMax / 1000;
    }
    // Below the smallest normal value the logarithm and the decade steps stop being exact.
    if (IsLog() && !(FMin >= kSmallest)) {
        FMin = kSmallest;
        FMax = std::max(FMax, FMin);
    }
}

void TGraphAxis::SetScale(TAxisScale scale) {
    const bool toLog = scale != TAxisScale::asNormal && FScale == TAxisScale::asNormal;
    FScale = scale;
    if (!toLog) return;
    auto convert = [](long double& min, long double& max) {
        if (min > max) std::swap(min, max);
        if (min > 0) return;
        if (max > 0) {
            min = max / 100;
            return;
        }
        const long double a = std::fabs(min);
        const long double b = std::fabs(max);
        max = std::max(a, b);
        min = std::min(a, b);
        if (max == 0) max = 1;
        if (min == 0) min = max / 100;
    };
    convert(FMin, FMax);
    convert(FHomeMin, FHomeMax);
}

void TGraphAxis::SetMin(long double v) {
    if (!Finite(v)) return;
    FMin = FHomeMin = v;
    if (FMax < FMin) FMax = FHomeMax = v;
    AutoMin = false;
    Normalise();
}

void TGraphAxis::SetMax(long double v) {
    if (!Finite(v)) return;
    FMax = FHomeMax = v;
    if (FMin > FMax) FMin = FHomeMin = v;
    AutoMax = false;
    Normalise();
}

bool TGraphAxis::SetRange(long double max, long double min, bool asHome) {
    if (!Finite(max) || !Finite(min)) return false;
    FMin = std::min(min, max);
    FMax = std::max(min, max);
    Normalise();
    AutoMin = AutoMax = false;
    if (asHome) {
        FHomeMin = FMin;
        FHomeMax = FMax;
    }
    return true;
}

bool TGraphAxis::RestoreHome() {
    if (FMin == FHomeMin && FMax == FHomeMax) return false;
    FMin = FHomeMin;
    FMax = FHomeMax;
    Normalise();
    AutoMin = AutoMax = false;
    return true;
}

bool TGraphAxis::SetViewRange(long double min, long double max) {
    if (!Finite(min) || !Finite(max)) return false;
    if (min > max) std::swap(min, max);
    if (IsLog()) {
        if (!(min >= kSmallest) || !Finite(std::log10(max) - std::log10(min))) return false;
        if (std::log10(max) - std::log10(min) < 1e-12L) return false;
    } else if (max - min <= Resolution(min, max) * 1000) {
        return false;
    }
    FMin = min;
    FMax = max;
    AutoMin = AutoMax = false;
    return true;
}

long double TGraphAxis::ValueToPixel(long double v) const noexcept {
    if (std::isnan(v)) return NAN;
    const long double len = FLength;
    long double offset = NAN;
    if (!IsLog()) {
        if (FMax == FMin) {
            offset = v == FMin ? len / 2 : NAN;
        } else {
            offset = len * (v - FMin) / (FMax - FMin);
        }
    } else {
        if (FScale == TAxisScale::asAbsLog) v = std::fabs(v);
        if (!(v > 0) || !(FMin > 0)) return NAN;
        const long double range = std::log10(FMax) - std::log10(FMin);
        if (range == 0) {
            offset = v == FMin ? len / 2 : NAN;
        } else {
            offset = len * std::log10(v / FMin) / range;
        }
    }
    return FKind == TAxisKind::akX ? FOrigin + offset : FOrigin - offset;
}

int TGraphAxis::ValueToPixelInt(long double v) const noexcept {
    const bool degenerate = IsLog() ? !(FMin > 0) || FMax == FMin : FMax == FMin;
    if (degenerate) return v == FMin ? (FOrigin + FEnd) / 2 : 0;
    const long double pixel = ValueToPixel(v);
    long double offset = FKind == TAxisKind::akX ? pixel - FOrigin : FOrigin - pixel;
    if (std::isnan(offset)) offset = 0;
    offset = std::clamp<long double>(offset, -FLength, 2.0L * FLength);
    const int rounded = static_cast<int>(std::lround(offset));
    return FKind == TAxisKind::akX ? FOrigin + rounded : FOrigin - rounded;
}

long double TGraphAxis::PixelToValue(long double p) const noexcept {
    if (FLength == 0) return FMin;
    const long double offset = FKind == TAxisKind::akX ? p - FOrigin : FOrigin - p;
    if (!IsLog() || !(FMin > 0)) return FMin + offset * (FMax - FMin) / FLength;
    const long double range = std::log10(FMax) - std::log10(FMin);
    return FMin * Pow10(range * offset / FLength);
}

bool TGraphAxis::InSpan(long double v) const noexcept {
    const long double p = ValueToPixel(v);
    if (!Finite(p)) return false;
    const int lo = std::min(FOrigin, FEnd);
    const int hi = std::max(FOrigin, FEnd);
    return p >= lo - 0.5L && p <= hi + 0.5L;
}

void TGraphAxis::SetBox(const TGraphRect& box) {
    FBox = box;
    switch (FKind) {
    case TAxisKind::akX:
        FOrigin = box.Left;
        FEnd = box.Right;
        FCross = box.Top;
        FLength = box.Right - box.Left;
        break;
    case TAxisKind::akY:
    case TAxisKind::akZ:
        FOrigin = box.Bottom;
        FEnd = box.Top;
        FCross = FKind == TAxisKind::akY ? box.Right : box.Left;
        FLength = box.Bottom - box.Top;
        break;
    }
}

void TGraphAxis::ReduceTicks(const TTextMeasure& measure) {
    FTickCount = std::max(1, Ticks.Count);
    UpdateTicks();
    const int h = Labels.Font.Height();
    auto step = [&]() {
        int extent = 0;
        if (FKind == TAxisKind::akX && Labels.Size > 0) {
            extent = static_cast<int>(std::lround(h * Labels.Size / 100.0));
        } else if (measure) {
            for (int i = 0; i < FLabelValues.Count(); ++i) {
                const TTextSize size = measure(LabelText(FLabelValues[i]));
                extent = std::max(extent, FKind == TAxisKind::akX ? size.Width : size.Height);
            }
        }
        return extent + static_cast<int>(std::lround(Labels.Font.Size / 2.0));
    };
    while (Ticks.Auto && FTickCount > 1 && FLength < step() * FTickCount) {
        --FTickCount;
        UpdateTicks();
    }
}

bool TGraphAxis::NeedsAutoStep() const {
    if (Ticks.Auto) return true;
    const long double h = Labels.Font.Height();
    const long double range = FMax - FMin;
    if (FKind == TAxisKind::akX) {
        const long double w = std::lround(h * std::max(Labels.Size, 100) / 100.0L);
        return FLength * Ticks.Step < w * range;
    }
    return h * range * 1.5L > FLength * Ticks.Step;
}

long double TGraphAxis::NiceStep(long double range) const {
    if (Ticks.AutoDeg) {
        const long double degrees[4][2] = {{90, 15}, {180, 30}, {270, 30}, {360, 45}};
        for (const auto& d : degrees)
            if (std::fabs(range - d[0]) <= 1e-6L) return d[1];
    }
    if (!(range > 0) || !Finite(range)) return Ticks.Step;
    const long double raw = range / std::max(1, FTickCount);
    long double e0 = std::floor(std::log10(raw));
    if (std::round(raw / Pow10(e0 - 1)) >= 100) e0 += 1;
    const long double p = Pow10(e0);
    const long double m = raw / p;
    long double factor = 10;
    if (m <= 1.000001L) {
        factor = 1;
    } else if (m <= 2.000001L) {
        factor = 2;
    } else if (m <= 2.500001L) {
        factor = 2.5L;
    } else if (m <= 5.000001L) {
        factor = 5;
    }
    return p * factor;
}

int TGraphAxis::SubTickCount(long double step) {
    if (!(step > 0) || !Finite(step)) return 5;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9Le", step);
    std::string digits;
    for (const char* p = buf; *p != '\0' && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits.push_back(*p);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    if (digits.size() == 1) {
        switch (digits[0]) {
        case '2':
        case '4':
        case '8': return 4;
        case '3':
        case '9': return 3;
        case '6': return 6;
        case '7': return 7;
        default: return 5;
        }
    }
    if (digits == "15" || digits == "45" || digits == "75") return 3;
    if (digits == "35") return 7;
    return 5;
}

void TGraphAxis::AddTick(TGraphValueList& list, long double v) const {
    if (!Finite(v)) return;
    if (IsLog()) {
        const long double f = 1 + FMax * 1e-9L / FMin;
        if (v < FMin / f || v > FMax * f) return;
    } else {
        const long double tol = std::fabs(FMax - FMin) * 1e-6L;
        if (v < FMin - tol || v > FMax + tol) return;
    }
    list.Add(v + 0.0L);  // no "-0" tick
}

void TGraphAxis::UpdateTicks() {
    Normalise();
    FMainTicks.Clear();
    FSubTicks.Clear();
    if (IsLog() && FMax >= 2 * FMin) {
        LogTicks();
    } else {
        LinearTicks();
    }
    SortUnique(FMainTicks);
    SortUnique(FSubTicks);
    FLabelValues = FMainTicks;
    UpdateLabelDigits();
}

void TGraphAxis::LinearTicks() {
    const long double range = FMax - FMin;
    if (range <= Resolution(FMin, FMax)) {
        // A degenerate range has one value to show, drawn at the middle.
        FMainTicks.Add(FMin);
        return;
    }
    if (NeedsAutoStep()) Ticks.Step = NiceStep(range);
    // A step the values cannot resolve, or one that gives too many ticks, never drives the loop.
    if (!(Ticks.Step > 0) || !Finite(Ticks.Step) || range / Ticks.Step > kMaxTicks ||
        Ticks.Step <= Resolution(FMin, FMax) * 4) {
        Ticks.Step = NiceStep(range);
        if (!(Ticks.Step > 0) || range / Ticks.Step > kMaxTicks) {
            FMainTicks.Add(FMin);
            FMainTicks.Add(FMax);
            return;
        }
    }
    const long double step = Ticks.Step;
    if (SubTicks.Auto) {
        SubTicks.Count = SubTickCount(step);
    } else {
        SubTicks.Count = std::clamp(SubTicks.Count, 1, 20);
    }
    const int subCount = SubTicks.Count;
    const long double s = step / subCount;
    const long double eps = step / 100;
    // Ticks are whole multiples of the step, so zero comes out as exactly zero.
    long double k = std::ceil(FMin / step - 0.05L);
    for (int guard = 0; k * step > FMin + eps && guard < 4; ++guard)
        k -= 1;
    for (int n = 0; k * step < FMax + eps && n <= kMaxTicks + 2; ++n, k += 1) {
        const long double c = k * step;
        if (c > FMin - eps) AddTick(FMainTicks, c);
        for (int d = 1; d < subCount; ++d) {
            const long double v = c + s * d;
            if (v > FMin && v < FMax) AddTick(FSubTicks, v);
        }
    }
}

void TGraphAxis::LogTicks() {
    const long double lmin = std::log10(FMin);
    const long double lmax = std::log10(FMax);
    if (!Finite(lmin) || !Finite(lmax)) return;
    long double e1 = std::round(lmin);
    if (Pow10(e1) > FMin) e1 -= 1;
    long double e2 = std::round(lmax);
    if (Pow10(e2) < FMax) e2 += 1;
    if (e1 == e2) e2 += 1;
    int a = FMax == FMin ? 1 : static_cast<int>(std::floor(FTickCount / (lmax - lmin) + 1e-15L));
    if (a < 1) {
        const long double g = std::max(1.0L, std::ceil((e2 - e1) / FTickCount));
        const int subs = std::min(SubTicks.Count - 1, 9);
        for (long double e = e1; e <= e2 + 1; e += g) {
            const long double p = Pow10(e);
            AddTick(FMainTicks, p);
            long double below = p;
            for (int k = 1; k < g; ++k) {
                below /= 10;
                AddTick(FSubTicks, below);
            }
            for (int i = 1; i <= subs; ++i)
                AddTick(FSubTicks, p * kLogTable[i] / 10);
        }
        return;
    }
    if (!Ticks.Auto && Ticks.Step < a) a = static_cast<int>(std::lround(Ticks.Step));
    a = std::clamp(a, 1, 9);
    int n = 0;
    if (SubTicks.Auto) {
        n = a < 3 ? 8 : 9;
    } else {
        n = std::min(a + SubTicks.Count, 9);
    }
    for (long double e = e1; e <= e2 + 1; e += 1) {
        const long double p = Pow10(e);
        AddTick(FMainTicks, p);
        if (a == 2) AddTick(FMainTicks, 3 * p);
        if (a > 2) {
            AddTick(FMainTicks, 2 * p);
            AddTick(FMainTicks, 5 * p);
        }
        for (int i = 1; i <= n; ++i)
            AddTick(FSubTicks, p * kLogTable[i] / 10);
    }
}

void TGraphAxis::AutoScale(bool asHome, bool doMax, bool doMin, long double dataMin,
                           long double dataMax) {
    long double lo = dataMin;
    long double hi = dataMax;
    if (std::isnan(lo) || std::isnan(hi)) {
        lo = hi = IsLog() ? 1 : 0;
    } else if (lo == hi) {
        if (IsLog()) {
            const long double v = std::fabs(lo);
            lo = v / 2;
            hi = v * 2;
        } else {
            lo = 0.55L * dataMin;
            hi = 1.45L * dataMin;
        }
    }
    long double min = doMin ? lo : FMin;
    long double max = doMax ? hi : FMax;
    if (!Finite(min) || !Finite(max)) return;
    FMin = std::min(min, max);
    FMax = std::max(min, max);
    UpdateTicks();
    min = FMin;
    max = FMax;
    if (IsLog()) {
        if (doMin && min > 0) {
            long double e = std::round(std::log10(min));
            if (!(min >= 0.999999999999999L * Pow10(e))) e -= 1;
            min = Pow10(e);
        }
        if (doMax && max > 0) {
            long double e = std::round(std::log10(max));
            if (max > 1.000000000000001L * Pow10(e)) e += 1;
            max = Pow10(e);
        }
    } else if (Ticks.Step > 0 && FMax > FMin) {
        const long double step = Ticks.Step;
        if (doMax) max = std::ceil(max / step - 1e-15L) * step;
        if (doMin) min = std::floor(min / step + 1e-15L) * step;
    }
    const bool keepMin = AutoMin;
    const bool keepMax = AutoMax;
    SetRange(max, min, asHome);
    AutoMin = keepMin;
    AutoMax = keepMax;
}

std::string TGraphAxis::TickDump() const {
    std::ostringstream out;
    auto list = [&](const TGraphValueList& values) {
        for (int i = 0; i < values.Count(); ++i) {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.10Lg", values[i]);
            out << ' ' << buf;
        }
    };
    out << "main:";
    list(FMainTicks);
    out << " | sub:";
    list(FSubTicks);
    return out.str();
}

}  // namespace rekna
