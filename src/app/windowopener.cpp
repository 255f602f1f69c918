#include "app/windowopener.h"

#include <QWidget>

const QStringList &WindowOpener::unloadOrder()
{
    static const QStringList order = {
        QStringLiteral("Calc"),
        QStringLiteral("Cal"),
        QStringLiteral("Clip"),
        QStringLiteral("Plan"),
        QStringLiteral("Rem"),
        QStringLiteral("Text"),
        QStringLiteral("PopUp"),
        QStringLiteral("About"),
        QStringLiteral("Splash"),
        QStringLiteral("ToolBar"),
        QStringLiteral("Options"),
        QStringLiteral("Quick"),
    };
    return order;
}

WindowOpener::WindowOpener(QObject *parent)
    : QObject(parent)
{ }

void WindowOpener::registerWindow(const QString &key, Factory factory)
{
    Q_ASSERT(unloadOrder().contains(key));
    m_factories.insert(key, std::move(factory));
    Q_EMIT registered(key);
}

bool WindowOpener::isRegistered(const QString &key) const
{
    return m_factories.contains(key);
}

QWidget *WindowOpener::window(const QString &key) const
{
    QWidget *loaded = m_windows.value(key);
    // A closed window keeps existing until its deferred deletion; it is no longer loaded (closing
    // clears WA_DeleteOnClose), so showing its key makes a new one instead of reviving a dying window.
    if (loaded && !loaded->testAttribute(Qt::WA_DeleteOnClose))
        return nullptr;
    return loaded;
}

QWidget *WindowOpener::load(const QString &key)
{
    if (QWidget *existing = window(key))
        return existing;
    const auto factory = m_factories.constFind(key);
    if (factory == m_factories.constEnd())
        return nullptr;
    QWidget *created = (*factory)();
    if (!created)
        return nullptr;
    created->setAttribute(Qt::WA_DeleteOnClose);
    m_windows.insert(key, created);
    Q_EMIT loaded(key, created);
    return created;
}

QWidget *WindowOpener::show(const QString &key)
{
    QWidget *shown = load(key);
    if (!shown)
        return nullptr;
    if (shown->isMinimized())
        shown->setWindowState(shown->windowState() & ~Qt::WindowMinimized);
    shown->show();
    shown->raise();
    shown->activateWindow();
    return shown;
}

void WindowOpener::unloadAll()
{
    for (const QString &key : unloadOrder()) {
        QPointer<QWidget> loadedWindow = window(key);
        if (!loadedWindow)
            continue;
        loadedWindow->close();
        delete loadedWindow.data(); // also a window that declined to close: the program is ending
    }
    m_windows.clear();
}
