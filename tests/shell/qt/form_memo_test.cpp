// Widget tests of the main window: a session typed, saved and started again; the backup with
// its dated block; definitions used by the memo; failed saves; the exit question.
#include "shell/qt/form_memo.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/run_procedure.h"
#include "platform/cp932.h"
#include "shell/settings_file.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

class TFakeTrash : public TTrash {
public:
    bool MoveToTrash(const std::string& path) override {
        Moved.push_back(path);
        return std::remove(path.c_str()) == 0;
    }
    std::vector<std::string> Moved;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// What rekna-calc prints with the arguments (quoted for the shell); its status in status.
std::string BatchOutput(const std::string& args, int& status) {
    const std::string command = std::string("'") + REKNA_CALC_PATH + "' " + args;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    if (!pipe) return out;
    char buffer[1024];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    status = ::pclose(pipe);
    return out;
}

class FormMemoTest : public ::testing::Test {
protected:
    FormMemoTest() {
        Paths.SettingsFile = Dir.path().toStdString() + "/rekna.ini";
        Paths.SettingsFolder = Dir.path().toStdString() + "/";
        // The session end's fallback folders, whose backups a start offers, are the test's own.
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME"})
            SavedHomes.emplace_back(name, qgetenv(name));
        qputenv("XDG_CONFIG_HOME", Path("cfg").c_str());
        qputenv("XDG_STATE_HOME", Path("state").c_str());
    }
    ~FormMemoTest() override {
        for (const auto& [name, value] : SavedHomes)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }

    // A window as the program starts it: settings, definitions, shown, then the first show.
    std::unique_ptr<TFormMemo> Start(std::string document = {}) {
        TStartPaths p = Paths;
        p.Document = std::move(document);
        auto form = std::make_unique<TFormMemo>(p);
        form->SetTrash(&Trash);
        form->Now = [this] { return Clock; };
        form->AskToSave = [this] {
            ++Questions;
            return Answer;
        };
        form->AskOrphanBackup = [this](const QString& file, bool) {
            Offers.push_back(file.toStdString());
            return OrphanAnswer;
        };
        form->Start();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->FirstShow();
        return form;
    }
    static TUMemo& Memo(TFormMemo& f) { return *f.VtFrameCalc1()->UMemo1(); }
    static std::vector<std::string> Answers(TFormMemo& f) {
        std::vector<std::string> out;
        const TUMemoStrings& a = f.VtFrameCalc1()->UMemo2()->Lines();
        for (int r = 0; r < a.GetCount(); ++r)
            out.push_back(Cp932ToUtf8(a.Get(r)));
        return out;
    }
    static std::vector<std::string> Lines(TFormMemo& f) {
        std::vector<std::string> out;
        const TUMemoStrings& m = Memo(f).Lines();
        for (int r = 0; r < m.GetCount(); ++r)
            out.push_back(Cp932ToUtf8(m.Get(r)));
        return out;
    }
    static void Type(TFormMemo& f, const char* latin) {
        QTest::keyClicks(&Memo(f), QString::fromLatin1(latin));
    }
    static void Enter(TFormMemo& f) { QTest::keyClick(&Memo(f), Qt::Key_Return); }
    // The backup's file date, days before the clock.
    void TouchBackup(int daysOld, const std::string& file = {}) {
        std::tm t = Clock;
        const std::time_t when = std::mktime(&t) - daysOld * 86400;
        utimbuf times{when, when};
        ASSERT_EQ(utime((file.empty() ? Paths.BackupFile() : file).c_str(), &times), 0);
    }
    std::string Path(const char* name) const { return Dir.path().toStdString() + "/" + name; }

