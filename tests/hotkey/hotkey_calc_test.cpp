// Tests of the hot-key sequence against a fake editor that understands Home, End, Up, Down,
// Right, Shift, Ctrl+C and Ctrl+V the way a desktop text editor does.
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
    int Slept = 0;
    std::function<void()> DuringWait;

    TWindowIdentity ActiveWindow() override { return Window; }
    TModifierKeys Modifiers() override { return Keys; }
    void SetClipboard(const std::string& text) override {
        FClipboard = text;
        FOurs = true;
    }
    std::optional<std::string> WaitForClipboard(int timeoutMs) override {
        if (DuringWait) DuringWait();
        if (FOurs) {
            Slept += timeoutMs;
            return std::nullopt;
        }
        return FClipboard;
    }
    void ProcessEvents() override {}
    void Sleep(int ms) override { Slept += ms; }

    void SendKey(THotKeyKey key, bool down) override {
        using K = THotKeyKey;
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
                                                 "Up", "Down", "Right", "c", "v"};
        if (!Log.empty()) Log += ' ';
        Log += std::string(ctrl ? "C-" : "") + (shift ? "S-" : "") + kNames[static_cast<int>(key)];
        switch (key) {
        case K::hkHome: Move(ctrl ? 0 : LineStart(FCaret), shift); break;
        case K::hkEnd: Move(ctrl ? FText.size() : LineEnd(FCaret), shift); break;
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
    void Move(std::size_t to, bool extend) {
        FCaret = to;
        if (!extend) FAnchor = to;
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
        {"a\n1+|2\nb", kLeftCtrl, "333333", "155355", "L3afpad", "a\n1+2 ＝ 3\n|b",
         "C-c Home S-End S-Right C-c C-v", O::hoWritten},
        {"a\n1+2 ＝ |3\nb", kLeftCtrlShift, "333333", "155355", "L3afpad", "a\n1+2\n|b",
         "C-c Home S-End S-Right C-c C-v", O::hoWritten},
        // The last row has no line break to take; one is written after it.
        {"a\n1+|2", kLeftCtrl, "333333", "155355", "L3afpad", "a\n1+2 ＝ 3\n|",
         "C-c Home S-End S-Right C-c C-v", O::hoWritten},
        {"a\n|", kLeftCtrl, "333333", "155355", "L3afpad", "a\n|", "C-c Home S-End S-Right C-c",
         O::hoNothingTaken},
        {"a\n1+|2", kLeftCtrl, "333333", "155355", "XTerm", "a\n1+|2", "", O::hoNoTarget},
        {"a\n1+|2", kLeftCtrl, "333333", "055355", "L3afpad", "a\n1+|2", "", O::hoNothingToDo},
        {"a\n1+|2", kLeftCtrl, "033333", "155355", "L3afpad", "a\n1+|2", "", O::hoNothingToDo},
        {"a\n1+|2", kLeftCtrl, "133333", "155355", "L3afpad", "a\n1+|2", "C-c", O::hoNothingTaken},
        {"a\n^1+|2", kLeftCtrl, "233333", "155355", "L3afpad", "a\n1+2 ＝ 3\n|",
         "Home S-End S-Right C-c C-v", O::hoWritten},
        // Automatic: a selection within a line is replaced, lines and caret rows written after.
        {"x=^1+2| y", kLeftCtrl, "333333", "455355", "L3afpad", "x=3| y", "C-c C-v", O::hoWritten},
        {"^1+2\n3*4|", kLeftCtrl, "333333", "455355", "L3afpad", "1+2 ＝ 3\n3*4 ＝ 12|", "C-c C-v",
         O::hoWritten},
        {"1+|2\n", kLeftCtrl, "333333", "455355", "L3afpad", "1+2 ＝ 3\n|",
         "C-c Home S-End S-Right C-c C-v", O::hoWritten},
        {"^1+2|", kLeftCtrl, "333333", "255355", "L3afpad", "1+2 = 3|", "C-c C-v", O::hoWritten},
        {"^1+2 ＝ 5|", kLeftCtrl, "333333", "155355", "L3afpad", "1+2 ＝ 3|", "C-c C-v",
         O::hoWritten},
        // A spreadsheet hands out cells: no row selection, no last empty line written back.
        {"^1+2\t3*4\n|", kLeftCtrl, "333333", "155355", "libreoffice-calc", "1+2 ＝ 3\t3*4 ＝ 12|",
         "C-c C-v", O::hoWritten},
        {"1+|2", kLeftCtrl, "333333", "155355", "libreoffice-calc", "1+|2", "C-c",
         O::hoNothingTaken},
        // An office document: the row without its paragraph end, pasted back without one.
        {"a\n1+|2\nb", kLeftCtrl, "333333", "155355", "libreoffice-writer", "a\n1+2 ＝ 3|\nb",
         "C-c Home S-End C-c C-v", O::hoWritten},
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
    EXPECT_EQ(inner, std::vector<THotKeyOutcome>(2, THotKeyOutcome::hoBusy));
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
