#include "app/frmqy2.h"
#include "app/singleinstance.h"
#include "app/unixsignals.h"
#include "app/windows.h"
#include "common/autostart.h"
#include "common/datafolder.h"
#include "widgets/dialogs.h"
#include "widgets/iconcachestyle.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QSessionManager>

namespace {

// The program places its windows and opens its menu at the pointer, which Wayland does not allow
// a client: run through XWayland when it is there, unless the user chose a platform.
void preferXcbUnderWayland()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// Read as PNG without guessing: a guess asks every image plugin, and so loads them all at start.
QIcon applicationIcon()
{
    QIcon icon;
    for (int size : { 16, 22, 32, 48, 64 }) {
        QImageReader reader(QStringLiteral(":/icons/quillory2-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace

int main(int argc, char *argv[])
{
    preferXcbUnderWayland();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillory2"));
    QApplication::setApplicationName(QStringLiteral("Quillory2"));
    QApplication::setApplicationVersion(QStringLiteral(QY2_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(applicationIcon());
    IconCacheStyle::install();
    QApplication::setDesktopFileName(Autostart::appId()); // ties the windows to the menu entry

    SingleInstance instance(QStringLiteral("quillory2"), DataFolder::path());
    if (!instance.claim()) {
        instance.tellRunningCopy();
        return 0;
    }

    frmQY2 main;
    registerWindows(main);
    QObject::connect(&instance, &SingleInstance::secondStartRequested, &main, &frmQY2::bringToolBarForward);
    QObject::connect(&main, &frmQY2::unloaded, &app, &QApplication::quit, Qt::QueuedConnection);

    UnixSignals unixSignals;
    // Logout and signals end the program with nobody to answer a question.
    QObject::connect(&unixSignals, &UnixSignals::terminationRequested, &main, &frmQY2::endUnattended);
    QObject::connect(
        &app, &QGuiApplication::commitDataRequest, &main, [&main](QSessionManager &) { main.endUnattended(); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &main, [&main] {
        Dialogs::setCanAsk(false);
        main.unload();
    });

    main.Form_Load();
    return app.exec();
}
