// Tests of the hot-key sequence against a fake editor that understands Home, End, Up, Down,
// Left, Right, Shift, Ctrl+C and Ctrl+V the way a desktop text editor does, also one that wraps
// long lines into screen rows.
#include "hotkey/hotkey_calc.h"

#include <gtest/gtest.h>

#include "engine/vt_calc.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

// The engine answering in the general format, as the main window sets it.
struct TGeneralEngine {
    test::TNumberGuard Guard;
    TVtCalc Calc;
    TGeneralEngine() { Calc.SetAnsFormat(TAnsFormat::afNon); }
};

// The editor's text carries its caret as "|" and, with a selection, its anchor as "^".
class TFakeEditor : public THotKeyDesktop {
public:
    explicit TFakeEditor(std::string_view marked) {
        for (const char c : marked) {
            if (c == '|') {
                FCaret = FText.size();
            } else if (c == '^') {
                FAnchor = FText.size();
                FHasAnchor = true;
            } else {
                FText += c;
            }
        }
        if (!FHasAnchor) FAnchor = FCaret;
    }

    [[nodiscard]] std::string Marked() const {
        std::string out;
        for (std::size_t i = 0; i <= FText.size(); ++i) {
            if (i == FAnchor && FAnchor != FCaret) out += '^';
            if (i == FCaret) out += '|';
            if (i < FText.size()) out += FText[i];
        }
        return out;
    }

    TWindowIdentity Window{7, "l3afpad", "L3afpad", "memo.txt"};
    TModifierKeys Keys;
    std::string Log;
    // Milliseconds waited for a copy that did not come.
    int Waited = 0;
    std::function<void()> DuringWait;
    // Bytes per screen row of a line (0: no wrapping); Home, End and Shift+End move by screen row.
    std::size_t WrapWidth = 0;
    // Home stops at a line's first non-blank first, at its start from there.
    bool SmartHome = false;
    // The desktop sees the editor answer keys and tells whether it holds a selection; HintWrong:
    // it says no selection whatever the editor holds.
    bool Answers = false;
    bool HintWrong = false;

    TWindowIdentity ActiveWindow() override { return Window; }
    TModifierKeys Modifiers() override { return Keys; }
    void SetClipboard(const std::string& text) override {
        FClipboard = text;
        FOurs = true;
    }
    std::optional<std::string> WaitForClipboard(int timeoutMs) override {
        if (DuringWait) DuringWait();
        const bool answered = FAnswered;
        FWatching = FAnswered = false;
        if (!FOurs) return FClipboard;
        if (!answered) Waited += timeoutMs;
        return std::nullopt;
    }
    bool MayHoldSelection() override { return !Answers || (!HintWrong && FAnchor != FCaret); }
    bool WatchKeyAnswer() override {
        FWatching = Answers;
        FAnswered = false;
        return Answers;
    }
    void ProcessEvents() override {}
    // The user lets the held keys go after this many waits.
    int ReleaseAfterSleeps = -1;
    // The user still held a key when the first key was sent.
    bool SentWhileHeld = false;
    void Sleep(int) override {
        if (ReleaseAfterSleeps >= 0 && ReleaseAfterSleeps-- == 0) Keys = {};
    }

