// Execution of statements: declarations, assignments, calls, branches, loops and With.
#include <cmath>

#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

TFlow TRuntime::ExecBlock(const TBlock& block) {
    return ExecStatements(block);
}

void TRuntime::Caught(TScriptRaise& r, const TStmt& s) {
    if (!r.Located) {
        r.Located = true;
        r.Line = s.Line;
        r.Column = s.Column;
        r.Program = FFrame->Program;
    }
    if (!FFrame->ResumeNext || r.Fatal) throw;
    SetErr(r);
    if (FDying) RunDying();
}

TVariant TRuntime::NewArray(const std::vector<std::int32_t>& upper, bool fixed) {
    double count = 1;
    for (const std::int32_t u : upper) {
        if (u < -1) Raise(seSubscript);
        count *= static_cast<double>(u) + 1;
    }
    CheckItems(count);
    CheckScriptMemory(static_cast<std::size_t>(count) * sizeof(TVariant));
    TScriptArray arr;
    arr.Upper = upper;
    arr.Fixed = fixed;
    arr.Items.resize(static_cast<std::size_t>(count));
    return TVariant::Array(std::move(arr));
}

void TRuntime::ExecDim(const TStmt& s) {
    for (const TDeclare& d : s.Declares) {
        TVariant& var = VariableForWriteByName(d.Name, nullptr);
        if (!d.IsArray) continue;
        std::vector<std::int32_t> upper;
        for (const TExprPtr& b : d.Bounds)
            upper.push_back(ToLong(ValueOf(Eval(*b))));
        var = NewArray(upper, !upper.empty());
    }
}

void TRuntime::ExecReDim(const TStmt& s) {
    for (const TDeclare& d : s.Declares) {
        std::vector<std::int32_t> upper;
        for (const TExprPtr& b : d.Bounds)
            upper.push_back(ToLong(ValueOf(Eval(*b))));
        TVariant& var = VariableForWriteByName(d.Name, nullptr);
        if (var.IsArray() && var.Arr().Fixed) Raise(seFixedArray);
        TVariant fresh = NewArray(upper, false);
        if (s.Preserve && var.IsArray() && !var.Arr().Upper.empty()) {
            const TScriptArray& old = var.Arr();
            if (old.Upper.size() != upper.size()) Raise(seSubscript);
            for (std::size_t k = 0; k + 1 < upper.size(); ++k) {
                if (old.Upper[k] != upper[k]) Raise(seSubscript);
            }
            // The last index varies slowest, so the kept elements are a prefix of the items.
            TScriptArray& items = fresh.MutableArr();
            const std::size_t keep = std::min(old.Items.size(), items.Items.size());
            for (std::size_t k = 0; k < keep; ++k)
                items.Items[k] = old.Items[k];
        }
        var = std::move(fresh);
    }
}

void TRuntime::ExecErase(const TStmt& s) {
    for (const TDeclare& d : s.Declares) {
        TVariant* var = FindVariableByName(d.Name);
        if (!var || !var->IsArray()) Raise(seTypeMismatch);
        if (var->Arr().Fixed) {
            // Emptied one by one through a copy: an element's going may run script code.
            TVariant old = *var;
            TScriptArray& arr = var->MutableArr();
            for (TVariant& item : arr.Items)
                item = TVariant();
        } else {
            *var = TVariant::Array(TScriptArray());
        }
    }
}

void TRuntime::AssignVariable(TVariant& var, TVariant value, bool isSet) {
    if (isSet) {
        if (!value.IsObject()) Raise(seObjectRequired);
        var = std::move(value);
        return;
    }
    if (var.IsObject() && var.ObjPtr()) {
        // Let on a variable that holds an object assigns the object's default property.
        TRef<TScriptObject> obj = var.Obj();
        if (TClassInstance* inst = obj->AsInstance()) {
            if (inst->Def.Default < 0) Raise(seNoMember);
            static const std::vector<TExprPtr> kNoArgs;
            CallMember(*inst, inst->Def.Default, ifPropertyPut, kNoArgs, &value);
            return;
        }
        std::vector<TVariant> args;
        args.push_back(ValueOf(std::move(value)));
        TVariant ignored;
        InvokeDefault(*obj, ifPropertyPut, args, ignored);
        return;
    }
    if (value.IsObject()) value = ValueOf(std::move(value));
    if (value.IsArray() && value.Arr().Fixed) {
        TScriptArray copy = value.Arr();
        copy.Fixed = false;
        value = TVariant::Array(std::move(copy));
    }
    var = std::move(value);
}

