#include "reminders/schedule.h"

QStringList Schedule::names()
{
    return { tr("Once"), tr("Daily"), tr("Weekly"), tr("Weekdays"), tr("Weekends"), tr("Fortnightly"), tr("Monthly"),
        tr("Yearly") };
}

QStringList Schedule::categoryNames()
{
    return { tr("Alarms"), tr("Birthdays"), tr("Business"), tr("Leasure"), tr("Finances"), tr("Travel") };
}

QString Schedule::name(int code)
{
    return names().value(code);
}

Message Schedule::pastMessage()
{
    return { Message::Icon::Exclamation, tr("Quillory2: Cannot remind you of the past!"),
        tr("PLEASE SET A FUTURE TIME\r\n\r\nYou are receiving this message because\r\nthe time you are "
           "attempting to use for\r\nthe reminder, is not in the future.\r\n\r\nSolution:\r\nSet the reminder "
           "time for a future time.") };
}

std::optional<Message> Schedule::CheckScheduleRule(int code, const QDate &date)
{
    const int weekday = date.dayOfWeek();
    const bool weekend = weekday == Qt::Saturday || weekday == Qt::Sunday;
    switch (code) {
    case Weekdays:
        if (weekend)
            return Message { Message::Icon::Exclamation, tr("Quillory2: Weekdays are Mon-Fri!"),
                tr("PLEASE SET A WEEKDAY\r\n\r\nYou are receiving this message because\r\nthe day you are "
                   "attempting to use for\r\nthe reminder, is not a weekday.\r\n\r\nSolution:\r\nSet the "
                   "reminder day for Mon-Fri.") };
        break;
    case Weekends:
        if (!weekend)
            return Message { Message::Icon::Exclamation, tr("Quillory2: Weekends are Sat and Sun!"),
                tr("PLEASE SET A WEEKEND DAY\r\n\r\nYou are receiving this message because\r\nthe day you "
                   "are attempting to use for\r\nthe reminder, is not a weekend day.\r\n\r\nSolution:\r\nSet "
                   "the reminder day for Sat or Sun.") };
        break;
    case Monthly:
        if (date.day() > 28)
            return Message { Message::Icon::Exclamation, tr("Quillory2: Cannot repeat monthly after 28th!"),
                tr("PLEASE SET A SMALLER DATE\r\n\r\nYou are receiving this message because\r\nthe date you "
                   "are attempting to use for the\r\nreminder, does not exist in every month.\r\n\r\n"
                   "Solution:\r\nSet the reminder date upto the 28th.") };
        break;
    case Yearly:
        if (date.month() == 2 && date.day() == 29)
            return Message { Message::Icon::Exclamation, tr("Quillory2: Cannot repeat yearly on 29th!"),
                tr("PLEASE SET A DIFFERENT DATE\r\n\r\nYou are receiving this message because\r\nthe date "
                   "you are attempting to use for\r\nthe reminder, does not exist next year.\r\n\r\n"
                   "Solution:\r\nSet the reminder date for the 28th.") };
        break;
    default: break;
    }
    return std::nullopt;
}

Message Schedule::listFullMessage()
{
    return { Message::Icon::Exclamation, tr("Quillory2: Cannot store more reminders!"),
        tr("TOO MANY REMINDERS\r\n\r\nYou are receiving this message because\r\nthe list already holds 32767 "
           "reminders,\r\nthe most it can hold.\r\n\r\nSolution:\r\nRemove reminders you no longer need.") };
}

namespace {

QDate nextOnWeekday(QDate date, int weekday)
{
    while (date.dayOfWeek() != weekday)
        date = date.addDays(1);
    return date;
}

// The smallest whole number of steps that takes `due` past `today`; `step` moves a date by n periods.
template <typename Step> QDate stepPast(const QDate &due, const QDate &today, qint64 estimate, Step step)
{
    qint64 n = qMax<qint64>(1, estimate);
    while (n > 1 && step(due, n - 1) > today)
        --n;
    while (step(due, n) <= today)
        ++n;
    return step(due, n);
}

} // namespace

QDate Schedule::NextDueDate(const QDate &due, int code, const QDate &today)
{
    if (code == Once)
        return {};
    if (due > today)
        return due;
    const QDate tomorrow = today.addDays(1);
    switch (code) {
    case Daily: return tomorrow;
    case Weekly: return nextOnWeekday(tomorrow, due.dayOfWeek());
    case Weekdays:
        if (tomorrow.dayOfWeek() == Qt::Saturday)
            return tomorrow.addDays(2);
        return tomorrow.dayOfWeek() == Qt::Sunday ? tomorrow.addDays(1) : tomorrow;
    case Weekends: return tomorrow.dayOfWeek() == Qt::Sunday ? tomorrow : nextOnWeekday(tomorrow, Qt::Saturday);
    case Fortnightly: return due.addDays(14 * (due.daysTo(today) / 14 + 1));
    case Monthly:
        return stepPast(due, today, (today.year() - due.year()) * 12 + today.month() - due.month(),
            [](const QDate &d, qint64 n) { return d.addMonths(int(n)); });
    case Yearly:
        return stepPast(
            due, today, today.year() - due.year(), [](const QDate &d, qint64 n) { return d.addYears(int(n)); });
    default: return {};
    }
}

QDateTime Schedule::NewReminderStart(const QDateTime &now)
{
    QTime time = now.time().addSecs(5 * 60);
    while (time.minute() % 15 != 0)
        time = time.addSecs(60);
    const bool midnight = time.hour() == 0 && time.minute() == 0;
    return QDateTime(midnight ? now.date().addDays(1) : now.date(), time);
}
