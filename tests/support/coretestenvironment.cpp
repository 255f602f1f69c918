#include "coretestenvironment.h"

#include "common/autostart.h"
#include "common/clock.h"
#include "common/datafolder.h"
#include "common/settings.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>

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
    QFile file(dataPath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}
