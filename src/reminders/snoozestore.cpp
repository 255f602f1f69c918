#include "reminders/snoozestore.h"

#include "common/datafolder.h"
#include "common/textfile.h"
#include "reminders/reminderrecord.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace {

constexpr int UntilLength = 12;

QString untilText(const QDateTime &until)
{
    return until.toString(QStringLiteral("yyyyMMddhhmm"));
}

} // namespace

QString SnoozeStore::fileName()
{
    return QStringLiteral("snoozed.dat");
}

QString SnoozeStore::path()
{
    return DataFolder::filePath(fileName());
}

QString SnoozeStore::line(const Snooze &snooze)
{
    return untilText(snooze.until) + snooze.record;
}

std::optional<SnoozeStore::Snooze> SnoozeStore::parse(const QString &line)
{
    const QDateTime until = QDateTime::fromString(line.left(UntilLength), QStringLiteral("yyyyMMddhhmm"));
    const QString record = line.mid(UntilLength);
    if (!until.isValid() || untilText(until) != line.left(UntilLength) || !IsWellFormedRecord(record))
        return std::nullopt;
    return Snooze { record, until };
}

bool SnoozeStore::load(QByteArray *unread, QString *error)
{
    m_snoozes.clear();
    if (!QFileInfo::exists(path()))
        return true;
    const std::optional<QByteArray> bytes = ReadFileBytes(path(), error);
    if (!bytes)
        return false;
    forEachLine(*bytes, [&](const QString &text, QByteArrayView raw) {
        if (text.isEmpty())
            return;
        if (const std::optional<Snooze> snooze = parse(text); snooze && !find(snooze->record)) {
            m_snoozes.append(*snooze);
        } else {
            *unread += raw;
            *unread += "\r\n";
        }
    });
    std::stable_sort(
        m_snoozes.begin(), m_snoozes.end(), [](const Snooze &a, const Snooze &b) { return a.until < b.until; });
    return true;
}

bool SnoozeStore::save(QString *error) const
{
    if (m_snoozes.isEmpty() && !QFileInfo::exists(path()))
        return true;
    QString text;
    for (const Snooze &snooze : m_snoozes)
        text += line(snooze) + QStringLiteral("\r\n");
    return WriteTextFile(path(), text, error);
}

const SnoozeStore::Snooze *SnoozeStore::find(const QString &record) const
{
    const auto it = std::find_if(
        m_snoozes.cbegin(), m_snoozes.cend(), [&record](const Snooze &snooze) { return snooze.record == record; });
    return it == m_snoozes.cend() ? nullptr : &*it;
}

void SnoozeStore::set(const QString &record, const QDateTime &until)
{
    remove(record);
    const QDateTime minute(until.date(), QTime(until.time().hour(), until.time().minute()));
    const auto at = std::upper_bound(m_snoozes.begin(), m_snoozes.end(), minute,
        [](const QDateTime &value, const Snooze &snooze) { return value < snooze.until; });
    m_snoozes.insert(at, Snooze { record, minute });
}

bool SnoozeStore::remove(const QString &record)
{
    return m_snoozes.removeIf([&record](const Snooze &snooze) { return snooze.record == record; }) > 0;
}

bool SnoozeStore::keepOnly(const QStringList &records)
{
    if (m_snoozes.isEmpty())
        return false;
    const QSet<QString> present(records.cbegin(), records.cend());
    return m_snoozes.removeIf([&present](const Snooze &snooze) { return !present.contains(snooze.record); }) > 0;
}
