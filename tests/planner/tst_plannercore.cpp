#include "../clipkeeper/trashhome.h"
#include "../support/coretestenvironment.h"
#include "../support/tablerow.h"

#include "common/trash.h"
#include "planner/planday.h"
#include "planner/planpurge.h"

#include <QDir>
#include <QtTest>
#include <memory>

namespace {

QByteArray lines(const QStringList &list)
{
    QByteArray bytes;
    for (const QString &line : list)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

// A day file of the interval with the given lines for its first slots (the rest empty).
QByteArray dayFile(int interval, const QStringList &first)
{
    QStringList all { QString::number(interval) };
    for (int k = 0; k < PlanDay::slotCount(interval); ++k)
        all << first.value(k, QStringLiteral("0"));
    return lines(all);
}

// The day of that file as the Planner shows it.
PlanDay::Day day(int interval, const QStringList &first)
{
    return PlanDay::apply(PlanDay::parse(QString::fromUtf8(dayFile(interval, first))), interval);
}

} // namespace

class TestPlannerCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<CoreTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void writtenFileIsByteExact_data();
    void writtenFileIsByteExact();
    void readBack_data();
    void readBack();
    void readingADayMakesNoFolder();
    void damagedFilesLoadHarmlessly_data();
    void damagedFilesLoadHarmlessly();
    void purge_data();
    void purge();
    void purgeFailuresAreCountedAndNamed();
    void mergeDays_data();
    void mergeDays();

private:
    std::unique_ptr<CoreTestEnvironment> m_env;
};

void TestPlannerCore::writtenFileIsByteExact_data()
{
    columns<int, QList<int>, QStringList, QList<bool>, QByteArray>("interval", "slotIndexes", "texts", "done", "bytes");

    // 60 minutes: a ticked "Dentist" at 9:00 and an open "Call Bob" at 14:00.
    QStringList sixty(24, QStringLiteral("0"));
    sixty[9] = QStringLiteral("1Dentist");
    sixty[14] = QStringLiteral("0Call Bob");
    row("60 minutes", 2, QList<int> { 9, 14 }, QStringList { "Dentist", "Call Bob" }, QList<bool> { true, false },
        lines(QStringList { "2" } + sixty));
    QStringList fifteen(96, QStringLiteral("0"));
    fifteen[95] = QStringLiteral("1");
    row("15 minutes, ticked without text", 0, QList<int> { 95 }, QStringList { "" }, QList<bool> { true },
        lines(QStringList { "0" } + fifteen));
    // A slot text passes through OneLine (every kind of break: tst_common).
    QStringList oneLine(48, QStringLiteral("0"));
    oneLine[0] = QStringLiteral("0a b");
    row("a line break becomes a space", 1, QList<int> { 0 }, QStringList { QStringLiteral("a\nb") },
        QList<bool> { false }, lines(QStringList { "1" } + oneLine));
}

void TestPlannerCore::writtenFileIsByteExact()
{
    auto [interval, slotIndexes, texts, done]
        = fetch<int, QList<int>, QStringList, QList<bool>>("interval", "slotIndexes", "texts", "done");
    PlanDay::Day day { interval, QList<PlanDay::Slot>(PlanDay::slotCount(interval)) };
    for (qsizetype i = 0; i < slotIndexes.size(); ++i)
        day.entries[slotIndexes[i]] = { done[i], texts[i] };
    const QDate date(2000, 10, 5);
    QVERIFY(PlanDay::PlanSaveDay(date, day));
    QTEST(m_env->readBytes(QStringLiteral("PlanData/20001005")), "bytes");
}

// Only a save makes the day folder.
void TestPlannerCore::readingADayMakesNoFolder()
{
    QCOMPARE(PlanDay::PlanLoadDay(QDate(2024, 3, 12)).value().entries.size(), 0);
    QVERIFY(PlanDay::storedEntries(QDate(2024, 3, 12)).isEmpty());
    QVERIFY(!QFileInfo::exists(PlanDay::folder()));
    QVERIFY(PlanDay::PlanSaveDay(QDate(2024, 3, 12), PlanDay::Day()));
    QVERIFY(QFileInfo::exists(PlanDay::dayPath(QDate(2024, 3, 12))));
}

void TestPlannerCore::readBack_data()
{
    columns<QByteArray, int, int, int, bool, QString>("bytes", "shownInterval", "interval", "slot", "done", "text");

    row("a digit first", dayFile(1, { "0", "09 o'clock call" }), 1, 1, 1, false, QStringLiteral("9 o'clock call"));
    row("another interval switches the grid", dayFile(0, QStringList(96, QStringLiteral("1x"))), 1, 0, 95, true,
        QStringLiteral("x"));
    row("empty file keeps the shown interval", QByteArray(), 2, 2, 0, false, QString());
    row("fewer lines than slots", lines({ "2", "0a", "1b" }), 1, 2, 1, true, QStringLiteral("b"));
}

