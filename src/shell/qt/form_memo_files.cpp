// TFormMemo: the settings file, the definitions file, documents, the backup and the exit.
#include "graph_window/qt/graph_window_hook.h"
#include "shell/qt/form_memo.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cmath>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/qt/window_place.h"
#include "platform/cp932.h"
#include "platform/file_io.h"
#include "script/host/script_site.h"
#include "shell/file_filters.h"
#include "shell/program_settings.h"
#include "shell/qt/script_window_host.h"
#include "shell/settings_file.h"

namespace rekna {

namespace {

const QString kFilter =
    QString::fromUtf8(kDocumentFilters.data(), static_cast<qsizetype>(kDocumentFilters.size()));

// Choosing a filter sets the extension that a name typed without one gets.
void FollowFilters(QFileDialog& dialog) {
    dialog.setNameFilter(kFilter);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(QString::fromStdString(DefaultExtensionOf(f.toStdString())));
    });
}

// The desktop's trash.
class TQtTrash : public TTrash {
public:
    bool MoveToTrash(const std::string& path) override {
        // Without the data folder Qt would set the trash up relative to the current folder.
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (data.isEmpty() || !QDir().mkpath(data)) return false;
        return QFile::moveToTrash(QString::fromStdString(path));
    }
};

std::string WithoutExtension(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    if (info.suffix().isEmpty()) return path;
    return (info.path() + QLatin1Char('/') + info.completeBaseName()).toStdString();
}

bool HasExtension(const std::string& path, const char* ext) {
    return QFileInfo(QString::fromStdString(path))
               .suffix()
               .compare(QLatin1String(ext), Qt::CaseInsensitive) == 0;
}

// "内容が更新されています。" and the question, with No as the focused button.
TSaveAnswer AskYesNoCancel(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Rekna"),
                    QStringLiteral("内容が更新されています。\n\n") + question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::No);
    const int r = box.exec();
    return r == QMessageBox::Yes  ? TSaveAnswer::saYes
           : r == QMessageBox::No ? TSaveAnswer::saNo
                                  : TSaveAnswer::saCancel;
}

// The backup failed and the text is in no file: Save As, close anyway, or stay.
TSaveAnswer AskSaveAsBox(QWidget* parent, const QString& why) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Rekna"),
                    why + QStringLiteral("\n\nこの内容はどのファイルにもありません。"
                                         "名前を付けて保存しますか?"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Save)->setText(QStringLiteral("名前を付けて保存(&A)..."));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("保存せずに終了(&D)"));
    box.setDefaultButton(QMessageBox::Save);
    const int r = box.exec();
    return r == QMessageBox::Save      ? TSaveAnswer::saYes
           : r == QMessageBox::Discard ? TSaveAnswer::saNo
                                       : TSaveAnswer::saCancel;
}

