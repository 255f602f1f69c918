#include "../support/coretestenvironment.h"
#include "../support/tablerow.h"

#include "quicknotes/todolists.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>
#include <sys/stat.h>

// The to-do files, todo.dat, the default template and the draft.
class TestQuickNotesCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<CoreTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void lineBreaksOfThePad_data();
    void lineBreaksOfThePad();
    void unreadableFileIsNeverWrittenOver_data();
    void unreadableFileIsNeverWrittenOver();
    void tooLargeListIsNotRead();
    void holdsOtherText_data();
    void holdsOtherText();
    void defaultTemplate_data();
    void defaultTemplate();
    void draftRoundTrip_data();
    void draftRoundTrip();
    void damagedDrafts();

private:
    std::unique_ptr<CoreTestEnvironment> m_env;
};

// The pad separates lines with LF; the files keep CR LF, and what is loaded saves back unchanged.
void TestQuickNotesCore::lineBreaksOfThePad_data()
{
    columns<QString, QByteArray, QString>("pad", "bytes", "loaded");

    row("empty", QString(), QByteArray(), QString());
    row("LF lines", QStringLiteral("a\nb"), QByteArray("a\r\nb"), QStringLiteral("a\r\nb\r\n"));
    row("CR LF kept", QStringLiteral("a\r\nb\r\n"), QByteArray("a\r\nb\r\n"), QStringLiteral("a\r\nb\r\n"));
    row("blank lines, accents", QStringLiteral("\n\nCaf\u00e9\n"), QByteArray("\r\n\r\nCaf\xc3\xa9\r\n"),
        QStringLiteral("\r\n\r\nCaf\u00e9\r\n"));
}

void TestQuickNotesCore::lineBreaksOfThePad()
{
    QFETCH(QString, pad);
    QVERIFY(ToDoLists::save(ToDoLists::templateFilePath(), pad));
    QTEST(m_env->readBytes(QStringLiteral("todo.dat")), "bytes");
    QFETCH(QString, loaded);
    QCOMPARE(ToDoLists::load(ToDoLists::templateFilePath()), loaded);
}

// Files the writer could replace, but that cannot be read: the load says so, and no save replaces them.
void TestQuickNotesCore::unreadableFileIsNeverWrittenOver_data()
{
    QTest::addColumn<bool>("pipe"); // or a file without read permission
    row("no read permission", false);
    row("a named pipe", true);
}

