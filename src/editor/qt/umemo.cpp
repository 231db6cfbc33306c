// TUMemo: properties, cell geometry, scrolling, focus and the incremental repaint.
#include "editor/qt/umemo.h"

#include "editor/store/columns.h"

#include <QApplication>
#include <QInputMethod>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace rekna {
namespace {

constexpr int kMaxPich = 100;
constexpr int kWheelStep = 120;  // one notch

[[nodiscard]] int FloorDiv(int a, int b) noexcept {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
[[nodiscard]] int CeilDiv(int a, int b) noexcept {
    return a <= 0 ? 0 : (a + b - 1) / b;
}

// Moves the pixels of rect by (dx, dy) inside rect; what moves out of it is lost.
void MoveRegion(QImage& image, const QRect& rect, int dx, int dy) {
    const QRect area = rect & image.rect();
    if (area.isEmpty() || (dx == 0 && dy == 0)) return;
    const int bpp = image.depth() / 8;
    if (dy != 0) {
        const int lines = area.height() - std::abs(dy);
        const std::size_t bytes = static_cast<std::size_t>(area.width()) * bpp;
        for (int k = 0; k < lines; ++k) {
            // Copy away from the direction of the move so that no line is overwritten first.
            const int to = dy < 0 ? area.top() + k : area.bottom() - k;
            const int from = to - dy;
            std::memcpy(image.scanLine(to) + area.left() * bpp,
                        image.constScanLine(from) + area.left() * bpp, bytes);
        }
    }
    if (dx != 0) {
        const int width = area.width() - std::abs(dx);
        if (width <= 0) return;
        const std::size_t bytes = static_cast<std::size_t>(width) * bpp;
        const int from = dx < 0 ? area.left() - dx : area.left();
        const int to = dx < 0 ? area.left() : area.left() + dx;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            uchar* line = image.scanLine(y);
            std::memmove(line + to * bpp, line + from * bpp, bytes);
        }
    }
}

}  // namespace

TUMemo::TUMemo(QWidget* parent)
    : QAbstractScrollArea(parent), FEditor(std::make_unique<TUMemoEditor>()),
      FFunctions(CalcFunctionNames(), false) {
    FClassifier.FileType = FFileType;
    FClassifier.Dependence = &FStyle.DependenceChar;
    FClassifier.Functions = &FFunctions;
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(true);
    setAttribute(Qt::WA_InputMethodEnabled);
    FEditor->SetClipboard(&FClipboard);
    FEditor->Strings().OnEditEnd = [this](TEditEnd end) { EditEnded(end); };
    FEditor->OnHighlightChange = [this] { HighlightChanged(); };
    FFont.Set(FFont.Font(), logicalDpiY());
    ApplyScrollBarPolicies();
    Relayout();
}

TUMemo::~TUMemo() {
    FEditor->Strings().OnEditEnd = nullptr;
    FEditor->OnHighlightChange = nullptr;
    FEditor->SetClipboard(nullptr);
}

TFileResult TUMemo::LoadFile(const std::string& name, bool toEnd) {
    const TFileResult result = Lines().LoadFile(name, toEnd);
    UpdateScrollRanges();
    RepaintAll();
    return result;
}

bool TUMemo::LoadBytes(std::string_view bytes, bool toEnd) {
    const bool ok = Lines().LoadBytes(bytes, toEnd);
    UpdateScrollRanges();
    RepaintAll();
    return ok;
}

// --- Geometry --------------------------------------------------------------------------------

void TUMemo::SetMemoFont(const QFont& font) {
    FFont.Set(font, logicalDpiY());
    Relayout();
}

void TUMemo::SetRowPich(int pixels) {
    if (pixels < 1 || pixels > kMaxPich || pixels == FRowPich) return;
    FRowPich = pixels;
    Relayout();
}

void TUMemo::SetColPich(int pixels) {
    if (pixels < 0 || pixels > kMaxPich || pixels == FColPich) return;
    FColPich = pixels;
    Relayout();
}

int TUMemo::ColumnX(std::int32_t column) const noexcept {
    const std::int64_t x =
        FLeftMargin + (static_cast<std::int64_t>(column) - Lines().LeftCol()) * ColPitch();
    return static_cast<int>(std::clamp<std::int64_t>(x, -(1 << 24), 1 << 24));
}

