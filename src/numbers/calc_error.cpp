// The messages of the calculation error state and the floating-point flags that raise it.
#include "numbers/calc_error.h"

#include <array>
#include <cfenv>

#include "platform/cp932.h"

namespace rekna {

namespace {

constexpr std::array<const char*, kCalcErrCount> kMessages = {
    "",
    "0による割算",
    "オーバーフロー",
    "アンダーフロー",
    "不正な演算",
    "演算エラー",
    "変換エラー",
    "構文エラー",
    "未定義変数",
    "制御コード",
    "ユーザー定義関数",
    "エラー変数",
    "関数計算エラー",
    "べき乗計算エラー",
    "数値入力範囲外",
    "整数入力範囲外",
    "整数表示範囲外",
    "?",
};

const std::array<std::string, kCalcErrCount>& Messages() {
    static const std::array<std::string, kCalcErrCount> table = [] {
        std::array<std::string, kCalcErrCount> t;
        for (int i = 0; i < kCalcErrCount; ++i)
            t[i] = SysText(kMessages[i]);
        return t;
    }();
    return table;
}

}  // namespace

const std::string& CalcErrMessage(TCalcErr code) {
    const auto index = static_cast<std::size_t>(code);
    return Messages()[index < Messages().size() ? index : 0];
}

std::string CalcErrAnswer(TCalcErr code) {
    return "[" + CalcErrMessage(code) + "]";
}

void ClearFpErrors() noexcept {
#if defined(__x86_64__)
    // feclearexcept saves and reloads the whole x87 environment; clearing every x87 flag and
    // the SSE status flags directly is several times cheaper, and runs once per line.
    __asm__ volatile("fnclex");
    unsigned mxcsr;
    __asm__ volatile("stmxcsr %0" : "=m"(mxcsr));
    mxcsr &= ~0x3Fu;
    __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr));
#else
    std::feclearexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
#endif
}

TCalcErr FpErrors() noexcept {
    const int raised = std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
    if (raised & FE_DIVBYZERO) return TCalcErr::ceDivZero;
    if (raised & FE_OVERFLOW) return TCalcErr::ceOverflow;
    if (raised & FE_INVALID) return TCalcErr::ceInvalidOp;
    return TCalcErr::ceNone;
}

}  // namespace rekna
