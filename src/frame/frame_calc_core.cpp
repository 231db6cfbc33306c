// The calculation frame's decisions: option groups, runs, pane events, the log pane, the calc
// bar, clearing and the document title.
#include "frame/frame_calc_core.h"

#include <algorithm>

#include "editor/store/umemo_strings.h"
#include "engine/vt_calc.h"
#include "frame/calc_bar.h"
#include "frame/log_hint.h"
#include "platform/cp932.h"
#include "platform/scoped_flag.h"

namespace rekna {

namespace {

// The fixed name of the automation object and its members, known to every pane's colouring.
constexpr std::string_view kScriptWords[] = {"Calc",    "CalcC",    "CalcS",   "Var",   "VarC",
                                             "Func",    "FuncC",    "EscStop", "Quit",  "ClipBoard",
                                             "ExePath", "FileName", "Ans",     "Sleep", "Rekna"};

}  // namespace

TFrameCalcCore::TFrameCalcCore(TUMemoStrings& memo, TUMemoStrings& answers, TUMemoStrings& log,
                               TVtCalc& calc, TFrameView& view)
    : FMemo(memo), FAnswers(answers), FLog(log), FCalc(calc), FView(view),
      FRun(memo, answers, calc, FOptions) {
    FMemo.SetCplxEnable(true);
    FRun.OnBeginCalc = [this] {
        if (OnBeginCalc) OnBeginCalc();
    };
    FRun.OnShowLog = [this](const std::string& log) {
        if (LogPaneVisible()) ShowLogPane(log);
    };
    FRun.OnRunEnded = [this] {
        FNeedBarUpdate = true;
        UpdateCalcBar();
    };
    FRun.OnEndCalc = [this] {
        if (OnEndCalc) OnEndCalc();
    };
    FRun.OnWriteAnswer = [this](int row, const std::string& answer) {
        if (OnWriteAnswer) OnWriteAnswer(row, answer);
    };
    FCalc.OnAddUserFunc = [this](TVtCalc&, const std::string& name) {
        if (OnAddKeyword) OnAddKeyword(name);
    };
    FCalc.OnClear = [this](TVtCalc&) {
        if (OnClearKeywords) OnClearKeywords();
    };
    ApplyFrameDesign(FCalc);
}

TFrameCalcCore::~TFrameCalcCore() {
    FCalc.OnAddUserFunc = nullptr;
    FCalc.OnClear = nullptr;
}

bool TFrameCalcCore::LogPaneVisible() const noexcept {
    return FOptions.WindowLog && FOptions.LogContent != TLogContent::lcAnsTable;
}

// --- Option groups -------------------------------------------------------------------------

void TFrameCalcCore::SetCalcMode() {
    FOptions.ApplyToEngine(FCalc);
    FMemo.SetDoubleMul(FOptions.MemoDoubleMul());
    FMemo.SetDoubleDiv(FOptions.MemoDoubleDiv());
    FCalcBarFormat = FOptions.CalcBarFormat();
    // Any option may change what a row shows or which rows calculate: every row runs again.
    FRun.Invalidate();
    // Without a script language the option keeps its check: it only cannot take effect.
    const bool scripting = FCalc.HasScriptHost();
    FCalc.SetScriptEnabled(scripting && FOptions.VbScript);
    if (scripting) FOptions.VbScript = FCalc.ScriptEnabled();
    if (FOptions.CalcAuto) {
        RunRows(true, false, TCalcRangeKind::rkAll, TRunCommand::rcRun);
    } else {
        ClearAnswerRows();
        if (LogPaneVisible()) ShowLogPane({});
        FNeedBarUpdate = true;
        UpdateCalcBar();
    }
}

void TFrameCalcCore::SetWindow() {
    RefreshLog();
    FNeedBarUpdate = true;
    UpdateCalcBar();
}

void TFrameCalcCore::SetMemoMode() {
    FOptions.ClampEditorSettings();
    FMemo.SetAutoIndent(FOptions.AutoIndent);
    FMemo.SetAutoKakko(FOptions.AutoKakko);
    TAutoIndentTypes types;
    if (!FOptions.IndentSelect) types.Exclude(TAutoIndentType::atSelect);
    if (!FOptions.IndentArrow) types.Exclude(TAutoIndentType::atArrow);
    if (!FOptions.IndentBS) types.Exclude(TAutoIndentType::atBS);
    if (!FOptions.IndentDel) types.Exclude(TAutoIndentType::atDel);
    FMemo.SetAutoIndentTypes(types);
    for (TUMemoStrings* s : {&FMemo, &FAnswers, &FLog})
        s->SetTabStops(FOptions.TabStops);
}

// --- Runs ----------------------------------------------------------------------------------

void TFrameCalcCore::RunRows(bool store, bool write, TCalcRangeKind kind, TRunCommand command) {
    if (FRun.Running()) return;
    if (FRunsHeld > 0) {
        FRunAsked = true;
        return;
    }
    if (FMemo.GetCount() == 0) {
        // Nothing runs, but the calc bar still tells about the empty memo.
        FNeedBarUpdate = true;
        UpdateCalcBar();
        return;
    }
    FRunningCommand = command;
    FRun.CalcRows(store, write, kind);
    FRunningCommand = TRunCommand::rcNone;
}

void TFrameCalcCore::ReleaseRuns() {
    if (FRunsHeld == 0 || --FRunsHeld > 0 || !FRunAsked) return;
    FRunAsked = false;
    RunRows(true, false, TCalcRangeKind::rkAll, TRunCommand::rcRun);
}

void TFrameCalcCore::RunCommand(TRunCommand command) {
    switch (command) {
    case TRunCommand::rcRunStop: RunRows(true, false, TCalcRangeKind::rkToCaret, command); break;
    case TRunCommand::rcRunRow: RunRows(true, false, TCalcRangeKind::rkCaretRows, command); break;
    case TRunCommand::rcRunEnd: RunRows(true, false, TCalcRangeKind::rkFromCaret, command); break;
    default: RunRows(true, false, TCalcRangeKind::rkAll, TRunCommand::rcRun); break;
    }
}

void TFrameCalcCore::AutoCalc() {
    // The edit is shown before a long line it changed is calculated.
    const TScopedFlag editFirst(FRun.EditFirst);
    switch (FOptions.AutoRange) {
    case TCalcRangeKind::rkAllEquivalent:
        RunRows(true, false, TCalcRangeKind::rkAllEquivalent, TRunCommand::rcRun);
        break;
    case TCalcRangeKind::rkToCaret:
    case TCalcRangeKind::rkCaretRows:
    case TCalcRangeKind::rkFromCaret:
        RunRows(true, false, FOptions.AutoRange, TRunCommand::rcNone);
        break;
    default: RunRows(true, false, TCalcRangeKind::rkAll, TRunCommand::rcRun); break;
    }
}

void TFrameCalcCore::ClearAnswerRows() {
    FAnswers.BeginUpdate();
    for (int r = 0; r < FAnswers.GetCount(); ++r) {
        if (!FAnswers.Get(r).empty()) FRun.PutAnswerRow(r, "");
    }
    FAnswers.EndUpdate();
    // The memo rows keep their answers; the log pane has nothing to show for them.
    for (int r = 0; r < FMemo.GetCount(); ++r) {
        const TLineAnswerRef& a = FMemo.Answer(r);
        if (!a.Log().empty())
            FMemo.SetAnswer(r, TLineAnswer::Make(a.Note(), a.Result(), a.Value(), {}, a.Deps()));
    }
}

// --- Pane events ---------------------------------------------------------------------------

void TFrameCalcCore::MemoChanged() {
    const int top = FMemo.TopRow();
    FRun.RefreshAnswerRows(top, std::min(top + FView.AnswerPageRows() + 1, FMemo.GetCount() - 1));
    if (FHasName) FSaveEnabled = true;
    UpdateTitle();
    if (FOptions.CalcAuto && !FKeepingResults) {
        AutoCalc();
    } else {
        FNeedBarUpdate = true;
        UpdateCalcBar();
    }
    if (OnChanged) OnChanged();
}

bool TFrameCalcCore::MemoHasSelection() const {
    return FMemo.Selection().HasSelection(FMemo);
}

void TFrameCalcCore::MemoMovedCaretRow() {
    if (!FView.AnswerFocused()) {
        if (!FNeedBarUpdate) FRun.SyncAnswerRows();
        if (LogPaneVisible() && !MemoHasSelection() &&
            FOptions.LogContent == TLogContent::lcCalcLog)
            LogOnCaretMove();
    }
    FNeedBarUpdate = true;
    UpdateCalcBar();
}

void TFrameCalcCore::MemoMovedCaretCol() {
    UpdateCalcBar();
}

void TFrameCalcCore::MemoSelected() {
    FNeedBarUpdate = true;
    UpdateCalcBar();
}

void TFrameCalcCore::MemoDisSelected() {
    if (LogPaneVisible() && FOptions.LogContent == TLogContent::lcCalcLog) LogOnCaretMove();
    FNeedBarUpdate = true;
    UpdateCalcBar();
}

void TFrameCalcCore::MemoVScrolled() {
    if (FAnswers.TopRow() == FMemo.TopRow()) return;
    FAnswers.BeginUpdate();
    FAnswers.SetTopRow(FMemo.TopRow());
    FAnswers.EndUpdate();
}

void TFrameCalcCore::AnswerVScrolled() {
    if (!FView.AnswerFocused() || FMemo.TopRow() == FAnswers.TopRow()) return;
    const TEditGroup group(FMemo, false);
    FMemo.SetTopRow(std::min(FAnswers.TopRow(), std::max(0, FMemo.GetCount() - 1)));
}

void TFrameCalcCore::AnswerMovedCaretRow() {
    if (!FView.AnswerFocused()) return;
    if (FMemo.GetCount() > 0) {
        const TEditGroup group(FMemo, false);
        const int row = std::clamp(FAnswers.Selection().Caret.Y, 0, FMemo.GetCount() - 1);
        FMemo.Selection().SetCaret(FMemo, {1, row}, TSelMode::smNone);
        FMemo.SetTopRow(std::min(FAnswers.TopRow(), FMemo.GetCount() - 1));
    }
    if (LogPaneVisible() && !FAnswers.Selection().HasSelection(FAnswers) &&
        FOptions.LogContent == TLogContent::lcCalcLog)
        LogOnCaretMove();
    FNeedBarUpdate = true;
    UpdateCalcBar();
}

bool TFrameCalcCore::AnswerDigitKey(char key, bool shift) {
    const std::optional<int> length = DigitKeyLength(key, shift, FCalc.AnsLength());
    if (!length) return false;
    if (*length != FCalc.AnsLength()) {
        FOptions.PendingAnsLength = *length;
        SetCalcMode();
    }
    return true;
}

bool TFrameCalcCore::PrepareDownArrow() {
    const int count = FMemo.GetCount();
    if (count > 0 && (FMemo.Selection().Caret.Y != count - 1 || FMemo.Get(count - 1).empty()))
        return false;
    const TEditGroup group(FMemo, true);
    FMemo.Add("");
    if (count == 0) FMemo.Add("");
    return true;
}

void TFrameCalcCore::WrapRulesChanged() {
    if (FOptions.CalcAuto) {
        AutoCalc();
    } else {
        FRun.RefreshAnswerRows(0, FMemo.GetCount() - 1);
    }
}

// --- Log pane and calc bar -----------------------------------------------------------------

void TFrameCalcCore::LogOnCaretMove() {
    switch (FOptions.LogPolicy) {
    case TLogPolicy::lpCalcAll:
        RunRows(false, false, TCalcRangeKind::rkAll, TRunCommand::rcNone);
        break;
    case TLogPolicy::lpCalcStop:
        RunRows(false, false, TCalcRangeKind::rkToCaret, TRunCommand::rcNone);
        break;
    case TLogPolicy::lpCalcCaret:
        RunRows(false, false, TCalcRangeKind::rkCaretRows, TRunCommand::rcNone);
        break;
    case TLogPolicy::lpHold:
        if (!MemoHasSelection()) {
            ShowLogPane(GetCaretLog());
            FView.ShowLogTop();
        }
        break;
    default: break;
    }
}

void TFrameCalcCore::ShowLogPane(const std::string& log) {
    const std::vector<std::string> lines = LogPaneLines(FOptions.LogContent, log, FCalc, FDefText);
    FLog.BeginUpdate();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto row = static_cast<int>(i);
        if (row >= FLog.GetCount()) {
            FLog.Add(lines[i]);
        } else if (FLog.Get(row) != lines[i] || FLog.Continued(row)) {
            FLog.PutRow(row, lines[i], false);
        }
    }
    while (FLog.GetCount() > static_cast<int>(lines.size()))
        FLog.Delete(FLog.GetCount() - 1);
    if (FLog.GetCount() > 0 && FLog.Selection().Caret.Y >= FLog.GetCount()) {
        FLog.Selection().Clear();
        FLog.Selection().Caret = {1, 0};
    }
    FLog.EndUpdate();
    // A new log: the token under the mouse is described anew even where the mouse stands still.
    FHintRow = FHintColumn = -1;
    // A script's own lines follow the log lines of the calculations it made, and colour the log.
    const bool script = std::find(lines.begin(), lines.end(), "[VBScript]") != lines.end();
    const TFileType type = script ? TFileType::ftVBScript : TFileType::ftRekna;
    if (type != FLogFileType) {
        FLogFileType = type;
        if (OnCalcBarChanged) OnCalcBarChanged();
    }
}

