// The process-wide number settings: arithmetic switches, input switches, units and answer options.
#pragma once

#include <cstdint>
#include <string>

namespace rekna {

// Answer formats of a real part.
enum class TAnsFormat : std::uint8_t {
    afEng,   // SI-prefix engineering
    afExp,   // exponent
    afFix,   // fixed
    afNon,   // general, no digit limit
    afN2,    // binary
    afN2C,   // two's-complement binary
    afN16,   // hexadecimal
    afN60,   // 60-base time or angle
    afJpn,   // Japanese digit groups
    afN10A,  // Japanese digit groups with all digits
    afPar,   // percent
    afdB,    // decibel
    afFac,   // prime factors
    afUsr,   // user format string
};

// Styles of 60-base answers.
enum class TAnsFormat60 : std::uint8_t {
    afN60T,   // H：M′S″
    afN60TJ,  // D日H時M分S秒
    afN60D,   // D°M′S″
    afN60DJ,  // D度M分S秒
};

enum class TCplxFormat : std::uint8_t { cReIm, cPolar };
enum class TAngleUnit : std::uint8_t { auRad, auDeg };
enum class TdBUnit : std::uint8_t { dudB10, dudB20, dudBm, dudBu };
enum class TTimUnit : std::uint8_t { tuDay, tuHou, tuMin, tuSec };

// Every calculation reads these; the engine component's properties and the frame's option
// actions write them. There is one set per process.
struct TNumberSettings {
    // Arithmetic
    bool Fractional = true;  // exact fraction arithmetic
    bool RoundFuzz = true;   // cut tiny error parts after every step
    TAngleUnit AngleUnit = TAngleUnit::auRad;

    // Literal input switches
    bool InpEng = true;         // SI prefixes accepted
    bool InpEngStrict = false;  // SI prefixes case-strict
    bool InpPercent = true;     // "%" accepted
    bool InpN10 = true;         // 京 兆 億 万 accepted
    bool InpN60 = true;         // 60-base accepted
    bool InpDb = true;          // "dB" accepted

    // Units
    TdBUnit DbUnit = TdBUnit::dudB20;
    TTimUnit TimUnit = TTimUnit::tuSec;

    // Answers
    TAnsFormat AnsFormat = TAnsFormat::afEng;
    TAnsFormat60 AnsFormat60 = TAnsFormat60::afN60D;
    TCplxFormat CplxFormat = TCplxFormat::cReIm;
    char ImagChar = 'i';
    int AnsLength = 6;  // clamped to -17..18 by its setters
    bool AnsHide0 = false;
    bool AnsEng0 = false;
    bool AnsEng1 = true;
    int AnsExpMin = -5;
    int AnsExpMax = 6;
    int AnsFixMin = -10;
    int AnsFixMax = 20;
    char AnsColChar = ',';  // '\b' turns grouping off
    int AnsColNon = 0;
    int AnsColExp = 0;
    int AnsColFix = 0;
    int AnsColN2 = 8;
    int AnsColN16 = 4;
    std::string UsrFormat = ",0.######";
    bool AnsN2Exp = false;   // binary exponent written in binary
    bool AnsN16Exp = false;  // hexadecimal exponent written in hexadecimal

    // Calculation log
    bool LogN16 = false;   // log values in hexadecimal
    bool LogFrac = false;  // log values as fractions

    // Every field takes part, so a new setting can never be left out of a comparison.
    friend bool operator==(const TNumberSettings&, const TNumberSettings&) = default;
};

inline TNumberSettings NumberSettings;

}  // namespace rekna
