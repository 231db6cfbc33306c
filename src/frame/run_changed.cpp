// The run of all rows that calculates only what changed: which rows it looks at, which chunks it
// passes over, how it goes on in slices, and how it follows the edits made while it is under way.
#include <algorithm>
#include <unordered_map>

#include "editor/store/umemo_strings.h"
#include "engine/calc_item.h"
#include "engine/vt_calc.h"
#include "frame/run_procedure.h"
#include "platform/scoped_flag.h"

namespace rekna {

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

bool Differs(const TVarItem& now, const TVariList::TUndoItem& before) {
    return now.Flags != before.Flags || !SameBits(now.Value, before.Value);
}

}  // namespace

// --- Following the memo's rows ------------------------------------------------------------

void TRunProcedure::RowsRemoving(std::int32_t row, std::int32_t count) {
    FIndex.RowsRemoving(row, count);
    const std::int32_t answers = FAnswers.GetCount();
    if (row < answers) FAnswers.ReplayDeleteRows(row, std::min(count, answers - row));
    RowBefore(row, count, 0);
}

void TRunProcedure::RowsInserted(std::int32_t row, std::int32_t count) {
    FIndex.RowsInserted(row, count);
    if (row <= FAnswers.GetCount()) {
        std::vector<TUMemoStringItem> rows;
        rows.reserve(static_cast<std::size_t>(count));
        for (std::int32_t k = 0; k < count; ++k)
            rows.push_back(FAnswers.NewRow({}, false, 0));
        FAnswers.ReplayInsertRows(row, std::move(rows));
    }
    RowBefore(row, 0, count);
}

void TRunProcedure::RowChanged(std::int32_t row) {
    FIndex.RowChanged(row);
    RowBefore(row, 0, 0);
}

void TRunProcedure::RowsReset() {
    FIndex.Reset();
    // The answers of the rows that went are no answers of the new ones.
    FAnswers.ReplayDeleteRows(0, FAnswers.GetCount());
    std::vector<TUMemoStringItem> rows(static_cast<std::size_t>(FMemo.GetCount()),
                                       FAnswers.NewRow({}, false, 0));
    FAnswers.ReplayInsertRows(0, std::move(rows));
    Invalidate();
}

void TRunProcedure::RowBefore(std::int32_t row, std::int32_t removed, std::int32_t inserted) {
    if (!FInc.Active) return;
    if (row < FInc.Pos) FInc.Restart = true;
    // The positions move with the rows they stand on.
    const auto follow = [&](std::int32_t& at) {
        if (at < 0 || row >= at) return;
        at = row + removed <= at ? at - removed + inserted : row + inserted;
    };
    follow(FInc.Pos);
    follow(FInc.Frontier);
    follow(FInc.FullFrom);
}

// --- The run ------------------------------------------------------------------------------

std::int32_t TRunProcedure::PendingFrom() const noexcept {
    if (!FInc.Active) return -1;
    return FInc.Restart ? 0 : FInc.Pos;
}

double TRunProcedure::Progress() const noexcept {
    const std::int32_t rows = FMemo.GetCount();
    if (!FInc.Active || rows == 0) return 1;
    return static_cast<double>(FInc.Pos) / rows;
}

double TRunProcedure::RunSeconds() const noexcept {
    return FInc.Active ? MillisecondsSince(FInc.Began) / 1000 : 0;
}

void TRunProcedure::Continue() {
    if (!Pending() || FRunning) return;
    if (FMemo.GetCount() == 0) {
        Invalidate();
        return;
    }
    const TScopedFlag continuing(FContinuing);
    RunChanged();
}

void TRunProcedure::Finish() {
    // A run stopped by Esc stays stopped: it may be a script that never ends.
    if (!FInc.Active || FInc.Stopped || FRunning) return;
    if (FMemo.GetCount() == 0) {
        Invalidate();
        return;
    }
    if (EscPressed) {
        Stop();
        return;
    }
    const bool sliced = Sliced;
    Sliced = false;
    RunChanged();
    Sliced = sliced;
}

