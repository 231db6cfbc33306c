// TFrameCalcCore: the calculation frame without its widgets. It owns the options and the run
// procedure over the three panes' line stores and decides what every pane event, option and
// command does; the Qt frame turns events into these calls and shows what the core keeps.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/paint/char_kind.h"
#include "frame/calc_options.h"
#include "frame/run_procedure.h"

namespace rekna {

class TUMemoStrings;
class TVtCalc;

// The automation object's name and members, which every pane colours as keywords.
[[nodiscard]] std::span<const std::string_view> ScriptKeywords() noexcept;

// What the core asks of the widgets; the defaults stand for a memo that has the focus.
class TFrameView {
public:
    virtual ~TFrameView() = default;
    [[nodiscard]] virtual bool MemoFocused() const { return true; }
    [[nodiscard]] virtual bool AnswerFocused() const { return false; }
    [[nodiscard]] virtual bool ApplicationActive() const { return true; }
    [[nodiscard]] virtual bool MemoModified() const { return false; }
    // Rows the answer pane shows.
    [[nodiscard]] virtual int AnswerPageRows() const { return 40; }
    // The log pane shows its first row, or its last row and first column.
    virtual void ShowLogTop() {}
    virtual void ShowLogEnd() {}
};

// The run commands; while one runs, RunningCommand() names it (the action's Tag).
enum class TRunCommand : std::uint8_t { rcNone, rcRun, rcRunStop, rcRunRow, rcRunEnd };

class TFrameCalcCore {
public:
    TFrameCalcCore(TUMemoStrings& memo, TUMemoStrings& answers, TUMemoStrings& log, TVtCalc& calc,
                   TFrameView& view);
    TFrameCalcCore(const TFrameCalcCore&) = delete;
    TFrameCalcCore& operator=(const TFrameCalcCore&) = delete;
    ~TFrameCalcCore();

    [[nodiscard]] TCalcOptions& Options() noexcept { return FOptions; }
    [[nodiscard]] const TCalcOptions& Options() const noexcept { return FOptions; }
    [[nodiscard]] TRunProcedure& Run() noexcept { return FRun; }
    [[nodiscard]] TVtCalc& Calc() noexcept { return FCalc; }

    // --- The group handlers, each applying every option of its group in a fixed order.
    // The engine, the number settings, the memo's conversions, the calc-bar format, the script
    // switch, then a run of all rows (or, without auto-calculation, an empty answer pane).
    void SetCalcMode();
    // After the widgets changed their layout: the log pane refilled, the calc bar updated.
    void SetWindow();
    // The editor settings clamped and the line-store ones applied to the memo.
    void SetMemoMode();
    // The log pane is shown (the log-pane option on and not the answer table).
    [[nodiscard]] bool LogPaneVisible() const noexcept;

    // --- Answers written into the memo text, each command one edit group and one undo step,
    // with one recalculation after it.
    // Ctrl+Enter: the caret line's answer after a run of all rows; a selection within one line or
    // a box is replaced by its results; every other selection gets the answer of each line.
    void WriteAnswers();
    // Shift+Ctrl+Enter: written answers taken out of the selected lines (the caret line).
    void DeleteAnswers();
    // Every line's answer written in, or every written answer taken out.
    void WriteAllAnswers();
    void DeleteAllAnswers();
    // The selected lines sorted by their stored answers (lines without a number last, in their
    // order); nothing without a selection.
    void SortByResult(bool ascending);

    // --- Runs.
    void RunCommand(TRunCommand command);
    void AutoCalc();
    // While runs are held (the options dialog applying its pages one after another), a run
    // asked for waits; the last release runs the whole memo once when any was asked.
    void HoldRuns() noexcept { ++FRunsHeld; }
    void ReleaseRuns();
    [[nodiscard]] TRunCommand RunningCommand() const noexcept { return FRunningCommand; }

    // --- Pane events.
    void MemoChanged();
    void MemoMovedCaretRow();
    void MemoMovedCaretCol();
    void MemoSelected();
    void MemoDisSelected();
    void MemoVScrolled();
    void AnswerVScrolled();
    void AnswerMovedCaretRow();
    // A digit or minus key typed in the answer pane: true when it set the display digits.
    bool AnswerDigitKey(char key, bool shift);
    // Down arrow on the last memo row: appends an empty row (two to an empty memo) when the row
    // holds text, so that the caret can leave it downwards. True when rows were added.
    bool PrepareDownArrow();
    // The break rule changed: rows moved, so the answers are worked out or shown again.
    void WrapRulesChanged();

    // --- The log pane and the calc bar.
    void LogOnCaretMove();
    // Fills the log pane by its content mode, writing only rows that differ.
    void ShowLogPane(const std::string& log);
    // The caret line's log into a visible log pane, or a hidden one emptied.
    void RefreshLog();
    void UpdateCalcBar();
    [[nodiscard]] std::string GetCaretLog() const { return FRun.GetCaretLog(); }
    // The calc-bar buttons that cycle; each ends in SetCalcMode or, for the log selector, in the
    // caller's SetWindow.
    void AngleButton();
    void DbButton();
    void FormatButton();
    void StrButton();
    void LogSelectorButton();

    // The log hint for the cell under the mouse (row, 1-based display column): the new hint
    // when the cell changed, an empty one when the hint is off, nothing while the cell is the
    // same.
    [[nodiscard]] std::optional<std::string> LogHint(int row, int column);

