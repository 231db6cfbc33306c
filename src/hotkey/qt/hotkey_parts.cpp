// The hot keys' actions, the help box, and what a press does in Rekna and in other programs.
#include "hotkey/qt/hotkey_parts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <deque>
#include <memory>
#include <optional>

#include "editor/qt/umemo.h"
#include "editor/store/umemo_strings.h"
#include "frame/main_settings.h"
#include "frame/qt/tool_host.h"
#include "frame/qt/vt_frame_calc.h"
#include "hotkey/hotkey_calc.h"
#include "hotkey/qt/hotkey_desktop.h"
#include "platform/cp932.h"

namespace rekna {

namespace {

constexpr const char* kCheckActions[] = {"ActionCalcHotKey", "ActionCalcHotCtrl",
                                         "ActionCalcHotAdd", "ActionCalcHotExt"};
// How often a key another program holds is tried again.
constexpr int kGrabRetryMs = 2000;

class THotKeyParts : public QObject {
public:
    explicit THotKeyParts(TToolHost& form) : QObject(&form.Window()), Form(form) {
        setObjectName(QStringLiteral("HotKeyParts"));
        THotKeyDesktopChoice choice =
            OpenHotKeyDesktop([this](bool deletion, const TModifierKeys& held) {
                HotKeyPressed(Form, deletion, held);
            });
        Desktop = std::move(choice.Desktop);
        NoDesktop = QString::fromStdString(choice.Reason);
        Wayland = choice.Session == THotKeySession::hsWayland;
        if (Desktop) {
            Calc = std::make_unique<THotKeyCalc>(*Desktop);
            Calc->OnBegin = [this] { Batch(true); };
            Calc->OnEnd = [this] { Batch(false); };
        }
        Retry.setInterval(kGrabRetryMs);
        connect(&Retry, &QTimer::timeout, this, [this] { TryGrab(); });
    }

    bool Checked(const char* name) const {
        const QAction* a = Form.Action(name);
        return a && a->isChecked();
    }

    void Switch(bool on) {
        if (!on) {
            Retry.stop();
            if (Desktop) Desktop->Ungrab();
            ShowProblem(QString());
            return;
        }
        if (!Desktop) {
            ShowProblem(NoDesktop);
            return;
        }
        TryGrab();
    }

    // Grabs the keys still missing; a key another program holds is tried again until it is free
    // or the option is switched off.
    void TryGrab() {
        const std::string failed = Desktop->Grab();
        if (failed.empty()) {
            const bool wasMissing = Retry.isActive();
            Retry.stop();
            ShowProblem(QString());
            if (wasMissing)
                Form.Window().statusBar()->showMessage(QStringLiteral("ホットキーを登録しました"),
                                                       5000);
            return;
        }
        const QString keys = QString::fromStdString(failed);
        ShowProblem(QStringLiteral("ホットキーを登録できません（他のプログラムが使用中）: ") +
                        keys + QStringLiteral("。空きしだい登録します"),
                    QStringLiteral("ホットキー登録待ち: ") + keys);
        if (!Retry.isActive()) Retry.start();
    }

    // The problem stays in the status bar, shortened to label (the caret's hints replace its
    // messages), until it is gone; the option's hint says it too.
    void ShowProblem(const QString& problem, const QString& label = {}) {
        if (QAction* hot = Form.Action("ActionCalcHotKey"))
            hot->setStatusTip(problem.isEmpty() ? hot->toolTip() : problem);
        QStatusBar* bar = Form.Window().statusBar();
        if (!Problem && problem.isEmpty()) return;
        if (!Problem) {
            Problem = new QLabel(bar);
            Problem->setObjectName(QStringLiteral("HotKeyProblem"));
            bar->addPermanentWidget(Problem);
        }
        const bool changed = Problem->toolTip() != problem;
        Problem->setText(label.isEmpty() ? problem : label);
        Problem->setToolTip(problem);
        Problem->setVisible(!problem.isEmpty());
        if (problem.isEmpty() || !changed) return;
        bar->showMessage(problem);
        // At start-up the caret's hint takes the status bar once the window shows: say it again
        // after that.
        if (!Form.Window().isVisible()) {
            QTimer::singleShot(1000, this, [this, problem] {
                if (Problem && Problem->toolTip() == problem)
                    Form.Window().statusBar()->showMessage(problem);
            });
        }
    }

