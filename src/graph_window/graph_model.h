// TGraphModel: the graph window without its widgets: the tables, the engine's sampling and the
// graph control kept in step, the markers, the data series, the tool-bar commands, the #Graph.
// lines and the graph data file.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "graph/graph_lists.h"
#include "graph_window/graph_sampler.h"
#include "graph_window/graph_tables.h"

namespace rekna {

class TVtCalc;
class TXYGraph;
class TGraphAxis;
class TXYGraphSeries;

// The memo's lines without its #Graph. lines: what the memo formula list is built from. Settings
// lines are no formulas, and a memo may hold thousands of them (data rows).
[[nodiscard]] std::vector<std::string> FormulaLinesOf(const std::vector<std::string>& memoLines);

// The axes a zoom or shift acts on, as bits.
enum TGraphAxisBit : std::uint8_t { gaX = 1, gaY = 2, gaR = 4, gaAll = 7 };

class TGraphModel {
public:
    // The graph gets the window's fifteen series (ten formula lines, five data markers).
    // The tables live in the grids given, or in grids of their own.
    TGraphModel(TVtCalc& calc, TXYGraph& graph,
                const std::array<TVtGrid*, kGraphTableCount>& grids = {});

    [[nodiscard]] TGraphTables& Tables() noexcept { return FTables; }
    [[nodiscard]] const TGraphTables& Tables() const noexcept { return FTables; }
    [[nodiscard]] TGraphSampler& Sampler() noexcept { return FSampler; }
    [[nodiscard]] TXYGraph& Graph() noexcept { return FGraph; }

    // The plot width in pixels after a layout, the sample count when 分割数 is 0.
    std::function<int()> PlotWidth;
    // Called while sampling; false stops it.
    TSampleProgress Progress;

    // --- Compiling, mapping, sampling.
    void Compile();
    void ApplyTables();
    // What the last ApplyTables could not apply (UTF-8), empty when it applied everything.
    [[nodiscard]] const std::string& MappingFailure() const noexcept { return FMappingFailure; }
    // N from the 分割数 cell (a trial), the plot width when it is 0 or less, capped.
    [[nodiscard]] int SampleCount();
    // Samples every formula over the X axis' range; false when stopped.
    bool ComputeAndDraw();
    // Compile, map, sample, the marker columns.
    void FullUpdate();
    // After a change of a table: what changed decides between compile, sampling and a repaint.
    // True when the curves were sampled again.
    bool TableChanged(TGraphTableId id);
    // The graph scrolled: the samples still in range are kept, only the new ones computed.
    void Scrolled();
    [[nodiscard]] int LastSampleCount() const noexcept { return FLastN; }

    // --- Markers (マーカー table).
    // Column 値1 at x, the formula series' markers moved when the graph's markers are not
    // automatic; nothing when x lies outside the X range.
    void SetMarker(long double x);
    // A column's X cell was edited: its values computed again (col 1..5).
    void RecomputeMarkerColumn(int col);
    void RecomputeMarkerColumns();
    // 値5 ← 値4 … 値2 ← 値1.
    void ShiftMarkerColumns();
    // The marker readout: the graph's marker text, or X and each formula's value.
    [[nodiscard]] std::string MarkerReadout() const;

    // --- The data table as series 11–15.
    void RebuildDataSeries();

    // --- Tool-bar commands.
    void Zoom(std::uint8_t axes, double factor);
    void Shift(std::uint8_t axes, double amount);
    // Y and R fitted to their data.
    void Fit();
    // The current X, Y and R ranges into the range table (one undo step).
    void WriteRangeToTable();
    // CopyT and CopyC.
    [[nodiscard]] std::string SampledDataText() const;
    [[nodiscard]] std::string FormulasText() const;

    // --- #Graph. lines; memoLines are the memo's logical lines up to the caret line.
    void ExecuteGraphLines(const std::vector<std::string>& memoLines);
    // The lines to insert after the caret line: "#Graph." + every current line that differs
    // from the defaults overridden by the memo's #Graph. lines.
    [[nodiscard]] std::vector<std::string>
    GraphLinesToInsert(const std::vector<std::string>& memoLines) const;

    // --- The graph data file (CP932 text); loading is followed by the full update. Text that is
    // not graph data is not loaded (false) and leaves the tables as they are.
    bool LoadFileText(std::string_view text);
    [[nodiscard]] std::string SaveFileText();

    // A number for a table cell in the current answer format (digits: the answer length).
    // With maxChars above 0 a longer text is written again with fewer digits (a format without
    // an exponent first turns to the exponent format with 18 digits) until it fits or only
    // 3 digits are left.
    [[nodiscard]] static std::string CellNumber(long double v, int digits = 0, int maxChars = 0);
    // The characters a cell's column holds (0: no limit), from the window's widths and font.
    std::function<int(TGraphTableId id, int col)> CellChars;

private:
    void InitGraph();
    [[nodiscard]] std::vector<TXYGraphSeries*> FormulaSeries() const;
    [[nodiscard]] std::array<std::string, 10> FormulaTexts() const;
    [[nodiscard]] std::array<TValueKind, 10> Kinds() const;
    [[nodiscard]] std::string XNameCell() const;
    [[nodiscard]] std::string CellText(TGraphTableId id, int col, long double v,
                                       int digits = 0) const;
    void FillMarkerColumn(int col, long double x, bool moveMarkers);
    void RefreshDifference();
    void AfterRangeChange(bool xChanged);

    TVtCalc& FCalc;
    TXYGraph& FGraph;
    TGraphTables FTables;
    TGraphSampler FSampler;
    // What the last compile and the last sampling used.
    std::string FCompiledName;
    std::string FMappingFailure;
    std::array<std::string, 10> FCompiledTexts;
    std::array<TValueKind, 10> FComputedKinds{};
    std::string FComputedName;
    std::array<std::string, 10> FComputedTexts;
    int FLastN = -1;
    long double FLastMin = 0;
    long double FLastMax = 0;
    TAxisScale FLastScale = TAxisScale::asNormal;
};

}  // namespace rekna
