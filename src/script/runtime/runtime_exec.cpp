// Execution of statements: declarations, assignments, calls, branches and loops.
#include <cmath>

#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

TFlow TRuntime::ExecBlock(const TBlock& block) {
    for (const TStmtPtr& s : block) {
        try {
            const TFlow flow = Exec(*s);
            if (flow != TFlow::flNormal) return flow;
        } catch (TScriptRaise& r) {
            if (!r.Located) {
                r.Located = true;
                r.Line = s->Line;
                r.Column = s->Column;
                r.Program = FFrame->Program;
            }
            if (!FFrame->ResumeNext || r.Fatal) throw;
            SetErr(r);
        }
    }
    return TFlow::flNormal;
}

std::shared_ptr<TScriptArray> TRuntime::NewArray(const std::vector<std::int32_t>& upper,
                                                 bool fixed) {
    double count = 1;
    for (const std::int32_t u : upper) {
        if (u < -1) Raise(seSubscript);
        count *= static_cast<double>(u) + 1;
    }
    CheckItems(count);
    auto arr = std::make_shared<TScriptArray>();
    arr->Upper = upper;
    arr->Fixed = fixed;
    arr->Items.resize(static_cast<std::size_t>(count));
    return arr;
}

void TRuntime::ExecDim(const TStmt& s) {
    for (const TDeclare& d : s.Declares) {
        TVariant& var = VariableForWriteByName(d.Name, nullptr);
        if (!d.IsArray) continue;
        std::vector<std::int32_t> upper;
        for (const TExprPtr& b : d.Bounds)
            upper.push_back(ToLong(Eval(*b)));
        var = TVariant::Array(NewArray(upper, !upper.empty()));
    }
}

void TRuntime::ExecReDim(const TStmt& s) {
    for (const TDeclare& d : s.Declares) {
        std::vector<std::int32_t> upper;
        for (const TExprPtr& b : d.Bounds)
            upper.push_back(ToLong(Eval(*b)));
        TVariant& var = VariableForWriteByName(d.Name, nullptr);
        if (var.IsArray() && var.Arr().Fixed) Raise(seFixedArray);
        std::shared_ptr<TScriptArray> fresh = NewArray(upper, false);
        if (s.Preserve && var.IsArray() && !var.Arr().Upper.empty()) {
            const TScriptArray& old = var.Arr();
            if (old.Upper.size() != upper.size()) Raise(seSubscript);
            for (std::size_t k = 0; k + 1 < upper.size(); ++k) {
                if (old.Upper[k] != upper[k]) Raise(seSubscript);
            }
            // The last index varies slowest, so the kept elements are a prefix of the items.
            const std::size_t keep = std::min(old.Items.size(), fresh->Items.size());
            for (std::size_t k = 0; k < keep; ++k)
                fresh->Items[k] = old.Items[k];
        }
        var = TVariant::Array(std::move(fresh));
    }
}

void TRuntime::ExecErase(const TStmt& s) {
    for (const TDeclare& d : s.Declares) {
        TVariant* var = FindVariableByName(d.Name);
        if (!var || !var->IsArray()) Raise(seTypeMismatch);
        if (var->Arr().Fixed) {
            for (TVariant& item : var->MutableArr().Items)
                item = TVariant();
        } else {
            *var = TVariant::Array(std::make_shared<TScriptArray>());
        }
    }
}

