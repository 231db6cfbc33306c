// The script host of the window.
#include "shell/qt/script_window_host.h"

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>

#include "frame/frame_calc_core.h"
#include "frame/qt/vt_frame_calc.h"
#include "frame/run_procedure.h"
#include "platform/cp932.h"
#include "script/host/script_site.h"
#include "script/runtime/script_interpreter.h"
#include "shell/qt/form_memo.h"

namespace rekna {
namespace {

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
    site.Interpreter().OnMsgBox = [&form](const TMsgBoxRequest& r) {
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
        switch (box.exec()) {
        case QMessageBox::Cancel: return 2;
        case QMessageBox::Abort: return 3;
        case QMessageBox::Retry: return 4;
        case QMessageBox::Ignore: return 5;
        case QMessageBox::Yes: return 6;
        case QMessageBox::No: return 7;
        default: return 1;
        }
    };
    site.Interpreter().OnInputBox = [&form](const TInputBoxRequest& r, std::string& answer) {
        bool ok = false;
        const QString text =
            QInputDialog::getText(&form, r.Title.empty() ? QStringLiteral("VBScript") : Q(r.Title),
                                  Q(r.Prompt), QLineEdit::Normal, Q(r.Default), &ok);
        if (ok) answer = Sys(text);
        return ok;
    };
    core.Calc().SetScriptEnabled(core.Options().VbScript);
    return site;
}

}  // namespace rekna
