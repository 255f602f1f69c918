#include "reminders/frmmissed.h"

#include "common/clock.h"
#include "reminders/reminderrecord.h"
#include "reminders/schedule.h"
#include "widgets/dialogs.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int RecordRole = Qt::UserRole;

} // namespace

frmMissed::frmMissed(ReminderList &list, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(list)
{
    setObjectName(QStringLiteral("frmMissed"));
    setWindowTitle(tr("Missed reminders"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_lvwMissed = new QTreeWidget;
    m_lvwMissed->setObjectName(QStringLiteral("lvwMissed"));
    m_lvwMissed->setAccessibleName(tr("Missed reminders"));
    m_lvwMissed->setHeaderLabels({ tr("Due"), tr("Schedule"), tr("Message") });
    m_lvwMissed->setRootIsDecorated(false);
    m_lvwMissed->setAllColumnsShowFocus(true);
    m_lvwMissed->setColumnWidth(0, 150);
    m_lvwMissed->setColumnWidth(1, 90);
    m_lvwMissed->header()->setStretchLastSection(true);

    const auto button = [this](const char *name, const QString &text, void (frmMissed::*slot)(int)) {
        auto *pushButton = new QPushButton(text);
        pushButton->setObjectName(QLatin1String(name));
        connect(pushButton, &QPushButton::clicked, this, [this, slot] { (this->*slot)(currentRow()); });
        return pushButton;
    };
    m_btnShow = button("btnShow", tr("S&how"), &frmMissed::showRow);
    m_btnSnooze = button("btnSnooze", tr("&Snooze"), &frmMissed::snoozeRow);
    m_btnDone = button("btnDone", tr("&Done"), &frmMissed::doneRow);
    m_btnDoneAll = new QPushButton(tr("Done for &all"));
    m_btnDoneAll->setObjectName(QStringLiteral("btnDoneAll"));
    connect(m_btnDoneAll, &QPushButton::clicked, this, &frmMissed::doneForAll);
    m_cboSnooze = new QComboBox;
    m_cboSnooze->setObjectName(QStringLiteral("cboSnooze"));
    m_cboSnooze->setAccessibleName(tr("Snooze for"));
    m_cboSnooze->addItems(ReminderList::snoozeNames());
    m_cboSnooze->setCurrentIndex(m_list.snoozeChoice());

    auto *buttons = new QHBoxLayout;
    for (QWidget *control : { static_cast<QWidget *>(m_btnShow), static_cast<QWidget *>(m_btnSnooze),
             static_cast<QWidget *>(m_cboSnooze), static_cast<QWidget *>(m_btnDone) })
        buttons->addWidget(control);
    buttons->addStretch(1);
    buttons->addWidget(m_btnDoneAll);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lvwMissed, 1);
    layout->addLayout(buttons);
    connect(m_lvwMissed, &QTreeWidget::currentItemChanged, this, &frmMissed::updateButtons);
    connect(m_lvwMissed, &QTreeWidget::itemActivated, this,
        [this](QTreeWidgetItem *item) { showRow(m_lvwMissed->indexOfTopLevelItem(item)); });
    resize(560, 260);
    updateButtons();
}

// Gone without an answer (closed, or the program ends): the rows stay unacknowledged.
frmMissed::~frmMissed()
{
    for (const QString &record : records())
        m_list.release(record);
}

void frmMissed::addOccurrences(const QList<ReminderList::Occurrence> &occurrences)
{
    const QStringList shown = records();
    for (const ReminderList::Occurrence &occurrence : occurrences) {
        if (shown.contains(occurrence.record))
            continue;
        const QString &record = occurrence.record;
        const QString schedule
            = Schedule::name(RecordSchedule(record)) + (occurrence.snoozed ? tr(", snoozed") : QString());
        auto *item = new QTreeWidgetItem(
            m_lvwMissed, { ReminderList::dueTimeText(occurrence.due), schedule, RecordMessagePreview(record) });
        item->setData(0, RecordRole, record);
    }
    if (!m_lvwMissed->currentItem() && m_lvwMissed->topLevelItemCount() > 0)
        m_lvwMissed->setCurrentItem(m_lvwMissed->topLevelItem(0));
    updateButtons();
}

QStringList frmMissed::records() const
{
    QStringList records;
    for (int row = 0; row < m_lvwMissed->topLevelItemCount(); ++row)
        records.append(m_lvwMissed->topLevelItem(row)->data(0, RecordRole).toString());
    return records;
}

int frmMissed::currentRow() const
{
    return m_lvwMissed->currentItem() ? m_lvwMissed->indexOfTopLevelItem(m_lvwMissed->currentItem()) : -1;
}

void frmMissed::showRow(int row)
{
    if (row >= 0 && row < m_lvwMissed->topLevelItemCount())
        Dialogs::show(ReminderList::deliveryMessage(records().at(row)), this);
}

void frmMissed::snoozeRow(int row)
{
    if (row < 0 || row >= m_lvwMissed->topLevelItemCount())
        return;
    const int choice = m_cboSnooze->currentIndex();
    m_list.setSnoozeChoice(choice);
    const QString record = records().at(row);
    removeRow(row);
    m_list.snooze(record, ReminderList::snoozeUntil(Clock::now(), choice));
}

void frmMissed::doneRow(int row)
{
    if (row < 0 || row >= m_lvwMissed->topLevelItemCount())
        return;
    const QString record = records().at(row);
    removeRow(row);
    m_list.acknowledge({ record });
}

void frmMissed::doneForAll()
{
    const QStringList all = records();
    m_lvwMissed->clear();
    m_list.acknowledge(all);
    close();
}

void frmMissed::withdrawGone()
{
    const QStringList shown = records();
    for (qsizetype row = shown.size() - 1; row >= 0; --row) {
        if (!m_list.records().contains(shown.at(row))) {
            m_list.release(shown.at(row));
            removeRow(int(row));
        }
    }
}

void frmMissed::removeRow(int row)
{
    delete m_lvwMissed->takeTopLevelItem(row);
    updateButtons();
    if (m_lvwMissed->topLevelItemCount() == 0)
        close();
}

void frmMissed::updateButtons()
{
    const bool chosen = m_lvwMissed->currentItem() != nullptr;
    for (QWidget *control :
        { static_cast<QWidget *>(m_btnShow), static_cast<QWidget *>(m_btnSnooze), static_cast<QWidget *>(m_btnDone) })
        control->setEnabled(chosen);
    m_btnDoneAll->setEnabled(m_lvwMissed->topLevelItemCount() > 0);
}
