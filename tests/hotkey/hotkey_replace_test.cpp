// Tests of the text a hot key writes back: lines, Tab cells, written results and the actions.
#include "hotkey/hotkey_replace.h"

#include <gtest/gtest.h>

#include "engine/vt_calc.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

// The engine answering in the general format, as the main window sets it.
struct TGeneralEngine {
    test::TNumberGuard Guard;
    TVtCalc Calc;
    TGeneralEngine() { Calc.SetAnsFormat(TAnsFormat::afNon); }
};

struct TRow {
    const char* Text;   // UTF-8
    const char* Flags;  // S spreadsheet, H half-width equals, R replace, D delete, E errors shown
    const char* Expected;
};

std::string Rewrite(const TRow& row, TVtCalc& calc) {
    const std::string_view flags = row.Flags;
    TReplacementOptions o;
    o.Spreadsheet = flags.find('S') != std::string_view::npos;
    o.HalfEquals = flags.find('H') != std::string_view::npos;
    o.Replace = flags.find('R') != std::string_view::npos;
    o.Calculate = flags.find('D') == std::string_view::npos;
    o.ShowErrors = flags.find('E') != std::string_view::npos;
    const std::string out =
        ComputeReplacement(SysText(row.Text), o, [&calc](const std::string& cell) {
            calc.CalcLine(cell, true, true, true);
            return std::pair{calc.Data(), calc.AnswerText()};
        });
    return Cp932ToUtf8(out);
}

TEST(HotKeyReplace, LinesCellsAndActions) {
    const TRow rows[] = {
        {"1+2", "", "1+2 ＝ 3"},
        {"1+2\n", "", "1+2 ＝ 3\n"},
        {"1+2\r\n3*4\r\n", "", "1+2 ＝ 3\n3*4 ＝ 12\n"},
        {"1+2\n\n3*4", "", "1+2 ＝ 3\n\n3*4 ＝ 12"},
        {"1+2", "H", "1+2 = 3"},
        {"1+2", "R", "3"},
        {"1+2\n3*4", "R", "3\n12"},
        // A written result is worked out again; its comment stays.
        {"1+2 ＝ 5", "", "1+2 ＝ 3"},
        {"1+2 ＝ 5 [kept]", "", "1+2 ＝ 3 [kept]"},
        {"1+2 ＝ 5", "H", "1+2 = 3"},
        {"1+2 ＝ 3", "D", "1+2"},
        {"1+2 ＝ 3\n4 ＝ 4\n", "D", "1+2\n4\n"},
        {"1+2", "D", "1+2"},
        // Only a written answer's " ＝ " is taken out: the user's own "＝" stays.
        {"合計＝1+2", "", "合計＝1+2 ＝ 3"},
        {"合計＝1+2 ＝ 3", "D", "合計＝1+2"},
        {"合計＝1+2", "R", "3"},
        // A "＝" inside a comment is no marker.
        {"1+2 [a＝b]", "", "1+2 [a＝b] ＝ 3"},
        // The trail byte of 戟 and the lead byte of ＋ are no "＝".
        {"戟＋2 ＝ 5", "D", "戟＋2"},
        // A line without an answer keeps its text, without an old result.
        {"[note] ＝ 5", "", "[note]"},
        {"[note]", "R", "[note]"},
        {"abc", "", "abc ＝ Err"},
        {"   ", "", "   "},
        {"1/0", "", "1/0 ＝ Err"},
        {"1/0", "E", "1/0 ＝ [0による割算]"},
        // Spreadsheet rows: every Tab cell alone, an empty last line dropped.
        {"1+2\t3*4\n", "S", "1+2 ＝ 3\t3*4 ＝ 12"},
        {"1+2\t\t[x]\n2*2\t1\n", "SR", "3\t\t[x]\n4\t1"},
        // Outside a spreadsheet a Tab is a blank of the line.
        {"1+2\t3*4\n", "", "1+2\t3*4 ＝ 93\n"},
        {"", "", ""},
    };
    TGeneralEngine engine;
    TVtCalc& calc = engine.Calc;
    for (const TRow& r : rows)
        EXPECT_EQ(Rewrite(r, calc), r.Expected) << r.Text << " " << r.Flags;
}

}  // namespace
}  // namespace rekna
