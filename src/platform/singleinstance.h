#pragma once

#include <QLockFile>
#include <QObject>
#include <memory>

class QSocketNotifier;

// One copy of the program per user (the POSIX implementation: a lock file and a named pipe). The
// first start claims a lock and listens on a named pipe; a later start finds the lock taken, tells the
// running copy through the pipe (which raises secondStartRequested) and ends. A pipe rather than a
// local socket keeps the network library out of the program.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // name: a path-free name. The lock goes into lockFolder, a folder of this user on this computer
    // that no sync engine shares, so that two logins of one user with different runtime folders still
    // run one copy; its name carries the computer's name, so that a home shared between computers
    // keeps one copy on each. When that folder cannot hold it, the lock goes beside the pipe. The pipe
    // goes into the user's runtime folder, or into pipeFolder when one is given (tests).
    SingleInstance(const QString &name, const QString &lockFolder, const QString &pipeFolder = QString(),
        QObject *parent = nullptr);
    ~SingleInstance() override;

    static QString lockFileName(const QString &name, const QString &host);

    bool claim(); // true when this is the only copy; it then listens for later starts
    // True when the running copy received the request: "show" brings it forward; any other request is
    // one line of text that must fit in one write to the pipe (PIPE_BUF bytes with its line end).
    bool tellRunningCopy(const QByteArray &request = QByteArrayLiteral("show"));

Q_SIGNALS:
    void secondStartRequested();
    void requestReceived(const QByteArray &request); // every request but "show"

private:
    void readRequests();

    QString m_pipePath;
    std::unique_ptr<QLockFile> m_lock;
    QString m_fallbackLockPath;
    QByteArray m_partial; // the start of a request whose line end has not arrived yet
    int m_readEnd = -1;
    int m_keptWriteEnd = -1; // held open so that the pipe never reads as closed between later starts
    std::unique_ptr<QSocketNotifier> m_notifier;
};
