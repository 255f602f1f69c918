#include "reminders/icstransfer.h"

#include "common/datafolder.h"
#include "common/textfile.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderrecord.h"
#include "reminders/remindersical.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

// The file's bytes without creating it; a missing file reads as empty when `missingIsEmpty`.
std::optional<QByteArray> readExisting(const QString &path, bool missingIsEmpty, QString &error)
{
    if (missingIsEmpty && !QFileInfo::exists(path))
        return QByteArray();
    QFile file(path);
    if (!openRegularFile(file, &error))
        return std::nullopt;
    return readDevice(file, &error);
}

QString cannotRead(const QString &path, const QString &reason)
{
    return IcsTransfer::tr("%1 could not be read: %2").arg(path, reason);
}

QString uidPath()
{
    return DataFolder::filePath(IcsTransfer::uidFileName());
}

QString withReport(const QString &summary, const QStringList &report)
{
    return report.isEmpty() ? summary : summary + u'\n' + report.join(u'\n');
}

} // namespace

QString IcsTransfer::uidFileName()
{
    return QStringLiteral("icsimported.dat");
}

IcsTransfer::Outcome IcsTransfer::exportRecords(const QStringList &records, const QString &path, const QDateTime &now,
    const QList<RemindersIcal::Appointment> &appointments)
{
    QString reason;
    if (!WriteFileBytes(path, RemindersIcal::exportRecords(records, now, appointments), &reason))
        return { false, tr("%1 could not be written: %2").arg(path, reason) };
    const qsizetype written = std::count_if(records.cbegin(), records.cend(), RemindersIcal::isExportable);
    QString text = tr("Exported %n reminder(s) to %1.", nullptr, int(written)).arg(path);
    if (!appointments.isEmpty())
        text += u'\n' + tr("With them, %n plan(s) of the Planner.", nullptr, int(appointments.size()));
    if (written < records.size())
        text += u'\n'
            + tr("%n line(s) of the reminder list are no reminders (or lie after the year 2500) and were not exported.",
                nullptr, int(records.size() - written));
    return { true, text };
}

IcsTransfer::Outcome IcsTransfer::exportDataFile(
    const QString &path, const QDateTime &now, const QList<RemindersIcal::Appointment> &appointments)
{
    QString reason;
    const QString dataPath = DataFolder::filePath(ReminderList::fileName());
    const std::optional<QByteArray> bytes = readExisting(dataPath, true, reason);
    if (!bytes)
        return { false, cannotRead(dataPath, reason) };
    QStringList records;
    forEachLine(*bytes, [&records](const QString &line, QByteArrayView) {
        if (!line.isEmpty())
            records << line;
    });
    return exportRecords(records, path, now, appointments);
}

IcsTransfer::Outcome IcsTransfer::importFile(ReminderList &list, const QString &path, const QDateTime &now)
{
    QString reason;
    const std::optional<QByteArray> bytes = readExisting(path, false, reason);
    if (!bytes)
        return { false, cannotRead(path, reason) };
    RemindersIcal::Parsed parsed = RemindersIcal::parse(*bytes, now);
    if (!parsed.error.isEmpty())
        return { false,
            tr("%1 is not a calendar the program can read. Nothing was imported.\n%2").arg(path, parsed.error) };
    const std::optional<QByteArray> uidBytes = readExisting(uidPath(), true, reason);
    if (!uidBytes || list.isSavingRefused())
        return { false,
            tr("Nothing was imported: %1")
                .arg(uidBytes ? tr("the reminder list could not be read at start-up.")
                              : cannotRead(uidPath(), reason)) };
    QStringList known;
    forEachLine(*uidBytes, [&known](const QString &line, QByteArrayView) { known << line; });
    const QSet<QString> knownSet(known.cbegin(), known.cend());
    int added = 0;
    int before = 0;
    for (const RemindersIcal::Reminder &reminder : std::as_const(parsed.reminders)) {
        if (knownSet.contains(reminder.uid) || list.records().contains(reminder.record)) {
            ++before;
        } else if (list.AppendReminder(reminder.record)) {
            ++added;
        } else {
            parsed.report << tr("\u201c%1\u201d was not imported: the reminder list is full.")
                                 .arg(RecordMessage(reminder.record).left(80));
            continue;
        }
        if (!knownSet.contains(reminder.uid))
            known << OneLine(reminder.uid);
    }
    if (added > 0) {
        list.SortReminders();
        if (!list.SaveReminders())
            return { false, tr("The reminder list could not be saved, so the import is not kept on disk.") };
    }
    if (!WriteTextFile(uidPath(),
            known.isEmpty() ? QString() : known.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), &reason))
        parsed.report << tr("The imported events could not be noted in %1 (%2): importing this file again would "
                            "add them again.")
                             .arg(uidPath(), reason);
    QString summary = tr("Imported %n reminder(s) from %1.", nullptr, added).arg(path);
    if (before > 0)
        summary += u' ' + tr("%n were imported before or are in the list already.", nullptr, before);
    return { true, withReport(summary, parsed.report) };
}
