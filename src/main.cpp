#include "app/applicationsetup.h"
#include "app/frmqy2.h"
#include "app/icscommandline.h"
#include "app/windows.h"
#include "platform/singleinstance.h"
#include "platform/terminationsignals.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <QStandardPaths>

namespace {

// The program places its windows and opens its menu at the pointer, which Wayland does not allow
// a client: run through XWayland when it is there, unless the user chose a platform.
void preferXcbUnderWayland()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// The single-copy lock stays out of the data folder, which a sync engine may share with other computers.
QString lockFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    QDir().mkpath(folder);
    return folder;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = IcsCommandLine::run(argc, argv, lockFolder))
        return *status; // --export-ics or --import-ics: no window, no display needed
    preferXcbUnderWayland();
    QApplication app(argc, argv);
    setUpApplication();

    SingleInstance instance(QStringLiteral("quillory2"), lockFolder());
    if (!instance.claim()) {
        instance.tellRunningCopy();
        return 0;
    }

    frmQY2 main;
    registerWindows(main);
    QObject::connect(&instance, &SingleInstance::secondStartRequested, &main, &frmQY2::bringToolBarForward);
    QObject::connect(&instance, &SingleInstance::requestReceived, &main,
        [&main](const QByteArray &request) { IcsCommandLine::handleRequest(main, request); });
    QObject::connect(&main, &frmQY2::unloaded, &app, &QApplication::quit, Qt::QueuedConnection);

    TerminationSignals terminationSignals;
    // Logout and signals end the program with nobody to answer a question.
    QObject::connect(&terminationSignals, &TerminationSignals::terminationRequested, &main, &frmQY2::endUnattended);
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &main, [&main](QSessionManager &) { main.endUnattended(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &main, [&main] {
        Dialogs::setCanAsk(false);
        main.unload();
    });

    main.Form_Load();
    return app.exec();
}
