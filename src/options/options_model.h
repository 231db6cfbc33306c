// The options dialog's data: its pages' check groups by action name, the settings they show,
// the copying of one page's settings, and the answer-length, font-name and hot-key mappings.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "frame/calc_options.h"
#include "frame/frame_settings.h"
#include "frame/main_settings.h"

namespace rekna {

class TVtCalc;

enum class TOptionPage : std::uint8_t {
    opCalc,         // 計算方法
    opResult,       // 計算結果
    opDefinitions,  // 初期化計算
    opScreen,       // 画面
    opEditView,     // エディタ表示
    opEditAction,   // エディタ動作
    opHotKey,       // ホットキー計算
};
inline constexpr int kOptionPageCount = 7;
// The pages in the order OK applies them.
inline constexpr std::array<TOptionPage, kOptionPageCount> kOptionPages{
    TOptionPage::opCalc,   TOptionPage::opResult,   TOptionPage::opDefinitions,
    TOptionPage::opScreen, TOptionPage::opEditView, TOptionPage::opEditAction,
    TOptionPage::opHotKey};
// The tab caption of a page (UTF-8).
[[nodiscard]] std::string_view OptionPageCaption(TOptionPage page) noexcept;

// One check box or radio button: its caption (UTF-8) and the action whose check it mirrors.
struct TOptionItem {
    std::string_view Caption;
    std::string_view Action;
};
// A box of check boxes, or of radio buttons of which exactly one is on.
struct TOptionGroup {
    TOptionPage Page;
    std::string_view Caption;  // UTF-8; empty: the items stand without a frame
    bool Radio = false;
    std::span<const TOptionItem> Items;
};
// Every group of every page, page by page in the order applying sets them.
[[nodiscard]] std::span<const TOptionGroup> OptionGroups() noexcept;

// The engine's number properties the dialog shows.
struct TEngineNumbers {
    int ExpMin = -5, ExpMax = 6, FixMin = -10, FixMax = 20;
    int ColNon = 0, ColFix = 0, ColN2 = 8, ColN16 = 4;
    char ColChar = ',';
    std::string UsrFormat;
    [[nodiscard]] static TEngineNumbers Read(const TVtCalc& calc);
    // Writes the numbers; AnsColExp follows AnsColFix.
    void Write(TVtCalc& calc) const;
    friend bool operator==(const TEngineNumbers&, const TEngineNumbers&) = default;
};

// Everything the pages show: the frame's options, the engine's numbers, the panes' colours, the
// main window's settings and the definitions text.
struct TOptionsState {
    TCalcOptions Options;
    TEngineNumbers Numbers;
    TPaneStyles Styles;
    TMainSettings Main;
    std::string DefText;
};

// The check of an action of the frame or of the main window, read from and written into the
// state; an unknown name reads false and writes nothing.
[[nodiscard]] bool OptionChecked(const TOptionsState& state, std::string_view action);
void SetOptionChecked(TOptionsState& state, std::string_view action, bool checked);
// True for the main window's actions (the rest are the frame's).
[[nodiscard]] bool IsMainWindowAction(std::string_view action) noexcept;

// Applying one page: its checks (cleared ones first, so that a radio group ends with exactly
// its chosen member) and its other settings, from the dialog's state into the program's.
void CopyPage(TOptionPage page, const TOptionsState& from, TOptionsState& to);

// The answer length as the digits spin and the radio pair show it: the absolute length, and
// "digits after the point" for a length of 0 or less.
struct TLengthControls {
    int Digits = 0;
    bool AfterPoint = false;
    friend bool operator==(const TLengthControls&, const TLengthControls&) = default;
};
[[nodiscard]] TLengthControls LengthControls(int length) noexcept;
// The length the controls give: -digits after the point (0..16), or significant digits 1..16
// (0 significant digits would be read back as 0 after the point).
[[nodiscard]] int LengthFromControls(TLengthControls controls) noexcept;

// The font a settings name stands for on this desktop (CP932 in, UTF-8 out): "ＭＳ ゴシック"
// is IPAGothic; any other name is itself.
[[nodiscard]] std::string ShownFontName(std::string_view settingsName);

// The main window's hot-key table of 12 entries: the target of (Ctrl c, Shift s) at
// (c - 1) * 3 + (s - 1), its action 6 further; c = 1 left, 2 right; s = 1 none, 2 left, 3 right.
[[nodiscard]] constexpr int HotKeyTargetIndex(int ctrl, int shift) noexcept {
    return (ctrl - 1) * 3 + (shift - 1);
}
[[nodiscard]] constexpr int HotKeyActionIndex(int ctrl, int shift) noexcept {
    return 6 + HotKeyTargetIndex(ctrl, shift);
}
inline constexpr int kHotKeyTargetItems = 4;  // " ", 選択範囲, キャレット行, 自動
inline constexpr int kHotKeyActionItems = 6;  // " ", ＝記入, =記入, 置換, 自動, 削除
// The entries from the settings' digit strings (targets HotKeyAction, actions HotKeyCalcKeys);
// a missing digit or one out of range is item 0.
[[nodiscard]] std::array<int, 12> HotKeyTable(const TMainSettings& main) noexcept;
// Writes the entries back; a digit is rewritten only where its entry changed, so that a string
// read with a stray character stays as it was when nothing was chosen.
void SetHotKeyTable(TMainSettings& main, const std::array<int, 12>& table);

}  // namespace rekna
