// Tests of the help topics: the nine actions in menu order and their texts as the reader sees them.
#include "frame/help_topics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/cp932.h"

namespace rekna {
namespace {

std::vector<std::string> ShownLines(const THelpTopic& topic) {
    const std::string text = Cp932ToUtf8(topic.Text());
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        out.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return out;
}

TEST(HelpTopicsTest, ActionsAndCaptionsInMenuOrder) {
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"ActionHelpValue", "数値説明(&L)"},
        {"ActionHelpVariable", "変数説明(&V)"},
        {"ActionHelpComment", "コメント説明(&C)"},
        {"ActionHelpKakko", "かっこ説明(&K)"},
        {"ActionHelpStat", "統計説明(&S)"},
        {"ActionHelpUserFunc", "ユーザー定義関数説明(&F)"},
        {"ActionHelpBoxSelect", "Box選択説明(&B)"},
        {"ActionHelpKeisen", "罫線入力説明(&I)"},
        {"ActionHelpVBScript", "VBScrip&t説明"},
    };
    const auto topics = HelpTopics();
    ASSERT_EQ(topics.size(), expected.size());
    for (std::size_t i = 0; i < topics.size(); ++i) {
        EXPECT_EQ(topics[i].Action, expected[i].first);
        EXPECT_EQ(topics[i].Caption, expected[i].second);
        EXPECT_EQ(FindHelpTopic(expected[i].first), &topics[i]);
    }
    EXPECT_EQ(FindHelpTopic("ActionHelpAbout"), nullptr);
    EXPECT_EQ(FindHelpTopic(""), nullptr);
}

TEST(HelpTopicsTest, LinesAsShown) {
    // Line counts with the empty lines, and chosen lines by number: leading spaces, "&&" shown
    // as one "&", quotes inside the line and lines that begin with ">" are kept exactly.
    struct {
        const char* Action;
        std::size_t Count;
        std::size_t Line;
        const char* Text;
    } const rows[] = {
        {"ActionHelpValue", 22, 0, "数値として、10進数、2進数、16進数を使用することができます。"},
        {"ActionHelpValue", 22, 1, ""},
        {"ActionHelpValue", 22, 6,
         "  & で始まる連続した文字列は、2進数として解析し、整数、小数、指数形式を使えます。"},
        {"ActionHelpValue", 22, 7, "    &10010、&10.01、&1.0011E&101"},
        {"ActionHelpValue", 22, 10, "    &C010010、&c100.01、&C1.0011E-10"},
        {"ActionHelpValue", 22, 21, "    23m@2、-2.3dB@-60"},
        {"ActionHelpVariable", 21, 12, "  Z1=51[Ω]+1/S(f*10p[F])"},
        {"ActionHelpVariable", 21, 20, "計算により値が自動更新されるので注意してください。"},
        {"ActionHelpComment", 10, 6, "　ただし、数値の桁文字として、京兆億万日時分を使えます。"},
        {"ActionHelpKakko", 9, 8,
         "（カッコ文字の外側付近の場合は、カッコ文字も含めて選択されます。）"},
        {"ActionHelpStat", 18, 4, ">10.3"},
        {"ActionHelpStat", 18, 8, ">11.5"},
        {"ActionHelpStat", 18, 10, "Std( );標準偏差"},
        {"ActionHelpUserFunc", 16, 0,
         "ユーザー定義関数（引数は\",\"+スペース区切り）を使用できます。"},
        {"ActionHelpUserFunc", 16, 6, "#Sqr(X)=X^2"},
        {"ActionHelpBoxSelect", 11, 2,
         "矩形選択：[Ctrl]+左ドラッグ、[Shift]+[Ctrl]+[矢印キー/左クリック]"},
        {"ActionHelpKeisen", 4, 1, "罫線は半角文字の-+|を使用し、上書きモードで記入されます。"},
        {"ActionHelpVBScript", 14, 7, "#>S=\"\""},
        {"ActionHelpVBScript", 14, 9, "#>  S=S & i & \"A \""},
        {"ActionHelpVBScript", 14, 11, "#?S  ' ＝ 0A 1A 2A 3A 4A 5A"},
    };
    for (const auto& r : rows) {
        const THelpTopic* topic = FindHelpTopic(r.Action);
        ASSERT_NE(topic, nullptr) << r.Action;
        const std::vector<std::string> lines = ShownLines(*topic);
        ASSERT_EQ(lines.size(), r.Count) << r.Action;
        EXPECT_EQ(lines[r.Line], r.Text) << r.Action << " line " << r.Line;
    }
}

TEST(HelpTopicsTest, TextsAreCleanCp932) {
    for (const THelpTopic& topic : HelpTopics()) {
        const std::string text = topic.Text();
        // Every character has a CP932 code, so nothing turned into "?" on the way.
        EXPECT_TRUE(IsValidCp932(text)) << topic.Action;
        std::size_t marks = 0;
        for (const std::string_view line : topic.Lines)
            marks += static_cast<std::size_t>(std::count(line.begin(), line.end(), '?'));
        EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '?')), marks)
            << topic.Action;
        ASSERT_FALSE(text.empty()) << topic.Action;
        EXPECT_NE(text.back(), '\n') << topic.Action;
        EXPECT_EQ(text.find("&&"), std::string::npos) << topic.Action;
    }
}

}  // namespace
}  // namespace rekna