void TRunProcedure::Stop() {
    if (!FInc.Active || FInc.Stopped) return;
    FInc.Stopped = true;
    EscPressed = true;
    EndRunEvents();
}

void TRunProcedure::Invalidate() {
    const bool active = FInc.Active && !FInc.Stopped;
    FInc.Active = false;
    FInc.Valid = false;
    if (active) EndRunEvents();
}

void TRunProcedure::EndRunEvents() {
    FCalc.LogEnable = false;
    FCalc.ClearStopRequest();
    RaiseEndEvents();
}

void TRunProcedure::RunChanged() {
    // A run requested while this one raises its events returns at once.
    FRunning = true;
    const int caret = CaretRow();
    if (!FInc.Active) {
        BeginChanged();
    } else {
        if (FInc.Stopped) {
            FInc.Stopped = false;
            EscPressed = false;
            FCalc.ClearStopRequest();
            if (OnBeginCalc) OnBeginCalc();
        }
        // The caret moved while the run was under way: the log is the new caret line's; without
        // kept logs a line passed already is calculated again for it.
        if (caret != FInc.CaretRow) {
            FCapture = TRunCapture();
            if (FOptions.LogPolicy != TLogPolicy::lpHold && caret < FInc.Pos) FInc.Restart = true;
        }
        // A row stopped in the middle is calculated again, and so is every row after it: the
        // run starts again from the top.
        if (FInc.StoppedInRow) FInc.Restart = true;
        if (FInc.Restart) RestartChanged();
        if (FInc.StoppedInRow) {
            FInc.StoppedInRow = false;
            FInc.FullFrom = 0;
        }
    }
    FInc.CaretRow = caret;
    FInc.CaretBlockEnd = -1;
    if (StartsBlockAt(FInc.CaretRow)) {
        FInc.CaretBlockEnd = FInc.CaretRow;
        while (StartsBlockAt(FInc.CaretBlockEnd + 1))
            FInc.CaretBlockEnd = FMemo.LastRowOfLine(FInc.CaretBlockEnd + 1);
    }
    // Without kept logs the log pane shows the caret line's log as the run makes it.
    FInc.ForceCaret = FOptions.LogPolicy != TLogPolicy::lpHold;
    FSliceStart = std::chrono::steady_clock::now();
    FSliceSteps = 0;
    FSliceChecked = 0;
    FAnswers.BeginUpdate();
    TWorkEnd outcome = TWorkEnd::weSliceOver;
    try {
        outcome = WorkChanged();
        FCalc.LogEnable = false;
        SyncAnswerRows();
    } catch (...) {
        FRunning = false;
        FAnswers.EndUpdate();
        FInc.Active = false;
        FInc.Valid = false;
        EndRunEvents();
        throw;
    }
    FAnswers.EndUpdate();
    FRunning = false;
    if (outcome == TWorkEnd::weEnd || outcome == TWorkEnd::weNothingLeft)
        EndChanged(outcome == TWorkEnd::weNothingLeft);
    if (outcome == TWorkEnd::weStopped) Stop();
    if (OnSlice) OnSlice();
    if (outcome == TWorkEnd::weSliceOver && OnPending) OnPending();
}

