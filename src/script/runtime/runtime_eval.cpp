// Evaluation of expressions: names, array elements, procedure calls and object members.
#include "script/builtins/builtins.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

std::string Quoted(const std::string& text, const std::string& name) {
    return text + ": '" + name + "'";
}

const std::string& Shown(const TExpr& e) {
    return e.Spelling.empty() ? e.Name : e.Spelling;
}

}  // namespace

TVariant TRuntime::Eval(const TExpr& e) {
    switch (e.Kind) {
    case TExprKind::ekLiteral: return e.Value;
    case TExprKind::ekName: return EvalName(e, false);
    case TExprKind::ekMember: return EvalMember(e, ifMethod | ifPropertyGet);
    case TExprKind::ekNegate: return Negate(Eval(*e.Left));
    case TExprKind::ekNot: return LogicalNot(Eval(*e.Left));
    case TExprKind::ekBinary: break;
    }
    const TVariant a = e.Op == TBinaryOp::boIs && e.Left->Kind == TExprKind::ekName
                           ? EvalName(*e.Left, true)
                           : Eval(*e.Left);
    const TVariant b = e.Op == TBinaryOp::boIs && e.Right->Kind == TExprKind::ekName
                           ? EvalName(*e.Right, true)
                           : Eval(*e.Right);
    switch (e.Op) {
    case TBinaryOp::boEq:
    case TBinaryOp::boNe:
    case TBinaryOp::boLt:
    case TBinaryOp::boGt:
    case TBinaryOp::boLe:
    case TBinaryOp::boGe:
    case TBinaryOp::boIs:
        return Comparison(e.Op, a, b, e.Left->Kind == TExprKind::ekLiteral,
                          e.Right->Kind == TExprKind::ekLiteral);
    case TBinaryOp::boAnd:
    case TBinaryOp::boOr:
    case TBinaryOp::boXor:
    case TBinaryOp::boEqv:
    case TBinaryOp::boImp: return Logical(e.Op, a, b);
    default: return Arithmetic(e.Op, a, b, Owner.Limits.MaxTextBytes);
    }
}

TVariant& TRuntime::LocalSlot(int index) {
    TFrame& f = *FFrame;
    if (static_cast<std::size_t>(index) >= f.Values.size()) {
        f.Values.resize(f.Proc->Locals.size());
        f.Refs.resize(f.Proc->Locals.size(), nullptr);
    }
    TVariant* ref = f.Refs[index];
    return ref ? *ref : f.Values[index];
}

bool TRuntime::OptionExplicit() const {
    return FFrame && FFrame->Program && FFrame->Program->OptionExplicit;
}

TVariant* TRuntime::FindVariable(const TExpr& e) {
    switch (e.Slot) {
    case TNameSlot::nsLocal: return &LocalSlot(e.SlotIndex);
    case TNameSlot::nsGlobal: return &FGlobals[e.SlotIndex];
    case TNameSlot::nsBuiltin:
    case TNameSlot::nsConstant: return nullptr;
    case TNameSlot::nsUnknown: break;
    }
    if (FFrame->Proc) {
        const TProc& p = *FFrame->Proc;
        // Inside a function its own name with arguments is a call, without them its result.
        if (!(e.HasArgs && e.Name == p.Name)) {
            const auto it = p.LocalIndex.find(e.Name);
            if (it != p.LocalIndex.end()) {
                e.Slot = TNameSlot::nsLocal;
                e.SlotIndex = it->second;
                return &LocalSlot(it->second);
            }
        }
    }
    const auto it = FGlobalIndex.find(e.Name);
    if (it == FGlobalIndex.end()) return nullptr;
    e.Slot = TNameSlot::nsGlobal;
    e.SlotIndex = it->second;
    return &FGlobals[it->second];
}

TVariant* TRuntime::FindVariableByName(const std::string& name) {
    if (FFrame->Proc) {
        const auto it = FFrame->Proc->LocalIndex.find(name);
        if (it != FFrame->Proc->LocalIndex.end()) return &LocalSlot(it->second);
    }
    const auto it = FGlobalIndex.find(name);
    return it == FGlobalIndex.end() ? nullptr : &FGlobals[it->second];
}

bool TRuntime::IsConstant(const TExpr& e) const {
    if (e.Slot == TNameSlot::nsLocal) return FFrame->Proc->LocalIsConst[e.SlotIndex];
    if (e.Slot == TNameSlot::nsGlobal) return FGlobalConst[e.SlotIndex];
    return false;
}

