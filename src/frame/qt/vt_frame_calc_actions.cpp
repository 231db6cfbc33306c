// TVtFrameCalc: the actions made from the action table, the calc bar, the menus and the
// commands with their prompts and dialogs.
#include "frame/qt/text_command_actions.h"
#include "frame/qt/vt_frame_calc.h"

#include <QAction>
#include <QActionGroup>
#include <QDateTime>
#include <QFileDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

#include "editor/qt/umemo.h"
#include "engine/user_func.h"
#include "frame/answer_writer.h"
#include "frame/frame_actions.h"
#include "frame/help_topics.h"
#include "frame/insert_actions.h"
#include "frame/insert_text.h"
#include "frame/qt/completion_view.h"
#include "frame/qt/prompt_box.h"
#include "platform/cp932.h"
#include "platform/qt/qt_clipboard.h"

namespace rekna {

namespace {

QString U(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The categories each popup menu offers besides its own items.
constexpr std::string_view kMemoPopupCategories[] = {"結果", "設定", "入力", "表示", "画面"};

// The menu of the help topics.
constexpr std::string_view kHelpCategory = "HELP";

TLocalTime Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

// The names offered on calculation lines: the control's function list (with the user
// functions) without the automation object's members, which it holds only to colour them.
std::vector<std::string> CompletionNames(const TUMemo& memo, const TVtCalc& calc) {
    std::vector<std::string> names;
    const auto script = ScriptKeywords();
    for (const std::string& word : memo.FunctionList().Words()) {
        const bool member = std::find(script.begin(), script.end(), word) != script.end();
        if (!member || calc.Funcs().Find(LowerName(word)) >= 0) names.push_back(word);
    }
    return names;
}

// A month's calendar or schedule: asks for the year and month until it can read them or the
// user cancels.
void InsertMonth(QWidget* parent, TUMemo& memo, bool schedule) {
    const QString caption =
        schedule ? QStringLiteral("月間スケジュールの挿入") : QStringLiteral("カレンダーの挿入");
    QString text = QString::fromStdString(YearMonthText(Now()));
    for (;;) {
        const std::optional<QString> answer =
            AskText(parent, caption, QStringLiteral("年/月 を入力"), text);
        if (!answer) return;
        text = *answer;
        if (const std::optional<TYearMonth> month = ParseYearMonth(text.toStdString())) {
            const std::vector<std::string> lines =
                schedule ? ScheduleLines(*month) : CalendarLines(*month);
            InsertLinesAbove(memo.Editor(), lines);
            memo.ScrollCaretIntoView();
            return;
        }
        QMessageBox::warning(parent, caption, U(YearMonthExpected()));
    }
}

// The box of the help topics. The topics break their own lines: the message box would wrap
// long ones anywhere, inside an example value too, so its text keeps its lines whenever the
// screen is wide enough.
class THelpTopicBox final : public QMessageBox {
public:
    explicit THelpTopicBox(QWidget* parent)
        : QMessageBox(QMessageBox::Information, QStringLiteral("Rekna"), QString(),
                      QMessageBox::Yes, parent) {}

    void Unwrap() {
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label == nullptr || layout() == nullptr) return;
        label->setWordWrap(false);
        const QSize size = layout()->totalMinimumSize();
        const QScreen* where = screen();
        if (where != nullptr && size.width() > where->availableGeometry().width() * 9 / 10) {
            label->setWordWrap(true);
            return;
        }
        setFixedSize(size);
    }

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        Unwrap();
    }
};

// A help topic's box title: its caption without the menu's accelerator, "(&L)" included.
QString HelpTitle(std::string_view caption) {
    QString title = U(caption);
    title.remove(QRegularExpression(QStringLiteral("\\(&[^&)]\\)")));
    return U(StripAccelerator(title.toStdString()));
}

// A help topic in an information box with one Yes button, made once and only hidden.
void ShowHelpTopic(QWidget* parent, const THelpTopic& topic) {
    auto* box = parent->findChild<QMessageBox*>(QStringLiteral("HelpTopicBox"));
    if (!box) {
        box = new THelpTopicBox(parent);
        box->setObjectName(QStringLiteral("HelpTopicBox"));
        box->setTextFormat(Qt::PlainText);
    }
    box->setWindowTitle(HelpTitle(topic.Caption));
    box->setText(QString::fromStdString(Cp932ToUtf8(topic.Text())));
    if (auto* own = dynamic_cast<THelpTopicBox*>(box)) own->Unwrap();
    box->open();
}

}  // namespace

