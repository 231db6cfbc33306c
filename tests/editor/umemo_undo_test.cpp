// Tests of the undo list and of undo and redo through the editor: groups, views, the wrap width,
// enabling, the redo list's lifetime, the changed range and the undo-state events.
#include "editor/undo/undo_list.h"
#include "editor_helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace rekna {
namespace {

using test::J;
using test::State;
using test::Text;

TEST(UndoList, GroupsEnablingAndReplaying) {
    TUndoList list;
    auto row = [](std::int32_t r) {
        return TUndoListItem::RowRecord(TUndoKind::ukChanged, r, "t", false, 0);
    };
    list.Add(row(0));
    list.NewGroup();
    list.Add(row(1));
    list.Add(row(2));
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.At(0).Group, 0);
    EXPECT_EQ(list.At(2).Group, 1);
    EXPECT_EQ(list.Peek()->Row, 2);
    EXPECT_EQ(list.Pop()->Row, 2);
    EXPECT_EQ(list.Count(), 2u);

    // Nothing is recorded, and no group starts, while replaying or disabled.
    list.SetReplaying(true);
    list.Add(row(9));
    list.NewGroup();
    list.SetReplaying(false);
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Group(), 1);
    list.SetEnabled(false);
    EXPECT_TRUE(list.Empty()) << "disabling clears";
    list.Add(row(9));
    list.NewGroup();
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(list.Group(), 0);
    list.SetEnabled(true);
    list.NewGroup();
    list.Add(row(3));
    EXPECT_EQ(list.Peek()->Group, 1);
    list.Clear();
    EXPECT_EQ(list.Group(), 0);
    EXPECT_FALSE(list.Pop().has_value());
}

// A key in a long row is recorded as the bytes it changed, not as the row; undo and redo
// still give back every state, whether the change is at the end, in the middle or at the start.
TEST(Undo, KeysInALongRowKeepOnlyWhatChanged) {
    TUMemoEditor e;
    std::string row;
    for (int i = 0; i < 1000; ++i)
        row += J("ab;あ(1)");
    test::Setup(e, {}, row);
    std::vector<std::string> states{Text(e.Strings())};
    for (const std::int32_t x : {static_cast<std::int32_t>(row.size()) + 1, 5001, 1, 5001}) {
        e.Strings().Selection().SetCaret(e.Strings(), {x, 0}, TSelMode::smNone);
        e.InsertAtCaret("[");
        states.push_back(Text(e.Strings()));
        e.BackSpace(false);
        e.BackSpace(false);
        states.push_back(Text(e.Strings()));
    }
    const TUndoList& undo = e.History().UndoList();
    std::size_t kept = 0;
    for (std::size_t k = 0; k < undo.Count(); ++k)
        kept += undo.At(k).Text.size();
    EXPECT_LT(kept, 100u) << "a long row is not copied into every record";
    for (std::size_t k = states.size() - 1; k-- > 0;) {
        // A state may lie one or two steps back (each Backspace is a step of its own).
        for (int step = 0; step < 3 && Text(e.Strings()) != states[k]; ++step)
            ASSERT_TRUE(e.Undo());
        EXPECT_EQ(Text(e.Strings()), states[k]) << k;
    }
    EXPECT_FALSE(e.Undo());
    while (e.Redo()) {}
    EXPECT_EQ(Text(e.Strings()), states.back());
}

