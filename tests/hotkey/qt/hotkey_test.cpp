// Widget tests of the hot keys in the main window: the option without an X11 display, and the
// keys acting on Rekna's own memo when it is in front.
#include "hotkey/qt/hotkey_parts.h"

#include <QAction>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "hotkey/hotkey_tables.h"
#include "platform/cp932.h"
#include "shell/qt/form_memo.h"
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

}  // namespace
}  // namespace rekna
