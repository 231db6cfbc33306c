// Evaluation of expressions: operators, names, array elements, calls and object members.
#include <array>

#include "script/builtins/builtins.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

const std::string& Shown(const TExpr& e) {
    return e.Spelling.empty() ? e.Name : e.Spelling;
}

bool IsComparison(TBinaryOp op) noexcept {
    return op >= TBinaryOp::boEq && op <= TBinaryOp::boIs;
}

bool IsLogical(TBinaryOp op) noexcept {
    return op >= TBinaryOp::boAnd;
}

// The position of an element in the items, after checking every index against its bound.
std::size_t FlatIndex(const TScriptArray& arr, const std::int32_t* idx, std::size_t n) {
    if (n != arr.Upper.size()) Raise(seSubscript);
    std::size_t flat = 0;
    for (std::size_t d = n; d-- > 0;) {
        if (idx[d] < 0 || idx[d] > arr.Upper[d]) Raise(seSubscript);
        flat =
            flat * (static_cast<std::size_t>(arr.Upper[d]) + 1) + static_cast<std::size_t>(idx[d]);
    }
    return flat;
}

}  // namespace

TVariant TRuntime::ValueOf(TVariant v) {
    if (!v.IsObject()) return v;
    TRef<TScriptObject> obj = v.Obj();
    if (!obj) Raise(seObjectNotSet);
    if (TClassInstance* inst = obj->AsInstance()) {
        if (inst->Def.Default < 0) Raise(seNoMember);
        static const std::vector<TExprPtr> kNoArgs;
        TVariant r = CallMember(*inst, inst->Def.Default, ifMethod | ifPropertyGet, kNoArgs);
        return r.IsObject() ? ValueOf(std::move(r)) : r;
    }
    if (!obj->HasDefault()) Raise(seNoMember);
    std::vector<TVariant> args;
    TVariant result;
    InvokeDefault(*obj, ifMethod | ifPropertyGet, args, result);
    if (result.IsObject() && result.ObjPtr() != obj.Get()) return ValueOf(std::move(result));
    return result;
}

TVariant TRuntime::EvalSlow(const TExpr& e) {
    switch (e.Kind) {
    case TExprKind::ekLiteral: return e.Value;
    case TExprKind::ekName: return EvalName(e);
    case TExprKind::ekMember: return EvalMember(e, ifMethod | ifPropertyGet);
    case TExprKind::ekIndex: return EvalIndex(e);
    case TExprKind::ekNegate: return Negate(ValueOf(Eval(*e.Left)));
    case TExprKind::ekNot: return LogicalNot(ValueOf(Eval(*e.Left)));
    case TExprKind::ekBinary: return EvalBinary(e.Op, *e.Left, *e.Right);
    case TExprKind::ekChain: return EvalChain(e);
    case TExprKind::ekNew: return NewObject(e);
    case TExprKind::ekMe: return TVariant::Object(FFrame->Me);
    case TExprKind::ekMissing: return TVariant::Missing();
    }
    return {};
}

TVariant TRuntime::EvalBinary(TBinaryOp op, const TExpr& left, const TExpr& right) {
    // When the right operand has no effects, the left one can be read in place too.
    if (const TVariant* b = Peek(right)) {
        TVariant fast;
        if (const TVariant* a = Peek(left)) {
            if (FastOperator(op, *a, *b, fast)) return fast;
            return Operate(op, *a, *b, left, right);
        }
        TVariant a = Eval(left);
        if (FastOperator(op, a, *b, fast)) return fast;
        return Operate(op, std::move(a), *b, left, right);
    }
    TVariant a = Eval(left);
    TVariant b = Eval(right);
    TVariant fast;
    if (FastOperator(op, a, b, fast)) return fast;
    return Operate(op, std::move(a), std::move(b), left, right);
}

TVariant TRuntime::Operate(TBinaryOp op, TVariant a, TVariant b, const TExpr& left,
                           const TExpr& right) {
    if (op == TBinaryOp::boIs) return TVariant::Boolean(SameObject(a, b));
    if (a.IsObject()) a = ValueOf(std::move(a));
    if (b.IsObject()) b = ValueOf(std::move(b));
    if (IsComparison(op)) {
        return Comparison(op, a, b, left.Kind == TExprKind::ekLiteral,
                          right.Kind == TExprKind::ekLiteral);
    }
    if (IsLogical(op)) return Logical(op, a, b);
    return Arithmetic(op, a, b, Owner.Limits.MaxTextBytes);
}

