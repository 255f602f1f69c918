#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

// Small builders for reminder records and files, shared by the reminder tests.
namespace {

// "yyyyMMddhhmm" + "0" + schedule + category + message
inline QString rec(const char *minute, int schedule, int category, const QString &message = QString())
{
    return QLatin1String(minute) + u'0' + QString::number(schedule) + QString::number(category) + message;
}

inline QByteArray fileOf(const QStringList &records)
{
    QByteArray bytes;
    for (const QString &record : records)
        bytes += record.toUtf8() + "\r\n";
    return bytes;
}

inline QDateTime at(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

} // namespace