    // The memo and the answer pane paint once after the lines were added; the Run button shows
    // the calculation.
    void Batch(bool begin) {
        TVtFrameCalc* frame = Form.VtFrameCalc1();
        for (TUMemo* memo : {frame->UMemo1(), frame->UMemo2()}) {
            if (begin) {
                memo->Lines().BeginUpdate();
            } else {
                memo->Lines().EndUpdate();
            }
        }
        if (QAction* run = Form.Action("ActionEditRun")) {
            for (QObject* o : run->associatedObjects()) {
                if (auto* b = qobject_cast<QToolButton*>(o)) {
                    b->setDown(begin);
                    b->repaint();
                }
            }
        }
    }

    std::pair<std::string, std::string> CalculateCell(const std::string& cell,
                                                      const std::string& extra) {
        TVtFrameCalc* frame = Form.VtFrameCalc1();
        if (!Checked("ActionCalcHotAdd")) {
            TVtCalc& calc = frame->VtCalc1();
            calc.CalcLine(cell, true, true, true);
            return {calc.Data(), calc.AnswerText()};
        }
        // The line goes to the end of the memo (into its last row when that is empty) and is
        // calculated there, so its answer shows in the answer pane.
        TUMemoStrings& memo = frame->UMemo1()->Lines();
        const int last = memo.GetCount() - 1;
        int row = 0;
        if (last >= 0 && memo.Get(last).empty()) {
            row = last;
            memo.Put(last, cell + extra);
        } else {
            row = memo.GetCount();
            memo.Add(cell + extra);
        }
        frame->Core().Run().CalcRow(row, true, false, false);
        const int stored = memo.GetCount() - 1;
        return {std::string(memo.Note(stored)), std::string(memo.Result(stored))};
    }

    TToolHost& Form;
    // Presses that came while a calculation was taking or writing text: each runs after it,
    // in order. A few are kept; a key held down longer is not meant as more presses.
    static constexpr std::size_t kMaxPending = 4;
    std::deque<std::pair<bool, TModifierKeys>> Pending;
    std::unique_ptr<THotKeyDesktop> Desktop;
    QString NoDesktop;  // why there is no desktop back-end
    bool Wayland = false;
    std::unique_ptr<THotKeyCalc> Calc;
    QTimer Retry;
    QLabel* Problem = nullptr;
};

// What the status bar says of an outcome that wrote nothing although there was text to take.
QString OutcomeMessage(const THotKeyResult& result) {
    switch (result.Outcome) {
    case THotKeyOutcome::hoNotConvertible:
        return QStringLiteral("ホットキー計算: 変換できない文字があるため書き換えませんでした");
    case THotKeyOutcome::hoRowWrapped:
        return QStringLiteral("ホットキー計算: キャレット行は折り返された長い行の一部のため"
                              "書き換えませんでした（行全体を選択してから計算してください）");
    case THotKeyOutcome::hoMoved:
        return QStringLiteral("ホットキー計算: 途中で別のウィンドウが前面に出たか選択が"
                              "変わったため書き換えませんでした");
    case THotKeyOutcome::hoFailed:
        return QStringLiteral("ホットキー計算: 計算できませんでした (%1)")
            .arg(QString::fromStdString(result.Failure));
    default: return {};
    }
}

THotKeyParts* PartsOf(TToolHost& form) {
    return form.Window().findChild<THotKeyParts*>(QStringLiteral("HotKeyParts"),
                                                  Qt::FindDirectChildrenOnly);
}

void ShowHelpBox(TToolHost& form) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Rekna"),
                    QString::fromStdString(HotKeyHelpText()), QMessageBox::Yes, &form.Window());
    box.exec();
}

}  // namespace

