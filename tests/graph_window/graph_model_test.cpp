// The graph window's core: mapping onto the graph, sampling through the engine, the value kinds,
// the commands and the #Graph. lines.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/memo_formula_list.h"
#include "graph/xy_graph.h"
#include "graph_window/graph_mapping.h"
#include "graph_window/graph_model.h"
#include "grid/vt_values.h"
#include "numbers/number_settings.h"
#include "platform/cp932.h"
#include "support/number_guard.h"

namespace rekna {
namespace {

using enum TGraphTableId;

struct TFixture {
    explicit TFixture(std::vector<std::string> memo = {}) : Memo(std::move(memo)) {
        for (const std::string& line : Memo)
            Calc.CalcLine(line, true, true, true);
        Model.Sampler().BuildMemo = [this](TVtCalc& calc, bool) {
            BuildMemoFormulas(Memo, calc, Options);
        };
        Model.PlotWidth = [] { return 123; };
    }
    void Formula(int k, const char* text) {
        Model.Tables().Table(gtCalc).SetCells(gcol::kFormula, grow::kX + k, text);
    }
    TXYGraphSeries& Series(int k) { return *Graph.Series(k - 1); }
    std::vector<std::string> Memo;
    TCalcOptions Options;
    TVtCalc Calc;
    TXYGraph Graph;
    TGraphModel Model{Calc, Graph};
};

TEST(GraphModel, ValueKinds) {
    const long double pi = std::numbers::pi_v<long double>;
    const struct {
        long double Re, Im;
        TValueKind Kind;
        long double Expected;
    } rows[] = {
        {-1, 0, TValueKind::vkArg, pi},   {-1, 0, TValueKind::vkDeg, 180},
        {3, 4, TValueKind::vkAbs, 5},     {-7, 0, TValueKind::vkAbs, 7},
        {3, 4, TValueKind::vkIm, 4},      {3, 4, TValueKind::vkRe, 3},
        {100, 0, TValueKind::vkdB20, 40}, {100, 0, TValueKind::vkdB10, 20},
        {0, 0, TValueKind::vkdB20, NAN},  {0, 0, TValueKind::vkdB10, NAN},
    };
    for (const auto& row : rows) {
        const long double v = ValueOfKind(row.Re, row.Im, row.Kind);
        if (std::isnan(row.Expected)) {
            EXPECT_TRUE(std::isnan(v));
        } else {
            EXPECT_NEAR(static_cast<double>(v), static_cast<double>(row.Expected), 1e-12);
        }
    }
}

TEST(GraphModel, AxisRanges) {
    const struct {
        long double A, B;
        TAxisScale Scale;
        long double Min, Max;
    } rows[] = {
        {-5, 5, TAxisScale::asLog, 0.05L, 5},  {5, -5, TAxisScale::asNormal, -5, 5},
        {-3, 0, TAxisScale::asLog, 0.03L, 3},  {-8, -2, TAxisScale::asAbsLog, 2, 8},
        {1, 1000, TAxisScale::asLog, 1, 1000},
    };
    for (const auto& row : rows) {
        const TAxisRange r = AxisHomeRange(row.A, row.B, row.Scale);
        EXPECT_NEAR(static_cast<double>(r.Min), static_cast<double>(row.Min), 1e-15);
        EXPECT_NEAR(static_cast<double>(r.Max), static_cast<double>(row.Max), 1e-15);
    }
}

TEST(GraphModel, DefaultTablesOnTheGraph) {
    TFixture f;
    f.Model.FullUpdate();
    const TXYGraph& g = f.Graph;
    EXPECT_TRUE(g.Title.Visible);
    EXPECT_EQ(Cp932ToUtf8(g.Title.Text), "数式グラフ");
    EXPECT_FALSE(g.Legend.Visible);
    EXPECT_FALSE(g.ZAxis.Visible);
    EXPECT_EQ(static_cast<double>(g.XAxis.Min()), -5);
    EXPECT_EQ(static_cast<double>(g.YAxis.Max()), 5);
    EXPECT_TRUE(g.XAxis.Ticks.Auto);
    EXPECT_EQ(g.Title.Font.Name, "IPAGothic");
    // X, Sin(X), Tan(X) at 123 + 1 samples (the plot width), the other series empty.
    EXPECT_EQ(f.Series(1).Count(), 124);
    EXPECT_EQ(f.Series(3).Count(), 124);
    EXPECT_EQ(f.Series(4).Count(), 0);
    EXPECT_NEAR(static_cast<double>(f.Series(2).YValues()[123]), std::sin(5.0), 1e-12);
    EXPECT_EQ(g.Series(0)->Title, "X");
    EXPECT_TRUE(g.Series(0)->ShowInLegend);
    EXPECT_FALSE(g.Series(4)->ShowInLegend);
}

TEST(GraphModel, APartThatFailsToMapIsSaidAndTheOthersAreApplied) {
    TFixture f;
    f.Model.Tables().Table(gtCalc).SetCells(gcol::kLegend, 2, "line");
    f.Model.Tables().ValidateAll();
    const std::string failed =
        ApplyGraphTables(f.Model.Tables(), f.Graph, [](std::string_view) -> long double {
            throw std::runtime_error("no range");
        });
    EXPECT_EQ(failed, "範囲: no range");
    EXPECT_EQ(f.Graph.Series(0)->Title, "line");
    f.Model.ApplyTables();
    EXPECT_EQ(f.Model.MappingFailure(), "");
}

TEST(GraphModel, TablesMapped) {
    TFixture f;
    TGraphTables& t = f.Model.Tables();
    t.Table(gtCalc).SetCells(gcol::kLegend, 2, "line");
    t.Table(gtCalc).SetCells(gcol::kWidth, 3, "15");
    t.Table(gtCalc).SetCells(gcol::kAxis, 3, "R");
    t.Table(gtRange).SetCells(gcol::kScale, grow::kYAxis, "Log");
    t.Table(gtTicks).SetCells(gcol::kStep, 1, "-2");
    t.Table(gtTicks).SetCells(gcol::kSub, 1, "1");
    t.Table(gtLine).SetCells(2, 1, "0");
    t.Table(gtRange).SetCells(gcol::kShow, grow::kLegendRow, "ON");
    t.Table(gtRange).SetCells(gcol::kScale, grow::kLegendRow, SysText("右").c_str());
    // 余白: above by the title's row, below by X, left by Y, right by R (4 when unreadable).
    t.Table(gtRange).SetCells(gcol::kMargin, grow::kTitleRow, "10");
    t.Table(gtRange).SetCells(gcol::kMargin, grow::kXAxis, "20");
    t.Table(gtRange).SetCells(gcol::kMargin, grow::kYAxis, "0");
    t.Table(gtRange).SetCells(gcol::kMargin, grow::kRAxis, "x");
    t.ValidateAll();
    f.Model.ApplyTables();
    const TXYGraph& g = f.Graph;
    EXPECT_EQ(g.Series(0)->Title, "line");
    EXPECT_EQ(g.Series(1)->Title, "Sin(X)");
    EXPECT_TRUE(g.Series(1)->ZAxis);
    EXPECT_EQ(dynamic_cast<const TXYLineSeries*>(g.Series(1))->LinePen.Width, 10);
    EXPECT_NEAR(static_cast<double>(g.YAxis.Min()), 0.05, 1e-15);
    EXPECT_FALSE(g.XAxis.Ticks.Auto);
    EXPECT_EQ(static_cast<double>(g.XAxis.Ticks.Step), 2);
    EXPECT_TRUE(g.YAxis.Ticks.Auto);
    EXPECT_FALSE(g.XAxis.SubTicks.Visible);
    EXPECT_TRUE(g.YAxis.SubTicks.Auto);
    EXPECT_EQ(g.XAxis.Axis.Width, 1);
    EXPECT_TRUE(g.Legend.Visible);
    EXPECT_EQ(g.Legend.Location, TLegendLocation::llRight);
    EXPECT_EQ(g.Legend.XPosition, 900);
    EXPECT_EQ(g.Margins, (TGraphRect{0, 10, 4, 20}));
}

TEST(GraphModel, SamplesAMemoFormulaAndLeavesTheMemoAlone) {
    NumberSettings.Fractional = true;
    TFixture f({"a=0.5", "x=3", "b=x*2"});
    f.Formula(1, "a*X^2");
    f.Formula(2, "b");
    f.Formula(3, "");
    f.Model.Tables().Table(gtRange).SetCells(gcol::kDivide, grow::kXAxis, "10");
    f.Model.FullUpdate();
    ASSERT_EQ(f.Series(1).Count(), 11);
    EXPECT_NEAR(static_cast<double>(f.Series(1).YValues()[10]), 12.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(f.Series(1).XValues()[2]), -3, 1e-15);
    // b = x*2 is evaluated per sample, with the memo's own x=3 refused while the graph has x.
    EXPECT_NEAR(static_cast<double>(f.Series(2).YValues()[0]), -10, 1e-15);
    EXPECT_EQ(f.Series(3).Count(), 0);
    EXPECT_TRUE(NumberSettings.Fractional);
    TFrac re, im;
    EXPECT_EQ(f.Calc.GetVar("x", re, im), 1);
    EXPECT_EQ(static_cast<double>(re.Value()), 3);
    EXPECT_EQ(f.Calc.GetVar("b", re, im), 1);
    EXPECT_EQ(static_cast<double>(re.Value()), 6);
    // The memo still assigns its x afterwards.
    f.Calc.CalcLine("x=4", true, true, true);
    EXPECT_EQ(f.Calc.GetVar("x", re, im), 1);
    EXPECT_EQ(static_cast<double>(re.Value()), 4);
}

TEST(GraphModel, MemoryClearBetweenCompileAndSampling) {
    TFixture f({"kk=3"});
    f.Model.Sampler().UseMemo = false;
    f.Formula(1, "kk*X");
    f.Model.Tables().Table(gtRange).SetCells(gcol::kDivide, grow::kXAxis, "2");
    f.Model.FullUpdate();
    f.Calc.Clear();
    f.Calc.CalcLine("q=1", true, true, true);
    f.Calc.CalcLine("kk=4", true, true, true);
    f.Model.ComputeAndDraw();
    EXPECT_EQ(static_cast<double>(f.Series(1).YValues()[2]), 20);
    f.Calc.Clear();
    f.Model.SetMarker(1);
    EXPECT_EQ(f.Model.Tables().Text(gtMarker, 1, 1), "1.00000");
}

TEST(GraphModel, SampleCounts) {
    const struct {
        const char* Divide;
        int N;
    } rows[] = {{"20000", 10000}, {"-4", 123}, {"0", 123}, {"7.6", 8}, {"q=9", 9}, {"zz(", 123}};
    for (const auto& row : rows) {
        TFixture f;
        f.Model.Tables().Table(gtRange).SetCells(gcol::kDivide, grow::kXAxis, row.Divide);
        EXPECT_EQ(f.Model.SampleCount(), row.N) << row.Divide;
        TFrac re, im;
        EXPECT_NE(f.Calc.GetVar("q", re, im), 1) << "a trial assigns nothing";
    }
    const std::vector<long double> xs = TGraphSampler::SampleXs(1, 1000, 3, true);
    ASSERT_EQ(xs.size(), 4u);
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(static_cast<double>(xs[k]), std::pow(10.0, k), 1e-12);
}

TEST(GraphModel, ChangesDecideTheWork) {
    TFixture f;
    f.Model.FullUpdate();
    TVtGrid& calc = f.Model.Tables().Table(gtCalc);
    TVtGrid& range = f.Model.Tables().Table(gtRange);
    const struct {
        TVtGrid* Grid;
        TGraphTableId Id;
        int Col, Row;
        const char* Text;
        bool Recompute;
    } rows[] = {
        {&calc, gtCalc, gcol::kLegend, 2, "legend", false},
        {&range, gtRange, gcol::kTitle, 1, "title", false},
        {&range, gtRange, gcol::kMin, grow::kXAxis, "-4", true},
        {&calc, gtCalc, gcol::kKind, 3, "Abs", true},
        {&calc, gtCalc, gcol::kFormula, 5, "2*X", true},
        {&calc, gtCalc, gcol::kColor, 5, "clRed", false},
    };
    for (const auto& row : rows) {
        row.Grid->SetCells(row.Col, row.Row, row.Text);
        EXPECT_EQ(f.Model.TableChanged(row.Id), row.Recompute) << row.Text;
    }
    EXPECT_EQ(f.Series(4).Count(), 124);
}

TEST(GraphModel, ZoomShiftAndCopies) {
    TFixture f;
    f.Model.Tables().Table(gtRange).SetCells(gcol::kDivide, grow::kXAxis, "4");
    f.Model.FullUpdate();
    f.Model.Zoom(gaX, 0.5);
    EXPECT_EQ(static_cast<double>(f.Graph.XAxis.Min()), -2.5);
    EXPECT_EQ(static_cast<double>(f.Series(1).XValues()[0]), -2.5);
    f.Model.Shift(gaY, -0.25);
    EXPECT_EQ(static_cast<double>(f.Graph.YAxis.Min()), -7.5);
    EXPECT_EQ(Cp932ToUtf8(f.Model.SampledDataText()).substr(0, 34),
              "-2.5\t-2.5\t-0.598472144103956\t0.747");
    const std::string c = Cp932ToUtf8(f.Model.FormulasText());
    EXPECT_EQ(c.substr(0, 9), "X(Re):= x");
    EXPECT_NE(c.find("Y[3](Re):= "), std::string::npos);
    f.Model.WriteRangeToTable();
    EXPECT_EQ(ParseEngineering(f.Model.Tables().Text(gtRange, gcol::kMin, grow::kXAxis)), -2.5);
}

TEST(GraphModel, ScrollKeepsTheGrid) {
    TFixture f;
    f.Model.Tables().Table(gtRange).SetCells(gcol::kDivide, grow::kXAxis, "10");
    f.Model.FullUpdate();
    f.Graph.XAxis.SetRange(6, -4, false);
    f.Model.Scrolled();
    ASSERT_EQ(f.Series(2).Count(), 11);
    for (int k = 0; k <= 10; ++k) {
        EXPECT_NEAR(static_cast<double>(f.Series(2).XValues()[k]), -4 + k, 1e-15);
        EXPECT_NEAR(static_cast<double>(f.Series(2).YValues()[k]), std::sin(-4.0 + k), 1e-15);
    }
}

TEST(GraphModel, MarkerColumns) {
    TFixture f({"a=0.5"});
    f.Formula(1, "a*X^2");
    f.Model.FullUpdate();
    f.Model.SetMarker(2);
    f.Model.ShiftMarkerColumns();
    f.Model.SetMarker(4);
    const TGraphTables& t = f.Model.Tables();
    EXPECT_EQ(t.Text(gtMarker, 1, 2), "8.00000");
    EXPECT_EQ(t.Text(gtMarker, 2, 2), "2.00000");
    EXPECT_EQ(t.Text(gtMarker, 6, 2), "6.00000");
    EXPECT_EQ(t.Text(gtMarker, 1, 5), "");
    f.Model.SetMarker(99);
    EXPECT_EQ(t.Text(gtMarker, 1, 1), "4.00000");
}

TEST(GraphModel, CellNumbersFitTheirColumns) {
    test::TNumberGuard guard;
    NumberSettings.AnsFormat = TAnsFormat::afFix;
    NumberSettings.AnsLength = 6;
    const struct {
        long double V;
        int Chars;
        const char* Text;
    } rows[] = {
        {2.5L, 0, "2.50000"},        {2.5L, 20, "2.50000"},      {-1234.5678L, 8, "-1234.57"},
        {-1234.5678L, 7, "-1234.6"}, {0.000123L, 8, "0.000123"}, {1e30L, 3, "1.00E30"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TGraphModel::CellNumber(row.V, 0, row.Chars), row.Text) << row.Chars;
}

TEST(GraphModel, GraphLines) {
    TFixture f;
    EXPECT_TRUE(f.Model.GraphLinesToInsert({}).empty());
    f.Model.Tables().Table(gtRange).SetCells(gcol::kTitle, 1, "T");
    const std::vector<std::string> lines = f.Model.GraphLinesToInsert({});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Cp932ToUtf8(lines[0]), "#Graph.Range.表題=ON\tT\t\t\t\t\t50\t3\t4");
    EXPECT_TRUE(f.Model.GraphLinesToInsert({"1+2", lines[0]}).empty());
    TFixture g;
    g.Model.Tables().Table(gtCalc).SetCells(gcol::kFormula, 2, "stale");
    g.Model.ExecuteGraphLines({lines[0], SysText("#Graph.Data.10=1\t2"), "#Graph.Range.X"});
    EXPECT_EQ(g.Model.Tables().Text(gtRange, gcol::kTitle, 1), "T");
    EXPECT_EQ(g.Model.Tables().Text(gtCalc, gcol::kFormula, 2), "X");
    EXPECT_EQ(g.Model.Tables().Text(gtData, 2, grow::kDataFirst + 9), "2");
    EXPECT_EQ(g.Model.Tables().Text(gtData, 2, grow::kDataFirst), "");
    EXPECT_EQ(g.Graph.Series(10)->Count(), 1);
    EXPECT_TRUE(g.Graph.Series(10)->ShowInLegend);
    EXPECT_EQ(g.Graph.Series(10)->Title, "Y1");
    EXPECT_FALSE(g.Graph.Series(11)->ShowInLegend);
}

}  // namespace
}  // namespace rekna
