// The initial-calculation rows: writing and reading a row, and the text kept around them.
#include <gtest/gtest.h>

#include "options/options_definitions.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

TEST(OptionsDefinitions, WriteRow) {
    const struct {
        TDefRow Row;
        const char* Line;
    } rows[] = {
        {{"f(x)", "test", "x^2"}, "#f(x) [test]=x^2"},
        {{"a", "", "1"}, "a=1"},
        {{"g(x,y)", "", "x*y"}, "#g(x,y)=x*y"},
        {{"", "", ""}, ""},
        {{"", "note", ""}, " [note]="},
    };
    for (const auto& r : rows)
        EXPECT_EQ(WriteDefRow(r.Row), r.Line) << r.Line;
}

TEST(OptionsDefinitions, ReadRow) {
    const struct {
        const char* Line;
        const char* Dump;  // name|description|formula, or "-" for no row
    } rows[] = {
        {"#f(x) [test]=x^2", "f(x)|test|x^2"},
        {"  b  =  2+3 ", "b||2+3"},
        {"k=1 [m]", "k|m|1"},
        {"x=y=z", "x||y=z"},
        {"; comment", "-"},
        {"", "-"},
        {"[only]", "-"},
    };
    for (const auto& r : rows) {
        const auto row = ReadDefRow(r.Line);
        const std::string dump =
            row ? row->Name + "|" + row->Description + "|" + row->Formula : std::string("-");
        EXPECT_EQ(dump, r.Dump) << r.Line;
    }
}

// Rows dumped as name|description|formula lines.
std::string Dump(const std::vector<TDefRow>& rows) {
    std::string out;
    for (const TDefRow& r : rows)
        out += r.Name + "|" + r.Description + "|" + r.Formula + "\n";
    return out;
}

TEST(OptionsDefinitions, EveryDefinitionIsARow) {
    const struct {
        const char* Text;
        const char* Rows;
    } texts[] = {
        {"#f(x) [test]=x^2\na=1\n", "f(x)|test|x^2\na||1\n"},
        {"; constants\n\nPI2=6.28\n", "PI2||6.28\n"},
        {"#c=3\nd(1)=2\na = 1\n1+2\nk=1 [m]\n", "c||3\nd(1)||2\na||1\nk|m|1\n"},
        {"a=1\r\nb=2", "a||1\nb||2\n"},
        {"  ; x = 1\n=\n", ""},
        {"a=1", "a||1\n"},
        {"", ""},
        {"\n\n", ""},
    };
    for (const auto& t : texts) {
        const TDefinitionText text(t.Text);
        EXPECT_EQ(Dump(text.Rows()), t.Rows) << t.Text;
        EXPECT_EQ(text.Compose(text.Rows()), t.Text) << t.Text;
    }
}

TEST(OptionsDefinitions, ComposeEditedRows) {
    const TDefinitionText text("; head\na = 1\n#c=3\nb=2\n; tail\n");
    const TDefRow a{"a", "", "1"}, c{"c", "", "3"}, b{"b", "", "2"};
    const struct {
        std::vector<TDefRow> Rows;
        const char* Text;
    } edits[] = {
        // Rows nobody changed keep their bytes, also where they moved to.
        {{{"a", "", "10"}, c, b}, "; head\na=10\n#c=3\nb=2\n; tail\n"},
        {{b, a, c}, "; head\nb=2\na = 1\n#c=3\n; tail\n"},
        {{c}, "; head\n#c=3\n; tail\n"},
        {{a, {"", "", ""}, {"z", "", "9"}}, "; head\na = 1\nz=9\n; tail\n"},
        {{}, "; head\n; tail\n"},
        {{a, c, b, {"f(t)", "x", "t"}}, "; head\na = 1\n#c=3\nb=2\n#f(t) [x]=t\n; tail\n"},
    };
    for (const auto& e : edits)
        EXPECT_EQ(text.Compose(e.Rows), e.Text) << e.Text;
    EXPECT_EQ(TDefinitionText("").Compose({{"a", "", "1"}}), "a=1\n");
    // Every row deleted: nothing, or only the kept lines, is left to write.
    EXPECT_EQ(TDefinitionText("a=1\nb=2\n").Compose({}), "");
    // Written rows take the text's CR LF.
    EXPECT_EQ(TDefinitionText("a = 1\r\nb=2").Compose({a, {"b", "", "3"}, {"d", "", "4"}}),
              "a = 1\r\nb=3\r\nd=4");
}

TEST(OptionsDefinitions, JapaneseText) {
    const std::string line = SysText("#面積(r) [円の面積]=PI*r^2");
    const TDefinitionText text(line + "\n");
    ASSERT_EQ(text.Rows().size(), 1u);
    EXPECT_EQ(Cp932ToUtf8(text.Rows()[0].Description), "円の面積");
    EXPECT_EQ(text.Compose(text.Rows()), line + "\n");
}

}  // namespace
}  // namespace rekna
