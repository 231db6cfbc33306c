// Tests of the painter's colours: defaults, the colour rules of the kinds, colour texts.
#include "editor/paint/paint_style.h"
#include "editor/store/row_cells.h"
#include "platform/color.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <set>

namespace rekna::test {
namespace {

TEST(PaintStyleTest, PropertiesHaveTheirDefaults) {
    const TPaintStyle st;
    const std::pair<std::string_view, TColor> colours[] = {
        {"Color", clWindow},
        {"ColorBack", clBtnFace},
        {"ColorText", clWindowText},
        {"ColorControl", clHighlight},
        {"ColorStat", 128},
        {"ColorComment", 32768},
        {"ColorString", 128},
        {"ColorKeyWord", 16711680},
        {"ColorReserved", 8388608},
        {"ColorDependence", 16711935},
        {"ColorDEq", 8388736},
        {"ColorDSpace", clBtnFace},
        {"ColorTab", clBtnFace},
        {"ColorCrLf", clBtnFace},
        {"ColorEof", clBtnFace},
        {"ColorKakko", clWindow},
        {"ColorKakko0", 128},
        {"ColorKakko1", 32768},
        {"ColorKakko2", 32896},
        {"ColorKakko3", 8421376},
        {"ColorKakko4", 8388608},
        {"ColorFind", 65535},
        {"ColorFDelimiter", 12639424},
        {"ColorUnderLine", clGrayText},
        {"ColorSelText", clHighlightText},
        {"ColorSelCr", clBtnFace},
        {"ColorSelBrush", clHighlight},
        {"ColorSelBrushInactive", clGrayText},
    };
    ASSERT_EQ(ColorProperties().size(), std::size(colours));
    for (std::size_t i = 0; i < std::size(colours); ++i) {
        EXPECT_EQ(ColorProperties()[i].Name, colours[i].first);
        EXPECT_EQ(st.*ColorProperties()[i].Field, colours[i].second) << colours[i].first;
    }
    std::set<std::string_view> off;
    for (const TSwitchProperty& p : SwitchProperties())
        if (!(st.*p.Field)) off.insert(p.Name);
    EXPECT_EQ(off, (std::set<std::string_view>{"KakkoHeight", "ColorCharOn", "HideSelection"}));
    EXPECT_EQ(SwitchProperties().size(), 12u);
    EXPECT_EQ(st.Delimiters(), "");
    EXPECT_EQ(st.CharColor(0), clNone);
    EXPECT_EQ(st.CharColor(255), clNone);
}

TEST(PaintStyleTest, DependenceCharsAreTheVendorRow) {
    const std::string& chars = DefaultDependenceChars();
    ASSERT_EQ(chars.size(), 166u);  // 83 double-byte characters
    std::set<std::string> distinct;
    for (std::size_t i = 0; i < chars.size(); i += 2) {
        EXPECT_EQ(static_cast<unsigned char>(chars[i]), 0x87);
        distinct.insert(chars.substr(i, 2));
    }
    EXPECT_EQ(distinct.size(), 83u);
    EXPECT_EQ(U(chars.substr(0, 2)), "㈲");
    EXPECT_EQ(U(chars.substr(164, 2)), "〝");
    const TPaintStyle st;
    // The standard row's square root is an ordinary character; the vendor row's is not.
    const std::string root = J("√");
    EXPECT_FALSE(st.DependenceChar.Contains(root.data(), 2));
    EXPECT_TRUE(st.DependenceChar.Contains(chars.data() + chars.find(J("①")), 2));
}

TEST(PaintStyleTest, DelimitersAndCharColorsKeepOnlyWhatTheyCanHold) {
    TPaintStyle st;
    st.SetDelimiters(J("+-あ+*"));
    EXPECT_EQ(st.Delimiters(), "*+-");
    EXPECT_TRUE(st.IsDelimiter('+'));
    EXPECT_FALSE(st.IsDelimiter(static_cast<std::uint8_t>(J("あ")[0])));
    st.SetCharColor(43, clRed);
    st.SetCharColor(-1, clRed);
    st.SetCharColor(256, clRed);
    EXPECT_EQ(st.CharColor(43), clRed);
    EXPECT_EQ(st.CharColor(-1), clNone);
    EXPECT_EQ(st.CharColor(256), clNone);
    EXPECT_NE(st, TPaintStyle{});
    st.ResetCharColors();
    st.SetDelimiters("");
    EXPECT_EQ(st, TPaintStyle{});
}

TEST(PaintStyleTest, KakkoColorCyclesEveryFiveLevels) {
    const TPaintStyle st;
    const std::pair<std::int32_t, TColor> cases[] = {
        {0, st.ColorKakko0},  {-1, st.ColorKakko1}, {-2, st.ColorKakko2}, {-3, st.ColorKakko3},
        {-4, st.ColorKakko4}, {-5, st.ColorKakko0}, {-6, st.ColorKakko1},
    };
    for (const auto& [level, colour] : cases)
        EXPECT_EQ(st.KakkoColor(level), colour) << level;
}

struct TStyleCase {
    const char* Name;
    TCharKind Kind;
    TLineState State = TLineState::lsNormal;
    void (*Setup)(TPaintStyle&, TPaintCell&) = nullptr;
    TCellStyle Expected;
};

TEST(PaintStyleTest, EachKindGetsItsColours) {
    const TPaintStyle d;
    using enum TCharKind;
    const TStyleCase cases[] = {
        {"norm", ckNorm, TLineState::lsNormal, nullptr, {d.ColorText, d.Color, false}},
        {"control line", ckNorm, TLineState::lsControl, nullptr, {d.ColorControl, d.Color, false}},
        {"statistics line", ckNorm, TLineState::lsStat, nullptr, {d.ColorStat, d.Color, false}},
        {"char in control line", ckChar, TLineState::lsControl, nullptr, {d.ColorText, d.Color}},
        {"comment", ckComment, {}, nullptr, {d.ColorComment, d.Color, false}},
        {"stat", ckStat, {}, nullptr, {d.ColorText, d.Color, false}},
        {"dependence", ckDependence, {}, nullptr, {d.ColorDependence, d.Color, false}},
        {"string", ckString, {}, nullptr, {d.ColorString, d.Color, false}},
        {"keyword", ckKeyWord, {}, nullptr, {d.ColorKeyWord, d.Color, false}},
        {"reserved", ckReserved, {}, nullptr, {d.ColorReserved, d.Color, true}},
        {"reserved not bold",
         ckReserved,
         {},
         [](TPaintStyle& s, TPaintCell&) { s.BoldReserved = false; },
         {d.ColorReserved, d.Color, false}},
        {"full-width equals", ckJEq, {}, nullptr, {d.ColorDEq, d.Color, false}},
        {"find", ckFind, {}, nullptr, {d.ColorText, d.ColorFind, false}},
        {"tab", ckTab, {}, nullptr, {d.ColorTab, d.Color, false}},
        {"space mark", ckJSpace, {}, nullptr, {d.ColorDSpace, d.Color, false}},
        {"line end", ckCrLf, {}, nullptr, {d.ColorCrLf, d.Color, false}},
        {"eof", ckEof, {}, nullptr, {d.ColorEof, d.Color, false}},
        {"bracket level 1",
         ckKakko,
         {},
         [](TPaintStyle&, TPaintCell& c) { c.Level = -1; },
         {d.ColorKakko1, d.Color, false}},
        {"caret pair",
         ckKakko,
         {},
         [](TPaintStyle&, TPaintCell& c) { c.CaretPair = true; },
         {d.ColorKakko0, d.ColorKakko, true}},
        {"caret pair not bold",
         ckKakko,
         {},
         [](TPaintStyle& s, TPaintCell& c) {
             c.CaretPair = true;
             s.ShowKakko = false;
         },
         {d.ColorKakko0, d.ColorKakko, false}},
        // Syntax colours off: everything but the marks in ColorText, reserved words not bold.
        {"off: comment",
         ckComment,
         {},
         [](TPaintStyle& s, TPaintCell&) { s.ColorOn = false; },
         {d.ColorText, d.Color, false}},
        {"off: reserved",
         ckReserved,
         {},
         [](TPaintStyle& s, TPaintCell&) { s.ColorOn = false; },
         {d.ColorText, d.Color, false}},
        {"off: control line",
         ckNorm,
         TLineState::lsControl,
         [](TPaintStyle& s, TPaintCell&) { s.ColorOn = false; },
         {d.ColorText, d.Color, false}},
        {"off: tab",
         ckTab,
         {},
         [](TPaintStyle& s, TPaintCell&) { s.ColorOn = false; },
         {d.ColorTab, d.Color, false}},
        // Hidden marks take their background colour and stay invisible.
        {"marks off",
         ckTab,
         {},
         [](TPaintStyle& s, TPaintCell&) { s.ShowMark = false; },
         {d.Color, d.Color, false}},
        {"tab off",
         ckTab,
         {},
         [](TPaintStyle& s, TPaintCell&) { s.ShowTab = false; },
         {d.Color, d.Color, false}},
        {"eof off",
         ckEof,
         {},
         [](TPaintStyle& s, TPaintCell&) { s.ShowEof = false; },
         {d.Color, d.Color, false}},
        // Delimiters and the per-byte table.
        {"delimiter",
         ckChar,
         {},
         [](TPaintStyle& s, TPaintCell& c) {
             s.SetDelimiters("+");
             c.Byte = '+';
         },
         {d.ColorText, d.ColorFDelimiter, false}},
        {"delimiter found",
         ckFind,
         {},
         [](TPaintStyle& s, TPaintCell& c) {
             s.SetDelimiters("+");
             c.Byte = '+';
         },
         {d.ColorText, d.ColorFind, false}},
        {"per-byte colour",
         ckChar,
         {},
         [](TPaintStyle& s, TPaintCell& c) {
             s.ColorCharOn = true;
             s.SetCharColor('+', clRed);
             c.Byte = '+';
         },
         {clRed, d.Color, false}},
        {"per-byte colour switched off",
         ckChar,
         {},
         [](TPaintStyle& s, TPaintCell& c) {
             s.SetCharColor('+', clRed);
             c.Byte = '+';
         },
         {d.ColorText, d.Color, false}},
        {"per-byte colour only for ckChar",
         ckNorm,
         {},
         [](TPaintStyle& s, TPaintCell& c) {
             s.ColorCharOn = true;
             s.SetCharColor('+', clRed);
             c.Byte = '+';
         },
         {d.ColorText, d.Color, false}},
        // Selected cells.
        {"selected",
         ckComment,
         {},
         [](TPaintStyle&, TPaintCell& c) { c.Selected = true; },
         {d.ColorSelText, d.ColorSelBrush, false}},
        {"selected dependence",
         ckDependence,
         {},
         [](TPaintStyle&, TPaintCell& c) { c.Selected = true; },
         {d.ColorDependence, d.ColorSelBrush, false}},
        {"selected tab",
         ckTab,
         {},
         [](TPaintStyle&, TPaintCell& c) { c.Selected = true; },
         {d.ColorSelCr, d.ColorSelBrush, false}},
        {"selected eof",
         ckEof,
         {},
         [](TPaintStyle&, TPaintCell& c) { c.Selected = true; },
         {d.ColorSelCr, d.Color, false}},
        {"selected hidden line end",
         ckCrLf,
         {},
         [](TPaintStyle& s, TPaintCell& c) {
             c.Selected = true;
             s.ShowCr = false;
         },
         {d.ColorSelBrush, d.ColorSelBrush, false}},
    };
    for (const TStyleCase& c : cases) {
        TPaintStyle st;
        TPaintCell cell;
        cell.Kind = c.Kind;
        if (c.Setup != nullptr) c.Setup(st, cell);
        EXPECT_EQ(CellStyle(st, cell, c.State, true), c.Expected) << c.Name;
    }
    TPaintCell selected;
    selected.Kind = ckChar;
    selected.Selected = true;
    EXPECT_EQ(CellStyle(d, selected, TLineState::lsNormal, false).Back, d.ColorSelBrushInactive);
}

TEST(ColorTest, ColoursReadAndWriteAsTheSettingsKeepThem) {
    const std::pair<const char*, TColor> both[] = {
        {"clWindowText", clWindowText},
        {"clBtnFace", clBtnFace},
        {"clBlue", clBlue},
        {"clMaroon", 128},
        {"clNone", clNone},
        {"$00123456", 0x123456},
        {"$004080FF", 0x4080FF},
        {"clMoneyGreen", 12639424},
    };
    for (const auto& [text, value] : both) {
        EXPECT_EQ(ColorToString(value), text);
        EXPECT_EQ(StringToColor(text), value) << text;
    }
    const std::pair<const char*, std::optional<TColor>> reads[] = {
        {"clwindowtext", clWindowText},
        {"CLBLUE", clBlue},
        {"clLtGray", clSilver},
        {"$FF0000", clBlue},
        {"$ff", 255},
        {"255", 255},
        {"-16777201", clBtnFace},
        {"$FF00000F", clBtnFace},
        {"", std::nullopt},
        {"$", std::nullopt},
        {"$123456789", std::nullopt},
        {"12x", std::nullopt},
        {"-", std::nullopt},
        {"clNothing", std::nullopt},
        {"4294967296", std::nullopt},
        {"2147483648", std::nullopt},
    };
    for (const auto& [text, value] : reads)
        EXPECT_EQ(StringToColor(text), value) << text;
    EXPECT_TRUE(IsSystemColor(clWindow));
    EXPECT_FALSE(IsSystemColor(clNone));
    EXPECT_EQ(SystemColorIndex(clHighlight), 13);
    EXPECT_EQ(RgbColor(0x12, 0x34, 0x56), 0x563412u);
}

}  // namespace
}  // namespace rekna::test
