#include "../support/coretestenvironment.h"

#include "common/datafolder.h"
#include "quicknotes/todolists.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>

// The to-do titles and their files, todo.dat, the default template and the draft.
class TestQuickNotesCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<CoreTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void titlesAndFiles_data();
    void titlesAndFiles();
    void titleOutOfRangeNamesNoFile_data();
    void titleOutOfRangeNamesNoFile();
    void missingFileIsCreatedEmpty_data();
    void missingFileIsCreatedEmpty();
    void saveLoadCycleSettlesOnCrLf();
    void lineBreaksOfThePad_data();
    void lineBreaksOfThePad();
    void unreadableFileIsNeverWrittenOver();
    void failedWriteKeepsTheOldFile();
    void defaultTemplate_data();
    void defaultTemplate();
    void defaultTemplateFromTheClockInTheSystemsLanguage();
    void draftRoundTrip_data();
    void draftRoundTrip();
    void noDraftLeavesNoFile();
    void draftOfAnUnknownTitleBelongsToTheFirst();
    void unreadableDraftIsReportedAndKept();

private:
    std::unique_ptr<CoreTestEnvironment> m_env;
};

void TestQuickNotesCore::titlesAndFiles_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("title");

    const char *const titles[] = { "Things To Do Today", "Make a Note of this", "Things to Remember",
        "Phone Calls to Make", "Things To Do Tomorrow", "Things To Do This Week", "Things To Do This Month",
        "My Christmas List", "My Guest List", "My Shopping List" };
    for (int i = 0; i < 10; ++i)
        QTest::addRow("%d", i) << i << QString::fromLatin1(titles[i]);
}

void TestQuickNotesCore::titlesAndFiles()
{
    QFETCH(int, position);
    QFETCH(QString, title);
    QCOMPARE(ToDoLists::title(position), title);
    QCOMPARE(ToDoLists::titleText(position), title);
    QCOMPARE(ToDoLists::position(title), position);
    // Directly in the data folder, no subfolder.
    QCOMPARE(ToDoLists::itemFilePath(position), m_env->dataPath(title + QStringLiteral(".txt")));
    QCOMPARE(ToDoLists::templateFilePath(), m_env->dataPath(QStringLiteral("todo.dat")));
}

void TestQuickNotesCore::titleOutOfRangeNamesNoFile_data()
{
    QTest::addColumn<int>("position");
    QTest::newRow("before the first") << -1;
    QTest::newRow("after the last") << 10;
}

void TestQuickNotesCore::titleOutOfRangeNamesNoFile()
{
    QFETCH(int, position);
    QVERIFY(ToDoLists::title(position).isEmpty());
    QVERIFY(ToDoLists::itemFilePath(position).isEmpty());
    QCOMPARE(ToDoLists::position(QStringLiteral("../reminders")), -1);
    QCOMPARE(ToDoLists::position(QString()), -1);
}

void TestQuickNotesCore::missingFileIsCreatedEmpty_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("first opening") << QStringLiteral("Things To Do Today.txt");
    QTest::newRow("a list never saved") << QStringLiteral("My Guest List.txt");
    QTest::newRow("the user's template") << QStringLiteral("todo.dat");
}

void TestQuickNotesCore::missingFileIsCreatedEmpty()
{
    QFETCH(QString, name);
    const QString path = m_env->dataPath(name);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(ToDoLists::load(path), QString());
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), 0);
}

void TestQuickNotesCore::saveLoadCycleSettlesOnCrLf()
{
    const QString path = ToDoLists::itemFilePath(9);
    QVERIFY(ToDoLists::save(path, QStringLiteral("abc")));
    QCOMPARE(m_env->readBytes(QStringLiteral("My Shopping List.txt")), QByteArray("abc"));

    std::optional<QString> loaded = ToDoLists::load(path);
    QCOMPARE(loaded, QStringLiteral("abc\r\n"));
    QVERIFY(ToDoLists::save(path, *loaded));
    QCOMPARE(m_env->readBytes(QStringLiteral("My Shopping List.txt")), QByteArray("abc\r\n"));

    for (int cycle = 0; cycle < 3; ++cycle) {
        loaded = ToDoLists::load(path);
        QVERIFY(ToDoLists::save(path, *loaded));
        QCOMPARE(m_env->readBytes(QStringLiteral("My Shopping List.txt")), QByteArray("abc\r\n"));
    }
}