TVariant TRuntime::EvalChain(const TExpr& e) {
    TVariant acc = Eval(*e.Args[0]);
    bool accLiteral = e.Args[0]->Kind == TExprKind::ekLiteral;
    for (std::size_t i = 0; i < e.Ops.size(); ++i) {
        const TBinaryOp op = e.Ops[i];
        const TExpr& next = *e.Args[i + 1];
        TVariant b = Eval(next);
        TVariant fast;
        if (FastOperator(op, acc, b, fast)) {
            acc = std::move(fast);
        } else if (op == TBinaryOp::boIs) {
            acc = TVariant::Boolean(SameObject(acc, b));
        } else {
            if (acc.IsObject()) acc = ValueOf(std::move(acc));
            if (b.IsObject()) b = ValueOf(std::move(b));
            if (op == TBinaryOp::boConcat && acc.IsString() && acc.BoxRefs() == 1) {
                // The text built so far is no one else's: it grows in place.
                if (!b.IsNull()) {
                    const std::string piece = b.IsString() ? std::string() : ConcatText(b);
                    const std::string& add = b.IsString() ? b.Str() : piece;
                    CheckText(acc.Str().size() + add.size());
                    acc.AppendInPlace(add);
                }
            } else if (IsComparison(op)) {
                acc = Comparison(op, acc, b, accLiteral, next.Kind == TExprKind::ekLiteral);
            } else if (IsLogical(op)) {
                acc = Logical(op, acc, b);
            } else {
                acc = Arithmetic(op, acc, b, Owner.Limits.MaxTextBytes);
            }
        }
        accLiteral = false;
    }
    return acc;
}

bool TRuntime::EvalConditionSlow(const TExpr& e) {
    if (e.Kind == TExprKind::ekBinary && e.Op >= TBinaryOp::boEq && e.Op <= TBinaryOp::boGe) {
        const TVariant a = Eval(*e.Left);
        const TVariant b = Eval(*e.Right);
        bool truth = false;
        if (FastCompare(e.Op, a, b, truth)) return truth;
        const TVariant c = a.IsObject() || b.IsObject()
                               ? Comparison(e.Op, ValueOf(a), ValueOf(b), false, false)
                               : Comparison(e.Op, a, b, e.Left->Kind == TExprKind::ekLiteral,
                                            e.Right->Kind == TExprKind::ekLiteral);
        return !c.IsNull() && c.BoolValue();
    }
    TVariant c = Eval(e);
    if (c.IsObject()) c = ValueOf(std::move(c));
    return !c.IsNull() && ToBool(c);
}

void TRuntime::EvalIndexes(const std::vector<TExprPtr>& indexes, std::vector<std::int32_t>& out) {
    out.clear();
    out.reserve(indexes.size());
    for (const TExprPtr& i : indexes) {
        if (i->Kind == TExprKind::ekMissing) Raise(seTypeMismatch);
        TVariant v = Eval(*i);
        if (v.IsObject()) v = ValueOf(std::move(v));
        out.push_back(ToLong(v));
    }
}

TVariant& TRuntime::Element(TVariant& array, const std::vector<std::int32_t>& indexes) {
    if (!array.IsArray()) Raise(seTypeMismatch);
    TScriptArray& arr = array.MutableArr();
    return arr.Items[FlatIndex(arr, indexes.data(), indexes.size())];
}

std::vector<TVariant> TRuntime::EvalArgs(const std::vector<TExprPtr>& args) {
    std::vector<TVariant> values;
    values.reserve(args.size());
    for (const TExprPtr& a : args)
        values.push_back(a->Kind == TExprKind::ekMissing ? TVariant() : Eval(*a));
    return values;
}

