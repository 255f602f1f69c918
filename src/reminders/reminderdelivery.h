#pragma once

#include "reminders/reminderlist.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class ReminderBox;
class frmMissed;

// How a due reminder reaches the user: a box, a desktop notification with Snooze and Done, or both
// (the list's ShowAs option); two or more due at once come in one "Missed reminders" list. A box or
// notification answered in one place closes the other. A notification closed without an answer
// (expired, dismissed, its server gone) acknowledges nothing: the list then holds the reminder.
// The notification service is reached through the Notifier hooks, which the main window connects.
class ReminderDelivery final : public QObject
{
    Q_OBJECT

public:
    struct Action
    {
        QString key;
        QString label;
    };
    struct Notifier
    {
        std::function<bool()> canShowActions;
        std::function<uint(const QString &summary, const QString &body, const QList<Action> &actions)> notify;
        std::function<void(uint id)> close;
    };

    explicit ReminderDelivery(ReminderList &list, QObject *parent = nullptr);
    ~ReminderDelivery() override;

    void setNotifier(Notifier notifier) { m_notifier = std::move(notifier); }

    // A tick of the reminder timer, a wake-up or a jump of the clock: what is due comes now. While a
    // box is open the list waits for it.
    void tick();
    void notificationAction(uint id, const QString &key);
    void notificationClosed(uint id);

    frmMissed *missedList() const;
    ReminderBox *box() const;

private:
    void deliver(const QList<ReminderList::Occurrence> &due);
    void showBox(const ReminderList::Occurrence &occurrence, uint notification);
    void showList(const QList<ReminderList::Occurrence> &occurrences);
    uint notify(const ReminderList::Occurrence &occurrence);
    void closeNotification(uint id);
    void withdrawGone();

    ReminderList &m_list;
    Notifier m_notifier;
    QHash<uint, ReminderList::Occurrence> m_notified; // open notifications not yet answered
    QPointer<ReminderBox> m_box;
    QString m_boxRecord;
    QPointer<frmMissed> m_missed;
};
