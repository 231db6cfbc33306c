// TFormMemo: the main window around the calculation frame, with the main menu, tool bar,
// status bar, documents, the settings file, the definitions file and the backup.
#pragma once

#include <QMainWindow>

#include <chrono>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frame/document_codec.h"
#include "frame/main_settings.h"
#include "frame/qt/tool_host.h"
#include "shell/backup.h"
#include "shell/backup_slots.h"
#include "shell/settings_file.h"
#include "shell/start_paths.h"

class QAction;
class QLabel;
class QToolBar;
class QToolButton;

namespace rekna {

class THelpWindow;
class TpsvActiveScriptSite;
class TUMemo;
class TVtFrameCalc;

// The answers to the questions the window asks, replaceable for tests.
enum class TSaveAnswer : std::uint8_t { saYes, saNo, saCancel };
// A backup that no running instance owns: opened in this window, kept for later, or put into
// the trash.
enum class TOrphanAnswer : std::uint8_t { oaOpen, oaKeep, oaDiscard };

class TFormMemo : public QMainWindow, public TToolHost {
    Q_OBJECT

public:
    explicit TFormMemo(TStartPaths paths, QWidget* parent = nullptr);
    ~TFormMemo() override;

    // What the tool windows use of the main window.
    [[nodiscard]] QMainWindow& Window() noexcept override { return *this; }
    // The tools (graph, printing, hot key, scripts, find, templates, options) see a finished run.
    [[nodiscard]] TVtFrameCalc* VtFrameCalc1() const noexcept override;
    [[nodiscard]] QAction* Action(std::string_view name) const override;
    [[nodiscard]] TMainSettings& Settings() noexcept override { return FSettings; }
    [[nodiscard]] const TMainSettings& Settings() const noexcept { return FSettings; }
    // The texts the other windows keep in the settings file: read by Start(), written by
    // WriteSettings() and at the exit.
    [[nodiscard]] TKeptSettings& KeptSettings() noexcept override { return FSettings.Kept; }
    [[nodiscard]] std::string SettingsFolder() const override { return FPaths.SettingsFolder; }
    [[nodiscard]] std::string BackupFile() const override { return FPaths.BackupFile(); }
    void RecycleOldBackup(const std::string& path) override;
    [[nodiscard]] const TStartPaths& Paths() const noexcept { return FPaths; }
    [[nodiscard]] QToolBar* ToolBar() const noexcept { return FToolBar; }

    // Reads the settings file (or takes the first-start defaults) and the definitions file;
    // call before the window is shown.
    void Start();
    // Loads the document of the command line, or the backup, once the window is shown.
    void FirstShow();

    // Settings: true when the file is a settings file of the program and could be read.
    bool ReadSettings(const std::string& path);
    // Writes the settings file; the failure is reported through the result.
    TFileResult WriteSettings();

    // Documents.
    void OpenPath(const std::string& path);
    // Saves under the document's name, asking for one when it has none; false when it was not
    // saved (cancelled or failed, the failure shown).
    bool Save();
    bool SaveAs();
    // The arguments of a second start, handed over by it.
    void TakeArguments(const QStringList& arguments);
    // The session ends (a signal, the session manager): a running calculation or script is
    // stopped, the exit files are written as a normal exit with backups on writes them, and the
    // window closes without a question; then OnSessionEnded is called.
    void EndSession();
    std::function<void()> OnSessionEnded;
    // Writes the backup now when the memo changed since the last one (backups on); the timer
    // calls it every minute, so that a crash costs at most a minute of typing.
    void WritePeriodicBackup();