QAction* TVtFrameCalc::Action(std::string_view name) const {
    const auto it = FActions.find(name);
    return it == FActions.end() ? nullptr : it->second;
}

QMenu* TVtFrameCalc::CategoryMenu(std::string_view category) const {
    const auto it = FCategoryMenus.find(category);
    return it == FCategoryMenus.end() ? nullptr : it->second;
}

void TVtFrameCalc::CreateActions() {
    for (const TFrameAction& def : FrameActions()) {
        auto* a = new QAction(U(def.Caption), this);
        a->setObjectName(U(def.Name));
        const std::string hint(def.Hint.empty() ? StripAccelerator(def.Caption)
                                                : std::string(def.Hint));
        a->setStatusTip(U(hint));
        a->setToolTip(U(hint));
        if (!def.Shortcut.empty()) {
            a->setShortcut(QKeySequence(U(def.Shortcut)));
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        if (def.Option.Checkable()) a->setCheckable(true);
        if (def.Group != 0) {
            QActionGroup*& group = FGroups[def.Group];
            if (!group) group = new QActionGroup(this);
            group->addAction(a);
        }
        const std::string name(def.Name);
        connect(a, &QAction::triggered, this,
                [this, name](bool checked) { Guarded([&] { ActionTriggered(name, checked); }); });
        addAction(a);
        FActions.emplace(name, a);
    }
    CreateInsertActions();
}

void TVtFrameCalc::CreateInsertActions() {
    for (const TInsertAction& def : InsertActions()) {
        auto* a = new QAction(U(def.Caption), this);
        a->setObjectName(U(def.Name));
        const QString hint = U(StripAccelerator(def.Caption));
        a->setStatusTip(hint);
        a->setToolTip(hint);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const TInsertAction* action = &def;
        connect(a, &QAction::triggered, this, [this, action] { RunInsertAction(*action); });
        addAction(a);
        FActions.emplace(std::string(def.Name), a);
    }
    for (const THelpTopic& topic : HelpTopics()) {
        auto* a = new QAction(U(topic.Caption), this);
        a->setObjectName(U(topic.Action));
        a->setStatusTip(U(StripAccelerator(topic.Caption)));
        const THelpTopic* shown = &topic;
        connect(a, &QAction::triggered, this, [this, shown] { ShowHelpTopic(this, *shown); });
        FActions.emplace(std::string(topic.Action), a);
    }
    TUMemo* memo = FMemo1;
    new TMemoCompletion(*memo, [this, memo] { return CompletionNames(*memo, FCalc); });
}

void TVtFrameCalc::RunInsertAction(const TInsertAction& action) {
    switch (action.Kind) {
    case TInsertKind::ikCalendar:
    case TInsertKind::ikSchedule:
        InsertMonth(this, *FMemo1, action.Kind == TInsertKind::ikSchedule);
        return;
    case TInsertKind::ikDirective:
    case TInsertKind::ikDateTime: break;
    default:
        // A fragment goes only into the memo that is being typed in.
        if (!FMemo1->hasFocus()) return;
        break;
    }
    if (RunInsertCommand(FMemo1->Editor(), action, FCalc.AnsFormat60(), Now()))
        FMemo1->ScrollCaretIntoView();
}

void TVtFrameCalc::SetInsertShortcuts(bool on) {
    FInsertShortcuts = on;
    SyncInsertShortcuts();
}

void TVtFrameCalc::SyncInsertShortcuts() {
    for (const TInsertAction& def : InsertActions()) {
        if (def.Shortcut.empty()) continue;
        Action(def.Name)->setShortcut(FInsertShortcuts ? QKeySequence(U(def.Shortcut))
                                                       : QKeySequence());
    }
    // Under the 60-base answer format the minute mark takes Ctrl+M from 万.
    if (FInsertShortcuts && FCore->Options().Format == TAnsFormat::afN60) {
        const QKeySequence ctrlM = Action("ActionUnit18")->shortcut();
        Action("ActionUnit18")->setShortcut(Action("ActionUnit23")->shortcut());
        Action("ActionUnit23")->setShortcut(ctrlM);
    }
}

void TVtFrameCalc::CreateCalcBar() {
    const auto button = [this](const QString& text, const QString& tip, bool checkable) {
        auto* b = new QToolButton(FToolBar);
        b->setText(text);
        b->setToolTip(tip);
        b->setCheckable(checkable);
        b->setAutoRaise(true);
        return b;
    };
    const auto runButton = [this](const char* name, const QString& text) {
        QAction* source = Action(name);
        auto* b = new QToolButton(FToolBar);
        b->setText(text);
        b->setToolTip(source->toolTip());
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, source, &QAction::trigger);
        FRunButtons.push_back(FToolBar->addWidget(b));
        return b;
    };
    runButton("ActionEditAC", QStringLiteral("AC"));
    runButton("ActionEditMC", QStringLiteral("MC"));
    FRunButton = runButton("ActionEditRun", QStringLiteral("Run"));
    FRunButtons.push_back(FToolBar->addSeparator());

    FAngleButton = button(QString(), QStringLiteral("角度単位"), false);
    connect(FAngleButton, &QToolButton::clicked, this, [this] {
        FCore->AngleButton();
        SyncActions();
    });
    FDbButton = button(QString(), QStringLiteral("デシベル単位"), false);
    connect(FDbButton, &QToolButton::clicked, this, [this] {
        FCore->DbButton();
        SyncActions();
    });
    FFormatButton = button(QString(), QStringLiteral("計算結果の表示形式"), false);
    connect(FFormatButton, &QToolButton::clicked, this, [this] {
        FCore->FormatButton();
        SyncActions();
    });
    FDigitsButton = button(QString(), QStringLiteral("表示桁数"), false);
    connect(FDigitsButton, &QToolButton::clicked, this,
            [this] { RunNamedCommand("ActionSetAnsLength"); });
    FHide0Button = button(QStringLiteral("1.0"), QStringLiteral("短く表示"), true);
    connect(FHide0Button, &QToolButton::clicked, this, [this](bool on) {
        FCore->Options().Hide0 = on;
        SetCalcMode();
    });
    FAutoButton = button(QStringLiteral("Auto"), QStringLiteral("自動計算"), true);
    connect(FAutoButton, &QToolButton::clicked, this, [this](bool on) {
        FCore->Options().CalcAuto = on;
        SetCalcMode();
    });
    FStrButton = button(QStringLiteral("Str"), QStringLiteral("行頭文字で計算行を判定"), true);
    connect(FStrButton, &QToolButton::clicked, this, [this] {
        FCore->StrButton();
        SyncActions();
    });
    FLogButton = button(QString(), QStringLiteral("計算過程の表示内容"), false);
    connect(FLogButton, &QToolButton::clicked, this, [this] {
        FCore->LogSelectorButton();
        SetWindow();
    });
    for (QToolButton* b : {FAngleButton, FDbButton, FFormatButton, FDigitsButton, FHide0Button,
                           FAutoButton, FStrButton, FLogButton})
        FToolBar->addWidget(b);
    FLabelAns = new QLabel(FToolBar);
    FLabelAns->setObjectName(QStringLiteral("LabelAns"));
    FLabelAns->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    FLabelAns->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    FLabelAns->setTextInteractionFlags(Qt::NoTextInteraction);
    FLabelAns->setMinimumWidth(40);
    FToolBar->addWidget(FLabelAns);
}

