#include "reminders/occurrences.h"

#include "reminders/reminderrecord.h"
#include "reminders/schedule.h"

#include <algorithm>

namespace Occurrences {

QList<QDate> daysTouched(QStringView record, const QDate &first, const QDate &last, const QDate &today)
{
    QList<QDate> days;
    if (!IsWellFormedRecord(record) || !first.isValid() || !last.isValid())
        return days;
    const QDate due = RecordDate(record);
    const int code = RecordSchedule(record);
    if (due >= first && due <= last)
        days.append(due);
    // After its due date the reminder is moved on from that day, or from today when it is delivered late.
    QDate day = Schedule::NextDueDate(due, code, std::max(due, today));
    if (day.isValid() && day < first) // straight to the range: the rules step past any day given
        day = Schedule::NextDueDate(day, code, first.addDays(-1));
    while (day.isValid() && day <= last) {
        days.append(day);
        const QDate next = Schedule::NextDueDate(day, code, day);
        if (next <= day)
            break;
        day = next;
    }
    return days;
}

} // namespace Occurrences
