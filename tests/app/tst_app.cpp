#include "../support/endonsignal.h"
#include "../support/programhome.h"
#include "../support/tablerow.h"
#include "../support/testenvironment.h"

#include "app/frmqy2.h"
#include "app/systray.h"
#include "app/windowopener.h"
#include "app/windows.h"
#include "calendar/frmcalendar.h"
#include "common/settings.h"
#include "planner/frmplanner.h"
#include "platform/singleinstance.h"
#include "reminders/frmreminder.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderrecord.h"
#include "reminders/schedule.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <array>
#include <memory>
#include <span>
#include <sys/stat.h>

namespace {

// A stand-in window that notes when it is unloaded, and whether it was loaded at all.
class ProbeWindow final : public QWidget
{
public:
    ProbeWindow(QString key, QStringList *log)
        : m_key(std::move(key))
        , m_log(log)
    {
        m_log->append(QStringLiteral("load ") + m_key);
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (property("refuseClose").toBool()) {
            event->ignore();
            return;
        }
        m_log->append(QStringLiteral("unload ") + m_key);
        QWidget::closeEvent(event);
    }

private:
    QString m_key;
    QStringList *m_log;
};

// What a termination signal does, done the moment a message box or dialog is open.
void endWhenABoxOpens(frmQY2 &main, bool *seen)
{
    auto *poll = new QTimer(&main);
    QObject::connect(poll, &QTimer::timeout, &main, [&main, poll, seen] {
        if (QApplication::activeModalWidget()) {
            *seen = true;
            poll->stop();
            main.endUnattended();
        }
    });
    poll->start(20);
}

void registerProbes(WindowOpener &opener, std::span<const WindowKey> keys, QStringList *log)
{
    for (WindowKey key : keys)
        opener.registerWindow(key, [key, log] { return new ProbeWindow(windowName(key), log); });
}

} // namespace

// Tray icon control, window opener, main window start-up and shutdown, one copy at a time.
class TestShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void openerLoadsOnceAndBringsForward();
    void exitStopsAtAWindowThatKeepsItsWork();

    void startUpShowsSplashOrToolBar_data();
    void startUpShowsSplashOrToolBar();
    void trayEventsOpenWindows();
    void shutdownSavesAndUnloadsOnce();
    void missingNotificationAreaIsRecorded();

    void calendarAndPlannerMoveEachOtherOnce();
    void plansAndRemindersShowInCalendarAndPlanner();

    void endingWithABoxOpen_data();
    void endingWithABoxOpen();
    void startProblemsAreSaidOnce();

    void singleInstance();
    void leftOverPipeIsTakenOver();
    void pipePathHoldingSomethingElse_data();
    void pipePathHoldingSomethingElse();
    void secondStartExitsAndSignalEndsCleanly();
    void signalDuringAStartUpMessageEnds();
    void signalWithTheMissedListOpenAcknowledgesNothing();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestShell::openerLoadsOnceAndBringsForward()
{
    WindowOpener opener;
    QStringList log;
    QSignalSpy registered(&opener, &WindowOpener::registered);
    QVERIFY(!opener.show(WindowKey::Calculator)); // nothing registered: nothing pretends to open
    registerProbes(opener, std::array { WindowKey::Calculator }, &log);
    QCOMPARE(registered.count(), 1);
    QVERIFY(opener.isRegistered(WindowKey::Calculator));
    QVERIFY(!opener.isRegistered(WindowKey::Calendar));

    QWidget *first = opener.show(WindowKey::Calculator);
    QVERIFY(first && first->isVisible());
    first->move(40, 50);
    QWidget *second = opener.show(WindowKey::Calculator);
    QCOMPARE(second, first);
    QCOMPARE(second->pos(), QPoint(40, 50));
    QCOMPARE(log, QStringList { QStringLiteral("load Calc") });

    first->close(); // closing the window unloads it; the next show loads it again
    QTRY_VERIFY(!opener.window(WindowKey::Calculator));
    QVERIFY(opener.load(WindowKey::Calculator));
    QCOMPARE(log.count(QStringLiteral("load Calc")), 2);
    QVERIFY(!opener.window(WindowKey::Calculator)->isVisible()); // load alone keeps it hidden
}

