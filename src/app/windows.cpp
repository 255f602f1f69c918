#include "app/windows.h"

#include "app/calendarmarks.h"
#include "app/frmqy2.h"
#include "app/frmsplash.h"
#include "app/frmtoolbar.h"
#include "app/icscommandline.h"
#include "app/searchwiring.h"
#include "app/tooltable.h"
#include "calendar/frmcalendar.h"
#include "common/clock.h"
#include "common/settings.h"
#include "planner/frmplanner.h"
#include "quicknotes/frmquicknotes.h"
#include "reminders/frmreminder.h"
#include "texted/frmtexted.h"
#include "widgets/helpviewer.h"

namespace {

// The Calendar's marks and the Planner's bells follow the plans and reminders as they change.
void wireMarks(frmQY2 &main, CalendarMarks *marks, QWidget *window)
{
    if (auto *calendar = qobject_cast<frmCalendar *>(window)) {
        calendar->setMarkSource(
            [marks](const QDate &first, const QDate &last) { return marks->marks(first, last, Clock::now().date()); });
        QObject::connect(marks, &CalendarMarks::changed, calendar, &frmCalendar::refreshMarks);
    } else if (auto *planner = qobject_cast<frmPlanner *>(window)) {
        planner->setReminderSource([marks](const QDate &day) { return marks->remindersOn(day, Clock::now().date()); });
        QObject::connect(&main.reminders(), &ReminderList::listChanged, planner, &frmPlanner::showReminders);
        QObject::connect(planner, &frmPlanner::reminderChosen, &main, [&main](const QString &record) {
            if (auto *reminders = qobject_cast<frmReminder *>(main.opener().show(WindowKey::Reminders)))
                reminders->chooseRecord(record);
        });
        // Typing shows at once; a day left (or a window closed) unstored goes back to its file.
        QObject::connect(planner, &frmPlanner::entriesChanged, marks,
            [marks, planner](const QDate &day) { marks->setEntries(day, planner->shownEntries()); });
        QObject::connect(
            planner, &frmPlanner::dayShown, marks, [marks](const QDate &day) { marks->forgetAllBut(day); });
        QObject::connect(planner, &QObject::destroyed, marks, [marks] { marks->forgetAllBut(QDate()); });
        QObject::connect(planner, &frmPlanner::daysPurged, marks, &CalendarMarks::forgetAll);
    }
}

// Windows that must reach each other do it through plain public signals and slots, connected
// here when the window is loaded; no tool includes another tool or the application.
void wireLoaded(frmQY2 &main, WindowKey key, QWidget *window)
{
    wireSearch(main, window);
    // Tests register plain stand-ins under the same keys, so the window's type is checked.
    if (auto *splash = qobject_cast<frmSplash *>(window); splash && key == WindowKey::Splash) {
        QObject::connect(splash, &frmSplash::handOver, &main, [&main] {
            if (Settings::readTruth(Key::ShowToolBar) || main.isTrayMissing())
                main.opener().show(WindowKey::ToolBar);
        });
    } else if (auto *notes = qobject_cast<frmQuickNotes *>(window); notes && key == WindowKey::QuickNotes) {
        // "Open Item In TextEd": the note becomes a new TextEd document. TextEd is loaded hidden when
        // it is not open, so that the note's document is its first; it shows itself.
        QObject::connect(notes, &frmQuickNotes::textEdRequested, &main, [&main](const QString &TextForTextEd) {
            if (auto *textEd = qobject_cast<frmTextEd *>(main.opener().load(WindowKey::TextEd)))
                textEd->LoadFromQuickNotes(TextForTextEd);
        });
    } else if (auto *calendar = qobject_cast<frmCalendar *>(window)) {
        // A day clicked moves the Planner there, loading it unshown when it is not open. A day it does
        // not take (a purge runs, or the day it shows could not be stored) is no day chosen.
        QObject::connect(calendar, &frmCalendar::dayClicked, &main, [&main, calendar](const QDate &day) {
            if (auto *days = qobject_cast<frmPlanner *>(main.opener().load(WindowKey::Planner))) {
                days->showDay(day);
                if (days->shownDate() != day)
                    calendar->refuseDay();
            }
        });
    } else if (auto *reminders = qobject_cast<frmReminder *>(window)) {
        reminders->setPlanSource(IcsCommandLine::planAppointments); // the export may take the Planner's days
    } else if (auto *planner = qobject_cast<frmPlanner *>(window)) {
        // Every change of the Planner's day moves the Calendar's months there, without a day click.
        QObject::connect(planner, &frmPlanner::dayShown, &main, [&main](const QDate &day) {
            if (auto *months = qobject_cast<frmCalendar *>(main.opener().load(WindowKey::Calendar)))
                months->setValue(day);
        });
    }
}

} // namespace

void registerWindows(frmQY2 &main)
{
    WindowOpener &opener = main.opener();
    QStringList unavailable;
    for (WindowKey key : unloadOrder()) {
        const WindowEntry &entry = windowEntry(key);
        if (entry.helpPage)
            HelpViewer::addPage(entry.helpTopic, QLatin1String(entry.helpPage));
        if (entry.create)
            opener.registerWindow(key, [&main, create = entry.create] { return create(main); });
    }
    for (WindowKey key : toolKeys()) {
        if (!opener.isRegistered(key))
            unavailable << buttonText(windowEntry(key).face.toolTip);
    }
    HelpViewer::setUnavailable(unavailable);
    auto *marks = new CalendarMarks(main.reminders(), &main);
    QObject::connect(&opener, &WindowOpener::loaded, &main, [&main, marks](WindowKey key, QWidget *window) {
        wireMarks(main, marks, window);
        wireLoaded(main, key, window);
    });
    keepToolBarWhileTrayMissing(main);
}
