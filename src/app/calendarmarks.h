#pragma once

#include "calendar/daymark.h"
#include "planner/frmplanner.h"
#include "planner/planday.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QSet>

class ReminderList;

// What the Calendar and the Planner show of each other's days: the Planner's entries and the reminders'
// occurrences. The entries of a day are read from its file once and then follow the Planner's edits;
// the reminders' occurrences are worked out once for the months shown and again only when the list
// changes, the months move or the day does.
class CalendarMarks final : public QObject
{
    Q_OBJECT

public:
    explicit CalendarMarks(ReminderList &reminders, QObject *parent = nullptr);

    DayMarks marks(const QDate &first, const QDate &last, const QDate &today);
    QList<frmPlanner::SlotReminder> remindersOn(const QDate &day, const QDate &today) const;

    // The Planner's day as it is on screen. Days edited and then left are read from their files again
    // (they may have been left unstored), all but `keep`.
    void setEntries(const QDate &day, const QList<PlanDay::Entry> &entries);
    void forgetAllBut(const QDate &keep);
    void forgetAll(); // the days were purged

Q_SIGNALS:
    void changed();

private:
    const QList<PlanDay::Entry> &entries(const QDate &day);

    ReminderList &m_reminders;
    QHash<QDate, QList<PlanDay::Entry>> m_entries;
    QSet<QDate> m_edited;
    DayMarks m_reminderMarks;
    QDate m_first, m_last, m_today; // what m_reminderMarks was worked out for
    bool m_remindersStale = true;
};
