// A page of the memo laid out for the printer, and the one function that draws it on the preview
// and on paper alike.
#pragma once

#include <QFont>
#include <QString>

#include <string>

#include "print/print_layout.h"

class QPainter;
class QPrinter;

namespace rekna {

class TToolHost;

// The printer's sheet, printable area and resolution; not Valid() when the printer cannot say.
[[nodiscard]] TPrintMetrics PrinterMetrics(const QPrinter& printer);

// What the print window's boxes and checks ask for.
struct TPrintChoices {
    TMarginsMm Margins;
    int SpacePercent = 20;
    int AnswerPercent = 75;
    bool Header = false;
    bool PageNo = false;
    bool Answers = true;
    bool SelectionOnly = false;  // checked and the memo has a selection
};

// The choices the settings hold (the boxes read as the window reads them).
[[nodiscard]] TPrintChoices StoredChoices(const TPrintSettings& s, bool memoHasSelection);

// A page and the font it was measured with.
struct TPrintedPage {
    TPageLayout Layout;
    QFont Font;
    qreal Ascent = 0;
};

// The memo's font at the printer's resolution, same point size, fixed pitch.
[[nodiscard]] QFont PrinterFont(TToolHost& form, int dpiY);

// The memo's rows and answers as the window shows them, set out for the printer once for all
// pages.
struct TPrintedMemo {
    TPrintRequest Request;
    TPrintFlow Flow;
    QFont Font;
    qreal Ascent = 0;
};
[[nodiscard]] TPrintedMemo FlowMemo(TToolHost& form, QPrinter& printer,
                                    const TPrintChoices& choices);
[[nodiscard]] TPrintedPage MemoPage(const TPrintedMemo& memo, QPrinter& printer, int page);

// Lays page (1-based) of the memo out for the printer.
[[nodiscard]] TPrintedPage LayoutMemoPage(TToolHost& form, QPrinter& printer,
                                          const TPrintChoices& choices, int page);

// The paper and orientation the settings keep, given to the printer; nothing when none is kept.
void ApplyStoredPaper(QPrinter& printer, const TPrintSettings& s);
// The printer's paper and orientation into the settings.
void TakePaper(const QPrinter& printer, TPrintSettings& s);

// A PDF file written under a temporary name beside it and put in its place when complete, so
// that a failed job never leaves half a file; every failure says why.
class TPdfTarget {
public:
    TPdfTarget(QPrinter& printer, QString path);
    TPdfTarget(const TPdfTarget&) = delete;
    TPdfTarget& operator=(const TPdfTarget&) = delete;
    ~TPdfTarget();
    // Starts the painter on the printer; false with the reason in error.
    bool Begin(QPainter& painter, std::string& error);
    // Ends the painter and puts the file in place; false with the reason in error.
    bool Finish(QPainter& painter, std::string& error);

private:
    QPrinter& FPrinter;
    QString FPath, FTemp;
    bool FStarted = false;
};

// Draws the page's texts in black; the painter's origin is the printable area's top-left corner
// and its unit a printer dot.
void PaintPage(QPainter& painter, const TPrintedPage& page);

// The memo pane has selected text.
[[nodiscard]] bool MemoHasSelection(TToolHost& form);

}  // namespace rekna
