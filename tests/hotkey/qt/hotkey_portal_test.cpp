// The GlobalShortcuts portal against a stand-in portal on a bus of the test's own: the session
// and the three keys registered, a press reported, and the session closed.
#include "hotkey/qt/hotkey_portal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

namespace rekna {
namespace {

const QString kPortal = QStringLiteral("/org/freedesktop/portal/desktop");

// Answers CreateSession and BindShortcuts as the portal does, from a thread of its own, as the
// client's calls block.
class TFakePortal : public QDBusVirtualObject {
public:
    explicit TFakePortal(QDBusConnection bus) : FBus(std::move(bus)) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection&) override {
        const QMutexLocker lock(&Lock);
        const QList<QVariant> args = m.arguments();
        QString sender = m.service().mid(1);
        sender.replace(u'.', u'_');
        const auto request = [&](const QVariantMap& options) {
            return kPortal + QStringLiteral("/request/") + sender + u'/' +
                   options.value(QStringLiteral("handle_token")).toString();
        };
        if (m.member() == QLatin1String("Get")) {
            FBus.send(m.createReply(QVariant::fromValue(QDBusVariant(1u))));
        } else if (m.member() == QLatin1String("CreateSession")) {
            const QVariantMap options = qdbus_cast<QVariantMap>(args.value(0));
            Session = kPortal + QStringLiteral("/session/") + sender + u'/' +
                      options.value(QStringLiteral("session_handle_token")).toString();
            Answer(m, request(options), {{QStringLiteral("session_handle"), Session}});
        } else if (m.member() == QLatin1String("BindShortcuts")) {
            BoundSession = qdbus_cast<QDBusObjectPath>(args.value(0)).path();
            const QDBusArgument list = args.value(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                QVariantMap properties;
                list.beginStructure();
                list >> id >> properties;
                list.endStructure();
                Ids << id;
            }
            list.endArray();
            Answer(m, request(qdbus_cast<QVariantMap>(args.value(3))), {});
        } else if (m.member() == QLatin1String("Close")) {
            Closed = m.path();
            FBus.send(m.createReply());
        } else {
            return false;
        }
        return true;
    }
    void Answer(const QDBusMessage& call, const QString& request, const QVariantMap& results) {
        FBus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage response = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << 0u << results;
        FBus.send(response);
    }

    QMutex Lock;
    QString Session, BoundSession, Closed;
    QStringList Ids;

private:
    QDBusConnection FBus;
};

TEST(HotKeyPortal, RegistersTheKeysAndReportsTheirPresses) {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    QProcess bus;
    bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
    ASSERT_TRUE(bus.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();

    QDBusConnection server = QDBusConnection::connectToBus(address, QStringLiteral("portal"));
    QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("rekna"));
    ASSERT_TRUE(server.isConnected() && client.isConnected());
    EXPECT_FALSE(THotKeyPortal::Offered(client));
    // The stand-in lives and answers in a thread of its own.
    QThread thread;
    thread.start();
    auto* portalObject = new TFakePortal(server);
    TFakePortal& fake = *portalObject;
    fake.moveToThread(&thread);
    bool registered = false;
    QMetaObject::invokeMethod(
        &fake,
        [&] {
            registered = server.registerService(QStringLiteral("org.freedesktop.portal.Desktop")) &&
                         server.registerVirtualObject(kPortal, &fake, QDBusConnection::SubPath);
        },
        Qt::BlockingQueuedConnection);
    const auto stop = [&] {
        QMetaObject::invokeMethod(
            &fake,
            [&] {
                server.unregisterObject(kPortal, QDBusConnection::UnregisterTree);
                delete &fake;
            },
            Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
        QDBusConnection::disconnectFromBus(QStringLiteral("rekna"));
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
        bus.kill();
        bus.waitForFinished();
    };
    if (!registered) {
        stop();
        FAIL() << "the stand-in portal could not register";
    }
    EXPECT_TRUE(THotKeyPortal::Offered(client));

    std::vector<std::pair<bool, TModifierKeys>> presses;
    {
        THotKeyPortal portal(client, [&presses](bool deletion, const TModifierKeys& held) {
            presses.emplace_back(deletion, held);
        });
        portal.Bind();
        EXPECT_TRUE(QTest::qWaitFor([&portal] { return portal.Bound(); }, 5000));
        EXPECT_EQ(portal.Problem(), "");
        QString session;
        {
            const QMutexLocker lock(&fake.Lock);
            EXPECT_EQ(fake.Ids, (QStringList{"calc", "replace", "delete"}));
            EXPECT_EQ(fake.BoundSession, fake.Session);
            session = fake.Session;
        }
        // A press of another session is not ours.
        for (const QString& s : {kPortal + QStringLiteral("/session/other"), session}) {
            QDBusMessage activated = QDBusMessage::createSignal(
                kPortal, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                QStringLiteral("Activated"));
            activated << QVariant::fromValue(QDBusObjectPath(s)) << QStringLiteral("delete")
                      << qulonglong(1) << QVariantMap();
            server.send(activated);
        }
        EXPECT_TRUE(QTest::qWaitFor([&presses] { return !presses.empty(); }, 5000));
        QTest::qWait(100);
        EXPECT_EQ(presses.size(), 1u);
        if (!presses.empty()) {
            EXPECT_TRUE(presses[0].first);
            EXPECT_EQ(presses[0].second, (TModifierKeys{.LeftShift = true, .LeftCtrl = true}));
        }
    }
    // The portal's session ends with it.
    {
        const QMutexLocker lock(&fake.Lock);
        EXPECT_EQ(fake.Closed, fake.Session);
    }
    stop();
}

}  // namespace
}  // namespace rekna
