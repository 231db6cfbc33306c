// Tests of the key and character bindings, of the editor performing them, and of the order of
// the notifications that follow every edit.
#include "editor_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace rekna {
namespace {

using test::J;
using test::Lines;
using test::Text;
using C = TKeyCommand;

constexpr TShiftState kPlain{};
constexpr TShiftState kShift{true, false, false};
constexpr TShiftState kCtrl{false, true, false};
constexpr TShiftState kShiftCtrl{true, true, false};
constexpr TShiftState kAlt{false, false, true};
constexpr TShiftState kShiftAlt{true, false, true};

TEST(KeyDownActionTest, TheBindingsOfTheTable) {
    struct TCase {
        TKey Key;
        TShiftState Shift;
        bool Popup;
        TKeyCommand Command;
    };
    const TCase cases[] = {
        {TKey::kyUp, kCtrl, false, C::kcScrollUp},
        {TKey::kyDown, kCtrl, false, C::kcScrollDown},
        {TKey::kyLeft, kAlt, false, C::kcRuled},
        {TKey::kyDown, kShiftAlt, false, C::kcRuled},
        {TKey::kyInsert, kPlain, false, C::kcToggleInsert},
        {TKey::kyInsert, kShift, false, C::kcPaste},
        {TKey::kyInsert, kCtrl, false, C::kcCopy},
        {TKey::kyDelete, kPlain, false, C::kcDeleteChar},
        {TKey::kyDelete, kShift, false, C::kcCut},
        {TKey::kyDelete, kCtrl, false, C::kcCut},
        {TKey::kyDelete, kShiftCtrl, false, C::kcDeleteToRowEnd},
        {TKey::kyDelete, kAlt, false, C::kcUndo},
        {TKey::kyBackspace, kAlt, false, C::kcUndo},
        {TKey::kyBackspace, kPlain, false, C::kcNone},  // a typed character
        {TKey::kyClear, kPlain, false, C::kcToggleInsert},
        {TKey::kyHome, kAlt, false, C::kcNone},
        // While the popup is open.
        {TKey::kyUp, kPlain, true, C::kcPopupPrevious},
        {TKey::kyDown, kPlain, true, C::kcPopupNext},
        {TKey::kyHome, kShift, true, C::kcClosePopup},
        {TKey::kyPageDown, kPlain, true, C::kcClosePopup},
        {TKey::kyClear, kPlain, true, C::kcClosePopup},
        {TKey::kyLeft, kPlain, true, C::kcMove},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(KeyDownAction(c.Key, c.Shift, c.Popup).Command, c.Command)
            << static_cast<int>(c.Key) << " shift " << c.Shift.Shift << c.Shift.Ctrl << c.Shift.Alt
            << " popup " << c.Popup;
    }
}

TEST(KeyDownActionTest, MovesTakeTheirSelectionModeFromShiftAndCtrl) {
    struct TCase {
        TKey Key;
        TShiftState Shift;
        TCaretMove Move;
        TSelMode Mode;
        bool IgnoreIndent;
    };
    using M = TCaretMove;
    const TCase cases[] = {
        {TKey::kyLeft, kPlain, M::mvLeft, TSelMode::smNone, false},
        {TKey::kyRight, kShift, M::mvRight, TSelMode::smStream, false},
        {TKey::kyRight, kCtrl, M::mvRight, TSelMode::smNone, true},
        {TKey::kyDown, kShiftCtrl, M::mvDown, TSelMode::smBox, true},
        {TKey::kyHome, kPlain, M::mvHome, TSelMode::smNone, false},
        {TKey::kyHome, kCtrl, M::mvDocStart, TSelMode::smNone, true},
        {TKey::kyHome, kShiftCtrl, M::mvDocStart, TSelMode::smBox, true},
        {TKey::kyEnd, kShift, M::mvEnd, TSelMode::smStream, false},
        {TKey::kyEnd, kCtrl, M::mvDocEnd, TSelMode::smNone, true},
        {TKey::kyPageUp, kCtrl, M::mvPageUp, TSelMode::smNone, true},
        {TKey::kyPageDown, kShiftCtrl, M::mvPageDown, TSelMode::smBox, true},
    };
    for (const TCase& c : cases) {
        const TKeyAction a = KeyDownAction(c.Key, c.Shift, false);
        EXPECT_EQ(a.Command, C::kcMove) << static_cast<int>(c.Key);
        EXPECT_EQ(a.Move, c.Move) << static_cast<int>(c.Key);
        EXPECT_EQ(a.Mode, c.Mode) << static_cast<int>(c.Key);
        EXPECT_EQ(a.IgnoreIndent, c.IgnoreIndent) << static_cast<int>(c.Key);
    }
    const TKeyAction erase = KeyDownAction(TKey::kyUp, kShiftAlt, false);
    EXPECT_EQ(erase.Direction, TRuleDirection::rdUp);
    EXPECT_FALSE(erase.Draw);
}

TEST(CharActionTest, TheCharacterBindings) {
    struct TCase {
        std::uint32_t Code;
        TShiftState Shift;
        bool Popup;
        bool Composing;
        bool ReadOnly;
        TKeyCommand Command;
    };
    const TCase cases[] = {
        {CtrlCode('A'), kCtrl, false, false, true, C::kcSelectAll},
        {CtrlCode('C'), kShiftCtrl, false, false, true, C::kcFormattedCopy},
        {kCharEscape, kPlain, false, false, true, C::kcEscape},
        {'a', kPlain, false, false, true, C::kcSwallow},
        {CtrlCode('V'), kCtrl, false, false, true, C::kcSwallow},
        {'a', kPlain, false, false, false, C::kcType},
        {'a', kShift, true, false, false, C::kcType},
        {kCharBackspace, kAlt, false, false, false, C::kcUndo},
        {kCharBackspace, kShift, false, false, false, C::kcBackSpace},
        {kCharTab, kShift, false, false, false, C::kcTab},
        {kCharTab, kPlain, true, false, false, C::kcAcceptPopup},
        {kCharReturn, kPlain, false, false, false, C::kcNewLine},
        {kCharLineFeed, kCtrl, false, false, false, C::kcNewLine},
        {kCharReturn, kPlain, true, false, false, C::kcAcceptPopup},
        {CtrlCode('V'), kCtrl, false, false, false, C::kcPaste},
        {CtrlCode('X'), kCtrl, false, false, false, C::kcCut},
        {CtrlCode('Y'), kCtrl, false, false, false, C::kcRedo},
        {CtrlCode('Z'), kCtrl, false, false, false, C::kcUndo},
        {CtrlCode('Z'), kShiftCtrl, false, false, false, C::kcRedo},
        {kCharSpace, kCtrl, false, false, false, C::kcOpenPopup},
        {kCharSpace, kPlain, true, false, false, C::kcClosePopup},
        {kCharSpace, kPlain, false, false, false, C::kcType},
        {CtrlCode('Q'), kCtrl, false, false, false, C::kcSwallow},
        {CtrlCode('Q'), kCtrl, false, true, false, C::kcNone},
        {'1', kCtrl, false, false, false, C::kcSwallow},
        {0x7F, kCtrl, false, false, false, C::kcSwallow},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(CharAction(c.Code, c.Shift, c.Popup, c.Composing, c.ReadOnly).Command, c.Command)
            << c.Code << " popup " << c.Popup << " read-only " << c.ReadOnly;
    }
    EXPECT_TRUE(CharAction(kCharBackspace, kPlain, true, false, false).RefillPopup);
    EXPECT_TRUE(CharAction(kCharBackspace, kShift, false, false, false).Shift);
}

// An editor whose edits run the notification sequence, logging the events by name.
class TNotifyTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::LoadLines(E.Strings(), Lines("abc\ndef\nghi\njkl"));
        E.SetViewSize(2, 10);
        E.Strings().OnEditEnd = [this](TEditEnd end) {
            E.Notify(end, [this] { Log.push_back("paint"); });
        };
        const auto log = [this](const char* name) { return [this, name] { Log.push_back(name); }; };
        E.OnChange = log("Change");
        E.OnChanged = log("Changed");
        E.OnUndoChange = [this](bool, bool) { Log.push_back("UndoChange"); };
        E.OnUndoChanged = [this](bool, bool) { Log.push_back("UndoChanged"); };
        E.OnMoveCaretRow = log("MoveCaretRow");
        E.OnMoveCaretCol = log("MoveCaretCol");
        E.OnMovedCaretRow = log("MovedCaretRow");
        E.OnMovedCaretCol = log("MovedCaretCol");
        E.OnSelect = log("Select");
        E.OnDisSelect = log("DisSelect");
        E.OnSelected = log("Selected");
        E.OnDisSelected = log("DisSelected");
        E.OnVScroll = log("VScroll");
        E.OnHScroll = log("HScroll");
        E.OnVScrolled = log("VScrolled");
        E.OnHScrolled = log("HScrolled");
        E.OnAddCrLf = log("AddCrLf");
        E.OnStatusChange = log("StatusChange");
    }
    std::string Take() {
        std::string out;
        for (const std::string& s : Log)
            out += (out.empty() ? "" : " ") + s;
        Log.clear();
        return out;
    }

    TUMemoEditor E;
    std::vector<std::string> Log;
};

