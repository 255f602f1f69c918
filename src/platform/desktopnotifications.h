#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class BusNameOwner;
class QDBusMessage;

// The desktop's notification service (org.freedesktop.Notifications) on the session bus. Every call is
// asynchronous or bounded by a short timeout; with no bus or no server the class costs next to nothing
// and notify() answers 0, so that the caller shows its own box instead.
class DesktopNotifications final : public QObject
{
    Q_OBJECT

public:
    struct Action
    {
        QString key;
        QString label;
    };

    explicit DesktopNotifications(QObject *parent = nullptr); // the session bus
    explicit DesktopNotifications(const QDBusConnection &bus, QObject *parent = nullptr);
    ~DesktopNotifications() override;

    // A server owns the name and reported the "actions" capability (asked once each time a server appears).
    bool canShowActions() const;
    // Sends one notification with the program's icon: the summary, the body (cut to a few hundred
    // characters) and the action buttons. Returns its id, 0 when no server answered.
    uint notify(const QString &summary, const QString &body, const QList<Action> &actions);
    // Asks the server to close a notification sent here; an id that is gone or unknown costs nothing.
    void close(uint id);

    static constexpr int BodyLimit = 300;

Q_SIGNALS:
    // Only from the current owner of the name, and only for notifications sent here.
    void actionInvoked(uint id, const QString &key);
    // 1 expired, 2 dismissed, 3 closed by a call, 4 other. A server that vanishes or is replaced closes
    // every notification it held with 4.
    void closed(uint id, uint reason);
    // A server appeared, vanished or was replaced, or its capabilities arrived.
    void availabilityChanged();

private:
    void onOwnerChanged(const QString &owner);
    void askCapabilities(const QString &owner);
    void closeAllOpen();
    QString bodyText(const QString &body) const;
    Q_SLOT void onActionInvoked(const QDBusMessage &message);
    Q_SLOT void onNotificationClosed(const QDBusMessage &message);

    QDBusConnection m_bus;
    BusNameOwner *m_owner = nullptr;
    QStringList m_capabilities;
    QSet<uint> m_open;
};
