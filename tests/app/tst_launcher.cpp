#include "../support/pinnedscreen.h"
#include "../support/tablerow.h"
#include "../support/testenvironment.h"

#include "app/aboutpanel.h"
#include "app/frmabout.h"
#include "app/frmoptions.h"
#include "app/frmpopupmenu.h"
#include "app/frmqy2.h"
#include "app/frmsplash.h"
#include "app/frmtoolbar.h"
#include "app/tooltable.h"
#include "app/windows.h"
#include "common/autostart.h"
#include "common/settings.h"
#include "common/textfile.h"
#include "widgets/windowhelpers.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

// The launcher toolbar, the pop-up menu, the Options dialog, the splash and the About box, each
// opened through a real main window and its opener. The tool windows are stand-ins registered under
// their keys. The screen is pinned to 1280 x 800 (see main() at the end).
class TestLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void registeringCreatesNoWindow();

    void toolBarHideStoresItsPlace();
    void rightDragMovesToolBar();
    void leftClickOpensTheKeyedWindow();
    void trayMissingKeepsToolBarReachable();
    void closingToolBarWithoutTray_data();
    void closingToolBarWithoutTray();
    void secondStartBringsToolBarForward();

    void popUpPositionRule_data();
    void popUpPositionRule();
    void popUpOpensAtPointer();
    void popUpCloses_data();
    void popUpCloses();
    void menuKeyboard_data();
    void menuKeyboard();
    void aboutDropDownByKeyboard_data();
    void aboutDropDownByKeyboard();
    void exitEndsTheProgram();

    void optionsButtons_data();
    void optionsButtons();
    void optionsLoginEntryFailureKeepsTheBox();

    void splashHandsOver_data();
    void splashHandsOver();
    void aboutStaysUntilOK();

private:
    template <typename T> T *window(WindowKey key) const { return qobject_cast<T *>(m_main->opener().window(key)); }
    template <typename T> T *show(WindowKey key) const { return qobject_cast<T *>(m_main->opener().show(key)); }
    void registerStandIns();
    bool isShown(WindowKey key) const;
    static QToolButton *buttonOf(QToolBar *bar, const char *key);

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<frmQY2> m_main;
};

namespace {

const WindowKey LauncherKeys[]
    = { WindowKey::ToolBar, WindowKey::PopUpMenu, WindowKey::Options, WindowKey::Splash, WindowKey::About };

// Clicks a check box on its box: a box stretched across its frame has empty room right of its caption.
void tick(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

} // namespace

QtMessageHandler testLogHandler = nullptr;

// The headless platform has no stacking order and no notification area; its complaints are noise here.
void dropPlatformNoise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message == QLatin1String("This plugin does not support raise()")
        || message == QLatin1String("QSystemTrayIcon::setVisible: No Icon set")
        || message.contains(QLatin1String("systemTrayWindowChanged")))
        return;
    testLogHandler(type, context, message);
}

void TestLauncher::initTestCase()
{
    testLogHandler = qInstallMessageHandler(dropPlatformNoise);
}

void TestLauncher::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_main = std::make_unique<frmQY2>();
    registerWindows(*m_main);
}

void TestLauncher::cleanup()
{
    m_main.reset();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == QLatin1String("frmHelp"))
            delete window;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_env.reset();
}

// The tools are stand-ins named "standIn" and their key.
void TestLauncher::registerStandIns()
{
    for (WindowKey key : toolKeys()) {
        m_main->opener().registerWindow(key, [key] {
            auto *standIn = new QWidget;
            standIn->setObjectName(QStringLiteral("standIn") + windowName(key));
            return standIn;
        });
    }
}

bool TestLauncher::isShown(WindowKey key) const
{
    const QWidget *shown = m_main->opener().window(key);
    return shown && shown->isVisible();
}

QToolButton *TestLauncher::buttonOf(QToolBar *bar, const char *key)
{
    auto *action = bar->findChild<QAction *>(QLatin1String(key));
    return action ? qobject_cast<QToolButton *>(bar->widgetForAction(action)) : nullptr;
}

// ---- start-up and wiring ----

void TestLauncher::registeringCreatesNoWindow()
{
    const auto before = QApplication::topLevelWidgets().size();
    frmQY2 other;
    registerWindows(other);
    QCOMPARE(QApplication::topLevelWidgets().size(), before + 1); // only the hidden main window itself
    for (WindowKey key : LauncherKeys) {
        QVERIFY(other.opener().isRegistered(key));
        QVERIFY(!other.opener().window(key));
    }
}

// ---- launcher toolbar ----

