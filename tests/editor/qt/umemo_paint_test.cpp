// Tests of what the editor widget paints: cells, colours of kinds, marks, selection, highlights.
#include "umemo_test_helpers.h"

#include <QFontMetrics>
#include <QStyle>

namespace rekna::test {
namespace {

TEST(UMemoGeometryTest, CellsComeFromTheFont) {
    TMemoView v;
    TUMemo& m = v.Memo;
    // 11 points at 96 dpi are 15 pixels, made even.
    EXPECT_EQ(m.MemoFont().pixelSize(), 16);
    EXPECT_EQ(m.CellHeight(), QFontMetrics(m.MemoFont()).height());
    EXPECT_EQ(m.CellWidth(), m.CellHeight() / 2);
    EXPECT_EQ(m.RowPich(), 2);
    EXPECT_EQ(m.ColPich(), 0);
    EXPECT_EQ(m.RowPitch(), m.CellHeight() + 2);
    EXPECT_EQ(m.ColPitch(), m.CellWidth());
    const int bar = m.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &m);
    EXPECT_EQ(m.LeftMargin(), (bar * 3 + 2) / 4);
    EXPECT_EQ(m.ColumnX(1), m.LeftMargin());
    EXPECT_EQ(m.ColumnX(4), m.LeftMargin() + 3 * m.ColPitch());
    EXPECT_EQ(m.RowY(0), 2);
    EXPECT_EQ(m.RowY(3), 2 + 3 * m.RowPitch());
    // The inverse maps drop the remainder.
    EXPECT_EQ(m.ColumnAtX(m.ColumnX(5) + m.ColPitch() - 1), 5);
    EXPECT_EQ(m.RowAtY(m.RowY(2) + m.RowPitch() - 1), 2);
    EXPECT_EQ(m.ColumnAtX(m.LeftMargin() - 1), 0);