// A backup that no running instance owns: the choices said plainly, keeping it the default
// when it cannot be opened.
TOrphanAnswer AskOrphanBox(QWidget* parent, const std::string& file, bool canOpen) {
    const QString path = QString::fromStdString(file);
    const QFileInfo info(path);
    QString preview;
    std::string bytes;
    if (ReadWholeFile(file, bytes).Ok()) {
        const TDecodedDocument doc = DecodeDocument(std::move(bytes));
        const QStringList lines =
            QString::fromStdString(Cp932ToUtf8(doc.Bytes)).split(QRegularExpression("\\r\\n|\\n"));
        for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), 5); ++i)
            preview += QStringLiteral("  ") + lines[i].left(60) + QLatin1Char('\n');
    }
    QString text =
        QStringLiteral("前に動いていた別のReknaのBackUpが残っています。\n\n%1 (%2)\n%3\n")
            .arg(path, info.lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm")), preview);
    if (canOpen)
        text += QStringLiteral("開く: このウィンドウで新しいメモとして開きます"
                               "(このウィンドウの前回のBackUpは、代わりに次の起動で尋ねます)。\n");
    text += QStringLiteral("残す: そのままにして、次の起動でまた尋ねます。\n"
                           "捨てる: ゴミ箱へ移します。");
    QMessageBox box(QMessageBox::Question, QStringLiteral("Rekna"), text, QMessageBox::NoButton,
                    parent);
    QPushButton* open =
        canOpen ? box.addButton(QStringLiteral("開く(&O)"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* keep = box.addButton(QStringLiteral("残す(&K)"), QMessageBox::RejectRole);
    QPushButton* discard =
        box.addButton(QStringLiteral("捨てる(&D)"), QMessageBox::DestructiveRole);
    box.setDefaultButton(open ? open : keep);
    box.setEscapeButton(keep);
    box.exec();
    if (open && box.clickedButton() == open) return TOrphanAnswer::oaOpen;
    if (box.clickedButton() == discard) return TOrphanAnswer::oaDiscard;
    return TOrphanAnswer::oaKeep;
}

}  // namespace

// --- Start-up -------------------------------------------------------------------------------

void TFormMemo::Start() {
    if (!FTrash) {
        FOwnTrash = std::make_unique<TQtTrash>();
        FTrash = FOwnTrash.get();
    }
    // Another running instance keeps its own backup: this one takes the next free slot.
    FBackupSlot = TBackupSlot::Claim(FPaths.SettingsFolder);
    FPaths.BackupSlot = FBackupSlot.Number();
    // Keys missing from the settings file keep the values of a fresh installation.
    FFrame->Core().Options() = FreshInstallOptions();
    if (!ReadSettings(FPaths.SettingsFile)) FirstStartDefaults();
    // Until a file is opened the memo is a new file, in the format the settings give new files.
    FFrame->NewDocument();
    // What this instance would write now: at the exit, keys that still hold it take what
    // another instance wrote meanwhile. (A first start has no file to compare with.)
    FSettingsAsRead = TMemorySettings();
    WriteMainSettings(FSettingsAsRead, FSettings,
                      [this](TSettingsStore& s) { FFrame->WriteSettings(s); });
    ReadDefinitions();
    FFrame->Core().UpdateTitle(true);
}

void TFormMemo::FirstStartDefaults() {
    // The design client size scaled to the screen's pixels per inch is a small window on today's
    // screens: a first start takes about two thirds of the screen, centred, and never less.
    const double scale = logicalDpiY() / 96.0;
    const QRect area = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1024, 768);
    const int width =
        std::max({static_cast<int>(std::floor(392 * scale)), area.width() * 2 / 3, minimumWidth()});
    const int height = std::max(
        {static_cast<int>(std::floor(246 * scale)), area.height() * 2 / 3, minimumHeight()});
    resize(std::min(width, area.width()), std::min(height, area.height()));
    move(area.center() - rect().center());
    TCalcOptions& o = FFrame->Core().Options();
    // The answer pane takes 43 per cent of the width, and at least what an answer of the default
    // length needs (a complex answer of two 18-digit parts).
    const int answerChars = 44;
    const int needed =
        FFrame->UMemo2()->fontMetrics().horizontalAdvance(QLatin1Char('0')) * answerChars +
        FFrame->UMemo2()->verticalScrollBar()->sizeHint().width() + 12;
    o.AnsWidth = std::min(std::max(width * 43 / 100, needed), width * 3 / 5);
    FFrame->SetMemoMode();
    FFrame->SetCalcMode();
    FFrame->SetWindow();
    SyncChecks();
    ApplyLayout();
}