    // Replaceable for tests: the ask-to-save question, the save-file dialog, the trash and the
    // clock.
    std::function<TSaveAnswer()> AskToSave;
    std::function<QString(const QString& start)> AskSaveName;
    std::function<std::tm()> Now;
    // Text that Shift_JIS cannot hold is to be saved: true switches the document to UTF-8.
    std::function<bool()> AskSwitchToUtf8;
    // The exit could not write the backup of text that is in no file (why says so): Yes saves
    // as, No closes anyway, Cancel keeps the window.
    std::function<TSaveAnswer(const QString& why)> AskBackupFailed;
    // The file to save over is read-only: true overwrites it.
    std::function<bool(const QString& path)> AskOverwriteReadOnly;
    // The file changed on disk since it was read or saved here: true overwrites it.
    std::function<bool(const QString& path)> AskOverwriteChanged;
    // At start, another instance's backup that nobody owns (that instance no longer runs, or a
    // session end kept it in a fallback folder); canOpen tells whether opening it is offered.
    std::function<TOrphanAnswer(const QString& file, bool canOpen)> AskOrphanBackup;
    void SetTrash(TTrash* trash) noexcept { FTrash = trash; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void WireFrame();
    void ApplyLayout();
    void SyncChecks();
    void ReadChecks();
    void FirstStartDefaults();
    void ReadDefinitions();
    void WriteDefinitions();
    // True when the backup was loaded; forced, also with backups off.
    bool LoadBackup(bool force = false);
    // Asks about each backup no running instance owns; true when one was swapped into this
    // window's own slot, to be loaded as its backup.
    bool OfferOrphanBackups();
    void UpdateCaption();
    // The document's encoding and line ends: the status bar and the checks of the menu.
    void ShowDocumentFormat();
    void RebuildUserFuncMenu();
    void SetRunButtonsDown(bool down);
    void RunEditCommand(std::string_view name);
    void ShowHelp();
    // The memo's editing commands follow the focused pane, its selection and its undo list.
    void UpdateEditActions();
    // After Esc: a menu bar left in keyboard navigation lets go of the keys.
    void ReleaseMenuBar();
    void OpenWithDialog();
    // Writes the memo to path and adopts the name; a failure is shown.
    bool SaveTo(const std::string& path);
    // Asks before the memo's unsaved text is thrown away; false keeps it.
    bool QueryDiscard();
    // Exit steps: settings, definitions and the backup written (the backup also with backups
    // off when forced); the result is the backup's. At the end of the session a backup that
    // fails goes to the user's configuration or state folder instead.
    TFileResult WriteExitFiles(bool forceBackup = false);
    // The memo as the backup holds it.
    [[nodiscard]] std::string BackupBytes() const;
    // The backup and the name of the document it came from; the old backup goes to the trash
    // once a session.
    TFileResult WriteBackupFiles();
    [[nodiscard]] TUMemo* FocusedMemo() const;
    [[nodiscard]] std::tm CurrentTime() const;

    TStartPaths FPaths;
    TMainSettings FSettings;
    TpsvActiveScriptSite* FScriptSite = nullptr;
    TVtFrameCalc* FFrame = nullptr;
    QToolBar* FToolBar = nullptr;
    QMenu* FUserFuncMenu = nullptr;
    std::map<std::string, QAction*, std::less<>> FActions;
    // The tool-bar actions of each button group (File, Calc, Find, Indent, Fold, Edit).
    std::array<std::vector<QAction*>, 6> FToolGroups;
    std::unique_ptr<TTrash> FOwnTrash;
    TTrash* FTrash = nullptr;
    THelpWindow* FHelp = nullptr;
    std::string FDefFileText;  // the definitions file as read, to write it only when it changed
    // How the definitions file was written; nothing while there was none.
    std::optional<TDocFormat> FDefFormat;
    QLabel* FFormatLabel = nullptr;
    // How the settings file is written: as it was read, UTF-8 with LF when it is new.
    TSettingsFormat FSettingsFormat;
    // The settings file as this instance last read or wrote it.
    TMemorySettings FSettingsAsRead;
    // The document's file as it was last read or written here, to notice another program's
    // change before saving over it.
    void RememberStamp(const std::string& path);
    std::string FStampPath;
    std::optional<TFileStamp> FDiskStamp;
    // The read-only file the user agreed to save over.
    std::string FReadOnlyAgreed;
    bool FClosing = false;
    bool FSessionEnded = false;
    // EndSession closes the window: closeEvent writes the exit files.
    bool FSessionEnding = false;
    // The old backup went to the trash in this session already; the graph data's likewise.
    bool FBackupRecycled = false;
    bool FGraphBackupRecycled = false;
    // This instance's backup slot, held until the window closes.
    TBackupSlot FBackupSlot;
    // The memo changed since the backup was last written.
    bool FBackupDirty = false;
    bool FEditActionsPending = false;
    // Until then the status bar keeps the message of a run stopped with Esc.
    std::chrono::steady_clock::time_point FStopMessageUntil{};
};

}  // namespace rekna
