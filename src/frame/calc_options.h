// The option check states of the calculation frame, with their design defaults, and what they
// set in the engine.
#pragma once

#include <string_view>

#include "numbers/number_settings.h"

namespace rekna {

class TVtCalc;

// The complex-form radio group: "i", "j" or polar.
enum class TCplxChoice : std::uint8_t { ccI, ccJ, ccPolar };

// Which Ans a run starts from: the previous row's answer, or the last calculated one.
enum class TAnsRule : std::uint8_t { arRow, arLast };

// The range a run covers.
enum class TCalcRangeKind : std::uint8_t {
    rkAll = 0,
    rkAllEquivalent = 1,
    rkToCaret = 2,
    rkCaretRows = 3,
    rkFromCaret = 4,
    rkWriteAll = 5,
};

// The log-policy radio group: which lines keep a log, and what a caret move does.
enum class TLogPolicy : std::uint8_t { lpNone, lpHold, lpCalcAll, lpCalcStop, lpCalcCaret };

struct TCalcOptions {
    // 結果
    TAnsFormat Format = TAnsFormat::afNon;  // ActionSetAnsGen is checked at design
    TAnsFormat60 Format60 = TAnsFormat60::afN60TJ;
    TCplxChoice Complex = TCplxChoice::ccI;
    bool Hide0 = false;
    bool Eng0 = false;
    bool Eng1 = false;
    bool ShowErrors = false;   // エラーを表示(&V)
    bool ShowControl = false;  // 制御コードを表示(&K)
    bool N2Exp = false;
    bool N16Exp = false;
    int PendingAnsLength = 5;

    // 設定
    bool CalcAuto = true;
    // The auto-calculation range: rkAll, rkAllEquivalent, rkToCaret, rkCaretRows, rkFromCaret.
    TCalcRangeKind AutoRange = TCalcRangeKind::rkAll;
    TLogPolicy LogPolicy = TLogPolicy::lpHold;
    bool CalcStr = false;  // 行頭文字で計算行を判定(&Str)
    bool CalcTab = true;
    bool CalcSSp = true;
    bool CalcLSp = false;
    bool CalcEtc = false;
    TAngleUnit Angle = TAngleUnit::auRad;
    bool Frac = true;
    bool Fuzz = true;
    bool LogN16 = false;
    bool LogFrac = false;
    TdBUnit Db = TdBUnit::dudB20;
    TAnsRule AnsRule = TAnsRule::arRow;
    bool VbScript = true;
    TTimUnit Tim = TTimUnit::tuSec;
    bool DblByte = false;     // 全角計算式も計算
    bool DblByteMul = false;  // 全角×(掛け算)を使用
    bool DblByteDiv = false;  // 全角÷(割り算)を使用

    // 入力
    bool InpEng = true;
    bool InpPar = true;
    bool InpN10 = true;
    bool InpN60 = true;
    bool InpDb = true;
    bool InpEngSL = false;

    // Writes the options into the engine and the number settings, in the order of the
    // frame's option handler; clamps PendingAnsLength and reads the engine's value back.
    void ApplyToEngine(TVtCalc& calc);

    // The leading-character rule: which lines are calculation lines.
    [[nodiscard]] bool IsCalcLine(std::string_view line) const noexcept;
};

// The engine's design values in the frame: AnsFixMax 18 and the user format ",0.######".
void ApplyFrameDesign(TVtCalc& calc);

}  // namespace rekna