void TVtFrameCalc::CreateMenus() {
    for (const std::string_view category : FrameActionCategories()) {
        auto* menu = new QMenu(U(category), this);
        int group = -1;
        for (const TFrameAction& def : FrameActions()) {
            if (def.Category != category) continue;
            // A radio group stands between separators.
            if (def.Group != group && (def.Group != 0 || group > 0) && !menu->isEmpty())
                menu->addSeparator();
            group = def.Group;
            menu->addAction(Action(def.Name));
        }
        FCategoryMenus.emplace(std::string(category), menu);
    }
    for (const std::string_view category : InsertCategories()) {
        auto* menu = new QMenu(U(category), this);
        for (const TInsertAction& def : InsertActions())
            if (def.Category == category) menu->addAction(Action(def.Name));
        FCategoryMenus.emplace(std::string(category), menu);
    }
    auto* help = new QMenu(U(kHelpCategory), this);
    for (const THelpTopic& topic : HelpTopics())
        help->addAction(Action(topic.Action));
    FCategoryMenus.emplace(std::string(kHelpCategory), help);
    FUserFuncMenu = new QMenu(QStringLiteral("ユーザー定義関数(&D)"), this);

    FMemoPopup = new QMenu(this);
    // The editing commands every editor's menu has, on the memo pane.
    TUMemo* memo = FMemo1;
    const auto editing = [this, memo](const char* caption, const char* keys, auto run) {
        QAction* a = FMemoPopup->addAction(QString::fromUtf8(caption) + QLatin1Char('\t') +
                                           QString::fromUtf8(keys));
        connect(a, &QAction::triggered, memo, [memo, run] {
            run(memo->Editor());
            memo->ScrollCaretIntoView();
        });
        return a;
    };
    QAction* cut = editing("切り取り(&T)", "Ctrl+X", [](TUMemoEditor& e) { e.Cut(); });
    QAction* copy = editing("コピー(&C)", "Ctrl+C", [](TUMemoEditor& e) { e.Copy(false); });
    QAction* paste = editing("貼り付け(&P)", "Ctrl+V", [](TUMemoEditor& e) { e.Paste(); });
    editing("すべて選択(&A)", "Ctrl+A", [](TUMemoEditor& e) { e.SelectAll(); });
    connect(FMemoPopup, &QMenu::aboutToShow, this, [memo, cut, copy, paste] {
        const bool selected = memo->Lines().Selection().HasSelection(memo->Lines());
        cut->setEnabled(selected && !memo->Editor().ReadOnly());
        copy->setEnabled(selected);
        paste->setEnabled(!memo->Editor().ReadOnly());
    });
    FMemoPopup->addSeparator();
    for (const char* name :
         {"ActionEditRun", "ActionEditRunStop", "ActionEditRunRow", "ActionEditRunEnd"})
        FMemoPopup->addAction(Action(name));
    FMemoPopup->addSeparator();
    FMemoPopup->addMenu(FUserFuncMenu);
    QMenu* inserts = FMemoPopup->addMenu(QStringLiteral("挿入(&I)"));
    for (const std::string_view category : InsertCategories())
        inserts->addMenu(CategoryMenu(category));
    FMemoPopup->addSeparator();
    for (const std::string_view category : kMemoPopupCategories)
        FMemoPopup->addMenu(CategoryMenu(category));
    FMemoPopup->addSeparator();
    FMemoPopup->addAction(Action("ActionEditMC"));
    FMemoPopup->addAction(Action("ActionEditAC"));

    FAnswerPopup = new QMenu(this);
    for (QAction* a : CategoryMenu("結果")->actions())
        FAnswerPopup->addAction(a);

    FLogPopup = new QMenu(this);
    for (const char* name :
         {"ActionWindowLog", "", "ActionWindowCalcLog", "ActionWindowVar", "ActionWindowUserFunc",
          "ActionWindowDefFile", "", "ActionSetLogHint", "ActionSetLogN16", "ActionSetLogFrac", "",
          "ActionSetLogHold", "ActionSetLogCalcAll", "ActionSetLogCalcStop",
          "ActionSetLogCalcCaret", "ActionSetLogNone"}) {
        if (*name == '\0') {
            FLogPopup->addSeparator();
        } else {
            FLogPopup->addAction(Action(name));
        }
    }

    FLabelPopup = new QMenu(this);
    for (const char* name :
         {"ActionWindowCalcEQ", "ActionWindowCalcAns", "", "ActionWindowCalcAnsSet",
          "ActionWindowCalcAnsNon", "ActionWindowCalcAnsN2", "ActionWindowCalcAnsN2C",
          "ActionWindowCalcAnsN10", "ActionWindowCalcAnsN16"}) {
        if (*name == '\0') {
            FLabelPopup->addSeparator();
        } else {
            FLabelPopup->addAction(Action(name));
        }
    }
    InstallTextCommands(*this, FActions, FCategoryMenus);
}

