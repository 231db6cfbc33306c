// TUMemo's mouse: clicks, drags with auto-scroll, double clicks, the line-selection margin and the
// draggable wrap margin.
#include "editor/qt/umemo.h"

#include <QBitmap>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "platform/cp932.h"

namespace rekna {
namespace {

// The drag's timer: selection and auto-scroll follow the pointer at this pace.
constexpr int kDragInterval = 50;

[[nodiscard]] TShiftState ShiftOf(Qt::KeyboardModifiers m) noexcept {
    return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier),
            m.testFlag(Qt::AltModifier)};
}

}  // namespace

const QCursor& TUMemo::ReversedArrowCursor() {
    static const QCursor cursor = [] {
        // The usual arrow, mirrored: its tip at (9, 0), its tail down and to the left.
        const QPolygon arrow(
            QList<QPoint>{{9, 0}, {9, 13}, {6, 10}, {4, 15}, {2, 14}, {4, 9}, {0, 9}});
        QBitmap shape(32, 32);
        QBitmap mask(32, 32);
        shape.clear();
        mask.clear();
        {
            QPainter p(&mask);
            p.setPen(QPen(Qt::color1, 2));
            p.setBrush(Qt::color1);
            p.drawPolygon(arrow);
        }
        {
            QPainter p(&shape);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::color1);
            p.drawPolygon(arrow);
        }
        return QCursor(shape, mask, 9, 0);
    }();
    return cursor;
}

TPointerCell TUMemo::PointerCellAt(const QPoint& p) const noexcept {
    TPointerCell cell;
    cell.Row = RowAtY(p.y());
    cell.Column = Lines().LeftCol() + static_cast<double>(p.x() - FLeftMargin) / ColPitch();
    cell.InLineMargin = p.x() < FLeftMargin;
    return cell;
}

void TUMemo::UpdateHover(const QPoint& p, Qt::KeyboardModifiers modifiers) {
    const TPointerCell cell = PointerCellAt(p);
    const TUMemoWrap& wrap = FEditor->Wrap();
    const bool overWrap = OverWrapMargin(Lines(), wrap.WordWrap(), wrap.WordWrapWidth(), cell);
    FMouseMode = HoverMode(cell.InLineMargin, overWrap, modifiers.testFlag(Qt::ShiftModifier),
                           modifiers.testFlag(Qt::ControlModifier));
    switch (FMouseMode) {
    case TMouseMode::mmLineMargin: viewport()->setCursor(ReversedArrowCursor()); break;
    case TMouseMode::mmWrapMargin: viewport()->setCursor(Qt::SizeHorCursor); break;
    default: viewport()->setCursor(Qt::IBeamCursor); break;
    }
}

void TUMemo::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        FEditor->ClosePopup();
        event->ignore();  // the context menu is the host's
        return;
    }
    if (event->button() == Qt::MiddleButton) {
        PastePrimarySelection(pos);
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    FPointer = pos;
    UpdateHover(pos, event->modifiers());
    if (FMouseMode == TMouseMode::mmWrapMargin) {
        FEditor->ClosePopup();
        FWrapDragColumn = FEditor->Wrap().WordWrapWidth() + 1;
        FDragging = true;
        FDragTimer.start(kDragInterval, this);
        DragTick();
        return;
    }
    FMouseMode = FEditor->MouseDown(PointerCellAt(pos), ShiftOf(event->modifiers()));
    FDragging = true;
    FDragTimer.start(kDragInterval, this);
    event->accept();
}

void TUMemo::mouseMoveEvent(QMouseEvent* event) {
    FPointer = event->position().toPoint();
    if (!FDragging) {
        UpdateHover(FPointer, event->modifiers());
        return;
    }
    if (FMouseMode == TMouseMode::mmWrapMargin) {
        DragTick();
        return;
    }
    FEditor->MouseDrag(FMouseMode, PointerCellAt(FPointer));
}

