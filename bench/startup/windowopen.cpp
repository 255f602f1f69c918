// Opens every tool window of the launcher that exists through the window opener, as a click on its
// button does, and prints the milliseconds until the window is shown and painted: the first opening
// in this process, then the median of 5 openings after closing it. One line a window:
//   <name> <first ms> <second ms>
// run.sh runs it in several processes (first openings happen once per process). With --marks it first
// fills the data folder with a year of day files (365, from January of this year) and 32,767 reminders
// of every schedule, and opens only the Calendar, whose months then show the marks of all of them:
//   Calendar-marks <first ms> <second ms>
#include "app/applicationsetup.h"
#include "app/frmqy2.h"
#include "app/tooltable.h"
#include "app/windows.h"
#include "common/clock.h"
#include "common/datafolder.h"
#include "common/textfile.h"
#include "planner/planday.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderrecord.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double openMs(WindowOpener &opener, WindowKey key)
{
    PaintWatch watch;
    QElapsedTimer timer;
    timer.start();
    QWidget *window = opener.load(key);
    window->installEventFilter(&watch);
    opener.show(key);
    while (!watch.painted && timer.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    window->removeEventFilter(&watch);
    return ms;
}

void closeAndSettle(WindowOpener &opener, WindowKey key)
{
    QPointer<QWidget> window = opener.window(key);
    if (window)
        window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

void fillDataFolder()
{
    const QDate today = Clock::now().date();
    PlanDay::Day day;
    day.entries.resize(PlanDay::slotCount(day.interval));
    day.entries[18].text = QStringLiteral("Meeting about the plans of the week");
    day.entries[26].text = QStringLiteral("Lunch");
    for (QDate date(today.year(), 1, 1); date.year() == today.year(); date = date.addDays(1))
        PlanDay::PlanSaveDay(date, day);
    QString text;
    for (int i = 0; i < ReminderList::MaxCount; ++i) {
        QDate due = today.addDays(1 + i % 200);
        const int schedule = i % 8;
        if (schedule == 3 && due.dayOfWeek() > 5)
            due = due.addDays(8 - due.dayOfWeek());
        if (schedule == 4 && due.dayOfWeek() < 6)
            due = due.addDays(6 - due.dayOfWeek());
        if (schedule == 6 && due.day() > 28)
            due = due.addDays(-3);
        text += MakeReminderRecord(due, QTime(i % 24, i % 60), schedule, i % 6, QStringLiteral("Reminder %1").arg(i))
            + QStringLiteral("\r\n");
    }
    WriteTextFile(DataFolder::filePath(ReminderList::fileName()), text);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(); // as the program does
    const bool marks = app.arguments().contains(QStringLiteral("--marks"));
    if (marks)
        fillDataFolder();
    frmQY2 main;
    registerWindows(main);
    main.reminders().LoadReminders();
    WindowOpener &opener = main.opener();
    for (WindowKey key : toolKeys()) {
        if (!opener.isRegistered(key) || (marks && key != WindowKey::Calendar))
            continue;
        const double first = openMs(opener, key);
        std::vector<double> again;
        for (int i = 0; i < 5; ++i) {
            closeAndSettle(opener, key);
            again.push_back(openMs(opener, key));
        }
        closeAndSettle(opener, key);
        std::sort(again.begin(), again.end());
        std::printf("%s%s %.1f %.1f\n", qPrintable(windowName(key)), marks ? "-marks" : "", first, again[2]);
    }
    return 0;
}
