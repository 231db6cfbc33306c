// The options dialog's pages as data, and the copying of a page's settings.
#include "options/options_model.h"

#include <algorithm>

#include "engine/vt_calc.h"
#include "frame/frame_actions.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

using P = TOptionPage;

constexpr TOptionItem kCalcAuto[] = {{"編集により自動計算(Auto)", "ActionSetCalcAuto"}};
constexpr TOptionItem kCalcRange[] = {{"全行計算", "ActionSetCalcAutoAll"},
                                      {"全行相当を計算", "ActionSetCalcAutoAllEv"},
                                      {"編集行まで計算", "ActionSetCalcAutoStop"},
                                      {"編集行のみ計算", "ActionSetCalcAutoRow"},
                                      {"編集行から計算", "ActionSetCalcAutoEnd"}};
constexpr TOptionItem kCalcLines[] = {{"Tabで始まる行を計算", "ActionSetCalcTab"},
                                      {"半角スペースで始まる行を計算", "ActionSetCalcSSp"},
                                      {"全角スペースで始まる行を計算", "ActionSetCalcLSp"},
                                      {"その他の文字で始まる行を計算", "ActionSetCalcEtc"},
                                      {"行頭文字で判定(Str)", "ActionSetCalcStr"}};
constexpr TOptionItem kPrecision[] = {
    {"複素計算の微小誤差を切り捨てる", "ActionSetCalcFuzz"},
    {"内部分数計算を使用し、計算誤差を低減する", "ActionSetCalcFrac"}};
constexpr TOptionItem kAngle[] = {{"度", "ActionSetDeg"}, {"ラジアン", "ActionSetRad"}};
constexpr TOptionItem kDb[] = {{"dB10", "ActionSetDb10"},
                               {"dB20", "ActionSetDb20"},
                               {"dBm", "ActionSetDbm"},
                               {"dBu", "ActionSetDbu"}};
constexpr TOptionItem kTim[] = {{"1日基準", "ActionSetTimDay"},
                                {"1時間/1度基準", "ActionSetTimHou"},
                                {"1分基準", "ActionSetTimMin"},
                                {"1秒基準", "ActionSetTimSec"}};
constexpr TOptionItem kDblByte[] = {{"全角計算式も計算", "ActionSetDblByte"},
                                    {"×(掛け算)を使用", "ActionSetDblByteMul"},
                                    {"÷(割り算)を使用", "ActionSetDblByteDiv"}};
constexpr TOptionItem kAns[] = {{"前行の計算結果を使用", "ActionSetAnsRow"},
                                {"直前の計算結果を使用", "ActionSetAnsLast"}};
constexpr TOptionItem kInput[] = {{"Eng 記号(補助単位)を使用", "ActionValInpEng"},
                                  {"% 記号(百分率)を使用", "ActionValInpPar"},
                                  {"日本語桁文字(京兆億万)を使用", "ActionValInpN10"},
                                  {"60進(日時分秒,度)を使用", "ActionValInpN60"},
                                  {"Eng記号の大小文字を区別", "ActionValInpEngSL"},
                                  {"dB 記号(デシベル)を使用", "ActionValInpDb"}};
constexpr TOptionItem kGraph[] = {{"メモの計算式を最適化する", "ActionSetGraphTune"},
                                  {"メモの計算式を使用する", "ActionSetGraphCalcMemo"},
                                  {"キャレット行まで", "ActionSetGraphCalcToCaret"}};
constexpr TOptionItem kScript[] = {{"VBScriptを使用する", "ActionSetVbScript"}};

