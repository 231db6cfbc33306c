// TRunProcedure: which memo lines run when, and where their results are kept.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/store/umemo_strings.h"
#include "engine/line_deps.h"
#include "engine/statistics.h"
#include "engine/vari_list.h"
#include "frame/calc_options.h"
#include "frame/run_index.h"
#include "numbers/cplx.h"
#include "numbers/line_answer.h"

namespace rekna {

class TVtCalc;

// A "#>" or "#?" line of the script language.
[[nodiscard]] bool IsScriptLine(std::string_view line) noexcept;

// What a run captured of the caret line.
struct TRunCapture {
    bool Captured = false;
    std::string Log;  // CR LF form
    std::string Data;
    std::string Answer;
};

// An entry of the user-function menu built from the definitions file.
struct TUserFuncMenuItem {
    std::string Caption;  // name + " : " + the text between "[" and "]" of the line
    std::string Hint;     // the definitions line
};

// The calculation frame's run procedure over its memo and answer panes: the results of a
// logical line live on the memo's row item of its last display row (Note: the formula, Result:
// the answer, Value: the value, Log: the log packed by engine/log_pack.h, and what the line read
// and wrote: engine/line_deps.h), so inserting and deleting lines keeps every answer beside its
// own line; the answer pane follows the memo's rows and shows the filtered answers.
//
// A run over all rows that stores its results calculates only what changed since the last one:
// the edited lines, the lines that read a name whose value changed, and the lines calculated in
// every run (random numbers, scripts, statistics, definitions); the others keep their answers,
// and the chunks of rows that read nothing changed are passed over whole (TRunIndex). Every answer
// and log is the one a run over all rows would give. Any other run goes over its whole range.
class TRunProcedure : private TRowObserver {
public:
    TRunProcedure(TUMemoStrings& memo, TUMemoStrings& answers, TVtCalc& calc,
                  const TCalcOptions& options);
    ~TRunProcedure() override;
    TRunProcedure(const TRunProcedure&) = delete;
    TRunProcedure& operator=(const TRunProcedure&) = delete;

    // Runs the rows of a range; returns at once while a run is in progress or the memo is empty.
    // A run over all rows that stores its results joins a run that is still under way.
    void CalcRows(bool store, bool write, TCalcRangeKind kind);
    // One logical line; true when the engine produced a formula.
    bool CalcRow(int row, bool store, bool assignOnly, bool write);
    void StoreRowResult(int row, std::string_view formula, const TCplx& value, std::string_view log,
                        std::string_view answer, std::string_view deps = {});
    void StoreRowAnswer(int row, const TLineAnswerRef& result);
    // The answer pane's row shows text. The pane is never edited by hand: what the run writes
    // there is kept out of its undo list.
    void PutAnswerRow(int row, std::string_view text);
    // Ans from the nearest earlier row with a value.
    void SetPrevAns(int row);
    // A run over the range the auto-calculation option chooses.
    void AutoCalc();
    // The answer pane gets the memo's row count, caret row and top row.
    void SyncAnswerRows();
    // Shows the stored answers of rows first..last again, without calculating.
    void RefreshAnswerRows(int first, int last);
    // The stored log of the caret line, CR LF form.
    [[nodiscard]] std::string GetCaretLog() const;
    // Runs every line of the definitions file; empties defText when not one line gave a
    // formula, and fills menu with its user functions.
    void RerunDefinitions(std::string& defText, std::vector<TUserFuncMenuItem>& menu);

    // Rows are being calculated now (a script may be letting window events run).
    [[nodiscard]] bool Running() const noexcept { return FRunning; }
    [[nodiscard]] const TRunCapture& Captured() const noexcept { return FCapture; }

