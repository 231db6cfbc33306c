// Built-in conversions and type tests: CBool ... CStr, CCur, Hex, Oct, Is..., LBound, UBound,
// Array, TypeName, VarType.
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

TVariant CCur(TRuntime&, TArgs& a) {
    const TVariant& v = NotNull(a[0]);
    if (v.Type() == TVarType::vtCurrency) return v;
    return TVariant::Currency(ToCurrencyScaled(ToDouble(v)));
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
    return TVariant::Boolean(v.IsNumberLike() && v.Type() != TVarType::vtDate && !v.IsObject());
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
    for (TVariant& v : a) {
        if (v.IsMissing()) v = TVariant();
    }
    TScriptArray arr;
    arr.Upper = {static_cast<std::int32_t>(a.size()) - 1};
    arr.Items = std::move(a);
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
    case TVarType::vtCurrency: name = "Currency"; break;
    case TVarType::vtError: name = "Error"; break;
    case TVarType::vtDate: name = "Date"; break;
    case TVarType::vtString: name = "String"; break;
    case TVarType::vtBoolean: name = "Boolean"; break;
    case TVarType::vtByte: name = "Byte"; break;
    case TVarType::vtArray: name = "Variant()"; break;
    case TVarType::vtRef: break;
    case TVarType::vtObject:
        return TVariant::String(v.ObjPtr() ? v.ObjPtr()->TypeName() : "Nothing");
    }
    return TVariant::String(name);
}

TVariant VarType(TRuntime&, TArgs& a) {
    const TVariant& v = a[0];
    return TVariant::Integer(static_cast<std::int16_t>(VarTypeNumber(v.Type())));
}

constexpr TBuiltin kConvert[] = {
    {"cbool", 1, 1, CBool},
    {"cbyte", 1, 1, CByte},
    {"ccur", 1, 1, CCur},
    {"cdbl", 1, 1, CDbl},
    {"cint", 1, 1, CInt},
    {"clng", 1, 1, CLng},
    {"csng", 1, 1, CSng},
    {"cstr", 1, 1, CStr},
    {"hex", 1, 1, Hex},
    {"oct", 1, 1, Oct},
    {"isarray", 1, 1, IsArray, true},
    {"isempty", 1, 1, IsEmpty, true},
    {"isnull", 1, 1, IsNull, true},
    {"isnumeric", 1, 1, IsNumeric, true},
    {"isobject", 1, 1, IsObject, true},
    {"lbound", 1, 2, LBound},
    {"ubound", 1, 2, UBound},
    {"array", 0, -1, Array, true},
    {"typename", 1, 1, TypeName, true},
    {"vartype", 1, 1, VarType, true},
};

}  // namespace

std::span<const TBuiltin> ConvertBuiltins() {
    return kConvert;
}

}  // namespace rekna
