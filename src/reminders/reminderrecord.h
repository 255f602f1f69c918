#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include "common/textfile.h" // OneLine

// A reminder is one line of text:
//   yyyymmddhhnn "0" schedule-digit category-digit message
// The first 14 characters are its due key: a date-time whose seconds field is "0" and the schedule
// code, so keys compared as text sort chronologically. A record with an empty message is 15 long.

inline constexpr int DueKeyLength = 14;
inline constexpr int RecordMinLength = 15;

QString MakeReminderRecord(const QDate &date, const QTime &time, int schedule, int category, const QString &message);

// The current moment as a key: "yyyymmddhhnnss" with the real seconds.
QString CurrentDueKey(const QDateTime &now);

// True for a line that can be a record: positions 1-15 digits forming a real date and time, a "0"
// at position 13, a schedule code 0-7 and a category code 0-5.
bool IsWellFormedRecord(QStringView line);

// The due key as a number: for well-formed records it orders exactly as the key text does.
qint64 DueKeyNumber(QStringView record);

inline QStringView DueKey(QStringView record)
{
    return record.left(DueKeyLength);
}

QDate RecordDate(QStringView record);
QTime RecordTime(QStringView record);
int RecordSchedule(QStringView record);
int RecordCategory(QStringView record);
QString RecordMessage(const QString &record);
// What a screen shows of the message: its first MessagePreviewLength characters, then "…" when there
// is more (text layout of a message of megabytes would freeze the window; the file keeps it whole).
inline constexpr int MessagePreviewLength = 500;
QString RecordMessagePreview(const QString &record, int length = MessagePreviewLength);

// The same record due on another date: time, schedule, category and message unchanged.
QString WithDate(const QString &record, const QDate &date);
