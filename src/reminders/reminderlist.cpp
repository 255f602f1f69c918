#include "reminders/reminderlist.h"

#include "common/clock.h"
#include "common/datafolder.h"
#include "common/settings.h"
#include "common/syncfiles.h"
#include "common/textfile.h"
#include "reminders/recordmerge.h"
#include "reminders/reminderrecord.h"
#include "reminders/remindersort.h"
#include "reminders/schedule.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTimeZone>
#include <algorithm>

namespace {

QList<qint64> dueKeys(const QStringList &records)
{
    QList<qint64> keys;
    keys.reserve(records.size());
    for (const QString &record : records)
        keys.append(DueKeyNumber(record));
    return keys;
}

bool keyLess(const QString &a, const QString &b)
{
    return DueKey(a) < DueKey(b);
}

// One record appended to a sorted list (an Add). The exchange sort swaps it into the first slot
// whose key is greater and carries that record on; from there every run of equal keys hands its
// first record to the next run, so each run after the new record turns left by one.
void sortLastIntoPlace(QStringList &records, const QList<qint64> &keys)
{
    const qsizetype last = records.size() - 1;
    const auto place = std::upper_bound(keys.cbegin(), keys.cend() - 1, keys.last()) - keys.cbegin();
    for (qsizetype begin = place; begin < last;) {
        qsizetype end = begin + 1;
        while (end < last && keys[end] == keys[begin])
            ++end;
        std::rotate(records.begin() + begin, records.begin() + begin + 1, records.begin() + end);
        begin = end;
    }
    records.move(last, place);
}

} // namespace

ReminderList::ReminderList(QObject *parent)
    : QObject(parent)
{ }

QString ReminderList::fileName()
{
    return QStringLiteral("reminders.dat");
}

QString ReminderList::path() const
{
    return DataFolder::filePath(fileName());
}

QString ReminderList::skippedPath() const
{
    return path() + QStringLiteral(".skipped");
}

namespace {

// The records of the file's bytes, and the lines that are none (or past the list's limit), byte for byte.
struct FileRecords
{
    QStringList records;
    QByteArray others;
    int otherCount = 0;
};

FileRecords readRecords(const QByteArray &bytes, int maxCount)
{
    FileRecords read;
    forEachLine(bytes, [&](const QString &line, QByteArrayView raw) {
        if (line.isEmpty())
            return;
        if (read.records.size() < maxCount && IsWellFormedRecord(line)) {
            read.records.append(line);
        } else {
            read.others += raw;
            read.others += "\r\n";
            ++read.otherCount;
        }
    });
    return read;
}

} // namespace

void ReminderList::LoadReminders()
{
    m_records.clear();
    m_unreadable.clear();
    CreateMissingFile(path()); // the first start leaves the empty list's file
    QString reason;
    const std::optional<QByteArray> bytes = ReadFileBytes(path(), &reason);
    if (!bytes) {
        m_unreadable = reason.isEmpty() ? tr("Unknown error") : reason;
        notify(unreadableMessage(path(), m_unreadable));
    } else {
        const FileRecords read = readRecords(*bytes, MaxCount);
        m_records = read.records;
        m_base = read.records;
        keepOnDisk(*bytes);
        if (read.otherCount > 0)
            setAside(read.others, read.otherCount);
        loadSnoozes();
        if (mergeConflictCopies())
            SaveReminders();
    }
    Q_EMIT countChanged(count());
    Q_EMIT listChanged();
}

// The lines leave reminders.dat only once they are safe in the side file, so that a later start
// does not set them aside twice; when they cannot be kept there, reminders.dat is left alone.
void ReminderList::setAside(const QByteArray &lines, int count)
{
    if (keepAside(lines, count))
        SaveReminders();
}

bool ReminderList::keepAside(const QByteArray &lines, int count)
{
    QString reason;
    if (!AppendToFile(skippedPath(), lines, &reason)) {
        m_unreadable = reason;
        notify(unreadableMessage(skippedPath(), reason));
        return false;
    }
    notify(setAsideMessage(count, skippedPath()));
    return true;
}

void ReminderList::watchFile()
{
    if (m_watch)
        return;
    m_watch = new FileWatch(this);
    connect(m_watch, &FileWatch::touched, this, &ReminderList::takeChangesFromOutside);
    m_watch->watch(path());
}

