// The run procedure: ranges, calculation lines, script blocks and the rows results live on.
#include "frame/run_procedure.h"

#include <algorithm>

#include "editor/store/umemo_strings.h"
#include "engine/log_pack.h"
#include "engine/vt_calc.h"
#include "frame/answer_filter.h"
#include "platform/cp932.h"
#include "platform/failure.h"

namespace rekna {

namespace {

std::string_view TrimRight(std::string_view s) noexcept {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) noexcept {
    s = TrimRight(s);
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    return s;
}

bool StartsWith(std::string_view s, std::string_view prefix) noexcept {
    return s.substr(0, prefix.size()) == prefix;
}

// A script row is calculated in every run.
std::string VolatileDeps() {
    TLineDeps deps;
    deps.Flags = dfVolatile;
    return deps.Pack();
}

// Restores the run state however the loop is left.
class TRunGuard {
public:
    TRunGuard(TRunProcedure& run, bool& running, TVtCalc& calc)
        : FRun(run), FRunning(running), FCalc(calc) {}
    ~TRunGuard() {
        FCalc.LogEnable = false;
        FCalc.ClearStopRequest();
        FRunning = false;
        FRun.RaiseEndEvents();
    }
    TRunGuard(const TRunGuard&) = delete;
    TRunGuard& operator=(const TRunGuard&) = delete;

private:
    TRunProcedure& FRun;
    bool& FRunning;
    TVtCalc& FCalc;
};

}  // namespace

bool IsScriptLine(std::string_view s) noexcept {
    return StartsWith(s, "#>") || StartsWith(s, "#?");
}

void TRunProcedure::RaiseEndEvents() noexcept {
    // The calc bar reads the finished run, so it is told before the host.
    try {
        if (OnRunEnded) OnRunEnded();
        if (OnEndCalc) OnEndCalc();
    } catch (...) {
        ReportFailure();
    }
    EscPressed = false;
}

void TRunProcedure::ReportFailure() noexcept {
    FLastFailure = "計算を中断しました: " + FailureText();
    if (OnFailure) OnFailure(FLastFailure);
}

TRunProcedure::TRunProcedure(TUMemoStrings& memo, TUMemoStrings& answers, TVtCalc& calc,
                             const TCalcOptions& options)
    : FMemo(memo), FAnswers(answers), FCalc(calc), FOptions(options), FIndex(memo) {
    FMemo.SetRowObserver(this);
}

TRunProcedure::~TRunProcedure() {
    if (FMemo.RowObserver() == this) FMemo.SetRowObserver(nullptr);
}

int TRunProcedure::CaretRow() const {
    return FMemo.LastRowOfLine(FMemo.Selection().Caret.Y);
}

bool TRunProcedure::StartsBlockAt(int row) const {
    return row >= 0 && row < FMemo.GetCount() &&
           StartsWith(FMemo.Get(FMemo.FirstRowOfLine(row)), "#>");
}

void TRunProcedure::ExtendScriptRange(int& first, int& last) const {
    while (StartsBlockAt(first) && first > 0 && StartsBlockAt(FMemo.FirstRowOfLine(first) - 1))
        first = FMemo.FirstRowOfLine(FMemo.FirstRowOfLine(first) - 1);
    first = FMemo.FirstRowOfLine(first);
    if (StartsBlockAt(last)) {
        while (StartsBlockAt(FMemo.LastRowOfLine(last) + 1))
            last = FMemo.LastRowOfLine(last) + 1;
    }
    last = FMemo.LastRowOfLine(last);
}

void TRunProcedure::CalcRows(bool store, bool write, TCalcRangeKind kind) {
    if (FRunning || FMemo.GetCount() == 0) return;
    if (Incremental && store && !write && kind == TCalcRangeKind::rkAll) {
        RunChanged();
        return;
    }
    // Another run starts from where the run under way would end; it changes rows that the next
    // run of all rows cannot tell apart, so that one calculates every row.
    Finish();
    CalcRange(store, write, kind);
    FInc.Valid = false;
}

void TRunProcedure::CalcRange(bool store, bool write, TCalcRangeKind kind) {
    FRunning = true;
    EscPressed = false;
    FCalc.ClearStopRequest();
    if (OnBeginCalc) OnBeginCalc();
    TRunGuard guard(*this, FRunning, FCalc);

    const int lastRow = FMemo.GetCount() - 1;
    const int caret = CaretRow();
    const int chgFrom = FMemo.FirstRowOfLine(FMemo.ChangedFrom());
    const int chgTo = FMemo.FirstRowOfLine(FMemo.ChangedTo());
    const bool fromChange = kind == TCalcRangeKind::rkAllEquivalent ||
                            kind == TCalcRangeKind::rkCaretRows ||
                            kind == TCalcRangeKind::rkFromCaret;
    const bool toChange = kind == TCalcRangeKind::rkToCaret || kind == TCalcRangeKind::rkCaretRows;
    int first = fromChange ? std::min(caret, chgFrom) : 0;
    int last = toChange ? std::max(caret, chgTo) : lastRow;
    first = std::clamp(first, 0, lastRow);
    last = std::clamp(last, first, lastRow);
    ExtendScriptRange(first, last);

    FCapture = TRunCapture();
    FLineMark = {-1, 0};
    FScriptRows.clear();
    FScriptBuffer.clear();
    FCalc.ResetDisplay();
    FAnswers.BeginUpdate();
    if (kind == TCalcRangeKind::rkAllEquivalent) {
        for (int row = 0; row < first; ++row) {
            if (!FMemo.Continued(row)) CalcRow(row, false, true, false);
        }
    }
    if (FOptions.AnsRule == TAnsRule::arRow) SetPrevAns(first);
    const int caretBlockEnd = StartsBlockAt(caret) ? [&] {
        int end = caret;
        while (StartsBlockAt(end + 1)) end = FMemo.LastRowOfLine(end + 1);
        return end;
    }() : -1;
    for (int row = first; row <= last; ++row) {
        // Esc stops the run; the rows not reached keep what they showed.
        if (FCalc.StopRequested()) {
            EscPressed = true;
            break;
        }
        FCalc.LogEnable = row == caret || FOptions.LogPolicy == TLogPolicy::lpHold;
        if (FMemo.Continued(row) && row != lastRow) {
            if (store) StoreRowResult(row, {}, TCplx::Blank(), {}, {});
            continue;
        }
        const bool result = CalcRow(row, store, false, kind == TCalcRangeKind::rkWriteAll);
        ++FRowsCalculated;
        if (result && (row == caret || row == caretBlockEnd)) {
            FCapture.Captured = true;
            FCapture.Log = FCalc.LogText();
            FCapture.Data = FCalc.Data();
            FCapture.Answer = FCalc.AnswerText();
        }
        if (OnRowLog) OnRowLog(row, result ? FCalc.LogText() : std::string());
    }
    FCalc.LogEnable = false;
    SyncAnswerRows();
    FAnswers.EndUpdate();
    if (write && kind != TCalcRangeKind::rkWriteAll && FCapture.Captured && OnWriteAnswer)
        OnWriteAnswer(caret, FCapture.Answer);
    if (OnShowLog) OnShowLog(FCapture.Log);
}

void TRunProcedure::StoreEngineResult(int row) {
    const bool hold = FOptions.LogPolicy == TLogPolicy::lpHold;
    // The line cache's block, shared rather than copied, when it holds what the row keeps.
    const TLineAnswerRef& cached = FCalc.CachedAnswer();
    if (cached && (hold || cached.Log().empty())) {
        StoreRowAnswer(row, cached);
        return;
    }
    const std::string_view log =
        hold ? std::string_view(FCalc.LogPackedText()) : std::string_view();
    StoreRowResult(row, FCalc.Data(), FCalc.LastResult(), log, FCalc.AnswerText(), cached.Deps());
}

bool TRunProcedure::CalcScriptRow(int row, std::string_view text, bool store, bool write) {
    bool block = false;
    if (StartsWith(text, "#?")) {
        FCalc.EvaluateExpression(TrimRight(text.substr(2)), LineOfRow(row));
    } else {
        FScriptBuffer.append(TrimRight(text.substr(2)));
        FScriptBuffer += "\r\n";
        FScriptRows.push_back(row);
        if (StartsBlockAt(row + 1)) {
            if (store) StoreRowResult(row, {}, TCplx::Blank(), {}, {}, VolatileDeps());
            if (write && OnRemoveAnswer) OnRemoveAnswer(row);
            return false;
        }
        FScriptBuffer.resize(FScriptBuffer.size() - 2);
        if (row < FAnswers.GetCount()) PutAnswerRow(row, "");
        FMemo.SetResult(row, "");
        const std::string script = std::move(FScriptBuffer);
        FScriptBuffer.clear();
        FCalc.ExecuteBlock(script, LineOfRow(FScriptRows.front()));
        block = true;
    }
    const bool result = !FCalc.Data().empty();
    if (store) {
        const std::string log =
            FOptions.LogPolicy == TLogPolicy::lpHold ? FCalc.LogPackedText() : "";
        // A block's script may write its answer into the answer pane itself.
        const std::string written(block && row < FAnswers.GetCount() ? FMemo.Result(row)
                                                                     : std::string_view());
        StoreRowResult(row, FCalc.Data(), FCalc.LastResult(), log,
                       written.empty() ? FCalc.AnswerText() : written, FCalc.ScriptDeps());
        // The block's other lines are calculated with it: as often as it is.
        if (block && TDepsView(FMemo.Answer(row).Deps()).Asks()) {
            const std::string deps = FCalc.ScriptDeps(false);
            for (const int r : FScriptRows) {
                if (r != row && r < FMemo.GetCount())
                    StoreRowResult(r, {}, TCplx::Blank(), {}, {}, deps);
            }
        }
        if (block) ShowScriptError(row);
    }
    FScriptRows.clear();
    if (write && OnWriteAnswer) OnWriteAnswer(row, FCalc.AnswerText());
    return result;
}

void TRunProcedure::ShowScriptError(int row) {
    const TScriptFailure& error = FCalc.LastScriptError();
    if (!error.Raised) return;
    const auto lines = static_cast<int>(FScriptRows.size());
    const int failing = error.Line >= 0 && error.Line < lines ? FScriptRows[error.Line] : row;
    if (failing < 0 || failing >= FMemo.GetCount()) return;
    // The block's own row keeps the script's log with its error lines; another failing row
    // keeps what it showed.
    const std::string log = failing == row                  ? std::string(FMemo.Log(row))
                            : failing < FAnswers.GetCount() ? PackLog(FAnswers.Get(failing))
                                                            : std::string();
    StoreRowResult(failing, "[VBScript] #Error", TCplx::Blank(), log,
                   std::string(1, '[').append(error.Message).append(1, ']'),
                   failing == row ? std::string(FMemo.Answer(row).Deps())
                   : TDepsView(FMemo.Answer(row).Deps()).Asks() ? FCalc.ScriptDeps(false)
                                                                : VolatileDeps());
}

int TRunProcedure::LineOfRow(int row) {
    row = std::clamp(row, 0, std::max(0, FMemo.GetCount() - 1));
    return FMemo.LineIndexOfRow(row);
}

int TRunProcedure::RowOfLine(int line) {
    if (line < 0 || FMemo.GetCount() == 0) return -1;
    if (FLineMark.Row < 0 || FLineMark.Line > line) FLineMark = {0, 0};
    // From the first row of the mark's line forward, a line at a time.
    int r = FMemo.FirstRowOfLine(FLineMark.Row);
    int l = FLineMark.Line;
    while (l < line) {
        r = FMemo.LastRowOfLine(r) + 1;
        if (r >= FMemo.GetCount()) return -1;
        ++l;
    }
    FLineMark = {r, l};
    return FMemo.LastRowOfLine(r);
}

std::string TRunProcedure::ScriptAnswer(int line) {
    // Which line's answer the script reads is no key a run can follow.
    FCalc.NoteScriptReadsAll();
    const int row = RowOfLine(line - 1);
    return row >= 0 && row < FAnswers.GetCount() ? std::string(FMemo.Result(row)) : std::string();
}

void TRunProcedure::SetScriptAnswer(int line, std::string_view text) {
    const int row = RowOfLine(line - 1);
    if (row < 0) return;
    // A row the run has still to reach takes its own answer again, as a run of every row gives it.
    if (FInc.Active && row > FInc.Pos) FIndex.RowChanged(row);
    FMemo.SetResult(row, text);
    while (FAnswers.GetCount() <= row)
        FAnswers.ReplayInsert(FAnswers.GetCount(), {}, false, 0);
    std::string buffer;
    const std::string_view shown = PaneAnswer(text, buffer);
    if (FAnswers.Get(row) != shown) PutAnswerRow(row, shown);
}

void TRunProcedure::BeginStream() {
    FCalc.ClearStopRequest();
    FCalc.ResetDisplay();
    // As a run from the first row finds no earlier value.
    if (FOptions.AnsRule == TAnsRule::arRow) FCalc.SetAns(TCplx(), true);
}

std::string_view TRunProcedure::StreamLine(std::string_view line, std::string* log) {
    const std::string_view text = TrimRight(line);
    std::string_view answer;
    if (log) log->clear();
    if (!IsScriptLine(text) && FOptions.IsCalcLine(text)) {
        FCalc.LogEnable = log != nullptr;
        // Data, the rendered formula, only tells whether the log pane shows a log; the answer
        // and everything the line leaves are the same without it.
        FCalc.CalcLine(Trim(text), true, true, log != nullptr);
        FCalc.LogEnable = false;
        // The log pane shows a log only for a line that gave a formula.
        if (log && !FCalc.Data().empty()) *log = FCalc.LogText();
        answer = FilterAnswer(FCalc.AnswerText(), FOptions.ShowErrors, FOptions.ShowControl);
    }
    // Only a script's answer holds line breaks; the common answer is passed on as it is.
    for (const char c : answer) {
        if (c == '\r' || c == '\n') return PaneAnswer(answer, FStreamBuffer);
    }
    return answer;
}

bool TRunProcedure::CalcRow(int row, bool store, bool assignOnly, bool write) {
    // The line is read where it is: input waits while it is calculated. A script may edit the
    // memo, so it gets a copy.
    std::string storage;
    const std::string_view text = TrimRight(FMemo.LineView(row, storage));
    if (IsScriptLine(text)) {
        if (FCalc.ScriptEnabled() && !assignOnly)
            return CalcScriptRow(row, std::string(text), store, write);
    } else if (FOptions.IsCalcLine(text) &&
               (!assignOnly || text.find('=', 1) != std::string_view::npos)) {
        if (assignOnly && FOptions.AnsRule == TAnsRule::arRow) SetPrevAns(row);
        FCalc.CalcLineCached(Trim(text));
        const bool result = !FCalc.Data().empty();
        if (store) StoreEngineResult(row);
        if (write && OnWriteAnswer) OnWriteAnswer(row, FCalc.AnswerText());
        return result;
    }
    if (store) StoreRowResult(row, {}, TCplx::Blank(), {}, {});
    return false;
}

void TRunProcedure::StoreRowResult(int row, std::string_view formula, const TCplx& value,
                                   std::string_view log, std::string_view answer,
                                   std::string_view deps) {
    StoreRowAnswer(row, TLineAnswer::Make(formula, answer, value, log, deps));
}

void TRunProcedure::StoreRowAnswer(int row, const TLineAnswerRef& result) {
    const std::string_view answer = result.Result();
    FMemo.SetAnswer(row, result);
    const auto scriptRow = [this](int r) {
        return IsScriptLine(FMemo.Get(FMemo.FirstRowOfLine(r)));
    };
    while (FAnswers.GetCount() <= row) {
        const int added = FAnswers.GetCount();
        FAnswers.ReplayInsert(added, {}, false, 0);
        FAnswers.SetResult(added, scriptRow(added) ? "VB" : "");
    }
    const bool script = scriptRow(row);
    // An unchanged row is left alone, so that the pane repaints only what changed.
    std::string buffer;
    const std::string_view shown =
        PaneAnswer(FilterAnswer(answer, FOptions.ShowErrors, FOptions.ShowControl), buffer);
    if (FAnswers.Get(row) != shown) PutAnswerRow(row, shown);
    FAnswers.SetResult(row, script ? "VB" : "");
}

void TRunProcedure::PutAnswerRow(int row, std::string_view text) {
    FAnswers.ReplayPut(row, text, false, 0);
}

void TRunProcedure::SetPrevAns(int row) {
    for (int r = std::min(row, FMemo.GetCount()) - 1; r >= 0; --r) {
        const TCplx v = FMemo.Value(r);
        if (v.IsBlank()) continue;
        FCalc.SetAns(v, v.IsErrorMark());
        return;
    }
    FCalc.SetAns(TCplx(), true);
}

void TRunProcedure::AutoCalc() {
    switch (FOptions.AutoRange) {
    case TCalcRangeKind::rkAllEquivalent:
    case TCalcRangeKind::rkToCaret:
    case TCalcRangeKind::rkCaretRows:
    case TCalcRangeKind::rkFromCaret: CalcRows(true, false, FOptions.AutoRange); break;
    default: CalcRows(true, false, TCalcRangeKind::rkAll); break;
    }
}

void TRunProcedure::SyncAnswerRows() {
    FAnswers.BeginUpdate();
    if (FAnswers.GetCount() < FMemo.GetCount()) {
        std::vector<TUMemoStringItem> rows(
            static_cast<std::size_t>(FMemo.GetCount() - FAnswers.GetCount()),
            FAnswers.NewRow({}, false, 0));
        FAnswers.ReplayInsertRows(FAnswers.GetCount(), std::move(rows));
    }
    if (FAnswers.GetCount() > FMemo.GetCount())
        FAnswers.ReplayDeleteRows(FMemo.GetCount(), FAnswers.GetCount() - FMemo.GetCount());
    FAnswers.Selection().Clear();
    FAnswers.Selection().Caret = {1, std::max(0, CaretRow())};
    FAnswers.Selection().Normalize(FAnswers);
    FAnswers.SetTopRow(FMemo.TopRow());
    FAnswers.EndUpdate();
}

void TRunProcedure::RefreshAnswerRows(int first, int last) {
    FAnswers.BeginUpdate();
    last = std::min(last, FMemo.GetCount() - 1);
    for (int r = std::max(first, 0); r <= last; ++r) {
        while (FAnswers.GetCount() <= r)
            FAnswers.ReplayInsert(FAnswers.GetCount(), {}, false, 0);
        std::string buffer;
        const std::string_view shown = PaneAnswer(
            FilterAnswer(FMemo.Result(r), FOptions.ShowErrors, FOptions.ShowControl), buffer);
        if (FAnswers.Get(r) != shown) PutAnswerRow(r, shown);
    }
    FAnswers.EndUpdate();
    SyncAnswerRows();
}

std::string TRunProcedure::GetCaretLog() const {
    int r = CaretRow();
    if (r < 0 || r >= FAnswers.GetCount()) return {};
    std::string_view log = FMemo.Log(r);
    if (log.empty() && StartsBlockAt(r)) {
        while (StartsBlockAt(r + 1))
            r = FMemo.LastRowOfLine(r + 1);
        if (r < FAnswers.GetCount()) log = FMemo.Log(r);
    }
    std::string out;
    for (const char c : UnpackLog(log)) {
        if (c == '\b') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

void TRunProcedure::RerunDefinitions(std::string& defText, std::vector<TUserFuncMenuItem>& menu) {
    menu.clear();
    if (defText.empty()) return;
    bool any = false;
    std::size_t pos = 0;
    while (pos <= defText.size()) {
        std::size_t end = defText.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = defText.size();
        const std::string line = defText.substr(pos, end - pos);
        FCalc.CalcLineCached(line);
        any = any || !FCalc.Data().empty();
        if (FCalc.Data() == "[" + CalcErrMessage(TCalcErr::ceUserFunc) + "]") {
            const std::size_t eq = line.find('=');
            std::string name(Trim(std::string_view(line).substr(0, eq)));
            if (!name.empty() && name.front() == '#') name = std::string(Trim(name.substr(1)));
            std::string note;
            const std::size_t open = FindAscii(line, '[');
            const std::size_t close =
                open == std::string::npos ? open : FindAscii(line, ']', open + 1);
            if (open != std::string::npos && close != std::string::npos)
                note = line.substr(open + 1, close - open - 1);
            menu.push_back({name + " : " + note, line});
        }
        if (end >= defText.size()) break;
        pos = end + (defText.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    if (!any) defText.clear();
}

}  // namespace rekna
