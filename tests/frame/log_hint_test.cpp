// Tests of the log hint: the token under the mouse and the rules that describe it.
#include "frame/log_hint.h"

#include <gtest/gtest.h>

#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

TEST(LogHintTest, Tokens) {
    struct {
        const char* Line;
        std::size_t Index;
        const char* Token;
    } const rows[] = {
        {"r1*2.5", 0, "r1"},       {"r1*2.5", 2, "*"},         {"r1*2.5", 4, "2.5"},
        {"sin(30)", 1, "sin("},    {"{-5}+1", 2, "-5"},        {"{-5}+1", 1, "-5"},
        {"3-4", 2, "4"},           {"1.5E-3+1", 1, "1.5E-3"},  {"a>=b", 1, ">="},
        {"a>=b", 2, ">="},         {"x #N16", 4, "#N16"},      {"x #N16", 1, ""},
        {"x?+1", 0, "x?"},         {"e1??+1", 1, "e1??"},      {"$FF+&C101", 1, "$FF"},
        {"$FF+&C101", 6, "&C101"}, {"5\t;Data3", 4, ";Data3"}, {"#Sq(x)=x*x", 2, "#Sq("},
        {"2=^z", 1, "=^"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(LogTokenAt(r.Line, r.Index), r.Token) << r.Line << " @" << r.Index;
    const std::string wide = SysText("[0による割算]");
    EXPECT_EQ(LogTokenAt(wide, 3), wide);  // inside a double-byte character
    EXPECT_EQ(LogTokenAt("", 0), "");
    EXPECT_EQ(LogTokenAt("ab", 5), "");
}

TEST(LogHintTest, Descriptions) {
    test::TNumberGuard guard;
    TVtCalc calc;
    calc.CalcLine("r=4.7k", true, true, true);
    calc.CalcLine("#Sq(x)=x*x", true, true, true);
    calc.CalcLine("e1=1/0", true, true, true);
    const std::vector<TUserFuncMenuItem> menu = {
        {SysText("Half(x) : 半分"), SysText("#Half(x)=x/2 [半分]")}};
    const std::vector<std::string> none;
    const auto describe = [&](const std::string& utf8) {
        const auto d = DescribeLogToken(calc, SysText(utf8), menu, none);
        return d ? Cp932ToUtf8(*d) : std::string("<none>");
    };
    struct {
        const char* Token;
        const char* Expected;
    } const rows[] = {
        {"Sq(", "[ユーザー定義関数] Sq(x)=(x*x)"},
        {"Half(", "[ユーザー定義関数] Half(x)=x/2 [半分]"},
        {"pi(", "[定数] Pi,Pai,π : 円周率 = 3.14159265358979324"},
        {"log10(", "[関数] Log,Log10 : ログ10(常用対数)"},
        {"sin(", "[関数] Sin : サイン"},
        {"#N16", "[制御コード] #N16 : 16進数表示に設定"},
        {"#Jpn", "[制御コード] #Jpn , #N10 : 京兆億万形式に設定"},
        {"+", "[演算子] + : 足し算(A)"},
        {"**", "[演算子] ^ , ** : べき乗(P)"},
        {"=>", "[演算子] >= , => : 左の実数部が小さくないとき1(J)"},
        {"=-", "<none>"},
        {"･", "演算子()の前後の 省略乗算"},
        {"3行合計", "[3行合計]"},
        {"&C111", "[2進補数] &C111 = -1"},
        {"&101", "[2進数] &101 = 5"},
        {"$FF", "[16進数] $FF = 255"},
        {"2.5", "[数値] 2.5"},
        {"-5", "[数値] -5"},
        {"[0による割算]", "[エラー] [0による割算]"},
        {"[制御コード]", "[制御コード]"},
        {"[nonsense]", "[エラー] ?"},
        {";Data3", "[統計データ] Data3"},
        {"r", "[変数] r = 4700"},
        {"zz?", "[未定義変数] zz ? = 0"},
        {"e1??", "[エラー変数] e1?? = 計算エラーが代入されています"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(describe(r.Token), r.Expected) << r.Token;
    const std::vector<std::string> args = DefinitionParams("#Sq(x, y)=x*y");
    EXPECT_EQ(args, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(Cp932ToUtf8(*DescribeLogToken(calc, "x", menu, args)), "[引数] = x");
    EXPECT_EQ(Cp932ToUtf8(*DescribeLogToken(calc, "r", menu, args)), "[変数] r");
}

TEST(LogHintTest, TheWholeHint) {
    test::TNumberGuard guard;
    TVtCalc calc;
    EXPECT_EQ(Cp932ToUtf8(LogHintText(calc, "2+3", 0, {}, "2+3")), "[数値] 2|2+3");
    EXPECT_EQ(LogHintText(calc, "2+3", 3, {}, "2+3"), "|2+3");
    EXPECT_EQ(LogHintText(calc, "2+3", -1, {}, "2+3"), "|2+3");
    EXPECT_EQ(LogHintText(calc, "2=-3", 1, {}, "2=-3"), "");
    // 掛 is 0x8A 0x7C: its trail byte is a "|" that must not split the hint.
    const std::string times = LogHintText(calc, "2*3", 1, {}, "2*3");
    ASSERT_NE(times.find(SysText("掛")), std::string::npos);
    EXPECT_EQ(Cp932ToUtf8(SplitHint(times).Popup), "[演算子] * : 掛け算(M)");
    EXPECT_EQ(SplitHint(times).Status, "2*3");
    EXPECT_EQ(SplitHint("no bar").Status, "no bar");
    EXPECT_EQ(SplitHint("no bar").Popup, "");
}

TEST(LogHintTest, BracketedTextsEndingInADoubleByteCharacter) {
    test::TNumberGuard guard;
    TVtCalc calc;
    // ソ is 0x83 0x5D: its trail byte is a "]".
    EXPECT_EQ(Cp932ToUtf8(DescribeLogToken(calc, SysText("[ソ"), {}, {}).value_or("")),
              "[エラー] ?");
    EXPECT_EQ(Cp932ToUtf8(DescribeLogToken(calc, SysText("[0による割算]"), {}, {}).value_or("")),
              "[エラー] [0による割算]");
}

}  // namespace
}  // namespace rekna
