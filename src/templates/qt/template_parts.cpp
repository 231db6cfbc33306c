// The template window on the main window's action, made on first use.
#include "templates/qt/template_parts.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>

#include <unistd.h>

#include "frame/qt/tool_host.h"
#include "platform/program_place.h"
#include "templates/qt/template_window.h"
#include "templates/template_file.h"

namespace rekna {

namespace {

// Keeps the template window of one main window and sees the main window close.
class TTemplateParts : public QObject {
public:
    explicit TTemplateParts(TToolHost& form) : QObject(&form.Window()), Form(form) {
        setObjectName(QStringLiteral("TemplateParts"));
        form.Window().installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Before the main window writes its settings: the kept texts are current then.
        if (watched == &Form.Window() && event->type() == QEvent::Close && Template)
            Template->MainClosing();
        return false;
    }

    TToolHost& Form;
    QPointer<TFormTemplate> Template;
};

TTemplateParts& PartsOf(TToolHost& form) {
    if (auto* parts = form.Window().findChild<TTemplateParts*>(QStringLiteral("TemplateParts"),
                                                               Qt::FindDirectChildrenOnly))
        return *parts;
    return *new TTemplateParts(form);
}

}  // namespace

TFormTemplate& TemplateWindowOf(TToolHost& form) {
    TTemplateParts& parts = PartsOf(form);
    if (!parts.Template) parts.Template = new TFormTemplate(form, TemplateFileOf(form));
    return *parts.Template;
}

std::string TemplateFileOf(const TToolHost& form) {
    const std::string program = QCoreApplication::applicationDirPath().toStdString() + "/";
    return TemplateFilePath(program,
                            KeepsFilesBesideProgram(program, ::access(program.c_str(), W_OK) == 0),
                            form.SettingsFolder());
}

void InstallTemplateParts(TToolHost& form) {
    PartsOf(form);
    TToolHost* f = &form;
    if (QAction* a = form.Action("ActionEditTemplate")) {
        a->setEnabled(true);
        a->setStatusTip(QStringLiteral("テンプレート"));
        QObject::connect(a, &QAction::triggered, &form.Window(), [f] {
            TFormTemplate& window = TemplateWindowOf(*f);
            window.show();
            window.raise();
            window.activateWindow();
        });
    }
}

}  // namespace rekna
