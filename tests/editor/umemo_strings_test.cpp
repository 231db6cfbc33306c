// Tests of the store's row interface, host data, edit groups and notifications, and the text
// property.
#include "editor/store/umemo_strings.h"
#include "store_helpers.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

using test::Dump;
using test::J;

TEST(UMemoStrings, RowInterface) {
    TUMemoStrings s;
    EXPECT_EQ(s.GetCount(), 0);
    EXPECT_EQ(s.Width(0), 0);
    EXPECT_EQ(s.Add("one"), 0);
    EXPECT_EQ(s.Add("three"), 1);
    EXPECT_TRUE(s.Insert(1, "two"));
    EXPECT_TRUE(s.Insert(3, "four"));
    EXPECT_EQ(Dump(s), "one|two|three|four");
    EXPECT_TRUE(s.Put(0, J("いち")));
    EXPECT_EQ(s.Width(0), 4);
    EXPECT_TRUE(s.Delete(2));
    EXPECT_EQ(Dump(s), "いち|two|four");
    EXPECT_TRUE(s.InsertRow(1, "a", true));
    EXPECT_EQ(Dump(s), "いち|a~two|four");
    EXPECT_TRUE(s.PutRow(1, "b", false));
    EXPECT_TRUE(s.SetContinued(0, true));
    EXPECT_EQ(Dump(s), "いち~b|two|four");
    EXPECT_EQ(s.LastError(), "");
}

// Out-of-range rows never raise: readers give empty rows, writers refuse, the error text names
// the row.
TEST(UMemoStrings, OutOfRangeRowsReportTheListIndexError) {
    TUMemoStrings s;
    s.Add("x");
    struct TCase {
        const char* What;
        std::function<bool(TUMemoStrings&)> Call;
        std::int32_t Row;
    };
    const TCase cases[] = {
        {"Get", [](TUMemoStrings& m) { return m.Get(5).empty(); }, 5},
        {"Put", [](TUMemoStrings& m) { return !m.Put(-1, "y"); }, -1},
        {"Insert", [](TUMemoStrings& m) { return !m.Insert(3, "y"); }, 3},
        {"Delete", [](TUMemoStrings& m) { return !m.Delete(1); }, 1},
        {"SetContinued", [](TUMemoStrings& m) { return !m.SetContinued(7, true); }, 7},
        {"Continued", [](TUMemoStrings& m) { return !m.Continued(2); }, 2},
        {"SetResult", [](TUMemoStrings& m) { return !m.SetResult(9, "1"); }, 9},
        {"Note", [](TUMemoStrings& m) { return m.Note(4).empty(); }, 4},
    };
    for (const auto& c : cases) {
        s.ClearLastError();
        EXPECT_TRUE(c.Call(s)) << c.What;
        EXPECT_EQ(s.LastError(),
                  J("リストのインデックスが範囲を超えています (") + std::to_string(c.Row) + ")")
            << c.What;
        EXPECT_EQ(Dump(s), "x") << c.What;
    }
    EXPECT_EQ(s.FirstRowOfLine(99), 0);
    EXPECT_EQ(s.LastRowOfLine(-5), 0);
}

