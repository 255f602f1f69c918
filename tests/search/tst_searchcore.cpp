#include "../support/coretestenvironment.h"
#include "../support/tablerow.h"

#include "search/searchmatch.h"
#include "search/searchrunner.h"
#include "search/searchsource.h"

#include <QDir>
#include <QFileInfo>
#include <QSemaphore>
#include <QtTest>

namespace {

const QDateTime Now(QDate(2026, 12, 8), QTime(12, 0));

// "Tool:text@yyyyMMddhhmm": the tool (Planner when none) and the moment (none when left out).
SearchEntry entryOf(const QString &shorthand, int index)
{
    static const QStringList tools { "Planner", "Reminders", "ClipKeeper", "QuickNotes", "TextEd" };
    SearchEntry entry;
    entry.index = index;
    QString text = shorthand;
    if (const qsizetype colon = text.indexOf(u':'); colon > 0 && tools.contains(text.left(colon))) {
        entry.tool = SearchTool(tools.indexOf(text.left(colon)));
        text = text.mid(colon + 1);
    }
    if (const qsizetype at = text.lastIndexOf(u'@'); at >= 0) {
        entry.when = QDateTime::fromString(text.mid(at + 1), QStringLiteral("yyyyMMddhhmm"));
        text.truncate(at);
    }
    entry.text = text;
    return entry;
}

SearchResult search(const QString &query, const QStringList &entries)
{
    const SearchQuery parsed(query);
    SearchCollector collector(parsed, Now);
    for (int i = 0; i < entries.size(); ++i)
        collector.add(entryOf(entries[i], i));
    return collector.result();
}

class ListSource final : public SearchSource
{
public:
    QList<SearchEntry> entries;
    QSemaphore *gate = nullptr; // a search waits here before it looks
    bool visit(const Take &take) override
    {
        if (gate)
            gate->acquire();
        for (const SearchEntry &entry : entries) {
            if (!take(entry))
                return false;
        }
        return true;
    }
};

} // namespace

class TestSearchCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ranking_data();
    void ranking();
    void grouping_data();
    void grouping();
    void excerpt_data();
    void excerpt();
    void fileCache_data();
    void fileCache();
    void newerQueryDropsTheRunningOne_data();
    void newerQueryDropsTheRunningOne();
};

void TestSearchCore::ranking_data()
{
    columns<QString, QStringList>("query", "entries");
    QTest::addColumn<QStringList>("expected"); // the texts found, in order

    row("whole line, word start, inside a word", QString("bob"),
        QStringList { "kebob stand", "Call Bob", "bob", "Bobby's party", "nothing" },
        QStringList { "bob", "Call Bob", "Bobby's party", "kebob stand" });
    row("every word, anywhere, letter case aside", QString("DENTIST call"),
        QStringList { "call the dentist", "dentist", "Dentist: call", "call" },
        QStringList { "call the dentist", "Dentist: call" });
    row("the phrase before scattered words", QString("call bob"), QStringList { "bob will call", "please call bob" },
        QStringList { "please call bob", "bob will call" });
    row("a whole line inside a longer text", QString("milk"), QStringList { "milkshake", "bread\r\nmilk\r\n" },
        QStringList { "bread\r\nmilk\r\n", "milkshake" });
    row("spaces and tabs in the query", QString("  call \t bob "), QStringList { "call bob" },
        QStringList { "call bob" });
    row("accented capitals", QString("ÉTÉ"), QStringList { "l'été", "ete" }, QStringList { "l'été" });
    row("an empty query finds nothing", QString(" "), QStringList { "a b", " " }, QStringList {});
    row("dated: nearest to now, then the later", QString("gym"),
        QStringList { "gym@202512081200", "gym@202612011200", "gym@202612091200", "gym@202612071200" },
        QStringList { "gym", "gym", "gym", "gym" });
}

void TestSearchCore::ranking()
{
    auto [query, entries, expected] = fetch<QString, QStringList, QStringList>("query", "entries", "expected");

    const SearchResult result = search(query, entries);
    QStringList found;
    QList<QDate> days;
    for (const SearchGroup &group : result.groups) {
        for (const SearchHit &hit : group.hits) {
            found << hit.entry.text;
            days << hit.entry.when.date();
        }
    }
    QCOMPARE(found, expected);
    if (QString(QTest::currentDataTag()).startsWith("dated"))
        QCOMPARE(
            days, (QList<QDate> { QDate(2026, 12, 9), QDate(2026, 12, 7), QDate(2026, 12, 1), QDate(2025, 12, 8) }));
}

void TestSearchCore::grouping_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected"); // "tool total shown" by group, in order

    row("groups follow their best hit", QStringList { "Planner:call bob later", "ClipKeeper:bob", "TextEd:bobs" },
        QStringList { "2 1 1", "0 1 1", "4 1 1" });
    row("equal groups keep the tools' order", QStringList { "TextEd:bob", "Reminders:bob", "Planner:bob" },
        QStringList { "0 1 1", "1 1 1", "4 1 1" });
    row("tools without a hit have no group", QStringList { "QuickNotes:alice", "QuickNotes:bob" },
        QStringList { "3 1 1" });
    QStringList many(SearchCollector::MaxHitsPerGroup + 50, QStringLiteral("Reminders:bob"));
    row("a long group is cut, its total kept", many + QStringList { "ClipKeeper:bob" },
        QStringList { "1 150 100", "2 1 1" });
}

