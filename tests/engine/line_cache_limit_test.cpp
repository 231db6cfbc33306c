// The line cache's bounds: repeated edits do not make it grow, and it keeps within its byte limit
// with the same answers as without it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/vt_calc.h"

namespace rekna {
namespace {

std::vector<std::string> Memo(int lines) {
    std::vector<std::string> memo = {"r1=4.7k", "r2=10k"};
    for (int i = 2; i < lines; ++i) {
        switch (i % 4) {
        case 0: memo.push_back("r1*" + std::to_string(i) + "/(r1+r2)"); break;
        case 1: memo.push_back("x" + std::to_string(i % 50) + "=Ans*1.5"); break;
        case 2: memo.push_back("sqrt(" + std::to_string(i) + ")+r2"); break;
        default: memo.push_back(std::to_string(i) + "m*3"); break;
        }
    }
    return memo;
}

// One sheet run: every line's answer.
std::vector<std::string> SheetRun(TVtCalc& calc, const std::vector<std::string>& memo) {
    std::vector<std::string> answers;
    calc.ResetDisplay();
    for (const std::string& line : memo) {
        calc.CalcLineCached(line);
        answers.push_back(calc.AnswerText());
    }
    return answers;
}

// One text met with more inputs than it keeps results for: the results used longest ago give
// way, and every answer, its log and the variables it leaves are those of a fresh calculation.
TEST(LineCacheLimitTest, ALineWithManyInputsKeepsItsNewestResults) {
    TVtCalc cached, fresh;
    cached.LogEnable = fresh.LogEnable = true;
    fresh.UseLineCache = false;
    // Twelve values of x, more than the results kept for one text.
    static_assert(TLineCache::kVariants < 12);
    for (int round = 0; round < 3; ++round) {
        for (int k = 0; k < 12; ++k) {
            std::vector<std::string> memo = {"x=" + std::to_string(k % (round == 1 ? 5 : 12)),
                                             "y=x*x+1/3", "y/(x+1)", "dB20(y)"};
            EXPECT_EQ(SheetRun(cached, memo), SheetRun(fresh, memo)) << round << " " << k;
            EXPECT_EQ(cached.LogText(), fresh.LogText()) << round << " " << k;
        }
    }
}

// Hints kept per line stay safe while the cache drops and replaces what they point at: every
// answer is a fresh calculation's (the sanitizer build catches a freed block being read).
TEST(LineCacheLimitTest, HintsOutliveTheResultsTheyPointAt) {
    const std::vector<std::string> memo = Memo(300);
    TVtCalc cached, fresh;
    fresh.UseLineCache = false;
    std::vector<TLineHint> hints(memo.size());
    for (int round = 0; round < 6; ++round) {
        if (round == 2) cached.SetLineCacheLimit(8 << 10);
        if (round == 4) cached.SetLineCacheLimit(TLineCache::kDefaultLimit);
        if (round == 5) cached.Clear(), fresh.Clear();
        cached.ResetDisplay();
        fresh.ResetDisplay();
        for (std::size_t i = 0; i < memo.size(); ++i) {
            cached.CalcLineCached(memo[i], &hints[i]);
            fresh.CalcLineCached(memo[i]);
            ASSERT_EQ(cached.AnswerText(), fresh.AnswerText()) << round << " " << memo[i];
        }
    }
}

// Hundreds of variables and a line longer than a short length: the replays read the ids, names
// and lengths back as they were kept.
TEST(LineCacheLimitTest, ManyVariablesAndLongLinesReplayAsCalculated) {
    std::vector<std::string> memo;
    for (int i = 0; i < 300; ++i)
        memo.push_back("v" + std::to_string(i) + "=" + std::to_string(i) + "/7");
    std::string sum = "v0";
    for (int i = 1; i < 300; i += 3)
        sum += "+v" + std::to_string(i);
    memo.push_back(sum);
    for (int i = 0; i < 300; i += 7)
        memo.push_back("v" + std::to_string(299 - i) + "*v" + std::to_string(i) + "-undefined" +
                       std::to_string(i));
    TVtCalc cached, fresh;
    cached.LogEnable = fresh.LogEnable = true;
    fresh.UseLineCache = false;
    std::size_t kept = 0;
    // The first round creates the variables; the lines that create one are kept from the second.
    for (int round = 0; round < 4; ++round) {
        if (round == 3) memo[250] = "v250=-1";  // an input of later lines changes
        EXPECT_EQ(SheetRun(cached, memo), SheetRun(fresh, memo)) << round;
        EXPECT_EQ(cached.LogText(), fresh.LogText()) << round;
        // The third round replays every line: nothing new is kept.
        if (round == 2) {
            EXPECT_EQ(cached.LineCacheSize(), kept);
        }
        kept = cached.LineCacheSize();
    }
    EXPECT_GT(kept, memo.size());
}

TEST(LineCacheLimitTest, RepeatedEditsOfOneLineDoNotMakeItGrow) {
    auto memo = Memo(200);
    TVtCalc calc;
    std::size_t mostEntries = 0, mostBytes = 0;
    for (int edit = 0; edit < 4000; ++edit) {
        memo[100] = "y=" + std::to_string(edit) + "*r1";
        SheetRun(calc, memo);
        if (edit == 100) mostEntries = calc.LineCacheSize(), mostBytes = calc.LineCacheBytes();
        if (edit > 100) {
            // Old texts of the edited line give way: the cache stays at what a memo of this
            // length and a few hundred edits needed.
            ASSERT_LE(calc.LineCacheSize(), std::max<std::size_t>(mostEntries, 2 * 200 + 1024 + 1))
                << "edit " << edit;
            ASSERT_LE(calc.LineCacheBytes(), std::max(mostBytes, calc.LineCacheSize() * 2048))
                << "edit " << edit;
        }
    }
    EXPECT_LT(calc.LineCacheSize(), 4000u);
}

TEST(LineCacheLimitTest, ItKeepsWithinItsLimitWithTheSameAnswers) {
    const auto memo = Memo(3000);
    TVtCalc plain;
    plain.UseLineCache = false;
    const auto expected = SheetRun(plain, memo);
    TVtCalc unbounded;
    unbounded.SetLineCacheLimit(SIZE_MAX);
    for (int run = 0; run < 3; ++run)
        SheetRun(unbounded, memo);
    for (const std::size_t limit :
         {std::size_t{0}, std::size_t{4} << 10, std::size_t{64} << 10, TLineCache::kDefaultLimit}) {
        TVtCalc calc;
        calc.SetLineCacheLimit(limit);
        for (int run = 0; run < 3; ++run) {
            EXPECT_EQ(SheetRun(calc, memo), expected) << "limit " << limit << " run " << run;
            EXPECT_LE(calc.LineCacheBytes(), limit) << "limit " << limit;
        }
        // A limit under what the memo needs keeps only part of it; a roomy one keeps it all.
        if (limit == TLineCache::kDefaultLimit) {
            EXPECT_EQ(calc.LineCacheSize(), unbounded.LineCacheSize());
        } else {
            EXPECT_LT(calc.LineCacheSize(), unbounded.LineCacheSize());
        }
        calc.SetLineCacheLimit(1024);
        EXPECT_LE(calc.LineCacheBytes(), 1024u);
    }
}

}  // namespace
}  // namespace rekna
