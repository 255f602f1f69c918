#include "../support/tablerow.h"
#include "../support/testenvironment.h"
#include "../support/widgetlookup.h"
#include "recordfixtures.h"

#include "app/frmqy2.h"
#include "app/windows.h"
#include "common/settings.h"
#include "reminders/frmmissed.h"
#include "reminders/frmreminder.h"
#include "reminders/reminderbox.h"
#include "reminders/reminderdelivery.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderrecord.h"
#include "reminders/schedule.h"
#include "widgets/helpviewer.h"
#include "widgets/windowhelpers.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTreeView>
#include <QtTest>
#include <memory>

class TestFrmReminder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void newThenAddStoresTheReminder();
    void addRejected();
    void categoryButtonsFollowTheList();
    void chooseThenRemove();

    void mainStartUpAndTickDeliver();
    void mainWindowListOutlivesTheWindow();

    void refillForgetsTheChoice();

    void boxAndNotification_data();
    void boxAndNotification();
    void missedList();
    void deliveryOptionsAndTheSnoozedMark();
    void exportTakesThePlannerDaysWhenAsked();

private:
    frmReminder *open();
    template <typename T> T *child(const char *name) const { return ::child<T>(m_window.get(), name); }
    void click(const char *actionName) const { clickButtonOf(child<QAction>(actionName)); }
    QStringList column(int column) const;
    QStringList fileRecords() const;
    void takeFromOutside(ReminderList &list, const QStringList &records) const;

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<ReminderList> m_list;
    std::unique_ptr<frmReminder> m_window;
};

void TestFrmReminder::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_env->setNow(at(2024, 3, 12, 10, 7, 33)); // a Tuesday
    Settings::saveCheckState(Key::ShowSplash, false);
    Settings::saveCheckState(Key::ShowToolBar, false);
}

void TestFrmReminder::cleanup()
{
    m_window.reset();
    m_list.reset();
    m_env.reset();
}

frmReminder *TestFrmReminder::open()
{
    m_window.reset();
    if (!m_list) {
        m_list = std::make_unique<ReminderList>();
        m_list->readOptions();
        m_list->LoadReminders();
    }
    m_window = std::make_unique<frmReminder>(*m_list);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qFatal("window not exposed");
    return m_window.get();
}

QStringList TestFrmReminder::column(int column) const
{
    const QAbstractItemModel *model = child<QTreeView>("lvwRemDue")->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, column).data().toString());
    return texts;
}

// The list file as another computer left it, a minute later than this one's.
void TestFrmReminder::takeFromOutside(ReminderList &list, const QStringList &records) const
{
    m_env->writeBytes(ReminderList::fileName(), fileOf(records));
    QFile file(list.path());
    if (!file.open(QIODevice::ReadWrite)
        || !file.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime))
        qFatal("the list file's time cannot be set");
    file.close();
    list.takeChangesFromOutside();
}

