// TVtCalc: line calculation, compiling and running, and the component's properties.
#include "engine/vt_calc.h"

#include <algorithm>
#include <cfenv>
#include <unordered_set>

#include "engine/functions.h"
#include "engine/line_deps.h"
#include "engine/statistics.h"
#include "numbers/calc_error.h"
#include "numbers/format.h"
#include "platform/cp932.h"
#include "platform/scoped_flag.h"

namespace rekna {

namespace {

// Lines longer than this look up each spelling of a name once.
constexpr std::size_t kSpelledOnce = 512;

// Tells two definitions of a user function apart.
std::uint32_t FunctionHash(const TUserFunc& f) {
    std::uint32_t h = 2166136261U;
    const auto mix = [&h](const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) {
            h ^= b[i];
            h *= 16777619U;
        }
    };
    for (const std::string& param : f.Params)
        mix(param.data(), param.size() + 1);
    for (const TCalcItem& item : f.Items) {
        const auto kind = static_cast<std::uint8_t>(item.Kind);
        mix(&kind, 1);
        mix(&item.Code, 1);
        mix(&item.Mask, sizeof item.Mask);
        mix(&item.Index, sizeof item.Index);
        mix(&item.Tag, sizeof item.Tag);
        const TCplx value = item.Value;
        mix(&value.Re.Num, 10);
        mix(&value.Re.Den, 10);
        mix(&value.Im.Num, 10);
        mix(&value.Im.Den, 10);
        const std::string_view text = item.Text.View();
        mix(text.data(), text.size());
        mix("", 1);
    }
    return h;
}

}  // namespace

TVtCalc::TVtCalc() {
    NumberSettings = TNumberSettings();
    ApplyDisplayProps(FProps);
    FCopies = FProps;
    FEvaluator.OnDirectives = [this](TControlMask mask) { ApplyDirectives(mask, FProps); };
    FEvaluator.OnStep = [this] {
        if (LogEnable && FLog.WantsSteps()) FLog.AddEvaluationStep(RenderStep(FEvaluator, Scope()));
    };
    FEvaluator.Stop = &FStop;
    FCompiler.Stop = &FStop;
    Clear();
}

TVtCalc::~TVtCalc() = default;

void TVtCalc::AddLogStep(const std::string& step) {
    if (LogEnable) FLog.AddStep(step);
}

bool TVtCalc::Compile(std::string_view text, bool keepData) {
    FBusy = true;
    CalcErr = TCalcErr::ceNone;
    // Data is the line itself unless the compiled list is rendered for it below.
    if (!keepData) FData.assign(text);
    std::string storage;
    const std::string_view formula = FormulaView(text, Switches, storage);
    FLog.Reset(LogEnable ? &formula : nullptr);
    CalcErr = FCompiler.Compile(formula, FCompiled, LogEnable || keepData);
    // A refused line (too many items, or stopped) has no compiled form to show.
    FRefused = CalcErr == TCalcErr::ceMath;
    const bool show = LogEnable && !FRefused;
    if (show) AddLogStep(RenderList(FCompiled, 1, true, Scope(), TCalcLog::kLineLimit));
    if (CalcFailed()) FAnswerText = CalcErrAnswer(CalcErr);
    if (keepData) FData = CalcFailed() ? std::string() : RenderList(FCompiled, 1, true, Scope());
    // Literals read without error show their values from now on.
    for (TCalcItem& item : FCompiled) {
        if (item.Kind == TItemKind::mVal && item.Tag == 0) item.Text.clear();
    }
    if (show) AddLogStep(RenderList(FCompiled, 1, false, Scope(), TCalcLog::kLineLimit));
    FBusy = false;
    return !CalcFailed();
}

bool TVtCalc::DefineFunction(const TCalcList& line) {
    bool created = false;
    const int index = FFuncs.Define(line, &created);
    if (index < 0) return false;
    FLastDefined = index;
    SetCalcErr(TCalcErr::ceUserFunc);
    if (created && OnAddUserFunc) OnAddUserFunc(*this, FFuncs.Get(index)->Name);
    return true;
}

