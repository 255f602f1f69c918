#pragma once

#include "common/message.h"
#include "reminders/snoozestore.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTime>
#include <functional>
#include <optional>

// The reminder list and its delivery: every reminder of the user, sorted by due key and mirrored
// in "reminders.dat", which is rewritten whole after every change (change, SortReminders,
// SaveReminders). The main window owns the one list of the run, loads it at start-up and calls
// DoTest on every tick of its reminder timer; the Reminders window is a view onto it and lives
// only while it is open. The list decides; whoever owns it shows its messages (setMessageSink) and
// delivers what falls due (setDeliverySink), answering each occurrence with acknowledge() or snooze().
// A snoozed occurrence waits in "snoozed.dat"; its record keeps its date until it is acknowledged.
class FileWatch;

class ReminderList final : public QObject
{
    Q_OBJECT

public:
    // The count is a 16-bit number in the file's tradition.
    static constexpr int MaxCount = 32767;
    // A delivered message shows at most this many characters (a message box lays out all it gets).
    static constexpr int DeliveryPreviewLength = 4000;

    // One reminder to show: the record as it stands and when it fell due (its own time, or the end
    // of its snooze).
    struct Occurrence
    {
        QString record;
        QDateTime due;
        bool snoozed = false;
        bool operator==(const Occurrence &) const = default;
    };
    enum class ShowAs { BoxAndNotification, Box, Notification };
    enum SnoozeChoice { FiveMinutes, TenMinutes, HalfAnHour, AnHour, Tomorrow };

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
    // Before writing, a file changed since the list last read or wrote it (a sync engine brought in
    // another computer's copy) is merged with the list (MergeRecords): nothing made there is lost.
    bool SaveReminders();
    // Watches the file: a change from outside, or a conflict copy a sync engine left beside it, is
    // merged into the list within a second, and the views refill (listChanged).
    void watchFile();
    void takeChangesFromOutside();
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

    // How a due reminder is shown, whether several come one box after another instead of in one
    // list, and the snooze time last chosen (SnoozeChoice).
    ShowAs showAs() const { return m_showAs; }
    void setShowAs(ShowAs showAs);
    bool oneByOne() const { return m_oneByOne; }
    void setOneByOne(bool on);
    int snoozeChoice() const { return m_snoozeChoice; }
    void setSnoozeChoice(int choice);
    static QStringList snoozeNames();
    static QDateTime snoozeUntil(const QDateTime &now, int choice);

    // At start-up, after the load: without "Past", reminders already due are moved on unseen (a
    // snoozed one is not: the user asked for it again).
    void RemLoadCheckPast();
    // One tick: hands what is due and not already being shown to the delivery sink (with "None"
    // ticked, or no sink, moves it on unseen). Each stays held until it is answered or released.
    void DoTest();
    QList<Occurrence> dueOccurrences(const QDateTime &now) const;
    bool isHeld(const QString &record) const { return m_held.contains(record); }
    // The user saw it (OK, Done): "Once" is deleted, any other moves on; its snooze ends.
    void acknowledge(const QStringList &records);
    // It comes back at `until`; the record stays as it is. False when the record is gone.
    bool snooze(const QString &record, const QDateTime &until);
    // Shown no longer, not answered (a list closed): it is due again at the next tick.
    void release(const QString &record) { m_held.remove(record); }
    const SnoozeStore &snoozes() const { return m_snoozes; }

    // Where notices (a file that cannot be read, lines set aside) are shown. Due reminders go to the
    // delivery sink, which answers each later through acknowledge(), snooze() or release().
    void setMessageSink(std::function<bool(const Message &)> sink) { m_sink = std::move(sink); }
    void setDeliverySink(std::function<void(const QList<Occurrence> &)> sink) { m_deliver = std::move(sink); }

    static Message deliveryMessage(const QString &record);
    static Message unreadableMessage(const QString &path, const QString &reason);
    static Message setAsideMessage(int lines, const QString &path);
    static QString dueTimeText(const QDateTime &due);

Q_SIGNALS:
    void countChanged(int count);
    void listChanged(); // loaded or saved: the list view refills
    void emptied(); // the last reminder was deleted: the editor goes back to its blank state
    void saveFailed(const QString &path, const QString &reason);
    void deliverPastChanged(bool on);
    void deliverNoneChanged(bool on);
    void snoozesChanged();
    void changedOutside(); // something in the list's folder changed: a sync engine at work

private:
    void advance(int index);
    void advanceAllDueBefore(const QDateTime &now);
    void setAside(const QByteArray &lines, int count);
    bool keepAside(const QByteArray &lines, int count);
    bool mergeFromDisk();
    bool mergeConflictCopies();
    void removeMergedCopies();
    bool keepWithin(QStringList &records);
    void keepOnDisk(const QByteArray &bytes);
    QString fileText() const;
    void notify(const Message &message);
    void loadSnoozes();
    bool saveSnoozes();

    QStringList m_records;
    QStringList m_base; // the records as the file held them when the list last read or wrote it
    QByteArray m_onDisk; // the file's bytes then
    QString m_onDiskStamp; // its size and times then: while they stand, the file is not read again
    FileWatch *m_watch = nullptr;
    QStringList m_mergedCopies; // conflict copies whose records the list holds: removed once it is saved
    bool m_deliverPast = true;
    bool m_deliverNone = false;
    ShowAs m_showAs = ShowAs::BoxAndNotification;
    bool m_oneByOne = false;
    int m_snoozeChoice = TenMinutes;
    SnoozeStore m_snoozes;
    QSet<QString> m_held; // handed to the delivery, not yet answered
    QString m_unreadable; // why the file could not be read; saving is refused while set
    QString m_snoozesUnreadable; // the same for snoozed.dat
    std::function<bool(const Message &)> m_sink;
    std::function<void(const QList<Occurrence> &)> m_deliver;
};