QStringList TestFrmReminder::fileRecords() const
{
    return QString::fromUtf8(m_env->readBytes(ReminderList::fileName()))
        .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

void TestFrmReminder::newThenAddStoresTheReminder()
{
    open();
    child<QComboBox>("cboDelivery")->setCurrentIndex(5);
    click("travel");
    click("btnNew"); // the start is the schedule's rule; the editor shows it and starts afresh
    QCOMPARE(child<QTimeEdit>("DTPicker1")->text(), QStringLiteral("10:15 AM"));
    QVERIFY(child<QAction>("alarms")->isChecked());
    QCOMPARE(child<QComboBox>("cboDelivery")->currentIndex(), 0);
    auto *message = child<QTextEdit>("rtfRemMessage");
    QCOMPARE(message->toPlainText(), QStringLiteral("New Reminder Message"));
    QCOMPARE(message->textCursor().selectedText(), QStringLiteral("New Reminder Message"));
    QVERIFY(child<QAction>("btnAdd")->isEnabled());

    message->setPlainText(QStringLiteral("Dentist\nat ten"));
    child<QComboBox>("cboDelivery")->setCurrentIndex(1);
    click("btnAdd");

    QVERIFY(m_env->dialogs.shown.isEmpty());
    QCOMPARE(m_env->readBytes(ReminderList::fileName()), QByteArray("202403121015010Dentist at ten\r\n"));
    QCOMPARE(column(3), QStringList { QStringLiteral("Dentist at ten") });
    QCOMPARE(child<QLabel>("panelCount")->text(), QStringLiteral("1"));
    QVERIFY(child<QAction>("btnDel")->isEnabled());
}

// The refusal rules themselves are the core's; "Weekends" on a Wednesday proves the window shows and keeps.
void TestFrmReminder::addRejected()
{
    const QDate date(2024, 3, 13);
    const QTime time(9, 0);
    const int schedule = Schedule::Weekends;
    const QString stored = rec("202403200900", 0, 0, QStringLiteral("kept"));
    m_env->writeBytes(ReminderList::fileName(), fileOf({ stored }));
    open();
    child<QDateEdit>("dtpReminders")->setDate(date);
    child<QTimeEdit>("DTPicker1")->setTime(time);
    child<QComboBox>("cboDelivery")->setCurrentIndex(schedule);
    child<QTextEdit>("rtfRemMessage")->setPlainText(QStringLiteral("refused"));
    QString editorWhileShown;
    m_env->dialogs.onShow = [this, &editorWhileShown](const Message &) {
        editorWhileShown = child<QTextEdit>("rtfRemMessage")->toPlainText();
    };
    click("btnAdd");

    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown.first().title, Schedule::CheckScheduleRule(schedule, date)->title);
    QCOMPARE(fileRecords(), QStringList { stored });
    // What the user typed stays to be corrected, from the moment the refusal is shown.
    QCOMPARE(editorWhileShown, QStringLiteral("refused"));
    QCOMPARE(child<QTextEdit>("rtfRemMessage")->toPlainText(), QStringLiteral("refused"));
    QCOMPARE(child<QDateEdit>("dtpReminders")->date(), date);
    QCOMPARE(child<QTimeEdit>("DTPicker1")->time(), time);
    QCOMPARE(child<QComboBox>("cboDelivery")->currentIndex(), schedule);
    QCOMPARE(child<QComboBox>("cboCatagory")->currentIndex(), 0);
}

void TestFrmReminder::categoryButtonsFollowTheList()
{
    m_env->writeBytes(ReminderList::fileName(),
        fileOf({ rec("202403200900", 0, 0, QStringLiteral("alarm")), rec("202403210900", 0, 5, QStringLiteral("train")),
            rec("202403220900", 0, 2, QStringLiteral("meeting")),
            rec("202403230900", 0, 5, QStringLiteral("flight")) }));
    open();
    QCOMPARE(column(3), QStringList { QStringLiteral("alarm") });

    click("travel");
    const QStringList keys { "alarms", "birthdays", "business", "leasure", "finances", "travel" };
    for (const QString &key : keys)
        QCOMPARE(child<QAction>(key.toLatin1().constData())->isChecked(), key == QLatin1String("travel"));
    QCOMPARE(child<QComboBox>("cboCatagory")->currentText(), QStringLiteral("Travel"));
    QCOMPARE(column(3), (QStringList { QStringLiteral("train"), QStringLiteral("flight") }));

    child<QComboBox>("cboCatagory")->setCurrentIndex(2);
    QVERIFY(child<QAction>("business")->isChecked());
    QVERIFY(!child<QAction>("travel")->isChecked());
    QCOMPARE(column(3), QStringList { QStringLiteral("meeting") });

    click("birthdays");
    QCOMPARE(column(3), QStringList());
    QVERIFY(!child<QAction>("btnDel")->isEnabled());
    QCOMPARE(child<QTextEdit>("rtfRemMessage")->toPlainText(), QString());
}

// The arrow keys or a click choose a reminder: the editor shows it, and Remove (Ctrl+Delete or the
// button) deletes that one.
void TestFrmReminder::chooseThenRemove()
{
    const QStringList records { rec("202403200900", 0, 0, QStringLiteral("one")),
        rec("202403211030", 1, 0, QStringLiteral("two")), rec("202403220900", 0, 0, QStringLiteral("three")) };
    m_env->writeBytes(ReminderList::fileName(), fileOf(records));
    open();
    auto *view = child<QTreeView>("lvwRemDue");
    view->setFocus();
    QCOMPARE(m_window->chosenIndex(), -1); // focus alone chooses nothing
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(m_window->chosenIndex(), 1);
    QCOMPARE(child<QTextEdit>("rtfRemMessage")->toPlainText(), QStringLiteral("two"));
    QCOMPARE(child<QDateEdit>("dtpReminders")->date(), QDate(2024, 3, 21));
    QCOMPARE(child<QTimeEdit>("DTPicker1")->time(), QTime(10, 30));
    QCOMPARE(child<QComboBox>("cboDelivery")->currentText(), QStringLiteral("Daily"));
    QTest::keyClick(m_window.get(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(fileRecords(), (QStringList { records[0], records[2] }));

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(1, 0)).center());
    QCOMPARE(child<QTextEdit>("rtfRemMessage")->toPlainText(), QStringLiteral("three"));
    click("btnDel");
    QCOMPARE(fileRecords(), QStringList { records[0] });
}

