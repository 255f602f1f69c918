#include "reminders/reminderrecord.h"

#include <QChar>

namespace {

int digitsAt(QStringView text, int from, int count)
{
    int value = 0;
    for (int i = from; i < from + count; ++i)
        value = value * 10 + (text[i].unicode() - u'0');
    return value;
}

QString datePart(const QDate &date)
{
    return QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day());
}

} // namespace

QString MakeReminderRecord(const QDate &date, const QTime &time, int schedule, int category, const QString &message)
{
    return datePart(date) + QString::asprintf("%02d%02d0%d%d", time.hour(), time.minute(), schedule, category)
        + message;
}

QString CurrentDueKey(const QDateTime &now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    return datePart(date) + QString::asprintf("%02d%02d%02d", time.hour(), time.minute(), time.second());
}

bool IsWellFormedRecord(QStringView line)
{
    if (line.size() < RecordMinLength)
        return false;
    for (int i = 0; i < RecordMinLength; ++i) {
        if (line[i] < u'0' || line[i] > u'9')
            return false;
    }
    return RecordDate(line).isValid() && digitsAt(line, 8, 2) < 24 && digitsAt(line, 10, 2) < 60 && line[12] == u'0'
        && RecordSchedule(line) <= 7 && RecordCategory(line) <= 5;
}

qint64 DueKeyNumber(QStringView record)
{
    qint64 value = 0;
    for (int i = 0; i < DueKeyLength; ++i)
        value = value * 10 + (record[i].unicode() - u'0');
    return value;
}

QDate RecordDate(QStringView record)
{
    return QDate(digitsAt(record, 0, 4), digitsAt(record, 4, 2), digitsAt(record, 6, 2));
}

QTime RecordTime(QStringView record)
{
    return QTime(digitsAt(record, 8, 2), digitsAt(record, 10, 2));
}

int RecordSchedule(QStringView record)
{
    return record[13].unicode() - u'0';
}

int RecordCategory(QStringView record)
{
    return record[14].unicode() - u'0';
}

QString RecordMessage(const QString &record)
{
    return record.mid(RecordMinLength);
}

QString WithDate(const QString &record, const QDate &date)
{
    return datePart(date) + QStringView(record).mid(8);
}

QString RecordMessagePreview(const QString &record, int length)
{
    const QStringView message = QStringView(record).sliced(qMin<qsizetype>(record.size(), RecordMinLength));
    if (message.size() <= length)
        return message.toString();
    if (message.at(length - 1).isHighSurrogate())
        --length;
    return message.left(length).toString() + QChar(0x2026);
}
