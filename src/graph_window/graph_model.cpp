// The graph window without its widgets: tables, sampling, markers, commands, lines and file.
#include "graph_window/graph_model.h"

#include <cmath>
#include <cstdio>
#include <map>

#include "engine/vt_calc.h"
#include "graph/series_kinds.h"
#include "graph/xy_graph.h"
#include "graph_window/graph_mapping.h"
#include "grid/vt_values.h"
#include "numbers/format.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

using enum TGraphTableId;

constexpr TColor kLineColors[] = {clRed,  clGreen,  clBlue, clFuchsia, clTeal,
                                  clNavy, clMaroon, clLime, clOlive,   clPurple};
constexpr TColor kDataColors[] = {clSilver, clAqua, clBlack, clYellow, clWhite};
constexpr int kMarkerX = 1;
constexpr int kMarkerColumns = 5;
constexpr int kDifferenceCol = 6;
const std::string kGraphPrefix = "#Graph.";

std::string Trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    const std::size_t first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first);
}

std::string KeyOf(const std::string& line) {
    return line.substr(0, line.find('='));
}

// The memo's #Graph. lines without their prefix.
std::vector<std::string> GraphLinesOf(const std::vector<std::string>& memoLines) {
    std::vector<std::string> lines;
    for (const std::string& line : memoLines) {
        if (line.compare(0, kGraphPrefix.size(), kGraphPrefix) != 0) continue;
        std::string rest = line.substr(kGraphPrefix.size());
        while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n'))
            rest.pop_back();
        lines.push_back(std::move(rest));
    }
    return lines;
}

void ZoomAxis(TGraphAxis& axis, double f) {
    if (f == 1) return;
    const double lo = static_cast<double>(axis.Min());
    const double hi = static_cast<double>(axis.Max());
    double a = 0;
    double b = 0;
    if (axis.IsLog()) {
        if (lo <= 0 || hi <= 0) return;
        const double c = std::sqrt(lo * hi);
        const double r = std::pow(hi / c, f);
        a = c / r;
        b = c * r;
    } else {
        const double c = (lo + hi) / 2;
        const double h = hi - c;
        a = c - f * h;
        b = c + f * h;
    }
    if (std::isfinite(a) && std::isfinite(b) && a < b) axis.SetRange(b, a, true);
}

void ShiftAxis(TGraphAxis& axis, double s) {
    if (s == 0) return;
    const double lo = static_cast<double>(axis.Min());
    const double hi = static_cast<double>(axis.Max());
    double a = 0;
    double b = 0;
    if (axis.IsLog()) {
        if (lo <= 0 || hi <= 0) return;
        const double m = std::pow(hi / lo, s);
        a = lo * m;
        b = hi * m;
    } else {
        a = lo + s * (hi - lo);
        b = hi + s * (hi - lo);
    }
    if (std::isfinite(a) && std::isfinite(b) && a < b) axis.SetRange(b, a, true);
}

}  // namespace

std::vector<std::string> FormulaLinesOf(const std::vector<std::string>& memoLines) {
    std::vector<std::string> lines;
    lines.reserve(memoLines.size());
    for (const std::string& line : memoLines)
        if (line.compare(0, kGraphPrefix.size(), kGraphPrefix) != 0) lines.push_back(line);
    return lines;
}

TGraphModel::TGraphModel(TVtCalc& calc, TXYGraph& graph,
                         const std::array<TVtGrid*, kGraphTableCount>& grids)
    : FCalc(calc), FGraph(graph), FTables(grids), FSampler(calc) {
    InitGraph();
}

void TGraphModel::InitGraph() {
    while (FGraph.SeriesCount() > 0)
        FGraph.DeleteSeries(FGraph.Series(0));
    for (TColor color : kLineColors) {
        auto* s = FGraph.AddSeries<TXYLineSeries>();
        s->AutoDivide = true;
        s->SetSeriesColor(color);
    }
    for (TColor color : kDataColors) {
        auto* s = FGraph.AddSeries<TXYMarkerSeries>();
        s->Joined = false;
        s->SetSeriesColor(color);
    }
    FGraph.MarkerStyle.Size = 3;
    FGraph.MarkerStyle.SeriesColor = true;
    FGraph.YAxis.Title.SetAngle(90);
    FGraph.ZAxis.Title.SetAngle(90);
    FGraph.YAxis.Labels.Alignment = 550;
    FGraph.ZAxis.Labels.Alignment = 550;
    FGraph.YAxis.Labels.Size = 200;
    FGraph.ZAxis.Labels.Size = 200;
    FGraph.Legend.Brush.Style = TBrushStyle::bsSolid;
}

