// The script language's operators on variants.
#include "script/values/operators.h"

#include <cmath>
#include <string>

#include "script/runtime/raise.h"
#include "script/values/convert.h"
#include "script/values/text_units.h"

namespace rekna {

namespace {

// Width ranks of the numeric types: the result of + - * takes the wider operand's rank.
enum TRank : int { rkByte, rkInteger, rkLong, rkCurrency, rkSingle, rkDouble, rkDate };

int RankOf(const TVariant& v) {
    switch (v.Type()) {
    case TVarType::vtByte: return rkByte;
    case TVarType::vtEmpty:
    case TVarType::vtBoolean:
    case TVarType::vtInteger: return rkInteger;
    case TVarType::vtLong: return rkLong;
    case TVarType::vtCurrency: return rkCurrency;
    case TVarType::vtSingle: return rkSingle;
    case TVarType::vtDate: return rkDate;
    default: return rkDouble;
    }
}

std::int64_t ScaledOf(const TVariant& v) {
    if (v.Type() == TVarType::vtCurrency) return v.CurrencyValue();
    return static_cast<std::int64_t>(v.WholeValue()) * 10000;
}

TVariant CheckedCurrency(__int128 scaled) {
    if (scaled > INT64_MAX || scaled < INT64_MIN) Raise(seOverflow);
    return TVariant::Currency(static_cast<std::int64_t>(scaled));
}

// Currency with Currency or a whole number: exact, in units of 1/10,000.
TVariant CurrencyArithmetic(TBinaryOp op, const TVariant& x, const TVariant& y) {
    const __int128 a = ScaledOf(x), b = ScaledOf(y);
    if (op == TBinaryOp::boAdd) return CheckedCurrency(a + b);
    if (op == TBinaryOp::boSub) return CheckedCurrency(a - b);
    __int128 p = a * b;
    // Round half to even to four places.
    const __int128 q = p / 10000, r = p % 10000;
    __int128 result = q;
    const __int128 twice = (r < 0 ? -r : r) * 2;
    if (twice > 10000 || (twice == 10000 && (q % 2) != 0)) result += p < 0 ? -1 : 1;
    return CheckedCurrency(result);
}

TVariant CheckedDouble(double d) {
    if (!std::isfinite(d)) Raise(seOverflow);
    return TVariant::Double(d);
}

// A whole result in the narrowest type from the rank upwards.
TVariant FitWhole(long long r, int rank) {
    if (rank == rkByte && r >= 0 && r <= 255) return TVariant::Byte(static_cast<std::uint8_t>(r));
    if (rank <= rkInteger && r >= -32768 && r <= 32767) {
        return TVariant::Integer(static_cast<std::int16_t>(r));
    }
    if (r >= -2147483648LL && r <= 2147483647LL) {
        return TVariant::Long(static_cast<std::int32_t>(r));
    }
    return TVariant::Double(static_cast<double>(r));
}

bool IsWholeRank(int rank) {
    return rank <= rkLong;
}

TVariant AddSubMul(TBinaryOp op, const TVariant& x, const TVariant& y) {
    const int ra = RankOf(x), rb = RankOf(y);
    const int rank = ra > rb ? ra : rb;
    if (rank == rkCurrency) return CurrencyArithmetic(op, x, y);
    if (IsWholeRank(rank)) {
        const long long a = x.WholeValue(), b = y.WholeValue();
        const long long r = op == TBinaryOp::boAdd ? a + b : op == TBinaryOp::boSub ? a - b : a * b;
        return FitWhole(r, rank);
    }
    const double a = x.AsDouble(), b = y.AsDouble();
    const double r = op == TBinaryOp::boAdd ? a + b : op == TBinaryOp::boSub ? a - b : a * b;
    if (rank == rkDate && op != TBinaryOp::boMul) {
        if (!std::isfinite(r)) Raise(seOverflow);
        if (op == TBinaryOp::boSub && ra == rkDate && rb == rkDate) return TVariant::Double(r);
        return TVariant::Date(r);
    }
    if (rank == rkSingle && ra != rkLong && rb != rkLong && ra != rkCurrency && rb != rkCurrency) {
        const float f = static_cast<float>(r);
        if (!std::isfinite(f)) Raise(seOverflow);
        return TVariant::Single(f);
    }
    return CheckedDouble(r);
}

TVariant IntDivMod(TBinaryOp op, const TVariant& x, const TVariant& y) {
    const long long a = ToLong(x), b = ToLong(y);
    if (b == 0) Raise(seDivByZero);
    const long long r = op == TBinaryOp::boIntDiv ? a / b : a % b;
    const int rank = RankOf(x) <= rkInteger && RankOf(y) <= rkInteger ? rkInteger : rkLong;
    return FitWhole(r, rank);
}

int Sign(double d) {
    return d < 0 ? -1 : d > 0 ? 1 : 0;
}

int CompareBytes(std::string_view a, std::string_view b) {
    return CompareUnits(a, b);
}

bool IsLogicalOperand(const TVariant& v) {
    return v.Type() == TVarType::vtBoolean;
}

int LogicalRank(const TVariant& v) {
    switch (v.Type()) {
    case TVarType::vtEmpty:
    case TVarType::vtBoolean:
    case TVarType::vtByte:
    case TVarType::vtInteger: return rkInteger;
    default: return rkLong;
    }
}

std::int32_t Bits(TBinaryOp op, std::int32_t a, std::int32_t b) {
    switch (op) {
    case TBinaryOp::boAnd: return a & b;
    case TBinaryOp::boOr: return a | b;
    case TBinaryOp::boXor: return a ^ b;
    case TBinaryOp::boEqv: return ~(a ^ b);
    default: return ~a | b;
    }
}

}  // namespace

TVariant Concat(const TVariant& a, const TVariant& b, std::size_t maxText) {
    if (a.IsNull() && b.IsNull()) return TVariant::Null();
    if (a.IsString() && b.IsString()) {
        if (a.Str().size() + b.Str().size() > maxText) Raise(seOutOfString, {}, true);
        std::string s;
        s.reserve(a.Str().size() + b.Str().size());
        s += a.Str();
        s += b.Str();
        return TVariant::String(std::move(s));
    }
    std::string s = ConcatText(a);
    const std::string t = ConcatText(b);
    if (s.size() + t.size() > maxText) Raise(seOutOfString, {}, true);
    s += t;
    return TVariant::String(std::move(s));
}

TVariant Arithmetic(TBinaryOp op, const TVariant& a, const TVariant& b, std::size_t maxText) {
    // The common cases first: two whole numbers or two doubles.
    if (a.IsWhole() && b.IsWhole()) {
        if (op == TBinaryOp::boAdd || op == TBinaryOp::boSub || op == TBinaryOp::boMul) {
            return AddSubMul(op, a, b);
        }
    } else if (a.Type() == TVarType::vtDouble && b.Type() == TVarType::vtDouble) {
        const double x = a.RealValue(), y = b.RealValue();
        switch (op) {
        case TBinaryOp::boAdd: return CheckedDouble(x + y);
        case TBinaryOp::boSub: return CheckedDouble(x - y);
        case TBinaryOp::boMul: return CheckedDouble(x * y);
        default: break;
        }
    }
    if (op == TBinaryOp::boConcat) return Concat(a, b, maxText);
    if (a.IsNull() || b.IsNull()) {
        if ((a.IsNull() || a.IsNumberLike() || a.IsString()) &&
            (b.IsNull() || b.IsNumberLike() || b.IsString())) {
            return TVariant::Null();
        }
        Raise(seTypeMismatch);
    }
    if (op == TBinaryOp::boAdd && (a.IsString() || b.IsString()) && (a.IsString() || a.IsEmpty()) &&
        (b.IsString() || b.IsEmpty())) {
        return Concat(a, b, maxText);
    }
    const TVariant x = ToNumeric(a), y = ToNumeric(b);
    switch (op) {
    case TBinaryOp::boAdd:
    case TBinaryOp::boSub:
    case TBinaryOp::boMul: return AddSubMul(op, x, y);
    case TBinaryOp::boDiv: {
        const double d = y.AsDouble(), n = x.AsDouble();
        if (d == 0) Raise(n == 0 ? seOverflow : seDivByZero);
        return CheckedDouble(n / d);
    }
    case TBinaryOp::boIntDiv:
    case TBinaryOp::boMod: return IntDivMod(op, x, y);
    case TBinaryOp::boPow: {
        const double base = x.AsDouble(), ex = y.AsDouble();
        const double r = std::pow(base, ex);
        if (std::isnan(r)) Raise(seInvalidCall);
        if (base == 0 && ex < 0) Raise(seDivByZero);
        return CheckedDouble(r);
    }
    default: Raise(seTypeMismatch);
    }
}

TVariant Negate(const TVariant& a) {
    if (a.IsNull()) return a;
    const TVariant x = ToNumeric(a);
    switch (x.Type()) {
    case TVarType::vtByte:
    case TVarType::vtBoolean:
    case TVarType::vtInteger:
    case TVarType::vtLong:
        return FitWhole(-static_cast<long long>(x.WholeValue()),
                        RankOf(x) > rkInteger ? rkLong : rkInteger);
    case TVarType::vtSingle: return TVariant::Single(static_cast<float>(-x.RealValue()));
    case TVarType::vtDate: return TVariant::Date(-x.RealValue());
    case TVarType::vtCurrency: return CheckedCurrency(-static_cast<__int128>(x.CurrencyValue()));
    default: return TVariant::Double(-x.AsDouble());
    }
}

int CompareTextNoCase(std::string_view a, std::string_view b) {
    return CompareBytes(ScriptFoldCase(a), ScriptFoldCase(b));
}

int CompareValues(const TVariant& a, const TVariant& b, bool aLiteral, bool bLiteral,
                  bool textCompare) {
    if (a.IsNull() || b.IsNull()) return 2;
    if (a.IsObject() || b.IsObject() || a.IsArray() || b.IsArray()) Raise(seTypeMismatch);
    const bool as = a.IsString(), bs = b.IsString();
    if (as || bs) {
        if (as && bs) {
            return textCompare ? CompareTextNoCase(a.Str(), b.Str())
                               : CompareBytes(a.Str(), b.Str());
        }
        const TVariant& num = as ? b : a;
        const TVariant& text = as ? a : b;
        const int flip = as ? 1 : -1;  // the result is for (text, num); flip when num is left
        if (num.IsEmpty()) return flip * CompareBytes(text.Str(), "");
        const bool numLiteral = as ? bLiteral : aLiteral;
        const bool textLiteral = as ? aLiteral : bLiteral;
        if (numLiteral) {
            double d = 0;
            if (ParseNumberText(text.Str(), d)) return flip * Sign(d - num.AsDouble());
            return flip;
        }
        if (textLiteral) return flip * CompareBytes(text.Str(), ToText(num));
        return flip;
    }
    const double x = a.AsDouble(), y = b.AsDouble();
    return x < y ? -1 : x > y ? 1 : 0;
}

TVariant Comparison(TBinaryOp op, const TVariant& a, const TVariant& b, bool aLiteral,
                    bool bLiteral) {
    if (op == TBinaryOp::boIs) return TVariant::Boolean(SameObject(a, b));
    const int c = CompareValues(a, b, aLiteral, bLiteral);
    if (c == 2) return TVariant::Null();
    bool r = false;
    switch (op) {
    case TBinaryOp::boEq: r = c == 0; break;
    case TBinaryOp::boNe: r = c != 0; break;
    case TBinaryOp::boLt: r = c < 0; break;
    case TBinaryOp::boGt: r = c > 0; break;
    case TBinaryOp::boLe: r = c <= 0; break;
    default: r = c >= 0; break;
    }
    return TVariant::Boolean(r);
}

TVariant LogicalNot(const TVariant& a) {
    if (a.IsNull()) return a;
    if (a.Type() == TVarType::vtBoolean) return TVariant::Boolean(!a.BoolValue());
    const std::int32_t v = ~ToLong(a);
    return FitWhole(v, LogicalRank(a));
}

TVariant Logical(TBinaryOp op, const TVariant& a, const TVariant& b) {
    if (a.IsNull() || b.IsNull()) {
        const TVariant& other = a.IsNull() ? b : a;
        const bool otherKnown = !other.IsNull();
        const bool otherTrue = otherKnown && ToBool(other);
        if (op == TBinaryOp::boAnd && otherKnown && !otherTrue) return TVariant::Boolean(false);
        if (op == TBinaryOp::boOr && otherTrue) return TVariant::Boolean(true);
        if (op == TBinaryOp::boImp) {
            if (a.IsNull() && otherTrue) return TVariant::Boolean(true);
            if (b.IsNull() && otherKnown && !ToBool(a)) return TVariant::Boolean(true);
        }
        return TVariant::Null();
    }
    const std::int32_t r = Bits(op, ToLong(a), ToLong(b));
    if (IsLogicalOperand(a) && IsLogicalOperand(b)) return TVariant::Boolean(r != 0);
    const int rank =
        LogicalRank(a) <= rkInteger && LogicalRank(b) <= rkInteger ? rkInteger : rkLong;
    return FitWhole(r, rank);
}

bool SameObject(const TVariant& a, const TVariant& b) {
    if (!a.IsObject() || !b.IsObject()) Raise(seObjectRequired);
    return a.ObjPtr() == b.ObjPtr();
}

}  // namespace rekna
