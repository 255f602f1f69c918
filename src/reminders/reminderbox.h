#pragma once

#include "common/message.h"

#include <QDialog>

class QComboBox;

// The box that shows a due reminder: its message, OK, and Snooze with the choice of times (the one
// last chosen first). Closing it by Escape or its title bar counts as OK, as the box always did.
class ReminderBox final : public QDialog
{
    Q_OBJECT

public:
    // Results: OK (Accepted), one answered elsewhere (a notification), or a snooze: SnoozeBase + choice.
    enum Result { AnsweredElsewhere = 2, SnoozeBase = 100 };

    ReminderBox(const Message &message, int snoozeChoice, QWidget *parent = nullptr);

    const Message &message() const { return m_message; }

private:
    Message m_message;
    QComboBox *m_cboSnooze = nullptr;
};
