// TFormSet: the options dialog "Rekna - オプション設定" with its seven pages, which show the
// frame's, the engine's, the editors' and the main window's settings and apply them.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "options/options_model.h"
#include "options/options_tables.h"

class QAbstractButton;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QVBoxLayout;

namespace rekna {

class TToolHost;
class TStrVtGrid;
class TVtFrameCalc;

class TFormSet : public QDialog {
    Q_OBJECT

public:
    explicit TFormSet(TToolHost& owner);
    ~TFormSet() override;

    void ShowPage(TOptionPage page);
    [[nodiscard]] TOptionPage CurrentPage() const;
    // The middle button: the shown page applied. False (nothing applied, the notice says why)
    // while a script or a run lets events run.
    bool ApplyPage(TOptionPage page);
    // OK without closing: every page in the fixed order.
    bool ApplyAll();
    // What the program holds now, as the pages show it.
    [[nodiscard]] TOptionsState ProgramState() const;

    // The controls, for the tests and the main window.
    [[nodiscard]] QAbstractButton* Check(std::string_view action) const;
    [[nodiscard]] TStrVtGrid* Table(TOptionTable table) const;
    [[nodiscard]] QTabWidget* Pages() const noexcept { return FPages; }
    [[nodiscard]] QLabel* Notice() const noexcept { return FNotice; }

    // The font dialog; tests replace it. Nothing when cancelled.
    std::function<std::optional<QFont>(const QFont& initial)> FontDialog;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Page building (options_pages.cpp).
    QWidget* BuildChecksPage(TOptionPage page, QWidget* extra = nullptr);
    QWidget* BuildResultExtras();
    QWidget* BuildDefinitionsPage();
    QWidget* BuildEditViewExtras();
    QWidget* BuildEditActionExtras();
    QWidget* BuildHotKeyExtras();
    TStrVtGrid* MakeTable(TOptionTable table, int visibleRows);
    QCheckBox* FlagBox(const char* caption, bool TCalcOptions::*field);
    QSpinBox* Spin(const char* name, int lo, int hi);

    // Controls from the dialog's state, and back for one page.
    void LoadControls();
    void ReadControls(TOptionPage page);
    // The program takes one page of the state.
    void Push(TOptionPage page, const TOptionsState& state);
    void PushMainChecks(TOptionPage page, const TOptionsState& state);
    [[nodiscard]] bool Busy() const;
    void ChooseFont();
    void ShowFontName();
    void DefinitionRowCommand(int command);
    void RestoreGeometry();
    void SaveGeometry();

    TToolHost& FOwner;
    TVtFrameCalc& FFrame;
    TOptionsState FEdit;
    QTabWidget* FPages = nullptr;
    QLabel* FNotice = nullptr;
    std::map<std::string, QAbstractButton*, std::less<>> FChecks;
    std::vector<std::pair<QCheckBox*, bool TCalcOptions::*>> FFlags;
    std::array<TStrVtGrid*, kOptionTableCount> FTables{};
    QSpinBox* FDigits = nullptr;
    QRadioButton* FSignificant = nullptr;
    QRadioButton* FAfterPoint = nullptr;
    QLineEdit* FUsrFormat = nullptr;
    std::array<QRadioButton*, 3> FSeparator{};
    QSpinBox* FWrapWidth = nullptr;
    QSpinBox* FFontSize = nullptr;
    QLabel* FFontName = nullptr;
    QSpinBox* FTabStops = nullptr;
    QSpinBox* FRowPitch = nullptr;
    QSpinBox* FMargin = nullptr;
    QRadioButton* FIndentSpace = nullptr;
    QRadioButton* FIndentTab = nullptr;
    // The initial-calculation table was edited since it was loaded.
    bool FDefEdited = false;
};

// Opens the dialog of the main window on a page (creating and loading it when it is closed).
TFormSet& OpenOptions(TToolHost& form, std::optional<TOptionPage> page = std::nullopt);
// The dialog when it is open, or null.
[[nodiscard]] TFormSet* OpenedOptions(const TToolHost& form);
// Connects "オプション(&O)..." and "ユーザー定義関数登録(&F)..." (which opens 初期化計算).
void InstallOptions(TToolHost& form);

}  // namespace rekna
