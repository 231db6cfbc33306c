// The Wayland back-end against stand-ins for wtype, wl-copy, wl-paste and swaymsg: the window in
// front from sway's tree, keys only into the window read from, the clipboard wait, and what a
// missing or failing helper says.
#include "hotkey/qt/hotkey_wayland.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "hotkey/qt/hotkey_desktop.h"

namespace rekna {
namespace {

QByteArray Tree(const char* focusedAppId, int id) {
    return QStringLiteral(R"({"type":"root","nodes":[{"type":"output","nodes":[
        {"type":"workspace","nodes":[{"type":"con","id":%1,"app_id":"%2","name":"t.txt",
        "focused":true,"nodes":[]}],"floating_nodes":[]}]}]})")
        .arg(id)
        .arg(QLatin1String(focusedAppId))
        .toUtf8();
}

class WaylandHotKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        const QString d = Dir.path();
        Script("swaymsg", "cat '" + d + "/tree.json'");
        Script("wtype", "printf '%s\\n' \"$*\" >>'" + d + "/wtype.log'\nexit $(cat '" + d +
                            "/wtype.rc' 2>/dev/null || echo 0)");
        Script("wl-copy", "cat >'" + d + "/clip'");
        // The editor's copy arrives at the wl-paste run named in "late".
        Script("wl-paste", "case \"$*\" in *--primary*)\n"
                           "  [ -s '" +
                               d + "/primary' ] && exec cat '" + d +
                               "/primary'\n"
                               "  echo 'No selection' >&2; exit 1;;\nesac\n"
                               "n=$(($(cat '" +
                               d +
                               "/count' 2>/dev/null || echo 0) + 1))\n"
                               "echo $n >'" +
                               d +
                               "/count'\n"
                               "if [ -f '" +
                               d + "/late' ] && [ $n -ge $(cat '" + d +
                               "/late') ]; then\n"
                               "  exec printf '1+2'\nfi\nexec cat '" +
                               d + "/clip'");
        Write("tree.json", Tree("mousepad", 7));
        Desktop = std::make_unique<TWaylandHotKeys>(
            TWaylandPrograms{Path("wtype"), Path("wl-copy"), Path("wl-paste"), Path("swaymsg")});
    }
    QString Path(const char* name) const { return Dir.path() + u'/' + QLatin1String(name); }
    void Write(const char* name, const QByteArray& bytes) const {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray Read(const char* name) const {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Script(const char* name, const QString& body) const {
        Write(name, ("#!/bin/sh\n" + body + "\n").toUtf8());
        QFile::setPermissions(Path(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void CtrlC() {
        Desktop->SendKey(THotKeyKey::hkCtrlLeft, true);
        Desktop->SendKey(THotKeyKey::hkC, true);
        Desktop->SendKey(THotKeyKey::hkC, false);
        Desktop->SendKey(THotKeyKey::hkCtrlLeft, false);
    }

    QTemporaryDir Dir;
    std::unique_ptr<TWaylandHotKeys> Desktop;
};

TEST(WaylandHotKeys, FocusedWindowInSwaysTree) {
    const struct {
        const char* Json;
        std::uint64_t Id;
        const char* Class;
        const char* Instance;
    } rows[] = {
        {R"({"type":"root","nodes":[{"type":"output","nodes":[{"type":"workspace","nodes":[
            {"type":"con","id":4,"app_id":"foot","focused":false,"nodes":[]},
            {"type":"con","id":9,"app_id":"mousepad","focused":true,"nodes":[]}]}]}]})",
         9, "mousepad", ""},
        // An X11 window under Xwayland has no app id but its WM_CLASS.
        {R"({"type":"root","nodes":[{"type":"workspace","nodes":[],"floating_nodes":[
            {"type":"floating_con","id":12,"app_id":null,"focused":true,
             "window_properties":{"class":"XTerm","instance":"xterm"}}]}]})",
         12, "XTerm", "xterm"},
        // A focused empty workspace: no window in front.
        {R"({"type":"root","nodes":[{"type":"workspace","id":3,"focused":true,"nodes":[]}]})", 0,
         "", ""},
        {R"({"type":"root","nodes":[]})", 0, "", ""},
        {"not json", 0, "", ""},
        {"[1,2]", 0, "", ""},
    };
    for (const auto& r : rows) {
        const TWindowIdentity w = SwayFocusedWindow(QByteArray(r.Json));
        EXPECT_EQ(w.Id, r.Id) << r.Json;
        EXPECT_EQ(w.Class, r.Class) << r.Json;
        EXPECT_EQ(w.Instance, r.Instance) << r.Json;
    }
}