TEST_F(TNotifyTest, EveryEditEndsWithTheEventsInTheirOrder) {
    E.TypeChar('x', "x", kPlain, false);
    EXPECT_EQ(Take(), "Change UndoChange MoveCaretCol paint Changed UndoChanged MovedCaretCol");
    // Undo state unchanged: no undo events.
    E.TypeChar('y', "y", kPlain, false);
    EXPECT_EQ(Take(), "Change MoveCaretCol paint Changed MovedCaretCol");
    E.KeyDown(TKey::kyDown, kShift);
    EXPECT_EQ(Take(), "MoveCaretRow Select paint MovedCaretRow Selected");
    E.KeyDown(TKey::kyRight, kShift);
    EXPECT_EQ(Take(), "MoveCaretCol paint MovedCaretCol");
    E.KeyDown(TKey::kyDown, kPlain);
    EXPECT_EQ(Take(), "MoveCaretRow DisSelect VScroll paint MovedCaretRow DisSelected VScrolled");
    E.KeyDown(TKey::kyUp, kCtrl);
    EXPECT_EQ(Take(), "VScroll paint VScrolled");
    // Enter: OnAddCrLf before the new line exists.
    E.TypeChar(kCharReturn, {}, kPlain, false);
    EXPECT_EQ(Take(), "AddCrLf Change MoveCaretRow VScroll paint Changed MovedCaretRow VScrolled");
    E.KeyDown(TKey::kyInsert, kPlain);
    EXPECT_EQ(Take(), "StatusChange");
    // A key that changes nothing notifies nothing but the repaint.
    E.KeyDown(TKey::kyEnd, kPlain);
    E.KeyDown(TKey::kyEnd, kPlain);
    EXPECT_EQ(Take(), "paint paint");
}