void TestPlannerCore::readBack()
{
    auto [bytes, shownInterval, interval, slot, done, text]
        = fetch<QByteArray, int, int, int, bool, QString>("bytes", "shownInterval", "interval", "slot", "done", "text");
    m_env->writeBytes(QStringLiteral("PlanData/20240312"), bytes);
    const std::optional<PlanDay::Contents> contents = PlanDay::PlanLoadDay(QDate(2024, 3, 12));
    QVERIFY(contents);
    QVERIFY(!PlanDay::isDamaged(*contents, shownInterval));
    const PlanDay::Day day = PlanDay::apply(*contents, shownInterval);
    QCOMPARE(day.interval, interval);
    QCOMPARE(day.entries.size(), PlanDay::slotCount(interval));
    QCOMPARE(day.entries.at(slot), (PlanDay::Slot { done, text }));
    // What other windows show of the day: its slots with text, at the times of the file's interval.
    const QList<PlanDay::Entry> entries = PlanDay::storedEntries(QDate(2024, 3, 12));
    QCOMPARE(entries.isEmpty(), text.isEmpty());
    QVERIFY(text.isEmpty() || entries.contains(PlanDay::Entry { slot * PlanDay::slotMinutes(interval), text }));
}

void TestPlannerCore::damagedFilesLoadHarmlessly_data()
{
    columns<QByteArray, int>("bytes", "interval");
    QTest::addColumn<QStringList>("firstTexts"); // slots 0.. as shown

    row("other first line", lines({ "7", "0a", "0b" }), 1, QStringList { "a", "b" });
    row("two digits first", lines({ "10", "0a" }), 1, QStringList { "a" });
    row("stray characters", lines({ "1", "0a", "xjunk", "1c" }), 1, QStringList { "a", "", "c" });
    row("empty slot line", lines({ "1", "0a", "", "0c" }), 1, QStringList { "a", "", "c" });
    row("more lines than slots", dayFile(2, QStringList(24, QStringLiteral("0z"))) + "0extra\r\n", 2,
        QStringList { "z", "z" });
    row("truncated in a line", QByteArray("2\r\n0Dent"), 2, QStringList { "Dent", "" });
    row("binary", QByteArray("\x00\x01\x02\r\n\xff", 6), 1, QStringList { "", "" });
    // The slot shows what its text box holds; the whole line stays in the copy kept aside.
    const QString longText(PlanDay::SlotTextLimit + 1, u'x');
    row("longer than a slot holds", lines({ "1", "0" + longText, "0b" }), 1, QStringList { longText.chopped(1), "b" });
    row("a line separator in a slot", lines({ "1", QStringLiteral("0a\u2028b") }), 1, QStringList { "a b" });
}

void TestPlannerCore::damagedFilesLoadHarmlessly()
{
    auto [bytes, firstTexts] = fetch<QByteArray, QStringList>("bytes", "firstTexts");
    m_env->writeBytes(QStringLiteral("PlanData/20240312"), bytes);
    const std::optional<PlanDay::Contents> contents = PlanDay::PlanLoadDay(QDate(2024, 3, 12));
    QVERIFY(contents);
    const PlanDay::Day day = PlanDay::apply(*contents, 1);
    QTEST(day.interval, "interval");
    for (qsizetype k = 0; k < firstTexts.size(); ++k)
        QCOMPARE(day.entries.at(k).text, firstTexts.at(k));
    // A damaged file is kept as it was before the day is stored again; a whole one is not.
    const bool damaged = QTest::currentDataTag() != QByteArrayLiteral("truncated in a line");
    QCOMPARE(PlanDay::isDamaged(*contents, 1), damaged);
    const QString copy = PlanDay::keepDamagedCopy(QDate(2024, 3, 12));
    QCOMPARE(m_env->readBytes(QStringLiteral("PlanData/20240312.damaged")), bytes);
    QCOMPARE(copy, m_env->dataPath(QStringLiteral("PlanData/20240312.damaged")));
}

