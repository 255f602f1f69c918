#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Reminders the user snoozed, kept in "snoozed.dat" beside "reminders.dat" so that a snooze survives
// a restart. One line per snooze: the minute it comes back, "yyyymmddhhnn", followed by the reminder
// record exactly as it was delivered; CR LF after every line, lines in the order they come back.
// The record itself stays in reminders.dat unchanged until the user acknowledges it.
class SnoozeStore final
{
public:
    struct Snooze
    {
        QString record;
        QDateTime until;
        bool operator==(const Snooze &) const = default;
    };

    static QString fileName();
    static QString path();

    // Lines that are no snoozes come back in *unread, byte for byte, each followed by CR LF.
    // Nothing is read (and false comes back, with the reason) when the file exists but cannot be read.
    bool load(QByteArray *unread, QString *error);
    // No file is written while nothing was ever snoozed: an old data folder stays as it was.
    bool save(QString *error) const;

    const QList<Snooze> &snoozes() const { return m_snoozes; }
    const Snooze *find(const QString &record) const;
    void set(const QString &record, const QDateTime &until);
    bool remove(const QString &record);
    // Drops the snoozes whose record is no longer among `records`; true when one went.
    bool keepOnly(const QStringList &records);

    static QString line(const Snooze &snooze);
    static std::optional<Snooze> parse(const QString &line);

private:
    QList<Snooze> m_snoozes;
};
