// Evaluation of a compiled line: operator precedence on two stacks, user functions expanded in
// place, the tiny-error cut after every step.
#include "engine/evaluator.h"

#include <algorithm>
#include <cmath>

#include "engine/operators.h"
#include "engine/statistics.h"
#include "engine/user_func.h"
#include "engine/vari_list.h"
#include "numbers/calc_error.h"

namespace rekna {

namespace {

bool IsLiteralError(int tag) noexcept {
    return tag == static_cast<int>(TCalcErr::ceConversion) ||
           tag == static_cast<int>(TCalcErr::ceInputRange) ||
           tag == static_cast<int>(TCalcErr::ceIntInput);
}

// Functions and constants whose results depend on more than their argument and the variables.
bool IsImpure(const TCalcItem& op) noexcept {
    static const auto table = [] {
        struct TTable {
            std::vector<bool> Functions, Constants;
        } t;
        t.Functions.assign(kFunctionCount, false);
        t.Constants.assign(kConstantCount, false);
        for (const char* name :
             {"rand", "time", "data", "end", "dist", "distp", "sdist", "sdistp"}) {
            const int i = FindFunction(name);
            if (i >= 0) t.Functions[static_cast<std::size_t>(i)] = true;
        }
        for (const char* name :
             {"ave", "count", "max", "maxa", "min", "mina", "std", "stdp", "sum", "var", "varp"}) {
            const int i = FindConstant(name);
            if (i >= 0) t.Constants[static_cast<std::size_t>(i)] = true;
        }
        return t;
    }();
    const auto code = static_cast<std::size_t>(op.Code);
    if (op.Kind == TItemKind::mFun) return code >= table.Functions.size() || table.Functions[code];
    return code >= table.Constants.size() || table.Constants[code];
}

}  // namespace

void TEvalTrace::Clear() noexcept {
    Inputs.clear();
    Lookups.clear();
    Calls.clear();
    Impure = false;
    // Inputs may have been moved away: the marks of this trace are told apart by generation.
    if (++FGeneration == 0) {
        std::fill(FTouched.begin(), FTouched.end(), 0U);
        FGeneration = 1;
    }
}

void TEvalTrace::Touch(int id, const TVariList& vars) {
    if (id < 0) return;
    const auto index = static_cast<std::size_t>(id);
    if (index >= FTouched.size())
        FTouched.resize(std::max<std::size_t>(index + 1, 2 * FTouched.size()));
    if (FTouched[index] == FGeneration) return;
    FTouched[index] = FGeneration;
    const TVarItem& item = vars.Item(id);
    Inputs.push_back({id, (item.Flags & vfError) != 0, item.Value});
}

void StoreStatistics(TVariList& vars) {
    const TStatistics& s = Statistics;
    const auto set = [&vars](const char* name, const TCplx& v) {
        const int id = vars.Find(name);
        if (id >= 0) {
            vars.SetById(id, v, false);
        } else {
            vars.Set(name, v, 0);
        }
    };
    set("count", TCplx(s.Count));
    set("sum", TCplx(s.SumRe, s.SumIm));
    set("ave", s.Ave);
    set("var", TCplx(s.Var));
    set("varp", TCplx(s.VarP));
    set("std", TCplx(s.Std));
    set("stdp", TCplx(s.StdP));
    set("max", s.Max);
    set("min", s.Min);
    set("maxa", s.MaxA);
    set("mina", s.MinA);
}

void TEvaluator::ClearStacks() noexcept {
    FOps.Clear();
    FVals.Clear();
    FArgs.clear();
    FFrames.clear();
}

bool TEvaluator::Evaluate(const TCalcList& list, bool commit) {
    CalcErr = TCalcErr::ceNone;
    ClearFpErrors();
    FCommit = commit;
    const int fId = FVars.FId();
    FEnv.FreqAbs = fId >= 0 ? CplxAbs(FVars.ValueOf(fId)) : 0.0L;
    ClearStacks();
    if (list.empty()) {
        SetCalcErr(TCalcErr::ceSyntax);
        return false;
    }
    FControl = list[0];
    FOps.Push(list[0]);
    FTopSize = list.size();
    FRead = 0;
    FCurrent = nullptr;
    FVarShape = FVars.Shape();
    FVarsAtStart = FVars.Count();
    FStopped = false;
    FFrames.push_back(TFrame{&list, 1, {}, TCplx(), false});

    while (!CalcFailed()) {
        const TCalcItem* item = Fetch();
        if (!item) break;
        Process(*item);
    }
    while (!CalcFailed() && FOps.Count() > 1)
        Reduce();
    CheckFp();
    if (CalcFailed()) {
        if (!FVals.Empty()) FVals.Top().Text = CalcErrAnswer(CalcErr);
        return false;
    }
    return FVals.Count() == 1;
}

TCplx TEvaluator::Result() const {
    return FVals.Empty() ? TCplx() : FVals.Top().Value;
}

const TCalcItem* TEvaluator::Fetch() {
    while (!FFrames.empty()) {
        TFrame& frame = FFrames.back();
        if (frame.Pos >= frame.List->size()) {
            FFrames.pop_back();
            continue;
        }
        if (++FRead % TStopRequest::kPollInterval == 0 && Stop && Stop->Poll()) FStopped = true;
        if (FStopped || FRead > kMaxItems) {
            SetCalcErr(TCalcErr::ceMath);
            return nullptr;
        }
        const TCalcItem& source = (*frame.List)[frame.Pos++];
        if (frame.Substitutes) {
            if (source.Kind == TItemKind::mArg) {
                const auto k = static_cast<std::size_t>(source.Index);
                const TCplx v = k < frame.Args.size()    ? frame.Args[k]
                                : k == frame.Args.size() ? frame.Last
                                                         : TCplx();
                FFetched = MakeValue(v);
                return &FFetched;
            }
            if (source.Kind == TItemKind::mVar && source.Index < 0) {
                FFetched = source;
                std::string name = LowerName(source.Text);
                FFetched.Index = FVars.Find(name);
                if (Trace) Trace->Lookups.push_back({std::move(name), FFetched.Index});
                return &FFetched;
            }
        }
        // A name created by an assignment earlier in the line is that variable from now on.
        if (source.Kind == TItemKind::mStr && FVars.Shape() != FVarShape) {
            const int id = FVars.Find(LowerName(source.Text));
            if (id >= 0) {
                FFetched = source;
                FFetched.Kind = TItemKind::mVar;
                FFetched.Index = id;
                return &FFetched;
            }
        }
        return &source;
    }
    return nullptr;
}

void TEvaluator::Process(const TCalcItem& item) {
    switch (item.Kind) {
    case TItemKind::mVal:
    case TItemKind::mArg:
        if (IsLiteralError(item.Tag)) {
            SetCalcErr(static_cast<TCalcErr>(item.Tag));
        } else {
            FVals.Push(item);
        }
        return;
    case TItemKind::mVar:
    case TItemKind::mStr: {
        const bool alone = FTopSize == 2 && FFrames.size() == 1;
        if (alone && item.Kind == TItemKind::mStr) {
            SetCalcErr(TCalcErr::ceUndefinedVar);
            return;
        }
        FVals.Push(item);
        if (alone) Resolve(FVals.Top());
        return;
    }
    case TItemKind::mCnt:
        if (OnDirectives) OnDirectives(item.Mask);
        return;
    default: break;
    }
    const int g = RightPrecedence(item);
    FCurrent = &item;
    while (!CalcFailed() && FOps.Count() >= 2 && LeftPrecedence(FOps.Top()) > g)
        Reduce();
    FCurrent = nullptr;
    if (CalcFailed()) return;
    if (item.Is(TItemKind::mCen) && FOps.Top().Is(TItemKind::mCbe)) {
        FCurrent = &item;
        ResolveTop();
        FCurrent = nullptr;
        FOps.Drop();
        if (FOps.Top().Is(TItemKind::mUsr) && FOps.Count() >= 2) {
            Step();
            CallUser();
            return;
        }
    } else {
        // An operator remembers how many values stood before it, for the log; a ", " the
        // position of the first entry below it that is no ", ", for InPendingCall.
        const std::size_t below = FOps.Count() - 1;
        const int base =
            FOps.Top().IsOperator(opComma) ? FOps.Top().Index : static_cast<int>(below);
        FOps.Push(item);
        FOps.Top().Tag = static_cast<int>(FVals.Count());
        if (item.IsOperator(opComma)) FOps.Top().Index = base;
    }
    Step();
}

int TEvaluator::CreatedVariable(const TCalcItem& entry) const {
    if (FVars.Count() <= FVarsAtStart) return -1;
    if (entry.Kind != TItemKind::mStr && !(entry.Kind == TItemKind::mVar && entry.Index < 0))
        return -1;
    const int id = FVars.Find(LowerName(entry.Text));
    return id >= FVarsAtStart ? id : -1;
}

void TEvaluator::Resolve(TCalcItem& entry) {
    if (entry.Kind == TItemKind::mVal) return;
    if (entry.Kind == TItemKind::mStr) {
        // A name that an assignment of this line created is that variable.
        const int created = CreatedVariable(entry);
        if (created >= 0) {
            entry.Kind = TItemKind::mVar;
            entry.Index = created;
        }
    }
    TCplx value;
    if (entry.Kind == TItemKind::mVar) {
        int id = entry.Index;
        if (id < 0) {
            std::string name = LowerName(entry.Text);
            id = FVars.Find(name);
            if (Trace) Trace->Lookups.push_back({std::move(name), id});
        }
        if (id >= 0 && id < FVars.Count()) {
            if (Trace) Trace->Touch(id, FVars);
            if (FVars.Item(id).Flags & vfError) {
                SetCalcErr(TCalcErr::ceErrorVar);
                entry.Kind = TItemKind::mVal;
                entry.Value = TCplx();
                entry.Text = CalcErrAnswer(TCalcErr::ceErrorVar);
                return;
            }
            value = FVars.ValueOf(id);
        }
    }
    entry.Kind = TItemKind::mVal;
    entry.Value = value;
    entry.Text.clear();
    entry.Tag = 0;
    Step();
}

TCplx TEvaluator::ResolveTop() {
    if (FVals.Empty()) return TCplx();
    Resolve(FVals.Top());
    return FVals.Top().Value;
}

TCplx TEvaluator::PopResolved() {
    const TCplx v = ResolveTop();
    FVals.Drop();
    return v;
}

void TEvaluator::Store(TCalcItem& target, const TCplx& value) {
    if (!FCommit) return;
    // No assignment happens after a failing step.
    CheckFp();
    if (CalcFailed()) return;
    int id = -1;
    if (target.Kind == TItemKind::mVar) {
        id = target.Index;
        if (id < 0) {
            std::string name = LowerName(target.Text);
            id = FVars.Find(name);
            if (Trace) Trace->Lookups.push_back({std::move(name), id});
        }
    } else if (target.Kind == TItemKind::mStr) {
        id = CreatedVariable(target);
    }
    // Other names waiting on the stack become the new variable when they are resolved or shown
    // (CreatedVariable).
    if (id < 0 && (target.Kind == TItemKind::mVar || target.Kind == TItemKind::mStr)) {
        const std::string name = LowerName(target.Text);
        if (name.empty()) return;
        id = FVars.Set(name, TCplx(), 0);
    }
    if (id < 0) return;
    if (Trace) Trace->Touch(id, FVars);
    if (FVars.Assign(id, value) && id == FVars.FId()) FEnv.FreqAbs = CplxAbs(FVars.ValueOf(id));
}

void TEvaluator::ResolveOperands() {
    const TCalcItem& op = FOps.Top();
    const std::size_t n = FVals.Count();
    bool left = false, right = false;
    if (op.Kind == TItemKind::mCon || op.Kind == TItemKind::mFun) {
        right = true;
    } else if (op.Kind == TItemKind::mOpr) {
        if (IsUnaryMinus(op.Code) || op.Code == opAssign) {
            right = true;
        } else if (op.Code == opRevAssign) {
            left = true;
        } else {
            left = right = true;
        }
    }
    // Operands are resolved in place while the operator still stands, so that every log
    // step shows a whole expression.
    if (left && n >= 2) Resolve(FVals.At(n - 2));
    if (right && n >= 1 && !CalcFailed()) Resolve(FVals.At(n - 1));
}

void TEvaluator::Reduce() {
    ResolveOperands();
    if (CalcFailed()) return;
    const TCalcItem op = FOps.Pop();
    switch (op.Kind) {
    case TItemKind::mCon:
    case TItemKind::mFun: {
        const TCplx arg = ResolveTop();
        if (CalcFailed()) return;
        if (Trace) {
            if (IsImpure(op)) Trace->Impure = true;
            // Built-ins read F (the electrical functions) and the last answer (Ans())
            // besides their argument.
            if (FVars.FId() >= 0) Trace->Touch(FVars.FId(), FVars);
            static const int ansConstant = FindConstant("ans");
            if (op.Kind == TItemKind::mCon && op.Code == ansConstant && FVars.AnsId() >= 0)
                Trace->Touch(FVars.AnsId(), FVars);
        }
        const TCplx r = op.Kind == TItemKind::mCon ? ApplyConstant(op.Code, arg, FEnv)
                                                   : ApplyFunction(op.Code, arg, FEnv);
        FVals.SetTop(CutTinyError(r));
        if (op.Kind == TItemKind::mFun && IsDataFunction(op.Code)) StoreStatistics(FVars);
        break;
    }
    case TItemKind::mOpr: {
        const int code = op.Code;
        if (IsUnaryMinus(code)) {
            const TCplx v = ResolveTop();
            if (!CalcFailed()) FVals.SetTop(CutTinyError(-v));
            break;
        }
        if (code == opAssign) {
            const TCplx right = PopResolved();
            if (CalcFailed()) return;
            if (!FVals.Empty()) Store(FVals.Top(), right);
            FVals.SetTop(right);
            break;
        }
        if (code == opRevAssign) {
            TCalcItem target = FVals.Pop();
            const TCplx left = ResolveTop();
            if (CalcFailed()) return;
            Store(target, left);
            FVals.SetTop(left);
            break;
        }
        const TCplx right = PopResolved();
        const TCplx left = ResolveTop();
        if (CalcFailed()) return;
        if (code == opComma) {
            // Arguments reduce from the right: the list is kept last first.
            FArgs.push_back(left);
            FVals.SetTop(right);
            break;
        }
        const auto apply = OperatorInfo(code).Apply;
        FVals.SetTop(apply ? CutTinyError(apply(left, right)) : right);
        break;
    }
    default: return;
    }
    // The flags are sticky: they are read before every assignment and at the end, and after
    // every step only while a log shows where the line failed.
    if (Logging) {
        CheckFp();
        if (!InPendingCall()) Step();
    }
}

void TEvaluator::CallUser() {
    const TCalcItem usr = FOps.Pop();
    const TUserFunc* func = FFuncs.Get(usr.Index);
    if (Trace) Trace->Calls.push_back(usr.Index);
    if (!func || func->BodyStart >= func->Items.size()) {
        SetCalcErr(TCalcErr::ceSyntax);
        return;
    }
    if (!func->Items.empty() && func->Items[0].Is(TItemKind::mCnt)) {
        FControl = func->Items[0];
        if (OnDirectives) OnDirectives(FControl.Mask);
    }
    TFrame frame;
    frame.Last = PopResolved();
    if (CalcFailed()) return;
    frame.List = &func->Items;
    frame.Pos = func->BodyStart;
    frame.Args.assign(FArgs.rbegin(), FArgs.rend());
    frame.Substitutes = true;
    FArgs.clear();
    FFrames.push_back(std::move(frame));
    Step();
}

void TEvaluator::CheckFp() noexcept {
    if (CalcFailed()) return;
    const TCalcErr fp = FpErrors();
    if (fp != TCalcErr::ceNone) SetCalcErr(fp);
}

bool TEvaluator::InPendingCall() const noexcept {
    if (FOps.Count() < 2) return false;
    const TCalcItem& top = FOps.Top();
    const std::size_t i =
        top.IsOperator(opComma) ? static_cast<std::size_t>(top.Index) : FOps.Count() - 1;
    return i >= 1 && FOps.At(i).Is(TItemKind::mCbe) && FOps.At(i - 1).Is(TItemKind::mUsr);
}

TCalcItem TEvaluator::SubstitutedArgument(const TFrame& f, const TCalcItem& arg) {
    const auto k = static_cast<std::size_t>(arg.Index);
    return MakeValue(k < f.Args.size() ? f.Args[k] : k == f.Args.size() ? f.Last : TCplx());
}

}  // namespace rekna
