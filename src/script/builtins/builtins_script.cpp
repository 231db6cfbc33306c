// Built-ins that reach the interpreter and the desktop: Eval, Execute, ExecuteGlobal, GetRef,
// CreateObject (the dictionary only), GetObject, ScriptEngine and its versions, GetLocale,
// SetLocale, RGB, and the message and input boxes.
#include "platform/cp932.h"
#include "script/builtins/builtins.h"
#include "script/objects/dictionary.h"
#include "script/runtime/raise.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

using TArgs = std::vector<TVariant>;

TVariant Eval(TRuntime& rt, TArgs& a) {
    return rt.EvalText(ToText(a[0]));
}

TVariant Execute(TRuntime& rt, TArgs& a) {
    rt.ExecuteText(ToText(a[0]), false);
    return {};
}

TVariant ExecuteGlobal(TRuntime& rt, TArgs& a) {
    rt.ExecuteText(ToText(a[0]), true);
    return {};
}

TVariant GetRef(TRuntime& rt, TArgs& a) {
    return rt.GetRef(ToText(a[0]));
}

bool SameAscii(std::string_view a, std::string_view lower) {
    if (a.size() != lower.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char c = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
        if (c != lower[i]) return false;
    }
    return true;
}

// Scripts reach no file, process or network: the dictionary is the one object they can make.
TVariant CreateObject(TRuntime&, TArgs& a) {
    const std::string name = ToText(a[0]);
    if (SameAscii(name, "scripting.dictionary")) return TVariant::Object(MakeDictionary().Get());
    Raise(seCannotCreate, ScriptErrorNaming(seCannotCreate, name));
}

TVariant GetObject(TRuntime&, TArgs& a) {
    const std::string name = HasArg(a, 0) ? ToText(a[0]) : std::string();
    Raise(seCannotCreate, ScriptErrorNaming(seCannotCreate, name));
}

TVariant ScriptEngine(TRuntime&, TArgs&) {
    return TVariant::String("VBScript");
}
TVariant MajorVersion(TRuntime&, TArgs&) {
    return TVariant::Long(5);
}
TVariant MinorVersion(TRuntime&, TArgs&) {
    return TVariant::Long(8);
}
TVariant BuildVersion(TRuntime&, TArgs&) {
    return TVariant::Long(16384);
}

TVariant GetLocale(TRuntime& rt, TArgs&) {
    return TVariant::Long(rt.LocaleId);
}

// The texts and formats stay Japanese; the locale is kept so that GetLocale gives it back.
TVariant SetLocale(TRuntime& rt, TArgs& a) {
    const std::int32_t old = rt.LocaleId;
    if (!HasArg(a, 0)) return TVariant::Long(old);
    if (a[0].IsString()) {
        double d = 0;
        if (ParseNumberText(a[0].Str(), d)) {
            rt.LocaleId = static_cast<std::int32_t>(d);
        } else if (a[0].Str().empty()) {
            rt.LocaleId = 1041;
        } else if (!SameAscii(a[0].Str(), "ja-jp") && !SameAscii(a[0].Str(), "ja")) {
            Raise(seInvalidCall);
        } else {
            rt.LocaleId = 1041;
        }
    } else {
        const std::int32_t id = ToLong(a[0]);
        if (id < 0) Raise(seInvalidCall);
        rt.LocaleId = id == 0 ? 1041 : id;
    }
    return TVariant::Long(old);
}

TVariant Rgb(TRuntime&, TArgs& a) {
    std::int32_t c[3];
    for (int i = 0; i < 3; ++i) {
        const std::int32_t v = ToLong(a[static_cast<std::size_t>(i)]);
        if (v < 0) Raise(seInvalidCall);
        c[i] = v > 255 ? 255 : v;
    }
    return TVariant::Long(c[0] + c[1] * 256 + c[2] * 65536);
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

constexpr TBuiltin kScript[] = {
    {"eval", 1, 1, Eval},
    {"execute", 1, 1, Execute},
    {"executeglobal", 1, 1, ExecuteGlobal},
    {"getref", 1, 1, GetRef},
    {"createobject", 1, 2, CreateObject},
    {"getobject", 0, 2, GetObject},
    {"scriptengine", 0, 0, ScriptEngine},
    {"scriptenginemajorversion", 0, 0, MajorVersion},
    {"scriptengineminorversion", 0, 0, MinorVersion},
    {"scriptenginebuildversion", 0, 0, BuildVersion},
    {"getlocale", 0, 0, GetLocale},
    {"setlocale", 0, 1, SetLocale},
    {"rgb", 3, 3, Rgb},
    {"msgbox", 1, 5, MsgBox},
    {"inputbox", 1, 7, InputBox},
};

}  // namespace

std::span<const TBuiltin> ScriptBuiltins() {
    return kScript;
}

}  // namespace rekna