void TestPlannerCore::purge_data()
{
    columns<QStringList, QDate, bool, QStringList>("files", "upTo", "trash", "left");
    QTest::addColumn<QList<int>>("progress"); // after each step of one file

    const QStringList january { "19991231", "20000101", "20000102", "20000103", "20000104", "notes", "2000010" };
    row("3 January 2000", january, QDate(2000, 1, 3), true, QStringList { "19991231", "2000010", "20000104", "notes" },
        QList<int> { 0, 50, 100 });
    row("1 January 2000", january, QDate(2000, 1, 1), true,
        QStringList { "19991231", "2000010", "20000102", "20000103", "20000104", "notes" }, QList<int> { 100 });
    row("before 2000", january, QDate(1999, 12, 31), true, january, QList<int>());
    row("numbers that are no dates go too", QStringList { "20001332", "20261207", "20261208" }, QDate(2026, 12, 7),
        true, QStringList { "20261208" }, QList<int> { 0, 100 });
    row("deleted for good", QStringList { "20000101", "20000102", "notes" }, QDate(2000, 1, 3), false,
        QStringList { "notes" }, QList<int> { 0, 100 });
}

void TestPlannerCore::purge()
{
    auto [files, upTo, trash, left] = fetch<QStringList, QDate, bool, QStringList>("files", "upTo", "trash", "left");
    TrashHome home(trash);
    QCOMPARE(CanMoveToTrash(), trash);
    const QString folder = PlanDay::folder();
    for (const QString &name : files)
        m_env->writeBytes(QStringLiteral("PlanData/") + name, "1\r\n");
    PlanPurge purge(folder, upTo, trash ? PlanPurge::Removal::Trash : PlanPurge::Removal::Delete);
    QList<int> seen;
    while (!purge.atEnd())
        seen.append(purge.step(1));
    QTEST(seen, "progress");
    QStringList remaining = QDir(folder).entryList(QDir::Files);
    remaining.sort();
    left.sort();
    QCOMPARE(remaining, left);
    QStringList gone = files;
    for (const QString &name : left)
        gone.removeOne(name);
    QCOMPARE(purge.removed(), gone.size());
    QCOMPARE(home.trashed(), trash ? gone : QStringList());
    QVERIFY(home.inWorkingFolder().isEmpty());
    const Message done = purge.doneMessage();
    QCOMPARE(done.icon, Message::Icon::Information);
    QVERIFY(done.text.startsWith(QStringLiteral("All records prior to and including this day have been purged")));
    const QString days = gone.size() == 1 ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(gone.size());
    if (!gone.isEmpty()) // how many went, and where
        QVERIFY(done.text.contains(days
            + (trash ? QStringLiteral(" went to the trash:\r\n") + home.filesPath()
                     : QStringLiteral(" deleted for good."))));
}

// Files the purge cannot remove are counted with the reason; a handful are named, so the box stays small.
void TestPlannerCore::purgeFailuresAreCountedAndNamed()
{
    for (int day = 1; day <= 7; ++day)
        m_env->writeBytes(QStringLiteral("PlanData/2000010%1").arg(day), "1\r\n");
    const QString folder = PlanDay::folder();
    const std::optional<QByteArray> said = m_env->withoutRoot([&folder] {
        PlanPurge purge(folder, QDate(2000, 1, 31), PlanPurge::Removal::Delete);
        purge.step(INT_MAX);
        return purge.doneMessage().text.toUtf8();
    });
    QVERIFY(said);
    QCOMPARE(QString::fromUtf8(*said),
        QStringLiteral("7 days could not be purged: Permission denied\r\n"
                       "20000101, 20000102, 20000103, 20000104, 20000105, and 2 more"));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 7);
}

void TestPlannerCore::mergeDays_data()
{
    columns<QStringList, QStringList, QStringList, QStringList>("base", "mine", "theirs", "merged");
    const QStringList none;
    row("each side its own slot", none, QStringList { "0a" }, QStringList { "0", "0b" }, QStringList { "0a", "0b" });
    row("a text changed on both sides keeps both", QStringList { "0x" }, QStringList { "0mine" },
        QStringList { "0theirs" }, QStringList { "0mine / theirs" });
    row("the same change once", none, QStringList { "1a" }, QStringList { "1a" }, QStringList { "1a" });
    row("emptied there", QStringList { "0x" }, QStringList { "0x" }, none, none);
    row("emptied here, changed there", QStringList { "0x" }, none, QStringList { "0y" }, QStringList { "0y" });
    row("ticked there, typed here", QStringList { "0x" }, QStringList { "0xy" }, QStringList { "1x" },
        QStringList { "1xy" });
}

void TestPlannerCore::mergeDays()
{
    auto [base, mine, theirs, merged]
        = fetch<QStringList, QStringList, QStringList, QStringList>("base", "mine", "theirs", "merged");
    QCOMPARE(PlanDay::mergeDays(day(1, base), day(1, mine), day(1, theirs)), day(1, merged));
    QCOMPARE(PlanDay::mergeDays(day(1, base), day(1, mine), day(2, theirs)), std::nullopt); // another interval
}

QTEST_GUILESS_MAIN(TestPlannerCore)
#include "tst_plannercore.moc"
