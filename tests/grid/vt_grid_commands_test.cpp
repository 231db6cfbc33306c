// Tests of the settings grid's clipboard, block, row and column commands and of undo and redo.
#include "grid/vt_grid.h"

#include "grid_helpers.h"
#include "platform/clipboard.h"
#include "platform/cp932.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using enum TVtCellMode;
using test::Dump;
using test::Fill;

// A 4 x 4 grid of empty cells under a header row and column.
const std::vector<std::string> kEmpty4 = {"|a|b|c|d", "1||||", "2||||", "3||||", "4||||"};

struct TPasteRow {
    const char* Name;
    TGridRect Selection;
    const char* Text;
    bool Transposed;
    const char* Expected;
};

TEST(VtGridCommandsTest, PastesEveryShape) {
    const TPasteRow rows[] = {
        {"one value fills the selection",
         {1, 1, 3, 3},
         "5",
         false,
         "|a|b|c|d\n1|5|5|5|\n2|5|5|5|\n3|5|5|5|\n4||||\n"},
        {"one line of fields, extra fields dropped",
         {1, 1, 2, 1},
         "1\t2\t3",
         false,
         "|a|b|c|d\n1|1|2||\n2||||\n3||||\n4||||\n"},
        {"one line of fields into every selected row",
         {1, 1, 3, 2},
         "1\t2",
         false,
         "|a|b|c|d\n1|1|2||\n2|1|2||\n3||||\n4||||\n"},
        {"one line transposed runs down",
         {1, 1, 2, 4},
         "1\t2\t3",
         true,
         "|a|b|c|d\n1|1|1||\n2|2|2||\n3|3|3||\n4||||\n"},
        {"a block, cut at the selection",
         {1, 1, 2, 2},
         "1\t2\t3\r\n4\t5\r\n7\t8\t9\r\n",
         false,
         "|a|b|c|d\n1|1|2||\n2|4|5||\n3||||\n4||||\n"},
        {"a block with a short line",
         {1, 1, 3, 3},
         "1\t2\t3\n4\n",
         false,
         "|a|b|c|d\n1|1|2|3|\n2|4|||\n3||||\n4||||\n"},
        {"a block transposed",
         {1, 1, 3, 3},
         "1\t2\n3\t4\n",
         true,
         "|a|b|c|d\n1|1|3||\n2|2|4||\n3||||\n4||||\n"},
        {"lines without fields, one per row",
         {1, 1, 2, 4},
         "x\ny\nz",
         false,
         "|a|b|c|d\n1|x|x||\n2|y|y||\n3|z|z||\n4||||\n"},
        {"lines without fields transposed",
         {1, 1, 4, 2},
         "x\ny",
         true,
         "|a|b|c|d\n1|x|y||\n2|x|y||\n3||||\n4||||\n"},
        {"empty text changes nothing",
         {1, 1, 2, 2},
         "",
         false,
         "|a|b|c|d\n1||||\n2||||\n3||||\n4||||\n"},
    };
    for (const TPasteRow& row : rows) {
        TVtGrid grid;
        Fill(grid, kEmpty4);
        grid.SetSelection(row.Selection, {row.Selection.Left, row.Selection.Top});
        TMemoryClipboard clipboard;
        clipboard.SetText(row.Text);
        grid.SetClipboard(&clipboard);
        grid.PasteCells(row.Transposed);
        EXPECT_EQ(Dump(grid), row.Expected) << row.Name;
        grid.Undo();
        EXPECT_EQ(Dump(grid), Dump([] {
                      TVtGrid g;
                      Fill(g, kEmpty4);
                      return g;
                  }()))
            << row.Name;
    }
}

TEST(VtGridCommandsTest, PasteFollowsEachCellsMode) {
    TVtGrid grid;
    Fill(grid, {"|a|b|c|d|e", "1|old|old|x|old|"});
    auto param = [&grid](TVtCellMode mode, TVtEditDataType type, std::vector<std::string> items) {
        TVtParam p;
        p.CellActions = grid.AddCellAction({mode, type, 6, false, std::move(items)});
        return grid.AddParam(p);
    };
    grid.SetCellParam(1, 1, param(cmLabel, TVtEditDataType::dtString, {}));
    grid.SetCellParam(2, 1, param(cmListBox, TVtEditDataType::dtString, {"ON", "OFF"}));
    grid.SetCellParam(3, 1, param(cmList, TVtEditDataType::dtString, {"ON", "OFF"}));
    grid.SetCellParam(4, 1, param(cmEdit, TVtEditDataType::dtReal, {}));
    grid.SetCellParam(5, 1, param(cmColor, TVtEditDataType::dtColor, {}));
    grid.SetSelection({1, 1, 5, 1}, {1, 1});
    grid.PasteText("new\tmaybe\tOFF\t1.5e3 V\tclred", false);
    EXPECT_EQ(Dump(grid), "|a|b|c|d|e\n1|old|old|OFF|1.5E3|clRed\n");
    grid.PasteText("z\tz\tz\tz\tunknown", false);
    EXPECT_EQ(grid.Cells(5, 1), "clNone");
}

