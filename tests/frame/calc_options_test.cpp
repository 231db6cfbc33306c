// Tests of the frame's options: the leading-character rule, the answer filters and what the
// options set in the engine.
#include "frame/calc_options.h"

#include <gtest/gtest.h>

#include "engine/vt_calc.h"
#include "frame/answer_filter.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

TEST(CalcOptionsTest, LeadingCharacterRule) {
    TCalcOptions o;
    const std::string wide = SysText("　12");
    struct {
        const char* Line;
        bool Off, On;
    } const cases[] = {
        {"12", true, false}, {" 12", true, true},   {"\t12", true, true},
        {"", false, false},  {"   ", false, false}, {"#N2", true, false},
    };
    for (const auto& c : cases) {
        o.CalcStr = false;
        EXPECT_EQ(o.IsCalcLine(c.Line), c.Off) << c.Line;
        o.CalcStr = true;
        EXPECT_EQ(o.IsCalcLine(c.Line), c.On) << c.Line;
    }
    EXPECT_FALSE(o.IsCalcLine(wide));
    o.CalcLSp = true;
    EXPECT_TRUE(o.IsCalcLine(wide));
    o.CalcEtc = true;
    EXPECT_TRUE(o.IsCalcLine("12"));
    o.CalcTab = false;
    EXPECT_FALSE(o.IsCalcLine("\t12"));
}

TEST(CalcOptionsTest, FilterAnswer) {
    EXPECT_EQ(FilterAnswer("#foo", false, false), "");
    EXPECT_EQ(FilterAnswer("#foo", false, true), "#foo");
    EXPECT_EQ(FilterAnswer("[x]", false, true), "");
    EXPECT_EQ(FilterAnswer("[x]", true, false), "[x]");
    EXPECT_EQ(FilterAnswer(" 5", false, false), " 5");
    EXPECT_EQ(FilterAnswer("", true, true), "");
}

TEST(CalcOptionsTest, DesignOptionsInTheEngine) {
    test::TNumberGuard guard;
    TVtCalc calc;
    TCalcOptions o;
    ApplyFrameDesign(calc);
    o.ApplyToEngine(calc);
    EXPECT_EQ(calc.AnsFormat(), TAnsFormat::afNon);
    EXPECT_EQ(calc.AnsFormat60(), TAnsFormat60::afN60TJ);
    EXPECT_EQ(calc.AnsLength(), 5);
    EXPECT_EQ(calc.AnsFixMax(), 18);
    EXPECT_FALSE(calc.AnsEng1());
    EXPECT_FALSE(calc.Switches.WideMul);
    o.Complex = TCplxChoice::ccJ;
    o.PendingAnsLength = 40;
    o.InpEng = false;
    o.InpEngSL = true;
    o.ApplyToEngine(calc);
    EXPECT_EQ(calc.ImagChar(), 'j');
    EXPECT_EQ(o.PendingAnsLength, 18);
    EXPECT_FALSE(NumberSettings.InpEngStrict);  // strict case needs the prefixes on
}

}  // namespace
}  // namespace rekna
