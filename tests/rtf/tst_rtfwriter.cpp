// Writing RTF: the file's shape, escapes, round trips through our reader, pieces of documents for
// the clipboard, and the output as LibreOffice reads it.
#include "../support/tablerow.h"
#include "rtftestsupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocumentFragment>

using namespace RtfTest;

namespace {

// A document with every kind of formatting the codec keeps, in the default font DejaVu Sans 10.
std::unique_ptr<QTextDocument> formattedDocument()
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    document->setHtml(
        QStringLiteral("<p>Plain, <b>bold</b>, <i>italic</i>, <u>underlined</u> and <b><i><u>all</u></i></b>.</p>"
                       "<p align=center><span style=\"font-family:'Liberation Mono'; font-size:16pt; color:#ff0000\">"
                       "Centred red mono 16</span></p>"
                       "<p align=right><span style=\"font-family:'Liberation Serif'; font-size:9.5pt; color:#0000ff\">"
                       "Right blue serif 9.5</span> and <span style=\"color:#008000\">green</span></p>"
                       "<p align=justify>Justified text that carries on.</p>"
                       "<p>Latin café Ærøskøbing € “quotes”; Greek Καλημέρα; Cyrillic Привет; Hebrew שלום; "
                       "Arabic مرحبا; CJK 日本語 中文 한국어; Thai สวัสดี; emoji 😀 🎉; math 𝔄</p>"
                       "<p>braces {x} back\\slash  two spaces, <b>-5</b> after a change</p>"
                       "<p></p>"
                       "<p><span style=\"font-size:20pt\">big</span></p>"));
    return document;
}

} // namespace

class TstRtfWriter final : public QObject
{
    Q_OBJECT

private slots:
    // 7-bit text with CR LF line ends.
    void fileShape()
    {
        const QByteArray rtf = Rtf::write(*formattedDocument());
        QVERIFY(rtf.startsWith(R"({\rtf1)"));
        for (char byte : rtf)
            QVERIFY2(byte >= 0x20 ? byte < 0x7F : (byte == '\r' || byte == '\n'), "not 7-bit text");
        QCOMPARE(rtf.count("\r\n"), rtf.count('\n'));
        QCOMPARE(rtf.count("\r\n"), rtf.count('\r'));
    }

    void linesStayShortAndChangeNoText()
    {
        QTextDocument document;
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QStringLiteral("w%1 ").arg(i % 7) + (i % 5 == 0 ? QStringLiteral("\t-é ") : QString());
        document.setPlainText(text);
        const QByteArray rtf = Rtf::write(document);
        for (const QByteArray &line : rtf.split('\n'))
            QVERIFY2(line.size() < 260, line.constData());
        QCOMPARE(paragraphs(*read(rtf)), QStringList { text });
    }

    void escapes_data()
    {
        columns<QString, QByteArray>("text", "expected");
        QTest::addColumn<QString>("readBack"); // when it differs from the text

        row("backslash and braces", QStringLiteral("a\\b{c}"), QByteArray(R"( a\\b\{c\})"), QString());
        row("1252 only", QStringLiteral("€"), QByteArray(R"(\u8364?)"), QString());
        row("above 32767 is negative", QStringLiteral("\u8000\uFFFD"), QByteArray(R"(\u-32768?\u-3?)"), QString());
        row("astral as a surrogate pair", QStringLiteral("😀"), QByteArray(R"(\u-10179?\u-8704?)"), QString());
        row("line break", QStringLiteral("a\u2028b"), QByteArray(R"( a\line b)"), QString());
        row("special spaces and hyphens", QStringLiteral("a\u00A0b\u2011c\u00ADd"), QByteArray(R"( a\~b\_c\-d)"),
            QString());
        row("leading space and digits", QStringLiteral(" 5"), QByteArray(R"(\fs20  5})"), QString());
        row("object character as text", QStringLiteral("a\uFFFCb"), QByteArray(R"( a\u-4?b)"), QString());
        row("lone surrogate", QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b"), QByteArray(R"( a\u-3?b)"),
            QStringLiteral("a\uFFFDb"));
    }

