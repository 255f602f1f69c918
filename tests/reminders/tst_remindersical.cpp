#include "../support/coretestenvironment.h"
#include "../support/tablerow.h"
#include "recordfixtures.h"

#include "common/datafolder.h"
#include "reminders/icstransfer.h"
#include "reminders/reminderlist.h"
#include "reminders/remindersical.h"

#include <QProcess>
#include <QtTest>

namespace {

const QDateTime now = at(2027, 3, 1, 12, 0); // a Monday

// One event in a calendar; `lines` are its properties, CR LF joined.
QByteArray calendar(const QByteArray &lines)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:u1\r\nSUMMARY:Call\r\n"
        + QByteArray(lines).replace('|', "\r\n") + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

// The eight schedules, each on a date its rule allows (3 March 2027 is a Wednesday), in due order.
const QStringList eightSchedules = { rec("202703030930", 0, 1, QStringLiteral("Once")),
    rec("202703030930", 1, 2, QStringLiteral("Daily")), rec("202703030930", 2, 3, QStringLiteral("Weekly")),
    rec("202703030930", 3, 4, QStringLiteral("Weekdays")), rec("202703060930", 4, 5, QStringLiteral("Weekends")),
    rec("202703080930", 5, 0, QStringLiteral("Fortnightly")), rec("202703080930", 6, 1, QStringLiteral("Monthly")),
    rec("202703080930", 7, 2, QStringLiteral("Yearly \u00e9t\u00e9, ; and \\")) };

} // namespace

class tst_RemindersIcal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("TZ", "Europe/Berlin"); }
    void scheduleRoundTrip_data();
    void scheduleRoundTrip();
    void importedAs_data();
    void importedAs();
    void badFileNamesItsLine_data();
    void badFileNamesItsLine();
    void roundTripAndImportTwice();
    void pythonReadsTheExport();
};

void tst_RemindersIcal::scheduleRoundTrip_data()
{
    columns<QString, QByteArray>("record", "rule");
    const QByteArray rules[] = { "", "FREQ=DAILY", "FREQ=WEEKLY", "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR",
        "FREQ=WEEKLY;BYDAY=SA,SU", "FREQ=WEEKLY;INTERVAL=2", "FREQ=MONTHLY", "FREQ=YEARLY" };
    for (int code = 0; code < 8; ++code)
        QTest::addRow("%d", code) << eightSchedules[code] << rules[code];
    row("no message", rec("202703030930", 0, 0), QByteArray());
}

void tst_RemindersIcal::scheduleRoundTrip()
{
    auto [record, rule] = fetch<QString, QByteArray>("record", "rule");
    const QByteArray ics = RemindersIcal::exportRecords({ record }, now);
    QCOMPARE(ics.mid(ics.indexOf("BEGIN:VEVENT")).count("RRULE:"), rule.isEmpty() ? 0 : 1);
    QVERIFY(rule.isEmpty() || ics.contains(QByteArray("\r\nRRULE:" + rule + "\r\n")));
    QVERIFY(ics.contains(
        QByteArray("\r\nDTSTART:" + record.left(8).toLatin1() + 'T' + record.mid(8, 4).toLatin1() + "00\r\n")));
    QVERIFY(ics.contains("TRIGGER:PT0S") && ics.contains("ACTION:DISPLAY"));
    const RemindersIcal::Parsed parsed = RemindersIcal::parse(ics, now);
    QCOMPARE(parsed.error, QString());
    QCOMPARE(parsed.report, QStringList());
    QCOMPARE(parsed.reminders.size(), 1);
    QCOMPARE(parsed.reminders[0].record, record);
    QCOMPARE(parsed.reminders[0].uid, RemindersIcal::uidOf({ record }, 0));
}