void ReminderList::takeChangesFromOutside()
{
    Q_EMIT changedOutside();
    if (isSavingRefused())
        return;
    // The file first: when a sync engine kept a conflict copy, the file that replaced this list's
    // never saw what the copy holds, and the copy's records come back after the file's merge.
    const bool changed = mergeFromDisk();
    if (!mergeConflictCopies() && !changed)
        return;
    if (m_records != m_base) {
        SaveReminders(); // changes made here that the file does not hold yet
    } else {
        removeMergedCopies(); // the file holds them already
        if (m_snoozes.keepOnly(m_records))
            saveSnoozes();
    }
    Q_EMIT countChanged(count());
    Q_EMIT listChanged();
}

// A sync engine that saw the list changed on two computers at once keeps the losing side as a
// conflict copy. Its records join the list (a record in either stays; one in both counts once);
// the copy goes once the list that holds them is saved.
bool ReminderList::mergeConflictCopies()
{
    const QString folder = QFileInfo(path()).absolutePath();
    bool merged = false;
    for (const QString &name : ConflictCopiesIn(folder, fileName())) {
        if (m_mergedCopies.contains(name))
            continue;
        const std::optional<QByteArray> bytes = ReadFileBytes(QDir(folder).filePath(name));
        if (!bytes)
            continue; // left where it is, for the user
        const FileRecords theirs = readRecords(*bytes, MaxCount);
        if (theirs.otherCount > 0 && !keepAside(theirs.others, theirs.otherCount))
            continue;
        QStringList joined = MergeRecords({}, m_records, theirs.records);
        if (!keepWithin(joined))
            continue;
        m_records = joined;
        m_mergedCopies.append(name);
        merged = true;
    }
    if (merged)
        SortReminders();
    return merged;
}

void ReminderList::removeMergedCopies()
{
    const QDir folder = QFileInfo(path()).absoluteDir();
    for (const QString &name : std::as_const(m_mergedCopies))
        QFile::remove(folder.filePath(name));
    m_mergedCopies.clear();
}

// True when the file no longer holds what this list last read or wrote: its records are merged in,
// and lines of it that are no records are kept aside.
bool ReminderList::mergeFromDisk()
{
    if (FileStamp(path()) == m_onDiskStamp)
        return false;
    const std::optional<QByteArray> bytes = ReadFileBytes(path());
    if (!bytes || *bytes == m_onDisk) {
        m_onDiskStamp = FileStamp(path()); // touched, not changed
        return false;
    }
    const FileRecords theirs = readRecords(*bytes, MaxCount);
    if (theirs.otherCount > 0 && !keepAside(theirs.others, theirs.otherCount))
        return false;
    QStringList merged = MergeRecords(m_base, m_records, theirs.records);
    if (!keepWithin(merged))
        return false;
    m_records = merged;
    m_base = theirs.records;
    keepOnDisk(*bytes);
    SortReminders();
    return true;
}

// Records past MaxCount are kept aside, not dropped; false when they cannot be.
bool ReminderList::keepWithin(QStringList &records)
{
    if (records.size() <= MaxCount)
        return true;
    QByteArray over;
    for (const QString &record : records.mid(MaxCount))
        over += record.toUtf8() + "\r\n";
    if (!keepAside(over, int(records.size()) - MaxCount))
        return false;
    records.resize(MaxCount);
    return true;
}

void ReminderList::keepOnDisk(const QByteArray &bytes)
{
    m_onDisk = bytes;
    m_onDiskStamp = FileStamp(path());
}

// Snoozes are read only beside a readable list: one without its record is dropped, and a list that
// could not be read would take them all.
void ReminderList::loadSnoozes()
{
    m_held.clear();
    QByteArray unread;
    QString reason;
    m_snoozesUnreadable.clear();
    if (!m_snoozes.load(&unread, &reason)) {
        m_snoozesUnreadable = reason;
        notify(unreadableMessage(SnoozeStore::path(), reason));
        return;
    }
    if (!unread.isEmpty()) {
        const QString aside = SnoozeStore::path() + QStringLiteral(".skipped");
        if (!AppendToFile(aside, unread, &reason)) {
            m_snoozesUnreadable = reason;
            notify(unreadableMessage(aside, reason));
            return;
        }
        notify(setAsideMessage(int(unread.count('\n')), aside));
    }
    if (m_snoozes.keepOnly(m_records) || !unread.isEmpty())
        saveSnoozes();
}

