#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTest>

// The program as users start it, in a home folder of its own (its settings, data and runtime
// folders under `home`), headless and set to start quietly: no splash, no toolbar.
inline QString programSettingsFile(const QString &home)
{
    return home + QStringLiteral("/.config/Quillory2/Quillory2.conf");
}

inline QString programDataFolder(const QString &home)
{
    return home + QStringLiteral("/.local/share/Quillory2");
}

inline QProcessEnvironment programEnvironment(const QString &home)
{
    QDir().mkpath(home + QStringLiteral("/run"));
    QFile::setPermissions(home + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QDir().mkpath(QFileInfo(programSettingsFile(home)).path());
    QSettings seed(programSettingsFile(home), QSettings::IniFormat);
    seed.setValue(QStringLiteral("Settings/1901"), QStringLiteral("0"));
    seed.setValue(QStringLiteral("Settings/1902"), QStringLiteral("0"));
    return environment;
}

// Starts the program (QY2_APP_PATH, set by the test's target) as users start it; false when it does not.
inline bool startProgram(QProcess &program, const QProcessEnvironment &environment, const QStringList &arguments = {})
{
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QY2_APP_PATH), arguments);
    return program.waitForStarted();
}

// Waits until the program has written `words` to its standard error; all it said is kept in *said.
inline bool waitUntilSaid(QProcess &program, const QByteArray &words, int timeoutMs, QByteArray *said)
{
    return QTest::qWaitFor([&] { return (*said += program.readAllStandardError()).contains(words); }, timeoutMs);
}
