// TpsvActiveScriptSite: the host of script lines around the interpreter.
#include "script/host/script_site.h"

#include <exception>

#include "platform/cp932.h"
#include "script/host/script_number.h"
#include "script/host/script_rewrite.h"
#include "script/runtime/script_interpreter.h"

namespace rekna {
namespace {

// Line breaks of a value become CR LF.
[[nodiscard]] std::string CrLfBreaks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' || s[i] == '\n') {
            out += "\r\n";
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

void AddLines(std::vector<std::string>& log, std::string_view text) {
    for (std::size_t pos = 0;;) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        log.emplace_back(text.substr(pos, end - pos));
        if (end == text.size()) return;
        pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
}

}  // namespace

TpsvActiveScriptSite::TpsvActiveScriptSite(TVtCalc& calc, TScriptDesk desk)
    : FCalc(calc), FDesk(std::move(desk)), FScript(std::make_unique<TScriptInterpreter>()) {
    FObject = MakeRef<TEObj>(FCalc, FDesk, FState);
    FScript->AddObject("Rekna", TRef<TScriptObject>(FObject));
    // Loops the rewriting cannot reach (a procedure's own loop opened after another statement)
    // still see Esc.
    FScript->PollInterval = 1024;
    FScript->OnPoll = [this] {
        if (FObject->PollEsc()) FScript->RequestStop();
    };
}

TpsvActiveScriptSite::~TpsvActiveScriptSite() = default;

bool TpsvActiveScriptSite::Running() const {
    return FScript->Running();
}

void TpsvActiveScriptSite::ResetHost() {
    FScript->Reset();
}

void TpsvActiveScriptSite::SetMemoryBudget(std::optional<int> mebibytes) {
    FScript->Limits.MaxMemoryBytes = mebibytes && *mebibytes > 0
                                         ? static_cast<std::size_t>(*mebibytes) << 20
                                         : kDefaultScriptMemory;
}

void TpsvActiveScriptSite::BeginRun() {
    const std::string clipboard = std::move(FState.OwnClipboard);
    FState = TScriptRunState();
    FState.OwnClipboard = clipboard;
    if (FDesk.BeginRun) FDesk.BeginRun();
}

void TpsvActiveScriptSite::EndRun() {
    if (FState.BusyCursor && FDesk.SetBusyCursor) FDesk.SetBusyCursor(false);
    FState.BusyCursor = false;
}

TScriptFailure TpsvActiveScriptSite::Failure(std::string& source) const {
    const TScriptError& e = FScript->LastError();
    TScriptFailure f;
    f.Raised = e.Failed();
    // A failing line of a procedure read by an earlier run lies outside this text.
    f.Line = e.EarlierText ? -1 : e.Line;
    if (FState.StoppedByEsc || FState.Quit) {
        f.Message = FState.Quit ? "Quit" : "EscStop";
        source = std::to_string(FState.EscStopCount);
    } else {
        f.Message = e.Description.empty() ? ScriptErrorText(e.Number) : e.Description;
        source = e.SourceLine;
    }
    return f;
}

void TpsvActiveScriptSite::AddErrorLog(TScriptOutcome& out, bool sourceLine) const {
    std::string source;
    const TScriptFailure f = Failure(source);
    const TScriptError& e = FScript->LastError();
    out.Log.push_back("#ErrLineNo = " + std::to_string(e.Line));
    out.Log.push_back("#ErrCharNo = " + std::to_string(e.Column));
    out.Log.push_back((sourceLine ? "#ErrSourceLine = " : "#ErrSource = ") + source);
    out.Log.push_back("#ErrDescription= " + f.Message);
}

TScriptOutcome TpsvActiveScriptSite::ExecuteBlock(std::string_view text, int firstLine, bool log) {
    TScriptOutcome out;
    BeginRun();
    const std::string script = RewriteScriptBlock(text, firstLine + 1);
    bool failed = false;
    try {
        failed = !FScript->Execute(script);
        out.Answer = failed ? "#Error" : "#OK";
    } catch (const std::exception& e) {
        out.Answer = "[" + std::string(e.what()) + "]";
        failed = true;
    }
    EndRun();
    out.Data = "[VBScript]";
    std::string source;
    if (failed && FScript->LastError().Failed()) out.Failure = Failure(source);
    out.Ok = !failed;
    if (log) {
        out.Log.emplace_back("[VBScript]");
        AddLines(out.Log, script);
        out.Log.push_back(out.Answer);
        if (out.Failure.Raised) AddErrorLog(out, false);
    }
    return out;
}

TScriptOutcome TpsvActiveScriptSite::EvaluateExpression(std::string_view text, int line, bool log) {
    TScriptOutcome out;
    BeginRun();
    const std::string script = RewriteScriptLine(text, line + 1, false);
    bool failed = false;
    try {
        TVariant value;
        failed = !FScript->Evaluate(script, value);
        if (!failed) out.Answer = ScriptAnswerText(value);
    } catch (const std::exception& e) {
        out.Answer = "[" + std::string(e.what()) + "]";
        failed = true;
    }
    EndRun();
    std::string source;
    if (failed && FScript->LastError().Failed()) {
        out.Failure = Failure(source);
        out.Answer = "[" + out.Failure.Message + "]";
    } else if (!failed) {
        out.Answer = CrLfBreaks(out.Answer);
        if (!out.Answer.empty()) out.Value = ReadScriptNumber(out.Answer);
    }
    out.Data = "[VBScript] " + std::string(text);
    out.Ok = !failed;
    if (log) {
        out.Log.emplace_back("[VBScript]");
        AddLines(out.Log, script);
        AddLines(out.Log, out.Answer);
        if (out.Failure.Raised) AddErrorLog(out, true);
    }
    return out;
}

TpsvActiveScriptSite& InstallScriptHost(TVtCalc& calc, TScriptDesk desk) {
    auto site = std::make_unique<TpsvActiveScriptSite>(calc, std::move(desk));
    TpsvActiveScriptSite& ref = *site;
    calc.SetScriptHost(std::move(site));
    return ref;
}

}  // namespace rekna
