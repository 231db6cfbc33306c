// FindText's directions and selection rules, and the replacing commands with their undo.
#include "editor/commands/find_text.h"
#include "editor_helpers.h"

#include <gtest/gtest.h>

namespace rekna::test {
namespace {

using enum TSearchType;

// "anchor-caret" of a stream selection, or "caret" alone, as (x,y).
std::string Sel(const TUMemoStrings& s) {
    const TUMemoSelection& sel = s.Selection();
    auto p = [](TSelPoint q) {
        return "(" + std::to_string(q.X) + "," + std::to_string(q.Y) + ")";
    };
    if (!sel.HasSelection(s)) return p(sel.Caret);
    return p(sel.Anchor) + "-" + p(sel.Caret);
}

struct TFindStep {
    const char* Text;
    TSearchTypes Options;
    const char* Expected;  // the selection afterwards
};

struct TFindCase {
    const char* Name;
    const char* Memo;  // UTF-8, lines joined with LF
    int Wrap;
    TSelPoint Caret;
    std::vector<TFindStep> Steps;
};

TEST(FindTextTest, DirectionsAndSelections) {
    const std::vector<TFindCase> cases = {
        {"F3 twice, then Shift+F3",
         "abc x abc\nabc",
         0,
         {2, 0},
         {{"abc", {stSelect}, "(7,0)-(10,0)"},
          {"abc", {stSelect}, "(1,1)-(4,1)"},
          {"abc", {stSelect, stBack}, "(10,0)-(7,0)"}}},
        {"case toggle",
         "x ABC abc",
         0,
         {1, 0},
         {{"abc", {stSelect}, "(3,0)-(6,0)"}, {"abc", {stSelect, stMatchCase}, "(7,0)-(10,0)"}}},
        {"nothing after the last: the selection goes",
         "abc\nx",
         0,
         {1, 1},
         {{"abc", {stSelect}, "(1,1)"}}},
        {"upward: the last match ending before the caret",
         "aaaa",
         0,
         {4, 0},
         {{"aa", {stSelect, stBack}, "(4,0)-(2,0)"}}},
        {"a backslash never matches inside a double-byte character",
         "ソ表\\",
         0,
         {6, 0},
         {{"\\", {stSelect, stBack}, "(6,0)-(5,0)"}, {"\\", {stSelect, stBack}, "(5,0)"}}},
        {"a selection that is not the text is searched itself",
         "xabcx",
         0,
         {1, 0},
         {{"x", {stSelect}, "(1,0)-(2,0)"}, {"abc", {stSelect}, "(2,0)-(5,0)"}}},
        {"not in the hanging-indent copy",
         "> ab ab ab ab",
         10,
         {2, 0},
         {{">", {stSelect}, "(2,0)"}, {">", {stSelect, stBack}, "(2,0)-(1,0)"}}},
        {"without stSelect the caret stays and the selection goes",
         "ab ab",
         0,
         {2, 0},
         {{"ab", {}, "(2,0)"}}},
        {"stAriaSelect extends from the anchor",
         "ab ab",
         0,
         {1, 0},
         {{"ab", {stAriaSelect}, "(1,0)-(3,0)"}, {"ab", {stAriaSelect}, "(1,0)-(6,0)"}}},
    };
    for (const TFindCase& c : cases) {
        TUMemoEditor e;
        test::Setup(e, {.Wrap = c.Wrap}, Lines(c.Memo));
        e.Strings().Selection().SetCaret(e.Strings(), c.Caret, TSelMode::smNone);
        for (std::size_t i = 0; i < c.Steps.size(); ++i) {
            FindText(e, J(c.Steps[i].Text), c.Steps[i].Options);
            EXPECT_EQ(Sel(e.Strings()), c.Steps[i].Expected) << c.Name << " step " << i;
        }
    }
}

TEST(FindTextTest, SelectSetsTheHighlightAndAnEmptyTextDoesNothing) {
    TUMemoEditor e;
    test::Setup(e, {}, Lines("abc"));
    std::string reported = "none";
    e.OnSetFindText = [&](std::string_view text, TSearchTypes) { reported = text; };
    EXPECT_EQ(FindText(e, "", {stSelect}), (TSelPoint{-1, -1}));
    EXPECT_EQ(reported, "none");
    EXPECT_EQ(FindText(e, "zz", {stSelect}), (TSelPoint{-1, -1}));
    EXPECT_EQ(reported, "zz");
    EXPECT_EQ(e.FindText(), "zz");
    EXPECT_EQ(FindText(e, "c", {}), (TSelPoint{3, 0}));
    EXPECT_EQ(e.FindText(), "zz");
    EXPECT_FALSE(e.Modified());
}

struct TReplaceCase {
    const char* Name;
    const char* Memo;
    int Wrap;
    const char* Find;
    const char* Replace;
    bool MatchCase;
    int Count;
    const char* Expected;
    TSelPoint Caret;
};

TEST(FindTextTest, ReplaceAllIsOneUndoStep) {
    const std::vector<TReplaceCase> cases = {
        {"three", "1+abc\nabc*2\nx=abc", 0, "abc", "7", true, 3, "1+7\n7*2\nx=7", {4, 2}},
        {"case", "Ab ab AB", 0, "ab", "c", false, 3, "c c c", {6, 0}},
        {"match case", "Ab ab AB", 0, "ab", "c", true, 1, "Ab c AB", {5, 0}},
        {"no overlaps", "aaaaa", 0, "aa", "b", true, 2, "bba", {3, 0}},
        {"double-byte", "ソ\\表", 0, "\\", "/", true, 1, "ソ/表", {4, 0}},
        {"line break", "a;b", 0, ";", "\r\n", true, 1, "a\nb", {1, 1}},
        {"wrapped line", "x abcdef abcdef", 6, "abcdef", "1", true, 2, "x 1 1", {6, 0}},
        {"to nothing", "ab\nab", 0, "ab", "", true, 2, "\n", {1, 1}},
        {"none", "xyz", 0, "q", "r", true, 0, "xyz", {1, 0}},
    };
    for (const TReplaceCase& c : cases) {
        TUMemoEditor e;
        test::Setup(e, {.Wrap = c.Wrap}, Lines(c.Memo));
        const std::string before = Text(e.Strings());
        const TReplaceAllResult r = ReplaceAllText(e, J(c.Find), J(c.Replace), c.MatchCase);
        EXPECT_EQ(r.Count, c.Count) << c.Name;
        EXPECT_EQ(Text(e.Strings()), c.Expected) << c.Name;
        EXPECT_EQ(e.Strings().Selection().Caret, c.Caret) << c.Name;
        EXPECT_EQ(e.Strings().CheckRows(true), "") << c.Name;
        if (c.Count == 0) {
            EXPECT_FALSE(e.CanUndo()) << c.Name;
            continue;
        }
        EXPECT_TRUE(e.Undo()) << c.Name;
        EXPECT_EQ(Text(e.Strings()), before) << c.Name;
        EXPECT_FALSE(e.CanUndo()) << c.Name;
    }
}

TEST(FindTextTest, ReplaceAllStopsWhenAskedAndKeepsTheWorkDone) {
    TUMemoEditor e;
    std::string memo;
    for (int i = 0; i < 1000; ++i)
        memo += "a\r\n";
    test::Setup(e, {}, memo);
    int asked = 0;
    const TReplaceAllResult r = ReplaceAllText(e, "a", "b", true, [&](std::int64_t count) {
        ++asked;
        return count >= 256;
    });
    EXPECT_TRUE(r.Stopped);
    EXPECT_EQ(r.Count, 256);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(e.Strings().Get(255), "b");
    EXPECT_EQ(e.Strings().Get(256), "a");
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Strings().Get(0), "a");
}

struct TReplaceFoundCase {
    const char* Name;
    const char* Replace;
    bool Backward;
    const char* Expected;
    TSelPoint Caret;
};

TEST(FindTextTest, ReplaceFoundTextPutsTheCaretAtTheReplacementUpward) {
    const std::vector<TReplaceFoundCase> cases = {
        {"down", "xyz", false, "1 xyz 2", {6, 0}},
        {"up", "xyz", true, "1 xyz 2", {3, 0}},
        {"up with a line break", "x\r\ny", true, "1 x\ny 2", {3, 0}},
        {"up into a wrapped row", "。。。。", true, "1 。。。。 2", {3, 0}},
    };
    for (const TReplaceFoundCase& c : cases) {
        TUMemoEditor e;
        test::Setup(e, {.Wrap = 12}, Lines("1 ab 2"));
        e.Strings().Selection().SelectStream(e.Strings(), {3, 0}, {5, 0});
        EXPECT_FALSE(ReplaceFoundText(e, "zz", J(c.Replace), true, c.Backward)) << c.Name;
        EXPECT_FALSE(ReplaceFoundText(e, "AB", J(c.Replace), true, c.Backward)) << c.Name;
        EXPECT_TRUE(ReplaceFoundText(e, "AB", J(c.Replace), false, c.Backward)) << c.Name;
        EXPECT_EQ(Text(e.Strings()), c.Expected) << c.Name;
        EXPECT_EQ(LineOffsetOfPoint(e.Strings(), e.Strings().Selection().Caret),
                  LineOffsetOfPoint(e.Strings(), c.Caret))
            << c.Name;
        if (c.Backward) {
            // The next upward search does not find the inserted text again.
            EXPECT_EQ(FindText(e, J(c.Replace), {stSelect, stBack}).Y, -1) << c.Name;
        }
    }
}

TEST(FindTextTest, ReplaceInSelectionTouchesOnlyTheSelection) {
    TUMemoEditor e;
    test::Setup(e, {}, Lines("a a\na a\na a"));
    e.Strings().Selection().SelectStream(e.Strings(), {3, 0}, {2, 1});
    EXPECT_EQ(ReplaceInSelection(e, "a", "b", true), 2);
    EXPECT_EQ(Text(e.Strings()), "a b\nb a\na a");
    EXPECT_EQ(ReplaceInSelection(e, "q", "b", true), 0);
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(Text(e.Strings()), "a a\na a\na a");
}

}  // namespace
}  // namespace rekna::test
