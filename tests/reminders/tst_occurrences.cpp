#include "../support/tablerow.h"
#include "recordfixtures.h"

#include "reminders/occurrences.h"
#include "reminders/schedule.h"

#include <QtTest>

class TestOccurrences : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void daysTouched_data();
    void daysTouched();
};

using Days = QList<QDate>;

void TestOccurrences::daysTouched_data()
{
    // Today is Monday 7 December 2026 in every row.
    columns<QString, QDate, QDate, Days>("record", "first", "last", "days");
    const QDate dec1(2026, 12, 1), dec31(2026, 12, 31);
    row("once on its day", rec("202612200900", Schedule::Once, 0), dec1, dec31, Days { { 2026, 12, 20 } });
    row("once past the range", rec("202701050900", Schedule::Once, 0), dec1, dec31, Days {});
    row("daily missed: its day, then from tomorrow", rec("202612030900", Schedule::Daily, 0), dec1, QDate(2026, 12, 10),
        Days { { 2026, 12, 3 }, { 2026, 12, 8 }, { 2026, 12, 9 }, { 2026, 12, 10 } });
    row("weekdays leave the weekend out", rec("202612100900", Schedule::Weekdays, 0), QDate(2026, 12, 10),
        QDate(2026, 12, 15), Days { { 2026, 12, 10 }, { 2026, 12, 11 }, { 2026, 12, 14 }, { 2026, 12, 15 } });
    row("weekends", rec("202612120900", Schedule::Weekends, 0), QDate(2026, 12, 12), QDate(2026, 12, 20),
        Days { { 2026, 12, 12 }, { 2026, 12, 13 }, { 2026, 12, 19 }, { 2026, 12, 20 } });
    row("weekly from years ago, months ahead", rec("202001070900", Schedule::Weekly, 0), QDate(2027, 3, 1),
        QDate(2027, 3, 31), Days { { 2027, 3, 2 }, { 2027, 3, 9 }, { 2027, 3, 16 }, { 2027, 3, 23 }, { 2027, 3, 30 } });
    row("fortnightly keeps its rhythm, from the range's first day", rec("202611030900", Schedule::Fortnightly, 0),
        QDate(2027, 1, 12), QDate(2027, 1, 31), Days { { 2027, 1, 12 }, { 2027, 1, 26 } });
    row("monthly across the new year", rec("202610280900", Schedule::Monthly, 0), QDate(2027, 1, 1), QDate(2027, 3, 31),
        Days { { 2027, 1, 28 }, { 2027, 2, 28 }, { 2027, 3, 28 } });
    row("monthly before its first day", rec("202701150900", Schedule::Monthly, 0), dec1, dec31, Days {});
    row("yearly", rec("202402280900", Schedule::Yearly, 0), QDate(2027, 1, 1), QDate(2028, 12, 31),
        Days { { 2027, 2, 28 }, { 2028, 2, 28 } });
    row("no record", QStringLiteral("2026122009x0000 text"), dec1, dec31, Days {});
}

void TestOccurrences::daysTouched()
{
    auto [record, first, last] = fetch<QString, QDate, QDate>("record", "first", "last");
    QTEST(Occurrences::daysTouched(record, first, last, QDate(2026, 12, 7)), "days");
}

QTEST_GUILESS_MAIN(TestOccurrences)
#include "tst_occurrences.moc"