std::vector<TXYGraphSeries*> TGraphModel::FormulaSeries() const {
    std::vector<TXYGraphSeries*> series;
    for (int k = 0; k < kGraphFormulas && k < FGraph.SeriesCount(); ++k)
        series.push_back(FGraph.Series(k));
    return series;
}

std::array<std::string, 10> TGraphModel::FormulaTexts() const {
    std::array<std::string, 10> texts;
    for (int k = 0; k < kGraphFormulas; ++k)
        texts[static_cast<std::size_t>(k)] = FTables.Text(gtCalc, gcol::kFormula, grow::kX + 1 + k);
    return texts;
}

std::array<TValueKind, 10> TGraphModel::Kinds() const {
    std::array<TValueKind, 10> kinds{};
    for (int k = 0; k < kGraphFormulas; ++k)
        kinds[static_cast<std::size_t>(k)] =
            static_cast<TValueKind>(FTables.Item(gtCalc, gcol::kKind, grow::kX + 1 + k, 0));
    return kinds;
}

std::string TGraphModel::XNameCell() const {
    return Trimmed(FTables.Text(gtCalc, gcol::kVisible, grow::kX));
}

void TGraphModel::Compile() {
    TGraphEngineSession session(FCalc);
    FCompiledName = XNameCell();
    FCompiledTexts = FormulaTexts();
    FSampler.Compile(FCompiledName, FCompiledTexts, Kinds());
}

void TGraphModel::ApplyTables() {
    FMappingFailure = ApplyGraphTables(
        FTables, FGraph, [this](std::string_view text) { return FSampler.Trial(text); });
}

int TGraphModel::SampleCount() {
    const long double v = FSampler.Trial(FTables.Text(gtRange, gcol::kDivide, grow::kXAxis));
    long double n = std::isfinite(v) ? std::round(v) : 0;
    if (n <= 0) n = PlotWidth ? PlotWidth() : 0;
    if (n <= 0) n = 200;
    return static_cast<int>(std::min<long double>(n, kMaxGraphSamples));
}

bool TGraphModel::ComputeAndDraw() {
    if (FSampler.Stale()) Compile();
    const int n = SampleCount();
    const TGraphAxis& x = FGraph.XAxis;
    FSampler.SetKinds(Kinds());
    const std::vector<long double> xs = TGraphSampler::SampleXs(x.Min(), x.Max(), n, x.IsLog());
    const bool finished = FSampler.Sample(xs, FormulaSeries(), Progress);
    FLastN = n;
    FLastMin = x.Min();
    FLastMax = x.Max();
    FLastScale = x.Scale();
    FComputedKinds = Kinds();
    FComputedName = FCompiledName;
    FComputedTexts = FCompiledTexts;
    FGraph.ResetPixelCaches();
    FGraph.Invalidate();
    return finished;
}

void TGraphModel::FullUpdate() {
    Compile();
    ApplyTables();
    RebuildDataSeries();
    ComputeAndDraw();
    RecomputeMarkerColumns();
}

bool TGraphModel::TableChanged(TGraphTableId id) {
    FTables.Validate(id);
    if (id == gtData) {
        ApplySeriesTables(FTables, FGraph);
        RebuildDataSeries();
        FGraph.Invalidate();
        return false;
    }
    if (id == gtMarker) return false;
    if (XNameCell() != FCompiledName || FormulaTexts() != FCompiledTexts) Compile();
    ApplyTables();
    const int n = SampleCount();
    const TGraphAxis& x = FGraph.XAxis;
    const bool recompute = FCompiledName != FComputedName || FCompiledTexts != FComputedTexts ||
                           Kinds() != FComputedKinds || n != FLastN || x.Scale() != FLastScale ||
                           x.Min() != FLastMin || x.Max() != FLastMax;
    if (recompute) {
        ComputeAndDraw();
    } else {
        FGraph.Invalidate();
    }
    return recompute;
}