    test::TNumberGuard Guard;
    QTemporaryDir Dir;
    TStartPaths Paths;
    TFakeTrash Trash;
    std::tm Clock{0, 0, 9, 10, 11, 126, 0, 0, 0, 0, nullptr};  // 2026-12-10 09:00:00
    int Questions = 0;
    TSaveAnswer Answer = TSaveAnswer::saNo;
    // The backups of other instances offered at start, and the answer.
    std::vector<std::string> Offers;
    TOrphanAnswer OrphanAnswer = TOrphanAnswer::oaKeep;
    std::vector<std::pair<const char*, QByteArray>> SavedHomes;
};

using TStrings = std::vector<std::string>;

TEST_F(FormMemoTest, ASessionComesBackAfterARestart) {
    {
        auto form = Start();
        EXPECT_EQ(form->windowTitle(), QStringLiteral("New - Rekna"));
        Type(*form, "r=4.7k");
        Enter(*form);
        Type(*form, "r*2");
        EXPECT_EQ(Answers(*form), (TStrings{"4700", "9400"}));
        EXPECT_EQ(form->windowTitle(), QStringLiteral("New * - Rekna"));
        // An option changed in the session is kept in the settings.
        form->Action("ActionSetAnsEng")->trigger();
        EXPECT_EQ(Answers(*form).back(), " 9.4k");
        form->AskSaveName = [this](const QString&) {
            return QString::fromStdString(Path("a.txt"));
        };
        ASSERT_TRUE(form->Save());
        EXPECT_EQ(form->windowTitle(), QStringLiteral("a.txt - Rekna"));
        // A new document is UTF-8 with LF line ends.
        EXPECT_EQ(ReadFile(Path("a.txt")), "r=4.7k\nr*2\n");
        ASSERT_TRUE(form->close());
    }
    // Nothing was asked: the memo was saved. Settings and backup are written.
    EXPECT_EQ(Questions, 0);
    // A new settings file is UTF-8 with LF line ends.
    const std::string ini = ReadFile(Paths.SettingsFile);
    EXPECT_EQ(ini.substr(0, ini.find('\n')), kSettingsHeaderUtf8);
    EXPECT_NE(ini.find("FileName=" + Path("a.txt") + "\n"), std::string::npos);
    EXPECT_EQ(ReadFile(Paths.BackupFile()), "r=4.7k\nr*2\n");
    TouchBackup(0);
    {
        auto form = Start();
        EXPECT_EQ(Lines(*form), (TStrings{"r=4.7k", "r*2"}));
        EXPECT_EQ(Answers(*form).back(), " 9.4k");
        EXPECT_TRUE(form->Action("ActionSetAnsEng")->isChecked());
        // The backup holds a.txt's text: it is a.txt again.
        EXPECT_EQ(form->windowTitle(), QStringLiteral("a.txt - Rekna"));
        ASSERT_TRUE(form->close());
    }
    // The second exit put the first backup into the trash.
    EXPECT_EQ(Trash.Moved, (TStrings{Paths.BackupFile()}));
}

TEST_F(FormMemoTest, TheDocumentOfTheCommandLineAndTheDefinitionsFile) {
    WriteFile(Paths.DefinitionsFile(), "#Sq(x)=x*x\r\n");
    WriteFile(Path("m.txt"), "Sq(3)+1\r\n");
    auto form = Start(Path("m.txt"));
    EXPECT_EQ(Answers(*form), (TStrings{"10"}));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("m.txt - Rekna"));
    // A memory clear runs the definitions again.
    form->Action("ActionEditMC")->trigger();
    form->Action("ActionEditRun")->trigger();
    EXPECT_EQ(Answers(*form), (TStrings{"10"}));
}

TEST_F(FormMemoTest, ABackupFromAnEarlierDayGetsADatedBlock) {
    struct TCase {
        int DaysOld;
        TStrings Lines;
    };
    const TCase cases[] = {
        {0, {"1+1"}},
        {3, {"1+1", "", "; 2026年12月10日 9時0分0秒", "", ""}},
    };
    for (const TCase& c : cases) {
        WriteFile(Paths.BackupFile(), "1+1\r\n");
        TouchBackup(c.DaysOld);
        auto form = Start();
        EXPECT_EQ(Lines(*form), c.Lines) << c.DaysOld;
        EXPECT_EQ(Answers(*form).front(), "2");
        const TUMemoStrings& m = Memo(*form).Lines();
        EXPECT_EQ(m.Selection().Caret.Y, m.GetCount() - 1);
        form->AskToSave = [] { return TSaveAnswer::saNo; };
        form->close();
    }
}

TEST_F(FormMemoTest, TheExitQuestion) {
    // Backups off: a modified memo asks; Cancel keeps the window, No closes it.
    WriteFile(Paths.SettingsFile, SettingsHeader() + "\r\nFileBackUp=0\r\n");
    auto form = Start();
    // Keys missing from the file keep their design values: the answer pane's width.
    EXPECT_NEAR(form->VtFrameCalc1()->UMemo2()->width(), 170, 2);
    Type(*form, "2+2");
    Answer = TSaveAnswer::saCancel;
    EXPECT_FALSE(form->close());
    EXPECT_EQ(Questions, 1);
    EXPECT_TRUE(form->isVisible());
    Answer = TSaveAnswer::saNo;
    EXPECT_TRUE(form->close());
    EXPECT_EQ(Questions, 2);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Paths.BackupFile())));
    // With backups on nothing is asked; the backup holds the text.
    auto again = Start();
    again->Action("ActionFileBackUp")->trigger();
    Type(*again, "3+3");
    EXPECT_TRUE(again->close());
    EXPECT_EQ(Questions, 2);
    EXPECT_EQ(ReadFile(Paths.BackupFile()), "3+3\n");
}

TEST_F(FormMemoTest, AFailedSaveKeepsTheOldFileAndTheModifiedMemo) {
    WriteFile(Path("old.txt"), "old text\r\n");
    auto form = Start(Path("old.txt"));
    std::string line(200, '1');
    for (int i = 0; i < 40; ++i) {
        Memo(*form).Lines().PasteText(line + "\r\n", false, false);
    }
    ASSERT_TRUE(Memo(*form).Editor().Modified());
    // The disk fills up after 1000 bytes of the new file.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    QTimer::singleShot(0, [] {
        // The failure is shown in a message box; close it.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->inherits("QMessageBox")) w->close();
    });
    const bool saved = form->Save();
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(Path("old.txt")), "old text\r\n");
    EXPECT_TRUE(Memo(*form).Editor().Modified());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("old.txt * - Rekna"));
    form->AskToSave = [] { return TSaveAnswer::saNo; };
}

TEST_F(FormMemoTest, AUtf8DocumentIsSavedInUtf8) {
    WriteFile(Path("u.txt"), "1万+1 ; 電圧\n");
    auto form = Start(Path("u.txt"));
    EXPECT_EQ(Lines(*form), (TStrings{"1万+1 ; 電圧"}));
    EXPECT_EQ(Answers(*form), (TStrings{"10001"}));
    QTest::keyClick(&Memo(*form), Qt::Key_End);
    Type(*form, "!");
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(ReadFile(Path("u.txt")), "1万+1 ; 電圧!\n");
}