    void SendKey(THotKeyKey key, bool down) override {
        using K = THotKeyKey;
        if (Log.empty() && ReleaseAfterSleeps >= 0) SentWhileHeld = true;
        switch (key) {
        case K::hkCtrlLeft: Keys.LeftCtrl = down; return;
        case K::hkCtrlRight: Keys.RightCtrl = down; return;
        case K::hkShiftLeft: Keys.LeftShift = down; return;
        case K::hkShiftRight: Keys.RightShift = down; return;
        default: break;
        }
        if (!down) return;
        const bool ctrl = Keys.LeftCtrl || Keys.RightCtrl;
        const bool shift = Keys.LeftShift || Keys.RightShift;
        static constexpr const char* kNames[] = {"",   "",     "",      "",  "Home", "End",
                                                 "Up", "Down", "Right", "c", "v",    "Left"};
        if (!Log.empty()) Log += ' ';
        Log += std::string(ctrl ? "C-" : "") + (shift ? "S-" : "") + kNames[static_cast<int>(key)];
        switch (key) {
        case K::hkHome: Move(ctrl ? 0 : RowStart(FCaret), shift); break;
        case K::hkEnd: Move(ctrl ? FText.size() : RowEnd(FCaret), shift); break;
        case K::hkDown: {
            const std::size_t end = LineEnd(FCaret);
            if (end == FText.size()) {
                Move(end, shift);
            } else {
                Move(std::min(end + 1 + FCaret - LineStart(FCaret), LineEnd(end + 1)), shift);
            }
            break;
        }
        case K::hkUp: {
            const std::size_t start = LineStart(FCaret);
            if (start == 0) {
                Move(0, shift);
            } else {
                const std::size_t above = LineStart(start - 1);
                Move(std::min(above + FCaret - start, start - 1), shift);
            }
            break;
        }
        case K::hkLeft:
            if (!shift && FAnchor != FCaret) {
                Move(std::min(FAnchor, FCaret), false);
            } else if (FCaret > 0) {
                std::size_t before = FCaret - 1;
                while (before > 0 && (FText[before] & 0xC0) == 0x80)
                    --before;
                Move(before, shift);
            }
            break;
        case K::hkRight:
            if (!shift && FAnchor != FCaret) {
                Move(std::max(FAnchor, FCaret), false);
            } else if (FCaret < FText.size()) {
                std::size_t next = FCaret + 1;
                while (next < FText.size() && (FText[next] & 0xC0) == 0x80)
                    ++next;
                Move(next, shift);
            }
            break;
        case K::hkC:
            if (!ctrl) {
                Type("c");
            } else if (FAnchor != FCaret) {
                FClipboard = FText.substr(std::min(FAnchor, FCaret),
                                          std::max(FAnchor, FCaret) - std::min(FAnchor, FCaret));
                FOurs = false;
            }
            break;
        case K::hkV: Type(ctrl ? FClipboard : "v"); break;
        default: break;
        }
    }

private:
    std::size_t LineStart(std::size_t pos) const {
        const std::size_t nl = pos == 0 ? std::string::npos : FText.rfind('\n', pos - 1);
        return nl == std::string::npos ? 0 : nl + 1;
    }
    std::size_t LineEnd(std::size_t pos) const {
        const std::size_t nl = FText.find('\n', pos);
        return nl == std::string::npos ? FText.size() : nl;
    }
    // Where the caret's screen row starts and ends.
    std::size_t RowStart(std::size_t pos) const {
        const std::size_t line = LineStart(pos);
        std::size_t start = WrapWidth == 0 ? line : line + (pos - line) / WrapWidth * WrapWidth;
        if (SmartHome) {
            std::size_t text = start;
            while (text < LineEnd(start) && FText[text] == ' ')
                ++text;
            if (pos != text) start = text;
        }
        return start;
    }
    std::size_t RowEnd(std::size_t pos) const {
        const std::size_t end = LineEnd(pos);
        if (WrapWidth == 0) return end;
        const std::size_t line = LineStart(pos);
        return std::min(end, line + ((pos - line) / WrapWidth + 1) * WrapWidth);
    }
    void Move(std::size_t to, bool extend) {
        FCaret = to;
        if (!extend) FAnchor = to;
        if (extend && FWatching && FAnchor != FCaret) FAnswered = true;
    }
    void Type(const std::string& text) {
        const std::size_t from = std::min(FAnchor, FCaret);
        FText.replace(from, std::max(FAnchor, FCaret) - from, text);
        FCaret = FAnchor = from + text.size();
    }

    std::string FText;
    std::size_t FCaret = 0;
    std::size_t FAnchor = 0;
    bool FHasAnchor = false;
    std::string FClipboard;
    bool FOurs = false;
    bool FWatching = false;
    bool FAnswered = false;
};

THotKeyCellCalculator EngineOf(TVtCalc& calc) {
    return [&calc](const std::string& cell, const std::string&) {
        calc.CalcLine(cell, true, true, true);
        return std::pair{calc.Data(), calc.AnswerText()};
    };
}

