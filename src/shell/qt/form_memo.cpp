// TFormMemo: the window's actions, menus, tool bar, status bar and the frame's events.
#include "shell/qt/form_memo.h"
#include "frame/insert_actions.h"
#include "shell/qt/script_window_host.h"
#include "shell/qt/window_parts.h"

#include <algorithm>
#include <chrono>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSessionManager>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include <span>

#include "editor/qt/umemo.h"
#include "frame/log_hint.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/text_actions.h"
#include "platform/cp932.h"
#include "shell/qt/about_box.h"
#include "shell/qt/help_window.h"

namespace rekna {

namespace {

QString Q(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

// What a main-window action is: caption, shortcut, whether it carries a check, and whether the
// window that answers it exists yet.
struct TMainAction {
    const char* Name;
    const char* Caption;
    const char* Shortcut;
    bool Checkable;
    bool Ready;
    const char* Hint = "";
};

// Graph, print, find, options, templates and hot keys are answered by windows of their own;
// until those exist their commands stand in the menus disabled.
constexpr TMainAction kMainActions[] = {
    {"ActionPrintView", "印刷プレビュー(&P)", "Shift+Ctrl+P", false, false},
    {"ActionFileExit", "終了(&X)", "", false, true},
    {"ActionFindFind", "検索/置換(&F)...", "Ctrl+F", false, false},
    {"ActionFindDn", "下方検索(&D)", "F3", false, false},
    {"ActionFindUp", "上方検索(&U)", "Shift+F3", false, false},
    {"ActionViewGraph", "グラフを表示(&G)", "Ctrl+G", false, false},
    {"ActionEditGupdate", "グラフ更新(&Q)", "Ctrl+T", false, false},
    {"ActionEditGraphGet", "#グラフ設定挿入", "", false, false},
    {"ActionEditGraphSet", "#グラフ設定実行", "", false, false},
    {"ActionSetOption", "オプション(&O)...", "", false, false},
    {"ActionSetFunc", "ユーザー定義関数登録(&F)...", "", false, false},
    {"ActionEditTemplate", "テンプレート(&T)...", "", false, false},
    {"ActionViewTool", "ツールバー(&T)", "", true, true},
    {"ActionViewStatus", "ステータスバー(&S)", "", true, true},
    {"ActionViewToolFile", "ファイルボタン(&F)", "", true, true},
    {"ActionViewToolCalc", "計算ボタン(&C)", "", true, true},
    {"ActionViewToolFined", "検索ボタン(&S)", "", true, true},
    {"ActionViewToolIndent", "インデントボタン(&I)", "", true, true},
    {"ActionViewToolFold", "改行変更ボタン(&L)", "", true, true},
    {"ActionViewToolEdit", "編集ボタン(&E)", "", true, true},
    {"ActionEditRedrow", "再描画(&P)", "", false, true},
    {"ActionFileBackUp", "終了時BackUp(&B)", "", true, true},
    {"ActionFileBackUpRecycle", "旧BackUpをゴミ箱へ保管(&R)", "", true, true},
    {"ActionFileBackUpDate", "起動時BackUpに日時追加(&D)", "", true, true},
    {"ActionFileBackUpInfo", "非BackUp時にも終了確認しない", "", true, true},
    {"ActionFileDouble", "2重起動を禁止", "", true, true},
    {"ActionFileSJisDefault", "ASCIIだけのファイルと新規ファイルはShift_JIS (CR LF)", "", true,
     true, "文字コードや改行コードの分からないファイルをShift_JIS・CR LFとして扱う"},
    {"ActionSetGraphCalcMemo", "メモの計算式を使用(&M)", "", true, true},
    {"ActionSetGraphCalcToCaret", "キャレット行までの計算式を使用(&C)", "", true, true},
    {"ActionSetGraphTune", "メモの計算式を最適化(&T)", "", true, true},
    {"ActionCalcHotKey", "ホットキーで計算(&H)", "", true, false},
    {"ActionCalcHotCtrl", "Ctrlキー連続使用(&C)", "", true, false,
     "ホットキー計算で、Ctrlを押したまま計算可能にする"},
    {"ActionCalcHotAdd", "計算式をReknaに表示(&A)", "", true, false,
     "ホットキー計算式をReknaに追加記入する"},
    {"ActionCalcHotExt", "外部エディタ情報もReknaに表示(&E)", "", true, false},
    {"ActionHelpHotKey", "ホットキー計算説明(&T)", "", false, false, "ホットキー計算の説明を表示"},
    {"ActionHelpHelp", "ヘルプ(&H)", "F1", false, true},
    {"ActionHelpAbout", "バージョン情報(&A)...", "", false, true},
    // The memo's own editing commands; their keys are the memo's, shown beside the captions.
    {"ActionEditUndo", "元に戻す(&U)\tCtrl+Z", "", false, true},
    {"ActionEditRedo", "やり直し(&R)\tShift+Ctrl+Z", "", false, true},
    {"ActionEditCut", "切り取り(&T)\tCtrl+X", "", false, true},
    {"ActionEditCopy", "コピー(&C)\tCtrl+C", "", false, true},
    {"ActionEditPaste", "貼り付け(&P)\tCtrl+V", "", false, true},
    {"ActionEditDelete", "削除(&D)\tDel", "", false, true},
    {"ActionEditSelectAll", "すべて選択(&A)\tCtrl+A", "", false, true},
};

// The captions and keys the main window gives the frame's file actions.
struct TFileAction {
    const char* Name;
    const char* Caption;
    const char* Shortcut;
};
constexpr TFileAction kFileActions[] = {
    {"ActionFileOpen", "開く(&O)...", "Ctrl+O"},
    {"ActionFileSave", "上書き保存(&S)", "Ctrl+S"},
    {"ActionFileSaveAs", "名前を付けて保存(&A)...", "Shift+Ctrl+S"},
};

// The run commands of the tool bar and the runs they start.
constexpr std::pair<const char*, TRunCommand> kRunActions[] = {
    {"ActionEditRun", TRunCommand::rcRun},
    {"ActionEditRunStop", TRunCommand::rcRunStop},
    {"ActionEditRunRow", TRunCommand::rcRunRow},
    {"ActionEditRunEnd", TRunCommand::rcRunEnd},
};

// The tool-bar actions by button group, in order; "" is a separator.
constexpr const char* kToolFile[] = {"ActionFileOpen", "ActionFileSave"};
constexpr const char* kToolCalc[] = {
    "ActionViewGraph",   "ActionViewWrap0",  "ActionViewWrapN",  "ActionViewWrapR",
    "ActionEditAC",      "ActionEditMC",     "ActionEditRun",    "",
    "ActionEditRunStop", "ActionEditRunRow", "ActionEditRunEnd", "ActionEditAns"};
constexpr const char* kToolFind[] = {"ActionFindFind", "ActionFindDn", "ActionFindUp"};
constexpr const char* kToolEdit[] = {"ActionEditDelete", "ActionEditCut",  "ActionEditCopy",
                                     "ActionEditPaste",  "ActionEditUndo", "ActionEditRedo"};
// Short labels of the tool buttons that have no icon of the desktop's theme.
constexpr std::pair<const char*, const char*> kToolLabels[] = {
    {"ActionViewGraph", "Graph"}, {"ActionViewWrap0", "→|"},   {"ActionViewWrapN", "↵N"},
    {"ActionViewWrapR", "↵|"},    {"ActionEditAC", "AC"},      {"ActionEditMC", "MC"},
    {"ActionEditRun", "Run"},     {"ActionEditRunStop", "↓|"}, {"ActionEditRunRow", "→"},
    {"ActionEditRunEnd", "|↓"},   {"ActionEditAns", "Ans"},    {"ActionFindFind", "Find"},
    {"ActionFindDn", "▼"},        {"ActionFindUp", "▲"},
};

// The checked actions of the window and the settings they stand for.
constexpr std::pair<const char*, bool TMainSettings::*> kCheckFields[] = {
    {"ActionFileBackUp", &TMainSettings::FileBackUp},
    {"ActionFileBackUpRecycle", &TMainSettings::FileRecycle},
    {"ActionFileBackUpDate", &TMainSettings::FileBackUpDate},
    {"ActionFileBackUpInfo", &TMainSettings::BackUpInfo},
    {"ActionFileDouble", &TMainSettings::DoubleRun},
    {"ActionFileSJisDefault", &TMainSettings::FileSJisDefault},
    {"ActionViewTool", &TMainSettings::ToolBar},
    {"ActionViewStatus", &TMainSettings::StatusBar},
    {"ActionCalcHotKey", &TMainSettings::HotKeyCalc},
    {"ActionCalcHotAdd", &TMainSettings::HotKeyAdd},
    {"ActionCalcHotCtrl", &TMainSettings::HotKeyCtrl},
    {"ActionCalcHotExt", &TMainSettings::HotKeyExt},
    {"ActionSetGraphCalcMemo", &TMainSettings::GraphCalcMemo},
    {"ActionSetGraphCalcToCaret", &TMainSettings::GraphCalcToCaret},
    {"ActionSetGraphTune", &TMainSettings::GraphCalcTune},
};
// The button-group actions in the order of TMainSettings::ToolGroups.
constexpr const char* kToolGroupActions[] = {"ActionViewToolFile",  "ActionViewToolCalc",
                                             "ActionViewToolFined", "ActionViewToolIndent",
                                             "ActionViewToolFold",  "ActionViewToolEdit"};

// The text commands that work on the caret's line, or from it down, when nothing is selected.
constexpr std::string_view kCaretLineCommands[] = {"ActionFormatAddSp",  "ActionFormatFillSp",
                                                   "ActionFormatDelSp",  "ActionKakkoChange1",
                                                   "ActionkakkoChange2", "ActionKakkoChange3"};

const char* LabelOf(std::string_view name) {
    for (const auto& [n, label] : kToolLabels)
        if (name == n) return label;
    return nullptr;
}

}  // namespace

TFormMemo::TFormMemo(TStartPaths paths, QWidget* parent)
    : QMainWindow(parent), FPaths(std::move(paths)) {
    setObjectName(QStringLiteral("FormMemo"));
    setAcceptDrops(true);
    // Room for the menus, the tool bar and a few lines with their answers.
    setMinimumSize(480, 320);
    FFrame = new TVtFrameCalc(this);
    FFrame->setObjectName(QStringLiteral("VtFrameCalc1"));
    setCentralWidget(FFrame);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setMouseTracking(true);
    statusBar()->installEventFilter(this);
    FFormatLabel = new QLabel(statusBar());
    FFormatLabel->setObjectName(QStringLiteral("FormatLabel"));
    statusBar()->addPermanentWidget(FFormatLabel);
    WireFrame();
    FScriptSite = &InstallWindowScriptHost(*this);
    InstallWindowParts(*this);
    // The main tool bar holds the run buttons, so the frame's calc bar hides its own; the
    // general format is the start format.
    for (const auto& [name, on] :
         {std::pair{"ActionWindowCalcRun", false}, std::pair{"ActionSetAnsEng", false},
          std::pair{"ActionSetAnsGen", true}}) {
        QAction* a = FFrame->Action(name);
        if (a && a->isChecked() != on) a->trigger();
    }
    qApp->installEventFilter(this);
    SyncChecks();
    UpdateCaption();
    ShowDocumentFormat();
    // While the memo changes, the backup is written every minute as well as at the exit.
    auto* backupTimer = new QTimer(this);
    backupTimer->setInterval(60 * 1000);
    connect(backupTimer, &QTimer::timeout, this, [this] { WritePeriodicBackup(); });
    backupTimer->start();
    // At logout the session manager asks for the data: the exit files, without questions.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        if (FSessionEnded) return;
        ReadChecks();
        WriteExitFiles(true);
        FSessionEnded = true;
    });
}

