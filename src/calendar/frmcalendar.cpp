#include "calendar/frmcalendar.h"

#include "common/clock.h"
#include "common/settings.h"
#include "widgets/accessiblenames.h"
#include "widgets/windowhelpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTextCharFormat>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

constexpr int SnapDelayMs = 150; // a drag of the frame comes to rest before the window snaps

// The days the Planner keeps: the months shown and the days chosen stay within them.
const QDate FirstDay(2000, 1, 1);
const QDate LastDay(9999, 12, 31);

QDate firstOfMonth(const QDate &date)
{
    return QDate(date.year(), date.month(), 1);
}

int monthsBetween(const QDate &from, const QDate &to)
{
    return (to.year() - from.year()) * 12 + to.month() - from.month();
}

bool inRange(const QDate &date)
{
    return date.isValid() && date >= FirstDay && date <= LastDay;
}

QAbstractItemView *dayTable(const QCalendarWidget *calendar)
{
    return qobject_cast<QAbstractItemView *>(calendar->focusProxy());
}

// One month of the grid: a day with a reminder carries a dot in its top right corner.
class MonthCalendar final : public QCalendarWidget
{
public:
    explicit MonthCalendar(const DayMarks &marks)
        : m_marks(marks)
    { }

protected:
    void paintCell(QPainter *painter, const QRect &rect, QDate date) const override
    {
        QCalendarWidget::paintCell(painter, rect, date);
        if (date < minimumDate() || date > maximumDate() || m_marks.value(date).reminders == 0)
            return;
        const int radius = std::max(2, rect.height() / 8);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().color(date == selectedDate() ? QPalette::HighlightedText : QPalette::Highlight));
        painter->drawEllipse(QPoint(rect.right() - radius - 1, rect.top() + radius + 1), radius, radius);
        painter->restore();
    }

private:
    const DayMarks &m_marks;
};

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
    m_value = qBound(FirstDay, Clock::now().date(), LastDay);
    m_first = firstOfMonth(m_value);
    if (!setGrid(Settings::readInteger(Key::CalendarColumns), Settings::readInteger(Key::CalendarRows)))
        setGrid(3, 2);
    Form_Resize(); // a grid stored on a bigger screen is narrowed to this one
    restorePlacement(this, Key::CalendarLeft, Key::CalendarTop);
    bindKeepOnTop(m_chkOnTop, this, Key::CalendarOnTop);

    m_snapTimer.setSingleShot(true);
    m_snapTimer.setInterval(SnapDelayMs);
    connect(&m_snapTimer, &QTimer::timeout, this, &frmCalendar::Form_Resize);
    m_midnightTimer.setSingleShot(true);
    m_midnightTimer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire an hour early over a day
    connect(&m_midnightTimer, &QTimer::timeout, this, &frmCalendar::tmrMidnight_Timer);
    armMidnightTimer();
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
    auto *calendar = new MonthCalendar(m_marks);
    calendar->setObjectName(QStringLiteral("month%1").arg(index));
    calendar->setNavigationBarVisible(false);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    if (QWidget *days = calendar->focusProxy())
        days->installEventFilter(this);
    connect(calendar, &QCalendarWidget::clicked, this, &frmCalendar::MonthView2_DateClick);
    connect(calendar, &QCalendarWidget::activated, this, &frmCalendar::MonthView2_DateClick);
    connect(calendar, &QCalendarWidget::selectionChanged, this, [this, calendar] { describeChosenDay(calendar); });
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
    showMonthsFrom(m_first);

    // The layout keeps the rows and columns of a bigger grid it had: those get no room either.
    m_monthSize = m_grid->itemAtPosition(0, 0)->widget()->sizeHint();
    for (int r = 0; r < m_grid->rowCount(); ++r)
        m_grid->setRowMinimumHeight(r, r < m_rows ? m_monthSize.height() : 0);
    for (int c = 0; c < m_grid->columnCount(); ++c)
        m_grid->setColumnMinimumWidth(c, c < m_columns ? m_monthSize.width() : 0);
    m_MonthView2->setFixedSize(m_columns * m_monthSize.width(), m_rows * m_monthSize.height());
    m_picCalendar->setFixedSize(m_MonthView2->size());
    fitWindowToGrid();
}

