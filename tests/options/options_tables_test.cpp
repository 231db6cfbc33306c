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