bool TVtCalc::RunCompiled(bool commit, bool storeAns, const TCalcList* list) {
    FBusy = true;
    CalcErr = TCalcErr::ceNone;
    const TCalcList& work = list ? *list : static_cast<const TCalcList&>(FCompiled);
    if (work.empty()) {
        SetCalcErr(TCalcErr::ceSyntax);
        FBusy = false;
        return false;
    }
    if (work[0].Is(TItemKind::mCnt)) ApplyDirectives(work[0].Mask, FProps);
    if (work.size() > 1 && work[1].Is(TItemKind::mCnt)) {
        ApplyDirectives(work[1].Mask, FProps);
        // No result: the line before's value is no value of this one.
        FLastResult = TCplx::Blank();
        SetCalcErr(TCalcErr::ceControl);
        if (work[1].Mask & ControlBit(cbDefine)) DefineFunction(work);
        FBusy = false;
        return false;
    }
    const int ansId = FVars.AnsId();
    FEvaluator.Env().LastAnswer = ansId >= 0 ? FVars.ValueOf(ansId) : TCplx();
    FEvaluator.Logging = LogEnable;
    const bool ok = FEvaluator.Evaluate(work, commit);
    TCplx value;
    if (ok) {
        value = FEvaluator.Result();
        FLastResult = value;
        FAnsRe = value.Re.Value();
        FAnsIm = value.Im.Value();
        if (commit && Statistics.Active && work[0].Is(TItemKind::mCnt) &&
            (work[0].Mask & ControlBit(cbData))) {
            Statistics.Add(value);
            StoreStatistics(FVars);
        }
    } else {
        FLastResult = TCplx::ErrorMark();
        FAnsRe = FAnsIm = 0;
        if (!CalcFailed()) SetCalcErr(TCalcErr::ceSyntax);
    }
    if (storeAns && CalcErr != TCalcErr::ceUndefinedVar) FVars.SetAns(value, !ok);
    if (FRecording) FRecording->Ran = true;
    if (!CalcFailed()) {
        const TCalcErr fp = FpErrors();
        if (fp != TCalcErr::ceNone) SetCalcErr(fp);
    }
    FEvaluator.ClearStacks();
    FBusy = false;
    return !CalcFailed();
}

bool TVtCalc::CalcLine(std::string_view text, bool commit, bool storeAns, bool keepData) {
    // A calculation a script asks for may read any name.
    if (FInScript) FScriptReadsAll = true;
    const bool compiled = Compile(text, keepData);
    // The log and Data show the variables a line names as they stood before it ran.
    if (FEvaluator.Trace) {
        for (const TCalcItem& item : FCompiled) {
            if (item.Kind == TItemKind::mVar && item.Index >= 0 && item.Index < FVars.Count())
                FEvaluator.Trace->Touch(item.Index, FVars);
        }
    }
    if (!compiled && CalcErr != TCalcErr::ceNothing) {
        // Too many items, or stopped: the line fails as an evaluation does.
        FData = FAnswerText;
        FLastResult = TCplx::ErrorMark();
        FAnsRe = FAnsIm = 0;
        if (storeAns) FVars.SetAns(TCplx(), true);
        AddLogStep(FAnswerText);
        ApplyDisplayProps(FCopies);
        return false;
    }
    if (!compiled) {
        FData.clear();
        FAnswerText.clear();
        FLastResult = TCplx::Blank();
        ApplyDisplayProps(FCopies);
        return false;
    }
    RunCompiled(commit, storeAns, nullptr);
    if (CalcFailed()) {
        FAnswerText = CalcErrAnswer(CalcErr);
    } else {
        FormatAnswerTo(FLastResult, FAnswerText);
    }
    const bool ok = !CalcFailed();
    if (CalcErr == TCalcErr::ceControl || CalcErr == TCalcErr::ceUserFunc) {
        FData = FAnswerText;
        FAnswerText = RenderList(FCompiled, 1, true, Scope());
        AddLogStep(FData);
    } else {
        if (ok && Statistics.Active && FCompiled[0].Is(TItemKind::mCnt) &&
            (FCompiled[0].Mask & ControlBit(cbData))) {
            FAnswerText += "\t;Data";
            FAnswerText += std::to_string(static_cast<long long>(Statistics.Count));
        }
        AddLogStep(FAnswerText);
    }
    ApplyDisplayProps(FCopies);
    return ok;
}

