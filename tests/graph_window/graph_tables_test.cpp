// The graph window's tables: defaults, validation, settings lines and the graph data file.
#include <gtest/gtest.h>

#include "graph_window/graph_tables.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

using enum TGraphTableId;

std::string Line(const TGraphTables& t, std::string_view key) {
    const std::string k = SysText(key);
    for (const std::string& line : t.SettingsLines())
        if (line.compare(0, k.size() + 1, k + "=") == 0) return Cp932ToUtf8(line);
    return "(missing)";
}

TEST(GraphTables, DefaultRows) {
    const TGraphTables t;
    const struct {
        const char* Key;
        const char* Line;
    } rows[] = {
        {"Calc.X", "Calc.X=X\t\t\t\t\t\t\t"},
        {"Calc.Y[3]", "Calc.Y[3]=ON\tTan(X)\t\tRe\tY\tclRed\t1\t実線"},
        {"Calc.Y[5]", "Calc.Y[5]=ON\t\t \tRe\tY\tclAqua\t1\t実線"},
        {"Range.凡例", "Range.凡例=OFF\t\t上\t90\t90\t\t50\t3\t"},
        {"Range.X-軸", "Range.X-軸=ON\tX軸\tLin\t-5\t5\t0\t50\t1\t4"},
        {"Ticks.R-軸", "Ticks.R-軸=ON\t0\t0\tON\t250\t55\t5\tEng\t0.0\tON\t3\t1\t6\t0\t3\t0"},
        {"Font.凡例", "Font.凡例=ＭＳ ゴシック\t10\tclBlack\tclWhite\tなし\t1\tclGray\t3\t4\t100"},
        {"Line.R-軸",
         "Line.R-軸=OFF\t1\tclSilver\tOFF\t1\tclSilver\t実線\t1\tclBlack\t実線\t1\tclGray"},
        {"Data.幅", "Data.幅=\t6\t6\t6\t6\t6"},
        {"Data.10", "Data.10=\t\t\t\t\t"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Line(t, row.Key), row.Line) << row.Key;
    EXPECT_EQ(Line(t, "Data.11"), "(missing)");
    EXPECT_EQ(t.SettingsLines().size(), 11u + 5 + 3 + 9 + 3 + 13);
}

TEST(GraphTables, Validation) {
    const struct {
        TGraphTableId Table;
        int Col;
        int Row;
        const char* Input;
        const char* Expected;
    } rows[] = {
        {gtCalc, gcol::kWidth, 2, "15", "10"},
        {gtCalc, gcol::kWidth, 2, "-3", "1"},
        {gtLine, 2, 1, "0", "1"},
        {gtTicks, gcol::kSize, 1, "20", "50"},
        {gtTicks, gcol::kLabelAlign, 2, "130", "100"},
        {gtTicks, gcol::kPrecision, 1, "0", "1"},
        {gtRange, gcol::kSpace, 3, "-3", "0"},
        {gtRange, gcol::kAlign, 1, "-2.5", "0"},
        {gtFont, gcol::kFontSize, 2, "40", "28"},
        {gtTicks, gcol::kStep, 1, "-2", "-2"},
        {gtRange, gcol::kMin, grow::kLegendRow, "-20", "-20"},
        {gtCalc, gcol::kWidth, 2, "abc", "abc"},
    };
    for (const auto& row : rows) {
        TGraphTables t;
        t.Table(row.Table).SetCells(row.Col, row.Row, row.Input);
        t.Validate(row.Table);
        EXPECT_EQ(t.Text(row.Table, row.Col, row.Row), row.Expected)
            << TGraphTables::SectionName(row.Table) << " " << row.Col << "," << row.Row;
    }
}

TEST(GraphTables, DependentCells) {
    TGraphTables t;
    TVtGrid& calc = t.Table(gtCalc);
    EXPECT_TRUE(TGraphTables::Editable(calc, gcol::kStyle, 2));
    calc.SetCells(gcol::kWidth, 2, "2");
    t.Validate(gtCalc);
    EXPECT_FALSE(TGraphTables::Editable(calc, gcol::kStyle, 2));
    EXPECT_TRUE(TGraphTables::Editable(calc, gcol::kStyle, 3));
    EXPECT_FALSE(TGraphTables::Editable(t.Table(gtTicks), gcol::kUsr, 1));
    t.Table(gtTicks).SetCells(gcol::kFormat, 1, "Usr");
    t.Validate(gtTicks);
    EXPECT_TRUE(TGraphTables::Editable(t.Table(gtTicks), gcol::kUsr, 1));
    EXPECT_EQ(calc.CellAction(gcol::kFormula, 3).EditDataType, TVtEditDataType::dtCalc);
    t.SetFormulaKind(false);
    EXPECT_EQ(calc.CellAction(gcol::kFormula, 3).EditDataType, TVtEditDataType::dtString);
    // The X row keeps only its name editable.
    EXPECT_TRUE(TGraphTables::Editable(calc, gcol::kVisible, grow::kX));
    EXPECT_FALSE(TGraphTables::Editable(calc, gcol::kFormula, grow::kX));
}

TEST(GraphTables, FileRoundTrip) {
    TGraphTables t;
    t.Table(gtCalc).SetCells(gcol::kFormula, 5, "a*X^2");
    t.Table(gtRange).SetCells(gcol::kMin, grow::kXAxis, "0");
    t.Table(gtLine).SetCells(3, 2, "clRed");
    t.SetDataRows(12);
    t.Table(gtData).SetCells(1, grow::kDataFirst + 11, "7");
    t.Table(gtData).SetCells(2, grow::kDataFirst + 11, "8k");
    const std::string text = t.FileText();
    EXPECT_EQ(Cp932ToUtf8(text.substr(0, text.find("\r\n"))),
              "Calc.Calc=変数/表示\t数式\t凡例\t値\t軸\t色\t幅\t線種");
    TGraphTables back;
    back.Table(gtRange).SetCells(gcol::kTitle, grow::kTitleRow, "stale");
    ASSERT_TRUE(back.ReadFileText(text));
    EXPECT_EQ(back.SettingsLines(), t.SettingsLines());
    EXPECT_EQ(back.FileText(), text);
}

TEST(GraphTables, ReadByHeaderNameFromDefaults) {
    TGraphTables t;
    t.Table(gtCalc).SetCells(gcol::kFormula, 2, "old");
    const std::string file = SysText("Calc.Calc=数式\t色\t変数/表示\t未知\n"
                                     "Calc.Y[1]=Cos(X)\tclGreen\tOFF\tzzz\n"
                                     "Calc.X=\t\tt\n"
                                     "Line.Line=軸\t色\t幅\t格子\t色\t幅\n"
                                     "Line.X-軸=破線\tclRed\t3\t実線\tclBlue\t2\n"
                                     "Range.表題=ON\t新題\t(ro)\n"
                                     "Data.Data=Y1\tX\n"
                                     "Data.3=30\t3\n");
    ASSERT_TRUE(t.ReadFileText(file));
    EXPECT_EQ(Line(t, "Calc.Y[1]"), "Calc.Y[1]=OFF\tCos(X)\t\tRe\tY\tclGreen\t1\t実線");
    EXPECT_EQ(Line(t, "Calc.X"), "Calc.X=t\t\t\t\t\t\t\t");
    EXPECT_EQ(Line(t, "Calc.Y[2]"), "Calc.Y[2]=ON\tSin(X)\t\tRe\tY\tclBlue\t1\t実線");
    EXPECT_EQ(Line(t, "Line.X-軸"),
              "Line.X-軸=破線\t3\tclRed\t実線\t2\tclBlue\t実線\t1\tclBlack\t実線\t1\tclGray");
    EXPECT_EQ(Line(t, "Range.表題"), "Range.表題=ON\t新題\t\t\t\t\t50\t3\t4");
    EXPECT_EQ(Line(t, "Data.3"), "Data.3=3\t30\t\t\t\t");
    EXPECT_FALSE(TGraphTables().ReadFileText("garbage\nno=sections\n"));
}

TEST(GraphTables, AnyTextReadsIntoSoundTables) {
    // Pieces of real lines shuffled into random files: every table keeps its shape.
    const std::vector<std::string> pieces = {
        "Calc.",       "Data.",       "Range.", "Line.Line=", "Data.Data=", "Calc.Calc=", "=",
        "\t",          "\r\n",        "\n",     "Y[1]",       "99999",      "12",         "-7",
        SysText("幅"), SysText("色"), "\x82",   "X",          "1e308",      "ON"};
    unsigned seed = 12345;
    for (int round = 0; round < 150; ++round) {
        std::string text;
        for (int i = 0; i < 60; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += pieces[(seed >> 16) % pieces.size()];
        }
        TGraphTables t;
        t.ReadFileText(text);
        EXPECT_EQ(t.Table(gtCalc).RowCount(), 12);
        EXPECT_GE(t.DataRows(), 10);
        EXPECT_GE(t.Int(gtCalc, gcol::kWidth, 2, 1), 1);
    }
}

TEST(GraphTables, SettingsLinesByKey) {
    TGraphTables t;
    t.ApplySettingsLines({SysText("Data.10=1\t2"), SysText("Calc.Y[2]=OFF\tCos(X)"),
                          SysText("Nope.X=1"), "Calc.Y[99]=x", SysText("Data.12=5\t6")});
    EXPECT_EQ(Line(t, "Data.1"), "Data.1=\t\t\t\t\t");
    EXPECT_EQ(Line(t, "Data.10"), "Data.10=1\t2\t\t\t\t");
    EXPECT_EQ(Line(t, "Data.12"), "Data.12=5\t6\t\t\t\t");
    EXPECT_EQ(Line(t, "Calc.Y[2]"), "Calc.Y[2]=OFF\tCos(X)\t\tRe\tY\tclBlue\t1\t実線");
    // Labels of six digits and more number rows too, up to the largest row number.
    t.ApplySettingsLines({"Data.123456=9", "Data.100000=7\t8", "Data.00000000000000000011=3"});
    EXPECT_EQ(t.DataRows(), kMaxGraphDataRows);
    EXPECT_EQ(Line(t, "Data.100000"), "Data.100000=7\t8\t\t\t\t");
    EXPECT_EQ(Line(t, "Data.11"), "Data.11=3\t\t\t\t\t");
}

TEST(GraphTables, TextThatIsNoGraphDataLeavesTheTables) {
    for (const char* text : {"garbage\nno=sections\n", "a=1\nCalc.Y[1]=OFF\n", ""}) {
        TGraphTables t;
        t.Table(gtCalc).SetCells(gcol::kFormula, 5, "a*X");
        EXPECT_FALSE(TGraphTables::IsGraphData(text)) << text;
        EXPECT_FALSE(t.ReadFileText(text)) << text;
        EXPECT_EQ(t.Text(gtCalc, gcol::kFormula, 5), "a*X") << text;
        EXPECT_EQ(t.Text(gtCalc, gcol::kVisible, 2), "ON") << text;
        EXPECT_TRUE(t.HasUserSettings());
    }
    EXPECT_TRUE(TGraphTables::IsGraphData("x=1\r\nRange.Range=\r\n"));
    EXPECT_FALSE(TGraphTables().HasUserSettings());
}

}  // namespace
}  // namespace rekna
