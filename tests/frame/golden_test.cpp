// The golden memos through the memo run that the batch calculator uses.
#include <gtest/gtest.h>

#include "engine/vt_calc.h"
#include "frame/batch_run.h"
#include "frame/calc_options.h"
#include "platform/cp932.h"
#include "support/golden.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

TEST(GoldenTest, EveryMemoGivesItsExpectedAnswers) {
    const auto memos = test::ReadGoldens();
    ASSERT_GE(memos.size(), 5U);
    for (const auto& memo : memos) {
        test::TNumberGuard guard;
        TVtCalc calc;
        TCalcOptions options;
        options.ShowErrors = memo.ShowErrors;
        options.ShowControl = memo.ShowControl;
        ApplyFrameDesign(calc);
        options.ApplyToEngine(calc);
        std::vector<std::string> lines;
        for (const auto& line : memo.Lines) lines.push_back(SysText(line));
        TBatchRun run(calc, options);
        const auto results = run.Run(lines);
        ASSERT_EQ(results.size(), memo.Lines.size());
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(Cp932ToUtf8(results[i].Shown), memo.Expected[i])
                << memo.Name << ":" << i + 1 << ": " << memo.Lines[i];
        }
    }
}

}  // namespace
}  // namespace rekna
