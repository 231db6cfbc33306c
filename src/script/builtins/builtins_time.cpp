// Built-in date and time functions: Now, Date, Time, Timer, the parts of a date, DateSerial,
// TimeSerial, DateValue, TimeValue, CDate, IsDate, DateAdd, DateDiff, DatePart, MonthName and
// WeekdayName (with the Japanese locale's names).
#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/cp932.h"
#include "script/builtins/builtins.h"
#include "script/runtime/raise.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

using TArgs = std::vector<TVariant>;

// The local time now as a date value, with whole seconds, and the seconds since midnight.
double LocalNow(double* secondsToday = nullptr) {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    if (secondsToday) {
        const auto micros = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000;
        *secondsToday = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + micros / 1e6;
    }
    return DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           TimeSerial(local.tm_hour, local.tm_min, local.tm_sec);
}

TVariant CheckedDate(double d) {
    if (!std::isfinite(d) || !IsDateInRange(d)) Raise(seInvalidCall);
    return TVariant::Date(d);
}

TVariant Now(TRuntime&, TArgs&) {
    return TVariant::Date(LocalNow());
}

TVariant Date(TRuntime&, TArgs&) {
    const TDateParts p = SplitDate(LocalNow());
    return TVariant::Date(DateSerial(p.Year, p.Month, p.Day));
}

TVariant Time(TRuntime&, TArgs&) {
    const TDateParts p = SplitDate(LocalNow());
    return TVariant::Date(TimeSerial(p.Hour, p.Minute, p.Second));
}

TVariant Timer(TRuntime&, TArgs&) {
    double seconds = 0;
    LocalNow(&seconds);
    return TVariant::Single(static_cast<float>(seconds));
}

template <int TDateParts::*Part> TVariant DatePartOf(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const TDateParts p = SplitDate(ToDate(a[0]));
    return TVariant::Integer(static_cast<std::int16_t>(p.*Part));
}

// The first day of the week an argument names: 1 Sunday .. 7 Saturday; 0 (the system's) and a
// left-out argument are Sunday.
int FirstDay(const TArgs& a, std::size_t i) {
    const std::int32_t first = HasArg(a, i) ? ToLong(a[i]) : 1;
    if (first < 0 || first > 7) Raise(seInvalidCall);
    return first == 0 ? 1 : first;
}

int WeekdayFrom(const TDateParts& p, int first) {
    return (p.Weekday - first + 7) % 7 + 1;
}

TVariant Weekday(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const TDateParts p = SplitDate(ToDate(a[0]));
    return TVariant::Integer(static_cast<std::int16_t>(WeekdayFrom(p, FirstDay(a, 1))));
}

// Two-digit years: 0-29 are 2000-2029, 30-99 are 1930-1999.
int FullYear(std::int32_t y) {
    if (y >= 0 && y < 30) return 2000 + y;
    if (y >= 30 && y < 100) return 1900 + y;
    return y;
}

TVariant DateSerialOf(TRuntime&, TArgs& a) {
    for (std::size_t i = 0; i < 3; ++i) {
        if (a[i].IsNull()) Raise(seInvalidNull);
    }
    const std::int32_t y = ToLong(a[0]), m = ToLong(a[1]), d = ToLong(a[2]);
    if (std::abs(m) > 1'000'000 || std::abs(d) > 10'000'000 || y < -10000 || y > 10000) {
        Raise(seInvalidCall);
    }
    return CheckedDate(DateSerial(FullYear(y), m, d));
}

TVariant TimeSerialOf(TRuntime&, TArgs& a) {
    for (std::size_t i = 0; i < 3; ++i) {
        if (a[i].IsNull()) Raise(seInvalidNull);
    }
    const double seconds = ToLong(a[0]) * 3600.0 + ToLong(a[1]) * 60.0 + ToLong(a[2]);
    return CheckedDate(seconds / 86400.0);
}

double WholeDays(double d) {
    return d < 0 ? std::ceil(d) : std::floor(d);
}

TVariant DateValue(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    return TVariant::Date(WholeDays(ToDate(a[0])));
}

TVariant TimeValue(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const TDateParts p = SplitDate(ToDate(a[0]));
    return TVariant::Date(TimeSerial(p.Hour, p.Minute, p.Second));
}

TVariant CDate(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) Raise(seInvalidNull);
    if (a[0].IsString()) {
        double d = 0;
        if (!ParseDateText(a[0].Str(), d)) Raise(seTypeMismatch);
        return CheckedDate(d);
    }
    if (!a[0].IsNumberLike()) Raise(seTypeMismatch);
    return CheckedDate(a[0].AsDouble());
}

