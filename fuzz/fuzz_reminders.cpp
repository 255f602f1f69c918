// Any bytes as reminders.dat, through the list's whole life: load, deliver what is due, save, load
// again. Never crashes; every line comes back, either in the list or set aside; the saved list reads
// back as the same list, and nothing more is set aside the second time.
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    DataFolder::setPath(folder.path());
    Settings::useFile(folder.filePath(QStringLiteral("settings.ini")));
    Clock::setFixed(QDateTime(QDate(2024, 3, 12), QTime(10, 15, 5)));

    ReminderList list;
    QFile::remove(list.skippedPath());
    QFile file(list.path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qsizetype(size));
    file.close();

    list.setMessageSink([](const Message &) { return true; });
    list.LoadReminders();
    for (int tick = 0; tick < 3; ++tick)
        list.DoTest();
    if (!list.SaveReminders())
        std::abort();
    const QByteArray aside = readAll(list.skippedPath());

    ReminderList again;
    again.setMessageSink([](const Message &) { return true; });
    again.LoadReminders();
    if (again.records() != list.records() || readAll(list.skippedPath()) != aside)
        std::abort();
    return 0;
}