int TUMemo::RowY(std::int32_t row) const noexcept {
    const std::int64_t y =
        kTopMargin + 1 + (static_cast<std::int64_t>(row) - Lines().TopRow()) * RowPitch();
    return static_cast<int>(std::clamp<std::int64_t>(y, -(1 << 24), 1 << 24));
}

std::int32_t TUMemo::ColumnAtX(int x) const noexcept {
    return Lines().LeftCol() + FloorDiv(x - FLeftMargin, ColPitch());
}

std::int32_t TUMemo::RowAtY(int y) const noexcept {
    return Lines().TopRow() + FloorDiv(y - kTopMargin - 1, RowPitch());
}

std::int32_t TUMemo::PageRows() const noexcept {
    return std::max(1, CeilDiv(viewport()->height() - kTopMargin - 1, RowPitch()));
}

std::int32_t TUMemo::PageCols() const noexcept {
    return std::max(1, CeilDiv(viewport()->width() - FLeftMargin, ColPitch()));
}

std::int32_t TUMemo::FullPageRows() const noexcept {
    return std::max(1, (viewport()->height() - kTopMargin - 1) / RowPitch());
}

std::int32_t TUMemo::FullPageCols() const noexcept {
    return std::max(1, (viewport()->width() - FLeftMargin) / ColPitch());
}

std::int32_t TUMemo::PaperColumns() const noexcept {
    const TUMemoStrings& s = Lines();
    std::int32_t edge = s.WrapColumns();
    if (edge <= 0) edge = std::max(s.MaxWidth(), PageCols() + 1);
    // An edge right of the view looks the same wherever it is.
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(edge, static_cast<std::int64_t>(s.LeftCol()) + PageCols()));
}

TViewFrame TUMemo::Frame() const {
    TViewFrame f;
    f.TopRow = Lines().TopRow();
    f.LeftCol = Lines().LeftCol();
    f.PageRows = PageRows();
    f.PageCols = PageCols();
    f.PaperColumns = PaperColumns();
    return f;
}

void TUMemo::Relayout() {
    FCaretRectValid = false;
    FLeftMargin = static_cast<int>(
        std::lround(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) * 0.75));
    const QSize size = viewport()->size().expandedTo(QSize(1, 1));
    if (FCanvas.size() != size) FCanvas = QImage(size, QImage::Format_RGB32);
    FTracker.Invalidate();
    Lines().SetVisibleRows(PageRows());
    FEditor->SetViewSize(FullPageRows(), FullPageCols());
    // In wtRight mode this re-wraps the text, which repaints through the edit's end.
    FEditor->Wrap().SetTextAreaColumns(PageCols());
    UpdateScrollRanges();
    RepaintAll();
}

// --- Syntax and colours ------------------------------------------------------------------------

void TUMemo::SetFileType(TFileType type) {
    if (type == FFileType) return;
    FFileType = type;
    FClassifier.FileType = type;
    FEditor->SetFileType(type);
    RepaintAll();
}

void TUMemo::SetStyle(const TPaintStyle& style) {
    if (style == FStyle) return;
    FStyle = style;
    RepaintAll();
}

void TUMemo::SetColor(TColor TPaintStyle::*property, TColor color) {
    if (FStyle.*property == color) return;
    FStyle.*property = color;
    RepaintAll();
}

void TUMemo::SetSwitch(bool TPaintStyle::*property, bool on) {
    if (FStyle.*property == on) return;
    FStyle.*property = on;
    RepaintAll();
}

void TUMemo::SetDependenceChar(std::string_view chars) {
    FStyle.DependenceChar.Assign(chars);
    RepaintAll();
}

void TUMemo::SetDelimiters(std::string_view chars) {
    FStyle.SetDelimiters(chars);
    RepaintAll();
}

void TUMemo::SetCharColor(std::int32_t index, TColor color) {
    if (FStyle.CharColor(index) == color) return;
    FStyle.SetCharColor(index, color);
    RepaintAll();
}

void TUMemo::ResetFunctionList() {
    FFunctions.Assign(CalcFunctionNames(), false);
    RepaintAll();
}