TVariant TRuntime::EvalName(const TExpr& e) {
    if (TVariant* v = FindVariable(e)) {
        if (e.Args.empty()) return *v;
        if (v->IsArray()) {
            // One index, the common case, without a list.
            if (e.Args.size() == 1 && e.Args[0]->Kind != TExprKind::ekMissing) {
                TVariant i = Eval(*e.Args[0]);
                if (i.IsObject()) i = ValueOf(std::move(i));
                const std::int32_t idx = ToLong(i);
                if (!v->IsArray()) Raise(seTypeMismatch);
                const TScriptArray& arr = v->Arr();
                return arr.Items[FlatIndex(arr, &idx, 1)];
            }
            std::vector<std::int32_t> idx;
            EvalIndexes(e.Args, idx);
            if (!v->IsArray()) Raise(seTypeMismatch);
            const TScriptArray& arr = v->Arr();
            return arr.Items[FlatIndex(arr, idx.data(), idx.size())];
        }
        if (v->IsObject() && v->ObjPtr()) {
            TRef<TScriptObject> obj = v->Obj();
            std::vector<TVariant> args = EvalArgs(e.Args);
            TVariant result;
            InvokeDefault(*obj, ifMethod | ifPropertyGet, args, result);
            return result;
        }
        Raise(seTypeMismatch, ScriptErrorNaming(seTypeMismatch, Shown(e)));
    }
    return CallName(e, false);
}

TVariant TRuntime::EvalIndex(const TExpr& e) {
    TVariant base = Eval(*e.Left);
    if (base.IsArray()) {
        std::vector<std::int32_t> idx;
        EvalIndexes(e.Args, idx);
        const TScriptArray& arr = base.Arr();
        return arr.Items[FlatIndex(arr, idx.data(), idx.size())];
    }
    if (base.IsObject()) {
        TRef<TScriptObject> obj = ObjectOf(base);
        if (TClassInstance* inst = obj->AsInstance()) {
            if (inst->Def.Default < 0) Raise(seNoMember);
            return CallMember(*inst, inst->Def.Default, ifMethod | ifPropertyGet, e.Args);
        }
        std::vector<TVariant> args = EvalArgs(e.Args);
        TVariant result;
        InvokeDefault(*obj, ifMethod | ifPropertyGet, args, result);
        return result;
    }
    Raise(seTypeMismatch);
}

TVariant TRuntime::CallBuiltin(const TExpr& e) {
    const TBuiltin& b = BuiltinAt(e.SlotIndex);
    const auto n = static_cast<int>(e.Args.size());
    if (n < b.MinArgs || (b.MaxArgs >= 0 && n > b.MaxArgs)) {
        Raise(seArgCount, ScriptErrorNaming(seArgCount, Shown(e)));
    }
    std::vector<TVariant> args;
    args.reserve(e.Args.size());
    for (int i = 0; i < n; ++i) {
        const TExpr& a = *e.Args[static_cast<std::size_t>(i)];
        if (a.Kind == TExprKind::ekMissing) {
            if (i < b.MinArgs)
                Raise(seArgNotOptional, ScriptErrorNaming(seArgNotOptional, Shown(e)));
            args.push_back(TVariant::Missing());
            continue;
        }
        TVariant v = Eval(a);
        if (v.IsObject() && !b.KeepObjects) v = ValueOf(std::move(v));
        args.push_back(std::move(v));
    }
    return b.Fn(*this, args);
}

TVariant TRuntime::CallName(const TExpr& e, bool statement) {
    if (e.Slot == TNameSlot::nsUnknown || (e.Slot == TNameSlot::nsProc && e.SlotGen != FProcsGen) ||
        (e.Slot == TNameSlot::nsObject && e.SlotGen != ObjectsGen)) {
        e.Slot = TNameSlot::nsUnknown;
        ResolveCallable(e);
    }
    switch (e.Slot) {
    case TNameSlot::nsMember:
        return CallMember(*FFrame->Me, e.SlotIndex, ifMethod | ifPropertyGet, e.Args);
    case TNameSlot::nsProc:
        return CallProc(*static_cast<TProc*>(const_cast<void*>(e.SlotPtr)), e.Args, nullptr);
    case TNameSlot::nsObject: {
        TRef<TScriptObject> obj(static_cast<TScriptObject*>(const_cast<void*>(e.SlotPtr)));
        if (e.Args.empty()) return TVariant::Object(obj.Get());
        if (!obj->HasDefault()) Raise(seNoMember, ScriptErrorNaming(seNoMember, Shown(e)));
        std::vector<TVariant> args = EvalArgs(e.Args);
        TVariant result;
        InvokeDefault(*obj, ifMethod | ifPropertyGet, args, result);
        return result;
    }
    case TNameSlot::nsErr:
        if (!e.Args.empty()) Raise(seTypeMismatch, ScriptErrorNaming(seTypeMismatch, Shown(e)));
        return TVariant::Object(FErr.Get());
    case TNameSlot::nsBuiltin: return CallBuiltin(e);
    case TNameSlot::nsConstant:
        if (!e.Args.empty()) Raise(seTypeMismatch, ScriptErrorNaming(seTypeMismatch, Shown(e)));
        return ConstantAt(e.SlotIndex);
    default: break;
    }
    if (OptionExplicit()) Raise(seUndefinedVar, ScriptErrorNaming(seUndefinedVar, Shown(e)));
    if (e.HasArgs || statement) {
        const int number = statement ? seNotDefined : seTypeMismatch;
        Raise(number, ScriptErrorNaming(number, Shown(e)));
    }
    return VariableForWrite(e);
}