TEST(VtGridCommandsTest, CopiesSelectionsAsLines) {
    TVtGrid grid;
    Fill(grid, {"|a|b|c", "1|p|q|r", "2|s|t|u"});
    struct TRow {
        TGridRect Selection;
        bool Transposed;
        const char* Expected;
    };
    const TRow rows[] = {
        {{1, 1, 2, 1}, false, "p\tq"},
        {{1, 1, 3, 1}, false, "p\tq\tr\r\n"},
        {{1, 1, 2, 2}, false, "p\tq\r\ns\tt\r\n"},
        {{2, 2, 2, 2}, false, "t"},
        {{2, 2, 2, 2}, true, "t"},
        {{1, 1, 2, 1}, true, "p\r\nq\r\n"},
        {{1, 1, 2, 2}, true, "p\ts\r\nq\tt\r\n"},
    };
    for (const TRow& row : rows) {
        grid.SetSelection(row.Selection, {row.Selection.Left, row.Selection.Top});
        EXPECT_EQ(grid.CopyText(row.Transposed), row.Expected);
    }
    TMemoryClipboard clipboard;
    grid.SetClipboard(&clipboard);
    grid.SetSelection({1, 1, 2, 2}, {1, 1});
    grid.CutCells(false);
    EXPECT_EQ(clipboard.GetText().value_or(""), "p\tq\r\ns\tt\r\n");
    EXPECT_EQ(Dump(grid), "|a|b|c\n1|||r\n2|||u\n");
    grid.SetSelection({3, 1, 3, 2}, {3, 1});
    grid.PasteCells(false);
    EXPECT_EQ(Dump(grid), "|a|b|c\n1|||p\n2|||s\n");
    grid.Undo();
    grid.Undo();
    EXPECT_EQ(Dump(grid), "|a|b|c\n1|p|q|r\n2|s|t|u\n");
}

TEST(VtGridCommandsTest, ClearsEditableCellsOnly) {
    TVtGrid grid;
    Fill(grid, {"|a|b", "1|x|y", "2|z|w"});
    TVtParam label;
    label.CellActions = grid.AddCellAction({cmLabel, TVtEditDataType::dtString, 6, false, {}});
    grid.SetCellParam(2, 1, grid.AddParam(label));
    grid.SetSelection({1, 1, 2, 2}, {1, 1});
    grid.KeyDown(TVtKey::vkDelete, false, false);
    EXPECT_EQ(Dump(grid), "|a|b\n1||y\n2||\n");
    grid.ClearCells(true);
    EXPECT_EQ(grid.UndoList().Count(), 1u);
    grid.VtOptions().CanEditRange = false;
    grid.Undo();
    grid.KeyDown(TVtKey::vkDelete, false, false);
    EXPECT_EQ(Dump(grid), "|a|b\n1||y\n2|z|w\n");
}

struct TMoveRow {
    const char* Name;
    void (TVtGrid::*Move)(bool);
    TGridRect Selection;
    const char* Expected;
    const char* Selected;
};

TEST(VtGridCommandsTest, MovesBlocks) {
    const TMoveRow rows[] = {
        {"down",
         &TVtGrid::MoveCellsDown,
         {1, 1, 2, 2},
         "|a|b|c\n1|g|h|c\n2|a|b|f\n3|d|e|i\n",
         "1,2-2,3 @1,2"},
        {"up",
         &TVtGrid::MoveCellsUp,
         {2, 2, 3, 3},
         "|a|b|c\n1|a|e|f\n2|d|h|i\n3|g|b|c\n",
         "2,1-3,2 @2,1"},
        {"left",
         &TVtGrid::MoveCellsLeft,
         {2, 1, 3, 1},
         "|a|b|c\n1|b|c|a\n2|d|e|f\n3|g|h|i\n",
         "1,1-2,1 @1,1"},
        {"right",
         &TVtGrid::MoveCellsRight,
         {1, 3, 2, 3},
         "|a|b|c\n1|a|b|c\n2|d|e|f\n3|i|g|h\n",
         "2,3-3,3 @2,3"},
        {"not beyond the edge",
         &TVtGrid::MoveCellsUp,
         {1, 1, 1, 2},
         "|a|b|c\n1|a|b|c\n2|d|e|f\n3|g|h|i\n",
         "1,1-1,2 @1,1"},
    };
    for (const TMoveRow& row : rows) {
        TVtGrid grid;
        Fill(grid, {"|a|b|c", "1|a|b|c", "2|d|e|f", "3|g|h|i"});
        grid.SetSelection(row.Selection, {row.Selection.Left, row.Selection.Top});
        (grid.*row.Move)(false);
        EXPECT_EQ(Dump(grid), row.Expected) << row.Name;
        EXPECT_EQ(test::DumpSelection(grid), row.Selected) << row.Name;
        grid.Undo();
        EXPECT_EQ(Dump(grid), "|a|b|c\n1|a|b|c\n2|d|e|f\n3|g|h|i\n") << row.Name;
    }
}

