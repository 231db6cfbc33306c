// The settings grid widget's geometry and painting: cells as the model describes them, grid
// lines, header bevels, the focus rectangle and the focus lines.
#include "grid/qt/str_vt_grid.h"

#include "grid/qt/inplace_vt_edit.h"
#include "platform/qt/qt_color.h"
#include "platform/qt/qt_cp932.h"

#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyleOptionFocusRect>

namespace rekna {
namespace {

constexpr int kLine = 1;

// a * weight + b * (1 - weight), channel by channel.
QColor Mix(const QColor& a, const QColor& b, double weight) {
    const auto channel = [weight](int x, int y) {
        return static_cast<int>(x * weight + y * (1 - weight) + 0.5);
    };
    return {channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue())};
}

QColor LineColor(TColor gridColor, const QPalette& palette) {
    const QColor base(ToQRgb(gridColor, palette));
    return base == QColor(192, 192, 192) ? QColor(128, 128, 128) : QColor(192, 192, 192);
}

}  // namespace

int TStrVtGrid::TopRow() const {
    return FGrid.FixedRows() + verticalScrollBar()->value();
}

int TStrVtGrid::LeftCol() const {
    return FGrid.FixedCols() + horizontalScrollBar()->value();
}

int TStrVtGrid::VisibleRows() const {
    const int free = viewport()->height() - FGrid.FixedRows() * (FRowHeight + kLine);
    return std::max(1, free / (FRowHeight + kLine));
}

bool TStrVtGrid::AllRowsVisible() const {
    return verticalScrollBar()->maximum() == 0;
}

QRect TStrVtGrid::CellRect(int col, int row) const {
    if (!FGrid.InGrid(col, row)) return {};
    if (col >= FGrid.FixedCols() && col < LeftCol()) return {};
    if (row >= FGrid.FixedRows() && row < TopRow()) return {};
    int x = 0;
    for (int c = 0; c < col; ++c) {
        if (c >= FGrid.FixedCols() && c < LeftCol()) continue;
        x += FGrid.ColWidth(c) + kLine;
    }
    const int rowIndex = row < FGrid.FixedRows() ? row : FGrid.FixedRows() + row - TopRow();
    return {x, rowIndex * (FRowHeight + kLine), FGrid.ColWidth(col), FRowHeight};
}

TGridCoord TStrVtGrid::CellAt(QPoint pos) const {
    if (pos.x() < 0 || pos.y() < 0) return {-1, -1};
    const int rowIndex = pos.y() / (FRowHeight + kLine);
    const int row =
        rowIndex < FGrid.FixedRows() ? rowIndex : TopRow() + rowIndex - FGrid.FixedRows();
    int x = 0;
    for (int c = 0; c < FGrid.ColCount(); ++c) {
        if (c >= FGrid.FixedCols() && c < LeftCol()) continue;
        x += FGrid.ColWidth(c) + kLine;
        if (pos.x() < x) return FGrid.InGrid(c, row) ? TGridCoord{c, row} : TGridCoord{-1, -1};
    }
    return {-1, -1};
}

TGridCoord TStrVtGrid::NearestCell(QPoint pos) const {
    const QRect area = viewport()->rect();
    TGridCoord cell = CellAt(
        {std::clamp(pos.x(), 0, area.width() - 1), std::clamp(pos.y(), 0, area.height() - 1)});
    // One row or column beyond the visible ones while the pointer is outside the view.
    if (cell.X < 0) cell.X = FGrid.ColCount() - 1;
    if (cell.Y < 0) cell.Y = FGrid.RowCount() - 1;
    if (pos.y() >= area.height()) ++cell.Y;
    if (pos.y() < 0) cell.Y = std::max(TopRow() - 1, FGrid.FixedRows());
    if (pos.x() >= area.width()) ++cell.X;
    if (pos.x() < 0) cell.X = std::max(LeftCol() - 1, FGrid.FixedCols());
    cell.X = std::clamp(cell.X, FGrid.FixedCols(), FGrid.ColCount() - 1);
    cell.Y = std::clamp(cell.Y, FGrid.FixedRows(), FGrid.RowCount() - 1);
    return cell;
}

QSize TStrVtGrid::sizeHint() const {
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < FGrid.ColCount(); ++c)
        width += FGrid.ColWidth(c) + kLine;
    const int rows = std::min(FGrid.RowCount(), 20);
    return {width, 2 * frameWidth() + rows * (FRowHeight + kLine)};
}