// Random splices of short and long rows, into and next to Tabs and double-byte characters: the
// row holds what a whole put would give, its width and Tab summary are what a fresh walk gives,
// the edit generations tell where it changed, and undo and redo give back every state.
TEST(Undo, SplicesAgreeWithAWholePutAndTakeBackExactly) {
    const std::string pool[] = {"a", "\t", J("あ"), "\x82", "(", "  "};
    for (const std::int32_t tabStops : {1, 3, 8}) {
        for (const std::size_t length : {40u, 6000u}) {
            std::mt19937 rng(static_cast<unsigned>(tabStops * 131 + static_cast<int>(length)));
            auto pick = [&](std::size_t n) {
                return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
            };
            auto piece = [&](std::size_t bytes) {
                std::string out;
                while (out.size() < bytes)
                    out += pool[pick(std::size(pool))];
                return out;
            };
            TUMemoEditor e;
            test::Setup(e, {}, piece(length));
            TUMemoStrings& s = e.Strings();
            s.SetTabStops(tabStops);
            std::vector<std::string> states{s.Get(0)};
            for (int step = 0; step < 60; ++step) {
                const std::string before = s.Get(0);
                const TEditStamp stamp = s.EditStamp();
                const auto pos = static_cast<std::int32_t>(1 + pick(before.size() + 1));
                const auto count = static_cast<std::int32_t>(pick(4));
                const std::string bytes = piece(pick(3));
                std::string expected = before;
                expected.replace(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(count),
                                 bytes);
                {
                    const TEditGroup group(s, true);
                    s.Splice(0, pos, count, bytes);
                }
                ASSERT_EQ(s.Get(0), expected) << step;
                ASSERT_EQ(s.CheckRows(false), "") << step;
                ASSERT_EQ(s.SameSince(stamp, 0),
                          expected == before ? expected.size() : static_cast<std::size_t>(pos - 1));
                states.push_back(expected);
            }
            for (std::size_t k = states.size() - 1; k-- > 0;) {
                ASSERT_TRUE(e.Undo());
                ASSERT_EQ(s.Get(0), states[k]) << k;
                ASSERT_EQ(s.CheckRows(false), "") << k;
            }
            while (e.Redo()) {}
            EXPECT_EQ(s.Get(0), states.back());
            EXPECT_EQ(s.CheckRows(false), "");
        }
    }
}

// Typing "abc" one key at a time: each undo takes one character back and puts the caret where it
// stood before that key.
TEST(Undo, EachKeystrokeIsOneStep) {
    TUMemoEditor e;
    test::Setup(e, {}, "xy");
    e.Strings().Selection().SetCaret(e.Strings(), {2, 0}, TSelMode::smNone);
    for (const char* key : {"a", "b", "c"})
        e.InsertAtCaret(key);
    EXPECT_EQ(Text(e.Strings()), "xabcy");
    struct TStep {
        const char* Text;
        std::int32_t CaretX;
    };
    const TStep steps[] = {{"xaby", 4}, {"xay", 3}, {"xy", 2}};
    for (const auto& step : steps) {
        ASSERT_TRUE(e.Undo());
        EXPECT_EQ(Text(e.Strings()), step.Text);
        EXPECT_EQ(e.Strings().Selection().Caret.X, step.CaretX);
    }
    EXPECT_FALSE(e.Undo());
    EXPECT_FALSE(e.CanUndo());
    EXPECT_TRUE(e.CanRedo());
}

TEST(Undo, APasteOfThreeLinesIsOneStepAndRedoEndsBehindIt) {
    TUMemoEditor e;
    TMemoryClipboard clipboard;
    e.SetClipboard(&clipboard);
    test::Setup(e, {}, "ab");
    e.Strings().Selection().SetCaret(e.Strings(), {2, 0}, TSelMode::smNone);
    clipboard.SetText("1\r\n2\r\n3");
    e.Paste();
    EXPECT_EQ(Text(e.Strings()), "a1\n2\n3b");
    const test::TEditorState after = State(e.Strings());
    EXPECT_EQ(after.Caret, (TSelPoint{2, 2}));
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(Text(e.Strings()), "ab");
    EXPECT_EQ(e.Strings().Selection().Caret, (TSelPoint{2, 0}));
    EXPECT_FALSE(e.CanUndo());
    ASSERT_TRUE(e.Redo());
    EXPECT_EQ(State(e.Strings()), after);
}

