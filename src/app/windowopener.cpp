#include "app/windowopener.h"

#include <QScopedValueRollback>
#include <QWidget>

WindowOpener::WindowOpener(QObject *parent)
    : QObject(parent)
{ }

void WindowOpener::registerWindow(WindowKey key, Factory factory)
{
    m_factories[size_t(key)] = std::move(factory);
    Q_EMIT registered(key);
}

bool WindowOpener::isRegistered(WindowKey key) const
{
    return bool(m_factories[size_t(key)]);
}

QWidget *WindowOpener::window(WindowKey key) const
{
    QWidget *loaded = m_windows[size_t(key)];
    // A closed window keeps existing until its deferred deletion; it is no longer loaded (closing
    // clears WA_DeleteOnClose), so showing its key makes a new one instead of reviving a dying window.
    if (loaded && !loaded->testAttribute(Qt::WA_DeleteOnClose))
        return nullptr;
    return loaded;
}

QWidget *WindowOpener::load(WindowKey key)
{
    if (QWidget *existing = window(key))
        return existing;
    const Factory &factory = m_factories[size_t(key)];
    if (!factory)
        return nullptr;
    QWidget *created = factory();
    if (!created)
        return nullptr;
    created->setAttribute(Qt::WA_DeleteOnClose);
    m_windows[size_t(key)] = created;
    Q_EMIT loaded(key, created);
    return created;
}

QWidget *WindowOpener::show(WindowKey key)
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

bool WindowOpener::closeAll()
{
    const QScopedValueRollback closing(m_closing, true);
    for (WindowKey key : unloadOrder()) {
        QWidget *loadedWindow = window(key);
        if (loadedWindow && !loadedWindow->close())
            return false;
    }
    return true;
}

void WindowOpener::unloadAll()
{
    const QScopedValueRollback closing(m_closing, true);
    for (WindowKey key : unloadOrder()) {
        QWidget *loadedWindow = window(key);
        if (!loadedWindow)
            continue;
        loadedWindow->close();
        // Also a window that declined to close: the program is ending. Deleted from the event loop,
        // once the code that called this and every box a window opened have returned.
        loadedWindow->deleteLater();
        m_unloading.append(loadedWindow);
    }
    m_windows = {};
}

WindowOpener::~WindowOpener()
{
    for (const QPointer<QWidget> &window : std::as_const(m_unloading))
        delete window.data(); // the owner ends before the event loop came back
}
