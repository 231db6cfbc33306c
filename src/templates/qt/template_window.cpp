// The template window: the tree of headings, the body editor, the tool bars and the file.
#include "templates/qt/template_window.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QHeaderView>
#include <QMainWindow>
#include <QMessageBox>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <ctime>

#include "editor/qt/umemo.h"
#include "frame/qt/prompt_box.h"
#include "frame/qt/tool_host.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/qt/window_place.h"
#include "platform/cp932.h"
#include "templates/template_memo.h"

namespace rekna {

// The tree widget with a way to end an in-place heading edit from outside.
class TTemplateTreeView : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    void EndEdit() {
        if (state() != QAbstractItemView::EditingState) return;
        QWidget* editor = QApplication::focusWidget();
        if (editor == nullptr || !viewport()->isAncestorOf(editor)) return;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
};

namespace {

QString Q(std::string_view cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}
std::string C(const QString& text) {
    return Utf8ToCp932(text.toStdString());
}

struct TTemplateAction {
    const char* Name;
    const char* Caption;
    const char* Hint;
    int Bar;  // 1 or 2
};

constexpr TTemplateAction kActions[] = {
    {"ActionExpand", "展開", "項目をすべて展開", 1},
    {"ActionCollapse", "縮退", "項目をすべて縮退", 1},
    {"ActionInsertMemo", "メモに挿入", "電卓のメモ領域に挿入（文字選択時は、選択文字を挿入）", 1},
    {"ActionAddMemo", "メモに追加", "電卓のメモ領域に追加（文字選択時は、選択文字を追加）", 1},
    {"ActionSaveClose", "保存後終了", "テンプレートを保存して終了する", 1},
    {"ActionEdit", "編集", "編集モードの切替", 2},
    {"ActionName", "名称", "項目の名称を変更", 2},
    {"ActionUp", "↑", "項目を上に移動", 2},
    {"ActionDown", "↓", "項目を下に移動", 2},
    {"ActionLeft", "←", "項目を左に移動", 2},
    {"ActionRight", "→", "項目を右に移動", 2},
    {"ActionInsert", "挿入", "選択項目の上に、新規項目を挿入", 2},
    {"ActionAdd", "追加", "項目グループの最後に、新規項目を追加", 2},
    {"ActionDelete", "削除", "選択項目を削除", 2},
    {"ActionRestore", "戻す", "削除した項目を戻す（1回だけ有効）", 2},
    {"ActionSave", "保存", "ReknaTemplate.txtを保存", 2},
    {"ActionLoad", "読込", "ReknaTemplate.txtを読込", 2},
    {"ActionClose", "終了", "テンプレートを保存せずに終了する", 2},
};

// The geometry keys kept in the main window's settings.
constexpr const char* kTop = "Template.Top";
constexpr const char* kLeft = "Template.Left";
constexpr const char* kWidth = "Template.Width";
constexpr const char* kHeight = "Template.Height";
constexpr const char* kTreeWidth = "Template.TreeWidth";

std::optional<int> KeptNumber(TToolHost& form, const char* key) {
    const auto& kept = form.KeptSettings();
    const auto it = kept.find(key);
    if (it == kept.end() || it->second.empty()) return std::nullopt;
    bool ok = false;
    const int value = QString::fromStdString(it->second).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::tm Now() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

}  // namespace

TFormTemplate::TFormTemplate(TToolHost& form, std::string path)
    : QWidget(&form.Window(), Qt::Window), FForm(form), FFile(std::move(path)) {
    setObjectName(QStringLiteral("FormTemplate"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Rekna - テンプレート"));
    AskDelete = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    AskName = [this](const QString& current) -> std::optional<QString> {
        return AskText(this, QStringLiteral("テンプレートの編集"),
                       QStringLiteral("項目の名称を変更"), current);
    };
    ReportError = [this](const QString& message) {
        QMessageBox::warning(this, windowTitle(), message);
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateActions();
    for (int bar = 1; bar <= 2; ++bar) {
        auto* tools = new QToolBar(this);
        tools->setObjectName(QStringLiteral("ToolBar%1").arg(bar));
        tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
        for (const TTemplateAction& def : kActions)
            if (def.Bar == bar) tools->addAction(FActions.at(def.Name));
        layout->addWidget(tools);
    }
    FSplitter = new QSplitter(Qt::Horizontal, this);
    FTreeView = new TTemplateTreeView(FSplitter);
    FTreeView->setObjectName(QStringLiteral("TreeView1"));
    FTreeView->setHeaderHidden(true);
    FTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FBody = new TUMemo(FSplitter);
    FBody->setObjectName(QStringLiteral("UMemo1"));
    FSplitter->setStretchFactor(1, 1);
    FSplitter->setChildrenCollapsible(false);
    layout->addWidget(FSplitter, 1);

    connect(FTreeView, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (FRebuilding) return;
        StoreBody();
        FTree.Select(IdOf(current));
        LoadBody();
        UpdateStates();
    });
    connect(FTreeView, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!FRebuilding) FTree.SetExpanded(IdOf(item), true);
    });
    connect(FTreeView, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!FRebuilding) FTree.SetExpanded(IdOf(item), false);
    });
    connect(FTreeView, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { HeadingEdited(item); });
    // Editing the name line renames the node as it is typed.
    FBody->Editor().OnChanged = [this] {
        if (!FEditMode || FShown == kNoNode) return;
        const TTemplateNode* node = FTree.Node(FShown);
        const std::string name = BodyName(FBody->Lines().GetTextStr());
        if (node != nullptr && !name.empty() && name != node->Heading) StoreBody();
    };

