// TRunProcedure: which memo lines run when, and where their results are kept.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/line_hint.h"
#include "frame/calc_options.h"
#include "numbers/cplx.h"
#include "numbers/line_answer.h"

namespace rekna {

class TUMemoStrings;
class TVtCalc;

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
// the answer, Value: the value, Log: the log packed by engine/log_pack.h), so inserting and
// deleting lines keeps every answer beside its own line; the answer pane shows the filtered
// answers.
class TRunProcedure {
public:
    TRunProcedure(TUMemoStrings& memo, TUMemoStrings& answers, TVtCalc& calc,
                  const TCalcOptions& options);

    // Runs the rows of a range; returns at once while a run is in progress or the memo is empty.
    void CalcRows(bool store, bool write, TCalcRangeKind kind);
    // One logical line; true when the engine produced a formula.
    bool CalcRow(int row, bool store, bool assignOnly, bool write);
    void StoreRowResult(int row, std::string_view formula, const TCplx& value, std::string_view log,
                        std::string_view answer);
    void StoreRowAnswer(int row, const TLineAnswerRef& result);
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

    [[nodiscard]] bool Running() const noexcept { return FRunning; }
    // A run has work left that it does between window events.
    [[nodiscard]] bool Pending() const noexcept { return false; }
    [[nodiscard]] const TRunCapture& Captured() const noexcept { return FCapture; }

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

private:
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
    // Per memo row, where the line cache found the row's line last.
    std::vector<TLineHint> FRowHints;
    // A display row known to start logical line Line (Row -1: none known).
    struct TLineMark {
        int Row = -1;
        int Line = 0;
    } FLineMark;
    bool FRunning = false;
};

}  // namespace rekna