bool TVtCalc::CalcLineCached(std::string_view text, TLineHint* hint) {
    FLineAnswer.Reset();
    if (FBusy || FRecording) return CalcLine(text, true, true, true);
    // In statistics mode a line adds to the accumulator: it is calculated every time.
    const bool statsBefore = Statistics.Active;
    const bool useCache = UseLineCache && !statsBefore;
    const std::uint64_t context = FLineCache.Context(NumberSettings, Switches, FProps, FCopies);
    if (useCache) {
        if (TLineResult* hit =
                FLineCache.Find(text, context, LogEnable, FFuncs.Shape(), FVars, hint)) {
            ReplayLine(*hit);
            return hit->Ok;
        }
    }
    const std::uint64_t varShape = FVars.Shape();
    const std::uint64_t funcShape = FFuncs.Shape();
    TLineResult result;
    FTrace.Clear();
    FRecording = &result;
    FEvaluator.Trace = &FTrace;
    FVars.BeginLine();
    FLastDefined = -1;
    const bool ok = CalcLine(text, true, true, true);
    FEvaluator.Trace = nullptr;
    FRecording = nullptr;
    const bool stopped = FRefused || FEvaluator.Stopped();
    const bool sameContext =
        FLineCache.Context(NumberSettings, Switches, FProps, FCopies) == context;
    const bool definition = CalcErr == TCalcErr::ceUserFunc;
    // A stopped line is calculated again; so is a refused one, which is refused at once.
    const bool cacheable = useCache && !stopped && !FTrace.Impure && FVars.Shape() == varShape &&
                           FFuncs.Shape() == funcShape && CalcErr != TCalcErr::ceControl &&
                           !definition && !Statistics.Active && sameContext;

    // Every name of the line, as a variable or as a name not yet one; a line of too many items
    // is that error whatever its names stand for.
    const bool tooLong = FRefused && FCompiler.WasTooLong();
    std::string storage;
    const std::string_view formula =
        tooLong ? std::string_view() : FormulaView(text, Switches, storage);
    // A long line spells the same names again and again: each spelling is looked up once.
    const bool longLine = formula.size() > kSpelledOnce;
    std::unordered_set<std::string_view> spelled;
    for (std::size_t pos = 0; pos < formula.size();) {
        const std::string_view name = ReadNameAt(formula, pos);
        if (name.empty()) {
            pos += CharLength(formula, pos);
            continue;
        }
        if (longLine && !spelled.insert(name).second) {
            pos += name.size();
            continue;
        }
        std::string lower = LowerName(name);
        const int id = FVars.Find(lower);
        result.Names.push_back({std::move(lower), id});
        pos += name.size();
    }
    for (TEvalTrace::TLookup& lookup : FTrace.Lookups)
        result.Names.push_back(std::move(lookup));
    // A long line names the same variables again and again; each is checked once.
    if (result.Names.size() > 8) {
        auto& names = result.Names;
        const auto byName = [](const auto& a, const auto& b) { return a.Name < b.Name; };
        const auto sameName = [](const auto& a, const auto& b) { return a.Name == b.Name; };
        std::sort(names.begin(), names.end(), byName);
        names.erase(std::unique(names.begin(), names.end(), sameName), names.end());
    }

    TLineDeps& deps = FDeps;
    deps.Clear();
    if (FTrace.Impure || statsBefore || Statistics.Active || stopped || definition)
        deps.Flags |= dfVolatile;
    if (!sameContext) deps.Flags |= dfContext;
    if (Statistics.Active) deps.Flags |= dfStatistics;
    for (const TEvalTrace::TLookup& name : result.Names)
        deps.Reads.push_back(name.Id >= 0 ? static_cast<TDepKey>(name.Id) : NameKey(name.Name));
    for (const TEvalTrace::TInput& in : FTrace.Inputs)
        deps.Reads.push_back(static_cast<TDepKey>(in.Id));
    for (const int call : FTrace.Calls) {
        if (const TUserFunc* f = FFuncs.Get(call)) deps.Reads.push_back(NameKey(f->Name));
    }
    deps.TakeWrites(FVars);
    if (definition) {
        if (const TUserFunc* f = FFuncs.Get(FLastDefined))
            deps.Functions.push_back({f->Name, FunctionHash(*f)});
    }
    FLineAnswer =
        TLineAnswer::Make(FData, FAnswerText, FLastResult,
                          LogEnable ? std::string_view(FLog.PackedText()) : "", deps.Pack());
    if (cacheable) {
        result.Context = context;
        result.Logged = LogEnable;
        result.FuncShape = funcShape;
        result.VarShape = varShape;
        result.Inputs = std::move(FTrace.Inputs);
        result.Answer = FLineAnswer;
        result.AnsRe = FAnsRe;
        result.AnsIm = FAnsIm;
        result.Err = CalcErr;
        result.Ok = ok;
        result.FpFlags = std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
        FLineCache.Store(text, std::move(result));
    }
    FTrace.Clear();
    return ok;
}

