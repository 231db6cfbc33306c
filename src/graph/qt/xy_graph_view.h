// The graph widget: paints a TXYGraph and turns mouse events into its zoom, scroll and markers.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "graph/xy_graph.h"

namespace rekna {

class TXYGraphView : public QWidget {
public:
    explicit TXYGraphView(QWidget* parent = nullptr);

    [[nodiscard]] TXYGraph& Graph() noexcept { return FGraph; }
    // Marks the drawing stale and schedules a repaint.
    void Redraw();

    // The graph drawn at the widget's size.
    [[nodiscard]] QImage CreateBitmap();
    void CopyBitmapToClipboard();
    // The picture copy: the SVG drawing, with a bitmap beside it for programs that want one.
    void CopyMetafileToClipboard();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void DrawInto(QPaintDevice& device);
    void SyncBusy();

    TXYGraph FGraph;
    QPixmap FBuffer;
    bool FStale = true;
};

}  // namespace rekna
