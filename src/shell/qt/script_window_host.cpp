// The script host of the window.
#include "shell/qt/script_window_host.h"

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>

#include <functional>
#include <utility>

#include "frame/frame_calc_core.h"
#include "frame/qt/prompt_box.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/run_procedure.h"
#include "platform/cp932.h"
#include "script/host/script_site.h"
#include "script/runtime/script_interpreter.h"
#include "shell/qt/form_memo.h"

namespace rekna {
namespace {

// The script's box that is open, if any.
QPointer<QDialog> gOpenBox;

// Esc in a script's box stops the script as well: the box closes and the run ends.
class TBoxEscFilter : public QObject {
public:
    explicit TBoxEscFilter(std::function<void()> stop) : FStop(std::move(stop)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            FStop();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> FStop;
};

// Shows a script's box, unless the script is to stop; false when it did not show or was closed
// by a stop.
bool ExecScriptBox(QDialog& box, TFrameCalcCore& core) {
    const auto stopAsked = [&core] { return core.Run().EscPressed || core.Calc().StopRequested(); };
    if (stopAsked()) return false;
    TBoxEscFilter esc([&core] {
        core.Run().EscPressed = true;
        core.Calc().RequestStop();
    });
    box.installEventFilter(&esc);
    gOpenBox = &box;
    box.exec();
    gOpenBox = nullptr;
    box.removeEventFilter(&esc);
    return !stopAsked();
}

QString Q(const std::string& cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}
std::string Sys(const QString& s) {
    return Utf8ToCp932(s.toStdString());
}

}  // namespace

TpsvActiveScriptSite& InstallWindowScriptHost(TFormMemo& form) {
    TVtFrameCalc* frame = form.VtFrameCalc1();
    TFrameCalcCore& core = frame->Core();
    TScriptDesk desk;
    desk.GetClipboard = [] { return Sys(QGuiApplication::clipboard()->text()); };
    desk.SetClipboard = [](const std::string& text) {
        QGuiApplication::clipboard()->setText(Q(text));
    };
    desk.ExePath = Sys(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    desk.FileName = [&core] {
        return core.HasFileName() ? Utf8ToCp932(core.FileName()) : std::string();
    };
    desk.GetAnswer = [&core](int line) { return core.Run().ScriptAnswer(line); };
    desk.SetAnswer = [&core](int line, const std::string& text) {
        core.Run().SetScriptAnswer(line, text);
    };
    desk.ShowStatus = [&form](const std::string& text) {
        form.statusBar()->showMessage(Q(text));
        form.statusBar()->repaint();
    };
    desk.SetBusyCursor = [](bool busy) {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    };
    // The window paints and sees Esc; every other input waits until the run is over.
    desk.ProcessEvents = [frame] { frame->PollDuringRun(); };
    desk.EscDown = [&core] { return core.Run().EscPressed || core.Calc().StopRequested(); };
    TpsvActiveScriptSite& site = InstallScriptHost(core.Calc(), std::move(desk));
    // Script message boxes belong to the main window.
    site.Interpreter().OnMsgBox = [&form, &core](const TMsgBoxRequest& r) {
        core.Calc().NoteScriptAsked();
        QMessageBox box(&form);
        box.setWindowTitle(r.Title.empty() ? QStringLiteral("VBScript") : Q(r.Title));
        box.setText(Q(r.Prompt));
        switch (r.Buttons & 7) {
        case 1: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case 2:
            box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
            break;
        case 3:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case 4: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case 5: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
        default: box.setStandardButtons(QMessageBox::Ok); break;
        }
        // A box closed by a stop answers Cancel; the script ends at its next stop check.
        if (!ExecScriptBox(box, core)) return 2;
        switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Cancel: return 2;
        case QMessageBox::Abort: return 3;
        case QMessageBox::Retry: return 4;
        case QMessageBox::Ignore: return 5;
        case QMessageBox::Yes: return 6;
        case QMessageBox::No: return 7;
        default: return 1;
        }
    };
    site.Interpreter().OnInputBox = [&form, &core](const TInputBoxRequest& r, std::string& answer) {
        core.Calc().NoteScriptAsked();
        QInputDialog box(&form);
        box.setWindowTitle(r.Title.empty() ? QStringLiteral("VBScript") : Q(r.Title));
        box.setLabelText(Q(r.Prompt));
        box.setTextValue(Q(r.Default));
        FitTitle(box);
        if (!ExecScriptBox(box, core) || box.result() != QDialog::Accepted) return false;
        answer = Sys(box.textValue());
        return true;
    };
    core.Calc().SetScriptEnabled(core.Options().VbScript);
    return site;
}

void CloseScriptDialogs() {
    if (gOpenBox) gOpenBox->reject();
}

}  // namespace rekna
