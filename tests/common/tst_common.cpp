#include "../support/coretestenvironment.h"
#include "../support/tablerow.h"

#include "common/datafolder.h"
#include "common/filename.h"
#include "common/settings.h"
#include "common/syncfiles.h"
#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

// Settings store, text files, file names and the data folder.
class TestCommon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<CoreTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void settingsRoundTrip();
    void settingsStoredText_data();
    void settingsStoredText();

    void readTextFile_data();
    void readTextFile();
    void readMissingFileCreatesNothing();
    void writeTextFileIsByteExact_data();
    void writeTextFileIsByteExact();
    void writeIntoAMissingFolderFails();
    void writeCutShortKeepsTheOldFile_data();
    void writeCutShortKeepsTheOldFile();
    void writeKeepsLinkAndPermissions();
    void readRefusesWhatIsNoFile();
    void readFailingPartWayIsNoText();
    void appendToFile();
    void lineEnds_data();
    void lineEnds();
    void staleSaveFiles_data();
    void staleSaveFiles();

    void isValidFileName_data();
    void isValidFileName();

    void dataFolderRule();

    void conflictCopyNames_data();
    void conflictCopyNames();
    void conflictCopiesAreToldOnce();
    void fileReplacedByRenameIsSeen();

private:
    std::unique_ptr<CoreTestEnvironment> m_env;
};

void TestCommon::settingsRoundTrip()
{
    Settings::saveCoordinate(Key::ReminderLeft, 4762.5);
    Settings::saveCheckState(Key::CalculatorOnTop, true);
    Settings::saveInteger(Key::PopUpDelay, 9);
    Settings::SaveSetting(
        QStringLiteral("Quillory2"), QStringLiteral("Settings"), QStringLiteral("1901"), QStringLiteral("0"));

    QCOMPARE(Settings::readCoordinate(Key::ReminderLeft), std::optional<double>(4762.5));
    QCOMPARE(Settings::get(Key::ReminderLeft), QStringLiteral("4762.5"));
    QCOMPARE(Settings::readCheckState(Key::CalculatorOnTop), 1);
    QCOMPARE(Settings::readInteger(Key::PopUpDelay), qint16(9));
    QCOMPARE(Settings::readTruth(Key::ShowSplash), false);
    QCOMPARE(Settings::GetSetting(
                 QStringLiteral("Quillory2"), QStringLiteral("Settings"), QStringLiteral("1345"), QStringLiteral("6")),
        QStringLiteral("9"));
}

void TestCommon::settingsStoredText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("integer"); // read as "1345", default 6
    QTest::addColumn<bool>("truth"); // read as "1901", default 1
    QTest::addColumn<int>("checkState"); // read as "312", default 0

    row("plain", "3", 3, true, 0);
    row("one", "1", 1, true, 1);
    row("not a number", "abc", 6, true, 0);
    row("empty", "", 6, true, 0);
    row("fraction rounds", "4.6", 5, true, 0);
    row("infinity", "inf", 6, true, 0);
}

void TestCommon::settingsStoredText()
{
    auto [stored, integer] = fetch<QString, int>("stored", "integer");
    Settings::save(Key::PopUpDelay, stored);
    Settings::save(Key::ShowSplash, stored);
    Settings::save(Key::CalculatorOnTop, stored);
    QCOMPARE(Settings::readInteger(Key::PopUpDelay), qint16(integer));
    QTEST(Settings::readTruth(Key::ShowSplash), "truth");
    QTEST(Settings::readCheckState(Key::CalculatorOnTop), "checkState");
    QCOMPARE(Settings::get(Key::PopUpDelay), stored); // the text itself is kept as written
}