void TRuntime::Assign(const TExpr& target, TVariant value, bool isSet) {
    if (isSet && !value.IsObject()) Raise(seObjectRequired);
    if (value.IsArray() && value.Arr().Fixed) {
        auto copy = std::make_shared<TScriptArray>(value.Arr());
        copy->Fixed = false;
        value = TVariant::Array(std::move(copy));
    }
    if (target.Kind == TExprKind::ekName) {
        if (target.HasArgs && !target.Args.empty()) {
            const std::vector<std::int32_t> idx = EvalIndexes(target.Args);
            TVariant* var = FindVariable(target);
            if (!var) {
                if (OptionExplicit()) Raise(seUndefinedVar);
                Raise(seTypeMismatch);
            }
            Element(*var, idx) = std::move(value);
            return;
        }
        TVariant& var = VariableForWrite(target);
        if (IsConstant(target)) Raise(seIllegalAssign);
        if (var.IsArray() && var.Arr().Fixed) Raise(seIllegalAssign);
        var = std::move(value);
        return;
    }
    if (target.Kind != TExprKind::ekMember) Raise(seIllegalAssign);
    if (target.Name.empty()) {
        // "a(1)(2) = v": an element of an array held in an array element
        if (target.Left->Kind != TExprKind::ekName || !target.Left->HasArgs) Raise(seIllegalAssign);
        const std::vector<std::int32_t> outer = EvalIndexes(target.Left->Args);
        const std::vector<std::int32_t> idx = EvalIndexes(target.Args);
        TVariant* var = FindVariable(*target.Left);
        if (!var) Raise(seTypeMismatch);
        Element(Element(*var, outer), idx) = std::move(value);
        return;
    }
    const TVariant owner =
        target.Left->Kind == TExprKind::ekName ? EvalName(*target.Left, true) : Eval(*target.Left);
    const std::shared_ptr<TScriptObject> obj = ObjectOf(owner);
    std::vector<TVariant> args = EvalArgs(target.Args);
    args.push_back(std::move(value));
    TVariant ignored;
    Invoke(*obj, target.Spelling, isSet ? ifPropertyPutRef : ifPropertyPut, args, ignored);
}

TFlow TRuntime::ExecFor(const TStmt& s) {
    const TVariant start = ToNumeric(Eval(*s.Value));
    const TVariant limitValue = ToNumeric(Eval(*s.Limit));
    const TVariant step = s.Step ? ToNumeric(Eval(*s.Step)) : TVariant::Integer(1);
    const double limit = limitValue.AsDouble();
    const double stepValue = step.AsDouble();
    if (IsConstant(*s.Target)) Raise(seIllegalAssign);
    VariableForWrite(*s.Target) = start;
    for (;;) {
        const double current = ToDouble(VariableForWrite(*s.Target));
        if (stepValue >= 0 ? current > limit : current < limit) break;
        Poll();
        const TFlow flow = ExecBlock(s.Blocks[0]);
        if (flow == TFlow::flExitFor) break;
        if (flow != TFlow::flNormal) return flow;
        TVariant& var = VariableForWrite(*s.Target);
        var = Arithmetic(TBinaryOp::boAdd, var, step, Owner.Limits.MaxTextBytes);
    }
    return TFlow::flNormal;
}

TFlow TRuntime::ExecForEach(const TStmt& s) {
    const TVariant group = Eval(*s.Value);
    if (!group.IsArray()) Raise(group.IsObject() ? seNotCollection : seNotCollection);
    const std::shared_ptr<TScriptArray> items = group.SharedArr();
    for (const TVariant& item : items->Items) {
        Poll();
        VariableForWrite(*s.Target) = item;
        const TFlow flow = ExecBlock(s.Blocks[0]);
        if (flow == TFlow::flExitFor) break;
        if (flow != TFlow::flNormal) return flow;
    }
    return TFlow::flNormal;
}

TFlow TRuntime::ExecDo(const TStmt& s) {
    auto holds = [&] {
        const TVariant c = Eval(*s.Value);
        const bool truth = !c.IsNull() && ToBool(c);
        return s.Until ? !truth : truth;
    };
    for (;;) {
        Poll();
        if (s.PreTest && !holds()) break;
        const TFlow flow = ExecBlock(s.Blocks[0]);
        if (flow == TFlow::flExitDo) break;
        if (flow != TFlow::flNormal) return flow;
        if (!s.PreTest && s.Value && !holds()) break;
    }
    return TFlow::flNormal;
}

