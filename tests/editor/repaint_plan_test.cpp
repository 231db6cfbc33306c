// Tests of the incremental repaint: which rows are painted again after edits, moves and scrolls.
#include "editor/paint/repaint_plan.h"
#include "paint_helpers.h"

#include <gtest/gtest.h>

namespace rekna::test {
namespace {

// A view of ten rows over a store of twenty lines "line 0" .. "line 19".
class RepaintTest : public ::testing::Test {
protected:
    RepaintTest() : F(Lines(20)) { View.PageRows = 10, View.PageCols = 40, View.PaperColumns = 41; }

    static std::string Lines(int n) {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += (i ? "\r\n" : "") + std::string("line ") + std::to_string(i);
        return text;
    }

    // Plans a repaint of the current state and then takes it as painted, as the widget does.
    TRepaintPlan Repaint() {
        std::vector<TRowLook> looks;
        TLookInputs in;
        in.View = View;
        in.Focused = Focused;
        const TCaretPair pair =
            CaretPairOf(F.Line(F.Strings.Selection().Caret.Y, F.Strings.Selection().Caret));
        in.PairOpen = pair.Open;
        in.PairClose = pair.Close;
        LookRows(F.Strings, in, looks);
        TRepaintPlan plan = Tracker.Plan(F.Strings, View, looks);
        for (const std::int32_t r : plan.Rows)
            if (r < F.Strings.GetCount()) F.Strings.SetRowMark(r, TRowMark::rmNone);
        for (const std::int32_t r : plan.SeenMarks)
            F.Strings.SetRowMark(r, TRowMark::rmNone);
        Tracker.Painted(View, looks);
        return plan;
    }

