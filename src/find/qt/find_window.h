// TFormFind: the small tool window "ジャンプ/検索/置換" with its jump, find and replace bars,
// working on the main window's memo and answer panes.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

#include "find/find_model.h"

class QComboBox;
class QToolButton;

namespace rekna {

class TToolHost;

class TFormFind : public QWidget {
    Q_OBJECT

public:
    // Takes the case toggle and the search text from the main window's kept settings.
    explicit TFormFind(TToolHost& form);
    ~TFormFind() override;

    [[nodiscard]] TFindModel& Model() noexcept { return FModel; }
    [[nodiscard]] QComboBox* ComboBoxJump() const noexcept { return FJump; }
    [[nodiscard]] QComboBox* ComboBoxText() const noexcept { return FText; }
    [[nodiscard]] QComboBox* ComboBoxREP() const noexcept { return FReplace; }

    // The window's commands, as its buttons and keys run them.
    void Find(TFindDirection direction);
    void ReplaceAndFind(TFindDirection direction);
    void ReplaceAll();
    void JumpToRow();
    void JumpTop();
    void JumpBottom();
    // invert flips the toggle; hint and image follow the toggle either way.
    void ToggleCase(bool invert);
    // Shows the window with the memo's one-row selection as the search text.
    void Open();
    // Enabled states, hints and the main window's find commands follow the boxes.
    void UpdateStates();
    // The toggle and the search text into the main window's kept settings.
    void StoreSettings();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    [[nodiscard]] TFindPanes Panes() const;
    // Box texts into the model before a command, histories and caption back after it.
    void TakeBoxes();
    void ShowModel();
    void Place();
    // Inserts text at the cursor of a box's line edit.
    static void InsertIntoBox(QComboBox* box, const QString& text);

    TToolHost& FForm;
    TFindModel FModel;
    QComboBox* FJump = nullptr;
    QComboBox* FText = nullptr;
    QComboBox* FReplace = nullptr;
    QToolButton* FJmpTop = nullptr;
    QToolButton* FJumpBtm = nullptr;
    QToolButton* FJmpNo = nullptr;
    QToolButton* FFindDn = nullptr;
    QToolButton* FFindUp = nullptr;
    QToolButton* FStr = nullptr;
    QToolButton* FRepDn = nullptr;
    QToolButton* FRepUp = nullptr;
    QToolButton* FRepAll = nullptr;
    // The main window's top at the last placement; the window is placed again when it moved.
    int FPlacedTop = INT32_MIN;
};

}  // namespace rekna