constexpr TOptionItem kFormat[] = {
    {"汎用形式(Non)", "ActionSetAnsGen"},        {"京兆億万形式(Jpn)", "ActionSetAnsJpn"},
    {"補助単位形式(Eng)", "ActionSetAnsEng"},    {"指数形式(Exp)", "ActionSetAnsExp"},
    {"小数形式(Fix)", "ActionSetAnsFix"},        {"百分率形式(%)", "ActionSetAnsPar"},
    {"デシベル形式(dB)", "ActionSetAnsDb"},      {"2進数形式(N2)", "ActionSetAnsN2"},
    {"2進補数形式(N2C)", "ActionSetAnsN2C"},     {"16進数形式(N16)", "ActionSetAnsN16"},
    {"60進数形式(N60)", "ActionSetAnsN60"},      {"素因数分解形式(Fac)", "ActionSetAnsFac"},
    {"ユーザー指定書式(Usr)", "ActionSetAnsUsr"}};
constexpr TOptionItem kN60[] = {{"時間(日時分秒)", "ActionSetAnsTimJ"},
                                {"時間( ：′″)", "ActionSetAnsTim"},
                                {"角度(度分秒)", "ActionSetAnsDegJ"},
                                {"角度( °′″)", "ActionSetAnsDeg"}};
constexpr TOptionItem kExpOptions[] = {{"16進の指数部も16進", "ActionSetAnsN16Exp"},
                                       {"2進の指数部も2進", "ActionSetAnsN2Exp"}};
constexpr TOptionItem kHide0[] = {{"短く表示", "ActionSetAnsHide0"}};
constexpr TOptionItem kCplx[] = {{"直交座標(X+Yi)", "ActionSetAnsI"},
                                 {"直交座標(X+Yj)", "ActionSetAnsJ"},
                                 {"極座標(A@P)", "ActionSetCplxPolar"}};
constexpr TOptionItem kEng[] = {{"102u → 0.123m", "ActionSetAnsEng0"},
                                {"123m → 0.23", "ActionSetAnsEng1"}};
constexpr TOptionItem kShow[] = {{"計算エラーを表示", "ActionSetAnsErr"},
                                 {"制御コードを表示", "ActionSetAnsCont"}};

constexpr TOptionItem kToolBar[] = {{"ツールバー", "ActionViewTool"}};
constexpr TOptionItem kToolGroups[] = {
    {"ファイル", "ActionViewToolFile"}, {"計算", "ActionViewToolCalc"},
    {"検索", "ActionViewToolFined"},    {"インデント", "ActionViewToolIndent"},
    {"改行変更", "ActionViewToolFold"}, {"編集", "ActionViewToolEdit"}};
constexpr TOptionItem kStatus[] = {{"ステータスバー", "ActionViewStatus"}};
constexpr TOptionItem kPanes[] = {{"計算結果（画面横分割）", "ActionWindowAns"},
                                  {"計算過程（画面縦分割）", "ActionWindowLog"}};
constexpr TOptionItem kContent[] = {{"計算過程", "ActionWindowCalcLog"},
                                    {"変数一覧", "ActionWindowVar"},
                                    {"ユーザー定義関数一覧", "ActionWindowUserFunc"}};
constexpr TOptionItem kLogShow[] = {{"16進数表示", "ActionSetLogN16"},
                                    {"分数表示(内部分数計算時のみ)", "ActionSetLogFrac"},
                                    {"ヒント表示", "ActionSetLogHint"}};
constexpr TOptionItem kLogPolicy[] = {{"全行保管=再計算しない", "ActionSetLogHold"},
                                      {"全行を再計算", "ActionSetLogCalcAll"},
                                      {"キャレット行まで再計算", "ActionSetLogCalcStop"},
                                      {"キャレット行だけ再計算", "ActionSetLogCalcCaret"},
                                      {"更新しない", "ActionSetLogNone"}};
constexpr TOptionItem kCalcBar[] = {{"計算バー", "ActionWindowCalcBar"}};
constexpr TOptionItem kCalcBarParts[] = {{"計算ボタン", "ActionWindowCalcRun"},
                                         {"計算式", "ActionWindowCalcEQ"},
                                         {"計算結果", "ActionWindowCalcAns"}};