TEST_F(TNotifyTest, UndoAndRedoThroughTheKeysReportTheUndoState) {
    E.TypeChar('x', "x", kPlain, false);
    Take();
    E.TypeChar(CtrlCode('Z'), {}, kCtrl, false);
    EXPECT_EQ(Take(), "Change UndoChange MoveCaretCol paint Changed UndoChanged MovedCaretCol");
    EXPECT_EQ(Text(E.Strings()), "abc\ndef\nghi\njkl");
    E.TypeChar(CtrlCode('Y'), {}, kCtrl, false);
    EXPECT_EQ(Text(E.Strings()), "xabc\ndef\nghi\njkl");
    E.KeyDown(TKey::kyBackspace, kAlt);
    EXPECT_EQ(Text(E.Strings()), "abc\ndef\nghi\njkl");
    E.KeyDown(TKey::kyDelete, kAlt);
    EXPECT_FALSE(E.CanUndo());
}

TEST_F(TNotifyTest, ABatchLeavesOutOnChangeTheMovedCaretAndTheScrolledEvents) {
    E.Strings().BeginUpdate();
    E.InsertAtCaret("x");
    E.MoveCaret(TCaretMove::mvDocEnd, TSelMode::smStream, false);
    EXPECT_EQ(Take(), "");
    E.Strings().EndUpdate();
    EXPECT_EQ(Take(), "UndoChange MoveCaretRow Select VScroll paint Changed UndoChanged Selected");
    // The skipped events compare with what they last reported and fire with the next edit.
    E.KeyDown(TKey::kyLeft, kShift);
    EXPECT_EQ(Take(), "MoveCaretCol paint MovedCaretRow VScrolled");
}

TEST_F(TNotifyTest, EscapeDropsTheSelectionThenTheFindText) {
    std::vector<std::string> found;
    E.OnSetFindText = [&](std::string_view text, TSearchTypes) { found.emplace_back(text); };
    E.SetFindState("abc", {TSearchType::stWord});
    E.KeyDown(TKey::kyRight, kShift);
    Take();
    E.TypeChar(kCharEscape, {}, kPlain, false);
    EXPECT_EQ(Take(), "DisSelect paint DisSelected");
    EXPECT_EQ(E.FindText(), "abc");
    EXPECT_TRUE(found.empty());
    // Dropping a selection is no undo step.
    EXPECT_FALSE(E.CanUndo());
    E.TypeChar(kCharEscape, {}, kPlain, false);
    EXPECT_EQ(E.FindText(), "");
    EXPECT_EQ(found, std::vector<std::string>{""});
}