TEST_F(FormMemoTest, AnyUnicodeTextOpensEditsAndSavesWithoutLoss) {
    WriteFile(Path("u.txt"), "; Euro € emoji 😀 Ω≈\r\nx=2\r\n");
    auto form = Start(Path("u.txt"));
    EXPECT_EQ(Lines(*form), (TStrings{"; Euro € emoji 😀 Ω≈", "x=2"}));
    EXPECT_EQ(Answers(*form).at(1), "2");
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("FormatLabel"))->text(),
              QStringLiteral("UTF-8  CR LF"));
    QTest::keyClick(&Memo(*form), Qt::Key_Down);
    QTest::keyClick(&Memo(*form), Qt::Key_End);
    QTest::sendKeyEvent(QTest::Press, &Memo(*form), Qt::Key_unknown, QStringLiteral(" ; 日本 µ²"),
                        Qt::NoModifier);
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(ReadFile(Path("u.txt")), "; Euro € emoji 😀 Ω≈\r\nx=2 ; 日本 µ²\r\n");
    // The user's choice of line ends is what the next save writes.
    form->Action("ActionFileLineEnd0")->trigger();
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(ReadFile(Path("u.txt")), "; Euro € emoji 😀 Ω≈\nx=2 ; 日本 µ²\n");
    // Copied to other programs with LF line ends and every character.
    Memo(*form).setFocus();
    Memo(*form).Editor().SelectAll();
    Memo(*form).Editor().Copy(false);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "; Euro € emoji 😀 Ω≈\nx=2 ; 日本 µ²");
}

TEST_F(FormMemoTest, AShiftJisDocumentAsksBeforeItTakesACharacterItCannotHold) {
    const std::string sjis = SysText("電圧=1\r\n");
    WriteFile(Path("s.txt"), sjis);
    auto form = Start(Path("s.txt"));
    EXPECT_TRUE(form->Action("ActionFileEncoding1")->isChecked());  // Shift_JIS
    QTest::keyClick(&Memo(*form), Qt::Key_End);
    QTest::sendKeyEvent(QTest::Press, &Memo(*form), Qt::Key_unknown, QStringLiteral(" ; €"),
                        Qt::NoModifier);
    int asked = 0;
    form->AskSwitchToUtf8 = [&asked] {
        ++asked;
        return false;
    };
    QTest::qWait(1);
    EXPECT_FALSE(form->Save());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFile(Path("s.txt")), sjis);  // nothing written
    EXPECT_EQ(form->windowTitle(), QStringLiteral("s.txt * - Rekna"));
    form->AskSwitchToUtf8 = [] { return true; };
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(ReadFile(Path("s.txt")), "電圧=1 ; €\r\n");
    EXPECT_TRUE(form->Action("ActionFileEncoding0")->isChecked());
    // Chosen back to Shift_JIS without the €: saved as Shift_JIS, nothing asked.
    QTest::keyClick(&Memo(*form), Qt::Key_Backspace);
    form->Action("ActionFileEncoding1")->trigger();
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(ReadFile(Path("s.txt")), SysText("電圧=1 ; \r\n"));
}

TEST_F(FormMemoTest, ADroppedSettingsFileIsAppliedAndOtherFilesAreOpened) {
    auto form = Start();
    const std::string ini = Path("rekna-other.ini");
    WriteFile(ini, SettingsHeader() + "\r\nRadian=01\r\nToolBar=0\r\n");
    EXPECT_TRUE(form->ReadSettings(ini));
    EXPECT_TRUE(form->Action("ActionSetDeg")->isChecked());
    EXPECT_FALSE(form->Settings().ToolBar);
    WriteFile(Path("notes.ini"), "1+1\r\n");
    EXPECT_FALSE(form->ReadSettings(Path("notes.ini")));
    form->OpenPath(Path("notes.ini"));
    EXPECT_EQ(Answers(*form), (TStrings{"2"}));
}

TEST_F(FormMemoTest, TheEditCommandsFollowTheMemo) {
    auto form = Start();
    Type(*form, "1+1");
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->Action("ActionEditUndo")->isEnabled());
    EXPECT_FALSE(form->Action("ActionEditCut")->isEnabled());
    form->Action("ActionEditSelectAll")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->Action("ActionEditCut")->isEnabled());
    form->Action("ActionEditCut")->trigger();
    EXPECT_EQ(Lines(*form), (TStrings{""}));
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->Action("ActionEditCopy")->isEnabled());
    form->Action("ActionEditPaste")->trigger();
    form->Action("ActionEditPaste")->trigger();
    EXPECT_EQ(Lines(*form), (TStrings{"1+11+1"}));
    EXPECT_EQ(Answers(*form), (TStrings{"13"}));
    form->Action("ActionEditUndo")->trigger();
    EXPECT_EQ(Lines(*form), (TStrings{"1+1"}));
    // Hiding a button group hides the buttons, not the commands of the menus.
    form->Action("ActionViewToolFile")->trigger();
    EXPECT_FALSE(form->Settings().ToolGroups[0]);
    EXPECT_TRUE(form->Action("ActionFileOpen")->isVisible());
    EXPECT_TRUE(form->Action("ActionFileOpen")->isEnabled());
    form->AskToSave = [] { return TSaveAnswer::saNo; };
}

