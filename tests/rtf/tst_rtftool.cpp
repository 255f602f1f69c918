// qy2-rtf from the command line: its three commands, plain-text input and its exit statuses.
#include "../support/tablerow.h"
#include "rtftestsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace RtfTest;

namespace {

struct Result
{
    int status = -1;
    QByteArray out, err;
};

Result runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(QY2_RTF_TOOL), arguments);
    process.waitForFinished(60000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
        process.readAllStandardError() };
}

QString dataPath(const QString &name)
{
    return QStringLiteral(RTF_TEST_DATA "/") + name;
}

} // namespace

class TstRtfTool final : public QObject
{
    Q_OBJECT

private slots:
    // The reader's own test holds every sample; one proves the command prints what it reads.
    void toText()
    {
        const Result result = runTool({ QStringLiteral("to-text"), dataPath(QStringLiteral("word.rtf")) });
        QCOMPARE(result.status, 0);
        QCOMPARE(QString::fromUtf8(result.out), QString::fromUtf8(dataFile(QStringLiteral("word.txt"))));
    }

    // The reader's test holds the formatting; one run of each kind proves the dump shows it.
    void dump()
    {
        const Result result = runTool({ QStringLiteral("dump"), dataPath(QStringLiteral("libreoffice.rtf")) });
        QCOMPARE(result.status, 0);
        const QJsonArray paragraphs = QJsonDocument::fromJson(result.out)["paragraphs"].toArray();
        const auto compact
            = [](const QJsonValue &value) { return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact); };
        QCOMPARE(compact(paragraphs[0]["runs"][1]),
            QByteArray(R"({"bold":true,"color":null,"font":"DejaVu Serif",)"
                       R"("italic":false,"size":12,"text":"bold","underline":false})"));
        QCOMPARE(compact(paragraphs[1]),
            QByteArray(R"({"align":"center","runs":[{"bold":false,"color":"#ff0000",)"
                       R"("font":"Liberation Mono","italic":false,"size":16,)"
                       R"("text":"Centred red mono 16","underline":false}]})"));
        QCOMPARE(paragraphs[2]["align"].toString(), QStringLiteral("right"));
    }

    void convert()
    {
        QTemporaryDir folder;
        const QString out = folder.filePath(QStringLiteral("out.rtf"));
        const Result result = runTool({ QStringLiteral("convert"), dataPath(QStringLiteral("word.rtf")), out });
        QCOMPARE(result.status, 0);
        QVERIFY2(result.err.contains("left out 1 pictures or objects, 2 notes, 2 headers or footers"), result.err);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(describe(*read(file.readAll())), describe(*read(dataFile(QStringLiteral("word.rtf")))));
    }

    // Plain text in UTF-8 or Windows-1252 becomes paragraphs in the editor's font.
    void convertPlainText()
    {
        QTemporaryDir folder;
        const QString in = folder.filePath(QStringLiteral("in.txt"));
        QFile input(in);
        QVERIFY(input.open(QIODevice::WriteOnly));
        input.write("first line\r\ncaf\xc3\xa9 {x}\r\nold caf\xe9\n");
        input.close();
        const QString out = folder.filePath(QStringLiteral("out.rtf"));
        QCOMPARE(runTool({ QStringLiteral("convert"), in, out }).status, 0);
        QFile output(out);
        QVERIFY(output.open(QIODevice::ReadOnly));
        const auto document = read(output.readAll());
        QCOMPARE(paragraphs(*document), QStringList({ "first line", "café {x}", "old café" }));
        QCOMPARE(document->defaultFont().family(), QStringLiteral("Courier New"));
        QCOMPARE(runTool({ QStringLiteral("to-text"), in }).out, QByteArray("first line\ncafé {x}\nold café\n"));
    }

    void failures_data()
    {
        columns<QStringList, int, QByteArray>("arguments", "status", "message");

        // Beneath a file nothing can be read or made, whatever the machine and the user.
        const QString underAFile = dataPath(QStringLiteral("pandoc.rtf/x.rtf"));
        row("missing file", QStringList { "to-text", underAFile }, 1, QByteArray("cannot read ") + underAFile.toUtf8());
        row("a folder", QStringList { "to-text", "/" }, 1, QByteArray("cannot read /"));
        const QString pipe = m_folder.filePath(QStringLiteral("pipe.rtf"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        row("a named pipe: refused, not waited on", QStringList { "to-text", pipe }, 1,
            QByteArray("cannot read ") + pipe.toUtf8());
        row("unwritable target", QStringList { "convert", dataPath(QStringLiteral("pandoc.rtf")), underAFile }, 1,
            QByteArray("cannot write ") + underAFile.toUtf8());
        row("no command", QStringList(), 2, QByteArray("usage:"));
        row("missing operand", QStringList { "convert", "x" }, 2, QByteArray("usage:"));
    }

    void failures()
    {
        QFETCH(QStringList, arguments);
        const Result result = runTool(arguments);
        QTEST(result.status, "status");
        QFETCH(QByteArray, message);
        QVERIFY2(result.err.contains(message), result.err);
        QVERIFY(result.out.isEmpty());
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(TstRtfTool)
#include "tst_rtftool.moc"