// The start-up runs the check of missed reminders and the main timer delivers; their rules are the list's.
// Without "Past" ticked a missed one moves on at once, unseen; a due one is shown at the tick.
void TestFrmReminder::mainStartUpAndTickDeliver()
{
    m_env->writeBytes(ReminderList::fileName(),
        fileOf({ rec("202403111800", 2, 0, QStringLiteral("missed")),
            rec("202403121015", 0, 0, QStringLiteral("Stand up")) }));
    m_env->setNow(at(2024, 3, 12, 9, 0));
    Settings::saveCheckState(Key::ReminderPast, false);
    frmQY2 main;
    main.Form_Load();
    QVERIFY(m_env->dialogs.shown.isEmpty());
    const QString moved = rec("202403181800", 2, 0, QStringLiteral("missed"));
    QCOMPARE(fileRecords(), (QStringList { rec("202403121015", 0, 0, QStringLiteral("Stand up")), moved }));

    m_env->setNow(at(2024, 3, 12, 10, 15, 2));
    QStringList boxes;
    m_env->dialogs.dialog = [&boxes](QDialog &box) {
        boxes.append(static_cast<ReminderBox &>(box).message().text);
        return int(QDialog::Accepted);
    };
    main.tmrRemTimer_Timer();
    QCOMPARE(boxes, QStringList { QStringLiteral("Stand up") });
    QCOMPARE(fileRecords(), QStringList { moved });
    main.unload();
}

void TestFrmReminder::mainWindowListOutlivesTheWindow()
{
    const QString record = rec("202403200900", 0, 0, QStringLiteral("kept"));
    m_env->writeBytes(ReminderList::fileName(), fileOf({ record }));
    frmQY2 main;
    registerWindows(main);
    main.Form_Load();
    QWidget *shown = main.opener().show(WindowKey::Reminders);
    QVERIFY(qobject_cast<frmReminder *>(shown));
    QCOMPARE(shown->findChild<QTextEdit *>(QStringLiteral("rtfRemMessage"))->toPlainText(), QStringLiteral("kept"));
    shown->close();
    QTRY_VERIFY(!main.opener().window(WindowKey::Reminders));
    QCOMPARE(main.reminders().records(), QStringList { record });
    main.unload();
    QVERIFY(Settings::contains(Key::ReminderLeft)); // saved by the window as the program ends
}

void TestFrmReminder::refillForgetsTheChoice()
{
    const QStringList records { rec("202403121010", 1, 0, QStringLiteral("due")),
        rec("202403200900", 0, 0, QStringLiteral("chosen")) };
    m_env->writeBytes(ReminderList::fileName(), fileOf(records));
    open();
    auto *view = child<QTreeView>("lvwRemDue");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(1, 0)).center());
    QCOMPARE(m_window->chosenIndex(), 1);

    m_env->setNow(at(2024, 3, 12, 10, 10, 5));
    m_list->DoTest(); // the delivery moves "due" to tomorrow and refills the view
    QCOMPARE(m_env->dialogs.shown.size(), 0); // no sink in this test: the list shows nothing itself
    QCOMPARE(m_window->chosenIndex(), -1);
    click("btnDel");
    QCOMPARE(m_list->count(), 2);
}

