#pragma once

#include "common/message.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>
#include <optional>

// The eight repeat schedules and six categories, the date rule each schedule puts on a new
// reminder, and the rule that moves a delivered reminder to its next date.
struct Schedule
{
    Q_DECLARE_TR_FUNCTIONS(Schedule)

public:
    enum Code { Once, Daily, Weekly, Weekdays, Weekends, Fortnightly, Monthly, Yearly };
    static constexpr int Count = 8;
    static constexpr int CategoryCount = 6;

    // In code order: the entries of the Schedule and Catagory lists.
    static QStringList names();
    static QStringList categoryNames();
    static QString name(int code);

    // The message for a due time that is not in the future.
    static Message pastMessage();
    // The message of the schedule's date rule when the date breaks it.
    static std::optional<Message> CheckScheduleRule(int code, const QDate &date);
    // The message for a reminder that would go beyond the largest list.
    static Message listFullMessage();

    // The next due date after `today` of a reminder due on `due`. "Daily", "Weekly", "Weekdays" and
    // "Weekends" count from today; "Fortnightly", "Monthly" and "Yearly" step from the old date in
    // whole periods, keeping their rhythm after missed occurrences. A date already after today stays.
    // An invalid date comes back for "Once", which has no next date.
    static QDate NextDueDate(const QDate &due, int code, const QDate &today);

    // Where a new reminder starts: five minutes on, rounded up to the next quarter hour (the seconds
    // stay). Only exactly midnight moves the date on: a time rounded past it keeps today's date.
    static QDateTime NewReminderStart(const QDateTime &now);
};