void TVtFrameCalc::RebuildUserFuncMenu() {
    FUserFuncMenu->clear();
    for (const TUserFuncMenuItem& item : FCore->UserFuncMenu()) {
        QAction* a = FUserFuncMenu->addAction(QString::fromStdString(Cp932ToUtf8(item.Caption)));
        a->setStatusTip(QString::fromStdString(Cp932ToUtf8(item.Hint)));
        a->setData(1);
        const std::string caption = item.Caption;
        connect(a, &QAction::triggered, this, [this, caption] { InsertUserFunction(caption); });
    }
    FUserFuncMenu->setEnabled(!FUserFuncMenu->isEmpty());
}

void TVtFrameCalc::InsertUserFunction(const std::string& caption) {
    if (!FMemo1->hasFocus()) return;
    InsertText(FMemo1->Editor(), UserFunctionText(caption));
    FMemo1->ScrollCaretIntoView();
}

// --- Executing actions -----------------------------------------------------------------------

void TVtFrameCalc::ActionTriggered(std::string_view name, bool checked) {
    const TFrameAction* def = FindFrameAction(name);
    if (!def) return;
    if (def->Option.Checkable()) def->Option.Set(FCore->Options(), checked);
    switch (def->Handler) {
    case TActionHandler::ahCalcMode: SetCalcMode(); break;
    case TActionHandler::ahWindow: SetWindow(); break;
    case TActionHandler::ahMemoMode: SetMemoMode(); break;
    case TActionHandler::ahWrap: ActionViewWrap0Execute(); break;
    default: RunNamedCommand(name); break;
    }
}

