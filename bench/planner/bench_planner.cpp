// The purge up to 31 December 2026 with 0, 1,000 and 10,000 day files in the folder (the work follows
// the files present, not the numbers from 20000101), and storing and reading a 96-slot day.
// Run: build/bench/planner/bench_planner (the days go to a temporary folder).

#include "common/datafolder.h"
#include "planner/planday.h"
#include "planner/planpurge.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void makeDays(int count)
{
    PlanDay::makeFolder();
    const QDir folder(PlanDay::folder());
    for (int i = 0; i < count; ++i) {
        QFile day(folder.filePath(PlanDay::dayKey(QDate(2000, 1, 1).addDays(i))));
        day.open(QIODevice::WriteOnly);
        day.write("2\r\n0\r\n");
    }
}

void Purge(benchmark::State &state)
{
    const int files = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QDir(PlanDay::folder()).removeRecursively();
        makeDays(files);
        state.ResumeTiming();
        PlanPurge purge(PlanDay::folder(), QDate(2026, 12, 31), PlanPurge::Removal::Delete);
        while (!purge.atEnd())
            purge.step(200);
        benchmark::DoNotOptimize(purge.removed());
    }
}
BENCHMARK(Purge)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

PlanDay::Day fullDay()
{
    PlanDay::Day day { 0, {} };
    for (int k = 0; k < PlanDay::slotCount(0); ++k)
        day.entries.append({ k % 3 == 0, QStringLiteral("Appointment number %1 with a few words").arg(k) });
    return day;
}

void SaveDay(benchmark::State &state)
{
    const PlanDay::Day day = fullDay();
    for (auto _ : state)
        benchmark::DoNotOptimize(PlanDay::PlanSaveDay(QDate(2026, 12, 7), day));
}
BENCHMARK(SaveDay)->Unit(benchmark::kMicrosecond);

void LoadDay(benchmark::State &state)
{
    PlanDay::PlanSaveDay(QDate(2026, 12, 7), fullDay());
    for (auto _ : state) {
        const auto contents = PlanDay::PlanLoadDay(QDate(2026, 12, 7));
        benchmark::DoNotOptimize(PlanDay::apply(*contents, 1));
    }
}
BENCHMARK(LoadDay)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir data;
    DataFolder::setPath(data.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