TFormMemo::~TFormMemo() {
    qApp->removeEventFilter(this);
    QObject::disconnect(qApp, nullptr, this, nullptr);
    // The frame outlives this part of the window while the base class closes it.
    FFrame->OnChangeTitle = nullptr;
    FFrame->OnChangeMenus = nullptr;
    FFrame->OnBeginCalc = nullptr;
    FFrame->OnEndCalc = nullptr;
    FFrame->OnSetMemoHint = nullptr;
    FFrame->OnGetPaperColWidth = nullptr;
    FFrame->OnQueryDiscard = nullptr;
    FFrame->OnChanged = nullptr;
    FFrame->OnChangeFormat = nullptr;
}

QAction* TFormMemo::Action(std::string_view name) const {
    const auto it = FActions.find(name);
    if (it != FActions.end()) return it->second;
    return FFrame->Action(name);
}

void TFormMemo::CreateActions() {
    for (const TMainAction& def : kMainActions) {
        auto* a = new QAction(QString::fromUtf8(def.Caption), this);
        a->setObjectName(QString::fromUtf8(def.Name));
        if (*def.Shortcut != '\0') a->setShortcut(QKeySequence(QString::fromUtf8(def.Shortcut)));
        a->setCheckable(def.Checkable);
        a->setEnabled(def.Ready);
        const QString hint = QString::fromUtf8(*def.Hint != '\0' ? def.Hint : def.Caption)
                                 .section(QLatin1Char('\t'), 0, 0)
                                 .remove(QLatin1Char('&'));
        a->setStatusTip(def.Ready ? hint : hint + QStringLiteral("（この版ではまだ使えません）"));
        a->setToolTip(hint);
        const std::string name(def.Name);
        connect(a, &QAction::triggered, this, [this, name] { RunEditCommand(name); });
        addAction(a);
        FActions.emplace(name, a);
    }
    // Open, save and save as are the window's: the frame's actions get its captions, keys and
    // handlers.
    for (const TFileAction& def : kFileActions) {
        QAction* a = FFrame->Action(def.Name);
        a->setText(QString::fromUtf8(def.Caption));
        a->setShortcut(QKeySequence(QString::fromUtf8(def.Shortcut)));
        a->setShortcutContext(Qt::WindowShortcut);
        QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
        const std::string name(def.Name);
        connect(a, &QAction::triggered, this, [this, name] { RunEditCommand(name); });
        addAction(a);
    }
    // The window's shortcuts work only while it is the active window.
    for (auto& [name, a] : FActions)
        a->setShortcutContext(Qt::WindowShortcut);
}

