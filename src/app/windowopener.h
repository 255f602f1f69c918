#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
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

    // Every window's key, in the order the windows are unloaded when the program ends.
    static const QStringList &unloadOrder();

    explicit WindowOpener(QObject *parent = nullptr);

    void registerWindow(const QString &key, Factory factory);
    bool isRegistered(const QString &key) const;

    QWidget *load(const QString &key); // created hidden if it was not loaded; nullptr if not registered
    QWidget *show(const QString &key); // the modeless show: load if needed, then show and bring forward
    QWidget *window(const QString &key) const; // the loaded window, or nullptr

    // Closes every loaded window, in unloadOrder(); each one saves what it keeps as it closes.
    void unloadAll();

Q_SIGNALS:
    void registered(const QString &key);
    void loaded(const QString &key, QWidget *window);

private:
    QHash<QString, Factory> m_factories;
    QHash<QString, QPointer<QWidget>> m_windows;
};
