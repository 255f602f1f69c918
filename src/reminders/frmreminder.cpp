#include "reminders/frmreminder.h"

#include "common/clock.h"
#include "common/settings.h"
#include "reminders/icstransfer.h"
#include "reminders/reminderlist.h"
#include "reminders/reminderlistmodel.h"
#include "reminders/reminderrecord.h"
#include "reminders/schedule.h"
#include "widgets/dialogs.h"
#include "widgets/helpviewer.h"
#include "widgets/rolloverhints.h"
#include "widgets/statusclock.h"
#include "widgets/windowhelpers.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimeEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <cmath>
#include <tuple>

namespace {

// The help panel's range and the others, in twips from the left of the status bar.
constexpr int PanelWidthsTwips[] = { 970, 4670, 600, 840, 480 };

int px(double twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}

QGroupBox *frame(const char *name, const QString &caption, QWidget *content, QWidget *second = nullptr)
{
    auto *box = new QGroupBox(caption);
    box->setObjectName(QLatin1String(name));
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->addWidget(content, 1);
    if (second)
        layout->addWidget(second);
    return box;
}

QIcon reminderIcon(const char *name)
{
    return QIcon(QStringLiteral(":/icons/reminders/%1.svg").arg(QLatin1String(name)));
}

} // namespace

frmReminder::frmReminder(ReminderList &list, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(list)
    , m_model(new ReminderListModel(list, this))
{
    setObjectName(QStringLiteral("frmReminder"));
    setWindowTitle(tr("Reminder"));

    m_StatusBarRem = buildStatusBar();
    m_hints = new RolloverHints(m_panelHelp, this);

    m_lvwRemDue = new QTreeView;
    m_lvwRemDue->setObjectName(QStringLiteral("lvwRemDue"));
    m_lvwRemDue->setAccessibleName(tr("Reminders"));
    m_lvwRemDue->setModel(m_model);
    m_lvwRemDue->setRootIsDecorated(false);
    m_lvwRemDue->setUniformRowHeights(true);
    m_lvwRemDue->setAllColumnsShowFocus(true);
    m_lvwRemDue->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvwRemDue->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvwRemDue->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvwRemDue->header()->setStretchLastSection(true);
    m_lvwRemDue->header()->setSectionsMovable(false);
    m_lvwRemDue->setColumnWidth(ReminderListModel::DateColumn, 80);
    m_lvwRemDue->setColumnWidth(ReminderListModel::TimeColumn, 72);
    m_lvwRemDue->setColumnWidth(ReminderListModel::TypeColumn, 84);
    m_lvwRemDue->setMinimumHeight(px(1200));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(buildToolbars());
    layout->addWidget(m_lvwRemDue, 1);
    layout->addWidget(buildLowerPanel());
    layout->addWidget(m_StatusBarRem);

    connect(
        m_lvwRemDue, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) { chooseRow(index.row()); });
    connect(m_lvwRemDue->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex &current) {
            // Moving through the list with the keyboard chooses too; a refill chooses nothing.
            if (current.isValid() && m_lvwRemDue->selectionModel()->isRowSelected(current.row()))
                chooseRow(current.row());
        });
    connect(&m_list, &ReminderList::listChanged, this, &frmReminder::FillReminderList);
    connect(&m_list, &ReminderList::countChanged, this,
        [this](int count) { m_panelCount->setText(QString::number(count)); });
    connect(&m_list, &ReminderList::emptied, this, &frmReminder::resetEditor);
    connect(&m_list, &ReminderList::deliverPastChanged, m_chkDelMissedRem, &QCheckBox::setChecked);
    connect(&m_list, &ReminderList::deliverNoneChanged, m_chkNoRem, &QCheckBox::setChecked);

    attachHints();
    setKeyboardOrder();

    // Load: the pickers show now, the options come from the list's owner, then the list.
    const QDateTime now = Clock::now();
    m_dtpReminders->setDate(now.date());
    m_DTPicker1->setTime(now.time());
    m_chkDelMissedRem->setChecked(m_list.deliverPast());
    m_chkNoRem->setChecked(m_list.deliverNone());
    connect(m_chkDelMissedRem, &QCheckBox::toggled, &m_list, &ReminderList::setDeliverPast);
    connect(m_chkNoRem, &QCheckBox::toggled, &m_list, &ReminderList::setDeliverNone);
    FillChoiceLists();
    if (m_list.count() > 0) {
        FillReminderList();
    } else {
        m_cboDelivery->setCurrentIndex(Schedule::Once);
        m_btnAdd->setEnabled(false);
        m_btnDel->setEnabled(false);
    }
    m_panelCount->setText(QString::number(m_list.count()));
    new StatusClock(this, m_panelTime, m_panelDate);

    const double stored = Settings::readCoordinate(Key::ReminderHeight).value_or(FullHeightTwips);
    applyHeight(stored < ShowHideLimitTwips ? ShortHeightTwips : FullHeightTwips);
    restorePlacement(this, Key::ReminderLeft, Key::ReminderTop);
}