void TestShell::exitStopsAtAWindowThatKeepsItsWork()
{
    frmQY2 main;
    QStringList log;
    registerProbes(main.opener(), std::array { WindowKey::Calculator, WindowKey::QuickNotes }, &log);
    main.opener().show(WindowKey::Calculator);
    auto *notes = main.opener().show(WindowKey::QuickNotes);
    notes->setProperty("refuseClose", true); // its user answered Cancel
    main.requestExit();
    QVERIFY(!main.isUnloaded());
    QVERIFY(notes->isVisible());
    QCOMPARE(log.count(QStringLiteral("unload Calc")), 1);

    notes->setProperty("refuseClose", false);
    main.requestExit();
    QVERIFY(main.isUnloaded());
}

void TestShell::startUpShowsSplashOrToolBar_data()
{
    columns<QString, QString, bool, QStringList>("splash", "toolbar", "keptDocument", "loaded");
    row("fresh store: splash", QString(), QString(), false, QStringList { "load Splash" });
    row("splash off: toolbar", "0", "1", false, QStringList { "load ToolBar" });
    row("both off: tray only", "0", "0", false, QStringList {});
    row("a document kept by a crash: TextEd offers it", "0", "0", true, QStringList { "load Text" });
}

void TestShell::startUpShowsSplashOrToolBar()
{
    auto [splash, toolbar] = fetch<QString, QString>("splash", "toolbar");
    if (!splash.isNull())
        Settings::save(Key::ShowSplash, splash);
    if (!toolbar.isNull())
        Settings::save(Key::ShowToolBar, toolbar);
    QFETCH(bool, keptDocument);
    if (keptDocument) {
        QVERIFY(QDir().mkpath(m_env->dataPath(QStringLiteral("TextEd Recovery"))));
        m_env->writeBytes(QStringLiteral("TextEd Recovery/1.rtf"), "{\\rtf1 kept}");
    }
    QStringList log; // outlives the main window, whose end unloads the probes
    frmQY2 main;
    registerProbes(main.opener(), std::array { WindowKey::Splash, WindowKey::ToolBar, WindowKey::TextEd }, &log);
    main.Form_Load();
    QTEST(log, "loaded");
    QVERIFY(!main.isVisible());
    QCOMPARE(main.sysTray().toolTip(), QStringLiteral("Quillory II"));
    QVERIFY(main.sysTray().isVisible());
}

void TestShell::trayEventsOpenWindows()
{
    Settings::save(Key::ShowSplash, QStringLiteral("0"));
    Settings::save(Key::ShowToolBar, QStringLiteral("0"));
    QStringList log; // outlives the main window, whose end unloads the probes
    frmQY2 main;
    registerProbes(main.opener(), std::array { WindowKey::ToolBar, WindowKey::PopUpMenu }, &log);
    main.Form_Load();

    main.sysTray().handleIconEvent(QEvent::Enter, Qt::NoButton); // auto pop-up on by default
    QCOMPARE(log, QStringList { QStringLiteral("load PopUp") });
    main.sysTray().handleIconEvent(QEvent::Enter, Qt::NoButton); // an open menu is only brought forward
    QCOMPARE(log.size(), 1);
    main.sysTray().handleActivation(QSystemTrayIcon::Trigger);
    QCOMPARE(log.last(), QStringLiteral("load ToolBar"));

    main.opener().unloadAll();
    log.clear();
    main.setAutoPopUpMenu(0);
    main.sysTray().handleIconEvent(QEvent::Enter, Qt::NoButton);
    QCOMPARE(log, QStringList());
    main.sysTray().handleActivation(QSystemTrayIcon::Context); // the right button still opens it
    QCOMPARE(log, QStringList { QStringLiteral("load PopUp") });
    main.sysTray().handleActivation(QSystemTrayIcon::DoubleClick);
    main.sysTray().handleIconEvent(QEvent::MouseButtonRelease, Qt::LeftButton);
    QCOMPARE(log.size(), 1);
}

