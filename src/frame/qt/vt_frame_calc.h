// TVtFrameCalc: the calculation frame widget with the memo, answer and log panes, the calc bar
// and the frame's actions and menus.
#pragma once

#include <QWidget>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/vt_calc.h"
#include "frame/calc_options.h"
#include "frame/document_codec.h"
#include "frame/frame_calc_core.h"
#include "frame/frame_settings.h"
#include "platform/file_io.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;

namespace rekna {

class TUMemo;
struct TInsertAction;

// The widgets are the frame's children: the memo pane UMemo1 and the answer pane UMemo2 side by
// side in Panel1 (Splitter1 between them), the log pane UMemo3 below (Splitter2 above it) and the
// calc bar ToolBar1 at the bottom. The decisions are TFrameCalcCore's; this class turns pane
// events and actions into its calls and shows what it keeps.
class TVtFrameCalc : public QWidget, private TFrameView {
    Q_OBJECT

public:
    explicit TVtFrameCalc(QWidget* parent = nullptr);
    ~TVtFrameCalc() override;

    // --- Components.
    [[nodiscard]] TUMemo* UMemo1() const noexcept { return FMemo1; }
    [[nodiscard]] TUMemo* UMemo2() const noexcept { return FMemo2; }
    [[nodiscard]] TUMemo* UMemo3() const noexcept { return FMemo3; }
    // The engine as a finished run left it: a run under way ends first.
    [[nodiscard]] TVtCalc& VtCalc1() noexcept {
        FinishRun();
        return FCalc;
    }
    [[nodiscard]] QToolBar* ToolBar1() const noexcept { return FToolBar; }
    [[nodiscard]] QLabel* LabelAns() const noexcept { return FLabelAns; }
    [[nodiscard]] QSplitter* Splitter1() const noexcept { return FSplitter1; }
    [[nodiscard]] QSplitter* Splitter2() const noexcept { return FSplitter2; }
    [[nodiscard]] QWidget* Panel1() const noexcept { return FPanel1; }
    [[nodiscard]] TFrameCalcCore& Core() noexcept { return *FCore; }

    // --- Actions and menus.
    // The action of that name ("ActionEditRun"), or null.
    [[nodiscard]] QAction* Action(std::string_view name) const;
    // The frame's actions of a category ("計算", "結果", ...), for the main window's menus.
    [[nodiscard]] QMenu* CategoryMenu(std::string_view category) const;
    // The insert commands' shortcuts (億, 万, 兆, 京 and the 60-base marks), off by default: in the
    // main window Ctrl+O, Ctrl+S, Ctrl+T and Ctrl+H are its own commands' keys, and a key that
    // two actions claim fires neither.
    void SetInsertShortcuts(bool on);
    // "ユーザー定義関数(&D)": the user functions of the definitions file.
    [[nodiscard]] QMenu* UserFuncMenu() const noexcept { return FUserFuncMenu; }
    [[nodiscard]] QMenu* MemoPopup() const noexcept { return FMemoPopup; }
    [[nodiscard]] QMenu* AnswerPopup() const noexcept { return FAnswerPopup; }
    [[nodiscard]] QMenu* LogPopup() const noexcept { return FLogPopup; }
    [[nodiscard]] QMenu* LabelPopup() const noexcept { return FLabelPopup; }

