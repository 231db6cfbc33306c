// A page of the memo laid out for the printer, and the one function that draws it on the preview
// and on paper alike.
#include "print/qt/print_page.h"

#include <QAction>
#include <QFontMetricsF>
#include <QMainWindow>
#include <QPainter>
#include <QPrinter>

#include <QFile>
#include <QFileInfo>
#include <QPageSize>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "editor/qt/umemo.h"
#include "frame/qt/tool_host.h"
#include "frame/qt/vt_frame_calc.h"
#include "platform/cp932.h"

namespace rekna {
namespace {

QString Q(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

int Round(qreal v) {
    return static_cast<int>(std::lround(v));
}

}  // namespace

TPrintMetrics PrinterMetrics(const QPrinter& printer) {
    TPrintMetrics m;
    if (!printer.isValid()) return m;
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    m.PaperW = Round(paper.width());
    m.PaperH = Round(paper.height());
    m.OffX = Round(page.left() - paper.left());
    m.OffY = Round(page.top() - paper.top());
    m.PageW = Round(page.width());
    m.PageH = Round(page.height());
    m.DpiX = printer.logicalDpiX();
    m.DpiY = printer.logicalDpiY();
    return m;
}

TPrintChoices StoredChoices(const TPrintSettings& s, bool memoHasSelection) {
    const auto box = [&s](TPrintBox b) {
        return ComboValue(s.Boxes[static_cast<std::size_t>(b)], b);
    };
    TPrintChoices c;
    c.Margins = {box(TPrintBox::pbLeft), box(TPrintBox::pbTop), box(TPrintBox::pbRight),
                 box(TPrintBox::pbBottom)};
    c.SpacePercent = box(TPrintBox::pbSpace);
    c.AnswerPercent = box(TPrintBox::pbAns);
    c.Header = s.FileName;
    c.PageNo = s.PageNo;
    c.Answers = s.TwoColumn;
    c.SelectionOnly = s.SelRow && memoHasSelection;
    return c;
}

QFont PrinterFont(TToolHost& form, int dpiY) {
    TVtFrameCalc* frame = form.VtFrameCalc1();
    QFont font = frame->UMemo1()->MemoFont();
    const int points = frame->Core().Options().FontSize;
    const qreal pt = points > 0 ? points : 11;
    font.setPixelSize(std::max(1, Round(pt * std::max(dpiY, 1) / 72.0)));
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(false);
    font.setItalic(false);
    return font;
}

bool MemoHasSelection(TToolHost& form) {
    const TUMemoStrings& lines = form.VtFrameCalc1()->UMemo1()->Lines();
    return lines.Selection().HasSelection(lines);
}

namespace {

TTextWidth WidthIn(const QFontMetricsF& metrics) {
    return [&metrics](std::string_view text) { return Round(metrics.horizontalAdvance(Q(text))); };
}

}  // namespace

TPrintedMemo FlowMemo(TToolHost& form, QPrinter& printer, const TPrintChoices& choices) {
    TVtFrameCalc* frame = form.VtFrameCalc1();
    const TUMemoStrings& memo = frame->UMemo1()->Lines();
    const TUMemoStrings& answers = frame->UMemo2()->Lines();
    TPrintedMemo out;
    TPrintRequest& r = out.Request;
    r.Metrics = PrinterMetrics(printer);
    out.Font = PrinterFont(form, r.Metrics.DpiY);
    const QFontMetricsF metrics(out.Font, &printer);
    out.Ascent = metrics.ascent();
    const TTextWidth width = WidthIn(metrics);
    r.Margins = choices.Margins;
    r.SpacePercent = choices.SpacePercent;
    r.AnswerPercent = choices.AnswerPercent;
    r.FontHeight = out.Font.pixelSize();
    r.TabWidth = width(std::string(static_cast<std::size_t>(std::max(memo.TabStops(), 1)), '_'));
    r.Answers = choices.Answers;
    const QAction* answerPane = form.Action("ActionWindowAns");
    r.AnswerPane = answerPane == nullptr || answerPane->isChecked();
    r.Header = choices.Header;
    r.PageNo = choices.PageNo;
    r.SelectionOnly = choices.SelectionOnly && memo.Selection().HasSelection(memo);
    r.SelFirst = memo.Selection().Start().Y;
    r.SelLast = memo.Selection().End().Y;
    r.Title = HeaderTitle(Utf8ToCp932(form.Window().windowTitle().toStdString()));
    const TPrintSource source{
        memo.GetCount(), [&memo](int i) { return std::string_view(memo.Get(i)); },
        answers.GetCount(), [&answers](int i) { return std::string_view(answers.Get(i)); }};
    out.Flow = FlowRows(r, source, width);
    return out;
}

TPrintedPage MemoPage(const TPrintedMemo& memo, QPrinter& printer, int page) {
    TPrintedPage out;
    out.Font = memo.Font;
    out.Ascent = memo.Ascent;
    const QFontMetricsF metrics(memo.Font, &printer);
    out.Layout = PageOfFlow(memo.Request, memo.Flow, page, WidthIn(metrics));
    return out;
}

TPrintedPage LayoutMemoPage(TToolHost& form, QPrinter& printer, const TPrintChoices& choices,
                            int page) {
    return MemoPage(FlowMemo(form, printer, choices), printer, page);
}

void ApplyStoredPaper(QPrinter& printer, const TPrintSettings& s) {
    const std::optional<TPaperMm> paper = ReadPaper(s.Paper);
    if (!paper) return;
    // A standard paper is recognised by its size, so the printer sees its name.
    printer.setPageSize(QPageSize(QSizeF(paper->Width, paper->Height), QPageSize::Millimeter,
                                  QString(), QPageSize::FuzzyMatch));
    printer.setPageOrientation(s.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void TakePaper(const QPrinter& printer, TPrintSettings& s) {
    const QPageLayout layout = printer.pageLayout();
    const QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    s.Paper = PaperText({mm.width(), mm.height()});
    s.Landscape = layout.orientation() == QPageLayout::Landscape;
}

TPdfTarget::TPdfTarget(QPrinter& printer, QString path)
    : FPrinter(printer), FPath(std::move(path)) {
    const QFileInfo info(FPath);
    FTemp = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".part");
}

TPdfTarget::~TPdfTarget() {
    if (!FStarted) return;
    FPrinter.setOutputFileName(FPath);
    QFile::remove(FTemp);
}

bool TPdfTarget::Begin(QPainter& painter, std::string& error) {
    // Qt's own failure gives no reason: opening the file first does.
    const QByteArray temp = QFile::encodeName(FTemp);
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = "cannot write " + FPath.toStdString() + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    FStarted = true;
    FPrinter.setOutputFormat(QPrinter::PdfFormat);
    FPrinter.setOutputFileName(FTemp);
    if (!painter.begin(&FPrinter)) {
        error = "cannot write " + FPath.toStdString();
        return false;
    }
    return true;
}

bool TPdfTarget::Finish(QPainter& painter, std::string& error) {
    const bool ended = painter.end();
    FPrinter.setOutputFileName(FPath);
    if (!ended) {
        error = "cannot write " + FPath.toStdString();
        return false;
    }
    if (std::rename(QFile::encodeName(FTemp).constData(), QFile::encodeName(FPath).constData()) !=
        0) {
        error = "cannot write " + FPath.toStdString() + ": " + std::strerror(errno);
        return false;
    }
    FStarted = false;
    return true;
}

void PaintPage(QPainter& painter, const TPrintedPage& page) {
    painter.save();
    painter.setFont(page.Font);
    painter.setPen(Qt::black);
    for (const TPrintPiece& piece : page.Layout.Pieces)
        painter.drawText(QPointF(piece.X, piece.Y + page.Ascent), Q(piece.Text));
    painter.restore();
}

}  // namespace rekna
