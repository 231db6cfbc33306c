// Tests of the frame's action table, its check bindings, the flag strings of the settings file
// and the small option rules: digit keys, prompts, calc-bar buttons.
#include "frame/frame_actions.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/vt_calc.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

TEST(FrameActionsTest, TheTableHasEveryActionOnceWithItsCategory) {
    std::map<std::string_view, int> perCategory;
    std::set<std::string_view> names;
    for (const TFrameAction& a : FrameActions()) {
        EXPECT_TRUE(names.insert(a.Name).second) << a.Name;
        EXPECT_FALSE(a.Caption.empty()) << a.Name;
        ++perCategory[a.Category];
        // A radio member is checkable, and a handler of options has an option to apply.
        if (a.Group != 0 || a.Handler != TActionHandler::ahCommand) {
            EXPECT_TRUE(a.Option.Checkable()) << a.Name;
        }
    }
    // 計算: the clears, the four runs and the four answer-writing commands.
    EXPECT_EQ(perCategory["計算"], 10);
    EXPECT_EQ(perCategory["結果"], 29);
    EXPECT_EQ(perCategory["画面"], 17);
    EXPECT_EQ(perCategory["設定"], 42);
    EXPECT_EQ(perCategory["入力"], 6);
    EXPECT_EQ(perCategory["表示"], 20);
    EXPECT_EQ(perCategory["編集"], 6);
    EXPECT_EQ(perCategory["ファイル"], 4);
    const TFrameAction* run = FindFrameAction("ActionEditRun");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->Caption, "全行計算実行(&Run)");
    EXPECT_EQ(run->Shortcut, "Ctrl+R");
    EXPECT_EQ(FindFrameAction("ActionEditMC")->Shortcut, "Ctrl+E");
    EXPECT_EQ(FindFrameAction("ActionEditAns")->Shortcut, "Ctrl+Return");
    EXPECT_EQ(FindFrameAction("ActionEditAnsDel")->Shortcut, "Shift+Ctrl+Return");
    EXPECT_EQ(FindFrameAction("nothing"), nullptr);
}

TEST(FrameActionsTest, TheDesignChecksAreTheOptionDefaults) {
    const TCalcOptions o;
    std::set<std::string_view> checked;
    for (const TFrameAction& a : FrameActions()) {
        if (a.Option.Checkable() && a.Option.Get(o)) checked.insert(a.Name);
    }
    for (const char* name :
         {"ActionSetAnsGen",     "ActionSetAnsI",        "ActionSetAnsTimJ",
          "ActionWindowAns",     "ActionWindowCalcLog",  "ActionWindowCalcBar",
          "ActionWindowCalcRun", "ActionWindowCalcAns",  "ActionWindowCalcAnsN10",
          "ActionSetCalcAuto",   "ActionSetCalcAutoAll", "ActionSetCalcTab",
          "ActionSetCalcSSp",    "ActionSetRad",         "ActionSetCalcFrac",
          "ActionSetCalcFuzz",   "ActionSetLogHold",     "ActionSetLogHint",
          "ActionSetDb20",       "ActionSetAnsRow",      "ActionSetVbScript",
          "ActionSetTimSec",     "ActionSetInputAssist", "ActionValInpEng",
          "ActionValInpPar",     "ActionValInpN10",      "ActionValInpN60",
          "ActionValInpDb",      "ActionViewWrap0"})
        EXPECT_TRUE(checked.count(name)) << name;
    for (const char* name :
         {"ActionWindowLog", "ActionSetCalcStr", "ActionSetAnsErr", "ActionSetAnsCont",
          "ActionSetDeg", "ActionValInpEngSL", "ActionSetDblByte"})
        EXPECT_FALSE(checked.count(name)) << name;
}

TEST(FrameActionsTest, ARadioGroupHoldsOneCheck) {
    TCalcOptions o;
    const TFrameAction* fix = FindFrameAction("ActionSetAnsFix");
    const TFrameAction* gen = FindFrameAction("ActionSetAnsGen");
    fix->Option.Set(o, true);
    EXPECT_TRUE(fix->Option.Get(o));
    EXPECT_FALSE(gen->Option.Get(o));
    // Unchecking the checked member falls back to the group's default; another member stays.
    gen->Option.Set(o, false);
    EXPECT_EQ(o.Format, TAnsFormat::afFix);
    fix->Option.Set(o, false);
    EXPECT_EQ(o.Format, TAnsFormat::afNon);
}

