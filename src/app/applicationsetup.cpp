#include "app/applicationsetup.h"

#include "common/autostart.h"
#include "widgets/iconcachestyle.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

namespace {

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

void setUpApplication()
{
    QApplication::setOrganizationName(QStringLiteral("Quillory2"));
    QApplication::setApplicationName(QStringLiteral("Quillory2"));
    QApplication::setApplicationVersion(QStringLiteral(QY2_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(applicationIcon());
    IconCacheStyle::install();
    QApplication::setDesktopFileName(Autostart::appId()); // ties the windows to the menu entry
}
