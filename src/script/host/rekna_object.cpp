// TEObj: the automation object "Rekna".
#include "script/host/rekna_object.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <memory>
#include <thread>
#include <time.h>

#include "engine/vt_calc.h"
#include "numbers/calc_error.h"
#include "numbers/literal.h"
#include "platform/cp932.h"
#include "script/host/script_number.h"
#include "script/runtime/script_error.h"
#include "script/runtime/script_interpreter.h"

namespace rekna {
namespace {

using TClock = std::chrono::steady_clock;

constexpr std::array<std::string_view, 14> kMembers = {
    "calc",    "calcc",     "calcs",   "var",      "varc", "func",  "funcc",
    "escstop", "clipboard", "exepath", "filename", "ans",  "sleep", "quit"};

// A whole program sleep is cut into slices that look for Esc; one call sleeps at most a minute.
constexpr double kMaxSleepMs = 60000;
constexpr auto kSleepSlice = std::chrono::milliseconds(25);
constexpr std::int64_t kEventInterval = 20'000'000;   // ns
constexpr std::int64_t kStatusInterval = 50'000'000;  // ns

// The coarse monotonic clock: read in a few nanoseconds, ticking every few milliseconds, which
// is all the checks of a loop pass need.
[[nodiscard]] std::int64_t CoarseNow() noexcept {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

[[nodiscard]] bool IsMethodCall(std::uint8_t flags) noexcept {
    return flags == ifMethod || flags == (ifMethod | ifPropertyGet);
}
[[nodiscard]] bool IsGet(std::uint8_t flags) noexcept {
    return flags == ifPropertyGet || flags == (ifMethod | ifPropertyGet);
}
[[nodiscard]] bool IsPut(std::uint8_t flags) noexcept {
    return flags == ifPropertyPut;
}

// A value as a number of the calculation: numbers travel as their shortest decimal text, texts
// are read as decimal numbers, anything else is 0.
[[nodiscard]] TCplx RealOf(const TVariant& v) {
    if (v.IsString()) return ReadScriptNumber(v.Str()).value_or(TCplx());
    if (v.IsNumberLike()) return ReadScriptNumber(ScriptNumberText(v)).value_or(TCplx());
    return TCplx();
}

// An array of two values (real and imaginary part), or a plain value as a real number.
[[nodiscard]] TCplx ComplexOf(const TVariant& v) {
    if (!v.IsArray()) return RealOf(v);
    const TScriptArray& a = v.Arr();
    const TCplx re = a.Items.empty() ? TCplx() : RealOf(a.Items[0]);
    const TCplx im = a.Items.size() < 2 ? TCplx() : RealOf(a.Items[1]);
    return TCplx(re.Re, im.Re);
}

// A result value as a double: blank and error results give 0.
[[nodiscard]] double DoubleOf(const TFrac& x, const TCplx& whole) {
    if (whole.IsBlank() || whole.IsErrorMark()) return 0;
    const long double v = x.Value();
    return std::isfinite(v) ? static_cast<double>(v) : 0;
}

[[nodiscard]] TVariant PairOf(const TCplx& value) {
    TScriptArray arr;
    arr.Upper = {1};
    arr.Items = {TVariant::Double(DoubleOf(value.Re, value)),
                 TVariant::Double(DoubleOf(value.Im, value))};
    return TVariant::Array(std::move(arr));
}

[[nodiscard]] std::string TextOf(const TVariant& v) {
    return ScriptValueText(v);
}

[[nodiscard]] std::string LowerAscii(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

std::string ScriptAnswerText(const TVariant& value) {
    if (value.IsArray()) {
        std::string out = Utf8ToCp932("[配列(");
        const auto& upper = value.Arr().Upper;
        if (upper.empty()) out += "nil";
        for (std::size_t k = 0; k < upper.size(); ++k) {
            if (k > 0) out += ',';
            out += upper[k] < 0 ? std::string("nil") : "0.." + std::to_string(upper[k]);
        }
        return out += ")]";
    }
    if (value.IsObject()) return {};
    if (value.Type() == TVarType::vtDouble || value.Type() == TVarType::vtSingle) {
        return ScriptNumberText(value);
    }
    return ScriptValueText(value);
}

int TEObj::MemberId(std::string_view name) const {
    const int i = FindMemberName(name, kMembers);
    return i < 0 ? -1 : i + 1;
}

const void* TEObj::MemberKey() const noexcept {
    return &kMembers;
}

bool TEObj::CallQuick(int id, TInvokeResult& failure) {
    // Everything but the count goes out of line, so that the common call saves no registers.
    if (id != emEscStop) return CallQuickOther(id, failure);
    if (!EscStopCounted() || EscStopDue() == drOk) return true;
    return QuickStopped(failure);
}

bool TEObj::CallQuickOther(int id, TInvokeResult& failure) {
    return TScriptObject::CallQuick(id, failure);
}

bool TEObj::QuickStopped(TInvokeResult& failure) {
    failure = {seStopped, "EscStop", true};
    return false;
}

std::uint32_t TEObj::GetIDsOfNames(const std::vector<std::string_view>& names,
                                   std::vector<int>& ids) const {
    ids.assign(names.size(), -1);
    if (names.empty()) return drInvalidArg;
    if (names.size() > 1) return drUnknownName;
    ids[0] = MemberId(names[0]);
    return ids[0] < 0 ? drUnknownName : drOk;
}

TInvokeResult TEObj::Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                            TVariant& result) {
    // The Esc check of every loop pass and call, straight away.
    if (id == emEscStop && args.empty() && IsMethodCall(flags)) {
        if (EscStop() == drOk) return {};
        return {seStopped, "EscStop", true};
    }
    switch (Dispatch(id, flags, args, result)) {
    case drOk: return {};
    case drMemberNotFound: return {seNoMember, {}, false};
    case drBadParamCount: return {seArgCount, {}, false};
    case drOverflow: return {seStopped, FState.Quit ? "Quit" : "EscStop", true};
    default: return {seInvalidCall, {}, false};
    }
}

std::uint32_t TEObj::Dispatch(int id, std::uint8_t flags, std::vector<TVariant>& args,
                              TVariant& result) {
    result = TVariant();
    const std::size_t n = args.size();
    const bool method = IsMethodCall(flags), get = IsGet(flags), put = IsPut(flags);
    const auto count = [n](std::size_t want) { return n == want ? drOk : drBadParamCount; };
    switch (id) {
    case emCalc:
    case emCalcC:
    case emCalcS: {
        if (!method) return drMemberNotFound;
        if (n != 1) return drBadParamCount;
        FCalc.CalcLine(TextOf(args[0]), true, false, true);
        const TCplx value = FCalc.LastResult();
        if (id == emCalc) result = TVariant::Double(DoubleOf(value.Re, value));
        if (id == emCalcC) result = PairOf(value);
        if (id == emCalcS) result = TVariant::String(FCalc.AnswerText());
        return drOk;
    }
    case emVar:
    case emVarC: {
        if (get) {
            if (n != 1) return drBadParamCount;
            TFrac re, im;
            const bool found = FCalc.GetVar(LowerAscii(TextOf(args[0])), re, im) >= 0;
            const TCplx value = found ? TCplx(re, im) : TCplx();
            result = id == emVar ? TVariant::Double(DoubleOf(value.Re, value)) : PairOf(value);
            return drOk;
        }
        if (!put) return drMemberNotFound;
        if (n != 2) return drBadParamCount;
        const TCplx value = id == emVar ? RealOf(args[1]) : ComplexOf(args[1]);
        FCalc.SetVar(TextOf(args[0]), value.Re, id == emVar ? TFrac() : value.Im, vfAssigned, true);
        return drOk;
    }
    case emFunc:
    case emFuncC: {
        if (!method) return drMemberNotFound;
        if (n < 2) return drBadParamCount;
        const auto read = [id](const TVariant& v) {
            return id == emFunc ? RealOf(v) : ComplexOf(v);
        };
        FCalc.ScriptArgs.clear();
        for (std::size_t k = 2; k < n; ++k)
            FCalc.ScriptArgs.push_back(read(args[k]));
        const TCplx arg = read(args[1]);
        const TCplx value = FCalc.CallByName(TextOf(args[0]), arg.Re.Value(), arg.Im.Value());
        FCalc.ScriptArgs.clear();
        result = id == emFunc ? TVariant::Double(DoubleOf(value.Re, value)) : PairOf(value);
        return drOk;
    }
    case emEscStop:
        if (!method) return drMemberNotFound;
        if (n != 0) return drBadParamCount;
        return EscStop();
    case emClipBoard:
        if (get) {
            if (n != 0) return drBadParamCount;
            result =
                TVariant::String(FDesk.GetClipboard ? FDesk.GetClipboard() : FState.OwnClipboard);
            return drOk;
        }
        if (!put) return drMemberNotFound;
        if (n != 1) return drBadParamCount;
        if (FDesk.SetClipboard) {
            FDesk.SetClipboard(TextOf(args[0]));
        } else {
            FState.OwnClipboard = TextOf(args[0]);
        }
        return drOk;
    case emExePath:
    case emFileName:
        if (!get) return drMemberNotFound;
        if (n != 0) return drBadParamCount;
        result = TVariant::String(id == emExePath  ? FDesk.ExePath
                                  : FDesk.FileName ? FDesk.FileName()
                                                   : std::string());
        return drOk;
    case emAns: {
        if (!get && !put) return drMemberNotFound;
        if (const std::uint32_t c = count(get ? 1 : 2); c != drOk) return c;
        const double row = RealOf(args[0]).Re.Value();
        const int line = std::isfinite(row) && row >= 1 && row <= 1e9 ? static_cast<int>(row) : 0;
        if (get) {
            result = TVariant::String(line > 0 && FDesk.GetAnswer ? FDesk.GetAnswer(line) : "");
        } else if (line > 0 && FDesk.SetAnswer) {
            FDesk.SetAnswer(line, ScriptAnswerText(args[1]));
        }
        return drOk;
    }
    case emSleep:
        if (flags != ifMethod) return drMemberNotFound;
        if (n != 1) return drBadParamCount;
        Sleep(static_cast<double>(RealOf(args[0]).Re.Value()));
        return drOk;
    case emQuit:
        if (!method) return drMemberNotFound;
        if (n != 0) return drBadParamCount;
        Status("QuitでVBScriptを中断しました", -1);
        FState.Quit = true;
        return drOverflow;
    default: return drMemberNotFound;
    }
}

void TEObj::PumpEvents() {
    PumpEvents(CoarseNow());
}

bool TEObj::PollEsc() {
    PumpEvents();
    if (!FDesk.EscDown || !FDesk.EscDown()) return false;
    Status("EscキーでVBScriptを中断しました", FState.EscStopCount);
    FState.StoppedByEsc = true;
    return true;
}

void TEObj::PumpEvents(std::int64_t now) {
    if (!FDesk.ProcessEvents) return;
    if (now - FState.LastEvents < kEventInterval && FState.LastEvents != 0) return;
    FState.LastEvents = now;
    FDesk.ProcessEvents();
}

void TEObj::Status(std::string_view utf8, int count) {
    if (!FDesk.ShowStatus) return;
    std::string text = Utf8ToCp932(utf8);
    if (count >= 0) text += " : " + std::to_string(count);
    FDesk.ShowStatus(text);
}

std::uint32_t TEObj::EscStopDue() {
    // One reading of the coarse clock serves the status line, the window's events and the look
    // at the Esc key, which can only change between clock ticks (when events run, or by time).
    const std::int64_t now = CoarseNow();
    // Within the tick of the last look nothing else can have come due.
    if (now == FState.LastEscCheck) {
        FState.ClockSkip = std::min(FState.ClockSkip * 2, 16);
        FState.ClockCountdown = FState.ClockSkip;
        return drOk;
    }
    FState.ClockSkip = 1;
    FState.ClockCountdown = 1;
    return EscStopTick(now);
}

std::uint32_t TEObj::EscStopTick(std::int64_t now) {
    if (now - FState.LastStatus > kStatusInterval || FState.LastStatus == 0) {
        FState.LastStatus = now;
        Status("VBScript実行中(Escキーで中断します)", FState.EscStopCount);
        if (FState.EscStopCount >= 2 && !FState.BusyCursor && FDesk.SetBusyCursor) {
            FState.BusyCursor = true;
            FDesk.SetBusyCursor(true);
        }
    }
    PumpEvents(now);
    FState.LastEscCheck = now;
    if (!FDesk.EscDown || !FDesk.EscDown()) return drOk;
    Status("EscキーでVBScriptを中断しました", FState.EscStopCount);
    FState.StoppedByEsc = true;
    return drOverflow;
}

void TEObj::Sleep(double milliseconds) {
    if (!(milliseconds > 0)) return;
    const auto end =
        TClock::now() +
        std::chrono::duration_cast<TClock::duration>(
            std::chrono::duration<double, std::milli>(std::min(milliseconds, kMaxSleepMs)));
    for (auto now = TClock::now(); now < end; now = TClock::now()) {
        const TClock::duration left = end - now;
        std::this_thread::sleep_for(std::min<TClock::duration>(kSleepSlice, left));
        if (FDesk.ProcessEvents) FDesk.ProcessEvents();
        if (FDesk.EscDown && FDesk.EscDown()) return;
    }
}

}  // namespace rekna
