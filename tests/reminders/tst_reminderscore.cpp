#include "../support/coretestenvironment.h"
#include "../support/tablerow.h"
#include "recordfixtures.h"

#include "common/clock.h"
#include "common/settings.h"
#include "reminders/recordmerge.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderrecord.h"
#include "reminders/remindersort.h"
#include "reminders/schedule.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>

namespace {

// The sort of the file's tradition, exactly as written: quadratic, and the reference for the fast one.
QStringList exchangeSort(QStringList list)
{
    for (qsizetype i = 0; i + 1 < list.size(); ++i) {
        for (qsizetype j = i + 1; j < list.size(); ++j) {
            if (list[i].left(DueKeyLength) > list[j].left(DueKeyLength))
                list.swapItemsAt(i, j);
        }
    }
    return list;
}

// A list with many equal keys, each record told apart by its message.
QStringList randomRecords(QRandomGenerator &random, int size, int distinctKeys)
{
    QStringList records;
    for (int i = 0; i < size; ++i) {
        const int key = int(random.bounded(distinctKeys));
        records.append(
            MakeReminderRecord(QDate(2024, 1, 1).addDays(key / 8), QTime(9, 0), key % 8, 0, QString::number(i)));
    }
    return records;
}

// A message sink that keeps what it is shown and acknowledges it.
std::function<bool(const Message &)> keepInto(QList<Message> *shown)
{
    return [shown](const Message &message) {
        shown->append(message);
        return true;
    };
}

} // namespace

class TestRemindersCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin"); // the changes to and from summer time
        tzset();
    }
    void init() { m_env = std::make_unique<CoreTestEnvironment>(); }
    void cleanup()
    {
        m_list.reset();
        m_env.reset();
    }

    void makeRecord_data();
    void makeRecord();
    void wellFormed_data();
    void wellFormed();

    void load_data();
    void load();
    void aFullListKeepsTheFirst32767();
    void deleteTheOnlyRecordEmptiesFileAndEditor();
    void failedSaveKeepsTheListAndTells();
    void skippedLinesAreSetAside_data();
    void skippedLinesAreSetAside();
    void unreadableFileIsNeverWrittenOver();
    void messagePreview_data();
    void messagePreview();

    void listSortMatchesTheExchangeSort();

    void scheduleRule_data();
    void scheduleRule();
    void addReminder_data();
    void addReminder();

    void nextDueDate_data();
    void nextDueDate();
    void newReminderStart_data();
    void newReminderStart();

    void remLoadCheckPast_data();
    void remLoadCheckPast();

    void delivery_data();
    void delivery();
    void snoozeUntil_data();
    void snoozeUntil();
    void snoozeFile_data();
    void snoozeFile();

    void optionsAreStoredWhenTheyChange();

    void mergeRecords_data();
    void mergeRecords();
    void aChangeFromOutsideJoinsTheList();
    void conflictCopiesJoinTheListAndGo();

private:
    // Writes the records as the list file, sets the clock (when given) and loads a new list from it.
    ReminderList &load(const QStringList &records, const QDateTime &now = QDateTime())
    {
        m_env->writeBytes(ReminderList::fileName(), fileOf(records));
        if (now.isValid())
            m_env->setNow(now);
        m_list.emplace();
        m_list->LoadReminders();
        return *m_list;
    }
    QStringList fileRecords() const
    {
        const QString text = QString::fromUtf8(m_env->readBytes(ReminderList::fileName()));
        return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }

    std::unique_ptr<CoreTestEnvironment> m_env;
    std::optional<ReminderList> m_list;
};

void TestRemindersCore::makeRecord_data()
{
    columns<QDate, QTime, int, int, QString, QString>("date", "time", "schedule", "category", "message", "record");

    row("morning", QDate(2023, 12, 5), QTime(9, 5), 1, 2, "Call Bob", "202312050905012Call Bob");
    row("empty message is 15 long", QDate(2024, 1, 1), QTime(0, 0), 0, 0, "", "202401010000000");
    row("message kept as typed", QDate(2024, 1, 1), QTime(12, 30), 0, 3, "a\r\nb", "202401011230003a\r\nb");
}

void TestRemindersCore::makeRecord()
{
    auto [date, time, schedule, category, message]
        = fetch<QDate, QTime, int, int, QString>("date", "time", "schedule", "category", "message");
    const QString made = MakeReminderRecord(date, time, schedule, category, message);
    QTEST(made, "record");
    QCOMPARE(RecordDate(made), date);
    QCOMPARE(RecordTime(made), QTime(time.hour(), time.minute()));
    QCOMPARE(RecordSchedule(made), schedule);
    QCOMPARE(RecordCategory(made), category);
    QCOMPARE(RecordMessage(made), message);
    QVERIFY(IsWellFormedRecord(made));
}

