// Saves the reminder list over and over through the program's own store, as fast as it can: each
// round adds a reminder (which sorts and saves) and, past 200, removes the oldest (sorts and saves).
// run.sh kills it at random moments and checks what it left behind.
// Usage: qy2-saveloop DATA_FOLDER
#include "common/clock.h"
#include "common/datafolder.h"
#include "common/settings.h"
#include "reminders/reminderlist.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: qy2-saveloop DATA_FOLDER\n");
        return 2;
    }
    DataFolder::setPath(QString::fromLocal8Bit(argv[1]));
    Settings::useFile(QDir(DataFolder::path()).filePath(QStringLiteral("settings.ini")));
    Clock::setFixed(QDateTime(QDate(2024, 1, 1), QTime(9, 0)));
    ReminderList list;
    list.LoadReminders();
    for (int round = 0;; ++round) {
        const QDate date = QDate(2030, 1, 1).addDays(round % 3000);
        list.AddReminder(date, QTime(9, 0), 0, round % 6, QStringLiteral("Round %1 of the kill loop").arg(round));
        if (list.count() > 200)
            list.RemoveReminder(0, list.record(0));
    }
}
