#include "reminders/reminderbox.h"

#include "reminders/reminderlist.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

ReminderBox::ReminderBox(const Message &message, int snoozeChoice, QWidget *parent)
    : QDialog(parent)
    , m_message(message)
{
    setObjectName(QStringLiteral("reminderBox"));
    setWindowTitle(message.title);

    auto *icon = new QLabel;
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(size, size));
    auto *text = new QLabel(message.text);
    text->setObjectName(QStringLiteral("lblMessage"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *ok = new QPushButton(tr("OK"));
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    auto *snooze = new QPushButton(tr("&Snooze"));
    snooze->setObjectName(QStringLiteral("btnSnooze"));
    m_cboSnooze = new QComboBox;
    m_cboSnooze->setObjectName(QStringLiteral("cboSnooze"));
    m_cboSnooze->setAccessibleName(tr("Snooze for"));
    m_cboSnooze->addItems(ReminderList::snoozeNames());
    m_cboSnooze->setCurrentIndex(snoozeChoice);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(snooze, &QPushButton::clicked, this, [this] { done(SnoozeBase + m_cboSnooze->currentIndex()); });

    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(snooze);
    buttons->addWidget(m_cboSnooze);
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setTabOrder(ok, snooze);
    setTabOrder(snooze, m_cboSnooze);
    ok->setFocus();
    // Wide enough for the whole title beside the title bar's buttons: it carries the time and date at its end.
    QFont bold = font();
    bold.setBold(true);
    setMinimumWidth(QFontMetrics(bold).horizontalAdvance(message.title) + 160);
}
