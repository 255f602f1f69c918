#pragma once

#include "app/tooltable.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <array>
#include <functional>

class QWidget;

// Opens the program's windows by key and ends them in the one fixed order at shutdown.
// A window joins by registering a factory under its key; the opener creates it when first asked
// ("load"), then only brings it forward. Keys without a registered window are simply absent.
class WindowOpener final : public QObject
{
    Q_OBJECT

public:
    using Factory = std::function<QWidget *()>;

    explicit WindowOpener(QObject *parent = nullptr);
    ~WindowOpener() override;

    void registerWindow(WindowKey key, Factory factory);
    bool isRegistered(WindowKey key) const;

    QWidget *load(WindowKey key); // created hidden if it was not loaded; nullptr if not registered
    QWidget *show(WindowKey key); // the modeless show: load if needed, then show and bring forward
    QWidget *window(WindowKey key) const; // the loaded window, or nullptr

    // Asks every loaded window to close, in unloadOrder(), and stops at the first that declines (its
    // user chose Cancel over losing unsaved work); true when all closed.
    bool closeAll();

    // Closes every loaded window, in unloadOrder(); each one saves what it keeps as it closes. A window
    // that declines is ended all the same: the program is ending. The windows are deleted when control
    // is back in the event loop, never under a window's own code or a box it opened, so a window's code
    // goes on safely after a box that the ending closed (the box answers as cancelled).
    void unloadAll();
    // True while closeAll or unloadAll closes the windows.
    bool isClosing() const { return m_closing; }

Q_SIGNALS:
    void registered(WindowKey key);
    void loaded(WindowKey key, QWidget *window);

private:
    std::array<Factory, WindowCount> m_factories;
    std::array<QPointer<QWidget>, WindowCount> m_windows;
    QList<QPointer<QWidget>> m_unloading; // closed by unloadAll, their deletion posted
    bool m_closing = false;
};
