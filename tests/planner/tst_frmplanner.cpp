#include "../clipkeeper/trashhome.h"
#include "../support/tablerow.h"
#include "../support/testenvironment.h"

#include "planner/frmplanner.h"
#include "planner/planday.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <csignal>
#include <memory>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// While this lives no file can grow past a few bytes, root's included: the day's file could be
// replaced, but no save fits, as on a full disk.
struct FileSizeLimit final
{
    rlimit old {};
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    FileSizeLimit()
    {
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small { 16, old.rlim_max };
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
    }
};

// Every question asked defaulted to No.
QList<Dialogs::Default> noDefaults(qsizetype questions)
{
    return QList<Dialogs::Default>(questions, Dialogs::Default::No);
}

} // namespace

// The Planner window, offscreen.
class TestFrmPlanner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensOnTodayAtNine();
    void intervalChange_data();
    void intervalChange();
    void leavingADayStoresIt();
    void storedWhenTheUserStops_data();
    void storedWhenTheUserStops();
    void failedBackgroundSaveIsToldOnce();
    void unstoredDayIsNotLeft_data();
    void unstoredDayIsNotLeft();
    void damagedDayIsKeptAside();
    void purgeInTheWindow_data();
    void purgeInTheWindow();

    void purgeRefusesOtherWorkAndFinishesBeforeClosing();

    void arrows_data();
    void arrows();
    void remindersAtTheirSlots();
    void dayChangedElsewhereJoinsTheScreen_data();
    void dayChangedElsewhereJoinsTheScreen();

private:
    QCheckBox *done(int row) const { return m_planner->findChild<QCheckBox *>(QStringLiteral("chkPlan%1").arg(row)); }
    QLineEdit *item(int row) const
    {
        return m_planner->findChild<QLineEdit *>(QStringLiteral("txtPlanItem%1").arg(row));
    }
    void openPlanner()
    {
        m_planner = std::make_unique<frmPlanner>();
        m_planner->show();
    }
    QByteArray dayBytes(const char *key) const { return m_env->readBytes(QStringLiteral("PlanData/") + key); }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<frmPlanner> m_planner;
};

void TestFrmPlanner::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_env->setNow(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
}

void TestFrmPlanner::cleanup()
{
    m_planner.reset();
    m_env.reset();
}

void TestFrmPlanner::opensOnTodayAtNine()
{
    openPlanner();
    QCOMPARE(m_planner->shownDate(), QDate(2026, 12, 7));
    QCOMPARE(m_planner->slotCount(), 48);
    QVERIFY(QFileInfo(PlanDay::dayPath(QDate(2026, 12, 7))).isFile()); // a day once shown has its file
    auto *scroll = m_planner->findChild<QScrollBar *>(QStringLiteral("scrPlanner"));
    QCOMPARE(scroll->value(), 5400);
    QCOMPARE(m_planner->findChild<QLabel *>(QStringLiteral("lblPlanTime18"))->text(), QStringLiteral("9:00 AM"));
    QCOMPARE(m_planner->focusWidget(), item(18)); // Space and Enter type into the day, never purge it

    // A slot just past the last row shown, or just above the first, scrolls by that one row.
    m_planner->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_planner.get()));
    item(18 + frmPlanner::VisibleRows)->setFocus();
    QCOMPARE(scroll->value(), 5400 + frmPlanner::RowTwips);
    item(18)->setFocus();
    QCOMPARE(scroll->value(), 5400);
}

void TestFrmPlanner::intervalChange_data()
{
    columns<bool, QList<bool>, int, int>("content", "answers", "questions", "interval");
    row("empty day: no question", false, QList<bool>(), 0, 0);
    row("content, No keeps it", true, QList<bool> { false }, 1, 1);
    row("content, Yes empties the day", true, QList<bool> { true }, 1, 0);
}

void TestFrmPlanner::intervalChange()
{
    auto [content, answers, interval] = fetch<bool, QList<bool>, int>("content", "answers", "interval");
    openPlanner();
    if (content) {
        done(0)->setChecked(true);
        item(20)->setText(QStringLiteral("Lunch"));
    }
    m_env->dialogs.answers = answers;
    m_planner->chooseInterval(0);
    QTEST(int(m_env->dialogs.shown.size()), "questions");
    QCOMPARE(m_env->dialogs.askDefaults, noDefaults(m_env->dialogs.shown.size()));
    QCOMPARE(m_planner->interval(), interval);
    QCOMPARE(m_planner->slotCount(), PlanDay::slotCount(interval));
    QCOMPARE(done(0)->isChecked(), content && interval == 1);
    m_planner->close();
    const QByteArray file = dayBytes("20261207");
    QCOMPARE(file.count("\r\n"), 1 + PlanDay::slotCount(interval));
    QVERIFY(file.startsWith(QByteArray(QByteArray::number(interval) + "\r\n")));
}

