// The compiler's repairs: a leading operator, trailing operators, unbalanced brackets, doubled
// signs, implicit multiplication and empty brackets.
#include <algorithm>

#include "engine/compiler.h"
#include "engine/operators.h"

namespace rekna {

namespace {

bool IsBinary(const TCalcItem& item) noexcept {
    return item.Kind == TItemKind::mOpr && !IsUnaryMinus(item.Code);
}

bool IsUnary(const TCalcItem& item) noexcept {
    return item.Kind == TItemKind::mOpr && IsUnaryMinus(item.Code);
}

bool IsCallable(const TCalcItem& item) noexcept {
    return item.Kind == TItemKind::mCon || item.Kind == TItemKind::mFun ||
           item.Kind == TItemKind::mUsr;
}

bool EndsOperand(const TCalcItem& item) noexcept {
    switch (item.Kind) {
    case TItemKind::mVal:
    case TItemKind::mVar:
    case TItemKind::mStr:
    case TItemKind::mCen: return true;
    default: return false;
    }
}

bool StartsOperand(const TCalcItem& item) noexcept {
    switch (item.Kind) {
    case TItemKind::mCon:
    case TItemKind::mFun:
    case TItemKind::mVal:
    case TItemKind::mVar:
    case TItemKind::mCbe:
    case TItemKind::mStr:
    case TItemKind::mUsr: return true;
    default: return false;
    }
}

// The operator two adjacent operators make together, or -1.
int MergedOperator(int first, int second) noexcept {
    struct TPair {
        int First, Second, Merged;
    };
    static constexpr TPair kPairs[] = {
        {opGreater, opAssign, opGreaterEq},
        {opAssign, opGreater, opGreaterEq},
        {opLess, opAssign, opLessEq},
        {opAssign, opLess, opLessEq},
        {opGreater, opLess, opNotEqual},
        {opLess, opGreater, opNotEqual},
        {opAssign, opPow, opRevAssign},
        {opSub, opPow, opRevSub},
        {opDiv, opPow, opRevDiv},
        {opPow, opPow, opRevPow},
        {opMul, opMul, opPow},
        {opDiv, opDiv, opParallel},
        {opParallel, opParallel, opAdd},
        {opAssign, opAssign, opEqual},
    };
    for (const auto& p : kPairs) {
        if (p.First == first && p.Second == second) return p.Merged;
    }
    return -1;
}

using TPos = std::ptrdiff_t;

}  // namespace

void TCompiler::RepairOperators(TCalcList& items, std::size_t start) const {
    // Every rule below drops items; a dropped item becomes an mNop (no other mNop stands after
    // the start) and the list is compacted once after each rule.
    const auto isDropped = [](const TCalcItem& item) { return item.Is(TItemKind::mNop); };
    const auto compact = [&items, start, isDropped] {
        const auto from = items.begin() + static_cast<TPos>(start);
        items.erase(std::remove_if(from, items.end(), isDropped), items.end());
    };

    // Merge operator pairs from the end: ">=" "=>" "<>" "**" "//" "||" "==" "=^" ...; of any
    // other pair the second becomes a unary minus when it is "-" and is dropped otherwise. A
    // pair is looked at before anything left of it changes, so positions stay as they were.
    bool dropped = false;
    for (std::size_t i = items.size(); i-- > start + 1;) {
        if (!IsBinary(items[i - 1]) || !IsBinary(items[i])) continue;
        const int merged = MergedOperator(items[i - 1].Code, items[i].Code);
        if (merged >= 0) {
            items[i - 1].Code = static_cast<std::uint8_t>(merged);
            items[i] = MakeItem(TItemKind::mNop);
            dropped = true;
        } else if (items[i].Code == opSub) {
            items[i].Code = opNeg;
        } else {
            items[i] = MakeItem(TItemKind::mNop);
            dropped = true;
        }
    }
    if (dropped) compact();

    // A binary operator where a value must start: "-" negates, anything else goes.
    std::size_t w = start;
    for (std::size_t r = start; r < items.size(); ++r) {
        if (IsBinary(items[r]) && (w == start || items[w - 1].Is(TItemKind::mCbe))) {
            if (items[r].Code != opSub) continue;
            items[r].Code = opNeg;
        }
        if (w != r) items[w] = std::move(items[r]);
        ++w;
    }
    items.erase(items.begin() + static_cast<TPos>(w), items.end());

    // Two negations cancel.
    w = start;
    for (std::size_t r = start; r < items.size(); ++r) {
        if (IsUnary(items[r]) && r + 1 < items.size() && IsUnary(items[r + 1])) {
            ++r;
            continue;
        }
        if (w != r) items[w] = std::move(items[r]);
        ++w;
    }
    items.erase(items.begin() + static_cast<TPos>(w), items.end());

    // Operators directly before a closing bracket, however many.
    dropped = false;
    bool beforeClose = false;
    for (std::size_t i = items.size(); i-- > start;) {
        if (beforeClose && items[i].Kind == TItemKind::mOpr) {
            items[i] = MakeItem(TItemKind::mNop);
            dropped = true;
            continue;
        }
        beforeClose = items[i].Is(TItemKind::mCen);
    }
    if (dropped) compact();
}

bool TCompiler::Repair(TCalcList& items, std::size_t start) const {
    if (start >= items.size()) return true;

    // "*2" means Ans*2.
    if ((IsBinary(items[start]) && items[start].Code != opSub) || items[start].Is(TItemKind::mCen))
        items.insert(items.begin() + static_cast<TPos>(start), AnsItem());

    // Trailing operators, and a trailing "(" that opens no call.
    while (items.size() > start) {
        const TCalcItem& last = items.back();
        if (last.Kind == TItemKind::mOpr) {
            items.pop_back();
        } else if (last.Is(TItemKind::mCbe) &&
                   !(items.size() >= start + 2 && IsCallable(items[items.size() - 2]))) {
            items.pop_back();
        } else {
            break;
        }
    }

    // Balance the brackets.
    std::size_t depth = 0, missingOpen = 0;
    for (std::size_t i = start; i < items.size(); ++i) {
        if (items[i].Is(TItemKind::mCbe)) {
            ++depth;
        } else if (items[i].Is(TItemKind::mCen)) {
            if (depth == 0) {
                ++missingOpen;
            } else {
                --depth;
            }
        }
    }
    if (items.size() + missingOpen + depth > kMaxLineItems) return false;
    items.insert(items.begin() + static_cast<TPos>(start), missingOpen, MakeItem(TItemKind::mCbe));
    items.insert(items.end(), depth, MakeItem(TItemKind::mCen));

    // The operator repairs below have work only where operators meet each other or a
    // bracket, or a line starts with one; most lines have none of that.
    bool operatorWork = false;
    for (std::size_t i = start; i < items.size() && !operatorWork; ++i) {
        if (items[i].Kind != TItemKind::mOpr) continue;
        operatorWork = i == start || items[i - 1].Kind == TItemKind::mOpr ||
                       items[i - 1].Is(TItemKind::mCbe) ||
                       (i + 1 < items.size() && items[i + 1].Is(TItemKind::mCen));
    }
    if (operatorWork) RepairOperators(items, start);

    // Implicit multiplication, 2(3+4), (2)x, (a)(b), and the value of empty brackets, which
    // hold 1 after a constant (Pi() is π) and 0 otherwise (Rand() is Rand(0)). The list grows
    // once and its items move to their places from the end.
    std::size_t products = 0, empties = 0;
    for (std::size_t i = start; i + 1 < items.size(); ++i) {
        if (EndsOperand(items[i]) && StartsOperand(items[i + 1])) ++products;
        if (items[i].Is(TItemKind::mCbe) && items[i + 1].Is(TItemKind::mCen)) ++empties;
    }
    if (products + empties == 0) return true;
    if (items.size() + products + empties > kMaxLineItems) return false;
    const std::size_t n = items.size();
    items.resize(n + products + empties);
    std::size_t w = items.size();
    for (std::size_t i = n; i-- > 0;) {
        if (i >= start && i + 1 < n) {
            const TCalcItem& next = items[w];
            if (items[i].Is(TItemKind::mCbe) && next.Is(TItemKind::mCen)) {
                const bool constant = i > 0 && items[i - 1].Is(TItemKind::mCon);
                items[--w] = MakeValue(TCplx(constant ? 1.0L : 0.0L));
            } else if (EndsOperand(items[i]) && StartsOperand(next)) {
                items[--w] = MakeItem(TItemKind::mOpr, opImplicitMul);
            }
        }
        if (--w != i) items[w] = std::move(items[i]);
    }
    return true;
}

}  // namespace rekna