bool ReminderList::saveSnoozes()
{
    QString reason = m_snoozesUnreadable;
    const bool written = reason.isEmpty() && !isSavingRefused() && m_snoozes.save(&reason);
    if (!written)
        Q_EMIT saveFailed(SnoozeStore::path(), reason.isEmpty() ? m_unreadable : reason);
    Q_EMIT snoozesChanged();
    return written;
}

void ReminderList::notify(const Message &message)
{
    if (m_sink)
        m_sink(message);
}

bool ReminderList::SaveReminders()
{
    QString reason;
    bool written = false;
    if (isSavingRefused()) {
        reason = tr("The file could not be read at start-up (%1), so it is not written over.").arg(m_unreadable);
    } else {
        mergeFromDisk();
        const QString text = fileText();
        written = WriteTextFile(path(), text, &reason);
        if (written) {
            m_base = m_records;
            keepOnDisk(text.toUtf8());
            removeMergedCopies();
        }
    }
    if (!written)
        Q_EMIT saveFailed(path(), reason);
    else if (m_snoozes.keepOnly(m_records)) // its record was removed or answered
        saveSnoozes();
    Q_EMIT listChanged();
    return written;
}

QString ReminderList::fileText() const
{
    qsizetype size = 0;
    for (const QString &record : m_records)
        size += record.size() + 2;
    QString text;
    text.reserve(size);
    for (const QString &record : m_records) {
        text += record;
        text += u"\r\n";
    }
    return text;
}

bool ReminderList::AppendReminder(const QString &record)
{
    if (count() >= MaxCount || !IsWellFormedRecord(record))
        return false;
    m_records.append(OneLine(record));
    return true;
}

void ReminderList::DeleteReminder(int index)
{
    if (index < 0 || index >= count())
        return;
    m_records.removeAt(index);
    if (m_records.isEmpty())
        Q_EMIT emptied();
}

void ReminderList::SortReminders()
{
    const QList<qint64> keys = dueKeys(m_records);
    if (!IsAscending(keys)) {
        if (std::is_sorted(keys.cbegin() + 1, keys.cend())) {
            // One record out of place in front of a sorted list (a delivery): the exchange sort
            // carries it to the first key that is not smaller, ahead of its equals.
            const auto to = std::lower_bound(keys.cbegin() + 1, keys.cend(), keys.first());
            m_records.move(0, to - keys.cbegin() - 1);
        } else if (std::is_sorted(keys.cbegin(), keys.cend() - 1)) {
            sortLastIntoPlace(m_records, keys);
        } else {
            const QList<qsizetype> order = ExchangeSortOrder(keys);
            QStringList sorted;
            sorted.reserve(m_records.size());
            for (qsizetype from : order)
                sorted.append(std::move(m_records[from]));
            m_records = std::move(sorted);
        }
    }
    Q_EMIT countChanged(count());
}

std::optional<Message> ReminderList::AddReminder(
    const QDate &date, const QTime &time, int schedule, int category, const QString &message)
{
    std::optional<Message> refusal;
    const QString record = MakeReminderRecord(date, time, schedule, category, message);
    if (DueKey(record) < CurrentDueKey(Clock::now()))
        refusal = Schedule::pastMessage();
    else
        refusal = Schedule::CheckScheduleRule(schedule, date);
    if (!refusal && !AppendReminder(record) && count() >= MaxCount)
        refusal = Schedule::listFullMessage();
    SortReminders();
    SaveReminders();
    return refusal;
}

bool ReminderList::RemoveReminder(int index, const QString &record)
{
    if (index < 0 || index >= count() || m_records.at(index) != record)
        return false;
    DeleteReminder(index);
    SortReminders();
    SaveReminders();
    return true;
}

void ReminderList::advance(int index)
{
    const QString record = m_records.at(index);
    const QDate next = Schedule::NextDueDate(RecordDate(record), RecordSchedule(record), Clock::now().date());
    if (!next.isValid() || next.year() > 9999)
        DeleteReminder(index);
    else
        m_records[index] = WithDate(record, next);
}

void ReminderList::AdvanceFirstReminder()
{
    if (m_records.isEmpty())
        return;
    advance(0);
    SortReminders();
}

void ReminderList::RescheduleFirstReminder()
{
    if (!m_records.isEmpty())
        advance(0);
}

