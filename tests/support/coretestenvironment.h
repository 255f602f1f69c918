#pragma once

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <optional>

// Everything a core test pins: a temporary data folder, a settings file of its own, a login-entry
// folder of its own, the locale and a fixed clock (when set). Create one per test function (init()).
// Qt Core only.
class CoreTestEnvironment
{
public:
    CoreTestEnvironment();
    virtual ~CoreTestEnvironment();

    QString dataPath(const QString &name = QString()) const;
    QString settingsFile() const { return m_settingsFile; }

    void setNow(const QDateTime &now);

    // Text files in the data folder, as bytes; writing makes the folders on the way.
    QByteArray readBytes(const QString &name) const;
    void writeBytes(const QString &name, const QByteArray &bytes) const;

    // Runs `work` as a user whom file permissions bind. Root ignores them, so as root `work` runs in a
    // child process that has given root up; its result comes back through a pipe. Nothing when that
    // child cannot reach the test's folder.
    std::optional<QByteArray> withoutRoot(const std::function<QByteArray()> &work) const;

    // Runs `work` in a forked child process and gives back what it returned; nothing when the child
    // ended any other way. For steps that change the process (its limits, its user).
    static std::optional<QByteArray> inChild(const std::function<QByteArray()> &work);

private:
    QTemporaryDir m_dir;
    QString m_settingsFile;
};