void TGraphModel::Scrolled() {
    if (FSampler.Stale()) {
        ComputeAndDraw();
        return;
    }
    const TGraphAxis& x = FGraph.XAxis;
    const auto series = FormulaSeries();
    const int n = FLastN;
    bool full = n <= 0 || x.IsLog() || FLastScale != TAxisScale::asNormal;
    const TXYGraphSeries* model = nullptr;
    for (std::size_t k = 0; k < series.size(); ++k)
        if (!FSampler.Formulas()[k].List.empty() && series[k]->Count() == n + 1) model = series[k];
    if (!model) full = true;
    const long double step = n > 0 ? (FLastMax - FLastMin) / n : 0;
    if (full || !(step > 0) || std::fabs((x.Max() - x.Min()) - (FLastMax - FLastMin)) > step / 2) {
        ComputeAndDraw();
        return;
    }
    // The grid keeps its origin and step: sample k sits at FLastMin + k · step.
    const long double shift = std::round((x.Min() - FLastMin) / step);
    if (shift == 0) {
        FGraph.Invalidate();
        return;
    }
    if (std::fabs(shift) > n) {
        ComputeAndDraw();
        return;
    }
    const int s = static_cast<int>(shift);
    std::vector<long double> fresh;
    for (int k = 0; k <= n; ++k) {
        const int old = k + s;
        if (old < 0 || old > n) fresh.push_back(FLastMin + (old)*step);
    }
    std::vector<std::unique_ptr<TXYLineSeries>> temps;
    std::vector<TXYGraphSeries*> targets;
    for (std::size_t k = 0; k < series.size(); ++k) {
        temps.push_back(std::make_unique<TXYLineSeries>());
        targets.push_back(temps.back().get());
    }
    FSampler.Sample(fresh, targets, Progress);
    for (std::size_t k = 0; k < series.size(); ++k) {
        TXYGraphSeries& target = *series[k];
        if (FSampler.Formulas()[k].List.empty() || target.Count() != n + 1) continue;
        std::vector<long double> xs(static_cast<std::size_t>(n) + 1);
        std::vector<long double> ys(static_cast<std::size_t>(n) + 1);
        int next = 0;
        for (int i = 0; i <= n; ++i) {
            const int old = i + s;
            if (old >= 0 && old <= n) {
                xs[static_cast<std::size_t>(i)] = target.XValues()[old];
                ys[static_cast<std::size_t>(i)] = target.YValues()[old];
            } else if (next < temps[k]->Count()) {
                xs[static_cast<std::size_t>(i)] = temps[k]->XValues()[next];
                ys[static_cast<std::size_t>(i)] = temps[k]->YValues()[next++];
            }
        }
        for (int i = 0; i <= n; ++i) {
            target.XValues()[i] = xs[static_cast<std::size_t>(i)];
            target.YValues()[i] = ys[static_cast<std::size_t>(i)];
        }
    }
    FLastMin += s * step;
    FLastMax += s * step;
    FGraph.ResetPixelCaches();
    FGraph.Invalidate();
}

std::string TGraphModel::CellNumber(long double v, int digits, int maxChars) {
    if (std::isnan(v)) return {};
    TAnsFormat format = NumberSettings.AnsFormat;
    int precision = digits > 0 ? digits : NumberSettings.AnsLength;
    std::string text = Trimmed(FormatReal(v, format, precision, NumberSettings.AnsHide0));
    while (maxChars > 0 && static_cast<int>(text.size()) > maxChars) {
        if (format != TAnsFormat::afEng && format != TAnsFormat::afExp) {
            format = TAnsFormat::afExp;
            precision = 18;
        } else if (std::abs(precision) < 4) {
            break;
        } else {
            precision += precision > 0 ? -1 : 1;
        }
        text = Trimmed(FormatReal(v, format, precision, NumberSettings.AnsHide0));
    }
    return text;
}

std::string TGraphModel::CellText(TGraphTableId id, int col, long double v, int digits) const {
    return CellNumber(v, digits, CellChars ? CellChars(id, col) : 0);
}

void TGraphModel::FillMarkerColumn(int col, long double x, bool moveMarkers) {
    if (FSampler.Stale()) Compile();
    TVtGrid& grid = FTables.Table(gtMarker);
    grid.SetCells(col, kMarkerX, CellText(gtMarker, col, x));
    const std::array<long double, 10> values = FSampler.ValuesAt(x);
    for (int k = 0; k < kGraphFormulas; ++k) {
        const bool has = !FSampler.Formulas()[static_cast<std::size_t>(k)].List.empty();
        const long double y = values[static_cast<std::size_t>(k)];
        grid.SetCells(col, kMarkerX + 1 + k, has ? CellText(gtMarker, col, y) : std::string());
        if (moveMarkers && !FGraph.MarkerStyle.Auto && k < FGraph.SeriesCount()) {
            TSeriesMarker& m = FGraph.Series(k)->SeriesMarker;
            m.Shown = has && std::isfinite(y);
            m.X = x;
            m.Y = y;
        }
    }
}

