// The hot keys' combination tables, the editor table by window class and the help text.
#include "hotkey/hotkey_tables.h"

#include <algorithm>
#include <span>
#include <sstream>

namespace rekna {

namespace {

constexpr int kDigitsPerKey = 6;

// How a row of the editor table compares a name (lower-case) with WM_CLASS.
enum class TMatchKind : std::uint8_t { mkIs, mkContains };

struct TEditorRow {
    TMatchKind Kind;
    std::span<const std::string_view> Names;
    THotKeyProfile Profile;
};

constexpr THotKeyProfile kNoTarget{.NoTarget = true};
constexpr THotKeyProfile kSpreadsheet{.Spreadsheet = true, .KeyDelay = 10, .SettleDelay = 100};
// Shift+End stops before the paragraph end, so the row is pasted back without a line break.
constexpr THotKeyProfile kOffice{
    .HomeEndSelect = true, .SingleLine = true, .KeyDelay = 10, .SettleDelay = 100};

// Terminals: a synthetic Ctrl+C interrupts the program that runs in them, and Ctrl+V is no
// paste. Vim reads Ctrl+C and Ctrl+V as commands of its own. X11 classes and, on Wayland, the
// app ids that are not the same name.
// clang-format off
constexpr std::string_view kTerminalNames[] = {
    "xterm", "uxterm", "urxvt", "rxvt", "rxvt-unicode", "kitty", "alacritty", "st",
    "st-256color", "foot", "footclient", "wezterm", "org.wezfurlong.wezterm", "konsole",
    "yakuake", "guake", "tilda", "terminology", "sakura", "eterm", "kgx", "tilix", "qterminal",
    "roxterm", "ptyxis", "cool-retro-term", "terminator", "x-terminal-emulator", "gvim", "vim",
    "nvim-qt", "neovide",
    "org.kde.konsole", "org.kde.yakuake", "org.gnome.console", "com.gexperts.tilix",
    "org.gnome.ptyxis", "app.devsuite.ptyxis", "ghostty", "com.mitchellh.ghostty",
    "com.raggesilver.blackbox", "org.vim.vim"};
// clang-format on
// Parts of terminal names, and Emacs, whose Ctrl+C starts a command.
constexpr std::string_view kTerminalParts[] = {"terminal", "emacs"};
// Spreadsheets hand out whole cells.
constexpr std::string_view kSpreadsheetParts[] = {"libreoffice-calc", "gnumeric"};
// Office documents take Shift+Right over a paragraph end as a selection of the next
// paragraph's first character.
constexpr std::string_view kOfficeParts[] = {"libreoffice", "soffice"};

// First match wins.
constexpr TEditorRow kEditorTable[] = {
    {TMatchKind::mkIs, kTerminalNames, kNoTarget},
    {TMatchKind::mkContains, kTerminalParts, kNoTarget},
    {TMatchKind::mkContains, kSpreadsheetParts, kSpreadsheet},
    {TMatchKind::mkContains, kOfficeParts, kOffice},
};

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return out;
}

bool Matches(const TEditorRow& row, const std::string& name) {
    if (name.empty()) return false;
    for (const std::string_view n : row.Names) {
        if (row.Kind == TMatchKind::mkIs ? name == n : name.find(n) != std::string::npos)
            return true;
    }
    return false;
}

int Digit(std::string_view digits, int index, int max) noexcept {
    if (index < 0 || static_cast<std::size_t>(index) >= digits.size()) return 0;
    const int d = digits[static_cast<std::size_t>(index)] - '0';
    return d >= 0 && d <= max ? d : 0;
}

}  // namespace

int HotKeyIndex(const TModifierKeys& keys) noexcept {
    const int c = keys.RightCtrl ? 1 : 0;
    const int s = keys.RightShift ? 2 : keys.LeftShift ? 1 : 0;
    return c * 3 + s;
}

THotKeyChoice HotKeyChoice(std::string_view targets, std::string_view actions,
                           const TModifierKeys& keys) noexcept {
    static_assert(kDigitsPerKey == 6);
    const int index = HotKeyIndex(keys);
    return {static_cast<THotKeyTarget>(Digit(targets, index, 3)),
            static_cast<THotKeyAction>(Digit(actions, index, 5))};
}

THotKeyProfile ProfileFor(const TWindowIdentity& window) {
    const std::string instance = Lower(window.Instance);
    const std::string klass = Lower(window.Class);
    for (const TEditorRow& row : kEditorTable) {
        if (Matches(row, instance) || Matches(row, klass)) return row.Profile;
    }
    return {};
}

std::string DescribeProfile(const THotKeyProfile& p) {
    std::ostringstream out;
    const std::pair<bool, const char*> flags[] = {
        {p.NoTarget, "NoTarget"},     {p.HomeEndSelect, "HomeEndSelect"},
        {p.DownSelect, "DownSelect"}, {p.AppendLineBreak, "AppendLineBreak"},
        {p.SingleLine, "SingleLine"}, {p.Spreadsheet, "Spreadsheet"},
    };
    for (const auto& [on, name] : flags)
        if (on) out << name << ' ';
    out << "KeyDelay " << p.KeyDelay << " SettleDelay " << p.SettleDelay;
    return out.str();
}

std::string HotKeyHelpText() {
    static constexpr std::string_view kLines[] = {
        "ホットキー計算をONすると、外部テキストエディタ上でも計算できます。",
        "Ctrl+Enter ＝計算結果を記入",
        "Ctrl+Shift+Enter ＝計算結果を削除",
        "",
        "非選択で計算すると、キャレット行を計算し、＝計算結果を追加、",
        "複数行選択で計算すると、選択行範囲を計算し、＝計算結果を追加、",
        "選択範囲に改行がないときは、計算結果で置換します。",
        "",
        "動作は、[設定]->[オプション]で変更できます。",
        "",
        "クリップボードを経由して、計算式の取得と計算結果の記入を行いますが、",
        "OSやエディタによっては、うまく制御できない場合があります。",
        "",
        "制御に失敗すると、CtrlとShiftが押されたままに認識される場合があります。",
        "動作が変になった場合、左右のCtrlとShiftを押しなおすと復活します。",
    };
    std::string text;
    for (const std::string_view line : kLines) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    return text;
}

}  // namespace rekna
