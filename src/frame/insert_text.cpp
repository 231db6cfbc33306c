// InsertText, InsertDirective, the calendar and schedule lines and the other insert texts.
#include "frame/insert_text.h"

#include <array>

#include "editor/commands/find_text.h"
#include "editor/umemo_editor.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

// A batch update of the memo for the length of a scope.
class TBatch {
public:
    explicit TBatch(TUMemoStrings& s) : FStrings(s) { FStrings.BeginUpdate(); }
    TBatch(const TBatch&) = delete;
    TBatch& operator=(const TBatch&) = delete;
    ~TBatch() { FStrings.EndUpdate(); }

private:
    TUMemoStrings& FStrings;
};

constexpr std::array<std::string_view, 7> kWeekdays = {"日", "月", "火", "水", "木", "金", "土"};

// A number as two characters, a space before a single digit.
std::string Two(int n) {
    return (n < 10 ? " " : "") + std::to_string(n);
}

std::string Padded(int n, int width) {
    std::string s = std::to_string(n);
    if (static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    return s;
}

bool Contains(std::string_view text, char c) noexcept {
    return FindAscii(text, c) != std::string_view::npos;
}

// The selection in the call's brackets.
std::string AroundSelection(std::string_view text, std::string_view selected) {
    if (Contains(text, ')'))
        return std::string(text.substr(0, text.size() - 1)) + std::string(selected) + ")";
    if (Contains(text, '(')) return std::string(text) + std::string(selected) + ")";
    return std::string(text);
}

bool IsAsciiDigits(std::string_view s, std::size_t maxLength) noexcept {
    if (s.empty() || s.size() > maxLength) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int ToInt(std::string_view digits) noexcept {
    int v = 0;
    for (const char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

}  // namespace

std::string DateText(const TLocalTime& t) {
    return SysText(Padded(t.Year, 4) + "年" + Padded(t.Month, 2) + "月" + Padded(t.Day, 2) + "日");
}

std::string TimeText(const TLocalTime& t) {
    return SysText(std::to_string(t.Hour) + "時" + std::to_string(t.Minute) + "分" +
                   std::to_string(t.Second) + "秒");
}

std::string SixtyBaseMark(TAnsFormat60 format, TInsertKind kind) {
    int column = 0;
    switch (kind) {
    case TInsertKind::ikHour: column = 0; break;
    case TInsertKind::ikMinute: column = 1; break;
    case TInsertKind::ikSecond: column = 2; break;
    default: return {};
    }
    static constexpr std::string_view kMarks[4][3] = {
        {"：", "′", "″"}, {"時", "分", "秒"}, {"°", "′", "″"}, {"度", "分", "秒"}};
    const auto row = static_cast<std::size_t>(format);
    if (row >= 4) return {};
    return SysText(kMarks[row][column]);
}

std::string InsertCommandText(const TInsertAction& action, TAnsFormat60 format,
                              const TLocalTime& now) {
    switch (action.Kind) {
    case TInsertKind::ikText:
    case TInsertKind::ikDirective: return SysText(action.Text);
    case TInsertKind::ikHour:
    case TInsertKind::ikMinute:
    case TInsertKind::ikSecond: return SixtyBaseMark(format, action.Kind);
    case TInsertKind::ikDate: return DateText(now);
    case TInsertKind::ikTime: return TimeText(now);
    case TInsertKind::ikDateTime: return "; " + DateText(now) + " " + TimeText(now);
    case TInsertKind::ikCalendar:
    case TInsertKind::ikSchedule: break;
    }
    return {};
}

int DayOfWeek(int year, int month, int day) noexcept {
    // Days from 1 March of year 0, counted in 400-year eras.
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = static_cast<long long>(era) * 146097 + doe;
    // Day 0 (1 March of year 0) was a Wednesday.
    return static_cast<int>(((days + 3) % 7 + 7) % 7);
}

int DaysInMonth(int year, int month) noexcept {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::optional<TYearMonth> ParseYearMonth(std::string_view text) noexcept {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view y = text.substr(0, slash);
    const std::string_view m = text.substr(slash + 1);
    if (!IsAsciiDigits(y, 4) || !IsAsciiDigits(m, 2)) return std::nullopt;
    const TYearMonth out{ToInt(y), ToInt(m)};
    if (out.Year < 1 || out.Month < 1 || out.Month > 12) return std::nullopt;
    return out;
}

std::string_view YearMonthExpected() noexcept {
    return "年/月 は 2015/2 のように、年(1～9999) / 月(1～12) を半角数字で入力してください。";
}

std::string YearMonthText(const TLocalTime& t) {
    return std::to_string(t.Year) + "/" + std::to_string(t.Month);
}

std::vector<std::string> CalendarLines(TYearMonth month) {
    std::vector<std::string> out;
    out.push_back(
        SysText("+----- " + Padded(month.Year, 4) + "年" + Two(month.Month) + "月 -----+"));
    out.push_back(SysText("| 日 月 火 水 木 金 土 |"));
    const int first = DayOfWeek(month.Year, month.Month, 1);
    const int days = DaysInMonth(month.Year, month.Month);
    std::string line = "|" + std::string(static_cast<std::size_t>(first) * 3, ' ');
    int weekday = first;
    bool holdsDay = false;
    for (int day = 1; day <= days; ++day) {
        line += " " + Two(day);
        holdsDay = true;
        if (weekday == 6) {
            out.push_back(line + " |");
            line = "|";
            holdsDay = false;
        }
        weekday = (weekday + 1) % 7;
    }
    // weekday is now that of the day after the last: position weekday + 1.
    if (holdsDay)
        out.push_back(line + std::string(static_cast<std::size_t>(21 - 3 * weekday), ' ') + " |");
    out.push_back("+----------------------+");
    return out;
}

std::vector<std::string> ScheduleLines(TYearMonth month) {
    std::vector<std::string> out;
    out.push_back(
        SysText(";----- " + Padded(month.Year, 4) + "年" + Two(month.Month) + "月 -----"));
    int weekday = DayOfWeek(month.Year, month.Month, 1);
    const int days = DaysInMonth(month.Year, month.Month);
    for (int day = 1; day <= days; ++day) {
        out.push_back(SysText(Two(day) + "(" +
                              std::string(kWeekdays[static_cast<std::size_t>(weekday)]) + "):"));
        weekday = (weekday + 1) % 7;
    }
    return out;
}

std::string UserFunctionText(std::string_view caption) {
    std::string_view name = caption.substr(0, std::min(FindAscii(caption, ':'), caption.size()));
    name = name.substr(0, std::min(FindAscii(name, '('), name.size()));
    while (!name.empty() && static_cast<unsigned char>(name.front()) <= ' ')
        name.remove_prefix(1);
    while (!name.empty() && static_cast<unsigned char>(name.back()) <= ' ')
        name.remove_suffix(1);
    if (name.empty()) return {};
    return std::string(name) + "(";
}

void InsertText(TUMemoEditor& editor, std::string_view text) {
    if (editor.ReadOnly() || text.empty()) return;
    TUMemoStrings& s = editor.Strings();
    const TBatch batch(s);
    TUMemoSelection& sel = s.Selection();
    if (sel.HasSelection(s)) {
        const bool box = sel.IsBoxSelection(s);
        std::string selected = s.GetSelText(false);
        std::string replacement;
        if (box) {
            // Every row's piece goes into its own brackets.
            std::size_t start = 0;
            for (;;) {
                const std::size_t end = selected.find("\r\n", start);
                replacement += AroundSelection(
                    text, std::string_view(selected).substr(
                              start, end == std::string::npos ? std::string::npos : end - start));
                if (end == std::string::npos) break;
                replacement += "\r\n";
                start = end + 2;
            }
        } else {
            const bool lineEnd = selected.ends_with("\r\n");
            if (lineEnd) selected.resize(selected.size() - 2);
            replacement = AroundSelection(text, selected);
            if (lineEnd) replacement += "\r\n";
        }
        editor.ReplaceSel(replacement);
    } else {
        editor.ReplaceSel(text);
        if (Contains(text, '(') && !Contains(text, ')') && s.GetCount() > 0) {
            const TSelPoint caret = sel.Caret;
            const std::int32_t first = s.FirstRowOfLine(caret.Y);
            const std::size_t offset = LineOffsetOfPoint(s, caret);
            editor.ReplaceSel(")");
            sel.SetCaret(s, PointOfLineOffset(s, first, offset), TSelMode::smNone);
        }
    }
    editor.ScrollCaretIntoView();
}

void InsertDirective(TUMemoEditor& editor, std::string_view text) {
    if (editor.ReadOnly() || text.empty()) return;
    TUMemoStrings& s = editor.Strings();
    const TBatch batch(s);
    TUMemoSelection& sel = s.Selection();
    if (s.GetCount() == 0) {
        s.InsertRow(0, {}, false);
        sel.Reset();
    }
    const std::int32_t first = s.FirstRowOfLine(sel.Caret.Y);
    const std::string line = s.GetLine(first);
    TSelPoint caret;
    if (text == "#") {
        if (line.empty()) {
            s.Put(first, "#");
        } else {
            s.InsertRow(first, "#", false);
        }
        caret = {2, first};
    } else {
        const bool gap = !line.empty() && line.back() != ' ' && line.back() != '\t';
        s.SetLine(first, line + (gap ? " " : "") + std::string(text));
        const std::int32_t last = s.LastRowOfLine(first);
        caret = {static_cast<std::int32_t>(s.Get(last).size()) + 1, last};
    }
    sel.SetCaret(s, caret, TSelMode::smNone);
    editor.ScrollCaretIntoView();
}

void InsertLinesAbove(TUMemoEditor& editor, std::span<const std::string> lines) {
    if (editor.ReadOnly() || lines.empty()) return;
    TUMemoStrings& s = editor.Strings();
    const TBatch batch(s);
    TUMemoSelection& sel = s.Selection();
    if (s.GetCount() == 0) {
        s.InsertRow(0, {}, false);
        sel.Reset();
    }
    const std::int32_t first = s.FirstRowOfLine(sel.Caret.Y);
    const std::size_t offset = LineOffsetOfPoint(s, sel.Caret);
    std::int32_t row = first;
    for (const std::string& line : lines) {
        s.InsertRow(row, line, false);
        row = s.Reflow(row) + 1;
    }
    sel.SetCaret(s, PointOfLineOffset(s, row, offset), TSelMode::smNone);
    editor.ScrollCaretIntoView();
}

bool RunInsertCommand(TUMemoEditor& editor, const TInsertAction& action, TAnsFormat60 format,
                      const TLocalTime& now) {
    const std::string text = InsertCommandText(action, format, now);
    if (text.empty()) return false;
    if (action.Kind == TInsertKind::ikDirective || action.Kind == TInsertKind::ikDateTime) {
        InsertDirective(editor, text);
    } else {
        InsertText(editor, text);
    }
    return true;
}

}  // namespace rekna
