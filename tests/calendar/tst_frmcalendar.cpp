#include "../support/pinnedscreen.h"
#include "../support/tablerow.h"
#include "../support/testenvironment.h"
#include "../support/widgetlookup.h"

#include "calendar/frmcalendar.h"
#include "common/settings.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCalendarWidget>
#include <QLabel>
#include <QScreen>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QToolButton>
#include <QtTest>
#include <memory>

class TestFrmCalendar : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void distanceText_data();
    void distanceText();
    void valueFromOutsideMovesTheGridOnlyWhenOutside_data();
    void valueFromOutsideMovesTheGridOnlyWhenOutside();
    void arrowKeysCrossIntoNeighbouringMonths_data();
    void arrowKeysCrossIntoNeighbouringMonths();
    void chosenDayShowsItsDistanceOnlyWhenTaken_data();
    void chosenDayShowsItsDistanceOnlyWhenTaken();
    void everyMonthKeepsItsSizeAfterABiggerGrid_data();
    void everyMonthKeepsItsSizeAfterABiggerGrid();
    void snappingStaysWithinTheScreen_data();
    void snappingStaysWithinTheScreen();
    void todayMarkMovesAtMidnight();
    void dayMarkTexts_data();
    void dayMarkTexts();
    void marksOfTheMonthsShown();

private:
    void open(const QDate &today);
    QCalendarWidget *month(int index) const
    {
        return child<QCalendarWidget>(m_window.get(), QStringLiteral("month%1").arg(index));
    }
    QString panel2() const { return child<QLabel>(m_window.get(), "panel2")->text(); }
    void focusDay(int index, const QDate &day);
    int focusedCells() const;

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<frmCalendar> m_window;
};

void TestFrmCalendar::init()
{
    m_env = std::make_unique<TestEnvironment>();
}

void TestFrmCalendar::cleanup()
{
    m_window.reset();
    m_env.reset();
}

