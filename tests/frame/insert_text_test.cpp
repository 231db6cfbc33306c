// Tests of InsertText, InsertDirective, the calendar, schedule, date and mark texts.
#include "frame/insert_text.h"

#include "insert_test_helpers.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using test::J;
using test::LoadMarked;
using test::Marked;
using test::U;

struct TEditRow {
    const char* Before;
    bool Directive;
    const char* Text;
    const char* After;
    std::int32_t Wrap = 0;
};

TEST(InsertTextTest, TextsAndDirectivesAtTheCaret) {
    const TEditRow rows[] = {
        {"|", false, "Sin(", "Sin(|)"},
        {"{x}", false, "Sin(", "Sin(x)|"},
        {"|", false, "Pi()", "Pi()|"},
        {"{2}", false, "Pi()", "Pi(2)|"},
        {"1+{2*3}", false, "(", "1+(2*3)|"},
        {"a|", false, "(", "a(|)"},
        {"1|2", false, "+", "1+|2"},
        {"{x}", false, "F=", "F=|"},
        {"2{*3}\nx", false, "Sqr(", "2Sqr(*3)|\nx"},
        {"{ab\n}cd", false, "Abs(", "Abs(ab)\n|cd"},
        {"1{2\n3}4", false, "Int(", "1Int(2\n3)|4"},
        {"ab|", false, "&", "ab&|"},
        {"255|", true, "#N16", "255 #N16|"},
        {"255 |", true, "#N16", "255 #N16|"},
        {"25|5\t", true, "#N16", "255\t#N16|"},
        {"|", true, "#N16", "#N16|"},
        {"|1/3", true, "#N16", "1/3 #N16|"},
        {"1+2|", true, "#", "#|\n1+2"},
        {"|", true, "#", "#|"},
        {"x\n1+2|\ny", true, "#", "x\n#|\n1+2\ny"},
        {"1+2", true, ";", "1+2 ;|"},
        // A wrapped line takes the directive at its end and "#" above its first row.
        {"123456789|0", true, "#N2", "1234567890 #N2|", 4},
        {"123456789|0", true, "#", "#|\n1234567890", 4},
        {"12345|6789", false, "Sin(", "12345Sin(|)6789", 4},
        {"a{bcdef}g", false, "Sin(", "aSin(bcdef)|g", 3},
    };
    for (const TEditRow& r : rows) {
        SCOPED_TRACE(std::string(r.Before) + " + " + r.Text);
        TUMemoEditor editor;
        LoadMarked(editor, r.Before, r.Wrap);
        const std::string before = test::Text(editor.Strings());
        if (r.Directive) {
            InsertDirective(editor, J(r.Text));
        } else {
            InsertText(editor, J(r.Text));
        }
        EXPECT_EQ(Marked(editor.Strings()), r.After);
        EXPECT_EQ(editor.Strings().CheckRows(true), "");
        // One command, one undo step.
        EXPECT_TRUE(editor.Undo());
        EXPECT_EQ(test::Text(editor.Strings()), before);
    }
}

TEST(InsertTextTest, BoxSelectionWrapsEveryRow) {
    TUMemoEditor editor;
    LoadMarked(editor, "ab\ncd|");
    TUMemoStrings& s = editor.Strings();
    s.Selection().SelectBox(s, {1, 0}, {2, 1});
    InsertText(editor, "Sin(");
    EXPECT_EQ(test::Text(s), "Sin(a)b\nSin(c)d");
}

TEST(InsertTextTest, ReadOnlyMemoIsLeftAlone) {
    TUMemoEditor editor;
    LoadMarked(editor, "1|");
    editor.SetReadOnly(true);
    InsertText(editor, "Sin(");
    InsertDirective(editor, "#N16");
    EXPECT_EQ(Marked(editor.Strings()), "1|");
}

TEST(InsertTextTest, SixtyBaseMarksByAnswerStyle) {
    struct TRow {
        TAnsFormat60 Format;
        const char* Hour;
        const char* Minute;
        const char* Second;
    };
    const TRow rows[] = {{TAnsFormat60::afN60T, "：", "′", "″"},
                         {TAnsFormat60::afN60TJ, "時", "分", "秒"},
                         {TAnsFormat60::afN60D, "°", "′", "″"},
                         {TAnsFormat60::afN60DJ, "度", "分", "秒"}};
    for (const TRow& r : rows) {
        EXPECT_EQ(U(SixtyBaseMark(r.Format, TInsertKind::ikHour)), r.Hour);
        EXPECT_EQ(U(SixtyBaseMark(r.Format, TInsertKind::ikMinute)), r.Minute);
        EXPECT_EQ(U(SixtyBaseMark(r.Format, TInsertKind::ikSecond)), r.Second);
    }
    EXPECT_EQ(SixtyBaseMark(static_cast<TAnsFormat60>(9), TInsertKind::ikMinute), "");
    EXPECT_EQ(SixtyBaseMark(TAnsFormat60::afN60T, TInsertKind::ikText), "");
}

