// The main window's graph commands, files and settings connected to the graph window.
#include "graph_window/qt/graph_window_hook.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>

#include <optional>

#include "editor/qt/umemo.h"
#include "editor/store/umemo_strings.h"
#include "frame/main_settings.h"
#include "frame/memo_formula_list.h"
#include "frame/qt/tool_host.h"
#include "frame/qt/vt_frame_calc.h"
#include "graph_window/graph_model.h"
#include "graph_window/qt/graph_window.h"

namespace rekna {

namespace {

const char* const kPartName = "GraphWindowPart";

std::string WithExtension(const std::string& path, const char* extension) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                 ? path.substr(0, dot)
                                 : path;
    return stem + extension;
}

QString Q(const std::string& path) {
    return QString::fromStdString(path);
}

void ShowStatus(TToolHost& form, const QString& text) {
    form.Window().statusBar()->showMessage(text);
}

QString NotGraphData(const std::string& path) {
    return QStringLiteral("%1 はグラフデータではありません").arg(Q(path));
}

// The graph window's place beside the main window: the window once made, and the data file to
// load at its first opening.
class TGraphPart : public QObject {
public:
    TGraphPart(TToolHost& form) : QObject(&form.Window()), FForm(form) {
        setObjectName(QString::fromLatin1(kPartName));
        form.Window().installEventFilter(this);
    }

    TFormGraph* Window = nullptr;
    std::optional<std::string> Pending;

    void KeepSaveEnabled() {
        QAction* save = FForm.Action("ActionFileSave");
        if (save && !save->isEnabled() && Window && Window->Model().Tables().Modified())
            save->setEnabled(true);
    }

    TFormGraph& Show() {
        if (!Window) Create();
        Window->show();
        if (Window->isMinimized()) Window->showNormal();
        Window->raise();
        Window->activateWindow();
        return *Window;
    }

