// The single-instance lock, the local server of the first instance and the hand-over of a
// second start's arguments.
#include "shell/qt/single_instance.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

namespace rekna {
namespace {

constexpr char kMagic[] = "RKNA";
constexpr char kAnswer[] = "RKOK";
constexpr qsizetype kHeaderSize = 8;
// A peer that connects and then stalls is dropped, and a flood of peers cannot use up the
// running instance's file handles.
constexpr int kPeerTimeoutMs = 5000;
constexpr qsizetype kMaxPeers = 8;
// Pause between connection attempts while the first instance is still starting.
constexpr qint64 kRetryMs = 25;

// The login name when it is a plain file name; otherwise the numeric user id, which is just
// as unique.
QString UserName() {
    const uid_t uid = geteuid();
    if (const passwd* pw = getpwuid(uid); pw != nullptr && pw->pw_name != nullptr) {
        const QString name = QString::fromLocal8Bit(pw->pw_name);
        const bool plain = !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
            return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                   (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.';
        });
        if (plain) return name;
    }
    return QStringLiteral("uid%1").arg(uid);
}

void AppendU32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

quint32 ReadU32(const QByteArray& in, qsizetype pos) {
    return qFromBigEndian<quint32>(in.constData() + pos);
}

// Arguments go over as absolute paths, except options that name no file.
QStringList AbsoluteArguments(const QStringList& arguments) {
    QStringList out;
    out.reserve(arguments.size());
    for (const QString& a : arguments) {
        const QFileInfo info(a);
        const bool path = !a.isEmpty() && (info.exists() || !a.startsWith(u'-'));
        out << (path ? info.absoluteFilePath() : a);
    }
    return out;
}

}  // namespace

TSingleInstance::TSingleInstance(QString key, QObject* parent) : QObject(parent) {
    const QString name =
        (key.isEmpty() ? QStringLiteral("rekna") : key) + QLatin1Char('-') + UserName();
    // The runtime folder is private to the user; the temporary folder is shared, where the
    // socket's own access rights keep other users out.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    FLockPath = folder + QLatin1Char('/') + name + QStringLiteral(".lock");
    FServerPath = folder + QLatin1Char('/') + name;
}

TSingleInstance::~TSingleInstance() {
    if (FServer != nullptr) FServer->close();
    FLock.reset();
}

bool TSingleInstance::Listening() const noexcept {
    return FServer != nullptr && FServer->isListening();
}

bool TSingleInstance::Claim() {
    if (FLock) return true;
    auto lock = std::make_unique<QLockFile>(FLockPath);
    // Held for the whole run: only a lock whose process is gone counts as stale, never an old one.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return lock->error() != QLockFile::LockFailedError;
    FLock = std::move(lock);

    // Holding the lock, any socket left at the path belongs to a crashed instance.
    QLocalServer::removeServer(FServerPath);
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(FServer, &QLocalServer::newConnection, this, &TSingleInstance::Accept);
    if (!FServer->listen(FServerPath)) {
        delete FServer;
        FServer = nullptr;
    }
    return true;
}

void TSingleInstance::Accept() {
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        if (FServer->findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size() > kMaxPeers) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setReadBufferSize(kHeaderSize + kMaxPayload);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        QTimer::singleShot(kPeerTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0) Read(socket);
    }
}

void TSingleInstance::Read(QLocalSocket* socket) {
    const auto drop = [socket] {
        socket->disconnect();
        socket->abort();
        socket->deleteLater();
    };
    const qint64 available = socket->bytesAvailable();
    if (available < kHeaderSize) return;
    const QByteArray header = socket->peek(kHeaderSize);
    if (!header.startsWith(kMagic)) return drop();
    const qint64 length = ReadU32(header, 4);
    if (length > kMaxPayload) return drop();
    if (available < kHeaderSize + length) return;
    // One message per connection: anything after it is not ours.
    if (available > kHeaderSize + length) return drop();

    QStringList arguments;
    if (!Decode(socket->readAll(), &arguments)) return drop();
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write(kAnswer, 4);
    socket->flush();
    socket->disconnectFromServer();
    // Reported from the event loop, so that a handler that opens dialogs or loads a large file
    // does not hold up the answer.
    QMetaObject::invokeMethod(
        this,
        [this, arguments] {
            if (OnArguments) OnArguments(arguments);
        },
        Qt::QueuedConnection);
}

QByteArray TSingleInstance::Encode(const QStringList& arguments) {
    QByteArray payload;
    AppendU32(payload, static_cast<quint32>(arguments.size()));
    for (const QString& a : arguments) {
        const QByteArray utf8 = a.toUtf8();
        AppendU32(payload, static_cast<quint32>(utf8.size()));
        payload += utf8;
    }
    QByteArray message(kMagic, 4);
    AppendU32(message, static_cast<quint32>(payload.size()));
    return message + payload;
}

bool TSingleInstance::Decode(const QByteArray& message, QStringList* arguments) {
    if (message.size() < kHeaderSize + 4 || !message.startsWith(kMagic)) return false;
    const qint64 length = ReadU32(message, 4);
    if (length > kMaxPayload || length != message.size() - kHeaderSize) return false;
    qsizetype pos = kHeaderSize;
    const quint32 count = ReadU32(message, pos);
    pos += 4;
    // Every argument takes at least its four length bytes.
    if (count > static_cast<quint32>((message.size() - pos) / 4)) return false;
    QStringList out;
    out.reserve(count);
    for (quint32 i = 0; i < count; ++i) {
        if (message.size() - pos < 4) return false;
        const quint32 size = ReadU32(message, pos);
        pos += 4;
        if (size > static_cast<quint32>(message.size() - pos)) return false;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        QString text = utf8(QByteArrayView(message.constData() + pos, size));
        if (utf8.hasError()) return false;
        out << std::move(text);
        pos += size;
    }
    if (pos != message.size()) return false;
    if (arguments != nullptr) *arguments = std::move(out);
    return true;
}

bool TSingleInstance::HandOver(const QStringList& arguments, int timeoutMs) {
    return Send(Encode(AbsoluteArguments(arguments)), timeoutMs);
}

bool TSingleInstance::SendHotKey(const QString& name, int timeoutMs) {
    return Send(Encode({QStringLiteral("--hotkey"), name}), timeoutMs);
}

QString TSingleInstance::HotKeyOf(const QStringList& arguments) {
    // A hand-over's second argument is an absolute path.
    if (arguments.size() != 2 || arguments[0] != QLatin1String("--hotkey") ||
        arguments[1].startsWith(u'/'))
        return {};
    return arguments[1];
}

bool TSingleInstance::Send(const QByteArray& message, int timeoutMs) {
    if (message.size() - kHeaderSize > kMaxPayload) return false;
    const QDeadlineTimer deadline(std::max(timeoutMs, 0));
    const auto left = [&deadline] { return static_cast<int>(deadline.remainingTime()); };

    QLocalSocket socket;
    // The first instance takes the lock before it listens: it may not be there yet.
    for (;;) {
        socket.connectToServer(FServerPath);
        if (socket.waitForConnected(left())) break;
        socket.abort();
        if (deadline.hasExpired()) return false;
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(kRetryMs, left())));
    }
    socket.write(message);
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket.waitForBytesWritten(left())) return false;
    }
    QByteArray answer;
    while (answer.size() < 4) {
        if (socket.bytesAvailable() == 0 &&
            (deadline.hasExpired() || !socket.waitForReadyRead(left())))
            return false;
        answer += socket.read(4 - answer.size());
    }
    return answer == kAnswer;
}

}  // namespace rekna
