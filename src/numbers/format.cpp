// The answer formatter's entry points: one part by format, complex assembly and the log form.
#include "numbers/format.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "numbers/calc_error.h"
#include "numbers/format_detail.h"
#include "platform/cp932.h"

namespace rekna {

namespace format_detail {

void AddInt(TTextBuf& out, long long value) {
    char tmp[24];
    int n = 0;
    unsigned long long v = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                     : static_cast<unsigned long long>(value);
    do {
        tmp[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (value < 0) out.Add('-');
    while (n > 0)
        out.Add(tmp[--n]);
}

const TMarks& Marks() {
    static const TMarks marks = [] {
        TMarks m;
        m.Day = SysText("日");
        m.Hour = SysText("時");
        m.Minute = SysText("分");
        m.Second = SysText("秒");
        m.Degree = SysText("°");
        m.DegreeJ = SysText("度");
        m.Prime = SysText("′");
        m.DoublePrime = SysText("″");
        m.Colon = SysText("：");
        m.Kei = SysText("京");
        m.Cho = SysText("兆");
        m.Oku = SysText("億");
        m.Man = SysText("万");
        return m;
    }();
    return marks;
}

void GroupDigits(TTextBuf& out, std::size_t start, int size, TGroupKind kind) {
    const char sep = NumberSettings.AnsColChar;
    if (size <= 0 || sep == '\b') return;
    const auto isDigit = [kind](char c) {
        return (c >= '0' && c <= '9') || (kind == TGroupKind::gkHex && c >= 'A' && c <= 'F');
    };
    // Hexadecimal letters only count in hexadecimal text, so that the "E" of an exponent
    // never joins the integer part of a decimal or binary answer.
    std::size_t end = start;
    while (end < out.Size()) {
        const char c = out[end];
        if (c == ' ' || c == '+' || c == '-' || isDigit(c)) {
            ++end;
        } else if (c == '&' && kind == TGroupKind::gkBinary) {
            ++end;
            if (end < out.Size() && out[end] == 'c') ++end;
        } else if (c == '$' && kind == TGroupKind::gkHex) {
            ++end;
        } else {
            break;
        }
    }
    const auto step = static_cast<std::size_t>(size);
    for (std::size_t pos = end; pos >= start + step + 1;) {
        pos -= step;
        if (!isDigit(out[pos - 1])) break;
        out.Insert(pos, sep);
    }
}

bool WriteNonFinite(TTextBuf& out, long double x) {
    if (std::isnan(x)) {
        out.Add("Err");
        return true;
    }
    if (std::isinf(x)) {
        out.Add(x < 0 ? "-INF" : "INF");
        return true;
    }
    return false;
}

void WriteNon(TTextBuf& out, long double x) {
    const std::size_t start = out.Size();
    WriteGeneral(out, x, 18);
    GroupDigits(out, start, NumberSettings.AnsColNon, TGroupKind::gkDecimal);
}

void WriteReal(TTextBuf& out, long double x, TAnsFormat format, int length, bool hide0) {
    length = std::clamp(length, -17, 18);
    switch (format) {
    case TAnsFormat::afEng:
    case TAnsFormat::afExp:
    case TAnsFormat::afFix:
    case TAnsFormat::afPar:
    case TAnsFormat::afdB: WriteDecimal(out, x, format, length, hide0); break;
    case TAnsFormat::afN2: WriteBinary(out, x, false, hide0); break;
    case TAnsFormat::afN2C: WriteBinary(out, x, true, hide0); break;
    case TAnsFormat::afN16: WriteHex(out, x, hide0); break;
    case TAnsFormat::afN60: WriteN60(out, x, length, hide0); break;
    case TAnsFormat::afJpn: WriteJpn(out, x, length, hide0); break;
    case TAnsFormat::afN10A: WriteJpn(out, x, 18, true); break;
    case TAnsFormat::afFac: WriteFactors(out, x); break;
    case TAnsFormat::afUsr: WriteUsr(out, x, NumberSettings.UsrFormat); break;
    case TAnsFormat::afNon:
    default: WriteNon(out, x); break;
    }
}

}  // namespace format_detail

namespace {

using namespace format_detail;

constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr int kFpErrors = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;

// Formatting is not a calculation: floating-point flags it raises (a dB of a huge value, a
// degree phase) are taken back, so the engine never mistakes them for errors of the line.
class TFpGuard {
public:
    TFpGuard() noexcept : FBefore(std::fetestexcept(kFpErrors)) {}
    ~TFpGuard() {
        const int raised = std::fetestexcept(kFpErrors) & ~FBefore;
        if (raised != 0) std::feclearexcept(raised);
    }
    TFpGuard(const TFpGuard&) = delete;
    TFpGuard& operator=(const TFpGuard&) = delete;

private:
    int FBefore;
};

void AddTrimmed(TTextBuf& out, std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    out.Add(s.substr(b, e - b));
}

void AddPartTrimmed(TTextBuf& out, long double x, TAnsFormat format) {
    TTextBuf part;
    WriteReal(part, x, format, NumberSettings.AnsLength, NumberSettings.AnsHide0);
    AddTrimmed(out, part.View());
}

void WriteCplx(TTextBuf& out, const TCplx& v, TAnsFormat format, bool hideZeroReal) {
    const TNumberSettings& st = NumberSettings;
    if (v.IsBlank()) return;
    if (v.IsErrorMark()) {
        out.Add("Err");
        return;
    }
    if (st.CplxFormat == TCplxFormat::cPolar || format == TAnsFormat::afdB) {
        const long double re = ReValue(v);
        // A zero imaginary part counts as +0, so a negative real number has the phase +pi
        // whatever the sign of its zero.
        long double phase = v.Im.IsZero() ? (re < 0 ? kPi : 0.0L) : CplxArg(v);
        if (st.AngleUnit == TAngleUnit::auDeg) phase = phase * 180.0L / kPi;
        WriteReal(out, CplxAbs(v), format, st.AnsLength, st.AnsHide0);
        const TAnsFormat phaseFormat = format == TAnsFormat::afdB ? TAnsFormat::afFix : format;
        if (phase > 0) {
            out.Add(" @ ");
            AddPartTrimmed(out, phase, phaseFormat);
        } else if (phase < 0) {
            out.Add(" @ -");
            AddPartTrimmed(out, -phase, phaseFormat);
        }
        return;
    }
    const long double re = ReValue(v);
    const long double im = ImValue(v);
    const bool imShown = !(im == 0);  // a NaN imaginary part is shown, never dropped
    if (hideZeroReal && re == 0 && imShown) {
        if (im < 0) out.Add('-');
        AddPartTrimmed(out, std::fabs(im), format);
        out.Add(st.ImagChar);
        return;
    }
    WriteReal(out, re, format, st.AnsLength, st.AnsHide0);
    if (!imShown) return;
    out.Add(im < 0 ? " - " : " + ");
    AddPartTrimmed(out, std::fabs(im), format);
    out.Add(st.ImagChar);
}

// The magnitude of one log quantity in the log base.
void AddLogMagnitude(TTextBuf& out, long double y) {
    if (NumberSettings.LogN16)
        WriteHex(out, y, true);
    else
        WriteGeneral(out, y, 18);
}

bool IsFractionShown(const TFrac& f) {
    return NumberSettings.LogFrac && f.Den != 1.0L && !f.IsZero();
}

void AddLogPart(TTextBuf& out, const TFrac& f) {
    if (IsFractionShown(f)) {
        out.Add('{');
        AddLogMagnitude(out, std::fabs(f.Num));
        out.Add('/');
        AddLogMagnitude(out, std::fabs(f.Den));
        out.Add('}');
        return;
    }
    AddLogMagnitude(out, std::fabs(f.Value()));
}

void WriteLogValue(TTextBuf& out, const TCplx& v) {
    if (v.IsBlank()) return;
    if (v.IsErrorMark()) {
        out.Add("Err");
        return;
    }
    const bool reNeg = v.Re.Value() < 0;
    if (v.Im.IsZero()) {
        if (v.Re.IsZero()) {
            out.Add('0');
        } else if (!reNeg) {
            AddLogPart(out, v.Re);
        } else if (IsFractionShown(v.Re)) {
            // The fraction's own braces carry the sign: {-0.5/1.5}.
            out.Add("{-");
            AddLogMagnitude(out, std::fabs(v.Re.Num));
            out.Add('/');
            AddLogMagnitude(out, std::fabs(v.Re.Den));
            out.Add('}');
        } else {
            out.Add("{-");
            AddLogPart(out, v.Re);
            out.Add('}');
        }
        return;
    }
    out.Add('{');
    if (reNeg) out.Add('-');
    AddLogPart(out, v.Re);
    out.Add(v.Im.Value() < 0 ? '-' : '+');
    AddLogPart(out, v.Im);
    out.Add(NumberSettings.ImagChar);
    out.Add('}');
}

}  // namespace

std::string FormatAnswer(const TCplx& value) noexcept {
    std::string out;
    FormatAnswerTo(value, out);
    return out;
}

void FormatAnswerTo(const TCplx& value, std::string& out) noexcept {
    try {
        TFpGuard guard;
        TTextBuf text;
        WriteCplx(text, value, NumberSettings.AnsFormat, false);
        out.assign(text.View());
    } catch (...) {
        out.clear();
    }
}

std::string FormatListValue(const TCplx& value, TAnsFormat format, bool hideZeroReal) noexcept {
    try {
        TFpGuard guard;
        TTextBuf out;
        WriteCplx(out, value, format, hideZeroReal);
        return out.Str();
    } catch (...) {
        return {};
    }
}

std::string FormatReal(long double part, TAnsFormat format, int length, bool hide0) noexcept {
    try {
        TFpGuard guard;
        TTextBuf out;
        WriteReal(out, part, format, length, hide0);
        return out.Str();
    } catch (...) {
        return {};
    }
}

std::string FormatLogValue(const TCplx& value) noexcept {
    const TCalcErr saved = CalcErr;
    try {
        TFpGuard guard;
        TTextBuf out;
        WriteLogValue(out, value);
        CalcErr = saved;
        return out.Str();
    } catch (...) {
        CalcErr = saved;
        return {};
    }
}

}  // namespace rekna
