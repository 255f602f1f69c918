#pragma once

#include <QDBusConnection>
#include <QDateTime>
#include <QObject>

class BusNameOwner;
class QDBusMessage;

// Tells when the computer woke from sleep: from logind's PrepareForSleep(false) on the system bus where
// there is one, and in any case from a jump of the wall clock between two ticks of the caller's timer.
class WakeWatcher final : public QObject
{
    Q_OBJECT

public:
    explicit WakeWatcher(QObject *parent = nullptr); // the system bus, if any
    explicit WakeWatcher(const QDBusConnection &systemBus, QObject *parent = nullptr);

    // Called on each tick of a timer of tickMs with the wall clock: a time more than a minute away from
    // the expected one (forward or back) emits clockJumped with the difference in seconds.
    void tick(const QDateTime &now, int tickMs);

    static constexpr qint64 JumpLimitMs = 60 * 1000;

    // The login manager's name on the bus once its owner is known (asked without blocking at the
    // start); empty before that, or with no login manager. Only its signals count.
    QString loginManager() const;

Q_SIGNALS:
    void wokeUp();
    void clockJumped(qint64 seconds);

private:
    Q_SLOT void onPrepareForSleep(const QDBusMessage &message);

    QDBusConnection m_bus;
    BusNameOwner *m_owner = nullptr;
    QDateTime m_last;
};
