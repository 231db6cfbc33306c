// The find and template windows on the main window's actions, made on first use.
#include "find/qt/find_parts.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <unistd.h>

#include "find/qt/find_window.h"
#include "shell/qt/form_memo.h"
#include "templates/qt/template_window.h"

namespace rekna {

namespace {

// Keeps the windows of one main window and sees the main window close.
class TFindParts : public QObject {
public:
    explicit TFindParts(TFormMemo& form) : QObject(&form), Form(form) {
        setObjectName(QStringLiteral("FindParts"));
        form.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &Form && event->type() == QEvent::Close) {
            // Before the main window writes its settings: the kept texts are current then.
            if (Find) Find->StoreSettings();
            if (Template) Template->MainClosing();
        }
        return false;
    }

    TFormMemo& Form;
    QPointer<TFormFind> Find;
    QPointer<TFormTemplate> Template;
};

TFindParts& PartsOf(TFormMemo& form) {
    if (auto* parts =
            form.findChild<TFindParts*>(QStringLiteral("FindParts"), Qt::FindDirectChildrenOnly))
        return *parts;
    return *new TFindParts(form);
}

// F3 and Shift+F3 follow the kept search text before the window exists.
void SyncFindActions(TFormMemo& form) {
    TFindModel model;
    const auto& kept = form.KeptSettings();
    if (const auto it = kept.find("FindLS"); it != kept.end()) model.TakeSettingsText(it->second);
    for (const auto& [name, direction] : {std::pair{"ActionFindDn", TFindDirection::fdDown},
                                          std::pair{"ActionFindUp", TFindDirection::fdUp}}) {
        QAction* action = form.Action(name);
        if (action == nullptr) continue;
        action->setEnabled(!model.SearchText.empty());
        const QString hint = QString::fromStdString(FindActionHint(direction, model.SearchText));
        action->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
        action->setStatusTip(hint.section(QLatin1Char('|'), 1));
    }
}

}  // namespace

TFormFind& FindWindowOf(TFormMemo& form) {
    TFindParts& parts = PartsOf(form);
    if (!parts.Find) parts.Find = new TFormFind(form);
    return *parts.Find;
}

TFormTemplate& TemplateWindowOf(TFormMemo& form) {
    TFindParts& parts = PartsOf(form);
    if (!parts.Template) parts.Template = new TFormTemplate(form, TemplateFileOf(form));
    return *parts.Template;
}

std::string TemplateFileOf(const TFormMemo& form) {
    const std::string program = QCoreApplication::applicationDirPath().toStdString() + "/";
    return TemplateFilePath(program, ::access(program.c_str(), W_OK) == 0,
                            form.Paths().SettingsFolder);
}

void InstallFindParts(TFormMemo& form) {
    PartsOf(form);
    TFormMemo* f = &form;
    if (QAction* a = form.Action("ActionFindFind")) {
        a->setEnabled(true);
        a->setStatusTip(QStringLiteral("ジャンプ/検索/置換"));
        QObject::connect(a, &QAction::triggered, &form, [f] { FindWindowOf(*f).Open(); });
    }
    for (const auto& [name, direction] : {std::pair{"ActionFindDn", TFindDirection::fdDown},
                                          std::pair{"ActionFindUp", TFindDirection::fdUp}}) {
        QAction* a = form.Action(name);
        if (a == nullptr) continue;
        const TFindDirection d = direction;
        QObject::connect(a, &QAction::triggered, &form, [f, d] { FindWindowOf(*f).Find(d); });
    }
    if (QAction* a = form.Action("ActionEditTemplate")) {
        a->setEnabled(true);
        a->setStatusTip(QStringLiteral("テンプレート"));
        QObject::connect(a, &QAction::triggered, &form, [f] {
            TFormTemplate& window = TemplateWindowOf(*f);
            window.show();
            window.raise();
            window.activateWindow();
        });
    }
    // The settings file is read after the main window's constructor: its search text decides
    // once the event loop runs.
    QTimer::singleShot(0, &form, [f] {
        if (!PartsOf(*f).Find) SyncFindActions(*f);
    });
}

}  // namespace rekna