void ReminderList::readOptions()
{
    m_deliverPast = Settings::readCheckState(Key::ReminderPast) == 1;
    m_deliverNone = Settings::readCheckState(Key::ReminderNone) == 1;
    const int showAs = Settings::readInteger(Key::ReminderShowAs);
    m_showAs = showAs >= 0 && showAs <= 2 ? ShowAs(showAs) : ShowAs::BoxAndNotification;
    m_oneByOne = Settings::readCheckState(Key::ReminderOneByOne) == 1;
    const int snooze = Settings::readInteger(Key::ReminderSnooze);
    m_snoozeChoice = snooze >= FiveMinutes && snooze <= Tomorrow ? snooze : TenMinutes;
}

void ReminderList::setShowAs(ShowAs showAs)
{
    m_showAs = showAs;
    Settings::saveInteger(Key::ReminderShowAs, int(showAs));
}

void ReminderList::setOneByOne(bool on)
{
    m_oneByOne = on;
    Settings::saveCheckState(Key::ReminderOneByOne, on);
}

void ReminderList::setSnoozeChoice(int choice)
{
    m_snoozeChoice = qBound(int(FiveMinutes), choice, int(Tomorrow));
    Settings::saveInteger(Key::ReminderSnooze, m_snoozeChoice);
}

QStringList ReminderList::snoozeNames()
{
    return { tr("5 minutes"), tr("10 minutes"), tr("30 minutes"), tr("1 hour"), tr("tomorrow") };
}

// Counted on the wall clock, whose times the files hold: across the change back to winter time a
// snooze never comes back before the time asked for. A time the change to summer time skips comes
// at the end of the skipped hour.
QDateTime ReminderList::snoozeUntil(const QDateTime &now, int choice)
{
    static constexpr int minutes[] = { 5, 10, 30, 60 };
    const QDateTime wall(now.date(), now.time(), QTimeZone::utc());
    const QDateTime later
        = choice >= FiveMinutes && choice < Tomorrow ? wall.addSecs(60 * minutes[choice]) : wall.addDays(1);
    const QDateTime until(later.date(), later.time());
    const QDateTime afterGap = later.addSecs(3600);
    return until.isValid() ? until : QDateTime(afterGap.date(), afterGap.time());
}

void ReminderList::setDeliverPast(bool on)
{
    if (on == m_deliverPast)
        return;
    m_deliverPast = on;
    Settings::saveCheckState(Key::ReminderPast, on);
    Q_EMIT deliverPastChanged(on);
}

void ReminderList::setDeliverNone(bool on)
{
    if (on == m_deliverNone)
        return;
    m_deliverNone = on;
    Settings::saveCheckState(Key::ReminderNone, on);
    Q_EMIT deliverNoneChanged(on);
}

void ReminderList::RemLoadCheckPast()
{
    const QDateTime now = Clock::now();
    if (m_deliverPast || m_records.isEmpty())
        return;
    QStringList snoozed;
    m_records.removeIf([&](const QString &record) {
        if (!m_snoozes.find(record))
            return false;
        snoozed.append(record);
        return true;
    });
    if (!m_records.isEmpty() && DueKey(m_records.first()) < CurrentDueKey(now)) {
        AdvanceFirstReminder(); // the file may be out of order: this first sort puts it right
        advanceAllDueBefore(now);
    }
    if (!snoozed.isEmpty()) {
        m_records += snoozed;
        SortReminders();
    }
    SaveReminders();
}

// The list is sorted. Moving the due reminders on one by one, oldest first, with a sort after each,
// files each moved reminder (due after today, so after every reminder still due) ahead of the equal
// keys already filed; done at once, the last one moved comes first among equals.
void ReminderList::advanceAllDueBefore(const QDateTime &now)
{
    const QString key = CurrentDueKey(now);
    const auto firstLater = std::partition_point(
        m_records.cbegin(), m_records.cend(), [&key](const QString &record) { return DueKey(record) < key; });
    QStringList moved;
    for (auto it = m_records.cbegin(); it != firstLater; ++it) {
        const QDate next = Schedule::NextDueDate(RecordDate(*it), RecordSchedule(*it), now.date());
        if (next.isValid() && next.year() <= 9999)
            moved.append(WithDate(*it, next));
    }
    if (firstLater == m_records.cbegin())
        return;
    std::reverse(moved.begin(), moved.end());
    std::stable_sort(moved.begin(), moved.end(), keyLess);
    QStringList merged;
    merged.reserve(moved.size() + (m_records.cend() - firstLater));
    std::merge(moved.cbegin(), moved.cend(), firstLater, m_records.cend(), std::back_inserter(merged), keyLess);
    m_records = std::move(merged);
    if (m_records.isEmpty())
        Q_EMIT emptied();
    Q_EMIT countChanged(count());
}