void TestRemindersCore::wellFormed_data()
{
    columns<QString, bool>("line", "wellFormed");

    row("record", "202312050905012Call Bob", true);
    row("empty message", "202312050905012", true);
    row("14 characters", "20231205090501", false);
    row("30 February", "202302300905012x", false);
    row("seconds not 0x", "202312050905112x", false);
    row("category 6", "202312050905016x", false);
    row("29 February of a leap year", "202402290905075x", true);
}

void TestRemindersCore::wellFormed()
{
    QFETCH(QString, line);
    QTEST(IsWellFormedRecord(line), "wellFormed");
}

void TestRemindersCore::load_data()
{
    columns<QByteArray, QStringList>("bytes", "records");

    const QString a = rec("202312050905", 1, 2, QStringLiteral("a"));
    const QString b = rec("202312060905", 0, 0);
    row("two records", fileOf({ a, b }), QStringList { a, b });
    row("LF line ends, no final break", QByteArray(a.toUtf8() + "\n" + b.toUtf8()), QStringList { a, b });
    row("out of order kept as it stands", fileOf({ b, a }), QStringList { b, a });
    row("Windows-1252 message", QByteArray("202312050905012Caf\xe9\r\n"),
        QStringList { QStringLiteral("202312050905012Caf\u00e9") });
}

void TestRemindersCore::load()
{
    auto [bytes, records] = fetch<QByteArray, QStringList>("bytes", "records");
    m_env->writeBytes(ReminderList::fileName(), bytes);
    ReminderList list;
    QSignalSpy counted(&list, &ReminderList::countChanged);
    list.LoadReminders();
    QCOMPARE(list.records(), records);
    QCOMPARE(counted.count(), 1);
    QCOMPARE(counted.first().first().toInt(), records.size());
}

void TestRemindersCore::aFullListKeepsTheFirst32767()
{
    QStringList records;
    for (int i = 0; i < ReminderList::MaxCount + 3; ++i)
        records.append(MakeReminderRecord(QDate(2030, 1, 1), QTime(9, 0), 0, 0, QString::number(i)));
    ReminderList &list = load(records, at(2024, 3, 12, 10, 0));
    QCOMPARE(list.count(), ReminderList::MaxCount);
    QCOMPARE(RecordMessage(list.records().last()), QString::number(ReminderList::MaxCount - 1));
    // The three past the limit are kept aside, not dropped.
    QCOMPARE(QFile(list.skippedPath()).size(), fileOf(records.mid(ReminderList::MaxCount)).size());
    QCOMPARE(fileRecords().size(), ReminderList::MaxCount);

    // The 32768th is refused.
    QVERIFY(!list.AppendReminder(rec("203001010900", 0, 0, QStringLiteral("more"))));
    const auto refusal = list.AddReminder(QDate(2030, 1, 2), QTime(9, 0), 0, 0, QStringLiteral("more"));
    QCOMPARE(refusal ? refusal->title : QString(), Schedule::listFullMessage().title);
    QCOMPARE(fileRecords().size(), ReminderList::MaxCount);
}

void TestRemindersCore::deleteTheOnlyRecordEmptiesFileAndEditor()
{
    ReminderList &list = load({ rec("202312050905", 0, 0, QStringLiteral("a")) });
    QSignalSpy emptied(&list, &ReminderList::emptied);
    list.DeleteReminder(0);
    list.SortReminders();
    list.SaveReminders();
    QCOMPARE(emptied.count(), 1);
    QCOMPARE(list.count(), 0);
    QCOMPARE(QFileInfo(m_env->dataPath(ReminderList::fileName())).size(), 0);
    list.DeleteReminder(0); // nothing left: no harm
    QCOMPARE(emptied.count(), 1);
}

void TestRemindersCore::failedSaveKeepsTheListAndTells()
{
    ReminderList list;
    list.LoadReminders();
    QVERIFY(QFile::remove(m_env->dataPath(ReminderList::fileName())));
    QVERIFY(QDir(m_env->dataPath()).mkdir(ReminderList::fileName())); // the file is now a folder
    QSignalSpy failed(&list, &ReminderList::saveFailed);
    QVERIFY(list.AppendReminder(rec("202312050905", 0, 0, QStringLiteral("kept"))));
    QVERIFY(!list.SaveReminders());
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.first().first().toString(), m_env->dataPath(ReminderList::fileName()));
    QCOMPARE(list.count(), 1);
}

