// rekna --print-to-pdf: the main window is made and started but never shown, and its memo is
// printed through the print set-up it installed.
#include "shell/qt/print_to_pdf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <string>

#include "frame/qt/vt_frame_calc.h"
#include "print/qt/print_setup.h"
#include "shell/qt/form_memo.h"
#include "shell/start_paths.h"

namespace rekna {

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
