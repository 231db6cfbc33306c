// User-defined functions: recognising definition lines, defining, finding and visibility.
#include "engine/user_func.h"

#include <atomic>
#include <unordered_map>

#include "engine/operators.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

bool IsNameItem(const TCalcItem& item) noexcept {
    switch (item.Kind) {
    case TItemKind::mCon:
    case TItemKind::mFun:
    case TItemKind::mVar:
    case TItemKind::mStr:
    case TItemKind::mUsr: return true;
    default: return false;
    }
}

bool IsParamItem(const TCalcItem& item) noexcept {
    return item.Kind == TItemKind::mVar || item.Kind == TItemKind::mStr;
}

// Index of the closing bracket of the parameter list that starts at 4, or 0.
std::size_t ParamListEnd(const TCalcList& items, std::vector<std::size_t>* params) {
    std::size_t i = 4;
    while (i + 1 < items.size()) {
        if (!IsParamItem(items[i])) return 0;
        if (params) params->push_back(i);
        const TCalcItem& next = items[i + 1];
        if (next.Kind == TItemKind::mCen) return i + 1 >= 5 ? i + 1 : 0;
        if (!next.IsOperator(opComma)) return 0;
        i += 2;
    }
    return 0;
}

bool SameFunction(const TUserFunc& a, const TUserFunc& b) noexcept {
    if (a.Name != b.Name || a.Params != b.Params || a.BodyStart != b.BodyStart ||
        a.Items.size() != b.Items.size())
        return false;
    for (std::size_t i = 0; i < a.Items.size(); ++i) {
        if (!SameItem(a.Items[i], b.Items[i])) return false;
    }
    return true;
}

}  // namespace

std::string LowerName(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (IsLeadByte(c) && i + 1 < out.size()) {
            const auto t = static_cast<unsigned char>(out[i + 1]);
            if (c == 0x83 && t >= 0x9F && t <= 0xB6) out[i + 1] = static_cast<char>(t + 32);
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        }
    }
    return out;
}

std::size_t FindDefinitionShape(TCalcList& items) {
    if (items.size() <= 7) return 0;
    if (!items[1].Is(TItemKind::mCnt) || !(items[1].Mask & ControlBit(cbHash))) return 0;
    if (!IsNameItem(items[2])) return 0;
    if (items[3].IsOperator(opImplicitMul)) items.erase(items.begin() + 3);
    if (items.size() <= 7 || !items[3].Is(TItemKind::mCbe)) return 0;
    const std::size_t close = ParamListEnd(items, nullptr);
    if (close == 0 || close + 1 >= items.size() || !items[close + 1].IsOperator(opAssign)) return 0;
    return close + 2;
}

int TUserFuncList::Find(std::string_view lowerName) const noexcept {
    // Most memos define no function: no name to hash.
    if (FIndex.empty()) return -1;
    const auto it = FIndex.find(lowerName);
    return it == FIndex.end() ? -1 : it->second;
}

int TUserFuncList::VisibleLimit(std::string_view lowerName) const noexcept {
    const int index = Find(lowerName);
    return index >= 0 ? index : Count();
}

const TUserFunc* TUserFuncList::Get(int index) const noexcept {
    if (index < 0 || index >= Count()) return nullptr;
    return FFuncs[static_cast<std::size_t>(index)].get();
}

int TUserFuncList::Define(const TCalcList& line, bool* created) {
    if (created) *created = false;
    if (line.size() < 8 || !IsNameItem(line[2]) || !line[3].Is(TItemKind::mCbe)) return -1;
    std::vector<std::size_t> paramIndexes;
    const std::size_t close = ParamListEnd(line, &paramIndexes);
    if (close == 0 || close + 1 >= line.size() || !line[close + 1].IsOperator(opAssign)) return -1;

    auto func = std::make_unique<TUserFunc>();
    func->Name = LowerName(line[2].Text);
    for (std::size_t i : paramIndexes)
        func->Params.push_back(LowerName(line[i].Text));

    const std::size_t bodyStart = close + 2;
    func->Items.assign(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(bodyStart));
    func->BodyStart = func->Items.size();
    func->Items.push_back(MakeItem(TItemKind::mCbe));
    // The first parameter of a name counts; a body of n names and a list of m parameters take
    // n + m steps.
    std::unordered_map<std::string_view, std::size_t> paramNumber;
    for (std::size_t k = func->Params.size(); k-- > 0;)
        paramNumber[func->Params[k]] = k;
    for (std::size_t i = bodyStart; i < line.size(); ++i) {
        TCalcItem item = line[i];
        if (IsParamItem(item)) {
            const auto it = paramNumber.find(LowerName(item.Text));
            if (it != paramNumber.end()) {
                item.Kind = TItemKind::mArg;
                item.Index = static_cast<int>(it->second);
                item.Text = line[paramIndexes[it->second]].Text;
            }
        }
        func->Items.push_back(std::move(item));
    }
    func->Items.push_back(MakeItem(TItemKind::mCen));

    const int existing = Find(func->Name);
    if (existing >= 0) {
        // Running the same definition again (every run of a memo does) changes nothing.
        auto& slot = FFuncs[static_cast<std::size_t>(existing)];
        if (!SameFunction(*slot, *func)) {
            FShape = NewShape();
            slot = std::move(func);
        }
        return existing;
    }
    FShape = NewShape();
    FIndex.emplace(func->Name, Count());
    FFuncs.push_back(std::move(func));
    if (created) *created = true;
    return Count() - 1;
}

void TUserFuncList::Clear() noexcept {
    FFuncs.clear();
    FIndex.clear();
    FBase.clear();
    FBaseShape = 0;
    FShape = NewShape();
}

std::uint64_t TUserFuncList::NewShape() noexcept {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

void TUserFuncList::SetUndoBase() {
    FBase = FFuncs;
    FBaseShape = FShape;
}

void TUserFuncList::UndoToBase() {
    if (FBaseShape == FShape) return;
    // The base is where the list was: the functions since were added behind it or replaced in
    // place, so only the names added behind it leave the index.
    for (std::size_t i = FBase.size(); i < FFuncs.size(); ++i)
        FIndex.erase(FFuncs[i]->Name);
    FFuncs = FBase;
    FShape = FBaseShape;
}

}  // namespace rekna
