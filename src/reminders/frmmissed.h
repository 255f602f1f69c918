#pragma once

#include "reminders/reminderlist.h"

#include <QWidget>

class QComboBox;
class QPushButton;
class QTreeWidget;

// "Missed reminders": the reminders that fell due together (at start-up, after a sleep, after the
// clock jumped), one row each. Nothing is acknowledged until the user acts on a row; closing the
// window answers nothing, and its rows fall due again.
class frmMissed final : public QWidget
{
    Q_OBJECT

public:
    explicit frmMissed(ReminderList &list, QWidget *parent = nullptr);
    ~frmMissed() override;

    void addOccurrences(const QList<ReminderList::Occurrence> &occurrences);
    QStringList records() const;

    void showRow(int row);
    void snoozeRow(int row);
    void doneRow(int row);
    void doneForAll();
    // Rows whose reminder the list no longer holds (answered elsewhere) go, unanswered here.
    void withdrawGone();

private:
    int currentRow() const;
    void removeRow(int row);
    void updateButtons();

    ReminderList &m_list;
    QTreeWidget *m_lvwMissed = nullptr;
    QPushButton *m_btnShow = nullptr;
    QPushButton *m_btnSnooze = nullptr;
    QComboBox *m_cboSnooze = nullptr;
    QPushButton *m_btnDone = nullptr;
    QPushButton *m_btnDoneAll = nullptr;
};