void TestLauncher::toolBarHideStoresItsPlace()
{
    QPointer<frmToolBar> toolBar = show<frmToolBar>(WindowKey::ToolBar);
    toolBar->move(200, 150);
    QTest::mouseClick(toolBar->findChild<QToolButton *>("tbrHide"), Qt::LeftButton);
    QTRY_VERIFY(!toolBar);
    QCOMPARE(Settings::get(Key::ToolBarLeft), QStringLiteral("3000"));
}

void TestLauncher::rightDragMovesToolBar()
{
    registerStandIns();
    auto *toolBar = show<frmToolBar>(WindowKey::ToolBar);
    auto *strip = toolBar->findChild<QToolBar *>("tbrToolbar1");
    QToolButton *calc = buttonOf(strip, "Calc");
    const QPoint start = toolBar->pos();

    QTest::mousePress(calc, Qt::RightButton, {}, QPoint(10, 5));
    QTest::mouseMove(calc, QPoint(30, 12));
    QCOMPARE(toolBar->pos(), start + QPoint(20, 7));
    // The next move is told in the moved strip: left + x - DragX again.
    QTest::mouseMove(calc, QPoint(25, 2));
    QCOMPARE(toolBar->pos(), start + QPoint(20 + 15, 7 - 3));

    QTest::mouseRelease(calc, Qt::RightButton, {}, QPoint(25, 2));
    QCOMPARE(toolBar->pos(), start + QPoint(35, 4));
    QVERIFY(!m_main->opener().window(WindowKey::Calculator)); // the drag ran no command
}

void TestLauncher::leftClickOpensTheKeyedWindow()
{
    registerStandIns();
    auto *toolBar = show<frmToolBar>(WindowKey::ToolBar);
    auto *strip = toolBar->findChild<QToolBar *>("tbrToolbar1");

    for (WindowKey key : toolKeys()) {
        const QString name = windowName(key);
        QToolButton *button = buttonOf(strip, qPrintable(name));
        QVERIFY2(button && button->isEnabled(), qPrintable(name));
        QTest::mouseClick(button, Qt::LeftButton);
        QWidget *opened = m_main->opener().window(key);
        QVERIFY2(opened && opened->isVisible(), qPrintable(name));
        QCOMPARE(opened->objectName(), QStringLiteral("standIn") + name);
        QVERIFY(QFile::exists(QStringLiteral(":/help/") + QLatin1String(windowEntry(key).helpPage)));
    }
    QVERIFY(toolBar->isVisible()); // the toolbar stays open
}

void TestLauncher::trayMissingKeepsToolBarReachable()
{
    Settings::save(Key::ShowToolBar, QStringLiteral("0"));
    Settings::save(Key::ShowSplash, QStringLiteral("0"));
    m_main->Form_Load();
    QVERIFY(!m_main->opener().window(WindowKey::ToolBar));

    m_main->setTrayMissing(true);
    auto *toolBar = window<frmToolBar>(WindowKey::ToolBar);
    QVERIFY(toolBar && toolBar->isVisible());
    auto *hide = toolBar->findChild<QToolButton *>("tbrHide");
    auto *menuButton = toolBar->findChild<QToolButton *>("tbrMenu");
    QVERIFY(!hide->isVisible());
    QVERIFY(menuButton->isVisible());

    QTest::mouseClick(menuButton, Qt::LeftButton);
    QVERIFY(isShown(WindowKey::PopUpMenu));

    Q_EMIT m_main->sysTray().hostChanged(true); // a notification area appeared after start-up
    QVERIFY(!m_main->isTrayMissing());
    QVERIFY(hide->isVisible());
    QVERIFY(!menuButton->isVisible());
}

void TestLauncher::closingToolBarWithoutTray_data()
{
    columns<bool, bool, bool, bool>("trayMissing", "answer", "asked", "ended");

    row("with a tray it just closes", false, false, false, false);
    row("without a tray, No keeps it", true, false, true, false);
    row("without a tray, Yes ends the program", true, true, true, true);
}

void TestLauncher::closingToolBarWithoutTray()
{
    auto [trayMissing, answer, asked, ended] = fetch<bool, bool, bool, bool>("trayMissing", "answer", "asked", "ended");
    QPointer<frmToolBar> toolBar = show<frmToolBar>(WindowKey::ToolBar);
    m_main->setTrayMissing(trayMissing);
    m_env->dialogs.answers << answer;

    toolBar->close(); // what Alt+F4 asks of it

    QCOMPARE(m_env->dialogs.shown.size(), asked ? 1 : 0);
    if (asked)
        QCOMPARE(m_env->dialogs.shown.first().icon, Message::Icon::Question);
    QTRY_COMPARE(toolBar && toolBar->isVisible(), trayMissing && !answer);
    QTRY_COMPARE(m_main->isUnloaded(), ended);
    QCOMPARE(m_env->dialogs.shown.size(), asked ? 1 : 0); // the shutdown closes it without asking again
}

