// The frame's options applied to the engine, and the leading-character rule of calculation lines.
#include "frame/calc_options.h"

#include <algorithm>
#include <charconv>

#include "engine/vt_calc.h"
#include "platform/cp932.h"

namespace rekna {

void TCalcOptions::ApplyToEngine(TVtCalc& calc) {
    PendingAnsLength = std::clamp(PendingAnsLength, -17, 18);
    calc.SetFractional(Frac);
    calc.SetRoundFuzz(Fuzz);
    calc.SetCplxFormat(Complex == TCplxChoice::ccPolar ? TCplxFormat::cPolar : TCplxFormat::cReIm);
    calc.SetImagChar(Complex == TCplxChoice::ccJ ? 'j' : 'i');
    calc.SetAngleUnit(Angle);
    calc.SetDbUnit(Db);
    calc.SetTimUnit(Tim);

    NumberSettings.InpN10 = InpN10;
    NumberSettings.InpN60 = InpN60;
    NumberSettings.InpPercent = InpPar;
    NumberSettings.InpDb = InpDb;
    NumberSettings.InpEng = InpEng;
    NumberSettings.InpEngStrict = InpEng && InpEngSL;

    calc.Switches.FullWidth = DblByte;
    calc.Switches.WideMul = DblByteMul;
    calc.Switches.WideDiv = DblByteDiv;

    calc.SetAnsFormat(Format);
    calc.SetAnsFormat60(Format60);
    NumberSettings.AnsN2Exp = N2Exp;
    NumberSettings.AnsN16Exp = N16Exp;
    calc.SetAnsHide0(Hide0);
    calc.SetAnsLength(PendingAnsLength);
    calc.SetAnsEng0(Eng0);
    calc.SetAnsEng1(Eng1);

    NumberSettings.LogN16 = LogN16;
    NumberSettings.LogFrac = LogFrac;

    PendingAnsLength = calc.AnsLength();
}

bool TCalcOptions::IsCalcLine(std::string_view line) const noexcept {
    std::size_t i = 0;
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ')
        ++i;
    if (i == line.size()) return false;
    if (!CalcStr) return true;
    const char c = line.front();
    if (c == '\t') return CalcTab;
    if (c == ' ') return CalcSSp;
    static const std::string wideSpace = SysText("　");
    if (line.substr(0, 2) == wideSpace) return CalcLSp;
    return CalcEtc;
}

void ApplyFrameDesign(TVtCalc& calc) {
    calc.SetAnsFixMax(18);
    calc.SetUsrFormat(",0.######");
}

int TCalcOptions::CalcBarFormat() const noexcept {
    switch (CalcBarChoice) {
    case TCalcBarChoice::cbSet: return 0;
    case TCalcBarChoice::cbNon: return 1;
    case TCalcBarChoice::cbN2: return 2;
    case TCalcBarChoice::cbN2C: return 3;
    case TCalcBarChoice::cbN10: return 4;
    default: return 5;
    }
}

void TCalcOptions::ClampEditorSettings() noexcept {
    WrapWidth = std::clamp(WrapWidth < 0 ? -WrapWidth : WrapWidth, 2, 255);
    RowPitch = std::clamp(RowPitch, 1, 10);
    TabStops = std::clamp(TabStops, 2, 50);
    ScrollMargin = std::clamp(ScrollMargin, 0, 5);
}

std::array<TCharColorClass, 4> TCalcOptions::DefaultCharColors() {
    return {
        {{"+-=", clRed}, {"\"@^|~*/\\!`<>'", clBlue}, {"0123456789.", clMaroon}, {"eE&$", clTeal}}};
}

TCalcBarButtons CalcBarButtons(const TCalcOptions& options, const TVtCalc& calc) {
    TCalcBarButtons b;
    b.Angle = calc.AngleUnit() == TAngleUnit::auDeg ? "Deg" : "Rad";
    switch (calc.DbUnit()) {
    case TdBUnit::dudB10: b.Db = "dB10"; break;
    case TdBUnit::dudB20: b.Db = "dB20"; break;
    case TdBUnit::dudBm: b.Db = "dBm"; break;
    default: b.Db = "dBu"; break;
    }
    switch (calc.AnsFormat()) {
    case TAnsFormat::afEng: b.Format = "Eng"; break;
    case TAnsFormat::afExp: b.Format = "Exp"; break;
    case TAnsFormat::afFix: b.Format = "Fix"; break;
    case TAnsFormat::afN2: b.Format = "N2 "; break;
    case TAnsFormat::afN2C: b.Format = "N2C"; break;
    case TAnsFormat::afN16: b.Format = "N16"; break;
    case TAnsFormat::afN60: b.Format = "N60"; break;
    case TAnsFormat::afJpn: b.Format = "Jpn"; break;
    case TAnsFormat::afPar: b.Format = "%"; break;
    case TAnsFormat::afdB: b.Format = "dB"; break;
    case TAnsFormat::afFac: b.Format = "Fac"; break;
    case TAnsFormat::afUsr: b.Format = "Usr"; break;
    default: b.Format = "Non"; break;
    }
    b.Digits = std::to_string(calc.AnsLength());
    b.Hide0 = calc.AnsHide0();
    b.Auto = options.CalcAuto;
    b.Str = options.CalcStr;
    b.LogSelector = LogSelectorCaption(options);
    return b;
}

std::string LogSelectorCaption(const TCalcOptions& options) {
    if (!options.WindowLog) return "Off";
    switch (options.LogContent) {
    case TLogContent::lcAnsTable: return "Ans";
    case TLogContent::lcVariables: return "Var";
    case TLogContent::lcUserFuncs: return "UFun";
    case TLogContent::lcDefFile: return "Def";
    default: return "Step";
    }
}

void CycleAngleButton(TCalcOptions& options) {
    options.Angle = options.Angle == TAngleUnit::auDeg ? TAngleUnit::auRad : TAngleUnit::auDeg;
}

void CycleDbButton(TCalcOptions& options) {
    switch (options.Db) {
    case TdBUnit::dudB10: options.Db = TdBUnit::dudB20; break;
    case TdBUnit::dudB20: options.Db = TdBUnit::dudBm; break;
    case TdBUnit::dudBm: options.Db = TdBUnit::dudBu; break;
    default: options.Db = TdBUnit::dudB10; break;
    }
}

void CycleFormatButton(TCalcOptions& options) {
    switch (options.Format) {
    case TAnsFormat::afNon: options.Format = TAnsFormat::afJpn; break;
    case TAnsFormat::afJpn: options.Format = TAnsFormat::afEng; break;
    case TAnsFormat::afEng: options.Format = TAnsFormat::afExp; break;
    case TAnsFormat::afExp: options.Format = TAnsFormat::afFix; break;
    default: options.Format = TAnsFormat::afNon; break;
    }
}

void CycleLogSelector(TCalcOptions& options) {
    const std::string shown = LogSelectorCaption(options);
    if (shown == "Off") {
        options.WindowLog = true;
        options.LogContent = TLogContent::lcCalcLog;
    } else if (shown == "Step") {
        options.LogContent = TLogContent::lcVariables;
    } else if (shown == "Var") {
        options.LogContent = TLogContent::lcUserFuncs;
    } else {
        options.WindowLog = false;
    }
}

std::optional<int> DigitKeyLength(char key, bool shift, int current) noexcept {
    if (key == '-') return std::clamp(1 - current, -17, 18);
    if (key < '0' || key > '9') return std::nullopt;
    int d = key == '0' ? 10 : key - '0';
    if (shift) d += 10;
    d = std::min(d, 18);
    if (current <= 0) d = -d;
    return std::max(d, -17);
}

std::optional<int> PromptValue(std::string_view text, int lo, int hi, bool absolute) noexcept {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] =
        std::from_chars(text.data() + (!text.empty() && text.front() == '+'), end, value);
    if (text.empty() || ec == std::errc::invalid_argument || ptr != end) return std::nullopt;
    if (ec == std::errc::result_out_of_range) value = text.front() == '-' ? lo : hi;
    if (absolute && value < 0) value = -value;
    return static_cast<int>(std::clamp<long long>(value, lo, hi));
}

}  // namespace rekna
