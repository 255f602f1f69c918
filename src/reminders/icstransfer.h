#pragma once

#include "reminders/remindersical.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

class ReminderList;

// The reminder list to and from iCalendar files (see remindersical.h for the conversion). An import
// remembers the UIDs it took in a side file beside reminders.dat (one UID per line, CR LF), so that
// importing the same file again adds nothing; a reminder already in the list is not added twice.
class IcsTransfer final
{
    Q_DECLARE_TR_FUNCTIONS(IcsTransfer)

public:
    struct Outcome
    {
        bool ok = false;
        QString text; // what was done (the counts, then the report), or why nothing was
    };

    static QString uidFileName();

    // Writes the records, then the appointments, to `path` (atomically); lines that are no records are
    // named in the outcome.
    static Outcome exportRecords(const QStringList &records, const QString &path, const QDateTime &now,
        const QList<RemindersIcal::Appointment> &appointments = {});
    // The same for the records of reminders.dat as it is on disk, which is only read.
    static Outcome exportDataFile(
        const QString &path, const QDateTime &now, const QList<RemindersIcal::Appointment> &appointments = {});
    // Adds the reminders of the file at `path` to the list and saves it. A bad file changes nothing.
    static Outcome importFile(ReminderList &list, const QString &path, const QDateTime &now);
};