void TestLauncher::secondStartBringsToolBarForward()
{
    Settings::save(Key::ShowToolBar, QStringLiteral("0"));
    m_main->bringToolBarForward();
    auto *toolBar = window<frmToolBar>(WindowKey::ToolBar);
    QVERIFY(toolBar && toolBar->isVisible());

    toolBar->move(300, 200);
    m_main->bringToolBarForward();
    QCOMPARE(window<frmToolBar>(WindowKey::ToolBar), toolBar);
    QCOMPARE(toolBar->pos(), QPoint(300, 200));
}

// ---- pop-up menu ----

void TestLauncher::popUpPositionRule_data()
{
    columns<QPointF, QRectF, QPointF>("pointer", "screen", "expected");

    const QSizeF menu(1530, 3015);
    const QRectF screen(0, 0, 19200, 12000);
    row("upper left", QPointF(1500, 900), screen, QPointF(1500, 900));
    row("upper right", QPointF(18000, 900), screen, QPointF(18000 - menu.width(), 900));
    row("lower left", QPointF(1500, 11000), screen, QPointF(1500, 11000 - menu.height()));
    row("exactly half", QPointF(9600, 6000), screen, QPointF(9600 - 1530, 6000 - 3015));
    row("just before half", QPointF(9599, 5999), screen, QPointF(9599, 5999));
    row("half of a second screen", QPointF(28800, 6000), QRectF(19200, 0, 19200, 12000),
        QPointF(28800 - 1530, 6000 - 3015));
    row("left part of a second screen", QPointF(20000, 900), QRectF(19200, 0, 19200, 12000), QPointF(20000, 900));
}

void TestLauncher::popUpPositionRule()
{
    auto [pointer, screen] = fetch<QPointF, QRectF>("pointer", "screen");
    QTEST(popUpMenuPosition(pointer, QSizeF(1530, 3015), screen), "expected");
}