bool TFormMemo::ReadSettings(const std::string& path) {
    TMemorySettings store;
    TSettingsFormat format;
    if (!ReadProgramSettings(path, FPaths.ProgramName, store, &format)) return false;
    // The settings file is written back as it was read.
    if (path == FPaths.SettingsFile) {
        FSettingsFormat = format;
        FSettingsAsRead = store;
    }
    QDir::setCurrent(QFileInfo(QString::fromStdString(path)).absolutePath());
    ReadMainSettings(store, FSettings);
    if (FScriptSite) FScriptSite->SetMemoryBudget(FSettings.ScriptMemory);
    // A place from a larger screen, or from a screen that is gone, is brought onto this one.
    if (FSettings.Width && FSettings.Height)
        RestorePlace(*this, {FSettings.Left, FSettings.Top, FSettings.Width, FSettings.Height},
                     nullptr);
    FFrame->ReadSettings(store);
    SyncChecks();
    ApplyLayout();
    return true;
}

TFileResult TFormMemo::WriteSettings() {
    ReadChecks();
    // The frame's corner and the client's size: restored so, the window stands where it was.
    const TWindowPlace place = PlaceOf(*this);
    FSettings.Top = place.Top;
    FSettings.Left = place.Left;
    FSettings.Width = place.Width;
    FSettings.Height = place.Height;
    TMemorySettings store;
    WriteMainSettings(store, FSettings, [this](TSettingsStore& s) { FFrame->WriteSettings(s); });
    // Another instance may have written the file since: only what changed here goes over it.
    TMemorySettings disk;
    if (ReadSettingsFile(FPaths.SettingsFile, disk).Ok())
        store = MergeSettings(store, FSettingsAsRead, disk);
    const TFileResult written = WriteSettingsFile(FPaths.SettingsFile, store, FSettingsFormat);
    if (written.Ok()) FSettingsAsRead = std::move(store);
    return written;
}

void TFormMemo::ReadDefinitions() {
    std::string bytes;
    if (ReadWholeFile(FPaths.DefinitionsFile(), bytes).Ok()) {
        TDecodedDocument doc = DecodeDocument(std::move(bytes));
        FDefFormat = doc.Format();
        FDefFileText = doc.Bytes;
        FFrame->SetDefinitions(std::move(doc.Bytes));
        FFrame->VtCalc1().ResetHost();
    }
}

void TFormMemo::WriteDefinitions() {
    // Written only when its text changed, so that an edit of the file made meanwhile stays; a
    // text left empty (every definition deleted) is written too.
    const std::string& text = FFrame->Core().DefSource();
    if (text == FDefFileText) return;
    if (!MakeParentFolders(FPaths.DefinitionsFile())) return;
    // Written as it was read (a new file as new files are); text that Shift_JIS cannot hold
    // goes out as UTF-8.
    const std::string bytes = EncodeKeepingAll(text, FDefFormat.value_or(PlainFileFormat()));
    const TFileResult r = WriteFileReplacing(
        FPaths.DefinitionsFile(),
        [&bytes](const std::function<void(std::string_view)>& sink) { sink(bytes); });
    if (r.Ok()) FDefFileText = text;
}

void TFormMemo::FirstShow() {
    // The panes take their saved sizes once the window has its own.
    FFrame->ApplyPaneSizes();
    const bool adopted = OfferOrphanBackups();
    if (!FPaths.Document.empty()) {
        OpenPath(FPaths.Document);
    } else if (!LoadBackup(adopted)) {
        FFrame->Core().MemoMovedCaretRow();
    }
    FFrame->UMemo1()->setFocus();
}

bool TFormMemo::OfferOrphanBackups() {
    std::vector<TOrphanBackup> orphans = FindOrphanBackups(
        BackupFolders(FPaths.SettingsFolder, ConfigHomeFolder(), StateHomeFolder()),
        FPaths.BackupSlot);
    bool adopted = false;
    for (TOrphanBackup& orphan : orphans) {
        // The window holds one memo: a document of the command line takes it, and so does the
        // first backup opened.
        const bool canOpen = !adopted && FPaths.Document.empty();
        const QString file = QString::fromStdString(orphan.File);
        const TOrphanAnswer answer = AskOrphanBackup ? AskOrphanBackup(file, canOpen)
                                                     : AskOrphanBox(this, orphan.File, canOpen);
        if (answer == TOrphanAnswer::oaOpen && canOpen) {
            // This window's own earlier backup takes the orphan's place and is offered in turn.
            adopted = SwapBackups(FPaths.BackupFile(), orphan.File);
            if (!adopted)
                statusBar()->showMessage(QStringLiteral("%1 を開けませんでした").arg(file));
        } else if (answer == TOrphanAnswer::oaDiscard) {
            for (const char* ext : {".txt", ".name", ".kgd"}) {
                const std::string part = BackupSlotFile(orphan.Folder, orphan.Slot, ext);
                if (QFileInfo::exists(QString::fromStdString(part)))
                    (void)FTrash->MoveToTrash(part);
            }
        }
    }
    return adopted;
}