void TFrameCalcCore::RefreshLog() {
    if (LogPaneVisible()) {
        ShowLogPane(GetCaretLog());
    } else if (FLog.GetCount() > 0) {
        FLog.BeginUpdate();
        while (FLog.GetCount() > 0)
            FLog.Delete(FLog.GetCount() - 1);
        FLog.EndUpdate();
    }
}

std::string TFrameCalcCore::MemoHintPrefix() const {
    const int rows = FMemo.GetCount();
    if (rows == 0) return rekna::MemoHintPrefix(false, 1, 0, 1, 0);
    const TUMemoSelection& sel = FMemo.Selection();
    if (FView.MemoFocused() && MemoHasSelection()) {
        std::size_t chars = 0;
        for (int r = 0; r < rows; ++r)
            chars += FMemo.RowContent(r).size() + (FMemo.Continued(r) ? 0 : 2);
        return rekna::MemoHintPrefix(true, sel.End().Y - sel.Start().Y + 1, rows,
                                     static_cast<int>(FMemo.GetSelText(false).size()),
                                     static_cast<int>(chars));
    }
    const int row = std::clamp(sel.Caret.Y, 0, rows - 1);
    return rekna::MemoHintPrefix(false, row + 1, rows, sel.Caret.X,
                                 static_cast<int>(FMemo.Get(row).size()));
}