    // --- Runs in slices. With Sliced set, a run of all rows works for about kSliceMs, or for
    // SliceRows steps (rows worked out, chunks passed over) when that is set, and at least until
    // the visible rows are done (unless that takes kScreenMs); the rest waits for Continue, which
    // the host calls between window events once OnPending asks for it. Otherwise every run ends
    // before CalcRows returns.
    static constexpr double kSliceMs = 8;
    static constexpr double kScreenMs = 50;
    // A run an edit began (EditFirst set while it is asked for) leaves a line of more bytes to
    // a slice that Continue begins: the window shows the key that changed the line before the
    // line's calculation takes its time.
    static constexpr std::size_t kLongLineBytes = 64 * 1024;
    bool EditFirst = false;
    bool Sliced = false;
    int SliceRows = 0;
    // A slice left work: the host calls Continue soon.
    std::function<void()> OnPending;
    // A slice ended (also the last one): the host shows the progress and the rows not yet current.
    std::function<void()> OnSlice;
    void Continue();
    // What is left, at once: the host's tools (saving, printing, answer writing, the graph, the
    // hot key) see a finished run. A run that Esc stopped (or is to stop) stays as it was left.
    void Finish();
    // Esc: the run stops where it is; the next run over all rows goes on from there.
    void Stop();
    // The memo and the engine are about to be emptied or replaced: a run under way is dropped and
    // the next one calculates every row.
    void Invalidate();
    // A run waits for Continue.
    [[nodiscard]] bool Pending() const noexcept { return FInc.Active && !FInc.Stopped; }
    // The rows from this one on may show answers that are not yet current; -1 when none may.
    [[nodiscard]] std::int32_t PendingFrom() const noexcept;
    // How far the run under way has come, 0 to 1, and for how long it has been going.
    [[nodiscard]] double Progress() const noexcept;
    [[nodiscard]] double RunSeconds() const noexcept;
    // Off: every run calculates every row of its range (the reference of the tests).
    bool Incremental = true;
    // Rows calculated (lines worked out or replayed) by all runs so far.
    [[nodiscard]] std::uint64_t RowsCalculated() const noexcept { return FRowsCalculated; }
    // Empty when the run index agrees with the memo's rows.
    [[nodiscard]] std::string CheckIndex() const { return FIndex.Check(); }

    // The row of the caret line's answer: the last display row of its logical line.
    [[nodiscard]] int CaretRow() const;

    // Scripts read and write answers by logical line (1-based): the answer of the line's last
    // display row, written unfiltered; nothing beyond the last line.
    [[nodiscard]] std::string ScriptAnswer(int line);
    void SetScriptAnswer(int line, std::string_view text);

    // A run over lines that come one at a time and are kept nowhere (the batch calculator): after
    // BeginStream, each StreamLine calculates the next line exactly as CalcRows(true, false, rkAll)
    // does over the whole memo, and returns what the answer pane shows for it (valid until the
    // next call). With log, it receives the log the log pane shows with the caret on the line (CR
    // LF form). Not for memos that hold script lines while scripts are on: a script reads and
    // writes the answers of other lines.
    void BeginStream();
    [[nodiscard]] std::string_view StreamLine(std::string_view line, std::string* log);

    std::function<void()> OnBeginCalc;
    // After the loop of a run that was not interrupted: the captured log for the log pane.
    std::function<void(const std::string& log)> OnShowLog;
    // After every calculated row: the log the log pane would show with the caret on that row
    // (empty when the row gave no formula). The rows of a "#>" block before its last show the
    // last row's log.
    std::function<void(int row, const std::string& log)> OnRowLog;
    // The run is over (also when it was left by an exception), before OnEndCalc.
    std::function<void()> OnRunEnded;
    std::function<void()> OnEndCalc;
    // Answer writing: the answer goes into the line of the row, or is removed from it.
    std::function<void(int row, const std::string& answer)> OnWriteAnswer;
    std::function<void(int row)> OnRemoveAnswer;
    // Set by the host when Esc is typed; a run clears it at its start and end.
    bool EscPressed = false;

    // The run's boundary for exceptions: what a host event or the work of a run threw is caught
    // there, put into words (UTF-8, "計算を中断しました: ...") and handed to OnFailure, which
    // shows it; LastFailure keeps the last one. Called inside a catch block.
    void ReportFailure() noexcept;
    [[nodiscard]] const std::string& LastFailure() const noexcept { return FLastFailure; }
    std::function<void(const std::string& text)> OnFailure;
    // OnRunEnded and OnEndCalc, as a run ends; clears EscPressed.
    void RaiseEndEvents() noexcept;

private:
    // TRowObserver: the index and the answer pane follow the memo's rows.
    void RowsRemoving(std::int32_t row, std::int32_t count) override;
    void RowsInserted(std::int32_t row, std::int32_t count) override;
    void RowChanged(std::int32_t row) override;
    void RowsReset() override;
    // A row before the run's position changed: the run starts again from the top.
    void RowBefore(std::int32_t row, std::int32_t removed, std::int32_t inserted);