constexpr TOptionItem kCalcBarFormat[] = {{"計算結果の指定形式と同じ", "ActionWindowCalcAnsSet"},
                                          {"汎用形式に固定", "ActionWindowCalcAnsNon"},
                                          {"2進形式に固定", "ActionWindowCalcAnsN2"},
                                          {"10進形式に固定", "ActionWindowCalcAnsN10"},
                                          {"16進形式に固定", "ActionWindowCalcAnsN16"}};

constexpr TOptionItem kWrap[] = {{"折り返さない", "ActionViewWrap0"},
                                 {"指定文字数で折返し", "ActionViewWrapN"},
                                 {"右端で折返し", "ActionViewWrapR"},
                                 {"用紙端で折返し", "ActionViewWrapPaper"}};
constexpr TOptionItem kBanBreak[] = {{"禁則処理", "ActionViewWrapBreak"}};
constexpr TOptionItem kMark[] = {{"特殊記号表示", "ActionViewMark"}};
constexpr TOptionItem kColor[] = {{"色分け表示", "ActionViewColor"}};
constexpr TOptionItem kViewMisc[] = {{"白黒表示", "ActionViewBW"},
                                     {"計算括弧の大きさを自動調整", "ActionViewKakkoH"}};

constexpr TOptionItem kEditAuto[] = {{"自動括弧補完", "ActionSetAutoKakko"},
                                     {"オートインデント", "ActionSetAutoIndent"},
                                     {"Ctrl+Spaceで入力補完", "ActionSetInputAssist"}};
constexpr TOptionItem kAutoDbl[] = {{"半角*を全角×に自動変換", "ActionSetAutoDblMul"},
                                    {"半角/を全角÷に自動変換", "ActionSetAutoDblDiv"}};
constexpr TOptionItem kBackUp[] = {
    {"終了時 BackUp", "ActionFileBackUp"},
    {"BackUp読み込み時に日時記入", "ActionFileBackUpDate"},
    {"非BackUp時にも、終了確認しない", "ActionFileBackUpInfo"},
    {"旧BackUpをゴミ箱へ保管", "ActionFileBackUpRecycle"},
    {"2重起動を禁止", "ActionFileDouble"},
    {"ASCIIだけのファイルと新規ファイルはShift_JIS (CR LF)", "ActionFileSJisDefault"}};

constexpr TOptionItem kHotKey[] = {{"ホットキー計算を有効にする", "ActionCalcHotKey"}};
constexpr TOptionItem kHotKeyMore[] = {{"Ctrlキー連続使用", "ActionCalcHotCtrl"},
                                       {"計算式をReknaに追加表示する", "ActionCalcHotAdd"},
                                       {"エディタ情報もReknaに記入する", "ActionCalcHotExt"}};

constexpr TOptionGroup kGroups[] = {
    {P::opCalc, "", false, kCalcAuto},
    {P::opCalc, "自動計算の行範囲", true, kCalcRange},
    {P::opCalc, "計算行の指定", false, kCalcLines},
    {P::opCalc, "計算精度", false, kPrecision},
    {P::opCalc, "角度単位", true, kAngle},
    {P::opCalc, "デシベル単位", true, kDb},
    {P::opCalc, "60進表示(時間/角度)の基準", true, kTim},
    {P::opCalc, "全角文字", false, kDblByte},
    {P::opCalc, "Ans変数", true, kAns},
    {P::opCalc, "数値の入力形式", false, kInput},
    {P::opCalc, "グラフ計算オプション", false, kGraph},
    {P::opCalc, "", false, kScript},
    {P::opResult, "数値の表示形式", true, kFormat},
    {P::opResult, "60進数の表記", true, kN60},
    {P::opResult, "", false, kExpOptions},
    {P::opResult, "", false, kHide0},
    {P::opResult, "複素数の表記", true, kCplx},
    {P::opResult, "Eng形式の詳細", false, kEng},
    {P::opResult, "", false, kShow},
    {P::opScreen, "", false, kToolBar},
    {P::opScreen, "ツールバー詳細", false, kToolGroups},
    {P::opScreen, "", false, kStatus},
    {P::opScreen, "", false, kPanes},
    {P::opScreen, "表示内容", true, kContent},
    {P::opScreen, "計算過程の表示方法", false, kLogShow},
    {P::opScreen, "行移動での計算過程更新", true, kLogPolicy},
    {P::opScreen, "", false, kCalcBar},
    {P::opScreen, "計算バー詳細", false, kCalcBarParts},
    {P::opScreen, "数値の表示形式（計算バーの計算結果）", true, kCalcBarFormat},
    {P::opEditView, "折返し", true, kWrap},
    {P::opEditView, "", false, kBanBreak},
    {P::opEditView, "", false, kMark},
    {P::opEditView, "", false, kColor},
    {P::opEditView, "", false, kViewMisc},
    {P::opEditAction, "", false, kEditAuto},
    {P::opEditAction, "全角の×÷を使用するとき", false, kAutoDbl},
    {P::opEditAction, "", false, kBackUp},
    {P::opHotKey, "", false, kHotKey},
    {P::opHotKey, "", false, kHotKeyMore},
};

