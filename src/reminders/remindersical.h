#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Reminders in iCalendar (RFC 5545), read and written by libical. Out: every record becomes an
// event at its due time as a floating local time, which is what a record holds: a wall-clock time
// that the program keeps wherever the computer is, across changes of the clocks and of zone. (A
// TZID would pin it to one zone, and the zone definitions libical writes break some readers.) The
// message is the SUMMARY, the category CATEGORIES, a display alarm rings at the start and the
// schedule is the RRULE. Times that come in with a zone or in UTC become this computer's local time.
// In: every event and to-do whose rule is exactly one of the schedules becomes that reminder; any
// other becomes a "Once" reminder for its next occurrence or is left out, and the report says which
// and why. This part holds no files: see icstransfer.h.
class RemindersIcal final
{
    Q_DECLARE_TR_FUNCTIONS(RemindersIcal)

public:
    // True for a record that an event can hold: well-formed, and due before the last year libical writes.
    static bool isExportable(const QString &record);
    // An appointment of another tool (a Planner slot) written beside the reminders as an event of its
    // length, at a floating local start, without an alarm; its UID stays with its day and slot.
    struct Appointment
    {
        QDateTime start;
        int minutes = 0;
        QString text;
        QString uid;
    };
    // The iCalendar text of the exportable records, then the appointments. `now` stamps it.
    static QByteArray exportRecords(
        const QStringList &records, const QDateTime &now, const QList<Appointment> &appointments = {});
    // The UID of records[index]: the same record gives the same UID on every export. Moving a repeating
    // reminder on to its next date keeps it; equal records are told apart by their place among equals.
    static QString uidOf(const QStringList &records, int index);

    struct Reminder
    {
        QString record;
        QString uid;
    };
    struct Parsed
    {
        QString error; // not empty: the file is bad (the text names its line) and nothing may be taken
        QList<Reminder> reminders;
        QStringList report; // one line per event changed or left out, with the reason
    };
    // Reads an iCalendar text; `now` decides which occurrences are still to come.
    static Parsed parse(const QByteArray &ics, const QDateTime &now);
};
