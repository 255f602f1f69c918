#include "../support/endonsignal.h"
#include "../support/programhome.h"
#include "../support/testenvironment.h"

#include "common/datafolder.h"
#include "planner/frmplanner.h"
#include "planner/planday.h"

#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <cstdio>
#include <memory>

namespace {

// A port free on loopback now.
int freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

// One computer: its home, its sync engine and its copy of the program. The engine shares the
// program's data folder with the other computer's, over loopback only.
struct Computer
{
    QString name;
    QString home;
    QString deviceId;
    int listenPort = freePort();
    QProcess engine;
    QProcess program;
    QByteArray said;

    QString engineHome() const { return home + QStringLiteral("/syncthing"); }
    QString data() const { return programDataFolder(home); }
    QByteArray read(const QString &file) const
    {
        QFile f(data() + u'/' + file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QString engineProgram()
{
    return QStandardPaths::findExecutable(QStringLiteral("syncthing"));
}

// The keys and a first configuration, made by the engine itself; its device ID, or an empty text.
QString generate(const Computer &computer)
{
    QProcess generate;
    generate.start(engineProgram(),
        { QStringLiteral("generate"), QStringLiteral("--home=") + computer.engineHome(),
            QStringLiteral("--no-default-folder") });
    generate.waitForFinished(60000);
    const QString said = QString::fromUtf8(generate.readAllStandardOutput() + generate.readAllStandardError());
    return QRegularExpression(QStringLiteral("Device ID: ([A-Z0-9-]+)")).match(said).captured(1);
}

// Loopback only and quiet (no discovery, relays, port mapping or reports); the data folder shared
// with the other computer, whose changes are picked up a second after they happen.
bool configure(const Computer &computer, const Computer &other)
{
    QFile file(computer.engineHome() + QStringLiteral("/config.xml"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString config = QString::fromUtf8(file.readAll());
    file.close();
    const std::array<std::pair<QString, QString>, 9> options { {
        { QStringLiteral("<listenAddress>default"),
            QStringLiteral("<listenAddress>tcp://127.0.0.1:%1").arg(computer.listenPort) },
        { QStringLiteral("<globalAnnounceEnabled>true"), QStringLiteral("<globalAnnounceEnabled>false") },
        { QStringLiteral("<localAnnounceEnabled>true"), QStringLiteral("<localAnnounceEnabled>false") },
        { QStringLiteral("<relaysEnabled>true"), QStringLiteral("<relaysEnabled>false") },
        { QStringLiteral("<natEnabled>true"), QStringLiteral("<natEnabled>false") },
        { QStringLiteral("<urAccepted>0"), QStringLiteral("<urAccepted>-1") },
        { QStringLiteral("<crashReportingEnabled>true"), QStringLiteral("<crashReportingEnabled>false") },
        { QStringLiteral("<startBrowser>true"), QStringLiteral("<startBrowser>false") },
        { QStringLiteral("<autoUpgradeIntervalH>12"), QStringLiteral("<autoUpgradeIntervalH>0") },
    } };
    for (const auto &[from, to] : options) {
        if (!config.contains(from))
            return false;
        config.replace(from, to);
    }
    const QString shared = QStringLiteral(
        "<folder id=\"quillory2\" label=\"Quillory2\" path=\"%1\" type=\"sendreceive\" rescanIntervalS=\"3600\" "
        "fsWatcherEnabled=\"true\" fsWatcherDelayS=\"1\"><maxConflicts>10</maxConflicts><device "
        "id=\"%2\"></device><device id=\"%3\"></device>"
        "</folder>\n<device id=\"%3\" name=\"%4\" compression=\"metadata\" introducer=\"false\">"
        "<address>tcp://127.0.0.1:%5</address></device>\n<gui ")
                               .arg(computer.data(), computer.deviceId, other.deviceId, other.name)
                               .arg(other.listenPort);
    config.replace(QStringLiteral("<gui "), shared);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(config.toUtf8()) > 0;
}

// An iCalendar file of one event, at a floating local time.
QString calendarFile(const QString &folder, const QString &summary, const QDateTime &start)
{
    const QString path = folder + u'/' + summary + QStringLiteral(".ics");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(
            QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\nUID:%1\r\n"
                           "DTSTAMP:20261208T000000Z\r\nDTSTART:%2\r\nSUMMARY:%1\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")
                .arg(summary, start.toString(QStringLiteral("yyyyMMdd'T'HHmmss")))
                .toUtf8());
    }
    return path;
}

} // namespace

// Two computers that share the program's data folder through a real sync engine: two Syncthing
// daemons on loopback, each with a home of its own and a copy of the program running on it.
class TestSync : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void aReminderAddedOnOneIsDeliveredOnTheOther();
    void remindersAddedOnBothAtOnceStayOnBoth();
    void aDayTypedOnBothKeepsBothTexts();

private:
    bool importOn(Computer &computer, const QString &calendar);

    QTemporaryDir m_dir;
    std::array<Computer, 2> m_computers;
};

void TestSync::initTestCase()
{
    QVERIFY2(!engineProgram().isEmpty(), "syncthing is not installed: run scripts/install-deps");
    for (int k = 0; k < 2; ++k) {
        Computer &computer = m_computers[size_t(k)];
        computer.name = k == 0 ? QStringLiteral("desk") : QStringLiteral("laptop");
        computer.home = m_dir.filePath(computer.name);
        QVERIFY(QDir().mkpath(computer.data()));
        computer.deviceId = generate(computer);
        QVERIFY2(!computer.deviceId.isEmpty(), "syncthing made no device ID");
    }
    for (int k = 0; k < 2; ++k) {
        Computer &computer = m_computers[size_t(k)];
        QVERIFY(configure(computer, m_computers[size_t(1 - k)]));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STNOUPGRADE"), QStringLiteral("1"));
        computer.engine.setProcessEnvironment(environment);
        computer.engine.setProcessChannelMode(QProcess::MergedChannels);
        computer.engine.start(engineProgram(),
            { QStringLiteral("serve"), QStringLiteral("--home=") + computer.engineHome(),
                QStringLiteral("--no-browser"), QStringLiteral("--no-restart"),
                QStringLiteral("--gui-address=127.0.0.1:%1").arg(freePort()) });
        QVERIFY2(computer.engine.waitForStarted(), "syncthing did not start");
    }
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT(
        (said += m_computers[0].engine.readAll()).contains("Established secure connection"), 60000);

    // The laptop's copy starts once what the desk's copy wrote into its data folder has arrived, as
    // it would when the folder came from another computer. The single-copy lock stays on its computer:
    // each copy keeps running and listens on its own pipe.
    for (Computer &computer : m_computers) {
        QProcessEnvironment environment = programEnvironment(computer.home);
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qy2.dialogs.info=true"));
        QVERIFY(startProgram(computer.program, environment));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(computer.home + QStringLiteral("/run/quillory2.pipe")), 20000);
        QCOMPARE(computer.program.state(), QProcess::Running);
        QFile marker(computer.data() + QStringLiteral("/started-") + computer.name);
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        for (const Computer &other : m_computers)
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(other.data() + QStringLiteral("/started-") + computer.name), 30000);
    }
}

