#pragma once

#include <QDate>
#include <QList>
#include <QStringView>

// The days on which a reminder will come, as the delivery moves it: its due date, then each next date
// the schedule gives after the day before (a reminder already past is delivered once, then moves on
// from today). Used to show reminders on days of a calendar.
namespace Occurrences {

// The days from `first` to `last` (both included) that `record` touches, in order; none for a line that
// is no record.
QList<QDate> daysTouched(QStringView record, const QDate &first, const QDate &last, const QDate &today);

} // namespace Occurrences
