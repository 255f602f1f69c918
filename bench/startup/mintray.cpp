// The yardstick: a Qt program that shows one tray icon and nothing else.
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QIcon icon;
    for (int size : { 16, 22, 32, 48, 64 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::darkBlue);
        icon.addPixmap(pixmap);
    }
    QSystemTrayIcon tray(icon);
    tray.setToolTip(QStringLiteral("minimal"));
    tray.show();
    return app.exec();
}
