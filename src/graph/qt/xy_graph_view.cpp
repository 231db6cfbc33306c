// The graph widget's painting, double buffer, mouse forwarding and clipboard copies.
#include "graph/qt/xy_graph_view.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include "graph/qt/qt_graph_canvas.h"

namespace rekna {

namespace {

TShiftState ShiftOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    TShiftState s;
    s.Shift = mods.testFlag(Qt::ShiftModifier);
    s.Ctrl = mods.testFlag(Qt::ControlModifier);
    s.Alt = mods.testFlag(Qt::AltModifier);
    s.Left = buttons.testFlag(Qt::LeftButton);
    s.Right = buttons.testFlag(Qt::RightButton);
    s.Middle = buttons.testFlag(Qt::MiddleButton);
    return s;
}

bool ToButton(Qt::MouseButton b, TMouseButton& out) {
    switch (b) {
    case Qt::LeftButton: out = TMouseButton::mbLeft; return true;
    case Qt::RightButton: out = TMouseButton::mbRight; return true;
    case Qt::MiddleButton: out = TMouseButton::mbMiddle; return true;
    default: return false;
    }
}

}  // namespace

TXYGraphView::TXYGraphView(QWidget* parent) : QWidget(parent) {
    resize(300, 200);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FGraph.OnInvalidate = [this] { Redraw(); };
}

void TXYGraphView::Redraw() {
    FStale = true;
    update();
}

void TXYGraphView::DrawInto(QPaintDevice& device) {
    QPainter painter(&device);
    TQtGraphCanvas canvas(painter, palette());
    FGraph.Draw(canvas);
    FGraph.DrawMarkers(canvas);
}

void TXYGraphView::paintEvent(QPaintEvent*) {
    FGraph.SetSize(width(), height());
    if (FGraph.Options.DoubleBuffered) {
        const qreal ratio = devicePixelRatioF();
        if (FStale || FBuffer.size() != size() * ratio) {
            FBuffer = QPixmap(size() * ratio);
            FBuffer.setDevicePixelRatio(ratio);
            DrawInto(FBuffer);
            FStale = false;
        }
        QPainter painter(this);
        painter.drawPixmap(0, 0, FBuffer);
        if (FGraph.Drag() == TGraphDrag::gdZooming) {
            // The focus rectangle, inverted over the finished drawing.
            const TGraphRect r = FGraph.DragRect();
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
            painter.drawRect(r.Left, r.Top, r.Width(), r.Height());
        }
        return;
    }
    DrawInto(*this);
    FStale = false;
}

void TXYGraphView::resizeEvent(QResizeEvent* event) {
    FGraph.SetSize(width(), height());
    FStale = true;
    QWidget::resizeEvent(event);
}

void TXYGraphView::SyncBusy() {
    const QCursor* cursor = QApplication::overrideCursor();
    FGraph.Busy = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
    FGraph.Enabled = isEnabled();
}

void TXYGraphView::mousePressEvent(QMouseEvent* event) {
    TMouseButton button{};
    if (!ToButton(event->button(), button)) return;
    SyncBusy();
    const QPoint p = event->position().toPoint();
    FGraph.MouseDown(button, p.x(), p.y(), ShiftOf(event->buttons(), event->modifiers()));
}

void TXYGraphView::mouseMoveEvent(QMouseEvent* event) {
    SyncBusy();
    const QPoint p = event->position().toPoint();
    FGraph.MouseMove(p.x(), p.y(), ShiftOf(event->buttons(), event->modifiers()));
    if (FGraph.Drag() == TGraphDrag::gdZooming) update();
}

void TXYGraphView::mouseReleaseEvent(QMouseEvent* event) {
    TMouseButton button{};
    if (!ToButton(event->button(), button)) return;
    SyncBusy();
    const bool zooming = FGraph.Drag() == TGraphDrag::gdZooming;
    const QPoint p = event->position().toPoint();
    FGraph.MouseUp(button, p.x(), p.y(), ShiftOf(event->buttons(), event->modifiers()));
    if (zooming) update();
}

QImage TXYGraphView::CreateBitmap() {
    FGraph.SetSize(width(), height());
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TQtGraphCanvas canvas(painter, palette());
    FGraph.Draw(canvas);
    return image;
}

void TXYGraphView::CopyBitmapToClipboard() {
    QApplication::clipboard()->setImage(CreateBitmap());
}

void TXYGraphView::CopyMetafileToClipboard() {
    FGraph.SetSize(width(), height());
    auto* data = new QMimeData;
    data->setData("image/svg+xml", QByteArray::fromStdString(FGraph.CreateSvg()));
    data->setImageData(CreateBitmap());
    QApplication::clipboard()->setMimeData(data);
}

}  // namespace rekna