    QFont odd(QString::fromLatin1(TMemoFont::kPrimaryFamily));
    odd.setPixelSize(19);
    m.SetMemoFont(odd);
    EXPECT_EQ(m.MemoFont().pixelSize(), 20);
    EXPECT_EQ(m.CellWidth(), m.CellHeight() / 2);
}

TEST(UMemoGeometryTest, RowAndColumnSpacingKeepTheirRanges) {
    TMemoView v;
    TUMemo& m = v.Memo;
    const std::pair<int, int> rows[] = {{5, 5}, {0, 5}, {101, 5}, {100, 100}, {1, 1}, {-3, 1}};
    for (const auto& [set, expected] : rows) {
        m.SetRowPich(set);
        EXPECT_EQ(m.RowPich(), expected) << set;
    }
    const std::pair<int, int> cols[] = {{3, 3}, {0, 0}, {101, 0}, {100, 100}, {-1, 100}};
    for (const auto& [set, expected] : cols) {
        m.SetColPich(set);
        EXPECT_EQ(m.ColPich(), expected) << set;
    }
    m.SetColPich(4);
    EXPECT_EQ(m.ColPitch(), m.CellWidth() + 4);
    EXPECT_EQ(m.RowPitch(), m.CellHeight() + 1);
}

TEST(UMemoPaintTest, CharactersStandInTheirCells) {
    TMemoView v("H\tあH\r\n\r\nxyz");
    const QImage& img = v.Image();
    // "H" in column 1, the Tab up to column 8, "あ" over columns 9 and 10, "H" in column 11.
    const QRect h = InkBounds(img, v.Cell(0, 1, 1));
    ASSERT_FALSE(h.isEmpty());
    EXPECT_GE(h.left(), v.Memo.ColumnX(1));
    EXPECT_LT(h.right(), v.Memo.ColumnX(2));
    const QRect a = InkBounds(img, v.Cell(0, 9, 2));
    ASSERT_FALSE(a.isEmpty());
    EXPECT_LT(a.left(), v.Memo.ColumnX(10));   // in the first cell ...
    EXPECT_GE(a.right(), v.Memo.ColumnX(10));  // ... and in the second
    EXPECT_LT(a.right(), v.Memo.ColumnX(11));
    EXPECT_FALSE(InkBounds(img, v.Cell(0, 11)).isEmpty());
    // Row 2 holds its text on its own row, nothing lies on the empty row 1 but the line end.
    EXPECT_FALSE(InkBounds(img, v.Cell(2, 3)).isEmpty());
    EXPECT_TRUE(InkBounds(img, v.Cell(1, 3)).isEmpty());
    const QRect x = InkBounds(img, v.Cell(2, 1));
    EXPECT_GE(x.top(), v.Memo.RowY(2));
    EXPECT_LT(x.bottom(), v.Memo.RowY(2) + v.Memo.CellHeight());
}

TEST(UMemoPaintTest, KindsGetTheirColours) {
    TMemoView v("1+2 ;ab\r\n"         // row 0: expression, comment
                "12[mm]\r\n"          // row 1: unit in brackets
                "sin(1) sin (1)\r\n"  // row 2: function name, not a call
                "((a))\r\n"           // row 3: nested brackets
                "#Dim\r\n"            // row 4: control line
                "#>Dim x\r\n"         // row 5: VBScript line
                "①ｱ＝\r\n"            // row 6: dependence characters, full-width equals
                "label:3");           // row 7: label
    const TPaintStyle& st = v.Memo.Style();
    struct TCase {
        std::int32_t Row, Col, Width;
        TColor Expected;
    };
    const TCase cases[] = {
        {0, 1, 1, st.ColorText},    {0, 5, 1, st.ColorComment},    {0, 6, 1, st.ColorComment},
        {1, 1, 1, st.ColorText},    {1, 3, 1, st.ColorComment},    {1, 4, 1, st.ColorComment},
        {1, 6, 1, st.ColorComment}, {2, 1, 1, st.ColorKeyWord},    {2, 8, 1, st.ColorText},
        {3, 1, 1, st.ColorKakko1},  {3, 2, 1, st.ColorKakko0},     {3, 3, 1, st.ColorText},
        {3, 5, 1, st.ColorKakko1},  {4, 2, 1, st.ColorControl},    {5, 3, 1, st.ColorReserved},
        {5, 7, 1, st.ColorControl}, {6, 1, 2, st.ColorDependence}, {6, 3, 1, st.ColorDependence},
        {6, 4, 2, st.ColorDEq},     {7, 1, 1, st.ColorComment},    {7, 6, 1, st.ColorComment},
        {7, 7, 1, st.ColorText},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.Row << " col " << c.Col);
        EXPECT_INK(v.InkAt(c.Row, c.Col, c.Width), v.Rgb(c.Expected));
    }
    // Reserved words are bold: more ink than the same word without bold.
    const int bold = InkCount(v.Image(), v.Cell(5, 3, 3));
    v.Memo.SetSwitch(&TPaintStyle::BoldReserved, false);
    EXPECT_GT(bold, InkCount(v.Image(), v.Cell(5, 3, 3)));
    // Syntax colours off: the comment is drawn in ColorText.
    v.Memo.SetSwitch(&TPaintStyle::ColorOn, false);
    EXPECT_INK(v.InkAt(0, 6), v.Rgb(st.ColorText));
}

TEST(UMemoPaintTest, FileTypeChoosesTheSyntax) {
    TMemoView v("x = \"a;b\" ' c");
    v.Memo.SetColor(&TPaintStyle::ColorString, clRed);
    EXPECT_INK(v.InkAt(0, 6), v.Rgb(v.Memo.Style().ColorText));
    v.Memo.SetFileType(TFileType::ftVBScript);
    EXPECT_INK(v.InkAt(0, 6), v.Rgb(clRed));
    EXPECT_INK(v.InkAt(0, 13), v.Rgb(v.Memo.Style().ColorComment));
}