void TStrVtGrid::UpdateScrollBars() {
    const int scrollRows = FGrid.RowCount() - FGrid.FixedRows();
    const int visibleRows = VisibleRows();
    verticalScrollBar()->setRange(0, std::max(0, scrollRows - visibleRows));
    verticalScrollBar()->setPageStep(visibleRows);
    int free = viewport()->width();
    for (int c = 0; c < FGrid.FixedCols(); ++c)
        free -= FGrid.ColWidth(c) + kLine;
    int fit = 0;
    for (int c = FGrid.ColCount() - 1; c >= FGrid.FixedCols(); --c) {
        free -= FGrid.ColWidth(c) + kLine;
        if (free < 0) break;
        ++fit;
    }
    horizontalScrollBar()->setRange(0, std::max(0, FGrid.ColCount() - FGrid.FixedCols() - fit));
    horizontalScrollBar()->setPageStep(std::max(1, fit));
}

void TStrVtGrid::EnsureVisible(int col, int row) {
    if (row >= FGrid.FixedRows()) {
        if (row < TopRow()) {
            verticalScrollBar()->setValue(row - FGrid.FixedRows());
        } else if (row >= TopRow() + VisibleRows()) {
            verticalScrollBar()->setValue(row - FGrid.FixedRows() - VisibleRows() + 1);
        }
    }
    if (col >= FGrid.FixedCols()) {
        if (col < LeftCol()) {
            horizontalScrollBar()->setValue(col - FGrid.FixedCols());
        } else {
            while (horizontalScrollBar()->value() < horizontalScrollBar()->maximum()) {
                const QRect rect = CellRect(col, FGrid.FixedRows());
                if (rect.isValid() && rect.right() < viewport()->width()) break;
                horizontalScrollBar()->setValue(horizontalScrollBar()->value() + 1);
            }
        }
    }
}