bool TFormMemo::LoadBackup(bool force) {
    const std::string path = FPaths.BackupFile();
    const std::tm now = CurrentTime();
    const TDate today{now.tm_year + 1900, now.tm_mon + 1, now.tm_mday};
    const std::optional<TDate> date = FileDate(path);
    const TStartLoad kind = DecideStartLoad(FSettings.FileBackUp || force, FSettings.FileBackUpDate,
                                            date.has_value(), date.value_or(today), today);
    if (kind == TStartLoad::slNone) return false;
    TCalcOptions& o = FFrame->Core().Options();
    if (kind == TStartLoad::slWithDate) {
        // Loaded without calculating; the dated block goes below and then everything runs.
        const bool autoCalc = o.CalcAuto;
        o.CalcAuto = false;
        const bool loaded = FFrame->OpenDocument(path, false, true, false);
        o.CalcAuto = autoCalc;
        if (!loaded) return false;
        TUMemo* memo = FFrame->UMemo1();
        AppendDateBlock(memo->Lines(), DateTimeComment(now));
        memo->UpdateScrollRanges();
        memo->SetTopRow(memo->Lines().Selection().Caret.Y);
        memo->RepaintAll();
        FFrame->SetCalcMode();
    } else if (!FFrame->OpenDocument(path, false, true, false)) {
        return false;
    }
    FFrame->Core().SetDocumentName("BackUp");
    FFrame->NewDocument();
    // The backup of a named document saves to that document again.
    std::string name;
    if (ReadWholeFile(FPaths.BackupNameFile(), name).Ok()) {
        // The document's name, then the stamp the file had when that session read it.
        std::string stamp;
        if (const std::size_t end = name.find('\n'); end != std::string::npos) {
            stamp = name.substr(end + 1);
            name.resize(end);
        }
        if (!name.empty() && name.back() == '\r') name.pop_back();
        if (!name.empty() && name.size() <= 4096 &&
            QFileInfo(QString::fromStdString(name)).isFile() && FFrame->TakeBackupOf(name)) {
            FSettings.FileName = name;
            RememberStamp(name);
            long long ns = 0, size = 0;
            if (std::sscanf(stamp.c_str(), "%lld %lld", &ns, &size) == 2)
                FDiskStamp = TFileStamp{ns, size};
        }
    }
    return true;
}

// --- Documents ------------------------------------------------------------------------------

void TFormMemo::OpenPath(const std::string& path) {
    // A script letting window events run still uses the memo.
    if (FFrame->Core().Run().Running()) {
        statusBar()->showMessage(QStringLiteral("計算中です。終わってから開いてください"));
        return;
    }
    if (HasExtension(path, "kgd")) {
        // Graph data belongs to the graph window; its text companion opens here.
        const std::string text = WithoutExtension(path) + ".txt";
        if (QFileInfo::exists(QString::fromStdString(text))) OpenPath(text);
        if (!GraphOpenData(*this, path))
            statusBar()->showMessage(
                QStringLiteral("%1 を読めませんでした").arg(QString::fromStdString(path)));
        return;
    }
    if (!QFileInfo(QString::fromStdString(path)).isFile()) {
        statusBar()->showMessage(
            QStringLiteral("%1 が見つかりません").arg(QString::fromStdString(path)));
        return;
    }
    if (!FFrame->OpenDocument(path, false, false, true)) {
        QMessageBox::warning(
            this, QStringLiteral("Rekna"),
            QStringLiteral("%1 を開けませんでした。").arg(QString::fromStdString(path)));
        return;
    }
    RememberStamp(path);
    FSettings.FileName = path;
    GraphMemoOpened(*this, path);
}

