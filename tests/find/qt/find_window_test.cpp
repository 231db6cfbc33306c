// The find window driven with keys from the main window: Ctrl+F, typing, Enter, F3, Shift+F3,
// the jump box, Replace All with its caption and one undo step, and the kept settings text.
#include "find/qt/find_window.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

#include "editor/qt/umemo.h"
#include "find/qt/find_parts.h"
#include "frame/qt/vt_frame_calc.h"
#include "platform/cp932.h"
#include "shell/qt/form_memo.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

class FindWindowTest : public ::testing::Test {
protected:
    FindWindowTest() {
        Paths.SettingsFile = Dir.path().toStdString() + "/rekna.ini";
        Paths.SettingsFolder = Dir.path().toStdString() + "/";
        Form = std::make_unique<TFormMemo>(Paths);
        Form->AskToSave = [] { return TSaveAnswer::saNo; };
        Form->Start();
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->FirstShow();
        QTest::qWait(1);
    }
    ~FindWindowTest() override { Form->close(); }

    TUMemo& Memo() { return *Form->VtFrameCalc1()->UMemo1(); }
    void SetMemo(const char* text) {
        Memo().LoadBytes(Utf8ToCp932(text), false);
        Memo().setFocus();
    }
    std::string Rows() {
        std::string out;
        for (std::int32_t r = 0; r < Memo().Lines().GetCount(); ++r)
            out += (r > 0 ? "|" : "") + Cp932ToUtf8(Memo().Lines().Get(r));
        return out;
    }
    // "anchor-caret" of the memo's selection as (x,y).
    std::string Selection() {
        const TUMemoSelection& sel = Memo().Lines().Selection();
        auto p = [](TSelPoint q) {
            return "(" + std::to_string(q.X) + "," + std::to_string(q.Y) + ")";
        };
        return p(sel.Anchor) + "-" + p(sel.Caret);
    }
    TFormFind& Window() { return FindWindowOf(*Form); }

    test::TNumberGuard Guard;
    QTemporaryDir Dir;
    TStartPaths Paths;
    std::unique_ptr<TFormMemo> Form;
};

TEST_F(FindWindowTest, ItOpensClearOfTheMenusAndToolBarAndOnTheScreen) {
    const QRect area = Form->screen()->availableGeometry();
    // Room above the main window: it stands there. None (the window at the screen's top): it
    // stands inside the calculation frame, below the menus and the tool bar.
    for (const int top : {area.top() + 250, area.top()}) {
        Form->move(area.left() + 20, top);
        Form->resize(600, 300);
        SetMemo("x");
        QTest::keyClick(&Memo(), Qt::Key_F, Qt::ControlModifier);
        TFormFind& w = Window();
        ASSERT_TRUE(w.isVisible());
        const QRect find = w.frameGeometry();
        EXPECT_TRUE(area.contains(find)) << top;
        const QPoint frame = Form->VtFrameCalc1()->mapToGlobal(QPoint(0, 0));
        EXPECT_TRUE(find.bottom() < Form->frameGeometry().top() || find.top() >= frame.y()) << top;
        w.close();
    }
}

TEST_F(FindWindowTest, CtrlFTypingEnterF3AndShiftF3) {
    SetMemo("x=1\r\nab=2\r\nab*3\r\nab");
    QTest::keyClick(&Memo(), Qt::Key_F, Qt::ControlModifier);
    TFormFind& w = Window();
    ASSERT_TRUE(w.isVisible());
    QLineEdit* box = w.ComboBoxText()->lineEdit();
    EXPECT_FALSE(Form->Action("ActionFindDn")->isEnabled());
    QTest::keyClicks(box, "AB");
    EXPECT_TRUE(Form->Action("ActionFindDn")->isEnabled());
    EXPECT_EQ(Form->Action("ActionFindDn")->statusTip(),
              QStringLiteral("AB カーソル位置から下方検索"));
    // Case-sensitive by default: nothing; the toggle off finds "ab".
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("検索結果 = 見つかりませんでした"));
    w.findChild<QToolButton*>(QStringLiteral("ToolButtonStr"))->click();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("検索結果 = 2 行"));
    EXPECT_EQ(Selection(), "(1,1)-(3,1)");
    Memo().setFocus();
    QTest::keyClick(&Memo(), Qt::Key_F3);
    EXPECT_EQ(Selection(), "(1,2)-(3,2)");
    QTest::keyClick(&Memo(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Selection(), "(3,1)-(1,1)");
    // Up and Down in the search box search too.
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(Selection(), "(1,2)-(3,2)");
    EXPECT_EQ(Form->KeptSettings().at("FindLS"), "0AB");
}

