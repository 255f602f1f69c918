#include "../support/tablerow.h"
#include "../support/testenvironment.h"

#include "calendar/frmcalendar.h"
#include "common/settings.h"
#include "planner/frmplanner.h"
#include "planner/planday.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

// The Planner and Calendar windows, offscreen.
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
    void damagedDayIsKeptAside();
    void purgeInTheWindow();

    void calendarValueFromOutsideIsNoClick();

    void unreadableDayIsNotWrittenOver();
    void purgeRefusesOtherWorkAndFinishesBeforeClosing();

    void arrows_data();
    void arrows();

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
    QVERIFY(QFile::exists(m_env->dataPath(QStringLiteral("PlanData/20261207"))));
    QCOMPARE(dayBytes("20261207"), QByteArray());
    QCOMPARE(m_planner->findChild<QScrollBar *>(QStringLiteral("scrPlanner"))->value(), 5400);
    QCOMPARE(m_planner->findChild<QLabel *>(QStringLiteral("lblPlanTime18"))->text(), QStringLiteral("9:00 AM"));
}

void TestFrmPlanner::intervalChange_data()
{
    QTest::addColumn<bool>("content");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("interval");
    row("empty day: no question", false, QList<bool>(), 0, 0);
    row("content, No keeps it", true, QList<bool> { false }, 1, 1);
    row("content, Yes empties the day", true, QList<bool> { true }, 1, 0);
}

void TestFrmPlanner::intervalChange()
{
    QFETCH(bool, content);
    QFETCH(QList<bool>, answers);
    QFETCH(int, interval);
    openPlanner();
    if (content) {
        done(0)->setChecked(true);
        item(20)->setText(QStringLiteral("Lunch"));
    }
    m_env->dialogs.answers = answers;
    m_planner->chooseInterval(0);
    QTEST(int(m_env->dialogs.shown.size()), "questions");
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

void TestFrmPlanner::purgeInTheWindow()
{
    for (const char *name : { "20000101", "20261206", "20261208" })
        m_env->writeBytes(QStringLiteral("PlanData/") + QLatin1String(name), "1\r\n");
    openPlanner();
    item(0)->setText(QStringLiteral("gone with the purge"));
    m_env->dialogs.answers = { true };
    m_planner->purge();
    QVERIFY(m_planner->isPurging());
    QTRY_VERIFY(!m_planner->isPurging());
    QCOMPARE(m_env->dialogs.shown.size(), 2);
    QCOMPARE(m_env->dialogs.shown.last().text,
        QStringLiteral("All records prior to and including this day have been purged"));
    QCOMPARE(QDir(m_env->dataPath(QStringLiteral("PlanData"))).entryList(QDir::Files), QStringList { "20261208" });
    QCOMPARE(item(0)->text(), QString());
    QCOMPARE(m_planner->findChild<QLabel *>(QStringLiteral("panel2"))->text(), QString());
    m_planner->close(); // the shown day is written again, empty
    QCOMPARE(dayBytes("20261207").count("\r\n"), 49);
}

void TestFrmPlanner::calendarValueFromOutsideIsNoClick()
{
    frmCalendar calendar;
    QSignalSpy clicked(&calendar, &frmCalendar::dayClicked);
    calendar.MonthView2_DateClick(QDate(2026, 12, 9));
    calendar.setValue(QDate(2027, 8, 1));
    QCOMPARE(calendar.value(), QDate(2027, 8, 1));
    QCOMPARE(calendar.firstMonth(), QDate(2027, 8, 1)); // out of the grid: it moves there
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(calendar.findChild<QLabel *>(QStringLiteral("panel2"))->text(), QStringLiteral("2 days from today"));
}

void TestFrmPlanner::unreadableDayIsNotWrittenOver()
{
    QDir(m_env->dataPath()).mkpath(QStringLiteral("PlanData/20261207"));
    openPlanner();
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    item(0)->setText(QStringLiteral("typed"));
    m_planner->stepDay(1);
    QVERIFY(QFileInfo(m_env->dataPath(QStringLiteral("PlanData/20261207"))).isDir());
}

void TestFrmPlanner::purgeRefusesOtherWorkAndFinishesBeforeClosing()
{
    for (int i = 0; i < 1000; ++i)
        m_env->writeBytes(
            QStringLiteral("PlanData/") + QDate(2001, 1, 1).addDays(i).toString(QStringLiteral("yyyyMMdd")), "1\r\n");
    openPlanner();
    m_env->dialogs.answers = { true, true };
    m_planner->purge();
    QVERIFY(m_planner->isPurging());
    m_planner->purge(); // a second purge is refused without a question
    m_planner->stepDay(1); // and so is a change of day
    m_planner->showDay(QDate(2027, 1, 1));
    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QCOMPARE(m_planner->shownDate(), QDate(2026, 12, 7));
    m_planner->close();
    QVERIFY(!m_planner->isPurging());
    QCOMPARE(QDir(m_env->dataPath(QStringLiteral("PlanData"))).entryList(QDir::Files), QStringList { "20261207" });
}

void TestFrmPlanner::arrows_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<int>("days");
    QTest::addColumn<QDate>("to");
    row("into the next year", QDate(2026, 12, 31), 1, QDate(2027, 1, 1));
    row("first day: back stops", QDate(2000, 1, 1), -1, QDate(2000, 1, 1));
    row("last day: forward stops", QDate(9999, 12, 31), 1, QDate(9999, 12, 31));
}

void TestFrmPlanner::arrows()
{
    QFETCH(QDate, from);
    QFETCH(int, days);
    QFETCH(QDate, to);
    openPlanner();
    m_planner->showDay(from);
    QSignalSpy shown(m_planner.get(), &frmPlanner::dayShown);
    m_planner->stepDay(days);
    QCOMPARE(m_planner->shownDate(), to);
    QCOMPARE(m_planner->findChild<QDateEdit *>(QStringLiteral("dtpPlanner"))->date(), to);
    QCOMPARE(shown.count(), from == to ? 0 : 1);
}

QTEST_MAIN(TestFrmPlanner)
#include "tst_frmplanner.moc"
