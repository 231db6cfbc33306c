// Tests of the widget's incremental painting, scrolling and caret.
#include "umemo_test_helpers.h"

#include <QScrollBar>
#include <QWheelEvent>

#include <functional>

namespace rekna::test {
namespace {

// Forty lines of memo text with comments, brackets and Japanese text.
std::string Memo40() {
    std::string text;
    for (int i = 0; i < 40; ++i) {
        if (i > 0) text += "\r\n";
        text += "x" + std::to_string(i) + " = sin(" + std::to_string(i) + "*(1+2)) ;角度 " +
                std::to_string(i) + "[deg]\tあいう";
    }
    return text;
}

void Edit(TUMemo& m, const std::function<void(TUMemoStrings&)>& change) {
    TUMemoStrings& s = m.Lines();
    s.BeginEdit(false);
    change(s);
    s.EndEdit(false);
}

// The canvas after the incremental repaints must equal a full repaint of the same state.
void ExpectSameAsFullRepaint(TUMemo& m, const char* what) {
    const QImage incremental = m.Canvas().copy();
    m.RepaintAll();
    EXPECT_TRUE(incremental == m.Canvas()) << what;
}

TEST(UMemoViewTest, IncrementalRepaintsLeaveWhatAFullRepaintPaints) {
    // Narrow enough that the wrapped rows can scroll sideways.
    TMemoView v(Memo40(), QSize(260, 240));
    TUMemo& m = v.Memo;
    m.Lines().SetWrapColumns(30);
    m.RepaintAll();
    struct TStep {
        const char* What;
        std::function<void(TUMemo&)> Do;
    };
    const TStep steps[] = {
        {"put", [](TUMemo& t) { Edit(t, [](TUMemoStrings& s) { s.Put(3, "(((changed)))"); }); }},
        {"insert",
         [](TUMemo& t) { Edit(t, [](TUMemoStrings& s) { s.Insert(2, J("新しい;行")); }); }},
        {"delete", [](TUMemo& t) { Edit(t, [](TUMemoStrings& s) { s.Delete(1); }); }},
        {"caret into a pair",
         [](TUMemo& t) {
             Edit(t, [](TUMemoStrings& s) {
                 s.Selection().SetCaret(s, {12, 4}, TSelMode::smNone);
             });
         }},
        {"stream selection",
         [](TUMemo& t) {
             Edit(t, [](TUMemoStrings& s) { s.Selection().SelectStream(s, {3, 5}, {6, 8}); });
         }},
        {"box selection",
         [](TUMemo& t) {
             Edit(t, [](TUMemoStrings& s) { s.Selection().SelectBox(s, {2, 6}, {9, 9}); });
         }},
        {"scroll down", [](TUMemo& t) { t.SetTopRow(3); }},
        {"scroll up", [](TUMemo& t) { t.SetTopRow(1); }},
        {"scroll right",
         [](TUMemo& t) {
             t.SetLeftCol(5);
             EXPECT_EQ(t.Lines().LeftCol(), 5);
         }},
        {"scroll left", [](TUMemo& t) { t.SetLeftCol(2); }},
        {"edit above the view",
         [](TUMemo& t) { Edit(t, [](TUMemoStrings& s) { s.Put(0, ";all comment now"); }); }},
        {"find", [](TUMemo& t) { t.SetFindText("sin", {}); }},
        {"scroll far", [](TUMemo& t) { t.SetTopRow(60); }},
        {"rewrap", [](TUMemo& t) { Edit(t, [](TUMemoStrings& s) { s.SetWrapColumns(0); }); }},
    };
    for (const TStep& step : steps) {
        step.Do(m);
        ExpectSameAsFullRepaint(m, step.What);
    }
}

TEST(UMemoViewTest, OnlyChangedRowsArePainted) {
    TMemoView v(Memo40());
    TUMemo& m = v.Memo;
    Edit(m, [](TUMemoStrings& s) { s.Put(3, "changed"); });
    EXPECT_FALSE(m.LastRepaint().Full);
    EXPECT_EQ(m.LastRepaint().Rows, std::vector<std::int32_t>{3});
    EXPECT_EQ(m.Lines().RowMark(3), TRowMark::rmNone);  // painted whole, so cleared
    Edit(m, [](TUMemoStrings& s) { s.Selection().SetCaret(s, {1, 5}, TSelMode::smNone); });
    EXPECT_EQ(m.LastRepaint().Rows, (std::vector<std::int32_t>{0, 5}));
    // Scrolling moves the pixels and paints the uncovered rows only.
    m.SetTopRow(2);
    EXPECT_EQ(m.LastRepaint().ScrollRows, 2);
    EXPECT_LE(m.LastRepaint().Rows.size(), 3u);
    ExpectSameAsFullRepaint(m, "scrolled");
}

TEST(UMemoViewTest, ScrollBarsAndWheelMoveTheView) {
    TMemoView v(Memo40());
    TUMemo& m = v.Memo;
    QScrollBar* bar = m.verticalScrollBar();
    EXPECT_EQ(bar->maximum(), 40 + 1 + 1 - m.FullPageRows());
    bar->setValue(5);
    EXPECT_EQ(m.Lines().TopRow(), 5);
    EXPECT_EQ(m.LastRepaint().ScrollRows, 5);
    QWheelEvent down(QPointF(50, 50), m.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(m.viewport(), &down);
    EXPECT_EQ(m.Lines().TopRow(), 6);
    EXPECT_EQ(bar->value(), 6);
    m.SetTopRow(1000);
    EXPECT_EQ(m.Lines().TopRow(), bar->maximum());
    m.SetTopRow(-4);
    EXPECT_EQ(m.Lines().TopRow(), 0);
    ExpectSameAsFullRepaint(m, "scroll bars");
    TMemoView narrow(Memo40(), QSize(200, 200));
    ASSERT_GT(narrow.Memo.horizontalScrollBar()->maximum(), 3);
    narrow.Memo.horizontalScrollBar()->setValue(3);
    EXPECT_EQ(narrow.Memo.Lines().LeftCol(), 4);
    ExpectSameAsFullRepaint(narrow.Memo, "sideways");
}

TEST(UMemoViewTest, WrappingWhileScrolledSidewaysBringsTheTextBack) {
    // Scrolled far to the right over long rows, then wrapped at the window's edge.
    TMemoView v(Memo40() + "\r\n" + std::string(300, '1'), QSize(260, 240));
    TUMemo& m = v.Memo;
    m.SetLeftCol(250);
    ASSERT_EQ(m.Lines().LeftCol(), 250);
    m.Editor().Wrap().SetWordWrap(TWordWrapType::wtRight);
    EXPECT_LE(m.Lines().LeftCol(), m.Editor().ViewPage().MaxLeftCol);
    EXPECT_EQ(m.horizontalScrollBar()->value(), m.Lines().LeftCol() - 1);
    EXPECT_FALSE(InkBounds(m.Canvas(), v.Cell(0, m.Lines().LeftCol(), 10)).isEmpty());
    ExpectSameAsFullRepaint(m, "wrapped");
}

TEST(UMemoViewTest, CaretIsScrolledIntoView) {
    TMemoView v(Memo40(), QSize(240, 240));
    TUMemo& m = v.Memo;
    const std::int32_t rows = m.FullPageRows();
    Edit(m, [](TUMemoStrings& s) { s.Selection().SetCaret(s, {1, 30}, TSelMode::smNone); });
    m.ScrollCaretIntoView();
    // The caret keeps one row to the bottom edge.
    EXPECT_EQ(m.Lines().TopRow(), 30 - (rows - 1 - m.ScrollMargins().Bottom));
    Edit(m, [](TUMemoStrings& s) { s.Selection().SetCaret(s, {1, 2}, TSelMode::smNone); });
    m.ScrollCaretIntoView();
    EXPECT_EQ(m.Lines().TopRow(), 2 - m.ScrollMargins().Top);
    Edit(m, [](TUMemoStrings& s) { s.Selection().SetCaret(s, {40, 2}, TSelMode::smNone); });
    m.ScrollCaretIntoView();
    const std::int32_t column = m.Lines().Selection().CaretColumn(m.Lines());
    EXPECT_EQ(m.Lines().LeftCol(), column - (m.FullPageCols() - 1 - m.ScrollMargins().Right));
    ExpectSameAsFullRepaint(m, "caret scrolled");
}

TEST(UMemoViewTest, CaretIsABarOnTheCharacterBoundary) {
    TMemoView v("abc\r\nあい");
    TUMemo& m = v.Memo;
    v.Focus(false);
    EXPECT_TRUE(m.CaretRect().isEmpty());  // no focus, no caret
    v.Focus(true);
    Edit(m, [](TUMemoStrings& s) { s.Selection().SetCaret(s, {3, 1}, TSelMode::smNone); });
    const QRect bar = m.CaretRect();
    // Byte 3 of the row follows "あ", which covers columns 1 and 2.
    EXPECT_EQ(bar, QRect(m.ColumnX(3) - 1, m.RowY(1), 2, m.CellHeight()));
    m.Editor().SetInsertMode(false);
    const QRect block = m.CaretRect();
    EXPECT_EQ(block.left(), m.ColumnX(3));
    EXPECT_EQ(block.width(), 2 * m.ColPitch());  // over the double-byte character
    EXPECT_EQ(block.bottom(), m.RowY(1) + m.CellHeight() - 1);
    // The caret is drawn over the canvas, never into it.
    const QImage shown = m.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(shown.pixel(block.center()), m.Canvas().pixel(block.center()));
}

TEST(UMemoViewTest, JapaneseTextKeepsTwoCellsPerCharacter) {
    TMemoView v("あいうえおabc");
    const QImage& img = v.Image();
    for (std::int32_t col = 1; col <= 9; col += 2) {
        const QRect ink = InkBounds(img, v.Cell(0, col, 2));
        ASSERT_FALSE(ink.isEmpty()) << col;
        EXPECT_GE(ink.left(), v.Memo.ColumnX(col));
        EXPECT_LT(ink.right(), v.Memo.ColumnX(col + 2));
    }
    EXPECT_FALSE(InkBounds(img, v.Cell(0, 11)).isEmpty());
    const QRect c = InkBounds(img, v.Cell(0, 13));
    EXPECT_GE(c.left(), v.Memo.ColumnX(13));
}

}  // namespace
}  // namespace rekna::test