TEST_F(FindWindowTest, ReplaceAllIsOneUndoStepWithItsCount) {
    SetMemo("1+ab\r\nab*2\r\nc=ab");
    Memo().Lines().Selection().SetCaret(Memo().Lines(), {3, 2}, TSelMode::smNone);
    TFormFind& w = Window();
    w.Open();
    QTest::keyClicks(w.ComboBoxText()->lineEdit(), "ab");
    QTest::keyClicks(w.ComboBoxREP()->lineEdit(), "7");
    w.findChild<QToolButton*>(QStringLiteral("ToolButtonRepALL"))->click();
    EXPECT_EQ(Rows(), "1+7|7*2|c=7");
    EXPECT_EQ(w.windowTitle(), QStringLiteral("置換結果 = 3 個を置換しました"));
    const auto answers = Form->VtFrameCalc1()->UMemo2()->Lines().Get(2);
    EXPECT_EQ(answers, "7");
    Memo().Editor().Undo();
    EXPECT_EQ(Rows(), "1+ab|ab*2|c=ab");
    EXPECT_FALSE(Memo().Editor().CanUndo());
}

TEST_F(FindWindowTest, ReplaceAndFindWithKeysInTheReplaceBox) {
    SetMemo("a a a");
    TFormFind& w = Window();
    w.Open();
    QTest::keyClicks(w.ComboBoxText()->lineEdit(), "a");
    QTest::keyClicks(w.ComboBoxREP()->lineEdit(), "bb");
    QTest::keyClick(w.ComboBoxText()->lineEdit(), Qt::Key_Return);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(w.ComboBoxREP()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Rows(), "bb bb bb");
    EXPECT_EQ(w.windowTitle(), QStringLiteral("検索結果 = 見つかりませんでした"));
}

TEST_F(FindWindowTest, TheJumpBoxTakesOnlyNumbersAndJumps) {
    std::string lines;
    for (int i = 1; i <= 30; ++i)
        lines += std::to_string(i) + "\r\n";
    SetMemo(lines.c_str());
    Memo().Lines().Selection().SetCaret(Memo().Lines(), {1, 4}, TSelMode::smNone);
    TFormFind& w = Window();
    w.Open();
    QLineEdit* jump = w.ComboBoxJump()->lineEdit();
    jump->clear();
    QTest::keyClicks(jump, "+1x0");
    EXPECT_EQ(jump->text(), QStringLiteral("+10"));
    QTest::keyClick(jump, Qt::Key_Return);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("検索結果 = 15 行"));
    EXPECT_EQ(Memo().Lines().Selection().Mode, TSelMode::smLine);
    EXPECT_EQ(Memo().Lines().Selection().Caret.Y, 14);
    jump->clear();
    QTest::keyClicks(jump, "0");
    EXPECT_FALSE(w.findChild<QToolButton*>(QStringLiteral("ToolButtonJmpNo"))->isEnabled());
    QTest::keyClick(jump, Qt::Key_Return);
    EXPECT_EQ(jump->text(), QStringLiteral("1"));
    EXPECT_EQ(Memo().Lines().Selection().Caret.Y, 0);
    QTest::keyClick(jump, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Memo().Lines().Selection().Caret.Y, Memo().Lines().GetCount() - 1);
    // Ctrl+Tab puts a Tab into the search box; Esc hides the window.
    QTest::keyClick(w.ComboBoxText()->lineEdit(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w.ComboBoxText()->currentText(), QStringLiteral("\t"));
    QTest::keyClick(w.ComboBoxText()->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(Form->KeptSettings().at("FindLS"), "1\\t");
}

}  // namespace
}  // namespace rekna
