// The find window on the main window's actions, made on first use.
#include "find/qt/find_parts.h"

#include <QAction>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include "find/qt/find_window.h"
#include "frame/qt/tool_host.h"

namespace rekna {

namespace {

// Keeps the find window of one main window and sees the main window close.
class TFindParts : public QObject {
public:
    explicit TFindParts(TToolHost& form) : QObject(&form.Window()), Form(form) {
        setObjectName(QStringLiteral("FindParts"));
        form.Window().installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &Form.Window() && event->type() == QEvent::Close) {
            // Before the main window writes its settings: the kept texts are current then.
            if (Find) Find->StoreSettings();
        }
        return false;
    }

    TToolHost& Form;
    QPointer<TFormFind> Find;
};

TFindParts& PartsOf(TToolHost& form) {
    if (auto* parts = form.Window().findChild<TFindParts*>(QStringLiteral("FindParts"),
                                                           Qt::FindDirectChildrenOnly))
        return *parts;
    return *new TFindParts(form);
}

// F3 and Shift+F3 follow the kept search text before the window exists.
void SyncFindActions(TToolHost& form) {
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

TFormFind& FindWindowOf(TToolHost& form) {
    TFindParts& parts = PartsOf(form);
    if (!parts.Find) parts.Find = new TFormFind(form);
    return *parts.Find;
}

void InstallFindParts(TToolHost& form) {
    PartsOf(form);
    TToolHost* f = &form;
    if (QAction* a = form.Action("ActionFindFind")) {
        a->setEnabled(true);
        a->setStatusTip(QStringLiteral("ジャンプ/検索/置換"));
        QObject::connect(a, &QAction::triggered, &form.Window(), [f] { FindWindowOf(*f).Open(); });
    }
    for (const auto& [name, direction] : {std::pair{"ActionFindDn", TFindDirection::fdDown},
                                          std::pair{"ActionFindUp", TFindDirection::fdUp}}) {
        QAction* a = form.Action(name);
        if (a == nullptr) continue;
        const TFindDirection d = direction;
        QObject::connect(a, &QAction::triggered, &form.Window(),
                         [f, d] { FindWindowOf(*f).Find(d); });
    }
    // The settings file is read after the main window's constructor: its search text decides
    // once the event loop runs.
    QTimer::singleShot(0, &form.Window(), [f] {
        if (!PartsOf(*f).Find) SyncFindActions(*f);
    });
}

}  // namespace rekna
