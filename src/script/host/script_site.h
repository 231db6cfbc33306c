// TpsvActiveScriptSite: the host of script lines around the interpreter. It runs "#>" blocks
// and "#?" expressions for the engine, rewrites the memo's short notations, hands the object
// "Rekna" to the scripts and turns their outcome and errors into answers and log lines.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/vt_calc.h"
#include "script/host/rekna_object.h"

namespace rekna {

class TScriptInterpreter;

class TpsvActiveScriptSite : public TScriptHost {
public:
    TpsvActiveScriptSite(TVtCalc& calc, TScriptDesk desk);
    ~TpsvActiveScriptSite() override;
    TpsvActiveScriptSite(const TpsvActiveScriptSite&) = delete;
    TpsvActiveScriptSite& operator=(const TpsvActiveScriptSite&) = delete;

    TScriptOutcome ExecuteBlock(std::string_view text, int firstLine, bool log) override;
    TScriptOutcome EvaluateExpression(std::string_view text, int line, bool log) override;
    void ResetHost() override;
    [[nodiscard]] bool Running() const override;

    // The interpreter, for the message and input boxes of the window.
    [[nodiscard]] TScriptInterpreter& Interpreter() noexcept { return *FScript; }
    [[nodiscard]] const TScriptRunState& State() const noexcept { return FState; }
    // The memory every run's values may hold together, in MiB (the settings' ScriptMemory);
    // missing or below 1: the interpreter's default.
    void SetMemoryBudget(std::optional<int> mebibytes);

    const std::string ScriptLanguage = "VBScript";
    const bool UseSafeSubset = false;

private:
    // Clears the error and stop state before a run.
    void BeginRun();
    // The busy cursor goes back once the run is over.
    void EndRun();
    // The failure of the last run as the memo shows it, with the source the log names.
    TScriptFailure Failure(std::string& source) const;
    void AddErrorLog(TScriptOutcome& out, bool sourceLine) const;

    TVtCalc& FCalc;
    TScriptDesk FDesk;
    TScriptRunState FState;
    std::unique_ptr<TScriptInterpreter> FScript;
    TRef<TEObj> FObject;
};

// Installs the host in the engine (both programs run script lines alike).
TpsvActiveScriptSite& InstallScriptHost(TVtCalc& calc, TScriptDesk desk);

}  // namespace rekna
