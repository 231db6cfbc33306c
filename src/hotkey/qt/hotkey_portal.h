// THotKeyPortal: the three hot keys registered with the desktop's GlobalShortcuts portal
// (org.freedesktop.portal.GlobalShortcuts), which asks the user once to confirm or choose the
// keys and then reports their presses.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <string>

#include "hotkey/hotkey_tables.h"

namespace rekna {

class THotKeyPortal : public QObject {
    Q_OBJECT

public:
    using TPressHandler = std::function<void(bool deletion, const TModifierKeys& held)>;

    // bus: the session bus (another one in tests).
    THotKeyPortal(QDBusConnection bus, TPressHandler onPress, QObject* parent = nullptr);
    ~THotKeyPortal() override;
    THotKeyPortal(const THotKeyPortal&) = delete;
    THotKeyPortal& operator=(const THotKeyPortal&) = delete;

    // Whether the bus offers the portal's interface.
    [[nodiscard]] static bool Offered(const QDBusConnection& bus);

    // Opens a session and binds "calc", "replace" and "delete"; the answers come later.
    void Bind();
    // Closes the session: the keys go back to the desktop.
    void Close();
    [[nodiscard]] bool Bound() const noexcept { return FBound; }
    // What went wrong with the portal (UTF-8), empty while nothing did.
    [[nodiscard]] const std::string& Problem() const noexcept { return FProblem; }

private slots:
    void Activated(const QDBusMessage& signal);

private:
    // Calls a portal method that answers through a Request object; then() gets its results.
    void Request(const QString& method, const QList<QVariant>& arguments,
                 std::function<void(const QVariantMap&)> then);
    void Fail(const QString& why);

    QDBusConnection FBus;
    TPressHandler FOnPress;
    QString FSession;  // object path of the open session
    bool FBound = false;
    int FToken = 0;
    std::string FProblem;
};

}  // namespace rekna