void TVtFrameCalc::RunNamedCommand(std::string_view name) {
    TCalcOptions& o = FCore->Options();
    const auto tagged = [this](const char* action, TRunCommand command) {
        QAction* a = Action(action);
        a->setData(1);
        FCore->RunCommand(command);
        a->setData(0);
    };
    if (name == "ActionEditRun") {
        tagged("ActionEditRun", TRunCommand::rcRun);
    } else if (name == "ActionEditRunStop") {
        tagged("ActionEditRunStop", TRunCommand::rcRunStop);
    } else if (name == "ActionEditRunRow") {
        tagged("ActionEditRunRow", TRunCommand::rcRunRow);
    } else if (name == "ActionEditRunEnd") {
        tagged("ActionEditRunEnd", TRunCommand::rcRunEnd);
    } else if (name == "ActionEditAC") {
        if (OnQueryDiscard && !OnQueryDiscard()) return;
        FCore->AllClear();
        NewDocument();
        FMemo1->Editor().ClearUndo();
        SyncActions();
    } else if (name == "ActionEditMC") {
        FCore->MemoryClear();
    } else if (name == "ActionEditCopyAns" || name == "ActionEditCopyLog") {
        // The label and the log pane show the caret line of a finished run.
        FinishRun();
        const std::string text = name == "ActionEditCopyAns"
                                     ? CopiedAnswer(FCore->LabelText(), o.WindowCalcEQ)
                                     : FMemo3->Lines().GetTextStr();
        // The copy is made also when it is empty.
        TQtClipboard().SetText(text);
    } else if (name == "ActionEditCopyF") {
        for (TUMemo* m : {FMemo1, FMemo2, FMemo3})
            if (m->hasFocus()) m->Editor().Copy(true);
    } else if (name == "ActionEditPastCalc") {
        FMemo1->Editor().CalcPaste();
        FMemo1->ScrollCaretIntoView();
    } else if (name == "ActionSortValUP" || name == "ActionSortValDN") {
        FCore->SortByResult(name == "ActionSortValUP");
    } else if (name == "ActionEditAns" || name == "ActionEditAnsDel" ||
               name == "ActionEditAnsAll" || name == "ActionEditAnsDelAll") {
        // Answer writing works on the memo: only while it has the focus.
        if (!FMemo1->hasFocus() && name != "ActionEditAnsAll" && name != "ActionEditAnsDelAll")
            return;
        if (name == "ActionEditAns") FCore->WriteAnswers();
        if (name == "ActionEditAnsDel") FCore->DeleteAnswers();
        if (name == "ActionEditAnsAll") FCore->WriteAllAnswers();
        if (name == "ActionEditAnsDelAll") FCore->DeleteAllAnswers();
        FMemo1->ScrollCaretIntoView();
    } else if (name == "ActionSetAnsLength") {
        Prompt("計算結果の表示桁数(-17～18)を設定", "正=有効桁数、零負=小数点以下桁数",
               o.PendingAnsLength, -17, 18, false, &TVtFrameCalc::SetCalcMode);
    } else if (name == "ActionSetAnsUsrFormat") {
        const std::optional<QString> text =
            AskText(this, QStringLiteral("計算結果のユーザー指定書式を設定"),
                    QStringLiteral("(例),0.00、0.####、0.##E-0、0.000e+00、#,###.##"),
                    QString::fromStdString(Cp932ToUtf8(FCalc.UsrFormat())));
        if (text) {
            FCalc.SetUsrFormat(Utf8ToCp932(text->toStdString()));
            SetCalcMode();
        }
    } else if (name == "ActionViewWrapCount") {
        Prompt("折り返し位置を設定", "折り返し位置の文字数(2～255)", o.WrapWidth, 2, 255, true,
               &TVtFrameCalc::SetMemoMode);
    } else if (name == "ActionViewTabStops") {
        Prompt("Tab位置を設定", "Tab位置の文字数(2～50)", o.TabStops, 2, 50, false,
               &TVtFrameCalc::SetMemoMode);
    } else if (name == "ActionViewScroll") {
        Prompt("スクロールマージンを設定", "スクロールの上下余裕行数(0～5)", o.ScrollMargin, 0, 5,
               false, &TVtFrameCalc::SetMemoMode);
    } else if (name == "ActionViewRowPich") {
        Prompt("行間スペースを設定", "行間スペースのピクセル数(1～10)", o.RowPitch, 1, 10, false,
               &TVtFrameCalc::SetMemoMode);
    } else if (name == "ActionViewFont") {
        ChooseFont();
    } else if (name == "ActionFileOpen") {
        OpenWithDialog(false);
    } else if (name == "ActionFileOpenAdd") {
        OpenWithDialog(true);
    } else if (name == "ActionFileSave") {
        if (FCore->HasFileName()) {
            ReportSave(FCore->FileName(), SaveDocument(FCore->FileName()));
        } else {
            SaveAs();
        }
    } else if (name == "ActionFileSaveAs") {
        SaveAs();
    }
}

