#include "planner/planpurge.h"

#include "planner/planday.h"

#include <QDir>
#include <QFile>
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

} // namespace

PlanPurge::PlanPurge(const QString &folder, const QDate &upTo)
    : m_folder(folder)
    , m_last(PlanDay::dayKey(upTo).toLongLong())
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

int PlanPurge::step(int count)
{
    for (; count > 0 && !atEnd(); --count) {
        const QString &name = m_names.at(m_next++);
        m_progress = progressAt(dayNumber(name), m_last);
        if (QFile::remove(QDir(m_folder).filePath(name)))
            ++m_deleted;
        else
            m_failed.append(name);
    }
    if (atEnd() && m_last >= FirstNumber)
        m_progress = 100;
    return m_progress;
}
