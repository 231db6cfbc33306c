// The memo formula list: the compiled lines of the memo that the graph window runs again for
// every sample, reduced to the lines whose results reach its formulas.
#include "engine/functions.h"
#include "engine/operators.h"
#include "engine/statistics.h"
#include "engine/vt_calc.h"

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

bool ReadsAssigned(const TCalcList& list, const TVariList& vars) {
    for (const TCalcItem& item : list) {
        const int id = VariableOf(item, vars);
        if (id >= 0 && (vars.Item(id).Flags & vfAssigned)) return true;
    }
    return false;
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

// Sets or clears the assigned bit of every variable the list assigns.
void MarkAssigned(const TCalcList& list, TVariList& vars, bool set) {
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        const TCalcItem& next = list[i + 1];
        if (!next.IsOperator(opAssign) && !next.IsOperator(opRevAssign)) continue;
        const int id = VariableOf(list[i], vars);
        if (id < 0) continue;
        const std::string& name = vars.Item(id).Name;
        if (set) {
            vars.Mark(name, vfAssigned);
        } else {
            vars.Unmark(name, vfAssigned);
        }
    }
}

bool SomeGraphVariableAssigned(const TVariList& vars) {
    for (int id = 0; id < vars.Count(); ++id) {
        const auto flags = vars.Item(id).Flags;
        if ((flags & vfAssigned) && (flags & vfGraph)) return true;
    }
    return false;
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
    const int fId = FVars.FId();
    std::vector<bool> keep(FMemoFormulas.size(), false);
    for (std::size_t k = 0; k < FMemoFormulas.size(); ++k) {
        FVars.ClearFlagAll(vfAssigned);
        bool previous = false;
        for (std::size_t j = k; j < FMemoFormulas.size(); ++j) {
            const TCalcList& entry = FMemoFormulas[j];
            const bool fAssigned = fId >= 0 && (FVars.Item(fId).Flags & vfAssigned);
            const bool affected = j == k || ReadsAssigned(entry, FVars) ||
                                  (fAssigned && CallsElectrical(entry)) ||
                                  (previous && ReadsAns(entry, FVars));
            MarkAssigned(entry, FVars, affected);
            previous = affected;
        }
        keep[k] = SomeGraphVariableAssigned(FVars);
    }
    std::vector<TCalcList> kept;
    for (std::size_t k = 0; k < FMemoFormulas.size(); ++k) {
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