void TRunProcedure::BeginChanged() {
    FInc.Active = true;
    FInc.Stopped = false;
    FInc.StoppedInRow = false;
    FInc.Restart = false;
    FInc.Began = std::chrono::steady_clock::now();
    EscPressed = false;
    FCalc.ClearStopRequest();
    if (OnBeginCalc) OnBeginCalc();
    TVariList& vars = FCalc.Vars();
    bool full = !FInc.Valid || FCalc.Clears() != FInc.Clears ||
                FCalc.Funcs().Shape() != FInc.FuncShape || Statistics.Active != FInc.StatsActive ||
                RowOptions() != FInc.RowOptions;
    FInc.Changed.Clear();
    FInc.Outside.clear();
    if (!full) {
        FInc.Changed.InsertAll(FInc.Carry);
        // Variables changed between the runs (a selection summed, a script window): the lines
        // that read them see the new values.
        FInc.Outside = vars.UndoRecord();
        for (const TVariList::TUndoItem& u : FInc.Outside) {
            if (u.Created) {
                FInc.Changed.Insert(static_cast<TDepKey>(u.Id));
                FInc.Changed.Insert(NameKey(vars.Item(u.Id).Name));
            } else if (Differs(vars.Item(u.Id), u)) {
                FInc.Changed.Insert(static_cast<TDepKey>(u.Id));
            }
        }
    }
    FInc.Carry.Clear();
    vars.SetUndoBase();
    FInc.VarsAtStart = vars.Count();
    FCalc.SetFunctionsBase();
    FInc.Stats = Statistics;
    FCapture = TRunCapture();
    FLineMark = {-1, 0};
    FScriptRows.clear();
    FScriptBuffer.clear();
    FCalc.ResetDisplay(full);
    if (FCalc.ContextGeneration() != FInc.Context) full = true;
    if (FOptions.AnsRule == TAnsRule::arRow) SetPrevAns(0);
    FInc.FullFrom = full ? 0 : -1;
    FInc.Pos = 0;
    FInc.LineEdited = false;
    FInc.Frontier = -1;
    FInc.AtFrontier.Clear();
    FInc.FunctionsChanged.Clear();
}

void TRunProcedure::RestartChanged() {
    TVariList& vars = FCalc.Vars();
    // The rows from the run's position on are as the last finished run left them, and differ
    // in what had changed there; the rows before it are as this run left them.
    if (FInc.Frontier < 0) {
        FInc.Frontier = FInc.Pos;
        FInc.AtFrontier = FInc.Changed;
    }
    // Back to where the run started, as if it had not: the variables, the user functions and
    // the statistics. The rows that read a variable this run created read it anew: every row is
    // calculated (created variables are rare, and their ids are no longer what rows recorded).
    vars.UndoToBase();
    if (vars.Count() > FInc.VarsAtStart) {
        vars.Truncate(FInc.VarsAtStart);
        FInc.FullFrom = 0;
    }
    FCalc.FunctionsToBase();
    Statistics = FInc.Stats;
    FCalc.ResetDisplay(false);
    if (FOptions.AnsRule == TAnsRule::arRow) SetPrevAns(0);
    FInc.Changed.Clear();
    FInc.FunctionsChanged.Clear();
    FInc.Pos = 0;
    FInc.LineEdited = false;
    FInc.Restart = false;
    FCapture = TRunCapture();
    FLineMark = {-1, 0};
    FScriptRows.clear();
    FScriptBuffer.clear();
}

std::string TRunProcedure::RowOptions() const {
    const TCalcOptions& o = FOptions;
    const bool flags[] = {o.ShowErrors, o.ShowControl, o.CalcStr,
                          o.CalcTab,    o.CalcSSp,     o.CalcLSp,
                          o.CalcEtc,    o.VbScript,    FCalc.ScriptEnabled()};
    std::string out;
    for (const bool f : flags)
        out += f ? '1' : '0';
    out += static_cast<char>('0' + static_cast<int>(o.LogPolicy));
    out += static_cast<char>('0' + static_cast<int>(o.AnsRule));
    return out;
}

bool TRunProcedure::SliceOver() {
    if (!Sliced) return false;
    if (SliceRows > 0) return FSliceSteps >= SliceRows;
    // The clock is read after every few rows worked out or chunks passed over.
    if (FSliceSteps < FSliceChecked + 16) return false;
    FSliceChecked = FSliceSteps;
    const double ms = MillisecondsSince(FSliceStart);
    if (ms < kSliceMs) return false;
    return FInc.Pos > FMemo.TopRow() + FMemo.VisibleRows() || ms >= kScreenMs;
}

bool TRunProcedure::LeavesLongLine(std::int32_t row) const {
    if (!Sliced || !EditFirst || FContinuing || FMemo.Continued(row)) return false;
    std::size_t bytes = 0;
    for (std::int32_t r = row;; --r) {
        bytes += FMemo.Get(r).size();
        if (bytes > kLongLineBytes) return true;
        if (r == 0 || !FMemo.Continued(r - 1)) return false;
    }
}