// The pad separates lines with LF; the files keep CR LF.
void TestQuickNotesCore::lineBreaksOfThePad_data()
{
    QTest::addColumn<QString>("pad");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("loaded");

    QTest::newRow("empty") << QString() << QByteArray() << QString();
    QTest::newRow("one break") << QStringLiteral("\n") << QByteArray("\r\n") << QStringLiteral("\r\n");
    QTest::newRow("LF lines") << QStringLiteral("a\nb") << QByteArray("a\r\nb") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("CR LF kept") << QStringLiteral("a\r\nb\r\n") << QByteArray("a\r\nb\r\n")
                                << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("blank lines") << QStringLiteral("a\n\n\nb\n") << QByteArray("a\r\n\r\n\r\nb\r\n")
                                 << QStringLiteral("a\r\n\r\n\r\nb\r\n");
    QTest::newRow("accents as UTF-8") << QStringLiteral("Caf\u00e9\n") << QByteArray("Caf\xc3\xa9\r\n")
                                      << QStringLiteral("Caf\u00e9\r\n");
}

void TestQuickNotesCore::lineBreaksOfThePad()
{
    QFETCH(QString, pad);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, loaded);
    QVERIFY(ToDoLists::save(ToDoLists::templateFilePath(), pad));
    QCOMPARE(m_env->readBytes(QStringLiteral("todo.dat")), bytes);
    QCOMPARE(ToDoLists::load(ToDoLists::templateFilePath()), loaded);
}

// A folder where a list file should be cannot be read: the load says so, and no save replaces it.
void TestQuickNotesCore::unreadableFileIsNeverWrittenOver()
{
    const QString path = ToDoLists::itemFilePath(8);
    QVERIFY(QDir().mkpath(path));
    QFile inside(QDir(path).filePath(QStringLiteral("kept.txt")));
    QVERIFY(inside.open(QIODevice::WriteOnly));
    inside.write("kept");
    inside.close();

    Message failure;
    QCOMPARE(ToDoLists::load(path, &failure), std::nullopt);
    QCOMPARE(failure.icon, Message::Icon::Exclamation);
    QCOMPARE(failure.title, QStringLiteral("Quillory2: Cannot read the file"));
    QVERIFY(failure.text.startsWith(QStringLiteral("THE FILE COULD NOT BE READ\r\n")));
    QVERIFY(failure.text.contains(QDir::toNativeSeparators(path)));

    QString reason;
    QVERIFY(!ToDoLists::save(path, QStringLiteral("new"), &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(QFile::exists(inside.fileName()));
}

void TestQuickNotesCore::failedWriteKeepsTheOldFile()
{
    QVERIFY(ToDoLists::save(ToDoLists::itemFilePath(0), QStringLiteral("old")));
    const QString folder = m_env->dataPath();
    DataFolder::setPath(folder + QStringLiteral("/Things To Do Today.txt/inside"));
    QString reason;
    QVERIFY(!ToDoLists::save(ToDoLists::itemFilePath(0), QStringLiteral("new"), &reason));
    QVERIFY(!reason.isEmpty());
    DataFolder::setPath(folder);
    QCOMPARE(m_env->readBytes(QStringLiteral("Things To Do Today.txt")), QByteArray("old"));
}

void TestQuickNotesCore::defaultTemplate_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("firstLine");

    QTest::newRow("C") << QLocale::c() << QDate(2023, 10, 5) << QStringLiteral("ToDo: Thursday 5 Oct");
    QTest::newRow("C, two-digit day") << QLocale::c() << QDate(2024, 2, 29) << QStringLiteral("ToDo: Thursday 29 Feb");
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << QDate(2023, 10, 5)
                            << QStringLiteral("ToDo: Donnerstag 5 Okt.");
    QTest::newRow("German, March") << QLocale(QLocale::German, QLocale::Germany) << QDate(2024, 3, 3)
                                   << QStringLiteral("ToDo: Sonntag 3 M\u00e4rz");
}

void TestQuickNotesCore::defaultTemplate()
{
    QFETCH(QLocale, locale);
    QFETCH(QDate, date);
    QFETCH(QString, firstLine);

    const QString text = ToDoLists::defaultTemplate(date, locale);
    QVERIFY(!text.endsWith(QLatin1Char('\n')));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const QStringList expected = { firstLine, QString(), QStringLiteral("(1) "), QStringLiteral("(2) "),
        QStringLiteral("(3) "), QStringLiteral("(4) "), QStringLiteral("(5) "), QStringLiteral("(6) "),
        QStringLiteral("(7) "), QStringLiteral("(8) "), QStringLiteral("(9) "), QStringLiteral("__________________"),
        QStringLiteral("Click <Save> button") };
    QCOMPARE(lines, expected);
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
}

void TestQuickNotesCore::defaultTemplateFromTheClockInTheSystemsLanguage()
{
    m_env->setNow(QDateTime(QDate(2023, 10, 5), QTime(23, 59, 59)));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString german = ToDoLists::defaultTemplate();
    QLocale::setDefault(QLocale::c());
    const QString c = ToDoLists::defaultTemplate();
    QVERIFY(german.startsWith(QStringLiteral("ToDo: Donnerstag 5 Okt.\r\n\r\n(1) ")));
    QVERIFY(c.startsWith(QStringLiteral("ToDo: Thursday 5 Oct\r\n\r\n(1) ")));
}

void TestQuickNotesCore::draftRoundTrip_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("pad");
    QTest::addColumn<QString>("kept"); // as the pad shows it back (CR LF breaks)

    QTest::newRow("empty pad") << 0 << QString() << QString();
    QTest::newRow("no final break") << 9 << QStringLiteral("milk\neggs") << QStringLiteral("milk\r\neggs");
    QTest::newRow("final break") << 3 << QStringLiteral("call Ann\n") << QStringLiteral("call Ann\r\n");
    QTest::newRow("blank lines only") << 5 << QStringLiteral("\n\n") << QStringLiteral("\r\n\r\n");
    QTest::newRow("first line like a title")
        << 1 << QStringLiteral("My Guest List\nx") << QStringLiteral("My Guest List\r\nx");
}