TEST_F(FormMemoTest, TextCommandsWaitForASelection) {
    auto form = Start();
    Type(*form, "abc");
    QCoreApplication::processEvents();
    // The 編集 menu holds the memo's text menus, the same commands as its popup menu.
    QStringList titles;
    for (QAction* a : form->menuBar()->actions())
        if (a->menu() && a->text() == QStringLiteral("編集(&E)"))
            for (QAction* item : a->menu()->actions())
                if (item->menu()) titles << item->menu()->title();
    EXPECT_EQ(titles, (QStringList{"行(&R)", "変換(&E)", "整形(&S)", "括弧(&K)"}));
    struct TCase {
        const char* Name;
        bool CaretOnly;  // enabled with the caret in the memo and nothing selected
    };
    const TCase cases[] = {
        {"ActionChangeAlfaSL", false},
        {"ActionChangeByteSD", false},
        {"ActionSortStrRev", false},
        {"ActionFormatTrimL", false},
        {"ActionFormatAlignEq", false},
        // These work on the caret's line, or from it down, without a selection.
        {"ActionFormatAddSp", true},
        {"ActionFormatDelSp", true},
        {"ActionKakkoChange1", true},
    };
    TUMemo* answers = form->VtFrameCalc1()->UMemo2();
    for (const TCase& c : cases) {
        Memo(*form).setFocus();
        QTest::keyClick(&Memo(*form), Qt::Key_End);
        QCoreApplication::processEvents();
        EXPECT_EQ(form->Action(c.Name)->isEnabled(), c.CaretOnly) << c.Name << " caret";
        QTest::keyClick(&Memo(*form), Qt::Key_Left, Qt::ShiftModifier);
        QCoreApplication::processEvents();
        EXPECT_TRUE(form->Action(c.Name)->isEnabled()) << c.Name << " selected";
        // The answer pane is read-only: nothing to rewrite there.
        answers->setFocus();
        QCoreApplication::processEvents();
        EXPECT_FALSE(form->Action(c.Name)->isEnabled()) << c.Name << " answer pane";
    }
    // A submenu whose commands are all off is off itself.
    QAction* halfFull = nullptr;
    for (QAction* a : form->VtFrameCalc1()->CategoryMenu("変換")->actions())
        if (a->menu() && a->text() == QStringLiteral("全角/半角")) halfFull = a;
    ASSERT_NE(halfFull, nullptr);
    Memo(*form).setFocus();
    QTest::keyClick(&Memo(*form), Qt::Key_End);
    QCoreApplication::processEvents();
    EXPECT_FALSE(halfFull->isEnabled());
    QTest::keyClick(&Memo(*form), Qt::Key_Left, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    EXPECT_TRUE(halfFull->isEnabled());
    form->AskToSave = [] { return TSaveAnswer::saNo; };
}

TEST_F(FormMemoTest, TheRowMenuOfTheEditMenuHoldsTheLineBreakCommands) {
    auto form = Start();
    QMenu* rows = nullptr;
    for (QAction* top : form->menuBar()->actions()) {
        if (top->text() != QStringLiteral("編集(&E)")) continue;
        for (QAction* a : top->menu()->actions())
            if (a->menu() && a->text() == QStringLiteral("行(&R)")) rows = a->menu();
    }
    ASSERT_NE(rows, nullptr);
    QStringList captions;
    for (QAction* a : rows->actions().mid(0, 4))
        captions << a->text();
    EXPECT_EQ(captions,
              (QStringList{"行を結合(&W)", "行を分割(&U)", "行を再結合(&R)", "行を選択結合(&S)"}));
    QAction* join = rows->actions().at(0);
    TUMemoStrings& lines = Memo(*form).Lines();
    lines.SetTextStr("12\r\n34\r\n5");
    QCoreApplication::processEvents();
    // One row selected is not enough to join.
    lines.Selection().SelectRows(lines, 0, 0);
    emit rows->aboutToShow();
    EXPECT_FALSE(join->isEnabled());
    lines.Selection().SelectRows(lines, 0, 1);
    emit rows->aboutToShow();
    ASSERT_TRUE(join->isEnabled());
    join->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(Lines(*form), (TStrings{"1234", "5"}));
    EXPECT_EQ(Answers(*form), (TStrings{"1234", "5"}));
    EXPECT_TRUE(Memo(*form).Editor().Undo());
    EXPECT_EQ(Lines(*form), (TStrings{"12", "34", "5"}));
    form->AskToSave = [] { return TSaveAnswer::saNo; };
}

TEST_F(FormMemoTest, AfterEscClosesAMenuTypedLettersReachTheMemo) {
    auto form = Start();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    Memo(*form).setFocus();
    QAction* edit = nullptr;
    for (QAction* top : form->menuBar()->actions())
        if (top->text() == QStringLiteral("編集(&E)")) edit = top;
    ASSERT_NE(edit, nullptr);
    form->menuBar()->setActiveAction(edit);
    QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    // What the window does after the Esc, without the activation changes of the offscreen
    // platform that closing a popup brings.
    QCoreApplication::sendPostedEvents(form.get(), QEvent::MetaCall);
    // "f" would open ファイル(&F) from a menu bar left in keyboard navigation, and "x" end the
    // program through 終了(&X).
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("fx"));
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(Lines(*form), (TStrings{"fx"}));
    EXPECT_TRUE(form->isVisible());
    form->AskToSave = [] { return TSaveAnswer::saNo; };
}