    // Called during a long line or a script: lets the window paint and Esc or a close request
    // stop the run, and holds every other input until the run is over, since it would edit the
    // memo in the middle of a calculation.
    void PollDuringRun();
    // A run that goes on between window events ends now: what the tools (saving, printing,
    // answer writing, the graph, the hot key) read is a finished run's.
    void FinishRun() noexcept;
    // The frame's boundary for exceptions: what work throws (out of memory in a long run, a
    // failing host event) is caught here and said in the status line through the run procedure's
    // OnFailure; the next run calculates every row.
    void Guarded(const std::function<void()>& work) noexcept;
    // A calculation or a script is running (the window is inside it).
    [[nodiscard]] bool Busy() noexcept;
    // A long command over the memo (計算結果で置換) follows the run's rules: asked between its
    // steps, it lets the window paint and sees Esc (PollDuringRun), and from 300 ms on shows
    // what (UTF-8) with done of total in the status line. False once Esc or a close request
    // asked it to stop. done 0 starts the command, EndLongCommand ends it.
    bool PollLongCommand(std::string_view what, std::size_t done, std::size_t total);
    // The command is over: says so when it was stopped, and hands held input on.
    void EndLongCommand(std::string_view what);
    static constexpr int kLongCommandProgressMs = 300;
    // Hands the input held during a long command on once the window is idle.
    void DeliverHeldInputLater();
    // Hands it on now, when the window is idle: keys typed during a calculation reach the memo
    // before the session's end writes the exit files.
    void DeliverHeldInputNow();

    // --- The option groups: each reads every check of its group and applies it in order.
    void SetCalcMode();
    void SetWindow();
    void SetMemoMode();
    // The four wrap-mode actions.
    void ActionViewWrap0Execute();

    // --- Running and documents.
    [[nodiscard]] bool IsCalcLine(std::string_view line) const {
        return FCore->Options().IsCalcLine(line);
    }
    void CalcRows(bool store, bool write, TCalcRangeKind kind) {
        FCore->Run().CalcRows(store, write, kind);
    }
    // Loads (or appends) a file; false when it does not exist or cannot be read.
    bool OpenDocument(const std::string& path, bool append, bool caretToEnd, bool adoptName);
    // Writes the memo in the encoding it was opened in; a failure leaves the file and the
    // document's modified state as they were.
    TFileResult SaveDocument(const std::string& path);
    // A failed save is shown; the document stays modified.
    void ReportSave(const std::string& path, const TFileResult& result);
    // A fresh document is written in UTF-8 with LF line ends.
    void NewDocument();
    // The memo holds the backup of the document at path: saving writes there, in that file's
    // encoding; false when the file cannot be read (the memo then stays unnamed).
    bool TakeBackupOf(const std::string& path);
    [[nodiscard]] TDocEncoding DocumentEncoding() const noexcept { return FDocEncoding; }
    [[nodiscard]] TLineEnd DocumentLineEnd() const noexcept { return FDocLineEnd; }
    // The user's choice of the document's encoding and line ends: the next save writes them.
    void SetDocumentFormat(TDocEncoding encoding, TLineEnd lineEnd);
    // The memo's text can be written in the document's encoding as it stands.
    [[nodiscard]] bool DocumentEncodable() const;
    std::function<void()> OnChangeFormat;
    // The definitions file's text, run into the engine.
    void SetDefinitions(std::string text);
    [[nodiscard]] const std::string& MemoHint() const noexcept { return FCore->MemoHint(); }
    [[nodiscard]] const std::string& Title() const noexcept { return FCore->Title(); }

    // --- Settings: the frame's keys, then the option groups applied in the fixed order.
    void ReadSettings(const TSettingsStore& store);
    // The answer and log panes take the sizes the options hold (again once the frame is shown
    // and has its own size).
    void ApplyPaneSizes();
    void WriteSettings(TSettingsStore& store);
    // The panes' colours and selection look; setting them runs the editor mode again, and
    // nothing else (the engine's memory and the answers stay).
    [[nodiscard]] const TPaneStyles& PaneStyles() const noexcept { return FStyles; }
    void SetPaneStyles(const TPaneStyles& styles);

