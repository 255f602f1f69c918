#pragma once

#include "common/message.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>

// The reminder list and its delivery: every reminder of the user, sorted by due key and mirrored
// in "reminders.dat", which is rewritten whole after every change (change, SortReminders,
// SaveReminders). The main window owns the one list of the run, loads it at start-up and calls
// DoTest on every tick of its reminder timer; the Reminders window is a view onto it and lives
// only while it is open. The list decides; whoever owns it shows its messages (setMessageSink).
class ReminderList final : public QObject
{
    Q_OBJECT

public:
    // The count is a 16-bit number in the file's tradition.
    static constexpr int MaxCount = 32767;
    // A delivered message shows at most this many characters (a message box lays out all it gets).
    static constexpr int DeliveryPreviewLength = 4000;

    explicit ReminderList(QObject *parent = nullptr);

    static QString fileName();
    QString path() const;

    const QStringList &records() const { return m_records; }
    int count() const { return int(m_records.size()); }
    QString record(int index) const { return m_records.value(index); }

    // The file. LoadReminders keeps the first MaxCount records; lines that are no records and records
    // past MaxCount are moved, byte for byte, to the end of skippedPath() and the user is told where.
    // A file that cannot be read is never written over: the list stays empty and every save is
    // refused with the reason until a later start reads it.
    void LoadReminders();
    bool SaveReminders();
    QString skippedPath() const;
    bool isSavingRefused() const { return !m_unreadable.isEmpty(); }

    // Changes. Indexes count from 0; index 0 is the next reminder due.
    bool AppendReminder(const QString &record); // false (nothing added) when full or not a record
    void DeleteReminder(int index);
    void SortReminders();

    // The Add command: stores the reminder unless it is refused, then sorts and saves in every case.
    // Returns the message that tells why it was refused.
    std::optional<Message> AddReminder(
        const QDate &date, const QTime &time, int schedule, int category, const QString &message);
    // Remove: deletes the record at `index` only while it is still `record`, then sorts and saves.
    bool RemoveReminder(int index, const QString &record);

    // Delivery of reminder 0: "Once" is deleted, any other moves to its next date after today.
    void AdvanceFirstReminder();
    void RescheduleFirstReminder();

    // "Past": deliver reminders missed while the program was not running. "None": show nothing.
    // Read from the settings store by readOptions(), stored whenever they change.
    void readOptions();
    bool deliverPast() const { return m_deliverPast; }
    bool deliverNone() const { return m_deliverNone; }
    void setDeliverPast(bool on);
    void setDeliverNone(bool on);

    // At start-up, after the load: without "Past", reminders already due are moved on unseen.
    void RemLoadCheckPast();
    // One tick: shows reminder 0 when it is due, then moves it on, sorts and saves.
    void DoTest();
    bool isDelivering() const { return m_delivering; }

    // Where due reminders and notices are shown; the call returns when the message is closed, true
    // when the user closed it (false: the program is ending, and the reminder stays as it is).
    void setMessageSink(std::function<bool(const Message &)> sink) { m_sink = std::move(sink); }

    static Message deliveryMessage(const QString &record);
    static Message unreadableMessage(const QString &path, const QString &reason);
    static Message setAsideMessage(int lines, const QString &path);

Q_SIGNALS:
    void countChanged(int count);
    void listChanged(); // loaded or saved: the list view refills
    void emptied(); // the last reminder was deleted: the editor goes back to its blank state
    void saveFailed(const QString &path, const QString &reason);
    void deliverPastChanged(bool on);
    void deliverNoneChanged(bool on);

private:
    void advance(int index);
    void advanceAllDueBefore(const QDateTime &now);
    void setAside(const QByteArray &lines, int count);
    QString fileText() const;
    void notify(const Message &message);

    QStringList m_records;
    bool m_deliverPast = true;
    bool m_deliverNone = false;
    bool m_delivering = false;
    QString m_unreadable; // why the file could not be read; saving is refused while set
    std::function<bool(const Message &)> m_sink;
};
