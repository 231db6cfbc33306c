// The printer the main window prints on, the preview window it opens, the paper width for
// wrapping at the paper edge, and printing a memo to a PDF file without a window.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

class QPrinter;

namespace rekna {

class TFormMemo;
class TFormPrint;

class TPrintSetup : public QObject {
public:
    explicit TPrintSetup(TFormMemo& form);
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
    TFormMemo& FForm;
    std::unique_ptr<QPrinter> FPrinter;
    TFormPrint* FPreview = nullptr;
};

// The print set-up that InstallPrint gave the window, or null.
[[nodiscard]] TPrintSetup* PrintSetupOf(TFormMemo& form);

// Connects the print preview action and the paper width to the main window.
void InstallPrint(TFormMemo& form);

// Lays the memo that the window holds out with the stored print settings and writes every page
// to the PDF file at path; 0 on success, else 1 with the reason in error.
int PrintMemoToPdf(TFormMemo& form, const QString& path, std::string& error);

// rekna --print-to-pdf OUT.pdf [MEMO]: the window's settings file, the memo (or the backup the
// window would show), every page into OUT.pdf, no window shown. The exit code.
int RunPrintToPdf(const QStringList& arguments);

}  // namespace rekna