void TFormMemo::CreateMenus() {
    const auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (*name == '\0') {
                menu->addSeparator();
            } else if (QAction* a = Action(name)) {
                menu->addAction(a);
            }
        }
    };
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    add(file, {"ActionFileOpen", "ActionFileOpenAdd", "ActionFileSave", "ActionFileSaveAs", ""});
    // The document's encoding and line ends, checked as they stand; the next save writes them.
    const auto formatMenu = [this, file](const char* title, const char* objectName,
                                         std::initializer_list<const char*> captions) {
        QMenu* menu = file->addMenu(QString::fromUtf8(title));
        auto* group = new QActionGroup(menu);
        int index = 0;
        for (const char* caption : captions) {
            QAction* a = menu->addAction(QString::fromUtf8(caption));
            a->setObjectName(QString::fromUtf8(objectName) + QString::number(index++));
            a->setCheckable(true);
            group->addAction(a);
            FActions.emplace(a->objectName().toStdString(), a);
        }
        connect(group, &QActionGroup::triggered, this, [this] {
            const TDocEncoding e = Action("ActionFileEncoding0")->isChecked()
                                       ? TDocEncoding::deUtf8
                                       : TDocEncoding::deCp932;
            const TLineEnd l =
                Action("ActionFileLineEnd0")->isChecked() ? TLineEnd::leLf : TLineEnd::leCrLf;
            FFrame->SetDocumentFormat(e, l);
        });
    };
    formatMenu("文字コード(&E)", "ActionFileEncoding", {"UTF-8", "Shift_JIS"});
    formatMenu("改行コード(&L)", "ActionFileLineEnd", {"LF", "CR LF"});
    connect(file, &QMenu::aboutToShow, this, [this] { ShowDocumentFormat(); });
    add(file, {"", "ActionPrintView", "", "ActionFileBackUp", "ActionFileBackUpRecycle",
               "ActionFileBackUpDate", "ActionFileBackUpInfo", "", "ActionFileDouble", "",
               "ActionFileExit"});

    QMenu* calc = bar->addMenu(QStringLiteral("計算(&C)"));
    for (QAction* a : FFrame->CategoryMenu("計算")->actions())
        calc->addAction(a);
    calc->addSeparator();
    add(calc, {"ActionViewGraph", "ActionEditGupdate", "ActionEditGraphGet", "ActionEditGraphSet",
               "", "ActionSetGraphCalcMemo", "ActionSetGraphCalcToCaret", "ActionSetGraphTune", "",
               "ActionCalcHotKey", "ActionCalcHotCtrl", "ActionCalcHotAdd", "ActionCalcHotExt"});

    QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
    add(edit, {"ActionEditUndo",
               "ActionEditRedo",
               "",
               "ActionEditCut",
               "ActionEditCopy",
               "ActionEditPaste",
               "ActionEditDelete",
               "",
               "ActionEditSelectAll",
               "",
               "ActionEditCopyAns",
               "ActionEditCopyLog",
               "ActionEditCopyF",
               "ActionEditPastCalc",
               "",
               "ActionSortValUP",
               "ActionSortValDN",
               "",
               "ActionFindFind",
               "ActionFindDn",
               "ActionFindUp",
               "",
               "ActionEditTemplate",
               "",
               "ActionEditRedrow"});
    // The line-break and row commands, after the sorts by result.
    const QList<QAction*> editItems = edit->actions();
    const qsizetype sorts = editItems.indexOf(Action("ActionSortValDN"));
    if (QMenu* rows = FFrame->CategoryMenu("入替"); rows && sorts >= 0)
        edit->insertMenu(editItems.value(sorts + 1), rows);
    // The memo's text commands, as in its popup menu.
    edit->addSeparator();
    for (const char* category : {"変換", "整形", "括弧"})
        if (QMenu* m = FFrame->CategoryMenu(category)) edit->addMenu(m);
    connect(edit, &QMenu::aboutToShow, this, [this] { UpdateEditActions(); });
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateEditActions(); });

    QMenu* insert = bar->addMenu(QStringLiteral("挿入(&I)"));
    FUserFuncMenu = insert->addMenu(QStringLiteral("ユーザー定義関数(&D)"));
    RebuildUserFuncMenu();
    insert->addSeparator();
    for (const std::string_view category : InsertCategories()) {
        if (QMenu* m = FFrame->CategoryMenu(category)) insert->addMenu(m);
    }

    QMenu* settings = bar->addMenu(QStringLiteral("設定(&S)"));
    for (const char* category : {"結果", "設定", "入力", "表示", "画面"}) {
        QMenu* m = FFrame->CategoryMenu(category);
        if (m) settings->addMenu(m);
    }
    settings->addSeparator();
    add(settings, {"ActionViewTool", "ActionViewStatus"});
    QMenu* groups = settings->addMenu(QStringLiteral("ツールボタン(&B)"));
    add(groups, {"ActionViewToolFile", "ActionViewToolCalc", "ActionViewToolFined",
                 "ActionViewToolIndent", "ActionViewToolFold", "ActionViewToolEdit"});
    settings->addSeparator();
    add(settings, {"ActionSetOption", "ActionSetFunc"});

    QMenu* help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    add(help, {"ActionHelpHelp", ""});
    if (QMenu* topics = FFrame->CategoryMenu("HELP")) {
        for (QAction* a : topics->actions())
            help->addAction(a);
    }
    add(help, {"ActionHelpHotKey", "", "ActionHelpAbout"});
}

