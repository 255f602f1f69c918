#include "../platform/privatebus.h"

#include "../support/endonsignal.h"
#include "../support/programhome.h"
#include "../support/testenvironment.h"
#include "app/frmqy2.h"
#include "app/tooltable.h"
#include "app/windows.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// The program as a Wayland client of a real compositor (weston, started by tests/support/with-weston):
// every window opens on the screen without complaints, and the program, started as users start it,
// delivers a due reminder as a box and a notification and ends cleanly on a signal.
class TestWayland : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyWindowOpensOnTheScreenQuietly();
    void programDeliversAndEndsOnSignal();
};

namespace {

QStringList s_complaints;
QtMessageHandler s_testLog = nullptr;

void keepComplaints(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        s_complaints << message;
    s_testLog(type, context, message);
}

} // namespace

void TestWayland::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    s_testLog = qInstallMessageHandler(keepComplaints);
}

// What Wayland does not allow a client (placing its windows, keeping one on top, the pointer's
// place) is done without a word, and every window stays within the screen.
void TestWayland::everyWindowOpensOnTheScreenQuietly()
{
    TestEnvironment environment;
    frmQY2 main;
    registerWindows(main);
    main.Form_Load();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (WindowKey key : unloadOrder()) {
        if (!windowEntry(key).create)
            continue;
        QWidget *window = main.opener().show(key);
        QVERIFY2(window && QTest::qWaitForWindowExposed(window), qPrintable(windowName(key)));
        QVERIFY2(screen.contains(window->geometry().center()), qPrintable(windowName(key)));
        if (auto *onTop = window->findChild<QCheckBox *>(QStringLiteral("chkOnTop"))) {
            onTop->click();
            QTRY_VERIFY2(window->isVisible(), qPrintable(windowName(key)));
        }
    }
    main.unload();
    QVERIFY2(s_complaints.isEmpty(), qPrintable(s_complaints.join(u'\n')));
}

void TestWayland::programDeliversAndEndsOnSignal()
{
    PrivateBus bus;
    QVERIFY2(bus.error().isEmpty(), qPrintable(bus.error()));
    DunstServer dunst(bus);
    QVERIFY2(dunst.error().isEmpty(), qPrintable(dunst.error()));
    QTemporaryDir home;
    const QString data = home.filePath(QStringLiteral(".local/share/Quillory2"));
    QVERIFY(QDir().mkpath(data));
    const QByteArray due
        = QDateTime::currentDateTime().addSecs(-60).toString(u"yyyyMMddHHmm").toLatin1() + "000Tea\r\n";
    QFile reminders(data + QStringLiteral("/reminders.dat"));
    QVERIFY(reminders.open(QIODevice::WriteOnly) && reminders.write(due) == due.size());
    reminders.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qy2.dialogs.info=true"));
    QProcess program;
    QVERIFY(startProgram(program, environment));
    QByteArray said;
    QVERIFY(waitUntilSaid(program, "message box open", 20000, &said));
    QTRY_COMPARE_WITH_TIMEOUT(dunst.displayed(), 1, 20000);

    QVERIFY(endsCleanlyOnSignal(program));
    said += program.readAllStandardError();
    const QList<QByteArray> lines = said.trimmed().split('\n');
    QVERIFY2(lines.size() == 1, said.constData()); // the box's line, and no complaint
    QVERIFY(QFileInfo(home.filePath(QStringLiteral(".config/Quillory2/Quillory2.conf"))).isFile());
    QVERIFY(reminders.open(QIODevice::ReadOnly));
    QCOMPARE(reminders.readAll(), due); // shown, not acknowledged
}

QTEST_MAIN(TestWayland)
#include "tst_wayland.moc"