void TStrVtGrid::PaintCell(QPainter& painter, int col, int row, const QRect& cellRect,
                           bool focused) {
    TVtCellPaint cell = FGrid.CellPaint(col, row, focused);
    if (OnDrawCell) OnDrawCell(painter, col, row, cellRect, cell);
    if (!FGrid.VtOptions().DefaultDrawing) return;
    const TVtFixedStyles& fixed = FGrid.VtOptions().FixedStyles;
    const bool bevelled = fixed.Bevel == TVtBevel::bvLowered || fixed.Bevel == TVtBevel::bvRaised;
    QRect fill = cellRect;
    if (cell.Fixed && bevelled) fill.adjust(0, 0, -1, -1);
    QColor fillColor(ToQRgb(cell.Fill, palette()));
    QColor textColor(ToQRgb(cell.Font, palette()));
    if (cell.Kind == TVtDrawKind::dkInactive) {
        // A grid without the focus tints its selection lightly, never brighter than the grid
        // that has it, and keeps the cells' own text colour.
        const QColor base(ToQRgb(FGrid.CellColor(col, row), palette()));
        fillColor = Mix(fillColor, base, 0.3);
        if (!cell.ColorMark) textColor = QColor(ToQRgb(FGrid.CellFontColor(col, row), palette()));
    }
    painter.fillRect(cell.Fixed && bevelled ? cellRect : fill, fillColor);

    QRect textRect = fill.adjusted(1, 1, 0, 0);
    QFont font = this->font();
    font.setBold((cell.FontStyle & fsBold) != 0);
    font.setItalic((cell.FontStyle & fsItalic) != 0);
    font.setUnderline((cell.FontStyle & fsUnderline) != 0);
    font.setStrikeOut((cell.FontStyle & fsStrikeOut) != 0);
    painter.setFont(font);
    const QString text = GridToQ(cell.Text);
    int flags = Qt::TextSingleLine;
    if (cell.AccelChar) flags |= Qt::TextShowMnemonic;
    switch (cell.Style.Layout) {
    case TVtLayout::tlTop: flags |= Qt::AlignTop; break;
    case TVtLayout::tlCenter: flags |= Qt::AlignVCenter; break;
    case TVtLayout::tlBottom: flags |= Qt::AlignBottom; break;
    }
    const int indent = cell.Style.Indent;
    TVtAlignment alignment = cell.Style.Alignment;
    // A centred text that does not fit starts at the left, so that its start stays readable.
    if (alignment == TVtAlignment::taCenter &&
        painter.fontMetrics().horizontalAdvance(text) >= textRect.width() - indent) {
        alignment = TVtAlignment::taLeftJustify;
    }
    switch (alignment) {
    case TVtAlignment::taLeftJustify:
        textRect.setLeft(textRect.left() + indent);
        flags |= Qt::AlignLeft;
        break;
    case TVtAlignment::taRightJustify:
        textRect.setRight(textRect.right() - indent);
        flags |= Qt::AlignRight;
        break;
    case TVtAlignment::taCenter: flags |= Qt::AlignHCenter; break;
    }
    painter.save();
    painter.setClipRect(fill);
    if (cell.ColorMark) {
        // The mark in its colour with a grey outline: white on white stays visible.
        const QRect box = painter.boundingRect(textRect, flags, text);
        QPainterPath path;
        path.addText(QPointF(box.left(), box.top() + painter.fontMetrics().ascent()), font, text);
        painter.fillPath(path, textColor);
        painter.strokePath(path, QPen(QColor(128, 128, 128), 1));
    } else {
        painter.setPen(textColor);
        painter.drawText(textRect, flags, text);
    }
    painter.restore();

    if (cell.FocusRect) {
        const QColor focusColor =
            cell.ColorMark ? palette().color(QPalette::Text) : QColor(ToQRgb(cell.Font, palette()));
        QPen pen(focusColor, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(fill.adjusted(0, 0, -1, -1));
    }
    if (!cell.Fixed) return;
    const QColor light(ToQRgb(fixed.HighlightColor, palette()));
    const QColor dark(ToQRgb(fixed.ShadowColor, palette()));
    const QRect r = cellRect;
    auto edges = [&painter, &r](const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    };
    switch (cell.Bevel) {
    case TVtBevel::bvLowered: edges(dark, light); break;
    case TVtBevel::bvRaised: edges(light, dark); break;
    case TVtBevel::bvSpace:
    case TVtBevel::bvNone:
        if (bevelled) edges(fillColor, fillColor);
        if (cell.Bevel == TVtBevel::bvSpace) {
            painter.setPen(light);
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
        }
        break;
    }
}

void TStrVtGrid::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Window));
    const bool focused = hasFocus() || (FEditor && FEditor->hasFocus());
    const QColor line = LineColor(FGrid.Color, palette());
    const QColor fixedLine = QColor(128, 128, 128);
    const int width = viewport()->width();
    const int height = viewport()->height();
    int gridRight = 0;
    int gridBottom = 0;
    for (int row = 0; row < FGrid.RowCount(); ++row) {
        if (row >= FGrid.FixedRows() && row < TopRow()) continue;
        const QRect first = CellRect(0, row);
        if (first.top() >= height) break;
        for (int col = 0; col < FGrid.ColCount(); ++col) {
            const QRect rect = CellRect(col, row);
            if (!rect.isValid()) continue;
            if (rect.left() >= width) break;
            PaintCell(painter, col, row, rect, focused);
            const bool fixedCell = FGrid.IsFixed(col, row);
            painter.setPen(fixedCell ? fixedLine : line);
            painter.drawLine(rect.right() + 1, rect.top(), rect.right() + 1, rect.bottom() + 1);
            painter.drawLine(rect.left(), rect.bottom() + 1, rect.right() + 1, rect.bottom() + 1);
            gridRight = std::max(gridRight, rect.right() + 1);
            gridBottom = std::max(gridBottom, rect.bottom() + 1);
        }
    }
    const TVtOptions& options = FGrid.VtOptions();
    // The lines that mark the current row and column.
    if (options.FocusedHLineColor != clNone) {
        const QRect rect = CellRect(LeftCol(), FGrid.Row());
        if (rect.isValid()) {
            painter.setPen(QColor(ToQRgb(options.FocusedHLineColor, palette())));
            painter.drawLine(rect.left(), rect.bottom() + 1, gridRight, rect.bottom() + 1);
        }
    }
    if (options.FocusedVLineColor != clNone) {
        const QRect rect = CellRect(FGrid.Col(), TopRow());
        if (rect.isValid()) {
            painter.setPen(QColor(ToQRgb(options.FocusedVLineColor, palette())));
            painter.drawLine(rect.right() + 1, rect.top(), rect.right() + 1, gridBottom);
        }
    }
}

}  // namespace rekna