// A due reminder through a notification server stand-in: which channels show it, how an answer in one
// closes the other, and what stays unacknowledged.
void TestFrmReminder::boxAndNotification_data()
{
    QTest::addColumn<int>("showAs");
    QTest::addColumn<bool>("actions"); // the server can show buttons
    columns<QString, int, int, bool, QString, int>(
        "answer", "boxes", "notifications", "acknowledged", "snoozedUntil", "missedRows");

    const int both = 0, box = 1, notification = 2;
    row("OK in the box closes the notification", both, true, "ok", 1, 1, true, "", 0);
    row("the box's Snooze, 30 minutes", box, true, "snooze in the box", 1, 0, false, "10:45", 0);
    row("Snooze in the notification closes the box", both, true, "snooze", 1, 1, false, "10:25", 0);
    row("Done in the notification closes the box", both, true, "done", 1, 1, true, "", 0);
    row("the notification expires, the box holds it", both, true, "expires, then ok", 1, 1, true, "", 0);
    row("no actions: the box alone", notification, false, "ok", 1, 0, true, "", 0);
    row("notification alone, Done", notification, true, "done", 0, 1, true, "", 0);
    row("notification alone, dismissed: the list holds it", notification, true, "expires", 0, 1, false, "", 1);
    row("Done on another computer closes both", both, true, "elsewhere", 1, 1, true, "", 0);
}

void TestFrmReminder::boxAndNotification()
{
    QFETCH(int, showAs);
    QFETCH(bool, actions);
    QFETCH(QString, answer);
    const QString wake = rec("202403121015", 1, 0, QStringLiteral("wake"));
    m_env->writeBytes(ReminderList::fileName(), fileOf({ wake }));
    m_env->setNow(at(2024, 3, 12, 10, 15, 5));
    Settings::saveInteger(Key::ReminderShowAs, showAs);
    ReminderList list;
    list.readOptions();
    list.LoadReminders();
    ReminderDelivery delivery(list);
    QList<uint> sent;
    QList<uint> closed;
    QStringList labels;
    delivery.setNotifier({ [actions] { return actions; },
        [&](const QString &, const QString &, const QList<ReminderDelivery::Action> &buttons) {
            for (const auto &button : buttons)
                labels.append(button.label);
            sent.append(uint(sent.size() + 7));
            return sent.last();
        },
        [&closed](uint id) { closed.append(id); } });
    const auto notificationAnswers = [&] {
        if (answer.startsWith(QLatin1String("expires")))
            delivery.notificationClosed(sent.value(0));
        else if (answer == QLatin1String("snooze") || answer == QLatin1String("done"))
            delivery.notificationAction(sent.value(0), answer);
        else if (answer == QLatin1String("elsewhere")) // the shared file arrives, moved on there
            takeFromOutside(list, { rec("202403131015", 1, 0, QStringLiteral("wake")) });
    };
    int boxes = 0;
    m_env->dialogs.dialog = [&](QDialog &box) {
        ++boxes;
        notificationAnswers();
        if (answer == QLatin1String("snooze in the box")) {
            box.findChild<QComboBox *>(QStringLiteral("cboSnooze"))->setCurrentIndex(ReminderList::HalfAnHour);
            box.findChild<QPushButton *>(QStringLiteral("btnSnooze"))->click();
        } else if (!answer.contains(QLatin1String("ok"))) {
            [&] { QCOMPARE(box.result(), int(ReminderBox::AnsweredElsewhere)); }();
        } else {
            box.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        }
        return box.result();
    };
    delivery.tick();
    if (boxes == 0)
        notificationAnswers();

    QTEST(boxes, "boxes");
    QTEST(int(sent.size()), "notifications");
    if (!sent.isEmpty())
        QCOMPARE(labels, (QStringList { QStringLiteral("Snooze 10 minutes"), QStringLiteral("Done") }));
    QFETCH(bool, acknowledged);
    QCOMPARE(fileRecords(), QStringList { acknowledged ? rec("202403131015", 1, 0, QStringLiteral("wake")) : wake });
    QFETCH(QString, snoozedUntil);
    const SnoozeStore::Snooze *snooze = list.snoozes().find(wake);
    QCOMPARE(snooze ? snooze->until.toString(QStringLiteral("hh:mm")) : QString(), snoozedUntil);
    if (answer == QLatin1String("snooze in the box"))
        QCOMPARE(Settings::get(Key::ReminderSnooze), QStringLiteral("2")); // the next box offers it first
    if (acknowledged && !sent.isEmpty()) // nothing is left on the desktop to answer
        QCOMPARE(closed, QList<uint> { sent.first() });
    QTEST(delivery.missedList() ? int(delivery.missedList()->records().size()) : 0, "missedRows");
}

