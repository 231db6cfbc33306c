// The option check states of the calculation frame, with their design defaults, and what they
// set in the engine.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "editor/store/umemo_wrap.h"
#include "numbers/number_settings.h"
#include "platform/color.h"

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

// The log pane's content modes.
enum class TLogContent : std::uint8_t {
    lcCalcLog,
    lcAnsTable,
    lcVariables,
    lcUserFuncs,
    lcDefFile
};

// The calc-bar label's format radio group.
enum class TCalcBarChoice : std::uint8_t { cbSet, cbNon, cbN2, cbN2C, cbN10, cbN16 };

// One class of the per-character colouring: the characters and their colour.
struct TCharColorClass {
    std::string Chars;
    TColor Color = clNone;
};

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

    // 画面
    bool WindowAns = true;
    bool WindowLog = false;
    TLogContent LogContent = TLogContent::lcCalcLog;
    bool WindowCalcBar = true;
    bool WindowCalcRun = true;  // the calc buttons on the bar
    bool WindowCalcEQ = false;  // the label shows the formula
    bool WindowCalcAns = true;  // the label shows the answer
    TCalcBarChoice CalcBarChoice = TCalcBarChoice::cbN10;

    // 設定: the editor's part
    bool AutoIndent = false;
    bool AutoKakko = false;
    bool LogHint = true;
    bool InputAssist = true;
    bool AutoDblMul = false;  // the memo turns "*" into "×"
    bool AutoDblDiv = false;  // the memo turns "/" into "÷"

    // 表示
    TWordWrapType WrapMode = TWordWrapType::wtNone;
    bool WrapBreak = false;  // 禁則処理
    bool ViewLine = true;    // the caret-row underline
    bool ViewBW = false;     // black and white
    bool ViewKakko = true;   // the caret's bracket pair stands out
    bool ViewColor = true;
    bool ViewMark = true;
    bool ViewEof = true;
    bool ViewCr = true;
    bool ViewTab = true;
    bool ViewDSpace = true;
    bool ViewKakkoH = false;  // brackets sized by depth
    int WrapWidth = 68;       // 2..255
    int RowPitch = 2;         // 1..10
    int TabStops = 8;         // 2..50
    int ScrollMargin = 1;     // 0..5
    std::string FontName = "IPAGothic";
    int FontSize = 11;

    // Kept for the settings file and the other commands that read them.
    std::array<int, 2> FillSpace{100, 100};
    bool EditMenu = false;
    bool IndentSelect = true, IndentArrow = true, IndentBS = true, IndentDel = true;
    int IndentChar = 0;  // 0 space, 1 Tab
    bool BoldReserved = true;
    bool CharColorOn = false;
    std::array<TCharColorClass, 4> CharColors = DefaultCharColors();
    int AnsWidth = 170;   // pixels; the answer pane at design
    int LogHeight = 120;  // pixels

    // Writes the options into the engine and the number settings, in the order of the
    // frame's option handler; clamps PendingAnsLength and reads the engine's value back.
    void ApplyToEngine(TVtCalc& calc);

    // The leading-character rule: which lines are calculation lines.
    [[nodiscard]] bool IsCalcLine(std::string_view line) const noexcept;

    // The calc-bar label's format as a number: 0 as in the answer pane, 1 general, 2 binary,
    // 3 two's complement, 4 Japanese digit groups (all digits), 5 hexadecimal.
    [[nodiscard]] int CalcBarFormat() const noexcept;
    // Brings the editor settings into their ranges: wrap width 2..255 (its absolute value), row
    // pitch 1..10, tab stops 2..50, scroll margin 0..5.
    void ClampEditorSettings() noexcept;
    // The memo's automatic "*" and "/" conversions: on while checked and enabled.
    [[nodiscard]] bool MemoDoubleMul() const noexcept { return AutoDblMul && DblByteMul; }
    [[nodiscard]] bool MemoDoubleDiv() const noexcept { return AutoDblDiv && DblByteDiv; }

    // The four character classes at creation: "+-=" red, the quote and "@^|~*/\!`<>'" blue,
    // digits and "." maroon, "eE&$" teal.
    [[nodiscard]] static std::array<TCharColorClass, 4> DefaultCharColors();
};

// The texts of the calc bar's option buttons, read back from the engine.
struct TCalcBarButtons {
    std::string Angle;        // "Rad" / "Deg"
    std::string Db;           // "dB10" / "dB20" / "dBm" / "dBu"
    std::string Format;       // "Eng", "Exp", ... "Non"
    std::string Digits;       // the display digits
    bool Hide0 = false;       // the "1.0" button is down
    bool Auto = false;        // the "Auto" button is down
    bool Str = false;         // the "Str" button is down
    std::string LogSelector;  // "Off", "Step", "Var", "UFun", "Ans", "Def"
};
[[nodiscard]] TCalcBarButtons CalcBarButtons(const TCalcOptions& options, const TVtCalc& calc);
// The log selector's caption: "Off" without the log pane, else by the log content.
[[nodiscard]] std::string LogSelectorCaption(const TCalcOptions& options);

// The calc bar's cycling buttons: each sets the options for its next state.
void CycleAngleButton(TCalcOptions& options);
void CycleDbButton(TCalcOptions& options);
void CycleFormatButton(TCalcOptions& options);
void CycleLogSelector(TCalcOptions& options);

// The display digits an answer-pane digit key sets, from the key ('0'..'9' or '-'), Shift and
// the current setting; nothing for another key.
[[nodiscard]] std::optional<int> DigitKeyLength(char key, bool shift, int current) noexcept;

// A prompt's answer: the number clamped to lo..hi (its absolute value when absolute), or
// nothing when the text is not a whole number.
[[nodiscard]] std::optional<int> PromptValue(std::string_view text, int lo, int hi,
                                             bool absolute = false) noexcept;

// The engine's design values in the frame: AnsFixMax 18 and the user format ",0.######".
void ApplyFrameDesign(TVtCalc& calc);

}  // namespace rekna
