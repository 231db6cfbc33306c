// TGraphSampler: the graph window's formulas compiled and sampled through the engine, with the
// memo formula list, the value kinds, and the engine left as it was found.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/calc_item.h"

namespace rekna {

class TVtCalc;
class TXYGraphSeries;

enum class TValueKind : std::uint8_t { vkRe, vkIm, vkAbs, vkArg, vkdB10, vkdB20, vkDeg };

// The plotted number of z = re + i·im; NaN where there is none (dB of 0).
[[nodiscard]] long double ValueOfKind(long double re, long double im, TValueKind kind) noexcept;

// While it lives the engine calculates without fractions; when it ends, by any road, the
// fraction setting and every variable's value and flags are as they were, so the memo's own
// variables (the X variable among them) never keep a sample's value or the graph's marks.
class TGraphEngineSession {
public:
    explicit TGraphEngineSession(TVtCalc& calc);
    ~TGraphEngineSession();
    TGraphEngineSession(const TGraphEngineSession&) = delete;
    TGraphEngineSession& operator=(const TGraphEngineSession&) = delete;

private:
    struct TSaved {
        std::string Name;
        TCplx Value;
        std::uint8_t Flags = 0;
    };
    TVtCalc& FCalc;
    bool FFractional;
    std::vector<TSaved> FSaved;
};

// One formula as last compiled.
struct TGraphFormula {
    std::string Text;
    TCalcList List;  // empty: no curve
    TValueKind Kind = TValueKind::vkRe;
};

inline constexpr int kMaxGraphSamples = 10000;

// Reports progress every few samples (done, total); returning false stops the sampling.
using TSampleProgress = std::function<bool(int done, int total)>;

class TGraphSampler {
public:
    explicit TGraphSampler(TVtCalc& calc) noexcept : FCalc(calc) {}

    // Fills the engine's memo formula list from the memo (toCaret: the lines up to the caret).
    std::function<void(TVtCalc& calc, bool toCaret)> BuildMemo;
    bool UseMemo = true;
    bool ToCaret = false;
    bool Optimise = true;

    // Compiles the X variable name and the formulas (the memo's functions and variables known),
    // and reduces the memo formula list to what each sample needs.
    void Compile(std::string_view xName, const std::array<std::string, 10>& texts,
                 const std::array<TValueKind, 10>& kinds);
    void SetKinds(const std::array<TValueKind, 10>& kinds) noexcept;

    // The engine's variables were created or cleared since the compile: the compiled lists may
    // name variables that are gone.
    [[nodiscard]] bool Stale() const noexcept;

    // The canonical X variable name; empty when the name was not a variable.
    [[nodiscard]] const std::string& XName() const noexcept { return FXName; }
    [[nodiscard]] const std::array<TGraphFormula, 10>& Formulas() const noexcept {
        return FFormulas;
    }

    // The samples x_k of a range: linear, or geometric on a log axis, N + 1 of them.
    [[nodiscard]] static std::vector<long double> SampleXs(long double min, long double max, int n,
                                                           bool log);
    // Samples every formula at xs into series[k] (nullptr entries skipped): point i of each
    // series is overwritten or appended, longer series cut; series of empty formulas cleared.
    // False when the progress callback stopped it (the series then hold what was done).
    bool Sample(const std::vector<long double>& xs, const std::vector<TXYGraphSeries*>& series,
                const TSampleProgress& progress = {});
    // The formulas' values at x (NaN for a failure or a formula without a list).
    [[nodiscard]] std::array<long double, 10> ValuesAt(long double x);
    // An expression evaluated as a trial: no assignment takes effect. NaN when it fails.
    [[nodiscard]] long double Trial(std::string_view text);

    // CopyC: the X variable, the memo formula list's text and each formula's rendering;
    // kindNames are the value kinds as the table shows them.
    [[nodiscard]] std::string FormulasText(const std::array<std::string, 7>& kindNames) const;
    // The engine's rendering of a formula's compiled list (empty without one).
    [[nodiscard]] std::string Rendering(int k) const;

private:
    void CompileFormulas(const std::array<std::string, 10>& texts);
    void SetX(long double x);
    [[nodiscard]] long double Evaluate(const TGraphFormula& f);

    TVtCalc& FCalc;
    std::string FXName;
    int FXId = -1;
    std::uint64_t FShape = 0;
    bool FCompiled = false;
    std::array<TGraphFormula, 10> FFormulas;
};

}  // namespace rekna
