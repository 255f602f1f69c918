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
    // name: a path-free name; the lock and the socket go into the user's runtime folder,
    // or into folder when one is given (tests).
    explicit SingleInstance(const QString &name, const QString &folder = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    bool claim(); // true when this is the only copy; it then listens for later starts
    bool tellRunningCopy(); // true when the running copy received the request

Q_SIGNALS:
    void secondStartRequested();

private:
    QString m_socketPath;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