void TestShell::shutdownSavesAndUnloadsOnce()
{
    Settings::save(Key::AutoPopUpMenu, QStringLiteral("7"));
    Settings::save(Key::ShowSplash, QStringLiteral("0"));
    Settings::save(Key::ShowToolBar, QStringLiteral("1"));
    auto main = std::make_unique<frmQY2>();
    QStringList log;
    registerProbes(main->opener(), unloadOrder(), &log);
    main->Form_Load();
    main->opener().show(WindowKey::Calculator);
    main->opener().show(WindowKey::QuickNotes);
    main->setPopUpDelay(4);
    QSignalSpy unloaded(main.get(), &frmQY2::unloaded);

    log.clear();
    main->unload();
    QCOMPARE(log, (QStringList { "unload Calc", "unload ToolBar", "unload Quick" }));
    QCOMPARE(Settings::get(Key::AutoPopUpMenu), QStringLiteral("7")); // the text as read
    QCOMPARE(Settings::get(Key::PopUpDelay), QStringLiteral("4"));
    QVERIFY(!main->sysTray().isVisible());
    QVERIFY(!main->remTimer().isActive());
    QCOMPARE(unloaded.count(), 1);

    main->unload(); // a signal after Exit, or logout after a signal: nothing runs twice
    main.reset();
    QCOMPARE(unloaded.count(), 1);
    QCOMPARE(log.size(), 3);

    frmQY2 applied;
    applied.Form_Load();
    applied.setAutoPopUpMenu(0); // the Options dialog applies a check-box state
    applied.unload();
    QCOMPARE(Settings::get(Key::AutoPopUpMenu), QStringLiteral("0"));
}

void TestShell::missingNotificationAreaIsRecorded()
{
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable()); // the offscreen desktop has none
    frmQY2 main;
    QSignalSpy changed(&main, &frmQY2::trayMissingChanged);
    main.Form_Load();
    QVERIFY(!main.isTrayMissing()); // a tray host may still be starting
    QTRY_VERIFY_WITH_TIMEOUT(main.isTrayMissing(), frmQY2::TrayWaitMs + 2000);
    QCOMPARE(changed.count(), 1);
}