void TestRemindersCore::skippedLinesAreSetAside_data()
{
    QTest::addColumn<QByteArray>("line");
    row("category out of range", QByteArray("202312050905019x"));
    row("impossible date", QByteArray("202602300905012x"));
    row("too short", QByteArray("20231205"));
    row("Windows-1252 text", QByteArray("caf\xe9 is no reminder"));
}

void TestRemindersCore::skippedLinesAreSetAside()
{
    QFETCH(QByteArray, line);
    const QString good = rec("202312050905", 1, 2, QStringLiteral("good"));
    m_env->writeBytes(ReminderList::fileName(), fileOf({ good }) + line + "\n" + fileOf({ good }));
    ReminderList list;
    QList<Message> shown;
    list.setMessageSink(keepInto(&shown));
    list.LoadReminders();
    QCOMPARE(list.records(), (QStringList { good, good }));
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().text.contains(QDir::toNativeSeparators(list.skippedPath())));
    QCOMPARE(m_env->readBytes(ReminderList::fileName() + QStringLiteral(".skipped")), line + "\r\n");
    QCOMPARE(m_env->readBytes(ReminderList::fileName()), fileOf({ good, good }));

    // Set aside once: the next start finds nothing to move and says nothing.
    ReminderList again;
    again.setMessageSink(keepInto(&shown));
    again.LoadReminders();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(m_env->readBytes(ReminderList::fileName() + QStringLiteral(".skipped")), line + "\r\n");
}

void TestRemindersCore::unreadableFileIsNeverWrittenOver()
{
    // Root may read anything, so a folder stands in for a file that cannot be read.
    QVERIFY(QDir(m_env->dataPath()).mkdir(ReminderList::fileName()));
    m_env->setNow(at(2024, 3, 12, 10, 0));
    ReminderList list;
    QList<Message> shown;
    list.setMessageSink(keepInto(&shown));
    QSignalSpy failed(&list, &ReminderList::saveFailed);
    list.LoadReminders();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().icon, Message::Icon::Exclamation);
    QVERIFY(list.isSavingRefused());
    QCOMPARE(list.count(), 0);

    QVERIFY(!list.AddReminder(QDate(2024, 3, 13), QTime(9, 0), 0, 0, QStringLiteral("new")));
    QCOMPARE(failed.count(), 1);
    QVERIFY(QFileInfo(m_env->dataPath(ReminderList::fileName())).isDir());
}

void TestRemindersCore::messagePreview_data()
{
    columns<QString, QString>("message", "preview");
    row("short", QStringLiteral("hello"), QStringLiteral("hello"));
    row("past the limit", QString(20000000, u'a'), QString(500, u'a') + QChar(0x2026));
    row("surrogate pair kept whole", QString(499, u'a') + QStringLiteral("\U0001F600b"),
        QString(499, u'a') + QChar(0x2026));
}

void TestRemindersCore::messagePreview()
{
    QFETCH(QString, message);
    QTEST(RecordMessagePreview(rec("202312050905", 0, 0, message)), "preview");
}

// The list takes short cuts (a sorted list, one record out of place in front); all must agree.
void TestRemindersCore::listSortMatchesTheExchangeSort()
{
    QRandomGenerator random(42);
    for (int round = 0; round < 800; ++round) {
        QStringList records = randomRecords(random, int(random.bounded(60)), 1 + int(random.bounded(8)));
        if (round % 4 == 0 && records.size() > 1) // sorted but for the first record (a delivery)
            records = QStringList { records.first() } + exchangeSort(records.mid(1));
        else if (round % 4 == 1 && records.size() > 1) // sorted but for the last record (an add)
            records = exchangeSort(records.mid(0, records.size() - 1)) + QStringList { records.last() };
        else if (round % 4 == 2)
            records = exchangeSort(records);
        m_env->writeBytes(ReminderList::fileName(), fileOf(records));
        ReminderList list;
        list.LoadReminders();
        list.SortReminders();
        QCOMPARE(list.records(), exchangeSort(records));
    }
}

