// Tests of TPastStringList's splitting and joining, and of the line reader of files.
#include "editor/commands/past_string_list.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

std::string Joined(const TPastStringList& list) {
    std::string out;
    for (std::int32_t i = 0; i < list.Count(); ++i)
        out += (i > 0 ? "|" : "") + list.Get(i);
    return out;
}

struct TSplitCase {
    std::string Text;
    std::int32_t Count;
    const char* Lines;  // joined with '|'
    const char* Back;   // GetTextStr
};

TEST(PastStringList, SplitsAtEveryLineEnd) {
    const TSplitCase cases[] = {
        {"", 0, "", ""},
        {"x", 1, "x", "x"},
        {"x\r\ny\n", 3, "x|y|", "x\r\ny\r\n"},
        {"x\ry", 2, "x|y", "x\r\ny"},
        {"x\r", 1, "x", "x"},
        {"x\n", 2, "x|", "x\r\n"},
        {"\n", 2, "|", "\r\n"},
        {"\r\n\r\n", 3, "||", "\r\n\r\n"},
        {"a\n\rb", 3, "a||b", "a\r\n\r\nb"},
        {"a\r\r\nb", 3, "a||b", "a\r\n\r\nb"},
        {std::string("a\0b", 3), 1, "", ""},
    };
    for (const auto& c : cases) {
        TPastStringList list;
        list.SetTextStr(c.Text);
        EXPECT_EQ(list.Count(), c.Count) << c.Text;
        if (c.Count == 1 && c.Text.size() == 3 && c.Text[1] == '\0') {
            EXPECT_EQ(list.Get(0), c.Text) << "a NUL byte is kept";
            continue;
        }
        EXPECT_EQ(Joined(list), c.Lines) << c.Text;
        EXPECT_EQ(list.GetTextStr(), c.Back) << c.Text;
    }
}

TEST(PastStringList, OutOfRangeLinesAreEmpty) {
    TPastStringList list;
    list.Add("one");
    EXPECT_EQ(list.Get(-1), "");
    EXPECT_EQ(list.Get(1), "");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(NextTextLine, HasNoEmptyLineAfterAFinalLineEnd) {
    const std::string text = "a\r\nb\rc\n\r\n";
    std::size_t pos = 0;
    std::string_view line;
    std::string seen;
    while (NextTextLine(text, pos, line))
        seen += std::string(line) + "|";
    EXPECT_EQ(seen, "a|b|c||");
    EXPECT_EQ(pos, text.size());
}

}  // namespace
}  // namespace rekna
