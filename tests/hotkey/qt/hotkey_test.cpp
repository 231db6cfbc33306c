// Widget tests of the hot keys in the main window: the option without an X11 display, and the
// keys acting on Rekna's own memo when it is in front.
#include "hotkey/qt/hotkey_parts.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <future>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "hotkey/hotkey_calc.h"
#include "hotkey/hotkey_tables.h"
#include "platform/cp932.h"
#include "shell/qt/form_memo.h"
#include "shell/qt/single_instance.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

class HotKeyTest : public ::testing::Test {
protected:
    std::unique_ptr<TFormMemo> Start(const std::string& document) {
        TStartPaths p;
        p.SettingsFile = Dir.path().toStdString() + "/rekna.ini";
        p.SettingsFolder = Dir.path().toStdString() + "/";
        p.Document = document;
        auto form = std::make_unique<TFormMemo>(p);
        form->AskToSave = [] { return TSaveAnswer::saNo; };
        form->Start();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->FirstShow();
        return form;
    }
    std::string Path(const char* name) const { return Dir.path().toStdString() + "/" + name; }
    static std::string Line(TFormMemo& f, int row) {
        return Cp932ToUtf8(f.VtFrameCalc1()->UMemo1()->Lines().Get(row));
    }

    test::TNumberGuard Guard;
    QTemporaryDir Dir;
};

TEST_F(HotKeyTest, WithoutAnX11DisplayTheOptionSaysWhatItNeeds) {
    auto form = Start({});
    QAction* hot = form->Action("ActionCalcHotKey");
    ASSERT_NE(hot, nullptr);
    EXPECT_TRUE(hot->isEnabled());
    EXPECT_TRUE(hot->statusTip().contains(QStringLiteral("X11")));
    hot->trigger();
    EXPECT_TRUE(hot->isChecked());
    EXPECT_TRUE(form->statusBar()->currentMessage().contains(QStringLiteral("X11")));
    // It stays said while the option is on, whatever the caret's hints show meanwhile.
    form->statusBar()->clearMessage();
    const auto* problem = form->statusBar()->findChild<QLabel*>(QStringLiteral("HotKeyProblem"));
    ASSERT_NE(problem, nullptr);
    EXPECT_TRUE(problem->isVisible());
    EXPECT_TRUE(problem->text().contains(QStringLiteral("X11")));
    hot->trigger();
    EXPECT_FALSE(problem->isVisible());
    for (const char* name :
         {"ActionCalcHotCtrl", "ActionCalcHotAdd", "ActionCalcHotExt", "ActionHelpHotKey"})
        EXPECT_TRUE(form->Action(name)->isEnabled()) << name;
}

TEST_F(HotKeyTest, InReknaTheKeysWriteAndTakeOutTheCaretLinesAnswer) {
    {
        std::ofstream out(Path("m.txt"), std::ios::binary);
        out << "1+2\n4*5\n";
    }
    auto form = Start(Path("m.txt"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    TUMemo* memo = form->VtFrameCalc1()->UMemo1();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Down);
    HotKeyPressed(*form, false, TModifierKeys{.LeftCtrl = true});
    EXPECT_EQ(Line(*form, 0), "1+2");
    EXPECT_EQ(Line(*form, 1), "4*5 ＝ 20");
    HotKeyPressed(*form, true, TModifierKeys{.LeftShift = true, .LeftCtrl = true});
    EXPECT_EQ(Line(*form, 1), "4*5");
}

// `rekna --hotkey NAME` from a second process: the name crosses the single-instance channel and
// acts as the key would; a command line handed over is never taken for one.
TEST_F(HotKeyTest, HotKeyRequestsCrossTheChannelAndActLikeTheKeys) {
    {
        std::ofstream out(Path("m.txt"), std::ios::binary);
        out << "1+2\n4*5\n";
    }
    auto form = Start(Path("m.txt"));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    TUMemo* memo = form->VtFrameCalc1()->UMemo1();
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Down);

    const QString key =
        QStringLiteral("rekna-hotkey-test-%1").arg(QCoreApplication::applicationPid());
    TSingleInstance running(key);
    ASSERT_TRUE(running.Claim());
    ASSERT_TRUE(running.Listening());
    QStringList received;
    running.OnArguments = [&](const QStringList& a) {
        received = a;
        const QString name = TSingleInstance::HotKeyOf(a);
        if (!name.isEmpty()) HotKeyCommand(*form, name.toStdString());
    };
    // The sender blocks on the answer, which the event loop here gives.
    const auto send = [&](const std::function<bool(TSingleInstance&)>& how) {
        received.clear();
        auto done = std::async(std::launch::async, [&] {
            TSingleInstance second(key);
            return !second.Claim() && how(second);
        });
        while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            QTest::qWait(5);
        const bool ok = done.get();
        QTest::qWait(20);  // the request is reported after the answer
        return ok;
    };
    const auto hotKey = [](const char* name) {
        return [name](TSingleInstance& s) { return s.SendHotKey(QString::fromLatin1(name)); };
    };

    ASSERT_TRUE(send(hotKey("calc")));
    EXPECT_EQ(received, (QStringList{QStringLiteral("--hotkey"), QStringLiteral("calc")}));
    EXPECT_EQ(Line(*form, 1), "4*5 ＝ 20");
    ASSERT_TRUE(send(hotKey("delete")));
    EXPECT_EQ(Line(*form, 1), "4*5");
    // An unknown name is acknowledged by the channel but does nothing.
    ASSERT_TRUE(send(hotKey("frobnicate")));
    EXPECT_FALSE(HotKeyCommand(*form, "frobnicate"));
    EXPECT_EQ(Line(*form, 1), "4*5");
    // A second start's command line "--hotkey calc" names a file "calc": not a hot-key request.
    ASSERT_TRUE(send([](TSingleInstance& s) {
        return s.HandOver({QStringLiteral("--hotkey"), QStringLiteral("calc")});
    }));
    ASSERT_EQ(received.size(), 2);
    EXPECT_TRUE(TSingleInstance::HotKeyOf(received).isEmpty());
    EXPECT_EQ(Line(*form, 1), "4*5");
}

TEST(HotKeyCommand, NamesChooseTheKeysOfTheirPress) {
    struct TCase {
        const char* Name;
        bool Valid;
        bool Deletion;
        TModifierKeys Held;
    };
    const TCase cases[] = {
        {"calc", true, false, {.LeftCtrl = true}},
        {"replace", true, false, {.RightCtrl = true}},
        {"delete", true, true, {.LeftShift = true, .LeftCtrl = true}},
        {"", false, false, {}},
        {"Calc", false, false, {}},
        {"calc ", false, false, {}},
    };
    for (const TCase& c : cases) {
        const std::optional<THotKeyPress> p = HotKeyCommandPress(c.Name);
        ASSERT_EQ(p.has_value(), c.Valid) << c.Name;
        if (!p) continue;
        EXPECT_EQ(p->Deletion, c.Deletion) << c.Name;
        EXPECT_EQ(p->Held, c.Held) << c.Name;
    }
}

}  // namespace
}  // namespace rekna