void TestFrmPlanner::leavingADayStoresIt()
{
    openPlanner();
    item(28)->setText(QStringLiteral("Dentist"));
    done(28)->setChecked(true);
    QSignalSpy shown(m_planner.get(), &frmPlanner::dayShown);
    // The date typed in the picker: Date_Change runs once, for the user's change.
    m_planner->findChild<QDateEdit *>(QStringLiteral("dtpPlanner"))->setDate(QDate(2026, 12, 8));
    QCOMPARE(shown.count(), 1);
    QCOMPARE(m_planner->shownDate(), QDate(2026, 12, 8));
    QVERIFY(dayBytes("20261207").contains("\r\n1Dentist\r\n"));
    QCOMPARE(item(28)->text(), QString());
    m_planner->stepDay(-1);
    QCOMPARE(item(28)->text(), QStringLiteral("Dentist"));
    QVERIFY(done(28)->isChecked());
}

void TestFrmPlanner::storedWhenTheUserStops_data()
{
    QTest::addColumn<bool>("tick"); // or type
    QTest::addColumn<QByteArray>("line");
    row("typing", false, QByteArray("\r\n0dentist\r\n"));
    row("ticking", true, QByteArray("\r\n1\r\n"));
}

void TestFrmPlanner::storedWhenTheUserStops()
{
    auto [tick, line] = fetch<bool, QByteArray>("tick", "line");
    openPlanner();
    if (tick)
        done(18)->click();
    else
        QTest::keyClicks(item(18), QStringLiteral("dentist"));
    QVERIFY(m_planner->isSavePending());
    QCOMPARE(dayBytes("20261207"), QByteArray()); // not at every key
    QTRY_VERIFY_WITH_TIMEOUT(dayBytes("20261207").contains(line), 3 * frmPlanner::SaveDelayMs);
    QVERIFY(!m_planner->isSavePending()); // nothing wakes the program up while nobody types
}

void TestFrmPlanner::failedBackgroundSaveIsToldOnce()
{
    openPlanner();
    QTest::keyClicks(item(18), QStringLiteral("dentist"));
    {
        FileSizeLimit full;
        m_planner->tmrSave_Timer();
        QTest::keyClicks(item(19), QStringLiteral("gym"));
        m_planner->tmrSave_Timer();
    }
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(item(18)->text(), QStringLiteral("dentist"));
    m_planner->tmrSave_Timer(); // room again
    QVERIFY(dayBytes("20261207").contains("\r\n0dentist\r\n0gym\r\n"));
}

void TestFrmPlanner::unstoredDayIsNotLeft_data()
{
    QTest::addColumn<bool>("full"); // or the day's file unreadable: a named pipe, which a save could replace
    QTest::addColumn<bool>("close"); // or the arrow to the next day
    columns<bool, QList<bool>, bool, bool>("typed", "answers", "canAsk", "leaves");
    row("full, arrow, No: the day stays", true, false, true, QList<bool> { false }, true, false);
    row("full, close, No: the window stays", true, true, true, QList<bool> { false }, true, false);
    row("full, arrow, Yes leaves", true, false, true, QList<bool> { true }, true, true);
    row("unreadable, arrow, No: the day stays", false, false, true, QList<bool> { false }, true, false);
    row("unreadable, nobody to ask: kept aside", false, true, true, QList<bool>(), false, true);
    row("nothing typed: leaves without a question", true, false, false, QList<bool>(), true, true);
}

void TestFrmPlanner::unstoredDayIsNotLeft()
{
    auto [full, close, typed, answers, canAsk, leaves]
        = fetch<bool, bool, bool, QList<bool>, bool, bool>("full", "close", "typed", "answers", "canAsk", "leaves");
    const QString path = m_env->dataPath(QStringLiteral("PlanData/20261207"));
    if (!full) {
        QDir().mkpath(QFileInfo(path).path());
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    }
    openPlanner();
    if (typed)
        QTest::keyClicks(item(18), QStringLiteral("dentist"));
    m_env->dialogs.shown.clear();
    m_env->dialogs.answers = answers;
    bool left = false;
    {
        std::optional<FileSizeLimit> limit;
        if (full)
            limit.emplace();
        Dialogs::setCanAsk(canAsk);
        if (close) {
            left = m_planner->close();
        } else {
            m_planner->stepDay(1);
            left = m_planner->shownDate() != QDate(2026, 12, 7);
        }
        Dialogs::setCanAsk(true);
    }
    QCOMPARE(left, leaves);
    QCOMPARE(m_env->dialogs.askDefaults, noDefaults(answers.size()));
    if (!leaves) {
        QCOMPARE(m_planner->findChild<QDateEdit *>(QStringLiteral("dtpPlanner"))->date(), QDate(2026, 12, 7));
        QCOMPARE(item(18)->text(), QStringLiteral("dentist"));
        QVERIFY(m_planner->isVisible());
        QCOMPARE(m_env->dialogs.shown.size(), 1);
    }
    QCOMPARE(QFileInfo(path).isFile(), full); // the unreadable file is never written over
    QCOMPARE(dayBytes("20261207.unsaved").contains("\r\n0dentist\r\n"), !canAsk);
}