void TestRemindersCore::scheduleRule_data()
{
    columns<int, QDate, QString>("schedule", "date", "title");

    const QString weekdaysTitle = QStringLiteral("Quillory2: Weekdays are Mon-Fri!");
    const QString weekendsTitle = QStringLiteral("Quillory2: Weekends are Sat and Sun!");
    const QString monthlyTitle = QStringLiteral("Quillory2: Cannot repeat monthly after 28th!");
    const QString yearlyTitle = QStringLiteral("Quillory2: Cannot repeat yearly on 29th!");

    row("Weekdays on Saturday", int(Schedule::Weekdays), QDate(2024, 3, 16), weekdaysTitle);
    row("Weekends on Wednesday", int(Schedule::Weekends), QDate(2024, 3, 13), weekendsTitle);
    row("Monthly on the 28th", int(Schedule::Monthly), QDate(2024, 3, 28), "");
    row("Monthly on the 29th", int(Schedule::Monthly), QDate(2024, 3, 29), monthlyTitle);
    row("Yearly on 29 February", int(Schedule::Yearly), QDate(2024, 2, 29), yearlyTitle);
    row("Once any day", int(Schedule::Once), QDate(2024, 2, 29), "");
}

void TestRemindersCore::scheduleRule()
{
    auto [schedule, date, title] = fetch<int, QDate, QString>("schedule", "date", "title");
    const std::optional<Message> message = Schedule::CheckScheduleRule(schedule, date);
    QCOMPARE(message.has_value(), !title.isEmpty());
    if (message) {
        QCOMPARE(message->icon, Message::Icon::Exclamation);
        QCOMPARE(message->title, title);
    }
}

void TestRemindersCore::addReminder_data()
{
    columns<QDateTime, QDate, QTime, int>("now", "date", "time", "schedule");
    QTest::addColumn<QString>("refusal"); // title, empty when stored

    const QString past = QStringLiteral("Quillory2: Cannot remind you of the past!");
    const QDateTime now = at(2024, 3, 12, 10, 15, 3); // a Tuesday
    row("Daily this minute at second 3", now, now.date(), QTime(10, 15), int(Schedule::Daily), past);
    row("a minute ago", now, now.date(), QTime(10, 14), int(Schedule::Yearly), past);
    row("past beats the rule", now, QDate(2024, 3, 9), QTime(9, 0), int(Schedule::Weekdays), past);
    row("future Saturday, Weekdays", now, QDate(2024, 3, 16), QTime(9, 0), int(Schedule::Weekdays),
        "Quillory2: Weekdays are Mon-Fri!");
}

void TestRemindersCore::addReminder()
{
    auto [now, date, time, schedule, refusal]
        = fetch<QDateTime, QDate, QTime, int, QString>("now", "date", "time", "schedule", "refusal");
    const QString other = rec("203001010900", 0, 1, QStringLiteral("other"));
    const QString first = rec("202001010900", 0, 1, QStringLiteral("first"));
    ReminderList &list = load({ other, first }, now); // out of order on purpose
    QSignalSpy refilled(&list, &ReminderList::listChanged);

    const std::optional<Message> message
        = list.AddReminder(date, time, schedule, 2, QStringLiteral("one\ntwo\r\nthree\u2028four"));

    QCOMPARE(message ? message->title : QString(), refusal);
    const QString made = MakeReminderRecord(date, time, schedule, 2, QStringLiteral("one two three four"));
    QCOMPARE(list.records().contains(made), refusal.isEmpty());
    QCOMPARE(list.count(), refusal.isEmpty() ? 3 : 2);
    // Sorted, saved and refilled in every case.
    QCOMPARE(fileRecords(), list.records());
    QCOMPARE(list.records().first(), first);
    QCOMPARE(refilled.count(), 1);
}

void TestRemindersCore::nextDueDate_data()
{
    columns<int, QDate, QDate, QDate>("schedule", "due", "today", "next");

    row("Daily missed three days", int(Schedule::Daily), QDate(2024, 3, 10), QDate(2024, 3, 13), QDate(2024, 3, 14));
    row("Weekly Tuesday delivered Thursday", int(Schedule::Weekly), QDate(2024, 3, 12), QDate(2024, 3, 14),
        QDate(2024, 3, 19));
    row("Weekdays on Friday", int(Schedule::Weekdays), QDate(2024, 3, 15), QDate(2024, 3, 15), QDate(2024, 3, 18));
    row("Weekdays missed, delivered Saturday", int(Schedule::Weekdays), QDate(2024, 3, 15), QDate(2024, 3, 16),
        QDate(2024, 3, 18));
    row("Weekends missed, delivered Wednesday", int(Schedule::Weekends), QDate(2024, 3, 16), QDate(2024, 3, 20),
        QDate(2024, 3, 23));
    row("Fortnightly missed five weeks", int(Schedule::Fortnightly), QDate(2024, 1, 1), QDate(2024, 2, 5),
        QDate(2024, 2, 12));
    row("Fortnightly the day before its next fortnight", int(Schedule::Fortnightly), QDate(2024, 1, 1),
        QDate(2024, 1, 14), QDate(2024, 1, 15));
    row("Monthly 15th missed three months", int(Schedule::Monthly), QDate(2024, 1, 15), QDate(2024, 4, 20),
        QDate(2024, 5, 15));
    row("Monthly missed, delivered the day before", int(Schedule::Monthly), QDate(2024, 1, 15), QDate(2024, 4, 14),
        QDate(2024, 4, 15));
    row("Monthly 31st from a file ends the month", int(Schedule::Monthly), QDate(2024, 1, 31), QDate(2024, 1, 31),
        QDate(2024, 2, 29));
    row("Yearly missed years, date to come", int(Schedule::Yearly), QDate(2019, 6, 10), QDate(2023, 6, 9),
        QDate(2023, 6, 10));
    row("Yearly missed years, date gone", int(Schedule::Yearly), QDate(2019, 6, 10), QDate(2023, 7, 1),
        QDate(2024, 6, 10));
    row("already after today stays", int(Schedule::Daily), QDate(2024, 3, 20), QDate(2024, 3, 12), QDate(2024, 3, 20));
    row("Once has no next date", int(Schedule::Once), QDate(2024, 3, 12), QDate(2024, 3, 12), QDate());
}

