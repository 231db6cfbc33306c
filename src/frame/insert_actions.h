// The insert commands by category, in the order of the action list: the menu vocabulary of
// operators, functions, constants, units, directives, letters and script members, each with the
// text it puts into the memo.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace rekna {

// How an insert command puts its text into the memo.
enum class TInsertKind : std::uint8_t {
    ikText,       // InsertText with the fixed text
    ikDirective,  // InsertDirective with the fixed text
    ikHour,       // the 60-base marks of the answer format, through InsertText
    ikMinute,
    ikSecond,
    ikDate,      // today's date, through InsertText
    ikTime,      // the time of day, through InsertText
    ikDateTime,  // "; " + date + " " + time, through InsertDirective
    ikCalendar,  // a month's calendar above the caret line
    ikSchedule,  // a month's schedule above the caret line
};

struct TInsertAction {
    std::string_view Name;      // "ActionFuncSin"
    std::string_view Category;  // UTF-8
    std::string_view Caption;   // UTF-8, "&" before the accelerator ("&&" for "&")
    std::string_view Text;      // UTF-8: what ikText and ikDirective insert
    TInsertKind Kind = TInsertKind::ikText;
    // Portable key text. These keys clash with the main window's own commands, which is why the
    // main window takes them away again.
    std::string_view Shortcut;
};

[[nodiscard]] std::span<const TInsertAction> InsertActions() noexcept;
// The insert command of that name, or null.
[[nodiscard]] const TInsertAction* FindInsertAction(std::string_view name) noexcept;
// The categories in menu order.
[[nodiscard]] std::span<const std::string_view> InsertCategories() noexcept;

}  // namespace rekna
