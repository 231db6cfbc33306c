// The interpreter's state and its evaluation of program trees (internal to the library).
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "script/runtime/class_instance.h"
#include "script/runtime/local_stack.h"
#include "script/runtime/raise.h"
#include "script/runtime/script_interpreter.h"
#include "script/syntax/ast.h"
#include "script/values/script_memory.h"

namespace rekna {

class TCallScope;

// What a statement asks of the statements around it.
enum class TFlow : std::uint8_t { flNormal, flExitFor, flExitDo, flExitProc };

// One procedure call (or the top level of a run): its locals in the local stack (a ByRef
// parameter holds a link to the caller's variable), its object for Me, and its error mode.
struct TFrame {
    TProc* Proc = nullptr;
    const TProgram* Program = nullptr;
    TVariant* Locals = nullptr;
    std::uint32_t Count = 0;
    // Locals the procedure gained after this call began (Execute, implicit variables).
    std::unique_ptr<std::deque<TVariant>> Extra;
    TClassInstance* Me = nullptr;
    bool ResumeNext = false;
};

// A class that New can make: its definition and the program that holds it.
struct TClassEntry {
    std::shared_ptr<const TProgram> Program;
    const TClassDef* Def = nullptr;
};

class TRuntime {
public:
    explicit TRuntime(TScriptInterpreter& owner);
    ~TRuntime();
    TRuntime(const TRuntime&) = delete;
    TRuntime& operator=(const TRuntime&) = delete;

    // ---- entry points (script_interpreter.cpp)
    bool Execute(std::string_view text);
    bool Evaluate(std::string_view text, TVariant& result);
    void Reset();

    TScriptInterpreter& Owner;
    TScriptError LastError;
    std::atomic<bool> StopRequested{false};
    bool Running = false;
    std::unordered_map<std::string, TRef<TScriptObject>> Objects;
    std::uint32_t ObjectsGen = 1;
    // Rnd's generator state and its last result.
    std::uint32_t RndSeed = 0x50000;
    double RndLast = 0;
    // The locale SetLocale chose (the texts stay Japanese whatever it is).
    std::int32_t LocaleId = 1041;
    [[nodiscard]] TScriptMemory& Memory() noexcept { return *FMemory; }
    [[nodiscard]] TRuntimeLink* Link() noexcept { return FLink.Get(); }

    // ---- helpers for the built-in functions
    void CheckText(std::size_t bytes) const;
    void CheckItems(double count) const;
    [[nodiscard]] TVariant Global(std::string_view name) const;
    // Eval, Execute, ExecuteGlobal, GetRef (runtime_text.cpp).
    TVariant EvalText(std::string_view text);
    void ExecuteText(std::string_view text, bool global);
    TVariant GetRef(std::string_view name);
    // Calls a procedure with values (by value), as a GetRef object does.
    TVariant CallProcValues(TProc& proc, std::vector<TVariant>& args, TClassInstance* me);

    // ---- the Err object's state
    int ErrNumber = 0;
    std::string ErrDescription;
    std::string ErrSource;
    std::string ErrHelpFile;
    std::int32_t ErrHelpContext = 0;
    // The source that Err.Raise named, for the error it is raising.
    std::string RaisedSource;
    bool RaisedBySource = false;
    void ClearErr();
    void SetErr(const TScriptRaise& r);