// A day clicked in the Calendar moves the Planner (loaded unshown for it), and a day the Planner does
// not take is not chosen; each change of the Planner's day moves the Calendar's months without
// counting as a click; neither echoes back.
void TestShell::calendarAndPlannerMoveEachOtherOnce()
{
    m_env->setNow(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
    frmQY2 main;
    registerWindows(main);
    auto *calendar = qobject_cast<frmCalendar *>(main.opener().show(WindowKey::Calendar));
    QVERIFY(calendar);
    QSignalSpy clicks(calendar, &frmCalendar::dayClicked);
    calendar->MonthView2_DateClick(QDate(2026, 12, 20));
    auto *planner = qobject_cast<frmPlanner *>(main.opener().window(WindowKey::Planner));
    QVERIFY(planner);
    QVERIFY(!planner->isVisible());
    QCOMPARE(planner->shownDate(), QDate(2026, 12, 20));
    QCOMPARE(clicks.count(), 1);
    const QLabel *panel2 = calendar->findChild<QLabel *>(QStringLiteral("panel2"));
    QCOMPARE(panel2->text(), QStringLiteral("13 days from today"));

    m_env->dialogs.answers = { true, true };
    planner->purge(); // while it purges the Planner takes no other day, and the Calendar keeps its own
    calendar->MonthView2_DateClick(QDate(2026, 12, 25));
    QCOMPARE(planner->shownDate(), QDate(2026, 12, 20));
    QCOMPARE(calendar->value(), QDate(2026, 12, 20));
    QCOMPARE(panel2->text(), QStringLiteral("13 days from today"));
    QTRY_VERIFY(!planner->isPurging());

    QSignalSpy days(planner, &frmPlanner::dayShown);
    planner->stepDay(1);
    QCOMPARE(days.count(), 1);
    QCOMPARE(calendar->value(), QDate(2026, 12, 21));
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(panel2->text(), QStringLiteral("13 days from today"));
    main.unload();
}

// A plan typed in the Planner marks its day in the open Calendar at once, and still after the day is
// left; a reminder added marks its day and rings at its slot in the Planner, whose bell opens the
// Reminders window on it.
void TestShell::plansAndRemindersShowInCalendarAndPlanner()
{
    m_env->setNow(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
    frmQY2 main;
    registerWindows(main);
    auto *calendar = qobject_cast<frmCalendar *>(main.opener().show(WindowKey::Calendar));
    QVERIFY(calendar);
    calendar->MonthView2_DateClick(QDate(2026, 12, 14));
    auto *planner = qobject_cast<frmPlanner *>(main.opener().window(WindowKey::Planner));
    QVERIFY(planner);
    const auto *december = calendar->findChild<QCalendarWidget *>(QStringLiteral("month0"));
    QTest::keyClicks(planner->findChild<QLineEdit *>(QStringLiteral("txtPlanItem18")), QStringLiteral("Dentist"));
    QCOMPARE(december->dateTextFormat(QDate(2026, 12, 14)).fontWeight(), int(QFont::Bold));
    QCOMPARE(december->accessibleDescription(), QStringLiteral("14 December: 1 plan"));

    QVERIFY(
        !main.reminders().AddReminder(QDate(2026, 12, 20), QTime(10, 15), Schedule::Once, 2, QStringLiteral("Pay")));
    planner->showDay(QDate(2026, 12, 20));
    QCOMPARE(december->accessibleDescription(), QStringLiteral("14 December: 1 plan; 20 December: 1 reminder"));
    auto *bell = planner->findChild<QToolButton *>(QStringLiteral("bellPlan20"));
    QVERIFY(bell);
    QTest::mouseClick(bell, Qt::LeftButton);
    auto *reminders = qobject_cast<frmReminder *>(main.opener().window(WindowKey::Reminders));
    QVERIFY(reminders && reminders->isVisible());
    QCOMPARE(main.reminders().record(reminders->chosenIndex()),
        MakeReminderRecord(QDate(2026, 12, 20), QTime(10, 15), Schedule::Once, 2, QStringLiteral("Pay")));
    main.unload();
}

void TestShell::endingWithABoxOpen_data()
{
    QTest::addColumn<int>("scenario");
    row("refused reminder", 1);
    row("file dialog", 4);
    row("reminder delivered", 5);
}

// The window that opened the box lives until its code has finished; then the shutdown runs whole,
// and nothing is taken as answered.
void TestShell::endingWithABoxOpen()
{
    QFETCH(int, scenario);
    const QByteArray due = "202403121015000due\r\n";
    m_env->writeBytes(ReminderList::fileName(), due);
    m_env->setNow(QDateTime(QDate(2024, 3, 12), scenario == 5 ? QTime(10, 15, 5) : QTime(10, 0)));
    Settings::save(Key::ShowSplash, QStringLiteral("0"));
    Settings::save(Key::ShowToolBar, QStringLiteral("0"));
    Dialogs::record(nullptr);
    auto main = std::make_unique<frmQY2>();
    registerWindows(*main);
    main->Form_Load();
    main->setPopUpDelay(4);
    QSignalSpy unloaded(main.get(), &frmQY2::unloaded);
    bool boxSeen = false;
    endWhenABoxOpens(*main, &boxSeen);

    QPointer<QWidget> window = main->opener().show(scenario == 1 ? WindowKey::Reminders : WindowKey::Calculator);
    switch (scenario) {
    case 1:
        window->findChild<QAction *>(QStringLiteral("btnNew"))->trigger();
        window->findChild<QComboBox *>(QStringLiteral("cboDelivery"))->setCurrentIndex(Schedule::Weekends);
        window->findChild<QAction *>(QStringLiteral("btnAdd"))->trigger();
        break;
    case 4: QCOMPARE(Dialogs::chooseFile({}, window), std::nullopt); break;
    case 5: main->tmrRemTimer_Timer(); break;
    }
    QVERIFY(boxSeen);
    QTRY_COMPARE(unloaded.count(), 1);
    QVERIFY(!window);
    QCOMPARE(Settings::get(Key::PopUpDelay), QStringLiteral("4"));
    QCOMPARE(m_env->readBytes(ReminderList::fileName()), due); // the reminder was not acknowledged
}

void TestShell::startProblemsAreSaidOnce()
{
    // The settings file sits in a folder that is a file: it cannot be written.
    m_env->writeBytes(QStringLiteral("blocked"), "a file");
    Settings::useFile(m_env->dataPath(QStringLiteral("blocked/Quillory2.conf")));
    m_env->writeBytes(QStringLiteral("reminders.dat.Ab12Cd"), "a save cut short");
    frmQY2 main;
    main.Form_Load();
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown.first().title, QStringLiteral("Quillory2: Settings cannot be saved"));
    QVERIFY(!QFile::exists(m_env->dataPath(QStringLiteral("reminders.dat.Ab12Cd"))));
    Settings::useFile(m_env->settingsFile());
}

// Counts the wake-ups of every socket notifier of the program while it lives.
struct SocketActivations : QObject
{
    int count = 0;
    SocketActivations() { QCoreApplication::instance()->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::SockAct ? 1 : 0;
        return false;
    }
};

void TestShell::singleInstance()
{
    const QString folder = m_env->dataPath();
    SingleInstance first(QStringLiteral("qy2test"), folder, folder);
    QVERIFY(first.claim());
    QSignalSpy told(&first, &SingleInstance::secondStartRequested);

    SingleInstance second(QStringLiteral("qy2test"), folder, folder);
    QVERIFY(!second.claim());
    QVERIFY(second.tellRunningCopy());
    QTRY_COMPARE(told.count(), 1);
    QVERIFY(second.tellRunningCopy()); // and again, later
    QTRY_COMPARE(told.count(), 2);

    // A second login with a runtime folder of its own shares the data, and so the lock.
    QTemporaryDir otherRuntime;
    SingleInstance otherLogin(QStringLiteral("qy2test"), folder, otherRuntime.path());
    QVERIFY(!otherLogin.claim());

    SingleInstance other(QStringLiteral("qy2other"), folder, folder); // another name is another program
    QVERIFY(other.claim());

    // A host name never takes the lock out of its folder: only letters, digits, points and dashes stay.
    QCOMPARE(SingleInstance::lockFileName(QStringLiteral("qy2"), QStringLiteral("../my pc\u00e9.lan-1")),
        QStringLiteral("qy2-.._my_pc_.lan-1.lock"));
    // A lock that a copy on another computer holds, arriving through a shared folder, stops nobody here.
    const QString otherHost = QDir(folder).filePath(SingleInstance::lockFileName(QStringLiteral("qy2far"), "far"));
    m_env->writeBytes(
        QFileInfo(otherHost).fileName(), QByteArray::number(QCoreApplication::applicationPid()) + "\nqy2\nfar\n");
    SingleInstance far(QStringLiteral("qy2far"), folder, folder);
    QVERIFY(far.claim());

    // A lock an hour old is still held while its copy runs.
    const QString lock
        = QDir(folder).filePath(SingleInstance::lockFileName(QStringLiteral("qy2test"), QSysInfo::machineHostName()));
    QFile lockFile(lock);
    QVERIFY(lockFile.open(QIODevice::ReadWrite));
    QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    lockFile.close();
    SingleInstance later(QStringLiteral("qy2test"), folder, folder);
    QVERIFY(!later.claim());

    // Once the later starts have closed their ends, the pipe stays quiet: no wake-ups while idle. A
    // readable pipe would wake the first pass of the event loop that polls it.
    SocketActivations woken;
    for (int pass = 0; pass < 10; ++pass)
        QCoreApplication::processEvents();
    QCOMPARE(woken.count, 0);
    QCOMPARE(told.count(), 2);
}

// A copy that was killed leaves its pipe behind: nobody is told through it, and the next copy takes over.
void TestShell::leftOverPipeIsTakenOver()
{
    const QString folder = m_env->dataPath();
    QCOMPARE(::mkfifo(QFile::encodeName(QDir(folder).filePath(QStringLiteral("qy2test.pipe"))).constData(), 0600), 0);
    SingleInstance late(QStringLiteral("qy2test"), folder, folder);
    QVERIFY(!late.tellRunningCopy());
    SingleInstance next(QStringLiteral("qy2test"), folder, folder);
    QVERIFY(next.claim());
    QSignalSpy told(&next, &SingleInstance::secondStartRequested);
    QVERIFY(late.tellRunningCopy());
    QTRY_COMPARE(told.count(), 1);
}

// Only a pipe of this user's is written to: a link or a file at the pipe's path stays as it is.
void TestShell::pipePathHoldingSomethingElse_data()
{
    QTest::addColumn<bool>("link");
    row("link to a file", true);
    row("file", false);
}

void TestShell::pipePathHoldingSomethingElse()
{
    QFETCH(bool, link);
    const QString folder = m_env->dataPath();
    const QString pipe = QDir(folder).filePath(QStringLiteral("qy2test.pipe"));
    const QString victim = link ? QDir(folder).filePath(QStringLiteral("victim.txt")) : pipe;
    m_env->writeBytes(QFileInfo(victim).fileName(), "keep me");
    if (link)
        QVERIFY(QFile::link(victim, pipe));
    SingleInstance late(QStringLiteral("qy2test"), folder, folder);
    QVERIFY(!late.tellRunningCopy());
    QCOMPARE(m_env->readBytes(QFileInfo(victim).fileName()), QByteArray("keep me"));
}

void TestShell::secondStartExitsAndSignalEndsCleanly()
{
    const QString home = m_env->dataPath(QStringLiteral("home"));
    const QProcessEnvironment environment = programEnvironment(home);
    const QString settingsFile = programSettingsFile(home);

    QProcess first;
    QVERIFY(startProgram(first, environment));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(home + QStringLiteral("/run/quillory2.pipe")), 10000);

    QProcess second;
    QVERIFY(startProgram(second, environment));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    QVERIFY(endsCleanlyOnSignal(first));
    QSettings stored(settingsFile, QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Settings/1128")).toString(), QStringLiteral("1"));
    QCOMPARE(stored.value(QStringLiteral("Settings/1345")).toString(), QStringLiteral("6"));
}

// A message at start-up (here: the reminders cannot be read) is open when the signal comes, before
// the program's event loop has run: the program still ends, once, with its settings written.
void TestShell::signalDuringAStartUpMessageEnds()
{
    const QString home = m_env->dataPath(QStringLiteral("home"));
    QProcess program;
    QProcessEnvironment environment = programEnvironment(home);
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qy2.dialogs.info=true"));
    QVERIFY(QDir().mkpath(home + QStringLiteral("/.local/share/Quillory2/reminders.dat")));
    QVERIFY(startProgram(program, environment));
    QByteArray said;
    QVERIFY(waitUntilSaid(program, "message box open", 10000, &said));
    QVERIFY(endsCleanlyOnSignal(program));
    QSettings stored(programSettingsFile(home), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Settings/1345")).toString(), QStringLiteral("6"));
    QVERIFY(QFileInfo(home + QStringLiteral("/.local/share/Quillory2/reminders.dat")).isDir());
}

// Two reminders missed while the program was off come in one list; ending the program with it open
// acknowledges neither.
void TestShell::signalWithTheMissedListOpenAcknowledgesNothing()
{
    const QString home = m_env->dataPath(QStringLiteral("home"));
    QProcessEnvironment environment = programEnvironment(home);
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qy2.reminders.info=true"));
    const QString data = home + QStringLiteral("/.local/share/Quillory2");
    QVERIFY(QDir().mkpath(data));
    const QByteArray missed("202001010900000first\r\n202001020900010second\r\n");
    QFile file(data + QStringLiteral("/reminders.dat"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(missed) == missed.size());
    file.close();
    QProcess program;
    QVERIFY(startProgram(program, environment));
    QByteArray said;
    QVERIFY(waitUntilSaid(program, "missed list open", 20000, &said));
    QVERIFY(endsCleanlyOnSignal(program));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), missed);
    QVERIFY(!QFile::exists(data + QStringLiteral("/snoozed.dat")));
}

QTEST_MAIN(TestShell)
#include "tst_app.moc"