TFlow TRuntime::ExecSelect(const TStmt& s) {
    const TVariant test = Eval(*s.Value);
    const bool testLiteral = s.Value->Kind == TExprKind::ekLiteral;
    for (const TCaseClause& clause : s.Cases) {
        bool match = clause.Items.empty();
        for (const TCaseItem& item : clause.Items) {
            const TVariant low = Eval(*item.Low);
            const bool lowLiteral = item.Low->Kind == TExprKind::ekLiteral;
            if (item.IsCompare) {
                const TVariant r = Comparison(item.Op, test, low, testLiteral, lowLiteral);
                match = !r.IsNull() && r.BoolValue();
            } else if (item.High) {
                const TVariant high = Eval(*item.High);
                const int a = CompareValues(test, low, testLiteral, lowLiteral);
                const int b =
                    CompareValues(test, high, testLiteral, item.High->Kind == TExprKind::ekLiteral);
                match = a != 2 && b != 2 && a >= 0 && b <= 0;
            } else {
                match = CompareValues(test, low, testLiteral, lowLiteral) == 0;
            }
            if (match) break;
        }
        if (match) return ExecBlock(clause.Body);
    }
    return TFlow::flNormal;
}

TFlow TRuntime::Exec(const TStmt& s) {
    switch (s.Kind) {
    case TStmtKind::skDim: ExecDim(s); break;
    case TStmtKind::skReDim: ExecReDim(s); break;
    case TStmtKind::skErase: ExecErase(s); break;
    case TStmtKind::skConst:
        for (const TDeclare& d : s.Declares) {
            TVariant value = Eval(*d.Value);
            VariableForWriteByName(d.Name, nullptr) = std::move(value);
            if (!FFrame->Proc || FFrame->Proc->LocalIndex.count(d.Name) == 0) {
                FGlobalConst[FGlobalIndex[d.Name]] = true;
            }
        }
        break;
    case TStmtKind::skAssign: Assign(*s.Target, Eval(*s.Value), false); break;
    case TStmtKind::skSet: {
        const TExpr& v = *s.Value;
        Assign(*s.Target, v.Kind == TExprKind::ekName ? EvalName(v, true) : Eval(v), true);
        break;
    }
    case TStmtKind::skCall:
        if (s.Target->Kind == TExprKind::ekMember && !s.Target->Name.empty()) {
            EvalMember(*s.Target, ifMethod);
        } else if (s.Target->Kind == TExprKind::ekName) {
            TVariant* var = FindVariable(*s.Target);
            if (var) {
                EvalName(*s.Target, false);
            } else {
                CallName(*s.Target, true);
            }
        } else {
            Eval(*s.Target);
        }
        break;
    case TStmtKind::skIf:
        for (std::size_t i = 0; i < s.Conditions.size(); ++i) {
            const TVariant c = Eval(*s.Conditions[i]);
            if (!c.IsNull() && ToBool(c)) return ExecBlock(s.Blocks[i]);
        }
        if (s.Blocks.size() > s.Conditions.size()) return ExecBlock(s.Blocks.back());
        break;
    case TStmtKind::skSelect: return ExecSelect(s);
    case TStmtKind::skFor: return ExecFor(s);
    case TStmtKind::skForEach: return ExecForEach(s);
    case TStmtKind::skDo: return ExecDo(s);
    case TStmtKind::skWhile:
        for (;;) {
            Poll();
            const TVariant c = Eval(*s.Value);
            if (c.IsNull() || !ToBool(c)) break;
            const TFlow flow = ExecBlock(s.Blocks[0]);
            if (flow != TFlow::flNormal) return flow;
        }
        break;
    case TStmtKind::skExitFor: return TFlow::flExitFor;
    case TStmtKind::skExitDo: return TFlow::flExitDo;
    case TStmtKind::skExitProc: return TFlow::flExitProc;
    case TStmtKind::skOnErrorResume:
        FFrame->ResumeNext = true;
        ClearErr();
        break;
    case TStmtKind::skOnErrorGoto0:
        FFrame->ResumeNext = false;
        ClearErr();
        break;
    }
    return TFlow::flNormal;
}

}  // namespace rekna