void TestCommon::readTextFile_data()
{
    columns<QByteArray, QString>("bytes", "text");

    row("empty", QByteArray(), QString());
    row("no final break", QByteArray("a\r\nb"), QStringLiteral("a\r\nb\r\n"));
    row("CR LF", QByteArray("a\r\nb\r\n"), QStringLiteral("a\r\nb\r\n"));
    row("lone CR", QByteArray("a\rb\r"), QStringLiteral("a\r\nb\r\n"));
    row("CR then CR LF", QByteArray("a\r\r\n"), QStringLiteral("a\r\n\r\n"));
    row("UTF-8", QByteArray("caf\xc3\xa9 \xe2\x82\xac\r\n"), QStringLiteral("café €\r\n"));
    row("Windows-1252", QByteArray("caf\xe9 \x80\x96\r\n"), QStringLiteral("café €–\r\n"));
    row("UTF-8 mark: the file's is dropped, one in the text kept",
        QByteArray("\xef\xbb\xbf"
                   "a\r\n\xef\xbb\xbf"
                   "b"),
        QStringLiteral("a\r\n\ufeffb\r\n"));
    row("UTF-8 mark alone: an empty file", QByteArray("\xef\xbb\xbf"), QString());
    row("UTF-16 LE with BOM",
        QByteArray("\xff\xfe"
                   "a\0\r\0\n\0\xe9\0\n\0",
            12),
        QStringLiteral("a\r\n\u00e9\r\n"));
    row("UTF-16 with a byte left over", QByteArray("\xfe\xff\0a\x4f", 5), QStringLiteral("a\ufffd\r\n"));
    row("NUL byte", QByteArray("a\0b", 3), QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b\r\n")));
}

void TestCommon::readTextFile()
{
    auto [bytes, text] = fetch<QByteArray, QString>("bytes", "text");
    m_env->writeBytes(QStringLiteral("t.txt"), bytes);
    QCOMPARE(ReadTextFile(m_env->dataPath(QStringLiteral("t.txt"))), std::optional(text));
}

void TestCommon::readMissingFileCreatesNothing()
{
    // Reading never writes: a missing file reads as empty and stays missing until it is created.
    const QString path = m_env->dataPath(QStringLiteral("missing.txt"));
    QCOMPARE(ReadTextFile(path), std::optional(QString()));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(CreateMissingFile(path));
    QCOMPARE(QFile(path).size(), 0);
    QCOMPARE(ReadTextFile(m_env->dataPath(QStringLiteral("no/such/folder.txt"))), std::optional(QString()));
    QVERIFY(!CreateMissingFile(m_env->dataPath(QStringLiteral("no/such/folder.txt"))));

    // An existing file, or a link whose target is gone, is left as it is.
    m_env->writeBytes(QStringLiteral("kept.txt"), "kept");
    QVERIFY(CreateMissingFile(m_env->dataPath(QStringLiteral("kept.txt"))));
    QCOMPARE(m_env->readBytes(QStringLiteral("kept.txt")), QByteArray("kept"));
    const QString link = m_env->dataPath(QStringLiteral("dangling.txt"));
    QVERIFY(QFile::link(m_env->dataPath(QStringLiteral("gone.txt")), link));
    QVERIFY(CreateMissingFile(link));
    QVERIFY(!QFileInfo::exists(m_env->dataPath(QStringLiteral("gone.txt"))));

    // A file that is there but cannot be read is not taken for an empty one.
    QVERIFY(QDir().mkpath(m_env->dataPath(QStringLiteral("folder.txt"))));
    QString error;
    QCOMPARE(ReadTextFile(m_env->dataPath(QStringLiteral("folder.txt")), &error), std::nullopt);
    QVERIFY(!error.isEmpty());
}

void TestCommon::writeTextFileIsByteExact_data()
{
    columns<QString, QByteArray>("text", "bytes");

    row("empty", QString(), QByteArray());
    row("no break added", QStringLiteral("a\r\nb"), QByteArray("a\r\nb"));
    row("UTF-8 no BOM", QStringLiteral("é"), QByteArray("\xc3\xa9"));
}

void TestCommon::writeTextFileIsByteExact()
{
    QFETCH(QString, text);
    m_env->writeBytes(QStringLiteral("t.txt"), "old contents that are longer");
    QVERIFY(WriteTextFile(m_env->dataPath(QStringLiteral("t.txt")), text));
    QTEST(m_env->readBytes(QStringLiteral("t.txt")), "bytes");
}

// A missing folder fails the write and leaves nothing behind; how a failed write keeps the old file
// and says why is the next test's.
void TestCommon::writeIntoAMissingFolderFails()
{
    QVERIFY(!WriteTextFile(m_env->dataPath(QStringLiteral("none/x.txt")), QStringLiteral("data")));
    QVERIFY(!QFile::exists(m_env->dataPath(QStringLiteral("none/x.txt"))));
}

// A save cut short part way: a disk that fills (or a quota: the child process may write 20 bytes to
// any file, and ignores the signal that would end it), or a disk error when the file is synced or
// when it replaces the old one. The old file stays whole, the failure is reported and no temporary
// file is left beside it.
void TestCommon::writeCutShortKeepsTheOldFile_data()
{
    columns<int, WriteStep, QString>("size", "failingStep", "reason");
    row("disk full after 50 bytes", 50, WriteStep::None, QStringLiteral("File too large"));
    row("disk full after 20 KB", 20 * 1024, WriteStep::None, QStringLiteral("File too large"));
    row("sync fails", 50, WriteStep::Sync, QStringLiteral("Input/output error"));
    row("replacing fails", 50, WriteStep::Rename, QStringLiteral("Input/output error"));
}

void TestCommon::writeCutShortKeepsTheOldFile()
{
    QFETCH(int, size);
    QFETCH(WriteStep, failingStep);
    const QByteArray old(76, 'o');
    m_env->writeBytes(QStringLiteral("reminders.dat"), old);
    const QString path = m_env->dataPath(QStringLiteral("reminders.dat"));
    const std::optional<QByteArray> said = CoreTestEnvironment::inChild([&path, size, failingStep] {
        if (failingStep == WriteStep::None) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit { 20, 20 };
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        failNextWriteAt(failingStep);
        QString reason;
        return WriteTextFile(path, QString(size, u'n'), &reason) ? QByteArrayLiteral("(written)") : reason.toUtf8();
    });
    QTEST(QString::fromUtf8(said.value_or("(no answer)")), "reason");
    QCOMPARE(m_env->readBytes(QStringLiteral("reminders.dat")), old);
    QCOMPARE(QDir(m_env->dataPath()).entryList(QDir::Files | QDir::Hidden), QStringList { "reminders.dat" });
}

// A link is followed (the user's file is the one it points to) and a file keeps its permissions.
void TestCommon::writeKeepsLinkAndPermissions()
{
    m_env->writeBytes(QStringLiteral("real.txt"), "old");
    QVERIFY(QFile::setPermissions(m_env->dataPath(QStringLiteral("real.txt")), QFile::ReadOwner | QFile::WriteOwner));
    const QFile::Permissions permissions = QFile::permissions(m_env->dataPath(QStringLiteral("real.txt")));
    QVERIFY(QFile::link(m_env->dataPath(QStringLiteral("real.txt")), m_env->dataPath(QStringLiteral("link.txt"))));
    QVERIFY(WriteTextFile(m_env->dataPath(QStringLiteral("link.txt")), QStringLiteral("new")));
    QVERIFY(QFileInfo(m_env->dataPath(QStringLiteral("link.txt"))).isSymLink());
    QCOMPARE(m_env->readBytes(QStringLiteral("real.txt")), QByteArray("new"));
    QCOMPARE(QFile::permissions(m_env->dataPath(QStringLiteral("real.txt"))), permissions);
}

// A named pipe would block the read until some program wrote to it.
void TestCommon::readRefusesWhatIsNoFile()
{
    const QString pipe = m_env->dataPath(QStringLiteral("pipe.txt"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QString error;
    QCOMPARE(ReadTextFile(pipe, &error), std::nullopt);
    QVERIFY(!error.isEmpty());
}

// A device that gives part of its data, then fails as a disk with a read error does.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 goodBytes)
        : m_left(goodBytes)
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_left == 0) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 n = qMin(maxSize, m_left);
        std::fill_n(data, n, 'x');
        m_left -= n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_left;
};

void TestCommon::readFailingPartWayIsNoText()
{
    FailingDevice device(145 * 80);
    QString error;
    QCOMPARE(readDevice(device, &error), std::nullopt);
    QCOMPARE(error, QStringLiteral("Input/output error"));
}

void TestCommon::appendToFile()
{
    const QString path = m_env->dataPath(QStringLiteral("side.skipped"));
    QVERIFY(AppendToFile(path, "one\r\n"));
    QVERIFY(AppendToFile(path, "two\r\n"));
    QCOMPARE(m_env->readBytes(QStringLiteral("side.skipped")), QByteArray("one\r\ntwo\r\n"));
    QString reason;
    QVERIFY(!AppendToFile(m_env->dataPath(), "x", &reason)); // a folder
    QVERIFY(!reason.isEmpty());
}

void TestCommon::lineEnds_data()
{
    columns<QString, QString, QString>("text", "oneLine", "crLf");

    row("empty", "", "", "");
    row("CR LF", "a\r\nb", "a b", "a\r\nb");
    row("LF", "a\nb\nc", "a b c", "a\r\nb\r\nc");
    row("CR", "a\rb", "a b", "a\r\nb");
    row("Unicode separators", QStringLiteral("a\u2028b\u2029c"), "a b c", "a\r\nb\r\nc");
    row("CR then CR LF", "a\r\r\nb", "a  b", "a\r\n\r\nb");
    row("trailing break", "a\r\n", "a ", "a\r\n");
}

void TestCommon::lineEnds()
{
    QFETCH(QString, text);
    QTEST(OneLine(text), "oneLine");
    QTEST(withLineEnds(text, u"\r\n"), "crLf");
}

void TestCommon::staleSaveFiles_data()
{
    columns<QString, bool>("name", "removed");
    row("save file", QStringLiteral(".qy2-save~a1B2c3"), true);
    row("save file of a clip", QStringLiteral("ClipData/My Clips/.qy2-save~a1B2c3"), true);
    row("clip named like an old save file", QStringLiteral("ClipData/My Clips/notes.abcdef"), false);
    row("hidden user file", QStringLiteral("ClipData/My Clips/.notes"), false);
    row("too deep", QStringLiteral("a/b/c/.qy2-save~a1B2c3"), false);
    row("reminders save of an older version", QStringLiteral("reminders.dat.a1B2c3"), true);
    row("note save", QStringLiteral("To Do 1.txt.XyZ789"), true);
    row("the file itself", QStringLiteral("reminders.dat"), false);
    row("side file", QStringLiteral("reminders.dat.skipped"), false);
    row("five characters", QStringLiteral("reminders.dat.abcde"), false);
    row("not a character of the kind", QStringLiteral("reminders.dat.ab-de1"), false);
    row("another kind of file", QStringLiteral("photo.jpg.abcdef"), false);
}

void TestCommon::staleSaveFiles()
{
    auto [name, removed] = fetch<QString, bool>("name", "removed");
    QVERIFY(QDir().mkpath(QFileInfo(m_env->dataPath(name)).absolutePath()));
    m_env->writeBytes(name, "left behind");
    QCOMPARE(removeStaleSaveFiles(m_env->dataPath(), { QStringLiteral(".dat"), QStringLiteral(".txt") }, 2),
        removed ? 1 : 0);
    QCOMPARE(QFile::exists(m_env->dataPath(name)), !removed);
}

void TestCommon::isValidFileName_data()
{
    columns<QString, bool>("name", "valid");

    row("empty", QString(), false);
    row("full stop inside", QStringLiteral("notes.txt"), true);
    row("blank inside", QStringLiteral("my clips"), true);
    row("non-ASCII", QStringLiteral("Rézepte"), true);
    row("asterisk first", QStringLiteral("*abc"), false);
    for (const QChar c : QStringLiteral("\\/:*?\"<>|"))
        row(qPrintable(QStringLiteral("char %1").arg(c)), QStringLiteral("a%1b").arg(c), false);
    row("dot", QStringLiteral("."), false);
    row("dot dot", QStringLiteral(".."), false);
    row("hidden name", QStringLiteral(".clips"), true);
    row("newline", QStringLiteral("a\nb"), false);
    row("NUL", QString(QStringLiteral("a") + QChar(0)), false);
}

void TestCommon::isValidFileName()
{
    QFETCH(QString, name);
    QTEST(IsValidFileName(name), "valid");
}

void TestCommon::dataFolderRule()
{
    QTemporaryDir program;
    const QString user = m_env->dataPath(QStringLiteral("user"));
    QCOMPARE(DataFolder::choose(program.path(), user), user); // no data beside the program

    for (const char *name : { "reminders.dat", "todo.dat" }) {
        QTemporaryDir portable;
        QFile(QDir(portable.path()).filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
        QCOMPARE(DataFolder::choose(portable.path(), user), QDir(portable.path()).absolutePath());
    }
    for (const char *folder : { "PlanData", "ClipData" }) {
        QTemporaryDir portable;
        QDir(portable.path()).mkdir(QLatin1String(folder));
        QCOMPARE(DataFolder::choose(portable.path(), user), QDir(portable.path()).absolutePath());
    }
    QCOMPARE(DataFolder::choose(QString(), user), user);

    // Data beside a program in a folder the user cannot write to (an installed copy) is not used.
    QTemporaryDir installed;
    QDir(installed.path()).mkdir(QStringLiteral("PlanData"));
    QCOMPARE(DataFolder::choose(installed.path(), user, [](const QString &) { return false; }), user);

    DataFolder::setPath(m_env->dataPath());
    QCOMPARE(DataFolder::filePath(QStringLiteral("reminders.dat")), m_env->dataPath(QStringLiteral("reminders.dat")));
}

void TestCommon::conflictCopyNames_data()
{
    columns<QString, QString>("name", "original"); // no original: no conflict copy
    row("a sync engine's copy", "reminders.sync-conflict-20261208-101500-ABCDEFG.dat", "reminders.dat");
    row("without an ending", "20261208.sync-conflict-20261208-101500-ABCDEFG", "20261208");
    row("another engine's copy", "Work (conflicted copy 2026-12-08).txt", "Work.txt");
    row("our own copy", QFileInfo(ConflictCopyPath(QStringLiteral("/d/To Do.txt"))).fileName(), "To Do.txt");
    row("a name that only looks alike", "notes.sync-conflict.txt", "");
    row("a plain file", "reminders.dat", "");
}

void TestCommon::conflictCopyNames()
{
    QFETCH(QString, name);
    QTEST(ConflictOriginal(name), "original");
    QCOMPARE(IsConflictCopy(name), !ConflictOriginal(name).isEmpty());
}

// The reminder list merges its own copies; the others are told once, wherever the program looks.
void TestCommon::conflictCopiesAreToldOnce()
{
    for (const char *name : { "reminders.sync-conflict-20261208-101500-ABCDEFG.dat",
             "PlanData/20261208.sync-conflict-20261208-101500-ABCDEFG", "ClipData/Work/a (conflicted copy x).txt",
             "ClipData/Work/plain clip", "elsewhere/b.sync-conflict-20261208-101500-ABCDEFG.txt" })
        m_env->writeBytes(QLatin1String(name), "x");
    QCOMPARE(UntoldConflictCopies(m_env->dataPath(), true),
        (QStringList {
            "PlanData/20261208.sync-conflict-20261208-101500-ABCDEFG", "ClipData/Work/a (conflicted copy x).txt" }));
    QCOMPARE(UntoldConflictCopies(m_env->dataPath(), true), QStringList());
}

// A sync engine writes a new file and renames it over the old one; the owner's own write is no change.
void TestCommon::fileReplacedByRenameIsSeen()
{
    m_env->writeBytes(QStringLiteral("list.txt"), "mine");
    FileWatch watch;
    QSignalSpy touched(&watch, &FileWatch::touched);
    watch.watch(m_env->dataPath(QStringLiteral("list.txt")));
    QVERIFY(WriteTextFile(m_env->dataPath(QStringLiteral("list.txt")), QStringLiteral("mine again")));
    watch.settle();
    QVERIFY(touched.wait());
    QVERIFY(!watch.changedOnDisk());
    for (int round = 0; round < 2; ++round) { // the second rename comes to the new file
        m_env->writeBytes(QStringLiteral("incoming.tmp"), "theirs " + QByteArray::number(round));
        touched.clear();
        QCOMPARE(std::rename(qPrintable(m_env->dataPath(QStringLiteral("incoming.tmp"))),
                     qPrintable(m_env->dataPath(QStringLiteral("list.txt")))),
            0);
        QVERIFY(touched.wait());
        QVERIFY(watch.changedOnDisk());
        watch.settle();
    }
}

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
