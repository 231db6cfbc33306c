// The options tables: loading and reading back, edits reaching their settings, unreadable cells.
#include <gtest/gtest.h>

#include "engine/vt_calc.h"
#include "grid/vt_grid.h"
#include "options/options_tables.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

constexpr TOptionTable kTables[] = {
    TOptionTable::otRange,      TOptionTable::otGrouping,   TOptionTable::otStdColors,
    TOptionTable::otMarks,      TOptionTable::otSyntax,     TOptionTable::otCharSets,
    TOptionTable::otHotTargets, TOptionTable::otHotActions, TOptionTable::otDefinitions};

TOptionsState State() {
    TOptionsState s;
    s.Options = FreshInstallOptions();
    s.Numbers = TEngineNumbers::Read(TVtCalc());
    s.Main.HotKeyAction = "3x3333";
    s.DefText = "; kept\n#f(x) [test]=x^2\na = 1\nb=2\n";
    return s;
}

// What the tables show, as the settings text and the definitions.
std::string Text(const TOptionsState& s) {
    TVtCalc calc;
    const TEngineNumbers saved = TEngineNumbers::Read(calc);
    s.Numbers.Write(calc);
    TMemorySettings m;
    WriteMainSettings(m, s.Main, [&](TSettingsStore& store) {
        WriteFrameSettings(store, s.Options, calc, s.Styles);
    });
    saved.Write(calc);
    return m.Text() + "Def=" + s.DefText;
}

TEST(OptionsTables, LoadAndStoreChangeNothing) {
    const TOptionsState s = State();
    TOptionsState back = s;
    for (const TOptionTable t : kTables) {
        TVtGrid g;
        SetUpOptionTable(t, g);
        LoadOptionTable(t, s, g);
        StoreOptionTable(t, g, back);
    }
    EXPECT_EQ(Text(back), Text(s));
}

TEST(OptionsTables, EditsReachTheirSettings) {
    const struct {
        TOptionTable Table;
        int Col, Row;
        const char* Cell;  // UTF-8
        const char* Expect;
    } rows[] = {
        {TOptionTable::otRange, 2, 2, "12", "FixMax=12"},
        {TOptionTable::otRange, 1, 1, "-3.6", "ExpMin=-4"},
        {TOptionTable::otRange, 1, 1, "abc", "ExpMin=-5"},
        {TOptionTable::otGrouping, 1, 2, "3", "ColFix=3"},
        // Changed numbers stay in their ranges, and a Max never goes below its Min.
        {TOptionTable::otGrouping, 1, 2, "99999", "ColFix=64"},
        {TOptionTable::otRange, 2, 1, "-152", "ExpMax=-5"},
        {TOptionTable::otRange, 1, 2, "-1000", "FixMin=-99"},
        {TOptionTable::otStdColors, 2, 1, "clRed", "MemoColorText=clRed"},
        {TOptionTable::otStdColors, 3, 5, "$00112233", "AnsColorSelBrush=$00112233"},
        {TOptionTable::otStdColors, 2, 2, "no colour", "MemoColor=clWindow"},
        {TOptionTable::otStdColors, 1, 7, "OFF", "ShowLine=0"},
        {TOptionTable::otStdColors, 1, 6, "OFF", "HideSelection=1"},
        {TOptionTable::otMarks, 1, 2, "OFF", "ShowCrLf=0"},
        {TOptionTable::otMarks, 3, 4, "clLime", "AnsColorSpace=clLime"},
        {TOptionTable::otSyntax, 1, 14, "clAqua", "ColorKakko4=clAqua"},
        {TOptionTable::otCharSets, 1, 1, "+-", "CharColor1=+-\tclRed"},
        {TOptionTable::otHotTargets, 2, 2, "選択範囲", "HotKeyAction=3x3313"},
        {TOptionTable::otHotActions, 1, 1, "計算結果で置換", "HotKeyCalc=355355"},
    };
    for (const auto& r : rows) {
        TOptionsState s = State();
        TVtGrid g;
        SetUpOptionTable(r.Table, g);
        LoadOptionTable(r.Table, s, g);
        g.SetCells(r.Col, r.Row, SysText(r.Cell));
        StoreOptionTable(r.Table, g, s);
        const std::string text = Cp932ToUtf8(Text(s));
        EXPECT_NE(text.find(std::string("\r\n") + r.Expect + "\r\n"), std::string::npos)
            << r.Cell << " -> " << r.Expect;
    }
}

TEST(OptionsTables, NumbersOutOfRangeAreBroughtBackWithAHint) {
    const struct {
        TOptionTable Table;
        int Col, Row;  // the cell edited, which is the current cell
        const char* Cell;
        const char* Cells;  // the number cells afterwards, "," between them
        const char* Hint;
    } rows[] = {
        {TOptionTable::otRange, 2, 1, "-152", "-5,-5,-10,20",
         "Exp形式 Max を -5 にしました (Min 以上)"},
        {TOptionTable::otRange, 1, 1, "8", "6,6,-10,20", "Exp形式 Min を 6 にしました (Max 以下)"},
        {TOptionTable::otRange, 2, 2, "500", "-5,6,-10,99",
         "Fix形式 Max を 99 にしました (-99～99)"},
        {TOptionTable::otRange, 2, 2, "7", "-5,6,-10,7", ""},
        {TOptionTable::otGrouping, 1, 3, "99999", "0,0,64,4", "N2 桁数 を 64 にしました (0～64)"},
        {TOptionTable::otGrouping, 1, 3, "x", "0,0,x,4", ""},
    };
    for (const auto& r : rows) {
        TOptionsState s = State();
        TVtGrid g;
        SetUpOptionTable(r.Table, g);
        LoadOptionTable(r.Table, s, g);
        g.FocusCell(r.Col, r.Row, false);
        g.SetCells(r.Col, r.Row, r.Cell);
        const std::string hint = ClampOptionTable(r.Table, g);
        std::string cells;
        for (int row = 1; row < g.RowCount(); ++row)
            for (int col = 1; col < g.ColCount(); ++col)
                cells += (cells.empty() ? "" : ",") + g.Cells(col, row);
        EXPECT_EQ(cells, r.Cells) << r.Cell;
        EXPECT_EQ(hint, r.Hint) << r.Cell;
    }
}

TEST(OptionsTables, DefinitionRows) {
    TOptionsState s = State();
    TVtGrid g;
    SetUpOptionTable(TOptionTable::otDefinitions, g);
    LoadOptionTable(TOptionTable::otDefinitions, s, g);
    std::string cells;
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c)
            cells += Cp932ToUtf8(g.Cells(c, r)) + (c + 1 < g.ColCount() ? "|" : "\n");
    EXPECT_EQ(cells, "|名称|説明|計算式\n1|f(x)|test|x^2\n2|a||1\n3|b||2\n");
    EXPECT_FALSE(g.CanUndo());
    EXPECT_EQ(g.FixedRows(), 1);  // the column captions are a header

    // An unedited table leaves the text alone, even where a row would write it differently.
    StoreOptionTable(TOptionTable::otDefinitions, g, s);
    EXPECT_EQ(s.DefText, "; kept\n#f(x) [test]=x^2\na = 1\nb=2\n");

    g.InsertRow(4, true);
    g.SetCells(1, 4, "g(t)");
    g.SetCells(3, 4, "t+1");
    g.SetModified(true);
    StoreOptionTable(TOptionTable::otDefinitions, g, s);
    EXPECT_EQ(s.DefText, "; kept\n#f(x) [test]=x^2\na = 1\nb=2\n#g(t)=t+1\n");
}

}  // namespace
}  // namespace rekna
