#include "../support/testenvironment.h"

#include "app/frmqy2.h"
#include "app/windows.h"
#include "planner/frmplanner.h"
#include "planner/planday.h"
#include "quicknotes/todolists.h"
#include "reminders/reminderlist.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

// The links between the tools that src/app wires: "Remind me" and the search.
class TestCrossTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        m_env->setNow(QDateTime(QDate(2026, 12, 8), QTime(8, 0)));
    }
    void cleanup() { m_env.reset(); }

    void remindMeOnAPlannerSlotFillsNew();
    void searchHitOpensThePlannerAtItsSlot();
    void searchFindsTheEditedPadAndOpensAListAtItsLine();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestCrossTool::remindMeOnAPlannerSlotFillsNew()
{
    frmQY2 main;
    registerWindows(main);
    auto *planner = qobject_cast<frmPlanner *>(main.opener().show(WindowKey::Planner));
    QVERIFY(planner);
    QVERIFY(QTest::qWaitForWindowActive(planner));
    auto *slot = planner->findChild<QLineEdit *>(QStringLiteral("txtPlanItem19")); // 9:30 on the 30-minute grid
    slot->setFocus();
    QTest::keyClicks(slot, QStringLiteral("Dentist"));
    QTest::keyClick(slot, Qt::Key_R, Qt::ControlModifier);

    QWidget *reminders = main.opener().window(WindowKey::Reminders);
    QVERIFY(reminders && reminders->isVisible());
    QCOMPARE(reminders->findChild<QTextEdit *>(QStringLiteral("rtfRemMessage"))->toPlainText(), "Dentist");
    QCOMPARE(reminders->findChild<QDateEdit *>(QStringLiteral("dtpReminders"))->date(), QDate(2026, 12, 8));
    QCOMPARE(reminders->findChild<QTimeEdit *>(QStringLiteral("DTPicker1"))->time(), QTime(9, 30));
    QCOMPARE(main.reminders().count(), 0); // stored only when the user presses Add
    main.unload();
}

void TestCrossTool::searchHitOpensThePlannerAtItsSlot()
{
    const QDate yearAgo(2025, 12, 3);
    PlanDay::Day day;
    day.entries.resize(PlanDay::slotCount(day.interval));
    day.entries[28].text = QStringLiteral("Dentist, bring the card");
    QVERIFY(PlanDay::makeFolder() && PlanDay::PlanSaveDay(yearAgo, day));
    frmQY2 main;
    registerWindows(main);
    QWidget *search = main.opener().show(WindowKey::Search);
    QVERIFY(search);
    auto *query = search->findChild<QLineEdit *>(QStringLiteral("txtFind"));
    auto *results = search->findChild<QTreeWidget *>(QStringLiteral("lvwResults"));
    QTest::keyClicks(query, QStringLiteral("dentist"));
    QTRY_COMPARE(results->topLevelItemCount(), 1);
    QCOMPARE(results->topLevelItem(0)->child(0)->text(0), "Dentist, bring the card");

    QTest::keyClick(query, Qt::Key_Down);
    QTest::keyClick(results, Qt::Key_Return);
    QTRY_VERIFY(main.opener().window(WindowKey::Planner));
    auto *planner = qobject_cast<frmPlanner *>(main.opener().window(WindowKey::Planner));
    QVERIFY(planner && planner->isVisible());
    QCOMPARE(planner->shownDate(), yearAgo);
    QCOMPARE(planner->focusWidget()->objectName(), "txtPlanItem28");
    main.unload();
}

// The pad's unsaved words are found as typed; a hit in another list loads that list (after the
// question about the edited pad) at its line, where "Remind me" takes the line to a new reminder.
void TestCrossTool::searchFindsTheEditedPadAndOpensAListAtItsLine()
{
    QVERIFY(ToDoLists::save(ToDoLists::itemFilePath(3), QStringLiteral("milk\n(2) renew the passport\nbread")));
    frmQY2 main;
    registerWindows(main);
    auto *notes = main.opener().show(WindowKey::QuickNotes);
    auto *pad = notes->findChild<QTextEdit *>(QStringLiteral("txtMain"));
    QTest::keyClicks(pad, QStringLiteral("unsaved passport photo"));
    QWidget *search = main.opener().show(WindowKey::Search);
    auto *query = search->findChild<QLineEdit *>(QStringLiteral("txtFind"));
    auto *results = search->findChild<QTreeWidget *>(QStringLiteral("lvwResults"));
    QTest::keyClicks(query, QStringLiteral("passport"));
    QTRY_COMPARE(results->topLevelItemCount(), 1);
    QTreeWidgetItem *group = results->topLevelItem(0);
    QTRY_COMPARE(group->childCount(), 2);
    QTreeWidgetItem *inList = group->child(0)->text(0).startsWith(u"(2)") ? group->child(0) : group->child(1);
    QCOMPARE(inList->text(0), "(2) renew the passport");

    m_env->dialogs.choices = { Dialogs::Choice::Discard };
    results->setCurrentItem(inList);
    QTest::keyClick(results, Qt::Key_Return);
    QTRY_COMPARE(notes->findChild<QComboBox *>(QStringLiteral("cboToDo"))->currentIndex(), 3);
    QCOMPARE(m_env->dialogs.shown.size(), 1); // the edited pad was asked about
    QCOMPARE(pad->textCursor().blockNumber(), 1);

    QTest::keyClick(pad, Qt::Key_R, Qt::ControlModifier);
    QWidget *reminders = main.opener().window(WindowKey::Reminders);
    QVERIFY(reminders && reminders->isVisible());
    QCOMPARE(reminders->findChild<QTextEdit *>(QStringLiteral("rtfRemMessage"))->toPlainText(), "renew the passport");
    QCOMPARE(main.reminders().count(), 0);
    main.unload();
}

QTEST_MAIN(TestCrossTool)
#include "tst_crosstool.moc"
