// Widget tests of scripts running in the main window: input typed during a run is held and
// arrives after it, Esc in a script's message box ends the script, and the end of the session
// stops whatever the script does and writes the backup, in the window and in the real program.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "platform/cp932.h"
#include "shell/qt/form_memo.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The script lines the tests run: each never ends by itself.
constexpr const char* kLoop = "#> Do : n = n + 1 : Loop";
constexpr const char* kBoxLoop = "#> Do : k = k + 1 : MsgBox \"loop \" & k : Loop";
constexpr const char* kSleep = "#> Rekna.Sleep 60000";

class ScriptRunTest : public ::testing::Test {
protected:
    ScriptRunTest() {
        Paths.SettingsFile = Dir.path().toStdString() + "/rekna.ini";
        Paths.SettingsFolder = Dir.path().toStdString() + "/";
    }
    // A window whose backup holds the memo; it shows it without running it yet (auto
    // calculation off), so that the test starts the run itself.
    std::unique_ptr<TFormMemo> Start(const std::string& memo) {
        WriteFile(Paths.BackupFile(), memo);
        auto form = std::make_unique<TFormMemo>(Paths);
        form->AskToSave = [] { return TSaveAnswer::saNo; };
        form->Start();
        if (QAction* a = form->Action("ActionSetCalcAuto"); a && a->isChecked()) a->trigger();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->FirstShow();
        return form;
    }
    static TUMemo& Memo(TFormMemo& f) { return *f.VtFrameCalc1()->UMemo1(); }
    static std::string Text(TFormMemo& f) { return Cp932ToUtf8(Memo(f).Lines().GetTextStr()); }
    // Runs every line; a guard stops the run should the test's own stop never come.
    static void Run(TFormMemo& f) {
        TVtFrameCalc* frame = f.VtFrameCalc1();
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [frame] {
            ADD_FAILURE() << "the run did not stop";
            frame->Core().Run().EscPressed = true;
            frame->VtCalc1().RequestStop();
        });
        guard.start(8000);
        frame->CalcRows(true, false, TCalcRangeKind::rkAll);
    }
    static void CaretToLineEnd(TUMemo& memo, int line) {
        QTest::keyClick(&memo, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < line; ++i)
            QTest::keyClick(&memo, Qt::Key_Down);
        QTest::keyClick(&memo, Qt::Key_End);
    }
    static void PostKey(QWidget* to, Qt::Key key, const QString& text = {}) {
        QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
        QCoreApplication::postEvent(to,
                                    new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
    }

    test::TNumberGuard Guard;
    QTemporaryDir Dir;
    TStartPaths Paths;
};

TEST_F(ScriptRunTest, KeysTypedDuringARunArriveInOrderAfterIt) {
    auto form = Start(std::string(kLoop) + "\n1+1\n");
    TUMemo& memo = Memo(*form);
    memo.setFocus();
    CaretToLineEnd(memo, 1);  // after "1+1"
    // Typed while the loop runs, then Esc: the keys wait for the run's end.
    QTimer::singleShot(150, &memo, [&memo] {
        PostKey(&memo, Qt::Key_Asterisk, QStringLiteral("*"));
        PostKey(&memo, Qt::Key_2, QStringLiteral("2"));
        PostKey(&memo, Qt::Key_3, QStringLiteral("3"));
    });
    QTimer::singleShot(400, &memo, [&memo] { PostKey(&memo, Qt::Key_Escape); });
    Run(*form);
    EXPECT_EQ(Text(*form), std::string(kLoop) + "\r\n1+1") << "nothing typed in the run";
    QTest::qWait(100);
    EXPECT_EQ(Text(*form), std::string(kLoop) + "\r\n1+1*23");
}

TEST_F(ScriptRunTest, TheSettingsMemoryBudgetHoldsTheWindowsRuns) {
    WriteFile(Paths.SettingsFile, "ScriptMemory=1\r\n");
    const auto form = Start("#> x = Space(2000000)\n1+1\n#> y = Space(500000)\n");
    if (QAction* a = form->Action("ActionSetAnsErr"); a && !a->isChecked()) a->trigger();
    Run(*form);
    const TUMemoStrings& answers = form->VtFrameCalc1()->UMemo2()->Lines();
    ASSERT_GE(answers.GetCount(), 3);
    EXPECT_EQ(Cp932ToUtf8(answers.Get(0)), "[メモリが不足しています。]");
    EXPECT_EQ(Cp932ToUtf8(answers.Get(1)), "2");
    EXPECT_EQ(Cp932ToUtf8(answers.Get(2)), "");
}

TEST_F(ScriptRunTest, EscInAScriptsMessageBoxEndsTheLoop) {
    auto form = Start(std::string(kBoxLoop) + "\n");
    int boxes = 0;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&boxes] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++boxes;
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    presser.start(100);
    QElapsedTimer clock;
    clock.start();
    Run(*form);
    presser.stop();
    EXPECT_EQ(boxes, 1) << "one Esc ends the loop, not only its box";
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(form->statusBar()->currentMessage().contains(QStringLiteral("中断しました")));
}