    // --- Clearing, definitions and the document.
    void AllClear();
    void MemoryClear();
    void RerunDefinitions();
    [[nodiscard]] const std::string& DefText() const noexcept { return FDefText; }
    // The definitions text as last given, also when running it emptied DefText because no line
    // calculates (only comments, or nothing left): what the definitions file holds.
    [[nodiscard]] const std::string& DefSource() const noexcept { return FDefSource; }
    void SetDefText(std::string text) {
        FDefSource = text;
        FDefText = std::move(text);
    }
    [[nodiscard]] const std::vector<TUserFuncMenuItem>& UserFuncMenu() const noexcept {
        return FMenu;
    }
    // After the memo took a file's text (append: added below it): names, title, a memory clear
    // with the definitions for a full load, the answers, and the caret's effects.
    void DocumentOpened(const std::string& path, bool append, bool adoptName);
    // The document shows a name without being saved under it ("BackUp"): saving asks for one.
    void SetDocumentName(std::string name);
    // The memo took back the backup of the named document at path: saving writes there, and
    // while the text differs from the file (unsaved) the document counts as modified.
    void BackupOfDocument(const std::string& path, bool unsaved);
    // The memo was written to path.
    void DocumentSaved(const std::string& path);
    // The document's encoding or line ends changed: a named document has something to save.
    void FormatChanged();
    // Changes that no file holds yet: the memo's undoable edits or an unsaved restored backup.
    [[nodiscard]] bool Unsaved() const { return FView.MemoModified() || FUnsavedBackup; }
    [[nodiscard]] const std::string& FileName() const noexcept { return FFileName; }
    [[nodiscard]] bool HasFileName() const noexcept { return FHasName; }
    [[nodiscard]] bool SaveEnabled() const noexcept { return FSaveEnabled; }
    // File name part of the document, with " *" while it is modified (not for a fresh one).
    void UpdateTitle(bool fresh = false);
    [[nodiscard]] const std::string& Title() const noexcept { return FTitle; }

    // --- What the widgets show.
    [[nodiscard]] const std::string& CalcBarText() const noexcept { return FCalcBarText; }
    [[nodiscard]] const std::string& LabelText() const noexcept { return FLabelText; }
    [[nodiscard]] const std::string& MemoHint() const noexcept { return FMemoHint; }
    [[nodiscard]] const std::string& AnswerHint() const noexcept { return FAnswerHint; }
    [[nodiscard]] const std::string& LogPaneHint() const noexcept { return FLogPaneHint; }
    [[nodiscard]] TFileType LogFileType() const noexcept { return FLogFileType; }
    [[nodiscard]] int CalcBarFormat() const noexcept { return FCalcBarFormat; }
    [[nodiscard]] bool NeedBarUpdate() const noexcept { return FNeedBarUpdate; }

    // --- Events (all optional).
    std::function<void()> OnBeginCalc;
    std::function<void()> OnEndCalc;
    std::function<void()> OnChangeTitle;
    std::function<void()> OnChangeMenus;
    std::function<void()> OnSetMemoHint;
    std::function<void()> OnChanged;
    // The label, the hints or the log pane's file type changed.
    std::function<void()> OnCalcBarChanged;
    // The engine defined a function (its name goes into the keyword lists), or cleared them.
    std::function<void(const std::string& name)> OnAddKeyword;
    std::function<void()> OnClearKeywords;
    // A run wants the memo's caret line written (answer writing).
    std::function<void(int row, const std::string& answer)> OnWriteAnswer;

private:
    void RunRows(bool store, bool write, TCalcRangeKind kind, TRunCommand command);
    // The written form of each logical line from the line of row first to the line of row last,
    // as answer(line text) gives its formula and answer; lines are looked up anew after each
    // write, which re-wraps the line.
    void
    WriteLines(int first, int last,
               const std::function<std::pair<std::string, std::string>(const std::string&)>& answer,
               bool keepResults = false);
    // Each of count logical lines from the line of row first replaced by rewrite(its text), in
    // one edit group opened only when a line changes. With keepResults the lines keep their
    // stored results and the change starts no recalculation (answers written after a run).
    void WriteLinesAs(int first, std::size_t count,
                      const std::function<std::string(const std::string&)>& rewrite,
                      bool keepResults = false);
    // The recalculation after a command, when the memo change did not start one.
    void RecalculateAfterWriting();
    void SelectionSummary(std::string_view text);
    void SetLabel(const std::string& formula, const std::string& answer);
    void ClearAnswerRows();
    [[nodiscard]] bool MemoHasSelection() const;
    [[nodiscard]] std::string MemoHintPrefix() const;

    TUMemoStrings& FMemo;
    TUMemoStrings& FAnswers;
    TUMemoStrings& FLog;
    TVtCalc& FCalc;
    TFrameView& FView;
    TCalcOptions FOptions;
    TRunProcedure FRun;
    std::vector<TUserFuncMenuItem> FMenu;

    std::string FCalcBarText;
    std::string FLabelText;
    std::string FMemoHint;
    std::string FAnswerHint;
    std::string FLogPaneHint;
    bool FNeedBarUpdate = false;
    std::string FDefText;
    std::string FDefSource;
    int FRunsHeld = 0;
    bool FRunAsked = false;
    std::string FFileName = "New";
    std::string FTitle;
    bool FHasName = false;
    bool FSaveEnabled = false;
    bool FUnsavedBackup = false;
    bool FKeepingResults = false;
    int FCalcBarFormat = 0;
    TFileType FLogFileType = TFileType::ftRekna;
    TRunCommand FRunningCommand = TRunCommand::rcNone;
    int FHintColumn = 0;
    int FHintRow = 0;
};

}  // namespace rekna