TEST(InsertTextTest, CommandsThroughTheTable) {
    const TLocalTime now{2015, 2, 3, 9, 5, 3};
    struct TRow {
        const char* Action;
        const char* Before;
        const char* After;
    };
    const TRow rows[] = {
        {"ActionFuncSin", "x|", "xSin(|)"},
        {"ActionFuncPi", "{2}", "Pi(2)|"},
        {"ActionCont08", "255|", "255 #N16|"},
        {"ActionUnit22", "3|", "3度|"},
        {"ActionInsDate", "|", "2015年02月03日|"},
        {"ActionInsTime", "|", "9時5分3秒|"},
        {"ActionInsDateTime", "1+2", "1+2 ; 2015年02月03日 9時5分3秒|"},
        {"ActionVBSFileName", "#>x=|", "#>x=Rekna.FileName|"},
        {"ActionGreekL15", "|", "Σ|"},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.Action);
        const TInsertAction* action = FindInsertAction(r.Action);
        ASSERT_NE(action, nullptr);
        TUMemoEditor editor;
        LoadMarked(editor, r.Before);
        EXPECT_TRUE(RunInsertCommand(editor, *action, TAnsFormat60::afN60DJ, now));
        EXPECT_EQ(Marked(editor.Strings()), r.After);
    }
    TUMemoEditor editor;
    EXPECT_FALSE(RunInsertCommand(editor, *FindInsertAction("ActionInsCalendar"),
                                  TAnsFormat60::afN60DJ, now));
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += U(l) + "\n";
    return out;
}

TEST(InsertTextTest, CalendarOfAMonth) {
    EXPECT_EQ(Joined(CalendarLines({2015, 2})), "+----- 2015年 2月 -----+\n"
                                                "| 日 月 火 水 木 金 土 |\n"
                                                "|  1  2  3  4  5  6  7 |\n"
                                                "|  8  9 10 11 12 13 14 |\n"
                                                "| 15 16 17 18 19 20 21 |\n"
                                                "| 22 23 24 25 26 27 28 |\n"
                                                "+----------------------+\n");
    EXPECT_EQ(Joined(CalendarLines({2026, 12})), "+----- 2026年12月 -----+\n"
                                                 "| 日 月 火 水 木 金 土 |\n"
                                                 "|        1  2  3  4  5 |\n"
                                                 "|  6  7  8  9 10 11 12 |\n"
                                                 "| 13 14 15 16 17 18 19 |\n"
                                                 "| 20 21 22 23 24 25 26 |\n"
                                                 "| 27 28 29 30 31       |\n"
                                                 "+----------------------+\n");
    for (int year : {2015, 2016, 1, 9999})
        for (int month = 1; month <= 12; ++month)
            for (const std::string& line : CalendarLines({year, month}))
                EXPECT_EQ(line.size(), 24U) << year << "/" << month << " " << U(line);
}

TEST(InsertTextTest, ScheduleOfAMonth) {
    const std::vector<std::string> lines = ScheduleLines({2015, 4});
    ASSERT_EQ(lines.size(), 31U);
    EXPECT_EQ(U(lines[0]), ";----- 2015年 4月 -----");
    EXPECT_EQ(U(lines[1]), " 1(水):");
    EXPECT_EQ(U(lines[5]), " 5(日):");
    EXPECT_EQ(U(lines[30]), "30(木):");
    EXPECT_EQ(ScheduleLines({2016, 2}).size(), 30U);
}

TEST(InsertTextTest, LinesGoAboveTheCaretLine) {
    TUMemoEditor editor;
    LoadMarked(editor, "a\nb12345|6789", 4);
    InsertLinesAbove(editor, ScheduleLines({2015, 2}));
    const TUMemoStrings& s = editor.Strings();
    const std::string text = Marked(s);
    EXPECT_TRUE(text.starts_with("a\n;----- 2015年 2月 -----\n 1(日):\n")) << text;
    EXPECT_TRUE(text.ends_with("\n28(土):\nb12345|6789")) << text;
    EXPECT_EQ(s.CheckRows(true), "");
    EXPECT_TRUE(editor.Undo());
    EXPECT_EQ(test::Text(s), "a\nb123456789");
}

TEST(InsertTextTest, DaysAndWeekdays) {
    struct TRow {
        int Year, Month, Day, Weekday;
    };
    const TRow rows[] = {{2015, 2, 1, 0}, {1970, 1, 1, 4},   {2000, 2, 29, 2},
                         {1, 1, 1, 1},    {9999, 12, 31, 5}, {2026, 12, 9, 3}};
    for (const TRow& r : rows)
        EXPECT_EQ(DayOfWeek(r.Year, r.Month, r.Day), r.Weekday) << r.Year << "/" << r.Month;
    EXPECT_EQ(DaysInMonth(2016, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2015, 4), 30);
}

TEST(InsertTextTest, YearAndMonthAreReadStrictly) {
    struct TRow {
        const char* Text;
        std::optional<TYearMonth> Expected;
    };
    const TRow rows[] = {
        {"2015/2", TYearMonth{2015, 2}},
        {" 2015/02 ", TYearMonth{2015, 2}},
        {"9999/12", TYearMonth{9999, 12}},
        {"1/1", TYearMonth{1, 1}},
        {"0/1", std::nullopt},
        {"2015/13", std::nullopt},
        {"2015/0", std::nullopt},
        {"10000/1", std::nullopt},
        {"2015-2", std::nullopt},
        {"2015/2/1", std::nullopt},
        {"", std::nullopt},
        {"/", std::nullopt},
        {"+2015/2", std::nullopt},
        {"２０１５/2", std::nullopt},
        {"2015/ 2", std::nullopt},
        {"2015/002", std::nullopt},
    };
    for (const TRow& r : rows)
        EXPECT_EQ(ParseYearMonth(r.Text), r.Expected) << r.Text;
    EXPECT_EQ(YearMonthText({2015, 2, 3}), "2015/2");
}

TEST(InsertTextTest, UserFunctionMenuItems) {
    const std::pair<const char*, const char*> rows[] = {
        {"Sqr2 : 2乗", "Sqr2("}, {" F(x) : f", "F("}, {"Abc", "Abc("}, {": x", ""},
        {"表(x):y", "表("},      {"  ", ""},
    };
    for (const auto& [caption, expected] : rows)
        EXPECT_EQ(U(UserFunctionText(J(caption))), expected) << caption;
}

}  // namespace
}  // namespace rekna