    // The memo's lines, all of them or up to the caret line.
    [[nodiscard]] std::vector<std::string> Lines(bool toCaret) {
        TUMemoStrings& memo = FForm.VtFrameCalc1()->UMemo1()->Lines();
        return MemoLines(memo, toCaret ? memo.LastRowOfLine(memo.Selection().Caret.Y) : -1);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &FForm.Window() && event->type() == QEvent::Close && Window) {
            Window->WriteKept(FForm.KeptSettings());
            if (FForm.Settings().FileBackUp) {
                const std::string kgd = WithExtension(FForm.BackupFile(), ".kgd");
                FForm.RecycleOldBackup(kgd);
                Window->SaveFile(kgd);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Create() {
        TVtFrameCalc* frame = FForm.VtFrameCalc1();
        Window = new TFormGraph(frame->VtCalc1(), &FForm.Window());
        Window->ReadKept(FForm.KeptSettings());
        Window->OnStatusText = [this](const QString& text) {
            FForm.Window().statusBar()->showMessage(text);
        };
        Window->Model().Sampler().BuildMemo = [this, frame](TVtCalc& calc, bool toCaret) {
            BuildMemoFormulas(FormulaLinesOf(Lines(toCaret)), calc, frame->Core().Options());
        };
        // Changed graph settings are something to save, also while the memo's text is unchanged.
        Window->OnTablesChanged = [this] { KeepSaveEnabled(); };
        Window->AutoBrackets = [frame] { return frame->Core().Options().AutoKakko; };
        Window->OnSyncOptions = [this](TGraphSampler& sampler) {
            sampler.UseMemo = FForm.Settings().GraphCalcMemo;
            sampler.ToCaret = FForm.Settings().GraphCalcToCaret;
            sampler.Optimise = FForm.Settings().GraphCalcTune;
        };
        std::string file = Pending.value_or(
            FForm.Settings().FileBackUp ? WithExtension(FForm.BackupFile(), ".kgd") : "");
        Pending.reset();
        const bool exists = !file.empty() && QFileInfo::exists(Q(file));
        if (!exists || !Window->LoadFile(file)) {
            if (exists) ShowStatus(FForm, NotGraphData(file));
            Window->FullUpdate();
        }
        for (const char* name : {"ActionEditGupdate", "ActionEditGraphGet", "ActionEditGraphSet"})
            if (QAction* a = FForm.Action(name)) a->setEnabled(true);
    }

    TToolHost& FForm;
};

TGraphPart* Part(TToolHost& form) {
    return static_cast<TGraphPart*>(form.Window().findChild<QObject*>(
        QString::fromLatin1(kPartName), Qt::FindDirectChildrenOnly));
}

void InsertGraphLines(TToolHost& form, TGraphPart& part) {
    TUMemoStrings& memo = form.VtFrameCalc1()->UMemo1()->Lines();
    const std::vector<std::string> lines =
        part.Window->Model().GraphLinesToInsert(part.Lines(true));
    if (lines.empty()) return;
    const TEditGroup group(memo, true);
    int row = memo.LastRowOfLine(memo.Selection().Caret.Y);
    if (row >= memo.GetCount() - 1) memo.Add("");
    for (const std::string& line : lines)
        memo.Insert(++row, line);
}

}  // namespace

void InstallGraphWindow(TToolHost& form) {
    auto* part = new TGraphPart(form);
    const auto connectAction = [&form](const char* name, auto run) {
        if (QAction* a = form.Action(name))
            QObject::connect(a, &QAction::triggered, &form.Window(), run);
    };
    if (QAction* a = form.Action("ActionViewGraph")) a->setEnabled(true);
    // The main window disables saving while the memo's text is unchanged.
    if (QAction* save = form.Action("ActionFileSave"))
        QObject::connect(save, &QAction::changed, part, [part] { part->KeepSaveEnabled(); });
    connectAction("ActionViewGraph", [part] {
        const bool shown = part->Window && part->Window->isVisible();
        TFormGraph& w = part->Show();
        if (shown) w.FullUpdate();
    });
    connectAction("ActionEditGupdate", [part] {
        if (part->Window && part->Window->isVisible()) part->Window->FullUpdate();
    });
    connectAction("ActionEditGraphSet", [part] {
        if (!part->Window) return;
        TFormGraph& w = *part->Window;
        const std::vector<std::string> lines = part->Lines(true);
        w.Guarded([&w, &lines] { w.Model().ExecuteGraphLines(lines); });
    });
    connectAction("ActionEditGraphGet", [part, &form] {
        if (part->Window) InsertGraphLines(form, *part);
    });
}

TFormGraph* GraphWindow(TToolHost& form) {
    TGraphPart* part = Part(form);
    return part ? part->Window : nullptr;
}

TFormGraph& ShowGraphWindow(TToolHost& form) {
    return Part(form)->Show();
}

void GraphMemoOpened(TToolHost& form, const std::string& memoPath) {
    TGraphPart* part = Part(form);
    if (!part) return;
    const std::string kgd = WithExtension(memoPath, ".kgd");
    const bool exists = QFileInfo::exists(Q(kgd));
    if (part->Window) {
        if (exists && part->Window->LoadFile(kgd)) return;
        // A file that is not graph data is never taken for it: the tables stay as they are.
        if (exists) ShowStatus(form, NotGraphData(kgd));
        part->Window->FullUpdate();
    } else if (exists) {
        part->Pending = kgd;
    }
}

bool GraphOpenData(TToolHost& form, const std::string& kgdPath) {
    TGraphPart* part = Part(form);
    if (!part) return false;
    const bool created = part->Window == nullptr;
    if (created) part->Pending = kgdPath;
    TFormGraph& w = part->Show();
    if (!created) return w.LoadFile(kgdPath);
    return QFileInfo::exists(Q(kgdPath)) && !TFormGraph::IsForeignFile(kgdPath);
}

namespace {

// A file there that is not graph data is replaced only when the user agrees.
bool MayReplace(TFormGraph& w, const std::string& kgdPath, bool mayAsk) {
    if (!TFormGraph::IsForeignFile(kgdPath)) return true;
    if (!mayAsk) return false;
    if (w.AskReplaceFile) return w.AskReplaceFile(Q(kgdPath));
    return QMessageBox::question(&w, QStringLiteral("Rekna"),
                                 QStringLiteral("%1 はグラフデータではありません。\n"
                                                "グラフデータで置き換えますか?")
                                     .arg(Q(kgdPath)),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

bool GraphSaveData(TToolHost& form, const std::string& kgdPath) {
    TGraphPart* part = Part(form);
    if (!part) return false;
    TFormGraph& w = part->Show();
    return MayReplace(w, kgdPath, true) && w.SaveFile(kgdPath);
}

bool GraphSaveBeside(TToolHost& form, const std::string& memoPath, bool mayAsk) {
    TGraphPart* part = Part(form);
    if (!part || !part->Window) return true;
    TFormGraph& w = *part->Window;
    const std::string kgd = WithExtension(memoPath, ".kgd");
    const bool exists = QFileInfo::exists(Q(kgd));
    if (!exists && !w.Model().Tables().HasUserSettings()) return true;
    if (!MayReplace(w, kgd, mayAsk)) {
        ShowStatus(form, NotGraphData(kgd) + QStringLiteral(": グラフデータは保存していません"));
        return true;
    }
    if (w.SaveFile(kgd)) return true;
    if (mayAsk)
        QMessageBox::warning(&form.Window(), QStringLiteral("Rekna"),
                             QStringLiteral("%1 を保存できませんでした。").arg(Q(kgd)));
    return false;
}

}  // namespace rekna