TEST_F(TNotifyTest, AReadOnlyEditorMovesAndCopiesButNeverEdits) {
    TMemoryClipboard clipboard;
    E.SetClipboard(&clipboard);
    E.SetReadOnly(true);
    E.KeyDown(TKey::kyRight, kShift);
    E.TypeChar(CtrlCode('C'), {}, kCtrl, false);
    EXPECT_EQ(clipboard.GetText(), "a");
    for (const std::uint32_t code :
         {std::uint32_t{'z'}, kCharReturn, kCharBackspace, kCharTab, CtrlCode('V'), CtrlCode('X')})
        EXPECT_TRUE(E.TypeChar(code, "z", kPlain, false));
    E.KeyDown(TKey::kyDelete, kPlain);
    E.Ruled(TRuleDirection::rdRight, true);
    EXPECT_EQ(Text(E.Strings()), "abc\ndef\nghi\njkl");
    EXPECT_EQ(Log.end(), std::find(Log.begin(), Log.end(), "AddCrLf"));
}

// A popup that records what the editor asks of it.
class TPopupLog final : public TCompletionPopup {
public:
    [[nodiscard]] bool IsOpen() const override { return Opened; }
    void Open(bool members) override {
        Opened = true;
        Calls += members ? "open-members " : "open ";
    }
    bool Close(bool accept) override {
        const bool was = Opened;
        Opened = false;
        Calls += accept ? "accept " : "close ";
        return was;
    }
    void MoveSelection(int delta) override { Calls += delta < 0 ? "up " : "down "; }
    void Refill() override { Calls += "refill "; }

    bool Opened = false;
    std::string Calls;
};

TEST_F(TNotifyTest, TheCompletionPopupGetsItsKeys) {
    TPopupLog popup;
    E.SetCompletion(&popup);
    E.TypeChar(kCharSpace, " ", kCtrl, false);
    E.KeyDown(TKey::kyDown, kPlain);
    E.TypeChar('q', "q", kPlain, false);
    E.KeyDown(TKey::kyLeft, kPlain);
    E.TypeChar(kCharReturn, {}, kPlain, false);
    EXPECT_EQ(popup.Calls, "open down refill refill accept ");
    EXPECT_EQ(Text(E.Strings()).substr(0, 4), "qabc");  // Enter did not make a new line
    popup.Calls.clear();
    E.TypeChar(kCharSpace, " ", kCtrl, false);
    E.TypeChar(kCharSpace, " ", kPlain, false);
    E.KeyDown(TKey::kyHome, kPlain);
    EXPECT_EQ(popup.Calls, "open close ");
    // "." after a letter opens the member list in a script, not in the memo.
    popup.Calls.clear();
    E.TypeChar('.', ".", kPlain, false);
    E.SetFileType(TFileType::ftJScript);
    E.TypeChar('.', ".", kPlain, false);
    EXPECT_EQ(popup.Calls, "");
    E.KeyDown(TKey::kyEnd, kPlain);
    E.TypeChar('.', ".", kPlain, false);
    EXPECT_EQ(popup.Calls, "open-members ");
    E.TypeChar('a', "a", kPlain, false);
    EXPECT_EQ(popup.Calls, "open-members refill ");
    // Without InputAssist, or read-only, Ctrl+Space opens nothing.
    popup.Opened = false;
    popup.Calls.clear();
    E.SetInputAssist(false);
    E.TypeChar(kCharSpace, " ", kCtrl, false);
    EXPECT_EQ(popup.Calls, "");
    E.SetCompletion(nullptr);
}

