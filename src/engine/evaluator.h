// TEvaluator: runs a compiled line by operator precedence on two stacks.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/calc_stak.h"
#include "engine/functions.h"
#include "engine/stop_request.h"

namespace rekna {

class TVariList;
class TUserFuncList;

// What one evaluation read, recorded for the line cache while a trace is installed (what it
// wrote the variable table notes itself).
struct TEvalTrace {
    struct TInput {
        int Id = -1;
        bool Error = false;  // the variable held the error mark
        TCplx Value;
    };
    struct TLookup {
        std::string Name;  // lower-case
        int Id = -1;
    };
    std::vector<TInput> Inputs;    // the state of every variable when the line first touched it
    std::vector<TLookup> Lookups;  // names looked up while running
    std::vector<int> Calls;        // the user functions called, by number
    // A function or constant was applied whose result does not follow from its argument and
    // the variables alone (random numbers, the clock, the statistics accumulator).
    bool Impure = false;

    void Clear() noexcept;
    // Records the variable's state unless it was recorded before.
    void Touch(int id, const TVariList& vars);

private:
    std::vector<std::uint32_t> FTouched;  // by id: the generation that recorded it
    std::uint32_t FGeneration = 1;
};

// Copies the statistics accumulator into the statistics variables (count, sum, ave, ...).
void StoreStatistics(TVariList& vars);

class TEvaluator {
public:
    TEvaluator(TVariList& vars, TUserFuncList& funcs) : FVars(vars), FFuncs(funcs) {}

    // Evaluates a compiled list; true when it ran without error and left exactly one value.
    // With commit off assignments store nothing. Clears the error state first.
    bool Evaluate(const TCalcList& list, bool commit);

    // The value left by a successful evaluation.
    [[nodiscard]] TCplx Result() const;

    [[nodiscard]] TFuncEnv& Env() noexcept { return FEnv; }
    [[nodiscard]] const TFuncEnv& Env() const noexcept { return FEnv; }

    // Called with the mask of every control item the evaluation meets (the line's own and
    // those of user-function bodies).
    std::function<void(TControlMask)> OnDirectives;
    // Called after every evaluation step while Logging is on.
    std::function<void()> OnStep;
    bool Logging = false;
    // When set, the evaluation records its reads and writes here (not owned).
    TEvalTrace* Trace = nullptr;

    // When set, the evaluation polls it every TStopRequest::kPollInterval items and stops with
    // ceMath once it is raised (not owned).
    TStopRequest* Stop = nullptr;

    // The state that a log step renders.
    [[nodiscard]] const TCalcStak& Operators() const noexcept { return FOps; }
    [[nodiscard]] const TCalcStak& Values() const noexcept { return FVals; }
    // The collected arguments of the pending call, k counted in call order.
    [[nodiscard]] std::size_t ArgumentCount() const noexcept { return FArgs.size(); }
    [[nodiscard]] const TCplx& Argument(std::size_t k) const noexcept {
        return FArgs[FArgs.size() - 1 - k];
    }
    [[nodiscard]] const TCalcItem& LineControl() const noexcept { return FControl; }
    // The variable that a name waiting on the value stack has become through an assignment
    // earlier in this evaluation, or -1.
    [[nodiscard]] int CreatedVariable(const TCalcItem& entry) const;
    // Calls visit for every item not read yet, innermost body first, as the items would stand
    // in the expanded line (parameters already replaced by their values), until visit returns
    // false.
    template <typename TVisit> void ForEachRemaining(TVisit&& visit) const {
        if (FCurrent && !visit(*FCurrent)) return;
        for (std::size_t fi = FFrames.size(); fi-- > 0;) {
            const TFrame& f = FFrames[fi];
            for (std::size_t i = f.Pos; i < f.List->size(); ++i) {
                const TCalcItem& item = (*f.List)[i];
                const bool more = f.Substitutes && item.Kind == TItemKind::mArg
                                      ? visit(SubstitutedArgument(f, item))
                                      : visit(item);
                if (!more) return;
            }
        }
    }
    // Whether the last evaluation was stopped by the stop request.
    [[nodiscard]] bool Stopped() const noexcept { return FStopped; }
    // True while the operator stack holds nothing but ", " down to a user function's "(".
    [[nodiscard]] bool InPendingCall() const noexcept;

    void ClearStacks() noexcept;

    // An evaluation stops with ceMath after reading this many items (user functions expanding
    // exponentially); the compiler refuses a line of more items in the same way.
    static constexpr std::size_t kMaxItems = kMaxLineItems;

private:
    struct TFrame {
        const TCalcList* List = nullptr;
        std::size_t Pos = 0;
        std::vector<TCplx> Args;  // the collected arguments of the call, in call order
        TCplx Last;               // the last argument
        bool Substitutes = false;
    };

    // The next item to evaluate, parameters substituted; null at the end.
    const TCalcItem* Fetch();
    void Process(const TCalcItem& item);
    void Reduce();
    void ResolveOperands();
    void Resolve(TCalcItem& entry);
    TCplx ResolveTop();
    TCplx PopResolved();
    void Store(TCalcItem& target, const TCplx& value);
    void CallUser();
    void Step() {
        if (Logging && OnStep) OnStep();
    }
    void CheckFp() noexcept;
    [[nodiscard]] static TCalcItem SubstitutedArgument(const TFrame& f, const TCalcItem& arg);

    TVariList& FVars;
    TUserFuncList& FFuncs;
    TFuncEnv FEnv;
    TCalcStak FOps;
    TCalcStak FVals;
    std::vector<TCplx> FArgs;  // last argument first: commas reduce from the right
    std::vector<TFrame> FFrames;
    TCalcItem FControl;
    bool FCommit = false;
    std::size_t FTopSize = 0;
    std::size_t FRead = 0;
    const TCalcItem* FCurrent = nullptr;  // the item being processed, for the log
    TCalcItem FFetched;                   // an item changed on its way from a list
    std::uint64_t FVarShape = 0;
    int FVarsAtStart = 0;  // ids from here on were created by this evaluation
    bool FStopped = false;
};

}  // namespace rekna