TEST_F(FormMemoTest, CtrlSSavesWhatWasTypedIntoANamedDocument) {
    WriteFile(Path("m.txt"), "1+1\r\n");
    auto form = Start(Path("m.txt"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QAction* save = form->Action("ActionFileSave");
    EXPECT_FALSE(save->isEnabled());  // nothing to save yet
    QTest::keyClick(&Memo(*form), Qt::Key_End);
    Type(*form, "0");
    EXPECT_TRUE(save->isEnabled());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("m.txt * - Rekna"));
    QTest::keyClick(&Memo(*form), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(Path("m.txt")), "1+10\r\n");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("m.txt - Rekna"));
    EXPECT_FALSE(save->isEnabled());
    // Typing after the save enables it again, and Ctrl+S saves again.
    Enter(*form);
    Type(*form, "2*3");
    EXPECT_TRUE(save->isEnabled());
    // Ctrl+Shift+Z redoes what Ctrl+Z undid.
    QTest::keyClick(&Memo(*form), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(Lines(*form).back(), "2*3");
    QTest::keyClick(&Memo(*form), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Lines(*form).back(), "2*3");
    QTest::keyClick(&Memo(*form), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadFile(Path("m.txt")), "1+10\r\n2*3\r\n");
    form->AskToSave = [] { return TSaveAnswer::saNo; };
}

// A key at the end of a long line is shown before the line is calculated; when that later
// slice ends the run, the status line shows the caret's hint, not nothing.
TEST_F(FormMemoTest, ARunThatEndsInALaterSliceLeavesTheHintInTheStatusLine) {
    std::string sum = "1";
    while (sum.size() <= TRunProcedure::kLongLineBytes)
        sum += "+1";
    WriteFile(Path("long.txt"), sum + "\r\n");
    auto form = Start(Path("long.txt"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(&Memo(*form), Qt::Key_End);
    Type(*form, "0");
    TRunProcedure& run = form->VtFrameCalc1()->Core().Run();
    for (int i = 0; i < 200 && run.Pending(); ++i)
        QTest::qWait(10);
    ASSERT_FALSE(run.Pending());
    EXPECT_TRUE(form->statusBar()->currentMessage().contains(QStringLiteral("1+1+1")))
        << form->statusBar()->currentMessage().left(80).toStdString();
    form->AskToSave = [] { return TSaveAnswer::saNo; };
}

TEST_F(FormMemoTest, ASettingsFileOfGarbageStartsAsAFirstStart) {
    for (const std::string& text : {std::string("garbage\r\nfoo=bar\r\n"), std::string()}) {
        WriteFile(Paths.SettingsFile, text);
        auto form = Start();
        EXPECT_TRUE(form->Action("ActionSetAnsHide0")->isChecked());
        EXPECT_TRUE(form->Action("ActionSetAnsEng1")->isChecked());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_GE(form->width(), std::min(area.width(), 480));
        EXPECT_GE(form->width(), area.width() * 2 / 3 - 1);
        form->close();
    }
    // Keys missing from a real settings file keep the fresh installation's values.
    WriteFile(Paths.SettingsFile, SettingsHeader() + "\r\nRadian=01\r\n");
    auto form = Start();
    EXPECT_TRUE(form->Action("ActionSetDeg")->isChecked());
    EXPECT_TRUE(form->Action("ActionSetAnsHide0")->isChecked());
    EXPECT_TRUE(form->Action("ActionSetAnsEng1")->isChecked());
    EXPECT_TRUE(form->Action("ActionViewKakkoH")->isChecked());
}

TEST_F(FormMemoTest, TheBatchCalculatorAnswersAsTheWindowDoes) {
    WriteFile(Paths.SettingsFile,
              SettingsHeader() + "\r\nRadian=01\r\nSubUnit=10000000000000000000\r\nLength=3\r\n");
    WriteFile(Paths.DefinitionsFile(), "#Par(a,b)=a*b/(a+b)\r\n");
    const std::string memo = "r=4.7k\r\nPar(r,10k)\r\nsin(30)\r\n5 #N2\r\n0.05\r\n1/3 #Fix\r\n";
    WriteFile(Path("m.txt"), memo);
    auto form = Start(Path("m.txt"));
    int status = -1;
    const std::string out = BatchOutput(
        "--answers --settings '" + Paths.SettingsFile + "' '" + Path("m.txt") + "'", status);
    EXPECT_EQ(status, 0);
    TStrings batch;
    for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos;
         start = end + 1)
        batch.push_back(out.substr(start, end - start));
    TStrings window = Answers(*form);
    window.resize(batch.size());
    EXPECT_EQ(batch, window);
    EXPECT_EQ(batch.at(2), " 0.5");  // degrees, Eng, short
}

// A file keeps the encoding and line ends it shows; plain ASCII is UTF-8 unless the settings
// make Shift_JIS the default. The window's 計算結果を全行記入 and save, and rekna-calc --write,
// give the same bytes.
TEST_F(FormMemoTest, FilesKeepTheirEncodingAndTheBatchCalculatorWritesTheSameBytes) {
    const std::string full = "\xEF\xBC\x9D";  // "＝" in UTF-8
    const struct {
        bool ShiftJisDefault;
        std::string File;
        std::string Saved;
        const char* Shown;
    } rows[] = {
        {false, "a=1\n1+2\na*3\n", "a=1 ＝ 1\n1+2 ＝ 3\na*3 ＝ 3\n", "UTF-8  LF"},
        {false, "1+2\r\n", "1+2 ＝ 3\r\n", "UTF-8  CR LF"},
        {false, "電圧=1.5\r\n電圧*2\r\n", "電圧=1.5 ＝ 1.5\r\n電圧*2 ＝ 3\r\n", "UTF-8  CR LF"},
        {false, SysText("電圧=1.5\r\n電圧*2\r\n"), SysText("電圧=1.5 ＝ 1.5\r\n電圧*2 ＝ 3\r\n"),
         "Shift_JIS  CR LF"},
        {false, SysText("電圧=2\n"), SysText("電圧=2 ＝ 2\n"), "Shift_JIS  LF"},
        // Under the setting, plain ASCII is Shift_JIS; a file shows its line ends all the same.
        {true, "1+2\n", SysText("1+2 ＝ 3\n"), "Shift_JIS  LF"},
        {true, "1+2\r\n", SysText("1+2 ＝ 3\r\n"), "Shift_JIS  CR LF"},
        {true, "1億\n", "1億 ＝ 100000000\n", "UTF-8  LF"},
    };
    for (const auto& r : rows) {
        const std::string ini =
            SettingsHeader() + "\r\nFileSJisDefault=" + (r.ShiftJisDefault ? "1" : "0") + "\r\n";
        WriteFile(Paths.SettingsFile, ini);
        WriteFile(Path("m.txt"), r.File);
        int status = -1;
        const std::string batch = BatchOutput(
            "--write --settings '" + Paths.SettingsFile + "' '" + Path("m.txt") + "'", status);
        EXPECT_EQ(status, 0);
        {
            auto form = Start(Path("m.txt"));
            EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("FormatLabel"))->text(),
                      QString::fromUtf8(r.Shown))
                << r.File;
            form->Action("ActionEditAnsAll")->trigger();
            ASSERT_TRUE(form->Save());
            ASSERT_TRUE(form->close());
        }
        EXPECT_EQ(ReadFile(Path("m.txt")), r.Saved) << r.File;
        EXPECT_EQ(batch, r.Saved) << r.File;
        EXPECT_EQ(IsValidUtf8(r.Saved), r.Saved.find(full) != std::string::npos) << r.File;
    }
    // Commands that write full-width spaces into a plain ASCII file write UTF-8.
    WriteFile(Paths.SettingsFile, SettingsHeader() + "\r\nFileBackUp=0\r\n");
    for (const auto& [action, file, saved] :
         {std::tuple{"ActionTableDSP", "x\t1\nyy\t2\n", "x 　1\nyy　2\n"},
          std::tuple{"ActionChnageSpaceSD", "1  2\n", "1　2\n"}}) {
        WriteFile(Path("t.txt"), file);
        auto form = Start(Path("t.txt"));
        TUMemoStrings& lines = Memo(*form).Lines();
        Memo(*form).setFocus();
        lines.Selection().SelectRows(lines, 0, lines.GetCount() - 1);
        QCoreApplication::processEvents();
        ASSERT_TRUE(form->Action(action)->isEnabled()) << action;
        form->Action(action)->trigger();
        ASSERT_TRUE(form->Save());
        EXPECT_EQ(ReadFile(Path("t.txt")), saved) << action;
    }
    // A new memo and a file without a line end take the default.
    WriteFile(Path("n.txt"), "2*3");
    for (const bool shiftJis : {false, true}) {
        WriteFile(Paths.SettingsFile, SettingsHeader() + "\r\nFileBackUp=0\r\nFileSJisDefault=" +
                                          (shiftJis ? "1" : "0") + "\r\n");
        auto form = Start();
        EXPECT_EQ(form->VtFrameCalc1()->DocumentEncoding(), DefaultFormat(shiftJis).Encoding);
        form->OpenPath(Path("n.txt"));
        form->Action("ActionEditAnsAll")->trigger();
        ASSERT_TRUE(form->Save());
        EXPECT_EQ(ReadFile(Path("n.txt")), shiftJis ? SysText("2*3 ＝ 6\r\n") : "2*3 ＝ 6\n");
        WriteFile(Path("n.txt"), "2*3");
    }
}