QWidget *frmReminder::buildToolbars()
{
    m_Toolbar1 = new QToolBar;
    m_Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_categoryButtons = new QActionGroup(this);
    m_categoryButtons->setExclusive(true);
    static const char *const icons[] = { "alarms", "birthdays", "business", "leasure", "finances", "travel" };
    const QStringList categories = Schedule::categoryNames();
    for (int i = 0; i < categories.size(); ++i) {
        QAction *button = m_Toolbar1->addAction(reminderIcon(icons[i]), categories.at(i));
        button->setObjectName(QLatin1String(icons[i]));
        button->setCheckable(true);
        m_categoryButtons->addAction(button);
        connect(button, &QAction::triggered, this, [this, i] { setCategory(i); });
    }

    m_tlbCalR = new QToolBar;
    m_tlbCalR->setObjectName(QStringLiteral("tlbCalR"));
    const auto command = [this](const char *key, const char *icon, const QString &caption, const QKeySequence &shortcut,
                             void (frmReminder::*slot)()) {
        QAction *button = m_tlbCalR->addAction(reminderIcon(icon), caption);
        button->setObjectName(QLatin1String(key));
        button->setShortcut(shortcut);
        button->setToolTip(caption + QStringLiteral(" (") + shortcut.toString(QKeySequence::NativeText) + u')');
        connect(button, &QAction::triggered, this, slot);
        return button;
    };
    m_btnNew = command("btnNew", "new", tr("New"), QKeySequence::New, &frmReminder::NewReminder);
    m_btnAdd = command("btnAdd", "add", tr("Add"), QKeySequence(Qt::CTRL | Qt::Key_Return), &frmReminder::AddReminder);
    m_btnDel = command(
        "btnDel", "remove", tr("Remove"), QKeySequence(Qt::CTRL | Qt::Key_Delete), &frmReminder::RemoveReminder);
    m_btnHelp = command("btnHelp", "help", tr("Help"), QKeySequence::HelpContents, &frmReminder::Help);
    m_btnExport = command("btnExport", "export", tr("Export\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
        &frmReminder::ExportReminders);
    m_btnImport = command("btnImport", "import", tr("Import\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I),
        &frmReminder::ImportReminders);

    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(1, 0, 1, 0);
    layout->setSpacing(0);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    for (QToolBar *bar : { m_Toolbar1, m_tlbCalR }) {
        bar->setFont(small);
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        bar->setIconSize(QSize(24, 24));
        bar->setMovable(false);
        bar->setFloatable(false);
        bar->layout()->setContentsMargins(0, 0, 0, 0);
        bar->layout()->setSpacing(0);
    }
    layout->addWidget(m_Toolbar1);
    layout->addStretch(1);
    layout->addWidget(m_tlbCalR);
    // Every button stays in sight: with larger fonts the window grows rather than hide one.
    m_Toolbar1->setMinimumWidth(m_Toolbar1->sizeHint().width());
    m_tlbCalR->setMinimumWidth(m_tlbCalR->sizeHint().width());
    return row;
}

QWidget *frmReminder::buildLowerPanel()
{
    m_rtfRemMessage = new QTextEdit;
    m_rtfRemMessage->setObjectName(QStringLiteral("rtfRemMessage"));
    m_rtfRemMessage->setAccessibleName(tr("Message"));
    m_rtfRemMessage->setAcceptRichText(false);
    m_rtfRemMessage->setTabChangesFocus(true);
    m_rtfRemMessage->setFixedHeight(qMax(px(810), 3 * fontMetrics().lineSpacing() + 6));
    connect(m_rtfRemMessage, &QTextEdit::textChanged, this,
        [this] { m_btnAdd->setEnabled(!m_rtfRemMessage->document()->isEmpty()); });

    m_cboCatagory = new QComboBox;
    m_cboCatagory->setObjectName(QStringLiteral("cboCatagory"));
    m_fraCatagory = frame("fraCatagory", tr("Catagory"), m_cboCatagory);
    connect(m_cboCatagory, &QComboBox::currentIndexChanged, this, &frmReminder::categoryChanged);

    m_cboDelivery = new QComboBox;
    m_cboDelivery->setObjectName(QStringLiteral("cboDelivery"));
    m_fraSchedule = frame("fraSchedule", tr("Schedule"), m_cboDelivery);

    m_chkDelMissedRem = new QCheckBox(tr("Past"));
    m_chkDelMissedRem->setObjectName(QStringLiteral("chkDelMissedRem"));
    m_chkNoRem = new QCheckBox(tr("None"));
    m_chkNoRem->setObjectName(QStringLiteral("chkNoRem"));
    auto *checks = new QWidget;
    auto *checksLayout = new QVBoxLayout(checks);
    checksLayout->setContentsMargins(0, 0, 0, 0);
    checksLayout->setSpacing(0);
    checksLayout->addWidget(m_chkDelMissedRem);
    checksLayout->addWidget(m_chkNoRem);
    m_fraDelivery = frame("fraDelivery", tr("Deliver"), checks);

    m_dtpReminders = new QDateEdit;
    m_dtpReminders->setObjectName(QStringLiteral("dtpReminders"));
    m_dtpReminders->setCalendarPopup(true);
    m_dtpReminders->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    m_dtpReminders->setDateRange(QDate(1753, 1, 1), QDate(9999, 12, 31));
    m_updDate = new QWidget;
    m_updDate->setObjectName(QStringLiteral("updDate"));
    auto *arrows = new QVBoxLayout(m_updDate);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    for (const auto &[name, arrow, days] :
        { std::tuple { "updDateUp", Qt::UpArrow, 1 }, std::tuple { "updDateDown", Qt::DownArrow, -1 } }) {
        auto *button = new QToolButton;
        button->setObjectName(QLatin1String(name));
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFixedSize(18, 11);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAccessibleName(days > 0 ? tr("Next day") : tr("Previous day"));
        connect(button, &QToolButton::clicked, this, [this, d = days] { stepDate(d); });
        arrows->addWidget(button);
    }
    m_fraDate = frame("fraDate", tr("Date"), m_dtpReminders, m_updDate);

    m_DTPicker1 = new QTimeEdit;
    m_DTPicker1->setObjectName(QStringLiteral("DTPicker1"));
    m_DTPicker1->setDisplayFormat(QStringLiteral("h:mm AP"));
    m_fraTime = frame("fraTime", tr("Time"), m_DTPicker1);

    m_lowerPanel = new QWidget;
    m_lowerPanel->setObjectName(QStringLiteral("lowerPanel"));
    auto *grid = new QGridLayout(m_lowerPanel);
    grid->setContentsMargins(px(120), 2, px(120), 2);
    grid->setHorizontalSpacing(px(120));
    grid->setVerticalSpacing(2);
    grid->addWidget(m_rtfRemMessage, 0, 0, 1, 2);
    grid->addWidget(m_fraCatagory, 0, 2);
    grid->addWidget(m_fraSchedule, 0, 3);
    grid->addWidget(m_fraDelivery, 1, 0);
    grid->addWidget(m_fraDate, 1, 1, 1, 2);
    grid->addWidget(m_fraTime, 1, 3);
    grid->addWidget(buildShowAs(), 2, 0, 1, 4);
    // Column widths of the original layout, in twips: Deliver, the rest of the message, Catagory, Schedule.
    const int columns[] = { 900, 2640, 1695, 1695 };
    for (int c = 0; c < 4; ++c)
        grid->setColumnStretch(c, columns[c]);
    return m_lowerPanel;
}

// How a due reminder is shown, and whether several come one box after another.
QWidget *frmReminder::buildShowAs()
{
    m_cboShowAs = new QComboBox;
    m_cboShowAs->setObjectName(QStringLiteral("cboShowAs"));
    m_cboShowAs->addItems({ tr("Box and notification"), tr("Box"), tr("Notification") });
    m_cboShowAs->setCurrentIndex(int(m_list.showAs()));
    connect(m_cboShowAs, &QComboBox::currentIndexChanged, this,
        [this](int index) { m_list.setShowAs(ReminderList::ShowAs(index)); });
    m_chkOneByOne = new QCheckBox(tr("One box after another"));
    m_chkOneByOne->setObjectName(QStringLiteral("chkOneByOne"));
    m_chkOneByOne->setChecked(m_list.oneByOne());
    connect(m_chkOneByOne, &QCheckBox::toggled, &m_list, &ReminderList::setOneByOne);
    m_fraShowAs = frame("fraShowAs", tr("Show reminders as"), m_cboShowAs, m_chkOneByOne);
    m_cboShowAs->setAccessibleName(m_fraShowAs->title());
    return m_fraShowAs;
}

QStatusBar *frmReminder::buildStatusBar()
{
    auto *bar = new QStatusBar;
    bar->setObjectName(QStringLiteral("StatusBarRem"));
    bar->setSizeGripEnabled(false);
    bar->setMouseTracking(true);
    bar->installEventFilter(this);

    m_panelShowHide = new QToolButton;
    m_panelShowHide->setObjectName(QStringLiteral("panelShowHide"));
    m_panelShowHide->setText(tr("Show/Hide"));
    m_panelShowHide->setAutoRaise(true);
    m_panelShowHide->setFocusPolicy(Qt::TabFocus);
    connect(m_panelShowHide, &QToolButton::clicked, this, [this] { statusPanelClicked(1); });

    const auto panel = [this](const char *name) {
        auto *label = new QLabel;
        label->setObjectName(QLatin1String(name));
        label->installEventFilter(this);
        return label;
    };
    m_panelHelp = panel("panelHelp");
    m_panelTime = panel("panelTime");
    m_panelDate = panel("panelDate");
    m_panelCount = panel("panelCount");
    m_panelTime->setAlignment(Qt::AlignCenter);
    m_panelDate->setAlignment(Qt::AlignCenter);
    m_panelCount->setAlignment(Qt::AlignCenter);

    // A long hint must never widen the window: the help panel takes what the others leave.
    m_panelHelp->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QWidget *panels[] = { m_panelShowHide, m_panelHelp, m_panelTime, m_panelDate, m_panelCount };
    for (int i = 0; i < 5; ++i) {
        if (i != 1)
            panels[i]->setMinimumWidth(px(PanelWidthsTwips[i]));
        bar->addPermanentWidget(panels[i], i == 1 ? 1 : 0);
    }
    return bar;
}

void frmReminder::attachHints()
{
    m_hints->attach(m_fraCatagory, tr("Selects the Catagory"));
    m_hints->attach(m_fraSchedule, tr("Selects the delivery schedule"));
    m_hints->attach(m_fraTime, tr("Set the time using up down buttons, arrow or number keys"));
    m_hints->attach(m_dtpReminders, tr("Set the date with the drop down calendar or arrows"));
    m_hints->attach(m_updDate, tr("Change date forward or back by one day"));
    m_hints->attach(m_chkDelMissedRem, tr("Deliver reminders missed while PC was turned off"));
    m_hints->attach(m_chkNoRem, tr("Do not display any reminders at all"));
    m_hints->attach(m_fraShowAs, tr("A box, a desktop notification or both; several due at once come in one list"));
    m_hints->attach(m_rtfRemMessage, tr("This is the reminder message"));
    m_hints->attach(m_lvwRemDue, tr("This shows all the reminders in a catagory"));
    m_hints->attach(m_Toolbar1, tr("These buttons select, and show the selected, catagory"));
    m_hints->attach(m_tlbCalR, tr("(New) makes a new reminder, (Add) stores it. HELP (?)"));
    m_hints->attach(m_panelShowHide, tr("Shows or hides the lower panel"));
    m_hints->attach(m_panelHelp, tr("Provides roll over help messages like this one."));
    m_hints->attach(m_panelTime, tr("Show the time"));
    m_hints->attach(m_panelDate, tr("Show the date"));
    m_hints->attach(m_panelCount, tr("Show the total number of reminders stored"));
}

void frmReminder::setKeyboardOrder()
{
    QWidget *order[] = { m_lvwRemDue, m_rtfRemMessage, m_cboCatagory, m_cboDelivery, m_chkDelMissedRem, m_chkNoRem,
        m_dtpReminders, m_DTPicker1, m_cboShowAs, m_chkOneByOne, m_panelShowHide };
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void frmReminder::FillChoiceLists()
{
    m_cboDelivery->addItems(Schedule::names());
    m_cboCatagory->addItems(Schedule::categoryNames());
    setCategory(0);
}

void frmReminder::setCategory(int category)
{
    if (m_cboCatagory->currentIndex() == category)
        categoryChanged(category);
    else
        m_cboCatagory->setCurrentIndex(category);
}

void frmReminder::categoryChanged(int category)
{
    if (category < 0)
        return;
    m_categoryButtons->actions().at(category)->setChecked(true);
    FillReminderList();
}

void frmReminder::FillReminderList()
{
    m_btnDel->setEnabled(false);
    m_chosenIndex = -1;
    m_chosenRecord.clear();
    m_rtfRemMessage->clear();
    m_model->refill(m_cboCatagory->currentIndex());
    if (m_model->rowCount() > 0) {
        m_btnDel->setEnabled(true);
        ShowReminderFields(0);
    }
}

void frmReminder::ShowReminderFields(int row)
{
    const QString record = m_list.record(m_model->recordIndex(row));
    if (record.isEmpty())
        return;
    m_dtpReminders->setDate(RecordDate(record));
    m_DTPicker1->setTime(RecordTime(record));
    m_cboDelivery->setCurrentIndex(RecordSchedule(record));
    m_rtfRemMessage->setPlainText(RecordMessagePreview(record));
}

void frmReminder::chooseRow(int row)
{
    const int index = m_model->recordIndex(row);
    if (index < 0)
        return;
    ShowReminderFields(row);
    m_btnDel->setEnabled(true);
    m_chosenIndex = index;
    m_chosenRecord = m_list.record(index);
}

void frmReminder::chooseRecord(const QString &record)
{
    const int index = int(m_list.records().indexOf(record));
    if (index < 0)
        return;
    setCategory(RecordCategory(record));
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->recordIndex(row) == index) {
            m_lvwRemDue->setCurrentIndex(m_model->index(row, 0));
            chooseRow(row);
            m_lvwRemDue->setFocus();
            return;
        }
    }
}

void frmReminder::resetEditor()
{
    m_rtfRemMessage->clear();
    m_cboDelivery->setCurrentIndex(Schedule::Once);
    setCategory(0);
}

void frmReminder::NewReminder()
{
    applyHeight(FullHeightTwips);
    m_cboDelivery->setCurrentIndex(Schedule::Once);
    setCategory(0);
    const QDateTime start = Schedule::NewReminderStart(Clock::now());
    m_dtpReminders->setDate(start.date());
    m_DTPicker1->setTime(start.time());
    m_rtfRemMessage->setPlainText(tr("New Reminder Message"));
    m_rtfRemMessage->selectAll();
    m_rtfRemMessage->setFocus();
}

void frmReminder::remindMe(const QDate &date, const QTime &time, const QString &text)
{
    NewReminder();
    if (date.isValid())
        m_dtpReminders->setDate(date);
    if (time.isValid())
        m_DTPicker1->setTime(time);
    if (!text.trimmed().isEmpty()) {
        m_rtfRemMessage->setPlainText(text);
        m_rtfRemMessage->selectAll();
    }
}

void frmReminder::AddReminder()
{
    if (!m_btnAdd->isEnabled())
        return;
    const QDate date = m_dtpReminders->date();
    const QTime time = m_DTPicker1->time();
    const int schedule = m_cboDelivery->currentIndex();
    const int category = m_cboCatagory->currentIndex();
    const QString message = m_rtfRemMessage->toPlainText();
    const std::optional<Message> refusal = m_list.AddReminder(date, time, schedule, category, message);
    if (!refusal)
        return;
    // The list may have refilled the editor meanwhile: a refused reminder stays there to be corrected.
    if (m_cboCatagory->currentIndex() != category)
        m_cboCatagory->setCurrentIndex(category);
    m_dtpReminders->setDate(date);
    m_DTPicker1->setTime(time);
    m_cboDelivery->setCurrentIndex(schedule);
    m_rtfRemMessage->setPlainText(message);
    Dialogs::show(*refusal, this);
}

void frmReminder::RemoveReminder()
{
    if (!m_btnDel->isEnabled() || m_chosenIndex < 0)
        return;
    m_list.RemoveReminder(m_chosenIndex, m_chosenRecord);
}

void frmReminder::Help()
{
    ShowHelpTopic(this, HelpContext, HelpTopic::Reminders);
}

namespace {

Dialogs::FileRequest icsRequest(Dialogs::FileRequest::Mode mode, const QString &title)
{
    return { mode, title, { frmReminder::tr("iCalendar File (*.ics)"), frmReminder::tr("All Files (*)") },
        QDir::home().filePath(QStringLiteral("reminders.ics")), 1, QString() };
}

Message outcomeMessage(const IcsTransfer::Outcome &outcome, const QString &title)
{
    return { outcome.ok ? Message::Icon::Information : Message::Icon::Exclamation, title, outcome.text };
}

} // namespace

void frmReminder::ExportReminders()
{
    QDate plansFrom;
    if (m_planSource && !askPlansFrom(&plansFrom))
        return;
    const auto choice = Dialogs::chooseFile(icsRequest(Dialogs::FileRequest::Mode::Save, tr("Export Reminders")), this);
    if (!choice)
        return;
    const QList<RemindersIcal::Appointment> plans
        = plansFrom.isValid() ? m_planSource(plansFrom) : QList<RemindersIcal::Appointment>();
    Dialogs::show(outcomeMessage(IcsTransfer::exportRecords(m_list.records(), choice->fileName, Clock::now(), plans),
                      tr("Quillory2: Export")),
        this);
}

// Whether the Planner's days go with the reminders, and from which day on (*from stays invalid when
// they do not). False when the user cancels.
bool frmReminder::askPlansFrom(QDate *from)
{
    auto *dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("dlgExport"));
    dialog->setWindowTitle(tr("Export Reminders"));
    auto *plans = new QCheckBox(tr("Also the &Planner's days from"), dialog);
    plans->setObjectName(QStringLiteral("chkExportPlans"));
    auto *first = new QDateEdit(Clock::now().date(), dialog);
    first->setObjectName(QStringLiteral("dtpExportPlansFrom"));
    first->setCalendarPopup(true);
    first->setEnabled(false);
    first->setAccessibleName(tr("First day of the Planner's days"));
    connect(plans, &QCheckBox::toggled, first, &QWidget::setEnabled);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    connect(buttons, &QDialogButtonBox::accepted, dialog, [=] {
        *from = plans->isChecked() ? first->date() : QDate();
        dialog->accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto *choice = new QHBoxLayout;
    choice->addWidget(plans);
    choice->addWidget(first);
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel(tr("Every reminder is exported."), dialog));
    layout->addLayout(choice);
    layout->addWidget(buttons);
    return Dialogs::runDialog(dialog) == std::optional<int>(QDialog::Accepted);
}

void frmReminder::ImportReminders()
{
    const auto choice = Dialogs::chooseFile(icsRequest(Dialogs::FileRequest::Mode::Open, tr("Import Reminders")), this);
    if (choice)
        Dialogs::show(
            outcomeMessage(IcsTransfer::importFile(m_list, choice->fileName, Clock::now()), tr("Quillory2: Import")),
            this);
}

void frmReminder::stepDate(int days)
{
    m_dtpReminders->setDate(m_dtpReminders->date().addDays(days));
}

void frmReminder::statusPanelClicked(int panel)
{
    if (panel == 1)
        applyHeight(m_heightTwips < ShowHideLimitTwips ? FullHeightTwips : ShortHeightTwips);
    Settings::saveCoordinate(Key::ReminderHeight, m_heightTwips);
}

void frmReminder::applyHeight(double twips)
{
    m_heightTwips = twips;
    m_lowerPanel->setVisible(twips >= ShowHideLimitTwips);
    layout()->activate(); // the smaller minimum height of a hidden panel applies at once
    resizeOuterTwips(this, QSizeF(WidthTwips, twips));
}

void frmReminder::closeEvent(QCloseEvent *event)
{
    savePlacement(this, Key::ReminderLeft, Key::ReminderTop);
    event->accept();
}

bool frmReminder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const int panel = watched == m_panelHelp ? 2
            : watched == m_panelTime             ? 3
            : watched == m_panelDate             ? 4
            : watched == m_panelCount            ? 5
                                                 : 0;
        if (panel > 0)
            statusPanelClicked(panel);
    } else if (event->type() == QEvent::MouseMove && watched == m_StatusBarRem) {
        // Over the status bar but outside its panels: where the pointer is, in twips.
        const QPoint pos = static_cast<QMouseEvent *>(event)->position().toPoint();
        m_panelHelp->setText(QStringLiteral("X:-> %1   Y:-> %2")
                                 .arg(qRound(pos.x() * TwipsPerPixel))
                                 .arg(qRound(pos.y() * TwipsPerPixel)));
    }
    return QWidget::eventFilter(watched, event);
}