struct TMainCheck {
    std::string_view Action;
    bool TMainSettings::*Field;
};
constexpr TMainCheck kMainChecks[] = {
    {"ActionViewTool", &TMainSettings::ToolBar},
    {"ActionViewStatus", &TMainSettings::StatusBar},
    {"ActionFileBackUp", &TMainSettings::FileBackUp},
    {"ActionFileBackUpDate", &TMainSettings::FileBackUpDate},
    {"ActionFileBackUpInfo", &TMainSettings::BackUpInfo},
    {"ActionFileBackUpRecycle", &TMainSettings::FileRecycle},
    {"ActionFileDouble", &TMainSettings::DoubleRun},
    {"ActionFileSJisDefault", &TMainSettings::FileSJisDefault},
    {"ActionSetGraphTune", &TMainSettings::GraphCalcTune},
    {"ActionSetGraphCalcMemo", &TMainSettings::GraphCalcMemo},
    {"ActionSetGraphCalcToCaret", &TMainSettings::GraphCalcToCaret},
    {"ActionCalcHotKey", &TMainSettings::HotKeyCalc},
    {"ActionCalcHotCtrl", &TMainSettings::HotKeyCtrl},
    {"ActionCalcHotAdd", &TMainSettings::HotKeyAdd},
    {"ActionCalcHotExt", &TMainSettings::HotKeyExt},
};
constexpr std::string_view kToolGroupActions[] = {"ActionViewToolFile",  "ActionViewToolCalc",
                                                  "ActionViewToolFined", "ActionViewToolIndent",
                                                  "ActionViewToolFold",  "ActionViewToolEdit"};

const TMainCheck* FindMainCheck(std::string_view action) noexcept {
    for (const TMainCheck& c : kMainChecks)
        if (c.Action == action) return &c;
    return nullptr;
}

int ToolGroupIndex(std::string_view action) noexcept {
    for (std::size_t i = 0; i < std::size(kToolGroupActions); ++i)
        if (kToolGroupActions[i] == action) return static_cast<int>(i);
    return -1;
}

void CopyChecks(TOptionPage page, const TOptionsState& from, TOptionsState& to) {
    for (const bool pass : {false, true}) {
        for (const TOptionGroup& g : kGroups) {
            if (g.Page != page) continue;
            for (const TOptionItem& item : g.Items) {
                const bool on = OptionChecked(from, item.Action);
                if (on == pass) SetOptionChecked(to, item.Action, on);
            }
        }
    }
}

// The paint-style colours one of the colour tables shows.
void CopyColors(std::span<TColor TPaintStyle::*const> fields, const TPaintStyle& from,
                TPaintStyle& to) {
    for (const auto field : fields)
        to.*field = from.*field;
}

}  // namespace

std::string_view OptionPageCaption(TOptionPage page) noexcept {
    constexpr std::string_view kCaptions[] = {"計算方法",      "計算結果",     "初期化計算",
                                              "画面",          "エディタ表示", "エディタ動作",
                                              "ホットキー計算"};
    return kCaptions[static_cast<std::size_t>(page)];
}

