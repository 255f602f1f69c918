#include "platform/wakewatcher.h"

#include "platform/busnameowner.h"

#include <QDBusMessage>

namespace {

const QString Login = QStringLiteral("org.freedesktop.login1");

} // namespace

WakeWatcher::WakeWatcher(QObject *parent)
    : WakeWatcher(QDBusConnection::systemBus(), parent)
{ }

WakeWatcher::WakeWatcher(const QDBusConnection &systemBus, QObject *parent)
    : QObject(parent)
    , m_bus(systemBus)
{
    if (!m_bus.isConnected())
        return;
    m_owner = new BusNameOwner(m_bus, Login, false, this);
    m_bus.connect(QString(), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
        SLOT(onPrepareForSleep(QDBusMessage)));
}

void WakeWatcher::tick(const QDateTime &now, int tickMs)
{
    const QDateTime last = std::exchange(m_last, now);
    if (!last.isValid())
        return;
    const qint64 offMs = last.msecsTo(now) - tickMs;
    if (qAbs(offMs) > JumpLimitMs)
        Q_EMIT clockJumped(offMs / 1000);
}

QString WakeWatcher::loginManager() const
{
    return m_owner ? m_owner->current() : QString();
}

void WakeWatcher::onPrepareForSleep(const QDBusMessage &message)
{
    const QVariantList args = message.arguments();
    if (message.service() == loginManager() && args.size() == 1 && !args.constFirst().toBool())
        Q_EMIT wokeUp();
}
