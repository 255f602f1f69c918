// Any bytes as snoozed.dat beside a list of two reminders: load, deliver what is due (snoozing one,
// acknowledging the rest), load again. Never crashes; a line is kept, set aside or dropped with its
// reminder; the saved snoozes read back the same, and nothing more is set aside the second time.
#include "common/clock.h"
#include "common/datafolder.h"
#include "common/settings.h"
#include "reminders/reminderlist.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

QStringList lines(const ReminderList &list)
{
    QStringList lines;
    for (const SnoozeStore::Snooze &snooze : list.snoozes().snoozes())
        lines.append(SnoozeStore::line(snooze));
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    DataFolder::setPath(folder.path());
    Settings::useFile(folder.filePath(QStringLiteral("settings.ini")));
    Clock::setFixed(QDateTime(QDate(2024, 3, 12), QTime(10, 15, 5)));
    const QString aside = SnoozeStore::path() + QStringLiteral(".skipped");
    QFile::remove(aside);
    write(DataFolder::filePath(ReminderList::fileName()), "202403121015010wake\r\n202403121020000call\r\n");
    write(SnoozeStore::path(), QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));

    ReminderList list;
    list.setMessageSink([](const Message &) { return true; });
    list.LoadReminders();
    const QStringList loaded = lines(list);
    const QByteArray setAside = readAll(aside);
    ReminderList again;
    again.setMessageSink([](const Message &) { return true; });
    again.LoadReminders();
    if (lines(again) != loaded || readAll(aside) != setAside)
        std::abort();

    again.setDeliverySink([&again](const QList<ReminderList::Occurrence> &due) {
        again.snooze(due.first().record, ReminderList::snoozeUntil(Clock::now(), ReminderList::Tomorrow));
        for (qsizetype i = 1; i < due.size(); ++i)
            again.acknowledge({ due.at(i).record });
    });
    again.DoTest();
    ReminderList last;
    last.LoadReminders();
    if (lines(last) != lines(again))
        std::abort();
    return 0;
}