void InstallHotKeys(TToolHost& form) {
    auto* parts = new THotKeyParts(form);
    for (const char* name : kCheckActions) {
        if (QAction* a = form.Action(name)) {
            a->setEnabled(true);
            a->setStatusTip(a->toolTip());
        }
    }
    if (QAction* on = form.Action("ActionCalcHotKey")) {
        if (!parts->Desktop) {
            on->setToolTip(on->toolTip() + QStringLiteral("（") + parts->NoDesktop +
                           QStringLiteral("）"));
            on->setStatusTip(on->toolTip());
        } else if (parts->Wayland) {
            on->setToolTip(on->toolTip() +
                           QStringLiteral("（キーはデスクトップのキーボード設定で "
                                          "rekna --hotkey calc などに割り当てます）"));
            on->setStatusTip(on->toolTip());
        }
        // Also when the settings file checks it at start-up.
        QObject::connect(on, &QAction::toggled, parts,
                         [parts](bool checked) { parts->Switch(checked); });
    }
    if (QAction* help = form.Action("ActionHelpHotKey")) {
        help->setEnabled(true);
        help->setStatusTip(help->toolTip());
        QObject::connect(help, &QAction::triggered, parts, [&form] { ShowHelpBox(form); });
    }
}

void HotKeyPressed(TToolHost& form, bool deletion, const TModifierKeys& held) {
    THotKeyParts* parts = PartsOf(form);
    if (!parts) return;
    TVtFrameCalc* frame = form.VtFrameCalc1();
    if (parts->Calc && parts->Calc->Busy()) {
        if (parts->Pending.size() < THotKeyParts::kMaxPending)
            parts->Pending.emplace_back(deletion, held);
        return;
    }
    // A run or a script that lets events run is using the engine.
    if (frame->Core().Run().Running() || frame->VtCalc1().ScriptRunning()) return;
    QWidget* active = QApplication::activeWindow();
    if (active == &form.Window() || (deletion && active)) {
        if (QAction* a = form.Action(deletion ? "ActionEditAnsDel" : "ActionEditAns")) a->trigger();
        return;
    }
    if (active) {
        // Another window of Rekna: the key it would have had without the grab.
        if (QWidget* focus = QApplication::focusWidget()) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::ControlModifier);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::ControlModifier);
            QApplication::sendEvent(focus, &press);
            QApplication::sendEvent(focus, &release);
        }
        return;
    }
    if (!parts->Calc) {
        form.Window().statusBar()->showMessage(parts->NoDesktop);
        return;
    }
    const TMainSettings& settings = form.Settings();
    THotKeyRequest request;
    request.Held = held;
    request.Targets = settings.HotKeyAction;
    request.Actions = settings.HotKeyCalcKeys;
    request.ContinuousCtrl = parts->Checked("ActionCalcHotCtrl");
    request.EditorInfo = parts->Checked("ActionCalcHotExt");
    request.ShowErrors = frame->Core().Options().ShowErrors;
    request.ShowControl = frame->Core().Options().ShowControl;
    const THotKeyResult result = parts->Calc->ExternalCalc(
        request, [parts](const std::string& cell, const std::string& extra) {
            return parts->CalculateCell(cell, extra);
        });
    if (const QString message = OutcomeMessage(result); !message.isEmpty())
        form.Window().statusBar()->showMessage(message);
    parts->Desktop->Finish();
    // A helper program that failed, or the window in front that changed while keys were due.
    if (const std::string problem = parts->Desktop->Problem(); !problem.empty())
        form.Window().statusBar()->showMessage(QString::fromStdString(problem));
    if (!parts->Pending.empty()) {
        QTimer::singleShot(0, parts, [&form, parts] {
            if (parts->Pending.empty()) return;
            const auto [nextDeletion, nextHeld] = parts->Pending.front();
            parts->Pending.pop_front();
            HotKeyPressed(form, nextDeletion, nextHeld);
        });
    }
}

bool HotKeyCommand(TToolHost& form, const std::string& name) {
    const std::optional<THotKeyPress> press = HotKeyCommandPress(name);
    if (!press) return false;
    HotKeyPressed(form, press->Deletion, press->Held);
    return true;
}

}  // namespace rekna
