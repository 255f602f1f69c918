#include "../support/tablerow.h"
#include "platform/desktopnotifications.h"
#include "privatebus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QMutex>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");

// A notification server on its own connection and thread (the client's Notify call waits for it).
class FakeServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    FakeServer(const PrivateBus &bus, const QStringList &capabilities, uint firstId)
        : m_connection(bus.connect(QStringLiteral("server%1").arg(++s_count)))
        , m_capabilities(capabilities)
        , m_nextId(firstId)
    {
        moveToThread(&m_thread);
        m_thread.start();
        m_connection.registerObject(Path, this, QDBusConnection::ExportAllSlots);
    }
    ~FakeServer() override
    {
        QDBusConnection::disconnectFromBus(m_connection.name());
        m_thread.quit();
        m_thread.wait();
    }
    bool own(QDBusConnectionInterface::ServiceQueueOptions queue)
    {
        return m_connection.interface()->registerService(Service, queue, QDBusConnectionInterface::AllowReplacement);
    }
    void vanish() { m_connection.interface()->unregisterService(Service); }
    void emitSignal(const QString &name, const QVariantList &args) const
    {
        QDBusMessage message = QDBusMessage::createSignal(Path, Service, name);
        message.setArguments(args);
        m_connection.send(message);
        PrivateBus::flush(m_connection);
    }
    QString lastBody() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lastBody;
    }

public Q_SLOTS:
    QStringList GetCapabilities() { return m_capabilities; }
    uint Notify(const QString &, uint, const QString &, const QString &, const QString &body, const QStringList &,
        const QVariantMap &, int)
    {
        QMutexLocker lock(&m_mutex);
        m_lastBody = body;
        return m_nextId++;
    }
    void CloseNotification(uint id) { emitSignal(QStringLiteral("NotificationClosed"), { id, 3u }); }

private:
    static inline int s_count = 0;
    QThread m_thread;
    QDBusConnection m_connection;
    QStringList m_capabilities;
    mutable QMutex m_mutex;
    QString m_lastBody;
    uint m_nextId;
};

const QStringList WithActions { QStringLiteral("actions"), QStringLiteral("body") };
const QStringList WithoutActions { QStringLiteral("body") };

} // namespace

class TstDesktopNotifications : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_bus.error().isEmpty(), qPrintable(m_bus.error())); }
    void events_data();
    void events();
    void body_data();
    void body();
    void realServer();

private:
    QDBusConnection client() { return m_bus.connect(QStringLiteral("client%1").arg(++m_clients)); }

    PrivateBus m_bus;
    int m_clients = 0;
};

void TstDesktopNotifications::events_data()
{
    columns<QStringList, bool, QString, QString, bool>("capabilities", "late", "script", "expected", "actionsAfter");
    // Letters name the client's notifications: A is sent first; "notify X" sends X. The last step of each
    // script is heard, so that what an earlier step should not have caused would show before it.
    row("action pressed", WithActions, false, "press A", "action A done", true);
    row("expired", WithActions, false, "closed A 1", "closed A 1", true);
    row("dismissed", WithActions, false, "closed A 2", "closed A 2", true);
    row("closed by a call", WithActions, false, "closed A 3", "closed A 3", true);
    row("closed otherwise", WithActions, false, "closed A 4", "closed A 4", true);
    row("closed from here", WithActions, false, "close A", "closed A 3", true);
    row("no actions capability", WithoutActions, false, "closed A 2", "closed A 2", false);
    row("server appears after the client", WithActions, true, "press A", "action A done", true);
    row("press from another program ignored", WithActions, false, "strangerpress A;closed A 2", "closed A 2", true);
    row("press on a notification not sent here ignored", WithActions, false, "press Z;press A", "action A done", true);
    row("press after its close ignored", WithActions, false, "closed A 1;press A;notify B;press B",
        "closed A 1;action B done", true);
    row("server vanishes with one open", WithActions, false, "vanish", "closed A 4", false);
    // The new owner withholds actions: its capabilities are asked anew.
    row("server replaced, the old one ignored", WithActions, false, "replace;oldpress A;notify C;oldpress C;press C",
        "closed A 4;action C done", false);
}

