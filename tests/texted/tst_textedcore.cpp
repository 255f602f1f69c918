#include "../support/coretestenvironment.h"
#include "../support/tablerow.h"

#include "texted/recoverystore.h"
#include "texted/textedfiles.h"
#include "texted/windowtiling.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>
#include <sys/stat.h>

using namespace TextEdFiles;

// TextEd's rules without windows: the filters and the format each writes, reading files (and
// refusing what is not text), plain text in and out, recovery copies, and the window arrangements.
class TestTextEdCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<CoreTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void formatOfFilter_data();
    void formatOfFilter();
    void filterOfOpenedFile_data();
    void filterOfOpenedFile();

    void readFileRefuses_data();
    void readFileRefuses();
    void readFileReadsBytes();
    void readFileAsksBeforeALargeFile_data();
    void readFileAsksBeforeALargeFile();
    void changedSince_data();
    void changedSince();
    void plainText_data();
    void plainText();
    void plainTextBytes_data();
    void plainTextBytes();
    void pdfEnding_data();
    void pdfEnding();

    void recoveryKeepsAndGivesBack();
    void recoveryNamesTheNextCopy_data();
    void recoveryNamesTheNextCopy();
    void recoveryListsCopiesTheIndexDoesNotKnow();
    void recoveryCannotWriteOrRead();

    void tiling_data();
    void tiling();

private:
    std::unique_ptr<CoreTestEnvironment> m_env;
};

void TestTextEdCore::formatOfFilter_data()
{
    columns<int, bool>("filter", "rtf");
    row("none chosen yet", 0, true);
    row("RTF", 1, true);
    row("Text", 2, false);
    row("HTML", 4, false);
}

void TestTextEdCore::formatOfFilter()
{
    QFETCH(int, filter);
    QTEST(TextEdFiles::formatOfFilter(filter) == Format::Rtf, "rtf");
}

void TestTextEdCore::filterOfOpenedFile_data()
{
    columns<QString, bool, int>("path", "isRtf", "filter");
    row("rich text", "/a/letter.rtf", true, int(RtfFilter));
    row("rich text named .txt", "/a/letter.txt", true, int(RtfFilter));
    row("plain .rtf", "/a/letter.rtf", false, int(TextFilter));
    row("text", "/a/notes.txt", false, int(TextFilter));
    row("html", "/a/page.html", false, int(HtmlFilter));
    row("no ending", "/a/README", false, int(TextFilter));
}

void TestTextEdCore::filterOfOpenedFile()
{
    auto [path, isRtf] = fetch<QString, bool>("path", "isRtf");
    QTEST(TextEdFiles::filterOfOpenedFile(path, isRtf), "filter");
}

void TestTextEdCore::readFileRefuses_data()
{
    columns<QString, QString>("name", "reason");
    row("missing", "missing.txt", "The file does not exist.");
    row("folder", "folder", "This is a folder, not a file.");
    row("too large", "large.txt", "more than TextEd can show");
    row("no permission", "secret.txt", "");
    row("named pipe: refused without waiting for a writer", "pipe.rtf", "");
}

void TestTextEdCore::readFileRefuses()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QDir(m_env->dataPath()).mkdir(QStringLiteral("folder"));
    {
        QFile large(m_env->dataPath(QStringLiteral("large.txt")));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(MaxFileSize + 1));
    }
    QVERIFY(::mkfifo(QFile::encodeName(m_env->dataPath(QStringLiteral("pipe.rtf"))).constData(), 0600) == 0);
    m_env->writeBytes(QStringLiteral("secret.txt"), "secret");
    QFile::setPermissions(m_env->dataPath(QStringLiteral("secret.txt")), QFileDevice::WriteOwner);
    const std::optional<QByteArray> said = m_env->withoutRoot([this, name] {
        Message failure;
        return readFile(m_env->dataPath(name), &failure) ? QByteArray()
                                                         : (failure.title + u'\n' + failure.text).toUtf8();
    });
    QVERIFY2(said, "the test folder cannot be reached without root: put TMPDIR where every user may pass");

    const QString text = QString::fromUtf8(*said);
    QVERIFY2(text.startsWith(u"Quillory2: Cannot open the file\nTHE FILE COULD NOT BE OPENED\r\n\r\n"
                 + QDir::toNativeSeparators(m_env->dataPath(name))),
        qPrintable(text));
    QVERIFY(text.contains(reason));
    QVERIFY(text.contains(u"Solution:"));
    QVERIFY(!QFile::exists(m_env->dataPath(QStringLiteral("missing.txt")))); // nothing is created
}

