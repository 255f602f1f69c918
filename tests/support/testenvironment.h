#pragma once

#include "widgets/dialogs.h"

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

// Everything a test pins: a temporary data folder, a settings file of its own, the locale,
// a fixed clock (when set) and a message-box recorder. Create one per test function (init()).
class TestEnvironment final
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString dataPath(const QString &name = QString()) const;
    QString settingsFile() const { return m_settingsFile; }

    void setNow(const QDateTime &now);

    // Text files in the data folder, as bytes.
    QByteArray readBytes(const QString &name) const;
    void writeBytes(const QString &name, const QByteArray &bytes) const;

    Dialogs::Recorder dialogs;

private:
    QTemporaryDir m_dir;
    QString m_settingsFile;
};