void TFormMemo::OpenWithDialog() {
    const QString start = QString::fromStdString(WithoutExtension(FSettings.FileName));
    QFileDialog dialog(this, QStringLiteral("ファイルを開く"), start);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    FollowFilters(dialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        OpenPath(dialog.selectedFiles().front().toStdString());
}

bool TFormMemo::Save() {
    if (!FFrame->Core().HasFileName()) return SaveAs();
    return SaveTo(FFrame->Core().FileName());
}

bool TFormMemo::SaveAs() {
    const std::string current =
        FFrame->Core().HasFileName() ? FFrame->Core().FileName() : FSettings.FileName;
    const QString start = QString::fromStdString(WithoutExtension(current));
    QString path;
    if (AskSaveName) {
        path = AskSaveName(start);
    } else {
        QFileDialog dialog(this, QStringLiteral("名前を付けて保存"), start);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        FollowFilters(dialog);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().front();
    }
    if (path.isEmpty()) return false;
    return SaveTo(path.toStdString());
}

bool TFormMemo::SaveTo(const std::string& path) {
    if (HasExtension(path, "kgd")) {
        // The graph window writes its data under the ".kgd" name; the memo goes beside it under
        // the ".txt" name, which it keeps from then on.
        if (!GraphSaveData(*this, path)) {
            QMessageBox::warning(
                this, QStringLiteral("Rekna"),
                QStringLiteral("%1 を保存できませんでした。").arg(QString::fromStdString(path)));
            return false;
        }
        return SaveTo(WithoutExtension(path) + ".txt");
    }
    // Nothing is ever written as "?": text that Shift_JIS cannot hold is saved as UTF-8, or not
    // at all.
    if (!FFrame->DocumentEncodable()) {
        const bool utf8 =
            AskSwitchToUtf8
                ? AskSwitchToUtf8()
                : QMessageBox::question(
                      this, QStringLiteral("Rekna"),
                      QStringLiteral("この文書にはShift_JISで保存できない文字があります。\n"
                                     "UTF-8で保存しますか?")) == QMessageBox::Yes;
        if (!utf8) return false;
        FFrame->SetDocumentFormat(TDocEncoding::deUtf8, FFrame->DocumentLineEnd());
    }
    // Another program (or an earlier session) changed the file since it was read here.
    if (const std::optional<TFileStamp> disk = FileStamp(path);
        FDiskStamp && path == FStampPath && disk && disk != FDiskStamp) {
        const QString name = QString::fromStdString(path);
        const bool overwrite =
            AskOverwriteChanged
                ? AskOverwriteChanged(name)
                : QMessageBox::question(this, QStringLiteral("Rekna"),
                                        QStringLiteral("%1 は読み込んだ後に他のプログラムで"
                                                       "変更されています。\n上書きしますか?")
                                            .arg(name),
                                        QMessageBox::Yes | QMessageBox::No,
                                        QMessageBox::No) == QMessageBox::Yes;
        if (!overwrite) return false;
    }
    // A read-only file is replaced only when the user says so, once for each name.
    if (path != FReadOnlyAgreed && IsReadOnlyFile(path)) {
        const QString name = QString::fromStdString(path);
        const bool overwrite =
            AskOverwriteReadOnly
                ? AskOverwriteReadOnly(name)
                : QMessageBox::question(
                      this, QStringLiteral("Rekna"),
                      QStringLiteral("%1 は読み取り専用です。\n上書きしますか?").arg(name),
                      QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
        if (!overwrite) return false;
        FReadOnlyAgreed = path;
    }
    const TFileResult result = FFrame->SaveDocument(path);
    FFrame->ReportSave(path, result);
    if (!result.Ok()) return false;
    RememberStamp(path);
    FSettings.FileName = path;
    GraphSaveBeside(*this, path, true);
    return true;
}

void TFormMemo::TakeArguments(const QStringList& arguments) {
    // A second start hands over its command line: a settings file is applied, a document opened.
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    if (arguments.isEmpty()) return;
    const std::string path = arguments.front().toStdString();
    if (ReadSettings(path)) return;
    if (QueryDiscard()) OpenPath(path);
}

bool TFormMemo::QueryDiscard() {
    TUMemo* memo = FFrame->UMemo1();
    if (!FFrame->Core().Unsaved() || memo->Lines().GetTextStr().empty()) return true;
    const TSaveAnswer answer =
        AskToSave ? AskToSave() : AskYesNoCancel(this, QStringLiteral("保存しますか?"));
    if (answer == TSaveAnswer::saCancel) return false;
    if (answer == TSaveAnswer::saYes) return Save();
    return true;
}

// --- Exit -----------------------------------------------------------------------------------

void TFormMemo::closeEvent(QCloseEvent* event) {
    if (FSessionEnded) {
        // The session ends: nothing is asked, the exit files are written (unless the session
        // manager had them written already).
        if (FSessionEnding) WriteExitFiles(true);
        FSessionEnding = false;
        FBackupSlot.Release();
        event->accept();
        return;
    }
    TUMemo* memo = FFrame->UMemo1();
    if (MustAskToSave(FSettings.BackUpInfo, FSettings.FileBackUp, FFrame->Core().Unsaved(),
                      memo->Lines().GetTextStr().empty())) {
        const TSaveAnswer answer =
            AskToSave ? AskToSave() : AskYesNoCancel(this, QStringLiteral("終了前に保存しますか?"));
        // A save that fails or is cancelled keeps the window open: nothing is lost.
        if (answer == TSaveAnswer::saCancel || (answer == TSaveAnswer::saYes && !Save())) {
            event->ignore();
            return;
        }
    }
    // Text that is in no file and could not be backed up is never thrown away without a word.
    const TFileResult backup = WriteExitFiles();
    if (!backup.Ok() && FFrame->Core().Unsaved() && !memo->Lines().GetTextStr().empty()) {
        const QString why = QStringLiteral("BackUpを書き込めません: %1\n%2")
                                .arg(QString::fromStdString(FPaths.BackupFile()),
                                     QString::fromStdString(backup.Message()));
        statusBar()->showMessage(why);
        const TSaveAnswer answer = AskBackupFailed ? AskBackupFailed(why) : AskSaveAsBox(this, why);
        if (answer == TSaveAnswer::saCancel || (answer == TSaveAnswer::saYes && !SaveAs())) {
            event->ignore();
            return;
        }
    }
    // The backup is final: a later start may offer it.
    FBackupSlot.Release();
    event->accept();
}

void TFormMemo::RecycleOldBackup(const std::string& path) {
    if (!FSettings.FileRecycle || FGraphBackupRecycled) return;
    FGraphBackupRecycled = true;
    if (QFileInfo(QString::fromStdString(path)).isFile()) (void)FTrash->MoveToTrash(path);
}

TFileResult TFormMemo::WriteExitFiles(bool forceBackup) {
    const TFileResult settings = WriteSettings();
    if (!settings.Ok())
        std::fprintf(stderr, "rekna: cannot write %s: %s\n", FPaths.SettingsFile.c_str(),
                     settings.Message().c_str());
    WriteDefinitions();
    if (FFrame->Core().HasFileName())
        GraphSaveBeside(*this, FFrame->Core().FileName(), !FSessionEnded);
    const TUMemoStrings& lines = FFrame->UMemo1()->Lines();
    if ((!FSettings.FileBackUp && !forceBackup) || lines.GetCount() == 0) return {};
    const TFileResult backup = WriteBackupFiles();
    if (backup.Ok()) return backup;
    std::fprintf(stderr, "rekna: cannot write %s: %s\n", FPaths.BackupFile().c_str(),
                 backup.Message().c_str());
    if (!FSessionEnded) return backup;
    // The end of the session cannot wait for an answer: the text goes to the user's own
    // folders instead.
    for (const std::string& file :
         FallbackBackupFiles(FPaths.BackupFile(), ConfigHomeFolder(), StateHomeFolder())) {
        const TFileResult kept = WriteBackup(file, BackupBytes(), true, *FTrash);
        if (kept.Ok()) {
            std::fprintf(stderr, "rekna: the memo is kept in %s\n", file.c_str());
            return kept;
        }
        std::fprintf(stderr, "rekna: cannot write %s: %s\n", file.c_str(), kept.Message().c_str());
    }
    std::fprintf(stderr, "rekna: the memo could not be kept in any file\n");
    return backup;
}

std::string TFormMemo::BackupBytes() const {
    // As the document would be saved; the backup never loses a character: text that Shift_JIS
    // cannot hold is kept as UTF-8.
    return EncodeKeepingAll(FFrame->UMemo1()->Lines().SaveBytes(),
                            {FFrame->DocumentEncoding(), false, FFrame->DocumentLineEnd()});
}

TFileResult TFormMemo::WriteBackupFiles() {
    const TFileResult backup = WriteBackup(FPaths.BackupFile(), BackupBytes(),
                                           FSettings.FileRecycle && !FBackupRecycled, *FTrash);
    if (!backup.Ok()) return backup;
    FBackupRecycled = true;
    FBackupDirty = false;
    const TFrameCalcCore& core = FFrame->Core();
    // A name of more than one line could not be read back as what it was.
    if (core.HasFileName() && core.FileName().find('\n') == std::string::npos) {
        // The stamp of the file as this session read it: a later start saving the backup's
        // text over the file asks when the file changed meanwhile.
        std::string name = core.FileName() + "\n";
        if (FDiskStamp && FStampPath == core.FileName())
            name += std::to_string(FDiskStamp->ModifiedNs) + " " +
                    std::to_string(FDiskStamp->Size) + "\n";
        (void)WriteFileReplacing(FPaths.BackupNameFile(),
                                 [&name](const auto& sink) { sink(name); });
    } else {
        std::remove(FPaths.BackupNameFile().c_str());
    }
    return backup;
}

void TFormMemo::WritePeriodicBackup() {
    if (!FSettings.FileBackUp || !FBackupDirty || FSessionEnded) return;
    if (FFrame->UMemo1()->Lines().GetCount() == 0) return;
    const TFileResult backup = WriteBackupFiles();
    if (!backup.Ok())
        statusBar()->showMessage(QStringLiteral("BackUpを書き込めません: %1")
                                     .arg(QString::fromStdString(backup.Message())));
}

void TFormMemo::EndSession() {
    if (FSessionEnded) return;
    // A running calculation or script is stopped first (its message box closed); the window
    // closes once it has ended. The timer fires inside the run's polls too, and waits there.
    if (FFrame->Busy()) {
        FFrame->Core().Run().EscPressed = true;
        FFrame->VtCalc1().RequestStop();
        CloseScriptDialogs();
        QTimer::singleShot(20, this, [this] { EndSession(); });
        return;
    }
    ReadChecks();
    FSessionEnded = true;
    FSessionEnding = true;
    // What was typed while the calculation ran is the user's text too; with the session ended
    // a close among it asks nothing.
    FFrame->DeliverHeldInputNow();
    // The tool windows keep their texts as the window closes; closeEvent writes the exit files.
    close();
    if (OnSessionEnded) OnSessionEnded();
}

void TFormMemo::RememberStamp(const std::string& path) {
    FStampPath = path;
    FDiskStamp = FileStamp(path);
}

std::tm TFormMemo::CurrentTime() const {
    if (Now) return Now();
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

}  // namespace rekna