void TestTextEdCore::readFileReadsBytes()
{
    m_env->writeBytes(QStringLiteral("a.rtf"), "{\\rtf1 x}");
    Message failure;
    QCOMPARE(readFile(m_env->dataPath(QStringLiteral("a.rtf")), &failure), QByteArray("{\\rtf1 x}"));
    QCOMPARE(failure, Message());
}

void TestTextEdCore::readFileAsksBeforeALargeFile_data()
{
    columns<qint64, bool, bool>("size", "agree", "asked");
    row("at the limit: no question", LargeFileSize, false, false);
    row("larger, the user agrees", LargeFileSize + 1, true, true);
    row("larger, the user declines", LargeFileSize + 1, false, true);
}

void TestTextEdCore::readFileAsksBeforeALargeFile()
{
    QFETCH(qint64, size);
    QFETCH(bool, agree);
    QFETCH(bool, asked);
    const QString path = m_env->dataPath(QStringLiteral("large.txt"));
    {
        QFile large(path);
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize(size));
    }
    qint64 askedSize = -1;
    Message failure { Message::Icon::Information, QStringLiteral("not set"), QString() };
    const std::optional<QByteArray> bytes = readFile(path, &failure, [&](qint64 fileSize) {
        askedSize = fileSize;
        return agree;
    });
    QCOMPARE(askedSize, asked ? size : -1);
    QCOMPARE(bytes.has_value(), !asked || agree);
    if (bytes)
        QCOMPARE(bytes->size(), size);
    else
        QCOMPARE(failure, Message()); // declined: nothing to tell
}

void TestTextEdCore::changedSince_data()
{
    QTest::addColumn<QByteArray>("rewritten"); // empty: the file is deleted
    columns<int, bool>("secondsLater", "changed");
    row("untouched", QByteArray("old text"), 0, false);
    row("same size, later", QByteArray("new text"), 5, true);
    row("other size, same time", QByteArray("longer new text"), 0, true);
    row("deleted: nothing to overwrite", QByteArray(), 0, false);
}

void TestTextEdCore::changedSince()
{
    auto [rewritten, secondsLater] = fetch<QByteArray, int>("rewritten", "secondsLater");
    const QString path = m_env->dataPath(QStringLiteral("a.txt"));
    const QDateTime readAt = QDateTime::currentDateTime().addSecs(-60);
    const auto write = [&path](const QByteArray &bytes, const QDateTime &time) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
            && file.setFileTime(time, QFileDevice::FileModificationTime);
    };
    QVERIFY(write("old text", readAt));
    const FileStamp stamp = stampOf(path);
    QVERIFY(stamp.known);
    if (rewritten.isEmpty())
        QVERIFY(QFile::remove(path));
    else
        QVERIFY(write(rewritten, readAt.addSecs(secondsLater)));
    QTEST(TextEdFiles::changedSince(stamp, path), "changed");
    QVERIFY(!TextEdFiles::changedSince(FileStamp(), path)); // a document never read from the file
}

void TestTextEdCore::plainText_data()
{
    columns<QByteArray, QString, bool>("bytes", "text", "isText");
    row("empty", QByteArray(), "", true);
    row("CR LF", QByteArray("a\r\nb"), "a\nb", true);
    row("final break kept", QByteArray("a\r\n"), "a\n", true);
    row("UTF-8", QByteArray("caf\xc3\xa9 \xe2\x82\xac"), QString::fromUtf8("café €"), true);
    row("UTF-8 with BOM", QByteArray("\xef\xbb\xbfx"), "x", true);
    row("U+FEFF starting a later line is text",
        QByteArray("a\n\xef\xbb\xbf"
                   "b"),
        QStringLiteral("a\n\ufeffb"), true);
    row("Windows-1252 line", QByteArray("caf\xe9 \x80\r\n\xc3\xa9"), QString::fromUtf8("café €\né"), true);
    row("UTF-16LE with BOM",
        QByteArray("\xff\xfe"
                   "a\0\r\0\n\0b\0",
            10),
        "a\nb", true);
    row("UTF-16 with a lone surrogate: not text", QByteArray("\xfe\xff\xdf\xfe", 4), "", false);
    row("UTF-16 cut in a character: not text", QByteArray("\xfe\xff\0a\0", 5), "", false);
    row("NUL byte: not text", QByteArray("PK\x03\x04\0\0", 6), "", false);
    row("picture", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "", false);
}

