// Widget tests of the completion popup typed into the memo pane, the insert commands and the
// help topics of the calculation frame.
#include "frame/qt/vt_frame_calc.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/qt/umemo.h"
#include "frame/qt/completion_view.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

class CompletionWidgetTest : public ::testing::Test {
protected:
    CompletionWidgetTest() {
        Frame.resize(720, 480);
        Frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Frame));
        Memo().setFocus();
    }
    TUMemo& Memo() { return *Frame.UMemo1(); }
    void Type(const char* latin) { QTest::keyClicks(&Memo(), QString::fromLatin1(latin)); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&Memo(), key, modifiers);
    }
    TCompletionListBox* List() { return Frame.findChild<TCompletionListBox*>(); }
    bool Open() { return List() != nullptr && List()->isVisible(); }
    std::string Entries() {
        std::string out;
        for (int i = 0; i < List()->count(); ++i)
            out += (i ? " " : "") + List()->item(i)->text().toStdString();
        return out;
    }
    std::string Current() {
        const QListWidgetItem* item = List()->currentItem();
        return item ? item->text().toStdString() : std::string("-");
    }
    // The memo's text with "|" at the caret.
    std::string Text() {
        const TUMemoStrings& s = Memo().Lines();
        std::string out;
        for (int r = 0; r < s.GetCount(); ++r) {
            std::string row = s.Get(r);
            if (r == s.Selection().Caret.Y)
                row.insert(static_cast<std::size_t>(s.Selection().Caret.X - 1), "|");
            out += (r ? "\n" : "") + Cp932ToUtf8(row);
        }
        return out;
    }
    bool MemoHasKeyboard() { return QApplication::focusWidget() == &Memo(); }

    test::TNumberGuard Guard;
    TVtFrameCalc Frame;
};

TEST_F(CompletionWidgetTest, CtrlSpaceFiltersMovesAndAccepts) {
    Type("1+Sq");
    Key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(Open());
    EXPECT_EQ(Entries(), "Sqr Sqr3 Sqrt Sqrt3");
    EXPECT_EQ(Current(), "-");
    EXPECT_TRUE(MemoHasKeyboard());
    // Under the caret, one pixel left of its column.
    const QPoint at = List()->mapTo(&Frame, QPoint(0, 0));
    const QPoint caret = Memo().viewport()->mapTo(&Frame, QPoint(Memo().ColumnX(5) - 1, 0));
    EXPECT_EQ(at.x(), caret.x());
    EXPECT_GT(at.y(), caret.y());
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(Current(), "Sqrt");
    EXPECT_TRUE(MemoHasKeyboard());
    Key(Qt::Key_Return);
    EXPECT_FALSE(Open());
    EXPECT_EQ(Text(), "1+Sqrt|");
    EXPECT_TRUE(MemoHasKeyboard());
    // The acceptance is one undo step.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "1+Sq|");
}

TEST_F(CompletionWidgetTest, TypingRefillsAndPreselects) {
    Type("Lo");
    Key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(Open());
    EXPECT_EQ(Entries(), "Log Log10 Log2");
    Type("g1");
    EXPECT_TRUE(Open());
    EXPECT_EQ(Entries(), "Log10");
    EXPECT_EQ(Current(), "Log10");
    Key(Qt::Key_Tab);
    EXPECT_EQ(Text(), "Log10|");
    // Esc and a space close it without accepting.
    Key(Qt::Key_Return);
    Type("Ar");
    Key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(Open());
    Key(Qt::Key_Down);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Open());
    EXPECT_EQ(Text(), "Log10\nAr|");
}

TEST_F(CompletionWidgetTest, ScriptLinesOfferScriptWordsAndAClickAccepts) {
    Type("#>Ms");
    Key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(Open());
    EXPECT_EQ(Entries(), "MsgBox");
    const QRect row = List()->visualItemRect(List()->item(0));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_FALSE(Open());
    EXPECT_EQ(Text(), "#>MsgBox|");
    EXPECT_TRUE(MemoHasKeyboard());
}