TEST(VtGridCommandsTest, MovesParametersWithTheFlag) {
    TVtGrid grid;
    Fill(grid, {"|a", "1|x", "2|y"});
    TVtParam red;
    red.Color = clRed;
    grid.SetCellParam(1, 1, grid.AddParam(red));
    grid.MoveCellsDown(false);
    EXPECT_EQ(grid.CellColor(1, 1), clRed);
    EXPECT_EQ(grid.Cells(1, 2), "x");
    grid.MoveCellsUp(true);
    EXPECT_EQ(grid.Cells(1, 1), "x");
    EXPECT_EQ(grid.CellColor(1, 2), clRed);
}

TEST(VtGridCommandsTest, InsertsAndDeletesRowsAndColumns) {
    TVtGrid grid;
    Fill(grid, {"|a|b", "1|p|q", "2|r|s", "3|t|u"});
    grid.SetColWidth(2, 90);
    grid.FocusCell(1, 3, false);
    grid.DeleteRow(2, true);
    EXPECT_EQ(Dump(grid), "|a|b\n1|p|q\n3|t|u\n");
    EXPECT_EQ(grid.Row(), 2);
    grid.InsertRow(1, true);
    EXPECT_EQ(Dump(grid), "|a|b\n||\n1|p|q\n3|t|u\n");
    grid.InsertRow(9, true);
    EXPECT_EQ(grid.RowCount(), 5);
    grid.InsertCol(2, true);
    EXPECT_EQ(grid.ColWidth(2), 64);
    EXPECT_EQ(grid.ColWidth(3), 90);
    grid.InsertCol(3, true);
    EXPECT_EQ(grid.ColWidth(3), 64);
    grid.DeleteCol(1, true);
    EXPECT_EQ(Dump(grid), "|||b\n|||\n1|||q\n3|||u\n|||\n");
    grid.DeleteRow(0, true);  // a header row: nothing
    for (int i = 0; i < 6; ++i)
        grid.Undo();
    EXPECT_EQ(Dump(grid), "|a|b\n1|p|q\n2|r|s\n3|t|u\n");
    EXPECT_EQ(grid.ColWidth(2), 90);
    EXPECT_FALSE(grid.CanUndo());
    for (int i = 0; i < 6; ++i)
        grid.Redo();
    EXPECT_EQ(Dump(grid), "|||b\n|||\n1|||q\n3|||u\n|||\n");
}

TEST(VtGridCommandsTest, RemovedRowsComeBackEmpty) {
    TVtGrid grid;
    Fill(grid, {"|a", "1|x", "2|y"});
    grid.SetRowCount(2);
    grid.SetRowCount(3);
    EXPECT_EQ(Dump(grid), "|a\n1|x\n|\n");
}

TEST(VtGridCommandsTest, DeletingTheOnlyRowClearsIt) {
    TVtGrid grid;
    Fill(grid, {"|a|b", "1|p|q"});
    grid.DeleteRow(1, true);
    EXPECT_EQ(Dump(grid), "|a|b\n||\n");
    grid.Undo();
    EXPECT_EQ(Dump(grid), "|a|b\n1|p|q\n");
}