TEST_F(FormMemoTest, TheBackupOfANamedDocumentSavesToThatDocument) {
    WriteFile(Path("m.txt"), "1+1\n");
    {
        auto form = Start(Path("m.txt"));
        QTest::keyClick(&Memo(*form), Qt::Key_End);
        Type(*form, "0");
        EXPECT_TRUE(form->close());  // backups on: nothing asked
    }
    EXPECT_EQ(Questions, 0);
    EXPECT_EQ(ReadFile(Path("m.txt")), "1+1\n");
    TouchBackup(0);
    auto form = Start();
    EXPECT_EQ(Lines(*form), (TStrings{"1+10"}));
    // The text is not the file's: the title says so and Ctrl+S writes it there, with the
    // file's LF line ends.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("m.txt * - Rekna"));
    EXPECT_TRUE(form->Action("ActionFileSave")->isEnabled());
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(ReadFile(Path("m.txt")), "1+10\n");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("m.txt - Rekna"));
}

TEST_F(FormMemoTest, TheBackupIsWrittenEveryMinuteAndWhenTheSessionEnds) {
    WriteFile(Paths.BackupFile(), "old\r\n");
    TouchBackup(0);
    auto form = Start();
    QTest::keyClick(&Memo(*form), Qt::Key_End, Qt::ControlModifier);
    Type(*form, "+1");
    form->WritePeriodicBackup();
    EXPECT_EQ(ReadFile(Paths.BackupFile()), "old+1\n");
    EXPECT_EQ(Trash.Moved.size(), 1u);  // the session's first backup keeps the old one
    form->WritePeriodicBackup();        // nothing changed: nothing written
    Type(*form, "+2");
    form->WritePeriodicBackup();
    EXPECT_EQ(ReadFile(Paths.BackupFile()), "old+1+2\n");
    EXPECT_EQ(Trash.Moved.size(), 1u);
    // The end of the session writes everything without a question, even with backups off.
    form->Action("ActionFileBackUp")->trigger();
    Type(*form, "+3");
    form->EndSession();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Questions, 0);
    EXPECT_EQ(ReadFile(Paths.BackupFile()), "old+1+2+3\n");
    EXPECT_NE(ReadFile(Paths.SettingsFile).find("FileBackUp=0"), std::string::npos);
}