void TestTextEdCore::plainText()
{
    auto [bytes, isText] = fetch<QByteArray, bool>("bytes", "isText");
    const std::optional<QString> read = TextEdFiles::plainText(bytes);
    QCOMPARE(read.has_value(), isText);
    if (isText)
        QTEST(*read, "text");
}

void TestTextEdCore::plainTextBytes_data()
{
    columns<QString, QByteArray>("raw", "bytes");
    row("paragraph and line breaks", QStringLiteral("a\u2029b\u2028c\u2029"), QByteArray("a\r\nb\r\nc\r\n"));
    row("object left out", QStringLiteral("a\ufffcb"), QByteArray("ab"));
    row("no-break space, tab and markup kept", QStringLiteral("\u00a0{\\b x}\t<b>"),
        QByteArray("\xc2\xa0{\\b x}\t<b>"));
}

void TestTextEdCore::plainTextBytes()
{
    auto [raw, bytes] = fetch<QString, QByteArray>("raw", "bytes");
    QCOMPARE(TextEdFiles::plainTextBytes(raw), bytes);
    QCOMPARE(characters(raw), QString::fromUtf8(bytes).replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void TestTextEdCore::pdfEnding_data()
{
    columns<QString, QString>("typed", "written");
    row("no ending", "/a/letter", "/a/letter.pdf");
    row("pdf", "/a/letter.pdf", "/a/letter.pdf");
    row("other ending kept", "/a/letter.v2", "/a/letter.v2");
}

void TestTextEdCore::pdfEnding()
{
    QFETCH(QString, typed);
    QTEST(withPdfEnding(typed), "written");
}

// A document is kept again and again as it changes: its one copy is rewritten, and the index
// follows a new name or filter.
void TestTextEdCore::recoveryKeepsAndGivesBack()
{
    RecoveryStore store;
    QCOMPARE(store.folder(), m_env->dataPath(QStringLiteral("TextEd Recovery")));
    QVERIFY(store.copies().isEmpty());
    RecoveryStore::Copy first;
    RecoveryStore::Copy second;
    QVERIFY(store.keep(first, "{\\rtf1 first}"));
    QVERIFY(store.keep(second, "{\\rtf1 second}"));
    const QString secondName = second.fileName;
    const FileStamp stamp { true, 5, QDateTime::fromMSecsSinceEpoch(1700000000123) };
    second = { second.fileName, QStringLiteral("/home/u/notes.txt"), TextFilter, stamp };
    QVERIFY(store.keep(second, "{\\rtf1 second, longer}"));
    QCOMPARE(second.fileName, secondName);

    RecoveryStore later; // the next run
    const QList<RecoveryStore::Copy> copies = later.copies();
    QCOMPARE(copies.size(), 2);
    QCOMPARE(copies[0].fileName, first.fileName);
    QCOMPARE(copies[0].path, QString());
    QCOMPARE(later.read(copies[0]), QByteArray("{\\rtf1 first}"));
    QCOMPARE(copies[1].path, QStringLiteral("/home/u/notes.txt"));
    QCOMPARE(copies[1].filterIndex, int(TextFilter));
    QCOMPARE(copies[1].stamp, stamp);
    QVERIFY(!copies[0].stamp.known);
    QCOMPARE(later.read(copies[1]), QByteArray("{\\rtf1 second, longer}"));

    QVERIFY(later.remove(copies[0]));
    QCOMPARE(later.copies().size(), 1);
    RecoveryStore::Copy third;
    QVERIFY(later.keep(third, "{\\rtf1 third}")); // a new name, not the one just freed
    QVERIFY(third.fileName != first.fileName && third.fileName != second.fileName);
    for (const RecoveryStore::Copy &copy : later.copies())
        QVERIFY(later.remove(copy));
    QVERIFY(!QDir(store.folder()).exists()); // nothing left behind
}

void TestTextEdCore::recoveryNamesTheNextCopy_data()
{
    columns<QStringList, QString>("present", "next");
    row("none", QStringList(), "1.rtf");
    row("after the highest", QStringList { "3.rtf", "10.rtf" }, "11.rtf");
    row("past the largest int", QStringList { "2147483647.rtf" }, "2147483648.rtf");
    row("at the largest number: the lowest free one", QStringList { "1.rtf", "999999999999999999.rtf" }, "2.rtf");
}

void TestTextEdCore::recoveryNamesTheNextCopy()
{
    QFETCH(QStringList, present);
    for (const QString &name : present)
        m_env->writeBytes(QStringLiteral("TextEd Recovery/") + name, "{\\rtf1 kept}");
    RecoveryStore store;
    RecoveryStore::Copy copy;
    QVERIFY(store.keep(copy, "{\\rtf1 new}"));
    QTEST(copy.fileName, "next");
    QCOMPARE(store.copies().size(), present.size() + 1);
}

void TestTextEdCore::recoveryListsCopiesTheIndexDoesNotKnow()
{
    RecoveryStore store;
    RecoveryStore::Copy b { QString(), QStringLiteral("/a/b.rtf"), RtfFilter, {} };
    RecoveryStore::Copy c;
    QVERIFY(store.keep(b, "{\\rtf1 b}"));
    QVERIFY(store.keep(c, "{\\rtf1 c}"));
    m_env->writeBytes(QStringLiteral("TextEd Recovery/index.json"), "[{\"file\": \"../../outside.rtf\"}, damaged");
    const QList<RecoveryStore::Copy> copies = store.copies();
    QCOMPARE(copies.size(), 2);
    QCOMPARE(store.read(copies[0]), QByteArray("{\\rtf1 b}"));
    QCOMPARE(store.read(copies[1]), QByteArray("{\\rtf1 c}"));
}

void TestTextEdCore::recoveryCannotWriteOrRead()
{
    m_env->writeBytes(QStringLiteral("TextEd Recovery"), "a file where the folder should be");
    RecoveryStore store;
    QString error;
    RecoveryStore::Copy copy;
    QVERIFY(!store.keep(copy, "{\\rtf1 x}", &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(copy.fileName.isEmpty());

    // A copy that is a named pipe is refused at once, not waited on.
    QVERIFY(QFile::remove(m_env->dataPath(QStringLiteral("TextEd Recovery"))));
    QVERIFY(QDir(m_env->dataPath()).mkdir(QStringLiteral("TextEd Recovery")));
    QVERIFY(::mkfifo(QFile::encodeName(store.filePath({ QStringLiteral("1.rtf"), QString(), 0, {} })).constData(), 0600)
        == 0);
    QVERIFY(!store.read({ QStringLiteral("1.rtf"), QString(), 0, {} }, &error));
}

void TestTextEdCore::tiling_data()
{
    columns<bool, int, QList<QRect>>("aboveEachOther", "count", "rects");
    const QRect area(0, 0, 300, 200);
    row("one above", true, 1, QList<QRect> { area });
    row("two side by side", false, 2, QList<QRect> { QRect(0, 0, 150, 200), QRect(150, 0, 150, 200) });
    row("seven side by side: the spare pixels go to the first", false, 7,
        QList<QRect> { QRect(0, 0, 43, 200), QRect(43, 0, 43, 200), QRect(86, 0, 43, 200), QRect(129, 0, 43, 200),
            QRect(172, 0, 43, 200), QRect(215, 0, 43, 200), QRect(258, 0, 42, 200) });
    row("none", true, 0, QList<QRect>());
}

void TestTextEdCore::tiling()
{
    auto [aboveEachOther, count] = fetch<bool, int>("aboveEachOther", "count");
    const QRect area(0, 0, 300, 200);
    QTEST(aboveEachOther ? WindowTiling::aboveEachOther(area, count) : WindowTiling::sideBySide(area, count), "rects");
}

QTEST_GUILESS_MAIN(TestTextEdCore)
#include "tst_textedcore.moc"
