// The line cache against plain calculation: random edits and runs of memos give the same rows,
// logs, variables and functions with the cache as without it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/log_pack.h"
#include "platform/cp932.h"
#include "run_setup.h"
#include "support/golden.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

using test::Dump;
using test::kPool;
using test::TSetup;

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
                test::Edit(editRng, s->Memo, kind, row, line);
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
