// Built-in conversions and type tests: CBool ... CStr, Hex, Oct, FormatNumber, Is..., LBound,
// UBound, Array, TypeName, VarType.
#include <cmath>
#include <cstdio>

#include "script/builtins/builtins.h"
#include "script/runtime/raise.h"
#include "script/runtime/runtime.h"
#include "script/runtime/script_object.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

using TArgs = std::vector<TVariant>;

const TVariant& NotNull(const TVariant& v) {
    if (v.IsNull()) Raise(seInvalidNull);
    return v;
}

TVariant CBool(TRuntime&, TArgs& a) {
    return TVariant::Boolean(ToBool(NotNull(a[0])));
}

TVariant CByte(TRuntime&, TArgs& a) {
    const std::int32_t v = ToLong(NotNull(a[0]));
    if (v < 0 || v > 255) Raise(seOverflow);
    return TVariant::Byte(static_cast<std::uint8_t>(v));
}

TVariant CInt(TRuntime&, TArgs& a) {
    return TVariant::Integer(ToInteger(NotNull(a[0])));
}
TVariant CLng(TRuntime&, TArgs& a) {
    return TVariant::Long(ToLong(NotNull(a[0])));
}
TVariant CDbl(TRuntime&, TArgs& a) {
    return TVariant::Double(ToDouble(NotNull(a[0])));
}

TVariant CSng(TRuntime&, TArgs& a) {
    const double d = ToDouble(NotNull(a[0]));
    if (std::fabs(d) > 3.402823466e38) Raise(seOverflow);
    return TVariant::Single(static_cast<float>(d));
}

TVariant CStr(TRuntime&, TArgs& a) {
    return TVariant::String(ToText(a[0]));
}

// Hex and Oct show the bits of an Integer in 16 bits and of anything wider in 32.
TVariant Radix(const TVariant& v, int bitsPerDigit) {
    if (v.IsNull()) return v;
    const std::int32_t n = ToLong(v);
    const bool narrow = v.Type() == TVarType::vtInteger || v.Type() == TVarType::vtBoolean ||
                        v.Type() == TVarType::vtByte || v.IsEmpty();
    std::uint32_t bits = narrow ? static_cast<std::uint16_t>(n) : static_cast<std::uint32_t>(n);
    std::string out;
    const char* digits = "0123456789ABCDEF";
    do {
        out.insert(out.begin(), digits[bits & ((1u << bitsPerDigit) - 1)]);
        bits >>= bitsPerDigit;
    } while (bits != 0);
    return TVariant::String(std::move(out));
}

TVariant Hex(TRuntime&, TArgs& a) {
    return Radix(a[0], 4);
}
TVariant Oct(TRuntime&, TArgs& a) {
    return Radix(a[0], 3);
}

// A tri-state argument: -1 true, 0 false, -2 (or left out) the default.
bool TriState(const TArgs& a, std::size_t i, bool fallback) {
    if (!HasArg(a, i) || a[i].IsEmpty()) return fallback;
    const std::int32_t v = ToLong(a[i]);
    if (v == -2) return fallback;
    return v != 0;
}

TVariant FormatNumber(TRuntime&, TArgs& a) {
    const double x = ToDouble(NotNull(a[0]));
    std::int32_t places = HasArg(a, 1) && !a[1].IsEmpty() ? ToLong(a[1]) : -1;
    if (places == -1) places = 2;
    if (places < 0 || places > 20) Raise(seInvalidCall);
    const bool leading = TriState(a, 2, true);
    const bool parens = TriState(a, 3, false);
    const bool group = TriState(a, 4, true);
    char buf[400];
    // Halves round away from zero here, as the locale's number format does.
    const double scale = std::pow(10.0, places);
    const double scaled = std::fabs(x) * scale;
    const double rounded = scaled < 4503599627370496.0 ? std::round(scaled) / scale : std::fabs(x);
    std::snprintf(buf, sizeof buf, "%.*f", static_cast<int>(places), rounded);
    std::string digits = buf;
    const std::size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    const std::string frac = point == std::string::npos ? std::string() : digits.substr(point);
    if (group) {
        std::string grouped;
        for (std::size_t i = 0; i < whole.size(); ++i) {
            if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
            grouped += whole[i];
        }
        whole = std::move(grouped);
    }
    if (whole == "0" && !leading && !frac.empty()) whole.clear();
    std::string out = whole + frac;
    bool zero = true;
    for (const char c : out) {
        if (c >= '1' && c <= '9') zero = false;
    }
    if (x < 0 && !zero) out = parens ? "(" + out + ")" : "-" + out;
    return TVariant::String(out);
}

