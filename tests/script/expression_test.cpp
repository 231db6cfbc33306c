// Tests of the script language's operators, precedence, literals and value conversions.
#include <gtest/gtest.h>

#include <vector>

#include "script_run.h"

namespace rekna {
namespace {

struct TRow {
    const char* Expr;
    const char* Expected;
};

void ExpectRows(const std::vector<TRow>& rows) {
    for (const TRow& row : rows) {
        EXPECT_EQ(RunThenEval("", row.Expr), row.Expected) << row.Expr;
    }
}

TEST(ScriptExpression, ArithmeticAndItsTypes) {
    ExpectRows({
        {"1 + 2", "Integer 3"},
        {"32767 + 1", "Long 32768"},
        {"2147483647 + 1", "Double 2147483648"},
        {"-32768 - 1", "Long -32769"},
        {"300 * 300", "Long 90000"},
        {"7 / 2", "Double 3.5"},
        {"7 \\ 2", "Integer 3"},
        {"-7 \\ 2", "Integer -3"},
        {"7.6 \\ 2", "Long 4"},
        {"-7 Mod 3", "Integer -1"},
        {"7 Mod -3", "Integer 1"},
        {"5.5 Mod 2", "Long 0"},
        {"2 ^ 10", "Double 1024"},
        {"2 ^ 3 ^ 2", "Double 64"},
        {"-2 ^ 2", "Double -4"},
        {"2 ^ -1", "Double 0.5"},
        {"1 + 2 * 3 ^ 2", "Double 19"},
        {"10 \\ 3 * 2", "Integer 1"},
        {"2 * 3 Mod 4", "Integer 2"},
        {"7 Mod 3 + 1", "Integer 2"},
        {"\"abc\" & 1 + 2", "String abc3"},
        {"- -3", "Integer 3"},
        {"-(-32768)", "Long 32768"},
        {"True + True", "Integer -2"},
        {"Empty + Empty", "Integer 0"},
        {"Empty + 1.5", "Double 1.5"},
        {"\"5\" + 1", "Double 6"},
        {"\"5\" + \"1\"", "String 51"},
        {"\"a\" + Empty", "String a"},
        {"1 & 2", "String 12"},
        {"0.1 + 0.2 & \"\"", "String 0.3"},
        {"Null & \"a\"", "String a"},
        {"Null & Null", "Null"},
        {"Null + 1", "Null"},
        {"1 / 0", "Err 11"},
        {"0 / 0", "Err 6"},
        {"5 \\ 0", "Err 11"},
        {"5 Mod 0", "Err 11"},
        {"1E308 * 10", "Err 6"},
        {"(-8) ^ 0.5", "Err 5"},
        {"\"a\" * 2", "Err 13"},
        {"3000000000 \\ 1", "Err 6"},
    });
}

TEST(ScriptExpression, Literals) {
    ExpectRows({
        {"32767", "Integer 32767"},
        {"32768", "Long 32768"},
        {"3000000000", "Double 3000000000"},
        {"1.5E3", "Double 1500"},
        {".5", "Double 0.5"},
        {"1E20", "Double 1E+20"},
        {"123456789012345678", "Double 1.23456789012346E+17"},
        {"0.0001", "Double 0.0001"},
        {"0.00001", "Double 1E-05"},
        {"&HFF", "Integer 255"},
        {"&HFFFF", "Integer -1"},
        {"&H10000", "Long 65536"},
        {"&HFFFFFFFF", "Long -1"},
        {"&O17", "Integer 15"},
        {"&17", "Integer 15"},
        {"\"ab\"\"c\"", "String ab\"c"},
        {"True", "Boolean True"},
        {"False", "Boolean False"},
        {"Empty", "Empty"},
        {"Null", "Null"},
        {"Nothing", "Nothing"},
    });
}

TEST(ScriptExpression, Comparisons) {
    ExpectRows({
        {"\"10\" < \"9\"", "Boolean True"},
        {"10 < 9", "Boolean False"},
        {"\"abc\" = \"ABC\"", "Boolean False"},
        {"1 = 1.0", "Boolean True"},
        {"1 <> 2", "Boolean True"},
        {"2 >= 2", "Boolean True"},
        {"3 <= 2", "Boolean False"},
        {"2 > 1 = True", "Boolean True"},
        {"1 = \"1\"", "Boolean True"},
        {"\"2\" > 10", "Boolean False"},
        {"Empty = 0", "Boolean True"},
        {"Empty = \"\"", "Boolean True"},
        {"Null = 1", "Null"},
        {"Nothing Is Nothing", "Boolean True"},
        {"1 Is 1", "Err 424"},
        {"1 = 1 = 1", "Boolean False"},
    });
    // Without a literal a number is less than any text.
    EXPECT_EQ(RunThenEval("a = 10 : b = \"9\"", "a < b"), "Boolean True");
    EXPECT_EQ(RunThenEval("a = 10 : b = \"10\"", "a = b"), "Boolean False");
}

TEST(ScriptExpression, Logic) {
    ExpectRows({
        {"Not 0", "Integer -1"},
        {"Not True", "Boolean False"},
        {"Not 1 = 2", "Boolean True"},
        {"5 And 3", "Integer 1"},
        {"5 Or 3", "Integer 7"},
        {"5 Xor 3", "Integer 6"},
        {"True And False", "Boolean False"},
        {"True Or False", "Boolean True"},
        {"True Xor True", "Boolean False"},
        {"True Eqv False", "Boolean False"},
        {"False Imp False", "Boolean True"},
        {"True Imp False", "Boolean False"},
        {"1 = 1 And 2 > 1", "Boolean True"},
        {"False And Null", "Boolean False"},
        {"True And Null", "Null"},
        {"True Or Null", "Boolean True"},
        {"Not Null", "Null"},
        {"70000 And 65535", "Long 4464"},
        {"True Or False And False", "Boolean True"},
        {"True Xor True Or True", "Boolean False"},
    });
}

TEST(ScriptExpression, Conversions) {
    ExpectRows({
        {"CStr(0.1 + 0.2)", "String 0.3"},
        {"CStr(1 / 3)", "String 0.333333333333333"},
        {"CStr(True)", "String True"},
        {"CStr(-0.5)", "String -0.5"},
        {"CStr(1E15)", "String 1E+15"},
        {"CStr(999999999999999)", "String 999999999999999"},
        {"CStr(CSng(1 / 3))", "String 0.3333333"},
        {"CStr(Null)", "Err 94"},
        {"CInt(True)", "Integer -1"},
        {"CInt(2.5)", "Integer 2"},
        {"CInt(3.5)", "Integer 4"},
        {"CInt(-2.5)", "Integer -2"},
        {"CInt(40000)", "Err 6"},
        {"CInt(\"12\")", "Integer 12"},
        {"CInt(\"x\")", "Err 13"},
        {"CLng(2147483647.4)", "Long 2147483647"},
        {"CLng(3E9)", "Err 6"},
        {"CByte(255)", "Byte 255"},
        {"CByte(256)", "Err 6"},
        {"CByte(-1)", "Err 6"},
        {"CDbl(\"1,234.5\")", "Double 1234.5"},
        {"CDbl(\" 12 \")", "Double 12"},
        {"CDbl(\"&H10\")", "Double 16"},
        {"CDbl(\"1e3\")", "Double 1000"},
        {"CDbl(\"\")", "Err 13"},
        {"CSng(1E39)", "Err 6"},
        {"CBool(\"True\")", "Boolean True"},
        {"CBool(\"false\")", "Boolean False"},
        {"CBool(\"0\")", "Boolean False"},
        {"CBool(2)", "Boolean True"},
        {"CBool(\"abc\")", "Err 13"},
        {"CBool(Null)", "Err 94"},
        {"CInt(Empty)", "Integer 0"},
        {"CStr(Empty)", "String "},
    });
}

}  // namespace
}  // namespace rekna
