#include "../support/coretestenvironment.h"
#include "../support/tablerow.h"

#include "common/autostart.h"
#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

// The login entry: its text, how its state is read, and how it is written and removed.
class TestAutostart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_env = std::make_unique<CoreTestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    void execArgumentQuotesThePath_data();
    void execArgumentQuotesThePath();
    void stateIsTheEntry_data();
    void stateIsTheEntry();
    void turnOnAndOff();
    void onKeepsAnEntryEditedByHand();
    void onRewritesASwitchedOffEntry();
    void failedWriteIsReported_data();
    void failedWriteIsReported();
    void failedRemoveIsReported();

private:
    static void writeEntry(const QByteArray &bytes);
    static QByteArray readEntry();

    std::unique_ptr<CoreTestEnvironment> m_env;
};

namespace {
const QString Program = QStringLiteral("/usr/bin/quillory2");
}

void TestAutostart::writeEntry(const QByteArray &bytes)
{
    QDir().mkpath(Autostart::folder());
    QFile file(Autostart::entryPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray TestAutostart::readEntry()
{
    QFile file(Autostart::entryPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestAutostart::execArgumentQuotesThePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("exec"); // as it stands in the file

    row("plain", "/usr/bin/quillory2", "/usr/bin/quillory2");
    row("space", "/home/ann/My Apps/quillory2", "\"/home/ann/My Apps/quillory2\"");
    row("double quote", "/opt/a\"b/quillory2", "\"/opt/a\\\\\"b/quillory2\"");
    row("dollar", "/opt/$HOME/quillory2", "\"/opt/\\\\$HOME/quillory2\"");
    row("backslash", "/opt/a\\b/quillory2", "\"/opt/a\\\\\\\\b/quillory2\"");
    row("percent is doubled, not quoted", "/opt/100%/quillory2", "/opt/100%%/quillory2");
    row("line break", "/opt/a\nb/quillory2", "\"/opt/a\\nb/quillory2\"");
}

void TestAutostart::execArgumentQuotesThePath()
{
    auto [path, exec] = fetch<QString, QString>("path", "exec");

    QCOMPARE(Autostart::execArgument(path), exec);
    // The entry stays one line per key whatever the path holds, and the desktop's validator takes it.
    const QString entry = Autostart::entryText(path);
    const QStringList lines = entry.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lines.contains(QStringLiteral("Exec=") + exec));
    QCOMPARE(lines.filter(QStringLiteral("Exec=")).size(), 2); // Exec and TryExec
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    QVERIFY2(!validator.isEmpty(), "desktop-file-validate is not installed: run scripts/install-deps");
    QVERIFY(WriteTextFile(m_env->dataPath(QStringLiteral("entry.desktop")), entry));
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(validator, { m_env->dataPath(QStringLiteral("entry.desktop")) });
    QVERIFY(validate.waitForFinished());
    QVERIFY2(validate.exitCode() == 0 && validate.readAll().isEmpty(), qPrintable(path));
}

void TestAutostart::stateIsTheEntry_data()
{
    QTest::addColumn<QByteArray>("entry"); // empty: no file
    QTest::addColumn<bool>("on");

    const QByteArray head = "[Desktop Entry]\nType=Application\nExec=quillory2\n";
    row("no entry", QByteArray(), false);
    row("entry", head, true);
    row("empty file", QByteArray(""), true);
    row("hidden by a session tool", head + "Hidden=true\n", false);
    row("switched off by a session tool", head + "X-GNOME-Autostart-enabled=false\n", false);
    row("hidden in another group", head + "[Desktop Action x]\nHidden=true\n", true);
    row("CR LF line ends", QByteArray(head + "Hidden=true\n").replace("\n", "\r\n"), false);
}

void TestAutostart::stateIsTheEntry()
{
    QFETCH(QByteArray, entry);
    if (!entry.isNull())
        writeEntry(entry);

    QTEST(Autostart::isOn(), "on");
}

void TestAutostart::turnOnAndOff()
{
    QVERIFY(!QFileInfo::exists(Autostart::folder())); // the folder is made when needed

    QCOMPARE(Autostart::setOn(true, Program), std::nullopt);
    QVERIFY(Autostart::isOn());
    QCOMPARE(QString::fromUtf8(readEntry()), Autostart::entryText(Program));

    QCOMPARE(Autostart::setOn(false, Program), std::nullopt);
    QVERIFY(!Autostart::isOn());
    QVERIFY(!QFileInfo::exists(Autostart::entryPath()));
    QVERIFY(QFileInfo(Autostart::folder()).isDir()); // the folder holds other programs' entries
    QCOMPARE(Autostart::setOn(false, Program), std::nullopt); // nothing to remove is no failure
}

void TestAutostart::onKeepsAnEntryEditedByHand()
{
    const QByteArray edited = Autostart::entryText(Program).toUtf8() + "X-GNOME-Autostart-Delay=30\n";
    writeEntry(edited);

    QCOMPARE(Autostart::setOn(true, QStringLiteral("/elsewhere/quillory2")), std::nullopt);

    QCOMPARE(readEntry(), edited);
}

void TestAutostart::onRewritesASwitchedOffEntry()
{
    writeEntry("[Desktop Entry]\nType=Application\nExec=/old/quillory2\nHidden=true\n");

    QCOMPARE(Autostart::setOn(true, Program), std::nullopt);

    QVERIFY(Autostart::isOn());
    QCOMPARE(QString::fromUtf8(readEntry()), Autostart::entryText(Program));
}

void TestAutostart::failedWriteIsReported_data()
{
    QTest::addColumn<QString>("blocked"); // made a directory or a file so that nothing can be written

    // Root ignores permissions: a file where the folder should be, or a folder where the entry should be,
    // stand in for a folder that cannot be written.
    row("the autostart folder is a file", "folder");
    row("the entry is a folder", "entry");
}

void TestAutostart::failedWriteIsReported()
{
    QFETCH(QString, blocked);
    if (blocked == QLatin1String("folder")) {
        QDir().mkpath(QFileInfo(Autostart::folder()).absolutePath());
        QVERIFY(WriteTextFile(Autostart::folder(), QStringLiteral("not a folder")));
    } else {
        QVERIFY(QDir().mkpath(Autostart::entryPath() + QStringLiteral("/inside")));
    }

    const std::optional<Message> failure = Autostart::setOn(true, Program);

    QVERIFY(failure.has_value());
    QCOMPARE(failure->title, QStringLiteral("Quillory2: Cannot start with the desktop"));
    QVERIFY(failure->text.contains(QDir::toNativeSeparators(Autostart::entryPath())));
    QVERIFY(!Autostart::isOn());
}

void TestAutostart::failedRemoveIsReported()
{
    QCOMPARE(Autostart::setOn(true, Program), std::nullopt);
    const QString folder = Autostart::folder();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const std::optional<QByteArray> said = m_env->withoutRoot([] {
        const std::optional<Message> failure = Autostart::setOn(false, Program);
        return failure ? (failure->title + u'\n' + failure->text).toUtf8() : QByteArray();
    });
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(said, "the test folder cannot be reached without root: put TMPDIR where every user may pass");
    QVERIFY2(said->startsWith("Quillory2: Still starts with the desktop\nTHE LOGIN ENTRY COULD NOT BE REMOVED\r\n\r\n"),
        said->constData());
    QVERIFY(Autostart::isOn());
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
