// The printer the main window prints on, the preview window it opens, the paper width for
// wrapping at the paper edge, and printing a memo to a PDF file without a window.
#include "print/qt/print_setup.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>
#include <cstdio>

#include "frame/qt/vt_frame_calc.h"
#include "print/qt/print_form.h"
#include "print/qt/print_page.h"
#include "shell/qt/form_memo.h"
#include "shell/start_paths.h"

namespace rekna {

TPrintSetup::TPrintSetup(TFormMemo& form) : QObject(&form), FForm(form) {
    setObjectName(QStringLiteral("PrintSetup"));
}

TPrintSetup::~TPrintSetup() = default;

QPrinter& TPrintSetup::Printer() {
    if (!FPrinter) {
        FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (QPrinterInfo::availablePrinterNames().isEmpty())
            FPrinter->setOutputFormat(QPrinter::PdfFormat);
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
        FPreview = new TFormPrint(FForm, *this, &FForm);
        if (QAction* a = FForm.Action("ActionPrintView")) a->setData(1);
    }
    if (FPreview->isMinimized()) FPreview->showNormal();
    FPreview->show();
    FPreview->raise();
    FPreview->activateWindow();
}

TPrintSetup* PrintSetupOf(TFormMemo& form) {
    return dynamic_cast<TPrintSetup*>(
        form.findChild<QObject*>(QStringLiteral("PrintSetup"), Qt::FindDirectChildrenOnly));
}

void InstallPrint(TFormMemo& form) {
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

int PrintMemoToPdf(TFormMemo& form, const QString& path, std::string& error) {
    TPrintSetup* setup = PrintSetupOf(form);
    if (!setup) setup = new TPrintSetup(form);
    QPrinter& printer = setup->Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    TVtFrameCalc* frame = form.VtFrameCalc1();
    if (const QAction* paper = form.Action("ActionViewWrapPaper"); paper && paper->isChecked())
        frame->ActionViewWrap0Execute();
    const TPrintChoices choices = StoredChoices(ReadPrintSettings(form.KeptSettings()), false);
    if (!PrinterMetrics(printer).Valid()) {
        error = "the PDF page has no size";
        return 1;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = "cannot write " + path.toStdString();
        return 1;
    }
    int pages = 1;
    for (int p = 1; p <= pages; ++p) {
        const TPrintedPage page = LayoutMemoPage(form, printer, choices, p);
        pages = page.Layout.Pages;
        if (p > 1 && !printer.newPage()) {
            error = "cannot write " + path.toStdString();
            return 1;
        }
        PaintPage(painter, page);
    }
    if (!painter.end()) {
        error = "cannot write " + path.toStdString();
        return 1;
    }
    return 0;
}

int RunPrintToPdf(const QStringList& arguments) {
    if (arguments.isEmpty() || arguments.size() > 2) {
        std::fprintf(stderr, "usage: rekna --print-to-pdf OUT.pdf [MEMO]\n");
        return 2;
    }
    const QString out = QFileInfo(arguments.front()).absoluteFilePath();
    TStartEnv env;
    env.ProgramPath = QCoreApplication::applicationFilePath().toStdString();
    env.Argument = arguments.value(1).toStdString();
    env.CurrentDir = QDir::currentPath().toStdString();
    env.ConfigHome = ConfigHomeFolder();
    const TStartPaths paths = FindStartPaths(env);
    if (!env.Argument.empty() &&
        (paths.Document.empty() ||
         !QFileInfo(QString::fromStdString(paths.Document)).isReadable())) {
        std::fprintf(stderr, "rekna: %s is no readable memo\n", env.Argument.c_str());
        return 1;
    }
    TFormMemo form(paths);
    form.Start();
    form.FirstShow();
    TVtFrameCalc* frame = form.VtFrameCalc1();
    // Without auto-calculation the window would show no answers yet: they are worked out once.
    if (!frame->Core().Options().CalcAuto) frame->CalcRows(true, false, TCalcRangeKind::rkAll);
    std::string error;
    const int status = PrintMemoToPdf(form, out, error);
    if (status != 0) std::fprintf(stderr, "rekna: %s\n", error.c_str());
    return status;
}

}  // namespace rekna
