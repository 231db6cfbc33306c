// The process-wide calculation error state, its seventeen messages and the floating-point flags.
#pragma once

#include <cstdint>
#include <string>

namespace rekna {

enum class TCalcErr : std::uint8_t {
    ceNone = 0,
    ceDivZero = 1,       // 0による割算
    ceOverflow = 2,      // オーバーフロー
    ceUnderflow = 3,     // アンダーフロー
    ceInvalidOp = 4,     // 不正な演算
    ceMath = 5,          // 演算エラー
    ceConversion = 6,    // 変換エラー
    ceSyntax = 7,        // 構文エラー
    ceUndefinedVar = 8,  // 未定義変数
    ceControl = 9,       // 制御コード
    ceUserFunc = 10,     // ユーザー定義関数
    ceErrorVar = 11,     // エラー変数
    ceFuncCalc = 12,     // 関数計算エラー
    cePowerCalc = 13,    // べき乗計算エラー
    ceInputRange = 14,   // 数値入力範囲外
    ceIntInput = 15,     // 整数入力範囲外 (no operation raises it)
    ceIntDisplay = 16,   // 整数表示範囲外 (no operation raises it)
    ceNothing = 17,      // ?
};

inline constexpr int kCalcErrCount = 18;

// The state: ceNone, or the code of the failure that stopped the current evaluation. Number
// operations set it and return 0; only the engine clears it.
inline TCalcErr CalcErr = TCalcErr::ceNone;

inline void SetCalcErr(TCalcErr code) noexcept {
    CalcErr = code;
}
[[nodiscard]] inline bool CalcFailed() noexcept {
    return CalcErr != TCalcErr::ceNone;
}

// The message of a code in CP932, empty for ceNone and for a code out of range.
[[nodiscard]] const std::string& CalcErrMessage(TCalcErr code);

// "[" + message + "]", the answer text of a line in error.
[[nodiscard]] std::string CalcErrAnswer(TCalcErr code);

// Clears the floating-point status flags that count as calculation errors.
void ClearFpErrors() noexcept;

// The error code of the floating-point status flags raised since ClearFpErrors: division by
// zero, overflow and invalid operation count; underflow and inexact results do not.
[[nodiscard]] TCalcErr FpErrors() noexcept;

}  // namespace rekna