void tst_RemindersIcal::importedAs_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QString>("record"); // empty: left out
    QTest::addColumn<QString>("report"); // a part of the one report line; empty: none
    row("weekly on its day", QByteArray("DTSTART:20270302T093000|RRULE:FREQ=WEEKLY;BYDAY=TU"),
        rec("202703020930", 2, 0, "Call"), "");
    row("daily on weekdays", QByteArray("DTSTART:20270302T093000|RRULE:FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR"),
        rec("202703020930", 3, 0, "Call"), "");
    row("past start moves on", QByteArray("DTSTART:20270201T093000|RRULE:FREQ=WEEKLY;INTERVAL=2"),
        rec("202703150930", 5, 0, "Call"), "");
    row("UTC", QByteArray("DTSTART:20270303T083000Z"), rec("202703030930", 0, 0, "Call"), "");
    row("known zone", QByteArray("DTSTART;TZID=America/New_York:20270303T093000"), rec("202703031530", 0, 0, "Call"),
        "");
    row("unknown zone", QByteArray("DTSTART;TZID=Mars/Olympus:20270303T093000"), rec("202703030930", 0, 0, "Call"),
        "time zone Mars/Olympus is unknown");
    row("every 3 weeks", QByteArray("DTSTART:20270201T093000|RRULE:FREQ=WEEKLY;INTERVAL=3"),
        rec("202703150930", 0, 0, "Call"), "\u201cOnce\u201d reminder for 2027-03-15");
    row("count", QByteArray("DTSTART:20270302T093000|RRULE:FREQ=DAILY;COUNT=3"), rec("202703020930", 0, 0, "Call"),
        "rule FREQ=DAILY;COUNT=3");
    row("ended", QByteArray("DTSTART:20270202T093000|RRULE:FREQ=DAILY;UNTIL=20270205T093000"), "",
        "no occurrence after now");
    row("exception", QByteArray("DTSTART:20270301T093000|RRULE:FREQ=DAILY|EXDATE:20270302T093000"),
        rec("202703030930", 0, 0, "Call"), "excluded dates");
    row("extra date", QByteArray("DTSTART:20270110T093000|RDATE:20270401T080000"), rec("202704010800", 0, 0, "Call"),
        "extra");
    row("monthly on the 30th", QByteArray("DTSTART:20270330T093000|RRULE:FREQ=MONTHLY"),
        rec("202703300930", 0, 0, "Call"), "Cannot repeat monthly after 28th!");
    row("all day", QByteArray("DTSTART;VALUE=DATE:20270303"), "", "all day");
    row("past once", QByteArray("DTSTART:20270228T093000"), "", "no occurrence after now");
    row("alarm before",
        QByteArray("DTSTART:20270303T093000|RRULE:FREQ=WEEKLY|BEGIN:VALARM|ACTION:DISPLAY|"
                   "TRIGGER:-PT15M|END:VALARM"),
        rec("202703030915", 2, 0, "Call"), "15 minute(s) before the start");
    row("alarm before midnight",
        QByteArray("DTSTART:20270303T001000|RRULE:FREQ=DAILY|BEGIN:VALARM|ACTION:DISPLAY|TRIGGER:-PT15M|END:VALARM"),
        rec("202703022355", 0, 0, "Call"), "another day");
    row("category", QByteArray("DTSTART:20270303T093000|CATEGORIES:Work,travel"), rec("202703030930", 0, 5, "Call"),
        "category Work");
    row("cancelled", QByteArray("DTSTART:20270303T093000|STATUS:CANCELLED"), "", "cancelled");
}

void tst_RemindersIcal::importedAs()
{
    auto [lines, record, report] = fetch<QByteArray, QString, QString>("lines", "record", "report");
    const RemindersIcal::Parsed parsed = RemindersIcal::parse(calendar(lines), now);
    QCOMPARE(parsed.error, QString());
    QCOMPARE(parsed.reminders.size(), record.isEmpty() ? 0 : 1);
    QVERIFY(record.isEmpty() || parsed.reminders[0].record == record);
    QCOMPARE(parsed.report.size(), report.isEmpty() ? 0 : 1);
    QVERIFY2(report.isEmpty() || parsed.report[0].contains(report), qPrintable(parsed.report.value(0)));
}

void tst_RemindersIcal::badFileNamesItsLine_data()
{
    columns<QByteArray, QString>("ics", "error");
    row("not a property", calendar("garbage"), "Line 7: ");
    row("bad date", calendar("DTSTART:tomorrow"), "Line 7: Can't parse as DATE-TIME");
    row("after a folded line", calendar("DESCRIPTION:one| two|RRULE:FREQ=SOMETIMES"), "Line 9: Can't parse as RECUR");
    row("cut short", calendar("DTSTART:20270303T093000").chopped(15), "Line 9: the file ends");
    row("no calendar", QByteArray("hello\r\n"), "Line 1: ");
    row("empty", QByteArray(), "Line 1: ");
}

void tst_RemindersIcal::badFileNamesItsLine()
{
    auto [ics, error] = fetch<QByteArray, QString>("ics", "error");
    const RemindersIcal::Parsed parsed = RemindersIcal::parse(ics, now);
    QVERIFY2(parsed.error.startsWith(error), qPrintable(parsed.error));
    QVERIFY(parsed.reminders.isEmpty());
}

