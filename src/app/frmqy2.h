#pragma once

#include "app/systray.h"
#include "app/windowopener.h"
#include "reminders/reminderdelivery.h"
#include "reminders/reminderlist.h"

#include <QTimer>
#include <QVariant>
#include <QWidget>

class DesktopNotifications;
class WakeWatcher;

// The hidden main window. It lives for the whole run and owns the tray icon, the reminder timer,
// the two pop-up menu settings and the window opener. Form_Load() is the start-up sequence,
// unload() the shutdown sequence (run once, whatever ends the program: Exit, a signal, logout).
class frmQY2 final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QVariant AutoPopUpMenu READ autoPopUpMenu WRITE setAutoPopUpMenu)
    Q_PROPERTY(qint16 PopUpDelay READ popUpDelay WRITE setPopUpDelay)

public:
    static constexpr int RemTimerInterval = 5000;
    static constexpr int TrayWaitMs = 3000;
    static constexpr int SettleMs = 1000; // after the start-up, freed heap goes back to the system

    explicit frmQY2(QWidget *parent = nullptr);
    ~frmQY2() override;

    // The text read from the store, or the 0/1 the Options dialog applied; on only when it is 1.
    QVariant autoPopUpMenu() const { return m_autoPopUpMenu; }
    void setAutoPopUpMenu(const QVariant &value);
    bool isAutoPopUpOn() const;

    qint16 popUpDelay() const { return m_popUpDelay; }
    void setPopUpDelay(qint16 ticks) { m_popUpDelay = ticks; }

    WindowOpener &opener() { return m_opener; }
    SysTray &sysTray() { return m_sysTray; }
    QTimer &remTimer() { return m_remTimer; }
    // The reminder list and its delivery, loaded once at start-up; the Reminders window views it.
    ReminderList &reminders() { return m_reminders; }
    // How due reminders reach the user: box, desktop notification, the list of missed ones.
    ReminderDelivery &delivery() { return m_delivery; }

    // True when the desktop showed no notification area within TrayWaitMs of start-up: the launcher
    // toolbar then stays up so that the program can always be reached.
    bool isTrayMissing() const { return m_trayMissing; }
    void setTrayMissing(bool missing);

    void Form_Load();
    // Exit chosen by the user: every window may first ask about unsaved work; a Cancel keeps the
    // program running. Then the shutdown.
    void requestExit();
    // The shutdown itself (also for logout and termination signals, where nobody is asked).
    void unload();
    // Logout or a termination signal, at any moment: open message boxes and dialogs are closed
    // unanswered, and once the code that opened them has finished, the shutdown runs. Also before
    // the event loop runs (a message at start-up): unloaded() then comes from the loop's start.
    void endUnattended();
    bool isUnloaded() const { return m_unloaded; }

    void tmrRemTimer_Timer();
    void SysTray1_MouseMove();
    void SysTray1_MouseDown(int button);

    // A second start of the program asks for this: bring the launcher toolbar forward.
    void bringToolBarForward();

Q_SIGNALS:
    void trayMissingChanged(bool missing);
    void unloaded();

private:
    void checkTray();
    void connectDesktop();
    void unloadWhenUnwound();

    QVariant m_autoPopUpMenu;
    qint16 m_popUpDelay = 6;
    WindowOpener m_opener;
    SysTray m_sysTray;
    QTimer m_remTimer;
    ReminderList m_reminders;
    ReminderDelivery m_delivery { m_reminders };
    DesktopNotifications *m_notifications = nullptr;
    WakeWatcher *m_wakeWatcher = nullptr;
    bool m_trayMissing = false;
    bool m_unloaded = false;
};
