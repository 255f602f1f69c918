#include "calendar/frmcalendar.h"

#include "common/clock.h"
#include "common/settings.h"
#include "widgets/accessiblenames.h"
#include "widgets/windowhelpers.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

constexpr int SnapDelayMs = 150; // a drag of the frame comes to rest before the window snaps

QDate firstOfMonth(const QDate &date)
{
    return QDate(date.year(), date.month(), 1);
}

} // namespace

frmCalendar::frmCalendar(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmCalendar"));
    setWindowTitle(tr("Quillory Calendar"));

    m_picCalendar = new QWidget;
    m_picCalendar->setObjectName(QStringLiteral("picCalendar"));
    m_MonthView2 = new QWidget(m_picCalendar);
    m_MonthView2->setObjectName(QStringLiteral("MonthView2"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(font().pointSizeF());
    m_MonthView2->setFont(arial);
    m_grid = new QGridLayout(m_MonthView2);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setSpacing(0);

    m_StatusBarCal = new QStatusBar;
    m_StatusBarCal->setObjectName(QStringLiteral("StatusBarCal"));
    m_StatusBarCal->setSizeGripEnabled(false);
    m_chkOnTop = new QCheckBox;
    m_chkOnTop->setObjectName(QStringLiteral("chkOnTop"));
    m_chkOnTop->setToolTip(tr("Keep on top"));
    nameFromToolTip(m_chkOnTop);
    m_panel2 = new QLabel;
    m_panel2->setObjectName(QStringLiteral("panel2"));
    m_StatusBarCal->addPermanentWidget(m_chkOnTop);
    m_StatusBarCal->addPermanentWidget(m_panel2, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->addWidget(m_picCalendar, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_StatusBarCal);

    // Load: the grid, today, the place, then "Keep on top".
    m_value = Clock::now().date();
    m_first = firstOfMonth(m_value);
    if (!setGrid(Settings::readInteger(Key::CalendarColumns), Settings::readInteger(Key::CalendarRows)))
        setGrid(3, 2);
    restorePlacement(this, Key::CalendarLeft, Key::CalendarTop);
    bindKeepOnTop(m_chkOnTop, this, Key::CalendarOnTop);

    m_snapTimer.setSingleShot(true);
    m_snapTimer.setInterval(SnapDelayMs);
    connect(&m_snapTimer, &QTimer::timeout, this, &frmCalendar::Form_Resize);
}

QWidget *frmCalendar::makeMonth(int index)
{
    auto *month = new QWidget;
    auto *column = new QVBoxLayout(month);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(1);
    auto *title = new QLabel;
    title->setObjectName(QStringLiteral("lblMonth%1").arg(index));
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto *calendar = new QCalendarWidget;
    calendar->setObjectName(QStringLiteral("month%1").arg(index));
    calendar->setNavigationBarVisible(false);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    if (QWidget *days = calendar->focusProxy())
        days->installEventFilter(this);
    connect(calendar, &QCalendarWidget::clicked, this, &frmCalendar::MonthView2_DateClick);
    connect(calendar, &QCalendarWidget::activated, this, &frmCalendar::MonthView2_DateClick);
    column->addWidget(title);
    column->addWidget(calendar);
    m_titles.append(title);
    m_months.append(calendar);
    return month;
}

bool frmCalendar::isGridTaken(int columns, int rows)
{
    return columns >= 1 && rows >= 1 && columns * rows <= MaxMonths;
}

bool frmCalendar::setGrid(int columns, int rows)
{
    if (!isGridTaken(columns, rows))
        return false;
    m_columns = columns;
    m_rows = rows;
    rebuild();
    return true;
}

void frmCalendar::rebuild()
{
    while (QLayoutItem *item = m_grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_titles.clear();
    m_months.clear();
    m_previous = m_next = nullptr;
    for (int i = 0; i < m_columns * m_rows; ++i)
        m_grid->addWidget(makeMonth(i), i / m_columns, i % m_columns);

    // The arrows of the first and the last month of the top row move the grid by one month.
    const auto arrow = [this](Qt::ArrowType type, const QString &tip, int months) {
        auto *button = new QToolButton;
        button->setObjectName(months < 0 ? QStringLiteral("btnPrevious") : QStringLiteral("btnNext"));
        button->setArrowType(type);
        button->setAutoRaise(true);
        button->setToolTip(tip);
        nameFromToolTip(button);
        connect(button, &QToolButton::clicked, this, [this, months] { showMonthsFrom(m_first.addMonths(months)); });
        return button;
    };
    m_previous = arrow(Qt::LeftArrow, tr("Previous month (Page Up)"), -1);
    m_next = arrow(Qt::RightArrow, tr("Next month (Page Down)"), 1);
    m_grid->addWidget(m_previous, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    m_grid->addWidget(m_next, 0, m_columns - 1, Qt::AlignRight | Qt::AlignTop);
    refreshMonths();

    m_monthSize = m_grid->itemAtPosition(0, 0)->widget()->sizeHint();
    for (int r = 0; r < m_rows; ++r)
        m_grid->setRowMinimumHeight(r, m_monthSize.height());
    for (int c = 0; c < m_columns; ++c)
        m_grid->setColumnMinimumWidth(c, m_monthSize.width());
    m_MonthView2->setFixedSize(m_columns * m_monthSize.width(), m_rows * m_monthSize.height());
    m_picCalendar->setFixedSize(m_MonthView2->size());
    fitWindowToGrid();
}

void frmCalendar::refreshMonths()
{
    const QLocale locale;
    QTextCharFormat todayFormat;
    todayFormat.setFontWeight(QFont::Bold);
    todayFormat.setFontUnderline(true);
    const QDate today = Clock::now().date();
    for (int i = 0; i < m_months.size(); ++i) {
        QCalendarWidget *calendar = m_months.at(i);
        const QDate first = m_first.addMonths(i);
        const QString title = locale.toString(first, QStringLiteral("MMMM yyyy"));
        m_titles.at(i)->setText(title);
        calendar->setAccessibleName(title);
        if (QWidget *days = calendar->focusProxy())
            days->setAccessibleName(title);
        calendar->setDateTextFormat(QDate(), QTextCharFormat());
        calendar->setDateTextFormat(today, todayFormat);
        // Each month shows only its own days; the one that holds the value shows it chosen.
        calendar->setDateRange(first, first.addMonths(1).addDays(-1));
        const bool holdsValue = firstOfMonth(m_value) == first;
        calendar->setSelectedDate(holdsValue ? m_value : first);
        QPalette palette = calendar->palette();
        const QPalette standard = QApplication::palette(calendar);
        palette.setColor(
            QPalette::Highlight, holdsValue ? standard.color(QPalette::Highlight) : standard.color(QPalette::Base));
        palette.setColor(QPalette::HighlightedText,
            holdsValue ? standard.color(QPalette::HighlightedText) : standard.color(QPalette::Text));
        calendar->setPalette(palette);
        calendar->setCurrentPage(first.year(), first.month());
    }
}

void frmCalendar::showMonthsFrom(const QDate &firstMonth)
{
    if (!firstMonth.isValid())
        return;
    m_first = firstOfMonth(firstMonth);
    refreshMonths();
}

void frmCalendar::setValue(const QDate &date)
{
    if (!date.isValid())
        return;
    m_value = date;
    const int offset = (date.year() - m_first.year()) * 12 + date.month() - m_first.month();
    if (offset < 0 || offset >= m_columns * m_rows)
        m_first = firstOfMonth(date);
    refreshMonths();
}

QString frmCalendar::distanceText(const QDate &today, const QDate &day)
{
    const qint64 days = today.daysTo(day);
    return days == 0 ? QString() : QString::number(days) + tr(" days from today");
}

void frmCalendar::MonthView2_DateClick(const QDate &date)
{
    setValue(date);
    m_panel2->setText(distanceText(Clock::now().date(), date));
    Q_EMIT dayClicked(date);
}

// The window is the grid plus the status bar; the counts follow the size the user gave it.
void frmCalendar::Form_Resize()
{
    if (m_monthSize.isEmpty())
        return;
    const int gridHeight = height() - m_StatusBarCal->sizeHint().height();
    const int columns = int(std::nearbyint(double(width()) / m_monthSize.width()));
    const int rows = int(std::nearbyint(double(gridHeight) / m_monthSize.height()));
    // A count the grid does not take leaves its previous count.
    const int newColumns = isGridTaken(columns, m_rows) ? columns : m_columns;
    const int newRows = isGridTaken(newColumns, rows) ? rows : m_rows;
    if (newColumns == m_columns && newRows == m_rows)
        fitWindowToGrid();
    else
        setGrid(newColumns, newRows);
}

void frmCalendar::fitWindowToGrid()
{
    const QSize size(m_picCalendar->width(), m_picCalendar->height() + m_StatusBarCal->sizeHint().height());
    if (this->size() == size)
        return;
    m_fitting = true;
    resize(size);
    m_fitting = false;
}

void frmCalendar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_fitting)
        m_snapTimer.start();
}

void frmCalendar::closeEvent(QCloseEvent *event)
{
    Settings::saveInteger(Key::CalendarColumns, m_columns);
    Settings::saveInteger(Key::CalendarRows, m_rows);
    savePlacement(this, Key::CalendarLeft, Key::CalendarTop);
    saveKeepOnTop(m_chkOnTop, Key::CalendarOnTop);
    event->accept();
}

bool frmCalendar::eventFilter(QObject *watched, QEvent *event)
{
    // Page Up and Page Down move the whole grid by a month, as the arrows do.
    const auto *calendar = watched->parent() ? qobject_cast<QCalendarWidget *>(watched->parent()) : nullptr;
    if (event->type() == QEvent::KeyPress && calendar) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            showMonthsFrom(m_first.addMonths(key == Qt::Key_PageUp ? -1 : 1));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
