#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

class ReminderList;

// The Reminders window's list view: the reminders of one category, in list order, as
// "Date" (dd mmm yy), "Time" (hh:nn am/pm), "Type" (the schedule) and "Message".
// Rows are formatted only when the view asks, so a refill costs one pass over the list.
class ReminderListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { DateColumn, TimeColumn, TypeColumn, MessageColumn, ColumnCount };

    explicit ReminderListModel(const ReminderList &list, QObject *parent = nullptr);

    void refill(int category);
    int category() const { return m_category; }
    int recordIndex(int row) const { return m_rows.value(row, -1); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const ReminderList &m_list;
    int m_category = 0;
    QList<int> m_rows; // list index of each row
    QStringList m_scheduleNames;
};
