// Procedure calls with their frames and ByRef arguments, members of class instances, New, and
// the Class_Terminate of instances whose last holder let go.
#include "script/objects/regexp.h"
#include "script/runtime/runtime.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

std::size_t FlatOf(const TScriptArray& arr, const std::vector<std::int32_t>& idx) {
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

// A ByRef argument that is an array element: the callee works on a copy that goes back into
// the element when the call ends.
struct TWriteBack {
    std::size_t Slot;
    TVariant* Array;
    std::size_t Flat;
};

// A call's frame from the push of its locals to their pop, which every way out passes through.
class TCallScope {
public:
    TCallScope(TRuntime& rt, TLocalStack& stack, std::size_t n)
        : FRt(rt), FStack(stack), FCaller(rt.Frame()), FN(n) {
        Locals = stack.Push(n, FMark);
    }
    ~TCallScope() {
        if (FEntered) FRt.LeaveFrame(FCaller);
        if (WriteBacks) WriteBack();
        FStack.Pop(FMark, Locals, FN);
    }
    TCallScope(const TCallScope&) = delete;
    TCallScope& operator=(const TCallScope&) = delete;

    void Enter(TFrame& frame) {
        FRt.EnterFrame(frame);
        FEntered = true;
    }
    void AddWriteBack(std::size_t slot, TVariant* array, std::size_t flat) {
        if (!WriteBacks) WriteBacks = std::make_unique<std::vector<TWriteBack>>();
        WriteBacks->push_back({slot, array, flat});
    }

    TVariant* Locals;
    std::unique_ptr<std::vector<TWriteBack>> WriteBacks;

private:
    void WriteBack() noexcept {
        for (const TWriteBack& w : *WriteBacks) {
            TVariant& v = Locals[w.Slot];
            if (!w.Array->IsArray() || w.Flat >= w.Array->Arr().Items.size()) continue;
            try {
                w.Array->MutableArr().Items[w.Flat] = std::move(v);
            } catch (...) {  // out of memory while copying a shared array: the copy is lost
            }
        }
    }

    TRuntime& FRt;
    TLocalStack& FStack;
    TFrame* FCaller;
    std::size_t FN;
    TLocalStack::TMark FMark;
    bool FEntered = false;
};

template <class TBind>
[[gnu::always_inline]] inline TVariant TRuntime::Invoke(TProc& proc, TClassInstance* me,
                                                        TBind&& bind) {
    Poll();
    const char probe = 0;
    if (FDepth >= FMaxDepth || reinterpret_cast<std::uintptr_t>(&probe) < FStackLimit) {
        Raise(seOutOfStack, {}, true);
    }
    const std::size_t n = proc.Locals.size();
    TCallScope scope(*this, FStack, n);
    bind(scope);
    TFrame frame;
    frame.Proc = &proc;
    frame.Program = proc.Program;
    frame.Locals = scope.Locals;
    frame.Count = static_cast<std::uint32_t>(n);
    frame.Me = me;
    scope.Enter(frame);
    ExecStatements(proc.Body);
    if (!proc.IsFunction()) return {};
    // The result variable is slot 0, which no argument binds: never a link to elsewhere.
    return std::move(scope.Locals[0]);
}

TVariant TRuntime::CallProc(TProc& proc, const std::vector<TExprPtr>& args, TClassInstance* me,
                            const TVariant* extra) {
    if (args.size() + (extra ? 1 : 0) != proc.ByRef.size()) {
        Raise(seArgCount, ScriptErrorNaming(seArgCount, proc.Spelling));
    }
    return Invoke(proc, me, [&](TCallScope& scope) {
        TVariant* locals = scope.Locals;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const TExpr& a = *args[i];
            TVariant& slot = locals[i + 1];
            if (a.Kind == TExprKind::ekMissing) continue;
            if (a.Kind == TExprKind::ekBinary) {
                // "F(n - 1)": a number worked out straight into the parameter.
                const TVariant* x = Peek(*a.Left);
                const TVariant* y = x ? Peek(*a.Right) : nullptr;
                if (y && FastOperator(a.Op, *x, *y, slot)) continue;
                slot = EvalBinary(a.Op, *a.Left, *a.Right);
                continue;
            }
            const bool byRef = proc.ByRef[i] != 0 && !a.Parenthesized;
            if (byRef && a.Kind == TExprKind::ekName) {
                if (!a.HasArgs) {
                    TVariant* var = FindVariable(a);
                    if (!var && IsUnknownName(a.Name)) var = &VariableForWrite(a);
                    if (var && !IsConstant(a)) {
                        slot = TVariant::Ref(var);
                        continue;
                    }
                } else if (!a.Args.empty() && BindElement(a, scope, i + 1)) {
                    continue;
                }
            }
            slot = Eval(a);
        }
        if (extra) locals[args.size() + 1] = *extra;
    });
}

