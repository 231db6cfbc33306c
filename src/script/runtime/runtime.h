// The interpreter's state and its evaluation of program trees (internal to the library).
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "script/runtime/raise.h"
#include "script/runtime/script_interpreter.h"
#include "script/syntax/ast.h"

namespace rekna {

// What a statement asks of the statements around it.
enum class TFlow : std::uint8_t { flNormal, flExitFor, flExitDo, flExitProc };

// One procedure call: its locals (a ByRef parameter points at the caller's variable) and its
// error mode. Locals live in a deque so that implicit locals added later do not move them.
struct TFrame {
    TProc* Proc = nullptr;
    const TProgram* Program = nullptr;
    std::deque<TVariant> Values;
    std::vector<TVariant*> Refs;
    bool ResumeNext = false;
};

class TRuntime {
public:
    explicit TRuntime(TScriptInterpreter& owner);

    // ---- entry points (script_interpreter.cpp)
    bool Execute(std::string_view text);
    bool Evaluate(std::string_view text, TVariant& result);
    void Reset();

    TScriptInterpreter& Owner;
    TScriptError LastError;
    std::atomic<bool> StopRequested{false};
    bool Running = false;
    std::unordered_map<std::string, std::shared_ptr<TScriptObject>> Objects;
    // Rnd's generator state and its last result.
    std::uint32_t RndSeed = 0x50000;
    double RndLast = 0;

    // ---- helpers for the built-in functions
    void CheckText(std::size_t bytes) const;
    void CheckItems(double count) const;
    [[nodiscard]] TVariant Global(std::string_view name) const;

    // ---- the Err object's state
    int ErrNumber = 0;
    std::string ErrDescription;
    std::string ErrSource;
    // The source that Err.Raise named, for the error it is raising.
    std::string RaisedSource;
    void ClearErr();
    void SetErr(const TScriptRaise& r);

    // ---- evaluation (runtime_eval.cpp)
    TVariant Eval(const TExpr& e);
    TVariant EvalName(const TExpr& e, bool asOwner);
    TVariant EvalMember(const TExpr& e, std::uint8_t flags);
    TVariant* FindVariable(const TExpr& e);
    TVariant& LocalSlot(int index);
    bool OptionExplicit() const;
    TVariant* FindVariableByName(const std::string& name);
    TVariant& VariableForWrite(const TExpr& e);
    TVariant& VariableForWriteByName(const std::string& name, const TExpr* cacheNode);
    bool IsConstant(const TExpr& e) const;
    // No variable, procedure, object, built-in function or constant has this name.
    bool IsUnknownName(const std::string& name) const;
    std::vector<std::int32_t> EvalIndexes(const std::vector<TExprPtr>& indexes);
    TVariant& Element(TVariant& array, const std::vector<std::int32_t>& indexes);
    TVariant ElementValue(const TVariant& array, const std::vector<TExprPtr>& indexes);
    TVariant CallProc(TProc& proc, const std::vector<TExprPtr>& args);
    TVariant CallName(const TExpr& e, bool statement);
    std::vector<TVariant> EvalArgs(const std::vector<TExprPtr>& args);
    void Invoke(TScriptObject& obj, const std::string& member, std::uint8_t flags,
                std::vector<TVariant>& args, TVariant& result);
    std::shared_ptr<TScriptObject> ObjectOf(const TVariant& v);

    // ---- statements (runtime_exec.cpp)
    TFlow ExecBlock(const TBlock& block);
    TFlow Exec(const TStmt& s);
    void Assign(const TExpr& target, TVariant value, bool isSet);
    void ExecDim(const TStmt& s);
    void ExecReDim(const TStmt& s);
    void ExecErase(const TStmt& s);
    TFlow ExecFor(const TStmt& s);
    TFlow ExecForEach(const TStmt& s);
    TFlow ExecDo(const TStmt& s);
    TFlow ExecSelect(const TStmt& s);
    [[nodiscard]] std::shared_ptr<TScriptArray> NewArray(const std::vector<std::int32_t>& upper,
                                                         bool fixed);

    // Polled on every loop pass and procedure call.
    void Poll() {
        if (StopRequested.load(std::memory_order_relaxed) || ++FPollCount >= FPollEvery) {
            PollSlow();
        }
    }

private:
    void PollSlow();
    void Fail(const TScriptRaise& r);
    void FailCompile(int number, int line, int column, const std::vector<std::string>& lines);
    void Begin();
    void RegisterProgram(std::unique_ptr<TProgram> program);
    int AddGlobal(const std::string& name);

    std::deque<TVariant> FGlobals;
    std::vector<bool> FGlobalConst;
    std::unordered_map<std::string, int> FGlobalIndex;
    std::unordered_map<std::string, TProc*> FProcs;
    std::vector<std::unique_ptr<TProgram>> FPrograms;  // those whose procedures are in use
    std::shared_ptr<TScriptObject> FErr;
    TFrame* FFrame = nullptr;
    const TProgram* FRunProgram = nullptr;  // the text of the current run
    int FDepth = 0;
    std::uintptr_t FStackBase = 0;
    unsigned FPollCount = 0;
    unsigned FPollEvery = 4096;
};

}  // namespace rekna