TEST(WaylandHotKeys, WhatIsMissingOnADesktop) {
    // GNOME offers neither protocol, KDE data control alone.
    EXPECT_NE(WaylandShortfall({}).find("キー入力"), std::string::npos);
    EXPECT_NE(WaylandShortfall({}).find("データコントロール"), std::string::npos);
    EXPECT_NE(WaylandShortfall({.DataControl = true}).find("キー入力"), std::string::npos);
    EXPECT_EQ(WaylandShortfall({.DataControl = true}).find("データコントロール"),
              std::string::npos);
    EXPECT_EQ(WaylandShortfall({.VirtualKeyboard = true, .DataControl = true}), "");
}

TEST_F(WaylandHotKeysTest, ACopyGoesInOneRunIntoTheWindowReadFrom) {
    EXPECT_EQ(Desktop->ActiveWindow().Class, "mousepad");
    Desktop->SendKey(THotKeyKey::hkCtrlLeft, true);
    // The editor sees the virtual keyboard's modifiers, whatever the user holds.
    EXPECT_EQ(Desktop->Modifiers(), TModifierKeys{.LeftCtrl = true});
    Desktop->SendKey(THotKeyKey::hkC, true);
    Desktop->SendKey(THotKeyKey::hkC, false);
    Desktop->SendKey(THotKeyKey::hkCtrlLeft, false);
    Desktop->Finish();
    const QList<QByteArray> runs = Read("wtype.log").split('\n');
    ASSERT_EQ(runs.size(), 2);
    EXPECT_TRUE(runs[0].contains("-P Control_L -M ctrl -P c -p c -m ctrl -p Control_L"))
        << runs[0].toStdString();
    EXPECT_EQ(Desktop->Modifiers(), TModifierKeys{});
    EXPECT_EQ(Desktop->Problem(), "");
}

TEST_F(WaylandHotKeysTest, NoKeysWhenTheWindowInFrontChanged) {
    ASSERT_EQ(Desktop->ActiveWindow().Id, 7u);
    Write("tree.json", Tree("foot", 8));
    CtrlC();
    Desktop->Finish();
    EXPECT_EQ(Read("wtype.log"), "");
    EXPECT_NE(Desktop->Problem().find("ウィンドウが変わった"), std::string::npos);
    // Nor a paste after it.
    Desktop->SetClipboard("3");
    EXPECT_EQ(Read("clip"), "");
    // The next calculation starts afresh.
    EXPECT_EQ(Desktop->ActiveWindow().Class, "foot");
    EXPECT_EQ(Desktop->Problem(), "");
}

TEST_F(WaylandHotKeysTest, AFailingHelperIsSaid) {
    Write("wtype.rc", "1");
    Desktop->ActiveWindow();
    CtrlC();
    EXPECT_EQ(Desktop->WaitForClipboard(500), std::nullopt);
    EXPECT_NE(Desktop->Problem().find("wtype"), std::string::npos);
    // Asked again before the paste, a stopped calculation has no window to type into.
    EXPECT_EQ(Desktop->ActiveWindow().Id, 0u);
    Desktop->Finish();
    // No tree: no window to type into.
    Script("swaymsg", "exit 2");
    EXPECT_EQ(Desktop->ActiveWindow().Id, 0u);
    EXPECT_NE(Desktop->Problem().find("swaymsg"), std::string::npos);
}

TEST_F(WaylandHotKeysTest, ALateCopyIsWaitedForOnlyWhileSomethingIsSelected) {
    // The copy comes at the 20th look, more than 200 ms later.
    for (const bool selected : {true, false}) {
        Write("count", "0");
        Write("late", "20");
        Write("primary", selected ? "1+2" : "");
        Desktop->ActiveWindow();
        Desktop->SetClipboard("");
        CtrlC();
        const std::optional<std::string> text = Desktop->WaitForClipboard(10000);
        EXPECT_EQ(text, selected ? std::optional<std::string>("1+2") : std::nullopt);
    }
}

TEST_F(WaylandHotKeysTest, OpenSaysWhichHelperIsMissing) {
    const QByteArray path = qgetenv("PATH");
    const QByteArray sway = qgetenv("SWAYSOCK");
    QFile::remove(Path("wtype"));
    qputenv("PATH", Dir.path().toUtf8());
    qputenv("SWAYSOCK", "/nonexistent");
    std::string reason;
    EXPECT_EQ(TWaylandHotKeys::Open(reason), nullptr);
    EXPECT_NE(reason.find("wtype"), std::string::npos);
    Script("wtype", "exit 0");
    qunsetenv("SWAYSOCK");
    EXPECT_EQ(TWaylandHotKeys::Open(reason), nullptr);
    EXPECT_NE(reason.find("sway"), std::string::npos);
    qputenv("SWAYSOCK", "/nonexistent");
    EXPECT_NE(TWaylandHotKeys::Open(reason), nullptr);
    qputenv("PATH", path);
    if (sway.isEmpty()) {
        qunsetenv("SWAYSOCK");
    } else {
        qputenv("SWAYSOCK", sway);
    }
}

}  // namespace
}  // namespace rekna
