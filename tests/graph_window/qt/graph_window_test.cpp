// Widget tests of the graph window: opened from the main window on a memo's variable, a formula
// typed into its table, a mouse zoom, a marker readout, the data file with the memo.
#include "graph_window/qt/graph_window.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "graph/qt/xy_graph_view.h"
#include "graph/xy_graph.h"
#include "graph_window/qt/graph_window_hook.h"
#include "grid/qt/str_vt_grid.h"
#include "grid/vt_values.h"
#include "platform/cp932.h"
#include "shell/qt/form_memo.h"
#include "support/number_guard.h"

namespace rekna {
namespace graph_test {
QWidget* MemoWidget(TFormMemo& form);
std::vector<std::string> MemoRows(TFormMemo& form);
double MemoVariable(TFormMemo& form, const char* name);
}  // namespace graph_test
namespace {

using graph_test::MemoRows;
using graph_test::MemoWidget;

using enum TGraphTableId;

class GraphWindowTest : public ::testing::Test {
protected:
    GraphWindowTest() {
        Paths.SettingsFile = Dir.path().toStdString() + "/rekna.ini";
        Paths.SettingsFolder = Dir.path().toStdString() + "/";
        Form = std::make_unique<TFormMemo>(Paths);
        Form->AskToSave = [] { return TSaveAnswer::saNo; };
        Form->Start();
        Form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->FirstShow();
        MemoWidget(*Form)->setFocus();
        QTest::keyClicks(MemoWidget(*Form), QStringLiteral("a=0.5"));
    }
    ~GraphWindowTest() override { Form->close(); }