TEST(UMemoPaintTest, MarksShowTabsSpacesLineEndsAndTheEnd) {
    TMemoView v("\tx\r\nab\r\n　y");
    TUMemo& m = v.Memo;
    m.SetSwitch(&TPaintStyle::ShowUnderLine, false);
    m.SetColor(&TPaintStyle::ColorTab, clRed);
    m.SetColor(&TPaintStyle::ColorCrLf, clBlue);
    m.SetColor(&TPaintStyle::ColorDSpace, clGreen);
    m.SetColor(&TPaintStyle::ColorEof, clFuchsia);
    // Seven dots and ">" in the eight columns of the Tab, then "x" in column 9.
    for (std::int32_t col = 1; col <= 8; ++col) {
        SCOPED_TRACE(col);
        EXPECT_INK(v.InkAt(0, col), v.Rgb(clRed));
    }
    EXPECT_INK(v.InkAt(0, 9), v.Rgb(m.Style().ColorText));
    const QRect dot = InkBounds(v.Image(), v.Cell(0, 1));
    const QRect arrow = InkBounds(v.Image(), v.Cell(0, 8));
    EXPECT_GT(arrow.height(), dot.height());
    EXPECT_INK(v.InkAt(1, 3, 2), v.Rgb(clBlue));     // "↓" after "ab"
    EXPECT_INK(v.InkAt(2, 1, 2), v.Rgb(clGreen));    // "□"
    EXPECT_INK(v.InkAt(2, 4, 5), v.Rgb(clFuchsia));  // "[EOF]" after "　y"
    // Without marks nothing shows, but the cells keep their columns.
    m.SetSwitch(&TPaintStyle::ShowMark, false);
    for (std::int32_t col = 1; col <= 8; ++col)
        EXPECT_TRUE(InkBounds(v.Image(), v.Cell(0, col)).isEmpty());
    EXPECT_TRUE(InkBounds(v.Image(), v.Cell(1, 3, 2)).isEmpty());
    EXPECT_TRUE(InkBounds(v.Image(), v.Cell(2, 4, 5)).isEmpty());
    EXPECT_INK(v.InkAt(0, 9), v.Rgb(m.Style().ColorText));
    // A single switch hides its own mark only.
    m.SetSwitch(&TPaintStyle::ShowMark, true);
    m.SetSwitch(&TPaintStyle::ShowTab, false);
    EXPECT_TRUE(InkBounds(v.Image(), v.Cell(0, 1)).isEmpty());
    EXPECT_INK(v.InkAt(1, 3, 2), v.Rgb(clBlue));
}

TEST(UMemoPaintTest, EmptyDocumentShowsTheEndMark) {
    TMemoView v;
    v.Memo.SetColor(&TPaintStyle::ColorEof, clRed);
    ASSERT_EQ(v.Memo.Lines().GetCount(), 0);
    EXPECT_INK(v.InkAt(0, 1, 5), v.Rgb(clRed));
    v.Memo.SetSwitch(&TPaintStyle::ShowEof, false);
    EXPECT_TRUE(InkBounds(v.Image(), v.Cell(0, 1, 5)).isEmpty());
}

TEST(UMemoPaintTest, SelectionUsesFocusedAndUnfocusedColours) {
    TMemoView v("abcd\r\nefgh");
    TUMemo& m = v.Memo;
    v.Focus(true);
    ASSERT_TRUE(m.hasFocus());
    TUMemoStrings& s = m.Lines();
    s.BeginEdit(false);
    s.Selection().SelectStream(s, {2, 0}, {3, 0});
    s.EndEdit(false);
    const TPaintStyle& st = m.Style();
    EXPECT_EQ(v.BackAt(0, 2), v.Rgb(st.ColorSelBrush));
    EXPECT_EQ(v.BackAt(0, 3), v.Rgb(st.Color));
    EXPECT_EQ(v.BackAt(0, 1), v.Rgb(st.Color));
    EXPECT_INK(v.InkAt(0, 2), v.Rgb(st.ColorSelText));
    v.Focus(false);
    ASSERT_FALSE(m.hasFocus());
    EXPECT_EQ(v.BackAt(0, 2), v.Rgb(st.ColorSelBrushInactive));
    m.SetSwitch(&TPaintStyle::HideSelection, true);
    EXPECT_EQ(v.BackAt(0, 2), v.Rgb(st.Color));
    // A line selection covers the line-end mark.
    m.SetSwitch(&TPaintStyle::HideSelection, false);
    s.BeginEdit(false);
    s.Selection().SelectRows(s, 0, 0);
    s.EndEdit(false);
    EXPECT_EQ(v.BackAt(0, 5), v.Rgb(st.ColorSelBrushInactive));
    EXPECT_INK(v.InkAt(0, 5, 2), v.Rgb(st.ColorSelCr));
}