void frmCalendar::refreshMonths()
{
    const QLocale locale;
    for (int i = 0; i < m_months.size(); ++i) {
        QCalendarWidget *calendar = m_months.at(i);
        const QDate first = m_first.addMonths(i);
        const QString title = locale.toString(first, QStringLiteral("MMMM yyyy"));
        m_titles.at(i)->setText(title);
        calendar->setAccessibleName(title);
        dayTable(calendar)->setAccessibleName(title);
        // Each month shows only its own days; the one that holds the value shows it chosen.
        calendar->setDateRange(first, first.addMonths(1).addDays(-1));
        calendar->setSelectedDate(firstOfMonth(m_value) == first ? m_value : first);
        calendar->setCurrentPage(first.year(), first.month());
    }
    refreshMarks();
    for (QCalendarWidget *calendar : std::as_const(m_months))
        showSelection(calendar);
    m_previous->setEnabled(m_first > FirstDay);
    m_next->setEnabled(m_first.addMonths(int(m_months.size())) <= LastDay);
}

// Today is bold and underlined, a day with plans bold; the hover lists what the day holds, and each
// month tells a screen reader its marked days (the day cells themselves carry no description).
void frmCalendar::markDays()
{
    const QDate today = Clock::now().date();
    const QLocale locale;
    for (int i = 0; i < m_months.size(); ++i) {
        QCalendarWidget *calendar = m_months.at(i);
        calendar->setDateTextFormat(QDate(), QTextCharFormat());
        QStringList marked;
        const QDate first = m_first.addMonths(i);
        for (QDate day = first; day.month() == first.month(); day = day.addDays(1)) {
            const DayMark mark = m_marks.value(day);
            if (mark.isEmpty() && day != today)
                continue;
            QTextCharFormat format;
            if (mark.plans > 0 || day == today)
                format.setFontWeight(QFont::Bold);
            format.setFontUnderline(day == today);
            format.setToolTip(mark.toolTip());
            calendar->setDateTextFormat(day, format);
            if (!mark.isEmpty())
                marked << locale.toString(day, QStringLiteral("d MMMM: ")) + mark.description();
        }
        calendar->setAccessibleDescription(marked.join(QStringLiteral("; ")));
        describeChosenDay(calendar);
    }
}

void frmCalendar::describeChosenDay(QCalendarWidget *calendar)
{
    dayTable(calendar)->setAccessibleDescription(m_marks.value(calendar->selectedDate()).description());
}

void frmCalendar::setMarkSource(MarkSource source)
{
    m_markSource = std::move(source);
    refreshMarks();
}

void frmCalendar::refreshMarks()
{
    m_marks = m_markSource ? m_markSource(m_first, lastShownDay()) : DayMarks();
    markDays();
}

// The chosen day shows in the month that holds the value, and the keyboard's day in the month that has
// the focus. Only that month keeps a current cell, so that a screen reader hears of one focused day.
void frmCalendar::showSelection(QCalendarWidget *calendar)
{
    QAbstractItemView *days = dayTable(calendar);
    const bool focused = days->hasFocus();
    if (!focused)
        days->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    else if (!days->currentIndex().isValid())
        calendar->setSelectedDate(calendar->selectedDate()); // gives the chosen day its cell back

    const bool shown = focused || firstOfMonth(m_value) == calendar->minimumDate();
    const QPalette standard = QApplication::palette(calendar);
    QPalette palette = calendar->palette();
    palette.setColor(QPalette::Highlight, standard.color(shown ? QPalette::Highlight : QPalette::Base));
    palette.setColor(QPalette::HighlightedText, standard.color(shown ? QPalette::HighlightedText : QPalette::Text));
    calendar->setPalette(palette);
}

void frmCalendar::showMonthsFrom(const QDate &firstMonth)
{
    if (!firstMonth.isValid())
        return;
    const QDate lastFirst = firstOfMonth(LastDay).addMonths(1 - m_columns * m_rows);
    m_first = qBound(FirstDay, firstOfMonth(firstMonth), lastFirst);
    refreshMonths();
}

void frmCalendar::setValue(const QDate &date)
{
    if (!inRange(date))
        return;
    m_value = date;
    const int offset = monthsBetween(m_first, date);
    showMonthsFrom(offset < 0 || offset >= m_columns * m_rows ? date : m_first);
}

QString frmCalendar::distanceText(const QDate &today, const QDate &day)
{
    const qint64 days = today.daysTo(day);
    return days == 0 ? QString() : QString::number(days) + tr(" days from today");
}