TEST_F(FormMemoTest, TextThatCannotBeBackedUpIsNeverClosedAway) {
    // A folder where the backup goes: it cannot be written.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Paths.BackupFile())));
    auto form = Start();
    Type(*form, "precious=42");
    QString why;
    TSaveAnswer answer = TSaveAnswer::saCancel;
    form->AskBackupFailed = [&](const QString& w) {
        why = w;
        return answer;
    };
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(why.contains(QStringLiteral("BackUp.txt"))) << why.toStdString();
    answer = TSaveAnswer::saYes;
    form->AskSaveName = [this](const QString&) { return QString::fromStdString(Path("k.txt")); };
    EXPECT_TRUE(form->close());
    EXPECT_EQ(ReadFile(Path("k.txt")), "precious=42\n");

    // The end of a session cannot ask: the configuration folder, then the state folder.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("cfg/rekna/BackUp.txt"))));
    for (const char* place : {"state", "cfg"}) {
        auto again = Start();
        again->AskBackupFailed = [&](const QString&) { return TSaveAnswer::saCancel; };
        Type(*again, "lost=1");
        again->EndSession();
        EXPECT_FALSE(again->isVisible());
        EXPECT_EQ(ReadFile(Path(place) + "/rekna/BackUp.txt"), "lost=1\n") << place;
        QDir(QString::fromStdString(Path("cfg"))).removeRecursively();
    }
    // The next start offers what the session end kept.
    EXPECT_EQ(Offers, (TStrings{Path("state/rekna/BackUp.txt")}));
}

TEST_F(FormMemoTest, ExtremeNumbersInEverySettingStartAUsableWindow) {
    std::vector<std::string> keys = FrameSettingsKeys();
    for (const auto& list : {MainSettingsKeys(), KeptSettingsKeys()})
        keys.insert(keys.end(), list.begin(), list.end());
    for (const char* value :
         {"65536", "2147483647", "-2147483648", "0", "-1", "99999999999", "1e9", "x!"}) {
        std::string text = SettingsHeader() + "\r\n";
        for (const std::string& key : keys)
            text += key + "=" + value + "\r\n";
        WriteFile(Paths.SettingsFile, text);
        auto form = Start();
        const TCalcOptions& o = form->VtFrameCalc1()->Core().Options();
        EXPECT_TRUE(o.FontSize >= 4 && o.FontSize <= 200) << value << ": " << o.FontSize;
        EXPECT_TRUE(o.TabStops >= 1 && o.WrapWidth >= 4 && o.AnsWidth <= 16384) << value;
        // It takes text and paints it (the formats follow the flags, all of them 0 or 1).
        Type(*form, "1+1");
        EXPECT_EQ(Lines(*form), (TStrings{"1+1"})) << value;
        EXPECT_FALSE(form->grab().isNull()) << value;
        // The tool windows that keep places and sizes open with them and paint.
        for (const char* action : {"ActionViewGraph", "ActionPrintView"}) {
            form->Action(action)->trigger();
            int shown = 0;
            for (QWidget* tool : QApplication::topLevelWidgets()) {
                if (tool == form.get() || !tool->isVisible()) continue;
                ++shown;
                const QRect g = tool->geometry();
                EXPECT_TRUE(g.width() <= 8192 && g.height() <= 8192)
                    << action << " " << value << " " << g.width() << "x" << g.height();
                EXPECT_FALSE(tool->grab().isNull()) << action << " " << value;
                tool->close();
            }
            EXPECT_EQ(shown, 1) << action << " " << value;
        }
        form->AskToSave = [] { return TSaveAnswer::saNo; };
        form->AskBackupFailed = [](const QString&) { return TSaveAnswer::saNo; };
        EXPECT_TRUE(form->close()) << value;
    }
}

