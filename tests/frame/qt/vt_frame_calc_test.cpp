// Widget tests of the calculation frame: typing into the memo pane, the answer pane and the calc
// bar that follow, option actions, the log pane and its hint, and the settings keys.
#include "frame/qt/vt_frame_calc.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/qt/umemo.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

class FrameWidgetTest : public ::testing::Test {
protected:
    FrameWidgetTest() {
        Frame.resize(720, 480);
        Frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&Frame));
        Frame.UMemo1()->setFocus();
    }
    TUMemo& Memo() { return *Frame.UMemo1(); }
    std::vector<std::string> Answers() {
        std::vector<std::string> out;
        const TUMemoStrings& a = Frame.UMemo2()->Lines();
        for (int r = 0; r < a.GetCount(); ++r)
            out.push_back(Cp932ToUtf8(a.Get(r)));
        return out;
    }
    std::vector<std::string> Log() {
        std::vector<std::string> out;
        const TUMemoStrings& a = Frame.UMemo3()->Lines();
        for (int r = 0; r < a.GetCount(); ++r)
            out.push_back(Cp932ToUtf8(a.Get(r)));
        return out;
    }
    void Type(const char* latin) { QTest::keyClicks(&Memo(), QString::fromLatin1(latin)); }
    void Enter() { QTest::keyClick(&Memo(), Qt::Key_Return); }
    // Japanese text comes as a typed text without a key of its own.
    void TypeText(const char* utf8) {
        QTest::sendKeyEvent(QTest::Press, &Memo(), Qt::Key_unknown, QString::fromUtf8(utf8),
                            Qt::NoModifier);
    }
    QString Label() { return Frame.LabelAns()->text(); }
    QToolButton* Button(const QString& text) {
        for (QToolButton* b : Frame.ToolBar1()->findChildren<QToolButton*>()) {
            if (b->text() == text) return b;
        }
        return nullptr;
    }

    test::TNumberGuard Guard;
    TVtFrameCalc Frame;
};

using TStrings = std::vector<std::string>;

TEST_F(FrameWidgetTest, TypedLinesAreCalculatedAsTheyAreTyped) {
    Type("1+2");
    EXPECT_EQ(Answers(), (TStrings{"3"}));
    EXPECT_EQ(Label(), QStringLiteral(" 3"));  // the label's design format: Japanese digit groups
    Enter();
    Type("x=5");
    Enter();
    Type("x*2");
    EXPECT_EQ(Answers(), (TStrings{"3", "5", "10"}));
    TypeText("万");
    EXPECT_EQ(Answers().back(), "100000");
    QTest::keyClick(&Memo(), Qt::Key_Up);
    QTest::keyClick(&Memo(), Qt::Key_End);
    QTest::keyClick(&Memo(), Qt::Key_Backspace);
    Type("7");
    EXPECT_EQ(Answers(), (TStrings{"3", "7", "140000"}));
    EXPECT_EQ(Cp932ToUtf8(Frame.MemoHint()).substr(0, 15), "[2/3行:4/3桁]");
    // The frame's title follows the modified memo.
    EXPECT_EQ(Frame.Title(), "New *");
}

TEST_F(FrameWidgetTest, OptionActionsChangeTheAnswers) {
    Type("1/0");
    Enter();
    Type("#foo");
    Enter();
    Type("255");
    EXPECT_EQ(Answers(), (TStrings{"", "", "255"}));
    Frame.Action("ActionSetAnsErr")->trigger();
    EXPECT_TRUE(Frame.Action("ActionSetAnsErr")->isChecked());
    EXPECT_EQ(Answers()[0], "[0による割算]");
    Frame.Action("ActionSetAnsCont")->trigger();
    EXPECT_EQ(Answers()[1], "#foo");
    Frame.Action("ActionSetAnsN16")->trigger();
    EXPECT_TRUE(Frame.Action("ActionSetAnsN16")->isChecked());
    EXPECT_FALSE(Frame.Action("ActionSetAnsGen")->isChecked());
    EXPECT_EQ(Answers()[2].substr(0, 3), "$FF");
    ASSERT_NE(Button(QStringLiteral("N16")), nullptr);
    // The format button cycles: any other format goes to Non.
    Button(QStringLiteral("N16"))->click();
    EXPECT_TRUE(Frame.Action("ActionSetAnsGen")->isChecked());
    EXPECT_EQ(Answers()[2], "255");
    // Without auto-calculation the answers wait for Run.
    Frame.Action("ActionSetCalcAuto")->trigger();
    EXPECT_EQ(Answers(), (TStrings{"", "", ""}));
    // An edit shows the stored answers again beside their lines, without calculating.
    Type("0");
    EXPECT_EQ(Answers(), (TStrings{"[0による割算]", "#foo", "255"}));
    Frame.Action("ActionEditRun")->trigger();
    EXPECT_EQ(Answers()[2], "2550");
}