bool TRuntime::BindElement(const TExpr& a, TCallScope& scope, std::size_t slot) {
    TVariant* var = FindVariable(a);
    if (!var || !var->IsArray()) return false;
    std::vector<std::int32_t> idx;
    EvalIndexes(a.Args, idx);
    if (!var->IsArray()) return false;
    const std::size_t flat = FlatOf(var->Arr(), idx);
    scope.Locals[slot] = var->Arr().Items[flat];
    scope.AddWriteBack(slot, var, flat);
    return true;
}

TVariant TRuntime::CallProcValues(TProc& proc, std::vector<TVariant>& args, TClassInstance* me) {
    if (args.size() != proc.ByRef.size()) {
        Raise(seArgCount, ScriptErrorNaming(seArgCount, proc.Spelling));
    }
    return Invoke(proc, me, [&](TCallScope& scope) {
        for (std::size_t i = 0; i < args.size(); ++i)
            scope.Locals[i + 1] = args[i].IsMissing() ? TVariant() : std::move(args[i]);
    });
}

TVariant TRuntime::CallMember(TClassInstance& inst, int member, std::uint8_t flags,
                              const std::vector<TExprPtr>& args, TVariant* value) {
    const TClassMember& m = inst.Def.Members[static_cast<std::size_t>(member)];
    if (!m.IsPublic && !(FFrame->Me && &FFrame->Me->Def == &inst.Def)) {
        Raise(seNoMember, ScriptErrorNaming(seNoMember, m.Spelling));
    }
    const TRef<TScriptObject> keep(&inst);
    const bool isSet = (flags & ifPropertyPutRef) != 0;
    if (m.Field >= 0) {
        TVariant& field = inst.Fields[static_cast<std::size_t>(m.Field)];
        if (value) {
            if (args.empty()) {
                if (field.IsArray() && field.Arr().Fixed) Raise(seIllegalAssign);
                AssignVariable(field, std::move(*value), isSet);
                return {};
            }
            std::vector<std::int32_t> idx;
            EvalIndexes(args, idx);
            TVariant& item = Element(field, idx);
            if (isSet) {
                if (!value->IsObject()) Raise(seObjectRequired);
                item = std::move(*value);
            } else {
                item = ValueOf(std::move(*value));
            }
            return {};
        }
        if (args.empty()) return field;
        if (field.IsArray()) {
            std::vector<std::int32_t> idx;
            EvalIndexes(args, idx);
            return Element(field, idx);
        }
        if (field.IsObject() && field.ObjPtr()) {
            TRef<TScriptObject> obj = field.Obj();
            std::vector<TVariant> values = EvalArgs(args);
            TVariant result;
            InvokeDefault(*obj, ifMethod | ifPropertyGet, values, result);
            return result;
        }
        Raise(seTypeMismatch, ScriptErrorNaming(seTypeMismatch, m.Spelling));
    }
    if (value) {
        TProc* put = isSet ? m.Set : m.Let;
        if (!put) Raise(seArgCount, ScriptErrorNaming(seArgCount, m.Spelling));
        TVariant v = isSet || !value->IsObject() ? std::move(*value) : ValueOf(std::move(*value));
        if (isSet && !v.IsObject()) Raise(seObjectRequired);
        CallProc(*put, args, &inst, &v);
        return {};
    }
    TProc* get = m.Get ? m.Get : m.Method;
    if (!get) Raise(seArgCount, ScriptErrorNaming(seArgCount, m.Spelling));
    return CallProc(*get, args, &inst);
}