void TRuntime::Assign(const TExpr& target, TVariant value, bool isSet) {
    if (isSet && !value.IsObject()) Raise(seObjectRequired);
    if (target.Kind == TExprKind::ekName) {
        if (!target.Args.empty()) {
            std::vector<std::int32_t> idx;
            TVariant* var = FindVariable(target);
            if (!var) {
                ResolveCallable(target);
                if (target.Slot == TNameSlot::nsMember) {
                    CallMember(*FFrame->Me, target.SlotIndex,
                               isSet ? ifPropertyPutRef : ifPropertyPut, target.Args, &value);
                    return;
                }
                if (OptionExplicit()) Raise(seUndefinedVar);
                Raise(seTypeMismatch);
            }
            if (var->IsObject() && var->ObjPtr()) {
                TRef<TScriptObject> obj = var->Obj();
                if (TClassInstance* inst = obj->AsInstance()) {
                    if (inst->Def.Default < 0) Raise(seNoMember);
                    CallMember(*inst, inst->Def.Default, isSet ? ifPropertyPutRef : ifPropertyPut,
                               target.Args, &value);
                    return;
                }
                std::vector<TVariant> args = EvalArgs(target.Args);
                args.push_back(isSet ? std::move(value) : ValueOf(std::move(value)));
                TVariant ignored;
                InvokeDefault(*obj, isSet ? ifPropertyPutRef : ifPropertyPut, args, ignored);
                return;
            }
            EvalIndexes(target.Args, idx);
            if (!isSet && value.IsObject()) value = ValueOf(std::move(value));
            Element(*var, idx) = std::move(value);
            return;
        }
        TVariant* var = FindVariable(target);
        if (!var) {
            ResolveCallable(target);
            if (target.Slot == TNameSlot::nsMember) {
                static const std::vector<TExprPtr> kNoArgs;
                CallMember(*FFrame->Me, target.SlotIndex, isSet ? ifPropertyPutRef : ifPropertyPut,
                           kNoArgs, &value);
                return;
            }
            target.Slot = TNameSlot::nsUnknown;
            var = &VariableForWrite(target);
        }
        if (IsConstant(target)) Raise(seIllegalAssign);
        if (var->IsArray() && var->Arr().Fixed) Raise(seIllegalAssign);
        AssignVariable(*var, std::move(value), isSet);
        return;
    }
    const std::uint8_t put = isSet ? ifPropertyPutRef : ifPropertyPut;
    if (target.Kind == TExprKind::ekMember) {
        TRef<TScriptObject> obj = OwnerOf(target);
        if (TClassInstance* inst = obj->AsInstance()) {
            const int member = inst->Def.Find(target.Name);
            if (member < 0) Raise(seNoMember, ScriptErrorNaming(seNoMember, target.Spelling));
            CallMember(*inst, member, put, target.Args, &value);
            return;
        }
        std::vector<TVariant> args = EvalArgs(target.Args);
        args.push_back(isSet || !value.IsObject() ? std::move(value) : ValueOf(std::move(value)));
        TVariant ignored;
        InvokeObject(*obj, target, put, args, ignored);
        return;
    }
    if (target.Kind == TExprKind::ekIndex) {
        // "a(1)(2) = v": an element of an array held in an array element
        const TExpr& inner = *target.Left;
        if (inner.Kind == TExprKind::ekName && !inner.Args.empty()) {
            if (TVariant* var = FindVariable(inner); var && var->IsArray()) {
                std::vector<std::int32_t> outer, idx;
                EvalIndexes(inner.Args, outer);
                EvalIndexes(target.Args, idx);
                if (!isSet && value.IsObject()) value = ValueOf(std::move(value));
                Element(Element(*var, outer), idx) = std::move(value);
                return;
            }
        }
        const TVariant base = Eval(inner);
        TRef<TScriptObject> obj = ObjectOf(base);
        if (TClassInstance* inst = obj->AsInstance()) {
            if (inst->Def.Default < 0) Raise(seNoMember);
            CallMember(*inst, inst->Def.Default, put, target.Args, &value);
            return;
        }
        std::vector<TVariant> args = EvalArgs(target.Args);
        args.push_back(isSet || !value.IsObject() ? std::move(value) : ValueOf(std::move(value)));
        TVariant ignored;
        InvokeDefault(*obj, put, args, ignored);
        return;
    }
    Raise(seIllegalAssign);
}