TEST_F(CompletionWidgetTest, InsertCommandsPutTheirTextsIn) {
    Frame.Action("ActionFuncSin")->trigger();
    EXPECT_EQ(Text(), "Sin(|)");
    Type("30");
    Frame.Action("ActionCont08")->trigger();
    EXPECT_EQ(Text(), "Sin(30) #N16|");
    Frame.Action("ActionCont04")->trigger();
    EXPECT_EQ(Text(), "#|\nSin(30) #N16");
    // A fragment waits for the memo to have the keyboard; a directive does not.
    Frame.UMemo2()->setFocus();
    Frame.Action("ActionFuncCos")->trigger();
    EXPECT_EQ(Text(), "#|\nSin(30) #N16");
    // The frame's menus offer every category, and the memo's popup menu holds them.
    for (const char* category : {"演算子", "関数", "補助単位", "ギリシャ大", "VBScript", "HELP"})
        EXPECT_NE(Frame.CategoryMenu(category), nullptr) << category;
    EXPECT_EQ(Frame.CategoryMenu("VBScript")->actions().size(), 12);
}

// Answers the modal dialogs that come up, one step per dialog.
void AnswerDialogs(std::vector<std::function<void(QWidget*)>> steps) {
    auto* pending = new std::vector<std::function<void(QWidget*)>>(std::move(steps));
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [pending, timer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || pending->empty()) return;
        auto step = pending->front();
        pending->erase(pending->begin());
        step(modal);
        if (pending->empty()) {
            timer->deleteLater();
            delete pending;
        }
    });
    timer->start(20);
}

TEST_F(CompletionWidgetTest, CalendarAsksForTheMonthUntilItCanReadIt) {
    Type("x");
    AnswerDialogs({
        [](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->labelText(), QStringLiteral("年/月 を入力"));
            dialog->setTextValue(QStringLiteral("2015/13"));
            dialog->accept();
        },
        [](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            EXPECT_TRUE(box->text().contains(QStringLiteral("1～12")));
            box->accept();
        },
        [](QWidget* w) {
            auto* dialog = qobject_cast<QInputDialog*>(w);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->textValue(), QStringLiteral("2015/13"));
            dialog->setTextValue(QStringLiteral("2015/2"));
            dialog->accept();
        },
    });
    Frame.Action("ActionInsCalendar")->trigger();
    EXPECT_EQ(Text(), "+----- 2015年 2月 -----+\n"
                      "| 日 月 火 水 木 金 土 |\n"
                      "|  1  2  3  4  5  6  7 |\n"
                      "|  8  9 10 11 12 13 14 |\n"
                      "| 15 16 17 18 19 20 21 |\n"
                      "| 22 23 24 25 26 27 28 |\n"
                      "+----------------------+\n"
                      "x|");
}

TEST_F(CompletionWidgetTest, HelpTopicsAndInsertShortcuts) {
    Frame.Action("ActionHelpVBScript")->trigger();
    auto* box = Frame.findChild<QMessageBox*>(QStringLiteral("HelpTopicBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->text().contains(QStringLiteral("#>  S=S & i & \"A \"")));
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes);
    // The title is the topic without the menu's accelerator; the lines are the topic's own,
    // never wrapped inside an example value.
    EXPECT_EQ(box->windowTitle(), QStringLiteral("VBScript説明"));
    Frame.Action("ActionHelpValue")->trigger();
    EXPECT_EQ(box->windowTitle(), QStringLiteral("数値説明"));
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->wordWrap());
    EXPECT_TRUE(box->text().contains(QStringLiteral("1億23万45.6")));
    box->accept();
    Memo().setFocus();
    // Without the keys bound, Ctrl+K types nothing; bound, it inserts 京.
    Type("1");
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Text(), "1|");
    Frame.SetInsertShortcuts(true);
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Text(), "1京|");
    EXPECT_EQ(Frame.Action("ActionUnit23")->shortcut(),
              QKeySequence(QStringLiteral("Shift+Ctrl+M")));
    Frame.Action("ActionSetAnsN60")->trigger();
    EXPECT_EQ(Frame.Action("ActionUnit23")->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
    EXPECT_EQ(Frame.Action("ActionUnit18")->shortcut(),
              QKeySequence(QStringLiteral("Shift+Ctrl+M")));
}

}  // namespace
}  // namespace rekna
