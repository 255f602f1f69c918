#include "reminders/reminderdelivery.h"

#include "common/clock.h"
#include "reminders/frmmissed.h"
#include "reminders/reminderbox.h"
#include "widgets/dialogs.h"

#include <QLoggingCategory>

// "qy2.reminders.info=true" in QT_LOGGING_RULES logs the missed list as it opens (for tests of the
// whole program).
Q_LOGGING_CATEGORY(lcReminders, "qy2.reminders", QtWarningMsg)

ReminderDelivery::ReminderDelivery(ReminderList &list, QObject *parent)
    : QObject(parent)
    , m_list(list)
{
    m_list.setDeliverySink([this](const QList<ReminderList::Occurrence> &due) { deliver(due); });
    connect(&m_list, &ReminderList::listChanged, this, &ReminderDelivery::withdrawGone);
}

// The program ends: notifications left open would offer buttons that nobody answers.
ReminderDelivery::~ReminderDelivery()
{
    m_list.setDeliverySink({});
    for (auto it = m_notified.cbegin(); it != m_notified.cend(); ++it)
        closeNotification(it.key());
    delete m_missed;
}

frmMissed *ReminderDelivery::missedList() const
{
    return m_missed;
}

ReminderBox *ReminderDelivery::box() const
{
    return m_box;
}

void ReminderDelivery::tick()
{
    if (!m_box)
        m_list.DoTest();
}

void ReminderDelivery::deliver(const QList<ReminderList::Occurrence> &due)
{
    if (due.size() > 1 || m_missed) {
        showList(due);
        return;
    }
    const uint notification = m_list.showAs() == ReminderList::ShowAs::Box ? 0 : notify(due.first());
    if (notification == 0 || m_list.showAs() != ReminderList::ShowAs::Notification)
        showBox(due.first(), notification);
}

uint ReminderDelivery::notify(const ReminderList::Occurrence &occurrence)
{
    if (!m_notifier.notify || !m_notifier.canShowActions || !m_notifier.canShowActions())
        return 0;
    const Message message = ReminderList::deliveryMessage(occurrence.record);
    const QString snooze = tr("Snooze %1").arg(ReminderList::snoozeNames().value(m_list.snoozeChoice()));
    const uint id = m_notifier.notify(
        message.title, message.text, { { QStringLiteral("snooze"), snooze }, { QStringLiteral("done"), tr("Done") } });
    if (id != 0)
        m_notified.insert(id, occurrence);
    return id;
}

void ReminderDelivery::closeNotification(uint id)
{
    if (m_notifier.close)
        m_notifier.close(id);
}

void ReminderDelivery::showBox(const ReminderList::Occurrence &occurrence, uint notification)
{
    auto *box = new ReminderBox(ReminderList::deliveryMessage(occurrence.record), m_list.snoozeChoice());
    m_box = box;
    m_boxRecord = occurrence.record;
    const std::optional<int> result = Dialogs::runDialog(box);
    m_boxRecord.clear();
    // The program ended while it was open (the reminder stays as it is), or the notification answered.
    if (!result || *result == ReminderBox::AnsweredElsewhere)
        return;
    if (notification != 0) {
        m_notified.remove(notification);
        closeNotification(notification);
    }
    if (*result >= ReminderBox::SnoozeBase) {
        const int choice = *result - ReminderBox::SnoozeBase;
        m_list.setSnoozeChoice(choice);
        m_list.snooze(occurrence.record, ReminderList::snoozeUntil(Clock::now(), choice));
    } else {
        m_list.acknowledge({ occurrence.record });
    }
}

void ReminderDelivery::notificationAction(uint id, const QString &key)
{
    const auto it = m_notified.constFind(id);
    if (it == m_notified.cend())
        return;
    const ReminderList::Occurrence occurrence = *it;
    const QString &record = occurrence.record;
    m_notified.erase(it);
    closeNotification(id); // servers that keep a notification after an action ("resident")
    if (m_box && m_boxRecord == record)
        m_box->done(ReminderBox::AnsweredElsewhere);
    if (key == QLatin1String("snooze"))
        m_list.snooze(record, ReminderList::snoozeUntil(Clock::now(), m_list.snoozeChoice()));
    else if (key == QLatin1String("done"))
        m_list.acknowledge({ record });
    else if (m_boxRecord != record) // the notification's body clicked: the list holds it
        showList({ occurrence });
}

void ReminderDelivery::notificationClosed(uint id)
{
    const auto it = m_notified.constFind(id);
    if (it == m_notified.cend())
        return;
    const ReminderList::Occurrence occurrence = *it;
    m_notified.erase(it);
    if (m_boxRecord != occurrence.record) // the box still holds it
        showList({ occurrence });
}

// A reminder answered on another computer (its record gone or moved on when the shared file
// arrived) or removed in the Reminders window is shown no longer, and answered by nobody here.
void ReminderDelivery::withdrawGone()
{
    const QStringList &records = m_list.records();
    for (auto it = m_notified.begin(); it != m_notified.end();) {
        if (records.contains(it->record)) {
            ++it;
            continue;
        }
        m_list.release(it->record);
        closeNotification(it.key());
        it = m_notified.erase(it);
    }
    if (m_box && !m_boxRecord.isEmpty() && !records.contains(m_boxRecord)) {
        m_list.release(m_boxRecord);
        m_box->done(ReminderBox::AnsweredElsewhere);
    }
    if (m_missed)
        m_missed->withdrawGone();
}

void ReminderDelivery::showList(const QList<ReminderList::Occurrence> &occurrences)
{
    if (!m_missed) {
        m_missed = new frmMissed(m_list);
        qCInfo(lcReminders, "missed list open");
    }
    m_missed->addOccurrences(occurrences);
    m_missed->show();
    m_missed->raise();
    m_missed->activateWindow();
}
