// Opening a document is what a TextEd user waits for: a 1 MB RTF file from the File menu until its
// first page is on the screen, and the TextEd window itself with its first document.
// Run: build/bench/texted/bench_textedopen (offscreen by default; set QT_QPA_PLATFORM=xcb and
// DISPLAY to measure against an X server).

#include "common/datafolder.h"
#include "common/settings.h"
#include "rtf/rtf.h"
#include "texted/frmdocument.h"
#include "texted/frmtexted.h"
#include "texted/richtextbox.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QMainWindow>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

QTemporaryDir *s_dir = nullptr;

// A letter-like document: paragraphs of words in runs of bold, italic and underline, two fonts,
// some colour and every alignment, written by the codec until it is `bytes` long.
QString makeRtfFile(qsizetype bytes)
{
    const QString path = s_dir->filePath(QStringLiteral("large.rtf"));
    if (QFile::exists(path))
        return path;
    static const char *const Words[] = { "the", "quarterly", "report", "shows", "növekedés", "a", "steady", "rise",
        "in", "orders", "from", "café", "customers", "and", "€", "figures", "that", "we", "expect", "to", "hold" };
    QTextDocument document;
    document.setDefaultFont(frmDocument::defaultFont());
    QTextCursor cursor(&document);
    QRandomGenerator random(42);
    const Qt::Alignment alignments[] = { Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify };
    for (int paragraph = 0; paragraph < 100000; ++paragraph) {
        QTextBlockFormat block;
        block.setAlignment(alignments[paragraph % 7 == 0 ? random.bounded(4) : 0]);
        cursor.insertBlock(block);
        for (int word = 0; word < 12 + int(random.bounded(30)); ++word) {
            QTextCharFormat format;
            const quint32 style = random.bounded(20);
            format.setFontWeight(style == 0 ? QFont::Bold : QFont::Normal);
            format.setFontItalic(style == 1);
            format.setFontUnderline(style == 2);
            if (style == 3)
                format.setFontFamilies({ QStringLiteral("Arial") });
            if (style == 4)
                format.setForeground(QColor(200, 30, 30));
            cursor.insertText(QString::fromUtf8(Words[random.bounded(int(std::size(Words)))]) + u' ', format);
        }
        if (paragraph % 1000 == 0 && Rtf::write(document).size() >= bytes)
            break;
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(Rtf::write(document));
    return path;
}

// Shows everything the event loop has pending and paints the document's visible page now.
void showFirstPage(frmDocument *document)
{
    QCoreApplication::sendPostedEvents();
    document->rtfText()->viewport()->repaint();
}

// File Open of a 1 MB RTF file, from reading the file to its first page painted.
void OpenRtf1MB(benchmark::State &state)
{
    const QString path = makeRtfFile(1024 * 1024);
    frmTextEd frame;
    frame.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        frmDocument *document = frame.openFile(path);
        showFirstPage(document);
        state.PauseTiming();
        delete document;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["bytes"] = double(QFile(path).size());
}

// The TextEd window opened from the launcher: created, shown with Document 1, painted.
void OpenWindow(benchmark::State &state)
{
    for (auto _ : state) {
        frmTextEd::resetDocumentCount();
        auto *frame = new frmTextEd;
        frame->show();
        showFirstPage(frame->activeDocument());
        state.PauseTiming();
        frame->close();
        delete frame;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

// The first opening of the run is measured on its own. The program's launcher toolbar is up by then
// (the style, the fonts and the icon theme are loaded), so a stand-in for it is shown first.
BENCHMARK(OpenWindow)->Name("OpenWindow/first")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenRtf1MB)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    s_dir = &dir;
    DataFolder::setPath(dir.path());
    Settings::useFile(dir.filePath(QStringLiteral("settings.ini")));
    Dialogs::Recorder recorder; // nothing blocks
    Dialogs::record(&recorder);
    QMainWindow launcher;
    launcher.addToolBar(QStringLiteral("Launcher"))
        ->addAction(QIcon::fromTheme(QStringLiteral("accessories-text-editor")), QStringLiteral("TextEd"));
    launcher.show();
    QCoreApplication::processEvents();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Dialogs::record(nullptr);
    return 0;
}
