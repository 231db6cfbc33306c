// The interpreter's entry points, its error reports, the Err object and the stop request.
#include "script/runtime/script_interpreter.h"

#include <exception>

#include "script/runtime/runtime.h"
#include "script/syntax/lexer.h"
#include "script/syntax/parser.h"
#include "script/values/convert.h"

namespace rekna {

namespace {

const char kRuntimeSource[] = "VBScript runtime error";
const char kCompileSource[] = "VBScript compilation error";

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
        const char y = (b[i] >= 'A' && b[i] <= 'Z') ? static_cast<char>(b[i] + 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

std::string LowerName(std::string_view name) {
    return ScriptNameKey(name);
}

}  // namespace

// The Err object: Number (also its value), Description, Source, Clear and Raise.
class TErrObject : public TScriptObject {
public:
    explicit TErrObject(TRuntime& rt) : FRt(rt) {}

    int MemberId(std::string_view name) const override {
        static const char* const kNames[] = {"number", "description", "source", "clear", "raise"};
        for (int i = 0; i < 5; ++i) {
            if (SameName(name, kNames[i])) return i;
        }
        return -1;
    }

    TInvokeResult Invoke(int id, std::uint8_t flags, std::vector<TVariant>& args,
                         TVariant& result) override {
        const bool put = (flags & ifPropertyPut) != 0;
        if (id <= 2) {
            if (put) {
                if (args.size() != 1) return {seArgCount, {}, false};
                if (id == 0) FRt.ErrNumber = ToLong(args[0]);
                if (id == 1) FRt.ErrDescription = ToText(args[0]);
                if (id == 2) FRt.ErrSource = ToText(args[0]);
                return {};
            }
            if (!args.empty()) return {seArgCount, {}, false};
            if (id == 0) result = TVariant::Long(FRt.ErrNumber);
            if (id == 1) result = TVariant::String(FRt.ErrDescription);
            if (id == 2) result = TVariant::String(FRt.ErrSource);
            return {};
        }
        if (put) return {seNoMember, {}, false};
        if (id == 3) {
            if (!args.empty()) return {seArgCount, {}, false};
            FRt.ClearErr();
            return {};
        }
        if (args.empty() || args.size() > 5) return {seArgCount, {}, false};
        const std::int32_t number = ToLong(args[0]);
        if (number <= 0 || number > 65535) return {seInvalidCall, {}, false};
        FRt.RaisedSource = args.size() > 1 && !args[1].IsEmpty() ? ToText(args[1]) : std::string();
        std::string text =
            args.size() > 2 && !args[2].IsEmpty() ? ToText(args[2]) : ScriptErrorText(number);
        return {number, std::move(text), false};
    }