void TestQuickNotesCore::unreadableFileIsNeverWrittenOver()
{
    QFETCH(bool, pipe);
    const QString path = ToDoLists::itemFilePath(8);
    // The folder lets anybody replace its files, so only the guard keeps this one.
    QVERIFY(QFile::setPermissions(m_env->dataPath(), QFileDevice::Permissions(0x7777)));
    if (pipe) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0666), 0);
    } else {
        m_env->writeBytes(QFileInfo(path).fileName(), "guests\r\n");
        QVERIFY(
            QFile::setPermissions(path, QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
    }
    const std::optional<QByteArray> said = m_env->withoutRoot([&path]() -> QByteArray {
        Message failure;
        QString reason;
        const bool loaded = ToDoLists::load(path, &failure).has_value();
        const bool saved = ToDoLists::save(path, QStringLiteral("new"), &reason);
        return QByteArray(loaded || saved || reason.isEmpty() ? "loaded or saved" : "") + failure.text.toUtf8();
    });
    QVERIFY2(said, "the test folder cannot be reached without root: put TMPDIR where every user may pass");
    QVERIFY2(said->startsWith("THE FILE COULD NOT BE READ"), said->constData());
    QVERIFY(said->contains(QDir::toNativeSeparators(path).toUtf8()));
    QCOMPARE(QFileInfo(path).isFile(), !pipe);
    if (!pipe)
        QCOMPARE(m_env->readBytes(QFileInfo(path).fileName()), QByteArray("guests\r\n"));
}

void TestQuickNotesCore::tooLargeListIsNotRead()
{
    m_env->writeBytes(QStringLiteral("todo.dat"), QByteArray(3 * 1024 * 1024, 'x'));
    Message failure;
    QCOMPARE(ToDoLists::load(ToDoLists::templateFilePath(), &failure), std::nullopt);
    QVERIFY2(failure.text.contains(QStringLiteral("It holds 3.00 MiB; QuickNotes shows lists of up to 1.00 MiB.")),
        qPrintable(failure.text));
}

// Whether a save would replace some other text; what is missing, empty or the same loses nothing.
void TestQuickNotesCore::holdsOtherText_data()
{
    QTest::addColumn<QByteArray>("saved"); // "-": no file
    columns<QString, bool>("pad", "other");
    row("no file", QByteArray("-"), QStringLiteral("a"), false);
    row("an empty file", QByteArray(), QStringLiteral("a"), false);
    row("the same text", QByteArray("a\r\nb"), QStringLiteral("a\nb"), false);
    row("other text of the same length", QByteArray("a\r\nc"), QStringLiteral("a\nb"), true);
    row("a longer list", QByteArray("call the bank\r\npay rent\r\n"), QStringLiteral("a"), true);
}

void TestQuickNotesCore::holdsOtherText()
{
    auto [saved, pad] = fetch<QByteArray, QString>("saved", "pad");
    if (saved != "-")
        m_env->writeBytes(QStringLiteral("todo.dat"), saved);
    QTEST(ToDoLists::holdsOtherText(ToDoLists::templateFilePath(), pad), "other");
}

// Today's date from the clock, in the system's language.
void TestQuickNotesCore::defaultTemplate_data()
{
    columns<QLocale, QDate, QString>("locale", "date", "firstLine");

    const QLocale german(QLocale::German, QLocale::Germany);
    row("C", QLocale::c(), QDate(2023, 10, 5), QStringLiteral("ToDo: Thursday 5 Oct"));
    row("German", german, QDate(2023, 10, 5), QStringLiteral("ToDo: Donnerstag 5 Okt."));
    row("German, March", german, QDate(2024, 3, 3), QStringLiteral("ToDo: Sonntag 3 M\u00e4rz"));
}

void TestQuickNotesCore::defaultTemplate()
{
    auto [locale, date, firstLine] = fetch<QLocale, QDate, QString>("locale", "date", "firstLine");
    m_env->setNow(QDateTime(date, QTime(23, 59, 59)));
    QLocale::setDefault(locale);

    QStringList expected = { firstLine, QString() };
    for (int item = 1; item <= 9; ++item)
        expected << QStringLiteral("(%1) ").arg(item);
    expected << QStringLiteral("__________________") << QStringLiteral("Click <Save> button");
    QCOMPARE(ToDoLists::defaultTemplate().split(QStringLiteral("\r\n")), expected); // no break after the last line
    QCOMPARE(ToDoLists::defaultTemplate().count(u'\n'), 12);
}

void TestQuickNotesCore::draftRoundTrip_data()
{
    columns<int, QString>("position", "pad");
    QTest::addColumn<QString>("kept"); // as the pad takes it back (CR LF breaks)

    row("empty pad", 0, QString(), QString());
    row("no final break", 9, QStringLiteral("milk\neggs"), QStringLiteral("milk\r\neggs"));
    row("final break", 3, QStringLiteral("call Ann\n"), QStringLiteral("call Ann\r\n"));
    row("first line like a title", 1, QStringLiteral("My Guest List\n\n"), QStringLiteral("My Guest List\r\n\r\n"));
}

void TestQuickNotesCore::draftRoundTrip()
{
    auto [position, pad, kept] = fetch<int, QString, QString>("position", "pad", "kept");

    QCOMPARE(ToDoLists::loadDraft(), std::nullopt);
    QVERIFY(!QFile::exists(ToDoLists::draftFilePath())); // looking for one creates none
    QVERIFY(ToDoLists::saveDraft({ position, pad }));
    QCOMPARE(ToDoLists::loadDraft(), (ToDoLists::Draft { position, kept }));
    QVERIFY(ToDoLists::removeDraft());
    QCOMPARE(ToDoLists::loadDraft(), std::nullopt);
}

void TestQuickNotesCore::damagedDrafts()
{
    const QString name = QFileInfo(ToDoLists::draftFilePath()).fileName();
    m_env->writeBytes(name, "../../etc/passwd\r\nnote\r\n");
    QCOMPARE(ToDoLists::loadDraft(), (ToDoLists::Draft { 0, QStringLiteral("note") })); // unknown title: the first

    // One that cannot be read is told and left where it is.
    QVERIFY(QFile::remove(ToDoLists::draftFilePath()));
    QVERIFY(QDir().mkpath(ToDoLists::draftFilePath()));
    Message failure;
    QCOMPARE(ToDoLists::loadDraft(&failure), std::nullopt);
    QCOMPARE(failure.title, QStringLiteral("Quillory2: Cannot read the file"));
    QVERIFY(QFileInfo(ToDoLists::draftFilePath()).isDir());
}

QTEST_GUILESS_MAIN(TestQuickNotesCore)
#include "tst_quicknotescore.moc"
