#pragma once

#include <QDBusConnection>
#include <QString>
#include <QTemporaryDir>

// A D-Bus daemon of the test's own, with no servers installed for activation: the test decides who owns
// which name. The daemon ends with the object.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    QString address() const { return m_address; }
    QString error() const { return m_error; } // why the daemon did not start; empty when it runs
    // A new connection under a name of the test's choosing.
    QDBusConnection connect(const QString &name) const;
    // Returns once every message sent on `connection` so far has been routed by the daemon.
    static void flush(const QDBusConnection &connection);

private:
    QTemporaryDir m_dir;
    QString m_address;
    QString m_error;
    qint64 m_pid = 0;
};