constexpr TModifierKeys kLeftCtrl{.LeftCtrl = true};
constexpr TModifierKeys kRightCtrl{.RightCtrl = true};
constexpr TModifierKeys kLeftCtrlShift{.LeftShift = true, .LeftCtrl = true};

TEST(HotKeyCalc, TakesCalculatesAndPastesBack) {
    using O = THotKeyOutcome;
    struct TRow {
        const char* Start;
        TModifierKeys Held;
        const char* Targets;
        const char* Actions;
        const char* Class;
        const char* Expected;
        const char* Keys;
        O Outcome;
    };
    const TRow rows[] = {
        {"a\n^1+2|\nb", kLeftCtrl, "333333", "155355", "L3afpad", "a\n1+2 ＝ 3|\nb", "C-c C-v",
         O::hoWritten},
        {"a\n^1+2|\nb", kRightCtrl, "333333", "155355", "L3afpad", "a\n3|\nb", "C-c C-v",
         O::hoWritten},
        // No selection: the caret row with its line break, so the next row stays where it was.
        // The character before the row is copied first: a line break, so the row starts a line.
        {"a\n1+|2\nb", kLeftCtrl, "333333", "155355", "L3afpad", "a\n1+2 ＝ 3\n|b",
         "C-c Home S-Left C-c S-Right S-End S-Right C-c C-v", O::hoWritten},
        {"a\n1+2 ＝ |3\nb", kLeftCtrlShift, "333333", "155355", "L3afpad", "a\n1+2\n|b",
         "C-c Home S-Left C-c S-Right S-End S-Right C-c C-v", O::hoWritten},
        // The last row has no line break to take: Shift+Right selects no more, so it ends the
        // document; a line break is written after it.
        {"a\n1+|2", kLeftCtrl, "333333", "155355", "L3afpad", "a\n1+2 ＝ 3\n|",
         "C-c Home S-Left C-c S-Right S-End S-Right C-c S-Right C-c C-v", O::hoWritten},
        {"a\n|", kLeftCtrl, "333333", "155355", "L3afpad", "a\n|",
         "C-c Home S-Left C-c S-Right S-End S-Right C-c", O::hoNothingTaken},
        {"a\n1+|2", kLeftCtrl, "333333", "155355", "XTerm", "a\n1+|2", "", O::hoNoTarget},
        {"a\n1+|2", kLeftCtrl, "333333", "055355", "L3afpad", "a\n1+|2", "", O::hoNothingToDo},
        {"a\n1+|2", kLeftCtrl, "033333", "155355", "L3afpad", "a\n1+|2", "", O::hoNothingToDo},
        {"a\n1+|2", kLeftCtrl, "133333", "155355", "L3afpad", "a\n1+|2", "C-c", O::hoNothingTaken},
        {"a\n^1+|2", kLeftCtrl, "233333", "155355", "L3afpad", "a\n1+2 ＝ 3\n|",
         "Home S-Left C-c S-Right S-End S-Right C-c S-Right C-c C-v", O::hoWritten},
        // Automatic: a selection within a line is replaced, lines and caret rows written after.
        {"x=^1+2| y", kLeftCtrl, "333333", "455355", "L3afpad", "x=3| y", "C-c C-v", O::hoWritten},
        {"^1+2\n3*4|", kLeftCtrl, "333333", "455355", "L3afpad", "1+2 ＝ 3\n3*4 ＝ 12|", "C-c C-v",
         O::hoWritten},
        // Nothing before the row: the document's start.
        {"1+|2\n", kLeftCtrl, "333333", "455355", "L3afpad", "1+2 ＝ 3\n|",
         "C-c Home S-Left C-c S-End S-Right C-c C-v", O::hoWritten},
        {"^1+2|", kLeftCtrl, "333333", "255355", "L3afpad", "1+2 = 3|", "C-c C-v", O::hoWritten},
        {"^1+2 ＝ 5|", kLeftCtrl, "333333", "155355", "L3afpad", "1+2 ＝ 3|", "C-c C-v",
         O::hoWritten},
        // A spreadsheet hands out cells: no row selection, no last empty line written back.
        {"^1+2\t3*4\n|", kLeftCtrl, "333333", "155355", "libreoffice-calc", "1+2 ＝ 3\t3*4 ＝ 12|",
         "C-c C-v", O::hoWritten},
        {"1+|2", kLeftCtrl, "333333", "155355", "libreoffice-calc", "1+|2", "C-c",
         O::hoNothingTaken},
        // An office document: the row without its paragraph end, which Shift+Right shows to be
        // there; pasted back without it.
        {"a\n1+|2\nb", kLeftCtrl, "333333", "155355", "libreoffice-writer", "a\n1+2 ＝ 3|\nb",
         "C-c Home S-Left C-c S-Right S-End C-c S-Right C-c S-Left C-v", O::hoWritten},
        // Text that cannot be carried without loss leaves the editor as it was.
        {"^1+2\xff|", kLeftCtrl, "333333", "155355", "L3afpad", "^1+2\xff|", "C-c",
         O::hoNotConvertible},
    };
    for (const TRow& r : rows) {
        TGeneralEngine engine;
        TVtCalc& calc = engine.Calc;
        TFakeEditor editor(r.Start);
        editor.Window.Class = r.Class;
        editor.Keys = r.Held;
        THotKeyCalc hot(editor);
        THotKeyRequest request;
        request.Held = r.Held;
        request.Targets = r.Targets;
        request.Actions = r.Actions;
        const THotKeyResult result = hot.ExternalCalc(request, EngineOf(calc));
        EXPECT_EQ(editor.Marked(), r.Expected) << r.Start;
        EXPECT_EQ(editor.Log, r.Keys) << r.Start;
        EXPECT_EQ(result.Outcome, r.Outcome) << r.Start;
        // Once keys were sent the user's Ctrl is let go: the next keys typed are plain keys.
        EXPECT_EQ(editor.Keys, editor.Log.empty() ? r.Held : TModifierKeys{}) << r.Start;
        EXPECT_FALSE(hot.Busy());
    }
}