void TFrameCalcCore::SetLabel(const std::string& formula, const std::string& answer) {
    std::string label;
    if (FOptions.WindowCalcEQ) label = formula;
    if (FOptions.WindowCalcEQ && FOptions.WindowCalcAns && !formula.empty()) label += " = ";
    if (FOptions.WindowCalcAns) label += answer;
    FLabelText = std::move(label);
}

void TFrameCalcCore::SelectionSummary(std::string_view text) {
    const TSelectionSummary s = SummarizeSelection(FCalc, FOptions, FCalcBarFormat, text);
    FCalcBarText = s.BarText;
    SetLabel(s.Formula, s.LabelAnswer);
    if (LogPaneVisible()) {
        ShowLogPane(s.Log);
        if (s.Formula.empty() && !s.Log.empty()) FView.ShowLogEnd();
    }
}

void TFrameCalcCore::UpdateCalcBar() {
    const std::string memoPrefix = MemoHintPrefix();
    const std::string answerPrefix = AnswerHintPrefix(FAnswers.Selection().Caret.Y);
    // While a run is under way the bar keeps what it shows; the run's end shows the caret line.
    if (!FRun.Running() && !FRun.Pending()) {
        if (MemoHasSelection()) {
            SelectionSummary(FMemo.GetSelText(false));
        } else if (FView.AnswerFocused() && FAnswers.Selection().HasSelection(FAnswers)) {
            SelectionSummary(FAnswers.GetSelText(false));
        } else if (FNeedBarUpdate) {
            if (FMemo.GetCount() == 0) {
                FCalcBarText.clear();
                FLabelText.clear();
            } else {
                const int row = FRun.CaretRow();
                const std::string formula = ShownFormula(FMemo.Note(row));
                const std::string answer =
                    CalcBarAnswer(FCalcBarFormat, FMemo.Result(row), FMemo.Value(row));
                FCalcBarText = CaretBarText(formula, answer);
                SetLabel(formula, answer);
            }
        }
    }
    const std::string bar = HintText(FCalcBarText);
    FMemoHint = memoPrefix + bar;
    // A long run tells how far it has come.
    if (FRun.Pending() && FRun.RunSeconds() >= 1) {
        FMemoHint += SysText("  計算中 ");
        FMemoHint += std::to_string(static_cast<int>(FRun.Progress() * 100));
        FMemoHint += SysText("% (Escで中止)");
    }
    FAnswerHint = answerPrefix + bar;
    FLogPaneHint.assign(1, '|').append(bar);
    FNeedBarUpdate = false;
    if (OnCalcBarChanged) OnCalcBarChanged();
    if (OnSetMemoHint) OnSetMemoHint();
}

