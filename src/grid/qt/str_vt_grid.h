// TStrVtGrid: the settings grid on the screen; it paints what its TVtGrid says and turns keys,
// the mouse, the input method and the clipboard into calls of that model.
#pragma once

#include "grid/vt_grid.h"

#include <QAbstractScrollArea>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QTimer;

namespace rekna {

class TClipboard;
class TInplaceVtEdit;
class TPopupVtList;

class TStrVtGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TStrVtGrid(QWidget* parent = nullptr);
    ~TStrVtGrid() override;

    [[nodiscard]] TVtGrid& Grid() noexcept { return FGrid; }
    [[nodiscard]] const TVtGrid& Grid() const noexcept { return FGrid; }
    // Call after changing the model's size, texts or options from program code.
    void Refresh();

    // Called before the grid draws a cell; it may change what is drawn, or draw the cell itself
    // when VtOptions().DefaultDrawing is off.
    std::function<void(QPainter& painter, int col, int row, const QRect& rect, TVtCellPaint& cell)>
        OnDrawCell;

    // The colour dialog; tests and callers may replace it. Nothing when cancelled.
    std::function<std::optional<TColor>(TColor initial)> ColorDialog;

    [[nodiscard]] int RowHeight() const noexcept { return FRowHeight; }
    [[nodiscard]] QRect CellRect(int col, int row) const;
    // The cell under a point of the viewport; (-1, -1) outside the cells.
    [[nodiscard]] TGridCoord CellAt(QPoint pos) const;
    // The cell nearest to a point, also outside the viewport, for drags.
    [[nodiscard]] TGridCoord NearestCell(QPoint pos) const;
    [[nodiscard]] TInplaceVtEdit* Editor() const noexcept;
    [[nodiscard]] TPopupVtList* PopupList() const noexcept;
    [[nodiscard]] QSize sizeHint() const override;

    // Called by the in-place editor and the drop-down list.
    void EditorClosed(bool enterKey);
    void EditorCancelled();
    void EditorKeyToGrid(TVtKey key);
    // Tab (Shift+Tab: back) in the editor: the next cell, or the next widget after the last.
    void EditorTab(bool back);
    void ListClosed(TVtListClose how, int shownIndex);
    // One typed text for the editor, filtered by its data type.
    [[nodiscard]] QString EditorText(const QString& typed) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // After every input: show or hide the editor and the list, run the colour dialog, follow
    // the current cell with the view and the input method, repaint.
    void AfterInput();
    void DragTick();
    void SyncEditor();
    void SyncList();
    void RunColorDialog();
    void SyncInputMethod();
    // Tab to the next or previous cell; false at the last (first) cell.
    bool TabKey(bool back);
    void EnsureVisible(int col, int row);
    void UpdateScrollBars();
    void PaintCell(QPainter& painter, int col, int row, const QRect& rect, bool focused);
    [[nodiscard]] int TopRow() const;
    [[nodiscard]] int LeftCol() const;
    [[nodiscard]] int VisibleRows() const;
    [[nodiscard]] bool AllRowsVisible() const;

    TVtGrid FGrid;
    std::unique_ptr<TClipboard> FClipboard;
    QPointer<TInplaceVtEdit> FEditor;
    QPointer<TPopupVtList> FList;
    // Drives the selection while a header drag holds the pointer outside the view.
    QTimer* FDragTimer = nullptr;
    int FDragTicks = 0;
    int FRowHeight = 20;
    int FWheelDelta = 0;  // the part of a row that the wheel turned so far
    bool FInAfterInput = false;
    TGridCoord FListClosedCell{-1, -1};
};

}  // namespace rekna
