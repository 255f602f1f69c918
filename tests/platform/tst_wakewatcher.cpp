#include "../support/tablerow.h"
#include "platform/wakewatcher.h"
#include "privatebus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

class TstWakeWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tick_data();
    void tick();
    void prepareForSleep_data();
    void prepareForSleep();
};

void TstWakeWatcher::tick_data()
{
    columns<QDateTime, int>("first", "tickMs");
    QTest::addColumn<qint64>("lateMs"); // how much later than expected the second tick comes
    QTest::addColumn<QList<qint64>>("jumps");
    const QDateTime noon(QDate(2026, 5, 4), QTime(12, 0), Qt::UTC);
    row("on time", noon, 30000, 0LL, QList<qint64> {});
    row("a busy half minute late", noon, 30000, 30000LL, QList<qint64> {});
    row("exactly a minute late", noon, 30000, 60000LL, QList<qint64> {});
    row("two hours asleep", noon, 30000, 7200000LL, QList<qint64> { 7200 });
    row("clock set back an hour", noon, 30000, -3600000LL, QList<qint64> { -3600 });
    // The local time shows 03:00 a minute after 01:59, yet no time passed unseen.
    const QDateTime beforeSummer(QDate(2026, 3, 29), QTime(1, 59), QTimeZone("Europe/Berlin"));
    row("summer time begins", beforeSummer, 60000, 0LL, QList<qint64> {});
}

void TstWakeWatcher::tick()
{
    auto [first, tickMs, lateMs, jumps]
        = fetch<QDateTime, int, qint64, QList<qint64>>("first", "tickMs", "lateMs", "jumps");
    WakeWatcher watcher { QDBusConnection(QString()) }; // no system bus
    QSignalSpy jumped(&watcher, &WakeWatcher::clockJumped);
    watcher.tick(first, tickMs);
    watcher.tick(first.addMSecs(tickMs + lateMs), tickMs);
    QList<qint64> seen;
    for (const QVariantList &args : jumped)
        seen << args.at(0).toLongLong();
    QCOMPARE(seen, jumps);
}

void TstWakeWatcher::prepareForSleep_data()
{
    columns<bool, bool, int>("fromLogin", "sleeping", "wakeUps");
    // Each row ends with the login manager announcing a wake-up, heard after the row's own signal.
    row("waking", true, false, 2);
    row("going to sleep", true, true, 1);
    row("from another program", false, false, 1);
}

void TstWakeWatcher::prepareForSleep()
{
    auto [fromLogin, sleeping, wakeUps] = fetch<bool, bool, int>("fromLogin", "sleeping", "wakeUps");
    PrivateBus bus;
    QVERIFY2(bus.error().isEmpty(), qPrintable(bus.error()));
    const auto disconnect = qScopeGuard([] {
        for (const QString &name : { QStringLiteral("login"), QStringLiteral("stranger"), QStringLiteral("system") })
            QDBusConnection::disconnectFromBus(name); // the next row's bus takes the same names
    });
    const QDBusConnection login = bus.connect(QStringLiteral("login"));
    const QDBusConnection stranger = bus.connect(QStringLiteral("stranger"));
    QVERIFY(login.interface()->registerService(QStringLiteral("org.freedesktop.login1")));
    const QDBusConnection system = bus.connect(QStringLiteral("system"));
    WakeWatcher watcher(system);
    QSignalSpy woke(&watcher, &WakeWatcher::wokeUp);
    PrivateBus::flush(system); // the watcher's match rules are in place before any signal
    QTRY_COMPARE(watcher.loginManager(), login.baseService()); // and its owner is known
    auto announce = [](const QDBusConnection &from, bool start) {
        QDBusMessage message = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
        from.send(message << start);
        PrivateBus::flush(from);
    };
    announce(fromLogin ? login : stranger, sleeping);
    announce(login, false);
    QTRY_COMPARE(woke.count(), wakeUps);
}

QTEST_GUILESS_MAIN(TstWakeWatcher)
#include "tst_wakewatcher.moc"