TVariant IsArray(TRuntime&, TArgs& a) {
    return TVariant::Boolean(a[0].IsArray());
}
TVariant IsEmpty(TRuntime&, TArgs& a) {
    return TVariant::Boolean(a[0].IsEmpty());
}
TVariant IsNull(TRuntime&, TArgs& a) {
    return TVariant::Boolean(a[0].IsNull());
}
TVariant IsObject(TRuntime&, TArgs& a) {
    return TVariant::Boolean(a[0].IsObject());
}

TVariant IsNumeric(TRuntime&, TArgs& a) {
    const TVariant& v = a[0];
    if (v.IsString()) {
        double d = 0;
        return TVariant::Boolean(ParseNumberText(v.Str(), d));
    }
    return TVariant::Boolean(v.IsNumberLike() && v.Type() != TVarType::vtDate);
}

std::size_t Dimension(const TArgs& a) {
    if (!a[0].IsArray()) Raise(seTypeMismatch);
    const std::int32_t d = HasArg(a, 1) ? ToLong(a[1]) : 1;
    if (d < 1 || static_cast<std::size_t>(d) > a[0].Arr().Upper.size()) Raise(seSubscript);
    return static_cast<std::size_t>(d - 1);
}

TVariant LBound(TRuntime&, TArgs& a) {
    (void)Dimension(a);
    return TVariant::Long(0);
}

TVariant UBound(TRuntime&, TArgs& a) {
    const std::size_t d = Dimension(a);
    return TVariant::Long(a[0].Arr().Upper[d]);
}

TVariant Array(TRuntime& rt, TArgs& a) {
    rt.CheckItems(static_cast<double>(a.size()));
    auto arr = std::make_shared<TScriptArray>();
    arr->Upper = {static_cast<std::int32_t>(a.size()) - 1};
    arr->Items = std::move(a);
    a.clear();
    return TVariant::Array(std::move(arr));
}

TVariant TypeName(TRuntime&, TArgs& a) {
    const TVariant& v = a[0];
    const char* name = "Unknown";
    switch (v.Type()) {
    case TVarType::vtEmpty: name = "Empty"; break;
    case TVarType::vtNull: name = "Null"; break;
    case TVarType::vtInteger: name = "Integer"; break;
    case TVarType::vtLong: name = "Long"; break;
    case TVarType::vtSingle: name = "Single"; break;
    case TVarType::vtDouble: name = "Double"; break;
    case TVarType::vtDate: name = "Date"; break;
    case TVarType::vtString: name = "String"; break;
    case TVarType::vtBoolean: name = "Boolean"; break;
    case TVarType::vtByte: name = "Byte"; break;
    case TVarType::vtArray: name = "Variant()"; break;
    case TVarType::vtObject:
        return TVariant::String(v.ObjPtr() ? v.ObjPtr()->TypeName() : "Nothing");
    }
    return TVariant::String(name);
}

TVariant VarType(TRuntime&, TArgs& a) {
    const TVariant& v = a[0];
    if (v.IsArray()) return TVariant::Integer(8192 + 12);
    return TVariant::Integer(static_cast<std::int16_t>(v.Type()));
}

constexpr TBuiltin kConvert[] = {
    {"cbool", 1, 1, CBool},       {"cbyte", 1, 1, CByte},
    {"cdbl", 1, 1, CDbl},         {"cint", 1, 1, CInt},
    {"clng", 1, 1, CLng},         {"csng", 1, 1, CSng},
    {"cstr", 1, 1, CStr},         {"hex", 1, 1, Hex},
    {"oct", 1, 1, Oct},           {"formatnumber", 1, 5, FormatNumber},
    {"isarray", 1, 1, IsArray},   {"isempty", 1, 1, IsEmpty},
    {"isnull", 1, 1, IsNull},     {"isnumeric", 1, 1, IsNumeric},
    {"isobject", 1, 1, IsObject}, {"lbound", 1, 2, LBound},
    {"ubound", 1, 2, UBound},     {"array", 0, 127, Array},
    {"typename", 1, 1, TypeName}, {"vartype", 1, 1, VarType},
};

}  // namespace

std::span<const TBuiltin> ConvertBuiltins() {
    return kConvert;
}

}  // namespace rekna