// The rule's table is above; here the menu opens beside the tray, in the screen's lower right.
void TestLauncher::popUpOpensAtPointer()
{
    const QPoint pointer(1268, 788);
    QCursor::setPos(pointer);

    auto *menu = show<frmPopUpMenu>(WindowKey::PopUpMenu);
    QVERIFY(menu);
    const QSize size = menu->frameGeometry().size();
    const QPoint expected = pointer - QPoint(size.width(), size.height());
    QCOMPARE(menu->pos(), expected);
    QVERIFY(menu->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(menu->popUpTicks(), qint16(1));

    // Showing it again neither moves it nor restarts its count.
    menu->Timer1_Timer();
    QCursor::setPos(QPoint(5, 5));
    QCOMPARE(show<frmPopUpMenu>(WindowKey::PopUpMenu), menu);
    QCOMPARE(menu->pos(), expected);
    QCOMPARE(menu->popUpTicks(), qint16(2));
}

void TestLauncher::popUpCloses_data()
{
    columns<int, int>("delay", "closingTick");

    row("default 6", 6, 6);
    row("delay 0", 0, 1);
}

void TestLauncher::popUpCloses()
{
    auto [delay, closingTick] = fetch<int, int>("delay", "closingTick");
    m_main->setPopUpDelay(qint16(delay));
    QPointer<frmPopUpMenu> menu = show<frmPopUpMenu>(WindowKey::PopUpMenu);

    for (int tick = 1; tick < closingTick; ++tick) {
        menu->Timer1_Timer();
        QVERIFY2(menu->isVisible(), qPrintable(QStringLiteral("closed early, on tick %1").arg(tick)));
    }
    menu->Timer1_Timer();
    QVERIFY(!menu->isVisible());
    QTRY_VERIFY(!menu); // unloaded, not only hidden
}

void TestLauncher::menuKeyboard_data()
{
    columns<QStringList, QString, QString>("keys", "focused", "opened");

    row("opens with the focus on its first button", QStringList(), "Calc", "");
    row("Space presses the focused button", QStringList { "Space" }, "", "Calc");
    row("Down, Down, Enter", QStringList { "Down", "Down", "Return" }, "", "Clip");
    row("Alt+Q opens QuickNotes", QStringList { "Alt+Q" }, "", "Quick");
    row("Escape closes", QStringList { "Escape" }, "", "");
}

void TestLauncher::menuKeyboard()
{
    auto [keys, focused, opened] = fetch<QStringList, QString, QString>("keys", "focused", "opened");
    registerStandIns();
    QPointer<frmPopUpMenu> menu = show<frmPopUpMenu>(WindowKey::PopUpMenu);
    QVERIFY(QTest::qWaitForWindowActive(menu));
    auto *column = menu->findChild<QToolBar *>("Toolbar1");

    for (const QString &key : keys)
        QTest::keyClick(
            QApplication::focusWidget(), QKeySequence(key)[0].key(), QKeySequence(key)[0].keyboardModifiers());

    if (!focused.isEmpty()) {
        QVERIFY(menu && menu->isVisible());
        QCOMPARE(QApplication::focusWidget(), buttonOf(column, qPrintable(focused)));
    }
    QTRY_COMPARE(!menu, focused.isEmpty()); // unloaded, not only hidden
    for (WindowKey key : toolKeys())
        QCOMPARE(m_main->opener().window(key) != nullptr, windowName(key) == opened);
    QVERIFY(!m_main->opener().window(WindowKey::About));
}

void TestLauncher::aboutDropDownByKeyboard_data()
{
    columns<int, Qt::KeyboardModifiers>("key", "modifiers");
    row("Alt+Down", int(Qt::Key_Down), Qt::KeyboardModifiers(Qt::AltModifier));
    row("menu key", int(Qt::Key_Menu), Qt::KeyboardModifiers());
}

void TestLauncher::aboutDropDownByKeyboard()
{
    auto [key, modifiers] = fetch<int, Qt::KeyboardModifiers>("key", "modifiers");
    QPointer<frmPopUpMenu> menu = show<frmPopUpMenu>(WindowKey::PopUpMenu);
    QVERIFY(QTest::qWaitForWindowActive(menu));
    auto *dropDown = menu->findChild<QMenu *>("mnuAbout");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);

    // A screen reader finds the drop-down as the button's child, and its items by their names.
    QAccessibleInterface *about = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
    QVERIFY(about->childCount() == 1 && about->child(0)->object() == dropDown);
    QStringList spoken;
    QAction *active = nullptr;
    QTimer::singleShot(1, dropDown, [dropDown, &spoken, &active] {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(dropDown);
        for (int i = 0; dropDown->isVisible() && i < face->childCount(); ++i)
            spoken << face->child(i)->text(QAccessible::Name);
        active = dropDown->activeAction();
        dropDown->close();
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);

    QCOMPARE(spoken, (QStringList { "Options", "Exit" }));
    QCOMPARE(active, dropDown->actions().constFirst());
    QVERIFY(menu && menu->isVisible()); // the drop-down is not a choice
}

// The unload order is the opener's test; here Exit, chosen in About's drop-down, ends the program once
// the click that chose it has been handled.
void TestLauncher::exitEndsTheProgram()
{
    registerStandIns();
    QPointer<QWidget> tool = m_main->opener().show(WindowKey::Calculator);
    QPointer<frmToolBar> toolBar = show<frmToolBar>(WindowKey::ToolBar);
    QSignalSpy ended(m_main.get(), &frmQY2::unloaded);

    auto *menu = show<frmPopUpMenu>(WindowKey::PopUpMenu);
    auto *about = buttonOf(menu->findChild<QToolBar *>("Toolbar1"), "About");
    auto *dropDown = menu->findChild<QMenu *>("mnuAbout");
    bool endedDuringClick = true;
    QTimer::singleShot(0, dropDown, [this, dropDown, &endedDuringClick] {
        QAction *exit = dropDown->findChild<QAction *>("Exit");
        QTest::mouseClick(dropDown, Qt::LeftButton, {}, dropDown->actionGeometry(exit).center());
        endedDuringClick = m_main->isUnloaded();
    });
    about->showMenu();

    QVERIFY(!endedDuringClick);
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(!tool && !toolBar);
    QVERIFY(Settings::contains(Key::ToolBarLeft)); // saved as it closed
}

// ---- Options dialog ----

void TestLauncher::optionsButtons_data()
{
    columns<QString, bool, bool>("how", "applies", "staysOpen");

    row("Apply", "cmdApply", true, true);
    row("OK", "cmdOK", true, false);
    row("Escape", "escape", false, false);
}

void TestLauncher::optionsButtons()
{
    auto [how, applies, staysOpen] = fetch<QString, bool, bool>("how", "applies", "staysOpen");
    m_main->setAutoPopUpMenu(QStringLiteral("1"));
    m_main->setPopUpDelay(6);
    QPointer<frmOptions> options = show<frmOptions>(WindowKey::Options);
    options->move(30, 45);

    tick(options->findChild<QCheckBox *>("chkAutoPopUpMenu"));
    tick(options->findChild<QCheckBox *>("chkShowSplashScreen"));
    auto *slider = options->findChild<QSlider *>("sldPopUpDelay");
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(options->findChild<QLabel *>("lblPopUpSpeed")->text(), QStringLiteral("3"));

    if (how == QLatin1String("escape"))
        QTest::keyClick(options, Qt::Key_Escape);
    else
        QTest::mouseClick(options->findChild<QPushButton *>(how), Qt::LeftButton);

    QCOMPARE(m_main->isAutoPopUpOn(), !applies);
    QCOMPARE(m_main->popUpDelay(), qint16(applies ? 3 : 6));
    if (applies)
        QCOMPARE(m_main->autoPopUpMenu(), QVariant(0));
    // The held pop-up values reach the store only when the program ends.
    QVERIFY(!Settings::contains(Key::AutoPopUpMenu));
    QVERIFY(!Settings::contains(Key::PopUpDelay));

    if (staysOpen) {
        QVERIFY(options && options->isVisible());
        QVERIFY(!Settings::contains(Key::ShowSplash));
        return;
    }
    QVERIFY(!options || !options->isVisible());
    QCOMPARE(Settings::get(Key::ShowSplash), QStringLiteral("0"));
    QCOMPARE(Settings::get(Key::ShowToolBar), QStringLiteral("1"));
    QCOMPARE(Settings::get(Key::OptionsLeft), QStringLiteral("450"));
    QCOMPARE(Settings::get(Key::OptionsTop), QStringLiteral("675"));
}

void TestLauncher::optionsLoginEntryFailureKeepsTheBox()
{
    // Root writes into read-only folders: a file where the autostart folder belongs stands in for one.
    QVERIFY(QDir().mkpath(QFileInfo(Autostart::folder()).absolutePath()));
    QVERIFY(WriteTextFile(Autostart::folder(), QStringLiteral("not a folder")));
    QPointer<frmOptions> options = show<frmOptions>(WindowKey::Options);
    auto *box = options->findChild<QCheckBox *>("chkStartWithDesktop");
    tick(box);

    QTest::mouseClick(options->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);

    QCOMPARE(m_env->dialogs.shown.size(), 1);
    QVERIFY(!box->isChecked());
    QVERIFY(options && options->isVisible()); // the user sees the state that holds
    QVERIFY(!Autostart::isOn());
}

// ---- splash and About ----

void TestLauncher::splashHandsOver_data()
{
    columns<QVariant, bool>("showToolBar", "toolBar");

    row("fresh store", QVariant(), true);
    row("1902 off", QVariant("0"), false);
    row("1902 unreadable reads as its default", QVariant("x"), true);
}

void TestLauncher::splashHandsOver()
{
    QFETCH(QVariant, showToolBar);
    if (showToolBar.isValid())
        Settings::save(Key::ShowToolBar, showToolBar.toString());
    QPointer<frmSplash> splash = show<frmSplash>(WindowKey::Splash);

    splash->Timer2_Timer();

    QVERIFY(!splash->isVisible());
    QTEST(isShown(WindowKey::ToolBar), "toolBar");
    QTRY_VERIFY(!splash);
}

void TestLauncher::aboutStaysUntilOK()
{
    QPointer<frmPopUpMenu> menu = show<frmPopUpMenu>(WindowKey::PopUpMenu);
    QTest::mouseClick(buttonOf(menu->findChild<QToolBar *>("Toolbar1"), "About"), Qt::LeftButton);
    QPointer<QWidget> about = m_main->opener().window(WindowKey::About);
    QVERIFY(about && about->isVisible());
    QTRY_VERIFY(!menu); // the menu closes behind it

    // What closes the splash leaves the About box open.
    QTest::mouseClick(about->findChild<QWidget *>("lblVersion"), Qt::LeftButton);
    QTest::mouseClick(about->findChild<QWidget *>("Picture2"), Qt::LeftButton);
    QTest::keyClick(about, Qt::Key_Space);
    QVERIFY(about && about->isVisible());
    QVERIFY(!m_main->opener().window(WindowKey::ToolBar));

    QTest::mouseClick(about->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QTRY_VERIFY(!about);
}

int main(int argc, char *argv[])
{
    QTEST_SET_MAIN_SOURCE_PATH
    return runOnPinnedScreen<TestLauncher>(argc, argv);
}

#include "tst_launcher.moc"
