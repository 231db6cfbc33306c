// The script language's operators on variants, with the language's type rules.
#pragma once

#include <cstddef>

#include "script/values/variant.h"

namespace rekna {

enum class TBinaryOp : std::uint8_t {
    boPow,
    boMul,
    boDiv,
    boIntDiv,
    boMod,
    boAdd,
    boSub,
    boConcat,
    boEq,
    boNe,
    boLt,
    boGt,
    boLe,
    boGe,
    boIs,
    boAnd,
    boOr,
    boXor,
    boEqv,
    boImp,
};

// Arithmetic: Null in gives Null out; whole results widen Integer to Long to Double instead of
// overflowing; errors 6, 11 and 13 as the language raises them. Text longer than maxText raises
// error 14.
[[nodiscard]] TVariant Arithmetic(TBinaryOp op, const TVariant& a, const TVariant& b,
                                  std::size_t maxText);
[[nodiscard]] TVariant Negate(const TVariant& a);
[[nodiscard]] TVariant Concat(const TVariant& a, const TVariant& b, std::size_t maxText);

// Compares two values: -1, 0 or 1, or 2 when either is Null. Text meets a number as the
// language has it: a literal number reads the text as a number, a literal text compares the
// number as text, and otherwise the number is the smaller.
[[nodiscard]] int CompareValues(const TVariant& a, const TVariant& b, bool aLiteral, bool bLiteral,
                                bool textCompare = false);
[[nodiscard]] TVariant Comparison(TBinaryOp op, const TVariant& a, const TVariant& b, bool aLiteral,
                                  bool bLiteral);

// Not, And, Or, Xor, Eqv, Imp: on two Booleans a Boolean, otherwise bitwise on whole numbers.
[[nodiscard]] TVariant LogicalNot(const TVariant& a);
[[nodiscard]] TVariant Logical(TBinaryOp op, const TVariant& a, const TVariant& b);

// Object identity (Is); error 424 unless both are objects or Nothing.
[[nodiscard]] bool SameObject(const TVariant& a, const TVariant& b);

// Case-folded comparison of texts (ASCII and the double-byte letters), -1, 0 or 1.
[[nodiscard]] int CompareTextNoCase(std::string_view a, std::string_view b);

}  // namespace rekna
