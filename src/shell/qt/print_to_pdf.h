// rekna --print-to-pdf: a memo printed to a PDF file as the preview lays it out, without a window.
#pragma once

#include <QStringList>

namespace rekna {

// rekna --print-to-pdf OUT.pdf [MEMO]: the window's settings file, the memo (or the backup the
// window would show), every page into OUT.pdf, no window shown. The exit code.
int RunPrintToPdf(const QStringList& arguments);

}  // namespace rekna
