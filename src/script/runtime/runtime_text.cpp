// Script text read while a script runs: Eval, Execute and ExecuteGlobal; and GetRef.
#include "script/objects/err_object.h"
#include "script/runtime/runtime.h"
#include "script/syntax/lexer.h"
#include "script/syntax/parser.h"

namespace rekna {

namespace {

// An error from a text read during the run is reported where that text was run: the text
// itself does not stay.
[[noreturn]] void Relocated(TScriptRaise& r, const TProgram* transient) {
    if (r.Program == transient) {
        r.Located = false;
        r.Program = nullptr;
    }
    throw;
}

}  // namespace

TVariant TRuntime::EvalText(std::string_view text) {
    const auto program = std::make_shared<TProgram>();
    TParseError pe;
    if (!ParseExpression(text, *program, pe)) Raise(pe.Number);
    try {
        return Eval(*program->Expression);
    } catch (TScriptRaise& r) {
        Relocated(r, program.get());
    }
}

void TRuntime::ExecuteText(std::string_view text, bool global) {
    auto program = std::make_shared<TProgram>();
    TParseError pe;
    if (!ParseProgram(text, *program, pe)) Raise(pe.Number);
    // Inside a procedure, Execute declares the procedure's own variables.
    const bool local = !global && FFrame->Proc;
    if (local) program->Globals.clear();
    const std::shared_ptr<TProgram> body = program;
    RegisterProgram(std::move(program));
    try {
        if (global) {
            TFrame top;
            top.Program = body.get();
            struct TRestore {
                TFrame*& Frame;
                TFrame* Saved;
                ~TRestore() { Frame = Saved; }
            } restore{FFrame, FFrame};
            FFrame = &top;
            ExecBlock(body->Body);
        } else {
            struct TRestore {
                TFrame& Frame;
                const TProgram* Saved;
                ~TRestore() { Frame.Program = Saved; }
            } restore{*FFrame, FFrame->Program};
            FFrame->Program = body.get();
            ExecBlock(body->Body);
        }
    } catch (TScriptRaise& r) {
        Relocated(r, body.get());
    }
}

TVariant TRuntime::GetRef(std::string_view name) {
    const std::string key = ScriptNameKey(name);
    const auto it = FProcs.find(key);
    if (it == FProcs.end()) Raise(seInvalidCall, ScriptErrorNaming(seInvalidCall, name));
    for (const auto& p : FPrograms) {
        if (p.get() == it->second->Program) {
            return TVariant::Object(MakeProcRef(p, *it->second, *this).Get());
        }
    }
    Raise(seInvalidCall);
}

}  // namespace rekna
