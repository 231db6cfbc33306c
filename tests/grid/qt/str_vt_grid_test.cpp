// Tests of the settings grid widget driven by QTest keys, mouse clicks and the clipboard.
#include "grid/qt/str_vt_grid.h"

#include "grid/qt/inplace_vt_edit.h"
#include "platform/cp932.h"
#include "platform/qt/qt_color.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace rekna {
namespace {

using enum TVtCellMode;
using enum TVtEditDataType;

int Column(TVtGrid& grid, int col, TVtCellMode mode, TVtEditDataType type,
           std::vector<std::string> items = {}) {
    TVtParam param;
    param.CellActions = grid.AddCellAction({mode, type, 6, false, std::move(items)});
    const int index = grid.AddParam(param);
    grid.SetCellParam(col, 0, index);
    return index;
}

class TStrVtGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        TVtGrid& g = View.Grid();
        g.SetColCount(4);
        g.SetRowCount(4);
        g.SetCells(1, 0, SysText("値"));
        g.SetCells(2, 0, SysText("名前"));
        g.SetCells(3, 0, SysText("表示"));
        Column(g, 1, cmEdit, dtEng);
        Column(g, 2, cmEdit, dtString);
        Column(g, 3, cmList, dtString, {"ON", "OFF"});
        for (int r = 1; r < 4; ++r)
            g.SetCells(3, r, "ON");
        View.Refresh();
        View.resize(400, 200);
        View.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
        View.activateWindow();
        View.setFocus();
    }
    // Keys go where the keyboard's focus would be: the editor while it is open.
    QWidget* Target() {
        if (View.Editor() != nullptr) return View.Editor();
        return &View;
    }
    void Type(const char* text) {
        for (const char* p = text; *p != '\0'; ++p) {
            QTest::keyClick(Target(), *p);
        }
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(Target(), key, mods);
    }
    [[nodiscard]] std::string Cell(int col, int row) { return View.Grid().Cells(col, row); }

    TStrVtGrid View;
};