std::string TVtCalc::ScriptDeps(bool writes) const {
    TLineDeps deps;
    deps.Flags = dfVolatile;
    if (FScriptAsked) {
        // Asking again at every keystroke would cost the user the window: what it read decides.
        deps.Flags = FScriptReadsAll ? dfAsks | dfReadsAll : dfAsks;
        deps.Reads = FScriptReads;
        deps.Reads.push_back(ScriptStateKey());
    }
    if (Statistics.Active) deps.Flags |= dfStatistics;
    if (writes) deps.TakeWrites(FVars);
    return deps.Pack();
}

void TVtCalc::ReplayLine(TLineResult& r) {
    if (r.Ran) {
        const int ansId = FVars.AnsId();
        FEvaluator.Env().LastAnswer = ansId >= 0 ? FVars.ValueOf(ansId) : TCplx();
    }
    // The assignments and Ans, each variable changed as the line changed it.
    TDepsView(r.Answer.Deps()).ForEachWrite([this](TDepKey, std::string_view write) {
        TDepsView::Apply(write, FVars);
    });
    if (r.Ran) {
        const int fId = FVars.FId();
        FEvaluator.Env().FreqAbs = fId >= 0 ? CplxAbs(FVars.ValueOf(fId)) : 0.0L;
    }
    FData.assign(r.Answer.Note());
    FAnswerText.assign(r.Answer.Result());
    FLastResult = r.Answer.Value();
    FAnsRe = r.AnsRe;
    FAnsIm = r.AnsIm;
    FLineAnswer = r.Answer;
    if (LogEnable) {
        FLog.AssignPacked(r.Answer.Log());
    } else {
        FLog.Reset(nullptr);
    }
    FCompiled.Reset();
    ClearFpErrors();
    if (r.FpFlags != 0) std::feraiseexcept(r.FpFlags);
    CalcErr = r.Err;
    ApplyDisplayProps(FCopies);
}

void TVtCalc::ResetDisplay(bool agingCache) noexcept {
    if (agingCache) FLineCache.NewRun();
    FCopies = FProps;
    ApplyDisplayProps(FCopies);
}

void TVtCalc::ApplyDisplaySettings() noexcept {
    ApplyDisplayProps(FProps);
}

void TVtCalc::RegisterBuiltins() {
    for (int i = 0; i < kConstantCount; ++i)
        FVars.Set(ConstantName(i), ConstantVariableValue(i), 0);
}

void TVtCalc::Clear() {
    if (FBusy) return;
    FBusy = true;
    ++FClears;
    FVars.Clear();
    FEvaluator.Env().FreqAbs = 1.0L;
    Statistics.Reset();
    RegisterBuiltins();
    FEvaluator.ClearStacks();
    FMemoFormulas.clear();
    FFuncs.Clear();
    FLineCache.Clear();
    FBusy = false;
    if (OnClear) OnClear(*this);
}

