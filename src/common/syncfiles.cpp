#include "common/syncfiles.h"

#include "common/settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTimer>

namespace {

const QRegularExpression &conflictPattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(.*?)(?:\\.sync-conflict-\\d{8}-\\d{6}-[A-Za-z0-9]+| \\(conflicted copy [^)]*\\))(\\.[^.]*)?$"));
    return pattern;
}

// The pattern is matched only against names that hold one of its fixed parts, so a start-up that finds
// no conflict copy never loads the pattern engine (half a megabyte of memory).
const QLatin1String SyncEngineMark(".sync-conflict-"); // Syncthing's
const QLatin1String OtherEngineMark(" (conflicted copy"); // other engines', and this program's own

bool mayBeConflictCopy(const QString &fileName)
{
    return fileName.contains(SyncEngineMark) || fileName.contains(OtherEngineMark);
}

} // namespace

QString FileStamp(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return QStringLiteral("%1 %2 %3")
        .arg(info.size())
        .arg(info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch())
        .arg(info.fileTime(QFileDevice::FileMetadataChangeTime).toMSecsSinceEpoch());
}

bool IsConflictCopy(const QString &fileName)
{
    return mayBeConflictCopy(fileName) && conflictPattern().match(fileName).hasMatch();
}

QString ConflictOriginal(const QString &fileName)
{
    if (!mayBeConflictCopy(fileName))
        return {};
    const QRegularExpressionMatch match = conflictPattern().match(fileName);
    return match.hasMatch() ? match.captured(1) + match.captured(2) : QString();
}

QStringList ConflictCopiesIn(const QString &folder, const QString &of)
{
    // A day's folder holds thousands of names: the pattern sees only those that begin like a copy of
    // `of`. Plain prefixes, not name filters, which would load the pattern engine at every start.
    const QString base = QFileInfo(of).completeBaseName().isEmpty() ? of : QFileInfo(of).completeBaseName();
    const QString syncPrefix = base + SyncEngineMark;
    const QString copyPrefix = base + OtherEngineMark;
    QStringList copies;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort)) {
        if (of.isEmpty() ? IsConflictCopy(name)
                         : (name.startsWith(syncPrefix) || name.startsWith(copyPrefix)) && ConflictOriginal(name) == of)
            copies.append(name);
    }
    copies.sort();
    return copies;
}

QStringList UntoldConflictCopies(const QString &dataFolder, bool everywhere)
{
    const QDir data(dataFolder);
    QStringList folders { QString() };
    if (everywhere) {
        folders.append(QStringLiteral("PlanData"));
        for (const QString &category :
            QDir(data.filePath(QStringLiteral("ClipData"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            folders.append(QStringLiteral("ClipData/") + category);
    }
    const QStringList told = Settings::get(Key::ConflictsTold).split(u'\n', Qt::SkipEmptyParts);
    QStringList untold;
    for (const QString &folder : std::as_const(folders)) {
        for (const QString &name : ConflictCopiesIn(data.filePath(folder))) {
            const QString path = folder.isEmpty() ? name : folder + u'/' + name;
            if (!told.contains(path) && !(folder.isEmpty() && ConflictOriginal(name) == QLatin1String("reminders.dat")))
                untold.append(path);
        }
    }
    if (!untold.isEmpty())
        Settings::save(Key::ConflictsTold, (told + untold).join(u'\n'));
    return untold;
}

QString ConflictCopyPath(const QString &path)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix().isEmpty() || file.completeBaseName().isEmpty()
        ? QString()
        : QStringLiteral(".") + file.suffix();
    const QString base = suffix.isEmpty() ? file.fileName() : file.completeBaseName();
    const QString copy = QStringLiteral("%1 (conflicted copy %2 %3)%4")
                             .arg(base, QSysInfo::machineHostName(),
                                 QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HHmmss")), suffix);
    return file.dir().filePath(copy);
}

QString KeepConflictCopy(const QString &path, QString *tried)
{
    const QString copy = ConflictCopyPath(path);
    if (tried)
        *tried = copy;
    return QFile::copy(path, copy) ? copy : QString();
}

Message ConflictCopyMessage(const QString &what, const QString &copy)
{
    return { Message::Icon::Information, QCoreApplication::translate("Sync", "Quillory2: Conflict copy"),
        QCoreApplication::translate(
            "Sync", "%1 was changed on another computer too. Your text is saved; the other text is kept in\r\n%2")
            .arg(what, QDir::toNativeSeparators(copy)) };
}

FileWatch::FileWatch(QObject *parent)
    : QObject(parent)
    , m_watcher(new QFileSystemWatcher(this))
    , m_gather(new QTimer(this))
{
    m_gather->setSingleShot(true);
    m_gather->setInterval(300);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_gather, qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_gather, qOverload<>(&QTimer::start));
    connect(m_gather, &QTimer::timeout, this, [this] {
        rewatch(); // a file replaced by rename is a new file: the watch follows the name
        Q_EMIT touched();
    });
}

void FileWatch::watch(const QString &path, const QStringList &folders)
{
    QStringList wanted = folders;
    if (!path.isEmpty())
        wanted.append(QFileInfo(path).absolutePath());
    if (path == m_path && wanted == m_folders)
        return;
    const QStringList watched = m_watcher->files() + m_watcher->directories();
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    m_path = path;
    m_folders = wanted;
    m_gather->stop();
    rewatch();
    settle();
}

void FileWatch::rewatch()
{
    for (const QString &folder : std::as_const(m_folders)) {
        if (!m_watcher->directories().contains(folder) && QFileInfo(folder).isDir())
            m_watcher->addPath(folder);
    }
    if (!m_path.isEmpty() && !m_watcher->files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher->addPath(m_path);
}

void FileWatch::settle()
{
    m_stamp = FileStamp(m_path);
}

bool FileWatch::changedOnDisk() const
{
    return !m_path.isEmpty() && FileStamp(m_path) != m_stamp;
}