TEST(UMemoStrings, HostDataAndMarks) {
    TUMemoStrings s;
    s.Add("a");
    EXPECT_EQ(s.RowMark(0), TRowMark::rmInserted);
    EXPECT_EQ(s.ResultMark(0), 1);
    s.SetResult(0, "42");
    EXPECT_EQ(s.ResultMark(0), 2);
    s.SetResultMark(0, 0);
    s.SetResult(0, "42");
    EXPECT_EQ(s.ResultMark(0), 0) << "an unchanged result keeps its mark";
    s.SetNote(0, "a=1");
    EXPECT_EQ(s.Note(0), "a=1");

    // Without CplxEnable a row has no value: reading gives zero, writing does nothing.
    EXPECT_TRUE(s.SetValue(0, TCplx(3)));
    EXPECT_EQ(s.Value(0), TCplx());
    s.SetCplxEnable(true);
    s.Add("b");
    EXPECT_TRUE(s.SetValue(1, TCplx(2, 5)));
    EXPECT_EQ(s.Value(1), TCplx(2, 5));

    // Each setter keeps the other parts; a whole answer is shared, and a row without a value
    // takes only its texts.
    s.SetNote(1, "b*2");
    s.SetResult(1, "2+5i");
    s.SetAnswer(1, TLineAnswer::Make(s.Note(1), s.Result(1), s.Value(1), "log"));
    s.SetNote(1, "b*3");
    EXPECT_EQ(s.Result(1), "2+5i");
    EXPECT_EQ(s.Value(1), TCplx(2, 5));
    EXPECT_EQ(s.Log(1), "log");
    const TLineAnswerRef shared = TLineAnswer::Make("n", "r", TCplx(9), "l");
    s.SetAnswer(1, shared);
    EXPECT_EQ(s.Answer(1).Get(), shared.Get());
    s.SetAnswer(0, shared);
    EXPECT_EQ(s.Value(0), TCplx());
    EXPECT_EQ(s.Note(0), "n");
    EXPECT_EQ(s.Log(0), "l");

    s.SetRowMark(0, TRowMark::rmNone);
    s.ClearChanged();
    s.SetRowMark(0, TRowMark::rmNone);
    EXPECT_FALSE(s.IsChanged());
    s.Put(0, "changed");
    EXPECT_EQ(s.RowMark(0), TRowMark::rmModified);
    EXPECT_TRUE(s.IsChanged());
    s.ClearChanged();
    s.Put(0, "changed");
    EXPECT_FALSE(s.IsChanged()) << "putting the same text changes nothing";
    s.SetRowMark(0, TRowMark::rmModified);
    EXPECT_TRUE(s.IsChanged());
}

TEST(UMemoStrings, MaxWidthFollowsInsertsChangesAndDeletes) {
    TUMemoStrings s;
    EXPECT_EQ(s.MaxWidth(), 0);
    s.Add("abc");
    s.Add(J("あいうえお"));
    s.Add("\t");
    EXPECT_EQ(s.MaxWidth(), 10);
    s.Put(1, "x");
    EXPECT_EQ(s.MaxWidth(), 8) << "the Tab row is now the widest";
    s.SetTabStops(2);
    s.Put(2, "\t\t");
    EXPECT_EQ(s.MaxWidth(), 4);
    s.Delete(2);
    EXPECT_EQ(s.MaxWidth(), 3);
    for (int i = 0; i < 2000; ++i)
        s.Add(std::string(static_cast<std::size_t>(i % 50), 'w'));
    EXPECT_EQ(s.MaxWidth(), 49);
    for (int i = s.GetCount() - 1; i >= 0; i -= 7)
        s.Delete(i);
    std::int32_t widest = 0;
    for (int r = 0; r < s.GetCount(); ++r)
        widest = std::max(widest, s.Width(r));
    EXPECT_EQ(s.MaxWidth(), widest);
    s.Clear();
    EXPECT_EQ(s.MaxWidth(), 0);
    EXPECT_EQ(s.CheckRows(false), "");
}

// What the edit generations tell of a row since one of them: the bytes before its last change,
// all of them when only other rows changed, nothing known once rows above it moved or more edits
// came than are kept.
TEST(UMemoStrings, SameSinceTellsWhatOfARowStayed) {
    const struct {
        const char* Name;
        void (*Edit)(TUMemoStrings&);
        std::optional<std::size_t> Same;
    } cases[] = {
        {"nothing", [](TUMemoStrings&) {}, 6},
        {"splice", [](TUMemoStrings& s) { s.Splice(1, 4, 1, "xy"); }, 3},
        {"two splices",
         [](TUMemoStrings& s) {
             s.Splice(1, 5, 0, "x");
             s.Splice(1, 2, 1, "");
         },
         1},
        {"put", [](TUMemoStrings& s) { s.Put(1, "abXdef"); }, 0},
        {"another row", [](TUMemoStrings& s) { s.Splice(0, 1, 0, "x"); }, 6},
        {"a row inserted below", [](TUMemoStrings& s) { s.Insert(2, "z"); }, 6},
        {"a row inserted above", [](TUMemoStrings& s) { s.Insert(0, "z"); }, std::nullopt},
        {"a row deleted above", [](TUMemoStrings& s) { s.Delete(0); }, std::nullopt},
        {"the rows loaded again", [](TUMemoStrings& s) { test::LoadLines(s, "r0\r\nabcdef"); },
         std::nullopt},
        {"more edits than kept",
         [](TUMemoStrings& s) {
             for (int k = 0; k < 20; ++k)
                 s.Splice(0, 1, k % 2, k % 2 == 0 ? "x" : "");
         },
         std::nullopt},
    };
    for (const auto& c : cases) {
        TUMemoStrings s;
        test::LoadLines(s, "r0\r\nabcdef\r\nr2");
        const TEditStamp stamp = s.EditStamp();
        c.Edit(s);
        EXPECT_EQ(s.SameSince(stamp, 1), c.Same) << c.Name;
    }
}

