// The reminder list is saved after every change, so the sort, the atomic save and the list view
// refill run on every add, removal and delivery. These measure them up to the largest list.
// Run: build/bench/reminders/bench_reminders (the data go to a temporary folder).

#include "common/clock.h"
#include "common/datafolder.h"
#include "common/settings.h"
#include "reminders/frmreminder.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderrecord.h"
#include "reminders/remindersort.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTreeView>
#include <benchmark/benchmark.h>

namespace {

const QDateTime Now(QDate(2024, 3, 12), QTime(10, 0));

// A person's reminders: dates over two years, any schedule and category, a short message.
// `due` of them are already due, all at one minute (the worst case for equal keys).
QStringList makeRecords(int count, int due = 0, int categories = 6)
{
    QRandomGenerator random(count);
    QStringList records;
    for (int i = 0; i < count; ++i) {
        const bool isDue = i < due;
        const QDate date = isDue ? Now.date() : Now.date().addDays(1 + random.bounded(730));
        const QTime time = isDue ? QTime(9, 0) : QTime(random.bounded(24), random.bounded(4) * 15);
        const int schedule = isDue ? 1 : int(random.bounded(8));
        records.append(MakeReminderRecord(date, time, schedule, int(random.bounded(categories)),
            QStringLiteral("Reminder number %1 to do something").arg(i)));
    }
    return records;
}

void writeFile(const QStringList &records)
{
    QFile file(DataFolder::filePath(ReminderList::fileName()));
    file.open(QIODevice::WriteOnly);
    for (const QString &record : records)
        file.write(record.toUtf8() + "\r\n");
}

// A sorted file of `count` reminders, loaded.
void loadSorted(ReminderList &list, int count, int due = 0, int categories = 6)
{
    writeFile(makeRecords(count, due, categories));
    list.LoadReminders();
    list.SortReminders();
    list.SaveReminders();
}

void Load(benchmark::State &state)
{
    writeFile(makeRecords(int(state.range(0))));
    ReminderList list;
    for (auto _ : state)
        list.LoadReminders();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Add: the record is appended, the list sorted and saved.
void Add(benchmark::State &state)
{
    ReminderList list;
    loadSorted(list, int(state.range(0)) - 1);
    for (auto _ : state) {
        list.AddReminder(QDate(2025, 1, 15), QTime(9, 0), 1, 0, QStringLiteral("added"));
        state.PauseTiming();
        list.DeleteReminder(
            list.records().indexOf(MakeReminderRecord(QDate(2025, 1, 15), QTime(9, 0), 1, 0, QStringLiteral("added"))));
        state.ResumeTiming();
    }
}

// Remove: a record from the middle goes, the list is sorted and saved.
void Remove(benchmark::State &state)
{
    ReminderList list;
    loadSorted(list, int(state.range(0)));
    for (auto _ : state) {
        const int middle = list.count() / 2;
        const QString record = list.record(middle);
        list.RemoveReminder(middle, record);
        state.PauseTiming();
        list.AppendReminder(record);
        list.SortReminders();
        state.ResumeTiming();
    }
}

// Deliver: one tick with reminder 0 due: shown, moved to tomorrow, sorted and saved.
void Deliver(benchmark::State &state)
{
    ReminderList list;
    const int count = int(state.range(0));
    loadSorted(list, count, count / 10 + 1);
    int delivered = 0;
    list.setMessageSink([&delivered](const Message &) { return ++delivered > 0; });
    for (auto _ : state) {
        if (DueKey(list.records().first()) > CurrentDueKey(Now)) {
            state.PauseTiming();
            loadSorted(list, count, count / 10 + 1);
            state.ResumeTiming();
        }
        list.DoTest();
    }
    benchmark::DoNotOptimize(delivered);
}

// The sort alone on a list that is out of order throughout, with many equal keys.
void SortShuffled(benchmark::State &state)
{
    QRandomGenerator random(1);
    QList<qint64> keys;
    for (int i = 0; i < state.range(0); ++i)
        keys.append(20240312090000 + random.bounded(64) * 100 + random.bounded(8));
    for (auto _ : state)
        benchmark::DoNotOptimize(ExchangeSortOrder(keys));
}

// The sort alone as a change leaves it: SortReminders after a new record was appended.
void SortAfterAdd(benchmark::State &state)
{
    ReminderList list;
    loadSorted(list, int(state.range(0)) - 1);
    const QString record = MakeReminderRecord(QDate(2025, 1, 15), QTime(9, 0), 1, 0, QStringLiteral("added"));
    for (auto _ : state) {
        state.PauseTiming();
        list.DeleteReminder(list.records().indexOf(record));
        list.AppendReminder(record);
        state.ResumeTiming();
        list.SortReminders();
    }
}

// The exchange sort as written, for comparison.
void SortQuadratic(benchmark::State &state)
{
    const QStringList records = makeRecords(int(state.range(0)));
    for (auto _ : state) {
        QStringList list = records;
        for (qsizetype i = 0; i + 1 < list.size(); ++i) {
            for (qsizetype j = i + 1; j < list.size(); ++j) {
                if (QStringView(list[i]).left(DueKeyLength) > QStringView(list[j]).left(DueKeyLength))
                    list.swapItemsAt(i, j);
            }
        }
        benchmark::DoNotOptimize(list);
    }
}

// The whole change as the user sees it: Add with the Reminders window open on a category that
// lists every reminder: sort, atomic save, list view refill and repaint.
void WholeChangeWithWindow(benchmark::State &state)
{
    ReminderList list;
    loadSorted(list, int(state.range(0)) - 1, 0, 1);
    frmReminder window(list);
    window.show();
    QApplication::processEvents();
    auto *view = window.findChild<QTreeView *>(QStringLiteral("lvwRemDue"));
    const QString record = MakeReminderRecord(QDate(2025, 1, 15), QTime(9, 0), 1, 0, QStringLiteral("added"));
    for (auto _ : state) {
        list.AddReminder(QDate(2025, 1, 15), QTime(9, 0), 1, 0, QStringLiteral("added"));
        view->viewport()->repaint();
        state.PauseTiming();
        list.DeleteReminder(list.records().indexOf(record));
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(Load)->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(Add)->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(Remove)->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(Deliver)->Arg(100)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(SortShuffled)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(SortAfterAdd)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(SortQuadratic)->Arg(1000)->Arg(32767)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeChangeWithWindow)->Arg(32767)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    DataFolder::setPath(folder.path());
    Settings::useFile(folder.filePath(QStringLiteral("settings.ini")));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Clock::setFixed(Now);
    Dialogs::Recorder recorder;
    Dialogs::record(&recorder);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
