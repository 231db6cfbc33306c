// TVtFrameCalc: the panes, their events, the option groups, documents and settings.
#include "frame/qt/vt_frame_calc.h"
#include "frame/qt/run_input.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "editor/qt/locale_collation.h"
#include "editor/qt/umemo.h"
#include "frame/log_hint.h"
#include "frame/pane_style.h"
#include "platform/cp932.h"
#include "platform/file_io.h"

namespace rekna {

namespace {

QString Q(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

// The part of a hint before "|" pops up; the part after it goes to the status line.
void SetHint(QWidget* w, const std::string& hint) {
    const THintParts parts = SplitHint(hint);
    w->setToolTip(Q(parts.Popup));
    w->setStatusTip(Q(parts.Status));
}

}  // namespace

TVtFrameCalc::TVtFrameCalc(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("VtFrameCalc"));
    // The memo's sorts follow the locale.
    InstallLocaleCollation();
    CreatePanes();
    TFrameView& view = *this;
    FCore = std::make_unique<TFrameCalcCore>(FMemo1->Lines(), FMemo2->Lines(), FMemo3->Lines(),
                                             FCalc, view);
    CreateActions();
    CreateCalcBar();
    CreateMenus();
    WireEvents();
    // Every pane colours the automation object's members as keywords.
    for (TUMemo* m : {FMemo1, FMemo2, FMemo3})
        m->AddFunctionNames(ScriptKeywords());
    SetMemoMode();
    SetWindow();
    SetCalcMode();
    FCalc.SetOnPoll([this] { PollDuringRun(); });
    // Runs go on in slices between window events, the visible rows first.
    TRunProcedure& run = FCore->Run();
    run.Sliced = true;
    run.OnPending = [this] {
        if (FContinueQueued) return;
        FContinueQueued = true;
        QTimer::singleShot(0, this, [this] {
            FContinueQueued = false;
            Guarded([this] { FCore->Run().Continue(); });
        });
    };
    run.OnSlice = [this] {
        // Rows the run has not yet reached show no answer as if it were current.
        FMemo2->SetFaintFrom(FCore->Run().PendingFrom());
        if (FCore->Run().Pending() && FCore->Run().RunSeconds() >= 1) FCore->UpdateCalcBar();
    };
}

void TVtFrameCalc::Guarded(const std::function<void()>& work) noexcept {
    try {
        work();
    } catch (...) {
        // What could not be calculated keeps the answers the rows show; the next run calculates
        // every row.
        FCore->Run().ReportFailure();
        FCore->Run().Invalidate();
    }
}

void TVtFrameCalc::FinishRun() noexcept {
    Guarded([this] { FCore->Run().Finish(); });
}

TVtFrameCalc::~TVtFrameCalc() {
    FCalc.SetOnPoll(nullptr);
    FCore->Run().OnPending = nullptr;
    FCore->Run().OnSlice = nullptr;
    for (TUMemo* m : {FMemo1, FMemo2, FMemo3}) {
        TUMemoEditor& e = m->Editor();
        e.OnChanged = nullptr;
        e.OnMovedCaretRow = nullptr;
        e.OnMovedCaretCol = nullptr;
        e.OnSelected = nullptr;
        e.OnDisSelected = nullptr;
        e.OnVScrolled = nullptr;
        e.Wrap().OnChangeWordWrap = nullptr;
    }
    FCore.reset();
}

void TVtFrameCalc::CreatePanes() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FSplitter2 = new QSplitter(Qt::Vertical, this);
    FSplitter2->setObjectName(QStringLiteral("Splitter2"));
    FPanel1 = new QWidget(FSplitter2);
    FPanel1->setObjectName(QStringLiteral("Panel1"));
    auto* panel = new QVBoxLayout(FPanel1);
    panel->setContentsMargins(0, 0, 0, 0);
    FSplitter1 = new QSplitter(Qt::Horizontal, FPanel1);
    FSplitter1->setObjectName(QStringLiteral("Splitter1"));
    panel->addWidget(FSplitter1);
    FMemo1 = new TUMemo(FSplitter1);
    FMemo1->setObjectName(QStringLiteral("UMemo1"));
    FMemo2 = new TUMemo(FSplitter1);
    FMemo2->setObjectName(QStringLiteral("UMemo2"));
    FMemo3 = new TUMemo(FSplitter2);
    FMemo3->setObjectName(QStringLiteral("UMemo3"));
    FSplitter1->setChildrenCollapsible(false);
    FSplitter2->setChildrenCollapsible(false);
    FSplitter1->setStretchFactor(0, 1);
    FSplitter1->setStretchFactor(1, 0);
    FSplitter2->setStretchFactor(0, 1);
    FSplitter2->setStretchFactor(1, 0);
    FMemo2->setMinimumWidth(20);
    FMemo3->setMinimumHeight(20);
    FMemo2->Editor().SetReadOnly(true);
    FMemo2->SetFileType(TFileType::ftAns);
    FMemo2->SetScrollBars(TScrollStyle::ssHorizontal);
    FMemo3->Editor().SetReadOnly(true);
    FMemo3->hide();
    FSplitter1->setSizes({400, 170});
    FSplitter2->setSizes({300, 120});
    layout->addWidget(FSplitter2, 1);
    FToolBar = new QToolBar(this);
    FToolBar->setObjectName(QStringLiteral("ToolBar1"));
    FToolBar->setIconSize(QSize(16, 16));
    FToolBar->setMinimumHeight(18);
    layout->addWidget(FToolBar);
    for (TUMemo* m : {FMemo1, FMemo2, FMemo3}) {
        m->installEventFilter(this);
        m->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    FMemo3->viewport()->installEventFilter(this);
}

void TVtFrameCalc::WireEvents() {
    TUMemoEditor& memo = FMemo1->Editor();
    memo.OnChanged = [this] {
        Guarded([this] { FCore->MemoChanged(); });
        SyncSaveAction();
    };
    memo.OnMovedCaretRow = [this] { FCore->MemoMovedCaretRow(); };
    memo.OnMovedCaretCol = [this] { FCore->MemoMovedCaretCol(); };
    memo.OnSelected = [this] { FCore->MemoSelected(); };
    memo.OnDisSelected = [this] { FCore->MemoDisSelected(); };
    memo.OnVScrolled = [this] { FCore->MemoVScrolled(); };
    memo.Wrap().OnChangeWordWrap = [this] { WrapModeChanged(); };
    TUMemoEditor& answers = FMemo2->Editor();
    answers.OnMovedCaretRow = [this] { FCore->AnswerMovedCaretRow(); };
    answers.OnVScrolled = [this] { FCore->AnswerVScrolled(); };
    // The calc bar follows every change of the answer pane's selection, within a row too.
    answers.OnSelected = [this] { FCore->UpdateCalcBar(); };
    answers.OnDisSelected = [this] { FCore->UpdateCalcBar(); };
    answers.OnMovedCaretCol = [this] {
        if (FMemo2->Lines().Selection().HasSelection(FMemo2->Lines())) FCore->UpdateCalcBar();
    };

    FCore->OnBeginCalc = [this] {
        if (FRunButton) {
            FRunButton->setDown(true);
            FRunButton->repaint();
        }
        if (OnBeginCalc) OnBeginCalc();
    };
    FCore->OnEndCalc = [this] {
        if (FRunButton) FRunButton->setDown(false);
        if (OnEndCalc) OnEndCalc();
    };
    FCore->OnChangeTitle = [this] {
        if (OnChangeTitle) OnChangeTitle();
    };
    FCore->OnChangeMenus = [this] {
        RebuildUserFuncMenu();
        if (OnChangeMenus) OnChangeMenus();
    };
    FCore->OnSetMemoHint = [this] {
        if (OnSetMemoHint) OnSetMemoHint();
    };
    FCore->OnChanged = [this] {
        if (OnChanged) OnChanged();
    };
    FCore->OnCalcBarChanged = [this] { ShowCalcBar(); };
    FCore->OnAddKeyword = [this](const std::string& name) {
        const std::string_view names[] = {name};
        FMemo1->AddFunctionNames(names);
        FMemo3->AddFunctionNames(names);
    };
    FCore->OnClearKeywords = [this] {
        for (TUMemo* m : {FMemo1, FMemo3}) {
            m->ResetFunctionList();
            m->AddFunctionNames(ScriptKeywords());
        }
    };
    const auto popup = [](QMenu* menu) { menu->popup(QCursor::pos()); };
    connect(FMemo1, &QWidget::customContextMenuRequested, this,
            [this, popup] { popup(FMemoPopup); });
    connect(FMemo2, &QWidget::customContextMenuRequested, this,
            [this, popup] { popup(FAnswerPopup); });
    connect(FMemo3, &QWidget::customContextMenuRequested, this,
            [this, popup] { popup(FLogPopup); });
    FLabelAns->setContextMenuPolicy(Qt::CustomContextMenu);
    FLabelAns->installEventFilter(this);
    connect(FLabelAns, &QWidget::customContextMenuRequested, this,
            [this, popup] { popup(FLabelPopup); });
}

void TVtFrameCalc::PollDuringRun() {
    if (FPolling) return;
    FPolling = true;
    const TPollResult asked = ProcessEventsHoldingInput(2);
    FPolling = false;
    if (asked.StopAsked()) {
        FCore->Run().EscPressed = true;
        FCalc.RequestStop();
    }
    if (HasHeldInput()) DeliverHeldInputLater();
}

void TVtFrameCalc::DeliverHeldInputLater() {
    if (FDeliveryPending) return;
    FDeliveryPending = true;
    QTimer::singleShot(0, this, [this] { DeliverHeldInputWhenIdle(); });
}

bool TVtFrameCalc::Busy() noexcept {
    return FPolling || FLongCommand || FCore->Run().Running() || FCalc.ScriptRunning();
}

bool TVtFrameCalc::PollLongCommand(std::string_view what, std::size_t done, std::size_t total) {
    using namespace std::chrono;
    const auto now = steady_clock::now();
    TRunProcedure& run = FCore->Run();
    if (done == 0 || !FLongCommand) {
        FLongCommand = true;
        FLongStart = FLongPolled = now;
        run.EscPressed = false;
        FCalc.ClearStopRequest();
    }
    FLongDone = done;
    FLongTotal = total;
    // The window runs a few times a second at least, as between a run's slices.
    if (now - FLongPolled >= milliseconds(20)) {
        FLongPolled = now;
        if (now - FLongStart >= milliseconds(kLongCommandProgressMs)) {
            QStatusTipEvent tip(
                QString::fromUtf8(what.data(), static_cast<qsizetype>(what.size())) +
                QStringLiteral("中 %1 / %2 (Escで中止)").arg(done).arg(total));
            QApplication::sendEvent(window(), &tip);
        }
        PollDuringRun();
    }
    return !run.EscPressed && !FCalc.StopRequested();
}

void TVtFrameCalc::EndLongCommand(std::string_view what) {
    if (!FLongCommand) return;
    FLongCommand = false;
    TRunProcedure& run = FCore->Run();
    const QString name = QString::fromUtf8(what.data(), static_cast<qsizetype>(what.size()));
    if (run.EscPressed || FCalc.StopRequested()) {
        QStatusTipEvent tip(
            name + QStringLiteral("を中止しました (%1 / %2)").arg(FLongDone).arg(FLongTotal));
        QApplication::sendEvent(window(), &tip);
    } else if (std::chrono::steady_clock::now() - FLongStart >=
               std::chrono::milliseconds(kLongCommandProgressMs)) {
        QStatusTipEvent tip{QString()};
        QApplication::sendEvent(window(), &tip);
    }
    run.EscPressed = false;
    FCalc.ClearStopRequest();
    if (HasHeldInput()) DeliverHeldInputLater();
}

void TVtFrameCalc::DeliverHeldInputWhenIdle() {
    // The timer also fires inside the run's polls and a script's message box: it waits there.
    if (Busy()) {
        QTimer::singleShot(10, this, [this] { DeliverHeldInputWhenIdle(); });
        return;
    }
    FDeliveryPending = false;
    DeliverHeldInputNow();
}

void TVtFrameCalc::DeliverHeldInputNow() {
    if (Busy() || !HasHeldInput()) return;
    // The keys typed meanwhile become one edit of the memo, and so one calculation.
    TUMemoStrings& lines = FMemo1->Lines();
    DeliverHeldInput(
        FMemo1, [&lines] { lines.BeginUpdate(); }, [&lines] { lines.EndUpdate(); });
}

// --- What the core asks ----------------------------------------------------------------------

bool TVtFrameCalc::MemoFocused() const {
    return FMemo1->hasFocus() || !FMemo2->hasFocus();
}
bool TVtFrameCalc::AnswerFocused() const {
    return FMemo2->hasFocus();
}
bool TVtFrameCalc::ApplicationActive() const {
    return QApplication::applicationState() == Qt::ApplicationActive;
}
bool TVtFrameCalc::MemoModified() const {
    return FMemo1->Editor().Modified();
}
int TVtFrameCalc::AnswerPageRows() const {
    return FMemo2->PageRows();
}

void TVtFrameCalc::ShowLogTop() {
    FLogEndPending = false;
    TUMemoStrings& log = FMemo3->Lines();
    if (log.TopRow() == 0 && log.LeftCol() == 1) return;
    FMemo3->SetTopRow(0);
    FMemo3->SetLeftCol(1);
}

void TVtFrameCalc::ShowLogEnd() {
    // Until the pane has been laid out its height is not known.
    FLogEndPending = !FMemo3->isVisible() || FMemo3->FullPageRows() <= 1;
    const int rows = FMemo3->Lines().GetCount();
    FMemo3->SetTopRow(std::max(0, rows - FMemo3->FullPageRows()));
    FMemo3->SetLeftCol(1);
}

// --- Events ----------------------------------------------------------------------------------

void TVtFrameCalc::PopupAtCaret(TUMemo& pane) {
    QMenu* menu = &pane == FMemo1 ? FMemoPopup : &pane == FMemo2 ? FAnswerPopup : FLogPopup;
    // Below the caret, where the eyes of someone typing are.
    const QRect caret =
        static_cast<const QWidget&>(pane).inputMethodQuery(Qt::ImCursorRectangle).toRect();
    menu->popup(pane.mapToGlobal(caret.bottomLeft() + QPoint(0, 1)));
}

bool TVtFrameCalc::eventFilter(QObject* watched, QEvent* event) {
    auto* pane = qobject_cast<TUMemo*>(watched);
    const bool isPane = pane == FMemo1 || pane == FMemo2 || pane == FMemo3;
    // The Menu key and Shift+F10 open the pane's popup menu at the caret, not at the mouse.
    if (isPane && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        PopupAtCaret(*pane);
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (isPane && key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier) {
            PopupAtCaret(*pane);
            return true;
        }
        if (watched == FMemo1 && key->key() == Qt::Key_Down && mods == Qt::NoModifier) {
            // While the completion list is open Down moves its selection, not the caret.
            if (!FMemo1->Editor().PopupOpen()) FCore->PrepareDownArrow();
        } else if (watched == FMemo2 && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
            // Shifted digits arrive as their symbols; the key's row on the keyboard tells the
            // digit.
            char digit = 0;
            if (key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9) {
                digit = static_cast<char>('0' + (key->key() - Qt::Key_0));
            } else if (key->key() == Qt::Key_Minus) {
                digit = '-';
            } else if (mods == Qt::ShiftModifier && key->nativeScanCode() >= 10 &&
                       key->nativeScanCode() <= 19) {
                digit = static_cast<char>(
                    key->nativeScanCode() == 19 ? '0' : '1' + (key->nativeScanCode() - 10));
            }
            if (digit != 0 && FCore->AnswerDigitKey(digit, mods == Qt::ShiftModifier)) {
                SyncActions();
                return true;
            }
        }
    } else if (event->type() == QEvent::MouseMove && watched == FMemo3->viewport()) {
        const TPointerCell cell =
            FMemo3->PointerCellAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        const int column = cell.InLineMargin ? 0 : static_cast<int>(cell.Column);
        if (const std::optional<std::string> hint = FCore->LogHint(cell.Row, column)) {
            SetHint(FMemo3, *hint);
            // The status line shows a widget's tip only as the mouse enters it: the token under
            // the mouse is told to it at every change.
            QStatusTipEvent tip(FMemo3->statusTip());
            QCoreApplication::sendEvent(FMemo3, &tip);
            const THintParts parts = SplitHint(*hint);
            if (parts.Popup.empty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(QCursor::pos(), Q(parts.Popup), FMemo3);
            }
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == FLabelAns &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // A click on the answer label copies it.
        Action("ActionEditCopyAns")->trigger();
    } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        FCore->UpdateCalcBar();
    } else if (event->type() == QEvent::Resize && watched == FMemo3 && FLogEndPending) {
        // The pane that was just switched on has its height only now: its last line is shown
        // again with the lines above it.
        QTimer::singleShot(0, this, [this] {
            if (FLogEndPending) ShowLogEnd();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void TVtFrameCalc::ShowCalcBar() {
    QString label = Q(FCore->LabelText());
    label.replace(QLatin1Char('\t'), QStringLiteral("  "));
    FLabelAns->setText(label);
    SetHint(FMemo1, FCore->MemoHint());
    SetHint(FMemo2, FCore->AnswerHint());
    SetHint(FLabelAns, FCore->MemoHint());
    FMemo3->SetFileType(FCore->LogFileType());
}

// --- Option groups ---------------------------------------------------------------------------

void TVtFrameCalc::SetCalcMode() {
    FCore->SetCalcMode();
    SyncActions();
}

void TVtFrameCalc::SetWindow() {
    const TCalcOptions& o = FCore->Options();
    FMemo2->setVisible(o.WindowAns);
    FMemo3->setVisible(FCore->LogPaneVisible());
    FToolBar->setVisible(o.WindowCalcBar);
    for (QAction* a : FRunButtons)
        a->setVisible(o.WindowCalcRun);
    FCore->SetWindow();
    SyncActions();
}

void TVtFrameCalc::SetMemoMode() {
    FCore->SetMemoMode();
    const TCalcOptions& o = FCore->Options();
    QFont font(QString::fromStdString(Cp932ToUtf8(o.FontName)), o.FontSize);
    font.setStyleHint(QFont::TypeWriter);
    const TScrollMargins margins{4, o.ScrollMargin, 4, o.ScrollMargin};
    const TPaintStyle styles[] = {PaneStyle(FStyles.Memo, o), PaneStyle(FStyles.Answer, o),
                                  PaneStyle(FStyles.Log(), o)};
    int i = 0;
    for (TUMemo* m : {FMemo1, FMemo2, FMemo3}) {
        if (m->MemoFont() != font) m->SetMemoFont(font);
        m->SetRowPich(o.RowPitch);
        m->SetScrollMargins(margins);
        m->SetStyle(styles[i++]);
    }
    FMemo1->Editor().SetInputAssist(o.InputAssist);
    FMemo1->Editor().SetTabIndentChar(o.IndentChar == 1 ? TTabIndentChar::tcTab
                                                        : TTabIndentChar::tcSpace);
    ApplyWrapMode();
    SyncActions();
}

void TVtFrameCalc::ActionViewWrap0Execute() {
    ApplyWrapMode();
    SyncActions();
}

void TVtFrameCalc::ApplyWrapMode() {
    const TCalcOptions& o = FCore->Options();
    TUMemoWrap& wrap = FMemo1->Editor().Wrap();
    FApplyingWrap = true;
    const TUMemoStrings& lines = FMemo1->Lines();
    if (lines.BanBreak() != o.WrapBreak) {
        wrap.SetBanBreak(o.WrapBreak);
        FCore->WrapRulesChanged();
    }
    wrap.SetWordWrapWidth(o.WrapWidth);
    if (o.WrapMode == TWordWrapType::wtPaper) {
        int columns = 80;
        if (OnGetPaperColWidth) OnGetPaperColWidth(columns);
        if (columns != FPaperColumns || wrap.WordWrap() != TWordWrapType::wtPaper) {
            FPaperColumns = columns;
            wrap.SetWordWrapPaper(columns);
            wrap.SetWordWrap(TWordWrapType::wtPaper);
        }
    } else {
        wrap.SetWordWrap(o.WrapMode);
    }
    FApplyingWrap = false;
}

void TVtFrameCalc::WrapModeChanged() {
    if (FApplyingWrap) return;
    // The memo changed its wrapping itself (the wrap-margin drag): the actions follow it.
    TCalcOptions& o = FCore->Options();
    const TUMemoWrap& wrap = FMemo1->Editor().Wrap();
    o.WrapMode = wrap.WordWrap();
    o.WrapBreak = FMemo1->Lines().BanBreak();
    if (wrap.WordWrap() == TWordWrapType::wtCount) o.WrapWidth = wrap.WordWrapWidth();
    SyncActions();
}

// --- Documents -------------------------------------------------------------------------------

bool TVtFrameCalc::OpenDocument(const std::string& path, bool append, bool caretToEnd,
                                bool adoptName) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes).Ok()) return false;
    TDecodedDocument doc = DecodeDocument(std::move(bytes));
    if (append) {
        if (!FMemo1->Lines().AppendBytes(doc.Bytes)) return false;
    } else {
        if (!FMemo1->LoadBytes(doc.Bytes, caretToEnd)) return false;
        FMemo1->Editor().ClearUndo();
        FDocEncoding = doc.Encoding;
        FDocBom = doc.Bom;
        FDocLineEnd = doc.LineEnd;
        if (OnChangeFormat) OnChangeFormat();
    }
    FMemo1->UpdateScrollRanges();
    FMemo1->RepaintAll();
    FCore->DocumentOpened(path, append, adoptName);
    SyncActions();
    return true;
}

TFileResult TVtFrameCalc::SaveDocument(const std::string& path) {
    FinishRun();
    const TUMemoStrings& lines = FMemo1->Lines();
    const std::string bytes = EncodeDocument(lines.SaveBytes(), FDocEncoding, FDocBom, FDocLineEnd);
    const TFileResult result = WriteFileReplacing(
        path, [&bytes](const std::function<void(std::string_view)>& sink) { sink(bytes); });
    if (!result.Ok()) return result;
    FMemo1->Editor().ClearUndo();
    FCore->DocumentSaved(path);
    SyncActions();
    return result;
}

bool TVtFrameCalc::TakeBackupOf(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes).Ok()) return false;
    const TDecodedDocument doc = DecodeDocument(std::move(bytes));
    FDocEncoding = doc.Encoding;
    FDocBom = doc.Bom;
    FDocLineEnd = doc.LineEnd;
    if (OnChangeFormat) OnChangeFormat();
    // Line ends aside, is the backup's text what the file holds?
    const auto text = [](std::string s) {
        std::erase(s, '\r');
        return s;
    };
    FCore->BackupOfDocument(path, text(doc.Bytes) != text(FMemo1->Lines().SaveBytes()));
    SyncActions();
    return true;
}

