// TVtCalc: the engine component through which the program calculates.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calc_item.h"
#include "engine/calc_log.h"
#include "engine/compiler.h"
#include "engine/directives.h"
#include "engine/evaluator.h"
#include "engine/line_cache.h"
#include "engine/line_deps.h"
#include "engine/user_func.h"
#include "engine/vari_list.h"

namespace rekna {

// The error that ended a script run: the line within the executed text (0-based; outside the
// text when the failing line lies elsewhere) and the text the failing row shows.
struct TScriptFailure {
    bool Raised = false;
    int Line = 0;
    std::string Message;
};

// What a script run leaves for its memo line.
struct TScriptOutcome {
    bool Ok = false;
    std::string Data;
    std::string Answer;
    // A "#?" value read as a number: the line's result and the new Ans.
    std::optional<TCplx> Value;
    // The script's own log lines (asked for with the log on); they follow the log lines of the
    // calculations the script made.
    std::vector<std::string> Log;
    TScriptFailure Failure;
};

// What the script operations need from a script language; the program installs one. Lines
// count the memo's logical lines from 0.
class TScriptHost {
public:
    virtual ~TScriptHost() = default;
    virtual TScriptOutcome ExecuteBlock(std::string_view text, int firstLine, bool log) = 0;
    virtual TScriptOutcome EvaluateExpression(std::string_view text, int line, bool log) = 0;
    // Forgets the scripts' variables and procedures; refused while a script runs.
    virtual void ResetHost() = 0;
    // A script runs (and may be letting window events run).
    [[nodiscard]] virtual bool Running() const = 0;
};

class TVtCalc {
public:
    TVtCalc();
    TVtCalc(const TVtCalc&) = delete;
    TVtCalc& operator=(const TVtCalc&) = delete;
    ~TVtCalc();

    // --- Line calculation ---
    // Calculates one line: true when it produced a result. commit: assignments and statistics
    // data take effect; storeAns: Ans receives the result; keepData: Data holds the compiled
    // form instead of the raw text.
    bool CalcLine(std::string_view text, bool commit, bool storeAns, bool keepData);
    // CalcLine(text, true, true, true), the call of every sheet row. While nothing the line read
    // has changed since it was last calculated (variables, Ans, F, user functions, settings), its
    // result, log and assignments are replayed from the line cache instead of being worked out
    // again; they are the same either way. Compiled() is not kept on a replay.
    // A hint kept by the caller for where the text comes from makes a repeated lookup cheaper.
    bool CalcLineCached(std::string_view text, TLineHint* hint = nullptr);
    // What the last CalcLineCached left (Data, AnswerText, LastResult, the packed log when
    // LogEnable was on, and what the line read and wrote: engine/line_deps.h), as the block the
    // line cache shares when it keeps the result.
    [[nodiscard]] const TLineAnswerRef& CachedAnswer() const noexcept { return FLineAnswer; }
    // The dependencies of the script run that ended last (ExecuteBlock, EvaluateExpression):
    // what it wrote are the variables it changed (unless writes is off). It is calculated in
    // every run, unless it asked the user: then it reads the variables it read by name, the
    // scripts' shared state and, after a calculation or another line's answer, every name.
    [[nodiscard]] std::string ScriptDeps(bool writes = true) const;
    // The script that runs shows the user a box (the window's box hooks tell).
    void NoteScriptAsked() noexcept { FScriptAsked = true; }
    // The script that runs read another line's answer.
    void NoteScriptReadsAll() noexcept { FScriptReadsAll = true; }
    // Off: CalcLineCached always calculates.
    bool UseLineCache = true;
    [[nodiscard]] std::size_t LineCacheSize() const noexcept { return FLineCache.Size(); }
    [[nodiscard]] std::size_t LineCacheBytes() const noexcept { return FLineCache.Bytes(); }
    // The most bytes the line cache holds (see TLineCache::SetLimit).
    void SetLineCacheLimit(std::size_t bytes) { FLineCache.SetLimit(bytes); }
    bool Compile(std::string_view text, bool keepData);
    // Runs a compiled list, or the engine's own compiled line when list is null.
    bool RunCompiled(bool commit, bool storeAns, const TCalcList* list = nullptr);
    // Also marks the start of a sheet run for the line cache, which then lets go of results that
    // no run has used for long; a run that calculates only some rows leaves it be (agingCache off).
    void ResetDisplay(bool agingCache = true) noexcept;
    // Changes whenever the number settings, the expression switches or the display context
    // differ from the last time it was asked.
    [[nodiscard]] std::uint64_t ContextGeneration() noexcept {
        return FLineCache.Context(NumberSettings, Switches, FProps, FCopies);
    }
    // The memory clears so far.
    [[nodiscard]] std::uint64_t Clears() const noexcept { return FClears; }
    void ApplyDisplaySettings() noexcept;