TEST(UMemoStrings, EditGroupsNestAndNotifyOnceAtTheOutermostEnd) {
    TUMemoStrings s;
    std::vector<TEditEnd> calls;
    s.OnEditEnd = [&](TEditEnd e) { calls.push_back(e); };
    s.BeginEdit(true);
    s.BeginEdit(false);
    s.Add("a");
    s.Add("b");
    s.EndEdit(false);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(s.InEdit());
    s.EndEdit(true);
    EXPECT_EQ(calls, std::vector<TEditEnd>{TEditEnd::eeEdit});
    s.EndEdit(true);  // unbalanced: ignored
    EXPECT_EQ(calls.size(), 1u);

    // A row operation outside a group notifies on its own.
    s.Put(0, "c");
    EXPECT_EQ(calls.size(), 2u);

    // A batch suspends the edit groups' notifications and ends with its own.
    s.BeginUpdate();
    s.BeginUpdate();
    s.Put(0, "d");
    s.BeginEdit(true);
    s.Delete(1);
    s.EndEdit(true);
    s.EndUpdate();
    EXPECT_EQ(calls.size(), 2u);
    s.EndUpdate();
    EXPECT_EQ(calls.back(), TEditEnd::eeBatch);
    EXPECT_EQ(calls.size(), 3u);
}

// The recorder sees groups, view records and row items in the order an undo list keeps them.
TEST(UMemoStrings, RecordingHooks) {
    TUMemoStrings s;
    test::TTestRecorder& rec = test::InstallRecorder(s);
    s.Add("a");
    s.Add("b");
    rec.ClearUndo();

    s.BeginEdit(true);
    s.Put(0, "x");
    s.Insert(1, "y");
    s.SetContinued(0, true);
    s.Delete(2);
    s.EndEdit(true);
    using K = TUndoKind;
    const std::vector<K> kinds = {K::ukView, K::ukChanged, K::ukInserted,
                                  K::ukFlag, K::ukDeleted, K::ukView};
    ASSERT_EQ(rec.Items.size(), kinds.size());
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(rec.Items[i].Kind, kinds[i]) << i;
        EXPECT_EQ(rec.Items[i].Group, 1) << i;
    }
    EXPECT_EQ(rec.Items[1].Text, "a");
    EXPECT_EQ(rec.Items[4].Text, "b");

    // Groups opened without recordState add to the current group; a batch opens a new one.
    s.BeginEdit(false);
    s.Put(0, "z");
    s.EndEdit(false);
    EXPECT_EQ(rec.Items.back().Group, 1);
    s.BeginUpdate();
    s.Put(0, "w");
    s.EndUpdate();
    EXPECT_EQ(rec.Items.back().Group, 2);
    EXPECT_EQ(rec.Items.back().Kind, K::ukView);

    // Taking the groups back restores the rows.
    ASSERT_TRUE(rec.TakeBack(s));
    EXPECT_EQ(Dump(s), "z~y");
    ASSERT_TRUE(rec.TakeBack(s));
    EXPECT_EQ(Dump(s), "a|b");
    EXPECT_FALSE(rec.TakeBack(s));

    // Clear empties the undo list first and records every deletion.
    s.Clear();
    EXPECT_EQ(rec.Items.size(), 2u);
    ASSERT_TRUE(rec.TakeBack(s));
    EXPECT_EQ(Dump(s), "a|b");
}