TEST_F(FormMemoTest, SavingOverAReadOnlyFileAsksFirst) {
    WriteFile(Path("r.txt"), "old\n");
    ASSERT_EQ(::chmod(Path("r.txt").c_str(), 0444), 0);
    auto form = Start(Path("r.txt"));
    Type(*form, "new ");
    int asked = 0;
    bool overwrite = false;
    form->AskOverwriteReadOnly = [&](const QString& path) {
        ++asked;
        EXPECT_EQ(path.toStdString(), Path("r.txt"));
        return overwrite;
    };
    EXPECT_FALSE(form->Save());
    EXPECT_EQ(ReadFile(Path("r.txt")), "old\n");
    EXPECT_TRUE(Memo(*form).Editor().Modified());
    overwrite = true;
    EXPECT_TRUE(form->Save());
    EXPECT_EQ(ReadFile(Path("r.txt")), "new old\n");
    Type(*form, "x");
    EXPECT_TRUE(form->Save());  // agreed once for this name
    EXPECT_EQ(asked, 2);
}

TEST_F(FormMemoTest, SavingOverAFileChangedOnDiskAsksFirst) {
    WriteFile(Path("c.txt"), "mine\n");
    auto form = Start(Path("c.txt"));
    int asked = 0;
    bool overwrite = false;
    form->AskOverwriteChanged = [&](const QString&) {
        ++asked;
        return overwrite;
    };
    Type(*form, "1");
    ASSERT_TRUE(form->Save());  // unchanged on disk: nothing asked
    WriteFile(Path("c.txt"), "theirs\n");
    Type(*form, "2");
    EXPECT_FALSE(form->Save());
    EXPECT_EQ(ReadFile(Path("c.txt")), "theirs\n");
    overwrite = true;
    EXPECT_TRUE(form->Save());
    EXPECT_EQ(ReadFile(Path("c.txt")), "12mine\n");
    EXPECT_EQ(asked, 2);

    // The backup of the document remembers the file as that session read it.
    form->Action("ActionFileBackUp")->setChecked(true);
    Type(*form, "3");
    EXPECT_TRUE(form->close());
    WriteFile(Path("c.txt"), "later\n");
    TouchBackup(0);  // a backup of the fixture's day, not of the day the test runs
    auto again = Start();
    again->AskOverwriteChanged = [&](const QString&) {
        ++asked;
        return false;
    };
    EXPECT_EQ(Lines(*again), (TStrings{"123mine"}));
    EXPECT_FALSE(again->Save());
    EXPECT_EQ(ReadFile(Path("c.txt")), "later\n");
    EXPECT_EQ(asked, 3);
}

TEST_F(FormMemoTest, TwoInstancesClosingInTurnKeepEachOthersSettings) {
    auto a = Start();
    auto b = Start();
    const auto line = [this](const char* key) {
        const std::string text = ReadFile(Paths.SettingsFile);
        const std::size_t at = text.find(std::string("\n") + key + "=");
        return at == std::string::npos ? std::string()
                                       : text.substr(at, text.find('\n', at + 1) - at);
    };
    a->Action("ActionSetAnsEng")->trigger();
    b->Action("ActionFileBackUpDate")->trigger();
    ASSERT_TRUE(a->close());
    const std::string fromA = line("SubUnit");
    ASSERT_FALSE(fromA.empty());
    ASSERT_TRUE(b->close());
    EXPECT_EQ(line("SubUnit"), fromA);
    EXPECT_EQ(line("FileBackUpDate"), "\nFileBackUpDate=0");
}

TEST_F(FormMemoTest, TwoInstancesClosingInTurnKeepBothTexts) {
    {
        auto a = Start();
        auto b = Start();
        Type(*a, "a=1");
        Type(*b, "b=2");
        ASSERT_TRUE(a->close());
        ASSERT_TRUE(b->close());
    }
    EXPECT_EQ(ReadFile(Path("BackUp.txt")), "a=1\n");
    EXPECT_EQ(ReadFile(Path("BackUp2.txt")), "b=2\n");
    EXPECT_TRUE(Offers.empty());
    TouchBackup(0);
    TouchBackup(0, Path("BackUp2.txt"));
    {
        // Kept: offered at the next start; a second window beside it takes it as its own.
        auto c = Start();
        EXPECT_EQ(Lines(*c), (TStrings{"a=1"}));
        EXPECT_EQ(Offers, (TStrings{Path("BackUp2.txt")}));
        auto d = Start();
        EXPECT_EQ(Lines(*d), (TStrings{"b=2"}));
        EXPECT_EQ(Offers.size(), 1u);
    }
    // Opened: the window shows it, and its own earlier backup takes the other's place.
    OrphanAnswer = TOrphanAnswer::oaOpen;
    {
        auto e = Start();
        EXPECT_EQ(Lines(*e), (TStrings{"b=2"}));
        EXPECT_EQ(ReadFile(Path("BackUp2.txt")), "a=1\n");
    }
    // Discarded, into the trash: the other slot's and one a session end kept elsewhere.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("state/rekna"))));
    WriteFile(Path("state/rekna/BackUp.txt"), "kept=3\n");
    OrphanAnswer = TOrphanAnswer::oaDiscard;
    Offers.clear();
    { auto f = Start(); }
    EXPECT_EQ(Offers, (TStrings{Path("BackUp2.txt"), Path("state/rekna/BackUp.txt")}));
    EXPECT_EQ(Trash.Moved, Offers);
    EXPECT_EQ(ReadFile(Path("BackUp.txt")), "b=2\n");
}

}  // namespace
}  // namespace rekna