int TVtCalc::SetVar(std::string_view name, const TFrac& re, const TFrac& im, std::uint8_t flags,
                    bool lowerCase) {
    const std::string n = lowerCase ? LowerName(name) : std::string(name);
    if (n.empty()) return -1;
    return FVars.Set(n, TCplx(re, im), flags);
}

int TVtCalc::GetVar(std::string_view name, TFrac& re, TFrac& im) const {
    if (FInScript) {
        const int id = FVars.Find(name);
        FScriptReads.push_back(id >= 0 ? static_cast<TDepKey>(id) : NameKey(name));
    }
    return FVars.GetWithState(name, re, im);
}

bool TVtCalc::SetAns(const TCplx& value, bool error) {
    return FVars.SetAns(value, error);
}

TVarItem TVtCalc::VarItem(int index) const {
    return FVars.Item(FVars.IdAt(index));
}

std::string TVtCalc::VarLine(int index) const {
    const TVarItem& item = FVars.Item(FVars.IdAt(index));
    std::string line = item.Name + "\t" + SysText("＝ ");
    line += (item.Flags & vfError) ? std::string(" [Err]") : FormatAnswer(item.Value);
    return line;
}

std::string TVtCalc::VarValueText(std::string_view name) const {
    const int id = FVars.Find(name);
    return id < 0 ? std::string() : FormatLogValue(FVars.Item(id).Value);
}

std::string TVtCalc::ConstValueText(std::string_view name) const {
    const int index = FindConstant(name);
    if (index < 0) return {};
    return FormatLogValue(ApplyConstant(index, TCplx(1.0L), FEvaluator.Env()));
}

std::string TVtCalc::FuncLine(int index) const {
    const TUserFunc* f = FFuncs.Get(index);
    return f ? RenderList(f->Items, 2, true, Scope()) : std::string();
}

std::string TVtCalc::FuncLineByName(std::string_view name, std::string_view before) const {
    const int index = FFuncs.Find(LowerName(name));
    if (index < 0) return {};
    if (!before.empty() && index >= FFuncs.VisibleLimit(LowerName(before))) return {};
    return FuncLine(index);
}

TCplx TVtCalc::CallByName(std::string_view name, long double re, long double im) {
    // A user function may read any variable.
    if (FInScript) FScriptReadsAll = true;
    const std::string lower = LowerName(name);
    const TCplx arg(re, im);
    if (const int user = FFuncs.Find(lower); user >= 0) {
        const TUserFunc* f = FFuncs.Get(user);
        TCalcList list;
        list.push_back(f->Items.empty() ? TCalcItem() : f->Items[0]);
        for (std::size_t i = f->BodyStart; i < f->Items.size(); ++i) {
            TCalcItem item = f->Items[i];
            if (item.Kind == TItemKind::mArg) {
                const auto k = static_cast<std::size_t>(item.Index);
                item = MakeValue(k == 0                   ? arg
                                 : k <= ScriptArgs.size() ? ScriptArgs[k - 1]
                                                          : TCplx());
            }
            list.push_back(std::move(item));
        }
        RunCompiled(true, true, &list);
        return CalcFailed() ? TCplx() : FLastResult;
    }
    if (const int con = FindConstant(lower); con >= 0) {
        return CutTinyError(ApplyConstant(con, arg, FEvaluator.Env()));
    }
    if (const int fun = FindFunction(lower); fun >= 0) {
        return CutTinyError(ApplyFunction(fun, arg, FEvaluator.Env()));
    }
    return TCplx();
}

std::string TVtCalc::ReadName(std::string_view text, int start) const {
    if (start < 1 || static_cast<std::size_t>(start) > text.size()) return {};
    return LowerName(ReadNameAt(text, static_cast<std::size_t>(start - 1)));
}

void TVtCalc::SetCplxFormat(TCplxFormat v) noexcept {
    FProps.CplxFormat = FCopies.CplxFormat = NumberSettings.CplxFormat = v;
}

void TVtCalc::SetAnsFormat(TAnsFormat v) noexcept {
    FProps.AnsFormat = FCopies.AnsFormat = NumberSettings.AnsFormat = v;
}

void TVtCalc::SetAnsFormat60(TAnsFormat60 v) noexcept {
    FProps.AnsFormat60 = FCopies.AnsFormat60 = NumberSettings.AnsFormat60 = v;
}