bool TRunProcedure::Passable(int chunk) {
    const std::int32_t start = FIndex.StartOf(chunk);
    const std::int32_t end = FIndex.EndOf(chunk);
    const auto inside = [&](std::int32_t row) { return row >= start && row < end; };
    if (FIndex.HasEdits(chunk) || FInc.LineEdited || !FScriptRows.empty()) return false;
    if (FInc.FullFrom >= 0 && FInc.FullFrom < end) return false;
    if (FInc.Frontier >= 0 && inside(FInc.Frontier)) return false;
    if (FInc.ForceCaret && inside(FInc.CaretRow)) return false;
    if (FIndex.Volatile(chunk)) return false;
    if (FIndex.ReadsAll(chunk) && !FInc.Changed.Empty()) return false;
    return !FInc.Changed.MeetsSorted(FIndex.Reads(chunk));
}

TRunProcedure::TWorkEnd TRunProcedure::WorkChanged() {
    TVariList& vars = FCalc.Vars();
    while (FInc.Pos < FMemo.GetCount()) {
        if (FCalc.StopRequested() || EscPressed) return TWorkEnd::weStopped;
        if (SliceOver()) return TWorkEnd::weSliceOver;
        const std::int32_t pos = FInc.Pos;
        const int chunk = FIndex.ChunkOf(pos);
        const std::int32_t start = FIndex.StartOf(chunk);
        const std::int32_t end = FIndex.EndOf(chunk);
        // A script block being gathered goes on to its last line.
        if (pos == start && !FInc.LineEdited && FScriptRows.empty() &&
            (FInc.Frontier < 0 || FInc.Frontier > pos)) {
            if (FInc.Changed.Empty() && (FInc.FullFrom < 0 || FInc.FullFrom > pos)) {
                // Nothing differs: only the chunks with edits or lines of every run are left.
                int next = FIndex.NextBusyChunk(chunk);
                for (const std::int32_t row :
                     {FInc.Frontier, FInc.FullFrom, FInc.ForceCaret ? FInc.CaretRow : -1})
                    if (row >= pos) next = std::min(next, FIndex.ChunkOf(row));
                // Rows gone from the memo's end leave their names as the lines above them wrote
                // them: the run passes over the rest to its end.
                if (next >= FIndex.ChunkCount() && !FIndex.HasEndExtra())
                    return TWorkEnd::weNothingLeft;
                if (next > chunk) {
                    for (int c = chunk; c < next; ++c)
                        FIndex.ApplyNet(c, vars);
                    FInc.Pos = FIndex.StartOf(next);
                    continue;
                }
            }
            if (Passable(chunk)) {
                FIndex.ApplyNet(chunk, vars);
                for (const TDepKey key : FIndex.Summary(chunk).Writes)
                    FInc.Changed.Erase(key);
                FInc.Pos = end;
                ++FSliceSteps;
                continue;
            }
        }
        // The chunk row by row; its rows stay where they are while the slice runs.
        for (std::int32_t row = pos; row < end; ++row) {
            if (LeavesLongLine(row)) return TWorkEnd::weSliceOver;
            if (FInc.Frontier >= 0 && row >= FInc.Frontier) {
                FInc.Changed.InsertAll(FInc.AtFrontier);
                FInc.AtFrontier.Clear();
                FInc.Frontier = -1;
            }
            VisitRow(row, chunk, row - start);
            FInc.Pos = row + 1;
            if (FCalc.StopRequested()) {
                // Stopped inside the row: what it left is no line's result.
                FInc.StoppedInRow = true;
                return TWorkEnd::weStopped;
            }
            if (EscPressed) return TWorkEnd::weStopped;
            if (SliceOver()) return TWorkEnd::weSliceOver;
        }
    }
    return TWorkEnd::weEnd;
}

