// TPrevPanel: the preview's sheet of paper, showing a recorded page at a zoom, with zooming by a
// dragged rectangle and panning with the right button.
#include "print/qt/print_panel.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>

#include <utility>

namespace rekna {

TPrevPanel::TPrevPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PrevPanel1"));
    setCursor(Qt::CrossCursor);
    setAutoFillBackground(false);
}

void TPrevPanel::SetPrevScale(int scale) {
    FScale = ClampScale(scale, FScaleMin, FScaleMax);
}

void TPrevPanel::SetPrevScaleMin(int bound) {
    FScaleMin = ClampScaleBound(bound);
    SetPrevScale(FScale);
}

void TPrevPanel::SetPrevScaleMax(int bound) {
    FScaleMax = ClampScaleBound(bound);
    SetPrevScale(FScale);
}

bool TPrevPanel::SetMargins(const QPrinter& printer, const TMarginsMm& margins) {
    FMetrics = PrinterMetrics(printer);
    if (!FMetrics.Valid()) {
        hide();
        if (ReportNoPrinter) {
            ReportNoPrinter();
        } else {
            QMessageBox::critical(this, QStringLiteral("Rekna"),
                                  QStringLiteral("プリンターが設定されていません"));
        }
        return false;
    }
    FMarginRect = MarginRect(FMetrics, margins);
    if (FRecorder.State() == TPrevState::psEmpty) UpdateLayout();
    show();
    return true;
}

bool TPrevPanel::BeginDoc() {
    if (!FRecorder.BeginDoc(FMetrics)) return false;
    FPage = TPrintedPage{};
    UpdateLayout();
    return true;
}

bool TPrevPanel::Record(TPrintedPage page) {
    if (FRecorder.Canvas() == nullptr) return false;
    FPage = std::move(page);
    return true;
}

bool TPrevPanel::EndDoc() {
    if (!FRecorder.EndDoc()) return false;
    update();
    return true;
}

bool TPrevPanel::Print(QPainter& painter) {
    if (!FRecorder.CheckPrint()) return false;
    PaintPage(painter, FPage);
    return true;
}

void TPrevPanel::UpdateLayout() {
    FScreen = ScreenPage(FMetrics, FMarginRect, logicalDpiX(), logicalDpiY(), FScale);
    setFixedSize(std::max(FScreen.Width, 1), std::max(FScreen.Height, 1));
    update();
}

void TPrevPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The panel's own colour is the paper's edge that the printer cannot reach.
    p.fillRect(rect(), palette().color(QPalette::Button));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (FRecorder.State() != TPrevState::psRecorded) return;
    const TPrintRect& a = FScreen.Printable;
    p.fillRect(QRect(QPoint(a.Left, a.Top), QPoint(a.Right - 1, a.Bottom - 1)), Qt::white);
    const TPrintRect& m = FScreen.Margins;
    QPen dotted(QColor(128, 128, 128));
    dotted.setStyle(Qt::DotLine);
    p.setPen(dotted);
    p.drawRect(QRect(QPoint(m.Left - 1, m.Top - 1), QPoint(m.Right + 1, m.Bottom + 1)));
    p.save();
    p.setClipRect(QRect(QPoint(a.Left, a.Top), QPoint(a.Right - 1, a.Bottom - 1)));
    p.translate(a.Left, a.Top);
    p.scale(FScreen.Sx, FScreen.Sy);
    PaintPage(p, FPage);
    p.restore();
    if (FZoomDrag && !FDragRect.isNull()) {
        QPen dashed(Qt::black);
        dashed.setStyle(Qt::DotLine);
        p.setPen(dashed);
        p.setBrush(Qt::NoBrush);
        p.drawRect(FDragRect);
    }
}

bool TPrevPanel::MouseActive() const {
    return isEnabled() && FRecorder.State() == TPrevState::psRecorded;
}

void TPrevPanel::mousePressEvent(QMouseEvent* event) {
    if (!MouseActive()) return;
    if (event->button() == Qt::LeftButton) {
        FZoomDrag = true;
        FPress = event->position().toPoint();
        FDragRect = QRect();
    } else if (event->button() == Qt::RightButton && FScrollBox) {
        FPanDrag = true;
        FPress = event->globalPosition().toPoint();
        FPanStart = {FScrollBox->horizontalScrollBar()->value(),
                     FScrollBox->verticalScrollBar()->value()};
    }
}

void TPrevPanel::mouseMoveEvent(QMouseEvent* event) {
    if (FZoomDrag && (event->buttons() & Qt::LeftButton)) {
        FDragRect = QRect(FPress, event->position().toPoint()).normalized();
        update();
    } else if (FPanDrag && (event->buttons() & Qt::RightButton) && FScrollBox) {
        const QPoint moved = event->globalPosition().toPoint() - FPress;
        FScrollBox->horizontalScrollBar()->setValue(FPanStart.x() - moved.x());
        FScrollBox->verticalScrollBar()->setValue(FPanStart.y() - moved.y());
    } else {
        FZoomDrag = FPanDrag = false;
    }
}

void TPrevPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        FPanDrag = false;
        return;
    }
    if (event->button() != Qt::LeftButton || !FZoomDrag) return;
    FZoomDrag = false;
    FDragRect = QRect();
    const QPoint release = event->position().toPoint();
    const QSize client = FScrollBox ? FScrollBox->viewport()->size() : size();
    const TZoom z = ZoomByDrag(FScale, FScaleMin, FScaleMax, {FPress.x(), FPress.y()},
                               {release.x(), release.y()}, client.width(), client.height());
    if (z.Changed) {
        FScale = z.Scale;
        UpdateLayout();
        if (FScrollBox) {
            FScrollBox->horizontalScrollBar()->setValue(z.ScrollX);
            FScrollBox->verticalScrollBar()->setValue(z.ScrollY);
        }
        if (OnZoomed) OnZoomed();
    }
    update();
}

}  // namespace rekna