TEST_F(TStrVtGridTest, TypesIntoCellsThroughTheEditor) {
    Type("1");
    ASSERT_NE(View.Editor(), nullptr);
    Type(".5kx");  // "x" is not part of an engineering number
    EXPECT_EQ(Cell(1, 1), "1.5k");
    Key(Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(View.Editor(), nullptr);
    EXPECT_DOUBLE_EQ(View.Grid().Values(1, 1), 1500);
    EXPECT_FALSE(View.testAttribute(Qt::WA_InputMethodEnabled));

    // Escape puts the old text back.
    Key(Qt::Key_Right);
    EXPECT_TRUE(View.testAttribute(Qt::WA_InputMethodEnabled));
    Type("abc");
    Key(Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(Cell(2, 1), "");

    // Left at the start of the editor's text leaves it for the cell to the left.
    Type("n");
    Key(Qt::Key_Home);
    Key(Qt::Key_Left);
    QApplication::processEvents();
    EXPECT_EQ(Cell(2, 1), "n");
    EXPECT_EQ(View.Grid().Col(), 1);
    EXPECT_EQ(View.Grid().UndoList().Count(), 2u);
}

TEST_F(TStrVtGridTest, StepsAListCell) {
    Key(Qt::Key_End);
    ASSERT_EQ(View.Grid().Col(), 3);
    Key(Qt::Key_Space);
    EXPECT_EQ(Cell(3, 1), "OFF");
    Type("0");
    EXPECT_EQ(Cell(3, 1), "ON");
    Type("u");  // the drop-down order runs upwards: "u" is the next item
    EXPECT_EQ(Cell(3, 1), "OFF");
    Type("u");
    EXPECT_EQ(Cell(3, 1), "OFF");
    EXPECT_EQ(View.Editor(), nullptr);
    // Three rows selected step together.
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Space);
    EXPECT_EQ(Cell(3, 1) + Cell(3, 2) + Cell(3, 3), "ONOFFOFF");
}

TEST_F(TStrVtGridTest, PastesABlockAndUndoesIt) {
    const QRect cell = View.CellRect(1, 2);
    QTest::mouseClick(View.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(View.Grid().Row(), 2);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    QApplication::clipboard()->setText(QString::fromUtf8("2.2u\tabc\n3.3m\t名前\n"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Cell(1, 2) + "|" + Cell(2, 2) + "|" + Cell(1, 3) + "|" + Cell(2, 3),
              "2.2u|abc|3.3m|" + SysText("名前"));

    // What is painted: the selected cells in the highlight colour.
    const QImage image = View.viewport()->grab().toImage();
    const QPoint inside = View.CellRect(1, 3).topLeft() + QPoint(2, 2);
    const TVtOptions& options = View.Grid().VtOptions();
    ASSERT_TRUE(View.hasFocus());
    EXPECT_EQ(image.pixelColor(inside).rgb(), ToQRgb(options.SelectCellColor, View.palette()));

    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("2.2u\tabc\n3.3m\t名前\n"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Cell(1, 2) + Cell(2, 2) + Cell(1, 3) + Cell(2, 3), "");
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Cell(2, 2), "abc");
    Key(Qt::Key_Delete);
    EXPECT_EQ(Cell(1, 2) + Cell(2, 2) + Cell(1, 3) + Cell(2, 3), "");
}

TEST_F(TStrVtGridTest, DropDownListPicksAnItem) {
    Column(View.Grid(), 3, cmListBox, dtString, {"ON", "OFF", "AUTO"});
    Key(Qt::Key_End);
    Key(Qt::Key_Return);
    ASSERT_NE(View.PopupList(), nullptr);
    // Shown from the last item up, with the cell's item selected.
    EXPECT_EQ(View.PopupList()->item(0)->text(), QString("AUTO"));
    EXPECT_EQ(View.PopupList()->currentRow(), 2);
    QTest::keyClick(View.PopupList(), Qt::Key_Up);
    QTest::keyClick(View.PopupList(), Qt::Key_Return);
    EXPECT_EQ(View.PopupList(), nullptr);
    EXPECT_EQ(Cell(3, 1), "OFF");
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Cell(3, 1), "ON");
}

TEST_F(TStrVtGridTest, ColourCellsUseTheDialog) {
    TVtGrid& g = View.Grid();
    Column(g, 2, cmColor, dtColor);
    g.SetCells(2, 1, "clRed");
    std::optional<TColor> asked;
    View.ColorDialog = [&asked](TColor initial) -> std::optional<TColor> {
        asked = initial;
        return clBlue;
    };
    Key(Qt::Key_Right);
    Key(Qt::Key_Return);
    ASSERT_TRUE(asked.has_value());
    EXPECT_EQ(*asked, clRed);
    EXPECT_EQ(Cell(2, 1), "clBlue");
}

// Without the focus the selection is a light tint, never the full highlight; a colour cell's
// mark keeps its colour while current, and a white mark has an outline on a white cell.
TEST_F(TStrVtGridTest, PaintsColourMarksAndTheSelectionWithoutFocus) {
    TVtGrid& g = View.Grid();
    Column(g, 2, cmColor, dtColor);
    g.SetCells(2, 1, "clRed");
    g.SetCells(2, 2, "clWhite");
    g.FocusCell(2, 1, false);
    View.Refresh();
    const auto count = [](const QImage& image, const QRect& rect, auto test) {
        int n = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                n += test(image.pixelColor(x, y)) ? 1 : 0;
        return n;
    };
    QImage image = View.viewport()->grab().toImage();
    EXPECT_GT(
        count(image, View.CellRect(2, 1), [](QColor c) { return c.rgb() == qRgb(255, 0, 0); }), 4);
    const QRect white = View.CellRect(2, 2);
    EXPECT_GT(count(image, white, [](QColor c) { return c.red() < 200; }), 4);

    View.clearFocus();
    QWidget other;
    other.show();
    other.activateWindow();
    other.setFocus();
    QApplication::processEvents();
    ASSERT_FALSE(View.hasFocus());
    g.FocusCell(1, 3, false);
    View.Refresh();
    image = View.viewport()->grab().toImage();
    const QColor highlight(ToQRgb(g.VtOptions().InActiveCellColor, View.palette()));
    const QColor inside = image.pixelColor(View.CellRect(1, 3).topLeft() + QPoint(2, 2));
    EXPECT_NE(inside.rgb(), highlight.rgb());
    EXPECT_GT(inside.lightness(), highlight.lightness());
}

// Tab and Shift+Tab go from cell to cell, row by row, also out of the editor (keeping its
// text); past the last cell the focus moves on. The wheel scrolls by rows, half notches too.
TEST(TStrVtGridKeys, TabMovesBetweenCellsAndTheWheelScrolls) {
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    auto* grid = new TStrVtGrid;
    auto* after = new QLineEdit;
    layout->addWidget(grid);
    layout->addWidget(after);
    TVtGrid& g = grid->Grid();
    g.SetColCount(3);
    g.SetRowCount(30);
    grid->Refresh();
    grid->setFixedHeight(150);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    host.activateWindow();
    grid->setFocus();
    const auto at = [&g] { return std::to_string(g.Col()) + "," + std::to_string(g.Row()); };
    const auto target = [grid]() -> QWidget* {
        return grid->Editor() != nullptr ? static_cast<QWidget*>(grid->Editor()) : grid;
    };
    QTest::keyClick(target(), Qt::Key_Tab);
    EXPECT_EQ(at(), "2,1");
    QTest::keyClick(target(), Qt::Key_Tab);
    EXPECT_EQ(at(), "1,2");
    QTest::keyClick(target(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(at(), "2,1");
    QTest::keyClick(target(), 'a');
    QTest::keyClick(target(), 'b');
    ASSERT_NE(grid->Editor(), nullptr);
    QTest::keyClick(target(), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(grid->Editor(), nullptr);
    EXPECT_EQ(g.Cells(2, 1), "ab");
    EXPECT_EQ(at(), "1,2");
    EXPECT_TRUE(grid->hasFocus());

    QScrollBar* bar = grid->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const auto wheel = [grid](int delta) {
        QWheelEvent event(QPointF(20, 20), grid->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
    };
    wheel(-120);
    EXPECT_EQ(bar->value(), 1);
    wheel(-60);
    EXPECT_EQ(bar->value(), 1);
    wheel(-60);
    EXPECT_EQ(bar->value(), 2);
    wheel(240);
    EXPECT_EQ(bar->value(), 0);

    g.FocusCell(2, 29, false);
    QTest::keyClick(target(), Qt::Key_Tab);
    EXPECT_EQ(at(), "2,29");
    EXPECT_TRUE(after->hasFocus());
}

}  // namespace
}  // namespace rekna
