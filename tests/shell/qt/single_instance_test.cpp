// Tests of the single instance across processes: the claim, the hand-over of a second start's
// arguments, a crashed first instance, a hung one, and peers that send garbage.
#include "shell/qt/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace rekna {
namespace {

// Keys of their own, so that no test meets a running Rekna or another test's instance.
QString NewKey() {
    static std::atomic<int> serial{0};
    return QStringLiteral("rekna-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(serial++);
}

QByteArray U32(quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    return QByteArray(bytes, 4);
}

// A message with the given payload behind a correct header.
QByteArray Framed(const QByteArray& payload) {
    return QByteArray("RKNA") + U32(static_cast<quint32>(payload.size())) + payload;
}

struct TGarbage {
    const char* Name;
    QByteArray Bytes;
};

// Nothing of this is one well-formed message.
std::vector<TGarbage> Garbage() {
    const QByteArray one = U32(1) + U32(1) + "a";
    return {
        {"empty", {}},
        {"noise", QByteArray("hello, are you there?\n")},
        {"wrong magic", QByteArray("RKNB") + U32(5) + U32(1) + U32(1) + "a"},
        {"header only", QByteArray("RKNA") + U32(9)},
        {"huge length", QByteArray("RKNA") + U32(0xFFFFFFF0u) + one},
        {"length one short", QByteArray("RKNA") + U32(8) + one},
        {"truncated argument", Framed(U32(1) + U32(4) + "ab")},
        {"too many arguments", Framed(U32(1000) + U32(0))},
        {"argument too long", Framed(U32(1) + U32(0x7FFFFFFFu) + "abcd")},
        {"trailing bytes", Framed(one + "x")},
        {"count missing", Framed(QByteArray("ab"))},
        {"invalid utf-8", Framed(U32(1) + U32(2) + QByteArray("\xC3\x28", 2))},
        {"lone surrogate", Framed(U32(1) + U32(3) + QByteArray("\xED\xA0\x80", 3))},
    };
}

// The peer program with a key, a mode and arguments; its standard output read line by line.
class TPeer {
public:
    TPeer(const QString& key, const QString& mode, const QStringList& arguments = {},
          const QString& folder = {}) {
        FProcess.setProgram(QStringLiteral(REKNA_SINGLE_INSTANCE_PEER));
        FProcess.setArguments(QStringList{key, mode} + arguments);
        if (!folder.isEmpty()) FProcess.setWorkingDirectory(folder);
        FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        FProcess.start();
    }
    ~TPeer() {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished(5000);
        }
    }
    // The next line of output, or a null string after the timeout.
    QString Line(int timeoutMs = 10000) {
        QElapsedTimer clock;
        clock.start();
        while (!FProcess.canReadLine()) {
            if (clock.elapsed() > timeoutMs) return {};
            FProcess.waitForReadyRead(50);
        }
        return QString::fromUtf8(FProcess.readLine()).chopped(1);
    }
    // The exit code, or -1 when it did not end normally within the timeout.
    int Finish(int timeoutMs = 10000) {
        // Our own event loop keeps running: the peer may be handing over to this process.
        QElapsedTimer clock;
        clock.start();
        while (FProcess.state() != QProcess::NotRunning && clock.elapsed() < timeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            FProcess.waitForFinished(10);
        }
        if (FProcess.state() != QProcess::NotRunning ||
            FProcess.exitStatus() != QProcess::NormalExit)
            return -1;
        return FProcess.exitCode();
    }
    void Kill() {
        FProcess.kill();
        FProcess.waitForFinished(5000);
    }

private:
    QProcess FProcess;
};

// A first instance in this process that records what it is handed.
struct TFirst {
    explicit TFirst(const QString& key) : Instance(key) {
        Instance.OnArguments = [this](const QStringList& a) { Received.push_back(a); };
    }
    // Waits until n hand-overs arrived.
    bool WaitFor(std::size_t n, int timeoutMs = 10000) {
        QElapsedTimer clock;
        clock.start();
        while (Received.size() < n && clock.elapsed() < timeoutMs)
            QTest::qWait(10);
        return Received.size() >= n;
    }
    TSingleInstance Instance;
    std::vector<QStringList> Received;
};

TEST(SingleInstanceTest, SecondStartHandsOverItsArguments) {
    const QString key = NewKey();
    TFirst first(key);
    ASSERT_TRUE(first.Instance.Claim());
    ASSERT_TRUE(first.Instance.Listening());
    EXPECT_TRUE(QFileInfo::exists(first.Instance.LockPath()));

    // The second start runs in another folder: its relative names must arrive as paths there.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile memo(folder.filePath(QStringLiteral("memo.txt")));
    ASSERT_TRUE(memo.open(QIODevice::WriteOnly));
    memo.close();
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    const QDir at(folder.path());

    struct {
        QString Sent;
        QString Expected;
    } const rows[] = {
        {QStringLiteral("memo.txt"), at.absoluteFilePath(QStringLiteral("memo.txt"))},
        {QStringLiteral("sub"), at.absoluteFilePath(QStringLiteral("sub"))},
        {QString::fromUtf8("新規メモ.txt"), at.absoluteFilePath(QString::fromUtf8("新規メモ.txt"))},
        {QStringLiteral("/no/such/file.txt"), QStringLiteral("/no/such/file.txt")},
        {QStringLiteral("-x"), QStringLiteral("-x")},
        {QString(), QString()},
        {QStringLiteral("with space.txt"), at.absoluteFilePath(QStringLiteral("with space.txt"))},
    };
    QStringList sent;
    QStringList expected;
    for (const auto& r : rows) {
        sent << r.Sent;
        expected << r.Expected;
    }

    TPeer peer(key, QStringLiteral("handover"), QStringList{QStringLiteral("5000")} + sent,
               folder.path());
    EXPECT_EQ(peer.Finish(), 0) << "2: the peer could claim, 3: the hand-over failed";
    ASSERT_TRUE(first.WaitFor(1));
    ASSERT_EQ(first.Received.size(), 1u);
    EXPECT_EQ(first.Received[0], expected);

    // A start without arguments is handed over too: the running instance comes forward.
    TPeer bare(key, QStringLiteral("handover"), {QStringLiteral("5000")});
    EXPECT_EQ(bare.Finish(), 0);
    ASSERT_TRUE(first.WaitFor(2));
    EXPECT_TRUE(first.Received[1].isEmpty());
}

TEST(SingleInstanceTest, ClaimFailsWhileAnotherRunsAndHandsOverToIt) {
    const QString key = NewKey();
    TPeer running(key, QStringLiteral("hold"));
    ASSERT_EQ(running.Line(), QStringLiteral("ready"));

    TSingleInstance second(key);
    EXPECT_FALSE(second.Claim());
    EXPECT_FALSE(second.Listening());
    EXPECT_TRUE(second.HandOver({QStringLiteral("/tmp/a.txt"), QStringLiteral("-b")}));
    EXPECT_EQ(running.Line(), QStringLiteral("got\t/tmp/a.txt\t-b"));
}

TEST(SingleInstanceTest, LockOfACrashedInstanceIsTakenOver) {
    const QString key = NewKey();
    TSingleInstance probe(key);
    {
        TPeer crashed(key, QStringLiteral("hold"));
        ASSERT_EQ(crashed.Line(), QStringLiteral("ready"));
        crashed.Kill();
    }
    // The crash left both the lock file and the socket behind.
    EXPECT_TRUE(QFileInfo::exists(probe.LockPath()));
    EXPECT_TRUE(QFileInfo::exists(probe.ServerPath()));

    TFirst first(key);
    ASSERT_TRUE(first.Instance.Claim());
    ASSERT_TRUE(first.Instance.Listening());
    TPeer second(key, QStringLiteral("handover"), {QStringLiteral("5000"), QStringLiteral("/x")});
    EXPECT_EQ(second.Finish(), 0);
    ASSERT_TRUE(first.WaitFor(1));
    EXPECT_EQ(first.Received[0], QStringList{QStringLiteral("/x")});
}

TEST(SingleInstanceTest, HungInstanceLetsTheSecondStartRunOnItsOwn) {
    const QString key = NewKey();
    TPeer hung(key, QStringLiteral("hang"));
    ASSERT_EQ(hung.Line(), QStringLiteral("ready"));

    TSingleInstance second(key);
    EXPECT_FALSE(second.Claim());
    EXPECT_FALSE(second.HandOver({QStringLiteral("/tmp/a.txt")}, 300));
}

TEST(SingleInstanceTest, NoInstanceMeansNoHandOver) {
    TSingleInstance alone(NewKey());
    EXPECT_FALSE(alone.HandOver({QStringLiteral("/tmp/a.txt")}, 100));
    EXPECT_TRUE(alone.Claim());
    EXPECT_TRUE(alone.Claim());  // a second claim of the same holder changes nothing
    EXPECT_TRUE(alone.Listening());
}

TEST(SingleInstanceTest, ReleasedLockCanBeClaimedAgain) {
    const QString key = NewKey();
    QString lockPath;
    QString serverPath;
    {
        TSingleInstance first(key);
        ASSERT_TRUE(first.Claim());
        lockPath = first.LockPath();
        serverPath = first.ServerPath();
    }
    EXPECT_FALSE(QFileInfo::exists(lockPath));
    EXPECT_FALSE(QFileInfo::exists(serverPath));
    TSingleInstance next(key);
    EXPECT_TRUE(next.Claim());
}

TEST(SingleInstanceTest, NamesDifferByKeyAndHoldTheUser) {
    const TSingleInstance a(QStringLiteral("one"));
    const TSingleInstance b(QStringLiteral("two"));
    const TSingleInstance standard;
    EXPECT_NE(a.ServerPath(), b.ServerPath());
    EXPECT_NE(a.LockPath(), b.LockPath());
    EXPECT_TRUE(QFileInfo(standard.ServerPath()).fileName().startsWith(QStringLiteral("rekna-")));
    EXPECT_EQ(standard.LockPath(), standard.ServerPath() + QStringLiteral(".lock"));
    EXPECT_GT(QFileInfo(standard.ServerPath()).fileName().size(), 6);
}

TEST(SingleInstanceTest, MessagesRoundTrip) {
    const QStringList rows[] = {
        {},
        {QString()},
        {QStringLiteral("/tmp/a.txt")},
        {QString::fromUtf8("/home/ユーザー/計算 メモ.txt"), QStringLiteral("-x"), QString()},
        {QString(QChar(0xFEFF)) + QStringLiteral("bom"), QString::fromUtf8("\xF0\x9F\x98\x80")},
    };
    for (const QStringList& r : rows) {
        QStringList back{QStringLiteral("sentinel")};
        EXPECT_TRUE(TSingleInstance::Decode(TSingleInstance::Encode(r), &back))
            << r.join(u'|').toStdString();
        EXPECT_EQ(back, r);
    }
    for (const TGarbage& g : Garbage()) {
        QStringList back{QStringLiteral("sentinel")};
        EXPECT_FALSE(TSingleInstance::Decode(g.Bytes, &back)) << g.Name;
        EXPECT_EQ(back, QStringList{QStringLiteral("sentinel")}) << g.Name;
    }
}

TEST(SingleInstanceTest, GarbageAndBrokenPeersAreIgnored) {
    const QString key = NewKey();
    TFirst first(key);
    ASSERT_TRUE(first.Instance.Claim());

    for (const TGarbage& g : Garbage()) {
        QLocalSocket peer;
        peer.connectToServer(first.Instance.ServerPath());
        ASSERT_TRUE(peer.waitForConnected(2000)) << g.Name;
        peer.write(g.Bytes);
        peer.flush();
        QTest::qWait(30);
        // Nothing came back: no acknowledgement for garbage.
        EXPECT_EQ(peer.bytesAvailable(), 0) << g.Name;
        peer.abort();  // and the peer goes away midway
        QTest::qWait(10);
    }
    // A message cut off by a peer that goes away.
    {
        const QByteArray whole = TSingleInstance::Encode({QStringLiteral("/tmp/cut.txt")});
        QLocalSocket peer;
        peer.connectToServer(first.Instance.ServerPath());
        ASSERT_TRUE(peer.waitForConnected(2000));
        peer.write(whole.left(whole.size() - 3));
        peer.flush();
        QTest::qWait(30);
        peer.abort();
    }
    // A peer that says nothing keeps its connection but blocks no one.
    QLocalSocket silent;
    silent.connectToServer(first.Instance.ServerPath());
    ASSERT_TRUE(silent.waitForConnected(2000));

    QTest::qWait(50);
    EXPECT_TRUE(first.Received.empty());
    EXPECT_TRUE(first.Instance.Listening());

    // An oversized length is refused at once: the server closes the connection.
    {
        QLocalSocket peer;
        peer.connectToServer(first.Instance.ServerPath());
        ASSERT_TRUE(peer.waitForConnected(2000));
        peer.write(QByteArray("RKNA") + U32(0x7FFFFFFFu));
        peer.flush();
        QElapsedTimer clock;
        clock.start();
        while (peer.state() == QLocalSocket::ConnectedState && clock.elapsed() < 5000)
            QTest::qWait(10);
        EXPECT_EQ(peer.state(), QLocalSocket::UnconnectedState);
    }

    TPeer second(key, QStringLiteral("handover"), {QStringLiteral("5000"), QStringLiteral("/ok")});
    EXPECT_EQ(second.Finish(), 0);
    ASSERT_TRUE(first.WaitFor(1));
    EXPECT_EQ(first.Received.size(), 1u);
    EXPECT_EQ(first.Received[0], QStringList{QStringLiteral("/ok")});
}

}  // namespace
}  // namespace rekna
