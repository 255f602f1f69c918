#include "platform/desktopnotifications.h"

#include "common/autostart.h"
#include "platform/busnameowner.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
constexpr int NotifyTimeoutMs = 1000; // a healthy server answers in milliseconds
constexpr uint ReasonOther = 4;

QDBusMessage call(const QString &owner, const QString &method)
{
    return QDBusMessage::createMethodCall(owner, Path, Service, method);
}

QStringList flatActions(const QList<DesktopNotifications::Action> &actions)
{
    QStringList flat;
    for (const auto &action : actions)
        flat << action.key << action.label;
    return flat;
}

} // namespace

DesktopNotifications::DesktopNotifications(QObject *parent)
    : DesktopNotifications(QDBusConnection::sessionBus(), parent)
{ }

DesktopNotifications::DesktopNotifications(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_owner = new BusNameOwner(m_bus, Service, true, this);
    connect(m_owner, &BusNameOwner::changed, this, &DesktopNotifications::onOwnerChanged);
    // Any sender: the slots compare it with the owner, which may change between two messages.
    m_bus.connect(QString(), Path, Service, QStringLiteral("ActionInvoked"), this, SLOT(onActionInvoked(QDBusMessage)));
    m_bus.connect(
        QString(), Path, Service, QStringLiteral("NotificationClosed"), this, SLOT(onNotificationClosed(QDBusMessage)));
}

DesktopNotifications::~DesktopNotifications()
{
    // Buttons that would reach no one once the program has ended are taken off the desktop.
    for (const uint id : std::as_const(m_open))
        m_bus.send(call(m_owner->current(), QStringLiteral("CloseNotification")) << id);
}

bool DesktopNotifications::canShowActions() const
{
    return m_owner && !m_owner->current().isEmpty() && m_capabilities.contains(QLatin1String("actions"));
}

uint DesktopNotifications::notify(const QString &summary, const QString &body, const QList<Action> &actions)
{
    if (!m_owner || m_owner->current().isEmpty())
        return 0;
    const QVariantMap hints { { QStringLiteral("desktop-entry"), Autostart::appId() },
        { QStringLiteral("urgency"), QVariant::fromValue(uchar(1)) } };
    QDBusMessage message = call(m_owner->current(), QStringLiteral("Notify"));
    message << QCoreApplication::applicationName() << 0u << Autostart::appId() << summary << bodyText(body)
            << flatActions(actions) << hints << -1;
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, NotifyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    const uint id = reply.arguments().constFirst().toUInt();
    if (id != 0)
        m_open.insert(id);
    return id;
}

void DesktopNotifications::close(uint id)
{
    if (m_open.contains(id))
        m_bus.send(call(m_owner->current(), QStringLiteral("CloseNotification")) << id);
}

void DesktopNotifications::onOwnerChanged(const QString &owner)
{
    closeAllOpen();
    m_capabilities.clear();
    if (!owner.isEmpty())
        askCapabilities(owner);
    Q_EMIT availabilityChanged();
}

void DesktopNotifications::askCapabilities(const QString &owner)
{
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call(owner, QStringLiteral("GetCapabilities"))), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this, owner](QDBusPendingCallWatcher *watcher) {
        const QDBusPendingReply<QStringList> reply = *watcher;
        watcher->deleteLater();
        if (!reply.isValid() || owner != m_owner->current())
            return;
        m_capabilities = reply.value();
        Q_EMIT availabilityChanged();
    });
}

void DesktopNotifications::closeAllOpen()
{
    const QSet<uint> open = std::exchange(m_open, {});
    for (const uint id : open)
        Q_EMIT closed(id, ReasonOther);
}

QString DesktopNotifications::bodyText(const QString &body) const
{
    QString text = body;
    if (text.size() > BodyLimit) {
        const int cut = text.at(BodyLimit - 1).isHighSurrogate() ? BodyLimit - 1 : BodyLimit;
        text = text.left(cut) + QChar(0x2026);
    }
    // A server that reads markup would take "<" in a message for the start of a tag.
    return m_capabilities.contains(QLatin1String("body-markup")) ? text.toHtmlEscaped() : text;
}

void DesktopNotifications::onActionInvoked(const QDBusMessage &message)
{
    const QVariantList args = message.arguments();
    if (message.service() != m_owner->current() || args.size() != 2)
        return;
    const uint id = args.at(0).toUInt();
    if (m_open.contains(id))
        Q_EMIT actionInvoked(id, args.at(1).toString());
}

void DesktopNotifications::onNotificationClosed(const QDBusMessage &message)
{
    const QVariantList args = message.arguments();
    if (message.service() != m_owner->current() || args.size() != 2)
        return;
    const uint id = args.at(0).toUInt();
    if (m_open.remove(id))
        Q_EMIT closed(id, args.at(1).toUInt());
}
