// Built-in date and time functions, the message and input boxes, and the object factories that
// scripts may not use.
#include <chrono>
#include <ctime>

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

TVariant Now(TRuntime&, TArgs&) {
    return TVariant::Date(LocalNow());
}

TVariant Date(TRuntime&, TArgs&) {
    const double now = LocalNow();
    const TDateParts p = SplitDate(now);
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

template <int TDateParts::*Part> TVariant DatePart(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const TDateParts p = SplitDate(ToDate(a[0]));
    return TVariant::Integer(static_cast<std::int16_t>(p.*Part));
}

TVariant Weekday(TRuntime&, TArgs& a) {
    if (a[0].IsNull()) return a[0];
    const TDateParts p = SplitDate(ToDate(a[0]));
    std::int32_t first = HasArg(a, 1) ? ToLong(a[1]) : 1;
    if (first < 0 || first > 7) Raise(seInvalidCall);
    if (first == 0) first = 1;
    return TVariant::Integer(static_cast<std::int16_t>((p.Weekday - first + 7) % 7 + 1));
}

// Without a handler the box answers its default button.
int DefaultButton(int buttons) {
    static const int kFirst[] = {1, 1, 3, 6, 6, 4};
    static const int kSecond[] = {1, 2, 4, 7, 7, 2};
    static const int kThird[] = {1, 1, 5, 2, 7, 2};
    const int kind = buttons & 7;
    if (kind > 5) return 1;
    switch ((buttons >> 8) & 3) {
    case 1: return kSecond[kind];
    case 2: return kThird[kind];
    default: return kFirst[kind];
    }
}

TVariant MsgBox(TRuntime& rt, TArgs& a) {
    TMsgBoxRequest request;
    request.Prompt = ConcatText(a[0]);
    request.Buttons = HasArg(a, 1) && !a[1].IsEmpty() ? ToLong(a[1]) : 0;
    request.Title = HasArg(a, 2) ? ConcatText(a[2]) : std::string();
    const int answer =
        rt.Owner.OnMsgBox ? rt.Owner.OnMsgBox(request) : DefaultButton(request.Buttons);
    return TVariant::Integer(static_cast<std::int16_t>(answer));
}

TVariant InputBox(TRuntime& rt, TArgs& a) {
    TInputBoxRequest request;
    request.Prompt = ConcatText(a[0]);
    request.Title = HasArg(a, 1) ? ConcatText(a[1]) : std::string();
    request.Default = HasArg(a, 2) ? ConcatText(a[2]) : std::string();
    if (!rt.Owner.OnInputBox) return TVariant::String(request.Default);
    std::string answer;
    if (!rt.Owner.OnInputBox(request, answer)) return TVariant::String("");
    rt.CheckText(answer.size());
    return TVariant::String(std::move(answer));
}

// Scripts have no access to files, processes or the network: no object can be made.
TVariant NoObjects(TRuntime&, TArgs&) {
    Raise(seCannotCreate);
}

constexpr TBuiltin kTime[] = {
    {"now", 0, 0, Now},
    {"date", 0, 0, Date},
    {"time", 0, 0, Time},
    {"timer", 0, 0, Timer},
    {"year", 1, 1, DatePart<&TDateParts::Year>},
    {"month", 1, 1, DatePart<&TDateParts::Month>},
    {"day", 1, 1, DatePart<&TDateParts::Day>},
    {"hour", 1, 1, DatePart<&TDateParts::Hour>},
    {"minute", 1, 1, DatePart<&TDateParts::Minute>},
    {"second", 1, 1, DatePart<&TDateParts::Second>},
    {"weekday", 1, 2, Weekday},
    {"msgbox", 1, 5, MsgBox},
    {"inputbox", 1, 7, InputBox},
    {"createobject", 1, 2, NoObjects},
    {"getobject", 0, 2, NoObjects},
};

}  // namespace

std::span<const TBuiltin> TimeBuiltins() {
    return kTime;
}

}  // namespace rekna
