#pragma once

#include <QDBusConnection>
#include <QProcess>
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

// A real notification server (dunst) on the bus, showing on a display of its own (Xvfb). Both end
// with the object.
class DunstServer
{
public:
    explicit DunstServer(const PrivateBus &bus);
    ~DunstServer();
    DunstServer(const DunstServer &) = delete;
    DunstServer &operator=(const DunstServer &) = delete;

    QString error() const { return m_error; } // why it did not start; empty when it runs
    int displayed() const; // the notifications on screen, -1 when dunst cannot be asked

private:
    QTemporaryDir m_home;
    QProcess m_xvfb;
    QProcess m_dunst;
    QProcessEnvironment m_env;
    QString m_error;
};
