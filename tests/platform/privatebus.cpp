#include "privatebus.h"

#include <QDBusMessage>
#include <QFile>
#include <QProcess>

#include <csignal>

namespace {

const QByteArray Config = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/></policy>
</busconfig>
)";

} // namespace

PrivateBus::PrivateBus()
{
    QFile config(m_dir.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly) || config.write(Config) != Config.size()) {
        m_error = QStringLiteral("cannot write the bus configuration: ") + config.errorString();
        return;
    }
    config.close();
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--fork"),
            QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1") });
    if (!daemon.waitForFinished(30000) || daemon.exitCode() != 0) {
        m_error = QStringLiteral("dbus-daemon did not start (scripts/install-deps installs it): ")
            + daemon.errorString() + QString::fromLocal8Bit(daemon.readAllStandardError());
        return;
    }
    const QList<QByteArray> lines = daemon.readAllStandardOutput().split('\n');
    if (lines.size() < 2 || lines.at(1).toLongLong() <= 0) {
        m_error = QStringLiteral("dbus-daemon printed no address and pid");
        return;
    }
    m_address = QString::fromLocal8Bit(lines.at(0).trimmed());
    m_pid = lines.at(1).toLongLong();
}

PrivateBus::~PrivateBus()
{
    if (m_pid > 0)
        ::kill(pid_t(m_pid), SIGTERM);
}

QDBusConnection PrivateBus::connect(const QString &name) const
{
    return QDBusConnection::connectToBus(m_address, name);
}

void PrivateBus::flush(const QDBusConnection &connection)
{
    connection.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
}
