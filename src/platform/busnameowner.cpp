#include "platform/busnameowner.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace {

QDBusMessage busCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), method);
}

} // namespace

BusNameOwner::BusNameOwner(const QDBusConnection &bus, const QString &name, bool startIfMissing, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_name(name)
{
    if (!m_bus.isConnected())
        return;
    auto *watcher = new QDBusServiceWatcher(name, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &owner) {
            m_heard = true;
            setOwner(owner);
        });
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(busCall(QStringLiteral("GetNameOwner")) << name), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, startIfMissing](QDBusPendingCallWatcher *call) {
        const QDBusPendingReply<QString> reply = *call;
        if (!m_heard && reply.isValid())
            setOwner(reply.value());
        else if (!m_heard && startIfMissing)
            startService();
        call->deleteLater();
    });
}

void BusNameOwner::startService()
{
    if (m_bus.isConnected())
        m_bus.send(busCall(QStringLiteral("StartServiceByName")) << m_name << 0u);
}

void BusNameOwner::setOwner(const QString &owner)
{
    if (owner == m_owner)
        return;
    m_owner = owner;
    Q_EMIT changed(owner);
}
