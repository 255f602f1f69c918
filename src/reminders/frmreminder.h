#pragma once

#include "reminders/remindersical.h"

#include <QString>
#include <QWidget>
#include <functional>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QDate;
class QDateEdit;
class QGroupBox;
class QLabel;
class QStatusBar;
class QTextEdit;
class QTime;
class QTimeEdit;
class QToolBar;
class QToolButton;
class QTreeView;
class ReminderList;
class ReminderListModel;
class RolloverHints;

// The Reminders window: browse the reminders of one category, create and remove reminders.
// It is a view onto the main window's reminder list, which outlives it: closing the window
// closes only the view.
class frmReminder final : public QWidget
{
    Q_OBJECT

public:
    static constexpr double WidthTwips = 7660;
    static constexpr double FullHeightTwips = 6200; // lower panel shown
    static constexpr double ShortHeightTwips = 4400; // lower panel hidden
    static constexpr double ShowHideLimitTwips = 5000;

    explicit frmReminder(ReminderList &list, QWidget *parent = nullptr);

    // The commands of the tlbCalR toolbar.
    void NewReminder();
    void AddReminder();
    void RemoveReminder();
    void Help();
    // Every reminder to an iCalendar file, and the events of one in as reminders (with a report).
    // With a plan source the export offers the Planner's days from a chosen day on too.
    void ExportReminders();
    using PlanSource = std::function<QList<RemindersIcal::Appointment>(const QDate &from)>;
    void setPlanSource(PlanSource source) { m_planSource = std::move(source); }
    void ImportReminders();

    // "Remind me" from another tool: New with the text (and the date and time, where valid) filled
    // in; nothing is stored until the user presses Add.
    void remindMe(const QDate &date, const QTime &time, const QString &text);

    void FillReminderList();
    // A reminder chosen elsewhere (a bell in the Planner): its category shown, its row chosen.
    void chooseRecord(const QString &record);
    void ShowReminderFields(int row);
    // A status bar panel clicked: Show/Hide toggles the lower panel; every click stores the height.
    void statusPanelClicked(int panel);

    double heightTwips() const { return m_heightTwips; }
    int chosenIndex() const { return m_chosenIndex; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildToolbars();
    QWidget *buildLowerPanel();
    QWidget *buildShowAs();
    QStatusBar *buildStatusBar();
    void attachHints();
    void setKeyboardOrder();
    void FillChoiceLists();
    void setCategory(int category);
    void categoryChanged(int category);
    void chooseRow(int row);
    void resetEditor();
    void applyHeight(double twips);
    void stepDate(int days);
    bool askPlansFrom(QDate *from);

    ReminderList &m_list;
    ReminderListModel *m_model = nullptr;
    RolloverHints *m_hints = nullptr;

    QToolBar *m_Toolbar1 = nullptr;
    QActionGroup *m_categoryButtons = nullptr;
    QToolBar *m_tlbCalR = nullptr;
    QAction *m_btnNew = nullptr;
    QAction *m_btnAdd = nullptr;
    QAction *m_btnDel = nullptr;
    QAction *m_btnHelp = nullptr;
    QAction *m_btnExport = nullptr;
    QAction *m_btnImport = nullptr;
    QTreeView *m_lvwRemDue = nullptr;
    QWidget *m_lowerPanel = nullptr;
    QTextEdit *m_rtfRemMessage = nullptr;
    QGroupBox *m_fraCatagory = nullptr;
    QComboBox *m_cboCatagory = nullptr;
    QGroupBox *m_fraSchedule = nullptr;
    QComboBox *m_cboDelivery = nullptr;
    QGroupBox *m_fraDelivery = nullptr;
    QCheckBox *m_chkDelMissedRem = nullptr;
    QCheckBox *m_chkNoRem = nullptr;
    QGroupBox *m_fraShowAs = nullptr;
    QComboBox *m_cboShowAs = nullptr;
    QCheckBox *m_chkOneByOne = nullptr;
    QGroupBox *m_fraDate = nullptr;
    QDateEdit *m_dtpReminders = nullptr;
    QWidget *m_updDate = nullptr;
    QGroupBox *m_fraTime = nullptr;
    QTimeEdit *m_DTPicker1 = nullptr;
    QStatusBar *m_StatusBarRem = nullptr;
    QToolButton *m_panelShowHide = nullptr;
    QLabel *m_panelHelp = nullptr;
    QLabel *m_panelTime = nullptr;
    QLabel *m_panelDate = nullptr;
    QLabel *m_panelCount = nullptr;

    double m_heightTwips = FullHeightTwips;
    int m_chosenIndex = -1; // the record the user chose since the last refill, or -1
    QString m_chosenRecord;
    PlanSource m_planSource;
};
