// The template window: a node inserted and renamed through its body, its text put into the memo,
// a deletion with children restored, and the file written on closing.
#include "templates/qt/template_parts.h"
#include "templates/qt/template_window.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "platform/cp932.h"
#include "shell/qt/form_memo.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

class TemplateWindowTest : public ::testing::Test {
protected:
    TemplateWindowTest() {
        Paths.SettingsFile = Dir.path().toStdString() + "/rekna.ini";
        Paths.SettingsFolder = Dir.path().toStdString() + "/";
        Form = std::make_unique<TFormMemo>(Paths);
        Form->AskToSave = [] { return TSaveAnswer::saNo; };
        Form->Start();
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->FirstShow();
    }
    ~TemplateWindowTest() override { Form->close(); }

    void WriteTemplates(const std::string& utf8) { std::ofstream(File, std::ios::binary) << utf8; }
    std::string ReadTemplates() const {
        std::ifstream in(File, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    TFormTemplate* Open() {
        auto* w = new TFormTemplate(*Form, File);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
        return w;
    }
    // The tree as its widget shows it: level dots and headings.
    static std::string Shown(QTreeWidget* tree) {
        std::string out;
        QTreeWidgetItemIterator it(tree);
        for (; *it; ++it) {
            int level = 0;
            for (QTreeWidgetItem* p = (*it)->parent(); p != nullptr; p = p->parent())
                ++level;
            out += std::string(static_cast<std::size_t>(level), '.') +
                   (*it)->text(0).toStdString() + ";";
        }
        return out;
    }
    std::string Memo() {
        const TUMemoStrings& m = Form->VtFrameCalc1()->UMemo1()->Lines();
        std::string out;
        for (std::int32_t r = 0; r < m.GetCount(); ++r)
            out += (r > 0 ? "|" : "") + Cp932ToUtf8(m.Get(r));
        return out;
    }

    test::TNumberGuard Guard;
    QTemporaryDir Dir;
    TStartPaths Paths;
    std::unique_ptr<TFormMemo> Form;
    std::string File = Dir.path().toStdString() + "/ReknaTemplate.txt";
};

TEST_F(TemplateWindowTest, TheMenuActionOpensOneWindowOfTheMainWindow) {
    QAction* action = Form->Action("ActionEditTemplate");
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->isEnabled());
    action->trigger();
    TFormTemplate& first = TemplateWindowOf(*Form);
    EXPECT_TRUE(first.isVisible());
    EXPECT_EQ(first.parentWidget(), Form.get());
    action->trigger();
    EXPECT_EQ(&TemplateWindowOf(*Form), &first);
    EXPECT_EQ(Form->findChildren<TFormTemplate*>().size(), 1);
}

TEST_F(TemplateWindowTest, ANewNodeNamedByItsBodyGoesIntoTheMemoAndTheFile) {
    WriteTemplates("Ohm\t\n\t'\tOhm\n\tr=4.7k\n Sub\n");
    TFormTemplate* w = Open();
    EXPECT_EQ(Shown(w->TreeView()), "Ohm;.Sub;");
    // Outside edit mode the tree cannot be changed.
    EXPECT_FALSE(w->Action("ActionInsert")->isEnabled());
    w->Action("ActionEdit")->trigger();
    ASSERT_TRUE(w->Action("ActionInsert")->isEnabled());
    w->Action("ActionInsert")->trigger();
    EXPECT_EQ(Shown(w->TreeView()), "新規;Ohm;.Sub;");
    // The name line is the body's first line: typing over its name renames the node.
    TUMemo* body = w->Body();
    body->setFocus();
    QTest::keyClick(body, Qt::Key_End);
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(body, Qt::Key_Backspace);
    QTest::keyClicks(body, "V");
    QTest::keyClick(body, Qt::Key_Return);
    QTest::keyClicks(body, "v=1.5");
    EXPECT_EQ(Shown(w->TreeView()), "V;Ohm;.Sub;");
    w->Action("ActionAddMemo")->trigger();
    EXPECT_EQ(Memo(), "'\tV|v=1.5");
    EXPECT_EQ(Form->VtFrameCalc1()->UMemo2()->Lines().Get(1), "1.5");
    w->close();
    EXPECT_EQ(ReadTemplates().substr(ReadTemplates().find("\nV")),
              "\nV\n\t'\tV\n\tv=1.5\nOhm\t\n\t'\tOhm\n\tr=4.7k\n Sub\n;SelectdNodeIndex=0\n"
              ";TopNodeIndex=0\n");
    EXPECT_FALSE(Form->KeptSettings().at("Template.Width").empty());
}

TEST_F(TemplateWindowTest, InsertingAtTheCaretLineAndASelection) {
    WriteTemplates("A\n\tx=1\n\ty=2\n");
    Form->VtFrameCalc1()->UMemo1()->LoadBytes("m1\r\nm2", false);
    TFormTemplate* w = Open();
    w->Action("ActionInsertMemo")->trigger();
    EXPECT_EQ(Memo(), "x=1|y=2|m1|m2");
    // A selection in the body is inserted alone.
    TUMemoStrings& lines = w->Body()->Lines();
    lines.Selection().SelectStream(lines, {1, 1}, {4, 1});
    w->Action("ActionAddMemo")->trigger();
    EXPECT_EQ(Memo(), "x=1|y=2|m1|m2|y=2");
    w->Action("ActionClose")->trigger();
}

TEST_F(TemplateWindowTest, DeletingWithChildrenWarnsAndRestoresOnce) {
    WriteTemplates("A\nB\t\n C\nD\n");
    TFormTemplate* w = Open();
    w->Action("ActionEdit")->trigger();
    QString asked;
    w->AskDelete = [&](const QString& question) {
        asked = question;
        return true;
    };
    w->TreeView()->setCurrentItem(w->TreeView()->topLevelItem(1));
    w->Action("ActionDelete")->trigger();
    EXPECT_EQ(asked,
              QStringLiteral("選択項目 「 B 」 を削除しますか?\n\n<注意> 子項目も削除されます!"));
    EXPECT_EQ(Shown(w->TreeView()), "A;D;");
    ASSERT_TRUE(w->Action("ActionRestore")->isEnabled());
    w->Action("ActionRestore")->trigger();
    EXPECT_EQ(Shown(w->TreeView()), "A;B;.C;D;");
    EXPECT_FALSE(w->Action("ActionRestore")->isEnabled());
    EXPECT_EQ(w->TreeView()->currentItem()->text(0), QStringLiteral("B"));
    w->Action("ActionClose")->trigger();
    // Closed without saving: the file is as it was.
    EXPECT_EQ(ReadTemplates(), "A\nB\t\n C\nD\n");
}

TEST_F(TemplateWindowTest, AHeadingEditedInPlaceIsCleanedAndNamesTheBody) {
    WriteTemplates("A\n\t'\tA\n\tx=1\n");
    TFormTemplate* w = Open();
    w->Action("ActionEdit")->trigger();
    QTreeWidgetItem* item = w->TreeView()->topLevelItem(0);
    item->setText(0, QStringLiteral(";  Sum\tall"));
    EXPECT_EQ(item->text(0), QStringLiteral("Sum all"));
    EXPECT_EQ(w->Body()->Lines().GetTextStr(), "'\tSum all\r\nx=1");
    // Outside edit mode the heading stays.
    w->Action("ActionEdit")->trigger();
    item->setText(0, QStringLiteral("B"));
    EXPECT_EQ(item->text(0), QStringLiteral("Sum all"));
    w->Action("ActionClose")->trigger();
}

}  // namespace
}  // namespace rekna
