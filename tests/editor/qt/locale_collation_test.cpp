// The row sort with the locale's collation installed, as the window sorts.
#include "editor/qt/locale_collation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/commands/text_transforms.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

std::vector<std::string> Sorted(const std::vector<std::string>& lines, bool descending) {
    std::string text;
    for (const std::string& l : lines)
        text += Utf8ToCp932(l) + "\r\n";
    std::vector<std::string> out;
    for (const std::string& l : SplitTextLines(SortRowsText(text, descending)).Lines)
        out.push_back(Cp932ToUtf8(l));
    return out;
}

TEST(LocaleCollationTest, RowsSortAsTheLocaleOrdersThem) {
    InstallLocaleCollation();
    struct TCase {
        const char* Name;
        std::vector<std::string> Lines;
        std::vector<std::string> Ascending;
    };
    const TCase cases[] = {
        // Symbols before digits before letters, not by their byte values.
        {"symbols",
         {"banana", "{x}", "Apple", "10", "(b)"},
         {"(b)", "{x}", "10", "Apple", "banana"}},
        // Kana, full-width and half-width, hiragana and katakana, before kanji; the two widths
        // of a word are equal to the locale and keep the fixed order of their bytes.
        {"kana",
         {"林檎", "ﾊﾞﾅﾅ", "りんご", "亜", "バナナ"},
         {"バナナ", "ﾊﾞﾅﾅ", "りんご", "亜", "林檎"}},
        // Case is ignored; lines the locale takes for equal keep a fixed order (bytes).
        {"case", {"b", "apple", "B", "Apple", "APPLE"}, {"APPLE", "Apple", "apple", "B", "b"}},
        {"width", {"Ｂ", "a", "C"}, {"a", "Ｂ", "C"}},
        {"empty lines first", {"x", "", "a"}, {"", "a", "x"}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Sorted(c.Lines, false), c.Ascending) << c.Name;
        std::vector<std::string> descending(c.Ascending.rbegin(), c.Ascending.rend());
        EXPECT_EQ(Sorted(c.Lines, true), descending) << c.Name;
    }
}

}  // namespace
}  // namespace rekna