void TestRemindersCore::nextDueDate()
{
    auto [schedule, due, today] = fetch<int, QDate, QDate>("schedule", "due", "today");
    QTEST(Schedule::NextDueDate(due, schedule, today), "next");
}

void TestRemindersCore::newReminderStart_data()
{
    columns<QDateTime, QDateTime>("now", "start");
    row("five minutes on, the next quarter", at(2024, 3, 12, 10, 7, 33), at(2024, 3, 12, 10, 15, 33));
    row("across the hour", at(2024, 3, 12, 11, 45, 10), at(2024, 3, 12, 12, 0, 10));
    row("midnight is tomorrow", at(2024, 12, 31, 23, 50), at(2025, 1, 1, 0, 0));
    row("past midnight keeps today", at(2024, 3, 12, 23, 57), at(2024, 3, 12, 0, 15));
}

void TestRemindersCore::newReminderStart()
{
    QFETCH(QDateTime, now);
    QTEST(Schedule::NewReminderStart(now), "start");
}

void TestRemindersCore::remLoadCheckPast_data()
{
    columns<bool, QStringList, QStringList>("deliverPast", "before", "after");

    // Started Tuesday 12 March 2024 09:00: a "Weekly" of Sunday, a "Once" of yesterday 18:00, one to come.
    const QStringList before { rec("202403100900", 2, 0, QStringLiteral("weekly")),
        rec("202403111800", 0, 0, QStringLiteral("yesterday")), rec("202403121000", 1, 0, QStringLiteral("to come")) };
    row("delivered late", true, before, before);
    row("passed over", false, before, QStringList { before[2], rec("202403170900", 2, 0, QStringLiteral("weekly")) });
}

void TestRemindersCore::remLoadCheckPast()
{
    auto [deliverPast, before, after] = fetch<bool, QStringList, QStringList>("deliverPast", "before", "after");
    Settings::saveCheckState(Key::ReminderPast, deliverPast);
    ReminderList &list = load(before, at(2024, 3, 12, 9, 0));
    list.readOptions();
    list.setMessageSink([](const Message &) {
        [] { QFAIL("nothing is shown at start-up"); }();
        return true;
    });
    list.RemLoadCheckPast();
    QCOMPARE(list.records(), after);
    QCOMPARE(fileRecords(), after);
}