std::span<const TOptionGroup> OptionGroups() noexcept {
    return kGroups;
}

TEngineNumbers TEngineNumbers::Read(const TVtCalc& calc) {
    TEngineNumbers n;
    n.ExpMin = calc.AnsExpMin();
    n.ExpMax = calc.AnsExpMax();
    n.FixMin = calc.AnsFixMin();
    n.FixMax = calc.AnsFixMax();
    n.ColNon = calc.AnsColNon();
    n.ColFix = calc.AnsColFix();
    n.ColN2 = calc.AnsColN2();
    n.ColN16 = calc.AnsColN16();
    n.ColChar = calc.AnsColChar();
    n.UsrFormat = calc.UsrFormat();
    return n;
}

void TEngineNumbers::Write(TVtCalc& calc) const {
    calc.SetAnsExpMin(ExpMin);
    calc.SetAnsExpMax(ExpMax);
    calc.SetAnsFixMin(FixMin);
    calc.SetAnsFixMax(FixMax);
    calc.SetAnsColNon(ColNon);
    calc.SetAnsColFix(ColFix);
    calc.SetAnsColExp(ColFix);
    calc.SetAnsColN2(ColN2);
    calc.SetAnsColN16(ColN16);
    calc.SetAnsColChar(ColChar);
    calc.SetUsrFormat(UsrFormat);
}

bool IsMainWindowAction(std::string_view action) noexcept {
    return FindMainCheck(action) != nullptr || ToolGroupIndex(action) >= 0;
}

bool OptionChecked(const TOptionsState& state, std::string_view action) {
    if (const TMainCheck* c = FindMainCheck(action)) return state.Main.*c->Field;
    if (const int i = ToolGroupIndex(action); i >= 0)
        return state.Main.ToolGroups[static_cast<std::size_t>(i)];
    const TFrameAction* a = FindFrameAction(action);
    return a && a->Option.Checkable() && a->Option.Get(state.Options);
}

void SetOptionChecked(TOptionsState& state, std::string_view action, bool checked) {
    if (const TMainCheck* c = FindMainCheck(action)) {
        state.Main.*c->Field = checked;
    } else if (const int i = ToolGroupIndex(action); i >= 0) {
        state.Main.ToolGroups[static_cast<std::size_t>(i)] = checked;
    } else if (const TFrameAction* a = FindFrameAction(action); a && a->Option.Checkable()) {
        a->Option.Set(state.Options, checked);
    }
}

