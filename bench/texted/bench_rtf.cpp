// The editor's RTF codec on a 1 MB document: opening it (read), saving it (write) and pasting it
// (insert at a cursor), with Qt's own HTML import of the same document for comparison.
// Run: build/bench/texted/bench_rtf (the document is made here, the same in every run).

#include "rtf/rtf.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype TargetBytes = 1024 * 1024;

const QStringList Words = {
    QStringLiteral("the"),
    QStringLiteral("quick"),
    QStringLiteral("brown"),
    QStringLiteral("fox"),
    QStringLiteral("jumps"),
    QStringLiteral("over"),
    QStringLiteral("lazy"),
    QStringLiteral("dog"),
    QStringLiteral("reminder"),
    QStringLiteral("appointment"),
    QStringLiteral("café"),
    QStringLiteral("naïve"),
    QStringLiteral("Grüße"),
    QStringLiteral("Καλημέρα"),
    QStringLiteral("Привет"),
    QStringLiteral("日本語"),
    QStringLiteral("中文"),
    QStringLiteral("שלום"),
    QStringLiteral("€5"),
    QStringLiteral("😀"),
};

// Paragraphs of some 40 words in runs of mixed formatting (bold, italic, underline, three fonts,
// four sizes, three colours, four alignments), about one word in six outside ASCII, until the
// RTF is just over 1 MB.
QTextDocument *makeDocument()
{
    auto *document = new QTextDocument;
    document->setDefaultFont(QFont(QStringLiteral("Courier New"), 10));
    QRandomGenerator random(20240312);
    QTextCursor cursor(document);
    const QStringList families
        = { QStringLiteral("Courier New"), QStringLiteral("Arial"), QStringLiteral("Times New Roman") };
    const QList<QColor> colors = { QColor(), QColor(Qt::red), QColor(0, 0, 128) };
    const Qt::Alignment alignments[] = { Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify };
    qsizetype estimate = 0;
    for (int paragraph = 0; estimate < TargetBytes * 1.06; ++paragraph) {
        if (paragraph > 0) {
            QTextBlockFormat block;
            block.setAlignment(alignments[random.bounded(4)]);
            cursor.insertBlock(block);
        }
        for (int run = 0; run < 8; ++run) {
            QTextCharFormat format;
            format.setFontWeight(random.bounded(4) == 0 ? QFont::Bold : QFont::Normal);
            format.setFontItalic(random.bounded(5) == 0);
            format.setFontUnderline(random.bounded(8) == 0);
            format.setFontFamilies({ families.at(random.bounded(3)) });
            format.setFontPointSize(QList<qreal> { 9, 10, 12, 14 }.at(random.bounded(4)));
            if (const QColor color = colors.at(random.bounded(3)); color.isValid())
                format.setForeground(color);
            QString text;
            for (int word = 0; word < 5; ++word)
                text += Words.at(random.bounded(random.bounded(6) == 0 ? Words.size() : 10)) + u' ';
            cursor.insertText(text, format);
            estimate += text.size() + 30;
        }
    }
    return document;
}

struct Data
{
    QByteArray rtf;
    QString html;
    int paragraphs = 0;
};

const Data &data()
{
    static const Data made = [] {
        std::unique_ptr<QTextDocument> document(makeDocument());
        return Data { Rtf::write(*document), document->toHtml(), document->blockCount() };
    }();
    return made;
}

void ReadRtf(benchmark::State &state)
{
    const QByteArray &rtf = data().rtf;
    for (auto _ : state) {
        QTextDocument document;
        Rtf::read(rtf, &document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
    state.counters["rtf_bytes"] = double(rtf.size());
    state.counters["paragraphs"] = data().paragraphs;
}

// Qt's HTML import of the same document, the yardstick the RTF reader is held to.
void SetHtml(benchmark::State &state)
{
    const QString &html = data().html;
    for (auto _ : state) {
        QTextDocument document;
        document.setHtml(html);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.counters["html_chars"] = double(html.size());
}

// Both, alternately in one loop, so that their ratio is measured under the same conditions.
void ReadRtfOverSetHtml(benchmark::State &state)
{
    qint64 rtfNanoseconds = 0;
    qint64 htmlNanoseconds = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        {
            QTextDocument document;
            Rtf::read(data().rtf, &document);
        }
        rtfNanoseconds += timer.nsecsElapsed();
        timer.start();
        {
            QTextDocument document;
            document.setHtml(data().html);
        }
        htmlNanoseconds += timer.nsecsElapsed();
    }
    state.counters["rtf_ms"] = double(rtfNanoseconds) / 1e6 / double(state.iterations());
    state.counters["html_ms"] = double(htmlNanoseconds) / 1e6 / double(state.iterations());
    state.counters["ratio"] = double(rtfNanoseconds) / double(htmlNanoseconds);
}

void WriteRtf(benchmark::State &state)
{
    QTextDocument document;
    Rtf::read(data().rtf, &document);
    for (auto _ : state)
        benchmark::DoNotOptimize(Rtf::write(document));
    state.SetBytesProcessed(state.iterations() * data().rtf.size());
}

// Pasting the whole document into the middle of another one, as one undo step.
void InsertRtf(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto document = std::make_unique<QTextDocument>();
        document->setPlainText(QStringLiteral("before after"));
        QTextCursor cursor(document.get());
        cursor.setPosition(7);
        state.ResumeTiming();
        Rtf::insert(data().rtf, cursor);
        state.PauseTiming();
        benchmark::DoNotOptimize(document->characterCount());
        cursor = QTextCursor();
        document.reset();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(ReadRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(SetHtml)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadRtfOverSetHtml)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(InsertRtf)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
