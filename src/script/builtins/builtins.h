// The built-in functions and constants of the script language.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "script/values/variant.h"

namespace rekna {

class TRuntime;

using TBuiltinFn = TVariant (*)(TRuntime& rt, std::vector<TVariant>& args);

struct TBuiltin {
    const char* Name;  // lower case
    std::int8_t MinArgs;
    std::int16_t MaxArgs;  // -1: any number
    TBuiltinFn Fn;
    // The function looks at objects themselves (TypeName, IsObject); every other built-in gets
    // an object's default value.
    bool KeepObjects = false;
};

struct TConstant {
    const char* Name;  // lower case
    TVariant Value;
};

// The built-in function of that lower-case name, or -1; BuiltinAt gives it by index.
[[nodiscard]] int FindBuiltin(std::string_view lower);
[[nodiscard]] const TBuiltin& BuiltinAt(int index);
// The built-in constant of that lower-case name, or -1.
[[nodiscard]] int FindScriptConstant(std::string_view lower);
[[nodiscard]] const TVariant& ConstantAt(int index);

// The groups of built-in functions, one table per file.
[[nodiscard]] std::span<const TBuiltin> MathBuiltins();
[[nodiscard]] std::span<const TBuiltin> TextBuiltins();
[[nodiscard]] std::span<const TBuiltin> BytesBuiltins();
[[nodiscard]] std::span<const TBuiltin> ConvertBuiltins();
[[nodiscard]] std::span<const TBuiltin> FormatBuiltins();
[[nodiscard]] std::span<const TBuiltin> TimeBuiltins();
[[nodiscard]] std::span<const TBuiltin> ScriptBuiltins();

// Every built-in function and constant, for the lists that must offer exactly these.
[[nodiscard]] std::vector<const char*> BuiltinNames();
[[nodiscard]] std::vector<const char*> ScriptConstantNames();

// An argument that must not be Null (error 94).
const TVariant& NotNull(const TVariant& v);
// A count or length argument: a whole number, not negative (error 5).
[[nodiscard]] std::int32_t Count(const TVariant& v);

// An argument given and not left out ("f(1, , 3)" leaves out the second).
[[nodiscard]] inline bool HasArg(const std::vector<TVariant>& args, std::size_t i) {
    return i < args.size() && !args[i].IsMissing();
}

// The optional first argument of InStr and InStrB: with three arguments or more it is the start
// position (from 1; Null is error 94, below 1 error 5). Gives the index of the first text.
std::size_t StartArg(const std::vector<TVariant>& args, std::int32_t& start);

}  // namespace rekna
