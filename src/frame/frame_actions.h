// The calculation frame's own actions as data: name, category, caption, hint, shortcut, the
// option each checkable one stands for, its radio group and the handler its change goes to.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "frame/calc_options.h"

namespace rekna {

// Where an action's execution goes.
enum class TActionHandler : std::uint8_t {
    ahCommand,   // a command of its own, run by name
    ahCalcMode,  // an option applied by SetCalcMode
    ahWindow,    // a layout option applied by SetWindow
    ahMemoMode,  // an editor option applied by SetMemoMode
    ahWrap,      // one of the four wrap modes (ActionViewWrap0Execute)
};

// The check state of an action read from and written into the options. Unchecking the checked
// member of a radio group falls back to the group's default member.
struct TOptionBinding {
    bool (*Get)(const TCalcOptions&) = nullptr;
    void (*Set)(TCalcOptions&, bool) = nullptr;
    [[nodiscard]] constexpr bool Checkable() const noexcept { return Get != nullptr; }
};

template <bool TCalcOptions::*Field> constexpr TOptionBinding FlagOption() noexcept {
    return {[](const TCalcOptions& o) { return o.*Field; },
            [](TCalcOptions& o, bool v) { o.*Field = v; }};
}

template <auto Field, auto Value, auto Fallback> constexpr TOptionBinding ChoiceOption() noexcept {
    return {[](const TCalcOptions& o) { return o.*Field == Value; },
            [](TCalcOptions& o, bool v) {
                if (v) {
                    o.*Field = Value;
                } else if (o.*Field == Value) {
                    o.*Field = Fallback;
                }
            }};
}

struct TFrameAction {
    std::string_view Name;      // "ActionEditRun"
    std::string_view Category;  // UTF-8: "計算", "結果", ...
    std::string_view Caption;   // UTF-8, "&" before the accelerator
    std::string_view Hint;      // UTF-8; empty: the caption without its accelerator
    std::string_view Shortcut;  // portable key text ("Ctrl+R"), or empty
    TActionHandler Handler = TActionHandler::ahCommand;
    TOptionBinding Option;  // checkable actions only
    int Group = 0;          // radio group, 0 for none
    // Enabled for the options; null: always.
    bool (*Enabled)(const TCalcOptions&) = nullptr;
};

// Every action the frame makes, category by category in menu order.
[[nodiscard]] std::span<const TFrameAction> FrameActions() noexcept;
// The action of that name, or null.
[[nodiscard]] const TFrameAction* FindFrameAction(std::string_view name) noexcept;
// The categories in menu order.
[[nodiscard]] std::span<const std::string_view> FrameActionCategories() noexcept;

// A caption without its accelerator: "&&" stays one "&", every other "&" goes.
[[nodiscard]] std::string StripAccelerator(std::string_view caption);

// The digits of a settings flag key: for each action of the list "1" when checked, else "0".
[[nodiscard]] std::string OptionFlags(const TCalcOptions& options,
                                      std::span<const std::string_view> actions);
// Reads such digits: "1" checks, "0" unchecks, any other character or a missing position leaves
// the option as it is.
void ApplyOptionFlags(TCalcOptions& options, std::span<const std::string_view> actions,
                      std::string_view digits);

}  // namespace rekna
