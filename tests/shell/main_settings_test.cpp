// Tests of the main window's keys: the order with the frame's keys in place, a round trip of
// every key through the file, and the reading rules of each kind of value.
#include "frame/main_settings.h"

#include <gtest/gtest.h>

#include "engine/vt_calc.h"
#include "platform/cp932.h"
#include "shell/settings_file.h"
#include "support/number_guard.h"
#include "support/temp_folder.h"

namespace rekna {
namespace {

TMainSettings NonDefault() {
    TMainSettings s;
    s.Top = -20;
    s.Left = 30;
    s.Width = 800;
    s.Height = 600;
    s.FileName = SysText("/home/u/計算.txt");
    s.FileBackUp = s.FileRecycle = s.FileBackUpDate = s.ToolBar = s.StatusBar = false;
    s.ToolGroups = {false, false, true, true, true, true};
    s.DoubleRun = s.BackUpInfo = s.HotKeyCalc = s.HotKeyAdd = s.HotKeyCtrl = s.HotKeyExt = true;
    s.FileSJisDefault = true;
    s.HotKeyAction = "012345";
    s.HotKeyCalcKeys = "987654";
    s.GraphCalcMemo = s.GraphCalcTune = false;
    s.GraphCalcToCaret = true;
    s.ScriptMemory = 100;
    // The texts are carried as they are; the numbers (places, sizes, switches) as numbers.
    for (const std::string_view key : KeptSettingsKeys()) {
        const bool text = key == "FindLS" || key == "PrintFileName" || key.ends_with("Grid");
        s.Kept[std::string(key)] = text ? std::string(key) + SysText("＝値=\t, $00FF00FF ") : "1";
    }
    return s;
}

TEST(MainSettings, EveryKeyInOrderSurvivesTheFileWithTheFrameKeys) {
    const test::TNumberGuard guard;
    TCalcOptions options;
    TVtCalc calc;
    ApplyFrameDesign(calc);
    options.ApplyToEngine(calc);
    options.WrapWidth = 33;
    calc.SetUsrFormat("0.0");
    TPaneStyles styles;
    styles.Memo.ColorBack = clYellow;
    const auto frameKeys = [&](TSettingsStore& store) {
        WriteFrameSettings(store, options, calc, styles);
    };
    TMemorySettings out;
    WriteMainSettings(out, NonDefault(), frameKeys);
    const std::vector<std::string_view> main = MainSettingsKeys();
    ASSERT_GT(out.Entries().size(), main.size());
    const std::size_t frameCount = out.Entries().size() - main.size();
    EXPECT_EQ(out.Entries()[23].first, "HotKeyCalc");
    EXPECT_EQ(out.Entries()[24].first, "AnsWidth") << "the frame's keys follow HotKeyCalc";
    EXPECT_EQ(out.Entries()[24 + frameCount].first, "FindLS");
    for (std::size_t i = 0; i < main.size(); ++i)
        EXPECT_EQ(out.Entries()[i < 24 ? i : i + frameCount].first, main[i]);

    test::TTempFolder dir;
    ASSERT_TRUE(WriteSettingsFile(dir.File("rekna.ini"), out).Ok());
    TMemorySettings in;
    ASSERT_TRUE(ReadSettingsFile(dir.File("rekna.ini"), in).Ok());
    TMainSettings read;
    ReadMainSettings(in, read);
    TCalcOptions readOptions;
    TVtCalc readCalc;
    TPaneStyles readStyles;
    ReadFrameSettings(in, readOptions, readCalc, readStyles);
    EXPECT_EQ(readOptions.WrapWidth, 33);
    EXPECT_EQ(read.Kept, NonDefault().Kept);
    TMemorySettings again;  // every key compared through its text
    WriteMainSettings(again, read, [&](TSettingsStore& store) {
        WriteFrameSettings(store, readOptions, readCalc, readStyles);
    });
    EXPECT_EQ(again.Text(), out.Text());
}

TEST(MainSettings, ReadingRulesOfEachKind) {
    struct {
        std::string Text;
        std::string_view Key;
        std::string Expected;  // written back after reading into the defaults
    } const rows[] = {
        {"Top=12", "Top", "12"},
        {"Top= -5 ", "Top", "-5"},
        {"Top=1.5", "Top", ""},
        {"Top=99999999999", "Top", ""},
        {"Top=1\r\nTop=2", "Top", "1"},
        {"FileBackUp=0", "FileBackUp", "0"},
        {"FileBackUp=11", "FileBackUp", "0"},
        {"ToolBar=2", "ToolBar", "1"},
        {"ToolBar=01", "ToolBar", "0"},
        {"ToolBar.Edit=x1", "ToolBar.Edit", "0"},
        {"DoubleRun=10", "DoubleRun", "1"},
        {"HotKeyAction=123456", "HotKeyAction", "123456"},
        {"HotKeyAction=12345", "HotKeyAction", "333333"},
        {"HotKeyCalc=12a456", "HotKeyCalc", "155355"},
        {"FileName=" + SysText("ｱ日本.txt"), "FileName", SysText("ｱ日本.txt")},
        {"Graph.CalcGrid=a=b\t c ", "Graph.CalcGrid", "a=b\t c "},
        {"Graph.Data=5", "Graph.Data", "1"},
        {"PreView.Width=99999", "PreView.Width", "8192"},
        {"UsrFunc.Left=-2000000", "UsrFunc.Left", "-1000000"},
        {"Template.TreeWidth=wide", "Template.TreeWidth", ""},
        {"garbage\r\nUnknown=0", "FileBackUpDate", "1"},
        {"ScriptMemory=2048", "ScriptMemory", "2048"},
        {"ScriptMemory=512MB", "ScriptMemory", ""},
    };
    for (const auto& r : rows) {
        TMemorySettings in;
        in.SetText(r.Text);
        TMainSettings s;
        ReadMainSettings(in, s);
        TMemorySettings out;
        WriteMainSettings(out, s, nullptr);
        EXPECT_EQ(out.Get(r.Key), r.Expected) << r.Text;
    }
}

TEST(MainSettings, MissingAndUnreadableKeysKeepTheCurrentValues) {
    TMemorySettings before;
    WriteMainSettings(before, NonDefault(), nullptr);
    TMemorySettings in;
    in.SetText("Graph.Top\r\nTop=x\r\nToolBar=\r\nHotKeyAction=1\r\nStatusBar=7\r\nOther=1");
    TMainSettings s = NonDefault();
    ReadMainSettings(in, s);
    TMemorySettings after;
    WriteMainSettings(after, s, nullptr);
    EXPECT_EQ(after.Text(), before.Text());
}

TEST(MainSettings, HotKeyStringsAreSetOnlyAsSixDigits) {
    TMainSettings s;
    EXPECT_TRUE(s.SetHotKeys("123012", "543210"));
    EXPECT_FALSE(s.SetHotKeys("12301", "012345"));
    EXPECT_FALSE(s.SetHotKeys("000000", "01234x"));
    EXPECT_EQ(s.HotKeyAction + " " + s.HotKeyCalcKeys, "000000 012345");
}

}  // namespace
}  // namespace rekna