TVariant IsDate(TRuntime&, TArgs& a) {
    if (a[0].Type() == TVarType::vtDate) return TVariant::Boolean(true);
    double d = 0;
    return TVariant::Boolean(a[0].IsString() && ParseDateText(a[0].Str(), d) && IsDateInRange(d));
}

std::string Interval(const TVariant& v) {
    std::string s = ToText(v);
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

// The whole seconds from day 0 to the date, counted as its parts read (a negative date's time
// counts forward from the start of its day).
long long SecondsOf(double d) {
    const TDateParts p = SplitDate(d);
    const auto day = static_cast<long long>(DateSerial(p.Year, p.Month, p.Day));
    return day * 86400 + p.Hour * 3600LL + p.Minute * 60LL + p.Second;
}

double DateOfSeconds(long long s) {
    const long long day = s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
    const long long rest = s - day * 86400;
    const double time = static_cast<double>(rest) / 86400.0;
    return day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time;
}

long long FloorDiv(long long a, long long b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

double AddMonths(double d, long long months) {
    const TDateParts p = SplitDate(d);
    long long total = p.Year * 12LL + (p.Month - 1) + months;
    const long long y = FloorDiv(total, 12);
    const int m = static_cast<int>(total - y * 12) + 1;
    if (y < 100 || y > 9999) Raise(seInvalidCall);
    const int day = std::min(p.Day, MonthDays(static_cast<int>(y), m));
    const double date = DateSerial(static_cast<int>(y), m, day);
    const double time = TimeSerial(p.Hour, p.Minute, p.Second);
    return date < 0 ? date - time : date + time;
}

TVariant DateAdd(TRuntime&, TArgs& a) {
    if (a[1].IsNull() || a[2].IsNull()) Raise(seInvalidNull);
    const std::string what = Interval(a[0]);
    const double n = std::trunc(ToDouble(a[1]));
    if (std::fabs(n) > 1e10) Raise(seInvalidCall);
    const auto k = static_cast<long long>(n);
    const double d = ToDate(a[2]);
    if (what == "yyyy") return CheckedDate(AddMonths(d, k * 12));
    if (what == "q") return CheckedDate(AddMonths(d, k * 3));
    if (what == "m") return CheckedDate(AddMonths(d, k));
    long long seconds = 0;
    if (what == "y" || what == "d" || what == "w") {
        seconds = k * 86400;
    } else if (what == "ww") {
        seconds = k * 7 * 86400;
    } else if (what == "h") {
        seconds = k * 3600;
    } else if (what == "n") {
        seconds = k * 60;
    } else if (what == "s") {
        seconds = k;
    } else {
        Raise(seInvalidCall);
    }
    return CheckedDate(DateOfSeconds(SecondsOf(d) + seconds));
}

// Week of the year under the first-week rule: 1 the week of January 1, 2 the first week of four
// days or more, 3 the first whole week.
int WeekOfYear(const TDateParts& p, int firstDay, int rule) {
    const double date = DateSerial(p.Year, p.Month, p.Day);
    const auto weekStart = [&](int year) {
        const double jan1 = DateSerial(year, 1, 1);
        const int wd = WeekdayFrom(SplitDate(jan1), firstDay);  // 1: Jan 1 starts a week
        double start = jan1 - (wd - 1);
        if (rule == 2 && wd > 4) start += 7;
        if (rule == 3 && wd > 1) start += 7;
        return start;
    };
    double start = weekStart(p.Year);
    if (date < start) start = weekStart(p.Year - 1);
    if (rule == 2) {
        const double next = weekStart(p.Year + 1);
        if (date >= next) return 1;
    }
    return static_cast<int>((date - start) / 7) + 1;
}

int FirstWeekRule(const TArgs& a, std::size_t i) {
    const std::int32_t r = HasArg(a, i) ? ToLong(a[i]) : 1;
    if (r < 0 || r > 3) Raise(seInvalidCall);
    return r == 0 ? 1 : r;
}

TVariant DatePart(TRuntime&, TArgs& a) {
    if (a[1].IsNull()) return a[1];
    const std::string what = Interval(a[0]);
    const TDateParts p = SplitDate(ToDate(a[1]));
    const int first = FirstDay(a, 2);
    int r = 0;
    if (what == "yyyy") {
        r = p.Year;
    } else if (what == "q") {
        r = (p.Month - 1) / 3 + 1;
    } else if (what == "m") {
        r = p.Month;
    } else if (what == "y") {
        r = static_cast<int>(DateSerial(p.Year, p.Month, p.Day) - DateSerial(p.Year, 1, 1)) + 1;
    } else if (what == "d") {
        r = p.Day;
    } else if (what == "w") {
        r = WeekdayFrom(p, first);
    } else if (what == "ww") {
        r = WeekOfYear(p, first, FirstWeekRule(a, 3));
    } else if (what == "h") {
        r = p.Hour;
    } else if (what == "n") {
        r = p.Minute;
    } else if (what == "s") {
        r = p.Second;
    } else {
        Raise(seInvalidCall);
    }
    return TVariant::Integer(static_cast<std::int16_t>(r));
}

TVariant DateDiff(TRuntime&, TArgs& a) {
    if (a[1].IsNull() || a[2].IsNull()) return TVariant::Null();
    const std::string what = Interval(a[0]);
    const double d1 = ToDate(a[1]), d2 = ToDate(a[2]);
    const TDateParts p1 = SplitDate(d1), p2 = SplitDate(d2);
    const long long s1 = SecondsOf(d1), s2 = SecondsOf(d2);
    const long long day1 = FloorDiv(s1, 86400), day2 = FloorDiv(s2, 86400);
    long long r = 0;
    if (what == "yyyy") {
        r = p2.Year - p1.Year;
    } else if (what == "q") {
        r = (p2.Year * 4LL + (p2.Month - 1) / 3) - (p1.Year * 4LL + (p1.Month - 1) / 3);
    } else if (what == "m") {
        r = (p2.Year * 12LL + p2.Month) - (p1.Year * 12LL + p1.Month);
    } else if (what == "y" || what == "d") {
        r = day2 - day1;
    } else if (what == "w") {
        r = (day2 - day1) / 7;
    } else if (what == "ww") {
        // Sundays (or the first day given) from the one date to the other.
        const int first = FirstDay(a, 3);
        const auto weekOf = [&](long long day) { return FloorDiv(day + 6 - (first - 1), 7); };
        r = weekOf(day2) - weekOf(day1);
    } else if (what == "h") {
        r = FloorDiv(s2, 3600) - FloorDiv(s1, 3600);
    } else if (what == "n") {
        r = FloorDiv(s2, 60) - FloorDiv(s1, 60);
    } else if (what == "s") {
        r = s2 - s1;
    } else {
        Raise(seInvalidCall);
    }
    return WholeOrDouble(static_cast<double>(r)).IsWhole()
               ? TVariant::Long(static_cast<std::int32_t>(r))
               : TVariant::Double(static_cast<double>(r));
}

TVariant MonthName(TRuntime&, TArgs& a) {
    const std::int32_t m = ToLong(a[0]);
    if (m < 1 || m > 12) Raise(seInvalidCall);
    const bool abbreviate = HasArg(a, 1) && ToBool(a[1]);
    const std::string n = std::to_string(m);
    return TVariant::String(abbreviate ? n : Utf8ToCp932(n + "月"));
}

TVariant WeekdayName(TRuntime&, TArgs& a) {
    static const char* const kNames[] = {"日", "月", "火", "水", "木", "金", "土"};
    const std::int32_t w = ToLong(a[0]);
    if (w < 1 || w > 7) Raise(seInvalidCall);
    const bool abbreviate = HasArg(a, 1) && ToBool(a[1]);
    const int first = FirstDay(a, 2);
    const std::string name = kNames[(w - 1 + first - 1) % 7];
    return TVariant::String(Utf8ToCp932(abbreviate ? name : name + "曜日"));
}

constexpr TBuiltin kTime[] = {
    {"now", 0, 0, Now},
    {"date", 0, 0, Date},
    {"time", 0, 0, Time},
    {"timer", 0, 0, Timer},
    {"year", 1, 1, DatePartOf<&TDateParts::Year>},
    {"month", 1, 1, DatePartOf<&TDateParts::Month>},
    {"day", 1, 1, DatePartOf<&TDateParts::Day>},
    {"hour", 1, 1, DatePartOf<&TDateParts::Hour>},
    {"minute", 1, 1, DatePartOf<&TDateParts::Minute>},
    {"second", 1, 1, DatePartOf<&TDateParts::Second>},
    {"weekday", 1, 2, Weekday},
    {"dateserial", 3, 3, DateSerialOf},
    {"timeserial", 3, 3, TimeSerialOf},
    {"datevalue", 1, 1, DateValue},
    {"timevalue", 1, 1, TimeValue},
    {"cdate", 1, 1, CDate},
    {"isdate", 1, 1, IsDate, true},
    {"dateadd", 3, 3, DateAdd},
    {"datediff", 3, 5, DateDiff},
    {"datepart", 2, 4, DatePart},
    {"monthname", 1, 2, MonthName},
    {"weekdayname", 1, 3, WeekdayName},
};

}  // namespace

std::span<const TBuiltin> TimeBuiltins() {
    return kTime;
}

}  // namespace rekna
