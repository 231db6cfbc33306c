// Widget test of the table and text actions on the frame: rows selected in the memo pane, the
// actions triggered by name, the text and the undo steps they leave.
#include "frame/qt/vt_frame_calc.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "editor/qt/umemo.h"
#include "frame/qt/prompt_box.h"
#include "frame/text_actions.h"
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

TEST(TextCommandsWidgetTest, ConvertMenuGroupsEveryConversionOnce) {
    TVtFrameCalc frame;
    QMenu* convert = frame.CategoryMenu("変換");
    ASSERT_NE(convert, nullptr);
    EXPECT_EQ(convert->title(), QStringLiteral("変換(&E)"));
    // Every conversion is in the menu or one of its two submenus, exactly once; the menu itself
    // stays short enough for a small screen.
    std::map<QString, int> seen;
    int items = 0;
    QStringList submenus;
    for (QAction* a : convert->actions()) {
        if (a->isSeparator()) continue;
        ++items;
        if (QMenu* sub = a->menu()) {
            submenus << sub->title();
            for (QAction* b : sub->actions())
                if (!b->isSeparator()) ++seen[b->objectName()];
        } else {
            ++seen[a->objectName()];
        }
    }
    EXPECT_EQ(submenus,
              (QStringList{QStringLiteral("全角/半角"), QStringLiteral("アルファベット")}));
    EXPECT_LE(items, 16);
    for (const TTextAction& def : TextActions())
        if (def.Category == "変換") {
            EXPECT_EQ(seen[QString::fromUtf8(def.Name)], 1) << def.Name;
        }
    int conversions = 0;
    for (const auto& [name, count] : seen)
        conversions += count;
    EXPECT_EQ(conversions, 28);
}

TEST(TextCommandsWidgetTest, APromptIsWideEnoughForItsTitle) {
    TVtFrameCalc frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.UMemo1()->setFocus();
    QString title;
    int width = 0;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) return;
        title = box->windowTitle();
        width = box->width();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    frame.Action("ActionFormatAddSp")->trigger();
    EXPECT_EQ(title, QStringLiteral("キャレット行以降の行末に空白を追加"));
    EXPECT_GE(width, TitleRoom(title));
}

TEST(TextCommandsWidgetTest, MenuKeyAndShiftF10OpenThePopupAtTheCaret) {
    TVtFrameCalc frame;
    frame.resize(720, 480);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    TUMemo& memo = *frame.UMemo1();
    memo.setFocus();
    memo.Lines().SetTextStr("1+2\r\nabc def\r\nx");
    memo.Lines().Selection().SetCaret(memo.Lines(), {5, 1}, TSelMode::smNone);
    QCursor::setPos(frame.mapToGlobal(QPoint(700, 460)));
    const QRect caret =
        static_cast<const QWidget&>(memo).inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QPoint below = memo.mapToGlobal(caret.bottomLeft());
    QMenu* popup = frame.MemoPopup();
    const auto opensBelowCaret = [&](const char* how) {
        ASSERT_TRUE(popup->isVisible()) << how;
        EXPECT_LE(std::abs(popup->pos().x() - below.x()), 2) << how;
        EXPECT_LE(std::abs(popup->pos().y() - below.y()), 2) << how;
        popup->hide();
    };
    QTest::keyClick(&memo, Qt::Key_F10, Qt::ShiftModifier);
    opensBelowCaret("Shift+F10");
    // The Menu key reaches the pane as a context menu request from the keyboard.
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, caret.center(),
                              memo.mapToGlobal(caret.center()));
    QApplication::sendEvent(&memo, &menuKey);
    opensBelowCaret("Menu key");
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
    // 200 cells of 25,000 terms each: many seconds when nothing stops it, on any machine.
    std::string cell = "1";
    for (int i = 1; i < 25000; ++i)
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
    for (std::size_t p = done.find("25000"); p != std::string::npos; p = done.find("25000", p + 1))
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
