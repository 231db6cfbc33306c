// The insert commands' editing: InsertText and InsertDirective on the memo, the texts of the
// date, time, calendar and schedule commands (the clock is the caller's), the 60-base marks and
// the user-function menu items.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "frame/insert_actions.h"
#include "numbers/number_settings.h"

namespace rekna {

class TUMemoEditor;

// A moment of the local clock.
struct TLocalTime {
    int Year = 2000;
    int Month = 1;  // 1..12
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

struct TYearMonth {
    int Year = 2000;  // 1..9999
    int Month = 1;    // 1..12
    friend bool operator==(const TYearMonth&, const TYearMonth&) = default;
};

// --- Texts (CP932 unless said otherwise).
// "yyyy年mm月dd日".
[[nodiscard]] std::string DateText(const TLocalTime& t);
// "h時n分s秒", without leading zeros.
[[nodiscard]] std::string TimeText(const TLocalTime& t);
// The mark the hour, minute or second command inserts under the 60-base answer style; empty for
// other kinds or styles.
[[nodiscard]] std::string SixtyBaseMark(TAnsFormat60 format, TInsertKind kind);
// What a command of kind ikText, ikDirective, a mark, ikDate, ikTime or ikDateTime inserts; empty
// for the calendar and schedule, which ask for a month first, and for a mark outside the 60-base
// styles.
[[nodiscard]] std::string InsertCommandText(const TInsertAction& action, TAnsFormat60 format,
                                            const TLocalTime& now);

// 0 for Sunday to 6 for Saturday, in the Gregorian calendar.
[[nodiscard]] int DayOfWeek(int year, int month, int day) noexcept;
[[nodiscard]] int DaysInMonth(int year, int month) noexcept;
// The month prompt's answer: year "/" month in ASCII digits, year 1..9999 and month 1..12,
// spaces around allowed; nothing else.
[[nodiscard]] std::optional<TYearMonth> ParseYearMonth(std::string_view text) noexcept;
// UTF-8: what the prompt expects, shown when an answer cannot be read.
[[nodiscard]] std::string_view YearMonthExpected() noexcept;
// The prompt's start text: "2015/2".
[[nodiscard]] std::string YearMonthText(const TLocalTime& t);
// The calendar box of a month, every line 24 bytes wide (the year written with four digits).
[[nodiscard]] std::vector<std::string> CalendarLines(TYearMonth month);
// The comment header and one label line per day.
[[nodiscard]] std::vector<std::string> ScheduleLines(TYearMonth month);

// A user-function menu caption cut before its first ":", then before its first "(", trimmed,
// + "("; empty when no name is left.
[[nodiscard]] std::string UserFunctionText(std::string_view caption);

// --- Editing the memo, each one batch update (one undo step); nothing on a read-only editor.
// A fragment at the caret. With a selection: text that holds ")" goes around it without its last
// character + the selection + ")", text that holds "(" goes in front of it with ")" behind, other
// text replaces it (a box: every row's piece on its own; selected whole rows keep their line
// end). Without a selection text goes in at the caret, and when it opens a bracket without
// closing it, ")" follows with the caret between the two.
void InsertText(TUMemoEditor& editor, std::string_view text);
// A directive on the caret's logical line: "#" puts a new line "#" above a line with text (or
// becomes the empty line), the caret behind it; any other text is appended after a space (none
// when the line is empty or ends in a space or Tab), the caret at the line's end.
void InsertDirective(TUMemoEditor& editor, std::string_view text);
// Lines inserted in order above the caret's logical line; the caret stays on its text.
void InsertLinesAbove(TUMemoEditor& editor, std::span<const std::string> lines);

// Runs an insert command whose text needs nothing from the user; false for the calendar and
// schedule and when there is nothing to insert.
bool RunInsertCommand(TUMemoEditor& editor, const TInsertAction& action, TAnsFormat60 format,
                      const TLocalTime& now);

}  // namespace rekna