void TestFrmPlanner::damagedDayIsKeptAside()
{
    const QByteArray damaged = "1\r\n0a\r\n#hand edited\r\n";
    m_env->writeBytes(QStringLiteral("PlanData/20261207"), damaged);
    openPlanner();
    QCOMPARE(item(0)->text(), QStringLiteral("a"));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(dayBytes("20261207"), damaged); // not rewritten until the day is left
    QCOMPARE(dayBytes("20261207.damaged"), damaged);
    m_planner->stepDay(1);
    QVERIFY(dayBytes("20261207").startsWith("1\r\n0a\r\n0\r\n"));
}

void TestFrmPlanner::purgeInTheWindow_data()
{
    columns<bool, QList<bool>, QStringList>("trash", "answers", "left");
    const QStringList all { "20000101", "20261206", "20261207", "20261208" };
    row("to the trash", true, QList<bool> { true }, QStringList { "20261208" });
    row("no trash, No keeps every day", false, QList<bool> { true, false }, all);
}

void TestFrmPlanner::purgeInTheWindow()
{
    auto [trash, answers, left] = fetch<bool, QList<bool>, QStringList>("trash", "answers", "left");
    TrashHome home(trash);
    for (const char *name : { "20000101", "20261206", "20261208" })
        m_env->writeBytes(QStringLiteral("PlanData/") + QLatin1String(name), "1\r\n");
    openPlanner();
    item(0)->setText(QStringLiteral("gone with the purge"));
    m_env->dialogs.answers = answers;
    m_planner->purge();
    QTRY_VERIFY(!m_planner->isPurging());
    QCOMPARE(m_env->dialogs.askDefaults, noDefaults(answers.size()));
    QCOMPARE(QDir(m_env->dataPath(QStringLiteral("PlanData"))).entryList(QDir::Files), left);
    QCOMPARE(home.trashed().size(), trash ? 3 : 0);
    if (left.size() > 1)
        return;
    QCOMPARE(m_env->dialogs.shown.size(), answers.size() + 1); // and the done message
    QCOMPARE(item(0)->text(), QString());
    QCOMPARE(m_planner->findChild<QLabel *>(QStringLiteral("panel2"))->text(), QString());
    m_planner->close(); // the shown day is written again, empty
    QCOMPARE(dayBytes("20261207").count("\r\n"), 49);
}

void TestFrmPlanner::purgeRefusesOtherWorkAndFinishesBeforeClosing()
{
    TrashHome home;
    for (int i = 0; i < 1000; ++i)
        m_env->writeBytes(
            QStringLiteral("PlanData/") + QDate(2001, 1, 1).addDays(i).toString(QStringLiteral("yyyyMMdd")), "1\r\n");
    openPlanner();
    m_env->dialogs.answers = { true, true };
    m_planner->purge();
    QVERIFY(m_planner->isPurging());
    m_planner->purge(); // a second purge is refused without a question
    m_planner->stepDay(1); // and so is a change of day
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_planner->shownDate(), QDate(2026, 12, 7));
    m_planner->close();
    QVERIFY(!m_planner->isPurging());
    QCOMPARE(QDir(m_env->dataPath(QStringLiteral("PlanData"))).entryList(QDir::Files), QStringList { "20261207" });
}

void TestFrmPlanner::arrows_data()
{
    columns<QDate, int, QDate>("from", "days", "to");
    row("into the next year", QDate(2026, 12, 31), 1, QDate(2027, 1, 1));
    row("first day: back stops", QDate(2000, 1, 1), -1, QDate(2000, 1, 1));
    row("last day: forward stops", QDate(9999, 12, 31), 1, QDate(9999, 12, 31));
}

