// The printer the main window prints on, the preview window it opens, the paper width for
// wrapping at the paper edge, and printing the memo to a PDF file.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <string>

class QPrinter;

namespace rekna {

class TToolHost;
class TFormPrint;

class TPrintSetup : public QObject {
public:
    explicit TPrintSetup(TToolHost& form);
    ~TPrintSetup() override;

    // The printer, made on first use: the system's default printer, or a PDF file when no
    // printer is set up.
    [[nodiscard]] QPrinter& Printer();
    // The printable width in characters of the memo's font, from the stored print settings.
    [[nodiscard]] int PaperColumns();
    // Opens the preview window (made once, then shown again).
    void ShowPreview();
    [[nodiscard]] TFormPrint* Preview() const noexcept { return FPreview; }

private:
    TToolHost& FForm;
    std::unique_ptr<QPrinter> FPrinter;
    TFormPrint* FPreview = nullptr;
};

// The print set-up that InstallPrint gave the window, or null.
[[nodiscard]] TPrintSetup* PrintSetupOf(TToolHost& form);

// Connects the print preview action and the paper width to the main window.
void InstallPrint(TToolHost& form);

// Lays the memo that the window holds out with the stored print settings and writes every page
// to the PDF file at path; 0 on success, else 1 with the reason in error.
int PrintMemoToPdf(TToolHost& form, const QString& path, std::string& error);

}  // namespace rekna
