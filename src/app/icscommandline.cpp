#include "app/icscommandline.h"

#include "app/frmqy2.h"
#include "common/clock.h"
#include "common/message.h"
#include "common/textfile.h"
#include "planner/planday.h"
#include "platform/singleinstance.h"
#include "reminders/icstransfer.h"
#include "reminders/remindersical.h"
#include "widgets/dialogs.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr char importRequest[] = "import-ics ";

void print(FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stream);
}

int finish(const IcsTransfer::Outcome &outcome)
{
    print(outcome.ok ? stdout : stderr, outcome.text);
    return outcome.ok ? 0 : 1;
}

// The file read here before anything is touched, so that a bad one is said here and writes nothing.
std::optional<RemindersIcal::Parsed> readHere(const QString &path, IcsTransfer::Outcome &failure)
{
    QFile file(path);
    QString reason;
    std::optional<QByteArray> bytes = openRegularFile(file, &reason) ? readDevice(file, &reason) : std::nullopt;
    if (!bytes) {
        failure = { false, IcsTransfer::tr("%1 could not be read: %2").arg(path, reason) };
        return std::nullopt;
    }
    RemindersIcal::Parsed parsed = RemindersIcal::parse(*bytes, Clock::now());
    if (!parsed.error.isEmpty()) {
        failure = { false,
            IcsTransfer::tr("%1 is not a calendar the program can read. Nothing was imported.\n%2")
                .arg(path, parsed.error) };
        return std::nullopt;
    }
    return parsed;
}

int handOver(SingleInstance &instance, const QString &path, const RemindersIcal::Parsed &parsed)
{
    if (!instance.tellRunningCopy(importRequest + QFile::encodeName(path).toPercentEncoding()))
        return finish({ false,
            IcsTransfer::tr("The running copy of Quillory2 could not be reached. Nothing was "
                            "imported.") });
    QStringList lines = parsed.report;
    lines.prepend(IcsTransfer::tr("%1 holds %n reminder(s). The running copy of Quillory2 adds those it does not "
                                  "have yet and shows what it did.",
        nullptr, int(parsed.reminders.size()))
                      .arg(path));
    return finish({ true, lines.join(u'\n') });
}

int importHere(const QString &path)
{
    ReminderList list;
    list.setMessageSink([](const Message &message) {
        print(stderr, message.text);
        return true;
    });
    list.LoadReminders();
    return finish(IcsTransfer::importFile(list, path, Clock::now()));
}

} // namespace

std::optional<int> IcsCommandLine::run(int argc, char *argv[], QString (*lockFolder)())
{
    bool asked = false;
    for (int i = 1; i < argc; ++i)
        asked = asked || QByteArrayView(argv[i]).startsWith("--export-ics")
            || QByteArrayView(argv[i]).startsWith("--import-ics");
    if (!asked)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillory2"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillory2"));
    QCommandLineParser parser;
    const QCommandLineOption exportOption(QStringLiteral("export-ics"),
        QCoreApplication::translate("main", "Writes every reminder to FILE in iCalendar."), QStringLiteral("FILE"));
    const QCommandLineOption plansOption(QStringLiteral("plans-from"),
        QCoreApplication::translate("main", "With --export-ics: also the Planner's days from DATE (yyyy-MM-dd) on."),
        QStringLiteral("DATE"));
    const QCommandLineOption importOption(QStringLiteral("import-ics"),
        QCoreApplication::translate("main", "Adds the events and to-dos of the iCalendar FILE as reminders."),
        QStringLiteral("FILE"));
    parser.addOptions({ exportOption, plansOption, importOption });
    parser.addHelpOption();
    parser.process(app);
    if (parser.isSet(exportOption) == parser.isSet(importOption))
        parser.showHelp(2);
    if (parser.isSet(exportOption)) {
        const QDate from = QDate::fromString(parser.value(plansOption), Qt::ISODate);
        if (parser.isSet(plansOption) && !from.isValid())
            return finish(
                { false, IcsTransfer::tr("%1 is no date: write it as 2026-12-31.").arg(parser.value(plansOption)) });
        return finish(IcsTransfer::exportDataFile(parser.value(exportOption), Clock::now(),
            from.isValid() ? planAppointments(from) : QList<RemindersIcal::Appointment>()));
    }
    const QString path = QFileInfo(parser.value(importOption)).absoluteFilePath();
    SingleInstance instance(QStringLiteral("quillory2"), lockFolder());
    IcsTransfer::Outcome failure;
    const std::optional<RemindersIcal::Parsed> parsed = readHere(path, failure);
    if (!parsed)
        return finish(failure);
    return instance.claim() ? importHere(path) : handOver(instance, path, *parsed);
}

QList<RemindersIcal::Appointment> IcsCommandLine::planAppointments(const QDate &from)
{
    QList<RemindersIcal::Appointment> appointments;
    for (const PlanDay::Plan &plan : PlanDay::storedPlansFrom(from)) {
        const QDateTime start(plan.day, QTime(0, 0).addSecs(60 * plan.entry.minutes));
        appointments.append({ start, plan.minutes, plan.entry.text,
            QStringLiteral("plan-%1@quillory2").arg(start.toString(QStringLiteral("yyyyMMdd-HHmm"))) });
    }
    return appointments;
}

bool IcsCommandLine::handleRequest(frmQY2 &main, const QByteArray &request)
{
    if (!request.startsWith(importRequest))
        return false;
    const QString path = QFile::decodeName(QByteArray::fromPercentEncoding(request.mid(sizeof importRequest - 1)));
    const IcsTransfer::Outcome outcome = IcsTransfer::importFile(main.reminders(), path, Clock::now());
    Dialogs::show({ outcome.ok ? Message::Icon::Information : Message::Icon::Exclamation,
        QCoreApplication::translate("main", "Quillory2: Import"), outcome.text });
    return true;
}
