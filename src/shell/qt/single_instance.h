// TSingleInstance: one running Rekna per user, and the command line of a second start handed to it.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace rekna {

// The first instance holds a lock file and listens on a local socket, both in the user's
// private runtime folder. A second start finds the lock taken and sends its arguments over the
// socket; the first acknowledges a complete, well-formed message and then reports it through
// OnArguments. A lock left by a crashed instance is taken over.
//
// Message: "RKNA", the payload length (32-bit big-endian), then the payload: the argument count
// and, per argument, its length and its UTF-8 bytes (all 32-bit big-endian). The answer is "RKOK".
class TSingleInstance : public QObject {
    Q_OBJECT

public:
    // The key names the lock and the socket ("rekna" when empty); tests use keys of their own.
    explicit TSingleInstance(QString key = {}, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this process is the only one; it then listens for later starts. Also true when
    // no lock can be made at all (an unwritable folder): then every start runs on its own.
    // False when another instance holds the lock.
    bool Claim();

    // Sends the arguments to the running instance: those that name files or folders, and every
    // other one that does not begin with "-", go as absolute paths, since the running instance
    // has a current folder of its own. True when the instance acknowledged them within the
    // timeout; on false the caller starts normally.
    bool HandOver(const QStringList& arguments, int timeoutMs = 2000);

    // Asks the running instance for a hot-key press ("calc", "replace", "delete"), sent as the
    // two arguments "--hotkey" and the name, which no hand-over of a command line can be (it
    // makes the name an absolute path). True when the instance acknowledged it.
    bool SendHotKey(const QString& name, int timeoutMs = 2000);
    // The name a message of SendHotKey carries; empty for any other message.
    [[nodiscard]] static QString HotKeyOf(const QStringList& arguments);

    // In the running instance, called from the event loop after the acknowledgement.
    std::function<void(const QStringList&)> OnArguments;

    // Where the lock file and the socket are.
    [[nodiscard]] QString LockPath() const { return FLockPath; }
    [[nodiscard]] QString ServerPath() const { return FServerPath; }
    // True after a Claim that returned true and a listening server.
    [[nodiscard]] bool Listening() const noexcept;

    // The message that carries the arguments, and its reading; Decode gives false for anything
    // that is not exactly one well-formed message.
    [[nodiscard]] static QByteArray Encode(const QStringList& arguments);
    [[nodiscard]] static bool Decode(const QByteArray& message, QStringList* arguments);

    // A message larger than this is refused before it is read.
    static constexpr qint64 kMaxPayload = 1 << 20;

private:
    void Accept();
    void Read(QLocalSocket* socket);
    bool Send(const QByteArray& message, int timeoutMs);

    QString FLockPath;
    QString FServerPath;
    std::unique_ptr<QLockFile> FLock;
    QLocalServer* FServer = nullptr;
};

}  // namespace rekna