void TUMemo::AddFunctionNames(std::span<const std::string_view> names) {
    FFunctions.Add(names);
    // A definitions file adds its functions one by one: the view is painted once after the last.
    if (FFunctionsRepaintPending) return;
    FFunctionsRepaintPending = true;
    QTimer::singleShot(0, this, [this] {
        FFunctionsRepaintPending = false;
        RepaintAll();
    });
}

void TUMemo::SetFindText(std::string_view text, TSearchTypes options) {
    FEditor->SetFindText(text, options);
}

void TUMemo::SetFindState(std::string_view text, TSearchTypes options) {
    FEditor->SetFindState(text, options);
}

void TUMemo::HighlightChanged() {
    FFind = TFindMatcher(FEditor->FindText(), FEditor->FindOptions());
    RepaintAll();
}

// --- Scroll bars -------------------------------------------------------------------------------

void TUMemo::ApplyScrollBarPolicies() {
    const Qt::ScrollBarPolicy shown =
        FHideScrollBars ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    const bool horizontal =
        FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
    const bool vertical =
        FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth;
    setHorizontalScrollBarPolicy(horizontal ? shown : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? shown : Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setTracking(FThumbTrak);
    verticalScrollBar()->setTracking(FThumbTrak);
}

void TUMemo::SetScrollBars(TScrollStyle bars) {
    FScrollBars = bars;
    ApplyScrollBarPolicies();
}

void TUMemo::SetHideScrollBars(bool on) {
    FHideScrollBars = on;
    ApplyScrollBarPolicies();
}

void TUMemo::SetThumbTrak(bool on) {
    FThumbTrak = on;
    ApplyScrollBarPolicies();
}

void TUMemo::SetScrollMargins(const TScrollMargins& margins) {
    FEditor->SetScrollMargins(margins);
    UpdateScrollRanges();
}

// --- Repainting --------------------------------------------------------------------------------

bool TUMemo::Focused() const {
    return hasFocus();
}

void TUMemo::PrepareLooks() {
    const TUMemoStrings& s = Lines();
    FLineValid = false;
    FCaretPair = TCaretPair{};
    if (s.GetCount() > 0) {
        const TSelPoint caret = s.Selection().Caret;
        const TViewWindow window = ShownWindow();
        FClassifier.Classify(s, caret.Y, caret, FLine, &window);
        FLineValid = true;
        FCaretPair = CaretPairOf(FLine);
    }
    TLookInputs in;
    in.View = Frame();
    in.Focused = Focused();
    in.HideSelection = FStyle.HideSelection;
    in.FileType = FFileType;
    in.PairOpen = FCaretPair.Open;
    in.PairClose = FCaretPair.Close;
    LookRows(s, in, FLooks);
}

void TUMemo::RepaintChanged() {
    FCaretRectValid = false;
    if (FCanvas.size() != viewport()->size().expandedTo(QSize(1, 1))) {
        FCanvas = QImage(viewport()->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        FTracker.Invalidate();
    }
    PrepareLooks();
    const TViewFrame frame = Frame();
    FLastPlan = FTracker.Plan(Lines(), frame, FLooks);
    ApplyPlan(FLastPlan);
    FTracker.Painted(frame, FLooks);
}

void TUMemo::RepaintAll() {
    FTracker.Invalidate();
    RepaintChanged();
}

void TUMemo::SetFaintFrom(std::int32_t row) {
    if (row == FFaintFrom) return;
    FFaintFrom = row;
    RepaintAll();
}

void TUMemo::ScrollCanvas(int dx, int dy) {
    const QRect rows(0, kTopMargin + 1, FCanvas.width(), FCanvas.height() - kTopMargin - 1);
    MoveRegion(FCanvas, rows, 0, dy);
    const QRect text(FLeftMargin, kTopMargin + 1, FCanvas.width() - FLeftMargin,
                     FCanvas.height() - kTopMargin - 1);
    MoveRegion(FCanvas, text, dx, 0);
}

void TUMemo::ApplyPlan(const TRepaintPlan& plan) {
    BeginPass();
    if (!plan.Full) ScrollCanvas(-plan.ScrollCols * ColPitch(), -plan.ScrollRows * RowPitch());
    QPainter p(&FCanvas);
    PaintTopStrip(p);
    const std::int32_t left = Lines().LeftCol();
    const std::int32_t right = left + PageCols() - 1;
    for (const std::int32_t row : plan.Rows)
        PaintRow(p, row, left, right);
    if (plan.StripTo >= plan.StripFrom) {
        const std::int32_t top = Lines().TopRow();
        std::size_t k = 0;
        for (std::int32_t row = top; row < top + PageRows(); ++row) {
            while (k < plan.Rows.size() && plan.Rows[k] < row)
                ++k;
            if (k < plan.Rows.size() && plan.Rows[k] == row) continue;
            PaintRow(p, row, plan.StripFrom, plan.StripTo);
        }
    }
    p.end();
    for (const std::int32_t row : plan.SeenMarks)
        Lines().SetRowMark(row, TRowMark::rmNone);
    // The window shows the canvas again where it changed: the painted rows, or all of it after a
    // scroll.
    if (plan.Full || plan.ScrollRows != 0 || plan.ScrollCols != 0 ||
        plan.StripTo >= plan.StripFrom) {
        viewport()->update();
        return;
    }
    QRegion changed(0, 0, FCanvas.width(), kTopMargin + 1);
    for (const std::int32_t row : plan.Rows)
        changed += QRect(0, RowY(row), FCanvas.width(), RowPitch());
    viewport()->update(changed);
}

void TUMemo::EditEnded(TEditEnd end) {
    // Text that became narrower (wrapping turned on, long rows deleted) must not leave the view
    // scrolled beyond its right edge, where nothing would show.
    const std::int32_t maxLeft = FEditor->ViewPage().MaxLeftCol;
    if (Lines().LeftCol() > maxLeft) Lines().SetLeftCol(maxLeft);
    // A drag changes the selection at every step: it is offered once it has settled.
    const TUMemoSelection& sel = Lines().Selection();
    const std::array<std::int32_t, 5> now{static_cast<std::int32_t>(sel.Mode), sel.Anchor.X,
                                          sel.Anchor.Y, sel.Caret.X, sel.Caret.Y};
    if (now != FPrimaryOffered && sel.HasSelection(Lines())) FPrimaryTimer.start(150, this);
    UpdateScrollRanges();
    FEditor->Notify(end, [this] {
        if (FEditor->History().Replaying()) {
            RepaintAll();
        } else {
            RepaintChanged();
        }
    });
    CaretMoved();
}

void TUMemo::CaretMoved() {
    FCaretRectValid = false;
    FCaretOn = true;
    if (FCaretTimer.isActive()) StartCaret();
    // The caret is drawn over the canvas: where it stood and where it stands are shown again.
    viewport()->update(FShownCaret | CaretRect());
    if (hasFocus()) {
        if (QInputMethod* im = QGuiApplication::inputMethod())
            im->update(Qt::ImCursorRectangle | Qt::ImSurroundingText | Qt::ImCursorPosition |
                       Qt::ImAnchorPosition | Qt::ImCurrentSelection);
    }
}

// --- View --------------------------------------------------------------------------------------

void TUMemo::SetTopRow(std::int32_t row) {
    FEditor->ScrollView({row, Lines().LeftCol()});
}

void TUMemo::SetLeftCol(std::int32_t column) {
    FEditor->ScrollView({Lines().TopRow(), column});
}

void TUMemo::ScrollCaretIntoView() {
    const TEditGroup group(Lines(), false);
    FEditor->ScrollCaretIntoView();
}

void TUMemo::UpdateScrollRanges() {
    const TUMemoStrings& s = Lines();
    FSyncingScrollBars = true;
    const std::int32_t rows = FullPageRows();
    QScrollBar* v = verticalScrollBar();
    const TScrollMargins& m = FEditor->ScrollMargins();
    v->setRange(0, std::max(0, s.GetCount() + m.Bottom + 1 - rows));
    v->setSingleStep(1);
    v->setPageStep(FEditor->PageStep());
    v->setValue(s.TopRow());
    const std::int32_t cols = FullPageCols();
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, FEditor->ScrollWidth() - cols));
    h->setSingleStep(1);
    h->setPageStep(std::max(1, cols - m.Left - m.Right));
    h->setValue(s.LeftCol() - 1);
    FSyncingScrollBars = false;
}

