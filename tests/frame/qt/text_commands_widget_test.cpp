// Widget test of the table and text actions on the frame: rows selected in the memo pane, the
// actions triggered by name, the text and the undo steps they leave.
#include "frame/qt/vt_frame_calc.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include "editor/qt/umemo.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

std::string MemoText(TUMemo& memo) {
    std::string out;
    for (const char c : Cp932ToUtf8(memo.Lines().GetTextStr()))
        if (c != '\r') out += c;
    return out;
}

TEST(TextCommandsWidgetTest, TabTableToRuledAndBackEachOneUndoStep) {
    TVtFrameCalc frame;
    frame.resize(720, 480);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    TUMemo& memo = *frame.UMemo1();
    memo.setFocus();
    memo.Lines().SetTextStr(Utf8ToCp932("品名\t数量\r\nりんご\t3\r\nend"));
    memo.Editor().ClearUndo();
    memo.Lines().Selection().SelectRows(memo.Lines(), 0, 1);

    ASSERT_NE(frame.Action("ActionTableKei"), nullptr);
    frame.Action("ActionTableKei")->trigger();
    const std::string ruled = "│品名  │数量│\n│りんご│3   │\nend";
    EXPECT_EQ(MemoText(memo), ruled);
    frame.Action("ActionTableTab")->trigger();
    EXPECT_EQ(MemoText(memo), "品名\t数量\nりんご\t3\nend");
    EXPECT_TRUE(memo.Editor().Undo());
    EXPECT_EQ(MemoText(memo), ruled);
    EXPECT_TRUE(memo.Editor().Undo());
    EXPECT_EQ(MemoText(memo), "品名\t数量\nりんご\t3\nend");
    EXPECT_FALSE(memo.Editor().CanUndo());

    // A text command through its action, and the category menus the frame offers.
    memo.Lines().Selection().SelectRows(memo.Lines(), 0, 2);
    frame.Action("ActionSortRowRev")->trigger();
    EXPECT_EQ(MemoText(memo), "end\nりんご\t3\n品名\t数量");
    EXPECT_TRUE(memo.Editor().Undo());
    EXPECT_FALSE(memo.Editor().CanUndo());
    for (const char* category : {"テーブル", "変換", "入替", "整形", "括弧"})
        EXPECT_NE(frame.CategoryMenu(category), nullptr) << category;
    EXPECT_EQ(frame.CategoryMenu("テーブル")->actions().size(), 14);
}

}  // namespace
}  // namespace rekna
