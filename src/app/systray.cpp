#include "app/systray.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>

namespace {

int buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    default: return 0;
    }
}

} // namespace

SysTray::SysTray(QObject *parent)
    : QObject(parent)
{
    connect(&m_tray, &QSystemTrayIcon::activated, this, &SysTray::handleActivation);
    watchHost();
}

void SysTray::watchHost()
{
    // The X11 platform's native interface (a QObject) tells when the notification area's window comes
    // or goes; Qt docks its icon on that signal, so ours is queued to run after it.
    auto *native = qGuiApp ? reinterpret_cast<QObject *>(QGuiApplication::platformNativeInterface()) : nullptr;
    if (native && native->metaObject()->indexOfSignal("systemTrayWindowChanged(QScreen*)") >= 0)
        connect(
            native, SIGNAL(systemTrayWindowChanged(QScreen *)), this, SLOT(trayHostChanged()), Qt::QueuedConnection);
}

void SysTray::trayHostChanged()
{
    watchIconWindow(); // the icon's window is new: hover works from the first pass of the pointer
    Q_EMIT hostChanged(QSystemTrayIcon::isSystemTrayAvailable());
}

SysTray::~SysTray()
{
    m_tray.hide();
}

void SysTray::setIcon(const QIcon &icon)
{
    m_icon = icon;
    if (icon.isNull()) {
        setVisible(false);
        return;
    }
    m_tray.setIcon(icon);
}

void SysTray::setToolTip(const QString &tip)
{
    m_toolTip = tip.trimmed();
    m_tray.setToolTip(m_toolTip);
}

void SysTray::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (visible) {
        m_tray.setIcon(m_icon);
        m_tray.setToolTip(m_toolTip);
        // Under X11 the icon waits for a notification area that comes later; elsewhere (Wayland) an
        // icon without one only brings Qt's complaints, and the launcher toolbar stands in for it.
        if (QSystemTrayIcon::isSystemTrayAvailable() || QGuiApplication::platformName() == QLatin1String("xcb"))
            m_tray.show();
        watchIconWindow();
    } else {
        m_tray.hide();
    }
}

void SysTray::setWatchPointer(bool watch)
{
    m_watchPointer = watch;
    if (watch) {
        watchIconWindow();
    } else if (m_iconWindow) {
        m_iconWindow->removeEventFilter(this);
        m_iconWindow = nullptr;
    }
}

void SysTray::watchIconWindow()
{
    if (!m_watchPointer || !m_visible || m_iconWindow)
        return;
    // Qt's X11 notification-area icon is a small top-level widget of its own: its enter and release
    // events are the pointer over our icon. Other desktops give no such window, and no hover.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (qstrcmp(window->metaObject()->className(), "QSystemTrayIconSys") == 0) {
            m_iconWindow = window;
            window->installEventFilter(this);
            return;
        }
    }
}

void SysTray::handleActivation(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger: Q_EMIT MouseDown(1); break;
    case QSystemTrayIcon::Context: Q_EMIT MouseDown(2); break;
    case QSystemTrayIcon::DoubleClick: Q_EMIT DblClick(); break;
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown: break;
    }
    watchIconWindow(); // the icon window exists by now if the tray arrived after start-up
}

void SysTray::handleIconEvent(QEvent::Type type, Qt::MouseButton button)
{
    if (type == QEvent::Enter || type == QEvent::MouseMove) {
        Q_EMIT MouseMove();
    } else if (type == QEvent::MouseButtonRelease) {
        if (const int number = buttonNumber(button))
            Q_EMIT MouseUp(number);
    }
}

bool SysTray::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_iconWindow) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonRelease)
            handleIconEvent(type, static_cast<QMouseEvent *>(event)->button());
        else if (type == QEvent::Enter || type == QEvent::MouseMove)
            handleIconEvent(type, Qt::NoButton);
    }
    return QObject::eventFilter(watched, event);
}