TEST(StrToExtendedTest, APlainDecimalNumberOrZeroThenTheEvent) {
    TUMemoEditor e;
    struct TCase {
        const char* Text;
        long double Value;
    };
    const TCase cases[] = {
        {"12.5", 12.5L}, {" -3 ", -3.0L}, {"+2e3", 2000.0L}, {"1k", 0},
        {"", 0},         {"--1", 0},      {"1,5", 0},        {"abc", 0},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(e.StrToExtended(c.Text), c.Value) << c.Text;
    e.OnStrToExtended = [](std::string_view text, long double& value) {
        if (text == "1k") value = 1000;
    };
    EXPECT_EQ(e.StrToExtended("1k"), 1000.0L);
    EXPECT_EQ(e.StrToExtended("7"), 7.0L);
}

// Seeded random keys, characters, clicks and drags at small wrap widths and tab stops: the rows
// stay wrapped exactly as a fresh wrap cuts them, the caret stays on the text, and undoing every
// step gives back the original text. Ruled lines wrap with AutoIndent off, so a line they touched
// may keep rows without a hanging indent until it is next edited: with them the rows are only
// checked to be consistent.
TEST(RandomInputTest, KeysAndClicksKeepTheRowsConsistent) {
    const TKey keys[] = {TKey::kyLeft,   TKey::kyRight,  TKey::kyUp,       TKey::kyDown,
                         TKey::kyHome,   TKey::kyEnd,    TKey::kyPageUp,   TKey::kyPageDown,
                         TKey::kyInsert, TKey::kyDelete, TKey::kyBackspace};
    const std::vector<std::string> typed = {"a",     "(",    "[",     ">",     " ", "1", ".",
                                            J("あ"), J("ｶ"), J("「"), J("。"), "/", "*", "e"};
    for (const auto& [wrap, tabs, seed, ruled] :
         {std::tuple{10, 4, 1u, false}, std::tuple{12, 3, 2u, false}, std::tuple{0, 8, 3u, true},
          std::tuple{10, 4, 4u, true}}) {
        TUMemoEditor e;
        TMemoryClipboard clipboard;
        e.SetClipboard(&clipboard);
        test::Setup(e, {wrap, tabs, true, true},
                    Lines("    (a+b)*3 ;注釈\n  >12.5\n#Fix\nあいうえおかきくけこ\n\tx"));
        e.Strings().SetAutoKakko(true);
        e.Strings().SetDoubleKana(true);
        e.SetViewSize(4, 12);
        const std::string original = e.Strings().GetTextStr();
        std::mt19937 rng(seed);
        const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        for (int step = 0; step < 3000; ++step) {
            const TShiftState shift{pick(3) == 0, pick(4) == 0, ruled && pick(8) == 0};
            const std::string rowsBefore = test::Dump(e.Strings());
            const TSelPoint caretBefore = e.Strings().Selection().Caret;
            std::string what;
            switch (pick(6)) {
            case 0:
            case 1: {
                const TKey key = keys[pick(static_cast<int>(std::size(keys)))];
                what = "key " + std::to_string(static_cast<int>(key));
                e.KeyDown(key, shift);
                break;
            }
            case 2: {
                const std::string& t =
                    typed[static_cast<std::size_t>(pick(static_cast<int>(typed.size())))];
                what = "type " + test::U(t);
                e.TypeChar(static_cast<unsigned char>(t[0]) < 0x80
                               ? static_cast<std::uint32_t>(t[0])
                               : 0x3042u,
                           t, {}, false);
                break;
            }
            case 3: {
                const auto code = static_cast<std::uint32_t>(pick(32));
                what = "char " + std::to_string(code);
                e.TypeChar(code, {}, shift, false);
                break;
            }
            case 4: {
                const TPointerCell at{pick(e.Strings().GetCount() + 2) - 1, pick(30) * 0.5 - 2,
                                      pick(6) == 0};
                what = "click";
                const TMouseMode mode = e.MouseDown(at, shift);
                e.MouseDrag(mode, {pick(e.Strings().GetCount() + 2), pick(30) * 0.5, false});
                break;
            }
            default:
                what = "brackets";
                if (pick(2) == 0) {
                    e.DoubleClick({pick(e.Strings().GetCount() + 1), pick(30) * 0.5, false}, shift,
                                  nullptr);
                } else if (pick(2) == 0) {
                    e.DeleteBrackets();
                } else {
                    e.SelectBracket(pick(2) == 0);
                }
            }
            what += " shift " + std::to_string(shift.Shift) + std::to_string(shift.Ctrl) +
                    std::to_string(shift.Alt) + " on " + rowsBefore + " at " +
                    std::to_string(caretBefore.X) + "," + std::to_string(caretBefore.Y) +
                    " gives " + test::Dump(e.Strings());
            const TUMemoStrings& s = e.Strings();
            ASSERT_EQ(s.CheckRows(wrap > 0 && !ruled), "")
                << "seed " << seed << " step " << step << ": " << what;
            const TSelPoint caret = s.Selection().Caret;
            ASSERT_TRUE(s.GetCount() == 0 ||
                        (caret.Y >= 0 && caret.Y < s.GetCount() && caret.X >= 1 &&
                         caret.X <= static_cast<std::int32_t>(s.Get(caret.Y).size()) + 1))
                << "seed " << seed << " step " << step;
        }
        EXPECT_TRUE(e.CanUndo());
        while (e.Undo()) {}
        EXPECT_EQ(e.Strings().GetTextStr(), original) << "seed " << seed;
    }
}

}  // namespace
}  // namespace rekna