    // ---- names (runtime_names.cpp)
    // The variable a name is: a local, a field of Me or a global; null when it is none.
    TVariant* FindVariable(const TExpr& e) {
        if (e.Slot == TNameSlot::nsLocal) return &LocalSlot(e.SlotIndex);
        if (e.Slot == TNameSlot::nsGlobal && e.SlotGen == FGlobalsGen) {
            return static_cast<TVariant*>(const_cast<void*>(e.SlotPtr));
        }
        return FindVariableSlow(e);
    }
    TVariant& LocalSlot(int index) {
        TFrame& f = *FFrame;
        TVariant* slot =
            static_cast<std::uint32_t>(index) < f.Count ? f.Locals + index : &ExtraSlot(index);
        return slot->IsRef() ? *slot->RefTarget() : *slot;
    }
    TVariant* FindVariableSlow(const TExpr& e);
    TVariant& ExtraSlot(int index);
    void CacheGlobal(const TExpr& e, int slot);
    [[nodiscard]] bool OptionExplicit() const;
    TVariant* FindVariableByName(const std::string& name);
    TVariant& VariableForWrite(const TExpr& e) {
        if (TVariant* v = FindVariable(e)) return *v;
        return VariableForWriteByName(e.Name, &e);
    }
    TVariant& VariableForWriteByName(const std::string& name, const TExpr* cacheNode);
    // After FindVariable found it: the variable is a constant.
    [[nodiscard]] bool IsConstant(const TExpr& e) const { return e.SlotConst; }
    // No variable, procedure, object, built-in function or constant has this name.
    [[nodiscard]] bool IsUnknownName(const std::string& name) const;
    // Resolves a name that is no variable: a member of Me's class, a procedure, an object, Err,
    // a built-in function or constant (nsUnknown when it is none of them).
    void ResolveCallable(const TExpr& e);

    // ---- evaluation (runtime_eval.cpp)
    TVariant Eval(const TExpr& e) {
        // A variable read, the commonest expression, without a call.
        if (e.Kind == TExprKind::ekName && !e.HasArgs) {
            if (e.Slot == TNameSlot::nsLocal) return LocalSlot(e.SlotIndex);
            if (e.Slot == TNameSlot::nsGlobal && e.SlotGen == FGlobalsGen) {
                return *static_cast<const TVariant*>(e.SlotPtr);
            }
        } else if (e.Kind == TExprKind::ekLiteral) {
            return e.Value;
        } else if (e.Kind == TExprKind::ekBinary) {
            return EvalBinary(e.Op, *e.Left, *e.Right);
        } else if (e.Slot == TNameSlot::nsProc && e.SlotGen == FProcsGen &&
                   e.Kind == TExprKind::ekName) {
            return CallProc(*static_cast<TProc*>(const_cast<void*>(e.SlotPtr)), e.Args, nullptr);
        }
        return EvalSlow(e);
    }
    [[gnu::noinline]] TVariant EvalSlow(const TExpr& e);
    // A value that can be read where it is, with no effects: a literal, a variable, or an
    // element of a one-dimensional array at such an index (in range).
    const TVariant* Peek(const TExpr& e) {
        if (e.Kind == TExprKind::ekLiteral) return &e.Value;
        if (e.Kind == TExprKind::ekName) {
            if (!e.HasArgs) return PeekVariable(e);
            if (e.Args.size() == 1) return PeekElement(e);
        }
        return nullptr;
    }
    const TVariant* PeekVariable(const TExpr& e) {
        if (e.Slot == TNameSlot::nsLocal) return &LocalSlot(e.SlotIndex);
        if (e.Slot == TNameSlot::nsGlobal && e.SlotGen == FGlobalsGen) {
            return static_cast<const TVariant*>(e.SlotPtr);
        }
        return nullptr;
    }
    const TVariant* PeekElement(const TExpr& e) {
        const TVariant* array = PeekVariable(e);
        if (!array || !array->IsArray()) return nullptr;
        const TExpr& index = *e.Args[0];
        const TVariant* i = index.Kind == TExprKind::ekLiteral ? &index.Value
                            : index.Kind == TExprKind::ekName && !index.HasArgs
                                ? PeekVariable(index)
                                : nullptr;
        if (!i || !i->IsWhole()) return nullptr;
        const TScriptArray& arr = array->Arr();
        if (arr.Upper.size() != 1 || i->WholeValue() < 0 || i->WholeValue() > arr.Upper[0]) {
            return nullptr;
        }
        return &arr.Items[static_cast<std::size_t>(i->WholeValue())];
    }
    // The value for an operator, an assignment with Let or a built-in: an object gives its
    // default member's value.
    TVariant ValueOf(TVariant v);
    // The truth of a condition: a comparison of numbers read in place without a value made.
    bool EvalCondition(const TExpr& e) {
        if (e.Kind == TExprKind::ekBinary && e.Op >= TBinaryOp::boEq && e.Op <= TBinaryOp::boGe) {
            const TVariant* pa = Peek(*e.Left);
            const TVariant* pb = pa ? Peek(*e.Right) : nullptr;
            bool truth = false;
            if (pb && FastCompare(e.Op, *pa, *pb, truth)) return truth;
        }
        return EvalConditionSlow(e);
    }
    [[gnu::noinline]] bool EvalConditionSlow(const TExpr& e);
    TVariant EvalBinary(TBinaryOp op, const TExpr& left, const TExpr& right);
    TVariant Operate(TBinaryOp op, TVariant a, TVariant b, const TExpr& left, const TExpr& right);
    TVariant EvalChain(const TExpr& e);
    TVariant EvalName(const TExpr& e);
    TVariant EvalMember(const TExpr& e, std::uint8_t flags);
    TVariant EvalIndex(const TExpr& e);
    TVariant CallName(const TExpr& e, bool statement);
    TVariant CallBuiltin(const TExpr& e);
    void EvalIndexes(const std::vector<TExprPtr>& indexes, std::vector<std::int32_t>& out);
    TVariant& Element(TVariant& array, const std::vector<std::int32_t>& indexes);
    std::vector<TVariant> EvalArgs(const std::vector<TExprPtr>& args);
    // The object a member expression works on.
    TRef<TScriptObject> OwnerOf(const TExpr& member);
    // Calls a member of an object by name with values; the identifier is kept at the call site.
    void InvokeObject(TScriptObject& obj, const TExpr& site, std::uint8_t flags,
                      std::vector<TVariant>& args, TVariant& result);
    void InvokeDefault(TScriptObject& obj, std::uint8_t flags, std::vector<TVariant>& args,
                       TVariant& result);
    TRef<TScriptObject> ObjectOf(const TVariant& v);