    // Types into a cell of a table as a user does: select it, type, Enter.
    static void TypeCell(TFormGraph& w, TGraphTableId id, int col, int row, const QString& text) {
        TStrVtGrid& grid = *w.Grid(id);
        w.activateWindow();
        w.Pages()->setCurrentWidget(&grid);
        grid.setFocus();
        grid.Grid().FocusCell(col, row, false);
        // The first key opens the cell's editor, which takes the rest.
        for (const QChar c : text) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &grid;
            QTest::keyClicks(target, QString(c));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    test::TNumberGuard Guard;
    QTemporaryDir Dir;
    TStartPaths Paths;
    std::unique_ptr<TFormMemo> Form;
};

TEST_F(GraphWindowTest, PlotsAMemoVariableZoomsAndKeepsItsData) {
    Form->Action("ActionViewGraph")->trigger();
    TFormGraph* w = GraphWindow(*Form);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_TRUE(Form->Action("ActionEditGraphSet")->isEnabled());
    TXYGraph& g = w->View()->Graph();
    TypeCell(*w, gtRange, gcol::kDivide, grow::kXAxis, QStringLiteral("100"));
    TypeCell(*w, gtCalc, gcol::kFormula, 5, QStringLiteral("a*X^2"));
    EXPECT_EQ(w->Model().Tables().Text(gtCalc, gcol::kFormula, 5), "a*X^2");
    TXYGraphSeries& s = *g.Series(3);
    ASSERT_EQ(s.Count(), 101);
    EXPECT_NEAR(static_cast<double>(s.YValues()[70]), 0.5 * 2 * 2, 1e-12);

    // A left drag zooms in on the X range; the curves are sampled over the new range.
    const TGraphRect plot = g.PlotRect();
    const QPoint from(plot.Left + plot.Width() / 4, plot.Top + 10);
    const QPoint to(plot.Left + plot.Width() / 2, plot.Bottom - 10);
    QTest::mousePress(w->View(), Qt::LeftButton, {}, from);
    QTest::mouseMove(w->View(), to);
    QTest::mouseRelease(w->View(), Qt::LeftButton, {}, to);
    EXPECT_GT(static_cast<double>(g.XAxis.Min()), -5);
    EXPECT_LT(static_cast<double>(g.XAxis.Max()), 5);
    EXPECT_NEAR(static_cast<double>(s.XValues()[0]), static_cast<double>(g.XAxis.Min()), 1e-12);

    // A marker at x = 2 gives the formula's value in the readout and the marker table.
    if (w->Button("Mkr1")->isChecked()) w->Button("Mkr1")->trigger();
    ASSERT_FALSE(g.MarkerStyle.Auto);
    const double x = static_cast<double>(g.XAxis.Min() + g.XAxis.Max()) / 2;
    w->Model().SetMarker(x);
    EXPECT_NEAR(ParseEngineering(w->Model().Tables().Text(gtMarker, 1, 5)), 0.5 * x * x,
                1e-4 * x * x);
    EXPECT_NE(w->Model().MarkerReadout().find(w->Model().Tables().Text(gtMarker, 1, 5)),
              std::string::npos);

    // The memo's own a is untouched by the sampling.
    EXPECT_EQ(graph_test::MemoVariable(*Form, "a"), 0.5);

    // Saved beside the memo and read back into a fresh table set.
    const std::string kgd = Dir.path().toStdString() + "/memo.kgd";
    ASSERT_TRUE(GraphSaveData(*Form, kgd));
    TypeCell(*w, gtCalc, gcol::kFormula, 5, QStringLiteral("1"));
    GraphMemoOpened(*Form, Dir.path().toStdString() + "/memo.txt");
    EXPECT_EQ(w->Model().Tables().Text(gtCalc, gcol::kFormula, 5), "a*X^2");
    EXPECT_EQ(w->Grid(gtCalc)->Grid().Cells(gcol::kFormula, 5), "a*X^2");
}

TEST_F(GraphWindowTest, GraphLinesGoIntoTheMemoAndBack) {
    Form->Action("ActionViewGraph")->trigger();
    TFormGraph* w = GraphWindow(*Form);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    TypeCell(*w, gtRange, gcol::kTitle, grow::kTitleRow, QStringLiteral("Parabola"));
    ASSERT_EQ(w->Model().Tables().Text(gtRange, gcol::kTitle, grow::kTitleRow), "Parabola");
    ASSERT_TRUE(Form->Action("ActionEditGraphGet")->isEnabled());
    ASSERT_EQ(w->Model().GraphLinesToInsert({}).size(), 1u);
    Form->Action("ActionEditGraphGet")->trigger();
    const std::vector<std::string> rows = MemoRows(*Form);
    ASSERT_GE(rows.size(), 3u);
    EXPECT_EQ(rows[0], "a=0.5");
    EXPECT_EQ(rows[1], "#Graph.Range.表題=ON\tParabola\t\t\t\t\t50\t3\t4");
    TypeCell(*w, gtRange, gcol::kTitle, grow::kTitleRow, QStringLiteral("Other"));
    MemoWidget(*Form)->setFocus();
    QTest::keyClick(MemoWidget(*Form), Qt::Key_End, Qt::ControlModifier);
    Form->Action("ActionEditGraphSet")->trigger();
    EXPECT_EQ(w->Model().Tables().Text(gtRange, gcol::kTitle, grow::kTitleRow), "Parabola");
    EXPECT_EQ(w->View()->Graph().Title.Text, "Parabola");

    // U and D step a width cell, never below 0, as a change with its undo step.
    TStrVtGrid& range = *w->Grid(gtRange);
    w->Pages()->setCurrentWidget(&range);
    range.setFocus();
    range.Grid().FocusCell(gcol::kSpace, grow::kXAxis, false);
    QTest::keyClicks(&range, QStringLiteral("ddu"));
    EXPECT_EQ(w->Model().Tables().Text(gtRange, gcol::kSpace, grow::kXAxis), "1");
    EXPECT_EQ(w->View()->Graph().XAxis.Title.Margin, 1);
    EXPECT_TRUE(range.Grid().CanUndo());

    // Data rows: typed points become series 11, rows come and go at the end with Ctrl+Down/Up.
    TypeCell(*w, gtData, 1, grow::kDataFirst, QStringLiteral("1"));
    TypeCell(*w, gtData, 2, grow::kDataFirst, QStringLiteral("2k"));
    EXPECT_EQ(w->View()->Graph().Series(10)->Count(), 1);
    EXPECT_EQ(static_cast<double>(w->View()->Graph().Series(10)->YValues()[0]), 2000);
    TStrVtGrid& data = *w->Grid(gtData);
    data.Grid().FocusCell(1, data.Grid().RowCount() - 1, false);
    QTest::keyClick(&data, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(w->Model().Tables().DataRows(), 11);
    EXPECT_EQ(data.Grid().Cells(0, data.Grid().RowCount() - 1), "11");
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(&data, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(w->Model().Tables().DataRows(), 5);
}

TEST_F(GraphWindowTest, TheExitKeepsTheGraphBesideTheBackup) {
    Form->Action("ActionViewGraph")->trigger();
    TFormGraph* w = GraphWindow(*Form);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    TypeCell(*w, gtCalc, gcol::kFormula, 6, QStringLiteral("a/2"));
    ASSERT_TRUE(Form->Settings().FileBackUp);
    Form->close();
    std::string kgd = Paths.BackupFile();
    kgd = kgd.substr(0, kgd.rfind('.')) + ".kgd";
    std::ifstream in(kgd, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Calc.Y[5]=ON\ta/2\t"), std::string::npos);
    EXPECT_FALSE(Form->KeptSettings()["Graph.Width"].empty());
    EXPECT_EQ(Form->KeptSettings()["Graph.Mkr"], "1");
}

TEST_F(GraphWindowTest, ATallerWindowGivesItsHeightToThePlot) {
    Form->Action("ActionViewGraph")->trigger();
    TFormGraph* w = GraphWindow(*Form);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    w->resize(720, 640);
    QApplication::processEvents();
    const int plot = w->View()->height();
    const int tables = w->Pages()->height();
    w->resize(720, 940);
    QApplication::processEvents();
    EXPECT_EQ(w->View()->height(), plot + 300);
    EXPECT_EQ(w->Pages()->height(), tables);
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Formulas typed into the window come back with the memo after a restart: saved through Save As
// under the ".kgd" name, and through Ctrl+S on a memo that has its ".txt" name already.
TEST_F(GraphWindowTest, TypedFormulasComeBackWithTheMemo) {
    struct TCase {
        const char* Name;
        const char* SaveName;
        bool CtrlS;
        const char* Formula;
    };
    for (const TCase& c :
         {TCase{"eng", "eng.kgd", false, "a*X^3"}, TCase{"plain", "plain.txt", true, "X/4"}}) {
        SCOPED_TRACE(c.Name);
        const std::string stem = Dir.path().toStdString() + "/" + c.Name;
        Form->Action("ActionViewGraph")->trigger();
        TFormGraph* w = GraphWindow(*Form);
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        Form->AskSaveName = [&](const QString&) {
            return Dir.path() + QLatin1Char('/') + QLatin1String(c.SaveName);
        };
        if (c.CtrlS) {
            ASSERT_TRUE(Form->SaveAs());
        }
        TypeCell(*w, gtCalc, gcol::kFormula, 5, QLatin1String(c.Formula));
        if (c.CtrlS) {
            // The graph window closed, the memo typed into is the active window.
            w->close();
            Form->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
            MemoWidget(*Form)->setFocus();
            QTest::keyClick(MemoWidget(*Form), Qt::Key_S, Qt::ControlModifier);
        } else {
            ASSERT_TRUE(Form->SaveAs());
        }
        EXPECT_EQ(FileText(stem + ".kgd").rfind("Calc.Calc=", 0), 0u);
        EXPECT_EQ(FileText(stem + ".txt").rfind("a=0.5", 0), 0u);
        EXPECT_NE(FileText(stem + ".kgd").find(c.Formula), std::string::npos);

        Form->close();
        Form = std::make_unique<TFormMemo>(Paths);
        Form->AskToSave = [] { return TSaveAnswer::saNo; };
        Form->Start();
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->FirstShow();
        Form->OpenPath(stem + ".txt");
        Form->Action("ActionViewGraph")->trigger();
        ASSERT_NE(GraphWindow(*Form), nullptr);
        EXPECT_EQ(GraphWindow(*Form)->Model().Tables().Text(gtCalc, gcol::kFormula, 5), c.Formula);
    }
}

// A memo's text under the ".kgd" name is no graph data: opening the memo does not take it for
// graph data, and saving replaces it only when the user agrees.
TEST_F(GraphWindowTest, AFileThatIsNoGraphDataIsNeitherLoadedNorReplacedUnasked) {
    const std::string stem = Dir.path().toStdString() + "/m";
    {
        std::ofstream(stem + ".txt", std::ios::binary) << "b=1\n";
        std::ofstream(stem + ".kgd", std::ios::binary) << "b=1\nCalc.Y[1]=OFF\n";
    }
    Form->Action("ActionViewGraph")->trigger();
    TFormGraph* w = GraphWindow(*Form);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    TypeCell(*w, gtCalc, gcol::kFormula, 5, QStringLiteral("b*X"));
    Form->OpenPath(stem + ".txt");
    EXPECT_EQ(w->Model().Tables().Text(gtCalc, gcol::kFormula, 5), "b*X");
    EXPECT_EQ(w->Model().Tables().Text(gtCalc, gcol::kVisible, 2), "ON");
    for (const bool agree : {false, true}) {
        int asked = 0;
        w->AskReplaceFile = [&](const QString&) { return ++asked, agree; };
        ASSERT_TRUE(Form->Save());
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(FileText(stem + ".kgd").rfind("Calc.Calc=", 0) == 0, agree);
    }
}

// The curves of an SVG drawing: its paths of more than 50 segments.
std::vector<std::string> Curves(const std::string& svg) {
    std::vector<std::string> curves;
    for (std::size_t at = svg.find("<path"); at != std::string::npos;
         at = svg.find("<path", at + 1)) {
        const std::string path = svg.substr(at, svg.find('>', at) - at);
        if (std::count(path.begin(), path.end(), 'L') > 50) curves.push_back(path);
    }
    return curves;
}

TEST_F(GraphWindowTest, TheBatchPlotDrawsTheWindowsCurves) {
    const std::string memo = Dir.path().toStdString() + "/plot.txt";
    {
        std::ofstream out(memo, std::ios::binary);
        out << "a=0.5\n#Graph.Calc.Y[2]=ON\ta*X^2\n"
            << Cp932ToUtf8(SysText("#Graph.Range.X-軸=ON\tX\tLin\t-4\t3\t300\n"));
    }
    const std::string svgPath = Dir.path().toStdString() + "/plot.svg";
    const std::string command = std::string("'") + REKNA_CALC_PATH + "' --plot '" + svgPath +
                                "' --size 640x400 '" + memo + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(svgPath, std::ios::binary);
    const std::string batch((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    Form->OpenPath(memo);
    Form->Action("ActionViewGraph")->trigger();
    TFormGraph* w = GraphWindow(*Form);
    ASSERT_NE(w, nullptr);
    MemoWidget(*Form)->setFocus();
    QTest::keyClick(MemoWidget(*Form), Qt::Key_End, Qt::ControlModifier);
    Form->Action("ActionEditGraphSet")->trigger();
    TXYGraph& g = w->View()->Graph();
    g.SetSize(640, 400);
    g.ClearMarkers();
    const std::vector<std::string> curves = Curves(g.CreateSvg());
    ASSERT_EQ(curves.size(), 3u);
    EXPECT_EQ(Curves(batch), curves);
}

}  // namespace
}  // namespace rekna