// Rows of a line the editor wraps, and rows whose Home stops at the first non-blank: only a whole
// line is calculated, or nothing is written.
TEST(HotKeyCalc, OnlyAWholeLineIsTakenAsTheCaretRow) {
    using O = THotKeyOutcome;
    struct TRow {
        const char* Start;
        std::size_t WrapWidth;
        bool SmartHome;
        const char* Expected;
        O Outcome;
    };
    const TRow rows[] = {
        // A line that fits its screen row.
        {"a\n1+|2\nb", 10, false, "a\n1+2 ＝ 3\n|b", O::hoWritten},
        // The first, a middle and the last screen row of a wrapped line, in the document's middle
        // and at its end: the caret is left at the row's start.
        {"a\n1+2+3+|4+5+6+7+8\nb", 10, false, "a\n|1+2+3+4+5+6+7+8\nb", O::hoRowWrapped},
        {"a\n1+2+3+4+5+6+|7+8+9+10+11+12\nb", 10, false, "a\n1+2+3+4+5+|6+7+8+9+10+11+12\nb",
         O::hoRowWrapped},
        {"a\n1+2+3+4+5+6+7+|8", 10, false, "a\n1+2+3+4+5+|6+7+8", O::hoRowWrapped},
        {"1+2+3+4+5+6+7+|8", 10, false, "1+2+3+4+5+|6+7+8", O::hoRowWrapped},
        // Wrapped where a blank ends the row above: a second Home stays, so it is no indent.
        {"a\n11 + 22 + |33\nb", 5, false, "a\n11 + 22 + |33\nb", O::hoRowWrapped},
        // An indented line whose Home stops at the first non-blank: a second Home takes its start.
        {"a\n  1+|2\nb", 0, true, "a\n  1+2 ＝ 3\n|b", O::hoWritten},
        {"  1+|2", 0, true, "  1+2 ＝ 3\n|", O::hoWritten},
    };
    for (const TRow& r : rows) {
        TGeneralEngine engine;
        TFakeEditor editor(r.Start);
        editor.WrapWidth = r.WrapWidth;
        editor.SmartHome = r.SmartHome;
        THotKeyCalc hot(editor);
        THotKeyRequest request;
        request.Held = kLeftCtrl;
        const THotKeyResult result = hot.ExternalCalc(request, EngineOf(engine.Calc));
        EXPECT_EQ(result.Outcome, r.Outcome) << r.Start;
        EXPECT_EQ(editor.Marked(), r.Expected) << r.Start;
        EXPECT_EQ(editor.Keys, TModifierKeys{}) << r.Start;
    }
}