    void escapes()
    {
        QFETCH(QString, text);
        QTextDocument document;
        document.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
        QTextCursor(&document).insertText(text);
        const QByteArray rtf = Rtf::write(document);
        QFETCH(QByteArray, expected);
        QVERIFY2(rtf.contains(expected), rtf.constData());
        QFETCH(QString, readBack);
        QCOMPARE(paragraphs(*read(rtf)).join(u'|'), readBack.isNull() ? text : readBack);
    }

    // What the round trips cannot tell: the words a run is written with.
    void runProperties_data()
    {
        columns<QString, QByteArray>("html", "expected");

        row("default font", "x", QByteArray(R"(\pard\plain\ql{\f0\fs20 x})"));
        row("medium is not bold", "<span style=\"font-weight:500\">x</span>", QByteArray(R"({\f0\fs20 x})"));
        row("font and size", "<span style=\"font-family:Arial; font-size:10.5pt\">x</span>",
            QByteArray(R"({\f1\fs21 x})"));
        row("justify", "<p align=justify>x</p>", QByteArray(R"(\pard\plain\qj{)"));
        row("bullet list label", "<ul><li>x</li></ul>", QByteArray(R"({\f0\fs20\u8226?\tab}{\f0\fs20 x})"));
        row("picture left out", "a<img src=\"none.png\">b", QByteArray(R"({\f0\fs20 a}{\f0\fs20 b})"));
    }

    void runProperties()
    {
        QTextDocument document;
        document.setDefaultFont(QFont(QStringLiteral("Courier New"), 10));
        QFETCH(QString, html);
        document.setHtml(html);
        const QByteArray rtf = Rtf::write(document);
        QFETCH(QByteArray, expected);
        QVERIFY2(rtf.contains(expected), rtf.constData());
    }

    void roundTripOfParagraphs_data()
    {
        QTest::addColumn<QString>("text");
        row("empty document", QString());
        row("one paragraph", QStringLiteral("a"));
        row("trailing empty paragraph", QStringLiteral("a\n"));
        row("only empty paragraphs", QStringLiteral("\n\n"));
        row("spaces kept", QStringLiteral("  lead, two  inside, trail  "));
    }

