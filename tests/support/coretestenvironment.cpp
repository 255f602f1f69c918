#include "coretestenvironment.h"

#include "common/autostart.h"
#include "common/clock.h"
#include "common/datafolder.h"
#include "common/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

CoreTestEnvironment::CoreTestEnvironment()
{
    QStandardPaths::setTestModeEnabled(true);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QDir(m_dir.path()).mkpath(QStringLiteral("data"));
    DataFolder::setPath(dataPath());
    m_settingsFile = m_dir.filePath(QStringLiteral("settings.ini"));
    Settings::useFile(m_settingsFile);
    Clock::useSystem();
    Autostart::setFolder(m_dir.filePath(QStringLiteral("config/autostart"))); // never the user's own
}

CoreTestEnvironment::~CoreTestEnvironment()
{
    Clock::useSystem();
    Settings::useFile(QString());
    DataFolder::setPath(QString());
    Autostart::setFolder(QString());
}

QString CoreTestEnvironment::dataPath(const QString &name) const
{
    const QString folder = m_dir.filePath(QStringLiteral("data"));
    return name.isEmpty() ? folder : QDir(folder).filePath(name);
}

void CoreTestEnvironment::setNow(const QDateTime &now)
{
    Clock::setFixed(now);
}

QByteArray CoreTestEnvironment::readBytes(const QString &name) const
{
    QFile file(dataPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void CoreTestEnvironment::writeBytes(const QString &name, const QByteArray &bytes) const
{
    QDir().mkpath(QFileInfo(dataPath(name)).path());
    QFile file(dataPath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

std::optional<QByteArray> CoreTestEnvironment::inChild(const std::function<QByteArray()> &work)
{
    int channel[2];
    if (pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        ::close(channel[0]);
        const QByteArray result = work();
        _exit(::write(channel[1], result.constData(), size_t(result.size())) == result.size() ? 0 : 1);
    }
    ::close(channel[1]);
    QFile fromChild;
    fromChild.open(channel[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const QByteArray result = fromChild.readAll();
    int status = 0;
    const bool done = child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return done ? std::optional(result) : std::nullopt;
}

std::optional<QByteArray> CoreTestEnvironment::withoutRoot(const std::function<QByteArray()> &work) const
{
    if (geteuid() != 0)
        return work();
    QFile::setPermissions(m_dir.path(), QFileInfo(m_dir.path()).permissions() | QFile::ExeOther);
    // The first byte tells whether the child got as far as the work: 'R' ran it, 'U' could not.
    const std::optional<QByteArray> said = inChild([this, &work]() -> QByteArray {
        const int nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0 || !QFileInfo(dataPath()).isDir())
            return QByteArrayLiteral("U");
        return QByteArray(1, 'R') + work();
    });
    if (!said)
        return QByteArrayLiteral("(the child without root ended before it was done)");
    return said->startsWith('U') ? std::nullopt : std::optional(said->mid(1));
}
