// rekna: the desktop program. Finds its files, keeps to one instance when asked to, and opens
// the main window on the document of the command line or the backup.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTimer>
#include <QTranslator>

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <functional>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "editor/qt/umemo.h"
#include "frame/qt/vt_frame_calc.h"
#include "hotkey/hotkey_calc.h"
#include "hotkey/qt/hotkey_parts.h"
#include "shell/qt/form_memo.h"
#include "shell/qt/print_to_pdf.h"
#include "shell/qt/single_instance.h"
#include "shell/settings_file.h"
#include "shell/start_paths.h"

namespace {

// The single-instance option is read before any window exists.
bool SingleInstanceWanted(const std::string& settingsFile) {
    rekna::TMemorySettings store;
    if (!rekna::ReadSettingsFile(settingsFile, store).Ok()) return false;
    const std::optional<std::string> v = store.Get("DoubleRun");
    return v && !v->empty() && v->front() == '1';
}

// With REKNA_QUIT_AFTER_PAINT set, the program ends once the memo has been painted and prints
// how long that took: the start-up measurement.
class TFirstPaint : public QObject {
public:
    explicit TFirstPaint(QElapsedTimer& clock) : FClock(clock) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !FDone) {
            FDone = true;
            QTimer::singleShot(0, [this] {
                std::printf("first paint after %lld ms\n",
                            static_cast<long long>(FClock.elapsed()));
                QApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer& FClock;
    bool FDone = false;
};

// SIGTERM and SIGHUP (logout, kill) end the program as a normal exit would, through the event
// loop: the handler only writes a byte that a notifier reads there.
int gSignalPipe[2] = {-1, -1};

void OnEndSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

void WatchEndSignals(QObject* parent, const std::function<void()>& end) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [notifier, end] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(gSignalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        end();
    });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// Qt's own dialogs (file dialogs, message-box buttons) speak the program's language.
void LoadQtTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

// `rekna --hotkey calc|replace|delete`: a desktop's own key binding asks the running Rekna for
// a hot-key press; it needs no display of its own.
int SendHotKey(int argc, char** argv) {
    if (argc != 3 || !rekna::HotKeyCommandPress(argv[2])) {
        std::fprintf(stderr, "usage: rekna --hotkey calc|replace|delete\n");
        return 64;
    }
    QCoreApplication app(argc, argv);
    rekna::TSingleInstance instance;
    if (instance.Claim()) {
        std::fprintf(stderr, "rekna: no running Rekna to take the hot key\n");
        return 1;
    }
    if (!instance.SendHotKey(QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "rekna: the running Rekna did not answer\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    if (argc > 1 && std::strcmp(argv[1], "--hotkey") == 0) return SendHotKey(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("rekna %s\n", REKNA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("usage: rekna [FILE | SETTINGS.ini | FOLDER]\n"
                        "       rekna --print-to-pdf OUT.pdf [FILE]\n"
                        "       rekna --hotkey calc|replace|delete\n"
                        "Opens the memo FILE, or starts with the settings file named or found in "
                        "FOLDER.\n"
                        "--print-to-pdf prints FILE (or the backup) to OUT.pdf as the print "
                        "preview lays it out, without a window.\n"
                        "--hotkey asks the running Rekna for Ctrl+Enter, right Ctrl+Enter or "
                        "Ctrl+Shift+Enter in the editor in front.\n"
                        "--help, --version print this help, or the version, and exit.\n");
            return 0;
        }
    }
    // Printing to a file needs no screen: without a platform asked for, it runs offscreen, so
    // that it works with no display at all.
    if (argc > 1 && std::strcmp(argv[1], "--print-to-pdf") == 0 &&
        !std::getenv("QT_QPA_PLATFORM")) {
        bool asked = false;
        for (int i = 2; i < argc; ++i)
            asked = asked || std::strcmp(argv[i], "-platform") == 0;
        if (!asked) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rekna"));
    QApplication::setDesktopFileName(QStringLiteral("rekna"));
    LoadQtTranslations(app);

    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--print-to-pdf"))
        return rekna::RunPrintToPdf(arguments.mid(1));
    rekna::TStartEnv env;
    env.ProgramPath = QCoreApplication::applicationFilePath().toStdString();
    env.Argument = arguments.value(0).toStdString();
    env.CurrentDir = QDir::currentPath().toStdString();
    env.ConfigHome = rekna::ConfigHomeFolder();
    const rekna::TStartPaths paths = rekna::FindStartPaths(env);

    // The first Rekna always listens, for `rekna --hotkey`; later starts hand over their command
    // line only with the single-instance option.
    auto instance = std::make_unique<rekna::TSingleInstance>();
    if (!instance->Claim()) {
        if (SingleInstanceWanted(paths.SettingsFile)) {
            QStringList absolute;
            for (const QString& a : arguments)
                absolute << (QFileInfo::exists(a) ? QFileInfo(a).absoluteFilePath() : a);
            // When the running window does not answer, this one starts after all.
            if (instance->HandOver(absolute)) return 0;
        }
        instance.reset();
    }

    rekna::TFormMemo form(paths);
    form.Start();
    // The end of the session waits for a running script to stop, and only then quits.
    form.OnSessionEnded = [] { QCoreApplication::exit(0); };
    WatchEndSignals(&form, [&form] { form.EndSession(); });
    if (instance) {
        instance->OnArguments = [&form](const QStringList& a) {
            const QString hotKey = rekna::TSingleInstance::HotKeyOf(a);
            if (hotKey.isEmpty()) {
                form.TakeArguments(a);
            } else {
                rekna::HotKeyCommand(form, hotKey.toStdString());
            }
        };
    }
    TFirstPaint firstPaint(clock);
    form.show();
    QTimer::singleShot(0, &form, [&form, &firstPaint] {
        form.FirstShow();
        // The first paint that shows the document and its answers.
        if (std::getenv("REKNA_QUIT_AFTER_PAINT")) {
            rekna::TUMemo* memo = form.VtFrameCalc1()->UMemo1();
            memo->installEventFilter(&firstPaint);
            memo->update();
        }
    });
    return QApplication::exec();
}
