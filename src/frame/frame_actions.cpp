// The frame's action table and the flag strings of the settings file built from it.
#include "frame/frame_actions.h"

#include <array>

namespace rekna {

namespace {

bool Hide0Enabled(const TCalcOptions& o) {
    switch (o.Format) {
    case TAnsFormat::afEng:
    case TAnsFormat::afExp:
    case TAnsFormat::afFix:
    case TAnsFormat::afJpn:
    case TAnsFormat::afN2:
    case TAnsFormat::afN2C:
    case TAnsFormat::afN16:
    case TAnsFormat::afN60:
    case TAnsFormat::afPar:
    case TAnsFormat::afdB: return true;
    default: return false;
    }
}

bool LengthEnabled(const TCalcOptions& o) {
    switch (o.Format) {
    case TAnsFormat::afEng:
    case TAnsFormat::afExp:
    case TAnsFormat::afFix:
    case TAnsFormat::afJpn:
    case TAnsFormat::afN60:
    case TAnsFormat::afPar:
    case TAnsFormat::afdB: return true;
    default: return false;
    }
}

// Radio groups: 1 answer format, 2 complex form, 3 60-base style, 4 log content, 5 label format,
// 6 auto-calculation range, 7 angle unit, 8 log policy, 9 decibel unit, 10 Ans rule, 11 time base,
// 12 wrap mode.
const TFrameAction kActions[] = {
    {"ActionEditAC", "計算", "オールクリア(&AC)",
     "メモ、計算結果、変数とユーザー定義関数をすべて消去", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditMC", "計算", "メモリークリア(&MC)", "変数とユーザー定義関数を消去", "Ctrl+E",
     TActionHandler::ahCommand, TOptionBinding{}, 0, nullptr},
    {"ActionEditRun", "計算", "全行計算実行(&Run)", "", "Ctrl+R", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditRunStop", "計算", "編集行まで計算実行(&T)", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditRunRow", "計算", "編集行のみ計算実行(&Y)", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditRunEnd", "計算", "編集行から計算実行(&U)", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditAns", "計算", "計算結果記入(A&ns)", "", "Ctrl+Return", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditAnsDel", "計算", "記入結果削除(&D)", "", "Shift+Ctrl+Return",
     TActionHandler::ahCommand, TOptionBinding{}, 0, nullptr},
    {"ActionEditAnsAll", "計算", "計算結果を全行記入(&Z)", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditAnsDelAll", "計算", "記入結果を全行削除(&E)", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionSetAnsLength", "結果", "表示桁数を設定(&L)...", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, LengthEnabled},
    {"ActionSetAnsHide0", "結果", "短く表示(&S)", "末尾の0と小数点を表示しない", "",
     TActionHandler::ahCalcMode, FlagOption<&TCalcOptions::Hide0>(), 0, Hide0Enabled},
    {"ActionSetAnsEng1", "結果", "Eng形式 123m → 0.123(&1)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::Eng1>(), 0,
     [](const TCalcOptions& o) { return o.Format == TAnsFormat::afEng; }},
    {"ActionSetAnsEng0", "結果", "Eng形式 102u → 0.102m(&0)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::Eng0>(), 0,
     [](const TCalcOptions& o) { return o.Format == TAnsFormat::afEng; }},
    {"ActionSetAnsErr", "結果", "エラーを表示(&V)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::ShowErrors>(), 0, nullptr},
    {"ActionSetAnsCont", "結果", "制御コードを表示(&K)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::ShowControl>(), 0, nullptr},
    {"ActionSetAnsUsrFormat", "結果", "ユーザー指定書式(&Y)...", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionSetAnsEng", "結果", "補助単位形式(Eng)(&E)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afEng, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsExp", "結果", "指数形式(Exp)(&X)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afExp, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsFix", "結果", "小数形式(Fix)(&F)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afFix, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsGen", "結果", "汎用形式(Non)(&G)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afNon, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsJpn", "結果", "京兆億万形式(Jpn)(&J)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afJpn, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsN2", "結果", "2進数形式(N2)(&2)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afN2, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsN2C", "結果", "2進補数形式(N2C)(&C)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afN2C, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsN16", "結果", "16進数形式(N16)(&H)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afN16, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsN60", "結果", "60進数形式(N60)(&6)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afN60, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsPar", "結果", "百分率形式(%)(&P)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afPar, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsDb", "結果", "デシベル形式(dB)(&D)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afdB, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsUsr", "結果", "ユーザー指定書式形式(Usr)(&U)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afUsr, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsFac", "結果", "素因数分解形式(Fac)(&A)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format, TAnsFormat::afFac, TAnsFormat::afNon>(), 1, nullptr},
    {"ActionSetAnsI", "結果", "直交座標(X+Yi)(&I)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Complex, TCplxChoice::ccI, TCplxChoice::ccI>(), 2, nullptr},
    {"ActionSetAnsJ", "結果", "直交座標(X+Yj)(&Q)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Complex, TCplxChoice::ccJ, TCplxChoice::ccI>(), 2, nullptr},
    {"ActionSetCplxPolar", "結果", "極座標(A@P)(&@)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Complex, TCplxChoice::ccPolar, TCplxChoice::ccI>(), 2, nullptr},
    {"ActionSetAnsN2Exp", "結果", "2進の指数部も2進(&B)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::N2Exp>(), 0, nullptr},
    {"ActionSetAnsN16Exp", "結果", "16進の指数部も16進(&Z)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::N16Exp>(), 0, nullptr},
    {"ActionSetAnsTim", "結果", "時間( ：′″)(&W)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format60, TAnsFormat60::afN60T, TAnsFormat60::afN60TJ>(), 3,
     nullptr},
    {"ActionSetAnsTimJ", "結果", "時間(日時分秒)(&N)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format60, TAnsFormat60::afN60TJ, TAnsFormat60::afN60TJ>(), 3,
     nullptr},
    {"ActionSetAnsDeg", "結果", "角度( °′″)(&R)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format60, TAnsFormat60::afN60D, TAnsFormat60::afN60TJ>(), 3,
     nullptr},
    {"ActionSetAnsDegJ", "結果", "角度(度分秒)(&T)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Format60, TAnsFormat60::afN60DJ, TAnsFormat60::afN60TJ>(), 3,
     nullptr},
    {"ActionWindowAns", "画面", "計算結果（画面横分割）(&A)", "", "", TActionHandler::ahWindow,
     FlagOption<&TCalcOptions::WindowAns>(), 0, nullptr},
    {"ActionWindowLog", "画面", "計算過程（画面縦分割）(&L)", "", "", TActionHandler::ahWindow,
     FlagOption<&TCalcOptions::WindowLog>(), 0, nullptr},
    {"ActionWindowCalcLog", "画面", "計算過程(&S)", "", "", TActionHandler::ahWindow,
     ChoiceOption<&TCalcOptions::LogContent, TLogContent::lcCalcLog, TLogContent::lcCalcLog>(), 4,
     nullptr},
    {"ActionWindowAnsTable", "画面", "計算結果をマルチ表示(&M)", "", "", TActionHandler::ahWindow,
     ChoiceOption<&TCalcOptions::LogContent, TLogContent::lcAnsTable, TLogContent::lcCalcLog>(), 4,
     nullptr},
    {"ActionWindowVar", "画面", "変数一覧(&V)", "", "", TActionHandler::ahWindow,
     ChoiceOption<&TCalcOptions::LogContent, TLogContent::lcVariables, TLogContent::lcCalcLog>(), 4,
     nullptr},
    {"ActionWindowUserFunc", "画面", "ユーザー定義関数一覧(&F)", "", "", TActionHandler::ahWindow,
     ChoiceOption<&TCalcOptions::LogContent, TLogContent::lcUserFuncs, TLogContent::lcCalcLog>(), 4,
     nullptr},
    {"ActionWindowDefFile", "画面", "初期設定ファイル(&Ini)", "", "", TActionHandler::ahWindow,
     ChoiceOption<&TCalcOptions::LogContent, TLogContent::lcDefFile, TLogContent::lcCalcLog>(), 4,
     nullptr},
    {"ActionWindowCalcBar", "画面", "計算バー(&B)", "", "", TActionHandler::ahWindow,
     FlagOption<&TCalcOptions::WindowCalcBar>(), 0, nullptr},
    {"ActionWindowCalcRun", "画面", "計算ボタン(&R)", "", "", TActionHandler::ahWindow,
     FlagOption<&TCalcOptions::WindowCalcRun>(), 0,
     [](const TCalcOptions& o) { return o.WindowCalcBar; }},
    {"ActionWindowCalcEQ", "画面", "計算式(&Q)", "", "", TActionHandler::ahWindow,
     FlagOption<&TCalcOptions::WindowCalcEQ>(), 0, nullptr},
    {"ActionWindowCalcAns", "画面", "計算結果(&E)", "", "", TActionHandler::ahWindow,
     FlagOption<&TCalcOptions::WindowCalcAns>(), 0, nullptr},
    {"ActionWindowCalcAnsSet", "画面", "計算結果の指定形式と同じ(&0)", "", "",
     TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::CalcBarChoice, TCalcBarChoice::cbSet, TCalcBarChoice::cbN16>(), 5,
     nullptr},
    {"ActionWindowCalcAnsNon", "画面", "汎用形式に固定(&1)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::CalcBarChoice, TCalcBarChoice::cbNon, TCalcBarChoice::cbN16>(), 5,
     nullptr},
    {"ActionWindowCalcAnsN2", "画面", "2進形式に固定(&2)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::CalcBarChoice, TCalcBarChoice::cbN2, TCalcBarChoice::cbN16>(), 5,
     nullptr},
    {"ActionWindowCalcAnsN2C", "画面", "2進補数形式に固定(&3)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::CalcBarChoice, TCalcBarChoice::cbN2C, TCalcBarChoice::cbN16>(), 5,
     nullptr},
    {"ActionWindowCalcAnsN16", "画面", "16進形式に固定(&5)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::CalcBarChoice, TCalcBarChoice::cbN16, TCalcBarChoice::cbN16>(), 5,
     nullptr},
    {"ActionWindowCalcAnsN10", "画面", "10進形式に固定(&4)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::CalcBarChoice, TCalcBarChoice::cbN10, TCalcBarChoice::cbN16>(), 5,
     nullptr},
    {"ActionSetCalcAuto", "設定", "自動計算(A&uto)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::CalcAuto>(), 0, nullptr},
    {"ActionSetCalcAutoAll", "設定", "全行計算(&A)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::AutoRange, TCalcRangeKind::rkAll, TCalcRangeKind::rkAll>(), 6,
     nullptr},
    {"ActionSetCalcAutoAllEv", "設定", "全行相当計算(&V)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::AutoRange, TCalcRangeKind::rkAllEquivalent,
                  TCalcRangeKind::rkAll>(),
     6, nullptr},
    {"ActionSetCalcAutoStop", "設定", "編集行まで計算(&F)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::AutoRange, TCalcRangeKind::rkToCaret, TCalcRangeKind::rkAll>(), 6,
     nullptr},
    {"ActionSetCalcAutoRow", "設定", "編集行のみ計算(&R)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::AutoRange, TCalcRangeKind::rkCaretRows, TCalcRangeKind::rkAll>(),
     6, nullptr},
    {"ActionSetCalcAutoEnd", "設定", "編集行から計算(&E)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::AutoRange, TCalcRangeKind::rkFromCaret, TCalcRangeKind::rkAll>(),
     6, nullptr},
    {"ActionSetCalcStr", "設定", "行頭文字で計算行を判定(&Str)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::CalcStr>(), 0, nullptr},
    {"ActionSetCalcTab", "設定", "Tabで始まる行を計算(&T)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::CalcTab>(), 0, [](const TCalcOptions& o) { return o.CalcStr; }},
    {"ActionSetCalcSSp", "設定", "半角スペースで始まる行を計算(&S)", "", "",
     TActionHandler::ahCalcMode, FlagOption<&TCalcOptions::CalcSSp>(), 0,
     [](const TCalcOptions& o) { return o.CalcStr; }},
    {"ActionSetCalcLSp", "設定", "全角スペースで始まる行を計算(&Z)", "", "",
     TActionHandler::ahCalcMode, FlagOption<&TCalcOptions::CalcLSp>(), 0,
     [](const TCalcOptions& o) { return o.CalcStr; }},
    {"ActionSetCalcEtc", "設定", "その他の文字で始まる行を計算(&O)", "", "",
     TActionHandler::ahCalcMode, FlagOption<&TCalcOptions::CalcEtc>(), 0,
     [](const TCalcOptions& o) { return o.CalcStr; }},
    {"ActionSetDeg", "設定", "角度単位を度(Deg)(&D)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Angle, TAngleUnit::auDeg, TAngleUnit::auRad>(), 7, nullptr},
    {"ActionSetRad", "設定", "角度単位をラジアン(Rad)(&N)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Angle, TAngleUnit::auRad, TAngleUnit::auRad>(), 7, nullptr},
    {"ActionSetAutoIndent", "設定", "オートインデント(&I)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::AutoIndent>(), 0, nullptr},
    {"ActionSetAutoKakko", "設定", "自動括弧補完(&K)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::AutoKakko>(), 0, nullptr},
    {"ActionSetCalcFrac", "設定", "内部分数計算(&F)", "内部分数計算を使用し、計算誤差を低減する",
     "", TActionHandler::ahCalcMode, FlagOption<&TCalcOptions::Frac>(), 0, nullptr},
    {"ActionSetCalcFuzz", "設定", "微小誤差を切り捨て(&X)", "複素計算の微小誤差を切り捨てる", "",
     TActionHandler::ahCalcMode, FlagOption<&TCalcOptions::Fuzz>(), 0, nullptr},
    {"ActionSetLogNone", "設定", "行移動で計算過程を更新しない(&0)", "", "",
     TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::LogPolicy, TLogPolicy::lpNone, TLogPolicy::lpNone>(), 8, nullptr},
    {"ActionSetLogHold", "設定", "全行保管=再計算しない(&S)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::LogPolicy, TLogPolicy::lpHold, TLogPolicy::lpNone>(), 8, nullptr},
    {"ActionSetLogCalcAll", "設定", "行移動で全行を再計算(&1)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::LogPolicy, TLogPolicy::lpCalcAll, TLogPolicy::lpNone>(), 8,
     nullptr},
    {"ActionSetLogCalcStop", "設定", "行移動でキャレット行まで再計算(&2)", "", "",
     TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::LogPolicy, TLogPolicy::lpCalcStop, TLogPolicy::lpNone>(), 8,
     nullptr},
    {"ActionSetLogCalcCaret", "設定", "行移動でキャレット行だけ再計算(&3)", "", "",
     TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::LogPolicy, TLogPolicy::lpCalcCaret, TLogPolicy::lpNone>(), 8,
     nullptr},
    {"ActionSetLogHint", "設定", "計算過程のヒント表示(&H)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::LogHint>(), 0, nullptr},
    {"ActionSetLogN16", "設定", "計算過程を16進数表示(&6)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::LogN16>(), 0, nullptr},
    {"ActionSetLogFrac", "設定", "計算過程を分数表示(&/)", "分数表示(内部分数計算時のみ)", "",
     TActionHandler::ahCalcMode, FlagOption<&TCalcOptions::LogFrac>(), 0, nullptr},
    {"ActionSetDb10", "設定", "デシベル単位 dB10(&4)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Db, TdBUnit::dudB10, TdBUnit::dudB20>(), 9, nullptr},
    {"ActionSetDb20", "設定", "デシベル単位 dB20(&5)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Db, TdBUnit::dudB20, TdBUnit::dudB20>(), 9, nullptr},
    {"ActionSetDbm", "設定", "デシベル単位 dBm(&M)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Db, TdBUnit::dudBm, TdBUnit::dudB20>(), 9, nullptr},
    {"ActionSetDbu", "設定", "デシベル単位 dBu(&U)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Db, TdBUnit::dudBu, TdBUnit::dudB20>(), 9, nullptr},
    {"ActionSetAnsRow", "設定", "前行の計算結果を使用(&R)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::AnsRule, TAnsRule::arRow, TAnsRule::arRow>(), 10, nullptr},
    {"ActionSetAnsLast", "設定", "直前の計算結果を使用(&L)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::AnsRule, TAnsRule::arLast, TAnsRule::arRow>(), 10, nullptr},
    {"ActionSetVbScript", "設定", "VBScriptを使用する(&B)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::VbScript>(), 0, nullptr},
    {"ActionSetTimDay", "設定", "60進の基準を1日(&7)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Tim, TTimUnit::tuDay, TTimUnit::tuSec>(), 11, nullptr},
    {"ActionSetTimHou", "設定", "60進の基準を1時間/1度(&8)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Tim, TTimUnit::tuHou, TTimUnit::tuSec>(), 11, nullptr},
    {"ActionSetTimMin", "設定", "60進の基準を1分(&9)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Tim, TTimUnit::tuMin, TTimUnit::tuSec>(), 11, nullptr},
    {"ActionSetTimSec", "設定", "60進の基準を1秒(&W)", "", "", TActionHandler::ahCalcMode,
     ChoiceOption<&TCalcOptions::Tim, TTimUnit::tuSec, TTimUnit::tuSec>(), 11, nullptr},
    {"ActionSetInputAssist", "設定", "Ctrl+Spaceで入力補完(&P)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::InputAssist>(), 0, nullptr},
    {"ActionSetDblByte", "設定", "全角計算式も計算", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::DblByte>(), 0, nullptr},
    {"ActionSetAutoDblMul", "設定", "*を×に自動変換", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::AutoDblMul>(), 0,
     [](const TCalcOptions& o) { return o.DblByteMul; }},
    {"ActionSetAutoDblDiv", "設定", "/を÷に自動変換", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::AutoDblDiv>(), 0,
     [](const TCalcOptions& o) { return o.DblByteDiv; }},
    {"ActionSetDblByteDiv", "設定", "全角÷(割り算)を使用", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::DblByteDiv>(), 0, nullptr},
    {"ActionSetDblByteMul", "設定", "全角×(掛け算)を使用", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::DblByteMul>(), 0, nullptr},
    {"ActionValInpEng", "入力", "Eng 記号(補助単位)を使用(&E)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::InpEng>(), 0, nullptr},
    {"ActionValInpPar", "入力", "% 記号(百分率)を使用(&P)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::InpPar>(), 0, nullptr},
    {"ActionValInpN10", "入力", "日本語桁文字(京兆億万)を使用(&J)", "", "",
     TActionHandler::ahCalcMode, FlagOption<&TCalcOptions::InpN10>(), 0, nullptr},
    {"ActionValInpN60", "入力", "60進(日時分秒,度)を使用(&6)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::InpN60>(), 0, nullptr},
    {"ActionValInpDb", "入力", "dB 記号(デシベル)を使用(&D)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::InpDb>(), 0, nullptr},
    {"ActionValInpEngSL", "入力", "Eng記号の大小文字を区別(&S)", "", "", TActionHandler::ahCalcMode,
     FlagOption<&TCalcOptions::InpEngSL>(), 0, [](const TCalcOptions& o) { return o.InpEng; }},
    {"ActionViewWrap0", "表示", "折り返さない(&0)", "", "", TActionHandler::ahWrap,
     ChoiceOption<&TCalcOptions::WrapMode, TWordWrapType::wtNone, TWordWrapType::wtNone>(), 12,
     nullptr},
    {"ActionViewWrapN", "表示", "指定文字数で折返し(&N)", "", "", TActionHandler::ahWrap,
     ChoiceOption<&TCalcOptions::WrapMode, TWordWrapType::wtCount, TWordWrapType::wtNone>(), 12,
     nullptr},
    {"ActionViewWrapR", "表示", "右端で折返し(&R)", "", "", TActionHandler::ahWrap,
     ChoiceOption<&TCalcOptions::WrapMode, TWordWrapType::wtRight, TWordWrapType::wtNone>(), 12,
     nullptr},
    {"ActionViewWrapPaper", "表示", "用紙端で折返し(&P)", "", "", TActionHandler::ahWrap,
     ChoiceOption<&TCalcOptions::WrapMode, TWordWrapType::wtPaper, TWordWrapType::wtNone>(), 12,
     nullptr},
    {"ActionViewWrapCount", "表示", "折り返し位置を設定(&C)...", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionViewWrapBreak", "表示", "禁則処理(&K)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::WrapBreak>(), 0, nullptr},
    {"ActionViewFont", "表示", "フォント(&F)...", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionViewRowPich", "表示", "行間スペースを設定(&S)...", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionViewTabStops", "表示", "Tab位置を設定(&T)...", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionViewScroll", "表示", "スクロールマージンを設定(&M)...", "", "",
     TActionHandler::ahCommand, TOptionBinding{}, 0, nullptr},
    {"ActionViewLine", "表示", "キャレット行に下線(&U)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::ViewLine>(), 0, nullptr},
    {"ActionViewBW", "表示", "白黒表示(&W)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::ViewBW>(), 0, nullptr},
    {"ActionViewKakko", "表示", "括弧強調(&B)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::ViewKakko>(), 0, nullptr},
    {"ActionViewColor", "表示", "色分け表示(&O)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::ViewColor>(), 0, nullptr},
    {"ActionViewMark", "表示", "特殊記号表示(&G)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::ViewMark>(), 0, nullptr},
    {"ActionViewEof", "表示", "[EOF]を表示(&E)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::ViewEof>(), 0, nullptr},
    {"ActionViewCr", "表示", "改行を表示(&L)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::ViewCr>(), 0, nullptr},
    {"ActionViewTab", "表示", "Tabを表示(&I)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::ViewTab>(), 0, nullptr},
    {"ActionViewDSpace", "表示", "全角スペースを表示(&Z)", "", "", TActionHandler::ahMemoMode,
     FlagOption<&TCalcOptions::ViewDSpace>(), 0, nullptr},
    {"ActionViewKakkoH", "表示", "計算括弧の大きさを自動調整(&H)", "", "",
     TActionHandler::ahMemoMode, FlagOption<&TCalcOptions::ViewKakkoH>(), 0, nullptr},
    {"ActionEditCopyAns", "編集", "計算結果をコピー", "", "Ctrl+Q", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditCopyLog", "編集", "計算過程をコピー", "", "Ctrl+W", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditCopyF", "編集", "整形コピー(&N)", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionEditPastCalc", "編集", "数式変換貼り付け", "", "Ctrl+Alt+C", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionSortValUP", "編集", "行をソート(計算結果の昇順)", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionSortValDN", "編集", "行をソート(計算結果の降順)", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionFileOpen", "ファイル", "開く(&O)...", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionFileOpenAdd", "ファイル", "ファイルを開いて下に追加(&D)...", "", "",
     TActionHandler::ahCommand, TOptionBinding{}, 0, nullptr},
    {"ActionFileSave", "ファイル", "上書き保存(&S)", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
    {"ActionFileSaveAs", "ファイル", "名前を付けて保存(&A)...", "", "", TActionHandler::ahCommand,
     TOptionBinding{}, 0, nullptr},
};

constexpr std::array<std::string_view, 8> kCategories = {"計算", "結果", "画面", "設定",
                                                         "入力", "表示", "編集", "ファイル"};

}  // namespace

std::span<const TFrameAction> FrameActions() noexcept {
    return kActions;
}

const TFrameAction* FindFrameAction(std::string_view name) noexcept {
    for (const TFrameAction& a : kActions) {
        if (a.Name == name) return &a;
    }
    return nullptr;
}

std::span<const std::string_view> FrameActionCategories() noexcept {
    return kCategories;
}

std::string StripAccelerator(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            out += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            out += '&';
            ++i;
        }
    }
    return out;
}

std::string OptionFlags(const TCalcOptions& options, std::span<const std::string_view> actions) {
    std::string out;
    for (const std::string_view name : actions) {
        const TFrameAction* a = FindFrameAction(name);
        out += a && a->Option.Checkable() && a->Option.Get(options) ? '1' : '0';
    }
    return out;
}

void ApplyOptionFlags(TCalcOptions& options, std::span<const std::string_view> actions,
                      std::string_view digits) {
    for (std::size_t i = 0; i < actions.size() && i < digits.size(); ++i) {
        const TFrameAction* a = FindFrameAction(actions[i]);
        if (!a || !a->Option.Checkable() || (digits[i] != '0' && digits[i] != '1')) continue;
        a->Option.Set(options, digits[i] == '1');
    }
}

}  // namespace rekna