TVariant& TRuntime::VariableForWriteByName(const std::string& name, const TExpr* cacheNode) {
    if (TVariant* v = FindVariableByName(name)) return *v;
    if (FProcs.count(name) != 0 || Objects.count(name) != 0 || name == "err") {
        Raise(seIllegalAssign, Quoted(ScriptErrorText(seIllegalAssign), name));
    }
    if (OptionExplicit()) Raise(seUndefinedVar, Quoted(ScriptErrorText(seUndefinedVar), name));
    if (FFrame->Proc) {
        const int slot = FFrame->Proc->AddLocal(name);
        if (cacheNode) {
            cacheNode->Slot = TNameSlot::nsLocal;
            cacheNode->SlotIndex = slot;
        }
        return LocalSlot(slot);
    }
    const int slot = AddGlobal(name);
    if (cacheNode) {
        cacheNode->Slot = TNameSlot::nsGlobal;
        cacheNode->SlotIndex = slot;
    }
    return FGlobals[slot];
}

bool TRuntime::IsUnknownName(const std::string& name) const {
    return FProcs.count(name) == 0 && Objects.count(name) == 0 && name != "err" &&
           FindBuiltin(name) < 0 && FindScriptConstant(name) < 0;
}

TVariant& TRuntime::VariableForWrite(const TExpr& e) {
    if (TVariant* v = FindVariable(e)) return *v;
    return VariableForWriteByName(e.Name, &e);
}

namespace {

// The position of an element in the items, after checking every index against its bound.
std::size_t FlatIndex(const TScriptArray& arr, const std::vector<std::int32_t>& idx) {
    if (idx.size() != arr.Upper.size()) Raise(seSubscript);
    std::size_t flat = 0;
    for (std::size_t d = idx.size(); d-- > 0;) {
        if (idx[d] < 0 || idx[d] > arr.Upper[d]) Raise(seSubscript);
        flat =
            flat * (static_cast<std::size_t>(arr.Upper[d]) + 1) + static_cast<std::size_t>(idx[d]);
    }
    return flat;
}

}  // namespace

std::vector<std::int32_t> TRuntime::EvalIndexes(const std::vector<TExprPtr>& indexes) {
    std::vector<std::int32_t> idx;
    idx.reserve(indexes.size());
    for (const TExprPtr& i : indexes)
        idx.push_back(ToLong(Eval(*i)));
    return idx;
}

TVariant& TRuntime::Element(TVariant& array, const std::vector<std::int32_t>& indexes) {
    if (!array.IsArray()) Raise(seTypeMismatch);
    TScriptArray& arr = array.MutableArr();
    return arr.Items[FlatIndex(arr, indexes)];
}

TVariant TRuntime::ElementValue(const TVariant& array, const std::vector<TExprPtr>& indexes) {
    const TVariant keep = array;  // the indexes may change the variable
    const std::vector<std::int32_t> idx = EvalIndexes(indexes);
    const TScriptArray& arr = keep.Arr();
    return arr.Items[FlatIndex(arr, idx)];
}

TVariant TRuntime::EvalName(const TExpr& e, bool asOwner) {
    if (TVariant* v = FindVariable(e)) {
        if (e.Args.empty()) return *v;
        if (v->IsArray()) return ElementValue(*v, e.Args);
        Raise(seTypeMismatch, Quoted(ScriptErrorText(seTypeMismatch), Shown(e)));
    }
    if (asOwner) {
        const auto it = Objects.find(e.Name);
        if (it != Objects.end() && !e.HasArgs) return TVariant::Object(it->second);
        if (e.Name == "err" && !e.HasArgs) return TVariant::Object(FErr);
    }
    return CallName(e, false);
}

std::vector<TVariant> TRuntime::EvalArgs(const std::vector<TExprPtr>& args) {
    std::vector<TVariant> values;
    values.reserve(args.size());
    for (const TExprPtr& a : args)
        values.push_back(Eval(*a));
    return values;
}