void TRunProcedure::VisitRow(std::int32_t row, int chunk, std::int32_t offset) {
    TVariList& vars = FCalc.Vars();
    FIndex.TakeExtra(chunk, offset, FInc.Changed);
    const bool edited = FIndex.Edited(chunk, offset);
    if (edited) FInc.LineEdited = true;
    const bool lineEnd = !FMemo.Continued(row) || row == FMemo.GetCount() - 1;
    const TLineAnswerRef old = FMemo.Answer(row);
    const TDepsView before(old.Deps());
    if (!lineEnd) {
        // A row inside a line keeps no result; one that held a line's result lets go of it.
        if (edited) {
            StoreRowResult(row, {}, TCplx::Blank(), {}, {});
            CompareWrites(before, TDepsView(), FInc.Changed, vars);
            FIndex.RowDone(chunk, offset, true, TDepsView());
        }
        return;
    }
    const bool full = FInc.FullFrom >= 0 && row >= FInc.FullFrom;
    const bool caret = row == FInc.CaretRow || row == FInc.CaretBlockEnd;
    const bool lineEdited = FInc.LineEdited;
    // A line that asks the user is calculated for its log only when it is calculated anyway;
    // every line of a script block is calculated when one is.
    const bool dirty = full || lineEdited || before.Volatile() ||
                       before.Meets(FInc.Changed.Keys()) ||
                       (FInc.ForceCaret && caret && !before.Asks()) || !FScriptRows.empty() ||
                       (before.Asks() && BlockDirtyAfter(row));
    FInc.LineEdited = false;
    if (!dirty) {
        before.ForEachWrite([&](TDepKey key, std::string_view write) {
            TDepsView::Apply(write, vars);
            FInc.Changed.Erase(key);
        });
        return;
    }
    ++FSliceSteps;
    ++FRowsCalculated;
    FCalc.LogEnable = row == FInc.CaretRow || FOptions.LogPolicy == TLogPolicy::lpHold;
    const std::uint64_t funcShape = FCalc.Funcs().Shape();
    const std::uint64_t context = FCalc.ContextGeneration();
    const int varsBefore = vars.Count();
    const bool result = CalcRow(row, true, false, false);
    // A script line that changed may leave the scripts' shared state otherwise than before.
    if (lineEdited && IsScriptLine(FMemo.Get(FMemo.FirstRowOfLine(row))))
        FInc.Changed.Insert(ScriptStateKey());
    // A variable the line created is a name the lines after it may have read as none.
    for (int id = varsBefore; id < vars.Count(); ++id) {
        FInc.Changed.Insert(static_cast<TDepKey>(id));
        FInc.Changed.Insert(NameKey(vars.Item(id).Name));
    }
    if (result && caret) {
        FCapture.Captured = true;
        FCapture.Log = FCalc.LogText();
        FCapture.Data = FCalc.Data();
        FCapture.Answer = FCalc.AnswerText();
    }
    if (OnRowLog) OnRowLog(row, result ? FCalc.LogText() : std::string());
    const TLineAnswerRef& now = FMemo.Answer(row);
    const TDepsView after(now.Deps());
    const bool changed = now.Get() != old.Get();
    if (!changed) {
        after.ForEachWrite([&](TDepKey key, std::string_view) { FInc.Changed.Erase(key); });
    } else {
        CompareWrites(before, after, FInc.Changed, vars);
        // A user function defined otherwise than before reaches the lines that read its name, also
        // as a variable, before it, in the next run.
        std::vector<std::string_view> defined[2];
        int side = 0;
        for (const TDepsView* deps : {&before, &after}) {
            deps->ForEachWrite([&](TDepKey, std::string_view write) {
                if (!TDepsView::FunctionName(write).empty()) defined[side].push_back(write);
            });
            ++side;
        }
        for (int k = 0; k < 2; ++k) {
            for (const std::string_view write : defined[k]) {
                const auto& other = defined[1 - k];
                if (std::find(other.begin(), other.end(), write) != other.end()) continue;
                FInc.FunctionsChanged.Insert(TDepsView::KeyOf(write));
                if (const int id = vars.Find(TDepsView::FunctionName(write)); id >= 0)
                    FInc.FunctionsChanged.Insert(static_cast<TDepKey>(id));
            }
        }
    }
    // A line that changed the settings every line reads, or statistics mode, or a user function
    // other than by defining it (a script): every row after it is calculated.
    bool defines = false;
    after.ForEachWrite([&defines](TDepKey, std::string_view write) {
        defines = defines || !TDepsView::FunctionName(write).empty();
    });
    const bool everything = (after.Flags() & dfContext) != 0 ||
                            ((after.Flags() ^ before.Flags()) & dfStatistics) != 0 ||
                            (FCalc.Funcs().Shape() != funcShape && !defines) ||
                            FCalc.ContextGeneration() != context;
    if (everything && (FInc.FullFrom < 0 || FInc.FullFrom > row + 1)) FInc.FullFrom = row + 1;
    FIndex.RowDone(chunk, offset, changed, after);
}