void TVtFrameCalc::Prompt(const char* caption, const char* prompt, int& value, int lo, int hi,
                          bool absolute, void (TVtFrameCalc::*apply)()) {
    const std::optional<QString> text = AskText(this, QString::fromUtf8(caption),
                                                QString::fromUtf8(prompt), QString::number(value));
    if (!text) return;
    // A value out of range is clamped; a text that is no number keeps the old value.
    if (const std::optional<int> v = PromptValue(text->toStdString(), lo, hi, absolute)) {
        value = *v;
        (this->*apply)();
    }
}

void TVtFrameCalc::ChooseFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, FMemo1->MemoFont(), this);
    if (!ok) return;
    TCalcOptions& o = FCore->Options();
    o.FontName = Utf8ToCp932(font.family().toStdString());
    o.FontSize = font.pointSize() > 0 ? font.pointSize() : o.FontSize;
    SetMemoMode();
}

void TVtFrameCalc::ReportSave(const std::string& path, const TFileResult& result) {
    if (result.Ok()) return;
    QMessageBox::warning(
        this, QStringLiteral("Rekna"),
        QStringLiteral("%1 を保存できませんでした。\n%2\n\n内容は保存されていません。")
            .arg(QString::fromStdString(path), QString::fromStdString(result.Message())));
}