TEST(UMemoPaintTest, CaretRowIsUnderlined) {
    TMemoView v("ab\r\ncd\r\nef");
    TUMemo& m = v.Memo;
    m.SetColor(&TPaintStyle::ColorUnderLine, clRed);
    const auto underline = [&](std::int32_t row) {
        return v.Image().pixel(m.ColumnX(5), m.RowY(row) + m.CellHeight() - 1) | 0xFF000000u;
    };
    EXPECT_EQ(underline(0), v.Rgb(clRed));
    EXPECT_EQ(underline(1), v.Rgb(m.Style().Color));
    // Across the whole width, the margin included.
    EXPECT_EQ(v.Image().pixel(0, m.RowY(0) + m.CellHeight() - 1) | 0xFF000000u, v.Rgb(clRed));
    TUMemoStrings& s = m.Lines();
    s.BeginEdit(false);
    s.Selection().SetCaret(s, {1, 2}, TSelMode::smNone);
    s.EndEdit(false);
    EXPECT_EQ(underline(0), v.Rgb(m.Style().Color));
    EXPECT_EQ(underline(2), v.Rgb(clRed));
    m.SetSwitch(&TPaintStyle::ShowUnderLine, false);
    EXPECT_EQ(underline(2), v.Rgb(m.Style().Color));
}

TEST(UMemoPaintTest, FindMatchesAreHighlighted) {
    TMemoView v("ab_x ab xab\r\nAB");
    TUMemo& m = v.Memo;
    const QRgb find = v.Rgb(m.Style().ColorFind);
    m.SetFindText(J("ab"), {TSearchType::stWord});
    EXPECT_TRUE(m.FindOptions().Contains(TSearchType::stWord));
    EXPECT_EQ(v.BackAt(0, 1), find);  // followed by '_': a separator
    EXPECT_EQ(v.BackAt(0, 6), find);
    EXPECT_NE(v.BackAt(0, 10), find);  // preceded by a letter
    EXPECT_EQ(v.BackAt(1, 1), find);   // letter case does not count
    m.SetFindState(J("ab"), {TSearchType::stMatchCase});
    EXPECT_EQ(v.BackAt(0, 10), find);
    EXPECT_NE(v.BackAt(1, 1), find);
    m.SetFindState("", {});
    EXPECT_NE(v.BackAt(0, 1), find);
}

TEST(UMemoPaintTest, CaretBracketPairIsBoldOnItsBackground) {
    TMemoView v("(a)(b)");
    TUMemo& m = v.Memo;
    m.SetColor(&TPaintStyle::ColorKakko, clAqua);
    TUMemoStrings& s = m.Lines();
    s.BeginEdit(false);
    s.Selection().SetCaret(s, {5, 0}, TSelMode::smNone);
    s.EndEdit(false);
    EXPECT_EQ(v.BackAt(0, 4), v.Rgb(clAqua));
    EXPECT_EQ(v.BackAt(0, 6), v.Rgb(clAqua));
    EXPECT_EQ(v.BackAt(0, 1), v.Rgb(m.Style().Color));
    const int pair = InkCount(v.Image(), v.Cell(0, 4));
    EXPECT_GT(pair, InkCount(v.Image(), v.Cell(0, 1)));
}