void TVtFrameCalc::NewDocument() {
    const TDocFormat format = PlainFileFormat();
    FDocEncoding = format.Encoding;
    FDocBom = format.Bom;
    FDocLineEnd = format.LineEnd;
    if (OnChangeFormat) OnChangeFormat();
}

void TVtFrameCalc::SetDocumentFormat(TDocEncoding encoding, TLineEnd lineEnd) {
    if (encoding == FDocEncoding && lineEnd == FDocLineEnd) return;
    FDocEncoding = encoding;
    FDocLineEnd = lineEnd;
    if (encoding == TDocEncoding::deCp932) FDocBom = false;
    FCore->FormatChanged();
    SyncSaveAction();
    if (OnChangeFormat) OnChangeFormat();
}

bool TVtFrameCalc::DocumentEncodable() const {
    return CanEncode(FMemo1->Lines().SaveBytes(), FDocEncoding);
}

void TVtFrameCalc::SetDefinitions(std::string text) {
    FCore->SetDefText(std::move(text));
    FCore->RerunDefinitions();
}

// --- Settings --------------------------------------------------------------------------------

void TVtFrameCalc::ReadSettings(const TSettingsStore& store) {
    TCalcOptions& o = FCore->Options();
    if (FMemo2->isVisible()) o.AnsWidth = FMemo2->width();
    ReadFrameSettings(store, o, FCalc, FStyles);
    ApplyPaneSizes();
    SetMemoMode();
    SetWindow();
    SetCalcMode();
    FCalc.Clear();
}

void TVtFrameCalc::SetPaneStyles(const TPaneStyles& styles) {
    FStyles = styles;
    SetMemoMode();
}

void TVtFrameCalc::ApplyPaneSizes() {
    const TCalcOptions& o = FCore->Options();
    const int total = FSplitter1->width();
    FSplitter1->setSizes({std::max(20, total - o.AnsWidth), std::max(20, o.AnsWidth)});
    const int height = FSplitter2->height();
    FSplitter2->setSizes({std::max(20, height - o.LogHeight), std::max(20, o.LogHeight)});
}

void TVtFrameCalc::WriteSettings(TSettingsStore& store) {
    TCalcOptions& o = FCore->Options();
    if (FMemo2->isVisible()) o.AnsWidth = FMemo2->width();
    if (FMemo3->isVisible()) o.LogHeight = FMemo3->height();
    WriteFrameSettings(store, o, FCalc, FStyles);
}

}  // namespace rekna
