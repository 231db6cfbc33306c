// Tests of the help window: topics shown by action, the arrow keys, Esc, and its reuse.
#include "shell/qt/help_window.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

#include "frame/help_topics.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

QString Shown(std::string_view action) {
    const THelpTopic* topic = FindHelpTopic(action);
    return topic == nullptr ? QString()
                            : QString::fromStdString(Cp932ToUtf8(topic->Text()))
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

class HelpWindowTest : public ::testing::Test {
protected:
    THelpWindow Window;
    QString Text() const { return Window.TextView()->toPlainText(); }
};

TEST_F(HelpWindowTest, ShowTopicShowsItsText) {
    EXPECT_EQ(Window.windowTitle(), QString::fromUtf8("Rekna ヘルプ"));
    EXPECT_FALSE(Window.isModal());
    EXPECT_EQ(Window.TopicList()->count(), static_cast<int>(HelpTopics().size()));
    EXPECT_EQ(Window.TopicList()->item(0)->text(), QString::fromUtf8("数値説明"));
    EXPECT_EQ(Window.TopicList()->item(8)->text(), QString::fromUtf8("VBScript説明"));
    for (const THelpTopic& topic : HelpTopics()) {
        Window.ShowTopic(topic.Action);
        EXPECT_TRUE(Window.isVisible());
        EXPECT_EQ(Window.CurrentAction().toStdString(), topic.Action);
        EXPECT_EQ(Text(), Shown(topic.Action)) << topic.Action;
    }
    // The statistics example keeps its data lines.
    Window.ShowTopic("ActionHelpStat");
    EXPECT_TRUE(Text().contains(QStringLiteral("\n>10.3\n>10.7\n")));
    EXPECT_TRUE(Window.TextView()->isReadOnly());
}

TEST_F(HelpWindowTest, UnknownActionKeepsTheTopic) {
    Window.ShowTopic("ActionNoSuchHelp");
    EXPECT_EQ(Window.CurrentAction(), QStringLiteral("ActionHelpValue"));
    Window.ShowTopic("ActionHelpKakko");
    Window.ShowTopic("");
    EXPECT_EQ(Window.CurrentAction(), QStringLiteral("ActionHelpKakko"));
    EXPECT_EQ(Text(), Shown("ActionHelpKakko"));
}

TEST_F(HelpWindowTest, ArrowsMoveThroughTopicsAndEscCloses) {
    Window.ShowTopic("ActionHelpValue");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
    struct {
        QWidget* Target;
        Qt::Key Key;
        const char* Action;
    } const rows[] = {
        {Window.TopicList(), Qt::Key_Up, "ActionHelpValue"},  // stays at the first
        {Window.TopicList(), Qt::Key_Down, "ActionHelpVariable"},
        {Window.TextView(), Qt::Key_Down, "ActionHelpComment"},
        {Window.TextView(), Qt::Key_Right, "ActionHelpKakko"},
        {Window.TopicList(), Qt::Key_Left, "ActionHelpComment"},
        {Window.TextView(), Qt::Key_Up, "ActionHelpVariable"},
    };
    for (const auto& r : rows) {
        QTest::keyClick(r.Target, r.Key);
        EXPECT_EQ(Window.CurrentAction().toStdString(), r.Action);
        EXPECT_EQ(Text(), Shown(r.Action)) << r.Action;
    }
    Window.ShowTopic("ActionHelpVBScript");
    QTest::keyClick(Window.TopicList(), Qt::Key_Down);
    EXPECT_EQ(Window.CurrentAction(), QStringLiteral("ActionHelpVBScript"));  // stays at the last

    QTest::keyClick(Window.TextView(), Qt::Key_Escape);
    EXPECT_FALSE(Window.isVisible());
    // Reused: shown again with the topic asked for.
    Window.ShowTopic("ActionHelpStat");
    EXPECT_TRUE(Window.isVisible());
    EXPECT_EQ(Text(), Shown("ActionHelpStat"));
    QTest::keyClick(Window.TopicList(), Qt::Key_Escape);
    EXPECT_FALSE(Window.isVisible());
}

TEST_F(HelpWindowTest, TextsInTheMemoFont) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSize(14);
    Window.SetTextFont(font);
    const QFont used = Window.TextView()->font();
    EXPECT_EQ(used.families().value(0), QStringLiteral("IPAGothic"));
    // Full-width characters take two half-width cells, so the examples line up.
    const QFontMetrics metrics(used);
    EXPECT_EQ(metrics.horizontalAdvance(QString::fromUtf8("０")),
              2 * metrics.horizontalAdvance(QStringLiteral("0")));
}

}  // namespace
}  // namespace rekna
