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

DunstServer::DunstServer(const PrivateBus &bus)
{
    m_xvfb.start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("800x600x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp") });
    if (!m_xvfb.waitForStarted() || !m_xvfb.waitForReadyRead(30000)) {
        m_error = QStringLiteral("Xvfb gave no display (scripts/install-deps installs it)");
        return;
    }
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("DISPLAY"), u':' + QString::fromLatin1(m_xvfb.readLine().trimmed()));
    m_env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    m_env.insert(QStringLiteral("HOME"), m_home.path());
    m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
    m_dunst.setProcessEnvironment(m_env);
    m_dunst.start(QStringLiteral("dunst"), { QStringLiteral("-config"), QStringLiteral("/dev/null") });
    if (!m_dunst.waitForStarted())
        m_error = QStringLiteral("dunst did not start (scripts/install-deps installs it)");
}

DunstServer::~DunstServer()
{
    for (QProcess *process : { &m_dunst, &m_xvfb }) {
        process->terminate();
        process->waitForFinished();
    }
}

int DunstServer::displayed() const
{
    QProcess ctl;
    ctl.setProcessEnvironment(m_env);
    ctl.start(QStringLiteral("dunstctl"), { QStringLiteral("count"), QStringLiteral("displayed") });
    if (!ctl.waitForFinished())
        return -1;
    bool ok = false;
    const int count = ctl.readAllStandardOutput().trimmed().toInt(&ok);
    return ok ? count : -1;
}
