// Tests of the insert commands' table: counts by category, unique names and the inserted texts
// that follow from the captions.
#include "frame/insert_actions.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "frame/frame_actions.h"

namespace rekna {
namespace {

// The caption's first name: the text before " : " and before the first ",", without "&".
std::string FirstName(std::string_view caption) {
    std::string name = StripAccelerator(caption.substr(0, caption.find(" : ")));
    return name.substr(0, name.find(','));
}

TEST(InsertActionsTest, CountsByCategoryInMenuOrder) {
    const std::pair<std::string_view, int> expected[] = {
        {"演算子", 25},     {"関数", 35},    {"関数三角", 18}, {"関数双曲線", 6},
        {"関数電気", 26},   {"関数統計", 6}, {"定数", 15},     {"定数統計", 11},
        {"補助単位", 25},   {"制御", 21},    {"挿入", 10},     {"ギリシャ小", 24},
        {"ギリシャ大", 24}, {"VBScript", 12}};
    std::map<std::string_view, int> counts;
    std::set<std::string_view> names;
    std::string_view previous;
    std::vector<std::string_view> order;
    for (const TInsertAction& a : InsertActions()) {
        ++counts[a.Category];
        EXPECT_TRUE(names.insert(a.Name).second) << a.Name;
        EXPECT_EQ(FindInsertAction(a.Name), &a);
        // The frame's own actions use other names.
        EXPECT_EQ(FindFrameAction(a.Name), nullptr) << a.Name;
        if (a.Category != previous) order.push_back(a.Category);
        previous = a.Category;
    }
    ASSERT_EQ(order.size(), std::size(expected));
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(order[i], expected[i].first);
        EXPECT_EQ(InsertCategories()[i], expected[i].first);
        EXPECT_EQ(counts[expected[i].first], expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(FindInsertAction("ActionEditRun"), nullptr);
}

TEST(InsertActionsTest, TextsFollowTheCaptions) {
    for (const TInsertAction& a : InsertActions()) {
        SCOPED_TRACE(a.Caption);
        const std::string name = FirstName(a.Caption);
        if (a.Category == "関数" || a.Category == "関数三角" || a.Category == "関数双曲線" ||
            a.Category == "関数電気") {
            EXPECT_EQ(a.Text, name + "(");
        } else if (a.Category.starts_with("定数")) {
            EXPECT_EQ(a.Text, a.Name == "ActionFuncF" ? std::string("F=") : name + "()");
        } else if (a.Category.starts_with("ギリシャ")) {
            EXPECT_EQ(a.Text, name == "∑" ? std::string("Σ") : name);
        } else if (a.Category == "VBScript") {
            EXPECT_TRUE(a.Text.starts_with("Rekna."));
        }
        EXPECT_EQ(a.Text.empty(),
                  a.Kind != TInsertKind::ikText && a.Kind != TInsertKind::ikDirective);
    }
    const std::pair<const char*, const char*> texts[] = {{"ActionOpe05", "^"},
                                                         {"ActionOpe06", "//"},
                                                         {"ActionOpe19", "@"},
                                                         {"ActionOpe22", ", "},
                                                         {"ActionFuncData", "Data()"},
                                                         {"ActionFuncDist", "Dist("},
                                                         {"ActionCont02", "&c"},
                                                         {"ActionInsKakko", "("},
                                                         {"ActionVBSCalc", "Rekna.Calc("},
                                                         {"ActionVBSFileName", "Rekna.FileName"}};
    for (const auto& [name, text] : texts)
        EXPECT_EQ(FindInsertAction(name)->Text, text) << name;
}

TEST(InsertActionsTest, UnitShortcutsAndDirectives) {
    std::map<std::string, std::string> keys;
    int directives = 0;
    for (const TInsertAction& a : InsertActions()) {
        if (!a.Shortcut.empty()) keys[std::string(a.Text.empty() ? a.Name : a.Text)] = a.Shortcut;
        if (a.Kind == TInsertKind::ikDirective) ++directives;
    }
    const std::map<std::string, std::string> expected = {
        {"億", "Ctrl+O"},          {"万", "Ctrl+M"},           {"兆", "Ctrl+T"},
        {"京", "Ctrl+K"},          {"ActionUnit22", "Ctrl+H"}, {"ActionUnit23", "Shift+Ctrl+M"},
        {"ActionUnit24", "Ctrl+S"}};
    EXPECT_EQ(keys, expected);
    // 18 display directives and ";".
    EXPECT_EQ(directives, 19);
}

}  // namespace
}  // namespace rekna