    // --- Events.
    std::function<void()> OnBeginCalc;
    std::function<void()> OnEndCalc;
    std::function<void()> OnChangeTitle;
    std::function<void()> OnChangeMenus;
    std::function<void()> OnSetMemoHint;
    std::function<void()> OnChanged;
    // Asked before the memo's text is thrown away (all clear, opening another document): false
    // keeps it.
    std::function<bool()> OnQueryDiscard;
    // The printable width of the paper in characters, for wrapping at the paper edge.
    std::function<void(int& columns)> OnGetPaperColWidth;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The input held during a run goes to its widgets once the run is over.
    void DeliverHeldInputWhenIdle();
    // TFrameView
    [[nodiscard]] bool MemoFocused() const override;
    [[nodiscard]] bool AnswerFocused() const override;
    [[nodiscard]] bool ApplicationActive() const override;
    [[nodiscard]] bool MemoModified() const override;
    [[nodiscard]] int AnswerPageRows() const override;
    void ShowLogTop() override;
    void ShowLogEnd() override;

    void CreatePanes();
    void CreateActions();
    void CreateCalcBar();
    void CreateMenus();
    void WireEvents();
    void ActionTriggered(std::string_view name, bool checked);
    void RunNamedCommand(std::string_view name);
    // Check and enabled states of every action and the calc-bar buttons, read from the options.
    void SyncActions();
    // Saving is possible while the memo has changes or the document has no name yet.
    void SyncSaveAction();
    void ShowCalcBar();
    void RebuildUserFuncMenu();
    // The pane's popup menu below its caret (the Menu key, Shift+F10).
    void PopupAtCaret(TUMemo& pane);
    void ApplyWrapMode();
    void WrapModeChanged();
    void Prompt(const char* caption, const char* prompt, int& value, int lo, int hi, bool absolute,
                void (TVtFrameCalc::*apply)());
    void ChooseFont();
    void OpenWithDialog(bool append);
    void SaveAs();
    void InsertUserFunction(const std::string& caption);
    // The insert commands, the help topics and the memo's completion popup.
    void CreateInsertActions();
    void RunInsertAction(const TInsertAction& action);
    void SyncInsertShortcuts();

    TVtCalc FCalc;
    TUMemo* FMemo1 = nullptr;
    TUMemo* FMemo2 = nullptr;
    TUMemo* FMemo3 = nullptr;
    QWidget* FPanel1 = nullptr;
    QSplitter* FSplitter1 = nullptr;
    QSplitter* FSplitter2 = nullptr;
    QToolBar* FToolBar = nullptr;
    QLabel* FLabelAns = nullptr;
    std::unique_ptr<TFrameCalcCore> FCore;
    TPaneStyles FStyles;

    std::map<std::string, QAction*, std::less<>> FActions;
    std::map<int, QActionGroup*> FGroups;
    std::map<std::string, QMenu*, std::less<>> FCategoryMenus;
    QMenu* FUserFuncMenu = nullptr;
    QMenu* FMemoPopup = nullptr;
    QMenu* FAnswerPopup = nullptr;
    QMenu* FLogPopup = nullptr;
    QMenu* FLabelPopup = nullptr;

    // Calc-bar buttons: the run commands, then the option buttons.
    std::vector<QAction*> FRunButtons;
    QToolButton* FRunButton = nullptr;
    QToolButton* FAngleButton = nullptr;
    QToolButton* FDbButton = nullptr;
    QToolButton* FFormatButton = nullptr;
    QToolButton* FDigitsButton = nullptr;
    QToolButton* FHide0Button = nullptr;
    QToolButton* FAutoButton = nullptr;
    QToolButton* FStrButton = nullptr;
    QToolButton* FLogButton = nullptr;
    bool FApplyingWrap = false;
    bool FInsertShortcuts = false;
    int FPaperColumns = 0;
    TDocEncoding FDocEncoding = TDocEncoding::deUtf8;
    TLineEnd FDocLineEnd = TLineEnd::leLf;
    // The log pane is to show its last line once it has its height.
    bool FLogEndPending = false;
    bool FPolling = false;
    // The long command under way: when it started and when it last let the window run; the
    // progress it reached.
    bool FLongCommand = false;
    std::chrono::steady_clock::time_point FLongStart, FLongPolled;
    std::size_t FLongDone = 0, FLongTotal = 0;
    bool FContinueQueued = false;
    bool FDeliveryPending = false;
    bool FDocBom = false;
};

}  // namespace rekna