void TVtFrameCalc::OpenWithDialog(bool append) {
    if (!append && OnQueryDiscard && !OnQueryDiscard()) return;
    const QString title =
        append ? QStringLiteral("ファイルを開いて下に追加") : QStringLiteral("ファイルを開く");
    const QString path = QFileDialog::getOpenFileName(
        this, title, QString(), QStringLiteral("テキストファイル (*.txt);;すべてのファイル (*)"));
    if (path.isEmpty()) return;
    OpenDocument(path.toStdString(), append, false, !append);
}

void TVtFrameCalc::SaveAs() {
    const QString start = FCore->HasFileName() ? QString::fromStdString(FCore->FileName())
                                               : QStringLiteral("New.txt");
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("名前を付けて保存"), start,
        QStringLiteral("テキストファイル (*.txt);;すべてのファイル (*)"));
    if (!path.isEmpty()) ReportSave(path.toStdString(), SaveDocument(path.toStdString()));
}

void TVtFrameCalc::SyncSaveAction() {
    Action("ActionFileSave")->setEnabled(FCore->SaveEnabled() || !FCore->HasFileName());
}

void TVtFrameCalc::SyncActions() {
    const TCalcOptions& o = FCore->Options();
    for (const TFrameAction& def : FrameActions()) {
        QAction* a = Action(def.Name);
        if (def.Option.Checkable() && a->isChecked() != def.Option.Get(o)) {
            // Inside an exclusive group the checked member cannot be unchecked directly.
            if (def.Option.Get(o) || !a->actionGroup()) {
                a->setChecked(def.Option.Get(o));
            } else {
                a->actionGroup()->setExclusive(false);
                a->setChecked(false);
                a->actionGroup()->setExclusive(true);
            }
        }
        a->setEnabled(def.Enabled == nullptr || def.Enabled(o));
    }
    Action("ActionSetVbScript")->setEnabled(FCalc.HasScriptHost());
    SyncInsertShortcuts();
    SyncSaveAction();
    const TCalcBarButtons b = CalcBarButtons(o, FCalc);
    FAngleButton->setText(QString::fromStdString(b.Angle));
    FDbButton->setText(QString::fromStdString(b.Db));
    FFormatButton->setText(QString::fromStdString(b.Format));
    FDigitsButton->setText(QString::fromStdString(b.Digits));
    FHide0Button->setChecked(b.Hide0);
    FAutoButton->setChecked(b.Auto);
    FStrButton->setChecked(b.Str);
    FLogButton->setText(QString::fromStdString(b.LogSelector));
}

}  // namespace rekna