void TestSync::cleanupTestCase()
{
    for (Computer &computer : m_computers) {
        if (computer.program.state() != QProcess::NotRunning)
            QVERIFY(endsCleanlyOnSignal(computer.program));
        computer.engine.kill();
        computer.engine.waitForFinished();
    }
}

// The import goes through the running copy, as a second start does.
bool TestSync::importOn(Computer &computer, const QString &calendar)
{
    QProcess import;
    return startProgram(import, computer.program.processEnvironment(), { QStringLiteral("--import-ics"), calendar })
        && import.waitForFinished(30000) && import.exitCode() == 0;
}

void TestSync::aReminderAddedOnOneIsDeliveredOnTheOther()
{
    QDateTime start = QDateTime::currentDateTime().addSecs(20);
    start = QDateTime(start.date(), QTime(start.time().hour(), start.time().minute())).addSecs(60);
    QVERIFY(importOn(m_computers[0], calendarFile(m_dir.path(), QStringLiteral("Stretch"), start)));
    QTRY_VERIFY_WITH_TIMEOUT(m_computers[1].read(QStringLiteral("reminders.dat")).contains("Stretch"), 30000);
    const QByteArray box = "message box open: Quillory2 Reminder - ";
    QVERIFY(waitUntilSaid(m_computers[1].program, box, 120000, &m_computers[1].said));
}

// Both lists change before either hears of the other's: the sync engine keeps one side as a conflict
// copy, which the program merges and removes.
void TestSync::remindersAddedOnBothAtOnceStayOnBoth()
{
    const QDateTime later(QDate(2099, 1, 1), QTime(9, 0));
    const QString desk = calendarFile(m_dir.path(), QStringLiteral("FromDesk"), later);
    const QString laptop = calendarFile(m_dir.path(), QStringLiteral("FromLaptop"), later);
    QProcess both[2];
    for (int k = 0; k < 2; ++k) {
        QVERIFY(startProgram(both[k], m_computers[size_t(k)].program.processEnvironment(),
            { QStringLiteral("--import-ics"), k == 0 ? desk : laptop }));
    }
    for (QProcess &import : both)
        QVERIFY(import.waitForFinished(30000) && import.exitCode() == 0);
    for (Computer &computer : m_computers) {
        QTRY_VERIFY_WITH_TIMEOUT(computer.read(QStringLiteral("reminders.dat")).contains("FromDesk")
                && computer.read(QStringLiteral("reminders.dat")).contains("FromLaptop")
                && QDir(computer.data()).entryList({ QStringLiteral("reminders*conflict*") }).isEmpty(),
            60000);
        QVERIFY(computer.read(QStringLiteral("reminders.dat")).contains("Stretch"));
    }
}

// The desk's Planner (here, in the test's own process) has stored a slot just as the laptop stores
// the same slot: both texts stay, on both computers.
void TestSync::aDayTypedOnBothKeepsBothTexts()
{
    TestEnvironment environment;
    DataFolder::setPath(m_computers[0].data());
    frmPlanner planner;
    planner.show();
    const QString day = QStringLiteral("PlanData/") + PlanDay::dayKey(planner.shownDate());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_computers[1].data() + u'/' + day), 30000);

    QTest::keyClicks(planner.findChild<QLineEdit *>(QStringLiteral("txtPlanItem18")), QStringLiteral("desk"));
    planner.tmrSave_Timer();
    QStringList lines(48, QStringLiteral("0"));
    lines[18] = QStringLiteral("0laptop");
    const QString laptopDay = m_computers[1].data() + u'/' + day;
    QFile incoming(laptopDay + QStringLiteral(".new"));
    QVERIFY(incoming.open(QIODevice::WriteOnly));
    incoming.write("1\r\n" + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    incoming.close();
    QCOMPARE(std::rename(qPrintable(incoming.fileName()), qPrintable(laptopDay)), 0);

    for (Computer &computer : m_computers) {
        QTRY_VERIFY_WITH_TIMEOUT(computer.read(day).contains("desk") && computer.read(day).contains("laptop")
                && QDir(computer.data() + QStringLiteral("/PlanData"))
                       .entryList({ QStringLiteral("*conflict*") })
                       .isEmpty(),
            60000);
    }
    QVERIFY(planner.close());
}

QTEST_MAIN(TestSync)
#include "tst_sync.moc"
