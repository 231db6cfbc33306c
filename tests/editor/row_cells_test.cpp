// Tests of the cells of a painted row: columns, end marks, find highlight, selection, levels.
#include "editor/paint/repaint_plan.h"
#include "editor/store/row_cells.h"
#include "paint_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace rekna::test {
namespace {

TRowCells Cells(const TPaintFixture& f, std::int32_t row, TRowCellOptions options = {},
                TSelPoint caret = {0, -1}) {
    TRowCells out;
    BuildRowCells(f.Strings, f.Line(row, caret), row, options, out);
    return out;
}

// "column:width:kind" of every cell.
std::string Layout(const TRowCells& cells) {
    std::string out;
    for (const TPaintCell& c : cells.Cells) {
        if (!out.empty()) out += ' ';
        out += std::to_string(c.Column) + ":" + std::to_string(c.Width) + ":" + KindLetter(c.Kind);
    }
    return out;
}

TEST(RowCellsTest, CellsStandOnTheirColumns) {
    struct TCase {
        const char* Text;
        TStoreSetup Setup;
        TRowCellOptions Options;
        const char* Layout;
        std::int32_t EndColumn;
    };
    const TCase cases[] = {
        {"a\tb", {}, {}, "1:1:c 2:7:T 9:1:c 10:5:E", 10},
        // A Tab at column 1 with tab stops 8 covers eight columns.
        {"\tx", {}, {}, "1:8:T 9:1:c 10:5:E", 10},
        {"\tx", {.Tabs = 4}, {}, "1:4:T 5:1:c 6:5:E", 6},
        // A double-byte character takes two columns.
        {"あa", {}, {}, "1:2:N 3:1:c 4:5:E", 4},
        // Only the cells that reach into the painted columns; a straddling character is kept.
        {"abcdef", {}, {.FromColumn = 3, .ToColumn = 4}, "3:1:c 4:1:c", 7},
        {"あいう", {}, {.FromColumn = 4, .ToColumn = 4}, "3:2:N", 7},
        {"ab", {}, {.FromColumn = 5, .ToColumn = 9}, "3:5:E", 3},
        {"ab", {}, {.ShowEof = false}, "1:1:c 2:1:c", 3},
    };
    for (const TCase& c : cases) {
        const TPaintFixture f(c.Text, TFileType::ftRekna, c.Setup);
        const TRowCells cells = Cells(f, 0, c.Options);
        EXPECT_EQ(Layout(cells), c.Layout) << c.Text;
        EXPECT_EQ(cells.EndColumn, c.EndColumn) << c.Text;
    }
}

TEST(RowCellsTest, TabStopsAtTheColumnAfterTheWrapMargin) {
    const TPaintFixture f("abcd\tx", TFileType::ftRekna, {.Wrap = 6, .AutoIndent = false});
    ASSERT_EQ(f.Strings.Get(0), "abcd\t");
    EXPECT_EQ(Layout(Cells(f, 0)), "1:1:c 2:1:c 3:1:c 4:1:c 5:2:T");
}

TEST(RowCellsTest, EndMarkDependsOnTheRowEnd) {
    const TPaintFixture f("abcdefghijkl\r\nx", TFileType::ftRekna, {.Wrap = 10});
    ASSERT_EQ(f.Strings.GetCount(), 3);
    ASSERT_TRUE(f.Strings.Continued(0));
    // A soft break has no mark, a hard one "↓", the last row "[EOF]".
    EXPECT_EQ(Cells(f, 0).Cells.back().Kind, TCharKind::ckChar);
    EXPECT_EQ(Cells(f, 1).Cells.back().Kind, TCharKind::ckCrLf);
    EXPECT_EQ(Cells(f, 1).Cells.back().Width, 2);
    EXPECT_EQ(Cells(f, 1, {.ShowCr = false}).Cells.back().Kind, TCharKind::ckChar);
    EXPECT_EQ(Cells(f, 2).Cells.back().Kind, TCharKind::ckEof);
    EXPECT_EQ(Cells(f, 2).Cells.back().Bytes, 0);
}

TEST(RowCellsTest, FindMatchesReplaceTheKindOfTheirCells) {
    const TPaintFixture f("sin(x)+sin ;sin");
    const TFindMatcher find("SIN", {});
    const TRowCells cells = Cells(f, 0, {.ShowEof = false, .Find = &find});
    std::string kinds;
    for (const TPaintCell& c : cells.Cells)
        kinds += KindLetter(c.Kind);
    EXPECT_EQ(kinds, "FFFBcBcFFFcCFFF");
}

TEST(RowCellsTest, SelectionMarksTheCoveredCells) {
    TPaintFixture f("abcd\r\nefgh\r\nij");
    TUMemoSelection& sel = f.Strings.Selection();
    const auto selected = [&](std::int32_t row, bool focused, bool hide) {
        TRowCellOptions options;
        options.Selection = RowSelectionOf(f.Strings, row, focused, hide);
        std::string out;
        for (const TPaintCell& c : Cells(f, row, options).Cells)
            out += c.Selected ? '#' : '.';
        return out;
    };
    sel.SelectStream(f.Strings, {2, 0}, {3, 1});
    EXPECT_EQ(selected(0, true, false), ".####");  // b, c, d and the line end
    EXPECT_EQ(selected(1, true, false), "##...");
    EXPECT_EQ(selected(2, true, false), "...");
    EXPECT_EQ(selected(0, false, true), ".....");  // hidden while unfocused
    EXPECT_EQ(selected(0, false, false), ".####");
    sel.SelectRows(f.Strings, 1, 2);
    EXPECT_EQ(selected(0, true, false), ".....");
    EXPECT_EQ(selected(1, true, false), "#####");
    EXPECT_EQ(selected(2, true, false), "###");  // the EOF mark too
    sel.SelectBox(f.Strings, {2, 0}, {4, 1});
    EXPECT_EQ(selected(0, true, false), ".##..");  // columns 2 and 3, never the line end
    EXPECT_EQ(selected(1, true, false), ".##..");
    EXPECT_EQ(selected(2, true, false), "...");
    // A zero-width box is the multi-row caret: nothing shows selected.
    sel.SelectBox(f.Strings, {2, 0}, {2, 2});
    EXPECT_EQ(selected(1, true, false), ".....");
}

TEST(RowCellsTest, IndentationIsNotShownInAStreamSelection) {
    TPaintFixture f("    abc\r\nx");
    f.Strings.Selection().SelectStream(f.Strings, {1, 0}, {2, 1});
    TRowSelection s = RowSelectionOf(f.Strings, 0, true, false);
    EXPECT_EQ(s.Mode, TSelMode::smStream);
    EXPECT_EQ(s.From, 5);
    EXPECT_TRUE(s.EndSelected);
    f.Strings.SetAutoIndent(false);
    s = RowSelectionOf(f.Strings, 0, true, false);
    EXPECT_EQ(s.From, 1);
    // Line selections show every cell.
    f.Strings.SetAutoIndent(true);
    f.Strings.Selection().SelectRows(f.Strings, 0, 0);
    EXPECT_EQ(RowSelectionOf(f.Strings, 0, true, false).Mode, TSelMode::smLine);
}

TEST(RowCellsTest, BracketLevelsAreRelativeToTheRowsInnermostBrackets) {
    struct TCase {
        const char* Text;
        std::vector<std::int32_t> Levels;
        bool Several;
    };
    const TCase cases[] = {
        {"(a)(b)", {0, 0, 0, 0}, false},
        {"((a))", {-1, 0, 0, -1}, true},
        {"(((((((x)))))))", {-6, -5, -4, -3, -2, -1, 0, 0, -1, -2, -3, -4, -5, -6}, true},
        {"a))", {0, -1}, true},
        {"x", {}, false},
    };
    for (const TCase& c : cases) {
        const TPaintFixture f(c.Text);
        const TRowCells cells = Cells(f, 0, {.ShowEof = false});
        std::vector<std::int32_t> levels;
        for (const TPaintCell& p : cells.Cells)
            if (p.Kind == TCharKind::ckKakko) levels.push_back(p.Level);
        EXPECT_EQ(levels, c.Levels) << c.Text;
        EXPECT_EQ(cells.SeveralLevels, c.Several) << c.Text;
    }
}

TEST(RowCellsTest, CaretPairCellsAreFlagged) {
    const TPaintFixture f("(a(b)c)");
    const TRowCells cells = Cells(f, 0, {.ShowEof = false}, {4, 0});
    std::string flags;
    for (const TPaintCell& c : cells.Cells)
        flags += c.CaretPair ? '#' : '.';
    EXPECT_EQ(flags, "..#.#..");
}

TEST(RowCellsTest, RowsOutsideTheLineOrStoreGiveNoCells) {
    const TPaintFixture f("a\r\nb");
    TRowCells out;
    BuildRowCells(f.Strings, f.Line(0), 1, {}, out);
    EXPECT_TRUE(out.Cells.empty());
    BuildRowCells(f.Strings, f.Line(0), 7, {}, out);
    EXPECT_TRUE(out.Cells.empty());
}

// The rows of window w of line 0 as a classifier that keeps only the window's cells paints them,
// against the whole line classified from its start; the number of partial classifications.
int ExpectWindowsPaintAsTheWholeLine(const TPaintFixture& f, TCharClassifier& partial) {
    partial.Functions = f.Classifier.Functions;
    partial.Dependence = f.Classifier.Dependence;
    int partials = 0;
    for (const std::int32_t caretX : {1, 30, 62, 100}) {
        for (const TViewWindow& w :
             {TViewWindow{0, 2, 5, 24}, TViewWindow{1, 4, 1, 13}, TViewWindow{0, 0, 40, 200},
              TViewWindow{0, 0, 70, 90}, TViewWindow{3, 9, 9, 9}}) {
            const TSelPoint caret{caretX, std::min(w.TopRow, f.Strings.LastRowOfLine(0))};
            TClassifiedLine whole;
            TClassifiedLine kept;
            f.Classifier.Classify(f.Strings, w.TopRow, caret, whole);
            partial.Classify(f.Strings, w.TopRow, caret, kept, &w);
            partials += kept.Partial ? 1 : 0;
            EXPECT_EQ(CaretPairOf(kept).Open, CaretPairOf(whole).Open);
            EXPECT_EQ(CaretPairOf(kept).Close, CaretPairOf(whole).Close);
            const std::int32_t last = std::min(w.BottomRow, whole.LastRow);
            for (std::int32_t row = w.TopRow; row <= last; ++row) {
                const TRowCellOptions options{.FromColumn = w.LeftCol, .ToColumn = w.RightCol};
                TRowCells a;
                TRowCells b;
                BuildRowCells(f.Strings, whole, row, options, a);
                BuildRowCells(f.Strings, kept, row, options, b);
                EXPECT_EQ(Layout(b), Layout(a)) << "row " << row << " caret " << caretX;
                EXPECT_EQ(b.Cells, a.Cells) << "row " << row << " caret " << caretX;
                EXPECT_EQ(b.EndColumn, a.EndColumn) << "row " << row;
                EXPECT_EQ(b.SeveralLevels, a.SeveralLevels) << "row " << row;
            }
        }
    }
    return partials;
}

// The texts a long memo line goes through as typing brings them: changes before, inside and
// after the checkpoints.
std::vector<std::string> TypedTexts() {
    std::string line;
    for (int i = 0; i < 6; ++i)
        line += "(1+[mm]あ\t";
    line += "sin(2)):x";
    for (int i = 0; i < 6; ++i)
        line += "+(3)*いa)\t";
    return {line,
            line.substr(0, 3) + ";" + line.substr(3),
            line,
            line.substr(0, 20) + "[" + line.substr(20),
            line.substr(0, 130) + ":" + line.substr(130),
            line.substr(0, 100),
            line + "(",
            line + ";]",
            line.substr(0, 61) + line.substr(63)};
}

TCharClassifier PartialClassifier() {
    TCharClassifier partial;
    partial.WholeLineBytes = 8;
    partial.CheckpointBytes = 5;
    return partial;
}

// A long line keeps only the cells of the window it is painted in, and a long memo line is
// walked from the last checkpoint before the window that its text still holds. Every row of the
// window must look as it does with the whole line classified from its start: comments and
// labels that start before the window, brackets whose partner lies outside it, Tabs, the caret
// pair, also after the text changed before, inside and after the checkpoints.
TEST(RowCellsTest, ALongLineKeptInAWindowPaintsAsTheWholeLine) {
    for (const TStoreSetup setup : {TStoreSetup{}, TStoreSetup{.Wrap = 16, .AutoIndent = false}}) {
        // The same classifier meets each text in turn, in a store of its own.
        TCharClassifier partial = PartialClassifier();
        int partials = 0;
        for (const std::string& text : TypedTexts()) {
            const TPaintFixture f(text + "\r\n[x;(\r\n" + text + " ;(", TFileType::ftRekna, setup);
            partials += ExpectWindowsPaintAsTheWholeLine(f, partial);
        }
        EXPECT_GT(partials, 50);
    }
}

// The same when the texts come by edits of one store, which tells the classifier what of the
// line changed since its last walk: one splice, a line set again, or more edits than the store
// keeps track of.
TEST(RowCellsTest, ALongLineEditedInItsStorePaintsAsTheWholeLine) {
    for (const TStoreSetup setup : {TStoreSetup{}, TStoreSetup{.Wrap = 16, .AutoIndent = false}}) {
        const std::vector<std::string> texts = TypedTexts();
        TPaintFixture f(texts[0] + "\r\n[x;(", TFileType::ftRekna, setup);
        TCharClassifier partial = PartialClassifier();
        int partials = 0;
        for (std::size_t k = 1; k < texts.size(); ++k) {
            const std::string to = J(texts[k]);
            if (k % 4 == 0 || f.Strings.LastRowOfLine(0) > 0) {
                f.Strings.SetLine(0, to);
            } else {
                if (k == 3) {
                    for (int n = 0; n < 20; ++n)
                        f.Strings.Splice(0, 3, n % 2, n % 2 == 0 ? "x" : "");
                }
                const std::string& from = f.Strings.Get(0);
                const std::size_t head =
                    std::mismatch(from.begin(), from.end(), to.begin(), to.end()).first -
                    from.begin();
                std::size_t tail = 0;
                while (tail < std::min(from.size(), to.size()) - head &&
                       from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
                    ++tail;
                f.Strings.Splice(0, static_cast<std::int32_t>(head + 1),
                                 static_cast<std::int32_t>(from.size() - head - tail),
                                 to.substr(head, to.size() - head - tail));
            }
            ASSERT_EQ(f.Strings.GetLine(0), to) << k;
            partials += ExpectWindowsPaintAsTheWholeLine(f, partial);
        }
        EXPECT_GT(partials, 40);
    }
}

}  // namespace
}  // namespace rekna::test