void CopyPage(TOptionPage page, const TOptionsState& from, TOptionsState& to) {
    CopyChecks(page, from, to);
    const TCalcOptions& f = from.Options;
    TCalcOptions& t = to.Options;
    switch (page) {
    case P::opCalc:
    case P::opScreen: break;
    case P::opResult:
        t.PendingAnsLength = f.PendingAnsLength;
        to.Numbers = from.Numbers;
        break;
    case P::opDefinitions: to.DefText = from.DefText; break;
    case P::opEditView: {
        t.WrapWidth = f.WrapWidth;
        t.FontName = f.FontName;
        t.FontSize = f.FontSize;
        t.TabStops = f.TabStops;
        t.RowPitch = f.RowPitch;
        t.BoldReserved = f.BoldReserved;
        t.CharColorOn = f.CharColorOn;
        t.CharColors = f.CharColors;
        t.ViewLine = f.ViewLine;
        t.ViewKakko = f.ViewKakko;
        t.ViewEof = f.ViewEof;
        t.ViewCr = f.ViewCr;
        t.ViewTab = f.ViewTab;
        t.ViewDSpace = f.ViewDSpace;
        static constexpr TColor TPaintStyle::*kPane[] = {
            &TPaintStyle::ColorText,      &TPaintStyle::Color,
            &TPaintStyle::ColorBack,      &TPaintStyle::ColorSelText,
            &TPaintStyle::ColorSelBrush,  &TPaintStyle::ColorSelBrushInactive,
            &TPaintStyle::ColorUnderLine, &TPaintStyle::ColorKakko,
            &TPaintStyle::ColorEof,       &TPaintStyle::ColorCrLf,
            &TPaintStyle::ColorTab,       &TPaintStyle::ColorDSpace};
        static constexpr TColor TPaintStyle::*kSyntax[] = {
            &TPaintStyle::ColorComment, &TPaintStyle::ColorKeyWord,    &TPaintStyle::ColorReserved,
            &TPaintStyle::ColorString,  &TPaintStyle::ColorControl,    &TPaintStyle::ColorStat,
            &TPaintStyle::ColorDEq,     &TPaintStyle::ColorDependence, &TPaintStyle::ColorFind,
            &TPaintStyle::ColorKakko0,  &TPaintStyle::ColorKakko1,     &TPaintStyle::ColorKakko2,
            &TPaintStyle::ColorKakko3,  &TPaintStyle::ColorKakko4};
        CopyColors(kPane, from.Styles.Memo, to.Styles.Memo);
        CopyColors(kPane, from.Styles.Answer, to.Styles.Answer);
        CopyColors(kSyntax, from.Styles.Memo, to.Styles.Memo);
        CopyColors(kSyntax, from.Styles.Memo, to.Styles.Answer);
        to.Styles.Memo.HideSelection = from.Styles.Memo.HideSelection;
        to.Styles.Answer.HideSelection = from.Styles.Memo.HideSelection;
        break;
    }
    case P::opEditAction:
        t.IndentSelect = f.IndentSelect;
        t.IndentArrow = f.IndentArrow;
        t.IndentBS = f.IndentBS;
        t.IndentDel = f.IndentDel;
        t.IndentChar = f.IndentChar;
        t.ScrollMargin = f.ScrollMargin;
        t.EditMenu = f.EditMenu;
        break;
    case P::opHotKey:
        to.Main.HotKeyAction = from.Main.HotKeyAction;
        to.Main.HotKeyCalcKeys = from.Main.HotKeyCalcKeys;
        break;
    }
}

TLengthControls LengthControls(int length) noexcept {
    return {length < 0 ? -length : length, length <= 0};
}

int LengthFromControls(TLengthControls c) noexcept {
    const int digits = std::clamp(c.Digits, 0, 16);
    return c.AfterPoint ? -digits : std::max(1, digits);
}

std::string ShownFontName(std::string_view settingsName) {
    if (settingsName == Utf8ToCp932("ＭＳ ゴシック")) return "IPAGothic";
    return Cp932ToUtf8(settingsName);
}

std::array<int, 12> HotKeyTable(const TMainSettings& main) noexcept {
    std::array<int, 12> table{};
    const auto digit = [](const std::string& s, std::size_t i, int items) {
        if (i >= s.size() || s[i] < '0' || s[i] >= '0' + items) return 0;
        return s[i] - '0';
    };
    for (std::size_t i = 0; i < 6; ++i) {
        table[i] = digit(main.HotKeyAction, i, kHotKeyTargetItems);
        table[6 + i] = digit(main.HotKeyCalcKeys, i, kHotKeyActionItems);
    }
    return table;
}

void SetHotKeyTable(TMainSettings& main, const std::array<int, 12>& table) {
    const std::array<int, 12> old = HotKeyTable(main);
    const auto put = [](std::string& s, std::size_t i, int value) {
        if (s.size() < 6) s.resize(6, '0');
        s[i] = static_cast<char>('0' + value);
    };
    for (std::size_t i = 0; i < 6; ++i) {
        if (table[i] != old[i]) put(main.HotKeyAction, i, std::clamp(table[i], 0, 3));
        if (table[6 + i] != old[6 + i]) put(main.HotKeyCalcKeys, i, std::clamp(table[6 + i], 0, 5));
    }
}

}  // namespace rekna