QRect TUMemo::CaretRect() const {
    if (!hasFocus()) return {};
    const std::array<std::int32_t, 7> key = CaretRectKey();
    if (FCaretRectValid && key == FCaretRectKey) return FCaretRect;
    FCaretRect = MeasureCaretRect();
    FCaretRectKey = key;
    FCaretRectValid = true;
    return FCaretRect;
}

std::array<std::int32_t, 7> TUMemo::CaretRectKey() const {
    const TUMemoStrings& s = Lines();
    const TUMemoSelection& sel = s.Selection();
    return {sel.Caret.X,
            sel.Caret.Y,
            sel.Anchor.Y,
            static_cast<std::int32_t>(sel.Mode),
            s.TopRow(),
            s.LeftCol(),
            FEditor->InsertMode() ? 1 : 0};
}

QRect TUMemo::MeasureCaretRect() const {
    const TUMemoStrings& s = Lines();
    const TUMemoSelection& sel = s.Selection();
    const std::int32_t column = sel.CaretColumn(s);
    const int x = ColumnX(column);
    const int h = CellHeight();
    if (sel.Mode == TSelMode::smBox) {
        const int top = RowY(sel.BoxTop());
        return QRect(x - 1, top, 2, RowY(sel.BoxBottom()) + h - top);
    }
    const int y = RowY(sel.Caret.Y);
    if (FEditor->InsertMode()) return QRect(x - 1, y, 2, h);
    // Overwrite mode: a block under the character at the caret, half a cell high.
    int width = 2 * CellWidth();
    if (sel.Caret.Y < s.GetCount()) {
        const std::string& text = s.Get(sel.Caret.Y);
        const auto pos = static_cast<std::size_t>(sel.Caret.X - 1);
        if (pos < text.size()) {
            const std::int32_t next =
                s.RowColumnOfPos(sel.Caret.Y, sel.Caret.X + CharBytesAt(text, sel.Caret.X));
            width = (next - column) * ColPitch();
        }
    }
    return QRect(x, y + h - h / 2, std::max(width, 1), h / 2);
}

