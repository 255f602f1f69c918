#include "planner/frmplanner.h"

#include "common/clock.h"
#include "common/settings.h"
#include "common/syncfiles.h"
#include "common/textfile.h"
#include "common/trash.h"
#include "planner/planpurge.h"
#include "widgets/accessiblenames.h"
#include "widgets/dialogs.h"
#include "widgets/helpviewer.h"
#include "widgets/keyboardaccess.h"
#include "widgets/rolloverhints.h"
#include "widgets/statusclock.h"
#include "widgets/windowhelpers.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMap>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <climits>
#include <cmath>
#include <utility>

namespace {

constexpr int PurgeFilesPerStep = 200;
constexpr int StartScrollTwips[PlanDay::IntervalCount] = { 10800, 5400, 1800 }; // 9:00, 9:00, 6:00 AM
constexpr int PanelWidthsTwips[] = { 880, 600, 0, 840, 1100 };

int px(double twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}

QFont headingFont()
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

Message plannerMessage(Message::Icon icon, const QString &text)
{
    return { icon, QStringLiteral("Quillory2"), text };
}

} // namespace

frmPlanner::frmPlanner(QWidget *parent)
    : QWidget(parent, FixedDialogFlags)
    , m_watch(new FileWatch(this))
{
    setObjectName(QStringLiteral("frmPlanner"));
    setWindowTitle(tr("Quillory Planner"));
    m_rowHeight = qMax(px(RowTwips), QLineEdit().sizeHint().height());
    // The time column holds the time and, at its right, the bell of the slot's reminders.
    m_timeWidth = qMax(px(855), fontMetrics().horizontalAdvance(QStringLiteral("12:00 PM")) + 8) + m_rowHeight;

    m_StatusBarRem = buildStatusBar();
    m_hints = new RolloverHints(m_panels[2], this);

    m_lblPlnTm = new QLabel(tr("Time"));
    m_lblPlnTm->setObjectName(QStringLiteral("lblPlnTm"));
    m_lblPlnDsc = new QLabel(tr("Appointment Description"));
    m_lblPlnDsc->setObjectName(QStringLiteral("lblPlnDsc"));
    for (QLabel *heading : { m_lblPlnTm, m_lblPlnDsc }) {
        heading->setFont(headingFont());
        heading->setAlignment(Qt::AlignCenter);
    }
    m_lblPlnTm->setFixedWidth(m_timeWidth);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(m_lblPlnTm);
    header->addWidget(m_lblPlnDsc, 1);
    header->addWidget(buildToolbar());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(buildSlotArea());
    layout->addWidget(buildChoices());
    layout->addWidget(m_StatusBarRem);
    new StatusClock(this, m_panels[3], m_panels[4]);

    // Opening: today (within the picker's range) on a 30-minute grid, the place, then the day's file.
    PlanDay::makeFolder();
    m_shown = qBound(PlanDay::FirstDay, Clock::now().date(), PlanDay::LastDay);
    setPickerDate(m_shown);
    setInterval(PlanDay::DefaultInterval);
    attachHints();
    fixOuterSizeTwips(this, QSizeF(7660, 6510));
    restorePlacement(this, Key::PlannerLeft, Key::PlannerTop);
    connect(m_watch, &FileWatch::touched, this, [this] {
        takeChangesFromDisk();
        takeConflictCopies();
    });
    loadShownDay();
    m_txtPlanItem[m_scrollTwips / RowTwips]->setFocus(); // where the user reads and types: the first slot shown

    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(SaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &frmPlanner::tmrSave_Timer);
    m_focusFollower
        = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { keepRowInView(now); });
    m_purgeTimer.setInterval(0);
    connect(&m_purgeTimer, &QTimer::timeout, this, &frmPlanner::purgeStep);

    auto *remind = new QAction(tr("Remind me"), this);
    remind->setObjectName(QStringLiteral("actRemindMe"));
    remind->setShortcut(Qt::CTRL | Qt::Key_R);
    connect(remind, &QAction::triggered, this,
        [this] { remindMe(int(m_txtPlanItem.indexOf(qobject_cast<QLineEdit *>(focusWidget())))); });
    addAction(remind);
}

