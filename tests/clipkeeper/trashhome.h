#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

// The desktop's home trash in a temporary folder. Qt moves an item to the trash of its own file
// system when that differs from the home folder's, else to $XDG_DATA_HOME/Trash; and Qt's test mode
// would put that under ~/.qttest. So HOME and XDG_DATA_HOME both go into a temporary folder beside
// the test's data folder, and the standard paths leave test mode while this lives.
// Without a trash, XDG_DATA_HOME names a folder that does not exist and nothing can be trashed.
// The working folder moves into the temporary folder too, so that a test sees anything that lands
// there instead of in a trash.
class TrashHome final
{
public:
    explicit TrashHome(bool withTrash = true)
        : m_home(qgetenv("HOME"))
        , m_dataHome(qgetenv("XDG_DATA_HOME"))
        , m_hadDataHome(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
        , m_workingFolder(QDir::currentPath())
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("home/.local/share"));
        QDir(m_dir.path()).mkpath(QStringLiteral("work"));
        QDir::setCurrent(m_dir.filePath(QStringLiteral("work")));
        qputenv("HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home"))));
        qputenv("XDG_DATA_HOME",
            QFile::encodeName(m_dir.filePath(
                withTrash ? QStringLiteral("home/.local/share") : QStringLiteral("home/missing/share"))));
        QStandardPaths::setTestModeEnabled(false);
    }

    ~TrashHome()
    {
        QDir::setCurrent(m_workingFolder);
        QStandardPaths::setTestModeEnabled(true);
        qputenv("HOME", m_home);
        if (m_hadDataHome)
            qputenv("XDG_DATA_HOME", m_dataHome);
        else
            qunsetenv("XDG_DATA_HOME");
    }

    TrashHome(const TrashHome &) = delete;
    TrashHome &operator=(const TrashHome &) = delete;

    // What the trash holds, by the name each item has there.
    QString filesPath(const QString &name = QString()) const
    {
        const QString files = m_dir.filePath(QStringLiteral("home/.local/share/Trash/files"));
        return name.isEmpty() ? files : files + u'/' + name;
    }
    QStringList trashed() const
    {
        return QDir(filesPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList inWorkingFolder() const
    {
        return QDir(m_dir.filePath(QStringLiteral("work")))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_home;
    QByteArray m_dataHome;
    bool m_hadDataHome = false;
    QString m_workingFolder;
};
