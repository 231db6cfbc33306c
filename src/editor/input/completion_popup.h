// TCompletionPopup: the completion list as the editor's key handling sees it.
#pragma once

namespace rekna {

// The editor asks it whether it is open and hands it the keys it takes while open. An editor
// without one behaves as if the list were always closed.
class TCompletionPopup {
public:
    TCompletionPopup() = default;
    TCompletionPopup(const TCompletionPopup&) = delete;
    TCompletionPopup& operator=(const TCompletionPopup&) = delete;
    virtual ~TCompletionPopup() = default;

    [[nodiscard]] virtual bool IsOpen() const = 0;
    // members: opened by typing "." in a script (the names after an object).
    virtual void Open(bool members) = 0;
    // Hides an open list; with accept its entry replaces the word at the caret. False when it was
    // not open.
    virtual bool Close(bool accept) = 0;
    // Moves the selected entry by delta rows.
    virtual void MoveSelection(int delta) = 0;
    // Fills the list again for the word at the caret after typing, Backspace, Left or Right.
    virtual void Refill() = 0;
};

}  // namespace rekna
