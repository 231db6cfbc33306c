// Tests of writing answers into memo lines and taking them out.
#include "frame/answer_writer.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "platform/cp932.h"

namespace rekna {
namespace {

TEST(AnswerWriterTest, WritingRemovingAndKeepingComments) {
    struct TCase {
        const char* Line;
        const char* Formula;
        const char* Answer;
        bool Errors, Control;
        const char* Written;
    };
    const TCase cases[] = {
        {"1+2", "1+2", "3", false, false, "1+2 ＝ 3"},
        {"1+2 ＝ 3", "1+2", " 4 ", false, false, "1+2 ＝ 4"},  // only the answer part
        // Only " ＝ " (or a "＝" with nothing after it) is a written answer; any other "＝" is
        // the user's text and stays.
        {"1+2＝", "1+2", "3", false, false, "1+2 ＝ 3"},
        {"1+2 ＝  ", "1+2", "3", false, false, "1+2 ＝ 3"},
        {"合計＝1+2", "合計＝1+2", "3", false, false, "合計＝1+2 ＝ 3"},
        {"合計＝1+2 ＝ 2", "合計＝1+2", "3", false, false, "合計＝1+2 ＝ 3"},
        {"合計＝1+2", "", "", false, false, "合計＝1+2"},
        {"a ＝b", "a", "1", false, false, "a ＝b ＝ 1"},
        {"a＝ b", "a", "1", false, false, "a＝ b ＝ 1"},
        {"a\t＝ 5", "a", "1", false, false, "a ＝ 1"},
        {"r*2 ＝ 1 [ohm]", "r*2", "9400", false, false, "r*2 ＝ 9400 [ohm]"},  // comment kept
        {"[a＝b] 1+1", "1+1", "2", false, false, "[a＝b] 1+1 ＝ 2"},           // "＝" in a comment
        {"1+2 ＝ 3 [note]", "", "", false, false, "1+2"},  // removal takes all three
        {"1+2 ", "1+2", "3", false, false, "1+2  ＝ 3"},   // a second space
        {"1/0", "1/0", "[0による割算]", false, false, "1/0 ＝ Err"},
        {"1/0 ＝ Err", "1/0", "[0による割算]", true, false, "1/0 ＝ [0による割算]"},
        {"1/0 ＝ [0による割算]", "1/0", "[0による割算]", true, false, "1/0 ＝ [0による割算]"},
        {"#Deg", "#Deg", "#Deg", false, false, "#Deg"},  // control echo hidden
        {"#Deg", "#Deg", "#Deg", false, true, "#Deg ＝ #Deg"},
        {">10", "10", "10\t;Data1", false, false, ">10 ＝ 10"},  // statistics note cut
        {"; comment ＝ x", "", "", false, false, "; comment"},
        {"", "", "", false, false, ""},
        // ソ (83 5D) and ー (81 5B) carry "]" and "[" as trail bytes; 圧 is not a marker byte.
        {"電圧ソ ＝ 1 [ソース]", "x", "2", false, false, "電圧ソ ＝ 2 [ソース]"},
        {"ソー 1+1", "1+1", "2", false, false, "ソー 1+1 ＝ 2"},
        {"1+1 ＝ 2 ] [c]", "1+1", "3", false, false, "1+1 ＝ 3"},  // "]" before any "["
    };
    for (const TCase& c : cases) {
        const std::string written = WriteAnswer(SysText(c.Line), SysText(c.Formula),
                                                SysText(c.Answer), c.Errors, c.Control);
        EXPECT_EQ(Cp932ToUtf8(written), c.Written) << c.Line;
        // Writing again gives the same line, and removal takes the answer out.
        EXPECT_EQ(WriteAnswer(written, SysText(c.Formula), SysText(c.Answer), c.Errors, c.Control),
                  written)
            << c.Line;
    }
    EXPECT_EQ(Cp932ToUtf8(WriteAnswer(SysText("1+2 ＝ 3"), "", "", false, false)), "1+2");
    // A lone lead byte at the line end is read as one character, never past the end.
    EXPECT_EQ(AnswerMarker(std::string("1+1\x81", 4)), std::string::npos);
    EXPECT_EQ(AnswerMarker(SysText("a ＝ b ＝ c")), 2U);
    EXPECT_EQ(AnswerMarker(SysText("a＝b ＝ c")), 5U);
    EXPECT_EQ(AnswerMarker(SysText("＝")), 0U);
}

TEST(AnswerWriterTest, SortKeysAndTheirStableOrder) {
    const std::pair<const char*, std::optional<long double>> keys[] = {
        {"3", 3.0L},
        {" 1.5k ", 1500.0L},
        {"1 + 2i", 1.0L},
        {"-2", -2.0L},
        {"10\t;Data1", 10.0L},
        {"", std::nullopt},
        {"[0による割算]", std::nullopt},
        {"#Deg", std::nullopt},
        {"Err", std::nullopt},
    };
    for (const auto& [text, key] : keys)
        EXPECT_EQ(ResultKey(SysText(text)), key) << text;
    // Equal keys keep their order; lines without a key go last, in their order.
    const std::vector<std::optional<long double>> lines = {2.0L, std::nullopt, 1.0L,
                                                           2.0L, std::nullopt, -1.0L};
    EXPECT_EQ(OrderByKey(lines, true), (std::vector<std::size_t>{5, 2, 0, 3, 1, 4}));
    EXPECT_EQ(OrderByKey(lines, false), (std::vector<std::size_t>{0, 3, 2, 5, 1, 4}));
    EXPECT_TRUE(OrderByKey({}, true).empty());
}

TEST(AnswerWriterTest, TheCopiedAnswer) {
    EXPECT_EQ(CopiedAnswer("9400", false), "9400");
    EXPECT_EQ(CopiedAnswer("r*2 =  9400 ", true), "9400");
    EXPECT_EQ(CopiedAnswer("r*2", true), "r*2");
    EXPECT_EQ(CopiedAnswer("60\t20\t8.16496580927726033", false),
              "60\r\n20\r\n8.16496580927726033");
    EXPECT_EQ(CopiedAnswer("", false), "");
}

}  // namespace
}  // namespace rekna