    resize(560, 380);
    RestorePlace(*this,
                 {KeptNumber(form, kLeft), KeptNumber(form, kTop), KeptNumber(form, kWidth),
                  KeptNumber(form, kHeight)},
                 &form.Window());
    const int treeWidth = KeptNumber(form, kTreeWidth).value_or(160);
    FSplitter->setSizes({treeWidth, std::max(width() - treeWidth, 100)});

    SetEditMode(false);
    ReadFile();
}

TFormTemplate::~TFormTemplate() {
    FBody->Editor().OnChanged = nullptr;
}

QTreeWidget* TFormTemplate::TreeView() const noexcept {
    return FTreeView;
}

QAction* TFormTemplate::Action(std::string_view name) const {
    const auto it = FActions.find(name);
    return it == FActions.end() ? nullptr : it->second;
}

TNodeId TFormTemplate::IdOf(const QTreeWidgetItem* item) {
    return item == nullptr ? kNoNode : item->data(0, Qt::UserRole).toUInt();
}

void TFormTemplate::CreateActions() {
    for (const TTemplateAction& def : kActions) {
        auto* a = new QAction(QString::fromUtf8(def.Caption), this);
        a->setObjectName(QString::fromUtf8(def.Name));
        a->setToolTip(QString::fromUtf8(def.Hint));
        a->setStatusTip(QString::fromUtf8(def.Hint));
        const std::string name(def.Name);
        if (name == "ActionEdit") {
            a->setCheckable(true);
            connect(a, &QAction::toggled, this, [this](bool on) { SetEditMode(on); });
        } else {
            connect(a, &QAction::triggered, this, [this, name] { Run(name); });
        }
        FActions.emplace(name, a);
    }
}

void TFormTemplate::Run(std::string_view name) {
    EndHeadingEdit();
    const TNodeId current = FTree.Selected();
    if (name == "ActionExpand") {
        FTree.SetAllExpanded(true);
        RebuildTree();
    } else if (name == "ActionCollapse") {
        StoreBody();
        FTree.SetAllExpanded(false);
        RebuildTree();
        LoadBody();
    } else if (name == "ActionInsertMemo" || name == "ActionAddMemo") {
        InsertIntoMemo(name == "ActionAddMemo");
    } else if (name == "ActionSaveClose") {
        if (SaveFile()) {
            FSkipSave = true;
            close();
        }
        return;
    } else if (name == "ActionClose") {
        FSkipSave = true;
        close();
        return;
    } else if (!FEditMode) {
        return;
    } else if (name == "ActionName") {
        const TTemplateNode* node = FTree.Node(current);
        if (node == nullptr) return;
        const std::optional<QString> newName = AskName(Q(node->Heading));
        if (!newName) return;
        StoreBody();
        if (FTree.Rename(current, C(*newName))) {
            RebuildTree();
            LoadBody();
        }
    } else if (name == "ActionInsert" || name == "ActionAdd") {
        StoreBody();
        const TNodeId id =
            name == "ActionInsert" ? FTree.InsertNew(current) : FTree.AppendNew(current);
        if (id == kNoNode) return;
        RebuildTree();
        LoadBody();
        FBody->setFocus();
    } else if (name == "ActionDelete") {
        const TTemplateNode* node = FTree.Node(current);
        if (node == nullptr) return;
        QString question =
            QStringLiteral("選択項目 「 %1 」 を削除しますか?").arg(Q(node->Heading));
        if (!node->Children.empty()) question += QStringLiteral("\n\n<注意> 子項目も削除されます!");
        if (!AskDelete(question)) return;
        StoreBody();
        FShown = kNoNode;
        FTree.Delete(current);
        RebuildTree();
        LoadBody();
    } else if (name == "ActionRestore") {
        StoreBody();
        if (FTree.Restore() == kNoNode) return;
        RebuildTree();
        LoadBody();
    } else if (name == "ActionUp") {
        Move(&TTemplateTree::MoveUp);
    } else if (name == "ActionDown") {
        Move(&TTemplateTree::MoveDown);
    } else if (name == "ActionLeft") {
        Move(&TTemplateTree::MoveLeft);
    } else if (name == "ActionRight") {
        Move(&TTemplateTree::MoveRight);
    } else if (name == "ActionSave") {
        SaveFile();
    } else if (name == "ActionLoad") {
        FShown = kNoNode;
        ReadFile();
    }
    UpdateStates();
}

