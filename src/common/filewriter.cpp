// The durable writes of textfile.h: whole-file replacement through a temporary file, appends, and the
// removal of what a cut-short save left behind.
#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <algorithm>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <QRandomGenerator>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

WriteStep s_failAt = WriteStep::None;

// True once when the test switch names this step, which then fails as a disk error would.
bool failing(WriteStep step)
{
    if (s_failAt != step)
        return false;
    s_failAt = WriteStep::None;
    errno = EIO;
    return true;
}

QString errnoText()
{
    return qt_error_string(errno);
}

#ifdef Q_OS_UNIX
// Makes a rename or a new file in the folder durable.
void syncFolder(const QString &filePath)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(filePath).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Every write checked, so that the reason of a failure is the system's own (errno is read at once).
QString writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errnoText();
        data += written;
        left -= written;
    }
    return QString();
}

// The reason the bytes could not be made durable in the open file, or an empty text.
QString writeDurably(int fd, const QByteArray &bytes)
{
    QString reason = writeAll(fd, bytes);
    if (reason.isEmpty() && (failing(WriteStep::Sync) || ::fsync(fd) != 0))
        reason = errnoText();
    return reason;
}

// The file a write replaces: a link is followed, since the user's file is the one it points to.
QString writeTarget(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

// A new, empty file in the target's folder, named SaveFilePrefix and six random letters. It gets the
// permissions of the file it will replace, or else the user's default ones.
int createSaveFile(const QString &target, QByteArray *name, QString *reason)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const QByteArray stem = QFile::encodeName(QFileInfo(target).absolutePath()) + '/' + SaveFilePrefix;
    for (int attempt = 0; attempt < 64; ++attempt) {
        *name = stem;
        for (int i = 0; i < 6; ++i)
            *name += Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))];
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            struct stat old
            {
            };
            if (::stat(QFile::encodeName(target).constData(), &old) == 0)
                ::fchmod(fd, old.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST)
            break;
    }
    *reason = errnoText();
    return -1;
}

// Written beside the target, synced, then renamed over it: the old file stays whole on any failure.
QString replaceFile(const QString &path, const QByteArray &bytes)
{
    const QString target = writeTarget(path);
    const QByteArray targetName = QFile::encodeName(target);
    if (::access(targetName.constData(), F_OK) == 0 && ::access(targetName.constData(), W_OK) != 0)
        return errnoText();
    QByteArray saveName;
    QString reason;
    const int fd = createSaveFile(target, &saveName, &reason);
    if (fd < 0)
        return reason;
    reason = writeDurably(fd, bytes);
    if (::close(fd) != 0 && reason.isEmpty())
        reason = errnoText();
    if (reason.isEmpty() && (failing(WriteStep::Rename) || ::rename(saveName.constData(), targetName.constData()) != 0))
        reason = errnoText();
    if (!reason.isEmpty()) {
        ::unlink(saveName.constData());
        return reason;
    }
    syncFolder(target);
    return QString();
}

QString appendTo(const QString &path, const QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    const bool existed = ::access(name.constData(), F_OK) == 0;
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return errnoText();
    QString reason = writeDurably(fd, bytes);
    if (::close(fd) != 0 && reason.isEmpty())
        reason = errnoText();
    if (reason.isEmpty() && !existed)
        syncFolder(path);
    return reason;
}
#else
#include <QSaveFile>

QString openFailure(const QFileDevice &file)
{
    const QString reason = file.errorString();
    return reason.isEmpty() ? QObject::tr("The file could not be written.") : reason;
}

QString replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return openFailure(file);
    if (file.write(bytes) != bytes.size() || failing(WriteStep::Sync) || failing(WriteStep::Rename) || !file.commit()) {
        file.cancelWriting();
        return openFailure(file);
    }
    return QString();
}

QString appendTo(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::Append) || file.write(bytes) != bytes.size() || !file.flush())
        return openFailure(file);
    return QString();
}
#endif

bool reported(const QString &reason, QString *error)
{
    if (!reason.isEmpty() && error)
        *error = reason;
    return reason.isEmpty();
}

// "<name>.XXXXXX", as older versions of the writer named their temporary files.
bool isOldSaveFileOf(const QString &file, const QStringList &suffixes)
{
    const qsizetype base = file.size() - 7;
    if (base < 1 || file.at(base) != u'.')
        return false;
    for (qsizetype i = base + 1; i < file.size(); ++i) {
        const char16_t c = file.at(i).unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    const QStringView name = QStringView(file).left(base);
    return std::any_of(suffixes.cbegin(), suffixes.cend(),
        [name](const QString &suffix) { return name.size() > suffix.size() && name.endsWith(suffix); });
}

int removeStaleIn(const QString &folder, const QStringList &suffixes)
{
    int removed = 0;
    QDir dir(folder);
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &file : files) {
        const bool ours = file.startsWith(QLatin1String(SaveFilePrefix)) || isOldSaveFileOf(file, suffixes);
        if (ours && dir.remove(file))
            ++removed;
    }
    return removed;
}

} // namespace

bool WriteTextFile(const QString &path, const QString &text, QString *error)
{
    return WriteFileBytes(path, text.toUtf8(), error);
}

bool WriteFileBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    return reported(replaceFile(path, bytes), error);
}

bool AppendToFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return reported(appendTo(path, bytes), error);
}

void failNextWriteAt(WriteStep step)
{
    s_failAt = step;
}

int removeStaleSaveFiles(const QString &folder, const QStringList &suffixes, int depth)
{
    int removed = removeStaleIn(folder, suffixes);
    if (depth <= 0)
        return removed;
    // Links are not followed: a folder linked in from elsewhere is not the program's to clean.
    const QStringList folders
        = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QString &sub : folders)
        removed += removeStaleSaveFiles(QDir(folder).filePath(sub), {}, depth - 1);
    return removed;
}