TEST_F(FrameWidgetTest, TheAnswerPaneTakesDigitKeys) {
    Frame.Action("ActionSetAnsFix")->trigger();
    Type("1/3");
    EXPECT_EQ(Answers(), (TStrings{" 0.33333"}));
    Frame.UMemo2()->setFocus();
    QTest::keyClick(Frame.UMemo2(), Qt::Key_2);
    EXPECT_EQ(Answers(), (TStrings{" 0.33"}));
    ASSERT_NE(Button(QStringLiteral("2")), nullptr);  // the digits button
    QTest::keyClick(Frame.UMemo2(), Qt::Key_7, Qt::ShiftModifier);
    EXPECT_EQ(Frame.VtCalc1().AnsLength(), 17);
}

TEST_F(FrameWidgetTest, TheLogPaneShowsTheCaretLineAndHints) {
    EXPECT_FALSE(Frame.UMemo3()->isVisible());
    Frame.Action("ActionWindowLog")->trigger();
    EXPECT_TRUE(Frame.UMemo3()->isVisible());
    Type("r=4.7k");
    Enter();
    Type("r*2");
    EXPECT_EQ(Log(), (TStrings{"r*2", "＝ 4700*2", "＝ 9400"}));
    QTest::keyClick(&Memo(), Qt::Key_Up);
    EXPECT_EQ(Log().front(), "r=4.7k");
    // The mouse over the log pane: the token under it is described.
    QTest::keyClick(&Memo(), Qt::Key_Down);
    TUMemo& log = *Frame.UMemo3();
    QTest::qWait(1);
    const QPoint at(log.ColumnX(1) + log.ColPitch() / 2, log.RowY(0) + log.CellHeight() / 2);
    QMouseEvent move(QEvent::MouseMove, at, log.viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(log.viewport(), &move);
    EXPECT_EQ(log.toolTip(), QStringLiteral("[変数] r = 4700"));
    EXPECT_EQ(log.statusTip(), QStringLiteral("r*2"));
    // The log selector cycles the content.
    Button(QStringLiteral("Step"))->click();
    EXPECT_TRUE(Frame.Action("ActionWindowVar")->isChecked());
    EXPECT_EQ(static_cast<int>(Log().size()), Frame.VtCalc1().VarCount());
}

TEST_F(FrameWidgetTest, WrappedLinesAnswerOnTheirLastRow) {
    Frame.Core().Options().WrapWidth = 10;
    Frame.Action("ActionViewWrapN")->trigger();
    Type("1+2+3+4+5+6+7+8+9");
    const TUMemoStrings& memo = Memo().Lines();
    ASSERT_GT(memo.GetCount(), 1);
    const std::vector<std::string> a = Answers();
    ASSERT_EQ(static_cast<int>(a.size()), memo.GetCount());
    for (int r = 0; r + 1 < memo.GetCount(); ++r)
        EXPECT_EQ(a[static_cast<std::size_t>(r)], "") << r;
    EXPECT_EQ(a.back(), "45");
    Frame.Action("ActionViewWrap0")->trigger();
    EXPECT_EQ(Answers(), (TStrings{"45"}));
}

TEST_F(FrameWidgetTest, TheLayoutActions) {
    Frame.Action("ActionWindowAns")->trigger();
    EXPECT_FALSE(Frame.UMemo2()->isVisible());
    Frame.Action("ActionWindowAns")->trigger();
    EXPECT_TRUE(Frame.UMemo2()->isVisible());
    Frame.Action("ActionWindowCalcBar")->trigger();
    EXPECT_FALSE(Frame.ToolBar1()->isVisible());
    EXPECT_FALSE(Frame.Action("ActionWindowCalcRun")->isEnabled());
    Frame.Action("ActionWindowCalcBar")->trigger();
    ASSERT_TRUE(Button(QStringLiteral("Run"))->isVisible());
    Frame.Action("ActionWindowCalcRun")->trigger();
    EXPECT_FALSE(Frame.Action("ActionWindowCalcRun")->isChecked());
    QApplication::processEvents();  // the bar lays its buttons out later
    EXPECT_FALSE(Button(QStringLiteral("Run"))->isVisible());
    Frame.Action("ActionWindowLog")->trigger();
    Frame.Action("ActionWindowAnsTable")->trigger();
    EXPECT_FALSE(Frame.UMemo3()->isVisible());
    EXPECT_NE(Button(QStringLiteral("Ans")), nullptr);
}

TEST_F(FrameWidgetTest, SettingsAreReadAndWrittenThroughTheStore) {
    TMemorySettings in;
    in.SetText(
        "SubUnit=10000000000000000100\r\nCalcBarEq=1\r\nLogWindow=100110000\r\nAnsWidth=200\r\n");
    Frame.ReadSettings(in);
    EXPECT_TRUE(Frame.Action("ActionSetAnsEng")->isChecked());
    EXPECT_TRUE(Frame.UMemo3()->isVisible());
    EXPECT_EQ(Frame.Splitter1()->sizes().at(1), 200);
    Type("1.5k");
    EXPECT_EQ(Answers(), (TStrings{" 1.5000k"}));
    EXPECT_EQ(Label(), QStringLiteral("1.5k =  1500"));
    TMemorySettings out;
    Frame.WriteSettings(out);
    EXPECT_EQ(out.Get("SubUnit").value_or(""), "10000000000000000100");
    EXPECT_EQ(out.Get("LogWindow").value_or(""), "100110000");
    EXPECT_EQ(out.Get("AnsWidth").value_or(""), "200");
}

TEST_F(FrameWidgetTest, TheMemoMenuCutsCopiesPastesAndSelectsAll) {
    Type("1+2");
    QMenu* menu = Frame.MemoPopup();
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 4);
    QStringList captions;
    for (int i = 0; i < 4; ++i)
        captions << actions[i]->text().section(QLatin1Char('\t'), 0, 0);
    EXPECT_EQ(captions,
              (QStringList{QStringLiteral("切り取り(&T)"), QStringLiteral("コピー(&C)"),
                           QStringLiteral("貼り付け(&P)"), QStringLiteral("すべて選択(&A)")}));
    emit menu->aboutToShow();
    EXPECT_FALSE(actions[0]->isEnabled());  // nothing selected to cut
    actions[3]->trigger();
    emit menu->aboutToShow();
    ASSERT_TRUE(actions[0]->isEnabled());
    actions[0]->trigger();
    EXPECT_EQ(Memo().Lines().GetTextStr(), "");
    actions[2]->trigger();
    actions[2]->trigger();
    EXPECT_EQ(Memo().Lines().GetTextStr(), "1+21+2");
    EXPECT_EQ(Answers(), (std::vector<std::string>{"24"}));
}