// A change of the wrap width is taken back row by row, with the scroll position, and the control
// switches its wrap mode to the restored width.
TEST(Undo, AWrapWidthChangeIsRestoredWithoutReflowing) {
    TUMemoEditor e;
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += std::string(static_cast<std::size_t>(20 + i * 3 % 70), 'a' + i % 26) + "\r\n";
    e.Wrap().SetWordWrap(TWordWrapType::wtCount);
    ASSERT_EQ(e.Strings().WrapColumns(), 60);
    test::LoadLines(e.Strings(), text);
    e.Strings().SetVisibleRows(20);
    e.Strings().SetTopRow(12);
    e.Strings().Selection().SetCaret(e.Strings(), {3, 15}, TSelMode::smNone);
    const test::TEditorState before = State(e.Strings());
    int changes = 0;
    e.Wrap().OnChangeWordWrap = [&] { ++changes; };

    e.Wrap().SetWordWrapWidth(30);
    const test::TEditorState after = State(e.Strings());
    ASSERT_NE(after.Rows, before.Rows);
    EXPECT_EQ(changes, 1);
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(State(e.Strings()), before);
    EXPECT_EQ(changes, 2) << "the restored width is announced";
    EXPECT_EQ(e.Wrap().WordWrap(), TWordWrapType::wtCount);
    EXPECT_EQ(e.Wrap().WordWrapWidth(), 60);
    EXPECT_EQ(e.Strings().CheckRows(true), "");
    ASSERT_TRUE(e.Redo());
    EXPECT_EQ(State(e.Strings()), after);
    EXPECT_EQ(e.Wrap().WordWrapWidth(), 30);
    EXPECT_EQ(e.Strings().SaveBytes(), text);

    // Wrapping switched off is restored as off.
    e.Wrap().SetWordWrap(TWordWrapType::wtNone);
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(e.Strings().WrapColumns(), 30);
    ASSERT_TRUE(e.Redo());
    EXPECT_EQ(e.Wrap().WordWrap(), TWordWrapType::wtNone);
}

TEST(Undo, SavingLoadingAndNewEditsEndTheHistory) {
    TUMemoEditor e;
    test::Setup(e, {}, "abc");
    const std::string name = (std::filesystem::temp_directory_path() /
                              ("rekna-undo-" + std::to_string(::getpid()) + ".txt"))
                                 .string();
    e.InsertAtCaret("x");
    EXPECT_TRUE(e.Modified());
    ASSERT_TRUE(e.Strings().SaveToFile(name).Ok());
    EXPECT_FALSE(e.CanUndo());
    EXPECT_FALSE(e.Modified());
    e.InsertAtCaret("y");
    EXPECT_TRUE(e.CanUndo());
    EXPECT_TRUE(e.Modified());

    // A new edit after an undo empties the redo list.
    ASSERT_TRUE(e.Undo());
    EXPECT_TRUE(e.CanRedo());
    e.InsertAtCaret("z");
    EXPECT_FALSE(e.CanRedo());

    // Loading another document empties the redo list too: its items belong to other rows.
    ASSERT_TRUE(e.Undo());
    ASSERT_TRUE(e.CanRedo());
    ASSERT_TRUE(e.Strings().LoadFile(name, false).Ok());
    EXPECT_FALSE(e.CanRedo());
    EXPECT_FALSE(e.CanUndo());
    EXPECT_FALSE(e.Redo());
    EXPECT_EQ(Text(e.Strings()), "xabc");
    std::remove(name.c_str());
}

TEST(Undo, ReadOnlyRefusesEditsAndEmptiesTheLists) {
    TUMemoEditor e;
    TMemoryClipboard clipboard;
    e.SetClipboard(&clipboard);
    test::Setup(e, {}, "abc\r\ndef");
    e.InsertAtCaret("1");
    e.InsertAtCaret("2");
    ASSERT_TRUE(e.Undo());
    e.SetReadOnly(true);
    EXPECT_FALSE(e.CanUndo());
    EXPECT_FALSE(e.CanRedo());
    EXPECT_FALSE(e.Undo());
    EXPECT_FALSE(e.Redo());
    const std::string text = e.Strings().GetTextStr();
    e.Strings().Selection().SelectRows(e.Strings(), 0, 0);
    e.InsertAtCaret("x");
    e.NewLine(false);
    e.BackSpace(false);
    e.DeleteChar(false);
    e.TabKey(false);
    e.Cut();  // copies only
    clipboard.SetText("pasted");
    e.Paste();
    e.BoxPaste();
    e.DeleteSel();
    EXPECT_EQ(e.Strings().GetTextStr(), text);
    EXPECT_EQ(clipboard.GetText(), std::optional<std::string>("pasted"));
    e.Copy(false);
    EXPECT_EQ(clipboard.GetText(), std::optional<std::string>("1abc\r\n"));
    e.SetReadOnly(false);
    e.InsertAtCaret("x");
    EXPECT_TRUE(e.CanUndo());
}