TEST(FrameActionsTest, EnablingFollowsTheOptions) {
    TCalcOptions o;
    const auto enabled = [&o](const char* name) {
        const TFrameAction* a = FindFrameAction(name);
        return a->Enabled == nullptr || a->Enabled(o);
    };
    struct {
        TAnsFormat Format;
        bool Hide0, Length, Eng;
    } const rows[] = {
        {TAnsFormat::afEng, true, true, true},    {TAnsFormat::afNon, false, false, false},
        {TAnsFormat::afN16, true, false, false},  {TAnsFormat::afN60, true, true, false},
        {TAnsFormat::afFac, false, false, false}, {TAnsFormat::afUsr, false, false, false},
    };
    for (const auto& r : rows) {
        o.Format = r.Format;
        EXPECT_EQ(enabled("ActionSetAnsHide0"), r.Hide0);
        EXPECT_EQ(enabled("ActionSetAnsLength"), r.Length);
        EXPECT_EQ(enabled("ActionSetAnsEng0"), r.Eng);
        EXPECT_EQ(enabled("ActionSetAnsEng1"), r.Eng);
    }
    EXPECT_FALSE(enabled("ActionSetCalcTab"));
    o.CalcStr = true;
    EXPECT_TRUE(enabled("ActionSetCalcTab"));
    EXPECT_FALSE(enabled("ActionSetAutoDblMul"));
    o.DblByteMul = true;
    EXPECT_TRUE(enabled("ActionSetAutoDblMul"));
    o.InpEng = false;
    EXPECT_FALSE(enabled("ActionValInpEngSL"));
    o.WindowCalcBar = false;
    EXPECT_FALSE(enabled("ActionWindowCalcRun"));
}

TEST(FrameActionsTest, FlagStrings) {
    TCalcOptions o;
    const std::string_view log[] = {
        "ActionWindowLog",      "ActionSetLogN16",       "ActionSetLogFrac",
        "ActionSetLogHint",     "ActionSetLogHold",      "ActionSetLogCalcAll",
        "ActionSetLogCalcStop", "ActionSetLogCalcCaret", "ActionSetLogNone"};
    EXPECT_EQ(OptionFlags(o, log), "000110000");
    // A short string, or a digit other than 0 and 1, leaves the options it does not reach.
    ApplyOptionFlags(o, log, "12");
    EXPECT_TRUE(o.WindowLog);
    EXPECT_FALSE(o.LogN16);
    ApplyOptionFlags(o, log, "0000000010");
    EXPECT_FALSE(o.WindowLog);
    EXPECT_EQ(o.LogPolicy, TLogPolicy::lpNone);
    ApplyOptionFlags(o, log, "000001000");
    EXPECT_EQ(o.LogPolicy, TLogPolicy::lpCalcAll);
    EXPECT_EQ(StripAccelerator("自動計算(A&uto)"), "自動計算(Auto)");
    EXPECT_EQ(StripAccelerator("&& : &2進数"), "& : 2進数");
}

TEST(CalcOptionsRulesTest, DigitKeysInTheAnswerPane) {
    struct {
        char Key;
        bool Shift;
        int Current;
        std::optional<int> Expected;
    } const rows[] = {
        {'7', true, 5, 17},  {'-', false, 5, -4},   {'9', false, -3, -9},
        {'0', false, 5, 10}, {'0', true, 5, 18},    {'9', true, -3, -17},
        {'3', false, 0, -3}, {'-', false, -17, 18}, {'x', false, 5, std::nullopt},
    };
    for (const auto& r : rows)
        EXPECT_EQ(DigitKeyLength(r.Key, r.Shift, r.Current), r.Expected) << r.Key;
}

TEST(CalcOptionsRulesTest, PromptValues) {
    EXPECT_EQ(PromptValue("12", 2, 50), 12);
    EXPECT_EQ(PromptValue(" 99 ", 2, 50), 50);
    EXPECT_EQ(PromptValue("1", 2, 50), 2);
    EXPECT_EQ(PromptValue("-300", 2, 255, true), 255);
    EXPECT_EQ(PromptValue("-5", -17, 18), -5);
    EXPECT_EQ(PromptValue("abc", 2, 50), std::nullopt);
    EXPECT_EQ(PromptValue("", 2, 50), std::nullopt);
    EXPECT_EQ(PromptValue("3.5", 2, 50), std::nullopt);
    EXPECT_EQ(PromptValue("99999999999999999999", 0, 5), 5);
}

TEST(CalcOptionsRulesTest, CalcBarButtonsCycle) {
    test::TNumberGuard guard;
    TCalcOptions o;
    std::vector<std::string> seen;
    for (int i = 0; i < 5; ++i) {
        CycleDbButton(o);
        seen.push_back(o.Db == TdBUnit::dudB10   ? "dB10"
                       : o.Db == TdBUnit::dudB20 ? "dB20"
                       : o.Db == TdBUnit::dudBm  ? "dBm"
                                                 : "dBu");
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"dBm", "dBu", "dB10", "dB20", "dBm"}));
    o.Format = TAnsFormat::afN16;
    CycleFormatButton(o);
    EXPECT_EQ(o.Format, TAnsFormat::afNon);
    CycleFormatButton(o);
    EXPECT_EQ(o.Format, TAnsFormat::afJpn);
    std::vector<std::string> selector;
    for (int i = 0; i < 5; ++i) {
        CycleLogSelector(o);
        selector.push_back(LogSelectorCaption(o));
    }
    EXPECT_EQ(selector, (std::vector<std::string>{"Step", "Var", "UFun", "Off", "Step"}));
    TVtCalc calc;
    o.Format = TAnsFormat::afN2;
    o.ApplyToEngine(calc);
    const TCalcBarButtons b = CalcBarButtons(o, calc);
    EXPECT_EQ(b.Format, "N2 ");
    EXPECT_EQ(b.Angle, "Rad");
    EXPECT_EQ(b.Digits, "5");
}

}  // namespace
}  // namespace rekna