// A desktop that sees the editor answer the keys after Ctrl+C never waits the clipboard's full
// time, and the answer keys leave the editor's selection as they found it.
TEST(HotKeyCalc, AnsweredKeysEndTheWaitForAnEmptyCopy) {
    using O = THotKeyOutcome;
    struct TRow {
        const char* Start;
        bool HintWrong;
        const char* Class;
        const char* Expected;
        O Outcome;
        int Waited;
    };
    const TRow rows[] = {
        {"a\n1+|2\nb", false, "L3afpad", "a\n1+2 ＝ 3\n|b", O::hoWritten, 0},
        {"|1+2\nb", false, "L3afpad", "1+2 ＝ 3\n|b", O::hoWritten, 0},
        {"a\n1+2|", false, "L3afpad", "a\n1+2 ＝ 3\n|", O::hoWritten, 0},
        {"\n|\n1+2", false, "L3afpad", "\n\n|1+2", O::hoWritten, 0},
        {"^1+2|\nb", false, "L3afpad", "1+2 ＝ 3|\nb", O::hoWritten, 0},
        // A selection the desktop did not see survives the answer keys, or nothing is written.
        {"^1+2|\nb", true, "L3afpad", "1+2 ＝ 3|\nb", O::hoWritten, 0},
        {"|1+2^\nb", true, "L3afpad", "1|+2^\nb", O::hoMoved, 0},
        // A spreadsheet gets none: Shift+Left and Shift+Right would select cells.
        {"|1+2^", true, "libreoffice-calc", "1+2 ＝ 3|", O::hoWritten, 0},
        // An empty document has nothing to answer with.
        {"|", false, "L3afpad", "|", O::hoNothingTaken, 3 * THotKeyCalc::kClipboardWait},
    };
    for (const TRow& r : rows) {
        TGeneralEngine engine;
        TFakeEditor editor(r.Start);
        editor.Window.Class = r.Class;
        editor.Answers = true;
        editor.HintWrong = r.HintWrong;
        THotKeyCalc hot(editor);
        THotKeyRequest request;
        request.Held = kLeftCtrl;
        const THotKeyResult result = hot.ExternalCalc(request, EngineOf(engine.Calc));
        EXPECT_EQ(result.Outcome, r.Outcome) << r.Start;
        EXPECT_EQ(editor.Marked(), r.Expected) << r.Start;
        EXPECT_EQ(editor.Waited, r.Waited) << r.Start;
    }
}

// Another window in front before the row is selected or before the paste: nothing is typed.
TEST(HotKeyCalc, NothingIsTypedIntoAnotherWindow) {
    for (const int changeAtWait : {1, 3}) {
        TGeneralEngine engine;
        TFakeEditor editor("a\n1+|2\nb");
        THotKeyCalc hot(editor);
        THotKeyRequest request;
        request.Held = kLeftCtrl;
        int waits = 0;
        editor.DuringWait = [&] {
            if (++waits == changeAtWait) editor.Window.Id = 8;
        };
        const THotKeyResult result = hot.ExternalCalc(request, EngineOf(engine.Calc));
        EXPECT_EQ(result.Outcome, THotKeyOutcome::hoMoved) << changeAtWait;
        EXPECT_EQ(editor.Log.find("C-v"), std::string::npos) << changeAtWait;
        EXPECT_EQ(editor.Log.find("Home"), changeAtWait == 1 ? std::string::npos : 4u);
        EXPECT_EQ(editor.Marked().find("＝"), std::string::npos) << changeAtWait;
    }
}

TEST(HotKeyCalc, TheUsersKeysAreLetGoBeforeKeysAreSent) {
    for (const bool continuous : {false, true}) {
        TGeneralEngine engine;
        TFakeEditor editor("a\n1+|2\nb");
        editor.Keys = kLeftCtrlShift;
        editor.ReleaseAfterSleeps = 3;
        THotKeyCalc hot(editor);
        THotKeyRequest request;
        request.Held = kLeftCtrl;
        request.ContinuousCtrl = continuous;
        EXPECT_EQ(hot.ExternalCalc(request, EngineOf(engine.Calc)).Outcome,
                  THotKeyOutcome::hoWritten);
        // Held on purpose, Ctrl stays down.
        EXPECT_EQ(editor.SentWhileHeld, continuous);
    }
}

