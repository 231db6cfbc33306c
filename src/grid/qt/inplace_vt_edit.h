// TInplaceVtEdit: the settings grid's in-place editor, filtering typed characters by the cell's
// data type; and TPopupVtList, the grid's drop-down list.
#pragma once

#include "grid/vt_grid.h"

#include <QLineEdit>
#include <QListWidget>

namespace rekna {

class TStrVtGrid;

class TInplaceVtEdit : public QLineEdit {
    Q_OBJECT
public:
    // items: the pick list of a combo-box cell (shown with Alt+Down or F4).
    TInplaceVtEdit(TStrVtGrid* grid, TVtEditDataType type, const QStringList& items);

    // Closes without a second report when the grid closed it itself.
    void Detach() noexcept { FGrid = nullptr; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void TypeText(const QString& text);
    void PasteFirstLine();
    void Finish(bool enterKey);

    TStrVtGrid* FGrid;
    TVtEditDataType FType;
    bool FTyping = false;
};

class TPopupVtList : public QListWidget {
    Q_OBJECT
public:
    TPopupVtList(TStrVtGrid* grid, const QStringList& items, int selected, int itemHeight,
                 Qt::Alignment alignment);
    void Detach() noexcept { FGrid = nullptr; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Finish(TVtListClose how);

    TStrVtGrid* FGrid;
};

}  // namespace rekna
