// Tests of the frame's settings keys: the defaults written, a round trip, and the reading rules
// for flags, numbers, texts and colours.
#include "frame/frame_settings.h"

#include <gtest/gtest.h>

#include "engine/vt_calc.h"
#include "frame/pane_style.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

class FrameSettingsTest : public ::testing::Test {
protected:
    FrameSettingsTest() {
        ApplyFrameDesign(Calc);
        Options.ApplyToEngine(Calc);
    }
    test::TNumberGuard Guard;
    TVtCalc Calc;
    TCalcOptions Options;
    TPaneStyles Styles;
};

TEST_F(FrameSettingsTest, AFreshInstallationWritesTheDefaultsOfTheSettingsTable) {
    TMemorySettings s;
    WriteFrameSettings(s, FreshInstallOptions(), Calc, Styles);
    struct {
        const char* Key;
        const char* Value;
    } const rows[] = {
        {"AnsWindow", "1"},
        {"LogWindow", "000110000"},
        {"CalcExe", "0"},
        {"CalcBar", "1"},
        {"CalcBarEq", "0"},
        {"CalcBarAns", "1000010"},
        {"CalcMode", "111100001"},
        {"CalcRange", "01100"},
        {"Radian", "10"},
        {"dB", "1000"},
        {"Ans", "10"},
        {"Tim", "0001"},
        {"ValInput", "111101"},
        {"Cplx", "010"},
        {"DblByteOper", "00000"},
        {"SubUnit", "00000010000000000100"},
        {"Hide0", "1"},
        {"Eng0", "0"},
        {"Eng1", "1"},
        {"Length", "5"},
        {"ExpMin", "-5"},
        {"ExpMax", "6"},
        {"FixMin", "-10"},
        {"FixMax", "18"},
        {"ColNon", "0"},
        {"ColFix", "0"},
        {"ColN16", "4"},
        {"AutoKakko", "0"},
        {"AutoIndent", "0"},
        {"IndentChar", "0"},
        {"WordWrap.BanBreak", "0"},
        {"ScrollMargin", "1"},
        {"Font.Size", "11"},
        {"ShowLine", "1"},
        {"ShowKakko", "11"},
        {"UsrFormat", ",0.######"},
        {"ColChar", ","},
        {"ColN2", "8"},
        {"WordWrap", "1000"},
        {"WordWrap.No", "68"},
        {"FillSpace", "100,100"},
        {"RowPich", "2"},
        {"TabStop", "8"},
        {"ShowColor", "1"},
        {"InputAssist", "1"},
        {"CharColor1", "+-=\tclRed"},
        {"LogHeight", "120"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(s.Get(r.Key).value_or("<missing>"), r.Value) << r.Key;
    EXPECT_EQ(s.Entries().front().first, "AnsWidth");
    EXPECT_EQ(s.Entries().back().first, "CharColor4");
    const std::vector<std::string> keys = FrameSettingsKeys();
    ASSERT_EQ(keys.size(), s.Entries().size());
    EXPECT_EQ(keys.front(), "AnsWidth");
}

TEST_F(FrameSettingsTest, ARoundTripKeepsEverything) {
    Options.WindowLog = true;
    Options.LogContent = TLogContent::lcVariables;
    Options.Format = TAnsFormat::afEng;
    Options.Complex = TCplxChoice::ccJ;
    Options.AutoRange = TCalcRangeKind::rkCaretRows;
    Options.WrapMode = TWordWrapType::wtCount;
    Options.WrapWidth = 40;
    Options.FontSize = 14;
    Options.CharColors[2] = {"0123", clGreen};
    Options.PendingAnsLength = -3;
    Calc.SetUsrFormat("0.00");
    Calc.SetAnsColFix(3);
    Styles.Memo.ColorComment = clPurple;
    Styles.Answer.Color = clYellow;
    Styles.Memo.HideSelection = true;
    TMemorySettings s;
    WriteFrameSettings(s, Options, Calc, Styles);
    TMemorySettings read;
    read.SetText(s.Text());
    TCalcOptions o;
    TVtCalc calc;
    TPaneStyles styles;
    ReadFrameSettings(read, o, calc, styles);
    EXPECT_EQ(o.LogContent, TLogContent::lcCalcLog);  // the content mode is not a key
    EXPECT_TRUE(o.WindowLog);
    EXPECT_EQ(o.Format, TAnsFormat::afEng);
    EXPECT_EQ(o.Complex, TCplxChoice::ccJ);
    EXPECT_EQ(o.AutoRange, TCalcRangeKind::rkCaretRows);
    EXPECT_EQ(o.WrapMode, TWordWrapType::wtCount);
    EXPECT_EQ(o.WrapWidth, 40);
    EXPECT_EQ(o.FontSize, 14);
    EXPECT_EQ(o.CharColors[2].Chars, "0123");
    EXPECT_EQ(o.CharColors[2].Color, clGreen);
    EXPECT_EQ(o.PendingAnsLength, -3);
    EXPECT_EQ(calc.UsrFormat(), "0.00");
    EXPECT_EQ(calc.AnsColExp(), 3);  // ColFix is copied to the exponent group
    EXPECT_EQ(styles.Memo.ColorComment, clPurple);
    EXPECT_EQ(styles.Answer.ColorComment, clPurple);  // syntax colours are shared
    EXPECT_EQ(styles.Answer.Color, clYellow);
    EXPECT_EQ(styles.Log().ColorDEq, clPurple);
    EXPECT_TRUE(styles.Memo.HideSelection);
    EXPECT_TRUE(styles.Answer.HideSelection);
    TMemorySettings again;
    WriteFrameSettings(again, o, calc, styles);
    EXPECT_EQ(again.Text(), s.Text());
}

TEST_F(FrameSettingsTest, UnreadableValuesKeepTheCurrentOnes) {
    TMemorySettings s;
    s.SetText(
        "CalcMode=0x\r\nWordWrap.No=wide\r\nMemoColor=nonsense\r\nUsrFormat=\r\nFillSpace=7\r\n"
        "Cplx=2\r\nCharColor1=no tab\r\nLength=99\r\nnot a key "
        "line\r\nTabStop=12\r\nTabStop=30\r\nHideSelection=2\r\n");
    ReadFrameSettings(s, Options, Calc, Styles);
    EXPECT_FALSE(Options.CalcAuto);  // the first digit reads
    EXPECT_TRUE(Options.Frac);       // "x" leaves the second
    EXPECT_EQ(Options.WrapWidth, 68);
    EXPECT_EQ(Styles.Memo.Color, TPaintStyle().Color);
    EXPECT_EQ(Calc.UsrFormat(), ",0.######");
    EXPECT_EQ(Options.FillSpace[0], 7);
    EXPECT_EQ(Options.FillSpace[1], 100);
    EXPECT_EQ(Options.Complex, TCplxChoice::ccI);
    EXPECT_EQ(Options.CharColors[0].Chars, "+-=");
    EXPECT_EQ(Options.PendingAnsLength, 18);
    EXPECT_EQ(Options.TabStops, 12);  // the first line of a key wins
    EXPECT_FALSE(Styles.Memo.HideSelection);
}

TEST(PaneStyleTest, ViewOptionsAndCharacterColours) {
    TCalcOptions o;
    o.CharColorOn = true;
    o.CharColors[0] = {SysText("+全"), clRed};
    TPaintStyle s = PaneStyle(TPaintStyle(), o);
    EXPECT_TRUE(s.ColorOn);
    EXPECT_TRUE(s.ColorCharOn);
    EXPECT_EQ(s.CharColor('+'), clRed);
    EXPECT_EQ(s.CharColor(static_cast<unsigned char>(SysText("全")[0])), clNone);
    EXPECT_EQ(s.CharColor('7'), clMaroon);
    o.ViewBW = true;
    s = PaneStyle(TPaintStyle(), o);
    EXPECT_FALSE(s.ColorOn);
    EXPECT_FALSE(s.ShowMark);
    EXPECT_FALSE(s.ShowKakko);
    EXPECT_FALSE(s.ColorCharOn);
}

}  // namespace
}  // namespace rekna
