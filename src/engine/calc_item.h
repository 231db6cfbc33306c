// TCalcItem and TCalcList: the compiled form of one line, and the entries of the evaluation stacks.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "numbers/cplx.h"

namespace rekna {

enum class TItemKind : std::uint8_t {
    mNop,  // nothing; a list always starts with one (or with the control item)
    mCon,  // built-in constant applied to a bracketed argument; Code = constant index
    mFun,  // built-in function; Code = function index
    mOpr,  // operator; Code = operator index
    mVal,  // a value: a literal, or a computed stack entry
    mVar,  // a variable; Index = its id in the variable table, -1 when found by name
    mCbe,  // opening bracket
    mCen,  // closing bracket
    mStr,  // a name that is not (yet) a variable
    mUsr,  // user-defined function; Index = its number
    mArg,  // parameter reference inside a user-function body; Index = parameter number
    mCnt,  // control item; Mask = the directives and markers of the line
};

// Bits of a control item's Mask.
enum TControlBit : int {
    cbHash = 0,  // "#" alone: the definition line marker
    cbEng = 1,
    cbExp = 2,
    cbFix = 3,
    cbNon = 4,
    cbN2 = 5,
    cbN2C = 6,
    cbN16 = 7,
    cbN10 = 8,
    cbJpn = 9,
    cbN60 = 10,
    cbTim = 11,
    cbFac = 12,
    cbPar = 13,
    cbdB = 14,
    cbUsr = 15,
    cbPolar = 16,
    cbI = 17,
    cbJ = 18,
    cbEnd = 19,
    cbDefine = 20,  // user-function definition, set by the compiler
    cbData = 21,    // statistics data line: ">" as the first character
};

using TControlMask = std::uint32_t;

[[nodiscard]] constexpr TControlMask ControlBit(int bit) noexcept { return TControlMask{1} << bit; }

struct TCalcItem {
    std::string Text;  // the text kept for the log: canonical literal, name, undefined name
    int Tag = 0;       // literal: its reading error code; undefined name: 1
    TCplx Value;
    TItemKind Kind = TItemKind::mNop;
    std::uint8_t Code = 0;  // mCon, mFun, mOpr
    TControlMask Mask = 0;  // mCnt
    int Index = 0;          // mVar, mUsr, mArg

    [[nodiscard]] bool Is(TItemKind k) const noexcept { return Kind == k; }
    [[nodiscard]] bool IsOperator(int code) const noexcept {
        return Kind == TItemKind::mOpr && Code == code;
    }
};

// Equality of two values bit for bit (a negative zero differs from zero, a NaN equals itself).
[[nodiscard]] inline bool SameBits(const TCplx& a, const TCplx& b) noexcept {
    const auto same = [](long double x, long double y) { return std::memcmp(&x, &y, 10) == 0; };
    return same(a.Re.Num, b.Re.Num) && same(a.Re.Den, b.Re.Den) && same(a.Im.Num, b.Im.Num) &&
           same(a.Im.Den, b.Im.Den);
}

[[nodiscard]] inline bool SameItem(const TCalcItem& a, const TCalcItem& b) noexcept {
    return a.Kind == b.Kind && a.Code == b.Code && a.Mask == b.Mask && a.Index == b.Index &&
           a.Tag == b.Tag && a.Text == b.Text && SameBits(a.Value, b.Value);
}

// A compiled line, a user-function body or an evaluation stack.
using TCalcList = std::vector<TCalcItem>;

// The list of a compiled line: cleared, it holds exactly one mNop item.
class TCompList : public TCalcList {
public:
    TCompList() { Reset(); }
    void Reset() {
        clear();
        emplace_back();
    }
};

[[nodiscard]] inline TCalcItem MakeItem(TItemKind kind, int code = 0) {
    TCalcItem item;
    item.Kind = kind;
    item.Code = static_cast<std::uint8_t>(code);
    return item;
}

[[nodiscard]] inline TCalcItem MakeValue(const TCplx& v, std::string text = {}) {
    TCalcItem item;
    item.Kind = TItemKind::mVal;
    item.Value = v;
    item.Text = std::move(text);
    return item;
}

}  // namespace rekna