// Out of one data folder and into an empty one: the same reminders.dat. A second import adds nothing,
// also when the event's next occurrence has moved on, and a bad file writes nothing.
void tst_RemindersIcal::roundTripAndImportTwice()
{
    CoreTestEnvironment source;
    source.writeBytes(ReminderList::fileName(), fileOf(eightSchedules));
    const QString ics = source.dataPath(QStringLiteral("out.ics"));
    const IcsTransfer::Outcome exported = IcsTransfer::exportDataFile(ics, now);
    QVERIFY2(exported.ok, qPrintable(exported.text));
    QFile::copy(QFINDTESTDATA("recordfixtures.h"), source.dataPath(QStringLiteral("bad.ics")));
    QFile extra(source.dataPath(QStringLiteral("inexact.ics")));
    QVERIFY(extra.open(QIODevice::WriteOnly));
    extra.write(calendar("DTSTART:20270302T093000|RRULE:FREQ=DAILY;INTERVAL=3"));
    extra.close();

    CoreTestEnvironment target;
    ReminderList list;
    list.LoadReminders();
    const IcsTransfer::Outcome bad = IcsTransfer::importFile(list, source.dataPath(QStringLiteral("bad.ics")), now);
    QVERIFY(!bad.ok && bad.text.contains(QStringLiteral("Line 1: ")));
    QVERIFY(!QFile::exists(target.dataPath(IcsTransfer::uidFileName())));
    QCOMPARE(target.readBytes(ReminderList::fileName()), QByteArray());

    QVERIFY(IcsTransfer::importFile(list, ics, now).ok);
    QCOMPARE(target.readBytes(ReminderList::fileName()), fileOf(eightSchedules));
    QVERIFY(IcsTransfer::importFile(list, extra.fileName(), now).ok);
    const QByteArray once = target.readBytes(ReminderList::fileName());
    for (const QDateTime &later : { now, now.addDays(2) }) {
        const IcsTransfer::Outcome again = IcsTransfer::importFile(list, ics, later);
        QVERIFY(again.text.startsWith(QStringLiteral("Imported 0 reminder(s)")));
        QVERIFY(IcsTransfer::importFile(list, extra.fileName(), later).ok);
        QCOMPARE(target.readBytes(ReminderList::fileName()), once);
    }
    // Back into the folder it came from: nothing is in the list twice, though no UID was noted there.
    ReminderList home;
    DataFolder::setPath(source.dataPath());
    home.LoadReminders();
    QVERIFY(IcsTransfer::importFile(home, ics, now).ok);
    QCOMPARE(source.readBytes(ReminderList::fileName()), fileOf(eightSchedules));
}

void tst_RemindersIcal::pythonReadsTheExport()
{
    CoreTestEnvironment environment;
    const QString path = environment.dataPath(QStringLiteral("out.ics"));
    QVERIFY(IcsTransfer::exportRecords(eightSchedules, path, now).ok);
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
        { QStringLiteral("-c"),
            QStringLiteral(
                "import sys, icalendar\n"
                "for e in icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read()).walk('VEVENT'):\n"
                "    r = e.get('RRULE')\n"
                "    print(e.decoded('DTSTART').strftime('%Y%m%d%H%M'), e.decoded('DTSTART').tzinfo,\n"
                "          r.to_ical().decode() if r else '-', e['SUMMARY'], e['CATEGORIES'].to_ical().decode())\n"),
            path });
    QVERIFY2(python.waitForFinished(), "python3 with icalendar (python3-icalendar) is needed");
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    const QStringList expected = { "202703030930 None - Once Birthdays", "202703030930 None FREQ=DAILY Daily Business",
        "202703030930 None FREQ=WEEKLY Weekly Leasure",
        "202703030930 None FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR Weekdays "
        "Finances",
        "202703060930 None FREQ=WEEKLY;BYDAY=SA,SU Weekends Travel",
        "202703080930 None FREQ=WEEKLY;INTERVAL=2 Fortnightly Alarms",
        "202703080930 None FREQ=MONTHLY Monthly Birthdays",
        "202703080930 None FREQ=YEARLY Yearly \u00e9t\u00e9, ; and \\ "
        "Business" };
    QCOMPARE(lines, expected);
}

QTEST_GUILESS_MAIN(tst_RemindersIcal)
#include "tst_remindersical.moc"