bool TRunProcedure::BlockDirtyAfter(std::int32_t row) {
    if (!StartsBlockAt(row)) return false;
    const std::int32_t rows = FMemo.GetCount();
    for (std::int32_t r = row + 1; r < rows && StartsBlockAt(r); ++r) {
        const int chunk = FIndex.ChunkOf(r);
        if (FIndex.Edited(chunk, r - FIndex.StartOf(chunk))) return true;
        if (FMemo.Continued(r) && r != rows - 1) continue;
        const TDepsView deps(FMemo.Answer(r).Deps());
        if ((FInc.FullFrom >= 0 && r >= FInc.FullFrom) || deps.Volatile() ||
            deps.Meets(FInc.Changed.Keys()) ||
            (FInc.Frontier >= 0 && r >= FInc.Frontier && deps.Meets(FInc.AtFrontier.Keys())))
            return true;
    }
    return false;
}

void TRunProcedure::EndChanged(bool early) {
    TVariList& vars = FCalc.Vars();
    FInc.Carry.Clear();
    if (early) {
        // Nothing after the position differs from the last run: nor do the variables it left.
        vars.UndoToBase();
        for (const TVariList::TUndoItem& u : FInc.Outside) {
            if (!u.Created) vars.Restore(u.Id, u.Flags, u.Value);
        }
    } else {
        // What differs from the last run's end reaches the lines that read it before it is
        // assigned, in the next run.
        std::unordered_map<int, const TVariList::TUndoItem*> outside;
        for (const TVariList::TUndoItem& u : FInc.Outside)
            outside.emplace(u.Id, &u);
        const auto differs = [&](const TVariList::TUndoItem& u) {
            const auto it = outside.find(u.Id);
            const TVariList::TUndoItem& was = it == outside.end() ? u : *it->second;
            if (was.Created) {
                FInc.Carry.Insert(static_cast<TDepKey>(u.Id));
                FInc.Carry.Insert(NameKey(vars.Item(u.Id).Name));
            } else if (Differs(vars.Item(u.Id), was)) {
                FInc.Carry.Insert(static_cast<TDepKey>(u.Id));
            }
        };
        for (const TVariList::TUndoItem& u : vars.UndoRecord())
            differs(u);
        for (const TVariList::TUndoItem& u : FInc.Outside)
            differs(u);
        FInc.Carry.InsertAll(FInc.FunctionsChanged);
    }
    FIndex.TakeEndExtra(FInc.Carry);
    vars.SetUndoBase();
    FInc.Valid = true;
    FInc.Active = false;
    FInc.Clears = FCalc.Clears();
    FInc.FuncShape = FCalc.Funcs().Shape();
    FInc.Context = FCalc.ContextGeneration();
    FInc.StatsActive = Statistics.Active;
    FInc.RowOptions = RowOptions();
    if (!FCapture.Captured && FOptions.LogPolicy == TLogPolicy::lpHold) {
        const int caret = CaretRow();
        if (caret >= 0 && caret < FMemo.GetCount() && !FMemo.Note(caret).empty()) {
            FCapture.Captured = true;
            FCapture.Log = GetCaretLog();
            FCapture.Data = std::string(FMemo.Note(caret));
            FCapture.Answer = std::string(FMemo.Result(caret));
        }
    }
    FCalc.LogEnable = false;
    if (OnShowLog) OnShowLog(FCapture.Log);
    EndRunEvents();
}

}  // namespace rekna