TVariant TRuntime::NewObject(const TExpr& e) {
    const auto it = FClasses.find(e.Name);
    if (it == FClasses.end()) {
        if (e.Name == "regexp") return TVariant::Object(MakeRegExp().Get());
        Raise(seClassNotDefined, ScriptErrorNaming(seClassNotDefined, e.Spelling));
    }
    const TClassDef& def = *it->second.Def;
    auto* inst = new TClassInstance(it->second.Program, def, FLink.Get());
    TVariant v = TVariant::Object(inst);
    for (std::size_t f = 0; f < def.Fields.size(); ++f) {
        const TDeclare& d = def.Fields[f];
        if (!d.IsArray) continue;
        std::vector<std::int32_t> upper;
        for (const TExprPtr& b : d.Bounds)
            upper.push_back(ToLong(ValueOf(Eval(*b))));
        inst->Fields[f] = NewArray(upper, !upper.empty());
    }
    if (def.Initialize) {
        static const std::vector<TExprPtr> kNoArgs;
        CallProc(*def.Initialize, kNoArgs, inst);
    }
    return v;
}

void TRuntime::QueueDying(TClassInstance* inst) noexcept {
    inst->AddRef();
    inst->NextDying = nullptr;
    if (!FDying) {
        FDying = inst;
    } else {
        TClassInstance* last = FDying;
        while (last->NextDying)
            last = last->NextDying;
        last->NextDying = inst;
    }
}

void TRuntime::RunDying() {
    while (FDying) {
        TClassInstance* inst = FDying;
        FDying = inst->NextDying;
        inst->NextDying = nullptr;
        inst->Terminated = true;
        const TRef<TScriptObject> hold(inst);
        inst->Release();  // the queue's hold
        static const std::vector<TExprPtr> kNoArgs;
        try {
            CallProc(*inst->Def.Terminate, kNoArgs, inst);
        } catch (const TScriptRaise& r) {
            // An error inside Class_Terminate goes nowhere; a stop request still ends the run.
            if (r.Fatal) throw;
        }
    }
}

bool TScriptObject::CallQuick(int id, TInvokeResult& failure) {
    std::vector<TVariant> none;
    TVariant ignored;
    failure = Invoke(id, ifMethod, none, ignored);
    return failure.Ok();
}

TClassInstance::TClassInstance(std::shared_ptr<const TProgram> program, const TClassDef& def,
                               TRuntimeLink* link)
    : Def(def), Fields(def.Fields.size()), FProgram(std::move(program)), FLink(link) {
    Account(sizeof(TClassInstance) + Fields.size() * sizeof(TVariant));
    TrackCycles();
}

int TClassInstance::MemberId(std::string_view name) const {
    for (std::size_t i = 0; i < Def.Members.size(); ++i) {
        const TClassMember& m = Def.Members[i];
        if (m.IsPublic && m.Field >= 0 && SameMemberName(name, m.Name)) return static_cast<int>(i);
    }
    return -1;
}

TInvokeResult TClassInstance::Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                                     TVariant& result) {
    if (id < 0 || static_cast<std::size_t>(id) >= Def.Members.size())
        return {seNoMember, {}, false};
    const TClassMember& m = Def.Members[static_cast<std::size_t>(id)];
    if (m.Field < 0 || !m.IsPublic || !args.empty() || (flags & ifPropertyGet) == 0) {
        return {seNoMember, {}, false};
    }
    result = Fields[static_cast<std::size_t>(m.Field)];
    return {};
}

void TClassInstance::LastRelease() noexcept {
    TRuntime* rt = FLink ? FLink->Runtime : nullptr;
    if (!Terminated && Def.Terminate && rt && rt->Running) {
        rt->QueueDying(this);
        return;
    }
    delete this;
}

}  // namespace rekna