TEST(VtGridCommandsTest, UndoKeepsItsCapacity) {
    TVtGrid grid;
    Fill(grid, {"|a", "1|"});
    for (int i = 0; i < 105; ++i)
        grid.PasteText(std::to_string(i), false);
    EXPECT_EQ(grid.UndoList().Count(), 100u);
    int undone = 0;
    while (grid.CanUndo()) {
        grid.Undo();
        ++undone;
    }
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(grid.Cells(1, 1), "4");  // the five oldest steps were dropped
    EXPECT_EQ(grid.UndoList().RedoCount(), 100u);
    grid.Redo();
    EXPECT_EQ(grid.Cells(1, 1), "5");
    // A new step empties the redo list.
    grid.PasteText("x", false);
    EXPECT_FALSE(grid.CanRedo());

    grid.SetUndoCapacity(-3);
    EXPECT_EQ(grid.UndoCapacity(), 0);
    EXPECT_FALSE(grid.CanUndo());
    grid.PasteText("y", false);
    grid.KeyChar("z");
    grid.CloseEditor(true);
    EXPECT_FALSE(grid.CanUndo());
    EXPECT_EQ(grid.Cells(1, 1), "z");
}

TEST(VtGridCommandsTest, UndoRestoresTheSelectionAndLaterWrites) {
    TVtGrid grid;
    Fill(grid, {"|a|b", "1|p|q", "2|r|s"});
    grid.SetSelection({1, 1, 2, 2}, {2, 2});
    grid.PasteText("x", false);
    grid.FocusCell(1, 1, false);
    // Program writes into the step's area after the paste come undone with it.
    grid.SetCells(2, 1, "program");
    grid.Undo();
    EXPECT_EQ(Dump(grid), "|a|b\n1|p|q\n2|r|s\n");
    EXPECT_EQ(test::DumpSelection(grid), "1,1-2,2 @2,2");
    grid.Redo();
    EXPECT_EQ(Dump(grid), "|a|b\n1|x|program\n2|x|x\n");
    grid.SaveUndo();
    grid.SetCells(1, 1, "saved");
    grid.Undo();
    EXPECT_EQ(grid.Cells(1, 1), "x");
}

// fuzz_grid's finding: characters carried in CP932's user-defined area beside control bytes,
// pasted and typed one at a time into cells of every mode, more steps than the default history
// keeps. With room for every step, undo gives back the starting cells and redo the edited ones.
TEST(VtGridCommandsTest, UndoGivesBackCarriedCharactersBesideControlBytes) {
    TVtGrid grid;
    Fill(grid, {"|e|n|l|c|k", "1|||||", "2|||||"});
    const struct {
        TVtCellMode Mode;
        TVtEditDataType Type;
    } columns[] = {{cmEdit, TVtEditDataType::dtString},
                   {cmEdit, TVtEditDataType::dtInteger},
                   {cmList, TVtEditDataType::dtString},
                   {cmComboBox, TVtEditDataType::dtReal},
                   {cmColor, TVtEditDataType::dtColor}};
    for (int c = 1; c <= 5; ++c) {
        TVtParam param;
        param.CellActions = grid.AddCellAction(
            {columns[c - 1].Mode, columns[c - 1].Type, 6, false, {"A", "b", "1"}});
        grid.SetCellParam(c, 0, grid.AddParam(param));
    }
    grid.SetUndoCapacity(100000);
    const std::string start = Dump(grid);
    // The user area's own character U+E757 and the carried euro share the code F9FC unless
    // the conversion keeps them apart.
    const std::string carried = Utf8ToCp932("\xE2\x82\xAC\xEE\x9D\x97\xC2\xB5");
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += std::string("\x01") + carried + "\x7F\x1F" + "\xF9\xFC" + "u1d0";
    grid.SetSelection({1, 1, 5, 2}, {1, 1});
    grid.PasteText(text, false);
    std::size_t steps = 1;
    for (int c = 1; c <= 5; ++c) {
        grid.FocusCell(c, 1, false);
        for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
            const std::string ch = text.substr(i, CharLength(text, i));
            const std::size_t before = grid.UndoList().Count();
            if (!grid.Editing()) {
                grid.KeyChar(ch);
            } else {
                grid.SetEditText(grid.EditText() + grid.EditorChar(ch));
            }
            steps += grid.UndoList().Count() - before;
        }
        const std::size_t before = grid.UndoList().Count();
        grid.CloseEditor(false);
        steps += grid.UndoList().Count() - before;
    }
    ASSERT_GT(steps, 100u);
    EXPECT_EQ(grid.UndoList().Count(), steps);
    const std::string edited = Dump(grid);
    EXPECT_NE(edited, start);
    while (grid.CanUndo())
        grid.Undo();
    EXPECT_EQ(Dump(grid), start);
    while (grid.CanRedo())
        grid.Redo();
    EXPECT_EQ(Dump(grid), edited);
    EXPECT_EQ(Cp932ToUtf8(carried), "\xE2\x82\xAC\xEE\x9D\x97\xC2\xB5");
}

}  // namespace
}  // namespace rekna