void TRuntime::AppendToSelf(const TStmt& s) {
    const TExpr& target = *s.Target;
    TVariant* var = FindVariable(target);
    if (!var || !var->IsString() || IsConstant(target)) {
        Assign(target, Eval(*s.Value), false);
        return;
    }
    // The pieces are read first (they may read the variable); then, when no one else holds the
    // text, it grows in place.
    const TExpr& v = *s.Value;
    const bool chain = v.Kind == TExprKind::ekChain;
    const std::size_t pieces = chain ? v.Args.size() - 1 : 1;
    TVariant held = *var;
    TVariant small[4];
    std::vector<TVariant> more;
    for (std::size_t i = 0; i < pieces; ++i) {
        TVariant p = Eval(chain ? *v.Args[i + 1] : *v.Right);
        if (p.IsObject()) p = ValueOf(std::move(p));
        // Every piece becomes text now, so that nothing can fail once the text is taken out.
        if (!p.IsString() && !p.IsNull()) p = TVariant::String(ConcatText(p));
        if (i < 4) {
            small[i] = std::move(p);
        } else {
            more.push_back(std::move(p));
        }
    }
    const auto piece = [&](std::size_t i) -> const TVariant& {
        return i < 4 ? small[i] : more[i - 4];
    };
    var = FindVariable(target);
    if (!var || !var->SameBox(held) || var->BoxRefs() != 2) {
        TVariant acc = held;
        for (std::size_t i = 0; i < pieces; ++i)
            acc = Concat(acc, piece(i), Owner.Limits.MaxTextBytes);
        Assign(target, std::move(acc), false);
        return;
    }
    *var = TVariant();  // held is now the text's only holder
    std::size_t size = held.Str().size();
    for (std::size_t i = 0; i < pieces; ++i) {
        const TVariant& p = piece(i);
        if (p.IsNull()) continue;
        size += p.Str().size();
        if (size > Owner.Limits.MaxTextBytes) {
            *var = std::move(held);
            Raise(seOutOfString, {}, true);
        }
        held.AppendInPlace(p.Str());
    }
    *var = std::move(held);
}

TFlow TRuntime::ExecFor(const TStmt& s) {
    const TVariant start = ToNumeric(ValueOf(Eval(*s.Value)));
    const TVariant limitValue = ToNumeric(ValueOf(Eval(*s.Limit)));
    const TVariant step = s.Step ? ToNumeric(ValueOf(Eval(*s.Step))) : TVariant::Integer(1);
    const double limit = limitValue.AsDouble();
    const double stepValue = step.AsDouble();
    TVariant& first = VariableForWrite(*s.Target);
    if (IsConstant(*s.Target)) Raise(seIllegalAssign);
    first = start;
    const bool wholeLimit = limitValue.IsWhole();
    const std::int32_t wholeLimitValue = limitValue.WholeValue();
    // The counter as the Long step left it: nothing runs between that step and the test.
    TVariant* stepped = nullptr;
    for (;;) {
        TVariant& var = stepped ? *stepped : VariableForWrite(*s.Target);
        stepped = nullptr;
        if (wholeLimit && var.IsWhole()) {
            const std::int32_t current = var.WholeValue();
            if (stepValue >= 0 ? current > wholeLimitValue : current < wholeLimitValue) break;
        } else {
            const double current = var.IsWhole() ? var.WholeValue() : ToDouble(var);
            if (stepValue >= 0 ? current > limit : current < limit) break;
        }
        Poll();
        const TFlow flow = ExecStatements(s.Blocks[0]);
        if (flow == TFlow::flExitFor) break;
        if (flow != TFlow::flNormal) return flow;
        TVariant& next = VariableForWrite(*s.Target);
        // A Long counter goes on as a Long while it fits (the common case past 32767).
        if (next.Type() == TVarType::vtLong && step.IsWhole()) {
            const std::int64_t r = static_cast<std::int64_t>(next.WholeValue()) + step.WholeValue();
            if (r >= INT32_MIN && r <= INT32_MAX) {
                next.SetLong(static_cast<std::int32_t>(r));
                stepped = &next;
                continue;
            }
        }
        if (!FastOperator(TBinaryOp::boAdd, next, step, next)) {
            next = Arithmetic(TBinaryOp::boAdd, next, step, Owner.Limits.MaxTextBytes);
        }
    }
    return TFlow::flNormal;
}

