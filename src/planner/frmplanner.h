#pragma once

#include "common/message.h"
#include "planner/planday.h"

#include <QDate>
#include <QList>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class FileWatch;
class PlanPurge;
class QAction;
class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QScrollBar;
class QStatusBar;
class QToolBar;
class QToolButton;
class RolloverHints;

// The Planner window: one day at a time as a column of time slots (a time, a done box and the
// appointment), stored in the day's file a moment after the user stops typing, when the day is left
// and when the window closes. A day that cannot be stored is not left (nor the window closed) until
// the user says so; with nobody to ask, it is kept aside in a copy. The reminders of the shown day sit
// read-only at their slots as bells, from a source the wiring sets; a bell pressed asks for its reminder.
class frmPlanner final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int VisibleRows = 17;
    static constexpr int RowTwips = 300; // the scroll bar counts in twips: one row is 300
    static constexpr int SaveDelayMs = 2000; // the day is stored this long after the last edit

    explicit frmPlanner(QWidget *parent = nullptr);
    ~frmPlanner() override;

    QDate shownDate() const { return m_shown; }
    int interval() const { return m_interval; }
    int slotCount() const { return int(m_txtPlanItem.size()); }
    bool isPurging() const { return bool(m_purge); }

    // Stores the day being left, then shows the date now in dtpPlanner. Refused (the picker goes back)
    // while a purge runs, and when the day cannot be stored and the user keeps it on screen.
    void Date_Change();
    // Moves to a day as the Calendar does: the picker takes it, then Date_Change.
    void showDay(const QDate &day);

    void purge(); // the Purge button: asks, then deletes the stored days up to the shown one
    void chooseInterval(int interval); // an interval option chosen by the user
    void stepDay(int days); // the arrows

    static QString slotTimeText(int minutes); // "h:mm AM"

    // Shows the day with the focus in the slot that holds the time.
    void showSlot(const QDate &day, const QTime &time);
    // "Remind me" on a slot (its context menu, Ctrl+R): asks for a new reminder at the slot's time.
    void remindMe(int row);

    // The entries of the shown day as they are on screen, stored or not.
    QList<PlanDay::Entry> shownEntries() const { return PlanDay::entriesOf(currentDay()); }

    struct SlotReminder
    {
        QTime time;
        QString message;
        QString key; // handed back by reminderChosen
    };
    using ReminderSource = std::function<QList<SlotReminder>(const QDate &day)>;
    void setReminderSource(ReminderSource source);
    void showReminders(); // the source asked again for the shown day

    // The save after the user stopped typing; a failure is told once and keeps everything on screen.
    void tmrSave_Timer();
    bool isSavePending() const { return m_saveTimer.isActive(); }

Q_SIGNALS:
    void dayShown(const QDate &day); // after every change of day (the Calendar follows it)
    void remindMeRequested(const QDate &day, const QTime &time, const QString &text);
    void entriesChanged(const QDate &day); // the user typed or ticked in the shown day
    void daysPurged();
    void reminderChosen(const QString &key); // a bell pressed: its first reminder

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolBar *buildToolbar();
    QWidget *buildSlotArea();
    QWidget *buildChoices();
    QStatusBar *buildStatusBar();
    void attachHints();

    void PlanBuildSlots();
    void PlanClearDay();
    void addRow(int row);
    void addBell(int row, const QList<SlotReminder> &reminders);
    void setKeyboardOrder();
    void setInterval(int interval);
    void scrollTo(int twips);
    void scrollSnap(int twips);
    void keepRowInView(QWidget *focused);

    PlanDay::Day currentDay() const;
    bool dayHasContent() const;
    void loadShownDay();
    void showEntries(const PlanDay::Day &day);
    bool takeChangesFromDisk();
    void takeConflictCopies();
    bool storeShownDay(QString *reason);
    void dayEdited();
    bool leaveShownDay();
    Message leaveQuestion(const QString &reason) const;
    void setPickerDate(const QDate &date);

    void purgeStep();
    void setDayControlsEnabled(bool enabled);
    void finishPurge(bool tell);

    int m_interval = PlanDay::DefaultInterval;
    QDate m_shown;
    bool m_shownUnreadable = false; // its file could not be read: it is not written over
    bool m_settingDate = false;
    bool m_edited = false; // the user changed the shown day since it was read or stored
    bool m_saveFailureTold = false;
    QTimer m_saveTimer;
    PlanDay::Day m_base; // the day as its file held it when last read or stored
    FileWatch *m_watch = nullptr; // the shown day's file
    QStringList m_takenCopies; // conflict copies whose slots the screen holds: removed once it is stored
    int m_scrollTwips = 0;
    std::unique_ptr<PlanPurge> m_purge;
    bool m_closeAfterPurge = false;
    QTimer m_purgeTimer;
    QMetaObject::Connection m_focusFollower;

    QLabel *m_lblPlnTm = nullptr;
    QLabel *m_lblPlnDsc = nullptr;
    QToolBar *m_Toolbar1 = nullptr;
    QAction *m_btnPurge = nullptr;
    QAction *m_btnHelp = nullptr;
    QWidget *m_picPlnMain = nullptr;
    QWidget *m_picPlanner = nullptr;
    QScrollBar *m_scrPlanner = nullptr;
    QList<QLabel *> m_lblPlanTime;
    QList<QCheckBox *> m_chkPlan;
    QList<QLineEdit *> m_txtPlanItem;
    std::array<QRadioButton *, PlanDay::IntervalCount> m_optTime {};
    QButtonGroup *m_intervals = nullptr;
    QLabel *m_lblPlannerDate = nullptr;
    QDateEdit *m_dtpPlanner = nullptr;
    QWidget *m_updDate = nullptr;
    QToolButton *m_dayBack = nullptr;
    QToolButton *m_dayForward = nullptr;
    QProgressBar *m_ProgressBar1 = nullptr;
    QStatusBar *m_StatusBarRem = nullptr;
    std::array<QLabel *, 5> m_panels {};
    RolloverHints *m_hints = nullptr;
    ReminderSource m_reminderSource;
    QList<QToolButton *> m_bells;
    int m_rowHeight = 20;
    int m_timeWidth = 57;
};
