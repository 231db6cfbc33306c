// The GlobalShortcuts portal through Qt D-Bus: CreateSession, BindShortcuts, each answered by a
// Request object's Response signal, and the Activated signal of the keys.
#include "hotkey/qt/hotkey_portal.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QTimer>

#include <optional>

#include "hotkey/hotkey_calc.h"

namespace {

// One entry of BindShortcuts' a(sa{sv}).
struct TPortalShortcut {
    QString Id;
    QVariantMap Properties;
};

}  // namespace

Q_DECLARE_METATYPE(TPortalShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& out, const TPortalShortcut& s) {
    out.beginStructure();
    out << s.Id << s.Properties;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, TPortalShortcut& s) {
    in.beginStructure();
    in >> s.Id >> s.Properties;
    in.endStructure();
    return in;
}

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
constexpr int kCallTimeoutMs = 2000;

// Waits for the Response of one request and hands its results on, once.
class TPortalRequest : public QObject {
    Q_OBJECT

public:
    TPortalRequest(std::function<void(uint, const QVariantMap&)> done, QObject* parent)
        : QObject(parent), FDone(std::move(done)) {}

public slots:
    void Response(uint code, const QVariantMap& results) {
        if (FDone) std::exchange(FDone, nullptr)(code, results);
        deleteLater();
    }

private:
    std::function<void(uint, const QVariantMap&)> FDone;
};

}  // namespace

namespace rekna {

THotKeyPortal::THotKeyPortal(QDBusConnection bus, TPressHandler onPress, QObject* parent)
    : QObject(parent), FBus(std::move(bus)), FOnPress(std::move(onPress)) {
    qDBusRegisterMetaType<TPortalShortcut>();
    qDBusRegisterMetaType<QList<TPortalShortcut>>();
    FBus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                 SLOT(Activated(QDBusMessage)));
}

THotKeyPortal::~THotKeyPortal() {
    Close();
}

bool THotKeyPortal::Offered(const QDBusConnection& bus) {
    if (!bus.isConnected()) return false;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    return bus.call(get, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

void THotKeyPortal::Fail(const QString& why) {
    FProblem =
        QStringLiteral("ホットキーをデスクトップに登録できません: %1").arg(why).toStdString();
}

void THotKeyPortal::Request(const QString& method, const QList<QVariant>& arguments,
                            std::function<void(const QVariantMap&)> then) {
    // The answer comes on a path made of our bus name and a token of ours: listen there before
    // the call, so that no answer comes before the listener.
    const QString token = QStringLiteral("rekna%1").arg(++FToken);
    QString sender = FBus.baseService().mid(1);
    sender.replace(u'.', u'_');
    const QString path =
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
    auto* request = new TPortalRequest(
        [this, method, then = std::move(then)](uint code, const QVariantMap& results) {
            // 1: the user cancelled, 2: another failure.
            if (code != 0) {
                Fail(QStringLiteral("%1 (%2)").arg(method).arg(code));
                return;
            }
            then(results);
        },
        this);
    const auto listen = [this, request](const QString& at) {
        FBus.connect(kService, at, QStringLiteral("org.freedesktop.portal.Request"),
                     QStringLiteral("Response"), request, SLOT(Response(uint, QVariantMap)));
    };
    listen(path);
    QList<QVariant> args = arguments;
    QVariantMap options = args.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    args << options;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    call.setArguments(args);
    const QDBusReply<QDBusObjectPath> handle = FBus.call(call, QDBus::Block, kCallTimeoutMs);
    if (!handle.isValid()) {
        Fail(handle.error().message());
        request->deleteLater();
        return;
    }
    // Older portals answer on a path of their own choosing.
    if (handle.value().path() != path) listen(handle.value().path());
}

void THotKeyPortal::Bind() {
    if (FBound || !FSession.isEmpty()) return;
    FProblem.clear();
    QVariantMap options{
        {QStringLiteral("session_handle_token"), QStringLiteral("rekna%1").arg(++FToken)}};
    Request(QStringLiteral("CreateSession"), {options}, [this](const QVariantMap& results) {
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        FSession = handle.canConvert<QDBusObjectPath>()
                       ? qvariant_cast<QDBusObjectPath>(handle).path()
                       : handle.toString();
        if (FSession.isEmpty()) {
            Fail(QStringLiteral("CreateSession"));
            return;
        }
        const auto shortcut = [](const char* id, const char* description, const char* trigger) {
            QVariantMap p{{QStringLiteral("description"), QString::fromUtf8(description)}};
            if (*trigger) p.insert(QStringLiteral("preferred_trigger"), QString::fromUtf8(trigger));
            return TPortalShortcut{QString::fromLatin1(id), p};
        };
        const QList<TPortalShortcut> keys{
            shortcut("calc", "Rekna: 計算結果を記入 (Ctrl+Enter)", "CTRL+Return"),
            shortcut("replace", "Rekna: 計算結果で置換 (右Ctrl+Enter)", ""),
            shortcut("delete", "Rekna: 計算結果を削除 (Ctrl+Shift+Enter)", "CTRL+SHIFT+Return"),
        };
        Request(QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(FSession)), QVariant::fromValue(keys),
                 QString(), QVariantMap()},
                [this](const QVariantMap&) { FBound = true; });
    });
}

void THotKeyPortal::Close() {
    if (FSession.isEmpty()) return;
    FBus.call(QDBusMessage::createMethodCall(kService, FSession,
                                             QStringLiteral("org.freedesktop.portal.Session"),
                                             QStringLiteral("Close")),
              QDBus::Block, kCallTimeoutMs);
    FSession.clear();
    FBound = false;
}

void THotKeyPortal::Activated(const QDBusMessage& signal) {
    // (o session_handle, s shortcut_id, t timestamp, a{sv} options)
    const QList<QVariant> args = signal.arguments();
    if (args.size() < 2 || !FOnPress) return;
    if (qvariant_cast<QDBusObjectPath>(args[0]).path() != FSession) return;
    // The press runs from the event loop, as a grabbed key's does, not inside the signal.
    if (const std::optional<THotKeyPress> press =
            HotKeyCommandPress(args[1].toString().toStdString()))
        QTimer::singleShot(0, this, [this, p = *press] { FOnPress(p.Deletion, p.Held); });
}

}  // namespace rekna

#include "hotkey_portal.moc"