void TFrameCalcCore::AngleButton() {
    CycleAngleButton(FOptions);
    SetCalcMode();
}

void TFrameCalcCore::DbButton() {
    CycleDbButton(FOptions);
    SetCalcMode();
}

void TFrameCalcCore::FormatButton() {
    CycleFormatButton(FOptions);
    SetCalcMode();
}

void TFrameCalcCore::StrButton() {
    FOptions.CalcStr = !FOptions.CalcStr;
    SetCalcMode();
}

void TFrameCalcCore::LogSelectorButton() {
    CycleLogSelector(FOptions);
}

std::optional<std::string> TFrameCalcCore::LogHint(int row, int column) {
    const bool on = FView.ApplicationActive() && FOptions.LogHint &&
                    FOptions.LogContent == TLogContent::lcCalcLog && !MemoHasSelection() &&
                    !FRun.Running() && !FRun.Pending() && FLog.GetCount() > 0 &&
                    FLogFileType != TFileType::ftVBScript;
    if (!on) {
        FHintColumn = FHintRow = 0;
        return std::string();
    }
    if (row == FHintRow && column == FHintColumn) return std::nullopt;
    FHintRow = row;
    FHintColumn = column;
    if (row < 0 || row >= FLog.GetCount()) return std::string();
    const std::string& line = FLog.Get(row);
    const int pos = column < 1 ? 0 : FLog.CharAtColumn(line, column);
    return LogHintText(FCalc, line, pos - 1, FMenu, FLog.Get(0));
}

