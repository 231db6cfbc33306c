// Tests of the completion list: the word at the caret, the names offered, the preselection, the
// width and the acceptance.
#include "editor/input/completion_list.h"

#include "editor/paint/keyword_list.h"
#include "insert_test_helpers.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using test::J;
using test::LoadMarked;
using test::Marked;

std::vector<std::string> CalcNames() {
    const auto names = CalcFunctionNames();
    return {names.begin(), names.end()};
}

std::string Joined(const std::vector<std::string>& entries) {
    std::string out;
    for (const std::string& e : entries)
        out += (out.empty() ? "" : " ") + e;
    return out;
}

TEST(CompletionListTest, WordBeforeAndAroundTheCaret) {
    struct TRow {
        const char* Line;  // UTF-8, "|" at the caret
        const char* Before;
        const char* Around;
    };
    const TRow rows[] = {
        {"Sq|", "Sq", "Sq"},     {"1+Sq|", "Sq", "Sq"},        {"1+|", "", ""},
        {"Si|nh", "Si", "Sinh"}, {"|Sinh", "", "Sinh"},        {"a_b|", "a_b", "a_b"},
        {"2*ソ|", "ソ", "ソ"},   {"ソ|x", "ソ", "ソx"},        {"a\\b|", "b", "b"},
        {"a\\|b", "", "b"},      {"x 表S|q+1", "表S", "表Sq"}, {"Log1|", "Log1", "Log1"},
    };
    for (const TRow& r : rows) {
        std::string line = J(r.Line);
        const std::size_t caret = line.find('|');
        line.erase(caret, 1);
        const TNameSpan before = WordBeforeCaret(line, caret);
        const TNameSpan around = WordAroundCaret(line, caret);
        EXPECT_EQ(test::U(line.substr(before.Start, before.End - before.Start)), r.Before)
            << r.Line;
        EXPECT_EQ(test::U(line.substr(around.Start, around.End - around.Start)), r.Around)
            << r.Line;
    }
}

TEST(CompletionListTest, FilteringAndPreselection) {
    const std::vector<std::string> names = CalcNames();
    struct TRow {
        const char* Word;
        const char* Entries;
        const char* Selected;
    };
    const TRow rows[] = {
        {"Sq", "Sqr Sqr3 Sqrt Sqrt3", ""}, {"sQRT", "Sqrt Sqrt3", "Sqrt"},
        {"Log1", "Log10", "Log10"},        {"log", "Log Log10 Log2", "Log"},
        {"ArcTanh", "ArcTanh", "ArcTanh"}, {"Xyz", "", ""},
    };
    TCompletionList list;
    for (const TRow& r : rows) {
        list.Fill({names}, r.Word);
        EXPECT_EQ(Joined(list.Entries()), r.Entries) << r.Word;
        EXPECT_EQ(list.SelectedEntry(), r.Selected) << r.Word;
    }
    // An empty word offers every name once, in one alphabetical order over both lists.
    const std::vector<std::string> extra = {"zz", "Abs", "aaa"};
    list.Fill({names, extra}, "");
    EXPECT_EQ(list.Entries().size(), names.size() + 2);
    EXPECT_EQ(list.Entries().front(), "aaa");
    EXPECT_EQ(list.Entries().back(), "zz");
    EXPECT_EQ(list.Selected(), -1);
}

TEST(CompletionListTest, SelectionMovesWithinTheList) {
    TCompletionList list;
    const std::vector<std::string> names = {"a1", "a2", "a3"};
    list.Fill({names}, "a");
    const std::pair<int, int> moves[] = {{1, 0}, {1, 1}, {5, 2}, {-1, 1}, {-9, 0}};
    for (const auto& [delta, expected] : moves) {
        list.MoveSelection(delta);
        EXPECT_EQ(list.Selected(), expected);
    }
    list.Fill({names}, "b");
    list.MoveSelection(1);
    EXPECT_EQ(list.Selected(), -1);
}

TEST(CompletionListTest, WidthFromTheLongestEntry) {
    TCompletionList list;
    EXPECT_EQ(list.Width(-12), 54);  // at least 5 characters
    const std::vector<std::string> names = {"Sqrt3", "ArcTanhD"};
    list.Fill({names}, "");
    EXPECT_EQ(list.Width(-12), 72);
    EXPECT_EQ(list.Width(16), 96);
}

TEST(CompletionListTest, SourcesByFileTypeAndLine) {
    const std::vector<std::string> names = CalcNames();
    struct TRow {
        TFileType Type;
        const char* Line;
        const char* First;
    };
    const TRow rows[] = {
        {TFileType::ftRekna, "1+Ms|", ""},        {TFileType::ftRekna, "#>Ms|", "MsgBox"},
        {TFileType::ftRekna, "#?Ms|", "MsgBox"},  {TFileType::ftRekna, "#Sq|", "Sqr"},
        {TFileType::ftVBScript, "Ms|", "MsgBox"}, {TFileType::ftJScript, "Math.|", "@cc_on"},
        {TFileType::ftJScript, "Ma|", "match"},
    };
    for (const TRow& r : rows) {
        TUMemoEditor editor;
        LoadMarked(editor, r.Line);
        TCompletionList list;
        FillForCaret(list, editor.Strings(), r.Type, names);
        EXPECT_EQ(list.Entries().empty() ? "" : list.Entries().front(), r.First) << r.Line;
    }
}

TEST(CompletionListTest, AcceptingReplacesTheWholeWord) {
    struct TRow {
        const char* Before;
        const char* Entry;
        const char* After;
        bool Changed;
        std::int32_t Wrap = 0;
    };
    const TRow rows[] = {
        {"1+Sq|", "Sqrt", "1+Sqrt|", true},
        {"Si|nh(1)", "Sin", "Sin|(1)", true},
        {"Sqrt|", "Sqrt", "Sqrt|", false},
        {"sqrt|", "Sqrt", "Sqrt|", true},
        {"1+|", "Pi", "1+Pi|", true},
        {"#>x=Ms|", "MsgBox", "#>x=MsgBox|", true},
        {"xy+Sqr|", "Sqrt", "xy+Sqrt|", true, 4},
        {"x 表S|q", "Sin", "x Sin|", true},
    };
    for (const TRow& r : rows) {
        TUMemoEditor editor;
        LoadMarked(editor, r.Before, r.Wrap);
        const std::string before = test::Text(editor.Strings());
        EXPECT_EQ(AcceptCompletion(editor, J(r.Entry)), r.Changed) << r.Before;
        EXPECT_EQ(Marked(editor.Strings()), r.After) << r.Before;
        EXPECT_FALSE(editor.Strings().Selection().HasSelection(editor.Strings()));
        if (r.Changed) {
            EXPECT_TRUE(editor.Undo());
            EXPECT_EQ(test::Text(editor.Strings()), before);
        }
    }
    TUMemoEditor editor;
    LoadMarked(editor, "Sq|");
    EXPECT_FALSE(AcceptCompletion(editor, ""));
    editor.SetReadOnly(true);
    EXPECT_FALSE(AcceptCompletion(editor, "Sqrt"));
    EXPECT_EQ(Marked(editor.Strings()), "Sq|");
}

}  // namespace
}  // namespace rekna
