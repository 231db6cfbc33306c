// Tests of the keyword lists and of the find-text matching of the highlight.
#include "editor/commands/find_match.h"
#include "editor/paint/keyword_list.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

#include <set>

namespace rekna::test {
namespace {

TEST(KeyWordListTest, FixedListsHaveTheirSizesWithoutRepeatedWords) {
    struct TCase {
        std::span<const std::string_view> Table;
        bool CaseSensitive;
        std::int32_t Count;
    };
    const TCase cases[] = {
        {CalcFunctionNames(), false, 116},    {VBScriptReservedNames(), false, 52},
        {VBScriptKeyWordNames(), false, 215}, {JScriptReservedNames(), true, 29},
        {JScriptKeyWordNames(), true, 194},
    };
    for (const TCase& c : cases) {
        const TKeyWordList list(c.Table, c.CaseSensitive);
        // A word given twice would be kept once, and the table would hold fewer words than meant.
        EXPECT_EQ(static_cast<std::int32_t>(c.Table.size()), c.Count);
        EXPECT_EQ(list.Count(), c.Count);
        for (const std::string_view w : c.Table)
            EXPECT_TRUE(list.Contains(w)) << w;
    }
}

TEST(KeyWordListTest, LetterCaseCountsOnlyInCaseSensitiveLists) {
    struct TCase {
        const TKeyWordList& List;
        std::string_view Word;
        bool Found;
    };
    const TCase cases[] = {
        {VBScriptReserved(), "DIM", true},          {VBScriptReserved(), "dim", true},
        {VBScriptReserved(), "Dimx", false},        {VBScriptKeyWords(), "VBCRLF", true},
        {VBScriptKeyWords(), "year", true},         {VBScriptKeyWords(), "", false},
        {JScriptReserved(), "var", true},           {JScriptReserved(), "Var", false},
        {JScriptKeyWords(), "Math", true},          {JScriptKeyWords(), "math", false},
        {JScriptKeyWords(), "@cc_on", true},        {JScriptKeyWords(), "rightContext", true},
        {JScriptKeyWords(), "ActiveXObject", true},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(c.List.Contains(c.Word), c.Found) << c.Word;
    const TKeyWordList calc(CalcFunctionNames(), false);
    EXPECT_TRUE(calc.Contains("sqrt"));
    EXPECT_TRUE(calc.Contains("ARCTANH"));
    EXPECT_TRUE(calc.Contains("sdistp"));
    EXPECT_FALSE(calc.Contains(std::string(200, 'a')));
}

TEST(KeyWordListTest, AssignReplacesTheWordsAndKeepsTheirSpelling) {
    TKeyWordList list(VBScriptReservedNames(), false);
    const std::string_view words[] = {"Beta", "alpha", "ALPHA"};
    list.Assign(words, false);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Words()[0], "ALPHA");
    EXPECT_EQ(list.Words()[1], "Beta");
    EXPECT_FALSE(list.Contains("Dim"));
    list.Assign(words, true);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_FALSE(list.Contains("beta"));
}

TEST(KeyWordListTest, WordsAddedOneByOneMatchOneAssignOfAll) {
    const std::string_view first[] = {"Sqr", "beta"};
    const std::string_view added[] = {"sqr", "Alpha", "beta", "f2", "F1"};
    std::vector<std::string_view> all(std::begin(first), std::end(first));
    all.insert(all.end(), std::begin(added), std::end(added));
    const TKeyWordList whole(all, false);
    TKeyWordList list(first, false);
    for (const std::string_view w : added) {
        list.Add({&w, 1});
        EXPECT_TRUE(list.Contains(w)) << w;
    }
    EXPECT_EQ(list.Words(), whole.Words());
    EXPECT_EQ(list.Words().front(), "Alpha");
    EXPECT_FALSE(list.Contains("gamma"));
}

struct TFindCase {
    const char* Row;  // UTF-8
    const char* Find;
    TSearchTypes Options;
    std::vector<TByteRange> Expected;
};

TEST(FindMatcherTest, FindsEveryOccurrenceOnCharacterBoundaries) {
    using enum TSearchType;
    const TFindCase cases[] = {
        {"abcABC", "bc", {}, {{1, 3}, {4, 6}}},
        {"abcABC", "bc", {stMatchCase}, {{1, 3}}},
        {"abcABC", "BC", {stMatchCase}, {{4, 6}}},
        {"aaaa", "aa", {}, {{0, 2}, {2, 4}}},
        {"abc", "", {}, {}},
        {"ab", "abc", {}, {}},
        // Whole words: the underscore separates, a letter does not.
        {"ab_x ab", "ab", {stWord}, {{0, 2}, {5, 7}}},
        {"xab ab", "ab", {stWord}, {{4, 6}}},
        {"(ab)\tab.", "ab", {stWord}, {{1, 3}, {5, 7}}},
        {"ab1", "ab", {stWord}, {}},
        {"あab", "ab", {stWord}, {}},
        {"あab", "ab", {}, {{2, 4}}},
        // Double-byte text, full-width letters in both cases.
        {"あいあ", "あ", {}, {{0, 2}, {4, 6}}},
        {"ＡＢａ", "ａ", {}, {{0, 2}, {4, 6}}},
        {"ＡＢａ", "ａ", {stMatchCase}, {{4, 6}}},
        // "ソ" ends in the byte of "\": no match inside a character.
        {"ソ\\", "\\", {}, {{2, 3}}},
    };
    TFindMatcher empty;
    std::vector<TByteRange> got{{9, 9}};
    empty.Find("abc", got);
    EXPECT_TRUE(got.empty());
    for (const TFindCase& c : cases) {
        const TFindMatcher m(J(c.Find), c.Options);
        m.Find(J(c.Row), got);
        EXPECT_EQ(got, c.Expected) << c.Row << " / " << c.Find;
    }
    // A find text ending in a lone lead byte never matches half a character.
    const TFindMatcher lead(J("ア").substr(0, 1), {});
    lead.Find(J("アイ"), got);
    EXPECT_TRUE(got.empty());
}

TEST(FindMatcherTest, WordSeparatorsAreBlankAndTheAsciiPunctuation) {
    std::string separators;
    for (int c = 0; c < 256; ++c)
        if (IsWordSeparator(static_cast<unsigned char>(c))) separators += static_cast<char>(c);
    EXPECT_EQ(separators, "\t !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~");
    EXPECT_EQ(separators.size(), 34u);  // Tab, space and 32 punctuation characters
}

}  // namespace
}  // namespace rekna::test
