// TFormPrint: the print preview window ("印刷プレビュー"): margins, spacing and answer column,
// the page tabs, the preview, the printer set-up and the page-by-page printing.
#pragma once

#include <QMessageBox>
#include <QWidget>

#include <array>
#include <functional>

#include "print/print_settings.h"
#include "print/qt/print_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabBar;

namespace rekna {

class TToolHost;
class TPrevPanel;
class TPrintSetup;

class TFormPrint : public QWidget {
public:
    TFormPrint(TToolHost& form, TPrintSetup& setup, QWidget* parent = nullptr);

    // Lays the selected page out again from the boxes, the checks and the memo.
    void ButtonViewClick();
    // Prints from the selected page on, asking for each page; the confirmed pages go to the
    // printer as one job.
    void ButtonPrintClick();
    void ButtonSetClick();
    // The boxes, checks and window place go into the main window's settings texts.
    void StoreSettings();

    [[nodiscard]] TPrevPanel* PrevPanel1() const noexcept { return FPanel; }
    [[nodiscard]] QTabBar* TabControlPage() const noexcept { return FTabs; }
    [[nodiscard]] QSpinBox* PageBox() const noexcept { return FPageBox; }
    [[nodiscard]] QLabel* LabelLineCount() const noexcept { return FLineCount; }
    [[nodiscard]] QComboBox* Box(TPrintBox box) const noexcept {
        return FBoxes[static_cast<std::size_t>(box)];
    }
    [[nodiscard]] QCheckBox* CheckBoxName() const noexcept { return FCheckName; }
    [[nodiscard]] QCheckBox* CheckBoxPage() const noexcept { return FCheckPage; }
    [[nodiscard]] QCheckBox* CheckBoxW() const noexcept { return FCheckW; }
    [[nodiscard]] QCheckBox* CheckBoxSel() const noexcept { return FCheckSel; }
    [[nodiscard]] QWidget* Panel1() const noexcept { return FTop; }

    // Replaceable for tests: the question before each page (Yes, No or Cancel), and the name of
    // the PDF file when no printer is set up (empty cancels).
    std::function<QMessageBox::StandardButton(const QString& text)> AskPrintPage;
    std::function<QString()> AskPdfName;
    // Replaceable for tests: a message (error true) or a note to the user.
    std::function<void(const QString& text, bool error)> ShowMessage;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    [[nodiscard]] TPrintChoices Choices();
    // The selection check is offered only while the memo has selected text.
    void FollowSelection();
    void ShowPrinterFailure();
    void Message(const QString& text, bool error);
    // The page box follows the tabs.
    void FollowTabs();

    TToolHost& FForm;
    TPrintSetup& FSetup;
    QWidget* FTop = nullptr;
    std::array<QComboBox*, kPrintBoxCount> FBoxes{};
    QCheckBox* FCheckName = nullptr;
    QCheckBox* FCheckPage = nullptr;
    QCheckBox* FCheckW = nullptr;
    QCheckBox* FCheckSel = nullptr;
    QPushButton* FButtonSet = nullptr;
    QPushButton* FButtonView = nullptr;
    QPushButton* FButtonPrint = nullptr;
    QPushButton* FButtonClose = nullptr;
    QLabel* FLineCount = nullptr;
    QTabBar* FTabs = nullptr;
    QSpinBox* FPageBox = nullptr;
    // The PDF file printed to last, proposed again.
    QString FLastPdf;
    QScrollArea* FScrollBox = nullptr;
    TPrevPanel* FPanel = nullptr;
    // The tab row's tag: -1 while idle, the remembered tab while the tabs are rebuilt.
    int FTabTag = -1;
    bool FRendering = false;
    // The printer failed at the last rendering: the box is not shown again until it works.
    bool FPrinterFailed = false;
};

}  // namespace rekna
