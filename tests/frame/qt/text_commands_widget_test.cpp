// Widget test of the table and text actions on the frame: rows selected in the memo pane, the
// actions triggered by name, the text and the undo steps they leave.
#include "frame/qt/vt_frame_calc.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>

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

TEST(TextCommandsWidgetTest, ReplacingALongTableWithItsAnswersShowsProgressAndStopsOnEsc) {
    TVtFrameCalc frame;
    frame.resize(720, 480);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    TUMemo& memo = *frame.UMemo1();
    memo.setFocus();
    // Without auto-calculation, so that Esc reaches the command and not a run of the memo.
    frame.Action("ActionSetCalcAuto")->trigger();
    ASSERT_FALSE(frame.Core().Options().CalcAuto);
    // 200 cells of 5,000 terms each: seconds when nothing stops it.
    std::string cell = "1";
    for (int i = 1; i < 5000; ++i)
        cell += "+1";
    std::string text;
    for (int r = 0; r < 20; ++r) {
        for (int c = 0; c < 10; ++c)
            text += (c ? "\t" : "") + cell;
        text += "\r\n";
    }
    memo.Lines().SetTextStr(text);
    memo.Editor().ClearUndo();
    memo.Lines().Selection().SelectRows(memo.Lines(), 0, 19);
    // Esc is typed once the progress shows.
    struct TTipWatch : QObject {
        QStringList Tips;
        QWidget* Memo = nullptr;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() != QEvent::StatusTip) return false;
            Tips << static_cast<QStatusTipEvent*>(e)->tip();
            if (Tips.size() == 1) {
                QTimer::singleShot(0, Memo, [this] {
                    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QApplication::sendEvent(Memo, &esc);
                });
            }
            return false;
        }
    } watch;
    watch.Memo = &memo;
    frame.installEventFilter(&watch);
    QElapsedTimer clock;
    clock.start();
    frame.Action("ActionTableCalc")->trigger();
    const qint64 ms = clock.elapsed();
    frame.removeEventFilter(&watch);
    const std::string done = MemoText(memo);
    std::size_t calculated = 0;
    for (std::size_t p = done.find("5000"); p != std::string::npos; p = done.find("5000", p + 1))
        ++calculated;
    EXPECT_GT(calculated, 0U);    // the work done before Esc is kept
    EXPECT_LT(calculated, 200U);  // and the rest was not calculated
    EXPECT_NE(done.find(cell), std::string::npos);
    ASSERT_GE(watch.Tips.size(), 2);
    EXPECT_TRUE(watch.Tips.front().startsWith(QStringLiteral("計算結果で置換中 ")))
        << watch.Tips.front().toStdString();
    EXPECT_GE(ms, TVtFrameCalc::kLongCommandProgressMs);
    EXPECT_EQ(watch.Tips.back(),
              QStringLiteral("計算結果で置換を中止しました (%1 / 200)").arg(calculated));
    // One undo step takes it all back; nothing is left busy.
    EXPECT_TRUE(memo.Editor().Undo());
    EXPECT_EQ(memo.Lines().GetTextStr(), text);
    EXPECT_FALSE(frame.Busy());
    EXPECT_FALSE(frame.Core().Run().EscPressed);
}

}  // namespace
}  // namespace rekna
