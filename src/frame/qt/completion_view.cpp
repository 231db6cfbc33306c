// The completion list widget and the editor control's completion popup.
#include "frame/qt/completion_view.h"

#include <QMouseEvent>
#include <QScrollBar>

#include "editor/qt/umemo.h"
#include "platform/cp932.h"
#include "platform/qt/qt_color.h"

namespace rekna {
namespace {

// Rows shown at most; more entries scroll.
constexpr int kVisibleRows = 10;
constexpr int kOffScreen = -10000;

}  // namespace

TCompletionListBox::TCompletionListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("CompletionListBox"));
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameShape(QFrame::Box);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    hide();
    move(kOffScreen, kOffScreen);
}

void TCompletionListBox::Show(QPoint pos, int avoidTop) {
    Hide();
    const QWidget* window = parentWidget();
    if (window) {
        if (pos.x() + width() > window->width()) pos.setX(window->width() - width());
        if (pos.y() + height() > window->height()) pos.setY(avoidTop - height());
        pos.setX(std::max(pos.x(), 0));
        pos.setY(std::max(pos.y(), 0));
    }
    move(pos);
    FShown = true;
    show();
    raise();
}

void TCompletionListBox::Hide() {
    if (!FShown) return;
    FShown = false;
    FPressedRow = -1;
    hide();
    move(kOffScreen, kOffScreen);
}

void TCompletionListBox::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    FPressedRow = index.isValid() ? index.row() : -1;
    if (FPressedRow >= 0) setCurrentRow(FPressedRow);
    event->accept();
}

void TCompletionListBox::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void TCompletionListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void TCompletionListBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool same = index.isValid() && index.row() == FPressedRow;
    FPressedRow = -1;
    if (!same) return;
    Hide();
    if (OnPopupClose) OnPopupClose(true);
}

// --- TMemoCompletion ---------------------------------------------------------------------------

TMemoCompletion::TMemoCompletion(TUMemo& memo, std::function<std::vector<std::string>()> calcNames)
    : QObject(&memo), FMemo(memo), FCalcNames(std::move(calcNames)) {
    setObjectName(QStringLiteral("MemoCompletion"));
    memo.Editor().SetCompletion(this);
}

TMemoCompletion::~TMemoCompletion() {
    delete FView.data();
}

bool TMemoCompletion::IsOpen() const {
    return FView && FView->Shown();
}

void TMemoCompletion::EnsureView() {
    if (FView && FView->parentWidget() == FMemo.window()) return;
    delete FView.data();
    FView = new TCompletionListBox(FMemo.window());
    FView->OnPopupClose = [this](bool accept) {
        // The click already hid the list: accept its entry.
        Accept(accept);
    };
}

void TMemoCompletion::Fill() {
    const std::vector<std::string> names = FCalcNames ? FCalcNames() : std::vector<std::string>{};
    FillForCaret(FList, FMemo.Lines(), FMemo.FileType(), names);
    TCompletionListBox& view = *FView;
    view.clear();
    for (const std::string& entry : FList.Entries())
        view.addItem(QString::fromStdString(Cp932ToUtf8(entry)));
    const QFontMetrics metrics(view.font());
    const int rowHeight = std::max(view.sizeHintForRow(0), metrics.height());
    const int rows = std::clamp(static_cast<int>(FList.Entries().size()), 1, kVisibleRows);
    const int frame = 2 * view.frameWidth();
    int width = FList.Width(metrics.height()) + frame;
    if (static_cast<int>(FList.Entries().size()) > kVisibleRows)
        width += view.verticalScrollBar()->sizeHint().width();
    view.resize(width, rows * rowHeight + frame);
    ShowSelection();
}

void TMemoCompletion::ShowSelection() {
    const int selected = FList.Selected();
    if (selected < 0) {
        FView->clearSelection();
        FView->setCurrentRow(-1);
        return;
    }
    FView->setCurrentRow(selected);
    FView->scrollToItem(FView->item(selected));
}

void TMemoCompletion::Open(bool) {
    if (IsOpen()) return;
    EnsureView();
    TCompletionListBox& view = *FView;
    // The control's font and colours, taken anew at every opening.
    view.setFont(FMemo.MemoFont());
    QPalette palette = view.palette();
    const TPaintStyle& style = FMemo.Style();
    palette.setColor(QPalette::Base, QColor(ToQRgb(style.Color, FMemo.palette())));
    palette.setColor(QPalette::Text, QColor(ToQRgb(style.ColorText, FMemo.palette())));
    view.setPalette(palette);
    Fill();
    const TUMemoStrings& s = FMemo.Lines();
    const TUMemoSelection& sel = s.Selection();
    const int x = FMemo.ColumnX(sel.CaretColumn(s)) - 1;
    const int below = FMemo.RowY(sel.Caret.Y + 1);
    const int top = FMemo.RowY(sel.Caret.Y);
    QWidget* window = FMemo.window();
    const QPoint at = FMemo.viewport()->mapTo(window, QPoint(x, below));
    const int avoid = FMemo.viewport()->mapTo(window, QPoint(x, top)).y();
    view.Show(at, avoid);
}

bool TMemoCompletion::Close(bool accept) {
    if (!IsOpen()) return false;
    FView->Hide();
    Accept(accept);
    return true;
}

void TMemoCompletion::Accept(bool accept) {
    if (!accept || FClosing) return;
    const std::string entry(FList.SelectedEntry());
    if (entry.empty()) return;
    FClosing = true;
    AcceptCompletion(FMemo.Editor(), entry);
    FClosing = false;
    FMemo.ScrollCaretIntoView();
}

void TMemoCompletion::MoveSelection(int delta) {
    if (!IsOpen()) return;
    FList.MoveSelection(delta);
    ShowSelection();
}

void TMemoCompletion::Refill() {
    if (!IsOpen()) return;
    Fill();
}

}  // namespace rekna