// Three due at once come in one list; a row is acknowledged only by Done, Snooze or Done for all.
void TestFrmReminder::missedList()
{
    const QStringList records { rec("202403120900", 0, 0, QStringLiteral("one")),
        rec("202403120930", 1, 0, QStringLiteral("two")), rec("202403121000", 0, 0, QStringLiteral("three")) };
    m_env->writeBytes(ReminderList::fileName(), fileOf(records));
    m_env->setNow(at(2024, 3, 12, 10, 7, 33));
    ReminderList list;
    list.readOptions();
    list.LoadReminders();
    ReminderDelivery delivery(list);
    delivery.tick();
    QPointer<frmMissed> missed = delivery.missedList();
    QVERIFY(missed);
    QCOMPARE(missed->records(), records);
    QVERIFY(QTest::qWaitForWindowExposed(missed));
    const auto button = [&](const char *name) { return missed->findChild<QPushButton *>(QLatin1String(name)); };

    button("btnShow")->click(); // the whole message, nothing answered
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_env->dialogs.shown.first().text, QStringLiteral("one"));
    QCOMPARE(fileRecords(), records);

    button("btnDone")->click();
    QCOMPARE(fileRecords(), records.mid(1));
    missed->findChild<QComboBox *>(QStringLiteral("cboSnooze"))->setCurrentIndex(ReminderList::FiveMinutes);
    button("btnSnooze")->click();
    QCOMPARE(list.snoozes().find(records[1])->until, at(2024, 3, 12, 10, 12));
    QCOMPARE(fileRecords(), records.mid(1)); // the snoozed one keeps its date

    missed->close(); // closing answers nothing: the row is due again, with the snoozed one when it is back
    QTRY_VERIFY(!missed);
    m_env->setNow(at(2024, 3, 12, 10, 12, 5));
    delivery.tick();
    missed = delivery.missedList();
    QCOMPARE(missed->records(), (QStringList { records[2], records[1] }));
    button("btnDoneAll")->click();
    QTRY_VERIFY(!missed);
    QCOMPARE(fileRecords(), QStringList { rec("202403130930", 1, 0, QStringLiteral("two")) });
}

void TestFrmReminder::deliveryOptionsAndTheSnoozedMark()
{
    const QString wake = rec("202403121000", 1, 0, QStringLiteral("wake"));
    const QString call = rec("202403121030", 0, 0, QStringLiteral("call"));
    m_env->writeBytes(ReminderList::fileName(), fileOf({ wake, call }));
    m_env->writeBytes(SnoozeStore::fileName(), ("202403121025" + wake + "\r\n202403131030" + call + "\r\n").toUtf8());
    open();
    QCOMPARE(column(2), (QStringList { "Daily, snoozed to 10:25 am", "Once, snoozed to Wed 13 Mar, 10:30 am" }));
    const QAbstractItemModel *model = child<QTreeView>("lvwRemDue")->model();
    QCOMPARE(model->index(0, 2).data(Qt::ToolTipRole).toString(), column(2).first());
    child<QComboBox>("cboShowAs")->setCurrentIndex(2);
    child<QCheckBox>("chkOneByOne")->setChecked(true);
    QCOMPARE(m_list->showAs(), ReminderList::ShowAs::Notification);
    QVERIFY(m_list->oneByOne());
    QCOMPARE(Settings::get(Key::ReminderShowAs), QStringLiteral("2"));
    QCOMPARE(Settings::get(Key::ReminderOneByOne), QStringLiteral("1"));
}

void TestFrmReminder::exportTakesThePlannerDaysWhenAsked()
{
    open();
    QDate asked;
    m_window->setPlanSource([&asked](const QDate &from) {
        asked = from;
        return QList<RemindersIcal::Appointment> { { QDateTime(from, QTime(9, 0)), 30, "Dentist", "plan-1" } };
    });
    m_env->dialogs.dialog = [](QDialog &dialog) {
        dialog.findChild<QCheckBox *>(QStringLiteral("chkExportPlans"))->click();
        dialog.findChild<QDateEdit *>(QStringLiteral("dtpExportPlansFrom"))->setDate(QDate(2024, 4, 1));
        dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        return dialog.result();
    };
    m_env->dialogs.files = { Dialogs::FileChoice { m_env->dataPath(QStringLiteral("out.ics")), 0 } };
    click("btnExport");
    QCOMPARE(asked, QDate(2024, 4, 1));
    QVERIFY(m_env->readBytes(QStringLiteral("out.ics")).contains("SUMMARY:Dentist"));
}

QTEST_MAIN(TestFrmReminder)
#include "tst_frmreminder.moc"