TRef<TScriptObject> TRuntime::ObjectOf(const TVariant& v) {
    if (!v.IsObject()) Raise(seObjectRequired);
    TRef<TScriptObject> obj = v.Obj();
    if (!obj) Raise(seObjectNotSet);
    return obj;
}

TRef<TScriptObject> TRuntime::OwnerOf(const TExpr& member) {
    if (!member.Left) {
        if (FWith.empty()) Raise(seBadReference);
        return ObjectOf(FWith.back());
    }
    const TVariant owner = Eval(*member.Left);
    if (!owner.IsObject()) {
        const TExpr& l = *member.Left;
        if (l.Kind == TExprKind::ekName) {
            Raise(seObjectRequired, ScriptErrorNaming(seObjectRequired, Shown(l)));
        }
        Raise(seObjectRequired);
    }
    return ObjectOf(owner);
}

void TRuntime::InvokeObject(TScriptObject& obj, const TExpr& site, std::uint8_t flags,
                            std::vector<TVariant>& args, TVariant& result) {
    const void* key = obj.MemberKey();
    int id = -1;
    if (key && site.SlotPtr == key) {
        id = site.SlotIndex;
    } else {
        id = obj.MemberId(site.Spelling);
        if (id < 0) Raise(seNoMember, ScriptErrorNaming(seNoMember, Shown(site)));
        if (key) {
            site.SlotPtr = key;
            site.SlotIndex = id;
        }
    }
    for (TVariant& a : args) {
        if (a.IsMissing()) a = TVariant();
    }
    const TInvokeResult r = obj.Invoke(id, flags, args, result);
    if (r.Ok()) return;
    // "m.SubMatches(1)": a property that takes no arguments, and the arguments for its value.
    if (r.Number == seArgCount && !args.empty() && (flags & ifPropertyGet) != 0) {
        std::vector<TVariant> none;
        TVariant value;
        if (obj.Invoke(id, ifPropertyGet, none, value).Ok()) {
            if (value.IsObject() && value.ObjPtr()) {
                TRef<TScriptObject> inner = value.Obj();
                InvokeDefault(*inner, flags, args, result);
                return;
            }
            if (value.IsArray()) {
                std::vector<std::int32_t> idx;
                for (const TVariant& a : args)
                    idx.push_back(ToLong(a));
                result = Element(value, idx);
                return;
            }
        }
    }
    Raise(r.Number, r.Description, r.Fatal);
}

void TRuntime::InvokeDefault(TScriptObject& obj, std::uint8_t flags, std::vector<TVariant>& args,
                             TVariant& result) {
    if (!obj.HasDefault()) Raise(seNoMember);
    for (TVariant& a : args) {
        if (a.IsMissing()) a = TVariant();
    }
    const TInvokeResult r = obj.Invoke(kDefaultMember, flags, args, result);
    if (!r.Ok()) Raise(r.Number, r.Description, r.Fatal);
}

TVariant TRuntime::EvalMember(const TExpr& e, std::uint8_t flags) {
    TRef<TScriptObject> obj = OwnerOf(e);
    if (TClassInstance* inst = obj->AsInstance()) {
        int member = -1;
        if (e.SlotPtr == &inst->Def) {
            member = e.SlotIndex;
        } else {
            member = inst->Def.Find(e.Name);
            if (member < 0) Raise(seNoMember, ScriptErrorNaming(seNoMember, Shown(e)));
            e.SlotPtr = &inst->Def;
            e.SlotIndex = member;
        }
        return CallMember(*inst, member, flags, e.Args);
    }
    std::vector<TVariant> args = EvalArgs(e.Args);
    TVariant result;
    InvokeObject(*obj, e, flags, args, result);
    return result;
}

}  // namespace rekna
