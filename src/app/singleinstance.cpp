#include "app/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {

QString runtimeFolder(const QString &folder)
{
    if (!folder.isEmpty())
        return folder;
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    return runtime;
}

constexpr char request[] = "show\n";

std::unique_ptr<QLockFile> makeLock(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0); // a lock whose process is gone is stale, however young
    return lock;
}

} // namespace

SingleInstance::SingleInstance(
    const QString &name, const QString &lockFolder, const QString &socketFolder, QObject *parent)
    : QObject(parent)
    , m_socketPath(QDir(runtimeFolder(socketFolder)).filePath(name + QStringLiteral(".socket")))
    , m_lock(makeLock(QDir(lockFolder).filePath(name + QStringLiteral(".lock"))))
    , m_fallbackLockPath(QDir(runtimeFolder(socketFolder)).filePath(name + QStringLiteral(".lock")))
{ }

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    if (!m_lock->tryLock(0) && m_lock->error() != QLockFile::LockFailedError) {
        m_lock = makeLock(m_fallbackLockPath); // the data folder cannot hold a lock
        m_lock->tryLock(0);
    }
    if (!m_lock->isLocked())
        return false;
    QLocalServer::removeServer(m_socketPath); // left behind by a copy that was killed
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().startsWith(QByteArrayView(request).chopped(1)))
                    Q_EMIT secondStartRequested();
                socket->disconnectFromServer();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    m_server->listen(m_socketPath);
    return true;
}

bool SingleInstance::tellRunningCopy()
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(request);
    return socket.waitForBytesWritten(2000);
}
