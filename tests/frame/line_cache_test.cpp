// The line cache against plain calculation: random edits and runs of memos give the same rows,
// logs, variables and functions with the cache as without it.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "editor/store/umemo_strings.h"
#include "engine/log_pack.h"
#include "engine/statistics.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/run_procedure.h"
#include "platform/cp932.h"
#include "support/golden.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

// One frame with its own copy of the process-wide state, swapped in while it works.
struct TSetup {
    explicit TSetup(bool cache) {
        Calc.UseLineCache = cache;
        // The plain frame calculates every row of every run: the reference.
        Run.Incremental = cache;
        Memo.SetCplxEnable(true);
        Enter();
        ApplyFrameDesign(Calc);
        Options.ApplyToEngine(Calc);
        Leave();
    }
    void Enter() {
        NumberSettings = Settings;
        Statistics = Stats;
        CalcErr = Err;
    }
    void Leave() {
        Settings = NumberSettings;
        Stats = Statistics;
        Err = CalcErr;
    }

    TNumberSettings Settings;
    TStatistics Stats;
    TCalcErr Err = TCalcErr::ceNone;
    TUMemoStrings Memo;
    TUMemoStrings Answers;
    TVtCalc Calc;
    TCalcOptions Options;
    TRunProcedure Run{Memo, Answers, Calc, Options};
};

std::string Bits(const TCplx& v) {
    std::string out(40, '\0');
    std::memcpy(out.data(), &v.Re.Num, 10);
    std::memcpy(out.data() + 10, &v.Re.Den, 10);
    std::memcpy(out.data() + 20, &v.Im.Num, 10);
    std::memcpy(out.data() + 30, &v.Im.Den, 10);
    return out;
}

// Everything a run leaves that can be seen: rows, their host data, the answer pane with its
// logs, the caret capture, the variables and the user functions (not the engine's scratch of the
// line it calculated last, which a run that passes lines over leaves elsewhere).
std::string Dump(TSetup& s) {
    std::string out;
    for (int r = 0; r < s.Memo.GetCount(); ++r) {
        out.append(std::to_string(r)).append("|").append(s.Memo.Note(r)).append("|");
        out.append(s.Memo.Result(r)).append("|").append(Bits(s.Memo.Value(r))).append("|");
        out.append(s.Answers.Get(r)).append("|").append(s.Memo.Log(r)).append("|");
        out.append(s.Answers.Result(r)).append("\n");
    }
    out += "capture|" + s.Run.Captured().Log + "|" + s.Run.Captured().Data + "|" +
           s.Run.Captured().Answer + "\n";
    for (int i = 0; i < s.Calc.VarCount(); ++i) {
        const TVarItem item = s.Calc.VarItem(i);
        out += item.Name + "=" + Bits(item.Value) + std::to_string(item.Flags) + "\n";
    }
    for (int i = 0; i < s.Calc.FuncCount(); ++i)
        out += s.Calc.FuncLine(i) + "\n";
    return out;
}

const std::vector<std::string> kPool = {
    "a=3",
    "b=a*2",
    "a+b",
    "Ans*2",
    "#N16",
    "255 #N2",
    "1/0",
    "e1=1/0",
    "e1+1",
    "#Sq(x)=x*x",
    "Sq(a)",
    "#G(t)=t+k",
    "k=10",
    "k=20",
    "G(2)",
    "k",
    "undefined1+1",
    "undefined1=4",
    "zL(1u)",
    "F=1k",
    "F=2k",
    "Data()",
    ">10",
    ">20",
    "End()",
    "Ave()",
    "Count()",
    "; comment",
    "",
    "x #Fix",
    "1/3",
    "Ans()+1",
    "#End",
    "2+3 ;note",
    "q=q+1",
    "sin(30)",
    "#foo",
    "#Sq(x)=x*x*x",
    "1E2500*1E2500",
    "ans=7",
    "-5+1",
    "3+4i #@",
    "c=a\"b",
    "$FF+&101",
    "10′30″",
    "Ａ＝１",
    "1+2+3+4+5+6+7+8+9+10+11+12+13+14+15+16+17+18+19+20",
};

// Applies one random edit to a memo: a line replaced, inserted or deleted, or a digit changed.
void Edit(std::mt19937& rng, TUMemoStrings& memo, int kind, int row, const std::string& text) {
    if (memo.GetCount() == 0) {
        memo.Add(text);
        return;
    }
    row %= memo.GetCount();
    switch (kind) {
    case 0: memo.SetLine(row, text); break;
    case 1: memo.Insert(memo.FirstRowOfLine(row), text); break;
    case 2:
        if (memo.GetCount() > 1) memo.Delete(row);
        break;
    default: {
        std::string line = memo.GetLine(row);
        for (char& c : line) {
            if (c >= '0' && c <= '9') {
                c = static_cast<char>('0' + rng() % 10);
                break;
            }
        }
        memo.SetLine(row, line);
        break;
    }
    }
}

