// The options pages: every control names a real action, applying pages carries every setting
// over, the answer-length, font and hot-key mappings.
#include <gtest/gtest.h>

#include <set>

#include "engine/vt_calc.h"
#include "frame/frame_actions.h"
#include "options/options_model.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

// The settings file's text of a state, with its definitions text after it.
std::string SettingsText(const TOptionsState& s) {
    const TEngineNumbers saved = TEngineNumbers::Read(TVtCalc());
    TVtCalc calc;
    s.Numbers.Write(calc);
    TMemorySettings m;
    WriteMainSettings(m, s.Main, [&](TSettingsStore& store) {
        WriteFrameSettings(store, s.Options, calc, s.Styles);
    });
    saved.Write(calc);
    return m.Text() + "Def=" + s.DefText;
}

TOptionsState DefaultState() {
    TOptionsState s;
    s.Options = FreshInstallOptions();
    s.Numbers = TEngineNumbers::Read(TVtCalc());
    return s;
}

// Every check box flipped, every radio group moved to its next member, every other setting of a
// page changed.
TOptionsState ChangedState(const TOptionsState& base) {
    TOptionsState s = base;
    for (const TOptionGroup& g : OptionGroups()) {
        if (!g.Radio) {
            for (const TOptionItem& item : g.Items)
                SetOptionChecked(s, item.Action, !OptionChecked(base, item.Action));
            continue;
        }
        std::size_t on = 0;
        for (std::size_t i = 0; i < g.Items.size(); ++i)
            if (OptionChecked(base, g.Items[i].Action)) on = i;
        SetOptionChecked(s, g.Items[(on + 1) % g.Items.size()].Action, true);
    }
    TCalcOptions& o = s.Options;
    o.PendingAnsLength = -3;
    s.Numbers = {-4, 7, -9, 15, 3, 3, 4, 2, ' ', ",0.0"};
    s.DefText = "a=1\n";
    o.WrapWidth = 40;
    o.FontName = "Noto Sans Mono CJK JP";
    o.FontSize = 14;
    o.TabStops = 4;
    o.RowPitch = 5;
    o.BoldReserved = !o.BoldReserved;
    o.CharColorOn = !o.CharColorOn;
    o.CharColors[2] = {"#", clRed};
    o.ViewLine = !o.ViewLine;
    o.ViewKakko = !o.ViewKakko;
    o.ViewEof = !o.ViewEof;
    o.ViewTab = !o.ViewTab;
    s.Styles.Memo.ColorText = clRed;
    s.Styles.Answer.ColorEof = clBlue;
    s.Styles.Memo.ColorKakko3 = clLime;
    s.Styles.Answer.ColorKakko3 = clLime;
    s.Styles.Memo.HideSelection = true;
    o.IndentSelect = false;
    o.IndentDel = false;
    o.IndentChar = 1;
    o.ScrollMargin = 4;
    o.EditMenu = true;
    s.Main.HotKeyAction = "012301";
    s.Main.HotKeyCalcKeys = "543210";
    return s;
}

TEST(OptionsModel, EveryControlNamesACheckableAction) {
    std::set<std::string_view> seen;
    for (const TOptionGroup& g : OptionGroups()) {
        for (const TOptionItem& item : g.Items) {
            const TFrameAction* a = FindFrameAction(item.Action);
            EXPECT_TRUE(IsMainWindowAction(item.Action) || (a && a->Option.Checkable()))
                << item.Action;
            EXPECT_TRUE(seen.insert(item.Action).second) << item.Action << " twice";
        }
    }
}

TEST(OptionsModel, ApplyingAllPagesCarriesEverySetting) {
    const TOptionsState before = DefaultState();
    const TOptionsState edited = ChangedState(before);
    TOptionsState program = before;
    std::string last = SettingsText(program);
    for (const TOptionPage page : kOptionPages) {
        CopyPage(page, edited, program);
        const std::string now = SettingsText(program);
        EXPECT_NE(now, last) << OptionPageCaption(page) << " applied nothing";
        last = now;
    }
    EXPECT_EQ(last, SettingsText(edited));
}

TEST(OptionsModel, ApplyingUnchangedPagesChangesNothing) {
    const TOptionsState program = ChangedState(DefaultState());
    TOptionsState copy = program;
    for (const TOptionPage page : kOptionPages)
        CopyPage(page, program, copy);
    EXPECT_EQ(SettingsText(copy), SettingsText(program));
}

TEST(OptionsModel, AnswerLength) {
    const struct {
        int Length;
        TLengthControls Controls;
    } loads[] = {{5, {5, false}}, {-3, {3, true}}, {0, {0, true}}, {18, {18, false}}};
    for (const auto& l : loads)
        EXPECT_EQ(LengthControls(l.Length), l.Controls) << l.Length;
    const struct {
        TLengthControls Controls;
        int Length;
    } applies[] = {{{3, true}, -3}, {{3, false}, 3},   {{0, true}, 0},
                   {{0, false}, 1}, {{20, false}, 16}, {{-2, true}, 0}};
    for (const auto& a : applies)
        EXPECT_EQ(LengthFromControls(a.Controls), a.Length) << a.Controls.Digits;
}

TEST(OptionsModel, ShownFontName) {
    EXPECT_EQ(ShownFontName(SysText("ＭＳ ゴシック")), "IPAGothic");
    EXPECT_EQ(ShownFontName(SysText("ＭＳ 明朝")), "ＭＳ 明朝");
    EXPECT_EQ(ShownFontName("Noto Sans Mono CJK JP"), "Noto Sans Mono CJK JP");
}

TEST(OptionsModel, HotKeyTable) {
    EXPECT_EQ(HotKeyTargetIndex(2, 2), 4);
    EXPECT_EQ(HotKeyActionIndex(2, 2), 10);
    EXPECT_EQ(HotKeyActionIndex(1, 1), 6);
    const TMainSettings design;
    const std::array<int, 12> t = HotKeyTable(design);
    const std::array<int, 12> expected{3, 3, 3, 3, 3, 3, 1, 5, 5, 3, 5, 5};
    EXPECT_EQ(t, expected);

    const struct {
        const char* Targets;
        const char* Actions;
        int Index;
        int Item;
        const char* NewTargets;
        const char* NewActions;
    } rows[] = {
        {"333333", "155355", 4, 1, "333313", "155355"},
        {"333333", "155355", 10, 2, "333333", "155325"},
        {"33x3", "155355", 0, 2, "23x300", "155355"},
        {"33x3", "9", 11, 4, "33x3", "900004"},
    };
    for (const auto& r : rows) {
        TMainSettings m;
        m.HotKeyAction = r.Targets;
        m.HotKeyCalcKeys = r.Actions;
        std::array<int, 12> table = HotKeyTable(m);
        table[static_cast<std::size_t>(r.Index)] = r.Item;
        SetHotKeyTable(m, table);
        EXPECT_EQ(m.HotKeyAction, r.NewTargets) << r.Index;
        EXPECT_EQ(m.HotKeyCalcKeys, r.NewActions) << r.Index;
        // Reading back gives the table that was written.
        EXPECT_EQ(HotKeyTable(m), table);
    }
}

}  // namespace
}  // namespace rekna