// The window's own end moves the focus away (QWidget hides it), after this part of it is gone.
frmPlanner::~frmPlanner()
{
    disconnect(m_focusFollower);
}

QToolBar *frmPlanner::buildToolbar()
{
    m_Toolbar1 = new QToolBar;
    m_Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_Toolbar1->setMovable(false);
    m_Toolbar1->setFloatable(false);
    m_btnPurge = m_Toolbar1->addAction(tr("Purge "), this, &frmPlanner::purge);
    m_btnPurge->setObjectName(QStringLiteral("btnPurge"));
    m_btnPurge->setToolTip(tr("Purge Records"));
    m_btnHelp
        = m_Toolbar1->addAction(tr("Help  "), this, [this] { ShowHelpTopic(this, HelpContext, HelpTopic::Planner); });
    m_btnHelp->setObjectName(QStringLiteral("btnHelp"));
    m_btnHelp->setToolTip(tr("Help"));
    m_btnHelp->setShortcut(QKeySequence::HelpContents);
    nameToolBarButtons(m_Toolbar1);
    focusToolBarButtons(m_Toolbar1);
    return m_Toolbar1;
}

QWidget *frmPlanner::buildSlotArea()
{
    m_picPlnMain = new QWidget;
    m_picPlnMain->setObjectName(QStringLiteral("picPlnMain"));
    m_picPlnMain->setFixedSize(px(7320), VisibleRows * m_rowHeight);
    m_picPlnMain->installEventFilter(this);
    m_picPlanner = new QWidget(m_picPlnMain);
    m_picPlanner->setObjectName(QStringLiteral("picPlanner"));
    m_picPlanner->installEventFilter(this);

    m_scrPlanner = new QScrollBar(Qt::Vertical);
    m_scrPlanner->setObjectName(QStringLiteral("scrPlanner"));
    m_scrPlanner->setAccessibleName(tr("Time slots"));
    m_scrPlanner->setSingleStep(RowTwips);
    m_scrPlanner->setPageStep(4 * RowTwips);
    m_scrPlanner->setFixedHeight(VisibleRows * m_rowHeight);
    connect(m_scrPlanner, &QScrollBar::valueChanged, this, &frmPlanner::scrollSnap);

    auto *area = new QWidget;
    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_picPlnMain);
    layout->addWidget(m_scrPlanner);
    layout->addStretch(1);
    return area;
}

QWidget *frmPlanner::buildChoices()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(px(120), 2, px(120), 2);
    m_intervals = new QButtonGroup(this);
    static const char *const captions[] = { "15", "30", "60" };
    for (int i = 0; i < PlanDay::IntervalCount; ++i) {
        m_optTime[i] = new QRadioButton(QLatin1String(captions[i]));
        m_optTime[i]->setObjectName(QStringLiteral("optTime%1").arg(i));
        m_optTime[i]->setAccessibleName(tr("%1 minutes").arg(QLatin1String(captions[i])));
        m_intervals->addButton(m_optTime[i], i);
        layout->addWidget(m_optTime[i]);
    }
    connect(m_intervals, &QButtonGroup::idClicked, this, &frmPlanner::chooseInterval);
    layout->addStretch(1);

    m_dtpPlanner = new QDateEdit;
    m_dtpPlanner->setObjectName(QStringLiteral("dtpPlanner"));
    m_dtpPlanner->setCalendarPopup(true);
    m_dtpPlanner->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    m_dtpPlanner->setDateRange(PlanDay::FirstDay, PlanDay::LastDay);
    m_dtpPlanner->setKeyboardTracking(false); // a day is left once the user has finished typing its date
    connect(m_dtpPlanner, &QDateEdit::dateChanged, this, [this] {
        if (!m_settingDate)
            Date_Change();
    });
    m_lblPlannerDate = new QLabel(tr("&Date"));
    m_lblPlannerDate->setObjectName(QStringLiteral("lblPlannerDate"));
    m_lblPlannerDate->setFont(headingFont());
    m_lblPlannerDate->setBuddy(m_dtpPlanner);
    layout->addWidget(m_lblPlannerDate);
    layout->addWidget(m_dtpPlanner, 1);

    m_updDate = new QWidget;
    m_updDate->setObjectName(QStringLiteral("updDate"));
    auto *arrows = new QHBoxLayout(m_updDate);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    const auto arrow = [this, arrows](const char *name, Qt::ArrowType type, const QString &tip, int days) {
        auto *button = new QToolButton;
        button->setObjectName(QLatin1String(name));
        button->setArrowType(type);
        button->setAutoRepeat(true);
        button->setToolTip(tip);
        button->setFocusPolicy(Qt::TabFocus);
        nameFromToolTip(button);
        connect(button, &QToolButton::clicked, this, [this, days] { stepDay(days); });
        arrows->addWidget(button);
        return button;
    };
    m_dayBack = arrow("updDateDown", Qt::LeftArrow, tr("One day back"), -1);
    m_dayForward = arrow("updDateUp", Qt::RightArrow, tr("One day forward"), 1);
    layout->addWidget(m_updDate);
    return row;
}

