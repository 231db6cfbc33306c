// Tests of the hot keys' combination index and the editor profiles chosen by window class.
#include "hotkey/hotkey_tables.h"

#include <gtest/gtest.h>

namespace rekna {
namespace {

TEST(HotKeyTables, EveryCtrlShiftCombinationPicksItsDigit) {
    // Digits that name their own index, so a wrong index shows as the wrong digit.
    struct TRow {
        bool LeftShift, RightShift, LeftCtrl, RightCtrl;
        int Index;
    };
    const TRow rows[] = {
        {false, false, true, false, 0},  {true, false, true, false, 1},
        {false, true, true, false, 2},   {true, true, true, false, 2},
        {false, false, false, true, 3},  {true, false, false, true, 4},
        {false, true, false, true, 5},   {true, true, false, true, 5},
        {false, false, true, true, 3},   {true, false, true, true, 4},
        {false, true, true, true, 5},    {true, true, true, true, 5},
        {false, false, false, false, 0}, {true, false, false, false, 1},
        {false, true, false, false, 2},  {true, true, false, false, 2},
    };
    for (const TRow& r : rows) {
        const TModifierKeys keys{r.LeftShift, r.RightShift, r.LeftCtrl, r.RightCtrl};
        EXPECT_EQ(HotKeyIndex(keys), r.Index);
        const THotKeyChoice c = HotKeyChoice("012301", "012345", keys);
        EXPECT_EQ(static_cast<int>(c.Action), r.Index);
        EXPECT_EQ(static_cast<int>(c.Target), "012301"[r.Index] - '0');
    }
}

TEST(HotKeyTables, DefaultsAndBadDigits) {
    struct TRow {
        const char* Targets;
        const char* Actions;
        TModifierKeys Keys;
        THotKeyChoice Expected;
    };
    using T = THotKeyTarget;
    using A = THotKeyAction;
    const TRow rows[] = {
        {"333333", "155355", {.LeftCtrl = true}, {T::htAuto, A::haWrite}},
        {"333333", "155355", {.RightCtrl = true}, {T::htAuto, A::haReplace}},
        {"333333", "155355", {.LeftShift = true, .LeftCtrl = true}, {T::htAuto, A::haDelete}},
        {"333333", "155355", {.RightShift = true, .RightCtrl = true}, {T::htAuto, A::haDelete}},
        // Out of range and missing digits stand for nothing.
        {"393333", "195355", {.LeftShift = true, .LeftCtrl = true}, {T::htNothing, A::haNothing}},
        {"33", "15", {.RightCtrl = true}, {T::htNothing, A::haNothing}},
        {"", "", {.LeftCtrl = true}, {T::htNothing, A::haNothing}},
    };
    for (const TRow& r : rows)
        EXPECT_EQ(HotKeyChoice(r.Targets, r.Actions, r.Keys), r.Expected) << r.Actions;
}

TEST(HotKeyTables, ProfilesByWindowClass) {
    const struct {
        const char* Instance;
        const char* Class;
        const char* Expected;
    } rows[] = {
        {"l3afpad", "L3afpad", "KeyDelay -1 SettleDelay -1"},
        {"gedit", "Gedit", "KeyDelay -1 SettleDelay -1"},
        {"xterm", "XTerm", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"gnome-terminal-server", "Gnome-terminal", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"konsole", "konsole", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"xfce4-terminal", "Xfce4-terminal", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"emacs", "Emacs", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"st-256color", "st-256color", "NoTarget KeyDelay -1 SettleDelay -1"},
        // "st" is a whole name, not a part of another.
        {"stickynotes", "Stickynotes", "KeyDelay -1 SettleDelay -1"},
        {"libreoffice", "libreoffice-calc", "Spreadsheet KeyDelay 10 SettleDelay 100"},
        {"gnumeric", "Gnumeric", "Spreadsheet KeyDelay 10 SettleDelay 100"},
        {"libreoffice", "libreoffice-writer",
         "HomeEndSelect SingleLine KeyDelay 10 SettleDelay 100"},
        // Wayland windows carry their app id as the class.
        {"", "mousepad", "KeyDelay -1 SettleDelay -1"},
        {"", "org.gnome.TextEditor", "KeyDelay -1 SettleDelay -1"},
        {"", "foot", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"", "org.kde.konsole", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"", "org.gnome.Console", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"", "org.gnome.Terminal", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"", "com.mitchellh.ghostty", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"", "org.vim.Vim", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"", "emacs", "NoTarget KeyDelay -1 SettleDelay -1"},
        {"", "libreoffice-calc", "Spreadsheet KeyDelay 10 SettleDelay 100"},
        {"", "", "KeyDelay -1 SettleDelay -1"},
    };
    for (const auto& r : rows) {
        const TWindowIdentity w{1, r.Instance, r.Class, "title"};
        EXPECT_EQ(DescribeProfile(ProfileFor(w)), r.Expected) << r.Class;
    }
}

}  // namespace
}  // namespace rekna