void frmCalendar::MonthView2_DateClick(const QDate &date)
{
    if (!inRange(date))
        return;
    m_refused = false;
    Q_EMIT dayClicked(date);
    if (m_refused) {
        refreshMonths(); // the clicked month lets go of the day again
        return;
    }
    setValue(date);
    m_panel2->setText(distanceText(Clock::now().date(), date));
}

// The keyboard's day crosses into the neighbouring month, which the grid scrolls to when it is not shown.
bool frmCalendar::moveKeyboardDay(QCalendarWidget *calendar, int days)
{
    const QDate from = calendar->selectedDate();
    const QDate to = from.addDays(days);
    if (firstOfMonth(to) == firstOfMonth(from))
        return false; // within the month the day table moves by itself
    if (!inRange(to))
        return true;
    if (const int index = monthsBetween(m_first, to); index < 0 || index >= m_months.size())
        showMonthsFrom(m_first.addMonths(index < 0 ? -1 : 1));
    QCalendarWidget *target = m_months.at(monthsBetween(m_first, to));
    target->setSelectedDate(to);
    target->setFocus(Qt::OtherFocusReason);
    return true;
}

QSize frmCalendar::screenRoom() const
{
    const QSize frame = frameGeometry().size() - size();
    return screen()->availableGeometry().size() - frame - QSize(0, m_StatusBarCal->sizeHint().height());
}

// The window is the grid plus the status bar; the counts follow the size the user gave it, as far as
// the screen's free area holds them.
void frmCalendar::Form_Resize()
{
    if (m_monthSize.isEmpty())
        return;
    const QSize room = screenRoom();
    const int gridHeight = height() - m_StatusBarCal->sizeHint().height();
    const int columns = std::min(
        int(std::nearbyint(double(width()) / m_monthSize.width())), std::max(1, room.width() / m_monthSize.width()));
    const int rows = std::min(int(std::nearbyint(double(gridHeight) / m_monthSize.height())),
        std::max(1, room.height() / m_monthSize.height()));
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
    const Qt::WindowStates filling = Qt::WindowMaximized | Qt::WindowFullScreen;
    const bool filled = windowState() & filling;
    if (this->size() == size && !filled)
        return;
    // A window grown at the edge of the screen, or taken out of its maximised state, stays on the screen.
    const QRect free = screen()->availableGeometry();
    const QSize outer = size + frameGeometry().size() - this->size();
    const QPoint place(
        std::min(pos().x(), free.right() + 1 - outer.width()), std::min(pos().y(), free.bottom() + 1 - outer.height()));
    m_fitting = true;
    setWindowState(windowState() & ~filling);
    resize(size);
    // Straight to the desktop: the widget may still hold the place it had maximised, and the desktop
    // puts back the place it had before.
    if (isVisible() && windowHandle() && (filled || place != pos()))
        windowHandle()->setFramePosition(place);
    m_fitting = false;
}

void frmCalendar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_fitting)
        m_snapTimer.start();
}

void frmCalendar::armMidnightTimer()
{
    const QDateTime now = Clock::now();
    const qint64 toMidnight = now.msecsTo(QDateTime(now.date().addDays(1), QTime(0, 0)));
    m_midnightTimer.start(int(std::clamp<qint64>(toMidnight, 1, 25 * 3600 * 1000)));
}

void frmCalendar::tmrMidnight_Timer()
{
    refreshMarks(); // a reminder delivered late moves on from the new day
    armMidnightTimer();
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
    auto *calendar = watched->parent() ? qobject_cast<QCalendarWidget *>(watched->parent()) : nullptr;
    if (!calendar)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        showSelection(calendar);
    } else if (event->type() == QEvent::KeyPress) {
        const auto *press = static_cast<QKeyEvent *>(event);
        const int ahead = calendar->isRightToLeft() ? -1 : 1;
        const bool plain = (press->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        switch (press->key()) {
        case Qt::Key_PageUp: // Page Up and Page Down move the whole grid by a month, as the arrows do
        case Qt::Key_PageDown: showMonthsFrom(m_first.addMonths(press->key() == Qt::Key_PageUp ? -1 : 1)); return true;
        case Qt::Key_Left: return plain && moveKeyboardDay(calendar, -ahead);
        case Qt::Key_Right: return plain && moveKeyboardDay(calendar, ahead);
        case Qt::Key_Up: return plain && moveKeyboardDay(calendar, -7);
        case Qt::Key_Down: return plain && moveKeyboardDay(calendar, 7);
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
