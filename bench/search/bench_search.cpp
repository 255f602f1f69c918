// One search across ten years of Planner days (3,650 files, a few slots each), 10,000 clips in 20
// categories, 32,767 reminders and the ten to-do lists: the first search (every file read) and a
// search while typing (files unchanged since the last search), for a rare word and a common one.
// Run: build/bench/search/bench_search (the files go to a temporary folder).

#include "app/searchsources.h"
#include "clipkeeper/clipstore.h"
#include "common/datafolder.h"
#include "common/textfile.h"
#include "planner/planday.h"
#include "quicknotes/todolists.h"
#include "reminders/reminderrecord.h"
#include "search/searchrunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QDate Today(2026, 12, 8);
const QStringList Words { "meeting", "call", "lunch", "review", "project", "budget", "the", "team", "report", "doctor",
    "school", "gym", "train", "flight", "invoice", "garden", "birthday", "notes", "draft", "plan" };

QString sentence(int seed, int words)
{
    QStringList text;
    for (int i = 0; i < words; ++i)
        text << Words[(seed * 7 + i * 13) % Words.size()];
    if (seed % 997 == 0)
        text << QStringLiteral("dentist");
    return text.join(u' ');
}

void write(const QString &path, const QString &text)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text.toUtf8());
}

void makeData()
{
    PlanDay::makeFolder();
    for (int d = 0; d < 3650; ++d) {
        PlanDay::Day day;
        for (int k = 0; k < PlanDay::slotCount(day.interval); ++k)
            day.entries.append({ false, k % 8 == 2 ? sentence(d * 48 + k, 5) : QString() });
        write(PlanDay::dayPath(Today.addDays(-d)), PlanDay::fileText(day));
    }
    const QDir clips(ClipStore::defaultClipFolder());
    for (int c = 0; c < 20; ++c) {
        const QString category = QStringLiteral("Category %1").arg(c);
        clips.mkpath(category);
        for (int i = 0; i < 500; ++i)
            write(clips.filePath(category + QStringLiteral("/Clip %1").arg(i)), sentence(c * 500 + i, 40));
    }
    for (int p = 0; p < ToDoLists::TitleCount; ++p)
        write(ToDoLists::itemFilePath(p), sentence(p, 200));
}

QStringList reminderRecords()
{
    QStringList records;
    for (int i = 0; i < 32767; ++i)
        records << MakeReminderRecord(Today.addDays(i % 700), QTime(i % 24, 0), i % 8, i % 6, sentence(i, 8));
    return records;
}

std::vector<std::shared_ptr<SearchSource>> sources(const QStringList &records)
{
    return { SearchSources::planner(PlanDay::folder()), SearchSources::reminders([records] { return records; }),
        SearchSources::clips(ClipStore::defaultClipFolder()), SearchSources::toDoLists() };
}

int hits(const SearchResult &result)
{
    int total = 0;
    for (const SearchGroup &group : result.groups)
        total += group.total;
    return total;
}

void search(benchmark::State &state, const QString &query, bool fresh)
{
    const QStringList records = reminderRecords();
    auto kept = sources(records);
    SearchRunner::run(kept, query, QDateTime(Today, QTime(12, 0))); // the files are in the system's cache
    for (auto _ : state) {
        auto used = fresh ? sources(records) : kept;
        for (const auto &source : used)
            source->prepare();
        const SearchResult result = SearchRunner::run(used, query, QDateTime(Today, QTime(12, 0)));
        state.counters["hits"] = hits(result);
    }
}

void FirstSearch(benchmark::State &state)
{
    search(state, state.range(0) ? QStringLiteral("the") : QStringLiteral("dentist"), true);
}
BENCHMARK(FirstSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void SearchWhileTyping(benchmark::State &state)
{
    search(state, state.range(0) ? QStringLiteral("the") : QStringLiteral("dentist"), false);
}
BENCHMARK(SearchWhileTyping)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir data;
    DataFolder::setPath(data.path());
    makeData();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
