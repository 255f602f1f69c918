#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

// The unique name that currently owns a well-known bus name, followed without blocking: asked once
// at start, then kept up to date from the bus's NameOwnerChanged signal.
class BusNameOwner final : public QObject
{
    Q_OBJECT

public:
    // With startIfMissing, a name that has no owner at first is started by the bus where the bus knows
    // how (a server installed for activation); nothing waits for it, its arrival is a change like any other.
    BusNameOwner(const QDBusConnection &bus, const QString &name, bool startIfMissing, QObject *parent = nullptr);

    QString current() const { return m_owner; }

Q_SIGNALS:
    void changed(const QString &owner);

private:
    void setOwner(const QString &owner);
    void startService();

    QDBusConnection m_bus;
    QString m_name;
    QString m_owner;
    bool m_heard = false; // an owner change arrived, so the answer to the first question is stale
};