void TFormMemo::CreateToolBar() {
    FToolBar = addToolBar(QStringLiteral("ツールバー"));
    FToolBar->setObjectName(QStringLiteral("ToolBar1"));
    FToolBar->setMovable(false);
    FToolBar->setIconSize(QSize(16, 16));
    QStyle* style = FToolBar->style();
    Action("ActionFileOpen")->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    Action("ActionFileSave")->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    Action("ActionEditUndo")->setIcon(style->standardIcon(QStyle::SP_ArrowBack));
    Action("ActionEditRedo")->setIcon(style->standardIcon(QStyle::SP_ArrowForward));
    Action("ActionEditDelete")->setIcon(style->standardIcon(QStyle::SP_DialogDiscardButton));
    // The buttons without an icon show the caption without its accelerator and keys.
    for (const char* name : {"ActionEditCut", "ActionEditCopy", "ActionEditPaste"}) {
        QAction* a = Action(name);
        a->setIconText(a->text().section(QLatin1Char('('), 0, 0));
    }
    FToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const auto group = [this](int index, std::span<const char* const> names) {
        for (const char* name : names) {
            if (*name == '\0') {
                FToolGroups[index].push_back(FToolBar->addSeparator());
                continue;
            }
            QAction* a = Action(name);
            if (!a) continue;
            // Each button is a widget of its own, so that hiding a group hides the button and
            // never the command in the menus.
            auto* b = new QToolButton(FToolBar);
            b->setDefaultAction(a);
            b->setAutoRaise(true);
            b->setIconSize(FToolBar->iconSize());
            if (const char* label = LabelOf(name)) {
                b->setToolButtonStyle(Qt::ToolButtonTextOnly);
                b->setText(QString::fromUtf8(label));
                connect(a, &QAction::changed, b,
                        [b, label] { b->setText(QString::fromUtf8(label)); });
            } else if (a->icon().isNull()) {
                b->setToolButtonStyle(Qt::ToolButtonTextOnly);
            }
            FToolGroups[index].push_back(FToolBar->addWidget(b));
        }
        FToolGroups[index].push_back(FToolBar->addSeparator());
    };
    group(0, kToolFile);
    group(1, kToolCalc);
    group(2, kToolFind);
    group(5, kToolEdit);
}

