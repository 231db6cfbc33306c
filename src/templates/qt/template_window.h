// TFormTemplate: the template window "Rekna - テンプレート", a tree of headings beside the body
// editor, with the commands that edit the tree and put templates into the memo.
#pragma once

#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "templates/template_file.h"
#include "templates/template_tree.h"

class QAction;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

namespace rekna {

class TToolHost;
class TUMemo;
class TTemplateTreeView;

class TFormTemplate : public QWidget {
    Q_OBJECT

public:
    // Restores the geometry kept in the main window's settings and reads the file at path.
    TFormTemplate(TToolHost& form, std::string path);
    ~TFormTemplate() override;

    [[nodiscard]] TTemplateTree& Tree() noexcept { return FTree; }
    [[nodiscard]] QTreeWidget* TreeView() const noexcept;
    [[nodiscard]] TUMemo* Body() const noexcept { return FBody; }
    // The window's commands by name ("ActionInsert", "ActionEdit", ...).
    [[nodiscard]] QAction* Action(std::string_view name) const;
    [[nodiscard]] const std::string& Path() const noexcept { return FFile.Path(); }
    [[nodiscard]] bool EditMode() const noexcept { return FEditMode; }

    // Replaceable for tests: the delete question (true is Yes), the new name of "名称", and the
    // report of a file that could not be read or written.
    std::function<bool(const QString& question)> AskDelete;
    std::function<std::optional<QString>(const QString& current)> AskName;
    std::function<void(const QString& message)> ReportError;

    // The main window closes: the file is saved and the geometry kept, as by the close box.
    void MainClosing();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void Run(std::string_view name);
    void SetEditMode(bool on);
    void ReadFile();
    bool SaveFile();
    void RebuildTree();
    // The body editor's text, top row and caret into the shown node (edit mode only).
    void StoreBody();
    // The selected node's body into the editor (empty without a selection).
    void LoadBody();
    void EndHeadingEdit();
    void InsertIntoMemo(bool append);
    void Move(bool (TTemplateTree::*move)(TNodeId));
    void UpdateStates();
    void StoreGeometry();
    void HeadingEdited(QTreeWidgetItem* item);
    [[nodiscard]] static TNodeId IdOf(const QTreeWidgetItem* item);

    TToolHost& FForm;
    TTemplateTree FTree;
    TTemplateFile FFile;
    TTemplateTreeView* FTreeView = nullptr;
    TUMemo* FBody = nullptr;
    QSplitter* FSplitter = nullptr;
    std::map<std::string, QAction*, std::less<>> FActions;
    std::map<TNodeId, QTreeWidgetItem*> FItems;
    TNodeId FShown = kNoNode;
    bool FEditMode = false;
    bool FRebuilding = false;
    bool FSkipSave = false;
    bool FClosed = false;
    bool FMainClosing = false;
};

}  // namespace rekna