Message ReminderList::deliveryMessage(const QString &record)
{
    const QString when = dueTimeText(QDateTime(RecordDate(record), RecordTime(record)));
    return { Message::Icon::Information, tr("Quillory2 Reminder - ") + when,
        RecordMessagePreview(record, DeliveryPreviewLength) };
}

QString ReminderList::dueTimeText(const QDateTime &due)
{
    const QLocale locale;
    return locale.toString(due.time(), QStringLiteral("h:mm AP"))
        + locale.toString(due.date(), QStringLiteral(", ddd d MMM"));
}

Message ReminderList::unreadableMessage(const QString &path, const QString &reason)
{
    return { Message::Icon::Exclamation, tr("Quillory2: Cannot read the reminders"),
        tr("THE REMINDERS COULD NOT BE READ\r\n\r\n%1\r\n%2\r\n\r\nThe file is left as it is: nothing is "
           "saved over it, so reminders added now are not kept.\r\n\r\nSolution:\r\nPut the file right (or "
           "move it away), then start Quillory2 again.")
            .arg(QDir::toNativeSeparators(path), reason) };
}

Message ReminderList::setAsideMessage(int lines, const QString &path)
{
    return { Message::Icon::Information, tr("Quillory2: Lines set aside"),
        (lines == 1 ? tr("1 line of the reminders file could not be read as a reminder")
                    : tr("%1 lines of the reminders file could not be read as reminders").arg(lines))
            + tr(" (a damaged line, or more than 32,767 reminders).\r\n\r\nThey were moved, unchanged, to "
                 "the end of\r\n%1")
                  .arg(QDir::toNativeSeparators(path)) };
}

void ReminderList::DoTest()
{
    QList<Occurrence> due = dueOccurrences(Clock::now());
    if (due.isEmpty())
        return;
    if (m_deliverNone || !m_deliver) {
        QStringList records;
        for (const Occurrence &occurrence : std::as_const(due))
            records.append(occurrence.record);
        acknowledge(records);
        return;
    }
    if (m_oneByOne) {
        if (!m_held.isEmpty()) // the next comes once this one is answered
            return;
        due.resize(1);
    }
    for (const Occurrence &occurrence : std::as_const(due))
        m_held.insert(occurrence.record);
    m_deliver(due);
}

// The list is sorted (a file out of order is used as it stands, as far as its first later record).
QList<ReminderList::Occurrence> ReminderList::dueOccurrences(const QDateTime &now) const
{
    const QString key = CurrentDueKey(now);
    QList<Occurrence> due;
    for (const QString &record : m_records) {
        if (DueKey(record) > key)
            break;
        if (!m_held.contains(record) && !m_snoozes.find(record))
            due.append({ record, QDateTime(RecordDate(record), RecordTime(record)), false });
    }
    for (const SnoozeStore::Snooze &snooze : m_snoozes.snoozes()) {
        if (snooze.until > now)
            break;
        if (!m_held.contains(snooze.record))
            due.append({ snooze.record, snooze.until, true });
    }
    std::stable_sort(due.begin(), due.end(), [](const Occurrence &a, const Occurrence &b) { return a.due < b.due; });
    return due;
}

void ReminderList::acknowledge(const QStringList &records)
{
    bool snoozesChanged = false;
    for (const QString &record : records) {
        m_held.remove(record);
        snoozesChanged = m_snoozes.remove(record) || snoozesChanged;
        // While it was shown the user may have removed it, or added others before it.
        if (const int index = int(m_records.indexOf(record)); index >= 0)
            advance(index);
    }
    SortReminders();
    SaveReminders();
    if (snoozesChanged)
        saveSnoozes();
}

bool ReminderList::snooze(const QString &record, const QDateTime &until)
{
    m_held.remove(record);
    if (!m_records.contains(record))
        return false;
    m_snoozes.set(record, until);
    saveSnoozes();
    Q_EMIT listChanged();
    return true;
}
