#include "planner/planpurge.h"

#include "planner/planday.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <cmath>

namespace {

// The number of an eight-digit name, or -1.
qint64 dayNumber(const QString &name)
{
    if (name.size() != 8)
        return -1;
    for (QChar c : name) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    return name.toLongLong();
}

constexpr qsizetype NamesTold = 5; // more names would push the message box off the screen

} // namespace

PlanPurge::PlanPurge(const QString &folder, const QDate &upTo, Removal removal)
    : m_folder(folder)
    , m_last(PlanDay::dayKey(upTo).toLongLong())
    , m_removal(removal)
{
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : files) {
        const qint64 n = dayNumber(name);
        if (n >= FirstNumber && n <= m_last)
            m_names.append(name);
    }
}

int PlanPurge::progressAt(qint64 n, qint64 last)
{
    if (last <= FirstNumber)
        return 100;
    return int(std::nearbyint(double(n - FirstNumber) / double(last - FirstNumber) * 100.0));
}

bool PlanPurge::remove(const QString &path, QString *reason)
{
    QFile file(path);
    bool done = false;
    if (m_removal == Removal::Trash) {
        done = file.moveToTrash();
        if (done && m_trashFolder.isEmpty())
            m_trashFolder = QFileInfo(file.fileName()).path(); // the file's name is now its place in the trash
    } else {
        done = file.remove();
    }
    *reason = file.errorString();
    return done;
}

int PlanPurge::step(int count)
{
    for (; count > 0 && !atEnd(); --count) {
        const QString &name = m_names.at(m_next++);
        m_progress = progressAt(dayNumber(name), m_last);
        QString reason;
        if (remove(QDir(m_folder).filePath(name), &reason))
            ++m_removed;
        else
            m_failed.append({ name, reason });
    }
    if (atEnd() && m_last >= FirstNumber)
        m_progress = 100;
    return m_progress;
}

QStringList PlanPurge::failed() const
{
    QStringList names;
    for (const Failure &failure : m_failed)
        names.append(failure.name);
    return names;
}

Message PlanPurge::doneMessage() const
{
    const auto days = [](qsizetype n) { return n == 1 ? QObject::tr("1 day") : QObject::tr("%1 days").arg(n); };
    QString where;
    if (m_removed > 0 && m_removal == Removal::Trash)
        where
            = QObject::tr("%1 went to the trash:\r\n%2").arg(days(m_removed), QDir::toNativeSeparators(m_trashFolder));
    else if (m_removed > 0)
        where = QObject::tr("%1 deleted for good.").arg(days(m_removed));
    if (m_failed.isEmpty()) {
        QString text = QObject::tr("All records prior to and including this day have been purged");
        if (!where.isEmpty())
            text += QStringLiteral("\r\n\r\n") + where;
        return { Message::Icon::Information, QStringLiteral("Quillory2"), text };
    }
    QStringList names = failed().mid(0, NamesTold);
    if (m_failed.size() > NamesTold)
        names.append(QObject::tr("and %1 more").arg(m_failed.size() - NamesTold));
    QString text = QObject::tr("%1 could not be purged: %2\r\n%3")
                       .arg(days(m_failed.size()), m_failed.first().reason, names.join(QStringLiteral(", ")));
    if (!where.isEmpty())
        text += QStringLiteral("\r\n\r\n") + where;
    return { Message::Icon::Exclamation, QStringLiteral("Quillory2"), text };
}
