// The frame's options applied to the engine, and the leading-character rule of calculation lines.
#include "frame/calc_options.h"

#include <algorithm>

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
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ') ++i;
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

}  // namespace rekna
