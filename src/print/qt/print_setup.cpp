// The printer the main window prints on, the preview window it opens, the paper width for
// wrapping at the paper edge, and printing the memo to a PDF file.
#include "print/qt/print_setup.h"

#include <QAction>
#include <QFontMetricsF>
#include <QMainWindow>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

#include "frame/qt/tool_host.h"
#include "frame/qt/vt_frame_calc.h"
#include "print/qt/print_form.h"
#include "print/qt/print_page.h"

namespace rekna {

TPrintSetup::TPrintSetup(TToolHost& form) : QObject(&form.Window()), FForm(form) {
    setObjectName(QStringLiteral("PrintSetup"));
}

TPrintSetup::~TPrintSetup() = default;

QPrinter& TPrintSetup::Printer() {
    if (!FPrinter) {
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (QPrinterInfo::availablePrinterNames().isEmpty())
            FPrinter->setOutputFormat(QPrinter::PdfFormat);
        ApplyStoredPaper(*FPrinter, ReadPrintSettings(FForm.KeptSettings()));
    }
    return *FPrinter;
}

int TPrintSetup::PaperColumns() {
    QPrinter& printer = Printer();
    const TPrintMetrics m = PrinterMetrics(printer);
    if (!m.Valid()) return rekna::PaperColumns(FForm.KeptSettings(), m, 0, true);
    const QFontMetricsF metrics(PrinterFont(FForm, m.DpiY), &printer);
    const int twoChars =
        static_cast<int>(std::lround(metrics.horizontalAdvance(QStringLiteral("__"))));
    const QAction* answerPane = FForm.Action("ActionWindowAns");
    return rekna::PaperColumns(FForm.KeptSettings(), m, twoChars,
                               answerPane == nullptr || answerPane->isChecked());
}

void TPrintSetup::ShowPreview() {
    if (!FPreview) {
        FPreview = new TFormPrint(FForm, *this, &FForm.Window());
        if (QAction* a = FForm.Action("ActionPrintView")) a->setData(1);
    }
    if (FPreview->isMinimized()) FPreview->showNormal();
    FPreview->show();
    FPreview->raise();
    FPreview->activateWindow();
}

TPrintSetup* PrintSetupOf(TToolHost& form) {
    return dynamic_cast<TPrintSetup*>(form.Window().findChild<QObject*>(
        QStringLiteral("PrintSetup"), Qt::FindDirectChildrenOnly));
}

void InstallPrint(TToolHost& form) {
    auto* setup = new TPrintSetup(form);
    if (QAction* a = form.Action("ActionPrintView")) {
        a->setEnabled(true);
        a->setStatusTip(a->toolTip());
        QObject::connect(a, &QAction::triggered, setup, [setup] { setup->ShowPreview(); });
    }
    form.VtFrameCalc1()->OnGetPaperColWidth = [setup](int& columns) {
        columns = setup->PaperColumns();
    };
}

int PrintMemoToPdf(TToolHost& form, const QString& path, std::string& error) {
    TPrintSetup* setup = PrintSetupOf(form);
    if (!setup) setup = new TPrintSetup(form);
    QPrinter& printer = setup->Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    // A new output format may bring the engine's own paper: the kept one holds.
    const TPrintSettings settings = ReadPrintSettings(form.KeptSettings());
    ApplyStoredPaper(printer, settings);
    TVtFrameCalc* frame = form.VtFrameCalc1();
    if (const QAction* paper = form.Action("ActionViewWrapPaper"); paper && paper->isChecked())
        frame->ActionViewWrap0Execute();
    const TPrintChoices choices = StoredChoices(settings, false);
    if (!PrinterMetrics(printer).Valid()) {
        error = "the PDF page has no size";
        return 1;
    }
    const TPrintedMemo memo = FlowMemo(form, printer, choices);
    if (memo.Flow.Pages == 0) {
        error = "nothing to print: the memo has no text";
        return 1;
    }
    TPdfTarget target(printer, path);
    QPainter painter;
    if (!target.Begin(painter, error)) return 1;
    for (int p = 1; p <= memo.Flow.Pages; ++p) {
        if (p > 1 && !printer.newPage()) {
            error = "cannot write " + path.toStdString();
            painter.end();
            return 1;
        }
        PaintPage(painter, MemoPage(memo, printer, p));
    }
    return target.Finish(painter, error) ? 0 : 1;
}

}  // namespace rekna