void TGraphModel::SetMarker(long double x) {
    const TGraphAxis& axis = FGraph.XAxis;
    if (!(x >= axis.Min() && x <= axis.Max())) return;
    FillMarkerColumn(1, x, true);
    RefreshDifference();
}

void TGraphModel::RecomputeMarkerColumn(int col) {
    if (col < 1 || col > kMarkerColumns) return;
    const std::string& text = FTables.Text(gtMarker, col, kMarkerX);
    const double x = ParseEngineering(text);
    if (text.empty() || std::isnan(x)) return;
    FillMarkerColumn(col, x, false);
    RefreshDifference();
}

void TGraphModel::RecomputeMarkerColumns() {
    for (int col = 1; col <= kMarkerColumns; ++col)
        RecomputeMarkerColumn(col);
}

void TGraphModel::ShiftMarkerColumns() {
    TVtGrid& grid = FTables.Table(gtMarker);
    for (int row = 1; row < grid.RowCount(); ++row)
        for (int col = kMarkerColumns; col > 1; --col)
            grid.SetCells(col, row, grid.Cells(col - 1, row));
    RefreshDifference();
}

void TGraphModel::RefreshDifference() {
    TVtGrid& grid = FTables.Table(gtMarker);
    for (int row = 1; row < grid.RowCount(); ++row) {
        const std::string& a = grid.Cells(1, row);
        const std::string& b = grid.Cells(2, row);
        std::string diff;
        if (!a.empty() && !b.empty()) {
            const double va = ParseEngineering(a);
            const double vb = ParseEngineering(b);
            if (!std::isnan(va) && !std::isnan(vb))
                diff = CellText(gtMarker, kDifferenceCol, static_cast<long double>(va) - vb);
        }
        grid.SetCells(kDifferenceCol, row, diff);
    }
}

std::string TGraphModel::MarkerReadout() const {
    if (FGraph.MarkerStyle.Auto) return FGraph.MarkerText();
    const TVtGrid& grid = FTables.Table(gtMarker);
    std::string text = grid.Cells(1, kMarkerX);
    for (int k = 0; k < kGraphFormulas; ++k) {
        if (FSampler.Formulas()[static_cast<std::size_t>(k)].List.empty()) continue;
        text += ", " + grid.Cells(1, kMarkerX + 1 + k);
    }
    return text;
}

void TGraphModel::RebuildDataSeries() {
    const TVtGrid& grid = FTables.Table(gtData);
    for (int j = 0; j < kGraphDataColumns && kGraphFormulas + j < FGraph.SeriesCount(); ++j) {
        TXYGraphSeries* s = FGraph.Series(kGraphFormulas + j);
        s->Clear();
        for (int row = grow::kDataFirst; row < grid.RowCount(); ++row) {
            const std::string& xt = grid.Cells(1, row);
            const std::string& yt = grid.Cells(2 + j, row);
            if (xt.empty() || yt.empty()) continue;
            const double x = ParseEngineering(xt);
            const double y = ParseEngineering(yt);
            if (!std::isnan(x) && !std::isnan(y)) s->AddXY(x, y);
        }
        // A data column stands in the legend by its header while it has points.
        s->Title = grid.Cells(2 + j, 0);
        s->ShowInLegend = s->Count() > 0;
    }
    FGraph.ResetPixelCaches();
}

void TGraphModel::AfterRangeChange(bool xChanged) {
    FGraph.ResetPixelCaches();
    if (xChanged) {
        ComputeAndDraw();
    } else {
        FGraph.Invalidate();
    }
}

void TGraphModel::Zoom(std::uint8_t axes, double factor) {
    if (axes & gaX) ZoomAxis(FGraph.XAxis, factor);
    if (axes & gaY) ZoomAxis(FGraph.YAxis, factor);
    if (axes & gaR) ZoomAxis(FGraph.ZAxis, factor);
    AfterRangeChange((axes & gaX) && factor != 1);
}