void TFormTemplate::Move(bool (TTemplateTree::*move)(TNodeId)) {
    const TNodeId id = FTree.Selected();
    StoreBody();
    if (!(FTree.*move)(id)) return;
    // The node stays in sight in its new place.
    for (TNodeId p = FTree.Parent(id); p != kNoNode; p = FTree.Parent(p))
        FTree.SetExpanded(p, true);
    RebuildTree();
}

void TFormTemplate::SetEditMode(bool on) {
    if (!on) {
        EndHeadingEdit();
        StoreBody();
    }
    FEditMode = on;
    QAction* edit = FActions.at("ActionEdit");
    if (edit->isChecked() != on) {
        const QSignalBlocker blocker(edit);
        edit->setChecked(on);
    }
    FBody->Editor().SetReadOnly(!on);
    FTreeView->setEditTriggers(on ? QAbstractItemView::EditKeyPressed |
                                        QAbstractItemView::SelectedClicked |
                                        QAbstractItemView::DoubleClicked
                                  : QAbstractItemView::NoEditTriggers);
    UpdateStates();
}

void TFormTemplate::ReadFile() {
    const TFileResult result = FFile.Read(FTree, Now());
    FShown = kNoNode;
    RebuildTree();
    LoadBody();
    UpdateStates();
    if (!result.Ok() && ReportError) {
        const QString message = QStringLiteral("テンプレートファイルを読めませんでした。\n%1\n%2")
                                    .arg(QString::fromStdString(FFile.Path()),
                                         QString::fromStdString(result.Message()));
        // After the window is up, so that the message does not hold up its creation.
        QTimer::singleShot(0, this, [this, message] { ReportError(message); });
    }
}

bool TFormTemplate::SaveFile() {
    EndHeadingEdit();
    StoreBody();
    if (QTreeWidgetItem* top = FTreeView->itemAt(2, 2)) FTree.SetTopNode(IdOf(top));
    const TFileResult result = FFile.Write(FTree);
    UpdateStates();
    if (result.Ok()) return true;
    if (ReportError)
        ReportError(QStringLiteral("テンプレートファイルを保存できませんでした。\n%1\n%2")
                        .arg(QString::fromStdString(FFile.Path()),
                             QString::fromStdString(result.Message())));
    return false;
}

void TFormTemplate::RebuildTree() {
    FRebuilding = true;
    FTreeView->clear();
    FItems.clear();
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
    for (const TNodeId id : FTree.InOrder()) {
        const TTemplateNode& node = *FTree.Node(id);
        QTreeWidgetItem* parent =
            node.Parent == kNoNode ? FTreeView->invisibleRootItem() : FItems.at(node.Parent);
        auto* item = new QTreeWidgetItem(parent);
        item->setText(0, Q(node.Heading));
        item->setData(0, Qt::UserRole, id);
        item->setFlags(flags);
        FItems.emplace(id, item);
    }
    for (const auto& [id, item] : FItems)
        item->setExpanded(FTree.Node(id)->Expanded);
    if (const auto it = FItems.find(FTree.TopNode()); it != FItems.end())
        FTreeView->scrollToItem(it->second, QAbstractItemView::PositionAtTop);
    if (const auto it = FItems.find(FTree.Selected()); it != FItems.end()) {
        FTreeView->setCurrentItem(it->second);
        FTreeView->scrollToItem(it->second);
    }
    FRebuilding = false;
}

void TFormTemplate::StoreBody() {
    if (!FEditMode || FTree.Node(FShown) == nullptr) return;
    const TUMemoStrings& lines = FBody->Lines();
    TTemplateData data;
    data.TopRow = lines.TopRow();
    data.Caret = lines.Selection().Caret;
    data.Text = lines.GetTextStr();
    const std::string before = FTree.Node(FShown)->Heading;
    FTree.SetData(FShown, data);
    const std::string& after = FTree.Node(FShown)->Heading;
    if (after != before) {
        if (const auto it = FItems.find(FShown); it != FItems.end()) {
            const bool rebuilding = FRebuilding;
            FRebuilding = true;
            it->second->setText(0, Q(after));
            FRebuilding = rebuilding;
        }
    }
}

