#pragma once

#include "common/message.h"

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

class QFileSystemWatcher;
class QTimer;

// Living in a folder that a sync engine shares with other computers: the copies such engines leave
// when both sides changed a file, and noticing a file that another program replaced.

// A file replaced by rename or written anew changes its size or one of its times.
QString FileStamp(const QString &path);

// "name.sync-conflict-20261208-101500-ABCDEFG.ext" and "name (conflicted copy ...).ext": the copy a
// sync engine keeps of the losing side, and the one this program keeps of the other side's file.
bool IsConflictCopy(const QString &fileName);
// The name the copy stands for ("name.ext"); empty when fileName is no conflict copy.
QString ConflictOriginal(const QString &fileName);
// The conflict copies in the folder, by file name; with `of` (a file name), only the copies of that file.
QStringList ConflictCopiesIn(const QString &folder, const QString &of = QString());
// The conflict copies in the data folder (with `everywhere`, also in its "PlanData" and the
// categories of its "ClipData"), by path within the folder, that the user was not told of yet (the
// reminder list merges its own and is left out). Each is told once: the names told are kept in the
// settings store.
QStringList UntoldConflictCopies(const QString &dataFolder, bool everywhere);
// Where this program keeps the other side's file before it writes its own over it.
QString ConflictCopyPath(const QString &path);
// Copies the file there; the copy's path, or an empty text when it could not be made (`tried` then
// names the path it could not write).
QString KeepConflictCopy(const QString &path, QString *tried = nullptr);
// Told after a save that kept the other side's text in `copy`; `what` names the saved item.
Message ConflictCopyMessage(const QString &what, const QString &copy);

// Watches one file, and its folder for a file replaced by rename. Each burst of reports comes as one
// touched() a moment later; changedOnDisk() then tells whether the file differs from what settle()
// last recorded (the owner's own read or write). Nothing polls: an idle watch costs no wake-ups.
class FileWatch final : public QObject
{
    Q_OBJECT

public:
    explicit FileWatch(QObject *parent = nullptr);

    // An empty path watches no file; `folders` are watched besides the file's own.
    void watch(const QString &path, const QStringList &folders = {});
    QString path() const { return m_path; }
    void settle(); // the file as it is now is the owner's
    bool changedOnDisk() const;

Q_SIGNALS:
    void touched();

private:
    void rewatch();

    QString m_path;
    QStringList m_folders;
    QString m_stamp;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_gather = nullptr;
};