// Steps: "hh:mm[:ss]" (or "d hh:mm" for another day of March 2024) sets the clock and ticks; "ok" and
// "ok all" acknowledge the first or every occurrence of the last delivery, "snooze N" snoozes its first
// for choice N, "release" lets it go unanswered, "remove M" removes the reminder whose message is M in
// the window, "restart" loads the files anew as a start-up does. Each delivery is logged as its messages
// joined by "+", a snoozed one marked "*".
void TestRemindersCore::delivery_data()
{
    columns<QStringList, QString, QStringList, QStringList>("records", "options", "steps", "delivered");
    QTest::addColumn<QStringList>("after"); // the list and its file
    QTest::addColumn<QByteArray>("snoozed"); // snoozed.dat, "-" when it must not exist

    // Tuesday 12 March 2024. Keys of "Daily" end in "01".
    const QString wake = rec("202403121015", 1, 0, QStringLiteral("wake"));
    const QString wakeNext = rec("202403131015", 1, 0, QStringLiteral("wake"));
    const QString first = rec("202403121015", 0, 0, QStringLiteral("first"));
    const QString second = rec("202403121015", 0, 1, QStringLiteral("second"));
    const QString call = rec("202403121020", 0, 0, QStringLiteral("call"));
    const QString later = rec("202403121100", 0, 0, QStringLiteral("later"));
    const QStringList none;
    const QByteArray noFile("-");

    row("on time, acknowledged", QStringList { wake }, "", QStringList { "10:14:59", "10:15:01", "ok" },
        QStringList { "wake" }, QStringList { wakeNext }, noFile);
    row("due together, one list", QStringList { first, second, later }, "", QStringList { "10:15:05", "ok all" },
        QStringList { "first+second" }, QStringList { later }, noFile);
    row("one box after another", QStringList { first, second }, "one by one",
        QStringList { "10:15:05", "10:15:10", "ok", "10:15:15", "ok" }, QStringList { "first", "second" }, none,
        noFile);
    row("none ticked: moved on unseen", QStringList { first, wake }, "none", QStringList { "10:15:05" }, none,
        QStringList { wakeNext }, noFile);
    row("held while shown, the program ends", QStringList { first, second }, "",
        QStringList { "10:15:05", "10:15:10", "10:16" }, QStringList { "first+second" }, QStringList { first, second },
        noFile);
    row("released, due again", QStringList { first }, "", QStringList { "10:15:05", "release", "10:15:10" },
        QStringList { "first", "first" }, QStringList { first }, noFile);
    row("the shown one removed meanwhile", QStringList { first, wake }, "",
        QStringList { "10:15:05", "remove first", "ok all" }, QStringList { "first+wake" }, QStringList { wakeNext },
        noFile);
    row("a jump of the clock: one list", QStringList { first, call, later }, "", QStringList { "10:00", "10:59" },
        QStringList { "first+call" }, QStringList { first, call, later }, noFile);
    row("the clock set back an hour", QStringList { wake, call }, "",
        QStringList { "10:15:05", "ok", "10:20:05", "ok", "09:20", "10:15:05", "10:20:05" },
        QStringList { "wake", "call" }, QStringList { wakeNext }, noFile);
    row("snoozed: back at its time, moved on when acknowledged", QStringList { wake }, "",
        QStringList { "10:15:05", "snooze 1", "10:24:59", "10:25:00", "ok" }, QStringList { "wake", "wake*" },
        QStringList { wakeNext }, QByteArray());
    row("snoozed once: kept over a restart, delivered though Past is off", QStringList { call }, "past off",
        QStringList { "10:20:05", "snooze 0", "restart 11:00", "11:00:05" }, QStringList { "call", "call*" },
        QStringList { call }, "202403121025" + call.toUtf8() + "\r\n");
    row("snoozed, then removed: the snooze goes too", QStringList { call, later }, "",
        QStringList { "10:20:05", "snooze 1", "remove call", "10:40" }, QStringList { "call" }, QStringList { later },
        QByteArray());
}

void TestRemindersCore::delivery()
{
    auto [records, options, steps] = fetch<QStringList, QString, QStringList>("records", "options", "steps");
    Settings::saveCheckState(Key::ReminderPast, options != QLatin1String("past off"));
    Settings::saveCheckState(Key::ReminderNone, options == QLatin1String("none"));
    Settings::saveCheckState(Key::ReminderOneByOne, options == QLatin1String("one by one"));
    QStringList delivered;
    QList<ReminderList::Occurrence> last;
    const auto start = [&](const QDateTime &now) {
        m_env->setNow(now);
        ReminderList &list = m_list.emplace();
        list.LoadReminders();
        list.readOptions();
        list.setDeliverySink([&](const QList<ReminderList::Occurrence> &due) {
            QStringList texts;
            for (const ReminderList::Occurrence &occurrence : due)
                texts.append(RecordMessage(occurrence.record) + (occurrence.snoozed ? "*" : ""));
            delivered.append(texts.join(u'+'));
            last = due;
        });
        list.RemLoadCheckPast();
    };
    m_env->writeBytes(ReminderList::fileName(), fileOf(records));
    start(at(2024, 3, 12, 10, 0));
    for (const QString &step : std::as_const(steps)) {
        const QStringList words = step.split(u' ');
        const auto clock = [](const QStringList &parts) {
            const QTime time = QTime::fromString(parts.last(), parts.last().size() > 5 ? "hh:mm:ss" : "hh:mm");
            return QDateTime(QDate(2024, 3, parts.size() > 1 ? parts.first().toInt() : 12), time);
        };
        if (words.first() == QLatin1String("ok")) {
            QStringList all;
            for (const auto &occurrence : std::as_const(last))
                all.append(occurrence.record);
            m_list->acknowledge(words.size() > 1 ? all : all.mid(0, 1));
        } else if (words.first() == QLatin1String("snooze")) {
            m_list->snooze(last.first().record, ReminderList::snoozeUntil(Clock::now(), words.last().toInt()));
        } else if (words.first() == QLatin1String("release")) {
            m_list->release(last.first().record);
        } else if (words.first() == QLatin1String("remove")) {
            const auto it = std::find_if(m_list->records().cbegin(), m_list->records().cend(),
                [&](const QString &record) { return RecordMessage(record) == words.last(); });
            QVERIFY(m_list->RemoveReminder(int(it - m_list->records().cbegin()), *it));
        } else if (words.first() == QLatin1String("restart")) {
            start(clock(words.mid(1)));
        } else {
            m_env->setNow(clock(words));
            m_list->DoTest();
        }
    }
    QTEST(delivered, "delivered");
    QTEST(m_list->records(), "after");
    QTEST(fileRecords(), "after");
    QFETCH(QByteArray, snoozed);
    if (snoozed == "-")
        QVERIFY(!QFile::exists(m_env->dataPath(SnoozeStore::fileName())));
    else
        QCOMPARE(m_env->readBytes(SnoozeStore::fileName()), snoozed);
}

