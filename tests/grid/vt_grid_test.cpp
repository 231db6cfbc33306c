// Tests of the settings grid's parameter resolution, values, drawing kinds, editor and lists.
#include "grid/vt_grid.h"

#include "grid_helpers.h"
#include "platform/cp932.h"

#include <gtest/gtest.h>

#include <cmath>

namespace rekna {
namespace {

using enum TVtCellMode;
using enum TVtEditDataType;
using test::Dump;
using test::Fill;

int ActionParam(TVtGrid& grid, TVtCellMode mode, TVtEditDataType type = dtString,
                std::vector<std::string> items = {}) {
    const int action = grid.AddCellAction({mode, type, 6, false, std::move(items)});
    TVtParam param;
    param.CellActions = action;
    return grid.AddParam(param);
}

TEST(VtGridTest, ResolvesParametersInOrder) {
    TVtGrid grid;
    Fill(grid, {"|a|b", "x||", "y||"});
    const int label = ActionParam(grid, cmLabel);
    const int list = ActionParam(grid, cmList);
    TVtParam red;
    red.Color = clRed;
    const int redParam = grid.AddParam(red);
    grid.SetCellParam(1, 0, list);   // column header of column 1
    grid.SetCellParam(0, 1, label);  // row header of row 1
    grid.SetCellParam(0, 0, redParam);

    struct TRow {
        TVtParamSelect Select;
        int Col, Row;
        TVtCellMode Expected;
    };
    const TRow rows[] = {
        {TVtParamSelect::psRowFirst, 1, 1, cmLabel},  // both define one: the row header wins
        {TVtParamSelect::psColFirst, 1, 1, cmList},   // ... or the column header
        {TVtParamSelect::psRowFirst, 1, 2, cmList},  {TVtParamSelect::psColFirst, 2, 1, cmLabel},
        {TVtParamSelect::psRowFirst, 2, 2, cmEdit},  // the default item
    };
    for (const TRow& row : rows) {
        grid.VtOptions().VtParamSelect = row.Select;
        EXPECT_EQ(grid.CellAction(row.Col, row.Row).Mode, row.Expected) << row.Col << row.Row;
    }
    // Colours fall through to the corner; the cell's own parameter comes first.
    EXPECT_EQ(grid.CellColor(2, 2), clRed);
    TVtParam blue;
    blue.Color = clBlue;
    grid.SetCellParam(2, 2, grid.AddParam(blue));
    EXPECT_EQ(grid.CellColor(2, 2), clBlue);
    EXPECT_EQ(grid.CellFontColor(2, 2), clWindowText);
    // An index outside the collection counts as none.
    grid.SetCellParam(2, 1, 99);
    EXPECT_EQ(grid.CellParam(2, 1), -1);
}

TEST(VtGridTest, ColourCellsDrawTheirColour) {
    TVtGrid grid;
    Fill(grid, {"||", "|clRed|nonsense", "||"});
    const int color = ActionParam(grid, cmColor, dtColor);
    for (int c = 1; c < 3; ++c)
        grid.SetCellParam(c, 1, color);
    grid.FocusCell(1, 2, false);
    TVtCellPaint paint = grid.CellPaint(1, 1, true);
    EXPECT_EQ(paint.Text, SysText("■"));
    EXPECT_EQ(paint.Font, clRed);
    EXPECT_EQ(grid.CellPaint(2, 1, true).Font, clWindowText);
    EXPECT_TRUE(paint.ColorMark);
    // Current, selected or without the focus, the mark keeps its colour.
    grid.SetSelection({1, 1, 2, 2}, {1, 1});
    for (const bool focused : {true, false})
        EXPECT_EQ(grid.CellPaint(1, 1, focused).Font, clRed) << focused;
    grid.VtOptions().ColorCellStr.clear();
    EXPECT_EQ(grid.CellPaint(1, 1, true).Text, "clRed");
    EXPECT_TRUE(grid.SetColorValue(2, 1, clBlue));
    EXPECT_FALSE(grid.SetColorValue(2, 1, clBlue));
    EXPECT_FALSE(grid.SetColorValue(1, 2, clBlue));  // not a colour cell
    EXPECT_EQ(grid.Cells(2, 1), "clBlue");
}

TEST(VtGridTest, DrawKinds) {
    TVtGrid grid;
    Fill(grid, {"|||", "|||", "|||", "|||"});
    grid.SetSelection({1, 1, 2, 2}, {1, 1});
    // Rows of kinds, one letter per cell: F header, C header focused, S header selected,
    // f focused, s selected, n normal, i inactive.
    auto kinds = [&grid](bool focused) {
        std::string out;
        for (int r = 0; r < grid.RowCount(); ++r) {
            for (int c = 0; c < grid.ColCount(); ++c) {
                out += "nsfFCSi"[static_cast<int>(grid.DrawKind(c, r, focused))];
            }
            out += '\n';
        }
        return out;
    };
    EXPECT_EQ(kinds(true), "FCSF\nCfsn\nSssn\nFnnn\n");
    EXPECT_EQ(kinds(false), "FCSF\nCiin\nSiin\nFnnn\n");
    grid.VtOptions().HideSelection = true;
    EXPECT_EQ(kinds(false), "FCSF\nCnnn\nSnnn\nFnnn\n");
}

TEST(VtGridTest, ValuesAndListIndexes) {
    TVtGrid grid;
    Fill(grid, {"||", "|1.5k|20%", "|abc|"});
    EXPECT_DOUBLE_EQ(grid.Values(1, 1), 1500);
    EXPECT_DOUBLE_EQ(grid.Values(2, 1), 0.2);
    EXPECT_DOUBLE_EQ(grid.Values(1, 2), 0);
    EXPECT_DOUBLE_EQ(grid.Values(9, 9), 0);
    grid.VtOptions().ValuesNanEnablw = true;
    EXPECT_TRUE(std::isnan(grid.Values(1, 2)));
    EXPECT_TRUE(std::isnan(grid.Values(2, 2)));

    const int eng = ActionParam(grid, cmEdit, dtEng);
    grid.SetCellParam(2, 2, eng);
    grid.SetValues(2, 2, 0.015);
    grid.SetValues(2, 0, 1);  // header cells take no values
    EXPECT_EQ(grid.Cells(2, 2), "15m");
    EXPECT_EQ(grid.Cells(2, 0), "");
    EXPECT_FALSE(grid.CanUndo());

    const int list = ActionParam(grid, cmList, dtString, {"Re", "Im", "Abs", "Arg"});
    grid.SetCellParam(1, 2, list);
    grid.SetCells(1, 2, "abs");
    EXPECT_EQ(grid.ListIndex(1, 2), 2);
    grid.SetListIndex(1, 2, 3);
    EXPECT_EQ(grid.Cells(1, 2), "Arg");
    grid.SetListIndex(1, 2, 4);
    EXPECT_EQ(grid.Cells(1, 2), "Arg");
    EXPECT_EQ(grid.ListIndex(1, 1), -1);
}

// One list cell stepped by a row of gestures; each row gives the text before and after.
TEST(VtGridTest, StepsListCells) {
    struct TRow {
        const char* Before;
        TVtGesture Gesture;
        bool UpSideDown;
        const char* After;
    };
    const TRow rows[] = {
        {"Re", {omSpace, 0, TVtKey::vkOther}, true, "Im"},
        {"Arg", {omSpace, 0, TVtKey::vkOther}, true, "Re"},
        {"?", {omEnter, 0, TVtKey::vkOther}, true, "Re"},
        {"Re", {omElse, '3', TVtKey::vkOther}, true, "Arg"},
        {"Re", {omElse, '7', TVtKey::vkOther}, true, "Re"},
        {"Abs", {omElse, 'u', TVtKey::vkOther}, true, "Arg"},
        {"Arg", {omElse, 'u', TVtKey::vkOther}, true, "Arg"},
        {"Abs", {omElse, 'u', TVtKey::vkOther}, false, "Im"},
        {"Re", {omElse, 'd', TVtKey::vkOther}, true, "Re"},
        {"Im", {omElse, 'D', TVtKey::vkOther}, false, "Abs"},
        {"?", {omElse, 'd', TVtKey::vkOther}, true, "Re"},
        {"Re", {omElse, 0, TVtKey::vkUp}, true, "Im"},
        {"Re", {omElse, 0, TVtKey::vkUp}, false, "Re"},
        {"Im", {omElse, 0, TVtKey::vkDown}, true, "Re"},
        {"Re", {omElse, 'x', TVtKey::vkOther}, true, "Re"},
        {"Re", {omMouseDown, 0, TVtKey::vkOther}, true, "Re"},
        {"Re", {omDblClick, 0, TVtKey::vkOther}, true, "Im"},
        {"Re", {omElse, 0, TVtKey::vkF2}, true, "Re"},
    };
    for (const TRow& row : rows) {
        TVtGrid grid;
        Fill(grid, {"||", "||"});
        grid.SetCellParam(1, 1, ActionParam(grid, cmList, dtString, {"Re", "Im", "Abs", "Arg"}));
        grid.SetCells(1, 1, row.Before);
        grid.FocusCell(1, 1, false);
        grid.VtOptions().ListBoxUpSideDown = row.UpSideDown;
        grid.Gesture(row.Gesture);
        EXPECT_EQ(grid.Cells(1, 1), row.After) << row.Before << " " << row.Gesture.Char;
        EXPECT_EQ(grid.CanUndo(), std::string(row.Before) != row.After) << row.Before;
    }
}

TEST(VtGridTest, SpaceStepsEverySelectedListCellInOneStep) {
    TVtGrid grid;
    Fill(grid, {"|", "|ON", "|OFF", "|ON"});
    const int list = ActionParam(grid, cmList, dtString, {"ON", "OFF"});
    for (int r = 1; r < 4; ++r)
        grid.SetCellParam(1, r, list);
    grid.SetSelection({1, 1, 1, 3}, {1, 1});
    int changes = 0;
    grid.OnChanged = [&changes] { ++changes; };
    grid.KeyChar(" ");
    EXPECT_EQ(Dump(grid), "|\n|OFF\n|ON\n|OFF\n");
    EXPECT_EQ(grid.UndoList().Count(), 1u);
    EXPECT_EQ(changes, 1);
    grid.Undo();
    EXPECT_EQ(Dump(grid), "|\n|ON\n|OFF\n|ON\n");
}

TEST(VtGridTest, DropDownListPicksAndSpreadsOnEnter) {
    TVtGrid grid;
    Fill(grid, {"||", "|a|a", "|a|b"});
    const int box = ActionParam(grid, cmListBox, dtString, {"a", "b", "c"});
    for (int r = 1; r < 3; ++r) {
        for (int c = 1; c < 3; ++c)
            grid.SetCellParam(c, r, box);
    }
    grid.SetSelection({1, 1, 2, 2}, {1, 1});
    grid.KeyDown(TVtKey::vkEnter, false, false);
    ASSERT_TRUE(grid.ListOpen());
    EXPECT_EQ(grid.ListItems(), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(grid.ListSelected(), 2);
    grid.CloseList(TVtListClose::lcEscape, 0);
    EXPECT_FALSE(grid.CanUndo());
    EXPECT_EQ(Dump(grid), "||\n|a|a\n|a|b\n");

    grid.KeyDown(TVtKey::vkEnter, false, false);
    grid.CloseList(TVtListClose::lcSpace, 0);
    EXPECT_EQ(Dump(grid), "||\n|c|a\n|a|b\n");
    grid.KeyDown(TVtKey::vkF2, false, false);
    grid.CloseList(TVtListClose::lcEnter, 1);
    EXPECT_EQ(Dump(grid), "||\n|b|b\n|b|b\n");
    EXPECT_EQ(grid.UndoList().Count(), 2u);
    // A pick of the text the cell already has changes nothing and leaves no step.
    grid.FocusCell(1, 1, false);
    grid.DoubleClick(1, 1);
    grid.CloseList(TVtListClose::lcSpace, 1);
    EXPECT_EQ(grid.UndoList().Count(), 2u);
}

TEST(VtGridTest, TypingOpensTheEditorByDataType) {
    struct TRow {
        TVtEditDataType Type;
        const char* Key;
        bool Opens;
        const char* Text;
    };
    const TRow rows[] = {
        {dtReal, "e", true, "E"},    {dtReal, "x", false, ""},       {dtHex, "a", true, "A"},
        {dtInteger, "-", true, "-"}, {dtPosInteger, "-", false, ""}, {dtString, "\b", true, "ab"},
        {dtEng, " ", true, "abc"},   {dtTime, ":", true, ":"},
    };
    for (const TRow& row : rows) {
        TVtGrid grid;
        Fill(grid, {"|", "|abc"});
        grid.SetCellParam(1, 1, ActionParam(grid, cmEdit, row.Type));
        grid.KeyChar(row.Key);
        EXPECT_EQ(grid.Editing(), row.Opens) << row.Key;
        if (row.Opens) {
            EXPECT_EQ(grid.EditText(), row.Text) << row.Key;
            EXPECT_EQ(grid.Cells(1, 1), row.Text) << row.Key;
        }
    }
    TVtGrid kana;
    Fill(kana, {"|", "|"});
    kana.KeyChar(SysText("あ"));
    EXPECT_EQ(kana.EditText(), SysText("あ"));
    EXPECT_EQ(kana.EditorChar(SysText("い")), SysText("い"));
}

TEST(VtGridTest, EditorClosesByEnterEscapeOrMove) {
    TVtGrid grid;
    Fill(grid, {"|||", "|a|b|", "|c|d|"});
    grid.SetCellParam(2, 2, ActionParam(grid, cmLabel));
    std::string events;
    grid.OnShowEditor = [&events] { events += "show "; };
    grid.OnHideEditor = [&events](bool enter, bool& changed) {
        events += std::string("hide ") + (enter ? "enter " : "") + (changed ? "changed " : "");
    };
    grid.OnChanged = [&events] { events += "changed "; };

    // Enter writes into every editable cell of the selection; the label stays.
    grid.SetSelection({1, 1, 2, 2}, {1, 1});
    grid.KeyChar("x");
    grid.SetEditText("xy");
    grid.CloseEditor(true);
    EXPECT_EQ(Dump(grid), "|||\n|xy|xy|\n|xy|d|\n");
    EXPECT_EQ(events, "show hide enter changed changed ");

    // Leaving by a click writes only the edited cell.
    grid.Undo();
    grid.SetSelection({1, 1, 2, 2}, {1, 1});
    grid.KeyChar("q");
    grid.MouseDown(3, 2, false);
    EXPECT_EQ(Dump(grid), "|||\n|q|b|\n|c|d|\n");
    EXPECT_EQ(grid.Col(), 3);

    // Escape puts the text back and leaves no step.
    const std::size_t steps = grid.UndoList().Count();
    events.clear();
    grid.KeyChar("z");
    grid.SetEditText("zz");
    grid.CancelEdit();
    EXPECT_EQ(grid.Cells(3, 2), "");
    EXPECT_EQ(grid.UndoList().Count(), steps);
    EXPECT_EQ(events, "show hide ");

    // An edit that ends with the old text leaves no step either.
    grid.KeyDown(TVtKey::vkF2, false, false);
    grid.CloseEditor(true);
    EXPECT_EQ(grid.UndoList().Count(), steps);

    // Undo while editing acts as Escape.
    grid.KeyChar("k");
    grid.Undo();
    EXPECT_FALSE(grid.Editing());
    EXPECT_EQ(grid.Cells(3, 2), "");
}

TEST(VtGridTest, EditorFiltersCharacters) {
    TVtGrid grid;
    Fill(grid, {"|", "|"});
    grid.SetCellParam(1, 1, ActionParam(grid, cmEdit, dtHex));
    grid.KeyChar("1");
    EXPECT_EQ(grid.EditorChar("f"), "F");
    EXPECT_EQ(grid.EditorChar("g"), "");
    EXPECT_EQ(grid.EditorChar("\b"), "\b");
    EXPECT_EQ(grid.EditorChar(SysText("あ")), "");
}

TEST(VtGridTest, ColourGesturesAskForTheDialog) {
    TVtGrid grid;
    Fill(grid, {"||", "|clRed|clRed", "||"});
    const int color = ActionParam(grid, cmColor, dtColor);
    grid.SetCellParam(1, 1, color);
    grid.SetCellParam(2, 1, color);
    grid.SetSelection({1, 1, 2, 2}, {1, 1});
    grid.MouseDown(1, 1, false);
    EXPECT_FALSE(grid.TakeColorRequest());
    grid.KeyChar(" ");
    EXPECT_TRUE(grid.TakeColorRequest());
    EXPECT_FALSE(grid.TakeColorRequest());
    grid.SetSelection({1, 1, 2, 2}, {1, 1});
    grid.ApplyColor(clLime);
    EXPECT_EQ(Dump(grid), "||\n|clLime|clLime\n||\n");
    EXPECT_EQ(grid.UndoList().Count(), 1u);
    grid.Undo();
    EXPECT_EQ(Dump(grid), "||\n|clRed|clRed\n||\n");
}

TEST(VtGridTest, HeaderClicksSelectRowsAndColumns) {
    TVtGrid grid;
    Fill(grid, {"|||", "|||", "|||", "|||"});
    std::vector<std::string> reports;
    grid.OnSelectionChanged = [&reports, &grid](int col, int row, TGridRect) {
        reports.push_back(std::to_string(col) + "," + std::to_string(row) + ">" +
                          test::DumpSelection(grid));
    };
    grid.MouseDown(2, 0, false);
    EXPECT_EQ(test::DumpSelection(grid), "2,1-2,3 @2,1");
    grid.MouseDrag(3, 2);
    EXPECT_EQ(test::DumpSelection(grid), "2,1-3,3 @2,1");
    grid.MouseUp();
    grid.MouseDown(0, 2, false);
    EXPECT_EQ(test::DumpSelection(grid), "1,2-3,2 @1,2");
    grid.MouseDown(0, 3, true);
    EXPECT_EQ(test::DumpSelection(grid), "1,2-3,3 @1,2");
    grid.MouseDown(0, 0, false);
    EXPECT_EQ(test::DumpSelection(grid), "1,1-3,3 @1,1");
    grid.KeyDown(TVtKey::vkRight, true, false);
    EXPECT_EQ(test::DumpSelection(grid), "2,1-3,3 @2,1");
    EXPECT_EQ(reports.size(), 6u);
    EXPECT_EQ(reports.front(), "1,1>2,1-2,3 @2,1");
}

}  // namespace
}  // namespace rekna
