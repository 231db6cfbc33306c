// The graph window's formulas compiled and sampled through the engine.
#include "graph_window/graph_sampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/operators.h"
#include "engine/user_func.h"
#include "engine/vt_calc.h"
#include "graph/xy_series.h"
#include "numbers/number_settings.h"

namespace rekna {

long double ValueOfKind(long double re, long double im, TValueKind kind) noexcept {
    const auto magnitude = [](long double a, long double b) {
        a = std::fabs(a);
        b = std::fabs(b);
        if (b == 0) return a;
        const long double hi = std::max(a, b);
        const long double lo = std::min(a, b);
        return hi * std::sqrt(1 + (lo / hi) * (lo / hi));
    };
    switch (kind) {
    case TValueKind::vkRe: return re;
    case TValueKind::vkIm: return im;
    case TValueKind::vkAbs: return magnitude(re, im);
    case TValueKind::vkArg: return std::atan2(im, re);
    case TValueKind::vkDeg: return std::atan2(im, re) * 180 / std::numbers::pi_v<long double>;
    case TValueKind::vkdB10:
    case TValueKind::vkdB20: {
        const long double m = magnitude(re, im);
        if (m == 0 || std::isnan(m)) return NAN;
        return (kind == TValueKind::vkdB10 ? 10 : 20) * std::log10(m);
    }
    }
    return NAN;
}

TGraphEngineSession::TGraphEngineSession(TVtCalc& calc)
    : FCalc(calc), FFractional(NumberSettings.Fractional) {
    const TVariList& vars = calc.Vars();
    FSaved.reserve(static_cast<std::size_t>(vars.Count()));
    for (int id = 0; id < vars.Count(); ++id) {
        const TVarItem& item = vars.Item(id);
        FSaved.push_back({item.Name, item.Value, item.Flags});
    }
    NumberSettings.Fractional = false;
}

TGraphEngineSession::~TGraphEngineSession() {
    TVariList& vars = FCalc.Vars();
    for (int id = 0; id < vars.Count(); ++id) {
        const std::string& name = vars.Item(id).Name;
        if (id < static_cast<int>(FSaved.size()) &&
            FSaved[static_cast<std::size_t>(id)].Name == name) {
            const TSaved& saved = FSaved[static_cast<std::size_t>(id)];
            vars.SetById(id, saved.Value, false);
            vars.Unmark(name, 0xFF);
            vars.Mark(name, saved.Flags);
        } else {
            // A variable the graph brought in (the X variable of a memo without one) keeps
            // no sample's value.
            vars.SetById(id, TCplx(), false);
            vars.Unmark(name, vfGraph | vfProtected);
        }
    }
    NumberSettings.Fractional = FFractional;
}

void TGraphSampler::SetKinds(const std::array<TValueKind, 10>& kinds) noexcept {
    for (std::size_t k = 0; k < kinds.size(); ++k)
        FFormulas[k].Kind = kinds[k];
}

void TGraphSampler::CompileFormulas(const std::array<std::string, 10>& texts) {
    for (std::size_t k = 0; k < texts.size(); ++k) {
        TGraphFormula& f = FFormulas[k];
        f.Text = texts[k];
        f.List.clear();
        if (texts[k].find_first_not_of(' ') == std::string::npos) continue;
        if (FCalc.Compile(texts[k], false)) f.List = FCalc.Compiled();
        // A list of only its leading control item holds no formula.
        if (f.List.size() <= 1) f.List.clear();
    }
}

void TGraphSampler::Compile(std::string_view xName, const std::array<std::string, 10>& texts,
                            const std::array<TValueKind, 10>& kinds) {
    SetKinds(kinds);
    FXName.clear();
    FXId = -1;
    const bool log = FCalc.LogEnable;
    FCalc.LogEnable = false;
    // The name counts only when "name=1" is a plain assignment of a number to one variable.
    if (!xName.empty() && FCalc.Compile(std::string(xName) + "=1", false)) {
        const TCompList& list = FCalc.Compiled();
        if (list.size() == 4 && list[0].Kind == TItemKind::mNop &&
            (list[1].Kind == TItemKind::mVar || list[1].Kind == TItemKind::mStr) &&
            list[2].IsOperator(opAssign) && list[3].Kind == TItemKind::mVal) {
            const int id = list[1].Kind == TItemKind::mVar ? list[1].Index : -1;
            FXName = id >= 0 && id < FCalc.Vars().Count() ? FCalc.Vars().Item(id).Name
                                                          : LowerName(list[1].Text.View());
        }
    }
    // The formulas refer to the X variable itself, also when the memo has none.
    TVariList& vars = FCalc.Vars();
    if (!FXName.empty() && vars.Find(FXName) < 0) vars.Set(FXName, TCplx(), 0);
    if (UseMemo && BuildMemo) {
        BuildMemo(FCalc, ToCaret);
        FCalc.RunMemoFormulas();
    } else {
        FCalc.MemoFormulas().clear();
    }
    CompileFormulas(texts);
    for (const TGraphFormula& f : FFormulas)
        if (!f.List.empty()) FCalc.RunCompiled(false, false, &f.List);
    if (UseMemo && BuildMemo) {
        BuildMemo(FCalc, ToCaret);
        CompileFormulas(texts);
    }
    if (Optimise) {
        for (const TGraphFormula& f : FFormulas)
            for (const TCalcItem& item : f.List) {
                if (item.Kind == TItemKind::mVar && item.Index >= 0 && item.Index < vars.Count())
                    vars.Mark(vars.Item(item.Index).Name, vfGraph);
                if (item.Kind == TItemKind::mStr) vars.Mark(LowerName(item.Text.View()), vfGraph);
            }
    }
    if (!FXName.empty()) {
        FCalc.ReduceMemoFormulas(FXName, Optimise);
        FXId = vars.Find(FXName);
    }
    FCalc.LogEnable = log;
    FShape = vars.Shape();
    FCompiled = true;
}

bool TGraphSampler::Stale() const noexcept {
    return !FCompiled || FCalc.Vars().Shape() != FShape;
}

std::vector<long double> TGraphSampler::SampleXs(long double min, long double max, int n,
                                                 bool log) {
    n = std::clamp(n, 1, kMaxGraphSamples);
    std::vector<long double> xs(static_cast<std::size_t>(n) + 1);
    if (log && min > 0 && max > 0) {
        const long double r = std::pow(max / min, 1.0L / n);
        long double x = min;
        for (int k = 0; k <= n; ++k) {
            xs[static_cast<std::size_t>(k)] = k == n ? max : x;
            x *= r;
        }
        // Repeated products drift; the exact powers keep 1, 10, 100, 1000 exact.
        for (int k = 1; k < n; ++k)
            xs[static_cast<std::size_t>(k)] =
                min * std::pow(max / min, static_cast<long double>(k) / n);
    } else {
        for (int k = 0; k <= n; ++k)
            xs[static_cast<std::size_t>(k)] = min + k * (max - min) / n;
    }
    return xs;
}

void TGraphSampler::SetX(long double x) {
    if (FXId >= 0 && FXId < FCalc.Vars().Count()) FCalc.Vars().SetById(FXId, TCplx(x, 0.0L), false);
}

long double TGraphSampler::Evaluate(const TGraphFormula& f) {
    if (f.List.empty()) return NAN;
    if (!FCalc.RunCompiled(false, false, &f.List)) return NAN;
    return ValueOfKind(FCalc.AnsRe(), FCalc.AnsIm(), f.Kind);
}

bool TGraphSampler::Sample(const std::vector<long double>& xs,
                           const std::vector<TXYGraphSeries*>& series,
                           const TSampleProgress& progress) {
    TGraphEngineSession session(FCalc);
    if (FXId >= 0) FCalc.Vars().Mark(FXName, vfProtected);
    const int total = static_cast<int>(xs.size());
    std::vector<TXYGraphSeries*> targets(FFormulas.size(), nullptr);
    for (std::size_t k = 0; k < FFormulas.size() && k < series.size(); ++k) {
        if (!series[k]) continue;
        if (FFormulas[k].List.empty()) {
            series[k]->Clear();
        } else {
            targets[k] = series[k];
        }
    }
    bool finished = true;
    int done = 0;
    for (; done < total; ++done) {
        if (progress && (done & 63) == 0 && done > 0 && !progress(done, total)) {
            finished = false;
            break;
        }
        const long double x = xs[static_cast<std::size_t>(done)];
        SetX(x);
        FCalc.RunMemoFormulas();
        for (std::size_t k = 0; k < FFormulas.size(); ++k) {
            TXYGraphSeries* s = targets[k];
            if (!s) continue;
            const long double y = Evaluate(FFormulas[k]);
            if (done < s->Count()) {
                s->XValues()[done] = x;
                s->YValues()[done] = y;
            } else {
                s->AddXY(x, y);
            }
        }
    }
    for (TXYGraphSeries* s : targets) {
        if (!s) continue;
        while (s->Count() > done) {
            s->XValues().SetCount(done);
            s->YValues().SetCount(done);
        }
    }
    return finished;
}

std::array<long double, 10> TGraphSampler::ValuesAt(long double x) {
    TGraphEngineSession session(FCalc);
    if (FXId >= 0) FCalc.Vars().Mark(FXName, vfProtected);
    SetX(x);
    FCalc.RunMemoFormulas();
    std::array<long double, 10> values{};
    for (std::size_t k = 0; k < FFormulas.size(); ++k)
        values[k] = Evaluate(FFormulas[k]);
    return values;
}

long double TGraphSampler::Trial(std::string_view text) {
    if (text.find_first_not_of(' ') == std::string_view::npos) return NAN;
    TGraphEngineSession session(FCalc);
    const bool log = FCalc.LogEnable;
    FCalc.LogEnable = false;
    const bool ok = FCalc.CalcLine(text, false, false, false);
    FCalc.LogEnable = log;
    return ok ? FCalc.AnsRe() : NAN;
}

std::string TGraphSampler::Rendering(int k) const {
    if (k < 0 || k >= static_cast<int>(FFormulas.size())) return {};
    const TGraphFormula& f = FFormulas[static_cast<std::size_t>(k)];
    return f.List.empty() ? std::string() : FCalc.RenderCompiled(f.List);
}

std::string TGraphSampler::FormulasText(const std::array<std::string, 7>& kindNames) const {
    std::string out = "X(Re):= " + FXName;
    if (!FCalc.MemoFormulas().empty()) out += "\r\n\r\n" + FCalc.RenderMemoFormulas();
    for (std::size_t k = 0; k < FFormulas.size(); ++k) {
        if (FFormulas[k].List.empty()) continue;
        if (!out.empty() && out.back() != '\n') out += "\r\n";
        out += "Y[" + std::to_string(k + 1) + "](" +
               kindNames[static_cast<std::size_t>(FFormulas[k].Kind)] +
               "):= " + Rendering(static_cast<int>(k));
    }
    return out;
}

}  // namespace rekna
