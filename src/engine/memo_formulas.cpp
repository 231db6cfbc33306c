// The memo formula list: the compiled lines of the memo that the graph window runs again for
// every sample, reduced to the lines whose results reach its formulas.
#include "engine/functions.h"
#include "engine/operators.h"
#include "engine/statistics.h"
#include "engine/vt_calc.h"

#include <vector>

namespace rekna {

namespace {

// The variable id an item refers to, also for a name that became a variable later.
int VariableOf(const TCalcItem& item, const TVariList& vars) {
    if (item.Kind == TItemKind::mVar) {
        return item.Index >= 0 ? item.Index : vars.Find(LowerName(item.Text));
    }
    if (item.Kind == TItemKind::mStr) return vars.Find(LowerName(item.Text));
    return -1;
}

bool CallsElectrical(const TCalcList& list) {
    for (const TCalcItem& item : list) {
        if (item.Kind == TItemKind::mFun && IsElectricalFunction(item.Code)) return true;
    }
    return false;
}

bool ReadsAns(const TCalcList& list, const TVariList& vars) {
    const int ans = vars.AnsId();
    const int ansConstant = FindConstant("ans");
    for (const TCalcItem& item : list) {
        if (ans >= 0 && VariableOf(item, vars) == ans) return true;
        if (item.Kind == TItemKind::mCon && item.Code == ansConstant) return true;
    }
    return false;
}

// The variables the list assigns.
void AssignedIds(const TCalcList& list, const TVariList& vars, std::vector<int>& ids) {
    ids.clear();
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        const TCalcItem& next = list[i + 1];
        if (!next.IsOperator(opAssign) && !next.IsOperator(opRevAssign)) continue;
        const int id = VariableOf(list[i], vars);
        if (id >= 0) ids.push_back(id);
    }
}

}  // namespace

void TVtCalc::RunMemoFormulas() {
    Statistics.Stop();
    for (const TCalcList& entry : FMemoFormulas)
        RunCompiled(true, true, &entry);
}

void TVtCalc::ReduceMemoFormulas(std::string_view xName, bool optimise) {
    const std::string x = LowerName(xName);
    if (!x.empty()) {
        if (FVars.Find(x) < 0) FVars.Set(x, TCplx(), 0);
        FVars.Mark(x, vfProtected);
    }
    if (!optimise) return;
    // A formula is kept when its result reaches a graph variable: it assigns one, or a later
    // formula that it affects is kept. Formula j is affected by an earlier affected formula i
    // when j names a variable that i assigns (F counts as named by the electrical functions),
    // or, for j = i + 1, when j reads Ans. One pass from the last formula back decides them
    // all: reaching[v] says that a formula after the current one names v and is kept.
    const int fId = FVars.FId();
    const std::size_t count = FMemoFormulas.size();
    std::vector<char> reaching(static_cast<std::size_t>(FVars.Count()), 0);
    std::vector<char> keep(count, 0);
    std::vector<int> ids;
    for (std::size_t k = count; k-- > 0;) {
        const TCalcList& entry = FMemoFormulas[k];
        bool kept = k + 1 < count && keep[k + 1] && ReadsAns(FMemoFormulas[k + 1], FVars);
        AssignedIds(entry, FVars, ids);
        for (const int id : ids) {
            if (reaching[static_cast<std::size_t>(id)] || (FVars.Item(id).Flags & vfGraph))
                kept = true;
        }
        keep[k] = kept ? 1 : 0;
        if (!kept) continue;
        for (const TCalcItem& item : entry) {
            const int id = VariableOf(item, FVars);
            if (id >= 0) reaching[static_cast<std::size_t>(id)] = 1;
        }
        if (fId >= 0 && CallsElectrical(entry)) reaching[static_cast<std::size_t>(fId)] = 1;
    }
    std::vector<TCalcList> kept;
    for (std::size_t k = 0; k < count; ++k) {
        if (keep[k]) kept.push_back(std::move(FMemoFormulas[k]));
    }
    FMemoFormulas = std::move(kept);
    FVars.ClearFlagAll(vfAssigned);
}

std::string TVtCalc::RenderCompiled(const TCalcList& list) const {
    return RenderList(list, 1, false, Scope());
}

std::string TVtCalc::RenderMemoFormulas() const {
    std::string out;
    for (const TCalcList& entry : FMemoFormulas) {
        out += RenderCompiled(entry);
        out += "\r\n";
    }
    return out;
}

}  // namespace rekna
