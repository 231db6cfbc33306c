// The interpreter's entry points, its error reports, the Err state and the stop request.
#include "script/runtime/script_interpreter.h"

#include <exception>

#include "platform/cp932.h"
#include "script/objects/err_object.h"
#include "script/runtime/runtime.h"
#include "script/syntax/lexer.h"
#include "script/syntax/parser.h"
#include "script/values/convert.h"

namespace rekna {

TRuntime::TRuntime(TScriptInterpreter& owner)
    : Owner(owner), FMemory(new TScriptMemory()), FLink(new TRuntimeLink(this)) {
    FErr = MakeErrObject(*this);
}

TRuntime::~TRuntime() {
    // Objects that outlive the interpreter no longer reach it.
    FLink->Runtime = nullptr;
    {
        const TScriptMemoryScope scope(FMemory);
        FDying = nullptr;
        FMemory->BreakCycles();
        FGlobals.clear();
        FWith.clear();
        Objects.clear();
        FErr = TRef<TScriptObject>();
        FClasses.clear();
        FRetired.clear();
        FPrograms.clear();
    }
    FMemory->DropRef();
}

void TRuntime::ClearErr() {
    ErrNumber = 0;
    ErrDescription.clear();
    ErrSource.clear();
    ErrHelpFile.clear();
    ErrHelpContext = 0;
}

void TRuntime::SetErr(const TScriptRaise& r) {
    ErrNumber = r.Number;
    ErrDescription = r.Description;
    ErrSource = RaisedBySource ? RaisedSource : ScriptRuntimeSource();
    RaisedSource.clear();
    RaisedBySource = false;
}

void TRuntime::CheckText(std::size_t bytes) const {
    if (bytes > Owner.Limits.MaxTextBytes) Raise(seOutOfString, {}, true);
}

void TRuntime::CheckItems(double count) const {
    if (!(count <= static_cast<double>(Owner.Limits.MaxArrayItems))) {
        Raise(seOutOfMemory, {}, true);
    }
}

int TRuntime::AddGlobal(const std::string& name) {
    const auto it = FGlobalIndex.find(name);
    if (it != FGlobalIndex.end()) return it->second;
    const int slot = static_cast<int>(FGlobals.size());
    FGlobals.emplace_back();
    FGlobalConst.push_back(false);
    FGlobalIndex.emplace(name, slot);
    return slot;
}

TVariant TRuntime::Global(std::string_view name) const {
    const auto it = FGlobalIndex.find(ScriptNameKey(name));
    return it == FGlobalIndex.end() ? TVariant() : FGlobals[static_cast<std::size_t>(it->second)];
}

void TRuntime::PollSlow() {
    if (FPollCount >= FPollEvery) {
        FPollCount = 0;
        FPollEvery = Owner.PollInterval == 0 ? 1 : Owner.PollInterval;
        if (Owner.OnPoll) Owner.OnPoll();
    }
    if (StopRequested.load(std::memory_order_relaxed)) Raise(seStopped, {}, true);
}

void TRuntime::Begin() {
    LastError = TScriptError();
    RaisedSource.clear();
    RaisedBySource = false;
    StopRequested.store(false);
    FPollCount = 0;
    FPollEvery = Owner.PollInterval == 0 ? 1 : Owner.PollInterval;
    FDepth = 0;
    FMaxDepth = Owner.Limits.MaxCallDepth;
    FMemory->ResetPeak();
    FMemory->SetBudget(Owner.Limits.MaxMemoryBytes);
    const char probe = 0;
    const auto base = reinterpret_cast<std::uintptr_t>(&probe);
    FStackLimit = base > Owner.Limits.StackBudget ? base - Owner.Limits.StackBudget : 0;
}

void TRuntime::Fail(const TScriptRaise& r) {
    LastError.Number = r.Number;
    LastError.Description = r.Description;
    LastError.Source = RaisedBySource ? RaisedSource : ScriptRuntimeSource();
    RaisedSource.clear();
    RaisedBySource = false;
    LastError.Line = r.Line;
    LastError.Column = r.Column;
    LastError.Stopped = r.Number == seStopped;
    const auto* program = static_cast<const TProgram*>(r.Program);
    LastError.EarlierText = program != nullptr && program != FRunProgram;
    if (program && r.Line >= 0 && static_cast<std::size_t>(r.Line) < program->Lines.size()) {
        LastError.SourceLine = program->Lines[static_cast<std::size_t>(r.Line)];
    }
}

void TRuntime::FailCompile(int number, int line, int column,
                           const std::vector<std::string>& lines) {
    LastError.Number = number;
    LastError.Description = ScriptErrorText(number);
    LastError.Source = ScriptCompileSource();
    LastError.Line = line;
    LastError.Column = column;
    if (line >= 0 && static_cast<std::size_t>(line) < lines.size()) {
        LastError.SourceLine = lines[static_cast<std::size_t>(line)];
    }
}

void TRuntime::RegisterProgram(std::shared_ptr<TProgram> program) {
    for (const std::string& name : program->Globals)
        AddGlobal(name);
    if (program->Procs.empty() && program->Classes.empty()) return;
    for (const auto& proc : program->Procs)
        FProcs[proc->Name] = proc.get();
    for (const auto& def : program->Classes)
        FClasses[def->Name] = TClassEntry{program, def.get()};
    ++FProcsGen;
    FPrograms.push_back(std::move(program));
    // A text run again redefines its procedures and classes: drop the programs none of whose
    // are in use (kept to the end of a run, which may be inside one of them).
    std::vector<std::shared_ptr<TProgram>> kept;
    for (auto& p : FPrograms) {
        bool used = false;
        for (const auto& proc : p->Procs) {
            const auto it = FProcs.find(proc->Name);
            used = used || (it != FProcs.end() && it->second == proc.get());
        }
        for (const auto& def : p->Classes) {
            const auto it = FClasses.find(def->Name);
            used = used || (it != FClasses.end() && it->second.Def == def.get());
        }
        (used ? kept : FRetired).push_back(std::move(p));
    }
    FPrograms = std::move(kept);
    if (!Running) FRetired.clear();
}

// Marks a run in progress with its memory account, and at its end runs what is left of the
// Class_Terminate queue and lets go of replaced programs.
class TRunScope {
public:
    explicit TRunScope(TRuntime& rt) : FRt(rt), FMemory(rt.FMemory) { FRt.Running = true; }
    ~TRunScope() {
        try {
            FRt.RunDying();
        } catch (...) {  // a stop request or an exhausted limit: the rest go without it
        }
        FRt.FDying = nullptr;
        FRt.Running = false;
        FRt.FFrame = nullptr;
        FRt.FWith.clear();
        FRt.FRetired.clear();
    }
    TRunScope(const TRunScope&) = delete;
    TRunScope& operator=(const TRunScope&) = delete;

private:
    TRuntime& FRt;
    TScriptMemoryScope FMemory;
};

// Holds the run's work to the memory budget (runs nest: the outer state comes back).
class TBudgetScope {
public:
    explicit TBudgetScope(TScriptMemory& memory) noexcept
        : FMemory(memory), FWas(memory.Enforce(true)) {}
    ~TBudgetScope() { FMemory.Enforce(FWas); }
    TBudgetScope(const TBudgetScope&) = delete;
    TBudgetScope& operator=(const TBudgetScope&) = delete;

private:
    TScriptMemory& FMemory;
    bool FWas;
};

template <class TWork> bool TRuntime::Run(const TProgram& program, TWork work) {
    FRunProgram = &program;
    bool ok = true;
    {
        TFrame top;
        top.Program = &program;
        const TRunScope run(*this);
        FFrame = &top;
        try {
            const TBudgetScope budget(*FMemory);
            work();
            RunDying();
        } catch (TScriptRaise& r) {
            if (!r.Located) r.Program = &program;
            Fail(r);
            ok = false;
        } catch (const std::exception&) {
            Fail(TScriptRaise{seOutOfMemory, ScriptErrorText(seOutOfMemory), true});
            ok = false;
        }
    }
    if (ok) LastError = TScriptError();  // a call refused during the run may have set it
    return ok;
}

bool TRuntime::Execute(std::string_view text) {
    Begin();
    const TScriptMemoryScope memory(FMemory);
    auto program = std::make_shared<TProgram>();
    TParseError pe;
    if (!ParseProgram(text, *program, pe)) {
        FailCompile(pe.Number, pe.Line, pe.Column, program->Lines);
        return false;
    }
    const std::shared_ptr<TProgram> body = program;
    RegisterProgram(std::move(program));
    return Run(*body, [&] { ExecBlock(body->Body); });
}

bool TRuntime::Evaluate(std::string_view text, TVariant& result) {
    Begin();
    const TScriptMemoryScope memory(FMemory);
    auto program = std::make_shared<TProgram>();
    TParseError pe;
    if (!ParseExpression(text, *program, pe)) {
        FailCompile(pe.Number, pe.Line, pe.Column, program->Lines);
        return false;
    }
    return Run(*program, [&] {
        result = Eval(*program->Expression);
        // An object with a default value answers with it, as the host reads a result as text;
        // one whose default needs arguments stays the object.
        if (result.IsObject() && result.ObjPtr() && result.ObjPtr()->HasDefault()) {
            try {
                result = ValueOf(result);
            } catch (const TScriptRaise& r) {
                if (r.Fatal) throw;
            }
        }
    });
}

void TRuntime::Reset() {
    {
        // The objects that go run their Class_Terminate, as at the end of a run.
        const TScriptMemoryScope memory(FMemory);
        TFrame top;
        Begin();
        const TRunScope run(*this);
        FFrame = &top;
        std::deque<TVariant> globals;
        globals.swap(FGlobals);
        globals.clear();
    }
    // Objects that held each other go as well (without their Class_Terminate: the ring had no
    // last holder to wait for).
    {
        const TScriptMemoryScope memory(FMemory);
        FMemory->BreakCycles();
    }
    FGlobalConst.clear();
    FGlobalIndex.clear();
    ++FGlobalsGen;
    FProcs.clear();
    FClasses.clear();
    FPrograms.clear();
    ++FProcsGen;
    ClearErr();
    RndSeed = 0x50000;
    RndLast = 0;
    LocaleId = 1041;
    LastError = TScriptError();
}

TScriptInterpreter::TScriptInterpreter() : FRuntime(std::make_unique<TRuntime>(*this)) {}
TScriptInterpreter::~TScriptInterpreter() = default;

void TScriptInterpreter::AddObject(std::string_view name, TRef<TScriptObject> obj) {
    const std::string key = ScriptNameKey(name);
    if (obj) {
        FRuntime->Objects[key] = std::move(obj);
    } else {
        FRuntime->Objects.erase(key);
    }
    ++FRuntime->ObjectsGen;
}

namespace {

bool Busy(TRuntime& rt) {
    if (!rt.Running) return false;
    rt.LastError = TScriptError();
    rt.LastError.Number = seInvalidCall;
    rt.LastError.Description =
        Utf8ToCp932("スクリプトの実行中はほかのスクリプトを実行できません。");
    return true;
}

}  // namespace

bool TScriptInterpreter::Execute(std::string_view text) {
    if (Busy(*FRuntime)) return false;
    return FRuntime->Execute(text);
}

bool TScriptInterpreter::Evaluate(std::string_view text, TVariant& result) {
    result = TVariant();
    if (Busy(*FRuntime)) return false;
    return FRuntime->Evaluate(text, result);
}

bool TScriptInterpreter::Reset() {
    if (FRuntime->Running) return false;
    FRuntime->Reset();
    return true;
}

bool TScriptInterpreter::Running() const noexcept {
    return FRuntime->Running;
}

const TScriptError& TScriptInterpreter::LastError() const noexcept {
    return FRuntime->LastError;
}

void TScriptInterpreter::RequestStop() noexcept {
    FRuntime->StopRequested.store(true);
}

TVariant TScriptInterpreter::Global(std::string_view name) const {
    return FRuntime->Global(name);
}

std::size_t TScriptInterpreter::MemoryInUse() const noexcept {
    return FRuntime->Memory().InUse();
}

std::size_t TScriptInterpreter::MemoryPeak() const noexcept {
    return FRuntime->Memory().Peak();
}

std::string ScriptValueText(const TVariant& v) {
    switch (v.Type()) {
    case TVarType::vtNull: return "Null";
    case TVarType::vtArray: return "Variant()";
    case TVarType::vtError: return {};
    case TVarType::vtObject: return v.ObjPtr() ? v.ObjPtr()->TypeName() : "Nothing";
    default: return ToText(v);
    }
}

}  // namespace rekna
