// The operator table of the calculation language: log texts, precedences and arithmetic.
#pragma once

#include <cstdint>
#include <string>

#include "engine/calc_item.h"
#include "numbers/cplx.h"

namespace rekna {

// Operator codes of mOpr items.
enum TOperatorCode : int {
    opMul = 0,
    opImplicitMul = 1,
    opDiv = 2,
    opSub = 3,
    opAdd = 4,
    opPow = 5,
    opParallel = 6,
    opRms = 7,
    opRem = 8,
    opIntDiv = 9,
    opNeg = 10,
    opNegLow = 11,
    opMin = 12,
    opMax = 13,
    opGreater = 14,
    opLess = 15,
    opGreaterEq = 16,
    opLessEq = 17,
    opNotEqual = 18,
    opEqual = 19,
    opGcd = 20,
    opPolar = 21,
    opAssign = 22,
    opComma = 23,
    opRevDiv = 24,
    opRevSub = 25,
    opRevPow = 26,
    opRevAssign = 27,
};

inline constexpr int kOperatorCount = 28;

struct TOperatorInfo {
    const char* LogText;  // UTF-8; OperatorLogText gives the CP932 form
    std::uint8_t F;       // left (stack) precedence
    std::uint8_t G;       // right (incoming) precedence
    TCplx (*Apply)(const TCplx& x,
                   const TCplx& y) noexcept;  // null where the evaluator acts itself
};

[[nodiscard]] const TOperatorInfo& OperatorInfo(int code) noexcept;

// The text of an operator in the calculation log, in CP932.
[[nodiscard]] const std::string& OperatorLogText(int code) noexcept;

// The operator a single character of a line stands for, or -1.
[[nodiscard]] int OperatorOfChar(char c) noexcept;

[[nodiscard]] constexpr bool IsUnaryMinus(int code) noexcept {
    return code == opNeg || code == opNegLow;
}

// Precedences of an item when it stands on the operator stack (F) and when it arrives (G).
[[nodiscard]] int LeftPrecedence(const TCalcItem& item) noexcept;
[[nodiscard]] int RightPrecedence(const TCalcItem& item) noexcept;

}  // namespace rekna
