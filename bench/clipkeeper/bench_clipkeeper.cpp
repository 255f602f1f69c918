// A category is listed when the window opens and on every category click, and a clip is read and
// put on the clipboard on every clip click. These measure both up to 10,000 clips in a category,
// in the store alone and through the window (list refill and repaint, text box, clipboard).
// Run: build/bench/clipkeeper/bench_clipkeeper (the clips go to a temporary folder).

#include "clipkeeper/clipstore.h"
#include "clipkeeper/frmclipkeeper.h"
#include "common/datafolder.h"
#include "common/settings.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextEdit>
#include <benchmark/benchmark.h>

namespace {

// "ClipData" with the category "Many" of `count` clips (a few lines each, as snippets are) and the
// empty category "Other".
void makeStore(int count)
{
    const QString folder = ClipStore::defaultClipFolder();
    QDir(folder).removeRecursively();
    QDir().mkpath(folder + QStringLiteral("/Many"));
    QDir().mkpath(folder + QStringLiteral("/Other"));
    const QByteArray text = "Dear customer,\r\nthank you for your order number 12345.\r\nKind regards\r\n";
    for (int i = 0; i < count; ++i) {
        QFile clip(folder + QStringLiteral("/Many/Clip number %1").arg(i));
        clip.open(QIODevice::WriteOnly);
        clip.write(text);
    }
}

QString middleClip(int count)
{
    return QStringLiteral("Clip number %1").arg(count / 2);
}

void ListClips(benchmark::State &state)
{
    makeStore(int(state.range(0)));
    ClipStore store;
    store.LoadCategories();
    for (auto _ : state) {
        store.SelectCategory(0);
        benchmark::DoNotOptimize(store.clips().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The name order alone, of names as a listing returns them.
void SortClipNames(benchmark::State &state)
{
    QStringList names;
    for (int i = 0; i < state.range(0); ++i)
        names.append(QStringLiteral("Clip number %1").arg((i * 7919) % state.range(0)));
    for (auto _ : state) {
        QStringList sorted = names;
        SortNames(sorted);
        benchmark::DoNotOptimize(sorted);
    }
}

void OpenClip(benchmark::State &state)
{
    makeStore(int(state.range(0)));
    ClipStore store;
    store.LoadCategories();
    const QString clip = middleClip(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(store.OpenClip(clip));
}

// A click on the category of many clips, as the window handles it, repaint included; the way back
// to the empty category is not timed.
void CategoryClick(benchmark::State &state)
{
    makeStore(int(state.range(0)));
    frmClipKeeper window;
    window.show();
    QApplication::processEvents();
    auto *categories = window.findChild<QListWidget *>(QStringLiteral("lvwClipCats"));
    auto *clips = window.findChild<QListWidget *>(QStringLiteral("filClips"));
    for (auto _ : state) {
        state.PauseTiming();
        categories->setCurrentRow(1);
        state.ResumeTiming();
        categories->setCurrentRow(0);
        clips->viewport()->repaint();
    }
    if (clips->count() != state.range(0))
        state.SkipWithError("the clips were not listed");
}

// A click on a clip: read, shown in the text box, put on the clipboard.
void ClipClick(benchmark::State &state)
{
    makeStore(int(state.range(0)));
    frmClipKeeper window;
    window.show();
    QApplication::processEvents();
    auto *clips = window.findChild<QListWidget *>(QStringLiteral("filClips"));
    auto *text = window.findChild<QTextEdit *>(QStringLiteral("rtfClipDisplay"));
    const int rows[] = { int(state.range(0)) / 2, int(state.range(0)) / 2 + 1 };
    int next = 0;
    for (auto _ : state) {
        clips->setCurrentRow(rows[next]);
        text->viewport()->repaint();
        next = 1 - next;
    }
    if (text->toPlainText().isEmpty())
        state.SkipWithError("the clip was not shown");
}

// Opening the window on the category of many clips.
void OpenWindow(benchmark::State &state)
{
    makeStore(int(state.range(0)));
    for (auto _ : state) {
        frmClipKeeper window;
        window.show();
        QApplication::processEvents();
        state.PauseTiming();
        window.close();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(ListClips)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(SortClipNames)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenClip)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(CategoryClick)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(ClipClick)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenWindow)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    DataFolder::setPath(folder.path());
    Settings::useFile(folder.filePath(QStringLiteral("settings.ini")));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Dialogs::Recorder recorder;
    Dialogs::record(&recorder);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