void TestRemindersCore::snoozeUntil_data()
{
    columns<QDateTime, int, QDateTime>("now", "choice", "until");

    row("5 minutes", at(2024, 3, 12, 10, 15, 5), 0, at(2024, 3, 12, 10, 20, 5));
    row("30 minutes into the next month", at(2024, 2, 29, 23, 50), 2, at(2024, 3, 1, 0, 20));
    row("10 minutes into summer time", at(2024, 3, 31, 1, 55), 1, at(2024, 3, 31, 3, 5));
    row("an hour across the change back: on the clock", at(2024, 10, 27, 2, 30), 3, at(2024, 10, 27, 3, 30));
    row("tomorrow across the change to summer time", at(2024, 3, 30, 10, 15), 4, at(2024, 3, 31, 10, 15));
    row("tomorrow in the skipped hour", at(2024, 3, 30, 2, 30), 4, at(2024, 3, 31, 3, 30));
}

void TestRemindersCore::snoozeUntil()
{
    auto [now, choice] = fetch<QDateTime, int>("now", "choice");
    QTEST(ReminderList::snoozeUntil(now, choice), "until");
}

// What snoozed.dat holds as the list loads it: kept, set aside (damaged) or dropped (its reminder gone).
void TestRemindersCore::snoozeFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("kept"); // in the order they come back
    QTest::addColumn<QByteArray>("setAside");

    const QString call = rec("202403121020", 0, 0, QStringLiteral("call"));
    const QString wake = rec("202403121015", 1, 0, QStringLiteral("wake"));
    row("kept", ("202403121100" + call + "\n202403121030" + wake + "\r\n").toUtf8(),
        QStringList { "202403121030" + wake, "202403121100" + call }, QByteArray());
    row("its reminder gone", ("202403121100" + rec("202403121020", 0, 0, "gone") + "\r\n").toUtf8(), QStringList(),
        QByteArray());
    row("a time that does not exist", ("202402301100" + call + "\r\n").toUtf8(), QStringList(),
        ("202402301100" + call + "\r\n").toUtf8());
    row("no reminder after the time", QByteArray("20240312110012\r\n"), QStringList(),
        QByteArray("20240312110012\r\n"));
}

void TestRemindersCore::snoozeFile()
{
    auto [bytes, kept] = fetch<QByteArray, QStringList>("bytes", "kept");
    m_env->writeBytes(SnoozeStore::fileName(), bytes);
    ReminderList &list = load(
        { rec("202403121015", 1, 0, QStringLiteral("wake")), rec("202403121020", 0, 0, QStringLiteral("call")) });
    QStringList lines;
    for (const SnoozeStore::Snooze &snooze : list.snoozes().snoozes())
        lines.append(SnoozeStore::line(snooze));
    QCOMPARE(lines, kept);
    if (kept.isEmpty()) // what was not kept left the file
        QCOMPARE(m_env->readBytes(SnoozeStore::fileName()), QByteArray());
    const QString aside = SnoozeStore::fileName() + ".skipped";
    QTEST(QFile::exists(m_env->dataPath(aside)) ? m_env->readBytes(aside) : QByteArray(), "setAside");
}