void TFormTemplate::LoadBody() {
    FShown = FTree.Selected();
    const TTemplateNode* node = FTree.Node(FShown);
    const bool readOnly = FBody->Editor().ReadOnly();
    FBody->Editor().SetReadOnly(false);
    FBody->LoadBytes(node == nullptr ? std::string_view() : std::string_view(node->Data.Text),
                     false);
    if (node != nullptr) {
        TUMemoStrings& lines = FBody->Lines();
        const TEditGroup group(lines, false);
        lines.Selection().SetCaret(lines, node->Data.Caret, TSelMode::smNone);
        lines.SetTopRow(std::clamp(node->Data.TopRow, 0, std::max(lines.GetCount() - 1, 0)));
    }
    FBody->Editor().ClearUndo();
    FBody->Editor().SetReadOnly(readOnly);
}

void TFormTemplate::EndHeadingEdit() {
    FTreeView->EndEdit();
}

void TFormTemplate::HeadingEdited(QTreeWidgetItem* item) {
    if (FRebuilding || item == nullptr) return;
    const TNodeId id = IdOf(item);
    if (id == FShown) StoreBody();
    if (FEditMode && FTree.Rename(id, C(item->text(0))) && id == FShown) {
        // The name line of the shown body follows; the caret stays.
        const TSelPoint caret = FBody->Lines().Selection().Caret;
        const std::int32_t top = FBody->Lines().TopRow();
        TTemplateData data = FTree.Node(id)->Data;
        data.Caret = caret;
        data.TopRow = top;
        FTree.SetData(id, data);
        LoadBody();
    }
    FRebuilding = true;
    if (const TTemplateNode* node = FTree.Node(id)) item->setText(0, Q(node->Heading));
    FRebuilding = false;
    UpdateStates();
}

void TFormTemplate::InsertIntoMemo(bool append) {
    TUMemoEditor& body = FBody->Editor();
    const TUMemoStrings& lines = body.Strings();
    const std::string text =
        lines.Selection().HasSelection(lines) ? body.GetSelText(false) : lines.GetTextStr();
    if (text.empty()) return;
    TUMemo* memo = FForm.VtFrameCalc1()->UMemo1();
    if (append)
        AppendTemplateLines(memo->Editor(), text);
    else
        InsertTemplateLines(memo->Editor(), text);
    memo->ScrollCaretIntoView();
}

void TFormTemplate::UpdateStates() {
    const std::size_t nodes = FTree.Count();
    const auto enable = [this](const char* name, bool on) { FActions.at(name)->setEnabled(on); };
    for (const char* name : {"ActionName", "ActionInsert", "ActionDelete"})
        enable(name, FEditMode && nodes >= 1);
    for (const char* name : {"ActionUp", "ActionDown", "ActionLeft", "ActionRight"})
        enable(name, FEditMode && nodes >= 2);
    for (const char* name : {"ActionAdd", "ActionSave", "ActionLoad"})
        enable(name, FEditMode);
    enable("ActionRestore", FEditMode && FTree.CanRestore());
}

void TFormTemplate::StoreGeometry() {
    auto& kept = FForm.KeptSettings();
    const TWindowPlace g = PlaceOf(*this);
    kept[kTop] = std::to_string(g.Top);
    kept[kLeft] = std::to_string(g.Left);
    kept[kWidth] = std::to_string(g.Width);
    kept[kHeight] = std::to_string(g.Height);
    kept[kTreeWidth] = std::to_string(FSplitter->sizes().value(0, 160));
}

void TFormTemplate::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The body editor looks like the memo pane.
    const TUMemo* memo = FForm.VtFrameCalc1()->UMemo1();
    FBody->SetMemoFont(memo->MemoFont());
    FBody->SetRowPich(memo->RowPich());
    FBody->SetColPich(memo->ColPich());
    FBody->SetStyle(memo->Style());
    FBody->SetFileType(memo->FileType());
    FBody->Lines().SetTabStops(memo->Lines().TabStops());
    FBody->RepaintAll();
}

void TFormTemplate::MainClosing() {
    if (FClosed) return;
    FMainClosing = true;
    close();
}

void TFormTemplate::closeEvent(QCloseEvent* event) {
    // A template file that could not be written keeps the window open, so that nothing typed is
    // lost; only the main window's exit goes on regardless.
    if (!FSkipSave && !SaveFile() && !FMainClosing) {
        event->ignore();
        return;
    }
    StoreGeometry();
    FClosed = true;
    event->accept();
}

}  // namespace rekna
