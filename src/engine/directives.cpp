// The directive table: which answer format or complex form each control bit selects.
#include "engine/directives.h"

namespace rekna {

namespace {

struct TFormatBit {
    int Bit;
    TAnsFormat Format;
};

constexpr TFormatBit kFormatBits[] = {
    {cbEng, TAnsFormat::afEng}, {cbExp, TAnsFormat::afExp}, {cbFix, TAnsFormat::afFix},
    {cbNon, TAnsFormat::afNon}, {cbN2, TAnsFormat::afN2},   {cbN2C, TAnsFormat::afN2C},
    {cbN16, TAnsFormat::afN16}, {cbN10, TAnsFormat::afJpn}, {cbJpn, TAnsFormat::afJpn},
    {cbN60, TAnsFormat::afN60}, {cbTim, TAnsFormat::afN60}, {cbFac, TAnsFormat::afFac},
    {cbPar, TAnsFormat::afPar}, {cbdB, TAnsFormat::afdB},   {cbUsr, TAnsFormat::afUsr},
};

}  // namespace

void ApplyDisplayProps(const TDisplayProps& props) noexcept {
    NumberSettings.AnsFormat = props.AnsFormat;
    NumberSettings.AnsFormat60 = props.AnsFormat60;
    NumberSettings.CplxFormat = props.CplxFormat;
    NumberSettings.ImagChar = props.ImagChar;
}

void ApplyDirectives(TControlMask mask, const TDisplayProps& props) noexcept {
    if (mask == 0) return;
    for (const auto& f : kFormatBits) {
        if (mask & ControlBit(f.Bit)) NumberSettings.AnsFormat = f.Format;
    }
    if (mask & ControlBit(cbPolar)) NumberSettings.CplxFormat = TCplxFormat::cPolar;
    if (mask & ControlBit(cbI)) {
        NumberSettings.CplxFormat = TCplxFormat::cReIm;
        NumberSettings.ImagChar = 'i';
    }
    if (mask & ControlBit(cbJ)) {
        NumberSettings.CplxFormat = TCplxFormat::cReIm;
        NumberSettings.ImagChar = 'j';
    }
    if (mask & ControlBit(cbEnd)) ApplyDisplayProps(props);
}

}  // namespace rekna