    [[nodiscard]] const std::string& Data() const noexcept { return FData; }
    [[nodiscard]] const std::string& AnswerText() const noexcept { return FAnswerText; }
    [[nodiscard]] const TCplx& LastResult() const noexcept { return FLastResult; }
    [[nodiscard]] long double AnsRe() const noexcept { return FAnsRe; }
    [[nodiscard]] long double AnsIm() const noexcept { return FAnsIm; }
    [[nodiscard]] const TCompList& Compiled() const noexcept { return FCompiled; }
    [[nodiscard]] bool Busy() const noexcept { return FBusy; }

    // Stops the line being compiled or evaluated, and every later one, with ceMath until
    // ClearStopRequest: lines of more than TStopRequest::kPollInterval items poll the request
    // as they go, calling OnPoll first. Safe to call from another thread.
    void RequestStop() noexcept { FStop.Raise(); }
    void ClearStopRequest() noexcept { FStop.Clear(); }
    [[nodiscard]] bool StopRequested() const noexcept { return FStop.Raised(); }
    // Called at every poll of a long line: the host looks at its pending input here, and may
    // call RequestStop.
    void SetOnPoll(std::function<void()> onPoll) { FStop.OnPoll = std::move(onPoll); }

    // --- Variables and functions ---
    // Memory clear; does nothing while a line is being compiled or run.
    void Clear();
    int SetVar(std::string_view name, const TFrac& re, const TFrac& im, std::uint8_t flags,
               bool lowerCase);
    // -1 missing, 3 holds the error mark, otherwise the assigned bit.
    int GetVar(std::string_view name, TFrac& re, TFrac& im) const;
    bool SetAns(const TCplx& value, bool error);
    [[nodiscard]] int VarCount() const noexcept { return FVars.Count(); }
    // The item at a position of the listing (an index outside the table gives item 0).
    [[nodiscard]] TVarItem VarItem(int index) const;
    [[nodiscard]] std::string VarLine(int index) const;
    [[nodiscard]] std::string VarValueText(std::string_view name) const;
    [[nodiscard]] std::string ConstValueText(std::string_view name) const;
    [[nodiscard]] int FuncCount() const noexcept { return FFuncs.Count(); }
    [[nodiscard]] std::string FuncLine(int index) const;
    [[nodiscard]] std::string FuncLineByName(std::string_view name,
                                             std::string_view before = {}) const;
    TCplx CallByName(std::string_view name, long double re, long double im);
    // The name starting at the 1-based position, lower-cased.
    [[nodiscard]] std::string ReadName(std::string_view text, int start) const;

    [[nodiscard]] TVariList& Vars() noexcept { return FVars; }
    [[nodiscard]] const TVariList& Vars() const noexcept { return FVars; }
    [[nodiscard]] const TUserFuncList& Funcs() const noexcept { return FFuncs; }
    // The user functions as they stand can be put back (a sheet run that starts again).
    void SetFunctionsBase() { FFuncs.SetUndoBase(); }
    void FunctionsToBase() { FFuncs.UndoToBase(); }
    // Extra arguments of a user-function call by name: parameter k > 0 takes ScriptArgs[k-1].
    std::vector<TCplx> ScriptArgs;

    // --- Calculation log ---
    [[nodiscard]] std::string LogText() const { return FLog.Text(); }
    [[nodiscard]] const std::string& LogStoredText() const { return FLog.StoredText(); }
    // The log as answer rows keep it (log_pack.h).
    [[nodiscard]] const std::string& LogPackedText() const { return FLog.PackedText(); }
    [[nodiscard]] const TCalcLog& Log() const noexcept { return FLog; }