void TestRemindersCore::optionsAreStoredWhenTheyChange()
{
    ReminderList list;
    list.readOptions();
    QCOMPARE(list.deliverPast(), true);
    QCOMPARE(list.deliverNone(), false);
    QSignalSpy pastChanged(&list, &ReminderList::deliverPastChanged);
    list.setDeliverPast(false);
    list.setDeliverPast(false);
    list.setDeliverNone(true);
    QCOMPARE(pastChanged.count(), 1);
    QCOMPARE(Settings::get(Key::ReminderPast), QStringLiteral("0"));
    QCOMPARE(Settings::get(Key::ReminderNone), QStringLiteral("1"));
}

void TestRemindersCore::mergeRecords_data()
{
    columns<QStringList, QStringList, QStringList, QStringList>("base", "mine", "theirs", "merged");
    const QStringList a { "a" };
    row("added on each side", a, QStringList { "a", "b" }, QStringList { "a", "c" }, QStringList { "a", "b", "c" });
    row("deleted there stays deleted", QStringList { "a", "b" }, QStringList { "a", "b", "c" }, a,
        QStringList { "a", "c" });
    row("deleted here stays deleted", QStringList { "a", "b" }, a, QStringList { "a", "b", "c" },
        QStringList { "a", "c" });
    row("moved on on both sides: once", a, QStringList { "b" }, QStringList { "b" }, QStringList { "b" });
    row("copies are counted", QStringList { "a", "a" }, QStringList { "a", "a", "a" }, a, QStringList { "a", "a" });
    row("deleted on both sides", a, QStringList(), QStringList(), QStringList());
}

void TestRemindersCore::mergeRecords()
{
    auto [base, mine, theirs] = fetch<QStringList, QStringList, QStringList>("base", "mine", "theirs");
    QTEST(MergeRecords(base, mine, theirs), "merged");
}

// Another computer's list arrives while this copy adds a reminder: the save merges, and nothing of
// either side is lost. (Replacement by rename, with the watch: the conflict copy test below.)
void TestRemindersCore::aChangeFromOutsideJoinsTheList()
{
    const QString mine = rec("203001010900", 0, 0, QStringLiteral("mine"));
    const QString theirs = rec("203001020900", 0, 0, QStringLiteral("theirs"));
    ReminderList &list = load({ mine, theirs }, at(2024, 3, 12, 10, 0));
    const QString later = rec("203001030900", 0, 0, QStringLiteral("later"));
    m_env->writeBytes(ReminderList::fileName(), fileOf({ theirs, later }));
    QVERIFY(!list.AddReminder(QDate(2030, 1, 4), QTime(9, 0), 0, 0, QStringLiteral("added")));
    QCOMPARE(fileRecords(), (QStringList { theirs, later, rec("203001040900", 0, 0, QStringLiteral("added")) }));
}

// Both computers changed the list at once: the sync engine keeps the losing side beside it. At the
// start and while running, its records join the list (one in both counts once) and the copy goes.
// The file that replaced the list never saw the copy's records: they come back.
void TestRemindersCore::conflictCopiesJoinTheListAndGo()
{
    const QString both = rec("203001010900", 0, 0, QStringLiteral("both"));
    const QString first = rec("203001020900", 0, 0, QStringLiteral("first copy"));
    const QString second = rec("203001030900", 0, 0, QStringLiteral("second copy"));
    const QString copy = QStringLiteral("reminders.sync-conflict-20261208-101500-ABCDEFG.dat");
    m_env->writeBytes(copy, fileOf({ first, both }));
    ReminderList &list = load({ both }, at(2024, 3, 12, 10, 0));
    QCOMPARE(fileRecords(), (QStringList { both, first }));
    QVERIFY(!QFile::exists(m_env->dataPath(copy)));

    // Added here as another computer added its own: its list replaces this one, which the engine keeps.
    list.watchFile();
    QVERIFY(!list.AddReminder(QDate(2030, 1, 4), QTime(9, 0), 0, 0, QStringLiteral("mine")));
    const QString mine = rec("203001040900", 0, 0, QStringLiteral("mine"));
    m_env->writeBytes(QStringLiteral("reminders (conflicted copy laptop).dat"), fileOf({ both, first, mine }));
    m_env->writeBytes(QStringLiteral("incoming"), fileOf({ both, first, second }));
    QVERIFY(std::rename(qPrintable(m_env->dataPath(QStringLiteral("incoming"))), qPrintable(list.path())) == 0);
    QTRY_COMPARE(fileRecords(), (QStringList { both, first, second, mine }));
    QVERIFY(!QFile::exists(m_env->dataPath(QStringLiteral("reminders (conflicted copy laptop).dat"))));
}

QTEST_GUILESS_MAIN(TestRemindersCore)
#include "tst_reminderscore.moc"
