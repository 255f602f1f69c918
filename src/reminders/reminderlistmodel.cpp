#include "reminders/reminderlistmodel.h"

#include "common/clock.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderrecord.h"
#include "reminders/schedule.h"

#include <QLocale>

ReminderListModel::ReminderListModel(const ReminderList &list, QObject *parent)
    : QAbstractTableModel(parent)
    , m_list(list)
    , m_scheduleNames(Schedule::names())
{ }

void ReminderListModel::refill(int category)
{
    beginResetModel();
    m_category = category;
    m_rows.clear();
    const QStringList &records = m_list.records();
    for (int i = 0; i < records.size(); ++i) {
        if (RecordCategory(records.at(i)) == category)
            m_rows.append(i);
    }
    endResetModel();
}

int ReminderListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReminderListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ReminderListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    if (role == Qt::ToolTipRole && index.column() == TypeColumn)
        return data(index, Qt::DisplayRole); // a snooze's text is wider than its column
    const QString record = m_list.record(m_rows.at(index.row()));
    if (role == Qt::ToolTipRole)
        return index.column() == MessageColumn ? QVariant(RecordMessagePreview(record)) : QVariant();
    const QLocale locale;
    switch (index.column()) {
    case DateColumn: return locale.toString(RecordDate(record), QStringLiteral("dd MMM yy"));
    case TimeColumn: return locale.toString(RecordTime(record), QStringLiteral("hh:mm ap"));
    case TypeColumn: {
        const QString schedule = m_scheduleNames.value(RecordSchedule(record));
        const SnoozeStore::Snooze *snooze = m_list.snoozes().find(record);
        if (!snooze)
            return schedule;
        // A snooze to another day (tomorrow at the same time) names its day.
        const QString format = snooze->until.date() == Clock::now().date() ? QStringLiteral("h:mm ap")
                                                                           : QStringLiteral("ddd d MMM, h:mm ap");
        return tr("%1, snoozed to %2").arg(schedule, locale.toString(snooze->until, format));
    }
    case MessageColumn: return RecordMessagePreview(record);
    default: return {};
    }
}

QVariant ReminderListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case DateColumn: return tr("Date");
    case TimeColumn: return tr("Time");
    case TypeColumn: return tr("Type");
    case MessageColumn: return tr("Message");
    default: return {};
    }
}