    // ---- calls and classes (runtime_call.cpp)
    TVariant CallProc(TProc& proc, const std::vector<TExprPtr>& args, TClassInstance* me,
                      const TVariant* extra = nullptr);
    // A ByRef argument that is an array element: false when it is none.
    [[gnu::noinline]] bool BindElement(const TExpr& a, TCallScope& scope, std::size_t slot);
    // A member of an instance: a field, a method or a property (put when value is given).
    TVariant CallMember(TClassInstance& inst, int member, std::uint8_t flags,
                        const std::vector<TExprPtr>& args, TVariant* value = nullptr);
    TVariant NewObject(const TExpr& e);
    // Queues an instance whose last holder let go, for its Class_Terminate.
    void QueueDying(TClassInstance* inst) noexcept;
    void RunDying();
    [[nodiscard]] bool HasDying() const noexcept { return FDying != nullptr; }

    // ---- statements (runtime_exec.cpp)
    TFlow ExecBlock(const TBlock& block);
    // The statements of a block; a loop's pass and a call run them without a call of their own.
    [[gnu::always_inline]] TFlow ExecStatements(const TBlock& block) {
        for (const TStmtPtr& s : block) {
            try {
                const TFlow flow = Exec(*s);
                if (FDying) RunDying();
                if (flow != TFlow::flNormal) return flow;
            } catch (TScriptRaise& r) {
                Caught(r, *s);  // rethrows unless On Error Resume Next takes the error
            }
        }
        return TFlow::flNormal;
    }
    // Where an error raised by a statement goes: located there, then thrown on or taken.
    void Caught(TScriptRaise& r, const TStmt& s);
    // One statement: the common kinds each in a function of their own, so that the dispatch
    // itself stays small.
    // The two commonest kinds are tested first, one compare each, rather than in a search tree.
    TFlow Exec(const TStmt& s) {
        if (s.Kind == TStmtKind::skAssign) [[likely]] {
            ExecAssign(s);
            return TFlow::flNormal;
        }
        if (s.Kind == TStmtKind::skCall) [[likely]] {
            // A host object's method found before (the Esc check of every pass and call).
            if (s.QuickObject && s.QuickGen == ObjectsGen) {
                if (!static_cast<TScriptObject*>(s.QuickObject)
                         ->CallQuick(s.QuickId, FQuickFailure)) {
                    QuickFailed();
                }
                return TFlow::flNormal;
            }
            ExecCall(s);
            return TFlow::flNormal;
        }
        switch (s.Kind) {
        case TStmtKind::skIf: return ExecIf(s);
        case TStmtKind::skFor: return ExecFor(s);
        default: return ExecOther(s);
        }
    }
    void ExecAssign(const TStmt& s);
    // The shapes of assignment that ExecAssign tells apart: "x = a + b", "x = F(...)", "x = y".
    [[gnu::noinline]] void AssignBinary(const TStmt& s);
    // "x = a + b" of other values, or with an operand that may have effects.
    [[gnu::noinline]] void AssignBinarySlow(const TStmt& s, bool effects);
    [[gnu::noinline]] void AssignCall(const TExpr& t, const TExpr& v);
    [[gnu::noinline]] void AssignCopy(const TStmt& s);
    [[gnu::noinline]] void ExecAssignSlow(const TStmt& s);
    [[gnu::noinline]] void ExecCall(const TStmt& s);
    [[gnu::noinline]] void ExecCallSlow(const TExpr& t);
    [[noreturn]] void QuickFailed();
    TFlow ExecIf(const TStmt& s);
    TFlow ExecOther(const TStmt& s);
    void Assign(const TExpr& target, TVariant value, bool isSet);
    void AssignVariable(TVariant& var, TVariant value, bool isSet);
    void AppendToSelf(const TStmt& s);
    void ExecDim(const TStmt& s);
    void ExecReDim(const TStmt& s);
    void ExecErase(const TStmt& s);
    TFlow ExecFor(const TStmt& s);
    TFlow ExecForEach(const TStmt& s);
    TFlow ExecDo(const TStmt& s);
    TFlow ExecSelect(const TStmt& s);
    TFlow ExecWith(const TStmt& s);
    [[nodiscard]] TVariant NewArray(const std::vector<std::int32_t>& upper, bool fixed);