QStatusBar *frmPlanner::buildStatusBar()
{
    auto *bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("StatusBarRem"));
    bar->setSizeGripEnabled(false);
    m_ProgressBar1 = new QProgressBar;
    m_ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_ProgressBar1->setRange(0, 100);
    m_ProgressBar1->setTextVisible(false);
    m_ProgressBar1->setAccessibleName(tr("Purge progress"));
    m_ProgressBar1->setFixedWidth(px(PanelWidthsTwips[0]));
    m_ProgressBar1->hide();
    bar->addPermanentWidget(m_ProgressBar1);
    for (int i = 0; i < 5; ++i) {
        m_panels[i] = new QLabel;
        m_panels[i]->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        if (i == 2)
            m_panels[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        else
            m_panels[i]->setMinimumWidth(px(PanelWidthsTwips[i]));
        m_panels[i]->setAlignment(i == 2 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        bar->addPermanentWidget(m_panels[i], i == 2 ? 1 : 0);
    }
    m_panels[0]->hide(); // panels 1 and 2 come with the first purge
    m_panels[1]->hide();
    return bar;
}

void frmPlanner::attachHints()
{
    for (QRadioButton *option : m_optTime)
        m_hints->attach(option, tr("Changes time interval. NOTE: will also clear this day"));
    m_hints->attach(m_dtpPlanner, tr("Use this (or the calendar) to choose a particular date."));
    m_hints->attach(m_updDate, tr("Use these buttons to easily go forward or back by one day"));
    m_hints->attach(m_Toolbar1, tr("[X] Purge previous, [?] Help"));
}

QString frmPlanner::slotTimeText(int minutes)
{
    return QLocale::c().toString(QTime(0, 0).addSecs(minutes * 60), QStringLiteral("h:mm AP"));
}

void frmPlanner::addRow(int row)
{
    const int top = row * m_rowHeight;
    auto *time = new QLabel(m_picPlanner);
    time->setObjectName(QStringLiteral("lblPlanTime%1").arg(row));
    time->setAlignment(Qt::AlignCenter);
    time->setGeometry(0, top, m_timeWidth - m_rowHeight, m_rowHeight);
    auto *done = new QCheckBox(m_picPlanner);
    done->setObjectName(QStringLiteral("chkPlan%1").arg(row));
    const QSize box = done->sizeHint();
    done->setGeometry(m_timeWidth, top + (m_rowHeight - box.height()) / 2, box.width(), box.height());
    auto *item = new QLineEdit(m_picPlanner);
    item->setObjectName(QStringLiteral("txtPlanItem%1").arg(row));
    const int left = m_timeWidth + box.width() + 2;
    item->setGeometry(left, top, m_picPlnMain->width() - left, m_rowHeight);
    m_hints->attach(time, tr("This shows the particular time of your appointment"));
    m_hints->attach(done, tr("Use these to show appointments you have completed"));
    m_hints->attach(item, tr("Use this to enter the details of your appoinments"));
    connect(done, &QCheckBox::clicked, this, &frmPlanner::dayEdited);
    connect(item, &QLineEdit::textEdited, this, &frmPlanner::dayEdited);
    item->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(item, &QLineEdit::customContextMenuRequested, this, [this, item](const QPoint &at) {
        QMenu *menu = item->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->addSeparator();
        QAction *remind
            = menu->addAction(tr("Remind me"), item, [this, item] { remindMe(int(m_txtPlanItem.indexOf(item))); });
        remind->setObjectName(QStringLiteral("actRemindMe"));
        remind->setShortcut(Qt::CTRL | Qt::Key_R);
        menu->popup(item->mapToGlobal(at));
    });
    for (QWidget *control :
        { static_cast<QWidget *>(time), static_cast<QWidget *>(done), static_cast<QWidget *>(item) })
        control->show();
    m_lblPlanTime.append(time);
    m_chkPlan.append(done);
    m_txtPlanItem.append(item);
}

// Row 0 stays; the others go, and PlanBuildSlots makes the rows of the interval again, all empty.
void frmPlanner::PlanClearDay()
{
    m_txtPlanItem.first()->clear();
    m_chkPlan.first()->setChecked(false);
    for (qsizetype row = m_txtPlanItem.size() - 1; row >= 1; --row) {
        delete m_lblPlanTime.takeAt(row);
        delete m_chkPlan.takeAt(row);
        delete m_txtPlanItem.takeAt(row);
    }
}

void frmPlanner::PlanBuildSlots()
{
    const int count = PlanDay::slotCount(m_interval);
    if (m_txtPlanItem.isEmpty())
        addRow(0);
    while (m_txtPlanItem.size() < count)
        addRow(int(m_txtPlanItem.size()));
    const int minutes = PlanDay::slotMinutes(m_interval);
    for (int row = 0; row < count; ++row) {
        const QString time = slotTimeText(row * minutes);
        m_lblPlanTime[row]->setText(time);
        m_chkPlan[row]->setAccessibleName(tr("Done at %1").arg(time));
        m_txtPlanItem[row]->setAccessibleName(tr("Appointment at %1").arg(time));
    }
    m_picPlanner->setFixedSize(m_picPlnMain->width(), count * m_rowHeight);
    m_scrPlanner->setRange(0, (count - VisibleRows) * RowTwips);
    scrollTo(StartScrollTwips[m_interval]);

    setKeyboardOrder();
    showReminders();
}

// The toolbar, the slots row by row (a bell before its row), the intervals, the day.
void frmPlanner::setKeyboardOrder()
{
    QWidget *previous = m_Toolbar1;
    const auto follow = [&previous](QWidget *next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (int row = 0; row < slotCount(); ++row) {
        for (QToolButton *bell : std::as_const(m_bells)) {
            if (bell->property("row").toInt() == row)
                follow(bell);
        }
        follow(m_chkPlan[row]);
        follow(m_txtPlanItem[row]);
    }
    for (QWidget *next : { static_cast<QWidget *>(m_optTime[0]), static_cast<QWidget *>(m_dtpPlanner),
             static_cast<QWidget *>(m_dayBack), static_cast<QWidget *>(m_dayForward) })
        follow(next);
}

void frmPlanner::setReminderSource(ReminderSource source)
{
    m_reminderSource = std::move(source);
    showReminders();
}

void frmPlanner::showReminders()
{
    for (QToolButton *bell : std::exchange(m_bells, {})) { // a bell may be the one being pressed
        bell->hide();
        bell->setParent(nullptr);
        bell->deleteLater();
    }
    if (!m_reminderSource)
        return;
    QMap<int, QList<SlotReminder>> byRow;
    for (const SlotReminder &reminder : m_reminderSource(m_shown)) {
        const int minutes = reminder.time.hour() * 60 + reminder.time.minute();
        byRow[minutes / PlanDay::slotMinutes(m_interval)].append(reminder);
    }
    for (auto it = byRow.cbegin(); it != byRow.cend(); ++it)
        addBell(it.key(), it.value());
    setKeyboardOrder();
}

void frmPlanner::addBell(int row, const QList<SlotReminder> &reminders)
{
    auto *bell = new QToolButton(m_picPlanner);
    bell->setObjectName(QStringLiteral("bellPlan%1").arg(row));
    bell->setProperty("row", row);
    bell->setIcon(QIcon(QStringLiteral(":/icons/planner/bell.svg")));
    bell->setAutoRaise(true);
    bell->setFocusPolicy(Qt::TabFocus);
    bell->setGeometry(m_timeWidth - m_rowHeight, row * m_rowHeight, m_rowHeight, m_rowHeight);
    QStringList lines;
    for (const SlotReminder &reminder : reminders)
        lines << slotTimeText(reminder.time.hour() * 60 + reminder.time.minute()) + u' ' + reminder.message;
    bell->setToolTip(lines.join(u'\n').toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")));
    bell->setAccessibleName(reminders.size() == 1 ? tr("Reminder") : tr("%1 reminders").arg(reminders.size()));
    bell->setAccessibleDescription(lines.join(u'\n'));
    const QString key = reminders.first().key;
    connect(bell, &QToolButton::clicked, this, [this, key] { Q_EMIT reminderChosen(key); });
    bell->show();
    m_bells.append(bell);
}

void frmPlanner::setInterval(int interval)
{
    m_interval = interval;
    m_optTime[interval]->setChecked(true);
    if (!m_txtPlanItem.isEmpty())
        PlanClearDay();
    PlanBuildSlots();
}

void frmPlanner::chooseInterval(int interval)
{
    if (interval == m_interval || m_purge)
        return;
    // Another interval empties the shown day: asked first when there is anything to lose.
    if (dayHasContent()
        && !Dialogs::ask(plannerMessage(Message::Icon::Question,
                             tr("Changing the time interval clears this day: its appointments and ticks are lost "
                                "when the day is stored.\r\n\r\nChange the interval?")),
            this, Dialogs::Default::No)) {
        m_optTime[m_interval]->setChecked(true);
        return;
    }
    setInterval(interval);
    dayEdited();
}

void frmPlanner::scrollTo(int twips)
{
    m_scrPlanner->setValue(twips);
    scrollSnap(m_scrPlanner->value());
}

// The top row shown is always a whole slot.
void frmPlanner::scrollSnap(int twips)
{
    const int snapped = int(std::nearbyint(double(twips) / RowTwips)) * RowTwips;
    if (snapped != m_scrPlanner->value()) {
        m_scrPlanner->setValue(snapped);
        return;
    }
    m_scrollTwips = snapped;
    m_picPlanner->move(0, -(snapped / RowTwips) * m_rowHeight);
}

void frmPlanner::keepRowInView(QWidget *focused)
{
    if (!focused || !m_picPlanner->isAncestorOf(focused))
        return;
    const int row = focused->y() / m_rowHeight;
    const int top = m_scrollTwips / RowTwips;
    if (row < top)
        scrollTo(row * RowTwips);
    else if (row >= top + VisibleRows)
        scrollTo((row - VisibleRows + 1) * RowTwips);
}

PlanDay::Day frmPlanner::currentDay() const
{
    PlanDay::Day day;
    day.interval = m_interval;
    for (int row = 0; row < slotCount(); ++row)
        day.entries.append({ m_chkPlan[row]->isChecked(), m_txtPlanItem[row]->text() });
    return day;
}

bool frmPlanner::dayHasContent() const
{
    for (int row = 0; row < slotCount(); ++row) {
        if (m_chkPlan[row]->isChecked() || !m_txtPlanItem[row]->text().isEmpty())
            return true;
    }
    return false;
}

void frmPlanner::loadShownDay()
{
    m_takenCopies.clear(); // a copy of the day left unstored is taken again when it is shown again
    m_shownUnreadable = false;
    m_edited = false;
    m_saveFailureTold = false;
    CreateMissingFile(PlanDay::dayPath(m_shown)); // a day once shown has its file, empty until stored
    m_watch->watch(PlanDay::dayPath(m_shown));
    QString reason;
    const std::optional<PlanDay::Contents> contents = PlanDay::PlanLoadDay(m_shown, &reason);
    if (!contents) {
        m_shownUnreadable = true;
        Dialogs::show(plannerMessage(Message::Icon::Exclamation,
                          tr("THIS DAY COULD NOT BE READ\r\n\r\n%1\r\n%2\r\n\r\nIts file is left as it is: what you "
                             "type for this day now is not stored.")
                              .arg(QDir::toNativeSeparators(PlanDay::dayPath(m_shown)), reason)),
            this);
        return;
    }
    if (contents->interval && *contents->interval != m_interval)
        setInterval(*contents->interval);
    if (PlanDay::isDamaged(*contents, m_interval)) {
        // The lines that cannot be shown would be gone once the day is stored: the file is kept first.
        const QString copy = PlanDay::keepDamagedCopy(m_shown);
        m_shownUnreadable = copy.isEmpty();
        Dialogs::show(
            plannerMessage(Message::Icon::Information,
                tr("Some lines of this day's file could not be read as they are: their slots are shown empty, "
                   "or with what a slot can hold (a text cut short, a line break as a space).\r\n\r\nThe "
                   "file as it was is kept in\r\n%1")
                    .arg(QDir::toNativeSeparators(copy.isEmpty() ? PlanDay::dayPath(m_shown) : copy))),
            this);
    }
    m_base = PlanDay::apply(*contents, m_interval);
    showEntries(m_base);
    takeConflictCopies();
}

void frmPlanner::showEntries(const PlanDay::Day &day)
{
    for (int row = 0; row < slotCount(); ++row) {
        m_chkPlan[row]->setChecked(day.entries.at(row).done);
        if (m_txtPlanItem[row]->text() == day.entries.at(row).text)
            continue; // the slot being typed in keeps its cursor
        m_txtPlanItem[row]->setText(day.entries.at(row).text);
        m_txtPlanItem[row]->setCursorPosition(0);
    }
}

// The day's file was replaced (a sync engine brought another computer's day): what changed there joins
// what is on screen. Days of different intervals cannot be joined: the other file is kept as a
// conflict copy, which the user is told of, and this day is stored over it.
bool frmPlanner::takeChangesFromDisk()
{
    if (m_shownUnreadable || m_purge || !m_watch->changedOnDisk())
        return false;
    const std::optional<PlanDay::Contents> contents = PlanDay::PlanLoadDay(m_shown);
    m_watch->settle();
    if (!contents)
        return false;
    const int interval = contents->interval.value_or(m_interval);
    const std::optional<PlanDay::Day> merged
        = PlanDay::mergeDays(m_base, currentDay(), PlanDay::apply(*contents, interval));
    if (!merged) {
        const QString copy = PlanDay::keepConflictCopy(m_shown);
        Dialogs::show(plannerMessage(Message::Icon::Information,
                          tr("This day was changed on another computer too. Its version there is kept in\r\n%1")
                              .arg(QDir::toNativeSeparators(copy.isEmpty() ? PlanDay::dayPath(m_shown) : copy))),
            this);
        m_edited = true;
        m_saveTimer.start();
        return true;
    }
    m_base = PlanDay::apply(*contents, interval);
    const bool joined = *merged != m_base;
    showEntries(*merged);
    m_edited = joined;
    if (joined)
        m_saveTimer.start();
    Q_EMIT entriesChanged(m_shown);
    return true;
}

void frmPlanner::dayEdited()
{
    m_edited = true;
    Q_EMIT entriesChanged(m_shown);
    if (!m_shownUnreadable && !m_purge)
        m_saveTimer.start();
}

void frmPlanner::tmrSave_Timer()
{
    if (m_shownUnreadable || m_purge)
        return;
    takeChangesFromDisk();
    QString reason;
    if (storeShownDay(&reason)) {
        m_edited = false;
        m_saveFailureTold = false;
        return;
    }
    if (!std::exchange(m_saveFailureTold, true))
        Dialogs::show(Dialogs::writeFailedMessage(PlanDay::dayPath(m_shown), reason), this);
}

bool frmPlanner::storeShownDay(QString *reason)
{
    const PlanDay::Day day = currentDay();
    if (!PlanDay::PlanSaveDay(m_shown, day, reason))
        return false;
    m_base = day;
    m_watch->settle();
    for (const QString &copy : std::exchange(m_takenCopies, {}))
        QFile::remove(copy);
    return true;
}

// Both computers stored the day at once, and the sync engine kept one version beside the file: what
// that copy holds joins the screen (a slot with other text on each side keeps both), and the copy
// goes once the day is stored. A copy of another interval is left for the user.
void frmPlanner::takeConflictCopies()
{
    if (m_shownUnreadable || m_purge)
        return;
    const PlanDay::Day none = PlanDay::apply({}, m_interval);
    bool taken = false;
    for (const QString &name : ConflictCopiesIn(PlanDay::folder(), PlanDay::dayKey(m_shown))) {
        const QString path = QDir(PlanDay::folder()).filePath(name);
        if (m_takenCopies.contains(path))
            continue;
        const std::optional<QString> text = ReadTextFile(path);
        const PlanDay::Contents contents = PlanDay::parse(text.value_or(QString()));
        if (!text || contents.interval.value_or(m_interval) != m_interval)
            continue;
        showEntries(*PlanDay::mergeDays(none, currentDay(), PlanDay::apply(contents, m_interval)));
        m_takenCopies.append(path);
        taken = true;
    }
    if (taken) {
        m_edited = true;
        m_saveTimer.start();
        Q_EMIT entriesChanged(m_shown);
    }
}

Message frmPlanner::leaveQuestion(const QString &reason) const
{
    const QString path = QDir::toNativeSeparators(PlanDay::dayPath(m_shown));
    if (m_shownUnreadable) {
        return { Message::Icon::Question, QStringLiteral("Quillory2"),
            tr("THIS DAY COULD NOT BE READ\r\n\r\n%1\r\n\r\nIts file is left as it is, so what you typed for "
               "this day is not stored. To keep it, copy it elsewhere before you leave the day.\r\n\r\nLeave "
               "this day without storing what you typed?")
                .arg(path) };
    }
    return { Message::Icon::Question, tr("Quillory2: Cannot save the file"),
        tr("THIS DAY COULD NOT BE SAVED\r\n\r\n%1\r\n%2\r\n\r\nSolution:\r\nMake room on the disk or make "
           "the folder writable, then try again; or copy what you want to keep elsewhere. Until you leave the day, "
           "what you see on screen is kept.\r\n\r\nLeave this day without saving it?")
            .arg(path, reason) };
}

// True once the shown day is stored, when nothing was changed since it was read or stored, or when the
// user chose to leave it unstored. With nobody to ask
// (the program ends), what cannot be stored in the day's file is kept aside instead.
bool frmPlanner::leaveShownDay()
{
    m_saveTimer.stop();
    QString reason;
    if (!m_shownUnreadable) {
        takeChangesFromDisk();
        if (storeShownDay(&reason))
            return true;
    }
    if (!m_edited) // the file holds all that is shown
        return true;
    if (Dialogs::canAsk() && Dialogs::ask(leaveQuestion(reason), this, Dialogs::Default::No))
        return true;
    if (Dialogs::canAsk())
        return false;
    PlanDay::keepUnsavedCopy(m_shown, currentDay()); // also when the ending program closed the question
    return true;
}

void frmPlanner::setPickerDate(const QDate &date)
{
    m_settingDate = true;
    m_dtpPlanner->setDate(date);
    m_settingDate = false;
}

void frmPlanner::Date_Change()
{
    if (m_purge || !leaveShownDay()) { // the day stays while a purge runs, or it could not be stored
        setPickerDate(m_shown);
        return;
    }
    for (int row = 0; row < slotCount(); ++row) {
        m_txtPlanItem[row]->clear();
        m_chkPlan[row]->setChecked(false);
    }
    m_shown = m_dtpPlanner->date();
    loadShownDay();
    showReminders();
    Q_EMIT dayShown(m_shown);
}

void frmPlanner::showDay(const QDate &day)
{
    if (m_purge || !day.isValid())
        return;
    setPickerDate(qBound(PlanDay::FirstDay, day, PlanDay::LastDay));
    Date_Change();
}

void frmPlanner::showSlot(const QDate &day, const QTime &time)
{
    showDay(day);
    const int row = time.isValid() ? time.msecsSinceStartOfDay() / 60000 / PlanDay::slotMinutes(m_interval) : 0;
    if (m_shown == day && row < slotCount())
        m_txtPlanItem[row]->setFocus();
}

void frmPlanner::remindMe(int row)
{
    if (row < 0 || row >= slotCount())
        return;
    const QTime time = QTime(0, 0).addSecs(60 * row * PlanDay::slotMinutes(m_interval));
    Q_EMIT remindMeRequested(m_shown, time, m_txtPlanItem[row]->text());
}

void frmPlanner::stepDay(int days)
{
    const QDate next = m_shown.addDays(days);
    if (m_purge || next < PlanDay::FirstDay || next > PlanDay::LastDay)
        return; // the arrows stop quietly at both ends of the range
    setPickerDate(next);
    Date_Change();
}

void frmPlanner::purge()
{
    if (m_purge)
        return;
    if (!Dialogs::ask(plannerMessage(Message::Icon::Question,
                          tr("Do you wish to purge all stored records prior to and including this day?")),
            this, Dialogs::Default::No))
        return;
    const bool toTrash = CanMoveToTrash();
    if (!toTrash
        && !Dialogs::ask(plannerMessage(Message::Icon::Question,
                             tr("There is no desktop trash to take the purged days: they would be deleted for "
                                "good.\r\n\r\nDelete them for good?")),
            this, Dialogs::Default::No))
        return;
    m_saveTimer.stop();
    m_ProgressBar1->setValue(0);
    m_panels[0]->hide();
    m_ProgressBar1->show();
    m_panels[1]->show();
    m_panels[1]->setText(QStringLiteral("0%"));
    m_panels[2]->setText(tr("Purging all stored records prior to and including this day."));
    setDayControlsEnabled(false);
    m_purge = std::make_unique<PlanPurge>(
        PlanDay::folder(), m_shown, toTrash ? PlanPurge::Removal::Trash : PlanPurge::Removal::Delete);
    m_purgeTimer.start();
}

// While a purge runs the day and its interval stay as they are.
void frmPlanner::setDayControlsEnabled(bool enabled)
{
    const QList<QWidget *> controls { m_dtpPlanner, m_updDate, m_optTime[0], m_optTime[1], m_optTime[2] };
    for (QWidget *control : controls)
        control->setEnabled(enabled);
    m_btnPurge->setEnabled(enabled);
}

void frmPlanner::purgeStep()
{
    const int progress = m_purge->step(PurgeFilesPerStep);
    m_ProgressBar1->setValue(progress);
    m_panels[1]->setText(QString::number(progress) + u'%');
    if (m_purge->atEnd()) {
        m_purgeTimer.stop();
        finishPurge(true);
    }
}

void frmPlanner::finishPurge(bool tell)
{
    const Message done = m_purge->doneMessage();
    m_purge.reset();
    Q_EMIT daysPurged();
    setInterval(m_interval);
    setDayControlsEnabled(true);
    if (tell)
        Dialogs::show(done, this);
    m_ProgressBar1->hide();
    m_panels[0]->show();
    m_panels[1]->clear();
    m_panels[2]->clear();
}

void frmPlanner::closeEvent(QCloseEvent *event)
{
    if (m_purge) { // a purge that has begun is finished before the window goes
        m_purgeTimer.stop();
        m_purge->step(INT_MAX);
        finishPurge(false);
    }
    if (!leaveShownDay()) {
        event->ignore(); // the day stays on screen until the user chooses
        return;
    }
    savePlacement(this, Key::PlannerLeft, Key::PlannerTop);
    event->accept();
}

bool frmPlanner::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Wheel && (watched == m_picPlnMain || watched == m_picPlanner)) {
        QCoreApplication::sendEvent(m_scrPlanner, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