TVtFrameCalc* TFormMemo::VtFrameCalc1() const noexcept {
    FFrame->FinishRun();
    return FFrame;
}

void TFormMemo::WireFrame() {
    FFrame->OnChangeTitle = [this] { UpdateCaption(); };
    FFrame->OnChangeMenus = [this] { RebuildUserFuncMenu(); };
    FFrame->OnBeginCalc = [this] { SetRunButtonsDown(true); };
    FFrame->OnEndCalc = [this] {
        SetRunButtonsDown(false);
        // The message of a run stopped with Esc stays a while, before the caret's hint; any other
        // run's end shows the caret's hint without the progress (a run that ends in a later
        // slice has no caret move after it to show it again).
        if (FFrame->Core().Run().EscPressed) {
            FStopMessageUntil = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        } else if (std::chrono::steady_clock::now() >= FStopMessageUntil) {
            statusBar()->showMessage(Q(FFrame->MemoHint()));
        }
    };
    FFrame->Core().Run().OnFailure = [this](const std::string& text) {
        FStopMessageUntil = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        statusBar()->showMessage(QString::fromStdString(text));
    };
    FFrame->OnSetMemoHint = [this] {
        // The hint follows every caret move, edit and selection change; the commands follow once
        // the edit has ended.
        if (!FEditActionsPending) {
            FEditActionsPending = true;
            QTimer::singleShot(0, this, [this] {
                FEditActionsPending = false;
                UpdateEditActions();
            });
        }
        if (FFrame->Core().Run().EscPressed || std::chrono::steady_clock::now() < FStopMessageUntil)
            return;
        statusBar()->showMessage(Q(FFrame->MemoHint()));
    };
    FFrame->OnGetPaperColWidth = [](int& columns) {
        // Printing arrives with the print window; until then the paper is 80 characters wide.
        columns = 80;
    };
    FFrame->OnQueryDiscard = [this] { return QueryDiscard(); };
    FFrame->OnChanged = [this] { FBackupDirty = true; };
    FFrame->OnChangeFormat = [this] { ShowDocumentFormat(); };
}

