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

// The common cases of + - * and the comparisons, inline: two Integers or Longs, or two Doubles.
// False when the operands are of other types (Arithmetic and Comparison then decide).
[[nodiscard]] [[gnu::always_inline]] inline bool FastOperator(TBinaryOp op, const TVariant& a,
                                                              const TVariant& b, TVariant& out) {
    const TVarType ta = a.Type(), tb = b.Type();
    if ((ta == TVarType::vtInteger || ta == TVarType::vtLong) &&
        (tb == TVarType::vtInteger || tb == TVarType::vtLong)) {
        const std::int64_t x = a.WholeValue(), y = b.WholeValue();
        std::int64_t r = 0;
        switch (op) {
        case TBinaryOp::boAdd: r = x + y; break;
        case TBinaryOp::boSub: r = x - y; break;
        case TBinaryOp::boMul: r = x * y; break;
        case TBinaryOp::boEq: out = TVariant::Boolean(x == y); return true;
        case TBinaryOp::boNe: out = TVariant::Boolean(x != y); return true;
        case TBinaryOp::boLt: out = TVariant::Boolean(x < y); return true;
        case TBinaryOp::boGt: out = TVariant::Boolean(x > y); return true;
        case TBinaryOp::boLe: out = TVariant::Boolean(x <= y); return true;
        case TBinaryOp::boGe: out = TVariant::Boolean(x >= y); return true;
        default: return false;
        }
        // Integer with Integer stays Integer while it fits; then Long, then Double.
        if (ta == TVarType::vtInteger && tb == TVarType::vtInteger && r >= -32768 && r <= 32767) {
            out = TVariant::Integer(static_cast<std::int16_t>(r));
        } else if (r >= -2147483648LL && r <= 2147483647LL) {
            out = TVariant::Long(static_cast<std::int32_t>(r));
        } else {
            out = TVariant::Double(static_cast<double>(r));
        }
        return true;
    }
    const bool da = ta == TVarType::vtDouble, db = tb == TVarType::vtDouble;
    const bool wa = ta == TVarType::vtInteger || ta == TVarType::vtLong;
    const bool wb = tb == TVarType::vtInteger || tb == TVarType::vtLong;
    if ((da && (db || wb)) || (db && wa)) {
        const double x = da ? a.RealValue() : a.WholeValue();
        const double y = db ? b.RealValue() : b.WholeValue();
        double r = 0;
        switch (op) {
        case TBinaryOp::boAdd: r = x + y; break;
        case TBinaryOp::boSub: r = x - y; break;
        case TBinaryOp::boMul: r = x * y; break;
        case TBinaryOp::boEq: out = TVariant::Boolean(x == y); return true;
        case TBinaryOp::boNe: out = TVariant::Boolean(x != y); return true;
        case TBinaryOp::boLt: out = TVariant::Boolean(x < y); return true;
        case TBinaryOp::boGt: out = TVariant::Boolean(x > y); return true;
        case TBinaryOp::boLe: out = TVariant::Boolean(x <= y); return true;
        case TBinaryOp::boGe: out = TVariant::Boolean(x >= y); return true;
        default: return false;
        }
        if (!(r - r == 0)) return false;  // not finite: Arithmetic raises the overflow
        out = TVariant::Double(r);
        return true;
    }
    return false;
}

// The comparisons of FastOperator as a truth value: false when the operands are of other
// types.
[[nodiscard]] [[gnu::always_inline]] inline bool FastCompare(TBinaryOp op, const TVariant& a,
                                                             const TVariant& b, bool& out) {
    const TVarType ta = a.Type(), tb = b.Type();
    double x = 0, y = 0;
    if ((ta == TVarType::vtInteger || ta == TVarType::vtLong) &&
        (tb == TVarType::vtInteger || tb == TVarType::vtLong)) {
        x = a.WholeValue();
        y = b.WholeValue();
    } else if (ta == TVarType::vtDouble && tb == TVarType::vtDouble) {
        x = a.RealValue();
        y = b.RealValue();
    } else {
        return false;
    }
    switch (op) {
    case TBinaryOp::boEq: out = x == y; return true;
    case TBinaryOp::boNe: out = x != y; return true;
    case TBinaryOp::boLt: out = x < y; return true;
    case TBinaryOp::boGt: out = x > y; return true;
    case TBinaryOp::boLe: out = x <= y; return true;
    case TBinaryOp::boGe: out = x >= y; return true;
    default: return false;
    }
}

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
