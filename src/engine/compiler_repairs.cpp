// The compiler's repairs: a leading operator, trailing operators, unbalanced brackets, doubled
// signs, implicit multiplication and empty brackets.
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
        {opGreater, opAssign, opGreaterEq}, {opAssign, opGreater, opGreaterEq},
        {opLess, opAssign, opLessEq},       {opAssign, opLess, opLessEq},
        {opGreater, opLess, opNotEqual},    {opLess, opGreater, opNotEqual},
        {opAssign, opPow, opRevAssign},     {opSub, opPow, opRevSub},
        {opDiv, opPow, opRevDiv},           {opPow, opPow, opRevPow},
        {opMul, opMul, opPow},              {opDiv, opDiv, opParallel},
        {opParallel, opParallel, opAdd},    {opAssign, opAssign, opEqual},
    };
    for (const auto& p : kPairs) {
        if (p.First == first && p.Second == second) return p.Merged;
    }
    return -1;
}

using TPos = std::ptrdiff_t;

}  // namespace

void TCompiler::RepairOperators(TCalcList& items, std::size_t start) const {
    const auto at = [&items](std::size_t i) { return items.begin() + static_cast<TPos>(i); };
    // Merge operator pairs from the end: ">=" "=>" "<>" "**" "//" "||" "==" "=^" ...; of any
    // other pair the second becomes a unary minus when it is "-" and is dropped otherwise.
    for (std::size_t i = items.size(); i-- > start + 1;) {
        if (i >= items.size() || !IsBinary(items[i - 1]) || !IsBinary(items[i])) continue;
        const int merged = MergedOperator(items[i - 1].Code, items[i].Code);
        if (merged >= 0) {
            items[i - 1].Code = static_cast<std::uint8_t>(merged);
            items.erase(at(i));
        } else if (items[i].Code == opSub) {
            items[i].Code = opNeg;
        } else {
            items.erase(at(i));
        }
    }

    // A binary operator where a value must start: "-" negates, anything else goes.
    for (std::size_t i = start; i < items.size();) {
        if (IsBinary(items[i]) && (i == start || items[i - 1].Is(TItemKind::mCbe))) {
            if (items[i].Code == opSub) {
                items[i].Code = opNeg;
            } else {
                items.erase(at(i));
                continue;
            }
        }
        ++i;
    }
    // Two negations cancel.
    for (std::size_t i = start; i + 1 < items.size();) {
        if (IsUnary(items[i]) && IsUnary(items[i + 1])) {
            items.erase(at(i), at(i + 2));
        } else {
            ++i;
        }
    }
    // Operators directly before a closing bracket.
    for (std::size_t i = items.size(); i-- > start;) {
        if (i + 1 < items.size() && items[i].Kind == TItemKind::mOpr &&
            items[i + 1].Is(TItemKind::mCen))
            items.erase(at(i));
    }

}

void TCompiler::Repair(TCalcList& items, std::size_t start) const {
    const auto at = [&items](std::size_t i) { return items.begin() + static_cast<TPos>(i); };
    if (start >= items.size()) return;

    // "*2" means Ans*2.
    if ((IsBinary(items[start]) && items[start].Code != opSub) || items[start].Is(TItemKind::mCen))
        items.insert(at(start), AnsItem());

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
    int depth = 0, missingOpen = 0;
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
    items.insert(at(start), static_cast<std::size_t>(missingOpen), MakeItem(TItemKind::mCbe));
    items.insert(items.end(), static_cast<std::size_t>(depth), MakeItem(TItemKind::mCen));

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

    // Implicit multiplication: 2(3+4), (2)x, (a)(b). The list is rebuilt once rather than
    // shifted for every insertion.
    std::size_t products = 0;
    for (std::size_t i = start; i + 1 < items.size(); ++i) {
        if (EndsOperand(items[i]) && StartsOperand(items[i + 1])) ++products;
    }
    if (products > 0) {
        TCalcList& rebuilt = FScratch;
        rebuilt.clear();
        rebuilt.reserve(items.size() + products);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const bool product = i >= start && i + 1 < items.size() && EndsOperand(items[i]) &&
                                 StartsOperand(items[i + 1]);
            rebuilt.push_back(std::move(items[i]));
            if (product) rebuilt.push_back(MakeItem(TItemKind::mOpr, opImplicitMul));
        }
        items.swap(rebuilt);
    }

    // Empty brackets hold 1 after a constant (Pi() is π) and 0 otherwise (Rand() is Rand(0)).
    for (std::size_t i = start; i + 1 < items.size(); ++i) {
        if (items[i].Is(TItemKind::mCbe) && items[i + 1].Is(TItemKind::mCen)) {
            const bool constant = i > 0 && items[i - 1].Is(TItemKind::mCon);
            items.insert(at(i + 1), MakeValue(TCplx(constant ? 1.0L : 0.0L)));
        }
    }
}

}  // namespace rekna