void TestSearchCore::grouping()
{
    auto [entries, expected] = fetch<QStringList, QStringList>("entries", "expected");

    QStringList groups;
    for (const SearchGroup &group : search(QStringLiteral("bob"), entries).groups)
        groups << QStringLiteral("%1 %2 %3").arg(int(group.tool)).arg(group.total).arg(group.hits.size());
    QCOMPARE(groups, expected);
}

void TestSearchCore::excerpt_data()
{
    columns<QString, int, QString>("text", "line", "excerpt");

    row("at the very start", QString("bob\r\nalice\r\n"), 0, QString("bob"));
    row("on a later line, its break left out", QString("alice\r\nsee bob\r\ncarol\r\n"), 1, QString("see bob"));
    row("the phrase's line rather than the first word's", QString("bob\nthe bob party"), 1, QString("the bob party"));
    row("a long line cut around the match", QString(200, u'x') + " bob " + QString(200, u'y'), 0,
        u'…' + QString(SearchCollector::ExcerptLength / 3 - 1, u'x') + " bob "
            + QString(SearchCollector::ExcerptLength - SearchCollector::ExcerptLength / 3 - 4, u'y') + u'…');
}

void TestSearchCore::excerpt()
{
    auto [text, line, excerpt] = fetch<QString, int, QString>("text", "line", "excerpt");

    const QString query = QString(QTest::currentDataTag()).contains("phrase") ? "bob party" : "bob";
    SearchEntry entry;
    entry.text = text;
    const std::optional<SearchHit> hit = SearchQuery(query).match(entry);
    QVERIFY(hit);
    QCOMPARE(hit->line, line);
    QCOMPARE(hit->excerpt, excerpt);
}

void TestSearchCore::fileCache_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("reads"); // at the second look
    QTest::addColumn<int>("kept");

    row("nothing changed", QString(), 0, 2);
    row("rewritten with another length", QString("grow"), 1, 2);
    row("rewritten, same length, another time", QString("touch"), 1, 2);
    row("removed", QString("remove"), 0, 1);
}

void TestSearchCore::fileCache()
{
    auto [change, reads, kept] = fetch<QString, int, int>("change", "reads", "kept");

    CoreTestEnvironment env;
    env.writeBytes("a", "one");
    env.writeBytes("b", "two");
    SearchFileCache cache;
    const auto read = [](const QString &path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return QList<SearchEntry> { entryOf(QString::fromUtf8(file.readAll()), 0) };
    };
    const auto look = [&] {
        QStringList texts;
        for (const SearchFile &file : SearchFilesIn(env.dataPath()))
            texts << cache.entries(file, read).first().text;
        cache.sweep();
        return texts;
    };
    look();
    const int before = cache.reads();
    QFile a(env.dataPath("a"));
    if (change == "grow")
        env.writeBytes("a", "three");
    if (change == "touch") {
        env.writeBytes("a", "ONE");
        QVERIFY(a.open(QIODevice::ReadWrite));
        QVERIFY(a.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    }
    if (change == "remove")
        QVERIFY(a.remove());
    const QStringList texts = look();
    QCOMPARE(cache.reads() - before, reads);
    QCOMPARE(cache.size(), kept);
    if (reads > 0)
        QVERIFY(texts.contains(change == "grow" ? "three" : "ONE"));
}

void TestSearchCore::newerQueryDropsTheRunningOne_data()
{
    QTest::addColumn<bool>("readingAhead");
    row("a search", false);
    row("the reading ahead as the window opens", true);
}

void TestSearchCore::newerQueryDropsTheRunningOne()
{
    QFETCH(bool, readingAhead);
    QSemaphore gate;
    auto source = std::make_shared<ListSource>();
    source->entries = { entryOf("alpha", 0), entryOf("beta", 1) };
    source->gate = &gate;
    SearchRunner runner;
    runner.addSource(source);
    QSignalSpy finished(&runner, &SearchRunner::finished);

    if (readingAhead)
        runner.readAhead();
    else
        runner.search("alpha", Now);
    QVERIFY(runner.isBusy()); // the first run waits at the gate
    runner.search("bet", Now); // typed while the first run waits
    QVERIFY(runner.isBusy());
    gate.release(2);
    QVERIFY(finished.wait());
    QTRY_VERIFY(!runner.isBusy());
    QCOMPARE(finished.size(), 1);
    const auto result = finished.first().first().value<SearchResult>();
    QCOMPARE(result.query, "bet");
    QCOMPARE(result.groups.first().hits.first().entry.text, "beta");
}

QTEST_GUILESS_MAIN(TestSearchCore)
#include "tst_searchcore.moc"
