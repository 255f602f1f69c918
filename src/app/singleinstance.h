#pragma once

#include <QLockFile>
#include <QObject>
#include <memory>

class QLocalServer;

// One copy of the program per user: the first start claims a lock and listens; a later start finds
// the lock taken, tells the running copy (which raises secondStartRequested) and ends.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // name: a path-free name. The lock goes beside the data it protects (lockFolder), so that two
    // logins of one user with different runtime folders still run one copy; when that folder cannot
    // hold it, the lock goes beside the socket. The socket goes into the user's runtime folder, or into
    // socketFolder when one is given (tests).
    SingleInstance(const QString &name, const QString &lockFolder, const QString &socketFolder = QString(),
        QObject *parent = nullptr);
    ~SingleInstance() override;

    bool claim(); // true when this is the only copy; it then listens for later starts
    bool tellRunningCopy(); // true when the running copy received the request

Q_SIGNALS:
    void secondStartRequested();

private:
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QString m_fallbackLockPath;
    std::unique_ptr<QLocalServer> m_server;
};
