#pragma once

#include "calendar/daymark.h"

#include <QDate>
#include <QList>
#include <QTimer>
#include <QWidget>
#include <functional>

class QCalendarWidget;
class QCheckBox;
class QGridLayout;
class QLabel;
class QStatusBar;
class QToolButton;

// The Calendar window: a grid of months (columns x rows). A day clicked tells how far it is from
// today and moves the Planner there (dayClicked); the Planner sets the shown day back with setValue,
// and the wiring calls refuseDay when the Planner would not take the day. The months stay within the
// days the Planner keeps (1 January 2000 to 31 December 9999). Resizing the window changes how many
// months it shows, and the window snaps to the grid within the screen. The days with plans are drawn
// bold and the days with reminders carry a dot; the marks come from a source the wiring sets, asked once
// for all the months shown whenever they change (refreshMarks when the plans or reminders change).
class frmCalendar final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaxMonths = 12; // the most months the grid shows at once

    explicit frmCalendar(QWidget *parent = nullptr);

    QDate value() const { return m_value; }
    // The shown day set from outside (the Planner): no day click, the status bar stays.
    void setValue(const QDate &date);
    // A day chosen in the grid (click, or Enter on a day): dayClicked, then the distance text unless
    // the day was refused meanwhile.
    void MonthView2_DateClick(const QDate &date);
    // Called while dayClicked is handled: the day was not taken, the grid keeps the value it had.
    void refuseDay() { m_refused = true; }

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    QDate firstMonth() const { return m_first; }
    // False (nothing changes) for counts the grid does not take.
    bool setGrid(int columns, int rows);
    static bool isGridTaken(int columns, int rows);
    void showMonthsFrom(const QDate &firstMonth);
    // The snapping of a resize: the counts that fit the window's size and the screen, then the window
    // fits the grid.
    void Form_Resize();
    QSize monthSize() const { return m_monthSize; }
    // At midnight today's mark moves to the new day; the timer is armed again for the next one.
    void tmrMidnight_Timer();

    static QString distanceText(const QDate &today, const QDate &day); // "N days from today", or empty

    // The marks of the days from first to last (the months shown).
    using MarkSource = std::function<DayMarks(const QDate &first, const QDate &last)>;
    void setMarkSource(MarkSource source);
    void refreshMarks();
    QDate lastShownDay() const { return m_first.addMonths(int(m_months.size())).addDays(-1); }

Q_SIGNALS:
    void dayClicked(const QDate &date);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makeMonth(int index);
    void rebuild();
    void refreshMonths();
    void markDays();
    void describeChosenDay(QCalendarWidget *calendar);
    void showSelection(QCalendarWidget *calendar);
    bool moveKeyboardDay(QCalendarWidget *calendar, int days);
    QSize screenRoom() const;
    void fitWindowToGrid();
    void armMidnightTimer();

    QDate m_value;
    QDate m_first; // the first day of the first month shown
    int m_columns = 3;
    int m_rows = 2;
    QSize m_monthSize;
    bool m_fitting = false;
    bool m_refused = false;
    MarkSource m_markSource;
    DayMarks m_marks;
    QTimer m_snapTimer;
    QTimer m_midnightTimer;

    QWidget *m_picCalendar = nullptr;
    QWidget *m_MonthView2 = nullptr;
    QGridLayout *m_grid = nullptr;
    QList<QLabel *> m_titles;
    QList<QCalendarWidget *> m_months;
    QToolButton *m_previous = nullptr;
    QToolButton *m_next = nullptr;
    QStatusBar *m_StatusBarCal = nullptr;
    QLabel *m_panel2 = nullptr;
    QCheckBox *m_chkOnTop = nullptr;
};