// During the notifications of an undo the changed range spans the rows it touched; the frame
// recalculates those lines.
TEST(Undo, TheChangedRangeSpansTheRowsTouched) {
    TUMemoEditor e;
    test::Setup(e, {}, "a\r\nb\r\nc\r\nd\r\ne\r\nf");
    TUMemoStrings& s = e.Strings();
    s.Selection().SelectStream(s, {1, 1}, {2, 3});
    e.InsertAtCaret("x");
    ASSERT_EQ(Text(s), "a\nx\ne\nf");
    std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
    s.OnEditEnd = [&](TEditEnd) { ranges.emplace_back(s.ChangedFrom(), s.ChangedTo()); };
    s.Selection().SetCaret(s, {1, 3}, TSelMode::smNone);
    ASSERT_TRUE(e.Undo());
    ASSERT_EQ(ranges.size(), 1u) << "one notification per undo";
    // The three restored rows b, c and d (rows 1 to 3) lie in the range.
    EXPECT_LE(ranges[0].first, 1);
    EXPECT_GE(ranges[0].second, 3);
    EXPECT_LT(ranges[0].second, s.GetCount());
    EXPECT_EQ(Text(s), "a\nb\nc\nd\ne\nf");
    EXPECT_EQ(s.ChangedFrom(), s.Selection().Start().Y) << "reset after the notifications";
}

TEST(Undo, UndoStateEventsFireOncePerChange) {
    TUMemoEditor e;
    test::Setup(e, {}, "abc");
    std::vector<std::string> events;
    auto log = [&](const char* name) {
        return [&events, name](bool u, bool r) {
            events.push_back(std::string(name) + (u ? " U" : " -") + (r ? "R" : "-"));
        };
    };
    e.OnUndoChange = log("change");
    e.OnUndoChanged = log("changed");
    // The widget reports at both moments after every edit group.
    auto notify = [&] {
        e.ReportUndoState(TUndoReport::urBeforePaint);
        e.ReportUndoState(TUndoReport::urAfterPaint);
    };
    e.InsertAtCaret("1");
    notify();
    e.InsertAtCaret("2");
    notify();
    e.Undo();
    notify();
    e.Undo();
    notify();
    const std::vector<std::string> expected = {"change U-",  "changed U-", "change UR",
                                               "changed UR", "change -R",  "changed -R"};
    EXPECT_EQ(events, expected);
    e.ClearUndo();
    EXPECT_EQ(events.size(), expected.size()) << "nothing left to undo already";
}

// A batch update of the host (a text command over the whole memo) is one step.
TEST(Undo, ABatchUpdateIsOneStep) {
    TUMemoEditor e;
    test::Setup(e, {}, "a\r\nb");
    TUMemoStrings& s = e.Strings();
    s.Selection().SetCaret(s, {2, 1}, TSelMode::smNone);
    s.BeginUpdate();
    s.SetTextStr("x\r\ny\r\nz");
    s.Put(0, "X");
    s.EndUpdate();
    ASSERT_EQ(Text(s), "X\ny\nz");
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(Text(s), "a\nb");
    EXPECT_EQ(s.Selection().Caret, (TSelPoint{2, 1}));
    EXPECT_FALSE(e.CanUndo());
}

// Items recorded by the host outside a user edit join the group before them; an undo of items
// without view records leaves no selection. Items that no longer fit the store are skipped.
TEST(Undo, HostChangesAndItemsThatNoLongerFit) {
    TUMemoEditor e;
    test::Setup(e, {}, "a\r\nb\r\nc");
    TUMemoStrings& s = e.Strings();
    s.Put(1, "B");
    s.Insert(3, "d");
    s.Selection().SelectRows(s, 0, 1);
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(Text(s), "a\nb\nc");
    EXPECT_EQ(s.Selection().Mode, TSelMode::smNone);

    s.Selection().SetCaret(s, {1, 2}, TSelMode::smNone);
    e.InsertAtCaret("x");
    e.NewLine(false);
    // Rows taken away behind the recorder's back.
    s.ReplayDelete(3);
    s.ReplayDelete(2);
    ASSERT_TRUE(e.Undo());
    EXPECT_EQ(s.CheckRows(false), "");
    EXPECT_TRUE(s.Selection().Caret.Y < s.GetCount());
    ASSERT_TRUE(e.Undo());
    ASSERT_TRUE(e.Redo());
    EXPECT_EQ(s.CheckRows(false), "");
}

}  // namespace
}  // namespace rekna