    // --- Memo formulas for the graph window ---
    [[nodiscard]] std::vector<TCalcList>& MemoFormulas() noexcept { return FMemoFormulas; }
    void RunMemoFormulas();
    void ReduceMemoFormulas(std::string_view xName, bool optimise);
    [[nodiscard]] std::string RenderCompiled(const TCalcList& list) const;
    [[nodiscard]] std::string RenderMemoFormulas() const;

    // --- Script operations; without an installed host there is no script language ---
    // Data, the answer, the result and the log become the script's; a "#?" value that reads as
    // a number becomes the result and Ans. False when scripting is off, the text is empty or
    // the script failed.
    bool ExecuteBlock(std::string_view text, int firstLine);
    bool EvaluateExpression(std::string_view text, int line);
    void ResetHost();
    void SetScriptHost(std::unique_ptr<TScriptHost> host);
    [[nodiscard]] bool HasScriptHost() const noexcept { return FScriptHost != nullptr; }
    [[nodiscard]] bool ScriptRunning() const { return FScriptHost && FScriptHost->Running(); }
    // The error of the last script execution.
    [[nodiscard]] const TScriptFailure& LastScriptError() const noexcept { return FScriptFailure; }

    // --- Properties ---
    [[nodiscard]] TCplxFormat CplxFormat() const noexcept { return FProps.CplxFormat; }
    void SetCplxFormat(TCplxFormat v) noexcept;
    [[nodiscard]] TAnsFormat AnsFormat() const noexcept { return FProps.AnsFormat; }
    void SetAnsFormat(TAnsFormat v) noexcept;
    [[nodiscard]] TAnsFormat60 AnsFormat60() const noexcept { return FProps.AnsFormat60; }
    void SetAnsFormat60(TAnsFormat60 v) noexcept;
    [[nodiscard]] char ImagChar() const noexcept { return FProps.ImagChar; }
    void SetImagChar(char v) noexcept;
    [[nodiscard]] TAngleUnit AngleUnit() const noexcept { return NumberSettings.AngleUnit; }
    void SetAngleUnit(TAngleUnit v) noexcept { NumberSettings.AngleUnit = v; }
    [[nodiscard]] TdBUnit DbUnit() const noexcept { return NumberSettings.DbUnit; }
    void SetDbUnit(TdBUnit v) noexcept { NumberSettings.DbUnit = v; }
    [[nodiscard]] TTimUnit TimUnit() const noexcept { return NumberSettings.TimUnit; }
    void SetTimUnit(TTimUnit v) noexcept { NumberSettings.TimUnit = v; }
    [[nodiscard]] int AnsLength() const noexcept { return NumberSettings.AnsLength; }
    void SetAnsLength(int v) noexcept;
    [[nodiscard]] char AnsColChar() const noexcept { return NumberSettings.AnsColChar; }
    void SetAnsColChar(char v) noexcept { NumberSettings.AnsColChar = v; }
    [[nodiscard]] int AnsColNon() const noexcept { return NumberSettings.AnsColNon; }
    void SetAnsColNon(int v) noexcept;
    [[nodiscard]] int AnsColFix() const noexcept { return NumberSettings.AnsColFix; }
    void SetAnsColFix(int v) noexcept;
    [[nodiscard]] int AnsColExp() const noexcept { return NumberSettings.AnsColExp; }
    void SetAnsColExp(int v) noexcept;
    [[nodiscard]] int AnsColN2() const noexcept { return NumberSettings.AnsColN2; }
    void SetAnsColN2(int v) noexcept;
    [[nodiscard]] int AnsColN16() const noexcept { return NumberSettings.AnsColN16; }
    void SetAnsColN16(int v) noexcept;
    [[nodiscard]] int AnsExpMax() const noexcept { return NumberSettings.AnsExpMax; }
    void SetAnsExpMax(int v) noexcept { NumberSettings.AnsExpMax = v; }
    [[nodiscard]] int AnsExpMin() const noexcept { return NumberSettings.AnsExpMin; }
    void SetAnsExpMin(int v) noexcept { NumberSettings.AnsExpMin = v; }
    [[nodiscard]] int AnsFixMax() const noexcept { return NumberSettings.AnsFixMax; }
    void SetAnsFixMax(int v) noexcept { NumberSettings.AnsFixMax = v; }
    [[nodiscard]] int AnsFixMin() const noexcept { return NumberSettings.AnsFixMin; }
    void SetAnsFixMin(int v) noexcept { NumberSettings.AnsFixMin = v; }
    [[nodiscard]] bool AnsHide0() const noexcept { return NumberSettings.AnsHide0; }
    void SetAnsHide0(bool v) noexcept { NumberSettings.AnsHide0 = v; }
    [[nodiscard]] bool AnsEng0() const noexcept { return NumberSettings.AnsEng0; }
    void SetAnsEng0(bool v) noexcept { NumberSettings.AnsEng0 = v; }
    [[nodiscard]] bool AnsEng1() const noexcept { return NumberSettings.AnsEng1; }
    void SetAnsEng1(bool v) noexcept { NumberSettings.AnsEng1 = v; }
    [[nodiscard]] bool Fractional() const noexcept { return NumberSettings.Fractional; }
    void SetFractional(bool v) noexcept { NumberSettings.Fractional = v; }
    [[nodiscard]] bool RoundFuzz() const noexcept { return NumberSettings.RoundFuzz; }
    void SetRoundFuzz(bool v) noexcept { NumberSettings.RoundFuzz = v; }
    [[nodiscard]] const std::string& UsrFormat() const noexcept { return NumberSettings.UsrFormat; }
    // Keeps only the characters a format string may hold; an empty result keeps the old value.
    void SetUsrFormat(std::string_view v);
    [[nodiscard]] bool ScriptEnabled() const noexcept { return FScriptEnabled; }
    void SetScriptEnabled(bool v);
    bool LogEnable = false;