// --- Events ------------------------------------------------------------------------------------

void TUMemo::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QRect r = event->rect();
    p.drawImage(r, FCanvas, r);
    PaintOverlays(p);
    if (FCaretOn && hasFocus() && FPreedit.isEmpty()) {
        FShownCaret = CaretRect();
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(FShownCaret, Qt::white);
    }
}

void TUMemo::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    Relayout();
}

void TUMemo::StartCaret() {
    FCaretOn = true;
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0) {
        FCaretTimer.start(flash / 2, this);
    } else {
        FCaretTimer.stop();
    }
}

void TUMemo::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    StartCaret();
    RepaintChanged();
    viewport()->update(CaretRect());
}

void TUMemo::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    FCaretTimer.stop();
    FEditor->ClosePopup();
    RepaintChanged();
    viewport()->update(FShownCaret);
}

void TUMemo::scrollContentsBy(int, int) {
    if (FSyncingScrollBars) return;
    const std::int32_t top = verticalScrollBar()->value();
    const std::int32_t left = horizontalScrollBar()->value() + 1;
    if (top == Lines().TopRow() && left == Lines().LeftCol()) return;
    FEditor->ScrollView({top, left});
}

void TUMemo::wheelEvent(QWheelEvent* event) {
    FWheelDelta += event->angleDelta().y();
    const int notches = FWheelDelta / kWheelStep;
    FWheelDelta -= notches * kWheelStep;
    event->accept();
    if (notches == 0) return;
    if (FEditor->PopupOpen()) {
        for (int k = 0; k < std::abs(notches); ++k)
            FEditor->Perform(KeyDownAction(notches > 0 ? TKey::kyUp : TKey::kyDown, {}, true));
        return;
    }
    FEditor->ScrollRows(-notches);
}

void TUMemo::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) Relayout();
}

void TUMemo::timerEvent(QTimerEvent* event) {
    if (event->timerId() == FDragTimer.timerId()) {
        DragTick();
        return;
    }
    if (event->timerId() == FPrimaryTimer.timerId()) {
        FPrimaryTimer.stop();
        OfferPrimarySelection();
        return;
    }
    if (event->timerId() != FCaretTimer.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    // A blink shows or hides the caret where it stands: its rectangle alone is drawn again.
    FCaretOn = !FCaretOn;
    viewport()->update(FShownCaret | CaretRect());
}

}  // namespace rekna
