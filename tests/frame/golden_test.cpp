// The golden memos through the run procedure, as the program runs all lines.
#include <gtest/gtest.h>

#include "editor/store/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/frame_settings.h"
#include "frame/run_procedure.h"
#include "platform/cp932.h"
#include "support/golden.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

TEST(GoldenTest, EveryMemoGivesItsExpectedAnswers) {
    const auto memos = test::ReadGoldens();
    ASSERT_GE(memos.size(), 5U);
    for (const auto& memo : memos) {
        // The programs install the script host; these memos run through rekna-calc.
        if (memo.Script) continue;
        test::TNumberGuard guard;
        TVtCalc calc;
        // As the window starts: a fresh installation with the memo's settings keys.
        TCalcOptions options = FreshInstallOptions();
        ApplyFrameDesign(calc);
        TMemorySettings pins;
        for (const std::string& kv : memo.Settings)
            pins.Set(kv.substr(0, kv.find('=')), kv.substr(kv.find('=') + 1));
        TPaneStyles styles;
        ReadFrameSettings(pins, options, calc, styles);
        options.ShowErrors = memo.ShowErrors;
        options.ShowControl = memo.ShowControl;
        options.ApplyToEngine(calc);
        TUMemoStrings memoPane, answerPane;
        memoPane.SetCplxEnable(true);
        std::string text;
        for (const auto& line : memo.Lines)
            text += SysText(line) + "\r\n";
        memoPane.LoadBytes(text, false);
        TRunProcedure run(memoPane, answerPane, calc, options);
        run.CalcRows(true, false, TCalcRangeKind::rkAll);
        ASSERT_EQ(answerPane.GetCount(), static_cast<int>(memo.Lines.size())) << memo.Name;
        for (int i = 0; i < answerPane.GetCount(); ++i) {
            EXPECT_EQ(Cp932ToUtf8(answerPane.Get(i)), memo.Expected[static_cast<std::size_t>(i)])
                << memo.Name << ":" << i + 1 << ": " << memo.Lines[static_cast<std::size_t>(i)];
        }
    }
}

}  // namespace
}  // namespace rekna