// With automatic calculation on, a line that shows a box asks once, and again only when its own
// text, something it reads or a script line before it changed; every box is answered at once.
TEST_F(ScriptRunTest, ABoxLineAsksAgainOnlyWhenItsTextOrWhatItReadsChanged) {
    auto form = Start("a=1\nb=2\n#> MsgBox \"hello\"\nc=3\n"
                      "#> v = InputBox(\"v\", \"\", Rekna.Var(\"a\"))\n");
    int messages = 0, inputs = 0;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&messages, &inputs] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) return;
        ++(qobject_cast<QMessageBox*>(box) ? messages : inputs);
        QTest::keyClick(box, Qt::Key_Return);
    });
    answerer.start(20);
    TUMemo& memo = Memo(*form);
    memo.setFocus();
    const auto settle = [&form] {
        QTest::qWait(150);
        form->VtFrameCalc1();  // a run under way finishes
    };
    form->Action("ActionSetCalcAuto")->trigger();
    settle();
    EXPECT_EQ(messages, 1) << "the first run asks once";
    EXPECT_EQ(inputs, 1);
    struct TEdit {
        int Line;
        const char* Keys;
        int Messages, Inputs;
    };
    const TEdit edits[] = {
        {1, "+1", 1, 1},  // b, which neither box reads
        {3, "*2", 1, 1},  // c, which neither box reads
        {0, "0", 1, 2},   // a, which the input box reads
        {2, " ", 2, 3},   // the message box's own line, and so the scripts' state after it
        {1, "-5", 2, 3},
    };
    for (const TEdit& e : edits) {
        SCOPED_TRACE(e.Line);
        CaretToLineEnd(memo, e.Line);
        QTest::keyClicks(&memo, QString::fromLatin1(e.Keys));
        settle();
        EXPECT_EQ(messages, e.Messages);
        EXPECT_EQ(inputs, e.Inputs);
    }
}

// The session ends while the script loops, shows a message box or sleeps: the window closes
// within a second, with the backup and the settings written.
TEST_F(ScriptRunTest, TheSessionEndStopsTheScriptAndWritesTheExitFiles) {
    for (const char* script : {kLoop, kBoxLoop, kSleep}) {
        SCOPED_TRACE(script);
        std::remove(Paths.SettingsFile.c_str());
        auto form = Start(std::string("1+2\n") + script + "\n");
        CaretToLineEnd(Memo(*form), 0);
        QTest::keyClicks(&Memo(*form), QStringLiteral("*5"));
        QElapsedTimer clock;
        qint64 closedAfter = -1;
        TFormMemo* f = form.get();
        form->OnSessionEnded = [&] { closedAfter = clock.elapsed(); };
        QTimer::singleShot(300, f, [&clock, f] {
            clock.start();
            f->EndSession();
        });
        Run(*form);
        for (int i = 0; i < 100 && closedAfter < 0; ++i)
            QTest::qWait(20);
        ASSERT_GE(closedAfter, 0) << "the window never closed";
        EXPECT_LT(closedAfter, 1000);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(ReadFile(Paths.BackupFile()), std::string("1+2*5\n") + script + "\n");
        EXPECT_NE(ReadFile(Paths.SettingsFile).find("FileBackUp="), std::string::npos);
    }
}

// The real program, ended by SIGTERM in the middle of each script.
TEST_F(ScriptRunTest, SigtermEndsTheProgramWithinASecondWhateverTheScriptDoes) {
    for (const char* script : {kLoop, kBoxLoop, kSleep}) {
        SCOPED_TRACE(script);
        const std::string memo = std::string("1+2\n") + script + "\n";
        WriteFile(Paths.BackupFile(), memo);
        WriteFile(Paths.SettingsFile, "Rekna.初期設定ファイル\n");
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), Dir.path() + QStringLiteral("/data"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(REKNA_PATH), {QString::fromStdString(Paths.SettingsFile)});
        ASSERT_TRUE(program.waitForStarted(5000));
        QTest::qWait(1500);  // the window shows the backup and runs it
        ASSERT_EQ(program.state(), QProcess::Running);
        QElapsedTimer clock;
        clock.start();
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        const bool ended = program.waitForFinished(3000);
        const qint64 after = clock.elapsed();
        if (!ended) program.kill(), program.waitForFinished(1000);
        ASSERT_TRUE(ended);
        EXPECT_LT(after, 1000);
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_NE(ReadFile(Paths.SettingsFile).find("FileBackUp="), std::string::npos)
            << "the settings were written";
        EXPECT_EQ(ReadFile(Paths.BackupFile()), std::string("1+2\n") + script + "\n");
    }
}

}  // namespace
}  // namespace rekna
