#include "common/datafolder.h"

#include "common/settings.h"
#include "common/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString s_path;

bool holdsProgramData(const QDir &dir)
{
    static const char *const names[] = { "reminders.dat", "PlanData", "ClipData", "todo.dat" };
    for (const char *name : names) {
        if (dir.exists(QLatin1String(name)))
            return true;
    }
    return false;
}
} // namespace

bool DataFolder::isWritableFolder(const QString &folder)
{
    return QFileInfo(folder).isWritable();
}

QString DataFolder::choose(const QString &programDir, const QString &userDir, bool (*isWritable)(const QString &))
{
    const QDir dir(programDir);
    if (!programDir.isEmpty() && holdsProgramData(dir) && isWritable(programDir))
        return dir.absolutePath();
    return userDir;
}

QString DataFolder::path()
{
    if (s_path.isEmpty()) {
        const QString userDir
            = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Quillory2");
        s_path = choose(QCoreApplication::applicationDirPath(), userDir);
        QDir().mkpath(s_path);
    }
    return s_path;
}

QString DataFolder::problem()
{
    const QFileInfo folder(path());
    if (folder.isDir())
        return QString();
    return QCoreApplication::translate("DataFolder",
        "THE DATA FOLDER COULD NOT BE MADE\r\n\r\n%1\r\n\r\nReminders, notes and clips cannot be saved until it "
        "exists.\r\n\r\nSolution:\r\nMake sure your home folder is set and writable, then start Quillory2 "
        "again.")
        .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
}

QString DataFolder::filePath(const QString &name)
{
    return QDir(path()).filePath(name);
}

void DataFolder::setPath(const QString &folder)
{
    s_path = folder;
}

int DataFolder::removeInterruptedSaves()
{
    // Two levels down holds every folder of the tools (ClipData/<category>).
    return removeStaleSaveFiles(path(), { QStringLiteral(".dat"), QStringLiteral(".txt") }, 2)
        + removeStaleSaveFiles(QFileInfo(Settings::fileName()).absolutePath(), { QStringLiteral(".conf") });
}