    // The run of all rows that calculates what changed.
    void RunChanged();
    void BeginChanged();
    void RestartChanged();
    // How a slice of work ended: nothing after the position can change any more, the memo's end,
    // the slice's time, Esc.
    enum class TWorkEnd : std::uint8_t { weNothingLeft, weEnd, weSliceOver, weStopped };
    TWorkEnd WorkChanged();
    void VisitRow(std::int32_t row, int chunk, std::int32_t offset);
    // A later line of the script block that goes on after row is to be calculated.
    [[nodiscard]] bool BlockDirtyAfter(std::int32_t row);
    // The run is over: at the memo's end, or early when nothing after the position can change.
    void EndChanged(bool early);
    void EndRunEvents();
    [[nodiscard]] bool SliceOver();
    // Whether the slice ends before row, the end of a long line, for the next slice to calculate.
    [[nodiscard]] bool LeavesLongLine(std::int32_t row) const;
    // The options that decide which lines calculate and what their rows keep and show.
    [[nodiscard]] std::string RowOptions() const;
    // Whether the chunk at the run's position may be passed over whole.
    [[nodiscard]] bool Passable(int chunk);
    // The run over a range, every row of it.
    void CalcRange(bool store, bool write, TCalcRangeKind kind);

    void ExtendScriptRange(int& first, int& last) const;
    bool CalcScriptRow(int row, std::string_view text, bool store, bool write);
    bool StartsBlockAt(int row) const;
    void StoreEngineResult(int row);
    // A script error of the block that ended at row marks the failing row.
    void ShowScriptError(int row);
    // The logical line (from 0) of a display row, and the last display row of a logical line
    // (-1 beyond the last); a run asks in order, so both go on from the last answer.
    int LineOfRow(int row);
    int RowOfLine(int line);

    TUMemoStrings& FMemo;
    TUMemoStrings& FAnswers;
    TVtCalc& FCalc;
    const TCalcOptions& FOptions;
    TRunCapture FCapture;
    std::string FScriptBuffer;
    std::string FStreamBuffer;
    // The last display row of each line of the block being gathered.
    std::vector<int> FScriptRows;
    // A display row known to start logical line Line (Row -1: none known).
    struct TLineMark {
        int Row = -1;
        int Line = 0;
    } FLineMark;
    bool FRunning = false;
    bool FContinuing = false;  // the slice is one Continue began
    std::uint64_t FRowsCalculated = 0;
    std::string FLastFailure;

    TRunIndex FIndex;
    // The run of all rows that calculates what changed, and what the last one left.
    struct TChangedRun {
        // The rows' answers follow from the last finished run: what a run reads is known.
        bool Valid = false;
        bool Active = false;        // a run is under way
        bool Stopped = false;       // by Esc
        bool Restart = false;       // a row before Pos changed
        bool StoppedInRow = false;  // Esc stopped a line as it was calculated
        // Every row from FullFrom on is calculated (-1: none).
        std::int32_t FullFrom = -1;
        std::int32_t Pos = 0;        // the next row to look at
        std::int32_t LineStart = 0;  // the first row of Pos's line
        bool LineEdited = false;     // a row of that line was edited
        // The names whose value differs from what the rows from Pos on read when they were last
        // calculated.
        TDepKeySet Changed;
        // A restart left rows from Frontier on as the last finished run left them, and what
        // differed there.
        std::int32_t Frontier = -1;
        TDepKeySet AtFrontier;
        // What differed at the end of the last finished run, for the rows before the variables'
        // assignments (the next run starts from the last one's variables).
        TDepKeySet Carry;
        TDepKeySet FunctionsChanged;
        // The variables changed between runs, as the last run left them.
        std::vector<TVariList::TUndoItem> Outside;
        TStatistics Stats;  // at the start of the run
        int VarsAtStart = 0;
        // The state the last finished run left.
        std::uint64_t Clears = 0;
        std::uint64_t FuncShape = 0;
        std::uint64_t Context = 0;
        bool StatsActive = false;
        // The options that decide what the rows keep and show, as the last run had them.
        std::string RowOptions;
        int CaretRow = -1;
        int CaretBlockEnd = -1;
        bool ForceCaret = false;
        std::chrono::steady_clock::time_point Began;
    } FInc;
    std::chrono::steady_clock::time_point FSliceStart;
    // Rows worked out and chunks passed over in the slice; when the clock was read last.
    int FSliceSteps = 0;
    int FSliceChecked = 0;
};

}  // namespace rekna