    // Polled on every loop pass and procedure call.
    void Poll() {
        if (StopRequested.load(std::memory_order_relaxed) || ++FPollCount >= FPollEvery) {
            PollSlow();
        }
    }

    TFrame* Frame() noexcept { return FFrame; }
    void EnterFrame(TFrame& frame) noexcept {
        ++FDepth;
        FFrame = &frame;
    }
    void LeaveFrame(TFrame* caller) noexcept {
        FFrame = caller;
        --FDepth;
    }

private:
    friend class TRunScope;
    void PollSlow();
    void Fail(const TScriptRaise& r);
    void FailCompile(int number, int line, int column, const std::vector<std::string>& lines);
    void Begin();
    // Runs work as the top level of the program's run, turning what ends it into LastError.
    template <class TWork> bool Run(const TProgram& program, TWork work);
    void RegisterProgram(std::shared_ptr<TProgram> program);
    int AddGlobal(const std::string& name);
    template <class TBind> TVariant Invoke(TProc& proc, TClassInstance* me, TBind&& bind);

    TScriptMemory* FMemory;
    TRef<TRuntimeLink> FLink;
    std::deque<TVariant> FGlobals;
    std::uint32_t FGlobalsGen = 1;  // changes when kept global slots may be wrong
    std::vector<bool> FGlobalConst;
    std::unordered_map<std::string, int> FGlobalIndex;
    std::unordered_map<std::string, TProc*> FProcs;
    std::uint32_t FProcsGen = 1;
    std::unordered_map<std::string, TClassEntry> FClasses;
    std::vector<std::shared_ptr<TProgram>> FPrograms;  // those whose procedures are in use
    std::vector<std::shared_ptr<TProgram>> FRetired;   // replaced during the run in progress
    TRef<TScriptObject> FErr;
    TLocalStack FStack;
    std::vector<TVariant> FWith;
    TFrame* FFrame = nullptr;
    TInvokeResult FQuickFailure;            // why the last quick call failed
    const TProgram* FRunProgram = nullptr;  // the text of the current run
    TClassInstance* FDying = nullptr;       // instances waiting for their Class_Terminate
    int FDepth = 0;
    int FMaxDepth = 0;  // the limits of the run in progress
    // The machine stack grows down from where the run began; calls stop above this address.
    std::uintptr_t FStackLimit = 0;
    unsigned FPollCount = 0;
    unsigned FPollEvery = 4096;
};

}  // namespace rekna
