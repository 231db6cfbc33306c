// The built-in functions and constants of the calculation language: name tables and arithmetic.
#pragma once

#include <string>
#include <string_view>

#include "numbers/cplx.h"

namespace rekna {

// What the functions read besides their argument and the process-wide settings.
struct TFuncEnv {
    long double FreqAbs = 1.0L;  // |F|, the frequency snapshot taken at the start of an evaluation
    TCplx LastAnswer;            // the engine's last answer, read by the constant Ans
};

inline constexpr int kFunctionCount = 122;
inline constexpr int kConstantCount = 31;

// Index into the sorted lower-case tables (CP932 bytes), or -1.
[[nodiscard]] int FindFunction(std::string_view lowerName) noexcept;
[[nodiscard]] int FindConstant(std::string_view lowerName) noexcept;

// The lower-case name and the display name (the text of the calculation log), in CP932.
[[nodiscard]] const std::string& FunctionName(int index) noexcept;
[[nodiscard]] const std::string& FunctionDisplay(int index) noexcept;
[[nodiscard]] const std::string& ConstantName(int index) noexcept;
[[nodiscard]] const std::string& ConstantDisplay(int index) noexcept;

// f(z) for one argument; a domain failure sets the error state and gives 0. Data and End also
// start and stop the process-wide statistics accumulator (statistics.h), and Dist, DistP, SDist
// and SDistP read it. A zero part of the result is always +0.
[[nodiscard]] TCplx ApplyFunction(int index, const TCplx& arg, const TFuncEnv& env) noexcept;
// The constant times its argument.
[[nodiscard]] TCplx ApplyConstant(int index, const TCplx& arg, const TFuncEnv& env) noexcept;

// The value a built-in name holds as a variable after memory clear (e is the stored fraction,
// statistics names and ans 0, f 1, i and j the imaginary unit).
[[nodiscard]] TCplx ConstantVariableValue(int index) noexcept;

// Functions that need attention from the evaluator or the memo formula reduction.
[[nodiscard]] bool IsDataFunction(int index) noexcept;  // Data: refresh the statistics variables
[[nodiscard]] bool
IsElectricalFunction(int index) noexcept;  // zR zL zC yR yL yC AzR AzL AzC AyR AyL AyC

}  // namespace rekna