void TFormMemo::SetRunButtonsDown(bool down) {
    const TRunCommand running = FFrame->Core().RunningCommand();
    for (const auto& [name, command] : kRunActions) {
        const bool pressed = down && command == running;
        for (QObject* o : Action(name)->associatedObjects()) {
            auto* b = qobject_cast<QToolButton*>(o);
            if (!b) continue;
            b->setDown(pressed);
            if (pressed) b->repaint();
        }
    }
}

void TFormMemo::RebuildUserFuncMenu() {
    // A copy of the frame's menu: the same captions, hints and click handlers.
    FUserFuncMenu->clear();
    for (QAction* a : FFrame->UserFuncMenu()->actions())
        FUserFuncMenu->addAction(a);
    FUserFuncMenu->setEnabled(!FUserFuncMenu->isEmpty());
}

TUMemo* TFormMemo::FocusedMemo() const {
    for (TUMemo* m : {FFrame->UMemo1(), FFrame->UMemo2(), FFrame->UMemo3()})
        if (m->hasFocus()) return m;
    return FFrame->UMemo1();
}

void TFormMemo::RunEditCommand(std::string_view name) {
    TUMemo* memo = FocusedMemo();
    TUMemoEditor& e = memo->Editor();
    const auto edited = [memo] {
        memo->ScrollCaretIntoView();
        memo->setFocus();
    };
    if (name == "ActionFileOpen") {
        if (!QueryDiscard()) return;
        OpenWithDialog();
    } else if (name == "ActionFileSave") {
        Save();
    } else if (name == "ActionFileSaveAs") {
        SaveAs();
    } else if (name == "ActionFileExit") {
        close();
    } else if (name == "ActionEditUndo") {
        e.Undo();
        edited();
    } else if (name == "ActionEditRedo") {
        e.Redo();
        edited();
    } else if (name == "ActionEditCut") {
        e.Cut();
        edited();
    } else if (name == "ActionEditCopy") {
        e.Copy(false);
    } else if (name == "ActionEditPaste") {
        e.Paste();
        edited();
    } else if (name == "ActionEditDelete") {
        e.DeleteSel();
        edited();
    } else if (name == "ActionEditSelectAll") {
        e.SelectAll();
        memo->setFocus();
    } else if (name == "ActionEditRedrow") {
        for (TUMemo* m : {FFrame->UMemo1(), FFrame->UMemo2(), FFrame->UMemo3()})
            m->RepaintAll();
    } else if (name == "ActionHelpHelp") {
        ShowHelp();
    } else if (name == "ActionHelpAbout") {
        ShowAboutBox(this);
    } else if (name.starts_with("ActionViewTool") || name == "ActionViewStatus" ||
               name.starts_with("ActionFile") || name.starts_with("ActionSetGraph") ||
               name.starts_with("ActionCalcHot")) {
        ReadChecks();
        ApplyLayout();
    }
}

