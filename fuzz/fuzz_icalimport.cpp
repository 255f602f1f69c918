// The iCalendar import: any bytes are read without a crash, and what comes in goes out and back in
// as the same reminders.
#include "reminders/remindersical.h"

#include <QStringList>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QDateTime now(QDate(2027, 3, 1), QTime(12, 0));
    const RemindersIcal::Parsed parsed
        = RemindersIcal::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), now);
    QStringList records;
    for (const RemindersIcal::Reminder &reminder : parsed.reminders)
        records << reminder.record;
    const RemindersIcal::Parsed again = RemindersIcal::parse(RemindersIcal::exportRecords(records, now), now);
    if (!again.error.isEmpty() || again.reminders.size() > records.size())
        std::abort();
    return 0;
}
