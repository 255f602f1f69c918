#include "app/calendarmarks.h"

#include "reminders/occurrences.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderrecord.h"

namespace {

constexpr int MessageLength = 200; // what a mark or a bell shows of a message

QString timeText(const QTime &time)
{
    return frmPlanner::slotTimeText(time.hour() * 60 + time.minute());
}

QString reminderLine(const QString &record)
{
    QString line = timeText(RecordTime(record));
    line += u' ';
    line += RecordMessagePreview(record, MessageLength);
    return line;
}

} // namespace

CalendarMarks::CalendarMarks(ReminderList &reminders, QObject *parent)
    : QObject(parent)
    , m_reminders(reminders)
{
    connect(&m_reminders, &ReminderList::listChanged, this, [this] {
        m_remindersStale = true;
        Q_EMIT changed();
    });
}

const QList<PlanDay::Entry> &CalendarMarks::entries(const QDate &day)
{
    auto it = m_entries.find(day);
    if (it == m_entries.end())
        it = m_entries.insert(day, PlanDay::storedEntries(day));
    return *it;
}

DayMarks CalendarMarks::marks(const QDate &first, const QDate &last, const QDate &today)
{
    if (m_remindersStale || first != m_first || last != m_last || today != m_today) {
        m_reminderMarks.clear();
        for (const QString &record : m_reminders.records()) {
            for (const QDate &day : Occurrences::daysTouched(record, first, last, today)) {
                m_reminderMarks[day].addReminder([&record] { return reminderLine(record); });
            }
        }
        m_first = first;
        m_last = last;
        m_today = today;
        m_remindersStale = false;
    }
    DayMarks marks = m_reminderMarks;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        for (const PlanDay::Entry &entry : entries(day))
            marks[day].addPlan(frmPlanner::slotTimeText(entry.minutes) + u' ' + entry.text.left(MessageLength));
    }
    return marks;
}

QList<frmPlanner::SlotReminder> CalendarMarks::remindersOn(const QDate &day, const QDate &today) const
{
    QList<frmPlanner::SlotReminder> found;
    for (const QString &record : m_reminders.records()) {
        if (!Occurrences::daysTouched(record, day, day, today).isEmpty())
            found.append({ RecordTime(record), RecordMessagePreview(record, MessageLength), record });
    }
    return found;
}

void CalendarMarks::setEntries(const QDate &day, const QList<PlanDay::Entry> &entries)
{
    m_entries.insert(day, entries);
    m_edited.insert(day);
    Q_EMIT changed();
}

void CalendarMarks::forgetAllBut(const QDate &keep)
{
    bool dropped = false;
    for (auto it = m_edited.begin(); it != m_edited.end();) {
        if (*it == keep) {
            ++it;
            continue;
        }
        m_entries.remove(*it);
        it = m_edited.erase(it);
        dropped = true;
    }
    if (dropped)
        Q_EMIT changed();
}

void CalendarMarks::forgetAll()
{
    m_entries.clear();
    m_edited.clear();
    Q_EMIT changed();
}