void TFormMemo::UpdateEditActions() {
    TUMemo* memo = FocusedMemo();
    const bool writable = !memo->Editor().ReadOnly();
    const bool selected = memo->Lines().Selection().HasSelection(memo->Lines());
    Action("ActionEditUndo")->setEnabled(memo->Editor().CanUndo());
    Action("ActionEditRedo")->setEnabled(memo->Editor().CanRedo());
    Action("ActionEditCut")->setEnabled(writable && selected);
    Action("ActionEditCopy")->setEnabled(selected);
    Action("ActionEditPaste")->setEnabled(writable);
    Action("ActionEditDelete")->setEnabled(writable && selected);
    // The text commands rewrite the selection: without one they would do nothing. Those that
    // also work from the caret's line need only a writable pane.
    for (const TTextAction& def : TextActions()) {
        if (def.Category != "変換" && def.Category != "整形" && def.Category != "括弧") continue;
        const bool fromCaret =
            std::find(std::begin(kCaretLineCommands), std::end(kCaretLineCommands), def.Name) !=
            std::end(kCaretLineCommands);
        if (QAction* a = FFrame->Action(def.Name))
            a->setEnabled(writable && (selected || fromCaret));
    }
    // A submenu of 変換 whose commands are all off is off too.
    if (QMenu* convert = FFrame->CategoryMenu("変換")) {
        for (QAction* item : convert->actions()) {
            QMenu* sub = item->menu();
            if (sub == nullptr) continue;
            const QList<QAction*> commands = sub->actions();
            item->setEnabled(std::any_of(commands.begin(), commands.end(), [](const QAction* a) {
                return !a->isSeparator() && a->isEnabled();
            }));
        }
    }
}

void TFormMemo::ShowHelp() {
    if (!FHelp) FHelp = new THelpWindow(this);
    FHelp->SetTextFont(FFrame->UMemo1()->MemoFont());
    FHelp->ShowTopic({});
}

// --- Checks and layout ----------------------------------------------------------------------

void TFormMemo::SyncChecks() {
    for (const auto& [name, field] : kCheckFields)
        if (QAction* a = Action(name)) a->setChecked(FSettings.*field);
    for (std::size_t i = 0; i < FSettings.ToolGroups.size(); ++i)
        if (QAction* a = Action(kToolGroupActions[i])) a->setChecked(FSettings.ToolGroups[i]);
    SetPlainFileFormat(DefaultFormat(FSettings.FileSJisDefault));
}

