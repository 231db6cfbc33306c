// The operator table: one row per operator drives the compiler, the evaluator and the log.
#include "engine/operators.h"

#include <array>

#include "platform/cp932.h"

namespace rekna {

namespace {

TCplx Mul(const TCplx& x, const TCplx& y) noexcept {
    return x * y;
}
TCplx Div(const TCplx& x, const TCplx& y) noexcept {
    return x / y;
}
TCplx Sub(const TCplx& x, const TCplx& y) noexcept {
    return x - y;
}
TCplx Add(const TCplx& x, const TCplx& y) noexcept {
    return x + y;
}
TCplx RevDiv(const TCplx& x, const TCplx& y) noexcept {
    return y / x;
}
TCplx RevSub(const TCplx& x, const TCplx& y) noexcept {
    return y - x;
}
TCplx RevPow(const TCplx& x, const TCplx& y) noexcept {
    return Power(y, x);
}

constexpr std::array<TOperatorInfo, kOperatorCount> kOperators = {{
    {"*", 11, 10, Mul},         {"･", 15, 14, Mul},
    {"/", 11, 10, Div},         {"-", 7, 6, Sub},
    {"+", 7, 6, Add},           {"^", 17, 16, Power},
    {"//", 13, 12, Parallel},   {"~", 13, 12, RmsSum},
    {"!", 11, 10, Remainder},   {"\\", 11, 10, IntQuotient},
    {"-", 20, 21, nullptr},     {"-", 8, 9, nullptr},
    {"'", 13, 12, Minimum},     {"\"", 13, 12, Maximum},
    {">", 5, 4, Greater},       {"<", 5, 4, Less},
    {">=", 5, 4, GreaterEqual}, {"<=", 5, 4, LessEqual},
    {"<>", 5, 4, NotEqual},     {"==", 5, 4, Equal},
    {"`", 11, 10, Gcd},         {"@", 19, 18, Polar},
    {"=", 3, 22, nullptr},      {", ", 1, 2, nullptr},
    {"/^", 11, 10, RevDiv},     {"-^", 7, 6, RevSub},
    {"^^", 17, 16, RevPow},     {"=^", 22, 3, nullptr},
}};

}  // namespace

const TOperatorInfo& OperatorInfo(int code) noexcept {
    return kOperators[static_cast<std::size_t>(code) < kOperators.size() ? code : opMul];
}

const std::string& OperatorLogText(int code) noexcept {
    static const std::array<std::string, kOperatorCount> texts = [] {
        std::array<std::string, kOperatorCount> t;
        for (int i = 0; i < kOperatorCount; ++i)
            t[i] = SysText(kOperators[i].LogText);
        return t;
    }();
    return texts[static_cast<std::size_t>(code) < texts.size() ? code : opMul];
}

int OperatorOfChar(char c) noexcept {
    switch (c) {
    case '*': return opMul;
    case '/': return opDiv;
    case '-': return opSub;
    case '+': return opAdd;
    case '^': return opPow;
    case '|': return opParallel;
    case '~': return opRms;
    case '!': return opRem;
    case '\\': return opIntDiv;
    case '\'': return opMin;
    case '"': return opMax;
    case '>': return opGreater;
    case '<': return opLess;
    case '=': return opAssign;
    case '@': return opPolar;
    case '`': return opGcd;
    default: return -1;
    }
}

int LeftPrecedence(const TCalcItem& item) noexcept {
    switch (item.Kind) {
    case TItemKind::mOpr: return OperatorInfo(item.Code).F;
    case TItemKind::mCon:
    case TItemKind::mFun:
    case TItemKind::mUsr: return 24;
    case TItemKind::mCen: return 25;
    default: return 0;
    }
}

int RightPrecedence(const TCalcItem& item) noexcept {
    switch (item.Kind) {
    case TItemKind::mOpr: return OperatorInfo(item.Code).G;
    case TItemKind::mCon:
    case TItemKind::mFun:
    case TItemKind::mUsr: return 23;
    case TItemKind::mCbe: return 26;
    default: return 0;
    }
}

}  // namespace rekna