TFlow TRuntime::ExecForEach(const TStmt& s) {
    // The array is held for the loop, so writes to it during the loop go to a copy.
    const TVariant group = Eval(*s.Value);
    std::vector<TVariant> listed;
    if (!group.IsArray() &&
        (!group.IsObject() || !group.ObjPtr() || !ObjectOf(group)->Enumerate(listed))) {
        Raise(seNotCollection);
    }
    const std::vector<TVariant>& items = group.IsArray() ? group.Arr().Items : listed;
    for (const TVariant& item : items) {
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
        const bool truth = EvalCondition(*s.Value);
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
    const TVariant test = ValueOf(Eval(*s.Value));
    const bool testLiteral = s.Value->Kind == TExprKind::ekLiteral;
    for (const TCaseClause& clause : s.Cases) {
        bool match = clause.Items.empty();
        for (const TCaseItem& item : clause.Items) {
            const TVariant low = ValueOf(Eval(*item.Low));
            const bool lowLiteral = item.Low->Kind == TExprKind::ekLiteral;
            if (item.IsCompare) {
                const TVariant r = Comparison(item.Op, test, low, testLiteral, lowLiteral);
                match = !r.IsNull() && r.BoolValue();
            } else if (item.High) {
                const TVariant high = ValueOf(Eval(*item.High));
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

TFlow TRuntime::ExecWith(const TStmt& s) {
    TVariant obj = Eval(*s.Value);
    if (!obj.IsObject()) Raise(seObjectRequired);
    FWith.push_back(std::move(obj));
    struct TPop {
        std::vector<TVariant>& With;
        ~TPop() { With.pop_back(); }
    } pop{FWith};
    return ExecBlock(s.Blocks[0]);
}

void TRuntime::ExecAssign(const TStmt& s) {
    // Only the shape is told here, each shape's work in a function of its own: this way the
    // dispatch saves no registers, and neither does the shape that runs.
    const TExpr& t = *s.Target;
    const TExpr& v = *s.Value;
    if (v.Kind == TExprKind::ekBinary && t.Kind == TExprKind::ekName && !t.HasArgs &&
        !s.AppendSelf) {
        AssignBinary(s);
    } else if (v.Slot == TNameSlot::nsProc && v.SlotGen == FProcsGen &&
               v.Kind == TExprKind::ekName && t.Kind == TExprKind::ekName && !t.HasArgs) {
        AssignCall(t, v);
    } else if (t.Kind == TExprKind::ekName && !t.HasArgs && !s.AppendSelf) {
        AssignCopy(s);
    } else {
        ExecAssignSlow(s);
    }
}

void TRuntime::AssignBinary(const TStmt& s) {
    // "x = a + b" of numbers: the result goes straight into the variable.
    const TExpr& t = *s.Target;
    const TExpr& v = *s.Value;
    const TVariant* a = Peek(*v.Left);
    const TVariant* b = a ? Peek(*v.Right) : nullptr;
    TVariant* var = b ? FindVariable(t) : nullptr;
    if (var && !t.SlotConst && var->Type() < TVarType::vtString &&
        FastOperator(v.Op, *a, *b, *var)) {
        return;
    }
    AssignBinarySlow(s, b == nullptr);
}

void TRuntime::AssignBinarySlow(const TStmt& s, bool effects) {
    const TExpr& t = *s.Target;
    const TExpr& v = *s.Value;
    if (effects) {
        // An operand with effects (a call): the value first, then the variable.
        TVariant value = EvalBinary(v.Op, *v.Left, *v.Right);
        TVariant* target = FindVariable(t);
        if (target && !t.SlotConst && target->Type() < TVarType::vtObject &&
            value.Type() < TVarType::vtObject) {
            *target = std::move(value);
            return;
        }
        Assign(t, std::move(value), false);
        return;
    }
    ExecAssignSlow(s);
}

void TRuntime::AssignCall(const TExpr& t, const TExpr& v) {
    // "x = F(...)": the function's result straight into the variable.
    TVariant value = CallProc(*static_cast<TProc*>(const_cast<void*>(v.SlotPtr)), v.Args, nullptr);
    TVariant* var = FindVariable(t);
    if (var && !t.SlotConst && var->Type() < TVarType::vtObject &&
        value.Type() < TVarType::vtObject) {
        *var = std::move(value);
        return;
    }
    Assign(t, std::move(value), false);
}

void TRuntime::AssignCopy(const TStmt& s) {
    // "x = y": a plain value copied from where it is.
    const TExpr& t = *s.Target;
    const TVariant* a = Peek(*s.Value);
    TVariant* var = a && a->Type() < TVarType::vtObject ? FindVariable(t) : nullptr;
    if (var && !t.SlotConst && var->Type() < TVarType::vtObject) {
        *var = *a;
        return;
    }
    ExecAssignSlow(s);
}

void TRuntime::ExecAssignSlow(const TStmt& s) {
    if (s.AppendSelf) {
        AppendToSelf(s);
        return;
    }
    const TExpr& t = *s.Target;
    TVariant value = Eval(*s.Value);
    if (t.Kind == TExprKind::ekName && t.Args.size() == 1 &&
        t.Args[0]->Kind != TExprKind::ekMissing && value.Type() < TVarType::vtObject) {
        // "a(i) = v": an element of a one-dimensional array, without a list of indexes.
        TVariant* var = FindVariable(t);
        if (var && var->IsArray()) {
            const TVariant* peeked = Peek(*t.Args[0]);
            const TVariant index = peeked ? *peeked : ValueOf(Eval(*t.Args[0]));
            const std::int32_t i = index.IsWhole() ? index.WholeValue() : ToLong(index);
            if (!var->IsArray()) Raise(seTypeMismatch);
            TScriptArray& arr = var->MutableArr();
            if (arr.Upper.size() != 1 || i < 0 || i > arr.Upper[0]) Raise(seSubscript);
            arr.Items[static_cast<std::size_t>(i)] = std::move(value);
            return;
        }
    }
    if (t.Kind == TExprKind::ekName && !t.HasArgs) {
        // The common case: a plain value into a variable that holds no object or array.
        TVariant* var = FindVariable(t);
        if (var && !t.SlotConst && var->Type() < TVarType::vtObject &&
            value.Type() < TVarType::vtObject) {
            *var = std::move(value);
            return;
        }
    }
    Assign(t, std::move(value), false);
}

void TRuntime::ExecCall(const TStmt& s) {
    const TExpr& t = *s.Target;
    if (t.Slot == TNameSlot::nsProc && t.SlotGen == FProcsGen && t.Kind == TExprKind::ekName) {
        CallProc(*static_cast<TProc*>(const_cast<void*>(t.SlotPtr)), t.Args, nullptr);
        return;
    }
    ExecCallSlow(t);
    // A method of a named host object without arguments: later passes go straight to the
    // object and member found now.
    const TExpr* owner = t.Left.get();
    if (t.Kind == TExprKind::ekMember && owner && owner->Slot == TNameSlot::nsObject &&
        owner->SlotGen == ObjectsGen && t.Args.empty() && t.SlotPtr) {
        auto* obj = static_cast<TScriptObject*>(const_cast<void*>(owner->SlotPtr));
        if (t.SlotPtr == obj->MemberKey()) {
            s.QuickObject = obj;
            s.QuickGen = ObjectsGen;
            s.QuickId = t.SlotIndex;
        }
    }
}

void TRuntime::QuickFailed() {
    Raise(FQuickFailure.Number, FQuickFailure.Description, FQuickFailure.Fatal);
}

void TRuntime::ExecCallSlow(const TExpr& t) {
    if (t.Kind == TExprKind::ekMember) {
        EvalMember(t, ifMethod);
    } else if (t.Kind == TExprKind::ekName) {
        if (FindVariable(t)) {
            EvalName(t);
        } else {
            CallName(t, true);
        }
    } else {
        Eval(t);
    }
}

TFlow TRuntime::ExecIf(const TStmt& s) {
    for (std::size_t i = 0; i < s.Conditions.size(); ++i) {
        if (EvalCondition(*s.Conditions[i])) return ExecStatements(s.Blocks[i]);
    }
    if (s.Blocks.size() > s.Conditions.size()) return ExecStatements(s.Blocks.back());
    return TFlow::flNormal;
}

TFlow TRuntime::ExecOther(const TStmt& s) {
    switch (s.Kind) {
    case TStmtKind::skDim: ExecDim(s); break;
    case TStmtKind::skReDim: ExecReDim(s); break;
    case TStmtKind::skErase: ExecErase(s); break;
    case TStmtKind::skConst:
        for (const TDeclare& d : s.Declares) {
            TVariant value = ValueOf(Eval(*d.Value));
            VariableForWriteByName(d.Name, nullptr) = std::move(value);
            if (!FFrame->Proc || FFrame->Proc->LocalIndex.count(d.Name) == 0) {
                FGlobalConst[static_cast<std::size_t>(FGlobalIndex[d.Name])] = true;
                ++FGlobalsGen;  // names that found the variable must see it is constant now
            }
        }
        break;
    case TStmtKind::skSet: Assign(*s.Target, Eval(*s.Value), true); break;
    case TStmtKind::skSelect: return ExecSelect(s);
    case TStmtKind::skForEach: return ExecForEach(s);
    case TStmtKind::skDo: return ExecDo(s);
    case TStmtKind::skWhile:
        for (;;) {
            Poll();
            if (!EvalCondition(*s.Value)) break;
            const TFlow flow = ExecBlock(s.Blocks[0]);
            if (flow != TFlow::flNormal) return flow;
        }
        break;
    case TStmtKind::skWith: return ExecWith(s);
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
    default: break;
    }
    return TFlow::flNormal;
}

}  // namespace rekna