    // The default font comes back too, to the half point (9.75 pt as 10), and runs in it name none.
    void roundTripOfParagraphs()
    {
        QFETCH(QString, text);
        QTextDocument document;
        QFont font(QStringLiteral("Courier New"));
        font.setPointSizeF(9.75);
        document.setDefaultFont(font);
        document.setPlainText(text);
        const auto back = read(Rtf::write(document));
        QCOMPARE(paragraphs(*back), paragraphs(document));
        QCOMPARE(back->defaultFont().family(), QStringLiteral("Courier New"));
        QCOMPARE(back->defaultFont().pointSizeF(), 10.0);
        if (!text.isEmpty())
            QCOMPARE(formatAt(*back, text.left(1)).properties().keys(), QList<int>());
    }

    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("input");
        for (const char *name : { "libreoffice", "abiword", "pandoc", "word", "wordpad", "textedit" })
            row(name, dataFile(QString::fromLatin1(name) + QStringLiteral(".rtf")));
        row("object character, cut short", QByteArray(R"({\rtf\u-4)"));
        row("hidden text", QByteArray(R"({\rtf1 a{\v b}c})"));
        row("a long name", "{\\rtf1{\\fonttbl{\\f0 " + QByteArray(250, 'n') + "\tnnnnnnnnnn;}}x}");
        row("a surrogate pair across a change of format", QByteArray(R"({\rtf1\uc0 \u55357\b\u56832 x})"));
    }

    // What we read comes back the same after we write it, and writing it again gives the same bytes.
    void roundTrip()
    {
        QFETCH(QByteArray, input);
        const auto document = read(input);
        const QByteArray written = Rtf::write(*document);
        QCOMPARE(describe(*read(written)), describe(*document));
        QCOMPARE(Rtf::write(*read(written)), written);
    }

    void roundTripKeepsTextAndFormatting()
    {
        const auto document = formattedDocument();
        Rtf::ReadInfo info;
        QCOMPARE(describe(*read(Rtf::write(*document), &info)), describe(*document));
        QVERIFY(!info.truncated); // the braces balance
    }

    void selection_data()
    {
        columns<int, int>("start", "end");
        QTest::addColumn<QString>("pasted"); // pasted into "[|]"

        // The document is "ab cd" ("cd" bold Arial 14), centred "ef", "gh": positions 0-4, 6-7, 9-10.
        row("inside a paragraph", 1, 4, QStringLiteral("[b c]"));
        row("over the paragraph mark", 3, 6, QStringLiteral("[cd|]"));
        row("into the next paragraph", 3, 7, QStringLiteral("[cd|e]"));
        row("whole paragraphs", 0, 9, QStringLiteral("[ab cd|ef|]"));
        row("nothing", 2, 2, QStringLiteral("[]"));
    }

    void selection()
    {
        QTextDocument source;
        QFont font(QStringLiteral("Courier New"));
        font.setPointSizeF(9.75);
        source.setDefaultFont(font);
        source.setHtml(QStringLiteral(
            "<p>ab <b style=\"font-family:Arial; font-size:14pt\">cd</b></p><p align=center>ef</p><p>gh</p>"));
        QTextCursor cursor(&source);
        QFETCH(int, start);
        cursor.setPosition(start);
        QFETCH(int, end);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        const QByteArray rtf = Rtf::writeSelection(cursor);

        QTextDocument target;
        target.setDefaultFont(font);
        target.setPlainText(QStringLiteral("[]"));
        QTextCursor paste(&target);
        paste.setPosition(1);
        QVERIFY(Rtf::insert(rtf, paste));
        QFETCH(QString, pasted);
        QCOMPARE(paragraphs(target).join(u'|'), pasted);
        // The pasted text keeps its look; text in the shared default font (9.75 pt, written as \fs20)
        // names no font of its own, and the target's default font stays.
        if (!target.find(QStringLiteral("cd")).isNull())
            QCOMPARE(look(formatAt(target, QStringLiteral("cd")), target), QStringLiteral("b-- Arial 14 auto"));
        if (!target.find(QStringLiteral("b")).isNull())
            QCOMPARE(formatAt(target, QStringLiteral("b")).properties().keys(), QList<int>());
        QCOMPARE(target.defaultFont(), font);
        // A piece of the centred paragraph joins the target's line; the whole paragraph keeps its alignment.
        if (end > 6)
            QCOMPARE(
                alignmentAt(target, QStringLiteral("e")), end > 8 ? QStringLiteral("center") : QStringLiteral("left"));
    }

    // A fragment knows nothing of its document's default font: the caller names it.
    void fragmentWithoutDefaultFont()
    {
        QTextDocument source;
        source.setDefaultFont(QFont(QStringLiteral("Liberation Serif"), 14));
        source.setPlainText(QStringLiteral("words"));
        QTextCursor cursor(&source);
        cursor.select(QTextCursor::Document);
        const QByteArray rtf = Rtf::write(cursor.selection(), source.defaultFont());
        QVERIFY(rtf.contains(R"({\f0\fs28 words})"));
        QVERIFY(rtf.contains("Liberation Serif;"));
    }

    // LibreOffice reads our text and formatting: what it writes back as RTF holds the same.
    void libreOfficeReadsOurOutput()
    {
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty(),
            "soffice is not installed: run scripts/install-deps");
        QTemporaryDir folder;
        const auto document = formattedDocument();
        QFile ours(folder.filePath(QStringLiteral("ours.rtf")));
        QVERIFY(ours.open(QIODevice::WriteOnly) && ours.write(Rtf::write(*document)) > 0);
        ours.close();
        QProcess office;
        office.start(QStringLiteral("soffice"),
            { QStringLiteral("-env:UserInstallation=file://") + folder.filePath(QStringLiteral("profile")),
                QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("rtf"),
                QStringLiteral("--outdir"), folder.filePath(QStringLiteral("back")), ours.fileName() });
        QVERIFY(office.waitForFinished(120000));
        QVERIFY2(office.exitCode() == 0, office.readAllStandardError().constData());
        QFile back(folder.filePath(QStringLiteral("back/ours.rtf")));
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(describe(*read(back.readAll())), describe(*document));
    }
};

QTEST_MAIN(TstRtfWriter)
#include "tst_rtfwriter.moc"