    std::string TypeName() const override { return "ErrObject"; }

private:
    TRuntime& FRt;
};

TRuntime::TRuntime(TScriptInterpreter& owner)
    : Owner(owner), FErr(std::make_shared<TErrObject>(*this)) {}

void TRuntime::ClearErr() {
    ErrNumber = 0;
    ErrDescription.clear();
    ErrSource.clear();
}

void TRuntime::SetErr(const TScriptRaise& r) {
    ErrNumber = r.Number;
    ErrDescription = r.Description;
    ErrSource = RaisedSource.empty() ? std::string(kRuntimeSource) : RaisedSource;
    RaisedSource.clear();
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
    const auto it = FGlobalIndex.find(LowerName(name));
    return it == FGlobalIndex.end() ? TVariant() : FGlobals[it->second];
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
    StopRequested.store(false);
    FPollCount = 0;
    FPollEvery = Owner.PollInterval == 0 ? 1 : Owner.PollInterval;
    FDepth = 0;
    const char probe = 0;
    FStackBase = reinterpret_cast<std::uintptr_t>(&probe);
}

void TRuntime::Fail(const TScriptRaise& r) {
    LastError.Number = r.Number;
    LastError.Description = r.Description;
    LastError.Source = RaisedSource.empty() ? std::string(kRuntimeSource) : RaisedSource;
    RaisedSource.clear();
    LastError.Line = r.Line;
    LastError.Column = r.Column;
    LastError.Stopped = r.Number == seStopped;
    const auto* program = static_cast<const TProgram*>(r.Program);
    LastError.EarlierText = program != nullptr && program != FRunProgram;
    if (program && r.Line >= 0 && static_cast<std::size_t>(r.Line) < program->Lines.size()) {
        LastError.SourceLine = program->Lines[r.Line];
    }
}

void TRuntime::FailCompile(int number, int line, int column,
                           const std::vector<std::string>& lines) {
    LastError.Number = number;
    LastError.Description = ScriptErrorText(number);
    LastError.Source = kCompileSource;
    LastError.Line = line;
    LastError.Column = column;
    if (line >= 0 && static_cast<std::size_t>(line) < lines.size()) {
        LastError.SourceLine = lines[line];
    }
}

void TRuntime::RegisterProgram(std::unique_ptr<TProgram> program) {
    for (const std::string& name : program->Globals)
        AddGlobal(name);
    if (program->Procs.empty()) return;
    for (const auto& proc : program->Procs)
        FProcs[proc->Name] = proc.get();
    FPrograms.push_back(std::move(program));
    // A text run again redefines its procedures: drop the programs none of whose are in use.
    std::erase_if(FPrograms, [&](const std::unique_ptr<TProgram>& p) {
        for (const auto& proc : p->Procs) {
            const auto it = FProcs.find(proc->Name);
            if (it != FProcs.end() && it->second == proc.get()) return false;
        }
        return true;
    });
}

bool TRuntime::Execute(std::string_view text) {
    Begin();
    auto program = std::make_unique<TProgram>();
    TParseError pe;
    if (!ParseProgram(text, *program, pe)) {
        FailCompile(pe.Number, pe.Line, pe.Column, program->Lines);
        return false;
    }
    TProgram* body = program.get();
    std::unique_ptr<TProgram> transient;
    if (body->Procs.empty()) {
        for (const std::string& name : body->Globals)
            AddGlobal(name);
        transient = std::move(program);
    } else {
        RegisterProgram(std::move(program));
    }
    FRunProgram = body;
    TFrame top;
    top.Program = body;
    FFrame = &top;
    Running = true;
    bool ok = true;
    try {
        ExecBlock(body->Body);
    } catch (const TScriptRaise& r) {
        Fail(r);
        ok = false;
    } catch (const std::exception&) {
        Fail(TScriptRaise{seOutOfMemory, ScriptErrorText(seOutOfMemory), true});
        ok = false;
    }
    Running = false;
    FFrame = nullptr;
    if (ok) LastError = TScriptError();  // a call refused during the run may have set it
    return ok;
}

bool TRuntime::Evaluate(std::string_view text, TVariant& result) {
    Begin();
    TProgram program;
    TParseError pe;
    if (!ParseExpression(text, program, pe)) {
        FailCompile(pe.Number, pe.Line, pe.Column, program.Lines);
        return false;
    }
    FRunProgram = &program;
    TFrame top;
    top.Program = &program;
    FFrame = &top;
    Running = true;
    bool ok = true;
    try {
        result = Eval(*program.Expression);
    } catch (TScriptRaise& r) {
        if (!r.Located) r.Program = &program;
        Fail(r);
        ok = false;
    } catch (const std::exception&) {
        Fail(TScriptRaise{seOutOfMemory, ScriptErrorText(seOutOfMemory), true});
        ok = false;
    }
    Running = false;
    FFrame = nullptr;
    if (ok) LastError = TScriptError();  // a call refused during the run may have set it
    return ok;
}

void TRuntime::Reset() {
    FGlobals.clear();
    FGlobalConst.clear();
    FGlobalIndex.clear();
    FProcs.clear();
    FPrograms.clear();
    ClearErr();
    RndSeed = 0x50000;
    RndLast = 0;
}

TScriptInterpreter::TScriptInterpreter() : FRuntime(std::make_unique<TRuntime>(*this)) {}
TScriptInterpreter::~TScriptInterpreter() = default;

void TScriptInterpreter::AddObject(std::string_view name, std::shared_ptr<TScriptObject> obj) {
    if (obj) {
        FRuntime->Objects[LowerName(name)] = std::move(obj);
    } else {
        FRuntime->Objects.erase(LowerName(name));
    }
}

namespace {

bool Busy(TRuntime& rt) {
    if (!rt.Running) return false;
    rt.LastError = TScriptError();
    rt.LastError.Number = seInvalidCall;
    rt.LastError.Description = "The interpreter is already running a script";
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

std::string ScriptValueText(const TVariant& v) {
    switch (v.Type()) {
    case TVarType::vtNull: return "Null";
    case TVarType::vtArray: return "Variant()";
    case TVarType::vtObject: return v.ObjPtr() ? v.ObjPtr()->TypeName() : "Nothing";
    default: return ToText(v);
    }
}

}  // namespace rekna
