#include "app/frmqy2.h"

#include "common/clock.h"
#include "common/datafolder.h"
#include "common/settings.h"
#include "common/syncfiles.h"
#include "common/textfile.h"
#include "platform/desktopnotifications.h"
#include "platform/wakewatcher.h"
#include "texted/recoverystore.h"
#include "widgets/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QSystemTrayIcon>
#include <QThread>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Gives the heap that start-up and closed windows left free back to the system, so that the program
// stays small while it waits in the tray.
void releaseFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// What could stop the program keeping its data, said once at start-up; the program runs on.
void reportStartProblems()
{
    if (const QString problem = DataFolder::problem(); !problem.isEmpty())
        Dialogs::show({ Message::Icon::Exclamation, QObject::tr("Quillory2: No data folder"), problem });
    if (!Settings::isWritable())
        Dialogs::show({ Message::Icon::Exclamation, QObject::tr("Quillory2: Settings cannot be saved"),
            QObject::tr("THE SETTINGS CANNOT BE SAVED\r\n\r\n%1\r\n\r\nWindow places and options chosen now "
                        "will be forgotten when the program ends.\r\n\r\nSolution:\r\nMake the folder "
                        "writable, then start Quillory2 again.")
                .arg(QDir::toNativeSeparators(Settings::fileName())) });
    DataFolder::removeInterruptedSaves(); // the files themselves are whole
}

// Copies a sync engine kept when a day, a clip or a list changed on two computers at once: the program
// reads neither as a day nor as a clip, so the user hears of each once and merges by hand. At start-up
// every folder is looked through; on each change of the data folder only the data folder itself.
void tellConflictCopies(bool everywhere)
{
    const QStringList copies = UntoldConflictCopies(DataFolder::path(), everywhere);
    if (copies.isEmpty())
        return;
    Dialogs::show({ Message::Icon::Information, QObject::tr("Quillory2: Conflict copies"),
        QObject::tr("These files were changed on two computers at once. The sync engine kept the other "
                    "version beside each; Quillory2 does not show them. Open them to take what you need, "
                    "then delete them:\r\n\r\n%1\r\n\r\nIn the folder %2")
            .arg(copies.mid(0, 10).join(QStringLiteral("\r\n"))
                    + (copies.size() > 10 ? QStringLiteral("\r\n…") : QString()),
                QDir::toNativeSeparators(DataFolder::path())) });
}

} // namespace

frmQY2::frmQY2(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmQY2"));
    setWindowTitle(QStringLiteral("Quillory2"));
    m_remTimer.setObjectName(QStringLiteral("tmrRemTimer"));
    m_remTimer.setInterval(RemTimerInterval);
    connect(&m_remTimer, &QTimer::timeout, this, &frmQY2::tmrRemTimer_Timer);
    m_remTimer.start();
    m_reminders.setMessageSink([](const Message &message) { return Dialogs::show(message); });
    connect(&m_reminders, &ReminderList::saveFailed, this,
        [](const QString &path, const QString &reason) { Dialogs::show(Dialogs::writeFailedMessage(path, reason)); });
    connect(&m_opener, &WindowOpener::loaded, this, [this](WindowKey, QWidget *window) {
        connect(window, &QObject::destroyed, this, [] { QTimer::singleShot(0, releaseFreedMemory); });
    });
    connect(&m_sysTray, &SysTray::MouseMove, this, &frmQY2::SysTray1_MouseMove);
    connect(&m_sysTray, &SysTray::MouseDown, this, &frmQY2::SysTray1_MouseDown);
    connect(&m_sysTray, &SysTray::hostChanged, this, [this](bool available) {
        if (available)
            setTrayMissing(false);
        else
            QTimer::singleShot(TrayWaitMs, this, &frmQY2::checkTray); // a restarting tray host gets its time
    });
}

frmQY2::~frmQY2()
{
    unload();
}

void frmQY2::setAutoPopUpMenu(const QVariant &value)
{
    m_autoPopUpMenu = value;
    m_sysTray.setWatchPointer(isAutoPopUpOn());
}

bool frmQY2::isAutoPopUpOn() const
{
    bool ok = false;
    const double value = m_autoPopUpMenu.toString().trimmed().toDouble(&ok);
    return ok && value == 1.0;
}

void frmQY2::setTrayMissing(bool missing)
{
    if (missing == m_trayMissing)
        return;
    m_trayMissing = missing;
    Q_EMIT trayMissingChanged(missing);
}