    TPaintFixture F;
    TViewFrame View;
    bool Focused = true;
    TRepaintTracker Tracker;
};

using TRows = std::vector<std::int32_t>;

TEST_F(RepaintTest, FirstPaintIsFullAndAnUnchangedViewPaintsNothing) {
    const TRepaintPlan first = Repaint();
    EXPECT_TRUE(first.Full);
    EXPECT_EQ(first.Rows.size(), 10u);
    const TRepaintPlan second = Repaint();
    EXPECT_FALSE(second.Full);
    EXPECT_EQ(second.Rows, TRows{});
}

TEST_F(RepaintTest, EditsRepaintOnlyTheRowsTheyChanged) {
    Repaint();
    F.Strings.Put(3, "changed");
    EXPECT_EQ(Repaint().Rows, TRows{3});
    // The mark alone is enough: the text may end up as it was.
    F.Strings.SetRowMark(5, TRowMark::rmModified);
    EXPECT_EQ(Repaint().Rows, TRows{5});
    // An inserted row repaints itself and every row below it.
    F.Strings.Insert(7, "new");
    EXPECT_EQ(Repaint().Rows, (TRows{7, 8, 9}));
    // A deleted row leaves no mark; the rows that moved up are painted again.
    F.Strings.Delete(4);
    EXPECT_EQ(Repaint().Rows, (TRows{4, 5, 6, 7, 8, 9}));
    // Changes out of view paint nothing.
    F.Strings.Put(15, "far");
    EXPECT_EQ(Repaint().Rows, TRows{});
}

TEST_F(RepaintTest, TheWholeVisibleLogicalLineFollowsAChangeInIt) {
    F.Strings.SetWrapColumns(4);
    F.ClearMarks();
    // "line 0" is now rows 0 ("line") and 1 (" 0").
    ASSERT_TRUE(F.Strings.Continued(0));
    Repaint();
    F.Strings.SetRowMark(0, TRowMark::rmModified);
    EXPECT_EQ(Repaint().Rows, (TRows{0, 1}));
    // A change above the view still recolours the visible rest of its line.
    View.TopRow = 1;
    Repaint();
    F.Strings.SetRowMark(0, TRowMark::rmModified);
    const TRepaintPlan plan = Repaint();
    EXPECT_EQ(plan.Rows, TRows{1});
    EXPECT_EQ(plan.SeenMarks, TRows{0});
    EXPECT_EQ(Repaint().Rows, TRows{});
}

TEST_F(RepaintTest, CaretMovesRepaintTheUnderlinedRows) {
    Repaint();
    F.Strings.Selection().SetCaret(F.Strings, {1, 4}, TSelMode::smNone);
    EXPECT_EQ(Repaint().Rows, (TRows{0, 4}));
    F.Strings.Selection().SetCaret(F.Strings, {3, 4}, TSelMode::smNone);
    EXPECT_EQ(Repaint().Rows, TRows{});
}

TEST_F(RepaintTest, SelectionChangesRepaintTheRowsWhoseSelectionChanged) {
    Repaint();
    TUMemoSelection& sel = F.Strings.Selection();
    sel.SelectStream(F.Strings, {2, 1}, {3, 3});
    EXPECT_EQ(Repaint().Rows, (TRows{0, 1, 2, 3}));  // row 0 loses the caret
    sel.SelectStream(F.Strings, {2, 1}, {5, 3});
    EXPECT_EQ(Repaint().Rows, TRows{3});
    sel.SelectStream(F.Strings, {2, 1}, {5, 5});
    EXPECT_EQ(Repaint().Rows, (TRows{3, 4, 5}));
    // Losing the focus repaints the selected rows only.
    Focused = false;
    EXPECT_EQ(Repaint().Rows, (TRows{1, 2, 3, 4, 5}));
}

TEST_F(RepaintTest, CaretPairChangesRepaintTheirBrackets) {
    F.Strings.Put(2, "(a)(b)");
    F.Strings.Put(6, "x");
    F.ClearMarks();
    Repaint();
    F.Strings.Selection().SetCaret(F.Strings, {2, 2}, TSelMode::smNone);
    EXPECT_EQ(Repaint().Rows, (TRows{0, 2}));
    // Into the next pair on the same row: the row again.
    F.Strings.Selection().SetCaret(F.Strings, {5, 2}, TSelMode::smNone);
    EXPECT_EQ(Repaint().Rows, TRows{2});
}

TEST_F(RepaintTest, ScrollingPaintsOnlyTheUncoveredRowsAndColumns) {
    Repaint();
    View.TopRow = 2;
    TRepaintPlan plan = Repaint();
    EXPECT_FALSE(plan.Full);
    EXPECT_EQ(plan.ScrollRows, 2);
    // The two new rows, and the old partly visible last row.
    EXPECT_EQ(plan.Rows, (TRows{9, 10, 11}));
    View.TopRow = 1;
    plan = Repaint();
    EXPECT_EQ(plan.ScrollRows, -1);
    EXPECT_EQ(plan.Rows, TRows{1});
    View.LeftCol = 4;
    plan = Repaint();
    EXPECT_EQ(plan.ScrollCols, 3);
    EXPECT_EQ(plan.Rows, TRows{});
    EXPECT_EQ(plan.StripFrom, 40);
    EXPECT_EQ(plan.StripTo, 43);
    View.LeftCol = 2;
    plan = Repaint();
    EXPECT_EQ(plan.StripFrom, 2);
    EXPECT_EQ(plan.StripTo, 3);
    // A page or more at once, a new page size or a new paper edge: everything.
    View.TopRow = 11;
    EXPECT_TRUE(Repaint().Full);
    View.PageRows = 8;
    EXPECT_TRUE(Repaint().Full);
    View.PaperColumns = 50;
    EXPECT_TRUE(Repaint().Full);
    Tracker.Invalidate();
    EXPECT_TRUE(Repaint().Full);
}

TEST_F(RepaintTest, RowsBelowTheEndAreTheEmptyArea) {
    View.TopRow = 15;
    Repaint();
    F.Strings.Delete(19);
    // Row 18 becomes the last (it gets the EOF mark); the row where 19 was is now empty.
    EXPECT_EQ(Repaint().Rows, (TRows{18, 19}));
    F.Strings.Add("again");
    EXPECT_EQ(Repaint().Rows, (TRows{18, 19, 20, 21, 22, 23, 24}));
}

}  // namespace
}  // namespace rekna::test