// --- Clearing and the document -------------------------------------------------------------

void TFrameCalcCore::RerunDefinitions() {
    FRun.RerunDefinitions(FDefText, FMenu);
    if (OnChangeMenus) OnChangeMenus();
}

void TFrameCalcCore::AllClear() {
    // A script letting events run still uses the memo and the engine.
    if (FRun.Running()) return;
    FRun.Invalidate();
    FMemo.Clear();
    FAnswers.Clear();
    FLog.Clear();
    FCalc.Clear();
    RerunDefinitions();
    FNeedBarUpdate = true;
    UpdateCalcBar();
    FFileName = "New";
    FHasName = false;
    FSaveEnabled = false;
    FUnsavedBackup = false;
    UpdateTitle(true);
    FCalc.ResetHost();
}

void TFrameCalcCore::MemoryClear() {
    if (FRun.Running()) return;
    FRun.Invalidate();
    FCalc.Clear();
    RerunDefinitions();
    FMemo.BeginUpdate();
    for (int r = 0; r < FMemo.GetCount(); ++r) {
        FMemo.SetNote(r, "");
        FMemo.SetResult(r, "");
    }
    FMemo.EndUpdate();
    FAnswers.Clear();
    FRun.SyncAnswerRows();
    RefreshLog();
    FNeedBarUpdate = true;
    UpdateCalcBar();
    FCalc.ResetHost();
}

void TFrameCalcCore::DocumentOpened(const std::string& path, bool append, bool adoptName) {
    if (adoptName) {
        FFileName = path;
        FHasName = true;
    }
    FSaveEnabled = false;
    if (!append) FUnsavedBackup = false;
    UpdateTitle(!append);
    FRun.Invalidate();
    if (!append) {
        FCalc.Clear();
        RerunDefinitions();
        // The new document's scripts start without the old one's variables and procedures.
        FCalc.ResetHost();
    }
    if (FOptions.CalcAuto) {
        RunRows(true, false, TCalcRangeKind::rkAll, TRunCommand::rcRun);
    } else {
        ClearAnswerRows();
        FRun.SyncAnswerRows();
    }
    MemoMovedCaretRow();
}

void TFrameCalcCore::SetDocumentName(std::string name) {
    FFileName = std::move(name);
    FHasName = false;
    FSaveEnabled = false;
    FUnsavedBackup = false;
    UpdateTitle(true);
}

void TFrameCalcCore::BackupOfDocument(const std::string& path, bool unsaved) {
    FFileName = path;
    FHasName = true;
    FSaveEnabled = unsaved;
    FUnsavedBackup = unsaved;
    UpdateTitle(!unsaved);
}

void TFrameCalcCore::FormatChanged() {
    if (FHasName) FSaveEnabled = true;
}

void TFrameCalcCore::DocumentSaved(const std::string& path) {
    FFileName = path;
    FHasName = true;
    FSaveEnabled = false;
    FUnsavedBackup = false;
    UpdateTitle(true);
}

void TFrameCalcCore::UpdateTitle(bool fresh) {
    // File names are the file system's (UTF-8); the title is text like any other.
    const std::size_t slash = FFileName.find_last_of('/');
    std::string title =
        Utf8ToCp932(slash == std::string::npos ? FFileName : FFileName.substr(slash + 1));
    if (!fresh && Unsaved()) title += " *";
    if (title == FTitle) return;
    FTitle = std::move(title);
    if (OnChangeTitle) OnChangeTitle();
}

std::span<const std::string_view> ScriptKeywords() noexcept {
    return kScriptWords;
}

}  // namespace rekna