TEST(UMemoPaintTest, KakkoHeightSizesBracketsByDepth) {
    TMemoView v("(((a)))");
    TUMemo& m = v.Memo;
    m.SetSwitch(&TPaintStyle::ShowUnderLine, false);
    // The enlarged brackets may reach a pixel into their neighbours' cells.
    const auto ink = [&](std::int32_t col) {
        return InkCount(v.Image(), QRect(v.Cell(0, col)).adjusted(1, 0, -1, 2));
    };
    const int outer = ink(1);
    const int middle = ink(2);
    const int inner = ink(3);
    const int closer = ink(7);
    m.SetSwitch(&TPaintStyle::KakkoHeight, true);
    // Innermost smaller, the next level as it was, the outer levels larger.
    EXPECT_LT(ink(3), inner);
    EXPECT_EQ(ink(2), middle);
    EXPECT_GT(ink(1), outer);
    EXPECT_GT(ink(7), closer);
    // One level alone keeps the normal size.
    v.Load("(a)");
    const int alone = ink(1);
    m.SetSwitch(&TPaintStyle::KakkoHeight, false);
    EXPECT_EQ(ink(1), alone);
}

TEST(UMemoPaintTest, PerByteColoursAndDelimiters) {
    TMemoView v("1+2");
    TUMemo& m = v.Memo;
    m.SetCharColor('+', clRed);
    EXPECT_INK(v.InkAt(0, 2), v.Rgb(m.Style().ColorText));
    m.SetSwitch(&TPaintStyle::ColorCharOn, true);
    EXPECT_INK(v.InkAt(0, 2), v.Rgb(clRed));
    EXPECT_EQ(m.CharColor('+'), clRed);
    EXPECT_EQ(m.CharColor(300), clNone);
    m.SetDelimiters("2");
    EXPECT_EQ(m.Delimiters(), "2");
    EXPECT_EQ(v.BackAt(0, 3), v.Rgb(m.Style().ColorFDelimiter));
}

TEST(UMemoPaintTest, PaperEndsAtTheWrapColumn) {
    TMemoView v("abc");
    TUMemo& m = v.Memo;
    const QRgb paper = v.Rgb(m.Style().Color);
    const QRgb back = v.Rgb(m.Style().ColorBack);
    m.Lines().SetWrapColumns(10);
    m.RepaintAll();
    EXPECT_EQ(v.BackAt(0, 10), paper);
    EXPECT_EQ(v.BackAt(0, 11), back);
    EXPECT_EQ(v.BackAt(3, 10), paper);  // below the last row too
    EXPECT_EQ(v.BackAt(3, 11), back);
    // The line-selection margin.
    EXPECT_EQ(v.Image().pixel(1, m.RowY(0) + 3) | 0xFF000000u, back);
    // The row spacing takes the background of the cell above it.
    m.SetFindText("b", {});
    EXPECT_EQ(v.Image().pixel(m.ColumnX(2) + 1, m.RowY(0) + m.CellHeight()) | 0xFF000000u,
              v.Rgb(m.Style().ColorFind));
}

TEST(UMemoPaintTest, SystemColoursComeFromThePalette) {
    QPalette pal;
    pal.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
    pal.setColor(QPalette::Active, QPalette::Highlight, QColor(4, 5, 6));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(7, 8, 9));
    pal.setColor(QPalette::Active, QPalette::Button, QColor(10, 11, 12));
    EXPECT_EQ(ToQRgb(clWindow, pal), qRgb(1, 2, 3));
    EXPECT_EQ(ToQRgb(clHighlight, pal), qRgb(4, 5, 6));
    EXPECT_EQ(ToQRgb(clGrayText, pal), qRgb(7, 8, 9));
    EXPECT_EQ(ToQRgb(clBtnFace, pal), qRgb(10, 11, 12));
    EXPECT_EQ(ToQRgb(*StringToColor("$00336699"), pal), qRgb(0x99, 0x66, 0x33));
    EXPECT_EQ(ToQRgb(kSystemColorBase | 200, pal), pal.color(QPalette::Text).rgb());
    // The widget paints with its own palette.
    TMemoView v("x");
    QPalette mine = v.Memo.palette();
    mine.setColor(QPalette::Active, QPalette::Base, QColor(200, 10, 10));
    v.Memo.setPalette(mine);
    EXPECT_EQ(v.BackAt(0, 3), qRgb(200, 10, 10));
}

}  // namespace
}  // namespace rekna::test
