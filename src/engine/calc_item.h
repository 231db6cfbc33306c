// TCalcItem and TCalcList: the compiled form of one line, and the entries of the evaluation stacks.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "numbers/cplx.h"

namespace rekna {

// A compiled line may hold millions of items, so an item is kept to 64 bytes: its value
// without the padding of the extended type, and its text as one pointer.

// A TCplx stored as the 10 significant bytes of each of its four extended values.
class TPackedCplx {
public:
    // TCplx(), 0 / 1 in both parts, written as bytes: items are made all the time, and going
    // through the extended type costs a store and reload of each part. 1.0 is the mantissa 2^63
    // under the exponent 0x3FFF.
    TPackedCplx() noexcept : FBytes{} {
        for (const std::size_t den : {kPart, 3 * kPart}) {
            FBytes[den + 7] = 0x80;
            FBytes[den + 8] = 0xFF;
            FBytes[den + 9] = 0x3F;
        }
    }
    explicit TPackedCplx(const TCplx& v) noexcept { Store(v); }
    TPackedCplx& operator=(const TCplx& v) noexcept {
        Store(v);
        return *this;
    }
    operator TCplx() const noexcept { return Get(); }
    [[nodiscard]] TCplx Get() const noexcept {
        TCplx v;
        std::memcpy(&v.Re.Num, FBytes, kPart);
        std::memcpy(&v.Re.Den, FBytes + kPart, kPart);
        std::memcpy(&v.Im.Num, FBytes + 2 * kPart, kPart);
        std::memcpy(&v.Im.Den, FBytes + 3 * kPart, kPart);
        return v;
    }
    // Equal bit for bit (a negative zero differs from zero, a NaN equals itself).
    [[nodiscard]] friend bool operator==(const TPackedCplx& a, const TPackedCplx& b) noexcept {
        return std::memcmp(a.FBytes, b.FBytes, sizeof a.FBytes) == 0;
    }

private:
    static constexpr std::size_t kPart = 10;  // the bytes of an x87 extended value
    void Store(const TCplx& v) noexcept {
        std::memcpy(FBytes, &v.Re.Num, kPart);
        std::memcpy(FBytes + kPart, &v.Re.Den, kPart);
        std::memcpy(FBytes + 2 * kPart, &v.Im.Num, kPart);
        std::memcpy(FBytes + 3 * kPart, &v.Im.Den, kPart);
    }
    unsigned char FBytes[4 * kPart];
};

// An immutable text of an item in one word: up to 7 bytes inside the word itself (low bit
// set, the length above it), a longer text in a block shared by the copies of the item (an
// aligned pointer), nothing as 0. Items are copied onto the evaluation stacks all the time;
// their texts hardly ever change.
class TItemText {
public:
    TItemText() noexcept = default;
    explicit TItemText(std::string_view s) { Assign(s); }
    TItemText(const TItemText& o) noexcept : FWord(o.FWord) {
        if (TRep* rep = Rep()) ++rep->Refs;
    }
    TItemText(TItemText&& o) noexcept : FWord(std::exchange(o.FWord, 0)) {}
    TItemText& operator=(const TItemText& o) noexcept {
        TItemText copy(o);
        std::swap(FWord, copy.FWord);
        return *this;
    }
    TItemText& operator=(TItemText&& o) noexcept {
        std::swap(FWord, o.FWord);
        return *this;
    }
    TItemText& operator=(std::string_view s) {
        Assign(s);
        return *this;
    }
    ~TItemText() { Release(); }

    TItemText& operator+=(std::string_view s) {
        std::string joined(View());
        joined += s;
        Assign(joined);
        return *this;
    }
    TItemText& operator+=(char c) { return *this += std::string_view(&c, 1); }

    operator std::string_view() const noexcept { return View(); }
    [[nodiscard]] std::string_view View() const noexcept {
        if (FWord & 1) return {reinterpret_cast<const char*>(&FWord) + 1, (FWord & 0xFF) >> 1};
        const TRep* rep = Rep();
        return rep ? std::string_view(rep->Chars(), rep->Size) : std::string_view();
    }
    [[nodiscard]] std::string substr(std::size_t pos) const {
        const std::string_view v = View();
        return std::string(v.substr(std::min(pos, v.size())));
    }
    [[nodiscard]] bool empty() const noexcept { return FWord == 0; }
    [[nodiscard]] std::size_t size() const noexcept { return View().size(); }
    [[nodiscard]] char front() const noexcept { return empty() ? '\0' : View().front(); }
    void clear() noexcept {
        Release();
        FWord = 0;
    }

    [[nodiscard]] friend bool operator==(const TItemText& a, const TItemText& b) noexcept {
        return a.View() == b.View();
    }

private:
    static_assert(std::endian::native == std::endian::little,
                  "the inline bytes follow the low byte");
    static constexpr std::size_t kInline = sizeof(std::uintptr_t) - 1;
    struct TRep {
        std::size_t Refs;
        std::size_t Size;
        [[nodiscard]] char* Chars() noexcept { return reinterpret_cast<char*>(this + 1); }
        [[nodiscard]] const char* Chars() const noexcept {
            return reinterpret_cast<const char*>(this + 1);
        }
    };
    [[nodiscard]] TRep* Rep() const noexcept {
        return (FWord & 1) ? nullptr : reinterpret_cast<TRep*>(FWord);
    }
    void Assign(std::string_view s) {
        std::uintptr_t word = 0;
        if (!s.empty() && s.size() <= kInline) {
            word = (s.size() << 1) | 1;
            std::memcpy(reinterpret_cast<char*>(&word) + 1, s.data(), s.size());
        } else if (!s.empty()) {
            auto* rep = static_cast<TRep*>(::operator new(sizeof(TRep) + s.size()));
            rep->Refs = 1;
            rep->Size = s.size();
            std::memcpy(rep->Chars(), s.data(), s.size());
            word = reinterpret_cast<std::uintptr_t>(rep);
        }
        Release();
        FWord = word;
    }
    void Release() noexcept {
        TRep* rep = Rep();
        if (rep && --rep->Refs == 0) ::operator delete(rep);
    }
    std::uintptr_t FWord = 0;
};

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

[[nodiscard]] constexpr TControlMask ControlBit(int bit) noexcept {
    return TControlMask{1} << bit;
}

struct TCalcItem {
    TItemText Text;  // the text kept for the log: canonical literal, name, undefined name
    TPackedCplx Value;
    int Tag = 0;            // literal: its reading error code; undefined name: 1
    int Index = 0;          // mVar, mUsr, mArg
    TControlMask Mask = 0;  // mCnt
    TItemKind Kind = TItemKind::mNop;
    std::uint8_t Code = 0;  // mCon, mFun, mOpr

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

static_assert(sizeof(TCalcItem) <= 64, "a compiled line of millions of items must stay small");

[[nodiscard]] inline bool SameItem(const TCalcItem& a, const TCalcItem& b) noexcept {
    return a.Kind == b.Kind && a.Code == b.Code && a.Mask == b.Mask && a.Index == b.Index &&
           a.Tag == b.Tag && a.Text == b.Text && a.Value == b.Value;
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

[[nodiscard]] inline TCalcItem MakeValue(const TCplx& v, std::string_view text = {}) {
    TCalcItem item;
    item.Kind = TItemKind::mVal;
    item.Value = v;
    if (!text.empty()) item.Text = text;
    return item;
}

}  // namespace rekna
