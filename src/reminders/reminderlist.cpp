#include "reminders/reminderlist.h"

#include "common/clock.h"
#include "common/datafolder.h"
#include "common/settings.h"
#include "common/textfile.h"
#include "reminders/reminderrecord.h"
#include "reminders/remindersort.h"
#include "reminders/schedule.h"

#include <QDir>
#include <QLocale>
#include <QScopedValueRollback>
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

void ReminderList::LoadReminders()
{
    m_records.clear();
    m_unreadable.clear();
    QString reason;
    const std::optional<QByteArray> bytes = ReadFileBytes(path(), &reason);
    if (!bytes) {
        m_unreadable = reason.isEmpty() ? tr("Unknown error") : reason;
        notify(unreadableMessage(path(), m_unreadable));
    } else {
        QByteArray skipped;
        int skippedCount = 0;
        forEachLine(*bytes, [&](const QString &line, QByteArrayView raw) {
            if (line.isEmpty())
                return;
            if (m_records.size() < MaxCount && IsWellFormedRecord(line)) {
                m_records.append(line);
            } else {
                skipped += raw;
                skipped += "\r\n";
                ++skippedCount;
            }
        });
        if (skippedCount > 0)
            setAside(skipped, skippedCount);
    }
    Q_EMIT countChanged(count());
    Q_EMIT listChanged();
}

// The lines leave reminders.dat only once they are safe in the side file, so that a later start
// does not set them aside twice; when they cannot be kept there, reminders.dat is left alone.
void ReminderList::setAside(const QByteArray &lines, int count)
{
    QString reason;
    if (!AppendToFile(skippedPath(), lines, &reason)) {
        m_unreadable = reason;
        notify(unreadableMessage(skippedPath(), reason));
        return;
    }
    notify(setAsideMessage(count, skippedPath()));
    SaveReminders();
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
    if (isSavingRefused())
        reason = tr("The file could not be read at start-up (%1), so it is not written over.").arg(m_unreadable);
    else
        written = WriteTextFile(path(), fileText(), &reason);
    if (!written)
        Q_EMIT saveFailed(path(), reason);
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
    if (DueKey(m_records.first()) < CurrentDueKey(now)) {
        AdvanceFirstReminder(); // the file may be out of order: this first sort puts it right
        advanceAllDueBefore(now);
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
    const QLocale locale;
    const QString when = locale.toString(RecordTime(record), QStringLiteral("h:mm AP"))
        + locale.toString(RecordDate(record), QStringLiteral(", ddd d MMM"));
    return { Message::Icon::Information, tr("Quillory2 Reminder - ") + when,
        RecordMessagePreview(record, DeliveryPreviewLength) };
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
    if (m_delivering || m_records.isEmpty())
        return;
    const QString due = m_records.first();
    if (DueKey(due) > CurrentDueKey(Clock::now()))
        return;
    // Ticks go on while the message is open; they find the list busy and leave it alone.
    const QScopedValueRollback busy(m_delivering, true);
    // A message still open when the program ends was not seen: the reminder stays as it is.
    if (!m_deliverNone && m_sink && !m_sink(deliveryMessage(due)))
        return;
    // While the message was open the user may have added or removed reminders: move on the one shown.
    const int index = m_records.value(0) == due ? 0 : int(m_records.indexOf(due));
    if (index < 0)
        return;
    advance(index);
    SortReminders();
    SaveReminders();
}