TVariant TRuntime::CallName(const TExpr& e, bool statement) {
    if (e.Slot == TNameSlot::nsUnknown) {
        const auto proc = FProcs.find(e.Name);
        if (proc != FProcs.end()) return CallProc(*proc->second, e.Args);
        const auto obj = Objects.find(e.Name);
        if (obj != Objects.end()) {
            if (!e.Args.empty())
                Raise(seTypeMismatch, Quoted(ScriptErrorText(seTypeMismatch), Shown(e)));
            return TVariant::Object(obj->second);
        }
        if (e.Name == "err") {
            if (!e.Args.empty()) Raise(seTypeMismatch);
            return TVariant::Long(ErrNumber);
        }
        const int b = FindBuiltin(e.Name);
        if (b >= 0) {
            e.Slot = TNameSlot::nsBuiltin;
            e.SlotIndex = b;
        } else {
            const int c = FindScriptConstant(e.Name);
            if (c >= 0) {
                e.Slot = TNameSlot::nsConstant;
                e.SlotIndex = c;
            }
        }
    }
    if (e.Slot == TNameSlot::nsBuiltin) {
        const TBuiltin& b = BuiltinAt(e.SlotIndex);
        if (static_cast<int>(e.Args.size()) < b.MinArgs ||
            static_cast<int>(e.Args.size()) > b.MaxArgs) {
            Raise(seArgCount, Quoted(ScriptErrorText(seArgCount), Shown(e)));
        }
        std::vector<TVariant> args = EvalArgs(e.Args);
        return b.Fn(*this, args);
    }
    if (e.Slot == TNameSlot::nsConstant) {
        if (!e.Args.empty())
            Raise(seTypeMismatch, Quoted(ScriptErrorText(seTypeMismatch), Shown(e)));
        return ConstantAt(e.SlotIndex);
    }
    if (OptionExplicit()) Raise(seUndefinedVar, Quoted(ScriptErrorText(seUndefinedVar), Shown(e)));
    if (e.HasArgs || statement) {
        Raise(statement ? seNotDefined : seTypeMismatch,
              Quoted(ScriptErrorText(statement ? seNotDefined : seTypeMismatch), Shown(e)));
    }
    return VariableForWrite(e);
}

TVariant TRuntime::CallProc(TProc& proc, const std::vector<TExprPtr>& args) {
    if (args.size() != proc.Params.size()) {
        Raise(seArgCount, Quoted(ScriptErrorText(seArgCount), proc.Spelling));
    }
    Poll();
    const char probe = 0;
    const std::uintptr_t here = reinterpret_cast<std::uintptr_t>(&probe);
    const std::uintptr_t used = FStackBase > here ? FStackBase - here : here - FStackBase;
    if (FDepth + 1 > Owner.Limits.MaxCallDepth || used > Owner.Limits.StackBudget) {
        Raise(seOutOfStack, {}, true);
    }
    TFrame frame;
    frame.Proc = &proc;
    frame.Program = proc.Program;
    frame.Values.resize(proc.Locals.size());
    frame.Refs.assign(proc.Locals.size(), nullptr);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const TExpr& a = *args[i];
        const bool byRef =
            proc.Params[i].ByRef && a.Kind == TExprKind::ekName && !a.HasArgs && !a.Parenthesized;
        TVariant* var = byRef ? FindVariable(a) : nullptr;
        if (byRef && !var && IsUnknownName(a.Name)) var = &VariableForWrite(a);
        if (var && !IsConstant(a)) {
            frame.Refs[i + 1] = var;
        } else {
            frame.Values[i + 1] = Eval(a);
        }
    }
    struct TRestore {
        TRuntime& R;
        TFrame* Saved;
        ~TRestore() {
            R.FFrame = Saved;
            --R.FDepth;
        }
    } restore{*this, FFrame};
    ++FDepth;
    FFrame = &frame;
    ExecBlock(proc.Body);
    if (!proc.IsFunction) return {};
    return std::move(frame.Values[0]);
}

std::shared_ptr<TScriptObject> TRuntime::ObjectOf(const TVariant& v) {
    if (!v.IsObject()) Raise(seObjectRequired);
    std::shared_ptr<TScriptObject> obj = v.Obj();
    if (!obj) Raise(91, "Object variable not set");
    return obj;
}

void TRuntime::Invoke(TScriptObject& obj, const std::string& member, std::uint8_t flags,
                      std::vector<TVariant>& args, TVariant& result) {
    const int id = obj.MemberId(member);
    if (id < 0) Raise(seNoMember, Quoted(ScriptErrorText(seNoMember), member));
    const TInvokeResult r = obj.Invoke(id, flags, args, result);
    if (!r.Ok()) Raise(r.Number, r.Description, r.Fatal);
}

TVariant TRuntime::EvalMember(const TExpr& e, std::uint8_t flags) {
    if (e.Name.empty()) {
        const TVariant base = Eval(*e.Left);
        if (!base.IsArray()) Raise(seTypeMismatch);
        return ElementValue(base, e.Args);
    }
    const TVariant owner =
        e.Left->Kind == TExprKind::ekName ? EvalName(*e.Left, true) : Eval(*e.Left);
    const std::shared_ptr<TScriptObject> obj = ObjectOf(owner);
    std::vector<TVariant> args = EvalArgs(e.Args);
    TVariant result;
    Invoke(*obj, e.Spelling, flags, args, result);
    return result;
}

}  // namespace rekna
