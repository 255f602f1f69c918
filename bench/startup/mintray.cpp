// The yardsticks: a Qt program that shows one tray icon and nothing else, and with --window the same
// program that also shows one small window with a row of seven picture buttons and a line of text, the
// least that the first start's splash and launcher show.
#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QWidget>

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

    QWidget window;
    if (QCoreApplication::arguments().contains(QStringLiteral("--window"))) {
        auto *row = new QHBoxLayout(&window);
        for (int i = 0; i < 7; ++i) {
            auto *button = new QToolButton(&window);
            button->setIcon(QApplication::style()->standardIcon(QStyle::StandardPixmap(QStyle::SP_DirIcon + i)));
            button->setIconSize(QSize(24, 24));
            row->addWidget(button);
        }
        row->addWidget(new QLabel(QStringLiteral("Version 1.0"), &window));
        window.show();
    }
    return app.exec();
}