TEST(HotKeyCalc, ContinuousCtrlKeepsTheHeldKeysForTheNextPress) {
    TGeneralEngine engine;
    TVtCalc& calc = engine.Calc;
    TFakeEditor editor("|1+2\n3*4\n");
    editor.Keys = kRightCtrl;
    THotKeyCalc hot(editor);
    THotKeyRequest request;
    request.Held = kLeftCtrl;
    request.ContinuousCtrl = true;
    hot.ExternalCalc(request, EngineOf(calc));
    EXPECT_EQ(editor.Keys, kRightCtrl);
    hot.ExternalCalc(request, EngineOf(calc));
    EXPECT_EQ(editor.Marked(), "1+2 ＝ 3\n3*4 ＝ 12\n|");
    EXPECT_EQ(editor.Keys, kRightCtrl);
}

TEST(HotKeyCalc, APressDuringTheClipboardWaitIsIgnored) {
    TGeneralEngine engine;
    TVtCalc& calc = engine.Calc;
    TFakeEditor editor("a\n1+|2\nb");
    THotKeyCalc hot(editor);
    THotKeyRequest request;
    request.Held = kLeftCtrl;
    std::vector<THotKeyOutcome> inner;
    editor.DuringWait = [&] { inner.push_back(hot.ExternalCalc(request, EngineOf(calc)).Outcome); };
    int begun = 0, ended = 0;
    hot.OnBegin = [&] { ++begun; };
    hot.OnEnd = [&] { ++ended; };
    EXPECT_EQ(hot.ExternalCalc(request, EngineOf(calc)).Outcome, THotKeyOutcome::hoWritten);
    EXPECT_EQ(editor.Marked(), "a\n1+2 ＝ 3\n|b");
    EXPECT_EQ(inner, std::vector<THotKeyOutcome>(3, THotKeyOutcome::hoBusy));
    EXPECT_EQ(begun, 1);
    EXPECT_EQ(ended, 1);
}

TEST(HotKeyCalc, EditorInformationGoesWithEveryCell) {
    TFakeEditor editor("^1+2\n3|");
    editor.Keys = kLeftCtrl;
    THotKeyCalc hot(editor);
    THotKeyRequest request;
    request.Held = kLeftCtrl;
    request.EditorInfo = true;
    std::vector<std::string> seen;
    hot.ExternalCalc(request, [&](const std::string& cell, const std::string& extra) {
        seen.push_back(cell + extra);
        return std::pair<std::string, std::string>{cell, "1"};
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"1+2\t[L3afpad][l3afpad];memo.txt",
                                              "3\t[L3afpad][l3afpad];memo.txt"}));
}

TEST(HotKeyCalc, ExtraTextCutsTheTitleOnACharacterBoundary) {
    // 255 bytes, then a double-byte character that would pass the 256th byte.
    const TWindowIdentity w{1, "i", "C", std::string(255, 'x') + "あ"};
    EXPECT_EQ(ExtraText(w), "\t[C][i];" + std::string(255, 'x'));
}

TEST(HotKeyCalc, AFailedCalculationPastesNothing) {
    TFakeEditor editor("^1+2|");
    THotKeyCalc hot(editor);
    THotKeyRequest request;
    request.Held = kLeftCtrl;
    bool ended = false;
    hot.OnEnd = [&] { ended = true; };
    const THotKeyResult r = hot.ExternalCalc(
        request, [](const std::string&, const std::string&) -> std::pair<std::string, std::string> {
            throw std::runtime_error("failed");
        });
    EXPECT_EQ(r.Outcome, THotKeyOutcome::hoFailed);
    EXPECT_EQ(r.Failure, "failed");  // said in the status line
    EXPECT_EQ(editor.Marked(), "^1+2|");
    EXPECT_TRUE(ended);
}

}  // namespace
}  // namespace rekna
