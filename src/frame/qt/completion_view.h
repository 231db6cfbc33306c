// TCompletionListBox and TMemoCompletion: the completion list floating over the main window and the
// editor control's completion popup built on it.
#pragma once

#include <QListWidget>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

#include "editor/input/completion_list.h"
#include "editor/input/completion_popup.h"

namespace rekna {

class TUMemo;

// A list that never takes the keyboard: it is a child of the editor's top-level window (no
// window of its own, so it needs nothing of the window system), shown above its siblings without
// focus, so the editor keeps every key while it is open.
class TCompletionListBox : public QListWidget {
    Q_OBJECT

public:
    explicit TCompletionListBox(QWidget* parent = nullptr);

    // Shows the list with its top-left corner at pos (coordinates of its parent window), moved
    // inside the window; avoidTop is the top of the caret row: a list that does not fit below
    // goes above that row.
    void Show(QPoint pos, int avoidTop);
    void Hide();
    [[nodiscard]] bool Shown() const noexcept { return FShown; }

    // A click released over the entry it pressed: accept.
    std::function<void(bool accept)> OnPopupClose;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int FPressedRow = -1;
    bool FShown = false;
};

// The completion popup of one editor control: fills the list for the word before the caret,
// shows it under the caret and puts the chosen entry in place of the word. It is a child of the
// control and lives as long as the control does.
class TMemoCompletion final : public QObject, public TCompletionPopup {
    Q_OBJECT

public:
    // calcNames gives the calculation function names offered on calculation lines.
    TMemoCompletion(TUMemo& memo, std::function<std::vector<std::string>()> calcNames);
    // The list goes with it: it belongs to the window, which may outlive the control.
    ~TMemoCompletion() override;

    [[nodiscard]] bool IsOpen() const override;
    void Open(bool members) override;
    bool Close(bool accept) override;
    void MoveSelection(int delta) override;
    void Refill() override;

    // The list widget, made on first use; null before.
    [[nodiscard]] TCompletionListBox* List() const { return FView.data(); }
    [[nodiscard]] const TCompletionList& Entries() const noexcept { return FList; }

private:
    void EnsureView();
    void Fill();
    void ShowSelection();
    void Accept(bool accept);

    TUMemo& FMemo;
    std::function<std::vector<std::string>()> FCalcNames;
    TCompletionList FList;
    QPointer<TCompletionListBox> FView;
    bool FClosing = false;
};

}  // namespace rekna