TEST(LineCacheTest, RandomEditsGiveTheSameRunsWithAndWithoutTheCache) {
    test::TNumberGuard guard;
    const TStatistics savedStats = Statistics;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        TSetup cached(true), plain(false);
        std::string text;
        for (int i = 0; i < 30; ++i)
            text += SysText(kPool[rng() % kPool.size()]) + "\r\n";
        for (TSetup* s : {&cached, &plain}) {
            s->Enter();
            s->Memo.SetWrapColumns(seed % 2 ? 0 : 12);
            s->Memo.LoadBytes(text, false);
            s->Leave();
        }
        for (int step = 0; step < 120; ++step) {
            const int kind = static_cast<int>(rng() % 4);
            const int row = static_cast<int>(rng() % 64);
            const std::string line = SysText(kPool[rng() % kPool.size()]);
            const int caret = static_cast<int>(rng() % 64);
            const auto range = static_cast<TCalcRangeKind>(rng() % 5);
            const bool toggle = rng() % 10 == 0;
            const bool hold = rng() % 3 != 0;
            std::string dumps[2];
            int k = 0;
            for (TSetup* s : {&cached, &plain}) {
                std::mt19937 editRng(seed * 1000 + static_cast<unsigned>(step));
                s->Enter();
                Edit(editRng, s->Memo, kind, row, line);
                const int c = s->Memo.GetCount() == 0 ? 0 : caret % s->Memo.GetCount();
                s->Memo.Selection().Caret = {1, c};
                s->Memo.SetChangedRange(c, c);
                if (toggle) {
                    s->Options.Format = s->Options.Format == TAnsFormat::afNon ? TAnsFormat::afEng
                                                                               : TAnsFormat::afNon;
                    s->Options.ShowErrors = !s->Options.ShowErrors;
                    s->Options.ApplyToEngine(s->Calc);
                }
                s->Options.LogPolicy = hold ? TLogPolicy::lpHold : TLogPolicy::lpNone;
                s->Run.CalcRows(true, false, range);
                dumps[k++] = Dump(*s);
                s->Leave();
            }
            ASSERT_EQ(Cp932ToUtf8(dumps[0]), Cp932ToUtf8(dumps[1]))
                << "seed " << seed << " step " << step;
        }
        EXPECT_GT(cached.Calc.LineCacheSize(), 0U);
    }
    Statistics = savedStats;
}

TEST(LineCacheTest, GoldenMemosRunAgainAsWithoutTheCache) {
    // Memory persists between runs, so a second run may differ from the first (a constant
    // reassigned further down); it must not differ between the two engines.
    for (const auto& memo : test::ReadGoldens()) {
        test::TNumberGuard guard;
        const TStatistics savedStats = Statistics;
        TSetup cached(true), plain(false);
        std::string text;
        for (const auto& line : memo.Lines)
            text += SysText(line) + "\r\n";
        for (int run = 0; run < 3; ++run) {
            std::string dumps[2];
            int k = 0;
            for (TSetup* s : {&cached, &plain}) {
                s->Enter();
                if (run == 0) s->Memo.LoadBytes(text, false);
                s->Run.CalcRows(true, false, TCalcRangeKind::rkAll);
                dumps[k++] = Dump(*s);
                s->Leave();
            }
            EXPECT_EQ(Cp932ToUtf8(dumps[0]), Cp932ToUtf8(dumps[1])) << memo.Name << " run " << run;
        }
        Statistics = savedStats;
    }
}

// Alike lines share one answer with the cache, and the rows keep it when the cache lets go.
TEST(LineCacheTest, AlikeLinesShareOneAnswerThatOutlivesTheCache) {
    test::TNumberGuard guard;
    TSetup s(true);
    s.Enter();
    s.Options.LogPolicy = TLogPolicy::lpHold;
    s.Memo.LoadBytes("a=2\r\na*3\r\na*3\r\n", false);
    s.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(s.Memo.Answer(1).Get(), s.Memo.Answer(2).Get());
    const std::string log(s.Memo.Log(2));
    EXPECT_NE(UnpackLog(log).find("a*3"), std::string::npos);
    s.Calc.SetLineCacheLimit(0);
    EXPECT_EQ(s.Calc.LineCacheSize(), 0U);
    EXPECT_EQ(s.Memo.Log(2), log);
    EXPECT_EQ(s.Memo.Result(2), "6");
    s.Leave();
}

TEST(LineCacheTest, ALineWithRandomNumbersIsCalculatedEveryTime) {
    test::TNumberGuard guard;
    TSetup s(true);
    s.Enter();
    s.Memo.LoadBytes("Rand(1000000)\r\n", false);
    std::vector<std::string> seen;
    for (int run = 0; run < 4; ++run) {
        s.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
        seen.emplace_back(s.Memo.Result(0));
    }
    EXPECT_FALSE(seen[0] == seen[1] && seen[1] == seen[2] && seen[2] == seen[3]);
}

TEST(LineCacheTest, AReplayedAssignmentStillAssigns) {
    test::TNumberGuard guard;
    TSetup s(true);
    s.Enter();
    s.Memo.LoadBytes("w=5\r\nw*2\r\n", false);
    s.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    s.Run.CalcRows(true, false, TCalcRangeKind::rkAll);  // both rows cached now
    s.Calc.SetVar("w", TFrac(1.0L), TFrac(), 1, true);
    s.Run.CalcRows(true, false, TCalcRangeKind::rkAll);
    EXPECT_EQ(s.Answers.Get(1), "10");
    TFrac re, im;
    s.Calc.GetVar("w", re, im);
    EXPECT_EQ(re.Value(), 5.0L);
}

}  // namespace
}  // namespace rekna