void TestFrmCalendar::open(const QDate &today)
{
    m_env->setNow(QDateTime(today, QTime(8, 0)));
    m_window = std::make_unique<frmCalendar>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestFrmCalendar::focusDay(int index, const QDate &day)
{
    month(index)->setSelectedDate(day);
    month(index)->setFocus();
    QTRY_VERIFY(month(index)->focusProxy()->hasFocus());
}

// What a screen reader hears: the day cells that say they have the focus, over all months.
int TestFrmCalendar::focusedCells() const
{
    int count = 0;
    for (int i = 0; i < m_window->columns() * m_window->rows(); ++i) {
        QAccessibleTableInterface *table
            = QAccessible::queryAccessibleInterface(month(i)->focusProxy())->tableInterface();
        for (int r = 0; r < table->rowCount(); ++r) {
            for (int c = 0; c < table->columnCount(); ++c)
                count += table->cellAt(r, c)->state().focused ? 1 : 0;
        }
    }
    return count;
}

void TestFrmCalendar::distanceText_data()
{
    columns<QDate, QString>("day", "text");
    row("today", QDate(2026, 12, 7), QString());
    row("tomorrow", QDate(2026, 12, 8), QStringLiteral("1 days from today"));
    row("yesterday", QDate(2026, 12, 6), QStringLiteral("-1 days from today"));
    row("far past", QDate(2000, 1, 1), QStringLiteral("-9837 days from today"));
    row("far future, over a leap day", QDate(2028, 3, 1), QStringLiteral("450 days from today"));
}

void TestFrmCalendar::distanceText()
{
    QFETCH(QDate, day);
    QTEST(frmCalendar::distanceText(QDate(2026, 12, 7), day), "text");
}

void TestFrmCalendar::valueFromOutsideMovesTheGridOnlyWhenOutside_data()
{
    QTest::addColumn<QDate>("value");
    QTest::addColumn<QString>("press"); // then a key, or the name of an arrow button
    QTest::addColumn<QDate>("shown"); // the value the window then holds
    QTest::addColumn<QDate>("first");
    const QDate today(2026, 12, 7);
    row("last month of the grid", QDate(2027, 5, 31), "", QDate(2027, 5, 31), QDate(2026, 12, 1));
    row("one month past the grid", QDate(2027, 6, 1), "", QDate(2027, 6, 1), QDate(2027, 6, 1));
    row("one month before the grid", QDate(2026, 11, 30), "", QDate(2026, 11, 30), QDate(2026, 11, 1));
    row("last day kept: the grid ends there", QDate(9999, 12, 31), "", QDate(9999, 12, 31), QDate(9999, 7, 1));
    row("before the first day kept", QDate(1999, 12, 31), "", today, QDate(2026, 12, 1));
    row("Page Up", today, "PageUp", today, QDate(2026, 11, 1));
    row("Page Down", today, "PageDown", today, QDate(2027, 1, 1));
    row("previous arrow", today, "btnPrevious", today, QDate(2026, 11, 1));
    row("next arrow", today, "btnNext", today, QDate(2027, 1, 1));
    row("Page Up at January 2000", QDate(2000, 1, 5), "PageUp", QDate(2000, 1, 5), QDate(2000, 1, 1));
    row("Page Down at the last months", QDate(9999, 12, 5), "PageDown", QDate(9999, 12, 5), QDate(9999, 7, 1));
}

// A value from the other side, the month keys and the arrows move the grid, within the range kept.
void TestFrmCalendar::valueFromOutsideMovesTheGridOnlyWhenOutside()
{
    auto [value, press] = fetch<QDate, QString>("value", "press");
    open(QDate(2026, 12, 7));
    QSignalSpy clicked(m_window.get(), &frmCalendar::dayClicked);
    m_window->setValue(value);
    if (press.startsWith(u'b')) {
        QTest::mouseClick(child<QToolButton>(m_window.get(), press), Qt::LeftButton);
    } else if (!press.isEmpty()) {
        focusDay(0, m_window->firstMonth());
        QTest::keyClick(QApplication::focusWidget(), press == u"PageUp" ? Qt::Key_PageUp : Qt::Key_PageDown);
    }
    QTEST(m_window->value(), "shown");
    QTEST(m_window->firstMonth(), "first");
    QCOMPARE(
        child<QToolButton>(m_window.get(), "btnPrevious")->isEnabled(), m_window->firstMonth() > QDate(2000, 1, 1));
    QCOMPARE(child<QToolButton>(m_window.get(), "btnNext")->isEnabled(), m_window->firstMonth() < QDate(9999, 7, 1));
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(panel2(), QString());
}

void TestFrmCalendar::arrowKeysCrossIntoNeighbouringMonths_data()
{
    QTest::addColumn<QDate>("value");
    QTest::addColumn<int>("from"); // the month that has the focus
    columns<QDate, int, int, QDate, QDate>("day", "key", "to", "reached", "first");
    const QDate value(2026, 12, 7);
    row("Right within the month", value, 0, QDate(2026, 12, 7), int(Qt::Key_Right), 0, QDate(2026, 12, 8),
        QDate(2026, 12, 1));
    row("Right from 31 December", value, 0, QDate(2026, 12, 31), int(Qt::Key_Right), 1, QDate(2027, 1, 1),
        QDate(2026, 12, 1));
    row("Left from 1 January", value, 1, QDate(2027, 1, 1), int(Qt::Key_Left), 0, QDate(2026, 12, 31),
        QDate(2026, 12, 1));
    row("Down from the last week", value, 0, QDate(2026, 12, 28), int(Qt::Key_Down), 1, QDate(2027, 1, 4),
        QDate(2026, 12, 1));
    row("Up from the first week", value, 1, QDate(2027, 1, 3), int(Qt::Key_Up), 0, QDate(2026, 12, 27),
        QDate(2026, 12, 1));
    row("Right past the grid scrolls it", value, 5, QDate(2027, 5, 31), int(Qt::Key_Right), 5, QDate(2027, 6, 1),
        QDate(2027, 1, 1));
    row("Up before the grid scrolls it", value, 0, QDate(2026, 12, 3), int(Qt::Key_Up), 0, QDate(2026, 11, 26),
        QDate(2026, 11, 1));
    row("Left stops at 1 January 2000", QDate(2000, 1, 1), 0, QDate(2000, 1, 1), int(Qt::Key_Left), 0,
        QDate(2000, 1, 1), QDate(2000, 1, 1));
}

void TestFrmCalendar::arrowKeysCrossIntoNeighbouringMonths()
{
    auto [value, from, day, key, to] = fetch<QDate, int, QDate, int, int>("value", "from", "day", "key", "to");
    open(QDate(2026, 12, 7));
    m_window->setValue(value);
    focusDay(from, day);
    QCOMPARE(focusedCells(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QTRY_VERIFY(month(to)->focusProxy()->hasFocus());
    QTEST(month(to)->selectedDate(), "reached");
    QTEST(m_window->firstMonth(), "first");
    QCOMPARE(focusedCells(), 1);
}

void TestFrmCalendar::chosenDayShowsItsDistanceOnlyWhenTaken_data()
{
    columns<bool, QDate, QString>("taken", "value", "text");
    row("taken", true, QDate(2026, 12, 15), QStringLiteral("8 days from today"));
    row("refused", false, QDate(2026, 12, 7), QString());
}

// The other side confirms a day with setValue, or refuses it while it handles the click.
void TestFrmCalendar::chosenDayShowsItsDistanceOnlyWhenTaken()
{
    QFETCH(bool, taken);
    open(QDate(2026, 12, 7));
    QSignalSpy clicked(m_window.get(), &frmCalendar::dayClicked);
    connect(m_window.get(), &frmCalendar::dayClicked, this, [this, taken](const QDate &day) {
        if (taken)
            m_window->setValue(day);
        else
            m_window->refuseDay();
    });
    focusDay(0, QDate(2026, 12, 15));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(clicked.count(), 1);
    QTEST(m_window->value(), "value");
    QTEST(month(0)->selectedDate(), "value");
    QTEST(panel2(), "text");
}

void TestFrmCalendar::everyMonthKeepsItsSizeAfterABiggerGrid_data()
{
    columns<int, int>("columns", "rows");
    row("3 x 3", 3, 3);
    row("2 x 4", 2, 4);
    row("6 x 2", 6, 2);
}

void TestFrmCalendar::everyMonthKeepsItsSizeAfterABiggerGrid()
{
    auto [columns, rows] = fetch<int, int>("columns", "rows");
    open(QDate(2026, 12, 7));
    QVERIFY(m_window->setGrid(columns, rows));
    QVERIFY(m_window->setGrid(3, 2));
    auto *grid = child<QWidget>(m_window.get(), "MonthView2");
    for (int i = 0; i < 6; ++i) {
        QWidget *box = month(i)->parentWidget();
        QTRY_COMPARE(box->size(), m_window->monthSize());
        QVERIFY(grid->rect().contains(box->geometry()));
    }
}

void TestFrmCalendar::snappingStaysWithinTheScreen_data()
{
    columns<QString, QSize>("how", "size");
    row("dragged nearly as wide as the screen", QStringLiteral("drag"), QSize(1270, 400));
    row("dragged taller than the screen", QStringLiteral("drag"), QSize(700, 1200));
    row("maximised", QStringLiteral("maximise"), QSize());
    row("stored wider than the screen", QStringLiteral("store"), QSize());
}

void TestFrmCalendar::snappingStaysWithinTheScreen()
{
    auto [how, size] = fetch<QString, QSize>("how", "size");
    if (how == u"store")
        Settings::saveInteger(Key::CalendarColumns, 6);
    open(QDate(2026, 12, 7));
    const QRect free = m_window->screen()->availableGeometry();
    const QSize month = m_window->monthSize();
    if (how == u"maximise")
        m_window->showMaximized();
    else if (how == u"drag")
        m_window->resize(size);
    QTRY_VERIFY(!m_window->isMaximized() && m_window->width() == m_window->columns() * month.width()
        && (m_window->columns() > 3 || m_window->rows() > 2));
    QTRY_VERIFY(free.contains(m_window->frameGeometry()));
    if (how != u"drag") // only what the screen cannot hold is given up
        QCOMPARE(m_window->columns(), free.width() / month.width());
}

void TestFrmCalendar::todayMarkMovesAtMidnight()
{
    m_env->setNow(QDateTime(QDate(2026, 12, 7), QTime(23, 59, 59, 900)));
    m_window = std::make_unique<frmCalendar>();
    QVERIFY(month(0)->dateTextFormat(QDate(2026, 12, 7)).fontUnderline());
    m_env->setNow(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 0, 10)));
    QTRY_VERIFY(month(0)->dateTextFormat(QDate(2026, 12, 8)).fontUnderline());
    QVERIFY(!month(0)->dateTextFormat(QDate(2026, 12, 7)).fontUnderline());
}

void TestFrmCalendar::dayMarkTexts_data()
{
    columns<QStringList, QStringList, QString, QString>("plans", "reminders", "description", "hover");
    const QStringList six { "p1", "p2", "p3", "p4", "p5", "p6" };
    row("nothing", QStringList(), QStringList(), QString(), QString());
    row("one of each", QStringList { "9:00 AM Dentist" }, QStringList { "10:15 AM Pay rent" },
        QStringLiteral("1 plan, 1 reminder"),
        QStringLiteral("1 plan, 1 reminder\n9:00 AM Dentist\nReminder: 10:15 AM Pay rent"));
    row("reminders only", QStringList(), QStringList { "a", "b" }, QStringLiteral("2 reminders"),
        QStringLiteral("2 reminders\nReminder: a\nReminder: b"));
    row("more than the hover lists", six, QStringList { "r1", "r2" }, QStringLiteral("6 plans, 2 reminders"),
        QStringLiteral("6 plans, 2 reminders\np1\np2\np3\np4\np5\nand 3 more"));
    row("markup is text", QStringList { "<b>x</b> & y" }, QStringList(), QStringLiteral("1 plan"),
        QStringLiteral("1 plan\n<b>x</b> & y"));
    row("a long line is cut", QStringList { QString(100, u'x') }, QStringList(), QStringLiteral("1 plan"),
        QStringLiteral("1 plan\n") + QString(80, u'x') + QChar(0x2026));
}

void TestFrmCalendar::dayMarkTexts()
{
    auto [plans, reminders] = fetch<QStringList, QStringList>("plans", "reminders");
    DayMark mark;
    for (const QString &plan : plans)
        mark.addPlan(plan);
    for (const QString &reminder : reminders)
        mark.addReminder([&reminder] { return reminder; });
    QTEST(mark.description(), "description");
    QTextDocument hover;
    hover.setHtml(mark.toolTip());
    QTEST(hover.toPlainText().replace(QChar::LineSeparator, u'\n'), "hover");
}

// The months shown ask for their marks once; a day with plans is bold, one with a reminder has a dot,
// and a screen reader hears both from the month and from the chosen day.
void TestFrmCalendar::marksOfTheMonthsShown()
{
    open(QDate(2026, 12, 7));
    DayMarks marks;
    marks[QDate(2026, 12, 14)].addPlan(QStringLiteral("9:00 AM Dentist"));
    marks[QDate(2026, 12, 20)].addReminder([] { return QStringLiteral("10:15 AM Pay rent"); });
    QList<QPair<QDate, QDate>> asked;
    m_window->setMarkSource([&](const QDate &first, const QDate &last) {
        asked.append({ first, last });
        return marks;
    });
    QCOMPARE(asked, (QList<QPair<QDate, QDate>> { { QDate(2026, 12, 1), QDate(2027, 5, 31) } }));
    QCalendarWidget *december = month(0);
    QCOMPARE(december->dateTextFormat(QDate(2026, 12, 14)).fontWeight(), int(QFont::Bold));
    QVERIFY(december->dateTextFormat(QDate(2026, 12, 20)).fontWeight() != QFont::Bold);
    QCOMPARE(december->dateTextFormat(QDate(2026, 12, 20)).toolTip(), marks.value(QDate(2026, 12, 20)).toolTip());
    QCOMPARE(december->accessibleDescription(), QStringLiteral("14 December: 1 plan; 20 December: 1 reminder"));
    december->setSelectedDate(QDate(2026, 12, 14));
    QCOMPARE(december->focusProxy()->accessibleDescription(), QStringLiteral("1 plan"));

    const QImage withDot = december->grab().toImage();
    marks.remove(QDate(2026, 12, 20));
    m_window->refreshMarks();
    QVERIFY(december->grab().toImage() != withDot);
    QCOMPARE(december->accessibleDescription(), QStringLiteral("14 December: 1 plan"));

    asked.clear();
    focusDay(0, QDate(2026, 12, 14));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(asked, (QList<QPair<QDate, QDate>> { { QDate(2027, 1, 1), QDate(2027, 6, 30) } }));
    m_window->setMarkSource({});
}

int main(int argc, char *argv[])
{
    QTEST_SET_MAIN_SOURCE_PATH
    return runOnPinnedScreen<TestFrmCalendar>(argc, argv);
}

#include "tst_frmcalendar.moc"