void TFormMemo::ReadChecks() {
    for (const auto& [name, field] : kCheckFields)
        if (const QAction* a = Action(name)) FSettings.*field = a->isChecked();
    for (std::size_t i = 0; i < FSettings.ToolGroups.size(); ++i)
        if (const QAction* a = Action(kToolGroupActions[i]))
            FSettings.ToolGroups[i] = a->isChecked();
    // Files read and created from now on take the default; open documents keep their own.
    SetPlainFileFormat(DefaultFormat(FSettings.FileSJisDefault));
}

void TFormMemo::ApplyLayout() {
    FToolBar->setVisible(FSettings.ToolBar);
    statusBar()->setVisible(FSettings.StatusBar);
    for (std::size_t i = 0; i < FToolGroups.size(); ++i)
        for (QAction* a : FToolGroups[i])
            a->setVisible(FSettings.ToolGroups[i]);
}

void TFormMemo::ShowDocumentFormat() {
    const TDocEncoding e = FFrame->DocumentEncoding();
    const TLineEnd l = FFrame->DocumentLineEnd();
    Action("ActionFileEncoding0")->setChecked(e == TDocEncoding::deUtf8);
    Action("ActionFileEncoding1")->setChecked(e == TDocEncoding::deCp932);
    Action("ActionFileLineEnd0")->setChecked(l == TLineEnd::leLf);
    Action("ActionFileLineEnd1")->setChecked(l == TLineEnd::leCrLf);
    const std::string_view en = EncodingName(e);
    const std::string_view ln = LineEndName(l);
    FFormatLabel->setText(QString::fromLatin1(en.data(), static_cast<qsizetype>(en.size())) +
                          QStringLiteral("  ") +
                          QString::fromLatin1(ln.data(), static_cast<qsizetype>(ln.size())));
}

void TFormMemo::UpdateCaption() {
    const QString title = Q(FFrame->Title());
    const QString caption = title + QStringLiteral(" - Rekna");
    if (windowTitle() != caption) setWindowTitle(caption);
}

// --- Events ---------------------------------------------------------------------------------

void TFormMemo::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFormMemo::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) return;
    const std::string path = urls.front().toLocalFile().toStdString();
    event->acceptProposedAction();
    if (path.size() > 4096) return;
    if (!ReadSettings(path)) OpenPath(path);
    activateWindow();
    raise();
}

void TFormMemo::ReleaseMenuBar() {
    if (QApplication::activePopupWidget() != nullptr || !isActiveWindow()) return;
    QMenuBar* bar = menuBar();
    if (bar->hasFocus()) {
        // The bar's own Esc ends its keyboard navigation and gives the focus back.
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(bar, &esc);
    }
    // A focus that went nowhere (or stayed on the bar) goes to the memo.
    const QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus == bar || !focus->isVisible())
        FFrame->UMemo1()->setFocus(Qt::OtherFocusReason);
}

bool TFormMemo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && isActiveWindow()) {
        // Esc stops a running script; the memo still sees the key.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            FFrame->Core().Run().EscPressed = true;
            // Esc that closes a menu leaves the menu bar in keyboard navigation, where the next
            // letters would open menus and run their commands: the bar lets go, and the focus
            // goes back where it was, so that typing reaches the memo.
            QMetaObject::invokeMethod(
                this, [this] { ReleaseMenuBar(); }, Qt::QueuedConnection);
        }
    } else if (watched == statusBar() && event->type() == QEvent::MouseMove &&
               FFrame->UMemo1()->hasFocus()) {
        // The token of the memo hint under the mouse is described at once.
        const std::string& hint = FFrame->MemoHint();
        statusBar()->showMessage(Q(hint));
        const int charWidth = std::max(1, statusBar()->fontMetrics().horizontalAdvance('A'));
        const int x = static_cast<QMouseEvent*>(event)->position().toPoint().x();
        // A character cell of the hint is one byte: full-width characters take two.
        const auto index = static_cast<std::size_t>(std::max(0, (x - 1) / charWidth));
        if (index < hint.size()) {
            const std::string token = LogTokenAt(hint, index);
            if (const auto d =
                    DescribeLogToken(FFrame->VtCalc1(), token, FFrame->Core().UserFuncMenu(), {})) {
                QToolTip::showText(QCursor::pos(), Q(*d), statusBar());
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace rekna