TEST(UMemoStrings, ChangedRangeStartsAtTheSelection) {
    TUMemoStrings s;
    for (const char* t : {"a", "b", "c", "d"})
        s.Add(t);
    s.Selection().Mode = TSelMode::smStream;
    s.Selection().Caret = {1, 3};
    s.Selection().Anchor = {1, 2};
    s.BeginEdit(true);
    EXPECT_EQ(s.ChangedFrom(), 2);
    s.SetChangedRange(1, 3);
    EXPECT_EQ(s.ChangedTo(), 3);
    s.EndEdit(true);
    EXPECT_EQ(s.ChangedFrom(), 2);
    EXPECT_EQ(s.ChangedTo(), 2);
}

struct TLineCase {
    std::int32_t Wrap;
    const char* Text;  // one logical line, UTF-8
};

// GetLine gives back what SetLine put, however the line wraps.
TEST(UMemoStrings, SetLineGetLineRoundTrips) {
    const TLineCase cases[] = {
        {10, "abcdefghijklmnopqrstuvwxyz"},
        {10, "    インデントのある長い行です。"},
        {7, "「かっこ」の中。。、です"},
        {11, "あいうえおかきくけこさしすせそ"},
        {4, "\t\tタブ\ttab"},
        {1, "a>b#c あ"},
        {0, "no wrap at all, however long the line is"},
        {20, ""},
    };
    for (const auto& c : cases) {
        for (std::int32_t tabs : {1, 4, 8}) {
            TUMemoStrings s;
            test::Configure(s, {c.Wrap, tabs, true, true});
            s.Add("B");
            s.Add("old");
            s.Add("C");
            test::Caret(s, 2, 1);
            s.SetLine(1, J(c.Text));
            const std::int32_t first = 1;
            const std::int32_t last = s.LastRowOfLine(first);
            EXPECT_EQ(s.GetLine(last), J(c.Text)) << c.Text << " tabs " << tabs;
            EXPECT_EQ(s.Get(last + 1), "C");
            EXPECT_EQ(s.Selection().Caret.Y, last) << "the caret goes to the line's end";
            EXPECT_EQ(s.Selection().Caret.X, static_cast<std::int32_t>(s.Get(last).size()) + 1);
            EXPECT_EQ(s.CheckRows(true), "") << c.Text;
            // Replacing the wrapped line again drops its old rows.
            s.SetLine(last, "short");
            EXPECT_EQ(s.GetTextStr(), "B\r\nshort\r\nC");
            EXPECT_EQ(s.CheckRows(true), "");
        }
    }
}

TEST(UMemoStrings, GetTextStrJoinsLogicalLinesWithoutTheHangingIndents) {
    TUMemoStrings s;
    test::Configure(s, {20, 8, true, true});
    s.SetTextStr("a\r\n    bbbbbbbbbbbbbbbbbbbbbbbbbbbb\r\nc");
    EXPECT_EQ(Dump(s), "a|    bbbbbbbbbbbbbbbbbbbbbbbbbbbb|c") << "SetTextStr does not re-wrap";
    s.Reflow(1);
    EXPECT_EQ(Dump(s), "a|    bbbbbbbbbbbbbbbb~    bbbbbbbbbbbb|c");
    EXPECT_EQ(s.GetTextStr(), "a\r\n    bbbbbbbbbbbbbbbbbbbbbbbbbbbb\r\nc");
    // Leaving out atSelect changes nothing: the copies never belong to the text.
    TAutoIndentTypes types;
    types.Exclude(TAutoIndentType::atSelect);
    s.SetAutoIndentTypes(types);
    EXPECT_EQ(s.GetTextStr(), "a\r\n    bbbbbbbbbbbbbbbbbbbbbbbbbbbb\r\nc");
    EXPECT_EQ(types.Bits(), 1 | 2 | 4 | 16);
}