void TUMemo::DragTick() {
    const QPoint p = FPointer;
    if (FMouseMode == TMouseMode::mmWrapMargin) {
        const auto column = static_cast<std::int32_t>(
            std::clamp(std::floor(PointerCellAt(p).Column), 2.0, TUMemoWrap::kMaxWidth + 1.0));
        if (column != FWrapDragColumn) {
            FWrapDragColumn = column;
            viewport()->update();
        }
        static const QString hint = QString::fromUtf8("折り返し位置=");
        QToolTip::showText(viewport()->mapToGlobal(p), hint + QString::number(column - 1),
                           viewport());
        return;
    }
    if (FMouseMode == TMouseMode::mmStream || FMouseMode == TMouseMode::mmBox) {
        const bool ctrl = QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
        FMouseMode = ctrl ? TMouseMode::mmBox : TMouseMode::mmStream;
    }
    // Outside the text area the view moves one step toward the pointer.
    std::int32_t dy = 0;
    std::int32_t dx = 0;
    if (p.y() < kTopMargin + 1) dy = -1;
    if (p.y() >= viewport()->height()) dy = 1;
    if (FMouseMode != TMouseMode::mmLineMargin) {
        if (p.x() < FLeftMargin) dx = -1;
        if (p.x() >= viewport()->width()) dx = 1;
    }
    if (dy != 0 || dx != 0) FEditor->ScrollView({Lines().TopRow() + dy, Lines().LeftCol() + dx});
    FEditor->MouseDrag(FMouseMode, PointerCellAt(p));
}

void TUMemo::EndWrapDrag(bool apply) {
    FDragTimer.stop();
    FDragging = false;
    QToolTip::hideText();
    const std::int32_t width = FWrapDragColumn - 1;
    FWrapDragColumn = 0;
    if (apply) FEditor->Wrap().SetWordWrapWidth(width);
    UpdateHover(FPointer, QGuiApplication::keyboardModifiers());
    viewport()->update();
}

void TUMemo::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    FPointer = event->position().toPoint();
    if (FDragging && FMouseMode == TMouseMode::mmWrapMargin) {
        EndWrapDrag(true);
        return;
    }
    FDragTimer.stop();
    FDragging = false;
    UpdateHover(FPointer, event->modifiers());
}

void TUMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const TPointerCell cell = PointerCellAt(pos);
    if (event->button() != Qt::LeftButton || cell.InLineMargin ||
        FMouseMode == TMouseMode::mmWrapMargin) {
        mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    FEditor->DoubleClick(cell, ShiftOf(event->modifiers()), &FStyle.DependenceChar);
    event->accept();
}

int TUMemo::WrapDragX() const noexcept {
    return FWrapDragColumn > 0 ? ColumnX(FWrapDragColumn) : -1;
}

void TUMemo::PaintOverlays(QPainter& p) {
    if (FDragging && FMouseMode == TMouseMode::mmWrapMargin) {
        const int x = WrapDragX();
        p.fillRect(QRect(x, 0, 1, viewport()->height()), QColor(Rgb(FStyle.ColorText)));
    }
    if (FPreedit.isEmpty()) return;
    // The composition stands at the caret, underlined, on the paper colour.
    const QRect caret = CaretRect();
    const int x =
        caret.isEmpty() ? ColumnX(Lines().Selection().CaretColumn(Lines())) : caret.left() + 1;
    const int y = RowY(Lines().Selection().Caret.Y);
    QFont font = FFont.Font();
    p.setFont(font);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(FPreedit);
    const QRect box(x, y, width + 2, CellHeight());
    p.fillRect(box, QColor(Rgb(FStyle.Color)));
    p.setPen(QColor(Rgb(FStyle.ColorText)));
    p.drawText(box.adjusted(0, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, FPreedit);
    p.fillRect(QRect(x, y + CellHeight() - 1, width, 1), QColor(Rgb(FStyle.ColorText)));
    const int cursorX = x + metrics.horizontalAdvance(FPreedit.left(FPreeditCursor));
    p.fillRect(QRect(cursorX, y, 1, CellHeight()), QColor(Rgb(FStyle.ColorText)));
}

void TUMemo::OfferPrimarySelection() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const TUMemoSelection& sel = Lines().Selection();
    FPrimaryOffered = {static_cast<std::int32_t>(sel.Mode), sel.Anchor.X, sel.Anchor.Y, sel.Caret.X,
                       sel.Caret.Y};
    if (clipboard == nullptr || !clipboard->supportsSelection() || !sel.HasSelection(Lines()))
        return;
    clipboard->setText(QString::fromStdString(Cp932ToUtf8(FEditor->GetSelText(false))),
                       QClipboard::Selection);
}

void TUMemo::PastePrimarySelection(const QPoint& pos) {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || !clipboard->supportsSelection() || FEditor->ReadOnly()) return;
    // Taken before the click moves the caret, which may end the selection it came from.
    const QString text = clipboard->text(QClipboard::Selection);
    if (text.isEmpty()) return;
    setFocus(Qt::MouseFocusReason);
    const TPointerCell cell = PointerCellAt(pos);
    if (!cell.InLineMargin) FEditor->MouseDown(cell, TShiftState{});
    FEditor->InsertClipText(Utf8ToCp932(text.toStdString()), false, false, {});
    ScrollCaretIntoView();
}

}  // namespace rekna
