#include "platform/singleinstance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QSysInfo>

#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::unique_ptr<QLockFile> makeLock(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    // Never stale by age (a copy may run for weeks); a lock whose process is gone is still taken over.
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

SingleInstance::SingleInstance(
    const QString &name, const QString &lockFolder, const QString &pipeFolder, QObject *parent)
    : QObject(parent)
    , m_pipePath(QDir(runtimeFolder(pipeFolder)).filePath(name + QStringLiteral(".pipe")))
    , m_lock(makeLock(QDir(lockFolder).filePath(lockFileName(name, QSysInfo::machineHostName()))))
    , m_fallbackLockPath(QDir(runtimeFolder(pipeFolder)).filePath(lockFileName(name, QSysInfo::machineHostName())))
{ }

QString SingleInstance::lockFileName(const QString &name, const QString &host)
{
    QString safeHost = host;
    for (QChar &c : safeHost) {
        if (!(c.unicode() < 128 && (c.isLetterOrNumber() || c == u'.' || c == u'-')))
            c = u'_';
    }
    return name + QLatin1Char('-') + safeHost + QStringLiteral(".lock");
}

SingleInstance::~SingleInstance()
{
    m_notifier.reset();
    for (int end : { m_readEnd, m_keptWriteEnd }) {
        if (end >= 0)
            ::close(end);
    }
    if (m_readEnd >= 0)
        QFile::remove(m_pipePath);
}

bool SingleInstance::claim()
{
    if (!m_lock->tryLock(0) && m_lock->error() != QLockFile::LockFailedError) {
        m_lock = makeLock(m_fallbackLockPath); // the lock folder cannot hold a lock
        m_lock->tryLock(0);
    }
    if (!m_lock->isLocked())
        return false;
    const QByteArray path = QFile::encodeName(m_pipePath);
    ::unlink(path.constData()); // left behind by a copy that was killed
    if (::mkfifo(path.constData(), 0600) != 0)
        return true; // the only copy still, though later starts cannot reach it
    m_readEnd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    m_keptWriteEnd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_readEnd >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_readEnd, QSocketNotifier::Read);
        connect(m_notifier.get(), &QSocketNotifier::activated, this, &SingleInstance::readRequests);
    }
    return true;
}

void SingleInstance::readRequests()
{
    char bytes[256];
    ssize_t got = 0;
    while ((got = ::read(m_readEnd, bytes, sizeof bytes)) > 0)
        m_partial.append(bytes, got);
    bool asked = false;
    QList<QByteArray> requests;
    for (qsizetype end = m_partial.indexOf('\n'); end >= 0; end = m_partial.indexOf('\n')) {
        const QByteArray line = m_partial.left(end);
        m_partial.remove(0, end + 1);
        if (line == "show")
            asked = true;
        else if (!line.isEmpty())
            requests << line;
    }
    if (m_partial.size() > PIPE_BUF) // no request is that long: whatever wrote it was not a later start
        m_partial.clear();
    if (asked)
        Q_EMIT secondStartRequested();
    for (const QByteArray &line : std::as_const(requests))
        Q_EMIT requestReceived(line);
}

bool SingleInstance::tellRunningCopy(const QByteArray &request)
{
    const QByteArray line = request + '\n';
    if (line.size() > PIPE_BUF || request.contains('\n'))
        return false; // would arrive in pieces, mixed with other starts' requests
    // Opening without a reader fails at once (ENXIO): no copy is listening. Whatever else sits at the
    // path (a link, a file of someone else's) is left alone.
    const int end = ::open(QFile::encodeName(m_pipePath).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (end < 0)
        return false;
    struct stat info
    {
    };
    if (::fstat(end, &info) != 0 || !S_ISFIFO(info.st_mode) || info.st_uid != ::getuid()) {
        ::close(end);
        return false;
    }
    ::signal(SIGPIPE, SIG_IGN); // a copy ending just now makes the write fail, not this start
    const bool told = ::write(end, line.constData(), size_t(line.size())) == line.size();
    ::close(end);
    return told;
}