    // The expression switches of the compiler.
    TCompileSwitches Switches;

    // Events.
    std::function<void(TVtCalc& sender, const std::string& funcName)> OnAddUserFunc;
    std::function<void(TVtCalc& sender)> OnClear;

private:
    void AddLogStep(const std::string& step);
    [[nodiscard]] TRenderScope Scope() const noexcept { return TRenderScope{FVars, FFuncs}; }
    void RegisterBuiltins();
    bool DefineFunction(const TCalcList& line);
    // Takes the texts out of r.
    void ReplayLine(TLineResult& r);
    // Clears what a script run leaves; false when no script can run the text.
    bool BeginScriptRun(std::string_view text);
    bool TakeScriptOutcome(TScriptOutcome outcome);
    void RecordLine(std::string_view text, bool ok, std::uint64_t context, std::uint64_t varShape,
                    std::uint64_t funcShape);

    TVariList FVars;
    TUserFuncList FFuncs;
    TCompiler FCompiler{FVars, FFuncs};
    TEvaluator FEvaluator{FVars, FFuncs};
    TCompList FCompiled;
    TCalcLog FLog;
    std::vector<TCalcList> FMemoFormulas;
    std::unique_ptr<TScriptHost> FScriptHost;
    TScriptFailure FScriptFailure;
    TLineCache FLineCache;
    TStopRequest FStop;
    TEvalTrace FTrace;
    TLineResult* FRecording = nullptr;
    TLineAnswerRef FLineAnswer;  // see CachedAnswer
    TLineDeps FDeps;             // scratch of CalcLineCached
    int FLastDefined = -1;       // the user function the last definition line defined

    TDisplayProps FProps;   // the property values
    TDisplayProps FCopies;  // the component's own copies, restored after every line
    std::string FData;
    std::string FAnswerText;
    TCplx FLastResult = TCplx::Blank();
    long double FAnsRe = 0, FAnsIm = 0;
    bool FBusy = false;
    bool FRefused = false;  // the last Compile refused its line: too many items, or stopped
    bool FScriptEnabled = false;
    // What the script run under way (or the last one) read, for ScriptDeps.
    bool FInScript = false;
    bool FScriptAsked = false;
    bool FScriptReadsAll = false;
    mutable std::vector<TDepKey> FScriptReads;
    std::uint64_t FClears = 0;
};

}  // namespace rekna