void TestQuickNotesCore::draftRoundTrip()
{
    QFETCH(int, position);
    QFETCH(QString, pad);
    QFETCH(QString, kept);

    QVERIFY(ToDoLists::saveDraft({ position, pad }));
    const std::optional<ToDoLists::Draft> draft = ToDoLists::loadDraft();
    QVERIFY(draft);
    QCOMPARE(draft->position, position);
    QCOMPARE(draft->text, kept);
    QVERIFY(ToDoLists::removeDraft());
    QCOMPARE(ToDoLists::loadDraft(), std::nullopt);
}

void TestQuickNotesCore::noDraftLeavesNoFile()
{
    Message failure;
    QCOMPARE(ToDoLists::loadDraft(&failure), std::nullopt);
    QVERIFY(failure.text.isEmpty());
    QVERIFY(!QFile::exists(ToDoLists::draftFilePath()));
    QVERIFY(ToDoLists::removeDraft());
    QCOMPARE(QFileInfo(ToDoLists::draftFilePath()).absolutePath(), m_env->dataPath());
}

void TestQuickNotesCore::draftOfAnUnknownTitleBelongsToTheFirst()
{
    m_env->writeBytes(QFileInfo(ToDoLists::draftFilePath()).fileName(), "../../etc/passwd\r\nnote\r\n");
    const std::optional<ToDoLists::Draft> draft = ToDoLists::loadDraft();
    QVERIFY(draft);
    QCOMPARE(draft->position, 0);
    QCOMPARE(draft->text, QStringLiteral("note"));
}

void TestQuickNotesCore::unreadableDraftIsReportedAndKept()
{
    QVERIFY(QDir().mkpath(ToDoLists::draftFilePath()));
    Message failure;
    QCOMPARE(ToDoLists::loadDraft(&failure), std::nullopt);
    QCOMPARE(failure.title, QStringLiteral("Quillory2: Cannot read the file"));
    QVERIFY(QFileInfo(ToDoLists::draftFilePath()).isDir());
}

QTEST_GUILESS_MAIN(TestQuickNotesCore)
#include "tst_quicknotescore.moc"