struct TTextCase {
    const char* In;
    const char* Rows;
    const char* Out;
};

TEST(UMemoStrings, SetTextStrSplitsAtEveryLineEnd) {
    const TTextCase cases[] = {
        {"", "", ""},
        {"x", "x", "x"},
        {"x\r\ny", "x|y", "x\r\ny"},
        {"x\ry\nz", "x|y|z", "x\r\ny\r\nz"},
        {"x\r\n", "x|", "x\r\n"},
        {"x\r", "x|", "x\r\n"},
        {"\n\n", "||", "\r\n\r\n"},
        {"a\r\r\nb", "a||b", "a\r\n\r\nb"},
    };
    for (const auto& c : cases) {
        TUMemoStrings s;
        s.Add("old1");
        s.Add("old2");
        s.Add("old3");
        s.Add("old4");
        s.Selection().Caret = {3, 2};
        s.SetTopRow(2);
        s.SetTextStr(c.In);
        EXPECT_EQ(Dump(s), c.Rows) << c.In;
        EXPECT_EQ(s.GetTextStr(), c.Out) << c.In;
        EXPECT_EQ(s.Selection().Caret, (TSelPoint{1, 0}));
        EXPECT_EQ(s.TopRow(), 0);
    }
}

TEST(UMemoStrings, ClearResetsTheSelection) {
    TUMemoStrings s;
    s.Add("abc");
    s.Add("def");
    s.Selection().Mode = TSelMode::smStream;
    s.Selection().Caret = {3, 1};
    s.Clear();
    EXPECT_EQ(s.GetCount(), 0);
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{1, 0}));
    EXPECT_EQ(s.Selection().Mode, TSelMode::smNone);
    EXPECT_EQ(s.GetTextStr(), "");
}

TEST(UMemoSelection, NormalizeClampsAndLeavesSecondBytes) {
    TUMemoStrings s;
    s.Add(J("あい"));
    s.Add("ab");
    TUMemoSelection& sel = s.Selection();
    struct TCase {
        TSelMode Mode;
        TSelPoint Caret;
        TSelPoint Anchor;
        TSelMode ExpectedMode;
        TSelPoint ExpectedCaret;
        TSelPoint ExpectedAnchor;
    };
    const TCase cases[] = {
        {TSelMode::smNone, {2, 0}, {5, 1}, TSelMode::smNone, {1, 0}, {1, 0}},
        {TSelMode::smStream, {9, 7}, {4, 0}, TSelMode::smStream, {3, 1}, {3, 0}},
        {TSelMode::smStream, {2, 0}, {1, 0}, TSelMode::smNone, {1, 0}, {1, 0}},
        {TSelMode::smBox, {2, 1}, {2, 0}, TSelMode::smBox, {2, 1}, {1, 0}},
        {TSelMode::smLine, {1, -3}, {1, 0}, TSelMode::smLine, {1, 0}, {1, 0}},
    };
    for (const auto& c : cases) {
        sel.Mode = c.Mode;
        sel.Caret = c.Caret;
        sel.Anchor = c.Anchor;
        sel.Normalize(s);
        EXPECT_EQ(sel.Mode, c.ExpectedMode);
        EXPECT_EQ(sel.Caret, c.ExpectedCaret);
        EXPECT_EQ(sel.Anchor, c.ExpectedAnchor);
    }
    // A zero-width box over two rows is still a box, but selects nothing.
    sel.Mode = TSelMode::smBox;
    sel.Caret = {3, 0};
    sel.Anchor = {3, 1};
    sel.Normalize(s);
    EXPECT_EQ(sel.Mode, TSelMode::smBox);
    EXPECT_FALSE(sel.HasSelection(s));
    sel.Caret = {2, 1};
    EXPECT_TRUE(sel.HasSelection(s));

    TUMemoStrings empty;
    empty.Selection().Caret = {4, 4};
    empty.Selection().Normalize(empty);
    EXPECT_EQ(empty.Selection().Caret, (TSelPoint{1, 0}));
}

}  // namespace
}  // namespace rekna