void TstDesktopNotifications::events()
{
    auto [capabilities, late, script, expected, actionsAfter] = fetch<QStringList, bool, QString, QString, bool>(
        "capabilities", "late", "script", "expected", "actionsAfter");

    FakeServer first(m_bus, capabilities, 1);
    FakeServer second(m_bus, WithoutActions, 100);
    FakeServer stranger(m_bus, WithActions, 1);
    if (!late)
        QVERIFY(first.own(QDBusConnectionInterface::DontQueueService));
    const QDBusConnection bus = client();
    DesktopNotifications notifications(bus);
    QSignalSpy available(&notifications, &DesktopNotifications::availabilityChanged);
    PrivateBus::flush(bus); // the client's first look at the bus is answered before anything else happens
    if (late)
        QVERIFY(first.own(QDBusConnectionInterface::DontQueueService));
    QTRY_COMPARE(available.count(), 2); // the server, then its capabilities
    QCOMPARE(notifications.canShowActions(), capabilities.contains(QStringLiteral("actions")));

    QHash<QString, uint> ids { { QStringLiteral("Z"), 999u } };
    QStringList log;
    auto name = [&ids](uint id) { return ids.key(id, QString::number(id)); };
    connect(&notifications, &DesktopNotifications::actionInvoked, this,
        [&](uint id, const QString &key) { log << QStringLiteral("action %1 %2").arg(name(id), key); });
    connect(&notifications, &DesktopNotifications::closed, this,
        [&](uint id, uint reason) { log << QStringLiteral("closed %1 %2").arg(name(id)).arg(reason); });
    FakeServer *owner = &first;
    const QList<DesktopNotifications::Action> actions { { QStringLiteral("done"), QStringLiteral("Done") } };
    auto notify = [&](const QString &letter) {
        ids.insert(letter, notifications.notify(QStringLiteral("Title"), QStringLiteral("Body"), actions));
        return ids.value(letter) != 0;
    };
    QVERIFY(notify(QStringLiteral("A")));
    for (const QString &step : script.split(u';')) {
        const QStringList words = step.split(u' ');
        const QString &verb = words.at(0);
        const uint id = ids.value(words.value(1));
        const QString press = QStringLiteral("ActionInvoked");
        if (verb == QLatin1String("press"))
            owner->emitSignal(press, { id, QStringLiteral("done") });
        else if (verb == QLatin1String("strangerpress"))
            stranger.emitSignal(press, { id, QStringLiteral("done") });
        else if (verb == QLatin1String("oldpress"))
            first.emitSignal(press, { id, QStringLiteral("done") });
        else if (verb == QLatin1String("closed"))
            owner->emitSignal(QStringLiteral("NotificationClosed"), { id, words.at(2).toUInt() });
        else if (verb == QLatin1String("close"))
            notifications.close(id);
        else if (verb == QLatin1String("notify"))
            QVERIFY(notify(words.at(1)));
        else if (verb == QLatin1String("vanish"))
            first.vanish();
        else if (verb == QLatin1String("replace"))
            QVERIFY(second.own(QDBusConnectionInterface::ReplaceExistingService));
        if (verb == QLatin1String("replace") || verb == QLatin1String("vanish"))
            QTRY_COMPARE(available.count(), verb == QLatin1String("replace") ? 4 : 3);
        if (verb == QLatin1String("replace"))
            owner = &second;
    }
    QTRY_COMPARE(log, expected.split(u';'));
    QCOMPARE(notifications.canShowActions(), actionsAfter);
}

void TstDesktopNotifications::body_data()
{
    columns<QStringList, QString, QString>("capabilities", "body", "sent");
    const QString markup = QStringLiteral("a < b & c");
    row("plain text server", WithActions, markup, markup);
    row("markup server", (QStringList(WithActions) << QStringLiteral("body-markup")), markup,
        QStringLiteral("a &lt; b &amp; c"));
    const QString x(DesktopNotifications::BodyLimit, u'x');
    row("at the limit", WithActions, x, x);
    row("over the limit", WithActions, x + u'y', x + QChar(0x2026));
    const QString face = QStringLiteral("\U0001F600");
    row("a character of two units kept whole", WithActions, x.left(DesktopNotifications::BodyLimit - 1) + face,
        x.left(DesktopNotifications::BodyLimit - 1) + QChar(0x2026));
}

void TstDesktopNotifications::body()
{
    auto [capabilities, body, sent] = fetch<QStringList, QString, QString>("capabilities", "body", "sent");
    FakeServer server(m_bus, capabilities, 1);
    QVERIFY(server.own(QDBusConnectionInterface::DontQueueService));
    DesktopNotifications notifications(client());
    QSignalSpy available(&notifications, &DesktopNotifications::availabilityChanged);
    QTRY_COMPARE(available.count(), 2);
    QVERIFY(notifications.notify(QStringLiteral("Title"), body, {}) != 0);
    QCOMPARE(server.lastBody(), sent);
}

// A real server: it shows what is sent and reports its closing.
void TstDesktopNotifications::realServer()
{
    DunstServer dunst(m_bus);
    QVERIFY2(dunst.error().isEmpty(), qPrintable(dunst.error()));
    DesktopNotifications notifications(client());
    QTRY_VERIFY_WITH_TIMEOUT(notifications.canShowActions(), 30000);
    const uint id = notifications.notify(QStringLiteral("Tea"), QStringLiteral("The tea is ready"),
        { { QStringLiteral("done"), QStringLiteral("Done") } });
    QVERIFY(id != 0);
    QTRY_COMPARE(dunst.displayed(), 1);
    QSignalSpy closed(&notifications, &DesktopNotifications::closed);
    notifications.close(id);
    QTRY_COMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0), (QVariantList { id, 3u }));
    QTRY_COMPARE(dunst.displayed(), 0);
}

QTEST_GUILESS_MAIN(TstDesktopNotifications)
#include "tst_desktopnotifications.moc"