void frmQY2::Form_Load()
{
    setAutoPopUpMenu(Settings::get(Key::AutoPopUpMenu));
    m_popUpDelay = Settings::readInteger(Key::PopUpDelay);
    // The icon goes up first: it is how the program is reached, and the splash must not delay it.
    m_sysTray.setIcon(QApplication::windowIcon());
    m_sysTray.setToolTip(QStringLiteral("Quillory II"));
    m_sysTray.setVisible(true);

    reportStartProblems();
    if (Settings::readTruth(Key::ShowSplash)) {
        m_opener.show(WindowKey::Splash); // the splash hands over to the toolbar itself
    } else if (Settings::readTruth(Key::ShowToolBar)) {
        m_opener.show(WindowKey::ToolBar);
    }
    connectDesktop();
    m_reminders.readOptions();
    m_reminders.LoadReminders();
    m_reminders.watchFile(); // a copy brought in by a sync engine joins the list
    m_reminders.RemLoadCheckPast();
    tellConflictCopies(true);
    connect(
        &m_reminders, &ReminderList::changedOutside, this, [] { tellConflictCopies(false); }, Qt::QueuedConnection);
    // Documents a crash or a lost display left unsaved are offered back at once, not only once the
    // user happens to open TextEd.
    if (!RecoveryStore().copies().isEmpty())
        m_opener.show(WindowKey::TextEd);

    if (!QSystemTrayIcon::isSystemTrayAvailable())
        QTimer::singleShot(TrayWaitMs, this, &frmQY2::checkTray);
    QTimer::singleShot(SettleMs, this, releaseFreedMemory);
}

// The notification service and the wake-ups: what fell due while the computer slept comes at once.
void frmQY2::connectDesktop()
{
    if (m_notifications)
        return;
    m_notifications = new DesktopNotifications(this);
    m_wakeWatcher = new WakeWatcher(this);
    DesktopNotifications *notifications = m_notifications;
    m_delivery.setNotifier({ [notifications] { return notifications->canShowActions(); },
        [notifications](const QString &summary, const QString &body, const QList<ReminderDelivery::Action> &actions) {
            QList<DesktopNotifications::Action> buttons;
            for (const ReminderDelivery::Action &action : actions)
                buttons.append({ action.key, action.label });
            return notifications->notify(summary, body, buttons);
        },
        [notifications](uint id) { notifications->close(id); } });
    connect(m_notifications, &DesktopNotifications::actionInvoked, &m_delivery, &ReminderDelivery::notificationAction);
    connect(m_notifications, &DesktopNotifications::closed, &m_delivery,
        [this](uint id, uint) { m_delivery.notificationClosed(id); });
    connect(m_wakeWatcher, &WakeWatcher::wokeUp, &m_delivery, &ReminderDelivery::tick);
    connect(m_wakeWatcher, &WakeWatcher::clockJumped, &m_delivery, &ReminderDelivery::tick);
}

void frmQY2::checkTray()
{
    setTrayMissing(!QSystemTrayIcon::isSystemTrayAvailable());
}

void frmQY2::requestExit()
{
    if (m_unloaded)
        return;
    if (!m_opener.closeAll()) {
        if (m_trayMissing) // the toolbar may have closed before the window that kept the program running
            m_opener.show(WindowKey::ToolBar);
        return;
    }
    unload();
}

void frmQY2::endUnattended()
{
    Dialogs::closeAllForEnding();
    unloadWhenUnwound();
}

// A box closed for the ending returns only when control gets back to its exec(); until then the
// window that opened it must live.
void frmQY2::unloadWhenUnwound()
{
    if (Dialogs::isShowing() || QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(0, this, &frmQY2::unloadWhenUnwound);
        return;
    }
    unload();
}

void frmQY2::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_remTimer.stop();
    Settings::save(Key::AutoPopUpMenu, m_autoPopUpMenu.toString());
    Settings::saveInteger(Key::PopUpDelay, m_popUpDelay);
    m_opener.unloadAll();
    m_sysTray.setVisible(false);
    Settings::sync();
    Q_EMIT unloaded();
}

void frmQY2::tmrRemTimer_Timer()
{
    if (m_wakeWatcher)
        m_wakeWatcher->tick(Clock::now(), RemTimerInterval); // a jump delivers at once
    m_delivery.tick();
}

void frmQY2::SysTray1_MouseMove()
{
    if (isAutoPopUpOn())
        m_opener.show(WindowKey::PopUpMenu);
}

void frmQY2::SysTray1_MouseDown(int button)
{
    m_opener.show(button == 1 ? WindowKey::ToolBar : WindowKey::PopUpMenu);
}

void frmQY2::bringToolBarForward()
{
    m_opener.show(WindowKey::ToolBar);
}