void TestFrmPlanner::arrows()
{
    auto [from, days, to] = fetch<QDate, int, QDate>("from", "days", "to");
    openPlanner();
    m_planner->showDay(from);
    QSignalSpy shown(m_planner.get(), &frmPlanner::dayShown);
    m_planner->stepDay(days);
    QCOMPARE(m_planner->shownDate(), to);
    QCOMPARE(m_planner->findChild<QDateEdit *>(QStringLiteral("dtpPlanner"))->date(), to);
    QCOMPARE(shown.count(), from == to ? 0 : 1);
}

// The shown day's reminders sit at their slots as bells, each before its row for the keyboard; a bell
// pressed asks for its first reminder. The bells follow the interval and the day.
void TestFrmPlanner::remindersAtTheirSlots()
{
    openPlanner();
    QList<QDate> asked;
    m_planner->setReminderSource([&asked](const QDate &day) {
        asked.append(day);
        if (day != QDate(2026, 12, 7))
            return QList<frmPlanner::SlotReminder>();
        return QList<frmPlanner::SlotReminder> { { QTime(10, 15), QStringLiteral("Pay rent"), QStringLiteral("k1") },
            { QTime(10, 20), QStringLiteral("Call <Bob>"), QStringLiteral("k2") },
            { QTime(14, 0), QStringLiteral("Gym"), QStringLiteral("k3") } };
    });
    const auto bells = [this] {
        QStringList names;
        for (const QToolButton *bell : m_planner->findChildren<QToolButton *>(QRegularExpression("^bellPlan")))
            names << bell->objectName();
        names.sort();
        return names;
    };
    const auto bell
        = [this](int row) { return m_planner->findChild<QToolButton *>(QStringLiteral("bellPlan%1").arg(row)); };
    QCOMPARE(bells(), (QStringList { "bellPlan20", "bellPlan28" }));
    QCOMPARE(bell(20)->accessibleDescription(), QStringLiteral("10:15 AM Pay rent\n10:20 AM Call <Bob>"));
    m_planner->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_planner.get()));
    item(19)->setFocus();
    for (QWidget *next : { static_cast<QWidget *>(bell(20)), static_cast<QWidget *>(done(20)) }) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QSignalSpy chosen(m_planner.get(), &frmPlanner::reminderChosen);
    QTest::mouseClick(bell(20), Qt::LeftButton);
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.first().first().toString(), QStringLiteral("k1"));

    m_planner->chooseInterval(2);
    QCOMPARE(bells(), (QStringList { "bellPlan10", "bellPlan14" }));
    m_planner->stepDay(1);
    QCOMPARE(asked.last(), QDate(2026, 12, 8));
    QCOMPARE(bells(), QStringList());
    m_planner->setReminderSource({});
}

void TestFrmPlanner::dayChangedElsewhereJoinsTheScreen_data()
{
    columns<bool, bool, QString>("typedHere", "conflictCopy", "slot18");
    row("untouched here: their day is shown", false, false, "theirs");
    row("typed here too: both texts, stored", true, false, "mine / theirs");
    row("a sync engine's conflict copy joins, then goes", true, true, "mine / theirs");
}

// Another computer's version of the shown day arrives: replacing the file by rename, or as the
// conflict copy a sync engine keeps when both computers stored the day at once.
void TestFrmPlanner::dayChangedElsewhereJoinsTheScreen()
{
    auto [typedHere, conflictCopy, slot18] = fetch<bool, bool, QString>("typedHere", "conflictCopy", "slot18");
    openPlanner();
    if (typedHere)
        QTest::keyClicks(item(18), QStringLiteral("mine"));
    QStringList lines(48, QStringLiteral("0"));
    lines[18] = QStringLiteral("0theirs");
    lines[20] = QStringLiteral("1");
    const QString arrived
        = conflictCopy ? QStringLiteral("20261207.sync-conflict-20261207-101500-ABCDEFG") : QStringLiteral("incoming");
    m_env->writeBytes(QStringLiteral("PlanData/") + arrived, "1\r\n" + lines.join(QStringLiteral("\r\n")).toUtf8());
    if (!conflictCopy)
        QVERIFY(std::rename(qPrintable(m_env->dataPath(QStringLiteral("PlanData/incoming"))),
                    qPrintable(PlanDay::dayPath(QDate(2026, 12, 7))))
            == 0);
    QTRY_COMPARE(item(18)->text(), slot18);
    QVERIFY(done(20)->isChecked());
    m_planner->tmrSave_Timer();
    QCOMPARE(PlanDay::storedEntries(QDate(2026, 12, 7)), (QList<PlanDay::Entry> { { 540, slot18 } }));
    QVERIFY(!QFile::exists(m_env->dataPath(QStringLiteral("PlanData/") + arrived)));
}

QTEST_MAIN(TestFrmPlanner)
#include "tst_frmplanner.moc"