void TGraphModel::Shift(std::uint8_t axes, double amount) {
    if (axes & gaX) ShiftAxis(FGraph.XAxis, amount);
    if (axes & gaY) ShiftAxis(FGraph.YAxis, amount);
    if (axes & gaR) ShiftAxis(FGraph.ZAxis, amount);
    AfterRangeChange((axes & gaX) && amount != 0);
}

void TGraphModel::Fit() {
    for (int a = 0; a < 2; ++a) {
        TGraphAxis& axis = a == 0 ? FGraph.YAxis : FGraph.ZAxis;
        long double lo = NAN;
        long double hi = NAN;
        for (int i = 0; i < FGraph.SeriesCount(); ++i) {
            TXYGraphSeries* s = FGraph.Series(i);
            if (!s->Visible || s->Count() == 0 || s->ZAxis != (a == 1)) continue;
            s->UpdateMinMax(FGraph.XAxis.Scale(), axis.Scale());
            const long double smin = s->YMin();
            const long double smax = s->YMax();
            if (!std::isnan(smin) && (std::isnan(lo) || smin < lo)) lo = smin;
            if (!std::isnan(smax) && (std::isnan(hi) || smax > hi)) hi = smax;
        }
        axis.AutoScale(true, true, true, lo, hi);
    }
    FGraph.ResetPixelCaches();
    FGraph.Invalidate();
}

void TGraphModel::WriteRangeToTable() {
    TVtGrid& grid = FTables.Table(gtRange);
    grid.SaveUndo();
    const TGraphAxis* axes[] = {&FGraph.XAxis, &FGraph.YAxis, &FGraph.ZAxis};
    for (int a = 0; a < 3; ++a) {
        grid.SetCells(gcol::kMin, grow::kXAxis + a,
                      CellText(gtRange, gcol::kMin, axes[a]->Min(), 15));
        grid.SetCells(gcol::kMax, grow::kXAxis + a,
                      CellText(gtRange, gcol::kMax, axes[a]->Max(), 15));
    }
}

std::string TGraphModel::SampledDataText() const {
    std::vector<const TXYGraphSeries*> full;
    for (int k = 0; k < kGraphFormulas && k < FGraph.SeriesCount(); ++k) {
        const TXYGraphSeries* s = FGraph.Series(k);
        if (FLastN >= 0 && s->Count() == FLastN + 1) full.push_back(s);
    }
    if (full.empty()) return {};
    std::string out;
    char buffer[64];
    for (int i = 0; i <= FLastN; ++i) {
        if (i > 0) out += "\r\n";
        std::snprintf(buffer, sizeof buffer, "%.15Lg", full.front()->XValues()[i]);
        out += buffer;
        for (const TXYGraphSeries* s : full) {
            std::snprintf(buffer, sizeof buffer, "\t%.15Lg", s->YValues()[i]);
            out += buffer;
        }
    }
    return out;
}

std::string TGraphModel::FormulasText() const {
    std::array<std::string, 7> names;
    const std::vector<std::string> items =
        FTables.Table(gtCalc).CellAction(gcol::kKind, grow::kX + 1).Items;
    for (std::size_t i = 0; i < names.size() && i < items.size(); ++i)
        names[i] = items[i];
    return FSampler.FormulasText(names);
}

void TGraphModel::ExecuteGraphLines(const std::vector<std::string>& memoLines) {
    for (const TGraphTableId id : kStoredGraphTables)
        FTables.ResetTable(id);
    FTables.ApplySettingsLines(GraphLinesOf(memoLines));
    FullUpdate();
}

std::vector<std::string>
TGraphModel::GraphLinesToInsert(const std::vector<std::string>& memoLines) const {
    TGraphTables effective;
    effective.ApplySettingsLines(GraphLinesOf(memoLines));
    std::map<std::string, std::string> expected;
    for (std::string& line : effective.SettingsLines())
        expected[KeyOf(line)] = std::move(line);
    std::vector<std::string> out;
    for (const std::string& line : FTables.SettingsLines()) {
        const auto it = expected.find(KeyOf(line));
        if (it == expected.end() || it->second != line) out.push_back(kGraphPrefix + line);
    }
    return out;
}

bool TGraphModel::LoadFileText(std::string_view text) {
    if (!FTables.ReadFileText(text)) return false;
    FullUpdate();
    return true;
}

std::string TGraphModel::SaveFileText() {
    FTables.ClearUndo();
    return FTables.FileText();
}

}  // namespace rekna