// Records the status-line texts that reach the frame from its panes.
class TStatusTips : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::StatusTip) Tips << static_cast<QStatusTipEvent*>(e)->tip();
        return QObject::eventFilter(o, e);
    }
    QStringList Tips;
};

TEST_F(FrameWidgetTest, TheLogPaneFollowsTheTokenUnderTheMouseInEveryNewLog) {
    Frame.Action("ActionWindowLog")->trigger();
    TStatusTips tips;
    Frame.installEventFilter(&tips);
    Type("r=4.7k");
    Enter();
    Type("r*2");
    TUMemo& log = *Frame.UMemo3();
    const auto hover = [&log](int row) {
        const QPoint at(log.ColumnX(1) + log.ColPitch() / 2, log.RowY(row) + log.CellHeight() / 2);
        QMouseEvent move(QEvent::MouseMove, at, log.viewport()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(log.viewport(), &move);
    };
    hover(0);
    ASSERT_FALSE(tips.Tips.isEmpty());
    EXPECT_EQ(tips.Tips.back(), QStringLiteral("r*2"));
    // A new log under a mouse that stands still: the status line follows it.
    QTest::keyClick(&Memo(), Qt::Key_Up);
    hover(0);
    EXPECT_EQ(tips.Tips.back(), QStringLiteral("r=4.7k"));
}

TEST_F(FrameWidgetTest, TheCalcBarFollowsTheAnswerPaneSelectionWithinARow) {
    for (const char* line : {"1", "20", "300"}) {
        Type(line);
        Enter();
    }
    TUMemo& answers = *Frame.UMemo2();
    answers.setFocus();
    QTest::keyClick(&answers, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&answers, Qt::Key_Down, Qt::ShiftModifier);
    const std::string first = Cp932ToUtf8(Frame.Core().CalcBarText());
    QTest::keyClick(&answers, Qt::Key_End, Qt::ShiftModifier);
    const std::string grown = Cp932ToUtf8(Frame.Core().CalcBarText());
    EXPECT_NE(grown, first);
    EXPECT_NE(grown.find("2行合計= 21"), std::string::npos) << grown;
}

TEST_F(FrameWidgetTest, TheLogPaneShowsTheCaretLogWithoutADefinitionsFileAndASummaryFromItsEnd) {
    Type("2*3");
    Frame.Action("ActionWindowLog")->trigger();
    Frame.Action("ActionWindowDefFile")->trigger();
    EXPECT_EQ(Log().front(), "2*3");
    Frame.Action("ActionWindowCalcLog")->trigger();
    Frame.Action("ActionWindowLog")->trigger();  // off again
    for (int i = 0; i < 12; ++i) {
        Enter();
        Type("1");
    }
    Memo().Editor().SelectAll();
    // Switched on with a selection: the summary's last line, with the lines above it.
    Frame.Action("ActionWindowLog")->trigger();
    const TUMemo& log = *Frame.UMemo3();
    // The pane is laid out and scrolled by queued events: waited for, however busy the machine;
    // the checks below say what was missing when the wait ran out.
    (void)QTest::qWaitFor([&log] {
        const std::int32_t rows = log.FullPageRows();
        return rows > 2 && log.Lines().TopRow() == std::max(0, log.Lines().GetCount() - rows);
    });
    ASSERT_GT(log.FullPageRows(), 2);
    EXPECT_EQ(log.Lines().TopRow(), std::max(0, log.Lines().GetCount() - log.FullPageRows()));
    EXPECT_EQ(log.Lines().LeftCol(), 1);
}

TEST_F(FrameWidgetTest, EscStopsALongLineAndOtherInputWaits) {
    std::string line = "1";
    for (int i = 0; i < 150000; ++i)
        line += "+1";
    // The pasted line is shown first and calculated in the run's next slice; Esc, and a key
    // that would edit the memo, arrive while it is calculated.
    Memo().Editor().InsertClipText(line, false, false, {});
    ASSERT_TRUE(Frame.Core().Run().Pending());
    QCoreApplication::postEvent(&Memo(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    QCoreApplication::postEvent(
        &Memo(), new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
    Frame.Core().Run().Continue();
    EXPECT_EQ(Answers(), (TStrings{""}));
    EXPECT_EQ(Memo().Lines().Get(0).size(), line.size());  // the key did not type into it
    EXPECT_FALSE(Frame.Core().Run().Running());
    // Without Esc the same line is calculated.
    Frame.Action("ActionEditRun")->trigger();
    EXPECT_EQ(Answers(), (TStrings{"150001"}));
}

TEST_F(FrameWidgetTest, CtrlEnterWritesAnswersInOneUndoStep) {
    const auto lines = [this] {
        TStrings out;
        const TUMemoStrings& m = Memo().Lines();
        for (int r = 0; r < m.GetCount(); r = m.LastRowOfLine(r) + 1)
            out.push_back(Cp932ToUtf8(m.GetLine(r)));
        return out;
    };
    Type("r=4.7k");
    Enter();
    Type("r*2 [ohm]");
    QTest::keyClick(&Memo(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(lines(), (TStrings{"r=4.7k", "r*2 [ohm] ＝ 9400"}));
    EXPECT_EQ(Answers().back(), "9400");
    // Writing again replaces only the answer; one undo takes one writing back.
    QTest::keyClick(&Memo(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(lines(), (TStrings{"r=4.7k", "r*2 [ohm] ＝ 9400"}));
    Memo().Editor().Undo();
    EXPECT_EQ(lines(), (TStrings{"r=4.7k", "r*2 [ohm]"}));
    // A selection inside a line is replaced by its result.
    Memo().Editor().Redo();
    QTest::keyClick(&Memo(), Qt::Key_Home);
    QTest::keyClick(&Memo(), Qt::Key_Up);
    QTest::keyClick(&Memo(), Qt::Key_End);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(&Memo(), Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&Memo(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(lines(), (TStrings{"r=4700", "r*2 [ohm] ＝ 9400"}));
    // Shift+Ctrl+Enter takes written answers out of the caret line; the all-lines commands.
    QTest::keyClick(&Memo(), Qt::Key_Down);
    QTest::keyClick(&Memo(), Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(lines(), (TStrings{"r=4700", "r*2 [ohm]"}));
    Frame.Action("ActionEditAnsAll")->trigger();
    EXPECT_EQ(lines(), (TStrings{"r=4700 ＝ 4700", "r*2 [ohm] ＝ 9400"}));
    Frame.Action("ActionEditAnsDelAll")->trigger();
    EXPECT_EQ(lines(), (TStrings{"r=4700", "r*2 [ohm]"}));
    EXPECT_EQ(Answers(), (TStrings{"4700", "9400"}));
}

TEST_F(FrameWidgetTest, CtrlEnterOnABoxReplacesEachPieceByItsResult) {
    Type("1+2 ; a");
    Enter();
    Type("3*4 ; b");
    TUMemoStrings& s = Memo().Lines();
    s.BeginEdit(false);
    s.Selection().SelectBox(s, {1, 0}, {4, 1});
    s.EndEdit(false);
    QTest::keyClick(&Memo(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Cp932ToUtf8(s.Get(0)), "3 ; a");
    EXPECT_EQ(Cp932ToUtf8(s.Get(1)), "12 ; b");
}

TEST_F(FrameWidgetTest, AnswersGoToTheirLinesInAWrappedMemo) {
    Frame.Core().Options().WrapWidth = 8;
    Frame.Action("ActionViewWrapN")->trigger();
    Type("1+2+3+4+5+6");
    Enter();
    Type("10*10");
    Enter();
    Type("; end");
    Memo().Editor().SelectAll();
    QTest::keyClick(&Memo(), Qt::Key_Return, Qt::ControlModifier);
    TStrings lines;
    const TUMemoStrings& m = Memo().Lines();
    for (int r = 0; r < m.GetCount(); r = m.LastRowOfLine(r) + 1)
        lines.push_back(Cp932ToUtf8(m.GetLine(r)));
    EXPECT_EQ(lines, (TStrings{"1+2+3+4+5+6 ＝ 21", "10*10 ＝ 100", "; end"}));
}

TEST_F(FrameWidgetTest, SortByResultAndTheCopies) {
    for (const char* line : {"b=3", "; note", "a=1", "c=2", "1/0"}) {
        Type(line);
        Enter();
    }
    Memo().Editor().SelectAll();
    Frame.Action("ActionSortValUP")->trigger();
    TStrings lines;
    for (int r = 0; r < Memo().Lines().GetCount(); ++r)
        lines.push_back(Cp932ToUtf8(Memo().Lines().Get(r)));
    // Numbers first, then the lines without a number in their old order.
    EXPECT_EQ(lines, (TStrings{"a=1", "c=2", "b=3", "; note", "1/0", ""}));
    Memo().Editor().Undo();
    EXPECT_EQ(Cp932ToUtf8(Memo().Lines().Get(0)), "b=3");
    // The answer label and the log go to the clipboard.
    QTest::keyClick(&Memo(), Qt::Key_Home, Qt::ControlModifier);
    Frame.Action("ActionEditCopyAns")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Label());
    QTest::mouseClick(Frame.LabelAns(), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text().trimmed(), QStringLiteral("3"));
}

}  // namespace
}  // namespace rekna