void TVtCalc::SetImagChar(char v) noexcept {
    FProps.ImagChar = FCopies.ImagChar = NumberSettings.ImagChar = v;
}

void TVtCalc::SetAnsLength(int v) noexcept {
    NumberSettings.AnsLength = std::clamp(v, -17, 18);
}
void TVtCalc::SetAnsColNon(int v) noexcept {
    NumberSettings.AnsColNon = std::max(0, v);
}
void TVtCalc::SetAnsColFix(int v) noexcept {
    NumberSettings.AnsColFix = std::max(0, v);
}
void TVtCalc::SetAnsColExp(int v) noexcept {
    NumberSettings.AnsColExp = std::max(0, v);
}
void TVtCalc::SetAnsColN2(int v) noexcept {
    NumberSettings.AnsColN2 = std::max(0, v);
}
void TVtCalc::SetAnsColN16(int v) noexcept {
    NumberSettings.AnsColN16 = std::max(0, v);
}

void TVtCalc::SetUsrFormat(std::string_view v) {
    std::string out;
    char quote = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const char c = v[i];
        if (quote) {
            if (IsLeadByte(c) && i + 1 < v.size()) {
                out.append(v, i, 2);
                ++i;
                continue;
            }
            out += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            out += c;
        } else if (std::string_view("#+,-.0;Ee").find(c) != std::string_view::npos) {
            out += c;
        } else if (IsLeadByte(c) && i + 1 < v.size()) {
            ++i;
        }
    }
    if (!out.empty()) NumberSettings.UsrFormat = std::move(out);
}

void TVtCalc::SetScriptEnabled(bool v) {
    if (v == FScriptEnabled) return;
    FScriptEnabled = v && FScriptHost != nullptr;
}

void TVtCalc::SetScriptHost(std::unique_ptr<TScriptHost> host) {
    FScriptHost = std::move(host);
}

bool TVtCalc::BeginScriptRun(std::string_view text) {
    FVars.BeginLine();
    FData.clear();
    FAnswerText.clear();
    FLastResult = TCplx::Blank();
    FLog.Reset(nullptr);
    FScriptFailure = TScriptFailure();
    FScriptAsked = false;
    FScriptReadsAll = false;
    FScriptReads.clear();
    return FScriptEnabled && FScriptHost &&
           text.find_first_not_of(" \t\r\n") != std::string_view::npos;
}

bool TVtCalc::ExecuteBlock(std::string_view text, int firstLine) {
    if (!BeginScriptRun(text)) return false;
    TScriptOutcome outcome;
    {
        // A script runs while the scope lasts: what it reads goes into its dependencies.
        const TScopedFlag scope(FInScript);
        outcome = FScriptHost->ExecuteBlock(text, firstLine, LogEnable);
    }
    return TakeScriptOutcome(std::move(outcome));
}

bool TVtCalc::EvaluateExpression(std::string_view text, int line) {
    if (!BeginScriptRun(text)) return false;
    TScriptOutcome outcome;
    {
        // A script runs while the scope lasts: what it reads goes into its dependencies.
        const TScopedFlag scope(FInScript);
        outcome = FScriptHost->EvaluateExpression(text, line, LogEnable);
    }
    return TakeScriptOutcome(std::move(outcome));
}

bool TVtCalc::TakeScriptOutcome(TScriptOutcome outcome) {
    FData = std::move(outcome.Data);
    FAnswerText = std::move(outcome.Answer);
    FLastResult = TCplx::Blank();
    if (outcome.Value) {
        FLastResult = *outcome.Value;
        SetAns(*outcome.Value, false);
    }
    // Calculations the script made left their log; the script's own lines follow.
    if (LogEnable) {
        for (const std::string& line : outcome.Log)
            FLog.AddLine(line);
    } else {
        FLog.Reset(nullptr);
    }
    FScriptFailure = std::move(outcome.Failure);
    return outcome.Ok;
}

void TVtCalc::ResetHost() {
    if (FScriptHost) FScriptHost->ResetHost();
}

}  // namespace rekna
